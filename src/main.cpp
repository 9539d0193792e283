// Program start: the application and the real platform.
#include "app/ProgramRun.h"
#include "platform/QtPlatform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QtPlatform platform;
    return RunProgram(app, platform);
}
