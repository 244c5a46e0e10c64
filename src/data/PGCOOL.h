#pragma once
// Access unit of the cold-support table PGCLDSTA.DB ("RD" 2, "S " 3, "RN" 4;
// key PgcoolRecord.CLD_NRN). Metric and imperial identifiers are copied
// side by side.
#include "data/TableAccess.h"
#include <QString>
#include <cstdint>

struct TPgcoolRecord : AccessFlags {
    double CLD_NRN = 0;
    char CLD_KBEZ[4];
    char CLD_KBEZ_I[4];
    char CLD_L_NR[6];
    char CLD_L_NR_K[6];
    char CLD_L_NR_I[6];
    char CLD_L_NR_K_I[6];
    int16_t CLD_WST = 0;
    int16_t CLD_WST_UNC = 0;
    double ArticlePrice = 0;
    double ArticlePriceK = 0;
    double CLD_KRAFT = 0;
    double CLD_GEW = 0;
    int16_t CLD_D_MIN = 0;
    int16_t CLD_D_MAX = 0;
    double CLD_GEW_MAX = 0;
    double CLD_KRAFT_S = 0;
    double CLD_KRAFT_F = 0;
    double CLD_GEW_VER = 0;
    double CLD_N = 0;
    double CLD_A = 0;
    double CLD_B = 0;
    QString CLD_SM_TABLE;

    TPgcoolRecord();
};

extern TPgcoolRecord PgcoolRecord;

void PgcoolRead();      // "RD"
void PgcoolStart();     // "S "
void PgcoolReadNext();  // "RN"
int16_t PgcoolDispatch(const char* opCode);
