#include "app/ProgramApplication.h"

#include <exception>

ProgramApplication::ProgramApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool ProgramApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        emit InternalError(QString::fromUtf8(error.what()));
    } catch (...) {
        emit InternalError(QStringLiteral("unbekannte Ausnahme"));
    }
    return true;
}
