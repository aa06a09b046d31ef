#pragma once

// The way back, one for all three: Undo in the review, the restore of a
// batch that stopped, and the restore at start-up of a batch an earlier run
// left unfinished. A file goes back only while it still carries its
// fingerprint under a name the batch may have left it under: the new name
// (Undo, a stopped batch), and for a journal also its old name, a numbered
// form of either, or the name a change of letter case passes through. A file
// that is not part of the batch is never renamed. Files go back last first,
// with the undo's collision rule, so names that moved along a chain get back
// exactly their old names; a file's own old name is always allowed back.
//
// A process ended in the middle of one rename leaves what that rename's way
// had made so far, and the restore after it takes that back too: a second
// name of the file (a link made, the old name not yet dropped), a placeholder
// of ours under a name, a change of case parked under a name of ours. It
// removes only what the batch made: a placeholder the platform knows for its
// own, a name that is one file with the name kept.

#include <QList>
#include <QStringList>

#include "engine/BatchPlan.h"
#include "engine/Journal.h"
#include "platform/Platform.h"

namespace batch {

enum class Search {
    NewName,      // the file has exactly its new name (Undo, a stopped batch)
    AnyFormOfIt,  // any name the batch may have left it under (a journal)
};

// Gives every file `record` says the batch renamed (Step::renamed()) its
// old name back in `dir`, last first. Each becomes Outcome::Back, its
// newName its old name or the numbered form it got; or it stays renamed,
// Why::NotFound, or Why::NotRestored with the name it was found under.
void restore(platform::BatchSystem& system, const platform::PinnedDirectory& dir, Plan& record,
             Search search);
// Every file `record` says the batch renamed stays renamed, Why::NotFound,
// with `status` saying why: its directory cannot be reached.
void foundNowhere(Plan& record, const platform::Status& status);

// What a restore left, as its report lists it, in the record's order: the
// old names of the files found nowhere, the names of those found but left as
// they were, and "old-name -> numbered-name" for those that got a numbered
// name, their old one being taken.
struct WayBackReport {
    QStringList notFound;
    QStringList notRestored;
    QStringList numbered;

    explicit WayBackReport(const Plan& record);
    bool complete() const { return notFound.isEmpty() && notRestored.isEmpty(); }
};

// The start-up restore of a journal's batch: its files, renamed steps of a
// record, given back in a directory told how renames there work by the
// journal. A directory that cannot be opened leaves every file not found,
// the record's stop saying why.
Plan restoreFromJournal(const journal::Record& journal, platform::System& system);

}  // namespace batch
