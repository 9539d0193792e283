// The window's export buttons and the save dialog, over the protocol file
// writers and the office exports.
#include "app/ExportController.h"

#include "app/ProtocolController.h"
#include "platform/Platform.h"
#include "protocol/Excel.h"
#include "protocol/FixedNameFile.h"
#include "protocol/ProtocolPrint.h"
#include "protocol/SpreadsheetServer.h"
#include "protocol/WordProcessorExport.h"
#include "widgets/SortGrid.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>

ExportController::ExportController(const Controls &controls, const ProtocolController &protocol,
                                   QObject *parent)
    : QObject(parent), m_controls(controls), m_protocol(protocol)
{
    RemoveOldWorkbooks(QDateTime::currentDateTime());
    connect(controls.save, &QToolButton::clicked, this, &ExportController::sbSaveClick);
    connect(controls.webPage, &QToolButton::clicked, this, [this] { sbInetClick(0); });
    connect(controls.print, &QToolButton::clicked, this, [this] { sbInetClick(1); });
    connect(controls.spreadsheet, &QToolButton::clicked, this, &ExportController::sbExcelClick);
    connect(controls.document, &QToolButton::clicked, this, &ExportController::sbWordClick);
}

CellRows ExportController::ProtocolRows() const
{
    return CellRowsOf(m_protocol.Model().Shown());
}

// --- save dialog -----------------------------------------------------------------

void ExportController::sbSaveClick()
{
    Platform::FileDialogRequest &dialog = *m_controls.saveDialog;
    const Platform::FileDialogAnswer answer =
        CurrentPlatform().SaveFileDialog(m_controls.window, dialog);
    if (!answer.accepted)
        return;
    dialog.filterIndex = answer.filterIndex;
    dialog.folder = QFileInfo(answer.fileName).absolutePath();
    dialog.fileName = answer.fileName;
    if (!SaveAs(SaveDialogType(answer.filterIndex), answer.fileName))
        return;
    emit protocolSaved();
    ShowNotice(QStringLiteral("Protokoll gespeichert: ") +
               QDir::toNativeSeparators(answer.fileName));
}

// Each file type of the dialog's table is written by the table's writer;
// a failure leaves a previous file of that name as it was.
bool ExportController::SaveAs(FileType type, const QString &fileName)
{
    const FileTypeDescription &description = DescriptionOf(type);
    if (!description.writer)
        return !ExportDocument(WordProcessorMode::Background, fileName).isEmpty();
    return WriteFile(fileName, description.writer(m_protocol.Model().Shown(), Title()),
                     NameChosenBy::Operator, description);
}

bool ExportController::WriteFile(const QString &fileName, const QByteArray &bytes,
                                 NameChosenBy chooser, const FileTypeDescription &type)
{
    QString reason;
    if (chooser == NameChosenBy::Program ? WriteFixedNameFile(fileName, bytes, &reason)
                                         : ReplaceFileContents(fileName, bytes, &reason))
        return true;
    ShowError(
        QString::fromLatin1(type.failure) + fileName +
        (type.failureGivesReason && !reason.isEmpty() ? QStringLiteral("\n") + reason : QString()));
    return false;
}

void ExportController::ShowError(const QString &text)
{
    CurrentPlatform().MessageBox(m_controls.window, Title(), text, Platform::MessageKind::Error);
}

void ExportController::ShowNotice(const QString &text)
{
    m_controls.statusLine->showMessage(text);
}

// --- web page ----------------------------------------------------------------------

QString ExportController::HtmlPageName() const
{
    return QDir::current().absoluteFilePath(Title() + QStringLiteral(".html"));
}

void ExportController::sbInetClick(int tag)
{
    const QString pageName = HtmlPageName();
    const CellRows rows = ProtocolRows();
    // A page that could not be written now must not be replaced by an
    // older one of the same name in the browser or on paper.
    if (!WriteFile(pageName, HtmlProtocolPage(rows, Title()), NameChosenBy::Program))
        return;
    if (tag == 1)
        PrintProtocol(rows);
    else if (!CurrentPlatform().OpenUrl(QUrl::fromLocalFile(pageName)))
        ShowNotice(QStringLiteral("Kein Browser gefunden; die Seite liegt hier: ") +
                   QDir::toNativeSeparators(pageName));
}

void ExportController::PrintProtocol(const CellRows &rows)
{
    Platform &platform = CurrentPlatform();
    if (!platform.PrinterInstalled()) {
        SaveProtocolPdf(rows);
        return;
    }
    if (!platform.PrintDialog(m_controls.window, m_controls.printer))
        return;
    const ProtocolHeading heading = PrintedHeading();
    platform.PrintPages(m_controls.printer, [&rows, &heading](QPagedPaintDevice *printer) {
        PaintProtocolPages(rows, heading, printer);
    });
}

ProtocolHeading ExportController::PrintedHeading() const
{
    return {Title(), m_protocol.EventName, QDate::currentDate()};
}

void ExportController::SaveProtocolPdf(const CellRows &rows)
{
    Platform::FileDialogRequest request;
    request.title = QStringLiteral("Kein Drucker eingerichtet: Protokoll als PDF speichern");
    request.folder = QDir::currentPath();
    request.fileName = Title() + QStringLiteral(".pdf");
    request.filter = QStringLiteral("PDF-Dokument (*.pdf)|*.pdf");
    request.defaultSuffix = QStringLiteral("pdf");
    const Platform::FileDialogAnswer answer =
        CurrentPlatform().SaveFileDialog(m_controls.window, request);
    if (!answer.accepted)
        return;
    if (!WriteFile(answer.fileName, ProtocolPagePdf(rows, PrintedHeading())))
        return;
    ShowNotice(QStringLiteral("Protokoll als PDF gespeichert: ") +
               QDir::toNativeSeparators(answer.fileName));
}

// --- office programs -------------------------------------------------------------

void ExportController::sbExcelClick()
{
    try {
        ExportToSpreadsheet(ProtocolRows(), m_controls.window);
    } catch (const EAutomationNotShown &notShown) {
        CurrentPlatform().MessageBox(m_controls.window, Title(), notShown.Message(),
                                     Platform::MessageKind::Information);
    } catch (const EAutomationError &error) {
        ShowError(error.Message());
    }
}

void ExportController::sbWordClick()
{
    const QString saved =
        ExportDocument(WordProcessorMode::Visible,
                       DateStampName(QDateTime::currentDateTime()) + QStringLiteral(".doc"));
    if (!saved.isEmpty())
        ShowNotice(QStringLiteral("Dokument gespeichert: ") + QDir::toNativeSeparators(saved));
}

QString ExportController::ExportDocument(WordProcessorMode mode, const QString &fileName)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString saved;
    try {
        saved = ExportToWordProcessor(ProtocolRows(), mode, *m_controls.templatePath, fileName);
        if (saved.isEmpty())
            saved = fileName;
    } catch (const EAutomationError &error) {
        QApplication::restoreOverrideCursor();
        ShowError(error.Message());
        return {};
    }
    QApplication::restoreOverrideCursor();
    return saved;
}
