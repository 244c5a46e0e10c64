#pragma once
// Access unit of the clamp and bearing table pgrsrsl.DB ("RD" 2, "S " 3,
// "RN" 4; key PgrsrlRecord.RSL_NRN). Rows of the extended load range
// (RSL_EXTRA not 0) are visible only while CalcGlobals.ExtendedLoadOption is
// on; the option is read at every access, and the condition is combined with
// any filter another caller has set on the table.
#include "data/TableAccess.h"
#include <QString>
#include <array>
#include <cstdint>

struct TPgrsrlRecord : AccessFlags {
    double RSL_NRN = 0;
    QString RSL_KBEZ;  // variant clamps: "4921", "4920", "493", "494"
    char RSL_L_NR[6];
    char RSL_L_NR_K[6];
    char RSL_L_NR_CN[6];
    int16_t RSL_WST = 0;
    int16_t RSL_WST_UNC = 0;
    int16_t RSL_WST_CN = 0;
    int32_t RSL_E = 0;
    int16_t RSL_A = 0;
    int16_t RSL_B = 0;
    int16_t RSL_LG_VON = 0;
    int16_t RSL_LG_BIS = 0;
    std::array<int16_t, 5> RSL_LG{};     // RSL_LG_1 .. RSL_LG_5 (lengths)
    std::array<double, 5> RSL_KRAFT{};   // RSL_KRAFT_1 .. _5
    std::array<double, 5> RSL_GEW{};     // RSL_GEW_1 .. _5
    std::array<double, 5> LengthPrice{};   // price of RSL_L_NR per length
    std::array<double, 5> LengthPriceK{};  // price of RSL_L_NR_K per length
    bool RSL_KOP_KZ = false;
    int16_t RSL_DAEMM_H = 0;
    std::array<double, 5> RSL_KRAFT_INT{};
    std::array<double, 5> RSL_HYD_LST{};
    QString RSL_SM_TABLE;
    char PresetLoadText[9];
    int16_t PresetLoadCount = 0;
    bool RSL_VGB_KZ = false;
    bool RSL_HD_KZ = false;

    TPgrsrlRecord();
};

extern TPgrsrlRecord PgrsrlRecord;

void PgrsrlRead();      // "RD"
void PgrsrlStart();     // "S "
void PgrsrlReadNext();  // "RN"
int16_t PgrsrlDispatch(const char* opCode);

// Sets or lifts the condition that hides the extended-load rows, as the
// option stands now, keeping the filter another caller has set: with the
// option off both hold, with it on the caller's filter is as it was set.
void ApplyExtendedLoadFilter(TTable& pgrsrl);
