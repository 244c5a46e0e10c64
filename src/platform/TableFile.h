#pragma once
// Table files on disk: each table is one SQLite file holding one table named
// after the file's base name, with its field definitions carried by the
// declared column types and its level in PRAGMA user_version.
#include "platform/FieldDefs.h"
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <memory>

constexpr int CurrentTableLevel = 7;

// The directory with a trailing '/', whether or not it was given with one.
QString NormalizedDirectory(const QString& dir);

// The existing file in dir whose name equals name without regard to case
// (exact spelling preferred); empty when there is none.
QString FindFileNoCase(const QString& dir, const QString& name);

// The path of a table file: dir/name found without regard to case, or
// dir/name as given when no such file exists yet. A name without extension
// gets ".db".
QString TablePath(const QString& dir, const QString& tableName);

bool TableFileExists(const QString& path);

// Empty when dir is a directory that can be entered; else why not: "does not
// exist" only when it truly does not, otherwise the system's reason (an
// unreadable directory is not a missing one).
// A directory whose name holds bytes that are not UTF-8 (a Latin-1 name) is
// said to be one this program cannot reach, not a missing one.
QString DirectoryProblem(const QString& dir);
// True only when the directory truly does not exist (and no directory of
// that name in Latin-1 bytes does, and no symbolic link on its way points
// nowhere).
bool DirectoryIsMissing(const QString& dir);
// Why a directory that is not there to enter is out of reach rather than
// missing: the system's reason, a name in Latin-1 bytes, a symbolic link on
// its way that points nowhere. Empty when the directory can be entered or
// truly does not exist.
QString UnreachableDirectoryReason(const QString& dir);

// Creates a new table file (fails with dbeTableExists when the file exists).
// The file is written under a temporary name and renamed into place, so a
// failed creation leaves nothing behind.
void CreateTableFile(const QString& path, const TFieldDefs& fields,
                     const TIndexDefs& indexes = {}, int level = CurrentTableLevel);

struct TableSchema {
    QString tableName;  // the SQL name of the table inside the file
    TFieldDefs fields;
    TIndexDefs indexes;
    int level = 0;
};

// Reads the schema of an existing table file (raises dbeTableNotFound,
// dbeCorrupt).
TableSchema ReadTableSchema(const QString& path);

// Rebuilds a table with new field definitions in one transaction: fields
// are matched by name; rows, indexes and the level are kept (or the level
// set to newLevel when it is above 0). Text values are cut to a smaller
// width. Fields whose names are not in newFields are dropped.
void RestructureTableFile(const QString& path, const TFieldDefs& newFields, int newLevel = 0);

// The error with the file's name in front, unless it names it already.
class EDBEngineError;
EDBEngineError NamingFile(const EDBEngineError& e, const QString& path);

// Sets the table level only.
void SetTableLevel(const QString& path, int level);

// Builds the primary index of a table file anew (dropping the one it has),
// in one transaction: a table whose rows hold a key twice keeps its old
// state and raises dbeKeyViolation.
void RebuildPrimaryIndex(const QString& path, const QStringList& keyFields);

// Replaces the content of existing table files by that of other ones
// (target, source), all in one transaction over every target: either all
// targets hold their new structure, rows and level, or none changed, also
// when the process is killed half-way. Connections that have a target
// attached see the new content. Each replacement counts as a write for the
// fault hook. At most five pairs.
void ReplaceTableFilesContent(const QList<QPair<QString, QString>>& targetsAndSources);

// Table files held for a rewrite that works on copies of them (an upgrade,
// a level conversion): from construction until Replace commits, the write
// lock of every file is held, as a write transaction holds it. A writer of
// any process waits for the rewrite as it waits for another writer, so no
// row committed after the copies were taken is lost when they go into
// place, and the copies show what was committed. The locks are taken all
// at once or given back and tried again, never some held while waiting for
// the others: a writer that locks the same files in another order never
// waits for the rewrite while the rewrite waits for it. Raises dbeLocked,
// naming the files, when writers kept them past the busy timeout.
// Destroyed without Replace, it changes nothing. At most five files.
class TTableFilesRewrite {
public:
    explicit TTableFilesRewrite(const QStringList& targets);
    ~TTableFilesRewrite();
    TTableFilesRewrite(const TTableFilesRewrite&) = delete;
    TTableFilesRewrite& operator=(const TTableFilesRewrite&) = delete;

    // Replaces the content of held files by that of other ones (target,
    // source), as ReplaceTableFilesContent does, and gives the locks back.
    void Replace(const QList<QPair<QString, QString>>& targetsAndSources);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Removes what rewrites ended by a kill left in the directory: the small
// file each committed through, its journal (which only ever held that
// file's first page), and its multi-file journal once no table's journal
// names it (a table's rollback still reads it, and SQLite removes it after
// the last one). Only while no rewrite can be at work there: a live one has
// written its multi-file journal before any journal names it. Returns how
// many files went.
int RemoveDeadRewrites(const QString& dir);

// Copies a table file as committed, through SQLite: never through a
// descriptor of our own, whose closing would give back every lock this
// process holds on the file (a rewrite's among them). Waits the busy
// timeout for a writer's commit.
void CopyTableFile(const QString& from, const QString& to);

// Copies files of a directory into another one while every table file among
// them is held under a shared lock: no writer can commit to any of them
// during the copy, so the copies show the tables as they stood at one
// instant (a writer's half-done commit is never copied). A writer's
// journals are left behind; other files that are not table files are
// copied as they are. Raises EDBEngineError naming the file
// that cannot be read or written; waits the busy timeout for a writer.
void CopyFilesUnderReadLock(const QString& fromDir, const QStringList& names, const QString& toDir);
