#pragma once
// Text files shared with the host: Windows-1252 with CR LF line ends. A
// plain file written for the host goes to a temporary file in the same
// directory and is renamed into place only when complete, so the host reads
// the old file or the whole new one; a further hard link to the old file
// keeps the old content (the rename cuts it). The temporary file has no
// name while it is written; it gets one that no user picks
// (".<name>.korva-" and six letters or digits) only for the rename, and is
// locked while it has it, so a later run can tell one left by a kill from
// a live writer's and from the user's own files. A name that stands for
// something other than a plain file (a FIFO, a device) is written in
// place: a rename would replace the special file. A FIFO is opened without
// waiting: when no program reads it the write fails at once. Any failed or
// short write, flush or close fails the whole write. The complete file's
// data is synced before it is renamed into place, so a crash leaves the old
// file or the whole new one, never an empty one; the directory is not
// synced (the rename alone may be lost).
#include <QByteArray>
#include <QString>
#include <QStringList>

// The code page of every text file shared with the host.
inline constexpr int HostFileCodePage = 1252;

// Who chose the name of a file the program writes.
enum class HostFileName {
    Given,  // named by the host (output file, result file): a link is followed
    Own,    // named by the program itself: a symbolic link there is refused
};

class HostTextWriter {
public:
    HostTextWriter() = default;
    explicit HostTextWriter(const QString& path, HostFileName naming = HostFileName::Given) { Open(path, naming); }
    ~HostTextWriter();  // an uncommitted file is discarded

    // False when the file cannot be written there (ErrorString says why):
    // a FIFO nobody reads, a directory where no temporary file can be
    // made, a name longer than a file system takes. A caller that must act
    // only when its file can be written opens it first.
    bool Open(const QString& path, HostFileName naming = HostFileName::Given);
    bool IsOpen() const { return m_fd >= 0; }
    void Write(const QString& text);      // no line end
    void WriteLine(const QString& text);  // text + CR LF
    // Takes the room for `bytes` on the disk before anything is written, so
    // that a full file system shows before the caller acts, not in the
    // write after it (false, ErrorString says why). Nothing to take for a
    // FIFO or a device, nor on a file system that reserves nothing ahead.
    bool Reserve(qint64 bytes);
    bool Commit();                         // false when the file could not be written
    void Discard();
    QString ErrorString() const;

private:
    bool OpenInPlace(const QString& path, HostFileName naming);
    bool OpenTemporary(const QString& path, HostFileName naming);
    bool CommitTemporary();
    QByteArray FreshTemporaryName() const;
    void Fail(const QString& why);

    int m_fd = -1;           // the special file, or the temporary file
    bool m_inPlace = false;  // m_fd is the special file itself
    QByteArray m_final;      // the name the committed file gets
    QByteArray m_named;      // the temporary file's name, while it has one
    bool m_unnamed = false;  // the temporary file was made without a name
    QString m_path;          // as given, for messages
    QString m_error;
    bool m_failed = false;
};

// The name of a temporary file of a host file named `finalName` (the file
// name without its directory), with `random` in place of the six letters
// or digits; cut to fit a file name's length.
QByteArray HostTemporaryName(const QByteArray& finalName, const QByteArray& random);
// True for a name HostTemporaryName gives.
bool IsHostTemporaryName(const QByteArray& name);
// Removes the temporary files that writers of this user left in `dir` when
// they were killed between naming a complete file and renaming it into
// place: names that HostTemporaryName gives, this user's plain files with
// no other link, that no live writer holds. Nothing else is touched.
// Returns how many went.
int RemoveAbandonedHostTemporaries(const QString& dir);

// The file of an earlier run at a host file's name, before this run
// writes its own: the plain file at the name, also the one behind a
// symbolic link, goes (FIFOs and devices stay, they are written where they
// stand), and so do the abandoned temporary files beside it. False when
// the earlier file stays; *why names it and the cause.
bool RemoveEarlierHostFile(const QString& name, QString* why);

// The largest host file read: far above any real input file, small enough
// to hold in memory.
constexpr qint64 MaxHostFileSize = 16 * 1024 * 1024;

// Reads a host text file into lines without their CR LF or LF. The text is
// UTF-8 or UTF-16 when it starts with that byte-order mark (the mark is
// dropped), else Windows-1252. Returns false when the file cannot be read,
// is not a plain file (a FIFO or a device could keep the reader waiting for
// ever) or is larger than MaxHostFileSize; *error then says why, naming the
// file.
bool ReadHostTextFile(const QString& path, QStringList& lines);
// utf8First: bytes without a mark are taken as UTF-8 when they are valid
// UTF-8 (files of this system rather than the host's).
QString ReadHostText(const QString& path, bool* ok = nullptr, QString* error = nullptr, bool utf8First = false);
// The text of a host file's bytes by the rules above.
QString DecodeHostBytes(const QByteArray& bytes, bool utf8First = false);
// UTF-8 when the bytes are valid UTF-8, else the code page (0: the ANSI
// code page).
QString DecodeUtf8OrCodePage(const QByteArray& bytes, int codePage = 0);

// Writes a whole host file at once (atomically); *error says why it failed.
bool WriteHostTextFile(const QString& path, const QStringList& lines, HostFileName naming = HostFileName::Given,
                       QString* error = nullptr);

// A seam for the crash tests: called after the file is opened, after each
// write, when the complete temporary file has its name (before the rename)
// and after the commit. Only the test hooks set it.
enum class HostFileStep { Opened, Written, Named, Committed };
using HostFileStepHook = void (*)(HostFileStep);
void SetHostFileStepHook(HostFileStepHook hook);
