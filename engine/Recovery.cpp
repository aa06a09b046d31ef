#include "engine/Recovery.h"

#include <QMultiHash>
#include <QSet>
#include <optional>

#include "engine/CodePoints.h"
#include "engine/Collisions.h"

namespace batch {
namespace {

// A change of letter case passes through a name of this prefix
// (platform::BatchSystem::renameIn on a case-insensitive file system).
const QString kBetweenPrefix = QStringLiteral(".quillomat-");

// `name` without a collision number "-n" right before its extension or at
// its end: the names a numbered form may have been made from.
QStringList unnumbered(const QString& name) {
    QStringList forms;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    for (const qsizetype end : {dot, name.size()}) {
        qsizetype start = end;
        while (start > 0 && name.at(start - 1).isDigit() && name.at(start - 1).unicode() < 0x80) {
            --start;
        }
        if (end > 0 && start < end && start > 1 && name.at(start - 1) == u'-') {
            forms << name.left(start - 1) + name.mid(end);
        }
    }
    return forms;
}

// Where the files of a journal's batch may be in the directory: the names it
// holds, and the numbered forms of every name.
class Whereabouts {
  public:
    explicit Whereabouts(const platform::Listing& listing)
        : present_(listing.files.cbegin(), listing.files.cend()) {
        for (const QString& name : listing.files) {
            for (const QString& form : unnumbered(name)) {
                numbered_.insert(form, name);
            }
            if (name.startsWith(kBetweenPrefix)) {
                between_ << name;
            }
        }
    }

    // The names to look for `move` under. Files go back last first, so when
    // `move` comes up its old name is free again unless the file never left
    // it: the old name first, then the name the batch gave it, then the
    // numbered forms of that name and the names a change of case passes.
    QStringList candidates(const WayBack& move) const {
        QStringList names{move.oldName, move.newName};
        QStringList family = unnumbered(move.newName);
        family << move.newName;
        for (const QString& form : family) {
            for (const QString& name : numbered_.values(form)) {
                if (name.endsWith(move.extension) && !names.contains(name)) {
                    names << name;
                }
            }
        }
        names << between_;
        names.removeIf([this](const QString& name) { return !present_.contains(name); });
        return names;
    }

    void moved(const QString& from, const QString& to) {
        present_.remove(from);
        present_.insert(to);
    }

  private:
    QSet<QString> present_;
    QMultiHash<QString, QString> numbered_;  // unnumbered form -> numbered name
    QStringList between_;
};

// The name `move`'s file has now, or a null string when none of its
// candidates carries its fingerprint.
QString find(platform::BatchSystem& system, const platform::PinnedDirectory& dir,
             const Whereabouts* where, const WayBack& move) {
    if (where == nullptr) {
        // Only the new name counts: one look at it, and no list of names.
        platform::Fingerprint now;
        return system.identify(dir, move.newName, &now).ok() && move.fingerprint.matches(now)
                   ? move.newName
                   : QString();
    }
    for (const QString& name : where->candidates(move)) {
        platform::Fingerprint now;
        if (system.identify(dir, name, &now).ok() && move.fingerprint.matches(now)) {
            return name;
        }
    }
    return QString();
}

}  // namespace

void restore(platform::BatchSystem& system, const platform::PinnedDirectory& dir,
             QList<WayBack>& moves, Search search) {
    const platform::Listing listing = system.list(dir);
    if (!listing.status.ok()) {
        for (WayBack& move : moves) {
            move.result = WayBack::Result::NotFound;
            move.status = listing.status;
        }
        return;
    }
    NameRegistry names;
    names.load(listing, dir.rules());
    std::optional<Whereabouts> where;
    if (search == Search::AnyFormOfIt) {
        where.emplace(listing);
    }
    for (qsizetype i = moves.size() - 1; i >= 0; --i) {
        WayBack& move = moves[i];
        const QString present = find(system, dir, where ? &*where : nullptr, move);
        if (present.isNull()) {
            move.result = WayBack::Result::NotFound;
            move.status = platform::Status{Error::FileNotFound, 0};
            continue;
        }
        if (present == move.oldName) {
            move.result = WayBack::Result::Restored;
            move.restoredTo = present;
            continue;
        }
        move.status = renameAvoidingCollisions(system, dir, names, present, move.oldName,
                                               move.extension, &move.restoredTo);
        if (move.status.ok()) {
            move.result = WayBack::Result::Restored;
            if (where) {
                where->moved(present, move.restoredTo);
            }
        } else {
            move.result = WayBack::Result::Failed;
            move.foundAs = present;
        }
    }
}

RecoveryOutcome restoreFromJournal(const journal::Record& record, platform::System& system) {
    RecoveryOutcome outcome;
    const platform::OpenedDirectory opened = system.openDirectory(record.directory);
    if (!opened.directory) {
        outcome.error = opened.status.error;
        for (const journal::Entry& entry : record.entries) {
            outcome.notFound << entry.oldName;
        }
        return outcome;
    }
    QList<WayBack> moves;
    moves.reserve(record.entries.size());
    for (const journal::Entry& entry : record.entries) {
        moves.append(
            WayBack{entry.oldName, entry.newName, extensionOf(entry.oldName), entry.fingerprint});
    }
    restore(system, *opened.directory, moves, Search::AnyFormOfIt);

    for (qsizetype i = moves.size() - 1; i >= 0; --i) {
        const WayBack& move = moves[i];
        if (move.result != WayBack::Result::Restored && outcome.error == Error::None) {
            outcome.error = move.status.error;
        }
    }
    for (const WayBack& move : moves) {
        switch (move.result) {
            case WayBack::Result::Restored:
                if (move.restoredTo != move.oldName) {
                    outcome.numbered << move.oldName + QStringLiteral(" -> ") + move.restoredTo;
                }
                break;
            case WayBack::Result::NotFound:
                outcome.notFound << move.oldName;
                break;
            case WayBack::Result::Failed:
                outcome.notRestored << move.foundAs;
                break;
        }
    }
    return outcome;
}

}  // namespace batch
