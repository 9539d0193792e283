// The string grid: the draw grid that keeps its texts in one dense store
// per column, which survives shrinking the counts.
#pragma once

#include "widgets/DrawGrid.h"
#include "widgets/SparseLists.h"
#include "widgets/StringGridLineView.h"

#include <QList>
#include <QString>

#include <memory>
#include <span>
#include <vector>

// The texts of a grid's data rows kept by their owner rather than the
// grid: the grid shows them, hands the operator's edits and the order of a
// header sort to the owner, and is told when they change.
class TGridCellSource
{
public:
    virtual ~TGridCellSource() = default;
    // The text of a data row's cell (data row 0 is the first below the
    // fixed rows); empty beyond the rows.
    virtual QStringView CellText(int col, int dataRow) const = 0;
    // The in-place editor or a click wrote a cell.
    virtual void CellWritten(int col, int dataRow, const QString &text) = 0;
    // Data row k is to show data row from[k].
    virtual void RowsReordered(const std::vector<int> &from) = 0;
};

// Keeps one text (and object) per cell, column by column. Cells outside the
// current counts are kept and shown again when the counts grow.
class TMyStringGrid : public TMyDrawGrid
{
    Q_OBJECT
public:
    explicit TMyStringGrid(QWidget *parent = nullptr);
    ~TMyStringGrid() override;

    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString &text);
    // From now on the data rows' texts come from the source (nullptr: the
    // grid's own again); the fixed rows keep theirs.
    void SetCellSource(TGridCellSource *source);
    TGridCellSource *CellSource() const { return m_source; }
    // A column's texts from row 0 on, shared rather than copied: a picture
    // of this moment that may be read on another thread. Rows beyond its
    // size are empty.
    QList<QString> ColumnTexts(int col) const;
    QObject *Objects(int col, int row) const;
    void SetObjects(int col, int row, QObject *object);
    TMyStringGridStrings *Rows(int row);
    TMyStringGridStrings *Cols(int col);
    // The rows below the fixed rows become `rows` new ones: cell (col, k) of
    // them takes over textOf(col, k) for the first `columns` columns, the
    // other columns stay empty there. The old data rows go with their texts
    // and objects, those kept beyond RowCount too; the fixed rows stay.
    template <typename TextOf> void ReplaceDataRows(int rows, int columns, TextOf textOf);
    // The same with whole columns taken over: column k's cells become
    // texts[k] from row 0 on, but for the fixed rows, which keep theirs.
    void ReplaceDataRows(int rows, std::span<QList<QString>> texts);
    // Puts the data rows 1..n in the order given: new row k+1 holds old row
    // order[k], with its cells and their objects. The current cell stays.
    void ReorderDataRows(const std::vector<int> &order);

    QString GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const QString &value) override;

protected:
    void DrawCell(QPainter &painter, int col, int row, const QRect &rect,
                  TGridDrawState state) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    void RowMoved(int fromIndex, int toIndex) override;
    // The stored cells of a column (nullptr when never written).
    const TStringSparseList *ColumnData(int col) const;

private:
    friend class TMyStringGridStrings;
    TStringSparseList &ColumnStore(int col, int row);
    bool StoresNothing(int col, int row, const QString &text) const;
    // Columns holding only the fixed rows' cells, with room for rowCount rows.
    std::vector<TStringSparseList> FixedRowColumns(int columns, int rowCount) const;
    void TakeColumns(std::vector<TStringSparseList> columns, int rowCount);
    void CellChanged(int col, int row);
    void RefreshEditorOn(int col, int row);
    void BeginViewUpdate();
    void EndViewUpdate();

    std::vector<TStringSparseList> m_columns;
    TGridCellSource *m_source = nullptr;
    TSparseList<std::unique_ptr<TMyStringGridStrings>> m_rowViews;
    TSparseList<std::unique_ptr<TMyStringGridStrings>> m_colViews;
    int m_viewUpdates = 0;
    bool m_repaintDue = false;
    bool m_editorWriting = false;
};

template <typename TextOf> void TMyStringGrid::ReplaceDataRows(int rows, int columns, TextOf textOf)
{
    const int first = FixedRows();
    std::vector<TStringSparseList> replaced = FixedRowColumns(columns, first + rows);
    for (int k = 0; k < rows; ++k) {
        for (int col = 0; col < columns; ++col)
            replaced[col].Put(first + k, textOf(col, k));
    }
    TakeColumns(std::move(replaced), first + rows);
}
