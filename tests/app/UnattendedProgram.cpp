// The program as the fault tests run it: the real windows, files and
// barrier simulator, but every question box answered with its default
// button ("Ja") and every message box written to the error output, so that
// a test can kill and restart it and it recovers with nobody at the
// keyboard. Built with the tests only; the shipped program has no such mode.
#include "app/ProgramApplication.h"
#include "app/ProgramRun.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

namespace {

class UnattendedPlatform : public QtPlatform
{
public:
    int ExecDialog(QDialog *dialog) override
    {
        // Pressed once the box runs, as a press of Enter would.
        QTimer::singleShot(0, dialog, [dialog] {
            for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
                if (button->isDefault()) {
                    button->click();
                    return;
                }
            }
            dialog->accept();
        });
        return QtPlatform::ExecDialog(dialog);
    }

    void MessageBox(QWidget *, const QString &title, const QString &text, MessageKind) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
};

} // namespace

int main(int argc, char *argv[])
{
    ProgramApplication app(argc, argv);
    UnattendedPlatform platform;
    return RunProgram(app, platform);
}
