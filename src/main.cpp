// Program start: the application and the real platform.
#include "app/ProgramApplication.h"
#include "app/ProgramRun.h"
#include "platform/QtPlatform.h"

#include <QApplication>

namespace {

// On X11 the toolkit hands each repaint to the X server through shared
// memory and then waits for the server before it paints the same pixels
// again: one round trip for every tick of the running race clock, a hundred
// a second. The clock's repaints are two or three small digits, which the
// connection itself carries without that wait. Set before the application
// connects; an operator's own setting of the variable is kept.
void SendImagesOverTheConnection()
{
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
}

} // namespace

int main(int argc, char *argv[])
{
    SendImagesOverTheConnection();
    ProgramApplication app(argc, argv);
    QtPlatform platform;
    return RunProgram(app, platform);
}
