#pragma once
// Reads an INI-form text file the way the host's profile routines do:
// section and key names without regard to case, the first matching entry
// wins, values trimmed, one pair of enclosing quotes removed, lines that
// begin with ';' are comments. A missing file reads as empty, so every
// lookup gives its default. The file's encoding follows its byte-order mark
// (UTF-8, UTF-16), else the host's code page; a file larger than any real
// one is not read (Error() says why).
#include <QString>
#include <QStringList>
#include <vector>

class TIniReader {
public:
    // utf8First: a file without byte-order mark is UTF-8 when it is valid
    // UTF-8 (the system's own files), else the host's code page.
    explicit TIniReader(const QString& fileName, bool utf8First = false);

    QString FileName() const { return m_fileName; }
    bool FileFound() const { return m_found; }
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    bool ValueExists(const QString& section, const QString& key) const;
    // Why an existing file was not read; empty when it was.
    QString Error() const { return m_error; }
    // Section names in file order (each once), and a section's keys.
    QStringList Sections() const;
    QStringList Keys(const QString& section) const;

    // The reading rules on their own, for text already in memory.
    void Parse(const QString& text);

private:
    struct Entry {
        QString section;
        QString key;
        QString value;
    };
    const Entry* Find(const QString& section, const QString& key) const;

    QString m_fileName;
    bool m_found = false;
    QString m_error;
    std::vector<Entry> m_entries;
};
