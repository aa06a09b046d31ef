#include "engine/RenameExecutor.h"

#include <QCoreApplication>
#include <QHash>
#include <algorithm>

#include "engine/AppState.h"
#include "engine/BatchPlan.h"
#include "engine/Collisions.h"
#include "engine/Journal.h"

namespace batch {
namespace {

void resetCollisionFields(AppState& state) {
    state.collisionCount = 1;
    state.collisionRetry = 0;
}

// Gives entries [0, end) their old names back, the last first: undoing the
// renames in the reverse of their order meets every name exactly as the
// rename left it, so a chain (0001 -> 0000, 0002 -> 0001...) goes back
// exactly. A taken old name is numbered; a file that cannot be restored is
// listed and the rest still go back.
RenameOutcome restore(AppState& state, platform::Platform& p, const platform::PinnedDirectory& dir,
                      int end) {
    RenameOutcome outcome;
    NameRegistry names;
    QStringList listed;  // last entry first
    for (int i = end - 1; i >= 0; --i) {
        if (state.oldNames[i] == state.newNames[i]) {
            continue;
        }
        QString restoredTo;
        const platform::RenameResult result = renameAvoidingCollisions(
            p, dir, names, state.newNames[i], state.oldNames[i], state.extensions[i], &restoredTo);
        if (result.ok()) {
            if (restoredTo != state.oldNames[i]) {
                listed << platform::nameOf(state.oldNames[i]) + QStringLiteral(" -> ") +
                              platform::nameOf(restoredTo);
            }
            // Back under its old name (or a numbered variant of it): the entry
            // no longer counts as renamed.
            state.oldNames[i] = restoredTo;
            state.newNames[i] = restoredTo;
            continue;
        }
        if (outcome.error == Error::None) {
            outcome.error = result.error;
            outcome.failedIndex = i;
        }
        listed << platform::nameOf(state.newNames[i]);
    }
    resetCollisionFields(state);
    std::reverse(listed.begin(), listed.end());
    outcome.notRestored = listed;
    return outcome;
}

RenameOutcome stopped(Error error, int index) {
    RenameOutcome outcome;
    outcome.error = error;
    outcome.failedIndex = index;
    return outcome;
}

}  // namespace

RenameOutcome renameBatch(AppState& state, platform::Platform& p, Journaling journaling) {
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
    const platform::Identity directoryIdentity = p.identify(dir);
    if (!directoryIdentity.ok()) {
        return stopped(directoryIdentity.error, -1);
    }

    // Who every file to change is, before any of them changes: one pass over
    // the directory. A listed file that is gone stops the batch here, with
    // nothing renamed yet.
    const platform::IdListing listing = p.listIds(dir);
    if (!listing.ok) {
        return stopped(Error::PathFileAccess, -1);
    }
    QHash<QString, platform::FileId> ids;
    ids.reserve(listing.names.size());
    for (qsizetype k = 0; k < listing.names.size(); ++k) {
        ids.insert(listing.names[k], listing.ids[k]);
    }
    journal::Record record{dir.path(), directoryIdentity.id, {}};
    record.entries.reserve(plan.size());
    for (const PlannedMove& move : plan) {
        if (move.newName == move.oldName) {
            continue;
        }
        const auto found = ids.constFind(move.oldName);
        if (found == ids.constEnd()) {
            return stopped(Error::FileNotFound, move.index);
        }
        if (journaled) {
            record.entries.append(journal::Entry{*found, move.oldName});
        }
    }
    if (journaled && !record.entries.isEmpty()) {
        const Error written = journal::begin(record, p);
        if (written != Error::None) {
            return stopped(written, -1);
        }
    }

    const QString prefix = state.batchDirectory + platform::separator();
    NameRegistry names;
    for (const PlannedMove& move : plan) {
        const int i = move.index;
        state.oldNames[i] = joined(prefix, move.oldName);
        if (move.newName == move.oldName) {
            // Already named so: left alone rather than numbered against itself.
            state.newNames[i] = state.oldNames[i];
            continue;
        }
        state.newNames[i] = joined(prefix, move.newName);

        QString renamedTo;
        const platform::RenameResult result = renameAvoidingCollisions(
            p, dir, names, state.oldNames[i], state.newNames[i], state.extensions[i], &renamedTo);
        resetCollisionFields(state);
        if (result.ok()) {
            state.newNames[i] = renamedTo;
        } else if (result.error == Error::PathFileAccess) {
            state.newNames[i] = state.oldNames[i];
            state.filesSkipped = 1;
        } else {
            // The batch stops here. This entry was not renamed; every earlier
            // one that was goes back before the error is shown.
            state.newNames[i] = state.oldNames[i];
            RenameOutcome outcome = restore(state, p, dir, i);
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

UndoOutcome undoBatch(AppState& state, platform::Platform& p) {
    return undoBatch(state, p, state.lastIndex);
}

UndoOutcome undoBatch(AppState& state, platform::Platform& p, int lastIndex) {
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
    const UndoOutcome outcome = restore(state, p, *pinned, end);
    if (outcome.error == Error::None) {
        journal::end();
    }
    return outcome;
}

QString errorText(Error error) {
    return QCoreApplication::translate("batch", "Error # %1").arg(errorNumber(error));
}

QString errorText(const RenameOutcome& outcome) {
    QString text = errorText(outcome.error);
    if (!outcome.notRestored.isEmpty()) {
        text += QCoreApplication::translate("batch", " - Not Restored: %1")
                    .arg(outcome.notRestored.join(QStringLiteral(", ")));
    }
    return text;
}

}  // namespace batch
