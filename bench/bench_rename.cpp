// The rename phase, the undo and 1001 files that all want one name, each
// against a fair baseline timed in the same iterations, on tmpfs (/dev/shm)
// and on the normal disk (the system temp directory), and the rename phase on
// an exFAT volume mounted through exfat-fuse.
//
// The fair baseline is what any careful renamer of 1001 files must do at the
// least, relative to a directory descriptor: one listing of the directory,
// one fstatat per file, the journal's write (a file of the journal's size,
// flushed, renamed into place, its directory flushed) and one
// renameat2(RENAME_NOREPLACE) per file. The undo is measured against the same
// loop without the journal. On exfat-fuse, which refuses the no-replace
// rename and hard links, the rename step of the baseline is the third way the
// program falls back to there: an empty placeholder made with
// O_CREAT|O_EXCL, closed, checked with fstatat and renamed over.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "engine/AppState.h"
#include "engine/Journal.h"
#include "engine/RenameExecutor.h"
#include "platform/Platform.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

using bench::Clock;
using bench::label;
using bench::secondsSince;

constexpr int kFiles = AppState::kMaxEntries;

// Where the batch's files live: tmpfs, the disk, or the exFAT volume.
enum Where { Tmpfs = 0, Disk = 1, ExfatFuse = 2 };

// An exFAT image on tmpfs, attached to a loop device and mounted through
// exfat-fuse for the whole run; detached and removed at the end. Where FUSE,
// loop devices or the tools are missing it says why and nothing is mounted.
class ExfatVolume {
  public:
    static ExfatVolume& instance() {
        static ExfatVolume volume;
        return volume;
    }
    static void release() {
        if (created_) {
            instance().tearDown();
        }
    }

    bool mounted() const { return mounted_; }
    const QString& why() const { return why_; }
    QString path() const { return work_.filePath(QStringLiteral("mnt")); }

  private:
    ExfatVolume() : work_(QStringLiteral("/dev/shm/qbench-exfat-XXXXXX")) {
        created_ = true;
        const QString mkfs = tool("mkfs.exfat");
        const QString mount = tool("mount.exfat-fuse");
        const QString losetup = tool("losetup");
        if (!QFile::exists(QStringLiteral("/dev/fuse")) ||
            !QFile::exists(QStringLiteral("/dev/loop-control"))) {
            why_ = QStringLiteral("no /dev/fuse or no loop devices here");
            return;
        }
        if (mkfs.isEmpty() || mount.isEmpty() || losetup.isEmpty()) {
            why_ = QStringLiteral("exfatprogs, exfat-fuse or losetup is not installed");
            return;
        }
        const QString image = work_.filePath(QStringLiteral("volume.img"));
        QFile file(image);
        if (!work_.isValid() || !file.open(QIODevice::WriteOnly) || !file.resize(128 << 20)) {
            why_ = QStringLiteral("no room for the image on /dev/shm");
            return;
        }
        file.close();
        QDir(work_.path()).mkdir(QStringLiteral("mnt"));
        QProcess attach;
        if (run(mkfs, {image})) {
            attach.start(losetup, {QStringLiteral("-f"), QStringLiteral("--show"), image});
        }
        if (!attach.waitForFinished() || attach.exitCode() != 0) {
            why_ = QStringLiteral("the image could not be made or attached to a loop device");
            return;
        }
        device_ = QString::fromLocal8Bit(attach.readAllStandardOutput()).trimmed();
        mounted_ = run(mount, {device_, path()});
        if (!mounted_) {
            why_ = QStringLiteral("mount.exfat-fuse failed");
            tearDown();
        }
    }

    static QString tool(const char* name) {
        return QStandardPaths::findExecutable(
            QString::fromLatin1(name),
            {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"), QStringLiteral("/usr/bin")});
    }
    static bool run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    void tearDown() {
        if (mounted_) {
            run(QStringLiteral("umount"), {path()});
            mounted_ = false;
        }
        if (!device_.isEmpty()) {
            run(tool("losetup"), {QStringLiteral("-d"), device_});
            device_.clear();
        }
        work_.remove();
    }

    static inline bool created_ = false;
    QTemporaryDir work_;
    QString device_;
    bool mounted_ = false;
    QString why_;
};

QString baseDirectory(Where where) {
    return where == ExfatFuse ? ExfatVolume::instance().path()
                              : bench::baseDirectory(static_cast<int>(where));
}
const char* labelOf(Where where) {
    return where == ExfatFuse ? "exfat-fuse" : label(static_cast<int>(where));
}

// A directory of 1001 files, pinned as the chooser's OK pins it, and a state
// directory for the journal (beside it; on tmpfs for the exFAT volume).
struct Batch {
    Where where;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QTemporaryDir> state;
    QStringList names;
    platform::Directory pinned;
    int dirFd = -1;    // the pinned directory's own descriptor
    int stateFd = -1;  // the state directory, opened to be flushed
    std::vector<QByteArray> oldBytes, newBytes;
    QByteArray journal;  // as large as the batch's own journal

    explicit Batch(Where where)
        : where(where),
          dir(new QTemporaryDir(baseDirectory(where) + QStringLiteral("/qbench-XXXXXX"))),
          state(new QTemporaryDir(
              (where == ExfatFuse ? bench::baseDirectory(Tmpfs) : baseDirectory(where)) +
              QStringLiteral("/qbench-state-XXXXXX"))) {
        journal::Record record{dir->path(), {}};
        for (int i = 0; i < kFiles; ++i) {
            const QString name = QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
            names << name;
            oldBytes.push_back(platform::encodeFileName(name));
            newBytes.push_back(platform::encodeFileName(QStringLiteral("n%1.jpg").arg(i)));
            const QByteArray path = platform::encodeFileName(dir->filePath(name));
            ::close(::open(path.constData(), O_CREAT | O_WRONLY, 0644));
            record.entries.append(journal::Entry{
                name, QStringLiteral("n%1.jpg").arg(i), {0, 1'700'000'000'000'000'000, 1311862}});
        }
        journal = journal::encode(record);
        pinned = platform::real().openDirectory(dir->path()).directory;
        dirFd = static_cast<int>(pinned->handle());
        stateFd = ::open(platform::encodeFileName(state->path()).constData(),
                         O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        qputenv("XDG_STATE_HOME", platform::encodeFileName(state->path()));
    }
    ~Batch() {
        // The journal's lock goes before its directory does.
        journal::close();
        ::close(stateFd);
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
};

// --- The baseline's parts. ---

// One listing of the directory and one fstatat per file.
bool listAndIdentify(const Batch& b) {
    if (bench::readdirAt(b.dirFd) < kFiles) {
        return false;
    }
    struct stat st;
    for (const QByteArray& name : b.oldBytes) {
        if (::fstatat(b.dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            return false;
        }
    }
    return true;
}

// The journal's write: a new file, flushed, renamed into place, the directory flushed.
bool writeJournal(const Batch& b) {
    const int fd = ::openat(b.stateFd, "bare.tmp", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const bool written =
        fd >= 0 &&
        ::write(fd, b.journal.constData(), size_t(b.journal.size())) == b.journal.size() &&
        ::fsync(fd) == 0;
    ::close(fd);
    return written && ::renameat(b.stateFd, "bare.tmp", b.stateFd, "bare") == 0 &&
           ::fsync(b.stateFd) == 0;
}

// renameat2(RENAME_NOREPLACE) relative to the directory, or with flags 0 a
// plain rename (to put the files back untimed, where the names are known free).
bool renameAll(int dirFd, const std::vector<QByteArray>& from, const std::vector<QByteArray>& to,
               unsigned int flags = RENAME_NOREPLACE) {
    for (size_t i = 0; i < from.size(); ++i) {
        if (::renameat2(dirFd, from[i].constData(), dirFd, to[i].constData(), flags) != 0) {
            std::perror("renameat2");
            return false;
        }
    }
    return true;
}

// The third way: an empty placeholder of our own under the new name, closed,
// checked, and the file renamed over it.
bool reserveAndRenameAll(int dirFd, const std::vector<QByteArray>& from,
                         const std::vector<QByteArray>& to) {
    for (size_t i = 0; i < from.size(); ++i) {
        const int fd = ::openat(dirFd, to[i].constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            std::perror("openat");
            return false;
        }
        ::close(fd);
        struct stat st;
        if (::fstatat(dirFd, to[i].constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || st.st_size != 0 ||
            ::renameat(dirFd, from[i].constData(), dirFd, to[i].constData()) != 0) {
            std::perror("renameat");
            return false;
        }
    }
    return true;
}

// One timed run of a baseline over the batch, its files put back afterwards
// (untimed). Negative when it failed.
double baselineRun(const Batch& b, bool withJournal) {
    const Clock::time_point start = Clock::now();
    bool ok = listAndIdentify(b) && (!withJournal || writeJournal(b));
    ok = ok && (b.where == ExfatFuse ? reserveAndRenameAll(b.dirFd, b.oldBytes, b.newBytes)
                                     : renameAll(b.dirFd, b.oldBytes, b.newBytes));
    const double seconds = secondsSince(start);
    if (!ok || !renameAll(b.dirFd, b.newBytes, b.oldBytes, 0)) {
        return -1;
    }
    ::unlinkat(b.stateFd, "bare", 0);
    return seconds;
}

// --- The program's paths. ---

// Entries as generation leaves them: every file gets its own new name, or
// with `same` all of them the same one.
void prepare(AppState& s, const Batch& batch, bool same) {
    s.chosenDirectory = batch.pinned;
    s.lastIndex = kFiles - 1;
    for (int i = 0; i < kFiles; ++i) {
        s.oldNames[i] = batch.names[i];
        s.newNames[i] = same ? QStringLiteral("same") : QStringLiteral("n%1").arg(i);
        s.extensions[i] = QStringLiteral(".jpg");
    }
}

// What the Rename button does once the names are built: the directory
// listed, the plan made over it and carried out. The record comes back.
batch::Plan renameAll(AppState& s) {
    const QStringList listed(s.oldNames.cbegin(), s.oldNames.cbegin() + kFiles);
    const platform::Listing listing = platform::real().list(*s.chosenDirectory);
    return batch::renameBatch(s, batch::planGenerated(s, listed, listing), platform::real());
}

// The rename phase timed, the undo after it not. Negative when it failed.
double renamePhase(AppState& s, const Batch& batch, bool same) {
    prepare(s, batch, same);
    const Clock::time_point start = Clock::now();
    batch::Plan record = renameAll(s);
    const double seconds = secondsSince(start);
    if (record.error() != Error::None) {
        return -1;
    }
    batch::undoBatch(s, record, platform::real());
    return record.error() == Error::None ? seconds : -1;
}

// The undo timed, the rename phase before it not.
double undo(AppState& s, const Batch& batch) {
    prepare(s, batch, false);
    batch::Plan record = renameAll(s);
    if (record.error() != Error::None) {
        return -1;
    }
    const Clock::time_point start = Clock::now();
    batch::undoBatch(s, record, platform::real());
    const double seconds = secondsSince(start);
    return record.error() == Error::None ? seconds : -1;
}

Where whereOf(const benchmark::State& state) {
    return static_cast<Where>(state.range(0));
}

// A batch where `state` asks for it, or none (and the benchmark skipped)
// where the exFAT volume cannot be mounted.
std::unique_ptr<Batch> batchFor(benchmark::State& state) {
    const Where where = whereOf(state);
    if (where == ExfatFuse && !ExfatVolume::instance().mounted()) {
        state.SkipWithError(
            ("exfat-fuse skipped: " + ExfatVolume::instance().why().toStdString()).c_str());
        return nullptr;
    }
    state.SetLabel(labelOf(where));
    return std::make_unique<Batch>(where);
}

// A baseline alone: the fair one with the journal's write, the rename loop without.
void runBaseline(benchmark::State& state, bool withJournal) {
    const std::unique_ptr<Batch> batch = batchFor(state);
    if (!batch) {
        return;
    }
    for (auto _ : state) {
        const double seconds = baselineRun(*batch, withJournal);
        if (seconds < 0) {
            state.SkipWithError("the baseline failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

// `path` (the program's, given a state and the batch) against a baseline, in
// the same iterations.
template <typename Path>
void runAgainstBaseline(benchmark::State& state, bool withJournal, Path&& path) {
    const std::unique_ptr<Batch> batch = batchFor(state);
    if (!batch) {
        return;
    }
    auto s = std::make_unique<AppState>();
    bench::timeAgainst(
        state, [&] { return path(*s, *batch); }, [&] { return baselineRun(*batch, withJournal); });
}

void BM_FairRenameBaseline(benchmark::State& state) {
    runBaseline(state, true);
}
void BM_RenameLoopBaseline(benchmark::State& state) {
    runBaseline(state, false);
}
// renameBatch (journal on) against BM_FairRenameBaseline.
void BM_RenamePhase(benchmark::State& state) {
    runAgainstBaseline(state, true,
                       [](AppState& s, const Batch& b) { return renamePhase(s, b, false); });
}
// 1001 files that all want the name "same.jpg", against BM_FairRenameBaseline.
void BM_RenameAllToOneName(benchmark::State& state) {
    runAgainstBaseline(state, true,
                       [](AppState& s, const Batch& b) { return renamePhase(s, b, true); });
}
// undoBatch against BM_RenameLoopBaseline.
void BM_Undo(benchmark::State& state) {
    runAgainstBaseline(state, false, undo);
}

}  // namespace

// On tmpfs and on the disk, timed by hand (the files are put back untimed).
void onTmpfsAndDisk(benchmark::internal::Benchmark* b) {
    b->Arg(Tmpfs)->Arg(Disk)->UseManualTime()->Unit(benchmark::kMillisecond);
}
// On the exFAT volume: the rename phase against the baseline whose renames
// take the third way; a few iterations, each some hundred FUSE calls.
void onExfatFuse(benchmark::internal::Benchmark* b) {
    b->Arg(ExfatFuse)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);
}

BENCHMARK(BM_FairRenameBaseline)->Apply(onTmpfsAndDisk);
BENCHMARK(BM_RenamePhase)->Apply(onTmpfsAndDisk);
BENCHMARK(BM_RenameAllToOneName)->Apply(onTmpfsAndDisk);
BENCHMARK(BM_RenameLoopBaseline)->Apply(onTmpfsAndDisk);
BENCHMARK(BM_Undo)->Apply(onTmpfsAndDisk);
BENCHMARK(BM_FairRenameBaseline)->Name("BM_FairRenameBaseline/fuse")->Apply(onExfatFuse);
BENCHMARK(BM_RenamePhase)->Name("BM_RenamePhase/fuse")->Apply(onExfatFuse);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // for the processes that make the volume
    const int status = bench::runBenchmarks(&argc, argv);
    ExfatVolume::release();  // unmounted and detached whatever happened above
    return status;
}
