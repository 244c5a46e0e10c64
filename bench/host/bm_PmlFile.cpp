// Writing one output file for the host: the whole road of the writer for a
// spring hanger with a rod group (data block with its parts list and
// materials, head, clamp, chain walk with shifts and nut lists), catalogue
// reads, print translation, encoding and the atomic write into place.
#include "host/PMLFUELL.h"
#include "host/PmlScenarios.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

void RunScenario(benchmark::State& state, void (*setup)(), int language) {
    pmlfixture::Catalogue catalogue;
    pmlfixture::PrintLanguage print(language);
    setup();
    TestDir out;
    const QString file = out.file(QStringLiteral("DEMO.zof"));
    QString error;
    for (auto _ : state) {
        if (!WritePmlFile(file, &error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
    }
}

void BM_WriteSpringHanger(benchmark::State& state) { RunScenario(state, pmlfixture::SpringHanger, 1); }
BENCHMARK(BM_WriteSpringHanger)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_WriteTrapezeTWalk(benchmark::State& state) { RunScenario(state, pmlfixture::TrapezeTWalk, 2); }
BENCHMARK(BM_WriteTrapezeTWalk)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The text alone, without the file: what the writer costs before the disk.
void BM_BuildSpringHangerLines(benchmark::State& state) {
    pmlfixture::Catalogue catalogue;
    pmlfixture::PrintLanguage print(1);
    pmlfixture::SpringHanger();
    for (auto _ : state) benchmark::DoNotOptimize(PmlFileLines(QStringLiteral("DEMO.zof")));
}
BENCHMARK(BM_BuildSpringHangerLines)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
