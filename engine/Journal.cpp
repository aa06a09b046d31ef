#include "engine/Journal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QtEndian>
#include <algorithm>
#include <charconv>
#include <iterator>
#include <string_view>

namespace journal {
namespace {

constexpr std::string_view kHeader = "quillomat-journal 5";

// The words of the renames line.
constexpr const char* kWays[] = {"unknown", "no-replace", "link", "reserve", "checked"};
const QByteArray kKeepsTime = QByteArrayLiteral("keeps-time");
const QByteArray kRewritesTime = QByteArrayLiteral("rewrites-time");
const QString kSuffix = QStringLiteral(".journal");
constexpr char kDigits[] = "0123456789abcdef";

// A journal's text, written straight into one buffer, with no string made
// per field: it is written before every batch.
class Writer {
  public:
    explicit Writer(qsizetype guess) : out_(guess, Qt::Uninitialized), at_(out_.data()) {}
    Writer& operator<<(std::string_view text) {
        at_ = std::copy(text.cbegin(), text.cend(), room(qsizetype(text.size())));
        return *this;
    }
    // " <n>" in decimal.
    template <typename Number>
    Writer& number(Number n) {
        *room(21) = ' ';
        at_ = std::to_chars(at_ + 1, at_ + 21, n).ptr;
        return *this;
    }
    // A name's bytes as the file system holds them; a byte that would split
    // a field or a line, and "%", as "%" and two hex digits.
    Writer& name(QStringView name) {
        if (QtPrivate::isAscii(name)) {  // each unit its byte, with no buffer between
            return escaped(name.utf16(), name.size());
        }
        const QByteArray bytes = platform::encodeFileName(name);
        return escaped(bytes.constData(), bytes.size());
    }
    template <typename Unit>
    Writer& escaped(const Unit* units, qsizetype n) {
        room(3 * n);
        for (const Unit* end = units + n; units != end; ++units) {
            char c = char(*units);
            if (uchar(c) <= ' ' || c == '%' || c == 0x7f) {
                *at_++ = '%';
                *at_++ = kDigits[uchar(c) >> 4];
                c = kDigits[c & 15];
            }
            *at_++ = c;
        }
        return *this;
    }
    QByteArray done() {
        out_.truncate(at_ - out_.constData());
        return std::move(out_);
    }

  private:
    // Where the next `n` bytes go, the buffer grown where they would not fit.
    char* room(qsizetype n) {
        const qsizetype at = at_ - out_.constData();
        if (out_.size() - at < n) {
            out_.resize(2 * out_.size() + n);
            at_ = out_.data() + at;
        }
        return at_;
    }
    QByteArray out_;
    char* at_;
};

// A name from its field: version 5 writes the bytes (escaped as above), the
// versions before the lower-case hex of the bytes. Nothing for a field that
// is neither.
std::optional<QString> nameOf(const QByteArray& field, int version) {
    const auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    if (field.isEmpty() || (version < 5 && (field.size() % 2 != 0 ||
                                            !std::all_of(field.cbegin(), field.cend(), isHex)))) {
        return std::nullopt;
    }
    return platform::decodeFileName(version < 5 ? QByteArray::fromHex(field)
                                                : QByteArray::fromPercentEncoding(field));
}

// The checksum line's hash of the lines before it, as 16 lower-case hex
// digits: 64-bit FNV-1a up to version 4; from version 5 its step over eight
// bytes at a time (the rest byte by byte), eight times quicker. Enough to
// tell a damaged or cut journal from a whole one (no attacker is expected).
QByteArray checksumOf(QByteArrayView lines, int version) {
    quint64 hash = 0xcbf29ce484222325ULL;
    qsizetype i = 0;
    for (; version >= 5 && i + 8 <= lines.size(); i += 8) {
        hash = (hash ^ qFromLittleEndian<quint64>(lines.data() + i)) * 0x100000001b3ULL;
        hash ^= hash >> 32;
    }
    return QByteArray::number(platform::fnv1a(lines.data() + i, lines.size() - i, hash), 16)
        .rightJustified(16, '0');
}

// "file <old> <new> <size> <modified> <inode> [<contents>]" into an entry;
// version 2 has no contents field.
bool parseFile(const QByteArray& line, int version, Entry* entry) {
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() != (version == 2 ? 6 : 7) || fields[0] != "file") {
        return false;
    }
    const std::optional<QString> oldName = nameOf(fields[1], version);
    const std::optional<QString> newName = nameOf(fields[2], version);
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

// A lock that the running program holds: taken with the first journal of
// the run and kept to its end, so a journal it writes is never taken for one
// left behind. A lock of a program that has ended is stale and taken over.
std::unique_ptr<QLockFile> lockFor(const QString& journalPath) {
    auto lock =
        std::make_unique<QLockFile>(journalPath.chopped(kSuffix.size()) + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);  // only a dead owner makes a lock stale, never its age
    return lock->tryLock(0) ? std::move(lock) : nullptr;
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
    Writer out(256 + record.entries.size() * 128);
    out << kHeader << "\ndirectory ";
    out.name(record.directory) << "\nrenames " << kWays[int(record.traits.way)];
    out << (record.traits.keepsTime ? " keeps-time\n" : " rewrites-time\n");
    for (const Entry& entry : record.entries) {
        out << "file ";
        out.name(entry.oldName) << " ";
        const platform::Fingerprint& f = entry.fingerprint;
        out.name(entry.newName).number(f.size).number(f.modified).number(f.inode);
        out.number(f.contents) << "\n";
        for (const bool back : {false, true}) {
            for (const QString& name : back ? entry.numberedOld : entry.numberedNew) {
                (out << (back ? "numbered old " : "numbered new ")).name(name) << "\n";
            }
        }
    }
    out << "end";
    QByteArray lines = out.number(record.entries.size()).done().append('\n');
    const QByteArray checksum = checksumOf(lines, 5);
    return lines.append("checksum ").append(checksum).append('\n');
}

std::optional<Record> decode(const QByteArray& data) {
    // The checksum line covers everything before it.
    const qsizetype last = data.lastIndexOf("\nchecksum ");
    const QList<QByteArray> lines = data.left(std::max<qsizetype>(last, 0)).split('\n');
    const int version = lines[0].startsWith("quillomat-journal ") ? lines[0].mid(18).toInt() : 0;
    if (last < 0 || version < 2 || version > 5 || !data.endsWith('\n') ||
        data.mid(last + 10).chopped(1) !=
            checksumOf(QByteArrayView(data.constData(), last + 1), version) ||
        lines.size() < (version == 2 ? 3 : 4) || !lines[1].startsWith("directory ")) {
        return std::nullopt;
    }
    const qsizetype first = version == 2 ? 2 : 3;  // the first file line
    Record record;
    const std::optional<QString> directory = nameOf(lines[1].mid(10), version);
    if (!directory || (version > 2 && !parseRenames(lines[2], &record.traits))) {
        return std::nullopt;
    }
    record.directory = *directory;
    record.entries.reserve(lines.size() - first - 1);
    for (qsizetype i = first; i < lines.size() - 1; ++i) {
        if (version >= 4 && lines[i].startsWith("numbered ") && !record.entries.isEmpty()) {
            const QList<QByteArray> fields = lines[i].split(' ');
            const std::optional<QString> name = nameOf(fields.value(2), version);
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
    const platform::Status alone = made.ok() ? platform::usersAlone(dir) : made;
    if (!alone.ok()) {
        end();
        return alone;
    }
    if (!thisRun.lock) {
        // Without the lock the journal is still written: it matters more.
        thisRun.lock = lockFor(thisRun.path);
    }
    const platform::Status written =
        system.writeFileDurably(thisRun.path, encode(record), platform::Reach::UsersAlone);
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
    return system.writeFileDurably(path, encode(record), platform::Reach::UsersAlone);
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
    if (!platform::usersAlone(dir.path()).ok()) {
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
        QByteArray data;
        const platform::Status read =
            platform::readRegularFile(journalPath, &data, platform::Reach::UsersAlone);
        if (read.error == Error::FileNotFound || read.ownReason) {
            // A lock or a write cut short, and nothing else: gone now. Or not
            // the user's own: never offered, never touched.
            continue;
        }
        found.append(Leftover{journalPath, read.ok() ? decode(data) : std::nullopt, lock});
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
