#include "platform/DataSet.h"

#include "platform/DbErrors.h"
#include "platform/Numbers.h"

#include <cmath>

// ---- TField -------------------------------------------------------------

TField::TField(TDataSet* owner, int index, const TFieldDef& def, bool calculated)
    : m_owner(owner), m_index(index), m_def(def), m_calculated(calculated) {}

QVariant TField::Value() const { return m_owner->ReadValue(m_index); }

bool TField::IsNull() const {
    const QVariant v = Value();
    return !v.isValid() || v.isNull();
}

QString TField::AsString() const {
    const QVariant v = Value();
    if (!v.isValid() || v.isNull()) return QString();
    if (m_def.type == TFieldType::Boolean) return v.toBool() ? "True" : "False";
    if (v.typeId() == QMetaType::Double) return FormatNumber(v.toDouble());
    return v.toString();
}

qint32 TField::AsInteger() const {
    const QVariant v = Value();
    if (!v.isValid() || v.isNull()) return 0;
    switch (v.typeId()) {
    case QMetaType::Double:
        return qint32(RoundToInt(v.toDouble()));
    case QMetaType::QString: {
        const QString s = v.toString().trimmed();
        if (s.isEmpty()) return 0;
        bool ok = false;
        const qint32 n = s.toInt(&ok);
        if (!ok) throw EDatabaseError(QString("'%1' is not a valid integer value").arg(s));
        return n;
    }
    default:
        return qint32(v.toLongLong());
    }
}

double TField::AsFloat() const {
    const QVariant v = Value();
    if (!v.isValid() || v.isNull()) return 0.0;
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        const double d = double(ParseNumber(v.toString(), &ok));
        if (!ok && !v.toString().trimmed().isEmpty())
            throw EDatabaseError(QString("'%1' is not a valid floating point value").arg(v.toString()));
        return d;
    }
    return v.toDouble();
}

bool TField::AsBoolean() const {
    const QVariant v = Value();
    if (!v.isValid() || v.isNull()) return false;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toUpper();
        return s == "T" || s == "TRUE" || s == "Y" || s == "YES" || s == "1";
    }
    return v.toLongLong() != 0 || (v.typeId() == QMetaType::Double && v.toDouble() != 0.0);
}

QDate TField::AsDate() const {
    const QVariant v = Value();
    if (!v.isValid() || v.isNull()) return QDate();
    if (v.typeId() == QMetaType::QDate) return v.toDate();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

QDateTime TField::AsDateTime() const {
    const QVariant v = Value();
    if (!v.isValid() || v.isNull()) return QDateTime();
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime();
    return QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
}

void TField::SetValue(const QVariant& v) { m_owner->WriteValue(m_index, TDataSet::Coerce(m_def, v)); }

// ---- TDataSet -----------------------------------------------------------

TDataSet::TDataSet(QObject* parent) : QObject(parent) {}

TDataSet::~TDataSet() = default;

void TDataSet::SetActive(bool active) {
    if (active && !Active()) Open();
    if (!active && Active()) Close();
}

void TDataSet::Close() {
    if (m_state == dsInactive) return;
    emit BeforeClose();
    m_state = dsInactive;
    ClearCurrentRow();
    m_fields.clear();
    m_byName.clear();
    m_byLiteral.clear();
    m_storedCount = 0;
}

TField& TDataSet::Fields(int index) {
    if (index < 0 || index >= FieldCount())
        throw EDBEngineError(dbeFieldNotFound, QString("Field index %1 out of range").arg(index));
    return *m_fields[size_t(index)];
}

TField* TDataSet::FindField(const QString& name) {
    auto it = m_byName.constFind(name);  // names are usually written as stored
    if (it == m_byName.cend()) it = m_byName.constFind(name.toUpper());
    return it == m_byName.cend() ? nullptr : m_fields[size_t(*it)].get();
}

TField* TDataSet::FindField(const char* name) {
    for (const LiteralName& l : m_byLiteral)
        if (l.name == name && qstrcmp(l.text.constData(), name) == 0) return m_fields[size_t(l.index)].get();
    TField* f = FindField(QString::fromLatin1(name));
    // A handful of literals per table; a pointer reused for other text is
    // caught by the text check and simply looked up again.
    if (f && m_byLiteral.size() < 256) m_byLiteral.push_back({name, QByteArray(name), f->Index()});
    return f;
}

TField& TDataSet::FieldByName(const char* name) {
    if (TField* f = FindField(name)) return *f;
    throw EDBEngineError(dbeFieldNotFound, QString("Field '%1' not found").arg(QLatin1String(name)));
}

TField& TDataSet::FieldByName(const QString& name) {
    if (TField* f = FindField(name)) return *f;
    throw EDBEngineError(dbeFieldNotFound, QString("Field '%1' not found").arg(name));
}

QStringList TDataSet::FieldNames() const {
    QStringList out;
    for (const auto& f : m_fields) out << f->FieldName();
    return out;
}

void TDataSet::AddCalcField(const QString& name, TFieldType type, int size) {
    if (Active()) throw EDBEngineError(dbeInvalidOperation, "Calculated fields are declared before Open");
    m_calcDefs.append({name, type, size, false});
}

bool TDataSet::IsEmpty() const { return !m_hasRow; }

QVariant TDataSet::ReadValue(int index) const {
    const bool stored = index < m_storedCount;
    if (stored && (m_state == dsEdit || m_state == dsInsert)) return m_edit[size_t(index)];
    if (stored && m_state == dsSetKey) return m_key[size_t(index)];
    if (!m_hasRow && m_state != dsCalcFields) return QVariant();
    return size_t(index) < m_row.size() ? m_row[size_t(index)] : QVariant();
}

void TDataSet::WriteValue(int index, const QVariant& v) {
    const bool stored = index < m_storedCount;
    if (!stored) {
        if (m_state != dsCalcFields)
            throw EDBEngineError(dbeNotEditing, "Calculated fields are written only while they are calculated");
        m_row[size_t(index)] = v;
        return;
    }
    switch (m_state) {
    case dsEdit:
    case dsInsert:
        m_edit[size_t(index)] = v;
        break;
    case dsSetKey:
        m_key[size_t(index)] = v;
        m_keySet[size_t(index)] = true;
        break;
    default:
        throw EDBEngineError(dbeNotEditing, QString("Dataset not in edit or insert mode (field %1)")
                                                .arg(m_fields[size_t(index)]->FieldName()));
    }
}

void TDataSet::SetupFields(const TFieldDefs& defs) {
    m_fields.clear();
    int i = 0;
    for (const auto& d : defs) m_fields.push_back(std::make_unique<TField>(this, i++, d, false));
    m_storedCount = i;
    for (const auto& d : m_calcDefs) m_fields.push_back(std::make_unique<TField>(this, i++, d, true));
    m_byName.clear();
    m_byLiteral.clear();
    for (const auto& f : m_fields) {
        m_byName.insert(f->FieldName().toUpper(), f->Index());
        m_byName.insert(f->FieldName(), f->Index());
    }
    m_edit.assign(size_t(m_storedCount), QVariant());
    m_key.assign(size_t(m_storedCount), QVariant());
    m_keySet.assign(size_t(m_storedCount), false);
}

void TDataSet::ClearFields() {
    m_fields.clear();
    m_byName.clear();
    m_byLiteral.clear();
    m_storedCount = 0;
}

void TDataSet::SetCurrentRow(std::vector<QVariant> row) { SwapCurrentRow(row); }

void TDataSet::SwapCurrentRow(std::vector<QVariant>& row) {
    row.resize(m_fields.size());
    m_row.swap(row);
    m_hasRow = true;
    if (m_onCalc && m_storedCount < int(m_fields.size())) {
        const TDataSetState saved = m_state;
        m_state = dsCalcFields;
        try {
            m_onCalc(*this);
        } catch (...) {
            m_state = saved;
            throw;
        }
        m_state = saved;
    }
}

void TDataSet::ClearCurrentRow() {
    m_row.clear();
    m_hasRow = false;
}

QVariant TDataSet::Coerce(const TFieldDef& def, const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QVariant();
    switch (def.type) {
    case TFieldType::String: {
        const QString s = v.typeId() == QMetaType::Double ? FormatNumber(v.toDouble()) : v.toString();
        return def.size > 0 ? s.left(def.size) : s;
    }
    case TFieldType::Memo:
        return v.toString();
    case TFieldType::SmallInt:
    case TFieldType::Integer:
    case TFieldType::AutoInc: {
        if (v.typeId() == QMetaType::Double) return QVariant(qlonglong(RoundToInt(v.toDouble())));
        if (v.typeId() == QMetaType::QString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty()) return QVariant();
            bool ok = false;
            const qlonglong n = s.toLongLong(&ok);
            if (!ok) throw EDatabaseError(QString("'%1' is not a valid integer value").arg(s));
            return QVariant(n);
        }
        if (v.typeId() == QMetaType::Bool) return QVariant(qlonglong(v.toBool() ? 1 : 0));
        return QVariant(v.toLongLong());
    }
    case TFieldType::Float:
    case TFieldType::Currency: {
        if (v.typeId() == QMetaType::QString) {
            bool ok = false;
            const double d = double(ParseNumber(v.toString(), &ok));
            if (!ok) throw EDatabaseError(QString("'%1' is not a valid floating point value").arg(v.toString()));
            return QVariant(d);
        }
        return QVariant(v.toDouble());
    }
    case TFieldType::Boolean:
        if (v.typeId() == QMetaType::QString) {
            const QString s = v.toString().trimmed().toUpper();
            return QVariant(qlonglong(s == "T" || s == "TRUE" || s == "1" || s == "Y" ? 1 : 0));
        }
        return QVariant(qlonglong(v.toBool() ? 1 : 0));
    case TFieldType::Date:
        if (v.typeId() == QMetaType::QDate) return v.toDate().toString(Qt::ISODate);
        if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().date().toString(Qt::ISODate);
        return v.toString();
    case TFieldType::Time:
        if (v.typeId() == QMetaType::QTime) return v.toTime().toString("HH:mm:ss.zzz");
        return v.toString();
    case TFieldType::DateTime:
        if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().toString(Qt::ISODateWithMs);
        return v.toString();
    case TFieldType::Bytes:
        return v.toByteArray();
    }
    return v;
}
