#pragma once
// Reads an INI-form text file the way the host's profile routines do:
// section and key names without regard to case, the first matching entry
// wins, values trimmed, one pair of enclosing quotes removed, lines that
// begin with ';' are comments. A missing file reads as empty, so every
// lookup gives its default.
#include <QString>
#include <vector>

class TIniReader {
public:
    explicit TIniReader(const QString& fileName);

    QString FileName() const { return m_fileName; }
    bool FileFound() const { return m_found; }
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    bool ValueExists(const QString& section, const QString& key) const;

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
    std::vector<Entry> m_entries;
};
