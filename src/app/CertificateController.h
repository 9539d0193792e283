// "Urkunden drucken" in the main window: asks for the printer and the
// protocol rows, then opens the certificate window on those rows.
#pragma once

#include <QObject>

class ProtocolController;
class QPrinter;
class QToolButton;
class TFormPP;

class CertificateController : public QObject
{
    Q_OBJECT

public:
    // The window's controls and records the certificates use.
    struct Controls
    {
        QToolButton *certificates = nullptr;
        // The print dialog's parent.
        QWidget *window = nullptr;
        QPrinter *printer = nullptr;
    };

    // Connects the certificate button; the protocol is read for its rows
    // and its event name.
    CertificateController(const Controls &controls, const ProtocolController &protocol,
                          TFormPP *formPP, QObject *parent);

    void sbGramotyClick();

private:
    Controls m_controls;
    const ProtocolController &m_protocol;
    TFormPP *m_formPP;
};
