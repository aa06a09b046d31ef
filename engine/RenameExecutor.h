#pragma once

// The two halves of a batch on disk: the rename phase after the new names
// have been built, and the undo that gives every renamed file its old name
// back. Both work on the rename record of the application state, inside the
// directory pinned by the chooser's OK (state.chosenDirectory), through the
// platform layer; the windows only gather inputs and show the outcome.
//
// After the rename phase, for every entry 0..lastIndex:
//  - renamed: oldNames(i) is the full old path, newNames(i) the full path the
//    file now has; the two differ;
//  - kept (never meant to change): both hold the same bare name; left alone
//    (its new name is its old one): both hold its full path;
//  - skipped (access error): both hold the full path of the unchanged file.

#include <QString>
#include <QStringList>

#include "platform/Platform.h"

struct AppState;

namespace batch {

struct RenameOutcome {
    Error error = Error::None;  // or what stopped the batch
    int failedIndex = -1;       // the entry it stopped at; -1 before any entry
    // Set when the batch journal could not be written: the system's reason.
    // Nothing was renamed.
    platform::Status journalFailure;
    // After a stop or a failed undo, in list order: the files left under
    // their new names, and as "old-name -> numbered-name" those that went
    // back under a numbered variant because their old name had been taken.
    QStringList notRestored;
    // Of those, the files that went back under a numbered variant; after an
    // undo that put every file back, what the user is still told.
    QStringList numbered;
};
using UndoOutcome = RenameOutcome;

// Renames entries 0..lastIndex of `state` whose old and new names differ, in
// list order, inside state.chosenDirectory; state.batchDirectory becomes its
// path (a root without its separator). Before the first rename every file
// that is to change is identified and the batch journal written; a directory
// that is gone (76), a missing file (53) or a journal that cannot be written
// stops the batch there, with nothing renamed. A taken target is numbered; an
// access error (75) skips the file and sets state.filesSkipped. Any other
// error stops the batch and first gives every file this batch renamed its old
// name back, last first, carrying on past a file it cannot restore. A stop
// whose files all went back ends the batch's journal.
//
// A dry run (the preview) passes Journaling::Off: no journal is written or
// removed, so with a platform that changes nothing the disk stays as it is.
enum class Journaling { On, Off };
RenameOutcome renameBatch(AppState& state, platform::BatchSystem& system,
                          Journaling journaling = Journaling::On);

// Renames every changed entry 0..lastIndex back to its old name, last first,
// so that names that moved along a chain go back exactly; a taken old name
// gets the numbered variant. A file goes back only while it has its new name
// and the fingerprint it had before the batch (state.fingerprints); a file
// missing or changed is not restored (53). Carries on past a file it cannot
// restore. A restored entry holds the path the file now has in both names,
// so an undo tried again touches only what is still not back. An undo that
// leaves nothing behind ends the batch's journal.
UndoOutcome undoBatch(AppState& state, platform::BatchSystem& system);
// The same for entries 0..lastIndex, for a review that keeps its own bound.
UndoOutcome undoBatch(AppState& state, platform::BatchSystem& system, int lastIndex);

// The text shown in the example box for a batch stopped by `outcome`:
// "Error # n", then " - Not Restored: " and the list when there is one; for
// a journal that could not be written, where and why.
QString errorText(const RenameOutcome& outcome);
QString errorText(Error error);
// What an undo that put every file back still tells: the files it had to
// number ("c.txt -> c-1.txt"); empty when there were none.
QString undoneText(const UndoOutcome& outcome);

}  // namespace batch
