#include "engine/Collisions.h"

#include "engine/AppState.h"

namespace batch {

void NameRegistry::load(platform::Platform& p) {
    loaded_ = true;
    taken_.clear();
    nextNumber_.clear();
    owners_.clear();
    // A root directory comes without its separator ("" for "/").
    const platform::Listing listing =
        p.listFiles(directory_.isEmpty() ? platform::separator() : directory_);
    if (listing.ok) {
        taken_.reserve(listing.names.size() + 16);
        for (const QString& name : listing.names) {
            taken_.insert(name);
        }
    }
}

QString NameRegistry::key(const QString& stem, const QString& ext) {
    return stem + QChar(0) + ext;
}

void NameRegistry::release(const QString& name) {
    taken_.remove(name);
    const auto range = owners_.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        int& next = nextNumber_[it->first];
        if (it->second < next) {
            next = it->second;
        }
    }
}

void NameRegistry::noteUsed(const QString& stem, const QString& ext, int n) {
    const QString k = key(stem, ext);
    owners_.insert(candidate(stem, ext, n), qMakePair(k, n));
    int& next = nextNumber_[k];
    if (next <= n) {
        next = n + 1;
    }
}

QString NameRegistry::candidate(const QString& stem, const QString& ext, int n) {
    QString name;
    name.reserve(stem.size() + ext.size() + 8);
    name.append(stem).append(QLatin1Char('-')).append(QString::number(n)).append(ext);
    return name;
}

int NameRegistry::firstFreeNumber(const QString& stem, const QString& ext) {
    const QString k = key(stem, ext);
    int& next = nextNumber_[k];
    int n = qMax(1, next);
    for (QString name = candidate(stem, ext, n); taken_.contains(name);
         name = candidate(stem, ext, ++n)) {
        // Remembered, so that a release of this name can lower the bound again.
        owners_.insert(name, qMakePair(k, n));
    }
    next = n;
    return n;
}

QString numberedVariant(const QString& target, const QString& ext, int n) {
    return target.left(target.size() - ext.size()) + QLatin1Char('-') + QString::number(n) + ext;
}

namespace {

// One file's way to a free name: the target first, then its numbered variants.
// The registry is used only when the file stays in the registry's directory.
class CollisionRenamer {
  public:
    CollisionRenamer(platform::Platform& p, NameRegistry& names, AppState& state,
                     const QString& from, const QString& target, const QString& ext)
        : p_(p), names_(names), state_(state), from_(from), target_(target), ext_(ext) {
        const QStringView directory = platform::directoryViewOf(target);
        sameDirectory_ =
            names.directory() == directory && platform::directoryViewOf(from) == directory;
        known_ = sameDirectory_ && names.isLoaded();
        // The file's own name is free for itself: renaming onto it is a no-op.
        if (known_) {
            names_.release(fromName());
        }
    }

    platform::RenameResult run(QString* renamedTo) {
        QString attempt = target_;
        bool skip = known_ && names_.isTaken(platform::nameViewOf(target_).toString());
        platform::RenameResult result;
        for (;;) {
            if (!skip && tryTarget(attempt, &result)) {
                break;
            }
            skip = false;
            const int n = nextFreeNumber(attempt);
            if (n > kMaxCollisionNumber) {
                // The counter is a 16-bit number; past it the step-by-step rule
                // would overflow. Give up on this file rather than loop forever.
                result = platform::RenameResult{Error::Overflow, 0};
                break;
            }
            attempt = numberedVariant(target_, ext_, n);
            state_.collisionCount = static_cast<short>(n + 1);
            state_.collisionRetry = 1;
        }
        if (result.ok()) {
            *renamedTo = attempt;
        }
        if (known_) {
            names_.take(result.ok() ? platform::nameOf(attempt) : fromName());
        }
        return result;
    }

  private:
    // Renames the file to `attempt`. True when that settled it: renamed, or
    // failed for any reason but a taken name.
    bool tryTarget(const QString& attempt, platform::RenameResult* result) {
        *result = p_.renameFile(from_, attempt);
        return result->error != Error::FileExists;
    }

    // `attempt` is taken: the number of the variant to try next. The first
    // collision in the registry's directory fills the registry, so every
    // later search goes straight past the names known to be taken.
    int nextFreeNumber(const QString& attempt) {
        if (sameDirectory_ && !names_.isLoaded()) {
            names_.load(p_);
            names_.release(fromName());
            known_ = true;
        }
        int n = state_.collisionCount;
        if (known_) {
            if (attempt != target_) {
                names_.take(platform::nameOf(attempt));  // taken behind our back
                names_.noteUsed(stem(), ext_, state_.collisionCount - 1);
            }
            n = qMax(n, names_.firstFreeNumber(stem(), ext_));
        }
        return n;
    }

    // Built only when needed: most files of a batch never collide.
    const QString& fromName() {
        if (fromName_.isNull()) {
            fromName_ = platform::nameOf(from_);
        }
        return fromName_;
    }
    const QString& stem() {
        if (stem_.isNull()) {
            stem_ = platform::nameViewOf(QStringView(target_).left(target_.size() - ext_.size()))
                        .toString();
        }
        return stem_;
    }

    platform::Platform& p_;
    NameRegistry& names_;
    AppState& state_;
    const QString& from_;
    const QString& target_;
    const QString& ext_;
    bool sameDirectory_ = false;
    bool known_ = false;
    QString fromName_;
    QString stem_;
};

}  // namespace

platform::RenameResult renameAvoidingCollisions(platform::Platform& p, NameRegistry& names,
                                                AppState& state, const QString& from,
                                                const QString& target, const QString& ext,
                                                QString* renamedTo) {
    return CollisionRenamer(p, names, state, from, target, ext).run(renamedTo);
}

}  // namespace batch
