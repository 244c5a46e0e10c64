#include "data/PGRSRL.h"

#include "data/DBKON.h"
#include "data/PGCURE.h"

TPgrsrlRecord PgrsrlRecord;

TPgrsrlRecord::TPgrsrlRecord() {
    BlankText(RSL_L_NR);
    BlankText(RSL_L_NR_K);
    BlankText(RSL_L_NR_CN);
    BlankText(PresetLoadText);
}

namespace {

// A blank RSL_EXTRA is an ordinary row.
const QString ExtraFilter = QStringLiteral("COALESCE(RSL_EXTRA, 0) = ?");

struct Variant {
    const char* code;
    const char* suffix;
    const char* typeCode;
};

const Variant Variants[] = {
    {"4", "G4", "494"},
    {"3", "G3", "493"},
    {"2", "G2P", "4920"},
    {"1", "G2A", "4921"},
};

void CopyArray(const RowReader& in, const char* prefix, std::array<double, 5>& out) {
    for (int i = 0; i < 5; ++i)
        out[size_t(i)] = in.F(QLatin1String(prefix) + QString::number(i + 1));
}

void CopyColumns(const RowReader& in) {
    TPgrsrlRecord& r = PgrsrlRecord;
    r.RSL_NRN = in.I("RSL_NRN");
    r.RSL_KBEZ = in.T("RSL_KBEZ");
    in.Text(r.RSL_L_NR, "RSL_L_NR");
    in.Text(r.RSL_L_NR_K, "RSL_L_NR_K");
    in.Text(r.RSL_L_NR_CN, "RSL_L_NR_CN");
    r.RSL_WST = in.S("RSL_WST");
    r.RSL_WST_UNC = in.S("RSL_WST_UNC");
    r.RSL_WST_CN = in.S("RSL_WST_CN");
    r.RSL_E = in.I("RSL_E");
    r.RSL_A = in.S("RSL_A");
    r.RSL_B = in.S("RSL_B");
    r.RSL_LG_VON = in.S("RSL_LG_VON");
    r.RSL_LG_BIS = in.S("RSL_LG_BIS");
    for (int i = 0; i < 5; ++i)
        r.RSL_LG[size_t(i)] = in.S(QStringLiteral("RSL_LG_%1").arg(i + 1));
    CopyArray(in, "RSL_KRAFT_", r.RSL_KRAFT);
    CopyArray(in, "RSL_GEW_", r.RSL_GEW);
    r.RSL_KOP_KZ = in.L("RSL_KOP_KZ");
    r.RSL_DAEMM_H = in.S("RSL_DAEMM_H");
    CopyArray(in, "RSL_KRAFT_INT_", r.RSL_KRAFT_INT);
    CopyArray(in, "RSL_HYD_LST_", r.RSL_HYD_LST);
    r.RSL_SM_TABLE = in.T("RSL_SM_TABLE");
    PutText(r.PresetLoadText, QStringLiteral("000000"));
    r.PresetLoadCount = 0;
    r.RSL_VGB_KZ = in.L("RSL_VGB_KZ");
    r.RSL_HD_KZ = in.L("RSL_HD_KZ");
}

// The article suffix of the requested clamp variant; replaces the type code.
QString VariantSuffix() {
    QString suffix;
    for (const Variant& v : Variants)
        if (CalcGlobals.RsrlVariantCode == QLatin1String(v.code)) {
            suffix = QLatin1String(v.suffix);
            PgrsrlRecord.RSL_KBEZ = QLatin1String(v.typeCode);
        }
    if (CalcGlobals.PriceSuffixRequest)
        suffix += QLatin1String("-SP");
    return suffix;
}

void LookupLengthPrices() {
    TPgrsrlRecord& r = PgrsrlRecord;
    const bool hd = CalcGlobals.HDRequest;
    const QString article = FieldText(r.RSL_L_NR);
    const QString articleK = FieldText(r.RSL_L_NR_K);
    const QString suffix = VariantSuffix();
    r.LengthPrice[0] = LookupPrice(article + suffix, r.RSL_LG[0], hd);
    r.LengthPriceK[0] = LookupPrice(articleK + suffix, r.RSL_LG[0], hd);
    for (size_t n = 1; n < 5; ++n) {
        r.LengthPrice[n] = r.RSL_LG[n] != 0 ? LookupPrice(article, r.RSL_LG[n], hd) : 0;
        r.LengthPriceK[n] = r.RSL_LG[n] != 0 ? LookupPrice(articleK, r.RSL_LG[n], hd) : 0;
    }
}

void CopyPgrsrlRecord(TTable& t) {
    CopyColumns(RowReader(t));
    if (CalcGlobals.HDRequest && !PgrsrlRecord.RSL_HD_KZ)
        CalcGlobals.HDRequest = false;
    LookupLengthPrices();
}

const CursorKey PgrsrlKey{"RSL_NRN", false, "RSL_NRN", KeyCompare::Integer,
                        [] { return PgrsrlRecord.RSL_NRN; }};

struct PgrsrlUnit {
    static TTable& Table() { return DBKONST->PGRSRL; }
    static AccessFlags& Flags() { return PgrsrlRecord; }
    static void Copy(TTable& t) { CopyPgrsrlRecord(t); }
    static void Prepare() { ApplyExtendedLoadFilter(Table()); }
    static std::span<const TableOperation> Operations();
};

const TableOperation PgrsrlOps[] = {
    {"RD", 2, &OpReadExact<PgrsrlUnit, PgrsrlKey>},
    {"S ", 3, &OpStart<PgrsrlUnit, PgrsrlKey>},
    {"RN", 4, &OpReadNext<PgrsrlUnit, PgrsrlKey>},
};

std::span<const TableOperation> PgrsrlUnit::Operations() { return PgrsrlOps; }

}  // namespace

void ApplyExtendedLoadFilter(TTable& pgrsrl) {
    const bool ours = pgrsrl.Filter() == ExtraFilter;
    if (!CalcGlobals.ExtendedLoadOption) {
        // A filter that another caller has switched on stays as it is.
        if (!pgrsrl.Filtered()) {
            pgrsrl.SetFilter(ExtraFilter, {0});
            pgrsrl.SetFiltered(true);
        }
    } else if (ours && pgrsrl.Filtered()) {
        pgrsrl.SetFiltered(false);
    }
}

void PgrsrlRead() { RunAccess<PgrsrlUnit>("RD"); }
void PgrsrlStart() { RunAccess<PgrsrlUnit>("S "); }
void PgrsrlReadNext() { RunAccess<PgrsrlUnit>("RN"); }
int16_t PgrsrlDispatch(const char* opCode) { return RunAccess<PgrsrlUnit>(opCode); }
