// The certificate window "Ansicht": one page per placed protocol row, laid
// out by the shared certificate layout, shown in the print preview with
// zoom, page and orientation choices (Escape closes it), and printed on
// "Drucken": on the printer, or into the file and on the paper the print
// dialog chose. Without a printer and without such a file the preview works
// on A4 and "Drucken" asks for one PDF file.
#pragma once

#include "protocol/ProtocolTable.h"

#include <QMainWindow>

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QSpinBox;
class TPrintPreview;

// The rows a print run considers, taken from the protocol when the
// operator asked for the certificates.
struct CertificateRun
{
    ProtocolTable table;
    QString eventName;
    int firstRow = 1; // protocol rows, counted from 1
    int lastRow = 0;
};

class TFormPP : public QMainWindow
{
    Q_OBJECT

public:
    // printer: the program's current printer, shared with the main window.
    explicit TFormPP(QPrinter *printer, QWidget *parent = nullptr);

    QPushButton *Button1 = nullptr; // "Drucken"
    QComboBox *cbZoom = nullptr;
    QSpinBox *sePage = nullptr;
    QComboBox *cbOri = nullptr;
    TPrintPreview *PrintPreview1 = nullptr;
    QLabel *Notice = nullptr; // the status line

    // Shows the window (not modal) with the pages of the run; a window that
    // is already open comes to the front with the new pages.
    void ShowCertificates(const CertificateRun &run);
    // Lays out one page per placed row of the run, from scratch, on the
    // printer's printable area in its orientation.
    void BuildPages();

    void cbZoomChange();
    void sePageChange();
    void cbOriChange();
    void Button1Click();

private:
    QWidget *CreateToolBar();
    void CreatePreview();
    void FitToScreen();
    void CreateNoticeLine();
    void ShowNotice(const QString &text);
    // The page field on page 1 of `pages`, usable when there is more than one.
    void SetPageCount(int pages);
    // The certificate page in 0.1 mm: the printer's printable area, the
    // whole sheet when it prints into a file, or an A4 sheet when there is
    // neither a printer nor a file.
    QSize CertificatePaper() const;
    void ShowPrintProgress(int page, int progress);
    void EnableControls(bool enabled);

    QPrinter *m_printer = nullptr;
    CertificateRun m_run;
};
