// The main window's exchange with the settings dialog: the dialog's controls
// are filled from the window's settings before the run, and after OK the
// lockout, laps, lane count, barrier port and timed runs are taken over. The dialog
// edits the certificate layout in place, so a cancel puts the copy back.
#include "app/FMain.h"

#include "app/MainSettings.h"
#include "app/ProtocolController.h"
#include "comms/Comms.h"
#include "comms/SimSerialDevice.h"
#include "display/AudienceSource.h"
#include "settings/CertificateLayout.h"
#include "settings/Cfg.h"
#include "widgets/SortGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QTimer>

void TFormMain::bCFGClick()
{
    if (!CfgDialog)
        return;
    TCfgDialog *dialog = CfgDialog;
    dialog->cbPort->setCurrentIndex(StoredPortItem());
    dialog->cbAlg->setEnabled(dialog->cbPort->currentIndex() > 0);
    dialog->cbAlg->setCurrentIndex(Settings.Alg);
    const int rememberedPortItem = dialog->cbPort->currentIndex();
    dialog->seTimeout->setValue(TimerGesperrt1->interval() / 1000);
    const CertificateLayout layoutCopy = SharedCertificateLayout();
    dialog->seLaps->setValue(Settings.Laps);
    dialog->cbAnzeigeNetz->setChecked(Settings.AnzeigeNetz != 0);
    dialog->seAnzeigePort->setValue(Settings.AnzeigePort);
    dialog->CountBahn = Settings.CountBahn;
    dialog->EventName = Protocol->EventName;
    dialog->Rounds = RoundsOf(Settings);
    dialog->Klassen = Protocol->Classes();
    if (dialog->Execute() != QDialog::Accepted) {
        SharedCertificateLayout() = layoutCopy;
        SortGrid1->setFocus();
        return;
    }
    TakeOverSettings(rememberedPortItem);
    // Confirmed values outlive a crash.
    if (!WriteSettings())
        ShowNotice(SettingsNotWrittenText().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    if (!Protocol->FocusStartWhenReady())
        SortGrid1->setFocus();
}

// The item of the port the barriers are on: the stored one, found by its
// device when one was stored, or the barrier simulator when it runs; -1
// when the stored port is gone, "Keine" when none was stored.
int TFormMain::StoredPortItem() const
{
    const int port = ResolveStoredPort(Settings.Port, Settings.PortDevice);
    if (port > 0)
        return CfgDialog->PortItem(port);
    return Settings.Port == 0 ? 0 : -1;
}

void TFormMain::TakeOverSettings(int rememberedPortItem)
{
    const TCfgDialog *dialog = CfgDialog;
    const int lockout = dialog->seTimeout->value() * 1000;
    TimerGesperrt1->setInterval(lockout);
    TimerGesperrt2->setInterval(lockout);
    Settings.Laps = dialog->seLaps->value();
    const int lanesBefore = Settings.CountBahn;
    Settings.CountBahn = dialog->rgBahnIndex() + 1;
    ApplyLaneCount();
    if (Settings.CountBahn != lanesBefore)
        Protocol->LaneCountChanged();
    Settings.AnzeigeNetz = dialog->cbAnzeigeNetz->isChecked() ? 1 : 0;
    Settings.AnzeigePort = dialog->seAnzeigePort->value();
    ApplyLiveResults();
    // The protocol may refuse runs that no longer fit what it holds: then the
    // stored ones stay.
    if (Protocol->ChangeRounds(dialog->Rounds))
        StoreRounds(Settings, dialog->Rounds);
    AudienceBuilder->Refresh();
    // Whether START is possible depends on the lane count.
    Protocol->RefreshControlStates();

    const bool portChanged = dialog->cbPort->currentIndex() != rememberedPortItem;
    if (portChanged)
        CloseComPort();
    const int port = dialog->SelectedPort();
    // The barrier simulator is a developer's stand-in for this run only:
    // the barriers' own port stays stored for the next normal start.
    if (!IsSimDeviceName(SerialDeviceName(port))) {
        Settings.Port = port;
        Settings.PortDevice = SerialDeviceName(port);
    }
    if (port == 0)
        return; // the contact mode stays as it was
    Settings.Alg = dialog->cbAlg->currentIndex();
    // The same port chosen again after an unplug or a failed open: try again.
    if (portChanged || !ComPort->Connected()) {
        ComPort->SetPort(static_cast<std::uint8_t>(port));
        OpenComPort();
    }
}
