#pragma once
// The dialog that asks for a new options password twice. OK with two equal
// texts makes it the program-wide password (CalcGlobals.OptionsPassword);
// different texts show "2. Password not identical !" and the dialog stays.
// Esc closes it without changes.
#include "ui/MultiLang.h"

class QLineEdit;
class QPushButton;

class TFPassword1 : public TTemplateFormMultiLang {
    Q_OBJECT
public:
    explicit TFPassword1(QWidget* parent = nullptr);

    QLineEdit* Edit_Password1a = nullptr;
    QLineEdit* Edit_Password1b = nullptr;
    QPushButton* Button_OK = nullptr;

    void ButtonOKClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool FormKeyDown(QKeyEvent* event) override;

private:
    void ClearPrompt(QLineEdit* edit);
};

// The texts typed last into the two fields (kept for the whole unit).
extern QString Password1Text;
extern QString Password1ConfirmText;

// The longest options password.
constexpr int PasswordLength = 10;

// Text and colour of a field that still shows its grey prompt.
void ShowPasswordPrompt(QLineEdit* edit, const QString& prompt);
bool ShowsPasswordPrompt(const QLineEdit* edit);
void ClearPasswordPrompt(QLineEdit* edit);
