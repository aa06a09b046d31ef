// New-name generation for a full batch of 1001 files, per mask kind, against
// two baselines measured in the same run: copying the 1001 names into the
// record (no work per name but a reference count) and building 1001 names as
// prefix + name + suffix (one new string per name, as generation does).
// "per_name" is the time per file.

#include <benchmark/benchmark.h>

#include <QStringList>
#include <memory>

#include "engine/AppState.h"
#include "engine/Extract.h"
#include "engine/NameGenerator.h"

namespace {

constexpr int kBatch = AppState::kMaxEntries;

QStringList batchNames() {
    QStringList names;
    for (int i = 1; i <= kBatch; ++i) {
        names << QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
    }
    return names;
}

void perName(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kBatch);
    state.counters["per_name"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBatch,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

struct KindSetup {
    const char16_t* mask;
    const char16_t* lettering;
};

// Masks taken from the example IMG_0001.jpg; every file of the batch matches.
constexpr KindSetup kSetups[] = {
    {u"", u"0"},          // 1: no mask
    {u"0001", u"0"},      // 2: numeric
    {u"IMG", u"0"},       // 3: text
    {u"IMG_", u"1"},      // 4: lettered text (letter before "MG_")
    {u"IMG_0001", u"0"},  // 5: pattern
    {u"IMG_0001", u"1"},  // 6: lettered pattern
};

void BM_Generate(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const KindSetup& setup = kSetups[kind - 1];
    const QString example = QStringLiteral("IMG_0001.jpg");
    const QString prefix = QStringLiteral("Holiday ");
    const QString suffix = QStringLiteral(" (2024)");

    auto s = std::make_unique<AppState>();
    extractMask(*s, {QString::fromUtf16(setup.mask), example, prefix, suffix,
                     QString::fromUtf16(setup.lettering)});
    if (s->maskKind != kind) {
        state.SkipWithError("the setup does not give the wanted mask kind");
        return;
    }
    const GenerationInput input{batchNames(), prefix, suffix, QString(), example};

    for (auto _ : state) {
        const Error error = generateNewNames(*s, input);
        benchmark::DoNotOptimize(error);
        benchmark::DoNotOptimize(s->newNames[kBatch - 1].constData());
    }
    if (s->newNames[0] == s->oldNames[0]) {
        state.SkipWithError("the first file was not renamed");
    }
    perName(state);
}
BENCHMARK(BM_Generate)->DenseRange(1, 6)->ArgName("kind");

void BM_Baseline_CopyNames(benchmark::State& state) {
    auto s = std::make_unique<AppState>();
    const QStringList names = batchNames();
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) {
            s->newNames[static_cast<size_t>(i)] = names.at(i);
        }
        benchmark::DoNotOptimize(s->newNames[kBatch - 1].constData());
        benchmark::ClobberMemory();
    }
    perName(state);
}
BENCHMARK(BM_Baseline_CopyNames);

void BM_Baseline_ConcatNames(benchmark::State& state) {
    auto s = std::make_unique<AppState>();
    const QStringList names = batchNames();
    const QString prefix = QStringLiteral("Holiday ");
    const QString suffix = QStringLiteral(" (2024)");
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) {
            s->newNames[static_cast<size_t>(i)] = prefix + names.at(i) + suffix;
        }
        benchmark::DoNotOptimize(s->newNames[kBatch - 1].constData());
        benchmark::ClobberMemory();
    }
    perName(state);
}
BENCHMARK(BM_Baseline_ConcatNames);

}  // namespace

BENCHMARK_MAIN();
