#pragma once

// Fixtures shared by the test suites: private settings stores, temporary
// directories filled with files, and snapshots of a directory's contents.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/NameGenerator.h"

#include "engine/Journal.h"
#include "platform/Platform.h"

namespace testing_support {

// Points an environment variable at a fresh temporary directory for its
// lifetime, then puts the old value back.
class ScopedEnvironmentDir {
  public:
    explicit ScopedEnvironmentDir(const char* variable);
    ~ScopedEnvironmentDir();
    ScopedEnvironmentDir(const ScopedEnvironmentDir&) = delete;
    ScopedEnvironmentDir& operator=(const ScopedEnvironmentDir&) = delete;

    QString path() const { return dir_.path(); }

  private:
    const char* variable_;
    QTemporaryDir dir_;
    QByteArray previous_;
    bool hadPrevious_ = false;
};

// Points XDG_CONFIG_HOME and XDG_STATE_HOME at fresh temporary directories
// for its lifetime, so a test never sees the user's settings or batch
// journal, nor another test's.
class ScopedSettings {
  public:
    ScopedSettings() : config_("XDG_CONFIG_HOME"), state_("XDG_STATE_HOME") {}

    QString configDir() const { return config_.path(); }
    QString stateDir() const { return state_.path(); }

  private:
    ScopedEnvironmentDir config_;
    ScopedEnvironmentDir state_;
};

// Removes `path` and everything below it, whatever the names.
void removeTree(const QString& path);

// A temporary directory with helpers to create and inspect files. It goes
// with everything in it, names that are not UTF-8 included.
class TempFiles {
  public:
    TempFiles();
    ~TempFiles();
    TempFiles(const TempFiles&) = delete;
    TempFiles& operator=(const TempFiles&) = delete;
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const;
    // Creates `name` holding `content` (its own name by default).
    void create(const QString& name, const QByteArray& content = QByteArray());
    void createAll(const QStringList& names);
    bool exists(const QString& name) const;
    // The names in the directory, sorted (files only).
    QStringList names() const;
    QByteArray read(const QString& name) const;

  private:
    QTemporaryDir dir_;
};

// Guards a test against a FIFO that the program might wait on: once the test
// has run for `seconds`, it keeps opening the FIFO's writing end, which lets a
// reader stuck in open() go on (and read an empty file), and records that it
// had to.
class FifoWatchdog {
  public:
    FifoWatchdog(const QString& fifo, int seconds);
    ~FifoWatchdog();
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    // Ends the watch; true when a reader had been waiting on the FIFO.
    bool finish();

  private:
    std::mutex mutex_;
    std::condition_variable over_;
    bool finished_ = false;
    std::atomic<bool> released_{false};
    std::thread thread_;
};

// A small tmpfs mounted on a directory of its own for its lifetime, where the
// system lets the test mount one (mounted() says whether it did).
class ScopedTmpfs {
  public:
    explicit ScopedTmpfs(int kilobytes);
    ~ScopedTmpfs();
    ScopedTmpfs(const ScopedTmpfs&) = delete;
    ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    // Fills what is left of it; true when it is full.
    bool fill();
    // Makes it read-only; true when that worked.
    bool makeReadOnly();

  private:
    QTemporaryDir dir_;
    QByteArray options_;
    bool mounted_ = false;
};

// One batch as the main window would hold it: the listed files, the
// example, the mask and the naming options.
struct Batch {
    QStringList listed;
    QString example;
    QString mask;
    QString prefix;
    QString suffix;
    QString start;
    QString lettering;
    NamingSteps steps{};

    GenerationInput input() const;
    // The state after the chooser's OK in `dir` and Extract.
    std::unique_ptr<AppState> extracted(const QString& dir) const;
};

// Writes a small JPEG photo to `path` whose Exif data say it was taken at
// `taken` ("2024:06:01 09:30:00"), made by libexiv2.
void writePhoto(const QString& path, const QString& taken);
// Creates each of `files` in `dir`: "name" as TempFiles::create does,
// "name=2024:06:01 09:30:00" as a photo taken then.
void createFiles(TempFiles& dir, const QStringList& files);
// Naming steps from "field=value" items named as NamingSteps' members
// (enums and flags as numbers); the others at their defaults.
NamingSteps namingSteps(const QStringList& fields);

// name -> content of every file in `dir`.
QMap<QString, QByteArray> snapshot(const QString& dir);
// The multiset of contents (sorted), which renames must never change.
QList<QByteArray> contents(const QString& dir);

// The same for names as the system spells them, valid UTF-8 or not (QDir
// leaves the others out): name -> content of every entry of `dir`.
QMap<QByteArray, QByteArray> rawSnapshot(const QString& dir);
// The contents of a raw snapshot, sorted.
QList<QByteArray> rawContents(const QMap<QByteArray, QByteArray>& snapshot);
// Creates the file `name` (bytes) in `dir`, holding its own name.
void createRaw(const QString& dir, const QByteArray& name);
// Writes the script `script` (its "#!" line first) to `path`, a program
// anyone may run when `executable`.
void createProgram(const QString& path, const QByteArray& script, bool executable = true);
// Removes every file of `dir`, whatever its name (QTemporaryDir cannot
// remove a name that is not UTF-8).
void removeAllRaw(const QString& dir);

// Copies `from` in `dir` to `to` as `cp -p` does: the same bytes and time.
void copyKeepingTime(const QString& dir, const QString& from, const QString& to);
// The fingerprint of the file at `path`, as the real system takes it.
platform::Fingerprint fingerprintOf(const QString& path);
// Writes `record` as the journal of a program that has ended (no lock held),
// in the journal directory; returns its path, empty when it failed.
QString leaveUnfinishedJournal(const journal::Record& record);

}  // namespace testing_support
