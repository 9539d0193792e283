// Starter list reader.
#include "protocol/StarterList.h"

#include "protocol/RegularFile.h"
#include "protocol/TextDecoding.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <limits>

namespace {

// Calls fn with each field of the line as it stands (not trimmed), without
// a list of them: a list of 100 000 teams is read line by line.
template <typename Fn> void ForEachField(QStringView line, Fn fn)
{
    qsizetype next = line.indexOf(u'\t');
    const char16_t separator = next >= 0 ? u'\t' : u';';
    if (next < 0)
        next = line.indexOf(u';');
    if (next >= 0) {
        qsizetype start = 0;
        for (; next >= 0; next = line.indexOf(separator, start)) {
            fn(line.sliced(start, next - start));
            start = next + 1;
        }
        fn(line.sliced(start));
        return;
    }
    bool any = false;
    for (QStringView field : line.tokenize(u' ', Qt::SkipEmptyParts)) {
        any = true;
        fn(field);
    }
    // A line of blanks only is still a team line, as a line of only ";" is.
    if (!any)
        fn(QStringView());
}

// Most lists leave many fields empty: they all share one blank text.
QString FieldText(QStringView field)
{
    static const QString blank = QStringLiteral(" ");
    field = field.trimmed();
    return field.isEmpty() ? blank : field.toString();
}

// The fields fill the columns from the left; fields beyond the tenth are
// dropped, missing ones stay empty.
void FillRow(ProtocolRow &row, QStringView line)
{
    std::size_t column = 0;
    ForEachField(line, [&](QStringView field) {
        if (column < row.size())
            row[column++] = FieldText(field);
    });
}

bool IsSkippedLine(QStringView line)
{
    return line.isEmpty() || line.startsWith(u"Nr");
}

// The ends of the text's lines, at CR or LF. Each LF is searched for once,
// so a file whose lines end in a lone CR is not scanned again per line.
class LineEnds
{
public:
    explicit LineEnds(QStringView text) : m_text(text) {}

    qsizetype From(qsizetype start)
    {
        if (m_feed < start) {
            m_feed = m_text.indexOf(u'\n', start);
            if (m_feed < 0)
                m_feed = m_text.size();
        }
        const qsizetype carriageReturn = m_text.sliced(start, m_feed - start).indexOf(u'\r');
        return carriageReturn < 0 ? m_feed : start + carriageReturn;
    }

private:
    QStringView m_text;
    qsizetype m_feed = -1;
};

// Calls fn with each team line of the text, in order, until fn returns
// false; false then, true when every line was seen.
template <typename Fn> bool ForEachTeamLine(QStringView text, Fn fn)
{
    LineEnds lineEnds(text);
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = lineEnds.From(start);
        const QStringView line = text.sliced(start, end - start);
        start = end + (text.sliced(end).startsWith(u"\r\n") ? 2 : 1);
        if (!IsSkippedLine(line) && !fn(line))
            return false;
    }
    return true;
}

// Line feeds and carriage returns together: one more than this is the most
// lines a text can have. One plain pass, which the compiler vectorises.
qsizetype LineEndCount(QStringView text)
{
    qsizetype count = 0;
    for (const QChar c : text)
        count += (c == u'\n') + (c == u'\r');
    return count;
}

} // namespace

QStringList SplitStarterLine(QStringView line)
{
    QStringList fields;
    ForEachField(line, [&](QStringView field) { fields.append(FieldText(field)); });
    return fields;
}

bool ParseStarterList(QStringView text, ProtocolTable &table, int maxTeams)
{
    table.clear();
    table.reserve(std::size_t(std::min<qsizetype>(LineEndCount(text) + 1, maxTeams)));
    return ForEachTeamLine(text, [&](QStringView line) {
        if (int(table.size()) >= maxTeams)
            return false;
        FillRow(table.emplace_back(), line);
        return true;
    });
}

ProtocolTable ParseStarterList(QStringView text)
{
    ProtocolTable table;
    ParseStarterList(text, table, std::numeric_limits<int>::max());
    return table;
}

StarterListText ReadStarterList(const QString &fileName)
{
    StarterListText result;
    const RegularFileRead file = ReadRegularFile(fileName, MaxStarterListBytes);
    if (!file.ok) {
        result.error = file.error;
        return result;
    }
    result.text = DecodeFileText(file.bytes);
    // No more lines than line ends: most lists need no count of their teams.
    const qsizetype lines = LineEndCount(result.text) + 1;
    int teams = 0;
    if (lines > MaxStarterListTeams && !ForEachTeamLine(result.text, [&](QStringView) {
            return ++teams <= MaxStarterListTeams;
        })) {
        result.text.clear();
        result.error = QStringLiteral("Die Liste hat mehr als %1 Teams.")
                           .arg(QLocale(QLocale::German).toString(MaxStarterListTeams));
        return result;
    }
    result.ok = true;
    return result;
}

StarterListLoad LoadStarterList(const QString &fileName)
{
    const StarterListText list = ReadStarterList(fileName);
    StarterListLoad result;
    result.ok = list.ok;
    result.error = list.error;
    if (list.ok)
        result.rows = ParseStarterList(list.text);
    return result;
}

QString EventName(const QString &fileName)
{
    return QFileInfo(fileName).completeBaseName();
}

QString PathWithoutExtension(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.dir().filePath(info.completeBaseName());
}
