// The workbook file: cells kept by the spreadsheet server written as a
// real .xlsx, numbers as number cells so the sheet can compute with times.
#pragma once

#include <QString>
#include <map>
#include <optional>
#include <utility>

// (row, column), both from 1, to the cell's text.
using SheetCells = std::map<std::pair<int, int>, QString>;

// The number a cell text stands for: digits with at most one decimal
// point, an optional sign; nothing else (no blanks, no comma, no exponent).
std::optional<double> SpreadsheetNumber(const QString &text);

// Writes one sheet; each column as wide as its longest text. false with the
// reason in *error when the file could not be written.
bool WriteSpreadsheetFile(const QString &fileName, const SheetCells &cells, QString *error);
