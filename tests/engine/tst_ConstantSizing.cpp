// The constant-hanger sizing rule by rule, each on a catalogue of a few
// rows built so that the rule under test decides: sizes and ranges by the
// letters, the capacity window, the needed working travel, the next size
// by price, and the blocking position.
#include "SizingCatalogue.h"
#include "data/PGSTAT.h"
#include "engine/FINDHLG.h"
#include "engine/HangerSizing.h"

class TestConstantSizing : public QObject {
    Q_OBJECT
    ScriptedSelectionUi ui;
    SharedCatalogue shared;

private slots:
    void cleanupTestCase() { shared.Reset(); }
    void init() { ui = ScriptedSelectionUi(); }

    // One row of 20 kN at 10 kN, exactly half its capacity: every range
    // reaches W = (1.5 - 0.5) x T = T. A travel of T(n) - 10 mm fits range
    // n and no shorter one. Sizes below 10 only with letter 4 A (and not
    // with letters 5 D 7 D or 5 T 7 F) and then only 300 mm; size 10 up to
    // 450 mm, 11..15 up to 600 mm, larger sizes up to 900 mm, all beyond
    // 450 mm only with letter 4 A. Without a fitting range the rows run
    // out: 2173.
    void sizesAndRanges_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("expected");
        QTest::newRow("size 9: 300 mm") << "SHHAESBH" << 9 << 3 << 3;
        QTest::newRow("size 9: never 150 mm") << "SHHAESBH" << 9 << 2 << 3;
        QTest::newRow("size 9: no 450 mm") << "SHHAESBH" << 9 << 4 << 0;
        QTest::newRow("size 9 needs letter 4 A") << "SHHBESBH" << 9 << 3 << 0;
        QTest::newRow("size 9 not with letters 5 D 7 D") << "SHHADSDH" << 9 << 3 << 0;
        QTest::newRow("size 9 not with letters 5 T 7 F") << "SHHATSFH" << 9 << 3 << 0;
        QTest::newRow("size 9 with letters 5 D 7 F") << "SHHADSFH" << 9 << 3 << 3;
        QTest::newRow("size 10: 150 mm") << "SHHAESBH" << 10 << 2 << 2;
        QTest::newRow("size 10 without letter 4 A") << "SHHBESBH" << 10 << 2 << 2;
        QTest::newRow("size 10: 300 mm") << "SHHAESBH" << 10 << 3 << 3;
        QTest::newRow("size 10: no 450 mm") << "SHHAESBH" << 10 << 4 << 0;
        QTest::newRow("size 11: 600 mm") << "SHHAESBH" << 11 << 5 << 5;
        QTest::newRow("size 11: no 750 mm") << "SHHAESBH" << 11 << 6 << 0;
        QTest::newRow("size 15: no 750 mm") << "SHHAESBH" << 15 << 6 << 0;
        QTest::newRow("size 16: 750 mm") << "SHHAESBH" << 16 << 6 << 6;
        QTest::newRow("size 16: 900 mm") << "SHHAESBH" << 16 << 7 << 7;
        QTest::newRow("size 13: 300 mm without letter 4 A") << "SHHBESBH" << 13 << 3 << 3;
        QTest::newRow("size 13: 450 mm needs letter 4 A") << "SHHBESBH" << 13 << 4 << 0;
        QTest::newRow("size 13: 450 mm with letter 4 A") << "SHHAESBH" << 13 << 4 << 4;
    }
    void sizesAndRanges() {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(int, n);
        QFETCH(int, expected);
        shared.Get([&](SizingCatalogue& cat) {
            cat.Group("LGK", size, 20);
        }, QString::number(size));
        PlainSizingSupport(10, -(150.0 * (n - 1) - 10));
        SetArrangement(name);
        ConstantHangerSizing();
        if (expected == 0) {
            QCOMPARE(int(CalcGlobals.TableStatus), 1);
            QCOMPARE(int(CalcGlobals.MessageNumber), 2173);
            return;
        }
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(int(CalcGlobals.MainUnitLoadGroup), size);
        QCOMPARE(int(CalcGlobals.MainUnitRangeIndex), expected);
        QCOMPARE(int(ConstructionRecord.K_ARBWEG), 150 * (expected - 1));
        QCOMPARE(int(ConstructionRecord.K_ARBWEG_EFF), 150 * (expected - 1));
        QCOMPARE(qint64(CalcGlobals.MainUnitNumber), qint64(ConstantHangerNumber(size, expected)));
        QVERIFY(CalcGlobals.ConstantHangerChosen);
        QCOMPARE(ConstructionRecord.K_LAST_AUSG, 0.0);
        QCOMPARE(ConstructionRecord.K_FDR_RATE, 0.0);
    }

    // The window of a size: 0.4 x capacity up to the capacity, for the load
    // less and plus the load reserve (none here). Size 13 of 20 kN and 14
    // of 26 kN, 100 mm of travel. 20 kN is the capacity itself; 20.0625 kN
    // goes to size 14; 8.01 kN is inside size 13, 7.99 kN below it and
    // below size 14 too.
    void capacityWindow_data() {
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("size");
        QTest::newRow("at the capacity") << 20.0 << 13;
        QTest::newRow("above the capacity") << 20.0625 << 14;
        QTest::newRow("above 40 %") << 8.01 << 13;
        QTest::newRow("below 40 %") << 7.99 << 0;
    }
    void capacityWindow() {
        QFETCH(double, load);
        QFETCH(int, size);
        shared.Get([&](SizingCatalogue& cat) {
            cat.Group("LGK", 13, 20);
            cat.Group("LGK", 14, 26);
        });
        PlainSizingSupport(load, 100);
        SetArrangement(QStringLiteral("SHHAESBH"));
        ConstantHangerSizing();
        QCOMPARE(int(CalcGlobals.MainUnitLoadGroup), size);
        QCOMPARE(int(CalcGlobals.MessageNumber), size ? 0 : 2173);
    }

    // With a load reserve the window holds both reserve loads: 10 % of
    // 18.5 kN gives 20.35 kN above size 13's 20 kN; 8.8 kN gives 7.92 kN
    // below its 8 kN.
    void capacityWindowWithReserve_data() {
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("size");
        QTest::newRow("upper reserve load above") << 18.5 << 14;
        QTest::newRow("upper reserve load inside") << 18.0 << 13;
        QTest::newRow("lower reserve load below") << 8.8 << 0;
        QTest::newRow("lower reserve load inside") << 9.0 << 13;
    }
    void capacityWindowWithReserve() {
        QFETCH(double, load);
        QFETCH(int, size);
        shared.Get([&](SizingCatalogue& cat) {
            cat.Group("LGK", 13, 20);
            cat.Group("LGK", 14, 26);
        });
        PlainSizingSupport(load, 100);
        ConstructionRecord.K_LR_KH = 10;
        SetArrangement(QStringLiteral("SHHAESBH"));
        ConstantHangerSizing();
        QCOMPARE(int(CalcGlobals.MainUnitLoadGroup), size);
    }

    // The needed working travel: [K_WR_KH % of t], or K_WR_KH_MM when
    // larger, plus t, cut to whole mm. Size 13 of 20 kN at 10 kN reaches
    // exactly 150 mm at range 2. 142.6 mm with 6 %: [8.556] = 8, [150.6]
    // = 150: range 2. Left uncut, either sum would pass 150.
    void neededWorkingTravel_data() {
        QTest::addColumn<double>("travel");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("mm");
        QTest::addColumn<int>("range");
        QTest::newRow("6 %: 150 mm") << 142.6 << 6 << 0 << 2;
        QTest::newRow("6 %, travel below 0") << -142.6 << 6 << 0 << 2;
        QTest::newRow("7 %: 151 mm") << 142.6 << 7 << 0 << 3;
        QTest::newRow("8 mm: the percentage decides") << 142.6 << 6 << 8 << 2;
        QTest::newRow("9 mm: the millimetres decide") << 142.6 << 6 << 9 << 3;
        QTest::newRow("150 mm, no reserve") << 150.0 << 0 << 0 << 2;
    }
    void neededWorkingTravel() {
        QFETCH(double, travel);
        QFETCH(int, percent);
        QFETCH(int, mm);
        QFETCH(int, range);
        shared.Get([&](SizingCatalogue& cat) {
            cat.Group("LGK", 13, 20);
        });
        PlainSizingSupport(10, travel);
        ConstructionRecord.K_WR_KH = int16_t(percent);
        ConstructionRecord.K_WR_KH_MM = int16_t(mm);
        SetArrangement(QStringLiteral("SHHAESBH"));
        ConstantHangerSizing();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(int(CalcGlobals.MainUnitRangeIndex), range);
    }

    // K_ARBWEG is the working travel at the load, K_ARBWEG_EFF the smaller
    // of those at the two reserve loads. 12.2 kN with 20 % on 20 kN at
    // 150 mm: [(1.5 - 0.488) x 150] = 151 at 9.76 kN, [(0.732 + 0.5) x 150]
    // = 184 at 14.64 kN, [(0.61 + 0.5) x 150] = 166 at 12.2 kN.
    void workingTravels() {
        shared.Get([&](SizingCatalogue& cat) {
            cat.Group("LGK", 13, 20);
        });
        PlainSizingSupport(12.2, 100);
        ConstructionRecord.K_LR_KH = 20;
        SetArrangement(QStringLiteral("SHHAESBH"));
        ConstantHangerSizing();
        QCOMPARE(int(CalcGlobals.MainUnitRangeIndex), 2);
        QCOMPARE(int(ConstructionRecord.K_ARBWEG), 166);
        QCOMPARE(int(ConstructionRecord.K_ARBWEG_EFF), 151);
    }

    // Letters 4 A, 5 D and 7 D (or 5 T and 7 F) let a size 10 carry from
    // 252 - (0.065 x K_BREITE + 230) x 0.5 = 133.75 N (width 100 mm) up,
    // in the first pass only; otherwise 40 % of 6 kN. 133.875 N lies
    // between it and the 134 N a factor 0.06 would give.
    void smallestLoadOfASpecialSizeTen_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("load");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<int>("size");
        QTest::newRow("135 N") << "SHHADSDH" << 0.135 << false << 10;
        QTest::newRow("133.5 N") << "SHHADSDH" << 0.1335 << false << 0;
        QTest::newRow("133.875 N") << "SHHADSDH" << 0.133875 << false << 10;
        QTest::newRow("letters 5 T 7 F") << "SHHATSFH" << 0.135 << false << 10;
        QTest::newRow("in a dead-weight repeat") << "SHHADSDH" << 0.135 << true << 0;
        QTest::newRow("without the letters") << "SHHADSEH" << 0.135 << false << 0;
        QTest::newRow("without letter 4 A") << "SHHBDSDH" << 0.135 << false << 0;
    }
    void smallestLoadOfASpecialSizeTen() {
        QFETCH(QString, name);
        QFETCH(double, load);
        QFETCH(bool, repeat);
        QFETCH(int, size);
        shared.Get([&](SizingCatalogue& cat) {
            cat.Group("LGK", 10, 6);
        });
        PlainSizingSupport(load, 50);
        ConstructionRecord.K_BREITE = 100;
        CalcGlobals.DeadWeightPassDone = repeat;
        SetArrangement(name);
        ConstantHangerSizing();
        QCOMPARE(int(CalcGlobals.MainUnitLoadGroup), size);
        QCOMPARE(int(CalcGlobals.MessageNumber), size ? 0 : 2173);
    }

    // The next size by price: 10.5 kN, 160 mm on sizes of 20 kN (300 mm,
    // 307) and 26 kN (150 mm reaches 164). The price column is the nuclear
    // one for a nuclear design. A next size whose 40 % lies above the load,
    // or that needs the same range, keeps the first choice; 40 % of 26.25
    // kN is the load itself, not above it: the next size at 150 mm,
    // [(1.5 - 0.4) x 150] = 165.
    void nextConstantSize_data() {
        QTest::addColumn<double>("nextCapacity");
        QTest::addColumn<bool>("nuclear");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("arbweg");
        QTest::newRow("ordinary prices: first choice") << 26.0 << false << 11013315 << 307;
        QTest::newRow("nuclear prices: next size") << 26.0 << true << 11014215 << 164;
        QTest::newRow("next size's 40 % above the load") << 27.0 << true << 11013315 << 307;
        QTest::newRow("next size's 40 % at the load") << 26.25 << true << 11014215 << 165;
        QTest::newRow("next size needs the same range") << 21.0 << true << 11013315 << 307;
    }
    void nextConstantSize() {
        QFETCH(double, nextCapacity);
        QFETCH(bool, nuclear);
        QFETCH(int, number);
        QFETCH(int, arbweg);
        shared.Get([&](SizingCatalogue& cat) {
            cat.Group("LGK", 13, 20);
            cat.Group("LGK", 14, nextCapacity);
            cat.PricedProduct(11013315, QStringLiteral("113315"), 100, 100);
            cat.PricedProduct(11014215, QStringLiteral("114215"), 120, 90);
            cat.PricedProduct(11014315, QStringLiteral("114315"), 50, 50);
        }, QString::number(nextCapacity));
        PlainSizingSupport(10.5, 160);
        ConstructionRecord.K_KERNTECH = nuclear;
        SetArrangement(QStringLiteral("SHHAESBH"));
        ConstantHangerSizing();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(qint64(CalcGlobals.MainUnitNumber), qint64(number));
        QCOMPARE(SearchKeyNumber(), number);
        QCOMPARE(qint64(PgstatRecord.STA_NRN), qint64(number));
        const bool next = number == 11014215;
        QCOMPARE(int(CalcGlobals.MainUnitLoadGroup), next ? 14 : 13);
        QCOMPARE(int(CalcGlobals.MainUnitRangeIndex), next ? 2 : 3);
        QCOMPARE(int(ConstructionRecord.K_ARBWEG), arbweg);
    }

    // The next size's working travel is taken at its own capacity: 10.5
    // kN, 315 mm; size 13 (20 kN) needs 450 mm ([1.025 x 300] = 307 is
    // short). Size 14 of 23.3178 kN reaches [(1.5 - 0.4503) x 300] = 314
    // at 300 mm, 1 mm short, so the first choice stays although the next
    // size is cheaper; 23.35 kN reaches [315.1] and replaces it.
    void nextSizeWorkingTravelAtItsCapacity_data() {
        QTest::addColumn<double>("nextCapacity");
        QTest::addColumn<int>("number");
        QTest::newRow("314 mm: first choice") << 23.3178 << 11013415;
        QTest::newRow("315 mm: next size") << 23.35 << 11014315;
    }
    void nextSizeWorkingTravelAtItsCapacity() {
        QFETCH(double, nextCapacity);
        QFETCH(int, number);
        SizingCatalogue cat;
        cat.Group("LGK", 13, 20);
        cat.Group("LGK", 14, nextCapacity);
        cat.PricedProduct(11013415, QStringLiteral("113415"), 100);
        cat.PricedProduct(11014315, QStringLiteral("114315"), 90);
        cat.Start();
        PlainSizingSupport(10.5, 315);
        SetArrangement(QStringLiteral("SHHAESBH"));
        ConstantHangerSizing();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(qint64(CalcGlobals.MainUnitNumber), qint64(number));
    }

    // No next size above size 18 for letters 4 F or R, nor for letters 5 D
    // and 7 D. Sizes of 20 and 26 kN as above, the next one cheaper.
    void nextSizeSkippedAboveEighteen_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("letter 4 F, size 18") << "SHHFESBH" << 18 << true;
        QTest::newRow("letter 4 F, size 19") << "SHHFESBH" << 19 << false;
        QTest::newRow("letter 4 R, size 18") << "SHHRESBH" << 18 << true;
        QTest::newRow("letter 4 R, size 19") << "SHHRESBH" << 19 << false;
        QTest::newRow("letters 5 D 7 D, size 18") << "SHHADSDH" << 18 << true;
        QTest::newRow("letters 5 D 7 D, size 19") << "SHHADSDH" << 19 << false;
        QTest::newRow("hanger, size 19") << "SHHAESBH" << 19 << true;
    }
    void nextSizeSkippedAboveEighteen() {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(bool, replaced);
        SetArrangement(name);
        const int first = ConstantHangerNumber(size, 3), next = ConstantHangerNumber(size + 1, 2);
        shared.Get([&](SizingCatalogue& cat) {
            cat.Group("LGK", size, 20);
            cat.Group("LGK", size + 1, 26);
            cat.PricedProduct(first, QString::number(first).left(6), 100);
            cat.PricedProduct(next, QString::number(next).left(6), 90);
        }, name + QString::number(size));
        PlainSizingSupport(10.5, 160);
        SetArrangement(name);
        ConstantHangerSizing();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(qint64(CalcGlobals.MainUnitNumber), qint64(replaced ? next : first));
    }

    // A support hanger on a bearing (letter 7 A with K_AUFLAGER_KZ) is a
    // "715" unit priced by its "110" row: here the "110" prices make the
    // next size cheaper while the "715" rows say the opposite.
    void bearingUnitPricedByItsHangerRow() {
        shared.Get([&](SizingCatalogue& cat) {
            cat.Group("LGK", 13, 20);
            cat.Group("LGK", 14, 26);
            cat.PricedProduct(11013315, QStringLiteral("113315"), 100);
            cat.PricedProduct(11014215, QStringLiteral("114215"), 90);
            cat.PricedProduct(71513365, QStringLiteral("713365"), 10);
            cat.PricedProduct(71514265, QStringLiteral("714265"), 1000);
        });
        PlainSizingSupport(10.5, 160);
        ConstructionRecord.K_AUFLAGER_KZ = true;
        SetArrangement(QStringLiteral("SHHAESAH"));
        ConstantHangerSizing();
        QCOMPARE(qint64(CalcGlobals.MainUnitNumber), qint64(71514265));
        QCOMPARE(int(CalcGlobals.MainUnitLoadGroup), 14);
    }

    // The blocking position and the travel reserves by the four cases of
    // half the capacity against the load and the travel's sign; size 13
    // of 20 kN (H = 10 kN) pre-selected at 300 mm.
    //   9.1 kN: A = [(1.5 - 0.455) x 300] = 313, H above the load;
    //     e = -50: [300 - 363 / 2] = 118, 118 - (300 - 313) = 131,
    //              [(313 - 131) - 50] = 132;
    //     e = +50: [300 - 263 / 2] = 168, [263 / 2] = 131, 300 - 168 = 132;
    //   10.9 kN: A = [(0.545 + 0.5) x 300] = 313, H not above it;
    //     e = -50: [263 / 2] = 131, 131, [(313 - 131) - 50] = 132;
    //     e = +50: [363 / 2] = 181, [263 / 2] = 131, 313 - 181 = 132.
    // The range the engineer may choose from: T - A .. T when the load is
    // below H, else 0 .. A.
    void blockingPosition_data() {
        QTest::addColumn<double>("load");
        QTest::addColumn<double>("travel");
        QTest::addColumn<QList<int>>("blocking");  // K_BLOCKIER, top, bottom
        QTest::addColumn<QList<int>>("range");
        QTest::newRow("H above the load, travel below 0") << 9.1 << -50.0 << QList<int>{118, 131, 132}
                                                         << QList<int>{-13, 300};
        QTest::newRow("H above the load, travel 0 or above") << 9.1 << 50.0 << QList<int>{168, 131, 132}
                                                            << QList<int>{-13, 300};
        QTest::newRow("H below the load, travel below 0") << 10.9 << -50.0 << QList<int>{131, 131, 132}
                                                         << QList<int>{0, 313};
        QTest::newRow("H below the load, travel 0 or above") << 10.9 << 50.0 << QList<int>{181, 131, 132}
                                                            << QList<int>{0, 313};
    }
    void blockingPosition() {
        QFETCH(double, load);
        QFETCH(double, travel);
        QFETCH(QList<int>, blocking);
        QFETCH(QList<int>, range);
        shared.Get([&](SizingCatalogue& cat) {
            cat.Group("LGK", 13, 20);
            cat.PricedProduct(11013315, QStringLiteral("113315"), 100);
        });
        PlainSizingSupport(load, travel);
        ConstructionRecord.K_BLOCK_VOR = true;
        ConstructionRecord.K_VGB_KZ = true;
        SetArrangement(QStringLiteral("SHHAESBH"));
        CalcGlobals.HorizontalHalvingMark = 1;
        PutText(CalcGlobals.PreselectedLoadNumber, QStringLiteral("113315"));
        CalcGlobals.PreselectedProductNumber = 11013315;
        QList<int> shown;
        ui.blockingDialog = [&shown] {
            shown = {CalcGlobals.BlockingRangeMin, CalcGlobals.BlockingRangeMax};
            return false;
        };
        ActiveUiScope active(ui);
        SelectPreselectedHanger();
        const TConstructionRecord& k = ConstructionRecord;
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(int(k.K_ARBWEG), 313);
        QCOMPARE(QList<int>({k.K_BLOCKIER, k.K_RES_ACTUAL_S_TOP, k.K_RES_ACTUAL_S_BUT}), blocking);
        QCOMPARE(shown, range);
        QCOMPARE(k.K_LAST_BLOK, load);
        QCOMPARE(QList<double>({CalcGlobals.BlockingSizingLoad, CalcGlobals.BlockingHalfCapacity,
                                CalcGlobals.BlockingNominalTravel, CalcGlobals.BlockingWorkingTravel}),
                 (QList<double>{load, 10, 300, 313}));
        QCOMPARE(FieldText(CalcGlobals.DisplayPartNumber), QStringLiteral("113315"));
    }
};

QTEST_GUILESS_MAIN(TestConstantSizing)
#include "tst_ConstantSizing.moc"
