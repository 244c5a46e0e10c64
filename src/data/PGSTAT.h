#pragma once
// Access unit of the main product table Pgstat.DB.
//
//   PgstatRecord.STA_NRN = key;
//   PgstatStart(); PgstatReadNext();   // first product at or above the key
//   PgstatRead();                      // the product with exactly this number
//   PgstatReadPrior();                 // the product below this number
//
// CalcGlobals.TableStatus: 0 delivered, else the operation's number.
#include "data/TableAccess.h"
#include <QString>
#include <cstdint>

struct TPgstatRecord : AccessFlags {
    double STA_NRN = 0;     // key in, product number out
    char STA_KBEZ[4];       // type code (imperial catalogue: STA_KBEZ_I)
    char STA_L_NR[6];       // article number (imperial: STA_L_NR_I)
    char STA_L_NR_K[6];     // nuclear article number (imperial: STA_L_NR_K_I)
    int16_t STA_WST = 0;
    int16_t STA_WST_UNC = 0;
    int16_t STA_WST_CN = 0;
    double ArticlePrice = 0;   // price of STA_L_NR
    double ArticlePriceK = 0;  // price of STA_L_NR_K
    int16_t STA_E = 0;
    int16_t STA_X = 0;
    double STA_GEW = 0;
    int16_t STA_ADM = 0;
    int16_t STA_BREITE = 0;
    int16_t STA_BREITE_M = 0;
    double STA_GEW_VER = 0;
    QString STA_BTL_ZUS;
    QString STA_SM_TABLE;
    int16_t STA_L_ZUS = 0;
    bool STA_HD_KZ = false;

    TPgstatRecord();
};

extern TPgstatRecord PgstatRecord;

void PgstatStart();       // "S "  3
void PgstatReadNext();    // "RN"  4
void PgstatRead();        // "RD"  2
void PgstatReadPrior();   // "RR"  5
// The dispatcher: the status of the code (0, its number, or 99).
int16_t PgstatDispatch(const char* opCode);

// The row copy, exposed for the price run and the tests.
void CopyPgstatRecord(TTable& t);
