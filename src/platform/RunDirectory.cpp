#include "platform/RunDirectory.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The registered directory, kept as bytes so the signal handler can use it.
char g_runDir[PATH_MAX];
volatile sig_atomic_t g_registered = 0;
int g_lockFd = -1;

constexpr int kMinimumAgeSeconds = 30;

// Removes the files of a directory and the directory, with system calls
// only (safe inside a signal handler). The private directory holds only
// files.
void RemoveFlatDirectory(const char* dir) {
    const int fd = ::open(dir, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    alignas(8) static char buffer[8192];
    for (;;) {
        const long n = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (n <= 0) break;
        for (long pos = 0; pos < n;) {
            struct Entry {
                unsigned long long ino;
                long long off;
                unsigned short reclen;
                unsigned char type;
                char name[1];
            };
            const Entry* e = reinterpret_cast<const Entry*>(buffer + pos);
            pos += e->reclen;
            if (std::strcmp(e->name, ".") == 0 || std::strcmp(e->name, "..") == 0) continue;
            ::unlinkat(fd, e->name, 0);
        }
    }
    ::close(fd);
    ::rmdir(dir);
}

void OnTerminatingSignal(int sig) {
    if (g_registered) {
        g_registered = 0;
        RemoveFlatDirectory(g_runDir);
    }
    // End as the signal would have, so the parent sees it.
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

QString TempFolder(const QString& tempDir) { return tempDir.isEmpty() ? QDir::tempPath() : tempDir; }

}  // namespace

bool IsRunDirectoryName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^KORVA[A-Za-z0-9]{6}$"));
    return pattern.match(name).hasMatch();
}

void RegisterRunDirectory(const QString& dir) {
    g_registered = 0;
    if (g_lockFd >= 0) {
        ::close(g_lockFd);
        g_lockFd = -1;
    }
    if (dir.isEmpty()) return;
    const QFileInfo info(QDir::cleanPath(dir));
    if (!IsRunDirectoryName(info.fileName())) return;
    if (QDir::cleanPath(info.absolutePath()) != QDir::cleanPath(QDir(QDir::tempPath()).absolutePath())) return;
    const QByteArray native = QFile::encodeName(info.absoluteFilePath());
    if (native.size() >= qsizetype(sizeof g_runDir)) return;
    // The lock says the run is alive; the system drops it when the process
    // ends, however it ends.
    g_lockFd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (g_lockFd >= 0) ::flock(g_lockFd, LOCK_SH | LOCK_NB);
    std::memcpy(g_runDir, native.constData(), size_t(native.size()) + 1);
    g_registered = 1;
}

void InstallRunDirectorySignalHandlers() {
    struct sigaction sa {};
    sa.sa_handler = &OnTerminatingSignal;
    sigemptyset(&sa.sa_mask);
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
