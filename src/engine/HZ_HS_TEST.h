#pragma once
// The rod-length routines of the dynamic walk: each takes the rod
// CurrentRodLength of load group ClampLoadGroup and chooses the unit that
// bridges it (replacing the chain's rod marker 390), or reports the range
// the rod must lie in. Answers in TableStatus and MessageNumber; the rod
// walk acts on them.
void SelectStrokeUnit();
void FitMainUnitHeight();
void SelectStrut();
void SelectAdjustableUnit();
// Spring of an arrangement with letter 4 'G': its load variation and rod.
void CheckSpringHanger();
