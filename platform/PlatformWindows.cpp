// The Windows system. File names are UTF-16 there and need no byte decoding.
// A pinned directory is a handle (FILE_FLAG_BACKUP_SEMANTICS, shared for
// reading, writing and deleting, so the user may still move or remove it),
// and a batch reaches its files through that handle alone: they are opened
// relative to it (NtCreateFile with OBJECT_ATTRIBUTES.RootDirectory), listed
// through it (GetFileInformationByHandleEx) and renamed within it
// (FILE_RENAME_INFO.RootDirectory, never replacing). Durable writes and the
// chooser's listings work by path, as nothing is pinned there.

// windows.h comes first: the others build on it.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>
#include <winternl.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QThread>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace platform {

namespace {

// Win32 error -> the program's error number, the same as for the Linux
// counterparts of each.
constexpr std::pair<DWORD, Error> kWin32Table[] = {
    {ERROR_ALREADY_EXISTS, Error::FileExists},
    {ERROR_FILE_EXISTS, Error::FileExists},
    {ERROR_ACCESS_DENIED, Error::PathFileAccess},
    {ERROR_SHARING_VIOLATION, Error::PathFileAccess},
    {ERROR_LOCK_VIOLATION, Error::PathFileAccess},
    {ERROR_WRITE_PROTECT, Error::PathFileAccess},
    {ERROR_INVALID_NAME, Error::PathFileAccess},
    {ERROR_FILENAME_EXCED_RANGE, Error::PathFileAccess},
    {ERROR_FILE_NOT_FOUND, Error::FileNotFound},
    {ERROR_PATH_NOT_FOUND, Error::PathNotFound},
    {ERROR_DIRECTORY, Error::PathNotFound},
    {ERROR_DISK_FULL, Error::DiskFull},
    {ERROR_HANDLE_DISK_FULL, Error::DiskFull},
    {ERROR_NOT_SAME_DEVICE, Error::RenameAcrossDisks},
};

// The status of a failed call that gave `osError`. ERROR_FILE_NOT_FOUND is a
// missing path where the directory itself has gone.
Status systemError(DWORD osError, bool directoryExists = true) {
    for (const auto& [known, error] : kWin32Table) {
        if (known == osError) {
            return Status{
                known == ERROR_FILE_NOT_FOUND && !directoryExists ? Error::PathNotFound : error,
                int(osError)};
        }
    }
    return Status{Error::InvalidCall, int(osError)};
}

std::wstring native(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class WindowsDirectory : public PinnedDirectory {
  public:
    WindowsDirectory(const QString& path, HANDLE handle, const NameRules& rules)
        : PinnedDirectory(path, reinterpret_cast<qintptr>(handle), rules) {}
    ~WindowsDirectory() override { CloseHandle(reinterpret_cast<HANDLE>(handle())); }
};

HANDLE handleOf(const PinnedDirectory& dir) {
    return reinterpret_cast<HANDLE>(dir.handle());
}

// Any failure in a directory that has been removed since it was pinned is
// that: the path is gone. A directory removed while it is held open is only
// pending deletion.
Status failure(DWORD osError, HANDLE dir) {
    FILE_STANDARD_INFO info;
    return systemError(osError,
                       GetFileInformationByHandleEx(dir, FileStandardInfo, &info, sizeof info) &&
                           !info.DeletePending);
}

// Opens the directory at `path` for listing and for opens relative to it.
// Returns 0 or the Win32 error.
DWORD openDirectoryAt(const QString& path, HANDLE* out) {
    *out = CreateFileW(native(path).c_str(),
                       FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES, kShareAll,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (*out == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(*out, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        CloseHandle(*out);
        return ERROR_DIRECTORY;
    }
    return 0;
}

// Opens the entry `name` of the directory `dir` whatever has become of the
// directory's path; an empty name opens the directory itself anew (a handle
// with a listing position of its own). Returns 0 or the Win32 error.
DWORD openIn(HANDLE dir, QStringView name, ACCESS_MASK access, ULONG options, HANDLE* out) {
    if (name.size() > 255) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    UNICODE_STRING ntName;
    ntName.Buffer = const_cast<PWSTR>(reinterpret_cast<PCWSTR>(name.utf16()));
    ntName.Length = USHORT(name.size() * sizeof(wchar_t));
    ntName.MaximumLength = ntName.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &ntName, OBJ_CASE_INSENSITIVE, dir, nullptr);
    IO_STATUS_BLOCK io;
    const NTSTATUS status = NtCreateFile(
        out, access | SYNCHRONIZE, &attributes, &io, nullptr, 0, kShareAll, FILE_OPEN,
        options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT, nullptr, 0);
    return status >= 0 ? 0 : RtlNtStatusToDosError(status);
}

// Size, modification time and (where it lasts) file index of an open file.
DWORD fingerprintOf(HANDLE file, bool stableIds, Fingerprint* out) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        return GetLastError();
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return ERROR_FILE_NOT_FOUND;  // a directory is no file of a batch
    }
    // FILETIME counts 100 ns from 1601; this many of them lie before 1970.
    constexpr qint64 kEpochTicks = 116444736000000000;
    const qint64 ticks = qint64((quint64(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                info.ftLastWriteTime.dwLowDateTime);
    *out = Fingerprint{qint64((quint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow),
                       (ticks - kEpochTicks) * 100,
                       stableIds ? (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow : 0};
    return 0;
}

// The contents hash (sampledHash) of the open file `file` of `size` bytes.
quint64 contentsHash(HANDLE file, qint64 size) {
    return sampledHash(size, [file](char* buffer, qint64 length, qint64 offset) {
        OVERLAPPED at = {};
        at.Offset = DWORD(quint64(offset));
        at.OffsetHigh = DWORD(quint64(offset) >> 32);
        DWORD n = 0;
        return ReadFile(file, buffer, DWORD(length), &n, &at) ? qint64(n) : qint64(-1);
    });
}

// The attributes of what the link `name` of `dir` points at, or
// INVALID_FILE_ATTRIBUTES when it leads nowhere.
DWORD followedAttributes(HANDLE dir, QStringView name) {
    HANDLE target = INVALID_HANDLE_VALUE;
    if (openIn(dir, name, FILE_READ_ATTRIBUTES, 0, &target) != 0) {
        return INVALID_FILE_ATTRIBUTES;
    }
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(target, &info);
    CloseHandle(target);
    return known ? info.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

// Every entry of the directory `dir`, by kind. A link counts as what it
// points at, and one that leads nowhere as "other".
Listing listEntries(HANDLE dir) {
    Listing listing;
    HANDLE h = INVALID_HANDLE_VALUE;
    DWORD err = openIn(dir, {}, FILE_LIST_DIRECTORY, FILE_DIRECTORY_FILE, &h);
    if (err != 0) {
        return Listing{failure(err, dir)};
    }
    std::vector<LONGLONG> buffer(8192);  // 64 KiB, aligned as the entries need
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(h, kind, buffer.data(),
                                        DWORD(buffer.size() * sizeof(LONGLONG)))) {
        kind = FileIdBothDirectoryInfo;
        for (const char* at = reinterpret_cast<const char*>(buffer.data());;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
            const QString name = QString::fromWCharArray(
                entry->FileName, int(entry->FileNameLength / sizeof(wchar_t)));
            if (name != QLatin1String(".") && name != QLatin1String("..")) {
                const DWORD attributes = (entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
                                             ? followedAttributes(h, name)
                                             : entry->FileAttributes;
                (attributes == INVALID_FILE_ATTRIBUTES          ? listing.others
                 : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? listing.directories
                                                                : listing.files)
                    .append(name);
            }
            if (entry->NextEntryOffset == 0) {
                break;
            }
            at += entry->NextEntryOffset;
        }
    }
    err = GetLastError();
    CloseHandle(h);
    if (err != ERROR_NO_MORE_FILES) {
        listing.status = failure(err, dir);
    }
    return listing;
}

// Windows names everywhere: no letter case, none of the characters Windows
// refuses, at most 255 UTF-16 units.
NameRules rulesOf(HANDLE dir) {
    NameRules rules;
    rules.caseInsensitive = true;
    rules.windowsNames = true;
    rules.maxBytes = 0;
    rules.maxUnits = 255;
    wchar_t type[MAX_PATH + 1] = {};
    DWORD flags = 0;
    QString fileSystem;
    if (GetVolumeInformationByHandleW(dir, nullptr, 0, nullptr, nullptr, &flags, type,
                                      MAX_PATH + 1)) {
        fileSystem = QString::fromWCharArray(type);
        rules.readOnly = (flags & FILE_READ_ONLY_VOLUME) != 0;
    }
    // NTFS and ReFS keep a file's index for good; on the FAT family it
    // follows the directory entry, which a rename changes.
    rules.stableInodes = fileSystem == QLatin1String("NTFS") || fileSystem == QLatin1String("ReFS");
    return rules;
}

// `path` with every link along it followed, as a write to it would land; the
// path itself when nothing is there yet.
QString followLinks(const QString& path) {
    const HANDLE h = CreateFileW(native(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return path;
    }
    std::vector<wchar_t> buffer(32768);
    const DWORD n = GetFinalPathNameByHandleW(h, buffer.data(), DWORD(buffer.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(h);
    return n == 0 || n >= buffer.size() ? path : QString::fromWCharArray(buffer.data(), int(n));
}

class WindowsSystem : public System {
  public:
    Status identify(const PinnedDirectory& dir, QStringView name, Fingerprint* out,
                    Contents contents) override {
        if (!isPlainFileName(name)) {
            return Status{Error::PathFileAccess, 0};
        }
        HANDLE file = INVALID_HANDLE_VALUE;
        const ACCESS_MASK access =
            FILE_READ_ATTRIBUTES | (contents == Contents::Hash ? GENERIC_READ : 0);
        DWORD err = openIn(handleOf(dir), name, access, FILE_OPEN_REPARSE_POINT, &file);
        if (err == 0) {
            err = fingerprintOf(file, dir.rules().stableInodes, out);
            if (err == 0 && contents == Contents::Hash) {
                out->contents = contentsHash(file, out->size);
            }
            CloseHandle(file);
        }
        return err == 0 ? Status{} : failure(err, handleOf(dir));
    }

    Listing list(const PinnedDirectory& dir) override { return listEntries(handleOf(dir)); }

    // The file is opened relative to the pinned directory and renamed with
    // FILE_RENAME_INFO: RootDirectory the pinned handle, so the new name lands
    // in the same directory whatever its path is now, and ReplaceIfExists
    // FALSE, so a taken name fails with ERROR_ALREADY_EXISTS. A change of
    // letter case alone renames the file onto itself, which Windows allows.
    Status renameIn(const PinnedDirectory& dir, QStringView from, QStringView to,
                    const Fingerprint* = nullptr) override {
        if (!isPlainFileName(from) || !isPlainFileName(to)) {
            return Status{Error::PathFileAccess, 0};
        }
        if (from == to) {
            return Status{};
        }
        const HANDLE root = handleOf(dir);
        HANDLE source = INVALID_HANDLE_VALUE;
        DWORD err = openIn(root, from, DELETE, FILE_OPEN_REPARSE_POINT, &source);
        if (err == 0) {
            // The structure ends in the new name: a buffer of its own size, zeroed.
            const std::size_t nameBytes = std::size_t(to.size()) * sizeof(wchar_t);
            const std::size_t size =
                offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(wchar_t);
            std::vector<LONGLONG> buffer(size / sizeof(LONGLONG) + 1);
            auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
            info->ReplaceIfExists = FALSE;
            info->RootDirectory = root;
            info->FileNameLength = DWORD(nameBytes);
            std::memcpy(reinterpret_cast<char*>(info) + offsetof(FILE_RENAME_INFO, FileName),
                        to.utf16(), nameBytes);
            if (!SetFileInformationByHandle(source, FileRenameInfo, info, DWORD(size))) {
                err = GetLastError();
            }
            CloseHandle(source);
        }
        if (err != 0) {
            return failure(err, root);
        }
        dir.setRenameWay(RenameWay::NoReplace);
        return Status{};
    }

    // A new file beside the target under a unique name, flushed, then moved
    // over the target with MOVEFILE_WRITE_THROUGH, which returns once the
    // move is on disk (Windows offers no flush of a directory). A link is
    // followed; an existing file's hidden and system marks are kept, and the
    // new file's permissions come from its directory, as any new file's do.
    Status writeFileDurably(const QString& path, const QByteArray& data, Reach) override {
        const QString target = followLinks(path);
        const DWORD existing = GetFileAttributesW(native(target).c_str());
        const DWORD kept = existing == INVALID_FILE_ATTRIBUTES
                               ? 0
                               : existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                             FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        std::wstring temporary;
        HANDLE file = INVALID_HANDLE_VALUE;
        DWORD err = ERROR_FILE_EXISTS;  // another name is tried while the last was taken
        for (int attempt = 0;
             (err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS) && attempt < 16; ++attempt) {
            temporary = native(temporaryPrefix(target) + uniqueSuffix());
            file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL, nullptr);
            err = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        }
        if (file == INVALID_HANDLE_VALUE) {
            return systemError(err);
        }
        for (qsizetype done = 0; err == 0 && done < data.size();) {
            const qsizetype left = data.size() - done;
            DWORD written = 0;
            if (WriteFile(file, data.constData() + done,
                          left > (1 << 30) ? DWORD(1) << 30 : DWORD(left), &written, nullptr)) {
                done += written;
            } else {
                err = GetLastError();
            }
        }
        if (err == 0 && !FlushFileBuffers(file)) {
            err = GetLastError();
        }
        CloseHandle(file);
        // Replacing is the point here: the file is the program's own.
        if (err == 0 && !MoveFileExW(temporary.c_str(), native(target).c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            err = GetLastError();
        }
        if (err != 0) {
            DeleteFileW(temporary.c_str());
            return systemError(err);
        }
        return Status{};
    }

    OpenedDirectory openDirectory(const QString& path) override {
        HANDLE h = INVALID_HANDLE_VALUE;
        const DWORD err = path.isEmpty() ? DWORD(ERROR_PATH_NOT_FOUND) : openDirectoryAt(path, &h);
        if (err != 0) {
            return OpenedDirectory{nullptr, systemError(err, false)};
        }
        return OpenedDirectory{std::make_shared<WindowsDirectory>(path, h, rulesOf(h)), Status{}};
    }

    Listing listDirectory(const QString& path) override {
        const OpenedDirectory opened = openDirectory(path);
        return opened.directory ? list(*opened.directory) : Listing{opened.status};
    }

    bool directoryExists(const QString& path) override {
        const DWORD a =
            path.isEmpty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(native(path).c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    // Every drive letter in use, the one Windows runs from first.
    QStringList drives() override {
        QStringList roots;
        const DWORD letters = GetLogicalDrives();
        for (int i = 0; i < 26; ++i) {
            if ((letters & (DWORD(1) << i)) != 0) {
                roots.append(QChar(char16_t(u'a' + i)) + QStringLiteral(":\\"));
            }
        }
        wchar_t windows[MAX_PATH];
        if (GetSystemWindowsDirectoryW(windows, MAX_PATH) > 0) {
            const QString system = QChar(char16_t(windows[0])).toLower() + QStringLiteral(":\\");
            if (roots.removeOne(system)) {
                roots.prepend(system);
            }
        }
        return roots;
    }
};

}  // namespace

bool isWithin(const QString& path, const QString& root) {
    return path.compare(root, Qt::CaseInsensitive) == 0 ||
           path.startsWith(withoutRootSeparator(root) + separator(), Qt::CaseInsensitive);
}

QString temporaryPrefix(const QString& path) {
    return path + QStringLiteral(".tmp-");
}

void removeLeftTemporaries(const QString& path) {
    const QString prefix = temporaryPrefix(followLinks(path));
    const QString directory = directoryOf(prefix);
    const QString stem = nameOf(prefix);
    WIN32_FIND_DATAW found;
    const HANDLE h = FindFirstFileW(native(prefix + QLatin1Char('*')).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if (name.startsWith(stem, Qt::CaseInsensitive) &&
            isUniqueSuffix(QStringView(name).mid(stem.size()))) {
            DeleteFileW(native(joinPath(directory, name)).c_str());
        }
    } while (FindNextFileW(h, &found));
    FindClose(h);
}

// Windows has no XDG variables: every per-user base directory is the local
// application data folder (%LOCALAPPDATA%), so the journal lives in
// %LOCALAPPDATA%\Quillomat.
QString xdgBaseDirectory(const char*, const QString&) {
    PWSTR folder = nullptr;
    QString base;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &folder))) {
        base = QString::fromWCharArray(folder);
    }
    CoTaskMemFree(folder);
    return base.isEmpty() ? qEnvironmentVariable("LOCALAPPDATA") : base;
}

namespace {

// A text value below HKEY_LOCAL_MACHINE (read rights only; a value that
// holds %variables% comes expanded), or empty text when it is absent, of
// another type, or longer than the buffer.
QString machineValue(const wchar_t* key, const wchar_t* name) {
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ, nullptr,
                     buffer, &size) != ERROR_SUCCESS) {
        return QString();
    }
    return QString::fromWCharArray(buffer);  // RegGetValueW ends it with a NUL
}

// The registry below HKEY_CURRENT_USER\Software, through QSettings.
class RegistryStore : public SettingsStore {
  public:
    QString location(const QString& appName) override {
        return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + appName;
    }

    std::optional<QString> value(const QString& appName, const QString& section,
                                 const QString& key) override {
        const QVariant value =
            QSettings(QSettings::NativeFormat, QSettings::UserScope, appName, appName)
                .value(section + QLatin1Char('/') + key);
        return value.isValid() ? std::optional<QString>(value.toString()) : std::nullopt;
    }

    Status save(const QString& appName, const QString& section,
                const SettingValues& values) override {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, appName, appName);
        for (const auto& [key, value] : values) {
            store.setValue(section + QLatin1Char('/') + key, value);
        }
        store.sync();
        return store.status() == QSettings::NoError
                   ? Status{}
                   : Status{Error::PathFileAccess, 0,
                            QT_TRANSLATE_NOOP("Status", "The registry refused the change")};
    }
};

}  // namespace

QString systemInformationTool() {
    // The path the first place names is started as it is: a file that is
    // not there fails to start, and the second place is not consulted.
    const QString path = machineValue(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH");
    if (!path.isEmpty()) {
        return path;
    }
    const QString folder = machineValue(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO");
    const QString program = folder + QStringLiteral("\\MSINFO32.EXE");
    return !folder.isEmpty() && QFileInfo(program).isFile() ? program : QString();
}

// Only a file on a disk is read: a pipe, a console or a device is not. A
// directory cannot be opened so.
Status readRegularFile(const QString& path, QByteArray* out, Reach) {
    const HANDLE file = CreateFileW(native(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return systemError(GetLastError());
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return Status{Error::PathFileAccess, 0, kNotRegularFile};
    }
    DWORD err = 0;
    char buffer[65536];
    for (DWORD n = 1; err == 0 && n > 0;) {
        err = ReadFile(file, buffer, sizeof buffer, &n, nullptr) ? 0 : GetLastError();
        out->append(buffer, err == 0 ? qsizetype(n) : 0);
    }
    CloseHandle(file);
    return err == 0 ? Status{} : systemError(err);
}

// On Windows the journal folder is refused where it is a symbolic link.
Status usersAlone(const QString& path) {
    // The profile's folders are private by their access lists; Qt reads no
    // access list by default and would call every folder writable by others.
    return QFileInfo(path).isSymLink()
               ? Status{Error::PathFileAccess, 0,
                        QT_TRANSLATE_NOOP("Status", "it is a symbolic link")}
               : Status{};
}

Status makeDirectories(const QString& path) {
    const int err = path.isEmpty() ? ERROR_SUCCESS
                                   : SHCreateDirectoryExW(nullptr, native(path).c_str(), nullptr);
    return err == ERROR_SUCCESS || err == ERROR_ALREADY_EXISTS ? Status{} : systemError(DWORD(err));
}

// LockFileEx on the lock file's first byte; closing the file lets it go.
Status withLockBeside(const QString& path, int milliseconds, const char* heldTooLong,
                      const std::function<Status()>& work) {
    const HANDLE file =
        CreateFileW(native(path + QStringLiteral(".lock")).c_str(), GENERIC_READ | GENERIC_WRITE,
                    kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return systemError(GetLastError());
    }
    Status status;
    const QDeadlineTimer deadline(milliseconds);
    OVERLAPPED first = {};
    while (status.ok() && !LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                                      1, 0, &first)) {
        const DWORD err = GetLastError();
        if (err != ERROR_LOCK_VIOLATION) {
            status = systemError(err);
        } else if (deadline.hasExpired()) {
            status = Status{Error::PathFileAccess, int(err), heldTooLong};
        } else {
            QThread::usleep(QRandomGenerator::global()->bounded(200, 2000));
        }
    }
    status = status.ok() ? work() : status;
    CloseHandle(file);
    return status;
}

SettingsStore* systemSettingsStore() {
    static RegistryStore registry;
    return &registry;
}

QByteArray sortKeys(const QLocale& locale, const QString* names, qsizetype count) {
    const QString tag = locale.name().replace(u'_', u'-');
    QByteArray keys;
    for (const QString* name = names; name != names + count; ++name) {
        // The flags with which QCollator compares there; such a key is bytes.
        const auto write = [&](char* to, int room) {
            return LCMapStringEx(reinterpret_cast<LPCWSTR>(tag.utf16()),
                                 LCMAP_SORTKEY | NORM_IGNORECASE | SORT_DIGITSASNUMBERS,
                                 reinterpret_cast<LPCWSTR>(name->utf16()), int(name->size()),
                                 reinterpret_cast<LPWSTR>(to), room, nullptr, nullptr, 0);
        };
        const qsizetype at = keys.size();
        keys.append(QByteArray(qMax(write(nullptr, 0), 1), '\0'));  // a failure leaves ""
        write(keys.data() + at, int(keys.size() - at));
    }
    return keys;
}

System& real() {
    static WindowsSystem instance;
    return instance;
}

}  // namespace platform
