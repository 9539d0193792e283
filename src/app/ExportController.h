// The protocol leaving the program: the save dialog with its file
// types, the web page shown in the browser or printed (a PDF when there is
// no printer), the spreadsheet and the word-processor document.
#pragma once

#include "app/FileTypeNames.h"
#include "platform/Platform.h"
#include "protocol/ProtocolFiles.h"
#include "protocol/ProtocolPrint.h"
#include "protocol/WordProcessorExport.h"

#include <QObject>
#include <QString>

class ProtocolController;
class QPrinter;
class QStatusBar;
class QToolButton;

class ExportController : public QObject
{
    Q_OBJECT

public:
    // The window's controls and records the exports use.
    struct Controls
    {
        QToolButton *save = nullptr;
        QToolButton *webPage = nullptr;
        QToolButton *print = nullptr;
        QToolButton *spreadsheet = nullptr;
        QToolButton *document = nullptr;
        QStatusBar *statusLine = nullptr;
        // The dialogs' parent.
        QWidget *window = nullptr;
        QPrinter *printer = nullptr;
        Platform::FileDialogRequest *saveDialog = nullptr;
        // Known once the window has found its names.
        const QString *applicationTitle = nullptr;
        const QString *templatePath = nullptr;
    };

    // Wires the export buttons; the protocol is read for its event name.
    ExportController(const Controls &controls, const ProtocolController &protocol, QObject *parent);

    void sbSaveClick();
    // Tag 0 shows the page in the browser, tag 1 prints it.
    void sbInetClick(int tag);
    // The table in a new workbook of the spreadsheet program.
    void sbExcelClick();
    // A document from the template, saved under the date and time in the
    // documents folder and shown in the word processor.
    void sbWordClick();

    // Writes the document; where it went, or empty after an error box.
    QString ExportDocument(WordProcessorMode mode, const QString &fileName);

    // The page for the browser and the printer: the program's name with
    // ".html", in the current folder.
    QString HtmlPageName() const;

    // The table as shown, header row first.
    CellRows ProtocolRows() const;

signals:
    // The protocol went into a file the operator chose in the save dialog.
    void protocolSaved();

private:
    bool SaveAs(FileType type, const QString &fileName);
    // A name from the save dialog follows links; one the program made up
    // itself never does.
    enum class NameChosenBy { Operator, Program };
    // Replaces the file by the bytes; false after the type's error box
    // naming it (the page's box for the files of no save type).
    bool WriteFile(const QString &fileName, const QByteArray &bytes,
                   NameChosenBy chooser = NameChosenBy::Operator,
                   const FileTypeDescription &type = DescriptionOf(FileType::WebPage));
    void ShowError(const QString &text);
    void PrintProtocol(const CellRows &rows);
    // The program's title, the loaded list's event and today.
    ProtocolHeading PrintedHeading() const;
    void SaveProtocolPdf(const CellRows &rows);

    void ShowNotice(const QString &text);
    const QString &Title() const { return *m_controls.applicationTitle; }

    Controls m_controls;
    const ProtocolController &m_protocol;
};
