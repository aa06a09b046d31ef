// Choosing the example name, taking the mask from it and analysing it.
#include "app/frmMain.h"

void frmMain::List1_DblClick() {}

void frmMain::Command2_Click() {}

void frmMain::Command1_Click() {}
