#include "tests/support/Mounts.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

namespace testing_support {
namespace {

// How each file system is made, mounted and checked, as shell commands over
// the image IMG of SIZE megabytes, the mount point MNT and the work directory
// DIR. A FUSE driver goes on in the background, so a mount counts once the
// mount table shows it.
// The kernel's file systems are mounted as root over a loop device, which
// umount lets go of (mount -o loop asks for that).
struct Recipe {
    const char* name;
    const char* make;
    const char* mount;
    const char* check;  // the file system's own checker, changing nothing
};
const Recipe kRecipes[] = {
    {"tmpfs", "", "", ""},  // ScopedTmpfs
    {"fusefat", "truncate -s SIZEM IMG && mkfs.vfat IMG", "fusefat -o rw+ IMG MNT",
     "fsck.vfat -n IMG"},
    // exfat-fuse mounts block devices only: a loop device over the image.
    {"exfat-fuse", "truncate -s SIZEM IMG && mkfs.exfat IMG",
     "mount.exfat-fuse $(losetup -f --show IMG) MNT", "fsck.exfat -n IMG"},
    {"ntfs-3g", "truncate -s SIZEM IMG && mkntfs -F -q -f IMG", "ntfs-3g IMG MNT",
     "ntfsfix -n IMG"},
    // sshfs talks SFTP over what its ssh_command starts: here the local
    // server itself, with no network and no login.
    {"sshfs",
     "mkdir DIR/served && printf '#!/bin/sh\\nexec /usr/lib/openssh/sftp-server\\n' > DIR/sftp "
     "&& chmod +x DIR/sftp",
     "sshfs -o ssh_command=DIR/sftp localhost:DIR/served MNT", "true"},
    {"ext4", "truncate -s SIZEM IMG && mkfs.ext4 -q IMG", "mount -o loop IMG MNT",
     "fsck.ext4 -n -f IMG"},
    // mkfs.xfs makes nothing smaller than 300 MiB; the image stays sparse.
    {"xfs", "truncate -s 300M IMG && mkfs.xfs -q IMG", "mount -o loop IMG MNT",
     "xfs_repair -n IMG"},
    // Nor mkfs.btrfs under about 110 MiB.
    {"btrfs", "truncate -s 128M IMG && mkfs.btrfs -q IMG", "mount -o loop IMG MNT",
     "btrfs check --readonly IMG"},
};

// Runs `command` in a shell, a few times while it fails; empty, or why not.
QString run(QString command, const QString& dir, int attempts = 1, int megabytes = 16) {
    command.replace(QLatin1String("SIZE"), QString::number(megabytes))
        .replace(QLatin1String("IMG"), dir + QStringLiteral("/volume.img"))
        .replace(QLatin1String("MNT"), dir + QStringLiteral("/mnt"))
        .replace(QLatin1String("DIR"), dir);
    QString why;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        QProcess shell;
        shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
        if (shell.waitForFinished(30000) && shell.exitStatus() == QProcess::NormalExit &&
            shell.exitCode() == 0) {
            return QString();
        }
        why = command + QStringLiteral(": ") +
              QString::fromLocal8Bit(shell.readAllStandardOutput() + shell.readAllStandardError());
        QThread::msleep(100);
    }
    return why;
}

// Why the kernel's file systems cannot be loop-mounted here; empty if they can.
QString whyNoLoopMount() {
    if (::geteuid() != 0) {
        return QStringLiteral("mounting a loop device takes root");
    }
    if (::access("/dev/loop-control", R_OK | W_OK) != 0) {
        return QStringLiteral("no loop devices here (/dev/loop-control)");
    }
    return QString();
}

bool isMountPoint(const QString& path) {
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    return table.open(QIODevice::ReadOnly) &&
           table.readAll().contains(' ' + QFile::encodeName(path) + ' ');
}

}  // namespace

QString nameOf(FileSystem fs) {
    return QString::fromLatin1(kRecipes[int(fs)].name);
}

bool fuseAvailable() {
    return ::access("/dev/fuse", R_OK | W_OK) == 0;
}

ScopedMount::ScopedMount(FileSystem fs, int megabytes) : fs_(fs) {
    QDir(work_.path()).mkdir(QStringLiteral("mnt"));
    if (fs_ >= FileSystem::Ext4) {  // the ones the kernel mounts over a loop device
        error_ = whyNoLoopMount();
        if (!error_.isEmpty()) {
            error_.prepend(nameOf(fs_) + QStringLiteral(": "));
            return;
        }
    }
    error_ = fs_ == FileSystem::Tmpfs
                 ? QString()
                 : run(QString::fromLatin1(kRecipes[int(fs_)].make), work_.path(), 1, megabytes);
    if (error_.isEmpty()) {
        mount();
    }
}

ScopedMount::~ScopedMount() {
    unmount();
}

QString ScopedMount::path() const {
    return tmpfs_ ? tmpfs_->path() : work_.filePath(QStringLiteral("mnt"));
}

bool ScopedMount::mount() {
    if (fs_ == FileSystem::Tmpfs) {
        tmpfs_ = std::make_unique<ScopedTmpfs>(16 << 10);
        error_ = tmpfs_->mounted() ? QString() : QStringLiteral("tmpfs cannot be mounted here");
        return error_.isEmpty();
    }
    error_ = run(QString::fromLatin1(kRecipes[int(fs_)].mount), work_.path());
    for (int wait = 0; error_.isEmpty() && !isMountPoint(path()) && wait < 500; ++wait) {
        QThread::msleep(20);
    }
    mounted_ = error_.isEmpty() && isMountPoint(path());
    if (!mounted_ && error_.isEmpty()) {
        error_ = nameOf(fs_) + QStringLiteral(": the mount never showed");
    }
    return mounted_;
}

bool ScopedMount::unmount() {
    if (fs_ == FileSystem::Tmpfs) {
        return true;  // a tmpfs keeps what it holds across a "remount"
    }
    if (mounted_) {
        // A driver may still be busy with the files a killed process had
        // open, and lets go of its loop device only once it has ended.
        error_ = run(QStringLiteral("umount MNT"), work_.path(), 50);
        mounted_ = !error_.isEmpty();
    }
    // Also the loop device of a mount that failed.
    run(QStringLiteral("for d in $(losetup -n -O NAME -j IMG); do losetup -d $d; done; "
                       "test -z \"$(losetup -j IMG)\""),
        work_.path(), 50);
    return !mounted_;
}

bool ScopedMount::remount() {
    return fs_ == FileSystem::Tmpfs || (unmount() && mount());
}

QString ScopedMount::copyIn(const QString& from, const QString& subdirectory) {
    // mcopy writes the FAT image itself, while nothing has it mounted:
    // through fusefat each new file costs a walk of the whole directory.
    const QString command =
        fs_ == FileSystem::FuseFat ? QStringLiteral(
                                         "export MTOOLS_SKIP_CHECK=1 && mmd -i IMG ::/SUB && "
                                         "mcopy -m -i IMG FROM/* ::/SUB/")
        : fs_ == FileSystem::Sshfs ? QStringLiteral("cp -p -r FROM DIR/served/SUB")
                                   : QStringLiteral("cp -p -r FROM MNT/SUB");
    const bool offline = fs_ == FileSystem::FuseFat;
    if (offline && !unmount()) {
        return error_;
    }
    QString why = run(QString(command)
                          .replace(QLatin1String("FROM"), from)
                          .replace(QLatin1String("SUB"), subdirectory),
                      work_.path());
    if (offline && !mount()) {
        why += error_;
    }
    return why;
}

QString ScopedMount::check() {
    if (!unmount()) {
        return error_;
    }
    QString why = run(QString::fromLatin1(kRecipes[int(fs_)].check), work_.path());
    if (!mount()) {
        why += error_;
    }
    return why;
}

}  // namespace testing_support
