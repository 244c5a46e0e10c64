// The sortable grid: sorting by column type and direction, the sort marker,
// the row operations and their delete rules, moves between grids, the drag
// start rule, and the view's title click with a bad cell.
#include "messages/MessageSeam.h"
#include "ui/ZorbelGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

// A grid from rows of cells ("|" separates cells); title row "A","B".
TZorbelGridRows Grid(const QStringList& rows, int cols = 2) {
    TZorbelGridRows g(cols);
    for (int c = 0; c < cols; ++c) g.SetCell(c, 0, QString(QChar(u'A' + c)));
    for (const QString& r : rows) g.AddRow(r.split(u'|'));
    return g;
}

// The data rows as "cell|cell".
QStringList Data(const TZorbelGridRows& g) {
    QStringList out;
    for (int r = 1; r < g.RowCount(); ++r) out << g.Row(r).join(u'|');
    return out;
}

QStringList Column(const TZorbelGridRows& g, int col) {
    QStringList out;
    for (int r = 1; r < g.RowCount(); ++r) out << g.Cell(col, r);
    return out;
}

}  // namespace

class TstZorbelGrid : public QObject {
    Q_OBJECT
private slots:
    void sortsByColumnType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("expected");
        const QStringList numbers{"10", "2", "33", "-1", "2"};
        QTest::newRow("integer ascending") << int(zctInteger) << 1 << numbers
                                           << QStringList{"-1", "2", "2", "10", "33"};
        QTest::newRow("integer descending") << int(zctInteger) << 2 << numbers
                                            << QStringList{"33", "10", "2", "2", "-1"};
        QTest::newRow("text ascending") << int(zctText) << 1 << numbers << QStringList{"-1", "10", "2", "2", "33"};
        QTest::newRow("text is case-sensitive") << int(zctText) << 1 << QStringList{"b", "B", "a", "A"}
                                                << QStringList{"A", "B", "a", "b"};
        QTest::newRow("float") << int(zctFloat) << 1 << QStringList{"1.5", "1.25", "10", " 2"}
                               << QStringList{"1.25", "1.5", " 2", "10"};
        QTest::newRow("float descending") << int(zctFloat) << 2 << QStringList{"0.1", "-0.5", "0.05"}
                                          << QStringList{"0.1", "0.05", "-0.5"};
        QTest::newRow("three clicks ascending again") << int(zctInteger) << 3 << QStringList{"3", "1", "2"}
                                                      << QStringList{"1", "2", "3"};
    }
    void sortsByColumnType() {
        QFETCH(int, type);
        QFETCH(int, clicks);
        QFETCH(QStringList, cells);
        QFETCH(QStringList, expected);
        QStringList rows;
        for (int i = 0; i < cells.size(); ++i) rows << QStringLiteral("r%1|%2").arg(i).arg(cells[i]);
        TZorbelGridRows g = Grid(rows);
        g.OnGetColType = [type](int col) { return col == 1 ? type : int(zctText); };
        for (int i = 0; i < clicks; ++i) g.TitleClick(1);
        QCOMPARE(Column(g, 1), expected);
        QCOMPARE(g.Ascending(), clicks % 2 == 1);
        // Whole rows move: each row's first cell still belongs to its value.
        for (int r = 1; r < g.RowCount(); ++r) QCOMPARE(cells.at(g.Cell(0, r).mid(1).toInt()), g.Cell(1, r));
    }

    void anotherColumnSortsAscendingAndMovesTheMarker() {
        TZorbelGridRows g = Grid({"b|1", "a|3", "c|2"});
        g.ShowSortMarker = true;
        g.TitleClick(1);
        g.TitleClick(1);
        QCOMPARE(Column(g, 1), (QStringList{"3", "2", "1"}));
        QCOMPARE(g.Cell(1, 0), QStringLiteral("B (*)"));
        g.TitleClick(0);
        QVERIFY(g.Ascending());
        QCOMPARE(g.SortColumn(), 0);
        QCOMPARE(Column(g, 0), (QStringList{"a", "b", "c"}));
        QCOMPARE(g.Cell(0, 0), QStringLiteral("A (*)"));
        QCOMPARE(g.Cell(1, 0), QStringLiteral("B"));
    }

    void noMarkerWithoutShowSortMarker() {
        TZorbelGridRows g = Grid({"b|1", "a|3"});
        g.TitleClick(0);
        g.TitleClick(1);
        QCOMPARE(g.Cell(0, 0), QStringLiteral("A"));
        QCOMPARE(g.Cell(1, 0), QStringLiteral("B"));
    }

    void unknownTypeKeepsTheLastComparator() {
        TZorbelGridRows g = Grid({"x|10", "y|9"});
        int type = zctInteger;
        g.OnGetColType = [&type](int) { return type; };
        g.TitleClick(1);
        QCOMPARE(Column(g, 1), (QStringList{"9", "10"}));
        type = 7;
        // Column 0 holds letters: text order would sort them, the kept
        // integer comparison refuses them.
        QVERIFY_THROWS_EXCEPTION(EConvertError, g.TitleClick(0));
    }

    void badNumberChangesNothing_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("bad");
        QTest::newRow("integer") << int(zctInteger) << "12a";
        QTest::newRow("integer with a point") << int(zctInteger) << "1.5";
        QTest::newRow("empty cell") << int(zctInteger) << "";
        QTest::newRow("float") << int(zctFloat) << "x";
    }
    void badNumberChangesNothing() {
        QFETCH(int, type);
        QFETCH(QString, bad);
        // The bad cell sits last, so a sort that checks as it goes would
        // have exchanged rows before reaching it.
        TZorbelGridRows g = Grid({"a|9", "b|3", "c|5", "d|" + bad});
        g.OnGetColType = [type](int) { return type; };
        const QStringList before = Data(g);
        QVERIFY_THROWS_EXCEPTION(EConvertError, g.TitleClick(1));
        QCOMPARE(Data(g), before);
    }

    // With fewer than two data rows nothing is compared, so no cell is
    // converted: a title click on an empty grid (or on one row whatever it
    // holds) is no error. Two rows compare, and the bad cell is refused.
    void singleRowIsNeverConverted_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("raises");
        QTest::newRow("empty grid") << QStringList{} << false;
        QTest::newRow("one row, no number") << QStringList{"a|abc"} << false;
        QTest::newRow("one row, a number") << QStringList{"a|7"} << false;
        QTest::newRow("two rows, one no number") << QStringList{"a|7", "b|abc"} << true;
    }
    void singleRowIsNeverConverted() {
        QFETCH(QStringList, rows);
        QFETCH(bool, raises);
        TZorbelGridRows g = Grid(rows);
        g.OnGetColType = [](int) { return int(zctInteger); };
        const QStringList before = Data(g);
        if (raises) {
            QVERIFY_THROWS_EXCEPTION(EConvertError, g.TitleClick(1));
        } else {
            g.TitleClick(1);
            g.TitleClick(1);
        }
        QCOMPARE(Data(g), before);
    }

    void isGridEmpty_data() {
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("empty");
        QTest::newRow("fresh") << 2 << "" << 0 << true;
        QTest::newRow("first cell filled") << 2 << "x" << 0 << false;
        QTest::newRow("last cell filled") << 2 << "x" << 2 << false;
        QTest::newRow("blank is not empty") << 2 << " " << 1 << false;
        QTest::newRow("two empty rows") << 3 << "" << 0 << false;
    }
    void isGridEmpty() {
        QFETCH(int, rowCount);
        QFETCH(QString, cell);
        QFETCH(int, col);
        QFETCH(bool, empty);
        TZorbelGridRows g(3);
        g.SetRowCount(rowCount);
        g.SetCell(col, 1, cell);
        QCOMPARE(g.IsGridEmpty(), empty);
    }

    void addRowFillsTheEmptyRowFirst() {
        TZorbelGridRows g(3);
        g.AddRow({"a", "b", "c", "dropped"});
        QCOMPARE(g.RowCount(), 2);
        QCOMPARE(Data(g), QStringList{"a|b|c"});
        g.AddRow({"x"});
        QCOMPARE(g.RowCount(), 3);
        QCOMPARE(Data(g), (QStringList{"a|b|c", "x||"}));
    }

    void deleteRows_data() {
        QTest::addColumn<int>("count");  // data rows r1..rN
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("rowCount");
        QTest::newRow("middle") << 5 << 2 << 3 << QStringList{"r1", "r4", "r5"} << 4;
        QTest::newRow("first row") << 3 << 1 << 1 << QStringList{"r2", "r3"} << 3;
        QTest::newRow("last row") << 3 << 3 << 3 << QStringList{"r1", "r2"} << 3;
        QTest::newRow("tail from row 2") << 4 << 2 << 4 << QStringList{"r1"} << 2;
        QTest::newRow("all rows") << 3 << 1 << 3 << QStringList{""} << 2;
        QTest::newRow("the only row") << 1 << 1 << 1 << QStringList{""} << 2;
        QTest::newRow("head") << 4 << 1 << 2 << QStringList{"r3", "r4"} << 3;
        QTest::newRow("last beyond the grid") << 3 << 2 << 4 << QStringList{"r1", "r2", "r3"} << 4;
        QTest::newRow("first above last") << 3 << 3 << 2 << QStringList{"r1", "r2", "r3"} << 4;
        QTest::newRow("title row") << 3 << 0 << 1 << QStringList{"r1", "r2", "r3"} << 4;
    }
    void deleteRows() {
        QFETCH(int, count);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QStringList, expected);
        QFETCH(int, rowCount);
        TZorbelGridRows g(1);
        for (int i = 1; i <= count; ++i) g.AddRow({QStringLiteral("r%1").arg(i)});
        g.DeleteRows(first, last);
        QCOMPARE(g.RowCount(), rowCount);
        QCOMPARE(Data(g), expected);
        QCOMPARE(g.Cell(0, 0), QString());  // the title row is never touched
    }

    void moveSelectedRows() {
        TZorbelGridRows source = Grid({"a|1", "b|2", "c|3", "d|4"});
        TZorbelGridRows dest = Grid({"x|9"});
        source.Select(2, 3);
        TZorbelGridRows::MoveSelectedRows(source, dest);
        QCOMPARE(Data(source), (QStringList{"a|1", "d|4"}));
        QCOMPARE(Data(dest), (QStringList{"x|9", "b|2", "c|3"}));
    }

    void moveIntoSortedGridResorts_data() {
        QTest::addColumn<bool>("sortAfterInsert");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("on") << true << QStringList{"2", "5", "9", "10"};
        QTest::newRow("off") << false << QStringList{"5", "9", "10", "2"};
    }
    void moveIntoSortedGridResorts() {
        QFETCH(bool, sortAfterInsert);
        QFETCH(QStringList, expected);
        TZorbelGridRows source = Grid({"a|10", "b|2"});
        TZorbelGridRows dest = Grid({"x|9", "y|5"});
        dest.OnGetColType = [](int) { return int(zctInteger); };
        dest.SortAfterInsert = sortAfterInsert;
        dest.TitleClick(1);
        source.Select(1, 2);
        TZorbelGridRows::MoveSelectedRows(source, dest);
        QCOMPARE(Column(dest, 1), expected);
        QVERIFY(source.IsGridEmpty());
    }

    void movingTheOnlyRowLeavesAnEmptyGrid() {
        TZorbelGridRows source = Grid({"a|1"});
        TZorbelGridRows dest = Grid({});
        TZorbelGridRows::MoveSelectedRows(source, dest);
        QCOMPARE(source.RowCount(), 2);
        QVERIFY(source.IsGridEmpty());
        QCOMPARE(dest.RowCount(), 2);
        QCOMPARE(Data(dest), QStringList{"a|1"});
    }

    void moveFromEmptyGridDoesNothing() {
        TZorbelGridRows source = Grid({});
        TZorbelGridRows dest = Grid({"x|1"});
        TZorbelGridRows::MoveAllRows(source, dest);
        TZorbelGridRows::MoveSelectedRows(source, dest);
        QCOMPARE(Data(dest), QStringList{"x|1"});
    }

    void moveAllRows() {
        TZorbelGridRows source = Grid({"a|1", "b|2", "c|3"});
        TZorbelGridRows dest = Grid({});
        source.Select(2, 2);
        TZorbelGridRows::MoveAllRows(source, dest);
        QVERIFY(source.IsGridEmpty());
        QCOMPARE(Data(dest), (QStringList{"a|1", "b|2", "c|3"}));
    }

    void narrowerDestinationIsRefused_data() {
        QTest::addColumn<bool>("all");
        QTest::newRow("selected") << false;
        QTest::newRow("all") << true;
    }
    void narrowerDestinationIsRefused() {
        QFETCH(bool, all);
        TZorbelGridRows source = Grid({"a|1|p", "b|2|q"}, 3);
        TZorbelGridRows dest = Grid({"x|9"}, 2);
        source.Select(1, 2);
        try {
            all ? TZorbelGridRows::MoveAllRows(source, dest) : TZorbelGridRows::MoveSelectedRows(source, dest);
            QFAIL("no exception");
        } catch (const EZoGridException& e) {
            QCOMPARE(e.Message(), QStringLiteral("Destination grid has not enough columns !"));
        }
        QCOMPARE(Data(source), (QStringList{"a|1|p", "b|2|q"}));
        QCOMPARE(Data(dest), QStringList{"x|9"});
        // A wider destination takes the rows, its extra cells empty.
        TZorbelGridRows wide = Grid({}, 4);
        TZorbelGridRows::MoveAllRows(source, wide);
        QCOMPARE(Data(wide), (QStringList{"a|1|p|", "b|2|q|"}));
    }

    void dragStart_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<bool>("starts");
        // Pressed on row 3 at (100, 50).
        QTest::newRow("horizontal") << 3 << QPoint(111, 50) << true;
        QTest::newRow("dx = dy + 10") << 3 << QPoint(110, 50) << false;
        QTest::newRow("leftwards") << 3 << QPoint(89, 50) << true;
        QTest::newRow("vertical") << 3 << QPoint(105, 80) << false;
        QTest::newRow("diagonal beyond") << 3 << QPoint(140, 79) << true;
        QTest::newRow("diagonal at the edge") << 3 << QPoint(140, 80) << false;
        QTest::newRow("another row") << 4 << QPoint(200, 50) << false;
    }
    void dragStart() {
        QFETCH(int, row);
        QFETCH(QPoint, to);
        QFETCH(bool, starts);
        TZorbelGridRows g;
        g.DragMousePressed(3, QPoint(100, 50));
        QCOMPARE(g.DragMouseMoved(row, to), starts);
    }

    void moveToAnotherRowRebasesTheDrag() {
        TZorbelGridRows g;
        g.DragMousePressed(1, {0, 0});
        QVERIFY(!g.DragMouseMoved(2, {50, 0}));  // new row: remembered only
        QVERIFY(!g.DragMouseMoved(2, {55, 0}));  // 5 from the new position
        QVERIFY(g.DragMouseMoved(2, {70, 0}));
    }

    void dragAcceptance() {
        TZorbelGrid a, b, c;
        QLabel other;
        a.EnableDrapDrop = b.EnableDrapDrop = true;
        QVERIFY(a.AcceptsDragFrom(&b));
        QVERIFY(!a.AcceptsDragFrom(&a));
        QVERIFY(!a.AcceptsDragFrom(&other));
        QVERIFY(!a.AcceptsDragFrom(nullptr));
        QVERIFY(!a.AcceptsDragFrom(&c));  // c does not drag
        QVERIFY(!c.AcceptsDragFrom(&a));  // c takes no drops
    }

    void dropMovesTheSelectedRows() {
        ScriptedMessageSeam seam;
        TZorbelGrid from, to, narrow, self;
        narrow.SetColCount(1);
        for (TZorbelGrid* g : {&from, &to, &narrow, &self}) g->EnableDrapDrop = true;
        for (int i = 1; i <= 4; ++i) from.AddRow({QString::number(i), "x"});
        from.SelectRows(2, 3);
        QSignalSpy dropped(&to, &TZorbelGrid::RowsDropped);
        QVERIFY(!narrow.DropFrom(&from));
        QCOMPARE(seam.Texts(), QStringList{"Destination grid has not enough columns !"});
        QCOMPARE(from.RowCount(), 5);
        QVERIFY(narrow.IsGridEmpty());
        QVERIFY(!from.DropFrom(&from));
        QVERIFY(to.DropFrom(&from));
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(to.Cells(0, 1), QStringLiteral("2"));
        QCOMPARE(to.Cells(0, 2), QStringLiteral("3"));
        QCOMPARE(from.RowCount(), 3);
        QCOMPARE(from.Cells(0, 2), QStringLiteral("4"));
    }

    void viewTitleClickSorts() {
        TZorbelGrid grid;
        grid.SetCells(0, 0, "n");
        grid.SetCells(1, 0, "m");
        grid.SetOnGetColType([](int col) { return col == 0 ? int(zctInteger) : int(zctText); });
        grid.AddRow({"10", "a"});
        grid.AddRow({"2", "b"});
        grid.resize(300, 200);
        grid.show();
        QSignalSpy sorted(&grid, &TZorbelGrid::Sorted);
        QHeaderView* header = grid.horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        QCOMPARE(sorted.count(), 1);
        QCOMPARE(grid.Cells(0, 1), QStringLiteral("2"));
        QCOMPARE(grid.model()->data(grid.model()->index(0, 0)).toString(), QStringLiteral("2"));
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("m"));
    }

    void viewBadCellRestoresGridAndCursorThenReports() {
        ScriptedMessageSeam seam;
        TZorbelGrid grid;
        grid.SetOnGetColType([](int) { return int(zctInteger); });
        grid.AddRow({"3", "x"});
        grid.AddRow({"abc", "y"});
        grid.AddRow({"1", "z"});
        QSignalSpy sorted(&grid, &TZorbelGrid::Sorted);
        QVERIFY(!grid.TitleClick(0));
        QVERIFY(grid.isEnabled());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(sorted.count(), 0);
        QCOMPARE(seam.Requests().size(), size_t(1));
        QVERIFY2(seam.Texts().first().contains("'abc'"), qPrintable(seam.Texts().first()));
        QCOMPARE(seam.Requests().front().kind, MessageKind::Error);
        QCOMPARE(grid.Cells(0, 1), QStringLiteral("3"));
    }

    void viewSelectionFollowsTheModel() {
        TZorbelGrid source, dest;
        for (int i = 1; i <= 4; ++i) source.AddRow({QString::number(i), "x"});
        source.SelectRows(2, 3);
        QCOMPARE(source.selectionModel()->selectedRows().size(), 2);
        TZorbelGrid::MoveSelectedRows(source, dest);
        QCOMPARE(dest.RowCount(), 3);
        QCOMPARE(dest.model()->rowCount(), 2);
        QCOMPARE(source.model()->rowCount(), 2);
        QCOMPARE(source.Cells(0, 2), QStringLiteral("4"));
        // Selecting in the view reaches the model.
        source.selectionModel()->select(source.model()->index(1, 0),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCOMPARE(source.Rows().SelectionTop(), 2);
        QCOMPARE(source.Rows().SelectionBottom(), 2);
    }

    // The sort lets the event loop run once per row. What arrives meanwhile
    // finds the rows whole: a second sort is refused, changes wait until the
    // sort is done and then apply in their order.
    void sortYieldsOncePerRowAndHoldsChangesBack_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("expected");  // column 1 after the sort and the change
        // Sorted: 1 2 3 4 5 (rows "e","b","d","a","c").
        QTest::newRow("add row") << "add" << QStringList{"1", "2", "3", "4", "5", "0"};
        QTest::newRow("set cell") << "set" << QStringList{"X", "2", "3", "4", "5"};
        QTest::newRow("delete rows") << "delete" << QStringList{"1", "4", "5"};
        QTest::newRow("exchange") << "exchange" << QStringList{"5", "2", "3", "4", "1"};
        QTest::newRow("clear") << "clear" << QStringList{""};
    }
    void sortYieldsOncePerRowAndHoldsChangesBack() {
        QFETCH(QString, change);
        QFETCH(QStringList, expected);
        TZorbelGridRows g = Grid({"a|4", "b|2", "c|5", "d|3", "e|1"});
        g.OnGetColType = [](int) { return int(zctInteger); };
        int yields = 0, refusedSorts = 0, deferredChanges = 0;
        QStringList seenDuringSort;
        g.OnDeferredChange = [&] { ++deferredChanges; };
        g.OnYield = [&] {
            ++yields;
            QVERIFY(g.Sorting());
            if (yields != 2) return;
            const QStringList before = Column(g, 1);
            if (!g.TitleClick(0)) ++refusedSorts;
            if (!g.TitleClick(1)) ++refusedSorts;
            if (!g.SortGridByColumn()) ++refusedSorts;
            if (change == "add") g.AddRow({"z", "0"});
            if (change == "set") g.SetCell(1, 1, "X");
            if (change == "delete") g.DeleteRows(2, 3);
            if (change == "exchange") g.ExchangeRows(1, 5);
            if (change == "clear") g.Clear();
            // Nothing changed under the running sort.
            QCOMPARE(Column(g, 1), before);
            QCOMPARE(g.SortColumn(), 1);
            QVERIFY(g.Ascending());
            seenDuringSort = before;
        };
        QVERIFY(g.TitleClick(1));
        QCOMPARE(yields, 5);  // once per data row
        QCOMPARE(refusedSorts, 3);
        QCOMPARE(seenDuringSort.size(), 5);
        QCOMPARE(deferredChanges, 1);
        QCOMPARE(Column(g, 1), expected);
        QVERIFY(!g.Sorting());
        // The sort state is the one click's: column 1, ascending.
        QCOMPARE(g.SortColumn(), 1);
        QVERIFY(g.Ascending());
        // Nothing is left waiting: a later change applies at once.
        deferredChanges = 0;
        g.OnYield = nullptr;
        g.AddRow({"y", "9"});
        QCOMPARE(g.Cell(1, g.RowCount() - 1), QStringLiteral("9"));
        QCOMPARE(deferredChanges, 0);
    }

    // Cells and titles outside the grid: nothing, and no change.
    void outsideTheGrid() {
        TZorbelGridRows g = Grid({"b|2", "a|1"});
        for (auto [col, row] : {std::pair{-1, 1}, {2, 1}, {0, -1}, {0, 3}}) QCOMPARE(g.Cell(col, row), QString());
        QVERIFY(!g.TitleClick(-1));
        QVERIFY(!g.TitleClick(2));
        QCOMPARE(g.SortColumn(), -1);
        QCOMPARE(Column(g, 0), (QStringList{"b", "a"}));
    }

    // A move out of the grid being sorted waits for the sort; both grids
    // learn of it afterwards.
    void moveDuringTheSortWaits() {
        TZorbelGridRows g = Grid({"a|3", "b|1", "c|2"});
        TZorbelGridRows other = Grid({"x|9"});
        g.OnGetColType = [](int) { return int(zctInteger); };
        int gChanged = 0, otherChanged = 0;
        g.OnDeferredChange = [&] { ++gChanged; };
        other.OnDeferredChange = [&] { ++otherChanged; };
        bool moved = false;
        g.OnYield = [&] {
            if (moved) return;
            moved = true;
            g.Select(1, 1);
            TZorbelGridRows::MoveAllRows(g, other);
            TZorbelGridRows::MoveSelectedRows(other, g);
            QCOMPARE(Data(other), QStringList{"x|9"});
            QCOMPARE(g.RowCount(), 4);
        };
        QVERIFY(g.TitleClick(1));
        // Sorted first (1 2 3), then all of them moved out, then other's
        // selected row (its first, "x") moved back in.
        QCOMPARE(Data(other), (QStringList{"b|1", "c|2", "a|3"}));
        QCOMPARE(Data(g), QStringList{"x|9"});
        QCOMPARE(gChanged, 1);
        QVERIFY(otherChanged >= 1);
    }

    // The view: the event loop runs during the sort; a title click from it is
    // refused without giving the grid back, a move waits, and the view shows
    // the final rows.
    void viewSortKeepsTheEventLoopAndRefusesASecondSort() {
        TZorbelGrid grid, other;
        grid.SetOnGetColType([](int) { return int(zctInteger); });
        for (const char* n : {"5", "3", "9", "1", "7", "2"}) grid.AddRow({QString::fromLatin1(n), "g"});
        other.AddRow({"4", "o"});
        other.AddRow({"8", "o"});
        grid.show();
        other.show();
        QSignalSpy sorted(&grid, &TZorbelGrid::Sorted);
        bool ranDuringSort = false, secondRefused = false, stillDisabled = false;
        int timerRuns = 0;
        QTimer ticker;
        ticker.setInterval(0);
        QObject::connect(&ticker, &QTimer::timeout, &grid, [&] {
            ++timerRuns;
            if (ranDuringSort || !grid.Rows().Sorting()) return;
            ranDuringSort = true;
            secondRefused = !grid.TitleClick(0);
            stillDisabled = !grid.isEnabled();
            TZorbelGrid::MoveAllRows(other, grid);
        });
        ticker.start();
        QVERIFY(grid.TitleClick(0));
        ticker.stop();
        QVERIFY2(ranDuringSort, "the event loop did not run during the sort");
        QVERIFY(secondRefused);
        QVERIFY(stillDisabled);
        QVERIFY(grid.isEnabled());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(sorted.count(), 1);
        // The moved rows came in after the sort and were sorted in (the grid
        // has a sort column and sorts after an insert).
        QStringList shown;
        for (int r = 0; r < grid.model()->rowCount(); ++r) shown << grid.model()->data(grid.model()->index(r, 0)).toString();
        QCOMPARE(shown, (QStringList{"1", "2", "3", "4", "5", "7", "8", "9"}));
        QCOMPARE(grid.verticalHeader()->count(), 8);  // the view took the new rows
        QVERIFY(other.IsGridEmpty());
        QCOMPARE(other.model()->rowCount(), 1);
        QCOMPARE(other.verticalHeader()->count(), 1);
        QVERIFY(grid.Rows().Ascending());
    }
};

QTEST_MAIN(TstZorbelGrid)
#include "tst_zorbelgrid.moc"
