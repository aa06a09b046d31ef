#include "engine/Settings.h"

#include <QCoreApplication>
#include <QHash>
#include <algorithm>
#include <optional>

#include "platform/Platform.h"

#if defined(Q_OS_WIN)
#include <QSettings>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <cerrno>
#endif

namespace settings {
namespace {

using Values = QList<std::pair<QString, QString>>;

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

#if defined(Q_OS_WIN)

QSettings openStore(const QString& appName) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, appName, appName);
}

std::optional<QString> storedValue(const QString& appName, const QString& section,
                                   const QString& key) {
    const QVariant value = openStore(appName).value(section + QLatin1Char('/') + key);
    return value.isValid() ? std::optional<QString>(value.toString()) : std::nullopt;
}

// Returns why the values could not be saved, or nothing when they were.
QString saveToStore(const QString& appName, const QString& section, const Values& values) {
    QSettings store = openStore(appName);
    for (const auto& [key, value] : values) {
        store.setValue(section + QLatin1Char('/') + key, value);
    }
    store.sync();
    return store.status() == QSettings::NoError
               ? QString()
               : QCoreApplication::translate("settings", "The registry refused the change");
}

#else

QString reasonFor(int error) {
    return platform::Status{Error::InvalidCall, error}.reason();
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

// ---- The file -------------------------------------------------------------

// The store file's bytes, read only from a regular file and never waited on:
// anything else is refused before it is opened, and again on the descriptor.
struct Stored {
    QByteArray bytes;
    QString problem;  // why it cannot be read; empty when it can or is missing
};

Stored readStore(const QByteArray& path) {
    struct stat info {};
    errno = 0;
    const int fd = ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode)
                       ? ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)
                       : -1;
    if (fd < 0 && errno != 0) {  // missing is no problem: there is nothing to read
        return {{}, errno == ENOENT || errno == ENOTDIR ? QString() : reasonFor(errno)};
    }
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ||
        ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return {{},
                S_ISDIR(info.st_mode)
                    ? reasonFor(EISDIR)
                    : QCoreApplication::translate("settings", "Not a regular file")};
    }
    Stored stored{file.readAll(), QString()};
    if (file.error() != QFileDevice::NoError) {
        stored.problem = file.errorString();
    }
    return stored;
}

std::optional<QString> storedValue(const QString& appName, const QString& section,
                                   const QString& key) {
    const Stored stored = readStore(platform::encodeFileName(storeLocation(appName)));
    const QList<Line> lines = sectionLines(stored.bytes, section);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {  // the last one counts
        if (line->value >= 0 && sameName(line->name, key)) {
            return decodeValue(stored.bytes.mid(line->value, line->end - line->value));
        }
    }
    return std::nullopt;
}

// Creates `dir` and its missing parents, private to the user; 0 or errno.
int makeDirectories(const QByteArray& dir) {
    for (qsizetype slash = 0; slash >= 0 && !dir.isEmpty();) {
        slash = dir.indexOf('/', slash + 1);
        if (::mkdir(dir.left(slash < 0 ? dir.size() : slash).constData(), 0700) != 0 &&
            errno != EEXIST) {
            return errno;
        }
    }
    return 0;
}

// Takes the lock held open as `fd`, waiting a few seconds at most for
// another instance's save. Returns why it could not, or nothing.
QString lock(int fd) {
    const QDeadlineTimer deadline(5000);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return reasonFor(errno);
        }
        if (deadline.hasExpired()) {
            return QCoreApplication::translate(
                "settings", "Another program has kept the settings file locked for too long");
        }
        QThread::usleep(QRandomGenerator::global()->bounded(200, 2000));
    }
    return QString();
}

// Sets `values` in the store file `file`; the caller holds the store's lock.
QString replaceValues(const QString& file, const QString& section, const Values& values) {
    platform::removeLeftTemporaries(file);
    const Stored old = readStore(platform::encodeFileName(file));
    if (!old.problem.isEmpty()) {
        return old.problem;
    }
    const QByteArray text = withValues(old.bytes, section, values);
    const platform::Status written =
        text == old.bytes ? platform::Status{} : platform::current().writeFileDurably(file, text);
    return written.ok() || written.osError != 0
               ? written.reason()
               : QStringLiteral("Error # %1").arg(errorNumber(written.error));
}

QString saveToStore(const QString& appName, const QString& section, const Values& values) {
    const QString file = storeLocation(appName);
    const QByteArray path = platform::encodeFileName(file);
    if (const int error = makeDirectories(path.left(path.lastIndexOf('/')))) {
        return reasonFor(error);
    }
    const int fd = ::open(QByteArray(path + ".lock").constData(),
                          O_RDONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) {
        return reasonFor(errno);
    }
    QString problem = lock(fd);
    if (problem.isEmpty()) {
        problem = replaceValues(file, section, values);
    }
    ::close(fd);  // lets the lock go
    return problem;
}

#endif

}  // namespace

QString storeLocation(const QString& appName) {
#if defined(Q_OS_WIN)
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + appName;
#else
    QString home = platform::xdgBaseDirectory("XDG_CONFIG_HOME", QStringLiteral("/.config"));
    while (home.endsWith(QLatin1Char('/'))) {
        home.chop(1);
    }
    return home + QLatin1Char('/') + appName + QStringLiteral(".conf");
#endif
}

Changes::Changes(const QString& appName, const QString& section)
    : appName_(appName), section_(section) {}

void Changes::set(const QString& key, const QString& value) {
    put(values_, key, value);
}

SaveResult Changes::save() const {
    const QString file = storeLocation(appName_);
    Values& kept = unsaved(file, section_);
    Values all = kept;
    for (const auto& [key, value] : values_) {
        put(all, key, value);
    }
    const QString problem = saveToStore(appName_, section_, all);
    kept = problem.isEmpty() ? Values() : all;
    return SaveResult{problem.isEmpty(), problem.isEmpty() ? QString() : file, problem};
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

SaveResult SaveSetting(const QString& appName, const QString& section, const QString& key,
                       const QString& value) {
    Changes changes(appName, section);
    changes.set(key, value);
    return changes.save();
}

QString read(const QString& key, const QString& defaultValue) {
    return GetSetting(kAppName, kSection, key, defaultValue);
}

SaveResult write(const QString& key, const QString& value) {
    return SaveSetting(kAppName, kSection, key, value);
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

settings::SaveResult NamingOptions::save(Lettering lettering) const {
    using namespace settings;
    Changes changes;
    changes.set(kPrefix, prefix);
    changes.set(kSufix, suffix);
    changes.set(kStartingNumber, startingNumber);
    if (lettering == Lettering::Write) {
        changes.set(kLetteringPosition, letteringPosition);
    }
    return changes.save();
}

bool NamingOptions::operator==(const NamingOptions& other) const {
    return prefix == other.prefix && suffix == other.suffix &&
           startingNumber == other.startingNumber && letteringPosition == other.letteringPosition;
}
