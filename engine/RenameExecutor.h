#pragma once

// The two halves of a batch on disk: the rename phase, which carries out the
// plan of the batch (BatchPlan.h) and keeps, step by step, what it did, and
// the undo that gives every renamed file its old name back from that record.
// Both work inside the directory pinned by the chooser's OK
// (state.chosenDirectory), through the platform layer.
//
// The state's record of the rename phase follows what was done, for every
// entry 0..lastIndex:
//  - renamed: oldNames(i) is the full old path, newNames(i) the full path the
//    file now has;
//  - not meant to change (no match): both hold the same bare name; left
//    alone, skipped, stopped: both hold the full path of the unchanged file.

#include <QString>

#include "engine/BatchPlan.h"
#include "platform/Platform.h"

struct AppState;

namespace batch {

// Carries out `plan`, made by makePlan() on `state` just now, and returns
// it as the record of what was done. Before the first rename every file that
// is to change is identified and the batch journal written; a file gone
// meanwhile (53) or a journal that cannot be written stops the batch there,
// with nothing renamed. A name taken behind the plan's back is numbered; an
// access error (75) skips the file; any other error stops the batch and
// first gives every file this batch renamed its old name back, last first,
// carrying on past a file it cannot restore. A stop whose files all went
// back ends the batch's journal. state.filesSkipped tells whether any file
// was skipped.
Plan renameBatch(AppState& state, Plan plan, platform::BatchSystem& system);

// Gives every file `record` says the batch renamed its old name back, last
// first, so that names that moved along a chain go back exactly; a taken old
// name gets the numbered variant. A file goes back only while it has its new
// name and the fingerprint it had before the batch; one missing or changed
// is not restored (53). Carries on past a file it cannot restore; an undo
// tried again touches only what is still not back. An undo that leaves
// nothing behind ends the batch's journal.
void undoBatch(AppState& state, Plan& record, platform::BatchSystem& system);

// Whether none of the record's files is left under a name the batch gave it.
bool allBack(const Plan& record);

// What the example box shows after a stopped batch or an undo that could not
// put every file back: "Error # n", then " - Not Restored: " and the files
// left under their new names and, as "old-name -> numbered-name", those that
// went back under a numbered variant; for a journal that could not be
// written, where and why. Empty when nothing went wrong.
QString errorText(const Plan& record);
// What an undo that put every file back still tells: the files it had to
// number ("c.txt -> c-1.txt"); empty when there were none.
QString undoneText(const Plan& record);

}  // namespace batch
