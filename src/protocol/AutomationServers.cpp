// The built-in automation servers by class name.
#include "protocol/AutomationServers.h"

#include "protocol/SpreadsheetServer.h"
#include "protocol/WordBasicServer.h"

AutomationRef CreateBuiltInAutomationServer(const QString &className)
{
    if (IsMember(className, "Excel.Application"))
        return CreateSpreadsheetServer();
    if (IsMember(className, "Word.Basic"))
        return std::make_shared<WordBasicServer>();
    return nullptr;
}
