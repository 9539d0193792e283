// The main window's controllers: each is handed the controls it drives,
// and they hear of each other through signals and narrow interfaces only.
#include "app/FMain.h"

#include "app/ExportController.h"
#include "app/ProtocolController.h"
#include "app/RaceController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

namespace {

ProtocolController::Controls ProtocolControls(TFormMain &form)
{
    ProtocolController::Controls controls;
    controls.grid = form.SortGrid1;
    controls.laneSelectors = {form.cbBuhn1, form.cbBuhn2};
    controls.load = form.sbLoad;
    controls.takeOverButtons = {form.sb1, form.sb2};
    controls.editMode = form.cbEditON;
    controls.removeRow = form.sbCLS;
    controls.clearAll = form.sbCLSall;
    controls.swapLanes = form.seObmen;
    controls.dropOut = {form.sb1del, form.sb2del};
    controls.penalties = form.PenaltyButtons;
    controls.disqualify = {form.bDisqulifikation1, form.bDisqulifikation2};
    controls.undoEntry = form.mUndo;
    controls.lateEntry = form.sbNachmeldung;
    controls.lateEntryEntry = form.mNachmeldung;
    controls.runChooser = form.cbLauf;
    controls.setAside = {form.sbNA1, form.sbNA2};
    controls.start = form.bSTART;
    controls.needProtocol = {form.sbSave, form.sbExcel, form.sbPrint, form.sbInet, form.sbGramoty};
    controls.document = form.sbWord;
    controls.clock = form.Clock;
    controls.resetEntry = form.mReset;
    controls.settingsButton = form.bCFG;
    controls.statusLine = form.statusBar();
    controls.window = &form;
    controls.openDialog = &form.OpenDialog1;
    controls.saveDialog = &form.SaveDialog1;
    controls.applicationTitle = &form.ApplicationTitle;
    controls.templatePath = &form.ProtocolTemplatePath;
    controls.questions = &form.FDlgYesNo;
    return controls;
}

RaceController::Controls RaceControls(TFormMain &form)
{
    RaceController::Controls controls;
    controls.start = form.bSTART;
    controls.falseStart = form.bFSTART;
    controls.reset = form.bRESET;
    controls.startEntry = form.mStart;
    controls.falseStartEntry = form.mFSTART;
    controls.resetEntry = form.mReset;
    controls.lanes[0] = {
        form.bSTOP1,
        form.mSTOP1,
        form.sb1del,
        form.PenaltyButtons[0],
        form.bDisqulifikation1,
        {form.Digit1_1, form.Digit1_2, form.Digit1_3, form.Digit1_4, form.Digit1_5},
        form.TimerGesperrt1,
        form.Led1,
        form.LabC1,
        form.PanelLed1};
    controls.lanes[1] = {
        form.bSTOP2,
        form.mStop2,
        form.sb2del,
        form.PenaltyButtons[1],
        form.bDisqulifikation2,
        {form.Digit2_1, form.Digit2_2, form.Digit2_3, form.Digit2_4, form.Digit2_5},
        form.TimerGesperrt2,
        form.Led2,
        form.LabC2,
        form.PanelLed2};
    controls.clock = form.Clock;
    controls.laneSelectors = {form.cbBuhn1, form.cbBuhn2};
    controls.settingsButton = form.bCFG;
    controls.loadButton = form.sbLoad;
    controls.editMode = form.cbEditON;
    controls.takeOverButtons = {form.sb1, form.sb2};
    controls.timerBand = form.PanelTimer;
    controls.statusLine = form.statusBar();
    return controls;
}

ExportController::Controls ExportControls(TFormMain &form)
{
    ExportController::Controls controls;
    controls.save = form.sbSave;
    controls.webPage = form.sbInet;
    controls.print = form.sbPrint;
    controls.spreadsheet = form.sbExcel;
    controls.document = form.sbWord;
    controls.statusLine = form.statusBar();
    controls.window = &form;
    controls.printer = &form.Printer;
    controls.saveDialog = &form.SaveDialog1;
    controls.applicationTitle = &form.ApplicationTitle;
    controls.templatePath = &form.ProtocolTemplatePath;
    return controls;
}

} // namespace

void TFormMain::CreateControllers()
{
    Protocol = new ProtocolController(ProtocolControls(*this), Settings, this);
    connect(Protocol, &ProtocolController::textsArriving, this,
            qOverload<const ProtocolColumns &>(&TFormMain::FitProtocolColumnsToTexts));
    connect(Protocol, &ProtocolController::rowCountChanged, this, &TFormMain::FormResize);
    // A list or a recovered protocol of other runs brings them along.
    connect(Protocol, &ProtocolController::roundsTaken, this,
            [this](const RoundsSetup &rounds) { StoreRounds(Settings, rounds); });
    Race = new RaceController(RaceControls(*this), Settings, DataFolder, *Protocol, this);
    Export = new ExportController(ExportControls(*this), *Protocol, this);
    connect(Export, &ExportController::protocolSaved, Protocol,
            &ProtocolController::MarkProtocolSaved);
    Protocol->LaneElapsed = [this](int laneIndex) {
        return static_cast<std::uint32_t>(Race->LaneElapsed[laneIndex]);
    };
    // Whether START and the protocol's buttons can be used follows the heat.
    connect(Race, &RaceController::heatStarted, Protocol,
            &ProtocolController::RefreshControlStates);
    connect(Race, &RaceController::heatReset, Protocol, &ProtocolController::RefreshControlStates);
    connect(Protocol, &ProtocolController::protocolChanged, Race,
            &RaceController::ForgetNoticesOfTakenBackTimes);
    connect(Protocol, &ProtocolController::protocolReplaced, Race,
            &RaceController::ClearRaceNotices);
}
