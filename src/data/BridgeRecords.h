#pragma once
// The fixed-width interchange block that the parts composition fills and
// the output writers and the support record transfers read. Text fields
// are char arrays without terminator, left-aligned and blank-padded.
#include <QString>
#include <array>
#include <cstdint>

struct BridgeItem {
    char PartNumber[9];  // 8 characters, then a blank
    char Dimension[5];   // 4 digits, then a blank
    char Position[3];    // 2 digits, then a blank
};

struct TBridgeRecords {
    std::array<BridgeItem, 30> Items;
    char ProgramDir[260];
    int32_t ResInt1;          // K_RES_INT1
    int32_t ResInt2;          // K_RES_INT2
    int32_t ResNum1;          // K_RES_NUM1
    float ResNum2;            // K_RES_NUM2
    char ArrangementLetter[2];  // K_ABHG_KZ
    char ClampFlag[2];        // K_RSRL_KZ (first character)
    char BthAufges[5];        // K_BTH_AUFGES
    char TotalHeight[7];      // K_HOEHE_GES in mm
    char TotalHeightFeetInch[12];  // K_GES_HOEHE_I
    char RohrKorr[7];         // K_ROHR_KORR
    char Text823[2];
    char UnitLetter;          // 'U' imperial catalogue, else 'M'
    char Numbers[3][8];
    char Texts[3][14];
    bool DrehungAs;           // K_DREHUNG_AS
    bool DrehungStahl;        // K_DREHUNG_STAHL
    bool DrehungKh;           // K_DREHUNG_KH
    bool DrehungS;            // K_DREHUNG_S
    bool Flag899;
    bool Flag900;
    char Text901[6];
    char Text907[2];
    std::array<int32_t, 13> Integers;  // 1 K_DAEMMST, 2 K_BREITE, 10 K_RDM, 11 K_BLOCKIER
    std::array<double, 5> Floats;

    TBridgeRecords() { Clear(); }
    // The blank fill: items "00000000", "0000", "00"; the program
    // directory as given.
    void Clear(const QString& programDir = {});
};

extern TBridgeRecords BridgeRecords;
