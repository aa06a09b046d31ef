// The Rename button: builds the new names, renames the batch on disk and
// opens the review.
#include "app/AppState.h"
#include "app/BusyPointer.h"
#include "app/Forms.h"
#include "app/frmMain.h"
#include "chooser/frmDir.h"
#include "platform/Platform.h"
#include "rename/NameGenerator.h"
#include "rename/RenameExecutor.h"

void frmMain::Command4_Click() {
    AppState& state = appState();
    state.filesSkipped = 0;
    BusyPointer busy(state);

    // Reading the chooser's directory reloads a closed chooser (hidden), whose
    // load restores the directory the files were chosen in.
    state.batchDirectory = forms::frmDir().Dir1Path();

    GenerationInput input;
    input.listNames.reserve(ui.List1->count());
    for (int i = 0; i < ui.List1->count(); ++i) {
        input.listNames << ui.List1->item(i)->text();
    }
    input.prefix = ui.lblPrefix->text();
    input.suffix = ui.lblSufix->text();
    input.startNumber = ui.lblStartNumber->text();
    input.exampleText = ui.txtFile->text();
    const int generationError = generateNewNames(state, input);
    if (generationError != 0) {
        busy.restore();
        ui.txtExample->setText(batch::errorText(generationError));
        return;
    }
    if (input.listNames.size() > AppState::kMaxEntries) {
        state.filesSkipped = 1;  // files past the first 1001 are left out
    }
    state.collisionCount = 1;
    state.collisionRetry = 0;
    state.batchDirectory = platform::withoutRootSeparator(state.batchDirectory);

    const batch::RenameOutcome outcome = batch::renameBatch(state, platform::current());
    if (outcome.error != 0) {
        busy.restore();
        ui.txtExample->setText(batch::errorText(outcome));
        return;
    }

    ui.txtMask->setText(QString());
    ui.txtExample->setText(state.filesSkipped == 1 ? QStringLiteral("Some Files Were Skipped")
                                                   : QString());
    busy.restore();
    ui.List1->clear();
    ui.txtFile->setText(QString());

    state.reviewLastIndex = state.lastIndex;
    frmDir& review = forms::frmDir();
    review.setWindowTitle(QStringLiteral("Accept the new names, or Undo the changes"));
    review.show();
    review.ui.Command1->setText(QStringLiteral("Accept"));
    review.ui.Command2->setText(QStringLiteral("Undo"));
    review.File1Refresh();
}
