// The protocol grid's cells: their format as the owner asks for it, and
// their drawing with the sort arrow, bevels, check boxes and buttons.
#include "widgets/SortGrid.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

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
        text = ShortenedHeaderText(text, rect.width() - (sortHeader ? ArrowSpace : 1), fm);
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
