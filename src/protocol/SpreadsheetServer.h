// The program's "Excel.Application": it keeps the cells put into the
// workbook, and when the columns are fitted (the last step of an export)
// writes them as an .xlsx into the user's temporary folder under a new name
// and hands that to the desktop's spreadsheet program when visible (without
// one, EAutomationNotShown says where the workbook is).
#pragma once

#include "protocol/Automation.h"

class QDateTime;

AutomationRef CreateSpreadsheetServer();

// Removes the workbooks of earlier exports older than seven days from the
// user's temporary folder: their spreadsheet program has long read them.
void RemoveOldWorkbooks(const QDateTime &now);
