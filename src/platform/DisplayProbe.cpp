#include "platform/DisplayProbe.h"

#include <QElapsedTimer>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Milliseconds left of the bound.
int Left(const QElapsedTimer& t, int waitMs) { return int(std::max<qint64>(0, waitMs - t.elapsed())); }

// Waits for the socket to become ready for `events`; false on the bound.
bool WaitFor(int fd, short events, const QElapsedTimer& t, int waitMs) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, Left(t, waitMs));
        if (n < 0 && errno == EINTR) continue;
        return n > 0;
    }
}

// A connected socket, or -1; *silent when the connection itself did not
// complete within the bound.
int Connect(const sockaddr* address, socklen_t length, int family, const QElapsedTimer& t, int waitMs, bool* silent) {
    const int fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    int rc = ::connect(fd, address, length);
    // A Unix socket whose listener takes no more connections (its queue is
    // full) refuses for now: tried again until the bound.
    while (rc != 0 && errno == EAGAIN && family == AF_UNIX) {
        if (Left(t, waitMs) == 0) {
            *silent = true;
            ::close(fd);
            return -1;
        }
        ::usleep(20000);
        rc = ::connect(fd, address, length);
    }
    if (rc == 0) return fd;
    if (errno == EINPROGRESS) {
        if (!WaitFor(fd, POLLOUT, t, waitMs)) {
            *silent = true;
            ::close(fd);
            return -1;
        }
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0) return fd;
    }
    ::close(fd);
    return -1;
}

int ConnectUnix(const QByteArray& path, bool abstract, const QElapsedTimer& t, int waitMs, bool* silent) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const qsizetype room = qsizetype(sizeof address.sun_path) - 1;
    if (path.size() > room) return -1;
    char* at = address.sun_path + (abstract ? 1 : 0);
    std::memcpy(at, path.constData(), size_t(path.size()));
    const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + (abstract ? 1 : 0) + path.size() + (abstract ? 0 : 1));
    return Connect(reinterpret_cast<const sockaddr*>(&address), length, AF_UNIX, t, waitMs, silent);
}

int ConnectTcp(const QByteArray& host, int port, const QElapsedTimer& t, int waitMs, bool* silent) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &list) != 0) return -1;
    int fd = -1;
    for (addrinfo* a = list; a && fd < 0 && !*silent; a = a->ai_next)
        fd = Connect(a->ai_addr, a->ai_addrlen, a->ai_family, t, waitMs, silent);
    ::freeaddrinfo(list);
    return fd;
}

// Sends the first request and waits for anything back: an answer, or the
// server closing the connection, both mean it is there.
DisplayAnswer AskAndWait(int fd, const QByteArray& request, const QElapsedTimer& t, int waitMs) {
    qsizetype sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(fd, request.constData() + sent, size_t(request.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && WaitFor(fd, POLLOUT, t, waitMs)) continue;
        ::close(fd);
        return n < 0 && errno == EAGAIN ? DisplayAnswer::Silent : DisplayAnswer::Answered;
    }
    const bool answered = WaitFor(fd, POLLIN, t, waitMs);
    ::close(fd);
    return answered ? DisplayAnswer::Answered : DisplayAnswer::Silent;
}

DisplayAnswer Outcome(int fd, bool silent, const QByteArray& request, const QElapsedTimer& t, int waitMs) {
    if (fd >= 0) return AskAndWait(fd, request, t, waitMs);
    return silent ? DisplayAnswer::Silent : DisplayAnswer::NotReached;
}

// The connection setup of the X protocol, version 11.0, without
// authorisation: the server answers it at once, with success or refusal.
QByteArray X11Setup() {
    QByteArray r(12, '\0');
    const bool little = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    r[0] = little ? 'l' : 'B';
    const uint16_t major = 11;
    std::memcpy(r.data() + 2, &major, 2);
    return r;
}

// wl_display.sync (object 1, request 0) with the new callback object 2:
// the server answers with the callback's "done".
QByteArray WaylandSync() {
    const uint32_t words[3] = {1, (12u << 16) | 0u, 2};
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words);
}

}  // namespace

DisplayAnswer ProbeX11Display(const QByteArray& display, int waitMs) {
    QElapsedTimer t;
    t.start();
    bool silent = false;
    const QByteArray request = X11Setup();
    // A socket path, with or without a screen number.
    if (display.startsWith('/')) {
        QByteArray path = display;
        struct stat st {};
        if (::stat(path.constData(), &st) != 0) {
            const qsizetype dot = path.lastIndexOf('.');
            if (dot > 0) path.truncate(dot);
        }
        return Outcome(ConnectUnix(path, false, t, waitMs, &silent), silent, request, t, waitMs);
    }
    QByteArray name = display;
    QByteArray protocol;
    if (const qsizetype slash = name.indexOf('/'); slash >= 0) {
        protocol = name.left(slash);
        name = name.mid(slash + 1);
    }
    const qsizetype colon = name.lastIndexOf(':');
    if (colon < 0 || (colon > 0 && name[colon - 1] == ':')) return DisplayAnswer::NotReached;  // DECnet: not ours
    const QByteArray host = name.left(colon);
    QByteArray number = name.mid(colon + 1);
    if (const qsizetype dot = number.indexOf('.'); dot >= 0) number.truncate(dot);
    bool ok = false;
    const int n = number.toInt(&ok);
    if (!ok || n < 0) return DisplayAnswer::NotReached;
    const bool local = host.isEmpty() || host == "unix" || protocol == "unix";
    if (local && protocol != "tcp" && protocol != "inet" && protocol != "inet6") {
        const QByteArray socket = "/tmp/.X11-unix/X" + QByteArray::number(n);
        int fd = ConnectUnix(socket, true, t, waitMs, &silent);
        if (fd < 0 && !silent) fd = ConnectUnix(socket, false, t, waitMs, &silent);
        if (fd >= 0 || silent || protocol == "unix" || host == "unix")
            return Outcome(fd, silent, request, t, waitMs);
    }
    return Outcome(ConnectTcp(host.isEmpty() ? QByteArray("localhost") : host, 6000 + n, t, waitMs, &silent), silent,
                   request, t, waitMs);
}

DisplayAnswer ProbeWaylandDisplay(const QByteArray& display, int waitMs) {
    QElapsedTimer t;
    t.start();
    const QByteArray name = display.isEmpty() ? QByteArray("wayland-0") : display;
    QByteArray path = name;
    if (!name.startsWith('/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty()) return DisplayAnswer::NotReached;
        path = runtime + '/' + name;
    }
    bool silent = false;
    return Outcome(ConnectUnix(path, false, t, waitMs, &silent), silent, WaylandSync(), t, waitMs);
}
