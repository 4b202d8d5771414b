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
#include <QElapsedTimer>
#include <QProcess>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>

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

// Prints, after the usual table, each start beside the bare window and their ratio.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                m_milliseconds[run.run_name.str()] = run.GetAdjustedRealTime();
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const double bare = m_milliseconds["BM_BareWindow"];
        std::printf("\n| Entries | Start to main window ms | Bare window ms | Ratio |\n|---:|---:|---:|---:|\n");
        for (const int entries : {0, 1'000, 10'000, 100'000}) {
            const double start = m_milliseconds["BM_StartToMainWindow/" + std::to_string(entries)];
            std::printf("| %d | %.1f | %.1f | %.1f |\n", entries, start, bare, start / bare);
        }
    }

private:
    std::map<std::string, double> m_milliseconds;
};

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

// Median milliseconds from starting a process to its window shown, over seven runs.
double medianStartMilliseconds(const QString& folder)
{
    std::vector<double> runs;
    for (int run = 0; run < 7; ++run) {
        QProcess process;
        const qint64 started = monotonicNanoseconds();
        process.start(QCoreApplication::applicationFilePath(), {"--show-once", folder});
        process.waitForFinished(-1);
        const qint64 shown = process.readAllStandardOutput().trimmed().toLongLong();
        if (shown > 0) {
            runs.push_back(double(shown - started) / 1e6);
        }
    }
    std::sort(runs.begin(), runs.end());
    return runs.empty() ? -1 : runs[runs.size() / 2];
}

void reportProcessStarts()
{
    const double bare = medianStartMilliseconds("-");
    std::printf("| Entries | Process start to main window ms | Process start to bare window ms | Ratio |\n"
                "|---:|---:|---:|---:|\n");
    for (const int entries : {0, 1'000, 10'000, 100'000}) {
        const double start = medianStartMilliseconds(Vaults::inOrder(entries));
        std::printf("| %d | %.1f | %.1f | %.1f |\n", entries, start, bare, start / bare);
    }
    std::printf("\n");
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
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
