// The "Select " button: empties the work area and opens the file chooser.
#include "engine/AppState.h"
#include "ui/Forms.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui_frmMain.h"

void frmMain::Command3_Click() {
    // An open review keeps its batch: Select only brings it to the front.
    if (forms::isLoaded(forms::Form::Dir) && forms::frmDir().mode() == frmDir::Mode::Review) {
        forms::frmDir().showChooser();
        return;
    }
    // The files listed so far go, and with them the directory they were in
    // (held open, it would keep its drive from being unmounted).
    appState().chosenDirectory.reset();
    ui->List1->clear();
    ui->txtMask->setText(QString());
    ui->txtFile->setText(QString());
    ui->txtExample->setText(QString());
    // The first touch of an unloaded chooser loads it, restoring (and
    // listing) the stored directory: the one it is about to show.
    const bool loaded = forms::isLoaded(forms::Form::Dir);
    appState().batchDirectory = forms::frmDir().Dir1Path();
    forms::frmDir().showChooser(loaded ? frmDir::Listed::Earlier : frmDir::Listed::JustNow);
}
