// The menu commands of the main window.
#include "engine/Settings.h"
#include "ui/Forms.h"
#include "ui/Help.h"
#include "ui/SaveFailure.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"

namespace {

// Shows a modeless window, or brings it to the front when it is already shown.
void showModeless(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

void frmMain::MnuFileExit_Click() {
    close();
}

void frmMain::mnuClearOptions_Click() {
    const NamingOptions cleared = NamingOptions::cleared();
    const settings::SaveResult saved = cleared.save();
    setNamingLabels(cleared);
    saveFailure::report(saved);
}

void frmMain::mnuOptionsSetOptions_Click() {
    // The first touch loads the dialog (its load step centres it).
    frmOptions& options = forms::frmOptions();
    options.fill(namingLabels());
    showModeless(options);
}

void frmMain::MnuHelpHelp_Click() {
    help::showContents();
}

void frmMain::MnuHelpAbout_Click() {
    showModeless(forms::frmAbout());
}
