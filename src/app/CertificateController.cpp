#include "app/CertificateController.h"

#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "platform/Platform.h"
#include "print/FPP.h"

#include <QToolButton>

CertificateController::CertificateController(TFormMain *form, TFormPP *formPP)
    : QObject(form), m_form(form), m_formPP(formPP)
{
    connect(form->sbGramoty, &QToolButton::clicked, this, &CertificateController::sbGramotyClick);
}

// The print dialog's pages stand for protocol rows here; the dialog's
// printer becomes the one the certificates print on.
void CertificateController::sbGramotyClick()
{
    CertificateRun run;
    run.table = m_form->Protocol->Table();
    run.eventName = m_form->Protocol->EventName;
    const auto rows =
        CurrentPlatform().PrintRangeDialog(m_form, &m_form->Printer, 1, int(run.table.size()));
    if (!rows)
        return;
    run.firstRow = rows->from;
    run.lastRow = rows->to;
    m_formPP->ShowCertificates(run);
}
