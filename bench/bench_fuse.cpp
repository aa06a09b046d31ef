// Rename and Undo of 1001 files on each FUSE file system (fusefat,
// exfat-fuse, ntfs-3g, sshfs), as the Rename and Undo buttons run them,
// against two loops on the same mount in the same run: `mv -n` for every
// file (what a user would type), and the file system's own safe loop (one
// listing, one fstatat per file, and the rename step of the way the driver
// keeps: a hard link and the old name dropped on ntfs-3g and sshfs, an empty
// placeholder renamed over on exfat-fuse, the no-replace rename's answer and
// a plain rename on fusefat). The volumes are filled before the timing (mtools
// for FAT). Needs root, /dev/fuse and the drivers; skipped without them.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <cerrno>
#include <memory>

#include "bench/BenchSupport.h"
#include "engine/AppState.h"
#include "engine/BatchPlan.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/Mounts.h"

namespace {

using testing_support::FileSystem;

constexpr int kFiles = AppState::kMaxEntries;

QByteArray oldName(int i) {
    return QByteArrayLiteral("SCAN") + QByteArray::number(i).rightJustified(4, '0') + ".PDF";
}
QByteArray newName(int i) {
    return QByteArrayLiteral("Doc-") + QByteArray::number(i).rightJustified(4, '0') + ".PDF";
}

// The rename step of the way `fs` keeps, from `from` to `to` in `dirFd`.
bool safeRename(FileSystem fs, int dirFd, const char* from, const char* to) {
    if (fs == FileSystem::FuseFat) {
        return ::renameat2(dirFd, from, dirFd, to, RENAME_NOREPLACE) == 0 ||
               (errno == EINVAL && ::renameat2(dirFd, from, dirFd, to, 0) == 0);
    }
    if (fs == FileSystem::ExfatFuse) {
        struct stat st;
        const int fd = ::openat(dirFd, to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        return fd >= 0 && ::close(fd) == 0 && ::fstatat(dirFd, to, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
               st.st_size == 0 && ::renameat(dirFd, from, dirFd, to) == 0;
    }
    return ::linkat(dirFd, from, dirFd, to, 0) == 0 && ::unlinkat(dirFd, from, 0) == 0;
}

// The safe loop over every file, `back` from the new names to the old.
double safeLoop(FileSystem fs, const QString& dir, bool back) {
    const bench::Clock::time_point start = bench::Clock::now();
    const int dirFd = ::open(QFile::encodeName(dir).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    bool ok = bench::readdirAt(dirFd) >= kFiles;
    for (int i = 1; ok && i <= kFiles; ++i) {
        const QByteArray from = back ? newName(i) : oldName(i);
        const QByteArray to = back ? oldName(i) : newName(i);
        struct stat st;
        ok = ::fstatat(dirFd, from.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
             safeRename(fs, dirFd, from.constData(), to.constData());
    }
    ::close(dirFd);
    return ok ? bench::secondsSince(start) : -1;
}

// `mv -n` for every file, one process each, as a shell loop would run it.
double mvLoop(const QString& dir, bool back) {
    const QString from = back ? QStringLiteral("Doc-") : QStringLiteral("SCAN");
    const QString to = back ? QStringLiteral("SCAN") : QStringLiteral("Doc-");
    const QString loop = QStringLiteral("cd '") + dir +
                         QStringLiteral("' && for i in $(seq -f %04g 1 ") +
                         QString::number(kFiles) + QStringLiteral("); do mv -n ") + from +
                         QStringLiteral("$i.PDF ") + to + QStringLiteral("$i.PDF || exit 1; done");
    const bench::Clock::time_point start = bench::Clock::now();
    QProcess shell;
    shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), loop});
    const bool ok = shell.waitForFinished(-1) && shell.exitStatus() == QProcess::NormalExit &&
                    shell.exitCode() == 0;
    return ok ? bench::secondsSince(start) : -1;
}

void BM_FuseRenameAndUndo(benchmark::State& state) {
    const auto fs = FileSystem(state.range(0));
    state.SetLabel(testing_support::nameOf(fs).toStdString());
    if (!testing_support::fuseAvailable()) {
        state.SkipWithError("no /dev/fuse here");
        return;
    }
    testing_support::ScopedSettings settings;
    testing_support::TempFiles source;
    testing_support::Batch batch;
    batch.mask = QStringLiteral("0001");
    batch.prefix = QStringLiteral("Doc-");
    batch.lettering = QStringLiteral("0");
    for (int i = 1; i <= kFiles; ++i) {
        batch.listed << QString::fromLatin1(oldName(i));
        source.create(batch.listed.last(), QByteArray(100 + 37 * (i % 50), char(i)));
    }
    batch.example = batch.listed.first();
    testing_support::ScopedMount mount(fs, 48);
    const QString copied = mount.error().isEmpty()
                               ? mount.copyIn(source.path(), QStringLiteral("scans"))
                               : mount.error();
    if (!copied.isEmpty()) {
        state.SkipWithError(copied.toStdString().c_str());
        return;
    }
    const QString dir = mount.path() + QStringLiteral("/scans");
    double times[6] = {};  // Rename, Undo; mv -n both ways; the safe loop both ways
    for (auto _ : state) {
        auto s = batch.extracted(dir);
        bench::Clock::time_point start = bench::Clock::now();
        const batch::Plan record = testing_support::renamed(*s, batch.input(), platform::real());
        times[0] += bench::secondsSince(start);
        start = bench::Clock::now();
        const batch::Plan back = testing_support::undone(*s, platform::real());
        times[1] += bench::secondsSince(start);
        if (batch::countsOf(record).renamed != kFiles || back.error() != Error::None) {
            state.SkipWithError("the batch failed");
            return;
        }
        s.reset();
        const double loops[4] = {mvLoop(dir, false), mvLoop(dir, true), safeLoop(fs, dir, false),
                                 safeLoop(fs, dir, true)};
        for (int i = 0; i < 4; ++i) {
            if (loops[i] < 0) {
                state.SkipWithError("a loop failed");
                return;
            }
            times[2 + i] += loops[i];
        }
        state.SetIterationTime(times[0] + times[1]);
    }
    const double n = double(state.iterations());
    state.counters["rename_s"] = times[0] / n;
    state.counters["undo_s"] = times[1] / n;
    state.counters["mv_rename_s"] = times[2] / n;
    state.counters["mv_undo_s"] = times[3] / n;
    state.counters["safe_rename_s"] = times[4] / n;
    state.counters["safe_undo_s"] = times[5] / n;
    state.counters["ratio_mv"] = (times[0] + times[1]) / (times[2] + times[3]);
    state.counters["ratio_safe"] = (times[0] + times[1]) / (times[4] + times[5]);
    journal::close();
}

}  // namespace

BENCHMARK(BM_FuseRenameAndUndo)
    ->Arg(int(FileSystem::FuseFat))
    ->Arg(int(FileSystem::ExfatFuse))
    ->Arg(int(FileSystem::Ntfs3g))
    ->Arg(int(FileSystem::Sshfs))
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // for the processes that make and mount the volumes
    return bench::runBenchmarks(&argc, argv);
}
