#include "data/PGDYNA.h"

#include "data/DBKON.h"
#include "data/PGCURE.h"

TPgdynaRecord PgdynaRecord;

TPgdynaRecord::TPgdynaRecord() {
    BlankText(DYN_KBEZ);
    BlankText(DYN_L_NR);
    BlankText(DYN_L_NR_K);
    BlankText(DYN_L_NR_CN);
    BlankText(PresetLoadText);
}

namespace {

void CopyPgdynaRecord(TTable& t) {
    const RowReader in(t);
    TPgdynaRecord& r = PgdynaRecord;
    r.DYN_NRN = in.I("DYN_NRN");
    in.Text(r.DYN_KBEZ, "DYN_KBEZ");
    in.Text(r.DYN_L_NR, "DYN_L_NR");
    in.Text(r.DYN_L_NR_K, "DYN_L_NR_K");
    in.Text(r.DYN_L_NR_CN, "DYN_L_NR_CN");
    r.DYN_WST = in.S("DYN_WST");
    r.DYN_WST_UNC = in.S("DYN_WST_UNC");
    r.DYN_WST_CN = in.S("DYN_WST_CN");
    r.DYN_E = in.S("DYN_E");
    r.DYN_GEW = in.F("DYN_GEW");
    r.DYN_BK_KZ = in.T("DYN_BK_KZ") == QLatin1String("J");
    r.DYN_LG_MIN = in.S("DYN_LG_MIN");
    r.DYN_LG_MAX = in.S("DYN_LG_MAX");
    r.DYN_E_MIN = in.S("DYN_E_MIN");
    r.DYN_E_MAX = in.S("DYN_E_MAX");
    r.DYN_VERST = in.S("DYN_VERST");
    r.DYN_HUB = in.S("DYN_HUB");
    r.DYN_LAMBDA = in.S("DYN_LAMBDA");
    r.DYN_PARA_A = in.F("DYN_PARA_A");
    r.DYN_PARA_B = in.F("DYN_PARA_B");
    r.DYN_KRAFT = in.F("DYN_KRAFT");
    r.DYN_GEW_VER = in.F("DYN_GEW_VER");
    r.DYN_M_MIN = in.S("DYN_M_MIN");
    r.DYN_M_MAX = in.S("DYN_M_MAX");
    // Shock absorbers ("33...") are priced by their length.
    const int width = FieldText(r.DYN_KBEZ).startsWith(QLatin1String("33")) ? r.DYN_E_MAX : 0;
    r.ArticlePrice = LookupPrice(FieldText(r.DYN_L_NR), width, false);
    r.ArticlePriceK = LookupPrice(FieldText(r.DYN_L_NR_K), width, false);
    r.DYN_SM_TABLE = in.T("DYN_SM_TABLE");
    PutText(r.PresetLoadText, QStringLiteral("000000"));
    r.PresetLoadCount = 0;
    r.DYN_VGB_KZ = in.L("DYN_VGB_KZ");
}

const CursorKey PgdynaKey{"DYN_NRN", false, "DYN_NRN", KeyCompare::Integer,
                        [] { return PgdynaRecord.DYN_NRN; }};

struct PgdynaUnit {
    static TTable& Table() { return DBKONST->PGDYNA; }
    static AccessFlags& Flags() { return PgdynaRecord; }
    static void Copy(TTable& t) { CopyPgdynaRecord(t); }
    static std::span<const TableOperation> Operations();
};

const TableOperation PgdynaOps[] = {
    {"RD", 2, &OpReadExact<PgdynaUnit, PgdynaKey>},
    {"S ", 3, &OpStart<PgdynaUnit, PgdynaKey>},
    {"RN", 4, &OpReadNext<PgdynaUnit, PgdynaKey>},
};

std::span<const TableOperation> PgdynaUnit::Operations() { return PgdynaOps; }

}  // namespace

void PgdynaRead() { RunAccess<PgdynaUnit>("RD"); }
void PgdynaStart() { RunAccess<PgdynaUnit>("S "); }
void PgdynaReadNext() { RunAccess<PgdynaUnit>("RN"); }
int16_t PgdynaDispatch(const char* opCode) { return RunAccess<PgdynaUnit>(opCode); }
