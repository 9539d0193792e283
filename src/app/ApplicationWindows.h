// Creates the program's windows in their fixed order and connects them: the
// main window first (its start-up runs before the others exist), then the
// dialogs it uses. main() and the window tests build the program this way.
#pragma once

class TFormMain;
class TFDlgYesNo;
class TCfgDialog;
class TFormPP;

struct ApplicationWindows
{
    ApplicationWindows();
    ~ApplicationWindows();
    ApplicationWindows(const ApplicationWindows &) = delete;
    ApplicationWindows &operator=(const ApplicationWindows &) = delete;

    TFormMain *FormMain = nullptr;
    TCfgDialog *CfgDialog = nullptr; // owned by the main window
    TFDlgYesNo *FDlgYesNo = nullptr; // owned by the main window
    TFormPP *FormPP = nullptr;       // owned by the main window, a window of its own
};
