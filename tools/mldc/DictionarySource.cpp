#include "DictionarySource.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <stdexcept>

QString UnescapeSourceText(const QString& s) {
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'\\' || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        const QChar c = s[++i];
        out += c == u'n' ? QChar(u'\n') : c == u'r' ? QChar(u'\r') : c == u't' ? QChar(u'\t') : c;
    }
    return out;
}

namespace {

TIvLanguage MakeLanguage(int primary, int sub, const char* english, const char* native) {
    TIvLanguage l;
    l.PrimaryId = primary;
    l.SubLanguage = sub;
    l.CodePage = 1252;
    l.EnglishName = QString::fromUtf8(english);
    l.NativeName = QString::fromUtf8(native);
    l.Complete();
    return l;
}

QList<QStringList> ReadRows(const QString& fileName, int minColumns) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(("cannot read " + fileName).toStdString());
    QList<QStringList> rows;
    bool header = true;
    int lineNo = 0;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        ++lineNo;
        QString line = QString::fromUtf8(raw);
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (header) {
            header = false;
            continue;
        }
        QStringList cols = line.split(u'\t');
        for (QString& c : cols) c = UnescapeSourceText(c);
        if (cols.size() < minColumns)
            throw std::runtime_error(QStringLiteral("%1:%2: expected %3 columns").arg(fileName).arg(lineNo).arg(minColumns).toStdString());
        rows.append(cols);
    }
    return rows;
}

}  // namespace

std::vector<TIvLanguage> DictionaryLanguages() {
    TIvLanguage native;
    native.Complete();
    native.CodePage = 1252;
    return {native, MakeLanguage(7, 1, "German", "Deutsch"), MakeLanguage(9, 1, "English", "English"),
            MakeLanguage(12, 1, "French", "Français"), MakeLanguage(22, 2, "Portuguese", "Português")};
}

std::vector<TIvMLDEntry> ReadDictionarySource(const QString& fileName) {
    std::vector<TIvMLDEntry> entries;
    QHash<QString, QStringList> seen;
    for (const QStringList& cols : ReadRows(fileName, 4)) {
        TIvMLDEntry e;
        e.Native = cols[0];
        e.Texts = cols.mid(2);
        while (e.Texts.size() < 4) e.Texts.append(QString());
        // The sources merge by union, so two branches may add the same row:
        // a repeated row is one row, a native text with two different
        // translations an error.
        if (const auto it = seen.constFind(e.Native); it != seen.cend()) {
            if (*it == e.Texts) continue;
            throw std::runtime_error(("repeated native text in " + fileName + ": " + cols[0]).toStdString());
        }
        seen.insert(e.Native, e.Texts);
        entries.push_back(e);
    }
    return entries;
}

bool IsStringTableText(const QStringList& cols) { return cols.size() > 3 && cols[3].trimmed() == QLatin1String("text"); }

void AddStringTable(const QString& fileName, std::vector<TIvMLDEntry>& entries) {
    QSet<QString> natives;
    for (const TIvMLDEntry& e : entries) natives.insert(e.Native);
    for (const QStringList& cols : ReadRows(fileName, 3)) {
        const bool text = IsStringTableText(cols);
        TIvMLDEntry e;
        // A message is looked up by its key; a text (a product-type name) by
        // its English wording, which is what the string table hands out.
        e.Native = text ? cols[2] : QStringLiteral("RS") + cols[0].trimmed();
        // Several types share one name; the first row serves them all.
        if (natives.contains(e.Native)) continue;
        natives.insert(e.Native);
        e.Texts = {cols[1], cols[2], QString(), QString()};
        entries.push_back(e);
    }
}
