#pragma once
// The column layout and keys of every catalogue table and of the global
// tables that sit beside them in the catalogue directory. One definition
// serves the access units, the data modules and the demo catalogue builder,
// so the three can never disagree about a column.
#include "platform/FieldDefs.h"
#include <QList>
#include <QString>
#include <QStringList>

struct CatalogueColumn {
    QString name;
    QString code;  // "A6", "S", "I", "N", "L", "D", "+", "M", "B"
};

struct CatalogueIndex {
    QString name;  // empty for the primary index
    QStringList fields;
    bool primary = false;
    bool unique = false;
};

struct CatalogueTableDef {
    QString fileName;  // as the tables are named in the catalogue directory
    QList<CatalogueColumn> columns;
    QList<CatalogueIndex> indexes;

    QString baseName() const;  // file name without ".DB"
    int columnCount() const { return int(columns.size()); }
    int columnIndex(const QString& name) const;  // -1 when absent; case-blind
    bool hasColumn(const QString& name) const { return columnIndex(name) >= 0; }
    QString columnCode(const QString& name) const;  // empty when absent
    QStringList columnNames() const;
    TFieldDefs fieldDefs() const;
    TIndexDefs indexDefs() const;
};

// Every table, in a fixed order (catalogue first, then global tables).
const QList<CatalogueTableDef>& CatalogueTables();

// The table of that file name, compared without regard to case and with or
// without the ".DB" extension ("PGSTAT.DB", "pgstat", "Pgstat.DB").
// Raises std::out_of_range for a name that is not a catalogue table.
const CatalogueTableDef& CatalogueTable(const QString& fileName);
bool IsCatalogueTable(const QString& fileName);

// The settings table as older installations have it: 84 columns, without
// the seven columns that the settings upgrade adds and with the customer
// drawing number 20 characters wide. Used to exercise that upgrade.
const CatalogueTableDef& LegacyFirdatTable();

// The columns that the settings upgrade adds, in the order it adds them.
const QList<CatalogueColumn>& FirdatUpgradeColumns();
