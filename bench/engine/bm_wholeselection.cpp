// One whole selection of a support on the demo catalogue, as the input
// form runs it: the host input file transferred into the record once, then
// per run the record as the form holds it, every step of the program
// (main unit, clamp, components, load group, composition of the parts
// list), inside one read transaction on the catalogue.
#include "engine/EngineFixture.h"

#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "engine/ComposeParts.h"
#include "forms/rules/HostTransfer.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/Read_MDS_ZIF.h"
#include "platform/Database.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

struct Whole {
    TestDir dir;
    std::unique_ptr<TDBKONST> konst;
    std::unique_ptr<TDBGLOBAL> global;
    TConstructionRecord record;
    TCalcGlobals calc;
    bool ready = false;

    Whole() {
        const QDir src(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue"));
        for (const QString& f : src.entryList(QDir::Files))
            QFile::copy(src.filePath(f), dir.file(f));
        CatalogueFixture::PointAlias(dir.path());
        // The session's private directory stays in the copy.
        qputenv("TMPDIR", dir.path().toLocal8Bit());
        konst = std::make_unique<TDBKONST>();
        global = std::make_unique<TDBGLOBAL>();
        for (TTable* t : {&konst->PGSTAT, &konst->PGDYNA, &konst->PGRSRL, &konst->PGCOOL, &konst->TXTTAB,
                          &konst->PGCURE, &konst->ABHGDB, &konst->DURDATDB, &konst->TempDB})
            t->Open();
    }

    bool Load(const char* input) {
        ResetHostGlobals();
        CalcGlobals.Reset();
        ConstructionRecord.Reset();
        InputFileName = QStringLiteral(KORVA_SOURCE_DIR "/resources/catalogue/inputs/") + QLatin1String(input);
        ReadMdsInputFile();
        ReadCompanyOptions();
        CalcGlobals.PriceIndex = 1;
        const TransferResult r = TransferHostToRecord(RecordUnitMode());
        record = ConstructionRecord;
        calc = CalcGlobals;
        return r.configurationFound;
    }
};

Whole& TheWhole() {
    static Whole whole;
    return whole;
}

void WholeSelection(benchmark::State& state, const char* input) {
    Whole& whole = TheWhole();
    if (!whole.Load(input)) {
        state.SkipWithError("the demo input has no configuration");
        return;
    }
    SetSelectionSteps(DefaultSelectionSteps());
    // The program's read scope: one read transaction for the whole run (a
    // write transaction would lock and sync every table file at its end).
    SetCatalogueReadScope([]() -> std::shared_ptr<void> {
        return std::make_shared<TReadScope>(DBKONST->BASIS_DB);
    });
    ScriptedSelectionUi ui;
    for (auto _ : state) {
        ConstructionRecord = whole.record;
        CalcGlobals = whole.calc;
        const int result = SelectSupport(ui, 0, 0, false, true);
        if ((result != 0 && result != 2) || PartsList.RowCount == 0) {
            state.SkipWithError("the selection failed");
            break;
        }
        ui.log.clear();
        benchmark::DoNotOptimize(PartsList.RowCount);
    }
    SetCatalogueReadScope({});
}

void BM_WholeSpringHanger(benchmark::State& state) { WholeSelection(state, "spring_hanger.ini"); }

// The composition alone, of the spring hanger's chain of seven parts.
void BM_ComposeSpringHanger(benchmark::State& state) {
    Whole& whole = TheWhole();
    whole.Load("spring_hanger.ini");
    SetSelectionSteps(DefaultSelectionSteps());
    ScriptedSelectionUi ui;
    if (SelectSupport(ui, 0, 0, false, true) != 0 || PartsList.RowCount == 0) {
        state.SkipWithError("the selection failed");
        return;
    }
    for (auto _ : state) {
        ComposeParts();
        benchmark::DoNotOptimize(PartsList.RowCount);
    }
}
void BM_WholeConstantHanger(benchmark::State& state) { WholeSelection(state, "constant_hanger.ini"); }
void BM_WholeRigidStrut(benchmark::State& state) { WholeSelection(state, "rigid_strut.ini"); }

}  // namespace

BENCHMARK(BM_WholeSpringHanger)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComposeSpringHanger)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeConstantHanger)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeRigidStrut)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
