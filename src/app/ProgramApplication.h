// The program's application object. An exception that leaves an event
// handler would otherwise end the program in the middle of a race; here it
// is caught where the toolkit hands the event over, the program runs on and
// the window is told what went wrong.
#pragma once

#include <QApplication>

class ProgramApplication : public QApplication
{
    Q_OBJECT

public:
    ProgramApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

signals:
    // The text of an exception that left an event handler.
    void InternalError(const QString &text);
};
