// Product lookup on a small static product table whose numbers leave gaps
// and change type, the accessory tally's slots and the chain's end.
#include "EngineFixture.h"
#include "data/PGSTAT.h"
#include "engine/FINDBTL.h"

class TestFindBtl : public QObject {
    Q_OBJECT
    ScriptedSelectionUi ui;
    std::unique_ptr<CatalogueFixture> f;

    void Row(int number, int width, int x = 0) {
        f->Insert("Pgstat.DB", {{"STA_NRN", number}, {"STA_BREITE", width}, {"STA_ADM", 2}, {"STA_X", x},
                                {"STA_BREITE_M", width + 1}, {"STA_KBEZ", QString::number(number).left(2)},
                                {"STA_E", 10}});
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
        f->Start();
    }
    void cleanupTestCase() { f.reset(); }
    void init() {
        ResetCalcState();
        PutText(ArrangementRecord.A_NAME, QStringLiteral("SHHAESBH"));
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
    void findByWidth_data() {
        QTest::addColumn<int>("wanted");
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("found");
        QTest::newRow("first wide enough") << 79010000 << 150.0 << 0 << 79010001;
        QTest::newRow("exactly wide enough") << 79010000 << 200.0 << 0 << 79010001;
        QTest::newRow("next row is another type") << 79010000 << 500.0 << 6 << 80010000;
        QTest::newRow("end of the table") << 81010000 << 500.0 << 1 << 81010001;
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
    }
    void tallyHasThreeSizes() {
        QFETCH(int, fourth);
        QFETCH(int, status);
        QFETCH(QList<int>, counts);
        CalcGlobals.AccessoryCount = 1;
        for (int size : {12, 13, 14}) {
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
};

QTEST_GUILESS_MAIN(TestFindBtl)
#include "tst_FINDBTL.moc"
