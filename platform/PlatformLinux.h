#pragma once

// The Linux system, visible to tests so they can drive its renames and
// durable writes through every fallback and failure on a real directory.

#include <sys/stat.h>

#include <optional>

#include "platform/Platform.h"

namespace platform {

// The system calls renames and durable writes are made of. Each returns what
// the system's own returns, with errno set on failure.
struct SystemCalls {
    int (*renameat2)(int oldDirFd, const char* oldPath, int newDirFd, const char* newPath,
                     unsigned int flags);
    int (*linkat)(int oldDirFd, const char* oldPath, int newDirFd, const char* newPath, int flags);
    int (*unlinkat)(int dirFd, const char* path, int flags);
    int (*fstatat)(int dirFd, const char* path, struct stat* result, int flags);
    int (*openat)(int dirFd, const char* path, int flags, mode_t mode);
    long (*write)(int fd, const void* data, unsigned long size);
    int (*fsync)(int fd);

    // The real calls.
    static SystemCalls system();
};

// Name rules by file-system type: "vfat", "exfat", "fuse.exfat", "fuseblk"
// with the volume's signature... `type` as the mount table gives it,
// `subtype` what the volume itself says it is (empty when unknown).
NameRules rulesForType(const QString& type, const QString& volumeType);
// How renames go on a file system of that type, where it is one we know
// (its way and whether a rename keeps a file's time); nothing elsewhere.
std::optional<RenameTraits> renamesForType(const QString& type, const QString& volumeType);

class LinuxSystem : public System {
  public:
    explicit LinuxSystem(const SystemCalls& calls = SystemCalls::system()) : calls_(calls) {}

    Status identify(const PinnedDirectory& dir, QStringView name, Fingerprint* out,
                    Contents contents = Contents::Skip) override;
    Listing list(const PinnedDirectory& dir) override;
    // renameat2(RENAME_NOREPLACE); where the file system refuses that flag,
    // a hard link under the new name and the old name dropped while it still
    // names the same file; where links are refused too, the new name
    // reserved by a placeholder and the file renamed over it while that is
    // still ours. The way that works is kept in the directory.
    Status renameIn(const PinnedDirectory& dir, QStringView from, QStringView to,
                    const Fingerprint* known = nullptr) override;
    Status writeFileDurably(const QString& path, const QByteArray& data, Reach reach) override;
    RenameTraits learnRenames(const PinnedDirectory& dir) override;
    Status dropPlaceholder(const PinnedDirectory& dir, QStringView name) override;
    Status dropSecondName(const PinnedDirectory& dir, QStringView name, QStringView keep) override;
    Status readStart(const PinnedDirectory& dir, QStringView name, qint64 limit,
                     QByteArray* out) override;

    OpenedDirectory openDirectory(const QString& path) override;
    Listing listDirectory(const QString& path) override;
    bool directoryExists(const QString& path) override;
    QStringList drives() override;

  private:
    Status move(const PinnedDirectory& dir, const char* source, const char* target,
                const Fingerprint* known = nullptr);
    Status changeCase(const PinnedDirectory& dir, const char* source, const char* target);
    Status linkAndUnlink(int dirFd, const char* source, const char* target, bool stableInodes,
                         const Fingerprint* known, bool* unsupported);
    Status reserveAndRename(int dirFd, const char* source, const char* target);
    Status checkAndRename(int dirFd, const char* source, const char* target);

    SystemCalls calls_;
};

}  // namespace platform
