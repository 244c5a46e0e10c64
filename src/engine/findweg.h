#pragma once
// The two geometric steps before any part is chosen: the support's total
// height and segment heights, and the travel and rod-angle checks with the
// effective vertical travel. They read no table.

// TableStatus 0, or 1 with MessageNumber 2615 (total height with the
// vertical travel below 0) or 7201 (more segment heights than slots).
void ComputeTotalHeight();

// Leaves TableStatus as it is, or sets 6 (stop: MessageNumber 2717 for a
// rod length 0, 1625 when the engineer stopped at a question) or 8 (travel
// angle above 6 degrees: MessageNumber 2606). Questions and notes go to the
// active selection interface.
void CheckTravel();

// The angle of a travel t on a rod of length l, in degrees, by the series
// the checks use.
long double TravelAngle(long double t, long double l);
// The angle of the hanger rod over both travels.
long double RodAngle(long double x, long double y, long double l0);
