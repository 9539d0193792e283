#include "app/ApplicationWindows.h"

#include "app/DlgYesNo.h"
#include "app/FMain.h"

ApplicationWindows::ApplicationWindows()
{
    FormMain = new TFormMain;
    FDlgYesNo = new TFDlgYesNo(FormMain, FormMain->ApplicationTitle);
    FormMain->FDlgYesNo = FDlgYesNo;
}

ApplicationWindows::~ApplicationWindows()
{
    delete FormMain;
}
