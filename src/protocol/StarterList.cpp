// Starter list reader.
#include "protocol/StarterList.h"

#include "protocol/RegularFile.h"
#include "protocol/TextDecoding.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <limits>

namespace {

QList<QStringView> SplitFields(QStringView line)
{
    if (line.contains(u'\t'))
        return line.split(u'\t');
    if (line.contains(u';'))
        return line.split(u';');
    QList<QStringView> fields = line.split(u' ', Qt::SkipEmptyParts);
    // A line of blanks only is still a team line, as a line of only ";" is.
    if (fields.isEmpty())
        fields.append(QStringView());
    return fields;
}

bool IsSkippedLine(QStringView line)
{
    return line.isEmpty() || line.startsWith(u"Nr");
}

} // namespace

QStringList SplitStarterLine(QStringView line)
{
    QStringList fields;
    for (QStringView field : SplitFields(line)) {
        field = field.trimmed();
        fields.append(field.isEmpty() ? QStringLiteral(" ") : field.toString());
    }
    return fields;
}

ProtocolRow RowFromFields(const QStringList &fields)
{
    ProtocolRow row;
    const qsizetype count = std::min<qsizetype>(fields.size(), ProtocolColumnCount);
    for (qsizetype i = 0; i < count; ++i)
        row[std::size_t(i)] = fields[i];
    return row;
}

bool ParseStarterList(QStringView text, ProtocolTable &table, int maxTeams)
{
    table.clear();
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
        table.push_back(RowFromFields(SplitStarterLine(line)));
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
