#include "about/SysInfo.h"

#include <QFileInfo>
#include <QProcess>

#include "platform/Platform.h"

namespace sysinfo {
namespace {

class DetachedStarter : public ProcessStarter {
  public:
    void start(const QString& path) override {
        if (!QProcess::startDetached(path, QStringList())) {
            throw Error(53, "the program cannot be started");
        }
    }
};

// The decimal text of the little-endian signed number held in `bytes`, as the
// hexadecimal literal built from the last byte to the first would read.
QString numberText(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        throw Error(13, "a number value without data");
    }
    if (bytes.size() > 4) {
        throw Error(6, "a number value of more than 32 bits");
    }
    std::uint32_t value = 0;
    for (int i = bytes.size() - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    // Eight hex digits make a signed 32-bit number; fewer are always positive.
    if (bytes.size() == 4) {
        return QString::number(static_cast<std::int32_t>(value));
    }
    return QString::number(value);
}

}  // namespace

ProcessStarter& systemStarter() {
    static DetachedStarter starter;
    return starter;
}

bool fileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool GetKeyValue(registry::RegistryApi& registry, std::int32_t KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal) {
    registry::Handle hKey = 0;
    // Every way out closes the key once; after a failed open the handle is
    // still null and closing it does nothing.
    const auto fail = [&] {
        KeyVal.clear();
        registry.RegCloseKey(hKey);
        return false;
    };

    if (registry.RegOpenKeyExA(static_cast<registry::Handle>(KeyRoot), KeyName.toLocal8Bit(), 0,
                               registry::kKeyAllAccess, hKey) != registry::kErrorSuccess) {
        return fail();
    }

    QByteArray buffer(kValueBufferSize, '\0');
    std::uint32_t size = kValueBufferSize;
    std::uint32_t type = 0;
    if (registry.RegQueryValueExA(hKey, SubKeyRef.toLocal8Bit(), 0, type,
                                  reinterpret_cast<unsigned char*>(buffer.data()),
                                  size) != registry::kErrorSuccess ||
        size > kValueBufferSize) {
        return fail();
    }

    try {
        // Cut to the size returned, dropping a closing NUL.
        if (size == 0) {
            throw Error(5, "a value of size 0");
        }
        QByteArray data = buffer.left(static_cast<int>(size));
        if (data.endsWith('\0')) {
            data.chop(1);
        }
        switch (type) {
            case registry::kRegSz:
                KeyVal = QString::fromLocal8Bit(data);
                break;
            case registry::kRegDword:
                KeyVal = numberText(data);
                break;
            default:
                break;  // read but not converted
        }
    } catch (...) {
        registry.RegCloseKey(hKey);
        throw;
    }
    registry.RegCloseKey(hKey);
    return true;
}

void StartSysInfo(const Services& services) {
    try {
        QString path;
        if (GetKeyValue(*services.registry, registry::kHKeyLocalMachine, kMsinfoKey, kMsinfoValue,
                        path)) {
            // Started as found; a missing file fails at the start.
        } else if (GetKeyValue(*services.registry, registry::kHKeyLocalMachine, kLocationKey,
                               kLocationValue, path)) {
            const QString candidate = path + platform::separator() + kProgramFile;
            if (!services.fileExists(candidate)) {
                services.messageBox(kUnavailable);
                return;
            }
            path = candidate;
        } else {
            services.messageBox(kUnavailable);
            return;
        }
        services.starter->start(path);
    } catch (...) {
        // Any failure on the way ends the launch with the same message.
        services.messageBox(kUnavailable);
    }
}

}  // namespace sysinfo
