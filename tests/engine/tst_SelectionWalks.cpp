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

    // The cold walk of a 3 kN support, 300 mm high, on the given positions.
    void RunColdWalk(const QString& name, const QStringList& positions) {
        DemoHangerSupport(3, 0);
        LoadArrangementNow({name, "", positions});
        CalcGlobals.SegmentHeights = {300, 0, 0, 0, 0};
        CalcGlobals.SupportLoadGroup = 1;
        ResetComponentState();
        ActiveUiScope scope(ui);
        SelectComponents();
    }

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
        // The base clamp's chain of 157 mm leaves a rod below the steel
        // 2500 mm above the pipe: a note, the support complete.
        QCOMPARE(SelectSupport(ui, 0, 0, false, true), name.at(3) == 'R' && name.at(0) == 'S' ? 2 : 0);
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

    // Cold support load group 1 (2 kN) under 3 kN: letter 7 'A' keeps to the
    // group's rows, letter 7 'B' follows the rows into group 2.
    void coldSupportGroup_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("group");
        QTest::newRow("A keeps group 1") << "CHHRESAS" << 1 << 1;
        QTest::newRow("B follows to group 2") << "CHHRESBS" << 0 << 2;
    }
    void coldSupportGroup() {
        QFETCH(QString, name);
        QFETCH(int, status);
        QFETCH(int, group);
        RunColdWalk(name, {"520"});
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(int(CalcGlobals.SupportLoadGroup), group);
        if (status == 0) {
            // Height 300 lies only in the fourth window (200-400).
            QCOMPARE(ConstructionRecord.K_BTL_8[0], 52002004.0);
            QCOMPARE(CalcGlobals.RodLengths[0], 300 - CalcGlobals.ChainHeight);
        } else {
            QCOMPARE(int(CalcGlobals.MessageNumber), 2770);
        }
    }

    // The cold-support walk takes the positions from "500" up to below
    // "600": a later position outside ends the list, one inside is looked
    // up (and has no rows here).
    void coldWalkListEnd_data() {
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("status");
        QTest::newRow("600 ends the list") << "600" << 0;
        QTest::newRow("599 is a cold part") << "599" << 1;
        QTest::newRow("499 ends the list") << "499" << 0;
        QTest::newRow("500 is a cold part") << "500" << 1;
    }
    void coldWalkListEnd() {
        QFETCH(QString, second);
        QFETCH(int, status);
        RunColdWalk(QStringLiteral("CHHRESBS"), {"520", second, "520"});
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        if (status == 0) {
            QCOMPARE(ConstructionRecord.K_BTL_8[0], 52002004.0);
            QCOMPARE(ConstructionRecord.K_BTL_8[1], 0.0);
        } else {
            QCOMPARE(int(CalcGlobals.MessageNumber), 2770);
        }
    }

    // The base clamp of 114.3 with a 100 mm shoe lifts the chain by
    // 57 + 100 = 157 mm; the rod left below the steel is a warning that
    // reaches the result: a rod of 1 mm left over a note (the support is
    // stored), a chain 1 mm higher than its segment the end of the
    // selection (result 5) with the chain's height.
    void rWalkRodWarning_data() {
        QTest::addColumn<int>("segment");
        QTest::addColumn<int>("message");
        QTest::addColumn<QString>("height");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("recorded");
        QTest::addColumn<QString>("text");
        QTest::newRow("157: no rod") << 157 << 0 << "" << 0 << 0 << "";
        QTest::newRow("156: chain higher") << 156 << 2836 << "999" << 5 << 2836
                                           << FormatMessage(MessageText(2836), {157});
        QTest::newRow("158: rod of 1 mm") << 158 << 2838 << "1001" << 2 << -2838
                                          << FormatMessage(MessageText(2838), {1});
    }
    void rWalkRodWarning() {
        QFETCH(int, segment);
        QFETCH(int, message);
        QFETCH(QString, height);
        QFETCH(int, result);
        QFETCH(int, recorded);
        QFETCH(QString, text);
        DemoHangerSupport(10, 0);
        Heights(1000 + segment, 1000);
        steps.arrangement = {"SHHRELBS", "", {"490"}};
        steps.Install();
        QCOMPARE(SelectSupport(ui, 0, 0, false, true), result);
        QCOMPARE(int(ConstructionRecord.K_FMT_NR), recorded);
        QCOMPARE(LastMessage, text);
        QCOMPARE(CalcGlobals.ChainHeight, 157);
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        QCOMPARE(QString(ConstructionRecord.K_MHOEHE_UNTEN).trimmed(), height);
        if (message)
            QCOMPARE(ComponentWarningValue(), message == 2838 ? 1.0 : 157.0);
    }

    // Dynamic restarts: a stroke beyond the short-stroke size moves to the
    // next size; a strut longer than every window climbs the sizes until
    // the pipe's dynamic clamps end.
    void dynamicRestarts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("positions");
        QTest::addColumn<double>("travel");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("message");
        QTest::newRow("shock absorber 101 mm") << "SHHYESBH" << QStringList{"350", "300", "360"} << 101.0 << 3500 << 0 << 0;
        QTest::newRow("strut longer than every window") << "SHHYESBS" << QStringList{"350", "390", "360"} << 0.0 << 6500 << 5 << 9099;
    }
    void dynamicRestarts() {
        QFETCH(QString, name);
        QFETCH(QStringList, positions);
        QFETCH(double, travel);
        QFETCH(int, top);
        QFETCH(int, result);
        QFETCH(int, message);
        DemoHangerSupport(1, travel);
        Heights(top, 1000);
        steps.arrangement = {name, "", positions};
        steps.Install();
        Watchdog dog(QTest::currentDataTag(), std::chrono::seconds(60));
        QCOMPARE(SelectSupport(ui, 0, 0, false, true), result);
        QCOMPARE(int(ConstructionRecord.K_FMT_NR), message);
        if (result == 0) {
            // The size the stroke needs: group 2 has a 150 mm short stroke.
            QVERIFY(CalcGlobals.SecondLoadGroup >= 2);
            QCOMPARE(DigitsOf(ConstructionRecord.K_BTL_8[1], 4, 2), int(CalcGlobals.SecondLoadGroup));
        } else {
            // Each longer strut size restarts the walk with the next group
            // until the dynamic clamps of DN100 (groups up to 06) end it.
            QCOMPARE(ui.count("information: "), 1);
            QCOMPARE(int(CalcGlobals.SecondLoadGroup), 7);
            QVERIFY(ui.log.first().endsWith(" 7"));
        }
    }

    // The guided base clamp of the R walk: the lateral guide needs a clamp
    // whose article ends in 3, 4 or 5; a lateral travel at the clamp's limit
    // passes to the next shoe.
    void guidedBearing_data() {
        QTest::addColumn<double>("load");
        QTest::addColumn<double>("lateral");
        QTest::addColumn<int>("guides");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<qint64>>("chain");
        // Each chain ends far below the steel 2500 mm above the pipe: the
        // rod left over is a note (result 2).
        QTest::newRow("2-way guide") << 50.0 << 49.0 << 2 << 2 << QList<qint64>{49090323, 76910001};
        QTest::newRow("4-way guide") << 50.0 << 0.0 << 3 << 2 << QList<qint64>{49090323, 76920001};
        QTest::newRow("travel at the limit: high shoe") << 50.0 << 50.0 << 2 << 2 << QList<qint64>{49090333, 76910001};
        QTest::newRow("no guide for this clamp") << 5.0 << 0.0 << 2 << 6 << QList<qint64>{};
    }
    void guidedBearing() {
        QFETCH(double, load);
        QFETCH(double, lateral);
        QFETCH(int, guides);
        QFETCH(int, result);
        QFETCH(QList<qint64>, chain);
        DemoHangerSupport(load, 0);
        ConstructionRecord.K_WEG_X = lateral;
        ConstructionRecord.K_RLFUEHRUNG_ZHL = int16_t(guides);
        ConstructionRecord.K_SEITL_FHRG_ZHL = 1;
        steps.arrangement = {"SHHRELBS", "", {"490"}};
        steps.Install();
        QCOMPARE(SelectSupport(ui, 0, 0, false, true), result);
        if (result == 2)
            QCOMPARE(ChainParts(), chain);
        else
            QCOMPARE(int(ConstructionRecord.K_FMT_NR), 2628);
    }

    // The dynamic clamp of the strut: temperature class and diameter limits.
    void dynamicClampLimits_data() {
        QTest::addColumn<double>("diameter");
        QTest::addColumn<double>("temperature");
        QTest::addColumn<int>("message");
        QTest::newRow("530 degrees: class 11") << 114.3 << 530.0 << 0;
        QTest::newRow("531 degrees: class 12") << 114.3 << 531.0 << 2731;
        QTest::newRow("610 pipe") << 610.0 << 200.0 << 0;
        QTest::newRow("pipe beyond every diameter") << 900.0 << 200.0 << 2732;
    }
    void dynamicClampLimits() {
        QFETCH(double, diameter);
        QFETCH(double, temperature);
        QFETCH(int, message);
        DemoHangerSupport(1, 0, diameter, temperature);
        steps.arrangement = {"SHHYESBS", "", {"350", "390", "360"}};
        steps.Install();
        QCOMPARE(SelectSupport(ui, 0, 0, false, true), message ? int(SelectionStepFailed) : 0);
        QCOMPARE(int(ConstructionRecord.K_FMT_NR), message);
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
