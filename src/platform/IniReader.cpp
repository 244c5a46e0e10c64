#include "platform/IniReader.h"

#include "platform/HostFiles.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace {

QString Unquoted(const QString& value) {
    if (value.size() < 2) return value;
    const QChar first = value.front();
    if ((first == u'"' || first == u'\'') && value.back() == first) return value.mid(1, value.size() - 2);
    return value;
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

TIniReader::TIniReader(const QString& fileName, bool utf8First) : m_fileName(fileName) {
    if (fileName.isEmpty()) return;
    bool ok = false;
    const QString text = ReadHostText(fileName, &ok, &m_error, utf8First);
    m_found = ok;
    // A missing file reads as empty; only one that is there and was not
    // read is an error.
    if (!ok && !QFileInfo::exists(fileName)) m_error.clear();
    if (ok) Parse(text);
}

QStringList TIniReader::Sections() const {
    QStringList out;
    for (const Entry& e : m_entries)
        if (!out.contains(e.section, Qt::CaseInsensitive)) out << e.section;
    return out;
}

QStringList TIniReader::Keys(const QString& section) const {
    QStringList out;
    for (const Entry& e : m_entries)
        if (SameName(e.section, section) && !out.contains(e.key, Qt::CaseInsensitive)) out << e.key;
    return out;
}

void TIniReader::Parse(const QString& text) {
    m_entries.clear();
    QString section;
    bool inSection = false;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QChar(0xFEFF))) line = line.mid(1).trimmed();
        if (line.isEmpty() || line.startsWith(u';')) continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            section = (close < 0 ? line.mid(1) : line.mid(1, close - 1)).trimmed();
            inSection = true;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inSection || eq < 0) continue;
        m_entries.push_back({section, line.left(eq).trimmed(), Unquoted(line.mid(eq + 1).trimmed())});
    }
}

const TIniReader::Entry* TIniReader::Find(const QString& section, const QString& key) const {
    for (const Entry& e : m_entries)
        if (SameName(e.section, section) && SameName(e.key, key)) return &e;
    return nullptr;
}

QString TIniReader::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
    const Entry* e = Find(section, key);
    return e ? e->value : defaultValue;
}

bool TIniReader::ValueExists(const QString& section, const QString& key) const { return Find(section, key) != nullptr; }
