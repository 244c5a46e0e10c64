// What the access units copy into their records: catalogue variants,
// galvanising, prices by width and suffix, clamp variants, the extended-load
// filter, arrangements, and the text table's start-up upgrade.
#include "tst_access_fixture.h"

#include "data/ABHGNR.h"
#include "data/AlterTableClass.h"
#include "data/DURDAT.h"
#include "data/TEMDAT.h"
#include "data/PGCOOL.h"
#include "data/PGDYNA.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "data/TXTTAB.h"

namespace {

void Price(CatalogueFixture& f, const QString& article, int width, double price, double hd = 0, bool discount = false,
           int index = 1) {
    f.Insert("PGCURE.DB", {{"CUR_IDX", index}, {"CUR_L_NR", article}, {"CUR_BRT", width}, {"CUR_PRS", price},
                           {"CUR_PRS_HD", hd}, {"CUR_RABAT", discount}});
}

void Product(CatalogueFixture& f, int nr, const QVariantMap& extra = {}) {
    QVariantMap row{{"STA_NRN", nr},         {"STA_KBEZ", "210"},      {"STA_KBEZ_I", "210I"},
                    {"STA_L_NR", "M" + QString::number(nr).left(5)},   {"STA_L_NR_I", "I" + QString::number(nr).left(5)},
                    {"STA_L_NR_K", "K" + QString::number(nr).left(5)}, {"STA_L_NR_K_I", "J" + QString::number(nr).left(5)},
                    {"STA_E", 1500},         {"STA_X", 70},            {"STA_BREITE", 900},
                    {"STA_GEW", 12.5},       {"STA_HD_KZ", true}};
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        row[it.key()] = it.value();
    f.Insert("Pgstat.DB", row);
}

void ReadProduct(int nr) {
    PgstatRecord.STA_NRN = nr;
    PgstatRead();
    QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
}

void Clamp(CatalogueFixture& f, int nr, int extra, const QVariantMap& more = {}) {
    QVariantMap row{{"RSL_NRN", nr}, {"RSL_KBEZ", "49"}, {"RSL_L_NR", "C49001"}, {"RSL_L_NR_K", "K49001"},
                    {"RSL_LG_1", 250}, {"RSL_EXTRA", extra}, {"RSL_HD_KZ", false}};
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        row[it.key()] = it.value();
    f.Insert("pgrsrsl.DB", row);
}

}  // namespace

class TestAccessRecords : public QObject {
    Q_OBJECT

    std::unique_ptr<CatalogueFixture> f;

private slots:
    void init() {
        ResetCalcState();
        f = std::make_unique<CatalogueFixture>();
    }
    void cleanup() { f.reset(); }

    void catalogueVariant_data() {
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<QString>("article");
        QTest::addColumn<QString>("nuclear");
        QTest::addColumn<QString>("type");
        QTest::newRow("metric") << false << "M21010" << "K21010" << "210 ";
        QTest::newRow("imperial") << true << "I21010" << "J21010" << "210I";
    }
    void catalogueVariant() {
        QFETCH(bool, imperial);
        Product(*f, 21010218);
        f->Start();
        ConstructionRecord.K_KATA_KZ = imperial;
        ReadProduct(21010218);
        QFETCH(QString, article);
        QFETCH(QString, nuclear);
        QFETCH(QString, type);
        QCOMPARE(FieldText(PgstatRecord.STA_L_NR), article);
        QCOMPARE(FieldText(PgstatRecord.STA_L_NR_K), nuclear);
        QCOMPARE(FieldText(PgstatRecord.STA_KBEZ), type);
        QCOMPARE(PgstatRecord.STA_E, int16_t(1500));
        QCOMPARE(PgstatRecord.STA_GEW, 12.5);
    }

    // A failed read leaves every field of the record as the last row left it.
    void notFoundKeepsRecord() {
        Product(*f, 21010218);
        f->Start();
        ReadProduct(21010218);
        PgstatRecord.STA_NRN = 21010219;
        PgstatRead();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(2));
        QCOMPARE(FieldText(PgstatRecord.STA_L_NR), QStringLiteral("M21010"));
        QCOMPARE(PgstatRecord.STA_E, int16_t(1500));
    }

    void galvanising_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("rowHD");
        QTest::addColumn<bool>("request");
        QTest::addColumn<bool>("recordHD");
        QTest::addColumn<bool>("requestAfter");
        QTest::addColumn<double>("price");
        QTest::newRow("galvanised product, asked") << 21010218 << true << true << true << true << 30.0;
        QTest::newRow("galvanised product, not asked") << 21010218 << true << false << true << false << 20.0;
        QTest::newRow("plain product clears request") << 21010218 << false << true << false << false << 20.0;
        QTest::newRow("11009315 never galvanised") << 11009315 << true << true << false << true << 30.0;
        QTest::newRow("11409315 never galvanised") << 11409315 << true << false << false << false << 20.0;
    }
    void galvanising() {
        QFETCH(int, product);
        QFETCH(bool, rowHD);
        QFETCH(bool, request);
        Product(*f, product, {{"STA_HD_KZ", rowHD}});
        Price(*f, "M" + QString::number(product).left(5), 0, 20, 30);
        f->Start();
        CalcGlobals.HDRequest = request;
        ReadProduct(product);
        QTEST(PgstatRecord.STA_HD_KZ, "recordHD");
        QTEST(CalcGlobals.HDRequest, "requestAfter");
        QTEST(PgstatRecord.ArticlePrice, "price");
    }

    // The width a product's price depends on, by its number.
    void priceWidth_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("suffix");
        QTest::addColumn<double>("price");
        QTest::newRow("trapeze by width") << 79100000 << false << 79.0;
        QTest::newRow("extension by STA_X") << 29100000 << false << 29.0;
        QTest::newRow("rod 66020 by length") << 66020400 << false << 66.0;
        QTest::newRow("rod 67024 by length") << 67024200 << false << 67.0;
        QTest::newRow("rod 66019 without width") << 66019400 << false << 10.0;
        QTest::newRow("rod 66025 without width") << 66025400 << false << 10.0;
        QTest::newRow("other product") << 21010218 << false << 10.0;
        QTest::newRow("other product, -PS") << 21010218 << true << 11.0;
        QTest::newRow("trapeze ignores -PS") << 79100000 << true << 79.0;
    }
    void priceWidth() {
        QFETCH(int, product);
        QFETCH(bool, suffix);
        Product(*f, product);
        const QString article = "M" + QString::number(product).left(5);
        Price(*f, article, 0, 10);
        Price(*f, article + "-PS", 0, 11);
        Price(*f, article, 900, 79);
        Price(*f, article, 70, 29);
        Price(*f, article, 1500, product / 1000000 == 66 ? 66 : 67);
        f->Start();
        CalcGlobals.PriceSuffixRequest = suffix;
        ReadProduct(product);
        QTEST(PgstatRecord.ArticlePrice, "price");
    }

    void dynamicRecord() {
        f->Insert("Pgdyna.DB", {{"DYN_NRN", 33010001}, {"DYN_KBEZ", "33"}, {"DYN_L_NR", "D33010"}, {"DYN_BK_KZ", "J"},
                                {"DYN_E_MAX", 600}, {"DYN_PARA_B", 12.5}, {"DYN_VGB_KZ", true}});
        f->Insert("Pgdyna.DB", {{"DYN_NRN", 39010001}, {"DYN_KBEZ", "39"}, {"DYN_L_NR", "D39010"}, {"DYN_BK_KZ", "N"},
                                {"DYN_E_MAX", 600}});
        Price(*f, "D33010", 600, 330);
        Price(*f, "D39010", 0, 390);
        Price(*f, "D39010", 600, 391);
        f->Start();
        PgdynaRecord.PresetLoadCount = 7;
        PgdynaRecord.DYN_NRN = 33010001;
        PgdynaRead();
        QCOMPARE(PgdynaRecord.ArticlePrice, 330.0);
        QVERIFY(PgdynaRecord.DYN_BK_KZ);
        QVERIFY(PgdynaRecord.DYN_VGB_KZ);
        QCOMPARE(PgdynaRecord.DYN_PARA_B, 12.5);
        QCOMPARE(FieldText(PgdynaRecord.PresetLoadText), QStringLiteral("000000   "));
        QCOMPARE(PgdynaRecord.PresetLoadCount, int16_t(0));
        PgdynaRecord.DYN_NRN = 39010001;
        PgdynaRead();
        QCOMPARE(PgdynaRecord.ArticlePrice, 390.0);  // width only for "33"
        QVERIFY(!PgdynaRecord.DYN_BK_KZ);
    }

    void clampVariant_data() {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<bool>("spSuffix");
        QTest::addColumn<QString>("type");
        QTest::addColumn<double>("price");
        QTest::newRow("standard") << "" << false << "49" << 100.0;
        QTest::newRow("G2A") << "1" << false << "4921" << 121.0;
        QTest::newRow("G2P") << "2" << false << "4920" << 120.0;
        QTest::newRow("G3") << "3" << false << "493" << 103.0;
        QTest::newRow("G4") << "4" << false << "494" << 104.0;
        QTest::newRow("G2P with PTFE") << "2" << true << "4920" << 125.0;
        QTest::newRow("standard with PTFE") << "" << true << "49" << 105.0;
    }
    void clampVariant() {
        QFETCH(QString, variant);
        QFETCH(bool, spSuffix);
        Clamp(*f, 49100202, 0, {{"RSL_LG_2", 300}, {"RSL_LG_4", 400}});
        for (const auto& [suffix, price] : std::initializer_list<std::pair<const char*, double>>{
                 {"", 100}, {"G2A", 121}, {"G2P", 120}, {"G3", 103}, {"G4", 104}, {"G2P-SP", 125}, {"-SP", 105}})
            Price(*f, QStringLiteral("C49001") + suffix, 250, price);
        Price(*f, "C49001", 300, 300);
        Price(*f, "C49001", 400, 400);
        Price(*f, "C49001", 0, 1);
        f->Start();
        CalcGlobals.RsrlVariantCode = variant;
        CalcGlobals.PriceSuffixRequest = spSuffix;
        PgrsrlRecord.RSL_NRN = 49100202;
        PgrsrlRead();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        QTEST(PgrsrlRecord.RSL_KBEZ, "type");
        QTEST(PgrsrlRecord.LengthPrice[0], "price");
        // The other lengths are priced under the plain article; a length of
        // 0 gives no price.
        QCOMPARE(PgrsrlRecord.LengthPrice[1], 300.0);
        QCOMPARE(PgrsrlRecord.LengthPrice[2], 0.0);
        QCOMPARE(PgrsrlRecord.LengthPrice[3], 400.0);
        QCOMPARE(FieldText(PgrsrlRecord.PresetLoadText), QStringLiteral("000000   "));
    }

    // The extended-load option is read at every access: switching it during
    // the run shows and hides the extended rows again.
    void extendedLoadRows() {
        Clamp(*f, 43010101, 0);
        Clamp(*f, 43010201, 1);
        Clamp(*f, 43010301, 0);
        f->Start();
        const auto readExtended = [] {
            PgrsrlRecord.RSL_NRN = 43010201;
            PgrsrlRead();
            return CalcGlobals.TableStatus;
        };
        QCOMPARE(readExtended(), int16_t(2));
        PgrsrlRecord.RSL_NRN = 43010102;
        PgrsrlStart();
        PgrsrlReadNext();
        QCOMPARE(PgrsrlRecord.RSL_NRN, 43010301.0);
        CalcGlobals.ExtendedLoadOption = true;
        QCOMPARE(readExtended(), int16_t(0));
        CalcGlobals.ExtendedLoadOption = false;
        QCOMPARE(readExtended(), int16_t(2));
    }

    // The unit's condition and another caller's filter both hold: with the
    // option off a row passes only when it passes both; with the option on
    // the caller's filter is back exactly as the caller set it, switched on
    // or off as the caller left it.
    void extendedLoadFilterKeepsOtherFilters_data() {
        QTest::addColumn<bool>("theirsOn");
        QTest::newRow("their filter on") << true;
        QTest::newRow("their filter set, switched off") << false;
    }
    void extendedLoadFilterKeepsOtherFilters() {
        QFETCH(bool, theirsOn);
        Clamp(*f, 43010101, 0);
        Clamp(*f, 43010201, 1, {{"RSL_KBEZ", "42"}});
        Clamp(*f, 43010301, 0, {{"RSL_KBEZ", "42"}});
        f->Start();
        TTable& t = DBKONST->PGRSRL;
        const QString theirs = QStringLiteral("RSL_KBEZ = ?");
        const QVariantList theirParams{QStringLiteral("42")};
        t.SetFilter(theirs, theirParams);
        t.SetFiltered(theirsOn);
        const auto read = [](int nr) {
            PgrsrlRecord.RSL_NRN = nr;
            PgrsrlRead();
            return CalcGlobals.TableStatus;
        };
        CalcGlobals.ExtendedLoadOption = false;
        QCOMPARE(read(43010101), theirsOn ? int16_t(2) : int16_t(0));
        QCOMPARE(read(43010201), int16_t(2));  // extended: hidden either way
        QCOMPARE(read(43010301), int16_t(0));
        CalcGlobals.ExtendedLoadOption = true;
        QCOMPARE(read(43010201), int16_t(0));
        QCOMPARE(t.Filter(), theirs);
        QCOMPARE(t.FilterParams(), theirParams);
        QCOMPARE(t.Filtered(), theirsOn);
        QCOMPARE(read(43010101), theirsOn ? int16_t(2) : int16_t(0));
        // Switched on now, their filter bounds every read.
        t.SetFiltered(true);
        QCOMPARE(read(43010101), int16_t(2));
        QCOMPARE(read(43010201), int16_t(0));
        CalcGlobals.ExtendedLoadOption = false;
        QCOMPARE(read(43010201), int16_t(2));
        QCOMPARE(read(43010101), int16_t(2));
        // Once they switch their filter off, only the unit's own holds.
        t.SetFiltered(false);
        QCOMPARE(read(43010101), int16_t(0));
        QCOMPARE(read(43010201), int16_t(2));
        // A filter they set anew while the unit's is in place is combined too.
        t.SetFilter(QStringLiteral("RSL_NRN > ?"), {43010200});
        t.SetFiltered(true);
        QCOMPARE(read(43010101), int16_t(2));
        QCOMPARE(read(43010201), int16_t(2));
        QCOMPARE(read(43010301), int16_t(0));
    }

    // Reading on under both conditions: the walk skips rows either one hides
    // and ends after the last row both let through.
    void extendedLoadFilterWalkUnderBothFilters() {
        Clamp(*f, 43010101, 0);
        Clamp(*f, 43010201, 1, {{"RSL_KBEZ", "42"}});
        Clamp(*f, 43010301, 0, {{"RSL_KBEZ", "42"}});
        Clamp(*f, 43010401, 0, {{"RSL_KBEZ", "42"}});
        Clamp(*f, 43010501, 1, {{"RSL_KBEZ", "42"}});
        Clamp(*f, 43010601, 0);
        f->Start();
        TTable& t = DBKONST->PGRSRL;
        t.SetFilter(QStringLiteral("RSL_KBEZ = ?"), {QStringLiteral("42")});
        t.SetFiltered(true);
        CalcGlobals.ExtendedLoadOption = false;
        PgrsrlRecord.RSL_NRN = 43010102;
        PgrsrlStart();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        QList<double> walked;
        for (int guard = 0; guard < 10 && PgrsrlDispatch("RN") == 0; ++guard)
            walked << PgrsrlRecord.RSL_NRN;
        QCOMPARE(walked, (QList<double>{43010301.0, 43010401.0}));
        QCOMPARE(CalcGlobals.TableStatus, int16_t(4));
    }

    void coolRecord() {
        f->Insert("PGCLDSTA.DB", {{"CLD_NRN", 52001001}, {"CLD_KBEZ", "52"}, {"CLD_KBEZ_I", "52I"},
                                  {"CLD_L_NR", "520010"}, {"CLD_L_NR_I", "I52001"}, {"CLD_N", 4}, {"CLD_KRAFT", 2.5}});
        Price(*f, "520010", 0, 52, 99);
        f->Start();
        CalcGlobals.HDRequest = true;
        PgcoolRecord.CLD_NRN = 52001001;
        PgcoolRead();
        QCOMPARE(FieldText(PgcoolRecord.CLD_L_NR), QStringLiteral("520010"));
        QCOMPARE(FieldText(PgcoolRecord.CLD_L_NR_I), QStringLiteral("I52001"));
        QCOMPARE(FieldText(PgcoolRecord.CLD_KBEZ_I), QStringLiteral("52I "));
        QCOMPARE(PgcoolRecord.CLD_N, 4.0);
        QCOMPARE(PgcoolRecord.ArticlePrice, 52.0);  // never the galvanised price
    }

    void diameterAndTemperatureRecords() {
        f->Insert("Durdat.DB", {{"D_R_DM", 114.3}, {"D_R_DI", 4.5}, {"D_MIN_ABS", 89.9}, {"D_MAX_ABS", 115.3},
                                {"D_R_DM_KZ", 9}, {"D_EMIN_MM", 112.3}, {"D_EMAX_MM", 1.0}, {"D_NENNWTE", 100},
                                {"D_NENN_INCH", 4.0}, {"D_LG_KZ", "Y"}});
        f->Insert("Temdat.DB", {{"T_KLASSE", 7}, {"T_TEMP", 400}});
        f->Start();
        DurdatRecord.D_R_DM_KZ = 9;
        DurdatStart1();
        DurdatReadNext1();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        QCOMPARE(DurdatRecord.D_R_DM, 114.3);
        QCOMPARE(DurdatRecord.D_MIN_ABS, 89.9);
        QCOMPARE(DurdatRecord.D_NENNWTE, int16_t(100));
        QCOMPARE(DurdatRecord.D_NENN_INCH, 4.0);
        QCOMPARE(DurdatRecord.D_LG_KZ[0], 'Y');
        TemdatRecord.T_TEMP = 399.5;
        TemdatStart1();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        TemdatReadNext1();
        QCOMPARE(TemdatRecord.T_KLASSE, int16_t(7));
        QCOMPARE(TemdatRecord.T_TEMP, 400.0);
        TemdatRecord.T_TEMP = 400.5;
        TemdatStart1();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(2));
    }

    void arrangement_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("area");
        QTest::addColumn<QString>("expectedName");
        QTest::addColumn<QString>("expectedArea");
        QTest::newRow("full name") << "SHHAESBH" << "H" << "SHHAESBH" << "H";
        QTest::newRow("short name, empty area") << "SHHRES" << "" << "SHHRES  " << " ";
    }
    void arrangement() {
        QFETCH(QString, name);
        QFETCH(QString, area);
        f->Insert("ABHGNR.DB", {{"A_NR", 101}, {"A_NAME", name}, {"A_BER", area}, {"A_LFD_BT1", 750},
                                {"A_LFD_BT2", 610}, {"A_LFD_BT16", 7}});
        f->Start();
        DBKONST->ABHGDB.First();
        LoadArrangement();
        QTEST(QString::fromLatin1(ArrangementRecord.A_NAME, 8), "expectedName");
        QTEST(QString::fromLatin1(ArrangementRecord.A_BER, 1), "expectedArea");
        QCOMPARE(QString::fromLatin1(ArrangementRecord.A_LFD_BT[0], 3), QStringLiteral("750"));
        QCOMPARE(QString::fromLatin1(ArrangementRecord.A_LFD_BT[1], 3), QStringLiteral("610"));
        QCOMPARE(QString::fromLatin1(ArrangementRecord.A_LFD_BT[2], 3), QStringLiteral("000"));
        QCOMPARE(QString::fromLatin1(ArrangementRecord.A_LFD_BT[15], 3), QStringLiteral("007"));
    }

    // Every dispatch shows the kind it was called with, also a read that
    // keeps the filter of its start and a code the unit does not serve;
    // the read still sees only the kind of its start.
    void textKindShownAtEveryDispatch_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<int>("status");
        QTest::addColumn<double>("value");  // TXT_NUM after the call
        QTest::newRow("R1") << QByteArray("R1") << 0 << 15.0;
        QTest::newRow("RN") << QByteArray("RN") << 0 << 15.0;
        QTest::newRow("OI") << QByteArray("OI") << 99 << -1.0;
        QTest::newRow("XX") << QByteArray("XX") << 99 << -1.0;
    }
    void textKindShownAtEveryDispatch() {
        QFETCH(QByteArray, code);
        QFETCH(int, status);
        QFETCH(double, value);
        f->Insert("Txttab.DB", {{"TXT_KZ", "LGC"}, {"TXT_NR", 3}, {"TXT_NUM", 15.0}, {"TXT_TEXT", "c"}});
        f->Insert("Txttab.DB", {{"TXT_KZ", "LGD"}, {"TXT_NR", 2}, {"TXT_NUM", 14.0}, {"TXT_TEXT", "d"}});
        f->Start();
        PutText(TextRecord.TXT_KZ, QStringLiteral("LGC"));
        TextRecord.TXT_NUM = 10.0;
        TextRecord.TXT_NR = 1;
        TxttabDispatch(code == "RN" ? "S " : "S1");
        QCOMPARE(TextRecord.KindFilter, QStringLiteral("TXT_KZ = 'LGC'"));
        PutText(TextRecord.TXT_KZ, QStringLiteral("LGD"));
        TextRecord.TXT_NUM = code.startsWith('R') ? 10.0 : -1.0;
        QCOMPARE(int(TxttabDispatch(code.constData())), status);
        QCOMPARE(TextRecord.KindFilter, QStringLiteral("TXT_KZ = 'LGD'"));
        QCOMPARE(TextRecord.TXT_NUM, value);
    }

    void textKindsStayApart() {
        f->Insert("Txttab.DB", {{"TXT_KZ", "LGC"}, {"TXT_NR", 3}, {"TXT_NUM", 15.0}, {"TXT_TEXT", "c"}});
        f->Insert("Txttab.DB", {{"TXT_KZ", "LGD"}, {"TXT_NR", 3}, {"TXT_NUM", 19.95}, {"TXT_TEXT", "d"}});
        f->Insert("Txttab.DB", {{"TXT_KZ", "LGE"}, {"TXT_NR", 3}, {"TXT_NUM", 25.8}, {"TXT_TEXT", "e"}});
        f->Start();
        for (const auto& [kind, value] : std::initializer_list<std::pair<const char*, double>>{
                 {"LGD", 19.95}, {"LGC", 15.0}, {"LGE", 25.8}}) {
            PutText(TextRecord.TXT_KZ, QString::fromLatin1(kind));
            TextRecord.TXT_NR = 3;
            TxttabRead();
            QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
            QCOMPARE(TextRecord.TXT_NUM, value);
        }
        // A kind made of user text is a value, never part of the filter.
        PutText(TextRecord.TXT_KZ, QStringLiteral("' o"));
        TextRecord.TXT_NR = 3;
        TxttabRead();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(2));
    }

    // An older text table without ADR gains it at start and is open
    // afterwards, as after a normal start.
    void textTableGainsAdr() {
        const QString path = TablePath(f->dir.path(), "Txttab.DB");
        TFieldDefs old = CatalogueTable("Txttab.DB").fieldDefs();
        old.removeLast();
        QFile::remove(path);
        CreateTableFile(path, old, CatalogueTable("Txttab.DB").indexDefs());
        f->Insert("Txttab.DB", {{"TXT_KZ", "LGC"}, {"TXT_NR", 9}, {"TXT_NUM", 3.0}});
        TDBKONST kon;
        QVERIFY(kon.TXTTAB.Active());
        QVERIFY(kon.TXTTAB.FindField("ADR"));
        QCOMPARE(kon.TXTTAB.FindField("ADR")->Size(), 30);
        QCOMPARE(kon.TXTTAB.RecordCount(), 1);
        QCOMPARE(kon.Path(), f->path());
    }

    void textTableWithAdrUntouched() {
        const QString path = TablePath(f->dir.path(), "Txttab.DB");
        const auto before = QFileInfo(path).lastModified();
        const QByteArray bytes = [&] { QFile file(path); file.open(QIODevice::ReadOnly); return file.readAll(); }();
        {
            TDBKONST kon;
            QVERIFY(kon.TXTTAB.Active());
        }
        Session().Close();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        QCOMPARE(QFileInfo(path).lastModified(), before);
    }
};

QTEST_GUILESS_MAIN(TestAccessRecords)
#include "tst_access_records.moc"
