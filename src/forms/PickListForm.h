#pragma once
// The small list dialogs of the input form (pipe diameters, hanger types):
// one list, an OK button, and the same keys. A double click in the list or
// OK confirms the current row (Confirm); Esc closes without handing
// anything back; F10 prints the dialog. The dialogs differ only in what
// the list shows and what a confirmed row hands back.
#include "ui/MultiLang.h"

class QPushButton;
class QTableWidget;

class TPickListForm : public TTemplateFormMultiLang {
    Q_OBJECT
public:
    // The list with the given column captions and the OK button; the
    // derived dialog places them in its layout.
    TPickListForm(QWidget* owner, const QStringList& columns);

    // Hands back the current row and closes; a dialog without a row to
    // hand back closes as by Esc.
    virtual void Confirm() = 0;
    virtual bool PrintForm();

protected:
    bool FormKeyDown(QKeyEvent* event) override;
    QTableWidget* List() const { return m_list; }
    QPushButton* OkButton() const { return m_ok; }

private:
    QTableWidget* m_list;
    QPushButton* m_ok;
};
