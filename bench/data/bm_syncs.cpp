// How many times an Ok's store and a delete-mode run make the disk sync
// (fdatasync and fsync, counted where SQLite and Qt call them), besides
// their time. The store is the Ok road's: a new support with a full parts
// list and the company's running number moved on in the same commit; the
// delete removes a support with rows in all four support tables. The
// output file and the delete's result file add one sync each, outside
// these figures.
#include "../../tests/data/tst_storage_fixture.h"
#include "../../tests/support/SyncCounter.h"

#include "data/CatalogueSchema.h"
#include "host/DELETE_DRW.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/TableFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace storage_fixture;

namespace {

struct Setup {
    QTemporaryDir dir;
    QString project, catalogue;
    Setup() {
        project = dir.filePath("project");
        catalogue = dir.filePath("catalogue");
        QDir().mkpath(project);
        QDir().mkpath(catalogue);
        CreateProjectTables(project);
        const CatalogueTableDef& def = CatalogueTable("FIRDAT.DB");
        CreateTableFile(TablePath(catalogue, def.fileName), def.fieldDefs(), def.indexDefs());
        TQuery(catalogue, "insert into FIRDAT (F_NR, F_LFD_NR) values (12, 1)").ExecSQL();
        QFile aliases(dir.filePath("aliases.ini"));
        aliases.open(QIODevice::WriteOnly);
        aliases.write(QString("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
        aliases.close();
        qputenv("KORVA_ALIAS_FILE", aliases.fileName().toLocal8Bit());
        Session().ReloadAliases();
        ProjectDatabaseName = project;
    }
    ~Setup() { Session().Close(); }
};

void Prepare(int running) {
    ConstructionRecord.Reset();
    FillRecord(ConstructionRecord, running);
    FillBridge(running);
    AlignSources(ConstructionRecord, 12, running);
    PutText(ConstructionRecord.K_POS_NR, QString("SYNC-%1").arg(running));
    FillPartsList(PartsListRows, running);
}

void AddExtraPart(const QString& project, int running) {
    TQuery q(project, "insert into konetr8 (KE_F_NR_AUS, KE_BEZ, KE_ANZ) values (?, 'extra', 1)");
    q.SetParams({12 * 10000 + running});
    q.ExecSQL();
}

void BM_StoreNewSupport(benchmark::State& state) {
    Setup s;
    int running = 1;
    long syncs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Prepare(running++);
        const long before = g_syncs;
        state.ResumeTiming();
        StoreSupport(-1, true);
        syncs += g_syncs - before;
    }
    state.counters["syncs"] = benchmark::Counter(double(syncs), benchmark::Counter::kAvgIterations);
}

void BM_DeleteSupport(benchmark::State& state) {
    Setup s;
    int running = 1;
    long syncs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Prepare(running);
        StoreSupport(-1, false);
        AddExtraPart(s.project, running);
        Session().DropConnections();
        const long before = g_syncs;
        state.ResumeTiming();
        DeleteDrawing(s.project, QString("SYNC-%1").arg(running));
        syncs += g_syncs - before;
        ++running;
    }
    state.counters["syncs"] = benchmark::Counter(double(syncs), benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(BM_StoreNewSupport)->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteSupport)->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
