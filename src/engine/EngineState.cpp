#include "engine/EngineState.h"

#include "data/ABHGNR.h"
#include "data/CblTools.h"
#include "localisation/IvDictio.h"

SelectionState EngineState;

char Letter(int n) {
    if (n < 1 || n > 8)
        throw EngineStepError(MsgTableIndexOutOfRange);
    return ArrangementRecord.A_NAME[n - 1];
}

char AreaLetter() { return ArrangementRecord.A_BER[0]; }

QString MessageText(int number) { return IvTranslate(ErrorTextByNumber(number)); }

namespace {

template <class Array>
auto& CheckedAt(Array& a, int index) {
    if (index < 1 || index > int(a.size()))
        throw EngineStepError(MsgTableIndexOutOfRange);
    return a[std::size_t(index - 1)];
}

}  // namespace

ChainPart& ChainPartAt(int index) { return CheckedAt(CalcGlobals.ChainPartTable, index); }
int32_t& RodLengthAt(int index) { return CheckedAt(CalcGlobals.RodLengths, index); }
int16_t& SizeDimensionAt(int index) { return CheckedAt(CalcGlobals.SizeDimensionTable, index); }
int32_t& SegmentHeightAt(int index) { return CheckedAt(CalcGlobals.SegmentHeights, index); }

void SetSearchKey(int32_t number) {
    const QByteArray digits = QString::number(number).rightJustified(8, QLatin1Char('0')).right(8).toLatin1();
    std::copy(digits.begin(), digits.end(), CalcGlobals.SearchKey);
}

QString SearchKeyText() { return QString::fromLatin1(CalcGlobals.SearchKey, 8); }

int32_t SearchKeyNumber() {
    int32_t n = 0;
    for (char c : CalcGlobals.SearchKey)
        n = n * 10 + (c >= '0' && c <= '9' ? c - '0' : 0);
    return n;
}

int SearchKeyDigit(int n) {
    if (n < 1 || n > 8)
        throw EngineStepError(MsgTableIndexOutOfRange);
    const char c = CalcGlobals.SearchKey[n - 1];
    return c >= '0' && c <= '9' ? c - '0' : 0;
}
