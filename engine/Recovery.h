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

#include "engine/Journal.h"
#include "platform/Platform.h"

namespace batch {

// One renamed file on its way back.
struct WayBack {
    WayBack(const QString& oldName, const QString& newName, const QString& extension,
            const platform::Fingerprint& fingerprint)
        : oldName(oldName), newName(newName), extension(extension), fingerprint(fingerprint) {}

    QString oldName;    // bare
    QString newName;    // bare: the name the batch gave it
    QString extension;  // of the old name: where a numbered form puts its number
    platform::Fingerprint fingerprint;

    enum class Result { Restored, NotFound, Failed };
    Result result = Result::NotFound;
    QString restoredTo;  // Restored: the name it has now (its old one or a numbered form)
    QString foundAs;     // Failed: the name it was found under
    platform::Status status;
};

enum class Search {
    NewName,      // the file has exactly its new name (Undo, a stopped batch)
    AnyFormOfIt,  // any name the batch may have left it under (a journal)
};

// Gives the files of `moves` (in rename order) their old names back in `dir`,
// last first, and records each one's result.
void restore(platform::BatchSystem& system, const platform::PinnedDirectory& dir,
             QList<WayBack>& moves, Search search);

struct RecoveryOutcome {
    Error error = Error::None;  // the first failure: 76 when the directory is gone
    QStringList notFound;       // old names of files found nowhere in the directory
    QStringList notRestored;    // files found but left under their present names
    QStringList numbered;       // "old-name -> numbered-name": the old name was taken

    bool complete() const { return notFound.isEmpty() && notRestored.isEmpty(); }
};

// The start-up restore of a journal's batch, in a directory told how renames
// there work by the journal. All three lists in the journal's order.
RecoveryOutcome restoreFromJournal(const journal::Record& record, platform::System& system);

}  // namespace batch
