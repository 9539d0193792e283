// RTF building blocks of the protocol document.
#include "protocol/RtfDocument.h"

#include <QRegularExpression>
#include <algorithm>
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

std::vector<int> ColumnWidths(const QList<QStringList> &rows, int columns, int widthTwips)
{
    std::vector<int> weights(std::size_t(columns), 3);
    for (const QStringList &row : rows) {
        for (int c = 0; c < columns && c < row.size(); ++c)
            weights[std::size_t(c)] = std::max(weights[std::size_t(c)], int(row[c].size()));
    }
    const int total = std::accumulate(weights.begin(), weights.end(), 0);
    std::vector<int> widths;
    for (int weight : weights)
        widths.push_back(widthTwips * weight / total);
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
    return match.hasMatch() ? match.captured(1).toInt() : fallback;
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
    // The RTF defaults: US Letter, 1.25 inch margins.
    const int paper = ControlWord(rtf, "paperw", 12240);
    const int left = ControlWord(rtf, "margl", 1800);
    const int right = ControlWord(rtf, "margr", 1800);
    return std::max(paper - left - right, 1440);
}
