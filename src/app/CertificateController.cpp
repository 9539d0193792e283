#include "app/CertificateController.h"

#include "app/ProtocolController.h"
#include "platform/Platform.h"
#include "print/FPP.h"

#include <QToolButton>

CertificateController::CertificateController(const Controls &controls,
                                             const ProtocolController &protocol, TFormPP *formPP,
                                             QObject *parent)
    : QObject(parent), m_controls(controls), m_protocol(protocol), m_formPP(formPP)
{
    connect(controls.certificates, &QToolButton::clicked, this,
            &CertificateController::sbGramotyClick);
}

// The print dialog's pages stand for protocol rows here; the dialog's
// printer becomes the one the certificates print on.
void CertificateController::sbGramotyClick()
{
    CertificateRun run;
    run.table = m_protocol.Model().Table();
    run.eventName = m_protocol.EventName;
    const auto rows = CurrentPlatform().PrintRangeDialog(m_controls.window, m_controls.printer, 1,
                                                         int(run.table.size()));
    if (!rows)
        return;
    run.firstRow = rows->from;
    run.lastRow = rows->to;
    m_formPP->ShowCertificates(run);
}
