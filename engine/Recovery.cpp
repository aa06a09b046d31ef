#include "engine/Recovery.h"

#include <QHash>
#include <QMultiHash>
#include <QSet>
#include <algorithm>
#include <functional>

#include "engine/CodePoints.h"
#include "engine/Collisions.h"

namespace batch {
namespace {

// A change of letter case passes through a name of this prefix
// (platform::BatchSystem::renameIn on a case-insensitive file system); the
// platform's probe of a directory's renames goes by names of it too, but
// holds no file of a batch.
const QString kBetweenPrefix = QStringLiteral(".quillomat-");
const QString kProbePrefix = QStringLiteral(".quillomat-probe");

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

// Where the files of a batch may be in the directory: the names it holds,
// and the numbered forms of every name.
class Whereabouts {
  public:
    Whereabouts(const platform::Listing& listing, Search search) : search_(search) {
        if (search_ == Search::NewName) {
            return;  // the new name, and no other, is looked at
        }
        present_ = QSet<QString>(listing.files.cbegin(), listing.files.cend());
        for (const QString& name : listing.files) {
            for (const QString& form : unnumbered(name)) {
                numbered_.insert(form, name);
            }
            if (name.startsWith(kBetweenPrefix) && !name.startsWith(kProbePrefix)) {
                between_ << name;
            }
        }
    }

    // The names to look for `move` under, in the order one is kept when the
    // file has several. Files go back last first, so when `move` comes up its
    // old name is free again unless the file never left it: the old name,
    // its numbered forms (an undo that had to number), the name the batch
    // gave it, the numbered forms of that, the names a change of case passes.
    QStringList candidates(const Step& move, const QString& extension) const {
        if (search_ == Search::NewName) {
            return {move.newName};
        }
        QStringList names{move.oldName};
        const auto addForms = [&](const QStringList& of) {
            for (const QString& form : of) {
                for (const QString& name : numbered_.values(form)) {
                    if (name.endsWith(extension) && !names.contains(name)) {
                        names << name;
                    }
                }
            }
        };
        addForms({move.oldName});
        names << move.newName;
        addForms(unnumbered(move.newName) << move.newName);
        names << between_;
        names.removeIf([this](const QString& name) { return !present_.contains(name); });
        names.removeDuplicates();
        return names;
    }

    void moved(const QString& from, const QString& to) {
        if (search_ == Search::AnyFormOfIt) {
            present_.remove(from);
            present_.insert(to);
        }
    }
    void removed(const QString& name) { present_.remove(name); }

  private:
    Search search_;
    QSet<QString> present_;
    QMultiHash<QString, QString> numbered_;  // unnumbered form -> numbered name
    QStringList between_;
};

// Whether the file `name` carries `fingerprint`. Its contents are read only
// when all else matches.
bool carries(platform::BatchSystem& system, const platform::PinnedDirectory& dir,
             const QString& name, const platform::Fingerprint& fingerprint) {
    platform::Fingerprint now;
    if (!system.identify(dir, name, &now).ok() || now.size != fingerprint.size) {
        return false;
    }
    platform::Fingerprint withContents = fingerprint;
    withContents.contents = 0;
    if (!withContents.matches(now)) {
        return false;
    }
    return fingerprint.contents == 0 ||
           (system.identify(dir, name, &now, platform::Contents::Hash).ok() &&
            fingerprint.matches(now));
}

// The way back of one batch through one directory: the renamed steps of
// its record, in rename order.
class Restorer {
  public:
    Restorer(platform::BatchSystem& system, const platform::PinnedDirectory& dir,
             QList<Step*> moves, Search search, const platform::Listing& listing)
        : system_(system), dir_(dir), moves_(std::move(moves)), where_(listing, search) {
        names_.load(listing, dir.rules());
        extensions_.reserve(moves_.size());
        for (qsizetype j = 0; j < moves_.size(); ++j) {
            if (search == Search::AnyFormOfIt) {
                byOldName_.insert(moves_[j]->oldName, j);
            }
            extensions_ << extensionOf(moves_[j]->oldName);
        }
    }

    qsizetype size() const { return moves_.size(); }

    // A placeholder of ours under any name the batch may have left a file
    // under holds a name a file may need back (RenameWay::Reserve).
    void dropPlaceholders() {
        QStringList names;
        for (qsizetype k = 0; k < moves_.size(); ++k) {
            names << candidates(k);
        }
        names.removeDuplicates();
        bool dropped = false;
        for (const QString& name : names) {
            if (system_.dropPlaceholder(dir_, name).ok()) {
                forget(name);
                dropped = true;
            }
        }
        // One rename at most was under way when the process ended, so one
        // placeholder at most may not yet say it is ours.
        if (!dropped) {
            dropUnmarkedPlaceholder();
        }
    }

    // A placeholder made, the process ended before it said it was ours: an
    // empty file under a name of a file of the batch found under another.
    // Where time tells nothing, an empty file of the batch looks the same,
    // so such files are counted: one more empty file than the batch has is
    // the placeholder (any of them may go, the files being alike), as many
    // as it has are its own.
    void dropUnmarkedPlaceholder() {
        QList<qsizetype> empties;  // the batch's empty files
        for (qsizetype k = 0; k < moves_.size(); ++k) {
            if (moves_[k]->fingerprint.size == 0) {
                empties << k;
            }
        }
        QStringList alike;      // empty files under which an empty file of the batch may be
        QStringList strangers;  // empty files under which none may be
        QSet<QString> seen;
        for (qsizetype k = 0; k < moves_.size(); ++k) {
            const QStringList names = candidates(k);
            const bool foundElsewhere =
                std::any_of(names.cbegin(), names.cend(), [&](const QString& n) {
                    return carries(system_, dir_, n, moves_[k]->fingerprint);
                });
            for (const QString& name : names) {
                platform::Fingerprint now;
                if (seen.contains(name) || !system_.identify(dir_, name, &now).ok() ||
                    now.size != 0) {
                    continue;
                }
                const bool ofTheBatch =
                    std::any_of(empties.cbegin(), empties.cend(), [&](qsizetype j) {
                        return carries(system_, dir_, name, moves_[j]->fingerprint);
                    });
                if (ofTheBatch) {
                    seen.insert(name);
                    alike << name;
                } else if (foundElsewhere && moves_[k]->fingerprint.size != 0) {
                    seen.insert(name);
                    strangers << name;
                }
            }
        }
        QString unmarked;
        if (strangers.size() == 1 && alike.size() <= empties.size()) {
            unmarked = strangers.first();
        } else if (strangers.isEmpty() && alike.size() == empties.size() + 1 &&
                   empties.size() <= kMostAlike) {
            // One whose going leaves every empty file of the batch a name of
            // its own to be found under.
            for (const QString& name : alike) {
                if (allPlaced(empties, alike, name)) {
                    unmarked = name;
                    break;
                }
            }
        }
        if (!unmarked.isNull() &&
            system_.dropPlaceholder(dir_, unmarked, platform::BatchSystem::Placeholder::Unmarked)
                .ok()) {
            forget(unmarked);
        }
    }

    void restore(qsizetype k, bool secondNames) {
        Step& move = *moves_[k];
        QString keep;
        QStringList others;
        for (const QString& name : candidates(k)) {
            if (!carries(system_, dir_, name, move.fingerprint)) {
                continue;
            }
            if (keep.isNull()) {
                keep = name;
            } else {
                others << name;
            }
        }
        if (keep.isNull()) {
            move.why = Why::NotFound;
            move.status = platform::Status{Error::FileNotFound, 0};
            return;
        }
        if (secondNames) {
            dropSecondNames(k, keep, others);
        }
        QString restoredTo = keep;
        move.status = keep == move.oldName
                          ? platform::Status{}
                          : renameAvoidingCollisions(system_, dir_, names_, keep, move.oldName,
                                                     extensions_[k], &restoredTo, Rules::Skip);
        if (move.status.ok()) {
            move.outcome = Outcome::Back;
            move.why = restoredTo == move.oldName ? Why::None : Why::TakenInDirectory;
            where_.moved(keep, restoredTo);
        } else {
            move.why = Why::NotRestored;
        }
        move.newName = restoredTo;
    }

  private:
    // Past this many empty files in a batch their names are not matched.
    static constexpr qsizetype kMostAlike = 64;

    QStringList candidates(qsizetype k) const {
        return where_.candidates(*moves_[k], extensions_[k]);
    }

    // Whether each of the files `moves` can be given a name of `names` but
    // `without` that it carries its fingerprint under, no name to two
    // (augmenting paths, as small bipartite matchings are found).
    bool allPlaced(const QList<qsizetype>& moves, const QStringList& names,
                   const QString& without) {
        QList<QList<qsizetype>> fits(moves.size());  // move -> the indexes of names it fits
        for (qsizetype m = 0; m < moves.size(); ++m) {
            const QStringList own = candidates(moves[m]);
            for (qsizetype n = 0; n < names.size(); ++n) {
                if (names[n] != without && own.contains(names[n]) &&
                    carries(system_, dir_, names[n], moves_[moves[m]]->fingerprint)) {
                    fits[m] << n;
                }
            }
        }
        QList<qsizetype> holder(names.size(), -1);  // name -> the move given it
        std::function<bool(qsizetype, QList<bool>&)> place = [&](qsizetype m, QList<bool>& tried) {
            for (const qsizetype n : fits[m]) {
                if (!tried[n]) {
                    tried[n] = true;
                    if (holder[n] < 0 || place(holder[n], tried)) {
                        holder[n] = m;
                        return true;
                    }
                }
            }
            return false;
        };
        for (qsizetype m = 0; m < moves.size(); ++m) {
            QList<bool> tried(names.size(), false);
            if (!place(m, tried)) {
                return false;
            }
        }
        return true;
    }

    // A link made and the old name not yet dropped (RenameWay::Link): the
    // file of move k has more names than `keep`. A name that is also the old
    // name of another file of the batch carrying the same fingerprint (two
    // copies alike) cannot be told from that file, and stays.
    void dropSecondNames(qsizetype k, const QString& keep, const QStringList& others) {
        for (const QString& name : others) {
            if (!isAnothersOwn(k, name) && system_.dropSecondName(dir_, name, keep).ok()) {
                forget(name);
            }
        }
    }

    // Whether `name` is the old name of another file of the batch, and holds
    // it still.
    bool isAnothersOwn(qsizetype k, const QString& name) {
        const qsizetype j = byOldName_.value(name, -1);
        return j >= 0 && j != k && carries(system_, dir_, name, moves_[j]->fingerprint);
    }

    void forget(const QString& name) {
        where_.removed(name);
        names_.release(name);
    }

    platform::BatchSystem& system_;
    const platform::PinnedDirectory& dir_;
    QList<Step*> moves_;
    QStringList extensions_;
    Whereabouts where_;
    NameRegistry names_;
    QHash<QString, qsizetype> byOldName_;
};

}  // namespace

void restore(platform::BatchSystem& system, const platform::PinnedDirectory& dir, Plan& record,
             Search search) {
    QList<Step*> moves;
    for (Step& step : record.steps) {
        if (step.renamed()) {
            moves << &step;
        }
    }
    if (moves.isEmpty()) {
        return;
    }
    const platform::Listing listing = system.list(dir);
    if (!listing.status.ok()) {
        foundNowhere(record, listing.status);
        return;
    }
    Restorer restorer(system, dir, moves, search, listing);
    // What a rename cut short by the end of the process may have left
    // depends on the way renames take here; within a run none is left.
    const platform::RenameWay way = dir.renameWay();
    const bool cutShort = search == Search::AnyFormOfIt;
    if (cutShort && (way == platform::RenameWay::Reserve || way == platform::RenameWay::Unknown)) {
        restorer.dropPlaceholders();
    }
    const bool secondNames =
        cutShort && (way == platform::RenameWay::Link || way == platform::RenameWay::Unknown);
    for (qsizetype k = restorer.size() - 1; k >= 0; --k) {
        restorer.restore(k, secondNames);
    }
}

void foundNowhere(Plan& record, const platform::Status& status) {
    for (Step& step : record.steps) {
        if (step.renamed()) {
            step.why = Why::NotFound;
            step.status = status;
        }
    }
}

WayBackReport::WayBackReport(const Plan& record) {
    for (const Step& step : record.steps) {
        if (step.renamed() && step.why == Why::NotFound) {
            notFound << step.oldName;
        } else if (step.renamed()) {
            notRestored << step.newName;
        } else if (step.outcome == Outcome::Back && step.newName != step.oldName) {
            numbered << step.oldName + QStringLiteral(" -> ") + step.newName;
        }
    }
}

Plan restoreFromJournal(const journal::Record& journal, platform::System& system) {
    Plan record;
    record.steps.reserve(journal.entries.size());
    for (const journal::Entry& entry : journal.entries) {
        Step step{entry.oldName, entry.newName, Outcome::Renamed, Why::None, {}, {}, {}, {}};
        step.fingerprint = entry.fingerprint;
        record.steps << step;
    }
    const platform::OpenedDirectory opened = system.openDirectory(journal.directory);
    if (!opened.directory) {
        foundNowhere(record, opened.status);
        return record;
    }
    // The journal knows how renames there work: the same on the same file
    // system, also after it was mounted again.
    opened.directory->setRenameTraits(journal.traits);
    restore(system, *opened.directory, record, Search::AnyFormOfIt);
    return record;
}

}  // namespace batch
