#pragma once
// The pipe-diameter list of cold supports, filtered by the cold-support type
// a diameter is available for. The filter is taken off the shared diameter
// table again when the list closes, so later diameter look-ups see every
// row.
#include "forms/HDurdat.h"

class TZORBELGroupBox;
class QButtonGroup;
class QGroupBox;

class TFHelpDurdatCold : public TFHelpDurdat {
    Q_OBJECT
public:
    TFHelpDurdatCold(QWidget* owner, QLineEdit* rdm);
    ~TFHelpDurdatCold() override;

    QGroupBox* RadioGroup1 = nullptr;
    int ItemIndex() const { return m_index; }
    void SetItemIndex(int index);
    // The filter of an item: all rows, or the rows of type 40, 54, 56, 58.
    static QString FilterOf(int index);

private:
    void RadioGroup1Click();
    void FitWidth();
    QButtonGroup* m_buttons = nullptr;
    int m_index = 0;
    QString m_savedFilter;
    bool m_savedFiltered = false;
};
