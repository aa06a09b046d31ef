#pragma once

// Stand-ins for what the system-information launcher uses: a registry holding
// whatever a test puts in it and counting every call, a process starter that
// records what it starts, and a message box that records what it shows.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstring>
#include <optional>

#include "engine/Registry.h"
#include "engine/SysInfo.h"

class FakeRegistry : public registry::RegistryApi {
  public:
    struct Value {
        std::uint32_t type = registry::kRegSz;
        QByteArray data;
        // The size reported back when it differs from the data's.
        std::optional<std::uint32_t> reportedSize;
    };

    // Key path (below HKEY_LOCAL_MACHINE) -> value name -> value.
    QMap<QByteArray, QMap<QByteArray, Value>> keys;

    QList<QByteArray> opened;   // every key path asked for, in order
    QList<QByteArray> queried;  // every value name asked for, in order
    QList<std::uint32_t> accessRights;
    QList<registry::Handle> handedOut;
    QList<registry::Handle> closed;

    void setText(const QByteArray& key, const QByteArray& name, const QByteArray& text,
                 bool withNul = true) {
        keys[key][name] = Value{registry::kRegSz, withNul ? text + '\0' : text, std::nullopt};
    }

    long RegOpenKeyExA(registry::Handle key, const QByteArray& subKey, std::uint32_t options,
                       std::uint32_t access, registry::Handle& result) override {
        opened << subKey;
        accessRights << access;
        if (key != static_cast<registry::Handle>(registry::kHKeyLocalMachine) || options != 0 ||
            !keys.contains(subKey)) {
            return registry::kErrorFileNotFound;
        }
        result = nextHandle_++;
        handedOut << result;
        openKeys_[result] = subKey;
        return registry::kErrorSuccess;
    }

    long RegQueryValueExA(registry::Handle key, const QByteArray& valueName, std::uint32_t,
                          std::uint32_t& type, unsigned char* data, std::uint32_t& size) override {
        queried << valueName;
        if (!openKeys_.contains(key)) {
            return registry::kErrorInvalidHandle;
        }
        const auto& values = keys[openKeys_[key]];
        if (!values.contains(valueName)) {
            return registry::kErrorFileNotFound;
        }
        const Value& value = values[valueName];
        const auto needed = static_cast<std::uint32_t>(value.data.size());
        if (needed > size) {
            size = needed;
            return registry::kErrorMoreData;
        }
        std::memcpy(data, value.data.constData(), needed);
        type = value.type;
        size = value.reportedSize.value_or(needed);
        return registry::kErrorSuccess;
    }

    long RegCloseKey(registry::Handle key) override {
        closed << key;
        if (!openKeys_.remove(key)) {
            return registry::kErrorInvalidHandle;
        }
        return registry::kErrorSuccess;
    }

    // Every key handed out was closed exactly once, and nothing else was
    // closed but the null handle of a failed open.
    bool everyKeyClosedOnce() const {
        for (registry::Handle h : handedOut) {
            if (closed.count(h) != 1) {
                return false;
            }
        }
        for (registry::Handle h : closed) {
            if (h != 0 && !handedOut.contains(h)) {
                return false;
            }
        }
        return openKeys_.isEmpty();
    }

  private:
    QMap<registry::Handle, QByteArray> openKeys_;
    registry::Handle nextHandle_ = 0x100;
};

class FakeStarter : public sysinfo::ProcessStarter {
  public:
    QSet<QString> startable;  // paths that start; any other path fails
    QStringList started;
    QStringList attempts;

    Error start(const QString& path) override {
        attempts << path;
        if (!startable.contains(path)) {
            return Error::FileNotFound;
        }
        started << path;
        return Error::None;
    }
};

// The launcher's services over the fakes; files "exist" when listed.
struct FakeServices {
    FakeRegistry registry;
    FakeStarter starter;
    QSet<QString> files;
    QStringList messages;

    sysinfo::Services services() {
        return sysinfo::Services{&registry, &starter,
                                 [this](const QString& path) { return files.contains(path); },
                                 [this](const QString& text) { messages << text; }};
    }
};
