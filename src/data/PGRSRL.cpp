#include "data/PGRSRL.h"

#include "data/DBKON.h"
#include "data/PGCURE.h"

#include <optional>

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

namespace {

struct FilterState {
    QString expression;
    QVariantList params;
    bool on = false;
    bool operator==(const FilterState&) const = default;
};

FilterState TableFilter(const TTable& t) { return {t.Filter(), t.FilterParams(), t.Filtered()}; }

// What the unit left on a table and the caller's filter folded into it are
// kept on the table object, so that every table has its own.
const char* const AppliedProperty = "korvaExtendedLoadApplied";
const char* const CallerProperty = "korvaExtendedLoadCaller";

QVariant Stored(const FilterState& s) { return QVariantList{s.expression, QVariant(s.params), s.on}; }

std::optional<FilterState> Restored(const TTable& t, const char* name) {
    const QVariant v = t.property(name);
    if (!v.isValid())
        return std::nullopt;
    const QVariantList l = v.toList();
    return FilterState{l.value(0).toString(), l.value(1).toList(), l.value(2).toBool()};
}

// The caller's filter as it stands now: the one on the table, unless the
// table still shows what the unit set, in which case it is the remembered
// one, switched on or off as the caller has switched the table since.
FilterState CallerFilter(const TTable& t) {
    const FilterState now = TableFilter(t);
    const std::optional<FilterState> applied = Restored(t, AppliedProperty);
    if (!applied || applied->expression != now.expression || applied->params != now.params)
        return now;
    FilterState caller = Restored(t, CallerProperty).value_or(FilterState{});
    if (now.on != applied->on)
        caller.on = now.on;
    return caller;
}

}  // namespace

void ApplyExtendedLoadFilter(TTable& pgrsrl) {
    const FilterState caller = CallerFilter(pgrsrl);
    FilterState wanted = caller;
    if (!CalcGlobals.ExtendedLoadOption) {
        if (caller.on && !caller.expression.trimmed().isEmpty()) {
            // Both conditions hold; the caller's placeholders come first.
            wanted.expression = QStringLiteral("(%1) AND (%2)").arg(caller.expression, ExtraFilter);
            wanted.params.append(0);
        } else {
            wanted.expression = ExtraFilter;
            wanted.params = {0};
        }
        wanted.on = true;
    }
    // Setting a filter moves the cursor to the first row, so an unchanged
    // filter is left alone: a read-next continues where the last read ended.
    const FilterState now = TableFilter(pgrsrl);
    if (wanted.expression != now.expression || wanted.params != now.params)
        pgrsrl.SetFilter(wanted.expression, wanted.params);
    if (wanted.on != pgrsrl.Filtered())
        pgrsrl.SetFiltered(wanted.on);
    pgrsrl.setProperty(AppliedProperty, Stored(wanted));
    pgrsrl.setProperty(CallerProperty, Stored(caller));
}

void PgrsrlRead() { RunAccess<PgrsrlUnit>("RD"); }
void PgrsrlStart() { RunAccess<PgrsrlUnit>("S "); }
void PgrsrlReadNext() { RunAccess<PgrsrlUnit>("RN"); }
int16_t PgrsrlDispatch(const char* opCode) { return RunAccess<PgrsrlUnit>(opCode); }
