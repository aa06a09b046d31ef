#pragma once

// The restore at start-up of a batch that an earlier run left unfinished:
// every file of its journal is looked for in the batch's directory by its
// identity, wherever the batch left it (its new name, a numbered one, or
// already back), and renamed back to its old name, last first, with the
// undo's collision rule.

#include <QStringList>

#include "engine/Journal.h"

namespace batch {

struct RecoveryOutcome {
    Error error = Error::None;  // the first failure: 76 when the directory is gone
    QStringList notFound;       // old names of files found nowhere in the directory
    QStringList notRestored;    // files found but left under their present names
    QStringList numbered;       // "old-name -> numbered-name": the old name was taken

    bool complete() const { return notFound.isEmpty() && notRestored.isEmpty(); }
};

// All three lists in the journal's order.
RecoveryOutcome restoreFromJournal(const journal::Record& record, platform::Platform& p);

}  // namespace batch
