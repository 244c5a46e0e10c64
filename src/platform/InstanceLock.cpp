#include "platform/InstanceLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

const char* const InstanceActivateRequest = "ACTIVATE\n";
const char* const InstanceActivateAnswer = "ACTIVATED\n";

bool UnixSocketAddress(const QByteArray& path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

namespace {

int g_fd = -1;

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

// One request on one connection: true when the answer came before the
// deadline (milliseconds on the timer).
bool RequestAnswered(int fd, qint64 deadlineMs, const QElapsedTimer& timer) {
    const size_t requestLength = std::strlen(InstanceActivateRequest);
    if (::send(fd, InstanceActivateRequest, requestLength, MSG_NOSIGNAL) != ssize_t(requestLength)) return false;
    QByteArray line;
    while (!line.contains('\n')) {
        const qint64 left = deadlineMs - timer.elapsed();
        if (left <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char buffer[64];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // closed without an answer
        line.append(buffer, n);
        if (line.size() > 64) return false;
    }
    return line.left(line.indexOf('\n') + 1) == InstanceActivateAnswer;
}

// Asks the copy holding the lock to come to the front. It may still be
// starting (lock taken, socket not yet open), so connecting is retried.
InstanceLockResult AskOtherCopy(const QString& socketPath, int waitMs) {
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address;
    if (!UnixSocketAddress(path, address)) return InstanceLockResult::Blocked;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < waitMs) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return InstanceLockResult::Blocked;
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            const bool answered = RequestAnswered(fd, waitMs, timer);
            ::close(fd);
            return answered ? InstanceLockResult::OtherActivated : InstanceLockResult::Blocked;
        }
        ::close(fd);
        ::usleep(useconds_t(std::clamp<qint64>(waitMs - timer.elapsed(), 1, 50)) * 1000);
    }
    return InstanceLockResult::Blocked;
}

}  // namespace

QString InstanceRuntimeDirectory() {
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return FallbackRuntimeDirectory();
    // Qt checks the directory's owner and mode.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString InstanceLockPath(const char* name) {
    const QString dir = InstanceRuntimeDirectory();
    return dir.isEmpty() ? QString() : dir + "/" + QLatin1String(name) + ".lock";
}

QString InstanceSocketPath(const char* name) {
    // A socket's path has room for about 108 bytes, and the server binds it
    // under a longer temporary name first. A runtime directory too deep for
    // that gives way to the directory of our own in the temporary folder.
    const auto fits = [](const QString& path) {
        sockaddr_un address;
        return UnixSocketAddress(QFile::encodeName(path) + ".new.4294967295", address);
    };
    const auto in = [name](const QString& dir) {
        return dir.isEmpty() ? QString() : dir + "/" + QLatin1String(name) + ".socket";
    };
    const QString path = in(InstanceRuntimeDirectory());
    if (!path.isEmpty() && fits(path)) return path;
    const QString fallback = in(FallbackRuntimeDirectory());
    return !fallback.isEmpty() && fits(fallback) ? fallback : QString();
}

InstanceLockResult TakeInstanceLock(const char* name, int waitMs) {
    if (g_fd >= 0) return InstanceLockResult::Acquired;
    const QString lockPath = InstanceLockPath(name);
    if (lockPath.isEmpty()) {
        // Better to run unguarded than to refuse every start.
        std::fprintf(stderr, "KORVA: no private runtime directory; another copy is not detected\n");
        return InstanceLockResult::Acquired;
    }
    const QByteArray path = QFile::encodeName(lockPath);
    // Close-on-exec: a child program must not carry the lock on after we end.
    // Never through a link put in its place: the file would be created or
    // written wherever the link points.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        const int error = errno;
        if (error == ELOOP)
            std::fprintf(stderr, "KORVA: the lock file %s is a symbolic link and is not followed; another copy is "
                                 "not detected\n", path.constData());
        else
            std::fprintf(stderr, "KORVA: cannot create the lock file %s: %s\n", path.constData(), std::strerror(error));
        return InstanceLockResult::Acquired;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        g_fd = fd;
        // For whoever looks: the holder's process id. Written over the old
        // one and cut to its length afterwards: emptying the file first
        // makes the file system flush it when it is closed, a wait at
        // every start for nothing anybody needs.
        const QByteArray pid = QByteArray::number(qint64(::getpid())) + "\n";
        if (::pwrite(fd, pid.constData(), size_t(pid.size()), 0) == ssize_t(pid.size())) {
            struct stat st {};
            if (::fstat(fd, &st) == 0 && st.st_size != off_t(pid.size())) {
                [[maybe_unused]] const int cut = ::ftruncate(fd, off_t(pid.size()));
            }
        }
        return InstanceLockResult::Acquired;
    }
    const int error = errno;
    ::close(fd);
    if (error != EWOULDBLOCK) {
        std::fprintf(stderr, "KORVA: cannot lock %s: %s\n", path.constData(), std::strerror(error));
        return InstanceLockResult::Acquired;
    }
    return AskOtherCopy(InstanceSocketPath(name), waitMs);
}

bool InstanceLockHeld() { return g_fd >= 0; }

void ReleaseInstanceLock() {
    if (g_fd < 0) return;
    ::close(g_fd);
    g_fd = -1;
}
