// The main window: it creates and lays out every control of the race timer
// and owns the settings, timers and controllers. The race and protocol
// behaviour lives in their controllers; this class only builds and wires.
#pragma once

#include "app/FileTypeNames.h"
#include "app/LanePenalties.h"
#include "app/MainSettings.h"
#include "app/ProtocolColumnWidths.h"
#include "app/SpeedButtonGlyphs.h"
#include "platform/Platform.h"
#include "protocol/ProtocolTable.h"

#include <QMainWindow>
#include <QPrinter>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolButton;
class TBitBtnWithColor;
class TCfgDialog;
class TComPort;
class TDigit;
class TFDlgYesNo;
class TLed;
class TSortGrid;
class RaceController;
class ProtocolController;
class RecoveryJournal;
class ExportController;
class HelpWindow;
class AudienceFeed;
class AudienceSource;
class AudienceWindow;
class AudienceServer;

class TFormMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormMain(QWidget *parent = nullptr);
    ~TFormMain() override;

    // Names derived from the executable.
    QString ApplicationTitle;
    QString HelpFile;
    QString ProtocolTemplatePath;
    QString ExecutableFolder;
    QString DataFolder; // help, sounds, template, sample lists
    QString SaveFolder; // where the save dialog starts

    // Settings of the race (loaded at start, written at exit).
    MainSettings Settings;

    // File-type display names and the dialogs built from them.
    FileTypeNames FileTypes;
    Platform::FileDialogRequest OpenDialog1;
    Platform::FileDialogRequest SaveDialog1;

    // Top strip.
    QWidget *PanelTop = nullptr;
    QPushButton *bCFG = nullptr;
    QPushButton *bHelp = nullptr;
    QPushButton *bBeenden = nullptr;
    QPushButton *bAnzeige = nullptr; // opens the audience window
    QLabel *PanelDate = nullptr;

    // Lane bar.
    QWidget *Panel = nullptr;
    QWidget *PanelLL = nullptr;
    QWidget *Panel1 = nullptr;
    QWidget *PanelRR = nullptr;
    QLabel *LabelBahn1 = nullptr;
    QLabel *LabelBahn2 = nullptr;
    QToolButton *sbLoad = nullptr;
    QToolButton *sbNachmeldung = nullptr; // a team registered on the day
    QComboBox *cbLauf = nullptr;          // "Lauf k von N": the run the next heat records
    QToolButton *sbNA1 = nullptr;         // "n.a.": lane 1's team did not come to the start
    QToolButton *sbNA2 = nullptr;
    QComboBox *cbBuhn1 = nullptr;
    QComboBox *cbBuhn2 = nullptr;
    QToolButton *seObmen = nullptr;
    TBitBtnWithColor *bSTART = nullptr;
    TBitBtnWithColor *bFSTART = nullptr;

    // Timer band.
    QWidget *PanelTimer = nullptr;
    QWidget *PanelT1 = nullptr;
    QWidget *PanelT2 = nullptr;
    TDigit *Digit1_1 = nullptr, *Digit1_2 = nullptr, *Digit1_3 = nullptr, *Digit1_4 = nullptr,
           *Digit1_5 = nullptr;
    TDigit *Digit2_1 = nullptr, *Digit2_2 = nullptr, *Digit2_3 = nullptr, *Digit2_4 = nullptr,
           *Digit2_5 = nullptr;
    QWidget *Panel7 = nullptr;
    QWidget *PanelLE = nullptr;
    QWidget *PanelRI = nullptr;
    QWidget *Panel6 = nullptr;
    TBitBtnWithColor *bSTOP1 = nullptr;
    TBitBtnWithColor *bSTOP2 = nullptr;
    // Each lane's penalty buttons, in the order of LanePenalties.
    std::array<LanePenaltyButtons, 2> PenaltyButtons{};
    TBitBtnWithColor *&bStrafe15_1 = PenaltyButtons[0][LanePenaltyIndex(15)];
    TBitBtnWithColor *&bStrafe30_1 = PenaltyButtons[0][LanePenaltyIndex(30)];
    TBitBtnWithColor *&bStrafe15_2 = PenaltyButtons[1][LanePenaltyIndex(15)];
    TBitBtnWithColor *&bStrafe30_2 = PenaltyButtons[1][LanePenaltyIndex(30)];
    TBitBtnWithColor *bDisqulifikation1 = nullptr;
    TBitBtnWithColor *bDisqulifikation2 = nullptr;
    TBitBtnWithColor *sb1del = nullptr;
    TBitBtnWithColor *sb2del = nullptr;
    TBitBtnWithColor *bRESET = nullptr;
    QWidget *PanelLed1 = nullptr;
    QWidget *PanelLed2 = nullptr;
    TLed *Led1 = nullptr;
    TLed *Led2 = nullptr;
    QLabel *LabC1 = nullptr;
    QLabel *LabC2 = nullptr;

    // Protocol area.
    QWidget *PanelProtocol = nullptr;
    QWidget *PanelProtocolTitle = nullptr;
    QLabel *LabelProtocol = nullptr;
    QToolButton *sbCLSall = nullptr;
    QToolButton *sbCLS = nullptr;
    QToolButton *sbSave = nullptr;
    QToolButton *sbGramoty = nullptr;
    QToolButton *sbPrint = nullptr;
    QToolButton *sb1 = nullptr;
    QToolButton *sb2 = nullptr;
    QCheckBox *cbEditON = nullptr;
    QToolButton *sbWord = nullptr;
    QToolButton *sbExcel = nullptr;
    QToolButton *sbInet = nullptr;
    TSortGrid *SortGrid1 = nullptr;

    // Key entries of the invisible menu.
    QAction *mStart = nullptr;
    QAction *mFSTART = nullptr;
    QAction *mSTOP1 = nullptr;
    QAction *mStop2 = nullptr;
    QAction *mReset = nullptr;
    QAction *mEinstellungen = nullptr;
    QAction *mHilfe = nullptr;
    QAction *mDrucker = nullptr;
    QAction *mUndo = nullptr;        // Ctrl+Z: takes back the protocol's last change
    QAction *mNachmeldung = nullptr; // Ctrl+N: a late entry
    QAction *mBeenden = nullptr;
    QAction *mAnzeige = nullptr; // F7: the audience window

    // Timers.
    QTimer *Clock = nullptr;
    QTimer *TimerGesperrt1 = nullptr;
    QTimer *TimerGesperrt2 = nullptr;
    QTimer *TimerDate = nullptr;

    // The dialogs created after the main window (see ApplicationWindows).
    TCfgDialog *CfgDialog = nullptr;
    TFDlgYesNo *FDlgYesNo = nullptr;

    // The light barriers' serial port, and its state in a permanent field
    // of the status bar.
    TComPort *ComPort = nullptr;
    QLabel *LabelBarrier = nullptr;

    // The printer all printing uses.
    QPrinter Printer{QPrinter::HighResolution};

    // The behaviour of the race and of the protocol (children of the window).
    RaceController *Race = nullptr;
    ProtocolController *Protocol = nullptr;
    // Writes the protocol to disk after every change; offers it back at start.
    RecoveryJournal *Journal = nullptr;
    ExportController *Export = nullptr;
    // What the audience sees (the audience window, the live page), built
    // anew after every change of the race or the protocol.
    AudienceFeed *Audience = nullptr;
    AudienceSource *AudienceBuilder = nullptr;
    // The big screen for the audience, made when first opened.
    AudienceWindow *AudienceScreen = nullptr;
    // Serves it on the race network while the settings ask for it.
    AudienceServer *LiveServer = nullptr;
    // Starts, moves or stops the live results as the settings say; the
    // status line tells the addresses or why the port could not be had.
    void ApplyLiveResults();
    // Where the live page is reached while it is served; empty otherwise.
    QStringList LivePageAddresses;
    // The audience window shows those addresses and the first one's QR code.
    void ShowLiveAddressOnScreen();
    // On the screen: everything above the protocol, which the audience
    // window never covers.
    QRect RaceControlsOnScreen() const;

    // Notices that must never stop a race go to the status line.
    void ShowNotice(const QString &text);
    // A fault that left an event handler: told, and the race state saved.
    void ShowInternalError(const QString &text);

    void ApplyLaneCount();
    void PanelResize();
    void Panel7Resize();
    void FormResize();
    // After a list load: "TeamName" and the class and name columns wider
    // than designed where their texts need it and the window has room.
    void FitProtocolColumnsToTexts();
    // The same for columns about to be shown (header and fonts the grid's).
    void FitProtocolColumnsToTexts(const ProtocolColumns &columns);
    void TimerDateTimer();
    // Runs the settings dialog and takes its values over after OK.
    void bCFGClick();
    void bHelpClick();
    void Drucker1Click();
    void bExitClick();
    // Opens the audience window (on its remembered screen), or raises it.
    void bAnzeigeClick();

    // Opens the port set in ComPort; a failure leaves it closed and is told
    // in the status line with the port and the reason.
    void OpenComPort();
    void OpenStoredPort();
    void CloseComPort();

    // Writes the settings (called once, when the window is destroyed).
    void FormDestroy();
    // Writes the window's settings to their file now; false when it failed.
    bool WriteSettings();
    QString SettingsNotWrittenText() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void DeriveNames();
    void BuildDialogs();
    void ReadSettings();
    void CreateControls();
    QWidget *CreateTopStrip();
    QWidget *CreateLaneBar();
    QWidget *CreateTimerBand();
    QWidget *CreateLaneDigits(int lane, TDigit *(&digits)[5]);
    static void PlaceLaneDigits(QWidget *panel, double scale);
    QWidget *CreateLaneButtons(int lane);
    QWidget *CreateProtocolArea();
    void CreateKeyEntries();
    // The controllers, each with the controls it drives, and their connections.
    void CreateControllers();
    void CreateTimers();
    void CreateComPort();
    void CreateAudience();
    // The audience window's screen and state go into the settings.
    void RememberAudienceScreen();
    void ShowBarrierState(const QString &text, bool failed);
    int StoredPortItem() const;
    void TakeOverSettings(int rememberedPortItem);
    void LayOutLaneBar();
    void LayOutTimerBand();
    TBitBtnWithColor *MakeRaceButton(const QString &caption, int pixelSize, QWidget *parent);
    QToolButton *MakeSpeedButton(const QString &glyph, const QString &hint, QWidget *parent);
    QToolButton *MakeSpeedButton(SpeedGlyph glyph, const QString &hint, QWidget *parent);

    bool m_settingsWritten = false;
    bool m_shownOnce = false;
    HelpWindow *m_helpWindow = nullptr;
    // Text widths of the protocol columns at the last list load.
    ProtocolColumnWidthList m_protocolTextWidths{};
};
