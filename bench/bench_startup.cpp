// Start-up to the first shown window: Quillomat's main window against a bare
// Qt main window, each in a fresh child process (QApplication included), with
// the child's peak resident memory.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QMainWindow>
#include <QWindow>
#include <chrono>

#include "ui/Forms.h"
#include "ui/frmMain.h"

namespace {

enum class Window { Bare, Quillomat };

[[noreturn]] void showAndSignal(Window kind, int fd) {
    int argc = 1;
    char name[] = "bench_startup";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QWidget* window = nullptr;
    if (kind == Window::Quillomat) {
        window = &forms::frmMain();
        forms::centreOnScreen(window);
    } else {
        window = new QMainWindow;
        window->resize(601, 400);
    }
    window->show();
    while (window->windowHandle() == nullptr || !window->windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QCoreApplication::processEvents();  // the first paint
    const char done = 1;
    (void)!write(fd, &done, 1);
    _exit(0);
}

void runStartup(benchmark::State& state, Window kind) {
    double rssTotal = 0;
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) {
            state.SkipWithError("pipe failed");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            showAndSignal(kind, fds[1]);
        }
        close(fds[1]);
        char byte = 0;
        const bool shown = read(fds[0], &byte, 1) == 1;
        const auto end = std::chrono::steady_clock::now();
        close(fds[0]);
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (!shown) {
            state.SkipWithError("the child showed no window");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        rssTotal += static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB -> MiB
    }
    state.counters["peak_rss_MiB"] = benchmark::Counter(rssTotal / state.iterations());
}

void BM_StartupBareQtWindow(benchmark::State& state) {
    runStartup(state, Window::Bare);
}
void BM_StartupQuillomatMain(benchmark::State& state) {
    runStartup(state, Window::Quillomat);
}

}  // namespace

BENCHMARK(BM_StartupBareQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartupQuillomatMain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

BENCHMARK_MAIN();
