// Fitting the protocol grid's columns to their texts.
#include "widgets/SortGrid.h"

#include <QFontMetrics>

#include <algorithm>

namespace {

bool IsPrintableLatin1(QStringView text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar ch) { return ch.unicode() >= 0x20 && ch.unicode() <= 0xff; });
}

} // namespace

void TSortGrid::AutoSizeCol(int col, bool force)
{
    if (ColWidths(col) == -1 && !force)
        return;
    SetColWidths(col, FittedColWidth(col));
}

int TSortGrid::FittedColWidth(int col)
{
    const QList<QString> texts = ColumnTexts(col);
    return FittedWidth(col, RowCount(), TextOf(col, texts), [this, col](int row) {
        return CellFormat(col, row, row == 0 ? gdFixed : TGridDrawState{}).Font;
    });
}

int TSortGrid::FittedColWidthInGridFont(int col)
{
    const QList<QString> texts = ColumnTexts(col);
    return FittedWidth(col, RowCount(), TextOf(col, texts), {});
}

int TSortGrid::FittedColWidthInGridFont(int col, int rows,
                                        const std::function<QStringView(int k)> &dataText)
{
    const QString header = Cells(col, 0);
    return FittedWidth(col, rows + 1,
                       [&](int row) { return row == 0 ? QStringView(header) : dataText(row - 1); },
                       {});
}

// Row by row through a column's shared texts (or its source's), no text copied.
std::function<QStringView(int row)> TSortGrid::TextOf(int col, const QList<QString> &texts) const
{
    const auto stored = [&texts](int row) {
        return row < texts.size() ? QStringView(texts[row]) : QStringView();
    };
    const TGridCellSource *source = CellSource();
    if (!source)
        return stored;
    return [stored, source, col, fixed = FixedRows()](int row) {
        return row < fixed ? stored(row) : source->CellText(col, row - fixed);
    };
}

// The data texts are grouped by the font they are drawn in; of each group
// a longest text is measured first, then only the texts that could still
// be wider than the widest so far, as no character of a font is wider than
// its widest one. Texts outside printable Latin-1 may be drawn from other
// fonts and are always measured. A group keeps its rows and their lengths,
// not their texts: the lengths alone rule out nearly every text. Without
// fontOf every cell is in the grid's font.
int TSortGrid::FittedWidth(int col, int rowCount, const std::function<QStringView(int row)> &textOf,
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
        const QStringView text = textOf(row);
        if (row > 0 && text.isEmpty())
            continue;
        const QFont &cellFont = fontOf ? (rowFont = fontOf(row)) : gridFont;
        if (row == 0 || !IsPrintableLatin1(text)) {
            int width = QFontMetrics(cellFont).horizontalAdvance(text.toString());
            if (row == 0 && col == m_sortOptions.SortCol() && m_sortOptions.CanSort())
                width += ArrowSpace;
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
        widest = std::max(widest, fm.horizontalAdvance(textOf(texts.longest.row).toString()));
        for (const Length &length : texts.lengths) {
            if (length.size * widestCharacter > widest)
                widest = std::max(widest, fm.horizontalAdvance(textOf(length.row).toString()));
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
