#include "engine/Recovery.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <algorithm>

#include "engine/CodePoints.h"
#include "engine/Collisions.h"

namespace batch {
namespace {

// Why a file is left where it is when it fits two names or more alike.
constexpr char kLookAlike[] =
    QT_TRANSLATE_NOOP("Status", "Files alike: which one is the batch's cannot be told");

// Which side of its rename a name is on: before it, after it, or the name a
// change of letter case passes through.
enum class Side { Old, New, Between };

struct Place {
    QString name;
    Side side;
};

// What a look at a file must take to compare it with `fingerprint`.
platform::Contents contentsOf(const platform::Fingerprint& fingerprint) {
    return fingerprint.contents == 0 ? platform::Contents::Skip : platform::Contents::Hash;
}

// Writes, before a file is renamed back to a numbered name, that it may be
// found there: (its old name, the numbered name).
using Note = std::function<platform::Status(const QString&, const QString&)>;

// The way back of one batch through one directory: the renamed steps of its
// record, in rename order, and for a journal's batch what the journal says
// of each (`entries`, else null: the file is under its new name).
class Restorer {
  public:
    Restorer(platform::BatchSystem& system, const platform::PinnedDirectory& dir,
             QList<Step*> moves, QList<const journal::Entry*> entries,
             const platform::Listing& listing, Note note)
        : system_(system),
          dir_(dir),
          moves_(std::move(moves)),
          entries_(std::move(entries)),
          note_(std::move(note)),
          found_(moves_.size()),
          placed_(moves_.size(), -1) {
        names_.load(listing, dir.rules());
        if (!journal()) {
            return;  // findUnderNewNames() looks names up in the directory itself
        }
        // Sized once: a batch of a thousand files would grow them step by step.
        present_.reserve(listing.files.size());
        plain_.reserve(moves_.size());
        holders_.reserve(moves_.size());
        for (const QString& name : listing.files) {
            present_.insert(key(name), name);
        }
    }

    void run() {
        const platform::RenameWay way = dir_.renameWay();
        if (!journal()) {
            findUnderNewNames();
        } else {
            findAll();
            if (way == platform::RenameWay::Reserve || way == platform::RenameWay::Unknown) {
                dropPlaceholders();
            }
            place();
            if (way == platform::RenameWay::Link || way == platform::RenameWay::Unknown) {
                dropSecondNames();
            }
        }
        for (qsizetype k = moves_.size() - 1; k >= 0; --k) {
            back(k);
        }
    }

  private:
    // A journal's batch, where the process ended anywhere; else the way back
    // of this session's batch, whose files went to their new names.
    bool journal() const { return !entries_.isEmpty() && entries_.first(); }

    QString key(const QString& name) const {
        return dir_.rules().caseInsensitive ? name.toCaseFolded() : name;
    }

    // Every name the journal says the batch may have left file k under:
    // its old name, the new one, the numbered ones noted before they were
    // tried, and the names a change of case of any of them parks it under.
    QList<Place> placesOf(qsizetype k) const {
        const Step& move = *moves_[k];
        const journal::Entry* entry = entries_[k];
        if (!entry) {
            return {{move.newName, Side::New}};
        }
        QList<Place> places{{move.oldName, Side::Old}, {move.newName, Side::New}};
        for (const QString& name : entry->numberedOld) {
            places.append({name, Side::Old});
        }
        for (const QString& name : entry->numberedNew) {
            places.append({name, Side::New});
        }
        for (qsizetype i = 0, named = places.size(); i < named; ++i) {
            for (int attempt = 0; attempt < platform::kParkingAttempts; ++attempt) {
                places.append({platform::parkingName(places[i].name, attempt), Side::Between});
            }
        }
        return places;
    }

    // The name a rename of step k was about to give it when the process
    // ended: on the way to its new name (`back` false) or back.
    QString targetOf(qsizetype k, bool back) const {
        const journal::Entry& entry = *entries_[k];
        const QStringList& numbered = back ? entry.numberedOld : entry.numberedNew;
        return numbered.isEmpty() ? (back ? entry.oldName : entry.newName) : numbered.last();
    }

    // The fingerprint of the file `name` now, with its contents when asked;
    // each asked of the system once (a name with no file again).
    const platform::Fingerprint* now(const QString& name, platform::Contents contents) {
        platform::Fingerprint& known =
            (contents == platform::Contents::Hash ? hashed_ : plain_)[name];
        if (known.size < 0 && !system_.identify(dir_, name, &known, contents).ok()) {
            known.size = -1;
        }
        return known.size < 0 ? nullptr : &known;
    }

    // Whether the file `name` carries `fingerprint`, its contents read where
    // the fingerprint holds them: one look at the file either way.
    bool carries(const QString& name, const platform::Fingerprint& fingerprint) {
        const platform::Fingerprint* file = now(name, contentsOf(fingerprint));
        return file && fingerprint.matches(*file);
    }

    // Each file of this session's batch under its new name, or not there:
    // one look at each name, before any goes back.
    void findUnderNewNames() {
        for (qsizetype k = 0; k < moves_.size(); ++k) {
            const Step& move = *moves_[k];
            platform::Fingerprint file;
            if (system_.identify(dir_, move.newName, &file, contentsOf(move.fingerprint)).ok() &&
                move.fingerprint.matches(file)) {
                found_[k] = {{move.newName, Side::New}};
                placed_[k] = 0;
            }
        }
    }

    // The names each file may be under that hold a file carrying its
    // fingerprint; each present name of the batch is remembered.
    void findAll() {
        for (qsizetype k = 0; k < moves_.size(); ++k) {
            QStringList seen;
            for (const Place& place : placesOf(k)) {
                const QString at = present_.value(key(place.name));
                if (at.isNull() || seen.contains(key(at))) {
                    // Names alike but for letter case: the side is the one spelt as listed.
                    for (Place& found : found_[k]) {
                        if (found.name == at && place.name == at) {
                            found.side = place.side;
                        }
                    }
                    continue;
                }
                seen << key(at);
                if (carries(at, moves_[k]->fingerprint)) {
                    found_[k].append({at, place.side});
                    holders_[key(at)] << k;
                }
            }
        }
    }

    // A placeholder a rename reserved its target with (RenameWay::Reserve):
    // an empty file under the target of the one rename in flight. Files are
    // renamed one after the other (Undo in reverse), so the rename in flight
    // is the one whose file is still under its name before it, every earlier
    // file of the batch under its name after and every later one under its
    // name before. Only where exactly one rename fits so is its target removed.
    void dropPlaceholders() {
        const qsizetype n = moves_.size();
        const auto has = [&](qsizetype k, Side side) {
            return std::any_of(found_[k].cbegin(), found_[k].cend(),
                               [side](const Place& p) { return p.side == side; });
        };
        QList<bool> allNewBefore(n + 1, true);  // every file before k is under a name after
        QList<bool> allOldAfter(n + 1, true);   // every file after k - 1 is under a name before
        for (qsizetype k = 0; k < n; ++k) {
            allNewBefore[k + 1] = allNewBefore[k] && has(k, Side::New);
        }
        for (qsizetype k = n - 1; k >= 0; --k) {
            allOldAfter[k] = allOldAfter[k + 1] && has(k, Side::Old);
        }
        QStringList targets;
        for (qsizetype k = 0; k < n; ++k) {
            if (!allNewBefore[k] || !allOldAfter[k + 1]) {
                continue;
            }
            for (const bool back : {false, true}) {
                // Its target, or where a change of case parks it on the way.
                const Side from = back ? Side::New : Side::Old;
                QStringList names{targetOf(k, back)};
                if (has(k, from)) {
                    for (int attempt = 0; attempt < platform::kParkingAttempts; ++attempt) {
                        names << platform::parkingName(targetOf(k, !back), attempt);
                    }
                } else if (!has(k, Side::Between)) {
                    continue;
                }
                for (const QString& name : std::as_const(names)) {
                    const QString at = present_.value(key(name));
                    const platform::Fingerprint* file =
                        at.isNull() ? nullptr : now(at, platform::Contents::Skip);
                    // Not where the order puts another file of the batch: an
                    // earlier one under a name after, a later one under a name before.
                    const QList<qsizetype> fits = holders_.value(key(at));
                    const bool another = std::any_of(fits.cbegin(), fits.cend(), [&](qsizetype j) {
                        return std::any_of(
                            found_[j].cbegin(), found_[j].cend(), [&](const Place& p) {
                                return key(p.name) == key(at) && ((j < k && p.side == Side::New) ||
                                                                  (j > k && p.side == Side::Old));
                            });
                    });
                    // Nor is it where the file of step k alone is found.
                    const bool itsOwn =
                        found_[k].size() == 1 && key(found_[k].first().name) == key(at);
                    if (file && file->size == 0 && !another && !itsOwn && !targets.contains(at)) {
                        targets << at;
                    }
                }
            }
        }
        // Where the rename in flight cannot be told because its file and
        // those around it are empty (and their time tells nothing), every
        // fitting name holds an empty file of the batch or the placeholder:
        // whichever goes, the same names and contents are left. The one
        // farthest from an old name goes.
        const auto rank = [&](const QString& at) {
            int side = 0;
            for (const qsizetype j : holders_.value(key(at))) {
                side = std::max(side, int(found_[j][indexOf(j, key(at))].side));
            }
            return side;
        };
        const bool allEmptyFiles =
            std::all_of(targets.cbegin(), targets.cend(), [&](const QString& at) {
                const QList<qsizetype> fits = holders_.value(key(at));
                return !fits.isEmpty() && std::all_of(fits.cbegin(), fits.cend(), [&](qsizetype j) {
                    return moves_[j]->fingerprint.size == 0;
                });
            });
        if (targets.size() > 1 && allEmptyFiles) {
            targets = {*std::max_element(targets.cbegin(), targets.cend(),
                                         [&](auto& a, auto& b) { return rank(a) < rank(b); })};
        }
        if (targets.size() == 1 && system_.dropPlaceholder(dir_, targets.first()).ok()) {
            forget(targets.first());
        }
    }

    // Which name each file is under: a name only it fits, or the one left
    // to it once the names others are sure of are taken away. Where two
    // files fit only one name, or a file fits two names, it cannot be told.
    void place() {
        QList<qsizetype> work;
        for (qsizetype k = moves_.size() - 1; k >= 0; --k) {
            work << k;
        }
        while (!work.isEmpty()) {
            const qsizetype k = work.takeLast();
            if (placed_[k] >= 0 || live(k).size() != 1) {
                continue;
            }
            const QString at = key(live(k).first().name);
            const QList<qsizetype> rivals = holders_.value(at);
            if (std::any_of(rivals.cbegin(), rivals.cend(), [&](qsizetype j) {
                    return j != k && placed_[j] < 0 && live(j).size() == 1;
                })) {
                continue;
            }
            placed_[k] = indexOf(k, at);
            taken_.insert(at);
            for (const qsizetype j : rivals) {
                if (j != k && placed_[j] < 0) {
                    work << j;
                }
            }
        }
    }

    // The names file k fits that no other file is sure of.
    QList<Place> live(qsizetype k) const {
        QList<Place> places = found_[k];
        places.removeIf([this](const Place& p) { return taken_.contains(key(p.name)); });
        return places;
    }

    qsizetype indexOf(qsizetype k, const QString& at) const {
        for (qsizetype i = 0; i < found_[k].size(); ++i) {
            if (key(found_[k][i].name) == at) {
                return i;
            }
        }
        return -1;
    }

    // A link made, the old name not yet dropped (RenameWay::Link), either
    // way: the file is under two names of its rename, and no other file fits
    // either. The name nearer its old one stays; the other goes only where
    // the file system shows the two to be one file.
    void dropSecondNames() {
        for (qsizetype k = 0; k < moves_.size(); ++k) {
            QList<Place> places = live(k);
            if (placed_[k] >= 0 || places.size() != 2) {
                continue;
            }
            if (int(places[1].side) < int(places[0].side)) {
                std::swap(places[0], places[1]);
            }
            const bool alone = std::all_of(places.cbegin(), places.cend(), [&](const Place& p) {
                return holders_.value(key(p.name)).size() == 1;
            });
            if (alone && places[0].side != places[1].side &&
                system_.dropSecondName(dir_, places[1].name, places[0].name).ok()) {
                forget(places[1].name);
                placed_[k] = indexOf(k, key(places[0].name));
                taken_.insert(key(places[0].name));
            }
        }
    }

    void back(qsizetype k) {
        Step& move = *moves_[k];
        if (placed_[k] < 0) {
            const QList<Place> places = live(k);
            if (places.isEmpty()) {
                move.why = Why::NotFound;
                move.status = platform::Status{Error::FileNotFound, 0};
                return;
            }
            QStringList names;
            for (const Place& place : places) {
                names << place.name;
            }
            move.why = Why::NotRestored;
            move.status = platform::Status{Error::FileExists, 0, kLookAlike};
            move.newName = names.first();
            move.planned = names.join(QStringLiteral(", "));
            return;
        }
        const Place at = found_[k][placed_[k]];
        QString restoredTo = at.name;
        // Under a numbered form of its old name, as a way back cut short
        // left it: back, numbered.
        const bool numberedBack = at.side == Side::Old && key(at.name) != key(move.oldName);
        move.status = at.name == move.oldName || numberedBack
                          ? platform::Status{}
                          : renameAvoidingCollisions(
                                system_, dir_, names_, at.name, move.oldName,
                                extensionOf(move.oldName), &restoredTo, Rules::Skip,
                                [&](const QString& name) {
                                    return name == move.oldName ? platform::Status{}
                                                                : note_(move.oldName, name);
                                },
                                &move.fingerprint);
        if (move.status.ok()) {
            move.outcome = Outcome::Back;
            move.why = restoredTo == move.oldName ? Why::None : Why::TakenInDirectory;
        } else {
            move.why = Why::NotRestored;
        }
        move.newName = restoredTo;
    }

    void forget(const QString& name) {
        present_.remove(key(name));
        names_.release(name);
        const QList<qsizetype> holders = holders_.take(key(name));
        for (const qsizetype k : holders) {
            found_[k].removeIf([&](const Place& p) { return key(p.name) == key(name); });
        }
    }

    platform::BatchSystem& system_;
    const platform::PinnedDirectory& dir_;
    QList<Step*> moves_;
    QList<const journal::Entry*> entries_;
    Note note_;
    QList<QList<Place>> found_;                     // per file: where it may be
    QList<qsizetype> placed_;                       // per file: the index in found_ it is at
    QHash<QString, QString> present_;               // key -> the name as listed
    QHash<QString, QList<qsizetype>> holders_;      // key -> the files that fit it
    QSet<QString> taken_;                           // keys of names a file is placed at
    QHash<QString, platform::Fingerprint> plain_;   // name -> fingerprint now
    QHash<QString, platform::Fingerprint> hashed_;  // name -> fingerprint with contents
    NameRegistry names_;
};

void restoreThrough(platform::BatchSystem& system, const platform::PinnedDirectory& dir,
                    Plan& record, const QList<const journal::Entry*>& journal, const Note& note) {
    QList<Step*> moves;
    QList<const journal::Entry*> entries;
    for (qsizetype i = 0; i < record.steps.size(); ++i) {
        if (record.steps[i].renamed()) {
            moves << &record.steps[i];
            entries << journal.value(i);
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
    Restorer(system, dir, moves, entries, listing, note).run();
}

}  // namespace

void restore(platform::BatchSystem& system, const platform::PinnedDirectory& dir, Plan& record) {
    restoreThrough(system, dir, record, {}, [&](const QString& oldName, const QString& name) {
        return journal::noteNumbered(oldName, name, true, system);
    });
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
        } else if (step.renamed() && step.status.ownReason == kLookAlike) {
            alike << step.oldName + QStringLiteral(": ") + step.planned;
        } else if (step.renamed()) {
            notRestored << step.newName;
        } else if (step.outcome == Outcome::Back && step.newName != step.oldName) {
            numbered << step.oldName + QStringLiteral(" -> ") + step.newName;
        }
    }
}

Plan restoreFromJournal(const journal::Record& journal, platform::System& system,
                        const QString& journalPath) {
    Plan record;
    record.steps.reserve(journal.entries.size());
    QList<const journal::Entry*> entries;
    for (const journal::Entry& entry : journal.entries) {
        Step step{entry.oldName, entry.newName, Outcome::Renamed, Why::None, {}, {}, {}, {}};
        step.fingerprint = entry.fingerprint;
        record.steps << step;
        entries << &entry;
    }
    const platform::OpenedDirectory opened = system.openDirectory(journal.directory);
    if (!opened.directory) {
        foundNowhere(record, opened.status);
        return record;
    }
    // The journal knows how renames there work: the same on the same file
    // system, also after it was mounted again.
    opened.directory->setRenameTraits(journal.traits);
    // A numbered name goes into the journal before a file is renamed to it.
    journal::Record notes = journal;
    restoreThrough(system, *opened.directory, record, entries,
                   [&](const QString& oldName, const QString& name) {
                       return journalPath.isEmpty()
                                  ? platform::Status{}
                                  : journal::noteNumbered(notes, journalPath, oldName, name, true,
                                                          system);
                   });
    return record;
}

}  // namespace batch
