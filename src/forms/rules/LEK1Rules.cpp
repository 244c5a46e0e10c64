#include "forms/rules/LEK1Rules.h"

#include "data/FIRAUFKON.h"
#include "localisation/IvDictio.h"
#include "host/KORVA_MDS.h"
#include "platform/HostFiles.h"
#include "platform/Numbers.h"
#include "ui/Unctool.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace {

constexpr double NewtonsPerLbs = units::KgPerLbs * units::Gravity;

// The shown load in kN without the rounding of the exit handler: a unit
// switch converts the shown value, the record keeps its own.
double LoadToKnExact(double shown, UnitMode mode) {
    if (mode.imperial) return shown * NewtonsPerLbs * 0.001;
    if (mode.loadsInKg) return shown * units::Gravity * 0.001;
    return shown;
}

bool Is(const QString& name, int pos, char letter) { return NameLetter(name, pos) == QLatin1Char(letter); }

}  // namespace

UnitMode RecordUnitMode() { return {ConstructionRecord.K_EINH_KZ, ConstructionRecord.K_KN_KG}; }

double LoadToKn(double shown, UnitMode mode) {
    if (mode.imperial) return double(RoundHalfEven(Extended(shown) * units::KgPerLbs * units::Gravity)) * 0.001;
    if (mode.loadsInKg) return shown * units::Gravity * 0.001;
    return shown;
}

double KnToLoad(double kN, UnitMode mode) {
    if (mode.imperial) return kN * 1000.0 / NewtonsPerLbs;
    if (mode.loadsInKg) return kN * 1000.0 / units::Gravity;
    return kN;
}

double LengthToMm(double shown, UnitMode mode) { return mode.imperial ? shown * units::MmPerInch : shown; }
double MmToLength(double mm, UnitMode mode) { return mode.imperial ? mm * units::InchPerMm : mm; }

int32_t TemperatureToCelsius(int32_t shown, UnitMode mode) {
    if (!mode.imperial) return shown;
    return int32_t(RoundToInt((Extended(shown) - 32) * 5 * 0.1111111111111111L));
}

int32_t CelsiusToTemperature(int32_t celsius, UnitMode mode) {
    if (!mode.imperial) return celsius;
    return int32_t(RoundToInt(Extended(celsius) * 9 * 0.2L)) + 32;
}

std::optional<double> TextToFloat(const QString& text) {
    bool ok = false;
    const Extended v = ParseNumber(text, &ok, true);
    if (!ok) return std::nullopt;
    return double(v);
}

// ---------------------------------------------------------------- feet and inches

FeetInch SplitFeetInch(double mm) {
    FeetInch r;
    r.sign = mm < 0 ? -1 : 1;
    Extended inches = std::fabs(Extended(mm)) * Extended(units::InchPerMm);
    r.feet = TruncToInt(inches * 0.08333333333333333L);
    inches -= 12 * Extended(r.feet);
    inches = RoundHalfEven(inches * 1000) * 0.001L;
    if (inches > 11.999L) {
        inches = 0;
        ++r.feet;
    }
    r.inches = double(inches);
    if (r.feet == 0 && r.inches == 0) r.sign = 1;
    return r;
}

QString FeetInchText(double mm) {
    const FeetInch f = SplitFeetInch(mm);
    QString inches = QString::number(f.inches, 'f', 3);
    while (inches.endsWith(u'0') && inches.at(inches.size() - 2) != u'.')
        inches.chop(1);
    return (f.sign < 0 ? QStringLiteral("-") : QString()) + QString::number(f.feet) + QStringLiteral("'-") +
           inches + QLatin1Char('"');
}

QString SteelWidthProposal(int32_t mm, bool imperial) {
    if (!imperial) return QString::number(mm);
    const Extended inches = Extended(mm) * Extended(units::InchPerMm);
    int64_t feet = TruncToInt(inches / 12);
    Extended rest = RoundHalfEven((inches - 12 * Extended(feet)) * 100) * 0.01L;
    // A rest that rounds up to a whole foot carries, as the height text
    // does: the height edit refuses 12 inches.
    if (rest > 11.999L) {
        rest = 0;
        ++feet;
    }
    return QString::number(feet) + QStringLiteral("'-") + QString::number(double(rest), 'f', 2) + QLatin1Char('"');
}

QString FeetInchTextOfText(const QString& numberText) {
    const auto v = TextToFloat(numberText);
    return v ? FeetInchText(*v) : numberText;
}

int64_t FeetInchToLength(double inches, int64_t feet, int sign) {
    return RoundToInt(Extended(sign) * (Extended(feet) * 12 + inches) * Extended(units::MmPerInch));
}

namespace {

std::optional<double> ReadInches(QString part) {
    part = part.trimmed();
    const qsizetype slash = part.indexOf(u'/');
    if (slash < 0) {
        const auto v = TextToFloat(part);
        if (!v || *v < 0) return std::nullopt;
        return v;
    }
    const qsizetype blank = part.indexOf(u' ');
    if (blank < 0 || blank > slash) return std::nullopt;
    bool okWhole = false, okNum = false, okDen = false;
    const Extended whole = ParseNumber(part.left(blank).trimmed(), &okWhole, true);
    const Extended num = ParseNumber(part.mid(blank + 1, slash - blank - 1).trimmed(), &okNum, true);
    const Extended den = ParseNumber(part.mid(slash + 1).trimmed(), &okDen, true);
    if (!okWhole || !okNum || !okDen || den == 0 || whole < 0 || num < 0 || den < 0) return std::nullopt;
    return double(whole + num / den);
}

}  // namespace

InchFraction ParseInchFraction(const QString& text, QChar feetMark, QChar inchMark) {
    InchFraction r;
    QString t = text.trimmed();
    if (t.startsWith(u'-')) {
        r.sign = -1;
        t = t.mid(1).trimmed();
    }
    const qsizetype feetAt = t.indexOf(feetMark);
    const qsizetype inchAt = t.indexOf(inchMark);
    if (feetAt < 0 && inchAt < 0) {
        const auto v = ReadInches(t);
        if (!v || t.contains(u'/')) {
            r.code = 1;
            r.sign = 1;
            return r;
        }
        r.inches = *v;
        return r;
    }
    qsizetype inchStart = 0;
    if (feetAt >= 0) {
        bool ok = false;
        const QString feetText = t.left(feetAt).trimmed();
        const qlonglong feet = feetText.toLongLong(&ok);
        if (!ok || feet < 0 || feetText.startsWith(u'+')) {
            r.code = 2;
            return r;
        }
        r.feet = feet;
        inchStart = feetAt + 1;
    }
    if (inchAt < 0) {
        // Feet alone; anything else after the mark is a length that cannot
        // be read, not a length of whole feet.
        QString rest = t.mid(inchStart).trimmed();
        if (rest.startsWith(u'-')) rest = rest.mid(1).trimmed();
        if (!rest.isEmpty()) r.code = 3;
        return r;
    }
    if (inchAt < inchStart) {
        r.code = 3;
        return r;
    }
    QString part = t.mid(inchStart, inchAt - inchStart).trimmed();
    // The dash between feet and inches separates them; it is no sign.
    if (feetAt >= 0 && part.startsWith(u'-')) part = part.mid(1);
    const auto inches = ReadInches(part);
    if (!inches) {
        r.code = 3;
        return r;
    }
    r.inches = *inches;
    return r;
}

std::optional<int64_t> ParseFeetInch(const QString& text) {
    const InchFraction f = ParseInchFraction(text);
    if (f.code != 0) return std::nullopt;
    return FeetInchToLength(f.inches, f.feet, f.sign);
}

QString ParseFeetInchToText(const QString& text) {
    const auto mm = ParseFeetInch(text);
    return mm ? QString::number(*mm) : text;
}

// ---------------------------------------------------------------- shown values

int32_t SwitchedTemperature(int32_t shown, bool toImperial) {
    // A pipe below the field's floor (0 °C, 32 °F) keeps its temperature in
    // the other scale too: the shown value is what the record holds.
    if (toImperial) return CelsiusToTemperature(shown, {true, false});
    return TemperatureToCelsius(shown, {true, false});
}

void ConvertDisplayedUnits(DisplayedValues& v, UnitMode from, UnitMode to) {
    if (from == to) return;
    for (double* load : {&v.Last, &v.STAT_LAST_HZ, &v.STAT_LAST_HS, &v.Hydrolast, &v.DY_L_H, &v.DY_L_HZ, &v.DY_L_HS})
        *load = KnToLoad(LoadToKnExact(*load, from), to);
    if (from.imperial == to.imperial) return;
    for (double* length : {&v.Lateral, &v.Horizontal, &v.Vertikal, &v.DY_W_P, &v.DY_W_N, &v.ISO})
        *length = MmToLength(LengthToMm(*length, from), to);
    if (const auto d = TextToFloat(v.RDM.isEmpty() ? QStringLiteral("0") : v.RDM))
        v.RDM = FormatNumber(MmToLength(LengthToMm(*d, from), to));
    v.TEMP = SwitchedTemperature(v.TEMP, to.imperial);
    for (QString* text : {&v.SteelElevLeft, &v.SteelElevRight, &v.PipeElev, &v.SteelWidth, &v.RodLength}) {
        if (text->isEmpty()) continue;
        *text = to.imperial ? FeetInchTextOfText(*text) : ParseFeetInchToText(*text);
    }
}

// ---------------------------------------------------------------- stress condition

StressState StressStateOf(StressCondition c) {
    switch (c) {
    case StressCondition::Static: return {true, false, 100};
    case StressCondition::Dynamic: return {false, false, 300};
    case StressCondition::Cold: return {true, true, 200};
    }
    return {};
}

StressCondition StressConditionOfHostConfig(const QString& mdsConfig) {
    if (mdsConfig == QLatin1String("7")) return StressCondition::Dynamic;
    if (mdsConfig == QLatin1String("6") || mdsConfig == QLatin1String("8")) return StressCondition::Cold;
    return StressCondition::Static;
}

ConfigurationFilter ConfigurationFilterOf(StressCondition c, const QString& mdsConfig) {
    QString e;
    switch (c) {
    case StressCondition::Static: e = QStringLiteral("STAT_DYN = 1 and STAT_COLD = 0"); break;
    case StressCondition::Dynamic: e = QStringLiteral("STAT_DYN = 0"); break;
    case StressCondition::Cold: e = QStringLiteral("STAT_COLD = 1"); break;
    }
    e += QStringLiteral(" and A_ORDERNO > -1");
    if (mdsConfig.isEmpty()) return {e, {}};
    return {e + QStringLiteral(" and A_MDS_NO = ?"), mdsConfig};
}

// ---------------------------------------------------------------- panels

QChar NameLetter(const QString& name, int pos) {
    return pos >= 1 && pos <= name.size() ? name.at(pos - 1).toUpper() : QChar(u' ');
}

int BuildingConnectionCode(int item) {
    static const int codes[] = {75, 73, 78, 76, 74};
    return item >= 0 && item < 5 ? codes[item] : -1;
}

int BuildingConnectionItem(int anGeb, int itemCount) {
    switch (anGeb) {
    case 75: return 0;
    case 73: return 1;
    case 78: return 2;
    case 76: return 3;
    case 74: return itemCount == 5 ? 4 : 1;
    default: return 1;
    }
}

int AngebohneCode(int item) {
    static const int codes[] = {61, 60, 66};
    return item >= 0 && item < 3 ? codes[item] : -1;
}

int RsrlOhneCode(int item) {
    static const int codes[] = {60, 61, 74, 63, 0, 73, 75};
    return item >= 0 && item < 7 ? codes[item] : -1;
}

int LiftOffTypeOf(int item) { return item == 0 ? 3 : 5; }

int RsrlOhneItem(int code) {
    for (int i = 0; i < 7; ++i)
        if (RsrlOhneCode(i) == code) return i;
    return 0;
}

namespace {

void StaticPanelRules(const PanelInputs& in, PanelLayout& p) {
    const QString& n = in.name;
    const QChar l7 = NameLetter(n, 7);
    p.resetRlFuehrung = true;
    // Upper connection with threaded parts.
    if (in.obAnsch && Is(n, 4, 'A') && !Is(n, 7, 'A')) {
        p.anGeb = 61;
        p.angebohneHex = !Is(n, 7, 'B');
        p.ANGEBOHNE = true;
    }
    // Building connection: three items, five for the long yokes.
    p.buildingItems = 3;
    p.buildingItem = in.buildingItem;
    if (!in.obAnsch && Is(n, 4, 'A') && l7 > u'A') {
        if (l7 > u'B') p.buildingItems = 5;
        if (in.buildingItem > 2) {
            if (p.buildingItems == 3) {
                p.buildingItem = 1;
                p.anGeb = 73;
            } else {
                p.anGeb = BuildingConnectionCode(in.buildingItem);
            }
        }
        p.GroupBoxBuildingConnection = true;
        p.Gebaude1 = true;
    }
    if (in.rsrlOhne && !(Is(n, 4, 'Y') || Is(n, 4, 'F') || Is(n, 5, 'X') || Is(n, 6, 'L'))) {
        p.RSRLOHNE = true;
        p.rsrlOhneNr = 60;
    }
    if (!in.rsrlOhne) {
        if (Is(n, 3, 'V')) {
            p.GroupBoxVertical = true;
            p.GroupBoxVerticalEnabled = !(in.temperature > 600);
        } else {
            p.GroupBoxHorizontal = Is(n, 6, 'S') && Is(n, 4, 'A') && !Is(n, 1, 'F');
        }
    }
    if (Is(n, 4, 'A') && Is(n, 6, 'L') && Is(n, 8, 'H') &&
        ((Is(n, 5, 'D') && Is(n, 7, 'D')) || (Is(n, 5, 'T') && Is(n, 7, 'F'))))
        p.GroupBoxFHTraversen = true;
    if (!in.rohrlager && Is(n, 1, 'S') && Is(n, 2, 'H') && Is(n, 3, 'H') && Is(n, 4, 'R') && Is(n, 6, 'L')) {
        p.BaseClampStyleBox = true;
        p.GroupBoxBuildingConnection = false;
        p.RGLagerFuehrung = true;
        p.RGLagerFuehrungEnabled = !in.kerntech;
        p.Gebaude1 = true;
    }
    if ((Is(n, 6, 'S') && Is(n, 4, 'F')) || Is(n, 4, 'G')) p.Panel_T36_STATIC = true;
    if (Is(n, 4, 'Y') || Is(n, 4, 'F') || Is(n, 4, 'G'))
        p.anGeb = 35;
    else if (Is(n, 7, 'A') || Is(n, 4, 'R'))
        p.anGeb = 0;
    if (Is(n, 4, 'R') && Is(n, 1, 'D') && Is(n, 6, 'L') && Is(n, 7, 'X')) {
        p.PanelExt = true;
        if (!in.rsrlOhne) p.BaseClampStyleBox = true;
    }
    if (Is(n, 4, 'G')) p.PanelExt = true;
    if (!in.rsrlOhne) p.Panel_T9 = true;
    p.gbType40Material = Is(n, 4, 'R') && Is(n, 7, 'X') && Is(n, 6, 'X');
    p.noAdditionalInformation = !(p.Gebaude1 || p.GroupBoxVertical || p.GroupBoxHorizontal || p.ANGEBOHNE ||
                                  p.RSRLOHNE || p.GroupBoxFHTraversen || p.PanelExt || p.Panel_T9 ||
                                  p.gbType40Material);
}

void ColdPanelRules(const PanelInputs& in, PanelLayout& p) {
    const QString& n = in.name;
    p.Stanchion = Is(n, 7, 'F');
    p.PanelWegeingabe = Is(n, 5, 'V');
    p.gbType40Material = Is(n, 4, 'R') && Is(n, 7, 'X') && Is(n, 6, 'X');
    p.GroupBoxAbhebesich = Is(n, 5, 'C') && Is(n, 7, 'D');
    p.noAdditionalInformation = !(p.Stanchion || p.PanelWegeingabe || p.gbType40Material || p.GroupBoxAbhebesich);
}

void DynamicPanelRules(const PanelInputs& in, PanelLayout& p) {
    const QString& n = in.name;
    if (Is(n, 1, 'G')) p.Panel_T36_DYNAMIC = true;
    if (!in.rsrlOhne) p.Panel_T9 = true;
    p.noAdditionalInformation = !(p.Panel_T36_DYNAMIC || p.Panel_T9);
    p.anGeb = in.obAnsch ? 0 : 35;
}

}  // namespace

PanelLayout ConfigureConnectionPanels(const PanelInputs& in) {
    PanelLayout p;
    const QString& n = in.name;
    p.buildingItem = in.buildingItem;
    if (in.condition == StressCondition::Cold) {
        if (Is(n, 1, 'C')) {
            if (Is(n, 2, 'F'))
                p.PanelColdFreeze = true;
            else
                p.PanelCold = true;
        }
        if (Is(n, 4, 'R') && Is(n, 7, 'X') && Is(n, 6, 'X')) p.PanelCold = true;
    } else if (Is(n, 4, 'Y')) {
        p.PanelDynamic = true;
    } else {
        p.PanelStatic = true;
    }
    if (p.PanelStatic) StaticPanelRules(in, p);
    if (p.PanelCold) ColdPanelRules(in, p);
    if (p.PanelDynamic) DynamicPanelRules(in, p);

    p.DiffKnopf = in.anzD != 0;
    p.KotenKnopf = in.anzQ != 0;
    p.Weiter = !p.DiffKnopf && !p.KotenKnopf;
    p.HG_VOR = in.condition != StressCondition::Dynamic && (in.hasABer || Is(n, 4, 'F'));
    return p;
}

// ---------------------------------------------------------------- plausibility

RuleMessage CheckConfigPlausibility(const QString& n, bool rsrlOhne, const QString& rdmKz, double wegX,
                                    double wegY, double wegZ, double rdm) {
    const bool special = rdmKz.startsWith(u'S');
    if (!rsrlOhne && Is(n, 4, 'Y') && Is(n, 5, 'D') && Is(n, 3, 'V') && special)
        return {RuleMessage::Error,
                {QStringLiteral("Dynamische Vertikalschellen"), QStringLiteral("nur für Standard-Rohrdurchmesser verfügbar !")}};
    if (!rsrlOhne && Is(n, 4, 'Y') && Is(n, 5, 'D') && special)
        return {RuleMessage::Error,
                {QStringLiteral("Dynamische Rohrlager"), QStringLiteral("nur für Standard-Rohrdurchmesser verfügbar !")}};
    if (rsrlOhne && Is(n, 1, 'S') && Is(n, 4, 'R') && (Is(n, 6, 'L') || Is(n, 6, 'X')))
        return {RuleMessage::Error,
                {QStringLiteral("Einstellung: 'Ohne rohrumschließende Bauteile' aktiviert, diese Konfiguration ist nicht möglich!")}};
    // A movement in either direction is a movement: the questions ask for
    // negative movements as well.
    if (Is(n, 4, 'Y') && Is(n, 8, 'S') && !Is(n, 7, 'C') && (wegY != 0 || wegX != 0))
        return {RuleMessage::Question, {QStringLiteral("Starre Halterung mit einer Rohrbewegung ?")}};
    if (Is(n, 8, 'S') && wegZ != 0)
        return {RuleMessage::Question, {QStringLiteral("Starre Halterung mit vertikaler Rohrbewegung ?")}};
    if (Is(n, 4, 'R') && !rsrlOhne && (wegX != 0 || wegY != 0))
        return {RuleMessage::Question, {QStringLiteral("Rohrunterstützung mit horizontaler Rohrbewegung ?")}};
    if (n.left(8).toUpper() == QLatin1String("SHHADLXS") && rdm > 80)
        return {RuleMessage::Error,
                {QStringLiteral("Diese Konfiguration ist nur für Rohrdurchmesser bis 80 mm zulässig!")}};
    return {};
}

std::optional<InputCheckFailure> CheckLoadsAndDiameter(bool stressNotDynamic, bool stressCold, bool rsrlOhne,
                                                       double load, double load2, double load3, double rdm) {
    if (stressNotDynamic && load == 0)
        return InputCheckFailure{QStringLiteral("Wert für Last fehlt!"), QStringLiteral("Last")};
    if (!stressNotDynamic && load == 0 && load2 == 0 && load3 == 0)
        return InputCheckFailure{QStringLiteral("Mindestens ein Wert für die Last muß eingegeben werden!"),
                                 QStringLiteral("DY_L_H")};
    if (stressNotDynamic && !stressCold && !rsrlOhne && rdm == 0)
        return InputCheckFailure{QStringLiteral("Wert für Rohrdurchmesser fehlt!"), QStringLiteral("RDM")};
    return std::nullopt;
}

std::optional<InputCheckFailure> CheckSteelWidth(int bx, double breite) {
    if (bx > 0 && breite == 0) return InputCheckFailure{{}, {}, 2605, true};
    return std::nullopt;
}

std::optional<InputCheckFailure> CheckInsulationChosen(bool panelVisible, int index) {
    if (panelVisible && index < 0)
        return InputCheckFailure{QStringLiteral("Bitte die Stärke der Isolierung auswählen!"), {}, 0, true};
    return std::nullopt;
}

std::optional<InputCheckFailure> CheckAdjustmentTravel(bool panelsVisible, double breiteMm) {
    if (panelsVisible && (breiteMm < 100.0 || breiteMm > 600.0))
        return InputCheckFailure{
            QStringLiteral("Verstellweg nur zwischen 100 und 600 mm möglich (4 und 23 5/8 inch)!"), {}, 0, true};
    return std::nullopt;
}

std::optional<InputCheckFailure> CheckStanchionChosen(bool panelsVisible, int kind) {
    if (panelsVisible && kind < 0) return InputCheckFailure{QStringLiteral("Select type of connection !"), {}};
    return std::nullopt;
}

QString ConversionErrorText(const QString& text, bool integer) {
    QString message = IvTranslate(integer ? QStringLiteral("'%s' is not a valid integer value")
                                          : QStringLiteral("'%s' is not a valid floating point value"));
    return message.replace(QLatin1String("%s"), text);
}

InputCheckFailure InvalidValueFailure(const QString& field, const QString& text, bool integer) {
    return InputCheckFailure{ConversionErrorText(text, integer), field};
}

InputCheckFailure ElevationFailure(const QString& input, int error, const QString& text, bool imperial) {
    // Only a malformed text can hold such a part; the height edit reports it
    // under its "bad character" number for callers that know only numbers.
    if (error == unc::BadCharacter) {
        const QString conversion = ParseUncHeight(text, imperial).conversion;
        if (!conversion.isEmpty()) return InputCheckFailure{conversion, input};
    }
    return InputCheckFailure{{}, input, error};
}

QString FailureText(const InputCheckFailure& f) { return f.messageNumber ? ErrorTextByNumber(f.messageNumber) : f.message; }

Type41Result CheckType41Limits(bool groupVisible, int index, bool rsrlOhne, const QString& name, double insulation,
                               double temperature) {
    Type41Result r;
    if (!groupVisible) return r;
    if (!rsrlOhne && index == 0) {
        if (Is(name, 1, 'F')) r.panelT9 = 1;
    } else {
        r.panelT9 = 0;
    }
    if (index > 0 && insulation > 100.0) {
        r.messages << QStringLiteral("Type 41 only with insulation <= 100 mm");
        r.ok = false;
    }
    if (index > 0 && temperature > 350.0) {
        r.messages << QStringLiteral("Type 41 only possible for temperatures < 350°C");
        r.ok = false;
    }
    r.horTyp = r.ok ? index : 0;
    return r;
}

int32_t MinElevationDiff(double load, double d, double s) {
    const Extended F = std::fabs(Extended(load));
    Extended m;
    if (d > 0) {
        const Extended dd = d;
        m = RoundHalfEven(1.75L * std::pow(F, 0.6L) + 8 + dd * (5 * std::pow(0.2L * dd, -0.8L) + 25 / dd + 1.3L));
    } else {
        m = RoundHalfEven(-0.00125186857442278L * F * F + 0.856412051417504L * F + 41.0776122540546L) + 10;
    }
    const Extended span = 2 * Extended(s) + Extended(d);
    if (Extended(TruncToInt(span)) + 60 > m) m = RoundHalfEven(span) + 60;
    return int32_t(m);
}

double T9AngleFromHost(const QString& name, double alpha) {
    double angle = (Is(name, 3, 'H') || Is(name, 4, 'Y')) ? alpha : 90 - alpha;
    if (Is(name, 4, 'Y') && angle == 90) angle = 0;
    return angle;
}

// ---------------------------------------------------------------- host error file

namespace {
QString ErrorFilePath(const QString& directory) {
    return directory.isEmpty() ? QString::fromLatin1(HostErrorFileName)
                               : QDir(directory).filePath(QString::fromLatin1(HostErrorFileName));
}
}  // namespace

bool WriteHostErrorFile(const QString& message, const QString& directory) {
    return WriteHostErrorLine(ErrorFilePath(directory), message);
}

// Only a file: a FIFO the host reads the answer from stays for the next run.
void RemoveHostErrorFile(const QString& directory) {
    const QFileInfo info(ErrorFilePath(directory));
    if (info.isSymLink() || info.isFile()) QFile::remove(info.filePath());
}

// ---------------------------------------------------------------- hanger type

QString HangerTypeLabel(bool preselected, const QString& loadNumber) {
    const QString number = loadNumber.trimmed();
    if (!preselected || number.isEmpty() || number == QLatin1String("000000")) return QStringLiteral("Auto");
    return number;
}

// ---------------------------------------------------------------- options: date format

namespace {
const QChar DateSeparators[] = {u'.', u',', u'-', u'/'};
}  // namespace

QStringList DateFormatsOf(int item) {
    const QString s = item >= 0 && item < 4 ? QString(DateSeparators[item]) : QString();
    return {QStringLiteral("dd%1mm%1yyyy").arg(s), QStringLiteral("dd%1mm%1yy").arg(s),
            QStringLiteral("yyyy%1mm%1dd").arg(s), QStringLiteral("yy%1mm%1dd").arg(s),
            QStringLiteral("mm%1dd%1yy").arg(s)};
}

int DateSeparatorItem(QChar separator) {
    for (int i = 0; i < 4; ++i)
        if (DateSeparators[i] == separator) return i;
    return 4;
}

QString OptionsDateFormat(const QString& format) {
    QString out = format;
    out.replace(u'M', u'm');
    return out;
}

QString DateLabelText(const QDateTime& date, const QString& shortDateFormat) {
    if (!date.isValid()) return QString();
    QString format = OptionsDateFormat(shortDateFormat);
    format.replace(u'm', u'M');
    return format.isEmpty() ? QLocale::system().toString(date.date(), QLocale::ShortFormat) : date.date().toString(format);
}

DateFormatChoice DateFormatChoiceOf(int separatorItem, const QString& inUse) {
    DateFormatChoice c;
    c.formats = DateFormatsOf(separatorItem);
    const QString shown = OptionsDateFormat(inUse);
    if (shown.isEmpty()) return c;
    c.index = int(c.formats.indexOf(shown));
    if (c.index < 0) {
        c.formats.prepend(shown);
        c.index = 0;
    }
    return c;
}
