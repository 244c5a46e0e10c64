// Delete mode as the host sees it: the wall time of one run of the korva
// executable (process start included) that deletes one support from a
// project of 10,000 supports.
#include "data/DBCREATE.h"
#include "host/KORVA_MDS.h"
#include "host/ProjectFixture.h"
#include "platform/Session.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <benchmark/benchmark.h>

namespace {

constexpr int SupportCount = 10000;

const QString& Project() {
    static TestDir dir;
    static const QString path = [] {
        const QString p = dir.file("project");
        QDir().mkpath(p);
        CreateProjectTables(p);
        fixture::AddManySupports(p, SupportCount, 4);
        Session().DropConnections();
        return p;
    }();
    return path;
}

int RunKorva(const QStringList& args) {
    QProcess p;
    p.start(KORVA_EXE, args);
    if (!p.waitForFinished(60000)) return -1;
    return p.exitCode();
}

// Each iteration deletes the next support: 300 expected.
void BM_DeleteSupport(benchmark::State& state) {
    const QString project = Project();
    const QString result = project + "/../result.txt";
    int next = 0;
    for (auto _ : state) {
        const int code = RunKorva({"/DEL:H-" + QString::number(++next), "/PD:" + project, "/OF:" + result});
        if (code != ExitStatusOf(300)) state.SkipWithError(qPrintable(QString("exit code %1").arg(code)));
    }
}
BENCHMARK(BM_DeleteSupport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(100);

// A position number that is not there: the look-up alone, 303 expected.
void BM_DeleteUnknownSupport(benchmark::State& state) {
    const QString project = Project();
    const QString result = project + "/../result.txt";
    for (auto _ : state) {
        const int code = RunKorva({"/DEL:NO-SUCH-MARK", "/PD:" + project, "/OF:" + result});
        if (code != ExitStatusOf(303)) state.SkipWithError(qPrintable(QString("exit code %1").arg(code)));
    }
}
BENCHMARK(BM_DeleteUnknownSupport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

// The floor: starting the executable up to its first argument check.
void BM_ArgumentErrorOnly(benchmark::State& state) {
    for (auto _ : state) {
        const int code = RunKorva({"/DEL:H-1"});
        if (code != 202) state.SkipWithError(qPrintable(QString("exit code %1").arg(code)));
    }
}
BENCHMARK(BM_ArgumentErrorOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
