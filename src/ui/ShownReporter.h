#pragma once
// Start-up measurement: once the watched window has painted itself, the
// moment on the monotonic clock goes to standard output ("shown <ns>") and
// the application quits, so a benchmark measures to the first paint and not
// to the process's exit.
#include <QObject>

class ShownReporter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_reported = false;
};
