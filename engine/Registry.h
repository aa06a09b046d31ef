#pragma once

// Read access to the system registry, in the shape of the three calls the
// about box makes: open a key, query a value into a byte buffer, close the key.
// On Windows this is the real registry. Elsewhere a read-only store serves the
// two places where Windows records its system-information tool:
//   SOFTWARE\Microsoft\Shared Tools\MSINFO, value PATH: the full path of the
//     desktop's system-information program when one is installed (the first of
//     hardinfo2, hardinfo, kinfocenter, gnome-system-monitor found on PATH),
//     absent otherwise;
//   SOFTWARE\Microsoft\Shared Tools Location, value MSINFO: always absent.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <utility>
#include <vector>

namespace registry {

// A key handle as the registry calls pass it (a root or an opened key).
using Handle = std::intptr_t;

// Result codes of the calls, as Windows numbers them.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorMoreData = 234;

// Roots, as 32-bit values: the handle is the value sign-extended.
constexpr std::int32_t kHKeyLocalMachine = static_cast<std::int32_t>(0x80000002u);

// Value types.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegDword = 4;

// Standard read rights plus every key-specific right.
constexpr std::uint32_t kKeyAllAccess = 0x2003F;

class RegistryApi {
  public:
    virtual ~RegistryApi() = default;
    // Opens `subKey` (8-bit text in the system code page) below `key`.
    // Returns kErrorSuccess and sets `result`, or an error code.
    virtual long RegOpenKeyExA(Handle key, const QByteArray& subKey, std::uint32_t options,
                               std::uint32_t access, Handle& result) = 0;
    // Reads the value `valueName` of an open key into `data`, which holds
    // `size` bytes. On success sets `type` and `size` (the bytes written). A
    // value larger than the buffer gives kErrorMoreData.
    virtual long RegQueryValueExA(Handle key, const QByteArray& valueName, std::uint32_t reserved,
                                  std::uint32_t& type, unsigned char* data,
                                  std::uint32_t& size) = 0;
    virtual long RegCloseKey(Handle key) = 0;
};

// The registry of this system; lives for the whole run.
RegistryApi& systemRegistry();

// The read-only stand-in used where there is no registry. `searchPath` lists
// the directories searched for the system-information program; empty means
// the directories of the PATH environment variable.
class DesktopRegistry : public RegistryApi {
  public:
    explicit DesktopRegistry(QStringList searchPath = {});

    long RegOpenKeyExA(Handle key, const QByteArray& subKey, std::uint32_t options,
                       std::uint32_t access, Handle& result) override;
    long RegQueryValueExA(Handle key, const QByteArray& valueName, std::uint32_t reserved,
                          std::uint32_t& type, unsigned char* data, std::uint32_t& size) override;
    long RegCloseKey(Handle key) override;

    // The desktop's system-information program, or empty text.
    QString systemInformationProgram() const;

  private:
    enum class Key { SharedToolsMsinfo, SharedToolsLocation };
    QStringList searchPath_;
    std::vector<std::pair<Handle, Key>> open_;
    Handle nextHandle_ = 1;
};

}  // namespace registry
