// TExcel: a spreadsheet application reached by automation, filled one row
// (or column) at a time, and the protocol's export into a new workbook.
#pragma once

#include "protocol/Automation.h"
#include "protocol/ProtocolFiles.h"

#include <QObject>
#include <QStringList>

class TExcel : public QObject
{
    Q_OBJECT

public:
    explicit TExcel(QObject *owner);
    // Lets go of the application; the application itself keeps running.
    ~TExcel() override;

    AutomationRef application;
    // true: always a new instance; false: a running one when there is one.
    bool ExcelNew = false;
    // true: WriteLine fills a sheet row; false: a sheet column.
    bool Horizontal = true;
    // The sheet row (or column) the next WriteLine fills, from 1.
    int line = 1;
    // The texts of the next line, the first to column (or row) 1.
    QStringList Values;

    // Reaches "Excel.Application" and makes it visible; false when no
    // instance could be had (nothing else happens then).
    bool Connect();
    void NewWorkbook();
    void WriteLine();
    void AutoFitColumns();
};

// A cell as the spreadsheet gets it: a cell that reads as a number
// (ReadRaceNumber) with its decimal comma as a point, so the race time
// 12,34 arrives as 12.34; every other text as it is ("Müller, Hans").
QString SpreadsheetCellText(const QString &cell);

// The whole table into a new workbook of a new spreadsheet instance, one
// table row per sheet row, header first, every cell one cell; then the
// columns fitted. false when no spreadsheet could be reached.
bool ExportToSpreadsheet(const CellRows &rows, QObject *owner);
