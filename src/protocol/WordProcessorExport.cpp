// The word-processor export over automation.
#include "protocol/WordProcessorExport.h"

#include "platform/Desktop.h"
#include "protocol/Automation.h"
#include "protocol/ProtocolTable.h"

QString WordProcessorText(const CellRows &rows)
{
    QString text;
    for (const QStringList &cells : rows) {
        for (qsizetype c = 0; c < cells.size(); ++c) {
            text += cells[c];
            text += c + 1 < cells.size() ? QStringLiteral("\t") : QStringLiteral("\r\n");
        }
    }
    text.chop(1);
    return text;
}

QString DateStampName(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy-MM-dd-HH-mm")).replace(u' ', u'0');
}

QString ExportToWordProcessor(const CellRows &rows, WordProcessorMode mode,
                              const QString &templatePath, const QString &fileName)
{
    const AutomationRef word =
        CurrentDesktop().CreateAutomationObject(QStringLiteral("Word.Basic"));
    if (!word)
        throw EAutomationError(QStringLiteral("Error write file: ") + fileName +
                               QStringLiteral("\nKein Textverarbeitungsprogramm gefunden"));
    const bool visible = mode == WordProcessorMode::Visible;
    word->Call(visible ? QStringLiteral("AppMaximize") : QStringLiteral("AppMinimize"));
    word->Call(QStringLiteral("FileOpen"), {templatePath});
    word->Call(QStringLiteral("Insert"), {WordProcessorText(rows)});
    word->Call(QStringLiteral("LineUp"), {int(rows.size()) + 1, 1});
    word->Call(QStringLiteral("TextToTable"), {},
               {{QStringLiteral("ConvertFrom"), 1},
                {QStringLiteral("NumColumns"),
                 rows.isEmpty() ? ProtocolColumnCount
                                : std::max(ProtocolColumnCount, int(rows.first().size()))}});
    const QString savedAs = word->Call(QStringLiteral("FileSaveAs"), {fileName}).value.toString();
    if (!visible)
        word->Call(QStringLiteral("AppClose"));
    return savedAs;
}
