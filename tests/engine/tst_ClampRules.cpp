// The clamp search's row filters, capacity adjustments and rejection
// reasons, on a fixture clamp table: each diameter holds the rows of one
// rule, neighbours differing only in the field that rule reads.
#include "ClampCatalogue.h"
#include "data/PGCOOL.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "engine/ComposeParts.h"
#include "engine/FINDBTLChain.h"
#include "engine/FINDRSRL.h"
#include "engine/StepTools.h"

using namespace ClampCatalogue;

class TestClampRules : public QObject {
    Q_OBJECT
    StepUi ui;
    std::unique_ptr<CatalogueFixture> f;

    static TCalcGlobals& G() { return CalcGlobals; }
    static TPgrsrlRecord& R() { return PgrsrlRecord; }

    // A support of 5 kN at 180 degrees (class 03) on the given pipe.
    void Support(const QString& name, double diameter, int group = 11) {
        ResetCalcState();
        ResetClampState();
        Arrange(name, {"750", "610", "660", "600", "430"});
        PutText(G().DisplayPartNumber, QStringLiteral("      "));
        TConstructionRecord& k = ConstructionRecord;
        k.K_RDM = diameter;
        k.K_TEM = 180;
        k.K_LAST = 5;
        k.K_ROHRRI_KZ = true;
        k.K_TYP_42_KZ = true;
        k.K_RDM_KZ[0] = ' ';
        G().ClampLoadGroup = int16_t(group);
        G().ChainPartIndex = 1;
        G().BlockingRangeMax = 1;
    }
    void Select() {
        ActiveUiScope scope(ui);
        SelectClamp();
    }
    int Key() const { return SearchKeyNumber(); }
    int Status() const { return G().TableStatus; }
    int Message() const { return G().MessageNumber; }

    // A clamp row with five width steps of distinct capacities (k, hot k + 1,
    // hydrotest k + 2, each step 10 more) for the adjustment cases.
    void StepRow(const QString& cnArticle) {
        R() = TPgrsrlRecord();
        for (std::size_t s = 0; s < 5; ++s) {
            R().RSL_KRAFT[s] = 10.0 * double(s + 1);
            R().RSL_KRAFT_INT[s] = 10.0 * double(s + 1) + 1;
            R().RSL_HYD_LST[s] = 10.0 * double(s + 1) + 2;
        }
        std::copy_n(cnArticle.toLatin1().constData(), 6, R().RSL_L_NR_CN);
    }

private slots:
    void initTestCase() {
        f = std::make_unique<CatalogueFixture>();
        Diameter(*f, 114.3, 9);
        Diameter(*f, 168.3, 11);
        Diameter(*f, 219.1, 12);
        Diameter(*f, 273, 13);
        for (auto [c, t] : {std::pair{2, 150}, {3, 200}, {10, 500}, {11, 530}})
            TemperatureClass(*f, c, t);
        // DN100: the filters. A pair of halves with a connection part, a
        // plain clamp, a pre-assembled one.
        Clamp(*f, 43090301, 9, 14, 50, 50, {{"RSL_KOP_KZ", true}});
        Clamp(*f, 43090302, 9, 14, 50, 50);
        Clamp(*f, 43090303, 9, 14, 50, 50, {{"RSL_VGB_KZ", true}});
        Part(*f, 61111000, 40);
        // DN150: base clamps, a special variant "11" before a plain "21".
        Clamp(*f, 49110311, 9, 24, 50, 50, {{"RSL_E", -200}});
        Clamp(*f, 49110321, 9, 24, 50, 50, {{"RSL_E", -210}});
        // DN150, class 11: a base clamp row beyond class 10.
        Clamp(*f, 49111121, 9, 24, 50, 50, {{"RSL_E", -200}});
        // DN200: no row of type 40, a row of another type behind the key.
        Clamp(*f, 45120301, 9, 24, 50, 50);
        // DN250: the window 13-14 that a raised load group may reach, and
        // a two-bolt clamp of the same window.
        Clamp(*f, 43130301, 13, 14, 50, 50, {{"RSL_E", 200}});
        Clamp(*f, 42130301, 13, 14, 50, 50);
        // DN250, plain clamps with widths: a first row of width 200 outside
        // group 11, a second whose first width already exceeds 200.
        Clamp(*f, 45130301, 9, 10, 50, 50, {{"RSL_LG_1", 200}});
        Clamp(*f, 45130302, 9, 24, 50, 50, {{"RSL_LG_1", 300}});
        // DN200, class 11: a variant for low temperatures at its limit; a
        // base clamp without room for 50 mm insulation (120 - 109.55).
        Clamp(*f, 43121151, 9, 24, 50, 50);
        Clamp(*f, 49120321, 9, 24, 50, 50, {{"RSL_E", -120}});
        // DN250: a base clamp with room, the next diameter's.
        Clamp(*f, 49130321, 9, 24, 50, 50, {{"RSL_E", -300}});
        // Horizontal clamps of class 03 and group 11: hot capacity 20 above
        // the 10 at the class's temperature, insulation height 100; one
        // without its nuclear number for group 12.
        Clamp(*f, 41003110, 9, 17, 10, 20, {{"RSL_DAEMM_H", 100}, {"RSL_E", 80}});
        Clamp(*f, 41003120, 9, 17, 10, 20, {{"RSL_L_NR_K", ""}});
        Part(*f, 61112000, 45);
        // Cold supports of load group 3 over three height windows, one of
        // group 4 that carries twice as much.
        for (auto [n, lo, hi, c] : {std::tuple{52003001, 10, 60, 10.0}, {52003002, 50, 120, 10.0},
                                    {52003003, 100, 250, 10.0}, {52004001, 10, 60, 20.0},
                                    {52005001, 40, 80, 10.0}, {52005002, 70, 90, 10.0},
                                    {52009001, 10, 60, 1.0}, {52010001, 10, 60, 20.0},
                                    {52109001, 10, 60, 30.0}})
            f->Insert("PGCLDSTA.DB", {{"CLD_NRN", n}, {"CLD_KRAFT", c}, {"CLD_D_MIN", lo}, {"CLD_D_MAX", hi},
                                      {"CLD_L_NR", QString::number(n).left(6)},
                                      {"CLD_L_NR_K", QString::number(n).left(5) + "K"}});
        // DN60: one riser clamp per load group 9 to 15, each with an article
        // that asks for another connection part (none, 77, 611, 615); the
        // parts of those groups.
        Diameter(*f, 60.3, 6);
        for (auto [g, article, pair] : {std::tuple{9, "420601", false}, {10, "420607", false},
                                        {11, "450601", false}, {12, "430601", true}, {13, "440651", true},
                                        {14, "430601", false}, {15, "410601", false}, {16, "430651", true}})
            Clamp(*f, 43060300 + g, g, g, 50, 50, {{"RSL_L_NR", article}, {"RSL_KOP_KZ", pair}});
        Part(*f, 77010000, 10);
        Part(*f, 77015000, 12);
        Part(*f, 61513000, 30);
        Part(*f, 61108000, 40);
        // Plates of both types for groups 13 and 16, each of its own
        // height, so a clamp that asks for the other type shows.
        Part(*f, 61113000, 35);
        Part(*f, 61116000, 55);
        Part(*f, 61516000, 25);
        // DN300: a window from group 14 whose hydrotest capacity is 10 kN,
        // then one from group 9 (hydrotest 100 kN).
        Diameter(*f, 323.9, 14);
        Clamp(*f, 43140301, 14, 24, 50, 50, {{"RSL_HYD_LST_1", 10.0}});
        Clamp(*f, 43140302, 9, 24, 50, 50);
        // A horizontal clamp of class 10 for group 13: only the class limit
        // keeps it out.
        Clamp(*f, 41010130, 9, 17, 50, 50);
        // DN100: a two-way horizontal clamp (type 41) for 100 mm insulation.
        // DN250: a riser clamp of class 10 without the class below.
        Clamp(*f, 41090301, 9, 24, 50, 50, {{"RSL_DAEMM_H", 100}});
        Clamp(*f, 43131001, 13, 14, 50, 60, {{"RSL_E", 200}});
        // Pipe bearings of DN100: a shoe of 8 kN.
        f->Insert("PGCLDSTA.DB", {{"CLD_NRN", 57090001}, {"CLD_KRAFT", 8.0}, {"CLD_N", 20}, {"CLD_A", 30.0},
                                  {"CLD_L_NR", "570901"}, {"CLD_L_NR_K", "57090K"}});
        // Cold supports of DN100 by diameter: types 541 and 543 for heights
        // 100-300; type 58 too weak in its diameter, a strong one of the next.
        for (auto [n, c] : {std::pair{54109001, 50.0}, {54309001, 50.0}, {58009001, 1.0}, {58010001, 50.0}})
            f->Insert("PGCLDSTA.DB", {{"CLD_NRN", n}, {"CLD_KRAFT", c}, {"CLD_D_MIN", 100}, {"CLD_D_MAX", 300},
                                      {"CLD_L_NR", QString::number(n).left(6)}});
        // Insulated cold supports of DN100 (type 56): insulation index 2 and 4.
        for (int n : {56090200, 56090400})
            f->Insert("PGCLDSTA.DB", {{"CLD_NRN", n}, {"CLD_KRAFT", 50.0}, {"CLD_A", 100.0}, {"CLD_B", 150.0},
                                      {"CLD_D_MIN", 0}, {"CLD_D_MAX", 1000},
                                      {"CLD_L_NR", QString::number(n).left(6)}});
        // An insulated cold support of the next diameter code whose N is the
        // code before it; a stanchion of DN250 with a weight by height.
        f->Insert("PGCLDSTA.DB", {{"CLD_NRN", 56090100}, {"CLD_KRAFT", 50.0}, {"CLD_A", 100.0}, {"CLD_B", 150.0},
                                  {"CLD_N", 8}, {"CLD_D_MIN", 0}, {"CLD_D_MAX", 1000}, {"CLD_L_NR", "560901"}});
        f->Insert("PGCLDSTA.DB", {{"CLD_NRN", 58013001}, {"CLD_KRAFT", 50.0}, {"CLD_D_MIN", 100}, {"CLD_D_MAX", 300},
                                  {"CLD_GEW", 2.0}, {"CLD_GEW_VER", 10.0}, {"CLD_L_NR", "580130"}});
        // Cold supports of types 53 and 55, group 3, for heights 10 to 60.
        for (int n : {53003001, 55003001})
            f->Insert("PGCLDSTA.DB", {{"CLD_NRN", n}, {"CLD_KRAFT", 10.0}, {"CLD_D_MIN", 10}, {"CLD_D_MAX", 60},
                                      {"CLD_L_NR", QString::number(n).left(6)}});
        // A column of DN60 (type 58) whose N is 20 mm.
        f->Insert("PGCLDSTA.DB", {{"CLD_NRN", 58006001}, {"CLD_KRAFT", 10.0}, {"CLD_N", 20}, {"CLD_D_MIN", 0},
                                  {"CLD_D_MAX", 1000}, {"CLD_L_NR", "580060"}});
        // A cold support of type 500, group 3.
        f->Insert("PGCLDSTA.DB", {{"CLD_NRN", 50003001}, {"CLD_KRAFT", 10.0}, {"CLD_D_MIN", 10}, {"CLD_D_MAX", 60},
                                  {"CLD_L_NR", "500030"}, {"CLD_L_NR_K", "50003K"}});
        // Cold supports of group 6 without their nuclear number.
        f->Insert("PGCLDSTA.DB", {{"CLD_NRN", 52006001}, {"CLD_KRAFT", 10.0}, {"CLD_D_MIN", 10}, {"CLD_D_MAX", 60},
                                  {"CLD_L_NR", "520060"}, {"CLD_L_NR_K", ""}});
        // A diameter whose largest outer diameter (88.9 - 2) stays below
        // 87.5: such a pipe takes the next diameter's clamp, code 08.
        Diameter(*f, 88.9, 7, -2);
        Diameter(*f, 101.6, 8);
        Clamp(*f, 43070301, 9, 14, 50, 50);
        Clamp(*f, 43080301, 9, 14, 50, 50);
        // A shoe of no width for the smallest diameter (code 06).
        f->Insert("PGCLDSTA.DB", {{"CLD_NRN", 57060001}, {"CLD_KRAFT", 8.0}, {"CLD_N", 20}, {"CLD_A", 0.0},
                                  {"CLD_L_NR", "570601"}, {"CLD_L_NR_K", "57060K"}});
        f->Start();
    }
    void cleanupTestCase() { f.reset(); }

    // A nuclear cold support passes over rows without their nuclear number;
    // when none is left it ends with the box 2729.
    void coldSupportNuclearNumber_data() {
        QTest::addColumn<bool>("nuclear");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << false << 52006001;
        QTest::newRow("nuclear") << true << 0;
    }
    void coldSupportNuclearNumber() {
        QFETCH(bool, nuclear);
        QFETCH(int, expected);
        Support("CHHRESAS", 0, 6);
        ConstructionRecord.K_KERNTECH = nuclear;
        G().SupportLoadGroup = 6;
        G().SegmentHeights = {30, 0, 0, 0, 0};
        SetSearchKey(52000000);
        SetColdPositionIndex(1);
        ActiveUiScope scope(ui);
        SelectColdComponent();
        QCOMPARE(SearchKeyNumber(), expected);
        QCOMPARE(Message(), expected ? 0 : 2729);
        QCOMPARE(Status(), expected ? 0 : 6);
        QCOMPARE(ui.count("information: "), expected ? 0 : 1);
    }

    // The cold walk: under letter 7 'D' the first cold position is found by
    // the pipe's diameter (code 09), a later one by the load group (3); the
    // rod left is the height S less the chain's height.
    void coldWalkByPosition() {
        Support("CHHRESDS", 114.3, 3);
        Arrange("CHHRESDS", {"520", "520"});
        G().SupportLoadGroup = 3;
        G().ChainPartIndex = 0;
        G().RunningHeight = 0;
        G().SegmentHeights = {30, 0, 0, 0, 0};
        ConstructionRecord.K_LAST = 0.5;
        SetColdPositionIndex(1);
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(G().ChainPartTable[0].ProductNumber, 52009001.0);
        QCOMPARE(G().ChainPartTable[1].ProductNumber, 52003001.0);
        QCOMPARE(RodLengthAt(1), 30 - G().ChainHeight);
    }

    // The rod of a cold support is the height S less the chain's height;
    // the walk starts from no height and cold parts add none (what was left
    // of an earlier pass does not count), so the rod is S, 500. A column
    // (type 58) lists it less its N: "L=" 480.
    void coldWalkRodReachesTheColumn() {
        Support("CHHRESDS", 60.3, 3);
        Arrange("CHHRESDS", {"580"});
        G().SupportLoadGroup = 3;
        G().ChainPartIndex = 0;
        G().RunningHeight = 40.5;
        G().ChainHeight = 40;
        G().SegmentHeights = {500, 0, 0, 0, 0};
        ConstructionRecord.K_LAST = 0.5;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(Status(), 0);
        QCOMPARE(ConstructionRecord.K_BTL_8[0], 58006001.0);
        QCOMPARE(RodLengthAt(1), 500);
        ComposeParts();
        QCOMPARE(PartsList.KB_ZUS[0], QStringLiteral("L= 480"));
    }

    // An arrangement may hold cold positions in all of its 16 places.
    void coldWalkOfSixteenPositions() {
        Support("CHHRESAS", 114.3, 3);
        Arrange("CHHRESAS", QStringList(16, QStringLiteral("520")));
        G().SupportLoadGroup = 3;
        G().SegmentHeights = {30, 0, 0, 0, 0};
        ConstructionRecord.K_LAST = 0.5;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(Status(), 0);
        QCOMPARE(G().ChainPartTable[15].ProductNumber, 52003001.0);
    }

    // Type 500 is the first cold position type.
    void coldWalkFromType500() {
        Support("CHHRESAS", 114.3, 3);
        Arrange("CHHRESAS", {"500"});
        G().SupportLoadGroup = 3;
        G().SegmentHeights = {30, 0, 0, 0, 0};
        ConstructionRecord.K_LAST = 0.5;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(G().ChainPartTable[0].ProductNumber, 50003001.0);
    }

    // The diameter row must reach the pipe with its largest outer diameter.
    void diameterReachesThePipe() {
        Support("SHHAESBS", 87.5);
        Select();
        QCOMPARE(Status(), 0);
        QCOMPARE(Key(), 43080301);
    }

    // A pipe of no diameter holds no shoe, not even one of no width; a
    // pipe of DN150 (code 11) has no shoe of its code at all: 2611.
    void bearingOnNoPipe_data() {
        QTest::addColumn<double>("diameter");
        QTest::addColumn<int>("message");
        QTest::newRow("no pipe") << 0.0 << int(MsgBearingGeometry);
        QTest::newRow("no shoe of DN150") << 168.3 << 2611;
    }
    void bearingOnNoPipe() {
        QFETCH(double, diameter);
        QFETCH(int, message);
        Support("SHHRELBS", diameter);
        ConstructionRecord.K_ROHRLAGER_KZ = true;
        ConstructionRecord.K_TEM = 20;
        Select();
        QCOMPARE(Key(), 0);
        QCOMPARE(Message(), message);
        QCOMPARE(Status(), 1);
    }

    // The horizontal clamp replaces the part above: its weight is taken
    // back: 10 - 1 x 3.
    void horizontalClampTakesBackTheWeight() {
        Support("SHHAESBS", 114.3, 11);
        ConstructionRecord.K_HOR_TYP = 1;
        G().ChainPartIndex = 2;
        G().WeighParts = true;
        G().DeadWeight = 10;
        PgstatRecord.STA_E = 40;
        PgstatRecord.STA_GEW = 3;
        SetSearchKey(60011000);
        Select();
        QCOMPARE(Key(), 41003110);
        QCOMPARE(G().DeadWeight, 7.0);
    }

    // A cold support of load group 3 (letter 1 'C'): the height S must lie
    // in the row's window (both ends inclusive), else the next row; letter
    // 7 'A' keeps to the group (the rows run out at group 4: the height
    // box with the windows' lowest and highest end, or 2770 when the load
    // decided), letter 7 'B' follows the rows into group 4.
    void coldSupport_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("height");
        QTest::addColumn<double>("load");
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("group");
        QTest::newRow("10 at the lower end") << "CHHRESAS" << 10 << 5.0 << false << 52003001 << 0 << 3;
        QTest::newRow("110 in the second window") << "CHHRESAS" << 110 << 5.0 << false << 52003002 << 0 << 3;
        QTest::newRow("250 at the upper end") << "CHHRESAS" << 250 << 5.0 << false << 52003003 << 0 << 3;
        QTest::newRow("251 beyond: box") << "CHHRESAS" << 251 << 5.0 << false << 0 << 2765 << 3;
        QTest::newRow("9 below: imperial box") << "CHHRESAS" << 9 << 5.0 << true << 0 << 2775 << 3;
        QTest::newRow("A: too heavy for group 3") << "CHHRESAS" << 30 << 15.0 << false << 0 << 2770 << 3;
        QTest::newRow("B: on into group 4") << "CHHRESBS" << 30 << 15.0 << false << 52004001 << 0 << 4;
    }
    // Letter 7 'D' and later look the cold support up by the pipe's
    // diameter code (09), not by the load group (3); letter 7 'F' and a
    // letter-1 'C' support check the height window first (box 2762 with
    // the row's window, 2772 in feet and inches) and take any row of the
    // type's first two digits. A support of letter 1 'D' is looked up by
    // diameter also under letter 7 'A', which keeps to the type: DN200
    // (code 12) has no 520 row, the next row is a 521 (2766). Letter 1 'D'
    // under 'F' measures the stanchion from the chain's foot: 200 mm less a
    // chain of 100 leaves 100, above the window 10-60, and the box shows
    // the window raised by the chain, 110 to 160.
    void coldSupportByDiameter_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("diameter");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("chain");  // the running height at the stanchion
        QTest::addColumn<QList<int>>("window");  // the limits the box shows
        const QList<int> window{10, 60};
        QTest::newRow("D: by diameter") << "CHHRESDS" << 114.3 << 30 << false << 52009001 << 0 << 0 << window;
        QTest::newRow("F: on to 521") << "CHHRESFS" << 114.3 << 30 << false << 52109001 << 0 << 0 << window;
        QTest::newRow("F: at the window's upper end") << "CHHRESFS" << 114.3 << 60 << false << 52109001 << 0 << 0
                                                      << window;
        QTest::newRow("F: above the window") << "CHHRESFS" << 114.3 << 61 << false << 0 << 2762 << 0 << window;
        QTest::newRow("F: above the window, imperial") << "CHHRESFS" << 114.3 << 61 << true << 0 << 2772 << 0
                                                       << window;
        QTest::newRow("1 D, 7 A: no row of the diameter") << "DHHRESAS" << 219.1 << 30 << false << 0 << 2766 << 0
                                                          << window;
        QTest::newRow("1 D, 7 F: rest above the window") << "DHHRESFS" << 114.3 << 200 << false << 0 << 2762 << 100
                                                         << QList<int>{110, 160};
    }
    void coldSupportByDiameter() {
        QFETCH(QString, name);
        QFETCH(double, diameter);
        QFETCH(int, height);
        QFETCH(bool, imperial);
        QFETCH(int, expected);
        QFETCH(int, message);
        QFETCH(int, chain);
        QFETCH(QList<int>, window);
        Support(name, diameter, 3);
        G().RunningHeight = chain;
        G().SupportLoadGroup = 3;
        ConstructionRecord.K_LAST = name.at(6) == 'F' ? 25 : 0.5;
        ConstructionRecord.K_EINH_KZ = imperial;
        G().SegmentHeights = {height, 0, 0, 0, 0};
        G().MessageNumber = 4321;
        SetSearchKey(52000000);
        SetColdPositionIndex(1);
        ActiveUiScope scope(ui);
        SelectColdComponent();
        QCOMPARE(SearchKeyNumber(), expected);
        QCOMPARE(Message(), message);
        // Only letters 7 'B' and 'C' follow the rows' load group.
        QCOMPARE(int(G().ClampLoadGroup), 3);
        QCOMPARE(int(G().SupportLoadGroup), 3);
        const bool box = message == 2762 || message == 2772;
        QCOMPARE(Status(), box ? 6 : message ? 1 : 0);
        if (box)
            QCOMPARE(ui.log, QStringList{"information: " + MessageWithValues(message, LengthValues(imperial, {Extended(window[0]), Extended(window[1])}))});
        else
            QCOMPARE(ui.log, QStringList{});
    }

    // Types 52, 53 and 55 hold the height window (box 2765 beyond it).
    void coldSupportWindowOfEveryType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("expected");
        QTest::newRow("53 inside") << 53 << 60 << 53003001;
        QTest::newRow("53 above") << 53 << 61 << 0;
        QTest::newRow("55 inside") << 55 << 10 << 55003001;
        QTest::newRow("55 below") << 55 << 9 << 0;
    }
    void coldSupportWindowOfEveryType() {
        QFETCH(int, type);
        QFETCH(int, height);
        QFETCH(int, expected);
        Support("CHHRESAS", 0, 3);
        G().SupportLoadGroup = 3;
        G().SegmentHeights = {height, 0, 0, 0, 0};
        SetSearchKey(type * 1000000);
        SetColdPositionIndex(1);
        ActiveUiScope scope(ui);
        SelectColdComponent();
        QCOMPARE(SearchKeyNumber(), expected);
        QCOMPARE(Message(), expected ? 0 : 2765);
    }

    // Letter 7 'D' by diameter also goes on to the type's next third digit
    // (521) when no 520 row carries 25 kN.
    void coldSupportByDiameterOnToNextType() {
        Support("CHHRESDS", 114.3, 3);
        G().SupportLoadGroup = 3;
        ConstructionRecord.K_LAST = 25;
        G().SegmentHeights = {30, 0, 0, 0, 0};
        SetSearchKey(52000000);
        SetColdPositionIndex(1);
        ActiveUiScope scope(ui);
        SelectColdComponent();
        QCOMPARE(SearchKeyNumber(), 52109001);
        QCOMPARE(Message(), 0);
    }

    // The clamp reserve lowers the cold support's capacity: 1 % of the 10 kN
    // of the group-3 rows leaves 9.9, so 9.95 kN finds no row of the group
    // (2770) while 9.85 kN keeps the first.
    void coldSupportReserve_data() {
        QTest::addColumn<int>("reserve");
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("expected");
        QTest::newRow("no reserve, 9.95") << 0 << 9.95 << 52003001;
        QTest::newRow("1 %, 9.95") << 1 << 9.95 << 0;
        QTest::newRow("1 %, 9.85") << 1 << 9.85 << 52003001;
    }
    void coldSupportReserve() {
        QFETCH(int, reserve);
        QFETCH(double, load);
        QFETCH(int, expected);
        Support("CHHRESAS", 0, 3);
        ConstructionRecord.K_LAST = load;
        ConstructionRecord.K_RSRL_LR = int16_t(reserve);
        G().SegmentHeights = {30, 0, 0, 0, 0};
        SetSearchKey(52000000);
        SetColdPositionIndex(1);
        ActiveUiScope scope(ui);
        SelectColdComponent();
        QCOMPARE(SearchKeyNumber(), expected);
        QCOMPARE(Message(), expected ? 0 : 2770);
    }

    // Letter 7 'B' follows the rows from group 9 into group 10; the limits
    // of the height box are those of this search, not of the one before.
    void coldSupportLimitsPerSearch() {
        Support("CHHRESBS", 0, 9);
        ConstructionRecord.K_LAST = 15;
        G().SegmentHeights = {30, 0, 0, 0, 0};
        SetSearchKey(52000000);
        SetColdPositionIndex(1);
        ActiveUiScope scope(ui);
        SelectColdComponent();
        QCOMPARE(SearchKeyNumber(), 52010001);
        Support("CHHRESAS", 0, 3);
        G().SegmentHeights = {251, 0, 0, 0, 0};
        SetSearchKey(52000000);
        SelectColdComponent();
        QCOMPARE(Message(), 2765);
        Support("CHHRESAS", 0, 5);
        G().SegmentHeights = {95, 0, 0, 0, 0};
        SetSearchKey(52000000);
        SelectColdComponent();
        QCOMPARE(Message(), 2765);
        QCOMPARE(ui.log.last(), "information: " + MessageWithValues(2765, {40, 90}));
    }

    // An insulated cold support (type 56) of another insulation thickness:
    // the box names the row's dimensions A and B (metric 2763, imperial
    // 2773 in feet and inches). The row found may be of another diameter
    // code: a pipe of 100 or 100.5 mm has code 8 (the 101.6 row), the row
    // after its key 56080900 is 56090100 of code 9 and N 8. Up to 100 mm,
    // with the code equal to that row's N, it is the insulation box too;
    // above 100 mm the diameter has no row (2766). A support of letter 1 'D' enters its
    // part in chain entry 2.
    void insulatedColdSupport_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("diameter");
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("message");
        QTest::newRow("index 2") << 2 << 114.3 << false << 56090200 << 0;
        QTest::newRow("index 3, metric") << 3 << 114.3 << false << 0 << 2763;
        QTest::newRow("index 3, imperial") << 3 << 114.3 << true << 0 << 2773;
        QTest::newRow("another code, pipe of 100") << 9 << 100.0 << false << 0 << 2763;
        QTest::newRow("another code, pipe of 100.5") << 9 << 100.5 << false << 0 << 2766;
    }
    void insulatedColdSupport() {
        QFETCH(int, index);
        QFETCH(double, diameter);
        QFETCH(bool, imperial);
        QFETCH(int, expected);
        QFETCH(int, message);
        Support("DHHRESFS", diameter, 3);
        ConstructionRecord.K_EINH_KZ = imperial;
        G().InsulationThicknessIndex = int16_t(index);
        G().SegmentHeights = {300, 0, 0, 0, 0};
        SetSearchKey(56000000);
        SetColdPositionIndex(1);
        ActiveUiScope scope(ui);
        SelectColdComponent();
        QCOMPARE(SearchKeyNumber(), expected);
        QCOMPARE(Message(), message);
        QCOMPARE(G().ChainPartTable[0].ProductNumber, 0.0);
        QCOMPARE(G().ChainPartTable[1].ProductNumber, double(expected));
        if (message == 2766)
            QCOMPARE(ui.log, QStringList{});
        else if (message)
            QCOMPARE(ui.log, QStringList{"information: " +
                                         MessageWithValues(message, LengthValues(imperial, {100.0L, 150.0L}))});
    }

    // The R walk weighs its cold part by the height: a stanchion 58 of
    // DN250 (code 13) for S = 200: 2 + (200 - 136.5) x 0.001 x 10 = 2.635
    // kg. Letter 1 'D' puts it in entry 2, behind the empty first place;
    // the chain end copies it all the same.
    void rWalkColdPart() {
        Support("DHHRESFS", 273, 13);
        Arrange("DHHRESFS", {"580"});
        ConstructionRecord.K_LAST = 0.5;
        G().ChainPartIndex = 0;
        G().SegmentHeights = {200, 0, 0, 0, 0};
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(Status(), 0);
        QCOMPARE(ConstructionRecord.K_BTL_8[0], 58013001.0);
        QVERIFY2(qAbs(G().DeadWeight - 2.635) < 1e-9, qPrintable(QString::number(G().DeadWeight)));
    }

    void coldSupport() {
        QFETCH(QString, name);
        QFETCH(int, height);
        QFETCH(double, load);
        QFETCH(bool, imperial);
        QFETCH(int, expected);
        QFETCH(int, message);
        QFETCH(int, group);
        Support(name, 0, 3);
        ConstructionRecord.K_LAST = load;
        ConstructionRecord.K_EINH_KZ = imperial;
        G().SupportLoadGroup = 3;
        G().SegmentHeights = {height, 0, 0, 0, 0};
        G().MessageNumber = 4321;  // a found support clears it
        ConstructionRecord.K_RSRL_AN_KZ[0] = 'S';  // left by a clamp: a cold support is a catalogue part
        SetSearchKey(52000000);
        SetColdPositionIndex(1);
        ActiveUiScope scope(ui);
        SelectColdComponent();
        QCOMPARE(SearchKeyNumber(), expected);
        QCOMPARE(Message(), message);
        QCOMPARE(int(G().ClampLoadGroup), group);
        QCOMPARE(int(G().SupportLoadGroup), group);
        QCOMPARE(G().ChainPartTable[0].ProductNumber, double(expected));
        if (expected)
            QCOMPARE(ConstructionRecord.K_RSRL_AN_KZ[0], ' ');
        const bool box = message == 2765 || message == 2775;
        QCOMPARE(Status(), expected ? 0 : box ? 6 : 1);
        QCOMPARE(ui.count("information"), box ? 1 : 0);
        if (message == 2765)
            QCOMPARE(ui.log.last(), "information: " + MessageWithValues(2765, {10, 250}));
    }
    void init() { ui = StepUi(); }

    // The filters of a row, in key order: the pre-pass takes no pair with a
    // connection part, the pre-assembled request only pre-assembled rows.
    void rowFilters_data() {
        QTest::addColumn<bool>("preselect");
        QTest::addColumn<bool>("preassembled");
        QTest::addColumn<int>("expected");
        QTest::newRow("the first row") << false << false << 43090301;
        QTest::newRow("pre-pass: no connection part") << true << false << 43090302;
        QTest::newRow("pre-assembled only") << false << true << 43090303;
    }
    void rowFilters() {
        QFETCH(bool, preselect);
        QFETCH(bool, preassembled);
        QFETCH(int, expected);
        Support("SHHAESBS", 114.3);
        ConstructionRecord.K_VGBRL_KZ = preassembled;
        G().ClampPreselectMode = preselect ? '8' : ' ';
        Select();
        QCOMPARE(Status(), 0);
        QCOMPARE(Key(), expected);
        // Only the component step enters the clamp: a pair of halves.
        QCOMPARE(G().ChainPartTable[0].ProductNumber, preselect ? 0.0 : double(expected));
        if (expected == 43090301)
            QCOMPARE(int(G().ChainPartTable[0].Quantity), 2);
    }

    // The R walk with PTFE refuses the special variant "11" it met first and
    // starts again: the plain "21" is listed and the note counts one
    // refusal. Without PTFE the first is kept.
    void rWalkSpecialVariant_data() {
        QTest::addColumn<bool>("ptfe");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("refused");
        QTest::newRow("PTFE") << true << 49110321 << 1;
        QTest::newRow("without PTFE") << false << 49110311 << 0;
    }
    void rWalkSpecialVariant() {
        QFETCH(bool, ptfe);
        QFETCH(int, expected);
        QFETCH(int, refused);
        Support("DHHRELBS", 168.3);
        Arrange("DHHRELBS", {"490"});
        ConstructionRecord.K_PTFE_KZ = ptfe;
        ConstructionRecord.K_T49G_KZ = QStringLiteral("0");
        G().ChainPartIndex = 0;
        G().SegmentHeights = {300, 0, 0, 0, 0};
        EngineState.PtfeNoteCount = 0;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(Status(), 0);
        QCOMPARE(ConstructionRecord.K_BTL_8[0], double(expected));
        QCOMPARE(ConstructionRecord.K_BTL_8[1], 0.0);
        QCOMPARE(int(G().SpecialVariantCount), refused);
        QCOMPARE(EngineState.PtfeNoteCount, refused);
    }

    // A clamp of the R walk outside its rows' load groups (group 8 below
    // the DN250 window 13-14, letter 8 'S') raises nothing: 2733 ends the
    // step.
    void rWalkClampOutsideItsGroups() {
        Support("SHHRESBS", 273, 8);
        Arrange("SHHRESBS", {"430"});
        G().MainUnitLoadGroup = G().SupportLoadGroup = G().ComponentLoadGroup = 8;
        G().SegmentHeights = {300, 0, 0, 0, 0};
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(Status(), 1);
        QCOMPARE(Message(), 2733);
        QCOMPARE(int(G().MainUnitLoadGroup), 8);
        QCOMPARE(int(G().SupportLoadGroup), 8);
    }

    // Base clamps: the special variants "11"/"12" stay out after a restart
    // for them and with a guide variant; a base clamp of slide material
    // takes no row whose digit 7 is '1'.
    void baseClampVariants_data() {
        QTest::addColumn<int>("restarts");
        QTest::addColumn<QString>("guide");
        QTest::addColumn<bool>("slideMaterial");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << 0 << "0" << false << 49110311;
        QTest::newRow("blank guide is 0") << 0 << " " << false << 49110311;
        QTest::newRow("after a restart") << 1 << "0" << false << 49110321;
        QTest::newRow("guide variant 2") << 0 << "2" << false << 49110321;
        QTest::newRow("slide material") << 0 << "0" << true << 49110321;
    }
    void baseClampVariants() {
        QFETCH(int, restarts);
        QFETCH(QString, guide);
        QFETCH(bool, slideMaterial);
        QFETCH(int, expected);
        Support("SHHAELBS", 168.3);
        G().SpecialVariantCount = int16_t(restarts);
        ConstructionRecord.K_T49G_KZ = guide;
        ConstructionRecord.K_RLAGER_WST_KZ = slideMaterial;
        Select();
        QCOMPARE(Status(), 0);
        QCOMPARE(Key(), expected);
        QCOMPARE(ConstructionRecord.K_T49G_KZ.trimmed().isEmpty(), false);
    }

    // The reasons a search ends with: a type-40 clamp on a special diameter
    // (2728), none of type 40 for the diameter (2730), a base clamp above
    // class 10 (2731), a nuclear support without a nuclear number (box 2729).
    void rejectionReasons_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("diameter");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("message");
        QTest::newRow("40 on a special diameter") << "SHHAXSBS" << 219.1 << "special" << 1 << 2728;
        QTest::newRow("no row of type 40") << "SHHAXSBS" << 219.1 << "" << 1 << 2730;
        QTest::newRow("base clamp at 520 degrees") << "SHHAELBS" << 168.3 << "hot" << 1 << 2731;
        // Class 10 may: the scan runs on into the rows of the next class.
        QTest::newRow("base clamp at 500 degrees") << "SHHAELBS" << 168.3 << "warm" << 0 << 0;
        QTest::newRow("nuclear without number") << "SHHAESBS" << 273.0 << "nuclear" << 6 << 2729;
        // A horizontal clamp above class 3 (500 degrees: class 10).
        QTest::newRow("horizontal clamp at 500 degrees") << "SHHAESBS" << 114.3 << "warm horizontal" << 1 << 2731;
    }
    void rejectionReasons() {
        QFETCH(QString, name);
        QFETCH(double, diameter);
        QFETCH(QString, flags);
        QFETCH(int, status);
        QFETCH(int, message);
        Support(name, diameter, 13);
        ConstructionRecord.K_RDM_KZ[0] = flags == "special" ? 'S' : ' ';
        ConstructionRecord.K_TEM = flags == "hot" ? 520 : flags.startsWith("warm") ? 500 : 180;
        if (flags.contains("horizontal")) {
            ConstructionRecord.K_HOR_TYP = 1;
            G().ChainPartIndex = 2;
        }
        ConstructionRecord.K_KERNTECH = flags == "nuclear";
        if (flags == "nuclear") {
            // The row of DN250 with its nuclear number cleared.
            f->kon->PGRSRL.Close();
            TTable t(f->dir.path(), QStringLiteral("pgrsrsl.DB"));
            t.Open();
            QVERIFY(t.Locate(QStringLiteral("RSL_NRN"), {43130301}));
            t.Edit();
            t.FieldByName(QStringLiteral("RSL_L_NR_K")).SetValue(QString());
            t.Post();
            t.Close();
            f->kon->PGRSRL.Open();
        }
        Select();
        QCOMPARE(Status(), status);
        QCOMPARE(Message(), message);
        QCOMPARE(Key(), status ? 0 : 49111121);
        QCOMPARE(ui.count("information"), status == 6 ? 1 : 0);
        if (status == 6)
            QCOMPARE(ui.log.last(), "information: " + MessageWithValues(2729, {QStringLiteral("431303")}));
    }

    // The reserve in percent lowers the capacity the row is checked with:
    // 45 kN against 50 less 20 %.
    void reserveLowersTheCapacity() {
        for (const int reserve : {0, 20}) {
            Support("SHHAESBS", 114.3);
            ConstructionRecord.K_LAST = 45;
            ConstructionRecord.K_RSRL_LR = int16_t(reserve);
            Select();
            QCOMPARE(Key(), reserve ? 0 : 43090301);
            QCOMPARE(Message(), reserve ? 2737 : 0);
        }
    }

    // An insulated riser clamp is a two-bolt clamp unless the riser type is
    // asked for; 0 mm insulation keeps the three-bolt clamp. The free space
    // 150 - 57 - 13 = 80 mm above a 114 mm pipe takes 80 mm of insulation
    // without a question, 81 mm asks.
    void riserClampType_data() {
        QTest::addColumn<double>("insulation");
        QTest::addColumn<double>("diameter");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("questions");
        QTest::newRow("no insulation: 43") << 0.0 << 273.0 << 13 << 43130301 << 0;
        QTest::newRow("insulated: 42") << 1.0 << 273.0 << 13 << 42130301 << 0;
        QTest::newRow("80 mm fit") << 80.0 << 114.0 << 11 << 43090301 << 0;
        QTest::newRow("81 mm ask") << 81.0 << 114.0 << 11 << 43090301 << 1;
    }
    void riserClampType() {
        QFETCH(double, insulation);
        QFETCH(double, diameter);
        QFETCH(int, group);
        QFETCH(int, expected);
        QFETCH(int, questions);
        Support("SHHAESBS", diameter, group);
        ConstructionRecord.K_TYP_42_KZ = diameter < 200;
        ConstructionRecord.K_DAEMMST = insulation;
        Select();
        QCOMPARE(Key(), expected);
        QCOMPARE(ui.count("question"), questions);
    }

    // A plain clamp whose first width already exceeds the support's: the
    // search ends with the width box, or, after a row refused by its load
    // group under letter 8 'S', asks the walk to raise the load groups.
    void widthAfterLoadGroup_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("boxes");
        QTest::newRow("letter 8 S: raise") << "SSSAESBS" << 8 << 0;
        QTest::newRow("letter 8 H: width box") << "SSSAESBH" << 6 << 1;
    }
    void widthAfterLoadGroup() {
        QFETCH(QString, name);
        QFETCH(int, status);
        QFETCH(int, boxes);
        Support(name, 273);
        ConstructionRecord.K_ROHRRI_KZ = false;
        ConstructionRecord.K_BREITE = 200;
        Select();
        QCOMPARE(Status(), status);
        QCOMPARE(Key(), 0);
        QCOMPARE(ui.count("information"), boxes);
        if (boxes)
            QCOMPARE(Message(), 2734);
    }

    // Class 11 is no longer a low-temperature class: no question.
    void noLowTemperatureQuestionInClass11() {
        Support("SHHAESBS", 219.1);
        ConstructionRecord.K_TEM = 520;
        Select();
        QCOMPARE(Status(), 0);
        QCOMPARE(Key(), 43121151);
        QCOMPARE(ui.count("yesno"), 0);
    }

    // A base clamp without room for the insulation looks for another row of
    // its own diameter only: the roomy row of DN250 is no alternative.
    void baseClampAlternativeKeepsItsDiameter() {
        Support("SHHAELBS", 219.1);
        ConstructionRecord.K_DAEMMST = 50;
        Select();
        QCOMPARE(Status(), 0);
        QCOMPARE(Key(), 49120321);
        QCOMPARE(ui.count("confirm"), 0);
        QCOMPARE(ui.count("information"), 1);
    }

    // The horizontal clamp: the load between the capacity at 200 degrees
    // (10) and at 150 (20) by the class of digits 4-5: at 180 degrees 20 -
    // 30 x 10 / 50 = 14 kN; the insulation height 100 takes 100 mm
    // (2740 above it); a nuclear support needs the nuclear number (box
    // 2729); the chain height: the part above taken back (-40), the slide
    // plate (40), the clamp by letter 4 (80) and half the pipe (57).
    void horizontalClampRules_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("group");
        QTest::addColumn<double>("load");
        QTest::addColumn<double>("insulation");
        QTest::addColumn<bool>("nuclear");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("message");
        QTest::addColumn<double>("height");
        QTest::newRow("14 kN interpolated") << "SHHAESBS" << 11 << 14.0 << 0.0 << false << 41003110 << 0
                                            << -40.0 + 40 + 80 + 57;
        QTest::newRow("14.25 kN") << "SHHAESBS" << 11 << 14.25 << 0.0 << false << 0 << 2737 << 0.0;
        QTest::newRow("insulation at the height") << "SHHAESBS" << 11 << 5.0 << 100.0 << false << 41003110 << 0
                                                  << -40.0 + 40 + 80 + 57;
        QTest::newRow("insulation above it") << "SHHAESBS" << 11 << 5.0 << 101.0 << false << 0 << 2740 << 0.0;
        QTest::newRow("letter 4 R") << "SHHRESBS" << 11 << 5.0 << 0.0 << false << 41003110 << 0 << -40.0 + 40 - 80 + 57;
        QTest::newRow("nuclear with number") << "SHHAESBS" << 11 << 5.0 << 0.0 << true << 41003110 << 0
                                             << -40.0 + 40 + 80 + 57;
        QTest::newRow("nuclear without number") << "SHHAESBS" << 12 << 5.0 << 0.0 << true << 0 << 2729 << 0.0;
    }
    void horizontalClampRules() {
        QFETCH(QString, name);
        QFETCH(int, group);
        QFETCH(double, load);
        QFETCH(double, insulation);
        QFETCH(bool, nuclear);
        QFETCH(int, expected);
        QFETCH(int, message);
        QFETCH(double, height);
        Support(name, 114.3, group);
        ConstructionRecord.K_HOR_TYP = 1;
        ConstructionRecord.K_LAST = load;
        ConstructionRecord.K_DAEMMST = insulation;
        ConstructionRecord.K_KERNTECH = nuclear;
        G().ChainPartIndex = 2;
        G().MessageNumber = 4321;
        // A special-material request left by an earlier clamp: the taken
        // horizontal clamp is a catalogue clamp and drops it.
        ConstructionRecord.K_RSRL_AN_KZ[0] = 'S';
        PgstatRecord.STA_E = 40;  // the part above, taken back
        Select();
        QCOMPARE(Key(), expected);
        QCOMPARE(Message(), message);
        QCOMPARE(Status(), expected ? 0 : message == 2729 ? 6 : 1);
        if (expected)
            QCOMPARE(ConstructionRecord.K_RSRL_AN_KZ[0], ' ');
        QCOMPARE(ui.count("information"), message == 2729 ? 1 : 0);
        if (message == 2729)  // the box names the catalogue number
            QCOMPARE(ui.log.last(), "information: " + MessageWithValues(2729, {QStringLiteral("410031")}));
        if (expected)
            QCOMPARE(double(G().RunningHeight), height);
        if (expected)  // the clamp taken is the number the messages name
            QCOMPARE(QString::fromLatin1(G().DisplayPartNumber, 6), nuclear ? "41003K" : "410031");
    }

    // The clamp's connection part by its catalogue number: second character
    // '2' (sixth not '7'), '5', '0', '9': none; '3' or '4' with a pair of
    // halves: 611, or 615 for "44??5?"; '3' without: none; '2' with sixth
    // '7' and any other: 77. Its height counts before the clamp's 150.
    // A fifth character '5' asks for 615 only after "44".
    void connectionPartByArticle_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("quantity");
        QTest::newRow("420601: none") << 9 << 150.0 << 1;
        QTest::newRow("420607: 77") << 10 << 160.0 << 1;
        QTest::newRow("450601: none") << 11 << 150.0 << 1;
        QTest::newRow("430601 with halves: 611") << 12 << 195.0 << 2;
        QTest::newRow("440651 with halves: 615") << 13 << 180.0 << 2;
        QTest::newRow("430601 without: none") << 14 << 150.0 << 1;
        QTest::newRow("410601: 77") << 15 << 162.0 << 1;
        QTest::newRow("430651 with halves: 611") << 16 << 205.0 << 2;
    }
    void connectionPartByArticle() {
        QFETCH(int, group);
        QFETCH(double, height);
        QFETCH(int, quantity);
        Support("SHHAESBS", 60.3, group);
        Select();
        QCOMPARE(Status(), 0);
        QCOMPARE(Key(), 43060300 + group);
        QCOMPARE(double(G().RunningHeight), height);
        QCOMPARE(int(G().ChainPartTable[0].Quantity), quantity);
    }

    // A two-way horizontal clamp (type 41) carries insulation up to its
    // height (100 mm; 101 refused with 2736).
    void twoWayClampInsulation_data() {
        QTest::addColumn<double>("insulation");
        QTest::addColumn<int>("expected");
        QTest::newRow("100 mm") << 100.0 << 41090301;
        QTest::newRow("101 mm") << 101.0 << 0;
    }
    void twoWayClampInsulation() {
        QFETCH(double, insulation);
        QFETCH(int, expected);
        Support("SHHAESBS", 114.3);
        ConstructionRecord.K_HOR_TYP = 2;
        ConstructionRecord.K_DAEMMST = insulation;
        Select();
        QCOMPARE(Key(), expected);
        QCOMPARE(Message(), expected ? 0 : 2736);
    }

    // A load within the capacity needs no interpolation, also in a class
    // without a class below.
    void noInterpolationBelowTheCapacity() {
        Support("SHHAESBS", 273, 13);
        ConstructionRecord.K_TEM = 500;
        Select();
        QCOMPARE(Status(), 0);
        QCOMPARE(Key(), 43131001);
    }

    // The horizontal clamp's hydrotest capacity counts only with the
    // hydrotest (25 kN above its 20); a group below its window under letter
    // 8 'S' ends with the load-group box.
    void horizontalClampTests_data() {
        QTest::addColumn<bool>("hydrotest");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("message");
        QTest::newRow("hydrotest") << true << 11 << 0 << 2736;
        QTest::newRow("no hydrotest") << false << 11 << 41003110 << 0;
        QTest::newRow("group 8 below the window") << false << 8 << 0 << 2733;
    }
    void horizontalClampTests() {
        QFETCH(bool, hydrotest);
        QFETCH(int, group);
        QFETCH(int, expected);
        QFETCH(int, message);
        Support("SHHAESBS", 114.3, group);
        ConstructionRecord.K_HOR_TYP = 1;
        ConstructionRecord.K_HYDTEST_KZ = hydrotest;
        ConstructionRecord.K_HYDRO_LAST = 25;
        G().ChainPartIndex = 2;
        PgstatRecord.STA_E = 40;
        Select();
        QCOMPARE(Key(), expected);
        QCOMPARE(Message(), message);
        QCOMPARE(ui.count("information"), message == 2733 ? 1 : 0);
    }

    // The clamp reserve lowers both capacities of the horizontal clamp
    // (10 and 20 kN at 150 and 200 degrees): 10 % leaves 9 and 18, which
    // admit 18 - 30 x 9 / 50 = 12.6 kN at 180 degrees instead of 14.
    void horizontalClampReserve_data() {
        QTest::addColumn<int>("reserve");
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("expected");
        QTest::newRow("no reserve, 13 kN") << 0 << 13.0 << 41003110;
        QTest::newRow("10 %, 13 kN") << 10 << 13.0 << 0;
        QTest::newRow("10 %, 12.5 kN") << 10 << 12.5 << 41003110;
    }
    void horizontalClampReserve() {
        QFETCH(int, reserve);
        QFETCH(double, load);
        QFETCH(int, expected);
        Support("SHHAESBS", 114.3, 11);
        ConstructionRecord.K_HOR_TYP = 1;
        ConstructionRecord.K_LAST = load;
        ConstructionRecord.K_RSRL_LR = int16_t(reserve);
        G().ChainPartIndex = 2;
        PgstatRecord.STA_E = 40;
        Select();
        QCOMPARE(Key(), expected);
        QCOMPARE(Message(), expected ? 0 : 2737);
    }

    // The pipe bearing: the reserve of 1 % refuses 7.95 kN on the 8 kN
    // shoe (its capacity, not a clamp row's, loses the reserve); the
    // pre-pass leaves no clamp weight column.
    void pipeBearingRules_data() {
        QTest::addColumn<int>("reserve");
        QTest::addColumn<bool>("preselect");
        QTest::addColumn<int>("expected");
        QTest::newRow("no reserve") << 0 << false << 57090001;
        QTest::newRow("1 %") << 1 << false << 0;
        QTest::newRow("pre-pass") << 0 << true << 57090001;
    }
    void pipeBearingRules() {
        QFETCH(int, reserve);
        QFETCH(bool, preselect);
        QFETCH(int, expected);
        Support("SHHRELBS", 114.3);
        ConstructionRecord.K_ROHRLAGER_KZ = true;
        ConstructionRecord.K_TEM = 80;  // a bearing's limit
        ConstructionRecord.K_LAST = 7.95;
        ConstructionRecord.K_RSRL_LR = int16_t(reserve);
        G().ClampPreselectMode = preselect ? '8' : ' ';
        G().BlockingRangeMin = 3;
        ConstructionRecord.K_BREITE_2 = 250;  // a width step an earlier clamp left
        ConstructionRecord.K_BRT_ZAEHL = 3;
        ConstructionRecord.K_RSRL_AN_KZ[0] = 'S';  // a bearing is a catalogue part
        Select();
        QCOMPARE(Message(), expected ? 0 : 2737);
        if (expected) {
            QCOMPARE(R().RSL_NRN, double(expected));
            QCOMPARE(int(ConstructionRecord.K_BREITE_2), 0);
            QCOMPARE(int(ConstructionRecord.K_BRT_ZAEHL), 1);
            QCOMPARE(ConstructionRecord.K_RSRL_AN_KZ[0], ' ');
        }
        if (preselect)
            QCOMPARE(G().BlockingRangeMin, 0);
    }

    // A support without clamp leaves no clamp row behind.
    void withoutClampClearsTheRow() {
        Support("SHHAESBS", 114.3);
        ConstructionRecord.K_RSRL_OHNE = true;
        R().RSL_NRN = 43090301;
        R().RSL_E = 77;
        G().ChainPartIndex = 3;
        Select();
        QCOMPARE(R().RSL_NRN, 0.0);
        QCOMPARE(R().RSL_E, 0);
    }

    // Cold supports by diameter: type 54 of a third digit other than '3'
    // must hold the height (box 2765), 543 need not; type 58 keeps to its
    // diameter (the next diameter's row is no alternative: 2770); types
    // 54, 56, 58 refuse a special diameter (2728).
    void coldSupportTypes_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("special");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("message");
        QTest::newRow("541 inside") << 541 << 200 << false << 54109001 << 0;
        QTest::newRow("541 at the lower end") << 541 << 100 << false << 54109001 << 0;
        QTest::newRow("541 at the upper end") << 541 << 300 << false << 54109001 << 0;
        QTest::newRow("541 below") << 541 << 99 << false << 0 << 2765;
        QTest::newRow("541 above") << 541 << 350 << false << 0 << 2765;
        QTest::newRow("543 above") << 543 << 350 << false << 54309001 << 0;
        QTest::newRow("58 too weak") << 580 << 200 << false << 0 << 2770;
        QTest::newRow("54 special") << 541 << 200 << true << 0 << 2728;
        QTest::newRow("56 special") << 560 << 200 << true << 0 << 2728;
        QTest::newRow("58 special") << 580 << 200 << true << 0 << 2728;
    }
    void coldSupportTypes() {
        QFETCH(int, type);
        QFETCH(int, height);
        QFETCH(bool, special);
        QFETCH(int, expected);
        QFETCH(int, message);
        Support("CHHRESDS", 114.3, 3);
        ConstructionRecord.K_RDM_KZ[0] = special ? 'S' : ' ';
        G().SegmentHeights = {height, 0, 0, 0, 0};
        SetSearchKey(type * 100000);
        SetColdPositionIndex(1);
        ActiveUiScope scope(ui);
        SelectColdComponent();
        QCOMPARE(SearchKeyNumber(), expected);
        QCOMPARE(Message(), message);
    }

    // A pipe hotter than every temperature class has no clamp (2737), also
    // after a search that found its class.
    void hotterThanEveryClass() {
        Support("SHHAESBS", 114.3);
        Select();
        QCOMPARE(Key(), 43090301);
        Support("SHHAESBS", 114.3);
        ConstructionRecord.K_TEM = 700;
        Select();
        QCOMPARE(Key(), 0);
        QCOMPARE(Status(), 1);
        QCOMPARE(Message(), 2737);
    }

    // A nuclear support takes a row that has its nuclear number.
    void nuclearWithNumber() {
        Support("SHHAESBS", 114.3);
        ConstructionRecord.K_KERNTECH = true;
        Select();
        QCOMPARE(Status(), 0);
        QCOMPARE(Key(), 43090301);
    }

    // A load group below the row's window: with the raise allowed it may
    // reach the window by 2 below group 12 and by 1 from 12 on, and the
    // support then needs the special clamp ('S'). On DN300 group 12 + 1
    // misses the window from 14 and takes the next row; group 13 + 1
    // reaches it, but a hydrotest of 20 kN refuses it (10 kN), and the next
    // row, taken without the raise, needs no special clamp.
    void raisedLoadGroup_data() {
        QTest::addColumn<double>("diameter");
        QTest::addColumn<int>("group");
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<double>("hydrotest");  // 0: none
        QTest::addColumn<int>("expected");
        QTest::addColumn<char>("special");
        QTest::newRow("11 + 2 reaches 13") << 273.0 << 11 << true << 0.0 << 43130301 << 'S';
        QTest::newRow("10 + 2 stays below") << 273.0 << 10 << true << 0.0 << 0 << ' ';
        QTest::newRow("12 + 1 reaches 13") << 273.0 << 12 << true << 0.0 << 43130301 << 'S';
        QTest::newRow("12 without the raise") << 273.0 << 12 << false << 0.0 << 0 << ' ';
        QTest::newRow("13 inside") << 273.0 << 13 << false << 0.0 << 43130301 << ' ';
        QTest::newRow("12 + 1 misses 14") << 323.9 << 12 << true << 0.0 << 43140302 << ' ';
        QTest::newRow("13 + 1 reaches 14") << 323.9 << 13 << true << 0.0 << 43140301 << 'S';
        QTest::newRow("13 + 1 reaches 14, the hydrotest refuses") << 323.9 << 13 << true << 20.0 << 43140302 << ' ';
    }
    void raisedLoadGroup() {
        QFETCH(double, diameter);
        QFETCH(int, group);
        QFETCH(bool, allowed);
        QFETCH(double, hydrotest);
        QFETCH(int, expected);
        QFETCH(char, special);
        Support("SHHAESBH", diameter, group);
        ConstructionRecord.K_KERNTECH = false;
        ConstructionRecord.K_RSRL_AN = allowed;
        ConstructionRecord.K_HYDTEST_KZ = hydrotest > 0;
        ConstructionRecord.K_HYDRO_LAST = hydrotest;
        Select();
        QCOMPARE(Key(), expected);
        QCOMPARE(Status(), expected ? 0 : 6);
        QCOMPARE(ConstructionRecord.K_RSRL_AN_KZ[0], special);
        if (!expected)
            QCOMPARE(Message(), 2733);
    }

    // A guided base clamp (letters 1 'S', 4 'R', 6 'L' with a guide) whose
    // lateral travel reaches the row's admissible 50 mm is refused (2726).
    void lateralTravel_data() {
        QTest::addColumn<double>("travel");
        QTest::addColumn<int>("guides");
        QTest::addColumn<int>("expected");
        QTest::newRow("49.5 mm") << 49.5 << 1 << 49110311;
        QTest::newRow("50 mm") << 50.0 << 1 << 0;
        QTest::newRow("-50 mm") << -50.0 << 1 << 0;
        QTest::newRow("50 mm without guide") << 50.0 << 0 << 49110311;
    }
    void lateralTravel() {
        QFETCH(double, travel);
        QFETCH(int, guides);
        QFETCH(int, expected);
        Support("SHHRELBS", 168.3);
        ConstructionRecord.K_WEG_X = travel;
        ConstructionRecord.K_RLFUEHRUNG_ZHL = int16_t(guides);
        Select();
        QCOMPARE(Key(), expected);
        QCOMPARE(Message(), expected ? 0 : 2726);
    }

    // A base clamp of a style above 1 carries 40 % more in step 1, except
    // under letters 1 'S' and 4 'R' and under letter 4 'R' without PTFE.
    void raiseBaseClampCapacity_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("ptfe");
        QTest::addColumn<double>("factor");
        QTest::newRow("style 2") << "SHHAELBS" << 49110321 << false << 1.4;
        QTest::newRow("style 1") << "SHHAELBS" << 49110311 << false << 1.0;
        QTest::newRow("S and R") << "SHHRELBS" << 49110321 << true << 1.0;
        QTest::newRow("R without PTFE") << "DHHRELBS" << 49110321 << false << 1.0;
        QTest::newRow("R with PTFE") << "DHHRELBS" << 49110321 << true << 1.4;
    }
    void raiseBaseClampCapacity() {
        QFETCH(QString, name);
        QFETCH(int, key);
        QFETCH(bool, ptfe);
        QFETCH(double, factor);
        Support(name, 168.3);
        ConstructionRecord.K_PTFE_KZ = ptfe;
        SetSearchKey(key);
        StepRow(QStringLiteral("451103"));
        RaiseClampCapacity();
        QCOMPARE(R().RSL_KRAFT[0], 10 * factor);
        QCOMPARE(R().RSL_KRAFT_INT[0], 11 * factor);
        QCOMPARE(R().RSL_HYD_LST[0], 12 * factor);
        QCOMPARE(R().RSL_KRAFT[1], 20.0);
    }

    // The reserve in percent: every width step of types 45 and 48, step 1
    // of the others; the hydrotest capacity keeps its value; a type-58
    // stanchion also loses it on its two fastening capacities.
    void reduceCapacity_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("steps");
        QTest::newRow("45") << 45090301 << 5;
        QTest::newRow("48") << 48090301 << 5;
        QTest::newRow("43") << 43090301 << 1;
        QTest::newRow("49") << 49090321 << 1;
        QTest::newRow("58") << 58090001 << 1;
        QTest::newRow("52") << 52090001 << 1;
        QTest::newRow("57") << 57090001 << 1;
    }
    void reduceCapacity() {
        QFETCH(int, key);
        QFETCH(int, steps);
        Support("SHHAESBS", 114.3);
        ConstructionRecord.K_RSRL_LR = 25;
        SetSearchKey(key);
        StepRow(QStringLiteral("430903"));
        PgcoolRecord.CLD_KRAFT_S = 8;
        PgcoolRecord.CLD_KRAFT_F = 4;
        PgcoolRecord.CLD_KRAFT = 16;
        ReduceClampCapacity();
        for (std::size_t s = 0; s < 5; ++s) {
            const double f = int(s) < steps ? 0.75 : 1.0;
            QCOMPARE(R().RSL_KRAFT[s], 10.0 * double(s + 1) * f);
            QCOMPARE(R().RSL_KRAFT_INT[s], (10.0 * double(s + 1) + 1) * f);
            QCOMPARE(R().RSL_HYD_LST[s], 10.0 * double(s + 1) + 2);
        }
        QCOMPARE(PgcoolRecord.CLD_KRAFT_S, key / 1000000 == 58 ? 6.0 : 8.0);
        QCOMPARE(PgcoolRecord.CLD_KRAFT_F, key / 1000000 == 58 ? 3.0 : 4.0);
        // The cold table's products lose it on their capacity as well.
        QCOMPARE(PgcoolRecord.CLD_KRAFT, key / 10000000 == 5 ? 12.0 : 16.0);
    }

    // The CN standard's factor by the second character of the CN number:
    // '6' and '8' every step by 1/1.3, '5' every step by 0.5/1.3, any other
    // step 1 only; capacity, hot capacity and hydrotest capacity alike.
    void cnScaling_data() {
        QTest::addColumn<QString>("article");
        QTest::addColumn<double>("factor");
        QTest::addColumn<int>("steps");
        QTest::newRow("'6'") << "462011" << 1 / 1.3 << 5;
        QTest::newRow("'8'") << "482011" << 1 / 1.3 << 5;
        QTest::newRow("'5'") << "452011" << 0.5 / 1.3 << 5;
        QTest::newRow("'7'") << "472011" << 1 / 1.3 << 1;
        QTest::newRow("'0'") << "402011" << 1 / 1.3 << 1;
    }
    void cnScaling() {
        QFETCH(QString, article);
        QFETCH(double, factor);
        QFETCH(int, steps);
        Support("SHHAESBS", 114.3);
        StepRow(article);
        ScaleClampCapacityCn();
        QCOMPARE(QString::fromLatin1(G().DisplayPartNumber, 6), article);
        for (std::size_t s = 0; s < 5; ++s) {
            const double f = int(s) < steps ? factor : 1.0;
            QCOMPARE(R().RSL_KRAFT[s], 10.0 * double(s + 1) * f);
            QCOMPARE(R().RSL_KRAFT_INT[s], (10.0 * double(s + 1) + 1) * f);
            QCOMPARE(R().RSL_HYD_LST[s], (10.0 * double(s + 1) + 2) * f);
        }
    }
};

QTEST_GUILESS_MAIN(TestClampRules)
#include "tst_ClampRules.moc"
