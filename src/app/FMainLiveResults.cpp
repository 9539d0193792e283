// The main window's live results on the race network: the server on the
// audience feed, started and stopped as the settings say.
#include "app/FMain.h"

#include "display/AudienceServer.h"
#include "display/AudienceWindow.h"
#include "display/LiveAddress.h"
#include "platform/Platform.h"

void TFormMain::ApplyLiveResults()
{
    LivePageAddresses.clear();
    if (!Settings.AnzeigeNetz) {
        delete LiveServer;
        LiveServer = nullptr;
        ShowLiveAddressOnScreen();
        return;
    }
    const auto port = quint16(Settings.AnzeigePort);
    if (!LiveServer) {
        LiveServer = new AudienceServer(
            *Audience, [] { return CurrentPlatform().TickCount(); }, this);
        connect(LiveServer, &AudienceServer::StateTooLarge, this, [this] {
            ShowNotice(QStringLiteral("Anzeige im Netz: Stand zu groß für die Seiten"));
        });
    }
    // IPv4 only: the addresses shown and the QR code name IPv4, and a
    // global IPv6 address would reach beyond the race network.
    if (!(LiveServer->IsListening() && LiveServer->Port() == port) &&
        !LiveServer->Listen(QHostAddress::AnyIPv4, port)) {
        ShowNotice(QStringLiteral("Anzeige im Netz: Port %1 belegt").arg(port));
        ShowLiveAddressOnScreen();
        return;
    }
    LivePageAddresses = LiveAddresses(port);
    ShowNotice(QStringLiteral("Anzeige im Netz: ") + LivePageAddresses.join(QStringLiteral("  ")));
    ShowLiveAddressOnScreen();
}

void TFormMain::ShowLiveAddressOnScreen()
{
    if (!AudienceScreen)
        return;
    const QString first = LivePageAddresses.value(0);
    AudienceScreen->SetNetworkAddress(LivePageAddresses.join(QLatin1Char('\n')),
                                      first.isEmpty() ? QImage() : QrCodeImage(first));
}
