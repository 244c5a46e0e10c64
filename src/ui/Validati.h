#pragma once
// An edit that checks its text when the focus leaves it and keeps the focus
// while the text is invalid. One application-wide focus filter does the
// keeping for every such edit; a text that is no number at all is shown
// there as the conversion error.
#include "platform/ConvertError.h"

#include <QLineEdit>
#include <QString>
#include <functional>
#include <stdexcept>

// A text that does not convert to the edit's value raises EConvertError.

// A value outside the bounds of a bounded edit.
class EValueOutOfBound : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TValidCustomEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TValidCustomEdit(QWidget* parent = nullptr);

    bool IsValid() const { return m_isValid; }
    bool IsEmpty() const { return m_isEmpty; }
    bool AllowEmpty = true;
    bool BeepOnInvalid = true;
    // Lets the owner decide whether the focus may leave an invalid text.
    std::function<void(TValidCustomEdit* sender, bool& canLeave)> OnInvalid;

    // Raises EConvertError for a text that does not convert at all (the
    // class library's conversion error, no beep and no OnInvalid); answers
    // false, with the beep and OnInvalid, for a number the edit refuses.
    bool ValidateText();
    // Whether the text holds a value the edit accepts; a text that does not
    // convert is recorded as the conversion error for ValidateText.
    virtual bool IsValidText() = 0;
    // The conversion error of the last check; empty when the text converted.
    QString ConversionError() const { return m_conversionError; }

    Qt::FocusReason LastFocusOutReason() const { return m_focusOutReason; }

signals:
    // The focus left with a valid text (or the owner let it go).
    void Exited();

protected:
    virtual void Beep();
    // Records the conversion error of a text that is no number of the kind.
    void SetConversionError(const QString& message) { m_conversionError = message; }
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool m_isValid = true;
    bool m_isEmpty = true;
    QString m_conversionError;
    Qt::FocusReason m_focusOutReason = Qt::OtherFocusReason;
};
