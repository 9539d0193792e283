#include "print/FPP.h"

#include "platform/Platform.h"
#include "print/CertificatePages.h"
#include "print/Preview.h"
#include "settings/CertificateLayout.h"

#include <QComboBox>
#include <QDate>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

// A4 in 0.1 mm, the sheet of a computer without any printer.
constexpr QSize A4Portrait(2100, 2970);

QLabel *ToolLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setContentsMargins(12, 0, 2, 0);
    return label;
}

QPageLayout::Orientation OrientationOf(int cbOriIndex)
{
    return cbOriIndex == 1 ? QPageLayout::Landscape : QPageLayout::Portrait;
}

} // namespace

TFormPP::TFormPP(QPrinter *printer, QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_printer(printer)
{
    setWindowTitle(QStringLiteral("Ansicht"));
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(CreateToolBar());
    CreatePreview();
    column->addWidget(PrintPreview1, 1);
    setCentralWidget(central);
    CreateNoticeLine();
    FitToScreen();
    auto *closeView = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(closeView, &QShortcut::activated, this, &QWidget::close);
}

// A notice as long as a file's path wraps onto more lines instead of being
// cut at the window's edge; the tooltip holds it too.
void TFormPP::CreateNoticeLine()
{
    auto *line = new QStatusBar(this);
    Notice = new QLabel(line);
    Notice->setWordWrap(true);
    Notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line->addWidget(Notice, 1);
    setStatusBar(line);
}

void TFormPP::ShowNotice(const QString &text)
{
    Notice->setText(text);
    Notice->setToolTip(text);
}

void TFormPP::SetPageCount(int pages)
{
    const QSignalBlocker keepPage(sePage);
    sePage->setRange(1, pages);
    sePage->setValue(1);
    sePage->setSuffix(QStringLiteral(" von %1").arg(pages));
    sePage->setEnabled(pages > 1);
}

QWidget *TFormPP::CreateToolBar()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 4, 4, 4);

    Button1 = new QPushButton(QStringLiteral("Drucken"), bar);
    QFont bold = Button1->font();
    bold.setBold(true);
    Button1->setFont(bold);
    row->addWidget(Button1);

    row->addWidget(ToolLabel(QStringLiteral("Zoom:"), bar));
    cbZoom = new QComboBox(bar);
    cbZoom->addItems(
        {"Ganze Seite", "Seitenbreite", "Seitenhohe", "25%", "50%", "75%", "100%", "200%"});
    row->addWidget(cbZoom);

    // Says itself which certificate of how many: "Urkunde 3 von 7".
    sePage = new QSpinBox(bar);
    sePage->setPrefix(QStringLiteral("Urkunde "));
    SetPageCount(1);
    row->addWidget(sePage);

    row->addWidget(ToolLabel(QStringLiteral("Format:"), bar));
    cbOri = new QComboBox(bar);
    cbOri->addItems({"Hoch", "Quer"});
    row->addWidget(cbOri);
    row->addStretch(1);

    connect(Button1, &QPushButton::clicked, this, &TFormPP::Button1Click);
    connect(cbZoom, &QComboBox::currentIndexChanged, this, &TFormPP::cbZoomChange);
    connect(sePage, &QSpinBox::valueChanged, this, &TFormPP::sePageChange);
    connect(cbOri, &QComboBox::currentIndexChanged, this, &TFormPP::cbOriChange);
    return bar;
}

// Pages in 0.1 mm; certificates place their lines themselves, so the
// margins only frame what a plain document would print.
void TFormPP::CreatePreview()
{
    PrintPreview1 = new TPrintPreview(this);
    PrintPreview1->SetPrinter(m_printer);
    PrintPreview1->SetUnits(mmLoMetric);
    PrintPreview1->SetMarginLeft(160);
    PrintPreview1->SetMarginRight(60);
    PrintPreview1->SetMarginTop(60);
    PrintPreview1->SetMarginBottom(60);
    PrintPreview1->SetFont(QFont(QStringLiteral("Arial")));
    connect(PrintPreview1, &TPrintPreview::OnBeforePrint, this, [this] { EnableControls(false); });
    connect(PrintPreview1, &TPrintPreview::OnAfterPrint, this, [this] { EnableControls(true); });
    connect(PrintPreview1, &TPrintPreview::OnAbort, this, [this] {
        EnableControls(true);
        ShowNotice(QStringLiteral("Drucken abgebrochen"));
    });
    connect(PrintPreview1, &TPrintPreview::OnPrintProgress, this,
            [this](TPrintPreview *, int page, int progress, bool &) {
                ShowPrintProgress(page, progress);
            });
    // Page keys in the preview turn the page too; the field follows.
    connect(PrintPreview1, &TPrintPreview::OnChange, this, [this] {
        const QSignalBlocker quiet(sePage);
        sePage->setValue(PrintPreview1->CurrentPage());
    });
    connect(PrintPreview1, &TPrintPreview::OnStatusText, this,
            [this](TPrintPreview *, const QString &text) { ShowNotice(text); });
}

// The whole height of the work area, half the screen wide, a quarter of the
// screen in from the left: beside the main window's protocol.
void TFormPP::FitToScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect work = screen->availableGeometry();
    const int screenWidth = screen->geometry().width();
    setGeometry(screenWidth / 4, work.top(), screenWidth / 2, work.height());
}

void TFormPP::ShowCertificates(const CertificateRun &run)
{
    m_run = run;
    PrintPreview1->SetPrintJobTitle(run.eventName.isEmpty() ? QStringLiteral("Urkunden")
                                                            : "Urkunden " + run.eventName);
    show();
    raise();
    activateWindow();
    BuildPages();
}

QSize TFormPP::CertificatePaper() const
{
    const bool landscape = m_printer->pageLayout().orientation() == QPageLayout::Landscape;
    // A file has no edge the printer cannot reach: its page is the sheet
    // chosen in the print dialog, with or without a printer installed.
    const bool intoFile = PrintsIntoFile(*m_printer);
    if (!intoFile && !CurrentPlatform().PrinterInstalled())
        return landscape ? A4Portrait.transposed() : A4Portrait;
    const QRect printable = (intoFile ? m_printer->paperRect(QPrinter::DevicePixel)
                                      : m_printer->pageRect(QPrinter::DevicePixel))
                                .toRect();
    return {printable.width() * 254 / m_printer->logicalDpiX(),
            printable.height() * 254 / m_printer->logicalDpiY()};
}

void TFormPP::BuildPages()
{
    if (PrintPreview1->State() != TPreviewState::Idle)
        return; // the pages are being printed
    const QPageLayout::Orientation orientation = m_printer->pageLayout().orientation();
    PrintPreview1->SetOrientation(orientation);
    const QSignalBlocker keepOrientation(cbOri);
    cbOri->setCurrentIndex(orientation == QPageLayout::Landscape ? 1 : 0);
    const QSize paper = CertificatePaper();
    PrintPreview1->SetPaperWidth(paper.width());
    PrintPreview1->SetPaperHeight(paper.height());

    CertificateLayout &layout = SharedCertificateLayout();
    const QDate today = QDate::currentDate();
    const std::vector<int> rows = CertificateRows(m_run.table, m_run.firstRow, m_run.lastRow);
    PrintPreview1->BeginDoc();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            PrintPreview1->NewPage();
        DrawCertificate(*PrintPreview1->Canvas(),
                        CertificateLines(layout, m_run.table[rows[i]], m_run.eventName, today));
    }
    PrintPreview1->EndDoc();

    SetPageCount(PrintPreview1->TotalPages());
    if (rows.empty())
        ShowNotice(QStringLiteral("Keine Zeile im Bereich %1 bis %2 hat einen Platz.")
                       .arg(m_run.firstRow)
                       .arg(m_run.lastRow));
    else
        ShowNotice(QString());
}

void TFormPP::cbZoomChange()
{
    switch (cbZoom->currentIndex()) {
    case 0:
        PrintPreview1->SetZoomState(zsZoomToFit);
        break;
    case 1:
        PrintPreview1->SetZoomState(zsZoomToWidth);
        break;
    case 2:
        PrintPreview1->SetZoomState(zsZoomToHeight);
        break;
    default: {
        const QString text = cbZoom->currentText();
        PrintPreview1->SetZoom(text.left(text.size() - 1).toInt());
    }
    }
}

void TFormPP::sePageChange()
{
    PrintPreview1->SetCurrentPage(sePage->value());
}

// The printer follows the choice, so that the rebuilt pages and the
// printed sheets agree.
void TFormPP::cbOriChange()
{
    const QPageLayout::Orientation orientation = OrientationOf(cbOri->currentIndex());
    PrintPreview1->SetOrientation(orientation);
    m_printer->setPageOrientation(orientation);
    BuildPages();
}

void TFormPP::Button1Click()
{
    PrintPreview1->Print();
}

void TFormPP::ShowPrintProgress(int page, int progress)
{
    ShowNotice(QStringLiteral("Drucken: Urkunde %1 von %2 (%3 %)")
                   .arg(page)
                   .arg(PrintPreview1->TotalPages())
                   .arg(progress));
}

void TFormPP::EnableControls(bool enabled)
{
    Button1->setEnabled(enabled);
    cbOri->setEnabled(enabled);
}
