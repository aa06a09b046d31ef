// The menu commands of the main window.
#include "app/frmMain.h"

void frmMain::MnuFileExit_Click() {
    close();
}

void frmMain::mnuClearOptions_Click() {}

void frmMain::mnuOptionsSetOptions_Click() {}

void frmMain::MnuHelpHelp_Click() {}

void frmMain::MnuHelpAbout_Click() {}
