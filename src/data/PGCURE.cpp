#include "data/PGCURE.h"

#include "data/CblTools.h"
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/GlobalFuncs.h"
#include "data/PGSTAT.h"
#include "data/TableAccess.h"
#include "localisation/IvNls.h"
#include "platform/DbErrors.h"

#include <memory>
#include <optional>

namespace {

const QString PriceKey = QStringLiteral("CUR_IDX;CUR_L_NR;CUR_BRT");
const QString ArticleKey = QStringLiteral("CUR_IDX;CUR_L_NR");

// Article numbers come from fixed-width fields: the blanks that pad a
// short number are not part of it.
QString Article(const QString& article) {
    QString s = article;
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

double PriceOfRow(TDataSet& t, bool galvanised) {
    const double base = t.FieldByName(galvanised ? QStringLiteral("CUR_PRS_HD") : QStringLiteral("CUR_PRS")).AsFloat();
    const double discount = CalcGlobals.PriceDiscountPercent;
    if (t.FieldByName(QStringLiteral("CUR_RABAT")).AsBoolean() && discount != 0)
        return base - base * discount * 0.01;
    return base;
}

double PriceWithoutWidth(TTable& t, const QString& article, bool galvanised) {
    return t.Locate(ArticleKey, {CalcGlobals.PriceIndex, Article(article)}) ? PriceOfRow(t, galvanised) : 0;
}

// The smallest width class at or above the width: the nearest key at or
// above (list, article, width) in the price table's key order, when it
// still belongs to the article. Values go in bound; the table's filter is
// never touched.
double PriceAtOrAbove(TTable& t, const QString& article, int width, bool galvanised) {
    const int index = CalcGlobals.PriceIndex;
    const QString nr = Article(article);
    if (!t.IndexName().isEmpty() || t.IndexFields().join(QLatin1Char(';')) != PriceKey)
        t.SetIndexFieldNames(PriceKey);
    t.FindNearest({index, nr, width});
    // The table compares article numbers without their trailing blanks, so
    // the row found may carry some that the wanted number lacks.
    if (t.IsEmpty() || t.FieldByName(QStringLiteral("CUR_IDX")).AsInteger() != index
        || Article(t.FieldByName(QStringLiteral("CUR_L_NR")).AsString()) != nr
        || t.FieldByName(QStringLiteral("CUR_BRT")).AsInteger() < width)
        return 0;
    return PriceOfRow(t, galvanised);
}

QChar CharAt(const QString& s, int position) {
    return position >= 1 && position <= s.size() ? s.at(position - 1) : QLatin1Char(' ');
}

QString Text(TTable& t, const char* field) { return t.FieldByName(QString::fromLatin1(field)).AsString(); }

// The width of a 794 trapeze from its catalogue row; -1 when no product at
// or above its number is found, so the price found so far stays: the width
// a failed read leaves in the record is that of whichever product was read
// before (another row of this run, say), never this one's.
int TrapezeWidth(double productNumber) {
    const TableStateGuard guard(DBKONST->PGSTAT);
    const bool hdRequest = CalcGlobals.HDRequest;
    DBKONST->PGSTAT.Open();
    PgstatRecord.STA_NRN = productNumber;
    PgstatStart();
    PgstatReadNext();
    CalcGlobals.HDRequest = hdRequest;
    return CalcGlobals.TableStatus == 0 ? PgstatRecord.STA_BREITE : -1;
}

// The price of one parts-list row; the rules go from general to special,
// a later rule overriding an earlier one. A rod whose length in KB_BTL_ZUS
// is no whole number cannot be priced: its length text comes back in
// unreadableLength and the row keeps the price it has.
std::optional<double> PriceOfPart(TTable& parts, QString& unreadableLength) {
    const QString article = Text(parts, "KB_BTL");
    const QString extra = Text(parts, "KB_BTL_ZUS");
    const int width2 = parts.FieldByName(QStringLiteral("KB_BREITE_2")).AsInteger();
    const bool hd = parts.FieldByName(QStringLiteral("KB_HD_KZ")).AsBoolean();
    const QString suffix = Text(parts, "KB_KBEZ").trimmed() == QLatin1String("49") ? extra.mid(6, 3) : QString();
    double price = LookupPriceFiltered(suffix == QLatin1String("-SP") ? article + suffix : article, width2, hd);

    char number8[8];
    PutFloatField(number8, 7, 0, parts.FieldByName(QStringLiteral("KB_BTL_8")).AsFloat());
    const QString nr = FieldText(number8);
    if ((nr.startsWith(QLatin1String("660")) || nr.startsWith(QLatin1String("670"))) && nr.mid(3, 2) > QLatin1String("19")
        && width2 == 0) {
        bool ok = false;
        const QString lengthText = extra.mid(7, 4);
        const int rodLength = lengthText.trimmed().toInt(&ok);
        if (!ok) {
            unreadableLength = lengthText;
            return std::nullopt;
        }
        price = LookupPriceFiltered(article, rodLength, hd);
    }
    if (nr.startsWith(QLatin1String("794"))) {
        const int width = TrapezeWidth(nr.toDouble());
        if (width >= 0)
            price = LookupPriceFiltered(article, width, hd);
    }
    if (nr.startsWith(QLatin1String("49")) && CharAt(extra, 7) == QLatin1Char('G')) {
        const QChar c8 = CharAt(extra, 8);
        const QString variant = (c8 == QLatin1Char('3') || c8 == QLatin1Char('4')) ? QStringLiteral("G") + c8
                                                                                    : QStringLiteral("G2") + CharAt(extra, 9);
        price = LookupPriceFiltered(article + variant, width2, hd);
    }
    return price;
}

// A private table on the project settings, as the global module names it.
std::unique_ptr<TTable> ProjectSettingsTable() {
    auto t = std::make_unique<TTable>(DBGLOBAL->PRJINF.DatabaseName(), DBGLOBAL->PRJINF.TableName());
    t->Open();
    t->First();
    return t;
}

}  // namespace

double LookupPrice(const QString& article, int width, bool galvanised) {
    if (article.trimmed().isEmpty())
        return 0;
    TTable& t = DBKONST->PGCURE;
    if (width == 0)
        return PriceWithoutWidth(t, article, galvanised);
    try {
        return t.Locate(PriceKey, {CalcGlobals.PriceIndex, Article(article), width}) ? PriceOfRow(t, galvanised) : 0;
    } catch (const EDatabaseError&) {
        return 0;
    }
}

double LookupPriceFiltered(const QString& article, int width, bool galvanised) {
    if (article.trimmed().isEmpty())
        return 0;
    TTable& t = DBKONST->PGCURE;
    try {
        return width == 0 ? PriceWithoutWidth(t, article, galvanised) : PriceAtOrAbove(t, article, width, galvanised);
    } catch (const EDatabaseError&) {
        return 0;
    }
}

void PricePartsList() {
    TTable& cure = DBKONST->PGCURE;
    TTable& parts = DBGLOBAL->KONBTL;
    const TableStateGuard keepCure(cure);
    const TableStateGuard keepParts(parts);
    cure.Open();
    parts.SetFiltered(false);
    parts.Open();
    parts.First();
    // A row that cannot be priced stops nothing: the others are priced, so
    // the project is never left half on one price list and half on the
    // other; the caller learns of the first such row at the end.
    QString unreadable;
    bool failed = false;
    while (!parts.IsEmpty()) {
        QString lengthText;
        if (const std::optional<double> price = PriceOfPart(parts, lengthText)) {
            parts.Edit();
            parts.FieldByName(QStringLiteral("KB_PRS")).SetAsFloat(*price);
            parts.Post();
        } else if (!failed) {
            failed = true;
            unreadable = lengthText;
        }
        if (!parts.Next())
            break;
    }
    if (failed)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(unreadable));
}

int32_t PriceIndexOfLanguage(uint32_t langId) {
    switch (langId & 0xFFFF) {
    case 0x0409:
    case 0x080A:
    case 0x1009:
        return 2;
    default:
        return 1;
    }
}

int32_t ProjectCurrency() {
    CalcGlobals.PriceIndex = 0;
    try {
        const int code = ProjectSettingsTable()->FieldByName(QStringLiteral("PRJ_WAEHRUNG")).AsInteger();
        if (code == 23)
            CalcGlobals.PriceIndex = 2;
        else if (code == 17)
            CalcGlobals.PriceIndex = 1;
    } catch (const std::exception&) {
        // No readable project settings: the system language decides.
    }
    if (CalcGlobals.PriceIndex == 0)
        CalcGlobals.PriceIndex = PriceIndexOfLanguage(NlsSystemDefaultLcid());
    return CalcGlobals.PriceIndex;
}

bool SetProjectCurrency(int index) {
    try {
        auto t = ProjectSettingsTable();
        if (t->IsEmpty())
            return false;
        t->Edit();
        t->FieldByName(QStringLiteral("PRJ_WAEHRUNG")).SetAsInteger(index == 2 ? 23 : index == 1 ? 17 : 0);
        t->Post();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
