#include "platform/PlatformLinux.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QStorageInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace platform {

namespace {

int systemRenameat2(int oldDirFd, const char* oldPath, int newDirFd, const char* newPath,
                    unsigned int flags) {
    return static_cast<int>(::syscall(SYS_renameat2, oldDirFd, oldPath, newDirFd, newPath, flags));
}

int systemLinkat(int oldDirFd, const char* oldPath, int newDirFd, const char* newPath, int flags) {
    return ::linkat(oldDirFd, oldPath, newDirFd, newPath, flags);
}

int systemUnlinkat(int dirFd, const char* path, int flags) {
    return ::unlinkat(dirFd, path, flags);
}

int systemFstatat(int dirFd, const char* path, struct stat* result, int flags) {
    return ::fstatat(dirFd, path, result, flags);
}

// errno -> the program's error number. ENOENT is refined by the caller.
struct ErrnoMapping {
    int osError;
    Error error;
};
constexpr ErrnoMapping kErrnoTable[] = {
    {EEXIST, Error::FileExists},
    {ENOTEMPTY, Error::FileExists},
    {EISDIR, Error::FileExists},
    {EACCES, Error::PathFileAccess},
    {EPERM, Error::PathFileAccess},
    {EBUSY, Error::PathFileAccess},
    {ETXTBSY, Error::PathFileAccess},
    {EROFS, Error::PathFileAccess},
    {ENAMETOOLONG, Error::PathFileAccess},
    {ENOENT, Error::FileNotFound},
    {ENOTDIR, Error::PathNotFound},
    {ENOSPC, Error::DiskFull},
    {EDQUOT, Error::DiskFull},
    {EXDEV, Error::RenameAcrossDisks},
};

// renameat2 answers these where the file system cannot do RENAME_NOREPLACE.
bool noReplaceUnsupported(int err) {
    return err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EOPNOTSUPP;
}

// link() answers these where the file system has no hard links (FAT and the like).
bool linkUnsupported(int err) {
    return err == EPERM || err == ENOSYS || err == ENOTSUP || err == EOPNOTSUPP || err == EMLINK ||
           err == EINVAL;
}

bool isDirectory(const QByteArray& path) {
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The directory a path lies in, as the system should look it up.
QByteArray directoryBytes(const QString& path) {
    const QString name = nameOf(path);
    if (name.size() == path.size()) {
        return QByteArrayLiteral(".");
    }
    const QString dir = directoryOf(path);
    return dir.isEmpty() ? QByteArrayLiteral("/") : encodeFileName(dir);
}

FileId idOf(const struct stat& st) {
    return FileId{quint64(st.st_dev), quint64(st.st_ino)};
}

// A pinned directory that has been removed keeps its descriptor, but no links.
bool stillThere(int dirFd) {
    struct stat st;
    return ::fstat(dirFd, &st) == 0 && st.st_nlink > 0;
}

class LinuxDirectory : public PinnedDirectory {
  public:
    LinuxDirectory(const QString& path, int fd) : PinnedDirectory(path, fd) {}
    ~LinuxDirectory() override { ::close(static_cast<int>(handle())); }
};

int descriptorOf(const PinnedDirectory& dir) {
    return static_cast<int>(dir.handle());
}

// A stream over the entries of a pinned directory (its O_PATH descriptor
// cannot be read itself).
DIR* openEntries(int dirFd) {
    const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    DIR* d = ::fdopendir(fd);
    if (d == nullptr) {
        ::close(fd);
    }
    return d;
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

QString decoded(const char* name) {
    return decodeFileName(QByteArray::fromRawData(name, qsizetype(std::strlen(name))));
}

// The type of a directory entry, a symbolic link followed to what it points
// at: DT_REG, DT_DIR, or DT_UNKNOWN for anything else (a dangling link too).
unsigned char followedType(int dirFd, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) {
        return entry.d_type;
    }
    struct stat st;
    if (::fstatat(dirFd, entry.d_name, &st, 0) != 0) {
        return DT_UNKNOWN;
    }
    return S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) ? DT_DIR : DT_UNKNOWN;
}

// Room in `names` for the entries of the open directory `dirFd`: a
// directory's size grows with its entries, a cheap estimate of their number.
void reserveForEntries(int dirFd, QStringList& names) {
    struct stat st;
    if (::fstat(dirFd, &st) == 0) {
        names.reserve(static_cast<qsizetype>(std::min<off_t>(st.st_size / 32, 1 << 20)));
    }
}

// The files (or subdirectories) of an open stream, sorted; closes the stream.
Listing listEntries(DIR* d, bool directories) {
    Listing result;
    if (d == nullptr) {
        return result;
    }
    const int fd = ::dirfd(d);
    if (!directories) {
        reserveForEntries(fd, result.names);
    }
    const unsigned char wanted = directories ? DT_DIR : DT_REG;
    while (const dirent* entry = ::readdir(d)) {
        if (!isDotOrDotDot(entry->d_name) && followedType(fd, *entry) == wanted) {
            result.names.append(decoded(entry->d_name));
        }
    }
    ::closedir(d);
    std::sort(result.names.begin(), result.names.end());
    result.ok = true;
    return result;
}

// Mounts that hold no user files.
bool isPseudoFileSystem(const QByteArray& type, const QString& root) {
    static const char* const kPseudo[] = {
        "proc",    "sysfs",   "cgroup",      "cgroup2",  "devtmpfs", "devpts",     "securityfs",
        "debugfs", "tracefs", "pstore",      "bpf",      "mqueue",   "hugetlbfs",  "configfs",
        "fusectl", "autofs",  "binfmt_misc", "efivarfs", "nsfs",     "rpc_pipefs", "selinuxfs",
    };
    for (const char* t : kPseudo) {
        if (type == t) {
            return true;
        }
    }
    const auto under = [&root](const char* top) {
        const QLatin1String prefix(top);
        return root == prefix || root.startsWith(prefix + QLatin1Char('/'));
    };
    if (under("/proc") || under("/sys") || under("/dev")) {
        return true;
    }
    return type == "tmpfs" && under("/run");
}

}  // namespace

SystemCalls SystemCalls::system() {
    return SystemCalls{systemRenameat2, systemLinkat, systemUnlinkat, systemFstatat};
}

Error errorForErrno(int osError, bool directoryExists) {
    for (const ErrnoMapping& m : kErrnoTable) {
        if (m.osError == osError) {
            if (osError == ENOENT && !directoryExists) {
                return Error::PathNotFound;
            }
            return m.error;
        }
    }
    return Error::InvalidCall;
}

LinuxPlatform::LinuxPlatform(const SystemCalls& calls) : calls_(calls) {}

OpenedDirectory LinuxPlatform::openDirectory(const QString& path) {
    if (path.isEmpty()) {
        return OpenedDirectory{nullptr, Error::PathNotFound, ENOENT};
    }
    const int fd = ::open(encodeFileName(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        return OpenedDirectory{nullptr, errorForErrno(err, false), err};
    }
    return OpenedDirectory{std::make_shared<LinuxDirectory>(path, fd)};
}

RenameResult LinuxPlatform::failure(int osError, int dirFd) const {
    return RenameResult{errorForErrno(osError, osError != ENOENT || stillThere(dirFd)), osError};
}

RenameResult LinuxPlatform::renameIn(const PinnedDirectory& dir, QStringView from, QStringView to) {
    // A name that would leave the directory never reaches the system.
    if (!isPlainFileName(from) || !isPlainFileName(to)) {
        return RenameResult{Error::PathFileAccess, 0};
    }
    const QByteArray source = encodeFileName(from);
    const QByteArray target = encodeFileName(to);
    if (source == target) {
        return RenameResult{};
    }
    const int fd = descriptorOf(dir);
    if (calls_.renameat2(fd, source.constData(), fd, target.constData(), RENAME_NOREPLACE) == 0) {
        return RenameResult{};
    }
    const int err = errno;
    if (!noReplaceUnsupported(err)) {
        return failure(err, fd);
    }
    return linkAndUnlink(fd, source.constData(), target.constData());
}

RenameResult LinuxPlatform::linkAndUnlink(int fd, const char* source, const char* target) {
    // link() never replaces an existing name either.
    if (calls_.linkat(fd, source, fd, target, 0) != 0) {
        const int err = errno;
        if (linkUnsupported(err)) {
            return RenameResult{Error::PathFileAccess, err};
        }
        return failure(err, fd);
    }

    // The file now has both names. The old one is dropped only while it still
    // names the file that was linked; a file saved under it meanwhile (a new
    // inode) is somebody else's and stays.
    struct stat linked;
    if (calls_.fstatat(fd, target, &linked, AT_SYMLINK_NOFOLLOW) != 0) {
        // The new name went at once: the file is still where it was.
        return RenameResult{Error::PathFileAccess, errno};
    }
    const auto stillOurLink = [&]() {
        struct stat now;
        return calls_.fstatat(fd, target, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
               idOf(now) == idOf(linked);
    };
    struct stat old;
    if (calls_.fstatat(fd, source, &old, AT_SYMLINK_NOFOLLOW) != 0) {
        const int err = errno;
        if (err == ENOENT) {
            // The old name went away meanwhile; the file lives on under the new one.
            return RenameResult{};
        }
        // Cannot tell whose the old name is: keep the file as it was.
        if (stillOurLink()) {
            calls_.unlinkat(fd, target, 0);
        }
        return RenameResult{Error::PathFileAccess, err};
    }
    if (idOf(old) != idOf(linked)) {
        // Replaced under the old name since the link: the batch's file is
        // left under the new name alone, which is the rename done, and the
        // file that now holds the old name is not touched.
        return RenameResult{};
    }
    if (calls_.unlinkat(fd, source, 0) != 0) {
        const int err = errno;
        if (err == ENOENT) {
            return RenameResult{};
        }
        if (stillOurLink()) {
            calls_.unlinkat(fd, target, 0);
        }
        return failure(err, fd);
    }
    return RenameResult{};
}

Listing LinuxPlatform::listFilesIn(const PinnedDirectory& dir) {
    return listEntries(openEntries(descriptorOf(dir)), false);
}

Identity LinuxPlatform::identify(const PinnedDirectory& dir) {
    struct stat st;
    if (::fstat(descriptorOf(dir), &st) != 0) {
        const int err = errno;
        return Identity{errorForErrno(err, false), err, {}};
    }
    if (st.st_nlink == 0) {
        return Identity{Error::PathNotFound, ENOENT, {}};
    }
    return Identity{Error::None, 0, idOf(st)};
}

IdListing LinuxPlatform::listIds(const PinnedDirectory& dir) {
    IdListing result;
    struct stat st;
    DIR* d = openEntries(descriptorOf(dir));
    if (d == nullptr || ::fstat(::dirfd(d), &st) != 0) {
        if (d != nullptr) {
            ::closedir(d);
        }
        return result;
    }
    const quint64 device = quint64(st.st_dev);
    while (const dirent* entry = ::readdir(d)) {
        const char* name = entry->d_name;
        if (isDotOrDotDot(name) || entry->d_type == DT_DIR) {
            continue;
        }
        if (entry->d_type == DT_UNKNOWN &&
            (::fstatat(::dirfd(d), name, &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode))) {
            continue;
        }
        result.names.append(decoded(name));
        result.ids.append(FileId{device, quint64(entry->d_ino)});
    }
    ::closedir(d);
    result.ok = true;
    return result;
}

Error LinuxPlatform::writeFileDurably(const QString& path, const QByteArray& data) {
    const QByteArray target = encodeFileName(path);
    QByteArray temporary = target + QByteArrayLiteral(".XXXXXX");
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return errorForErrno(errno, false);
    }
    int err = 0;
    for (qsizetype done = 0; err == 0 && done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n >= 0) {
            done += n;
        } else if (errno != EINTR) {
            err = errno;
        }
    }
    // Replacing is the point here: the file is the program's own. Renamed
    // before the flush, so that one flush of the file's file system commits
    // the file and its new name together (ext4 does so in one journal
    // commit, not two); the directory's flush then finds little left to do.
    bool renamed = false;
    if (err == 0) {
        renamed = ::rename(temporary.constData(), target.constData()) == 0;
        err = renamed ? 0 : errno;
    }
    if (err == 0 && ::fsync(fd) != 0) {
        err = errno;
    }
    if (::close(fd) != 0 && err == 0) {
        err = errno;
    }
    if (err != 0) {
        // Nothing half-done is left behind under either name.
        ::unlink(renamed ? target.constData() : temporary.constData());
        return errorForErrno(err, true);
    }
    const int dirFd = ::open(directoryBytes(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return errorForErrno(errno, false);
    }
    if (::fsync(dirFd) != 0 && errno != EINVAL) {
        err = errno;
    }
    ::close(dirFd);
    return err == 0 ? Error::None : errorForErrno(err, true);
}

DirectoryFacts LinuxPlatform::describeDirectory(const PinnedDirectory& dir) {
    DirectoryFacts facts;
    DIR* d = openEntries(descriptorOf(dir));
    if (d == nullptr) {
        return facts;
    }
    const int fd = ::dirfd(d);
    reserveForEntries(fd, facts.files);
    while (const dirent* entry = ::readdir(d)) {
        if (!isDotOrDotDot(entry->d_name)) {
            // A link counts as the file it points at, as in listFiles().
            (followedType(fd, *entry) == DT_REG ? facts.files : facts.otherEntries)
                .append(decoded(entry->d_name));
        }
    }
    const long maxName = ::fpathconf(fd, _PC_NAME_MAX);
    if (maxName > 0) {
        facts.maxNameBytes = static_cast<int>(std::min<long>(maxName, 1 << 20));
    }
    struct statvfs volume;
    facts.readOnly = ::fstatvfs(fd, &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0;
    ::closedir(d);
    facts.ok = true;
    return facts;
}

Listing LinuxPlatform::listFiles(const QString& dir) {
    return listEntries(::opendir(encodeFileName(dir).constData()), false);
}

Listing LinuxPlatform::listDirectories(const QString& dir) {
    return listEntries(::opendir(encodeFileName(dir).constData()), true);
}

bool LinuxPlatform::directoryExists(const QString& dir) {
    return !dir.isEmpty() && isDirectory(encodeFileName(dir));
}

bool LinuxPlatform::fileExists(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(encodeFileName(path).constData(), &st) == 0 &&
           S_ISREG(st.st_mode);
}

QStringList LinuxPlatform::drives() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) {
            continue;
        }
        const QString root = volume.rootPath();
        if (root == QLatin1String("/") || isPseudoFileSystem(volume.fileSystemType(), root) ||
            !directoryExists(root)) {
            continue;
        }
        roots.append(root);
    }
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    roots.prepend(QStringLiteral("/"));
    return roots;
}

QString LinuxPlatform::programDirectory() {
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationDirPath();
    }
    QByteArray buffer(256, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), size_t(buffer.size()));
        if (n < 0) {
            return QString();
        }
        if (n < buffer.size()) {
            buffer.truncate(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    const QString dir = directoryOf(decodeFileName(buffer));
    return dir.isEmpty() ? QStringLiteral("/") : dir;
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

Platform& real() {
    static LinuxPlatform instance;
    return instance;
}

}  // namespace platform
