#pragma once
// Access unit of the dynamic units' table Pgdyna.DB ("RD" 2, "S " 3, "RN" 4;
// key PgdynaRecord.DYN_NRN).
#include "data/TableAccess.h"
#include <QString>
#include <cstdint>

struct TPgdynaRecord : AccessFlags {
    double DYN_NRN = 0;
    char DYN_KBEZ[4];
    char DYN_L_NR[6];
    char DYN_L_NR_K[6];
    char DYN_L_NR_CN[6];
    int16_t DYN_WST = 0;
    int16_t DYN_WST_UNC = 0;
    int16_t DYN_WST_CN = 0;
    int16_t DYN_E = 0;
    double DYN_GEW = 0;
    double ArticlePrice = 0;
    double ArticlePriceK = 0;
    bool DYN_BK_KZ = false;  // the column's text is "J"
    int16_t DYN_LG_MIN = 0;
    int16_t DYN_LG_MAX = 0;
    int16_t DYN_E_MIN = 0;
    int16_t DYN_E_MAX = 0;
    int16_t DYN_VERST = 0;
    int16_t DYN_HUB = 0;
    int16_t DYN_LAMBDA = 0;
    double DYN_PARA_A = 0;
    double DYN_PARA_B = 0;
    double DYN_KRAFT = 0;
    double DYN_GEW_VER = 0;
    int16_t DYN_M_MIN = 0;
    int16_t DYN_M_MAX = 0;
    QString DYN_SM_TABLE;
    char PresetLoadText[9];  // "000000" blank-padded after every copy
    int16_t PresetLoadCount = 0;
    bool DYN_VGB_KZ = false;

    TPgdynaRecord();
};

extern TPgdynaRecord PgdynaRecord;

void PgdynaRead();      // "RD"
void PgdynaStart();     // "S "
void PgdynaReadNext();  // "RN"
int16_t PgdynaDispatch(const char* opCode);
