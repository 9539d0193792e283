// Late-bound calls on an automation object, the way office programs are
// driven: methods by name with positional and named arguments, property
// puts (also indexed, like Cells(row, column)), and results that may be
// objects again. Member names are matched without regard to case.
#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <stdexcept>

class AutomationObject;
using AutomationRef = std::shared_ptr<AutomationObject>;

struct NamedArgument
{
    QString name;
    QVariant value;
};
using NamedArguments = QList<NamedArgument>;

// A call's result: a plain value, or an object to call on.
struct AutomationResult
{
    QVariant value;
    AutomationRef object;
};

// A call that failed: unknown member, unfit arguments or the server's own
// failure; the message is for the operator.
class EAutomationError : public std::runtime_error
{
public:
    explicit EAutomationError(const QString &message);
    QString Message() const;
};

// The server did what was asked but could not show the result (no program
// on the desktop for it); the message says where the result is. The
// operator is told, but nothing failed.
class EAutomationNotShown : public EAutomationError
{
public:
    using EAutomationError::EAutomationError;
};

class AutomationObject
{
public:
    virtual ~AutomationObject() = default;
    virtual AutomationResult Call(const QString &member, const QVariantList &arguments = {},
                                  const NamedArguments &named = {}) = 0;
    virtual void Put(const QString &property, const QVariant &value) = 0;
    virtual void PutIndexed(const QString &property, const QVariantList &indices,
                            const QVariant &value) = 0;
};

// The object a call returned; a plain value where an object was expected fails.
AutomationRef ObjectOf(const AutomationResult &result, const QString &member);

// Whether a member name means the given one (automation names ignore case).
bool IsMember(const QString &member, const char *name);

// The value of a named argument; an invalid variant when it was not given.
QVariant NamedValue(const NamedArguments &named, const char *name);
