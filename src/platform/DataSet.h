#pragma once
// The common part of tables and queries: the field list, the current row and
// its buffers, the state machine, and calculated fields.
#include "platform/FieldDefs.h"
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields };

class TDataSet;

// A field of the current row. Reads give 0, empty text or false for NULL.
// Writes go to the edit buffer (Edit/Insert/Append), to the key buffer
// (SetKey) or to a calculated field (inside the calc handler).
class TField {
public:
    TField(TDataSet* owner, int index, const TFieldDef& def, bool calculated);

    QString FieldName() const { return m_def.name; }
    TFieldType DataType() const { return m_def.type; }
    int Size() const { return m_def.size; }
    int FieldNo() const { return m_index + 1; }
    int Index() const { return m_index; }
    bool Calculated() const { return m_calculated; }
    const TFieldDef& Def() const { return m_def; }

    QVariant Value() const;
    bool IsNull() const;
    QString AsString() const;
    qint32 AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    QDate AsDate() const;
    QDateTime AsDateTime() const;

    void SetValue(const QVariant& v);
    void SetAsString(const QString& v) { SetValue(v); }
    void SetAsInteger(qint32 v) { SetValue(v); }
    void SetAsFloat(double v) { SetValue(v); }
    void SetAsBoolean(bool v) { SetValue(v); }
    void SetAsDate(const QDate& v) { SetValue(v); }
    void SetAsDateTime(const QDateTime& v) { SetValue(v); }
    void Clear() { SetValue(QVariant()); }

private:
    TDataSet* m_owner;
    int m_index;
    TFieldDef m_def;
    bool m_calculated;
};

class TDataSet : public QObject {
    Q_OBJECT
public:
    explicit TDataSet(QObject* parent = nullptr);
    ~TDataSet() override;

    TDataSetState State() const { return m_state; }
    bool Active() const { return m_state != dsInactive; }
    void SetActive(bool active);
    virtual void Open() = 0;
    virtual void Close();

    int FieldCount() const { return int(m_fields.size()); }
    TField& Fields(int index);
    TField* FindField(const QString& name);  // without regard to case
    TField& FieldByName(const QString& name);  // raises dbeFieldNotFound
    // The same for a name in Latin-1 (a literal): found again without
    // building a QString, the hot path of every record copy.
    TField* FindField(const char* name);
    TField& FieldByName(const char* name);
    QStringList FieldNames() const;

    // Calculated fields are declared before Open; the handler runs for every
    // row that becomes current, in state dsCalcFields.
    void AddCalcField(const QString& name, TFieldType type, int size = 0);
    void SetOnCalcFields(std::function<void(TDataSet&)> handler) { m_onCalc = std::move(handler); }

    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    bool IsEmpty() const;

    virtual void First() = 0;
    virtual void Last() = 0;
    virtual bool Next() = 0;   // false (and Eof) at the end: the row stays
    virtual bool Prior() = 0;  // false (and Bof) at the start: the row stays
    virtual int RecordCount() = 0;

signals:
    void AfterOpen();
    void BeforeClose();
    void AfterPost();
    void AfterScroll();

protected:
    friend class TField;
    virtual QVariant ReadValue(int index) const;
    virtual void WriteValue(int index, const QVariant& v);

    void SetupFields(const TFieldDefs& defs);
    void ClearFields();
    void SetCurrentRow(std::vector<QVariant> row);  // runs the calc handler
    // The same, taking the values by swapping: `row` gets the buffer of the
    // row that was current, for its owner to fill again.
    void SwapCurrentRow(std::vector<QVariant>& row);
    void ClearCurrentRow();
    bool HasCurrentRow() const { return m_hasRow; }
    const std::vector<QVariant>& CurrentRow() const { return m_row; }
    static QVariant Coerce(const TFieldDef& def, const QVariant& v);

    TDataSetState m_state = dsInactive;
    bool m_eof = true;
    bool m_bof = true;
    std::vector<QVariant> m_edit;  // edit/insert buffer (stored fields)
    std::vector<QVariant> m_key;   // key buffer (stored fields)
    std::vector<bool> m_keySet;

private:
    std::vector<std::unique_ptr<TField>> m_fields;  // stored, then calculated
    QHash<QString, int> m_byName;                    // upper-case name -> index
    struct LiteralName {
        const char* name;  // the caller's pointer, checked by its text
        QByteArray text;
        int index;
    };
    std::vector<LiteralName> m_byLiteral;
    TFieldDefs m_calcDefs;
    int m_storedCount = 0;
    std::vector<QVariant> m_row;    // stored + calculated values
    bool m_hasRow = false;
    std::function<void(TDataSet&)> m_onCalc;
};
