// The main window's side of what the audience sees: the feed of views and
// the source that builds them from the race and the protocol.
#include "app/FMain.h"

#include "app/ProtocolController.h"
#include "app/RaceController.h"
#include "display/AudienceFeed.h"
#include "display/AudienceSource.h"
#include "display/AudienceWindow.h"

void TFormMain::CreateAudience()
{
    Audience = new AudienceFeed(this);
    AudienceSource::Inputs inputs;
    inputs.protocol = &Protocol->Model();
    inputs.laneCount = [this] { return Settings.CountBahn; };
    inputs.startTick = [this] { return Race->StartTick; };
    AudienceBuilder = new AudienceSource(std::move(inputs), Audience, this);
    connect(Race, &RaceController::heatStarted, AudienceBuilder, &AudienceSource::HeatStarted);
    connect(Race, &RaceController::laneStopped, AudienceBuilder, &AudienceSource::LaneStopped);
    connect(Race, &RaceController::heatReset, AudienceBuilder, &AudienceSource::HeatReset);
    connect(Protocol, &ProtocolController::protocolChanged, AudienceBuilder,
            &AudienceSource::ProtocolChanged);
    connect(Protocol, &ProtocolController::protocolReplaced, AudienceBuilder,
            &AudienceSource::ProtocolReplaced);
}

void TFormMain::bAnzeigeClick()
{
    if (!AudienceScreen) {
        AudienceScreen = new AudienceWindow(Audience, this);
        // Clicked on (for full screen, say), it must not swallow a stop.
        AudienceScreen->addActions({mStart, mFSTART, mSTOP1, mStop2, mReset});
        ShowLiveAddressOnScreen();
        AudienceScreen->ShowOn(Settings.AudienceScreen, Settings.AudienceFullScreen != 0, this,
                               RaceControlsOnScreen());
    } else if (AudienceScreen->isHidden()) {
        AudienceScreen->ShowOn(AudienceScreen->ScreenName(), AudienceScreen->isFullScreen(), this,
                               RaceControlsOnScreen());
    } else {
        AudienceScreen->raise();
    }
}

// A window never opened leaves what the settings held.
void TFormMain::RememberAudienceScreen()
{
    if (!AudienceScreen)
        return;
    Settings.AudienceScreen = AudienceScreen->ScreenName();
    Settings.AudienceFullScreen = AudienceScreen->isFullScreen() ? 1 : 0;
}

// Everything above the protocol: the buttons, the lane selectors, the
// digits and the lane buttons, which the audience window never covers.
QRect TFormMain::RaceControlsOnScreen() const
{
    return QRect(
        PanelTop->mapToGlobal(QPoint()),
        PanelTimer->mapToGlobal(QPoint(PanelTimer->width() - 1, PanelTimer->height() - 1)));
}
