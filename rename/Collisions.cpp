#include "rename/Collisions.h"

#include "app/AppState.h"

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

platform::RenameResult renameAvoidingCollisions(platform::Platform& p, NameRegistry& names,
                                                AppState& state, const QString& from,
                                                const QString& target, const QString& ext,
                                                QString* renamedTo) {
    const QStringView directory = platform::directoryViewOf(target);
    const bool sameDirectory =
        names.directory() == directory && platform::directoryViewOf(from) == directory;
    bool known = sameDirectory && names.isLoaded();
    // The registry's names are built only once a registry is in play: most
    // files of a batch never collide.
    QString fromName;
    QString stemName;
    bool namesReady = false;
    const auto prepareNames = [&] {
        if (!namesReady) {
            namesReady = true;
            fromName = platform::nameOf(from);
            stemName = platform::nameViewOf(QStringView(target).left(target.size() - ext.size()))
                           .toString();
        }
    };
    // The file's own name is free for itself: renaming onto it is a no-op.
    if (known) {
        prepareNames();
        names.release(fromName);
    }

    QString attempt = target;
    bool skipAttempt = known && names.isTaken(platform::nameViewOf(target).toString());
    platform::RenameResult result;
    for (;;) {
        if (!skipAttempt) {
            result = p.renameFile(from, attempt);
            if (result.error != platform::kFileExists) {
                break;
            }
        }
        // A taken target: number it, as the step-by-step rule would.
        prepareNames();
        if (sameDirectory && !names.isLoaded()) {
            names.load(p);
            names.release(fromName);
            known = true;
        }
        if (state.collisionRetry == 0) {
            state.collisionLength = QString::number(target.size());
        }
        int n = state.collisionCount;
        if (known) {
            if (attempt != target) {
                names.take(platform::nameOf(attempt));  // taken behind our back
                names.noteUsed(stemName, ext, state.collisionCount - 1);
            }
            n = qMax(n, names.firstFreeNumber(stemName, ext));
        }
        if (n > kMaxCollisionNumber) {
            // The counter is a 16-bit number; past it the step-by-step rule
            // would overflow. Give up on this file rather than loop forever.
            result = platform::RenameResult{kOverflow, 0};
            break;
        }
        attempt = numberedVariant(target, ext, n);
        state.collisionCount = static_cast<short>(n + 1);
        state.collisionRetry = 1;
        skipAttempt = false;
    }

    if (result.ok()) {
        *renamedTo = attempt;
    }
    if (known) {
        names.take(result.ok() ? platform::nameOf(attempt) : fromName);
    }
    return result;
}

}  // namespace batch
