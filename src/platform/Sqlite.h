#pragma once
// Thin RAII helpers over the SQLite C API, internal to the database layer.
#include <QString>
#include <QVariant>
#include <sqlite3.h>
#include <vector>

// Raises EDBEngineError with the connection's message (dbeKeyViolation for a
// unique-constraint failure, dbeIo for I/O and lock failures).
[[noreturn]] void ThrowSqlite(sqlite3* db, int rc, const QString& context);

QString QuoteIdent(const QString& name);  // "name" with quotes doubled

class Stmt {
public:
    Stmt() = default;
    Stmt(sqlite3* db, const QString& sql);
    ~Stmt();
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    Stmt(Stmt&& o) noexcept;
    Stmt& operator=(Stmt&& o) noexcept;

    void Prepare(sqlite3* db, const QString& sql);
    bool Valid() const { return m_stmt != nullptr; }
    void Bind(int index, const QVariant& v);  // 1-based
    void BindAll(const std::vector<QVariant>& values, int first = 1);
    int ParameterIndex(const QString& name) const;
    int ParameterCount() const;
    bool Step();  // true: a row is ready
    void Reset();
    int ColumnCount() const;
    QString ColumnName(int i) const;
    QVariant Column(int i) const;
    sqlite3_stmt* Handle() const { return m_stmt; }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_sql;
};

// How long a statement waits for another program's lock on a file.
constexpr int BusyTimeoutMs = 5000;

void Exec(sqlite3* db, const QString& sql);
// Runs a write statement: counts it for the fault hook first.
int ExecWrite(Stmt& st);
// Opens a file (":memory:" for none) by its path: a path is never read as a
// URI.
// extraFlags: further SQLITE_OPEN_ flags.
sqlite3* OpenConnection(const QString& path, bool create, int extraFlags = 0);
// The "file:" URI of a path (made absolute), for ATTACH.
QString FileUri(const QString& path);

struct TableSchema;
// Reads a table file's schema through an open connection; schemaName is the
// name it is attached under (empty for main).
TableSchema ReadTableSchemaVia(sqlite3* db, const QString& schemaName, const QString& path);
