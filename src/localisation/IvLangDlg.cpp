#include "localisation/IvLangDlg.h"

#include "localisation/IvCommon.h"
#include "localisation/IvDictio.h"
#include "localisation/IvMulti.h"

#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <algorithm>
#include <memory>

namespace {

constexpr int kDataRole = Qt::UserRole;

const char* const kModeCaptions[] = {"Select Language", "Select Sublanguage", "Select Locale"};

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, int top) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(176, top, 75, 25);
    return b;
}

}  // namespace

TIvLanguageDialog::TIvLanguageDialog(QWidget* parent, TIvDictionary* dictionary, int mode, int helpContext,
                                     int options, const QString& caption)
    : QDialog(parent), m_helpContext(helpContext) {
    setObjectName(QStringLiteral("IvLanguageDialog"));
    if (mode < 0 || mode > 0)
        throw EIvMulti(QStringLiteral("The language dialog has no mode %1").arg(mode));
    setWindowTitle(caption.isEmpty() ? QString::fromLatin1(kModeCaptions[mode]) : caption);
    setFixedSize(256, 257);
    TreeView = new QTreeWidget(this);
    TreeView->setObjectName(QStringLiteral("TreeView"));
    TreeView->setGeometry(8, 8, 161, 241);
    TreeView->setHeaderHidden(true);
    TreeView->setColumnCount(1);
    TreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView->setIndentation(19);
    TreeView->setRootIsDecorated(false);  // languages have no children
    OKButton = MakeButton(this, "OKButton", "OK", 8);
    OKButton->setDefault(true);
    CancelButton = MakeButton(this, "CancelButton", "Cancel", 40);
    HelpButton = MakeButton(this, "HelpButton", "&Help", 72);
    setTabOrder(TreeView, OKButton);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // The application's help at the dialog's help context; the dialog stays.
    connect(HelpButton, &QPushButton::clicked, this, [this] {
        if (IvApplicationHelp()) IvApplicationHelp()(this, m_helpContext);
    });
    connect(TreeView, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { TreeViewDblClick(item); });

    Translator = new TIvTranslator(this);
    Translator->setObjectName(QStringLiteral("Translator"));
    Translator->Targets.Add({}, QStringLiteral("Hint"));
    Translator->Targets.Add({}, QStringLiteral("Caption"));
    if (!(options & ivldNativeNames)) Translator->Targets.Add({}, QStringLiteral("Items"));
    Translator->SetDictionaryName(dictionary->DictionaryName);
    Translator->SetRoot(this);

    FillLanguages(dictionary, options);
    Translator->Translate();
    SortAndSelect(dictionary->CurrentIndex());
}

void TIvLanguageDialog::FillLanguages(TIvDictionary* dictionary, int options) {
    const auto languages = dictionary->GetLanguages();
    for (size_t i = 0; i < languages.size(); ++i) {
        const TIvLanguage& l = *languages[i];
        // Neither the native language of a dictionary without one nor a
        // language that lacks texts, which would show the program half in
        // the native wording.
        if (!dictionary->LanguageOffered(int(i), options & ivldAllLanguages)) continue;
        auto* node = new QTreeWidgetItem(TreeView);
        node->setText(0, options & ivldNativeNames ? l.NativeName : l.EnglishName);
        node->setData(0, kDataRole, int(i));
    }
}

void TIvLanguageDialog::SortAndSelect(int current) {
    QList<QTreeWidgetItem*> nodes;
    while (TreeView->topLevelItemCount() > 0) nodes << TreeView->takeTopLevelItem(0);
    std::stable_sort(nodes.begin(), nodes.end(), [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        return QString::localeAwareCompare(a->text(0), b->text(0)) < 0;
    });
    TreeView->addTopLevelItems(nodes);
    for (QTreeWidgetItem* node : nodes)
        if (node->data(0, kDataRole).toInt() == current) TreeView->setCurrentItem(node);
}

bool TIvLanguageDialog::SelectedValue(int& value) const {
    const QList<QTreeWidgetItem*> selected = TreeView->selectedItems();
    if (selected.isEmpty()) return false;
    value = selected.first()->data(0, kDataRole).toInt();
    return true;
}

void TIvLanguageDialog::showEvent(QShowEvent* event) {
    if (m_helpContext == 0) HelpButton->hide();
    QDialog::showEvent(event);
}

void TIvLanguageDialog::TreeViewDblClick(QTreeWidgetItem* item) {
    if (!item || item->childCount() > 0) return;
    TreeView->setCurrentItem(item);
    accept();
}

bool ExecuteLanguageDialog(QWidget* control, TIvDictionary* dictionary, int mode, int& value, int helpContext,
                           int options) {
    if (!dictionary || !dictionary->IsOpen())
        throw EIvMulti(QStringLiteral("Dictionary is not open\n\rYou must open the dictionary before you can change "
                                      "the language"));
    TIvLanguageDialog dialog(control ? control->window() : nullptr, dictionary, mode, helpContext, options);
    if (!(options & ivldKeepPosition)) CenterForm(&dialog, control);
    if (dialog.exec() != QDialog::Accepted) return false;
    return dialog.SelectedValue(value);
}
