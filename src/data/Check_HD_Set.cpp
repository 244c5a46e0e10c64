#include "data/Check_HD_Set.h"

#include "data/DBKON.h"
#include "data/GlobalFuncs.h"
#include "data/TableAccess.h"

namespace {

constexpr int HDFlagCount = 35;

// Sets the flag field of every row that passes the filter. The type code
// and the other values go in bound, never into the filter's text.
void WriteFlagRows(TTable& t, const QString& filter, const QVariantList& params, const QString& field,
                   bool galvanised) {
    const TableStateGuard guard(t);
    t.Open();
    t.SetFilter(filter, params);
    t.SetFiltered(true);
    t.First();
    while (!t.Eof()) {
        t.Edit();
        t.FieldByName(field).SetAsBoolean(galvanised);
        t.Post();
        if (!t.Next())
            break;
    }
}

}  // namespace

void SetHDFlagPosition(int position, bool galvanised) {
    QString& flags = CalcGlobals.HDFlags;
    if (flags.size() < HDFlagCount)
        flags = flags.leftJustified(HDFlagCount, QLatin1Char('0'));
    if (position >= 1 && position <= HDFlagCount)
        flags[position - 1] = galvanised ? QLatin1Char('1') : QLatin1Char('0');
}

void SetHDFlagPgstat(const QString& typeCode, bool galvanised, int position) {
    SetHDFlagPosition(position, galvanised);
    WriteFlagRows(DBKONST->PGSTAT, QStringLiteral("STA_KBEZ = ?"), {typeCode.trimmed()},
                  QStringLiteral("STA_HD_KZ"), galvanised);
}

void SetHDFlagPgrsrsl(const QString& typeCode, bool galvanised, int position) {
    SetHDFlagPosition(position, galvanised);
    WriteFlagRows(DBKONST->PGRSRL, QStringLiteral("RSL_KBEZ = ? AND HD_KZ_ORG = ?"), {typeCode.trimmed(), 1},
                  QStringLiteral("RSL_HD_KZ"), galvanised);
}
