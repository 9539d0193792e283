// The program's "Excel.Application": it keeps the cells put into the
// workbook, and when the columns are fitted (the last step of an export)
// writes them as an .xlsx into the user's temporary folder under a new name
// and hands that to the desktop's spreadsheet program when visible.
#pragma once

#include "protocol/Automation.h"

AutomationRef CreateSpreadsheetServer();
