#pragma once

// The about box's system-information tool (platform::systemInformationTool()
// finds it), started as an independent process.

#include <QCoreApplication>

namespace sysinfo {

// The message shown when the tool cannot be found or started (English; shown
// translated, in the context "SysInfo").
inline constexpr char kUnavailable[] =
    QT_TRANSLATE_NOOP("SysInfo", "System Information Is Unavailable At This Time");

// Finds the tool and starts it without waiting for it. False when there is
// none or it would not start.
bool startTool();

}  // namespace sysinfo
