#include "platform/Database.h"

#include "platform/DbErrors.h"
#include "platform/Session.h"
#include "platform/Sqlite.h"
#include "platform/TableFile.h"
#include "platform/TableVersion.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
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
}  // namespace

struct TDatabase::Impl {
    std::vector<Conn> conns;
    bool inTransaction = false;
    int nextSchema = 0;

    ~Impl() { CloseAll(); }

    void CloseAll() {
        for (auto& c : conns) {
            c.statements.clear();
            sqlite3_close_v2(c.db);
        }
        conns.clear();
    }

    void DropStatementsOf(Conn& c, const QString& schema) {
        const QString mark = QuoteIdent(schema) + ".";
        for (auto it = c.statements.begin(); it != c.statements.end();)
            it = it->first.contains(mark) ? c.statements.erase(it) : std::next(it);
    }

    Conn& NewConnection() {
        Conn c;
        c.db = OpenConnection(":memory:", true);
        conns.push_back(std::move(c));
        if (inTransaction) Exec(conns.back().db, "BEGIN");
        return conns.back();
    }

    Attached* Find(Conn& c, const QString& path) {
        for (auto& a : c.attached)
            if (a.path == path) return &a;
        return nullptr;
    }

    // Drops attachments that no open table uses (never inside a transaction,
    // which must keep every file it touched).
    void DetachUnused(Conn& c) {
        if (inTransaction) return;
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
        st.Step();
        c.attached.push_back({path, schema, 0});
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
    const QString dir = Directory();
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        throw EDBEngineError(dbeIo, QString("Directory does not exist: %1").arg(dir));
    if (d->conns.empty()) d->NewConnection();
}

void TDatabase::Close() {
    if (d->inTransaction) Rollback();
    d->CloseAll();
}

bool TDatabase::Connected() const { return !d->conns.empty(); }

void TDatabase::StartTransaction() {
    if (d->inTransaction) throw EDBEngineError(dbeTransaction, "A transaction is already active");
    Open();
    for (auto& c : d->conns) Exec(c.db, "BEGIN");
    d->inTransaction = true;
}

void TDatabase::Commit() {
    if (!d->inTransaction) throw EDBEngineError(dbeTransaction, "No transaction is active");
    for (auto& c : d->conns) Exec(c.db, "COMMIT");
    d->inTransaction = false;
}

void TDatabase::Rollback() {
    if (!d->inTransaction) return;
    d->inTransaction = false;
    for (auto& c : d->conns) {
        sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
        // Whatever cursors read ahead inside the transaction is gone now.
        for (auto& a : c.attached) BumpTableVersion(a.path);
    }
}

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

sqlite3* TDatabase::ConnectionFor(const QString& sql) {
    Open();
    Conn& c = d->conns.front();
    static const QRegularExpression word("[A-Za-z_][A-Za-z0-9_$]*");
    const QString dir = Directory();
    QStringList seen;
    auto it = word.globalMatch(sql);
    while (it.hasNext()) {
        const QString w = it.next().captured(0);
        if (seen.contains(w, Qt::CaseInsensitive)) continue;
        seen << w;
        const QString file = FindFileNoCase(dir, w + ".db");
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
                a->tableSchema = std::make_shared<TableSchema>(ReadTableSchemaVia(c.db, a->schema, path));
                a->schemaVersion = version;
            }
            return a->tableSchema;
        }
    throw EDBEngineError(dbeNotOpen, QString("Table is not attached: %1").arg(filePath));
}
