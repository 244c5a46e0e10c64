#pragma once
// Text files shared with the host: Windows-1252 with CR LF line ends. A
// plain file written for the host goes to a temporary file in the same
// directory and is renamed into place only when complete, so the host reads
// the old file or the whole new one; a further hard link to the old file
// keeps the old content (the rename cuts it). A name that stands for
// something other than a plain file (a FIFO, a device) is written in
// place: a rename would replace the special file. A FIFO is opened without
// waiting: when no program reads it the write fails at once. Any failed or
// short write, flush or close fails the whole write. The complete file's
// data is synced before it is renamed into place, so a crash leaves the old
// file or the whole new one, never an empty one; the directory is not
// synced (the rename alone may be lost).
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <memory>

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

    // False when the file cannot be written there (ErrorString says why).
    bool Open(const QString& path, HostFileName naming = HostFileName::Given);
    bool IsOpen() const { return m_file || m_fd >= 0; }
    void Write(const QString& text);      // no line end
    void WriteLine(const QString& text);  // text + CR LF
    bool Commit();                         // false when the file could not be written
    void Discard();
    QString ErrorString() const;

private:
    bool OpenInPlace(const QString& path, HostFileName naming);

    std::unique_ptr<QSaveFile> m_file;
    int m_fd = -1;  // written in place
    QString m_error;
    bool m_failed = false;
};

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
// write and after the commit. Only the test hooks set it.
using HostFileStepHook = void (*)();
void SetHostFileStepHook(HostFileStepHook hook);
