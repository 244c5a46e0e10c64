// The main-unit members and the finish of a hanger on load-group rows of
// their own: capacities rising evenly, so the row a rule must reach is
// known by its number.
#include "SizingCatalogue.h"
#include "data/PGSTAT.h"
#include "engine/FINDHLG.h"

namespace {

// Rows 1..last of a kind with capacity step x number (kN).
void Rows(SizingCatalogue& cat, const char* kind, double step, int first = 1, int last = 22) {
    for (int nr = first; nr <= last; ++nr)
        cat.Group(kind, nr, step * nr);
}

QList<int> Groups() {
    return {CalcGlobals.MainUnitLoadGroup, CalcGlobals.SupportLoadGroup, CalcGlobals.ComponentLoadGroup};
}

}  // namespace

class TestMainUnit : public QObject {
    Q_OBJECT
    ScriptedSelectionUi ui;
    SharedCatalogue shared;

    // A hanger already sized: its number, load group and loads; the finish
    // of SelectHanger runs on it (as after a pre-selected type).
    void SizedHanger(const QString& name, const QString& area, int number, int group, double load,
                     double installation = 0) {
        PlainSizingSupport(load, 0);
        SetArrangement(name, area);
        ConstructionRecord.K_VGB_KZ = true;
        ConstructionRecord.K_LAST_AUSG = installation;
        CalcGlobals.MainUnitNumber = number;
        CalcGlobals.MainUnitLoadGroup = int16_t(group);
    }

private slots:
    void cleanupTestCase() { shared.Reset(); }
    void init() { ui = ScriptedSelectionUi(); }

    // Letter 4 F: the second load group is the size class of the main
    // unit's group; no component search.
    void sizeClassOfLetterF_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("second");
        const int classes[][2] = {{9, 1},  {10, 2}, {11, 2}, {12, 3}, {13, 4}, {14, 4}, {15, 5},
                                  {16, 5}, {17, 6}, {18, 6}, {19, 7}, {20, 1}, {0, 1}};
        for (const auto& c : classes)
            QTest::newRow(qPrintable(QStringLiteral("group %1").arg(c[0]))) << c[0] << c[1];
    }
    void sizeClassOfLetterF() {
        QFETCH(int, group);
        QFETCH(int, second);
        shared.Get([&](SizingCatalogue& cat) {
            Rows(cat, "LGH", 1);
            cat.PricedProduct(20213213, QStringLiteral("213213"), 100);
        });
        SizedHanger(QStringLiteral("SHHFESBH"), QStringLiteral(" "), 20213213, group, 20);
        ActiveUiScope active(ui);
        SelectHanger();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(int(CalcGlobals.SecondLoadGroup), second);
        QCOMPARE(int(CalcGlobals.SecondComponentLoadGroup), second);
        QCOMPARE(Groups(), (QList<int>{group, group, group}));
        QCOMPARE(CalcGlobals.DesignLoad, 20.0);
    }

    // The support's load group at the design load, the components' at half
    // of it, at most the allowed difference below the larger of the main
    // unit's and the support's group. Rows 1..22 of 1 kN per group: 20 kN
    // gives support group 20, the search from 10 kN starts at group 10.
    void componentLoadGroup_data() {
        QTest::addColumn<QString>("area");
        QTest::addColumn<int>("group");
        QTest::addColumn<double>("load");
        QTest::addColumn<QList<int>>("groups");
        QTest::addColumn<double>("designLoad");
        QTest::newRow("group 11: one below") << " " << 11 << 20.0 << QList<int>{11, 20, 19} << 10.0;
        QTest::newRow("group 12: two below") << " " << 12 << 20.0 << QList<int>{12, 20, 18} << 10.0;
        QTest::newRow("group 13: three below") << " " << 13 << 20.0 << QList<int>{13, 20, 17} << 10.0;
        QTest::newRow("group 14: one below") << " " << 14 << 20.0 << QList<int>{14, 20, 19} << 10.0;
        QTest::newRow("group 15: one below") << " " << 15 << 20.0 << QList<int>{15, 20, 19} << 10.0;
        QTest::newRow("group 16: one below") << " " << 16 << 20.0 << QList<int>{16, 20, 19} << 10.0;
        QTest::newRow("group 17: one below") << " " << 17 << 20.0 << QList<int>{17, 20, 19} << 10.0;
        QTest::newRow("group 18: two below") << " " << 18 << 20.0 << QList<int>{18, 20, 18} << 10.0;
        QTest::newRow("group 19: two below") << " " << 19 << 20.0 << QList<int>{19, 20, 18} << 10.0;
        QTest::newRow("group 20: three below") << " " << 20 << 20.0 << QList<int>{20, 20, 17} << 10.0;
        QTest::newRow("group 21 above the support") << " " << 21 << 20.0 << QList<int>{21, 20, 19} << 10.0;
        QTest::newRow("group 22: no limit") << " " << 22 << 20.0 << QList<int>{22, 20, 10} << 10.0;
        QTest::newRow("group 10: no component search") << " " << 10 << 20.0 << QList<int>{10, 20, 10} << 20.0;
        QTest::newRow("group 9: no search at all") << " " << 9 << 20.0 << QList<int>{9, 9, 9} << 20.0;
        QTest::newRow("area A: the unit's own group") << "A" << 13 << 20.0 << QList<int>{13, 13, 10} << 10.0;
        QTest::newRow("area A, nothing at half the load") << "A" << 13 << 46.0 << QList<int>{13, 13, 13} << 23.0;
        QTest::newRow("nothing at the load") << " " << 13 << 23.0 << QList<int>{13, 13, 13} << 23.0;
    }
    void componentLoadGroup() {
        QFETCH(QString, area);
        QFETCH(int, group);
        QFETCH(double, load);
        QFETCH(QList<int>, groups);
        QFETCH(double, designLoad);
        shared.Get([&](SizingCatalogue& cat) {
            Rows(cat, "LGH", 1);
            Rows(cat, "LGK", 100);  // the constant hangers' rows, never read for a spring
            cat.PricedProduct(21013218, QStringLiteral("213218"), 100);
        });
        SizedHanger(QStringLiteral("SHHAESBH"), area, 21013218, group, load);
        ActiveUiScope active(ui);
        SelectHanger();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(Groups(), groups);
        QCOMPARE(CalcGlobals.DesignLoad, designLoad);
    }

    // The rows of the component search run out: group 21 allows two below
    // itself, rows end at 18: the components take the support's group.
    void componentRowsRunOut() {
        shared.Get([&](SizingCatalogue& cat) {
            Rows(cat, "LGH", 1, 1, 18);
            cat.PricedProduct(21013218, QStringLiteral("213218"), 100);
        });
        SizedHanger(QStringLiteral("SHHAESBH"), QStringLiteral(" "), 21013218, 21, 12);
        ActiveUiScope active(ui);
        SelectHanger();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(Groups(), (QList<int>{21, 12, 12}));
    }

    // The installation load of a spring counts when above K_LAST: 21 kN
    // against 12 kN gives support group 21, components from 10.5 kN; below
    // it, K_LAST counts (support group 12, components from 6 kN). A
    // constant hanger reads its own kind "LGK" (2 kN per group here:
    // support group 6). Group 21 allows two below itself: 19 each time.
    void designLoadOfTheFinish_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<double>("installation");
        QTest::addColumn<QList<int>>("groups");
        QTest::addColumn<double>("designLoad");
        QTest::newRow("spring, installation load above") << 21013218 << 21.0 << QList<int>{21, 21, 19} << 10.5;
        QTest::newRow("spring, installation load below") << 21013218 << 11.0 << QList<int>{21, 12, 19} << 6.0;
        QTest::newRow("constant hanger") << 11013315 << 0.0 << QList<int>{21, 6, 19} << 6.0;
    }
    void designLoadOfTheFinish() {
        QFETCH(int, number);
        QFETCH(double, installation);
        QFETCH(QList<int>, groups);
        QFETCH(double, designLoad);
        shared.Get([&](SizingCatalogue& cat) {
            Rows(cat, "LGH", 1);
            Rows(cat, "LGK", 2);
            cat.PricedProduct(21013218, QStringLiteral("213218"), 100);
            cat.PricedProduct(11013315, QStringLiteral("113315"), 100);
        });
        SizedHanger(QStringLiteral("SHHAESBH"), QStringLiteral(" "), number, 21, 12, installation);
        ActiveUiScope active(ui);
        SelectHanger();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(Groups(), groups);
        QCOMPARE(CalcGlobals.DesignLoad, designLoad);
    }

    // A main unit without its product row: 2714, and the unit's values go.
    void finishWithoutProductRow() {
        shared.Get([&](SizingCatalogue& cat) {
            Rows(cat, "LGH", 1);
        });
        SizedHanger(QStringLiteral("SHHAESBH"), QStringLiteral(" "), 21013218, 13, 12);
        ConstructionRecord.K_BLOCKIER = 50;
        ConstructionRecord.K_ARBWEG = 100;
        ConstructionRecord.K_ARBWEG_EFF = 90;
        ActiveUiScope active(ui);
        SelectHanger();
        QCOMPARE(int(CalcGlobals.TableStatus), 1);
        QCOMPARE(int(CalcGlobals.MessageNumber), 2714);
        QCOMPARE(CalcGlobals.MainUnitNumber, 0.0);
        QCOMPARE(QList<int>({ConstructionRecord.K_BLOCKIER, ConstructionRecord.K_ARBWEG,
                             ConstructionRecord.K_ARBWEG_EFF}),
                 (QList<int>{0, 0, 0}));
    }

    // A hanger sizing that fails leaves nothing of the hanger before it.
    void failedSizingClearsTheUnit() {
        shared.Get([](SizingCatalogue& cat) { Rows(cat, "LGH", 1, 1, 5); });
        PlainSizingSupport(12, 10);
        SetArrangement(QStringLiteral("SHHAESBH"));
        TConstructionRecord& k = ConstructionRecord;
        k.K_LAST_AUSG = 5;
        k.K_FDIFF_EFF = 6;
        k.K_ARBWEG = 7;
        k.K_ARBWEG_EFF = 8;
        k.K_BLOCKIER = 9;
        CalcGlobals.MainUnitNumber = 21013318;
        CalcGlobals.MainUnitRangeIndex = 3;
        CalcGlobals.MainUnitLoadGroup = CalcGlobals.SupportLoadGroup = CalcGlobals.ComponentLoadGroup = 13;
        CalcGlobals.SecondLoadGroup = CalcGlobals.SecondComponentLoadGroup = 4;
        ActiveUiScope active(ui);
        SelectHanger();
        // No spring row at 12 kN: 2172.
        QCOMPARE(int(CalcGlobals.TableStatus), 1);
        QCOMPARE(int(CalcGlobals.MessageNumber), 2172);
        QCOMPARE(QList<double>({k.K_LAST_AUSG, double(k.K_FDIFF_EFF), double(k.K_ARBWEG), double(k.K_ARBWEG_EFF),
                                double(k.K_BLOCKIER), CalcGlobals.MainUnitNumber}),
                 (QList<double>{0, 0, 0, 0, 0, 0}));
        QCOMPARE(QList<int>({CalcGlobals.MainUnitRangeIndex, CalcGlobals.SecondLoadGroup,
                             CalcGlobals.SecondComponentLoadGroup}),
                 (QList<int>{0, 0, 0}));
        QCOMPARE(Groups(), (QList<int>{0, 0, 0}));
    }

    // The unit numbers at the ends of the spring band are constant
    // hangers: blocking position computed, groups of kind "LGK" (2 kN per
    // group: 12 kN is group 6), and from 30,000,000 on the row of the
    // number with digits 1, 3, 7 made 1, 0, 1 stands in the record.
    void bandEndsAreConstantHangers_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("support");
        QTest::newRow("20,000,000") << 20000000 << 20000000 << 6;
        QTest::newRow("30,000,000") << 30000000 << 10000010 << 6;
        QTest::newRow("spring 21,013,218") << 21013218 << 21013218 << 12;
        QTest::newRow("bearing unit 71,513,365") << 71513365 << 11013315 << 6;
    }
    void bandEndsAreConstantHangers() {
        QFETCH(int, number);
        QFETCH(int, row);
        QFETCH(int, support);
        shared.Get([](SizingCatalogue& cat) {
            Rows(cat, "LGH", 1);
            Rows(cat, "LGK", 2);
            for (int n : {20000000, 30000000, 10000010, 21013218, 71513365, 11013315})
                cat.PricedProduct(n, QString::number(n).left(6), 100);
        });
        SizedHanger(QStringLiteral("SHHAESBH"), QStringLiteral(" "), number, 13, 12);
        ConstructionRecord.K_WEG_EFF = 10;
        ConstructionRecord.K_ARBWEG = 200;
        ConstructionRecord.K_BLOCKIER = 1;
        ActiveUiScope active(ui);
        SelectHanger();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(qint64(CalcGlobals.MainUnitNumber), qint64(number));
        QCOMPARE(qint64(PgstatRecord.STA_NRN), qint64(row));
        QCOMPARE(int(CalcGlobals.SupportLoadGroup), support);
        // A constant hanger's blocking position: 12 kN is not below half the
        // capacity of any constant hanger this program sizes (at most 10
        // kN), so [(200 + 10) / 2].
        if (support == 6)
            QCOMPARE(int(ConstructionRecord.K_BLOCKIER), 105);
        else
            QCOMPARE(int(ConstructionRecord.K_BLOCKIER), 1);
    }

    // A position the engineer saved for this unit stands whenever the unit
    // is sized again in the selection, with no travel reserves; another
    // unit gets its own computed position.
    void savedBlockingPositionStands_data() {
        QTest::addColumn<double>("savedUnit");
        QTest::addColumn<QList<int>>("blocking");  // K_BLOCKIER, top, bottom
        QTest::newRow("same unit") << 11013315.0 << QList<int>{77, 0, 0};
        QTest::newRow("another unit") << 11014215.0 << QList<int>{105, 95, 95};
    }
    void savedBlockingPositionStands() {
        QFETCH(double, savedUnit);
        QFETCH(QList<int>, blocking);
        shared.Get([](SizingCatalogue& cat) {
            Rows(cat, "LGK", 2);
            cat.PricedProduct(11013315, QStringLiteral("113315"), 100);
        });
        SizedHanger(QStringLiteral("SHHAESBH"), QStringLiteral(" "), 11013315, 13, 12);
        ConstructionRecord.K_WEG_EFF = 10;
        ConstructionRecord.K_ARBWEG = 200;
        EngineState.Reset();
        EngineState.BlockingPositionSaved = true;
        EngineState.SavedBlockingUnit = savedUnit;
        CalcGlobals.ChosenBlockingPosition = 77;
        ActiveUiScope active(ui);
        SelectHanger();
        EngineState.Reset();
        // Computed (12 kN not below half a capacity, as above):
        // [(200 + 10) / 2] = 105, [(200 - 10) / 2] = 95, 200 - 105.
        QCOMPARE(QList<int>({ConstructionRecord.K_BLOCKIER, ConstructionRecord.K_RES_ACTUAL_S_TOP,
                             ConstructionRecord.K_RES_ACTUAL_S_BUT}),
                 blocking);
    }

    // The blocking-position question: only with a halved travel seen,
    // once, with the option set, a position to show and a unit outside
    // the spring band (strictly between 20,000,000 and 30,000,000).
    void blockingQuestionConditions_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<double>("mark");
        QTest::addColumn<bool>("done");
        QTest::addColumn<bool>("option");
        QTest::addColumn<int>("blocking");
        QTest::addColumn<bool>("asked");
        QTest::newRow("constant hanger") << 11013315 << 1.0 << false << true << 50 << true;
        QTest::newRow("no halving mark") << 11013315 << 0.0 << false << true << 50 << false;
        QTest::newRow("already settled") << 11013315 << 1.0 << true << true << 50 << false;
        QTest::newRow("option off") << 11013315 << 1.0 << false << false << 50 << false;
        QTest::newRow("no position") << 11013315 << 1.0 << false << true << 0 << false;
        QTest::newRow("20,000,000") << 20000000 << 1.0 << false << true << 50 << true;
        QTest::newRow("20,000,001") << 20000001 << 1.0 << false << true << 50 << false;
        QTest::newRow("29,999,999") << 29999999 << 1.0 << false << true << 50 << false;
        QTest::newRow("30,000,000") << 30000000 << 1.0 << false << true << 50 << true;
    }
    void blockingQuestionConditions() {
        QFETCH(int, number);
        QFETCH(double, mark);
        QFETCH(bool, done);
        QFETCH(bool, option);
        QFETCH(int, blocking);
        QFETCH(bool, asked);
        shared.Get([&](SizingCatalogue& cat) {
            cat.PricedProduct(11013315, QStringLiteral("113315"), 100);
        });
        PlainSizingSupport(12, 0);
        SetArrangement(QStringLiteral("SHHAESBH"));
        CalcGlobals.MainUnitNumber = number;
        CalcGlobals.HorizontalHalvingMark = mark;
        CalcGlobals.BlockingPositionDone = done;
        ConstructionRecord.K_BLOCK_VOR = option;
        ConstructionRecord.K_BLOCKIER = int16_t(blocking);
        ActiveUiScope active(ui);
        AskBlockingPosition();
        QCOMPARE(ui.count("dialog: show"), asked ? 1 : 0);
        QCOMPARE(CalcGlobals.BlockingPositionDone, asked || done);
        // A unit without its product row is shown as "000000", no failure.
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        if (asked)
            QCOMPARE(FieldText(CalcGlobals.DisplayPartNumber),
                     number == 11013315 ? QStringLiteral("113315") : QStringLiteral("000000"));
    }

    // The number shown is the nuclear article for a nuclear design; the
    // range follows the load against half the capacity (equal: 0 .. A); a
    // saved position is kept as the chosen one, one outside the range is
    // refused with 7203.
    void blockingQuestionRangeAndAnswer_data() {
        QTest::addColumn<bool>("nuclear");
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("entered");  // -1: not saved
        QTest::addColumn<QList<int>>("range");
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("chosen");
        QTest::newRow("load below half the capacity") << false << 9.5 << -1 << QList<int>{-13, 300} << 0 << 50;
        QTest::newRow("load at half the capacity") << false << 10.0 << -1 << QList<int>{0, 313} << 0 << 50;
        QTest::newRow("nuclear number") << true << 10.0 << -1 << QList<int>{0, 313} << 0 << 50;
        QTest::newRow("saved at the upper end") << false << 10.0 << 313 << QList<int>{0, 313} << 0 << 313;
        QTest::newRow("saved at the lower end") << false << 9.5 << -13 << QList<int>{-13, 300} << 0 << -13;
        QTest::newRow("above the range") << false << 10.0 << 314 << QList<int>{0, 313} << 7203 << 0;
        QTest::newRow("below the range") << false << 9.5 << -14 << QList<int>{-13, 300} << 7203 << 0;
    }
    void blockingQuestionRangeAndAnswer() {
        QFETCH(bool, nuclear);
        QFETCH(double, load);
        QFETCH(int, entered);
        QFETCH(QList<int>, range);
        QFETCH(int, message);
        QFETCH(int, chosen);
        shared.Get([&](SizingCatalogue& cat) {
            cat.PricedProduct(11013315, QStringLiteral("113315"), 100);
        });
        PlainSizingSupport(12, 0);
        SetArrangement(QStringLiteral("SHHAESBH"));
        ConstructionRecord.K_KERNTECH = nuclear;
        ConstructionRecord.K_BLOCK_VOR = true;
        ConstructionRecord.K_BLOCKIER = 50;
        CalcGlobals.MainUnitNumber = 11013315;
        CalcGlobals.HorizontalHalvingMark = 1;
        CalcGlobals.BlockingSizingLoad = load;
        CalcGlobals.BlockingHalfCapacity = 10;
        CalcGlobals.BlockingNominalTravel = 300;
        CalcGlobals.BlockingWorkingTravel = 313.5;
        QList<int> shown;
        ui.blockingDialog = [&shown, entered] {
            shown = {CalcGlobals.BlockingRangeMin, CalcGlobals.BlockingRangeMax};
            if (entered == -1)
                return false;
            ConstructionRecord.K_BLOCKIER = int16_t(entered);
            return true;
        };
        ActiveUiScope active(ui);
        AskBlockingPosition();
        QCOMPARE(shown, range);
        QCOMPARE(FieldText(CalcGlobals.DisplayPartNumber), nuclear ? QStringLiteral("K11331") : QStringLiteral("113315"));
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        QCOMPARE(int(CalcGlobals.TableStatus), message ? 1 : 0);
        if (message == 0) {
            QCOMPARE(int(CalcGlobals.ChosenBlockingPosition), chosen);
            QVERIFY(CalcGlobals.BlockingPositionDone);
            QCOMPARE(EngineState.BlockingPositionSaved, entered != -1);
        } else {
            QVERIFY(!CalcGlobals.BlockingPositionDone);
        }
    }

    // The default member on rows of 1 kN per group: support group at the
    // load, components from half of it, at most one below.
    void defaultMember_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("cn");
        QTest::addColumn<bool>("knag");
        QTest::addColumn<QString>("strload");
        QTest::addColumn<QList<int>>("groups");
        QTest::addColumn<double>("designLoad");
        QTest::newRow("plain support") << "SHHAESBS" << false << false << " " << QList<int>{0, 12, 11} << 6.0;
        QTest::newRow("CN: 1.3 x 12 kN") << "SHHAESBS" << true << false << " " << QList<int>{0, 16, 15} << 7.8;
        QTest::newRow("kind B: 2 kN per group") << "SHHAESBS" << false << false << "B" << QList<int>{0, 6, 5} << 6.0;
        QTest::newRow("letters V D X: half the load once") << "SHVADSXS" << false << false << " "
                                                           << QList<int>{0, 6, 6} << 6.0;
        QTest::newRow("letters V T X with K_KNAG_KZ: once") << "SHVATSXS" << false << true << " "
                                                            << QList<int>{0, 12, 12} << 12.0;
        QTest::newRow("letters V T X without K_KNAG_KZ") << "SHVATSXS" << false << false << " "
                                                         << QList<int>{0, 12, 11} << 6.0;
        QTest::newRow("letters V D without X") << "SHVADSBS" << false << false << " " << QList<int>{0, 12, 11} << 6.0;
        QTest::newRow("letters S R: nothing") << "SHHRESBS" << false << false << " " << QList<int>{0, 0, 0} << 12.0;
        QTest::newRow("letter 4 R without 1 S") << "DHHRESBS" << false << false << " " << QList<int>{0, 12, 11} << 6.0;
    }
    void defaultMember() {
        QFETCH(QString, name);
        QFETCH(bool, cn);
        QFETCH(bool, knag);
        QFETCH(QString, strload);
        QFETCH(QList<int>, groups);
        QFETCH(double, designLoad);
        shared.Get([&](SizingCatalogue& cat) {
            Rows(cat, "LGA", 1);
            Rows(cat, "LGB", 2);
        });
        PlainSizingSupport(12, 0);
        SetArrangement(name);
        CalcGlobals.CNStandard = cn;
        ConstructionRecord.K_KNAG_KZ = knag;
        PutText(ConstructionRecord.K_STRLOAD_KZ, strload);
        SelectMainUnitDefault();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(Groups(), groups);
        QCOMPARE(CalcGlobals.DesignLoad, designLoad);
        QCOMPARE(qint64(CalcGlobals.MainUnitNumber), qint64(groups[1] ? 55555555 : 0));
    }

    // Dynamic loads: the largest group of the three load levels decides
    // (rows of 2, 3 and 4 kN per group for "LGC", "LGD", "LGE").
    void dynamicMember_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("cn");
        QTest::addColumn<QList<double>>("loads");
        QTest::addColumn<QString>("deciding");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("component");
        QTest::newRow("level C") << "SHHYESBS" << false << QList<double>{5, 0, 0} << "C" << 3 << 3;
        QTest::newRow("level D") << "SHHYESBS" << false << QList<double>{5, 10, 0} << "D" << 4 << 4;
        QTest::newRow("level E") << "SHHYESBS" << false << QList<double>{5, 10, 20} << "E" << 5 << 5;
        QTest::newRow("level D equal to C stays C") << "SHHYESBS" << false << QList<double>{5, 9, 0} << "C" << 3 << 3;
        QTest::newRow("letters 8 S 7 X: at least 2") << "SHHYESXS" << false << QList<double>{1, 0, 0} << "C" << 2 << 2;
        QTest::newRow("letter 8 S alone: 1") << "SHHYESBS" << false << QList<double>{1, 0, 0} << "C" << 1 << 1;
        QTest::newRow("letter 8 H: 2 becomes 3") << "SHHYESBH" << false << QList<double>{3, 0, 0} << "C" << 3 << 3;
        QTest::newRow("letter 7 C: 2 becomes 3") << "SHHYESCS" << false << QList<double>{3, 0, 0} << "C" << 3 << 3;
        QTest::newRow("letters 8 S 7 X: 2 stays") << "SHHYESXS" << false << QList<double>{3, 0, 0} << "C" << 2 << 2;
        QTest::newRow("letter 8 H: 4 stays") << "SHHYESBH" << false << QList<double>{7, 0, 0} << "C" << 4 << 4;
        QTest::newRow("CN with letter 1 G: 1.3 x 5 kN") << "GHHYESBS" << true << QList<double>{5, 0, 0} << "C" << 4
                                                        << 4;
        QTest::newRow("CN with letter 1 S") << "SHHYESBS" << true << QList<double>{5, 0, 0} << "C" << 3 << 3;
        QTest::newRow("letter 5 D, level C: half") << "SHHYDSBS" << false << QList<double>{5, 0, 0} << "C" << 3 << 2;
        QTest::newRow("letter 5 D, level D: half") << "SHHYDSBS" << false << QList<double>{5, 10, 0} << "D" << 4 << 2;
        QTest::newRow("letter 5 D, level E: half") << "SHHYDSBS" << false << QList<double>{5, 10, 20} << "E" << 5
                                                   << 3;
    }
    void dynamicMember() {
        QFETCH(QString, name);
        QFETCH(bool, cn);
        QFETCH(QList<double>, loads);
        QFETCH(QString, deciding);
        QFETCH(int, second);
        QFETCH(int, component);
        shared.Get([&](SizingCatalogue& cat) {
            Rows(cat, "LGC", 2, 1, 8);
            Rows(cat, "LGD", 3, 1, 8);
            Rows(cat, "LGE", 4, 1, 8);
        });
        PlainSizingSupport(loads[0], 0);
        ConstructionRecord.K_LAST_DYN_2 = loads[1];
        ConstructionRecord.K_LAST_DYN_3 = loads[2];
        SetArrangement(name);
        CalcGlobals.CNStandard = cn;
        // What a main unit before left: the dynamic member selects none.
        CalcGlobals.MainUnitLoadGroup = CalcGlobals.SupportLoadGroup = CalcGlobals.ComponentLoadGroup = 7;
        CalcGlobals.MainUnitNumber = 21013218;
        SelectMainUnitY();
        QCOMPARE(Groups(), (QList<int>{0, 0, 0}));
        QCOMPARE(CalcGlobals.MainUnitNumber, 0.0);
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(FieldText(ConstructionRecord.K_DYNLOAD_KZ), deciding);
        QCOMPARE(int(CalcGlobals.SecondLoadGroup), second);
        QCOMPARE(int(CalcGlobals.SecondComponentLoadGroup), component);
        if (name.at(4) == QLatin1Char('D'))
            QCOMPARE(CalcGlobals.DesignLoad, 0.5 * loads[deciding == "C" ? 0 : deciding == "D" ? 1 : 2]);
    }

    // Member G: the first group from 10 on whose reduced capacity carries
    // the load (0.8 for group 10, 0.832 above; rows of 10 kN per group),
    // and its size class.
    void memberG_data() {
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("second");
        QTest::newRow("group 9 skipped") << 5.0 << 10 << 2;
        QTest::newRow("0.8 x 100 kN") << 80.0 << 10 << 2;
        QTest::newRow("above 0.8 x 100 kN") << 80.5 << 11 << 2;
        for (int g = 12; g <= 20; ++g) {
            static const int classes[] = {3, 4, 4, 5, 5, 6, 6, 7, 7};
            QTest::newRow(qPrintable(QStringLiteral("group %1").arg(g))) << 8.32 * g - 4 << g << classes[g - 12];
        }
    }
    void memberG() {
        QFETCH(double, load);
        QFETCH(int, group);
        QFETCH(int, second);
        shared.Get([&](SizingCatalogue& cat) {
            Rows(cat, "LGH", 10, 9, 21);
        });
        PlainSizingSupport(load, 0);
        SetArrangement(QStringLiteral("SHHGESBS"));
        // What a sizing before left behind.
        ConstructionRecord.K_LAST_AUSG = 5;
        ConstructionRecord.K_ARBWEG_EFF = 7;
        ConstructionRecord.K_BLOCKIER = 8;
        ConstructionRecord.K_FDIFF_EFF = 9;
        CalcGlobals.MainUnitRangeIndex = 3;
        CalcGlobals.MainUnitNumber = 21013318;
        CalcGlobals.SecondComponentLoadGroup = 6;
        SelectMainUnitG();
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        QCOMPARE(Groups(), (QList<int>{group, group, group}));
        QCOMPARE(int(CalcGlobals.SecondLoadGroup), second);
        QCOMPARE(int(ConstructionRecord.K_ARBWEG), -25);
        QCOMPARE(ConstructionRecord.K_LAST_AUSG, 0.0);
        QCOMPARE(QList<int>({ConstructionRecord.K_ARBWEG_EFF, ConstructionRecord.K_BLOCKIER,
                             ConstructionRecord.K_FDIFF_EFF, CalcGlobals.MainUnitRangeIndex}),
                 (QList<int>{0, 0, 0, 0}));
        QCOMPARE(CalcGlobals.MainUnitNumber, 0.0);
        // The second component group is not this member's.
        QCOMPARE(int(CalcGlobals.SecondComponentLoadGroup), 6);
    }

    // Member C: letters 7 F and E select nothing; otherwise group "LGO".
    void memberC_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("group");
        QTest::newRow("letter 7 B") << "CHHRESBS" << 4;
        QTest::newRow("letter 7 E") << "CHHRESES" << 7;
        QTest::newRow("letter 7 F") << "CHHRESFS" << 7;
    }
    void memberC() {
        QFETCH(QString, name);
        QFETCH(int, group);
        shared.Get([&](SizingCatalogue& cat) {
            Rows(cat, "LGO", 3);
        });
        PlainSizingSupport(12, 0);
        SetArrangement(name);
        CalcGlobals.SupportLoadGroup = CalcGlobals.MainUnitLoadGroup = CalcGlobals.ComponentLoadGroup = 7;
        SelectMainUnitC();
        QCOMPARE(Groups(), (QList<int>{group, group, group}));
        QCOMPARE(qint64(CalcGlobals.MainUnitNumber), qint64(group == 4 ? 55556666 : 0));
    }

    // A pre-selected type: its load number is shown in the dialog; a '1' in
    // front makes it a constant hanger; a failed check is a failure.
    void preselectedType_data() {
        QTest::addColumn<QString>("loadNumber");
        QTest::addColumn<int>("product");
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("message");
        QTest::newRow("constant hanger") << "113315" << 11013315 << 10.0 << 0 << 0;
        QTest::newRow("constant hanger out of range") << "113315" << 11013315 << 25.0 << 1 << 2815;
        QTest::newRow("spring") << "213118" << 21013118 << 10.0 << 0 << 0;
        QTest::newRow("spring out of range") << "213118" << 21013118 << 25.0 << 1 << 2814;
    }
    void preselectedType() {
        QFETCH(QString, loadNumber);
        QFETCH(int, product);
        QFETCH(double, load);
        QFETCH(int, status);
        QFETCH(int, message);
        shared.Get([&](SizingCatalogue& cat) {
            cat.Group("LGK", 13, 20);
            cat.Group("LGH", 13, 15);
            cat.PricedProduct(11013315, QStringLiteral("113315"), 100);
            cat.PricedProduct(21013118, QStringLiteral("213118"), 100);
        });
        PlainSizingSupport(load, 10);
        SetArrangement(QStringLiteral("SHHAESBH"));
        ConstructionRecord.K_VGB_KZ = true;
        PutText(CalcGlobals.PreselectedLoadNumber, loadNumber);
        CalcGlobals.PreselectedProductNumber = product;
        ActiveUiScope active(ui);
        SelectPreselectedHanger();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(int(CalcGlobals.MessageNumber), message);
        QCOMPARE(FieldText(CalcGlobals.DisplayPartNumber), loadNumber);
        if (status == 0) {
            QCOMPARE(qint64(CalcGlobals.MainUnitNumber), qint64(product));
            QCOMPARE(int(CalcGlobals.MainUnitLoadGroup), 13);
        }
        // The range index is digit 6 of the pre-selected number, also when
        // the check fails.
        QCOMPARE(int(CalcGlobals.MainUnitRangeIndex), product / 100 % 10);
    }
};

QTEST_GUILESS_MAIN(TestMainUnit)
#include "tst_MainUnit.moc"
