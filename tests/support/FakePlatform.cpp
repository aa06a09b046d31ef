#include "tests/support/FakePlatform.h"

#include <signal.h>

#include <QDir>
#include <cerrno>

#include "engine/AppState.h"
#include "engine/RenameExecutor.h"

namespace testing_support {

namespace {

// A system error that could stand behind each of the program's numbers.
int osErrorFor(Error error) {
    switch (error) {
        case Error::FileExists:
            return EEXIST;
        case Error::PathFileAccess:
            return EACCES;
        case Error::FileNotFound:
            return ENOENT;
        case Error::PathNotFound:
            return ENOTDIR;
        case Error::DiskFull:
            return ENOSPC;
        case Error::RenameAcrossDisks:
            return EXDEV;
        default:
            return EIO;
    }
}

platform::Listing failedListing() {
    platform::Listing listing;
    listing.status = platform::Status{Error::PathFileAccess, EACCES};
    return listing;
}

}  // namespace

FaultPlatform::FaultPlatform(platform::System& inner) : inner_(inner) {}

void FaultPlatform::failRename(const QString& name, Error error, int times, RenameSide side) {
    faults_.append(RenameFault{name, error, times, side});
}

void FaultPlatform::failRenameAfter(int successfulCalls, Error error) {
    successesLeft_ = successfulCalls;
    afterError_ = error;
}

void FaultPlatform::failListing(const QString& dir) {
    failedListings_.insert(QDir::cleanPath(dir));
}

void FaultPlatform::hideDirectory(const QString& dir) {
    hidden_.insert(QDir::cleanPath(dir));
}

void FaultPlatform::refuseOpening(const QString& dir) {
    refused_.insert(QDir::cleanPath(dir));
}

void FaultPlatform::setDrives(const QStringList& drives) {
    drives_ = drives;
}

void FaultPlatform::failDurableWrites(Error error) {
    writeError_ = error;
}

void FaultPlatform::clearFaults() {
    writeError_ = Error::None;
    faults_.clear();
    successesLeft_ = -1;
    failedListings_.clear();
    hidden_.clear();
    refused_.clear();
    drives_.reset();
    beforeRename = nullptr;
    forgetInodes = false;
}

platform::Status FaultPlatform::injected(Error error) {
    ++injected_;
    return platform::Status{error, osErrorFor(error)};
}

platform::OpenedDirectory FaultPlatform::openDirectory(const QString& path) {
    if (hidden_.contains(QDir::cleanPath(path))) {
        return platform::OpenedDirectory{nullptr, platform::Status{Error::PathNotFound, ENOENT}};
    }
    if (refused_.contains(QDir::cleanPath(path))) {
        return platform::OpenedDirectory{nullptr, platform::Status{Error::PathFileAccess, EACCES}};
    }
    return inner_.openDirectory(path);
}

platform::Status FaultPlatform::renameIn(const platform::PinnedDirectory& dir, QStringView fromName,
                                         QStringView toName, const platform::Fingerprint* known) {
    const QString from = platform::joinPath(dir.path(), fromName.toString());
    const QString to = platform::joinPath(dir.path(), toName.toString());
    calls_.append(qMakePair(from, to));
    if (beforeRename) {
        beforeRename(from, to);
    }
    for (RenameFault& fault : faults_) {
        if (fault.times == 0) {
            continue;
        }
        const bool matches = (fault.side != RenameSide::Target && fault.name == fromName) ||
                             (fault.side != RenameSide::Source && fault.name == toName);
        if (matches) {
            if (fault.times > 0) {
                --fault.times;
            }
            return injected(fault.error);
        }
    }
    if (successesLeft_ == 0) {
        return injected(afterError_);
    }
    const platform::Status result = inner_.renameIn(dir, fromName, toName, known);
    if (result.ok() && successesLeft_ > 0) {
        --successesLeft_;
    }
    return result;
}

platform::Listing FaultPlatform::list(const platform::PinnedDirectory& dir) {
    return listingFails(dir.path()) ? failedListing() : inner_.list(dir);
}

platform::Status FaultPlatform::identify(const platform::PinnedDirectory& dir, QStringView name,
                                         platform::Fingerprint* out, platform::Contents contents) {
    const platform::Status status = inner_.identify(dir, name, out, contents);
    if (forgetInodes && out != nullptr) {
        out->inode = 0;
    }
    return status;
}

platform::RenameTraits FaultPlatform::learnRenames(const platform::PinnedDirectory& dir) {
    return inner_.learnRenames(dir);
}

platform::Status FaultPlatform::dropPlaceholder(const platform::PinnedDirectory& dir,
                                                QStringView name) {
    return inner_.dropPlaceholder(dir, name);
}

platform::Status FaultPlatform::dropSecondName(const platform::PinnedDirectory& dir,
                                               QStringView name, QStringView keep) {
    return inner_.dropSecondName(dir, name, keep);
}

platform::Status FaultPlatform::writeFileDurably(const QString& path, const QByteArray& data,
                                                 platform::Reach reach) {
    writes_.append(path);
    if (writeError_ != Error::None) {
        return platform::Status{writeError_, osErrorFor(writeError_)};
    }
    return inner_.writeFileDurably(path, data, reach);
}

bool FaultPlatform::listingFails(const QString& dir) const {
    const QString clean = QDir::cleanPath(dir);
    return failedListings_.contains(clean) || hidden_.contains(clean);
}

platform::Listing FaultPlatform::listDirectory(const QString& dir) {
    return listingFails(dir) ? failedListing() : inner_.listDirectory(dir);
}

bool FaultPlatform::directoryExists(const QString& dir) {
    return !hidden_.contains(QDir::cleanPath(dir)) && inner_.directoryExists(dir);
}

QStringList FaultPlatform::drives() {
    return drives_ ? *drives_ : inner_.drives();
}

batch::Plan planned(const AppState& state, const GenerationInput& input,
                    platform::BatchSystem& system) {
    return batch::previewPlan(state, nullptr, input, batch::listingOf(state, system));
}

batch::Plan renamed(AppState& state, platform::BatchSystem& system) {
    const platform::Listing listing = batch::listingOf(state, system);
    const int last = qMin(state.lastIndex, AppState::kMaxEntries - 1);
    const QStringList listed(state.oldNames.cbegin(), state.oldNames.cbegin() + last + 1);
    state.record = batch::renameBatch(state, batch::planGenerated(state, listed, listing), system);
    return state.record;
}

batch::Plan renamed(AppState& state, const GenerationInput& input, platform::BatchSystem& system) {
    const platform::Listing listing = batch::listingOf(state, system);
    state.record = batch::renameBatch(state, batch::makePlan(state, input, listing), system);
    return state.record;
}

batch::Plan undone(AppState& state, platform::BatchSystem& system) {
    batch::undoBatch(state, state.record, system);
    return state.record;
}

int renameAndDieAt(AppState& state, int k) {
    FaultPlatform p;
    int renames = 0;
    p.beforeRename = [&](const QString&, const QString&) {
        if (renames++ == k) {
            ::raise(SIGKILL);
        }
    };
    renamed(state, p);
    ::raise(SIGKILL);
    return 1;
}

}  // namespace testing_support
