#include "data/TableAccess.h"

#include <cstring>

void WriteOpCode(const char* code) {
    PutText(CalcGlobals.TableOpCode, QString::fromLatin1(code));
}

int16_t DispatchOperation(std::span<const TableOperation> ops, const char* opCode, AccessFlags& flags,
                          void (*prepare)()) {
    flags.NotFoundFlag = false;
    for (const TableOperation& op : ops) {
        if (std::memcmp(op.code, opCode, 2) != 0)
            continue;
        if (!op.position)
            return OpNotServed;
        if (prepare)
            prepare();
        op.position();
        return flags.NotFoundFlag ? op.number : int16_t(0);
    }
    return OpNotServed;
}

void UseIndex(TTable& t, const CursorKey& k) {
    if (!k.index)
        return;
    const QString index = QString::fromLatin1(k.index);
    if (k.indexByName) {
        if (t.IndexName() != index)
            t.SetIndexName(index);
    } else if (!t.IndexName().isEmpty() || t.IndexFields().join(QLatin1Char(';')) != index) {
        t.SetIndexFieldNames(index);
    }
}

void GotoNearestKey(TTable& t, const CursorKey& k) {
    t.SetKey();
    t.FieldByName(k.field).SetValue(k.key());
    t.GotoNearest();
}

bool RowBelowKey(TTable& t, const CursorKey& k) {
    if (t.IsEmpty())
        return true;
    const TField& f = t.FieldByName(k.field);
    const double rowKey = k.compare == KeyCompare::Integer ? double(f.AsInteger()) : f.AsFloat();
    return rowKey < k.key();
}

double RowReader::F(const QString& column) const { return m_t.FieldByName(column).AsFloat(); }
int16_t RowReader::S(const QString& column) const { return int16_t(m_t.FieldByName(column).AsInteger()); }
int32_t RowReader::I(const QString& column) const { return m_t.FieldByName(column).AsInteger(); }
bool RowReader::L(const QString& column) const { return m_t.FieldByName(column).AsBoolean(); }
QString RowReader::T(const QString& column) const { return m_t.FieldByName(column).AsString(); }
double RowReader::F(const char* column) const { return m_t.FieldByName(column).AsFloat(); }
int16_t RowReader::S(const char* column) const { return int16_t(m_t.FieldByName(column).AsInteger()); }
int32_t RowReader::I(const char* column) const { return m_t.FieldByName(column).AsInteger(); }
bool RowReader::L(const char* column) const { return m_t.FieldByName(column).AsBoolean(); }
QString RowReader::T(const char* column) const { return m_t.FieldByName(column).AsString(); }

TableStateGuard::TableStateGuard(TTable& t)
    : m_t(t), m_active(t.Active()), m_filtered(t.Filtered()), m_filter(t.Filter()), m_params(t.FilterParams()) {}

TableStateGuard::~TableStateGuard() {
    try {
        if (m_t.State() == dsEdit || m_t.State() == dsInsert)
            m_t.Cancel();
        if (m_t.Filter() != m_filter || m_t.FilterParams() != m_params) {
            m_t.SetFiltered(false);
            m_t.SetFilter(m_filter, m_params);
            m_t.SetFiltered(m_filtered);
        } else if (m_t.Filtered() != m_filtered) {
            m_t.SetFiltered(m_filtered);
        }
        if (m_t.Active() != m_active)
            m_active ? m_t.Open() : m_t.Close();
    } catch (...) {
        // A destructor must not throw; the error that ended the scope is
        // the one the caller needs to see.
    }
}
