#pragma once
#include <cstdint>
// Turning a wanted product number (CalcGlobals.SearchKey) into a catalogue
// row, recording found parts, summing their weights and keeping the tally of
// accessory pieces per size. Results in TableStatus (0 found, 1 failure,
// 6 abort) and MessageNumber; the row is in PgstatRecord or PgdynaRecord.

void FindStaticProduct();
void FindDynamicProduct();
void FindStaticProductByWidth();
void FindStaticProductByDimension();
void AddStaticPart();
void TallyAccessories();
// Takes back count pieces of the size kind from the tally, as when a part
// that was tallied leaves the chain; an emptied size frees its slot.
void TakeBackAccessories(int16_t kind, int32_t count);
void CorrectAccessoryTally();
void AddPartWeight();
