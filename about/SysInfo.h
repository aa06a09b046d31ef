#pragma once

// Finding and starting the system-information tool: two registry look-ups,
// then a program started as an independent process, or a message saying the
// tool is unavailable. Every outside service is replaceable for tests.

#include <QString>
#include <cstdint>
#include <functional>
#include <stdexcept>

#include "about/Registry.h"

namespace sysinfo {

inline const QString kMsinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString kMsinfoValue = QStringLiteral("PATH");
inline const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString kLocationValue = QStringLiteral("MSINFO");
inline const QString kProgramFile = QStringLiteral("MSINFO32.EXE");
inline const QString kUnavailable =
    QStringLiteral("System Information Is Unavailable At This Time");
constexpr std::uint32_t kValueBufferSize = 1024;

// A numbered failure raised on the way (a value that cannot be converted, a
// program that cannot be started).
class Error : public std::runtime_error {
  public:
    Error(int number, const char* what) : std::runtime_error(what), number_(number) {}
    int number() const { return number_; }

  private:
    int number_;
};

// Starts programs as independent processes.
class ProcessStarter {
  public:
    virtual ~ProcessStarter() = default;
    // Starts the program file at `path` with a normal window that takes the
    // focus, and returns without waiting. Throws Error when it cannot start.
    virtual void start(const QString& path) = 0;
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
// 1024 bytes included). Throws Error when the value's data cannot be turned
// into text (no data, a number of more than four bytes). The key is closed
// exactly once whatever happens.
bool GetKeyValue(registry::RegistryApi& registry, std::int32_t KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal);

// Starts the tool named by the first look-up, else MSINFO32.EXE in the folder
// named by the second when that file exists; shows kUnavailable through the
// message box when neither works or anything fails on the way.
void StartSysInfo(const Services& services);

}  // namespace sysinfo
