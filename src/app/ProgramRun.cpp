// The program's run from start to exit.
#include "app/ProgramRun.h"

#include "app/ApplicationWindows.h"
#include "app/FMain.h"
#include "app/ProgramFolders.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

int RunProgram(QApplication &app, Platform &platform)
{
    // The program speaks German, so the toolkit's own dialogs (file, print,
    // message boxes) should too, where the translations are installed.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&toolkitTexts);
    // Started from a menu or a system folder, the program works in the
    // user's home, where its web page and protocols can be written.
    QDir::setCurrent(StartFolder(QDir::currentPath(), QDir::homePath()));
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
