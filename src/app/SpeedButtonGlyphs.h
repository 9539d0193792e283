// Small pictures for the protocol's speed buttons, drawn here so that the
// buttons look the same on every desktop theme.
#pragma once

#include <QIcon>

enum class SpeedGlyph {
    ClearAll,
    RemoveRow,
    Certificates,
    Print,
    WordProcessor,
    Spreadsheet,
    WebPage
};

QIcon SpeedButtonGlyph(SpeedGlyph glyph);
