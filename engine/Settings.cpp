#include "engine/Settings.h"

#include <QHash>
#include <algorithm>
#include <optional>

namespace settings {
namespace {

using Values = platform::SettingValues;

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Sets `key` in `values`, each key once, the later value winning.
void put(Values& values, const QString& key, const QString& value) {
    values.removeIf([&](const auto& kv) { return sameName(kv.first, key); });
    values.append({key, value});
}

// The values of `section` of the store `file` whose save failed: they stay
// in use until a save of that store works.
Values& unsaved(const QString& file, const QString& section) {
    static QHash<QString, Values> values;
    return values[file + QLatin1Char('\n') + section.toCaseFolded()];
}

// ---- Values ---------------------------------------------------------------

const QByteArray kEscaped = QByteArrayLiteral("@Escaped(");

// The escaped form of `value` (see Settings.h): every printable ASCII
// character but "%" stays as it is.
QByteArray escaped(const QString& value) {
    return kEscaped +
           platform::encodeFileName(value).toPercentEncoding(" !\"#$&'()*+,/:;<=>?@[\\]^`{|}") +
           ')';
}

QString decodeValue(const QByteArray& raw) {
    const QByteArray inner = raw.mid(kEscaped.size(), raw.size() - kEscaped.size() - 1);
    const QString value = platform::decodeFileName(QByteArray::fromPercentEncoding(inner));
    return escaped(value) == raw ? value : platform::decodeFileName(raw);
}

QByteArray encodeValue(const QString& value) {
    const QByteArray literal = platform::encodeFileName(value);
    const bool plain =
        !literal.contains('\n') && !literal.contains('\r') && !platform::holdsEscapedBytes(value);
    return plain && decodeValue(literal) == value ? literal : escaped(value);
}

// ---- The file's text ------------------------------------------------------

// A header or key line of the file: its text ends at `end` (before "\n" or
// "\r\n"), the next line starts at `next`.
struct Line {
    qsizetype end = 0;
    qsizetype next = 0;
    qsizetype value = -1;  // a "key=value" line: where its value starts; -1 for a header
    QString name;          // the group's or the key's, blanks trimmed
};

// The header and key lines of the groups named `section`, in order.
QList<Line> sectionLines(const QByteArray& file, const QString& section) {
    QList<Line> lines;
    const QByteArrayView all(file);
    bool inSection = false;
    qsizetype begin = all.startsWith("\xEF\xBB\xBF") ? 3 : 0;  // a UTF-8 byte order mark
    for (Line line; begin < all.size(); begin = line.next) {
        const qsizetype newline = all.indexOf('\n', begin);
        line.next = newline < 0 ? all.size() : newline + 1;
        line.end = newline < 0 ? all.size() : newline;
        line.end -= line.end > begin && all[line.end - 1] == '\r' ? 1 : 0;
        const QByteArrayView text = all.sliced(begin, line.end - begin);
        const QByteArrayView trimmed = text.trimmed();
        const qsizetype equals = text.indexOf('=');
        line.value = -1;
        if (trimmed.startsWith('[')) {  // the name up to the first "]", or the line's end
            const QByteArrayView rest = trimmed.sliced(1);
            line.name = QString::fromUtf8(
                rest.first(rest.contains(']') ? rest.indexOf(']') : rest.size()).trimmed());
            inSection = sameName(line.name, section);
        } else if (equals >= 0) {
            line.value = begin + equals + 1;
            line.name = QString::fromUtf8(text.first(equals).trimmed());
        }
        if (inSection && (line.value >= 0 || trimmed.startsWith('['))) {
            lines.append(line);
        }
    }
    return lines;
}

// `file` with each key of `values` (each once) set in the groups named
// `section`, every other byte kept.
QByteArray withValues(const QByteArray& file, const QString& section, const Values& values) {
    const qsizetype firstNewline = file.indexOf('\n');
    const QByteArray eol = firstNewline > 0 && file[firstNewline - 1] == '\r' ? "\r\n" : "\n";
    const QList<Line> lines = sectionLines(file, section);
    QByteArray out;
    qsizetype copied = 0;  // how much of `file` is in `out`
    auto missing = values;
    for (const Line& line : lines) {
        const auto set = std::find_if(values.cbegin(), values.cend(), [&](const auto& kv) {
            return line.value >= 0 && sameName(line.name, kv.first);
        });
        if (set != values.cend()) {
            out += QByteArrayView(file).sliced(copied, line.value - copied);
            out += encodeValue(set->second);
            copied = line.end;
            missing.removeIf([&](const auto& kv) { return kv.first == set->first; });
        }
    }
    QByteArray added;
    for (const auto& [key, value] : missing) {
        added += key.toUtf8() + '=' + encodeValue(value) + eol;
    }
    if (!added.isEmpty()) {
        // After the section's last key (or header), or as a new group at the end.
        const qsizetype at = lines.isEmpty() ? file.size() : lines.last().next;
        out += QByteArrayView(file).sliced(copied, at - copied);
        // A last line without "\n" is ended first; a bare "\r" gets its "\n".
        if (at > 0 && file[at - 1] != '\n') {
            out += file[at - 1] == '\r' ? QByteArray("\n") : eol;
        }
        if (lines.isEmpty()) {
            out += (file.isEmpty() ? QByteArray() : eol) + '[' + section.toUtf8() + ']' + eol;
        }
        out += added;
        copied = at;
    }
    out += QByteArrayView(file).sliced(copied);
    return out;
}

// ---- The file ------------------------------------------------------------

std::optional<QString> storedValue(const QString& appName, const QString& section,
                                   const QString& key) {
    if (platform::SettingsStore* store = platform::systemSettingsStore()) {
        return store->value(appName, section, key);
    }
    QByteArray bytes;  // as much as can be read
    platform::readRegularFile(storeLocation(appName), &bytes);
    const QList<Line> lines = sectionLines(bytes, section);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {  // the last one counts
        if (line->value >= 0 && sameName(line->name, key)) {
            return decodeValue(bytes.mid(line->value, line->end - line->value));
        }
    }
    return std::nullopt;
}

// Sets `values` in the store file `file`; the caller holds the store's lock.
platform::Status replaceValues(const QString& file, const QString& section, const Values& values) {
    platform::removeLeftTemporaries(file);
    QByteArray old;
    const platform::Status read = platform::readRegularFile(file, &old);
    if (!read.ok() && read.error != Error::FileNotFound && read.error != Error::PathNotFound) {
        return read;  // a missing file holds nothing, and is made
    }
    const QByteArray text = withValues(old, section, values);
    return text == old ? platform::Status{} : platform::current().writeFileDurably(file, text);
}

// Saves under the store's lock, waiting a few seconds at most for another
// instance's save.
platform::Status saveToStore(const QString& appName, const QString& section, const Values& values) {
    if (platform::SettingsStore* store = platform::systemSettingsStore()) {
        return store->save(appName, section, values);
    }
    const QString file = storeLocation(appName);
    if (const platform::Status made = platform::makeDirectories(platform::directoryOf(file));
        !made.ok()) {
        return made;
    }
    return platform::withLockBeside(
        file, 5000,
        QT_TRANSLATE_NOOP("Status",
                          "Another program has kept the settings file locked for too long"),
        [&] { return replaceValues(file, section, values); });
}

}  // namespace

QString storeLocation(const QString& appName) {
    if (platform::SettingsStore* store = platform::systemSettingsStore()) {
        return store->location(appName);
    }
    QString home = platform::xdgBaseDirectory("XDG_CONFIG_HOME", QStringLiteral("/.config"));
    while (home.endsWith(QLatin1Char('/'))) {
        home.chop(1);
    }
    return home + QLatin1Char('/') + appName + QStringLiteral(".conf");
}

Changes::Changes(const QString& appName, const QString& section)
    : appName_(appName), section_(section) {}

void Changes::set(const QString& key, const QString& value) {
    put(values_, key, value);
}

platform::Status Changes::save() const {
    Values& kept = unsaved(storeLocation(appName_), section_);
    Values all = kept;
    for (const auto& [key, value] : values_) {
        put(all, key, value);
    }
    const platform::Status saved = saveToStore(appName_, section_, all);
    kept = saved.ok() ? Values() : all;
    return saved;
}

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue) {
    for (const auto& [name, value] : unsaved(storeLocation(appName), section)) {
        if (sameName(name, key)) {
            return value;
        }
    }
    return storedValue(appName, section, key).value_or(defaultValue);
}

QString read(const QString& key, const QString& defaultValue) {
    return GetSetting(kAppName, kSection, key, defaultValue);
}

platform::Status write(const QString& key, const QString& value) {
    Changes changes;
    changes.set(key, value);
    return changes.save();
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

void NamingOptions::addTo(settings::Changes& changes, Lettering lettering) const {
    using namespace settings;
    changes.set(kPrefix, prefix);
    changes.set(kSufix, suffix);
    changes.set(kStartingNumber, startingNumber);
    if (lettering == Lettering::Write) {
        changes.set(kLetteringPosition, letteringPosition);
    }
}

platform::Status NamingOptions::save(Lettering lettering) const {
    settings::Changes changes;
    addTo(changes, lettering);
    return changes.save();
}

namespace {

// The naming steps' keys, each a whole number or a text.
const QString kDigits = QStringLiteral("NumberDigits");
const QString kStep = QStringLiteral("NumberStep");
const QString kFind = QStringLiteral("ReplaceText");
const QString kReplacement = QStringLiteral("ReplaceWith");
const QString kPattern = QStringLiteral("ReplacePattern");
const QString kNameCase = QStringLiteral("NameCase");
const QString kExtensionCase = QStringLiteral("ExtensionCase");
const QString kDate = QStringLiteral("DateSource");
const QString kDateFormat = QStringLiteral("DateFormat");
const QString kDatePlace = QStringLiteral("DatePlace");
const QString kOrder = QStringLiteral("NumberOrder");

}  // namespace

NamingSteps NamingSteps::load() {
    using settings::read;
    // The stored whole number of `key` when it lies in `low`..`high`, else `low`.
    const auto number = [](const QString& key, int high, int low = 0) {
        bool ok = false;
        const int value = read(key).toInt(&ok);
        return ok && value >= low && value <= high ? value : low;
    };
    NamingSteps steps;
    steps.digits = number(kDigits, 9);
    steps.step = number(kStep, 1000, 1);
    steps.find = read(kFind);
    steps.replacement = read(kReplacement);
    steps.pattern = number(kPattern, 1) == 1;
    steps.nameCase = Case(number(kNameCase, 3));
    steps.extensionCase = Case(number(kExtensionCase, 2));
    steps.date = Date(number(kDate, 2));
    steps.dateFormat = read(kDateFormat).isEmpty() ? steps.dateFormat : read(kDateFormat);
    steps.dateAfter = number(kDatePlace, 1) == 1;
    steps.byDateTaken = number(kOrder, 1) == 1;
    return steps;
}

void NamingSteps::addTo(settings::Changes& changes) const {
    const auto number = [&changes](const QString& key, int value) {
        changes.set(key, QString::number(value));
    };
    number(kDigits, digits);
    number(kStep, step);
    changes.set(kFind, find);
    changes.set(kReplacement, replacement);
    number(kPattern, pattern);
    number(kNameCase, int(nameCase));
    number(kExtensionCase, int(extensionCase));
    number(kDate, int(date));
    changes.set(kDateFormat, dateFormat);
    number(kDatePlace, dateAfter);
    number(kOrder, byDateTaken);
}

platform::Status NamingSteps::save() const {
    settings::Changes changes;
    addTo(changes);
    return changes.save();
}

bool NamingOptions::operator==(const NamingOptions& other) const {
    return prefix == other.prefix && suffix == other.suffix &&
           startingNumber == other.startingNumber && letteringPosition == other.letteringPosition;
}
