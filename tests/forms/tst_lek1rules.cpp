// The input form's rules without widgets: conversions, feet-inch texts,
// panels, plausibility, checks and the host error file.
#include "data/GlobalFuncs.h"
#include "forms/rules/LEK1Rules.h"
#include "localisation/IvBinDic.h"
#include "ui/MultiLang.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <memory>

#include <sys/stat.h>

class TestLek1Rules : public QObject {
    Q_OBJECT
private slots:
    void loadToKn_data() {
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<bool>("kg");
        QTest::addColumn<double>("shown");
        QTest::addColumn<double>("kN");
        QTest::newRow("100 lbs") << true << false << 100.0 << 0.445;
        QTest::newRow("-100 lbs") << true << false << -100.0 << -0.445;
        QTest::newRow("1 lbs rounds to 4 N") << true << false << 1.0 << 0.004;
        QTest::newRow("imperial ignores kg") << true << true << 100.0 << 0.445;
        QTest::newRow("100 kg") << false << true << 100.0 << 0.981;
        QTest::newRow("10 kN") << false << false << 10.0 << 10.0;
        QTest::newRow("0") << true << false << 0.0 << 0.0;
    }
    void loadToKn() {
        QFETCH(bool, imperial);
        QFETCH(bool, kg);
        QFETCH(double, shown);
        QFETCH(double, kN);
        QVERIFY2(qAbs(LoadToKn(shown, {imperial, kg}) - kN) < 1e-12, qPrintable(QString::number(LoadToKn(shown, {imperial, kg}), 'g', 17)));
    }

    void temperature_data() {
        QTest::addColumn<int>("fahrenheit");
        QTest::addColumn<int>("celsius");
        QTest::newRow("212") << 212 << 100;
        QTest::newRow("33") << 33 << 1;
        QTest::newRow("32") << 32 << 0;
        QTest::newRow("31") << 31 << -1;
        QTest::newRow("-4") << -4 << -20;
        QTest::newRow("1202") << 1202 << 650;
    }
    void temperature() {
        QFETCH(int, fahrenheit);
        QFETCH(int, celsius);
        QCOMPARE(TemperatureToCelsius(fahrenheit, {true, false}), celsius);
        QCOMPARE(TemperatureToCelsius(fahrenheit, {false, false}), fahrenheit);
    }

    void lengths() {
        QCOMPARE(LengthToMm(3, {true, false}), 76.2);
        QCOMPARE(LengthToMm(3, {false, true}), 3.0);
        QVERIFY(qAbs(MmToLength(76.2, {true, false}) - 3.0) < 1e-12);
    }

    void feetInchText_data() {
        QTest::addColumn<double>("mm");
        QTest::addColumn<QString>("text");
        QTest::newRow("1000") << 1000.0 << "3'-3.37\"";
        QTest::newRow("304.8") << 304.8 << "1'-0.0\"";
        QTest::newRow("-1000") << -1000.0 << "-3'-3.37\"";
        QTest::newRow("-100 keeps its sign") << -100.0 << "-0'-3.937\"";
        QTest::newRow("0") << 0.0 << "0'-0.0\"";
        QTest::newRow("just below a foot rounds up") << 304.79 << "1'-0.0\"";
        QTest::newRow("25.4") << 25.4 << "0'-1.0\"";
        QTest::newRow("3500") << 3500.0 << "11'-5.795\"";
        // A whole negative foot keeps its sign; only a length that shows as
        // nothing at all drops it. Half a millimetre is positive.
        QTest::newRow("-304.8 keeps its sign") << -304.8 << "-1'-0.0\"";
        QTest::newRow("-0.001 shows as 0") << -0.001 << "0'-0.0\"";
        QTest::newRow("0.5 is positive") << 0.5 << "0'-0.02\"";
    }
    void feetInchText() {
        QFETCH(double, mm);
        QFETCH(QString, text);
        QCOMPARE(FeetInchText(mm), text);
    }

    // The proposed steel width: whole mm, or whole feet (cut) and the rest
    // in inches to two decimals, trailing zeros kept.
    void steelWidthProposal_data() {
        QTest::addColumn<int>("mm");
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<QString>("text");
        QTest::newRow("274 mm") << 274 << false << "274";
        QTest::newRow("274 mm = 10.787 in") << 274 << true << "0'-10.79\"";
        // 574 mm = 22.598 in: 1 foot and 10.598, not 2 feet (rounded).
        QTest::newRow("574 mm = 22.598 in") << 574 << true << "1'-10.60\"";
        // 304 mm = 11.969 in stays below the foot; 305 mm = 12.008 in.
        QTest::newRow("304 mm") << 304 << true << "0'-11.97\"";
        QTest::newRow("305 mm") << 305 << true << "1'-0.01\"";
        // 1524 mm is 5 feet: the rest rounds up to 12 inches and carries;
        // 1523 mm = 59.961 in stays below.
        QTest::newRow("1523 mm") << 1523 << true << "4'-11.96\"";
        QTest::newRow("1524 mm = 5 ft") << 1524 << true << "5'-0.00\"";
    }
    void steelWidthProposal() {
        QFETCH(int, mm);
        QFETCH(bool, imperial);
        QFETCH(QString, text);
        QCOMPARE(SteelWidthProposal(mm, imperial), text);
    }

    // The date label: the support's date in the short date format in use,
    // either notation; nothing for a support without a date.
    void dateLabel_data() {
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        const QDateTime d(QDate(2024, 3, 7), QTime(13, 5));
        QTest::newRow("options notation") << d << "dd.mm.yyyy" << "07.03.2024";
        QTest::newRow("locale notation") << d << "yy/MM/dd" << "24/03/07";
        QTest::newRow("month first") << d << "mm-dd-yy" << "03-07-24";
        QTest::newRow("no date") << QDateTime() << "dd.mm.yyyy" << "";
    }
    void dateLabel() {
        QFETCH(QDateTime, date);
        QFETCH(QString, format);
        QFETCH(QString, text);
        QCOMPARE(DateLabelText(date, format), text);
    }

    void parseFeetInch_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<qint64>("mm");
        QTest::newRow("3'-3.37\"") << "3'-3.37\"" << true << qint64(1000);
        QTest::newRow("-3'-3.37\"") << "-3'-3.37\"" << true << qint64(-1000);
        QTest::newRow("-0'-3.937\"") << "-0'-3.937\"" << true << qint64(-100);
        QTest::newRow("1'-0.0\"") << "1'-0.0\"" << true << qint64(305);
        QTest::newRow("plain inches") << "39.37" << true << qint64(1000);
        QTest::newRow("plain inches with comma") << "39,37" << true << qint64(1000);
        QTest::newRow("feet alone") << "3'" << true << qint64(914);
        QTest::newRow("fraction") << "2'-3 1/2\"" << true << qint64(698);
        QTest::newRow("fraction without feet") << "3 1/4\"" << true << qint64(83);
        QTest::newRow("inches without mark") << "3'-6" << false << qint64(0);
        QTest::newRow("bad feet") << "x'-3\"" << false << qint64(0);
        QTest::newRow("zero denominator") << "2'-3 1/0\"" << false << qint64(0);
        QTest::newRow("fraction without blank") << "2'-31/2\"" << false << qint64(0);
        QTest::newRow("no number") << "abc" << false << qint64(0);
        QTest::newRow("empty") << "" << false << qint64(0);
    }
    void parseFeetInch() {
        QFETCH(QString, text);
        QFETCH(bool, readable);
        QFETCH(qint64, mm);
        const auto v = ParseFeetInch(text);
        QCOMPARE(v.has_value(), readable);
        if (readable) QCOMPARE(*v, mm);
        QCOMPARE(ParseFeetInchToText(text), readable ? QString::number(mm) : text);
    }

    // What the parser read and why it stopped: the code tells the input
    // which part of the text is wrong (1 no number, 2 feet, 3 inches).
    void inchFraction_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("sign");
        QTest::addColumn<qint64>("feet");
        QTest::addColumn<double>("inches");
        QTest::newRow("feet and inches") << "3'-3.5\"" << 0 << 1 << qint64(3) << 3.5;
        QTest::newRow("negative") << "-2'-3 1/2\"" << 0 << -1 << qint64(2) << 3.5;
        QTest::newRow("decimal comma in a fraction") << "2'-3 1,5/2\"" << 0 << 1 << qint64(2) << 3.75;
        QTest::newRow("plain inches") << "7.25" << 0 << 1 << qint64(0) << 7.25;
        QTest::newRow("feet alone") << "3'" << 0 << 1 << qint64(3) << 0.0;
        QTest::newRow("feet and a dash") << "3'-" << 0 << 1 << qint64(3) << 0.0;
        QTest::newRow("no number") << "abc" << 1 << 1 << qint64(0) << 0.0;
        QTest::newRow("fraction without marks") << "3 1/2" << 1 << 1 << qint64(0) << 0.0;
        QTest::newRow("feet mark first") << "'5" << 2 << 1 << qint64(0) << 0.0;
        QTest::newRow("letters for feet") << "x'-3\"" << 2 << 1 << qint64(0) << 0.0;
        QTest::newRow("negative feet after the sign") << "--3'-1\"" << 2 << -1 << qint64(0) << 0.0;
        QTest::newRow("letters for inches") << "3'-x\"" << 3 << 1 << qint64(3) << 0.0;
        QTest::newRow("inches without mark") << "3' 4" << 3 << 1 << qint64(3) << 0.0;
        QTest::newRow("negative inches") << "3'--3\"" << 3 << 1 << qint64(3) << 0.0;
        QTest::newRow("letters for whole inches") << "2'-x 1/2\"" << 3 << 1 << qint64(2) << 0.0;
        QTest::newRow("letters for the numerator") << "2'-3 x/2\"" << 3 << 1 << qint64(2) << 0.0;
        QTest::newRow("letters for the denominator") << "2'-3 1/x\"" << 3 << 1 << qint64(2) << 0.0;
        QTest::newRow("negative numerator") << "2'-3 -1/2\"" << 3 << 1 << qint64(2) << 0.0;
    }
    void inchFraction() {
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(int, sign);
        QFETCH(qint64, feet);
        QFETCH(double, inches);
        const InchFraction f = ParseInchFraction(text);
        QCOMPARE(f.code, code);
        QCOMPARE(f.sign, sign);
        QCOMPARE(f.feet, feet);
        QCOMPARE(f.inches, inches);
        QCOMPARE(ParseFeetInch(text).has_value(), code == 0);
    }

    void feetInchRoundTrip() {
        for (int mm = -5000; mm <= 5000; mm += 37)
            QCOMPARE(ParseFeetInch(FeetInchText(mm)).value_or(99999), qint64(mm));
    }

    void unitSwitchThereAndBack_data() {
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<bool>("kg");
        QTest::newRow("imperial") << true << false;
        QTest::newRow("kg") << false << true;
    }
    void unitSwitchThereAndBack() {
        QFETCH(bool, imperial);
        QFETCH(bool, kg);
        DisplayedValues v;
        v.Last = 10;
        v.DY_L_HZ = -5;
        v.Vertikal = 20;
        v.DY_W_N = -12.5;
        v.ISO = 100;
        v.TEMP = -20;
        v.RDM = QStringLiteral("114.3");
        v.SteelElevLeft = QStringLiteral("3500");
        v.PipeElev = QStringLiteral("-1000");
        const DisplayedValues before = v;
        ConvertDisplayedUnits(v, {}, {imperial, kg});
        if (imperial) {
            QCOMPARE(v.SteelElevLeft, QStringLiteral("11'-5.795\""));
            QCOMPARE(v.TEMP, -4);  // -20 °C × 1.8 + 32
            QVERIFY(qAbs(v.Vertikal - 20 / 25.4) < 1e-12);
            QCOMPARE(v.RDM, QStringLiteral("4.5"));
        } else {
            QCOMPARE(v.RDM, QStringLiteral("114.3"));
            QVERIFY(qAbs(v.Last - 10000 / 9.81) < 1e-9);
            QCOMPARE(v.SteelElevLeft, before.SteelElevLeft);
        }
        ConvertDisplayedUnits(v, {imperial, kg}, {});
        QVERIFY(qAbs(v.Last - 10) < 1e-9);
        QVERIFY(qAbs(v.DY_L_HZ + 5) < 1e-9);
        QVERIFY(qAbs(v.Vertikal - 20) < 1e-9);
        QVERIFY(qAbs(v.DY_W_N + 12.5) < 1e-9);
        QVERIFY(qAbs(v.ISO - 100) < 1e-9);
        // Below the field's floor as well: there and back gives the same.
        QCOMPARE(v.TEMP, -20);
        QCOMPARE(v.RDM.toDouble(), 114.3);
        QCOMPARE(v.SteelElevLeft, QStringLiteral("3500"));
        QCOMPARE(v.PipeElev, QStringLiteral("-1000"));
    }

    void temperatureOnUnitSwitch_data() {
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("toImperial");
        QTest::addColumn<int>("expected");
        // Below the field's floor the other scale shows the same temperature.
        QTest::newRow("-1 C") << -1 << true << 30;     // -1.8 to the nearest degree: -2
        QTest::newRow("-200 C") << -200 << true << -328;
        QTest::newRow("0 C") << 0 << true << 32;
        QTest::newRow("1 C") << 1 << true << 34;
        QTest::newRow("100 C") << 100 << true << 212;
        QTest::newRow("650 C") << 650 << true << 1202;
        QTest::newRow("31 F") << 31 << false << -1;  // -0.56
        QTest::newRow("0 F") << 0 << false << -18;   // -17.78
        QTest::newRow("-40 F") << -40 << false << -40;
        QTest::newRow("32 F") << 32 << false << 0;
        QTest::newRow("33 F") << 33 << false << 1;
        QTest::newRow("212 F") << 212 << false << 100;
    }
    void temperatureOnUnitSwitch() {
        QFETCH(int, shown);
        QFETCH(bool, toImperial);
        QFETCH(int, expected);
        QCOMPARE(SwitchedTemperature(shown, toImperial), expected);
        DisplayedValues v;
        v.TEMP = shown;
        const UnitMode metric{}, imperial{true, false};
        ConvertDisplayedUnits(v, toImperial ? metric : imperial, toImperial ? imperial : metric);
        QCOMPARE(v.TEMP, expected);
    }

    void temperatureRoundTripEveryDegree() {
        for (int c = -200; c <= 700; ++c)
            QCOMPARE(TemperatureToCelsius(CelsiusToTemperature(c, {true, false}), {true, false}), c);
    }

    void stressCondition_data() {
        QTest::addColumn<QString>("config");
        QTest::addColumn<int>("condition");
        QTest::newRow("7") << "7" << int(StressCondition::Dynamic);
        QTest::newRow("6") << "6" << int(StressCondition::Cold);
        QTest::newRow("8") << "8" << int(StressCondition::Cold);
        QTest::newRow("6h") << "6h" << int(StressCondition::Static);
        QTest::newRow("70") << "70" << int(StressCondition::Static);
        QTest::newRow("1") << "1" << int(StressCondition::Static);
        QTest::newRow("empty") << "" << int(StressCondition::Static);
    }
    void stressCondition() {
        QFETCH(QString, config);
        QFETCH(int, condition);
        QCOMPARE(int(StressConditionOfHostConfig(config)), condition);
    }

    void stressState() {
        QCOMPARE(StressStateOf(StressCondition::Static).base, 100);
        QCOMPARE(StressStateOf(StressCondition::Dynamic).base, 300);
        QCOMPARE(StressStateOf(StressCondition::Cold).base, 200);
        QVERIFY(!StressStateOf(StressCondition::Dynamic).notDynamic);
        QVERIFY(StressStateOf(StressCondition::Cold).cold && StressStateOf(StressCondition::Cold).notDynamic);
    }

    void hostConfigurationIsBound() {
        const QString evil = QStringLiteral("1' or A_NR > 0 --");
        const ConfigurationFilter f = ConfigurationFilterOf(StressCondition::Static, evil);
        QVERIFY(!f.expression.contains(evil));
        QVERIFY(f.expression.endsWith(QLatin1String("A_MDS_NO = ?")));
        QCOMPARE(f.hostConfig, evil);
        QVERIFY(!ConfigurationFilterOf(StressCondition::Cold, {}).expression.contains(u'?'));
    }

    void panels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("condition");
        QTest::addColumn<QString>("flags");  // record flags: r rsrlOhne, o obAnsch, k kerntech
        QTest::addColumn<double>("temp");
        QTest::addColumn<QString>("shown");  // expected visible groups, sorted
        QTest::addColumn<int>("anGeb");
        QTest::addColumn<int>("items");
        const int S = int(StressCondition::Static), D = int(StressCondition::Dynamic), C = int(StressCondition::Cold);
        QTest::newRow("spring hanger") << "SHHAESBH" << S << "" << 200.0
                                       << "Gebaude1 GroupBoxBuildingConnection GroupBoxHorizontal PanelStatic Panel_T9" << -1 << 3;
        QTest::newRow("long yoke offers five") << "SHHAESCH" << S << "" << 200.0
                                               << "Gebaude1 GroupBoxBuildingConnection GroupBoxHorizontal PanelStatic Panel_T9" << -1 << 5;
        QTest::newRow("frame lug has no horizontal") << "FHHAESBH" << S << "" << 200.0
                                                     << "Gebaude1 GroupBoxBuildingConnection PanelStatic Panel_T9" << -1 << 3;
        QTest::newRow("L7 A: no building box") << "SHHAESAH" << S << "" << 200.0
                                               << "GroupBoxHorizontal PanelStatic Panel_T9" << 0 << 3;
        QTest::newRow("base clamp") << "SHHRELBS" << S << "" << 200.0
                                    << "BaseClampStyleBox Gebaude1 PanelStatic Panel_T9 RGLagerFuehrung" << 0 << 3;
        QTest::newRow("vertical clamp 600") << "SHVAESBH" << S << "" << 600.0
                                            << "Gebaude1 GroupBoxBuildingConnection GroupBoxVertical PanelStatic Panel_T9" << -1 << 3;
        QTest::newRow("without pipe parts") << "SHHAESBH" << S << "r" << 200.0
                                            << "Gebaude1 GroupBoxBuildingConnection PanelStatic RSRLOHNE" << -1 << 3;
        QTest::newRow("upper threaded") << "SHHAESCH" << S << "o" << 200.0 << "ANGEBOHNE GroupBoxHorizontal PanelStatic Panel_T9" << 61 << 3;
        QTest::newRow("strut dynamic") << "SHHYESBS" << D << "" << 200.0 << "PanelDynamic Panel_T9" << 35 << 3;
        QTest::newRow("strut under static") << "SHHYESBS" << S << "" << 200.0 << "PanelDynamic Panel_T9" << 35 << 3;
        QTest::newRow("strut upper threaded") << "SHHYESBS" << D << "o" << 200.0 << "PanelDynamic Panel_T9" << 0 << 3;
        QTest::newRow("cold support") << "CHHRESAS" << C << "" << -20.0 << "PanelCold" << -1 << 3;
        QTest::newRow("cold freeze") << "CFHRESAS" << C << "" << -20.0 << "PanelColdFreeze" << -1 << 3;
        QTest::newRow("cold stanchion and travel") << "CHHRVSFS" << C << "" << -20.0
                                                   << "PanelCold PanelWegeingabe Stanchion" << -1 << 3;
        QTest::newRow("cold lift-off") << "CHHRCSDS" << C << "" << -20.0 << "GroupBoxAbhebesich PanelCold" << -1 << 3;
        QTest::newRow("cold type 40") << "DHHRXXXS" << C << "" << -20.0 << "PanelCold gbType40Material" << -1 << 3;
        QTest::newRow("static type 40") << "DHHRXXXS" << S << "" << 20.0 << "PanelStatic Panel_T9 gbType40Material" << 0 << 3;
        QTest::newRow("cold name under cold without C") << "SHHAESBH" << C << "" << -20.0 << "" << -1 << 3;
        // Letter 4 F is a frame: no threaded parts without pipe parts, a
        // compression panel for letter 6 S, connection 35.
        QTest::newRow("frame without pipe parts") << "SHHFESBH" << S << "r" << 200.0 << "PanelStatic Panel_T36_STATIC" << 35 << 3;
        QTest::newRow("letter 4 G") << "SHHGESBH" << S << "" << 200.0
                                    << "PanelExt PanelStatic Panel_T36_STATIC Panel_T9" << 35 << 3;
        // A Y in letter 5 is no strut.
        QTest::newRow("letter 5 Y") << "SHHAYSBH" << S << "" << 200.0
                                    << "Gebaude1 GroupBoxBuildingConnection GroupBoxHorizontal PanelStatic Panel_T9" << -1 << 3;
        // Traverses: D and D, or T and F, in letters 5 and 7; not D and F.
        QTest::newRow("traverse D D") << "SHHADLDH" << S << "" << 200.0
                                      << "Gebaude1 GroupBoxBuildingConnection GroupBoxFHTraversen PanelStatic Panel_T9" << -1 << 5;
        QTest::newRow("traverse T F") << "SHHATLFH" << S << "" << 200.0
                                      << "Gebaude1 GroupBoxBuildingConnection GroupBoxFHTraversen PanelStatic Panel_T9" << -1 << 5;
        QTest::newRow("no traverse D F") << "SHHADLFH" << S << "" << 200.0
                                         << "Gebaude1 GroupBoxBuildingConnection PanelStatic Panel_T9" << -1 << 5;
        // The lift-off guard needs C in letter 5 and D in letter 7, both.
        QTest::newRow("cold D without C") << "CHHRESDS" << C << "" << -20.0 << "PanelCold" << -1 << 3;
        QTest::newRow("cold C without D") << "CHHRCSAS" << C << "" << -20.0 << "PanelCold" << -1 << 3;
    }
    void panels() {
        QFETCH(QString, name);
        QFETCH(int, condition);
        QFETCH(QString, flags);
        QFETCH(double, temp);
        QFETCH(QString, shown);
        QFETCH(int, anGeb);
        QFETCH(int, items);
        PanelInputs in;
        in.name = name;
        in.condition = StressCondition(condition);
        in.rsrlOhne = flags.contains(u'r');
        in.obAnsch = flags.contains(u'o');
        in.kerntech = flags.contains(u'k');
        in.temperature = temp;
        const PanelLayout p = ConfigureConnectionPanels(in);
        QStringList visible;
        const std::pair<const char*, bool> groups[] = {
            {"PanelStatic", p.PanelStatic}, {"PanelCold", p.PanelCold}, {"PanelColdFreeze", p.PanelColdFreeze},
            {"PanelDynamic", p.PanelDynamic}, {"ANGEBOHNE", p.ANGEBOHNE}, {"Gebaude1", p.Gebaude1},
            {"GroupBoxBuildingConnection", p.GroupBoxBuildingConnection}, {"RSRLOHNE", p.RSRLOHNE},
            {"GroupBoxVertical", p.GroupBoxVertical}, {"GroupBoxHorizontal", p.GroupBoxHorizontal},
            {"GroupBoxFHTraversen", p.GroupBoxFHTraversen}, {"BaseClampStyleBox", p.BaseClampStyleBox},
            {"RGLagerFuehrung", p.RGLagerFuehrung}, {"Panel_T36_STATIC", p.Panel_T36_STATIC},
            {"Panel_T36_DYNAMIC", p.Panel_T36_DYNAMIC}, {"PanelExt", p.PanelExt}, {"Panel_T9", p.Panel_T9},
            {"gbType40Material", p.gbType40Material}, {"Stanchion", p.Stanchion},
            {"PanelWegeingabe", p.PanelWegeingabe}, {"GroupBoxAbhebesich", p.GroupBoxAbhebesich}};
        for (const auto& [n, on] : groups)
            if (on) visible << QString::fromLatin1(n);
        visible.sort();
        QCOMPARE(visible.join(u' '), shown);
        QCOMPARE(p.anGeb, anGeb);
        QCOMPARE(p.buildingItems, items);
    }

    // Without pipe-enclosing parts the threaded-part choice shows, with
    // type 60, unless letter 4 is F, letter 5 X or letter 6 L (each arm on
    // its own; a Y in letter 4 shows no static panel at all); then it stays
    // hidden and its number 0.
    void rsrlOhneChoice_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("rsrlOhne");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("number");
        QTest::newRow("shown") << "SHHAESBH" << true << true << 60;
        QTest::newRow("letter 6 L") << "SHHAELBH" << true << false << 0;
        QTest::newRow("letter 5 X") << "SHHAXSBH" << true << false << 0;
        QTest::newRow("letter 4 F") << "SHHFESBH" << true << false << 0;
        QTest::newRow("with pipe parts") << "SHHAESBH" << false << false << 0;
    }
    void rsrlOhneChoice() {
        QFETCH(QString, name);
        QFETCH(bool, rsrlOhne);
        QFETCH(bool, shown);
        QFETCH(int, number);
        PanelInputs in;
        in.name = name;
        in.rsrlOhne = rsrlOhne;
        in.temperature = 200;
        const PanelLayout p = ConfigureConnectionPanels(in);
        QCOMPARE(p.RSRLOHNE, shown);
        QCOMPARE(p.rsrlOhneNr, number);
    }

    // "No aditional information needed !" shows exactly when none of the
    // panel's groups does: one group alone is enough to hide it.
    void noAdditionalInformation_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("condition");
        QTest::addColumn<bool>("rsrlOhne");
        QTest::addColumn<bool>("none");
        const int S = int(StressCondition::Static), D = int(StressCondition::Dynamic), C = int(StressCondition::Cold);
        QTest::newRow("static frame without pipe parts") << "SHHFESBH" << S << true << true;
        QTest::newRow("static building connection only") << "SHHAELBH" << S << true << false;
        QTest::newRow("static rod angle only") << "SHHFESBH" << S << false << false;
        QTest::newRow("static threaded parts only") << "SHHAESAH" << S << true << false;
        QTest::newRow("dynamic rod angle only") << "SHHYESBS" << D << false << false;
        QTest::newRow("dynamic compression panel only") << "GHHYESBS" << D << true << false;
        QTest::newRow("dynamic without pipe parts") << "SHHYESBS" << D << true << true;
        QTest::newRow("cold plain") << "CHHRESAS" << C << false << true;
        QTest::newRow("cold travel only") << "CHHRVSAS" << C << false << false;
        QTest::newRow("cold stanchion only") << "CHHRESFS" << C << false << false;
        QTest::newRow("cold lift-off only") << "CHHRCSDS" << C << false << false;
        QTest::newRow("cold type 40 only") << "DHHRXXXS" << C << false << false;
    }
    void noAdditionalInformation() {
        QFETCH(QString, name);
        QFETCH(int, condition);
        QFETCH(bool, rsrlOhne);
        QFETCH(bool, none);
        PanelInputs in;
        in.name = name;
        in.condition = StressCondition(condition);
        in.rsrlOhne = rsrlOhne;
        QCOMPARE(ConfigureConnectionPanels(in).noAdditionalInformation, none);
    }

    // The upper threaded connection offers the hexagon nut except for
    // letter 7 B.
    void hexagonNutOffered() {
        PanelInputs in;
        in.obAnsch = true;
        in.name = QStringLiteral("SHHAESCH");
        PanelLayout p = ConfigureConnectionPanels(in);
        QVERIFY(p.ANGEBOHNE);
        QVERIFY(p.angebohneHex);
        in.name = QStringLiteral("SHHAESBH");
        p = ConfigureConnectionPanels(in);
        QVERIFY(p.ANGEBOHNE);
        QVERIFY(!p.angebohneHex);
    }

    void verticalCamsAbove600() {
        PanelInputs in;
        in.name = QStringLiteral("SHVAESBH");
        in.temperature = 600;
        QVERIFY(ConfigureConnectionPanels(in).GroupBoxVerticalEnabled);
        in.temperature = 600.5;
        QVERIFY(!ConfigureConnectionPanels(in).GroupBoxVerticalEnabled);
    }

    void rememberedBuildingItem() {
        PanelInputs in;
        in.name = QStringLiteral("SHHAESBH");
        in.buildingItem = 3;  // type 76 is not offered with three items
        PanelLayout p = ConfigureConnectionPanels(in);
        QCOMPARE(p.buildingItem, 1);
        QCOMPARE(p.anGeb, 73);
        in.name = QStringLiteral("SHHAESCH");
        p = ConfigureConnectionPanels(in);
        QCOMPARE(p.buildingItem, 3);
        QCOMPARE(p.anGeb, 76);
        in.buildingItem = 2;
        QCOMPARE(ConfigureConnectionPanels(in).anGeb, -1);
    }

    void buttons() {
        PanelInputs in;
        in.name = QStringLiteral("SHHAESBH");
        in.anzD = 1;
        PanelLayout p = ConfigureConnectionPanels(in);
        QVERIFY(p.DiffKnopf && !p.KotenKnopf && !p.Weiter && !p.HG_VOR);
        in.anzD = 0;
        in.hasABer = true;
        p = ConfigureConnectionPanels(in);
        QVERIFY(!p.DiffKnopf && !p.KotenKnopf && p.Weiter && p.HG_VOR);
        in.condition = StressCondition::Dynamic;
        QVERIFY(!ConfigureConnectionPanels(in).HG_VOR);
    }

    void codes() {
        QCOMPARE(BuildingConnectionCode(0), 75);
        QCOMPARE(BuildingConnectionCode(4), 74);
        QCOMPARE(BuildingConnectionCode(5), -1);
        QCOMPARE(BuildingConnectionItem(74, 5), 4);
        QCOMPARE(BuildingConnectionItem(74, 3), 1);
        QCOMPARE(BuildingConnectionItem(35, 5), 1);
        QCOMPARE(RsrlOhneCode(4), 0);
        QCOMPARE(RsrlOhneItem(75), 6);
        QCOMPARE(RsrlOhneItem(99), 0);
        QCOMPARE(AngebohneCode(2), 66);
    }

    // Each choice's codes, item for item, and nothing past either end.
    void codesPastTheEnds() {
        const int rsrl[] = {60, 61, 74, 63, 0, 73, 75};
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(RsrlOhneCode(i), rsrl[i]);
            QCOMPARE(RsrlOhneItem(rsrl[i]), i);
        }
        QCOMPARE(RsrlOhneCode(7), -1);
        QCOMPARE(RsrlOhneCode(-1), -1);
        QCOMPARE(RsrlOhneItem(-1), 0);
        const int building[] = {75, 73, 78, 76, 74};
        for (int i = 0; i < 5; ++i) QCOMPARE(BuildingConnectionCode(i), building[i]);
        QCOMPARE(BuildingConnectionCode(-1), -1);
        QCOMPARE(AngebohneCode(3), -1);
        QCOMPARE(AngebohneCode(-1), -1);
        QCOMPARE(LiftOffTypeOf(0), 3);
        QCOMPARE(LiftOffTypeOf(1), 5);
    }

    void plausibility_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("rsrlOhne");
        QTest::addColumn<QString>("kz");
        QTest::addColumn<double>("wegX");
        QTest::addColumn<double>("wegZ");
        QTest::addColumn<double>("rdm");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("first");
        const int N = RuleMessage::None, E = RuleMessage::Error, Q = RuleMessage::Question;
        QTest::newRow("dyn vertical special") << "SHVYDSBH" << false << "S" << 0.0 << 0.0 << 100.0 << E << "Dynamische Vertikalschellen";
        QTest::newRow("dyn vertical standard") << "SHVYDSBH" << false << " " << 0.0 << 0.0 << 100.0 << N << "";
        QTest::newRow("dyn bearing special") << "SHHYDSBH" << false << "S" << 0.0 << 0.0 << 100.0 << E << "Dynamische Rohrlager";
        QTest::newRow("dyn bearing without pipe parts") << "SHHYDSBH" << true << "S" << 0.0 << 0.0 << 100.0 << N << "";
        QTest::newRow("base without pipe parts") << "SHHRELBS" << true << " " << 0.0 << 0.0 << 100.0 << E
                                                 << "Einstellung: 'Ohne rohrumschließende Bauteile' aktiviert, diese Konfiguration ist nicht möglich!";
        QTest::newRow("rigid with movement") << "SHHYESBS" << false << " " << 5.0 << 0.0 << 100.0 << Q << "Starre Halterung mit einer Rohrbewegung ?";
        QTest::newRow("rigid with negative movement") << "SHHYESBS" << false << " " << -5.0 << 0.0 << 100.0 << Q << "Starre Halterung mit einer Rohrbewegung ?";
        QTest::newRow("rigid C without question") << "SHHYESCS" << false << " " << 5.0 << 0.0 << 100.0 << N << "";
        QTest::newRow("rigid vertical") << "SHHAESBS" << false << " " << 0.0 << 20.0 << 100.0 << Q << "Starre Halterung mit vertikaler Rohrbewegung ?";
        QTest::newRow("rigid no movement") << "SHHAESBS" << false << " " << 0.0 << 0.0 << 100.0 << N << "";
        // Only a strut (letter 4 Y) or a pipe support (letter 4 R) asks
        // about a horizontal movement.
        QTest::newRow("rigid hanger moving sideways") << "SHHAESBS" << false << " " << 5.0 << 0.0 << 100.0 << N << "";
        QTest::newRow("support horizontal") << "SHHRELBH" << false << " " << 3.0 << 0.0 << 100.0 << Q << "Rohrunterstützung mit horizontaler Rohrbewegung ?";
        QTest::newRow("small pipe config 81") << "SHHADLXS" << false << " " << 0.0 << 0.0 << 80.5 << E
                                              << "Diese Konfiguration ist nur für Rohrdurchmesser bis 80 mm zulässig!";
        QTest::newRow("small pipe config 80") << "SHHADLXS" << false << " " << 0.0 << 0.0 << 80.0 << N << "";
    }
    void plausibility() {
        QFETCH(QString, name);
        QFETCH(bool, rsrlOhne);
        QFETCH(QString, kz);
        QFETCH(double, wegX);
        QFETCH(double, wegZ);
        QFETCH(double, rdm);
        QFETCH(int, kind);
        QFETCH(QString, first);
        const RuleMessage m = CheckConfigPlausibility(name, rsrlOhne, kz, wegX, 0, wegZ, rdm);
        QCOMPARE(int(m.kind), kind);
        QCOMPARE(m.parts.value(0), first);
    }

    void loadChecks_data() {
        QTest::addColumn<bool>("notDynamic");
        QTest::addColumn<bool>("cold");
        QTest::addColumn<bool>("rsrlOhne");
        QTest::addColumn<double>("l1");
        QTest::addColumn<double>("l2");
        QTest::addColumn<double>("l3");
        QTest::addColumn<double>("rdm");
        QTest::addColumn<QString>("focus");
        QTest::newRow("static no load") << true << false << false << 0.0 << 5.0 << 5.0 << 100.0 << "Last";
        QTest::newRow("static load") << true << false << false << 0.01 << 0.0 << 0.0 << 100.0 << "";
        QTest::newRow("dynamic +5/-5 passes") << false << false << false << 5.0 << -5.0 << 0.0 << 100.0 << "";
        QTest::newRow("dynamic only emergency") << false << false << false << 0.0 << 3.0 << 0.0 << 0.0 << "";
        QTest::newRow("dynamic all zero") << false << false << false << 0.0 << 0.0 << 0.0 << 100.0 << "DY_L_H";
        QTest::newRow("static no diameter") << true << false << false << 5.0 << 0.0 << 0.0 << 0.0 << "RDM";
        QTest::newRow("cold no diameter") << true << true << false << 5.0 << 0.0 << 0.0 << 0.0 << "";
        QTest::newRow("without pipe parts no diameter") << true << false << true << 5.0 << 0.0 << 0.0 << 0.0 << "";
    }
    void loadChecks() {
        QFETCH(bool, notDynamic);
        QFETCH(bool, cold);
        QFETCH(bool, rsrlOhne);
        QFETCH(double, l1);
        QFETCH(double, l2);
        QFETCH(double, l3);
        QFETCH(double, rdm);
        QFETCH(QString, focus);
        const auto f = CheckLoadsAndDiameter(notDynamic, cold, rsrlOhne, l1, l2, l3, rdm);
        QCOMPARE(f.has_value(), !focus.isEmpty());
        if (f) QCOMPARE(f->focus, focus);
    }

    void coldChecks() {
        QVERIFY(!CheckAdjustmentTravel(true, 100.0));
        QVERIFY(CheckAdjustmentTravel(true, 99.99));
        QVERIFY(!CheckAdjustmentTravel(true, 600.0));
        QVERIFY(CheckAdjustmentTravel(true, 600.01));
        QVERIFY(!CheckAdjustmentTravel(false, 0));
        QVERIFY(CheckInsulationChosen(true, -1));
        QVERIFY(!CheckInsulationChosen(true, 0));
        QVERIFY(!CheckInsulationChosen(false, -1));
        QVERIFY(CheckStanchionChosen(true, -1));
        QVERIFY(!CheckStanchionChosen(true, 0));
        QCOMPARE(CheckSteelWidth(1, 0)->messageNumber, 2605);
        QVERIFY(!CheckSteelWidth(0, 0));
        QVERIFY(!CheckSteelWidth(1, 0.5));
    }

    void minElevationDiff_data() {
        QTest::addColumn<double>("load");
        QTest::addColumn<double>("d");
        QTest::addColumn<double>("s");
        QTest::addColumn<int>("expected");
        QTest::newRow("no pipe") << 10.0 << 0.0 << 0.0 << 60;
        QTest::newRow("no pipe, 50 insulation") << 10.0 << 0.0 << 50.0 << 160;
        QTest::newRow("DN100 pipe") << 10.0 << 100.0 << 0.0 << 215;
        QTest::newRow("negative load by its size") << -10.0 << 100.0 << 0.0 << 215;
        // -100 kN without a pipe: by its size 114.2 + 10 = 124; the signed
        // load would give -57 + 10, raised by the span to 60.
        QTest::newRow("negative load, no pipe") << -100.0 << 0.0 << 0.0 << 124;
        QTest::newRow("insulation raises") << 10.0 << 100.0 << 50.0 << 260;
        // The span cut to whole mm meets the minimum: it does not raise it,
        // although the span rounded would (0.75 and 155.5 mm).
        QTest::newRow("span meets, no pipe") << 10.0 << 0.0 << 0.375 << 60;
        QTest::newRow("span meets, DN100") << 10.0 << 100.0 << 27.75 << 215;
        // A span that raises it counts rounded: 100.75 mm gives 161.
        QTest::newRow("span raises rounded") << 10.0 << 0.0 << 50.375 << 161;
    }
    void minElevationDiff() {
        QFETCH(double, load);
        QFETCH(double, d);
        QFETCH(double, s);
        QFETCH(int, expected);
        QCOMPARE(MinElevationDiff(load, d, s), expected);
    }

    void type41() {
        Type41Result r = CheckType41Limits(true, 1, false, QStringLiteral("SHHAESBH"), 120, 400);
        QVERIFY(!r.ok);
        QCOMPARE(r.messages.size(), 2);
        QCOMPARE(r.horTyp, 0);
        r = CheckType41Limits(true, 1, false, QStringLiteral("SHHAESBH"), 100, 350);
        QVERIFY(r.ok);
        QCOMPARE(r.horTyp, 1);
        r = CheckType41Limits(true, 0, false, QStringLiteral("FHHAESBH"), 120, 400);
        QVERIFY(r.ok);
        QCOMPARE(r.panelT9, 1);
        r = CheckType41Limits(false, 2, false, QStringLiteral("SHHAESBH"), 0, 0);
        QCOMPARE(r.horTyp, 0);
    }

    void t9Angle() {
        QCOMPARE(T9AngleFromHost(QStringLiteral("SHHAESBH"), 30), 30.0);
        QCOMPARE(T9AngleFromHost(QStringLiteral("SHVAESBH"), 30), 60.0);
        QCOMPARE(T9AngleFromHost(QStringLiteral("SHVYESBS"), 90), 0.0);
        QCOMPARE(T9AngleFromHost(QStringLiteral("SHVYESBS"), 89), 89.0);
        QCOMPARE(T9AngleFromHost(QStringLiteral("SHVAESBH"), 90), 0.0);
    }

    void hostErrorFileBytes() {
        TestDir dir;
        QVERIFY(WriteHostErrorFile(QStringLiteral("a much longer earlier message than the next"), dir.path()));
        QVERIFY(WriteHostErrorFile(QStringLiteral("Wert für Last fehlt!"), dir.path()));
        QFile f(dir.file(QStringLiteral("KORVA_MDS_ERROR.Z3D")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("CANCLED Wert f\xfcr Last fehlt!\r\n"));
        f.close();
        RemoveHostErrorFile(dir.path());
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("KORVA_MDS_ERROR.Z3D"))));
        QVERIFY(!WriteHostErrorFile(QStringLiteral("x"), dir.file(QStringLiteral("no/such/dir"))));
    }

    // A successful run removes an error file, or a link standing at its
    // name (the link, not what it names); a FIFO the host reads answers
    // from stays for the next run.
    void hostErrorFileRemovedOnlyAsAFile() {
        TestDir dir;
        const QString name = dir.file(QStringLiteral("KORVA_MDS_ERROR.Z3D"));
        const QString victim = dir.file(QStringLiteral("victim.txt"));
        QFile v(victim);
        QVERIFY(v.open(QIODevice::WriteOnly));
        v.write("precious");
        v.close();
        QVERIFY(QFile::link(victim, name));
        RemoveHostErrorFile(dir.path());
        QVERIFY(!QFileInfo(name).isSymLink());
        QVERIFY(QFileInfo::exists(victim));
        QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        RemoveHostErrorFile(dir.path());
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(name).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
    }

    // The conversion error as the class library words it, in the menu
    // language: the native text with no dictionary, the dictionary's German
    // row with the program's dictionary open in German.
    void conversionError_data() {
        QTest::addColumn<int>("language");  // -1: no dictionary
        QTest::addColumn<QString>("integer");
        QTest::addColumn<QString>("floating");
        // An elevation whose feet part, or inch part, is no number.
        QTest::addColumn<QString>("feet");
        QTest::addColumn<QString>("inches");
        QTest::newRow("no dictionary") << -1 << "'ab' is not a valid integer value"
                                       << "'1,2,3' is not a valid floating point value"
                                       << "'1.5' is not a valid integer value"
                                       << "'6.0.0' is not a valid floating point value";
        QTest::newRow("German") << 1 << "'ab' ist kein gültiger ganzzahliger Wert"
                                << "'1,2,3' ist kein gültiger Gleitkommawert" << "'1.5' ist kein gültiger ganzzahliger Wert"
                                << "'6.0.0' ist kein gültiger Gleitkommawert";
    }
    void conversionError() {
        QFETCH(int, language);
        QFETCH(QString, integer);
        QFETCH(QString, floating);
        std::unique_ptr<DictionaryScope> dictionaries;
        if (language >= 0) {
            dictionaries = std::make_unique<DictionaryScope>();
            IvBinaryDictionaryGlobal->SetFileName(QStringLiteral(KORVA_BINARY_DIR "/Korva32.mld"));
            IvBinaryDictionaryGlobal->Open();
            QVERIFY(IvBinaryDictionaryGlobal->IsOpen());
            IvBinaryDictionaryGlobal->SetLanguage(language);
        }
        QCOMPARE(ConversionErrorText(QStringLiteral("ab"), true), integer);
        QCOMPARE(ConversionErrorText(QStringLiteral("1,2,3"), false), floating);
        const InputCheckFailure f = InvalidValueFailure(QStringLiteral("Last"), QStringLiteral("1,2,3"), false);
        QCOMPARE(f.message, floating);
        QCOMPARE(f.focus, QStringLiteral("Last"));
        QCOMPARE(f.messageNumber, 0);
        QVERIFY(!f.activeOwner);
        const InputCheckFailure e = ElevationFailure(QStringLiteral("Elevation2"), 5208);
        QCOMPARE(e.messageNumber, 5208);
        QCOMPARE(e.focus, QStringLiteral("Elevation2"));
        QVERIFY(e.message.isEmpty());
        QVERIFY(!e.activeOwner);
        QCOMPARE(FailureText(e), ErrorTextByNumber(5208));

        // The height edit reports a part that is no number as a bad
        // character (5202); the engineer is told the conversion error.
        QFETCH(QString, feet);
        QFETCH(QString, inches);
        const InputCheckFailure f1 = ElevationFailure(QStringLiteral("Elevation1"), 5202, QStringLiteral("1.5'-3.0\""), true);
        QCOMPARE(FailureText(f1), feet);
        QCOMPARE(f1.messageNumber, 0);
        QCOMPARE(f1.focus, QStringLiteral("Elevation1"));
        QCOMPARE(FailureText(ElevationFailure(QStringLiteral("Elevation1"), 5202, QStringLiteral("1'-6.0.0\""), true)),
                 inches);
        // A letter is the bad character it is, in feet-inch and metric texts.
        QCOMPARE(ElevationFailure(QStringLiteral("Elevation1"), 5202, QStringLiteral("1'-6.x\""), true).messageNumber, 5202);
        QCOMPARE(ElevationFailure(QStringLiteral("Elevation1"), 5202, QStringLiteral("12a"), false).messageNumber, 5202);
    }

    void hangerTypeLabel_data() {
        QTest::addColumn<bool>("preselected");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("label");
        QTest::newRow("in force") << true << "042017" << "042017";
        QTest::newRow("in force, blank padded") << true << "4217  " << "4217";
        QTest::newRow("let go") << false << "042017" << "Auto";
        QTest::newRow("reset") << true << "000000" << "Auto";
        QTest::newRow("empty") << true << "      " << "Auto";
    }
    void hangerTypeLabel() {
        QFETCH(bool, preselected);
        QFETCH(QString, number);
        QFETCH(QString, label);
        QCOMPARE(HangerTypeLabel(preselected, number), label);
    }

    void dateFormats_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QStringList>("formats");
        QTest::newRow(".") << 0 << QStringList{"dd.mm.yyyy", "dd.mm.yy", "yyyy.mm.dd", "yy.mm.dd", "mm.dd.yy"};
        QTest::newRow(",") << 1 << QStringList{"dd,mm,yyyy", "dd,mm,yy", "yyyy,mm,dd", "yy,mm,dd", "mm,dd,yy"};
        QTest::newRow("-") << 2 << QStringList{"dd-mm-yyyy", "dd-mm-yy", "yyyy-mm-dd", "yy-mm-dd", "mm-dd-yy"};
        QTest::newRow("/") << 3 << QStringList{"dd/mm/yyyy", "dd/mm/yy", "yyyy/mm/dd", "yy/mm/dd", "mm/dd/yy"};
        QTest::newRow("none") << 4 << QStringList{"ddmmyyyy", "ddmmyy", "yyyymmdd", "yymmdd", "mmddyy"};
    }
    void dateFormats() {
        QFETCH(int, item);
        QFETCH(QStringList, formats);
        QCOMPARE(DateFormatsOf(item), formats);
        const QString separators = QStringLiteral(".,-/");
        QCOMPARE(DateSeparatorItem(item < 4 ? separators.at(item) : QChar(u' ')), item);
    }

    void dateFormatInUse_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("inUse");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("count");
        QTest::newRow("first of five") << 0 << "dd.MM.yyyy" << 0 << "dd.mm.yyyy" << 5;
        QTest::newRow("last of five") << 3 << "mm/dd/yy" << 4 << "dd/mm/yyyy" << 5;
        QTest::newRow("none of them") << 3 << "M/d/yy" << 0 << "m/d/yy" << 6;
        QTest::newRow("nothing in use") << 2 << "" << 0 << "dd-mm-yyyy" << 5;
    }
    void dateFormatInUse() {
        QFETCH(int, item);
        QFETCH(QString, inUse);
        QFETCH(int, index);
        QFETCH(QString, first);
        QFETCH(int, count);
        const DateFormatChoice c = DateFormatChoiceOf(item, inUse);
        QCOMPARE(c.index, index);
        QCOMPARE(c.formats.value(0), first);
        QCOMPARE(int(c.formats.size()), count);
        if (!inUse.isEmpty()) QCOMPARE(c.formats.value(c.index), OptionsDateFormat(inUse));
        QCOMPARE(OptionsDateFormat(QStringLiteral("dd.MM.yyyy")), QStringLiteral("dd.mm.yyyy"));
    }
};

QTEST_GUILESS_MAIN(TestLek1Rules)
#include "tst_lek1rules.moc"
