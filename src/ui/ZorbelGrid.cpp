#include "ui/ZorbelGrid.h"

#include "localisation/IvDictio.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopeGuard>
#include <algorithm>
#include <cstdlib>

namespace {

const QString SortMarker = QStringLiteral(" (*)");
const QString GridDragFormat = QStringLiteral("application/x-korva-zorbelgrid-rows");

// Sets the wait cursor and disables a widget for a scope; both come back on
// every path out of it.
class BusyScope {
public:
    explicit BusyScope(QWidget* widget) : m_widget(widget) {
        if (m_widget) m_widget->setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyScope() {
        QApplication::restoreOverrideCursor();
        if (m_widget) m_widget->setEnabled(true);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    QWidget* m_widget;
};

class CursorScope {
public:
    CursorScope() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorScope() { QApplication::restoreOverrideCursor(); }
    CursorScope(const CursorScope&) = delete;
    CursorScope& operator=(const CursorScope&) = delete;
};

bool ToInteger(const QString& s, qlonglong& out) {
    bool ok = false;
    out = s.trimmed().toLongLong(&ok);
    return ok;
}

bool ToFloat(const QString& s, double& out) {
    bool ok = false;
    QString t = s.trimmed();
    out = t.toDouble(&ok);
    if (!ok) out = t.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok;
}

QString ConvertMessage(const char* format, const QString& cell) {
    return IvTranslate(QString::fromUtf8(format)).replace(QLatin1String("%s"), cell);
}

}  // namespace

EZoGridException::EZoGridException(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message) {}


// ---------------------------------------------------------------- rows

TZorbelGridRows::TZorbelGridRows(int colCount, int rowCount) : m_colCount(std::max(1, colCount)) {
    SetRowCount(rowCount);
}

void TZorbelGridRows::SetRowCount(int n) {
    if (Defer([=, this] { SetRowCount(n); })) return;
    n = std::max(2, n);
    const size_t old = m_rows.size();
    m_rows.resize(size_t(n));
    for (size_t i = old; i < m_rows.size(); ++i) {
        m_rows[i].clear();
        for (int c = 0; c < m_colCount; ++c) m_rows[i].append(QString());
    }
    m_selTop = std::min(m_selTop, n - 1);
    m_selBottom = std::min(m_selBottom, n - 1);
    m_current = std::min(m_current, n - 1);
}

void TZorbelGridRows::SetColCount(int n) {
    if (Defer([=, this] { SetColCount(n); })) return;
    m_colCount = std::max(1, n);
    for (QStringList& row : m_rows) {
        while (row.size() < m_colCount) row.append(QString());
        while (row.size() > m_colCount) row.removeLast();
    }
}

QString TZorbelGridRows::Cell(int col, int row) const {
    if (row < 0 || row >= RowCount() || col < 0 || col >= m_colCount) return {};
    return m_rows[size_t(row)].at(col);
}

void TZorbelGridRows::SetCell(int col, int row, const QString& text) {
    if (Defer([=, this] { SetCell(col, row, text); })) return;
    if (row < 0 || row >= RowCount() || col < 0 || col >= m_colCount) return;
    m_rows[size_t(row)][col] = text;
}

bool TZorbelGridRows::IsGridEmpty() const {
    if (RowCount() != 2) return false;
    return std::all_of(m_rows[1].begin(), m_rows[1].end(), [](const QString& s) { return s.isEmpty(); });
}

void TZorbelGridRows::AddRow(const QStringList& cells) {
    if (Defer([=, this] { AddRow(cells); })) return;
    if (!IsGridEmpty()) SetRowCount(RowCount() + 1);
    QStringList& row = m_rows.back();
    for (int c = 0; c < m_colCount; ++c) row[c] = cells.value(c);
}

void TZorbelGridRows::DeleteRows(int first, int last) {
    if (Defer([=, this] { DeleteRows(first, last); })) return;
    const int n = RowCount();
    if (first < 1 || last < first || last >= n) return;
    const int moved = n - 1 - last;
    for (int k = 0; k < moved; ++k) m_rows[size_t(first + k)] = m_rows[size_t(last + 1 + k)];
    if (moved > 0) {
        m_rows.resize(size_t(first + moved));
    } else if (first < 2) {
        m_rows.resize(2);
        for (QString& s : m_rows[1]) s.clear();
    } else {
        m_rows.resize(size_t(first));
    }
    SetRowCount(RowCount());  // clamps the selection
}

void TZorbelGridRows::CopyRowsFrom(const TZorbelGridRows& source, int first, int last) {
    if (Defer([this, &source, first, last] { CopyRowsFrom(source, first, last); })) return;
    for (int r = std::max(first, 1); r <= last && r < source.RowCount(); ++r) AddRow(source.m_rows[size_t(r)]);
}

void TZorbelGridRows::Clear() {
    if (Defer([=, this] { Clear(); })) return;
    m_rows.resize(2);
    for (QString& s : m_rows[1]) s.clear();
    m_selTop = m_selBottom = m_current = 1;
}

void TZorbelGridRows::ExchangeRows(int a, int b) {
    if (Defer([=, this] { ExchangeRows(a, b); })) return;
    if (a < 0 || b < 0 || a >= RowCount() || b >= RowCount()) return;
    Swap(a, b);
}

bool TZorbelGridRows::Defer(std::function<void()> change) {
    if (!m_sorting) return false;
    m_deferred.push_back(std::move(change));
    return true;
}

void TZorbelGridRows::RunDeferred() {
    if (m_deferred.empty()) return;
    // A held-back change may itself start a sort (a move into a sorted
    // grid), which may hold back further changes: run until none is left.
    while (!m_deferred.empty() && !m_sorting) {
        std::function<void()> change = std::move(m_deferred.front());
        m_deferred.erase(m_deferred.begin());
        change();
    }
    if (OnDeferredChange) OnDeferredChange();
}

void TZorbelGridRows::Select(int top, int bottom, int current) {
    const int last = RowCount() - 1;
    top = std::clamp(top, 1, last);
    bottom = std::clamp(bottom, top, last);
    m_selTop = top;
    m_selBottom = bottom;
    m_current = current < 0 ? top : std::clamp(current, 1, last);
}

void TZorbelGridRows::CheckSortable(int type) const {
    for (int r = 1; r < RowCount(); ++r) {
        const QString& cell = m_rows[size_t(r)].at(m_sortColumn);
        if (type == zctInteger) {
            qlonglong v;
            if (!ToInteger(cell, v)) throw EConvertError(ConvertMessage("'%s' is not a valid integer value", cell).toStdString());
        } else if (type == zctFloat) {
            double v;
            if (!ToFloat(cell, v))
                throw EConvertError(ConvertMessage("'%s' is not a valid floating point value", cell).toStdString());
        }
    }
}

bool TZorbelGridRows::SortGridByColumn() {
    if (m_sorting) return false;
    if (m_sortColumn < 0 || m_sortColumn >= m_colCount) return true;
    const int type = GetColType(m_sortColumn);
    if (type == zctText || type == zctInteger || type == zctFloat) m_comparator = type;
    // Fewer than two data rows compare nothing, so nothing is converted: a
    // title click on an empty grid is no error.
    if (RowCount() < 3) return true;
    // Every cell is checked first: a bad cell must not leave the rows half
    // sorted.
    CheckSortable(m_comparator);
    const int col = m_sortColumn;
    const bool asc = m_ascending;
    auto before = [&](const QString& a, const QString& b) {
        if (m_comparator == zctInteger) {
            qlonglong x = 0, y = 0;
            ToInteger(a, x);
            ToInteger(b, y);
            return asc ? x < y : x > y;
        }
        if (m_comparator == zctFloat) {
            double x = 0, y = 0;
            ToFloat(a, x);
            ToFloat(b, y);
            return asc ? x < y : x > y;
        }
        const int c = QString::compare(a, b, Qt::CaseSensitive);
        return asc ? c < 0 : c > 0;
    };
    // The event loop runs once per row; whatever it delivers must find the
    // rows whole: no change of them (held back) and no second sort.
    {
        m_sorting = true;
        const auto done = qScopeGuard([this] { m_sorting = false; });
        const int n = RowCount();
        for (int i = 1; i < n; ++i) {
            if (OnYield) OnYield();
            for (int j = i + 1; j < n; ++j)
                if (before(m_rows[size_t(j)].at(col), m_rows[size_t(i)].at(col))) Swap(i, j);
        }
    }
    RunDeferred();
    return true;
}

void TZorbelGridRows::SetSortMarker(int col) {
    if (!ShowSortMarker) return;
    if (m_sortColumn >= 0 && m_sortColumn < m_colCount) {
        QString& title = m_rows[0][m_sortColumn];
        if (title.endsWith(SortMarker)) title.chop(SortMarker.size());
    }
    if (col >= 0 && col < m_colCount) m_rows[0][col] += SortMarker;
}

bool TZorbelGridRows::TitleClick(int col) {
    if (m_sorting || col < 0 || col >= m_colCount) return false;
    SetCurrentRow(1);
    if (col == m_sortColumn) {
        m_ascending = !m_ascending;
    } else {
        SetSortMarker(col);
        m_sortColumn = col;
        m_ascending = true;
    }
    return SortGridByColumn();
}

void TZorbelGridRows::CheckColumns(const TZorbelGridRows& source, const TZorbelGridRows& dest) {
    if (source.ColCount() > dest.ColCount())
        throw EZoGridException(IvTranslate(QStringLiteral("Destination grid has not enough columns !")));
}

void TZorbelGridRows::SortAfterMoveIn() {
    if (m_sortColumn >= 0 && SortAfterInsert) SortGridByColumn();
}

// A move that touches rows being sorted waits for that sort; afterwards
// both grids learn of it.
bool TZorbelGridRows::HoldBackMove(TZorbelGridRows& source, TZorbelGridRows& dest, const std::function<void()>& move) {
    TZorbelGridRows* sorting = source.m_sorting ? &source : dest.m_sorting ? &dest : nullptr;
    if (!sorting) return false;
    TZorbelGridRows* other = sorting == &source ? &dest : &source;
    sorting->Defer([move, other] {
        move();
        if (other->OnDeferredChange) other->OnDeferredChange();
    });
    return true;
}

void TZorbelGridRows::MoveSelectedRows(TZorbelGridRows& source, TZorbelGridRows& dest) {
    CheckColumns(source, dest);
    if (HoldBackMove(source, dest, [&source, &dest] { MoveSelectedRows(source, dest); })) return;
    if (&source == &dest || source.IsGridEmpty()) return;
    const int top = source.m_selTop, bottom = source.m_selBottom;
    dest.CopyRowsFrom(source, top, bottom);
    source.DeleteRows(top, bottom);
    source.Select(std::min(top, source.RowCount() - 1), std::min(top, source.RowCount() - 1));
    dest.SortAfterMoveIn();
}

void TZorbelGridRows::MoveAllRows(TZorbelGridRows& source, TZorbelGridRows& dest) {
    CheckColumns(source, dest);
    if (HoldBackMove(source, dest, [&source, &dest] { MoveAllRows(source, dest); })) return;
    if (&source == &dest || source.IsGridEmpty()) return;
    dest.CopyRowsFrom(source, 1, source.RowCount() - 1);
    source.Clear();
    dest.SortAfterMoveIn();
}

void TZorbelGridRows::DragMousePressed(int row, QPoint pos) {
    m_dragRow = row;
    m_dragPos = pos;
}

bool TZorbelGridRows::DragMouseMoved(int row, QPoint pos) {
    const QPoint from = m_dragPos;
    m_dragPos = pos;
    if (row != m_dragRow) {
        m_dragRow = row;
        return false;
    }
    return std::abs(pos.x() - from.x()) > std::abs(pos.y() - from.y()) + 10;
}

// ---------------------------------------------------------------- Qt model

TZorbelGridModel::TZorbelGridModel(TZorbelGridRows& rows, QObject* parent)
    : QAbstractTableModel(parent), m_rows(rows) {}

int TZorbelGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.RowCount() - 1;
}

int TZorbelGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.ColCount();
}

QVariant TZorbelGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return m_rows.Cell(index.column(), index.row() + 1);
}

QVariant TZorbelGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return m_rows.Cell(section, 0);
    return {};
}

void TZorbelGridModel::Reset() {
    beginResetModel();
    endResetModel();
}

// ---------------------------------------------------------------- view

TZorbelGrid::TZorbelGrid(QWidget* parent) : QTableView(parent), m_model(new TZorbelGridModel(m_rows, this)) {
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    // A long sort keeps the program answering; the rows guard themselves
    // against what the event loop delivers meanwhile.
    m_rows.OnYield = [] { QCoreApplication::processEvents(); };
    m_rows.OnDeferredChange = [this] { Refresh(); };
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int col) { TitleClick(col); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { SyncSelectionFromView(); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { SyncSelectionFromView(); });
}

// The selection model outlives the rows (it goes with the base class): it
// must not call back into them.
TZorbelGrid::~TZorbelGrid() { selectionModel()->disconnect(this); }

void TZorbelGrid::SetColCount(int n) {
    m_rows.SetColCount(n);
    Refresh();
}

void TZorbelGrid::SetCells(int col, int row, const QString& text) {
    m_rows.SetCell(col, row, text);
    if (row == 0)
        m_model->headerDataChanged(Qt::Horizontal, col, col);
    else
        emit m_model->dataChanged(m_model->index(row - 1, col), m_model->index(row - 1, col));
}

int TZorbelGrid::Row() const { return m_rows.CurrentRow(); }

void TZorbelGrid::SetRow(int row) { SelectRows(row, row); }

void TZorbelGrid::SelectRows(int top, int bottom) {
    m_rows.Select(top, bottom);
    SyncSelectionToView();
}

void TZorbelGrid::Refresh() {
    m_syncing = true;
    m_model->Reset();
    m_syncing = false;
    SyncSelectionToView();
}

void TZorbelGrid::SyncSelectionFromView() {
    if (m_syncing) return;
    const QModelIndexList rows = selectionModel()->selectedRows();
    const int current = currentIndex().isValid() ? currentIndex().row() + 1 : m_rows.CurrentRow();
    if (rows.isEmpty()) {
        m_rows.Select(current, current);
        return;
    }
    int top = rows.first().row(), bottom = top;
    for (const QModelIndex& i : rows) {
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
    }
    // The current row is where the cursor stands: the selection's bottom
    // after a range was extended downwards.
    m_rows.Select(top + 1, bottom + 1, current >= top + 1 && current <= bottom + 1 ? current : top + 1);
}

void TZorbelGrid::SyncSelectionToView() {
    m_syncing = true;
    const int top = m_rows.SelectionTop() - 1, bottom = m_rows.SelectionBottom() - 1;
    QItemSelection sel(m_model->index(top, 0), m_model->index(bottom, m_rows.ColCount() - 1));
    selectionModel()->setCurrentIndex(m_model->index(m_rows.CurrentRow() - 1, 0), QItemSelectionModel::NoUpdate);
    selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
    m_syncing = false;
}

void TZorbelGrid::MoveSelectedRows(TZorbelGrid& source, TZorbelGrid& dest) {
    CursorScope busy;
    TZorbelGridRows::MoveSelectedRows(source.m_rows, dest.m_rows);
    source.Refresh();
    dest.Refresh();
}

void TZorbelGrid::MoveAllRows(TZorbelGrid& source, TZorbelGrid& dest) {
    CursorScope busy;
    TZorbelGridRows::MoveAllRows(source.m_rows, dest.m_rows);
    source.Refresh();
    dest.Refresh();
}

void TZorbelGrid::ClearGrid(TZorbelGrid& grid) {
    grid.m_rows.Clear();
    grid.Refresh();
}

void TZorbelGrid::AddRow(const QStringList& cells) {
    m_rows.AddRow(cells);
    Refresh();
}

void TZorbelGrid::DeleteRows(int first, int last) {
    m_rows.DeleteRows(first, last);
    Refresh();
}

void TZorbelGrid::ExchangeRows(int a, int b) {
    m_rows.ExchangeRows(a, b);
    Refresh();
}

bool TZorbelGrid::TitleClick(int col) {
    // The running sort owns the grid's disabled state and the cursor.
    if (m_rows.Sorting()) return false;
    QString error;
    bool sorted = false;
    {
        BusyScope busy(this);
        try {
            sorted = m_rows.TitleClick(col);
        } catch (const EConvertError& e) {
            error = QString::fromStdString(e.what());
        }
        Refresh();
    }
    if (!error.isEmpty()) {
        ErrorOk(window(), error);
        return false;
    }
    if (!sorted) return false;
    emit Sorted();
    return true;
}

bool TZorbelGrid::AcceptsDragFrom(const QObject* source) const {
    if (!EnableDrapDrop) return false;
    const auto* grid = qobject_cast<const TZorbelGrid*>(source);
    return grid && grid != this && grid->EnableDrapDrop;
}

void TZorbelGrid::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    if (EnableDrapDrop) m_rows.DragMousePressed(rowAt(event->position().toPoint().y()) + 1, event->position().toPoint());
}

void TZorbelGrid::mouseMoveEvent(QMouseEvent* event) {
    if (EnableDrapDrop && (event->buttons() & Qt::LeftButton) &&
        m_rows.DragMouseMoved(rowAt(event->position().toPoint().y()) + 1, event->position().toPoint())) {
        StartRowDrag();
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void TZorbelGrid::StartRowDrag() {
    if (m_rows.IsGridEmpty()) return;
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(GridDragFormat, QByteArray());
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

void TZorbelGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsDragFrom(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TZorbelGrid::dragMoveEvent(QDragMoveEvent* event) {
    if (AcceptsDragFrom(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

bool TZorbelGrid::DropFrom(QObject* sourceObject) {
    auto* source = qobject_cast<TZorbelGrid*>(sourceObject);
    if (!source || !AcceptsDragFrom(source)) return false;
    try {
        MoveSelectedRows(*source, *this);
    } catch (const EZoGridException& e) {
        ErrorOk(window(), e.Message());
        return false;
    }
    emit RowsDropped();
    return true;
}

void TZorbelGrid::dropEvent(QDropEvent* event) {
    if (DropFrom(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}
