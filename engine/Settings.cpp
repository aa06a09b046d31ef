#include "engine/Settings.h"

#include <QCoreApplication>
#include <optional>

#include "platform/Platform.h"

#if defined(Q_OS_WIN)
#include <QSettings>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "engine/SettingsText.h"
#endif

namespace settings {
namespace {

using Values = QList<std::pair<QString, QString>>;

bool sameKey(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Values whose save failed, by store file, section and key: they stay in use
// until a save of their store succeeds.
struct Unsaved {
    QString file;
    QString section;
    QString key;
    QString value;
};

QList<Unsaved>& unsavedValues() {
    static QList<Unsaved> values;
    return values;
}

std::optional<QString> unsavedValue(const QString& file, const QString& section,
                                    const QString& key) {
    for (const Unsaved& u : unsavedValues()) {
        if (u.file == file && sameKey(u.section, section) && sameKey(u.key, key)) {
            return u.value;
        }
    }
    return std::nullopt;
}

// The unsaved values of `section` followed by `values`, each key once, the
// later value winning.
Values withUnsaved(const QString& file, const QString& section, const Values& values) {
    Values all;
    for (const Unsaved& u : unsavedValues()) {
        if (u.file == file && sameKey(u.section, section)) {
            all.append({u.key, u.value});
        }
    }
    for (const auto& [key, value] : values) {
        all.removeIf([&key = key](const auto& kv) { return sameKey(kv.first, key); });
        all.append({key, value});
    }
    return all;
}

void keepUnsaved(const QString& file, const QString& section, const Values& values) {
    QList<Unsaved>& unsaved = unsavedValues();
    for (const auto& [key, value] : values) {
        unsaved.removeIf([&, &key = key](const Unsaved& u) {
            return u.file == file && sameKey(u.section, section) && sameKey(u.key, key);
        });
        unsaved.append({file, section, key, value});
    }
}

void forgetUnsaved(const QString& file, const QString& section) {
    unsavedValues().removeIf(
        [&](const Unsaved& u) { return u.file == file && sameKey(u.section, section); });
}

#if defined(Q_OS_WIN)

QSettings openStore(const QString& appName) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, appName, appName);
}

std::optional<QString> storedValue(const QString& appName, const QString& section,
                                   const QString& key) {
    const QVariant value = openStore(appName).value(section + QLatin1Char('/') + key);
    if (!value.isValid()) {
        return std::nullopt;
    }
    return value.toString();
}

// Returns why the values could not be saved, or nothing when they were.
QString saveToStore(const QString& appName, const QString& section, const Values& values) {
    QSettings store = openStore(appName);
    for (const auto& [key, value] : values) {
        store.setValue(section + QLatin1Char('/') + key, value);
    }
    store.sync();
    if (store.status() != QSettings::NoError) {
        return QCoreApplication::translate("settings", "The registry refused the change");
    }
    return QString();
}

#else

QString notRegularFile() {
    return QCoreApplication::translate("settings", "Not a regular file");
}

QString reasonFor(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The store file as it is on disk.
struct FileContents {
    bool exists = false;
    QString problem;  // why it cannot be read, empty when it can (or is missing)
    struct stat info {};
    QByteArray bytes;
};

// Reads the regular file at `path` without ever waiting: anything else (a
// FIFO, a device, a directory) is refused before it is opened, and checked
// again on the open descriptor.
FileContents readRegularFile(const QByteArray& path) {
    FileContents file;
    if (::stat(path.constData(), &file.info) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) {
            file.exists = true;
            file.problem = reasonFor(errno);
        }
        return file;
    }
    file.exists = true;
    if (S_ISDIR(file.info.st_mode)) {
        file.problem = reasonFor(EISDIR);
        return file;
    }
    if (!S_ISREG(file.info.st_mode)) {
        file.problem = notRegularFile();
        return file;
    }
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        file.exists = errno != ENOENT;
        file.problem = file.exists ? reasonFor(errno) : QString();
        return file;
    }
    if (::fstat(fd, &file.info) != 0 || !S_ISREG(file.info.st_mode)) {
        file.problem = notRegularFile();
        ::close(fd);
        return file;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            file.bytes.append(buffer, n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            file.problem = reasonFor(errno);
            break;
        }
    }
    ::close(fd);
    return file;
}

// The file a symbolic link at `path` points to, so that saving replaces the
// file and keeps the link; `path` itself otherwise.
QByteArray linkTarget(const QByteArray& path) {
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    char* resolved = ::realpath(path.constData(), nullptr);
    if (resolved == nullptr) {
        return path;  // a dangling link is replaced
    }
    QByteArray target(resolved);
    std::free(resolved);
    return target;
}

// Creates `dir` and its missing parents, private to the user.
QString makeDirectories(const QByteArray& dir) {
    for (qsizetype slash = dir.indexOf('/', 1);; slash = dir.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? dir : dir.left(slash);
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST) {
            return reasonFor(errno);
        }
        if (slash < 0) {
            return QString();
        }
    }
}

QString writeAll(const StoreCalls& calls, int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const long n = calls.write(fd, bytes.constData() + done,
                                   static_cast<unsigned long>(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return reasonFor(n < 0 ? errno : ENOSPC);
        }
        done += n;
    }
    return QString();
}

// Writes `values` (the file's bytes) into the store file at `path`: a new
// file beside the old one, flushed to disk and renamed over it. Returns why
// that failed, or nothing; on failure the old file is untouched.
QString replaceFile(const QByteArray& path, const QString& section,
                    const QList<std::pair<QString, QByteArray>>& values) {
    const QByteArray target = linkTarget(path);
    const FileContents old = readRegularFile(target);
    if (!old.problem.isEmpty()) {
        return old.problem;
    }
    const QByteArray text = text::withValues(old.bytes, section, values);
    if (old.exists && text == old.bytes) {
        return QString();
    }
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray dir = slash > 0 ? target.left(slash) : QByteArray(slash == 0 ? "/" : ".");
    const QByteArray name = target.mid(slash + 1);
    if (!old.exists) {
        const QString problem = makeDirectories(dir);
        if (!problem.isEmpty()) {
            return problem;
        }
    }

    const StoreCalls& calls = storeCalls();
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = dir + "/." + name + '.' +
               QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // A new store is created as the user's umask says; a replacement
        // takes the old file's permissions below.
        fd = calls.open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        old.exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) {
            return reasonFor(errno);
        }
    }
    if (fd < 0) {
        return reasonFor(EEXIST);
    }
    if (old.exists) {
        ::fchmod(fd, old.info.st_mode & 07777);
        if (old.info.st_uid != ::geteuid() || old.info.st_gid != ::getegid()) {
            // Only root may hand the file back to its owner; for anyone else
            // it stays theirs.
            [[maybe_unused]] const int handedBack = ::fchown(fd, old.info.st_uid, old.info.st_gid);
        }
    }
    QString problem = writeAll(calls, fd, text);
    if (problem.isEmpty() && calls.fsync(fd) != 0) {
        problem = reasonFor(errno);
    }
    if (::close(fd) != 0 && problem.isEmpty()) {
        problem = reasonFor(errno);
    }
    if (problem.isEmpty() && calls.rename(temp.constData(), target.constData()) != 0) {
        problem = reasonFor(errno);
    }
    if (!problem.isEmpty()) {
        ::unlink(temp.constData());
        return problem;
    }
    // The rename itself is made durable by flushing the directory.
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return QString();
}

std::optional<QString> storedValue(const QString& appName, const QString& section,
                                   const QString& key) {
    const FileContents file = readRegularFile(platform::encodeFileName(storeLocation(appName)));
    if (!file.problem.isEmpty()) {
        return std::nullopt;
    }
    const std::optional<QByteArray> raw = text::rawValue(file.bytes, section, key);
    if (!raw) {
        return std::nullopt;
    }
    return text::decodeValue(*raw);
}

QString saveToStore(const QString& appName, const QString& section, const Values& values) {
    QList<std::pair<QString, QByteArray>> encoded;
    encoded.reserve(values.size());
    for (const auto& [key, value] : values) {
        encoded.append({key, text::encodeValue(value)});
    }
    return replaceFile(platform::encodeFileName(storeLocation(appName)), section, encoded);
}

#endif

SaveResult saveValues(const QString& appName, const QString& section, const Values& values) {
    const QString file = storeLocation(appName);
    const QString problem = saveToStore(appName, section, withUnsaved(file, section, values));
    if (problem.isEmpty()) {
        forgetUnsaved(file, section);
        return SaveResult{};
    }
    keepUnsaved(file, section, values);
    return SaveResult{false, file, problem};
}

}  // namespace

#if !defined(Q_OS_WIN)
StoreCalls StoreCalls::system() {
    return StoreCalls{
        [](const char* path, int flags, unsigned int mode) { return ::open(path, flags, mode); },
        [](int fd, const void* data, unsigned long size) { return long(::write(fd, data, size)); },
        [](int fd) { return ::fsync(fd); },
        [](const char* from, const char* to) { return ::rename(from, to); }};
}

StoreCalls& storeCalls() {
    static StoreCalls calls = StoreCalls::system();
    return calls;
}
#endif

QString storeLocation(const QString& appName) {
#if defined(Q_OS_WIN)
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + appName;
#else
    QString home = platform::xdgBaseDirectory("XDG_CONFIG_HOME", QStringLiteral("/.config"));
    while (home.size() > 1 && home.endsWith(QLatin1Char('/'))) {
        home.chop(1);
    }
    if (home == QLatin1String("/")) {
        home.clear();
    }
    return home + QLatin1Char('/') + appName + QStringLiteral(".conf");
#endif
}

Changes::Changes(const QString& appName, const QString& section)
    : appName_(appName), section_(section) {}

void Changes::set(const QString& key, const QString& value) {
    values_.removeIf([&](const auto& kv) { return sameKey(kv.first, key); });
    values_.append({key, value});
}

SaveResult Changes::save() const {
    return saveValues(appName_, section_, values_);
}

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue) {
    if (std::optional<QString> unsaved = unsavedValue(storeLocation(appName), section, key)) {
        return *unsaved;
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
