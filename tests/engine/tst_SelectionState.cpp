// Two selections in one process, as the input form runs them: the second
// must come out as it does alone, whatever the first left behind.
#include "SizingCatalogue.h"
#include "StepFixture.h"
#include "engine/ComposeParts.h"

namespace {

// What a selection decides and shows: compared field by field between the
// second selection after a first one and the same selection alone.
struct Outcome {
    int result = -1;
    qint64 mainUnit = 0;
    QList<int> travels;   // K_ARBWEG, K_ARBWEG_EFF, K_BLOCKIER, top, bottom
    QList<int> groups;    // main unit, support, components
    QList<double> loads;  // K_LAST_BLOK, K_LAST_AUSG, DesignLoad of every component pass
    QString message;
    int recorded = -1;
    QStringList log;
    double price = -1;    // the main unit's price in the parts list
    std::vector<int> blockings;  // K_BLOCKIER seen by every component pass
    double angle = -1, rod = -1;  // the horizontal travel angle and the rod of the last check

    bool operator==(const Outcome&) const = default;
};

QString Describe(const Outcome& o) {
    QStringList t;
    t << QString::number(o.result) << QString::number(o.mainUnit);
    for (int v : o.travels)
        t << QString::number(v);
    for (int v : o.groups)
        t << QString::number(v);
    for (double v : o.loads)
        t << QString::number(v, 'g', 17);
    t << o.message << QString::number(o.recorded) << o.log.join('|') << QString::number(o.price, 'g', 17);
    for (int b : o.blockings)
        t << QString::number(b);
    t << QString::number(o.angle, 'g', 17) << QString::number(o.rod, 'g', 17);
    return t.join(QStringLiteral("; "));
}

}  // namespace

class TestSelectionState : public QObject {
    Q_OBJECT

    std::unique_ptr<SizingCatalogue> cat;

    // A hanger of 10.5 kN with 160 mm of travel, beyond the springs'
    // 100 mm: a constant hanger. Size 13 (20 kN) needs range 300 mm
    // ([1.025 x 300] = 307 mm); size 14 (26 kN) reaches 164 mm at 150 mm
    // and takes the place only when strictly cheaper. Plain prices keep
    // size 13 (120 against 100); galvanised ones would take size 14
    // (140 against 150). A horizontal travel of 150 mm is over the 4
    // degree angle on the 1660 mm rod and is halved once.
    void Support(bool galvanised, double horizontal = 150) {
        DemoSupport(10.5, 160);
        TConstructionRecord& k = ConstructionRecord;
        k.K_BEWEGBER = 100;
        k.K_LR_KH = 0;
        k.K_WR_KH = 0;
        k.K_WR_KH_MM = 0;
        k.K_WEG_X = horizontal;
        k.K_HD_KZ = galvanised;
        PutText(k.K_KRZ_BEZ_H, QStringLiteral("N"));
    }

    // Runs one selection with the driver's own road, scripted arrangement
    // and settings, the main unit handed to the real parts composition.
    Outcome Run(ScriptedSelectionUi& ui, ScriptedSteps& steps, std::function<void()> components = {}) {
        steps.name = QStringLiteral("SHHAESBH");
        steps.area = QStringLiteral(" ");
        steps.angleChecks = true;
        steps.Install();
        SelectionSteps s = CurrentSelectionSteps();
        const auto scripted = s.SelectComponents;
        s.SelectComponents = [scripted, components] {
            scripted();
            std::fill(std::begin(ConstructionRecord.K_BTL_8), std::end(ConstructionRecord.K_BTL_8), 0.0);
            std::fill(std::begin(ConstructionRecord.K_ANZ), std::end(ConstructionRecord.K_ANZ), int16_t(0));
            ConstructionRecord.K_BTL_8[0] = CalcGlobals.MainUnitNumber;
            ConstructionRecord.K_ANZ[0] = 1;
            if (components)
                components();
        };
        s.ComposeParts = &ComposeParts;
        SetSelectionSteps(s);
        Outcome o;
        o.result = SelectSupport(ui, 0, 0, false, true);
        const TConstructionRecord& k = ConstructionRecord;
        o.mainUnit = qint64(CalcGlobals.MainUnitNumber);
        o.travels = {k.K_ARBWEG, k.K_ARBWEG_EFF, k.K_BLOCKIER, k.K_RES_ACTUAL_S_TOP, k.K_RES_ACTUAL_S_BUT};
        o.groups = {CalcGlobals.MainUnitLoadGroup, CalcGlobals.SupportLoadGroup, CalcGlobals.ComponentLoadGroup};
        o.loads = {k.K_LAST_BLOK, k.K_LAST_AUSG};
        for (double d : steps.designLoads)
            o.loads << d;
        o.message = LastMessage;
        o.recorded = k.K_FMT_NR;
        o.log = ui.log;
        o.price = PartsList.RowCount > 0 ? PartsList.KB_PRS[0] : -1;
        o.blockings = steps.blockings;
        o.angle = CalcGlobals.HorizontalTravelAngle;
        o.rod = CalcGlobals.RodLength;
        return o;
    }

    // The second support: plain, or a pre-selected size 13 at 300 mm whose
    // blocking position the engineer saves as 200, without a horizontal
    // travel (so the question waits for the pass after the first).
    void SecondSupport(ScriptedSelectionUi& ui, bool preselected) {
        Support(false, preselected ? 0 : 150);
        if (preselected)
            Preselect(ui);
    }
    static void Preselect(ScriptedSelectionUi& ui) {
        ConstructionRecord.K_VGB_KZ = true;
        ConstructionRecord.K_BLOCK_VOR = true;
        PutText(CalcGlobals.PreselectedLoadNumber, QStringLiteral("113315"));
        CalcGlobals.PreselectedProductNumber = 11013315;
        ui.blockingDialog = [] {
            ConstructionRecord.K_BLOCKIER = 200;
            return true;
        };
    }

    Outcome Alone(bool preselected) {
        ResetCalcState();
        EngineState.Reset();
        ScriptedSelectionUi ui;
        ScriptedSteps steps;
        SecondSupport(ui, preselected);
        return Run(ui, steps);
    }
    Outcome PlainAlone() { return Alone(false); }

private slots:
    void initTestCase() {
        cat = std::make_unique<SizingCatalogue>();
        cat->Group("LGK", 12, 9);
        cat->Group("LGK", 13, 20);
        cat->Group("LGK", 14, 26);
        cat->PricedProduct(11013315, QStringLiteral("113315"), 100, -1, 150);
        cat->PricedProduct(11014215, QStringLiteral("114215"), 120, -1, 140);
        cat->Start();
    }
    void cleanupTestCase() {
        SetSelectionSteps(DefaultSelectionSteps());
        cat.reset();
    }

    // The second selection alone, worked out by hand: size 13 at 300 mm,
    // K_ARBWEG [1.025 x 300] = 307; the effective travel with the halved
    // 75 mm is 1661.69 - 1500 = 161.69; half the capacity (10 kN) is at
    // most the design load, so K_BLOCKIER = [(307 + 161.69) / 2] = 234,
    // top [(307 - 161.69) / 2] = 72, bottom 307 - 234 = 73. The halving of
    // the first pass is silent, the repeat shows its note once.
    void plainSelectionAlone() {
        const Outcome o = PlainAlone();
        QCOMPARE(o.result, 0);
        QCOMPARE(o.mainUnit, qint64(11013315));
        QCOMPARE(o.travels, (QList<int>{307, 307, 234, 72, 73}));
        QCOMPARE(o.price, 100.0);
        QCOMPARE(o.log.filter(QStringLiteral("information:")).size(), 1);
        QCOMPARE(o.loads.mid(2), (QList<double>{5.25, 5.25, 5.25}));
    }

    // First selections that leave every flag of the engine set: a
    // galvanised constant hanger with a clamp weight, dead-weight repeats,
    // a halved travel with its note, the plate and PTFE notes; or a
    // pre-selected hanger whose blocking position the engineer saved.
    void secondSelectionAsAlone_data() {
        QTest::addColumn<bool>("preselected");
        QTest::addColumn<bool>("secondPreselected");
        QTest::newRow("plain after a galvanised constant hanger") << false << false;
        QTest::newRow("plain after a pre-selected hanger with a saved position") << true << false;
        QTest::newRow("pre-selected after a galvanised constant hanger") << false << true;
        QTest::newRow("pre-selected after a pre-selected hanger") << true << true;
    }
    void secondSelectionAsAlone() {
        QFETCH(bool, preselected);
        QFETCH(bool, secondPreselected);
        const Outcome alone = Alone(secondPreselected);

        ResetCalcState();
        EngineState.Reset();
        {
            ScriptedSelectionUi ui;
            ScriptedSteps steps;
            Support(true);
            steps.componentWeight = 20;
            steps.clampWeightColumn = 2;
            steps.clampWeight = 30;
            if (preselected)
                Preselect(ui);
            const Outcome first = Run(ui, steps, [] {
                CalcGlobals.ConnectingPlateNote = true;
                EngineState.PtfeNoteCount = 3;
                CalcGlobals.ComponentHeightTop = 100;
                CalcGlobals.ComponentHeightMiddle = 50;
                CalcGlobals.ComponentHeightBottom = 25;
            });
            QCOMPARE(first.mainUnit, qint64(11013315));
            // What the first selection left behind.
            QVERIFY(CalcGlobals.HDRequest);
            QVERIFY(CalcGlobals.ConnectingPlateNote);
            QCOMPARE(CalcGlobals.HorizontalHalvingMark, 1.0);
            QVERIFY(CalcGlobals.HorizontalNoteShown);
            QCOMPARE(CalcGlobals.ComponentHeightTop, 100.0);
            if (preselected) {
                QCOMPARE(first.travels[2], 200);
                QVERIFY(CalcGlobals.BlockingPositionDone);
                QVERIFY(EngineState.BlockingPositionSaved);
            } else {
                QVERIFY(CalcGlobals.ConstantHangerChosen);
                QVERIFY(CalcGlobals.DeadWeightPassDone);
                QCOMPARE(CalcGlobals.SecondPassWeight, 20.0);
                QVERIFY(EngineState.ClampWeightAdded);
            }
        }

        // The next support of the same run: its input replaces the first's,
        // the engine state is what the first left.
        ScriptedSelectionUi ui;
        ScriptedSteps steps;
        const TCalcGlobals left = CalcGlobals;
        ConstructionRecord.Reset();
        SecondSupport(ui, secondPreselected);
        const TCalcGlobals input = CalcGlobals;
        CalcGlobals = left;
        std::copy_n(input.PreselectedLoadNumber, 6, CalcGlobals.PreselectedLoadNumber);
        CalcGlobals.PreselectedProductNumber = input.PreselectedProductNumber;
        const Outcome second = Run(ui, steps);
        QVERIFY2(second == alone, qPrintable(Describe(second) + QStringLiteral("\n  alone: ") + Describe(alone)));
    }

    // The clamp and component steps' own state across two selections of
    // the form, whose record stays as the engineer left it, against the
    // second selection alone. A catalogue of its own: a riser clamp of
    // 168.3 for low temperatures (digit 7 '5', class 03) under a rigid rod
    // hanger with letters 4 'A', 7 'A' (no building connection, one letter
    // repeat); struts of group 13 (250 .. 600, 40 - 0.0625 L kN) under
    // letter 4 'Y'.
    //   Clamp: the first selection takes the special clamp (yes); the
    //   second asks again (once: its repeat keeps the answer) and gets no.
    //   Rods: two rods of 400 and 300 mm first, then one of 400 mm: one
    //   strut, which carries 40 - 25 = 15 kN at 400 mm.
    void stepStateAcrossSelections_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QList<double>>("firstLevels");
        QTest::addColumn<QList<double>>("secondLevels");
        QTest::addColumn<QList<qint64>>("chain");  // of the second
        QTest::addColumn<int>("questions");        // of the second
        QTest::addColumn<QString>("choice");
        QTest::addColumn<char>("special");
        QTest::newRow("clamp material question") << "SHHAESAS" << QStringList{"430"} << QStringList{"430"}
                                                 << QList<double>{3000, 2000} << QList<double>{3000, 2000}
                                                 << QList<qint64>{43110351} << 1 << "-" << ' ';
        QTest::newRow("rod lengths") << "SHHYESBS" << QStringList{"390", "390"} << QStringList{"390"}
                                     << QList<double>{3000, 2600, 2300} << QList<double>{3000, 2600}
                                     << QList<qint64>{39130010} << 0 << " " << ' ';
    }
    void stepStateAcrossSelections() {
        QFETCH(QString, name);
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QList<double>, firstLevels);
        QFETCH(QList<double>, secondLevels);
        QFETCH(QList<qint64>, chain);
        QFETCH(int, questions);
        QFETCH(QString, choice);
        QFETCH(char, special);
        // The test's own catalogue takes the alias for its run; the class's
        // catalogue gets it back at the end.
        struct GiveBack {
            SizingCatalogue& catalogue;
            ~GiveBack() {
                catalogue.kon.reset();
                CatalogueFixture::PointAlias(catalogue.dir.path());
                catalogue.Start();
            }
        } giveBack{*cat};
        SizingCatalogue stepCatalogue;
        stepCatalogue.Group("LGA", 11, 100);
        for (const char* kind : {"LGC", "LGD", "LGE"})
            stepCatalogue.Group(kind, 13, 20);
        stepCatalogue.Insert("Durdat.DB", {{"D_R_DM", 168.3}, {"D_R_DM_KZ", 11}, {"D_EMAX_MM", 0}, {"D_LG_KZ", " "}});
        for (auto [c, t] : {std::pair{2, 150}, {3, 200}})
            stepCatalogue.Insert("Temdat.DB", {{"T_KLASSE", c}, {"T_TEMP", t}});
        stepCatalogue.Insert("pgrsrsl.DB", {{"RSL_NRN", 43110351}, {"RSL_LG_VON", 9}, {"RSL_LG_BIS", 14},
                                            {"RSL_KRAFT_1", 99.0}, {"RSL_KRAFT_INT_1", 99.0},
                                            {"RSL_HYD_LST_1", 150.0}, {"RSL_E", 300}, {"RSL_DAEMM_H", 300},
                                            {"RSL_L_NR", "430151"}, {"RSL_L_NR_K", "43015K"},
                                            {"RSL_L_NR_CN", "430151"}, {"RSL_GEW_1", 2.0}});
        stepCatalogue.Insert("Pgdyna.DB", {{"DYN_NRN", 39130010}, {"DYN_E_MIN", 250}, {"DYN_E_MAX", 600},
                                           {"DYN_PARA_B", 40.0}, {"DYN_PARA_A", 0.0625}});
        stepCatalogue.Start();
        const auto levels = [](const QList<double>& q) {
            TConstructionRecord& k = ConstructionRecord;
            k.K_H_ZHL = int16_t(q.size());
            k.K_HM_Q_1 = q.value(0);
            k.K_HM_Q_2 = q.value(1);
            k.K_HM_Q_3 = q.value(2);
        };
        const auto support = [&](const QList<double>& q) {
            ResetCalcState();
            EngineState.Reset();
            TConstructionRecord& k = ConstructionRecord;
            k.K_LAST = 10;
            k.K_RDM = 168.3;
            k.K_TEM = 180;
            k.K_TYP_42_KZ = true;
            k.K_WR_GS = 10;
            PutText(CalcGlobals.PreselectedLoadNumber, QStringLiteral("000000"));
            levels(q);
        };
        RealSteps steps;
        steps.arrangement = {name, "", first};
        steps.Install();
        const auto run = [&](const QStringList& positions, bool answer, StepUi& ui) {
            steps.arrangement.positions = positions;
            ui.answers = {answer, answer};
            const int result = SelectSupport(ui, 0, 0, false, true);
            QList<qint64> parts = ChainParts();
            return std::pair{result, parts};
        };
        // The second selection alone.
        support(secondLevels);
        StepUi alone;
        const auto [aloneResult, aloneChain] = run(second, false, alone);
        QCOMPARE(aloneResult, 0);
        QCOMPARE(aloneChain, chain);
        QCOMPARE(alone.count("yesno: "), questions);
        QCOMPARE(CalcGlobals.ClampMaterialChoice, choice);
        QCOMPARE(ConstructionRecord.K_RSRL_AN_KZ[0], special);
        const QList<double> aloneRests{ConstructionRecord.K_RESTLAENGE_1, ConstructionRecord.K_RESTLAENGE_2};
        // The first selection, then the second on the record it left.
        support(firstLevels);
        StepUi firstUi;
        const auto [firstResult, firstChain] = run(first, true, firstUi);
        QCOMPARE(firstResult, 0);
        QCOMPARE(firstChain.size(), first.size());
        levels(secondLevels);
        StepUi secondUi;
        const auto [secondResult, secondChain] = run(second, false, secondUi);
        QCOMPARE(secondResult, aloneResult);
        QCOMPARE(secondChain, aloneChain);
        QCOMPARE(secondUi.log, alone.log);
        QCOMPARE(CalcGlobals.ClampMaterialChoice, choice);
        QCOMPARE(ConstructionRecord.K_RSRL_AN_KZ[0], special);
        QCOMPARE((QList<double>{ConstructionRecord.K_RESTLAENGE_1, ConstructionRecord.K_RESTLAENGE_2}), aloneRests);
    }

    // The pre-selected second support alone, by hand: 10.5 kN on size 13
    // (20 kN) at 300 mm: A = [(0.525 + 0.5) x 300] = 307; the question
    // comes in the pass after the first (the travel is not halved), so the
    // first pass's components see the computed position [(307 + 160) / 2]
    // = 233 and the pass after the question the saved 200.
    void preselectedSelectionAlone() {
        const Outcome o = Alone(true);
        QCOMPARE(o.result, 0);
        QCOMPARE(o.mainUnit, qint64(11013315));
        QCOMPARE(o.blockings, (std::vector<int>{233}));
        QCOMPARE(o.travels[2], 200);
        QCOMPARE(o.log.filter(QStringLiteral("dialog: show")).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSelectionState)
#include "tst_SelectionState.moc"
