#include "ui/ApplicationForms.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace {
QString g_title = QStringLiteral("KORVA");
QPointer<QWidget> g_mainForm;
}  // namespace

QString ApplicationTitle() { return g_title; }

void SetApplicationTitle(const QString& title) { g_title = title; }

QWidget* ApplicationMainForm() { return g_mainForm.data(); }

void SetApplicationMainForm(QWidget* form) { g_mainForm = form; }

QString ProgramDirectory() { return QCoreApplication::applicationDirPath(); }
