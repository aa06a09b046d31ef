#include "engine/Collisions.h"

#include <algorithm>
#include <cerrno>
#include <charconv>

namespace batch {

void NameRegistry::load(const platform::Listing& listing, const platform::NameRules& rules) {
    fold_ = rules.caseInsensitive;
    taken_.clear();
    nextNumber_.clear();
    owners_.clear();
    const qsizetype count =
        listing.files.size() + listing.directories.size() + listing.others.size();
    taken_.reserve(2 * count + 16);
    for (const QStringList* names : {&listing.files, &listing.directories, &listing.others}) {
        for (const QString& name : *names) {
            take(name);
        }
    }
}

const QString& NameRegistry::key(QStringView stem, const QString& ext) const {
    // The same stem comes again and again where many files want one name.
    if (stem != lastStem_ || ext != lastExt_) {
        lastStem_ = stem.toString();
        lastExt_ = ext;
        lastKey_ = key(lastStem_ + QChar(0) + ext);
    }
    return lastKey_;
}

void NameRegistry::release(const QString& name) {
    QString folded;
    taken_.remove(key(name, folded));
    if (owners_.isEmpty()) {
        return;  // no numbered name handed out yet: no bound to lower
    }
    const auto range = owners_.equal_range(key(name));
    for (auto it = range.first; it != range.second; ++it) {
        int& next = nextNumber_[it->first];
        next = std::min(next, it->second);
    }
}

QString NameRegistry::candidate(QStringView stem, const QString& ext, int n) {
    char digits[16] = {'-'};
    const qsizetype count = std::to_chars(digits + 1, digits + sizeof digits, n).ptr - digits;
    QString name;
    name.reserve(stem.size() + count + ext.size());
    name.append(stem).append(QLatin1String(digits, count)).append(ext);
    return name;
}

QString NameRegistry::firstFreeName(QStringView stem, const QString& ext, int* n) {
    const QString& k = key(stem, ext);
    int& next = nextNumber_[k];
    *n = qMax(1, next);
    QString name = candidate(stem, ext, *n);
    QString folded;
    while (taken_.contains(key(name, folded))) {
        owners_.insert(key(name, folded), qMakePair(k, *n));
        name = candidate(stem, ext, ++*n);
    }
    next = *n;
    return name;
}

void NameRegistry::takeNumbered(QStringView stem, const QString& ext, int n, const QString& name) {
    take(name);
    int& next = nextNumber_[key(stem, ext)];
    next = qMax(next, n + 1);
}

platform::Status renameAvoidingCollisions(platform::BatchSystem& system,
                                          const platform::PinnedDirectory& dir, NameRegistry& names,
                                          const QString& from, const QString& target,
                                          const QString& ext, QString* renamedTo, Rules rules,
                                          const BeforeAttempt& before,
                                          const platform::Fingerprint* known) {
    // A name that holds a separator would move the file out of its directory.
    if (!platform::isPlainFileName(from) || !platform::isPlainFileName(target)) {
        return platform::Status{Error::PathFileAccess, 0};
    }
    // The file's own name is free for itself: renaming onto it is a no-op,
    // and on a case-insensitive file system a change of case.
    names.release(from);
    const QStringView stem = QStringView(target).left(target.size() - ext.size());
    QString attempt = target;
    platform::Status result;
    for (int n = 0;;) {
        if (!names.isTaken(attempt)) {
            result = rules == Rules::Apply ? refusalOf(dir, attempt) : platform::Status{};
            if (result.ok() && before) {
                result = before(attempt);
            }
            if (result.ok()) {
                result = system.renameIn(dir, from, attempt, known);
            }
            if (result.error != Error::FileExists) {
                break;
            }
            names.take(attempt);  // taken behind our back
        }
        attempt = names.firstFreeName(stem, ext, &n);
        if (n > kMaxCollisionNumber) {
            // The counter is a 16-bit number; past it the step-by-step rule
            // would overflow. Give up on this file rather than loop forever.
            result = platform::Status{Error::Overflow, 0};
            break;
        }
    }
    names.take(result.ok() ? attempt : from);
    if (result.ok()) {
        *renamedTo = attempt;
    }
    return result;
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
