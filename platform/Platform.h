#pragma once

// The thin layer between Quillomat and the operating system: renaming one file
// without ever replacing another, listing directories byte-exactly, telling
// files apart by identity, writing the program's own files durably, drives,
// and the program's own directory. One real implementation per system; tests
// swap in their own through setCurrent().

#include <QByteArray>
#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>

#include "platform/Error.h"

namespace platform {

struct RenameResult {
    Error error = Error::None;
    int osError = 0;  // the system's own code behind it, kept for messages

    bool ok() const { return error == Error::None; }
};

// Result of listing a directory: every entry of the asked kind, sorted by name.
struct Listing {
    QStringList names;
    bool ok = false;  // false when the directory could not be read at all
};

// Who a file is, whatever its name: device and inode on Linux, volume serial
// number and file index on Windows. A rename keeps it; a file saved anew
// under the same name gets another.
struct FileId {
    quint64 device = 0;
    quint64 inode = 0;

    friend bool operator==(const FileId& a, const FileId& b) {
        return a.device == b.device && a.inode == b.inode;
    }
    friend bool operator!=(const FileId& a, const FileId& b) { return !(a == b); }
};
inline size_t qHash(const FileId& id, size_t seed = 0) {
    return qHashMulti(seed, id.device, id.inode);
}

struct Identity {
    Error error = Error::None;
    int osError = 0;
    FileId id;

    bool ok() const { return error == Error::None; }
};

// The entries of a directory that are not directories, each with its identity.
struct IdListing {
    QStringList names;
    QList<FileId> ids;  // ids[i] belongs to names[i]
    bool ok = false;
};

// A directory held open for a batch. It stays the same directory whatever
// happens to its path afterwards (moved, replaced, "Dir" rewritten): every
// rename through it lands in it or fails. Released when the last copy of the
// Directory pointer goes.
class PinnedDirectory {
  public:
    virtual ~PinnedDirectory() = default;
    PinnedDirectory(const PinnedDirectory&) = delete;
    PinnedDirectory& operator=(const PinnedDirectory&) = delete;

    // The path it was opened by, as the user chose it.
    const QString& path() const { return path_; }
    // The system's handle of it: an open descriptor on Linux; -1 where the
    // platform works by path (Windows).
    qintptr handle() const { return handle_; }

  protected:
    PinnedDirectory(const QString& path, qintptr handle) : path_(path), handle_(handle) {}

  private:
    QString path_;
    qintptr handle_;
};
using Directory = std::shared_ptr<const PinnedDirectory>;

struct OpenedDirectory {
    Directory directory;  // null when it could not be opened
    Error error = Error::None;
    int osError = 0;
};

// What a dry run needs to know of a directory to foresee every rename in it.
struct DirectoryFacts {
    bool ok = false;           // false when the directory could not be read at all
    QStringList files;         // the ordinary files (what listFiles() gives)
    QStringList otherEntries;  // every other entry: directories, links to nothing, pipes...
    int maxNameBytes = 255;    // the longest name its file system takes, in bytes
    bool readOnly = false;     // mounted read-only: no rename can succeed
};

class Platform {
  public:
    virtual ~Platform() = default;

    // Pins the directory at `path`. A path that is no directory gives
    // Error::PathNotFound.
    virtual OpenedDirectory openDirectory(const QString& path) = 0;

    // Renames the file `from` to `to`, both plain names (isPlainFileName) in
    // `dir`. Never replaces an existing `to`; the same name is a no-op. A name
    // that is not plain is refused with Error::PathFileAccess before it
    // reaches the system; a directory removed since it was pinned gives
    // Error::PathNotFound.
    virtual RenameResult renameIn(const PinnedDirectory& dir, QStringView from, QStringView to) = 0;

    // Renames the file at full path `from` to full path `to` in the same
    // directory (isRenameInPlace), through renameIn() on that directory.
    RenameResult renameFile(const QString& from, const QString& to);

    // The ordinary files of a pinned directory, as listFiles() gives them.
    virtual Listing listFilesIn(const PinnedDirectory& dir) = 0;

    // The identity of the directory itself; Error::PathNotFound once it has
    // been removed.
    virtual Identity identify(const PinnedDirectory& dir) = 0;

    // Every entry of `dir` that is not a directory (a symbolic link is the
    // link itself: a rename moves the link), with its identity, in one pass
    // over the directory.
    virtual IdListing listIds(const PinnedDirectory& dir) = 0;

    // Replaces the file `path` by one holding `data`: written to a temporary
    // file beside it, renamed over it, and flushed to disk with its
    // directory. Once it returns without error the new content is on disk
    // under `path`. A crash before that may leave `path` holding part of
    // `data`, so a reader must be able to tell a whole file from a cut one.
    // The directory must exist.
    virtual Error writeFileDurably(const QString& path, const QByteArray& data) = 0;

    // The ordinary files of `dir` by bare name (names that are not valid
    // UTF-8 come back decoded losslessly, see decodeFileName()).
    virtual Listing listFiles(const QString& dir) = 0;

    // The subdirectories of `dir` by bare name, "." and ".." left out.
    virtual Listing listDirectories(const QString& dir) = 0;

    virtual bool directoryExists(const QString& dir) = 0;
    virtual bool fileExists(const QString& path) = 0;

    // The roots a user can pick in the drive list, the system's main root first.
    virtual QStringList drives() = 0;

    // The directory that holds the running program's executable.
    virtual QString programDirectory() = 0;

    // Every entry of a pinned directory and the limits of its file system.
    // By default its files and the subdirectories of its path, with a
    // 255-byte name limit.
    virtual DirectoryFacts describeDirectory(const PinnedDirectory& dir);
};

// The platform in use. Real by default; a test may install its own.
Platform& current();
// Installs `p` (not owned) as the platform in use; nullptr restores the real one.
void setCurrent(Platform* p);
// The real platform of this system.
Platform& real();

// A per-user base directory by the XDG rules: the environment variable
// `variable` (XDG_CONFIG_HOME, XDG_STATE_HOME) when it holds an absolute path
// (a relative one is ignored), else `underHome` below the home directory
// ("/.config", "/.local/state"). Bytes that are not UTF-8 are kept losslessly.
QString xdgBaseDirectory(const char* variable, const QString& underHome);

// The path separator of this system ("/" on Linux, "\\" on Windows).
QString separator();
// The default directory: the root of the system's main file system.
QString defaultDirectory();
// A directory ready to have separator() + name appended: a root loses its
// trailing separator ("/" becomes "", "C:\\" becomes "C:"); nothing else changes.
QString withoutRootSeparator(const QString& dir);
// dir + separator + name, with a root directory's own separator dropped first.
QString joinPath(const QString& dir, const QString& name);
// The directory part of a full path (everything before the last separator).
QString directoryOf(const QString& path);
// The name part of a full path (everything after the last separator).
QString nameOf(const QString& path);
// The same two parts as views into `path`, for the per-file path of a batch.
QStringView directoryViewOf(QStringView path);
QStringView nameViewOf(QStringView path);
// True when `name` may be used as a file name inside a directory: not empty,
// not "." or "..", and holding neither a separator nor a NUL.
bool isPlainFileName(QStringView name);
// True when renaming `from` to `to` only changes the name: both end in a plain
// file name (isPlainFileName) and lie in the same directory, spelt the same
// way, and neither path holds a NUL. Every platform refuses any other rename
// with Error::PathFileAccess before it reaches the system.
bool isRenameInPlace(const QString& from, const QString& to);

// File names on Linux are bytes. decodeFileName() turns them into text without
// losing any: valid UTF-8 decodes as usual, every byte that is not part of a
// valid sequence becomes one code point U+DC80..U+DCFF (U+DC00 + the byte, so
// 0x80 -> U+DC80 and 0xFF -> U+DCFF). encodeFileName() is the exact inverse (a
// lone U+DC80..U+DCFF becomes its byte, everything else UTF-8), so
// decode-then-encode gives back the same bytes for any byte string.
QString decodeFileName(const QByteArray& bytes);
QByteArray encodeFileName(QStringView name);
// Whether the unit at `i` of a decoded name stands for such a byte: a lone
// U+DC80..U+DCFF, not the second half of a surrogate pair.
bool isEscapedByte(QStringView name, qsizetype i);
// Whether a decoded name holds any such byte.
bool holdsEscapedBytes(QStringView name);

}  // namespace platform
