// The project search's disk work: the scan of a directory tree of 2,000
// directories holding 40 projects, and the hanger-mark fraction search over
// one project of 2,000 supports.
#include "data/ProjectSchema.h"
#include "forms/PrjSearch.h"
#include "platform/Database.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <benchmark/benchmark.h>

namespace {

void MakeProject(const QString& dir, int supports) {
    QDir().mkpath(dir);
    CreateTableFile(QDir(dir).filePath("konstr8.db"), ProjectFieldDefs(ProjectTable::Konstr),
                    ProjectIndexDefs(ProjectTable::Konstr));
    static int n = 0;
    TDatabase db(QStringLiteral("BM_PRJ_%1").arg(++n));
    db.SetDirectory(dir);
    InTransaction(db, [&] {
        for (int i = 1; i <= supports; ++i) {
            TQuery q(db.DatabaseName(), "insert into konstr8 (K_F_NR_AUS, K_POS_NR, K_NAME) values (?, ?, ?)");
            q.SetParams({100000000 + i, QStringLiteral("Pl-%1-Hg%2").arg(i % 17).arg(i), "Plant"});
            q.ExecSQL();
        }
    });
}

const QString& Tree() {
    static TestDir dir;
    static const QString root = [] {
        const QString r = dir.file("tree/");
        for (int a = 0; a < 20; ++a)
            for (int b = 0; b < 10; ++b)
                for (int c = 0; c < 10; ++c) QDir().mkpath(QStringLiteral("%1a%2/b%3/c%4").arg(r).arg(a).arg(b).arg(c));
        for (int p = 0; p < 40; ++p) MakeProject(QStringLiteral("%1a%2/b%3/prj").arg(r).arg(p % 20).arg(p / 20), 5);
        MakeProject(r + "big", 2000);
        Session().DropConnections();
        return r;
    }();
    return root;
}

void BM_ScanTree(benchmark::State& state) {
    const QString root = Tree();
    for (auto _ : state) {
        QStringList found;
        ScanProjectDirectories(root, "konstr8.db", found);
        if (found.size() != 41) state.SkipWithError("wrong number of projects");
    }
}
BENCHMARK(BM_ScanTree)->Unit(benchmark::kMillisecond);

void BM_MarkFractionSearch(benchmark::State& state) {
    const QString big = Tree() + "big/";
    SearchCondition c;
    c.option = SearchOption::HangerMark;
    c.mark = "pl-3-hg1";
    c.partial = true;
    for (auto _ : state) benchmark::DoNotOptimize(ProjectDrawings(big, c).size());
}
BENCHMARK(BM_MarkFractionSearch)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
