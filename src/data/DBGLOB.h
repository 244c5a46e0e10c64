#pragma once
// The global data module: the settings table FIRDAT, the project tables,
// the global lists of the catalogue directory and a temporary database in a
// private directory of this run.
//
// The private directory is always created fresh for the run (mode 0700,
// inside the temporary folder) and removed with its files when the module
// is destroyed, so no temporary table ever sits under a fixed name in the
// shared temporary folder.
#include "platform/Database.h"
#include "platform/Table.h"
#include <QObject>
#include <QString>

class TDataSet;

class TDBGLOBAL : public QObject {
    Q_OBJECT
public:
    // Builds the components and runs DBGLOBALCreate (which raises the
    // "BDE configuration error" messages); the instance becomes the
    // program-wide DBGLOBAL while it lives. The destructor runs
    // DBGLOBALDestroy.
    explicit TDBGLOBAL(QObject* parent = nullptr);
    ~TDBGLOBAL() override;

    void DBGLOBALCreate();
    void DBGLOBALDestroy();

    // The per-run private directory; empty once it is removed.
    QString TempWorkDir;

    TDatabase KON_DB;
    TDatabase DB_TMP;
    TTable FIRDAT;
    TTable PrjSearchResult;
    TTable KONSTR;
    TTable KONSTZ;
    TTable KONBTL;
    TTable KONETR;
    TTable PRJINF;
    TTable DBLEK8;
    TTable LEK4;
    TTable LEK4A;
    TTable LEK51;
    TTable WST;
    TTable DXF;
    TTable VERSION_DB;
    TTable SAVESORT;
    TTable LEK12;
    TTable LEK14;
    TTable LEK31;

    // The calculated fields of the list tables.
    static void DBLEK8CalcFields(TDataSet& d);
    static void LEK12CalcFields(TDataSet& d);
    static void LEK14CalcFields(TDataSet& d);  // also LEK31

private:
    void SetupComponents();
    void CheckConfiguration(const QString& path);
    void OpenSettingsTable(const QString& path);
    void SetupPrivateDirectory();
    void ConnectDatabases();
    void ReadCompanySettings();
    bool m_destroyed = false;
};

extern TDBGLOBAL* DBGLOBAL;

// Brings FIRDAT.DB in the directory up to date: a 25-character F_KDN_ZNR
// and the seven fields of later releases, each change restructured at once.
void UpgradeFirdatTable(const QString& aliasPath);

// The print-dictionary translation used by the lists' type names. The
// print dictionary lives above this layer: the program sets this to its
// TranslatePrintText at start; until then texts stay untranslated.
extern QString (*PrintTextTranslator)(const QString& text);

// The number of fields of a table file; 0 when it cannot be read.
int TableFieldCount(const QString& path);
