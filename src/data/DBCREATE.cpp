#include "data/DBCREATE.h"

#include "data/ProjectSchema.h"
#include "platform/Table.h"

namespace {

bool CreateProjectTable(ProjectTable table, const QString& databaseName, const QString& tableName) {
    try {
        TTable t;
        t.SetDatabaseName(databaseName);
        t.SetTableName(tableName);
        t.CreateTable(ProjectFieldDefs(table), ProjectIndexDefs(table));
        return true;
    } catch (...) {
        // The caller only learns whether the table exists now.
        return false;
    }
}

}  // namespace

bool CreateKonstrTable(const QString& databaseName, const QString& tableName) {
    return CreateProjectTable(ProjectTable::Konstr, databaseName, tableName);
}
bool CreateKonstzTable(const QString& databaseName, const QString& tableName) {
    return CreateProjectTable(ProjectTable::Konstz, databaseName, tableName);
}
bool CreateKonbtlTable(const QString& databaseName, const QString& tableName) {
    return CreateProjectTable(ProjectTable::Konbtl, databaseName, tableName);
}
bool CreateKonetrTable(const QString& databaseName, const QString& tableName) {
    return CreateProjectTable(ProjectTable::Konetr, databaseName, tableName);
}
bool CreatePrjinfTable(const QString& databaseName, const QString& tableName) {
    return CreateProjectTable(ProjectTable::Prjinf, databaseName, tableName);
}

bool CreateProjectTables(const QString& databaseName) {
    bool ok = true;
    for (ProjectTable t : AllProjectTables)
        ok = CreateProjectTable(t, databaseName, ProjectTableFileName(t)) && ok;
    return ok;
}
