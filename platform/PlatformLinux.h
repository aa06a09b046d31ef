#pragma once

// The Linux platform, visible to tests so they can drive the rename through
// its fallback and failure branches on a real directory.

#include <sys/stat.h>

#include "platform/Platform.h"

namespace platform {

// The system calls the Linux rename is made of, all relative to the batch's
// open directory. Each returns 0 or -1 with errno set, exactly as the
// system's own.
struct SystemCalls {
    int (*renameat2)(int oldDirFd, const char* oldPath, int newDirFd, const char* newPath,
                     unsigned int flags);
    int (*linkat)(int oldDirFd, const char* oldPath, int newDirFd, const char* newPath, int flags);
    int (*unlinkat)(int dirFd, const char* path, int flags);
    int (*fstatat)(int dirFd, const char* path, struct stat* result, int flags);

    // The real calls.
    static SystemCalls system();
};

class LinuxPlatform : public Platform {
  public:
    explicit LinuxPlatform(const SystemCalls& calls = SystemCalls::system());

    // An O_PATH descriptor of the directory.
    OpenedDirectory openDirectory(const QString& path) override;
    // renameat2(RENAME_NOREPLACE); where the file system does not support it,
    // link() + unlink() of the old name while it still names the same file;
    // where it refuses hard links too, error 75.
    RenameResult renameIn(const PinnedDirectory& dir, QStringView from, QStringView to) override;
    Listing listFilesIn(const PinnedDirectory& dir) override;
    Identity identify(const PinnedDirectory& dir) override;
    // The inode number comes from the directory entry itself and the device
    // from the directory, so listing costs no call per file.
    IdListing listIds(const PinnedDirectory& dir) override;
    Error writeFileDurably(const QString& path, const QByteArray& data) override;

    Listing listFiles(const QString& dir) override;
    Listing listDirectories(const QString& dir) override;
    bool directoryExists(const QString& dir) override;
    bool fileExists(const QString& path) override;
    QStringList drives() override;
    QString programDirectory() override;
    DirectoryFacts describeDirectory(const PinnedDirectory& dir) override;

  private:
    RenameResult failure(int osError, int dirFd) const;
    RenameResult linkAndUnlink(int dirFd, const char* source, const char* target);

    SystemCalls calls_;
};

// The program's error for a system error of a rename (errno).
// ENOENT gives 53 when `directoryExists` and 76 when the directory vanished.
Error errorForErrno(int osError, bool directoryExists);

}  // namespace platform
