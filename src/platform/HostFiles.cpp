#include "platform/HostFiles.h"

#include "platform/CodePage.h"
#include "platform/DirectoryNames.h"
#include "platform/FaultInjection.h"

#include "platform/RunDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kHostCodePage = HostFileCodePage;

QString SystemError(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

HostFileStepHook g_stepHook = nullptr;

void Step(HostFileStep step) {
    if (g_stepHook) g_stepHook(step);
}

// The name the committed file gets: the name given, or behind a link the
// host gave, the file the link names.
QByteArray FinalName(const QString& path, HostFileName naming) {
    const QFileInfo info(path);
    if (naming == HostFileName::Given && info.isSymLink())
        return QFile::encodeName(info.exists() ? info.canonicalFilePath() : info.symLinkTarget());
    return QFile::encodeName(info.absoluteFilePath());
}

QByteArray DirectoryOf(const QByteArray& absolute) {
    const qsizetype slash = absolute.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : absolute.left(slash);
}

QByteArray RandomLetters() {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray out(6, '0');
    for (char& c : out) c = letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    return out;
}

// A name that must be written where it stands: a FIFO or a device. A plain
// file is replaced whole, also one with other hard links to it.
bool WriteInPlace(const QByteArray& native) {
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) return false;
    return !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

bool IsSymbolicLink(const QByteArray& native) {
    struct stat st {};
    return ::lstat(native.constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

// A FIFO whose reader has gone answers a write with SIGPIPE, which would end
// the program before it could report the failed write. The signal is held
// back while writing and one raised by the write is taken away again; the
// write itself then fails with EPIPE.
class PipeSignalHeld {
public:
    PipeSignalHeld() {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old);
    }
    ~PipeSignalHeld() {
        if (m_raised && !m_wasPending) {
            const timespec none{};
            while (sigtimedwait(&m_pipe, nullptr, &none) == -1 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    void NoteBrokenPipe() { m_raised = true; }

private:
    sigset_t m_pipe{};
    sigset_t m_old{};
    bool m_wasPending = false;
    bool m_raised = false;
};
}  // namespace

HostTextWriter::~HostTextWriter() { Discard(); }

void HostTextWriter::Fail(const QString& why) {
    m_error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_path), why);
    m_failed = true;
}

bool HostTextWriter::Open(const QString& path, HostFileName naming) {
    Discard();
    m_failed = false;
    m_error.clear();
    m_path = path;
    const QByteArray native = QFile::encodeName(path);
    // A file the program names itself is never written through a link
    // somebody put in its place: that would overwrite whatever it points to.
    if (naming == HostFileName::Own && IsSymbolicLink(native)) {
        m_error = QStringLiteral("%1 is a symbolic link; the program does not write its own file through a link")
                      .arg(QDir::toNativeSeparators(path));
        m_failed = true;
        return false;
    }
    if (WriteInPlace(native) && OpenInPlace(path, naming)) return true;
    if (m_failed) return false;
    return OpenTemporary(path, naming);
}

// False with m_failed clear when the name turned out to be a plain file
// after all (replaced since it was looked at): it is then replaced whole.
bool HostTextWriter::OpenInPlace(const QString& path, HostFileName naming) {
    const QByteArray native = QFile::encodeName(path);
    // Without O_NONBLOCK, opening a FIFO nobody reads waits for ever.
    const int flags = O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (naming == HostFileName::Own ? O_NOFOLLOW : 0);
    const int fd = ::open(native.constData(), flags);
    if (fd < 0) {
        const int err = errno;
        if (err == ENXIO) {
            m_error = QStringLiteral("%1: no program reads this FIFO; nothing was written").arg(QDir::toNativeSeparators(path));
            m_failed = true;
        } else {
            Fail(SystemError(err));
        }
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // The reader is there: from now on a full pipe waits for it to read.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    m_inPlace = true;
    Step(HostFileStep::Opened);
    return true;
}

// A name of our own beside the final file, not yet tried.
QByteArray HostTextWriter::FreshTemporaryName() const {
    const QByteArray base = m_final.mid(m_final.lastIndexOf('/') + 1);
    return DirectoryOf(m_final) + '/' + HostTemporaryName(base, RandomLetters());
}

bool HostTextWriter::OpenTemporary(const QString& path, HostFileName naming) {
    m_final = FinalName(path, naming);
    // A name the file system cannot hold would fail only at the rename,
    // after the caller has acted on the file being writable; so would a
    // temporary name beside it that is too long for a path (it is longer
    // than the final name).
    if (m_final.size() >= PATH_MAX || FreshTemporaryName().size() >= PATH_MAX ||
        m_final.size() - m_final.lastIndexOf('/') - 1 > NAME_MAX) {
        Fail(SystemError(ENAMETOOLONG));
        return false;
    }
    // Without a name while it is written: a kill leaves nothing behind. A
    // name is needed to link it into place, through /proc.
    int fd = -1;
    if (!NamelessHostFilesRefused() && ::access("/proc/self/fd", X_OK) == 0) {
        fd = ::open(DirectoryOf(m_final).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            Fail(SystemError(errno));
            return false;
        }
        m_unnamed = fd >= 0;
    }
    // A file system without nameless files: the temporary file has its
    // name from the start.
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        const QByteArray name = FreshTemporaryName();
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST) {
            Fail(SystemError(errno));
            return false;
        }
        if (fd < 0) continue;
        ::flock(fd, LOCK_EX);
        // A later run's sweep may have taken the name in the instant
        // before the lock: then the file is made again.
        struct stat mine {}, there {};
        if (::fstat(fd, &mine) != 0 || ::lstat(name.constData(), &there) != 0 || mine.st_ino != there.st_ino ||
            mine.st_dev != there.st_dev) {
            ::close(fd);
            fd = -1;
            continue;
        }
        m_named = name;
        RegisterTemporaryFile(m_named);
    }
    if (fd < 0) {
        Fail(QStringLiteral("no temporary file can be made beside it"));
        return false;
    }
    // Held while the file has a name, so that no later run takes it for
    // one a killed writer left.
    ::flock(fd, LOCK_EX);
    // The new file keeps the permissions of the one it replaces.
    struct stat old {};
    if (::stat(m_final.constData(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
    m_fd = fd;
    Step(HostFileStep::Opened);
    return true;
}

void HostTextWriter::Write(const QString& text) {
    if (m_fd < 0 || m_failed) return;
    const QByteArray bytes = EncodeCodePage(text, kHostCodePage);
    if (const int err = HostWriteFaultForFault()) {
        Fail(SystemError(err));
        return;
    }
    std::optional<PipeSignalHeld> held;
    if (m_inPlace) held.emplace();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A write that takes nothing: no space is left (or a limit).
            const int err = n < 0 ? errno : ENOSPC;
            if (err == EPIPE && held) held->NoteBrokenPipe();
            Fail(SystemError(err));
            return;
        }
        done += n;
    }
    Step(HostFileStep::Written);
}

void HostTextWriter::WriteLine(const QString& text) { Write(text + "\r\n"); }

bool HostTextWriter::Reserve(qint64 bytes) {
    if (m_fd < 0 || m_failed) return false;
    if (m_inPlace || bytes <= 0) return true;
    // The blocks are taken now, the size stays 0: the writes that follow
    // fill room that is there.
    int err = HostWriteFaultForFault();
    while (err == 0 && ::fallocate(m_fd, FALLOC_FL_KEEP_SIZE, 0, off_t(bytes)) != 0) {
        if (errno != EINTR) err = errno;
    }
    // A file system that reserves nothing ahead is taken at its word.
    if (err == 0 || err == EOPNOTSUPP || err == ENOSYS) return true;
    Fail(SystemError(err));
    return false;
}

bool HostTextWriter::Commit() {
    if (m_fd < 0) return false;
    if (!m_inPlace) return CommitTemporary();
    bool ok = !m_failed;
    // A device or FIFO may not sync; a plain file must. Its data and
    // size are what the host reads: fdatasync, as the renamed files get.
    if (ok && ::fdatasync(m_fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) {
        Fail(SystemError(errno));
        ok = false;
    }
    if (::close(m_fd) != 0 && ok) {
        Fail(SystemError(errno));
        ok = false;
    }
    m_fd = -1;
    m_inPlace = false;
    if (ok) Step(HostFileStep::Committed);
    return ok;
}

bool HostTextWriter::CommitTemporary() {
    // The data is on the disk before the name is: a crash leaves the old
    // file or the whole new one, never an empty one.
    if (!m_failed && ::fdatasync(m_fd) != 0) Fail(SystemError(errno));
    if (m_unnamed && !m_failed) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        for (int attempt = 0; m_named.isEmpty() && attempt < 100; ++attempt) {
            const QByteArray name = FreshTemporaryName();
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0) {
                m_named = name;
                RegisterTemporaryFile(m_named);
            } else if (errno != EEXIST) {
                Fail(SystemError(errno));
                break;
            }
        }
        if (m_named.isEmpty() && !m_failed) Fail(QStringLiteral("no temporary name is free beside it"));
    }
    if (m_failed) {
        Discard();
        return false;
    }
    Step(HostFileStep::Named);
    if (::rename(m_named.constData(), m_final.constData()) != 0) {
        Fail(SystemError(errno));
        Discard();
        return false;
    }
    UnregisterTemporaryFile(m_named);
    m_named.clear();
    const int fd = m_fd;
    m_fd = -1;
    ::close(fd);  // the data was synced; the lock goes with it
    Step(HostFileStep::Committed);
    return true;
}

void HostTextWriter::Discard() {
    if (!m_named.isEmpty()) {
        ::unlink(m_named.constData());
        UnregisterTemporaryFile(m_named);
        m_named.clear();
    }
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_inPlace = false;
    m_unnamed = false;
}

QString HostTextWriter::ErrorString() const { return m_error; }

QByteArray HostTemporaryName(const QByteArray& finalName, const QByteArray& random) {
    const QByteArray suffix = ".korva-" + random;
    QByteArray base = finalName;
    const qsizetype room = NAME_MAX - 1 - suffix.size();
    if (base.size() > room) {
        base.truncate(room);
        // Not in the middle of a UTF-8 character.
        while (!base.isEmpty() && (uchar(base.back()) & 0xC0) == 0x80) base.chop(1);
        if (!base.isEmpty() && uchar(base.back()) >= 0xC0) base.chop(1);
    }
    return '.' + base + suffix;
}

bool IsHostTemporaryName(const QByteArray& name) {
    static const QByteArray mark = ".korva-";
    constexpr qsizetype Letters = 6;
    if (name.size() < 2 + mark.size() + Letters || !name.startsWith('.')) return false;
    if (name.mid(name.size() - Letters - mark.size(), mark.size()) != mark) return false;
    for (qsizetype i = name.size() - Letters; i < name.size(); ++i)
        if (!std::isalnum(uchar(name[i]))) return false;
    return true;
}

int RemoveAbandonedHostTemporaries(const QString& dir) {
    const int dirFd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return 0;
    int removed = 0;
    for (const QByteArray& name : NamesInDirectory(dirFd, &IsHostTemporaryName)) {
        struct stat st {};
        if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        // A file of this user that nothing else links to: what a writer
        // of this user made, never a link or a special file of that name.
        if (!S_ISREG(st.st_mode) || st.st_uid != ::getuid() || st.st_nlink != 1) continue;
        const int fd = ::openat(dirFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) continue;
        struct stat opened {};
        // A live writer holds its file locked until it is in place.
        if (::fstat(fd, &opened) == 0 && opened.st_ino == st.st_ino && opened.st_dev == st.st_dev &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlinkat(dirFd, name.constData(), 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::close(dirFd);
    return removed;
}

bool RemoveEarlierHostFile(const QString& name, QString* why) {
    const QFileInfo info(name);
    // Behind a link the writer replaces the file the link names.
    const QString target = !info.isSymLink() ? info.absoluteFilePath()
                           : info.exists()   ? info.canonicalFilePath()
                                             : info.symLinkTarget();
    RemoveAbandonedHostTemporaries(QFileInfo(target).absolutePath());
    const QByteArray native = QFile::encodeName(target);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return true;
    // Gone meanwhile counts as removed; errno is cleared so that only this
    // call's failure is read.
    errno = 0;
    if (::unlink(native.constData()) == 0 || errno == ENOENT) return true;
    if (why)
        *why = QStringLiteral("The file %1 of an earlier run cannot be removed (%2); this run could not replace it "
                              "either")
                   .arg(QDir::toNativeSeparators(target), SystemError(errno));
    return false;
}

void SetHostFileStepHook(HostFileStepHook hook) { g_stepHook = hook; }

QString DecodeUtf8OrCodePage(const QByteArray& bytes, int codePage) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return DecodeCodePage(bytes, codePage == 0 ? AnsiCodePage() : codePage);
}

QString DecodeHostBytes(const QByteArray& bytes, bool utf8First) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE")) return DecodeCodePage(bytes.mid(2), 1200);
    if (bytes.startsWith("\xFE\xFF")) return DecodeCodePage(bytes.mid(2), 1201);
    return utf8First ? DecodeUtf8OrCodePage(bytes, kHostCodePage) : DecodeCodePage(bytes, kHostCodePage);
}

QString ReadHostText(const QString& path, bool* ok, QString* error, bool utf8First) {
    if (ok) *ok = false;
    const auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why);
        return QString();
    };
    // Opened without waiting and checked before reading: a FIFO without a
    // writer would keep the program waiting for ever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return fail(SystemError(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(QStringLiteral("not a plain file (a FIFO or a device is not read)"));
    }
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(f.errorString());
    }
    // Read one byte past the limit rather than trusting the size the file
    // reports (it may grow while it is read).
    const QByteArray bytes = f.read(MaxHostFileSize + 1);
    if (bytes.size() > MaxHostFileSize)
        return fail(QStringLiteral("the file is larger than %1 MB and is not read").arg(MaxHostFileSize / (1024 * 1024)));
    if (ok) *ok = true;
    return DecodeHostBytes(bytes, utf8First);
}

bool ReadHostTextFile(const QString& path, QStringList& lines) {
    bool ok = false;
    QString text = ReadHostText(path, &ok);
    if (!ok) return false;
    text.replace("\r\n", "\n");
    lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (auto& l : lines)
        if (l.endsWith('\r')) l.chop(1);
    return true;
}

bool WriteHostTextFile(const QString& path, const QStringList& lines, HostFileName naming, QString* error) {
    HostTextWriter w;
    bool ok = w.Open(path, naming);
    if (ok) {
        for (const auto& l : lines) w.WriteLine(l);
        ok = w.Commit();
    }
    if (!ok && error) *error = w.ErrorString();
    return ok;
}
