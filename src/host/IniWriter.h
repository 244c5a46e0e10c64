#pragma once
// Writes an INI-form text file as the host's other files are written:
// Windows-1252, CR LF line ends, and only complete (the file appears under
// its name when every line is written). Keys may hold blanks, umlauts and
// "/" as they stand; TIniReader reads them back.
#include <QString>
#include <QStringList>

class TIniWriter {
public:
    // "[name]"
    void Section(const QString& name);
    // "key = value"
    void Value(const QString& key, const QString& value);
    // A line as it stands.
    void Line(const QString& text);

    QStringList Lines() const { return m_lines; }
    // False when the file cannot be written; the error names the file.
    bool Save(const QString& fileName, QString* error = nullptr) const;

private:
    QStringList m_lines;
};

// The text of an INI file written by the host (Windows-1252) or by an
// editor in UTF-8: UTF-8 when the bytes are valid UTF-8, else Windows-1252.
QString ReadIniFileText(const QString& fileName, bool* ok = nullptr);
