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
    if (line.contains(u'\t') || line.contains(u';')) {
        for (QStringView field : line.tokenize(line.contains(u'\t') ? u'\t' : u';'))
            fn(field);
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

QString FieldText(QStringView field)
{
    field = field.trimmed();
    return field.isEmpty() ? QStringLiteral(" ") : field.toString();
}

// The fields fill the columns from the left; fields beyond the tenth are
// dropped, missing ones stay empty.
ProtocolRow RowFromLine(QStringView line)
{
    ProtocolRow row;
    std::size_t column = 0;
    ForEachField(line, [&](QStringView field) {
        if (column < row.size())
            row[column++] = FieldText(field);
    });
    return row;
}

bool IsSkippedLine(QStringView line)
{
    return line.isEmpty() || line.startsWith(u"Nr");
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
    table.reserve(std::size_t(std::min<qsizetype>(text.count(u'\n') + 1, maxTeams)));
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        const QStringView line = text.sliced(start, end - start);
        start = end + (text.sliced(end).startsWith(u"\r\n") ? 2 : 1);
        if (IsSkippedLine(line))
            continue;
        if (int(table.size()) >= maxTeams)
            return false;
        table.push_back(RowFromLine(line));
    }
    return true;
}

ProtocolTable ParseStarterList(QStringView text)
{
    ProtocolTable table;
    ParseStarterList(text, table, std::numeric_limits<int>::max());
    return table;
}

StarterListLoad LoadStarterList(const QString &fileName)
{
    StarterListLoad result;
    const RegularFileRead file = ReadRegularFile(fileName, MaxStarterListBytes);
    if (!file.ok) {
        result.error = file.error;
        return result;
    }
    if (!ParseStarterList(DecodeFileText(file.bytes), result.rows, MaxStarterListTeams)) {
        result.rows.clear();
        result.error = QStringLiteral("Die Liste hat mehr als %1 Teams.")
                           .arg(QLocale(QLocale::German).toString(MaxStarterListTeams));
        return result;
    }
    result.ok = true;
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
