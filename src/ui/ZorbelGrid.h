#pragma once
// A text grid with one title row whose data rows sort by a click on a column
// title, move between grids by program calls and, when allowed, by dragging
// them with the mouse. The rules live in TZorbelGridRows, a plain row model;
// TZorbelGrid is the table view over it.
//
// Row 0 is the title row (shown as the view's header); data rows start at
// row 1, and a grid with no data keeps one empty data row.
#include <QAbstractTableModel>
#include <QPoint>
#include <QStringList>
#include <QTableView>
#include "ui/Validati.h"  // EConvertError: a cell of a number column that is no number
#include <functional>
#include <stdexcept>
#include <vector>

// The grid's own error: a move into a grid with fewer columns.
class EZoGridException : public std::runtime_error {
public:
    explicit EZoGridException(const QString& message);
    QString Message() const { return m_message; }

private:
    QString m_message;
};

// Column types of OnGetColType.
enum TZoColType : int { zctText = 0, zctInteger = 1, zctFloat = 2 };

class TZorbelGridRows {
public:
    explicit TZorbelGridRows(int colCount = 2, int rowCount = 2);

    int RowCount() const { return int(m_rows.size()); }
    int ColCount() const { return m_colCount; }
    void SetRowCount(int n);  // at least 2; new rows empty
    void SetColCount(int n);  // at least 1
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    QStringList Row(int row) const { return m_rows.at(size_t(row)); }

    bool IsGridEmpty() const;
    // Fills row 1 of an empty grid, else appends a row. Cells beyond the
    // list stay empty, cells beyond the grid's columns are dropped.
    void AddRow(const QStringList& cells);
    // Removes rows first..last (data rows); out-of-range arguments do nothing.
    void DeleteRows(int first, int last);
    void CopyRowsFrom(const TZorbelGridRows& source, int first, int last);
    void Clear();
    void ExchangeRows(int a, int b);

    // Sort state. Row selection: the selected data rows top..bottom and the
    // current row.
    int SortColumn() const { return m_sortColumn; }
    bool Ascending() const { return m_ascending; }
    bool ShowSortMarker = false;
    bool SortAfterInsert = true;
    int SelectionTop() const { return m_selTop; }
    int SelectionBottom() const { return m_selBottom; }
    int CurrentRow() const { return m_current; }
    // current -1: the top row becomes the current row.
    void Select(int top, int bottom, int current = -1);
    void SetCurrentRow(int row) { Select(row, row); }

    // The type of a column: the callback's answer, else text.
    std::function<int(int col)> OnGetColType;
    int GetColType(int col) const { return OnGetColType ? OnGetColType(col) : zctText; }

    // Exchange sort of the data rows by the sort column. A column type other
    // than the three keeps the comparison used last. Raises EConvertError
    // for a cell of a number column that is no number, before any change.
    // OnYield runs once per row. While the sort runs, a second sort of these
    // rows is refused (false), and every change of the rows is held back and
    // applied, in order, when the sort is done; then OnDeferredChange runs.
    bool SortGridByColumn();
    bool Sorting() const { return m_sorting; }
    std::function<void()> OnYield;
    std::function<void()> OnDeferredChange;
    // Moves the " (*)" marker from the old sort column's title to col.
    void SetSortMarker(int col);
    // A click on the title of col: the same column toggles the direction,
    // another becomes the sort column, ascending; then the rows are sorted.
    // Refused (false, nothing changed) while these rows are being sorted.
    bool TitleClick(int col);

    // Moves between grids. Both raise EZoGridException when the source has
    // more columns than the destination, before anything moves; an empty
    // source moves nothing. The destination is re-sorted when it has a sort
    // column and SortAfterInsert.
    static void MoveSelectedRows(TZorbelGridRows& source, TZorbelGridRows& dest);
    static void MoveAllRows(TZorbelGridRows& source, TZorbelGridRows& dest);

    // Drag start from the mouse: remembers the row and position on a press;
    // a move with the left button over the same row starts a drag when it is
    // mostly horizontal (|dx| > |dy| + 10).
    void DragMousePressed(int row, QPoint pos);
    bool DragMouseMoved(int row, QPoint pos);

private:
    // Holds a change back while a sort runs; false when none runs.
    bool Defer(std::function<void()> change);
    void RunDeferred();
    void Swap(int a, int b) { std::swap(m_rows[size_t(a)], m_rows[size_t(b)]); }
    void CheckSortable(int type) const;
    void SortAfterMoveIn();
    static bool HoldBackMove(TZorbelGridRows& source, TZorbelGridRows& dest, const std::function<void()>& move);
    static void CheckColumns(const TZorbelGridRows& source, const TZorbelGridRows& dest);

    int m_colCount;
    std::vector<QStringList> m_rows;
    int m_sortColumn = -1;
    bool m_ascending = true;
    int m_comparator = zctText;
    int m_selTop = 1;
    int m_selBottom = 1;
    int m_current = 1;
    int m_dragRow = -1;
    QPoint m_dragPos;
    bool m_sorting = false;
    std::vector<std::function<void()>> m_deferred;
};

class TZorbelGrid;

// The Qt model over a grid's rows: data rows 1.. as view rows 0.., row 0 as
// the horizontal header.
class TZorbelGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TZorbelGridModel(TZorbelGridRows& rows, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void Reset();

private:
    TZorbelGridRows& m_rows;
};

class TZorbelGrid : public QTableView {
    Q_OBJECT
public:
    explicit TZorbelGrid(QWidget* parent = nullptr);
    ~TZorbelGrid() override;

    TZorbelGridRows& Rows() { return m_rows; }
    const TZorbelGridRows& Rows() const { return m_rows; }

    bool EnableDrapDrop = false;
    bool SortAfterInsert() const { return m_rows.SortAfterInsert; }
    void SetSortAfterInsert(bool on) { m_rows.SortAfterInsert = on; }
    bool ShowSortMarker() const { return m_rows.ShowSortMarker; }
    void SetShowSortMarker(bool on) { m_rows.ShowSortMarker = on; }
    void SetOnGetColType(std::function<int(int col)> handler) { m_rows.OnGetColType = std::move(handler); }

    int RowCount() const { return m_rows.RowCount(); }
    int ColCount() const { return m_rows.ColCount(); }
    void SetColCount(int n);
    QString Cells(int col, int row) const { return m_rows.Cell(col, row); }
    void SetCells(int col, int row, const QString& text);
    // The current data row (1..) and the selected range.
    int Row() const;
    void SetRow(int row);
    void SelectRows(int top, int bottom);

    static void MoveSelectedRows(TZorbelGrid& source, TZorbelGrid& dest);
    static void MoveAllRows(TZorbelGrid& source, TZorbelGrid& dest);
    static void ClearGrid(TZorbelGrid& grid);
    bool IsGridEmpty() const { return m_rows.IsGridEmpty(); }
    void AddRow(const QStringList& cells);
    void DeleteRows(int first, int last);
    void ExchangeRows(int a, int b);
    // A title click on col: sorts with the grid disabled and the wait
    // cursor, both restored on every path; a cell that is no number is
    // reported in a box afterwards. The sort lets the event loop run once
    // per row; a title click arriving meanwhile is refused, and changes of
    // the rows wait until the sort is done. Returns whether the rows were
    // sorted.
    bool TitleClick(int col);
    // Tells the view that the rows changed behind it.
    void Refresh();

    // Whether a drag from source may drop here: another grid, with drag and
    // drop on.
    bool AcceptsDragFrom(const QObject* source) const;
    // The drop of a drag from source: its selected rows move here. Returns
    // whether rows moved; a refused move is reported in a box.
    bool DropFrom(QObject* source);

signals:
    // The order of the rows changed by a title click.
    void Sorted();
    // Rows came in by a drop.
    void RowsDropped();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void SyncSelectionFromView();
    void SyncSelectionToView();
    void StartRowDrag();

    TZorbelGridRows m_rows;
    TZorbelGridModel* m_model;
    bool m_syncing = false;
};
