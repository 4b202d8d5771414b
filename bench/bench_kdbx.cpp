// Exporting and importing 10,000 entries as a KeePass database, beside one key derivation at the cost an export
// chooses (Argon2id, 64 MiB, the passes that take about one second here): the derivation is most of either job.
// Argument 1: at that cost; 0: with a derivation of 1 MiB and one pass, which leaves what the rest of the job takes.
//   bench_kdbx [google benchmark options]
#include "vaults.h"

#include "storage/entrylist.h"
#include "transfer/entrykdbx.h"
#include "transfer/kdbx/kdbxfile.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int entries = 10000;
const QByteArray password = "senha do banco";

const KdbxCost& cost()
{
    static const KdbxCost chosen = KdbxKdf::calibratedArgon2id(1000);
    return chosen;
}

const QList<QByteArray>& records()
{
    static const QList<QByteArray> made = [] {
        QRandomGenerator random(21);
        QList<QByteArray> list;
        for (int i = 0; i < entries; ++i) {
            list.append(Vaults::randomRecord(random));
        }
        return list;
    }();
    return made;
}

QByteArray exported(const KdbxKdf& kdf)
{
    const QDateTime now = QDateTime::currentDateTime();
    QList<KdbxEntry> converted;
    for (const QByteArray& record : records()) {
        converted.append(EntryKdbx::entryOf(record, now));
    }
    return KdbxFile::write(converted, password, kdf, now.toUTC());
}

void keyDerivation(benchmark::State& state)
{
    const KdbxKdf kdf = KdbxKdf::argon2id(cost());
    for (auto _ : state) {
        benchmark::DoNotOptimize(kdf.transform(KdbxBytes::Secret(32, 1)));
    }
    state.counters["passes"] = double(cost().iterations);
    state.counters["MiB"] = double(cost().memoryBytes >> 20);
}

KdbxKdf kdfFor(const benchmark::State& state)
{
    return KdbxKdf::argon2id(state.range(0) ? cost() : KdbxCost{1 << 20, 1, 1});
}

void exportEntries(benchmark::State& state)
{
    const KdbxKdf kdf = kdfFor(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(exported(kdf));
    }
}

void importEntries(benchmark::State& state)
{
    const QByteArray database = exported(kdfFor(state));
    const EntryList stored;
    for (auto _ : state) {
        const KdbxRead read = KdbxFile::read(database, password);
        const EntryKdbx::Import imported = EntryKdbx::recordsOf(read.entries, stored, QDateTime::currentDateTime());
        if (imported.records.size() != entries) {
            state.SkipWithError("entries lost");
        }
    }
}

} // namespace

BENCHMARK(keyDerivation)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(exportEntries)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(importEntries)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_MAIN();
