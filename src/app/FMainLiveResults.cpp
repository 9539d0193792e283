// The main window's live results on the race network: the server on the
// audience feed, started and stopped as the settings say.
#include "app/FMain.h"

#include "display/AudienceServer.h"
#include "display/LiveAddress.h"
#include "platform/Platform.h"

void TFormMain::ApplyLiveResults()
{
    if (!Settings.AnzeigeNetz) {
        delete LiveServer;
        LiveServer = nullptr;
        return;
    }
    const auto port = quint16(Settings.AnzeigePort);
    if (!LiveServer)
        LiveServer = new AudienceServer(
            *Audience, [] { return CurrentPlatform().TickCount(); }, this);
    else if (LiveServer->IsListening() && LiveServer->Port() == port)
        return;
    if (!LiveServer->Listen(QHostAddress::Any, port)) {
        ShowNotice(QStringLiteral("Anzeige im Netz: Port %1 belegt").arg(port));
        return;
    }
    QStringList addresses = LiveAddresses(port);
    if (addresses.isEmpty())
        addresses = {QStringLiteral("http://127.0.0.1:%1/").arg(port)};
    ShowNotice(QStringLiteral("Anzeige im Netz: ") + addresses.join(QStringLiteral("  ")));
}
