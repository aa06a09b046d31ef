#include "engine/RenameExecutor.h"

#include "engine/AppState.h"
#include "engine/Collisions.h"

namespace batch {
namespace {

// Undo of entries [0, end): ascending, with the collision rule. With
// `keepGoing` a failed entry is recorded and the rest still go back (the
// restore after a stopped batch); otherwise the first failure ends it.
UndoOutcome restore(AppState& state, platform::Platform& p, int end, bool keepGoing,
                    QStringList* failedNames) {
    UndoOutcome outcome;
    state.collisionCount = 1;
    state.collisionRetry = 0;
    NameRegistry names;
    bool namesChosen = false;
    for (int i = 0; i < end; ++i) {
        if (state.oldNames[i] == state.newNames[i]) {
            continue;
        }
        if (!namesChosen) {
            // Every renamed entry of a batch lives in the batch's directory.
            names = NameRegistry(platform::directoryOf(state.newNames[i]));
            namesChosen = true;
        }
        QString restoredTo;
        const platform::RenameResult result =
            renameAvoidingCollisions(p, names, state, state.newNames[i], state.oldNames[i],
                                     state.extensions[i], &restoredTo);
        state.collisionRetry = 0;
        state.collisionCount = 1;
        if (result.ok()) {
            // Back under its old name (or a numbered variant of it): the entry
            // no longer counts as renamed, so an undo tried again after a
            // stop goes on where this one ended.
            state.oldNames[i] = restoredTo;
            state.newNames[i] = restoredTo;
            continue;
        }
        if (outcome.error == Error::None) {
            outcome.error = result.error;
            outcome.failedIndex = i;
        }
        if (failedNames != nullptr) {
            *failedNames << platform::nameOf(state.newNames[i]);
        }
        if (!keepGoing) {
            break;
        }
    }
    return outcome;
}

}  // namespace

RenameOutcome renameBatch(AppState& state, platform::Platform& p) {
    RenameOutcome outcome;
    const QString sep = platform::separator();
    NameRegistry names(state.batchDirectory);
    state.collisionCount = 1;
    state.collisionRetry = 0;

    for (int i = 0; i <= state.lastIndex; ++i) {
        if (state.oldNames[i] == state.newNames[i]) {
            continue;  // the keep mark
        }
        state.oldNames[i] = state.batchDirectory + sep + state.oldNames[i];
        state.newNames[i] = state.batchDirectory + sep + state.newNames[i] + state.extensions[i];
        if (state.oldNames[i] == state.newNames[i]) {
            // Already named so: left alone rather than numbered against itself.
            state.collisionRetry = 0;
            state.collisionCount = 1;
            continue;
        }

        QString renamedTo;
        const platform::RenameResult result = renameAvoidingCollisions(
            p, names, state, state.oldNames[i], state.newNames[i], state.extensions[i], &renamedTo);
        if (result.ok()) {
            state.newNames[i] = renamedTo;
        } else if (result.error == Error::PathFileAccess) {
            state.newNames[i] = state.oldNames[i];
            state.filesSkipped = 1;
        } else {
            // The batch stops here. This entry was not renamed; every earlier
            // one that was goes back before the error is shown.
            outcome.error = result.error;
            outcome.failedIndex = i;
            state.newNames[i] = state.oldNames[i];
            restore(state, p, i, true, &outcome.notRestored);
            return outcome;
        }
        state.collisionRetry = 0;
        state.collisionCount = 1;
    }
    return outcome;
}

UndoOutcome undoBatch(AppState& state, platform::Platform& p) {
    return undoBatch(state, p, state.lastIndex);
}

UndoOutcome undoBatch(AppState& state, platform::Platform& p, int lastIndex) {
    return restore(state, p, qMin(lastIndex, AppState::kMaxEntries - 1) + 1, false, nullptr);
}

QString errorText(Error error) {
    return QStringLiteral("Error # ") + QString::number(errorNumber(error));
}

QString errorText(const RenameOutcome& outcome) {
    QString text = errorText(outcome.error);
    if (!outcome.notRestored.isEmpty()) {
        text +=
            QStringLiteral(" - Not Restored: ") + outcome.notRestored.join(QStringLiteral(", "));
    }
    return text;
}

}  // namespace batch
