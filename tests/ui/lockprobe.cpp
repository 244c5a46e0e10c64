// A small program for the lock tests: a copy that takes the lock with a
// window and reports on standard output what happens to it.
//   lockprobe            take the lock (a refused copy ends as the program does)
//   lockprobe --minimized  the same, with its window minimised
//   lockprobe --hold-only  hold the lock file without answering anybody
//   lockprobe --options    its main form hidden behind a modal form, as the
//                          input form is while its options form is open;
//                          says which of the two is raised
//   lockprobe --modal      its main form shown with a modal box over it;
//                          says which of the two is raised
#include "ui/ApplicationForms.h"
#include "ui/ExclusiveAccess.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
void Say(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}
// Says which window is raised.
class RaiseWatch : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ZOrderChange)
            Say(qPrintable(QStringLiteral("RAISED ") + watched->objectName()));
        return false;
    }
};
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    // Ends by itself so that a failed test leaves nothing running.
    QTimer::singleShot(30000, &app, &QCoreApplication::quit);
    if (args.contains("--hold-only")) {
        const int fd = ::open(QFile::encodeName(SingleInstanceLockPath()).constData(), O_RDWR | O_CREAT, 0600);
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) return 10;
        Say("HOLDING");
        return app.exec();
    }
    InitSingleInstanceLock();
    QWidget window;
    window.setWindowTitle("lock probe");
    SetApplicationMainForm(&window);
    if (args.contains("--options") || args.contains("--modal")) {
        const bool box = args.contains("--modal");
        window.setObjectName("input");
        if (box) window.show();
        QDialog options(&window);
        options.setObjectName(box ? "box" : "options");
        options.setWindowTitle("lock probe options");
        RaiseWatch watch;
        window.installEventFilter(&watch);
        options.installEventFilter(&watch);
        QObject::connect(&SingleInstanceEvents::Instance(), &SingleInstanceEvents::Activated, &app, [&window] {
            Say(window.isVisible() ? "ACTIVATED input shown" : "ACTIVATED input hidden");
        });
        QTimer::singleShot(0, &app, [&] {
            QTimer::singleShot(0, &app, [] { Say("ACQUIRED"); });
            options.exec();
            app.quit();
        });
        const int code = app.exec();
        DoneSingleInstanceLock();
        return code;
    }
    if (args.contains("--minimized"))
        window.showMinimized();
    else
        window.show();
    QObject::connect(&SingleInstanceEvents::Instance(), &SingleInstanceEvents::Activated, &app, [&window] {
        Say(window.isMinimized() ? "ACTIVATED minimized" : "ACTIVATED normal");
    });
    Say("ACQUIRED");
    const int code = app.exec();
    DoneSingleInstanceLock();
    return code;
}
