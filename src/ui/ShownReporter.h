#pragma once
// Start-up measurement: once the watched window has painted itself and the
// paint has gone to the window system, the moment on the monotonic clock and
// the processor time the process has used so far go to standard output
// ("shown <ns> <cpu-ns>") and the application quits, so a benchmark measures
// to the first paint and not to the process's exit, nor to whatever work the
// program queued behind that paint. The processor time tells the work apart
// from the waiting on a loaded machine.
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class QWindow;

class ShownReporter : public QObject {
public:
    using QObject::QObject;
    // Call before the widget is shown: the native window is made here so
    // that its first expose is not missed.
    void Watch(QWidget* widget);
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Where the line goes (standard output unless set).
    std::function<void(const char* line)> Sink;

private:
    void Report();

    QPointer<QWidget> m_widget;
    QPointer<QWindow> m_window;
    bool m_painted = false;
    bool m_reported = false;
};
