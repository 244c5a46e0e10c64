#pragma once
// The load groups of the support against the hydrotest load K_HYDRO_LAST,
// from the hydrotest capacities of the text table (kind "LGF", number =
// load group). TableStatus 1 with MessageNumber 2739 when a group is too
// weak; unchanged otherwise. Sets DesignLoad to half the hydrotest load on
// the paths that test the half.
void CheckLoadGroup();
