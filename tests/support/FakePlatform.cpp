#include "FakePlatform.h"

#include "comms/Comms.h"

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
