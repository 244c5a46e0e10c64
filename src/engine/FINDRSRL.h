#pragma once
// The pipe clamp or bearing of a support from the clamp table, with its
// insulation, temperature and load checks, and the special supports that
// take a clamp's place: cold-support parts, pipe bearings, horizontal
// clamps on a slide plate, and the guides of a guided bearing. Results in
// TableStatus (0 chosen, 1 failed, 6 aborted, 8 raise the load groups) and
// MessageNumber; the chosen row is in PgrsrlRecord (PgcoolRecord).

void SelectClamp();
// The current clamp row at width step BlockingRangeMin against the load:
// TableStatus 0 fits, 1 does not.
void CheckClampLoad();
void RaiseClampCapacity();
void ReduceClampCapacity();
void ScaleClampCapacityCn();
void RestoreTemperatureClass();

void SelectColdComponent();
void SelectPipeBearing();
void SelectHorizontalClamp();
// Called right after a clamp of the R walk; quantity = multiplicity.
void AddLiftOffGuard(int multiplicity);
void AddLateralGuide(int multiplicity);

// Per-selection values of the clamp step (answers remembered between
// questions, the clamp material choice).
void ResetClampState();
// The walk's position index, read by SelectColdComponent.
void SetColdPositionIndex(int index);
