// Catalogue reads through the access units on a catalogue of realistic size:
// what one selection step costs per product, clamp, text and price read.
#include "data/CatalogueSchema.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "data/PGCURE.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "data/TXTTAB.h"
#include "platform/Database.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int Products = 4000;

int ProductNumber(int i) { return 21000000 + i * 17; }
QString Article(int i) { return QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')); }

void Fill(const QString& dir, const QString& table, int rows, void (*row)(TTable&, int)) {
    TTable t(dir, table);
    t.Open();
    InTransaction(Session().OpenDatabase(dir), [&] {
        for (int i = 0; i < rows; ++i) {
            t.Append();
            row(t, i);
            t.Post();
        }
    });
    t.Close();
}

// One catalogue for the whole run: products, clamps, texts and prices.
struct Catalogue {
    TestDir dir;
    TestDir aliasDir;
    std::unique_ptr<TDBKONST> kon;

    Catalogue() {
        for (const CatalogueTableDef& def : CatalogueTables())
            CreateTableFile(TablePath(dir.path(), def.fileName), def.fieldDefs(), def.indexDefs());
        // Both article numbers of a product, each with a price row: "RD"
        // looks both up, as every real read does.
        Fill(dir.path(), "Pgstat.DB", Products, [](TTable& t, int i) {
            t.FieldByName("STA_NRN").SetValue(ProductNumber(i));
            t.FieldByName("STA_L_NR").SetValue(Article(i));
            t.FieldByName("STA_L_NR_K").SetValue(Article(Products + i));
            t.FieldByName("STA_KBEZ").SetValue("21");
            t.FieldByName("STA_GEW").SetValue(1.5 + i);
            t.FieldByName("STA_E").SetValue(i % 300);
            t.FieldByName("STA_X").SetValue(i % 200);
            t.FieldByName("STA_BREITE").SetValue(100 + i % 50);
            t.FieldByName("STA_BTL_ZUS").SetValue("M20");
            t.FieldByName("STA_HD_KZ").SetValue(i % 2 == 0);
        });
        Fill(dir.path(), "pgrsrsl.DB", Products, [](TTable& t, int i) {
            t.FieldByName("RSL_NRN").SetValue(43000000 + i * 7);
            t.FieldByName("RSL_L_NR").SetValue(QString::number(430000 + i));
            t.FieldByName("RSL_LG_1").SetValue(250);
            t.FieldByName("RSL_EXTRA").SetValue(i % 10 == 0 ? 1 : 0);
        });
        Fill(dir.path(), "Txttab.DB", 400, [](TTable& t, int i) {
            static const char* const kinds[] = {"LGA", "LGC", "LGD", "LGE"};
            t.FieldByName("TXT_KZ").SetValue(kinds[i % 4]);
            t.FieldByName("TXT_NR").SetValue(i / 4);
            t.FieldByName("TXT_NUM").SetValue(double(i));
        });
        Fill(dir.path(), "PGCURE.DB", 2 * Products, [](TTable& t, int i) {
            t.FieldByName("CUR_IDX").SetValue(1);
            t.FieldByName("CUR_L_NR").SetValue(Article(i));
            t.FieldByName("CUR_BRT").SetValue(i % 3 * 100);
            t.FieldByName("CUR_PRS").SetValue(10.0 + i);
        });
        const QString file = aliasDir.file("aliases.ini");
        {
            QSettings ini(file, QSettings::IniFormat);
            ini.setValue("KORVA_9_0/PATH", dir.path());
        }
        qputenv("KORVA_ALIAS_FILE", file.toLocal8Bit());
        Session().ReloadAliases();
        kon = std::make_unique<TDBKONST>();
        for (TTable* t : {&kon->PGSTAT, &kon->PGRSRL, &kon->TXTTAB, &kon->PGCURE})
            t->Open();
        CalcGlobals.PriceIndex = 1;
    }
};

Catalogue& Shared() {
    static Catalogue c;
    return c;
}

void BM_PgstatStartReadNext(benchmark::State& state) {
    Shared();
    int i = 0;
    for (auto _ : state) {
        PgstatRecord.STA_NRN = ProductNumber(i++ % Products) - 3;
        PgstatStart();
        PgstatReadNext();
        benchmark::DoNotOptimize(PgstatRecord.ArticlePrice);
    }
}
BENCHMARK(BM_PgstatStartReadNext);

void BM_PgstatRead(benchmark::State& state) {
    Shared();
    int i = 0;
    for (auto _ : state) {
        PgstatRecord.STA_NRN = ProductNumber((i += 37) % Products);
        PgstatRead();
        if (CalcGlobals.TableStatus != 0 || PgstatRecord.ArticlePrice == 0 || PgstatRecord.ArticlePriceK == 0)
            state.SkipWithError("a product or one of its two prices was not found");
        benchmark::DoNotOptimize(PgstatRecord.STA_E);
    }
}
BENCHMARK(BM_PgstatRead);

// The same inside one read transaction on the catalogue, as the selection
// runs its reads.
void BM_PgstatReadInScope(benchmark::State& state) {
    Shared();
    TReadScope scope(Shared().kon->BASIS_DB);
    int i = 0;
    for (auto _ : state) {
        PgstatRecord.STA_NRN = ProductNumber((i += 37) % Products);
        PgstatRead();
        if (CalcGlobals.TableStatus != 0 || PgstatRecord.ArticlePrice == 0 || PgstatRecord.ArticlePriceK == 0)
            state.SkipWithError("a product or one of its two prices was not found");
        benchmark::DoNotOptimize(PgstatRecord.STA_E);
    }
}
BENCHMARK(BM_PgstatReadInScope);

// A scan of 20 products after one start, as the hanger sizing reads them.
void BM_PgstatScan20(benchmark::State& state) {
    Shared();
    for (auto _ : state) {
        PgstatRecord.STA_NRN = ProductNumber(1000);
        PgstatStart();
        for (int n = 0; n < 20; ++n)
            PgstatReadNext();
    }
}
BENCHMARK(BM_PgstatScan20);

void BM_PgrsrlReadFiltered(benchmark::State& state) {
    Shared();
    int i = 1;
    for (auto _ : state) {
        PgrsrlRecord.RSL_NRN = 43000000 + ((i += 13) % Products) * 7;
        PgrsrlRead();
        benchmark::DoNotOptimize(PgrsrlRecord.LengthPrice[0]);
    }
}
BENCHMARK(BM_PgrsrlReadFiltered);

void BM_TxttabStartRead(benchmark::State& state) {
    Shared();
    int i = 0;
    for (auto _ : state) {
        PutText(TextRecord.TXT_KZ, (i++ & 1) ? QStringLiteral("LGC") : QStringLiteral("LGD"));
        TextRecord.TXT_NUM = 150;
        TxttabStart1();
        TxttabReadNext1();
        TxttabReadNext1();
    }
}
BENCHMARK(BM_TxttabStartRead);

// The load-group steps read one kind many times in a row.
void BM_TxttabSameKind(benchmark::State& state) {
    Shared();
    PutText(TextRecord.TXT_KZ, QStringLiteral("LGC"));
    for (auto _ : state) {
        TextRecord.TXT_NUM = 150;
        TxttabStart1();
        TxttabReadNext1();
        TxttabReadNext1();
    }
}
BENCHMARK(BM_TxttabSameKind);

void BM_LookupPriceFiltered(benchmark::State& state) {
    Shared();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            LookupPriceFiltered(Article((i += 11) % Products), 50, false));
}
BENCHMARK(BM_LookupPriceFiltered);

}  // namespace

BENCHMARK_MAIN();
