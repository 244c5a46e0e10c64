#pragma once
// Text files shared with the host: Windows-1252 with CR LF line ends. A file
// written for the host goes to a temporary file in the same directory and is
// renamed into place only when complete.
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <memory>

class HostTextWriter {
public:
    HostTextWriter() = default;
    explicit HostTextWriter(const QString& path) { Open(path); }
    ~HostTextWriter();  // an uncommitted file is discarded

    bool Open(const QString& path);  // false when the directory is not writable
    bool IsOpen() const { return bool(m_file); }
    void Write(const QString& text);      // no line end
    void WriteLine(const QString& text);  // text + CR LF
    bool Commit();                         // false when the file could not be written
    void Discard();
    QString ErrorString() const;

private:
    std::unique_ptr<QSaveFile> m_file;
    bool m_failed = false;
};

// Reads a host text file (Windows-1252) into lines without their CR LF or
// LF. Returns false when the file cannot be read.
bool ReadHostTextFile(const QString& path, QStringList& lines);
QString ReadHostText(const QString& path, bool* ok = nullptr);

// Writes a whole host file at once (atomically).
bool WriteHostTextFile(const QString& path, const QStringList& lines);
