#pragma once
// The hanger-type list: pre-selects a constant or spring hanger type for the
// selection. The choice is handed back only when the engineer confirms it
// (OK or a double click); Esc keeps the earlier choice.
#include "forms/PickListForm.h"

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QTableWidget;

// The filter of the hanger table and its load-number column for a
// configuration name: constant hangers (constant) or spring hangers.
struct HangerTypeFilter {
    QString expression;
    QString loadColumn;
};
HangerTypeFilter HangerTypeFilterOf(const QString& name, bool wegKz, bool constant);

class TFTyp : public TPickListForm {
    Q_OBJECT
public:
    explicit TFTyp(QWidget* owner = nullptr);
    ~TFTyp() override;

    QTableWidget* DBGrid1 = nullptr;
    QGroupBox* KH_FH = nullptr;
    QPushButton* BitBtn1 = nullptr;

    // The list of the constant hangers (item 0) or the spring hangers (1).
    int KindIndex() const { return m_kind; }
    void SetKindIndex(int index);
    // Writes the current row into PreselectedLoadNumber,
    // PreselectedProductNumber and K_VGB_KZ, and closes.
    void DBGrid1DblClick();
    void Confirm() override { DBGrid1DblClick(); }

private:
    void KH_FHClick();
    void Fill();
    QButtonGroup* m_buttons = nullptr;
    int m_kind = 0;
    HangerTypeFilter m_filter;
    struct Row {
        QString loadNumber;
        int32_t productNumber = 0;
    };
    std::vector<Row> m_rows;
};
