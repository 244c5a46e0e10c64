#pragma once
// The demo catalogue in memory: the rows of every table, keyed by the table's
// file name as the schema spells it, plus the group values read from the
// rule files that the generator shares between its families.
#include <QList>
#include <QMap>
#include <QString>
#include <QVariantMap>

class CatalogueData {
public:
    void add(const QString& table, const QVariantMap& row) { m_tables[table].append(row); }
    const QList<QVariantMap>& rows(const QString& table) const;
    QStringList tableNames() const { return m_tables.keys(); }

private:
    QMap<QString, QList<QVariantMap>> m_tables;
};

struct StaticSize {
    QString thread;
    double capacity = 0;  // kN
    int deduction = 0;    // mm
    double rodKgPerM = 0;
};

struct DynamicGroup {
    double capacity = 0;  // kN, LGC
    int shortStroke = 0;
    int longStroke = 0;
    int unitLength = 0;
    int bracketHeight = 0;
};

struct TemperatureClass {
    int temp = 0;
    double derating = 1;
    int material = 0;
    int materialUnc = 0;
    int materialCn = 0;
};

struct Diameter {
    int code = 0;
    int dn = 0;
    double od = 0;
    double nps = 0;
    int clampLgMax = 0;
    int dynLgMax = 0;
};

struct GroupRules {
    QMap<int, StaticSize> sizes;        // 9..24
    QMap<int, DynamicGroup> dynamic;    // 1..8
    QMap<int, double> cold;             // 1..8, kN
    QMap<int, TemperatureClass> classes;
    QList<Diameter> diameters;
};

// The product tables by the first digit of a product number, and the
// number of the end-of-table row every product table carries.
inline const QString Pgstat = QStringLiteral("Pgstat.DB");
inline const QString Pgdyna = QStringLiteral("Pgdyna.DB");
inline const QString Pgrsrl = QStringLiteral("pgrsrsl.DB");
inline const QString Pgcool = QStringLiteral("PGCLDSTA.DB");
inline constexpr int Sentinel = 99999999;
