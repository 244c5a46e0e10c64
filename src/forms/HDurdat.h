#pragma once
// The pipe-diameter list of static and dynamic supports: the diameters of
// the catalogue in mm and inch. The chosen diameter goes into the input
// form's diameter field only when the engineer confirms it (OK or a double
// click); Esc closes the list and leaves the field as it was.
#include "forms/PickListForm.h"

class QLineEdit;
class QPushButton;
class QTableWidget;
class TTable;

class TFHelpDurdat : public TPickListForm {
    Q_OBJECT
public:
    // rdm: the input form's diameter field, written on confirmation.
    TFHelpDurdat(QWidget* owner, QLineEdit* rdm);

    QTableWidget* SG = nullptr;
    QPushButton* BitBtn1 = nullptr;

    // Fills the list from the diameter table as it is filtered.
    void SGFILL();
    // The text the chosen row hands back: the inch column in imperial
    // units, else the mm column; empty without a chosen row.
    QString ChosenText() const;
    // Writes the chosen row into the diameter field and closes.
    void BitBtn1Click();
    void Confirm() override { BitBtn1Click(); }

protected:
    // Builds the widgets; the cold list adds its filter choice.
    TFHelpDurdat(QWidget* owner, QLineEdit* rdm, int fixedWidth);
    void showEvent(QShowEvent* event) override;
    TTable& Table() const;

private:
    void Build(int fixedWidth);
    QLineEdit* m_rdm;
};
