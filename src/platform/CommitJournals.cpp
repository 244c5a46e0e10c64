#include "platform/CommitJournals.h"

#include "platform/DirectoryNames.h"

#include <QFile>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// SQLite ends the journal of a table in a commit over several files with
// the super-journal's path, its length, a checksum and the journal's magic
// number: the path stands within this many bytes of the end.
constexpr qint64 kJournalTail = 64 * 1024;
// A super-journal lists the paths of its tables' journals; far less than
// this for any commit of the program.
constexpr qint64 kSuperJournalLimit = 1024 * 1024;

// Up to `limit` bytes from the end of a plain file; false when it cannot be
// read.
bool ReadTail(const QByteArray& path, qint64 limit, QByteArray& out) {
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const qint64 size = ok ? qint64(st.st_size) : 0;
    const qint64 from = size > limit ? size - limit : 0;
    out.resize(size - from);
    qint64 done = 0;
    while (ok && done < out.size()) {
        const ssize_t n = ::pread(fd, out.data() + done, size_t(out.size() - done), off_t(from + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    out.truncate(done);
    ::close(fd);
    return ok;
}

// Whether a commit still needs the super-journal: a journal it lists is
// there and names it (its rollback reads the super-journal to learn that
// the commit did not finish), or one cannot be read, which keeps it too.
bool StillNamed(const QByteArray& superPath, const QByteArray& superName) {
    QByteArray list;
    if (!ReadTail(superPath, kSuperJournalLimit, list)) return true;
    const QByteArray mark = '/' + superName;
    for (const QByteArray& journal : list.split('\0')) {
        if (journal.isEmpty()) continue;
        struct stat st {};
        if (::lstat(journal.constData(), &st) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) continue;
            return true;
        }
        // The paths come from a file anybody who writes the directory can
        // make: a device or a FIFO named there is never opened (it is no
        // journal, and the super-journal stays).
        if (!S_ISREG(st.st_mode)) return true;
        QByteArray tail;
        if (!ReadTail(journal, kJournalTail, tail) || tail.contains(mark)) return true;
    }
    return false;
}

int SweepHeldDirectory(int dirFd, const QByteArray& dir) {
    int removed = 0;
    for (const QByteArray& name : NamesInDirectory(dirFd, &IsCommitSuperJournalName)) {
        struct stat st {};
        if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
        if (StillNamed(dir + '/' + name, name)) continue;
        if (::unlinkat(dirFd, name.constData(), 0) == 0) ++removed;
    }
    return removed;
}

// The directory opened for its lock, or -1.
int OpenDirectory(const QByteArray& dir) {
    return ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// Exclusive only when nobody else holds the directory: then the sweep.
int SweepIfAlone(int fd, const QByteArray& dir) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return -1;
    return SweepHeldDirectory(fd, dir);
}

}  // namespace

bool IsCommitSuperJournalName(const QByteArray& name) {
    const QByteArray base(CommitFileName);
    if (!name.startsWith(base)) return false;
    qsizetype i = base.size();
    if (name.mid(i, 2) == "-u") {
        const qsizetype digits = i + 2;
        for (i = digits; i < name.size() && std::isdigit(uchar(name[i])); ++i) {
        }
        if (i == digits) return false;
    }
    if (name.mid(i, 3) != "-mj") return false;
    i += 3;
    if (i == name.size()) return false;
    for (; i < name.size(); ++i)
        if (!std::isxdigit(uchar(name[i]))) return false;
    return true;
}

void CommitDirectoryHold::Take(const QString& dir) {
    Release();
    const QByteArray native = QFile::encodeName(dir);
    m_fd = OpenDirectory(native);
    if (m_fd < 0) return;
    SweepIfAlone(m_fd, native);
    // From exclusive (or nothing) to shared: another start may sweep in
    // between, which is harmless before this database has written.
    while (::flock(m_fd, LOCK_SH) != 0 && errno == EINTR) {
    }
}

void CommitDirectoryHold::Release() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool SuperJournalStillNamed(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const qsizetype slash = native.lastIndexOf('/');
    return StillNamed(native, slash < 0 ? native : native.mid(slash + 1));
}

int RemoveAbandonedSuperJournals(const QString& dir) {
    const QByteArray native = QFile::encodeName(dir);
    const int fd = OpenDirectory(native);
    if (fd < 0) return -1;
    const int removed = SweepIfAlone(fd, native);
    ::close(fd);
    return removed;
}
