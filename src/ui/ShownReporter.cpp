#include "ui/ShownReporter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <ctime>

void ShownReporter::Watch(QWidget* widget) {
    m_widget = widget;
    widget->winId();
    m_window = widget->windowHandle();
    widget->installEventFilter(this);
    if (m_window) m_window->installEventFilter(this);
}

// The widgets of a window are painted while its window handles an expose or
// an update request, and the result is flushed to the window system before
// that handling returns: delivering the event here and looking afterwards
// gives the end of the first whole paint, children included.
bool ShownReporter::eventFilter(QObject* watched, QEvent* event) {
    if (m_reported) return QObject::eventFilter(watched, event);
    if (watched == m_widget && event->type() == QEvent::Paint) m_painted = true;
    if (watched == m_window && (event->type() == QEvent::Expose || event->type() == QEvent::UpdateRequest)) {
        const bool handled = static_cast<QObject*>(m_window.data())->event(event);
        if (m_painted) Report();
        return handled;
    }
    return QObject::eventFilter(watched, event);
}

void ShownReporter::Report() {
    m_reported = true;
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    char line[64];
    std::snprintf(line, sizeof line, "shown %lld %lld\n", static_cast<long long>(ns),
                  static_cast<long long>(cpu.tv_sec) * 1000000000LL + cpu.tv_nsec);
    if (Sink) {
        Sink(line);
    } else {
        std::fputs(line, stdout);
        std::fflush(stdout);
    }
    QCoreApplication::quit();
}
