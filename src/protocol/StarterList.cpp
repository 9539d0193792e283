// Starter list reader.
#include "protocol/StarterList.h"

#include "protocol/TextDecoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

ProtocolTable ParseStarterList(const QString &text)
{
    ProtocolTable table;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!IsSkippedLine(line))
            table.push_back(RowFromFields(SplitStarterLine(line)));
    }
    return table;
}

StarterListLoad LoadStarterList(const QString &fileName)
{
    QFile file(fileName);
    StarterListLoad result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    result.rows = ParseStarterList(DecodeFileText(bytes));
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
