#pragma once

// The per-user settings store: text values addressed by application, section
// and key. On Linux an INI file, $XDG_CONFIG_HOME/<application>.conf (by
// default ~/.config), with one group per section. There is no cache: every
// read goes to the store. A store that cannot be read yields the defaults; one
// that cannot be written loses the value silently.

#include <QString>

namespace settings {

inline const QString kAppName = QStringLiteral("Quillomat");
inline const QString kSection = QStringLiteral("Defaults");
inline const QString kPrefix = QStringLiteral("Prefix");
inline const QString kSufix = QStringLiteral("Sufix");  // spelt so in stored settings
inline const QString kStartingNumber = QStringLiteral("StartingNumber");
inline const QString kLetteringPosition = QStringLiteral("LetteringPosition");
inline const QString kDir = QStringLiteral("Dir");

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue = QString());
void SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value);

// The same, for the program's own application name and section.
QString read(const QString& key, const QString& defaultValue = QString());
void write(const QString& key, const QString& value);

// Where the store of `appName` lives on this system (a file path on Linux).
QString storeLocation(const QString& appName);

}  // namespace settings

// The four naming options, as the store keeps them and the main window's
// hidden labels mirror them.
struct NamingOptions {
    QString prefix;             // "Prefix"
    QString suffix;             // "Sufix"
    QString startingNumber;     // "StartingNumber"
    QString letteringPosition;  // "LetteringPosition": "0" none, "1" first, "2" last

    // Reads the four settings, each with the empty text as default.
    static NamingOptions load();
    // What Clear Options gives: empty texts and lettering "0".
    static NamingOptions cleared();
    // Writes prefix, suffix, starting number and, unless told otherwise, the
    // lettering position, in this order.
    enum class Lettering { Write, Leave };
    void save(Lettering lettering = Lettering::Write) const;

    bool operator==(const NamingOptions& other) const;
    bool operator!=(const NamingOptions& other) const { return !(*this == other); }
};
