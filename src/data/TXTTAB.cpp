#include "data/TXTTAB.h"

#include "data/DBKON.h"

TTextRecord TextRecord;

TTextRecord::TTextRecord() { BlankText(TXT_KZ); }

namespace {

void CopyTextRecord(TTable& t) {
    const RowReader in(t);
    TextRecord.TXT_NR = in.S("TXT_NR");
    TextRecord.TXT_NUM = in.F("TXT_NUM");
    TextRecord.TXT_TEXT = in.T("TXT_TEXT").left(255);
}

const QString KindExpression = QStringLiteral("TXT_KZ = ?");

// The kind goes in as a bound value, never into the filter's text. The
// filter is set again only when the kind changed or someone replaced it.
void ApplyKindFilter() {
    static QString appliedKind;
    const QString kind = FieldText(TextRecord.TXT_KZ);
    TTable& t = DBKONST->TXTTAB;
    const bool ours = t.Filtered() && t.Filter() == KindExpression;
    if (ours && appliedKind == kind)
        return;
    t.SetFilter(KindExpression, {kind.trimmed()});
    if (!ours)
        t.SetFiltered(true);
    appliedKind = kind;
}

template <void (*Op)()>
void WithKindFilter() {
    ApplyKindFilter();
    Op();
}

const CursorKey NumberExact{nullptr, false, "TXT_NR", KeyCompare::Integer,
                          [] { return double(TextRecord.TXT_NR); }};
const CursorKey NumberKey{"TXT_NR_KEY", true, "TXT_NR", KeyCompare::Integer,
                        [] { return double(TextRecord.TXT_NR); }};
const CursorKey ValueKey{"TXT_KEY_NUM", true, "TXT_NUM", KeyCompare::Float,
                       [] { return TextRecord.TXT_NUM; }};

struct TxttabUnit {
    static TTable& Table() { return DBKONST->TXTTAB; }
    static AccessFlags& Flags() { return TextRecord; }
    static void Copy(TTable& t) { CopyTextRecord(t); }
    static std::span<const TableOperation> Operations();
};

const TableOperation TxttabOps[] = {
    {"RD", 2, &WithKindFilter<&OpReadExact<TxttabUnit, NumberExact>>},
    {"S ", 3, &WithKindFilter<&OpStart<TxttabUnit, NumberKey>>},
    {"RN", 4, &OpReadNext<TxttabUnit, NumberKey>},
    {"S1", 5, &WithKindFilter<&OpStart<TxttabUnit, ValueKey>>},
    {"R1", 6, &OpReadNext<TxttabUnit, ValueKey>},
    {"OI", OpNotServed, nullptr},
};

std::span<const TableOperation> TxttabUnit::Operations() { return TxttabOps; }

}  // namespace

namespace {

// Every dispatch, whatever its code, first shows the kind it was called
// with; only the starts and the exact read also filter by it.
int16_t RunWithKind(const char* opCode) {
    TextRecord.KindFilter = QStringLiteral("TXT_KZ = '%1'").arg(FieldText(TextRecord.TXT_KZ));
    return RunAccess<TxttabUnit>(opCode);
}

}  // namespace

void TxttabRead() { RunWithKind("RD"); }
void TxttabStart1() { RunWithKind("S1"); }
void TxttabReadNext1() { RunWithKind("R1"); }
int16_t TxttabDispatch(const char* opCode) { return RunWithKind(opCode); }
