#pragma once
// The hand-built supports whose output files are kept as golden files in
// tests/host/golden/. Each sets up the record, the arrangement, the chain,
// the parts list and the bridge items from the catalogue of the fixture.
#include "PmlFixture.h"

#include <functional>

namespace pmlfixture {

struct Scenario {
    const char* name;      // golden file base name
    int language;          // print language: 1 German, 2 English
    std::function<void()> setup;
};

// Spring hanger, metric, R/E walk with a rod group (coupling 64 with three
// rods of the group), shifts of 10 m and more and a negative one.
inline void SpringHanger() {
    BaseRecord("DEMO SH 1", 101, 7);
    auto& r = ConstructionRecord;
    SetArrangement("SHHAESBH");
    r.K_S_Y_KZ = true;
    r.K_LAST = 10;
    r.K_LAST_BLOK = 9.37;
    r.K_LAST_AUSG = 10.4;
    r.K_KALWAR_KZ = false;
    r.K_FDR_RATE = 31.25;
    r.K_FDIFF_EFF = 6;
    r.K_WEG_X = 12.5;
    r.K_WEG_Y = -4;
    r.K_WEG_Z = 20;
    r.K_RDM = 114.3;
    r.K_DAEMMST = 100;
    r.K_TEM = 200;
    r.K_BLOCKIER = 57;
    r.K_ARBWEG = 254;
    r.K_HYDRO_LAST = 9.81;
    r.K_STAT_LAST_HZ = 0.5;
    r.K_STAT_LAST_HS = -0.25;
    r.K_HM_Q_1 = 3500;
    r.K_BREITE = 300;
    r.K_WKL_VOR = -3;
    r.K_NAHT = QStringLiteral("2,5");
    r.K_RSL_NRN = 43090302;
    r.K_STA_NRN = 21014218;
    r.K_RESTLAENGE_1 = 350;
    r.K_RESTLAENGE_2 = -40;
    r.K_RESTLAENGE_3 = 12500;
    r.K_RESTLAENGE_5 = 800;
    r.K_TAB_SAZ_5 = 3;
    CalcGlobals.OutputAlpha = 1.5;
    CalcGlobals.OutputDeltaLSlca = -2.25;
    CalcGlobals.WeldValue = 4;
    SetChain({{75014000}, {67014200}, {61014000}, {66014500}, {21014218}, {60014000}, {66014500, 2}, {64014000},
              {66014500}, {60014000}, {43090302}});
}

// Constant hanger, imperial catalogue and units, nuclear article numbers,
// size 10 (FCONN, the nut code 63D959), turned clevis over a weld bracket.
inline void ConstantHangerImperial() {
    BaseRecord("DEMO-CH", 101, 12);
    auto& r = ConstructionRecord;
    SetArrangement("SHHAESBH");
    r.PrintUnitChar = 'C';
    r.K_KATA_KZ = true;
    r.K_KERNTECH = true;
    r.K_S_Y_KZ = true;
    r.K_KALWAR_KZ = true;
    r.K_LAST = 5.2;
    r.K_LAST_AUSG = 5.5;
    r.K_LAST_BLOK = 5.2;
    r.K_WEG_X = 0;
    r.K_WEG_Y = 0;
    r.K_WEG_Z = 76.2;
    r.K_WKL_ZHL_X = 1;
    r.K_EINBAU_KZ = true;
    r.K_RDM = 114.3;
    r.K_DAEMMST = 50.8;
    r.K_TEM = 400;
    r.K_BLOCKIER = 127;
    r.K_ARBWEG = 254;
    r.K_HYDRO_LAST = 9.81;
    r.K_HI_Q_F_1 = QStringLiteral("11'-5 13/16\"");
    r.K_BREITE = 254;
    r.K_RSL_NRN = 43090301;
    r.K_STA_NRN = 11010315;
    r.K_RESTLAENGE_1 = 610;
    BridgeRecords.DrehungAs = true;
    SetChain({{73010000}, {61010000}, {11010315}, {67010300}, {60010000}, {43090301}});
    BridgeRecords.DrehungAs = true;
}

// Rigid strut: dynamic (K_S_Y_KZ clear), Y walk, dynamic clamp 36.
inline void RigidStrut() {
    BaseRecord("DEMO-RS", 301, 1);
    auto& r = ConstructionRecord;
    SetArrangement("SHHYESBS");
    r.K_S_Y_KZ = false;
    r.K_LAST = 12;
    r.K_LAST_DYN_2 = 18.5;
    r.K_LAST_DYN_3 = 24.75;
    r.K_WEG_X = 15;
    r.K_WEG_Y = 10;
    r.K_RDM = 114.3;
    r.K_TEM = 200;
    r.K_ARBWEG = 0;
    r.K_LG_MAX = 4;
    r.K_BREITE = 0;
    r.K_RSL_NRN = 36090302;
    r.K_STA_NRN = 39030020;
    r.K_RESTLAENGE_1 = 720;
    r.K_STAT_LAST_LG_H = 5;
    BridgeRecords.DrehungAs = false;
    SetChain({{35003000}, {39030020}, {36090302}});
}

// Shock absorber: the extension (digit 8 "2") stands above its unit in the
// chain and is written after it.
inline void ShockAbsorber() {
    BaseRecord("DEMO-SA", 302, 3);
    auto& r = ConstructionRecord;
    SetArrangement("SHHYESBH");
    r.K_S_Y_KZ = false;
    r.K_LAST = 20;
    r.K_WEG_X = 40;
    r.K_WEG_Y = 35;
    r.K_RDM = 114.3;
    r.K_TEM = 250;
    r.K_LG_MAX = 4;
    r.K_RSL_NRN = 36090302;
    r.K_STA_NRN = 30003201;
    r.K_RESTLAENGE_1 = 400;
    r.K_RESTLAENGE_2 = 650;
    SetChain({{35003000}, {30003201}, {30003202}, {36090302}});
    BridgeRecords.DrehungAs = true;
}

// Cold support: cold-table clamp (outer diameter and bore variables), no
// chain statements.
inline void ColdSupport() {
    BaseRecord("DEMO-CS", 201, 4);
    auto& r = ConstructionRecord;
    SetArrangement("CHHRESAS");
    r.K_S_Y_KZ = true;
    r.K_LAST = 3;
    r.K_RDM = 60.3;
    r.K_TEM = -40;
    r.K_HM_Q_1 = 1200;
    r.K_RSL_NRN = 52001002;
    r.K_STA_NRN = 52001002;
    SetChain({{52001002}});
}

// Base clamp with PTFE slide plate, the slide element of a type 49 guide.
inline void BaseClamp() {
    BaseRecord("DEMO-BC", 103, 9);
    auto& r = ConstructionRecord;
    SetArrangement("DHHRELXS");
    r.K_S_Y_KZ = true;
    r.K_LAST = 8;
    r.K_RDM = 114.3;
    r.K_TEM = 150;
    r.K_PTFE_KZ = true;
    r.K_T49G_KZ = QStringLiteral("2");
    r.K_RSL_NRN = 49090321;
    r.K_STA_NRN = 49090321;
    SetChain({{49090321}, {49000100}});
}

// Trapeze with two legs: D walk, a 795 beam that starts the second side.
inline void TrapezeDWalk() {
    BaseRecord("DEMO TR D", 150, 2);
    auto& r = ConstructionRecord;
    SetArrangement("TSHADLCS");
    r.K_S_Y_KZ = true;
    r.K_LAST = 14;
    r.K_RDM = 114.3;
    r.K_TEM = 200;
    r.K_BLOCKIER = 33;
    r.K_BREITE = 900;
    r.K_HM_Q_1 = 4000;
    r.K_HM_Q_2 = 4100;
    r.K_RSL_NRN = 43090302;
    r.K_STA_NRN = 21014218;
    r.K_RESTLAENGE_1 = 450;
    r.K_RESTLAENGE_2 = 0;
    r.K_RESTLAENGE_3 = 300;
    r.K_RESTLAENGE_4 = 500;
    r.K_RESTLAENGE_5 = 600;
    SetChain({{75014000}, {61014000}, {21014218}, {66014500, 2}, {60014000}, {79514000}, {43090302}});
}

// T walk: a 798 with its 796 companion, coupling groups, weld plate on top.
inline void TrapezeTWalk() {
    BaseRecord("DEMO-TR-T", 151, 5);
    auto& r = ConstructionRecord;
    SetArrangement("THHATSBS");
    r.K_S_Y_KZ = true;
    r.K_LAST = 9;
    r.K_RDM = 114.3;
    r.K_TEM = 120;
    r.K_BLOCKIER = 21;
    r.K_BREITE = 600;
    r.K_HM_Q_1 = 2750;
    r.K_RSL_NRN = 42090302;
    r.K_STA_NRN = 79814000;
    r.K_RESTLAENGE_1 = 200;
    r.K_RESTLAENGE_2 = 250;
    r.K_RESTLAENGE_3 = 275;
    r.K_RESTLAENGE_4 = 0;
    r.K_RESTLAENGE_5 = 900;
    r.K_TAB_SAZ_4 = 2;
    r.K_TAB_SAZ_3 = 2;
    SetChain({{74014000}, {64014000}, {67014200}, {64014000}, {79814000}, {60014000}, {66014400}, {61014000},
              {42090302}});
}

// Plates and profiles on a bore clamp (41): beam clamp with its profile
// row, connection plate 77 with the kept clamp DESP, yokes 76 of both
// kinds, a 290 with additional material, 650 with its nut list.
inline void PlatesAndProfiles() {
    BaseRecord("DEMO-PP", 160, 8);
    auto& r = ConstructionRecord;
    SetArrangement("SHHRESBS");
    r.K_S_Y_KZ = true;
    r.K_LAST = 11;
    r.K_RDM = 114.3;
    r.K_TEM = 180;
    r.K_BLOCKIER = 15;
    r.K_BREITE = 450;
    r.K_TRAGARM_L = 700;
    r.K_KLM_NR = 12;
    r.K_KLM_HH = 200;
    r.K_HM_Q_1 = 5000;
    r.K_RSL_NRN = 41090302;
    r.K_STA_NRN = 29014000;
    r.K_RESTLAENGE_3 = 250;
    SetChain({{61114000}, {77014000}, {78014000}, {65014000}, {66014500}, {70014000}, {76014000}, {76914000},
              {29014000}, {91014000}, {41090302}});
}

// Y walk with a second side (letter 5 "D"): strut 34 with its display
// number, the 209 exchanged with the part below, 202, 272, 162 and a
// dynamic clamp 37.
inline void DynamicFrame() {
    BaseRecord("DEMO-DF", 320, 6);
    auto& r = ConstructionRecord;
    SetArrangement("SSHYDSBS");
    r.K_S_Y_KZ = false;
    r.K_LAST = 30;
    r.K_LAST_DYN_2 = 45;
    r.K_LAST_DYN_3 = 60;
    r.K_WEG_X = 25;
    r.K_WEG_Y = 20;
    r.K_RDM = 114.3;
    r.K_TEM = 300;
    r.K_BREITE = 1200;
    r.K_HM_Q_1 = 6000;
    r.K_HM_Q_2 = 6100;
    r.K_RSL_NRN = 37090302;
    r.K_STA_NRN = 34030010;
    r.K_RESTLAENGE_1 = 380;
    r.K_RESTLAENGE_2 = 90;
    SetChain({{35003000}, {20914000}, {34030010}, {20214000}, {27214000}, {16214315}, {37090302}});
    PutTextField(BridgeRecords.Items[5].Dimension, 4, QStringLiteral("0750"));
}

// D walk with the pin pair (798 with its 796, 794, 791), a weld plate 740,
// a coupled clamp 45 (second leg) and the H-D-L-D rod text.
inline void PairedLegs() {
    BaseRecord("DEMO-PL", 170, 4);
    auto& r = ConstructionRecord;
    SetArrangement("THHADLDS");
    r.K_S_Y_KZ = true;
    r.K_HD_KZ = true;
    r.K_LAST = 16;
    r.K_RDM = 114.3;
    r.K_TEM = 220;
    r.K_BLOCKIER = 40;
    r.K_BREITE = 800;
    r.K_BREITE_2 = 160;
    r.K_HM_Q_1 = 4500;
    r.K_HM_Q_2 = 4550;
    r.K_RSL_NRN = 45090302;
    r.K_STA_NRN = 79814000;
    r.K_RESTLAENGE_1 = 310;
    r.K_RESTLAENGE_2 = 320;
    r.K_RESTLAENGE_5 = 330;
    SetChain({{74014000}, {79114000}, {79414000}, {79814000}, {60014000}, {66014500}, {61014000}, {45090302}});
}

// Rigid rod hanger, loads printed in kg (unit code B), German.
inline void RigidRod() {
    BaseRecord("DEMO-RR", 102, 21);
    auto& r = ConstructionRecord;
    SetArrangement("SHHAESBS");
    r.PrintUnitChar = 'B';
    r.K_S_Y_KZ = true;
    r.K_LAST = 7.5;
    r.K_LAST_BLOK = 7.5;
    r.K_HYDRO_LAST = 11.25;
    r.K_WEG_X = 3;
    r.K_WEG_Y = 2;
    r.K_RDM = 88.9;
    r.K_DAEMMST = 80;
    r.K_TEM = 150;
    r.K_HM_Q_1 = 3200;
    r.K_BREITE = 0;
    r.K_NAHT = QStringLiteral(" ");
    r.K_RSL_NRN = 43080302;
    r.K_STA_NRN = 66012500;
    r.K_RESTLAENGE_1 = 1860;
    SetChain({{75012000}, {61012000}, {66012500}, {60012000}, {43080302}});
}

// The trapeze in inches and pounds on the imperial catalogue, German: two
// steel elevations as feet-inch texts (letter 5 "D").
inline void TrapezeDWalkImperial() {
    TrapezeDWalk();
    auto& r = ConstructionRecord;
    r.PrintUnitChar = 'C';
    r.K_KATA_KZ = true;
    r.K_HI_Q_F_1 = QStringLiteral("13'-1 1/2\"");
    r.K_HI_Q_F_2 = QStringLiteral("13'-5 7/16\"");
    r.K_WEG_Z = 50.8;
    r.K_ARBWEG = 127;
    r.K_HYDRO_LAST = 21;
    r.K_LAST_BLOK = 13.5;
    r.K_NAHT = QStringLiteral("0,25");
    CalcGlobals.WeldValue = 1.125;
}

inline const std::vector<Scenario>& Scenarios() {
    static const std::vector<Scenario> list = {
        {"spring_hanger_de", 1, SpringHanger},       {"spring_hanger_en", 2, SpringHanger},
        {"constant_hanger_imperial_en", 2, ConstantHangerImperial},
        {"rigid_strut_de", 1, RigidStrut},           {"shock_absorber_en", 2, ShockAbsorber},
        {"cold_support_de", 1, ColdSupport},         {"base_clamp_en", 2, BaseClamp},
        {"trapeze_d_walk_en", 2, TrapezeDWalk},      {"trapeze_t_walk_de", 1, TrapezeTWalk},
        {"plates_profiles_en", 2, PlatesAndProfiles}, {"dynamic_frame_de", 1, DynamicFrame},
        {"paired_legs_en", 2, PairedLegs},           {"rigid_rod_de", 1, RigidRod},
        {"trapeze_d_walk_imperial_de", 1, TrapezeDWalkImperial},
    };
    return list;
}

}  // namespace pmlfixture
