#pragma once
// The two-letter access protocol of the catalogue tables, shared by every
// access unit.
//
// A caller writes the key into the unit's record and calls an entry
// routine; the routine writes its code into CalcGlobals.TableOpCode, the
// unit's dispatcher looks the code up in the unit's operation table, runs
// the operation's positioning routine and CalcGlobals.TableStatus receives
// 0 (row delivered), the operation's number (not found) or 99 (a code the
// unit does not serve).
//
// A unit is a traits type that names its table, its flags, its record copy
// and its operation table (and, optionally, a Prepare() run before every
// served operation):
//
//   struct PgstatUnit {
//       static TTable& Table();
//       static AccessFlags& Flags();
//       static void Copy(TTable&);
//       static std::span<const TableOperation> Operations();
//   };
//
// The positioning routines are the templates below, bound to a CursorKey that
// says which index, which key column and which record field form the key.
#include "data/CblTools.h"
#include "data/GlobalFuncs.h"
#include "platform/Table.h"
#include <QString>
#include <algorithm>
#include <cstdint>
#include <span>

constexpr int16_t OpNotServed = 99;

// The positioning state of a unit. PositionedFlag belongs to "RN",
// PositionedFlag1 to "R1" of the temperature and diameter tables (the text
// table's "R1" shares PositionedFlag with its "RN"); PositionedFlag2 is
// cleared with them and has no reader.
struct AccessFlags {
    bool NotFoundFlag = false;
    bool PositionedFlag = false;
    bool PositionedFlag2 = false;
    bool PositionedFlag1 = false;
    void ClearPositioned() { PositionedFlag = PositionedFlag2 = PositionedFlag1 = false; }
};

struct TableOperation {
    char code[3];         // two letters and a terminator: "S ", "RN" ...
    int16_t number;       // TableStatus when not found
    void (*position)();   // nullptr: recognised, but answered like an unknown code
};

// How a row's key is compared with the wanted key.
enum class KeyCompare { Integer, Float };

struct CursorKey {
    const char* index;       // the index of the operation; nullptr keeps the current one
    bool indexByName;        // index name ("T_TEMP_KEY") or field list ("STA_NRN")
    const char* field;       // the key column
    KeyCompare compare;
    double (*key)();         // the wanted key, read from the unit's record
};

// The number of the code in the table, or 99; runs the operation and turns
// the not-found flag into the answer.
// prepare runs before a served operation (nullptr: nothing).
int16_t DispatchOperation(std::span<const TableOperation> ops, const char* opCode, AccessFlags& flags,
                          void (*prepare)() = nullptr);

// Writes the code blank-padded into CalcGlobals.TableOpCode.
void WriteOpCode(const char* code);

// The body of every entry routine: returns the status it stores.
template <class Unit>
int16_t RunAccess(const char* code) {
    WriteOpCode(code);
    void (*prepare)() = nullptr;
    if constexpr (requires { Unit::Prepare(); })
        prepare = &Unit::Prepare;
    CalcGlobals.TableStatus = DispatchOperation(Unit::Operations(), CalcGlobals.TableOpCode, Unit::Flags(), prepare);
    return CalcGlobals.TableStatus;
}

// --- building blocks of the positioning routines -------------------------

void UseIndex(TTable& t, const CursorKey& k);
// Key mode, key field := the wanted key, nearest row at or above it.
void GotoNearestKey(TTable& t, const CursorKey& k);
// True when the current row's key is below the wanted key (also for an
// empty table, whose key reads as 0 below a positive key).
bool RowBelowKey(TTable& t, const CursorKey& k);

// --- positioning routines ---------------------------------------------------

// "RD": the row whose key column equals the key, copied.
template <class Unit, const CursorKey& K>
void OpReadExact() {
    TTable& t = Unit::Table();
    if (t.Locate(QString::fromLatin1(K.field), {K.key()}))
        Unit::Copy(t);
    else
        Unit::Flags().NotFoundFlag = true;
}

// "RR": the row before the one whose key equals the key. At the first row
// there is no row before it: not found.
template <class Unit, const CursorKey& K>
void OpReadPrior() {
    TTable& t = Unit::Table();
    if (t.Locate(QString::fromLatin1(K.field), {K.key()}) && t.Prior())
        Unit::Copy(t);
    else
        Unit::Flags().NotFoundFlag = true;
}

// "S " and "S1": go to the nearest row; nothing is copied.
template <class Unit, const CursorKey& K>
void OpStart() {
    TTable& t = Unit::Table();
    UseIndex(t, K);
    GotoNearestKey(t, K);
    Unit::Flags().ClearPositioned();
    if (RowBelowKey(t, K))
        Unit::Flags().NotFoundFlag = true;
}

// Moves to the row a read delivers: the nearest row on the first read after
// a start, else the next one. False past the last row.
template <class Unit, const CursorKey& K, bool AccessFlags::*Positioned>
bool StepToReadRow(TTable& t) {
    UseIndex(t, K);
    AccessFlags& f = Unit::Flags();
    if (f.*Positioned)
        return t.Next();
    GotoNearestKey(t, K);
    f.*Positioned = true;
    return !t.IsEmpty();
}

// "RN" (and "R1" of the text table): the next row, copied when its key is at
// or above the key; not found past the last row or below the key.
template <class Unit, const CursorKey& K, bool AccessFlags::*Positioned = &AccessFlags::PositionedFlag>
void OpReadNext() {
    TTable& t = Unit::Table();
    if (StepToReadRow<Unit, K, Positioned>(t) && !RowBelowKey(t, K))
        Unit::Copy(t);
    else
        Unit::Flags().NotFoundFlag = true;
}

// "R1" of the temperature and diameter tables: the row reached, copied
// whatever its key. The first read after a start stays on the last row when
// every key is below the wanted one (the highest class is what the caller
// needs); only a read past the last row, or in an empty table, is not found.
template <class Unit, const CursorKey& K>
void OpReadNextAny() {
    TTable& t = Unit::Table();
    if (StepToReadRow<Unit, K, &AccessFlags::PositionedFlag1>(t))
        Unit::Copy(t);
    else
        Unit::Flags().NotFoundFlag = true;
}

// "RX": the first row whose key is at or above the wanted one, copied; not
// found when every key is below it.
template <class Unit, const CursorKey& K>
void OpReadNearest() {
    TTable& t = Unit::Table();
    UseIndex(t, K);
    GotoNearestKey(t, K);
    if (t.IsEmpty() || RowBelowKey(t, K))
        Unit::Flags().NotFoundFlag = true;
    else
        Unit::Copy(t);
}

// "OI" and "C ".
template <class Unit>
void OpOpen() {
    Unit::Table().Open();
    Unit::Flags().ClearPositioned();
}
template <class Unit>
void OpClose() {
    Unit::Table().Close();
}

// --- record copies ------------------------------------------------------------

// Reads the current row's columns by name for a record copy; NULL reads as
// 0, empty text or false.
class RowReader {
public:
    explicit RowReader(TTable& t) : m_t(t) {}
    double F(const QString& column) const;
    int16_t S(const QString& column) const;  // also 32-bit columns taken as 16-bit
    int32_t I(const QString& column) const;
    bool L(const QString& column) const;
    QString T(const QString& column) const;
    template <std::size_t N>
    void Text(char (&field)[N], const QString& column) const {
        PutText(field, T(column));
    }
    // Column names given as literals are found without building a QString.
    double F(const char* column) const;
    int16_t S(const char* column) const;
    int32_t I(const char* column) const;
    bool L(const char* column) const;
    QString T(const char* column) const;
    template <std::size_t N>
    void Text(char (&field)[N], const char* column) const {
        PutText(field, T(column));
    }

private:
    TTable& m_t;
};

// Blank-fills a fixed-width text field.
template <std::size_t N>
void BlankText(char (&field)[N]) {
    std::fill(field, field + N, ' ');
}

// Remembers whether a table is open and its filter (text, bound values and
// whether it is on), and puts them back when it goes out of scope, also
// when an exception leaves the scope.
class TableStateGuard {
public:
    explicit TableStateGuard(TTable& t);
    ~TableStateGuard();
    TableStateGuard(const TableStateGuard&) = delete;
    TableStateGuard& operator=(const TableStateGuard&) = delete;

private:
    TTable& m_t;
    bool m_active;
    bool m_filtered;
    QString m_filter;
    QVariantList m_params;
};
