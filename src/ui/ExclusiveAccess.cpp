#include "ui/ExclusiveAccess.h"

#include "messages/MessageSeam.h"
#include "ui/ApplicationForms.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kName = "ZORBEL_KORVA2010_MUTEX";
const QByteArray kRequest = "ACTIVATE\n";
const QByteArray kAnswer = "ACTIVATED\n";

int g_fd = -1;
QLocalServer* g_server = nullptr;
int g_initCount = 0;

// A directory of our own in the shared temporary folder, for a session
// without a runtime directory. Anybody may create names there, so one that
// is not ours alone is not used.
QString FallbackRuntimeDirectory() {
    const QString dir = QDir::tempPath() + QStringLiteral("/korva-runtime-%1").arg(::getuid());
    const QByteArray path = QFile::encodeName(dir);
    ::mkdir(path.constData(), 0700);
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0)
        return {};
    return dir;
}

// The user's runtime directory (Qt checks its owner and mode), or empty.
QString RuntimeDirectory() {
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return FallbackRuntimeDirectory();
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

// The main form, else the first top-level window that is shown.
QWidget* WindowToActivate() {
    if (QWidget* main = ApplicationMainForm()) return main;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() || w->isMinimized()) return w;
    return nullptr;
}

void ActivateWindow() {
    QWidget* w = WindowToActivate();
    if (!w) return;
    if (w->isMinimized()) {
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        w->showNormal();
    } else {
        w->raise();
        w->activateWindow();
    }
}

void Serve(QLocalSocket* socket) {
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
        if (!socket->canReadLine()) {
            // A request is one short line; anything longer is not one.
            if (socket->bytesAvailable() > kRequest.size()) socket->disconnectFromServer();
            return;
        }
        if (socket->readLine() != kRequest) {
            socket->disconnectFromServer();
            return;
        }
        ActivateWindow();
        emit SingleInstanceEvents::Instance().Activated();
        socket->write(kAnswer);
        socket->flush();
        socket->disconnectFromServer();
    });
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
}

void StartServer() {
    if (!QCoreApplication::instance()) return;
    const QString path = SingleInstanceSocketPath();
    // A socket file left by a copy that was killed; the lock says no copy
    // listens on it any more.
    QLocalServer::removeServer(path);
    g_server = new QLocalServer;
    g_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!g_server->listen(path)) {
        std::fprintf(stderr, "KORVA: cannot listen on %s: %s\n", qPrintable(path), qPrintable(g_server->errorString()));
        return;
    }
    QObject::connect(g_server, &QLocalServer::newConnection, g_server, [] {
        while (QLocalSocket* s = g_server->nextPendingConnection()) Serve(s);
    });
}

// Asks the copy holding the lock to come to the front. It may still be
// starting (lock taken, socket not yet open), so connecting is retried.
SingleInstanceResult AskOtherCopy(int waitMs) {
    QElapsedTimer timer;
    timer.start();
    const auto left = [&] { return std::max(1, int(waitMs - timer.elapsed())); };
    while (timer.elapsed() < waitMs) {
        QLocalSocket socket;
        socket.connectToServer(SingleInstanceSocketPath());
        if (socket.waitForConnected(left())) {
            socket.write(kRequest);
            socket.flush();
            while (!socket.canReadLine() && socket.waitForReadyRead(left())) {
            }
            return socket.canReadLine() && socket.readLine() == kAnswer ? SingleInstanceResult::OtherActivated
                                                                        : SingleInstanceResult::Blocked;
        }
        QThread::msleep(50);
    }
    return SingleInstanceResult::Blocked;
}

}  // namespace

SingleInstanceEvents& SingleInstanceEvents::Instance() {
    static SingleInstanceEvents events;
    return events;
}

QString SingleInstanceLockPath() {
    const QString dir = RuntimeDirectory();
    return dir.isEmpty() ? QString() : dir + "/" + kName + ".lock";
}

QString SingleInstanceSocketPath() {
    const QString dir = RuntimeDirectory();
    return dir.isEmpty() ? QString() : dir + "/" + kName + ".socket";
}

bool SingleInstanceHeld() { return g_fd >= 0; }

SingleInstanceResult TryAcquireSingleInstance(int waitMs) {
    if (g_fd >= 0) return SingleInstanceResult::Acquired;
    const QString lockPath = SingleInstanceLockPath();
    if (lockPath.isEmpty()) {
        // Better to run unguarded than to refuse every start.
        std::fprintf(stderr, "KORVA: no private runtime directory; another copy is not detected\n");
        return SingleInstanceResult::Acquired;
    }
    const QByteArray path = QFile::encodeName(lockPath);
    // Close-on-exec: a child program must not carry the lock on after we end.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::fprintf(stderr, "KORVA: cannot create the lock file %s: %s\n", path.constData(), std::strerror(errno));
        return SingleInstanceResult::Acquired;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        g_fd = fd;
        // For whoever looks: the holder's process id.
        const QByteArray pid = QByteArray::number(qint64(::getpid())) + "\n";
        if (::ftruncate(fd, 0) == 0) {
            [[maybe_unused]] const ssize_t written = ::write(fd, pid.constData(), size_t(pid.size()));
        }
        StartServer();
        return SingleInstanceResult::Acquired;
    }
    const int error = errno;
    ::close(fd);
    if (error != EWOULDBLOCK) {
        std::fprintf(stderr, "KORVA: cannot lock %s: %s\n", path.constData(), std::strerror(error));
        return SingleInstanceResult::Acquired;
    }
    return AskOtherCopy(waitMs);
}

bool AcquireSingleInstance() {
    const SingleInstanceResult r = TryAcquireSingleInstance();
    if (r == SingleInstanceResult::Acquired) return true;
    if (r == SingleInstanceResult::Blocked) ShowSystemMessage(QStringLiteral("Sorry, blocked by another running KORVA program !"));
    // No further start-up: nothing of this copy may run, not even the
    // clean-up of objects that were never meant to be created.
    std::fflush(nullptr);
    ::_exit(SingleInstanceRefusedExitCode);
}

bool ReleaseSingleInstance() {
    if (g_server) {
        g_server->close();
        delete g_server;
        g_server = nullptr;
    }
    // The lock file stays: removing it could let two copies lock two
    // different files of the same name.
    if (g_fd >= 0) {
        ::close(g_fd);
        g_fd = -1;
    }
    return true;
}

void InitSingleInstanceLock() {
    if (g_initCount++ == 0) AcquireSingleInstance();
}

void DoneSingleInstanceLock() {
    if (g_initCount > 0 && --g_initCount == 0) ReleaseSingleInstance();
}
