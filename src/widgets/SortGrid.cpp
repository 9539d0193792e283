// The sortable protocol grid: multi-key sorting, header clicks, the per-cell
// format callback and its drawing, selection bookkeeping, edit validation,
// incremental search, column fitting and saving as semicolon text.
#include "widgets/SortGrid.h"

#include "platform/Platform.h"
#include "protocol/ProtocolFiles.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <numeric>

namespace {

const int kHeaderClickZone = 5; // pixels beside a border that belong to column sizing
const int kAutoFitZone = 3;     // pixels beside a border where a double-click fits the column
const int kArrowSpace = 12;     // header pixels taken by the sort arrow
const int kDragDistance = 10;

bool IsChecked(const QString &text)
{
    return text == QLatin1String("true") || text == QLatin1String("1") ||
           text == QLatin1String("V");
}

bool IsPrintableLatin1(const QString &text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar ch) { return ch.unicode() >= 0x20 && ch.unicode() <= 0xff; });
}

QString Upper(QChar ch)
{
    return QString(ch >= QLatin1Char('a') && ch <= QLatin1Char('z') ? QChar(ch.unicode() - 32)
                                                                    : ch);
}

} // namespace

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
    const TStringSparseList *data = ColumnData(col);
    for (int row : order)
        keys << (data ? data->Get(row) : QString());
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

void TSortGrid::AutoSizeCol(int col, bool force)
{
    if (ColWidths(col) == -1 && !force)
        return;
    SetColWidths(col, FittedColWidth(col));
}

int TSortGrid::FittedColWidth(int col)
{
    const QList<QString> texts = ColumnTexts(col);
    return FittedWidth(col, RowCount(), StoredText(texts), [this, col](int row) {
        return CellFormat(col, row, row == 0 ? gdFixed : TGridDrawState{}).Font;
    });
}

int TSortGrid::FittedColWidthInGridFont(int col)
{
    const QList<QString> texts = ColumnTexts(col);
    return FittedWidth(col, RowCount(), StoredText(texts), {});
}

int TSortGrid::FittedColWidthInGridFont(int col, int rows,
                                        const std::function<const QString &(int k)> &dataText)
{
    const QString header = Cells(col, 0);
    return FittedWidth(
        col, rows + 1,
        [&](int row) -> const QString & { return row == 0 ? header : dataText(row - 1); }, {});
}

// Row by row through a column's shared texts, no text copied.
std::function<const QString &(int row)> TSortGrid::StoredText(const QList<QString> &texts)
{
    return [&texts](int row) -> const QString & {
        static const QString none;
        return row < texts.size() ? texts[row] : none;
    };
}

// The data texts are grouped by the font they are drawn in; of each group
// a longest text is measured first, then only the texts that could still
// be wider than the widest so far, as no character of a font is wider than
// its widest one. Texts outside printable Latin-1 may be drawn from other
// fonts and are always measured. A group keeps its rows and their lengths,
// not their texts: the lengths alone rule out nearly every text. Without
// fontOf every cell is in the grid's font.
int TSortGrid::FittedWidth(int col, int rowCount,
                           const std::function<const QString &(int row)> &textOf,
                           const std::function<QFont(int row)> &fontOf)
{
    struct Length
    {
        int row;
        qsizetype size;
    };
    struct FontTexts
    {
        QFont font;
        std::vector<Length> lengths;
        Length longest{0, 0};
    };
    int widest = 0;
    std::vector<FontTexts> byFont;
    std::size_t group = 0; // of the previous cell
    const QFont gridFont = font();
    QFont rowFont;
    for (int row = 0; row < rowCount; ++row) {
        const QString &text = textOf(row);
        if (row > 0 && text.isEmpty())
            continue;
        const QFont &cellFont = fontOf ? (rowFont = fontOf(row)) : gridFont;
        if (row == 0 || !IsPrintableLatin1(text)) {
            int width = QFontMetrics(cellFont).horizontalAdvance(text);
            if (row == 0 && col == m_sortOptions.SortCol() && m_sortOptions.CanSort())
                width += kArrowSpace;
            widest = std::max(widest, width);
            continue;
        }
        // Most cells share the previous cell's font; without fontOf all do.
        if (group >= byFont.size() || (fontOf && !(byFont[group].font == cellFont))) {
            group = std::size_t(
                std::find_if(byFont.begin(), byFont.end(),
                             [&](const FontTexts &entry) { return entry.font == cellFont; }) -
                byFont.begin());
            if (group == byFont.size()) {
                byFont.push_back({cellFont, {}, {row, 0}});
                // The first font found is the one nearly every cell keeps.
                if (group == 0)
                    byFont.front().lengths.reserve(std::size_t(rowCount - row));
            }
        }
        FontTexts &texts = byFont[group];
        texts.lengths.push_back({row, text.size()});
        if (text.size() > texts.longest.size)
            texts.longest = {row, text.size()};
    }
    for (const FontTexts &texts : byFont) {
        const QFontMetrics fm(texts.font);
        const int widestCharacter = fm.maxWidth();
        widest = std::max(widest, fm.horizontalAdvance(textOf(texts.longest.row)));
        for (const Length &length : texts.lengths) {
            if (length.size * widestCharacter > widest)
                widest = std::max(widest, fm.horizontalAdvance(textOf(length.row)));
        }
    }
    const QFontMetrics fm(font());
    return widest <= 0 ? fm.horizontalAdvance(QStringLiteral("xx"))
                       : widest + fm.horizontalAdvance(QLatin1Char('X'));
}

void TSortGrid::AutoSizeColumns(bool force)
{
    // Inside a caller's bracket a bracket of our own would end the caller's.
    const bool bracket = !NowUpdating();
    if (bracket)
        BeginUpdate();
    for (int col = 0; col < ColCount(); ++col)
        AutoSizeCol(col, force);
    if (bracket)
        EndUpdate();
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

// ---- cell format and drawing

TFormatOptions TSortGrid::CellFormat(int col, int row, TGridDrawState state, bool *checkBox,
                                     bool *comboBox, bool *ellipsis)
{
    const bool highlight = IsHighlighted(state);
    TFormatOptions format;
    format.Brush = QBrush(CellBackground(state));
    format.Font = font();
    format.FontColor = palette().color(highlight ? QPalette::HighlightedText : QPalette::Text);
    format.AlignmentHorz = m_alignmentHorz;
    format.AlignmentVert = m_alignmentVert;
    format.Bevel = m_bevelStyle;
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    format.HilightColor = m_bevelStyle == cbRaised    ? light
                          : m_bevelStyle == cbLowered ? dark
                                                      : palette().color(QPalette::Base);
    format.ShadowColor = m_bevelStyle == cbRaised    ? dark
                         : m_bevelStyle == cbLowered ? light
                                                     : palette().color(QPalette::Base);
    bool check = false, combo = false, dots = false;
    if (OnGetCellFormat)
        OnGetCellFormat(this, col, row, state, format, check, combo, dots);
    if (checkBox)
        *checkBox = check;
    if (comboBox)
        *comboBox = combo;
    if (ellipsis)
        *ellipsis = dots;
    return format;
}

QString TSortGrid::ShortenedHeaderText(const QString &text, int width, const QFontMetrics &fm)
{
    if (fm.horizontalAdvance(text) <= width || text.size() < 2)
        return text;
    QString shortened = text;
    shortened.replace(shortened.size() - 2, 2, QStringLiteral(".."));
    while (shortened.size() > 3 && fm.horizontalAdvance(shortened) > width)
        shortened.remove(shortened.size() - 3, 1);
    return shortened;
}

void TSortGrid::DrawCell(QPainter &painter, int col, int row, const QRect &rect,
                         TGridDrawState state)
{
    const bool header = row < FixedRows();
    if (!header && (NowUpdating() || m_hideRows))
        return;
    bool checkBox = false, comboBox = false, ellipsis = false;
    TFormatOptions format = CellFormat(col, row, state, &checkBox, &comboBox, &ellipsis);
    const bool rangeRow = Options().testFlag(goRangeSelect) && row >= Selection().Top &&
                          row <= Selection().Bottom && !header;
    const bool multiRow = m_multiSelect && !header && !Options().testFlag(goEditing) &&
                          m_selectedRows.contains(QString::number(row));
    if (rangeRow || multiRow) {
        format.FontColor = palette().color(QPalette::HighlightedText);
        format.Brush = palette().color(QPalette::Highlight);
    } else {
        const TFontSetting *setting = nullptr;
        if (col < static_cast<int>(m_colFonts.size()) && m_colFonts[col].Active)
            setting = &m_colFonts[col];
        else if (row < static_cast<int>(m_rowFonts.size()) && m_rowFonts[row].Active)
            setting = &m_rowFonts[row];
        if (setting) {
            format.FontColor = setting->FontColor;
            format.Brush = setting->BackColor;
            format.Font.setBold(setting->Bold);
            format.Font.setItalic(setting->Italic);
            format.Font.setUnderline(setting->Underline);
        }
    }
    // The cell is filled with its usual colour already.
    if (format.Brush != QBrush(CellBackground(state)))
        painter.fillRect(rect, format.Brush);
    painter.setFont(format.Font);
    painter.setPen(format.FontColor);
    const QFontMetrics fm(format.Font);
    const bool sortHeader = header && col == m_sortOptions.SortCol() && m_sortOptions.CanSort();
    QString text = Cells(col, row);
    if (header)
        text = ShortenedHeaderText(text, rect.width() - (sortHeader ? kArrowSpace : 1), fm);
    const TCellTextCache::Laid *laid = &m_textCache.LaidOut(text, format.Font);
    // A text longer than its cell ends in "…"; its tooltip shows it whole.
    const int room = CellTextRoom(rect);
    if (!header && laid->width > room)
        laid = &m_textCache.LaidOut(fm.elidedText(text, Qt::ElideRight, room), format.Font);
    const int textWidth = laid->width;
    const int textHeight = fm.height();
    int x = format.AlignmentHorz == taRightJustify ? rect.width() - textWidth - 2
            : format.AlignmentHorz == taCenter     ? (rect.width() - textWidth) / 2
                                                   : 2;
    const int y = format.AlignmentVert == taBottomJustify ? rect.height() - textHeight - 3
                  : format.AlignmentVert == taMiddle      ? (rect.height() - textHeight) / 2
                                                          : 2;
    if (sortHeader) {
        x += 10;
        DrawSortArrow(painter, rect);
    }
    if (checkBox)
        DrawDecoration(painter, rect, col, row, true, false, false);
    else
        painter.drawStaticText(rect.left() + x, rect.top() + y, laid->glyphs);
    if (!header && (comboBox || ellipsis))
        DrawDecoration(painter, rect, col, row, false, comboBox, ellipsis);
    if (!header && format.Bevel != cbNone)
        DrawBevel(painter, rect, format);
    RaiseDrawCell(col, row, rect, state);
}

void TSortGrid::DrawSortArrow(QPainter &painter, const QRect &rect) const
{
    const int width = rect.width() <= 10 ? rect.width() - 3 : 8;
    const QRect arrow(rect.left() + 3, RowHeights(0) / 2 - 4, width, 7);
    const bool up = m_sortOptions.SortDirection() == sdAscending;
    const QPoint apex(arrow.center().x(), up ? arrow.top() : arrow.bottom());
    const QPoint left = up ? arrow.bottomLeft() : arrow.topLeft();
    const QPoint right = up ? arrow.bottomRight() : arrow.topRight();
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(128, 128, 128));
    painter.drawPolygon(QPolygon({apex, right, left}));
    // Lit from the top left, like a raised button.
    painter.setPen(light);
    painter.drawLine(left, apex);
    painter.setPen(up ? dark : light);
    painter.drawLine(left, right);
    painter.setPen(dark);
    painter.drawLine(apex, right);
    painter.restore();
}

void TSortGrid::DrawBevel(QPainter &painter, const QRect &rect, const TFormatOptions &format) const
{
    if (Options().testFlag(goFixedVertLine)) {
        painter.fillRect(rect.left(), rect.top(), 1, rect.height(), format.HilightColor);
        painter.fillRect(rect.right(), rect.top(), 1, rect.height(), format.ShadowColor);
    }
    if (Options().testFlag(goFixedHorzLine)) {
        painter.fillRect(rect.left(), rect.top(), rect.width(), 1, format.HilightColor);
        painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, format.ShadowColor);
    }
}

void TSortGrid::DrawDecoration(QPainter &painter, const QRect &rect, int col, int row,
                               bool checkBox, bool comboBox, bool ellipsis)
{
    QStyleOptionButton option;
    option.initFrom(this);
    if (checkBox) {
        option.rect = QRect(rect.center().x() - 8, rect.center().y() - 8, 16, 16);
        option.state |= IsChecked(Cells(col, row)) ? QStyle::State_On : QStyle::State_Off;
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
        return;
    }
    const bool currentRow = row == Row();
    const bool show = comboBox ? (currentRow && (col == Col() || EditorMode()))
                               : (ellipsis && currentRow && col != Col());
    if (!show)
        return;
    const int width = std::min(16, rect.width());
    option.rect = QRect(rect.right() - width + 1, rect.top(), width, rect.height());
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
    if (comboBox) {
        QStyleOption arrow = option;
        style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
    } else {
        painter.drawText(option.rect, Qt::AlignCenter, QStringLiteral("..."));
    }
}

// ---- check box, drop-down and filter facilities

void TSortGrid::ToggleCheckBox(int col, int row)
{
    const bool checked = !IsChecked(Cells(col, row));
    SetCells(col, row, checked ? QStringLiteral("V") : QString());
    SetModified(true);
    if (OnSetChecked)
        OnSetChecked(this, col, row, checked);
}

void TSortGrid::OpenComboBox(int col, int row)
{
    QStringList items;
    int width = ColWidths(col);
    int height = 0;
    bool sorted = false;
    if (OnGetComboBox)
        OnGetComboBox(this, col, row, items, width, height, sorted);
    if (items.isEmpty())
        return;
    if (sorted)
        items.sort();
    auto *list = new QListWidget(this);
    list->setWindowFlags(Qt::Popup);
    list->setAttribute(Qt::WA_DeleteOnClose);
    list->addItems(items);
    const int rowHeight = list->sizeHintForRow(0);
    const int shown = std::min<int>(10, items.size());
    const QRect cell = CellRect(col, row);
    list->setGeometry(QRect(viewport()->mapToGlobal(cell.bottomLeft()),
                            QSize(width, height > 0 ? height : rowHeight * shown + 4)));
    const int current = items.indexOf(Cells(col, row));
    list->setCurrentRow(std::max(0, current));
    auto commit = [this, list, col, row] {
        if (QListWidgetItem *item = list->currentItem()) {
            SetCells(col, row, item->text());
            SetModified(true);
            if (OnSetComboBox)
                OnSetComboBox(this, col, row, item->text());
        }
        list->close();
    };
    connect(list, &QListWidget::itemClicked, list, commit);
    connect(list, &QListWidget::itemActivated, list, commit);
    list->show();
}

void TSortGrid::ApplyFilter(bool on)
{
    if (on) {
        m_filteredRowCount = RowCount();
        std::vector<int> accepted, rejected;
        for (int row = 1; row < RowCount(); ++row) {
            bool accept = true;
            if (OnSetFilter)
                OnSetFilter(row, accept);
            (accept ? accepted : rejected).push_back(row);
        }
        const int shown = static_cast<int>(accepted.size());
        accepted.insert(accepted.end(), rejected.begin(), rejected.end());
        BeginUpdate();
        ReorderDataRows(accepted);
        SetRowCount(std::max(2, shown + 1));
        EndUpdate();
    } else if (m_filteredRowCount > 0) {
        BeginUpdate();
        SetRowCount(std::exchange(m_filteredRowCount, -1));
        EndUpdate();
    }
    SortByColumn(m_sortOptions.SortCol());
}

// ---- editing and validation

void TSortGrid::RememberEdit()
{
    m_pendingEdit = {Col(), Row(), Cells(Col(), Row()), m_modified};
}

void TSortGrid::ValidateEdit()
{
    const PendingEdit pending = m_pendingEdit;
    if (!Options().testFlag(goEditing) || pending.row < 0 || pending.row >= RowCount() ||
        pending.col >= ColCount())
        return;
    const QString current = Cells(pending.col, pending.row);
    if (current == pending.text)
        return;
    QString newValue = current;
    bool valid = true;
    if (OnCellValidate)
        OnCellValidate(this, pending.col, pending.row, pending.text, newValue, valid);
    if (valid) {
        SetCells(pending.col, pending.row, newValue);
    } else {
        SetCells(pending.col, pending.row, newValue != current ? newValue : pending.text);
        m_modified = pending.modified;
    }
    RememberEdit();
}

void TSortGrid::EditorClosed()
{
    InvalidateGrid();
}

void TSortGrid::DoEnter()
{
    RememberEdit();
}

void TSortGrid::DoExit()
{
    ValidateEdit();
    TMyStringGrid::DoExit();
}

// ---- keyboard

bool TSortGrid::HandleKey(QKeyEvent *event)
{
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    if (m_extendedKeys && ctrl &&
        (event->key() == Qt::Key_Insert || event->key() == Qt::Key_Delete)) {
        const bool insert = event->key() == Qt::Key_Insert;
        if (shift)
            insert ? InsertColumn(Col()) : DeleteColumn(Col());
        else
            insert ? InsertRow(Row()) : DeleteRow(Row());
        return true;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        ValidateEdit();
    if (m_multiSelect && shift && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        const int row =
            std::clamp(Row() + (event->key() == Qt::Key_Up ? -1 : 1), 1, RowCount() - 1);
        MoveColRow(Col(), row, false, true);
        const int anchor = m_selectionAnchor.isEmpty() ? row : m_selectionAnchor.first().toInt();
        m_selectedRows.clear();
        for (int r = std::min(anchor, row); r <= std::max(anchor, row); ++r)
            m_selectedRows << QString::number(r);
        if (OnRowSelected)
            OnRowSelected(this);
        InvalidateGrid();
        return true;
    }
    if (event->key() == Qt::Key_Space && !EditorMode() && Row() >= FixedRows()) {
        bool checkBox = false, comboBox = false, ellipsis = false;
        CellFormat(Col(), Row(), gdFocused, &checkBox, &comboBox, &ellipsis);
        if (checkBox)
            ToggleCheckBox(Col(), Row());
        else if (comboBox)
            OpenComboBox(Col(), Row());
        else if (ellipsis && OnSetEllipsis)
            OnSetEllipsis(this, Col(), Row());
        if (checkBox || comboBox || ellipsis)
            return true;
    }
    const QString text = event->text();
    // Typing searches only while browsing; while editing it belongs to the cell.
    const bool alt = event->modifiers().testFlag(Qt::AltModifier);
    if (text.size() == 1 && text.at(0).isPrint() && !ctrl && !alt && !EditorMode() &&
        !CanEditShow()) {
        IncrementalSearch(Upper(text.at(0)).at(0));
        return true;
    }
    return TMyStringGrid::HandleKey(event);
}

void TSortGrid::IncrementalSearch(QChar ch)
{
    const int col = m_sortOptions.SortCol();
    if (col < 0 || col >= ColCount() || RowCount() < 2)
        return;
    auto matches = [&](int row) {
        const QString text = Cells(col, row);
        return !text.isEmpty() && Upper(text.at(0)).at(0) == ch;
    };
    for (int row = Row() + 1; row < RowCount(); ++row) {
        if (matches(row))
            return GoToCell(col, row, true);
    }
    for (int row = 1; row <= Row() && row < RowCount(); ++row) {
        if (matches(row))
            return GoToCell(col, row, true);
    }
}

// ---- mouse

void TSortGrid::HeaderMouseRelease(QMouseEvent *event, const TGridCoord &pressed)
{
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    if (cell.Y < 0 || cell.Y >= FixedRows() || cell.X < 0 || cell.X != pressed.X)
        return;
    const int left = ColumnLeft(cell.X);
    const int right = left + ColWidths(cell.X);
    if (pos.x() - left < kHeaderClickZone || right - pos.x() < kHeaderClickZone)
        return;
    const bool toggle =
        m_sortOptions.SortDirection() == sdAscending && cell.X == m_sortOptions.SortCol();
    m_sortOptions.SetSortDirection(event->button() == Qt::RightButton || toggle ? sdDescending
                                                                                : sdAscending);
    SortByColumn(cell.X);
}

void TSortGrid::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    if (EditorMode())
        ValidateEdit();
    m_dragArmed = false;
    const bool dataCell = cell.X >= 0 && cell.Y >= FixedRows();
    if (event->button() == Qt::LeftButton && dataCell && m_multiSelect) {
        m_dragArmed = m_selectedRows.contains(QString::number(cell.Y)) &&
                      !event->modifiers().testFlag(Qt::ControlModifier);
        m_dragStart = pos;
        if (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) {
            const QString row = QString::number(cell.Y);
            if (event->modifiers().testFlag(Qt::ControlModifier)) {
                if (!m_selectedRows.removeOne(row))
                    m_selectedRows << row;
            } else {
                const int anchor =
                    m_selectionAnchor.isEmpty() ? cell.Y : m_selectionAnchor.first().toInt();
                m_selectedRows.clear();
                for (int r = std::min(anchor, cell.Y); r <= std::max(anchor, cell.Y); ++r)
                    m_selectedRows << QString::number(r);
            }
            MoveColRow(cell.X, cell.Y, false, true);
            if (OnRowSelected)
                OnRowSelected(this);
            InvalidateGrid();
            return;
        }
    }
    if (m_dragArmed)
        return;
    TMyStringGrid::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && dataCell && Current() == cell) {
        bool checkBox = false, comboBox = false, ellipsis = false;
        CellFormat(cell.X, cell.Y, gdFocused, &checkBox, &comboBox, &ellipsis);
        const QRect rect = CellRect(cell.X, cell.Y);
        const bool onButton = pos.x() > rect.right() - std::min(16, rect.width());
        if (checkBox)
            ToggleCheckBox(cell.X, cell.Y);
        else if (comboBox && onButton)
            OpenComboBox(cell.X, cell.Y);
        else if (ellipsis && onButton && OnSetEllipsis)
            OnSetEllipsis(this, cell.X, cell.Y);
    }
}

void TSortGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragArmed && event->buttons() == Qt::LeftButton) {
        const QPoint delta = event->position().toPoint() - m_dragStart;
        if (std::abs(delta.x()) > kDragDistance || std::abs(delta.y()) > kDragDistance) {
            m_dragArmed = false;
            auto *drag = new QDrag(this);
            auto *mime = new QMimeData;
            mime->setText(m_selectedRows.join(QLatin1Char(',')));
            drag->setMimeData(mime);
            drag->exec(Qt::CopyAction);
        }
        return;
    }
    TMyStringGrid::mouseMoveEvent(event);
}

void TSortGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    if (std::exchange(m_dragArmed, false)) {
        // A press on a selected row that did not become a drag selects that row.
        TMyStringGrid::mousePressEvent(event);
    }
    if (event->button() == Qt::RightButton && cell.Y >= FixedRows() && m_popupMenu) {
        m_popupMenu->popup(event->globalPosition().toPoint());
        return;
    }
    TMyStringGrid::mouseReleaseEvent(event);
}

void TSortGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    if (event->button() == Qt::LeftButton && cell.Y >= 0 && cell.Y < FixedRows()) {
        const int border = ColumnBorderAt(pos.x(), kAutoFitZone);
        if (border >= 0) {
            AutoSizeCol(border, true);
            return;
        }
    }
    TMyStringGrid::mouseDoubleClickEvent(event);
}

void TSortGrid::wheelEvent(QWheelEvent *event)
{
    // Two rows per notch; the current cell stays where it is.
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        SetTopRow(TopRow() - 2 * notches);
    event->accept();
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
