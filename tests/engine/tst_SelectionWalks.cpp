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
