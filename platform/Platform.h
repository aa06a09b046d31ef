#pragma once

// The thin layer between Quillomat and the operating system. What a batch
// needs (who a file is, what a directory holds, a rename that never replaces
// another file in a pinned directory, a durable write) is the small interface
// BatchSystem; the preview's in-memory directory implements just that. System
// adds what the windows need besides (pinning a directory, listings by path,
// drives). One real implementation per operating system; tests swap in their
// own through setCurrent(). Besides: the few calls the settings store and the
// about box need (a file read without waiting, a lock beside a file, the
// registry on Windows, the system-information tool).

#include <QByteArray>
#include <QHashFunctions>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "platform/Error.h"

namespace platform {

// The outcome of a call that reaches the system: the program's error number
// and the system's own code behind it (errno on Linux, the Win32 error code
// on Windows), kept for messages. Where no code of the system says what went
// wrong, the program's own words say it (English, marked for translation
// with QT_TRANSLATE_NOOP in the context "Status").
struct Status {
    Error error = Error::None;
    int osError = 0;
    const char* ownReason = nullptr;

    bool ok() const { return error == Error::None; }
    // The program's own reason, translated, where there is one; else the
    // system's words for osError ("No space left on device"); empty when
    // there is neither.
    QString reason() const;
};

// What tells a file of a batch from any other file: its size; its
// modification time where a rename in its directory leaves the time as it
// was (fusefat sets it to now); its inode number where the file system keeps
// inode numbers for good (FUSE, FAT-family and network mounts hand out new
// ones after a remount, some give every path its own, and every system reuses
// them); and a hash of its contents where neither of those can be trusted
// (fusefat), so that a file of the same size under a name of the batch is
// not taken for the batch's own.
struct Fingerprint {
    qint64 size = -1;
    qint64 modified = 0;     // nanoseconds since the epoch
    quint64 inode = 0;       // 0 where inode numbers do not last
    quint64 contents = 0;    // 0 where not taken (Contents::Hash)
    bool timeCounts = true;  // false where a rename rewrites the time
    quint64 links = 0;       // its names (hard links) when it was taken

    // Whether `now` was taken of the same file. Where there is no lasting
    // inode number the time may have been rounded (FAT keeps two seconds).
    bool matches(const Fingerprint& now) const;
};

// The 64-bit FNV-1a hash of the `n` bytes at `data`, going on from `hash`:
// what a fingerprint's contents hash is made of.
inline quint64 fnv1a(const char* data, qsizetype n, quint64 hash = 0xcbf29ce484222325ULL) {
    for (qsizetype i = 0; i < n; ++i) {
        hash = (hash ^ quint8(data[i])) * 0x100000001b3ULL;
    }
    return hash;
}

// A fingerprint's contents hash of a file of `size` bytes, whose bytes
// `read(buffer, length, at)` reads (the count read; below 0 on failure): all
// of it up to 16 KiB, four blocks of 4 KiB spread over a larger file (a batch
// of photos on a slow stick is read in moments). Never 0.
quint64 sampledHash(qint64 size, const std::function<qint64(char*, qint64, qint64)>& read);

// Whether identify() reads a file to hash its contents (the whole of a small
// file, four samples of a larger one).
enum class Contents { Skip, Hash };

// A directory's entries by kind, as the one directory walker finds them (in
// no particular order; "." and ".." left out). A symbolic link counts as what
// it points at.
struct Listing {
    Status status;              // not ok when the directory could not be read at all
    QStringList files{};        // ordinary files
    QStringList directories{};  // subdirectories
    QStringList others{};       // pipes, sockets, devices, links to nothing
};

// What the file system of a directory takes as a name, known from its type
// (the mount table, the FUSE subtype or the volume's own signature).
struct NameRules {
    bool caseInsensitive = false;  // names that differ only in letter case are one name
    bool windowsNames = false;     // FAT-family and NTFS: what Windows refuses is refused
    bool asciiOnly = false;        // a driver that takes no other characters (fusefat)
    int maxBytes = 255;            // the longest name in bytes; 0 for no such limit
    int maxUnits = 0;              // the longest name in UTF-16 units; 0 for no such limit
    bool readOnly = false;         // mounted read-only: no rename can succeed
    bool stableInodes = true;      // inode numbers last across renames and remounts

    enum class Refusal { None, Character, TrailingDot, TrailingBlank, ReservedName, TooLong };
    struct Verdict {
        Refusal refusal = Refusal::None;
        QChar character;  // the character refused (Refusal::Character)
    };
    // Whether the file system (or Windows, on the drives it shares) would
    // refuse `name`, a plain file name, and why.
    Verdict check(QStringView name) const;
    // `a` and `b` name the same entry on this file system.
    bool sameName(QStringView a, QStringView b) const;
};

// How renames in a directory avoid replacing a file, and what each leaves
// where the process ends between its steps (what a restore finds):
// - NoReplace: one step; the file is under its old name or its new one.
// - Link: after the link, the file under both names (the old one not yet
//   dropped: dropSecondName).
// - Reserve: after the exclusive create, an empty file under the new name
//   (dropPlaceholder); the rename over it is one step.
// - Checked: one step that changes anything, the plain rename; the
//   no-replace rename before it only asks (it changes nothing).
// - A change of letter case alone goes by a name of ours (".quillomat-"
//   and hex digits) in two renames of the way in use: between them the file
//   is under that name, with what the way leaves mid-step besides.
// - Unknown: the first rename tries NoReplace, then Link, then Reserve, so
//   any state of these three.
enum class RenameWay : int {
    Unknown,
    NoReplace,  // the system's own no-replace rename
    Link,       // a hard link under the new name, then the old name dropped
    Reserve,    // the new name reserved by a placeholder of our own, then renamed over
    // Where the driver has none of these that keeps the files (fusefat): the
    // no-replace rename answers EEXIST for a taken name and EINVAL, for the
    // flag, for a free one; then a plain rename at once.
    Checked,
};

// The name a change of letter case parks the file `from` under on its way
// (the `attempt`-th, 0 to kParkingAttempts - 1, when earlier ones are
// taken): known from the name alone, so a restore after a kill looks there
// and nowhere else.
inline constexpr int kParkingAttempts = 4;
QString parkingName(QStringView from, int attempt);

// What renames in a directory are like: found out before a batch's journal
// is written (BatchSystem::learnRenames), kept in the journal, and handed to
// the directory a restore opens.
struct RenameTraits {
    RenameWay way = RenameWay::Unknown;
    bool keepsTime = true;  // a rename leaves the file's modification time as it was

    friend bool operator==(const RenameTraits& a, const RenameTraits& b) {
        return a.way == b.way && a.keepsTime == b.keepsTime;
    }
};

// A directory held open for a batch. It stays the same directory whatever
// happens to its path afterwards (moved, replaced, "Dir" rewritten): every
// rename through it lands in it or fails. Released when the last copy of the
// Directory pointer goes.
class PinnedDirectory {
  public:
    virtual ~PinnedDirectory() = default;

    // The path it was opened by, as the user chose it.
    const QString& path() const { return path_; }
    // The system's handle of it: an open descriptor on Linux, a HANDLE on Windows.
    qintptr handle() const { return handle_; }
    const NameRules& rules() const { return rules_; }

    RenameWay renameWay() const { return way_.load(std::memory_order_relaxed); }
    void setRenameWay(RenameWay way) const { way_.store(way, std::memory_order_relaxed); }
    RenameTraits renameTraits() const { return RenameTraits{renameWay(), keepsTime_.load()}; }
    // Known once learnRenames() has run here, or a journal said so.
    bool traitsKnown() const { return traitsKnown_.load(); }
    void setRenameTraits(const RenameTraits& traits) const {
        setRenameWay(traits.way);
        keepsTime_.store(traits.keepsTime);
        traitsKnown_.store(true);
    }
    // What a fingerprint of a file here must hold to tell it from others.
    Contents contentsNeeded() const {
        return keepsTime_.load() || rules_.stableInodes ? Contents::Skip : Contents::Hash;
    }

  protected:
    PinnedDirectory(const QString& path, qintptr handle, const NameRules& rules)
        : path_(path), handle_(handle), rules_(rules) {}

  private:
    QString path_;
    qintptr handle_;
    NameRules rules_;
    // Atomic, so that no copy of a pinned directory can be made.
    mutable std::atomic<RenameWay> way_{RenameWay::Unknown};
    mutable std::atomic<bool> keepsTime_{true};
    mutable std::atomic<bool> traitsKnown_{false};
};
using Directory = std::shared_ptr<const PinnedDirectory>;

struct OpenedDirectory {
    Directory directory;  // null when it could not be opened
    Status status;
};

// Where a file may be read or written: wherever its path leads, or only in a
// folder that is the user's alone (not a symbolic link, the user's own,
// writable by no one else), the file itself the user's own and no link: the
// journals, which say what to rename. The reasons given otherwise are the
// program's own: "it is a symbolic link", "another user owns it", "others
// can write in it".
enum class Reach { Anywhere, UsersAlone };

// Whether the folder `path` is the user's alone, as Reach::UsersAlone asks,
// and why not.
Status usersAlone(const QString& path);

// What a batch asks of the system, all of it about one pinned directory.
class BatchSystem {
  public:
    virtual ~BatchSystem() = default;

    // The fingerprint of the file `name` of `dir` (a link is the link
    // itself), its contents hashed when asked. A file that is not there, or a
    // directory of that name, gives Error::FileNotFound; a directory removed
    // since it was pinned Error::PathNotFound. timeCounts follows the
    // directory's traits.
    virtual Status identify(const PinnedDirectory& dir, QStringView name, Fingerprint* out,
                            Contents contents = Contents::Skip) = 0;

    // Every entry of `dir`. A directory removed since it was pinned gives
    // Error::PathNotFound.
    virtual Listing list(const PinnedDirectory& dir) = 0;

    // Renames the file `from` to `to`, both plain names (isPlainFileName) in
    // `dir`. Never replaces an existing `to`, on any file system; the same
    // name is a no-op, and on a case-insensitive file system a change of
    // letter case alone is a rename, not a taken name. A name that is not
    // plain is refused with Error::PathFileAccess before it reaches the
    // system; which names the file system takes is the caller's to check
    // (NameRules), since a file's own old name is always allowed back.
    // `known`, where given, is the fingerprint the batch took of the file
    // (a link and the old name dropped may take it for a look before the link).
    virtual Status renameIn(const PinnedDirectory& dir, QStringView from, QStringView to,
                            const Fingerprint* known = nullptr) = 0;

    // Finds out, unless the directory knows already, how renames in `dir`
    // avoid replacing a file and whether they keep a file's time: from the
    // file system's type, never by trying a rename there. Stored in the
    // directory; where the type tells nothing, the safe answers (the way
    // found at the first rename, the time no proof).
    virtual RenameTraits learnRenames(const PinnedDirectory& dir) { return dir.renameTraits(); }

    // What a restore removes of what an interrupted rename made, and nothing
    // else. dropPlaceholder() removes `name` only while it is an empty
    // file, as the placeholder a rename reserved a name with is
    // (RenameWay::Reserve; the restore tells which name that is);
    // dropSecondName() removes `name` only while the file system shows it
    // and `keep` to be two names of one file (one inode, counted links: a
    // link made, the old name not yet dropped). Any other file gives
    // Error::FileExists and is left alone.
    virtual Status dropPlaceholder(const PinnedDirectory& dir, QStringView name);
    virtual Status dropSecondName(const PinnedDirectory& dir, QStringView name, QStringView keep);

    // Up to `limit` bytes from the start of the regular file `name` of `dir`
    // (a link is not followed; nothing waits on a FIFO or device), as the
    // date a photo was taken is read.
    virtual Status readStart(const PinnedDirectory& dir, QStringView name, qint64 limit,
                             QByteArray* out);

    // The one durable writer: replaces the file `path` by one holding `data`.
    // The data go to a new file beside it (named temporaryPrefix(path) and
    // six more characters), which is flushed, renamed over `path`, and
    // flushed with its directory. A symbolic link at `path` is followed, not
    // replaced, and an existing file keeps its mode. On any failure `path`
    // is left as it was and the new file removed. The directory must exist.
    // Reach::UsersAlone: neither `path` nor its folder is followed as a link,
    // and the folder, checked on the descriptor the write goes through, must
    // be the user's alone; the file made is the user's own, mode 0600.
    virtual Status writeFileDurably(const QString& path, const QByteArray& data,
                                    Reach reach = Reach::Anywhere) = 0;
};

// What the windows ask besides.
class System : public BatchSystem {
  public:
    // Pins the directory at `path` and finds its NameRules. A path that is
    // no directory gives Error::PathNotFound.
    virtual OpenedDirectory openDirectory(const QString& path) = 0;
    // Every entry of the directory at `path`.
    virtual Listing listDirectory(const QString& path) = 0;
    virtual bool directoryExists(const QString& path) = 0;
    // The roots a user can pick in the drive list, the system's main root first.
    virtual QStringList drives() = 0;
};

// The system in use. Real by default; a test may install its own.
System& current();
// Installs `s` (not owned) as the system in use; nullptr restores the real one.
void setCurrent(System* s);
// The real system of this machine.
System& real();

// The full path of the system-information program, or empty text. On Windows
// the registry names it (HKLM "SOFTWARE\Microsoft\Shared Tools\MSINFO" value
// "PATH", else MSINFO32.EXE in the folder of "SOFTWARE\Microsoft\Shared Tools
// Location" value "MSINFO" when that file exists); elsewhere it is the first
// of hardinfo2, hardinfo, kinfocenter and gnome-system-monitor on PATH.
QString systemInformationTool();

// The reason readRegularFile() gives for anything but a regular file.
inline constexpr char kNotRegularFile[] = QT_TRANSLATE_NOOP("Status", "Not a regular file");

// Reads the whole file at `path` into `out`, only from a regular file and
// never waiting: anything else (a FIFO, a device) is refused before it is
// opened, and again once it is open, with kNotRegularFile; a directory with
// the system's code for one. A link is followed where `reach` allows it. On a failure `out` holds
// what was read before it.
Status readRegularFile(const QString& path, QByteArray* out, Reach reach = Reach::Anywhere);

// Creates the directory `path` and its missing parents, private to the
// user. An empty path or one that exists already is no failure.
Status makeDirectories(const QString& path);

// Runs `work` while holding a lock on the file "<path>.lock" beside `path`
// (created when missing and left in place), so that running instances of
// the program take turns at `path`, and returns what it returns. Waits
// `milliseconds` at most while another holds the lock; past that, gives
// Error::PathFileAccess with `heldTooLong` as its reason and runs nothing.
Status withLockBeside(const QString& path, int milliseconds, const char* heldTooLong,
                      const std::function<Status()>& work);

// Keys and their values, in the order given.
using SettingValues = QList<std::pair<QString, QString>>;

// A settings store that the system keeps for programs: the registry on
// Windows (HKEY_CURRENT_USER\Software\<application>, through QSettings).
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // Where the store of `appName` lives, as the user would look it up.
    virtual QString location(const QString& appName) = 0;
    // The value of `key` in `section`, or nothing when it is not stored.
    virtual std::optional<QString> value(const QString& appName, const QString& section,
                                         const QString& key) = 0;
    // Stores every one of `values` in `section`.
    virtual Status save(const QString& appName, const QString& section,
                        const SettingValues& values) = 0;
};
// The system's settings store; null where there is none (Linux), and the
// program keeps a file of its own.
SettingsStore* systemSettingsStore();

// The name a durable write of `path` gives its new file, less the six
// characters that make it unique.
QString temporaryPrefix(const QString& path);
// Six random letters and digits: what makes a durable write's new file
// unique after temporaryPrefix().
QString uniqueSuffix();
// Whether `text` is such a suffix.
bool isUniqueSuffix(QStringView text);
// Removes the new files that durable writes of `path` left behind when they
// were cut short. Call it only while no other write of `path` can run (the
// caller holds the lock that guards `path`).
void removeLeftTemporaries(const QString& path);

// A per-user base directory by the XDG rules: the environment variable
// `variable` (XDG_CONFIG_HOME, XDG_STATE_HOME) when it holds an absolute path
// (a relative one is ignored), else `underHome` below the home directory
// ("/.config", "/.local/state"). On Windows the local application data folder.
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
// Whether the normalised full path `path` is `root` or lies below it, as this
// system compares paths (Windows ignores letter case).
bool isWithin(const QString& path, const QString& root);
// True when `name` may be used as a file name inside a directory: not empty,
// not "." or "..", and holding neither a separator nor a NUL.
bool isPlainFileName(QStringView name);

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

// The sort keys of `names` in the order people read them in `locale`, the
// order QCollator gives with letter case ignored and digits by value (its
// numeric mode): one after another, each ending in its only 0 byte, so that
// two keys compare as C strings (strcmp) as their names do.
QByteArray sortKeys(const QLocale& locale, const QString* names, qsizetype count);

}  // namespace platform
