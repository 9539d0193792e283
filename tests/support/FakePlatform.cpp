#include "FakePlatform.h"

#include "comms/Comms.h"
#include "protocol/AutomationServers.h"

#include <QBuffer>
#include <QPdfWriter>

Platform::FileDialogAnswer FakePlatform::OpenFileDialog(QWidget *, const FileDialogRequest &request)
{
    openRequests << request;
    return openAnswers.isEmpty() ? FileDialogAnswer{} : openAnswers.dequeue();
}

Platform::FileDialogAnswer FakePlatform::SaveFileDialog(QWidget *, const FileDialogRequest &request)
{
    saveRequests << request;
    return saveAnswers.isEmpty() ? FileDialogAnswer{} : saveAnswers.dequeue();
}

int FakePlatform::ExecDialog(QDialog *dialog)
{
    ++dialogsShown;
    return dialogAnswers.isEmpty() ? 0 : dialogAnswers.dequeue()(dialog);
}

std::uint32_t FakePlatform::ProbeSerialPorts()
{
    return ::ProbeSerialPorts(
        serialDevices, [this](const QString &device) { return !absentDevices.contains(device); });
}

void FakePlatform::PrintPages(QPrinter *, const PagePainter &paintPages)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        paintPages(&writer);
    }
    printedPdfs << pdf;
}

AutomationRef FakePlatform::CreateAutomationObject(const QString &className)
{
    automationRequests << QStringLiteral("create ") + className;
    switch (automation) {
    case Automation::Recording:
        return std::make_shared<RecordingAutomationObject>(automationLog, className);
    case Automation::BuiltIn:
        return CreateBuiltInAutomationServer(className);
    case Automation::None:
        break;
    }
    return nullptr;
}

AutomationRef FakePlatform::RunningAutomationObject(const QString &className)
{
    automationRequests << QStringLiteral("running ") + className;
    if (automation != Automation::Recording || !automationRunning)
        return nullptr;
    return std::make_shared<RecordingAutomationObject>(automationLog, className);
}
