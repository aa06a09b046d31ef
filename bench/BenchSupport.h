#pragma once

// What several benchmarks measure with: where their files live, a bare
// readdir loop as the system's own cost, a way to see a widget painted, and
// the timing of a product path against its baseline in the same iterations.

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <QByteArray>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <chrono>

namespace bench {

// Where a benchmark's files live: 0 on tmpfs (/dev/shm), 1 on the normal
// disk (the system temp directory); and the label its results carry.
inline QString baseDirectory(int where) {
    return where == 0 ? QStringLiteral("/dev/shm") : QDir::tempPath();
}
inline const char* label(int where) {
    return where == 0 ? "tmpfs" : "disk";
}

using Clock = std::chrono::steady_clock;
inline double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// What the system alone takes: every entry of the directory `dirFd` (any
// descriptor of it, O_PATH included), nothing kept.
inline long readdirAt(int dirFd) {
    DIR* d = ::fdopendir(::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (d == nullptr) {
        return -1;
    }
    long count = 0;
    while (const dirent* entry = ::readdir(d)) {
        benchmark::DoNotOptimize(entry->d_name[0]);
        ++count;
    }
    ::closedir(d);
    return count;
}
inline long readdirLoop(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const long count = fd < 0 ? -1 : readdirAt(fd);
    ::close(fd);
    return count;
}

// Removes every file of the directory `path` by its bytes (Qt's own removal
// skips names that are not UTF-8), so that the directory itself can go.
inline void removeFiles(const QByteArray& path) {
    // Again until a pass finds nothing: entries removed during a walk may
    // move the rest about.
    for (bool removed = true; removed;) {
        removed = false;
        const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* d = fd < 0 ? nullptr : ::fdopendir(fd);
        if (d == nullptr) {
            return;
        }
        while (const dirent* entry = ::readdir(d)) {
            removed = ::unlinkat(fd, entry->d_name, 0) == 0 || removed;
        }
        ::closedir(d);
    }
}

// Times `product` against `baseline` in the same iterations, in turns (the
// baseline first in every other iteration), so that both meet the same load
// of the machine. Each returns the seconds it measured, or a negative number
// when it failed. The iteration time is the product's; the counters give the
// baseline's mean and the ratio of the two totals.
template <typename Product, typename Baseline>
void timeAgainst(benchmark::State& state, Product&& product, Baseline&& baseline) {
    double productTotal = 0;
    double baselineTotal = 0;
    bool baselineFirst = true;
    for (auto _ : state) {
        double p = 0;
        double b = 0;
        if (baselineFirst) {
            b = baseline();
            p = product();
        } else {
            p = product();
            b = baseline();
        }
        baselineFirst = !baselineFirst;
        if (p < 0 || b < 0) {
            state.SkipWithError(p < 0 ? "the product path failed" : "the baseline failed");
            return;
        }
        state.SetIterationTime(p);
        productTotal += p;
        baselineTotal += b;
    }
    state.counters["baseline_ms"] = 1000 * baselineTotal / double(state.iterations());
    state.counters["ratio"] = productTotal / baselineTotal;
}

// Settings, state and runtime directories of the benchmark's own for as long
// as it lives: no benchmark reads or writes the user's, nor leaves Qt's
// runtime directory behind in the system temp directory.
struct PrivateDirectories {
    QTemporaryDir config, state, runtime;
    PrivateDirectories() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
};

// Google Benchmark's own main: runs the benchmarks the command line asks
// for. The caller keeps its Qt application (if any) alive around it.
inline int runBenchmarks(int* argc, char** argv) {
    benchmark::Initialize(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(*argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Notes when the widget it watches has been painted.
class PaintSpy : public QObject {
  public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace bench
