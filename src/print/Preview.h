// The print preview: records a document page by page as vector drawings,
// shows one page at a time on a paper sheet that can be zoomed, scrolled and
// dragged, and prints the pages: to the printer, or to the file the print
// dialog chose, or to a PDF file it asks for when there is neither.
#pragma once

#include "print/MetaFileList.h"
#include "print/PaperTypes.h"
#include "print/PaperUnits.h"

#include <QFont>
#include <QFrame>
#include <QPainter>
#include <QPicture>
#include <QPointer>
#include <QPrinter>
#include <exception>
#include <memory>

class QScrollBar;
class TPaperPreview;

enum TZoomState { zsZoomOther, zsZoomToWidth, zsZoomToHeight, zsZoomToFit };
enum class TPreviewState { Idle, Building, Printing };

// Thrown inside printing to stop the job; never leaves PrintPages.
class EAbortPrint : public std::exception
{
public:
    const char *what() const noexcept override { return ""; }
};

// Plays a stored page so that its frame (boundingRect) fills `target`.
void PlayPage(QPainter &painter, const QPicture &page, const QRect &target);

// Whether the printer writes into a file the print dialog chose (a PDF),
// which needs no printer installed.
bool PrintsIntoFile(const QPrinter &printer);

class TPrintPreview : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QString PrintJobTitle READ PrintJobTitle WRITE SetPrintJobTitle)
    Q_PROPERTY(int PaperWidth READ PaperWidth WRITE SetPaperWidth)
    Q_PROPERTY(int PaperHeight READ PaperHeight WRITE SetPaperHeight)
    Q_PROPERTY(int MarginLeft READ MarginLeft WRITE SetMarginLeft)
    Q_PROPERTY(int MarginRight READ MarginRight WRITE SetMarginRight)
    Q_PROPERTY(int MarginTop READ MarginTop WRITE SetMarginTop)
    Q_PROPERTY(int MarginBottom READ MarginBottom WRITE SetMarginBottom)
    Q_PROPERTY(int Zoom READ Zoom WRITE SetZoom)
    Q_PROPERTY(bool UseTempFile READ UseTempFile WRITE SetUseTempFile)
    Q_PROPERTY(int CurrentPage READ CurrentPage WRITE SetCurrentPage)

public:
    static constexpr int Gutter = 6;    // pixels around the sheet
    static constexpr int SmallStep = 8; // scroll bar step in pixels

    explicit TPrintPreview(QWidget *parent = nullptr);
    ~TPrintPreview() override;

    // The printer pages go to; the preview's own unless one is set. The
    // caller keeps ownership of a printer it sets.
    QPrinter *Printer();
    void SetPrinter(QPrinter *printer);

    QString PrintJobTitle() const { return m_printJobTitle; }
    void SetPrintJobTitle(const QString &title) { m_printJobTitle = title; }

    // All lengths below are in Units.
    TUnits Units() const { return m_units; }
    void SetUnits(TUnits units);
    QPageLayout::Orientation Orientation() const { return m_orientation; }
    void SetOrientation(QPageLayout::Orientation orientation);
    TPaperType PaperType() const { return m_paperType; }
    void SetPaperType(TPaperType type);
    int PaperWidth() const { return m_paper.width(); }
    void SetPaperWidth(int width);
    int PaperHeight() const { return m_paper.height(); }
    void SetPaperHeight(int height);
    int MarginLeft() const { return m_margins.left(); }
    void SetMarginLeft(int margin);
    int MarginRight() const { return m_margins.right(); }
    void SetMarginRight(int margin);
    int MarginTop() const { return m_margins.top(); }
    void SetMarginTop(int margin);
    int MarginBottom() const { return m_margins.bottom(); }
    void SetMarginBottom(int margin);
    // The paper less the margins.
    QRect PageBounds() const;

    TZoomState ZoomState() const { return m_zoomState; }
    void SetZoomState(TZoomState state);
    int Zoom() const { return m_zoom; }
    void SetZoom(int percent);

    bool UseTempFile() const { return m_pages.UseTempFile(); }
    void SetUseTempFile(bool on) { m_pages.SetUseTempFile(on); }
    // The control's font; a new page's canvas starts with it.
    QFont Font() const { return m_font; }
    void SetFont(const QFont &font) { m_font = font; }

    // Building a document.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    // The open page's painter while building (coordinates in Units from the
    // paper's top-left corner), nullptr otherwise.
    QPainter *Canvas();
    void Clear();

    TPreviewState State() const { return m_state; }
    int TotalPages() const { return m_pages.Count(); }
    int CurrentPage() const { return m_currentPage; }
    void SetCurrentPage(int page);
    // Stored page `page` (1-based); an empty picture out of range. Its frame
    // (boundingRect) is the paper in printer pixels.
    const QPicture &PageAt(int page);
    bool Aborted() const { return m_aborted; }

    void Print();
    void PrintPages(int fromPage, int toPage);

    // Children, for the window that holds the preview and for tests.
    TPaperPreview *Sheet() const { return m_sheet; }
    QScrollBar *HorzScrollBar() const { return m_hBar; }
    QScrollBar *VertScrollBar() const { return m_vBar; }
    QWidget *InnerPanel() const { return m_inner; }
    // The paper in printer pixels and the resolutions it was measured with.
    QSize PaperPixels() const { return m_paperPixels; }
    QSize PrinterDpi() const { return m_printerDpi; }

signals:
    void OnBeginDoc(TPrintPreview *sender);
    void OnEndDoc(TPrintPreview *sender);
    void OnNewPage(TPrintPreview *sender);
    void OnAbort(TPrintPreview *sender);
    void OnChange(TPrintPreview *sender);
    void OnPrintProgress(TPrintPreview *sender, int pageNum, int progress, bool &abortIt);
    void OnBeforePrint(TPrintPreview *sender);
    void OnAfterPrint(TPrintPreview *sender);
    // A line for the holder's status bar (pages written to a PDF file, ...).
    void OnStatusText(TPrintPreview *sender, const QString &text);
    void OnClick(TPrintPreview *sender);
    void OnDblClick(TPrintPreview *sender);
    void OnMouseDown(TPrintPreview *sender, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                     const QPoint &pos);
    void OnMouseMove(TPrintPreview *sender, Qt::MouseButtons buttons,
                     Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void OnMouseUp(TPrintPreview *sender, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                   const QPoint &pos);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void RefreshPrinterData();
    void UpdateLayout();
    void PlaceChildren();
    void ScrollSheet();
    void ClosePage();
    void PaintPage(QPainter *canvas, const QRect &pageRect);
    void SheetMouseDown(Qt::MouseButton button, const QPoint &pos);
    void SheetMouseMove(Qt::MouseButtons buttons, const QPoint &pos);
    void PrintRange(QPrinter &printer, int fromPage, int toPage);
    // The paper as the printer is told it: upright, the orientation apart.
    QPageSize PrinterPageSize() const;
    void ReportProgress(QPrinter &printer, int page, int done, int total);
    void SetPaperSize(const QSize &size);
    int ToUnits(int value, TUnits from, Qt::Orientation axis) const;

    TPreviewState m_state = TPreviewState::Idle;
    int m_currentPage = 0;
    bool m_aborted = false;
    // An installed printer, or a printer sent into a file by the print
    // dialog; without either, printing asks for a PDF file.
    bool m_printerReady = false;
    bool m_destroying = false;
    QSize m_printerDpi{96, 96};
    QSize m_paperPixels;

    QString m_printJobTitle;
    TUnits m_units = mmHiMetric;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    TPaperType m_paperType = pA4;
    QSize m_paper{21000, 29700};
    QMargins m_margins{700, 700, 700, 700};
    int m_minimumMargin = 600;
    TZoomState m_zoomState = zsZoomToFit;
    int m_zoom = 100;
    QFont m_font{QStringLiteral("Arial")};

    TMetaFileList m_pages;
    std::unique_ptr<QPicture> m_openPage;
    QPainter m_canvas;

    std::unique_ptr<QPrinter> m_ownPrinter;
    QPrinter *m_printer = nullptr;

    QScrollBar *m_hBar = nullptr;
    QScrollBar *m_vBar = nullptr;
    QWidget *m_inner = nullptr;
    TPaperPreview *m_sheet = nullptr;
    QPoint m_mouseDownPos;
    bool m_dragBlocked = false;
};
