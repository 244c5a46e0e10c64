#pragma once
// The small window that tells the engineer that a selection is running.
// The selection blocks the event loop, so the form is painted explicitly.
#include "ui/MultiLang.h"

#include <QPoint>
#include <QPointer>
#include <QRect>

class QLabel;

class TFWarten : public TTemplateFormMultiLang {
    Q_OBJECT
public:
    explicit TFWarten(QWidget* owner = nullptr);
    QLabel* StaticText2 = nullptr;

    // Paints the form now, without dispatching any other object's events.
    void Refresh();
    // Prints the form on the default printer; false without a printer.
    virtual bool PrintForm();

protected:
    bool FormKeyDown(QKeyEvent* event) override;
};

// The current waiting form.
extern QPointer<TFWarten> FWarten;

// Top-left corner of the form: centred over the owner, or over the screen
// without one.
QPoint WaitingFormPosition(const QRect* owner, QSize form, QSize screen);

// The driver's side: create into FWarten, place, show and paint; free.
// A text, when given, replaces the form's own before it shows.
TFWarten* ShowWaitingForm(QWidget* owner, const QString& text = QString());
void RefreshWaitingForm();
void FreeWaitingForm();
