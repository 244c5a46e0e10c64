#pragma once
// An SQL statement over the tables of one database (a registered database
// name, an alias or a directory). Table names in the SQL are the base names
// of the table files; the files are found without regard to case.
// Values always go in as bound parameters (":name" or '?').
#include "platform/DataSet.h"
#include <QStringList>
#include <QVariantMap>

struct sqlite3;

class TQuery : public TDataSet {
    Q_OBJECT
public:
    explicit TQuery(QObject* parent = nullptr);
    TQuery(const QString& databaseName, const QString& sql, QObject* parent = nullptr);
    ~TQuery() override;

    void SetDatabaseName(const QString& name) { m_databaseName = name; }
    QString DatabaseName() const { return m_databaseName; }
    void SetSQL(const QString& sql);
    QString SQL() const { return m_sql; }

    void SetParam(const QString& name, const QVariant& value);  // ":name" or "name"
    void SetParams(const QVariantList& positional);              // '?' in order
    void ClearParams();

    // Runs a statement that returns no rows; returns the rows changed.
    int ExecSQL();
    int RowsAffected() const { return m_rowsAffected; }

    // Runs a SELECT and keeps its rows.
    void Open() override;
    void Close() override;
    void First() override;
    void Last() override;
    bool Next() override;
    bool Prior() override;
    int RecordCount() override { return int(m_rows.size()); }

private:
    void Load();
    void LoadFrom(sqlite3* conn);
    QString m_databaseName;
    QString m_sql;
    QVariantMap m_named;
    QVariantList m_positional;
    int m_rowsAffected = 0;
    std::vector<std::vector<QVariant>> m_rows;
    int m_pos = -1;
};
