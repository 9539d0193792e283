// The time penalties a stopped lane can be given, one button per entry and
// lane, standing in this order between "STOPP" and "Disqulifikation". The
// table makes the buttons, colours them while they can be pressed, wires
// them to the protocol and names them: a new penalty is one more entry.
#pragma once

#include <QColor>
#include <array>
#include <cstddef>
#include <stdexcept>

class TBitBtnWithColor;

struct LanePenalty
{
    int seconds;
    QRgb face;     // the button's colour while it can be pressed
    bool darkFace; // its caption is written in white to stay readable
};

inline constexpr std::array<LanePenalty, 2> LanePenalties = {{
    {15, qRgb(0, 240, 240), false},
    {30, qRgb(0, 0, 255), true},
}};

// One lane's penalty buttons, in the table's order.
using LanePenaltyButtons = std::array<TBitBtnWithColor *, LanePenalties.size()>;

// The entry of the penalty of so many seconds; asking for a penalty that
// is not in the table does not compile.
consteval std::size_t LanePenaltyIndex(int seconds)
{
    for (std::size_t i = 0; i < LanePenalties.size(); ++i) {
        if (LanePenalties[i].seconds == seconds)
            return i;
    }
    throw std::out_of_range("no such lane penalty");
}
