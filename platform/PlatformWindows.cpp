// The Windows platform. File names are UTF-16 there, so no byte decoding is
// needed; MoveFileExW without MOVEFILE_REPLACE_EXISTING never replaces a file.
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

class WindowsPlatform : public Platform {
  public:
    RenameResult renameFile(const QString& from, const QString& to) override {
        if (!isRenameInPlace(from, to)) {
            return RenameResult{Error::PathFileAccess, 0};
        }
        if (from == to) {
            return RenameResult{};
        }
        if (MoveFileExW(wide(from).c_str(), wide(to).c_str(), 0)) {
            return RenameResult{};
        }
        const DWORD error = GetLastError();
        return RenameResult{errorForWin32(error), int(error)};
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

Platform& real() {
    static WindowsPlatform instance;
    return instance;
}

}  // namespace platform

#endif  // _WIN32
