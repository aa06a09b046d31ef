// The "Select " button: empties the work area and opens the file chooser.
#include "app/AppState.h"
#include "app/Forms.h"
#include "app/frmMain.h"
#include "chooser/frmDir.h"

void frmMain::Command3_Click() {
    ui.List1->clear();
    ui.txtMask->setText(QString());
    ui.txtFile->setText(QString());
    ui.txtExample->setText(QString());
    // The first touch of an unloaded chooser loads it, restoring the stored
    // directory: the one it is about to show.
    appState().batchDirectory = forms::frmDir().Dir1Path();
    frmDir& chooser = forms::frmDir();
    chooser.setWindowTitle(QStringLiteral("Select the files to rename"));
    chooser.show();
    chooser.raise();
    chooser.activateWindow();
    chooser.File1Refresh();
}
