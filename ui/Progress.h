#pragma once

// How far a long Rename or Undo is. The batch runs to its end inside one
// handler, handling no input, as it always has; this system forwards every
// call to the real one and counts the renames. Once the work has taken half a
// second it shows "412 of 1001" and a bar in the middle of the main window,
// painted at once as it goes, and takes them away when it ends.

#include <QElapsedTimer>
#include <memory>

#include "platform/Platform.h"

class QLabel;
class QProgressBar;
class QWidget;

class ProgressSystem : public platform::BatchSystem {
  public:
    // `total`: the renames the work is to make; `owner`: the window the
    // progress stands over.
    ProgressSystem(platform::BatchSystem& real, int total, QWidget& owner);
    ~ProgressSystem() override;

    platform::Status identify(const platform::PinnedDirectory& dir, QStringView name,
                              platform::Fingerprint* out,
                              platform::Contents contents = platform::Contents::Skip) override {
        return real_.identify(dir, name, out, contents);
    }
    platform::Listing list(const platform::PinnedDirectory& dir) override {
        return real_.list(dir);
    }
    platform::Status renameIn(const platform::PinnedDirectory& dir, QStringView from,
                              QStringView to,
                              const platform::Fingerprint* known = nullptr) override;
    platform::RenameTraits learnRenames(const platform::PinnedDirectory& dir) override {
        return real_.learnRenames(dir);
    }
    platform::Status dropPlaceholder(const platform::PinnedDirectory& dir,
                                     QStringView name) override {
        return real_.dropPlaceholder(dir, name);
    }
    platform::Status dropSecondName(const platform::PinnedDirectory& dir, QStringView name,
                                    QStringView keep) override {
        return real_.dropSecondName(dir, name, keep);
    }
    platform::Status readStart(const platform::PinnedDirectory& dir, QStringView name, qint64 limit,
                               QByteArray* out) override {
        return real_.readStart(dir, name, limit, out);
    }
    platform::Status writeFileDurably(const QString& path, const QByteArray& data,
                                      platform::Reach reach) override {
        return real_.writeFileDurably(path, data, reach);
    }

  private:
    void advance();

    platform::BatchSystem& real_;
    const int total_;
    int done_ = 0;
    QWidget& owner_;
    QElapsedTimer clock_;
    qint64 paintedAt_ = 0;
    std::unique_ptr<QWidget> window_;
    QLabel* count_ = nullptr;
    QProgressBar* bar_ = nullptr;
};
