// Program start: the application, the real platform, the windows in their
// order, and the message loop until the main window closes.
#include "app/ApplicationWindows.h"
#include "app/FMain.h"
#include "app/QtPlatform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QtPlatform platform;
    SetCurrentPlatform(&platform);
    int result = 0;
    {
        ApplicationWindows windows;
        windows.FormMain->show();
        result = app.exec();
    }
    SetCurrentPlatform(nullptr);
    return result;
}
