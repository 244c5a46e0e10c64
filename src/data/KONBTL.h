#pragma once
// The parts list of the current support (PartsList): 24 rows whose columns
// match konbtl8, and its clear, load and save.
#include "data/ProjectSchemaFields.h"
#include <QString>
#include <cstdint>

class TTable;

constexpr int PartsListRows = 24;

#define PL_SCALAR_S(name) int16_t name;
#define PL_SCALAR_I(name) int32_t name;
#define PL_ROW_S(name) int16_t name[PartsListRows];
#define PL_ROW_I(name) int32_t name[PartsListRows];
#define PL_ROW_N(name) double name[PartsListRows];
#define PL_ROW_L(name) bool name[PartsListRows];
#define PL_ROW_A(name) QString name[PartsListRows];
#define PL_DECL_H(type, name) PL_SCALAR_##type(name)
#define PL_DECL_W(type, name) PL_ROW_##type(name)
#define PL_DECLARE(name, type, size, kind) PL_DECL_##kind(type, name)

// Header: RowCount, KB_F_NR_AUS (the drawing key), KB_LFD_ZNR (running
// number). Rows 1..24 are at index 0..23; KB_BTL_8 = 0 marks an empty row.
struct TPartsList {
    int16_t RowCount;
    KONBTL_COLUMNS(PL_DECLARE)

    TPartsList() { Clear(); }
    // Numbers 0, texts a single blank, KB_HD_KZ false.
    void Clear();
};

extern TPartsList PartsList;

void ClearPartsList();
// Reads the rows of the support named by CalcGlobals.DrawingKeyText (at
// most 24, in the table's order) from the project's konbtl8.
void LoadPartsList();
void LoadPartsList(TTable& konbtl);
// Appends the rows up to the first empty one; false, without touching the
// table, when the first row is empty.
bool SavePartsList();
bool SavePartsList(TTable& konbtl);

// The drawing key of a key text of digits; false for an empty or
// non-numeric text.
bool DrawingKeyFromText(const QString& text, int32_t& key);
