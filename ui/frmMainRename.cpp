// The Rename button: builds the new names, renames the batch on disk and
// opens the review.
#include "engine/AppState.h"
#include "engine/BatchCounts.h"
#include "engine/NameGenerator.h"
#include "engine/RenameExecutor.h"
#include "platform/Platform.h"
#include "ui/BusyPointer.h"
#include "ui/Forms.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui_frmMain.h"

void frmMain::Command4_Click() {
    // The preview describes the batch before it happens; Rename ends it.
    forms::unload(forms::Form::Preview);
    AppState& state = appState();
    state.filesSkipped = 0;
    BusyPointer busy;

    // The directory is the one pinned by the chooser's OK (state.chosenDirectory):
    // neither "Dir" nor the chooser is asked again, so another instance
    // writing "Dir", or a settings file that cannot be written, cannot send
    // the batch elsewhere.
    const GenerationInput input = generationInput();
    const Error generationError = generateNewNames(state, input);
    if (generationError != Error::None) {
        busy.restore();
        showStatus(batch::errorText(generationError));
        return;
    }
    if (input.listNames.size() > AppState::kMaxEntries) {
        state.filesSkipped = 1;  // files past the first 1001 are left out
    }

    const QStringList planned = batch::plannedNames(state);
    const batch::RenameOutcome outcome = batch::renameBatch(state, platform::current());
    if (outcome.error != Error::None) {
        busy.restore();
        showStatus(batch::errorText(outcome));
        return;
    }

    ui->txtMask->setText(QString());
    showStatus(state.filesSkipped == 1 ? tr("Some Files Were Skipped") : QString());
    busy.restore();
    ui->List1->clear();
    ui->txtFile->setText(QString());

    // While the review is open its batch keeps its way back: no step of
    // another batch can start until Accept or Undo.
    enableSteps(false, false, false);
    state.reviewLastIndex = state.lastIndex;
    forms::frmDir().enterReview(state.chosenDirectory ? state.chosenDirectory->path() : QString(),
                                batch::countsText(batch::countRenamed(state, planned)));
}
