// Price lookups, the price run over a project's parts list and the
// project's currency.
#include "tst_access_fixture.h"

#include "data/DBGLOB.h"
#include "data/CblTools.h"
#include "data/PGCURE.h"
#include "localisation/IvNls.h"

namespace {

void Price(CatalogueFixture& f, int index, const QString& article, int width, double price, double hd, bool discount) {
    f.Insert("PGCURE.DB", {{"CUR_IDX", index}, {"CUR_L_NR", article}, {"CUR_BRT", width}, {"CUR_PRS", price},
                           {"CUR_PRS_HD", hd}, {"CUR_RABAT", discount}});
}

TFieldDefs Defs(const QStringList& columns) {
    TFieldDefs defs;
    for (const QString& c : columns)
        defs << FieldDefFromCode(c.section(' ', 0, 0), c.section(' ', 1));
    return defs;
}

// The columns of the parts list and the project settings that the price
// run and the currency read.
void CreateProjectTables(const QString& dir) {
    CreateTableFile(TablePath(dir, "konbtl8.db"),
                    Defs({"KB_F_NR_AUS I", "KB_POS S", "KB_BTL_8 I", "KB_BTL A6", "KB_BTL_ZUS A16", "KB_BREITE_2 S",
                          "KB_KBEZ A4", "KB_PRS N", "KB_HD_KZ L"}));
    CreateTableFile(TablePath(dir, "PRJINF8.DB"), Defs({"PRJ_NR I", "PRJ_WAEHRUNG S"}));
}

struct Part {
    int key;
    int number;
    const char* article;
    const char* extra;
    int width2;
    const char* type;
};

}  // namespace

class TestPrices : public QObject {
    Q_OBJECT

    std::unique_ptr<CatalogueFixture> f;
    std::unique_ptr<TDBGLOBAL> glob;
    TestDir project;

    void AddPart(const Part& p) {
        TTable t(project.path(), "konbtl8.db");
        t.Open();
        t.Append();
        t.FieldByName("KB_F_NR_AUS").SetValue(p.key);
        t.FieldByName("KB_BTL_8").SetValue(p.number);
        t.FieldByName("KB_BTL").SetValue(p.article);
        t.FieldByName("KB_BTL_ZUS").SetValue(p.extra);
        t.FieldByName("KB_BREITE_2").SetValue(p.width2);
        t.FieldByName("KB_KBEZ").SetValue(p.type);
        t.FieldByName("KB_PRS").SetValue(-1);
        t.Post();
    }

    void SetCurrencyRow(int code) {
        TTable t(project.path(), "PRJINF8.DB");
        t.Open();
        t.Append();
        t.FieldByName("PRJ_WAEHRUNG").SetValue(code);
        t.Post();
    }

private slots:
    void init() {
        ResetCalcState();
        f = std::make_unique<CatalogueFixture>();
        Price(*f, 1, "A00001", 0, 50, 60, true);
        Price(*f, 1, "A00001", 250, 200, 240, true);
        Price(*f, 1, "A00001", 300, 300, 360, true);
        Price(*f, 1, "A00002", 0, 200, 250, false);
        Price(*f, 2, "A00001", 0, 55, 66, true);
        Price(*f, 1, "D00001  ", 250, 77, 88, false);  // trailing blanks in the table
        f->Start();
        CreateProjectTables(project.path());
        glob = std::make_unique<TDBGLOBAL>();
        glob->KONBTL.SetDatabaseName(project.path());
        glob->PRJINF.SetDatabaseName(project.path());
    }
    void cleanup() {
        glob.reset();
        f.reset();
        NlsSetDefaultLcidOverride(std::nullopt);
        QFile::remove(project.file("konbtl8.db"));
        QFile::remove(project.file("PRJINF8.DB"));
    }

    void lookup_data() {
        QTest::addColumn<QString>("article");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("filtered");
        QTest::addColumn<bool>("galvanised");
        QTest::addColumn<double>("discount");
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("price");
        QTest::newRow("no width") << "A00001" << 0 << false << false << 0.0 << 1 << 50.0;
        QTest::newRow("discounted") << "A00001" << 0 << false << false << 10.0 << 1 << 45.0;
        QTest::newRow("not discountable") << "A00002" << 0 << false << false << 10.0 << 1 << 200.0;
        QTest::newRow("exact width") << "A00001" << 250 << false << false << 10.0 << 1 << 180.0;
        QTest::newRow("exact width missing") << "A00001" << 260 << false << false << 0.0 << 1 << 0.0;
        QTest::newRow("width class above") << "A00001" << 260 << true << false << 0.0 << 1 << 300.0;
        QTest::newRow("width class equal") << "A00001" << 250 << true << false << 0.0 << 1 << 200.0;
        QTest::newRow("above every class") << "A00001" << 301 << true << false << 0.0 << 1 << 0.0;
        QTest::newRow("galvanised") << "A00001" << 250 << false << true << 10.0 << 1 << 216.0;
        QTest::newRow("second list") << "A00001" << 0 << false << false << 0.0 << 2 << 55.0;
        QTest::newRow("second list, no such width") << "A00001" << 250 << true << false << 0.0 << 2 << 0.0;
        QTest::newRow("unknown article") << "B00001" << 0 << false << false << 0.0 << 1 << 0.0;
        QTest::newRow("blank article") << "      " << 250 << true << false << 0.0 << 1 << 0.0;
        QTest::newRow("quote in article") << "A'0 OR 1=1" << 250 << true << false << 0.0 << 1 << 0.0;
        QTest::newRow("quote, exact width") << "A'0 OR 1=1" << 250 << false << false << 0.0 << 1 << 0.0;
        // The table's own rule: trailing blanks do not count, on either side.
        QTest::newRow("blanks in the table, exact") << "D00001" << 250 << false << false << 0.0 << 1 << 77.0;
        QTest::newRow("blanks in the table, class") << "D00001" << 200 << true << false << 0.0 << 1 << 77.0;
        QTest::newRow("blanks on both sides, class") << "D00001 " << 250 << true << false << 0.0 << 1 << 77.0;
    }
    void lookup() {
        QFETCH(QString, article);
        QFETCH(int, width);
        QFETCH(bool, filtered);
        QFETCH(bool, galvanised);
        QFETCH(double, discount);
        QFETCH(int, index);
        CalcGlobals.PriceDiscountPercent = discount;
        CalcGlobals.PriceIndex = index;
        const double price =
            filtered ? LookupPriceFiltered(article, width, galvanised) : LookupPrice(article, width, galvanised);
        QTEST(price, "price");
        QVERIFY(!DBKONST->PGCURE.Filtered());
        QCOMPARE(DBKONST->PGCURE.RecordCount(), 6);
    }

    // A blank article is priced without the price table.
    void blankArticleLeavesTableAlone() {
        DBKONST->PGCURE.Close();
        QCOMPARE(LookupPrice("      ", 0, false), 0.0);
        QCOMPARE(LookupPriceFiltered("", 0, false), 0.0);
        QVERIFY(!DBKONST->PGCURE.Active());
    }

    void projectCurrency_data() {
        QTest::addColumn<int>("code");  // -1: no settings row
        QTest::addColumn<uint>("language");
        QTest::addColumn<int>("index");
        QTest::newRow("euro") << 17 << 0x0409u << 1;
        QTest::newRow("dollar") << 23 << 0x0407u << 2;
        QTest::newRow("none, US English") << 0 << 0x0409u << 2;
        QTest::newRow("none, Mexican Spanish") << 0 << 0x080Au << 2;
        QTest::newRow("none, Canadian English") << 0 << 0x1009u << 2;
        QTest::newRow("none, German") << 0 << 0x0407u << 1;
        QTest::newRow("no settings row, German") << -1 << 0x0407u << 1;
    }
    void projectCurrency() {
        QFETCH(int, code);
        QFETCH(uint, language);
        if (code >= 0)
            SetCurrencyRow(code);
        NlsSetDefaultLcidOverride(language);
        CalcGlobals.PriceIndex = 7;
        QTEST(ProjectCurrency(), "index");
        QTEST(CalcGlobals.PriceIndex, "index");
    }

    void setProjectCurrency_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("code");
        QTest::newRow("euro") << 1 << 17;
        QTest::newRow("dollar") << 2 << 23;
        QTest::newRow("other") << 3 << 0;
    }
    void setProjectCurrency() {
        QFETCH(int, index);
        SetCurrencyRow(5);
        QVERIFY(SetProjectCurrency(index));
        TTable t(project.path(), "PRJINF8.DB");
        t.Open();
        QTEST(t.FieldByName("PRJ_WAEHRUNG").AsInteger(), "code");
    }

    // A failed write is reported, not swallowed.
    void setProjectCurrencyFails() {
        QVERIFY(!SetProjectCurrency(1));  // no settings row
        QFile::remove(project.file("PRJINF8.DB"));
        QVERIFY(!SetProjectCurrency(2));  // no settings table
    }

    void priceRun() {
        Price(*f, 1, "C49001-SP", 0, 49, 0, false);
        Price(*f, 1, "C49001G3", 0, 493, 0, false);
        Price(*f, 1, "C49001G2A", 0, 4921, 0, false);
        Price(*f, 1, "R66020", 1000, 1, 0, false);
        Price(*f, 1, "R66020", 2000, 2, 0, false);
        Price(*f, 1, "R66020", 0, 3, 0, false);
        Price(*f, 1, "T79410", 0, 7, 0, false);
        Price(*f, 1, "T79410", 600, 8, 0, false);
        f->Insert("Pgstat.DB", {{"STA_NRN", 79410000}, {"STA_BREITE", 600}});
        const Part parts[] = {
            {1, 21010218, "A00002", "", 0, "210"},           // plain: 200
            {1, 49100202, "C49001", "123456-SP", 0, "49"},  // PTFE: 49
            {1, 49100202, "C49001", "123456G3 ", 0, "49"},  // G3: 493
            {2, 49100202, "C49001", "123456G2A", 0, "49"},  // G2A: 4921
            {2, 66020400, "R66020", "12345671500", 0, "66"},  // rod 1500 -> class 2000
            {2, 79410000, "T79410", "", 0, "794"},           // trapeze width 600
            {2, 79420000, "T79410", "", 0, "794"},           // no such trapeze: keeps 7
        };
        for (const Part& p : parts)
            AddPart(p);
        // The parts list shows one support; the run prices all of them.
        TTable& konbtl = DBGLOBAL->KONBTL;
        konbtl.SetFilter("KB_F_NR_AUS = ?", {1});
        konbtl.SetFiltered(true);
        konbtl.Open();
        DBKONST->PGSTAT.Close();
        PricePartsList();
        QVERIFY(konbtl.Active());
        QVERIFY(konbtl.Filtered());
        QCOMPARE(konbtl.RecordCount(), 3);
        QVERIFY(!DBKONST->PGSTAT.Active());
        QVERIFY(DBKONST->PGCURE.Active());
        TTable t(project.path(), "konbtl8.db");
        t.Open();
        QList<double> prices;
        for (bool more = !t.IsEmpty(); more; more = t.Next())
            prices << t.FieldByName("KB_PRS").AsFloat();
        QCOMPARE(prices, (QList<double>{200, 49, 493, 4921, 2, 8, 7}));
    }

    // One rule of the price run per row. Each run prices three rows: a
    // trapeze 794 found in the catalogue (width 600: price 8), the row of
    // the case, and a plain part (200), so the product record holds the
    // trapeze's width when the case is read and every run is seen to
    // reach its last row.
    void priceRunRule_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("article");
        QTest::addColumn<QString>("extra");
        QTest::addColumn<int>("width2");
        QTest::addColumn<QString>("type");
        QTest::addColumn<double>("price");  // -1: left as it was
        QTest::addColumn<QString>("error");
        // Digits 4-5 above "19": the rod length from position 8 of the
        // designation, smallest class at or above it (1500 -> 2000); at
        // "19" the row's own second width (0: the article's first row).
        QTest::newRow("660, size 20") << 66020400 << "R66020" << "R66020-1500" << 0 << "66" << 2.0 << "";
        QTest::newRow("660, size 19") << 66019400 << "R66020" << "R66020-1500" << 0 << "66" << 3.0 << "";
        QTest::newRow("670, size 20") << 67020400 << "R67020" << "R67020-0800" << 0 << "67" << 14.0 << "";
        QTest::newRow("671 is no rod") << 67120400 << "R67020" << "R67020-0800" << 0 << "67" << 13.0 << "";
        QTest::newRow("rod with second width") << 66020400 << "R66020" << "R66020-1500" << 1000 << "66" << 1.0 << "";
        // A length that is no whole number: the row keeps its price, the
        // run goes on, and the caller learns why at the end.
        QTest::newRow("rod length unreadable") << 66020400 << "R66020" << "R66020-1'6\"" << 0 << "66" << -1.0
                                               << "'1'6\"' is not a valid integer value";
        QTest::newRow("rod length blank") << 66021400 << "R66020" << "R66020" << 0 << "66" << -1.0
                                          << "'' is not a valid integer value";
        // Clamp variants from characters 7 to 9 of the designation.
        QTest::newRow("G4") << 49100202 << "C49001" << "123456G4 " << 0 << "49" << 494.0 << "";
        QTest::newRow("G3") << 49100202 << "C49001" << "123456G3 " << 0 << "49" << 493.0 << "";
        QTest::newRow("G2P") << 49100202 << "C49001" << "123456G2P" << 0 << "49" << 4920.0 << "";
        QTest::newRow("G2, designation ends after it") << 49100202 << "C49001" << "123456G2" << 0 << "49" << 4902.0 << "";
        QTest::newRow("no G") << 49100202 << "C49001" << "123456H4 " << 0 << "49" << 490.0 << "";
        // A trapeze 794 not in the catalogue: the width the record still
        // holds is the other trapeze's (600, price 8); the row's own
        // second width prices it instead (0: 7).
        QTest::newRow("794 not in the catalogue") << 79420000 << "T79410" << "" << 0 << "794" << 7.0 << "";
    }
    void priceRunRule() {
        QFETCH(int, number);
        QFETCH(QString, article);
        QFETCH(QString, extra);
        QFETCH(int, width2);
        QFETCH(QString, type);
        QFETCH(double, price);
        QFETCH(QString, error);
        Price(*f, 1, "R66020", 0, 3, 0, false);
        Price(*f, 1, "R66020", 1000, 1, 0, false);
        Price(*f, 1, "R66020", 2000, 2, 0, false);
        Price(*f, 1, "R67020", 0, 13, 0, false);
        Price(*f, 1, "R67020", 1000, 14, 0, false);
        Price(*f, 1, "C49001", 0, 490, 0, false);
        Price(*f, 1, "C49001G4", 0, 494, 0, false);
        Price(*f, 1, "C49001G3", 0, 493, 0, false);
        Price(*f, 1, "C49001G2P", 0, 4920, 0, false);
        Price(*f, 1, "C49001G2 ", 0, 4902, 0, false);
        Price(*f, 1, "T79410", 0, 7, 0, false);
        Price(*f, 1, "T79410", 600, 8, 0, false);
        f->Insert("Pgstat.DB", {{"STA_NRN", 79410000}, {"STA_BREITE", 600}});
        const QByteArray a = article.toLatin1(), x = extra.toLatin1(), t = type.toLatin1();
        AddPart({1, 79410000, "T79410", "", 0, "794"});
        AddPart({1, number, a.constData(), x.constData(), width2, t.constData()});
        AddPart({1, 21010218, "A00002", "", 0, "210"});
        QString thrown;
        try {
            PricePartsList();
        } catch (const EConvertError& e) {
            thrown = e.Message();
        }
        QCOMPARE(thrown, error);
        TTable parts(project.path(), "konbtl8.db");
        parts.Open();
        QList<double> prices;
        for (bool more = !parts.IsEmpty(); more; more = parts.Next())
            prices << parts.FieldByName("KB_PRS").AsFloat();
        QCOMPARE(prices, (QList<double>{8, price, 200}));
    }

    // The run leaves closed tables closed, also the product table.
    void priceRunRestoresClosedTables() {
        AddPart({1, 79410000, "T79410", "", 0, "794"});
        f->Insert("Pgstat.DB", {{"STA_NRN", 79410000}, {"STA_BREITE", 600}});
        DBKONST->PGCURE.Close();
        DBKONST->PGSTAT.Open();
        DBGLOBAL->KONBTL.Close();
        PricePartsList();
        QVERIFY(!DBKONST->PGCURE.Active());
        QVERIFY(DBKONST->PGSTAT.Active());
        QVERIFY(!DBGLOBAL->KONBTL.Active());
    }
};

QTEST_GUILESS_MAIN(TestPrices)
#include "tst_prices.moc"
