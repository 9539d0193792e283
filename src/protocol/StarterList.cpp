// Starter list reader.
#include "protocol/StarterList.h"

#include "protocol/RegularFile.h"
#include "protocol/TextDecoding.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace {

// Calls fn(field, false) with each piece of the line between the
// separators, from first on, where the first separator stands. Fields are
// short: a plain loop finds their ends for less than a search per field
// costs.
template <typename Fn>
void ForEachPieceBetween(QStringView line, char16_t separator, qsizetype first, Fn fn)
{
    qsizetype start = 0;
    for (qsizetype next = first; next < line.size(); ++next) {
        if (line[next] == separator) {
            fn(line.sliced(start, next - start), false);
            start = next + 1;
        }
    }
    fn(line.sliced(start), false);
}

// The closing quote of a field of a ";" line that begins with a quote at
// start: the first quote that is not doubled, when a ";" or the line end
// follows it; -1 when the quotes do not close that way.
qsizetype ClosingQuote(QStringView line, qsizetype start)
{
    for (qsizetype at = start + 1; at < line.size(); ++at) {
        if (line[at] != u'"')
            continue;
        if (at + 1 < line.size() && line[at + 1] == u'"') {
            ++at;
            continue;
        }
        return at + 1 == line.size() || line[at + 1] == u';' ? at : -1;
    }
    return -1;
}

// The fields of a line split at ";", as spreadsheet programs write them: a
// field in quotes goes to fn(inside, true), its doubled quotes still
// doubled; every other field to fn(field, false) as it stands.
template <typename Fn> void ForEachSemicolonField(QStringView line, Fn fn)
{
    qsizetype start = 0;
    for (;;) {
        const qsizetype close =
            start < line.size() && line[start] == u'"' ? ClosingQuote(line, start) : -1;
        qsizetype end = close >= 0 ? close + 1 : start;
        if (close >= 0)
            fn(line.sliced(start + 1, close - start - 1), true);
        else {
            while (end < line.size() && line[end] != u';')
                ++end;
            fn(line.sliced(start, end - start), false);
        }
        if (end == line.size())
            return;
        start = end + 1;
    }
}

// Calls fn(field, quoted) with each field of the line as it stands (not
// trimmed), without a list of them: a list of 100 000 teams is read line by
// line.
template <typename Fn> void ForEachField(QStringView line, Fn fn)
{
    if (const qsizetype tab = line.indexOf(u'\t'); tab >= 0)
        return ForEachPieceBetween(line, u'\t', tab, fn);
    if (line.contains(u';'))
        return ForEachSemicolonField(line, fn);
    bool any = false;
    for (QStringView field : line.tokenize(u' ', Qt::SkipEmptyParts)) {
        any = true;
        fn(field, false);
    }
    // A line of blanks only is still a team line, as a line of only ";" is.
    if (!any)
        fn(QStringView(), false);
}

// The first cell of each class name: the cells of a class share its text,
// which tells the ranking they are alike without a look at their
// characters. The names view the list's text, which outlives the parse.
class ClassCells
{
public:
    // The earlier cell of the field's class; -1 when the class is new, and
    // then `cell` is its first.
    qsizetype Earlier(QStringView field, qsizetype cell)
    {
        const auto found = m_first.constFind(field);
        if (found != m_first.constEnd())
            return *found;
        m_first.insert(field, cell);
        return -1;
    }

private:
    QHash<QStringView, qsizetype> m_first;
};

// A field that was in quotes is taken as the quotes hold it, blanks
// included, each doubled quote as one; an empty field becomes one blank.
void AppendField(ProtocolTextColumn &cells, QStringView field, bool quoted, bool isClass,
                 ClassCells &classes)
{
    static const QString blank = QStringLiteral(" ");
    if (quoted) {
        cells.Append(field.isEmpty()
                         ? blank
                         : field.toString().replace(QStringLiteral("\"\""), QStringLiteral("\"")));
        return;
    }
    // Most fields have nothing to trim; looking at their ends is cheaper
    // than the call.
    if (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()))
        field = field.trimmed();
    if (field.isEmpty()) {
        cells.Append(blank);
        return;
    }
    if (const qsizetype like = isClass ? classes.Earlier(field, cells.Size()) : -1; like >= 0)
        cells.AppendLike(like);
    else
        cells.Append(field);
}

// Which column each field of a line fills, -1 for none.
using FieldColumns = std::array<int, ProtocolCellCount>;

// The fields fill the columns of one run from the left; the runs' columns
// are only ever filled by name.
FieldColumns ColumnsFromTheLeft()
{
    FieldColumns columns;
    for (int k = 0; k < ProtocolCellCount; ++k)
        columns[std::size_t(k)] = k < ProtocolColumnCount ? k : -1;
    return columns;
}

// A header line whose every field names a column ("Nr.", "TeamName", ...,
// in any order) sets the columns of the lines after it, so a file keeps
// its meaning whatever columns the protocol has; a field past the header's
// own (or under a blank one) fills its column from the left where the
// header left that column free. Any other header line leaves the columns
// as they were.
std::optional<FieldColumns> ColumnsNamedBy(QStringView line)
{
    constexpr int FromTheLeft = -2; // a blank header field (the one after a last tab)
    FieldColumns columns;
    columns.fill(FromTheLeft);
    std::array<bool, ProtocolCellCount> named{};
    std::size_t count = 0;
    bool allNamed = true;
    ForEachField(line, [&](QStringView field, bool) {
        const QStringView name = field.trimmed();
        const int column = ColumnNamed(name);
        if (!name.isEmpty() &&
            (column < 0 || named[std::size_t(column)] || count == columns.size()))
            allNamed = false;
        else if (!name.isEmpty())
            named[std::size_t(column)] = true;
        if (count < columns.size())
            columns[count++] = name.isEmpty() ? FromTheLeft : int(column);
    });
    if (!allNamed || std::find(named.begin(), named.end(), true) == named.end())
        return std::nullopt;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        if (columns[k] == FromTheLeft)
            columns[k] = named[k] || k >= std::size_t(ProtocolColumnCount) ? -1 : int(k);
    }
    return columns;
}

// The runs a header's columns hold: its highest "Lauf k", 1 for none.
int RunsNamedBy(const FieldColumns &columns)
{
    int runs = 1;
    for (const int column : columns) {
        if (IsRunColumn(column))
            runs = std::max(runs, column - ColLauf1 + 1);
    }
    return runs;
}

// Fields beyond the named columns are dropped, missing ones stay empty:
// each column gets one text per line.
void AppendRow(ProtocolColumns &columns, QStringView line, const FieldColumns &fieldColumns,
               ClassCells &classes)
{
    std::array<QStringView, ProtocolCellCount> fields;
    std::array<bool, ProtocolCellCount> quoted{};
    std::array<bool, ProtocolCellCount> filled{};
    std::size_t count = 0;
    ForEachField(line, [&](QStringView field, bool inQuotes) {
        if (count == fieldColumns.size())
            return;
        const int column = fieldColumns[count++];
        if (column < 0)
            return;
        fields[std::size_t(column)] = field;
        quoted[std::size_t(column)] = inQuotes;
        filled[std::size_t(column)] = true;
    });
    for (std::size_t column = 0; column < fields.size(); ++column) {
        ProtocolTextColumn &cells = columns.cells[column];
        // A column of the runs has cells from the first line that names it;
        // a run not run yet stays empty rather than one blank.
        const bool runsColumn = column >= std::size_t(ProtocolColumnCount);
        if (runsColumn && filled[column] && cells.Size() < qsizetype(columns.rows))
            cells.Resize(qsizetype(columns.rows));
        if (runsColumn && filled[column] && IsBlankText(fields[column]))
            cells.Append({});
        else if (filled[column])
            AppendField(cells, fields[column], quoted[column], column == ColKlasse, classes);
        else if (!runsColumn || cells.Size() > 0)
            cells.Append({});
    }
    ++columns.rows;
}

bool IsHeaderLine(QStringView line)
{
    return line.startsWith(u"Nr");
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

// Calls fn with each line of the text but empty ones, in order, until fn
// returns false; false then, true when every line was seen.
template <typename Fn> bool ForEachLine(QStringView text, Fn fn)
{
    LineEnds lineEnds(text);
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = lineEnds.From(start);
        const QStringView line = text.sliced(start, end - start);
        start = end + (text.sliced(end).startsWith(u"\r\n") ? 2 : 1);
        if (!line.isEmpty() && !fn(line))
            return false;
    }
    return true;
}

// The line feeds and carriage returns of a text, counted in one plain pass,
// which the compiler vectorises.
struct LineEndCounts
{
    qsizetype feeds = 0;
    qsizetype returns = 0;

    // One more than this is the most lines the text can have.
    qsizetype Both() const { return feeds + returns; }
    // About the text's lines, whichever way they end (CR LF counts once).
    qsizetype LinesAbout() const { return std::max(feeds, returns) + 1; }
};

LineEndCounts CountLineEnds(QStringView text)
{
    LineEndCounts counts;
    for (const QChar c : text) {
        counts.feeds += c == u'\n';
        counts.returns += c == u'\r';
    }
    return counts;
}

} // namespace

bool ParseStarterList(QString text, ProtocolColumns &columns, int maxTeams)
{
    ClassCells classes;
    // Room for about every line: a column that grows past it moves once.
    const qsizetype rows = std::min<qsizetype>(CountLineEnds(text).LinesAbout(), maxTeams);
    columns = ProtocolColumns();
    for (int column = 0; column < ProtocolColumnCount; ++column)
        columns.cells[std::size_t(column)].Reserve(rows, 0);
    FieldColumns fieldColumns = ColumnsFromTheLeft();
    const bool whole = ForEachLine(text, [&](QStringView line) {
        if (IsHeaderLine(line)) {
            fieldColumns = ColumnsNamedBy(line).value_or(fieldColumns);
            columns.runs = std::max(columns.runs, RunsNamedBy(fieldColumns));
            return true;
        }
        if (columns.rows >= std::size_t(maxTeams))
            return false;
        AppendRow(columns, line, fieldColumns, classes);
        return true;
    });
    // The room the columns grew into beyond their texts goes back.
    for (ProtocolTextColumn &cells : columns.cells)
        cells.Squeeze();
    return whole;
}

ProtocolColumns ParseStarterListColumns(QString text)
{
    ProtocolColumns columns;
    ParseStarterList(std::move(text), columns, std::numeric_limits<int>::max());
    return columns;
}

ProtocolTable ParseStarterList(QString text)
{
    return RowsOf(ParseStarterListColumns(std::move(text)));
}

qsizetype RemoveControlCharacters(QString &text)
{
    const auto isRemoved = [](QChar c) {
        const char16_t code = c.unicode();
        return (code < 0x20 && code != u'\t' && code != u'\n' && code != u'\r') ||
               (code >= 0x7f && code <= 0x9f);
    };
    // Most lists have none: they are looked at without being copied.
    if (std::none_of(text.cbegin(), text.cend(), isRemoved))
        return 0;
    const qsizetype before = text.size();
    text.removeIf(isRemoved);
    return before - text.size();
}

QString ControlsRemovedNotice(qsizetype count)
{
    return QStringLiteral("Starterliste: %1 Steuerzeichen entfernt").arg(count);
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
    result.controlsRemoved = RemoveControlCharacters(result.text);
    // No more lines than line ends: most lists need no count of their teams.
    const qsizetype lines = CountLineEnds(result.text).Both() + 1;
    int teams = 0;
    if (lines > MaxStarterListTeams && !ForEachLine(result.text, [&](QStringView line) {
            return IsHeaderLine(line) || ++teams <= MaxStarterListTeams;
        })) {
        result.text.clear();
        result.error = QStringLiteral("Die Liste hat mehr als %1 Teams.")
                           .arg(QLocale(QLocale::German).toString(MaxStarterListTeams));
        return result;
    }
    result.ok = true;
    return result;
}

namespace {
const QString KeptCopyMark = QStringLiteral(" – aufbewahrt ");
const QString KeptCopyStampFormat = QStringLiteral("yyyy-MM-dd HH-mm-ss");
} // namespace

QString EventName(const QString &fileName)
{
    const QString name = QFileInfo(fileName).completeBaseName();
    static const QRegularExpression keptCopy(
        QStringLiteral("^(.+)%1\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d( \\(\\d+\\))?$")
            .arg(QRegularExpression::escape(KeptCopyMark)));
    const QRegularExpressionMatch match = keptCopy.match(name);
    return match.hasMatch() ? match.captured(1) : name;
}

QString KeptCopyName(const QString &eventName, const QDateTime &stamp)
{
    // The event name comes from a file name, but a journal's may hold anything.
    QString event = eventName.trimmed();
    event.replace(QLatin1Char('/'), QLatin1Char('-'));
    if (event.isEmpty() || event.startsWith(QLatin1Char('.')))
        event.prepend(QStringLiteral("Wiederherstellung"));
    return event + KeptCopyMark + stamp.toLocalTime().toString(KeptCopyStampFormat);
}

QString PathWithoutExtension(const QString &fileName)
{
    return QFileInfo(fileName).dir().filePath(EventName(fileName));
}
