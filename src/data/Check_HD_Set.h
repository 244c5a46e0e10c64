#pragma once
// Writes the hot-dip galvanising choice of one product type into
// CalcGlobals.HDFlags (position 1..35) and into the catalogue rows of that
// type, so that the selection offers the galvanised variant.
//
// The tables are left open or closed, and filtered or not, as they were
// found, also when a write fails (the database error then goes on).
#include <QString>

// Every Pgstat.DB row whose STA_KBEZ is the type code.
void SetHDFlagPgstat(const QString& typeCode, bool galvanised, int position);
// Every pgrsrsl.DB row whose RSL_KBEZ is the type code and whose
// galvanised variant exists (HD_KZ_ORG).
void SetHDFlagPgrsrsl(const QString& typeCode, bool galvanised, int position);

// Sets one position of the 35-character flag text ('1' or '0').
void SetHDFlagPosition(int position, bool galvanised);
