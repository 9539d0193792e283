// The certificate layout record: its byte format, defaults, entry texts and
// the arithmetic that places an entry on a page.
#include "settings/CertificateLayout.h"

#include "protocol/TextDecoding.h"

#include <QDate>
#include <QGuiApplication>
#include <QLocale>
#include <QPalette>
#include <algorithm>
#include <cstring>

namespace {

// Field offsets inside one entry.
constexpr int OnAt = 0;
constexpr int AlignmentAt = 1;
constexpr int LeftAt = 4;
constexpr int TopAt = 8;
constexpr int TextAt = 12;
constexpr int FontNameAt = 268;
constexpr int FontStyleAt = 524;
constexpr int FontSizeAt = 528;
constexpr int FontColorAt = 532;

std::uint32_t ReadUInt32(const char *at)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(at);
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

void WriteUInt32(char *at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

QString ReadRecordString(const char *at)
{
    const int length = static_cast<unsigned char>(at[0]);
    return DecodeWindows1252(QByteArray(at + 1, length));
}

void WriteRecordString(char *at, const QString &text)
{
    const QByteArray bytes = EncodeWindows1252(text).left(LayoutEntry::MaxTextBytes);
    at[0] = static_cast<char>(bytes.size());
    std::memcpy(at + 1, bytes.constData(), bytes.size());
}

LayoutEntry ReadEntry(const char *at)
{
    LayoutEntry entry;
    entry.On = static_cast<std::uint8_t>(at[OnAt]);
    entry.Alignment = static_cast<std::uint8_t>(at[AlignmentAt]);
    entry.Left = static_cast<std::int32_t>(ReadUInt32(at + LeftAt));
    entry.Top = static_cast<std::int32_t>(ReadUInt32(at + TopAt));
    entry.Text = ReadRecordString(at + TextAt);
    entry.FontName = ReadRecordString(at + FontNameAt);
    entry.FontStyle = static_cast<std::uint8_t>(at[FontStyleAt]);
    entry.FontSize = static_cast<std::int32_t>(ReadUInt32(at + FontSizeAt));
    entry.FontColor = ReadUInt32(at + FontColorAt);
    return entry;
}

void WriteEntry(char *at, const LayoutEntry &entry)
{
    at[OnAt] = static_cast<char>(entry.On);
    at[AlignmentAt] = static_cast<char>(entry.Alignment);
    WriteUInt32(at + LeftAt, static_cast<std::uint32_t>(entry.Left));
    WriteUInt32(at + TopAt, static_cast<std::uint32_t>(entry.Top));
    WriteRecordString(at + TextAt, entry.Text);
    WriteRecordString(at + FontNameAt, entry.FontName);
    at[FontStyleAt] = static_cast<char>(entry.FontStyle);
    WriteUInt32(at + FontSizeAt, static_cast<std::uint32_t>(entry.FontSize));
    WriteUInt32(at + FontColorAt, entry.FontColor);
}

// A value the editor could never have set is brought within its range:
// positions and sizes clamped, unknown alignments left-aligned (as they are
// drawn), unknown style bits dropped, a colour either plain or a system
// colour index.
void KeepWithinEditorRange(LayoutEntry &entry)
{
    if (entry.Alignment > laRight)
        entry.Alignment = laLeft;
    entry.Left = std::clamp(entry.Left, 0, LayoutEntry::MaxPosition);
    entry.Top = std::clamp(entry.Top, 0, LayoutEntry::MaxPosition);
    entry.FontStyle &= lfBold | lfItalic | lfUnderline | lfStrikeOut;
    entry.FontSize = std::clamp(entry.FontSize, LayoutEntry::MinFontSize, LayoutEntry::MaxFontSize);
    const bool systemColor =
        (entry.FontColor & LayoutEntry::SystemColorFlag) == LayoutEntry::SystemColorFlag;
    entry.FontColor &= systemColor ? LayoutEntry::SystemColorFlag | 0xFFu : 0x00FFFFFFu;
}

// numerator / denominator (denominator > 0), halves to the even neighbour.
std::int64_t DivideHalfToEven(std::int64_t numerator, std::int64_t denominator)
{
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        quotient -= 1;
        remainder += denominator;
    }
    const std::int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0))
        quotient += 1;
    return quotient;
}

// The system colour indices a stored layout may name, as palette roles.
QPalette::ColorRole SystemColorRole(int index)
{
    switch (index) {
    case 4:  // menu
    case 15: // button face
        return QPalette::Button;
    case 5: // window
        return QPalette::Base;
    case 13: // highlight
        return QPalette::Highlight;
    case 14: // highlighted text
        return QPalette::HighlightedText;
    case 16: // button shadow
        return QPalette::Mid;
    case 18: // button text
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 21: // dark shadow
        return QPalette::Shadow;
    case 23: // tool tip text
        return QPalette::ToolTipText;
    case 24: // tool tip background
        return QPalette::ToolTipBase;
    default: // window text (8) and whatever else
        return QPalette::WindowText;
    }
}

} // namespace

QString LayoutEntry::RecordText(const QString &text)
{
    return DecodeWindows1252(EncodeWindows1252(text).left(MaxTextBytes));
}

CertificateLayout::CertificateLayout() : m_image(Size, '\0') {}

bool CertificateLayout::Read(const QByteArray &bytes)
{
    m_image.fill('\0');
    const bool readable = bytes.size() <= Size;
    if (readable)
        std::memcpy(m_image.data(), bytes.constData(), bytes.size());
    for (int i = 0; i < EntryCount; ++i) {
        Entries[i] = ReadEntry(m_image.constData() + i * LayoutEntry::Size);
        if (!Entries[i].FontName.isEmpty())
            KeepWithinEditorRange(Entries[i]);
    }
    return readable;
}

QByteArray CertificateLayout::ToBytes() const
{
    QByteArray bytes = m_image;
    for (int i = 0; i < EntryCount; ++i)
        WriteEntry(bytes.data() + i * LayoutEntry::Size, Entries[i]);
    return bytes;
}

void CertificateLayout::ApplyDefaults(int buttonPointSize)
{
    for (int i = 0; i < EntryCount; ++i) {
        LayoutEntry &entry = Entries[i];
        if (!entry.FontName.isEmpty())
            continue;
        entry.On = i < RaceDataEntries ? 1 : 0;
        entry.Left = 30;
        entry.Top = (i * buttonPointSize / 3) * 2;
        entry.Alignment = laLeft;
        entry.FontName = QStringLiteral("Times New Roman");
        entry.FontSize = buttonPointSize / 2;
        entry.FontColor = LayoutEntry::WindowTextColor;
        entry.FontStyle = lfBold;
        entry.Text.clear();
    }
}

CertificateLayout &SharedCertificateLayout()
{
    static CertificateLayout layout;
    return layout;
}

const QStringList &LayoutEntryNames()
{
    static const QStringList names = [] {
        QStringList list{"Platz",      "TeamName",   "Klasse", "Fahrer",
                         "Beifahrer1", "Beifahrer2", "Total",  "Dateiname"};
        for (int line = 1; line <= 10; ++line)
            list << QStringLiteral("%1. Zeile").arg(line);
        return list;
    }();
    return names;
}

QString EntryPrintText(int index, const LayoutEntry &entry, const ProtocolRow &row,
                       const QString &eventName, const QDate &today)
{
    switch (index) {
    case 0:
        return row[ColPlatz];
    case 1:
        return row[ColTeamName];
    case 2:
        return QStringLiteral("Klasse: ") + row[ColKlasse];
    case 3:
        return row[ColFahrer];
    case 4:
        return row[ColBeifahrer1];
    case 5:
        return row[ColBeifahrer2];
    case 6:
        return row[ColTotal] + QStringLiteral(" sek.");
    case 7:
        return eventName;
    case 8:
        return QLocale().toString(today, QLocale::ShortFormat);
    default:
        return entry.Text;
    }
}

int PageCanvasPointSize(int fontSize)
{
    return static_cast<int>(DivideHalfToEven(std::int64_t(fontSize) * 254, 100));
}

int PageEmHeight(int pointSize, int dpi)
{
    // Rounded multiply-divide, halves away from zero.
    const std::int64_t product = std::int64_t(pointSize) * dpi;
    const std::int64_t half = product >= 0 ? 36 : -36;
    return static_cast<int>((product + half) / 72);
}

QFont PageFont(const LayoutEntry &entry)
{
    QFont font(entry.FontName);
    font.setPixelSize(qMax(1, PageEmHeight(PageCanvasPointSize(entry.FontSize))));
    font.setBold(entry.FontStyle & lfBold);
    font.setItalic(entry.FontStyle & lfItalic);
    font.setUnderline(entry.FontStyle & lfUnderline);
    font.setStrikeOut(entry.FontStyle & lfStrikeOut);
    return font;
}

int PlacedLeft(const LayoutEntry &entry, int textWidth)
{
    // Work in halves of 0.1 mm so the centred offset stays exact.
    std::int64_t twiceLeft = std::int64_t(entry.Left) * 20;
    if (entry.Alignment == laCenter)
        twiceLeft -= textWidth;
    else if (entry.Alignment == laRight)
        twiceLeft -= 2 * std::int64_t(textWidth);
    return static_cast<int>(DivideHalfToEven(twiceLeft, 2));
}

QColor LayoutColor(std::uint32_t value)
{
    if ((value & LayoutEntry::SystemColorFlag) == LayoutEntry::SystemColorFlag)
        return QGuiApplication::palette().color(SystemColorRole(int(value & 0xFF)));
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

std::uint32_t LayoutColorValue(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return std::uint32_t(rgb.red()) | std::uint32_t(rgb.green()) << 8 |
           std::uint32_t(rgb.blue()) << 16;
}
