#include "platform/Query.h"

#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/Session.h"
#include "platform/Sqlite.h"
#include "platform/TableFile.h"
#include "platform/TableVersion.h"

#include <QDir>

TQuery::TQuery(QObject* parent) : TDataSet(parent) {}

TQuery::TQuery(const QString& databaseName, const QString& sql, QObject* parent)
    : TDataSet(parent), m_databaseName(databaseName), m_sql(sql) {}

TQuery::~TQuery() = default;

void TQuery::SetSQL(const QString& sql) {
    if (Active()) Close();
    m_sql = sql;
}

void TQuery::SetParam(const QString& name, const QVariant& value) {
    m_named.insert(name.startsWith(':') ? name : ':' + name, value);
}

void TQuery::SetParams(const QVariantList& positional) { m_positional = positional; }

void TQuery::ClearParams() {
    m_named.clear();
    m_positional.clear();
}

namespace {

void BindParams(Stmt& st, const QVariantMap& named, const QVariantList& positional) {
    int pos = 0;
    for (int i = 1; i <= st.ParameterCount(); ++i) {
        const char* n = sqlite3_bind_parameter_name(st.Handle(), i);
        if (n && n[0] == ':') {
            const QString key = QString::fromUtf8(n);
            auto it = named.constFind(key);
            if (it == named.cend()) throw EDBEngineError(dbeSqlError, QString("Parameter %1 has no value").arg(key));
            st.Bind(i, *it);
        } else {
            if (pos >= positional.size()) throw EDBEngineError(dbeSqlError, "Too few parameter values");
            st.Bind(i, positional[pos++]);
        }
    }
}

// Every table file the statement uses gets a new version: cursors over it
// must read again.
void BumpNamedTables(const QString& dir, const QStringList& tables) {
    for (const QString& t : tables) {
        const QString file = FindFileNoCase(dir, t.endsWith(".db", Qt::CaseInsensitive) ? t : t + ".db");
        if (!file.isEmpty()) BumpTableVersion(CanonicalTablePath(file));
    }
}

}  // namespace

namespace {

// The error with the statement's table files in front, unless it names one.
EDBEngineError NamingTables(const EDBEngineError& e, const QString& dir, const QStringList& tables) {
    QStringList files;
    for (const QString& t : tables) {
        const QString file = TablePath(dir, t);
        if (e.Message().contains(file) || e.Message().contains(QDir::toNativeSeparators(file))) return e;
        files << QDir::toNativeSeparators(file);
    }
    if (files.isEmpty()) return e;
    return EDBEngineError(e.ErrorCode(), QStringLiteral("%1: %2").arg(files.join(QStringLiteral(", ")), e.Message()));
}

}  // namespace

int TQuery::ExecSQL() {
    TDatabase& db = Session().OpenDatabase(m_databaseName);
    const QStringList tables = TablesOfStatement(m_sql);
    try {
        sqlite3* conn = db.ConnectionFor(tables);
        Stmt st(conn, m_sql);
        BindParams(st, m_named, m_positional);
        m_rowsAffected = ExecWrite(st);
    } catch (const EDBEngineError& e) {
        throw NamingTables(e, db.Directory(), tables);
    }
    BumpNamedTables(db.Directory(), tables);
    return m_rowsAffected;
}

void TQuery::Load() {
    TDatabase& db = Session().OpenDatabase(m_databaseName);
    const QStringList tables = TablesOfStatement(m_sql);
    try {
        LoadFrom(db.ConnectionFor(tables));
    } catch (const EDBEngineError& e) {
        throw NamingTables(e, db.Directory(), tables);
    }
}

void TQuery::LoadFrom(sqlite3* conn) {
    Stmt st(conn, m_sql);
    BindParams(st, m_named, m_positional);
    TFieldDefs defs;
    for (int i = 0; i < st.ColumnCount(); ++i) {
        TFieldDef f;
        f.name = st.ColumnName(i);
        const char* decl = sqlite3_column_decltype(st.Handle(), i);
        try {
            f = decl ? FieldDefFromDeclared(f.name, QString::fromUtf8(decl)) : TFieldDef{f.name, TFieldType::Memo, 0, false};
        } catch (const EDBEngineError&) {
            f = {f.name, TFieldType::Memo, 0, false};
        }
        defs << f;
    }
    m_rows.clear();
    while (st.Step()) {
        std::vector<QVariant> row;
        for (int i = 0; i < defs.size(); ++i) row.push_back(st.Column(i));
        m_rows.push_back(std::move(row));
    }
    SetupFields(defs);
}

void TQuery::Open() {
    if (Active()) return;
    Load();
    m_state = dsBrowse;
    First();
    emit AfterOpen();
}

void TQuery::Close() {
    TDataSet::Close();
    m_rows.clear();
    m_pos = -1;
}

void TQuery::First() {
    m_bof = true;
    if (m_rows.empty()) {
        m_eof = true;
        m_pos = -1;
        ClearCurrentRow();
        return;
    }
    m_eof = false;
    m_pos = 0;
    SetCurrentRow(m_rows[0]);
}

void TQuery::Last() {
    m_eof = true;
    if (m_rows.empty()) {
        m_bof = true;
        m_pos = -1;
        ClearCurrentRow();
        return;
    }
    m_bof = false;
    m_pos = int(m_rows.size()) - 1;
    SetCurrentRow(m_rows[size_t(m_pos)]);
}

bool TQuery::Next() {
    if (m_pos < 0 || m_pos + 1 >= int(m_rows.size())) {
        m_eof = true;
        return false;
    }
    ++m_pos;
    m_eof = m_bof = false;
    SetCurrentRow(m_rows[size_t(m_pos)]);
    return true;
}

bool TQuery::Prior() {
    if (m_pos <= 0) {
        m_bof = true;
        return false;
    }
    --m_pos;
    m_eof = m_bof = false;
    SetCurrentRow(m_rows[size_t(m_pos)]);
    return true;
}
