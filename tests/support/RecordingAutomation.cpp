// The recording automation double.
#include "RecordingAutomation.h"

RecordingAutomationObject::RecordingAutomationObject(std::shared_ptr<AutomationLog> log,
                                                     QString name)
    : m_log(std::move(log)), m_name(std::move(name))
{}

QString LoggedValue(const QVariant &value)
{
    if (value.typeId() != QMetaType::QString)
        return value.toString();
    QString text = value.toString();
    text.replace(u'\t', QStringLiteral("\\t")).replace(u'\r', QStringLiteral("\\r"));
    text.replace(u'\n', QStringLiteral("\\n"));
    return u'"' + text + u'"';
}

namespace {
QString Joined(const QVariantList &values)
{
    QStringList texts;
    for (const QVariant &value : values)
        texts << LoggedValue(value);
    return texts.join(QStringLiteral(", "));
}
} // namespace

void RecordingAutomationObject::Record(const QString &member, const QString &line)
{
    m_log->calls << m_name + u'.' + line;
    if (!m_log->failingMember.isEmpty() && IsMember(member, m_log->failingMember.toLatin1()))
        throw EAutomationError(QStringLiteral("failed: ") + member);
}

AutomationResult RecordingAutomationObject::Call(const QString &member,
                                                 const QVariantList &arguments,
                                                 const NamedArguments &named)
{
    QStringList all;
    if (!arguments.isEmpty())
        all << Joined(arguments);
    for (const NamedArgument &argument : named)
        all << argument.name + QStringLiteral(":=") + LoggedValue(argument.value);
    Record(member, member + u'(' + all.join(QStringLiteral(", ")) + u')');
    return {QVariant(), std::make_shared<RecordingAutomationObject>(m_log, m_name + u'.' + member)};
}

void RecordingAutomationObject::Put(const QString &property, const QVariant &value)
{
    Record(property, property + QStringLiteral(" = ") + LoggedValue(value));
}

void RecordingAutomationObject::PutIndexed(const QString &property, const QVariantList &indices,
                                           const QVariant &value)
{
    Record(property,
           property + u'[' + Joined(indices) + QStringLiteral("] = ") + LoggedValue(value));
}
