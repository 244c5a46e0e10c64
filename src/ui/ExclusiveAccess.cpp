#include "ui/ExclusiveAccess.h"

#include "messages/MessageSeam.h"
#include "platform/InstanceLock.h"
#include "ui/ApplicationForms.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

namespace {

const char* const kName = ProgramInstanceName;
const QByteArray kRequest = InstanceActivateRequest;
const QByteArray kAnswer = InstanceActivateAnswer;

QLocalServer* g_server = nullptr;
int g_initCount = 0;

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
        g_server->close();
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
