// The Rename button: builds the new names, renames the batch on disk and
// opens the review.
#include "engine/AppState.h"
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

    // Reading the chooser's directory reloads a closed chooser (hidden), whose
    // load restores the directory the files were chosen in.
    state.batchDirectory = forms::frmDir().Dir1Path();

    const GenerationInput input = generationInput();
    const Error generationError = generateNewNames(state, input);
    if (generationError != Error::None) {
        busy.restore();
        ui->txtExample->setText(batch::errorText(generationError));
        return;
    }
    if (input.listNames.size() > AppState::kMaxEntries) {
        state.filesSkipped = 1;  // files past the first 1001 are left out
    }
    state.collisionCount = 1;
    state.collisionRetry = 0;
    state.batchDirectory = platform::withoutRootSeparator(state.batchDirectory);

    const batch::RenameOutcome outcome = batch::renameBatch(state, platform::current());
    if (outcome.error != Error::None) {
        busy.restore();
        ui->txtExample->setText(batch::errorText(outcome));
        return;
    }

    ui->txtMask->setText(QString());
    ui->txtExample->setText(state.filesSkipped == 1 ? QStringLiteral("Some Files Were Skipped")
                                                    : QString());
    busy.restore();
    ui->List1->clear();
    ui->txtFile->setText(QString());

    state.reviewLastIndex = state.lastIndex;
    forms::frmDir().enterReview();
}
