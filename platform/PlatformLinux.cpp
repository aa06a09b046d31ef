#include "platform/PlatformLinux.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unicode/ucol.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>

#ifndef FS_CASEFOLD_FL
#define FS_CASEFOLD_FL 0x40000000
#endif

namespace platform {

namespace {

// openat takes its mode as a variadic argument.
int systemOpenat(int dirFd, const char* path, int flags, mode_t mode) {
    return ::openat(dirFd, path, flags, mode);
}

// errno -> the program's error number.
constexpr std::pair<int, Error> kErrnoTable[] = {
    {EEXIST, Error::FileExists},
    {ENOTEMPTY, Error::FileExists},
    {EISDIR, Error::FileExists},
    {EACCES, Error::PathFileAccess},
    {EPERM, Error::PathFileAccess},
    {EBUSY, Error::PathFileAccess},
    {ETXTBSY, Error::PathFileAccess},
    {EROFS, Error::PathFileAccess},
    {ENAMETOOLONG, Error::PathFileAccess},
    {EINVAL, Error::PathFileAccess},  // a name the file system does not take
    {EILSEQ, Error::PathFileAccess},
    {ENOENT, Error::FileNotFound},
    {ENOTDIR, Error::PathNotFound},
    {ENOSPC, Error::DiskFull},
    {EDQUOT, Error::DiskFull},
    {EXDEV, Error::RenameAcrossDisks},
};

// The status of a failed call that set errno to `osError`. ENOENT is a
// missing path where the directory itself has gone.
Status systemError(int osError, bool directoryExists = true) {
    for (const auto& [known, error] : kErrnoTable) {
        if (known == osError) {
            return Status{known == ENOENT && !directoryExists ? Error::PathNotFound : error,
                          osError};
        }
    }
    return Status{Error::InvalidCall, osError};
}

class LinuxDirectory : public PinnedDirectory {
  public:
    LinuxDirectory(const QString& path, int fd, const NameRules& rules,
                   std::optional<RenameTraits> renames)
        : PinnedDirectory(path, fd, rules), knownRenames(renames) {}
    ~LinuxDirectory() override { ::close(static_cast<int>(handle())); }

    // How renames go on its file system, where the mount table names one we know.
    const std::optional<RenameTraits> knownRenames;
};

// A failure in the directory `dirFd`: ENOENT is a missing path once the
// directory itself has gone. A pinned directory that has been removed keeps
// its descriptor, but no links.
Status failure(int osError, int dirFd) {
    struct stat st;
    return systemError(osError, osError != ENOENT || (::fstat(dirFd, &st) == 0 && st.st_nlink > 0));
}

qint64 nanoseconds(const struct timespec& t) {
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// The same file, seen through two names or at two moments: what a
// fingerprint holds, plus the device, the inode (where it lasts) and the
// file's type and permissions.
bool sameFile(const struct stat& a, const struct stat& b, bool stableInodes) {
    return a.st_dev == b.st_dev && a.st_mode == b.st_mode && a.st_size == b.st_size &&
           nanoseconds(a.st_mtim) == nanoseconds(b.st_mtim) &&
           (!stableInodes || a.st_ino == b.st_ino);
}

// The contents hash (sampledHash) of the file `name` of `dirFd`; of a
// symbolic link, its text. A file that cannot be read, or is no ordinary
// file, hashes as its size alone.
quint64 contentsHash(int dirFd, const char* name, const struct stat& st) {
    if (S_ISLNK(st.st_mode)) {
        return sampledHash(st.st_size, [&](char* buffer, qint64 length, qint64) {
            return qint64(::readlinkat(dirFd, name, buffer, size_t(length)));
        });
    }
    const int fd = S_ISREG(st.st_mode)
                       ? ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY)
                       : -1;
    const auto closeFile = qScopeGuard([fd] {
        if (fd >= 0) {
            ::close(fd);
        }
    });
    return sampledHash(st.st_size, [fd](char* buffer, qint64 length, qint64 at) {
        return fd < 0 ? qint64(-1) : qint64(::pread(fd, buffer, size_t(length), off_t(at)));
    });
}

// A name's bytes for a system call, ended by a NUL: a short ASCII name
// (nearly every name) in place, with no allocation; any other encoded.
class NameBytes {
  public:
    explicit NameBytes(QStringView name) {
        if (name.size() < qsizetype(sizeof inPlace_) && QtPrivate::isAscii(name)) {
            *std::transform(name.utf16(), name.utf16() + name.size(), inPlace_,
                            [](char16_t u) { return char(u); }) = '\0';
        } else {
            encoded_ = encodeFileName(name);
        }
    }
    operator const char*() const { return encoded_.isNull() ? inPlace_ : encoded_.constData(); }

  private:
    char inPlace_[256];
    QByteArray encoded_;
};

// The one directory walker: calls each(fd, entry) for every entry of the
// directory `dirFd` (an O_PATH descriptor will do) but "." and "..", where fd
// is a descriptor of that directory. Returns 0 or the errno that stopped it.
template <typename Each>
int walk(int dirFd, Each&& each) {
    const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    DIR* d = ::fdopendir(fd);
    if (d == nullptr) {
        const int err = errno;
        ::close(fd);
        return err;
    }
    // readdir() tells its end from a failure by errno alone.
    errno = 0;
    for (const dirent* entry; (entry = ::readdir(d)) != nullptr; errno = 0) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            each(fd, *entry);
        }
    }
    const int err = errno;
    ::closedir(d);
    return err;
}

// Every entry of the directory `dirFd`, by kind; a symbolic link counts as
// what it points at.
Listing listEntries(int dirFd) {
    Listing listing;
    struct stat st;
    if (::fstat(dirFd, &st) == 0) {
        if (st.st_nlink == 0) {
            // Removed: the system reads it as empty.
            return Listing{Status{Error::PathNotFound, ENOENT}};
        }
        // A directory's size grows with its entries: a cheap estimate of their number.
        listing.files.reserve(qsizetype(std::min<off_t>(st.st_size / 32, 1 << 20)));
    }
    const int err = walk(dirFd, [&listing](int fd, const dirent& entry) {
        unsigned char type = entry.d_type;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            struct stat target;
            type = ::fstatat(fd, entry.d_name, &target, 0) != 0 ? DT_UNKNOWN
                   : S_ISREG(target.st_mode)                    ? DT_REG
                   : S_ISDIR(target.st_mode)                    ? DT_DIR
                                                                : DT_UNKNOWN;
        }
        (type == DT_REG   ? listing.files
         : type == DT_DIR ? listing.directories
                          : listing.others)
            .append(decodeFileName(
                QByteArray::fromRawData(entry.d_name, qsizetype(std::strlen(entry.d_name)))));
    });
    if (err != 0) {
        listing.status = failure(err, dirFd);
    }
    return listing;
}

// --- What a directory's file system takes as a name. ---

// The lines of a small file the system keeps (a table in /proc or /run);
// none when it cannot be read.
QList<QByteArray> linesOf(const char* path) {
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
}

// The mount-table entry of the file system with the device number `device`:
// its type ("ext4", "fuse.sshfs", "fuseblk"...) and its source (the device
// or image, as mounted).
std::pair<QByteArray, QByteArray> mountOf(dev_t device) {
    const QByteArray wanted =
        QByteArray::number(major(device)) + ':' + QByteArray::number(minor(device));
    for (const QByteArray& line : linesOf("/proc/self/mountinfo")) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        const qsizetype dash = fields.indexOf("-");
        if (fields.size() > 2 && fields[2] == wanted && dash > 0 && dash + 2 < fields.size()) {
            return {fields[dash + 1], fields[dash + 2]};
        }
    }
    return {};
}

// What a volume says it is in its first sector: "exfat", "ntfs", "vfat", or
// nothing. Read only from a regular file or a block device, and never waited on.
QString volumeSignature(const QByteArray& source) {
    const int fd = ::open(source.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return QString();
    }
    struct stat st;
    char sector[96] = {};
    const bool readable = ::fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || S_ISBLK(st.st_mode)) &&
                          ::pread(fd, sector, sizeof sector, 0) == ssize_t(sizeof sector);
    ::close(fd);
    const auto at = [&sector](int offset, const char* text) {
        return std::memcmp(sector + offset, text, std::strlen(text)) == 0;
    };
    return !readable           ? QString()
           : at(3, "EXFAT   ") ? QStringLiteral("exfat")
           : at(3, "NTFS    ") ? QStringLiteral("ntfs")
           : at(54, "FAT12   ") || at(54, "FAT16   ") || at(82, "FAT32   ") ? QStringLiteral("vfat")
                                                                            : QString();
}

// The file system on the device or image `source`: what udev found on a
// block device (readable by every user, where the device itself is not),
// else what the volume says it is.
QString fileSystemOn(const QByteArray& source) {
    struct stat st;
    if (::stat(source.constData(), &st) == 0 && S_ISBLK(st.st_mode)) {
        const QByteArray path = "/run/udev/data/b" + QByteArray::number(major(st.st_rdev)) + ':' +
                                QByteArray::number(minor(st.st_rdev));
        for (const QByteArray& line : linesOf(path.constData())) {
            const QByteArray text = line.trimmed();
            if (text.startsWith("E:ID_FS_TYPE=") && text.size() > 13) {
                return QString::fromLatin1(text.mid(13));
            }
        }
    }
    return volumeSignature(source);
}

// The name rules of the directory `dirFd`, and how renames go there where
// the mount table names a file system we know.
NameRules rulesOf(int dirFd, std::optional<RenameTraits>* renames) {
    struct stat st;
    struct statfs volume;
    if (::fstat(dirFd, &st) != 0 || ::fstatfs(dirFd, &volume) != 0) {
        return NameRules{};
    }
    const auto [type, source] = mountOf(st.st_dev);
    // A FUSE mount without a subtype (ntfs-3g, exfat-fuse on a device) says
    // no more than "fuse": the volume tells.
    QString volumeType = type == "fuse" || type == "fuseblk" ? fileSystemOn(source) : QString();
    const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (volumeType.isEmpty() && fd >= 0 && type.startsWith("fuse") &&
        ::fgetxattr(fd, "system.ntfs_attrib", nullptr, 0) >= 0) {
        volumeType = QStringLiteral("ntfs");  // ntfs-3g answers its own attribute
    }
    NameRules rules = rulesForType(QString::fromLatin1(type), volumeType);
    *renames = renamesForType(QString::fromLatin1(type), volumeType);
    if (!rules.windowsNames && volume.f_namelen > 0) {
        rules.maxBytes = int(std::min<long>(volume.f_namelen, 1 << 20));
    }
    rules.readOnly = (volume.f_flags & ST_RDONLY) != 0;
    // A case-folding directory of ext4 or f2fs.
    long flags = 0;
    if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0) {
        rules.caseInsensitive = true;
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return rules;
}

// Whether `kind` is one of `names`.
bool isOneOf(const QString& kind, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&kind](const char* name) { return kind == QLatin1String(name); });
}

// Mounts that hold no user files.
bool isPseudoFileSystem(const QByteArray& type, const QString& root) {
    const auto under = [&root](const char* top) {
        const QLatin1String prefix(top);
        return root == prefix || root.startsWith(prefix + QLatin1Char('/'));
    };
    return isOneOf(QString::fromLatin1(type),
                   {"proc",       "sysfs",      "cgroup",   "cgroup2", "devtmpfs",    "devpts",
                    "securityfs", "debugfs",    "tracefs",  "pstore",  "bpf",         "mqueue",
                    "hugetlbfs",  "configfs",   "fusectl",  "autofs",  "binfmt_misc", "efivarfs",
                    "nsfs",       "rpc_pipefs", "selinuxfs"}) ||
           under("/proc") || under("/sys") || under("/dev") || (type == "tmpfs" && under("/run"));
}

// `path` with every symbolic link along its last part followed, as a write
// to it would land.
QByteArray followLinks(QByteArray path) {
    for (int hops = 0; hops < 40; ++hops) {
        char target[4096];
        const ssize_t n = ::readlink(path.constData(), target, sizeof target);
        if (n < 0 || n == ssize_t(sizeof target)) {
            break;
        }
        const QByteArray link(target, n);
        if (link.startsWith('/')) {
            path = link;
        } else {
            const qsizetype slash = path.lastIndexOf('/');
            path = (slash < 0 ? QByteArray() : path.left(slash + 1)) + link;
        }
    }
    return path;
}

QByteArray directoryBytes(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0    ? QByteArrayLiteral(".")
           : slash == 0 ? QByteArrayLiteral("/")
                        : path.left(slash);
}

// Why the folder or file `st` describes is not the user's alone; null when it is.
const char* notUsersAlone(const struct stat& st) {
    return S_ISLNK(st.st_mode)        ? QT_TRANSLATE_NOOP("Status", "it is a symbolic link")
           : st.st_uid != ::geteuid() ? QT_TRANSLATE_NOOP("Status", "another user owns it")
           : (st.st_mode & (S_IWGRP | S_IWOTH)) != 0
               ? QT_TRANSLATE_NOOP("Status", "others can write in it")
               : nullptr;
}

// `name` in the folder `dirFd` opened with `flags`, never through a symbolic
// link, where its descriptor shows it the user's alone: the descriptor, or -1
// and why not in `*status`. What is checked is what is used: no other process
// can swap the folder or file between the check and the use.
int openUsersAlone(int dirFd, const QByteArray& name, int flags, Status* status) {
    const int fd =
        ::openat(dirFd, name.constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    const int err = errno;
    struct stat st {};
    const char* why = (fd >= 0 ? ::fstat(fd, &st)
                               : ::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW)) == 0
                          ? notUsersAlone(st)
                          : nullptr;
    if (fd >= 0 && why == nullptr) {
        return fd;
    }
    if (fd >= 0) {
        ::close(fd);
    }
    *status =
        why ? Status{Error::PathFileAccess, 0, why} : systemError(err, !(flags & O_DIRECTORY));
    return -1;
}

// What the name of a durable write's new file adds to the name it replaces.
constexpr char kTemporaryMark[] = ".tmp-";

}  // namespace

SystemCalls SystemCalls::system() {
    return SystemCalls{::renameat2,  ::linkat, ::unlinkat, ::fstatat,
                       systemOpenat, ::write,  ::fsync};
}

namespace {

// The file system a mount-table type and a volume's own signature name
// ("vfat", "exfat", "sshfs", "fusefat"...).
QString kindOf(const QString& type, const QString& volumeType, bool fuse) {
    const qsizetype dot = type.indexOf(QLatin1Char('.'));
    return !volumeType.isEmpty() ? volumeType
           : fuse                ? (dot < 0 ? QString() : type.mid(dot + 1))
                                 : type;
}

}  // namespace

std::optional<RenameTraits> renamesForType(const QString& type, const QString& volumeType) {
    const bool fuse = type.startsWith(QLatin1String("fuse"));
    const QString kind = kindOf(type, volumeType, fuse);
    if (!fuse && isOneOf(kind, {"tmpfs", "ext2", "ext3", "ext4", "xfs", "btrfs", "f2fs"})) {
        return RenameTraits{RenameWay::NoReplace, true};
    }
    if (!fuse) {
        return std::nullopt;
    }
    // fusefat loses a file renamed over a placeholder that holds text, and
    // sets a renamed file's time to now.
    if (kind == QLatin1String("fusefat")) {
        return RenameTraits{RenameWay::Checked, false};
    }
    if (isOneOf(kind, {"exfat", "exfat-fuse"})) {
        return RenameTraits{RenameWay::Reserve, true};  // no links
    }
    if (isOneOf(kind, {"ntfs", "ntfs-3g", "lowntfs-3g", "sshfs"})) {
        return RenameTraits{RenameWay::Link, true};
    }
    return std::nullopt;
}

NameRules rulesForType(const QString& type, const QString& volumeType) {
    NameRules rules;
    const bool fuse = type.startsWith(QLatin1String("fuse"));
    const QString kind = kindOf(type, volumeType, fuse);
    if (isOneOf(kind, {"vfat", "msdos", "fat", "fusefat", "exfat", "exfat-fuse", "ntfs", "ntfs3",
                       "ntfs-3g", "lowntfs-3g"})) {
        rules.windowsNames = true;
        rules.caseInsensitive = true;
        rules.maxBytes = 0;
        rules.maxUnits = 255;
        rules.asciiOnly = kind == QLatin1String("fusefat");
    }
    // Inode numbers made up by the driver, new after every mount; ntfs-3g
    // hands on the volume's own file record numbers.
    rules.stableInodes =
        isOneOf(kind, {"ntfs", "ntfs-3g", "lowntfs-3g"}) ||
        (!fuse && !isOneOf(kind, {"vfat", "msdos", "fat", "exfat", "cifs", "smb3", "smbfs", "9p"}));
    return rules;
}

OpenedDirectory LinuxSystem::openDirectory(const QString& path) {
    // An empty path fails with ENOENT.
    const int fd = ::open(encodeFileName(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return OpenedDirectory{nullptr, systemError(errno, false)};
    }
    std::optional<RenameTraits> renames;
    const NameRules rules = rulesOf(fd, &renames);
    return OpenedDirectory{std::make_shared<LinuxDirectory>(path, fd, rules, renames), Status{}};
}

Status LinuxSystem::identify(const PinnedDirectory& dir, QStringView name, Fingerprint* out,
                             Contents contents) {
    const int fd = int(dir.handle());
    if (!isPlainFileName(name)) {
        return Status{Error::PathFileAccess, 0};
    }
    const NameBytes bytes(name);
    struct stat st;
    if (calls_.fstatat(fd, bytes, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return failure(errno, fd);
    }
    if (S_ISDIR(st.st_mode)) {
        return Status{Error::FileNotFound, EISDIR};
    }
    *out = Fingerprint{qint64(st.st_size),
                       nanoseconds(st.st_mtim),
                       dir.rules().stableInodes ? quint64(st.st_ino) : 0,
                       contents == Contents::Hash ? contentsHash(fd, bytes, st) : 0,
                       dir.renameTraits().keepsTime,
                       quint64(st.st_nlink)};
    return Status{};
}

Listing LinuxSystem::list(const PinnedDirectory& dir) {
    return listEntries(int(dir.handle()));
}

Listing LinuxSystem::listDirectory(const QString& path) {
    const int fd = ::open(encodeFileName(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return Listing{systemError(errno, false)};
    }
    const auto closeDirectory = qScopeGuard([fd] { ::close(fd); });
    return listEntries(fd);
}

Status LinuxSystem::renameIn(const PinnedDirectory& dir, QStringView from, QStringView to,
                             const Fingerprint* known) {
    // A name that would leave the directory never reaches the system.
    if (!isPlainFileName(from) || !isPlainFileName(to)) {
        return Status{Error::PathFileAccess, 0};
    }
    const NameBytes source(from);
    const NameBytes target(to);
    if (std::strcmp(source, target) == 0) {
        return Status{};
    }
    if (dir.rules().caseInsensitive && dir.rules().sameName(from, to)) {
        return changeCase(dir, source, target);
    }
    return move(dir, source, target, known);
}

Status LinuxSystem::move(const PinnedDirectory& dir, const char* source, const char* target,
                         const Fingerprint* known) {
    const int fd = int(dir.handle());
    const RenameWay way = dir.renameWay();
    if (way == RenameWay::Checked) {
        return checkAndRename(fd, source, target);
    }
    // Only a rename that succeeded tells which way works: the system refuses
    // a missing source or a taken target before the file system is asked.
    if (way == RenameWay::Unknown || way == RenameWay::NoReplace) {
        if (calls_.renameat2(fd, source, fd, target, RENAME_NOREPLACE) == 0) {
            dir.setRenameWay(RenameWay::NoReplace);
            return Status{};
        }
        const int err = errno;
        // renameat2 answers these where the file system cannot do RENAME_NOREPLACE.
        const bool unsupported =
            err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EOPNOTSUPP;
        if (way == RenameWay::NoReplace || !unsupported) {
            return failure(err, fd);
        }
    }
    if (way != RenameWay::Reserve) {
        bool unsupported = false;
        const Status linked =
            linkAndUnlink(fd, source, target, dir.rules().stableInodes, known, &unsupported);
        if (!unsupported) {
            if (linked.ok()) {
                dir.setRenameWay(RenameWay::Link);
            }
            return linked;
        }
    }
    const Status reserved = reserveAndRename(fd, source, target);
    if (reserved.ok() && way == RenameWay::Unknown) {
        dir.setRenameWay(RenameWay::Reserve);
    }
    return reserved;
}

Status LinuxSystem::changeCase(const PinnedDirectory& dir, const char* source, const char* target) {
    // The file system takes the new spelling for the name the file already
    // has, so the file goes by way of a name of its own first, one a restore
    // knows from the file's name (parkingName).
    Status status;
    QByteArray between;
    for (int attempt = 0; attempt < kParkingAttempts; ++attempt) {
        between = encodeFileName(parkingName(decodeFileName(QByteArray(source)), attempt));
        status = move(dir, source, between.constData());
        if (status.error != Error::FileExists) {
            break;
        }
    }
    if (!status.ok()) {
        return status;
    }
    status = move(dir, between.constData(), target);
    if (!status.ok()) {
        move(dir, between.constData(), source);
    }
    return status;
}

Status LinuxSystem::linkAndUnlink(int fd, const char* source, const char* target, bool stableInodes,
                                  const Fingerprint* known, bool* unsupported) {
    // Where inode numbers last, the fingerprint the batch took of the file
    // (without its contents) stands for a look at it before the link.
    const bool fingerprinted = known && stableInodes && known->contents == 0 && known->links > 0;
    struct stat before {};
    if (!fingerprinted && calls_.fstatat(fd, source, &before, AT_SYMLINK_NOFOLLOW) != 0) {
        return failure(errno, fd);
    }
    // link() never replaces an existing name either.
    if (calls_.linkat(fd, source, fd, target, 0) != 0) {
        const int err = errno;
        // link() answers these where the file system has no hard links (FAT and the like).
        *unsupported = err == EPERM || err == ENOSYS || err == ENOTSUP || err == EOPNOTSUPP ||
                       err == EMLINK || err == EINVAL;
        return failure(err, fd);
    }

    // The file now has both names. The old one is dropped only while it
    // still names the file that was linked: the same size, time and mode and,
    // where inode numbers last, the same inode. Some file systems (sshfs) give
    // every path an inode number of its own, so that alone never tells.
    // Without a look before the link, the new name shows what was linked.
    const auto stillOurs = [&](const char* name) {
        struct stat now;
        return (!fingerprinted || calls_.fstatat(fd, target, &before, AT_SYMLINK_NOFOLLOW) == 0) &&
               calls_.fstatat(fd, name, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
               sameFile(now, before, stableInodes);
    };
    struct stat old;
    if (calls_.fstatat(fd, source, &old, AT_SYMLINK_NOFOLLOW) != 0) {
        const int err = errno;
        if (err == ENOENT) {
            return Status{};  // the old name went meanwhile; the file lives on under the new one
        }
        // Cannot tell whose the old name is: the file stays as it was.
        if (stillOurs(target)) {
            calls_.unlinkat(fd, target, 0);
        }
        return failure(err, fd);
    }
    // Where inode numbers last, that look does: the file seen before, with
    // the one link more that the new name is.
    const bool oneLook =
        fingerprinted
            ? known->matches(Fingerprint{old.st_size, nanoseconds(old.st_mtim), old.st_ino}) &&
                  old.st_nlink == known->links + 1
            : stableInodes && sameFile(old, before, true) && old.st_nlink == before.st_nlink + 1;
    if (!oneLook && !stillOurs(target)) {
        // The new name went, or names another file already: leave it be.
        return Status{Error::PathFileAccess, EBUSY};
    }
    if (!oneLook && !sameFile(old, before, stableInodes)) {
        // Replaced under the old name since the link: the batch's file is
        // left under the new name alone, which is the rename done, and the
        // file that now holds the old name is not touched.
        return Status{};
    }
    if (calls_.unlinkat(fd, source, 0) != 0) {
        const int err = errno;
        if (err == ENOENT) {
            return Status{};
        }
        if (stillOurs(target)) {
            calls_.unlinkat(fd, target, 0);
        }
        return failure(err, fd);
    }
    return Status{};
}

Status LinuxSystem::reserveAndRename(int fd, const char* source, const char* target) {
    // The new name is taken by a placeholder of our own, created only if
    // nothing had the name: the exclusive create is the no-replace test. It
    // stays empty: a driver writes no data for it (fusefat lost files renamed
    // over placeholders that held some), and a restore knows it from the
    // journal's order of renames (dropPlaceholder). It is closed
    // before the rename, so no driver keeps it alive under a hidden name.
    const int placeholder =
        calls_.openat(fd, target, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (placeholder < 0) {
        return failure(errno, fd);
    }
    struct stat reserved;
    const bool known = ::fstat(placeholder, &reserved) == 0 && reserved.st_size == 0;
    ::close(placeholder);
    const auto stillOurPlaceholder = [&] {
        struct stat now;
        return known && calls_.fstatat(fd, target, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
               S_ISREG(now.st_mode) && now.st_size == 0 && now.st_ino == reserved.st_ino &&
               now.st_dev == reserved.st_dev;
    };
    // Why this cannot replace another file: the rename below replaces what
    // the name holds, and the check right before it makes sure that is still
    // the placeholder created above. Only a program that deletes our file and
    // puts one of its own under its name within those two calls could lose
    // its file, and no program takes a name that another has just created.
    if (!stillOurPlaceholder()) {
        return Status{Error::FileExists, EEXIST};
    }
    if (calls_.renameat2(fd, source, fd, target, 0) != 0) {
        const int err = errno;
        if (stillOurPlaceholder()) {
            calls_.unlinkat(fd, target, 0);
        }
        return failure(err, fd);
    }
    return Status{};
}

Status LinuxSystem::checkAndRename(int fd, const char* source, const char* target) {
    // The kernel looks the new name up before it hands the no-replace rename
    // to the driver: a taken name gives EEXIST, a free one the driver's
    // EINVAL for the flag it does not know. The plain rename follows at once.
    if (calls_.renameat2(fd, source, fd, target, RENAME_NOREPLACE) == 0) {
        return Status{};
    }
    if (errno != EINVAL) {
        return failure(errno, fd);
    }
    if (calls_.renameat2(fd, source, fd, target, 0) == 0) {
        return Status{};
    }
    // fusefat may answer EPERM for a rename it made (where the directory
    // grows), while the kernel still holds the old name: asked again, the
    // driver itself says the old name is gone, and its listing shows the new.
    const int err = errno;
    if (err != EPERM || calls_.renameat2(fd, source, fd, target, 0) == 0) {
        return err == EPERM ? Status{} : failure(err, fd);
    }
    bool listed = false;
    if (errno == ENOENT) {
        walk(fd, [&](int, const dirent& entry) {
            listed = listed || std::strcmp(entry.d_name, target) == 0;
        });
    }
    return listed ? Status{} : failure(err, fd);
}

RenameTraits LinuxSystem::learnRenames(const PinnedDirectory& dir) {
    if (dir.traitsKnown()) {
        return dir.renameTraits();
    }
    // Nothing is tried out in the user's directory: where the file system is
    // not one we know, the first rename finds the way (move) and the time is
    // no proof.
    const auto* known = dynamic_cast<const LinuxDirectory*>(&dir);
    dir.setRenameTraits(known && known->knownRenames ? *known->knownRenames
                                                     : RenameTraits{RenameWay::Unknown, false});
    return dir.renameTraits();
}

Status LinuxSystem::dropPlaceholder(const PinnedDirectory& dir, QStringView name) {
    const int fd = int(dir.handle());
    const QByteArray bytes = encodeFileName(name);
    struct stat st;
    if (!isPlainFileName(name) ||
        calls_.fstatat(fd, bytes.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return failure(isPlainFileName(name) ? errno : EINVAL, fd);
    }
    if (!S_ISREG(st.st_mode) || st.st_size != 0) {
        return Status{Error::FileExists, EEXIST};
    }
    return calls_.unlinkat(fd, bytes.constData(), 0) == 0 ? Status{} : failure(errno, fd);
}

Status LinuxSystem::readStart(const PinnedDirectory& dir, QStringView name, qint64 limit,
                              QByteArray* out) {
    if (!isPlainFileName(name)) {
        return Status{Error::PathFileAccess, 0};
    }
    const int dirFd = int(dir.handle());
    const int fd = ::openat(dirFd, encodeFileName(name).constData(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return failure(errno, dirFd);
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        return Status{Error::PathFileAccess, 0};
    }
    out->resize(qsizetype(std::min<qint64>(limit, st.st_size)));
    // A short read leaves less to look at, which is no failure.
    out->truncate(std::max<qsizetype>(::pread(fd, out->data(), size_t(out->size()), 0), 0));
    return Status{};
}

Status LinuxSystem::dropSecondName(const PinnedDirectory& dir, QStringView name, QStringView keep) {
    const int fd = int(dir.handle());
    if (!isPlainFileName(name) || !isPlainFileName(keep) || dir.rules().sameName(name, keep)) {
        return Status{Error::PathFileAccess, EINVAL};
    }
    const QByteArray bytes = encodeFileName(name);
    const QByteArray kept = encodeFileName(keep);
    struct stat a;
    struct stat b;
    if (calls_.fstatat(fd, bytes.constData(), &a, AT_SYMLINK_NOFOLLOW) != 0 ||
        calls_.fstatat(fd, kept.constData(), &b, AT_SYMLINK_NOFOLLOW) != 0) {
        return failure(errno, fd);
    }
    // Two names of one file: one inode, and the file system counts its links.
    // Where it counts none (sshfs gives every path an inode number of its
    // own) nothing proves it, and both names stay.
    const bool one =
        S_ISREG(a.st_mode) && a.st_nlink > 1 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    if (!one) {
        return Status{Error::FileExists, EEXIST};
    }
    return calls_.unlinkat(fd, bytes.constData(), 0) == 0 ? Status{} : failure(errno, fd);
}

namespace {

// Writes all of `data` to `fd`, flushes it to disk and closes it. Returns 0
// or the errno of the first step that failed.
int writeFlushAndClose(const SystemCalls& calls, int fd, const QByteArray& data) {
    int err = 0;
    for (qsizetype done = 0; err == 0 && done < data.size();) {
        const long n = calls.write(fd, data.constData() + done, size_t(data.size() - done));
        if (n > 0) {
            done += n;
        } else if (n == 0) {
            err = ENOSPC;  // a device that takes nothing more is full
        } else if (errno != EINTR) {
            err = errno;
        }
    }
    if (err == 0 && calls.fsync(fd) != 0) {
        err = errno;
    }
    if (::close(fd) != 0 && err == 0) {
        err = errno;
    }
    return err;
}

}  // namespace

Status LinuxSystem::writeFileDurably(const QString& path, const QByteArray& data, Reach reach) {
    const bool alone = reach == Reach::UsersAlone;
    const QByteArray target = alone ? encodeFileName(path) : followLinks(encodeFileName(path));
    Status refused;
    const int dirFd =
        alone ? openUsersAlone(AT_FDCWD, directoryBytes(target), O_RDONLY | O_DIRECTORY, &refused)
              : ::open(directoryBytes(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return alone ? refused : systemError(errno, false);
    }
    const QByteArray name = target.mid(target.lastIndexOf('/') + 1);
    const QByteArray base = name + kTemporaryMark;
    QByteArray temporary;
    const auto closeDirectory = qScopeGuard([dirFd] { ::close(dirFd); });
    int fd = -1;
    int err = EEXIST;  // another name is tried while the last was taken
    for (int attempt = 0; err == EEXIST && attempt < 16; ++attempt) {
        temporary = base + uniqueSuffix().toLatin1();
        fd = calls_.openat(dirFd, temporary.constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        err = fd < 0 ? errno : 0;
    }
    if (fd < 0) {
        return systemError(err);
    }
    // An existing file keeps its permissions (and, where allowed, its owner).
    struct stat existing;
    if (!alone && ::fstatat(dirFd, name.constData(), &existing, 0) == 0 &&
        S_ISREG(existing.st_mode)) {
        ::fchmod(fd, existing.st_mode & 07777);
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            // Not ours to give away: the file becomes the writer's own.
        }
    }
    err = writeFlushAndClose(calls_, fd, data);
    // Replacing is the point here: the file is the program's own.
    if (err == 0 &&
        calls_.renameat2(dirFd, temporary.constData(), dirFd, name.constData(), 0) != 0) {
        err = errno;
    }
    if (err != 0) {
        calls_.unlinkat(dirFd, temporary.constData(), 0);
        return systemError(err);
    }
    // The new name is on disk once the directory is. A file system that
    // cannot flush a directory says so with EINVAL; any other failure is
    // reported, although the new content has already replaced the old.
    if (calls_.fsync(dirFd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) {
        err = errno;
    }
    return err == 0 ? Status{} : systemError(err);
}

QString temporaryPrefix(const QString& path) {
    return decodeFileName(encodeFileName(path) + kTemporaryMark);
}

void removeLeftTemporaries(const QString& path) {
    const QByteArray target = followLinks(encodeFileName(path));
    const int dirFd = ::open(directoryBytes(target).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return;
    }
    const QByteArray prefix = target.mid(target.lastIndexOf('/') + 1) + kTemporaryMark;
    walk(dirFd, [&prefix](int fd, const dirent& entry) {
        const QByteArray name(entry.d_name);
        if (name.startsWith(prefix) &&
            isUniqueSuffix(QString::fromLatin1(name.mid(prefix.size())))) {
            ::unlinkat(fd, entry.d_name, 0);
        }
    });
    ::close(dirFd);
}

bool LinuxSystem::directoryExists(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(encodeFileName(path).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode);
}

bool isWithin(const QString& path, const QString& root) {
    return path == root || path.startsWith(withoutRootSeparator(root) + separator());
}

QStringList LinuxSystem::drives() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && volume.isReady() && root != QLatin1String("/") &&
            !isPseudoFileSystem(volume.fileSystemType(), root) && directoryExists(root)) {
            roots.append(root);
        }
    }
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    roots.prepend(QStringLiteral("/"));
    return roots;
}

QString xdgBaseDirectory(const char* variable, const QString& underHome) {
    const QByteArray xdg = qgetenv(variable);
    if (xdg.startsWith('/')) {
        return decodeFileName(xdg);
    }
    QByteArray home = qgetenv("HOME");
    if (home.isEmpty()) {
        if (const passwd* user = ::getpwuid(::getuid())) {
            home = user->pw_dir;
        }
    }
    return decodeFileName(home) + underHome;
}

QString systemInformationTool() {
    for (const char* program : {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(program));
        if (!found.isEmpty()) {
            return found;
        }
    }
    return QString();
}

Status readRegularFile(const QString& path, QByteArray* out, Reach reach) {
    const QByteArray bytes = encodeFileName(path);
    struct stat info {};
    errno = 0;
    int fd = -1;
    if (reach == Reach::UsersAlone) {
        // Through the checked folder, and never through a link.
        Status refused;
        const int dirFd =
            openUsersAlone(AT_FDCWD, directoryBytes(bytes), O_RDONLY | O_DIRECTORY, &refused);
        fd = dirFd < 0
                 ? -1
                 : openUsersAlone(dirFd, bytes.mid(bytes.lastIndexOf('/') + 1), O_RDONLY, &refused);
        ::close(dirFd);  // -1 where it did not open: nothing to close
        if (fd < 0) {
            return refused;
        }
    } else if (::stat(bytes.constData(), &info) == 0 && S_ISREG(info.st_mode)) {
        fd = ::open(bytes.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    }
    if (fd < 0 && errno != 0) {
        return systemError(errno);
    }
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        return S_ISDIR(info.st_mode) ? systemError(EISDIR)
                                     : Status{Error::PathFileAccess, 0, kNotRegularFile};
    }
    int err = 0;
    char buffer[65536];
    for (ssize_t n = 1; n != 0 && err == 0;) {
        n = ::read(fd, buffer, sizeof buffer);
        err = n < 0 && errno != EINTR ? errno : 0;
        out->append(buffer, n > 0 ? n : 0);
    }
    ::close(fd);
    return err == 0 ? Status{} : systemError(err);
}

Status usersAlone(const QString& path) {
    Status refused;  // stays ok where the folder opens
    ::close(openUsersAlone(AT_FDCWD, encodeFileName(path), O_RDONLY | O_DIRECTORY, &refused));
    return refused;
}

Status makeDirectories(const QString& path) {
    const QByteArray dir = encodeFileName(path);
    for (qsizetype slash = 0; slash >= 0 && !dir.isEmpty();) {
        slash = dir.indexOf('/', slash + 1);
        if (::mkdir(dir.left(slash < 0 ? dir.size() : slash).constData(), 0700) != 0 &&
            errno != EEXIST) {
            return systemError(errno);
        }
    }
    return Status{};
}

Status withLockBeside(const QString& path, int milliseconds, const char* heldTooLong,
                      const std::function<Status()>& work) {
    const QByteArray lock = encodeFileName(path) + ".lock";
    const int fd = ::open(lock.constData(), O_RDONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) {
        return systemError(errno);
    }
    Status status;
    const QDeadlineTimer deadline(milliseconds);
    while (status.ok() && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            status = systemError(errno);
        } else if (deadline.hasExpired()) {
            status = Status{Error::PathFileAccess, EWOULDBLOCK, heldTooLong};
        } else {
            QThread::usleep(QRandomGenerator::global()->bounded(200, 2000));
        }
    }
    status = status.ok() ? work() : status;
    ::close(fd);  // lets the lock go
    return status;
}

// The program keeps its settings in a file of its own here.
SettingsStore* systemSettingsStore() {
    return nullptr;
}

QByteArray sortKeys(const QLocale& locale, const QString* names, qsizetype count) {
    // ICU's collator, set up as QCollator sets up its own (an ICU one here).
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator =
        ucol_open(locale.bcp47Name().replace(u'-', u'_').toLatin1().constData(), &status);
    ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(collator, UCOL_STRENGTH, UCOL_SECONDARY, &status);
    ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
    ucol_setAttribute(collator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    QByteArray keys(U_FAILURE(status) ? count : 0, '\0');  // no collator: every key is ""
    keys.reserve(count * 32);
    for (const QString* name = names; U_SUCCESS(status) && name != names + count; ++name) {
        const qsizetype at = keys.size();
        int32_t size = int32_t(2 * name->size() + 16);  // room for most keys, else as asked
        for (int32_t room = 0; room < size;) {
            keys.resize(at + (room = size));
            size = ucol_getSortKey(collator, reinterpret_cast<const UChar*>(name->constData()),
                                   int32_t(name->size()),
                                   reinterpret_cast<uint8_t*>(keys.data() + at), room);
        }
        keys.resize(at + std::max(size, 1));
        keys.back() = '\0';  // a key ends in its only 0 byte, also where ICU failed
    }
    ucol_close(collator);
    return keys;
}

System& real() {
    static LinuxSystem instance;
    return instance;
}

}  // namespace platform
