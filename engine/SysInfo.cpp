#include "engine/SysInfo.h"

#include <QFileInfo>
#include <QProcess>

#include "platform/Platform.h"

namespace sysinfo {
namespace {

class DetachedStarter : public ProcessStarter {
  public:
    Error start(const QString& path) override {
        return QProcess::startDetached(path, QStringList()) ? Error::None : Error::FileNotFound;
    }
};

// The decimal text of the little-endian signed number held in `bytes`, as the
// hexadecimal literal built from the last byte to the first would read.
Error numberText(const QByteArray& bytes, QString* text) {
    if (bytes.isEmpty()) {
        return Error::TypeMismatch;  // a number value without data
    }
    if (bytes.size() > 4) {
        return Error::Overflow;  // more than 32 bits
    }
    std::uint32_t value = 0;
    for (int i = bytes.size() - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    // Eight hex digits make a signed 32-bit number; fewer are always positive.
    *text = bytes.size() == 4 ? QString::number(static_cast<std::int32_t>(value))
                              : QString::number(value);
    return Error::None;
}

// The value's data as text, by its type; other types leave `KeyVal` as it was.
Error convertValue(std::uint32_t type, QByteArray data, QString& KeyVal) {
    // Cut to the size returned, dropping a closing NUL.
    if (data.isEmpty()) {
        return Error::InvalidCall;  // a value of size 0
    }
    if (data.endsWith('\0')) {
        data.chop(1);
    }
    switch (type) {
        case registry::kRegSz:
            KeyVal = QString::fromLocal8Bit(data);
            return Error::None;
        case registry::kRegDword:
            return numberText(data, &KeyVal);
        default:
            return Error::None;  // read but not converted
    }
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
                 const QString& SubKeyRef, QString& KeyVal, Error* raised) {
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

    const Error error = convertValue(type, buffer.left(static_cast<int>(size)), KeyVal);
    registry.RegCloseKey(hKey);
    if (error != Error::None) {
        if (raised != nullptr) {
            *raised = error;
        }
        return false;
    }
    return true;
}

void StartSysInfo(const Services& services) {
    // Any failure on the way ends the launch with the same message.
    Error raised = Error::None;
    QString path;
    const auto look = [&](const QString& key, const QString& value) {
        return GetKeyValue(*services.registry, registry::kHKeyLocalMachine, key, value, path,
                           &raised);
    };
    bool found = look(kMsinfoKey, kMsinfoValue);  // started as found; a missing file fails then
    if (!found && raised == Error::None && look(kLocationKey, kLocationValue)) {
        const QString candidate = path + platform::separator() + kProgramFile;
        found = services.fileExists(candidate);
        path = candidate;
    }
    if (!found || services.starter->start(path) != Error::None) {
        services.messageBox(QCoreApplication::translate("SysInfo", kUnavailable));
    }
}

}  // namespace sysinfo
