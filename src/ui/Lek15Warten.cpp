#include "ui/MultiLang.h"
#include "ui/Lek15Warten.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <cmath>

QPointer<TFWarten> FWarten;

TFWarten::TFWarten(QWidget* owner) : TTemplateFormMultiLang(owner) {
    setObjectName(QStringLiteral("FWarten"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("KORVA"));
    setCursor(Qt::WaitCursor);
    setFixedSize(303, 69);
    SetKeyPreview(true);

    StaticText2 = new QLabel(QStringLiteral(" Berechnung läuft "), this);
    StaticText2->setObjectName(QStringLiteral("StaticText2"));
    StaticText2->setGeometry(20, 20, 265, 24);
    StaticText2->setAlignment(Qt::AlignCenter);
    StaticText2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont font = StaticText2->font();
    font.setBold(true);
    font.setPixelSize(16);
    StaticText2->setFont(font);
    Loaded();
}

void TFWarten::Refresh() {
    // The selection runs inside another window's handler: dispatching the
    // event queue here would run other windows' timers and posted events in
    // the middle of it. Only the form's own pending events (layout, text
    // changes) are delivered, then the form paints itself.
    QCoreApplication::sendPostedEvents(this, 0);
    for (QWidget* child : findChildren<QWidget*>()) QCoreApplication::sendPostedEvents(child, 0);
    // show() has asked the window system to map the form; its answer comes
    // through the event loop, which the selection does not return to.
    // Painting into the window before the answer is harmless, and it is the
    // only way the form shows while the selection runs.
    if (isVisible() && !testAttribute(Qt::WA_Mapped)) setAttribute(Qt::WA_Mapped);
    repaint();
}

bool TFWarten::PrintForm() { return PrintFormOnDefaultPrinter(*this); }

bool TFWarten::FormKeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10) PrintForm();
    return true;  // the form reacts to no other key, Esc included
}

QPoint WaitingFormPosition(const QRect* owner, QSize form, QSize screen) {
    const auto half = [](int v) { return int(std::trunc(v * 0.5)); };
    if (owner)
        return {owner->left() + half(owner->width()) - half(form.width()),
                owner->top() + half(owner->height()) - half(form.height())};
    return {half(screen.width()) - half(form.width()), half(screen.height()) - half(form.height())};
}

TFWarten* ShowWaitingForm(QWidget* owner, const QString& text) {
    FreeWaitingForm();
    FWarten = new TFWarten(owner);
    if (!text.isEmpty()) FWarten->StaticText2->setText(text);
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    const QRect ownerRect = owner ? owner->frameGeometry() : QRect();
    FWarten->move(WaitingFormPosition(owner ? &ownerRect : nullptr, FWarten->size(), screenSize));
    FWarten->show();
    FWarten->Refresh();
    return FWarten;
}

void RefreshWaitingForm() {
    if (FWarten) FWarten->Refresh();
}

void FreeWaitingForm() { delete FWarten.data(); }
