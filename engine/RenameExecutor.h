#pragma once

// The two halves of a batch on disk: the rename phase after the new names
// have been built, and the undo that gives every renamed file its old name
// back. Both work on the rename record of the application state through the
// platform layer; the windows only gather inputs and show the outcome.
//
// After the rename phase, for every entry 0..lastIndex:
//  - renamed: oldNames(i) is the full old path, newNames(i) the full path the
//    file now has; the two differ;
//  - kept (never meant to change, or its new name equals its old one): both
//    hold the same text;
//  - skipped (access error): both hold the full path of the unchanged file.

#include <QString>
#include <QStringList>

#include "platform/Platform.h"

struct AppState;

namespace batch {

struct RenameOutcome {
    Error error = Error::None;  // or what stopped the batch
    int failedIndex = -1;       // the entry it stopped at
    QStringList notRestored;    // after a stop: files left under their new names
};

// Renames entries 0..lastIndex of `state` whose old and new names differ, in
// list order, inside state.batchDirectory (already stripped of a root's
// separator). A taken target is numbered; an access error (75) skips the file
// and sets state.filesSkipped. Any other error stops the batch and first
// gives every file this batch renamed its old name back (with the undo's
// collision rule); what could not be restored is listed in the outcome.
RenameOutcome renameBatch(AppState& state, platform::Platform& p);

struct UndoOutcome {
    Error error = Error::None;  // or what stopped the undo
    int failedIndex = -1;       // the entry it stopped at; later ones were not touched
};

// Renames every changed entry 0..lastIndex back to its old name, in list
// order; a taken old name gets the numbered variant. A restored entry holds
// the path the file now has in both names, so it counts as unchanged from
// then on. Stops at the first other failure; later entries are not touched.
UndoOutcome undoBatch(AppState& state, platform::Platform& p);
// The same for entries 0..lastIndex, for a review that keeps its own bound.
UndoOutcome undoBatch(AppState& state, platform::Platform& p, int lastIndex);

// The text shown in the example box for a batch stopped by `outcome`.
QString errorText(const RenameOutcome& outcome);
QString errorText(Error error);

}  // namespace batch
