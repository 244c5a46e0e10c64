#pragma once
// An exclusive lock among processes (of one user or of several), held on a
// file of its own. The system lets it go when the holder ends, however it
// ends, so a kill leaves no lock behind, only the file, which the next
// holder takes over. The holder removes the file when it gives the lock
// back; a waiter that locked a file removed meanwhile tries again on the
// one now at the path, so the lock is always the one on that file.
#include <QByteArray>
#include <QString>
#include <functional>

class TLockFile {
public:
    // Waits at most waitMs for the lock; waiting, when given, is called
    // with the time waited so far each time the lock is found taken.
    TLockFile(const QString& path, int waitMs, const std::function<void(qint64 waitedMs)>& waiting = {});
    ~TLockFile();
    TLockFile(const TLockFile&) = delete;
    TLockFile& operator=(const TLockFile&) = delete;

    bool Held() const { return m_fd >= 0; }
    // Another holder kept it for the whole wait.
    bool Busy() const { return m_busy; }
    // Why it is not held: empty when it is.
    QString Failure() const { return m_failure; }

private:
    QByteArray m_path;
    int m_fd = -1;
    bool m_busy = false;
    QString m_failure;
};
