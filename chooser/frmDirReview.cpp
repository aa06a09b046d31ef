// The chooser in review mode: after a rename its first button reads "Accept"
// and its second "Undo".
#include "app/AppState.h"
#include "app/BusyPointer.h"
#include "app/Forms.h"
#include "app/frmMain.h"
#include "chooser/frmDir.h"
#include "options/Settings.h"
#include "platform/Platform.h"
#include "rename/RenameExecutor.h"

namespace {

// Either way the batch is over: the next one starts with Select.
void endBatch() {
    frmMain& main = forms::frmMain();
    main.ui.Command2->setEnabled(false);
    main.ui.Command1->setEnabled(false);
    main.ui.Command4->setEnabled(false);
}

}  // namespace

void frmDir::Accept() {
    settings::write(settings::kDir, Dir1Path());
    endBatch();
    hide();
    forms::unload(forms::Form::Dir);
}

void frmDir::Undo() {
    AppState& state = appState();
    BusyPointer busy(state);
    const batch::UndoOutcome outcome =
        batch::undoBatch(state, platform::current(), state.reviewLastIndex);
    busy.restore();
    if (outcome.error != 0) {
        // The review stays open: what was put back stays back, and Undo can be
        // tried again once the cause is mended.
        forms::frmMain().ui.txtExample->setText(batch::errorText(outcome.error));
        File1Refresh();
        return;
    }
    hide();
    endBatch();
    forms::unload(forms::Form::Dir);
}
