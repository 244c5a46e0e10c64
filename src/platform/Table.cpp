#include "platform/Table.h"

#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/Session.h"
#include "platform/Sqlite.h"
#include "platform/TableFile.h"
#include "platform/TableVersion.h"

#include <QFile>
#include <QPointer>
#include <deque>
#include <unordered_map>
#include <functional>
#include <map>

namespace {

constexpr int kBatch = 64;
constexpr int kMaxBatch = 1024;

struct Row {
    qlonglong rowid = 0;
    std::vector<QVariant> values;
};

enum class Dir { Forward, Backward };

}  // namespace

struct TTable::Impl {
    QPointer<TDatabase> db;
    QString path;       // canonical path of the open file
    QString qualified;  // "schema"."table"
    sqlite3* conn = nullptr;
    TableSchema schema;
    QStringList order;         // index fields of the current order
    bool orderNoCase = false;
    bool hasRow = false;
    qlonglong rowid = 0;
    std::vector<Row> ahead;    // rows read ahead in `aheadDir` from the current row
    std::vector<Row> spare;    // buffers of rows that were current, for the next look-up
    size_t aheadNext = 0;      // the next of them to deliver
    bool AheadEmpty() const { return aheadNext >= ahead.size(); }
    void DropAhead() {
        ahead.clear();
        aheadNext = 0;
    }
    Dir aheadDir = Dir::Forward;
    bool aheadComplete = false;  // the last read reached the end
    int batch = kBatch;          // grows while a walk goes on in one direction
    uint64_t version = 0;
    const uint64_t* versionCounter = nullptr;  // of the open file
    QString selectList;
    QStringList rangeStartKeys, rangeEndKeys;
    QVariantList rangeStart, rangeEnd;
    bool ranged = false;
    // Positioning reads repeat a handful of statement shapes with new
    // values, and preparing costs more than the read: the database keeps
    // them prepared for every table of the file.
    Stmt& Prepared(const QString& sql) { return db->Prepared(conn, sql); }
    // A statement of a read shape, kept by pointer: finding it again by its
    // text would hash the whole text (every column) on each read.
    struct CachedRead {
        QString sql;
        Stmt* stmt = nullptr;
        uint64_t generation = 0;
    };
    Stmt& StatementOf(CachedRead& c) {
        const uint64_t generation = db->StatementGeneration();
        if (!c.stmt || c.generation != generation) {
            c.stmt = &db->Prepared(conn, c.sql);
            c.generation = generation;
        }
        return *c.stmt;
    }
    QString insertSql, updateSql;         // built once per open
    QHash<QString, CachedRead> readSql;   // statements by the shape of a read
    // The key look-ups and the walk repeat a few shapes thousands of times
    // in a selection: their statements are found by a small number (the
    // kind of read, its direction and which values are NULL) without
    // building the condition's text. Valid for one order, filter and range.
    struct Shape {
        quint32 kind;      // the read: its operator and direction, the key's width
        quint32 nullMask;  // which values are NULL
        int limit;
        bool filtered;
        bool operator==(const Shape&) const = default;
    };
    struct ShapeHash {
        size_t operator()(const Shape& k) const noexcept { return qHashMulti(0, k.kind, k.nullMask, k.limit, k.filtered); }
    };
    std::unordered_map<Shape, CachedRead, ShapeHash> shapeReads;
    std::vector<int> orderFields;  // field index of each order field, -1 when none
    QHash<QString, QString> locateConditions;
    QHash<QString, std::vector<int>> locateFields;

    QString Col(const QString& f) const {
        return QuoteIdent(f) + (orderNoCase ? " COLLATE NOCASE" : "");
    }
    QString OrderBy(Dir dir) const {
        const char* d = dir == Dir::Forward ? " ASC" : " DESC";
        QStringList parts;
        for (const auto& f : order) parts << Col(f) + d;
        parts << QString("rowid") + d;
        return " ORDER BY " + parts.join(", ");
    }
    uint64_t CurrentVersion() const { return versionCounter ? *versionCounter : TableVersion(path); }
    bool Stale() const { return CurrentVersion() != version; }
    void SetOrder(const QStringList& fields) {
        order = fields;
        orderNoCase = false;
        for (const auto& ix : schema.indexes)
            if (ix.fields == order && ix.caseInsensitive) orderNoCase = true;
        orderFields.clear();
        for (const auto& f : order) {
            int idx = -1;
            for (int i = 0; i < schema.fields.size(); ++i)
                if (schema.fields[i].name.compare(f, Qt::CaseInsensitive) == 0) idx = i;
            orderFields.push_back(idx);
        }
        readSql.clear();
        shapeReads.clear();
        Invalidate();
    }
    void Invalidate() {
        DropAhead();
        batch = kBatch;
        aheadComplete = false;
        version = CurrentVersion();
    }
};

namespace {

// The values TupleCondition binds, in the order of its place holders; a
// read of a shape already prepared binds them without building its text.
void TupleBound(const QString& op, std::vector<QVariant>& bound, const std::vector<QVariant>& values) {
    bool anyNull = false;
    for (const auto& v : values) anyNull = anyNull || !v.isValid() || v.isNull();
    const size_t n = values.size();
    if (op == "=" || (!anyNull && op.startsWith('>'))) {
        bound.insert(bound.end(), values.begin(), values.end());
        return;
    }
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < i; ++j) bound.push_back(values[j]);
        bound.push_back(values[i]);
        bound.push_back(values[i]);
    }
    if (op.endsWith('=')) bound.insert(bound.end(), values.begin(), values.end());
}

// A tuple comparison that is right for NULL keys too (NULL sorts first).
// `op` is ">", ">=", "<", "<=" or "=".
QString TupleCondition(const QStringList& exprs, const QString& op, std::vector<QVariant>& bound,
                       const std::vector<QVariant>& values) {
    TupleBound(op, bound, values);
    bool anyNull = false;
    for (const auto& v : values) anyNull = anyNull || !v.isValid() || v.isNull();
    const int n = int(exprs.size());
    if (op == "=") {
        QStringList parts;
        for (int i = 0; i < n; ++i) parts << exprs[i] + " IS ?";
        return "(" + parts.join(" AND ") + ")";
    }
    if (!anyNull && op.startsWith('>')) {
        // Fast path: SQLite walks the index for a row value comparison.
        return QString("((%1) %2 (%3))").arg(exprs.join(", "), op, QStringList(n, QStringLiteral("?")).join(", "));
    }
    const bool greater = op.startsWith('>');
    QStringList alternatives;
    for (int i = 0; i < n; ++i) {
        QStringList conj;
        for (int j = 0; j < i; ++j) conj << exprs[j] + " IS ?";
        if (greater) {
            conj << QString("((? IS NULL AND %1 IS NOT NULL) OR %1 > ?)").arg(exprs[i]);
        } else {
            conj << QString("((%1 IS NULL AND ? IS NOT NULL) OR %1 < ?)").arg(exprs[i]);
        }
        alternatives << "(" + conj.join(" AND ") + ")";
    }
    if (op.endsWith('=')) {
        QStringList conj;
        for (int j = 0; j < n; ++j) conj << exprs[j] + " IS ?";
        alternatives << "(" + conj.join(" AND ") + ")";
    }
    return "(" + alternatives.join(" OR ") + ")";
}

// Which values of a tuple are NULL, as bits (the shape of its condition).
quint64 NullMask(const std::vector<QVariant>& values) {
    quint64 mask = 0;
    for (size_t i = 0; i < values.size() && i < 32; ++i)
        if (!values[i].isValid() || values[i].isNull()) mask |= quint64(1) << i;
    return mask;
}

}  // namespace

namespace {

struct StatementTexts {
    QString selectList, insertSql, updateSql;
};

// The column lists of a table's statements: a project table has hundreds of
// columns, and a store opens its tables every time.
// Keyed by the file and its attachment; valid while the database holds the
// same schema object (it reads a new one whenever the file's structure may
// have changed).
const StatementTexts& TextsFor(const QString& key, const std::shared_ptr<const TableSchema>& schema) {
    struct Entry {
        std::weak_ptr<const TableSchema> schema;
        StatementTexts texts;
    };
    static QHash<QString, Entry> cache;
    auto it = cache.find(key);
    if (it != cache.end() && it->schema.lock() == schema) return it->texts;
    QStringList cols{"rowid"}, names, marks, sets;
    for (const auto& f : schema->fields) {
        cols << QuoteIdent(f.name);
        names << QuoteIdent(f.name);
        marks << "?";
        sets << QuoteIdent(f.name) + " = ?";
    }
    const QString qualified = key.section(QChar(0x1f), 1);
    StatementTexts t;
    t.selectList = cols.join(", ");
    t.insertSql = QString("INSERT INTO %1 (%2) VALUES (%3)").arg(qualified, names.join(", "), marks.join(", "));
    t.updateSql = QString("UPDATE %1 SET %2 WHERE rowid = ?").arg(qualified, sets.join(", "));
    it = cache.insert(key, {schema, t});
    return it->texts;
}

}  // namespace

TTable::TTable(QObject* parent) : TDataSet(parent), d(new Impl) {}

TTable::TTable(const QString& databaseName, const QString& tableName, QObject* parent)
    : TDataSet(parent), d(new Impl), m_databaseName(databaseName), m_tableName(tableName) {}

TTable::~TTable() {
    try {
        Close();
    } catch (...) {
    }
}

void TTable::SetDatabaseName(const QString& name) {
    if (Active()) throw EDBEngineError(dbeInvalidOperation, "Cannot change the database of an open table");
    m_databaseName = name;
}

void TTable::SetTableName(const QString& name) {
    if (Active()) throw EDBEngineError(dbeInvalidOperation, "Cannot change the name of an open table");
    m_tableName = name;
}

QString TTable::FilePath() const {
    return TablePath(Session().ResolveDirectory(m_databaseName), m_tableName);
}

bool TTable::Exists() const { return TableFileExists(FilePath()); }

void TTable::SetIndexName(const QString& name) {
    m_indexName = name;
    m_indexFieldNames.clear();
    if (Active()) d->SetOrder(IndexFields());
}

void TTable::SetIndexFieldNames(const QString& fields) {
    m_indexFieldNames = fields;
    m_indexName.clear();
    if (Active()) d->SetOrder(IndexFields());
}

QStringList TTable::IndexFields() const {
    if (!m_indexFieldNames.isEmpty()) return m_indexFieldNames.split(';', Qt::SkipEmptyParts);
    for (const auto& ix : d->schema.indexes) {
        if (m_indexName.isEmpty() ? ix.primary : ix.name.compare(m_indexName, Qt::CaseInsensitive) == 0)
            return ix.fields;
    }
    if (!m_indexName.isEmpty())
        throw EDBEngineError(dbeInvalidOperation, QString("Index does not exist: %1").arg(m_indexName));
    return {};
}

void TTable::Open() {
    if (Active()) return;
    const QString path = FilePath();
    if (!TableFileExists(path)) throw EDBEngineError(dbeTableNotFound, QString("Table does not exist: %1").arg(path));
    TDatabase& db = Session().OpenDatabase(m_databaseName);
    const TDatabase::Attachment att = db.Attach(path);
    TableSchema schema;
    std::shared_ptr<const TableSchema> shared;
    try {
        shared = db.SchemaOf(path);
        schema = *shared;
        if (schema.level < CurrentTableLevel)
            throw EDBEngineError(dbeOldTableLevel,
                                 QString("Table has an old table level (%1): %2").arg(schema.level).arg(path));
    } catch (...) {
        db.Release(path);
        throw;
    }
    d->db = &db;
    d->path = CanonicalTablePath(path);
    d->versionCounter = TableVersionCounter(d->path);
    d->conn = att.db;
    d->schema = schema;
    d->qualified = QuoteIdent(att.schema) + "." + QuoteIdent(schema.tableName);
    const StatementTexts& texts = TextsFor(d->path + QChar(0x1f) + d->qualified, shared);
    d->selectList = texts.selectList;
    d->insertSql = texts.insertSql;
    d->updateSql = texts.updateSql;
    d->readSql.clear();
    d->shapeReads.clear();
    d->locateFields.clear();
    d->locateConditions.clear();
    try {
        d->SetOrder(IndexFields());
    } catch (...) {
        db.Release(path);
        throw;
    }
    SetupFields(schema.fields);
    m_state = dsBrowse;
    d->Invalidate();
    First();
    emit AfterOpen();
}

void TTable::Close() {
    if (!Active()) return;
    TDataSet::Close();
    if (d->db) d->db->Release(d->path);
    d->db = nullptr;
    d->conn = nullptr;
    d->hasRow = false;
    d->DropAhead();
    d->spare.clear();
    d->ranged = false;
}

int TTable::TableLevel() const {
    return Active() ? d->schema.level : ReadTableSchema(FilePath()).level;
}

TFieldDefs TTable::FieldDefs() const { return Active() ? d->schema.fields : ReadTableSchema(FilePath()).fields; }

TIndexDefs TTable::IndexDefs() const { return Active() ? d->schema.indexes : ReadTableSchema(FilePath()).indexes; }

// ---- reading ------------------------------------------------------------

namespace {

struct Query {
    QString where;
    std::vector<QVariant> bound;
};

}  // namespace

// The conditions every read shares: filter and range.
static void AddScope(const TTable::Impl& d, bool filtered, const QString& filter,
                     const QVariantList& filterParams, Query& q) {
    if (filtered && !filter.trimmed().isEmpty()) {
        q.where += " AND (" + filter + ")";
        for (const auto& p : filterParams) q.bound.push_back(p);
    }
    if (d.ranged) {
        QStringList exprs;
        for (int i = 0; i < d.rangeStart.size() && i < d.order.size(); ++i) exprs << d.Col(d.order[i]);
        if (!exprs.isEmpty()) {
            std::vector<QVariant> s(d.rangeStart.begin(), d.rangeStart.begin() + exprs.size());
            q.where += " AND " + TupleCondition(exprs, ">=", q.bound, s);
        }
        exprs.clear();
        for (int i = 0; i < d.rangeEnd.size() && i < d.order.size(); ++i) exprs << d.Col(d.order[i]);
        if (!exprs.isEmpty()) {
            std::vector<QVariant> e(d.rangeEnd.begin(), d.rangeEnd.begin() + exprs.size());
            q.where += " AND " + TupleCondition(exprs, "<=", q.bound, e);
        }
    }
}

// `recycle`, when given, holds rows already delivered: their buffers take
// the new rows, a walk allocates no buffer per row.
std::vector<Row> FetchRows(Stmt& st, const std::vector<QVariant>& bound, int columns, int limit = 1,
                           std::vector<Row>* recycle = nullptr) {
    st.Reset();
    st.BindAll(bound);
    std::vector<Row> rows;
    rows.reserve(size_t(std::min(limit, kMaxBatch)));
    try {
        while (st.Step()) {
            Row r;
            if (recycle && !recycle->empty()) {
                r = std::move(recycle->back());
                recycle->pop_back();
                r.values.clear();
            }
            r.rowid = sqlite3_column_int64(st.Handle(), 0);
            r.values.reserve(size_t(columns));
            for (int i = 0; i < columns; ++i) r.values.push_back(st.Column(i + 1));
            rows.push_back(std::move(r));
        }
    } catch (...) {
        st.Reset();
        throw;
    }
    // Never hold a read lock between calls; the next read binds every
    // value again.
    sqlite3_reset(st.Handle());
    return rows;
}

static std::vector<Row> ReadFromUnnamed(TTable::Impl& d, bool filtered, const QString& filter,
                                        const QVariantList& params, const QString& positionCondition,
                                        const std::vector<QVariant>& positionBound, Dir dir, int limit);

// Runs a positioned read: rows after (or before) a position tuple, in order.
// An error names the table file.
static std::vector<Row> ReadFrom(TTable::Impl& d, bool filtered, const QString& filter, const QVariantList& params,
                                 const QString& positionCondition, const std::vector<QVariant>& positionBound,
                                 Dir dir, int limit) {
    try {
        return ReadFromUnnamed(d, filtered, filter, params, positionCondition, positionBound, dir, limit);
    } catch (const EDBEngineError& e) {
        throw NamingFile(e, d.path);
    }
}

static std::vector<Row> ReadFromUnnamed(TTable::Impl& d, bool filtered, const QString& filter,
                                 const QVariantList& params, const QString& positionCondition,
                                 const std::vector<QVariant>& positionBound, Dir dir, int limit) {
    Query q;
    q.bound = positionBound;
    const bool useFilter = filtered && !filter.trimmed().isEmpty();
    // The statement text depends only on the shape of the read, so it is
    // built once per shape (ranges carry their own NULL-dependent shape).
    QString key;
    if (!d.ranged) {
        key.reserve(positionCondition.size() + (useFilter ? filter.size() : 0) + 4);
        key += positionCondition;
        key += QChar(0x1f);
        if (useFilter) key += filter;
        key += QChar(0x1f);
        key += QChar(u'0' + int(dir));
        key += QChar(char16_t(limit & 0xffff));
        key += QChar(char16_t((limit >> 16) + 1));
    }
    auto cached = key.isEmpty() ? d.readSql.end() : d.readSql.find(key);
    if (cached != d.readSql.end()) {
        if (useFilter)
            for (const auto& p : params) q.bound.push_back(p);
        return FetchRows(d.StatementOf(*cached), q.bound, int(d.schema.fields.size()), limit);
    }
    q.where = " WHERE 1";
    if (!positionCondition.isEmpty()) q.where += " AND " + positionCondition;
    AddScope(d, filtered, filter, params, q);
    const QString sql = QString("SELECT %1 FROM %2%3%4 LIMIT %5")
                            .arg(d.selectList, d.qualified, q.where, d.OrderBy(dir))
                            .arg(limit);
    if (!key.isEmpty())
        return FetchRows(d.StatementOf(*d.readSql.insert(key, {sql})), q.bound, int(d.schema.fields.size()), limit);
    return FetchRows(d.Prepared(sql), q.bound, int(d.schema.fields.size()), limit);
}

static std::vector<QVariant> OrderTuple(const TTable::Impl& d, const std::vector<QVariant>& values,
                                        qlonglong rowid) {
    std::vector<QVariant> tuple;
    tuple.reserve(d.orderFields.size() + 1);
    for (const int idx : d.orderFields) tuple.push_back(idx >= 0 ? values[size_t(idx)] : QVariant());
    tuple.push_back(rowid);
    return tuple;
}

// A read of a repeated shape: the tuple condition `op` over `exprs` (built
// only the first time) with `values`. Reads under a range take the general
// road, their statement depends on the range's values.
static std::vector<Row> ReadShape(TTable::Impl& d, quint64 shape, bool filtered, const QString& filter,
                                  const QVariantList& params, const std::function<QStringList()>& exprs,
                                  const QString& op, const std::vector<QVariant>& values, Dir dir, int limit,
                                  std::vector<Row>* recycle = nullptr) {
    const bool useFilter = filtered && !filter.trimmed().isEmpty();
    if (d.ranged) {
        std::vector<QVariant> bound;
        const QString cond = TupleCondition(exprs(), op, bound, values);
        return ReadFrom(d, filtered, filter, params, cond, bound, dir, limit);
    }
    const TTable::Impl::Shape key{quint32(shape), quint32(NullMask(values)), limit, useFilter};
    auto cached = d.shapeReads.find(key);
    std::vector<QVariant> bound;
    bound.reserve(values.size() + size_t(params.size()));
    if (cached == d.shapeReads.end()) {
        const QString cond = TupleCondition(exprs(), op, bound, values);
        Query q;
        q.where = " WHERE " + cond;
        AddScope(d, filtered, filter, params, q);
        const QString sql = QString("SELECT %1 FROM %2%3%4 LIMIT %5")
                                .arg(d.selectList, d.qualified, q.where, d.OrderBy(dir))
                                .arg(limit);
        cached = d.shapeReads.emplace(key, TTable::Impl::CachedRead{sql}).first;
    } else {
        TupleBound(op, bound, values);
    }
    if (useFilter)
        for (const auto& p : params) bound.push_back(p);
    try {
        return FetchRows(d.StatementOf(cached->second), bound, int(d.schema.fields.size()), limit, recycle);
    } catch (const EDBEngineError& e) {
        throw NamingFile(e, d.path);
    }
}

static QStringList OrderExprs(const TTable::Impl& d) {
    QStringList exprs;
    for (const auto& f : d.order) exprs << d.Col(f);
    exprs << "rowid";
    return exprs;
}

void TTable::First() {
    if (!Active()) throw EDBEngineError(dbeNotOpen, "Table is not open");
    if (State() != dsBrowse) Cancel();
    d->Invalidate();
    // One row only: most opens just look at the first row or position
    // elsewhere at once; a walk reads ahead from its first Next on.
    auto rows = ReadFrom(*d, m_filtered, m_filter, m_filterParams, {}, {}, Dir::Forward, 1);
    m_bof = true;
    if (rows.empty()) {
        d->hasRow = false;
        ClearCurrentRow();
        m_eof = true;
        return;
    }
    m_eof = false;
    d->aheadDir = Dir::Forward;
    d->hasRow = true;
    d->rowid = rows.front().rowid;
    SetCurrentRow(std::move(rows.front().values));
    emit AfterScroll();
}

void TTable::Last() {
    if (!Active()) throw EDBEngineError(dbeNotOpen, "Table is not open");
    if (State() != dsBrowse) Cancel();
    d->Invalidate();
    auto rows = ReadFrom(*d, m_filtered, m_filter, m_filterParams, {}, {}, Dir::Backward, 1);
    m_eof = true;
    if (rows.empty()) {
        d->hasRow = false;
        ClearCurrentRow();
        m_bof = true;
        return;
    }
    m_bof = false;
    d->hasRow = true;
    d->rowid = rows.front().rowid;
    SetCurrentRow(std::move(rows.front().values));
    emit AfterScroll();
}

bool TTable::Next() { return Step(true); }

bool TTable::Prior() { return Step(false); }

bool TTable::Step(bool forward) {
    if (!Active()) throw EDBEngineError(dbeNotOpen, "Table is not open");
    if (State() != dsBrowse) Cancel();
    const Dir dir = forward ? Dir::Forward : Dir::Backward;
    if (!d->hasRow) {
        m_eof = m_bof = true;
        return false;
    }
    if (d->Stale() || d->aheadDir != dir) {
        d->Invalidate();
        d->aheadDir = dir;
    }
    if (d->AheadEmpty() && !d->aheadComplete) {
        const Impl& impl = *d;
        // The rows delivered so far lend their buffers to the next ones.
        std::vector<Row> delivered = std::move(d->ahead);
        d->DropAhead();
        auto rows = ReadShape(*d, forward ? 1 : 2, m_filtered, m_filter, m_filterParams,
                              [&impl] { return OrderExprs(impl); }, forward ? ">" : "<",
                              OrderTuple(*d, CurrentRow(), d->rowid), dir, d->batch, &delivered);
        d->aheadComplete = rows.size() < size_t(d->batch);
        d->batch = std::min(d->batch * 2, kMaxBatch);
        d->ahead = std::move(rows);
        d->aheadNext = 0;
    }
    if (d->AheadEmpty()) {
        (forward ? m_eof : m_bof) = true;  // the row stays where it is
        return false;
    }
    Row& r = d->ahead[d->aheadNext++];
    m_eof = m_bof = false;
    d->rowid = r.rowid;
    SwapCurrentRow(r.values);
    emit AfterScroll();
    return true;
}

int TTable::RecordCount() {
    if (!Active()) throw EDBEngineError(dbeNotOpen, "Table is not open");
    Query q;
    q.where = " WHERE 1";
    AddScope(*d, m_filtered, m_filter, m_filterParams, q);
    Stmt st(d->conn, QString("SELECT count(*) FROM %1%2").arg(d->qualified, q.where));
    st.BindAll(q.bound);
    return st.Step() ? st.Column(0).toInt() : 0;
}

// Makes a row found by a positioning read current.
void TTable::MakeCurrent(qlonglong rowid, std::vector<QVariant> values) {
    d->Invalidate();
    d->aheadDir = Dir::Forward;
    d->hasRow = true;
    d->rowid = rowid;
    m_eof = m_bof = false;
    SwapCurrentRow(values);
    // The buffer of the row that was current serves the next look-up.
    if (d->spare.size() < 2) d->spare.push_back(Row{0, std::move(values)});
    emit AfterScroll();
}

// ---- keys ---------------------------------------------------------------

void TTable::SetKey() {
    if (!Active()) throw EDBEngineError(dbeNotOpen, "Table is not open");
    if (State() != dsBrowse) Cancel();
    std::fill(m_key.begin(), m_key.end(), QVariant());
    std::fill(m_keySet.begin(), m_keySet.end(), false);
    m_state = dsSetKey;
}

void TTable::EditKey() {
    if (!Active()) throw EDBEngineError(dbeNotOpen, "Table is not open");
    m_state = dsSetKey;
}

std::vector<QVariant> TTable::KeyValues(QStringList* exprs) const {
    std::vector<QVariant> values;
    int count = m_keyFieldCount;
    if (count <= 0) {
        count = 0;
        for (const int idx : d->orderFields) {
            if (idx < 0 || !m_keySet[size_t(idx)]) break;
            ++count;
        }
        if (count == 0) count = int(d->order.size());
    }
    for (int i = 0; i < count && i < d->order.size(); ++i) {
        const int idx = d->orderFields[size_t(i)];
        if (exprs) *exprs << d->Col(d->order[i]);
        values.push_back(idx >= 0 ? m_key[size_t(idx)] : QVariant());
    }
    return values;
}

bool TTable::SeekKey(bool nearest) {
    if (State() != dsSetKey) throw EDBEngineError(dbeInvalidOperation, "Table is not in key mode");
    if (d->order.isEmpty()) throw EDBEngineError(dbeInvalidOperation, "Table has no index for a key search");
    const std::vector<QVariant> values = KeyValues(nullptr);
    m_state = dsBrowse;
    const auto exprs = [this] {
        QStringList e;
        KeyValues(&e);
        return e;
    };
    auto rows = ReadShape(*d, (nearest ? 3 : 4) | (quint64(values.size()) << 8), m_filtered, m_filter,
                          m_filterParams, exprs, nearest ? ">=" : "=", values, Dir::Forward, 1, &d->spare);
    if (!rows.empty()) {
        MakeCurrent(rows.front().rowid, std::move(rows.front().values));
        return true;
    }
    if (nearest) {
        Last();  // above every key: stay on the last row
        return false;
    }
    return false;
}

bool TTable::GotoKey() { return SeekKey(false); }

void TTable::GotoNearest() { SeekKey(true); }

bool TTable::FindKey(const QVariantList& values) {
    SetKey();
    for (int i = 0; i < values.size() && i < d->order.size(); ++i) FieldByName(d->order[i]).SetValue(values[i]);
    const int saved = m_keyFieldCount;
    m_keyFieldCount = int(values.size());
    bool found = false;
    try {
        found = GotoKey();
    } catch (...) {
        m_keyFieldCount = saved;
        throw;
    }
    m_keyFieldCount = saved;
    return found;
}

void TTable::FindNearest(const QVariantList& values) {
    SetKey();
    for (int i = 0; i < values.size() && i < d->order.size(); ++i) FieldByName(d->order[i]).SetValue(values[i]);
    const int saved = m_keyFieldCount;
    m_keyFieldCount = int(values.size());
    try {
        GotoNearest();
    } catch (...) {
        m_keyFieldCount = saved;
        throw;
    }
    m_keyFieldCount = saved;
}

bool TTable::Locate(const QString& fields, const QVariantList& values, int options) {
    if (!Active()) throw EDBEngineError(dbeNotOpen, "Table is not open");
    if (State() != dsBrowse) Cancel();
    // The fields of a field list, found once per list.
    auto known = d->locateFields.constFind(fields);
    if (known == d->locateFields.cend()) {
        std::vector<int> indexes;
        for (const QString& name : fields.split(';', Qt::SkipEmptyParts))
            indexes.push_back(FieldByName(name.trimmed()).Index());
        known = d->locateFields.insert(fields, indexes);
    }
    const std::vector<int>& fieldIndexes = *known;
    if (qsizetype(fieldIndexes.size()) != values.size())
        throw EDBEngineError(dbeInvalidOperation, "Locate needs one value per field");
    // The condition's text depends on the fields, the options and which
    // values are NULL; it is built once per such shape.
    std::vector<QVariant> bound;
    std::vector<const TField*> fieldList;
    QString shape = fields;
    shape += QChar(0x1f);
    shape += QChar(char16_t(u'0' + options));
    shape += QChar(0x1f);
    for (int i = 0; i < values.size(); ++i) {
        const TField& f = Fields(fieldIndexes[size_t(i)]);
        const QVariant v = TDataSet::Coerce(f.Def(), values[i]);
        const bool null = !v.isValid() || v.isNull();
        shape += null ? 'N' : 'V';
        fieldList.push_back(&f);
        if (null) continue;
        bound.push_back(v);
        if ((options & loPartialKey) && IsTextType(f.DataType())) bound.push_back(v);
    }
    auto cached = d->locateConditions.constFind(shape);
    if (cached == d->locateConditions.cend()) {
        QStringList conds;
        for (size_t i = 0; i < fieldList.size(); ++i) {
            const TField& f = *fieldList[i];
            QString col = QuoteIdent(f.FieldName());
            if (shape.at(shape.size() - int(fieldList.size()) + int(i)) == 'N') {
                conds << col + " IS NULL";
                continue;
            }
            if ((options & loCaseInsensitive) && IsTextType(f.DataType())) col += " COLLATE NOCASE";
            if ((options & loPartialKey) && IsTextType(f.DataType()))
                conds << QString("substr(%1, 1, length(?)) = ?").arg(col);
            else
                conds << col + " = ?";
        }
        cached = d->locateConditions.insert(shape, "(" + conds.join(" AND ") + ")");
    }
    auto rows = ReadFrom(*d, m_filtered, m_filter, m_filterParams, *cached, bound,
                         Dir::Forward, 1);
    if (rows.empty()) return false;
    MakeCurrent(rows.front().rowid, std::move(rows.front().values));
    return true;
}

void TTable::SetFilter(const QString& expression, const QVariantList& params) {
    if (expression != m_filter) d->shapeReads.clear();
    m_filter = expression;
    m_filterParams = params;
    if (Active() && m_filtered) First();
}

void TTable::SetFiltered(bool on) {
    d->shapeReads.clear();
    m_filtered = on;
    if (Active()) First();
}

void TTable::SetRange(const QVariantList& start, const QVariantList& end) {
    if (!Active()) throw EDBEngineError(dbeNotOpen, "Table is not open");
    d->ranged = true;
    d->rangeStart = start;
    d->rangeEnd = end;
    First();
}

void TTable::CancelRange() {
    d->ranged = false;
    if (Active()) First();
}

// ---- writing ------------------------------------------------------------

void TTable::CheckWritable() const {
    if (!Active()) throw EDBEngineError(dbeNotOpen, "Table is not open");
    if (m_readOnly) throw EDBEngineError(dbeInvalidOperation, QString("Table is read only: %1").arg(m_tableName));
}

void TTable::Append() {
    CheckWritable();
    if (State() != dsBrowse) Cancel();
    std::fill(m_edit.begin(), m_edit.end(), QVariant());
    m_state = dsInsert;
}

void TTable::Insert() { Append(); }

void TTable::Edit() {
    CheckWritable();
    if (State() == dsEdit || State() == dsInsert) return;
    if (!d->hasRow) throw EDBEngineError(dbeNoCurrentRecord, "No current record");
    m_edit.assign(CurrentRow().begin(), CurrentRow().begin() + d->schema.fields.size());
    m_state = dsEdit;
}

void TTable::Post() {
    if (State() != dsEdit && State() != dsInsert)
        throw EDBEngineError(dbeNotEditing, "Dataset not in edit or insert mode");
    const auto& fields = d->schema.fields;
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].type != TFieldType::AutoInc || State() != dsInsert) continue;
        if (m_edit[size_t(i)].isValid() && !m_edit[size_t(i)].isNull()) continue;
        Stmt& st = d->Prepared(QString("SELECT ifnull(max(%1), 0) + 1 FROM %2").arg(QuoteIdent(fields[i].name), d->qualified));
        st.Reset();
        if (st.Step()) m_edit[size_t(i)] = st.Column(0);
        st.Reset();
    }
    qlonglong rowid = d->rowid;
    try {
        if (State() == dsInsert) {
            Stmt& st = d->Prepared(d->insertSql);
            st.Reset();
            st.BindAll(m_edit);
            ExecWrite(st);
            rowid = sqlite3_last_insert_rowid(d->conn);
        } else {
            Stmt& st = d->Prepared(d->updateSql);
            st.Reset();
            st.BindAll(m_edit);
            st.Bind(int(fields.size()) + 1, rowid);
            ExecWrite(st);
        }
    } catch (const EDBEngineError& e) {
        throw NamingFile(e, d->path);
    }
    BumpTableVersion(d->path);
    std::vector<QVariant> row = m_edit;
    m_state = dsBrowse;
    d->Invalidate();
    d->hasRow = true;
    d->rowid = rowid;
    m_eof = m_bof = false;
    SetCurrentRow(std::move(row));
    emit AfterPost();
}

void TTable::Cancel() {
    if (State() == dsEdit || State() == dsInsert || State() == dsSetKey) m_state = dsBrowse;
}

void TTable::Delete() {
    CheckWritable();
    if (State() != dsBrowse) Cancel();
    if (!d->hasRow) throw EDBEngineError(dbeNoCurrentRecord, "No current record");
    // The row after the deleted one becomes current (or the one before at the end).
    std::vector<QVariant> bound;
    const std::vector<QVariant> tuple = OrderTuple(*d, CurrentRow(), d->rowid);
    try {
        Stmt& st = d->Prepared(QString("DELETE FROM %1 WHERE rowid = ?").arg(d->qualified));
        st.Reset();
        st.Bind(1, d->rowid);
        ExecWrite(st);
    } catch (const EDBEngineError& e) {
        throw NamingFile(e, d->path);
    }
    BumpTableVersion(d->path);
    d->Invalidate();
    const QString after = TupleCondition(OrderExprs(*d), ">", bound, tuple);
    auto rows = ReadFrom(*d, m_filtered, m_filter, m_filterParams, after, bound, Dir::Forward, 1);
    if (!rows.empty()) {
        MakeCurrent(rows.front().rowid, std::move(rows.front().values));
        return;
    }
    Last();
}

void TTable::EmptyTable() {
    const bool wasActive = Active();
    if (!wasActive) Open();
    CheckWritable();
    try {
        Stmt st(d->conn, QString("DELETE FROM %1").arg(d->qualified));
        ExecWrite(st);
    } catch (const EDBEngineError& e) {
        throw NamingFile(e, d->path);
    }
    BumpTableVersion(d->path);
    First();
    if (!wasActive) Close();
}

void TTable::CreateTable(const TFieldDefs& fields, const TIndexDefs& indexes) {
    if (Active()) Close();
    CreateTableFile(FilePath(), fields, indexes);
}

void TTable::DeleteTable() {
    if (Active()) Close();
    const QString path = FilePath();
    if (!TableFileExists(path)) throw EDBEngineError(dbeTableNotFound, QString("Table does not exist: %1").arg(path));
    TDatabase& db = Session().OpenDatabase(m_databaseName);
    if (db.InTransaction()) throw EDBEngineError(dbeTransaction, "Cannot delete a table inside a transaction");
    db.Close();  // let go of the attached file
    if (!QFile::remove(path)) throw EDBEngineError(dbeIo, QString("Cannot delete table %1").arg(path));
    BumpTableVersion(CanonicalTablePath(path));
}

void TTable::WriteValue(int index, const QVariant& v) {
    if ((State() == dsEdit || State() == dsInsert) && m_readOnly)
        throw EDBEngineError(dbeInvalidOperation, "Table is read only");
    TDataSet::WriteValue(index, v);
}
