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
#include <functional>

#include "platform/Platform.h"

namespace batch {

// The names (bare, no directory) known to be taken in the batch's directory,
// filled from a listing of it. Deciding the numbers takes no system call: the
// plan uses it as the batch does. On a case-insensitive file system names
// that differ only in letter case are one name.
class NameRegistry {
  public:
    // Fills the registry with every entry of `listing`, with room for as
    // many names again: a copy of it serves a plan or a batch without
    // growing, and without hashing the listing again.
    void load(const platform::Listing& listing, const platform::NameRules& rules);

    bool isTaken(const QString& name) const {
        QString folded;
        return taken_.contains(key(name, folded));
    }
    void take(const QString& name) {
        QString folded;
        taken_.insert(key(name, folded));
    }
    // Takes `name` if it is free; whether it was.
    bool takeFree(const QString& name) {
        const qsizetype before = taken_.size();
        take(name);
        return taken_.size() != before;
    }
    // A name given up by a rename; numbered variants that had been skipped
    // over because of it become candidates again.
    void release(const QString& name);

    // The first free numbered variant of (stem, ext), its number in `*n`.
    QString firstFreeName(QStringView stem, const QString& ext, int* n);
    // Takes that variant: the next search for (stem, ext) starts past it. A
    // plan hands out names that no file of it holds, so none is released.
    void takeNumbered(QStringView stem, const QString& ext, int n, const QString& name);

  private:
    QString key(const QString& name) const { return fold_ ? name.toCaseFolded() : name; }
    // The same without a copy where letter case counts; `folded` holds it where not.
    const QString& key(const QString& name, QString& folded) const {
        return fold_ ? (folded = name.toCaseFolded()) : name;
    }
    const QString& key(QStringView stem, const QString& ext) const;
    static QString candidate(QStringView stem, const QString& ext, int n);

    bool fold_ = false;
    mutable QString lastStem_, lastExt_, lastKey_;  // the key of the stem asked last
    QSet<QString> taken_;
    QHash<QString, int> nextNumber_;  // key(stem, ext) -> lower bound of the first free n
    QMultiHash<QString, QPair<QString, int>> owners_;  // numbered name -> (key, n)
};

// The highest collision number; a file that would need more fails with
// Error::Overflow.
constexpr int kMaxCollisionNumber = 32767;

// Whether the directory's NameRules apply to a target and its numbered
// variants: they do to every name a batch makes, not to a file's own old name
// (nor its numbered forms) on its way back, which the file system held.
enum class Rules { Apply, Skip };

// Renames the file `from` to `target`, both bare names in `dir`, or to the
// target's first free numbered variant when it is taken. A name that is not
// plain (platform::isPlainFileName: it would lead out of the directory), or
// one the directory's rules refuse, fails with Error::PathFileAccess before
// any system call. On success `*renamedTo` holds the name the file now has.
// Any error other than a taken target is returned as is. `before`, where
// given, is told each name before it is tried, and a failure it returns is
// the rename's (the journal notes a numbered name so). `known` goes with
// each rename (BatchSystem::renameIn).
using BeforeAttempt = std::function<platform::Status(const QString& name)>;
platform::Status renameAvoidingCollisions(platform::BatchSystem& system,
                                          const platform::PinnedDirectory& dir, NameRegistry& names,
                                          const QString& from, const QString& target,
                                          const QString& ext, QString* renamedTo,
                                          Rules rules = Rules::Apply,
                                          const BeforeAttempt& before = {},
                                          const platform::Fingerprint* known = nullptr);

// Why the directory's rules refuse `name`: PathFileAccess with the system's
// word for it (EINVAL, ENAMETOOLONG), or ok.
platform::Status refusalOf(const platform::PinnedDirectory& dir, const QString& name);

}  // namespace batch
