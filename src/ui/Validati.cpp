#include "ui/Validati.h"

#include "localisation/IvDictio.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPointer>

namespace {

// Watches every focus move of the application. A move away from an invalid
// edit within the same window puts the focus back; the guard keeps the move
// back (and any box an owner shows meanwhile) from being judged again, so two
// invalid edits cannot hand the focus to each other for ever.
class FocusKeeper : public QObject {
public:
    FocusKeeper() : QObject(qApp) {
        connect(qApp, &QApplication::focusChanged, this, &FocusKeeper::OnFocusChanged);
    }

private:
    static bool IsFocusMove(const TValidCustomEdit& edit, const QWidget* now) {
        if (!now || now->window() != edit.window()) return false;
        const Qt::FocusReason r = edit.LastFocusOutReason();
        return r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason;
    }

    void OnFocusChanged(QWidget* old, QWidget* now) {
        auto* edit = qobject_cast<TValidCustomEdit*>(old);
        if (m_busy || !edit || !IsFocusMove(*edit, now)) return;
        m_busy = true;
        QPointer<TValidCustomEdit> alive(edit);
        try {
            const bool valid = edit->ValidateText();
            if (alive) {
                if (valid) emit alive->Exited();
                else alive->setFocus(Qt::OtherFocusReason);
            }
        } catch (const std::exception& error) {
            // The conversion error ends the leaving: the field keeps the
            // focus and the error shows as every exception of an event does.
            if (alive) alive->setFocus(Qt::OtherFocusReason);
            ShowApplicationException(error);
        }
        m_busy = false;
    }

    bool m_busy = false;
};

void EnsureFocusKeeper() {
    static QPointer<FocusKeeper> keeper;
    if (!keeper && qApp) keeper = new FocusKeeper;
}

}  // namespace

TValidCustomEdit::TValidCustomEdit(QWidget* parent) : QLineEdit(parent) { EnsureFocusKeeper(); }

bool TValidCustomEdit::ValidateText() {
    m_isEmpty = text().isEmpty();
    m_conversionError.clear();
    if (AllowEmpty && m_isEmpty) {
        m_isValid = true;
        return true;
    }
    m_isValid = IsValidText();
    if (m_isValid) return true;
    if (!m_conversionError.isEmpty()) throw EConvertError(m_conversionError.toStdString());
    if (BeepOnInvalid) Beep();
    if (!OnInvalid) return false;
    bool canLeave = false;
    OnInvalid(this, canLeave);
    return canLeave;
}

void TValidCustomEdit::Beep() { QApplication::beep(); }

void TValidCustomEdit::focusOutEvent(QFocusEvent* event) {
    m_focusOutReason = event->reason();
    QLineEdit::focusOutEvent(event);
}
