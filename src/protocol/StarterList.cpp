// Starter list reader.
#include "protocol/StarterList.h"

#include "protocol/TextDecoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QStringList SplitFields(const QString &line)
{
    if (line.contains(QLatin1Char('\t')))
        return line.split(QLatin1Char('\t'));
    if (line.contains(QLatin1Char(';')))
        return line.split(QLatin1Char(';'));
    static const QRegularExpression blanks(QStringLiteral(" +"));
    QStringList fields = line.split(blanks, Qt::SkipEmptyParts);
    // A line of blanks only is still a team line, as a line of only ";" is.
    if (fields.isEmpty())
        fields.append(QString());
    return fields;
}

bool IsSkippedLine(const QString &line)
{
    return line.isEmpty() || line.startsWith(QLatin1String("Nr"));
}

} // namespace

QStringList SplitStarterLine(const QString &line)
{
    QStringList fields = SplitFields(line);
    for (QString &field : fields) {
        field = field.trimmed();
        if (field.isEmpty())
            field = QStringLiteral(" ");
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
        const QString lineText = line.toString();
        if (!IsSkippedLine(lineText))
            table.push_back(RowFromFields(SplitStarterLine(lineText)));
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
