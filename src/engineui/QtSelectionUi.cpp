#include "engineui/QtSelectionUi.h"

#include "data/GlobalFuncs.h"
#include "engineui/KH_INPUT_MSG.h"
#include "messages/MessageSeam.h"
#include "ui/Lek15Warten.h"

#include <QGuiApplication>
#include <QScreen>

QtSelectionUi::QtSelectionUi(QWidget* owner, std::function<void(const QString&)> statusText)
    : m_owner(owner), m_status(std::move(statusText)) {}

QtSelectionUi::~QtSelectionUi() { FreeBlockingDialog(); }

bool QtSelectionUi::WarningYesNo(const QString& text) { return MsgWarningYesNo(text) == mr::Yes; }

void QtSelectionUi::Information(const QString& text) { MsgInformation(text); }

void QtSelectionUi::Warning(const QString& text) { MsgWarning(text); }

void QtSelectionUi::Error(const QString& text) {
    MessageRequest r;
    r.text = text;
    r.kind = MessageKind::Error;
    r.buttons = mb::OK;
    ShowMessage(r);
}

void QtSelectionUi::ShowWaitForm() { ShowWaitingForm(m_owner); }

void QtSelectionUi::RefreshWaitForm() { RefreshWaitingForm(); }

void QtSelectionUi::FreeWaitForm() { FreeWaitingForm(); }

void QtSelectionUi::CreateBlockingDialog() {
    if (m_dialog)
        return;
    m_dialog = new TFKH_INP_MSG(m_owner);
    // Centred like the waiting form.
    const QRect ownerRect = m_owner ? m_owner->frameGeometry() : QRect();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize();
    m_dialog->move(WaitingFormPosition(m_owner ? &ownerRect : nullptr, m_dialog->size(), screenSize));
}

bool QtSelectionUi::ShowBlockingDialog() {
    if (!m_dialog)
        CreateBlockingDialog();
    m_dialog->exec();
    return m_dialog->Saved();
}

void QtSelectionUi::FreeBlockingDialog() { delete m_dialog.data(); }

void QtSelectionUi::SetStatusText(const QString& text) {
    if (m_status)
        m_status(text);
}

void QtSelectionUi::RestoreCursor() {
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}
