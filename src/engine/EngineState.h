#pragma once
// Shared helpers of the selection steps: the arrangement letters, message
// texts, the product number being worked on, the per-selection state that
// the calculation block does not hold, and checked access to the fixed
// tables of the calculation state.
#include "data/GlobalFuncs.h"
#include "platform/Numbers.h"

#include <QString>
#include <cstdint>
#include <stdexcept>

// Letter n (1..8) of the arrangement name, and the area letter.
char Letter(int n);
char AreaLetter();

// text(n): the string-table text of a message number, translated.
QString MessageText(int number);

// Ends the running step: the driver turns it into a failure with this
// message number, never into memory past a table's end or a division by 0.
class EngineStepError : public std::runtime_error {
public:
    explicit EngineStepError(int number) : std::runtime_error("selection step failed"), m_number(number) {}
    int Number() const { return m_number; }

private:
    int m_number;
};

// Message numbers of faults the steps refuse instead of computing through.
constexpr int MsgSegmentOverflow = 7201;       // more segment heights than slots
constexpr int MsgLoadVariationUndefined = 7202;  // reference load 0
constexpr int MsgBlockingOutOfRange = 7203;    // a blocking position outside the working range
constexpr int MsgAccessorySlotsFull = 7204;    // a fourth accessory size
constexpr int MsgTableIndexOutOfRange = 7205;  // an index outside a fixed table
constexpr int MsgPreselectedRangeDigit = 7206;  // a constant hanger range digit outside 2..7
constexpr int MsgRodLengthZero = 2717;

// Checked access: an index outside the table ends the step.
ChainPart& ChainPartAt(int index);          // 1..40 (entry 1 is the first)
int32_t& RodLengthAt(int index);            // 1..5
int16_t& SizeDimensionAt(int index);        // 1..16
int32_t& SegmentHeightAt(int index);        // 1..5

// The product number being worked on (CalcGlobals.SearchKey) as a number
// and as its 8 digits.
void SetSearchKey(int32_t number);
int32_t SearchKeyNumber();
QString SearchKeyText();
// Digit n (1..8) of the search key as a value 0..9.
int SearchKeyDigit(int n);

// State of one selection that only the engine reads.
struct SelectionState {
    // The engineer saved a blocking position in the dialog in this selection.
    bool BlockingPositionSaved = false;
    // The clamp pre-pass added a clamp weight to the design load.
    bool ClampWeightAdded = false;
    // The main unit the saved position belongs to.
    double SavedBlockingUnit = 0;
    // Notes the component step counts for the PTFE note.
    int PtfeNoteCount = 0;
    void Reset() { *this = SelectionState(); }
};
extern SelectionState EngineState;
