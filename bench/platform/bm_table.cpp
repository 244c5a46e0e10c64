// Reading 10,000 rows through the table layer against the same reads done
// with plain sqlite3 prepared statements on the same file. Both sides read
// inside one read transaction, as the selection reads the catalogue (the
// layer in a TReadScope): a raw side that took and dropped the file's lock
// for every look-up would make the layer look cheaper than it is.
#include "platform/Database.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kRows = 10000;

const QString& BenchDir() {
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        made = true;
        CreateTableFile(dir.filePath("pgstat.db"),
                        {FieldDefFromCode("STA_NRN", "I"), FieldDefFromCode("STA_L_NR", "A6"),
                         FieldDefFromCode("STA_GEW", "N"), FieldDefFromCode("STA_E", "S")},
                        {TIndexDef{{}, {"STA_NRN"}, true, true, false}});
        sqlite3* db = nullptr;
        sqlite3_open(dir.filePath("pgstat.db").toUtf8().constData(), &db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO pgstat VALUES (?, ?, ?, ?)", -1, &st, nullptr);
        for (int i = 0; i < kRows; ++i) {
            sqlite3_bind_int(st, 1, 10000000 + i * 3);
            sqlite3_bind_text(st, 2, "123456", -1, SQLITE_STATIC);
            sqlite3_bind_double(st, 3, i * 0.5);
            sqlite3_bind_int(st, 4, i % 300);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    static QString path = dir.path();
    return path;
}

// The plain side opens its connection as the layer does, without SQLite's
// per-call mutex: the reference is the best plain SQLite does on one thread.
sqlite3* OpenPlain() {
    sqlite3* db = nullptr;
    sqlite3_open_v2((BenchDir() + "/pgstat.db").toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                    nullptr);
    return db;
}

// The same read as the layer's: every column of the row.
double ReadRow(sqlite3_stmt* st) {
    return double(sqlite3_column_int64(st, 1)) +
           QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2))).size() +
           sqlite3_column_double(st, 3) + sqlite3_column_int(st, 4);
}

void LayerNearestKey(benchmark::State& state) {
    TTable t(BenchDir(), "PGSTAT.DB");
    const TReadScope scope(Session().OpenDatabase(BenchDir()));
    t.Open();
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < kRows; ++i) {
            t.SetKey();
            t.FieldByName("STA_NRN").SetAsInteger(10000000 + i * 3 - 1);
            t.GotoNearest();
            sum += t.FieldByName("STA_GEW").AsFloat();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void RawNearestKey(benchmark::State& state) {
    sqlite3* db = OpenPlain();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, * FROM pgstat WHERE STA_NRN >= ? ORDER BY STA_NRN LIMIT 1", -1, &st, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < kRows; ++i) {
            sqlite3_bind_int(st, 1, 10000000 + i * 3 - 1);
            if (sqlite3_step(st) == SQLITE_ROW) sum += ReadRow(st);
            sqlite3_reset(st);
        }
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kRows);
}

void LayerNext(benchmark::State& state) {
    TTable t(BenchDir(), "PGSTAT.DB");
    const TReadScope scope(Session().OpenDatabase(BenchDir()));
    t.Open();
    for (auto _ : state) {
        double sum = 0;
        for (t.First(); !t.Eof(); t.Next()) sum += t.FieldByName("STA_GEW").AsFloat();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void RawNext(benchmark::State& state) {
    sqlite3* db = OpenPlain();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, * FROM pgstat ORDER BY STA_NRN", -1, &st, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (auto _ : state) {
        double sum = 0;
        while (sqlite3_step(st) == SQLITE_ROW) sum += ReadRow(st);
        sqlite3_reset(st);
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kRows);
}

}  // namespace

BENCHMARK(LayerNearestKey)->Unit(benchmark::kMillisecond);
BENCHMARK(RawNearestKey)->Unit(benchmark::kMillisecond);
BENCHMARK(LayerNext)->Unit(benchmark::kMillisecond);
BENCHMARK(RawNext)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
