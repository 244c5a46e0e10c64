#include "data/PGCOOL.h"

#include "data/DBKON.h"
#include "data/PGCURE.h"

TPgcoolRecord PgcoolRecord;

TPgcoolRecord::TPgcoolRecord() {
    BlankText(CLD_KBEZ);
    BlankText(CLD_KBEZ_I);
    BlankText(CLD_L_NR);
    BlankText(CLD_L_NR_K);
    BlankText(CLD_L_NR_I);
    BlankText(CLD_L_NR_K_I);
}

namespace {

void CopyPgcoolRecord(TTable& t) {
    const RowReader in(t);
    TPgcoolRecord& r = PgcoolRecord;
    r.CLD_NRN = in.I("CLD_NRN");
    in.Text(r.CLD_KBEZ, "CLD_KBEZ");
    in.Text(r.CLD_KBEZ_I, "CLD_KBEZ_I");
    in.Text(r.CLD_L_NR, "CLD_L_NR");
    in.Text(r.CLD_L_NR_K, "CLD_L_NR_K");
    in.Text(r.CLD_L_NR_I, "CLD_L_NR_I");
    in.Text(r.CLD_L_NR_K_I, "CLD_L_NR_K_I");
    r.CLD_WST = in.S("CLD_WST");
    r.CLD_WST_UNC = in.S("CLD_WST_UNC");
    r.ArticlePrice = LookupPrice(FieldText(r.CLD_L_NR), 0, false);
    r.ArticlePriceK = LookupPrice(FieldText(r.CLD_L_NR_K), 0, false);
    r.CLD_KRAFT = in.F("CLD_KRAFT");
    r.CLD_GEW = in.F("CLD_GEW");
    r.CLD_D_MIN = in.S("CLD_D_MIN");
    r.CLD_D_MAX = in.S("CLD_D_MAX");
    r.CLD_GEW_MAX = in.F("CLD_GEW_MAX");
    r.CLD_KRAFT_S = in.F("CLD_KRAFT_S");
    r.CLD_KRAFT_F = in.F("CLD_KRAFT_F");
    r.CLD_GEW_VER = in.F("CLD_GEW_VER");
    r.CLD_N = in.I("CLD_N");
    r.CLD_A = in.F("CLD_A");
    r.CLD_B = in.F("CLD_B");
    r.CLD_SM_TABLE = in.T("CLD_SM_TABLE");
}

const CursorKey PgcoolKey{"CLD_NRN", false, "CLD_NRN", KeyCompare::Integer,
                        [] { return PgcoolRecord.CLD_NRN; }};

struct PgcoolUnit {
    static TTable& Table() { return DBKONST->PGCOOL; }
    static AccessFlags& Flags() { return PgcoolRecord; }
    static void Copy(TTable& t) { CopyPgcoolRecord(t); }
    static std::span<const TableOperation> Operations();
};

const TableOperation PgcoolOps[] = {
    {"RD", 2, &OpReadExact<PgcoolUnit, PgcoolKey>},
    {"S ", 3, &OpStart<PgcoolUnit, PgcoolKey>},
    {"RN", 4, &OpReadNext<PgcoolUnit, PgcoolKey>},
};

std::span<const TableOperation> PgcoolUnit::Operations() { return PgcoolOps; }

}  // namespace

void PgcoolRead() { RunAccess<PgcoolUnit>("RD"); }
void PgcoolStart() { RunAccess<PgcoolUnit>("S "); }
void PgcoolReadNext() { RunAccess<PgcoolUnit>("RN"); }
int16_t PgcoolDispatch(const char* opCode) { return RunAccess<PgcoolUnit>(opCode); }
