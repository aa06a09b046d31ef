#pragma once

// The way back, one for all three: Undo in the review, the restore of a
// batch that stopped, and the restore at start-up of a batch an earlier run
// left unfinished. It proves before it acts: a file is looked for only under
// the names the batch may have put it under (Undo, a stopped batch: its new
// name; a journal: its old and new names, the numbered names noted before
// they were tried, the name a change of case parks it under), and taken for
// the batch's only while it carries its fingerprint there. Equal size, time
// and contents find a file but prove nothing where another fits as well:
// files are renamed one after the other, so the names others are sure of
// settle the rest, and what still fits two ways stays where it is, named in
// the report. Files go back last first, with the undo's collision rule, so
// names that moved along a chain get back exactly their old names; a file's
// own old name is always allowed back.
//
// A process ended in the middle of one rename leaves what that rename's way
// had made so far. The restore removes only what the batch made: a
// placeholder of ours (marked, or empty under the target of the one rename
// in flight, as the order of the batch shows), a second name the file system
// shows to be one file with the name kept.

#include <QList>
#include <QStringList>

#include "engine/BatchPlan.h"
#include "engine/Journal.h"
#include "platform/Platform.h"

namespace batch {

// Gives every file `record` says the batch renamed (Step::renamed()) its
// old name back in `dir` from its new name, last first. Each becomes
// Outcome::Back, its newName its old name or the numbered form it got (noted
// in this run's journal before it is tried); or it stays renamed,
// Why::NotFound, or Why::NotRestored with the name it was found under.
void restore(platform::BatchSystem& system, const platform::PinnedDirectory& dir, Plan& record);
// Every file `record` says the batch renamed stays renamed, Why::NotFound,
// with `status` saying why: its directory cannot be reached.
void foundNowhere(Plan& record, const platform::Status& status);

// What a restore left, as its report lists it, in the record's order: the
// old names of the files found nowhere, the names of those found but left as
// they were, "old-name: name, name" for those that fit several names alike
// (all left as they are), and "old-name -> numbered-name" for those that got
// a numbered name, their old one being taken.
struct WayBackReport {
    QStringList notFound;
    QStringList notRestored;
    QStringList alike;
    QStringList numbered;

    explicit WayBackReport(const Plan& record);
    bool complete() const { return notFound.isEmpty() && notRestored.isEmpty() && alike.isEmpty(); }
};

// The start-up restore of a journal's batch: its files, renamed steps of a
// record, given back in a directory told how renames there work by the
// journal. A numbered name is noted in the journal at `journalPath` (where
// given) before a file is renamed to it. A directory that cannot be opened
// leaves every file not found, the record's stop saying why.
Plan restoreFromJournal(const journal::Record& journal, platform::System& system,
                        const QString& journalPath = QString());

}  // namespace batch
