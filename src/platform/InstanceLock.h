#pragma once
// The part of "one running copy per user" that needs no window and no event
// loop: the lock file in the user's runtime directory and the request to
// the copy holding it. Delete mode uses it as it stands; the interface layer
// adds the local server that answers requests and brings a window to the
// front.
#include <QByteArray>
#include <QString>
#include <sys/un.h>

// The program's lock (the name of the mutex of the system it replaces), how
// long a refused copy waits for the holder's answer, and its exit code.
inline constexpr const char* ProgramInstanceName = "ZORBEL_KORVA2010_MUTEX";
inline constexpr int InstanceLockWaitMs = 1500;
inline constexpr int InstanceRefusedExitCode = 4;

enum class InstanceLockResult {
    Acquired,        // this process holds the lock (or runs unguarded)
    OtherActivated,  // another copy holds it and answered the request
    Blocked,         // another copy holds it but did not answer
};

// The user's private runtime directory ($XDG_RUNTIME_DIR, else a directory
// of our own in the temporary folder), or empty when there is none that is
// ours alone.
QString InstanceRuntimeDirectory();

// The lock file and the socket of the copy that holds it, for this name; empty
// without a runtime directory. A runtime directory too deep for a socket's
// address puts the socket into the directory of our own in the temporary
// folder.
QString InstanceLockPath(const char* name);
QString InstanceSocketPath(const char* name);

// The Unix socket address of a file-system path; false when the path is
// empty or does not fit the address.
bool UnixSocketAddress(const QByteArray& path, sockaddr_un& address);

// Takes the lock file (close-on-exec, the holder's process id written into
// it). When another copy holds it, that copy is asked through its socket to
// come to the front, waiting up to waitMs for the answer. Without a runtime
// directory, or when the lock file cannot be made, the process runs
// unguarded (Acquired) after a line on standard error.
InstanceLockResult TakeInstanceLock(const char* name, int waitMs);

// True while this process holds the lock; ReleaseInstanceLock gives it back
// (the file stays: removing it could let two copies lock two files of the
// same name).
bool InstanceLockHeld();
void ReleaseInstanceLock();

// The request line a copy sends and the answer of the copy holding the lock.
extern const char* const InstanceActivateRequest;
extern const char* const InstanceActivateAnswer;
