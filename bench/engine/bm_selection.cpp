// One main-unit selection on the demo catalogue: the hanger sizing of a
// 12 kN support with 20 mm travel (spring) and 350 mm (constant hanger),
// and the whole selection road with the later steps doing nothing.
#include "engine/EngineFixture.h"
#include "engine/FINDHLG.h"
#include "platform/Database.h"

#include <benchmark/benchmark.h>

namespace {

DemoCatalogue& Demo() {
    static DemoCatalogue demo;
    return demo;
}

void Prepare(double load, double travel) {
    DemoSupport(load, travel);
    PutText(ArrangementRecord.A_NAME, QStringLiteral("SHHAESBH"));
    PutText(ArrangementRecord.A_BER, QStringLiteral("H"));
    ConstructionRecord.K_WEG_EFF = travel;
}

void MainUnitSelection(benchmark::State& state, double travel) {
    Demo();
    ScriptedSelectionUi ui;
    ActiveUiScope active(ui);
    for (auto _ : state) {
        Prepare(12, travel);
        CalcGlobals.DesignLoad = 12;
        SelectHanger();
        if (CalcGlobals.TableStatus != 0)
            state.SkipWithError("the selection failed");
        benchmark::DoNotOptimize(CalcGlobals.MainUnitNumber);
    }
}

void BM_SpringHanger(benchmark::State& state) { MainUnitSelection(state, 20); }
void BM_ConstantHanger(benchmark::State& state) { MainUnitSelection(state, 350); }

void BM_SelectionRoad(benchmark::State& state) {
    Demo();
    ScriptedSelectionUi ui;
    ScriptedSteps steps;
    steps.Install();
    for (auto _ : state) {
        DemoSupport(12, 20);
        if (SelectSupport(ui, 0, 0, false, true) != 0)
            state.SkipWithError("the selection failed");
        ui.log.clear();
    }
}

// The same road inside the program's read scope on the catalogue.
void BM_SelectionRoadOneTransaction(benchmark::State& state) {
    Demo();
    SetCatalogueReadScope([]() -> std::shared_ptr<void> { return std::make_shared<TReadScope>(DBKONST->BASIS_DB); });
    BM_SelectionRoad(state);
    SetCatalogueReadScope({});
}

}  // namespace

BENCHMARK(BM_SpringHanger)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConstantHanger)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectionRoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectionRoadOneTransaction)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
