// The clamp search's row filters, capacity adjustments and rejection
// reasons, on a fixture clamp table: each diameter holds the rows of one
// rule, neighbours differing only in the field that rule reads.
#include "ClampCatalogue.h"
#include "data/PGCOOL.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
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
        // DN250: the window 13-14 that a raised load group may reach.
        Clamp(*f, 43130301, 13, 14, 50, 50);
        // Cold supports of load group 3 over three height windows, one of
        // group 4 that carries twice as much.
        for (auto [n, lo, hi, c] : {std::tuple{52003001, 10, 60, 10.0}, {52003002, 50, 120, 10.0},
                                    {52003003, 100, 250, 10.0}, {52004001, 10, 60, 20.0}})
            f->Insert("PGCLDSTA.DB", {{"CLD_NRN", n}, {"CLD_KRAFT", c}, {"CLD_D_MIN", lo}, {"CLD_D_MAX", hi},
                                      {"CLD_L_NR", QString::number(n).left(6)},
                                      {"CLD_L_NR_K", QString::number(n).left(5) + "K"}});
        f->Start();
    }
    void cleanupTestCase() { f.reset(); }

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
        SetSearchKey(52000000);
        SetColdPositionIndex(1);
        ActiveUiScope scope(ui);
        SelectColdComponent();
        QCOMPARE(SearchKeyNumber(), expected);
        QCOMPARE(Message(), message);
        QCOMPARE(int(G().ClampLoadGroup), group);
        QCOMPARE(int(G().SupportLoadGroup), group);
        QCOMPARE(G().ChainPartTable[0].ProductNumber, double(expected));
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
    }
    void rejectionReasons() {
        QFETCH(QString, name);
        QFETCH(double, diameter);
        QFETCH(QString, flags);
        QFETCH(int, status);
        QFETCH(int, message);
        Support(name, diameter, 13);
        ConstructionRecord.K_RDM_KZ[0] = flags == "special" ? 'S' : ' ';
        ConstructionRecord.K_TEM = flags == "hot" ? 520 : flags == "warm" ? 500 : 180;
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
    }

    // A load group below the row's window: with the raise allowed it may
    // reach the window by 2 below group 12 and by 1 from 12 on, and the
    // support then needs the special clamp ('S').
    void raisedLoadGroup_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<int>("expected");
        QTest::newRow("11 + 2 reaches 13") << 11 << true << 43130301;
        QTest::newRow("10 + 2 stays below") << 10 << true << 0;
        QTest::newRow("12 + 1 reaches 13") << 12 << true << 43130301;
        QTest::newRow("12 without the raise") << 12 << false << 0;
        QTest::newRow("13 inside") << 13 << false << 43130301;
    }
    void raisedLoadGroup() {
        QFETCH(int, group);
        QFETCH(bool, allowed);
        QFETCH(int, expected);
        Support("SHHAESBH", 273, group);
        ConstructionRecord.K_KERNTECH = false;
        ConstructionRecord.K_RSRL_AN = allowed;
        Select();
        QCOMPARE(Key(), expected);
        QCOMPARE(Status(), expected ? 0 : 6);
        QCOMPARE(ConstructionRecord.K_RSRL_AN_KZ[0], expected && group < 13 ? 'S' : ' ');
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
        ReduceClampCapacity();
        for (std::size_t s = 0; s < 5; ++s) {
            const double f = int(s) < steps ? 0.75 : 1.0;
            QCOMPARE(R().RSL_KRAFT[s], 10.0 * double(s + 1) * f);
            QCOMPARE(R().RSL_KRAFT_INT[s], (10.0 * double(s + 1) + 1) * f);
            QCOMPARE(R().RSL_HYD_LST[s], 10.0 * double(s + 1) + 2);
        }
        QCOMPARE(PgcoolRecord.CLD_KRAFT_S, key / 1000000 == 58 ? 6.0 : 8.0);
        QCOMPARE(PgcoolRecord.CLD_KRAFT_F, key / 1000000 == 58 ? 3.0 : 4.0);
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
