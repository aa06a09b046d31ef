#include "engine/RenameExecutor.h"

#include <QCoreApplication>
#include <QSet>

#include "engine/AppState.h"
#include "engine/BatchPlan.h"
#include "engine/CodePoints.h"
#include "engine/Collisions.h"
#include "engine/Journal.h"
#include "engine/Recovery.h"

namespace batch {
namespace {

void resetCollisionFields(AppState& state) {
    state.collisionCount = 1;
    state.collisionRetry = 0;
}

// Gives entries [0, end) their old names back, the last first (Recovery.h).
// A taken old name is numbered; a file that cannot be restored is listed and
// the rest still go back.
RenameOutcome restore(AppState& state, platform::BatchSystem& system,
                      const platform::PinnedDirectory& dir, int end) {
    QList<WayBack> moves;
    QList<int> entries;
    moves.reserve(end);
    entries.reserve(end);
    for (int i = 0; i < end; ++i) {
        if (state.oldNames[i] != state.newNames[i]) {
            moves.append(WayBack{platform::nameOf(state.oldNames[i]),
                                 platform::nameOf(state.newNames[i]), state.extensions[i],
                                 state.fingerprints[i]});
            entries.append(i);
        }
    }
    batch::restore(system, dir, moves, Search::NewName);

    RenameOutcome outcome;
    const QString prefix = platform::withoutRootSeparator(dir.path()) + platform::separator();
    for (qsizetype k = moves.size() - 1; k >= 0; --k) {
        if (moves[k].result != WayBack::Result::Restored && outcome.error == Error::None) {
            outcome.error = moves[k].status.error;
            outcome.failedIndex = entries[k];
        }
    }
    for (qsizetype k = 0; k < moves.size(); ++k) {
        const WayBack& move = moves[k];
        const int i = entries[k];
        if (move.result != WayBack::Result::Restored) {
            outcome.notRestored << move.newName;
            continue;
        }
        if (move.restoredTo != move.oldName) {
            const QString numbered = move.oldName + QStringLiteral(" -> ") + move.restoredTo;
            outcome.notRestored << numbered;
            outcome.numbered << numbered;
        }
        // Back under its old name (or a numbered variant of it): the entry
        // no longer counts as renamed.
        state.oldNames[i] = joined(prefix, move.restoredTo);
        state.newNames[i] = state.oldNames[i];
    }
    resetCollisionFields(state);
    return outcome;
}

// A system that takes every rename the directory's rules allow and touches
// nothing: over it, the collision rule numbers names exactly as the rename
// will, as long as nobody takes a name behind the batch's back.
class Foresight : public platform::BatchSystem {
  public:
    platform::Status identify(const platform::PinnedDirectory&, QStringView, platform::Fingerprint*,
                              platform::Contents) override {
        return platform::Status{};
    }
    platform::Listing list(const platform::PinnedDirectory&) override { return {}; }
    // The names were checked against the directory's rules already.
    platform::Status renameIn(const platform::PinnedDirectory&, QStringView, QStringView) override {
        return platform::Status{};
    }
    platform::Status writeFileDurably(const QString&, const QByteArray&) override {
        return platform::Status{};
    }
};

// The name each entry of `plan` is going to get, numbered where its name is
// taken: the collision rule over the listing (in `names`), with nothing
// renamed. A null name for an entry that stays (its name unchanged, or one
// the directory's rules refuse). `names` ends as the directory will be.
QStringList decideNewNames(const QList<PlannedMove>& plan, NameRegistry& names,
                           const platform::PinnedDirectory& dir) {
    Foresight foresight;
    QStringList decided;
    decided.reserve(plan.size());
    for (const PlannedMove& move : plan) {
        QString name;
        if (move.newName != move.oldName) {
            names.release(move.oldName);
            // Most names are free: they need no numbering.
            if (!names.isTaken(move.newName) && platform::isPlainFileName(move.newName) &&
                dir.rules().check(move.newName).refusal == platform::NameRules::Refusal::None) {
                name = move.newName;
                names.take(name);
            } else if (!renameAvoidingCollisions(foresight, dir, names, move.oldName, move.newName,
                                                 extensionOf(move.oldName), &name)
                            .ok()) {
                name = QString();
            }
        }
        decided.append(name);
    }
    return decided;
}

RenameOutcome stopped(Error error, int index) {
    RenameOutcome outcome;
    outcome.error = error;
    outcome.failedIndex = index;
    return outcome;
}

}  // namespace

RenameOutcome renameBatch(AppState& state, platform::BatchSystem& system, Journaling journaling) {
    const bool journaled = journaling == Journaling::On;
    resetCollisionFields(state);
    const QList<PlannedMove> plan = planMoves(state);
    // Held for the whole batch, whatever happens to the state meanwhile.
    const platform::Directory pinned = state.chosenDirectory;
    if (pinned) {
        state.batchDirectory = platform::withoutRootSeparator(pinned->path());
    }
    if (plan.isEmpty()) {
        return RenameOutcome{};  // nothing to rename, wherever that is
    }
    if (!pinned) {
        return stopped(Error::PathNotFound, -1);
    }
    const platform::PinnedDirectory& dir = *pinned;

    // Who every file to change is, before any of them changes: one listing
    // and one look at each file. A listed file that is gone stops the batch
    // here, with nothing renamed yet.
    const platform::Listing listing = system.list(dir);
    if (!listing.status.ok()) {
        return stopped(listing.status.error, -1);
    }
    NameRegistry names;
    names.load(listing, dir.rules());
    // What the journal must know before the first rename: the way renames
    // take here, and whether they keep a file's time (else its contents
    // tell it from others).
    if (journaled) {
        system.learnRenames(dir);
    }
    const platform::Contents contents = dir.contentsNeeded();
    for (const PlannedMove& move : plan) {
        if (move.newName == move.oldName) {
            continue;
        }
        // identify() takes only a file: a directory of the name is no file of the batch.
        const platform::Status found =
            names.isTaken(move.oldName)
                ? system.identify(dir, move.oldName, &state.fingerprints[move.index], contents)
                : platform::Status{Error::FileNotFound, 0};
        if (!found.ok()) {
            return stopped(found.error, move.index);
        }
    }

    // Every new name is decided before the first rename, numbered ones
    // included, so the journal holds the very names the files will have.
    const QStringList decided = decideNewNames(plan, names, dir);
    if (journaled) {
        journal::Record record{dir.path(), {}, dir.renameTraits()};
        record.entries.reserve(plan.size());
        for (qsizetype k = 0; k < plan.size(); ++k) {
            if (!decided[k].isNull()) {
                record.entries.append(
                    journal::Entry{plan[k].oldName, decided[k], state.fingerprints[plan[k].index]});
            }
        }
        const platform::Status written =
            record.entries.isEmpty() ? platform::Status{} : journal::begin(record, system);
        if (!written.ok()) {
            RenameOutcome outcome = stopped(written.error, -1);
            outcome.journalFailure = written;
            return outcome;
        }
    }

    const QString prefix = state.batchDirectory + platform::separator();
    for (qsizetype k = 0; k < plan.size(); ++k) {
        const PlannedMove& move = plan[k];
        const int i = move.index;
        state.oldNames[i] = joined(prefix, move.oldName);
        if (move.newName == move.oldName) {
            // Already named so: left alone rather than numbered against itself.
            state.newNames[i] = state.oldNames[i];
            continue;
        }
        // A name the directory's rules refuse, or one that would leave the
        // directory, was decided against: the file is skipped.
        QString renamedTo = decided[k];
        platform::Status result = renamedTo.isNull()
                                      ? platform::Status{Error::PathFileAccess, EINVAL}
                                      : system.renameIn(dir, move.oldName, renamedTo);
        if (result.error == Error::FileExists) {
            // Taken behind the batch's back: numbered again, past it.
            result = renameAvoidingCollisions(system, dir, names, move.oldName, move.newName,
                                              state.extensions[i], &renamedTo);
        }
        resetCollisionFields(state);
        if (result.ok()) {
            state.newNames[i] = joined(prefix, renamedTo);
        } else if (result.error == Error::PathFileAccess) {
            state.newNames[i] = state.oldNames[i];
            state.filesSkipped = 1;
        } else {
            // The batch stops here. This entry was not renamed; every earlier
            // one that was goes back before the error is shown.
            state.newNames[i] = state.oldNames[i];
            RenameOutcome outcome = restore(state, system, dir, i);
            if (journaled && outcome.error == Error::None) {
                journal::end();
            }
            outcome.error = result.error;
            outcome.failedIndex = i;
            return outcome;
        }
    }
    return RenameOutcome{};
}

UndoOutcome undoBatch(AppState& state, platform::BatchSystem& system) {
    return undoBatch(state, system, state.lastIndex);
}

UndoOutcome undoBatch(AppState& state, platform::BatchSystem& system, int lastIndex) {
    const platform::Directory pinned = state.chosenDirectory;
    const int end = qMin(lastIndex, AppState::kMaxEntries - 1) + 1;
    if (!pinned) {
        // Nothing can be reached without the batch's directory.
        for (int i = 0; i < end; ++i) {
            if (state.oldNames[i] != state.newNames[i]) {
                return stopped(Error::PathNotFound, i);
            }
        }
        journal::end();
        return RenameOutcome{};
    }
    const UndoOutcome outcome = restore(state, system, *pinned, end);
    if (outcome.error == Error::None) {
        journal::end();
    }
    return outcome;
}

QString errorText(Error error) {
    return QCoreApplication::translate("batch", "Error # %1").arg(errorNumber(error));
}

QString undoneText(const UndoOutcome& outcome) {
    return outcome.numbered.isEmpty()
               ? QString()
               : QCoreApplication::translate("batch",
                                             "Undone, but numbered (the old name was taken): %1")
                     .arg(outcome.numbered.join(QStringLiteral(", ")));
}

QString errorText(const RenameOutcome& outcome) {
    if (!outcome.journalFailure.ok()) {
        return QCoreApplication::translate(
                   "batch", "Nothing renamed: the batch journal cannot be written in %1 (%2)")
            .arg(journal::directory(), outcome.journalFailure.reason());
    }
    QString text = errorText(outcome.error);
    if (!outcome.notRestored.isEmpty()) {
        text += QCoreApplication::translate("batch", " - Not Restored: %1")
                    .arg(outcome.notRestored.join(QStringLiteral(", ")));
    }
    return text;
}

}  // namespace batch
