#include "tests/support/Mounts.h"

#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

namespace testing_support {
namespace {

constexpr int kImageMegabytes = 16;

// Runs `program` and returns what it printed, or a null string (with `why`
// set) when it failed.
QString run(const QString& program, const QStringList& arguments, QString* why) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        *why = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) +
               QStringLiteral(": ") + QString::fromLocal8Bit(process.readAllStandardError());
        return QString();
    }
    // Not null, even when it printed nothing.
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed() + QLatin1String("");
}

bool isMountPoint(const QString& path) {
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray wanted = ' ' + QFile::encodeName(path) + ' ';
    for (const QByteArray& line : table.readAll().split('\n')) {
        if (line.contains(wanted)) {
            return true;
        }
    }
    return false;
}

// FUSE drivers go on in the background: wait until the mount is there (or gone).
bool waitForMountPoint(const QString& path, bool present) {
    QElapsedTimer clock;
    clock.start();
    while (isMountPoint(path) != present) {
        if (clock.elapsed() > 10000) {
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

}  // namespace

QString nameOf(FileSystem fs) {
    switch (fs) {
        case FileSystem::Tmpfs:
            return QStringLiteral("tmpfs");
        case FileSystem::FuseFat:
            return QStringLiteral("fusefat");
        case FileSystem::ExfatFuse:
            return QStringLiteral("exfat-fuse");
        case FileSystem::Ntfs3g:
            return QStringLiteral("ntfs-3g");
        case FileSystem::Sshfs:
            return QStringLiteral("sshfs");
    }
    return QString();
}

bool fuseAvailable() {
    return ::access("/dev/fuse", R_OK | W_OK) == 0;
}

ScopedMount::ScopedMount(FileSystem fs) : fs_(fs) {
    QDir(work_.path()).mkdir(QStringLiteral("mnt"));
    QString why;
    const QString image = work_.filePath(QStringLiteral("volume.img"));
    switch (fs_) {
        case FileSystem::Tmpfs:
            break;
        case FileSystem::FuseFat:
        case FileSystem::ExfatFuse:
        case FileSystem::Ntfs3g: {
            QFile file(image);
            if (!file.open(QIODevice::WriteOnly) || !file.resize(kImageMegabytes << 20)) {
                error_ = QStringLiteral("cannot make the image");
                return;
            }
            file.close();
            const QStringList format =
                fs_ == FileSystem::FuseFat ? QStringList{QStringLiteral("mkfs.vfat"), image}
                : fs_ == FileSystem::ExfatFuse
                    ? QStringList{QStringLiteral("mkfs.exfat"), image}
                    : QStringList{QStringLiteral("mkntfs"), QStringLiteral("-F"),
                                  QStringLiteral("-q"), QStringLiteral("-f"), image};
            if (run(format.first(), format.mid(1), &why).isNull()) {
                error_ = why;
                return;
            }
            break;
        }
        case FileSystem::Sshfs: {
            QDir(work_.path()).mkdir(QStringLiteral("served"));
            // sshfs talks to an SFTP server over what this command starts:
            // the local server itself, with no network and no login.
            const QString script = work_.filePath(QStringLiteral("sftp"));
            work_.create(QStringLiteral("sftp"), "#!/bin/sh\nexec /usr/lib/openssh/sftp-server\n");
            QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
            break;
        }
    }
    mount();
}

ScopedMount::~ScopedMount() {
    unmount();
}

QString ScopedMount::path() const {
    return fs_ == FileSystem::Tmpfs && tmpfs_ ? tmpfs_->path()
                                              : work_.filePath(QStringLiteral("mnt"));
}

bool ScopedMount::mount() {
    QString why;
    const QString image = work_.filePath(QStringLiteral("volume.img"));
    const QString point = work_.filePath(QStringLiteral("mnt"));
    bool done = false;
    switch (fs_) {
        case FileSystem::Tmpfs:
            tmpfs_ = std::make_unique<ScopedTmpfs>(kImageMegabytes << 10);
            done = tmpfs_->mounted();
            why = QStringLiteral("tmpfs cannot be mounted here");
            break;
        case FileSystem::FuseFat:
            done = !run(QStringLiteral("fusefat"),
                        {QStringLiteral("-o"), QStringLiteral("rw+"), image, point}, &why)
                        .isNull();
            break;
        case FileSystem::ExfatFuse:
            // exfat-fuse mounts block devices only.
            loopDevice_ = run(QStringLiteral("losetup"),
                              {QStringLiteral("-f"), QStringLiteral("--show"), image}, &why);
            done = !loopDevice_.isEmpty() &&
                   !run(QStringLiteral("mount.exfat-fuse"), {loopDevice_, point}, &why).isNull();
            break;
        case FileSystem::Ntfs3g:
            done = !run(QStringLiteral("ntfs-3g"), {image, point}, &why).isNull();
            break;
        case FileSystem::Sshfs:
            done = !run(QStringLiteral("sshfs"),
                        {QStringLiteral("-o"),
                         QStringLiteral("ssh_command=") + work_.filePath(QStringLiteral("sftp")),
                         QStringLiteral("localhost:") + work_.filePath(QStringLiteral("served")),
                         point},
                        &why)
                        .isNull();
            break;
    }
    mounted_ = done && (fs_ == FileSystem::Tmpfs || waitForMountPoint(point, true));
    error_ = mounted_ ? QString() : nameOf(fs_) + QStringLiteral(": ") + why;
    return mounted_;
}

bool ScopedMount::unmount() {
    if (fs_ == FileSystem::Tmpfs) {
        // The same volume again: keep what it holds across the remount.
        return true;
    }
    const QString point = work_.filePath(QStringLiteral("mnt"));
    QString why;
    bool done = !mounted_;
    // A driver may still be busy with the files a killed process had open.
    for (int attempt = 0; mounted_ && attempt < 50; ++attempt) {
        done = !run(QStringLiteral("umount"), {point}, &why).isNull() &&
               waitForMountPoint(point, false);
        mounted_ = !done;
        if (mounted_) {
            QThread::msleep(100);
        }
    }
    if (!done) {
        error_ = nameOf(fs_) + QStringLiteral(": ") + why;
    }
    if (!loopDevice_.isEmpty()) {
        // The driver lets go of the device once it has ended.
        for (int attempt = 0; attempt < 50; ++attempt) {
            if (!run(QStringLiteral("losetup"), {QStringLiteral("-d"), loopDevice_}, &why)
                     .isNull()) {
                break;
            }
            QThread::msleep(50);
        }
        loopDevice_.clear();
    }
    return done;
}

bool ScopedMount::remount() {
    if (fs_ == FileSystem::Tmpfs) {
        return true;  // a tmpfs does not outlive its unmount
    }
    return unmount() && mount();
}

}  // namespace testing_support
