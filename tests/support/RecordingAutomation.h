// An automation object for tests that records every call, put and indexed
// put as one readable line ("Excel.Application.Cells[1,2] = Nr."), and
// answers every call with a further recording object named after the call.
// A member can be made to fail.
#pragma once

#include "protocol/Automation.h"

#include <QStringList>
#include <memory>

struct AutomationLog
{
    QStringList calls;
    QString failingMember; // a call of this member (any case) throws
};

class RecordingAutomationObject : public AutomationObject
{
public:
    RecordingAutomationObject(std::shared_ptr<AutomationLog> log, QString name);

    AutomationResult Call(const QString &member, const QVariantList &arguments,
                          const NamedArguments &named) override;
    void Put(const QString &property, const QVariant &value) override;
    void PutIndexed(const QString &property, const QVariantList &indices,
                    const QVariant &value) override;

private:
    void Record(const QString &member, const QString &line);

    std::shared_ptr<AutomationLog> m_log;
    QString m_name;
};

// A value as the log shows it: texts quoted with control characters
// spelled out ("a\tb\r"), numbers and booleans plain.
QString LoggedValue(const QVariant &value);
