#include "engine/Journal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>

namespace journal {
namespace {

const QByteArray kMagic = QByteArrayLiteral("quillomat-journal");
constexpr int kVersion = 1;
const QString kPattern = QStringLiteral("batch-*.journal");
const QString kLockPattern = QStringLiteral("batch-*.lock");

QByteArray hexOf(const QString& name) {
    return platform::encodeFileName(name).toHex();
}

bool isHexName(const QByteArray& hex) {
    if (hex.isEmpty() || hex.size() % 2 != 0) {
        return false;
    }
    for (const char c : hex) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

void appendLine(QByteArray& out, const char* tag, const platform::FileId& id, const QString& name) {
    out.append(tag)
        .append(' ')
        .append(QByteArray::number(id.device))
        .append(' ')
        .append(QByteArray::number(id.inode))
        .append(' ')
        .append(hexOf(name))
        .append('\n');
}

// "<tag> <device> <inode> <hex>" into id and name.
bool parseLine(const QByteArray& line, const char* tag, platform::FileId* id, QString* name) {
    const QList<QByteArray> fields = line.split(' ');
    bool deviceOk = false;
    bool inodeOk = false;
    if (fields.size() != 4 || fields[0] != tag || !isHexName(fields[3])) {
        return false;
    }
    id->device = fields[1].toULongLong(&deviceOk);
    id->inode = fields[2].toULongLong(&inodeOk);
    *name = platform::decodeFileName(QByteArray::fromHex(fields[3]));
    return deviceOk && inodeOk;
}

QString lockPathOf(const QString& journalPath) {
    return journalPath.left(journalPath.size() - int(sizeof(".journal") - 1)) +
           QStringLiteral(".lock");
}

// A lock that the running program holds: taken with the first journal of
// the run and kept to its end, so a journal it writes is never taken for one
// left behind. A lock of a program that has ended is stale and taken over.
std::unique_ptr<QLockFile> lockFor(const QString& journalPath) {
    auto lock = std::make_unique<QLockFile>(lockPathOf(journalPath));
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
};

RunJournal& run() {
    static RunJournal journal;
    return journal;
}

}  // namespace

QByteArray encode(const Record& record) {
    QByteArray out;
    out.reserve(64 + record.directory.size() * 2 + record.entries.size() * 64);
    out.append(kMagic).append(' ').append(QByteArray::number(kVersion)).append('\n');
    appendLine(out, "directory", record.directoryId, record.directory);
    for (const Entry& entry : record.entries) {
        appendLine(out, "file", entry.id, entry.oldName);
    }
    out.append("end ").append(QByteArray::number(record.entries.size())).append('\n');
    return out;
}

std::optional<Record> decode(const QByteArray& data) {
    if (!data.endsWith('\n')) {
        return std::nullopt;
    }
    const QList<QByteArray> lines = data.left(data.size() - 1).split('\n');
    if (lines.size() < 3 || lines.first() != kMagic + ' ' + QByteArray::number(kVersion)) {
        return std::nullopt;
    }
    Record record;
    if (!parseLine(lines[1], "directory", &record.directoryId, &record.directory)) {
        return std::nullopt;
    }
    const qsizetype files = lines.size() - 3;
    record.entries.reserve(files);
    for (qsizetype i = 2; i < lines.size() - 1; ++i) {
        Entry entry;
        // A name that would lead out of the directory is no name of a batch.
        if (!parseLine(lines[i], "file", &entry.id, &entry.oldName) ||
            !platform::isPlainFileName(entry.oldName)) {
            return std::nullopt;
        }
        record.entries.append(entry);
    }
    if (lines.last() != "end " + QByteArray::number(files)) {
        return std::nullopt;
    }
    return record;
}

QString directory() {
    const QString base =
        platform::xdgBaseDirectory("XDG_STATE_HOME", QStringLiteral("/.local/state"));
    return QDir::cleanPath(base) + QStringLiteral("/Quillomat");
}

Error begin(const Record& record, platform::Platform& p) {
    RunJournal& journal = run();
    const QString dir = directory();
    if (journal.path.isEmpty() || !journal.path.startsWith(dir + QLatin1Char('/'))) {
        close();
        journal.path = dir + QStringLiteral("/batch-%1-%2.journal")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QDateTime::currentMSecsSinceEpoch());
    }
    // A directory that cannot be made shows in the write's own error.
    QDir().mkpath(dir);
    if (!journal.lock) {
        // Without the lock the journal is still written: it matters more.
        journal.lock = lockFor(journal.path);
    }
    const Error error = p.writeFileDurably(journal.path, encode(record));
    if (error != Error::None) {
        end();
        return error;
    }
    journal.written = true;
    return Error::None;
}

void end() {
    RunJournal& journal = run();
    if (journal.written) {
        QFile::remove(journal.path);
        journal.written = false;
    }
}

void close() {
    end();
    run().lock.reset();
}

void keepForNextStart() {
    run().written = false;
    run().lock.reset();
}

QString currentPath() {
    return run().written ? run().path : QString();
}

QList<Leftover> leftovers() {
    QList<Leftover> found;
    const QDir dir(directory());
    const QStringList names = dir.entryList({kPattern}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        std::shared_ptr<QLockFile> lock = lockFor(path);
        if (!lock) {
            continue;  // a program that is still running holds it
        }
        QFile file(path);
        std::optional<Record> record;
        if (file.open(QIODevice::ReadOnly)) {
            record = decode(file.readAll());
        }
        found.append(Leftover{path, record, lock});
    }
    // Locks of runs that ended without a journal on disk are of no use.
    for (const QString& name : dir.entryList({kLockPattern}, QDir::Files | QDir::Hidden)) {
        const QString journalPath =
            dir.filePath(name.chopped(int(sizeof("lock") - 1)) + QStringLiteral("journal"));
        if (!QFile::exists(journalPath)) {
            lockFor(journalPath);  // taken only when stale, and removed at once
        }
    }
    return found;
}

void discard(Leftover& leftover) {
    QFile::remove(leftover.path);
    leftover.lock.reset();
}

}  // namespace journal
