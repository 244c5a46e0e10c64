#pragma once
// Access unit of the text table Txttab.DB (texts, load groups, profiles).
// Every read sees only the rows of the kind in TextRecord.TXT_KZ.
//   "RD" 2  number TXT_NR exactly            "S1" 5  first value at or above TXT_NUM
//   "S " 3  start at TXT_NR                  "R1" 6  next value (not found at the end)
//   "RN" 4  next number
// "OI" is recognised but answered like a code the unit does not serve (99).
#include "data/TableAccess.h"
#include <QString>
#include <cstdint>

struct TTextRecord : AccessFlags {
    int16_t TXT_NR = 0;  // key of "RD", "S ", "RN"; number out
    QString TXT_TEXT;    // up to 255 characters
    char TXT_KZ[3];      // the kind to read: "LGC", "LGD", "PRF" ...
    double TXT_NUM = 0;  // key of "S1", "R1"; value out
    QString KindFilter;  // the kind filter of the last dispatch, for display

    TTextRecord();
};

extern TTextRecord TextRecord;

void TxttabRead();       // "RD"
void TxttabStart1();     // "S1"
void TxttabReadNext1();  // "R1"
int16_t TxttabDispatch(const char* opCode);
