// Helpers shared by the automation clients and servers.
#include "protocol/Automation.h"

EAutomationError::EAutomationError(const QString &message)
    : std::runtime_error(message.toStdString())
{}

QString EAutomationError::Message() const
{
    return QString::fromStdString(what());
}

AutomationRef ObjectOf(const AutomationResult &result, const QString &member)
{
    if (!result.object)
        throw EAutomationError(QStringLiteral("%1 gives no object").arg(member));
    return result.object;
}

bool IsMember(const QString &member, const char *name)
{
    return member.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QVariant NamedValue(const NamedArguments &named, const char *name)
{
    for (const NamedArgument &argument : named) {
        if (IsMember(argument.name, name))
            return argument.value;
    }
    return {};
}
