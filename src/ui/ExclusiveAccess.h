#pragma once
// One running copy of the program per user. The first copy holds a lock
// file in the user's runtime directory and listens on a local socket beside
// it; a second copy asks the first, through the socket, to bring its window
// to the front and ends. The kernel drops the lock of a copy that dies, so a
// killed copy never blocks the next start.
#include "platform/InstanceLock.h"

#include <QObject>
#include <QString>

// The exit code of a copy that another running copy refused.
constexpr int SingleInstanceRefusedExitCode = InstanceRefusedExitCode;

enum class SingleInstanceResult {
    Acquired,        // this copy holds the lock
    OtherActivated,  // another copy runs and was asked to come to the front
    Blocked,         // another copy holds the lock but does not answer
};

// Takes the lock, or reaches the copy that holds it (waiting up to waitMs
// for its answer). Runs no box and does not end the process.
SingleInstanceResult TryAcquireSingleInstance(int waitMs = InstanceLockWaitMs);

// True when the lock was taken. When another copy runs it does not return:
// that copy is brought to the front (or, when it cannot be reached, the
// message "Sorry, blocked by another running KORVA program !" is shown) and
// the process ends with SingleInstanceRefusedExitCode.
bool AcquireSingleInstance();
// Always true.
bool ReleaseSingleInstance();
bool SingleInstanceHeld();

// Taken once at start, in every mode, before the command line is read;
// released at the end.
void InitSingleInstanceLock();
void DoneSingleInstanceLock();

// The lock file and the socket of the current user.
QString SingleInstanceLockPath();
QString SingleInstanceSocketPath();

// Signals of the first copy: Activated after it brought its window to the
// front for a second copy.
class SingleInstanceEvents : public QObject {
    Q_OBJECT
public:
    static SingleInstanceEvents& Instance();
signals:
    void Activated();
};

// The component the input form carries; nothing happens at run time beyond
// its creation.
class TzorbelOnlyOne : public QObject {
    Q_OBJECT
public:
    explicit TzorbelOnlyOne(QObject* owner = nullptr) : QObject(owner) { About.clear(); }
    QString About;
};
