#include "app/ApplicationWindows.h"

#include "app/CertificateController.h"
#include "app/DlgYesNo.h"
#include "app/FMain.h"
#include "app/FreedMemory.h"
#include "app/RecoveryJournal.h"
#include "print/FPP.h"
#include "settings/CertificateLayout.h"
#include "settings/Cfg.h"

ApplicationWindows::ApplicationWindows()
{
    HandLargeBlocksBackAtOnce();
    FormMain = new TFormMain;
    CfgDialog = new TCfgDialog(SharedCertificateLayout(), FormMain);
    FormMain->CfgDialog = CfgDialog;
    FDlgYesNo = new TFDlgYesNo(FormMain, FormMain->ApplicationTitle);
    FormMain->FDlgYesNo = FDlgYesNo;
    FormMain->Journal->OfferRecovery(FDlgYesNo);
    FormPP = new TFormPP(&FormMain->Printer, FormMain);
    new CertificateController({FormMain->sbGramoty, FormMain, &FormMain->Printer},
                              *FormMain->Protocol, FormPP, FormMain);
}

ApplicationWindows::~ApplicationWindows()
{
    delete FormMain;
}
