// What the files and exports need of the desktop: handing it a file or
// address, and the automation servers of the office programs. The real
// desktop unless a test installed another.
#pragma once

#include <QString>
#include <QUrl>
#include <memory>

class AutomationObject;

class Desktop
{
public:
    virtual ~Desktop() = default;

    // Hands a file or address to the desktop (browser, spreadsheet, ...).
    virtual bool OpenUrl(const QUrl &url) = 0;

    // Automation servers by class name ("Excel.Application", "Word.Basic"):
    // a new instance, or the one already running; nullptr when there is none.
    virtual std::shared_ptr<AutomationObject> CreateAutomationObject(const QString &className) = 0;
    virtual std::shared_ptr<AutomationObject> RunningAutomationObject(const QString &className) = 0;
};

// The machine's desktop with the program's built-in automation servers.
Desktop &SystemDesktop();

// The desktop in use.
Desktop &CurrentDesktop();
// Installs a desktop (nullptr restores the system's). The caller keeps ownership.
void SetCurrentDesktop(Desktop *desktop);
