// The rename phase (its journal included), the undo and 1001 colliding files,
// each against a bare renameat2(RENAME_NOREPLACE) loop over the same files in
// the same run, on tmpfs (/dev/shm) and on the normal disk (the system temp
// directory). The journal's own baseline is one bare write and fsync of a
// file of its size: the rename phase is measured against the bare loop plus
// that.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>
#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "engine/AppState.h"
#include "engine/Journal.h"
#include "engine/RenameExecutor.h"
#include "platform/Platform.h"

namespace {

using bench::baseDirectory;
using bench::label;

constexpr int kFiles = AppState::kMaxEntries;

// A directory of 1001 files, pinned as the chooser's OK pins it, and a state
// directory for the journal on the same file system.
struct Batch {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QTemporaryDir> state;
    QStringList names;
    platform::Directory pinned;

    explicit Batch(int where)
        : dir(new QTemporaryDir(baseDirectory(where) + QStringLiteral("/qbench-XXXXXX"))),
          state(new QTemporaryDir(baseDirectory(where) + QStringLiteral("/qbench-state-XXXXXX"))) {
        for (int i = 0; i < kFiles; ++i) {
            const QString name = QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
            names << name;
            const QByteArray path = QFile::encodeName(dir->filePath(name));
            close(open(path.constData(), O_CREAT | O_WRONLY, 0644));
        }
        pinned = platform::real().openDirectory(dir->path()).directory;
        qputenv("XDG_STATE_HOME", QFile::encodeName(state->path()));
    }
    // The journal's lock goes before its directory does.
    ~Batch() { journal::close(); }
};

using Clock = std::chrono::steady_clock;
double seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// renameat2 with RENAME_NOREPLACE over byte paths prepared beforehand.
void bareLoop(const std::vector<QByteArray>& from, const std::vector<QByteArray>& to) {
    for (size_t i = 0; i < from.size(); ++i) {
        if (renameat2(AT_FDCWD, from[i].constData(), AT_FDCWD, to[i].constData(),
                      RENAME_NOREPLACE) != 0) {
            std::perror("renameat2");
        }
    }
}

void BM_BareRenameLoop(benchmark::State& state) {
    Batch batch(static_cast<int>(state.range(0)));
    std::vector<QByteArray> from, to;
    for (int i = 0; i < kFiles; ++i) {
        from.push_back(QFile::encodeName(batch.dir->filePath(batch.names[i])));
        to.push_back(QFile::encodeName(batch.dir->filePath(QStringLiteral("n%1.jpg").arg(i))));
    }
    for (auto _ : state) {
        const auto start = Clock::now();
        bareLoop(from, to);
        state.SetIterationTime(seconds(start, Clock::now()));
        bareLoop(to, from);
    }
    state.SetLabel(label(static_cast<int>(state.range(0))));
}

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

void runRenamePhase(benchmark::State& state, bool same) {
    Batch batch(static_cast<int>(state.range(0)));
    AppState s;
    for (auto _ : state) {
        prepare(s, batch, same);
        const auto start = Clock::now();
        const batch::RenameOutcome outcome = batch::renameBatch(s, platform::real());
        state.SetIterationTime(seconds(start, Clock::now()));
        if (outcome.error != Error::None ||
            batch::undoBatch(s, platform::real()).error != Error::None) {
            state.SkipWithError("the batch failed");
            return;
        }
    }
    state.SetLabel(label(static_cast<int>(state.range(0))));
}

void BM_RenamePhase(benchmark::State& state) {
    runRenamePhase(state, false);
}
void BM_RenameAllToOneName(benchmark::State& state) {
    runRenamePhase(state, true);
}

void BM_Undo(benchmark::State& state) {
    Batch batch(static_cast<int>(state.range(0)));
    AppState s;
    for (auto _ : state) {
        prepare(s, batch, false);
        if (batch::renameBatch(s, platform::real()).error != Error::None) {
            state.SkipWithError("the batch failed");
            return;
        }
        const auto start = Clock::now();
        const batch::UndoOutcome outcome = batch::undoBatch(s, platform::real());
        state.SetIterationTime(seconds(start, Clock::now()));
        if (outcome.error != Error::None) {
            state.SkipWithError("the undo failed");
            return;
        }
    }
    state.SetLabel(label(static_cast<int>(state.range(0))));
}

// One bare write and fsync of a file as large as the journal of the batch
// above: the cost a journal adds at the least.
void BM_JournalWriteFsync(benchmark::State& state) {
    Batch batch(static_cast<int>(state.range(0)));
    journal::Record record{batch.dir->path(), {64769, 1311861}, {}};
    for (int i = 0; i < kFiles; ++i) {
        record.entries.append(journal::Entry{{64769, quint64(1311862 + i)}, batch.names[i]});
    }
    const QByteArray data = journal::encode(record);
    const QByteArray path = QFile::encodeName(batch.state->filePath(QStringLiteral("bare")));
    for (auto _ : state) {
        const auto start = Clock::now();
        const int fd = open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
        if (fd < 0 || write(fd, data.constData(), size_t(data.size())) != data.size() ||
            fsync(fd) != 0) {
            state.SkipWithError("the write failed");
            return;
        }
        close(fd);
        state.SetIterationTime(seconds(start, Clock::now()));
    }
    state.counters["bytes"] = double(data.size());
    state.SetLabel(label(static_cast<int>(state.range(0))));
}

}  // namespace

BENCHMARK(BM_JournalWriteFsync)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareRenameLoop)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenamePhase)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Undo)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameAllToOneName)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
