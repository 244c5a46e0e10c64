#include "localisation/IvCommon.h"

int CompareStr(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int d = int(a[i].unicode()) - int(b[i].unicode());
        if (d != 0) return d;
    }
    return int(a.size() - b.size());
}

TIvStringParser::TIvStringParser(QString text, QChar separator, bool decodeEscapes)
    : m_text(std::move(text)), m_separator(separator), m_decode(decodeEscapes) {}

QString TIvStringParser::NextToken() {
    if (EndOfText()) return {};
    qsizetype end = m_text.indexOf(m_separator, m_pos);
    if (end < 0) end = m_text.size();
    QString token = m_text.mid(m_pos, end - m_pos);
    m_pos = end + 1;
    return m_decode && token.contains(u'#') ? Decode(token) : token;
}

int TIvStringParser::NextInteger() {
    return NextToken().trimmed().toInt();
}

QString TIvStringParser::Decode(const QString& token) {
    QString out;
    out.reserve(token.size());
    for (qsizetype i = 0; i < token.size(); ++i) {
        const QChar c = token[i];
        if (c != u'#' || i + 1 >= token.size()) {
            out += c;
            continue;
        }
        const QChar next = token[++i];
        switch (next.unicode()) {
        case '#': out += u'#'; break;
        case 'C': out += u'\r'; break;
        case 'L': out += u'\n'; break;
        case 'T': out += u'\t'; break;
        default: out += c; out += next; break;
        }
    }
    return out;
}
