// The driver's road by the arrangement letters, on the demo catalogue with
// the later steps scripted: the selection mode, the flags of letter 3, the
// halving of area 'I', the travel check switched off and on again, the
// letter-driven repeat passes and the abort that keeps its message.
#include "EngineFixture.h"

class tst_SelectionRoad : public QObject, DemoSelection {
    Q_OBJECT

    // What the component step saw in every pass.
    std::vector<bool> travelChecks;
    std::vector<double> halvingMarks;

    int select(int mode = 0) {
        steps.Install();
        SelectionSteps s = CurrentSelectionSteps();
        const auto components = s.SelectComponents;
        s.SelectComponents = [this, components] {
            travelChecks.push_back(CalcGlobals.TravelCheckEnabled);
            halvingMarks.push_back(CalcGlobals.HorizontalHalvingMark);
            components();
        };
        SetSelectionSteps(s);
        return SelectSupport(ui, 0, mode, false, false);
    }

private slots:
    void initTestCase() { QVERIFY(OpenDemo()); }
    void cleanupTestCase() {
        SetSelectionSteps(DefaultSelectionSteps());
        CloseDemo();
    }
    void init() {
        ResetScripts();
        travelChecks.clear();
        halvingMarks.clear();
        DemoSupport(12, 0);
    }

    void setSelectionMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<int>("expected");
        QTest::newRow("0 metric") << 0 << false << 1;
        QTest::newRow("0 imperial") << 0 << true << 2;
        QTest::newRow("1 metric") << 1 << false << 3;
        QTest::newRow("1 imperial") << 1 << true << 4;
        QTest::newRow("2 leaves it") << 2 << true << 9;
        QTest::newRow("-1 leaves it") << -1 << false << 9;
    }
    void setSelectionMode() {
        QFETCH(int, mode);
        QFETCH(bool, imperial);
        ConstructionRecord.K_KATA_KZ = imperial;
        CalcGlobals.SelectionMode = 9;
        SetSelectionMode(mode);
        QTEST(int(CalcGlobals.SelectionMode), "expected");
    }

    // Letters 1 'S', 5 'X', 6 'X' hand the caller's mode on; letter 3 'H'
    // marks the pipe's rise.
    void lettersSetModeAndRise_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("selectionMode");
        QTest::addColumn<bool>("rise");
        QTest::newRow("S..XX, mode 1") << "SHHRXXBS" << 1 << 3 << true;
        QTest::newRow("S..XX, mode 0") << "SHHRXXBS" << 0 << 1 << true;
        QTest::newRow("5 X only") << "SHHRXSBS" << 1 << 9 << true;
        QTest::newRow("1 D") << "DHHRXXBS" << 1 << 9 << true;
        QTest::newRow("letter 3 not H") << "SHXRXXBS" << 1 << 3 << false;
    }
    void lettersSetModeAndRise() {
        QFETCH(QString, name);
        QFETCH(int, mode);
        steps.name = name;
        steps.area = " ";
        CalcGlobals.SelectionMode = 9;
        ConstructionRecord.K_ROHRRI_KZ = !name.startsWith("SHH");
        QCOMPARE(select(mode), 0);
        QTEST(int(CalcGlobals.SelectionMode), "selectionMode");
        QTEST(bool(ConstructionRecord.K_ROHRRI_KZ), "rise");
        QVERIFY(!ConstructionRecord.K_DYN_RSBK_KZ);
    }

    // Letter 6 'L' (with letter 4 other than 'R') and letter 3 'V' switch the
    // travel checks off for the first pass; they are on again afterwards.
    void travelCheckByLetters_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("during");
        QTest::newRow("6 L") << "SHHBELBS" << false;
        QTest::newRow("6 L with 4 R") << "SHHRELBS" << true;
        QTest::newRow("3 V") << "SHVBESBS" << false;
        QTest::newRow("neither") << "SHHBESBS" << true;
    }
    void travelCheckByLetters() {
        QFETCH(QString, name);
        QFETCH(bool, during);
        steps.name = name;
        steps.area = " ";
        QCOMPARE(select(), 0);
        QCOMPARE(travelChecks.size(), size_t(1));
        QCOMPARE(bool(travelChecks[0]), during);
        QVERIFY(CalcGlobals.TravelCheckEnabled);
    }

    // The load the components see: area 'I' halves it in every pass, and the
    // pass of letters 8 'S' and 4 'A' keeps the halved load (so it is halved
    // again) while the pass of letters 4 'F' / 1 'G' starts again from the
    // support's load.
    void repeatPasses_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("area");
        QTest::addColumn<QList<double>>("loads");
        QTest::addColumn<QList<double>>("marks");
        // Letters 1 'C' and 7 'E': the main unit step leaves the load alone.
        QTest::newRow("one pass") << "CHHBESES" << " " << QList<double>{12} << QList<double>{0};
        QTest::newRow("one pass, area I") << "CHHBESES" << "I" << QList<double>{6} << QList<double>{0};
        QTest::newRow("8 S, 4 A") << "CHHAESES" << " " << QList<double>{12, 12} << QList<double>{0, 1};
        QTest::newRow("8 S, 4 A, area I") << "CHHAESES" << "I" << QList<double>{6, 3} << QList<double>{0, 1};
        QTest::newRow("4 F, area I") << "CHHFESES" << "I" << QList<double>{6, 6} << QList<double>{0, 0};
        // The default main unit sizes for half the load (its second search).
        QTest::newRow("1 G") << "GHHBESBS" << " " << QList<double>{6, 6} << QList<double>{0, 0};
    }
    void repeatPasses() {
        QFETCH(QString, name);
        QFETCH(QString, area);
        QFETCH(QList<double>, loads);
        QFETCH(QList<double>, marks);
        steps.name = name;
        steps.area = area;
        QCOMPARE(select(), 0);
        QCOMPARE(steps.designLoads.size(), size_t(loads.size()));
        for (int i = 0; i < loads.size(); ++i) {
            QCOMPARE(steps.designLoads[size_t(i)], loads[i]);
            QCOMPARE(halvingMarks[size_t(i)], marks[i]);
        }
        QCOMPARE(steps.composeCalls, 1);
    }

    // An aborted component step keeps the message it left; only an empty one
    // becomes the abort text. Either way the pre-selection is dropped.
    void abortKeepsItsMessage_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("expected");
        QTest::newRow("message left") << "Rod walk given up" << "Rod walk given up";
        QTest::newRow("none") << "" << "Part selection aborted (check Support manually) !";
    }
    void abortKeepsItsMessage() {
        QFETCH(QString, left);
        steps.name = QStringLiteral("SHHBESBS");
        steps.area = QStringLiteral(" ");
        steps.componentStatus = 6;
        steps.Install();
        SelectionSteps s = CurrentSelectionSteps();
        const auto components = s.SelectComponents;
        s.SelectComponents = [components, left] {
            components();
            LastMessage = left;
        };
        SetSelectionSteps(s);
        QCOMPARE(SelectSupport(ui, 0, 0, false, false), 5);
        QTEST(LastMessage, "expected");
        QCOMPARE(int(ConstructionRecord.K_FMT_NR), 9099);
        QVERIFY(ui.log.contains("status: AUTO"));
        QCOMPARE(FieldText(CalcGlobals.PreselectedLoadNumber), QStringLiteral("000000"));
        QCOMPARE(steps.composeCalls, 0);
    }
};

QTEST_GUILESS_MAIN(tst_SelectionRoad)
#include "tst_SelectionRoad.moc"
