#pragma once
// A table component over one table file: cursor, index order, key mode,
// locate, filter, range, editing and creation.
//
// Cursor rules: Next at the last row (of the table, the filter or the range)
// keeps the row, sets Eof and returns false; Prior at the first row keeps
// the row, sets Bof and returns false. GotoNearest above every key stays on
// the last row. Equal keys follow the order of insertion.
#include "platform/DataSet.h"
#include "platform/FieldDefs.h"
#include <QStringList>
#include <QVariantList>
#include <memory>

class TDatabase;

enum TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };

class TTable : public TDataSet {
    Q_OBJECT
public:
    explicit TTable(QObject* parent = nullptr);
    TTable(const QString& databaseName, const QString& tableName, QObject* parent = nullptr);
    ~TTable() override;

    // The database is a database name registered in the session, an alias
    // or a directory.
    void SetDatabaseName(const QString& name);
    QString DatabaseName() const { return m_databaseName; }
    void SetTableName(const QString& name);
    QString TableName() const { return m_tableName; }
    QString FilePath() const;  // resolved path of the table file
    void SetReadOnly(bool ro) { m_readOnly = ro; }
    bool ReadOnly() const { return m_readOnly; }

    // Index: "" selects the primary index (or the physical order when the
    // table has none). Either a name or a field list may be set.
    void SetIndexName(const QString& name);
    QString IndexName() const { return m_indexName; }
    void SetIndexFieldNames(const QString& fields);  // "A;B"
    QStringList IndexFields() const;

    bool Exists() const;
    void Open() override;
    void Close() override;
    int TableLevel() const;
    TFieldDefs FieldDefs() const;
    TIndexDefs IndexDefs() const;

    void First() override;
    void Last() override;
    bool Next() override;
    bool Prior() override;
    int RecordCount() override;  // rows visible through filter and range

    // Key mode
    void SetKey();
    void EditKey();
    void SetKeyFieldCount(int n) { m_keyFieldCount = n; }  // 0 = as assigned
    bool GotoKey();
    void GotoNearest();
    bool FindKey(const QVariantList& values);
    void FindNearest(const QVariantList& values);

    bool Locate(const QString& fields, const QVariantList& values, int options = 0);

    // Filter: an SQL expression over the table's fields with '?' for bound
    // values. User text never goes into the expression itself.
    void SetFilter(const QString& expression, const QVariantList& params = {});
    QString Filter() const { return m_filter; }
    QVariantList FilterParams() const { return m_filterParams; }
    void SetFiltered(bool on);
    bool Filtered() const { return m_filtered; }

    // Range over the current index fields (a prefix of them).
    void SetRange(const QVariantList& start, const QVariantList& end);
    void CancelRange();

    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    void EmptyTable();

    // Creation and removal of the table file named by database and table.
    void CreateTable(const TFieldDefs& fields, const TIndexDefs& indexes = {});
    void DeleteTable();

    struct Impl;  // opaque: the cursor's state

protected:
    void WriteValue(int index, const QVariant& v) override;

private:
    bool Step(bool forward);
    void MakeCurrent(qlonglong rowid, std::vector<QVariant> values);
    std::vector<QVariant> KeyValues(QStringList* exprs) const;
    bool SeekKey(bool nearest);
    void CheckWritable() const;

    std::unique_ptr<Impl> d;
    QString m_databaseName;
    QString m_tableName;
    QString m_indexName;
    QString m_indexFieldNames;
    QString m_filter;
    QVariantList m_filterParams;
    bool m_filtered = false;
    bool m_readOnly = false;
    int m_keyFieldCount = 0;
};
