// The main window's life: start-up in its fixed order, the settings read
// and written, the barrier port, the small handlers and the close query.
#include "app/FMain.h"

#include "app/DlgYesNo.h"
#include "app/HelpWindow.h"
#include "app/ProgramApplication.h"
#include "app/ProgramFolders.h"
#include "app/ProtocolController.h"
#include "app/RaceController.h"
#include "app/RecoveryJournal.h"
#include "comms/Comms.h"
#include "comms/SimSerialDevice.h"
#include "protocol/ProtocolTable.h"
#include "protocol/RegularFile.h"
#include "protocol/Rounds.h"
#include "settings/CertificateLayout.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/SortGrid.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace {

// The available area of the screen that shows most of the bounds: a
// window saved on a larger or a second screen must never open out of reach.
QRect AvailableArea(const QRect &bounds)
{
    const QScreen *best = QGuiApplication::primaryScreen();
    int bestArea = -1;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect shown = screen->availableGeometry().intersected(bounds);
        const int area = shown.isValid() ? shown.width() * shown.height() : 0;
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    return best ? best->availableGeometry() : bounds;
}

// The bounds moved (and if need be shrunk) so that the whole window lies
// in the available area.
QRect FittedIn(const QRect &bounds, const QRect &available)
{
    QRect fitted(bounds.topLeft(), bounds.size().boundedTo(available.size()));
    fitted.moveLeft(
        std::clamp(fitted.left(), available.left(), available.right() - fitted.width() + 1));
    fitted.moveTop(
        std::clamp(fitted.top(), available.top(), available.bottom() - fitted.height() + 1));
    return fitted;
}

// What the status line says when the barriers' port does not open.
QString OpenFailureNotice(const TComPort &port, const EComError &error)
{
    const QString device = port.DeviceName();
    const auto *handle = dynamic_cast<const EComHandle *>(&error);
    if (handle && IsSimDeviceName(device))
        return SimSocketNotice(SimSocketPath(device), error.Code());
    if (handle && handle->IsBusy())
        return PortBusyNotice(port.Port());
    if (handle && handle->IsPermissionDenied())
        return PermissionDeniedNotice(device);
    return PortOpenFailedNotice(port.Port(), error.Code());
}
} // namespace

TFormMain::TFormMain(QWidget *parent) : QMainWindow(parent)
{
    CreateControls();
    FormCreate();
}

TFormMain::~TFormMain()
{
    FormDestroy();
}

void TFormMain::FormCreate()
{
    DeriveNames();
    // The status line may cut a long notice off: its tooltip holds it whole.
    connect(statusBar(), &QStatusBar::messageChanged, statusBar(), &QWidget::setToolTip);
    Journal =
        new RecoveryJournal({this, statusBar(), &ApplicationTitle, &OpenDialog1, &SaveDialog1},
                            *Protocol, RecoveryJournal::DefaultFileName(), this);
    connect(Journal, &RecoveryJournal::restored, this,
            qOverload<>(&TFormMain::FitProtocolColumnsToTexts));
    CreateAudience();
    if (auto *application = qobject_cast<ProgramApplication *>(QCoreApplication::instance()))
        connect(application, &ProgramApplication::InternalError, this,
                &TFormMain::ShowInternalError);
    setWindowIcon(QIcon(QStringLiteral(":/duobahn.svg")));
    FileTypes = ReadFileTypeNames();
    ReadSettings();
    bFSTART->setGeometry(bSTART->geometry());
    bFSTART->hide();
    TimerGesperrt2->setInterval(TimerGesperrt1->interval());
    BuildDialogs();
    ApplyLaneCount();
    Protocol->ChangeRounds(RoundsOf(Settings));
    Race->StartSoundFile = FindSoundFile(QStringLiteral("3.wav"), DataFolder);
    Race->ShowLaneTime(0, 0);
    Race->ShowLaneTime(1, 0);
    // Help buttons in any window open this window's help.
    TBitBtnWithColor::ApplicationHelp = [form = QPointer<TFormMain>(this)](int) {
        if (form)
            form->bHelpClick();
    };
    CurrentPlatform().ProbeSerialPorts();
    TimerDateTimer();
    OpenStoredPort();
    ApplyLiveResults();
    Protocol->RefreshControlStates();
}

void TFormMain::DeriveNames()
{
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    ApplicationTitle = executable.completeBaseName();
    QCoreApplication::setApplicationName(ApplicationTitle);
    setWindowTitle(ApplicationTitle + QStringLiteral(" 1.0"));
    const ProgramFolders folders = FindProgramFolders(executable.absoluteFilePath());
    ExecutableFolder = folders.executable;
    DataFolder = folders.data;
    // An installed program's own folders are the system's: protocols are
    // saved where the program works.
    SaveFolder = folders.installed ? QDir::currentPath() : ExecutableFolder;
    HelpFile = folders.helpFile;
    ProtocolTemplatePath = folders.protocolTemplate;
}

void TFormMain::ReadSettings()
{
    QSettings store(QStringLiteral("Chronalt"), ApplicationTitle);
    ReadMainSettings(store, Settings);
    SharedCertificateLayout().Read(Settings.Nadpis);
    // A screen smaller than the designed window (or a large scale) gets a
    // window that fits it; the layout shrinks with it.
    const QRect available = AvailableArea(Settings.Bounds);
    setMinimumSize(minimumSize().boundedTo(available.size()));
    const QRect bounds = FittedIn(Settings.Bounds, available);
    resize(bounds.size());
    move(bounds.topLeft());
    TimerGesperrt1->setInterval(Settings.TimerGesperrt);
}

void TFormMain::BuildDialogs()
{
    OpenDialog1.title = QStringLiteral("Starterliste öffnen");
    OpenDialog1.filter = OpenDialogFilter(FileTypes);
    OpenDialog1.defaultSuffix = QStringLiteral("txt");
    OpenDialog1.folder = DataFolder;
    SaveDialog1.title = QStringLiteral("Protokoll speichern unter");
    SaveDialog1.filter = SaveDialogFilter(FileTypes);
    SaveDialog1.defaultSuffix = QStringLiteral("txt");
    SaveDialog1.filterIndex = Settings.FilterInd;
    SaveDialog1.folder = SaveFolder;
    SaveDialog1.fileName = ApplicationTitle + QStringLiteral(".txt");
}

void TFormMain::FormDestroy()
{
    if (m_settingsWritten)
        return;
    m_settingsWritten = true;
    // A normal exit after saving leaves nothing to ask at the next start.
    Journal->Write();
    // At exit the box is the only way left to tell; nothing else waits on it.
    if (!WriteSettings())
        CurrentPlatform().MessageBox(nullptr, ApplicationTitle, SettingsNotWrittenText(),
                                     Platform::MessageKind::Warning);
    CloseComPort();
}

bool TFormMain::WriteSettings()
{
    Settings.Bounds = QRect(pos(), size());
    Settings.TimerGesperrt = TimerGesperrt1->interval();
    Settings.FilterInd = SaveDialog1.filterIndex;
    Settings.Nadpis = SharedCertificateLayout().ToBytes();
    RememberAudienceScreen();
    QSettings store(QStringLiteral("Chronalt"), ApplicationTitle);
    return WriteMainSettings(store, Settings);
}

QString TFormMain::SettingsNotWrittenText() const
{
    return QStringLiteral("Die Einstellungen können nicht gespeichert werden:\n") +
           QSettings(QStringLiteral("Chronalt"), ApplicationTitle).fileName();
}

void TFormMain::CreateComPort()
{
    ComPort = new TComPort(this);
    // The barriers only switch handshake lines: RTS stays raised by the
    // driver's flow control, DTR by the port, and only CTS / DSR are watched.
    ComPort->SetFlowControl(fcRtsCts);
    ComPort->SetDataBits(5);
    ComPort->SetEvents(EventBit(evCTS) | EventBit(evDSR));
    ComPort->SetWriteBufSize(64);
    ComPort->SetReadBufSize(64);
    ComPort->SetPort(0);
    ComPort->OnDSR = [this](const ModemLineEvent &event) { Race->ComPortDSR(event); };
    ComPort->OnCTS = [this](const ModemLineEvent &event) { Race->ComPortCTS(event); };
    ComPort->OnOpen = [this] {
        Race->ComPortOpen();
        ShowBarrierState(BarrierConnectedText(ComPort->Port()), false);
    };
    ComPort->OnClose = [this] {
        Race->ComPortClose();
        ShowBarrierState(NoBarrierText(), false);
    };
    ComPort->OnDisconnect = [this](int) {
        ShowNotice(BarrierDisconnectedNotice());
        ShowBarrierState(BarrierUnpluggedText(), true);
    };
    LabelBarrier = new QLabel(NoBarrierText());
    statusBar()->addPermanentWidget(LabelBarrier);
}

// A state that leaves the stops to the operator's hand shows in red.
void TFormMain::ShowBarrierState(const QString &text, bool failed)
{
    LabelBarrier->setText(text);
    QPalette palette = statusBar()->palette();
    if (failed)
        palette.setColor(QPalette::WindowText, Qt::red);
    LabelBarrier->setPalette(palette);
}

// The stored device is looked up by name, so a renumbering after a reboot
// still finds the barriers; the stored values themselves stay as they are.
void TFormMain::OpenStoredPort()
{
    const int port = ResolveStoredPort(Settings.Port, Settings.PortDevice);
    if (port == 0) {
        if (Settings.Port != 0) {
            const QString stored = Settings.PortDevice.isEmpty()
                                       ? QStringLiteral("COM%1").arg(Settings.Port)
                                       : Settings.PortDevice;
            ShowNotice(QStringLiteral("Lichtschranke: %1 nicht gefunden").arg(stored));
            ShowBarrierState(BarrierFailedText(stored, QStringLiteral("nicht gefunden")), true);
        }
        return;
    }
    ComPort->SetPort(static_cast<std::uint8_t>(port));
    OpenComPort();
}

void TFormMain::OpenComPort()
{
    try {
        ComPort->Open();
        if (ComPort->CtsAlwaysOn() && Settings.CountBahn > 1)
            ShowNotice(CtsUnusableNotice(ComPort->Port()));
    } catch (const EComError &error) {
        ShowNotice(OpenFailureNotice(*ComPort, error));
        ShowBarrierState(
            BarrierFailedText(PortDisplayName(ComPort->Port()), SystemErrorText(error.Code())),
            true);
    }
}

void TFormMain::CloseComPort()
{
    try {
        ComPort->Close();
    } catch (const EComError &) {
    }
}
// --- small handlers ---------------------------------------------------------

void TFormMain::ShowNotice(const QString &text)
{
    statusBar()->showMessage(text);
}

void TFormMain::ShowInternalError(const QString &text)
{
    ShowNotice(QStringLiteral("Interner Fehler: ") + text);
    Journal->Write();
}

void TFormMain::TimerDateTimer()
{
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    PanelDate->setText(locale.toString(now.date(), QLocale::ShortFormat) + QStringLiteral("   ") +
                       locale.toString(now.time(), QLocale::ShortFormat));
}

void TFormMain::bHelpClick()
{
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(this);
    m_helpWindow->ShowContents(HelpFile);
}

void TFormMain::Drucker1Click()
{
    CurrentPlatform().PrinterSetupDialog(this, &Printer);
}

void TFormMain::bExitClick()
{
    close();
}

// The first thing to do is load a starter list, so the pointer starts there.
void TFormMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    QCursor::setPos(sbLoad->mapToGlobal(QPoint(16, 16)));
}

// A running race asks whether to end at all; otherwise unsaved results do.
void TFormMain::closeEvent(QCloseEvent *event)
{
    const QString question = QStringLiteral("Beenden?");
    if (FDlgYesNo)
        FDlgYesNo->Label1->setText(question);
    // "Trotzdem beenden?" answered with "Ja" discards the results on purpose.
    const bool discarding = !Clock->isActive() && FDlgYesNo && Protocol->ProtocolModified();
    const bool end = Clock->isActive() ? !FDlgYesNo || FDlgYesNo->Confirm(question)
                                       : Protocol->ConfirmDiscardingChanges();
    if (!end) {
        event->ignore();
        return;
    }
    if (discarding)
        Journal->DiscardOnPurpose();
    event->accept();
}
