#include "engine/RenameExecutor.h"

#include <QCoreApplication>
#include <algorithm>
#include <optional>

#include "engine/AppState.h"
#include "engine/CodePoints.h"
#include "engine/Collisions.h"
#include "engine/Journal.h"
#include "engine/Recovery.h"

namespace batch {
namespace {

// Writes what every step did into the state's record of the rename phase.
void noteAll(AppState& state, const Plan& plan, const platform::PinnedDirectory& dir) {
    const QString prefix = platform::withoutRootSeparator(dir.path()) + platform::separator();
    for (int i = 0; i < plan.steps.size() && i <= state.lastIndex; ++i) {
        const Step& step = plan.steps[i];
        if (state.newNames[i] == state.oldNames[i]) {
            continue;  // never meant to change: generation's keep mark stays
        }
        state.oldNames[i] = joined(prefix, step.oldName);
        state.newNames[i] = step.renamed() || step.outcome == Outcome::Back
                                ? joined(prefix, step.newName)
                                : state.oldNames[i];
        if (step.outcome == Outcome::Back) {
            state.oldNames[i] = state.newNames[i];  // back: no longer a renamed entry
        }
    }
}

// Who every file to change is, before any of them changes; a file gone
// since the plan was made stops the batch, with nothing renamed.
bool identifyAll(Plan& plan, platform::BatchSystem& system, const platform::PinnedDirectory& dir) {
    const platform::Contents contents = dir.contentsNeeded();
    for (int i = 0; i < plan.steps.size(); ++i) {
        Step& step = plan.steps[i];
        const platform::Status found =
            step.renamed() ? system.identify(dir, step.oldName, &step.fingerprint, contents)
                           : platform::Status{};
        if (!found.ok()) {
            stopAt(plan, i, found);
            return false;
        }
    }
    return true;
}

platform::Status writeJournal(const Plan& plan, platform::BatchSystem& system,
                              const platform::PinnedDirectory& dir) {
    journal::Record record{dir.path(), {}, dir.renameTraits()};
    for (const Step& step : plan.steps) {
        if (step.renamed()) {
            record.entries.append(journal::Entry{step.oldName, step.newName, step.fingerprint});
        }
    }
    return journal::begin(record, system);
}

// The names the directory holds before step `upTo`: the listing the plan was
// made from, with the renames of the steps before it.
NameRegistry namesBefore(const Plan& plan, int upTo) {
    NameRegistry names;
    names.load(plan.listing, plan.rules);
    for (int i = 0; i < upTo; ++i) {
        if (plan.steps[i].renamed()) {
            names.release(plan.steps[i].oldName);
            names.take(plan.steps[i].newName);
        }
    }
    return names;
}

// Renames step i to the name the plan gave it; a name taken behind the
// plan's back is numbered past it, and the step says so.
platform::Status renameStep(Plan& plan, int i, platform::BatchSystem& system,
                            const platform::PinnedDirectory& dir,
                            std::optional<NameRegistry>& names) {
    Step& step = plan.steps[i];
    platform::Status result = system.renameIn(dir, step.oldName, step.newName, &step.fingerprint);
    if (result.error != Error::FileExists) {
        if (result.ok() && names) {
            names->release(step.oldName);
            names->take(step.newName);
        }
        return result;
    }
    if (!names) {
        names = namesBefore(plan, i);
    }
    names->take(step.newName);
    const QString target = step.outcome == Outcome::Numbered ? step.planned : step.newName;
    // A numbered name goes into the journal before the file may take it.
    QString renamedTo;
    result = renameAvoidingCollisions(
        system, dir, *names, step.oldName, target, extensionOf(step.oldName), &renamedTo,
        Rules::Apply,
        [&](const QString& name) {
            return name == step.newName ? platform::Status{}
                                        : journal::noteNumbered(step.oldName, name, false, system);
        },
        &step.fingerprint);
    if (result.ok()) {
        if (step.outcome == Outcome::Renamed) {
            step.outcome = Outcome::Numbered;
            step.why = Why::TakenInDirectory;
            step.planned = target;
        }
        step.newName = renamedTo;
    }
    return result;
}

// The renames, one after the other in list order. Any error but an access
// error stops the batch, and what it renamed goes back.
void renameAll(Plan& plan, platform::BatchSystem& system, const platform::PinnedDirectory& dir) {
    std::optional<NameRegistry> names;
    for (int i = 0; i < plan.steps.size(); ++i) {
        Step& step = plan.steps[i];
        if (!step.renamed()) {
            continue;
        }
        const platform::Status result = renameStep(plan, i, system, dir, names);
        if (result.ok()) {
            continue;
        }
        if (result.error == Error::PathFileAccess) {
            step.outcome = Outcome::Skipped;
            step.why = Why::SystemRefused;
            step.planned = step.newName;
            step.newName = step.oldName;
            step.status = result;
            continue;
        }
        // Step i was not renamed; the later ones never will be.
        for (int j = i; j < plan.steps.size(); ++j) {
            if (plan.steps[j].renamed()) {
                plan.steps[j].outcome = Outcome::NotRenamed;
                plan.steps[j].newName = plan.steps[j].oldName;
            }
        }
        step.outcome = Outcome::Stops;
        step.status = result;
        plan.stop = result;
        plan.stopAt = i;
        restore(system, dir, plan);
        if (allBack(plan)) {
            journal::end();
        }
        return;
    }
}

}  // namespace

Plan renameBatch(AppState& state, Plan plan, platform::BatchSystem& system) {
    // Held for the whole batch, whatever happens to the state meanwhile.
    const platform::Directory pinned = state.chosenDirectory;
    if (!plan.stopped() && pinned && !allBack(plan)) {  // a file is to be renamed
        // What the journal must know before the first rename: the way
        // renames take here, and whether they keep a file's time (else its
        // contents tell it from others).
        system.learnRenames(*pinned);
        if (identifyAll(plan, system, *pinned)) {
            const platform::Status written = writeJournal(plan, system, *pinned);
            if (written.ok()) {
                renameAll(plan, system, *pinned);
                noteAll(state, plan, *pinned);
            } else {
                stopAt(plan, -1, written);
                plan.journalFailed = true;
            }
        }
    } else if (pinned && !plan.stopped()) {
        noteAll(state, plan, *pinned);
    }
    state.filesSkipped = countsOf(plan).skipped > 0 ? 1 : 0;
    return plan;
}

void undoBatch(AppState& state, Plan& record, platform::BatchSystem& system) {
    const platform::Directory pinned = state.chosenDirectory;
    if (!pinned) {
        // Nothing can be reached without the batch's directory.
        foundNowhere(record, platform::Status{Error::PathNotFound, 0});
    } else {
        restore(system, *pinned, record);
        noteAll(state, record, *pinned);
    }
    if (allBack(record)) {
        journal::end();
    }
}

bool allBack(const Plan& record) {
    return std::none_of(record.steps.cbegin(), record.steps.cend(),
                        [](const Step& step) { return step.renamed(); });
}

namespace {

// In list order, "old-name (now new-name)" for the files left under new
// names and "old-name -> numbered-name" for every file that went back under
// a numbered name.
QStringList notRestoredList(const Plan& record) {
    QStringList list;
    for (const Step& step : record.steps) {
        if (step.renamed() && (step.why == Why::NotFound || step.why == Why::NotRestored)) {
            list << QCoreApplication::translate("batch", "%1 (now %2)")
                        .arg(step.oldName, step.newName);
        } else if (step.outcome == Outcome::Back && step.newName != step.oldName) {
            list << step.oldName + QStringLiteral(" -> ") + step.newName;
        }
    }
    return list;
}

}  // namespace

QString errorText(const Plan& record) {
    if (record.journalFailed) {
        return QCoreApplication::translate(
                   "batch", "Nothing renamed: the batch journal cannot be written in %1 (%2)")
            .arg(journal::directory(), record.stop.reason());
    }
    const Error error = record.error();
    if (error == Error::None) {
        return QString();
    }
    QString text = errorText(error);
    const QStringList left = notRestoredList(record);
    if (!left.isEmpty()) {
        text += QCoreApplication::translate("batch", " - Not Restored: %1")
                    .arg(left.join(QStringLiteral(", ")));
    }
    return text;
}

QString undoneText(const Plan& record) {
    const QStringList numbered = WayBackReport(record).numbered;
    return numbered.isEmpty() ? QString()
                              : QCoreApplication::translate(
                                    "batch", "Undone, but numbered (the old name was taken): %1")
                                    .arg(numbered.join(QStringLiteral(", ")));
}

}  // namespace batch
