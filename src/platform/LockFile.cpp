#include "platform/LockFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemError(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

bool SameFile(int fd, const QByteArray& path) {
    struct stat mine {}, there {};
    return ::fstat(fd, &mine) == 0 && ::lstat(path.constData(), &there) == 0 && mine.st_ino == there.st_ino &&
           mine.st_dev == there.st_dev;
}

}  // namespace

TLockFile::TLockFile(const QString& path, int waitMs, const std::function<void(qint64)>& waiting)
    : m_path(QFile::encodeName(path)) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        // Read access is enough to lock: another user's file serves as well.
        // Never through a link put in its place.
        const int fd = ::open(m_path.constData(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) {
            m_failure = QStringLiteral("%1 cannot be opened (%2)").arg(path, SystemError(errno));
            return;
        }
        for (;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
            const int err = errno;
            if (err == EINTR) continue;
            if (err != EWOULDBLOCK || waited.elapsed() >= waitMs) {
                m_busy = err == EWOULDBLOCK;
                m_failure = m_busy ? QStringLiteral("%1 is held by another program").arg(path)
                                   : QStringLiteral("%1 cannot be locked (%2)").arg(path, SystemError(err));
                ::close(fd);
                return;
            }
            if (waiting) waiting(waited.elapsed());
            QThread::msleep(10);
        }
        if (SameFile(fd, m_path)) {
            m_fd = fd;
            return;
        }
        // The holder before us gave the lock back and removed the file.
        ::close(fd);
        if (waited.elapsed() >= waitMs) {
            m_busy = true;
            m_failure = QStringLiteral("%1 is held by another program").arg(path);
            return;
        }
    }
}

TLockFile::~TLockFile() {
    if (m_fd < 0) return;
    // Removed while still held, so no one locks the old file after us and
    // takes it for the lock.
    ::unlink(m_path.constData());
    ::close(m_fd);
}
