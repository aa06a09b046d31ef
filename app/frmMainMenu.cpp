// The menu commands of the main window.
#include "about/frmAbout.h"
#include "app/AppState.h"
#include "app/Forms.h"
#include "app/Help.h"
#include "app/frmMain.h"
#include "options/Settings.h"
#include "options/frmOptions.h"

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
    settings::write(settings::kPrefix, QString());
    settings::write(settings::kSufix, QString());
    settings::write(settings::kStartingNumber, QString());
    settings::write(settings::kLetteringPosition, QStringLiteral("0"));
    ui.lblPrefix->setText(QString());
    ui.lblSufix->setText(QString());
    ui.lblStartNumber->setText(QString());
    ui.lblLetteringPosition->setText(QStringLiteral("0"));
}

void frmMain::mnuOptionsSetOptions_Click() {
    // The first touch loads the dialog (its load step centres it).
    frmOptions& options = forms::frmOptions();
    options.ui.txtPrefix->setText(ui.lblPrefix->text());
    options.ui.txtSufix->setText(ui.lblSufix->text());
    options.ui.txtStartingNumber->setText(ui.lblStartNumber->text());
    const QString position = ui.lblLetteringPosition->text();
    if (position == QLatin1String("0")) {
        options.ui.opt1_0->setChecked(true);
    } else if (position == QLatin1String("1")) {
        options.ui.opt1_1->setChecked(true);
    } else if (position == QLatin1String("2")) {
        options.ui.opt1_2->setChecked(true);
    }
    showModeless(options);
}

void frmMain::MnuHelpHelp_Click() {
    // Whatever goes wrong (no file, no viewer) stays silent.
    help::showContents(appState().helpFilePath);
}

void frmMain::MnuHelpAbout_Click() {
    showModeless(forms::frmAbout());
}
