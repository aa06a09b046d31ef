#include "engine/SysInfo.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#ifdef _WIN32
#include <windows.h>
#else
#include <QStandardPaths>
#endif

namespace sysinfo {

#ifdef _WIN32

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

}  // namespace

QString findTool() {
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

#else

QString findTool() {
    for (const char* program : {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(program));
        if (!found.isEmpty()) {
            return found;
        }
    }
    return QString();
}

#endif

bool startTool() {
    const QString tool = findTool();
    return !tool.isEmpty() && QProcess::startDetached(tool, QStringList());
}

}  // namespace sysinfo
