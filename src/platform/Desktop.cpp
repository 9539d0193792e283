#include "platform/Desktop.h"

#include "protocol/AutomationServers.h"

#include <QDesktopServices>

namespace {

class MachineDesktop : public Desktop
{
public:
    bool OpenUrl(const QUrl &url) override { return QDesktopServices::openUrl(url); }

    std::shared_ptr<AutomationObject> CreateAutomationObject(const QString &className) override
    {
        return CreateBuiltInAutomationServer(className);
    }

    // The built-in servers live only as long as the export that made them.
    std::shared_ptr<AutomationObject> RunningAutomationObject(const QString &) override
    {
        return nullptr;
    }
};

Desktop *installedDesktop = nullptr;

} // namespace

Desktop &SystemDesktop()
{
    static MachineDesktop desktop;
    return desktop;
}

Desktop &CurrentDesktop()
{
    return installedDesktop ? *installedDesktop : SystemDesktop();
}

void SetCurrentDesktop(Desktop *desktop)
{
    installedDesktop = desktop;
}
