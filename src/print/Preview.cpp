// The print preview: document building, paper and units, zoom and scrolling,
// keyboard and mouse, and printing.
#include "print/Preview.h"

#include "platform/Platform.h"
#include "print/PaperPreview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPrinterInfo>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <stdexcept>

namespace {

const QString PrintFailedTitle = QStringLiteral("Drucken");

} // namespace

void PlayPage(QPainter &painter, const QPicture &page, const QRect &target)
{
    const QRect frame = page.boundingRect();
    if (frame.isEmpty())
        return;
    // A picture played on a device scales itself by the device's resolution
    // over its own; the frame already says how large the page is.
    const QPaintDevice *device = painter.device();
    const double dpiX = double(page.logicalDpiX()) / device->logicalDpiX();
    const double dpiY = double(page.logicalDpiY()) / device->logicalDpiY();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(dpiX * target.width() / frame.width(), dpiY * target.height() / frame.height());
    painter.drawPicture(0, 0, page);
    painter.restore();
}

bool PrintsIntoFile(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
}

TPrintPreview::TPrintPreview(QWidget *parent) : QFrame(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    m_hBar = new QScrollBar(Qt::Horizontal, this);
    m_vBar = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar *bar : {m_hBar, m_vBar}) {
        bar->setSingleStep(SmallStep);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setRange(0, 0);
        connect(bar, &QScrollBar::valueChanged, this, &TPrintPreview::ScrollSheet);
    }
    m_inner = new QWidget(this);
    m_sheet = new TPaperPreview(m_inner);
    m_sheet->hide();
    connect(
        m_sheet, &TPaperPreview::OnPaint, this,
        [this](TPaperPreview *, QPainter *canvas, const QRect &page) { PaintPage(canvas, page); });
    connect(m_sheet, &TPaperPreview::OnMouseDown, this,
            [this](TPaperPreview *, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                   const QPoint &pos) {
                SheetMouseDown(button, pos);
                emit OnMouseDown(this, button, modifiers, pos);
            });
    connect(m_sheet, &TPaperPreview::OnMouseMove, this,
            [this](TPaperPreview *, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                   const QPoint &pos) {
                SheetMouseMove(buttons, pos);
                emit OnMouseMove(this, buttons, modifiers, pos);
            });
    connect(m_sheet, &TPaperPreview::OnMouseUp, this,
            [this](TPaperPreview *, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                   const QPoint &pos) {
                m_dragBlocked = false;
                emit OnMouseUp(this, button, modifiers, pos);
            });
    connect(m_sheet, &TPaperPreview::OnClick, this, [this] { emit OnClick(this); });
    connect(m_sheet, &TPaperPreview::OnDblClick, this, [this] {
        m_dragBlocked = true; // a double click is no drag
        emit OnDblClick(this);
    });
    RefreshPrinterData();
    UpdateLayout();
}

TPrintPreview::~TPrintPreview()
{
    m_destroying = true;
    m_state = TPreviewState::Idle;
    Clear();
}

QPrinter *TPrintPreview::Printer()
{
    if (m_printer)
        return m_printer;
    if (!m_ownPrinter)
        m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_ownPrinter.get();
}

void TPrintPreview::SetPrinter(QPrinter *printer)
{
    m_printer = printer;
    RefreshPrinterData();
    UpdateLayout();
}

// --- zoom and layout ---

void TPrintPreview::SetZoomState(TZoomState state)
{
    if (state == m_zoomState)
        return;
    m_zoomState = state;
    UpdateLayout();
}

void TPrintPreview::SetZoom(int percent)
{
    percent = std::max(1, percent);
    if (percent == m_zoom && m_zoomState == zsZoomOther)
        return;
    m_zoom = percent;
    m_zoomState = zsZoomOther;
    UpdateLayout();
}

void TPrintPreview::PlaceChildren()
{
    const QRect area = contentsRect();
    const int barWidth = m_vBar->isVisibleTo(this) ? m_vBar->sizeHint().width() : 0;
    const int barHeight = m_hBar->isVisibleTo(this) ? m_hBar->sizeHint().height() : 0;
    m_inner->setGeometry(area.x(), area.y(), std::max(0, area.width() - barWidth),
                         std::max(0, area.height() - barHeight));
    m_vBar->setGeometry(area.right() - barWidth + 1, area.y(), barWidth,
                        std::max(0, area.height() - barHeight));
    m_hBar->setGeometry(area.x(), area.bottom() - barHeight + 1,
                        std::max(0, area.width() - barWidth), barHeight);
    m_hBar->setPageStep(std::max(1, m_inner->width()));
    m_vBar->setPageStep(std::max(1, m_inner->height()));
}

void TPrintPreview::UpdateLayout()
{
    m_hBar->setValue(0);
    m_vBar->setValue(0);
    bool hVisible = m_zoomState == zsZoomOther || m_zoomState == zsZoomToHeight;
    bool vVisible = m_zoomState == zsZoomOther || m_zoomState == zsZoomToWidth;
    const int extra = m_sheet->width() - m_sheet->PaperWidth();
    const QSize paper = m_paperPixels;
    // A bar that appears or goes away changes the room for the sheet, so
    // settle the bars in a few rounds.
    for (int round = 0; round < 3; ++round) {
        m_hBar->setVisible(hVisible);
        m_vBar->setVisible(vVisible);
        PlaceChildren();
        const QSize room = m_inner->size() - QSize(2 * Gutter, 2 * Gutter);
        TZoomState fit = m_zoomState;
        if (fit == zsZoomToFit)
            fit = std::int64_t(room.height()) * paper.width() >
                          std::int64_t(paper.height()) * room.width()
                      ? zsZoomToWidth
                      : zsZoomToHeight;
        QSize sheetPaper;
        if (fit == zsZoomToWidth) {
            const int width = room.width() - extra;
            sheetPaper = QSize(width, MulDiv(width, paper.height(), paper.width()));
        } else if (fit == zsZoomToHeight) {
            const int height = room.height() - extra;
            sheetPaper = QSize(MulDiv(height, paper.width(), paper.height()), height);
        } else {
            sheetPaper = QSize(MulDiv(paper.width(), std::int64_t(logicalDpiX()) * m_zoom,
                                      std::int64_t(m_printerDpi.width()) * 100),
                               MulDiv(paper.height(), std::int64_t(logicalDpiY()) * m_zoom,
                                      std::int64_t(m_printerDpi.height()) * 100));
        }
        m_sheet->SetPaperSize(sheetPaper.expandedTo(QSize(1, 1)));
        const QSize sheet = m_sheet->size();
        m_hBar->setRange(0, sheet.width() > room.width() ? sheet.width() - room.width() : 0);
        m_vBar->setRange(0, sheet.height() > room.height() ? sheet.height() - room.height() : 0);
        const bool hNeeded = m_hBar->maximum() != 0;
        const bool vNeeded = m_vBar->maximum() != 0;
        if (hNeeded == hVisible && vNeeded == vVisible)
            break;
        hVisible = hNeeded;
        vVisible = vNeeded;
    }
    m_hBar->setVisible(m_hBar->maximum() != 0);
    m_vBar->setVisible(m_vBar->maximum() != 0);
    PlaceChildren();
    const bool scrollable = m_hBar->maximum() != 0 || m_vBar->maximum() != 0;
    m_sheet->setCursor(scrollable ? Qt::PointingHandCursor : Qt::ArrowCursor);
    ScrollSheet();
    m_sheet->update();
}

void TPrintPreview::ScrollSheet()
{
    const QSize room = m_inner->size();
    const QSize sheet = m_sheet->size();
    const auto place = [](int roomLength, int sheetLength, const QScrollBar *bar) {
        if (sheetLength < roomLength - 2 * Gutter)
            return (roomLength - sheetLength) / 2;
        return Gutter - bar->value();
    };
    m_sheet->move(place(room.width(), sheet.width(), m_hBar),
                  place(room.height(), sheet.height(), m_vBar));
}

void TPrintPreview::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    UpdateLayout();
}

// --- keyboard and mouse ---

void TPrintPreview::keyPressEvent(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    QScrollBar *across = m_hBar;
    QScrollBar *down = m_vBar;
    const auto step = [ctrl](const QScrollBar *bar) {
        return ctrl ? bar->pageStep() : bar->singleStep();
    };
    switch (event->key()) {
    case Qt::Key_Home:
        (ctrl ? down : across)->setValue((ctrl ? down : across)->minimum());
        break;
    case Qt::Key_End:
        (ctrl ? down : across)->setValue((ctrl ? down : across)->maximum());
        break;
    case Qt::Key_Left:
        across->setValue(across->value() - step(across));
        break;
    case Qt::Key_Right:
        across->setValue(across->value() + step(across));
        break;
    case Qt::Key_Up:
        down->setValue(down->value() - step(down));
        break;
    case Qt::Key_Down:
        down->setValue(down->value() + step(down));
        break;
    case Qt::Key_PageDown:
        SetCurrentPage(ctrl ? TotalPages() : m_currentPage + 1);
        break;
    case Qt::Key_PageUp:
        SetCurrentPage(ctrl ? 1 : m_currentPage - 1);
        break;
    default:
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TPrintPreview::focusInEvent(QFocusEvent *event)
{
    QFrame::focusInEvent(event);
    update();
}

void TPrintPreview::focusOutEvent(QFocusEvent *event)
{
    QFrame::focusOutEvent(event);
    update();
}

void TPrintPreview::SheetMouseDown(Qt::MouseButton, const QPoint &pos)
{
    setFocus(Qt::MouseFocusReason);
    m_mouseDownPos = pos;
    m_dragBlocked = false;
}

void TPrintPreview::SheetMouseMove(Qt::MouseButtons buttons, const QPoint &pos)
{
    if (!(buttons & Qt::LeftButton) || m_dragBlocked)
        return;
    // The sheet moves with the bars, so the point grabbed stays under the mouse.
    if (m_hBar->isVisible())
        m_hBar->setValue(m_hBar->value() - (pos.x() - m_mouseDownPos.x()));
    if (m_vBar->isVisible())
        m_vBar->setValue(m_vBar->value() - (pos.y() - m_mouseDownPos.y()));
}

// --- building a document ---

void TPrintPreview::BeginDoc()
{
    if (m_state != TPreviewState::Idle)
        return;
    Clear();
    RefreshPrinterData();
    m_state = TPreviewState::Building;
    emit OnBeginDoc(this);
    NewPage();
}

void TPrintPreview::NewPage()
{
    if (m_state != TPreviewState::Building)
        return;
    if (m_openPage)
        ClosePage();
    m_openPage = std::make_unique<QPicture>();
    // The frame every page is played back into: the paper in printer pixels.
    m_openPage->setBoundingRect(QRect(QPoint(0, 0), m_paperPixels));
    if (!m_canvas.begin(m_openPage.get())) {
        m_openPage.reset();
        throw std::runtime_error("Not enough memory to create a new page");
    }
    m_canvas.setViewport(QRect(QPoint(0, 0), m_paperPixels));
    m_canvas.setWindow(QRect(QPoint(0, 0), m_paper));
    m_canvas.setFont(m_font);
    emit OnNewPage(this);
}

void TPrintPreview::ClosePage()
{
    m_canvas.end();
    const std::unique_ptr<QPicture> page = std::move(m_openPage);
    m_pages.Add(*page);
    if (m_currentPage == 0) {
        m_currentPage = 1;
        m_sheet->show();
        m_sheet->update();
    }
    emit OnChange(this);
}

void TPrintPreview::EndDoc()
{
    if (m_state != TPreviewState::Building)
        return;
    if (m_openPage)
        ClosePage();
    emit OnChange(this);
    emit OnEndDoc(this);
    m_state = TPreviewState::Idle;
}

QPainter *TPrintPreview::Canvas()
{
    return m_openPage ? &m_canvas : nullptr;
}

void TPrintPreview::Clear()
{
    if (m_state == TPreviewState::Printing)
        return; // the pages are being printed
    if (m_openPage) {
        m_canvas.end();
        m_openPage.reset();
    }
    m_pages.Clear();
    m_state = TPreviewState::Idle;
    m_currentPage = 0;
    m_aborted = false;
    m_sheet->hide();
    if (!m_destroying)
        emit OnChange(this);
}

void TPrintPreview::SetCurrentPage(int page)
{
    if (TotalPages() == 0)
        return;
    page = std::clamp(page, 1, TotalPages());
    if (page == m_currentPage)
        return;
    m_currentPage = page;
    m_sheet->update();
    emit OnChange(this);
}

const QPicture &TPrintPreview::PageAt(int page)
{
    return m_pages.Page(page - 1);
}

void TPrintPreview::PaintPage(QPainter *canvas, const QRect &pageRect)
{
    if (m_currentPage == 0)
        return;
    canvas->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    PlayPage(*canvas, PageAt(m_currentPage), pageRect);
}

// --- printing ---

void TPrintPreview::Print()
{
    PrintPages(1, TotalPages());
}

void TPrintPreview::PrintPages(int fromPage, int toPage)
{
    fromPage = std::min(std::max(fromPage, 1), TotalPages());
    toPage = std::min(toPage, TotalPages());
    if (m_state != TPreviewState::Idle || toPage < fromPage || toPage < 1)
        return;
    const int pages = toPage - fromPage + 1;
    if (m_printerReady) {
        QPrinter &printer = *Printer();
        PrintRange(printer, fromPage, toPage);
        if (m_aborted)
            return;
        // The print dialog may have sent the job into a file instead.
        const QString file = printer.outputFileName();
        emit OnStatusText(this, !PrintsIntoFile(printer)
                                    ? QStringLiteral("%1 Seite(n) an den Drucker %2 gesendet")
                                          .arg(pages)
                                          .arg(printer.printerName())
                                    : QStringLiteral("%1 Seite(n) gespeichert in %2")
                                          .arg(pages)
                                          .arg(QDir::toNativeSeparators(file)));
        return;
    }
    // No printer at all: the pages go to a PDF file the operator can take
    // to any printer.
    Platform::FileDialogRequest request;
    request.title = QStringLiteral("Kein Drucker installiert: als PDF speichern");
    request.folder = QDir::currentPath();
    request.fileName =
        (m_printJobTitle.isEmpty() ? QStringLiteral("Druck") : m_printJobTitle) + ".pdf";
    request.filter = QStringLiteral("PDF-Dokument (*.pdf)|*.pdf");
    request.defaultSuffix = QStringLiteral("pdf");
    const Platform::FileDialogAnswer answer = CurrentPlatform().SaveFileDialog(this, request);
    if (!answer.accepted || answer.fileName.isEmpty())
        return;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(answer.fileName);
    PrintRange(pdf, fromPage, toPage);
    if (m_aborted) {
        QFile::remove(answer.fileName); // half a document is worse than none
        return;
    }
    emit OnStatusText(this, QStringLiteral("Kein Drucker installiert: %1 Seite(n) als PDF "
                                           "gespeichert in %2")
                                .arg(pages)
                                .arg(QDir::toNativeSeparators(answer.fileName)));
}

QPageSize TPrintPreview::PrinterPageSize() const
{
    if (m_paperType != pCustom)
        return PageSizeOf(PaperInfo(m_paperType).size);
    QSize tenths(ConvertUnits(m_paper.width(), m_units, mmLoMetric, m_printerDpi.width()),
                 ConvertUnits(m_paper.height(), m_units, mmLoMetric, m_printerDpi.height()));
    if (m_orientation == QPageLayout::Landscape)
        tenths = Transposed(tenths); // the printer wants it upright
    return QPageSize(QSizeF(tenths) / 10.0, QPageSize::Millimeter, QString(),
                     QPageSize::ExactMatch);
}

void TPrintPreview::ReportProgress(QPrinter &printer, int page, int done, int total)
{
    bool abortIt = false;
    emit OnPrintProgress(this, page, MulDiv(100, done, total), abortIt);
    if (abortIt || printer.printerState() == QPrinter::Aborted)
        throw EAbortPrint();
}

void TPrintPreview::PrintRange(QPrinter &printer, int fromPage, int toPage)
{
    m_aborted = false;
    m_state = TPreviewState::Printing;
    emit OnBeforePrint(this);
    QPainter painter;
    QString failure;
    try {
        if (printer.outputFormat() == QPrinter::NativeFormat && !printer.isValid())
            printer.setPrinterName(QPrinterInfo::defaultPrinterName());
        printer.setPageSize(PrinterPageSize());
        printer.setPageOrientation(m_orientation);
        const QRect sheet = printer.paperRect(QPrinter::DevicePixel).toRect();
        const QRect printable = printer.pageRect(QPrinter::DevicePixel).toRect();
        const QPoint offset = printable.topLeft() - sheet.topLeft();
        const QRect target(-offset.x(), -offset.y(), printable.width() + 2 * offset.x(),
                           printable.height() + 2 * offset.y());
        printer.setDocName(m_printJobTitle);
        if (!painter.begin(&printer))
            throw std::runtime_error("Der Druckauftrag konnte nicht beginnen.");
        const int total = toPage - fromPage + 1;
        int done = 0;
        for (int page = fromPage; page <= toPage; ++page) {
            ReportProgress(printer, page, done, total);
            PlayPage(painter, PageAt(page), target);
            ++done;
            QCoreApplication::processEvents();
            ReportProgress(printer, page, done, total);
            if (page < toPage && !printer.newPage())
                throw std::runtime_error("Der Drucker nimmt keine neue Seite an.");
        }
    } catch (const EAbortPrint &) {
        m_aborted = true;
    } catch (const std::exception &error) {
        m_aborted = true;
        failure = QString::fromLocal8Bit(error.what());
    }
    if (m_aborted) {
        printer.abort();
        if (painter.isActive())
            painter.end();
        emit OnAbort(this);
    } else {
        emit OnAfterPrint(this);
        painter.end();
    }
    printer.setDocName(QString());
    m_state = TPreviewState::Idle;
    if (!failure.isEmpty())
        CurrentPlatform().MessageBox(this, PrintFailedTitle,
                                     QStringLiteral("Das Drucken ist fehlgeschlagen.\n") + failure,
                                     Platform::MessageKind::Error);
}
