// Program start: the application, the real platform, the windows in their
// order, and the message loop until the main window closes.
#include "app/ApplicationWindows.h"
#include "app/FMain.h"
#include "app/QtPlatform.h"

#include <QApplication>
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
