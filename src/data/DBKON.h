#pragma once
// The catalogue data module: the connection to the catalogue directory of
// the alias KORVA_9_0 and one table component per catalogue table. The
// calculation side reads the tables only through the access units.
#include "platform/Database.h"
#include "platform/Table.h"
#include <QObject>
#include <QString>

class TDBKONST : public QObject {
    Q_OBJECT
public:
    // Builds the components and runs DBKONSTCreate; the instance becomes
    // the program-wide DBKONST while it lives.
    explicit TDBKONST(QObject* parent = nullptr);
    ~TDBKONST() override;

    void DBKONSTCreate();
    // The catalogue directory (alias path with a trailing separator).
    QString Path() const { return m_path; }

    TDatabase BASIS_DB;
    TTable ABHGDB;
    TTable PGSTAT;
    TTable PGDYNA;
    TTable PGRSRL;
    TTable PGCOOL;
    TTable TempDB;
    TTable DURDATDB;
    TTable TXTTAB;
    TTable PGCURE;
    TTable TYPDB;
    TTable RESTDATEN;

private:
    QString m_path;
};

extern TDBKONST* DBKONST;

// The directory of an alias from the session's parameters: the last line
// that begins with "PATH", from its sixth character on, with a trailing
// separator.
QString AliasDirectory(const QString& alias);

// Adds the 30-character field ADR to TXTTAB.DB in the directory when the
// table lacks it; a table that has it is left untouched.
void AddTxttabAdrField(const QString& path);
