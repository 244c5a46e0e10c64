#pragma once
// Access unit of the temperature classes Temdat.DB.
//   "RD" 1  class T_KLASSE exactly          "C " 4  close the table
//   "S1" 2  first class at or above T_TEMP   "OI" 5  open the table
//   "RN" 3  next class (order T_KLASSE)      "S " 6  start at T_KLASSE
//   "R1" 7  next class in temperature order, whatever its temperature
#include "data/TableAccess.h"
#include <cstdint>

struct TTemdatRecord : AccessFlags {
    int16_t T_KLASSE = 0;  // key of "RD", "S ", "RN"; class out
    double T_TEMP = 0;     // key of "S1", "R1"; temperature out
};

extern TTemdatRecord TemdatRecord;

void TemdatRead();       // "RD"
void TemdatStart1();     // "S1"
void TemdatReadNext1();  // "R1"
// Any code, also those no entry routine sends ("RN", "C ", "OI", "S ").
int16_t TemdatDispatch(const char* opCode);
