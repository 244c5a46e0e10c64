#pragma once
// A database: the tables of one directory, reached through one SQLite
// connection to which the table files are attached. A transaction covers
// every table of the database, so changes over several files are
// all-or-nothing, also when the process dies in the middle of the commit.
// A write transaction takes the write lock of each file before it reads
// it, so a second writer waits (up to the busy timeout) instead of failing.
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

struct sqlite3;
class Stmt;
struct TableSchema;

class TDatabase : public QObject {
    Q_OBJECT
public:
    // A database with a name registers itself in the session; TTable and
    // TQuery find it by that name.
    explicit TDatabase(const QString& databaseName = {}, QObject* parent = nullptr);
    ~TDatabase() override;

    void SetDatabaseName(const QString& name);
    QString DatabaseName() const { return m_name; }
    void SetAliasName(const QString& alias);  // the directory comes from the alias
    QString AliasName() const { return m_alias; }
    void SetDirectory(const QString& dir);    // or it is given directly
    QString Directory() const;                // resolved, with a trailing '/'

    void Open();
    void Close();
    bool Connected() const;
    void SetConnected(bool on) { on ? Open() : Close(); }

    // A write transaction.
    void StartTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const;

    // Read scopes (see TReadScope): while one is alive, every read of the
    // database runs in one read transaction.
    void BeginReadScope();
    void EndReadScope();

    // Internal to the layer: the connection holding an attached table file,
    // and the schema name under which it is attached.
    struct Attachment {
        sqlite3* db = nullptr;
        QString schema;
    };
    Attachment Attach(const QString& filePath);
    void Release(const QString& filePath);
    // Attaches the named table files of the directory (names without
    // extension or with ".db"; names without a file are left to SQLite).
    sqlite3* ConnectionFor(const QStringList& tables);
    // A prepared statement of a connection, kept for reuse: callers bind,
    // step and reset it within one call.
    Stmt& Prepared(sqlite3* db, const QString& sql);
    // Changes whenever prepared statements are dropped: a caller that keeps
    // a pointer from Prepared() checks it before reuse.
    uint64_t StatementGeneration() const;
    // The schema of an attached table file, read once per change of the file.
    std::shared_ptr<const TableSchema> SchemaOf(const QString& filePath);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    QString m_name;
    QString m_alias;
    QString m_directory;
};

// The tables an SQL statement reads or writes: the names in its table
// positions (after FROM, JOIN, INTO, UPDATE and in FROM lists), not every
// word of its text.
QStringList TablesOfStatement(const QString& sql);

// One read transaction on a database for the life of the scope: the
// selection reads the catalogue many thousand times, and each read would
// otherwise take and drop the file locks on its own. Scopes nest; a write
// transaction inside a scope ends the read snapshot and starts a new one
// after it.
class TReadScope {
public:
    explicit TReadScope(TDatabase& db) : m_db(db) { m_db.BeginReadScope(); }
    ~TReadScope() { m_db.EndReadScope(); }
    TReadScope(const TReadScope&) = delete;
    TReadScope& operator=(const TReadScope&) = delete;

private:
    TDatabase& m_db;
};

// Runs fn inside a transaction of db: commits when fn returns, rolls back
// and rethrows when it throws.
template <typename Fn>
void InTransaction(TDatabase& db, Fn&& fn) {
    db.StartTransaction();
    try {
        fn();
        db.Commit();
    } catch (...) {
        db.Rollback();
        throw;
    }
}
