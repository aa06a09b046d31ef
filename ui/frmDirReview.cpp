// The chooser in review mode: after a rename its first button is "Accept" and
// its second "Undo".
#include "engine/AppState.h"
#include "engine/Journal.h"
#include "engine/RenameExecutor.h"
#include "engine/Settings.h"
#include "platform/Platform.h"
#include "ui/BusyPointer.h"
#include "ui/Forms.h"
#include "ui/SaveFailure.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"

void frmDir::Accept() {
    const settings::SaveResult saved = settings::write(settings::kDir, Dir1Path());
    journal::end();
    // The directory is let go, so that its drive can be unmounted.
    appState().chosenDirectory.reset();
    // Either way the batch is over: the next one starts with Select.
    forms::frmMain().enableSteps(false, false, false);
    hide();
    forms::unload(forms::Form::Dir);
    saveFailure::report(saved);
}

void frmDir::Undo() {
    AppState& state = appState();
    BusyPointer busy;
    const batch::UndoOutcome outcome =
        batch::undoBatch(state, platform::current(), state.reviewLastIndex);
    busy.restore();
    if (outcome.error != Error::None) {
        // The review stays open: what was put back stays back, and Undo tried
        // again once the cause is mended goes on with the rest.
        forms::frmMain().showStatus(batch::errorText(outcome));
        File1Refresh();
        return;
    }
    // Every file is back: what the example box said of this batch is over,
    // but for the files that went back under numbered names.
    forms::frmMain().showStatus(batch::undoneText(outcome));
    state.chosenDirectory.reset();
    hide();
    forms::frmMain().enableSteps(false, false, false);
    forms::unload(forms::Form::Dir);
}
