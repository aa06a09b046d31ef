// The "Select " button: empties the work area and opens the file chooser.
#include "app/frmMain.h"

void frmMain::Command3_Click() {}
