// Program start: the application, its working folder, the real platform,
// the windows in their order, and the message loop until the main window
// closes.
#include "app/ApplicationWindows.h"
#include "app/FMain.h"
#include "app/ProgramFolders.h"
#include "app/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The program speaks German, so the toolkit's own dialogs (file, print,
    // message boxes) should too, where the translations are installed.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&toolkitTexts);
    // Started from a menu or a system folder, the program works in the
    // user's home, where its web page and protocols can be written.
    QDir::setCurrent(StartFolder(QDir::currentPath(), QDir::homePath()));
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
