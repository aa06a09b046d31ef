#pragma once

// The per-user settings store: text values addressed by application, section
// and key. There is no cache: every read goes to the store.
//
// On Linux the store is an INI file of our own reading and writing,
// $XDG_CONFIG_HOME/<application>.conf (~/.config when XDG_CONFIG_HOME is unset,
// empty or relative), one group per section:
//   - Only a regular file is read; a FIFO, device or directory is never opened
//     for reading, and nothing ever waits. A file that cannot be read yields
//     the defaults.
//   - A line "[name]" starts a group (up to the first "]", or the end of the
//     line when there is none); blanks before "[" and around the name do not
//     count. Group and key names match without regard to case.
//   - A line "key=value" in a group: the value is every byte after the first
//     "=" up to the end of the line (a "\r" before the "\n" ends the line too),
//     taken literally: no trimming, no lists, no quotes or escapes. Its bytes
//     are decoded like file names, so bytes that are not UTF-8 survive. When
//     a key occurs more than once the last one counts.
//   - The one escaped form: a value that holds a line feed, a carriage
//     return or bytes that are not UTF-8 is written as "@Escaped(" + its bytes + ")", where "%",
//     control characters and every byte from 0x7F up are written as "%" and
//     two upper-case hex digits ("a%0Ab" for "a", a line feed and "b"). The
//     reader takes a value as escaped only when it is exactly what that
//     writer gives for some text; any other value is literal, and a literal
//     value that would read as escaped is written escaped. So every value
//     reads back as it was saved.
//   - Saving changes only the values of the given keys in the section's groups
//     (a missing key is added at the end of the section's last group, a
//     missing section at the end of the file) and keeps every other byte. It
//     goes through the platform's durable writer (a new file beside the old
//     one, flushed and renamed over it; a link is followed, the mode kept),
//     so a failed save leaves the old file as it was.
//   - A save holds a lock on "<store>.lock" (which stays) from reading the
//     file to replacing it, so running instances never lose each other's
//     keys; it waits a few seconds at most for another instance's save.
//     Under the lock it first removes the new files of saves that were cut
//     short (a killed program).
//   - A value whose save failed stays in use for the rest of the run: reading
//     its key gives it back, and the next save of the same store writes it
//     again.
// On Windows the store is the registry, through QSettings.

#include <QString>

#include "engine/NamingSteps.h"
#include "platform/Platform.h"

namespace settings {

inline const QString kAppName = QStringLiteral("Quillomat");
inline const QString kSection = QStringLiteral("Defaults");
inline const QString kPrefix = QStringLiteral("Prefix");
inline const QString kSufix = QStringLiteral("Sufix");  // spelt so in stored settings
inline const QString kStartingNumber = QStringLiteral("StartingNumber");
inline const QString kLetteringPosition = QStringLiteral("LetteringPosition");
inline const QString kDir = QStringLiteral("Dir");

// Several values of one store and section, saved together: one replacement of
// the file, so either all of them are saved or none is. A save that fails
// says why (Status::reason(): "No space left on device").
class Changes {
  public:
    explicit Changes(const QString& appName = kAppName, const QString& section = kSection);
    // Adds `key` := `value`; a key set twice keeps the later value.
    void set(const QString& key, const QString& value);
    platform::Status save() const;

  private:
    QString appName_;
    QString section_;
    platform::SettingValues values_;
};

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue = QString());

// The same, for the program's own application name and section; write()
// saves one value of it.
QString read(const QString& key, const QString& defaultValue = QString());
platform::Status write(const QString& key, const QString& value);

// Where the store of `appName` lives on this system (a file path on Linux),
// as a failed save names it.
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
    // Saves prefix, suffix, starting number and, unless told otherwise, the
    // lettering position, all in one save.
    enum class Lettering { Write, Leave };
    platform::Status save(Lettering lettering = Lettering::Write) const;
    // The same values added to a save of several (Clear Options).
    void addTo(settings::Changes& changes, Lettering lettering = Lettering::Write) const;

    bool operator==(const NamingOptions& other) const;
    bool operator!=(const NamingOptions& other) const { return !(*this == other); }
};
