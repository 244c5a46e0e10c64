#include "ui/ExclusiveAccess.h"

#include "messages/MessageSeam.h"
#include "platform/InstanceLock.h"
#include "ui/ApplicationForms.h"

#include <QApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const char* const kName = ProgramInstanceName;
const QByteArray kRequest = InstanceActivateRequest;
const QByteArray kAnswer = InstanceActivateAnswer;

// The answering server: a Unix socket the next copy connects to, served
// from the event loop. Plain sockets rather than Qt Network: that library
// and what it pulls in (Kerberos among them) would load at every start for
// this one line of protocol.
class TInstanceServer {
public:
    ~TInstanceServer() { Close(); }
    bool Listen(const QString& path, QString* error);
    void Close();

private:
    struct Client {
        int fd;
        QSocketNotifier* notifier;
        QByteArray pending;
    };
    void Accept();
    void Read(Client* client);
    // From the client's own notification the notifier goes later; from
    // anywhere else at once.
    void Drop(Client* client, bool fromItsNotifier = true);

    int m_fd = -1;
    QByteArray m_path;
    QSocketNotifier* m_notifier = nullptr;
    QList<Client*> m_clients;
};

TInstanceServer* g_server = nullptr;
int g_initCount = 0;

// The window the engineer works in: a modal form open over the others (the
// input form hides itself while its options form is open, and bringing a
// hidden window forward would show nothing), else the main form when it is
// shown, else the first top-level window that is shown.
QWidget* WindowToActivate() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return ApplicationMainForm();
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) return modal;
    QWidget* main = ApplicationMainForm();
    if (main && main->isVisible()) return main;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isWindow()) return w;
    return nullptr;
}

void ActivateWindow() {
    QWidget* w = WindowToActivate();
    if (!w || !w->isVisible()) return;
    if (w->isMinimized()) {
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        w->showNormal();
    } else {
        w->raise();
        w->activateWindow();
    }
}

bool TInstanceServer::Listen(const QString& path, QString* error) {
    const QByteArray name = QFile::encodeName(path);
    // Bound under a name of its own, limited to the user, then renamed into
    // place: no other user can connect in between.
    const QByteArray temporary = name + ".new." + QByteArray::number(::getpid());
    sockaddr_un address;
    if (name.isEmpty() || !UnixSocketAddress(temporary, address)) {
        *error = QStringLiteral("the socket path is too long");
        return false;
    }
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    ::unlink(temporary.constData());
    const bool ok = m_fd >= 0 && ::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                    ::chmod(temporary.constData(), S_IRUSR | S_IWUSR) == 0 && ::listen(m_fd, 8) == 0 &&
                    ::rename(temporary.constData(), name.constData()) == 0;
    if (!ok) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        ::unlink(temporary.constData());
        Close();
        return false;
    }
    m_path = name;
    m_notifier = new QSocketNotifier(qintptr(m_fd), QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] { Accept(); });
    return true;
}

void TInstanceServer::Close() {
    while (!m_clients.isEmpty()) Drop(m_clients.first(), false);
    delete m_notifier;
    m_notifier = nullptr;
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    // The next copy finds no socket left behind to try.
    if (!m_path.isEmpty()) ::unlink(m_path.constData());
    m_path.clear();
}

void TInstanceServer::Accept() {
    for (;;) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        auto* client = new Client{fd, new QSocketNotifier(qintptr(fd), QSocketNotifier::Read), {}};
        m_clients << client;
        QObject::connect(client->notifier, &QSocketNotifier::activated, client->notifier, [this, client] { Read(client); });
    }
}

void TInstanceServer::Read(Client* client) {
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(client->fd, buffer, sizeof buffer);
        if (n > 0) {
            client->pending.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            // The other copy hung up (or the connection failed) before asking.
            if (!client->pending.contains('\n')) return Drop(client);
        }
        break;
    }
    const qsizetype end = client->pending.indexOf('\n');
    if (end < 0) {
        // A request is one short line; anything longer is not one.
        if (client->pending.size() > kRequest.size()) Drop(client);
        return;
    }
    if (client->pending.left(end + 1) != kRequest) return Drop(client);
    ActivateWindow();
    emit SingleInstanceEvents::Instance().Activated();
    // A few bytes into an empty socket buffer: written at once.
    (void)::send(client->fd, kAnswer.constData(), size_t(kAnswer.size()), MSG_NOSIGNAL);
    Drop(client);
}

void TInstanceServer::Drop(Client* client, bool fromItsNotifier) {
    m_clients.removeOne(client);
    client->notifier->setEnabled(false);
    if (fromItsNotifier) client->notifier->deleteLater();
    else delete client->notifier;
    ::close(client->fd);
    delete client;
}

void StartServer() {
    if (!QCoreApplication::instance()) return;
    const QString path = SingleInstanceSocketPath();
    // A socket file left by a copy that was killed; the lock says no copy
    // listens on it any more.
    ::unlink(QFile::encodeName(path).constData());
    g_server = new TInstanceServer;
    QString error;
    if (!g_server->Listen(path, &error)) {
        std::fprintf(stderr, "KORVA: cannot listen on %s: %s\n", qPrintable(path), qPrintable(error));
        return;
    }
}

}  // namespace

SingleInstanceEvents& SingleInstanceEvents::Instance() {
    static SingleInstanceEvents events;
    return events;
}

QString SingleInstanceLockPath() { return InstanceLockPath(kName); }

QString SingleInstanceSocketPath() { return InstanceSocketPath(kName); }

bool SingleInstanceHeld() { return InstanceLockHeld(); }

SingleInstanceResult TryAcquireSingleInstance(int waitMs) {
    if (InstanceLockHeld()) return SingleInstanceResult::Acquired;
    switch (TakeInstanceLock(kName, waitMs)) {
    case InstanceLockResult::Acquired:
        if (InstanceLockHeld()) StartServer();
        return SingleInstanceResult::Acquired;
    case InstanceLockResult::OtherActivated: return SingleInstanceResult::OtherActivated;
    case InstanceLockResult::Blocked: break;
    }
    return SingleInstanceResult::Blocked;
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
        delete g_server;
        g_server = nullptr;
    }
    ReleaseInstanceLock();
    return true;
}

void InitSingleInstanceLock() {
    if (g_initCount++ == 0) AcquireSingleInstance();
}

void DoneSingleInstanceLock() {
    if (g_initCount > 0 && --g_initCount == 0) ReleaseSingleInstance();
}
