// The Rename button: renames the batch on disk and opens the review.
#include "app/frmMain.h"

void frmMain::Command4_Click() {}
