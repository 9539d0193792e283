// The certificate layout: which lines a certificate prints, where, and in
// which font. It is kept in the settings store as one fixed 9648-byte record
// (18 entries of 536 bytes), so the byte layout below must never change.
#pragma once

#include "protocol/ProtocolTable.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

class QDate;

enum TLayoutAlignment : std::uint8_t { laLeft = 0, laCenter = 1, laRight = 2 };

enum TLayoutFontStyle : std::uint8_t {
    lfBold = 0x01,
    lfItalic = 0x02,
    lfUnderline = 0x04,
    lfStrikeOut = 0x08
};

// One line of a certificate. Lengths are millimetres from the page's
// top-left corner; strings hold at most 255 Windows-1252 characters.
struct LayoutEntry
{
    static constexpr int Size = 536;
    static constexpr int MaxTextBytes = 255;
    // A colour with this bit set is a system colour, its low byte the index.
    static constexpr std::uint32_t SystemColorFlag = 0xFF000000u;
    static constexpr std::uint32_t WindowTextColor = SystemColorFlag | 8u;
    // What the layout editor can set: positions in millimetres (within the
    // largest paper there is) and font sizes in points.
    static constexpr std::int32_t MaxPosition = 999;
    static constexpr std::int32_t MinFontSize = 1;
    static constexpr std::int32_t MaxFontSize = 500;

    std::uint8_t On = 0; // not 0 = printed
    std::uint8_t Alignment = laLeft;
    std::int32_t Left = 0;
    std::int32_t Top = 0; // top of the text cell
    QString Text;
    QString FontName; // empty = never set up
    std::uint8_t FontStyle = 0;
    std::int32_t FontSize = 0; // points
    std::uint32_t FontColor = 0;

    // Stores the text as the record can hold it (see RecordText).
    void SetText(const QString &text) { Text = RecordText(text); }
    // The text as it comes back from the record: characters Windows-1252
    // lacks become "?" and anything past 255 characters is cut.
    static QString RecordText(const QString &text);
};

class CertificateLayout
{
public:
    static constexpr int EntryCount = 18;
    static constexpr int Size = EntryCount * LayoutEntry::Size; // 9648
    // The first entries print race data; the free lines start here.
    static constexpr int RaceDataEntries = 8;
    static constexpr int FirstOwnTextEntry = 9;

    CertificateLayout();

    // Reads a stored record over an all-zero one: a shorter value fills the
    // start, a longer one is not read at all (returns false, record zero).
    // Every value of a set-up entry comes back within what the editor can
    // set (a damaged or foreign record must not place a line beyond any
    // paper); entries never set up get the defaults later anyway.
    bool Read(const QByteArray &bytes);
    // The record byte for byte: padding and the bytes after each string as
    // they were read, the fields as they are now.
    QByteArray ToBytes() const;

    // Gives every entry with an empty font name the default set-up for a
    // dialog font of buttonPointSize points (24 in the settings dialog).
    void ApplyDefaults(int buttonPointSize = 24);

    std::array<LayoutEntry, EntryCount> Entries;

private:
    QByteArray m_image; // the record as last read, for the bytes no field owns
};

// The one layout of the running program, zero until the settings are read.
CertificateLayout &SharedCertificateLayout();

// "Platz", "TeamName", ... "10. Zeile": the entries' names, in entry order.
const QStringList &LayoutEntryNames();

// What entry `index` prints on the certificate of a protocol row.
QString EntryPrintText(int index, const LayoutEntry &entry, const ProtocolRow &row,
                       const QString &eventName, const QDate &today);

// --- Placing an entry on a page measured in 0.1 mm ---

// Screen resolution that turns page-canvas points into heights.
inline constexpr int LogicalPageDpi = 96;

// The point size handed to the page canvas: FontSize x 2.54, halves to even.
int PageCanvasPointSize(int fontSize);
// Em height in 0.1 mm of that point size at the given resolution.
int PageEmHeight(int pointSize, int dpi = LogicalPageDpi);
// The entry's font for a 0.1 mm page (pixel size = em height in 0.1 mm).
QFont PageFont(const LayoutEntry &entry);
// The left edge in 0.1 mm of a text `textWidth` (0.1 mm) wide: Left less
// half the width when centred, the whole width when right-aligned, halves
// rounded to even. Any other alignment counts as left.
int PlacedLeft(const LayoutEntry &entry, int textWidth);

// 0x00BBGGRR or a system colour index, as a colour of this desktop.
QColor LayoutColor(std::uint32_t value);
// A plain colour as stored in the record.
std::uint32_t LayoutColorValue(const QColor &color);
