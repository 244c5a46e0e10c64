#include "forms/Password1.h"

#include "data/GlobalFuncs.h"
#include "localisation/IvDictio.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString Password1Text;
QString Password1ConfirmText;

namespace {
const char* const PromptProperty = "passwordPrompt";
}  // namespace

void ShowPasswordPrompt(QLineEdit* edit, const QString& prompt) {
    edit->setProperty(PromptProperty, true);
    edit->setEchoMode(QLineEdit::Normal);
    // The prompt may be longer than a password.
    edit->setMaxLength(32767);
    QPalette p = edit->palette();
    p.setColor(QPalette::Text, Qt::gray);
    edit->setPalette(p);
    edit->setText(prompt);
}

bool ShowsPasswordPrompt(const QLineEdit* edit) { return edit->property(PromptProperty).toBool(); }

void ClearPasswordPrompt(QLineEdit* edit) {
    if (!ShowsPasswordPrompt(edit)) return;
    edit->setProperty(PromptProperty, false);
    edit->clear();
    edit->setMaxLength(PasswordLength);
    QPalette p = edit->palette();
    p.setColor(QPalette::Text, Qt::black);
    edit->setPalette(p);
    edit->setEchoMode(QLineEdit::Password);
}

TFPassword1::TFPassword1(QWidget* parent) : TTemplateFormMultiLang(parent) {
    setObjectName(QStringLiteral("FPassword1"));
    setWindowTitle(QStringLiteral("Password"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    Edit_Password1a = new QLineEdit(this);
    Edit_Password1a->setObjectName(QStringLiteral("Edit_Password1a"));
    Edit_Password1b = new QLineEdit(this);
    Edit_Password1b->setObjectName(QStringLiteral("Edit_Password1b"));
    Button_OK = new QPushButton(QStringLiteral("OK"), this);
    Button_OK->setObjectName(QStringLiteral("Button_OK"));
    Button_OK->setDefault(true);
    for (QLineEdit* e : {Edit_Password1a, Edit_Password1b}) {
        e->setMinimumWidth(200);
        e->installEventFilter(this);
        layout->addWidget(e);
    }
    layout->addWidget(Button_OK, 0, Qt::AlignHCenter);
    ShowPasswordPrompt(Edit_Password1a, IvTranslate(QStringLiteral("Enter password")));
    ShowPasswordPrompt(Edit_Password1b, IvTranslate(QStringLiteral("Confirm password")));
    Password1Text.clear();
    Password1ConfirmText.clear();
    connect(Edit_Password1a, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!ShowsPasswordPrompt(Edit_Password1a)) Password1Text = t;
    });
    connect(Edit_Password1b, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!ShowsPasswordPrompt(Edit_Password1b)) Password1ConfirmText = t;
    });
    connect(Button_OK, &QPushButton::clicked, this, &TFPassword1::ButtonOKClick);
    Loaded();
}

bool TFPassword1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        if (auto* e = qobject_cast<QLineEdit*>(watched)) ClearPasswordPrompt(e);
    return TTemplateFormMultiLang::eventFilter(watched, event);
}

void TFPassword1::ButtonOKClick() {
    if (Password1Text != Password1ConfirmText) {
        ErrorOk(this, IvTranslate(QStringLiteral("2. Password not identical !")));
        return;
    }
    CalcGlobals.OptionsPassword = Password1Text;
    accept();
}

bool TFPassword1::FormKeyDown(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) return false;
    reject();
    return true;
}
