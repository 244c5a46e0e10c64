// The host-to-record transfer on a real catalogue in a temporary directory.
#include "TransferFixture.h"
#include "data/ABHGNR.h"
#include "forms/rules/HostTransfer.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "platform/Query.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "ui/Unctool.h"

#include <QScopeGuard>
#include <QtTest>
#include <algorithm>
#include <vector>

class TestHostTransfer : public QObject {
    Q_OBJECT
    std::unique_ptr<TransferFixture> fx;

    static QString Fixed(const char* field, int width) { return QString::fromLatin1(field, width).trimmed(); }
    // The record's value fields that the value edits write.
    static std::vector<double TConstructionRecord::*> Fields() {
        using K = TConstructionRecord;
        return {&K::K_LAST,      &K::K_LAST_I,       &K::K_HYDRO_LAST,   &K::K_HYDRO_LAST_I, &K::K_LAST_DYN_2,
                &K::K_LAST_I_DYN_2, &K::K_LAST_DYN_3, &K::K_LAST_I_DYN_3, &K::K_STAT_LAST_HZ, &K::K_STAT_LAST_HS,
                &K::K_WEG_X,     &K::K_WEG_X_I,      &K::K_WEG_Y,        &K::K_WEG_Y_I,      &K::K_WEG_Z,
                &K::K_WEG_Z_I,   &K::K_DAEMMST};
    }

private slots:
    void initTestCase() {
        fx = std::make_unique<TransferFixture>();
        fx->Start();
    }
    void cleanupTestCase() { fx.reset(); }
    void init() {
        ResetCalcState();
        ResetHostGlobals();
    }

    void configurationChoice_data() {
        QTest::addColumn<QString>("config");
        QTest::addColumn<int>("aNr");
        QTest::addColumn<int>("condition");
        QTest::newRow("static 1 skips the cold and the hidden one") << "1" << 101 << int(StressCondition::Static);
        QTest::newRow("static 2") << "2" << 102 << int(StressCondition::Static);
        QTest::newRow("6h static") << "6h" << 103 << int(StressCondition::Static);
        QTest::newRow("dynamic 7 first in order") << "7" << 301 << int(StressCondition::Dynamic);
        QTest::newRow("cold 6") << "6" << 201 << int(StressCondition::Cold);
        QTest::newRow("unknown") << "99" << 0 << int(StressCondition::Static);
        QTest::newRow("empty: none") << "" << 0 << int(StressCondition::Static);
        QTest::newRow("quote in the number") << "1' or '1'='1" << 0 << int(StressCondition::Static);
    }
    void configurationChoice() {
        QFETCH(QString, config);
        QFETCH(int, aNr);
        QFETCH(int, condition);
        TransferFixture::SetHost(config);
        const TransferResult r = TransferHostToRecord({});
        QCOMPARE(int(r.condition), condition);
        QCOMPARE(r.configurationFound, aNr != 0);
        QCOMPARE(int(ConstructionRecord.K_A_NR), aNr);
        if (aNr) QCOMPARE(QString::fromLatin1(ArrangementRecord.A_NAME, 8), r.configuration.A_NAME);
        if (!aNr) {
            // Without a configuration the start's connection stands: type
            // 75 with cams.
            QCOMPARE(int(ConstructionRecord.K_AN_GEB), 75);
            QVERIFY(ConstructionRecord.K_KNAG_KZ);
        }
    }

    // The host's number offers its configurations in their availability
    // order, not by number: with 301 moved to order 5 the first is 302, and
    // walking on from there reaches 301.
    void configurationsWalkedInTheirOrder_data() {
        QTest::addColumn<int>("wanted");
        QTest::addColumn<int>("aNr");
        QTest::newRow("the first") << 0 << 302;
        QTest::newRow("302") << 302 << 302;
        QTest::newRow("301 after 302") << 301 << 301;
    }
    void configurationsWalkedInTheirOrder() {
        QFETCH(int, wanted);
        QFETCH(int, aNr);
        const auto order = [this](int value) {
            TQuery q(fx->dir.path(), QStringLiteral("update ABHGNR set A_ORDERNO = ? where A_NR = 301"));
            q.SetParams({value});
            q.ExecSQL();
        };
        order(5);
        const auto back = qScopeGuard([&order] { order(1); });
        TransferFixture::SetHost(QStringLiteral("7"));
        const TransferResult r = TransferHostToRecord({}, CatalogueDiameterLookup(), wanted);
        QVERIFY(r.configurationFound);
        QCOMPARE(int(ConstructionRecord.K_A_NR), aNr);
        QCOMPARE(r.configuration.A_NR, aNr);
    }

    void staticMetric() {
        TransferFixture::SetHost(QStringLiteral("1"));
        const TransferResult r = TransferHostToRecord({});
        const TConstructionRecord& k = ConstructionRecord;
        QCOMPARE(Fixed(k.K_POS_NR, 32), QStringLiteral("H-1"));
        QCOMPARE(Fixed(k.K_KDN_ZNR, 25), QStringLiteral("101"));
        QCOMPARE(k.K_LAST, 10.0);
        QCOMPARE(k.K_STAT_LAST_HZ, 12.0);
        QCOMPARE(k.K_STAT_LAST_HS, 14.0);
        QCOMPARE(k.K_LAST_DYN_3, 14.0);
        QCOMPARE(k.K_LAST_DYN_2, 0.0);
        QCOMPARE(k.K_HYDRO_LAST, 0.0);  // hydrotest loads are off
        QCOMPARE(k.K_WEG_Z, 20.0);
        QCOMPARE(k.K_WEG_Y, 3.0);
        QCOMPARE(k.K_WEG_X, 0.0);
        QCOMPARE(k.K_TEM, 200.0);
        QCOMPARE(k.K_DAEMMST, 100.0);
        QCOMPARE(k.K_RDM, 114.3);
        QCOMPARE(k.K_RDM_KZ[0], ' ');
        QCOMPARE(k.K_KOOR_Z, 1000.0);
        QVERIFY(CalcGlobals.StressNotDynamic && !CalcGlobals.StressCold);
        // Connection: three building items, item 1 by default.
        QVERIFY(r.layout.Gebaude1 && r.layout.GroupBoxHorizontal);
        QCOMPARE(int(k.K_AN_GEB), 73);
        QCOMPARE(int(k.K_HOR_TYP), 0);
        QCOMPARE(k.K_T49G_KZ, QStringLiteral(" "));
        // Absolute elevations: steel at the top, pipe at the bottom.
        QCOMPARE(int(r.elevations.kind), int(ElevationKind::Absolute));
        QVERIFY(!k.K_ST_E_6);
        QCOMPARE(int(k.K_H_ZHL), 2);
        QCOMPARE(k.K_HM_Q_1, 3500.0);
        QCOMPARE(k.K_HM_Q_2, 1000.0);
        QCOMPARE(k.K_MHOEHE_OBENL, QStringLiteral("3500"));
        QCOMPARE(k.K_MHOEHE_UNTEN, QStringLiteral("1000"));
        QCOMPARE(r.elevationError, 0);
    }

    void hydrotestLoadOnlyWhenChecked() {
        TransferFixture::SetHost(QStringLiteral("1"));
        ConstructionRecord.K_HYDTEST_KZ = true;
        TransferHostToRecord({});
        QCOMPARE(ConstructionRecord.K_HYDRO_LAST, 20.0);
    }

    void unitModesKeepMetricValues_data() {
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<bool>("kg");
        QTest::newRow("metric") << false << false;
        QTest::newRow("kg") << false << true;
        QTest::newRow("imperial") << true << false;
    }
    void unitModesKeepMetricValues() {
        QFETCH(bool, imperial);
        QFETCH(bool, kg);
        TransferFixture::SetHost(QStringLiteral("1"));
        TransferHostToRecord({imperial, kg});
        const TConstructionRecord& k = ConstructionRecord;
        QCOMPARE(k.K_EINH_KZ, imperial);
        QCOMPARE(k.K_KN_KG, kg);
        QVERIFY(qAbs(k.K_LAST - 10) < 1e-9);
        QVERIFY(qAbs(k.K_STAT_LAST_HZ - 12) < 1e-9);
        QVERIFY(qAbs(k.K_WEG_Z - 20) < 1e-9);
        QVERIFY(qAbs(k.K_DAEMMST - 100) < 1e-9);
        QCOMPARE(k.K_TEM, 200.0);
        QVERIFY(qAbs(k.K_RDM - 114.3) < 1e-9);
        QCOMPARE(k.K_HM_Q_1, 3500.0);
        QCOMPARE(k.K_HM_Q_2, 1000.0);
        if (imperial) {
            QVERIFY(qAbs(k.K_LAST_I - 10000 / (0.4536 * 9.81)) < 1e-6);
            // The second and third load keep their own imperial copies
            // (12 and 14 kN), not each other's nor the first load's.
            QVERIFY(qAbs(k.K_LAST_I_DYN_2 - 12000 / (0.4536 * 9.81)) < 1e-6);
            QVERIFY(qAbs(k.K_LAST_I_DYN_3 - 14000 / (0.4536 * 9.81)) < 1e-6);
            QVERIFY(qAbs(k.K_WEG_Z_I - 20 / 25.4) < 1e-9);
            QCOMPARE(k.K_TEM_I, 392.0);
            QCOMPARE(k.K_HI_Q_F_1, QStringLiteral("11'-5.795\""));
            QCOMPARE(k.K_IHOEHE_UNTEN, QStringLiteral("3'-3.37\""));
        } else {
            QCOMPARE(k.K_LAST_I, 0.0);
            QCOMPARE(k.K_LAST_I_DYN_2, 0.0);
        }
    }

    void dynamic() {
        TransferFixture::SetHost(QStringLiteral("7"));
        const TransferResult r = TransferHostToRecord({});
        const TConstructionRecord& k = ConstructionRecord;
        QVERIFY(!CalcGlobals.StressNotDynamic && !CalcGlobals.StressCold);
        QCOMPARE(k.K_LAST, 10.0);
        QCOMPARE(k.K_LAST_DYN_2, 12.0);
        QCOMPARE(k.K_LAST_DYN_3, 14.0);
        QCOMPARE(k.K_STAT_LAST_HZ, 0.0);
        QCOMPARE(k.K_WEG_X, 7.0);
        QCOMPARE(k.K_WEG_Y, -7.0);
        QCOMPARE(k.K_WEG_Z, 0.0);
        QVERIFY(r.layout.PanelDynamic);
        QCOMPARE(int(k.K_AN_GEB), 35);
    }

    void coldStandsAtHalfThePipe() {
        TransferFixture::SetHost(QStringLiteral("6"));
        MdsTemp = -20;
        const TransferResult r = TransferHostToRecord({});
        const TConstructionRecord& k = ConstructionRecord;
        QVERIFY(CalcGlobals.StressNotDynamic && CalcGlobals.StressCold);
        QCOMPARE(k.K_TEM, -20.0);
        QCOMPARE(int(r.elevations.kind), int(ElevationKind::Differences));
        QVERIFY(k.K_ST_E_6);
        QCOMPARE(int(k.K_H_ZHL), 1);
        QCOMPARE(k.K_HM_D_1, 57.0);
        QVERIFY(r.elevations.enabled[0]);
        QVERIFY(r.layout.PanelCold);
    }

    void givenRodLengthOpensDifferences() {
        TransferFixture::SetHost(QStringLiteral("7"));
        MdsLengthGiven = true;
        MdsRodLength = QStringLiteral("850");
        const TransferResult r = TransferHostToRecord({});
        QCOMPARE(int(r.elevations.kind), int(ElevationKind::Differences));
        QCOMPARE(ConstructionRecord.K_HM_D_1, 850.0);
        QVERIFY(!r.elevations.enabled[0]);
    }

    void baseClampAsksForWidth() {
        TransferFixture::SetHost(QStringLiteral("6h"));
        MdsSteelWidth = QStringLiteral("300");
        const TransferResult r = TransferHostToRecord({});
        const TConstructionRecord& k = ConstructionRecord;
        QVERIFY(r.layout.BaseClampStyleBox && !r.layout.GroupBoxBuildingConnection);
        // The hidden building choice writes nothing: the base clamp keeps 0.
        QCOMPARE(int(k.K_AN_GEB), 0);
        QCOMPARE(k.K_T49G_KZ, QStringLiteral("0"));
        QVERIFY(r.elevations.hasSteelWidth);
        QCOMPARE(k.K_BREITE, 300.0);
        QCOMPARE(k.K_BREITE_2, 300.0);
    }

    void anglesFromHost() {
        TransferFixture::SetHost(QStringLiteral("1"));
        MdsAlpha = 30;
        MdsAlpha35 = 20;
        TransferHostToRecord({});
        QCOMPARE(ConstructionRecord.K_T9_WINKEL, 30.0);  // letter 3 is H
        QCOMPARE(ConstructionRecord.K_ALPHA35, 70.0);
        ResetCalcState();
        MdsAlpha35 = 0;
        TransferHostToRecord({});
        QCOMPARE(ConstructionRecord.K_ALPHA35, 0.0);
    }

    void diameterExit_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<bool>("cold");
        QTest::addColumn<double>("rdm");
        QTest::addColumn<QString>("kz");
        QTest::addColumn<QString>("shown");
        QTest::newRow("snapped to standard") << "113" << false << false << 114.3 << " " << "114.3";
        QTest::newRow("exact") << "114.3" << false << false << 114.3 << " " << "114.3";
        QTest::newRow("comma") << "114,3" << false << false << 114.3 << " " << "114.3";
        QTest::newRow("special below the window") << "100" << false << false << 100.0 << "S" << "100.0";
        QTest::newRow("beyond the table") << "500" << false << false << 500.0 << "S" << "500.0";
        QTest::newRow("inches") << "4.5" << true << false << 114.3 << " " << "4.50";
        QTest::newRow("cold exact") << "114.3" << false << true << 114.3 << " " << "114.3";
        QTest::newRow("cold not exact") << "113" << false << true << 113.0 << "S" << "113.0";
        QTest::newRow("cold inches exact") << "4.5" << true << true << 114.3 << " " << "4.50";
        QTest::newRow("empty") << "" << false << false << 0.0 << "S" << "0.0";
    }
    void diameterExit() {
        QFETCH(QString, text);
        QFETCH(bool, imperial);
        QFETCH(bool, cold);
        QFETCH(double, rdm);
        QFETCH(QString, kz);
        QFETCH(QString, shown);
        const auto e = PipeDiameterExit(text, {imperial, false}, cold, CatalogueDiameterLookup());
        QVERIFY(e.has_value());
        QVERIFY2(qAbs(e->rdm - rdm) < 1e-9, qPrintable(QString::number(e->rdm)));
        QCOMPARE(QString(QLatin1Char(e->kz)), kz);
        QCOMPARE(e->shown, shown);
        QVERIFY(qAbs(e->rdmI - e->rdm / 25.4) < 1e-9);
    }

    void unreadableDiameterChangesNothing() {
        ConstructionRecord.K_RDM = 88.9;
        QVERIFY(!PipeDiameterExit(QStringLiteral("4 inch"), {}, false, CatalogueDiameterLookup()));
        QCOMPARE(ConstructionRecord.K_RDM, 88.9);
    }

    void storedSupportByBoundMark() {
        TestDir project;
        CreateTableFile(TablePath(project.path(), QStringLiteral("konstr8.db")),
                        {{"K_F_NR_AUS", TFieldType::Integer}, {"K_POS_NR", TFieldType::String, 32}},
                        {{"", {"K_F_NR_AUS"}, true, true}});
        const QVariantList rows[] = {{1010002, "A\"1"}, {1010001, "B-2"}, {1010007, "A\"1"}, {1010003, "A\"10"}};
        for (const QVariantList& row : rows) {
            TQuery q(project.path(), QStringLiteral("insert into konstr8 (K_F_NR_AUS, K_POS_NR) values (?, ?)"));
            q.SetParams(row);
            q.ExecSQL();
        }
        QCOMPARE(FindStoredSupport(project.path(), QStringLiteral("A\"1")), 1010002);
        QCOMPARE(FindStoredSupport(project.path(), QStringLiteral("B-2")), 1010001);
        QCOMPARE(FindStoredSupport(project.path(), QStringLiteral("x\" or \"1\"=\"1")), 0);
        QCOMPARE(FindStoredSupport(project.path(), QString()), 0);
        QCOMPARE(FindStoredSupport(project.file(QStringLiteral("missing")), QStringLiteral("B-2")), 0);
        Session().Close();
    }

    void elevationPrefill() {
        ConfigurationRow row;
        row.A_NAME = QStringLiteral("SHHADSBH");
        row.A_ANZ_Q = 3;
        DisplayedValues shown;
        shown.SteelElevLeft = QStringLiteral("3500");
        shown.SteelElevRight = QStringLiteral("3400");
        shown.PipeElev = QStringLiteral("1000");
        ElevationInputs e = PrefillElevations(row, ElevationKind::Absolute, shown, QStringLiteral("1"), {}, false);
        QCOMPARE(e.count, 3);
        QCOMPARE(e.texts[0], QStringLiteral("3500"));
        QCOMPARE(e.texts[1], QStringLiteral("3400"));  // letter 5 is D
        QCOMPARE(e.texts[2], QStringLiteral("1000"));
        QVERIFY(!e.enabled[0] && !e.enabled[1] && !e.enabled[2]);
        row.A_NAME = QStringLiteral("SHHAESBH");
        e = PrefillElevations(row, ElevationKind::Absolute, shown, QStringLiteral("1"), {}, false);
        QVERIFY(e.texts[1].isEmpty() && e.enabled[1]);

        // Reading: the right steel goes into the title block for letter 5 D.
        ResetCalcState();
        row.A_NAME = QStringLiteral("SHHADSBH");
        QCOMPARE(ApplyElevations(PrefillElevations(row, ElevationKind::Absolute, shown, {}, {}, false), false, row), 0);
        QCOMPARE(ConstructionRecord.K_MHOEHE_OBENR, QStringLiteral("3400"));
        QCOMPARE(ConstructionRecord.K_MHOEHE_UNTEN, QStringLiteral("1000"));
    }

    // An unreadable height is the input's -1, never the height read before
    // (which Ok would otherwise store); the steel width likewise.
    void unreadableElevationIsMinusOne() {
        ConfigurationRow row;
        row.A_ANZ_Q = 2;
        ConstructionRecord.K_HM_Q_2 = 1234;
        ConstructionRecord.K_HM_D_2 = 1234;
        QCOMPARE(ReadElevation(2, QStringLiteral("12a"), false, false, row), 5202);
        QCOMPARE(ConstructionRecord.K_HM_Q_2, -1.0);
        QCOMPARE(ConstructionRecord.K_HM_D_2, 1234.0);
        ConstructionRecord.K_HM_Q_2 = 1234;
        QCOMPARE(ReadElevation(2, QString(), false, false, row), 5201);
        QCOMPARE(ConstructionRecord.K_HM_Q_2, -1.0);
        QCOMPARE(ReadElevation(2, QStringLiteral("12.5"), true, false, row), 5208);
        QCOMPARE(ConstructionRecord.K_HM_D_2, -1.0);
        ConstructionRecord.K_BREITE = ConstructionRecord.K_BREITE_2 = 300;
        QCOMPARE(ReadSteelWidth(QStringLiteral("3o0"), false, row), 5202);
        QCOMPARE(ConstructionRecord.K_BREITE, -1.0);
        QCOMPARE(ConstructionRecord.K_BREITE_2, -1.0);
        QCOMPARE(ReadElevation(2, QStringLiteral("-3'-3.37\""), false, true, row), 0);
        QCOMPARE(ConstructionRecord.K_HM_Q_2, -1000.0);
        QCOMPARE(ConstructionRecord.K_HI_Q_F_2, QStringLiteral("-3'-3.37\""));
    }

    void profilePreset() {
        // Flange widths and thicknesses with neighbours that differ in one.
        const struct {
            int nr;
            const char* type;
            const char* height;
            double b, t;
        } rows[] = {{901, "HEA", "200", 200, 10}, {902, "HEB", "200", 200, 15}, {903, "HEA", "220", 220, 11},
                    {904, "IPE", "200", 100, 8.5}, {905, "HEM", "200", 200, 12}};
        for (const auto& r : rows)
            fx->Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "PRF"}, {"TXT_NR", r.nr}, {"TXT_TEXT", r.type},
                                                     {"TXT_PRF_HOEHE", r.height}, {"TXT_PRF_B", r.b}, {"TXT_PRF_T", r.t}});
        fx->Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "XYZ"}, {"TXT_NR", 906}, {"TXT_TEXT", "NOT"},
                                                 {"TXT_PRF_B", 200}, {"TXT_PRF_T", 11}});
        TTable& t = DBKONST->TXTTAB;
        auto preset = FindProfilePreset(t, 200.4, 15);
        QVERIFY(preset);
        QCOMPARE(preset->type, QStringLiteral("HEB"));
        preset = FindProfilePreset(t, 199.6, 11);  // no 11: the next thicker is 12
        QVERIFY(preset);
        QCOMPARE(preset->type, QStringLiteral("HEM"));
        preset = FindProfilePreset(t, 100, 8.5);
        QCOMPARE(preset->type, QStringLiteral("IPE"));
        QVERIFY(!FindProfilePreset(t, 200, 16));
        QVERIFY(!FindProfilePreset(t, 200, 0));
        QVERIFY(!FindProfilePreset(t, 0, 10));
        // A flange of one millimetre or less is a flange: only 0 is none.
        fx->Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "PRF"}, {"TXT_NR", 907}, {"TXT_TEXT", "FLT"},
                                                 {"TXT_PRF_HOEHE", "50"}, {"TXT_PRF_B", 50}, {"TXT_PRF_T", 0.5}});
        preset = FindProfilePreset(t, 50, 0.5);
        QVERIFY(preset);
        QCOMPARE(preset->type, QStringLiteral("FLT"));
        preset = FindProfilePreset(t, 50, 0.25);  // the next thicker
        QVERIFY(preset);
        QCOMPARE(preset->type, QStringLiteral("FLT"));
        QVERIFY(!t.Filtered() || t.Filter().isEmpty());
    }

    // The profile lists as the form reads them after the host's preset
    // searched the table in flange order: every type once in the table's
    // order (another kind of text row in between), the heights of one type
    // in the table's order, the bound on the rows read, and the table left
    // unfiltered. The flange widths run against the table's order, so a
    // list read in flange order comes out otherwise.
    void profileLists() {
        const struct {
            int nr;
            const char* type;
            const char* height;
            int width;
        } rows[] = {{911, "PB", "100", 200}, {912, "PC", "200", 100}, {913, "PB", "120", 150}, {914, "PA", "100", 50}};
        for (const auto& r : rows)
            fx->Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "PRF"},
                                                     {"TXT_NR", r.nr},
                                                     {"TXT_TEXT", r.type},
                                                     {"TXT_PRF_HOEHE", r.height},
                                                     {"TXT_PRF_B", r.width},
                                                     {"TXT_PRF_T", 10}});
        fx->Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "XYZ"}, {"TXT_NR", 915}, {"TXT_TEXT", "PZ"}});
        TTable& t = DBKONST->TXTTAB;
        const auto preset = FindProfilePreset(t, 150, 10);
        QVERIFY(preset);
        QCOMPARE(preset->height, QStringLiteral("120"));
        const QStringList types = ProfileTypes(t);
        QCOMPARE(types.mid(types.indexOf(QStringLiteral("PB"))), (QStringList{"PB", "PC", "PA"}));
        QVERIFY(!types.contains(QStringLiteral("PZ")));
        QCOMPARE(ProfileHeights(t, QStringLiteral("PB")), (QStringList{"100", "120"}));
        QCOMPARE(ProfileHeights(t, QStringLiteral("PZ")), QStringList());
        QCOMPARE(ProfileTypes(t, 1).size(), 1);
        QCOMPARE(ProfileHeights(t, QStringLiteral("PB"), 1), QStringList{"100"});
        QVERIFY(!t.Filtered() || t.Filter().isEmpty());
    }

    // A configuration row is read whole; the area letter decides whether
    // the hanger-type button is offered.
    void configurationRowIsReadWhole() {
        fx->Insert(QStringLiteral("ABHGNR.DB"),
                   {{"A_NR", 177}, {"A_NAME", "SHHAESBH"}, {"A_BER", "K"}, {"A_ANZ_D", 3}, {"A_ANZ_Q", 4},
                    {"A_MDS_NO", "77"}, {"A_ORDERNO", 77}, {"STAT_DYN", true}, {"STAT_COLD", false}, {"BX", 11},
                    {"BY", 12}, {"DX1", 21}, {"DX2", 22}, {"DX3", 23}, {"DX4", 24}, {"DY1", 31}, {"DY2", 32},
                    {"DY3", 33}, {"DY4", 34}, {"QX1", 41}, {"QX2", 42}, {"QX3", 43}, {"QX4", 44}, {"QX5", 45},
                    {"QY1", 51}, {"QY2", 52}, {"QY3", 53}, {"QY4", 54}, {"QY5", 55}});
        TTable t(DBKONST->ABHGDB.DatabaseName(), DBKONST->ABHGDB.TableName());
        t.Open();
        QVERIFY(t.Locate(QStringLiteral("A_NR"), {177}));
        const ConfigurationRow r = ReadConfigurationRow(t);
        QCOMPARE(r.A_NR, 177);
        QCOMPARE(r.A_NAME.trimmed(), QStringLiteral("SHHAESBH"));
        QCOMPARE(r.A_BER.trimmed(), QStringLiteral("K"));
        QCOMPARE(r.A_ANZ_D, 3);
        QCOMPARE(r.A_ANZ_Q, 4);
        QCOMPARE(r.BX, 11);
        QCOMPARE(r.BY, 12);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(r.DX[k], 21 + k);
            QCOMPARE(r.DY[k], 31 + k);
        }
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(r.QX[k], 41 + k);
            QCOMPARE(r.QY[k], 51 + k);
        }
        QVERIFY(PanelInputsOf(r, StressCondition::Static).hasABer);
        // A name that is no value field writes nothing.
        const TConstructionRecord before = ConstructionRecord;
        QVERIFY(!ApplyFieldExit(QStringLiteral("Nothing"), 5, {}));
        QVERIFY(ApplyFieldExit(QStringLiteral("Vertikal"), 5, {}));
        QCOMPARE(ConstructionRecord.K_LAST, before.K_LAST);
    }

    // Every value field writes its own metric field and, in imperial mode,
    // its own imperial copy: a load converts lbs to kN (100 lbs: 0.445 kN),
    // a length inches to mm (100 in: 2540 mm); the metric mode leaves the
    // copy alone.
    void fieldExits_data() {
        using K = TConstructionRecord;
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("field");  // index into Fields()
        QTest::addColumn<int>("copy");   // -1: none
        QTest::addColumn<double>("imperial");
        const struct {
            const char* edit;
            double K::*field;
            double K::*copy;
            double value;
        } rows[] = {{"Last", &K::K_LAST, &K::K_LAST_I, 0.445},
                    {"DY_L_H", &K::K_LAST, &K::K_LAST_I, 0.445},
                    {"Hydrolast", &K::K_HYDRO_LAST, &K::K_HYDRO_LAST_I, 0.445},
                    {"DY_L_HZ", &K::K_LAST_DYN_2, &K::K_LAST_I_DYN_2, 0.445},
                    {"DY_L_HS", &K::K_LAST_DYN_3, &K::K_LAST_I_DYN_3, 0.445},
                    {"STAT_LAST_HZ", &K::K_STAT_LAST_HZ, nullptr, 0.445},
                    {"STAT_LAST_HS", &K::K_STAT_LAST_HS, nullptr, 0.445},
                    {"Horizontal", &K::K_WEG_X, &K::K_WEG_X_I, 2540.0},
                    {"DY_W_P", &K::K_WEG_X, &K::K_WEG_X_I, 2540.0},
                    {"Lateral", &K::K_WEG_Y, &K::K_WEG_Y_I, 2540.0},
                    {"DY_W_N", &K::K_WEG_Y, &K::K_WEG_Y_I, 2540.0},
                    {"Vertikal", &K::K_WEG_Z, &K::K_WEG_Z_I, 2540.0},
                    {"ISO", &K::K_DAEMMST, nullptr, 2540.0}};
        const auto all = Fields();
        for (const auto& r : rows)
            QTest::newRow(r.edit) << r.edit << int(std::find(all.begin(), all.end(), r.field) - all.begin())
                                  << (r.copy ? int(std::find(all.begin(), all.end(), r.copy) - all.begin()) : -1)
                                  << r.value;
    }
    void fieldExits() {
        QFETCH(QString, edit);
        QFETCH(int, field);
        QFETCH(int, copy);
        QFETCH(double, imperial);
        const auto all = Fields();
        QVERIFY(field < int(all.size()));
        TConstructionRecord& k = ConstructionRecord;
        for (const auto f : all) k.*f = -1;
        QVERIFY(ApplyFieldExit(edit, 100, {true, false}));
        for (int i = 0; i < int(all.size()); ++i) {
            const double expected = i == field ? imperial : i == copy ? 100.0 : -1.0;
            QVERIFY2(qAbs(k.*all[i] - expected) < 1e-9,
                     qPrintable(QStringLiteral("field %1: %2").arg(i).arg(k.*all[i], 0, 'g', 17)));
        }
        for (const auto f : all) k.*f = -1;
        QVERIFY(ApplyFieldExit(edit, 100, {}));
        for (int i = 0; i < int(all.size()); ++i) QCOMPARE(k.*all[i], i == field ? 100.0 : -1.0);
    }

    // Imperial heights keep their feet-inch text in their own slot.
    void imperialHeightTexts() {
        ConfigurationRow row;
        row.A_ANZ_Q = 3;
        for (bool differences : {true, false}) {
            for (int slot = 1; slot <= 3; ++slot) {
                ConstructionRecord.K_HI_D_F_1 = ConstructionRecord.K_HI_D_F_2 = ConstructionRecord.K_HI_D_F_3 = QString();
                ConstructionRecord.K_HI_Q_F_1 = ConstructionRecord.K_HI_Q_F_2 = ConstructionRecord.K_HI_Q_F_3 = QString();
                const QString text = QStringLiteral("%1'-0.0\"").arg(slot);
                QCOMPARE(ReadElevation(slot, text, differences, true, row), 0);
                const QString d[] = {ConstructionRecord.K_HI_D_F_1, ConstructionRecord.K_HI_D_F_2, ConstructionRecord.K_HI_D_F_3};
                const QString q[] = {ConstructionRecord.K_HI_Q_F_1, ConstructionRecord.K_HI_Q_F_2, ConstructionRecord.K_HI_Q_F_3};
                for (int i = 0; i < 3; ++i) {
                    QCOMPARE(d[i], differences && i == slot - 1 ? text : QString());
                    QCOMPARE(q[i], !differences && i == slot - 1 ? text : QString());
                }
            }
        }
    }

    // Every host value lands in its own shown field: the values differ, so
    // a value left out or put into a neighbour shows.
    void hostValuesAreShown() {
        MdsLoadNormal = 1.5;
        MdsLoadEmergency = 2.5;
        MdsLoadFailure = 3.5;
        MdsLoadHydro = 4.5;
        MdsStaticLateral = 5.5;
        MdsStaticHorizontal = 6.5;
        MdsStaticVertical = 7.5;
        MdsDynPositive = 8.5;
        MdsDynNegative = -9.5;
        MdsPipeSize = QStringLiteral("114.3");
        MdsTemp = 230;
        MdsInsulation = 40.5;
        MdsSteelElevLeft = QStringLiteral("3500");
        MdsSteelElevRight = QStringLiteral("3400");
        MdsPipeElev = QStringLiteral("1000");
        MdsSteelWidth = QStringLiteral("300");
        MdsRodLength = QStringLiteral("800");
        const DisplayedValues v = HostDisplayedValues();
        QCOMPARE(v.Last, 1.5);
        QCOMPARE(v.DY_L_H, 1.5);
        QCOMPARE(v.STAT_LAST_HZ, 2.5);
        QCOMPARE(v.DY_L_HZ, 2.5);
        QCOMPARE(v.STAT_LAST_HS, 3.5);
        QCOMPARE(v.DY_L_HS, 3.5);
        QCOMPARE(v.Hydrolast, 4.5);
        QCOMPARE(v.Lateral, 5.5);
        QCOMPARE(v.Horizontal, 6.5);
        QCOMPARE(v.Vertikal, 7.5);
        QCOMPARE(v.DY_W_P, 8.5);
        QCOMPARE(v.DY_W_N, -9.5);
        QCOMPARE(v.RDM, QStringLiteral("114.3"));
        QCOMPARE(v.TEMP, 230);
        QCOMPARE(v.ISO, 40.5);
        QCOMPARE(v.SteelElevLeft, QStringLiteral("3500"));
        QCOMPARE(v.SteelElevRight, QStringLiteral("3400"));
        QCOMPARE(v.PipeElev, QStringLiteral("1000"));
        QCOMPARE(v.SteelWidth, QStringLiteral("300"));
        QCOMPARE(v.RodLength, QStringLiteral("800"));
        ResetHostGlobals();
    }

    // The first error of the pre-filled inputs is the one reported: an
    // unreadable steel width after readable heights, a height before it.
    void firstElevationError() {
        ConfigurationRow row;
        row.A_NAME = QStringLiteral("SHHAESBH");
        row.A_ANZ_Q = 2;
        row.BX = 150;
        ElevationInputs in;
        in.kind = ElevationKind::Absolute;
        in.count = 2;
        in.texts[0] = QStringLiteral("3500");
        in.texts[1] = QStringLiteral("1000");
        in.hasSteelWidth = true;
        in.steelWidth = QStringLiteral("3o0");
        QCOMPARE(ApplyElevations(in, false, row), 5202);
        in.texts[1] = QStringLiteral("12.5");
        QCOMPARE(ApplyElevations(in, false, row), 5208);
        in.steelWidth = QStringLiteral("300");
        QCOMPARE(ApplyElevations(in, false, row), 5208);
        in.texts[1] = QStringLiteral("1000");
        QCOMPARE(ApplyElevations(in, false, row), 0);
    }

    // The arm length in whole millimetres (to the nearest), the inches kept
    // in imperial mode only.
    void armLength_data() {
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<double>("shown");
        QTest::addColumn<int>("mm");
        QTest::addColumn<QString>("inches");
        QTest::newRow("metric") << false << 750.5 << 750 << "keep";  // half to even
        QTest::newRow("metric up") << false << 749.75 << 750 << "keep";
        QTest::newRow("imperial") << true << 30.25 << 768 << "30.25";  // 768.35 mm
        QTest::newRow("imperial down") << true << 30.0 << 762 << "30";
    }
    void armLength() {
        QFETCH(bool, imperial);
        QFETCH(double, shown);
        QFETCH(int, mm);
        QFETCH(QString, inches);
        ConstructionRecord.K_TRAGARM_L_I = QStringLiteral("keep");
        ApplyArmLengthExit(shown, {imperial, false});
        QCOMPARE(ConstructionRecord.K_TRAGARM_L, mm);
        QCOMPARE(ConstructionRecord.K_TRAGARM_L_I, inches);
    }

    void steelWidthOfVerticalClamp() {
        ConfigurationRow row;
        row.A_NAME = QStringLiteral("SHVAESBH");
        QString shown;
        QCOMPARE(ReadSteelWidth(QStringLiteral("304"), false, row, &shown), 0);
        QCOMPARE(ConstructionRecord.K_BREITE, 300.0);
        QCOMPARE(ConstructionRecord.K_BREITE_2, 304.0);
        QCOMPARE(shown, QStringLiteral("300"));
        // Imperial: the rounded width is shown with a decimal, so the
        // feet-inch input reads it again.
        QCOMPARE(ReadSteelWidth(QStringLiteral("1'-0.0\""), true, row, &shown), 0);
        QCOMPARE(ConstructionRecord.K_BREITE, 300.0);
        QCOMPARE(shown, QStringLiteral("0'-11.811\""));
        QCOMPARE(ParseUncHeight(shown, true).error, 0);
        QCOMPARE(ParseUncHeight(SteelWidthText(304.8, true), true).value, 305);
        row.A_NAME = QStringLiteral("SHHAESBH");
        QCOMPARE(ReadSteelWidth(QStringLiteral("304"), false, row, &shown), 0);
        QCOMPARE(ConstructionRecord.K_BREITE, 304.0);
    }

    // The panel rules read the record's flags and the row as they stand:
    // each input differs from its default.
    void panelInputs() {
        TConstructionRecord& k = ConstructionRecord;
        k.K_RSRL_OHNE = k.K_OB_ANSCH = k.K_ROHRLAGER_KZ = k.K_KERNTECH = true;
        k.K_TEM = 250.5;
        ConfigurationRow row;
        row.A_NAME = QStringLiteral("SHHRELBS");
        row.A_BER = QStringLiteral(" ");
        row.A_ANZ_D = 2;
        row.A_ANZ_Q = 3;
        PanelInputs in = PanelInputsOf(row, StressCondition::Cold, 4);
        QCOMPARE(in.name, row.A_NAME);
        QCOMPARE(int(in.condition), int(StressCondition::Cold));
        QVERIFY(in.rsrlOhne && in.obAnsch && in.rohrlager && in.kerntech);
        QCOMPARE(in.temperature, 250.5);
        QVERIFY(!in.hasABer);  // a blank area letter is none
        QCOMPARE(in.anzD, 2);
        QCOMPARE(in.anzQ, 3);
        QCOMPARE(in.buildingItem, 4);
        k.K_RSRL_OHNE = k.K_OB_ANSCH = k.K_ROHRLAGER_KZ = k.K_KERNTECH = false;
        row.A_BER = QStringLiteral("K");
        in = PanelInputsOf(row, StressCondition::Dynamic);
        QVERIFY(!in.rsrlOhne && !in.obAnsch && !in.rohrlager && !in.kerntech);
        QVERIFY(in.hasABer);
        QCOMPARE(in.buildingItem, 1);
    }

    // A pipe bearing (K_ROHRLAGER_KZ) has no base clamp choice.
    void pipeBearingHasNoBaseClamp() {
        TransferFixture::SetHost(QStringLiteral("6h"));
        ConstructionRecord.K_ROHRLAGER_KZ = true;
        const TransferResult r = TransferHostToRecord({});
        QVERIFY(r.configurationFound);
        QVERIFY(!r.layout.BaseClampStyleBox);
        QCOMPARE(ConstructionRecord.K_T49G_KZ, QStringLiteral(" "));
    }

    // The host's identification and coordinates, each into its own field.
    void hostIdentification() {
        TransferFixture::SetHost(QStringLiteral("1"));
        MdsPipeX = 11.5;
        MdsPipeY = 22.5;
        MdsPipeZ = 33.5;
        MdsJointRotate = true;
        TransferHostToRecord({});
        const TConstructionRecord& k = ConstructionRecord;
        QCOMPARE(k.K_KOOR_X, 11.5);
        QCOMPARE(k.K_KOOR_Y, 22.5);
        QCOMPARE(k.K_KOOR_Z, 33.5);
        QVERIFY(k.K_DREHUNG_AS);
        ResetCalcState();
        MdsJointRotate = false;
        ConstructionRecord.K_DREHUNG_AS = true;
        TransferHostToRecord({});
        QVERIFY(!ConstructionRecord.K_DREHUNG_AS);
    }

    // The identification texts fill their fixed widths (32, 25, 5, 32)
    // to the last character and cut what is longer.
    void recordTextWidths_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("width");
        QTest::newRow("K_POS_NR") << "K_POS_NR" << 32;
        QTest::newRow("K_KDN_ZNR") << "K_KDN_ZNR" << 25;
        QTest::newRow("K_NR_ANL") << "K_NR_ANL" << 5;
        QTest::newRow("K_CALC_NR") << "K_CALC_NR" << 32;
    }
    void recordTextWidths() {
        QFETCH(QString, field);
        QFETCH(int, width);
        const QString full = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789").left(width);
        SetRecordText(field, full + QStringLiteral("#"));
        QCOMPARE(RecordText(field), full);
        SetRecordText(field, QStringLiteral("x"));
        QCOMPARE(RecordText(field), QStringLiteral("x"));
        SetRecordText(QStringLiteral("K_NOTHING"), full);
        QCOMPARE(RecordText(QStringLiteral("K_NOTHING")), QString());
    }

    // A catalogue row asking for more than the six inputs the picture has
    // gets six; a negative count none.
    void elevationCountBounded() {
        ConfigurationRow row;
        row.A_NAME = QStringLiteral("SHHAESBH");
        row.A_ANZ_Q = 9;
        row.A_ANZ_D = -1;
        DisplayedValues shown;
        shown.SteelElevLeft = QStringLiteral("3500");
        shown.PipeElev = QStringLiteral("1000");
        ElevationInputs e = PrefillElevations(row, ElevationKind::Absolute, shown, QStringLiteral("1"), {}, false);
        QCOMPARE(e.count, 6);
        QCOMPARE(e.texts[5], QStringLiteral("1000"));
        e = PrefillElevations(row, ElevationKind::Differences, shown, QStringLiteral("1"), {}, false);
        QCOMPARE(e.count, 0);
    }

    // Six absolute elevations, the most a picture holds, switched to
    // imperial: the first and the last keep their texts in their own
    // slots, the title block takes the last as the pipe's.
    void sixElevationsSwitchUnits() {
        fx->Insert(QStringLiteral("ABHGNR.DB"),
                   {{"A_NR", 109}, {"A_NAME", "SHHAESBH"}, {"A_BER", " "}, {"A_ANZ_D", 0}, {"A_ANZ_Q", 6},
                    {"A_MDS_NO", "9"}, {"A_ORDERNO", 1}, {"STAT_DYN", true}, {"STAT_COLD", false}, {"BX", 100},
                    {"BY", 40}});
        TransferFixture::SetHost(QStringLiteral("9"));
        MdsSteelWidth = QStringLiteral("300");
        const TransferResult r = TransferHostToRecord({true, false});
        QCOMPARE(int(ConstructionRecord.K_A_NR), 109);
        QCOMPARE(r.elevations.count, 6);
        QCOMPARE(int(ConstructionRecord.K_H_ZHL), 6);
        QCOMPARE(r.elevations.texts[0], QStringLiteral("11'-5.795\""));
        QCOMPARE(r.elevations.texts[5], QStringLiteral("3'-3.37\""));
        for (int i = 1; i < 5; ++i) QVERIFY(r.elevations.texts[i].isEmpty());
        QCOMPARE(ConstructionRecord.K_HI_Q_F_1, QStringLiteral("11'-5.795\""));
        QCOMPARE(ConstructionRecord.K_HI_Q_F_6, QStringLiteral("3'-3.37\""));
        QCOMPARE(ConstructionRecord.K_HM_Q_6, 1000.0);
        QCOMPARE(ConstructionRecord.K_IHOEHE_UNTEN, QStringLiteral("3'-3.37\""));
        QCOMPARE(r.elevationError, 0);
    }

    // The preset search puts the table back as the caller left it, its
    // filter switched off as well as on.
    void profilePresetRestoresTheTable() {
        fx->Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "PRF"}, {"TXT_NR", 921}, {"TXT_TEXT", "HEX"},
                                                 {"TXT_PRF_HOEHE", "300"}, {"TXT_PRF_B", 300}, {"TXT_PRF_T", 19}});
        TTable& t = DBKONST->TXTTAB;
        for (bool filtered : {false, true}) {
            t.SetFilter(QStringLiteral("TXT_KZ = 'XYZ'"));
            t.SetFiltered(filtered);
            const auto preset = FindProfilePreset(t, 300, 19);
            QVERIFY(preset);
            QCOMPARE(preset->type, QStringLiteral("HEX"));
            QCOMPARE(t.Filtered(), filtered);
            QCOMPARE(t.Filter(), QStringLiteral("TXT_KZ = 'XYZ'"));
        }
        t.SetFiltered(false);
        t.SetFilter({});
    }

    // The preset search reads every profile of the table, whatever range
    // the caller left on it.
    void profilePresetIgnoresARange() {
        fx->Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "PRF"}, {"TXT_NR", 931}, {"TXT_TEXT", "HEY"},
                                                 {"TXT_PRF_HOEHE", "320"}, {"TXT_PRF_B", 320}, {"TXT_PRF_T", 21}});
        fx->Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "XYZ"}, {"TXT_NR", 932}, {"TXT_TEXT", "NOT"},
                                                 {"TXT_PRF_B", 320}, {"TXT_PRF_T", 21}});
        TTable& t = DBKONST->TXTTAB;
        t.Close();
        t.SetIndexFieldNames(QStringLiteral("TXT_KZ"));
        t.Open();
        t.SetRange({QStringLiteral("XYZ")}, {QStringLiteral("XYZ")});
        const auto preset = FindProfilePreset(t, 320, 21);
        QVERIFY(preset);
        QCOMPARE(preset->type, QStringLiteral("HEY"));
        t.Close();
        t.SetIndexFieldNames(QString());
    }

    // Only the inputs the configuration shows are read: a text left in a
    // slot past the count (an unreadable one here) neither writes its
    // height nor reports an error.
    void elevationsPastTheCountAreNotRead() {
        ConfigurationRow row;
        row.A_NAME = QStringLiteral("SHHAESBH");
        row.A_ANZ_Q = 1;
        for (const bool differences : {false, true}) {
            ElevationInputs in;
            in.kind = differences ? ElevationKind::Differences : ElevationKind::Absolute;
            in.count = 1;
            in.texts[0] = QStringLiteral("3500");
            in.texts[1] = QStringLiteral("12a");
            ConstructionRecord.K_HM_Q_2 = ConstructionRecord.K_HM_D_2 = 777;
            QCOMPARE(ApplyElevations(in, false, row), 0);
            QCOMPARE(ConstructionRecord.K_HM_Q_2, 777.0);
            QCOMPARE(ConstructionRecord.K_HM_D_2, 777.0);
            QCOMPARE(differences ? ConstructionRecord.K_HM_D_1 : ConstructionRecord.K_HM_Q_1, 3500.0);
        }
    }
};

QTEST_GUILESS_MAIN(TestHostTransfer)
#include "tst_hosttransfer.moc"
