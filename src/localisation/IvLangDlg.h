#pragma once
// The language dialog: the languages of an open dictionary in a tree, one
// of which the user picks.
#include <QDialog>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TIvDictionary;
class TIvTranslator;

// Option bits of the dialog.
constexpr int ivldAllLanguages = 1 << 0;  // also languages the dictionary's check level refuses
constexpr int ivldNativeNames = 1 << 1;   // native names, not translated
constexpr int ivldKeepPosition = 1 << 2;  // not centred over the control

class TIvLanguageDialog : public QDialog {
    Q_OBJECT
public:
    // Mode 0 lists the languages; the other modes are not used by the
    // program and raise EIvMulti.
    TIvLanguageDialog(QWidget* parent, TIvDictionary* dictionary, int mode, int helpContext, int options,
                      const QString& caption = {});

    QTreeWidget* TreeView = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* HelpButton = nullptr;
    TIvTranslator* Translator = nullptr;

    int HelpContext() const { return m_helpContext; }
    // The language index of the selected node; false when none is selected.
    bool SelectedValue(int& value) const;

protected:
    void showEvent(QShowEvent* event) override;  // the form's activation

private:
    void TreeViewDblClick(QTreeWidgetItem* item);
    void FillLanguages(TIvDictionary* dictionary, int options);
    void SortAndSelect(int current);
    int m_helpContext = 0;
};

// Shows the dialog modally over control (the screen when null). On Ok with
// a selected node, value becomes its language index and the result is true;
// otherwise value stays as it was. A dictionary that is not open raises
// EIvMulti.
bool ExecuteLanguageDialog(QWidget* control, TIvDictionary* dictionary, int mode, int& value, int helpContext = 0,
                           int options = 0);
