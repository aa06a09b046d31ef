#pragma once

// A platform for tests: does everything on the real file system (through
// platform::real()) but fails where a test tells it to, since a test running
// as root cannot make the system refuse a rename.

#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "engine/BatchPlan.h"
#include "engine/NameGenerator.h"
#include "platform/Platform.h"

struct AppState;

namespace testing_support {

// Which name of a rename a fault is matched against (bare names, no directory).
enum class RenameSide { Either, Source, Target };

class FaultPlatform : public platform::System {
  public:
    explicit FaultPlatform(platform::System& inner = platform::real());

    // Renames whose source or target (see `side`) has the bare name `name` fail
    // with `error` (Error::PathFileAccess, say) and touch nothing;
    // `times` failures, or every one when -1. Rules are tried in the order given.
    void failRename(const QString& name, Error error, int times = -1,
                    RenameSide side = RenameSide::Either);
    // The next `successfulCalls` renames that succeed go through; every rename
    // after them fails with `error` (a disk that fills up mid-batch).
    void failRenameAfter(int successfulCalls, Error error);
    // Listings of `dir` (by path or pinned) fail with 75.
    void failListing(const QString& dir);
    // As failListing(), and directoryExists(dir) answers false and
    // openDirectory(dir) fails with 76 as well (a drive that is not ready, a
    // directory removed behind the program's back).
    void hideDirectory(const QString& dir);
    // openDirectory(dir) fails with 75 (EACCES), as where search permission
    // on the way to it is refused; it still lists.
    void refuseOpening(const QString& dir);
    // drives() answers `drives` instead of the real mounted volumes.
    void setDrives(const QStringList& drives);
    // writeFileDurably() fails with `error` and writes nothing (a full disk,
    // a state directory that cannot be written).
    void failDurableWrites(Error error);
    // Drops every fault, the drive list and the hook; the counters stay.
    void clearFaults();

    // Runs at the start of every rename, before any fault applies, with the
    // full paths (the pinned directory's path and the names): a test may
    // delete or create files here to race the batch, or end the process.
    std::function<void(const QString& from, const QString& to)> beforeRename;
    // identify() tells no inode number, as on a mount whose inode numbers
    // do not last (FUSE, FAT, network).
    bool forgetInodes = false;

    // Every rename so far, failed ones included.
    int renameCalls() const { return calls_.size(); }
    // The (from, to) full paths of those calls, in order.
    QList<QPair<QString, QString>> renameLog() const { return calls_; }
    // How many of them failed through an injected fault.
    int injectedFailures() const { return injected_; }
    // Every durable write so far, by path.
    QStringList durableWrites() const { return writes_; }

    platform::Status identify(const platform::PinnedDirectory& dir, QStringView name,
                              platform::Fingerprint* out, platform::Contents contents) override;
    platform::RenameTraits learnRenames(const platform::PinnedDirectory& dir) override;
    platform::Status dropPlaceholder(const platform::PinnedDirectory& dir,
                                     QStringView name) override;
    platform::Status dropSecondName(const platform::PinnedDirectory& dir, QStringView name,
                                    QStringView keep) override;
    platform::Listing list(const platform::PinnedDirectory& dir) override;
    platform::Status renameIn(const platform::PinnedDirectory& dir, QStringView from,
                              QStringView to,
                              const platform::Fingerprint* known = nullptr) override;
    platform::Status writeFileDurably(const QString& path, const QByteArray& data,
                                      platform::Reach reach) override;
    platform::OpenedDirectory openDirectory(const QString& path) override;
    platform::Listing listDirectory(const QString& dir) override;
    bool directoryExists(const QString& dir) override;
    QStringList drives() override;

  private:
    struct RenameFault {
        QString name;
        Error error;
        int times;
        RenameSide side;
    };

    platform::Status injected(Error error);
    bool listingFails(const QString& dir) const;

    platform::System& inner_;
    QList<RenameFault> faults_;
    int successesLeft_ = -1;  // -1: no failRenameAfter() in force
    Error afterError_ = Error::None;
    Error writeError_ = Error::None;
    QStringList writes_;
    QSet<QString> failedListings_;
    QSet<QString> hidden_;
    QSet<QString> refused_;
    std::optional<QStringList> drives_;
    QList<QPair<QString, QString>> calls_;
    int injected_ = 0;
};

// Rename and Undo of the batch that generation left in `state`, as the
// windows run them: planned over the directory as `system` lists it now,
// carried out, and the record kept in state.record for the undo.
batch::Plan renamed(AppState& state, platform::BatchSystem& system);
// The same from the start, as the Rename button runs it: generation first.
batch::Plan renamed(AppState& state, const GenerationInput& input, platform::BatchSystem& system);
// What the preview shows for the batch of `input` by the analysis Extract
// recorded in `state`, the directory listed by `system` now.
batch::Plan planned(const AppState& state, const GenerationInput& input,
                    platform::BatchSystem& system);
batch::Plan undone(AppState& state, platform::BatchSystem& system);

// Renames the batch of `state` and ends the process (SIGKILL: no chance to
// clean up) just before its k-th rename, or once it is done: a batch cut short
// by a crash, for a test's child process.
int renameAndDieAt(AppState& state, int k);

// Installs a platform for its lifetime, then puts the real one back.
class ScopedPlatform {
  public:
    explicit ScopedPlatform(platform::System& p) { platform::setCurrent(&p); }
    ~ScopedPlatform() { platform::setCurrent(nullptr); }
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;
};

}  // namespace testing_support
