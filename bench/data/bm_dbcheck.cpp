// The project check the input form runs at start, on a complete project of
// realistic size: what opening a project costs before the form shows.
#include "data/DBCREATE.h"
#include "data/DBcheck.h"
#include "messages/MessageSeam.h"
#include "support/TestSupport.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int Supports = 2000;

void Fill(const QString& path, const char* sql, int rows, int perRow) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    for (int i = 0; i < rows; ++i)
        for (int k = 1; k <= perRow; ++k) {
            sqlite3_bind_int(st, 1, 100000000 + i);
            sqlite3_bind_int(st, 2, k);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

struct Project {
    TestDir dir;
    Project() {
        CreateProjectTables(dir.path());
        Fill(dir.file("konstr8.db"),
             "INSERT INTO konstr8 (K_F_NR_AUS, K_LFD_NR, K_POS_NR, K_NAME) VALUES (?1, ?2, 'POS-' || ?1, 'Hanger')",
             Supports, 1);
        Fill(dir.file("konstz8.db"), "INSERT INTO konstz8 (K_F_NR_AUS, K_RES_INT1) VALUES (?1, ?2)", Supports, 1);
        Fill(dir.file("konbtl8.db"),
             "INSERT INTO konbtl8 (KB_F_NR_AUS, KB_LFD_ZNR, KB_POS, KB_BTL, KB_ANZ) VALUES (?1, 1, ?2, '210912', 1)",
             Supports, 8);
        Fill(dir.file("konetr8.db"), "INSERT INTO konetr8 (KE_F_NR_AUS, KE_ANZ) VALUES (?1, ?2)", Supports / 10, 1);
        Fill(dir.file("prjinf8.db"), "INSERT INTO prjinf8 (F_KDN_ZNR, PRJ_WAEHRUNG) VALUES (?1, ?2)", 1, 1);
    }
};

Project& TheProject() {
    static Project p;
    return p;
}

void BM_CheckProjectFilesAtStart(benchmark::State& state) {
    Project& p = TheProject();
    ScriptedMessageSeam seam;  // a complete project asks nothing
    for (auto _ : state) {
        const int code = CheckProjectFilesAtStart(p.dir.path(), false);
        if (code != 0) state.SkipWithError("the project is not complete");
        benchmark::DoNotOptimize(code);
    }
}
BENCHMARK(BM_CheckProjectFilesAtStart)->Unit(benchmark::kMillisecond);

void BM_CheckProjectDirectoryQuiet(benchmark::State& state) {
    Project& p = TheProject();
    ScriptedMessageSeam seam;
    for (auto _ : state) benchmark::DoNotOptimize(CheckProjectDirectory(p.dir.path(), true, false));
}
BENCHMARK(BM_CheckProjectDirectoryQuiet)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
