#include "data/TEMDAT.h"

#include "data/DBKON.h"

TTemdatRecord TemdatRecord;

namespace {

void CopyTemdatRecord(TTable& t) {
    const RowReader in(t);
    TemdatRecord.T_TEMP = in.I("T_TEMP");
    TemdatRecord.T_KLASSE = in.S("T_KLASSE");
}

const CursorKey ClassKey{"T_KLASSE_KEY", true, "T_KLASSE", KeyCompare::Integer,
                       [] { return double(TemdatRecord.T_KLASSE); }};
const CursorKey ClassExact{nullptr, false, "T_KLASSE", KeyCompare::Integer,
                         [] { return double(TemdatRecord.T_KLASSE); }};
const CursorKey TempKey{"T_TEMP_KEY", true, "T_TEMP", KeyCompare::Integer,
                      [] { return TemdatRecord.T_TEMP; }};

struct TemdatUnit {
    static TTable& Table() { return DBKONST->TempDB; }
    static AccessFlags& Flags() { return TemdatRecord; }
    static void Copy(TTable& t) { CopyTemdatRecord(t); }
    static std::span<const TableOperation> Operations();
};

const TableOperation TemdatOps[] = {
    {"RD", 1, &OpReadExact<TemdatUnit, ClassExact>},
    {"S1", 2, &OpStart<TemdatUnit, TempKey>},
    {"RN", 3, &OpReadNext<TemdatUnit, ClassKey>},
    {"C ", 4, &OpClose<TemdatUnit>},
    {"OI", 5, &OpOpen<TemdatUnit>},
    {"S ", 6, &OpStart<TemdatUnit, ClassKey>},
    {"R1", 7, &OpReadNextAny<TemdatUnit, TempKey>},
};

std::span<const TableOperation> TemdatUnit::Operations() { return TemdatOps; }

}  // namespace

void TemdatRead() { RunAccess<TemdatUnit>("RD"); }
void TemdatStart1() { RunAccess<TemdatUnit>("S1"); }
void TemdatReadNext1() { RunAccess<TemdatUnit>("R1"); }
int16_t TemdatDispatch(const char* opCode) { return RunAccess<TemdatUnit>(opCode); }
