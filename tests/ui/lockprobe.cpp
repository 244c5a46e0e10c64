// A small program for the lock tests: a copy that takes the lock with a
// window and reports on standard output what happens to it.
//   lockprobe            take the lock (a refused copy ends as the program does)
//   lockprobe --minimized  the same, with its window minimised
//   lockprobe --hold-only  hold the lock file without answering anybody
#include "ui/ApplicationForms.h"
#include "ui/ExclusiveAccess.h"

#include <QApplication>
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
