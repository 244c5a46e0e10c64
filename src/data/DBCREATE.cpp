#include "data/DBCREATE.h"

#include "data/FIRAUFKON.h"
#include "data/ProjectSchema.h"
#include "platform/Database.h"
#include "platform/FaultInjection.h"
#include "platform/LockFile.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

namespace {

// The message of the exception being handled; `general` when it has none.
QString CaughtMessage(const QString& general) {
    try {
        throw;
    } catch (const std::exception& e) {
        const QString what = QString::fromLocal8Bit(e.what());
        return what.isEmpty() ? general : what;
    } catch (...) {
        return general;
    }
}

// The creation's message, empty when the table was created.
QString CreateProjectTableFile(ProjectTable table, const QString& databaseName, const QString& tableName) {
    try {
        TTable t;
        t.SetDatabaseName(databaseName);
        t.SetTableName(tableName);
        t.CreateTable(ProjectFieldDefs(table), ProjectIndexDefs(table));
        return {};
    } catch (...) {
        return CaughtMessage(QStringLiteral("%1 cannot be created").arg(tableName));
    }
}

bool CreateProjectTable(ProjectTable table, const QString& databaseName, const QString& tableName) {
    // The caller only learns whether the table exists now.
    return CreateProjectTableFile(table, databaseName, tableName).isEmpty();
}

// A new project is built whole in a hidden directory of the project
// directory, which is renamed once every table (and the settings row) is
// in it; only then are the tables moved into place. A kill while it is
// built leaves no project (the half-built directory is dropped at the next
// creation); a kill while the tables move leaves the complete set, which
// the next start moves on. All of it happens under the lock file, one
// start at a time: two starts on one new directory would otherwise remove
// each other's work, or one would see the other's tables half moved.
const char* const kBuilding = ".korva-new-project";
const char* const kBuilt = ".korva-new-project.complete";
const char* const kLock = ".korva-new-project.lock";

QString Inside(const QString& dir, const char* name) { return QDir(dir).filePath(QLatin1String(name)); }

void RemoveTree(const QString& path) {
    if (QFileInfo(path).isDir()) QDir(path).removeRecursively();
}

ProjectWaitNotice& WaitNotice() {
    static ProjectWaitNotice notice;
    return notice;
}

// The directory's creation lock. A wait for another start that lasts is
// told, so the engineer sees why nothing happens, and so is its end.
class ProjectLock {
public:
    ProjectLock(const QString& databaseName, int waitMs)
        : m_directory(databaseName),
          m_lock(Inside(databaseName, kLock), waitMs, [this](qint64 waited) { Waiting(waited); }) {
        if (m_told) Tell(false);
    }
    const TLockFile& Lock() const { return m_lock; }

private:
    void Waiting(qint64 waited) {
        if (waited < ProjectWaitNoticeMs || !WaitNotice()) return;
        m_told = true;
        Tell(true);
    }
    void Tell(bool waiting) const {
        // A notice that fails must not cost the lock its file.
        try {
            WaitNotice()(m_directory, waiting);
        } catch (...) {
        }
    }
    QString m_directory;
    bool m_told = false;
    TLockFile m_lock;
};

QString BusyReason(int waitMs) {
    return QStringLiteral("another start has been creating, checking or upgrading the project there for %1 seconds "
                          "and has not finished (it may be waiting for its engineer to answer a question)")
        .arg(waitMs / 1000);
}

// Only for the holder of the lock.
bool PutBuiltInPlace(const QString& databaseName, QString* reason) {
    const QString built = Inside(databaseName, kBuilt);
    if (!QFileInfo(built).isDir()) return true;
    const QDir from(built);
    for (const QString& name : from.entryList(QDir::Files | QDir::Hidden)) {
        const QString target = QDir(databaseName).filePath(name);
        // A table already in place (moved before a kill) stays as it is.
        if (QFileInfo::exists(target)) continue;
        FileStepForFault();
        QFile file(from.filePath(name));
        if (!file.rename(target)) {
            if (reason)
                *reason = QStringLiteral("the tables built in %1 cannot be put in place (%2)").arg(built, file.errorString());
            return false;
        }
    }
    FileStepForFault();
    RemoveTree(built);
    return true;
}

// The project tables the directory holds, and those it lacks.
void ProjectTablesPresent(const QString& databaseName, QStringList& present, QStringList& missing) {
    for (ProjectTable t : AllProjectTables) {
        const QString name = ProjectTableFileName(t);
        const QString found = FindFileNoCase(databaseName, name);
        (!found.isEmpty() && QFileInfo(found).isFile() ? present : missing) << name;
    }
}

bool BuildProject(const QString& databaseName, const std::function<void(const QString&)>& fill, QString& reason) {
    const QString building = Inside(databaseName, kBuilding);
    // Under the lock, a building directory is what a killed start left.
    RemoveTree(building);
    if (!QDir().mkpath(building)) {
        reason = QStringLiteral("%1 cannot be made").arg(building);
        return false;
    }
    for (ProjectTable t : AllProjectTables) {
        reason = CreateProjectTableFile(t, building, ProjectTableFileName(t));
        if (!reason.isEmpty()) break;
    }
    if (reason.isEmpty() && fill) {
        try {
            fill(building);
        } catch (...) {
            reason = CaughtMessage(QStringLiteral("the settings row cannot be written"));
        }
    }
    // Close every connection to the files before they move.
    Session().OpenDatabase(building).Close();
    FileStepForFault();
    if (reason.isEmpty() && !QDir().rename(building, Inside(databaseName, kBuilt)))
        reason = QStringLiteral("%1 cannot be renamed").arg(building);
    if (!reason.isEmpty()) {
        RemoveTree(building);
        return false;
    }
    return PutBuiltInPlace(databaseName, &reason);
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

void SetProjectWaitNotice(ProjectWaitNotice notice) { WaitNotice() = std::move(notice); }

bool FinishProjectCreation(const QString& databaseName) {
    return LookAtSettledProject(databaseName, {}) && !QFileInfo(Inside(databaseName, kBuilt)).isDir();
}

bool LookAtSettledProject(const QString& databaseName, const std::function<void()>& look, QString* reason,
                          int waitMs) {
    const ProjectLock project(databaseName, waitMs);
    const TLockFile& lock = project.Lock();
    if (lock.Busy()) {
        if (reason) *reason = BusyReason(waitMs);
        return false;
    }
    if (lock.Held()) {
        // Nobody builds now: a building directory is what a killed start
        // left, and a complete set goes into place.
        RemoveTree(Inside(databaseName, kBuilding));
        QString notPlaced;
        if (!PutBuiltInPlace(databaseName, &notPlaced)) {
            if (reason) *reason = notPlaced;
            return false;
        }
    }
    if (look) look();
    // Nobody rewrites the tables now either: what a killed rewrite left
    // goes, once the look has read the tables (and so rolled back what it
    // had half committed).
    if (lock.Held()) RemoveDeadRewrites(databaseName);
    return true;
}

bool CreateProjectTables(const QString& databaseName, const std::function<void(const QString&)>& fill,
                         QString* reason) {
    QString why;
    const auto fail = [&reason, &why] {
        if (reason) *reason = why;
        return false;
    };
    if (!QFileInfo(databaseName).isDir()) {
        why = QStringLiteral("the directory does not exist");
        return fail();
    }
    const ProjectLock project(databaseName, ProjectCreationWaitMs);
    const TLockFile& lock = project.Lock();
    if (!lock.Held()) {
        why = lock.Busy() ? BusyReason(ProjectCreationWaitMs) : lock.Failure();
        return fail();
    }
    // What an earlier creation left: a complete set goes into place, a
    // half-built one away.
    if (!PutBuiltInPlace(databaseName, &why)) return fail();
    QStringList present, missing;
    ProjectTablesPresent(databaseName, present, missing);
    // Another start created the project while this one waited.
    if (missing.isEmpty()) return true;
    if (!present.isEmpty()) {
        why = QStringLiteral("the directory holds only part of a project (%1; %2 missing)")
                  .arg(present.join(QStringLiteral(", ")), missing.join(QStringLiteral(", ")));
        return fail();
    }
    if (!BuildProject(databaseName, fill, why)) return fail();
    return true;
}

bool CreateNewProject(const QString& databaseName, QString* reason) {
    return CreateProjectTables(
        databaseName,
        [](const QString& building) {
            TTable firdat(QStringLiteral("KORVA_9_0"), QStringLiteral("FIRDAT.DB"));
            TTable prjinf(building, ProjectTableFileName(ProjectTable::Prjinf));
            CopyOptionsToProject(firdat, prjinf, true);
        },
        reason);
}
