// "Urkunden drucken" in the main window: asks for the printer and the
// protocol rows, then opens the certificate window on those rows.
#pragma once

#include <QObject>

class TFormMain;
class TFormPP;

class CertificateController : public QObject
{
    Q_OBJECT

public:
    // Connects the main window's certificate button; a child of the window.
    CertificateController(TFormMain *form, TFormPP *formPP);

    void sbGramotyClick();

private:
    TFormMain *m_form;
    TFormPP *m_formPP;
};
