#include "engine/Collisions.h"

#include <cerrno>
#include <charconv>

namespace batch {

void NameRegistry::load(const platform::Listing& listing, const platform::NameRules& rules) {
    load(listing.files, rules.caseInsensitive);
    for (const QStringList* names : {&listing.directories, &listing.others}) {
        for (const QString& name : *names) {
            take(name);
        }
    }
}

void NameRegistry::load(const QStringList& names, bool caseInsensitive) {
    fold_ = caseInsensitive;
    taken_.clear();
    nextNumber_.clear();
    owners_.clear();
    taken_.reserve(names.size() + 16);
    for (const QString& name : names) {
        taken_.insert(key(name));
    }
}

QString NameRegistry::key(const QString& stem, const QString& ext) const {
    // The same stem comes again and again where many files want one name.
    if (stem != lastStem_ || ext != lastExt_) {
        lastStem_ = stem;
        lastExt_ = ext;
        lastKey_ = key(stem + QChar(0) + ext);
    }
    return lastKey_;
}

void NameRegistry::release(const QString& name) {
    taken_.remove(key(name));
    if (owners_.isEmpty()) {
        return;  // no numbered name handed out yet: no bound to lower
    }
    const auto range = owners_.equal_range(key(name));
    for (auto it = range.first; it != range.second; ++it) {
        int& next = nextNumber_[it->first];
        if (it->second < next) {
            next = it->second;
        }
    }
}

void NameRegistry::noteUsed(const QString& stem, const QString& ext, int n) {
    const QString k = key(stem, ext);
    owners_.insert(key(candidate(stem, ext, n)), qMakePair(k, n));
    int& next = nextNumber_[k];
    if (next <= n) {
        next = n + 1;
    }
}

QString NameRegistry::candidate(const QString& stem, const QString& ext, int n) {
    char digits[16] = {'-'};
    const qsizetype count = std::to_chars(digits + 1, digits + sizeof digits, n).ptr - digits;
    QString name;
    name.reserve(stem.size() + count + ext.size());
    name.append(stem).append(QLatin1String(digits, count)).append(ext);
    return name;
}

int NameRegistry::firstFreeNumber(const QString& stem, const QString& ext) {
    const QString k = key(stem, ext);
    int& next = nextNumber_[k];
    int n = qMax(1, next);
    for (QString name = key(candidate(stem, ext, n)); taken_.contains(name);
         name = key(candidate(stem, ext, ++n))) {
        // Remembered, so that a release of this name can lower the bound again.
        owners_.insert(name, qMakePair(k, n));
    }
    next = n;
    return n;
}

QString NameRegistry::firstFreeName(const QString& stem, const QString& ext, int* n) {
    const QString k = key(stem, ext);
    int& next = nextNumber_[k];
    *n = qMax(1, next);
    QString name = candidate(stem, ext, *n);
    for (QString folded = key(name); taken_.contains(folded); folded = key(name)) {
        owners_.insert(folded, qMakePair(k, *n));
        name = candidate(stem, ext, ++*n);
    }
    next = *n;
    return name;
}

void NameRegistry::takeNumbered(const QString& stem, const QString& ext, int n,
                                const QString& name) {
    taken_.insert(key(name));
    int& next = nextNumber_[key(stem, ext)];
    next = qMax(next, n + 1);
}

QString numberedVariant(const QString& target, const QString& ext, int n) {
    return target.left(target.size() - ext.size()) + QLatin1Char('-') + QString::number(n) + ext;
}

namespace {

// One file's way to a free name: the target first, then its numbered variants.
// `count_` is the number the next variant would carry, as the step-by-step
// rule counts: 1 at the start of every file.
class CollisionRenamer {
  public:
    CollisionRenamer(platform::BatchSystem& system, const platform::PinnedDirectory& dir,
                     NameRegistry& names, const QString& from, const QString& target,
                     const QString& ext, Rules rules)
        : system_(system),
          dir_(dir),
          names_(names),
          from_(from),
          target_(target),
          ext_(ext),
          rules_(rules) {
        // The file's own name is free for itself: renaming onto it is a no-op,
        // and on a case-insensitive file system a change of case.
        names_.release(from_);
    }

    platform::Status run(QString* renamedTo) {
        QString attempt = target_;
        platform::Status result;
        for (;;) {
            if (!names_.isTaken(attempt)) {
                if (tryTarget(attempt, &result)) {
                    break;
                }
                if (attempt != target_) {
                    names_.take(attempt);  // taken behind our back
                    names_.noteUsed(stem(), ext_, count_ - 1);
                }
            }
            const int n = qMax(count_, names_.firstFreeNumber(stem(), ext_));
            if (n > kMaxCollisionNumber) {
                // The counter is a 16-bit number; past it the step-by-step rule
                // would overflow. Give up on this file rather than loop forever.
                result = platform::Status{Error::Overflow, 0};
                break;
            }
            attempt = numberedVariant(target_, ext_, n);
            count_ = n + 1;
        }
        if (result.ok()) {
            *renamedTo = attempt;
        }
        names_.take(result.ok() ? attempt : from_);
        return result;
    }

  private:
    // Renames the file to `attempt`. True when that settled it: renamed, or
    // failed for any reason but a taken name.
    bool tryTarget(const QString& attempt, platform::Status* result) {
        *result = rules_ == Rules::Apply ? refusalOf(dir_, attempt) : platform::Status{};
        if (result->ok()) {
            *result = system_.renameIn(dir_, from_, attempt);
        }
        return result->error != Error::FileExists;
    }

    // Built only when needed: most files of a batch never collide.
    const QString& stem() {
        if (stem_.isNull()) {
            stem_ = target_.left(target_.size() - ext_.size());
        }
        return stem_;
    }

    platform::BatchSystem& system_;
    const platform::PinnedDirectory& dir_;
    NameRegistry& names_;
    const QString& from_;
    const QString& target_;
    const QString& ext_;
    Rules rules_;
    int count_ = 1;
    QString stem_;
};

}  // namespace

platform::Status renameAvoidingCollisions(platform::BatchSystem& system,
                                          const platform::PinnedDirectory& dir, NameRegistry& names,
                                          const QString& from, const QString& target,
                                          const QString& ext, QString* renamedTo, Rules rules) {
    // A name that holds a separator would move the file out of its directory.
    if (!platform::isPlainFileName(from) || !platform::isPlainFileName(target)) {
        return platform::Status{Error::PathFileAccess, 0};
    }
    return CollisionRenamer(system, dir, names, from, target, ext, rules).run(renamedTo);
}

platform::Status refusalOf(const platform::PinnedDirectory& dir, const QString& name) {
    using Refusal = platform::NameRules::Refusal;
    const Refusal refusal = dir.rules().check(name).refusal;
    return refusal == Refusal::None
               ? platform::Status{}
               : platform::Status{Error::PathFileAccess,
                                  refusal == Refusal::TooLong ? ENAMETOOLONG : EINVAL};
}

}  // namespace batch
