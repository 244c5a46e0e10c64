#pragma once
// The blocking-position dialog: shows the constant hanger the selection
// chose, its working range and the optimised blocking position, and lets
// the engineer change the position within the working range.
#include "ui/MultiLang.h"

class QFrame;
class QLabel;
class QPushButton;
class QStatusBar;
class QToolBar;
class TFloatEdit;

class TFKH_INP_MSG : public TTemplateFormMultiLang {
    Q_OBJECT
public:
    explicit TFKH_INP_MSG(QWidget* owner = nullptr);
    ~TFKH_INP_MSG() override;

    QFrame* Panel1 = nullptr;  // the client area
    QLabel* StaticText1 = nullptr;
    QLabel* StaticText2 = nullptr;
    QLabel* StaticText3 = nullptr;
    QLabel* StaticText4 = nullptr;
    TFloatEdit* FloatEdit1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Abbruch = nullptr;
    QPushButton* SPEICHERN = nullptr;
    QToolBar* ToolBar1 = nullptr;  // holds Abbruch and SPEICHERN
    QStatusBar* StatusBar1 = nullptr;  // empty

    // Fills the texts and the edit from the record and the working range.
    void FormActivate();
    // Leaving the edit: false (beep, value back) outside the working range.
    bool FloatEdit1Exit();
    // Saves the position into K_BLOCKIER; the dialog stays open. A value
    // outside the working range is refused with a message.
    bool SPEICHERNClick();
    void AbbruchClick();
    // Prints the form on the default printer (F10); false without one.
    virtual bool PrintForm();
    // True once a position was saved.
    bool Saved() const { return m_saved; }

protected:
    void showEvent(QShowEvent* event) override;
    bool FormKeyDown(QKeyEvent* event) override;

private:
    bool Inch() const;
    // The edit's value as whole mm: cut from inch, rounded from mm.
    int EditMillimetres();
    bool InRange(int mm) const;
    void ShowPosition(int mm);
    // Remembers the millimetres the edit's present text was made from.
    void Shown(int mm);
    QString m_caption1, m_caption2;
    QString m_shownText;
    int m_shownMm = 0;
    bool m_saved = false;
};
