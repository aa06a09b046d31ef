#include "engine/Recovery.h"

#include <QMultiHash>
#include <algorithm>

#include "engine/CodePoints.h"
#include "engine/Collisions.h"

namespace batch {
namespace {

// Where each file of the directory is now, by identity. A file with several
// names (hard links) is at every one of them.
class Whereabouts {
  public:
    explicit Whereabouts(const platform::IdListing& listing) {
        for (qsizetype i = 0; i < listing.names.size(); ++i) {
            names_.insert(listing.ids[i], listing.names[i]);
        }
    }

    // The name to restore `entry` from: none when the file is nowhere, its
    // old name itself when it is back already.
    QString find(const journal::Entry& entry) const {
        QStringList names = names_.values(entry.id);
        if (names.isEmpty() || names.contains(entry.oldName)) {
            return names.isEmpty() ? QString() : entry.oldName;
        }
        std::sort(names.begin(), names.end());
        return names.first();
    }

    void moved(const platform::FileId& id, const QString& from, const QString& to) {
        names_.remove(id, from);
        names_.insert(id, to);
    }

  private:
    QMultiHash<platform::FileId, QString> names_;
};

}  // namespace

RecoveryOutcome restoreFromJournal(const journal::Record& record, platform::Platform& p) {
    RecoveryOutcome outcome;
    const auto nothingFound = [&](Error error) {
        outcome.error = error;
        for (const journal::Entry& entry : record.entries) {
            outcome.notFound << entry.oldName;
        }
        return outcome;
    };

    // The very directory of the batch: not another one made since at its path.
    const platform::OpenedDirectory opened = p.openDirectory(record.directory);
    if (!opened.directory) {
        return nothingFound(opened.error);
    }
    const platform::PinnedDirectory& dir = *opened.directory;
    const platform::Identity identity = p.identify(dir);
    if (!identity.ok() || identity.id != record.directoryId) {
        return nothingFound(identity.ok() ? Error::PathNotFound : identity.error);
    }
    const platform::IdListing listing = p.listIds(dir);
    if (!listing.ok) {
        return nothingFound(Error::PathFileAccess);
    }

    Whereabouts where(listing);
    NameRegistry names;
    names.load(listing.names);
    for (qsizetype i = record.entries.size() - 1; i >= 0; --i) {
        const journal::Entry& entry = record.entries[i];
        const QString present = where.find(entry);
        if (present.isNull()) {
            outcome.notFound.prepend(entry.oldName);
            if (outcome.error == Error::None) {
                outcome.error = Error::FileNotFound;
            }
            continue;
        }
        if (present == entry.oldName) {
            continue;
        }
        const QString from = platform::joinPath(dir.path(), present);
        const QString target = platform::joinPath(dir.path(), entry.oldName);
        QString restoredTo;
        const platform::RenameResult result = renameAvoidingCollisions(
            p, dir, names, from, target, extensionOf(entry.oldName), &restoredTo);
        if (!result.ok()) {
            outcome.notRestored.prepend(present);
            if (outcome.error == Error::None) {
                outcome.error = result.error;
            }
            continue;
        }
        const QString restoredName = platform::nameOf(restoredTo);
        where.moved(entry.id, present, restoredName);
        if (restoredName != entry.oldName) {
            outcome.numbered.prepend(entry.oldName + QStringLiteral(" -> ") + restoredName);
        }
    }
    return outcome;
}

}  // namespace batch
