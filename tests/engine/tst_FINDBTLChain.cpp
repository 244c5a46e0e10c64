// The chain end, rod division, arm-angle corrections and the bounded
// restarts of the component step, on small fixture tables.
#include "StepFixture.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "data/TXTTAB.h"
#include "engine/HYDROTEST.h"
#include "engine/StepTools.h"

class TestFindBtlChain : public QObject {
    Q_OBJECT
    StepUi ui;
    std::unique_ptr<CatalogueFixture> f;

    void Part(int number, int e, int adm = 0, double kg = 1, double kgPerM = 0) {
        f->Insert("Pgstat.DB", {{"STA_NRN", number}, {"STA_E", e}, {"STA_ADM", adm}, {"STA_GEW", kg},
                                {"STA_GEW_VER", kgPerM}});
    }
    void Chain(std::initializer_list<std::pair<double, int>> entries) {
        int i = 0;
        for (auto [n, q] : entries)
            CalcGlobals.ChainPartTable[std::size_t(i++)] = ChainPart{n, int16_t(q)};
    }
    void Name(const QString& name) {
        PutText(ArrangementRecord.A_NAME, name);
        PutText(ArrangementRecord.A_BER, QStringLiteral(" "));
    }

private slots:
    void initTestCase() {
        f = std::make_unique<CatalogueFixture>();
        // Stock rods of group 13: 1500, 2000, 2500, 3000; short rods 500, 1000.
        for (auto [d, len] : {std::pair{4, 1500}, {5, 2000}, {6, 2500}, {7, 3000}})
            Part(66013000 + d * 100, len, 2, 0, 1.4);
        Part(67013200, 500, 2, 0, 1.4);
        Part(67013300, 1000, 2, 0, 1.4);
        Part(64013000, 30, 0, 0.2);
        Part(63013000, 8);
        // Profile connection: profile 5 at heights 200 (width code 3) and 300,
        // profile 6 at 200 (code 4); the check row and the part of group 13.
        f->Insert("Txttab.DB", {{"TXT_KZ", "PRF"}, {"TXT_NR", 5}, {"TXT_NUM", 200.0}, {"TXT_PRF_BRT_KZ", "3"}});
        f->Insert("Txttab.DB", {{"TXT_KZ", "PRF"}, {"TXT_NR", 5}, {"TXT_NUM", 300.0}, {"TXT_PRF_BRT_KZ", "4"}});
        f->Insert("Txttab.DB", {{"TXT_KZ", "PRF"}, {"TXT_NR", 6}, {"TXT_NUM", 200.0}, {"TXT_PRF_BRT_KZ", "4"}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 78013311}, {"STA_X", 100}, {"STA_BREITE_M", 500}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 78013300}, {"STA_E", 70}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 78013400}, {"STA_E", 90}});
        Part(61013000, 50);
        // Beams of load groups 19 and 20 (third digit 5), 1000 mm wide.
        for (int g : {19, 20})
            f->Insert("Pgstat.DB", {{"STA_NRN", 79500000 + g * 1000}, {"STA_E", 120}, {"STA_BREITE", 1000},
                                    {"STA_GEW", 10.0}});
        // Beams of every kind at the last load group it allows.
        for (int n : {79114000, 79219000, 79321000, 79419000, 79719000, 79919000, 79019001})
            f->Insert("Pgstat.DB", {{"STA_NRN", n}, {"STA_E", 120}, {"STA_BREITE", 1000}, {"STA_GEW", 10.0}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 79019000}, {"STA_E", 120}, {"STA_BREITE", 50}, {"STA_GEW", 10.0}});
        // Main units of the R walk: a constant hanger 161, a spring support
        // 290 with its rod part 291, a tension/compression support 162 whose
        // rod parts (type 161, digit 4 '1') reach 100, 300 and 1000 mm.
        f->Insert("Pgstat.DB", {{"STA_NRN", 16113415}, {"STA_E", 400}, {"STA_BREITE", 50}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 29013218}, {"STA_E", 300}, {"STA_BREITE", 50}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 29113000}, {"STA_E", 100}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 16213415}, {"STA_E", 300}, {"STA_BREITE", 50}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 16199999}, {"STA_E", 300}, {"STA_X", 1000}, {"STA_BREITE", 50},
                                {"STA_BREITE_M", 900}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 70013000}, {"STA_E", 5}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 70019000}, {"STA_E", 5}, {"STA_GEW", 2.5}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 91130002}, {"STA_E", 4}, {"STA_GEW", 0.75}});
        for (auto [n, x] : {std::pair{16113000, 100}, {16113001, 300}, {16113002, 1000}})
            f->Insert("Pgstat.DB", {{"STA_NRN", n}, {"STA_E", 100}, {"STA_X", x}, {"STA_BREITE", 50},
                                    {"STA_BREITE_M", 900}});
        // Struts of groups 20 to 70, each 250-600 mm: a longer rod climbs
        // the sizes one restart at a time.
        for (int g = 20; g <= 70; ++g)
            f->Insert("Pgdyna.DB", {{"DYN_NRN", 39000010 + g * 10000}, {"DYN_E_MIN", 250}, {"DYN_E_MAX", 600},
                                    {"DYN_LAMBDA", 150}});
        // A dynamic end part of group 20 and one of group 21.
        for (int g : {20, 21})
            f->Insert("Pgdyna.DB", {{"DYN_NRN", 35100000 + g * 1000}, {"DYN_E", 100}});
        // A main unit of type 280 (300 mm, reaching 100 more) for position 202.
        f->Insert("Pgstat.DB", {{"STA_NRN", 28013218}, {"STA_E", 300}, {"STA_X", 100}});
        // An adjustable unit of group 20.
        f->Insert("Pgdyna.DB", {{"DYN_NRN", 32020000}, {"DYN_M_MIN", 100}, {"DYN_M_MAX", 200}, {"DYN_E", 520},
                                {"DYN_VERST", 50}});
        // A width unit for 500 mm: 200 mm high, 300 at its most.
        f->Insert("Pgdyna.DB", {{"DYN_NRN", 34050001}, {"DYN_E", 200}, {"DYN_E_MAX", 300}, {"DYN_LG_MAX", 30},
                                {"DYN_KRAFT", 100.0}});
        // A width unit for 600 mm of no capacity.
        f->Insert("Pgdyna.DB", {{"DYN_NRN", 34060001}, {"DYN_E", 150}, {"DYN_LG_MAX", 30}, {"DYN_KRAFT", 0.0}});
        // Hydrotest capacities: groups 10, 12, 13 (11 missing).
        for (auto [g, c] : {std::pair{10, 9.0}, {12, 13.5}, {13, 24.0}})
            f->Insert("Txttab.DB", {{"TXT_KZ", "LGF"}, {"TXT_NR", g}, {"TXT_NUM", c}});
        f->Start();
    }
    void cleanupTestCase() { f.reset(); }
    void init() {
        ui = StepUi();
        ResetCalcState();
        ResetComponentState();
        Name("SHHAESBH");
    }

    // Main chain 1..ChainEnd with rod markers (1..5) whose pieces stand
    // behind it; 999 entries are skipped; accessories at the tail.
    void finishChain_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<double>>("chain");
        QTest::addColumn<int>("chainEnd");
        QTest::addColumn<QList<int>>("pieces");
        QTest::addColumn<QList<double>>("expected");
        QTest::addColumn<int>("message");
        QTest::newRow("rod pieces after their marker")
            << "SHHAESBH" << QList<double>{75013000, 1, 60013000, 66013700, 64013000, 67013200, 63013000} << 3
            << QList<int>{3} << QList<double>{75013000, 66013700, 64013000, 67013200, 60013000, 63013000} << 0;
        QTest::newRow("a rod whose pieces are missing")
            << "SHHAESBH" << QList<double>{75013000, 1, 60013000} << 3 << QList<int>{2}
            << QList<double>{75013000, 60013000} << 0;
        QTest::newRow("999 skipped") << "SHHAESBH" << QList<double>{76113000, 999, 21013218} << 3 << QList<int>{}
                                     << QList<double>{76113000, 21013218} << 0;
        QTest::newRow("two rods of the double walk")
            << "SHHADSBH" << QList<double>{75013000, 1, 21013218, 67013200, 67013300} << 3 << QList<int>{1, 1}
            << QList<double>{75013000, 67013200, 67013300, 21013218} << 0;
        QTest::newRow("a rod marker 390 left over")
            << "SHHYESBS" << QList<double>{35003000, 390, 36090302} << 3 << QList<int>{} << QList<double>{} << 2718;
    }
    void finishChain() {
        QFETCH(QString, name);
        QFETCH(QList<double>, chain);
        QFETCH(int, chainEnd);
        QFETCH(QList<int>, pieces);
        QFETCH(QList<double>, expected);
        QFETCH(int, message);
        Name(name);
        for (int i = 0; i < chain.size(); ++i)
            CalcGlobals.ChainPartTable[std::size_t(i)] = ChainPart{chain[i], int16_t(i + 1)};
        for (int r = 0; r < pieces.size(); ++r)
            CalcGlobals.RodRecords[std::size_t(r)].PieceCount = int16_t(pieces[r]);
        CalcGlobals.ChainEnd = chainEnd;
        ConstructionRecord.K_ANZ[29] = 7;  // left by an earlier chain
        FinishChain();
        QCOMPARE(int(ConstructionRecord.K_ANZ[29]), 0);
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        if (message)
            return;
        QList<double> got;
        for (double n : ConstructionRecord.K_BTL_8)
            if (n != 0)
                got << n;
        QCOMPARE(got, expected);
        // The parts stand one after the other, no empty place between them.
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(ConstructionRecord.K_BTL_8[i], expected[i]);
        // Each part keeps its own quantity.
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(int(ConstructionRecord.K_ANZ[i]), int(chain.indexOf(expected[i]) + 1));
    }

    // The support record holds 30 parts (the parts list's 24 rows are the
    // composition's limit); a 31st ends the step instead of being dropped.
    void finishChainLimit_data() {
        QTest::addColumn<int>("parts");
        QTest::addColumn<int>("message");
        QTest::newRow("24") << 24 << 0;
        QTest::newRow("25") << 25 << 0;
        QTest::newRow("30") << 30 << 0;
        QTest::newRow("31") << 31 << int(MsgChainTooLong);
        QTest::newRow("40") << 40 << int(MsgChainTooLong);
    }
    void finishChainLimit() {
        QFETCH(int, parts);
        QFETCH(int, message);
        for (int i = 0; i < parts; ++i)
            CalcGlobals.ChainPartTable[std::size_t(i)] = ChainPart{double(60013000 + i), 1};
        CalcGlobals.ChainEnd = std::min(parts, 20);
        FinishChain();
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        QCOMPARE(int(CalcGlobals.TableStatus), message ? 1 : 0);
        const int kept = std::min(parts, 30);
        QCOMPARE(ConstructionRecord.K_BTL_8[kept - 1], 60013000.0 + kept - 1);
        if (kept < 30)
            QCOMPARE(ConstructionRecord.K_BTL_8[kept], 0.0);
    }

    // Stock 3000 mm: whole pieces, a coupling per piece and a rest piece.
    void divideRod_data() {
        QTest::addColumn<double>("length");
        QTest::addColumn<QList<double>>("parts");
        QTest::addColumn<QList<int>>("quantities");
        QTest::addColumn<double>("rest");
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("multiplicity");
        QTest::newRow("500 short") << 500.0 << QList<double>{67013200} << QList<int>{1} << 500.0 << 0 << 1;
        QTest::newRow("501 short, long variant") << 501.0 << QList<double>{67013300} << QList<int>{1} << 501.0 << 0 << 1;
        QTest::newRow("1000 short") << 1000.0 << QList<double>{67013300} << QList<int>{1} << 1000.0 << 0 << 1;
        QTest::newRow("1001 long") << 1001.0 << QList<double>{66013400} << QList<int>{1} << 1001.0 << 0 << 1;
        QTest::newRow("1500 long 1500") << 1500.0 << QList<double>{66013400} << QList<int>{1} << 1500.0 << 0 << 1;
        QTest::newRow("1501 long 2000") << 1501.0 << QList<double>{66013500} << QList<int>{1} << 1501.0 << 0 << 1;
        QTest::newRow("2000 long 2000") << 2000.0 << QList<double>{66013500} << QList<int>{1} << 2000.0 << 0 << 1;
        QTest::newRow("2001 long 2500") << 2001.0 << QList<double>{66013600} << QList<int>{1} << 2001.0 << 0 << 1;
        QTest::newRow("2500 long 2500") << 2500.0 << QList<double>{66013600} << QList<int>{1} << 2500.0 << 0 << 1;
        QTest::newRow("2501 long 3000") << 2501.0 << QList<double>{66013700} << QList<int>{1} << 2501.0 << 0 << 1;
        QTest::newRow("3000 one stock piece") << 3000.0 << QList<double>{66013700} << QList<int>{1} << 3000.0 << 0 << 1;
        QTest::newRow("4000: a piece, a coupling, a rest")
            << 4000.0 << QList<double>{66013700, 64013000, 67013300} << QList<int>{1, 1, 1} << 1000.0 << 0 << 1;
        // A rest below the size dimension (size 13: 215) shortens the pieces to 2500.
        QTest::newRow("6100: shortened to 2500")
            << 6100.0 << QList<double>{66013600, 64013000, 66013400} << QList<int>{2, 2, 1} << 1100.0 << 0 << 1;
        // A rest equal to the size dimension (125) keeps the full pieces.
        QTest::newRow("3125: rest at the size dimension")
            << 3125.0 << QList<double>{66013700, 64013000, 67013200} << QList<int>{1, 1, 1} << 125.0 << 0 << 1;
        // A double support counts the nuts of both rods.
        QTest::newRow("4000, double") << 4000.0 << QList<double>{66013700, 64013000, 67013300} << QList<int>{1, 1, 1}
                                      << 1000.0 << 0 << 2;
        QTest::newRow("14999: four pieces") << 14999.0 << QList<double>{66013700, 64013000, 66013700}
                                           << QList<int>{4, 4, 1} << 2999.0 << 0 << 1;
        QTest::newRow("16000: five pieces, rest 1000") << 16000.0 << QList<double>{} << QList<int>{} << 0.0 << 2620 << 1;
        QTest::newRow("15000: five pieces") << 15000.0 << QList<double>{} << QList<int>{} << 0.0 << 2620 << 1;
    }
    void divideRod() {
        QFETCH(double, length);
        QFETCH(QList<double>, parts);
        QFETCH(QList<int>, quantities);
        QFETCH(double, rest);
        QFETCH(int, message);
        QFETCH(int, multiplicity);
        Name("SHHAESBH");
        ResetComponentState();
        CalcGlobals.SizeDimensionTable = {87, 87, 98, 98, 125, 144, 191, 215, 258, 289, 334, 340, 373, 392, 474, 512};
        CalcGlobals.ClampLoadGroup = 13;
        CalcGlobals.BlockingRangeMin = 13 - 8;
        CalcGlobals.RodRecords[0].Multiplicity = int16_t(multiplicity);
        CalcGlobals.DeadWeight = 0;
        CalcGlobals.ChainPartIndex = 4;
        CalcGlobals.CurrentRodLength = length;
        ConstructionRecord.K_ZUGST_ST = 3000;
        Extended got = 0;
        DivideRod(1, got);
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        if (message)
            return;
        QCOMPARE(double(got), rest);
        QCOMPARE(int(CalcGlobals.RodRecords[0].PieceCount), parts.size());
        for (int i = 0; i < parts.size(); ++i) {
            QCOMPARE(CalcGlobals.ChainPartTable[std::size_t(4 + i)].ProductNumber, parts[i]);
            QCOMPARE(int(CalcGlobals.ChainPartTable[std::size_t(4 + i)].Quantity), quantities[i]);
        }
        // Two nuts per rod piece, tallied in the rod's size; couplings have
        // none.
        QCOMPARE(int(CalcGlobals.AccessoryKinds[0]), 13);
        int nuts = 0;
        for (int i = 0; i < parts.size(); ++i)
            if (parts[i] >= 66000000 && parts[i] < 68000000)
                nuts += 2 * quantities[i] * multiplicity;
        QCOMPARE(int(CalcGlobals.AccessoryCounts[0]), nuts);
        // The full pieces weigh by their length (1.4 kg/m; digit 6: 7 is
        // 3000 mm, 6 is 2500), each coupling 0.2 kg; the rest piece is
        // weighed by the walk.
        double weight = 0;
        if (parts.size() == 3)
            weight = quantities[0] * (parts[0] == 66013700 ? 3000 : 2500) * 0.001 * 1.4 + quantities[1] * 0.2;
        QVERIFY2(qAbs(CalcGlobals.DeadWeight - weight) < 1e-9, qPrintable(QString::number(CalcGlobals.DeadWeight)));
    }

    // Stock of 2000 or 2500 mm: a rest below the size dimension (125)
    // shortens the pieces by 500 (digit one lower); any other stock is 3000.
    // On the imperial catalogue the stocks are 3657, 3048 and 2438 mm, a
    // shortening takes 609 off, and the rest's limits are 609, 1219, 1828,
    // 2438 and 3048.
    void divideRodOfShorterStock_data() {
        QTest::addColumn<int>("stock");
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<double>("length");
        QTest::addColumn<QList<double>>("parts");
        QTest::addColumn<double>("rest");
        QTest::addColumn<int>("message");
        QTest::newRow("2000: 2100") << 2000 << false << 2100.0 << QList<double>{66013400, 64013000, 67013300} << 600.0
                                    << 0;
        QTest::newRow("2500: 2600") << 2500 << false << 2600.0 << QList<double>{66013500, 64013000, 67013300} << 600.0
                                    << 0;
        QTest::newRow("2800 is 3000: 2600") << 2800 << false << 2600.0 << QList<double>{66013700} << 2600.0 << 0;
        // Five pieces are too many, each stock with its message.
        // 8100 leaves 100 after four pieces of 2000; pieces of 1500 take
        // five: too many. 6100 takes four of 1500 (digit 4), rest 100.
        QTest::newRow("2000: 8100 shortened to five") << 2000 << false << 8100.0 << QList<double>{} << 0.0 << 3621;
        QTest::newRow("2000: 6100 shortened to four")
            << 2000 << false << 6100.0 << QList<double>{66013400, 64013000, 67013200} << 100.0 << 0;
        QTest::newRow("2000: 11000") << 2000 << false << 11000.0 << QList<double>{} << 0.0 << 3621;
        QTest::newRow("2500: 13000") << 2500 << false << 13000.0 << QList<double>{} << 0.0 << 3620;
        QTest::newRow("imperial 609: short") << 3000 << true << 609.0 << QList<double>{67013200} << 609.0 << 0;
        QTest::newRow("imperial 610: short, long variant")
            << 3000 << true << 610.0 << QList<double>{67013300} << 610.0 << 0;
        QTest::newRow("imperial 1219: short") << 3000 << true << 1219.0 << QList<double>{67013300} << 1219.0 << 0;
        QTest::newRow("imperial 1220: long") << 3000 << true << 1220.0 << QList<double>{66013400} << 1220.0 << 0;
        QTest::newRow("imperial 1828") << 3000 << true << 1828.0 << QList<double>{66013400} << 1828.0 << 0;
        QTest::newRow("imperial 1829") << 3000 << true << 1829.0 << QList<double>{66013500} << 1829.0 << 0;
        QTest::newRow("imperial 2438") << 3000 << true << 2438.0 << QList<double>{66013500} << 2438.0 << 0;
        QTest::newRow("imperial 2439") << 3000 << true << 2439.0 << QList<double>{66013600} << 2439.0 << 0;
        QTest::newRow("imperial 3048") << 3000 << true << 3048.0 << QList<double>{66013600} << 3048.0 << 0;
        QTest::newRow("imperial 3049") << 3000 << true << 3049.0 << QList<double>{66013700} << 3049.0 << 0;
        QTest::newRow("imperial 3657: one stock piece")
            << 3000 << true << 3657.0 << QList<double>{66013700} << 3657.0 << 0;
        // 3757 leaves 100 below the size dimension: pieces of 3657 - 609 =
        // 3048 (digit 6), rest 3757 - 3048 = 709, above 609.
        QTest::newRow("imperial 3757: shortened to 3048")
            << 3000 << true << 3757.0 << QList<double>{66013600, 64013000, 67013300} << 709.0 << 0;
        // 2500 is 3048: 3148 leaves 100, pieces of 2439 (digit 5), rest 709.
        QTest::newRow("imperial 2500: 3148 shortened to 2439")
            << 2500 << true << 3148.0 << QList<double>{66013500, 64013000, 67013300} << 709.0 << 0;
        QTest::newRow("imperial 2000: 2538 shortened to 1829")
            << 2000 << true << 2538.0 << QList<double>{66013400, 64013000, 67013300} << 709.0 << 0;
        QTest::newRow("imperial: five pieces of 3657") << 3000 << true << 18285.0 << QList<double>{} << 0.0 << 2620;
    }
    void divideRodOfShorterStock() {
        QFETCH(int, stock);
        QFETCH(bool, imperial);
        QFETCH(double, length);
        QFETCH(QList<double>, parts);
        QFETCH(double, rest);
        Name("SHHAESBS");
        ResetComponentState();
        CalcGlobals.SizeDimensionTable = {87, 87, 98, 98, 125, 144, 191, 215, 258, 289, 334, 340, 373, 392, 474, 512};
        CalcGlobals.ClampLoadGroup = 13;
        CalcGlobals.BlockingRangeMin = 13 - 8;
        CalcGlobals.RodRecords[0].Multiplicity = 1;
        CalcGlobals.ChainPartIndex = 4;
        CalcGlobals.CurrentRodLength = length;
        ConstructionRecord.K_ZUGST_ST = int16_t(stock);
        ConstructionRecord.K_KATA_KZ = imperial;
        Extended got = 0;
        DivideRod(1, got);
        QFETCH(int, message);
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        if (message)
            return;
        QCOMPARE(double(got), rest);
        QCOMPARE(int(CalcGlobals.RodRecords[0].PieceCount), parts.size());
        for (int i = 0; i < parts.size(); ++i)
            QCOMPARE(CalcGlobals.ChainPartTable[std::size_t(4 + i)].ProductNumber, parts[i]);
    }

    // 1 m of rod at 2 kg/m: which rods count once, which twice, which not.
    void rodPieceWeight_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rod");
        QTest::addColumn<bool>("bearing");
        QTest::addColumn<double>("weight");
        QTest::newRow("E, C, rod 1: not counted") << "SHHAECCH" << 1 << false << 0.0;
        QTest::newRow("E, C, rod 2: once") << "SHHAECCH" << 2 << false << 2.0;
        QTest::newRow("E, A, rod 1: once") << "SHHAECAH" << 1 << false << 2.0;
        QTest::newRow("D, F, rod 3: not counted") << "SHHADCFH" << 3 << false << 0.0;
        QTest::newRow("D, F, rod 4: once") << "SHHADCFH" << 4 << false << 2.0;
        QTest::newRow("D, C, rod 2: not counted") << "SHHADCCH" << 2 << false << 0.0;
        QTest::newRow("D, C, rod 3: twice") << "SHHADCCH" << 3 << false << 4.0;
        QTest::newRow("D, D, rod 2: not counted") << "SHHADCDH" << 2 << false << 0.0;
        QTest::newRow("D, E, rod 2: not counted") << "SHHADCEH" << 2 << false << 0.0;
        QTest::newRow("T, H, rod 3: not counted") << "SHHATCHH" << 3 << false << 0.0;
        QTest::newRow("T, H, rod 4: once") << "SHHATCHH" << 4 << false << 2.0;
        QTest::newRow("T, A, rod 2 with bearing: twice") << "SHHATCAH" << 2 << true << 4.0;
        QTest::newRow("T, A, rod 2 without bearing: once") << "SHHATCAH" << 2 << false << 2.0;
        QTest::newRow("T, A, rod 1: once") << "SHHATCAH" << 1 << true << 2.0;
        // Letter 5 'T': 'C' and 'D' count from rod 2, 'E' to 'G' from rod
        // 3; twice for 'C' and 'E' at rod 3, 'B' and 'D' at rod 2, 'F' at
        // any counted rod; 'G' and later once.
        QTest::newRow("T, C, rod 1: not counted") << "SHHATCCH" << 1 << false << 0.0;
        QTest::newRow("T, C, rod 2: once") << "SHHATCCH" << 2 << false << 2.0;
        QTest::newRow("T, C, rod 3: twice") << "SHHATCCH" << 3 << false << 4.0;
        QTest::newRow("T, D, rod 1: not counted") << "SHHATCDH" << 1 << false << 0.0;
        QTest::newRow("T, D, rod 2: twice") << "SHHATCDH" << 2 << false << 4.0;
        QTest::newRow("T, D, rod 3: once") << "SHHATCDH" << 3 << false << 2.0;
        QTest::newRow("T, B, rod 2: twice") << "SHHATCBH" << 2 << true << 4.0;
        QTest::newRow("T, B, rod 1: once") << "SHHATCBH" << 1 << true << 2.0;
        QTest::newRow("T, E, rod 2: not counted") << "SHHATCEH" << 2 << false << 0.0;
        QTest::newRow("T, E, rod 3: twice") << "SHHATCEH" << 3 << false << 4.0;
        QTest::newRow("T, F, rod 3: twice") << "SHHATCFH" << 3 << false << 4.0;
        QTest::newRow("T, G, rod 2: not counted") << "SHHATCGH" << 2 << false << 0.0;
        QTest::newRow("T, G, rod 3: once") << "SHHATCGH" << 3 << false << 2.0;
        QTest::newRow("letter 8 S: never") << "SHHAECAS" << 1 << false << 0.0;
    }
    void rodPieceWeight() {
        QFETCH(QString, name);
        QFETCH(int, rod);
        QFETCH(bool, bearing);
        QFETCH(double, weight);
        Name(name);
        ConstructionRecord.K_AUFLAGER_KZ = bearing;
        PgstatRecord.STA_E = 1000;
        PgstatRecord.STA_GEW_VER = 2;
        PgstatRecord.STA_GEW = 7;
        CalcGlobals.DeadWeight = 0;
        AddRodPieceWeight(rod, 1, false);
        QCOMPARE(CalcGlobals.DeadWeight, weight);
        // A coupling weighs its own weight per piece.
        CalcGlobals.DeadWeight = 0;
        AddRodPieceWeight(rod, 3, true);
        QCOMPARE(CalcGlobals.DeadWeight, weight * 3 * 7 / 2);
    }

    void armAngle_data() {
        QTest::addColumn<double>("angle");
        QTest::addColumn<int>("vor");
        QTest::addColumn<bool>("inclined");
        QTest::addColumn<int>("message");
        QTest::newRow("0") << 0.0 << 0 << false << 0;
        QTest::newRow("4") << 4.0 << 0 << false << 0;  // -round(0.00244 x 100)
        QTest::newRow("4.5") << 4.5 << 0 << true << 0;
        QTest::newRow("60") << 60.0 << -100 << true << 0;
        QTest::newRow("90") << 90.0 << 100 << true << 0;
        QTest::newRow("89.99: no 16-bit value") << 89.99 << 0 << false << int(MsgArmAngleRange);
    }
    void armAngle() {
        QFETCH(double, angle);
        QFETCH(int, vor);
        QFETCH(bool, inclined);
        QFETCH(int, message);
        ConstructionRecord.K_T9_WINKEL = angle;
        PgrsrlRecord.RSL_E = 100;
        ApplyArmAngle();
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        if (message)
            return;
        QCOMPARE(int(ConstructionRecord.K_WKL_VOR), vor);
        QCOMPARE(CalcGlobals.InclinedArmFlag, inclined);
        QVERIFY(std::fabs(ConstructionRecord.K_WKL_SINUS - std::sin(angle * M_PI / 180) * 100) < 1e-9);
    }

    // Letter 8 'S' maps groups below 11 to 10 and 11, 12 to 12; a missing
    // row carries nothing.
    void loadGroupCheck_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("area");
        QTest::addColumn<QList<int>>("groups");  // main unit, support, component
        QTest::addColumn<double>("hydro");
        QTest::addColumn<int>("status");
        QTest::addColumn<double>("designLoad");
        QTest::newRow("S: group 3 reads 10") << "SHHAXSBS" << "" << QList<int>{13, 3, 3} << 9.0 << 0 << 4.5;
        QTest::newRow("S: group 3 reads 10, above") << "SHHAXSBS" << "" << QList<int>{13, 3, 3} << 9.01 << 1 << 0.0;
        QTest::newRow("S: group 11 reads 12") << "SHHAXSBS" << "" << QList<int>{13, 11, 11} << 13.5 << 0 << 6.75;
        QTest::newRow("S: group 13 stays") << "SHHAXSBS" << "" << QList<int>{13, 13, 13} << 24.0 << 0 << 12.0;
        QTest::newRow("R: main unit, full load") << "SHHRELBS" << "" << QList<int>{12, 3, 3} << 13.5 << 0 << 1.0;
        QTest::newRow("R: main unit, above") << "SHHRELBS" << "" << QList<int>{12, 3, 3} << 13.6 << 1 << 1.0;
        QTest::newRow("E: support group without mapping") << "SHHAESBX" << "" << QList<int>{13, 11, 10} << 0.1 << 1
                                                          << 1.0;
        QTest::newRow("E with H: main unit") << "SHHAESBH" << "" << QList<int>{13, 11, 10} << 24.0 << 0 << 1.0;
        QTest::newRow("other: component half, then the smaller")
            << "SHHAXSBH" << "" << QList<int>{13, 12, 10} << 13.5 << 0 << 6.75;
        QTest::newRow("other: half of 18 over 9") << "SHHAXSBH" << "" << QList<int>{13, 12, 10} << 18.01 << 1 << 9.005;
        // Branch 4 tests the component group's half only: the support group
        // (read as 10) would fail the full load.
        QTest::newRow("V D S: component half only") << "SHVADSBS" << "" << QList<int>{13, 3, 13} << 24.0 << 0 << 12.0;
        QTest::newRow("V D S: component half, above")
            << "SHVADSBS" << "" << QList<int>{13, 3, 13} << 48.01 << 1 << 24.005;
        // Branch 6 ends after the half test with letters 3 'V' and 5 'D'.
        QTest::newRow("V D other: ends after the half") << "SHVADSBH" << "" << QList<int>{10, 10, 13} << 24.0 << 0
                                                        << 12.0;
        QTest::newRow("D other: then the smaller group") << "SHHADSBH" << "" << QList<int>{10, 10, 13} << 24.0 << 1
                                                         << 12.0;
        QTest::newRow("other, area I: main unit half")
            << "SHHAXSBH" << "I" << QList<int>{13, 12, 10} << 27.0 << 1 << 13.5;
    }
    void loadGroupCheck() {
        QFETCH(QString, name);
        QFETCH(QString, area);
        QFETCH(QList<int>, groups);
        QFETCH(double, hydro);
        QFETCH(int, status);
        QFETCH(double, designLoad);
        Name(name);
        PutText(ArrangementRecord.A_BER, area.isEmpty() ? QStringLiteral(" ") : area);
        CalcGlobals.MainUnitLoadGroup = int16_t(groups[0]);
        CalcGlobals.SupportLoadGroup = int16_t(groups[1]);
        CalcGlobals.ComponentLoadGroup = int16_t(groups[2]);
        CalcGlobals.DesignLoad = 1.0;
        ConstructionRecord.K_HYDRO_LAST = hydro;
        CheckLoadGroup();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(int(CalcGlobals.MessageNumber), status ? 2739 : 0);
        if (status == 0 || designLoad != 0.0)
            QCOMPARE(CalcGlobals.DesignLoad, designLoad);
    }

    void Positions(const QStringList& positions) {
        for (int i = 0; i < 16; ++i)
            std::copy_n((i < positions.size() ? positions[i] : QStringLiteral("000")).toLatin1().constData(), 3,
                        ArrangementRecord.A_LFD_BT[i]);
    }

    // The plain walk looks beams up by width after their load-group limits.
    void plainWalkBeamLimit_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("message");
        QTest::newRow("19 passes") << 19 << 0;
        QTest::newRow("20 fails") << 20 << 2619;
    }
    void plainWalkBeamLimit() {
        QFETCH(int, group);
        QFETCH(int, message);
        Name("SHHATSAS");
        Positions({"795"});
        CalcGlobals.SupportLoadGroup = CalcGlobals.MainUnitLoadGroup = CalcGlobals.ComponentLoadGroup = int16_t(group);
        ConstructionRecord.K_BREITE = 100;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        QCOMPARE(ConstructionRecord.K_BTL_8[0], message ? 0.0 : 79519000.0);
        if (!message)
            QCOMPARE(CalcGlobals.ChainHeight, 120);
    }

    // Each beam kind (third digit) has its last load group: 1 up to 14
    // (2612 above), 2 and 4 up to 19 (2613), 3 up to 21 (2618), 5, 7, 8, 9
    // up to 19 (2619). Beams from 790 to 799 are looked up by width: the
    // first 790 row (50 mm) is narrower than the support's 100 mm, the
    // next one (1000 mm) is taken; kind 0 has no limit. A beam taken adds
    // its weight to the dead weight while parts are weighed: 10 kg (790:
    // one piece of 10 kg; above 790: 10 kg and 0 kg per metre of width).
    void beamLimitsByKind_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("message");
        QTest::addColumn<double>("part");
        QTest::addColumn<double>("weight");
        for (auto [type, last, message] : {std::tuple{"791", 14, 2612}, {"792", 19, 2613}, {"793", 21, 2618},
                                           {"794", 19, 2613}, {"797", 19, 2619}, {"799", 19, 2619}}) {
            const int t = QByteArray(type).toInt();
            QTest::addRow("%s at %d", type, last) << QString(type) << last << 0 << double(t * 100000 + last * 1000)
                                                  << 10.0;
            QTest::addRow("%s at %d", type, last + 1) << QString(type) << last + 1 << message << 0.0 << 0.0;
        }
        QTest::newRow("790 by width") << "790" << 19 << 0 << 79019001.0 << 10.0;
    }
    void beamLimitsByKind() {
        QFETCH(QString, type);
        QFETCH(int, group);
        QFETCH(int, message);
        QFETCH(double, part);
        QFETCH(double, weight);
        Name("SHHATSAS");
        Positions({type});
        CalcGlobals.SupportLoadGroup = CalcGlobals.MainUnitLoadGroup = CalcGlobals.ComponentLoadGroup = int16_t(group);
        ConstructionRecord.K_BREITE = 100;
        CalcGlobals.WeighParts = true;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        QCOMPARE(ConstructionRecord.K_BTL_8[0], part);
        QCOMPARE(CalcGlobals.DeadWeight, weight);
    }

    // A dynamic support of letter 5 'D' carries two of each part, of the
    // second component's load group (21); otherwise one, of the second
    // load group (20).
    void dynamicWalkDouble_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("part");
        QTest::addColumn<int>("quantity");
        QTest::newRow("D: two") << "SHHYDSBS" << 35121000.0 << 2;
        QTest::newRow("E: one") << "SHHYESBS" << 35120000.0 << 1;
    }
    void dynamicWalkDouble() {
        QFETCH(QString, name);
        QFETCH(double, part);
        QFETCH(int, quantity);
        Name(name);
        Positions({"351"});
        CalcGlobals.SecondLoadGroup = 20;
        CalcGlobals.SecondComponentLoadGroup = 21;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, part);
        QCOMPARE(int(CalcGlobals.ChainPartTable[0].Quantity), quantity);
        QCOMPARE(int(CalcGlobals.BlockingRangeMax), quantity);
    }

    // Position 202 of a dynamic walk enters the main unit in its own load
    // group (13) and opens a rod of its own: the parts after it take the
    // second load group (20: end part 35120000), and the rod walk fits the
    // main unit's height to the segment. Letter 4 'F' leaves the blocking
    // position out: 300 + 100 = 400 against 450, within the unit's reach
    // of 100, 50 left (2747).
    void dynamicConnectionPart() {
        Name("SHHFESBS");
        Positions({"202", "351"});
        CalcGlobals.MainUnitNumber = 28013218;
        CalcGlobals.MainUnitLoadGroup = 13;
        CalcGlobals.SecondLoadGroup = 20;
        CalcGlobals.SegmentHeights[0] = 450;
        ConstructionRecord.K_BLOCKIER = 30;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(int(CalcGlobals.MessageNumber), 2747);
        QCOMPARE(ConstructionRecord.K_RESTLAENGE_2, 50.0);
        QCOMPARE(CalcGlobals.ChainHeight, 400);
        QCOMPARE(ConstructionRecord.K_BTL_8[0], 28013218.0);
        QCOMPARE(ConstructionRecord.K_BTL_8[1], 35120000.0);
        QCOMPARE(ConstructionRecord.K_BTL_8[2], 0.0);
    }

    // The width unit counts at its largest height under letter 2 'S'.
    void widthUnitHeight_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("height");
        QTest::newRow("letter 2 S") << "SSHYESBS" << 300;
        QTest::newRow("letter 3 S") << "SHSYESBS" << 200;
    }
    void widthUnitHeight() {
        QFETCH(QString, name);
        QFETCH(int, height);
        Name(name);
        Positions({"340"});
        ConstructionRecord.K_BREITE = 500;
        ConstructionRecord.K_LAST = 5;
        CalcGlobals.SecondLoadGroup = CalcGlobals.ClampLoadGroup = 20;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, 34050001.0);
        QCOMPARE(CalcGlobals.ChainHeight, height);
    }

    // A profile connection above load group 17 under more than 100 kN
    // (half of it for letter 5 'D') asks first (box 1661); group 17 does not.
    void heavyProfileConnection_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("group");
        QTest::addColumn<double>("load");
        QTest::addColumn<bool>("box");
        QTest::newRow("18, 101 kN") << "SHHAESBS" << 18 << 101.0 << true;
        QTest::newRow("17, 101 kN") << "SHHAESBS" << 17 << 101.0 << false;
        QTest::newRow("18, 100 kN") << "SHHAESBS" << 18 << 100.0 << false;
        QTest::newRow("D: 18, 201 kN") << "SHHADSBS" << 18 << 201.0 << true;
        QTest::newRow("D: 18, 200 kN") << "SHHADSBS" << 18 << 200.0 << false;
    }
    void heavyProfileConnection() {
        QFETCH(QString, name);
        QFETCH(int, group);
        QFETCH(double, load);
        QFETCH(bool, box);
        Name(name);
        ConstructionRecord.K_AN_GEB = 78;
        ConstructionRecord.K_KLM_NR = 5;
        ConstructionRecord.K_KLM_HH = 200;
        ConstructionRecord.K_LAST = load;
        CalcGlobals.ClampLoadGroup = int16_t(group);
        CalcGlobals.BlockingRangeMax = 1;
        CalcGlobals.ArmWidth = 100;
        CalcGlobals.ArmSpan = 500;
        int position = 1;
        ActiveUiScope scope(ui);
        SelectFirstComponent(position);
        QCOMPARE(ui.count("information"), box ? 1 : 0);
        QCOMPARE(int(CalcGlobals.MessageNumber) == 1661, box);
        if (box)
            QCOMPARE(int(CalcGlobals.TableStatus), 6);
    }

    // A profile connection carries load groups up to 19 (2616 above).
    void profileConnectionGroupLimit_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<bool>("refused");
        QTest::newRow("19") << 19 << false;
        QTest::newRow("20") << 20 << true;
    }
    void profileConnectionGroupLimit() {
        QFETCH(int, group);
        QFETCH(bool, refused);
        Name("SHHAESBS");
        ConstructionRecord.K_AN_GEB = 78;
        ConstructionRecord.K_KLM_NR = 5;
        ConstructionRecord.K_KLM_HH = 200;
        ConstructionRecord.K_LAST = 5;
        CalcGlobals.ClampLoadGroup = int16_t(group);
        CalcGlobals.BlockingRangeMax = 1;
        CalcGlobals.ArmWidth = 100;
        CalcGlobals.ArmSpan = 500;
        int position = 1;
        ActiveUiScope scope(ui);
        SelectFirstComponent(position);
        QCOMPARE(int(CalcGlobals.MessageNumber) == 2616, refused);
        if (refused)
            QCOMPARE(int(CalcGlobals.TableStatus), 7);
    }

    // A width unit carries loads up to its capacity at every level: with no
    // load at all, even the unit of no capacity.
    void widthUnitAtItsCapacity() {
        Name("SHHYESBS");
        Positions({"340"});
        ConstructionRecord.K_BREITE = 600;
        ConstructionRecord.K_LAST = 0;
        ConstructionRecord.K_LAST_DYN_2 = 0;
        ConstructionRecord.K_LAST_DYN_3 = 0;
        CalcGlobals.SecondLoadGroup = CalcGlobals.ClampLoadGroup = 20;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, 34060001.0);
    }

    // The rest rod weighs in the chain under letter 7 'A' or 'B', under 'C'
    // from the second rod on, under any later letter not at all (1000 mm
    // at 1.4 kg/m; the clevis between two rods 1 kg). The letters after
    // 'A' hang from above without building parts (66): the rods start at
    // position 2.
    void restRodWeight_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("positions");
        QTest::addColumn<double>("weight");
        QTest::newRow("A") << "SHHAESAS" << QStringList{"660"} << 1.4;
        QTest::newRow("A, rod position 670") << "SHHAESAS" << QStringList{"670"} << 1.4;
        QTest::newRow("B") << "SHHAESBS" << QStringList{"750", "660"} << 1.4;
        QTest::newRow("C, one rod") << "SHHAESCS" << QStringList{"750", "660"} << 0.0;
        QTest::newRow("C, second rod") << "SHHAESCS" << QStringList{"750", "660", "610", "660"} << 2.4;
        QTest::newRow("D, second rod") << "SHHAESDS" << QStringList{"750", "660", "610", "660"} << 1.0;
    }
    void restRodWeight() {
        QFETCH(QString, name);
        QFETCH(QStringList, positions);
        QFETCH(double, weight);
        Name(name);
        Positions(positions);
        CalcGlobals.SupportLoadGroup = CalcGlobals.MainUnitLoadGroup = CalcGlobals.ComponentLoadGroup = 13;
        CalcGlobals.SegmentHeights = {1000, 1050, 0, 0, 0};
        CalcGlobals.WeighParts = true;
        CalcGlobals.DeadWeight = 0;
        ConstructionRecord.K_ZUGST_ST = 3000;
        ConstructionRecord.K_OB_ANSCH = true;
        ConstructionRecord.K_AN_GEB = 66;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(ConstructionRecord.K_BTL_8[0], 67013300.0);
        QCOMPARE(ConstructionRecord.K_RESTLAENGE_1, 1000.0);
        QVERIFY2(qAbs(CalcGlobals.DeadWeight - weight) < 1e-9, qPrintable(QString::number(CalcGlobals.DeadWeight)));
    }

    void profileConnection_data() {
        QTest::addColumn<int>("profile");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("armWidth");
        QTest::addColumn<int>("armSpan");
        QTest::addColumn<int>("message");
        QTest::addColumn<double>("part");
        QTest::newRow("profile 5, 200") << 5 << 200 << 100 << 500 << 0 << 78013300.0;
        QTest::newRow("profile 5, 300: width code 4, no check row") << 5 << 300 << 100 << 500 << 2621 << 0.0;
        QTest::newRow("no profile row") << 5 << 201 << 100 << 500 << 2617 << 0.0;
        // Profile 6 at 200 has width code 4 of its own (profile 5's row of
        // that height has 3): the check row 78013411 is missing.
        QTest::newRow("profile 6, 200: its own width code 4") << 6 << 200 << 100 << 500 << 2621 << 0.0;
        QTest::newRow("arm width below the part's") << 5 << 200 << 99 << 500 << 2621 << 0.0;
        QTest::newRow("arm span above the part's") << 5 << 200 << 100 << 501 << 2634 << 0.0;
    }
    void profileConnection() {
        QFETCH(int, profile);
        QFETCH(int, height);
        QFETCH(int, armWidth);
        QFETCH(int, armSpan);
        QFETCH(int, message);
        QFETCH(double, part);
        Name("SHHAESBS");
        ConstructionRecord.K_AN_GEB = 78;
        ConstructionRecord.K_KLM_NR = int16_t(profile);
        ConstructionRecord.K_KLM_HH = int16_t(height);
        ConstructionRecord.K_LAST = 5;
        CalcGlobals.ClampLoadGroup = 13;
        CalcGlobals.BlockingRangeMax = 1;
        CalcGlobals.ArmWidth = int16_t(armWidth);
        CalcGlobals.ArmSpan = int16_t(armSpan);
        const QString index = f->kon->TXTTAB.IndexName();
        int position = 1;
        ActiveUiScope scope(ui);
        SelectFirstComponent(position);
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, part);
        if (!message) {
            QCOMPARE(CalcGlobals.ChainPartTable[1].ProductNumber, 61013000.0);
            QCOMPARE(position, 3);
        }
        // The text table still reads its load-group rows by kind.
        std::copy_n("LGF", 3, TextRecord.TXT_KZ);
        TextRecord.TXT_NR = 13;
        TxttabRead();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(TextRecord.TXT_NUM, 24.0);
        QCOMPARE(f->kon->TXTTAB.IndexName(), index);
    }

    // The R walk's positions 290 and 291 and its checks at the end of the
    // list: main unit 161 passes 291 over; a 291 part leaves 2844, a box
    // for a positive rod; letters 1 'D' with 7 'F' start at the 2642 check,
    // 'S' with 6 'X' check nothing; a tension/compression support looks its
    // first part up again by the rod length.
    void rWalkEnd_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("main");
        QTest::addColumn<int>("group");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("segment");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("message");
        QTest::addColumn<QList<double>>("chain");
        QTest::addColumn<QStringList>("box");  // the values the box shows; empty: no box
        const QList<double> spring{29113000, 29013218};
        QTest::newRow("161 passes 291 over") << "SHHRELBS" << 16113415.0 << 13 << "" << 400 << 0 << 0
                                             << QList<double>{16113415} << QStringList{};
        QTest::newRow("291 at rod 0: warning") << "SHHRELBS" << 29013218.0 << 13 << "" << 400 << 0 << 2844 << spring
                                               << QStringList{};
        QTest::newRow("rod left over replaces it") << "SHHRELBS" << 29013218.0 << 13 << "" << 450 << 0 << 2838
                                                   << spring << QStringList{};
        QTest::newRow("D F: 291 box for a positive rod")
            << "DHHRELFS" << 29013218.0 << 13 << "" << 450 << 6 << 2844 << QList<double>{} << QStringList{" 50"};
        // 50 mm is 1.97 in: the imperial box shows 2.
        QTest::newRow("D F: 291 box, imperial") << "DHHRELFS" << 29013218.0 << 13 << "imperial" << 450 << 6 << 2845
                                                << QList<double>{} << QStringList{"RS2845 2"};
        // Letter 6 'X' leaves the check of a negative rod to 1 'S'.
        QTest::newRow("D X: chain above the segment") << "DHHREXBS" << 29013218.0 << 13 << "" << 350 << 0 << 2836
                                                      << spring << QStringList{};
        // A rod of 1 mm is looked up: the part's 50 is more.
        QTest::newRow("tension: rod of 1 mm") << "SHHRELBS" << 16213415.0 << 13 << "zug ptfe" << 401 << 6 << 2842
                                              << QList<double>{} << QStringList{" 450", " 1000"};
        QTest::newRow("D F: chain above the segment") << "DHHRELFS" << 29013218.0 << 13 << "" << 350 << 0 << 2836
                                                      << spring << QStringList{};
        QTest::newRow("S X: no check") << "SHHREXBS" << 29013218.0 << 13 << "" << 350 << 0 << 2844 << spring << QStringList{};
        QTest::newRow("tension above group 19: 2642") << "SHHRELBS" << 29013218.0 << 20 << "zug ptfe" << 300 << 6
                                                      << 2642 << QList<double>{} << QStringList{};
        QTest::newRow("tension: rod part by length") << "SHHRELBS" << 16213415.0 << 13 << "zug ptfe" << 600 << 0 << 0
                                                     << QList<double>{16113001, 16213415} << QStringList{};
        QTest::newRow("tension from 16199999 on") << "SHHRELBS" << 16199999.0 << 13 << "zug ptfe" << 600 << 0 << 0
                                                  << QList<double>{16199999} << QStringList{};
        QTest::newRow("tension: beyond the part's range")
            << "SHHRELBS" << 16213415.0 << 13 << "zug ptfe" << 1100 << 6 << 2842 << QList<double>{} << QStringList{" 450", " 1000"};
        // The rod part reaches from its STA_BREITE 50 to STA_BREITE_M 900 less
        // the main unit's 300: rods of 50 and 600 fit, 49 does not (the
        // box adds the chain height 400 to both ends).
        QTest::newRow("tension: rod at the part's lower end")
            << "SHHRELBS" << 16213415.0 << 13 << "zug ptfe" << 450 << 0 << 0 << QList<double>{16113000, 16213415}
            << QStringList{};
        QTest::newRow("tension: rod at the part's upper end")
            << "SHHRELBS" << 16213415.0 << 13 << "zug ptfe" << 1000 << 0 << 0 << QList<double>{16113002, 16213415}
            << QStringList{};
        QTest::newRow("tension: rod below the part's range")
            << "SHHRELBS" << 16213415.0 << 13 << "zug ptfe" << 449 << 6 << 2842 << QList<double>{}
            << QStringList{" 450", " 1000"};
        // 450 mm = 17.7165 in (1 ft 5.7165), 1000 mm = 39.3701 in (3 ft 3.3701).
        QTest::newRow("tension: beyond the range, imperial")
            << "SHHRELBS" << 16213415.0 << 13 << "zug ptfe imperial" << 1100 << 6 << 2843 << QList<double>{}
            << QStringList{"RS2843 1 5.71653", " 3 3.37007"};
        // Letters 1 'D' and 'S' with 6 'S' or 7 'H' check the rod left over
        // as any other support does.
        QTest::newRow("D B: rod left over") << "DHHRESBS" << 29013218.0 << 13 << "" << 450 << 0 << 2838 << spring
                                            << QStringList{};
        QTest::newRow("S F H: rod left over") << "SHHRESFH" << 29013218.0 << 13 << "" << 450 << 0 << 2838 << spring
                                              << QStringList{};
        QTest::newRow("imperial: chain above the segment")
            << "DHHRELFS" << 29013218.0 << 13 << "imperial" << 350 << 0 << 2837 << spring << QStringList{};
        QTest::newRow("290: lateral travel beyond the unit")
            << "SHHRELBS" << 29013218.0 << 13 << "ptfe lateral" << 400 << 0 << 0 << spring << QStringList{};
    }
    void rWalkEnd() {
        QFETCH(QString, name);
        QFETCH(double, main);
        QFETCH(int, group);
        QFETCH(QString, flags);
        QFETCH(int, segment);
        QFETCH(int, status);
        QFETCH(int, message);
        QFETCH(QList<double>, chain);
        QFETCH(QStringList, box);
        Name(name);
        Positions({"291", "290"});
        CalcGlobals.MainUnitNumber = main;
        CalcGlobals.MainUnitLoadGroup = int16_t(group);
        CalcGlobals.SegmentHeights[0] = segment;
        ConstructionRecord.K_ZUG_DRUCK_KZ = flags.contains("zug");
        ConstructionRecord.K_PTFE_KZ = flags.contains("ptfe");
        ConstructionRecord.K_WEG_X = flags.contains("lateral") ? 51 : 0;
        ConstructionRecord.K_EINH_KZ = flags.contains("imperial");
        ConstructionRecord.K_HM_Q_2 = 1234;
        ConstructionRecord.K_MHOEHE_UNTEN.clear();
        ActiveUiScope scope(ui);
        SelectComponents();
        // A tension support looks its first part up again and takes the
        // lower height as entered.
        if (main >= 16199999 && flags.contains("zug") && status == 0)
            QCOMPARE(ConstructionRecord.K_MHOEHE_UNTEN, QStringLiteral("1234"));
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        QList<double> got;
        for (double n : ConstructionRecord.K_BTL_8)
            if (n != 0)
                got << n;
        QCOMPARE(got, chain);
        const int boxes = box.isEmpty() ? (flags.contains("lateral") || message == 2642 ? 1 : 0) : 1;
        QCOMPARE(ui.count("information: "), boxes);
        for (const QString& value : box)
            QVERIFY2(ui.log.last().contains(value), qPrintable(ui.log.last()));
    }

    // The slide plate of a PTFE bearing (position 700): its part up to load
    // group 19 with its weight, and 3 mm of sliding layer in any case;
    // nothing without PTFE. The PTFE plate (position 910) of the clamp read
    // last (43131202: 91 in digits 1-2, 0 in 5-6: 91130002) adds its weight
    // and 2 mm, no chain entry.
    void rWalkSlidePlate_data() {
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("group");
        QTest::addColumn<bool>("ptfe");
        QTest::addColumn<QList<double>>("chain");
        QTest::addColumn<int>("height");
        QTest::addColumn<double>("weight");
        QTest::newRow("group 13") << "700" << 13 << true << QList<double>{70013000, 29013218} << 308 << 0.0;
        QTest::newRow("group 19: the part and its weight")
            << "700" << 19 << true << QList<double>{70019000, 29013218} << 308 << 2.5;
        QTest::newRow("group 20: the layer only") << "700" << 20 << true << QList<double>{29013218} << 303 << 0.0;
        QTest::newRow("without PTFE") << "700" << 13 << false << QList<double>{29013218} << 300 << 0.0;
        QTest::newRow("PTFE plate") << "910" << 13 << true << QList<double>{29013218} << 302 << 0.75;
        QTest::newRow("PTFE plate without PTFE") << "910" << 13 << false << QList<double>{29013218} << 300 << 0.0;
    }
    void rWalkSlidePlate() {
        QFETCH(QString, position);
        QFETCH(int, group);
        QFETCH(bool, ptfe);
        QFETCH(QList<double>, chain);
        QFETCH(int, height);
        QFETCH(double, weight);
        Name("SHHRELBS");
        Positions({position, "290"});
        CalcGlobals.MainUnitNumber = 29013218;
        CalcGlobals.MainUnitLoadGroup = int16_t(group);
        CalcGlobals.SegmentHeights[0] = height;
        ConstructionRecord.K_PTFE_KZ = ptfe;
        PgrsrlRecord.RSL_NRN = 43131202;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(CalcGlobals.ChainHeight, height);
        QList<double> got;
        for (double n : ConstructionRecord.K_BTL_8)
            if (n != 0)
                got << n;
        QCOMPARE(got, chain);
        QCOMPARE(CalcGlobals.DeadWeight, weight);
    }

    // Every restart of the component step counts: after 40 the step ends
    // with its message instead of climbing on.
    void restartLimit() {
        Name("SHHYESBS");
        Positions({"390"});
        CalcGlobals.SecondLoadGroup = 20;
        CalcGlobals.SegmentHeights[0] = 700;
        Watchdog dog("restartLimit", std::chrono::seconds(30));
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.TableStatus), 1);
        QCOMPARE(int(CalcGlobals.MessageNumber), int(MsgRestartLimit));
        QCOMPARE(int(CalcGlobals.SecondLoadGroup), 20 + 41);
    }

    // The default strut walk: the rod below the end part 351 (100 mm) must
    // reach 10 mm (the reserve) into a strut's window 250 .. 600; a rod of
    // 255 (245 .. 265) is below every window of its size, the box names
    // 260 .. 590 with the chain height: 360 .. 690. 260 fits.
    // The rod markers 300, 320 and 270 mark a rod as 390 does.
    void strutRangeWithTheChain_data() {
        QTest::addColumn<QString>("marker");
        QTest::addColumn<int>("segment");
        QTest::addColumn<int>("message");
        QTest::newRow("rod 255") << "390" << 355 << 2744;
        QTest::newRow("rod 260") << "390" << 360 << 0;
        QTest::newRow("rod 260 at 300") << "300" << 360 << 0;
        QTest::newRow("rod 260 at 320") << "320" << 360 << 0;
        QTest::newRow("rod 260 at 270") << "270" << 360 << 0;
    }
    void strutRangeWithTheChain() {
        QFETCH(QString, marker);
        QFETCH(int, segment);
        QFETCH(int, message);
        Name("SHHYESBS");
        Positions({"351", marker});
        CalcGlobals.SecondLoadGroup = 20;
        CalcGlobals.SegmentHeights[0] = segment;
        ConstructionRecord.K_WR_GS = 10;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        QCOMPARE(int(CalcGlobals.TableStatus), message ? 6 : 0);
        if (message)
            QCOMPARE(ui.log, QStringList{"information: " + MessageWithValues(2744, {360, 690})});
        else
            QCOMPARE(ConstructionRecord.K_BTL_8[1], 39200010.0);
    }

    // Five rods, each below an end part (100 mm): every rod gets its strut
    // (the first 400, the others 500 - 100).
    void strutsOfFiveRods() {
        Name("SHHYESBS");
        Positions({"390", "351", "390", "351", "390", "351", "390", "351", "390"});
        CalcGlobals.SecondLoadGroup = 20;
        CalcGlobals.SegmentHeights = {400, 500, 500, 500, 500};
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QList<double> got;
        for (double n : ConstructionRecord.K_BTL_8)
            if (n != 0)
                got << n;
        const double strut = 39200010, end = 35120000;
        QCOMPARE(got, (QList<double>{strut, end, strut, end, strut, end, strut, end, strut}));
        QCOMPARE(ConstructionRecord.K_RESTLAENGE_1, 400.0);
    }

    // A walk of 16 positions without an end mark keeps its sixteenth part.
    void sixteenPositions() {
        Name("SHHATSAS");
        Positions(QStringList(16, QStringLiteral("610")));
        CalcGlobals.SupportLoadGroup = CalcGlobals.MainUnitLoadGroup = CalcGlobals.ComponentLoadGroup = 13;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(ConstructionRecord.K_BTL_8[15], 61013000.0);
        QCOMPARE(ConstructionRecord.K_BTL_8[16], 0.0);
        QCOMPARE(CalcGlobals.ChainHeight, 16 * 50);
        QCOMPARE(CalcGlobals.ChainEnd, 16);
    }

    // Letter 7 'C' fits an adjustable unit (320, window 520 - 20 +- 50) to
    // the rod below the end part: 600 - 100 = 500.
    void adjustableUnitInTheWalk() {
        Name("SHHYESCS");
        Positions({"351", "390"});
        CalcGlobals.SecondLoadGroup = 20;
        CalcGlobals.SegmentHeights[0] = 600;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(ConstructionRecord.K_BTL_8[1], 32020000.0);
        QCOMPARE(ConstructionRecord.K_RESTLAENGE_1, 500.0);
    }

    // The load level of the dynamic units follows the level that decided
    // the dynamic load group; the reset of the component state chooses it.
    void loadLevel_data() {
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("kind");
        QTest::newRow("P") << "P" << "LGP";
        QTest::newRow("E") << "E" << "LGE";
        QTest::newRow("D") << "D" << "LGD";
        QTest::newRow("C") << "C" << "LGC";
        QTest::newRow("blank") << " " << "LGC";
    }
    void loadLevel() {
        QFETCH(QString, level);
        PutText(ConstructionRecord.K_DYNLOAD_KZ, QStringLiteral("P"));
        ResetComponentState();
        PutText(ConstructionRecord.K_DYNLOAD_KZ, level);
        ResetComponentState();
        QTEST(LoadLevelKind(), "kind");
    }

    void emptyArrangementGivesEmptyChain() {
        Name("SHHAESAS");
        Positions({});
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(ConstructionRecord.K_BTL_8[0], 0.0);
        QCOMPARE(CalcGlobals.ChainEnd, 0);
    }

    void sizeDimensionsByLetter8_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("table");
        QTest::newRow("H") << "SHHAESAH"
                           << QList<int>{80, 80, 84, 84, 102, 120, 158, 180, 212, 249, 281, 317, 348, 366, 404, 440};
        QTest::newRow("S") << "SHHAESAS"
                           << QList<int>{87, 87, 98, 98, 125, 144, 191, 215, 258, 289, 334, 340, 373, 392, 474, 512};
    }
    void sizeDimensionsByLetter8() {
        QFETCH(QString, name);
        QFETCH(QList<int>, table);
        Name(name);
        Positions({});
        ActiveUiScope scope(ui);
        SelectComponents();
        QList<int> got;
        for (int16_t v : CalcGlobals.SizeDimensionTable)
            got << v;
        QCOMPARE(got, table);
    }

    // The rod left over in the R walk is the warning's value: whole
    // millimetres, or whole inches (50 mm: 1.97, so 2).
    // The lower height shown with it: the rod and the second height 1000,
    // 1050 mm, or in feet and inches 41.339 in: 3'-5.339".
    // A chain of 400 mm on a segment of 350 stands higher: the value is the
    // chain's height, 400 mm, or 15.748 in rounded to 16 (cut, 15); the
    // lower height has moved by the rod of -50 to 950 mm, 37.402 in.
    void rWalkWarningValue_data() {
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<int>("segment");
        QTest::addColumn<int>("message");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("height");
        QTest::addColumn<double>("second");  // K_HM_Q_2
        QTest::newRow("metric") << false << 450 << 2838 << 50.0 << "1050" << 1000.0;
        QTest::newRow("imperial") << true << 450 << 2839 << 2.0 << "3'-5.339\"" << 1000.0;
        // A rod of 524 mm (20.63 in, so 21) lowers to 1524 mm, 60 in less a
        // hair in the product: five whole feet, never 4'-12.000".
        QTest::newRow("imperial, whole feet") << true << 924 << 2839 << 21.0 << "5'-0.000\"" << 1000.0;
        // A second height entered in inch is a fraction of a millimetre:
        // 524 + 999.99 = 1523.99 mm is 59.99961 in, 60.000 at three
        // decimals, so five feet; rounding any finer first leaves
        // 59.9996, and 4'-12.000".
        QTest::newRow("imperial, whole feet at three decimals only")
            << true << 924 << 2839 << 21.0 << "5'-0.000\"" << 999.99;
        QTest::newRow("chain higher, metric") << false << 350 << 2836 << 400.0 << "950" << 1000.0;
        QTest::newRow("chain higher, imperial") << true << 350 << 2837 << 16.0 << "3'-1.402\"" << 1000.0;
    }
    void rWalkWarningValue() {
        QFETCH(bool, imperial);
        QFETCH(int, segment);
        QFETCH(int, message);
        QFETCH(double, value);
        QFETCH(QString, height);
        QFETCH(double, second);
        Name("SHHRELBS");
        Positions({"291", "290"});
        CalcGlobals.MainUnitNumber = 29013218;
        CalcGlobals.MainUnitLoadGroup = 13;
        CalcGlobals.SegmentHeights[0] = segment;
        ConstructionRecord.K_EINH_KZ = imperial;
        ConstructionRecord.K_HM_Q_2 = second;
        ConstructionRecord.K_MHOEHE_UNTEN.clear();
        ConstructionRecord.K_IHOEHE_UNTEN.clear();
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        QCOMPARE(int(ComponentWarningNumber()), message);
        QCOMPARE(ComponentWarningValue(), value);
        QCOMPARE((imperial ? ConstructionRecord.K_IHOEHE_UNTEN : ConstructionRecord.K_MHOEHE_UNTEN).trimmed(), height);
    }

    // The reset of the component step's state before every walk.
    void resetComponentState() {
        CalcGlobals.ChainEnd = 7;
        CalcGlobals.ChainHeight = 700;
        CalcGlobals.RodCount = 3;
        CalcGlobals.ChainPartIndex = 5;
        CalcGlobals.RunningHeight = 50;
        CalcGlobals.RodLengths[4] = 12;
        CalcGlobals.RodRecords[4].PieceCount = 2;
        CalcGlobals.AccessoryKinds[2] = 13;
        CalcGlobals.AccessoryCounts[2] = 4;
        CalcGlobals.ChainPartTable[39] = ChainPart{63013000, 4};
        TConstructionRecord& k = ConstructionRecord;
        k.K_RESTLAENGE_1 = 10, k.K_RESTLAENGE_2 = 20, k.K_RESTLAENGE_3 = 30;
        k.K_RESTLAENGE_4 = 40, k.K_RESTLAENGE_5 = 50;
        ResetComponentState();
        QCOMPARE(CalcGlobals.ChainEnd, 0);
        QCOMPARE(CalcGlobals.ChainHeight, 0);
        QCOMPARE(CalcGlobals.RodCount, 0);
        QCOMPARE(CalcGlobals.ChainPartIndex, 0);
        QCOMPARE(double(CalcGlobals.RunningHeight), 0.0);
        QCOMPARE(CalcGlobals.RodLengths[4], 999999);
        QCOMPARE(int(CalcGlobals.RodRecords[4].PieceCount), 0);
        QCOMPARE(int(CalcGlobals.AccessoryKinds[2]), 99);
        QCOMPARE(int(CalcGlobals.AccessoryCounts[2]), 0);
        QCOMPARE(CalcGlobals.ChainPartTable[39].ProductNumber, 0.0);
        QCOMPARE((QList<double>{k.K_RESTLAENGE_1, k.K_RESTLAENGE_2, k.K_RESTLAENGE_3, k.K_RESTLAENGE_4,
                                k.K_RESTLAENGE_5}),
                 (QList<double>{0, 0, 0, 0, 0}));
    }

    void messageValues() {
        QCOMPARE(FormatMessage("Rod %d: %d' %.3f\" (%s) 100 %%", {2, 3, 4.5, "x"}), QString("Rod 2: 3' 4.500\" (x) 100 %"));
        QCOMPARE(FormatMessage("no placeholder:", {"LG12"}), QString("no placeholder: LG12"));
        QCOMPARE(LengthValues(true, {1000}), (QVariantList{qint64(3), double(1000 * 0.03937007874015748L - 36)}));
        QCOMPARE(LengthValues(false, {999.9}), QVariantList{qint64(999)});
    }
};

QTEST_GUILESS_MAIN(TestFindBtlChain)
#include "tst_FINDBTLChain.moc"
