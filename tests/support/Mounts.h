#pragma once

// File systems users rename on, made for a test as it runs: a small tmpfs,
// FAT and exFAT and NTFS images mounted through their FUSE drivers (fusefat,
// exfat-fuse, ntfs-3g), a local directory served through sshfs, and ext4, XFS
// and Btrfs images mounted by the kernel over a loop device. Each mount goes,
// with its image and its loop device, when the fixture does.

#include <QString>
#include <memory>

#include "tests/support/TestSupport.h"

namespace testing_support {

enum class FileSystem { Tmpfs, FuseFat, ExfatFuse, Ntfs3g, Sshfs, Ext4, Xfs, Btrfs };

// The name a test row gives `fs` ("exfat-fuse"...).
QString nameOf(FileSystem fs);
// Whether this machine can mount FUSE file systems at all (/dev/fuse).
bool fuseAvailable();

class ScopedMount {
  public:
    // A volume of `megabytes` (where the file system can be that small).
    explicit ScopedMount(FileSystem fs, int megabytes = 16);
    ~ScopedMount();
    ScopedMount(const ScopedMount&) = delete;
    ScopedMount& operator=(const ScopedMount&) = delete;

    // Empty when the file system is mounted, else why not.
    const QString& error() const { return error_; }
    // The mounted directory.
    QString path() const;
    // Unmounts and mounts the same volume again, as a drive that was
    // unplugged and plugged back: a new device number (for exfat-fuse a new
    // loop device), and every inode number the driver made up is new. The
    // kernel's file systems keep their inode numbers and get a loop device
    // afresh, which may have the old number.
    bool remount();
    // Copies the directory `from` (files with their times) to `subdirectory`
    // of the volume, without the driver where a tool writes the image
    // itself (mtools for FAT). Empty, or why not.
    QString copyIn(const QString& from, const QString& subdirectory);
    // Unmounts, runs the file system's own checker (changing nothing) and
    // mounts again. Empty when it found the volume clean, else its report.
    QString check();

  private:
    bool mount();
    bool unmount();

    FileSystem fs_;
    TempFiles work_;  // the image, the mount point, the served directory
    bool mounted_ = false;
    QString error_;
    std::unique_ptr<ScopedTmpfs> tmpfs_;
};

}  // namespace testing_support
