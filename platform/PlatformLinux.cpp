#include "platform/PlatformLinux.h"

#include <dirent.h>
#include <fcntl.h>
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

int systemLink(const char* oldPath, const char* newPath) {
    return ::link(oldPath, newPath);
}

int systemUnlink(const char* path) {
    return ::unlink(path);
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

RenameResult failure(int osError, const QString& from) {
    return RenameResult{
        errorForErrno(osError, osError != ENOENT || isDirectory(directoryBytes(from))), osError};
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
    return SystemCalls{systemRenameat2, systemLink, systemUnlink};
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

RenameResult LinuxPlatform::renameFile(const QString& from, const QString& to) {
    // A name that would leave the directory never reaches the system.
    if (!isRenameInPlace(from, to)) {
        return RenameResult{Error::PathFileAccess, 0};
    }
    const QByteArray source = encodeFileName(from);
    const QByteArray target = encodeFileName(to);
    if (source == target) {
        return RenameResult{};
    }

    if (calls_.renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(),
                         RENAME_NOREPLACE) == 0) {
        return RenameResult{};
    }
    int err = errno;
    if (!noReplaceUnsupported(err)) {
        return failure(err, from);
    }

    // link() never replaces an existing name either.
    if (calls_.link(source.constData(), target.constData()) != 0) {
        err = errno;
        if (linkUnsupported(err)) {
            return RenameResult{Error::PathFileAccess, err};
        }
        return failure(err, from);
    }
    if (calls_.unlink(source.constData()) != 0) {
        err = errno;
        if (err == ENOENT) {
            // The old name went away meanwhile; the file lives on under the new one.
            return RenameResult{};
        }
        calls_.unlink(target.constData());
        return failure(err, from);
    }
    return RenameResult{};
}

Listing LinuxPlatform::list(const QString& dir, bool directories) {
    Listing result;
    DIR* d = ::opendir(encodeFileName(dir).constData());
    if (d == nullptr) {
        return result;
    }
    const int fd = ::dirfd(d);
    struct stat st;
    if (!directories && ::fstat(fd, &st) == 0) {
        // A directory's size grows with its entries: a cheap estimate of its length.
        result.names.reserve(static_cast<qsizetype>(std::min<off_t>(st.st_size / 32, 1 << 20)));
    }
    const unsigned char wanted = directories ? DT_DIR : DT_REG;
    while (const dirent* entry = ::readdir(d)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            // Follows a symbolic link to what it points at.
            if (::fstatat(fd, name, &st, 0) != 0) {
                continue;
            }
            type = S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) ? DT_DIR : DT_UNKNOWN;
        }
        if (type == wanted) {
            result.names.append(
                decodeFileName(QByteArray::fromRawData(name, qsizetype(std::strlen(name)))));
        }
    }
    ::closedir(d);
    std::sort(result.names.begin(), result.names.end());
    result.ok = true;
    return result;
}

DirectoryFacts LinuxPlatform::describeDirectory(const QString& dir) {
    DirectoryFacts facts;
    const QByteArray path = encodeFileName(dir);
    DIR* d = ::opendir(path.constData());
    if (d == nullptr) {
        return facts;
    }
    const int fd = ::dirfd(d);
    struct stat st;
    while (const dirent* entry = ::readdir(d)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            // A link counts as the file it points at, as in listFiles().
            type = ::fstatat(fd, name, &st, 0) == 0 && S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        const QString decoded =
            decodeFileName(QByteArray::fromRawData(name, qsizetype(std::strlen(name))));
        (type == DT_REG ? facts.files : facts.otherEntries).append(decoded);
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
    return list(dir, false);
}

Listing LinuxPlatform::listDirectories(const QString& dir) {
    return list(dir, true);
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

Platform& real() {
    static LinuxPlatform instance;
    return instance;
}

}  // namespace platform
