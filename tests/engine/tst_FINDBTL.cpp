// Product lookup on a small static product table whose numbers leave gaps
// and change type, the accessory tally's slots and the chain's end.
#include "EngineFixture.h"
#include "data/PGCOOL.h"
#include "data/PGDYNA.h"
#include "data/PGSTAT.h"
#include "engine/FINDBTL.h"
#include "engine/FINDBTLChain.h"
#include "engine/StepTools.h"

class TestFindBtl : public QObject {
    Q_OBJECT
    ScriptedSelectionUi ui;
    std::unique_ptr<CatalogueFixture> f;

    void Row(int number, int width, int x = 0) {
        f->Insert("Pgstat.DB", {{"STA_NRN", number}, {"STA_BREITE", width}, {"STA_ADM", 2}, {"STA_X", x},
                                {"STA_BREITE_M", width + 1}, {"STA_KBEZ", QString::number(number).left(2)},
                                {"STA_E", 10}, {"STA_L_NR", QString::number(number).mid(2, 6)},
                                {"STA_L_NR_K", number == 60014000 ? QStringLiteral("K14000") : QString()}});
    }

private slots:
    void initTestCase() {
        f = std::make_unique<CatalogueFixture>();
        Row(60013000, 0);
        Row(60014000, 0);
        Row(61013000, 0);
        Row(66013400, 10, 1500);
        Row(66013500, 20, 2000);
        Row(67013200, 30, 500);
        Row(79010000, 100);
        Row(79010001, 200);
        Row(80010000, 900);
        Row(81010000, 100);
        Row(81010001, 300);  // the last row of the table
        Row(79113000, 100);
        f->Insert("Pgdyna.DB", {{"DYN_NRN", 35013000}, {"DYN_E", 60}});
        // A pipe and a temperature class, but no dynamic product at all.
        f->Insert("Durdat.DB", {{"D_R_DM", 114.3}, {"D_R_DM_KZ", 9}, {"D_EMAX_MM", 1.0}, {"D_LG_KZ", " "}});
        f->Insert("Temdat.DB", {{"T_KLASSE", 3}, {"T_TEMP", 200}});
        f->Start();
    }
    void cleanupTestCase() { f.reset(); }
    void init() {
        ui = ScriptedSelectionUi();
        ResetCalcState();
        PutText(ArrangementRecord.A_NAME, QStringLiteral("SHHAESBH"));
    }

    // A dynamic clamp whose key lies beyond every dynamic row is not found
    // (2718), which differs from rows that carry no load (2737).
    void dynamicClampNotFound() {
        ConstructionRecord.K_RDM = 114.3;
        ConstructionRecord.K_TEM = 200;
        ConstructionRecord.K_LAST = 1;
        CalcGlobals.ChainPartIndex = 1;
        ActiveUiScope scope(ui);
        SelectDynamicUnit(QStringLiteral("370"));
        QCOMPARE(int(CalcGlobals.TableStatus), 1);
        QCOMPARE(int(CalcGlobals.MessageNumber), 2718);
        QCOMPARE(SearchKeyNumber(), 0);
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, 0.0);
    }

    void findStaticProduct_data() {
        QTest::addColumn<int>("wanted");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("found");
        QTest::newRow("exact") << 60013000 << 0 << 0 << 60013000;
        QTest::newRow("next of the type") << 60013500 << 0 << 0 << 60014000;
        QTest::newRow("next is another type") << 60020000 << 1 << 2719 << 61013000;
        QTest::newRow("other variant digit") << 60100000 << 1 << 2719 << 61013000;
        QTest::newRow("beyond the last row") << 90000000 << 1 << 2718 << -1;
    }
    void findStaticProduct() {
        QFETCH(int, wanted);
        QFETCH(int, status);
        QFETCH(int, message);
        QFETCH(int, found);
        SetSearchKey(wanted);
        FindStaticProduct();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        if (found > 0)
            QCOMPARE(SearchKeyNumber(), found);
    }

    // The width search ends at the end of the table and never takes a row
    // of another type.
    // A nuclear design needs a nuclear load number: the row without one is
    // refused (status 6) with message 2727 shown, naming its load number.
    void nuclearDesign_data() {
        QTest::addColumn<bool>("nuclear");
        QTest::addColumn<int>("wanted");
        QTest::addColumn<int>("status");
        QTest::newRow("nuclear, number missing") << true << 60013000 << 6;
        QTest::newRow("nuclear, number present") << true << 60013500 << 0;
        QTest::newRow("not nuclear") << false << 60013000 << 0;
    }
    void nuclearDesign() {
        QFETCH(bool, nuclear);
        QFETCH(int, wanted);
        QFETCH(int, status);
        ConstructionRecord.K_KERNTECH = nuclear;
        SetSearchKey(wanted);
        ActiveUiScope active(ui);
        FindStaticProduct();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(int(CalcGlobals.MessageNumber), status ? 2727 : 0);
        if (status)
            QCOMPARE(ui.log, QStringList{"error: " + MessageWithValues(2727, {QStringLiteral("013000")})});
        else
            QCOMPARE(ui.log, QStringList());
    }

    // A part refused for its missing nuclear number is not entered.
    void refusedPartNotEntered() {
        ConstructionRecord.K_KERNTECH = true;
        CalcGlobals.BlockingRangeMax = 1;
        SetSearchKey(60013000);
        ActiveUiScope active(ui);
        AddStaticPart();
        QCOMPARE(int(CalcGlobals.TableStatus), 6);
        QCOMPARE(CalcGlobals.ChainPartIndex, 0);
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, 0.0);
        QCOMPARE(double(CalcGlobals.RunningHeight), 0.0);
    }

    // A dynamic part: the next row of the type, or failure 2719 when the row
    // found is of another type.
    void findDynamicProduct_data() {
        QTest::addColumn<int>("wanted");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("message");
        QTest::newRow("next of the type") << 35012000 << 0 << 0;
        QTest::newRow("another type") << 34013000 << 1 << 2719;
    }
    void findDynamicProduct() {
        QFETCH(int, wanted);
        QFETCH(int, status);
        QFETCH(int, message);
        SetSearchKey(wanted);
        FindDynamicProduct();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        QCOMPARE(SearchKeyNumber(), 35013000);
    }

    void findByWidth_data() {
        QTest::addColumn<int>("wanted");
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("found");
        QTest::newRow("first wide enough") << 79010000 << 150.0 << 0 << 79010001;
        QTest::newRow("exactly wide enough") << 79010000 << 200.0 << 0 << 79010001;
        QTest::newRow("next row is another type") << 79010000 << 500.0 << 6 << 80010000;
        QTest::newRow("end of the table") << 81010000 << 500.0 << 1 << 81010001;
        QTest::newRow("first row of another type") << 78010000 << 50.0 << 6 << 79010000;
        QTest::newRow("beyond the last row") << 90000000 << 0.0 << 1 << 90000000;
    }
    void findByWidth() {
        QFETCH(int, wanted);
        QFETCH(double, width);
        QFETCH(int, status);
        QFETCH(int, found);
        SetSearchKey(wanted);
        ConstructionRecord.K_BREITE = width;
        CalcGlobals.ClampLoadGroup = 13;
        FindStaticProductByWidth();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(SearchKeyNumber(), found);
        QCOMPARE(CalcGlobals.AccessoryCounts[0], int16_t(status == 0 ? 2 : 0));
    }

    // A beam part found by width tallies its nuts: twice for the double
    // walk; a 791 part under the component load group, after which the
    // clamp load group is the support's again.
    void widthPartTally_data() {
        QTest::addColumn<int>("wanted");
        QTest::addColumn<int>("multiplicity");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("group");
        QTest::newRow("790") << 79010000 << 1 << 13 << 2 << 13;
        QTest::newRow("790 double") << 79010000 << 2 << 13 << 4 << 13;
        QTest::newRow("791") << 79113000 << 1 << 15 << 2 << 14;
    }
    void widthPartTally() {
        QFETCH(int, wanted);
        QFETCH(int, multiplicity);
        QFETCH(int, kind);
        QFETCH(int, count);
        QFETCH(int, group);
        SetSearchKey(wanted);
        ConstructionRecord.K_BREITE = 50;
        CalcGlobals.ClampLoadGroup = 13;
        CalcGlobals.ComponentLoadGroup = 15;
        CalcGlobals.SupportLoadGroup = 14;
        CalcGlobals.BlockingRangeMax = multiplicity;
        FindStaticProductByWidth();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(int(CalcGlobals.AccessoryKinds[0]), kind);
        QCOMPARE(int(CalcGlobals.AccessoryCounts[0]), count);
        QCOMPARE(int(CalcGlobals.ClampLoadGroup), group);
    }

    // Searching by dimension ends at a change of type and at the end of the
    // table, leaving the width of the type's last row.
    void findByDimension_data() {
        QTest::addColumn<int>("wanted");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("widthM");
        QTest::newRow("first long enough") << 66013000 << 1800 << 0 << 21;
        QTest::newRow("exactly long enough") << 66013000 << 1500 << 0 << 11;
        QTest::newRow("type ends") << 66013000 << 2500 << 1 << 21;
        QTest::newRow("table ends") << 81010000 << 100 << 1 << 301;
    }
    void findByDimension() {
        QFETCH(int, wanted);
        QFETCH(int, length);
        QFETCH(int, status);
        QFETCH(int, widthM);
        SetSearchKey(wanted);
        PgstatRecord.STA_NRN = wanted;
        CalcGlobals.RodLengths[0] = length;
        FindStaticProductByDimension();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(int(CalcGlobals.MessageNumber), status ? 2721 : 0);
        QCOMPARE(int(PgstatRecord.STA_BREITE_M), widthM);
    }

    void fixedTablesAreChecked_data() {
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("inside");
        const int sizes[] = {40, 5, 16, 5};
        for (int t = 0; t < 4; ++t) {
            QTest::addRow("table %d, 0", t) << t << 0 << false;
            QTest::addRow("table %d, 1", t) << t << 1 << true;
            QTest::addRow("table %d, last", t) << t << sizes[t] << true;
            QTest::addRow("table %d, past the end", t) << t << sizes[t] + 1 << false;
        }
    }
    void fixedTablesAreChecked() {
        QFETCH(int, table);
        QFETCH(int, index);
        QFETCH(bool, inside);
        bool thrown = false;
        try {
            switch (table) {
            case 0: ChainPartAt(index).Quantity = 1; break;
            case 1: RodLengthAt(index) = 1; break;
            case 2: SizeDimensionAt(index) = 1; break;
            default: SegmentHeightAt(index) = 1; break;
            }
        } catch (const EngineStepError& e) {
            thrown = true;
            QCOMPARE(e.Number(), int(MsgTableIndexOutOfRange));
        }
        QCOMPARE(thrown, !inside);
    }

    void tallyHasThreeSizes_data() {
        QTest::addColumn<int>("fourth");
        QTest::addColumn<int>("status");
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("a size already counted") << 14 << 0 << QList<int>{1, 1, 3};
        QTest::newRow("a fourth size") << 15 << 1 << QList<int>{1, 1, 1};
        // A count equal to the fourth size is no slot of that size.
        QTest::newRow("a fourth size after 15 of the first") << 15 << 1 << QList<int>{15, 1, 1};
    }
    void tallyHasThreeSizes() {
        QFETCH(int, fourth);
        QFETCH(int, status);
        QFETCH(QList<int>, counts);
        for (int size : {12, 13, 14}) {
            CalcGlobals.AccessoryCount = size == 12 ? counts[0] : 1;
            CalcGlobals.ClampLoadGroup = int16_t(size);
            TallyAccessories();
        }
        CalcGlobals.AccessoryCount = 2;
        CalcGlobals.ClampLoadGroup = int16_t(fourth);
        TallyAccessories();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        if (status)
            QCOMPARE(int(CalcGlobals.MessageNumber), int(MsgAccessorySlotsFull));
        QCOMPARE(QList<int>({CalcGlobals.AccessoryCounts[0], CalcGlobals.AccessoryCounts[1],
                             CalcGlobals.AccessoryCounts[2]}),
                 counts);
        QCOMPARE(CalcGlobals.AccessoryKinds[2], int16_t(14));
    }

    void chainEndsAtForty_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("status");
        QTest::newRow("entry 40") << 39 << 0;
        QTest::newRow("entry 41") << 40 << 1;
    }
    void chainEndsAtForty() {
        QFETCH(int, index);
        QFETCH(int, status);
        CalcGlobals.ChainPartIndex = index;
        CalcGlobals.BlockingRangeMax = 1;
        CalcGlobals.ClampLoadGroup = 13;
        SetSearchKey(60013000);
        AddStaticPart();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(CalcGlobals.ChainPartIndex, status ? index : index + 1);
        if (!status)
            QCOMPARE(CalcGlobals.ChainPartTable[39].ProductNumber, 60013000.0);
        else
            QCOMPARE(int(CalcGlobals.MessageNumber), int(MsgTableIndexOutOfRange));
    }

    void weightsByType_data() {
        QTest::addColumn<bool>("weigh");
        QTest::addColumn<int>("number");
        QTest::addColumn<double>("weight");
        QTest::newRow("not weighing") << false << 60013000 << 0.0;
        QTest::newRow("type 000") << true << 13000 << 0.0;
        QTest::newRow("pieces") << true << 60013000 << 3 * 2.5;
        QTest::newRow("rod by length") << true << 66013400 << 1500 * 0.001 * 4.0;
    }
    void weightsByType() {
        QFETCH(bool, weigh);
        QFETCH(int, number);
        QFETCH(double, weight);
        CalcGlobals.WeighParts = weigh;
        CalcGlobals.BlockingRangeMax = 3;
        PgstatRecord.STA_GEW = 2.5;
        PgstatRecord.STA_E = 1500;
        PgstatRecord.STA_GEW_VER = 4.0;
        SetSearchKey(number);
        AddPartWeight();
        QCOMPARE(CalcGlobals.DeadWeight, weight);
    }

    // Every weight rule of its own, each with records that would give a
    // different sum under a neighbouring rule, added to a weight already
    // summed.
    void weightRules_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("coupled");
        QTest::addColumn<double>("added");
        QTest::addColumn<int>("status");
        QTest::newRow("clamp, column 2") << 41013000 << 2 << false << 12.0 << 0;
        QTest::newRow("clamp, column 5") << 41013000 << 5 << false << 15.0 << 0;
        QTest::newRow("coupled clamp: twice plus the static weight") << 41013000 << 2 << true << 2 * 12.0 + 2.5 << 0;
        QTest::newRow("clamp column 0 refused") << 41013000 << 0 << false << 0.0 << 1;
        QTest::newRow("clamp column 6 refused") << 41013000 << 6 << false << 0.0 << 1;
        QTest::newRow("type 670 by length") << 67013200 << 2 << false << 1500 * 0.001 * 4.0 << 0;
        QTest::newRow("type 671 by pieces") << 67113200 << 2 << false << 3 * 2.5 << 0;
        QTest::newRow("cold support") << 51013000 << 2 << false << 7.25 << 0;
        QTest::newRow("dynamic part") << 37013000 << 2 << false << 9.5 << 0;
        QTest::newRow("type 790: pieces") << 79013000 << 2 << false << 3 * 2.5 << 0;
        QTest::newRow("type 791: weight plus the width") << 79113000 << 2 << false << 2.5 + 350 * 0.001 * 4.0 << 0;
        QTest::newRow("type 910: weight plus the width") << 91013000 << 2 << false << 2.5 + 350 * 0.001 * 4.0 << 0;
    }
    void weightRules() {
        QFETCH(int, number);
        QFETCH(int, column);
        QFETCH(bool, coupled);
        QFETCH(double, added);
        QFETCH(int, status);
        CalcGlobals.WeighParts = true;
        CalcGlobals.DeadWeight = 100;
        CalcGlobals.TableStatus = 0;
        CalcGlobals.BlockingRangeMax = 3;
        CalcGlobals.BlockingRangeMin = column;
        PgstatRecord.STA_GEW = 2.5;
        PgstatRecord.STA_E = 1500;
        PgstatRecord.STA_GEW_VER = 4.0;
        PgrsrlRecord.RSL_GEW = {11, 12, 13, 14, 15};
        PgrsrlRecord.RSL_KOP_KZ = coupled;
        PgcoolRecord.CLD_GEW = 7.25;
        PgdynaRecord.DYN_GEW = 9.5;
        ConstructionRecord.K_BREITE = 350;
        SetSearchKey(number);
        AddPartWeight();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(CalcGlobals.DeadWeight, double(100.0L + (long double)added));
        if (status)
            QCOMPARE(int(CalcGlobals.MessageNumber), int(MsgTableIndexOutOfRange));
    }

    // One piece less per arrangement: letter 5 E from slot 1; letters 5 D
    // and 6 S from slot 2 (slot 1 when slot 2 is free); 5 T and 6 S from
    // slot 3 (slot 1 when slot 3 is free); every other name changes nothing.
    void accessoryCorrection_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("sizes");  // slots in use
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("letter 5 E") << "SHHAESBH" << 3 << QList<int>{4, 5, 6};
        QTest::newRow("letters D S, slot 2 used") << "SHHADSBH" << 3 << QList<int>{5, 4, 6};
        QTest::newRow("letters D S, slot 2 free") << "SHHADSBH" << 1 << QList<int>{4, 0, 0};
        QTest::newRow("letters D S, two sizes") << "SHHADSBH" << 2 << QList<int>{5, 4, 0};
        QTest::newRow("letters T S, slot 3 used") << "SHHATSBH" << 3 << QList<int>{5, 5, 5};
        QTest::newRow("letters T S, slot 3 free") << "SHHATSBH" << 2 << QList<int>{4, 5, 0};
        QTest::newRow("letter 5 D without 6 S") << "SHHADLBH" << 3 << QList<int>{5, 5, 6};
        QTest::newRow("letter 5 T without 6 S") << "SHHATLBH" << 3 << QList<int>{5, 5, 6};
        QTest::newRow("other letter 5") << "SHHAXSBH" << 3 << QList<int>{5, 5, 6};
    }
    void accessoryCorrection() {
        QFETCH(QString, name);
        QFETCH(int, sizes);
        QFETCH(QList<int>, counts);
        PutText(ArrangementRecord.A_NAME, name);
        const int16_t all[3] = {5, 5, 6};
        for (int i = 0; i < 3; ++i) {
            CalcGlobals.AccessoryKinds[std::size_t(i)] = i < sizes ? int16_t(12 + i) : int16_t(99);
            CalcGlobals.AccessoryCounts[std::size_t(i)] = i < sizes ? all[i] : int16_t(0);
        }
        CorrectAccessoryTally();
        QCOMPARE(QList<int>({CalcGlobals.AccessoryCounts[0], CalcGlobals.AccessoryCounts[1],
                             CalcGlobals.AccessoryCounts[2]}),
                 counts);
    }
};

QTEST_GUILESS_MAIN(TestFindBtl)
#include "tst_FINDBTL.moc"
