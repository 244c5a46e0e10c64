// Total height and segment heights, and the travel and rod-angle checks at
// their boundaries: halving once, the questions, the 6-degree limit, the
// notes of a repeat pass and the effective travel.
#include "EngineFixture.h"
#include "engine/findweg.h"

#include <cmath>

namespace {

void Arrangement(const char* name) { PutText(ArrangementRecord.A_NAME, QString::fromLatin1(name)); }

// A support 1500 mm high without travel and with the angle checks on.
void Support(double x, double winkel = 4) {
    ResetCalcState();
    Arrangement("SHHAESBH");
    TConstructionRecord& k = ConstructionRecord;
    k.K_HOEHE_GES = 1500;
    k.K_WEG_X = x;
    k.K_WINKEL = winkel;
    k.K_WINKEL_KZ = true;
    PutText(k.K_KRZ_BEZ_H, QStringLiteral("N"));
    CalcGlobals.TravelCheckEnabled = true;
    CalcGlobals.TableStatus = 0;
}

}  // namespace

class TestFindweg : public QObject {
    Q_OBJECT
    ScriptedSelectionUi ui;

private slots:
    void init() { ui = ScriptedSelectionUi(); }

    void totalHeight_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("distances");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<double>("offset");
        QTest::addColumn<double>("total");
        QTest::addColumn<QList<int>>("segments");
        QTest::newRow("no heights: total kept") << "SHHAESBH" << false << 0 << QList<double>{5000, 4000} << 0.0
                                                << 1234.0 << QList<int>{0, 0, 0, 0, 0};
        QTest::newRow("levels") << "SHHAESBH" << false << 4 << QList<double>{5000, 4200, 3900, 3000, 100, 100}
                                << 12.7 << 2012.0 << QList<int>{812, 300, 900, 0, 0};
        QTest::newRow("two tops, the higher counts") << "SHHADSBH" << false << 4
                                                     << QList<double>{5000, 5100, 4000, 3000, 100, 100} << 0.0
                                                     << 2100.0 << QList<int>{1000, 1100, 1000, 0, 0};
        QTest::newRow("more than six values read as six") << "SHHAESBH" << false << 7
                                                          << QList<double>{600, 500, 400, 300, 200, 100} << 0.0
                                                          << 500.0 << QList<int>{100, 100, 100, 100, 100};
        QTest::newRow("distances cut per segment") << "SHHAESBH" << true << 3
                                                   << QList<double>{300, 700.5, 900, 0, 0, 0} << 0.0 << 900.0
                                                   << QList<int>{300, 400, 199, 0, 0};
        QTest::newRow("distances, two tops") << "SHHADSBH" << true << 2 << QList<double>{300, 700, 0, 0, 0, 0}
                                             << 0.0 << 700.0 << QList<int>{300, 300, 400, 0, 0};
        // 1000.3 - 0.3 is just below 1000 in extended precision; the same
        // difference taken in double rounds up to 1000.
        QTest::newRow("level difference just below a whole number") << "SHHAESBH" << false << 2
                                                                     << QList<double>{1000.3, 0.3} << 0.0 << 999.0
                                                                     << QList<int>{999, 0, 0, 0, 0};
        QTest::newRow("two tops, differences just below whole numbers")
            << "SHHADSBH" << false << 3 << QList<double>{1000.3, 900.3, 0.3} << 0.0 << 999.0
            << QList<int>{999, 899, 0, 0, 0};
        QTest::newRow("level difference with an offset") << "SHHAESBH" << false << 2
                                                         << QList<double>{1000.3, 0.3} << 1.0 << 1000.0
                                                         << QList<int>{1000, 0, 0, 0, 0};
    }
    void totalHeight() {
        QFETCH(QString, name);
        QFETCH(bool, distances);
        QFETCH(int, count);
        QFETCH(QList<double>, values);
        QFETCH(double, offset);
        QFETCH(double, total);
        QFETCH(QList<int>, segments);
        ResetCalcState();
        Arrangement(qPrintable(name));
        TConstructionRecord& k = ConstructionRecord;
        k.K_HOEHE_GES = 1234;
        k.K_H_ZHL = int16_t(count);
        k.K_ST_E_6 = distances;
        double* q[] = {&k.K_HM_Q_1, &k.K_HM_Q_2, &k.K_HM_Q_3, &k.K_HM_Q_4, &k.K_HM_Q_5, &k.K_HM_Q_6};
        double* d[] = {&k.K_HM_D_1, &k.K_HM_D_2, &k.K_HM_D_3, &k.K_HM_D_4, &k.K_HM_D_5, &k.K_HM_D_6};
        for (int i = 0; i < values.size(); ++i)
            *(distances ? d : q)[i] = values[i];
        CalcGlobals.ConnectionHeightOffset = offset;
        ComputeTotalHeight();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        QCOMPARE(k.K_HOEHE_GES, total);
        QList<int> got;
        for (int s : CalcGlobals.SegmentHeights)
            got << s;
        QCOMPARE(got, segments);
    }

    void totalHeightWithTravel_data() {
        QTest::addColumn<bool>("reversed");
        QTest::addColumn<double>("travel");
        QTest::addColumn<int>("status");
        QTest::newRow("exactly 0") << false << -500.0 << 0;
        QTest::newRow("just below 0") << false << -500.5 << 1;
        QTest::newRow("reversed, exactly 0") << true << 500.0 << 0;
        QTest::newRow("reversed, below 0") << true << 500.5 << 1;
    }
    void totalHeightWithTravel() {
        QFETCH(bool, reversed);
        QFETCH(double, travel);
        QFETCH(int, status);
        ResetCalcState();
        Arrangement("SHHAESBH");
        TConstructionRecord& k = ConstructionRecord;
        k.K_H_ZHL = 2;
        k.K_HM_Q_1 = 1000;
        k.K_HM_Q_2 = 500;
        k.K_EINBAU_KZ = reversed;
        k.K_WEG_Z = travel;
        ComputeTotalHeight();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(int(CalcGlobals.MessageNumber), status ? 2615 : 0);
    }

    // The rod angle may equal the allowed angle; just above it asks.
    void rodAngleBoundary_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("questions");
        QTest::newRow("equal") << 0 << 0;
        QTest::newRow("just above") << -1 << 1;
    }
    void rodAngleBoundary() {
        QFETCH(int, side);
        QFETCH(int, questions);
        const long double b = RodAngle(30, 0, 1500);
        double w = double(b);
        if (static_cast<long double>(w) < b)
            w = std::nextafter(w, 90.0);
        if (side < 0)
            w = std::nextafter(w, 0.0);
        Support(30, w);
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(ui.count("question:"), questions);
        QCOMPARE(ConstructionRecord.K_WKL_ZHL_X, int16_t(0));
        QCOMPARE(ConstructionRecord.K_WEG_X_N, 30.0);
    }

    // A travel whose angle on the 1500 mm rod (travel angle or rod angle)
    // is exactly a double, so an allowed angle can equal it; 0 when the
    // bounded search finds none.
    static double ExactAngleTravel(bool rod) {
        for (int i = 1600; i < 200000; ++i) {
            const double t = i / 64.0;
            const long double a = rod ? RodAngle(t, 0, 1500) : TravelAngle(t, 1500);
            if (static_cast<long double>(double(a)) == a)
                return t;
        }
        return 0;
    }

    // An angle exactly equal to the allowed one passes: the travel is not
    // halved, the rod question is not asked; the next double below asks.
    void anglesExactlyAtTheLimit_data() {
        QTest::addColumn<bool>("rod");
        QTest::addColumn<bool>("below");
        QTest::newRow("travel angle equal") << false << false;
        QTest::newRow("travel angle just above") << false << true;
        QTest::newRow("rod angle equal") << true << false;
        QTest::newRow("rod angle just above") << true << true;
    }
    void anglesExactlyAtTheLimit() {
        QFETCH(bool, rod);
        QFETCH(bool, below);
        const double t = ExactAngleTravel(rod);
        QVERIFY(t > 0);
        double limit = double(rod ? RodAngle(t, 0, 1500) : TravelAngle(t, 1500));
        if (below)
            limit = std::nextafter(limit, 0.0);
        Support(t, limit);
        if (rod) {
            // The travel angle stays below the limit: only the rod decides.
            QVERIFY(TravelAngle(t, 1500) <= limit);
        }
        ActiveUiScope active(ui);
        CheckTravel();
        if (rod) {
            QCOMPARE(int(ConstructionRecord.K_WKL_ZHL_X), 0);
            QCOMPARE(ui.count("question:"), below ? 1 : 0);
        } else {
            QCOMPARE(int(ConstructionRecord.K_WKL_ZHL_X), below ? 1 : 0);
        }
    }

    void halvingOnceAndItsNote() {
        Support(150);  // 5.7 degrees on 1500 mm, 2.9 halved
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(ConstructionRecord.K_WEG_X_N, 75.0);
        QCOMPARE(ConstructionRecord.K_WKL_ZHL_X, int16_t(1));
        QCOMPARE(CalcGlobals.HorizontalHalvingMark, 1.0);
        QCOMPARE(ui.log, QStringList());  // the first pass halves silently
        CheckTravel();
        QCOMPARE(ui.log, QStringList{"information: Weg-Horizontal (N )\r" + MessageText(2614)});
        CheckTravel();
        QCOMPARE(ui.count("information:"), 1);
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
    }

    void questionsAfterHalving_data() {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("questions");
        QTest::newRow("stop at the travel") << QList<bool>{true} << 6 << 1;
        QTest::newRow("stop at the rod") << QList<bool>{false, true} << 6 << 2;
        QTest::newRow("go on") << QList<bool>{false, false} << 0 << 2;
    }
    void questionsAfterHalving() {
        QFETCH(QList<bool>, answers);
        QFETCH(int, status);
        QFETCH(int, questions);
        Support(300);  // 11.5 degrees, 5.7 halved: still above 4
        for (bool a : answers)
            ui.answers.push_back(a);
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(int(CalcGlobals.MessageNumber), status ? 1625 : 0);
        QCOMPARE(ui.count("question:"), questions);
        // Twice the halved angle.
        QVERIFY2(ui.log.first().startsWith("question: (11.5°) "), qPrintable(ui.log.first()));
        if (questions == 2)
            QVERIFY2(ui.log.at(1).startsWith("question: (5.7°) Vertical angle of the hanger rod greater than 4°"), qPrintable(ui.log.at(1)));
    }

    void sixDegreeLimit_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("status");
        QTest::newRow("letter 4 G, 5.7 degrees") << "SHHGESBS" << 150.0 << 0;
        QTest::newRow("letter 4 G, 6.1 degrees") << "SHHGESBS" << 160.0 << 8;
        QTest::newRow("letter 4 Y") << "SHHYESBS" << 160.0 << 8;
        QTest::newRow("letter 4 F") << "SHHFESBH" << 160.0 << 8;
    }
    void sixDegreeLimit() {
        QFETCH(QString, name);
        QFETCH(double, x);
        QFETCH(int, status);
        Support(x, 10);
        Arrangement(qPrintable(name));
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(int(CalcGlobals.MessageNumber), status ? 2606 : 0);
        QCOMPARE(ConstructionRecord.K_WEG_X_N, x);
    }

    void effectiveTravel_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("reversed");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("z");
        QTest::addColumn<double>("effective");
        QTest::newRow("vertical") << "SHHAESBH" << false << 0.0 << 20.0 << 20.0;
        QTest::newRow("vertical, reversed") << "SHHAESBH" << true << 0.0 << 20.0 << 20.0;
        QTest::newRow("letter 4 R takes K_WEG_Z") << "SHHRESBH" << true << 40.0 << -20.0 << -20.0;
        QTest::newRow("letters D, Y: sum of the travels") << "DHHYESBS" << false << -30.0 << 5.0 << 30.0;
    }
    void effectiveTravel() {
        QFETCH(QString, name);
        QFETCH(bool, reversed);
        QFETCH(double, x);
        QFETCH(double, z);
        QFETCH(double, effective);
        Support(x);
        Arrangement(qPrintable(name));
        ConstructionRecord.K_EINBAU_KZ = reversed;
        ConstructionRecord.K_WEG_Z = z;
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(ConstructionRecord.K_WEG_EFF, effective);
    }

    // The travel angle by its series, the rod angle by its arctangent,
    // worked out from the formulas: r = 0.5 gives
    // (1 + 0.25 x (0.16667 + 0.25 x (0.075 + 0.25 x 0.029762))) x 0.5
    // x 180 x 0.3183192742320547 = 29.990069...; the rod over 300, 400 and
    // 1200 mm has the angle arctan(500 / 1200) x 180 x 0.3184713375796178.
    void angleFormulas() {
        QCOMPARE(double(TravelAngle(750, 1500)), 29.990069333916914);
        QCOMPARE(double(TravelAngle(150, 1500)), 5.739339849026261);
        QCOMPARE(double(TravelAngle(-300, 1500)), -11.537288993044086);
        QCOMPARE(double(RodAngle(300, 400, 1200)), 22.63133807196084);
        QCOMPARE(double(RodAngle(75, 0, 1500)), 2.8638570796018525);
    }

    // A travel angle equal to the allowed angle is not halved; just above,
    // it is.
    void travelAngleBoundary_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("halved");
        QTest::newRow("equal") << 0 << 0;
        QTest::newRow("just above") << -1 << 1;
    }
    void travelAngleBoundary() {
        QFETCH(int, side);
        QFETCH(int, halved);
        const long double a = TravelAngle(30, 1500);
        double w = double(a);
        if (static_cast<long double>(w) < a)
            w = std::nextafter(w, 90.0);
        if (side < 0)
            w = std::nextafter(w, 0.0);
        Support(30, w);
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(int(ConstructionRecord.K_WKL_ZHL_X), halved);
        QCOMPARE(ConstructionRecord.K_WEG_X_N, halved ? 15.0 : 30.0);
    }

    // The lateral travel by the same rules: 150 mm on 1500 mm is 5.74
    // degrees, halved once to 2.87; its note in a repeat names the lateral
    // direction; beyond 6 degrees letter 4 G warns; a lateral angle still
    // too large after halving asks question 1623 with twice the angle.
    void lateralTravel() {
        Support(0);
        ConstructionRecord.K_WEG_Y = 150;
        PutText(ConstructionRecord.K_KRZ_BEZ_L, QStringLiteral("L"));
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(ConstructionRecord.K_WEG_Y_N, 75.0);
        QCOMPARE(ConstructionRecord.K_WEG_X_N, 0.0);
        QCOMPARE(int(ConstructionRecord.K_WKL_ZHL_Y), 1);
        QCOMPARE(int(ConstructionRecord.K_WKL_ZHL_X), 0);
        QCOMPARE(CalcGlobals.LateralHalvingMark, 1.0);
        QCOMPARE(CalcGlobals.HorizontalHalvingMark, 0.0);
        QCOMPARE(CalcGlobals.LateralTravelAngle, 2.8660685334825016);
        QCOMPARE(ui.log, QStringList());
        CheckTravel();
        CheckTravel();
        QCOMPARE(ui.log, QStringList{"information: Weg-Lateral (L )\r" + MessageText(2614)});
        QVERIFY(CalcGlobals.LateralNoteShown);
        QVERIFY(!CalcGlobals.HorizontalNoteShown);
    }
    void lateralLimits_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("y");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("question");
        QTest::newRow("letter 4 G, 6.1 degrees") << "SHHGESBS" << 160.0 << 8 << "";
        QTest::newRow("11.5 degrees, halved still above 4") << "SHHAESBH" << 300.0 << 6 << "(11.5°) ";
    }
    void lateralLimits() {
        QFETCH(QString, name);
        QFETCH(double, y);
        QFETCH(int, status);
        QFETCH(QString, question);
        Support(0, status == 8 ? 10 : 4);
        Arrangement(qPrintable(name));
        ConstructionRecord.K_WEG_Y = y;
        ui.answers = {true};
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(int(CalcGlobals.TableStatus), status);
        QCOMPARE(int(CalcGlobals.MessageNumber), status == 8 ? 2606 : 1625);
        if (question.isEmpty())
            QCOMPARE(ui.count("question:"), 0);
        else
            QCOMPARE(ui.log, QStringList{"question: " + question + MessageText(1623)});
        // A stop leaves no effective travel.
        if (status == 6)
            QCOMPARE(ConstructionRecord.K_WEG_EFF, 0.0);
    }

    // The horizontal question names its own text (1624).
    void horizontalQuestionText() {
        Support(300);
        ui.answers = {true};
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(ui.log, QStringList{"question: (11.5°) " + MessageText(1624)});
        QCOMPARE(ConstructionRecord.K_WEG_EFF, 0.0);
    }

    // The rod the angles are taken over: the total height less the
    // components' heights, plus the vertical travel (less it when
    // installed reversed); the angles and the rod are recorded.
    //   1500 - (100 + 50 + 25) = 1325, +20 -> 1345: 100 mm is 4.264 deg;
    //   reversed: 1305: 4.395 deg. Both above 4: halved to 50 mm, whose
    //   angles are recorded.
    void rodLengthAndRecordedAngles_data() {
        QTest::addColumn<bool>("reversed");
        QTest::addColumn<double>("rod");
        QTest::addColumn<double>("angle");
        QTest::newRow("travel added") << false << 1345.0 << 2.130508363249132;
        QTest::newRow("reversed: travel taken off") << true << 1305.0 << 2.1958428145845086;
    }
    void rodLengthAndRecordedAngles() {
        QFETCH(bool, reversed);
        QFETCH(double, rod);
        QFETCH(double, angle);
        Support(100);
        ConstructionRecord.K_WEG_Z = 20;
        ConstructionRecord.K_EINBAU_KZ = reversed;
        CalcGlobals.ComponentHeightTop = 100;
        CalcGlobals.ComponentHeightMiddle = 50;
        CalcGlobals.ComponentHeightBottom = 25;
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(CalcGlobals.RodLength, rod);
        QCOMPARE(int(ConstructionRecord.K_WKL_ZHL_X), 1);
        QCOMPARE(CalcGlobals.HorizontalTravelAngle, angle);
        QCOMPARE(CalcGlobals.LateralTravelAngle, 0.0);
    }

    // Without angle checks (settings, or letter 4 R) the travels are taken
    // as they are, however steep; with letters 1 D and 4 Y the effective
    // travel is the sum of the horizontal and lateral amounts.
    void travelsWithoutAngleChecks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("angleChecks");
        QTest::addColumn<double>("effective");
        // sqrt(1520^2 + 300^2 + 200^2) - 1500
        QTest::newRow("angle checks off") << "SHHAESBH" << false << 62.17796681428081;
        QTest::newRow("letter 4 R") << "SHHRESBH" << true << 20.0;
        QTest::newRow("letters 1 D 4 Y") << "DHHYESBS" << true << 500.0;
    }
    void travelsWithoutAngleChecks() {
        QFETCH(QString, name);
        QFETCH(bool, angleChecks);
        QFETCH(double, effective);
        Support(-300);
        Arrangement(qPrintable(name));
        ConstructionRecord.K_WINKEL_KZ = angleChecks;
        ConstructionRecord.K_WEG_Y = -200;
        ConstructionRecord.K_WEG_Z = 20;
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(ui.log, QStringList());
        const bool sum = name.startsWith('D');
        QCOMPARE(ConstructionRecord.K_WEG_X_N, sum ? 300.0 : -300.0);
        QCOMPARE(ConstructionRecord.K_WEG_Y_N, sum ? 200.0 : -200.0);
        QCOMPARE(int(ConstructionRecord.K_WKL_ZHL_X + ConstructionRecord.K_WKL_ZHL_Y), 0);
        QCOMPARE(ConstructionRecord.K_WEG_EFF, effective);
    }

    // The height step and the travel step start from no effective travel
    // and no halving; one height value gives the connection offset alone.
    void stepsStartClean() {
        ResetCalcState();
        Arrangement("SHHAESBH");
        TConstructionRecord& k = ConstructionRecord;
        k.K_WEG_EFF = 9;
        k.K_WKL_ZHL_X = k.K_WKL_ZHL_Y = 1;
        k.K_H_ZHL = 1;
        k.K_HM_Q_1 = 5000;
        k.K_HM_Q_2 = 4200;
        CalcGlobals.ConnectionHeightOffset = 12.7;
        ComputeTotalHeight();
        QCOMPARE(k.K_WEG_EFF, 0.0);
        QCOMPARE(int(k.K_WKL_ZHL_X + k.K_WKL_ZHL_Y), 0);
        QCOMPARE(k.K_HOEHE_GES, 12.0);
        QCOMPARE(CalcGlobals.SegmentHeights, (std::array<int32_t, 5>{812, 0, 0, 0, 0}));
        // A rod of 0 ends the travel step with no effective travel.
        k.K_HOEHE_GES = 0;
        k.K_WEG_EFF = 9;
        k.K_WEG_Z = 0;
        k.K_WINKEL_KZ = true;
        CalcGlobals.TravelCheckEnabled = true;
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(int(CalcGlobals.TableStatus), 6);
        QCOMPARE(int(CalcGlobals.MessageNumber), 2717);
        QCOMPARE(k.K_WEG_EFF, 0.0);
    }

    void checksOff() {
        Support(300);
        CalcGlobals.TravelCheckEnabled = false;
        ConstructionRecord.K_WEG_X_N = 7;
        ConstructionRecord.K_WEG_Z = 20;
        ActiveUiScope active(ui);
        CheckTravel();
        QCOMPARE(ui.log, QStringList());
        QCOMPARE(ConstructionRecord.K_WEG_X_N, 7.0);
        // s = sqrt(1520^2 + 7^2) - 1500
        QCOMPARE(ConstructionRecord.K_WEG_EFF, double(std::sqrt(1520.0L * 1520 + 49) - 1500));
    }
};

QTEST_GUILESS_MAIN(TestFindweg)
#include "tst_findweg.moc"
