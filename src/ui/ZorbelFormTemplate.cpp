#include "ui/ZorbelFormTemplate.h"

#include "localisation/IvMulti.h"
#include "ui/ApplicationForms.h"
#include "ui/QWDateiInfo2.h"

#include <QApplication>
#include <QEvent>
#include <QWindowStateChangeEvent>
#include <QPointer>
#include <utility>

QString CaptionPrefix;

namespace {
bool g_minimisingApplication = false;
// The windows minimised together with the application (dialogs and boxes
// included), restored together with it.
QList<QPointer<QWidget>> g_minimisedWithApplication;
}  // namespace

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
    g_minimisedWithApplication.append(this);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->isVisible() || w->isMinimized()) continue;
        g_minimisedWithApplication.append(w);
        w->showMinimized();
    }
    g_minimisingApplication = false;
}

// Restoring the application restores every window minimised with it; a
// modal dialog or box comes back above the form it blocks, never hidden
// behind it.
void TZorbelForm::Restored() {
    m_minimised = nullptr;
    if (g_minimisingApplication) return;
    g_minimisingApplication = true;
    const QList<QPointer<QWidget>> windows = std::exchange(g_minimisedWithApplication, {});
    QList<QWidget*> modal;
    for (const QPointer<QWidget>& w : windows) {
        if (!w || w == this) continue;
        if (auto* form = qobject_cast<TZorbelForm*>(w.data())) form->m_minimised = nullptr;
        if (w->isMinimized()) w->showNormal();
        if (w->isModal()) modal.append(w);
    }
    for (QWidget* w : modal) {
        w->raise();
        w->activateWindow();
    }
    g_minimisingApplication = false;
}
