// Opening the file chooser on a directory of 100,000 files: the time from
// pointing Dir1 at the directory to the file list's first paint, against a
// bare readdir() loop over the same directory timed in the same iterations,
// on tmpfs (/dev/shm) and on the normal disk. Run under QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QListView>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
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

constexpr int kFiles = 100000;

// A directory of 100,000 files and an empty one beside it, made once per run.
struct Directories {
    std::unique_ptr<QTemporaryDir> big;
    std::unique_ptr<QTemporaryDir> empty;
    QByteArray bigBytes;

    explicit Directories(int where)
        : big(new QTemporaryDir(bench::baseDirectory(where) + QStringLiteral("/qbench-XXXXXX"))),
          empty(new QTemporaryDir(bench::baseDirectory(where) + QStringLiteral("/qbench-XXXXXX"))) {
        bigBytes = platform::encodeFileName(big->path());
        // Names of the kinds people keep, one in five not UTF-8, created in
        // random order so that neither the listing nor the sort gets them presorted.
        std::vector<QByteArray> names;
        names.reserve(kFiles);
        for (int i = 0; i < kFiles; ++i) {
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

Directories& directories(int where) {
    static std::unique_ptr<Directories> made[2];
    if (!made[where]) {
        made[where] = std::make_unique<Directories>(where);
    }
    return *made[where];
}

void BM_ReaddirLoop(benchmark::State& state) {
    const int where = static_cast<int>(state.range(0));
    const QByteArray path = directories(where).bigBytes;
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
    const QString path = directories(where).big->path();
    qsizetype count = 0;
    for (auto _ : state) {
        count = platform::current().listDirectory(path).files.size();
    }
    state.counters["files"] = double(count);
    state.SetLabel(bench::label(where));
}

void BM_ChooserFirstPaint(benchmark::State& state) {
    const int where = static_cast<int>(state.range(0));
    Directories& dirs = directories(where);
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

BENCHMARK(BM_ReaddirLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlatformListing)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooserFirstPaint)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

int main(int argc, char** argv) {
    const bench::PrivateDirectories own;  // never the user's settings
    QApplication app(argc, argv);
    return bench::runBenchmarks(&argc, argv);
}
