#include "widgets/StringGrid.h"

#include <QPainter>

#include <algorithm>

TMyStringGrid::TMyStringGrid(QWidget *parent) : TMyDrawGrid(parent) {}

TMyStringGrid::~TMyStringGrid() = default;

const TStringSparseList *TMyStringGrid::ColumnData(int col) const
{
    return col >= 0 && col < static_cast<int>(m_columns.size()) ? &m_columns[col] : nullptr;
}

void TMyStringGrid::SetCellSource(TGridCellSource *source)
{
    m_source = source;
    InvalidateGrid();
}

QString TMyStringGrid::Cells(int col, int row) const
{
    if (m_source && row >= FixedRows())
        return m_source->CellText(col, row - FixedRows()).toString();
    const TStringSparseList *stored = ColumnData(col);
    return stored ? stored->Get(row) : QString();
}

QList<QString> TMyStringGrid::ColumnTexts(int col) const
{
    const TStringSparseList *stored = ColumnData(col);
    return stored ? stored->Texts() : QList<QString>();
}

// A column that grows takes room for all rows at once: rows written one
// after the other up to RowCount do not move it again.
TStringSparseList &TMyStringGrid::ColumnStore(int col, int row)
{
    if (col < 0)
        throw EListError(col);
    if (col >= static_cast<int>(m_columns.size()))
        m_columns.resize(col + 1);
    TStringSparseList &column = m_columns[col];
    if (row >= column.Count())
        column.Reserve(RowCount());
    return column;
}

// An empty text where nothing is stored stores nothing: a column of blank
// cells costs nothing.
bool TMyStringGrid::StoresNothing(int col, int row, const QString &text) const
{
    const TStringSparseList *stored = ColumnData(col);
    return text.isEmpty() && (!stored || row >= stored->Count());
}

void TMyStringGrid::SetCells(int col, int row, const QString &text)
{
    if (m_source && row >= FixedRows()) {
        m_source->CellWritten(col, row - FixedRows(), text);
        CellChanged(col, row);
        return;
    }
    if (StoresNothing(col, row, text))
        return;
    ColumnStore(col, row).Put(row, text);
    CellChanged(col, row);
}

QObject *TMyStringGrid::Objects(int col, int row) const
{
    const TStringSparseList *stored = ColumnData(col);
    return stored ? stored->GetObject(row) : nullptr;
}

void TMyStringGrid::SetObjects(int col, int row, QObject *object)
{
    if (!object && !ColumnData(col))
        return;
    ColumnStore(col, row).PutObject(row, object);
}

TMyStringGridStrings *TMyStringGrid::Rows(int row)
{
    auto &view = m_rowViews.At(row);
    if (!view)
        view = std::make_unique<TMyStringGridStrings>(this, TMyStringGridStrings::Kind::Row, row);
    return view.get();
}

TMyStringGridStrings *TMyStringGrid::Cols(int col)
{
    auto &view = m_colViews.At(col);
    if (!view)
        view = std::make_unique<TMyStringGridStrings>(this, TMyStringGridStrings::Kind::Col, col);
    return view.get();
}

std::vector<TStringSparseList> TMyStringGrid::FixedRowColumns(int columns, int rowCount) const
{
    std::vector<TStringSparseList> fixed(std::max<std::size_t>(columns, m_columns.size()));
    for (std::size_t col = 0; col < fixed.size(); ++col) {
        fixed[col].Reserve(rowCount);
        for (int row = 0; row < FixedRows() && col < m_columns.size(); ++row) {
            fixed[col].Put(row, m_columns[col].Get(row));
            fixed[col].PutObject(row, m_columns[col].GetObject(row));
        }
    }
    return fixed;
}

void TMyStringGrid::ReplaceDataRows(int rows, std::span<QList<QString>> texts)
{
    const int first = FixedRows();
    std::vector<TStringSparseList> replaced = FixedRowColumns(int(texts.size()), 0);
    for (std::size_t col = 0; col < texts.size(); ++col)
        replaced[col].TakeTextsFrom(first, std::move(texts[col]));
    TakeColumns(std::move(replaced), first + rows);
}

// The old cells are freed with the vector they end up in.
void TMyStringGrid::TakeColumns(std::vector<TStringSparseList> columns, int rowCount)
{
    m_columns.swap(columns);
    SetRowCount(rowCount);
    if (m_viewUpdates > 0)
        m_repaintDue = true;
    else
        InvalidateGrid();
    if (!m_editorWriting && EditorMode())
        InplaceEditor()->UpdateContents();
}

void TMyStringGrid::CellChanged(int col, int row)
{
    if (m_viewUpdates > 0)
        m_repaintDue = true;
    else
        InvalidateCell(col, row);
    RefreshEditorOn(col, row);
}

void TMyStringGrid::RefreshEditorOn(int col, int row)
{
    if (!m_editorWriting && EditorMode() && InplaceEditor()->EditCol() == col &&
        InplaceEditor()->EditRow() == row)
        InplaceEditor()->UpdateContents();
}

void TMyStringGrid::BeginViewUpdate()
{
    ++m_viewUpdates;
}

void TMyStringGrid::EndViewUpdate()
{
    if (--m_viewUpdates == 0 && std::exchange(m_repaintDue, false))
        InvalidateGrid();
}

QString TMyStringGrid::GetEditText(int col, int row)
{
    QString value = Cells(col, row);
    if (OnGetEditText)
        OnGetEditText(this, col, row, value);
    return value;
}

void TMyStringGrid::SetEditText(int col, int row, const QString &value)
{
    if (Cells(col, row) != value) {
        m_editorWriting = true;
        SetCells(col, row, value);
        m_editorWriting = false;
    }
    TMyDrawGrid::SetEditText(col, row, value);
}

void TMyStringGrid::DrawCell(QPainter &painter, int col, int row, const QRect &rect,
                             TGridDrawState state)
{
    if (DefaultDrawing())
        painter.drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, Cells(col, row));
    RaiseDrawCell(col, row, rect, state);
}

void TMyStringGrid::ColumnMoved(int fromIndex, int toIndex)
{
    if (std::max(fromIndex, toIndex) >= static_cast<int>(m_columns.size()))
        m_columns.resize(std::max(fromIndex, toIndex) + 1);
    MoveListEntry(m_columns, fromIndex, toIndex);
    TMyDrawGrid::ColumnMoved(fromIndex, toIndex);
}

void TMyStringGrid::RowMoved(int fromIndex, int toIndex)
{
    for (TStringSparseList &column : m_columns)
        column.Move(fromIndex, toIndex);
    TMyDrawGrid::RowMoved(fromIndex, toIndex);
}

void TMyStringGrid::ReorderDataRows(const std::vector<int> &order)
{
    if (m_source) {
        std::vector<int> from(order.size());
        std::transform(order.begin(), order.end(), from.begin(),
                       [&](int row) { return row - FixedRows(); });
        m_source->RowsReordered(from);
        InvalidateGrid();
        return;
    }
    const TCellPermutation permutation(1, order);
    for (TStringSparseList &column : m_columns)
        column.Reorder(permutation);
    InvalidateGrid();
}
