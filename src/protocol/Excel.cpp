// The spreadsheet export over automation.
#include "protocol/Excel.h"

#include "platform/Desktop.h"
#include "text/NumericText.h"

namespace {
const QString ExcelClass = QStringLiteral("Excel.Application");
}

TExcel::TExcel(QObject *owner) : QObject(owner) {}

TExcel::~TExcel() = default;

bool TExcel::Connect()
{
    Desktop &desktop = CurrentDesktop();
    if (!ExcelNew)
        application = desktop.RunningAutomationObject(ExcelClass);
    if (!application)
        application = desktop.CreateAutomationObject(ExcelClass);
    if (!application)
        return false;
    application->Put(QStringLiteral("visible"), true);
    return true;
}

void TExcel::NewWorkbook()
{
    line = 1;
    const AutomationRef workbooks =
        ObjectOf(application->Call(QStringLiteral("Workbooks")), QStringLiteral("Workbooks"));
    workbooks->Call(QStringLiteral("add"));
}

void TExcel::WriteLine()
{
    for (int i = 1; i <= Values.size(); ++i) {
        const QVariantList cell = Horizontal ? QVariantList{line, i} : QVariantList{i, line};
        application->PutIndexed(QStringLiteral("Cells"), cell, Values[i - 1]);
    }
    ++line;
}

void TExcel::AutoFitColumns()
{
    ObjectOf(application->Call(QStringLiteral("cells")), QStringLiteral("cells"))
        ->Call(QStringLiteral("select"));
    const AutomationRef selection =
        ObjectOf(application->Call(QStringLiteral("Selection")), QStringLiteral("Selection"));
    ObjectOf(selection->Call(QStringLiteral("Columns")), QStringLiteral("Columns"))
        ->Call(QStringLiteral("Autofit"));
}

QString SpreadsheetCellText(const QString &cell)
{
    if (!ReadRaceNumber(cell))
        return cell;
    return QString(cell).replace(u',', u'.');
}

bool ExportToSpreadsheet(const CellRows &rows, QObject *owner)
{
    TExcel excel(owner);
    excel.ExcelNew = true;
    if (!excel.Connect())
        return false;
    excel.NewWorkbook();
    excel.Values.clear();
    for (const QStringList &cells : rows) {
        // The texts go over one by one: a quotation mark in a name stays
        // inside its cell instead of splitting it.
        excel.Values.clear();
        for (const QString &cell : cells)
            excel.Values << SpreadsheetCellText(cell);
        excel.WriteLine();
    }
    excel.AutoFitColumns();
    return true;
}
