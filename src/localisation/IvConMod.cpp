#include "localisation/IvConMod.h"

#include "localisation/IvMulti.h"

#include <QComboBox>
#include <QListWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <type_traits>

namespace {

const QString kCells = QStringLiteral("Cells");
const QString kItems = QStringLiteral("Items");
const QString kCaption = QStringLiteral("Caption");

// A sorted view moves an item as soon as its text changes, so a walk by
// index would skip some items and translate others twice: the sorting is off
// while the texts change and sorts the translated texts when it comes back.
template <class View>
class SortingPaused {
public:
    explicit SortingPaused(View* view) : m_view(view), m_sorting(view->isSortingEnabled()) {
        m_view->setSortingEnabled(false);
    }
    ~SortingPaused() {
        m_view->setSortingEnabled(m_sorting);
        // A list sorts only what is inserted later; the changed texts are
        // put in order here (a list sorts ascending, as list boxes do).
        if constexpr (std::is_same_v<View, QListWidget>)
            if (m_sorting) m_view->sortItems(Qt::AscendingOrder);
    }
    SortingPaused(const SortingPaused&) = delete;
    SortingPaused& operator=(const SortingPaused&) = delete;

private:
    View* m_view;
    bool m_sorting;
};

void TranslateTable(TIvTranslator* t, QTableWidget* grid) {
    const SortingPaused<QTableWidget> paused(grid);
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            if (QTableWidgetItem* item = grid->item(r, c)) item->setText(t->TranslateValue(grid, kCells, item->text()));
}

void TranslateList(TIvTranslator* t, QListWidget* list) {
    const SortingPaused<QListWidget> paused(list);
    for (int i = 0; i < list->count(); ++i) list->item(i)->setText(t->TranslateValue(list, kItems, list->item(i)->text()));
}

void TranslateCombo(TIvTranslator* t, QComboBox* combo) {
    const int index = combo->currentIndex();
    for (int i = 0; i < combo->count(); ++i) combo->setItemText(i, t->TranslateValue(combo, kItems, combo->itemText(i)));
    if (combo->count() > 0) combo->setCurrentIndex(index);
}

void TranslateTreeItem(TIvTranslator* t, QTreeWidget* tree, QTreeWidgetItem* item) {
    for (int c = 0; c < item->columnCount(); ++c) item->setText(c, t->TranslateValue(tree, kItems, item->text(c)));
    for (int i = 0; i < item->childCount(); ++i) TranslateTreeItem(t, tree, item->child(i));
}

void TranslateTree(TIvTranslator* t, QTreeWidget* tree) {
    const SortingPaused<QTreeWidget> paused(tree);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) TranslateTreeItem(t, tree, tree->topLevelItem(i));
}

void TranslateTabs(TIvTranslator* t, QTabWidget* tabs) {
    for (int i = 0; i < tabs->count(); ++i) tabs->setTabText(i, t->TranslateValue(tabs->widget(i), kCaption, tabs->tabText(i)));
}

}  // namespace

bool TIvControlModule::TranslateProperty(TIvTranslator* t, QObject* c) {
    const TIvTargetProperties& targets = t->Targets;
    if (auto* grid = qobject_cast<QTableWidget*>(c); grid && targets.IsTarget(c, kCells)) TranslateTable(t, grid);
    else if (auto* list = qobject_cast<QListWidget*>(c); list && targets.IsTarget(c, kItems)) TranslateList(t, list);
    else if (auto* combo = qobject_cast<QComboBox*>(c); combo && targets.IsTarget(c, kItems)) TranslateCombo(t, combo);
    else if (auto* tree = qobject_cast<QTreeWidget*>(c); tree && targets.IsTarget(c, kItems)) TranslateTree(t, tree);
    else if (auto* tabs = qobject_cast<QTabWidget*>(c); tabs && targets.IsTarget(c, kCaption)) TranslateTabs(t, tabs);
    else return false;
    return true;
}

bool TIvControlModule::MirrorControl(TIvTranslator*, QWidget* control, TIvBidirectionalState&) {
    // A page of a tab widget moves with its tab widget.
    return control->parentWidget() && qobject_cast<QTabWidget*>(control->parentWidget()->parentWidget());
}

bool TIvControlModule::MirrorContents(TIvTranslator* t, QWidget* control) {
    // The status bar lays out its sections by the layout direction.
    if (!qobject_cast<QStatusBar*>(control)) return false;
    control->setLayoutDirection(t->ReadingOrder() == ivroRightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    return true;
}
