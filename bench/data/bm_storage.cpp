// Storing and loading supports in a project directory.
#include "../../tests/data/tst_storage_fixture.h"

#include "platform/Session.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace storage_fixture;

namespace {

struct Project {
    QTemporaryDir dir;
    Project() {
        CreateProjectTables(dir.path());
        ProjectDatabaseName = dir.path();
    }
    ~Project() { Session().Close(); }
};

void PrepareSupport(int drawing, int running, int seed) {
    ConstructionRecord.Reset();
    FillRecord(ConstructionRecord, seed);
    FillBridge(seed);
    AlignSources(ConstructionRecord, drawing, running);
    FillPartsList(PartsListRows, seed);
}

// One support with a full parts list stored again and loaded back.
void BM_StoreAndLoadOneSupport(benchmark::State& state) {
    Project project;
    PrepareSupport(12, 3, 0);
    StoreSupport(-1);
    for (auto _ : state) {
        StoreSupport(120003);
        benchmark::DoNotOptimize(LoadConstruction());
        LoadPartsList();
    }
}
BENCHMARK(BM_StoreAndLoadOneSupport)->Unit(benchmark::kMillisecond);

void BM_StoreOneSupport(benchmark::State& state) {
    Project project;
    PrepareSupport(12, 3, 0);
    StoreSupport(-1);
    for (auto _ : state) StoreSupport(120003);
}
BENCHMARK(BM_StoreOneSupport)->Unit(benchmark::kMillisecond);

void BM_LoadOneSupport(benchmark::State& state) {
    Project project;
    PrepareSupport(12, 3, 0);
    StoreSupport(-1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadConstruction());
        LoadPartsList();
    }
}
BENCHMARK(BM_LoadOneSupport)->Unit(benchmark::kMillisecond);

// N new supports into one project: the time per support should not grow
// with N.
void BM_StoreManySupports(benchmark::State& state) {
    const int count = int(state.range(0));
    Project project;
    PrepareSupport(1, 1, 0);
    for (auto _ : state) {
        for (int k = 0; k < count; ++k) {
            const int drawing = 1 + k / 9999, running = 1 + k % 9999;
            AlignSources(ConstructionRecord, drawing, running);
            StoreSupport(-1);
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_StoreManySupports)->Arg(1000)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
