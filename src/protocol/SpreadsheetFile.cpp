// Writing the workbook file with libxlsxwriter.
#include "protocol/SpreadsheetFile.h"

#include "text/NumericText.h"

#include <QFileInfo>
#include <xlsxwriter.h>

namespace {

// Widths in characters of the default font, with a little air.
std::map<int, double> ColumnWidths(const SheetCells &cells)
{
    std::map<int, double> widths;
    for (const auto &[position, text] : cells) {
        double &width = widths[position.second];
        width = std::max(width, static_cast<double>(text.size()) + 1.5);
    }
    return widths;
}

} // namespace

bool WriteSpreadsheetFile(const QString &fileName, const SheetCells &cells, QString *error)
{
    const QByteArray path = QFile::encodeName(fileName);
    // The library's own scratch files stay beside the workbook.
    QByteArray scratch = QFile::encodeName(QFileInfo(fileName).absolutePath());
    lxw_workbook_options options{};
    options.tmpdir = scratch.data();
    lxw_workbook *workbook = workbook_new_opt(path.constData(), &options);
    if (!workbook) {
        *error = fileName + QStringLiteral(": kann nicht angelegt werden");
        return false;
    }
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_error cellError = LXW_NO_ERROR;
    for (const auto &[position, text] : cells) {
        const lxw_row_t row = static_cast<lxw_row_t>(position.first - 1);
        const lxw_col_t col = static_cast<lxw_col_t>(position.second - 1);
        lxw_error written = LXW_NO_ERROR;
        if (const std::optional<double> number = ReadRaceNumber(text))
            written = worksheet_write_number(sheet, row, col, *number, nullptr);
        else if (!text.isEmpty())
            written = worksheet_write_string(sheet, row, col, text.toUtf8().constData(), nullptr);
        if (cellError == LXW_NO_ERROR)
            cellError = written;
    }
    for (const auto &[column, width] : ColumnWidths(cells)) {
        const lxw_col_t col = static_cast<lxw_col_t>(column - 1);
        worksheet_set_column(sheet, col, col, width, nullptr);
    }
    const lxw_error closed = workbook_close(workbook);
    const lxw_error result = cellError != LXW_NO_ERROR ? cellError : closed;
    if (result == LXW_NO_ERROR)
        return true;
    *error = fileName + QStringLiteral(": ") + QString::fromUtf8(lxw_strerror(result));
    return false;
}
