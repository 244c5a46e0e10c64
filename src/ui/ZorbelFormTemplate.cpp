#include "ui/ZorbelFormTemplate.h"

#include "localisation/IvMulti.h"
#include "ui/ApplicationForms.h"
#include "ui/QWDateiInfo2.h"

#include <QApplication>
#include <QEvent>
#include <QWindowStateChangeEvent>

QString CaptionPrefix;

namespace {
bool g_minimisingApplication = false;
}

QString BuildZorbelCaption(const QString& title, const QString& version, const QString& subTitle,
                           const QString& prefix) {
    QString caption = title + QStringLiteral(" (") + version + QLatin1Char(')');
    if (!subTitle.isEmpty()) caption += QStringLiteral(" - ") + subTitle;
    if (!prefix.isEmpty()) caption += QStringLiteral(" - ") + prefix;
    return caption;
}

TZorbelForm::TZorbelForm(QWidget* parent) : TTemplateFormMultiLang(parent) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setMinimumSize(m_minWidth, m_minHeight);
    QWDateiInfo = new TQWDateiInfo(this);
    QWDateiInfo->setObjectName(QStringLiteral("QWDateiInfo"));
    IvTranslator1->Targets.Add(QStringLiteral("QPlainTextEdit"), QStringLiteral("Text"));
    for (const char* property : {"Lines", "Items", "Cells", "Filter"})
        IvTranslator1->Targets.Add(QString(), QString::fromLatin1(property));
}

void TZorbelForm::SetMinWidth(int width) {
    m_minWidth = width;
    setMinimumSize(m_minWidth, m_minHeight);
}

void TZorbelForm::SetMinHeight(int height) {
    m_minHeight = height;
    setMinimumSize(m_minWidth, m_minHeight);
}

void TZorbelForm::SetCaptionSubTitle(const QString& subTitle) {
    m_captionSubTitle = subTitle;
    UpdateCaption();
}

void TZorbelForm::FormCreate() { UpdateCaption(); }

void TZorbelForm::UpdateCaption() {
    setWindowTitle(
        BuildZorbelCaption(ApplicationTitle(), QWDateiInfo->DateiVersion(), m_captionSubTitle, CaptionPrefix));
}

void TZorbelForm::changeEvent(QEvent* event) {
    TTemplateFormMultiLang::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if (isMinimized()) Minimised();
    else if (change->oldState() & Qt::WindowMinimized) Restored();
}

// One minimised form takes the whole application down with it.
void TZorbelForm::Minimised() {
    m_minimised = this;
    if (g_minimisingApplication) return;
    g_minimisingApplication = true;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && !w->isMinimized()) w->showMinimized();
    g_minimisingApplication = false;
}

// Restoring the main form restores the other forms remembered as minimised.
void TZorbelForm::Restored() {
    if (this != ApplicationMainForm()) {
        m_minimised = nullptr;
        return;
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* form = qobject_cast<TZorbelForm*>(w);
        if (!form || form == this || !form->m_minimised) continue;
        form->m_minimised = nullptr;
        form->showNormal();
    }
    m_minimised = nullptr;
}
