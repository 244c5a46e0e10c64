#pragma once
// The last step of a successful selection: the support's chain of product
// numbers (ConstructionRecord.K_BTL_8 / K_ANZ) becomes the parts list with
// article numbers, designations, dimension texts, quantities, materials,
// weights and prices, and the bridge records the output writer reads.
// Catalogue rows are read again by key; no table is changed.
#include <QString>
#include <cstdint>

// Fills PartsList and BridgeRecords from the chain. A chain needing more
// parts-list rows than the list holds ends the step with MsgPartsListFull.
void ComposeParts();

// The blank fill of the bridge records (items "00000000", "0000", "00").
void ClearBridgeRecords();

// The bridge form of a product number: digits 1-3, the size pair 4-5
// recoded ("09" -> "0C", "10" -> "0D", "11" -> "01" ... "24" -> "50"),
// digits 6-8.
QString BridgePartNumber(const QString& productNumber);
// Zero-padded text of at least 2 or 4 digits.
QString PadDigits2(int value);
QString PadDigits4(int value);
// The catalogue (article) number of a product number, read from the table
// its first digit chooses; the nuclear number with K_KERNTECH; "999999"
// when the row is missing.
QString LookupDisplayNumber(int32_t productNumber);
// A text into a fixed character array, blank-padded, cut at the width.
void MoveTextToChars(char* dest, int width, const QString& text);

// The hanger layout value the main-unit selection may set: 1 lists the
// rods and rod parts (types 660, 670, 640) twice. Reset with every
// selection's composition state.
struct CompositionState {
    int HangerLayout = 0;
};
extern CompositionState CompositionValues;

// A chain whose parts need more rows than the parts list holds.
constexpr int MsgPartsListFull = 7251;
