#include "forms/Password.h"

#include "data/GlobalFuncs.h"
#include "forms/Password1.h"
#include "localisation/IvDictio.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QPoint CentredOver(const QRect& form, const QSize& dialog) {
    return {form.left() + form.width() / 2 - dialog.width() / 2, form.top() + form.height() / 2 - dialog.height() / 2};
}

TFPassword2::TFPassword2(QWidget* parent) : TTemplateFormMultiLang(parent) {
    setObjectName(QStringLiteral("FPassword2"));
    setWindowTitle(QStringLiteral("Password"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    Edit_Password2 = new QLineEdit(this);
    Edit_Password2->setObjectName(QStringLiteral("Edit_Password2"));
    Edit_Password2->setMinimumWidth(200);
    Edit_Password2->installEventFilter(this);
    Button_OK = new QPushButton(QStringLiteral("OK"), this);
    Button_OK->setObjectName(QStringLiteral("Button_OK"));
    Button_OK->setDefault(true);
    layout->addWidget(Edit_Password2);
    layout->addWidget(Button_OK, 0, Qt::AlignHCenter);
    ShowPasswordPrompt(Edit_Password2, IvTranslate(QStringLiteral("Enter password")));
    connect(Button_OK, &QPushButton::clicked, this, &TFPassword2::ButtonOKClick);
    Loaded();
}

bool TFPassword2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit_Password2 && event->type() == QEvent::FocusIn) ClearPasswordPrompt(Edit_Password2);
    return TTemplateFormMultiLang::eventFilter(watched, event);
}

void TFPassword2::ButtonOKClick() {
    // A prompt never typed over is no password.
    CalcGlobals.OptionsPassword = ShowsPasswordPrompt(Edit_Password2) ? QString() : Edit_Password2->text();
    accept();
}

bool TFPassword2::FormKeyDown(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) return false;
    reject();
    return true;
}
