// The window's export buttons and the save dialog, over the protocol file
// writers and the office exports.
#include "app/ExportController.h"

#include "app/FMain.h"
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
#include <QToolButton>
#include <QUrl>

ExportController::ExportController(TFormMain *form) : QObject(form), m_form(form)
{
    RemoveOldWorkbooks(QDateTime::currentDateTime());
    connect(form->sbSave, &QToolButton::clicked, this, &ExportController::sbSaveClick);
    connect(form->sbInet, &QToolButton::clicked, this, [this] { sbInetClick(0); });
    connect(form->sbPrint, &QToolButton::clicked, this, [this] { sbInetClick(1); });
    connect(form->sbExcel, &QToolButton::clicked, this, &ExportController::sbExcelClick);
    connect(form->sbWord, &QToolButton::clicked, this, &ExportController::sbWordClick);
}

CellRows ExportController::GridRows() const
{
    return m_form->SortGrid1->TableRows();
}

// --- save dialog -----------------------------------------------------------------

void ExportController::sbSaveClick()
{
    Platform::FileDialogRequest &dialog = m_form->SaveDialog1;
    const Platform::FileDialogAnswer answer = CurrentPlatform().SaveFileDialog(m_form, dialog);
    if (!answer.accepted)
        return;
    dialog.filterIndex = answer.filterIndex;
    dialog.folder = QFileInfo(answer.fileName).absolutePath();
    dialog.fileName = answer.fileName;
    if (!SaveAs(answer.filterIndex, answer.fileName))
        return;
    m_form->Protocol->MarkProtocolSaved();
    m_form->ShowNotice(QStringLiteral("Protokoll gespeichert: ") +
                       QDir::toNativeSeparators(answer.fileName));
}

bool ExportController::SaveAs(int type, const QString &fileName)
{
    switch (type) {
    case SaveCsv:
        return m_form->SortGrid1->SaveToFile(fileName);
    case SaveDocument:
        return !ExportDocument(WordProcessorMode::Background, fileName).isEmpty();
    case SaveWebPage:
        return WriteHtmlProtocol(fileName);
    default:
        return WriteFile(fileName, TabSeparatedProtocol(GridRows()));
    }
}

bool ExportController::WriteFile(const QString &fileName, const QByteArray &bytes,
                                 NameChosenBy chooser)
{
    QString reason;
    if (chooser == NameChosenBy::Program ? WriteFixedNameFile(fileName, bytes, &reason)
                                         : ReplaceFileContents(fileName, bytes, &reason))
        return true;
    ShowWriteError(fileName, reason);
    return false;
}

void ExportController::ShowError(const QString &text)
{
    CurrentPlatform().MessageBox(m_form, m_form->ApplicationTitle, text,
                                 Platform::MessageKind::Error);
}

void ExportController::ShowWriteError(const QString &fileName, const QString &reason)
{
    QString text = QStringLiteral("Error write file: ") + fileName;
    if (!reason.isEmpty())
        text += QStringLiteral("\n") + reason;
    ShowError(text);
}

// --- web page ----------------------------------------------------------------------

QString ExportController::HtmlPageName() const
{
    return QDir::current().absoluteFilePath(m_form->ApplicationTitle + QStringLiteral(".html"));
}

bool ExportController::WriteHtmlProtocol(const QString &fileName)
{
    return WriteFile(fileName, HtmlProtocolPage(GridRows(), m_form->ApplicationTitle));
}

void ExportController::sbInetClick(int tag)
{
    const QString pageName = HtmlPageName();
    const CellRows rows = GridRows();
    // A page that could not be written now must not be replaced by an
    // older one of the same name in the browser or on paper.
    if (!WriteFile(pageName, HtmlProtocolPage(rows, m_form->ApplicationTitle),
                   NameChosenBy::Program))
        return;
    if (tag == 1)
        PrintProtocol(rows);
    else if (!CurrentPlatform().OpenUrl(QUrl::fromLocalFile(pageName)))
        m_form->ShowNotice(QStringLiteral("Kein Browser gefunden; die Seite liegt hier: ") +
                           QDir::toNativeSeparators(pageName));
}

void ExportController::PrintProtocol(const CellRows &rows)
{
    Platform &platform = CurrentPlatform();
    if (!platform.PrinterInstalled()) {
        SaveProtocolPdf(rows);
        return;
    }
    if (!platform.PrintDialog(m_form, &m_form->Printer))
        return;
    const ProtocolHeading heading = PrintedHeading();
    platform.PrintPages(&m_form->Printer, [&rows, &heading](QPagedPaintDevice *printer) {
        PaintProtocolPages(rows, heading, printer);
    });
}

ProtocolHeading ExportController::PrintedHeading() const
{
    return {m_form->ApplicationTitle, m_form->Protocol->EventName, QDate::currentDate()};
}

void ExportController::SaveProtocolPdf(const CellRows &rows)
{
    Platform::FileDialogRequest request;
    request.title = QStringLiteral("Kein Drucker eingerichtet: Protokoll als PDF speichern");
    request.folder = QDir::currentPath();
    request.fileName = m_form->ApplicationTitle + QStringLiteral(".pdf");
    request.filter = QStringLiteral("PDF-Dokument (*.pdf)|*.pdf");
    request.defaultSuffix = QStringLiteral("pdf");
    const Platform::FileDialogAnswer answer = CurrentPlatform().SaveFileDialog(m_form, request);
    if (!answer.accepted)
        return;
    if (!WriteFile(answer.fileName, ProtocolPagePdf(rows, PrintedHeading())))
        return;
    m_form->ShowNotice(QStringLiteral("Protokoll als PDF gespeichert: ") +
                       QDir::toNativeSeparators(answer.fileName));
}

// --- office programs -------------------------------------------------------------

void ExportController::sbExcelClick()
{
    try {
        ExportToSpreadsheet(GridRows(), m_form);
    } catch (const EAutomationNotShown &notShown) {
        CurrentPlatform().MessageBox(m_form, m_form->ApplicationTitle, notShown.Message(),
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
        m_form->ShowNotice(QStringLiteral("Dokument gespeichert: ") +
                           QDir::toNativeSeparators(saved));
}

QString ExportController::ExportDocument(WordProcessorMode mode, const QString &fileName)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString saved;
    try {
        saved = ExportToWordProcessor(GridRows(), mode, m_form->ProtocolTemplatePath, fileName);
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
