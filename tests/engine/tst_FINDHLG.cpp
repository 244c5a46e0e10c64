// The main-unit members on the demo catalogue's load groups, and the
// blocking position of a pre-selected constant hanger: asked once, kept
// once saved, refused outside the working range.
#include "EngineFixture.h"
#include "engine/FINDHLG.h"

class TestFindHlg : public QObject, DemoSelection {
    Q_OBJECT

    void prepare(const char* name, double load) {
        DemoSupport(load, 0);
        PutText(ArrangementRecord.A_NAME, QString::fromLatin1(name));
        PutText(ArrangementRecord.A_BER, QStringLiteral(" "));
        CalcGlobals.DesignLoad = load;
    }
    QList<int> groups() const {
        return {CalcGlobals.MainUnitLoadGroup, CalcGlobals.SupportLoadGroup, CalcGlobals.ComponentLoadGroup};
    }

private slots:
    void initTestCase() { QVERIFY(OpenDemo()); }
    void cleanupTestCase() { CloseDemo(); }
    void init() {
        ResetScripts();
        CalcGlobals.CNStandard = false;
    }

    // Support group at the full load, component group at half load but at
    // most one below.
    void defaultMember_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("load");
        QTest::addColumn<bool>("cn");
        QTest::addColumn<QString>("strload");
        QTest::addColumn<int>("number");
        QTest::addColumn<QList<int>>("groups");
        QTest::newRow("rigid 12 kN") << "SHHAESBS" << 12.0 << false << " " << 55555555 << QList<int>{0, 13, 12};
        QTest::newRow("rigid 15 kN") << "SHHAESBS" << 15.0 << false << " " << 55555555 << QList<int>{0, 13, 12};
        QTest::newRow("rigid 15 kN, B31.1 groups") << "SHHAESBS" << 15.0 << false << "B" << 55555555
                                                   << QList<int>{0, 14, 13};
        QTest::newRow("rigid 12 kN, CN x 1.3") << "SHHAESBS" << 12.0 << true << " " << 55555555
                                               << QList<int>{0, 13, 12};
        QTest::newRow("rigid 14 kN") << "SHHAESBS" << 14.0 << false << " " << 55555555 << QList<int>{0, 13, 12};
        QTest::newRow("rigid 14 kN, CN x 1.3 crosses 16 kN") << "SHHAESBS" << 14.0 << true << " " << 55555555
                                                             << QList<int>{0, 14, 13};
        QTest::newRow("letters V D X: one search at half load") << "SHVADSXS" << 12.0 << false << " " << 55555555
                                                                << QList<int>{0, 10, 10};
        QTest::newRow("letters S R: nothing") << "SHHRELBS" << 12.0 << false << " " << 0 << QList<int>{0, 0, 0};
    }
    void defaultMember() {
        QFETCH(QString, name);
        QFETCH(double, load);
        QFETCH(bool, cn);
        QFETCH(QString, strload);
        QFETCH(int, number);
        QFETCH(QList<int>, groups);
        prepare(qPrintable(name), load);
        // The option of the running program decides, not the flag a loaded
        // support brought along: a new support has the flag still clear.
        CalcGlobals.CNStandard = cn;
        ConstructionRecord.K_RES_BOL1 = false;
        PutText(ConstructionRecord.K_STRLOAD_KZ, strload);
        SelectMainUnitDefault();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        QCOMPARE(qint64(CalcGlobals.MainUnitNumber), qint64(number));
        QCOMPARE(this->groups(), groups);
    }

    void memberG_data() {
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("second");
        QTest::newRow("below group 10 is skipped") << 2.0 << 10 << 2;
        QTest::newRow("group 10 at 0.8 x 6 kN") << 4.8 << 10 << 2;
        QTest::newRow("just above: group 11") << 4.81 << 11 << 2;
        QTest::newRow("0.832 x 16 kN") << 12.0 << 13 << 4;
        // 13.312 kN carries 13.3 kN; 0.83 x 16 kN = 13.28 kN would not.
        QTest::newRow("0.832 x 16 kN carries 13.3 kN") << 13.3 << 13 << 4;
        QTest::newRow("above 0.832 x 16 kN") << 13.4 << 14 << 4;
    }
    void memberG() {
        QFETCH(double, load);
        QFETCH(int, group);
        QFETCH(int, second);
        prepare("SHHGESBS", load);
        SelectMainUnitG();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        QCOMPARE(this->groups(), (QList<int>{group, group, group}));
        QCOMPARE(int(CalcGlobals.SecondLoadGroup), second);
        QCOMPARE(int(ConstructionRecord.K_ARBWEG), -25);
    }

    void memberY_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<double>>("loads");
        QTest::addColumn<QString>("deciding");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("component");
        QTest::newRow("level D decides") << "SHHYESBS" << QList<double>{12, 30, 10} << "D" << 4 << 4;
        QTest::newRow("level C decides") << "SHHYESBS" << QList<double>{12, 10, 10} << "C" << 3 << 3;
        QTest::newRow("letter 5 D: components at half") << "SHHYDSBS" << QList<double>{12, 30, 10} << "D" << 4 << 3;
        QTest::newRow("letter 8 H: group 2 becomes 3") << "SHHYESBH" << QList<double>{5, 5, 5} << "C" << 3 << 3;
    }
    void memberY() {
        QFETCH(QString, name);
        QFETCH(QList<double>, loads);
        QFETCH(QString, deciding);
        QFETCH(int, second);
        QFETCH(int, component);
        prepare(qPrintable(name), loads[0]);
        ConstructionRecord.K_LAST_DYN_2 = loads[1];
        ConstructionRecord.K_LAST_DYN_3 = loads[2];
        SelectMainUnitY();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        QCOMPARE(FieldText(ConstructionRecord.K_DYNLOAD_KZ), deciding);
        QCOMPARE(int(CalcGlobals.SecondLoadGroup), second);
        QCOMPARE(int(CalcGlobals.SecondComponentLoadGroup), component);
    }

    void memberC() {
        prepare("CHHRESBS", 12);
        SelectMainUnitC();
        QCOMPARE(qint64(CalcGlobals.MainUnitNumber), qint64(55556666));
        QCOMPARE(this->groups(), (QList<int>{4, 4, 4}));
        prepare("CHHRESFS", 12);
        CalcGlobals.SupportLoadGroup = 7;
        SelectMainUnitC();
        QCOMPARE(CalcGlobals.SupportLoadGroup, int16_t(7));
        QCOMPARE(CalcGlobals.MainUnitNumber, 0.0);
    }

    // A load above the largest capacity ends the member, also where half
    // of it would fit: 450 kN of "LGA" (600 kN: 300 kN fits group 22), 250
    // kN of "LGC" for a double strut (400 kN: 200 kN fits group 8), 200 kN
    // of "LGO" for a cold support. No load group of a selection before
    // stays.
    void noLoadGroupForTheLoad_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("load");
        QTest::newRow("1000 kN: no half either") << "SHHAESBS" << 1000.0;
        QTest::newRow("600 kN: its half fits") << "SHHAESBS" << 600.0;
        QTest::newRow("double strut, 400 kN: its half fits") << "SHHYDSBS" << 400.0;
        QTest::newRow("cold support, 250 kN") << "CHHRESBS" << 250.0;
    }
    void noLoadGroupForTheLoad() {
        QFETCH(QString, name);
        QFETCH(double, load);
        prepare(qPrintable(name), load);
        TCalcGlobals& g = CalcGlobals;
        g.MainUnitLoadGroup = g.SupportLoadGroup = g.ComponentLoadGroup = 7;
        g.SecondLoadGroup = g.SecondComponentLoadGroup = 7;
        g.MainUnitNumber = 55555555;
        const bool dynamic = name.at(3) == QLatin1Char('Y');
        if (dynamic)
            SelectMainUnitY();
        else if (name.at(0) == QLatin1Char('C'))
            SelectMainUnitC();
        else
            SelectMainUnitDefault();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(1));
        QCOMPARE(CalcGlobals.MessageNumber, int16_t(2172));
        QCOMPARE(CalcGlobals.MainUnitNumber, 0.0);
        QCOMPARE(this->groups(), (QList<int>{0, 0, 0}));
        // The dynamic member clears the second groups too; the others leave them.
        QCOMPARE(QList<int>({g.SecondLoadGroup, g.SecondComponentLoadGroup}),
                 dynamic ? QList<int>({0, 0}) : QList<int>({7, 7}));
    }

    // A pre-selected constant hanger (12 kN, 350 mm: range 450 mm, working
    // travel 562 mm, blocking position 456). The question comes in the pass
    // after the dead weight, once; a position the engineer saved survives a
    // later sizing of the same hanger in the same selection.
    void blockingPositionOfAPreselectedConstant_data() {
        QTest::addColumn<int>("entered");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("blocking");
        QTest::newRow("saved 400") << 400 << 0 << 400;
        QTest::newRow("saved the upper end") << 562 << 0 << 562;
        QTest::newRow("not saved") << -1 << 0 << 456;
        QTest::newRow("out of range refused") << 563 << 6 << 563;
    }
    void blockingPositionOfAPreselectedConstant() {
        QFETCH(int, entered);
        QFETCH(int, result);
        QFETCH(int, blocking);
        DemoSupport(12, 350);
        ConstructionRecord.K_VGB_KZ = true;
        ConstructionRecord.K_BLOCK_VOR = true;
        PutText(CalcGlobals.PreselectedLoadNumber, QStringLiteral("113415"));
        CalcGlobals.PreselectedProductNumber = 11013415;
        ui.blockingDialog = [entered] {
            if (entered < 0)
                return false;
            ConstructionRecord.K_BLOCKIER = int16_t(entered);
            return true;
        };
        steps.Install();
        SelectionSteps s = CurrentSelectionSteps();
        std::vector<int> seen;
        s.ComposeParts = [&seen] {
            // A later step sizing the hanger again at the full load.
            CalcGlobals.DesignLoad = ConstructionRecord.K_LAST;
            SelectPreselectedHanger();
            seen.push_back(ConstructionRecord.K_BLOCKIER);
        };
        SetSelectionSteps(s);
        QCOMPARE(SelectSupport(ui, 0, 0, false, true), result);
        QCOMPARE(ui.count("dialog: show"), 1);
        QCOMPARE(CalcGlobals.BlockingRangeMin, 0);
        QCOMPARE(CalcGlobals.BlockingRangeMax, 562);
        QCOMPARE(FieldText(CalcGlobals.DisplayPartNumber).left(6).trimmed().isEmpty(), false);
        if (result == 0) {
            QCOMPARE(seen, std::vector<int>{blocking});
            QCOMPARE(int(CalcGlobals.ChosenBlockingPosition), blocking);
            QVERIFY(CalcGlobals.BlockingPositionDone);
        } else {
            QCOMPARE(int(ConstructionRecord.K_FMT_NR), int(MsgBlockingOutOfRange));
            QVERIFY(LastMessage.startsWith("Pre selected type: 113415\r"));
            QVERIFY(!ConstructionRecord.K_VGB_KZ);
        }
    }
};

QTEST_GUILESS_MAIN(TestFindHlg)
#include "tst_FINDHLG.moc"
