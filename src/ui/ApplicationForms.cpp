#include "ui/ApplicationForms.h"

#include "ui/MultiLang.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include <QCoreApplication>
#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace {
QString g_title = QStringLiteral("KORVA");
QPointer<QWidget> g_mainForm;
QString g_helpFile;
}  // namespace

QString ApplicationTitle() { return g_title; }

void SetApplicationTitle(const QString& title) { g_title = title; }

QWidget* ApplicationMainForm() { return g_mainForm.data(); }

void SetApplicationMainForm(QWidget* form) { g_mainForm = form; }

QString ProgramDirectory() { return QCoreApplication::applicationDirPath(); }

QString ApplicationHelpFileName() { return g_helpFile; }

void SetApplicationHelpFileName(const QString& file) { g_helpFile = file; }

QString HelpNotShownText(int helpContext, const QString& helpFile) {
    QString text = TranslateMenuText(QStringLiteral("Die Hilfe kann nicht angezeigt werden."));
    QStringList topic;
    if (!helpFile.isEmpty()) topic << helpFile;
    if (helpContext != 0) topic << QLatin1Char('(') + QString::number(helpContext) + QLatin1Char(')');
    if (!topic.isEmpty()) text += QLatin1Char('\n') + topic.join(QLatin1Char(' '));
    return text;
}

TApplicationHelp& ApplicationHelpHandler() {
    static TApplicationHelp handler = [](QWidget* owner, int helpContext, const QString& helpFile) {
        InformationOk(owner, HelpNotShownText(helpContext, helpFile));
    };
    return handler;
}

void ShowApplicationHelp(QWidget* owner, int helpContext, const QString& helpFile) {
    const QString file = helpFile.isEmpty() ? ApplicationHelpFileName() : helpFile;
    if (ApplicationHelpHandler()) ApplicationHelpHandler()(owner, helpContext, file);
}
