// The preview of 1001 files against what it cannot do without: generating
// the same names and reading the directory once (a bare readdir loop), timed
// in the same iterations, on tmpfs (/dev/shm) and on the normal disk: as the
// window opens (the directory read), and as it follows one key typed into the
// mask (the listing kept, the table's rows updated); the same key typed into
// the real main window, to the preview's repaint; and the preview window's
// first paint of those 1001 rows.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "engine/AppState.h"
#include "engine/BatchPlan.h"
#include "engine/CommandLine.h"
#include "engine/Extract.h"
#include "engine/NameGenerator.h"
#include "platform/Platform.h"
#include "ui/Forms.h"
#include "ui/PreviewModel.h"
#include "ui/frmMain.h"
#include "ui/frmPreview.h"

namespace {

using bench::baseDirectory;
using bench::label;
using bench::PaintSpy;
using bench::readdirLoop;

using bench::Clock;
using bench::secondsSince;

constexpr int kFiles = AppState::kMaxEntries;

// 1001 photos, and the state Extract leaves for "no mask, prefix Holiday-".
struct Batch {
    std::unique_ptr<QTemporaryDir> dir;
    GenerationInput input;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();

    explicit Batch(int where)
        : dir(new QTemporaryDir(baseDirectory(where) + QStringLiteral("/qbench-XXXXXX"))) {
        for (int i = 0; i < kFiles; ++i) {
            const QString name = QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
            input.listNames << name;
            const QByteArray path = platform::encodeFileName(dir->filePath(name));
            ::close(::open(path.constData(), O_CREAT | O_WRONLY, 0644));
        }
        state->chosenDirectory = platform::real().openDirectory(dir->path()).directory;
        input.prefix = QStringLiteral("Holiday-");
        input.exampleText = input.listNames.first();
        extractMask(*state,
                    {QString(), input.exampleText, input.prefix, QString(), QStringLiteral("0")});
    }
};

// What the preview cannot do without: the new names (by the mask Extract
// recorded, or as `typed`) and one reading of the directory.
double generateAndReaddir(const Batch& batch, AppState& scratch,
                          const ExtractInput* typed = nullptr) {
    const QByteArray path = platform::encodeFileName(batch.dir->path());
    scratch = *batch.state;
    if (typed != nullptr) {
        extractMask(scratch, *typed);
    }
    const Clock::time_point start = Clock::now();
    benchmark::DoNotOptimize(generateNewNames(scratch, batch.input));
    benchmark::DoNotOptimize(readdirLoop(path));
    return secondsSince(start);
}

void BM_GenerateAndReaddir(benchmark::State& state) {
    const int where = static_cast<int>(state.range(0));
    Batch batch(where);
    auto scratch = std::make_unique<AppState>();
    for (auto _ : state) {
        state.SetIterationTime(generateAndReaddir(batch, *scratch));
    }
    state.SetLabel(label(where));
}

platform::Listing listingOf(const Batch& batch) {
    return platform::real().list(*batch.state->chosenDirectory);
}

// The plan as the preview opens, the directory read, against
// BM_GenerateAndReaddir in the same iterations.
void BM_PreviewEngine(benchmark::State& state) {
    const int where = static_cast<int>(state.range(0));
    Batch batch(where);
    auto scratch = std::make_unique<AppState>();
    int renamed = 0;
    const auto preview = [&] {
        const Clock::time_point start = Clock::now();
        const batch::Plan plan =
            batch::previewPlan(*batch.state, nullptr, batch.input, listingOf(batch));
        const double seconds = secondsSince(start);
        renamed = batch::countsOf(plan).renamed;
        return seconds;
    };
    bench::timeAgainst(state, preview, [&] { return generateAndReaddir(batch, *scratch); });
    if (renamed != kFiles) {
        state.SkipWithError("the preview does not rename every file");
    }
    state.SetLabel(label(where));
}

// One key typed into the mask while the preview is open: the mask analysed
// as Extract would, the plan made over the listing kept, the table's changed
// rows updated; against BM_GenerateAndReaddir of the same mask in the same
// iterations. The keys alternate between two masks that each change every row.
void BM_LivePreviewKeystroke(benchmark::State& state) {
    const int where = static_cast<int>(state.range(0));
    Batch batch(where);
    auto scratch = std::make_unique<AppState>();
    const platform::Listing listing = listingOf(batch);
    PreviewModel model;
    model.setPlan(batch::previewPlan(*batch.state, nullptr, batch.input, listing));
    bool longer = false;
    ExtractInput typed{QString(), batch.input.exampleText, batch.input.prefix, QString(),
                       QStringLiteral("0")};
    const auto keystroke = [&] {
        longer = !longer;
        typed.maskText = longer ? QStringLiteral("IMG_0") : QStringLiteral("IMG_");
        const Clock::time_point start = Clock::now();
        model.setPlan(batch::previewPlan(*batch.state, &typed, batch.input, listing));
        return secondsSince(start);
    };
    bench::timeAgainst(state, keystroke,
                       [&] { return generateAndReaddir(batch, *scratch, &typed); });
    if (model.plan().steps.size() != kFiles) {
        state.SkipWithError("the preview does not show every file");
    }
    state.SetLabel(label(where));
}

// A key typed into txtMask of the real main window, with its 1001 files
// chosen and the preview open, to the preview table's next paint: one frame
// (16.7 ms) is the aim. The keys add a digit and take it back in turn; the
// median and the 90th percentile are reported.
void BM_LivePreviewKeyToPaint(benchmark::State& state) {
    Batch batch(0);
    frmMain& main = forms::frmMain();
    main.show();
    commandline::Request chosen;
    chosen.directory = batch.dir->path();
    chosen.files = batch.input.listNames;
    main.takeCommandLine(chosen);
    main.mnuFilePreview_Click();
    QWidget* table = forms::frmPreview().findChild<QTableView*>()->viewport();
    auto* mask = main.findChild<QLineEdit*>(QStringLiteral("txtMask"));
    mask->setText(QStringLiteral("IMG_"));
    PaintSpy spy;
    table->installEventFilter(&spy);
    std::vector<double> times;
    bool digit = false;
    for (auto _ : state) {
        QCoreApplication::processEvents();
        digit = !digit;
        const int key = digit ? Qt::Key_0 : Qt::Key_Backspace;
        const QString text = digit ? QStringLiteral("0") : QString();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        spy.painted = false;
        const Clock::time_point start = Clock::now();
        QCoreApplication::sendEvent(mask, &press);
        QCoreApplication::sendEvent(mask, &release);
        while (!spy.painted) {
            QCoreApplication::processEvents();
        }
        times.push_back(secondsSince(start));
        state.SetIterationTime(times.back());
    }
    table->removeEventFilter(&spy);
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = 1000 * times[times.size() / 2];
    state.counters["p90_ms"] = 1000 * times[times.size() * 9 / 10];
    state.counters["within_frame"] =
        double(std::count_if(times.begin(), times.end(), [](double t) { return t <= 1.0 / 60; })) /
        double(times.size());
    forms::unload(forms::Form::Preview);
    forms::unload(forms::Form::Main);
    QCoreApplication::processEvents();
}

// From the plan to the first paint of a new preview window.
void BM_PreviewWindowFirstPaint(benchmark::State& state) {
    Batch batch(0);
    const batch::Plan plan =
        batch::previewPlan(*batch.state, nullptr, batch.input, listingOf(batch));
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        frmPreview& window = forms::frmPreview();
        PaintSpy spy;
        window.findChild<QTableView*>()->viewport()->installEventFilter(&spy);
        window.showPlan(plan);
        window.show();
        while (!spy.painted) {
            QCoreApplication::processEvents();
        }
        state.SetIterationTime(secondsSince(start));
        window.findChild<QTableView*>()->viewport()->removeEventFilter(&spy);
        forms::unload(forms::Form::Preview);
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = double(plan.steps.size());
}

}  // namespace

BENCHMARK(BM_GenerateAndReaddir)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewEngine)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LivePreviewKeystroke)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LivePreviewKeyToPaint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200);
BENCHMARK(BM_PreviewWindowFirstPaint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

int main(int argc, char** argv) {
    const bench::PrivateDirectories own;  // never the user's settings
    QApplication app(argc, argv);
    return bench::runBenchmarks(&argc, argv);
}
