#include "ui/QWDateiInfo2.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTextStream>

namespace {

const char* const kDefaultSearchText =
    "CompanyName,FileDescription,FileVersion,InternalName,LegalCopyright,LegalTrademarks,OriginalFilename,"
    "ProductName,ProductVersion,Comments";

QString ValueOf(const QStringList& lines, const QString& key) {
    const QString prefix = key + QLatin1Char('=');
    for (const QString& line : lines)
        if (line.startsWith(prefix)) return line.mid(prefix.size());
    return QString();
}

QString TranslationCode(const QString& value, bool* ok) {
    const QStringList parts = value.split(QLatin1Char(','));
    *ok = parts.size() == 2;
    if (!*ok) return QString();
    bool okLanguage = false, okCodePage = false;
    const uint language = parts[0].trimmed().toUInt(&okLanguage, 16);
    const uint codePage = parts[1].trimmed().toUInt(&okCodePage, 16);
    *ok = okLanguage && okCodePage && language <= 0xFFFF && codePage <= 0xFFFF;
    return QStringLiteral("%1%2").arg(language, 4, 16, QLatin1Char('0')).arg(codePage, 4, 16, QLatin1Char('0')).toUpper();
}

QDateTime Shown(const QDateTime& t) {
    // The file system's time as it stands (UTC), not the machine's local
    // time: the settings export names the program's build by it, and the
    // same program gives the same date in every time zone. No milliseconds.
    QDateTime utc = t.toUTC();
    return utc.addMSecs(-utc.time().msec());
}

}  // namespace

void NextListItem(QString& list, QChar separator, QString& item) {
    const qsizetype at = list.indexOf(separator);
    if (at < 0) {
        item = list;
        list.clear();
        return;
    }
    item = list.left(at);
    list.remove(0, at + 1);
    while (list.startsWith(separator)) list.remove(0, 1);
}

TQWDateiInfo::TQWDateiInfo(QObject* owner)
    : QObject(owner), Datei_SuchText(QString::fromLatin1(kDefaultSearchText)),
      m_dateiName(QCoreApplication::applicationFilePath()) {
    LeseDateiInfo();
}

void TQWDateiInfo::SetDatei_Name(const QString& fileName) {
    if (!QFileInfo::exists(fileName)) return;
    m_dateiName = fileName;
    LeseDateiInfo();
}

QString TQWDateiInfo::VersionBlockFile(const QString& fileName) { return fileName + QStringLiteral(".verinfo"); }

void TQWDateiInfo::LeseDateiInfo() {
    const QFileInfo block(VersionBlockFile(m_dateiName));
    if (!block.isFile() || block.size() == 0) {
        SetDefaults();
    } else if (!ReadBlock(block.filePath())) {
        m_dateiBeschreibung.clear();
        m_dateiCopyright.clear();
        m_firmenName.clear();
        m_dateiVersion.clear();
        m_produktName.clear();
        m_produktVersion.clear();
    }
    ReadDates();
}

void TQWDateiInfo::SetDefaults() {
    m_dateiBeschreibung.clear();
    m_dateiCopyright = QStringLiteral("Copyright (c) ZORBEL AG");
    m_firmenName = QStringLiteral("ZORBEL AG");
    m_dateiVersion = QStringLiteral("8.9.0");
    m_produktName = QStringLiteral("KORVA");
    m_produktVersion = QStringLiteral("8.9.0");
}

bool TQWDateiInfo::ReadBlock(const QString& blockFile) {
    QFile file(blockFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    QMap<QString, QString> entries;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && !entries.contains(line.left(eq))) entries.insert(line.left(eq), line.mid(eq + 1));
    }
    bool ok = false;
    const QString code = TranslationCode(entries.value(QStringLiteral("Translation")), &ok);
    if (!ok) return false;

    m_versionsInfos = QStringList{QStringLiteral("CharSet=") + code};
    QString list = Datei_SuchText, key;
    for (NextListItem(list, QLatin1Char(','), key); !key.isEmpty(); NextListItem(list, QLatin1Char(','), key))
        if (entries.contains(key)) m_versionsInfos << key + QLatin1Char('=') + entries.value(key);

    m_dateiBeschreibung = ValueOf(m_versionsInfos, QStringLiteral("FileDescription"));
    m_dateiCopyright = ValueOf(m_versionsInfos, QStringLiteral("LegalCopyright"));
    m_firmenName = ValueOf(m_versionsInfos, QStringLiteral("CompanyName"));
    m_dateiVersion = ValueOf(m_versionsInfos, QStringLiteral("FileVersion"));
    m_produktName = ValueOf(m_versionsInfos, QStringLiteral("ProductName"));
    m_produktVersion = ValueOf(m_versionsInfos, QStringLiteral("ProductVersion"));
    return true;
}

void TQWDateiInfo::ReadDates() {
    const QFileInfo info(m_dateiName);
    if (!info.exists()) return;
    QDateTime created = info.birthTime();
    if (!created.isValid()) created = info.metadataChangeTime();
    m_erstellt = Shown(created);
    m_geaendert = Shown(info.lastModified());
}
