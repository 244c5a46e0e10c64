#pragma once
// Access unit of the pipe diameters Durdat.DB.
//   "RD" 1  diameter D_R_DM exactly           "C " 4  close the table
//   "S1" 2  first code at or above D_R_DM_KZ  "OI" 5  open the table
//   "RN" 3  next diameter (order D_R_DM)      "S " 6  start at D_R_DM
//   "R1" 7  next row in code order             "RX" 8  first row whose
//                                                     D_MAX_ABS >= D_R_DM
#include "data/TableAccess.h"
#include <cstdint>

struct TDurdatRecord : AccessFlags {
    double D_R_DM = 0;  // key of "RD", "S ", "RN", "RX"
    double D_R_DI = 0;
    double D_MIN_ABS = 0;
    double D_MAX_ABS = 0;
    int16_t D_R_DM_KZ = 0;  // key of "S1", "R1"
    double D_EMIN_MM = 0;
    double D_EMAX_MM = 0;
    int16_t D_NENNWTE = 0;
    double D_NENN_INCH = 0;
    char D_LG_KZ[1] = {' '};
};

extern TDurdatRecord DurdatRecord;

void DurdatStart1();     // "S1"
void DurdatReadNext();   // "RN"
void DurdatStart();      // "S "
void DurdatReadNext1();  // "R1"
void DurdatReadAbove();  // "RX"
int16_t DurdatDispatch(const char* opCode);
