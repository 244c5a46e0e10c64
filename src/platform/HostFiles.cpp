#include "platform/HostFiles.h"

#include "platform/CodePage.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kHostCodePage = 1252;

QString SystemError(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

HostFileStepHook g_stepHook = nullptr;

void Step() {
    if (g_stepHook) g_stepHook();
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

bool HostTextWriter::Open(const QString& path, HostFileName naming) {
    Discard();
    m_failed = false;
    m_error.clear();
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
    m_file = std::make_unique<QSaveFile>(path);
    // Unbuffered, so a short write (a full disk, a file size limit) shows in
    // Write: a buffered flush drops what it cannot write without an error,
    // and the truncated file would be committed.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), m_file->errorString());
        m_file.reset();
        m_failed = true;
        return false;
    }
    Step();
    return true;
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
        m_error = err == ENXIO ? QStringLiteral("%1: no program reads this FIFO; nothing was written")
                                     .arg(QDir::toNativeSeparators(path))
                               : QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), SystemError(err));
        m_failed = true;
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
    Step();
    return true;
}

void HostTextWriter::Write(const QString& text) {
    const QByteArray bytes = EncodeCodePage(text, kHostCodePage);
    if (m_fd >= 0) {
        if (m_failed) return;
        PipeSignalHeld held;
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                const int err = n < 0 ? errno : ENOSPC;
                if (err == EPIPE) held.NoteBrokenPipe();
                m_error = SystemError(err);
                m_failed = true;
                return;
            }
            done += n;
        }
        Step();
        return;
    }
    if (!m_file) return;
    if (m_file->write(bytes) != bytes.size()) m_failed = true;
    Step();
}

void HostTextWriter::WriteLine(const QString& text) { Write(text + "\r\n"); }

bool HostTextWriter::Commit() {
    if (m_fd >= 0) {
        bool ok = !m_failed;
        // A device or FIFO may not sync; a plain file must. Its data and
        // size are what the host reads: fdatasync, as the renamed files get.
        if (ok && ::fdatasync(m_fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) {
            m_error = SystemError(errno);
            ok = false;
        }
        if (::close(m_fd) != 0 && ok) {
            m_error = SystemError(errno);
            ok = false;
        }
        m_fd = -1;
        if (ok) Step();
        return ok;
    }
    if (!m_file) return false;
    const bool ok = !m_failed && m_file->commit();
    if (!ok) m_error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_file->fileName()), m_file->errorString());
    m_file.reset();
    if (ok) Step();
    return ok;
}

void HostTextWriter::Discard() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (m_file) m_file->cancelWriting();
    m_file.reset();
}

QString HostTextWriter::ErrorString() const { return m_file && m_error.isEmpty() ? m_file->errorString() : m_error; }

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
