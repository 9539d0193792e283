// Cell texts laid out once. A grid repaints the same few hundred texts on
// every change, and laying a text out (shaping it into glyphs, measuring
// it) costs far more than drawing the glyphs: each distinct text is laid
// out once per font and drawn from its prepared glyphs afterwards.
#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>

#include <vector>

class TCellTextCache
{
public:
    struct Laid
    {
        QStaticText glyphs; // prepared for the font, drawn at its top left
        int width = 0;      // the text's advance, as QFontMetrics gives it
    };

    // The text laid out in the font; valid until the next call.
    const Laid &LaidOut(const QString &text, const QFont &font);

    // A grid shows a few hundred texts at a time, each laid out text takes
    // about a kilobyte: past these a font's table starts anew, and the font
    // used longest ago goes, rather than growing with every row scrolled past.
    static constexpr int MaxTextsPerFont = 1024;
    static constexpr int MaxFonts = 4;

private:
    struct FontTexts
    {
        QFont font;
        QHash<QString, Laid> texts;
    };
    FontTexts &TextsIn(const QFont &font);

    std::vector<FontTexts> m_fonts; // the last used first
};
