// The built-in spreadsheet automation server.
#include "protocol/SpreadsheetServer.h"

#include "platform/Desktop.h"
#include "protocol/FixedNameFile.h"
#include "protocol/RegularFile.h"
#include "protocol/SpreadsheetFile.h"
#include "protocol/UserTempFolder.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QUrl>
#include <limits>
#include <optional>

namespace {

// The workbooks' names: "Protokoll-<date and time to the millisecond>.xlsx".
const QString WorkbookPrefix = QStringLiteral("Protokoll-");
const QString WorkbookSuffix = QStringLiteral(".xlsx");
// How long a workbook is kept for the spreadsheet program that opened it.
constexpr int WorkbookDays = 7;

// What all objects of one application share.
struct Spreadsheet
{
    bool visible = false;
    bool hasWorkbook = false;
    SheetCells cells;
};

// The row and column limits of a sheet.
constexpr int MaxRow = 1048576;
constexpr int MaxColumn = 16384;

enum class Role { Application, Workbooks, AllCells, Selection, Columns };

class SpreadsheetObject : public AutomationObject
{
public:
    SpreadsheetObject(std::shared_ptr<Spreadsheet> sheet, Role role)
        : m_sheet(std::move(sheet)), m_role(role)
    {}

    AutomationResult Call(const QString &member, const QVariantList &,
                          const NamedArguments &) override
    {
        switch (m_role) {
        case Role::Application:
            if (IsMember(member, "Workbooks"))
                return Object(Role::Workbooks);
            if (IsMember(member, "Cells"))
                return Object(Role::AllCells);
            if (IsMember(member, "Selection"))
                return Object(Role::Selection);
            break;
        case Role::Workbooks:
            if (IsMember(member, "Add")) {
                m_sheet->hasWorkbook = true;
                m_sheet->cells.clear();
                return {};
            }
            break;
        case Role::AllCells:
            // Every column is fitted anyway, whatever is selected.
            if (IsMember(member, "Select"))
                return {};
            break;
        case Role::Selection:
            if (IsMember(member, "Columns"))
                return Object(Role::Columns);
            break;
        case Role::Columns:
            if (IsMember(member, "Autofit"))
                return {WriteWorkbook(), nullptr};
            break;
        }
        throw EAutomationError(QStringLiteral("Unbekannter Name: ") + member);
    }

    void Put(const QString &property, const QVariant &value) override
    {
        if (m_role != Role::Application || !IsMember(property, "Visible"))
            throw EAutomationError(QStringLiteral("Unbekannter Name: ") + property);
        m_sheet->visible = value.toBool();
    }

    void PutIndexed(const QString &property, const QVariantList &indices,
                    const QVariant &value) override
    {
        if (m_role != Role::Application || !IsMember(property, "Cells"))
            throw EAutomationError(QStringLiteral("Unbekannter Name: ") + property);
        if (!m_sheet->hasWorkbook)
            throw EAutomationError(QStringLiteral("Keine Arbeitsmappe geöffnet"));
        bool rowOk = false, columnOk = false;
        const int row = indices.value(0).toInt(&rowOk);
        const int column = indices.value(1).toInt(&columnOk);
        if (indices.size() != 2 || !rowOk || !columnOk || row < 1 || row > MaxRow || column < 1 ||
            column > MaxColumn)
            throw EAutomationError(QStringLiteral("Zelle außerhalb des Blattes"));
        m_sheet->cells[{row, column}] = value.toString();
    }

private:
    AutomationResult Object(Role role) const
    {
        return {QVariant(), std::make_shared<SpreadsheetObject>(m_sheet, role)};
    }

    // Fitting the columns ends the export: the workbook goes to a file of
    // its own, so a second export never overwrites one still open.
    QString WriteWorkbook() const
    {
        if (!m_sheet->hasWorkbook)
            throw EAutomationError(QStringLiteral("Keine Arbeitsmappe geöffnet"));
        QString error;
        const QString folder = UserTempFolder(&error);
        if (folder.isEmpty())
            throw EAutomationError(QStringLiteral("Error write file: ") + error);
        const QString path = QDir(folder).filePath(
            WorkbookPrefix +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HH-mm-ss-zzz")) +
            WorkbookSuffix);
        const std::optional<QByteArray> workbook = WorkbookBytes(folder, &error);
        if (!workbook || !WriteFixedNameFile(path, *workbook, &error))
            throw EAutomationError(QStringLiteral("Error write file: ") + error);
        if (m_sheet->visible && !CurrentDesktop().OpenUrl(QUrl::fromLocalFile(path)))
            throw EAutomationNotShown(
                QStringLiteral("Kein Tabellenprogramm gefunden; die Arbeitsmappe liegt hier: ") +
                QDir::toNativeSeparators(path));
        return path;
    }

    // The library writes only into files of its own naming: it makes the
    // workbook in a scratch folder, from where it is read back.
    std::optional<QByteArray> WorkbookBytes(const QString &folder, QString *error) const
    {
        QTemporaryDir scratch(QDir(folder).filePath(QStringLiteral("arbeitsmappe-XXXXXX")));
        if (!scratch.isValid()) {
            *error = scratch.path() + QStringLiteral(": ") + scratch.errorString();
            return std::nullopt;
        }
        const QString draft = scratch.filePath(QStringLiteral("Protokoll.xlsx"));
        if (!WriteSpreadsheetFile(draft, m_sheet->cells, error))
            return std::nullopt;
        RegularFileRead read = ReadRegularFile(draft, std::numeric_limits<int>::max());
        if (!read.ok) {
            *error = draft + QStringLiteral(": ") + read.error;
            return std::nullopt;
        }
        return std::move(read.bytes);
    }

    std::shared_ptr<Spreadsheet> m_sheet;
    Role m_role;
};

} // namespace

AutomationRef CreateSpreadsheetServer()
{
    return std::make_shared<SpreadsheetObject>(std::make_shared<Spreadsheet>(), Role::Application);
}

void RemoveOldWorkbooks(const QDateTime &now)
{
    QString error;
    const QString folder = UserTempFolder(&error);
    if (folder.isEmpty())
        return;
    const QFileInfoList workbooks = QDir(folder).entryInfoList(
        {WorkbookPrefix + QLatin1Char('*') + WorkbookSuffix}, QDir::Files | QDir::NoSymLinks);
    for (const QFileInfo &workbook : workbooks) {
        if (workbook.lastModified().addDays(WorkbookDays) < now)
            QFile::remove(workbook.filePath());
    }
}
