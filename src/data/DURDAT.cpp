#include "data/DURDAT.h"

#include "data/DBKON.h"

TDurdatRecord DurdatRecord;

namespace {

void CopyDurdatRecord(TTable& t) {
    const RowReader in(t);
    TDurdatRecord& r = DurdatRecord;
    r.D_R_DM = in.F("D_R_DM");
    r.D_R_DI = in.F("D_R_DI");
    r.D_MIN_ABS = in.F("D_MIN_ABS");
    r.D_MAX_ABS = in.F("D_MAX_ABS");
    r.D_R_DM_KZ = in.S("D_R_DM_KZ");
    r.D_EMIN_MM = in.F("D_EMIN_MM");
    r.D_EMAX_MM = in.F("D_EMAX_MM");
    r.D_NENNWTE = in.S("D_NENNWTE");
    r.D_NENN_INCH = in.F("D_NENN_INCH");
    in.Text(r.D_LG_KZ, "D_LG_KZ");
}

double Diameter() { return DurdatRecord.D_R_DM; }
double Code() { return double(DurdatRecord.D_R_DM_KZ); }

const CursorKey DiameterExact{nullptr, false, "D_R_DM", KeyCompare::Float, &Diameter};
const CursorKey DiameterKey{"R_DM_KEY", true, "D_R_DM", KeyCompare::Float, &Diameter};
const CursorKey CodeKey{"R_DM_KZ_KEY", true, "D_R_DM_KZ", KeyCompare::Integer, &Code};
const CursorKey MaxKey{"D_MAX_KEY", true, "D_MAX_ABS", KeyCompare::Float, &Diameter};

struct DurdatUnit {
    static TTable& Table() { return DBKONST->DURDATDB; }
    static AccessFlags& Flags() { return DurdatRecord; }
    static void Copy(TTable& t) { CopyDurdatRecord(t); }
    static std::span<const TableOperation> Operations();
};

const TableOperation DurdatOps[] = {
    {"RD", 1, &OpReadExact<DurdatUnit, DiameterExact>},
    {"S1", 2, &OpStart<DurdatUnit, CodeKey>},
    {"RN", 3, &OpReadNext<DurdatUnit, DiameterKey>},
    {"C ", 4, &OpClose<DurdatUnit>},
    {"OI", 5, &OpOpen<DurdatUnit>},
    {"S ", 6, &OpStart<DurdatUnit, DiameterKey>},
    {"R1", 7, &OpReadNextAny<DurdatUnit, CodeKey>},
    {"RX", 8, &OpReadNearest<DurdatUnit, MaxKey>},
};

std::span<const TableOperation> DurdatUnit::Operations() { return DurdatOps; }

}  // namespace

void DurdatStart1() { RunAccess<DurdatUnit>("S1"); }
void DurdatReadNext() { RunAccess<DurdatUnit>("RN"); }
void DurdatStart() { RunAccess<DurdatUnit>("S "); }
void DurdatReadNext1() { RunAccess<DurdatUnit>("R1"); }
void DurdatReadAbove() { RunAccess<DurdatUnit>("RX"); }
int16_t DurdatDispatch(const char* opCode) { return RunAccess<DurdatUnit>(opCode); }
