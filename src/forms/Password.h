#pragma once
// The dialog that asks for the options password once. OK makes the typed
// text the program-wide password (CalcGlobals.OptionsPassword), which the
// caller compares with the stored one; Esc closes it without changes.
#include "ui/MultiLang.h"

class QLineEdit;
class QPushButton;

class TFPassword2 : public TTemplateFormMultiLang {
    Q_OBJECT
public:
    explicit TFPassword2(QWidget* parent = nullptr);

    QLineEdit* Edit_Password2 = nullptr;
    QPushButton* Button_OK = nullptr;

    void ButtonOKClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool FormKeyDown(QKeyEvent* event) override;
};

// Places a dialog centred over a form: the form's top plus half its height
// less half the dialog's height, each half with its fraction dropped; the
// same across.
QPoint CentredOver(const QRect& form, const QSize& dialog);
