#pragma once
// Field and index definitions of a table file, and their mapping to the
// declared column types of the SQLite file that stores the table.
#include <QList>
#include <QString>
#include <QStringList>

enum class TFieldType {
    String,    // A<n>: text of n characters, cut to n on write
    SmallInt,  // S: 16-bit signed
    Integer,   // I: 32-bit signed
    Float,     // N: 8-byte float
    Currency,  // $: 8-byte float shown as money
    Boolean,   // L: 0/1/NULL
    Date,      // D: ISO text yyyy-MM-dd
    Time,      // T: ISO text HH:mm:ss.zzz
    DateTime,  // @: ISO text yyyy-MM-ddTHH:mm:ss.zzz
    AutoInc,   // +: 32-bit, next free number on insert
    Memo,      // M: text of any length
    Bytes,     // B: binary
};

struct TFieldDef {
    QString name;
    TFieldType type = TFieldType::String;
    int size = 0;  // characters for String, 0 otherwise
    bool required = false;
};

struct TIndexDef {
    QString name;        // empty for the primary index
    QStringList fields;  // in key order
    bool primary = false;
    bool unique = false;
    bool caseInsensitive = false;
};

using TFieldDefs = QList<TFieldDef>;
using TIndexDefs = QList<TIndexDef>;

// "A21", "S", "I", "N", "$", "L", "D", "T", "@", "+", "M", "B": the short
// type codes of the table descriptions.
TFieldDef FieldDefFromCode(const QString& name, const QString& code);
QString FieldTypeCode(const TFieldDef& def);

// The declared SQLite type that stores a field ("CHAR(21)", "SMALLINT" ...)
// and back. Unknown declarations raise EDBEngineError(dbeCorrupt).
QString DeclaredType(const TFieldDef& def);
TFieldDef FieldDefFromDeclared(const QString& name, const QString& declared);

bool IsTextType(TFieldType t);
bool IsIntegerType(TFieldType t);
bool IsFloatType(TFieldType t);
