// The Windows platform. File names are UTF-16 there, so no byte decoding is
// needed; MoveFileExW without MOVEFILE_REPLACE_EXISTING never replaces a file.
// A pinned directory is its path: every rename of a batch joins the chosen
// path with the file's name.
#ifdef _WIN32

#include <windows.h>

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <cwchar>
#include <iterator>
#include <string>

#include "platform/Platform.h"

namespace platform {

namespace {

std::wstring wide(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

Error errorForWin32(DWORD error) {
    switch (error) {
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS:
            return Error::FileExists;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_INVALID_NAME:
            return Error::PathFileAccess;
        case ERROR_FILE_NOT_FOUND:
            return Error::FileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_NOT_READY:
            return Error::PathNotFound;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return Error::DiskFull;
        case ERROR_NOT_SAME_DEVICE:
            return Error::RenameAcrossDisks;
        default:
            return Error::InvalidCall;
    }
}

DWORD attributes(const QString& path) {
    return path.isEmpty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide(path).c_str());
}

class WindowsDirectory : public PinnedDirectory {
  public:
    explicit WindowsDirectory(const QString& path) : PinnedDirectory(path, -1) {}
};

QString pathIn(const PinnedDirectory& dir, QStringView name) {
    return joinPath(dir.path(), name.toString());
}

// The volume serial number and file index of `path`, the entry itself (a
// reparse point is not followed).
Identity identityOf(const QString& path) {
    const HANDLE h = CreateFileW(
        wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return Identity{errorForWin32(error), int(error), {}};
    }
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL ok = GetFileInformationByHandle(h, &info);
    const DWORD error = ok ? 0 : GetLastError();
    CloseHandle(h);
    if (!ok) {
        return Identity{errorForWin32(error), int(error), {}};
    }
    return Identity{Error::None, 0,
                    FileId{info.dwVolumeSerialNumber,
                           (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow}};
}

class WindowsPlatform : public Platform {
  public:
    OpenedDirectory openDirectory(const QString& path) override {
        if (!directoryExists(path)) {
            return OpenedDirectory{nullptr, Error::PathNotFound, int(ERROR_PATH_NOT_FOUND)};
        }
        return OpenedDirectory{std::make_shared<WindowsDirectory>(path)};
    }

    RenameResult renameIn(const PinnedDirectory& dir, QStringView from, QStringView to) override {
        if (!isPlainFileName(from) || !isPlainFileName(to)) {
            return RenameResult{Error::PathFileAccess, 0};
        }
        if (from == to) {
            return RenameResult{};
        }
        if (MoveFileExW(wide(pathIn(dir, from)).c_str(), wide(pathIn(dir, to)).c_str(), 0)) {
            return RenameResult{};
        }
        const DWORD error = GetLastError();
        return RenameResult{errorForWin32(error), int(error)};
    }

    Listing listFilesIn(const PinnedDirectory& dir) override { return list(dir.path(), false); }

    Identity identify(const PinnedDirectory& dir) override {
        if (!directoryExists(dir.path())) {
            return Identity{Error::PathNotFound, int(ERROR_PATH_NOT_FOUND), {}};
        }
        return identityOf(dir.path());
    }

    IdListing listIds(const PinnedDirectory& dir) override {
        IdListing result;
        const Listing files = list(dir.path(), false);
        for (const QString& name : files.names) {
            const Identity identity = identityOf(pathIn(dir, name));
            if (identity.ok()) {
                result.names.append(name);
                result.ids.append(identity.id);
            }
        }
        result.ok = files.ok;
        return result;
    }

    Error writeFileDurably(const QString& path, const QByteArray& data) override {
        const QString temporary = path + QStringLiteral(".new");
        const HANDLE h = CreateFileW(wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            return errorForWin32(GetLastError());
        }
        DWORD written = 0;
        BOOL ok = WriteFile(h, data.constData(), DWORD(data.size()), &written, nullptr) &&
                  written == DWORD(data.size()) && FlushFileBuffers(h);
        DWORD error = ok ? 0 : GetLastError();
        CloseHandle(h);
        // MOVEFILE_WRITE_THROUGH returns only once the move is on disk.
        if (ok && !MoveFileExW(wide(temporary).c_str(), wide(path).c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            ok = FALSE;
            error = GetLastError();
        }
        if (!ok) {
            DeleteFileW(wide(temporary).c_str());
            return errorForWin32(error);
        }
        return Error::None;
    }

    Listing listFiles(const QString& dir) override { return list(dir, false); }
    Listing listDirectories(const QString& dir) override { return list(dir, true); }

    bool directoryExists(const QString& dir) override {
        const DWORD a = attributes(dir);
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    bool fileExists(const QString& path) override {
        const DWORD a = attributes(path);
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }

    QStringList drives() override {
        wchar_t buffer[512];
        const DWORD n = GetLogicalDriveStringsW(DWORD(std::size(buffer)), buffer);
        QStringList roots;
        for (const wchar_t* p = buffer; n > 0 && n < std::size(buffer) && *p != 0;
             p += wcslen(p) + 1) {
            roots.append(QString::fromWCharArray(p).toLower());
        }
        return roots;
    }

    QString programDirectory() override {
        return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    }

  private:
    Listing list(const QString& dir, bool directories) {
        Listing result;
        WIN32_FIND_DATAW data;
        const HANDLE h = FindFirstFileW(wide(joinPath(dir, QStringLiteral("*"))).c_str(), &data);
        if (h == INVALID_HANDLE_VALUE) {
            result.ok = GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty drive
            return result;
        }
        do {
            const QString name = QString::fromWCharArray(data.cFileName);
            const bool isDir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (isDir == directories && name != QLatin1String(".") && name != QLatin1String("..")) {
                result.names.append(name);
            }
        } while (FindNextFileW(h, &data));
        FindClose(h);
        std::sort(result.names.begin(), result.names.end());
        result.ok = true;
        return result;
    }
};

}  // namespace

QString xdgBaseDirectory(const char* variable, const QString& underHome) {
    const QString xdg = qEnvironmentVariable(variable);
    return !xdg.isEmpty() && QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + underHome;
}

Platform& real() {
    static WindowsPlatform instance;
    return instance;
}

}  // namespace platform

#endif  // _WIN32
