// Clamp and bearing selection on a small clamp table whose rows leave gaps,
// change type behind the last matching row, and differ from their
// neighbours in the one field under test.
#include "StepFixture.h"
#include "data/PGCOOL.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "engine/FINDRSRL.h"
#include "engine/StepTools.h"

#include <cmath>

namespace {

QVariantMap Clamp(int number, int from, int to, double load, double loadHot, double hyd, int e, int insulation,
                  const QString& article) {
    QVariantMap m{{"RSL_NRN", number}, {"RSL_LG_VON", from}, {"RSL_LG_BIS", to}, {"RSL_KRAFT_1", load},
                  {"RSL_KRAFT_INT_1", loadHot}, {"RSL_HYD_LST_1", hyd}, {"RSL_E", e}, {"RSL_DAEMM_H", insulation},
                  {"RSL_L_NR", article}, {"RSL_L_NR_K", article}, {"RSL_L_NR_CN", article}, {"RSL_A", 50},
                  {"RSL_GEW_1", 2.0}, {"RSL_EXTRA", 0}};
    return m;
}

// The arguments the application object was made with: the first one after
// the program's name is the one the clamp step reads. A case sets it for
// its own run and puts the empty one back.
char g_programName[] = "tst_FINDRSRL";
char g_noArgument[] = "";
char* g_applicationArguments[] = {g_programName, g_noArgument, nullptr};
int g_applicationArgumentCount = 2;

class ProgramArgument {
public:
    explicit ProgramArgument(const QString& text) : m_text(text.toLocal8Bit()) {
        g_applicationArguments[1] = m_text.data();
    }
    ~ProgramArgument() { g_applicationArguments[1] = g_noArgument; }
    ProgramArgument(const ProgramArgument&) = delete;
    ProgramArgument& operator=(const ProgramArgument&) = delete;

private:
    QByteArray m_text;
};

}  // namespace

class TestFindRsrl : public QObject {
    Q_OBJECT
    StepUi ui;
    std::unique_ptr<CatalogueFixture> f;

    void Diameter(double d, int code, double emax, const QString& kind) {
        f->Insert("Durdat.DB", {{"D_R_DM", d}, {"D_R_DM_KZ", code}, {"D_EMAX_MM", emax}, {"D_LG_KZ", kind}});
    }

    // A support on a 114.3 pipe at 180 degrees (class 03), arrangement of a
    // rod hanger with a three-bolt clamp.
    void Support(const QString& name = "SHHAESBS") {
        ResetCalcState();
        ResetClampState();
        PutText(ArrangementRecord.A_NAME, name);
        PutText(ArrangementRecord.A_BER, QStringLiteral(" "));
        PutText(CalcGlobals.DisplayPartNumber, QStringLiteral("      "));
        ConstructionRecord.K_RDM = 114.3;
        ConstructionRecord.K_TEM = 180;
        ConstructionRecord.K_LAST = 5;
        ConstructionRecord.K_ROHRRI_KZ = true;
        ConstructionRecord.K_TYP_42_KZ = true;
        ConstructionRecord.K_RDM_KZ[0] = ' ';
        CalcGlobals.ClampLoadGroup = 11;
        CalcGlobals.ChainPartIndex = 1;
        CalcGlobals.SegmentHeights[0] = 300;
    }

    void select() { CurrentSelectionSteps().SelectClamp(); }
    int key() const { return SearchKeyNumber(); }
    int status() const { return CalcGlobals.TableStatus; }
    int message() const { return CalcGlobals.MessageNumber; }

private slots:
    void initTestCase() {
        f = std::make_unique<CatalogueFixture>();
        Diameter(114.3, 9, 1, " ");
        Diameter(160, 10, 20, "Y");  // a special row the search passes over
        Diameter(168.3, 11, 0, " ");
        Diameter(219.1, 12, 0, " ");
        for (auto [c, t] : {std::pair{0, 20}, {1, 80}, {2, 150}, {3, 200}, {5, 300}, {6, 300}, {11, 530}})
            f->Insert("Temdat.DB", {{"T_KLASSE", c}, {"T_TEMP", t}});
        // Type 40 and 41.
        f->Insert("pgrsrsl.DB", Clamp(40090310, 9, 24, 50, 50, 75, 200, 300, "400901"));
        f->Insert("pgrsrsl.DB", Clamp(41090301, 9, 24, 50, 50, 75, 200, 300, "401901"));
        // Type 42: weak, so the search falls back to 43.
        f->Insert("pgrsrsl.DB", Clamp(42090301, 9, 12, 4, 4, 6, 200, 150, "420901"));
        // Type 43: window 9-12 without insulation height, window 11-14 with a
        // band between the capacities at the two class temperatures.
        f->Insert("pgrsrsl.DB", Clamp(43090301, 9, 12, 10, 10, 15, 200, 0, "430901"));
        f->Insert("pgrsrsl.DB", Clamp(43090302, 11, 14, 20, 30, 45, 250, 100, "430902"));
        // Another type right behind with the same diameter digits and plenty
        // of capacity: a scan on the diameter digits alone would take it.
        f->Insert("pgrsrsl.DB", Clamp(44090301, 1, 24, 999, 999, 999, 200, 300, "440901"));
        // Type 43 for 168.3 (code 11): a low insulation height.
        f->Insert("pgrsrsl.DB", Clamp(43110301, 9, 14, 50, 50, 75, 150, 100, "431101"));
        // A clamp with a connection part (article "43..": type 611) for 219.1.
        QVariantMap paired = Clamp(43120301, 9, 24, 50, 50, 75, 180, 300, "431201");
        paired.insert("RSL_KOP_KZ", true);
        f->Insert("pgrsrsl.DB", paired);
        f->Insert("Pgstat.DB", {{"STA_NRN", 61111000}, {"STA_E", 40}, {"STA_GEW", 1.0}});
        // A type-42 clamp for 168.3 whose window stops at group 10: only a
        // search that skips the window (material choice "+") takes it.
        f->Insert("pgrsrsl.DB", Clamp(42110301, 9, 10, 99, 99, 150, 300, 300, "421101"));
        // A clamp for 273 without its nuclear catalogue number or insulation
        // height, for load groups up to 25.
        Diameter(273, 13, 0, " ");
        QVariantMap plain = Clamp(43130301, 9, 25, 50, 50, 75, 200, 0, "431301");
        plain.insert("RSL_L_NR_K", "");
        f->Insert("pgrsrsl.DB", plain);
        // A clamp for 355 of room 300 over load groups 9 to 25, without
        // insulation height.
        Diameter(355, 15, 0, " ");
        f->Insert("pgrsrsl.DB", Clamp(43150301, 9, 25, 50, 50, 75, 300, 0, "431501"));
        // The end piece of a support without clamp for building connection 73.
        f->Insert("Pgstat.DB", {{"STA_NRN", 60111000}, {"STA_E", 25}});
        // A low-temperature variant (digit 7 '5') behind it.
        f->Insert("pgrsrsl.DB", Clamp(43110351, 9, 14, 99, 99, 150, 300, 300, "430151"));
        // Type 45 with widths 100, 200, 300.
        QVariantMap w = Clamp(45090301, 9, 24, 10, 10, 100, 200, 300, "450901");
        w.insert({{"RSL_LG_1", 100}, {"RSL_LG_2", 200}, {"RSL_LG_3", 300}, {"RSL_KRAFT_2", 20.0},
                  {"RSL_KRAFT_INT_2", 20.0}, {"RSL_KRAFT_3", 30.0}, {"RSL_KRAFT_INT_3", 30.0}, {"RSL_HYD_LST_2", 100.0},
                  {"RSL_HYD_LST_3", 100.0}, {"RSL_GEW_2", 3.0}});
        f->Insert("pgrsrsl.DB", w);
        QVariantMap lug = Clamp(48090301, 9, 24, 50, 50, 75, 200, 300, "408901");
        lug.insert("RSL_LG_1", 100);
        f->Insert("pgrsrsl.DB", lug);
        // Base clamps: a low shoe without room for thick insulation, a high one.
        f->Insert("pgrsrsl.DB", Clamp(49090321, 9, 24, 10, 10, 15, -157, 20, "490921"));
        f->Insert("pgrsrsl.DB", Clamp(49090331, 9, 24, 10, 10, 15, -257, 20, "490931"));
        // The lift-off guard of base clamps up to load group 24.
        f->Insert("pgrsrsl.DB", Clamp(49000004, 9, 24, 0, 0, 0, 0, 0, "490004"));
        // Horizontal clamps of class 03 for load groups 9 and 17.
        f->Insert("pgrsrsl.DB", Clamp(41003090, 9, 17, 10, 10, 15, 80, 300, "410309"));
        f->Insert("pgrsrsl.DB", Clamp(41003170, 9, 17, 10, 10, 15, 80, 300, "410317"));
        // Pipe bearings for 114.3 (code 09): a narrow shoe and one wider than the pipe.
        f->Insert("PGCLDSTA.DB", {{"CLD_NRN", 57090001}, {"CLD_KRAFT", 8.0}, {"CLD_N", 20}, {"CLD_A", 30.0},
                                  {"CLD_L_NR", "570901"}, {"CLD_L_NR_K", "570901"}});
        f->Insert("PGCLDSTA.DB", {{"CLD_NRN", 57090002}, {"CLD_KRAFT", 20.0}, {"CLD_N", 20}, {"CLD_A", 60.0},
                                  {"CLD_L_NR", "570902"}, {"CLD_L_NR_K", "570902"}});
        // For 168.3 (code 11): one shoe exactly as wide as the pipe, without
        // its nuclear catalogue number.
        f->Insert("PGCLDSTA.DB", {{"CLD_NRN", 57110001}, {"CLD_KRAFT", 8.0}, {"CLD_N", 20}, {"CLD_A", 84.15},
                                  {"CLD_L_NR", "571101"}, {"CLD_L_NR_K", ""}});
        // A stanchion of type 52 for 114.3: lever arm S - 350 + 50.
        f->Insert("PGCLDSTA.DB", {{"CLD_NRN", 52009001}, {"CLD_KRAFT", 5.0}, {"CLD_KRAFT_S", 2.0}, {"CLD_N", 350},
                                  {"CLD_A", 100.0}, {"CLD_B", 50.0}, {"CLD_D_MIN", 0}, {"CLD_D_MAX", 1000},
                                  {"CLD_L_NR", "520901"}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 61109000}, {"STA_E", 40}, {"STA_GEW", 1.5}});
        f->Insert("Pgstat.DB", {{"STA_NRN", 61117000}, {"STA_E", 45}, {"STA_GEW", 1.5}});
        // Four-way lateral guides for one and for two guides, of their own heights.
        for (auto [n, e] : {std::pair{76920001, 21}, {76920002, 22}})
            f->Insert("Pgstat.DB", {{"STA_NRN", n}, {"STA_E", e}, {"STA_BREITE_M", 500}, {"STA_X", 0},
                                    {"STA_L_NR", QString::number(n).left(6)}});
        f->Start();
        steps().Install();
    }
    void cleanupTestCase() { f.reset(); }
    void init() { ui = StepUi(); }

    void typeChoice_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("expected");
        QTest::newRow("riser clamp") << "SHHAESBS" << "typ42" << 43090301;
        QTest::newRow("insulated: 42 falls back to 43 once") << "SHHAESBS" << "insulated" << 43090301;
        QTest::newRow("insulation 0 keeps 43") << "SHHAESBS" << "" << 43090301;
        QTest::newRow("horizontal type 2") << "SHHAESBS" << "typ42 hor2" << 41090301;
        // 43 becomes 42 for the insulation, and 42 becomes 41 as 43 does
        // (the weak 42 would fall back to 43).
        QTest::newRow("insulated 42, horizontal type 2") << "SHHAESBS" << "insulated hor2" << 41090301;
        QTest::newRow("letter 5 X") << "SHHAXSBS" << "typ42" << 40090310;
        // Type 40 writes class 03 whatever the temperature's class (250
        // degrees is class 05), and asks no load-group window (25 is above
        // the row's 9-24).
        QTest::newRow("letter 5 X at 250 degrees") << "SHHAXSBS" << "typ42 hot" << 40090310;
        QTest::newRow("letter 5 X, group 25") << "SHHAXSBS" << "typ42 group25" << 40090310;
        QTest::newRow("lug clamp") << "SHHAESBS" << "norise lug" << 48090301;
        QTest::newRow("plain clamp") << "SHHAESBS" << "norise width" << 45090301;
        QTest::newRow("base clamp") << "SHHAELBS" << "norise" << 49090321;
    }
    void typeChoice() {
        QFETCH(QString, name);
        QFETCH(QString, flags);
        QFETCH(int, expected);
        Support(name);
        TConstructionRecord& k = ConstructionRecord;
        k.K_TYP_42_KZ = flags.contains("typ42");
        k.K_DAEMMST = flags.contains("insulated") ? 10 : 0;
        k.K_HOR_TYP = flags.contains("hor2") ? 2 : 0;
        k.K_ROHRRI_KZ = !flags.contains("norise");
        k.K_KNAG_KZ = flags.contains("lug");
        k.K_BREITE = 100;
        if (flags.contains("hot"))
            k.K_TEM = 250;
        if (flags.contains("group25"))
            CalcGlobals.ClampLoadGroup = 25;
        CalcGlobals.SelectionMode = 1;
        ActiveUiScope scope(ui);
        select();
        QVERIFY2(status() == 0, qPrintable(QString::number(message())));
        QCOMPARE(key(), expected);
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, double(expected));
    }

    // The load between the capacities at the lower and the upper class
    // temperature: 180 degrees in class 03 (200) over class 02 (150) admits
    // 30 - 30 x 10 / 50 = 24 kN.
    void interpolation_data() {
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("expected");
        QTest::newRow("at the admissible load") << 24.0 << 43090302;
        QTest::newRow("just above") << 24.01 << 0;
        QTest::newRow("at the lower capacity") << 20.0 << 43090302;
        QTest::newRow("above the upper capacity") << 30.5 << 0;
    }
    void interpolation() {
        QFETCH(double, load);
        QFETCH(int, expected);
        Support();
        ConstructionRecord.K_LAST = load;
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(key(), expected);
        QCOMPARE(status(), expected ? 0 : 1);
        QCOMPARE(message(), expected ? 0 : 2737);
    }

    // Two classes of one temperature, or no class below, give no span: the
    // step ends with a message instead of dividing by zero.
    void classSpan_data() {
        QTest::addColumn<int>("tclass");
        QTest::addColumn<int>("message");
        QTest::newRow("same temperature below") << 6 << int(MsgClampClassSpan);
        QTest::newRow("no class below") << 5 << int(MsgClampClassSpan);
        QTest::newRow("class 03 interpolates") << 3 << 0;
    }
    void classSpan() {
        QFETCH(int, tclass);
        QFETCH(int, message);
        Support();
        PgrsrlRecord.RSL_KRAFT[0] = 20;
        PgrsrlRecord.RSL_KRAFT_INT[0] = 30;
        CalcGlobals.BlockingRangeMin = 1;
        ConstructionRecord.K_LAST = 25;
        ConstructionRecord.K_TEM = 180;
        SetSearchKey(43090002 + tclass * 100);
        int got = 0;
        try {
            CheckClampLoad();
        } catch (const EngineStepError& e) {
            got = e.Number();
        }
        QCOMPARE(got, message);
    }

    // A spring main unit with cold/hot loads: the hydrotest capacity / 1.33
    // must carry the cold load.
    void springHydrotestRatio_data() {
        QTest::addColumn<double>("hyd");
        QTest::addColumn<int>("status");
        QTest::newRow("26.6 carries 20") << 26.6 << 0;
        QTest::newRow("26.59 does not") << 26.59 << 1;
    }
    void springHydrotestRatio() {
        QFETCH(double, hyd);
        QFETCH(int, status);
        Support();
        CalcGlobals.MainUnitNumber = 21013218;
        ConstructionRecord.K_KALWAR_KZ = true;
        ConstructionRecord.K_LAST = 20;
        ConstructionRecord.K_LAST_AUSG = 10;
        PgrsrlRecord.RSL_KRAFT[0] = PgrsrlRecord.RSL_KRAFT_INT[0] = 15;
        PgrsrlRecord.RSL_HYD_LST[0] = hyd;
        CalcGlobals.BlockingRangeMin = 1;
        SetSearchKey(43090301);
        CheckClampLoad();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
    }

    // Main units 20000000 to 29999999 are springs: without cold/hot loads
    // the hydrotest capacity / 1.33 must carry the hot load too (6.65 /
    // 1.33 = 5 < 10); any other main unit is checked on its load alone.
    void springNumberRange_data() {
        QTest::addColumn<int>("main");
        QTest::addColumn<int>("status");
        QTest::newRow("19999999: no spring") << 19999999 << 0;
        QTest::newRow("20000000: spring") << 20000000 << 1;
        QTest::newRow("29999999: spring") << 29999999 << 1;
        QTest::newRow("30000000: no spring") << 30000000 << 0;
    }
    void springNumberRange() {
        QFETCH(int, main);
        QFETCH(int, status);
        Support();
        CalcGlobals.MainUnitNumber = main;
        ConstructionRecord.K_KALWAR_KZ = false;
        ConstructionRecord.K_LAST = 5;
        ConstructionRecord.K_LAST_AUSG = 10;
        PgrsrlRecord.RSL_KRAFT[0] = PgrsrlRecord.RSL_KRAFT_INT[0] = 15;
        PgrsrlRecord.RSL_HYD_LST[0] = 6.65;
        CalcGlobals.BlockingRangeMin = 1;
        SetSearchKey(43090301);
        CheckClampLoad();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
    }

    void typeDigitsRequired() {
        // Both type-43 rows are too weak; the strong row of type 44 behind
        // them shares the diameter digits but is never taken.
        Support();
        ConstructionRecord.K_LAST = 100;
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(status(), 1);
        QCOMPARE(message(), 2737);
        QCOMPARE(key(), 0);
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, 0.0);
    }

    void pipeBeyondEveryDiameter() {
        Support();
        ConstructionRecord.K_RDM = 900;
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(status(), 1);
        QCOMPARE(message(), 2737);
    }

    // Load-group windows 9-12 and 11-14; with the raise option a group may
    // reach the window's lower end by 2.
    void loadGroupWindow_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<bool>("raise");
        QTest::addColumn<QString>("letters");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("status");
        QTest::newRow("12 takes window 1") << 12 << false << "SHHAESBS" << 43090301 << 0;
        QTest::newRow("13 takes window 2") << 13 << false << "SHHAESBS" << 43090302 << 0;
        QTest::newRow("14 takes window 2") << 14 << false << "SHHAESBS" << 43090302 << 0;
        QTest::newRow("15 fits none: box") << 15 << false << "SHHAESBH" << 0 << 6;
        QTest::newRow("15 fits none, letter 8 S: raise") << 15 << false << "SHHAESBS" << 0 << 8;
        QTest::newRow("8 below") << 8 << false << "SHHAESBH" << 0 << 6;
        QTest::newRow("7 raised by 2 reaches 9") << 7 << true << "SHHAESBH" << 43090301 << 0;
        QTest::newRow("6 raised by 2 misses 9") << 6 << true << "SHHAESBH" << 0 << 6;
    }
    void loadGroupWindow() {
        QFETCH(int, group);
        QFETCH(bool, raise);
        QFETCH(QString, letters);
        QFETCH(int, expected);
        QFETCH(int, status);
        Support(letters);
        CalcGlobals.ClampLoadGroup = int16_t(group);
        ConstructionRecord.K_RSRL_AN = raise;
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(key(), expected);
        QCOMPARE(this->status(), status);
        QCOMPARE(ui.count("information: "), status == 6 ? 1 : 0);
        if (status == 6)
            QVERIFY(ui.log.join('\n').contains("LG" + QString::number(group)));
        if (raise && expected)
            QCOMPARE(ConstructionRecord.K_RSRL_AN_KZ[0], 'S');
    }

    void hydrotest_data() {
        QTest::addColumn<double>("hydro");
        QTest::addColumn<int>("expected");
        QTest::newRow("15 on window 1") << 15.0 << 43090301;
        QTest::newRow("15.01 passes to window 2") << 15.01 << 43090302;
        QTest::newRow("45.01 fits none") << 45.01 << 0;
    }
    void hydrotest() {
        QFETCH(double, hydro);
        QFETCH(int, expected);
        Support();
        ConstructionRecord.K_HYDTEST_KZ = true;
        ConstructionRecord.K_HYDRO_LAST = hydro;
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(key(), expected);
        QCOMPARE(message(), expected ? 0 : 2736);
    }

    // Free space of window 1: 200 - 57.15 - 13 = 129.85 mm; window 1 has no
    // insulation height, window 2 (250 - 57.15 - 13 = 179.85) has.
    void insulation_data() {
        QTest::addColumn<double>("insulation");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("message");
        QTest::newRow("129 fits") << 129.0 << false << 43090301 << 0 << 0;
        QTest::newRow("130: keep it") << 130.0 << false << 43090301 << 1 << 0;
        QTest::newRow("130: another") << 130.0 << true << 43090302 << 1 << 0;
        QTest::newRow("180: another, none") << 180.0 << true << 0 << 1 << 2732;
    }
    // The question names the first window's catalogue number, its two
    // lines parted by CR.
    static QString InsulationQuestion() {
        return QStringLiteral("Connection part is within of insulation of clamp 430901 !\rTry to select a different clamp?");
    }
    void insulation() {
        QFETCH(double, insulation);
        QFETCH(bool, answer);
        QFETCH(int, expected);
        QFETCH(int, questions);
        QFETCH(int, message);
        Support();
        ConstructionRecord.K_DAEMMST = insulation;
        ui.answers = {answer};
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(key(), expected);
        QCOMPARE(ui.count("question: "), questions);
        if (questions)
            QCOMPARE(ui.log.first(), "question: " + InsulationQuestion());
        QCOMPARE(this->message(), message);
    }

    // Free space on 273: 200 - 136.5 - the deduction of the load group
    // (24: 56, 25: none) against 63 mm of insulation. On 355 the free space
    // 300 - 177.5 - d takes 122.5 - d mm without a question and asks at
    // half a millimetre more, for the deduction d of every group.
    void insulationDeductionByGroup_data() {
        QTest::addColumn<double>("diameter");
        QTest::addColumn<double>("insulation");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("expected");
        QTest::newRow("24 deducts 56") << 273.0 << 63.0 << 24 << 1 << 43130301;
        QTest::newRow("25 deducts nothing") << 273.0 << 63.0 << 25 << 0 << 43130301;
        const std::pair<int, int> deductions[] = {{9, 11},  {10, 11}, {11, 13}, {12, 13}, {13, 17}, {14, 24},
                                                  {15, 27}, {16, 33}, {17, 41}, {18, 46}, {19, 51}, {20, 61},
                                                  {21, 76}, {22, 76}, {23, 46}, {24, 56}, {25, 0}};
        for (auto [g, d] : deductions) {
            QTest::newRow(qPrintable(QStringLiteral("355, %1 deducts %2: fits").arg(g).arg(d)))
                << 355.0 << 122.5 - d << g << 0 << 43150301;
            QTest::newRow(qPrintable(QStringLiteral("355, %1 deducts %2: asks").arg(g).arg(d)))
                << 355.0 << 123.0 - d << g << 1 << 43150301;
        }
    }
    void insulationDeductionByGroup() {
        QFETCH(double, diameter);
        QFETCH(double, insulation);
        QFETCH(int, group);
        QFETCH(int, questions);
        QFETCH(int, expected);
        Support();
        ConstructionRecord.K_RDM = diameter;
        ConstructionRecord.K_DAEMMST = insulation;
        CalcGlobals.ClampLoadGroup = int16_t(group);
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(status(), 0);
        QCOMPARE(key(), expected);
        QCOMPARE(ui.count("question: "), questions);
    }

    void insulationHeightTooLow() {
        Support();
        ConstructionRecord.K_RDM = 168.3;  // the special row 160 is passed over
        ConstructionRecord.K_DAEMMST = 120;
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(ui.count("warning: "), 1);
        QVERIFY(ui.log.join('\n').contains("431101"));
        QCOMPARE(message(), 2732);
        QCOMPARE(key(), 0);
    }

    void preselectShowsNothing() {
        Support();
        ConstructionRecord.K_DAEMMST = 130;
        CalcGlobals.ClampPreselectMode = '8';
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(status(), 0);
        QCOMPARE(key(), 43090301);
        QVERIFY(ui.log.isEmpty());
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, 0.0);
        QCOMPARE(double(CalcGlobals.RunningHeight), 0.0);
    }

    // Width steps 100, 200, 300; in inches the boxes show the width as
    // feet and inches: 100 mm = 0' 3.937", 300 mm = 0' 11.811".
    void widthSteps_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("message");
        QTest::addColumn<bool>("imperial");
        QTest::newRow("99: below the first step") << 99.0 << 5.0 << 0 << 2734 << false;
        QTest::newRow("100: step 1") << 100.0 << 5.0 << 1 << 0 << false;
        QTest::newRow("101: step 2") << 101.0 << 5.0 << 2 << 0 << false;
        QTest::newRow("200: step 2 at its capacity") << 200.0 << 20.0 << 2 << 0 << false;
        QTest::newRow("200: over the capacity") << 200.0 << 20.01 << 0 << 2737 << false;
        QTest::newRow("300: step 3") << 300.0 << 5.0 << 3 << 0 << false;
        QTest::newRow("301: past the last step") << 301.0 << 5.0 << 0 << 2735 << false;
        QTest::newRow("99 in inches: 2834") << 99.0 << 5.0 << 0 << 2834 << true;
        QTest::newRow("301 in inches: 2835") << 301.0 << 5.0 << 0 << 2835 << true;
    }
    void widthSteps() {
        QFETCH(double, width);
        QFETCH(double, load);
        QFETCH(int, step);
        QFETCH(int, message);
        QFETCH(bool, imperial);
        Support();
        ConstructionRecord.K_EINH_KZ = imperial;
        ConstructionRecord.K_ROHRRI_KZ = false;
        ConstructionRecord.K_BREITE = width;
        ConstructionRecord.K_LAST = load;
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(this->message(), message);
        if (step) {
            QCOMPARE(key(), 45090301);
            QCOMPARE(int(ConstructionRecord.K_BRT_ZAEHL), step);
            QCOMPARE(ConstructionRecord.K_BREITE_2, 100.0 * step);
        } else {
            QCOMPARE(key(), 0);
            QCOMPARE(ui.count("information: "), message == 2737 ? 0 : 1);
            if (message == 2734)
                QVERIFY(ui.log.join('\n').endsWith(" 100"));
            if (message == 2735)
                QVERIFY(ui.log.join('\n').endsWith(" 300"));
            if (message == 2834)
                QCOMPARE(ui.log.last(), "information: " + MessageWithValues(2834, {0, 100 / 25.4}));
            if (message == 2835)
                QCOMPARE(ui.log.last(), "information: " + MessageWithValues(2835, {0, 300 / 25.4}));
        }
    }

    // Base clamp 21 leaves 157 - 20 - 57.15 = 79.85 mm, 31 leaves 179.85.
    void baseClampInsulation_data() {
        QTest::addColumn<double>("insulation");
        QTest::addColumn<int>("answer");  // 0 yes, 1 no, 2 all
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("confirmations");
        QTest::addColumn<int>("notes");
        QTest::newRow("79 fits the low shoe") << 79.0 << 1 << 49090321 << 0 << 0;
        QTest::newRow("80: yes takes the high shoe") << 80.0 << 0 << 49090331 << 1 << 0;
        QTest::newRow("80: no keeps the low shoe") << 80.0 << 1 << 49090321 << 1 << 0;
        QTest::newRow("80: all") << 80.0 << 2 << 49090331 << 1 << 0;
        QTest::newRow("180: none has room") << 180.0 << 0 << 49090321 << 0 << 1;
    }
    void baseClampInsulation() {
        QFETCH(double, insulation);
        QFETCH(int, answer);
        QFETCH(int, expected);
        QFETCH(int, confirmations);
        QFETCH(int, notes);
        Support("SHHAELBS");
        ConstructionRecord.K_DAEMMST = insulation;
        ui.confirmations = {SelectionUi::YesNoAll(answer)};
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(status(), 0);
        QCOMPARE(key(), expected);
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, double(expected));
        QCOMPARE(ui.count("confirm: "), confirmations);
        QCOMPARE(ui.count("information: "), notes);
        QCOMPARE(CalcGlobals.ClampAnswerAll, answer == 2 && confirmations == 1);
        // The question and the note name the low shoe first found.
        if (confirmations)
            QCOMPARE(ui.log.first(), "confirm: " + MessageWithValues(2738, {QStringLiteral("490921"),
                                                                             QStringLiteral("490931")}));
        if (notes)
            QCOMPARE(ui.log.first(), "information: " + MessageWithValues(2740, {QStringLiteral("490921")}));
    }

    void pipeBearing_data() {
        QTest::addColumn<double>("temperature");
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("message");
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("height");  // letter 4 'R' subtracts the bearing's height, others add it
        QTest::addColumn<double>("pipe");
        QTest::addColumn<bool>("nuclear");
        // 2 x 30 / 114.3 in range: E = -20 - trunc(57.15 x cos(asin(0.5249))) = -20 - 48.
        QTest::newRow("80 degrees") << 80.0 << 5.0 << 57090001 << 0 << "SHHRELBS" << 68.0 << 114.3 << false;
        QTest::newRow("80.5 degrees") << 80.5 << 5.0 << 0 << 2752 << "SHHRELBS" << 68.0 << 114.3 << false;
        // The second shoe is wider than the pipe: no arcsine.
        QTest::newRow("shoe wider than the pipe") << 20.0 << 10.0 << 0 << int(MsgBearingGeometry) << "SHHRELBS" << 68.0
                                                  << 114.3 << false;
        QTest::newRow("80 degrees, letter 4 A") << 80.0 << 5.0 << 57090001 << 0 << "SHHAELBS" << -68.0 << 114.3 << false;
        QTest::newRow("no bearing carries it") << 20.0 << 20.01 << 0 << 2737 << "SHHRELBS" << 68.0 << 114.3 << false;
        // A shoe exactly as wide as the pipe: 2 x 84.15 / 168.3 is 1, the
        // arcsine 90 degrees, E = -20 - trunc(84.15 x cos 90) = -20.
        QTest::newRow("shoe as wide as the pipe") << 20.0 << 5.0 << 57110001 << 0 << "SHHRELBS" << 20.0 << 168.3 << false;
        // Its row has no nuclear number, and it is the only one of 168.3.
        QTest::newRow("nuclear: no row with its number") << 20.0 << 5.0 << 0 << 2729 << "SHHRELBS" << 0.0 << 168.3
                                                         << true;
    }
    void pipeBearing() {
        QFETCH(double, temperature);
        QFETCH(double, load);
        QFETCH(int, expected);
        QFETCH(int, message);
        QFETCH(QString, name);
        QFETCH(double, height);
        QFETCH(double, pipe);
        QFETCH(bool, nuclear);
        Support(name);
        ConstructionRecord.K_ROHRLAGER_KZ = true;
        ConstructionRecord.K_TEM = temperature;
        ConstructionRecord.K_LAST = load;
        ConstructionRecord.K_RDM = pipe;
        ConstructionRecord.K_KERNTECH = nuclear;
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(this->message(), message);
        if (expected) {
            QCOMPARE(PgrsrlRecord.RSL_NRN, double(expected));
            QCOMPARE(PgrsrlRecord.RSL_E, -int(std::fabs(height)));
            QCOMPARE(double(CalcGlobals.RunningHeight), height);
        } else {
            QCOMPARE(key(), 0);
        }
    }

    void horizontalClamp_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("expected");
        QTest::newRow("group 17 searches") << 17 << 41003170;
        QTest::newRow("group 9 searches") << 9 << 41003090;
        QTest::newRow("group 18: LG box") << 18 << 0;
    }
    void horizontalClamp() {
        QFETCH(int, group);
        QFETCH(int, expected);
        Support();
        ConstructionRecord.K_HOR_TYP = 1;
        CalcGlobals.ClampLoadGroup = int16_t(group);
        CalcGlobals.ChainPartIndex = 2;
        CalcGlobals.BlockingRangeMax = 1;
        PgstatRecord.STA_E = 0;
        ActiveUiScope scope(ui);
        select();
        if (!expected) {
            QCOMPARE(status(), 6);
            QVERIFY(ui.log.join('\n').contains("LG18"));
            return;
        }
        QCOMPARE(status(), 0);
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, double(61100000 + group * 1000));
        QCOMPARE(CalcGlobals.ChainPartTable[1].ProductNumber, double(expected));
    }

    // The CN standard's 1/1.3 applies to a horizontal clamp as to every
    // clamp: with the CN option and letter 8 'S' only. 8 kN lies between
    // the derated 10 / 1.3 = 7.7 and the catalogue's 10 kN: the derated
    // clamp refuses it (the horizontal search ends, 2737; the riser clamp
    // goes on to the next row, 20 / 1.3), the plain one carries it.
    void cnDeratingOfEveryClamp_data() {
        QTest::addColumn<bool>("cn");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("horizontal");
        QTest::addColumn<int>("riser");
        QTest::newRow("no CN, letter 8 S") << false << "SHHAESBS" << 41003090 << 43090301;
        QTest::newRow("CN, letter 8 H") << true << "SHHAESBH" << 41003090 << 43090301;
        QTest::newRow("CN, letter 8 S") << true << "SHHAESBS" << 0 << 43090302;
    }
    void cnDeratingOfEveryClamp() {
        QFETCH(bool, cn);
        QFETCH(QString, name);
        QFETCH(int, horizontal);
        QFETCH(int, riser);
        ActiveUiScope scope(ui);
        for (const bool horizontalClamp : {true, false}) {
            Support(name);
            CalcGlobals.CNStandard = cn;
            ConstructionRecord.K_LAST = 8;
            ConstructionRecord.K_HOR_TYP = horizontalClamp ? 1 : 0;
            CalcGlobals.ClampLoadGroup = horizontalClamp ? 9 : 11;
            CalcGlobals.ChainPartIndex = horizontalClamp ? 2 : 1;
            CalcGlobals.BlockingRangeMax = 1;
            PgstatRecord.STA_E = 0;
            select();
            const int expected = horizontalClamp ? horizontal : riser;
            QCOMPARE(key(), expected);
            QCOMPARE(status(), expected ? 0 : 1);
            if (!expected)
                QCOMPARE(message(), 2737);
        }
    }

    // A clamp position answering "raise" (letter 8 'S') raises the three
    // load groups and repeats the step; above 24 it stops with the
    // load-group message, whichever of the three reached 24.
    void raiseLoadGroups_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("groups");  // main unit, component; empty: both at start
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("final");
        QTest::addColumn<int>("finalMain");
        QTest::newRow("7 rises to 9") << 7 << QList<int>{} << 0 << 9 << 9;
        QTest::newRow("9 fits at once") << 9 << QList<int>{} << 0 << 9 << 9;
        QTest::newRow("15 rises to 24 and stops") << 15 << QList<int>{} << 1 << 24 << 24;
        QTest::newRow("24 stops at once") << 24 << QList<int>{} << 1 << 24 << 24;
        QTest::newRow("main unit alone at 24") << 22 << QList<int>{24, 22} << 1 << 22 << 24;
        QTest::newRow("component alone at 24") << 22 << QList<int>{22, 24} << 1 << 22 << 22;
        QTest::newRow("support alone at 24") << 24 << QList<int>{22, 22} << 1 << 24 << 22;
    }
    void raiseLoadGroups() {
        QFETCH(int, start);
        QFETCH(QList<int>, groups);
        QFETCH(int, status);
        QFETCH(int, final);
        QFETCH(int, finalMain);
        Support("SHHAESAS");
        for (int i = 0; i < 16; ++i)
            std::copy_n(i == 0 ? "430" : "000", 3, ArrangementRecord.A_LFD_BT[i]);
        CalcGlobals.MainUnitLoadGroup = CalcGlobals.SupportLoadGroup = CalcGlobals.ComponentLoadGroup = int16_t(start);
        if (!groups.isEmpty()) {
            CalcGlobals.MainUnitLoadGroup = int16_t(groups[0]);
            CalcGlobals.ComponentLoadGroup = int16_t(groups[1]);
        }
        Watchdog dog(QTest::currentDataTag(), std::chrono::seconds(30));
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(this->status(), status);
        QCOMPARE(int(CalcGlobals.SupportLoadGroup), final);
        QCOMPARE(int(CalcGlobals.MainUnitLoadGroup), finalMain);
        if (status) {
            QCOMPARE(message(), 2733);
            QCOMPARE(ui.log, QStringList{"information: " + MessageWithValues(2733, {"LG" + QString::number(final)})});
        } else {
            QCOMPARE(ConstructionRecord.K_BTL_8[0], 43090301.0);
        }
    }

    void liftOffGuardChangesThirdPosition_data() {
        QTest::addColumn<int>("liftOff");
        QTest::addColumn<QString>("third");
        QTest::newRow("with guard") << 5 << "551";
        QTest::newRow("without") << 3 << "530";
    }
    void liftOffGuardChangesThirdPosition() {
        QFETCH(int, liftOff);
        QFETCH(QString, third);
        Support("DHHRELFS");
        std::copy_n("530", 3, ArrangementRecord.A_LFD_BT[2]);
        CalcGlobals.LiftOffType = int16_t(liftOff);
        SetKeyText("531");
        ActiveUiScope scope(ui);
        SelectColdComponent();
        QCOMPARE(QString::fromLatin1(ArrangementRecord.A_LFD_BT[2], 3), third);
        QCOMPARE(status(), 1);  // no type-531 rows in this table
    }

    // A variant for low temperatures asks once whether the special clamp is
    // wanted; yes searches again with the choice "+". A program started
    // with "test" as its first argument (in any letter case) takes yes
    // without asking.
    void lowTemperatureQuestion_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<char>("flag");
        QTest::addColumn<int>("questions");
        QTest::newRow("yes") << "" << true << "+" << 'S' << 1;
        QTest::newRow("no") << "" << false << "-" << ' ' << 1;
        QTest::newRow("first argument TeSt") << "TeSt" << false << "+" << 'S' << 0;
        QTest::newRow("first argument tests") << "tests" << false << "-" << ' ' << 1;
    }
    void lowTemperatureQuestion() {
        QFETCH(QString, argument);
        QFETCH(bool, answer);
        QFETCH(QString, choice);
        QFETCH(char, flag);
        QFETCH(int, questions);
        ProgramArgument first(argument);
        QCOMPARE(QCoreApplication::arguments().value(1), argument);
        Support();
        ConstructionRecord.K_RDM = 168.3;
        ConstructionRecord.K_LAST = 60;
        ui.answers = {answer, answer};
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(status(), 0);
        QCOMPARE(key(), 43110351);
        QCOMPARE(ui.count("yesno: "), questions);
        // The whole question: its first two parts joined by a blank, the
        // lines parted by CR.
        if (questions)
            QCOMPARE(ui.log.first(),
                     QStringLiteral("yesno: Attention: Problem with the load group area for the connection of the "
                                    "clamp!\rBy default, a Catalog clamp made of heat resistant material P9 is "
                                    "selected.\rLack of standard clamp of material for low temperature. Should be "
                                    "chosen special clamp made of temperature-dependent material?"));
        QCOMPARE(CalcGlobals.ClampMaterialChoice, choice);
        QCOMPARE(ConstructionRecord.K_RSRL_AN_KZ[0], flag);
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, 43110351.0);
    }

    // Yes to the special clamp starts the search again from the type
    // choice: the insulated riser clamp is type 42 again, and the choice
    // "+" no longer tests the load-group window.
    void lowTemperatureRestartsFromTheType() {
        Support();
        ConstructionRecord.K_RDM = 168.3;
        ConstructionRecord.K_LAST = 60;
        ConstructionRecord.K_TYP_42_KZ = false;
        ConstructionRecord.K_DAEMMST = 10;
        ui.answers = {true};
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(status(), 0);
        QCOMPARE(ui.count("yesno: "), 1);
        QCOMPARE(key(), 42110301);
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, 42110301.0);
        QCOMPARE(CalcGlobals.ClampMaterialChoice, QString("+"));
    }

    // The pre-pass only weighs the clamp: its failures show no box (the
    // component step's search shows it).
    void preselectFailureShowsNoBox_data() {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("message");
        QTest::newRow("width below the first step") << "width" << 2734;
        QTest::newRow("horizontal clamp above group 17") << "horizontal" << 2733;
        QTest::newRow("no nuclear number") << "nuclear" << 2729;
    }
    void preselectFailureShowsNoBox() {
        QFETCH(QString, flags);
        QFETCH(int, message);
        for (const bool preselect : {true, false}) {
            Support();
            ui = StepUi();
            ConstructionRecord.K_ROHRRI_KZ = flags != "width";
            ConstructionRecord.K_BREITE = 99;
            ConstructionRecord.K_HOR_TYP = flags == "horizontal" ? 1 : 0;
            CalcGlobals.ClampLoadGroup = flags == "horizontal" ? 18 : 11;
            ConstructionRecord.K_KERNTECH = flags == "nuclear";
            CalcGlobals.ClampPreselectMode = preselect ? '8' : ' ';
            if (flags == "nuclear")
                ConstructionRecord.K_RDM = 273;
            ActiveUiScope scope(ui);
            select();
            QCOMPARE(this->message(), message);
            QCOMPARE(status(), 6);
            QCOMPARE(ui.count("information: "), preselect ? 0 : 1);
        }
    }

    // A support without clamp takes the last part's height and index back
    // and looks up the end piece of its building connection.
    void withoutClamp_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("connection");
        QTest::addColumn<bool>("preselect");
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("offset");
        QTest::newRow("73: end piece 60") << "SHHAESBS" << 73 << false << 2 << 460.0 << 25;
        QTest::newRow("75: end piece 61") << "SHHAESBS" << 75 << false << 2 << 460.0 << 40;
        QTest::newRow("no end piece") << "SHHAESBS" << 0 << false << 2 << 460.0 << 0;
        QTest::newRow("pre-pass: nothing") << "SHHAESBS" << 73 << true << 3 << 500.0 << 0;
        QTest::newRow("letter 4 R: nothing") << "SHHRESBS" << 73 << false << 3 << 500.0 << 0;
    }
    void withoutClamp() {
        QFETCH(QString, name);
        QFETCH(int, connection);
        QFETCH(bool, preselect);
        QFETCH(int, index);
        QFETCH(double, height);
        QFETCH(int, offset);
        Support(name);
        ConstructionRecord.K_RSRL_OHNE = true;
        ConstructionRecord.K_RSRL_OHNE_NR = int16_t(connection);
        CalcGlobals.ChainPartIndex = 3;
        CalcGlobals.RunningHeight = 500;
        CalcGlobals.ClampPreselectMode = preselect ? '8' : ' ';
        PgstatRecord.STA_E = 40;  // the part entered last
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(status(), 0);
        QCOMPARE(CalcGlobals.ChainPartIndex, index);
        QCOMPARE(double(CalcGlobals.RunningHeight), height);
        QCOMPARE(PgrsrlRecord.RSL_E, offset);
        if (offset)
            QCOMPARE(key(), connection == 73 ? 60111000 : 61111000);
    }

    // The R walk does not raise the load groups: a group outside every
    // clamp window (letter 8 'S') ends the step with the load-group message.
    void rWalkClampOutsideItsGroups() {
        Support("SHHRESBS");
        for (int i = 0; i < 16; ++i)
            std::copy_n(i == 0 ? "430" : "000", 3, ArrangementRecord.A_LFD_BT[i]);
        CalcGlobals.MainUnitLoadGroup = CalcGlobals.SupportLoadGroup = CalcGlobals.ComponentLoadGroup = 15;
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(status(), 1);
        QCOMPARE(message(), 2733);
        QCOMPARE(int(CalcGlobals.MainUnitLoadGroup), 15);
    }

    // The guard enters as many pieces as the walk's multiplicity.
    void liftOffGuard_data() {
        QTest::addColumn<int>("upperGroup");
        QTest::addColumn<int>("multiplicity");
        QTest::addColumn<int>("message");
        QTest::newRow("guard of group 24") << 24 << 1 << 0;
        QTest::newRow("guard of group 24, two pieces") << 24 << 2 << 0;
        QTest::newRow("no guard for group 23") << 23 << 1 << 2718;
    }
    void liftOffGuard() {
        QFETCH(int, upperGroup);
        QFETCH(int, multiplicity);
        QFETCH(int, message);
        Support("SHHRELBS");
        PgrsrlRecord.RSL_NRN = 49090321;
        PgrsrlRecord.RSL_LG_BIS = int16_t(upperGroup);
        CalcGlobals.ChainPartIndex = 1;
        AddLiftOffGuard(multiplicity);
        QCOMPARE(this->message(), message);
        QCOMPARE(CalcGlobals.ChainPartTable[1].ProductNumber, message ? 0.0 : 49000004.0);
        QCOMPARE(int(CalcGlobals.ChainPartTable[1].Quantity), message ? 0 : multiplicity);
        QCOMPARE(CalcGlobals.ChainPartIndex, message ? 1 : 2);
        if (message)  // the clamp's row is kept for the composition
            QCOMPARE(PgrsrlRecord.RSL_NRN, 49090321.0);
    }

    // Capacity of a stanchion fastened by kind 1: 2 x 100 / (S - 350 + 50).
    void stanchionLever_data() {
        QTest::addColumn<int>("segment");
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("message");
        QTest::newRow("lever 0") << 300 << 1.0 << 1 << int(MsgStanchionDivisor);
        QTest::newRow("lever 100 carries 2") << 400 << 2.0 << 0 << 0;
        QTest::newRow("lever 100, 2.01") << 400 << 2.01 << 1 << 2770;
    }
    void stanchionLever() {
        QFETCH(int, segment);
        QFETCH(double, load);
        QFETCH(int, status);
        QFETCH(int, message);
        Support("CHHRESFS");
        CalcGlobals.SegmentHeights[0] = segment;
        CalcGlobals.StanchionKind = 1;
        ConstructionRecord.K_LAST = load;
        SetColdPositionIndex(1);
        SetKeyText("520");
        ActiveUiScope scope(ui);
        SelectColdComponent();
        QCOMPARE(this->status(), status);
        QCOMPARE(this->message(), message);
        if (!status) {
            QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, 52009001.0);
            QCOMPARE(int(ConstructionRecord.K_STANCHION_ZHL), 1);
        }
    }

    void connectionPart_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("plate");
        QTest::newRow("group 11: its plate") << 11 << 0 << 40;
        QTest::newRow("group 12: the next plate up") << 12 << 0 << 45;
        QTest::newRow("group 18: no plate") << 18 << 1 << 0;
    }
    void connectionPart() {
        QFETCH(int, group);
        QFETCH(int, status);
        QFETCH(int, plate);
        Support();
        ConstructionRecord.K_RDM = 219.1;
        CalcGlobals.ClampLoadGroup = int16_t(group);
        ActiveUiScope scope(ui);
        select();
        QCOMPARE(this->status(), status);
        if (status) {
            QCOMPARE(key(), 0);
            QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, 0.0);
            return;
        }
        // The pair of clamp halves and the plate's height in the chain.
        QCOMPARE(CalcGlobals.ChainPartTable[0].ProductNumber, 43120301.0);
        QCOMPARE(int(CalcGlobals.ChainPartTable[0].Quantity), 2);
        QCOMPARE(double(CalcGlobals.RunningHeight), plate + 180.0);
    }

    // The lateral guide's number: digit 4 by the guidance (2: 1, 3: 2), digit
    // 8 the last digit of the guide count (12: 2).
    void lateralGuideByLastDigit() {
        Support("SHHRELBS");
        std::copy_n("492613", 6, PgrsrlRecord.RSL_L_NR);
        ConstructionRecord.K_RLFUEHRUNG_ZHL = 3;
        ConstructionRecord.K_SEITL_FHRG_ZHL = 12;
        CalcGlobals.ArmSpan = 100;
        CalcGlobals.ArmWidth = 100;
        CalcGlobals.RunningHeight = 0;
        AddLateralGuide(1);
        QCOMPARE(status(), 0);
        QCOMPARE(CalcGlobals.ChainPartTable[1].ProductNumber, 76920002.0);
        QCOMPARE(double(CalcGlobals.RunningHeight), 22.0);
    }

    void lateralGuideNeedsGuideClamp() {
        Support("SHHRELBS");
        std::copy_n("492606", 6, PgrsrlRecord.RSL_L_NR);
        AddLateralGuide(1);
        QCOMPARE(status(), 7);
        QCOMPARE(message(), 2628);
    }

private:
    RealSteps& steps() {
        static RealSteps s;
        return s;
    }
};

// The test's own arguments go to the test runner; the application object
// holds the program arguments the clamp step sees.
int main(int argc, char** argv) {
    QCoreApplication app(g_applicationArgumentCount, g_applicationArguments);
    TestFindRsrl test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_FINDRSRL.moc"
