// RTF building blocks of the protocol document.
#include "protocol/RtfDocument.h"

#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <numeric>
#include <vector>

namespace {

void AppendCharacter(QByteArray &out, char16_t c)
{
    switch (c) {
    case u'\\':
    case u'{':
    case u'}':
        out += '\\';
        out += static_cast<char>(c);
        return;
    case u'\t':
        out += "\\tab ";
        return;
    default:
        break;
    }
    if (c < 0x20)
        return;
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    // RTF counts \u in signed 16 bits; "?" is what readers without
    // Unicode show instead.
    out += "\\u" + QByteArray::number(static_cast<qint16>(c)) + '?';
}

// The narrowest a column gets while the page has room: 1 cm.
constexpr int MinColumnTwips = 567;
// The sheets a template may describe: from 2 inches up to the largest
// paper there is (34 x 44 inches).
constexpr int MinPaperTwips = 2 * 1440;
constexpr int MaxPaperTwips = 44 * 1440;
// A text column never narrower than an inch.
constexpr int MinTextWidthTwips = 1440;

// Every column its minimum, the rest of the width shared in proportion to
// the columns' longest texts; computed in 64 bits, so neither a huge text
// nor a wide page overflows, and the columns never add up to more than the
// width.
std::vector<int> ColumnWidths(const QList<QStringList> &rows, int columns, int widthTwips)
{
    std::vector<std::int64_t> weights(std::size_t(columns), 3);
    for (const QStringList &row : rows) {
        for (int c = 0; c < columns && c < row.size(); ++c)
            weights[std::size_t(c)] =
                std::max(weights[std::size_t(c)], std::int64_t(row[c].size()));
    }
    const std::int64_t total = std::accumulate(weights.begin(), weights.end(), std::int64_t(0));
    const int minimum = std::min(MinColumnTwips, widthTwips / columns);
    const std::int64_t spare = widthTwips - std::int64_t(minimum) * columns;
    std::vector<int> widths;
    for (const std::int64_t weight : weights)
        widths.push_back(minimum + int(spare * weight / total));
    return widths;
}

QByteArray RowDefinition(const std::vector<int> &widths, bool header)
{
    QByteArray row = "\\trowd\\trgaph70\\trleft0";
    if (header)
        row += "\\trhdr";
    int right = 0;
    for (int width : widths) {
        right += width;
        row += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
               "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx" +
               QByteArray::number(right);
    }
    return row + '\n';
}

int ControlWord(const QByteArray &rtf, const char *word, int fallback)
{
    const QRegularExpression pattern(QStringLiteral("\\\\%1(-?\\d+)").arg(QLatin1String(word)));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(rtf));
    if (!match.hasMatch())
        return fallback;
    // Too many digits for any number count as the farthest end.
    bool fits = false;
    const qint64 value = match.captured(1).toLongLong(&fits);
    if (!fits)
        return match.captured(1).startsWith(u'-') ? INT_MIN : INT_MAX;
    return int(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

} // namespace

QByteArray RtfText(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() + 16);
    const QString unified = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QChar c : unified) {
        if (c == u'\r' || c == u'\n')
            out += "\\par\n";
        else
            AppendCharacter(out, c.unicode());
    }
    return out;
}

QByteArray RtfTable(const QList<QStringList> &rows, int columns, int widthTwips)
{
    const std::vector<int> widths = ColumnWidths(rows, columns, widthTwips);
    QByteArray table;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const bool header = r == 0;
        table += RowDefinition(widths, header);
        for (int c = 0; c < columns; ++c) {
            table += header ? "\\pard\\intbl\\plain\\fs18\\b " : "\\pard\\intbl\\plain\\fs18 ";
            table += RtfText(rows[r].value(c));
            table += "\\cell\n";
        }
        table += "\\row\n";
    }
    return table + "\\pard\\plain\n";
}

std::optional<QByteArray> OpenRtfDocument(const QByteArray &rtf)
{
    QByteArray document = rtf.trimmed();
    // Some writers end the file with a NUL or other junk after the group.
    while (!document.isEmpty() && document.back() != '}')
        document.chop(1);
    if (!document.startsWith("{\\rtf") || document.isEmpty())
        return std::nullopt;
    document.chop(1);
    return document;
}

int RtfTextWidth(const QByteArray &rtf)
{
    // The RTF defaults: US Letter, 1.25 inch margins; whatever the template
    // says is held to real paper.
    const int paper = std::clamp(ControlWord(rtf, "paperw", 12240), MinPaperTwips, MaxPaperTwips);
    const int left = std::clamp(ControlWord(rtf, "margl", 1800), 0, paper / 2);
    const int right = std::clamp(ControlWord(rtf, "margr", 1800), 0, paper / 2);
    return std::max(paper - left - right, MinTextWidthTwips);
}
