#pragma once

// Fixtures shared by the test suites: private settings stores, temporary
// directories filled with files, and snapshots of a directory's contents.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

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

// A temporary directory with helpers to create and inspect files.
class TempFiles {
  public:
    TempFiles();
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
// Removes every file of `dir`, whatever its name (QTemporaryDir cannot
// remove a name that is not UTF-8).
void removeAllRaw(const QString& dir);

// The device and inode of the entry at `path` itself.
platform::FileId fileIdOf(const QString& path);
// Writes `record` as the journal of a program that has ended (no lock held),
// in the journal directory; returns its path, empty when it failed.
QString leaveUnfinishedJournal(const journal::Record& record);

}  // namespace testing_support
