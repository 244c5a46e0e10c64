#pragma once
// The hanger sizings: spring hangers (tried first) and constant hangers,
// each with the check of a type the engineer pre-selected, and the blocking
// position and travel reserves of a constant hanger.
#include <cstdint>

// Spring-hanger sizing; hands over to ConstantHangerSizing when no spring
// fits. TableStatus 1 with its MessageNumber on failure.
void SpringHangerSizing();
void PreselectedSpringCheck();

void ConstantHangerSizing();
void PreselectedConstantCheck();
// Blocking position, travel reserves and blocking-range values of the
// constant hanger chosen last.
void ConstantBlockingPosition();

// Working travel of a constant hanger of capacity cmax (N) and nominal
// travel t at a load x (N).
long double ConstantWorkingTravel(long double x, long double cmax, long double t);

// Product numbers by the arrangement letters.
int32_t SpringHangerNumber(int size, int rangeIndex);
int32_t ConstantHangerNumber(int size, int rangeIndex);
// The row a constant hanger number is priced and dimensioned by: from
// 30,000,000 on digits 1, 3 and 7 become 1, 0 and 1.
int32_t ConstantPricingNumber(int32_t number);
