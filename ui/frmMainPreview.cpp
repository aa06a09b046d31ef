// File > Preview New Names: what Rename would do, before anything is renamed.
#include "engine/AppState.h"
#include "engine/Preview.h"
#include "platform/Platform.h"
#include "ui/Forms.h"
#include "ui/frmMain.h"
#include "ui/frmPreview.h"
#include "ui_frmMain.h"

GenerationInput frmMain::generationInput() const {
    GenerationInput input;
    input.listNames.reserve(ui->List1->count());
    for (int i = 0; i < ui->List1->count(); ++i) {
        input.listNames << ui->List1->item(i)->text();
    }
    input.prefix = ui->lblPrefix->text();
    input.suffix = ui->lblSufix->text();
    input.startNumber = ui->lblStartNumber->text();
    input.exampleText = ui->txtFile->text();
    return input;
}

void frmMain::mnuFilePreview_Click() {
    frmPreview& window = forms::frmPreview();
    window.show();
    window.raise();
    window.activateWindow();
    refreshPreview();
}

void frmMain::refreshPreview() {
    if (forms::isLoaded(forms::Form::Preview) && forms::frmPreview().isVisible()) {
        forms::frmPreview().showSummary(
            preview::compute(appState(), generationInput(), platform::current()));
    }
}
