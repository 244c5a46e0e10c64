#include "host/PMLFUELL.h"

#include "data/ABHGNR.h"
#include "data/BridgeRecords.h"
#include "data/CblTools.h"
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/DURDAT.h"
#include "data/FIRAUFKON.h"
#include "data/GlobalFuncs.h"
#include "data/KONBTL.h"
#include "data/PGCOOL.h"
#include "data/PGDYNA.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "host/PMLFUELLState.h"
#include "host/Read_MDS_ZIF.h"
#include "platform/CodePage.h"
#include "platform/Database.h"
#include "platform/HostFiles.h"
#include "platform/Numbers.h"
#include "platform/Table.h"
#include "platform/TableFile.h"

#include <QDateTime>
#include <QFileInfo>

#include <QHash>
#include <cmath>
#include <memory>
#include <vector>

namespace pml {

WriterState* W = nullptr;

double PartEntry(int i) { return i >= 1 && i <= 30 ? W->Parts[size_t(i - 1)] : 0.0; }

void SwapPartEntries(int i, int j) {
    if (i < 1 || i > 30 || j < 1 || j > 30) return;
    std::swap(W->Parts[size_t(i - 1)], W->Parts[size_t(j - 1)]);
}

QString NumberText(double number) {
    char field[8];
    PutIntField(field, 7, int32_t(number));
    return FieldText(field, 8);
}

void SetSearchKey(double number) { PutIntField(CalcGlobals.SearchKey, 7, int32_t(number)); }
int32_t SearchKeyNumber() { return ZonedToInt(CalcGlobals.SearchKey, 7); }
QString KeyText() { return FieldText(CalcGlobals.SearchKey, 8); }
QString T2() { return KeyText().left(2); }
QString T3() { return KeyText().left(3); }
QChar Digit(int n) { return KeyText().at(n - 1); }
QString SizeCode() { return KeyText().mid(3, 2); }

QChar Letter(int n) { return QChar::fromLatin1(ArrangementRecord.A_NAME[n - 1]); }

namespace {

// Which catalogue a product number belongs to, by its first digit.
enum class Catalogue { Static, Dynamic, Clamp, Cold };

Catalogue CatalogueOf(double number) {
    switch (NumberText(number).at(0).toLatin1()) {
    case '3': return Catalogue::Dynamic;
    case '4': return Catalogue::Clamp;
    case '5': return Catalogue::Cold;
    default: return Catalogue::Static;
    }
}

// Copies a record's positioning flags over a fresh record, so clearing
// the values does not disturb a running read sequence.
template <class Record>
void ClearKeepingFlags(Record& r) {
    const AccessFlags flags = r;
    r = Record();
    static_cast<AccessFlags&>(r) = flags;
}

[[noreturn]] void MissingProduct(double number, const char* table) {
    throw EPmlFileError(QStringLiteral("Product %1 of the support is not in the catalogue table %2; "
                                       "no output file written.")
                            .arg(NumberText(number), QString::fromLatin1(table)));
}

// A product whose missing row fails the output: it belongs to the
// catalogue read. The support's clamp is the exception: clamps of type 87
// and 88 live in the clamp or dynamic table although their first digit
// names the static one; the clamp statements read and check the clamp in
// its own table, and the walks that read it as a static row pass it over.
bool MissingRowFails(double number, Catalogue read) {
    return number != 0 && CatalogueOf(number) == read && number != ConstructionRecord.K_RSL_NRN;
}

bool IsChainProduct(double number) {
    if (number == 0) return false;
    for (double p : W->Parts)
        if (p == number) return true;
    return false;
}

}  // namespace

void ClearStaticRecord(double number) {
    ClearKeepingFlags(PgstatRecord);
    PgstatRecord.STA_NRN = number;
}

bool ReadStatic() {
    const double number = SearchKeyNumber();
    PgstatRecord.STA_NRN = number;
    PgstatRead();
    if (CalcGlobals.TableStatus == 0) return true;
    ClearStaticRecord(number);
    if (MissingRowFails(number, Catalogue::Static)) MissingProduct(number, "Pgstat.DB");
    return false;
}

bool ReadDynamic() {
    const double number = SearchKeyNumber();
    PgdynaRecord.DYN_NRN = number;
    PgdynaRead();
    if (CalcGlobals.TableStatus == 0) return true;
    ClearKeepingFlags(PgdynaRecord);
    PgdynaRecord.DYN_NRN = number;
    if (MissingRowFails(number, Catalogue::Dynamic)) MissingProduct(number, "Pgdyna.DB");
    return false;
}

double RestLength(int n) {
    const auto& r = ConstructionRecord;
    switch (n) {
    case 1: return r.K_RESTLAENGE_1;
    case 2: return r.K_RESTLAENGE_2;
    case 3: return r.K_RESTLAENGE_3;
    case 4: return r.K_RESTLAENGE_4;
    case 5: return r.K_RESTLAENGE_5;
    default: return 0;
    }
}

int16_t GroupCount(int n) {
    const auto& r = ConstructionRecord;
    switch (n) {
    case 1: return r.K_TAB_SAZ_1;
    case 2: return r.K_TAB_SAZ_2;
    case 3: return r.K_TAB_SAZ_3;
    case 4: return r.K_TAB_SAZ_4;
    case 5: return r.K_TAB_SAZ_5;
    default: return 0;
    }
}

QString BridgeDimension(int i) {
    if (i < 1 || i > 30) return QStringLiteral("0000 ");
    return FieldText(BridgeRecords.Items[size_t(i - 1)].Dimension, 5);
}

namespace {

// Size codes 09..24 in order, and what each stands for.
struct SizeRow {
    const char* code;
    const char* number;  // thread and DESP number
    const char* next;    // the next larger size
};

const SizeRow SizeTable[] = {
    {"09", "10", "12"}, {"10", "10", "12"}, {"11", "12", "16"}, {"12", "12", "16"},
    {"13", "16", "20"}, {"14", "20", "24"}, {"15", "24", "30"}, {"16", "30", "36"},
    {"17", "36", "42"}, {"18", "42", "48"}, {"19", "48", "56"}, {"20", "56", "64"},
    {"21", "64", "68"}, {"22", "68", "72"}, {"23", "72", "80"}, {"24", "80", "80"},
};

const SizeRow* FindSize(const QString& size) {
    for (const SizeRow& r : SizeTable)
        if (size == QLatin1String(r.code)) return &r;
    return nullptr;
}

}  // namespace

QString ThreadForSize(const QString& size) {
    const SizeRow* r = FindSize(size);
    return r ? QStringLiteral("M") + QLatin1String(r->number) : QString();
}

QString DespSizeNumber(const QString& size) {
    const SizeRow* r = FindSize(size);
    return r ? QString::fromLatin1(r->number) : QString();
}

QString DespNextSizeNumber(const QString& size) {
    const SizeRow* r = FindSize(size);
    return r ? QString::fromLatin1(r->next) : QString();
}

int CopyToCharArray(char* dest, int destLength, const QString& src) {
    const QByteArray bytes = src.toLatin1();
    for (int i = 0; i < destLength; ++i) dest[i] = i < bytes.size() ? bytes[i] : ' ';
    return bytes.size() > destLength ? -1 : int(bytes.size());
}

void RodThreadForSize() {
    static const char* const Skipped[] = {"63", "77", "57", "36", "87", "88", "91"};
    for (int i = 30; i >= 1; --i) {
        const double number = PartEntry(i);
        if (number == 0) continue;
        const QString text = NumberText(number);
        const QString type = text.left(2);
        if (text.startsWith(u'4') || text.startsWith(u'5')) continue;
        bool skip = false;
        for (const char* s : Skipped)
            if (type == QLatin1String(s)) skip = true;
        if (skip) continue;
        if (QStringLiteral("YFG").contains(Letter(4))) {
            W->RodThread = QStringLiteral("M00");
        } else {
            // An unlisted size code keeps the thread, and the size text is
            // the kept thread's: "00" after "M00", never an empty gap in
            // the bore clamp's DESP line.
            if (const QString thread = ThreadForSize(text.mid(3, 2)); !thread.isEmpty()) W->RodThread = thread;
            W->RodSizeText = W->RodThread.mid(1, 2);
        }
        return;
    }
}

}  // namespace pml

using namespace pml;

// ------------------------------------------------------------ number forms

QString PmlFixed(double value, int precision, int decimals) {
    const QString fixed = FormatFixed(value, decimals);
    const int dot = fixed.indexOf(u'.');
    const int integerDigits = (dot < 0 ? int(fixed.size()) : dot) - (fixed.startsWith(u'-') ? 1 : 0);
    if (integerDigits <= precision) return fixed;
    // Scientific with the precision's significant digits, trailing zeros
    // dropped: 12345678 at precision 7 gives "1.234568E+07".
    QString s = QString::number(value, 'E', precision - 1);
    const int e = s.indexOf(u'E');
    QString mantissa = s.left(e);
    if (mantissa.contains(u'.')) {
        while (mantissa.endsWith(u'0')) mantissa.chop(1);
        if (mantissa.endsWith(u'.')) mantissa.chop(1);
    }
    return mantissa + s.mid(e);
}

QString PmlPadded(double value, int width, int decimals) {
    return FormatFixed(value, decimals).rightJustified(width, u' ');
}

QString PmlShortest(double value) {
    if (value == 0) return QStringLiteral("0");
    const double magnitude = std::fabs(value);
    if (magnitude < 1e-5 || magnitude >= 1e15) {
        QString s = QString::number(value, 'E', 14);
        const int e = s.indexOf(u'E');
        QString mantissa = s.left(e);
        while (mantissa.endsWith(u'0')) mantissa.chop(1);
        if (mantissa.endsWith(u'.')) mantissa.chop(1);
        return mantissa + s.mid(e);
    }
    // 15 significant digits in fixed notation, then trailing zeros off.
    const int integerDigits = magnitude >= 1 ? int(std::floor(std::log10(magnitude))) + 1 : 0;
    const int decimals = std::max(0, 15 - integerDigits + (magnitude < 1 ? -int(std::floor(std::log10(magnitude))) - 1 : 0));
    QString s = QString::number(value, 'f', std::min(decimals, 20));
    if (s.contains(u'.')) {
        while (s.endsWith(u'0')) s.chop(1);
        if (s.endsWith(u'.')) s.chop(1);
    }
    if (s == QLatin1String("-0")) s = QStringLiteral("0");
    return s;
}

QString PmlShiftText(long long shift) {
    const QString digits = QString::number(shift < 0 ? -shift : shift).rightJustified(4, u'0');
    return shift < 0 ? QStringLiteral("-") + digits : digits;
}

namespace {

// The print dictionary lives above this layer: the program hands its
// translation in through PrintTextTranslator; without it texts stay as
// they are.
QString TranslatePrintText(const QString& text) { return PrintTextTranslator ? PrintTextTranslator(text) : text; }

QString Int(double v) { return QString::number((long long)std::trunc(v)); }
QString Fixed(double v, int p, int d) { return PmlFixed(v, p, d); }
QString Padded(double v, int w, int d) { return PmlPadded(v, w, d); }
QString Shortest(double v) { return PmlShortest(v); }
// A text field of the record without its trailing blanks; the width is the
// field's own, so no read reaches the byte behind it.
template <size_t N>
QString TrimmedField(const char (&f)[N]) { return FieldTextTrimmed(f, int(N)); }

constexpr double MmToInch = 0.03937007874015748;
constexpr double KnToKg = 1000 * 0.1019367991845056;
constexpr double KgToLb = 2.20462;

QString DataPrefix(int number) { return QStringLiteral("--     %1 ").arg(number, 3, 10, QLatin1Char('0')); }
void DataLine(int number, const QString& text) { Line(DataPrefix(number) + text); }

char UnitCode() { return ConstructionRecord.PrintUnitChar; }

double OffsetX() {
    const auto& r = ConstructionRecord;
    if (r.K_WKL_ZHL_X == 1) return -r.K_WEG_X * 0.5;
    return r.K_EINBAU_KZ ? 0.0 : -r.K_WEG_X;
}

double OffsetY() {
    const auto& r = ConstructionRecord;
    if (r.K_WKL_ZHL_Y == 1) return -r.K_WEG_Y * 0.5;
    return r.K_EINBAU_KZ ? 0.0 : -r.K_WEG_Y;
}

// ------------------------------------------------------------ materials

// W_NR -> W_BZ of the material table in the catalogue directory. The
// table is read again only when its file changed.
QHash<int, QString> ReadMaterials() {
    static QString cachedStamp;
    static QHash<int, QString> cached;
    const QString dir = DBKONST->Path();
    const QString path = FindFileNoCase(dir, QStringLiteral("WST.DB"));
    const QFileInfo info(path);
    const QString stamp = path + u'|' + QString::number(info.lastModified().toMSecsSinceEpoch()) + u'|' +
                          QString::number(info.size());
    if (!path.isEmpty() && stamp == cachedStamp) return cached;
    QHash<int, QString> names;
    TTable wst(dir, QStringLiteral("WST.DB"));
    wst.SetReadOnly(true);
    wst.Open();
    if (!wst.IsEmpty()) {
        wst.First();
        do {
            names.insert(wst.FieldByName(QStringLiteral("W_NR")).AsInteger(),
                         wst.FieldByName(QStringLiteral("W_BZ")).AsString());
        } while (wst.Next());
    }
    wst.Close();
    cachedStamp = stamp;
    cached = names;
    return names;
}

QString FixedText(const QString& text, int width) { return text.left(width).leftJustified(width, u' '); }

QString ZonedDigits(int value, int width) {
    char field[8];
    PutIntField(field, width - 1, value);
    return FieldText(field, width);
}

// ------------------------------------------------------------ data block

void WriteLoadCaseLines() {
    const auto& r = ConstructionRecord;
    if (r.K_S_Y_KZ) {
        DataLine(105, TranslatePrintText("Cold load") + " [kN]= " + Fixed(r.K_LAST_BLOK, 7, 2));
        DataLine(106, TranslatePrintText("Hot load") + " [kN]= " + Fixed(r.K_KALWAR_KZ ? r.K_LAST_AUSG : r.K_LAST, 7, 2));
        DataLine(107, TranslatePrintText("Spring rate") + " [N/mm]= " + Fixed(r.K_FDR_RATE, 7, 1));
        DataLine(108, TranslatePrintText("Force deviation") + " [%]= " + Int(r.K_FDIFF_EFF));
        const QString travel = TranslatePrintText("Travel") + " - ";
        DataLine(110, travel + TranslatePrintText("X - Direction") + " [mm]= " + Fixed(r.K_WEG_X, 7, 1));
        DataLine(111, travel + TranslatePrintText("Y - Direction") + " [mm]= " + Fixed(r.K_WEG_Y, 7, 1));
        DataLine(112, travel + TranslatePrintText("Z - Direction") + " [mm]= " + Fixed(r.K_WEG_Z, 7, 1));
        const QString offset = TranslatePrintText("Offset") + " - ";
        DataLine(113, offset + TranslatePrintText("X - Direction") + " [mm]= " + Fixed(OffsetX(), 7, 1));
        DataLine(114, offset + TranslatePrintText("Y - Direction") + " [mm]= " + Fixed(OffsetY(), 7, 1));
        DataLine(120, TranslatePrintText("Pipe diameter") + " [mm]= " + Fixed(r.K_RDM, 6, 1));
        DataLine(121, TranslatePrintText("Insulation") + " [mm]= " + Fixed(r.K_DAEMMST, 6, 0));
        DataLine(122, TranslatePrintText("Temperature") + " [°C]= " + Fixed(r.K_TEM, 4, 0));
        DataLine(123, TranslatePrintText("Force deviation") + " [%]= " + Int(r.K_FDIFF_EFF));
        DataLine(124, TranslatePrintText("Preset position") + " [mm]= " + Int(r.K_BLOCKIER));
        Line(QStringLiteral("--     301 Alpha = ") + Fixed(CalcGlobals.OutputAlpha, 7, 2) + " Delta l SLCA = " +
             Fixed(CalcGlobals.OutputDeltaLSlca, 7, 2) + " Delta l SCLP = " + Fixed(std::abs(r.K_WKL_VOR), 7, 2));
    } else {
        DataLine(205, TranslatePrintText("Load (H/Normal)") + " [kN]= " + Fixed(r.K_LAST, 7, 2));
        DataLine(206, TranslatePrintText("Load (H/Emergency)") + " [kN]= " + Fixed(r.K_LAST_DYN_2, 7, 2));
        DataLine(207, TranslatePrintText("Load (H/Faulted)") + " [kN]= " + Fixed(r.K_LAST_DYN_3, 7, 2));
        DataLine(208, TranslatePrintText("Positive movement") + " [mm]= " + Fixed(r.K_WEG_X, 6, 0));
        DataLine(209, TranslatePrintText("Negative movement") + " [mm]= " + Fixed(r.K_WEG_Y, 6, 0));
        DataLine(220, TranslatePrintText("Pipe diameter") + " [mm]= " + Fixed(r.K_RDM, 6, 1));
        DataLine(221, TranslatePrintText("Insulation") + " [mm]= " + Fixed(r.K_DAEMMST, 6, 0));
        DataLine(222, TranslatePrintText("Temperature") + " [°C]= " + Fixed(r.K_TEM, 4, 0));
        DataLine(223, TranslatePrintText("Travel working range") + " [mm]= " + Int(r.K_ARBWEG));
        DataLine(224, TranslatePrintText("Piston position") + " [mm]= " + Int(r.K_BLOCKIER));
    }
}

void WritePartsRows() {
    DataLine(400, TranslatePrintText("No") + " " + TranslatePrintText("Type") + "    " + TranslatePrintText("Description") + "      " + TranslatePrintText("Qty") + "    " +
                      TranslatePrintText("Weight") + "  " + TranslatePrintText("Material"));
    Line(QStringLiteral("--     401                                      [kg]"));
    const QHash<int, QString>& materials = W->Materials;
    const int rows = std::clamp<int>(PartsList.RowCount, 0, PartsListRows);
    for (int i = 0; i < rows; ++i) {
        bool numeric = false;
        const int kind = PartsList.KB_KBEZ[i].trimmed().toInt(&numeric);
        const QString description = numeric ? TranslatePrintText(ErrorTextByNumber(kind)) : QString();
        const QString material = materials.value(PartsList.KB_WST[i]);
        DataLine(410, ZonedDigits(PartsList.KB_POS[i], 2) + " " + FixedText(PartsList.KB_BTL_ZUS[i], 14) + " " +
                          FixedText(description, 20) + " " + ZonedDigits(PartsList.KB_ANZ[i], 2) + " " +
                          Padded(PartsList.KB_ANZ[i] * PartsList.KB_GEW[i], 5, 2).rightJustified(8, u' ') + " " +
                          FixedText(material, 8));
    }
}

void WriteDataBlock(const QString& fileName) {
    const auto& r = ConstructionRecord;
    DataLine(0, TranslatePrintText("Begin KORVA-Data"));
    DataLine(1, TranslatePrintText("File") + " : /" + fileName);
    Line(QStringLiteral("--     002 KORVA-") + TranslatePrintText("KORVA Dwg No.") + " : /" + Int(r.K_LFD_NR) + "-3-" + Int(r.K_NR) + " " +
         TrimmedField(r.K_NR_ANL));
    DataLine(3, TranslatePrintText("Hanger mark N°") + " : /" + TrimmedField(r.K_POS_NR));
    DataLine(4, TranslatePrintText("Customer dwg No.") + " : /" + TrimmedField(r.K_KDN_ZNR));
    DataLine(5, TranslatePrintText("Calculation point") + " : /" + TrimmedField(r.K_CALC_NR));
    WriteLoadCaseLines();
    WritePartsRows();
    Line(QStringLiteral("--     997 KORVA ") + TranslatePrintText("Version") + ": " + FieldText(r.K_VER));
    Line(QStringLiteral("--     998 (MDS) ") + TranslatePrintText("Version") + ": 9.5.0 -  2015/08/28");
    DataLine(999, TranslatePrintText("End KORVA-Data"));
    Line(QStringLiteral("--"));
}

// ------------------------------------------------------------ head

// A length in the print unit: inches with two decimals for "C", else
// whole millimetres.
QString LengthField(double mm) { return UnitCode() == 'C' ? Padded(mm * MmToInch, 6, 2) : Padded(mm, 6, 0); }

// A load as the print unit wants it: kN, kg or lb.
QString LoadField(double kN) {
    switch (UnitCode()) {
    case 'B': return Padded(kN * KnToKg, 7, 0);
    case 'C': return Padded(kN * KnToKg * KgToLb, 7, 0);
    default: return Padded(kN, 6, 2);
    }
}

void WriteHead() {
    auto& r = ConstructionRecord;
    const bool imperial = UnitCode() == 'C';
    Line(QStringLiteral("FOR"));
    BlankLine();
    Line(QStringLiteral("RESTR /") + W->Mark + "/REST");
    W->SpecName = QStringLiteral("ZORBEL3.0");
    W->ComponentName.clear();
    Line(QStringLiteral("  HSPE SPEC /") + W->SpecName);
    BlankLine();
    Line(r.K_KATA_KZ ? QStringLiteral("  Function 'UNC'") : QStringLiteral("  Function 'EUR'"));
    BlankLine();
    if (r.K_S_Y_KZ)
        Line(QStringLiteral("  :USTFORCES ") + Fixed(r.K_LAST, 7, 2) + " " + Fixed(r.K_STAT_LAST_HZ, 7, 2) + " " +
             Fixed(r.K_STAT_LAST_HS, 7, 2));
    else
        Line(QStringLiteral("  :USTFORCES ") + Fixed(r.K_LAST, 7, 2) + " " + Fixed(r.K_LAST_DYN_2, 7, 2) + " " +
             Fixed(r.K_LAST_DYN_3, 7, 2));
    Line(QStringLiteral("  :USTTESTLOAD ") + LoadField(r.K_HYDRO_LAST));
    if (r.K_S_Y_KZ) {
        Line(QStringLiteral("  :USTMOVEMENT ") + LengthField(r.K_WEG_X) + " " + LengthField(r.K_WEG_Y) + " " +
             LengthField(r.K_WEG_Z) + " 0 0");
        Line(QStringLiteral("--:USTMOVEMENT   [horz]  [late]  [vert]"));
    } else {
        Line(QStringLiteral("  :USTMOVEMENT  0 0 0 ") + Fixed(r.K_WEG_X, 7, 0) + " " + Fixed(r.K_WEG_Y, 7, 0));
    }
    const bool twoElevations = Letter(5) == u'D';
    QString elevation;
    if (imperial)
        elevation = r.K_HI_Q_F_1 + (twoElevations ? QStringLiteral(" ") + r.K_HI_Q_F_2 : QString());
    else
        elevation = Fixed(r.K_HM_Q_1, 7, 0) + (twoElevations ? QStringLiteral(" ") + Fixed(r.K_HM_Q_2, 7, 0) : QString());
    Line(QStringLiteral("  :USTSTEELELEV ") + elevation);
    Line(QStringLiteral("  :USTDISTROD ") + LengthField(r.K_BREITE));
    Line(QStringLiteral("  :USTMAXTRAVEL ") +
         (imperial ? Padded(r.K_ARBWEG * MmToInch, 6, 2) : QString::number(r.K_ARBWEG).rightJustified(6, u' ')));
    Line(QStringLiteral("  :USTSTATLOAD ") + LoadField(r.K_LAST_BLOK));
    Line(QStringLiteral("  :USTBLOCKPOS ") +
         (imperial ? Padded(r.K_BLOCKIER * MmToInch, 6, 2) : QString::number(r.K_BLOCKIER).rightJustified(6, u' ')));
    Line(QStringLiteral("  :USTHNGOFFSET ") + Padded(OffsetY(), 5, 0) + " " + Padded(OffsetX(), 5, 0));
    Line(QStringLiteral("   handle any"));
    Line(QStringLiteral("   endhandle"));
    // The weld text is normalised in the record itself: the host wants a
    // number with ".".
    if (r.K_NAHT.trimmed().isEmpty()) r.K_NAHT = QStringLiteral("0");
    r.K_NAHT.replace(u',', u'.');
    Line(QStringLiteral("  :USTWELDVALUE ") + r.K_NAHT + " 0 0 " + Fixed(CalcGlobals.WeldValue, 3, 2));
    Line(QStringLiteral("  :USTSPRRATE ") + Fixed(r.K_FDR_RATE, 5, 2));
}

// ------------------------------------------------------------ hanger and clamp

struct ClampCode {
    QString text;  // 8 digits
    QString c1() const { return text.left(1); }
    QString c2() const { return text.left(2); }
    QString c3() const { return text.left(3); }
    bool c2In(std::initializer_list<const char*> codes) const {
        for (const char* c : codes)
            if (c2() == QLatin1String(c)) return true;
        return false;
    }
};

QString SlidePlateCode() {
    const QString k = ConstructionRecord.K_T49G_KZ.left(1);
    if (k == u'1') return QStringLiteral("G2A");
    if (k == u'2') return QStringLiteral("G2P");
    if (k == u'3') return QStringLiteral("G3");
    if (k == u'4') return QStringLiteral("G4");
    return QString();
}

void WritePipeVariables(const ClampCode& c) {
    if (c.c2In({"51", "52", "53"})) {
        BlankLine();
        Line(QStringLiteral(" var !o pl od of /") + W->Mark);
        Line(QStringLiteral(" !r = !o.Real() / 2"));
        Line(QStringLiteral(" var !n pl bore of /") + W->Mark);
        Line(QStringLiteral(" !b = !n.Real()"));
    } else if (c.c2() == QLatin1String("41")) {
        BlankLine();
        Line(QStringLiteral(" var !n pl bore of /") + W->Mark);
        Line(QStringLiteral(" !b = !n.Real()"));
    }
}

void WriteHangerHead() {
    BlankLine();
    Line(QStringLiteral("    /") + W->Mark);
    if (Letter(2) == u'S' && Letter(4) == u'Y') {
        Line(QStringLiteral("    VAR !OR dir p9"));
        Line(QStringLiteral("    !oridir  = !or.direction().opposite().STRING().before('WRT')"));
    } else {
        Line(QStringLiteral("    VAR !OR dir p11"));
    }
    BlankLine();
    Line(QStringLiteral("HANG /") + W->Mark + "/H1");
    Line(QStringLiteral("    HSPE SPEC /") + W->SpecName);
    Line(QStringLiteral("    HSRO SPCO /") + W->SpecName + "/" + W->RodThread);
    Line(QStringLiteral("    POS HH AT /") + W->Mark);
    Line(QStringLiteral("    HREF /") + W->Mark);
    if (Letter(3) == u'V') {
        Line(QStringLiteral("    HREF /") + W->Mark);
        Line(QStringLiteral("    HDIR D"));
    }
    Line(QStringLiteral("    HCON TUB"));
}

// The nominal width of the clamp's diameter code; 0 when there is none.
int16_t NominalWidth(const ClampCode& c) {
    const QString key = c.c2In({"54", "58"}) ? c.text.mid(3, 2) : c.text.mid(2, 2);
    DurdatRecord.D_R_DM_KZ = int16_t(key.toInt());
    DurdatStart1();
    if (CalcGlobals.TableStatus == 0) DurdatReadNext1();
    return CalcGlobals.TableStatus == 0 ? DurdatRecord.D_NENNWTE : int16_t(0);
}

enum class ClampTable { Dynamic, Cold, Clamp };

ClampTable ReadClampRow(const ClampCode& c) {
    const auto& r = ConstructionRecord;
    ClampTable table = ClampTable::Clamp;
    if ((c.c2In({"87", "88"}) && Letter(4) == u'Y') || c.c1() == u'3') table = ClampTable::Dynamic;
    else if (c.c1() == u'5') table = ClampTable::Cold;
    // A clamp of another table leaves no clamp-table row at hand: the slide
    // element and the yoke read a cleared one, never a row read before.
    if (table != ClampTable::Clamp) ClearKeepingFlags(PgrsrlRecord);
    bool found = false;
    switch (table) {
    case ClampTable::Dynamic:
        PgdynaRecord.DYN_NRN = r.K_RSL_NRN;
        PgdynaRead();
        found = CalcGlobals.TableStatus == 0;
        break;
    case ClampTable::Cold:
        PgcoolRecord.CLD_NRN = r.K_RSL_NRN;
        PgcoolRead();
        found = CalcGlobals.TableStatus == 0;
        break;
    case ClampTable::Clamp:
        PgrsrlRecord.RSL_NRN = r.K_RSL_NRN;
        PgrsrlRead();
        found = CalcGlobals.TableStatus == 0;
        break;
    }
    if (!found) {
        if (IsChainProduct(r.K_RSL_NRN))
            MissingProduct(r.K_RSL_NRN, table == ClampTable::Dynamic ? "Pgdyna.DB"
                                        : table == ClampTable::Cold  ? "PGCLDSTA.DB"
                                                                     : "pgrsrsl.DB");
        // Not a product of the chain (no clamp selected): write from cleared
        // records, never from the row read before.
        switch (table) {
        case ClampTable::Dynamic: ClearKeepingFlags(PgdynaRecord); break;
        case ClampTable::Cold: ClearKeepingFlags(PgcoolRecord); break;
        case ClampTable::Clamp: ClearKeepingFlags(PgrsrlRecord); break;
        }
        BlankText(PgrsrlRecord.RSL_L_NR);
        BlankText(PgrsrlRecord.RSL_L_NR_K);
        PutText(PgdynaRecord.DYN_L_NR, QStringLiteral("000000"));
        PutText(PgdynaRecord.DYN_L_NR_K, QStringLiteral("000000"));
        PgrsrlRecord.RSL_KOP_KZ = false;
    }
    return table;
}

QString ClampComponent(const ClampCode& c) {
    const auto& r = ConstructionRecord;
    const bool k = r.K_KERNTECH;
    const QString rsl = FieldText(k ? PgrsrlRecord.RSL_L_NR_K : PgrsrlRecord.RSL_L_NR);
    const QString dyn = FieldText(k ? PgdynaRecord.DYN_L_NR_K : PgdynaRecord.DYN_L_NR);
    const bool hd = r.K_HD_KZ && PgrsrlRecord.RSL_HD_KZ;
    if (c.c2In({"87", "88"})) return Letter(4) == u'Y' ? dyn : rsl;
    if (c.c2In({"48", "45"})) return rsl + "-" + Shortest(r.K_BREITE_2) + (hd ? QStringLiteral("-HD") : QString());
    if (c.c2() == QLatin1String("38")) return QStringLiteral("34SG");
    if (c.c2() == QLatin1String("37")) {
        if (Letter(4) == u'Y' || Letter(4) == u'F') {
            // The entry before the last parts row; with fewer than two rows
            // there is none, and no number is appended.
            const double entry = PartEntry(PartsList.RowCount - 1);
            return entry == 0 ? dyn : dyn + NumberText(entry);
        }
        return dyn + Int(PgdynaRecord.DYN_LG_MAX);
    }
    if (c.c1() == u'3') return dyn;
    if (c.c2() == QLatin1String("57")) return FieldText(PgcoolRecord.CLD_L_NR) + "-" + c.text.mid(2, 2);
    if (c.c1() == u'5') return FieldText(PgcoolRecord.CLD_L_NR);
    if (c.c2() == QLatin1String("49") && Letter(1) == u'D' && Letter(4) == u'R' && r.K_PTFE_KZ) {
        const QString number = hd ? FieldText(PgrsrlRecord.RSL_L_NR) : rsl;
        return number + SlidePlateCode() + (hd ? QStringLiteral("-SP-HD") : QStringLiteral("-SP"));
    }
    return rsl + (c.c2() == QLatin1String("49") ? SlidePlateCode() : QString()) + (hd ? QStringLiteral("-HD") : QString());
}

// The clamp's entry in the part list (0 when there is none) and the part
// below it, whose size code the clamp's DESP line takes.
struct ClampPlace {
    int entry = 0;
    int below = 1;
};

ClampPlace FindClampPlace() {
    ClampPlace p;
    for (int i = 30; i >= 1; --i) {
        const double number = PartEntry(i);
        if (number == 0) continue;
        const QString text = NumberText(number);
        const QString type = text.left(2);
        if (text.startsWith(u'4') || text.startsWith(u'5') || type == QLatin1String("36") ||
            type == QLatin1String("37") || type == QLatin1String("38") || type == QLatin1String("87") ||
            type == QLatin1String("88")) {
            p.entry = i;
            break;
        }
    }
    p.below = p.entry - 1 >= 1 ? p.entry - 1 : 1;
    if (NumberText(PartEntry(p.below)).startsWith(QLatin1String("77")) && p.entry - 2 >= 1) p.below = p.entry - 2;
    return p;
}

const char* const FgTable[][2] = {
    {"01", "16"}, {"02", "16"}, {"03", "16"}, {"04", "20"}, {"05", "24"}, {"06", "30"},
    {"07", "36"}, {"08", "42"}, {"09", "48"}, {"10", "56"}, {"20", "64"}, {"30", "68"},
};

QString ClampDespText(const ClampCode& c, const ClampPlace& place, int16_t nominalWidth) {
    const auto& r = ConstructionRecord;
    const QString size = NumberText(PartEntry(place.below)).mid(3, 2);
    QString text;
    if (Letter(4) == u'F' || Letter(4) == u'G') {
        for (const auto& row : FgTable)
            if (size == QLatin1String(row[0])) text = QStringLiteral("    DESP  ") + row[1] + " 00 ";
    } else if (const QString n = DespSizeNumber(size); !n.isEmpty()) {
        text = QStringLiteral("    DESP  ") + n + " " + n + " ";
    }
    const bool c49 = c.c2() == QLatin1String("49");
    if (c49 && (text.isEmpty() || (Letter(4) == u'R' && Letter(6) == u'L' && Letter(7) == u'X' && Letter(8) == u'S')))
        text = QStringLiteral("    DESP  0  0 ");
    if (QStringLiteral("YFG").contains(Letter(4))) text = QStringLiteral("    DESP  00 00 ");
    if (c.c2() == QLatin1String("41")) text = QStringLiteral("    DESP  $!b ") + W->RodSizeText + " 0 ";
    if (c.c3() == QLatin1String("531")) text = QStringLiteral("    DESP  $!b  $!b  $!r");
    if (c.c3() == QLatin1String("532")) text = QStringLiteral("    DESP  $!b  $!b  $!r  ") + Int(r.K_BREITE);
    const bool c58 = c.c2() == QLatin1String("58");
    if (c.c3() == QLatin1String("541") || c.c3() == QLatin1String("542") || (c58 && PartEntry(2) == 0))
        text = QStringLiteral("    DESP  ") + Int(nominalWidth) + " " + Int(nominalWidth) + " " + Fixed(r.K_HM_D_1, 7, 0);
    if (c58 && PartEntry(2) != 0) text += BridgeDimension(place.entry + 1);
    if (c.c2() == QLatin1String("40")) text = QStringLiteral("    DESP  ");
    if (c.c2In({"49", "37", "57", "87"})) {
        const QString n = DespSizeNumber(size);
        W->KeptSingleDesp = n.isEmpty() ? QString() : QStringLiteral("    DESP   ") + n + " ";
        W->SingleDespPending = true;
    }
    if (c.c1() == u'4') W->KeptClampDesp = text;
    return text;
}

void WriteClamp(const ClampCode& c, int16_t nominalWidth) {
    const auto& r = ConstructionRecord;
    BlankLine();
    Line(QStringLiteral("  NEW PCLA"));
    ReadClampRow(c);
    Line(QStringLiteral("    SPRE SPCO /") + W->SpecName + "/" + ClampComponent(c));
    if (c.c2() == QLatin1String("36") && FieldText(PgdynaRecord.DYN_L_NR).startsWith(QLatin1String("37")))
        W->MtoClampFlag = true;
    Line(QStringLiteral("    LSRO SPCO /") + W->SpecName + "/" + W->RodThread);
    W->AddMatText = QStringLiteral(" ");

    const ClampPlace place = FindClampPlace();
    const QString desp = ClampDespText(c, place, nominalWidth);
    const QString rdm = Padded(r.K_RDM, 5, 1);
    if (c.c2() == QLatin1String("41")) {
        Line(desp + " " + rdm);
    } else if (c.c1() == u'4' || c.c2() == QLatin1String("37")) {
        Line(desp + Shortest(r.K_BREITE) + " " + rdm);
    } else if (c.c2() == QLatin1String("36")) {
        Line(desp + Shortest(r.K_BREITE) + " " + rdm + " " + BridgeDimension(place.entry + 1) + Int(r.K_LG_MAX));
    } else if (c.c2() == QLatin1String("38")) {
        Line(QStringLiteral("    DESP  0 0 0 0 0 0 0 0 0 0 0 0 0 "));
        Line(QStringLiteral("    VAR !HH NAME"));
        W->MtoPartFlag = true;
    } else if (c.c2() == QLatin1String("79")) {
        Line(QStringLiteral("    DESP  ") + Shortest(r.K_BREITE));
    } else if (c.c2() == QLatin1String("56")) {
        BlankLine();
    } else {
        Line(desp);
    }

    if (c.c2() == QLatin1String("38")) Line(QStringLiteral("    CONN AND P5 IS $!OR"));
    else if (Letter(2) == u'S' && Letter(4) == u'Y') Line(QStringLiteral("    CONN and PL IS $!oridir"));
    else Line(QStringLiteral("    CONN"));
    if (PgrsrlRecord.RSL_KOP_KZ) Line(QStringLiteral("    VAR !NA NAME"));

    const QString belowText = NumberText(PartEntry(place.below));
    if (c.c2In({"45", "48"})) {
        Line(QStringLiteral("    ORI AND P5 IS $!OR"));
        Line(QStringLiteral("    VAR !HH NAME"));
        Line(QStringLiteral("    VAR !OR dir X"));
    } else if (!c.c2In({"38", "49", "37", "87"})) {
        Line(belowText.contains(QLatin1String("77")) ? QStringLiteral("    VAR !OR dir X") : QStringLiteral("    VAR !OR dir Y"));
    }
    if (PgrsrlRecord.RSL_KOP_KZ) {
        SetSearchKey(PartEntry(place.below));
        ReadStatic();
        Line(QStringLiteral("    MOVE $!OR DIST -") + Shortest(PgstatRecord.STA_BREITE * 0.5));
    }
}

void WriteSecondLeg() {
    BlankLine();
    Line(QStringLiteral("NEW HANG /") + W->Mark + "/H2");
    Line(QStringLiteral("    HSPE SPEC /") + W->SpecName);
    RodThreadForSize();
    Line(QStringLiteral("    HSRO SPCO /") + W->SpecName + "/" + W->RodThread);
    Line(QStringLiteral("    HCON TUB"));
    Line(QStringLiteral("    HBOR  42"));
    Line(QStringLiteral("    HEAD CONN TO P3 of $!NA2"));
    BlankLine();
    Line(QStringLiteral("  NEW PCLA"));
    Line(QStringLiteral("    COPY $!NA"));
    Line(QStringLiteral("    CONN"));
    Line(QStringLiteral("    ORI PL IS $!OR"));
    Line(QStringLiteral("    VAR !NA3 NAME"));
    BlankLine();
    Line(QStringLiteral("    OWN"));
    Line(QStringLiteral("    CONN PT TO LAST MEM"));
}

QString SupportFunctionCode() {
    const bool vertical = Letter(3) == u'V';
    if (Letter(4) == u'F') return vertical ? QStringLiteral("AV") : QStringLiteral("AH");
    if (Letter(4) == u'Y') {
        if (Letter(1) == u'F') return QStringLiteral("RU");
        if (Letter(5) == u'E') return QStringLiteral("RV");
        if (Letter(5) == u'D' && !vertical) return QStringLiteral("RW");
        return QStringLiteral("RU");
    }
    if (Letter(8) == u'S') return vertical ? QStringLiteral("HV") : QStringLiteral("HH");
    if (ConstructionRecord.K_STA_NRN < 20000000.0) return vertical ? QStringLiteral("CV") : QStringLiteral("CH");
    return vertical ? QStringLiteral("SV") : QStringLiteral("SH");
}

void WriteStatements() {
    const auto& r = ConstructionRecord;
    if (!r.K_S_Y_KZ) LoadType39Or34Dims();
    W->RodThread = QStringLiteral("M00");
    RodThreadForSize();

    ClampCode c;
    c.text = NumberText(r.K_RSL_NRN);
    SetSearchKey(r.K_RSL_NRN);
    WritePipeVariables(c);
    WriteHangerHead();
    const int16_t nominalWidth = NominalWidth(c);
    Line(c.c2In({"41", "51", "52", "53"}) ? QStringLiteral("    HBOR  $!b") : QStringLiteral("    HBOR  ") + Int(nominalWidth));
    if (c.c2() == QLatin1String("40") || (Letter(1) == u'C' && c.c2() != QLatin1String("58"))) {
        Line(QStringLiteral("    VAR !HOR PL DIR OF /") + W->Mark);
        Line(QStringLiteral("    HDIR $!HOR"));
    }
    WriteClamp(c, nominalWidth);

    W->ChainHeight = 0;
    WritePartChain();

    BlankLine();
    Line(QStringLiteral("    OWN"));
    Line(QStringLiteral("    CONN PT TO LAST MEM"));
    BlankLine();
    if (T2() == QLatin1String("74")) {
        Line(QStringLiteral("    SAME"));
        Line(QStringLiteral("    FLIP"));
        Line(QStringLiteral("    ORI"));
        Line(QStringLiteral("    POS PA THROUGH UP ") + Fixed(r.K_HM_Q_1, 7, 0) + " WRT /*");
    }
    BlankLine();
    if (Letter(3) == u'H' && PgrsrlRecord.RSL_KOP_KZ) WriteSecondLeg();
    Line(QStringLiteral("/") + W->Mark);
    Line(QStringLiteral(":MdsSuppFunc '") + SupportFunctionCode() + "'");
    Line(QStringLiteral(":MdsDesiTemp  ") + Fixed(r.K_TEM, 4, 0));
    Line(QStringLiteral("/") + W->Mark + "/REST");
    BlankLine();
    BlankLine();
    Line(QStringLiteral("$."));
}

// Opens the catalogue tables the writer reads for the time of one call and
// puts their state back afterwards.
class CatalogueTablesOpen {
public:
    CatalogueTablesOpen() {
        if (!DBKONST) throw EPmlFileError(QStringLiteral("The catalogue is not open; no output file written."));
        for (TTable* t : {&DBKONST->PGSTAT, &DBKONST->PGDYNA, &DBKONST->PGRSRL, &DBKONST->PGCOOL,
                          &DBKONST->DURDATDB, &DBKONST->TXTTAB, &DBKONST->PGCURE}) {
            m_guards.push_back(std::make_unique<TableStateGuard>(*t));
            if (!t->Active()) t->Open();
        }
    }

private:
    std::vector<std::unique_ptr<TableStateGuard>> m_guards;
};

}  // namespace

QStringList PmlFileLines(const QString& fileName) {
    WriterState state;
    WriterState* const previous = W;
    W = &state;
    struct Restore {
        WriterState* previous;
        ~Restore() { W = previous; }
    } restore{previous};

    const CatalogueTablesOpen tables;
    state.Materials = ReadMaterials();
    // One read transaction over the catalogue: every row comes from the
    // same state of the tables, and the reads take the file locks once. A
    // read scope, not a write transaction: the writer changes nothing in the
    // catalogue, and a write transaction would lock every table file against
    // other programs and commit through a synced multi-file journal.
    const TReadScope readScope(DBKONST->BASIS_DB);
    std::copy(std::begin(ConstructionRecord.K_BTL_8), std::end(ConstructionRecord.K_BTL_8), state.Parts.begin());
    state.Mark = RemoveBlanks(FieldText(ConstructionRecord.K_POS_NR));
    PgrsrlRecord.RSL_KOP_KZ = false;
    WriteDataBlock(fileName);
    WriteHead();
    WriteStatements();
    // The host reads the file line by line and cannot parse a tab or any
    // other control character. The host input and the form's fields keep
    // them out of the record; what is left to meet here is the output
    // file's own name (line 001, from the command line), a support stored
    // by an older version and a catalogue text. The file never holds one.
    for (QString& line : state.out)
        if (FirstControlCharacter(line) >= 0) line = WithoutControlCharacters(line);
    return state.out;
}

namespace {

bool IsSurrogatePair(const QString& text, qsizetype at) {
    return text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate();
}

// The first character of a name that the host's code page cannot hold, -1
// for none. Control characters are not counted: the writer leaves them out
// of every line.
qsizetype FirstUnwritableCharacter(const QString& name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (IsControlCharacter(name[i])) continue;
        const qsizetype length = IsSurrogatePair(name, i) ? 2 : 1;
        if (FirstCharacterNotIn(name.mid(i, length), HostFileCodePage) >= 0) return i;
        i += length - 1;
    }
    return -1;
}

}  // namespace

QString OutputFileNameProblem(const QString& fileName) {
    const qsizetype at = FirstUnwritableCharacter(fileName);
    if (at < 0) return {};
    const QString consequence = QStringLiteral("the output file, whose first line names it, is not written");
    // Bytes of the host's argument that were no character at all.
    if (fileName[at] == QChar::ReplacementCharacter)
        return QStringLiteral("The output file name holds a byte at position %1 that is no character of the host's "
                              "code page; %2")
            .arg(at + 1)
            .arg(consequence);
    // A lone half of a pair is named as it stands.
    const char32_t code = IsSurrogatePair(fileName, at) ? QChar::surrogateToUcs4(fileName[at], fileName[at + 1])
                                                        : fileName[at].unicode();
    // Named by its number: the host's error file could not hold it either.
    return QStringLiteral("The output file name holds the character %1 at position %2, which the host's code page "
                          "cannot hold; %3")
        .arg(CodePointName(code))
        .arg(at + 1)
        .arg(consequence);
}

bool WritePmlFile(const QString& fileName, QString* error) {
    try {
        if (const QString problem = OutputFileNameProblem(fileName); !problem.isEmpty()) throw EPmlFileError(problem);
        const QStringList lines = PmlFileLines(fileName);
        QString text;
        text.reserve(lines.size() * 40);
        for (const QString& l : lines) {
            text += l;
            text += QLatin1String("\r\n");
        }
        HostTextWriter out;
        // The writer's reason names the file and the cause (a FIFO nobody
        // reads, a full disk).
        if (!out.Open(fileName))
            throw EPmlFileError(QStringLiteral("The output file %1 cannot be created (%2).").arg(fileName, out.ErrorString()));
        out.Write(text);
        if (!out.Commit())
            throw EPmlFileError(QStringLiteral("The output file %1 could not be written (%2).").arg(fileName, out.ErrorString()));
        return true;
    } catch (const EPmlFileError& e) {
        if (error) *error = e.Message();
    } catch (const std::exception& e) {
        if (error) *error = QStringLiteral("The output file %1 could not be written: %2").arg(fileName, QString::fromLocal8Bit(e.what()));
    }
    return false;
}
