#pragma once
// Selection of the load-carrying main unit and its load groups. The driver
// calls exactly one member per pass, chosen by the arrangement letters; each
// reports through TableStatus (0 success, 1 failure) and MessageNumber.

void SelectMainUnitDefault();
void SelectMainUnitY();
void SelectMainUnitC();
void SelectMainUnitG();
// Spring hanger first, constant hanger when no spring fits; then the finish
// (product row, load groups, blocking position).
void SelectHanger();
// Checks the hanger type pre-selected by the engineer, then the finish.
void SelectPreselectedHanger();
// Settles the blocking position of a constant hanger once per selection.
void AskBlockingPosition();

// Load-group scan: the first row of kind at or above q whose capacity is at
// least compared. False (MessageNumber 2172, TableStatus 1) when the rows
// run out.
bool ScanLoadGroup(const char* kind, long double q, long double compared);
// Sets the kind of the text table's reads.
void SetTextKind(const char* kind);
