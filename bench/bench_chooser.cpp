// Opening the file chooser on a directory of 10,000, 100,000 and 1,000,000
// files: the time from pointing Dir1 at the directory to the file list's first
// paint, against a bare readdir() loop over the same directory timed in the
// same iterations, on tmpfs (/dev/shm) and on the normal disk. Run under
// QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QListView>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "platform/Platform.h"
#include "ui/Forms.h"
#include "ui/frmDir.h"

namespace {

using bench::Clock;
using bench::PaintSpy;
using bench::readdirLoop;
using bench::secondsSince;

// A directory of `files` files and an empty one beside it, made once per run.
struct Directories {
    std::unique_ptr<QTemporaryDir> big;
    std::unique_ptr<QTemporaryDir> empty;
    QByteArray bigBytes;

    Directories(int where, int files)
        : big(new QTemporaryDir(bench::baseDirectory(where) + QStringLiteral("/qbench-XXXXXX"))),
          empty(new QTemporaryDir(bench::baseDirectory(where) + QStringLiteral("/qbench-XXXXXX"))) {
        bigBytes = platform::encodeFileName(big->path());
        // Names of the kinds people keep, one in five not UTF-8, created in
        // random order so that neither the listing nor the sort gets them presorted.
        std::vector<QByteArray> names;
        names.reserve(size_t(files));
        for (int i = 0; i < files; ++i) {
            const QByteArray n = QByteArray::number(i);
            switch (i % 5) {
                case 0:
                    names.push_back("IMG_" + n.rightJustified(6, '0') + ".jpg");
                    break;
                case 1:
                    names.push_back("Report " + n + " (final).docx");
                    break;
                case 2:
                    names.push_back("track-" + QByteArray::number(i * 7919 % 1000003) + ".flac");
                    break;
                case 3:
                    names.push_back("caf\xc3\xa9_" + n + ".txt");
                    break;
                default:
                    names.push_back("r\xe9sum\xe9 " + n + ".pdf");  // Latin-1
                    break;
            }
        }
        std::shuffle(names.begin(), names.end(), *QRandomGenerator::global());
        for (const QByteArray& name : names) {
            ::close(::open((bigBytes + '/' + name).constData(), O_CREAT | O_WRONLY, 0644));
        }
    }
    ~Directories() { bench::removeFiles(bigBytes); }
};

// The directory a benchmark's arguments name: where it lives, how many files.
Directories& directories(const benchmark::State& state) {
    static std::map<std::pair<int, int>, std::unique_ptr<Directories>> made;
    const std::pair<int, int> key{int(state.range(0)), int(state.range(1))};
    std::unique_ptr<Directories>& dirs = made[key];
    if (!dirs) {
        dirs = std::make_unique<Directories>(key.first, key.second);
    }
    return *dirs;
}

void BM_ReaddirLoop(benchmark::State& state) {
    const int where = static_cast<int>(state.range(0));
    const QByteArray path = directories(state).bigBytes;
    long count = 0;
    for (auto _ : state) {
        count = readdirLoop(path);
    }
    state.counters["entries"] = double(count);
    state.SetLabel(bench::label(where));
}

// The platform's own listing (names decoded, sorted by kind), not sorted.
void BM_PlatformListing(benchmark::State& state) {
    const int where = static_cast<int>(state.range(0));
    const QString path = directories(state).big->path();
    qsizetype count = 0;
    for (auto _ : state) {
        count = platform::current().listDirectory(path).files.size();
    }
    state.counters["files"] = double(count);
    state.SetLabel(bench::label(where));
}

void BM_ChooserFirstPaint(benchmark::State& state) {
    const int where = static_cast<int>(state.range(0));
    Directories& dirs = directories(state);
    frmDir& chooser = forms::frmDir();
    chooser.show();
    while (chooser.windowHandle() == nullptr || !chooser.windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    PaintSpy spy;
    QWidget* viewport = chooser.findChild<QListView*>(QStringLiteral("File1"))->viewport();
    viewport->installEventFilter(&spy);

    const auto firstPaint = [&] {
        // Each time from an empty directory with everything painted.
        chooser.setDir1Path(dirs.empty->path());
        QCoreApplication::processEvents();
        const Clock::time_point start = Clock::now();
        spy.painted = false;
        chooser.setDir1Path(dirs.big->path());
        while (!spy.painted) {
            QCoreApplication::processEvents();
        }
        return secondsSince(start);
    };
    const auto readdir = [&] {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(readdirLoop(dirs.bigBytes));
        return secondsSince(start);
    };
    bench::timeAgainst(state, firstPaint, readdir);
    viewport->removeEventFilter(&spy);
    state.counters["files"] = chooser.File1ListCount();
    state.SetLabel(bench::label(where));
    forms::unload(forms::Form::Dir);
    QCoreApplication::processEvents();
}

}  // namespace

// Arguments: 0 tmpfs or 1 disk, then the number of files.
BENCHMARK(BM_ReaddirLoop)
    ->ArgsProduct({{0, 1}, {10000, 100000, 1000000}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlatformListing)
    ->ArgsProduct({{0, 1}, {10000, 100000, 1000000}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooserFirstPaint)
    ->ArgsProduct({{0, 1}, {10000, 100000, 1000000}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

int main(int argc, char** argv) {
    const bench::PrivateDirectories own;  // never the user's settings
    QApplication app(argc, argv);
    return bench::runBenchmarks(&argc, argv);
}
