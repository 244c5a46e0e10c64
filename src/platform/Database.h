#pragma once
// A database: the tables of one directory, reached through one SQLite
// connection to which the table files are attached. A transaction covers
// every table of the database, so changes over several files are
// all-or-nothing.
#include <QObject>
#include <QString>
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

    void StartTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const;

    // Internal to the layer: the connection holding an attached table file,
    // and the schema name under which it is attached.
    struct Attachment {
        sqlite3* db = nullptr;
        QString schema;
    };
    Attachment Attach(const QString& filePath);
    void Release(const QString& filePath);
    // Attaches every table file of the directory that the SQL names.
    sqlite3* ConnectionFor(const QString& sql);
    // A prepared statement of a connection, kept for reuse: callers bind,
    // step and reset it within one call.
    Stmt& Prepared(sqlite3* db, const QString& sql);
    // The schema of an attached table file, read once per change of the file.
    std::shared_ptr<const TableSchema> SchemaOf(const QString& filePath);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    QString m_name;
    QString m_alias;
    QString m_directory;
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
