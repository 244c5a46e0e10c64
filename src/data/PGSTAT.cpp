#include "data/PGSTAT.h"

#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "data/PGCURE.h"

TPgstatRecord PgstatRecord;

TPgstatRecord::TPgstatRecord() {
    BlankText(STA_KBEZ);
    BlankText(STA_L_NR);
    BlankText(STA_L_NR_K);
}

namespace {

// Products without a galvanised variant whatever their row says.
bool NeverGalvanised(int32_t productNumber) {
    return productNumber == 11009315 || productNumber == 11409315;
}

bool InRange(const QString& s, const char* low, const char* high) {
    return s >= QLatin1String(low) && s <= QLatin1String(high);
}

// The width a product's price depends on, by its number's first digits;
// -1 for products priced without width.
int PriceWidth(const QString& number8) {
    if (number8.startsWith(QLatin1String("79")))
        return PgstatRecord.STA_BREITE;
    if (number8.startsWith(QLatin1String("291")))
        return PgstatRecord.STA_X;
    const QString head = number8.left(5);
    if (InRange(head, "66020", "66024") || InRange(head, "67020", "67024"))
        return PgstatRecord.STA_E;
    return -1;
}

void LookupPrices(const QString& number8) {
    TPgstatRecord& r = PgstatRecord;
    const bool hd = CalcGlobals.HDRequest;
    QString article = FieldText(r.STA_L_NR);
    QString articleK = FieldText(r.STA_L_NR_K);
    int width = PriceWidth(number8);
    if (width < 0) {
        width = 0;
        if (CalcGlobals.PriceSuffixRequest) {
            article += QLatin1String("-PS");
            articleK += QLatin1String("-PS");
        }
    }
    r.ArticlePrice = LookupPrice(article, width, hd);
    r.ArticlePriceK = LookupPrice(articleK, width, hd);
}

const CursorKey PgstatKey{"STA_NRN", false, "STA_NRN", KeyCompare::Integer,
                        [] { return PgstatRecord.STA_NRN; }};

struct PgstatUnit {
    static TTable& Table() { return DBKONST->PGSTAT; }
    static AccessFlags& Flags() { return PgstatRecord; }
    static void Copy(TTable& t) { CopyPgstatRecord(t); }
    static std::span<const TableOperation> Operations();
};

const TableOperation PgstatOps[] = {
    {"S ", 3, &OpStart<PgstatUnit, PgstatKey>},
    {"RN", 4, &OpReadNext<PgstatUnit, PgstatKey>},
    {"RD", 2, &OpReadExact<PgstatUnit, PgstatKey>},
    {"RR", 5, &OpReadPrior<PgstatUnit, PgstatKey>},
};

std::span<const TableOperation> PgstatUnit::Operations() { return PgstatOps; }

}  // namespace

void CopyPgstatRecord(TTable& t) {
    const RowReader in(t);
    TPgstatRecord& r = PgstatRecord;
    const bool imperial = ConstructionRecord.K_KATA_KZ;
    in.Text(r.STA_L_NR, imperial ? "STA_L_NR_I" : "STA_L_NR");
    in.Text(r.STA_L_NR_K, imperial ? "STA_L_NR_K_I" : "STA_L_NR_K");
    in.Text(r.STA_KBEZ, imperial ? "STA_KBEZ_I" : "STA_KBEZ");
    r.STA_GEW = in.F("STA_GEW");
    r.STA_NRN = in.I("STA_NRN");
    r.STA_WST = in.S("STA_WST");
    r.STA_WST_UNC = in.S("STA_WST_UNC");
    r.STA_WST_CN = in.S("STA_WST_CN");
    r.STA_E = in.S("STA_E");
    r.STA_X = in.S("STA_X");
    r.STA_ADM = in.S("STA_ADM");
    r.STA_BREITE = in.S("STA_BREITE");
    r.STA_BREITE_M = in.S("STA_BREITE_M");
    r.STA_GEW_VER = in.F("STA_GEW_VER");
    r.STA_BTL_ZUS = in.T("STA_BTL_ZUS").left(255);
    r.STA_SM_TABLE = in.T("STA_SM_TABLE");
    r.STA_HD_KZ = in.L("STA_HD_KZ");
    r.STA_L_ZUS = in.S("STA_L_ZUS");

    // A product number is a whole number of at most 8 digits: its text
    // without the general float formatting, which costs more than the read.
    char number8[8];
    if (r.STA_NRN >= 0 && r.STA_NRN <= 99999999 && r.STA_NRN == double(int32_t(r.STA_NRN))) {
        int32_t v = int32_t(r.STA_NRN);
        for (int i = 7; i >= 0; --i, v /= 10) number8[i] = char('0' + v % 10);
    } else {
        PutFloatField(number8, 7, 0, r.STA_NRN);
    }
    if (CalcGlobals.HDRequest && !r.STA_HD_KZ)
        CalcGlobals.HDRequest = false;
    if (NeverGalvanised(int32_t(r.STA_NRN)))
        r.STA_HD_KZ = false;
    LookupPrices(FieldText(number8));
}

void PgstatStart() { RunAccess<PgstatUnit>("S "); }
void PgstatReadNext() { RunAccess<PgstatUnit>("RN"); }
void PgstatRead() { RunAccess<PgstatUnit>("RD"); }
void PgstatReadPrior() { RunAccess<PgstatUnit>("RR"); }
int16_t PgstatDispatch(const char* opCode) { return RunAccess<PgstatUnit>(opCode); }
