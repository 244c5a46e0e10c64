// Whole selections on the demo catalogue with the real clamp, component,
// rod and load-group steps: each demo arrangement selected end to end.
#include "StepFixture.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "engine/StepTools.h"

class TestSelectionWalks : public QObject {
    Q_OBJECT
    std::unique_ptr<DemoCatalogue> demo;
    RealSteps steps;
    StepUi ui;

private slots:
    void initTestCase() {
        demo = OpenDemo();
        QVERIFY(demo->present());
    }
    void cleanupTestCase() { demo.reset(); }
    void init() {
        steps = RealSteps();
        ui = StepUi();
    }

    // Every walk on the demo catalogue: 10 kN on DN100 at 200 degrees, steel
    // 2500 mm above the pipe (300 mm for the cold support).
    void walks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("positions");
        QTest::addColumn<QList<int>>("types");  // the part types of the chain, in order
        QTest::newRow("101 E walk, spring") << "SHHAESBH" << QStringList{"750", "610", "210", "660", "600", "430"}
                                            << QList<int>{750, 610, 210, 660, 600, 430, 630};
        QTest::newRow("102 E walk, rigid rod") << "SHHAESBS" << QStringList{"750", "610", "660", "600", "430"}
                                               << QList<int>{750, 610, 660, 600, 430, 630};
        QTest::newRow("plain walk") << "SHHATSBS" << QStringList{"750", "610", "660", "600", "430"}
                                    << QList<int>{750, 610, 660, 600, 430, 630};
        QTest::newRow("double walk") << "SHHADSBH" << QStringList{"750", "610", "210", "660", "600", "430"}
                                     << QList<int>{750, 610, 210, 660, 630, 600, 430};
        QTest::newRow("103 R walk, base clamp") << "SHHRELBS" << QStringList{"490"} << QList<int>{490};
        QTest::newRow("301 dynamic walk, strut") << "SHHYESBS" << QStringList{"350", "390", "360"}
                                                 << QList<int>{350, 390, 360};
        QTest::newRow("302 dynamic walk, shock absorber") << "SHHYESBH" << QStringList{"350", "300", "360"}
                                                         << QList<int>{350, 300, 300, 360};
        QTest::newRow("201 cold walk") << "CHHRESAS" << QStringList{"520"} << QList<int>{520};
    }
    void walks() {
        QFETCH(QString, name);
        QFETCH(QStringList, positions);
        QFETCH(QList<int>, types);
        DemoHangerSupport(10, 20);
        if (name.startsWith('C'))
            Heights(1300, 1000);
        steps.arrangement = {name, "", positions};
        steps.Install();
        QCOMPARE(SelectSupport(ui, 0, 0, false, true), 0);
        QCOMPARE(steps.composeCalls, 1);
        QList<int> got;
        for (qint64 n : ChainParts())
            got << int(n / 100000);
        QCOMPARE(got, types);
        const TConstructionRecord& k = ConstructionRecord;
        const int s = CalcGlobals.SegmentHeights[0];
        if (name.at(3) == 'A') {
            // One rod below 3000 mm: its rest is the whole rod, segment minus chain.
            QCOMPARE(int(k.K_RESTLAENGE_1), s - CalcGlobals.ChainHeight);
            QCOMPARE(int(CalcGlobals.AccessoryKinds[0]), int(CalcGlobals.ClampLoadGroup));
            // The clamp: type 43, diameter code 09, class 03 (200 degrees).
            QCOMPARE(NumberDigits(k.K_BTL_8[got.indexOf(430)]).left(6), QString("430903"));
        }
        if (name.at(3) == 'Y' && name.at(7) == 'S') {
            // The rod is bridged by the unit that replaced the marker.
            QVERIFY(!ChainParts().contains(390));
            QCOMPARE(int(k.K_RESTLAENGE_1 + CalcGlobals.ChainHeight), s);
        }
    }

    // The chain height is the sum of the parts' heights, the blocking
    // position and the clamp's offset, read back from the catalogue.
    void chainHeightFromCatalogue() {
        DemoHangerSupport(10, 20);
        steps.arrangement = {"SHHAESBH", "H", {"750", "610", "210", "660", "600", "430"}};
        steps.Install();
        QCOMPARE(SelectSupport(ui, 0, 0, false, true), 0);
        Extended sum = ConstructionRecord.K_BLOCKIER;
        for (int i : {0, 1, 2, 4}) {
            PgstatRecord.STA_NRN = ConstructionRecord.K_BTL_8[i];
            PgstatRead();
            QCOMPARE(int(CalcGlobals.TableStatus), 0);
            sum += PgstatRecord.STA_E;
        }
        PgrsrlRecord.RSL_NRN = ConstructionRecord.K_BTL_8[5];
        PgrsrlRead();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        sum += PgrsrlRecord.RSL_E;
        QCOMPARE(CalcGlobals.ChainHeight, int32_t(sum));
    }

    void coldSupportOutsideItsHeights() {
        DemoHangerSupport(10, 0);
        steps.arrangement = {"CHHRESAS", "", {"520"}};
        steps.Install();
        QCOMPARE(SelectSupport(ui, 0, 0, false, true), int(SelectionAborted));
        QCOMPARE(ui.count("information: "), 1);
        QVERIFY(ui.log.join('\n').contains(" 10 400"));
    }
};

QTEST_GUILESS_MAIN(TestSelectionWalks)
#include "tst_SelectionWalks.moc"
