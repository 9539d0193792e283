// The sortable protocol grid: its properties, multi-key sorting, selection
// bookkeeping, row and column operations and saving as semicolon text. Its
// drawing, fitting of columns and input handling have files of their own.
#include "widgets/SortGrid.h"

#include "platform/Platform.h"
#include "protocol/ProtocolFiles.h"

#include <QApplication>
#include <QMenu>

#include <algorithm>
#include <numeric>

bool TSortGrid::IsChecked(const QString &text)
{
    return text == QLatin1String("true") || text == QLatin1String("1") ||
           text == QLatin1String("V");
}

TSortGrid::TSortGrid(QWidget *parent) : TMyStringGrid(parent)
{
    SetFixedCols(0);
    m_colFonts.resize(ColCount());
    m_rowFonts.resize(RowCount());
    m_sortOptions.OnChange = [this] { InvalidateGrid(); };
}

TSortGrid::~TSortGrid() = default;

// ---- properties

void TSortGrid::SetHideRows(bool on)
{
    if (on == m_hideRows)
        return;
    m_hideRows = on;
    InvalidateGrid();
}

void TSortGrid::SetFiltered(bool on)
{
    if (on == m_filtered)
        return;
    m_filtered = on;
    ApplyFilter(on);
}

void TSortGrid::SetMultiSelect(bool on)
{
    if (on == m_multiSelect)
        return;
    m_multiSelect = on;
    if (on)
        SetOptions(Options() | goRowSelect);
    InvalidateGrid();
}

void TSortGrid::SetProportionalScrollBars(bool on)
{
    m_proportionalScrollBars = on;
}

void TSortGrid::SetExtendedKeys(bool on)
{
    m_extendedKeys = on;
}

void TSortGrid::SetAlignmentHorz(TAlignment alignment)
{
    if (alignment == m_alignmentHorz)
        return;
    m_alignmentHorz = alignment;
    InvalidateGrid();
}

void TSortGrid::SetAlignmentVert(TVertAlignment alignment)
{
    if (alignment == m_alignmentVert)
        return;
    m_alignmentVert = alignment;
    InvalidateGrid();
}

void TSortGrid::SetBevelStyle(TCellBevelStyle style)
{
    if (style == m_bevelStyle)
        return;
    m_bevelStyle = style;
    InvalidateGrid();
}

void TSortGrid::SetPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
}

void TSortGrid::SetModified(bool on)
{
    m_modified = on;
    if (on && OnModified)
        OnModified(this);
}

TFontSetting &TSortGrid::ColFont(int col)
{
    if (col < 0 || col >= static_cast<int>(m_colFonts.size()))
        throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    return m_colFonts[col];
}

TFontSetting &TSortGrid::RowFont(int row)
{
    if (row < 0 || row >= static_cast<int>(m_rowFonts.size()))
        throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    return m_rowFonts[row];
}

void TSortGrid::SetOptions(TGridOptions options)
{
    TMyStringGrid::SetOptions(options);
    RememberEdit();
}

// ---- sorting

void TSortGrid::SortByColumn(int col)
{
    if (!m_sortOptions.CanSort())
        return;
    m_sortOptions.SetSortCol(col);
    m_sorting = true;
    BeginUpdate();
    try {
        if (OnBeginSort) {
            OnBeginSort(this, col);
            m_sortOptions.SetSortCol(col);
        }
        std::vector<int> order(std::max(0, RowCount() - 1));
        std::iota(order.begin(), order.end(), 1);
        std::vector<int> keys = SortKeyColumns(col, m_sortOptions.SecondaryIndex());
        std::erase_if(keys, [this](int key) { return key < 0 || key >= ColCount(); });
        TSortStyle style = ssAutomatic;
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            style = KeyStyle(*key, style);
            order = SortPass(order, ColumnKeys(*key, order), style, m_sortOptions.SortDirection(),
                             m_sortOptions.SortCaseSensitive(), m_sortOptions.SortCompare);
        }
        ReorderDataRows(order);
        FollowSelectedRows(order);
    } catch (...) {
        m_sorting = false;
        m_sortOptions.SortCompare = nullptr;
        EndUpdate();
        throw;
    }
    m_sorting = false;
    m_sortOptions.SortCompare = nullptr;
    if (OnEndSort)
        OnEndSort(this, col);
    EndUpdate();
    RememberEdit();
}

TSortStyle TSortGrid::KeyStyle(int col, TSortStyle previous)
{
    if (OnGetSortStyle) {
        OnGetSortStyle(this, col, previous);
        m_sortOptions.SetSortStyle(previous);
    } else if (m_sortOptions.SortStyle() == ssAutomatic) {
        std::vector<int> rows(std::max(0, RowCount() - 1));
        std::iota(rows.begin(), rows.end(), 1);
        m_sortOptions.SetSortStyle(DetectSortStyle(ColumnKeys(col, rows)));
    }
    return m_sortOptions.SortStyle();
}

QStringList TSortGrid::ColumnKeys(int col, const std::vector<int> &order) const
{
    QStringList keys;
    keys.reserve(order.size());
    if (const TGridCellSource *source = CellSource()) {
        // The keys view the texts where the source keeps them, which stay
        // put until the sort is done: a sort of 100 000 rows then copies
        // no text.
        for (int row : order) {
            const QStringView text = source->CellText(col, row - FixedRows());
            keys << QString::fromRawData(text.data(), text.size());
        }
        return keys;
    }
    const TStringSparseList *stored = ColumnData(col);
    for (int row : order)
        keys << (stored ? stored->Get(row) : QString());
    return keys;
}

// The current row follows its data: order[k] is the row that moved to k + 1.
void TSortGrid::FollowSelectedRows(const std::vector<int> &order)
{
    std::vector<int> remembered;
    for (const QString &row : m_selectedRows)
        remembered.push_back(row.toInt());
    std::sort(remembered.begin(), remembered.end());
    bool first = true;
    for (size_t k = 0; k < order.size(); ++k) {
        if (!std::binary_search(remembered.begin(), remembered.end(), order[k]))
            continue;
        const int row = static_cast<int>(k) + 1;
        if (first) {
            SetRow(row);
            m_selectedRows.clear();
            m_selectionAnchor.clear();
            first = false;
        }
        m_selectedRows << QString::number(row);
        m_selectionAnchor << QString::number(row);
    }
}

// ---- row and column operations

void TSortGrid::ClearRows()
{
    BeginUpdate();
    std::fill(m_colFonts.begin(), m_colFonts.end(), TFontSetting{});
    std::fill(m_rowFonts.begin(), m_rowFonts.end(), TFontSetting{});
    for (int row = 1; row < RowCount(); ++row)
        Rows(row)->Clear();
    SetRowCount(2);
    AutoSizeColumns(true);
    MoveColRow(0, 1, true, false);
    ScrollToCell(0, 1);
    SelectOnly(1);
    m_modified = false;
    EndUpdate();
    if (OnRowSelected)
        OnRowSelected(this);
}

CellRows TSortGrid::TableRows() const
{
    CellRows rows;
    rows.reserve(RowCount());
    for (int row = 0; row < RowCount(); ++row) {
        QStringList cells;
        cells.reserve(ColCount());
        for (int col = 0; col < ColCount(); ++col)
            cells << Cells(col, row);
        rows << cells;
    }
    return rows;
}

bool TSortGrid::SaveToFile(const QString &fileName)
{
    if (ReplaceFileContents(fileName, SemicolonProtocol(TableRows()), nullptr))
        return true;
    CurrentPlatform().MessageBox(this, QApplication::applicationDisplayName(),
                                 QStringLiteral("Can't write to file:\r") + fileName,
                                 Platform::MessageKind::Error);
    return false;
}

void TSortGrid::GoToCell(int col, int row, bool scroll)
{
    if (RowCount() < 2)
        throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    col = std::clamp(col, 0, ColCount() - 1);
    row = std::clamp(row, 1, RowCount() - 1);
    if (!SelectCell(col, row))
        return;
    MoveColRow(col, row, true, false);
    SelectOnly(row);
    InvalidateGrid();
    if (scroll)
        ScrollToCell(col, row);
}

void TSortGrid::ScrollToCell(int col, int row)
{
    if (RowCount() < 2)
        return;
    col = std::clamp(col, 0, ColCount() - 1);
    row = std::clamp(row, 1, RowCount() - 1);
    ShowCell(col, TopRow());
    int top = std::max(1, RowCount() - VisibleRowCount());
    if (top >= row)
        top = std::max(1, row - 1);
    SetTopRow(top);
}

void TSortGrid::InsertRow(int row)
{
    SetRowCount(RowCount() + 1);
    const int last = RowCount() - 1;
    int target = last;
    if (row >= 1 && row < last) {
        MoveRow(last, row);
        target = row;
    }
    Rows(target)->Clear();
    MoveColRow(Col(), target, true, true);
    SelectOnly(target);
    if (OnRowInsert)
        OnRowInsert(this, target);
}

void TSortGrid::InsertColumn(int col)
{
    SetColCount(ColCount() + 1);
    const int last = ColCount() - 1;
    col = std::clamp(col, 0, last);
    MoveColumn(last, col);
    Cols(col)->Clear();
    MoveColRow(col, Row(), true, true);
    if (OnColumnInsert)
        OnColumnInsert(this, col);
}

void TSortGrid::ExchangeRows(int a, int b)
{
    if (a == b)
        return;
    const int low = std::min(a, b);
    const int high = std::max(a, b);
    MoveRow(low, high);
    MoveRow(high - 1, low);
}

template <typename Fn> void TSortGrid::WithoutAlwaysShowEditor(Fn fn)
{
    const bool always = Options().testFlag(goAlwaysShowEditor);
    if (always)
        TMyStringGrid::SetOptions(Options() & ~TGridOptions(goAlwaysShowEditor));
    try {
        fn();
    } catch (...) {
        if (always)
            TMyStringGrid::SetOptions(Options() | goAlwaysShowEditor);
        throw;
    }
    if (always)
        TMyStringGrid::SetOptions(Options() | goAlwaysShowEditor);
}

void TSortGrid::DeleteRow(int row)
{
    WithoutAlwaysShowEditor([&] {
        if (RowCount() < 3) {
            Rows(1)->Clear();
            if (m_rowFonts.size() > 1)
                m_rowFonts[1] = TFontSetting{};
        } else {
            TMyStringGrid::DeleteRow(row);
        }
    });
    SetModified(true);
    if (OnRowDelete)
        OnRowDelete(this, row);
}

void TSortGrid::DeleteColumn(int col)
{
    WithoutAlwaysShowEditor([&] {
        Cols(col)->Clear();
        TMyStringGrid::DeleteColumn(col);
    });
    if (OnColumnDelete)
        OnColumnDelete(this, col);
}

void TSortGrid::BeginUpdate()
{
    if (!NowUpdating())
        m_savedUpdateOnSizeChange = m_sortOptions.UpdateOnSizeChange();
    m_sortOptions.SetUpdateOnSizeChange(false);
    TMyStringGrid::BeginUpdate();
}

void TSortGrid::EndUpdate()
{
    TMyStringGrid::EndUpdate();
    m_sortOptions.SetUpdateOnSizeChange(m_savedUpdateOnSizeChange);
    if (OnEndUpdate)
        OnEndUpdate(this);
}

// The cell holds the new text before anyone hears of the change: whoever
// keeps a copy of the grid on OnModified copies the text just typed.
void TSortGrid::SetEditText(int col, int row, const QString &value)
{
    const bool changed = Cells(col, row) != value;
    TMyStringGrid::SetEditText(col, row, value);
    if (!changed)
        return;
    m_editedRow = row;
    SetModified(true);
    m_editedRow = -1;
}

// ---- overridden behaviour of the base

bool TSortGrid::SelectCell(int col, int row)
{
    if (!m_sorting && (col != Col() || row != Row()))
        ValidateEdit();
    if (!TMyStringGrid::SelectCell(col, row))
        return false;
    const int oldRow = Row();
    SelectOnly(row);
    if (OnRowSelected)
        OnRowSelected(this);
    InvalidateRow(oldRow);
    InvalidateRow(row);
    m_pendingEdit = {col, row, Cells(col, row), m_modified};
    return true;
}

void TSortGrid::SelectOnly(int row)
{
    m_selectedRows = QStringList{QString::number(row)};
    m_selectionAnchor = m_selectedRows;
}

void TSortGrid::SizeChanged(int oldColCount, int oldRowCount)
{
    SetModified(true);
    if (m_sortOptions.UpdateOnSizeChange())
        SortByColumn(m_sortOptions.SortCol());
    if (!NowUpdating()) {
        try {
            GoToCell(0, 1, true);
        } catch (const std::exception &) {
            // A grid without data rows has nowhere to go; the box below says so.
        }
    }
    m_colFonts.resize(ColCount());
    m_rowFonts.resize(RowCount());
    if (RowCount() < 2)
        CurrentPlatform().MessageBox(this, QApplication::applicationDisplayName(),
                                     QStringLiteral("Rowsize too small"),
                                     Platform::MessageKind::Information);
    if (OnSizeChanged)
        OnSizeChanged(this, oldColCount, oldRowCount);
}

void TSortGrid::ColumnMoved(int fromIndex, int toIndex)
{
    TMyStringGrid::ColumnMoved(fromIndex, toIndex);
    MoveListEntry(m_colFonts, fromIndex, toIndex);
    m_sortOptions.SetSortCol(FollowMove(m_sortOptions.SortCol(), fromIndex, toIndex));
    SetModified(true);
}

void TSortGrid::RowMoved(int fromIndex, int toIndex)
{
    TMyStringGrid::RowMoved(fromIndex, toIndex);
    MoveListEntry(m_rowFonts, fromIndex, toIndex);
}

void TSortGrid::ColWidthsChanged()
{
    TMyStringGrid::ColWidthsChanged();
    if (OnColumnWidthsChanged)
        OnColumnWidthsChanged(this);
}

void TSortGrid::RowHeightsChanged()
{
    TMyStringGrid::RowHeightsChanged();
    if (OnRowHeightsChanged)
        OnRowHeightsChanged(this);
}

void TSortGrid::resizeEvent(QResizeEvent *event)
{
    TMyStringGrid::resizeEvent(event);
    StretchLastColumn();
}

void TSortGrid::StretchLastColumn()
{
    const int last = ColCount() - 1;
    if (ColumnLeft(last) < 0)
        return;
    int before = 0;
    int visible = 0;
    for (int col = LeftCol(); col < last; ++col) {
        before += ColWidths(col);
        ++visible;
    }
    const int width = viewport()->width() - before - (visible + 1) - 3;
    if (width > 0)
        SetColWidths(last, width);
    InvalidateGrid();
}
