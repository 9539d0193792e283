// Building and laying out the main window's controls, and the rules that
// keep the layout in step with the lane count and the window size.
#include "app/FMain.h"

#include "app/LanePenalties.h"
#include "app/ProtocolController.h"
#include "app/SpeedButtonGlyphs.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/Dmn_led.h"
#include "widgets/SortGrid.h"
#include "widgets/Udigit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int TopStripHeight = 32;
constexpr int LaneBarHeight = 53;
constexpr int TimerBandHeight = 136;
constexpr int LaneBarCentreWidth = 130;
constexpr int OneLaneRightWidth = 43;
constexpr int DigitWidth = 45;
constexpr int DigitHeight = 89;
constexpr int DesignedWidth = 808;
constexpr int LaneDigitsWidth[2] = {286, 284};
// The room the lane buttons between the digits take at the designed width
// (two lanes), and what one lane's buttons need to show their captions.
constexpr int TwoLaneButtonsWidth = DesignedWidth - LaneDigitsWidth[0] - LaneDigitsWidth[1];
constexpr int OneLaneButtonsWidth = 300;
constexpr double LeastDigitScale = 0.4;
constexpr int MinimumHeight = 445;

const QColor TimerBandColour(Qt::black);

void SetBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// Captions on the dark faces (green START, blue S30, black
// "Disqulifikation", dark red "0,00") are written in white to stay readable.
void SetButtonTextColour(QWidget *button, const QColor &colour)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, colour);
    button->setPalette(palette);
}

QFont BoldArial(int pixelSize)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}
} // namespace

// --- controls ---------------------------------------------------------------

void TFormMain::CreateControls()
{
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(CreateTopStrip());
    column->addWidget(CreateLaneBar());
    column->addWidget(CreateTimerBand());
    column->addWidget(CreateProtocolArea(), 1);
    setCentralWidget(central);
    setStatusBar(new QStatusBar(this));
    setMinimumSize(DesignedWidth, MinimumHeight);
    resize(DesignedWidth, 541);
    CreateKeyEntries();
    CreateTimers();
    CreateControllers();
    CreateComPort();
}

QWidget *TFormMain::CreateTopStrip()
{
    PanelTop = new QWidget;
    PanelTop->setFixedHeight(TopStripHeight);
    auto *row = new QHBoxLayout(PanelTop);
    row->setContentsMargins(4, 3, 4, 3);
    bCFG = new QPushButton(QStringLiteral("&Einstellungen"));
    bHelp = new QPushButton(QStringLiteral("H&ilfe"));
    bBeenden = new QPushButton(QStringLiteral("&Beenden"));
    bAnzeige = new QPushButton(QStringLiteral("Anzeige"));
    bAnzeige->setToolTip(QStringLiteral("F7"));
    for (QPushButton *button : {bCFG, bHelp, bBeenden, bAnzeige}) {
        button->setShortcut(QKeySequence()); // the key entries own Alt+E, Alt+I, Alt+B
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    row->addStretch(1);
    PanelDate = new QLabel(QStringLiteral("00:00"));
    PanelDate->setFixedWidth(222);
    PanelDate->setAlignment(Qt::AlignCenter);
    PanelDate->setFont(BoldArial(14));
    SetBackground(PanelDate, Qt::black);
    SetTextColour(PanelDate, QColor(192, 192, 192));
    row->addWidget(PanelDate);
    connect(bCFG, &QPushButton::clicked, this, &TFormMain::bCFGClick);
    connect(bHelp, &QPushButton::clicked, this, &TFormMain::bHelpClick);
    connect(bBeenden, &QPushButton::clicked, this, &TFormMain::bExitClick);
    connect(bAnzeige, &QPushButton::clicked, this, &TFormMain::bAnzeigeClick);
    return PanelTop;
}

QWidget *TFormMain::CreateLaneBar()
{
    Panel = new QWidget;
    Panel->setFixedHeight(LaneBarHeight);
    Panel->installEventFilter(this);

    PanelLL = new QWidget(Panel);
    LabelBahn1 = new QLabel(QStringLiteral("Rennspur 1:"), PanelLL);
    LabelBahn1->setFont(BoldArial(13));
    sbLoad = MakeSpeedButton(QString(), QStringLiteral("Starterliste öffnen"), PanelLL);
    sbLoad->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    sbNachmeldung =
        MakeSpeedButton(QStringLiteral("+"), QStringLiteral("Nachmeldung (Strg+N)"), PanelLL);
    cbLauf = new QComboBox(PanelLL);
    cbLauf->setToolTip(QStringLiteral("Der Lauf, den START aufzeichnet"));
    cbLauf->setFocusPolicy(Qt::NoFocus);
    cbLauf->hide();
    cbBuhn1 = new QComboBox(PanelLL);
    sbNA1 = MakeSpeedButton(QStringLiteral("n.a."), QStringLiteral("Nicht angetreten"), PanelLL);
    auto *left = new QGridLayout(PanelLL);
    left->setContentsMargins(6, 2, 6, 4);
    left->setVerticalSpacing(2);
    left->setHorizontalSpacing(3);
    left->addWidget(LabelBahn1, 0, 0, 1, 2);
    left->addWidget(cbLauf, 0, 2, 1, 2, Qt::AlignRight);
    left->addWidget(sbLoad, 1, 0);
    left->addWidget(sbNachmeldung, 1, 1);
    left->addWidget(cbBuhn1, 1, 2);
    left->addWidget(sbNA1, 1, 3);
    left->setColumnStretch(2, 1);

    Panel1 = new QWidget(Panel);
    seObmen = MakeSpeedButton(QStringLiteral("⇄"), QStringLiteral("Laufbahn wechseln"), Panel1);
    seObmen->setFixedHeight(16);
    bSTART = MakeRaceButton(QStringLiteral("&START"), 21, Panel1);
    bSTART->setToolTip(QStringLiteral("F5"));
    SetButtonTextColour(bSTART, Qt::white);
    bFSTART = MakeRaceButton(QStringLiteral("&Fehlstart"), 18, Panel1);
    bFSTART->SetColor(QColor(255, 255, 0));

    PanelRR = new QWidget(Panel);
    LabelBahn2 = new QLabel(QStringLiteral("Rennspur 2:"), PanelRR);
    LabelBahn2->setFont(BoldArial(13));
    cbBuhn2 = new QComboBox(PanelRR);
    sbNA2 = MakeSpeedButton(QStringLiteral("n.a."), QStringLiteral("Nicht angetreten"), PanelRR);
    auto *right = new QGridLayout(PanelRR);
    right->setContentsMargins(6, 2, 6, 4);
    right->setVerticalSpacing(2);
    right->setHorizontalSpacing(3);
    right->addWidget(LabelBahn2, 0, 0, 1, 2);
    right->addWidget(cbBuhn2, 1, 0);
    right->addWidget(sbNA2, 1, 1);
    right->setColumnStretch(0, 1);

    for (QComboBox *selector : {cbBuhn1, cbBuhn2}) {
        selector->setEditable(false);
        selector->setMaxVisibleItems(20);
        selector->setEnabled(false);
        selector->setFont(QFont(QStringLiteral("Courier New"), 10));
        selector->setMinimumContentsLength(12);
        selector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    return Panel;
}

QWidget *TFormMain::CreateTimerBand()
{
    PanelTimer = new QWidget;
    PanelTimer->setFixedHeight(TimerBandHeight);
    SetBackground(PanelTimer, TimerBandColour);
    auto *row = new QHBoxLayout(PanelTimer);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    TDigit *digits1[5];
    TDigit *digits2[5];
    PanelT1 = CreateLaneDigits(0, digits1);
    PanelT2 = CreateLaneDigits(1, digits2);
    PanelT1->setFixedWidth(LaneDigitsWidth[0]);
    PanelT2->setFixedWidth(LaneDigitsWidth[1]);
    std::tie(Digit1_1, Digit1_2, Digit1_3, Digit1_4, Digit1_5) =
        std::tie(digits1[0], digits1[1], digits1[2], digits1[3], digits1[4]);
    std::tie(Digit2_1, Digit2_2, Digit2_3, Digit2_4, Digit2_5) =
        std::tie(digits2[0], digits2[1], digits2[2], digits2[3], digits2[4]);

    PanelTimer->installEventFilter(this);
    Panel7 = new QWidget;
    Panel7->installEventFilter(this);
    PanelLE = CreateLaneButtons(0);
    PanelRI = CreateLaneButtons(1);
    Panel6 = new QWidget;
    sb1del = MakeRaceButton(QStringLiteral("Ausfall"), 15, Panel6);
    sb1del->setToolTip(QStringLiteral("Ausfall 1."));
    bRESET = MakeRaceButton(QStringLiteral("&0,00"), 21, Panel6);
    bRESET->setToolTip(QStringLiteral("Alt+0"));
    bRESET->setShortcut(QKeySequence()); // Alt+0 belongs to the key entry mReset
    SetButtonTextColour(bRESET, Qt::white);
    sb2del = MakeRaceButton(QStringLiteral("Ausfall"), 15, Panel6);
    sb2del->setToolTip(QStringLiteral("Ausfall 2."));
    // Enter keeps offering the next step of the race after a click here.
    for (TBitBtnWithColor *button : {sb1del, sb2del})
        button->setFocusPolicy(Qt::NoFocus);
    auto *bottom = new QHBoxLayout(Panel6);
    bottom->setContentsMargins(0, 2, 0, 2);
    bottom->setSpacing(4);
    bottom->addWidget(sb1del, 1);
    bottom->addWidget(bRESET, 1);
    bottom->addWidget(sb2del, 1);

    auto *lanes = new QHBoxLayout;
    lanes->setContentsMargins(0, 0, 0, 0);
    lanes->setSpacing(4);
    lanes->addWidget(PanelLE, 1);
    lanes->addWidget(PanelRI, 1);
    auto *centre = new QVBoxLayout(Panel7);
    centre->setContentsMargins(0, 4, 0, 2);
    centre->setSpacing(0);
    centre->addLayout(lanes, 1);
    centre->addWidget(Panel6);

    row->addWidget(PanelT1);
    row->addWidget(Panel7, 1);
    row->addWidget(PanelT2);
    return PanelTimer;
}

QWidget *TFormMain::CreateLaneDigits(int lane, TDigit *(&digits)[5])
{
    auto *panel = new QWidget;
    panel->setProperty("Tag", lane);
    SetBackground(panel, TimerBandColour);
    for (int i = 0; i < 5; ++i) {
        digits[i] = new TDigit(panel);
        digits[i]->SetTag(lane);
        digits[i]->SetSeparation(1);
    }
    auto *comma = new QLabel(QStringLiteral(","), panel);
    SetTextColour(comma, QColor(255, 255, 0));
    comma->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    auto *seconds = new QLabel(QStringLiteral("Sek."), panel);
    auto *hundredths = new QLabel(QStringLiteral("100"), panel);
    for (QLabel *caption : {seconds, hundredths}) {
        SetTextColour(caption, QColor(192, 192, 192));
        caption->setAlignment(Qt::AlignCenter);
    }
    PlaceLaneDigits(panel, 1.0);
    return panel;
}

// The five digits, the comma and the captions of one lane at a scale of
// their designed size: on a narrow window the digits shrink whole.
void TFormMain::PlaceLaneDigits(QWidget *panel, double scale)
{
    const auto scaled = [scale](int designed) { return qRound(designed * scale); };
    const int left = scaled(12);
    const int top = scaled(10);
    const int commaWidth = scaled(22);
    const int digitWidth = scaled(DigitWidth);
    const int digitHeight = scaled(DigitHeight);
    const QList<TDigit *> digits = panel->findChildren<TDigit *>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < int(digits.size()); ++i) {
        const int x = left + i * digitWidth + (i >= 3 ? commaWidth : 0);
        digits[i]->setGeometry(x, top, digitWidth, digitHeight);
        digits[i]->SetThickness(std::max(2, scaled(5)));
    }
    const QList<QLabel *> labels = panel->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
    QLabel *comma = labels.value(0);
    comma->setFont(BoldArial(std::max(12, scaled(48))));
    comma->setGeometry(left + 3 * digitWidth, top, commaWidth, digitHeight + scaled(8));
    const QRect captions[] = {QRect(left, top + digitHeight + scaled(8), 3 * digitWidth, 20),
                              QRect(left + 3 * digitWidth + commaWidth,
                                    top + digitHeight + scaled(8), 2 * digitWidth, 20)};
    for (int i = 0; i < 2; ++i) {
        labels.value(i + 1)->setFont(BoldArial(std::max(9, scaled(14))));
        labels.value(i + 1)->setGeometry(captions[i]);
    }
}

QWidget *TFormMain::CreateLaneButtons(int lane)
{
    const bool first = lane == 0;
    auto *panel = new QWidget;
    auto *stop =
        MakeRaceButton(first ? QStringLiteral("STOPP &1") : QStringLiteral("STOPP &2"), 21, panel);
    stop->setToolTip(first ? QStringLiteral("Alt+1") : QStringLiteral("Alt+2"));
    stop->setShortcut(QKeySequence()); // Alt+1 / Alt+2 belong to the key entries
    auto *penalties = new QHBoxLayout;
    penalties->setSpacing(2);
    LanePenaltyButtons &penaltyButtons = PenaltyButtons[std::size_t(lane)];
    for (std::size_t i = 0; i < LanePenalties.size(); ++i) {
        const LanePenalty &penalty = LanePenalties[i];
        penaltyButtons[i] = MakeRaceButton(QStringLiteral("S%1").arg(penalty.seconds), 15, panel);
        penaltyButtons[i]->setToolTip(
            QStringLiteral("%1. Zeitstrafe %2").arg(lane + 1).arg(penalty.seconds));
        if (penalty.darkFace)
            SetButtonTextColour(penaltyButtons[i], Qt::white);
        penalties->addWidget(penaltyButtons[i]);
    }
    auto *disqualify = MakeRaceButton(QStringLiteral("Disqulifikation"), 15, panel);
    SetButtonTextColour(disqualify, Qt::white);
    // Enter keeps offering the next step of the race after a click here.
    for (TBitBtnWithColor *button : penaltyButtons)
        button->setFocusPolicy(Qt::NoFocus);
    disqualify->setFocusPolicy(Qt::NoFocus);

    auto *ledPanel = new QWidget(panel);
    ledPanel->setFixedWidth(26);
    SetBackground(ledPanel, TimerBandColour);
    auto *led = new TLed(ledPanel);
    led->setFixedSize(TLed::PatternSize, TLed::PatternSize);
    led->SetKind(lkRed);
    led->SetShape(lsRectangle);
    auto *laps = new QLabel(ledPanel);
    laps->setToolTip(QStringLiteral("Runden"));
    laps->setFont(BoldArial(14));
    laps->setAlignment(Qt::AlignCenter);
    SetTextColour(laps, QColor(255, 255, 0));
    auto *ledColumn = new QVBoxLayout(ledPanel);
    ledColumn->setContentsMargins(0, 4, 0, 0);
    ledColumn->addWidget(led, 0, Qt::AlignHCenter);
    ledColumn->addWidget(laps);
    ledColumn->addStretch(1);
    ledPanel->hide();

    auto *stopRow = new QHBoxLayout;
    stopRow->setSpacing(2);
    if (first) {
        stopRow->addWidget(stop, 1);
        stopRow->addWidget(ledPanel);
    } else {
        stopRow->addWidget(ledPanel);
        stopRow->addWidget(stop, 1);
    }
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addLayout(stopRow, 2);
    column->addLayout(penalties, 1);
    column->addWidget(disqualify, 1);

    if (first) {
        bSTOP1 = stop, bDisqulifikation1 = disqualify;
        PanelLed1 = ledPanel, Led1 = led, LabC1 = laps;
    } else {
        bSTOP2 = stop, bDisqulifikation2 = disqualify;
        PanelLed2 = ledPanel, Led2 = led, LabC2 = laps;
    }
    return panel;
}

QWidget *TFormMain::CreateProtocolArea()
{
    PanelProtocol = new QWidget;
    PanelProtocolTitle = new QWidget(PanelProtocol);
    PanelProtocolTitle->setFixedHeight(30);
    SetBackground(PanelProtocolTitle, palette().color(QPalette::Button));
    sbCLSall = MakeSpeedButton(SpeedGlyph::ClearAll, QStringLiteral("Protokoll  löschen"),
                               PanelProtocolTitle);
    sbCLS = MakeSpeedButton(SpeedGlyph::RemoveRow, QStringLiteral("Zeile entfernen"),
                            PanelProtocolTitle);
    sbSave =
        MakeSpeedButton(QString(), QStringLiteral("Protokoll speichern unter"), PanelProtocolTitle);
    sbSave->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    sbGramoty = MakeSpeedButton(SpeedGlyph::Certificates, QStringLiteral("Urkunden drucken"),
                                PanelProtocolTitle);
    sbPrint =
        MakeSpeedButton(SpeedGlyph::Print, QStringLiteral("Protokoll drucken"), PanelProtocolTitle);
    sb1 = MakeSpeedButton(QStringLiteral("1"),
                          QStringLiteral("Laufbahn 1. Aus dem Protokoll zu nehmen"),
                          PanelProtocolTitle);
    sb2 = MakeSpeedButton(QStringLiteral("2"),
                          QStringLiteral("Laufbahn 2. Aus dem Protokoll zu nehmen"),
                          PanelProtocolTitle);
    cbEditON = new QCheckBox(PanelProtocolTitle);
    cbEditON->setText(QStringLiteral("Ä") + QStringLiteral("nderungen vornehmen"));
    sbWord = MakeSpeedButton(SpeedGlyph::WordProcessor, QStringLiteral("Datei in MS Word"),
                             PanelProtocolTitle);
    sbExcel = MakeSpeedButton(SpeedGlyph::Spreadsheet, QStringLiteral("Datei in MS Excel"),
                              PanelProtocolTitle);
    sbInet =
        MakeSpeedButton(SpeedGlyph::WebPage, QStringLiteral("Als Webseite"), PanelProtocolTitle);
    LabelProtocol = new QLabel(QStringLiteral("P R O T O K O L L"), PanelProtocolTitle);
    LabelProtocol->setFont(BoldArial(15));
    LabelProtocol->setAlignment(Qt::AlignCenter);

    auto *title = new QHBoxLayout(PanelProtocolTitle);
    title->setContentsMargins(4, 2, 4, 2);
    title->setSpacing(3);
    for (QWidget *button : {sbCLSall, sbCLS, sbSave, sbGramoty, sbPrint, sb1})
        title->addWidget(button);
    title->addWidget(LabelProtocol, 1);
    for (QWidget *control :
         std::initializer_list<QWidget *>{sb2, cbEditON, sbWord, sbExcel, sbInet})
        title->addWidget(control);
    for (QWidget *control :
         std::initializer_list<QWidget *>{sbCLSall, sbCLS, sbSave, sbGramoty, sbPrint, sb1, sb2,
                                          cbEditON, sbWord, sbExcel, sbInet})
        control->setEnabled(false);

    SortGrid1 = new TSortGrid(PanelProtocol);
    SortGrid1->viewport()->installEventFilter(this);
    auto *column = new QVBoxLayout(PanelProtocol);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(PanelProtocolTitle);
    column->addWidget(SortGrid1, 1);
    return PanelProtocol;
}

void TFormMain::CreateKeyEntries()
{
    auto entry = [this](const QString &caption, const QList<QKeySequence> &keys, bool enabled) {
        auto *action = new QAction(caption, this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(enabled);
        addAction(action);
        return action;
    };
    mStart = entry(QStringLiteral("Start"), {QKeySequence(Qt::Key_F5)}, true);
    mFSTART = entry(QStringLiteral("Fehler"), {QKeySequence(Qt::Key_F6)}, false);
    mSTOP1 = entry(QStringLiteral("Stop1"), {QKeySequence(Qt::ALT | Qt::Key_1)}, false);
    mStop2 = entry(QStringLiteral("Stop2"), {QKeySequence(Qt::ALT | Qt::Key_2)}, false);
    mReset = entry(QStringLiteral("00:00"), {QKeySequence(Qt::ALT | Qt::Key_0)}, false);
    mEinstellungen =
        entry(QStringLiteral("&Einstellungen"), {QKeySequence(Qt::ALT | Qt::Key_E)}, true);
    mHilfe = entry(QStringLiteral("H&ilfe"),
                   {QKeySequence(Qt::ALT | Qt::Key_I), QKeySequence(Qt::Key_F1)}, true);
    mDrucker = entry(QStringLiteral("&Drucker"), {QKeySequence(Qt::ALT | Qt::Key_D)}, true);
    mUndo = entry(QStringLiteral("Rückgängig"), {QKeySequence(Qt::CTRL | Qt::Key_Z)}, true);
    mNachmeldung = entry(QStringLiteral("Nachmeldung"), {QKeySequence(Qt::CTRL | Qt::Key_N)}, true);
    mBeenden = entry(QStringLiteral("&Beenden"), {QKeySequence(Qt::ALT | Qt::Key_B)}, true);
    connect(mEinstellungen, &QAction::triggered, bCFG, &QPushButton::click);
    connect(mHilfe, &QAction::triggered, this, &TFormMain::bHelpClick);
    connect(mDrucker, &QAction::triggered, this, &TFormMain::Drucker1Click);
    mAnzeige = entry(QStringLiteral("Anzeige"), {QKeySequence(Qt::Key_F7)}, true);
    connect(mBeenden, &QAction::triggered, this, &TFormMain::bExitClick);
    connect(mAnzeige, &QAction::triggered, this, &TFormMain::bAnzeigeClick);
}

void TFormMain::CreateTimers()
{
    Clock = new QTimer(this);
    Clock->setInterval(10);
    Clock->setTimerType(Qt::PreciseTimer);
    TimerGesperrt1 = new QTimer(this);
    TimerGesperrt2 = new QTimer(this);
    for (QTimer *lockout : {TimerGesperrt1, TimerGesperrt2}) {
        lockout->setSingleShot(true);
        lockout->setInterval(2000);
    }
    TimerDate = new QTimer(this);
    TimerDate->setInterval(5000);
    connect(TimerDate, &QTimer::timeout, this, &TFormMain::TimerDateTimer);
    TimerDate->start();
}

TBitBtnWithColor *TFormMain::MakeRaceButton(const QString &caption, int pixelSize, QWidget *parent)
{
    auto *button = new TBitBtnWithColor(caption, parent);
    button->setFont(BoldArial(pixelSize));
    button->setCursor(Qt::PointingHandCursor);
    button->setEnabled(false);
    button->setAutoDefault(false);
    button->setMinimumHeight(22);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return button;
}

QToolButton *TFormMain::MakeSpeedButton(SpeedGlyph glyph, const QString &hint, QWidget *parent)
{
    QToolButton *button = MakeSpeedButton(QString(), hint, parent);
    button->setIcon(SpeedButtonGlyph(glyph));
    return button;
}

QToolButton *TFormMain::MakeSpeedButton(const QString &glyph, const QString &hint, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(glyph);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumSize(26, 24);
    return button;
}

// --- layout rules -----------------------------------------------------------

void TFormMain::ApplyLaneCount()
{
    const bool twoLanes = Settings.CountBahn > 1;
    for (QWidget *widget : std::initializer_list<QWidget *>{
             LabelBahn2, cbBuhn2, sbNA2, seObmen, PanelRI, sb2del, sb1, sb2, PanelT2, LabelBahn1})
        widget->setVisible(twoLanes);
    if (twoLanes) {
        bSTOP1->setText(QStringLiteral("STOPP &1"));
        bSTOP1->setShortcut(QKeySequence());
    } else {
        PanelLE->setMinimumWidth(0);
        PanelLE->setMaximumWidth(QWIDGETSIZE_MAX);
        bSTOP1->setText(QStringLiteral("STOPP"));
    }
    LayOutTimerBand();
    Panel7Resize();
    PanelResize();
    SortGrid1->InvalidateGrid();
}

void TFormMain::PanelResize()
{
    const int width = Panel->width();
    int leftWidth = (width - LaneBarCentreWidth) / 2;
    int rightWidth = leftWidth;
    if (Settings.CountBahn == 1) {
        rightWidth = OneLaneRightWidth;
        leftWidth = width / 2;
    }
    PanelLL->setGeometry(0, 0, leftWidth, LaneBarHeight);
    PanelRR->setGeometry(width - rightWidth, 0, rightWidth, LaneBarHeight);
    Panel1->setGeometry(leftWidth, 0, width - leftWidth - rightWidth, LaneBarHeight);
    LayOutLaneBar();
}

// START under the lane swap, the false start on START's bounds.
void TFormMain::LayOutLaneBar()
{
    const int width = Panel1->width();
    seObmen->setGeometry(4, 2, width - 8, 16);
    const int startTop = seObmen->isVisible() || Settings.CountBahn > 1 ? 19 : 6;
    bSTART->setGeometry(4, startTop, width - 8, LaneBarHeight - startTop - 3);
    bFSTART->setGeometry(bSTART->geometry());
}

// The digits keep their designed size while the lane buttons between them
// have their room; on a narrower window they shrink to leave it.
void TFormMain::LayOutTimerBand()
{
    const bool twoLanes = Settings.CountBahn > 1;
    const int digitsWidth = LaneDigitsWidth[0] + (twoLanes ? LaneDigitsWidth[1] : 0);
    const int buttonsWidth = twoLanes ? TwoLaneButtonsWidth : OneLaneButtonsWidth;
    const double scale =
        std::clamp(double(PanelTimer->width() - buttonsWidth) / digitsWidth, LeastDigitScale, 1.0);
    for (int lane = 0; lane < 2; ++lane) {
        QWidget *panel = lane == 0 ? PanelT1 : PanelT2;
        const int width = qRound(LaneDigitsWidth[lane] * scale);
        if (panel->minimumWidth() == width && panel->maximumWidth() == width)
            continue;
        panel->setFixedWidth(width);
        PlaceLaneDigits(panel, scale);
    }
}

void TFormMain::Panel7Resize()
{
    if (Settings.CountBahn != 2)
        return;
    const int laneWidth = Panel7->width() / 2 - 2;
    PanelLE->setFixedWidth(laneWidth);
    PanelRI->setFixedWidth(laneWidth);
}

void TFormMain::FormResize()
{
    // The runs' columns keep their designed widths; the others share the rest.
    const int columns = Protocol ? Protocol->Model().ColumnCount() : ProtocolColumnCount;
    int runsWidth = 0;
    for (int column = ProtocolColumnCount; column < columns; ++column) {
        SortGrid1->SetColWidths(column, DescriptionOf(column).designedWidth);
        runsWidth += DescriptionOf(column).designedWidth + 1; // and its grid line
    }
    const ProtocolColumnWidthList widths =
        ProtocolColumnWidths(m_protocolTextWidths, SortGrid1->viewport()->width() - runsWidth);
    for (int column = 0; column < int(widths.size()); ++column)
        SortGrid1->SetColWidths(column, widths[column]);
}

void TFormMain::FitProtocolColumnsToTexts()
{
    for (int column = 0; column < ProtocolCellCount; ++column) {
        if (WidthFollowsText(column))
            m_protocolTextWidths[column] = SortGrid1->FittedColWidthInGridFont(column);
    }
    FormResize();
}

void TFormMain::FitProtocolColumnsToTexts(const ProtocolColumns &columns)
{
    for (int column = 0; column < ProtocolCellCount; ++column) {
        if (WidthFollowsText(column))
            m_protocolTextWidths[column] =
                SortGrid1->FittedColWidthInGridFont(column, int(columns.rows), [&](int k) {
                    return columns.Cell(std::size_t(k), column);
                });
    }
    FormResize();
}

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == Panel)
            PanelResize();
        else if (watched == PanelTimer)
            LayOutTimerBand();
        else if (watched == Panel7)
            Panel7Resize();
        else if (watched == SortGrid1->viewport())
            FormResize(); // the window's size reaches the grid's client area here
    }
    return QMainWindow::eventFilter(watched, event);
}
