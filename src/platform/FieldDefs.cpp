#include "platform/FieldDefs.h"

#include "platform/DbErrors.h"

#include <QRegularExpression>

namespace {

struct TypeRow {
    TFieldType type;
    const char* code;      // short code of the table descriptions
    const char* declared;  // declared SQLite column type
};

// One row per field type; String carries its width in both forms.
const TypeRow kTypes[] = {
    {TFieldType::String, "A", "CHAR"},      {TFieldType::SmallInt, "S", "SMALLINT"},
    {TFieldType::Integer, "I", "INTEGER"},  {TFieldType::Float, "N", "FLOAT"},
    {TFieldType::Currency, "$", "MONEY"},   {TFieldType::Boolean, "L", "BOOLEAN"},
    {TFieldType::Date, "D", "DATE"},        {TFieldType::Time, "T", "TIME"},
    {TFieldType::DateTime, "@", "TIMESTAMP"}, {TFieldType::AutoInc, "+", "AUTOINC"},
    {TFieldType::Memo, "M", "MEMO"},        {TFieldType::Bytes, "B", "BLOB"},
};

const TypeRow& RowOf(TFieldType t) {
    for (const auto& r : kTypes)
        if (r.type == t) return r;
    return kTypes[0];
}

}  // namespace

TFieldDef FieldDefFromCode(const QString& name, const QString& code) {
    const QString c = code.trimmed().toUpper();
    if (c.startsWith('A')) {
        bool ok = false;
        int n = c.mid(1).toInt(&ok);
        if (!ok || n < 1) throw EDBEngineError(dbeInvalidOperation, QString("Invalid field type \"%1\" of field %2").arg(code, name));
        return {name, TFieldType::String, n, false};
    }
    for (const auto& r : kTypes)
        if (c == QLatin1String(r.code)) return {name, r.type, 0, false};
    throw EDBEngineError(dbeInvalidOperation, QString("Invalid field type \"%1\" of field %2").arg(code, name));
}

QString FieldTypeCode(const TFieldDef& def) {
    const QString code = QLatin1String(RowOf(def.type).code);
    return def.type == TFieldType::String ? code + QString::number(def.size) : code;
}

QString DeclaredType(const TFieldDef& def) {
    const QString decl = QLatin1String(RowOf(def.type).declared);
    return def.type == TFieldType::String ? QString("%1(%2)").arg(decl).arg(def.size) : decl;
}

TFieldDef FieldDefFromDeclared(const QString& name, const QString& declared) {
    static const QRegularExpression charRe("^CHAR\\((\\d+)\\)$");
    const QString d = declared.trimmed().toUpper();
    auto m = charRe.match(d);
    if (m.hasMatch()) return {name, TFieldType::String, m.captured(1).toInt(), false};
    for (const auto& r : kTypes)
        if (d == QLatin1String(r.declared) && r.type != TFieldType::String) return {name, r.type, 0, false};
    throw EDBEngineError(dbeCorrupt, QString("Unknown field type \"%1\" of field %2").arg(declared, name));
}

bool IsTextType(TFieldType t) {
    return t == TFieldType::String || t == TFieldType::Memo || t == TFieldType::Date ||
           t == TFieldType::Time || t == TFieldType::DateTime;
}

bool IsIntegerType(TFieldType t) {
    return t == TFieldType::SmallInt || t == TFieldType::Integer || t == TFieldType::AutoInc;
}

bool IsFloatType(TFieldType t) { return t == TFieldType::Float || t == TFieldType::Currency; }
