#include "options/Settings.h"

#include <QSettings>
#include <QStandardPaths>

namespace settings {
namespace {

#if defined(Q_OS_WIN)
QSettings openStore(const QString& appName) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, appName, appName);
}
#else
QSettings openStore(const QString& appName) {
    return QSettings(storeLocation(appName), QSettings::IniFormat);
}
#endif

QString keyPath(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

}  // namespace

QString storeLocation(const QString& appName) {
#if defined(Q_OS_WIN)
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + appName;
#else
    // GenericConfigLocation honours XDG_CONFIG_HOME and falls back to ~/.config.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + appName + QStringLiteral(".conf");
#endif
}

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue) {
    QSettings store = openStore(appName);
    const QVariant value = store.value(keyPath(section, key));
    if (!value.isValid()) {
        return defaultValue;
    }
    return value.toString();
}

void SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value) {
    QSettings store = openStore(appName);
    store.setValue(keyPath(section, key), value);
    store.sync();  // a store that cannot be written reports through status(); nothing to do
}

QString read(const QString& key, const QString& defaultValue) {
    return GetSetting(kAppName, kSection, key, defaultValue);
}

void write(const QString& key, const QString& value) {
    SaveSetting(kAppName, kSection, key, value);
}

}  // namespace settings
