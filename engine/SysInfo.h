#pragma once

// The about box's system-information tool: where this system keeps it, and
// starting it as an independent process.

#include <QCoreApplication>
#include <QString>

namespace sysinfo {

// The message shown when the tool cannot be found or started (English; shown
// translated, in the context "SysInfo").
inline constexpr char kUnavailable[] =
    QT_TRANSLATE_NOOP("SysInfo", "System Information Is Unavailable At This Time");

// The full path of the system-information program, or empty text. On Windows
// the registry names it (HKLM "SOFTWARE\Microsoft\Shared Tools\MSINFO" value
// "PATH", else MSINFO32.EXE in the folder of "SOFTWARE\Microsoft\Shared Tools
// Location" value "MSINFO" when that file exists); elsewhere it is the first
// of hardinfo2, hardinfo, kinfocenter and gnome-system-monitor on PATH.
QString findTool();

// Finds the tool and starts it without waiting for it. False when there is
// none or it would not start.
bool startTool();

}  // namespace sysinfo
