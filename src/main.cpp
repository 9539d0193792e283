// Program start: the application, the real platform, the windows in their
// order, and the message loop until the main window closes.
#include "app/QtPlatform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QtPlatform platform;
    SetCurrentPlatform(&platform);
    const int result = app.exec();
    SetCurrentPlatform(nullptr);
    return result;
}
