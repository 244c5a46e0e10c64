#include "platform/Database.h"

#include "platform/CommitJournals.h"
#include "platform/DbErrors.h"
#include "platform/Session.h"
#include "platform/Sqlite.h"
#include "platform/TableFile.h"
#include "platform/TableVersion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <unistd.h>
#include <unordered_map>
#include <memory>
#include <vector>

namespace {
constexpr int kMaxAttached = 10;

struct Attached {
    QString path;  // canonical
    QString schema;
    int refs = 0;
    std::shared_ptr<TableSchema> tableSchema;
    uint64_t schemaVersion = 0;
};

struct Conn {
    sqlite3* db = nullptr;
    std::vector<Attached> attached;
    std::unordered_map<QString, std::unique_ptr<Stmt>> statements;
};

// The connection's main database is a small empty file of its own in the
// tables' directory. With a main file SQLite commits a transaction over
// several attached files through a super-journal next to it, so a process
// killed between the files' commits leaves all of them or none changed; the
// hot journals point to the super-journal by path, and it must outlive any
// crash: hence the tables' own directory, never the temporary folder.
//
// Without a main file SQLite commits each file on its own, and a kill can
// leave half a support: that is never accepted silently. When the shared
// commit file cannot be used (another user's file, a directory or a stray
// file of that name), the user's own one is taken; when neither can be, the
// database still reads (through an in-memory main), but a write transaction
// is refused with the file and the reason.
constexpr const char* kCommitFileName = CommitFileName;

QStringList CommitFileCandidates(const QString& dir) {
    const QDir d(dir);
    return {d.filePath(QLatin1String(kCommitFileName)),
            d.filePath(QStringLiteral("%1-u%2").arg(QLatin1String(kCommitFileName)).arg(::getuid()))};
}

// Opens a commit file and proves it usable: a database file (empty or not)
// that this process can write. Empty reason: usable. A symbolic link is
// not followed: the super-journal is made beside the commit file, and a
// link would put it outside the project.
sqlite3* TryCommitFile(const QString& path, QString& reason) {
    sqlite3* db = nullptr;
    try {
        db = OpenConnection(path, true, SQLITE_OPEN_NOFOLLOW);
        Exec(db, "SELECT count(*) FROM main.sqlite_master");
        if (sqlite3_db_readonly(db, "main") == 1) reason = QStringLiteral("it can only be read");
        else return db;
    } catch (const EDBEngineError& e) {
        reason = db ? QString::fromUtf8(sqlite3_errmsg(db)) : e.Message();
        if (QFileInfo(path).isDir()) reason = QStringLiteral("a directory has its name");
        if (QFileInfo(path).isSymLink()) reason = QStringLiteral("a symbolic link has its name");
    }
    sqlite3_close(db);
    return nullptr;
}

struct MainDatabase {
    sqlite3* db = nullptr;
    QString commitFile;  // the file in use; empty for an in-memory main
    QString problem;     // why no commit file could be used
};

MainDatabase OpenMainDatabase(const QString& dir) {
    MainDatabase main;
    if (!dir.isEmpty()) {
        QStringList reasons;
        for (const QString& candidate : CommitFileCandidates(dir)) {
            QString reason;
            if (sqlite3* db = TryCommitFile(candidate, reason)) {
                main.db = db;
                main.commitFile = candidate;
                return main;
            }
            reasons << QStringLiteral("%1 (%2)").arg(QDir::toNativeSeparators(candidate), reason);
        }
        main.problem = QStringLiteral("Changes to the tables in %1 cannot be made safe against a crash: the commit "
                                      "file cannot be opened: %2. Nothing was written.")
                           .arg(QDir::toNativeSeparators(dir), reasons.join(QStringLiteral("; ")));
    }
    main.db = OpenConnection(":memory:", true);
    return main;
}

// The file's own table, named after its base name.
QString TableNameOfFile(const QString& path) { return QFileInfo(path).completeBaseName(); }

// Takes the write lock of one attached file before anything in it is read.
// A connection that first reads a file and then wants to write it gets
// "database is locked" at once when another writer is ahead of it (SQLite
// refuses to wait there, since both could wait for each other forever); a
// write statement that changes nothing, run before any read, waits out the
// busy timeout instead. A file opened read only is not locked.
void LockForWrite(sqlite3* db, const QString& schema, const QString& path) {
    if (sqlite3_db_readonly(db, schema.toUtf8().constData()) == 1) return;
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QString("DELETE FROM %1.%2 WHERE 0")
                               .arg(QuoteIdent(schema), QuoteIdent(TableNameOfFile(path)))
                               .toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK) {
        // Not a table file of ours by name: its first write locks it.
        sqlite3_finalize(st);
        return;
    }
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc == SQLITE_DONE) return;
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        throw EDBEngineError(dbeLocked, QString("Table %1 is being written by another program; gave up after "
                                                "waiting %2 seconds")
                                            .arg(QDir::toNativeSeparators(path))
                                            .arg(BusyTimeoutMs / 1000));
    ThrowSqlite(db, rc, QDir::toNativeSeparators(path));
}
}  // namespace

struct TDatabase::Impl {
    std::vector<Conn> conns;
    bool inTransaction = false;  // a write transaction
    int readScopes = 0;          // TReadScope objects alive
    bool inRead = false;         // the read transaction of the scopes is open
    int nextSchema = 0;
    uint64_t statementGeneration = 1;
    QString dir;
    QString commitFile;     // of the first connection; empty: none usable
    QString commitProblem;  // why a write transaction is refused
    // Held while connections are open in the directory, so that no other
    // start takes this database's super-journals for ones a dead commit
    // left.
    CommitDirectoryHold directoryHold;

    ~Impl() { CloseAll(); }

    void CloseAll() {
        ++statementGeneration;
        for (auto& c : conns) {
            c.statements.clear();
            sqlite3_close_v2(c.db);
        }
        conns.clear();
        inRead = false;
        // The commit file is empty and only its name matters (the
        // super-journal is named after it); a directory is left as it was
        // found. Another connection still using it keeps working: SQLite
        // finds super-journals by name, not through the main file.
        if (!commitFile.isEmpty()) {
            const QFileInfo file(commitFile);
            if (file.isFile() && file.size() == 0) QFile::remove(commitFile);
        }
        commitFile.clear();
        commitProblem.clear();
        directoryHold.Release();
    }

    void DropStatementsOf(Conn& c, const QString& schema) {
        ++statementGeneration;
        const QString mark = QuoteIdent(schema) + ".";
        for (auto it = c.statements.begin(); it != c.statements.end();)
            it = it->first.contains(mark) ? c.statements.erase(it) : std::next(it);
    }

    bool InAnyTransaction() const { return inTransaction || inRead; }

    Conn& NewConnection() {
        if (conns.empty() && !dir.isEmpty()) directoryHold.Take(dir);
        MainDatabase main = OpenMainDatabase(dir);
        // Every connection of the database commits through a file, or the
        // database writes nothing.
        if (conns.empty()) {
            commitFile = main.commitFile;
            commitProblem = main.problem;
        } else if (main.commitFile.isEmpty() && commitProblem.isEmpty()) {
            commitProblem = main.problem;
        }
        Conn c;
        c.db = main.db;
        conns.push_back(std::move(c));
        // A scope that outlived a close of the database reads in one
        // transaction again.
        if (!inTransaction && readScopes > 0) inRead = true;
        if (InAnyTransaction()) Exec(conns.back().db, "BEGIN");
        return conns.back();
    }

    void BeginRead() {
        if (inRead || inTransaction) return;
        for (auto& c : conns) Exec(c.db, "BEGIN");
        inRead = true;
    }

    void EndRead() {
        if (!inRead) return;
        inRead = false;
        for (auto& c : conns) sqlite3_exec(c.db, "COMMIT", nullptr, nullptr, nullptr);
    }

    Attached* Find(Conn& c, const QString& path) {
        for (auto& a : c.attached)
            if (a.path == path) return &a;
        return nullptr;
    }

    // Drops attachments that no open table uses (never inside a transaction,
    // which must keep every file it touched).
    void DetachUnused(Conn& c) {
        if (InAnyTransaction()) return;
        for (auto it = c.attached.begin(); it != c.attached.end();) {
            if (it->refs == 0) {
                DropStatementsOf(c, it->schema);
                Exec(c.db, QString("DETACH DATABASE %1").arg(QuoteIdent(it->schema)));
                it = c.attached.erase(it);
            } else {
                ++it;
            }
        }
    }

    Attached& AttachInto(Conn& c, const QString& path) {
        if (Attached* a = Find(c, path)) return *a;
        if (int(c.attached.size()) >= kMaxAttached) DetachUnused(c);
        if (int(c.attached.size()) >= kMaxAttached)
            throw EDBEngineError(dbeInvalidOperation, "Too many tables open in one database");
        const QString schema = QString("t%1").arg(nextSchema++);
        // mode=rw: attaching must never create a missing table file.
        const QString uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + "?mode=rw";
        Stmt st(c.db, QString("ATTACH DATABASE ? AS %1").arg(QuoteIdent(schema)));
        st.Bind(1, uri);
        try {
            st.Step();
        } catch (const EDBEngineError& e) {
            throw EDBEngineError(e.ErrorCode(),
                                 QString("%1: %2").arg(QDir::toNativeSeparators(path), e.Message()));
        }
        c.attached.push_back({path, schema, 0});
        if (inTransaction) LockForWrite(c.db, schema, path);
        return c.attached.back();
    }
};

TDatabase::TDatabase(const QString& databaseName, QObject* parent) : QObject(parent), d(new Impl) {
    m_name = databaseName;
    Session().RegisterDatabase(this);
}

TDatabase::~TDatabase() {
    Session().UnregisterDatabase(this);
    if (d->inTransaction) {
        try {
            Rollback();
        } catch (...) {
        }
    }
}

void TDatabase::SetDatabaseName(const QString& name) { m_name = name; }

void TDatabase::SetAliasName(const QString& alias) {
    Close();
    m_alias = alias;
    m_directory.clear();
}

void TDatabase::SetDirectory(const QString& dir) {
    Close();
    m_directory = NormalizedDirectory(dir);
    m_alias.clear();
}

QString TDatabase::Directory() const {
    if (!m_alias.isEmpty()) return Session().AliasPath(m_alias);
    return m_directory;
}

void TDatabase::Open() {
    if (!d->conns.empty()) return;
    const QString dir = Directory();
    if (const QString problem = DirectoryProblem(dir); !problem.isEmpty())
        throw EDBEngineError(dbeIo, problem);
    d->dir = dir;
    d->NewConnection();
}

void TDatabase::Close() {
    if (d->inTransaction) Rollback();
    d->CloseAll();
}

bool TDatabase::Connected() const { return !d->conns.empty(); }

void TDatabase::StartTransaction() {
    if (d->inTransaction) throw EDBEngineError(dbeTransaction, "A transaction is already active");
    Open();
    if (!d->commitProblem.isEmpty()) throw EDBEngineError(dbeIo, d->commitProblem);
    // A write ends the read snapshot of a scope; it starts again afterwards.
    d->EndRead();
    for (auto& c : d->conns) Exec(c.db, "BEGIN");
    d->inTransaction = true;
    try {
        for (auto& c : d->conns)
            for (auto& a : c.attached) LockForWrite(c.db, a.schema, a.path);
    } catch (...) {
        Rollback();
        throw;
    }
}

void TDatabase::Commit() {
    if (!d->inTransaction) throw EDBEngineError(dbeTransaction, "No transaction is active");
    for (auto& c : d->conns) {
        try {
            Exec(c.db, "COMMIT");
        } catch (const EDBEngineError& e) {
            // Which of the files refused is not told: all of them are named.
            QStringList files;
            for (const auto& a : c.attached) files << QDir::toNativeSeparators(a.path);
            throw EDBEngineError(e.ErrorCode(), QStringLiteral("The changes to %1 cannot be committed: %2")
                                                    .arg(files.join(QStringLiteral(", ")), e.Message()));
        }
    }
    d->inTransaction = false;
    if (d->readScopes > 0) d->BeginRead();
}

void TDatabase::Rollback() {
    if (!d->inTransaction) return;
    d->inTransaction = false;
    for (auto& c : d->conns) {
        sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
        // Whatever cursors read ahead inside the transaction is gone now.
        for (auto& a : c.attached) BumpTableVersion(a.path);
    }
    if (d->readScopes > 0) {
        try {
            d->BeginRead();
        } catch (...) {
        }
    }
}

void TDatabase::BeginReadScope() {
    Open();
    if (d->readScopes++ == 0) d->BeginRead();
}

void TDatabase::EndReadScope() {
    if (d->readScopes == 0) return;
    if (--d->readScopes == 0) d->EndRead();
}

uint64_t TDatabase::StatementGeneration() const { return d->statementGeneration; }

bool TDatabase::InTransaction() const { return d->inTransaction; }

TDatabase::Attachment TDatabase::Attach(const QString& filePath) {
    if (!TableFileExists(filePath))
        throw EDBEngineError(dbeTableNotFound, QString("Table does not exist: %1").arg(filePath));
    Open();
    const QString path = CanonicalTablePath(filePath);
    for (auto& c : d->conns)
        if (Attached* a = d->Find(c, path)) {
            ++a->refs;
            return {c.db, a->schema};
        }
    for (auto& c : d->conns) {
        if (int(c.attached.size()) >= kMaxAttached) d->DetachUnused(c);
        if (int(c.attached.size()) < kMaxAttached) {
            Attached& a = d->AttachInto(c, path);
            ++a.refs;
            return {c.db, a.schema};
        }
    }
    Conn& c = d->NewConnection();
    Attached& a = d->AttachInto(c, path);
    ++a.refs;
    return {c.db, a.schema};
}

void TDatabase::Release(const QString& filePath) {
    const QString path = CanonicalTablePath(filePath);
    for (auto& c : d->conns)
        if (Attached* a = d->Find(c, path)) {
            if (a->refs > 0) --a->refs;
            return;
        }
}

sqlite3* TDatabase::ConnectionFor(const QStringList& tables) {
    Open();
    Conn& c = d->conns.front();
    const QString dir = Directory();
    for (const QString& t : tables) {
        const QString file = FindFileNoCase(dir, t.endsWith(".db", Qt::CaseInsensitive) ? t : t + ".db");
        if (!file.isEmpty()) d->AttachInto(c, CanonicalTablePath(file));
    }
    return c.db;
}

Stmt& TDatabase::Prepared(sqlite3* db, const QString& sql) {
    for (auto& c : d->conns) {
        if (c.db != db) continue;
        auto it = c.statements.find(sql);
        if (it == c.statements.end()) it = c.statements.emplace(sql, std::make_unique<Stmt>(db, sql)).first;
        return *it->second;
    }
    throw EDBEngineError(dbeNotOpen, "Connection is closed");
}

std::shared_ptr<const TableSchema> TDatabase::SchemaOf(const QString& filePath) {
    const QString path = CanonicalTablePath(filePath);
    for (auto& c : d->conns)
        if (Attached* a = d->Find(c, path)) {
            const uint64_t version = SchemaVersion(path);
            if (!a->tableSchema || a->schemaVersion != version) {
                try {
                    a->tableSchema = std::make_shared<TableSchema>(ReadTableSchemaVia(c.db, a->schema, path));
                } catch (const EDBEngineError& e) {
                    throw NamingFile(e, path);
                }
                a->schemaVersion = version;
            }
            return a->tableSchema;
        }
    throw EDBEngineError(dbeNotOpen, QString("Table is not attached: %1").arg(filePath));
}

namespace {

// Tokens of an SQL text: words (quoted identifiers unquoted), and single
// punctuation characters; string literals, numbers and comments drop out.
struct SqlToken {
    QString text;
    bool word = false;
};

std::vector<SqlToken> SqlTokens(const QString& sql) {
    std::vector<SqlToken> tokens;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n') ++i;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == u'\'') {
            for (++i; i < n; ++i)
                if (sql[i] == u'\'') {
                    if (i + 1 < n && sql[i + 1] == u'\'') ++i;
                    else break;
                }
            ++i;
            tokens.push_back({QStringLiteral("'"), false});
        } else if (c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            QString word;
            for (++i; i < n; ++i) {
                if (sql[i] == close) {
                    if (close != u']' && i + 1 < n && sql[i + 1] == close) {
                        word += close;
                        ++i;
                        continue;
                    }
                    break;
                }
                word += sql[i];
            }
            ++i;
            tokens.push_back({word, true});
        } else if (c.isLetter() || c == u'_') {
            const qsizetype start = i;
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == u'_' || sql[i] == u'$')) ++i;
            tokens.push_back({sql.mid(start, i - start), true});
        } else if (c.isDigit()) {
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == u'.')) ++i;
            tokens.push_back({QStringLiteral("0"), false});
        } else {
            tokens.push_back({QString(c), false});
            ++i;
        }
    }
    return tokens;
}

bool IsKeyword(const SqlToken& t, const char* keyword) {
    return t.word && t.text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

}  // namespace

QStringList TablesOfStatement(const QString& sql) {
    static const char* const positions[] = {"FROM", "JOIN", "INTO", "UPDATE", "TABLE"};
    const std::vector<SqlToken> tokens = SqlTokens(sql);
    QStringList tables;
    const auto add = [&tables](const QString& name) {
        if (!tables.contains(name, Qt::CaseInsensitive)) tables << name;
    };
    for (size_t i = 0; i < tokens.size(); ++i) {
        bool position = false;
        for (const char* k : positions) position = position || IsKeyword(tokens[i], k);
        if (!position) continue;
        const bool fromList = IsKeyword(tokens[i], "FROM") || IsKeyword(tokens[i], "JOIN");
        size_t j = i + 1;
        // "OR REPLACE INTO", "UPDATE OR IGNORE" and the like.
        while (j < tokens.size() && (IsKeyword(tokens[j], "OR") || IsKeyword(tokens[j], "IF") ||
                                     IsKeyword(tokens[j], "NOT") || IsKeyword(tokens[j], "EXISTS") ||
                                     IsKeyword(tokens[j], "ROLLBACK") || IsKeyword(tokens[j], "ABORT") ||
                                     IsKeyword(tokens[j], "REPLACE") || IsKeyword(tokens[j], "FAIL") ||
                                     IsKeyword(tokens[j], "IGNORE")))
            ++j;
        while (j < tokens.size() && tokens[j].word) {
            add(tokens[j].text);
            if (!fromList) break;
            // Skip an alias ("konstr8 k", "konstr8 AS k") up to a comma.
            size_t k = j + 1;
            if (k < tokens.size() && IsKeyword(tokens[k], "AS")) ++k;
            if (k < tokens.size() && tokens[k].word && !IsKeyword(tokens[k], "WHERE") &&
                !IsKeyword(tokens[k], "JOIN") && !IsKeyword(tokens[k], "ON") && !IsKeyword(tokens[k], "ORDER") &&
                !IsKeyword(tokens[k], "GROUP") && !IsKeyword(tokens[k], "LIMIT") && !IsKeyword(tokens[k], "LEFT") &&
                !IsKeyword(tokens[k], "INNER") && !IsKeyword(tokens[k], "CROSS") && !IsKeyword(tokens[k], "UNION"))
                ++k;
            if (k < tokens.size() && tokens[k].text == QLatin1String(",")) j = k + 1;
            else break;
        }
    }
    return tables;
}
