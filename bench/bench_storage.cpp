// Load and rewrite of vaults of 1,000, 10,000 and 100,000 entries of about 100 characters, each beside a plain read
// or write of the same bytes, and the peak memory of loading the largest.
//   bench_storage [google benchmark options]
//   bench_storage --load-once FOLDER   (used by the memory measurement: loads once, prints the peak in KiB)
#include "storage/atomicwriter.h"
#include "storage/entryrecord.h"
#include "storage/linecodec.h"
#include "storage/settingsfile.h"
#include "storage/vault.h"
#include "storage/vaultfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QDateTime createdAt(QDate(2026, 3, 6), QTime(0, 0, 7));
constexpr int sizes[] = {1'000, 10'000, 100'000};

QByteArray randomWord(QRandomGenerator& random, int length)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray word(length, Qt::Uninitialized);
    for (char& c : word) {
        c = letters[random.bounded(int(sizeof letters) - 1)];
    }
    return word;
}

// About 100 characters: a random title, no expiry, a stamp, login, password, address and a short description.
QByteArray randomRecord(QRandomGenerator& random)
{
    return EntryRecord::join({randomWord(random, 12), EntryRecord::noExpiry, "26.03.06.10.00.00",
                              randomWord(random, 10), randomWord(random, 12), "https://" + randomWord(random, 10),
                              randomWord(random, 8) + "\r\n" + randomWord(random, 8)});
}

// One data folder per vault size, written once, line by line, so that making it costs little memory.
class Vaults
{
public:
    static Vaults& instance()
    {
        static Vaults vaults;
        return vaults;
    }
    QString folder(int entries) const { return m_root.filePath(QString::number(entries)); }
    QString vaultPath(int entries) const { return QDir(folder(entries)).filePath(VaultFile::fileName); }

private:
    Vaults()
    {
        for (const int entries : sizes) {
            QDir().mkpath(folder(entries));
            Vault vault(folder(entries));
            vault.open(createdAt);
            QRandomGenerator random(entries);
            QFile file(vaultPath(entries));
            file.open(QIODevice::WriteOnly);
            file.write("\"");
            for (int i = 0; i < entries; ++i) {
                file.write(LineCodec::encode(randomRecord(random), vault.settings().installationKey));
                file.write("\r\n");
            }
            file.write("\"\r\n");
        }
    }

    QTemporaryDir m_root;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// What start-up does with the entries: read and decode the file, sort it, and make the first page's rows.
void loadFirstPage(const QString& folder)
{
    Vault vault(folder);
    vault.open();
    const EntryList& entries = vault.entries();
    for (qsizetype i = 0; i < qMin<qsizetype>(15, entries.size()); ++i) {
        benchmark::DoNotOptimize(EntryRecord::displayRow(entries.at(i), i));
    }
}

void BM_PlainRead(benchmark::State& state)
{
    const QString path = Vaults::instance().vaultPath(int(state.range(0)));
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray contents = readAll(path);
        bytes = contents.size();
        benchmark::DoNotOptimize(contents.constData());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_Load(benchmark::State& state)
{
    const QString folder = Vaults::instance().folder(int(state.range(0)));
    const qint64 bytes = QFileInfo(Vaults::instance().vaultPath(int(state.range(0)))).size();
    for (auto _ : state) {
        loadFirstPage(folder);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

// Decoding alone, from bytes already in memory: no reading, no sorting.
void BM_Decode(benchmark::State& state)
{
    const QByteArray contents = readAll(Vaults::instance().vaultPath(int(state.range(0))));
    Vault vault(Vaults::instance().folder(int(state.range(0))));
    vault.open();
    for (auto _ : state) {
        benchmark::DoNotOptimize(VaultFile::decode(contents, vault.settings().installationKey));
    }
    state.SetBytesProcessed(state.iterations() * contents.size());
}

// Writes the bytes with the same durability as the atomic write: written, synced and closed, but in place.
void plainWrite(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.flush();
    ::fdatasync(file.handle());
}

void BM_PlainWrite(benchmark::State& state)
{
    const int entries = int(state.range(0));
    const QByteArray bytes = readAll(Vaults::instance().vaultPath(entries));
    const QString path = Vaults::instance().folder(entries) + "/plain.tab";
    for (auto _ : state) {
        plainWrite(path, bytes);
    }
    QFile::remove(path);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_Rewrite(benchmark::State& state)
{
    const int entries = int(state.range(0));
    Vault vault(Vaults::instance().folder(entries));
    vault.open();
    const QString path = Vaults::instance().folder(entries) + "/rewrite.tab";
    QRandomGenerator random(7);
    const QByteArray added = randomRecord(random);
    qint64 bytes = 0;
    for (auto _ : state) {
        AtomicWriter writer(path);
        bytes = 0;
        writer.open();
        VaultFile::writeWithAddedRecord(
            [&](QByteArrayView piece) {
                bytes += piece.size();
                return writer.append(piece);
            },
            vault.entries(), added, vault.settings().installationKey);
        writer.commit(AtomicWriter::Commit::Replace);
    }
    QFile::remove(path);
    state.SetBytesProcessed(state.iterations() * bytes);
}

BENCHMARK(BM_PlainRead)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWrite)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rewrite)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// Prints, after the usual table, each operation beside its plain counterpart and their ratio.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            m_milliseconds[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
    }

    // Wall-clock time first; the processor time follows in brackets, as it is what a busy machine disturbs least.
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n| Entries | File MB | Plain read ms | Decode ms | Load ms | Load / read | Plain write ms | "
                    "Rewrite ms | Rewrite / write |\n|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
        for (const int entries : sizes) {
            const auto times = [&](const char* name) {
                return m_milliseconds[std::string(name) + "/" + std::to_string(entries)];
            };
            const double megabytes = double(QFileInfo(Vaults::instance().vaultPath(entries)).size()) / 1e6;
            const Times read = times("BM_PlainRead"), decode = times("BM_Decode"), load = times("BM_Load");
            const Times write = times("BM_PlainWrite"), rewrite = times("BM_Rewrite");
            std::printf("| %d | %.1f | %.1f (%.1f) | %.1f (%.1f) | %.1f (%.1f) | %.1f (%.1f) | %.1f (%.1f) | "
                        "%.1f (%.1f) | %.1f (%.1f) |\n",
                        entries, megabytes, read.wall, read.cpu, decode.wall, decode.cpu, load.wall, load.cpu,
                        load.wall / read.wall, load.cpu / read.cpu, write.wall, write.cpu, rewrite.wall, rewrite.cpu,
                        rewrite.wall / write.wall, rewrite.cpu / write.cpu);
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

long peakKibibytes()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Peak memory of a process that only loads the largest vault, measured in a process of its own.
void reportPeakMemory(const QString& program)
{
    const int entries = sizes[std::size(sizes) - 1];
    QProcess process;
    process.start(program, {"--load-once", Vaults::instance().folder(entries)});
    process.waitForFinished(-1);
    const QList<QByteArray> figures = process.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() == 2) {
        std::printf("Peak memory loading %d entries (%.1f MB file): %.1f MB (%.1f MB before loading)\n", entries,
                    double(QFileInfo(Vaults::instance().vaultPath(entries)).size()) / 1e6, figures[1].toDouble() / 1024,
                    figures[0].toDouble() / 1024);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--load-once") {
        const long before = peakKibibytes();
        loadFirstPage(QString::fromLocal8Bit(argv[2]));
        std::printf("%ld %ld\n", before, peakKibibytes());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    Vaults::instance();
    reportPeakMemory(QCoreApplication::applicationFilePath());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
