#include "engine/Journal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <algorithm>
#include <charconv>
#include <iterator>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace journal {
namespace {

const QByteArray kHeader = QByteArrayLiteral("quillomat-journal 4");
const QByteArray kHeaderVersion3 = QByteArrayLiteral("quillomat-journal 3");
const QByteArray kHeaderVersion2 = QByteArrayLiteral("quillomat-journal 2");

// The words of the renames line.
constexpr const char* kWays[] = {"unknown", "no-replace", "link", "reserve", "checked"};
const QByteArray kKeepsTime = QByteArrayLiteral("keeps-time");
const QByteArray kRewritesTime = QByteArrayLiteral("rewrites-time");
const QString kSuffix = QStringLiteral(".journal");

// Appends the lower-case hex of `name`'s bytes to `out`, with no string in between.
void appendHex(QByteArray& out, const QString& name) {
    static const char kDigits[] = "0123456789abcdef";
    const QByteArray bytes = platform::encodeFileName(name);
    const qsizetype at = out.size();
    out.resize(at + bytes.size() * 2);
    char* hex = out.data() + at;
    for (const char c : bytes) {
        *hex++ = kDigits[uchar(c) >> 4];
        *hex++ = kDigits[uchar(c) & 15];
    }
}

// Appends " <n>" for each number, in decimal.
template <typename... Numbers>
void appendNumbers(QByteArray& out, Numbers... numbers) {
    char digits[24];
    const auto append = [&](auto n) {
        out.append(' ').append(digits,
                               std::to_chars(digits, digits + sizeof digits, n).ptr - digits);
    };
    (append(numbers), ...);
}

// A plain file name (or a path, for the directory) from its hex, or nothing.
std::optional<QString> nameFromHex(const QByteArray& hex) {
    const auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    if (hex.isEmpty() || hex.size() % 2 != 0 || !std::all_of(hex.cbegin(), hex.cend(), isHex)) {
        return std::nullopt;
    }
    return platform::decodeFileName(QByteArray::fromHex(hex));
}

// FNV-1a, 64 bits: quick over a journal of a thousand names, and enough to
// tell a damaged or cut journal from a whole one (no attacker is expected).
QByteArray checksumOf(const QByteArray& lines) {
    return QByteArray::number(platform::fnv1a(lines.constData(), lines.size()), 16)
        .rightJustified(16, '0');
}

// "file <old> <new> <size> <modified> <inode> [<contents>]" into an entry;
// version 2 has no contents field.
bool parseFile(const QByteArray& line, int version, Entry* entry) {
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() != (version == 2 ? 6 : 7) || fields[0] != "file") {
        return false;
    }
    const std::optional<QString> oldName = nameFromHex(fields[1]);
    const std::optional<QString> newName = nameFromHex(fields[2]);
    bool ok[4] = {false, false, false, version == 2};
    entry->fingerprint.size = fields[3].toLongLong(&ok[0]);
    entry->fingerprint.modified = fields[4].toLongLong(&ok[1]);
    entry->fingerprint.inode = fields[5].toULongLong(&ok[2]);
    if (version != 2) {
        entry->fingerprint.contents = fields[6].toULongLong(&ok[3]);
    }
    // A name that would lead out of the directory is no name of a batch.
    if (!oldName || !newName || !platform::isPlainFileName(*oldName) ||
        !platform::isPlainFileName(*newName)) {
        return false;
    }
    entry->oldName = *oldName;
    entry->newName = *newName;
    return ok[0] && ok[1] && ok[2] && ok[3] && entry->fingerprint.size >= 0;
}

// "renames <way> <time>" into `traits`.
bool parseRenames(const QByteArray& line, platform::RenameTraits* traits) {
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() != 3 || fields[0] != "renames" ||
        (fields[2] != kKeepsTime && fields[2] != kRewritesTime)) {
        return false;
    }
    for (int way = 0; way < int(std::size(kWays)); ++way) {
        if (fields[1] == kWays[way]) {
            *traits = platform::RenameTraits{platform::RenameWay(way), fields[2] == kKeepsTime};
            return true;
        }
    }
    return false;
}

// Whether `path` (the journal folder, or a journal in it) is the user's
// alone: not a symbolic link, the user's own, writable by no one else. The
// journals name the user's files and say what to rename: a folder or file
// someone else controls is never written nor read.
platform::Status usersAlone(const QString& path) {
    const QFileInfo info(path);
#ifdef Q_OS_UNIX
    const bool foreign = info.ownerId() != ::geteuid();
#else
    const bool foreign = false;
#endif
    const char* why = info.isSymLink() ? QT_TRANSLATE_NOOP("Status", "it is a symbolic link")
                      : foreign        ? QT_TRANSLATE_NOOP("Status", "another user owns it")
                      : info.permissions() & (QFile::WriteGroup | QFile::WriteOther)
                          ? QT_TRANSLATE_NOOP("Status", "others can write in it")
                          : nullptr;
    return why ? platform::Status{Error::PathFileAccess, 0, why} : platform::Status{};
}

// A lock that the running program holds: taken with the first journal of
// the run and kept to its end, so a journal it writes is never taken for one
// left behind. A lock of a program that has ended is stale and taken over.
std::unique_ptr<QLockFile> lockFor(const QString& journalPath) {
    auto lock =
        std::make_unique<QLockFile>(journalPath.chopped(kSuffix.size()) + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);  // only a dead owner makes a lock stale, never its age
    if (!lock->tryLock(0)) {
        return nullptr;
    }
    return lock;
}

// This run's journal: its path is fixed at the first batch (the process id
// and the time, so that a run never takes over a file left by an earlier one
// with the same process id).
struct RunJournal {
    QString path;
    std::unique_ptr<QLockFile> lock;  // unlocked (and removed) by close()
    bool written = false;
    Record record;  // what it holds
};

RunJournal thisRun;

}  // namespace

QByteArray encode(const Record& record) {
    // A journal is written before every batch: built in place, without a
    // string per field.
    QByteArray out;
    out.reserve(128 + record.directory.size() * 6 + record.entries.size() * 128);
    out.append(kHeader).append('\n');
    out.append("directory ");
    appendHex(out, record.directory);
    out.append("\nrenames ").append(kWays[int(record.traits.way)]).append(' ');
    out.append(record.traits.keepsTime ? kKeepsTime : kRewritesTime).append('\n');
    for (const Entry& entry : record.entries) {
        out.append("file ");
        appendHex(out, entry.oldName);
        out.append(' ');
        appendHex(out, entry.newName);
        const platform::Fingerprint& f = entry.fingerprint;
        appendNumbers(out, f.size, f.modified, f.inode, f.contents);
        out.append('\n');
        for (const bool back : {false, true}) {
            for (const QString& name : back ? entry.numberedOld : entry.numberedNew) {
                out.append(back ? "numbered old " : "numbered new ");
                appendHex(out, name);
                out.append('\n');
            }
        }
    }
    out.append("end");
    appendNumbers(out, record.entries.size());
    out.append('\n');
    const QByteArray checksum = checksumOf(out);
    out.append("checksum ").append(checksum).append('\n');
    return out;
}

std::optional<Record> decode(const QByteArray& data) {
    // The checksum line covers everything before it.
    const qsizetype last = data.lastIndexOf("\nchecksum ");
    if (last < 0 || !data.endsWith('\n') ||
        data.mid(last + 10).chopped(1) != checksumOf(data.left(last + 1))) {
        return std::nullopt;
    }
    const QList<QByteArray> lines = data.left(last).split('\n');
    const int version = lines.value(0) == kHeader           ? 4
                        : lines.value(0) == kHeaderVersion3 ? 3
                        : lines.value(0) == kHeaderVersion2 ? 2
                                                            : 0;
    const qsizetype first = version == 2 ? 2 : 3;  // the first file line
    if (version == 0 || lines.size() < first + 1 || !lines[1].startsWith("directory ")) {
        return std::nullopt;
    }
    Record record;
    const std::optional<QString> directory = nameFromHex(lines[1].mid(10));
    if (!directory || (version > 2 && !parseRenames(lines[2], &record.traits))) {
        return std::nullopt;
    }
    record.directory = *directory;
    record.entries.reserve(lines.size() - first - 1);
    for (qsizetype i = first; i < lines.size() - 1; ++i) {
        if (version == 4 && lines[i].startsWith("numbered ") && !record.entries.isEmpty()) {
            const QList<QByteArray> fields = lines[i].split(' ');
            const std::optional<QString> name = nameFromHex(fields.value(2));
            if (fields.size() != 3 || (fields[1] != "new" && fields[1] != "old") || !name ||
                !platform::isPlainFileName(*name)) {
                return std::nullopt;
            }
            Entry& entry = record.entries.last();
            (fields[1] == "new" ? entry.numberedNew : entry.numberedOld) << *name;
            continue;
        }
        Entry entry;
        if (!parseFile(lines[i], version, &entry)) {
            return std::nullopt;
        }
        entry.fingerprint.timeCounts = record.traits.keepsTime;
        record.entries.append(entry);
    }
    if (lines.last() != "end " + QByteArray::number(record.entries.size())) {
        return std::nullopt;
    }
    return record;
}

QString directory() {
    const QString base =
        platform::xdgBaseDirectory("XDG_STATE_HOME", QStringLiteral("/.local/state"));
    return QDir::cleanPath(base) + QStringLiteral("/Quillomat");
}

platform::Status begin(const Record& record, platform::BatchSystem& system) {
    const QString dir = directory();
    if (thisRun.path.isEmpty() || !thisRun.path.startsWith(dir + QLatin1Char('/'))) {
        close();
        thisRun.path = dir +
                       QStringLiteral("/batch-%1-%2")
                           .arg(QCoreApplication::applicationPid())
                           .arg(QDateTime::currentMSecsSinceEpoch()) +
                       kSuffix;
    }
    // Private to the user: it holds the names of the user's files.
    const platform::Status made = platform::makeDirectories(dir);
    const platform::Status alone = made.ok() ? usersAlone(dir) : made;
    if (!alone.ok()) {
        end();
        return alone;
    }
    if (!thisRun.lock) {
        // Without the lock the journal is still written: it matters more.
        thisRun.lock = lockFor(thisRun.path);
    }
    const platform::Status written = system.writeFileDurably(thisRun.path, encode(record));
    if (written.ok()) {
        thisRun.written = true;
        thisRun.record = record;
    } else {
        end();
    }
    return written;
}

platform::Status noteNumbered(const QString& oldName, const QString& name, bool back,
                              platform::BatchSystem& system) {
    return thisRun.written ? noteNumbered(thisRun.record, thisRun.path, oldName, name, back, system)
                           : platform::Status{};
}

platform::Status noteNumbered(Record& record, const QString& path, const QString& oldName,
                              const QString& name, bool back, platform::BatchSystem& system) {
    const auto entry = std::find_if(record.entries.begin(), record.entries.end(),
                                    [&](const Entry& e) { return e.oldName == oldName; });
    if (entry == record.entries.end()) {
        return platform::Status{};
    }
    (back ? entry->numberedOld : entry->numberedNew) << name;
    return system.writeFileDurably(path, encode(record));
}

void end() {
    if (thisRun.written) {
        QFile::remove(thisRun.path);
        thisRun.written = false;
    }
}

void close() {
    end();
    thisRun.lock.reset();
}

void keepForNextStart() {
    thisRun.written = false;
    thisRun.lock.reset();
}

QString currentPath() {
    return thisRun.written ? thisRun.path : QString();
}

QList<Leftover> leftovers() {
    QList<Leftover> found;
    const QDir dir(directory());
    if (!usersAlone(dir.path()).ok()) {
        return found;  // never read where someone else may have written
    }
    const QStringList names =
        dir.entryList({QStringLiteral("batch-*")}, QDir::Files | QDir::Hidden, QDir::Name);
    // The journal a file of the directory belongs to: itself, the new file of
    // a write of it, or its lock.
    const auto journalOf = [](const QString& name) {
        const qsizetype at = name.indexOf(kSuffix);
        return at > 0                                  ? name.left(at + kSuffix.size())
               : name.endsWith(QLatin1String(".lock")) ? name.chopped(5) + kSuffix
                                                       : QString();
    };
    for (const QString& name : names) {
        const QString journalName = journalOf(name);
        if (journalName.isEmpty() || (journalName != name && names.contains(journalName))) {
            continue;  // not ours, or seen with the journal itself
        }
        const QString journalPath = dir.filePath(journalName);
        std::shared_ptr<QLockFile> lock = lockFor(journalPath);
        if (!lock) {
            continue;  // a program that is still running holds it
        }
        platform::removeLeftTemporaries(journalPath);
        QFile file(journalPath);
        if (!file.exists()) {
            continue;  // a lock or a write cut short, and nothing else: gone now
        }
        if (!usersAlone(journalPath).ok()) {
            continue;  // not the user's own: never offered, never touched
        }
        std::optional<Record> record;
        if (file.open(QIODevice::ReadOnly)) {
            record = decode(file.readAll());
        }
        found.append(Leftover{journalPath, record, lock});
    }
    return found;
}

void discard(Leftover& leftover) {
    QFile::remove(leftover.path);
    leftover.lock.reset();
}

QString keepAside(Leftover& leftover) {
    const QString kept = leftover.path + QStringLiteral(".kept");
    QFile::remove(kept);
    const QString where = QFile::rename(leftover.path, kept) ? kept : leftover.path;
    leftover.lock.reset();
    return where;
}

}  // namespace journal
