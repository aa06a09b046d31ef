#pragma once

// The thin layer between Quillomat and the operating system: renaming one file
// without ever replacing another, listing directories byte-exactly, drives,
// and the program's own directory. One real implementation per system; tests
// swap in their own through setCurrent().

#include <QString>
#include <QStringList>

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

    // Renames the file at full path `from` to full path `to` in the same
    // directory. Never replaces an existing `to`; the same path is a no-op.
    virtual RenameResult renameFile(const QString& from, const QString& to) = 0;

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

    // Every entry of `dir` and the limits of its file system. By default the
    // files and subdirectories, with a 255-byte name limit.
    virtual DirectoryFacts describeDirectory(const QString& dir);
};

// The platform in use. Real by default; a test may install its own.
Platform& current();
// Installs `p` (not owned) as the platform in use; nullptr restores the real one.
void setCurrent(Platform* p);
// The real platform of this system.
Platform& real();

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
QByteArray encodeFileName(const QString& name);
// Whether the unit at `i` of a decoded name stands for such a byte: a lone
// U+DC80..U+DCFF, not the second half of a surrogate pair.
bool isEscapedByte(QStringView name, qsizetype i);
// Whether a decoded name holds any such byte.
bool holdsEscapedBytes(QStringView name);

}  // namespace platform
