// Opening the file chooser on a directory of 100,000 files: the time from
// pointing Dir1 at the directory to the file list's first paint, against a
// bare readdir() loop over the same directory measured in the same iteration.
// Run under QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QEvent>
#include <QListView>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "platform/Platform.h"
#include "ui/Forms.h"
#include "ui/frmDir.h"

namespace {

using bench::PaintSpy;
using bench::readdirLoop;

constexpr int kFiles = 100000;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The directories the benchmarks read, made once per run.
struct Directories {
    QTemporaryDir config;  // the chooser reads its settings from here, never the user's
    QTemporaryDir big;
    QTemporaryDir empty;
    QByteArray bigBytes;

    Directories() {
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        bigBytes = platform::encodeFileName(big.path());
        // Names of the kinds people keep, created in random order so that
        // neither the listing nor the sort gets them presorted.
        std::vector<QByteArray> names;
        names.reserve(kFiles);
        for (int i = 0; i < kFiles; ++i) {
            switch (i % 4) {
                case 0:
                    names.push_back(QByteArray("IMG_") +
                                    QByteArray::number(i).rightJustified(6, '0') + ".jpg");
                    break;
                case 1:
                    names.push_back("Report " + QByteArray::number(i) + " (final).docx");
                    break;
                case 2:
                    names.push_back("track-" + QByteArray::number(i * 7919 % 1000003) + ".flac");
                    break;
                default:
                    names.push_back("caf\xc3\xa9_" + QByteArray::number(i) + ".txt");
                    break;
            }
        }
        std::shuffle(names.begin(), names.end(), *QRandomGenerator::global());
        for (const QByteArray& name : names) {
            const int fd = ::open((bigBytes + '/' + name).constData(), O_CREAT | O_WRONLY, 0644);
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
};

Directories& directories() {
    static Directories dirs;
    return dirs;
}

void BM_ReaddirLoop(benchmark::State& state) {
    const QByteArray path = directories().bigBytes;
    long count = 0;
    for (auto _ : state) {
        count = readdirLoop(path);
    }
    state.counters["entries"] = double(count);
}

void BM_PlatformListFiles(benchmark::State& state) {
    const QString path = directories().big.path();
    qsizetype count = 0;
    for (auto _ : state) {
        count = platform::current().listFiles(path).names.size();
    }
    state.counters["files"] = double(count);
}

void BM_ChooserFirstPaint(benchmark::State& state) {
    Directories& dirs = directories();
    frmDir& chooser = forms::frmDir();
    chooser.show();
    while (chooser.windowHandle() == nullptr || !chooser.windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    PaintSpy spy;
    QWidget* viewport = chooser.findChild<QListView*>(QStringLiteral("File1"))->viewport();
    viewport->installEventFilter(&spy);

    double chooserTotal = 0;
    double readdirTotal = 0;
    for (auto _ : state) {
        // Start each time from an empty directory with everything painted.
        chooser.setDir1Path(dirs.empty.path());
        QCoreApplication::processEvents();

        const Clock::time_point system = Clock::now();
        benchmark::DoNotOptimize(readdirLoop(dirs.bigBytes));
        const double readdirSeconds = secondsSince(system);

        const Clock::time_point start = Clock::now();
        spy.painted = false;
        chooser.setDir1Path(dirs.big.path());
        while (!spy.painted) {
            QCoreApplication::processEvents();
        }
        const double chooserSeconds = secondsSince(start);

        state.SetIterationTime(chooserSeconds);
        chooserTotal += chooserSeconds;
        readdirTotal += readdirSeconds;
    }
    viewport->removeEventFilter(&spy);
    state.counters["files"] = chooser.File1ListCount();
    state.counters["readdir_ms"] = 1000 * readdirTotal / double(state.iterations());
    state.counters["ratio_to_readdir"] = chooserTotal / readdirTotal;
    forms::unload(forms::Form::Dir);
}

}  // namespace

BENCHMARK(BM_ReaddirLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlatformListFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooserFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    directories();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
