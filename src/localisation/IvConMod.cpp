#include "localisation/IvConMod.h"

#include "localisation/IvMulti.h"

#include <QComboBox>
#include <QListWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>

namespace {

const QString kCells = QStringLiteral("Cells");
const QString kItems = QStringLiteral("Items");
const QString kCaption = QStringLiteral("Caption");

void TranslateTable(TIvTranslator* t, QTableWidget* grid) {
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            if (QTableWidgetItem* item = grid->item(r, c)) item->setText(t->TranslateValue(grid, kCells, item->text()));
}

void TranslateList(TIvTranslator* t, QListWidget* list) {
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
    const bool sorting = tree->isSortingEnabled();
    tree->setSortingEnabled(false);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) TranslateTreeItem(t, tree, tree->topLevelItem(i));
    tree->setSortingEnabled(sorting);
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
