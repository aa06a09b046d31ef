// The real registry of Windows.
#if defined(_WIN32)

#include <windows.h>

#include "engine/Registry.h"

namespace registry {
namespace {

HKEY toHkey(Handle key) {
    return reinterpret_cast<HKEY>(key);
}

class WindowsRegistry : public RegistryApi {
  public:
    long RegOpenKeyExA(Handle key, const QByteArray& subKey, std::uint32_t options,
                       std::uint32_t access, Handle& result) override {
        HKEY opened = nullptr;
        const LONG rc = ::RegOpenKeyExA(toHkey(key), subKey.constData(), options,
                                        static_cast<REGSAM>(access), &opened);
        if (rc == ERROR_SUCCESS) {
            result = reinterpret_cast<Handle>(opened);
        }
        return rc;
    }

    long RegQueryValueExA(Handle key, const QByteArray& valueName, std::uint32_t,
                          std::uint32_t& type, unsigned char* data, std::uint32_t& size) override {
        DWORD valueType = 0;
        DWORD valueSize = size;
        const LONG rc = ::RegQueryValueExA(toHkey(key), valueName.constData(), nullptr, &valueType,
                                           data, &valueSize);
        type = valueType;
        size = valueSize;
        return rc;
    }

    long RegCloseKey(Handle key) override {
        if (key == 0) {
            return ERROR_INVALID_HANDLE;
        }
        return ::RegCloseKey(toHkey(key));
    }
};

}  // namespace

RegistryApi& systemRegistry() {
    static WindowsRegistry registry;
    return registry;
}

}  // namespace registry

#endif  // _WIN32
