#pragma once

// Finding and starting the system-information tool: two registry look-ups,
// then a program started as an independent process, or a message saying the
// tool is unavailable. Every outside service is replaceable for tests.

#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <functional>

#include "engine/Registry.h"
#include "platform/Error.h"

namespace sysinfo {

inline const QString kMsinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString kMsinfoValue = QStringLiteral("PATH");
inline const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString kLocationValue = QStringLiteral("MSINFO");
inline const QString kProgramFile = QStringLiteral("MSINFO32.EXE");
// The failure message (English; shown translated, in the context "SysInfo").
inline constexpr char kUnavailable[] =
    QT_TRANSLATE_NOOP("SysInfo", "System Information Is Unavailable At This Time");
constexpr std::uint32_t kValueBufferSize = 1024;

// Starts programs as independent processes.
class ProcessStarter {
  public:
    virtual ~ProcessStarter() = default;
    // Starts the program file at `path` with a normal window that takes the
    // focus, and returns without waiting: Error::None, or FileNotFound when it
    // cannot start.
    virtual Error start(const QString& path) = 0;
};

// The real one (a detached process).
ProcessStarter& systemStarter();
// Whether an ordinary file exists at `path`.
bool fileExists(const QString& path);

// What StartSysInfo works with.
struct Services {
    registry::RegistryApi* registry = nullptr;
    ProcessStarter* starter = nullptr;
    std::function<bool(const QString& path)> fileExists;
    // Shows `text` with an OK button only and returns when it is closed.
    std::function<void(const QString& text)> messageBox;
};

// Reads the value `SubKeyRef` of the key `KeyName` below `KeyRoot` into
// KeyVal: text values as they are (their closing NUL dropped), 32-bit numbers
// as signed decimal text, other types leave KeyVal as it was. Returns false
// with KeyVal empty when the key or the value cannot be read (a value over
// 1024 bytes included). When the value's data cannot be turned into text (no
// data, a number of more than four bytes) it returns false, leaves KeyVal as
// it was and puts the error into `*raised`, which the launcher treats as a
// failure of the whole launch. The key is closed exactly once whatever happens.
bool GetKeyValue(registry::RegistryApi& registry, std::int32_t KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal, Error* raised = nullptr);

// Starts the tool named by the first look-up, else MSINFO32.EXE in the folder
// named by the second when that file exists; shows kUnavailable through the
// message box when neither works or anything fails on the way.
void StartSysInfo(const Services& services);

}  // namespace sysinfo
