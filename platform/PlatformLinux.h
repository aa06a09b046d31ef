#pragma once

// The Linux platform, visible to tests so they can drive the rename through
// its fallback and failure branches on a real directory.

#include "platform/Platform.h"

namespace platform {

// The system calls the Linux rename is made of. Each returns 0 or -1 with errno
// set, exactly as the system's own.
struct SystemCalls {
    int (*renameat2)(int oldDirFd, const char* oldPath, int newDirFd, const char* newPath,
                     unsigned int flags);
    int (*link)(const char* oldPath, const char* newPath);
    int (*unlink)(const char* path);

    // The real calls.
    static SystemCalls system();
};

class LinuxPlatform : public Platform {
  public:
    explicit LinuxPlatform(const SystemCalls& calls = SystemCalls::system());

    // renameat2(RENAME_NOREPLACE); where the file system does not support it,
    // link() + unlink(); where it refuses hard links too, error 75.
    RenameResult renameFile(const QString& from, const QString& to) override;
    Listing listFiles(const QString& dir) override;
    Listing listDirectories(const QString& dir) override;
    bool directoryExists(const QString& dir) override;
    bool fileExists(const QString& path) override;
    QStringList drives() override;
    QString programDirectory() override;
    DirectoryFacts describeDirectory(const QString& dir) override;

  private:
    Listing list(const QString& dir, bool directories);

    SystemCalls calls_;
};

// The program's error for a system error of a rename (errno).
// ENOENT gives 53 when `directoryExists` and 76 when the directory vanished.
Error errorForErrno(int osError, bool directoryExists);

}  // namespace platform
