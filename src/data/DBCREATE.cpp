#include "data/DBCREATE.h"

#include "data/FIRAUFKON.h"
#include "data/ProjectSchema.h"
#include "platform/Database.h"
#include "platform/FaultInjection.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// A new project is built whole in a hidden directory of the project
// directory, which is renamed once every table (and the settings row) is
// in it; only then are the tables moved into place. A kill while it is
// built leaves no project (the half-built directory is dropped at the next
// creation); a kill while the tables move leaves the complete set, which
// the next start moves on.
const char* const kBuilding = ".korva-new-project";
const char* const kBuilt = ".korva-new-project.complete";

QString Inside(const QString& dir, const char* name) { return QDir(dir).filePath(QLatin1String(name)); }

void RemoveTree(const QString& path) {
    if (QFileInfo(path).isDir()) QDir(path).removeRecursively();
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

bool FinishProjectCreation(const QString& databaseName) {
    const QString built = Inside(databaseName, kBuilt);
    if (!QFileInfo(built).isDir()) return true;
    const QDir from(built);
    for (const QString& name : from.entryList(QDir::Files | QDir::Hidden)) {
        const QString target = QDir(databaseName).filePath(name);
        // A table already in place (moved before a kill) stays as it is.
        if (QFileInfo::exists(target)) continue;
        FileStepForFault();
        if (!QFile::rename(from.filePath(name), target)) return false;
    }
    FileStepForFault();
    RemoveTree(built);
    return true;
}

bool CreateProjectTables(const QString& databaseName, const std::function<void(const QString&)>& fill) {
    if (!QFileInfo(databaseName).isDir()) return false;
    // What an earlier creation left: a complete set goes into place, a
    // half-built one away.
    if (!FinishProjectCreation(databaseName)) return false;
    const QString building = Inside(databaseName, kBuilding);
    RemoveTree(building);
    if (!QDir().mkpath(building)) return false;
    bool ok = true;
    for (ProjectTable t : AllProjectTables) ok = ok && CreateProjectTable(t, building, ProjectTableFileName(t));
    if (ok && fill) {
        try {
            fill(building);
        } catch (...) {
            ok = false;
        }
    }
    // Close every connection to the files before they move.
    Session().OpenDatabase(building).Close();
    FileStepForFault();
    if (!ok || !QDir().rename(building, Inside(databaseName, kBuilt))) {
        RemoveTree(building);
        return false;
    }
    return FinishProjectCreation(databaseName);
}

bool CreateNewProject(const QString& databaseName) {
    return CreateProjectTables(databaseName, [](const QString& building) {
        TTable firdat(QStringLiteral("KORVA_9_0"), QStringLiteral("FIRDAT.DB"));
        TTable prjinf(building, ProjectTableFileName(ProjectTable::Prjinf));
        CopyOptionsToProject(firdat, prjinf, true);
    });
}
