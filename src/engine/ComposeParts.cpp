#include "engine/ComposeParts.h"

#include "data/ABHGNR.h"
#include "data/BridgeRecords.h"
#include "data/CblTools.h"
#include "data/FIRAUFKON.h"
#include "data/KONBTL.h"
#include "data/PGCOOL.h"
#include "data/PGDYNA.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "engine/EngineState.h"

#include <QCoreApplication>
#include <cmath>

CompositionState CompositionValues;

namespace {

TConstructionRecord& K = ConstructionRecord;
TCalcGlobals& G = CalcGlobals;
constexpr Extended InchPerMm = 0.03937007874015748L;
constexpr int ChainLength = 30;
const QString Unreadable = QStringLiteral("999999");

// --- number texts ----------------------------------------------------------

QString Whole(Extended v) { return QString::number(qint64(std::trunc(v))); }
QString WholeWidth(Extended v, int width) { return Whole(v).rightJustified(width, u' '); }
// Fixed notation with the given decimals and a minimum width, blank-padded.
QString Fixed(Extended v, int decimals, int width) {
    return QString::number(double(v), 'f', decimals).rightJustified(width, u' ');
}
QString Inch(Extended mm) { return Fixed(mm * InchPerMm, 1, 3); }
// Fixed notation of a value first cut to `precision` significant digits.
QString FixedPrecision(Extended v, int precision, int decimals) {
    if (v == 0)
        return QString::number(0.0, 'f', decimals);
    const int magnitude = int(std::floor(std::log10(std::fabs(double(v))))) + 1;
    if (magnitude > precision)
        return QString::number(double(v), 'e', precision - 1);
    const double scale = std::pow(10.0, precision - magnitude);
    return QString::number(std::nearbyint(double(v) * scale) / scale, 'f', decimals);
}

QString ProductText(double number) { return QString::number(qint64(number)).rightJustified(8, u'0').right(8); }

// --- the row being composed -------------------------------------------------

enum class Kind { Static, Dynamic, Clamp, Cold };

Kind KindOf(const QString& number8) {
    switch (number8.at(0).toLatin1()) {
    case '3': return Kind::Dynamic;
    case '4': return Kind::Clamp;
    case '5': return Kind::Cold;
    default: return Kind::Static;
    }
}

struct Composer {
    int row = 0;                // parts-list row (1..24) and bridge item
    int countedLength = 0;      // counted-lengths mode after a type-63 part: the last n used
    QString previousStaLNr;     // STA_L_NR of the part before (for the load-group text)
    QString previousNumber;     // product number of the part before

    void Run();
    bool Pass();  // false: a part was dropped and the pass must start again
    void Position(int i);
    void StaticItem(int i, const QString& nr);
    void ClampItem(int i, const QString& nr);
    void ColdItem(int i, const QString& nr);
    void DynamicItem(int i, const QString& nr);
    void AddPartsListRow(int i, const QString& nr, bool found);
    bool ReadRow(const QString& nr);
    void StaticDesignation(int r, const QString& nr);
    void DynamicDesignation(int r, const QString& nr);
    void ClampDesignation(int r, const QString& nr);
    void ColdDesignation(int r, const QString& nr);
    void PinSupplement(int r);
    void Finish();
};

BridgeItem& Item(int i) {
    if (i < 1 || i > ChainLength)
        throw EngineStepError(MsgTableIndexOutOfRange);
    return BridgeRecords.Items[std::size_t(i - 1)];
}

void SetItem(int i, const QString& part, int dimension) {
    BridgeItem& item = Item(i);
    PutTextField(item.PartNumber, 8, part.left(8));
    // The field holds digits only: a negative length (a rod the chain
    // overran) is no length, never a sign inside the digits.
    PutTextField(item.Dimension, 4, PadDigits4(std::max(dimension, 0)).left(4));
}

int WidthStep() { return std::clamp<int>(K.K_BRT_ZAEHL, 1, 5) - 1; }

// The weight column of a clamp: the width step, for a base clamp of a
// guide variant ("1" to "4") the variant's column, the one the selection
// weighed.
std::size_t WeightStep(const QString& nr) {
    if (nr.startsWith(QLatin1String("49"))) {
        const QString code = K.K_T49G_KZ.trimmed();
        if (code.size() == 1 && code.at(0) >= u'1' && code.at(0) <= u'4')
            return std::size_t(code.at(0).unicode() - '0');
    }
    return std::size_t(WidthStep());
}

double RestLength(int n) {
    switch (n) {
    case 1: return K.K_RESTLAENGE_1;
    case 2: return K.K_RESTLAENGE_2;
    case 3: return K.K_RESTLAENGE_3;
    case 4: return K.K_RESTLAENGE_4;
    case 5: return K.K_RESTLAENGE_5;
    default: throw EngineStepError(MsgTableIndexOutOfRange);
    }
}

bool SuffixS() { return K.K_RDM_KZ[0] == 'S' || K.K_RSRL_AN_KZ[0] == 'S'; }
// The option as the options form set it or a loaded support restored it;
// the record's own field holds it only for a support loaded from the
// project.
bool CNOption() { return G.CNStandard; }
// The nuclear numbers have no CN variant; the CN materials apply to both.
bool CNArticle() { return CNOption() && !K.K_KERNTECH; }
template <typename T>
T Material(T plain, T unc, T cn) { return CNOption() ? cn : K.K_KATA_KZ ? unc : plain; }

// Drops entry i of the chain with its quantity; the entries below move up.
void RemoveChainEntry(int i) {
    for (int j = i; j < ChainLength; ++j) {
        K.K_BTL_8[j - 1] = K.K_BTL_8[j];
        K.K_ANZ[j - 1] = K.K_ANZ[j];
    }
    K.K_BTL_8[ChainLength - 1] = 0;
    K.K_ANZ[ChainLength - 1] = 0;
}

bool RodWithoutLength(const QString& nr) { return nr.startsWith(QLatin1String("291")) && G.RodLengths[0] <= 0; }

void Composer::Run() {
    // A type-291 rod without a length is dropped (with its quantity) and the
    // pass starts again on a clean list; every lengthless rod goes in that
    // one drop, so the second pass cannot meet another.
    if (Pass())
        return;
    if (!Pass())
        throw EngineStepError(MsgTableIndexOutOfRange);
}

bool Composer::Pass() {
    ClearBridgeRecords();
    // The rows go; the drawing key of the list stays.
    const auto key = PartsList.KB_F_NR_AUS;
    const auto running = PartsList.KB_LFD_ZNR;
    ClearPartsList();
    PartsList.KB_F_NR_AUS = key;
    PartsList.KB_LFD_ZNR = running;
    *this = Composer();
    for (int i = 1; i <= ChainLength && K.K_BTL_8[i - 1] != 0; ++i) {
        const QString nr = ProductText(K.K_BTL_8[i - 1]);
        if (RodWithoutLength(nr)) {
            for (int j = ChainLength; j >= 1; --j)
                if (K.K_BTL_8[j - 1] != 0 && RodWithoutLength(ProductText(K.K_BTL_8[j - 1])))
                    RemoveChainEntry(j);
            if (G.MessageNumber == 2844 || G.MessageNumber == 2845)
                G.MessageNumber = 0;
            return false;
        }
        Position(i);
    }
    Finish();
    return true;
}

void Composer::Position(int i) {
    row += 1;
    if (row > PartsListRows)
        throw EngineStepError(MsgPartsListFull);
    const QString nr = ProductText(K.K_BTL_8[i - 1]);
    SetSearchKey(int32_t(K.K_BTL_8[i - 1]));
    if (nr.startsWith(QLatin1String("290")) && G.RodLengths[0] <= 0 && G.MessageNumber == 2641)
        G.MessageNumber = 0;
    // One read serves the bridge item and the row: the variant switches
    // only change prices and the clamp's type code, which the item does not
    // read.
    const bool found = ReadRow(nr);
    switch (KindOf(nr)) {
    case Kind::Clamp: ClampItem(i, nr); break;
    case Kind::Cold: ColdItem(i, nr); break;
    case Kind::Dynamic: DynamicItem(i, nr); break;
    case Kind::Static: StaticItem(i, nr); break;
    }
    G.TableStatus = found ? 0 : 1;
    AddPartsListRow(i, nr, found);
    PutTextField(Item(i).Position, 2, PadDigits2(row));
    previousNumber = nr;
}

void Composer::StaticItem(int i, const QString& nr) {
    TPgstatRecord& s = PgstatRecord;
    if (G.TableStatus != 0)
        s.STA_E = 0;
    if (s.STA_E < 0)
        s.STA_E = int16_t(-s.STA_E);
    const QString t3 = nr.left(3);
    if ((t3 == QLatin1String("290") || t3 == QLatin1String("161")) && K.K_PTFE_KZ && Letter(7) == 'X')
        s.STA_E = int16_t(s.STA_E + 3);
    const bool keyAsIs = t3 == QLatin1String("769") || t3 == QLatin1String("291");
    int dimension = s.STA_E;
    if (t3 == QLatin1String("760") || t3 == QLatin1String("761"))
        dimension = K.K_TRAGARM_L;
    else if (t3 == QLatin1String("769"))
        dimension = G.ArmWidth;
    else if (t3 == QLatin1String("660") || t3 == QLatin1String("670")) {
        if (K.K_KATA_KZ)
            dimension = dimension == 3000 ? 3657 : dimension == 2500 ? 3048 : dimension == 2000 ? 2438 : dimension;
    } else if (t3 == QLatin1String("291")) {
        dimension = G.RodLengths[0];
        K.K_RESTLAENGE_1 = G.RodLengths[0];
    }
    SetItem(i, keyAsIs ? SearchKeyText() : BridgePartNumber(nr), dimension);
}

void Composer::ClampItem(int i, const QString& nr) {
    TPgrsrlRecord& c = PgrsrlRecord;
    const bool found = G.TableStatus == 0;
    if (!found) {
        // Nothing of the clamp read before may pass for this one.
        c.RSL_E = 0;
        c.RSL_LG_VON = 0;
        c.RSL_LG.fill(0);
        c.RSL_GEW.fill(0);
    }
    if (c.RSL_E < 0)
        c.RSL_E = -c.RSL_E;
    const QString display = found ? FieldText(c.RSL_L_NR) : Unreadable;
    PutText(G.DisplayPartNumber, display);
    const QString t2 = nr.left(2);
    QString p = nr;
    if (t2 == QLatin1String("42"))
        p = display.left(6) + (nr.mid(6, 2) == QLatin1String("07") ? PadDigits2(G.ClampLoadGroup).right(2)
                                                                    : QStringLiteral("00"));
    else if (t2 == QLatin1String("41") || t2 == QLatin1String("43") || t2 == QLatin1String("49"))
        p = display.left(6) + QStringLiteral("00");
    else if (t2 == QLatin1String("40"))
        p = nr;
    else if (display.size() > 1 && display.at(1) == u'5') {
        p[1] = display.at(0);
        p.replace(4, 3, PadDigits2(int(0.1L * Extended(c.RSL_LG[std::size_t(WidthStep())]))).rightJustified(3, u'0').right(3));
        p[7] = u'0';
    } else
        p = display.left(6) + QString::number(K.K_BRT_ZAEHL % 10) + QStringLiteral("0");
    const bool plainType49 = t2 == QLatin1String("49") && nr.mid(2, 2) == QLatin1String("00");
    if (t2 == QLatin1String("49") && !plainType49 && Letter(1) == 'D' && Letter(4) == 'R' && K.K_PTFE_KZ)
        c.RSL_E += 2;
    SetItem(i, p, plainType49 ? c.RSL_LG_VON : int(c.RSL_E));
    if (nr.mid(2, 2) != QLatin1String("00")) {
        K.K_RSL_NRN = c.RSL_NRN;
        K.K_RSL_GEW = c.RSL_GEW[WeightStep(nr)];
    }
    if (t2 == QLatin1String("41") && K.K_HOR_TYP == 1 && i < ChainLength)
        SetItem(i + 1, QStringLiteral("80000000"), int(std::nearbyint(K.K_RDM * 0.5)));
}

void Composer::DynamicItem(int i, const QString& nr) {
    if (G.TableStatus != 0) {
        PgdynaRecord.DYN_E = 0;
        PgdynaRecord.DYN_GEW = 0;
    }
    const QString t2 = nr.left(2);
    if (t2 == QLatin1String("36") || t2 == QLatin1String("37") || t2 == QLatin1String("38")) {
        K.K_RSL_NRN = PgdynaRecord.DYN_NRN;
        K.K_RSL_GEW = PgdynaRecord.DYN_GEW;
    }
    const bool lengthened = nr.startsWith(QLatin1String("300")) && nr.at(7) > u'1';
    SetItem(i, BridgePartNumber(nr), lengthened ? int(K.K_RESTLAENGE_2) : std::abs(int(PgdynaRecord.DYN_E)));
}

// The height a pipe bearing adds, as the bearing search computed it, taken
// again from the bearing's own row: the clamp record that search left it in
// is overwritten by every clamp read after it (a lift-off guard, a clamp
// listed before the bearing).
int BearingOffset(const TPgcoolRecord& c) {
    const Extended ratio = K.K_RDM > 0 ? 2 * Extended(c.CLD_A) / K.K_RDM : 2;
    if (ratio < -1 || ratio > 1)
        return -PgrsrlRecord.RSL_E;
    return int(std::trunc(Extended(c.CLD_N)) + std::trunc(0.5L * K.K_RDM * std::cos(std::asin(ratio))));
}

void Composer::ColdItem(int i, const QString& nr) {
    TPgcoolRecord& c = PgcoolRecord;
    if (G.TableStatus != 0)
        c.CLD_GEW = 0;
    const QString display = G.TableStatus == 0 ? FieldText(c.CLD_L_NR) : Unreadable;
    PutText(G.DisplayPartNumber, display);
    const QString t2 = nr.left(2);
    int dimension;
    if (Letter(1) == 'D' && Letter(4) == 'R' && Letter(7) == 'F')
        dimension = G.RodLengths[0];
    else if (t2 == QLatin1String("51") || t2 == QLatin1String("52") || t2 == QLatin1String("53") ||
             t2 == QLatin1String("54") || t2 == QLatin1String("58"))
        dimension = G.SegmentHeights[0];
    else if (t2 == QLatin1String("57"))
        dimension = BearingOffset(c);
    else
        dimension = int(std::trunc(0.5L * Extended(K.K_RDM)));
    SetItem(i, display.left(6) + QStringLiteral("00"), dimension);
    if (nr.at(1) != u'5')
        K.K_RSL_NRN = c.CLD_NRN;
    K.K_RSL_GEW = c.CLD_GEW;
}

// Reads the part's row by the first-digit rule with the variant switches
// this part asks for; false when the row is missing.
bool Composer::ReadRow(const QString& nr) {
    G.HDRequest = K.K_HD_KZ;
    const QString t2 = nr.left(2), t3 = nr.left(3);
    const bool clamp49 = t2 == QLatin1String("49");
    const bool psVariant = (clamp49 && Letter(4) == 'R' && K.K_PTFE_KZ) ||
                           (t3 == QLatin1String("290") && Letter(7) != 'F' && K.K_PTFE_KZ && G.ClampLoadGroup > 19);
    G.PriceSuffixRequest = psVariant;
    if (clamp49)
        G.RsrlVariantCode = K.K_T49G_KZ.trimmed();
    const double number = nr.toDouble();
    switch (KindOf(nr)) {
    case Kind::Clamp: PgrsrlRecord.RSL_NRN = number; PgrsrlRead(); break;
    case Kind::Dynamic: PgdynaRecord.DYN_NRN = number; PgdynaRead(); break;
    case Kind::Cold: PgcoolRecord.CLD_NRN = number; PgcoolRead(); break;
    case Kind::Static: PgstatRecord.STA_NRN = number; PgstatRead(); break;
    }
    G.PriceSuffixRequest = false;
    G.RsrlVariantCode.clear();
    return G.TableStatus == 0;
}

void Composer::AddPartsListRow(int i, const QString& nr, bool found) {
    const int r = row - 1;
    TPartsList& L = PartsList;
    L.KB_POS[r] = int16_t(row);
    L.KB_BTL_8[r] = int32_t(K.K_BTL_8[i - 1]);
    L.KB_BREITE[r] = int16_t(K.K_BREITE);
    if (found) {
        switch (KindOf(nr)) {
        case Kind::Clamp: ClampDesignation(r, nr); break;
        case Kind::Dynamic: DynamicDesignation(r, nr); break;
        case Kind::Cold: ColdDesignation(r, nr); break;
        case Kind::Static: StaticDesignation(r, nr); break;
        }
    } else {
        // A missing row lists the part under "999999" without the weight,
        // price or material of whatever row was read before it.
        for (char* f : {PgstatRecord.STA_L_NR, PgstatRecord.STA_L_NR_K, PgrsrlRecord.RSL_L_NR,
                        PgrsrlRecord.RSL_L_NR_K, PgcoolRecord.CLD_L_NR, PgcoolRecord.CLD_L_NR_K,
                        PgdynaRecord.DYN_L_NR, PgdynaRecord.DYN_L_NR_K})
            MoveTextToChars(f, 6, Unreadable);
        L.KB_BTL[r] = L.KB_BTL_ZUS[r] = Unreadable;
        L.KB_GEW[r] = L.KB_PRS[r] = 0;
        L.KB_WST[r] = 0;
    }
    int16_t quantity = K.K_ANZ[i - 1];
    const QString t3 = nr.left(3);
    if (CompositionValues.HangerLayout == 1 &&
        (t3 == QLatin1String("660") || t3 == QLatin1String("670") || t3 == QLatin1String("640")))
        quantity = int16_t(quantity + K.K_ANZ[i - 1]);
    L.KB_ANZ[r] = quantity;
    L.RowCount = int16_t(row);
}

void Composer::StaticDesignation(int r, const QString& nr) {
    TPgstatRecord& s = PgstatRecord;
    TPartsList& L = PartsList;
    const QString t2 = nr.left(2), t3 = nr.left(3);
    const bool rod = t3 == QLatin1String("660") || t3 == QLatin1String("670");
    if (s.STA_E < 0)
        s.STA_E = int16_t(-s.STA_E);
    if (rod && K.K_KATA_KZ)
        s.STA_E = int16_t(s.STA_E == 3000 ? 3657 : s.STA_E == 2500 ? 3048 : s.STA_E == 2000 ? 2438 : s.STA_E);
    const QString article = FieldText(K.K_KERNTECH ? s.STA_L_NR_K : s.STA_L_NR);
    L.KB_BTL[r] = article;
    L.KB_KBEZ[r] = FieldText(s.STA_KBEZ);
    L.KB_PRS[r] = K.K_KERNTECH ? s.ArticlePriceK : s.ArticlePrice;
    L.KB_WST[r] = Material(s.STA_WST, s.STA_WST_UNC, s.STA_WST_CN);

    const bool above790 = t3 > QLatin1String("790");
    Extended weight = s.STA_GEW;
    if (rod)
        weight = Extended(s.STA_E) * 0.001L * s.STA_GEW_VER;
    else if (above790)
        weight = s.STA_GEW + Extended(K.K_BREITE) * 0.001L * s.STA_GEW_VER;
    else if (t3 == QLatin1String("761"))
        weight = s.STA_GEW + Extended(K.K_TRAGARM_L) * 0.001L * s.STA_GEW_VER;
    else if (t3 == QLatin1String("769"))
        weight = s.STA_GEW + Extended(G.ArmWidth) * 0.01L * s.STA_GEW_VER;
    else if (t3 == QLatin1String("209") || t3 == QLatin1String("291"))
        weight = s.STA_GEW + Extended(K.K_RESTLAENGE_1) * s.STA_GEW_VER * 0.001L;
    L.KB_GEW[r] = double(weight);

    QString extra = article;
    if (t3 == QLatin1String("290") && Letter(7) != 'F' && K.K_PTFE_KZ && G.ClampLoadGroup > 19)
        extra += QLatin1String("-PS");
    if (rod && nr.mid(3, 2) > QLatin1String("19")) {
        if (K.K_KATA_KZ)
            extra += QLatin1Char('-') + s.STA_BTL_ZUS.trimmed();
        else {
            extra += QLatin1Char('-') + PadDigits4(s.STA_E);
            L.KB_BREITE_2[r] = s.STA_E;
        }
    }
    if (K.K_HD_KZ && s.STA_HD_KZ) {
        extra += QLatin1String("-HD");
        L.KB_HD_KZ[r] = true;
    }
    L.KB_BTL_ZUS[r] = extra;

    QString zus, zusI;
    auto both = [&](const QString& prefix, Extended mm) {
        zus = prefix + Whole(mm);
        zusI = prefix + Inch(mm);
    };
    if (t2 == QLatin1String("63")) {
        countedLength = countedLength == 0 ? -1 : countedLength;
        const QString text = s.STA_BTL_ZUS;
        zus = zusI = K.K_KATA_KZ ? text.mid(5, 5) + QLatin1Char('"') : text.left(5);
    } else if (rod) {
        if (countedLength != 0) {
            countedLength = countedLength < 0 ? 1 : countedLength + 1;
            const Extended length = countedLength <= 5 ? Extended(RestLength(countedLength)) : 0;
            zus = QLatin1Char('(') + Whole(length) + QLatin1Char(')');
            zusI = QLatin1Char('(') + Inch(length) + QLatin1Char(')');
        } else
            both({}, s.STA_E);
    } else if (t3 == QLatin1String("671"))
        both({}, s.STA_E);
    else if (t3 == QLatin1String("279"))
        both(QStringLiteral("L="), K.K_RESTLAENGE_1);
    else if (t3 == QLatin1String("760") || t3 == QLatin1String("761")) {
        zus = QStringLiteral("b=%1; L=%2").arg(G.ArmWidth).arg(K.K_TRAGARM_L);
        zusI = QStringLiteral("b=%1; L=%2").arg(G.ArmWidth).arg(Inch(K.K_TRAGARM_L));
    } else if (t3 == QLatin1String("769") && nr.at(3) == u'1') {
        zus = QStringLiteral("b=%1").arg(G.ArmWidth);
        zusI = QStringLiteral("b=") + Inch(G.ArmWidth);
    } else if (t3 == QLatin1String("769") && nr.at(3) == u'2') {
        const QString clamp = FieldText(PgrsrlRecord.RSL_L_NR).trimmed() + (SuffixS() ? QStringLiteral("S") : QString());
        zus = clamp + QStringLiteral("; b=%1").arg(G.ArmWidth);
        zusI = clamp + QStringLiteral("; b=") + Inch(G.ArmWidth);
    } else if (above790) {
        both({}, K.K_BREITE);
        L.KB_BREITE_2[r] = int16_t(t3 == QLatin1String("794") ? s.STA_BREITE : K.K_BREITE_2);
    } else if (t2 == QLatin1String("78"))
        zus = zusI = K.K_KLM_TXT;
    else if (t2 == QLatin1String("77")) {
        const bool wide = previousNumber.mid(3, 2) > QLatin1String("19");
        zus = zusI = QStringLiteral("LG") + (wide ? previousStaLNr.mid(2, 2) : previousStaLNr.mid(2, 1));
    } else if (t3 == QLatin1String("209") || t3 == QLatin1String("291"))
        both({}, K.K_RESTLAENGE_1);
    L.KB_ZUS[r] = zus;
    L.KB_ZUS_I[r] = zusI;
    if (t3 == QLatin1String("795"))
        PinSupplement(r);
    if (t3 == QLatin1String("272"))
        K.K_FDR_RATE = double(Extended(s.STA_BTL_ZUS.trimmed().toInt()) * 0.1L);
    previousStaLNr = FieldText(s.STA_L_NR);
}

void Composer::PinSupplement(int r) {
    const QString digits = PgstatRecord.STA_BTL_ZUS.left(6);
    PutText(G.DisplayPartNumber, digits);
    const int a = digits.left(3).toInt(), b = digits.mid(3, 3).toInt();
    int z;
    if (K.K_RSRL_OHNE)
        z = b;
    else {
        const int bWidth = PgrsrlRecord.RSL_B;
        z = bWidth - int(std::trunc(4.0L * a / 3.0L));
        if (z < b)
            z = b;
        const int upper = int(std::trunc(0.8L * bWidth));
        if (z > upper)
            z = upper;
    }
    K.K_Z_MASS = int16_t(z);
    PartsList.KB_ZUS[r] += QStringLiteral("; Z=%1").arg(z);
    PartsList.KB_ZUS_I[r] += QStringLiteral("; Z=") + Fixed(Extended(z) * InchPerMm, 2, 2);
}

void Composer::DynamicDesignation(int r, const QString& nr) {
    TPgdynaRecord& d = PgdynaRecord;
    TPartsList& L = PartsList;
    const QString t2 = nr.left(2);
    QString article = FieldText(K.K_KERNTECH ? d.DYN_L_NR_K : CNArticle() ? d.DYN_L_NR_CN : d.DYN_L_NR);
    L.KB_BTL[r] = article;
    L.KB_KBEZ[r] = FieldText(d.DYN_KBEZ);
    L.KB_PRS[r] = K.K_KERNTECH ? d.ArticlePriceK : d.ArticlePrice;
    L.KB_WST[r] = Material(d.DYN_WST, d.DYN_WST_UNC, d.DYN_WST_CN);
    const bool lengthened = nr.startsWith(QLatin1String("300")) && nr.at(7) > u'1';
    Extended weight = d.DYN_GEW;
    if (lengthened) {
        weight = d.DYN_GEW + Extended(K.K_RESTLAENGE_2) * d.DYN_GEW_VER * 0.001L;
        L.KB_BREITE_2[r] = d.DYN_E_MAX;
    } else if (t2 == QLatin1String("34"))
        weight = d.DYN_GEW + Extended(K.K_BREITE) * 0.001L * d.DYN_GEW_VER;
    L.KB_GEW[r] = double(weight);
    QString zus, zusI;
    if (t2 == QLatin1String("36")) {
        // The dynamic load group of the support (digits 4-5 of a clamp are
        // its diameter, not its group).
        const QString group = PadDigits2(G.SecondLoadGroup > 0 ? G.SecondLoadGroup : G.ClampLoadGroup);
        QString suffix;
        if (SuffixS())
            suffix += QLatin1Char('S');
        const bool hot = (Letter(4) == 'F' || Letter(4) == 'G' || Letter(1) == 'G') && K.K_TEM > 350;
        if (K.K_RDM_KZ[0] == 'S' && hot)
            suffix += QStringLiteral("TA");
        // The nuclear article names the clamp without its load group.
        L.KB_BTL_ZUS[r] = article + suffix + (K.K_KERNTECH ? QString() : QStringLiteral("-LG") + group);
        zus = QLatin1Char('D') + Fixed(K.K_RDM, 1, 3) + QStringLiteral(",LG") + group;
        zusI = QLatin1Char('D') + Inch(K.K_RDM) + QStringLiteral(",LG") + group;
    } else {
        L.KB_BTL_ZUS[r] = article;
        if (lengthened) {
            zus = QLatin1Char('(') + Whole(K.K_RESTLAENGE_2) + QLatin1Char(')');
            zusI = QLatin1Char('(') + Inch(K.K_RESTLAENGE_2) + QLatin1Char(')');
        } else if (t2 == QLatin1String("32")) {
            zus = QStringLiteral("t1/2=") + FixedPrecision(K.K_WEG_Y_N, 3, 1) + QLatin1Char('/') +
                  FixedPrecision(K.K_WEG_X_N, 3, 1);
            zusI = QStringLiteral("t1/2=") + FixedPrecision(K.K_WEG_Y_N * InchPerMm, 1, 2) + QLatin1Char('/') +
                   FixedPrecision(K.K_WEG_X_N * InchPerMm, 1, 2);
        }
    }
    L.KB_ZUS[r] = zus;
    L.KB_ZUS_I[r] = zusI;
}

void Composer::ClampDesignation(int r, const QString& nr) {
    TPgrsrlRecord& c = PgrsrlRecord;
    TPartsList& L = PartsList;
    const std::size_t step = std::size_t(WidthStep());
    const QString article = FieldText(K.K_KERNTECH ? c.RSL_L_NR_K : CNArticle() ? c.RSL_L_NR_CN : c.RSL_L_NR);
    L.KB_BTL[r] = article;
    L.KB_KBEZ[r] = c.RSL_KBEZ.left(4);
    L.KB_PRS[r] = K.K_KERNTECH ? c.LengthPriceK[step] : c.LengthPrice[step];
    L.KB_WST[r] = Material(c.RSL_WST, c.RSL_WST_UNC, c.RSL_WST_CN);
    L.KB_GEW[r] = c.RSL_GEW[WeightStep(nr)];
    QString extra = article;
    if (Letter(8) == 'H') {
        const int width = int(K.K_BREITE);
        extra += width >= 999 ? QStringLiteral("-%1").arg(width) : QStringLiteral("-0%1").arg(width);
    }
    if (nr.left(3) == QLatin1String("410") && SuffixS())
        extra += QLatin1Char('S');
    if (nr.left(2) == QLatin1String("49")) {
        static const char* const variants[] = {"G2A", "G2P", "G3", "G4"};
        const QString code = K.K_T49G_KZ.trimmed();
        if (code.size() == 1 && code.at(0) >= u'1' && code.at(0) <= u'4')
            extra += QLatin1String(variants[code.at(0).unicode() - '1']);
    }
    if (K.K_HD_KZ && c.RSL_HD_KZ) {
        extra += QLatin1String("-HD");
        L.KB_HD_KZ[r] = true;
    }
    L.KB_BTL_ZUS[r] = extra;
}

void Composer::ColdDesignation(int r, const QString& nr) {
    TPgcoolRecord& c = PgcoolRecord;
    TPartsList& L = PartsList;
    const QString t2 = nr.left(2), t3 = nr.left(3);
    const bool imperial = K.K_KATA_KZ;
    const char* article = K.K_KERNTECH ? (imperial ? c.CLD_L_NR_K_I : c.CLD_L_NR_K) : (imperial ? c.CLD_L_NR_I : c.CLD_L_NR);
    L.KB_BTL[r] = L.KB_BTL_ZUS[r] = FieldText(article, 6);
    L.KB_KBEZ[r] = FieldText(imperial ? c.CLD_KBEZ_I : c.CLD_KBEZ, 4);
    L.KB_PRS[r] = K.K_KERNTECH ? c.ArticlePriceK : c.ArticlePrice;
    L.KB_WST[r] = imperial ? c.CLD_WST_UNC : c.CLD_WST;
    const Extended h = G.SegmentHeights[0];
    Extended weight = c.CLD_GEW;
    if (t2 == QLatin1String("58"))
        weight = c.CLD_GEW + (h - 0.5L * Extended(K.K_RDM)) * 0.001L * c.CLD_GEW_VER;
    else if (t2 == QLatin1String("54") && c.CLD_D_MAX != c.CLD_D_MIN)
        // A row whose diameter window is a single value keeps its own weight.
        weight = c.CLD_GEW_MAX - (c.CLD_GEW_MAX - c.CLD_GEW) * (h - c.CLD_D_MIN) / Extended(c.CLD_D_MAX - c.CLD_D_MIN);
    L.KB_GEW[r] = double(weight);
    QString zus, zusI;
    if (t3 == QLatin1String("532")) {
        zus = QStringLiteral("S=") + WholeWidth(K.K_BREITE, 3);
        zusI = QStringLiteral("S=") + K.K_BREITE_I.trimmed();
    } else if (t3 == QLatin1String("541") || t3 == QLatin1String("542")) {
        zus = QStringLiteral("R=") + WholeWidth(h, 4);
        zusI = QStringLiteral("R=") + Inch(h);
    } else if (t2 == QLatin1String("58")) {
        const Extended length = K.K_KERNTECH ? h - 0.5L * Extended(K.K_RDM) : Extended(G.RodLengths[0]) - c.CLD_N;
        zus = QStringLiteral("L=") + WholeWidth(length, 4);
        zusI = QStringLiteral("L=") + Inch(length);
    }
    L.KB_ZUS[r] = zus;
    L.KB_ZUS_I[r] = zusI;
}

QString FeetInch(Extended mm) {
    const Extended inches = mm / 25.4L;
    const qint64 feet = qint64(std::trunc(inches / 12.0L));
    const double rest = std::nearbyint(double(inches - 12.0L * Extended(feet)) * 1000.0) / 1000.0;
    QString text = QString::number(rest, 'f', 3);
    while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.')))
        text.chop(1);
    return QString::number(feet) + QStringLiteral("'-") + text + QLatin1Char('"');
}

void Composer::Finish() {
    TBridgeRecords& b = BridgeRecords;
    const char l4 = Letter(4);
    PutTextField(b.ArrangementLetter, 1, QString(QLatin1Char(l4 == 'R' ? l4 : Letter(5))));
    PutTextField(b.TotalHeight, 6, Whole(K.K_HOEHE_GES));
    PutTextField(b.TotalHeightFeetInch, 11, FeetInch(K.K_HOEHE_GES));
    b.UnitLetter = K.K_KATA_KZ ? 'U' : 'M';
    b.DrehungAs = K.K_DREHUNG_AS;
    b.DrehungStahl = K.K_DREHUNG_STAHL;
    b.DrehungKh = K.K_DREHUNG_KH;
    b.DrehungS = K.K_DREHUNG_S;
    b.Integers[0] = int32_t(K.K_DAEMMST);
    b.Integers[1] = int32_t(K.K_BREITE);
    b.Integers[9] = int32_t(K.K_RDM);
    b.Integers[10] = K.K_BLOCKIER;
    // The total height of the chain as the component step summed it.
    K.K_GES_E_MASS = int16_t(std::clamp<int32_t>(G.ChainHeight, -32768, 32767));
    K.K_STA_NRN = G.MainUnitNumber;
}

}  // namespace

void ClearBridgeRecords() {
    const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    BridgeRecords.Clear(dir);
}

QString BridgePartNumber(const QString& productNumber) {
    static const char* const pairs[][2] = {
        {"09", "0C"}, {"10", "0D"}, {"11", "01"}, {"12", "02"}, {"13", "03"}, {"14", "04"},
        {"15", "05"}, {"16", "06"}, {"17", "07"}, {"18", "08"}, {"19", "09"}, {"20", "10"},
        {"21", "20"}, {"22", "30"}, {"23", "40"}, {"24", "50"},
    };
    const QString nr = productNumber.leftJustified(8, u'0').left(8);
    QString size = nr.mid(3, 2);
    for (const auto& p : pairs)
        if (size == QLatin1String(p[0])) {
            size = QLatin1String(p[1]);
            break;
        }
    return nr.left(3) + size + nr.mid(5, 3);
}

QString PadDigits2(int value) { return QString::number(value).rightJustified(2, u'0'); }
QString PadDigits4(int value) { return QString::number(value).rightJustified(4, u'0'); }

QString LookupDisplayNumber(int32_t productNumber) {
    const QString nr = ProductText(productNumber);
    const bool k = K.K_KERNTECH;
    switch (KindOf(nr)) {
    case Kind::Clamp:
        PgrsrlRecord.RSL_NRN = productNumber;
        PgrsrlRead();
        return G.TableStatus ? Unreadable : FieldText(k ? PgrsrlRecord.RSL_L_NR_K : PgrsrlRecord.RSL_L_NR);
    case Kind::Dynamic:
        PgdynaRecord.DYN_NRN = productNumber;
        PgdynaRead();
        return G.TableStatus ? Unreadable : FieldText(k ? PgdynaRecord.DYN_L_NR_K : PgdynaRecord.DYN_L_NR);
    case Kind::Cold:
        PgcoolRecord.CLD_NRN = productNumber;
        PgcoolRead();
        return G.TableStatus ? Unreadable : FieldText(k ? PgcoolRecord.CLD_L_NR_K : PgcoolRecord.CLD_L_NR);
    case Kind::Static:
        break;
    }
    PgstatRecord.STA_NRN = productNumber;
    PgstatRead();
    return G.TableStatus ? Unreadable : FieldText(k ? PgstatRecord.STA_L_NR_K : PgstatRecord.STA_L_NR);
}

void MoveTextToChars(char* dest, int width, const QString& text) { PutTextField(dest, width - 1, text.left(width)); }

void ComposeParts() {
    Composer().Run();
    G.TableStatus = 0;
    CompositionValues = CompositionState();
}
