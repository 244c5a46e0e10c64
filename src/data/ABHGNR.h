#pragma once
// The current support configuration, copied from the current row of
// ABHGNR.DB; the caller positions the table first.
struct TArrangementRecord {
    char A_NAME[8];           // one letter per position, blanks beyond the name
    char A_LFD_BT[16][3];     // A_LFD_BT1 .. A_LFD_BT16 as 3 zoned digits
    char A_BER[1];            // area letter, blank when empty

    TArrangementRecord();
};

extern TArrangementRecord ArrangementRecord;

void LoadArrangement();
