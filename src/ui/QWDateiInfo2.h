#pragma once
// Reads the version block and the file dates of a file, by default the
// program's own. A file's version block is the text file of the same name
// with ".verinfo" appended, which the build writes next to the program:
// "Translation=<language>,<code page>" (hexadecimal) and one "Key=Value"
// line per entry.
#include <QDateTime>
#include <QObject>
#include <QStringList>

// Splits the first item off a separated list.
void NextListItem(QString& list, QChar separator, QString& item);

class TQWDateiInfo : public QObject {
    Q_OBJECT
public:
    explicit TQWDateiInfo(QObject* owner = nullptr);

    QString DateiVersion() const { return m_dateiVersion; }
    QString DateiBeschreibung() const { return m_dateiBeschreibung; }
    QString DateiCopyright() const { return m_dateiCopyright; }
    QString FirmenName() const { return m_firmenName; }
    QString ProduktName() const { return m_produktName; }
    QString ProduktVersion() const { return m_produktVersion; }
    QStringList VersionsInfos() const { return m_versionsInfos; }
    // The file system's times (UTC, not converted to local time), whole
    // seconds.
    QDateTime Datum_erstellt() const { return m_erstellt; }
    QDateTime Datum_geaendert() const { return m_geaendert; }

    QString Datei_SuchText;
    QString Datei_Name() const { return m_dateiName; }
    // Re-reads; a file that does not exist is ignored.
    void SetDatei_Name(const QString& fileName);

    static QString VersionBlockFile(const QString& fileName);

private:
    void LeseDateiInfo();
    void SetDefaults();
    bool ReadBlock(const QString& blockFile);
    void ReadDates();

    QString m_dateiVersion, m_dateiBeschreibung, m_dateiCopyright, m_firmenName, m_produktName, m_produktVersion;
    QStringList m_versionsInfos;
    QDateTime m_erstellt, m_geaendert;
    QString m_dateiName;
};
