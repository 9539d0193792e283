// Cell texts laid out once per font.
#include "widgets/CellTextCache.h"

#include <QFontMetrics>
#include <QTransform>

#include <algorithm>

const TCellTextCache::Laid &TCellTextCache::LaidOut(const QString &text, const QFont &font)
{
    FontTexts &table = TextsIn(font);
    const auto found = table.texts.constFind(text);
    if (found != table.texts.constEnd())
        return *found;
    if (table.texts.size() >= MaxTextsPerFont)
        table.texts.clear();
    // A text of its own: a cell's text may be a piece of a whole list's,
    // which the cache must not keep alive after the list has gone.
    const QString kept(text.constData(), text.size());
    Laid laid;
    laid.glyphs.setText(kept);
    laid.glyphs.setTextFormat(Qt::PlainText);
    laid.glyphs.prepare(QTransform(), font);
    laid.width = QFontMetrics(font).horizontalAdvance(kept);
    return *table.texts.insert(kept, std::move(laid));
}

TCellTextCache::FontTexts &TCellTextCache::TextsIn(const QFont &font)
{
    auto same = std::find_if(m_fonts.begin(), m_fonts.end(),
                             [&](const FontTexts &table) { return table.font == font; });
    if (same == m_fonts.end()) {
        if (int(m_fonts.size()) >= MaxFonts)
            m_fonts.pop_back();
        m_fonts.insert(m_fonts.begin(), FontTexts{font, {}});
        return m_fonts.front();
    }
    // Cells of one font follow each other: the last used is found first.
    std::rotate(m_fonts.begin(), same, same + 1);
    return m_fonts.front();
}
