#pragma once

// Renaming one file whose target may be taken: the target is tried first,
// then "stem-1.ext", "stem-2.ext" and so on, where the stem is the target less
// its extension. The names already known to be taken in the directory are
// kept in a NameRegistry, so a batch goes straight to the first free number
// instead of failing once per taken name; the platform's no-replace rename
// still guards every attempt, and a collision nobody knew of moves on to the
// next number.

#include <QHash>
#include <QMultiHash>
#include <QSet>
#include <QString>

#include "platform/Platform.h"

namespace batch {

// The names (bare, no directory) known to be taken in the batch's directory.
// It is filled from the directory only when the first collision happens
// there, so a batch without collisions never lists the directory. Deciding
// the numbers takes no system call: a dry run can use it over a listing.
class NameRegistry {
  public:
    bool isLoaded() const { return loaded_; }
    // Fills the registry from `dir`'s current ordinary files. One that cannot
    // be listed leaves it empty: every attempt then meets the platform as it
    // is. Other entries (subdirectories) are found by the platform's refusal
    // and numbered past then.
    void load(platform::Platform& p, const platform::PinnedDirectory& dir);
    // Fills the registry from names already known.
    void load(const QStringList& names);

    bool isTaken(const QString& name) const { return taken_.contains(name); }
    void take(const QString& name) { taken_.insert(name); }
    // A name given up by a rename; numbered variants that had been skipped
    // over because of it become candidates again.
    void release(const QString& name);

    // The smallest number n >= 1 for which `stem` + "-" + n + `ext` is not known
    // to be taken. Every number below it is remembered, so a later search for
    // the same stem starts where this one stopped.
    int firstFreeNumber(const QString& stem, const QString& ext);
    // Records that number n of (stem, ext) was found taken or was used.
    void noteUsed(const QString& stem, const QString& ext, int n);

  private:
    static QString key(const QString& stem, const QString& ext);
    static QString candidate(const QString& stem, const QString& ext, int n);

    bool loaded_ = false;
    QSet<QString> taken_;
    QHash<QString, int> nextNumber_;  // key(stem, ext) -> lower bound of the first free n
    QMultiHash<QString, QPair<QString, int>> owners_;  // numbered name -> (key, n)
};

// The highest collision number; a file that would need more fails with
// Error::Overflow.
constexpr int kMaxCollisionNumber = 32767;

// The numbered variant of `target`: the first (length of target - length of
// `ext`) characters, "-", n, `ext`.
QString numberedVariant(const QString& target, const QString& ext, int n);

// Renames full path `from` to full path `target`, both in `dir`, or to the
// target's first free numbered variant when it is taken; only the names reach
// the platform, relative to `dir`. Paths that are not in one directory
// (isRenameInPlace) fail with Error::PathFileAccess. On success `*renamedTo`
// holds the path the file now has. Any error other than a taken target is
// returned as is.
platform::RenameResult renameAvoidingCollisions(platform::Platform& p,
                                                const platform::PinnedDirectory& dir,
                                                NameRegistry& names, const QString& from,
                                                const QString& target, const QString& ext,
                                                QString* renamedTo);

}  // namespace batch
