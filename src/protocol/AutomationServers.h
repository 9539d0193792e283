// The program's own automation servers, in place of office programs that
// a Linux desktop does not offer by class name.
#pragma once

#include "protocol/Automation.h"

// "Excel.Application" or "Word.Basic" (names ignore case); nullptr for any
// other class.
AutomationRef CreateBuiltInAutomationServer(const QString &className);
