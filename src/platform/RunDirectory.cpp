#include "platform/RunDirectory.h"

#include "platform/FaultInjection.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A registered path, kept as bytes so the signal handler can use it.
struct Slot {
    char path[PATH_MAX];
    volatile sig_atomic_t used = 0;
};

Slot g_runDir;
int g_lockFd = -1;
Slot g_workDir;
int g_workLockFd = -1;
constexpr int kTemporaryFiles = 4;
Slot g_temporary[kTemporaryFiles];

constexpr int kMinimumAgeSeconds = 30;
// The deepest tree a work directory holds (the tool's work directory, the
// session's private directory in it, their files).
constexpr int kDeepestTree = 8;

bool Fill(Slot& slot, const QByteArray& native) {
    slot.used = 0;
    if (native.isEmpty() || native.size() >= qsizetype(sizeof slot.path)) return false;
    std::memcpy(slot.path, native.constData(), size_t(native.size()) + 1);
    slot.used = 1;
    return true;
}

struct DirEntry {
    unsigned long long ino;
    long long off;
    unsigned short reclen;
    unsigned char type;
    char name[1];
};

// Removes what a directory holds, with system calls only (safe inside a
// signal handler); subdirectories down to kDeepestTree levels.
void RemoveContents(int dirFd, int depth) {
    alignas(8) static char buffers[kDeepestTree][4096];
    char* buffer = buffers[depth];
    for (;;) {
        const long n = ::syscall(SYS_getdents64, dirFd, buffer, sizeof buffers[0]);
        if (n <= 0) break;
        bool removed = false;
        for (long pos = 0; pos < n;) {
            const DirEntry* e = reinterpret_cast<const DirEntry*>(buffer + pos);
            pos += e->reclen;
            if (std::strcmp(e->name, ".") == 0 || std::strcmp(e->name, "..") == 0) continue;
            if (::unlinkat(dirFd, e->name, 0) == 0) {
                removed = true;
                RemovalStepForFault();
                continue;
            }
            if (depth + 1 >= kDeepestTree) continue;
            const int sub = ::openat(dirFd, e->name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub < 0) continue;
            RemoveContents(sub, depth + 1);
            ::close(sub);
            if (::unlinkat(dirFd, e->name, AT_REMOVEDIR) == 0) removed = true;
        }
        // Entries removed while reading may shift the rest: read again
        // from the start.
        if (removed) ::lseek(dirFd, 0, SEEK_SET);
    }
}

void RemoveTree(const char* dir) {
    const int fd = ::open(dir, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    RemoveContents(fd, 0);
    ::close(fd);
    ::rmdir(dir);
}

void OnTerminatingSignal(int sig) {
    for (Slot& file : g_temporary)
        if (file.used) {
            file.used = 0;
            ::unlink(file.path);
        }
    if (g_runDir.used) {
        g_runDir.used = 0;
        RemoveTree(g_runDir.path);
    }
    if (g_workDir.used) {
        g_workDir.used = 0;
        RemoveTree(g_workDir.path);
    }
    // End as the signal would have, so the parent sees it.
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

QString TempFolder(const QString& tempDir) { return tempDir.isEmpty() ? QDir::tempPath() : tempDir; }

// Held while the run lives; the system drops it when the process ends,
// however it ends.
int LockDirectory(const QByteArray& native) {
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) ::flock(fd, LOCK_SH | LOCK_NB);
    return fd;
}

}  // namespace

bool IsRunDirectoryName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^(KORVA|korva-select-)[A-Za-z0-9]{6}$"));
    return pattern.match(name).hasMatch();
}

void RegisterRunDirectory(const QString& dir) {
    g_runDir.used = 0;
    if (g_lockFd >= 0) {
        ::close(g_lockFd);
        g_lockFd = -1;
    }
    if (dir.isEmpty()) return;
    const QFileInfo info(QDir::cleanPath(dir));
    if (!IsRunDirectoryName(info.fileName())) return;
    if (QDir::cleanPath(info.absolutePath()) != QDir::cleanPath(QDir(QDir::tempPath()).absolutePath())) return;
    const QByteArray native = QFile::encodeName(info.absoluteFilePath());
    g_lockFd = LockDirectory(native);
    Fill(g_runDir, native);
}

QString MakeWorkDirectory(const QString& prefix) {
    RemoveWorkDirectory();
    const QString name = prefix + QStringLiteral("XXXXXX");
    if (!IsRunDirectoryName(prefix + QStringLiteral("abcdef"))) return {};
    QByteArray path = QFile::encodeName(QDir(QDir::tempPath()).absoluteFilePath(name));
    if (!::mkdtemp(path.data())) return {};
    g_workLockFd = LockDirectory(path);
    Fill(g_workDir, path);
    return QFile::decodeName(path);
}

void RemoveWorkDirectory() {
    // Registered until it is gone: a terminating signal in the middle of
    // the removal has the handler remove the rest, instead of ending the
    // run with half of the directory left.
    if (g_workDir.used) {
        RemoveTree(g_workDir.path);
        g_workDir.used = 0;
    }
    if (g_workLockFd >= 0) {
        ::close(g_workLockFd);
        g_workLockFd = -1;
    }
}

void RegisterTemporaryFile(const QByteArray& nativePath) {
    for (Slot& file : g_temporary)
        if (!file.used) {
            Fill(file, nativePath);
            return;
        }
}

void UnregisterTemporaryFile(const QByteArray& nativePath) {
    for (Slot& file : g_temporary)
        if (file.used && nativePath == file.path) file.used = 0;
}

void InstallRunDirectorySignalHandlers() {
    struct sigaction sa {};
    sa.sa_handler = &OnTerminatingSignal;
    sigemptyset(&sa.sa_mask);
    // One handler at a time: a second signal waits until the first has
    // removed what it removes.
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) sigaddset(&sa.sa_mask, sig);
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(sig, &sa, nullptr);
}

int RemoveAbandonedRunDirectories(const QString& tempDir) {
    const QDir temp(TempFolder(tempDir));
    int removed = 0;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const QString& name : temp.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (!IsRunDirectoryName(name)) continue;
        const QByteArray native = QFile::encodeName(temp.filePath(name));
        struct stat st {};
        if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) continue;
        if (now - qint64(st.st_mtime) < kMinimumAgeSeconds) continue;
        const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        const bool abandoned = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (abandoned) {
            QDir(temp.filePath(name)).removeRecursively();
            ++removed;
        }
        ::close(fd);
    }
    return removed;
}
