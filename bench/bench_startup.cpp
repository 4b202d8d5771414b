// Start of the program to its main window shown, against a bare window shown the same way, two ways:
// - in new processes (the figure a user sees): from starting the process to the window exposed and painted once,
//   timed by the parent, for the program (QApplication, then Program::start() as main() does) and for a bare QWidget;
// - in this process (the program's own work, without starting a process and Qt): Program::start() until the main
//   window is exposed and painted once. Tearing the program down is not part of the time.
// The windows go to the platform QT_QPA_PLATFORM names, offscreen when it names none.
//   bench_startup [google benchmark options]
//   bench_startup --show-once FOLDER|-   (a process of its own: shows the main window on FOLDER, or a bare window)
#include "vaults.h"

#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "platform/qtplatform.h"

#include <QApplication>
#include <QProcess>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

// Until the window is exposed, then once more for its first paint.
void waitUntilShown(QWidget& widget)
{
    while (!widget.windowHandle() || !widget.windowHandle()->isExposed()) {
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
}

void BM_BareWindow(benchmark::State& state)
{
    for (auto _ : state) {
        auto widget = std::make_unique<QWidget>();
        widget->resize(480, 640);
        widget->show();
        waitUntilShown(*widget);
        state.PauseTiming();
        widget.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_StartToMainWindow(benchmark::State& state)
{
    const QString folder = Vaults::inOrder(int(state.range(0)));
    QtPlatform platform;
    for (auto _ : state) {
        auto program = std::make_unique<Program>(folder, platform);
        if (!program->start() || !program->mainWindow()) {
            state.SkipWithError("the program did not start");
            break;
        }
        waitUntilShown(*program->mainWindow());
        state.PauseTiming();
        program.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_BareWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartToMainWindow)->Arg(0)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

qint64 monotonicNanoseconds()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// In a process of its own, started by the parent: shows the main window on the folder ("-": a bare window) and
// prints the monotonic clock once it is shown.
int showOnce(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    QtPlatform platform;
    std::unique_ptr<Program> program;
    std::unique_ptr<QWidget> bare;
    if (folder == "-") {
        bare = std::make_unique<QWidget>();
        bare->resize(480, 640);
        bare->show();
        waitUntilShown(*bare);
    } else {
        program = std::make_unique<Program>(folder, platform);
        if (!program->start() || !program->mainWindow()) {
            return 1;
        }
        waitUntilShown(*program->mainWindow());
    }
    std::printf("%lld\n", monotonicNanoseconds());
    std::fflush(stdout);
    return 0;
}

double childProcessorMilliseconds()
{
    rusage usage = {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

struct StartTimes
{
    double wall = 0;
    double processor = 0;
};

// Medians over seven runs: milliseconds from starting a process to its window shown, and the processor time of the
// whole process (its exit included).
StartTimes medianStart(const QString& folder)
{
    std::vector<double> walls, processors;
    for (int run = 0; run < 7; ++run) {
        QProcess process;
        const double processorBefore = childProcessorMilliseconds();
        const qint64 started = monotonicNanoseconds();
        process.start(QCoreApplication::applicationFilePath(), {"--show-once", folder});
        process.waitForFinished(-1);
        const qint64 shown = process.readAllStandardOutput().trimmed().toLongLong();
        if (shown > 0) {
            walls.push_back(double(shown - started) / 1e6);
            processors.push_back(childProcessorMilliseconds() - processorBefore);
        }
    }
    if (walls.empty()) {
        return {-1, -1};
    }
    std::sort(walls.begin(), walls.end());
    std::sort(processors.begin(), processors.end());
    return {walls[walls.size() / 2], processors[processors.size() / 2]};
}

void reportProcessStarts()
{
    const StartTimes bare = medianStart("-");
    std::printf("| Entries | Process start to main window ms | Process start to bare window ms | Ratio |\n"
                "|---:|---:|---:|---:|\n");
    for (const int entries : {0, 1'000, 10'000, 100'000}) {
        const StartTimes start = medianStart(Vaults::inOrder(entries));
        std::printf("| %d | %.1f (%.1f) | %.1f (%.1f) | %.1f (%.1f) |\n", entries, start.wall, start.processor,
                    bare.wall, bare.processor, start.wall / bare.wall, start.processor / bare.processor);
    }
    std::printf("Wall clock to the window shown; in brackets the processor time of the whole process.\n\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc == 3 && QByteArray(argv[1]) == "--show-once") {
        return showOnce(argc, argv);
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    reportProcessStarts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
