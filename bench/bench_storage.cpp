// Loading and changing vaults of 1,000, 10,000 and 100,000 entries of about 100 characters, each beside its floor:
// a plain read of the file, and a plain write of the same number of bytes (0600 temporary file, fdatasync, rename).
//   bench_storage [google benchmark options]
//   bench_storage --add-once FOLDER   (a process of its own: loads, adds one entry, prints memory and time)
#include "vaults.h"

#include "mainwindow/entrylistmodel.h"
#include "storage/vault.h"
#include "storage/vaultfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// What start-up does with the entries: open the vault (read, decode, put in order) and make the first page's rows.
std::unique_ptr<Vault> loadFirstPage(const QString& folder)
{
    auto vault = std::make_unique<Vault>(folder);
    vault->open();
    const EntryListModel rows(vault->entries());
    for (int i = 0; i < qMin(15, rows.rowCount()); ++i) {
        benchmark::DoNotOptimize(rows.index(i).data());
    }
    return vault;
}

void BM_PlainRead(benchmark::State& state)
{
    const QString path = Vaults::vaultPath(Vaults::inOrder(int(state.range(0))));
    for (auto _ : state) {
        const QByteArray contents = readAll(path);
        benchmark::DoNotOptimize(contents.constData());
    }
}

// Decoding alone, from bytes already in memory: no reading, no ordering.
void BM_Decode(benchmark::State& state)
{
    const QString folder = Vaults::inOrder(int(state.range(0)));
    const QByteArray contents = readAll(Vaults::vaultPath(folder));
    const QByteArray key = loadFirstPage(folder)->settings().installationKey;
    for (auto _ : state) {
        benchmark::DoNotOptimize(VaultFile::decode(contents, key));
    }
}

// Start-up's work on the folder's vault; tearing the vault down is not part of it.
void load(benchmark::State& state, const QString& folder)
{
    for (auto _ : state) {
        std::unique_ptr<Vault> vault = loadFirstPage(folder);
        state.PauseTiming();
        vault.reset();
        state.ResumeTiming();
    }
}

// A vault the program wrote.
void BM_Load(benchmark::State& state)
{
    load(state, Vaults::inOrder(int(state.range(0))));
}

// The same for a file in no particular order (written by hand or by another program): every record is sorted.
void BM_LoadShuffled(benchmark::State& state)
{
    load(state, Vaults::shuffled(int(state.range(0))));
}

// The same for a file in the order of its bytes, as a program without collation leaves it.
void BM_LoadCodeOrder(benchmark::State& state)
{
    load(state, Vaults::inCodeOrder(int(state.range(0))));
}

// The floor of a save: the file's number of bytes, already made, written to a new 0600 file, synced and renamed
// over the previous one.
void plainWrite(const QByteArray& path, const QByteArray& bytes)
{
    const QByteArray temporary = path + ".tmp";
    const int file = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t length = ::write(file, bytes.constData() + written, size_t(bytes.size() - written));
        if (length <= 0) {
            break;
        }
        written += length;
    }
    ::fdatasync(file);
    ::close(file);
    ::rename(temporary.constData(), path.constData());
}

void BM_PlainWrite(benchmark::State& state)
{
    const QString folder = Vaults::inOrder(int(state.range(0)));
    const QByteArray bytes = readAll(Vaults::vaultPath(folder));
    const QByteArray path = QFile::encodeName(folder + "/plain.tab");
    for (auto _ : state) {
        plainWrite(path, bytes);
    }
    QFile::remove(QString::fromLocal8Bit(path));
}

// One new entry, from the click's point of view: its place found, the whole file written, the list changed.
void BM_Add(benchmark::State& state)
{
    const QString folder = Vaults::copyOf(Vaults::inOrder(int(state.range(0))));
    std::unique_ptr<Vault> vault = loadFirstPage(folder);
    QRandomGenerator random(7);
    for (auto _ : state) {
        if (!vault->addEntry(Vaults::randomRecord(random)).ok()) {
            state.SkipWithError("the add failed");
        }
    }
}

// The cost of memory that is new to the process, as every buffer of the file's size is: mapped, each page touched
// once, unmapped; beside touching the same number of pages that are already mapped.
constexpr size_t touchedBytes = 86 << 20;

void touchPages(char* memory)
{
    for (size_t offset = 0; offset < touchedBytes; offset += 4096) {
        memory[offset] = 1;
    }
    benchmark::ClobberMemory();
}

void BM_TouchNewPages(benchmark::State& state)
{
    for (auto _ : state) {
        void* memory = ::mmap(nullptr, touchedBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        touchPages(static_cast<char*>(memory));
        ::munmap(memory, touchedBytes);
    }
    state.counters["us_per_page"] =
        benchmark::Counter(double(state.iterations() * (touchedBytes / 4096)),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}

void BM_TouchMappedPages(benchmark::State& state)
{
    const std::unique_ptr<char[]> memory(new char[touchedBytes]);
    std::memset(memory.get(), 0, touchedBytes);
    for (auto _ : state) {
        touchPages(memory.get());
    }
}

constexpr int sizes[] = {1'000, 10'000, 100'000};

BENCHMARK(BM_PlainRead)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadShuffled)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadCodeOrder)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWrite)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Add)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TouchNewPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TouchMappedPages)->Unit(benchmark::kMillisecond);

// Prints, after the usual table, each operation beside its floor and their ratio.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                m_milliseconds[run.run_name.str()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            }
        }
    }

    // Wall-clock time first; the processor time follows in brackets, as it is what a busy machine disturbs least.
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n| Entries | File MB | Plain read ms | Decode ms | Load ms | Load / read | Plain write ms | "
                    "Add ms | Add / write |\n|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
        for (const int entries : sizes) {
            const auto times = [&](const char* name) {
                return m_milliseconds[std::string(name) + "/" + std::to_string(entries)];
            };
            const double megabytes = double(QFileInfo(Vaults::vaultPath(Vaults::inOrder(entries))).size()) / 1e6;
            const Times read = times("BM_PlainRead"), decode = times("BM_Decode"), load = times("BM_Load");
            const Times write = times("BM_PlainWrite"), add = times("BM_Add");
            std::printf("| %d | %.1f | %.1f (%.1f) | %.1f (%.1f) | %.1f (%.1f) | %.1f | %.1f (%.1f) | %.1f (%.1f) | "
                        "%.2f |\n",
                        entries, megabytes, read.wall, read.cpu, decode.wall, decode.cpu, load.wall, load.cpu,
                        load.wall / read.wall, write.wall, write.cpu, add.wall, add.cpu, add.wall / write.wall);
        }
    }

private:
    struct Times
    {
        double wall = 0;
        double cpu = 0;
    };
    std::map<std::string, Times> m_milliseconds;
};

// Resident memory in KiB, and the peak since the last reset.
long statusKibibytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(int(std::strlen(field))).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

void resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly)) {
        clearRefs.write("5");
    }
}

// In a process of its own: loads the vault, then adds one entry, the first change of the run. Prints the resident
// memory before the add, its peak during the add, and the add's time.
int addOnce(const QString& folder)
{
    std::unique_ptr<Vault> vault = loadFirstPage(folder);
    QRandomGenerator random(11);
    const QByteArray record = Vaults::randomRecord(random);
    resetPeak();
    const long before = statusKibibytes("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    const bool added = vault->addEntry(record).ok();
    const double milliseconds = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%ld %ld %.1f\n", before, statusKibibytes("VmHWM:"), added ? milliseconds : -1.0);
    return added ? 0 : 1;
}

void reportAddMemory(const QString& program)
{
    for (const int entries : sizes) {
        for (int run = 0; run < 3; ++run) {
            const QString folder = Vaults::copyOf(Vaults::inOrder(entries));
            QProcess process;
            process.start(program, {"--add-once", folder});
            process.waitForFinished(-1);
            const QList<QByteArray> figures = process.readAllStandardOutput().trimmed().split(' ');
            if (figures.size() == 3) {
                std::printf("First add at %d entries, own process: resident %.1f MiB before, peak +%.1f MiB during, "
                            "%.1f ms\n",
                            entries, figures[0].toDouble() / 1024,
                            (figures[1].toDouble() - figures[0].toDouble()) / 1024, figures[2].toDouble());
            }
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--add-once") {
        return addOnce(QString::fromLocal8Bit(argv[2]));
    }
    benchmark::Initialize(&argc, argv);
    reportAddMemory(QCoreApplication::applicationFilePath());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
