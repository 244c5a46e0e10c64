#pragma once
// Exceptions and small string tools shared by the localisation units.
#include <QString>
#include <exception>

// A plain message exception; the library's own classes derive from it.
class EIvException : public std::exception {
public:
    explicit EIvException(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& Message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The library's exception class.
class EIvMulti : public EIvException {
public:
    using EIvException::EIvException;
};

// An index outside its range.
class ERangeError : public EIvException {
public:
    using EIvException::EIvException;
};

// A stream read that runs past the end of its data.
class EReadError : public EIvException {
public:
    using EIvException::EIvException;
};

// A form property or resource that is not there.
class EResNotFound : public EIvException {
public:
    using EIvException::EIvException;
};

// Ordinal comparison: code unit by code unit over the shorter length, then
// the difference of the lengths. Case-sensitive, no locale rules.
int CompareStr(QStringView a, QStringView b);

// Walks a text token by token.
class TIvStringParser {
public:
    TIvStringParser(QString text, QChar separator, bool decodeEscapes = false);
    QString NextToken();
    int NextInteger();
    bool EndOfText() const { return m_pos > m_text.size(); }

private:
    static QString Decode(const QString& token);
    QString m_text;
    QChar m_separator;
    bool m_decode;
    qsizetype m_pos = 0;
};
