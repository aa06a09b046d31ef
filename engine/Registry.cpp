#include "engine/Registry.h"

#include <QStandardPaths>
#include <algorithm>
#include <cstring>

namespace registry {
namespace {

const QByteArray kMsinfoKey = QByteArrayLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QByteArray kLocationKey = QByteArrayLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QByteArray kPathValue = QByteArrayLiteral("PATH");

// Registry names compare without regard to ASCII case.
bool sameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

DesktopRegistry::DesktopRegistry(QStringList searchPath) : searchPath_(std::move(searchPath)) {}

QString DesktopRegistry::systemInformationProgram() const {
    static const char* const kPrograms[] = {"hardinfo2", "hardinfo", "kinfocenter",
                                            "gnome-system-monitor"};
    for (const char* program : kPrograms) {
        const QString found =
            QStandardPaths::findExecutable(QString::fromLatin1(program), searchPath_);
        if (!found.isEmpty()) {
            return found;
        }
    }
    return QString();
}

long DesktopRegistry::RegOpenKeyExA(Handle key, const QByteArray& subKey, std::uint32_t,
                                    std::uint32_t, Handle& result) {
    if (key != static_cast<Handle>(kHKeyLocalMachine)) {
        return kErrorFileNotFound;
    }
    Key which;
    if (sameName(subKey, kMsinfoKey)) {
        which = Key::SharedToolsMsinfo;
    } else if (sameName(subKey, kLocationKey)) {
        which = Key::SharedToolsLocation;
    } else {
        return kErrorFileNotFound;
    }
    result = nextHandle_++;
    open_.emplace_back(result, which);
    return kErrorSuccess;
}

long DesktopRegistry::RegQueryValueExA(Handle key, const QByteArray& valueName, std::uint32_t,
                                       std::uint32_t& type, unsigned char* data,
                                       std::uint32_t& size) {
    const auto entry =
        std::find_if(open_.cbegin(), open_.cend(), [key](const auto& e) { return e.first == key; });
    if (entry == open_.cend()) {
        return kErrorInvalidHandle;
    }
    if (entry->second != Key::SharedToolsMsinfo || !sameName(valueName, kPathValue)) {
        return kErrorFileNotFound;
    }
    const QString program = systemInformationProgram();
    if (program.isEmpty()) {
        return kErrorFileNotFound;
    }
    // A text value as the registry keeps it: code-page bytes and a closing NUL.
    QByteArray value = program.toLocal8Bit();
    value.append('\0');
    type = kRegSz;
    const auto needed = static_cast<std::uint32_t>(value.size());
    if (data == nullptr || needed > size) {
        size = needed;
        return data == nullptr ? kErrorSuccess : kErrorMoreData;
    }
    std::memcpy(data, value.constData(), needed);
    size = needed;
    return kErrorSuccess;
}

long DesktopRegistry::RegCloseKey(Handle key) {
    const auto entry =
        std::find_if(open_.begin(), open_.end(), [key](const auto& e) { return e.first == key; });
    if (entry == open_.end()) {
        return kErrorInvalidHandle;
    }
    open_.erase(entry);
    return kErrorSuccess;
}

#if !defined(_WIN32)
RegistryApi& systemRegistry() {
    static DesktopRegistry registry;
    return registry;
}
#endif

}  // namespace registry
