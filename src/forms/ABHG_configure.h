#pragma once
// The main form of configuration mode: per scope (static, dynamic, cold)
// the engineer chooses which support configurations of ABHGNR.DB the host
// may offer and in which order. The choice is kept in A_ORDERNO: the
// position among the available ones (1, 2, ...), -1 for an unavailable one;
// rows of -9999 or less are reserved and never listed nor written.
#include "platform/Table.h"
#include "ui/ZorbelFormTemplate.h"

#include <QStringList>
#include <QTimer>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class TZorbelGrid;

class TFABHG_configure : public TZorbelForm {
    Q_OBJECT
public:
    // On the configuration table of the catalogue data module.
    explicit TFABHG_configure(QWidget* parent = nullptr);
    // On the configuration table of a database name, alias or directory.
    TFABHG_configure(const QString& databaseName, const QString& tableName, QWidget* parent = nullptr);
    ~TFABHG_configure() override;

    QGroupBox* RGscope = nullptr;
    TZorbelGrid* LBused = nullptr;
    TZorbelGrid* LBunused = nullptr;
    QPushButton* BToRightAll = nullptr;
    QPushButton* BToRight = nullptr;
    QPushButton* BToLeft = nullptr;
    QPushButton* BToLeftAll = nullptr;
    QPushButton* Bup = nullptr;
    QPushButton* Bdown = nullptr;
    QPushButton* BnormalOrder = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* DBImage1 = nullptr;
    QLabel* DBImage_Unused = nullptr;
    TTable Tab_Abhgnr;
    TTable Tab_Abhgnr_Used;
    TTable Tab_Abhgnr_Unused;
    QTimer Timer1;

    // The scope choice: 0 static, 1 dynamic, 2 cold. Setting another item
    // runs RGscopeClick, as a click does.
    int ScopeIndex() const;
    void SetScopeIndex(int index);

    bool Modified() const { return FModified; }
    int ScopeBase() const { return FScopeBase; }
    const QStringList& MdsNames() const { return FMdsNames; }
    bool ScopeChanging() const { return FScopeChanging; }

    // The handlers, public so that the program and tests can run them as a
    // click would.
    void RGscopeClick();
    void BToRightAllClick();
    void BToLeftAllClick();
    void BToRightClick();
    void BToLeftClick();
    void BupClick();
    void BdownClick();
    void BnormalOrderClick();
    void LBusedClick();
    void LBunusedClick();
    void Timer1Timer();
    static int LBusedGetColType(int col);

    // Whether the form may close: the order is saved first; a failed save
    // offers to close without saving.
    bool FormCloseQuery();

    void reject() override;

protected:
    void FormCreate() override;

private:
    void Build();
    void Connect();
    bool SaveConfigurationOrder();
    bool CheckMdsNumbers();
    void StoreOrder();
    void LoadScope();
    void MovedRows();
    void ShowPicture(TZorbelGrid* grid, TTable& table, QLabel* image);
    QString ScopeFilter() const;

    bool FModified = false;
    int FScopeBase = 0;
    QStringList FMdsNames;
    bool FScopeChanging = false;
    bool m_saveFailed = false;
    int m_scopeIndex = -1;
    QButtonGroup* m_scopeButtons = nullptr;
    QString m_databaseName;
};

// Configuration mode after its start checks: creates the main form and its
// companions (project search, abort and read-in forms, waiting form), runs
// until the main form closes and returns the exit code 0.
int RunConfigurationForms();
