// The spring-hanger sizing rule by rule, each on a catalogue of a few rows
// built so that the rule under test decides the choice.
#include "SizingCatalogue.h"
#include "engine/FINDHLG.h"
#include "engine/HangerSizing.h"

class TestSpringSizing : public QObject {
    Q_OBJECT
    ScriptedSelectionUi ui;

private slots:
    void init() { ui = ScriptedSelectionUi(); }

    // The input load is the load at the blocking position; the other
    // operating load is L - c x t. Size 9 (3 kN) at 100 mm: c = 3000 / 100
    // / 1.1904 = 25.2016 N/mm. With 0.75 kN and 119 mm that load is
    // 750 - 2999.0 < 0: the spring would have to push, the range does not
    // fit, and (size 9 has no third range) the constant hanger takes the
    // support: size 10 (1.6 kN) at 150 mm, [(1.5 - 750/1600) x 150] = 154.
    // With 5 mm the load is 623.99 N, the variation 20.19 % -> 20, and the
    // blocking position [100 x 750 x 1.1904 / 3000 - 20] = 9.
    void referenceLoadNotAboveZero_data() {
        QTest::addColumn<double>("travel");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("arbweg");
        QTest::addColumn<int>("arbwegEff");
        QTest::addColumn<int>("blocking");
        QTest::addColumn<int>("variation");
        QTest::newRow("other load below 0: constant hanger") << 119.0 << 11010215 << 154 << 154 << 0 << 0;
        QTest::newRow("other load above 0: spring") << 5.0 << 21009218 << 100 << 0 << 9 << 20;
    }
    void referenceLoadNotAboveZero() {
        QFETCH(double, travel);
        QFETCH(int, number);
        QFETCH(int, arbweg);
        QFETCH(int, arbwegEff);
        QFETCH(int, blocking);
        QFETCH(int, variation);
        SizingCatalogue cat;
        cat.Group("LGH", 9, 3);
        cat.Group("LGK", 10, 1.6);
        cat.Start();
        PlainSizingSupport(0.75, travel);
        SetArrangement(QStringLiteral("SHHAESBH"));
        ActiveUiScope active(ui);
        SpringHangerSizing();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        QCOMPARE(int(CalcGlobals.MessageNumber), 0);
        QCOMPARE(qint64(CalcGlobals.MainUnitNumber), qint64(number));
        QCOMPARE(int(ConstructionRecord.K_ARBWEG), arbweg);
        QCOMPARE(int(ConstructionRecord.K_ARBWEG_EFF), arbwegEff);
        QCOMPARE(int(ConstructionRecord.K_BLOCKIER), blocking);
        QCOMPARE(int(ConstructionRecord.K_FDIFF_EFF), variation);
        QCOMPARE(CalcGlobals.ConstantHangerChosen, number < 20000000);
    }
};

QTEST_GUILESS_MAIN(TestSpringSizing)
#include "tst_SpringSizing.moc"
