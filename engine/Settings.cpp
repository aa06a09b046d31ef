#include "engine/Settings.h"

#include <QSettings>
#include <QStandardPaths>

#include "platform/Platform.h"

namespace settings {
namespace {

#if defined(Q_OS_WIN)
QSettings openStore(const QString& appName) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, appName, appName);
}

// The registry keeps any text as it is.
QVariant stored(const QString& value) {
    return value;
}
QString loaded(const QVariant& value) {
    return value.toString();
}
#else
QSettings openStore(const QString& appName) {
    return QSettings(storeLocation(appName), QSettings::IniFormat);
}

// A file name that is not valid UTF-8 holds lone U+DC80..U+DCFF code units,
// which the INI file would turn into U+FFFD. Such a value is stored as its
// bytes (QSettings writes "@ByteArray(...)" with \xNN escapes) and decoded
// back on reading; every other value is stored as plain text, as before.
QVariant stored(const QString& value) {
    if (platform::holdsEscapedBytes(value)) {
        return platform::encodeFileName(value);
    }
    return value;
}
QString loaded(const QVariant& value) {
    if (value.typeId() == QMetaType::QByteArray) {
        return platform::decodeFileName(value.toByteArray());
    }
    return value.toString();
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
    return loaded(value);
}

void SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value) {
    QSettings store = openStore(appName);
    store.setValue(keyPath(section, key), stored(value));
    store.sync();  // a store that cannot be written reports through status(); nothing to do
}

QString read(const QString& key, const QString& defaultValue) {
    return GetSetting(kAppName, kSection, key, defaultValue);
}

void write(const QString& key, const QString& value) {
    SaveSetting(kAppName, kSection, key, value);
}

}  // namespace settings

NamingOptions NamingOptions::load() {
    using namespace settings;
    return NamingOptions{read(kPrefix), read(kSufix), read(kStartingNumber),
                         read(kLetteringPosition)};
}

NamingOptions NamingOptions::cleared() {
    return NamingOptions{QString(), QString(), QString(), QStringLiteral("0")};
}

void NamingOptions::save(Lettering lettering) const {
    using namespace settings;
    write(kPrefix, prefix);
    write(kSufix, suffix);
    write(kStartingNumber, startingNumber);
    if (lettering == Lettering::Write) {
        write(kLetteringPosition, letteringPosition);
    }
}

bool NamingOptions::operator==(const NamingOptions& other) const {
    return prefix == other.prefix && suffix == other.suffix &&
           startingNumber == other.startingNumber && letteringPosition == other.letteringPosition;
}
