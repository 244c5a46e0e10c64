// Whole selections on the demo catalogue with the real clamp, component,
// rod and load-group steps: each demo arrangement selected end to end.
#include "StepFixture.h"
#include "data/PGRSRL.h"

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

    void demoArrangements_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("area");
        QTest::addColumn<QStringList>("positions");
        QTest::addColumn<double>("load");
        QTest::newRow("101") << "SHHAESBH" << "H" << QStringList{"750", "610", "210", "660", "600", "430"} << 10.0;
        QTest::newRow("102") << "SHHAESBS" << "" << QStringList{"750", "610", "660", "600", "430"} << 10.0;
        QTest::newRow("103") << "SHHRELBS" << "" << QStringList{"490"} << 10.0;
        QTest::newRow("301") << "SHHYESBS" << "" << QStringList{"350", "390", "360"} << 10.0;
        QTest::newRow("302") << "SHHYESBH" << "" << QStringList{"350", "300", "360"} << 10.0;
        QTest::newRow("201") << "CHHRESAS" << "" << QStringList{"520"} << 10.0;
    }
    void demoArrangements() {
        QFETCH(QString, name);
        QFETCH(QString, area);
        QFETCH(QStringList, positions);
        QFETCH(double, load);
        DemoHangerSupport(load, 20);
        steps.arrangement = {name, area, positions};
        steps.Install();
        const int result = SelectSupport(ui, 0, 0, false, true);
        qDebug() << result << ConstructionRecord.K_FMT_NR << LastMessage << ChainParts() << ui.log;
    }

    void springHangerChain() {
        DemoHangerSupport(10, 20);
        steps.arrangement = {"SHHAESBH", "H", {"750", "610", "210", "660", "600", "430"}};
        steps.Install();
        const int result = SelectSupport(ui, 0, 0, false, true);
        qDebug() << CalcGlobals.SegmentHeights[0] << CalcGlobals.ChainHeight << CalcGlobals.RodLengths[0] << ConstructionRecord.K_BLOCKIER << double(CalcGlobals.RunningHeight);
        qDebug() << result << ConstructionRecord.K_FMT_NR << LastMessage << ChainParts() << ui.log;
        QCOMPARE(result, 0);
    }
};

QTEST_GUILESS_MAIN(TestSelectionWalks)
#include "tst_SelectionWalks.moc"
