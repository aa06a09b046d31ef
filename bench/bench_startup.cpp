// Start-up to the first paint of the first shown window: Quillomat's main
// window, reached by the steps main() takes, against a bare window that
// draws a line of text. Each run is a fresh child process set up the same
// way (QApplication, the same settings and state directories, none of them
// the user's); the child's peak resident memory is reported too.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QWindow>

#include "bench/BenchSupport.h"
#include "engine/Translations.h"
#include "engine/Version.h"
#include "ui/Accessibility.h"
#include "ui/Forms.h"
#include "ui/Icons.h"
#include "ui/Recovery.h"
#include "ui/StartupStyle.h"
#include "ui/frmMain.h"

namespace {

enum class Window { Bare, Quillomat };

// The least a window that shows something must do: draw text.
class TextWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Select the files to rename"));
    }
};

[[noreturn]] void showAndSignal(Window kind, int fd) {
    int argc = 1;
    char name[] = "bench_startup";
    char* argv[] = {name, nullptr};
    QCoreApplication::setApplicationName(QStringLiteral("Quillomat"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(version::kText));
    QApplication app(argc, argv);
    QWidget* window = nullptr;
    if (kind == Window::Quillomat) {
        // What main() does before the main window takes input.
        QGuiApplication::setDesktopFileName(QStringLiteral("org.quillomat.Quillomat"));
        translations::install();
        accessibility::setUp();
        startup::deferOverflowIcons();
        QApplication::setWindowIcon(icons::programIcon());
        recovery::offerToRestoreUnfinishedBatches();
        window = &forms::frmMain();
        forms::centreOnScreen(window);
    } else {
        window = new TextWindow;
        window->resize(601, 400);
    }
    bench::PaintSpy spy;
    window->installEventFilter(&spy);
    window->show();
    while (!spy.painted) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const char done = 1;
    (void)!write(fd, &done, 1);
    _exit(0);
}

// One child from fork to its first paint, in seconds, or -1 when it showed
// nothing; `rssMiB` gets the child's peak resident memory.
double startOnce(Window kind, double* rssMiB) {
    int fds[2];
    if (pipe(fds) != 0) {
        return -1;
    }
    const auto start = bench::Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        showAndSignal(kind, fds[1]);
    }
    close(fds[1]);
    char byte = 0;
    const bool shown = read(fds[0], &byte, 1) == 1;
    const double seconds = bench::secondsSince(start);
    close(fds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    *rssMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB -> MiB
    return shown ? seconds : -1;
}

void runStartup(benchmark::State& state, Window kind) {
    double rssTotal = 0;
    for (auto _ : state) {
        double rss = 0;
        const double seconds = startOnce(kind, &rss);
        if (seconds < 0) {
            state.SkipWithError("the child showed no window");
            return;
        }
        state.SetIterationTime(seconds);
        rssTotal += rss;
    }
    state.counters["peak_rss_MiB"] = benchmark::Counter(rssTotal / double(state.iterations()));
}

void BM_StartupBareTextWindow(benchmark::State& state) {
    runStartup(state, Window::Bare);
}
void BM_StartupQuillomatMain(benchmark::State& state) {
    runStartup(state, Window::Quillomat);
}

// The two in turns within the same iterations: the ratio of the two.
void BM_StartupQuillomatVsBare(benchmark::State& state) {
    double rss = 0;
    bench::timeAgainst(
        state, [&] { return startOnce(Window::Quillomat, &rss); },
        [&] { return startOnce(Window::Bare, &rss); });
}

}  // namespace

BENCHMARK(BM_StartupBareTextWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartupQuillomatMain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartupQuillomatVsBare)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

int main(int argc, char** argv) {
    // Every child reads its settings and looks for journals there, never in the user's.
    const bench::PrivateDirectories own;
    return bench::runBenchmarks(&argc, argv);
}
