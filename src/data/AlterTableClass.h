#pragma once
// Changes the structure of an existing table in place: adds fields, changes
// text sizes and raises the table level, keeping the rows.
#include "platform/FieldDefs.h"

#include <QString>
#include <memory>
#include <stdexcept>
#include <vector>

class EAlterTable : public std::runtime_error {
public:
    explicit EAlterTable(const QString& message);
    QString Message() const { return m_message; }

private:
    QString m_message;
};

enum class TMyFieldState { Unchanged, New, Changed };

class TMyField {
public:
    TMyField(const TFieldDef& def, int fieldNo, TMyFieldState state, int subType = 0);

    QString Name() const { return m_def.name; }
    int Size() const { return m_def.size; }
    void SetSize(int size);  // marks the field changed
    int SubType() const { return m_subType; }
    TFieldType FieldType() const { return m_def.type; }
    TMyFieldState State() const { return m_state; }
    int FieldNo() const { return m_fieldNo; }
    const TFieldDef& Def() const { return m_def; }

private:
    TFieldDef m_def;
    int m_fieldNo;
    TMyFieldState m_state;
    int m_subType;
};

class TAlterTable {
public:
    explicit TAlterTable(const QString& fileName);
    ~TAlterTable();

    QString FileName() const { return m_fileName; }
    int Level() const { return m_level; }
    int FieldCount() const { return int(m_fields.size()); }
    TMyField* FieldExists(const QString& name) const;
    TMyField& Fields(int index) const;
    void AddField(const QString& name, TFieldType type, int subType, int size);
    void Restructure();
    void RestructureLevel(const QString& option, const QString& value);

private:
    void Apply(const TFieldDefs& defs, int level);
    QString m_fileName;
    QString m_tableType;
    int m_level = 0;
    std::vector<std::unique_ptr<TMyField>> m_fields;
};
