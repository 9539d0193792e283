// The workbook file: cells kept by the spreadsheet server written as a
// real .xlsx, numbers as number cells so the sheet can compute with times.
#pragma once

#include <QString>
#include <map>
#include <utility>

// (row, column), both from 1, to the cell's text.
using SheetCells = std::map<std::pair<int, int>, QString>;

// Writes one sheet: a text that reads as a number (ReadRaceNumber: "12.34",
// "12,34", "7") as a number cell, every other text exactly as it is; each
// column as wide as its longest text. false with the
// reason in *error when the file could not be written.
bool WriteSpreadsheetFile(const QString &fileName, const SheetCells &cells, QString *error);
