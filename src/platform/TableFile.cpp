#include "platform/TableFile.h"

#include "platform/CommitJournals.h"
#include "platform/DbErrors.h"
#include "platform/FaultInjection.h"
#include "platform/Sqlite.h"
#include "platform/TableVersion.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QRegularExpression>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kPrimarySuffix = "$PRIMARY";
// Auto-increment fields get an index of their own so the next number is
// found without a scan; it is the layer's, not part of the table's indexes.
const char* const kAutoIncMark = "$AUTOINC_";

struct Connection {
    sqlite3* db = nullptr;
    explicit Connection(const QString& path, bool create) : db(OpenConnection(path, create)) {}
    ~Connection() { sqlite3_close(db); }
};

QString ColumnSql(const TFieldDef& f) {
    QString s = QuoteIdent(f.name) + ' ' + DeclaredType(f);
    if (f.type == TFieldType::String) s += " COLLATE RTRIM";
    return s;
}

QString IndexSql(const QString& table, const TIndexDef& ix) {
    QStringList cols;
    for (const auto& f : ix.fields) cols << QuoteIdent(f) + (ix.caseInsensitive ? " COLLATE NOCASE" : "");
    const QString name = ix.primary ? table + kPrimarySuffix : ix.name;
    const bool unique = ix.primary || ix.unique;
    return QString("CREATE %1INDEX %2 ON %3 (%4)")
        .arg(unique ? "UNIQUE " : "", QuoteIdent(name), QuoteIdent(table), cols.join(", "));
}

void CreateAutoIncIndexes(sqlite3* db, const QString& table, const TFieldDefs& fields) {
    for (const auto& f : fields)
        if (f.type == TFieldType::AutoInc)
            Exec(db, QString("CREATE INDEX %1 ON %2 (%3)")
                         .arg(QuoteIdent(table + kAutoIncMark + f.name), QuoteIdent(table), QuoteIdent(f.name)));
}

void CreateSchema(sqlite3* db, const QString& table, const TFieldDefs& fields, const TIndexDefs& indexes) {
    QStringList cols;
    for (const auto& f : fields) cols << ColumnSql(f);
    Exec(db, QString("CREATE TABLE %1 (%2)").arg(QuoteIdent(table), cols.join(", ")));
    for (const auto& ix : indexes) Exec(db, IndexSql(table, ix));
    CreateAutoIncIndexes(db, table, fields);
}

bool HasField(const TFieldDefs& defs, const QString& name) {
    for (const auto& f : defs)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

}  // namespace

QString NormalizedDirectory(const QString& dir) {
    if (dir.isEmpty()) return QString();
    QString d = QDir::cleanPath(dir);
    if (!d.endsWith('/')) d += '/';
    return d;
}

QString FindFileNoCase(const QString& dir, const QString& name) {
    QDir d(dir.isEmpty() ? QString(".") : dir);
    if (d.exists(name)) return d.filePath(name);
    const QStringList entries = d.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const auto& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0) return d.filePath(e);
    return QString();
}

QString TablePath(const QString& dir, const QString& tableName) {
    QString name = tableName;
    QString directory = dir;
    const QFileInfo fi(tableName);
    if (tableName.contains('/')) {  // a table name with its own directory
        directory = fi.path();
        name = fi.fileName();
    }
    if (QFileInfo(name).suffix().isEmpty()) name += ".db";
    const QString found = FindFileNoCase(directory, name);
    if (!found.isEmpty()) return QDir::cleanPath(found);
    return QDir::cleanPath(NormalizedDirectory(directory.isEmpty() ? "." : directory) + name);
}

bool TableFileExists(const QString& path) { return QFileInfo(path).isFile(); }

void CreateTableFile(const QString& path, const TFieldDefs& fields, const TIndexDefs& indexes, int level) {
    if (QFileInfo::exists(path)) throw EDBEngineError(dbeTableExists, QString("Table already exists: %1").arg(path));
    if (fields.isEmpty()) throw EDBEngineError(dbeInvalidOperation, QString("No fields to create %1").arg(path));
    const QFileInfo fi(path);
    const QString tmp = fi.absolutePath() + "/." + fi.fileName() + "." + QUuid::createUuid().toString(QUuid::Id128) + ".tmp";
    try {
        {
            Connection c(tmp, true);
            Exec(c.db, "BEGIN");
            CreateSchema(c.db, fi.completeBaseName(), fields, indexes);
            Exec(c.db, QString("PRAGMA user_version = %1").arg(level));
            Exec(c.db, "COMMIT");
        }
        if (!QFile::rename(tmp, path))
            throw EDBEngineError(dbeIo, QString("Cannot create table file %1").arg(path));
        BumpSchemaVersion(CanonicalTablePath(path));
    } catch (...) {
        QFile::remove(tmp);
        QFile::remove(tmp + "-journal");
        throw;
    }
}

TableSchema ReadTableSchemaVia(sqlite3* db, const QString& schemaName, const QString& path) {
    const QString prefix = schemaName.isEmpty() ? QString() : QuoteIdent(schemaName) + ".";
    TableSchema s;
    try {
        Stmt st(db, QString("SELECT name FROM %1sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'").arg(prefix));
        if (!st.Step()) throw EDBEngineError(dbeCorrupt, QString("Not a table file: %1").arg(path));
        s.tableName = st.Column(0).toString();
    } catch (const EDBEngineError& e) {
        if (e.ErrorCode() == dbeSqlError) throw EDBEngineError(dbeCorrupt, QString("Not a table file: %1").arg(path));
        throw;
    }
    {
        Stmt st(db, QString("PRAGMA %1table_info(%2)").arg(prefix, QuoteIdent(s.tableName)));
        while (st.Step()) s.fields << FieldDefFromDeclared(st.Column(1).toString(), st.Column(2).toString());
    }
    {
        Stmt list(db, QString("PRAGMA %1index_list(%2)").arg(prefix, QuoteIdent(s.tableName)));
        QList<TIndexDef> found;
        while (list.Step()) {
            TIndexDef ix;
            const QString name = list.Column(1).toString();
            if (name.contains(kAutoIncMark)) continue;
            ix.unique = list.Column(2).toInt() != 0;
            ix.primary = name.endsWith(kPrimarySuffix);
            ix.name = ix.primary ? QString() : name;
            Stmt info(db, QString("PRAGMA %1index_xinfo(%2)").arg(prefix, QuoteIdent(name)));
            while (info.Step()) {
                if (info.Column(5).toInt() == 0) continue;  // not a key column
                ix.fields << info.Column(2).toString();
                if (info.Column(4).toString().compare("NOCASE", Qt::CaseInsensitive) == 0) ix.caseInsensitive = true;
            }
            found << ix;
        }
        // The primary index first, as the engine lists it.
        for (const auto& ix : found)
            if (ix.primary) s.indexes << ix;
        for (const auto& ix : found)
            if (!ix.primary) s.indexes << ix;
    }
    Stmt v(db, QString("PRAGMA %1user_version").arg(prefix));
    s.level = v.Step() ? v.Column(0).toInt() : 0;
    return s;
}

static void RestructureTableFileUnnamed(const QString& path, const TFieldDefs& newFields, int newLevel);

EDBEngineError NamingFile(const EDBEngineError& e, const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    if (e.Message().contains(shown) || e.Message().contains(path)) return e;
    return EDBEngineError(e.ErrorCode(), QString("%1: %2").arg(shown, e.Message()));
}

TableSchema ReadTableSchema(const QString& path) {
    if (!TableFileExists(path)) throw EDBEngineError(dbeTableNotFound, QString("Table does not exist: %1").arg(path));
    try {
        Connection c(path, false);
        return ReadTableSchemaVia(c.db, QString(), path);
    } catch (const EDBEngineError& e) {
        throw NamingFile(e, path);
    }
}

void RestructureTableFile(const QString& path, const TFieldDefs& newFields, int newLevel) {
    try {
        RestructureTableFileUnnamed(path, newFields, newLevel);
    } catch (const EDBEngineError& e) {
        throw NamingFile(e, path);
    }
}

static void RestructureTableFileUnnamed(const QString& path, const TFieldDefs& newFields, int newLevel) {
    const TableSchema old = ReadTableSchema(path);
    Connection c(path, false);
    const QString table = old.tableName;
    const QString tmp = table + "$restructure";
    Exec(c.db, "BEGIN IMMEDIATE");
    try {
        QStringList cols;
        for (const auto& f : newFields) cols << ColumnSql(f);
        Exec(c.db, QString("CREATE TABLE %1 (%2)").arg(QuoteIdent(tmp), cols.join(", ")));
        QStringList targets, sources;
        for (const auto& f : newFields) {
            if (!HasField(old.fields, f.name)) continue;
            targets << QuoteIdent(f.name);
            sources << (f.type == TFieldType::String ? QString("substr(%1, 1, %2)").arg(QuoteIdent(f.name)).arg(f.size)
                                                     : QuoteIdent(f.name));
        }
        if (!targets.isEmpty())
            Exec(c.db, QString("INSERT INTO %1 (%2) SELECT %3 FROM %4 ORDER BY rowid")
                           .arg(QuoteIdent(tmp), targets.join(", "), sources.join(", "), QuoteIdent(table)));
        Exec(c.db, QString("DROP TABLE %1").arg(QuoteIdent(table)));
        Exec(c.db, QString("ALTER TABLE %1 RENAME TO %2").arg(QuoteIdent(tmp), QuoteIdent(table)));
        for (const auto& ix : old.indexes) {
            bool allThere = true;
            for (const auto& f : ix.fields) allThere = allThere && HasField(newFields, f);
            if (allThere) Exec(c.db, IndexSql(table, ix));
        }
        CreateAutoIncIndexes(c.db, table, newFields);
        Exec(c.db, QString("PRAGMA user_version = %1").arg(newLevel > 0 ? newLevel : old.level));
        Exec(c.db, "COMMIT");
        BumpSchemaVersion(CanonicalTablePath(path));
    } catch (...) {
        sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void SetTableLevel(const QString& path, int level) {
    if (!TableFileExists(path)) throw EDBEngineError(dbeTableNotFound, QString("Table does not exist: %1").arg(path));
    Connection c(path, false);
    Exec(c.db, QString("PRAGMA user_version = %1").arg(level));
    BumpSchemaVersion(CanonicalTablePath(path));
}

namespace {

// A path this program cannot name: file names are UTF-8 here, and a
// directory named in another code page (a Latin-1 "é" is one byte) is
// reached by no path of the program. Empty when the path is not such.
QString UnnamablePathReason(const QString& dir) {
    if (dir.contains(QChar::ReplacementCharacter))
        return QStringLiteral("its name holds bytes that are not UTF-8, in which this system names its files");
    bool latin = false;
    for (const QChar c : dir) {
        if (c.unicode() > 0xff) return {};
        latin = latin || c.unicode() > 0x7f;
    }
    struct stat st {};
    if (latin && ::stat(dir.toLatin1().constData(), &st) == 0)
        return QStringLiteral("it is named in Latin-1 bytes, this system names its files in UTF-8; rename the "
                              "directory");
    return {};
}

// A symbolic link on the way to a path that does not exist, that points
// nowhere: the path is not missing, the link is broken. Empty when there
// is none.
QString DanglingLinkReason(const QString& path) {
    QString at = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (int depth = 0; depth < 256 && !at.isEmpty(); ++depth) {
        const QByteArray native = QFile::encodeName(at);
        struct stat st {};
        if (::lstat(native.constData(), &st) == 0) {
            if (!S_ISLNK(st.st_mode) || ::stat(native.constData(), &st) == 0 || errno != ENOENT) return {};
            const QFileInfo link(at);
            return QStringLiteral("%1 is a symbolic link to %2, which does not exist")
                .arg(QDir::toNativeSeparators(at), QDir::toNativeSeparators(link.symLinkTarget()));
        }
        const QString parent = QFileInfo(at).path();
        if (parent == at) return {};
        at = parent;
    }
    return {};
}

}  // namespace

QString UnreachableDirectoryReason(const QString& dir) {
    if (dir.isEmpty()) return {};
    const QByteArray native = QFile::encodeName(dir);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0) return {};
    const int err = errno;
    if (const QString unnamable = UnnamablePathReason(dir); !unnamable.isEmpty()) return unnamable;
    if (err != ENOENT) return QString::fromLocal8Bit(std::strerror(err));
    return DanglingLinkReason(dir);
}

bool DirectoryIsMissing(const QString& dir) {
    struct stat st {};
    return !dir.isEmpty() && ::stat(QFile::encodeName(dir).constData(), &st) != 0 && errno == ENOENT &&
           UnreachableDirectoryReason(dir).isEmpty();
}

QString DirectoryProblem(const QString& dir) {
    const QString shown = QDir::toNativeSeparators(dir);
    if (dir.isEmpty()) return QStringLiteral("No directory given");
    const QByteArray native = QFile::encodeName(dir);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        if (const QString reason = UnreachableDirectoryReason(dir); !reason.isEmpty())
            return QString("Directory cannot be reached: %1 (%2)").arg(shown, reason);
        return QString("Directory does not exist: %1").arg(shown);
    }
    if (!S_ISDIR(st.st_mode)) return QString("Not a directory: %1").arg(shown);
    if (::access(native.constData(), R_OK | X_OK) != 0)
        return QString("Directory cannot be read: %1 (%2)").arg(shown, QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}

void RebuildPrimaryIndex(const QString& path, const QStringList& keyFields) {
    const TableSchema old = ReadTableSchema(path);
    if (keyFields.isEmpty()) throw EDBEngineError(dbeInvalidOperation, QString("No key fields for %1").arg(path));
    for (const auto& f : keyFields)
        if (!HasField(old.fields, f))
            throw EDBEngineError(dbeFieldNotFound, QString("No field %1 in %2").arg(f, path));
    Connection c(path, false);
    Exec(c.db, "BEGIN IMMEDIATE");
    try {
        Exec(c.db, QString("DROP INDEX IF EXISTS %1").arg(QuoteIdent(old.tableName + kPrimarySuffix)));
        TIndexDef ix;
        ix.fields = keyFields;
        ix.primary = ix.unique = true;
        Exec(c.db, IndexSql(old.tableName, ix));
        Exec(c.db, "COMMIT");
        BumpSchemaVersion(CanonicalTablePath(path));
    } catch (...) {
        sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void ReplaceTableFilesContent(const QList<QPair<QString, QString>>& targetsAndSources) {
    if (targetsAndSources.size() > 5)
        throw EDBEngineError(dbeInvalidOperation, "Too many tables to replace in one transaction");
    if (targetsAndSources.isEmpty()) return;
    QStringList targets;
    for (const auto& pair : targetsAndSources) targets << pair.first;
    TTableFilesRewrite rewrite(targets);
    rewrite.Replace(targetsAndSources);
}

struct TTableFilesRewrite::Impl {
    QStringList targets;
    // A transaction over several attached files is atomic only when the
    // connection's main database is a file: SQLite then commits through a
    // journal that names every file's own journal, so a process killed at
    // any instant leaves every target committed or every one rolled back.
    // It lies beside the targets, on their file system, so it outlives a
    // crash (a temporary folder may be cleared before the project is
    // opened again).
    QString anchor;
    sqlite3* db = nullptr;
    bool held = false;

    void Attach(const QString& path, const QString& schema) const {
        Stmt st(db, QString("ATTACH DATABASE ? AS %1").arg(QuoteIdent(schema)));
        st.Bind(1, QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + "?mode=rw");
        st.Step();
    }
    void TakeEveryLock();
    QString TargetsShown() const {
        QStringList shown;
        for (const QString& target : targets) shown << QDir::toNativeSeparators(target);
        return shown.join(", ");
    }
    void GiveBack() {
        if (held) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        held = false;
    }
    ~Impl() {
        GiveBack();
        if (db) sqlite3_close(db);
        if (anchor.isEmpty()) return;
        QFile::remove(anchor);
        QFile::remove(anchor + "-journal");
    }
};

TTableFilesRewrite::TTableFilesRewrite(const QStringList& targets) : d(std::make_unique<Impl>()) {
    if (targets.size() > 5) throw EDBEngineError(dbeInvalidOperation, "Too many tables to rewrite in one transaction");
    d->targets = targets;
    if (targets.isEmpty()) return;
    for (const QString& target : targets)
        if (!TableFileExists(target))
            throw EDBEngineError(dbeTableNotFound, QString("Table does not exist: %1").arg(target));
    d->anchor = QFileInfo(targets.front()).absolutePath() + "/.korva-replace-" +
                QUuid::createUuid().toString(QUuid::Id128) + ".tmp";
    d->db = OpenConnection(d->anchor, true);
    for (int i = 0; i < targets.size(); ++i) d->Attach(targets[i], QString("t%1").arg(i));
    d->TakeEveryLock();
}

// The write lock of every file at once, or none: a busy file gives back
// those already taken before the next try. A writer locks the files in the
// order its connection attached them (the input form attaches the
// settings table first), which need not be this order; holding some while
// waiting for the others, the rewrite and such a writer would each wait
// for the other until both gave up.
void TTableFilesRewrite::Impl::TakeEveryLock() {
    QElapsedTimer waited;
    waited.start();
    sqlite3_busy_timeout(db, 0);
    for (;;) {
        const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) break;
        const int primary = rc & 0xff;
        if ((primary != SQLITE_BUSY && primary != SQLITE_LOCKED) || waited.elapsed() >= BusyTimeoutMs) {
            const QString shown = TargetsShown();
            if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
                throw EDBEngineError(dbeLocked, QString("%1: another program kept writing them; gave up after "
                                                        "waiting %2 seconds")
                                                    .arg(shown)
                                                    .arg(BusyTimeoutMs / 1000));
            ThrowSqlite(db, rc, shown);
        }
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        ::usleep(10000);
    }
    // The commit waits for readers as every writer does.
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    held = true;
}

TTableFilesRewrite::~TTableFilesRewrite() = default;

void TTableFilesRewrite::Replace(const QList<QPair<QString, QString>>& targetsAndSources) {
    if (!d->held) throw EDBEngineError(dbeInvalidOperation, "The table files are not held for a rewrite");
    struct Pair {
        QString target, source;
        int schema = 0;  // the target's attachment
        TableSchema old, fresh;
    };
    std::vector<Pair> pairs;
    for (const auto& [target, source] : targetsAndSources) {
        const qsizetype held = d->targets.indexOf(target);
        if (held < 0) throw EDBEngineError(dbeInvalidOperation, QString("%1 is not held for the rewrite").arg(target));
        pairs.push_back({target, source, int(held), ReadTableSchema(target), ReadTableSchema(source)});
    }
    try {
        for (size_t i = 0; i < pairs.size(); ++i) d->Attach(pairs[i].source, QString("s%1").arg(i));
        for (size_t i = 0; i < pairs.size(); ++i) {
            CountWriteForFault();
            const Pair& p = pairs[i];
            const QString t = QuoteIdent(QString("t%1").arg(p.schema)) + ".";
            const QString table = p.old.tableName;
            QStringList cols, names;
            for (const auto& f : p.fresh.fields) {
                cols << ColumnSql(f);
                names << QuoteIdent(f.name);
            }
            Exec(d->db, QString("DROP TABLE %1%2").arg(t, QuoteIdent(table)));
            Exec(d->db, QString("CREATE TABLE %1%2 (%3)").arg(t, QuoteIdent(table), cols.join(", ")));
            Exec(d->db, QString("INSERT INTO %1%2 (%3) SELECT %3 FROM %4.%5 ORDER BY rowid")
                            .arg(t, QuoteIdent(table), names.join(", "), QuoteIdent(QString("s%1").arg(i)),
                                 QuoteIdent(p.fresh.tableName)));
            // An index is created in the schema of its table: the schema
            // goes before the index name, the table stays unqualified.
            for (const auto& ix : p.fresh.indexes) {
                QString sql = IndexSql(table, ix);
                sql.insert(sql.indexOf("INDEX ") + 6, t);
                Exec(d->db, sql);
            }
            for (const auto& f : p.fresh.fields)
                if (f.type == TFieldType::AutoInc)
                    Exec(d->db, QString("CREATE INDEX %1%2 ON %3 (%4)")
                                    .arg(t, QuoteIdent(table + kAutoIncMark + f.name), QuoteIdent(table),
                                         QuoteIdent(f.name)));
            Exec(d->db, QString("PRAGMA %1user_version = %2").arg(t).arg(p.fresh.level));
        }
        if (const int rc = sqlite3_exec(d->db, "COMMIT", nullptr, nullptr, nullptr); rc != SQLITE_OK)
            ThrowSqlite(d->db, rc, QString("The new content of %1 cannot be committed").arg(d->TargetsShown()));
        d->held = false;
    } catch (...) {
        d->GiveBack();
        throw;
    }
    for (const Pair& p : pairs) {
        const QString canonical = CanonicalTablePath(p.target);
        BumpSchemaVersion(canonical);
        BumpTableVersion(canonical);
    }
}

int RemoveDeadRewrites(const QString& dir) {
    static const QRegularExpression name(QStringLiteral("^\\.korva-replace-[0-9a-f]{32}\\.tmp(-journal|-mj[0-9A-Fa-f]+)?$"));
    const QDir d(dir);
    QStringList supers;
    int removed = 0;
    for (const QString& entry : d.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch m = name.match(entry);
        if (!m.hasMatch()) continue;
        if (m.captured(1).startsWith(QLatin1String("-mj"))) supers << d.filePath(entry);
        else removed += QFile::remove(d.filePath(entry)) ? 1 : 0;
    }
    for (const QString& super : supers)
        if (!SuperJournalStillNamed(super)) removed += QFile::remove(super) ? 1 : 0;
    return removed;
}

namespace {

// Writes the file's bytes as committed into out; the reason when it
// cannot, empty when every byte went.
QString CopyCommittedBytes(const QString& from, QFile& out) {
    Connection source(from, false);
    // A read transaction that has read the file: it waits for a writer's
    // commit, rolls back what a killed writer left, and keeps the file as
    // committed while its bytes are read through SQLite's own handle of it.
    Exec(source.db, "BEGIN");
    Exec(source.db, "SELECT count(*) FROM sqlite_master");
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(source.db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return QStringLiteral("the file cannot be read");
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK) return QStringLiteral("its size cannot be read");
    QByteArray chunk;
    for (sqlite3_int64 at = 0; at < size; at += chunk.size()) {
        chunk.resize(int(std::min<sqlite3_int64>(size - at, 1 << 16)));
        if (file->pMethods->xRead(file, chunk.data(), int(chunk.size()), at) != SQLITE_OK)
            return QStringLiteral("it cannot be read");
        if (out.write(chunk) != chunk.size()) return out.errorString();
    }
    Exec(source.db, "COMMIT");
    return out.flush() ? QString() : out.errorString();
}

}  // namespace

void CopyTableFile(const QString& from, const QString& to) {
    QFile::remove(to);
    QFile out(to);
    QString why;
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        why = out.errorString();
    } else {
        try {
            why = CopyCommittedBytes(from, out);
        } catch (const EDBEngineError& e) {
            why = e.Message();
        }
        out.close();
    }
    if (why.isEmpty()) return;
    QFile::remove(to);
    throw EDBEngineError(dbeIo, QString("Cannot copy %1 to %2: %3")
                                    .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), why));
}

namespace {

// A writer's journal (rollback journal, super-journal, write-ahead log and
// its index) belongs to the writer's transaction, not to the table: a copy
// of it, taken while the writer writes it, would be rolled back into the
// copied table as a hot journal, possibly torn.
bool IsJournalName(const QString& name) {
    static const QRegularExpression journal(QStringLiteral("(-journal|-wal|-shm|-mj[0-9A-Fa-f]+)$"));
    return journal.match(name).hasMatch();
}

}  // namespace

void CopyFilesUnderReadLock(const QString& fromDir, const QStringList& allNames, const QString& toDir) {
    QStringList names;
    for (const QString& name : allNames)
        if (!IsJournalName(name)) names << name;
    // One connection per file, each in a read transaction that has read the
    // file: together they hold every file's shared lock until the copies
    // are made.
    std::vector<std::unique_ptr<Connection>> held;
    const QDir from(fromDir), to(toDir);
    for (const QString& name : names) {
        const QString path = from.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) continue;  // reported by the copy below
        if (f.read(16) != QByteArray("SQLite format 3\0", 16)) continue;
        f.close();
        try {
            auto c = std::make_unique<Connection>(path, false);
            Exec(c->db, "BEGIN");
            Exec(c->db, "SELECT count(*) FROM sqlite_master");
            held.push_back(std::move(c));
        } catch (const EDBEngineError& e) {
            throw NamingFile(e, path);
        }
    }
    for (const QString& name : names) {
        CopyStepForFault(from.filePath(name));
        const QString target = to.filePath(name);
        QFile::remove(target);
        if (!QFile::copy(from.filePath(name), target))
            throw EDBEngineError(dbeIo, QString("Cannot copy %1 to %2").arg(QDir::toNativeSeparators(from.filePath(name)),
                                                                         QDir::toNativeSeparators(target)));
    }
    for (auto& c : held) sqlite3_exec(c->db, "COMMIT", nullptr, nullptr, nullptr);
}
