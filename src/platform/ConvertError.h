#pragma once
// A text or field that does not convert to the value read from it. One
// class for every layer: the field codec of the data layer and the edits of
// the user interface both raise it, and a form that links both catches
// either as the same type (two classes of this name, one per layer, would
// share their vtable and destructor symbols in one program, so that one
// layer's exception would be destroyed by the other's code).
#include <QString>
#include <stdexcept>
#include <string>

class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    explicit EConvertError(const std::string& message)
        : std::runtime_error(message), m_message(QString::fromStdString(message)) {}
    explicit EConvertError(const char* message) : EConvertError(std::string(message)) {}
    QString Message() const { return m_message; }

private:
    QString m_message;
};
