#include "forms/rules/HostTransfer.h"

#include "data/ABHGNR.h"
#include "data/CblTools.h"
#include "data/DBKON.h"
#include "data/DURDAT.h"
#include "data/FIRAUFKON.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/Read_MDS_ZIF.h"
#include "platform/Numbers.h"
#include "platform/Query.h"
#include "platform/Table.h"
#include "ui/Unctool.h"

#include <exception>

// ---------------------------------------------------------------- pipe diameter

DiameterLookup CatalogueDiameterLookup() {
    return [](double mm) -> std::optional<DiameterRow> {
        DurdatRecord.D_R_DM = mm;
        if (DurdatDispatch("RX") != 0) return std::nullopt;
        return DiameterRow{DurdatRecord.D_R_DM, DurdatRecord.D_EMIN_MM, DurdatRecord.D_EMAX_MM};
    };
}

std::optional<DiameterExit> PipeDiameterExit(const QString& text, UnitMode mode, bool stressCold,
                                             const DiameterLookup& lookup) {
    const auto typed = TextToFloat(text.trimmed().isEmpty() ? QStringLiteral("0") : text);
    if (!typed) return std::nullopt;
    DiameterExit r;
    r.rdm = mode.imperial ? *typed * units::MmPerInch : *typed;
    r.rdmI = r.rdm * units::InchPerMm;
    // A diameter the table does not cover is a special diameter as typed.
    const std::optional<DiameterRow> row = lookup ? lookup(r.rdm) : std::nullopt;
    if (!row) {
        r.kz = 'S';
    } else if (!stressCold) {
        if (row->D_EMIN_MM >= r.rdm) {
            r.kz = 'S';
        } else {
            r.rdm = row->D_R_DM;
            r.rdmI = r.rdm * units::InchPerMm;
        }
    } else if (mode.imperial) {
        if (double(RoundHalfEven(Extended(r.rdmI) * 100)) * 0.01 != row->D_EMAX_MM) r.kz = 'S';
    } else if (row->D_R_DM != r.rdm) {
        r.kz = 'S';
    }
    r.shown = mode.imperial ? QString::number(r.rdmI, 'f', 2) : QString::number(r.rdm, 'f', 1);
    return r;
}

void ApplyDiameterExit(const DiameterExit& e) {
    ConstructionRecord.K_RDM = e.rdm;
    ConstructionRecord.K_RDM_I = e.rdmI;
    ConstructionRecord.K_RDM_KZ[0] = e.kz;
}

// ---------------------------------------------------------------- value fields

DisplayedValues HostDisplayedValues() {
    DisplayedValues v;
    v.Last = v.DY_L_H = MdsLoadNormal;
    v.STAT_LAST_HZ = v.DY_L_HZ = MdsLoadEmergency;
    v.STAT_LAST_HS = v.DY_L_HS = MdsLoadFailure;
    v.Hydrolast = MdsLoadHydro;
    v.Lateral = MdsStaticLateral;
    v.Horizontal = MdsStaticHorizontal;
    v.Vertikal = MdsStaticVertical;
    v.DY_W_P = MdsDynPositive;
    v.DY_W_N = MdsDynNegative;
    v.RDM = MdsPipeSize;
    v.TEMP = MdsTemp;
    v.ISO = MdsInsulation;
    v.SteelElevLeft = MdsSteelElevLeft;
    v.SteelElevRight = MdsSteelElevRight;
    v.PipeElev = MdsPipeElev;
    v.SteelWidth = MdsSteelWidth;
    v.RodLength = MdsRodLength;
    return v;
}

namespace {

struct FieldExit {
    const char* edit;
    bool load;
    double TConstructionRecord::*field;
    double TConstructionRecord::*imperialCopy;
};

const FieldExit FieldExits[] = {
    {"Last", true, &TConstructionRecord::K_LAST, &TConstructionRecord::K_LAST_I},
    {"DY_L_H", true, &TConstructionRecord::K_LAST, &TConstructionRecord::K_LAST_I},
    {"Hydrolast", true, &TConstructionRecord::K_HYDRO_LAST, &TConstructionRecord::K_HYDRO_LAST_I},
    {"DY_L_HZ", true, &TConstructionRecord::K_LAST_DYN_2, &TConstructionRecord::K_LAST_I_DYN_2},
    {"DY_L_HS", true, &TConstructionRecord::K_LAST_DYN_3, &TConstructionRecord::K_LAST_I_DYN_3},
    {"STAT_LAST_HZ", true, &TConstructionRecord::K_STAT_LAST_HZ, nullptr},
    {"STAT_LAST_HS", true, &TConstructionRecord::K_STAT_LAST_HS, nullptr},
    {"Horizontal", false, &TConstructionRecord::K_WEG_X, &TConstructionRecord::K_WEG_X_I},
    {"DY_W_P", false, &TConstructionRecord::K_WEG_X, &TConstructionRecord::K_WEG_X_I},
    {"Lateral", false, &TConstructionRecord::K_WEG_Y, &TConstructionRecord::K_WEG_Y_I},
    {"DY_W_N", false, &TConstructionRecord::K_WEG_Y, &TConstructionRecord::K_WEG_Y_I},
    {"Vertikal", false, &TConstructionRecord::K_WEG_Z, &TConstructionRecord::K_WEG_Z_I},
    {"ISO", false, &TConstructionRecord::K_DAEMMST, nullptr},
};

}  // namespace

bool ApplyFieldExit(const QString& editName, double shown, UnitMode mode) {
    for (const FieldExit& e : FieldExits) {
        if (editName != QLatin1String(e.edit)) continue;
        TConstructionRecord& k = ConstructionRecord;
        k.*e.field = e.load ? LoadToKn(shown, mode) : LengthToMm(shown, mode);
        if (mode.imperial && e.imperialCopy) k.*e.imperialCopy = shown;
        return true;
    }
    return false;
}

void ApplyLoadExits(const DisplayedValues& v, UnitMode mode, bool stressNotDynamic) {
    if (stressNotDynamic) {
        ApplyFieldExit(QStringLiteral("Last"), v.Last, mode);
        ApplyFieldExit(QStringLiteral("STAT_LAST_HZ"), v.STAT_LAST_HZ, mode);
        ApplyFieldExit(QStringLiteral("STAT_LAST_HS"), v.STAT_LAST_HS, mode);
        if (ConstructionRecord.K_HYDTEST_KZ) ApplyFieldExit(QStringLiteral("Hydrolast"), v.Hydrolast, mode);
        ApplyFieldExit(QStringLiteral("Lateral"), v.Lateral, mode);
        ApplyFieldExit(QStringLiteral("Horizontal"), v.Horizontal, mode);
        ApplyFieldExit(QStringLiteral("Vertikal"), v.Vertikal, mode);
    } else {
        ApplyFieldExit(QStringLiteral("DY_L_H"), v.DY_L_H, mode);
        ApplyFieldExit(QStringLiteral("DY_L_HZ"), v.DY_L_HZ, mode);
        ApplyFieldExit(QStringLiteral("DY_W_P"), v.DY_W_P, mode);
        ApplyFieldExit(QStringLiteral("DY_W_N"), v.DY_W_N, mode);
    }
    ApplyFieldExit(QStringLiteral("DY_L_HS"), v.DY_L_HS, mode);
}

void ApplyImperialCopies(const DisplayedValues& v, bool stressNotDynamic) {
    TConstructionRecord& k = ConstructionRecord;
    k.K_LAST_I = stressNotDynamic ? v.Last : v.DY_L_H;
    k.K_HYDRO_LAST_I = v.Hydrolast;
    k.K_LAST_I_DYN_2 = v.DY_L_HZ;
    k.K_LAST_I_DYN_3 = v.DY_L_HS;
    k.K_WEG_X_I = stressNotDynamic ? v.Horizontal : v.DY_W_P;
    k.K_WEG_Y_I = stressNotDynamic ? v.Lateral : v.DY_W_N;
    k.K_WEG_Z_I = v.Vertikal;
    k.K_TEM_I = v.TEMP;
}

void ApplyTemperatureExit(int32_t shown, UnitMode mode) {
    ConstructionRecord.K_TEM = TemperatureToCelsius(shown, mode);
    if (mode.imperial) ConstructionRecord.K_TEM_I = shown;
}

void ApplyInsulationExit(double shown, UnitMode mode) { ApplyFieldExit(QStringLiteral("ISO"), shown, mode); }

void ApplyArmLengthExit(double shown, UnitMode mode) {
    ConstructionRecord.K_TRAGARM_L = int32_t(RoundToInt(Extended(LengthToMm(shown, mode))));
    if (mode.imperial) ConstructionRecord.K_TRAGARM_L_I = FormatNumber(shown);
}

namespace {
struct TextField {
    const char* name;
    char* data;
    int width;
};
template <size_t N>
TextField Field(const char* name, char (&f)[N]) { return {name, f, int(N)}; }
std::optional<TextField> FindTextField(const QString& name) {
    TConstructionRecord& k = ConstructionRecord;
    const TextField fields[] = {Field("K_POS_NR", k.K_POS_NR), Field("K_KDN_ZNR", k.K_KDN_ZNR),
                                Field("K_NR_ANL", k.K_NR_ANL), Field("K_CALC_NR", k.K_CALC_NR)};
    for (const TextField& f : fields)
        if (name == QLatin1String(f.name)) return f;
    return std::nullopt;
}
}  // namespace

void SetRecordText(const QString& field, const QString& text) {
    // Pasted text may carry control characters; none reaches the record.
    if (const auto f = FindTextField(field)) PutTextField(f->data, f->width - 1, WithoutControlCharacters(text));
}

QString RecordText(const QString& field) {
    const auto f = FindTextField(field);
    return f ? QString::fromLatin1(f->data, f->width).trimmed() : QString();
}

void ApplyHostIdentification() {
    TConstructionRecord& k = ConstructionRecord;
    PutText(k.K_POS_NR, MdsHangerMark);
    PutText(k.K_KDN_ZNR, MdsDwgNo);
    k.K_KOOR_X = MdsPipeX;
    k.K_KOOR_Y = MdsPipeY;
    k.K_KOOR_Z = MdsPipeZ;
    k.K_DREHUNG_AS = MdsJointRotate;
}

// ---------------------------------------------------------------- configuration

int32_t FindStoredSupport(const QString& projectDir, const QString& hangerMark) {
    if (hangerMark.isEmpty() || projectDir.isEmpty()) return 0;
    try {
        TQuery q(projectDir, QStringLiteral("select K_F_NR_AUS from konstr8 where K_POS_NR = ? order by K_F_NR_AUS"));
        q.SetParams({hangerMark});
        q.Open();
        if (q.IsEmpty()) return 0;
        q.First();
        return q.FieldByName(QStringLiteral("K_F_NR_AUS")).AsInteger();
    } catch (const std::exception&) {
        // A project that cannot be read has no stored support to load.
        return 0;
    }
}

bool FilterConfigurations(TTable& abhg, StressCondition condition, const QString& mdsConfig) {
    const ConfigurationFilter f = ConfigurationFilterOf(condition, mdsConfig);
    if (abhg.IndexName() != QLatin1String("IDx_Avail_order")) {
        const bool wasActive = abhg.Active();
        abhg.Close();
        abhg.SetIndexName(QStringLiteral("IDx_Avail_order"));
        if (wasActive) abhg.Open();
    }
    abhg.SetFilter(f.expression, f.hostConfig.isEmpty() ? QVariantList{} : QVariantList{f.hostConfig});
    abhg.SetFiltered(true);
    if (!abhg.Active()) abhg.Open();
    abhg.First();
    return !abhg.IsEmpty();
}

std::optional<ProfilePreset> FindProfilePreset(TTable& t, double width, double thickness) {
    if (!(width > 0) || !(thickness > 0)) return std::nullopt;
    const bool wasActive = t.Active();
    const QString oldIndex = t.IndexName();
    const QString oldFilter = t.Filter();
    const bool oldFiltered = t.Filtered();
    // In thickness order, so the fallback finds the next thicker flange.
    t.Close();
    t.SetIndexFieldNames(QStringLiteral("TXT_KZ;TXT_PRF_B;TXT_PRF_T"));
    t.Open();
    const qlonglong w = RoundToInt(Extended(width));
    std::optional<ProfilePreset> found;
    for (const char* compare : {"=", ">="}) {
        t.SetFilter(QStringLiteral("TXT_KZ = 'PRF' and TXT_PRF_B = ? and TXT_PRF_T %1 ?").arg(QLatin1String(compare)),
                    {w, thickness});
        t.SetFiltered(true);
        t.First();
        if (!t.IsEmpty()) {
            found = ProfilePreset{t.FieldByName(QStringLiteral("TXT_TEXT")).AsString().trimmed(),
                                  t.FieldByName(QStringLiteral("TXT_PRF_HOEHE")).AsString().trimmed()};
            break;
        }
    }
    t.Close();
    t.SetIndexFieldNames(QString());
    if (!oldIndex.isEmpty()) t.SetIndexName(oldIndex);
    t.SetFilter(oldFilter);
    t.SetFiltered(oldFiltered);
    if (wasActive) t.Open();
    return found;
}

namespace {

// The trimmed texts of one field over the filtered rows, each once.
QStringList DistinctTexts(TTable& t, const QString& filter, const QVariantList& params, const QString& field,
                          int bound) {
    QStringList out;
    if (!t.Active()) t.Open();
    t.SetFilter(filter, params);
    t.SetFiltered(true);
    t.First();
    for (int i = 0; i < bound && !t.IsEmpty() && !t.Eof(); ++i) {
        const QString text = t.FieldByName(field).AsString().trimmed();
        if (!out.contains(text)) out << text;
        if (!t.Next()) break;
    }
    t.SetFiltered(false);
    t.SetFilter({});
    return out;
}

}  // namespace

QStringList ProfileTypes(TTable& t, int bound) {
    return DistinctTexts(t, QStringLiteral("TXT_KZ = 'PRF'"), {}, QStringLiteral("TXT_TEXT"), bound);
}

QStringList ProfileHeights(TTable& t, const QString& type, int bound) {
    return DistinctTexts(t, QStringLiteral("TXT_KZ = 'PRF' and TXT_TEXT = ?"), {type}, QStringLiteral("TXT_PRF_HOEHE"),
                         bound);
}

ConfigurationRow ReadConfigurationRow(TTable& t) {
    ConfigurationRow r;
    auto i = [&t](const QString& name) { return t.FieldByName(name).AsInteger(); };
    r.A_NR = i(QStringLiteral("A_NR"));
    r.A_NAME = t.FieldByName(QStringLiteral("A_NAME")).AsString();
    r.A_BER = t.FieldByName(QStringLiteral("A_BER")).AsString();
    r.A_ANZ_D = i(QStringLiteral("A_ANZ_D"));
    r.A_ANZ_Q = i(QStringLiteral("A_ANZ_Q"));
    r.BX = i(QStringLiteral("BX"));
    r.BY = i(QStringLiteral("BY"));
    for (int k = 0; k < 4; ++k) {
        r.DX[k] = i(QStringLiteral("DX%1").arg(k + 1));
        r.DY[k] = i(QStringLiteral("DY%1").arg(k + 1));
    }
    for (int k = 0; k < 5; ++k) {
        r.QX[k] = i(QStringLiteral("QX%1").arg(k + 1));
        r.QY[k] = i(QStringLiteral("QY%1").arg(k + 1));
    }
    return r;
}

PanelInputs PanelInputsOf(const ConfigurationRow& row, StressCondition condition, int buildingItem) {
    const TConstructionRecord& k = ConstructionRecord;
    PanelInputs in;
    in.name = row.A_NAME;
    in.condition = condition;
    in.rsrlOhne = k.K_RSRL_OHNE;
    in.obAnsch = k.K_OB_ANSCH;
    in.rohrlager = k.K_ROHRLAGER_KZ;
    in.kerntech = k.K_KERNTECH;
    in.temperature = k.K_TEM;
    in.hasABer = !row.A_BER.trimmed().isEmpty();
    in.anzD = row.A_ANZ_D;
    in.anzQ = row.A_ANZ_Q;
    in.buildingItem = buildingItem;
    return in;
}

void ApplyPanelCodes(const PanelLayout& p, const ConfigurationRow& row) {
    TConstructionRecord& k = ConstructionRecord;
    k.K_RSRL_OHNE_NR = int16_t(p.rsrlOhneNr);
    if (p.resetRlFuehrung) k.K_RLFUEHRUNG_ZHL = 0;
    if (p.anGeb >= 0) k.K_AN_GEB = int16_t(p.anGeb);
    // What the Ok road takes from the choices as they stand by default. A
    // hidden building-connection choice is no choice: it writes nothing.
    if (p.Gebaude1 && p.GroupBoxBuildingConnection) {
        const int code = BuildingConnectionCode(p.buildingItem);
        if (code >= 0) k.K_AN_GEB = int16_t(code);
    }
    k.K_KNAG_KZ = p.GroupBoxVertical ? p.GroupBoxVerticalEnabled : true;
    if (p.ANGEBOHNE) k.K_AN_GEB = int16_t(AngebohneCode(0));
    if (p.RSRLOHNE) k.K_RSRL_OHNE_NR = int16_t(RsrlOhneCode(0));
    k.K_T49G_KZ = p.BaseClampStyleBox ? QStringLiteral("0") : QStringLiteral(" ");
    const Type41Result t41 = CheckType41Limits(p.GroupBoxHorizontal, 0, k.K_RSRL_OHNE, row.A_NAME, k.K_DAEMMST, k.K_TEM);
    k.K_HOR_TYP = int16_t(t41.horTyp);
}

// ---------------------------------------------------------------- elevations

ElevationKind ElevationKindOf(const ConfigurationRow& row, bool lengthGiven) {
    if (lengthGiven) return ElevationKind::Differences;
    if (row.A_ANZ_Q != 0) return ElevationKind::Absolute;
    if (row.A_ANZ_D != 0) return ElevationKind::Differences;
    return ElevationKind::None;
}

ElevationInputs PrefillElevations(const ConfigurationRow& row, ElevationKind kind, const DisplayedValues& shown,
                                  const QString& mdsConfig, const QString& mdsPipeSize, bool imperial) {
    ElevationInputs e;
    e.kind = kind;
    if (kind == ElevationKind::None) return e;
    e.count = qBound(0, kind == ElevationKind::Differences ? row.A_ANZ_D : row.A_ANZ_Q, 6);
    e.hasSteelWidth = row.BX > 0;
    if (e.hasSteelWidth) e.steelWidth = shown.SteelWidth;
    if (e.count == 0) return e;
    if (kind == ElevationKind::Differences) {
        QString rod = shown.RodLength;
        if (mdsConfig == QLatin1String("6")) {
            // A cold support stands at half the pipe size below the steel.
            const int64_t half = RoundToInt(Extended(StrToFloatAnySep(mdsPipeSize)) / 2);
            rod = imperial ? FeetInchText(double(half)) : QString::number(half);
        }
        if (!rod.isEmpty()) {
            e.texts[0] = rod;
            if (mdsConfig != QLatin1String("6")) e.enabled[0] = false;
        }
        return e;
    }
    const int n = e.count;
    if (!shown.SteelElevLeft.isEmpty()) {
        e.texts[0] = shown.SteelElevLeft;
        e.enabled[0] = false;
    }
    if (!shown.PipeElev.isEmpty()) {
        e.texts[n - 1] = shown.PipeElev;
        e.enabled[n - 1] = false;
    }
    if (NameLetter(row.A_NAME, 5) == u'D' && n > 2 && !shown.SteelElevRight.isEmpty()) {
        e.texts[1] = shown.SteelElevRight;
        e.enabled[1] = false;
    }
    return e;
}

namespace {

double* HeightField(bool differences, int slot) {
    TConstructionRecord& k = ConstructionRecord;
    double* d[] = {&k.K_HM_D_1, &k.K_HM_D_2, &k.K_HM_D_3, &k.K_HM_D_4, &k.K_HM_D_5, &k.K_HM_D_6};
    double* q[] = {&k.K_HM_Q_1, &k.K_HM_Q_2, &k.K_HM_Q_3, &k.K_HM_Q_4, &k.K_HM_Q_5, &k.K_HM_Q_6};
    return differences ? d[slot - 1] : q[slot - 1];
}

QString* HeightText(bool differences, int slot) {
    TConstructionRecord& k = ConstructionRecord;
    QString* d[] = {&k.K_HI_D_F_1, &k.K_HI_D_F_2, &k.K_HI_D_F_3, &k.K_HI_D_F_4, &k.K_HI_D_F_5, &k.K_HI_D_F_6};
    QString* q[] = {&k.K_HI_Q_F_1, &k.K_HI_Q_F_2, &k.K_HI_Q_F_3, &k.K_HI_Q_F_4, &k.K_HI_Q_F_5, &k.K_HI_Q_F_6};
    return differences ? d[slot - 1] : q[slot - 1];
}

}  // namespace

int ReadElevation(int slot, const QString& text, bool differences, bool imperial, const ConfigurationRow& row) {
    if (slot < 1 || slot > 6) return 0;
    const UncHeight h = ParseUncHeight(text, imperial);
    // A height that cannot be read is the input's -1, never the height read
    // before: the Ok road refuses it, the input keeps the text for the
    // engineer to correct.
    *HeightField(differences, slot) = h.error != 0 ? -1 : h.value;
    if (h.error != 0) return h.error;
    if (imperial) *HeightText(differences, slot) = text;
    if (differences) return 0;
    TConstructionRecord& k = ConstructionRecord;
    const QString mm = QString::number(h.value);
    if (slot == 1) {
        k.K_MHOEHE_OBENL = mm;
        k.K_IHOEHE_OBENL = k.K_HI_Q_F_1;
    }
    if (slot == 2 && NameLetter(row.A_NAME, 5) == u'D') {
        k.K_MHOEHE_OBENR = mm;
        k.K_IHOEHE_OBENR = k.K_HI_Q_F_2;
    }
    if (slot == row.A_ANZ_Q) {
        k.K_MHOEHE_UNTEN = mm;
        k.K_IHOEHE_UNTEN = *HeightText(false, slot);
    }
    return 0;
}

QString SteelWidthText(double mm, bool imperial) {
    return imperial ? FeetInchText(mm) : QString::number(RoundToInt(Extended(mm)));
}

int ReadSteelWidth(const QString& text, bool imperial, const ConfigurationRow& row, QString* shown) {
    const UncHeight h = ParseUncHeight(text, imperial);
    TConstructionRecord& k = ConstructionRecord;
    if (h.error != 0) {
        k.K_BREITE = k.K_BREITE_2 = -1;
        return h.error;
    }
    if (imperial) k.K_BREITE_I = text;
    k.K_BREITE = h.value;
    k.K_BREITE_2 = h.value;
    QString out = text;
    if (!k.K_RSRL_OHNE && NameLetter(row.A_NAME, 3) == u'V') {
        k.K_BREITE = double(RoundHalfEven(Extended(k.K_BREITE) * 0.1L) * 10);
        out = SteelWidthText(k.K_BREITE, imperial);
    }
    if (shown) *shown = out;
    return 0;
}

int ApplyElevations(const ElevationInputs& in, bool imperial, const ConfigurationRow& row) {
    if (in.kind == ElevationKind::None) return 0;
    const bool differences = in.kind == ElevationKind::Differences;
    ConstructionRecord.K_ST_E_6 = differences;
    ConstructionRecord.K_H_ZHL = int16_t(in.count);
    int first = 0;
    for (int i = 0; i < in.count; ++i) {
        if (in.texts[i].isEmpty()) continue;
        const int e = ReadElevation(i + 1, in.texts[i], differences, imperial, row);
        if (e != 0 && first == 0) first = e;
    }
    if (in.hasSteelWidth && !in.steelWidth.isEmpty()) {
        const int e = ReadSteelWidth(in.steelWidth, imperial, row);
        if (e != 0 && first == 0) first = e;
    }
    return first;
}

// ---------------------------------------------------------------- unit switch

void SwitchUnits(DisplayedValues& shown, QStringList& texts, UnitMode from, UnitMode to, bool stressNotDynamic,
                 bool differences, const ConfigurationRow& row) {
    if (from == to) return;
    ConvertDisplayedUnits(shown, from, to);
    if (to.imperial) ApplyImperialCopies(shown, stressNotDynamic);
    if (from.imperial == to.imperial) return;
    for (QString& t : texts)
        if (!t.isEmpty()) t = to.imperial ? FeetInchTextOfText(t) : ParseFeetInchToText(t);
    for (int i = 0; i < texts.size() && i < 6; ++i)
        if (!texts.at(i).isEmpty()) ReadElevation(i + 1, texts.at(i), differences, to.imperial, row);
}

// ---------------------------------------------------------------- the whole transfer

TransferResult TransferHostToRecord(UnitMode mode, const DiameterLookup& lookup, int configuration) {
    TransferResult r;
    TConstructionRecord& k = ConstructionRecord;
    // The input form starts every support in metric kN.
    const UnitMode metric{};
    k.K_EINH_KZ = false;
    k.K_KN_KG = false;
    k.K_AN_GEB = 75;
    k.K_KNAG_KZ = true;
    ApplyHostIdentification();

    r.shown = HostDisplayedValues();
    // The diameter is read before the stress condition is chosen, so by the
    // rule of static and dynamic supports.
    if (const auto d = PipeDiameterExit(r.shown.RDM, metric, false, lookup)) {
        ApplyDiameterExit(*d);
        r.shown.RDM = d->shown;
    }
    ApplyTemperatureExit(r.shown.TEMP, metric);
    ApplyInsulationExit(r.shown.ISO, metric);

    r.condition = StressConditionOfHostConfig(MdsConfig);
    const StressState state = StressStateOf(r.condition);
    CalcGlobals.StressNotDynamic = state.notDynamic;
    CalcGlobals.StressCold = state.cold;
    ApplyLoadExits(r.shown, metric, state.notDynamic);

    const auto switchUnits = [&] {
        UnitMode to = mode;
        to.loadsInKg = mode.loadsInKg && !mode.imperial;
        k.K_EINH_KZ = to.imperial;
        k.K_KN_KG = to.loadsInKg;
        QStringList texts;
        for (int i = 0; i < r.elevations.count; ++i) texts << r.elevations.texts[i];
        SwitchUnits(r.shown, texts, metric, to, state.notDynamic,
                    r.elevations.kind == ElevationKind::Differences, r.configuration);
        for (int i = 0; i < texts.size(); ++i) r.elevations.texts[i] = texts.at(i);
    };
    if (MdsConfig.isEmpty() || !DBKONST || !FilterConfigurations(DBKONST->ABHGDB, r.condition, MdsConfig)) {
        switchUnits();
        return r;
    }
    if (configuration != 0) {
        // As the navigator walks the offered configurations, bounded by them.
        TTable& abhg = DBKONST->ABHGDB;
        while (abhg.FieldByName("A_NR").AsInteger() != configuration)
            if (!abhg.Next()) {
                switchUnits();
                return r;
            }
    }
    r.configurationFound = true;
    r.configuration = ReadConfigurationRow(DBKONST->ABHGDB);
    LoadArrangement();
    ClearConstruction();
    k.K_A_NR = int16_t(r.configuration.A_NR);
    r.layout = ConfigureConnectionPanels(PanelInputsOf(r.configuration, r.condition));
    ApplyPanelCodes(r.layout, r.configuration);

    k.K_T9_WINKEL = T9AngleFromHost(r.configuration.A_NAME, MdsAlpha);
    if (MdsAlpha35 != 0) k.K_ALPHA35 = 90 - MdsAlpha35;

    const ElevationKind kind = ElevationKindOf(r.configuration, MdsLengthGiven);
    r.elevations = PrefillElevations(r.configuration, kind, r.shown, MdsConfig, MdsPipeSize, false);
    r.elevationError = ApplyElevations(r.elevations, false, r.configuration);
    // Then the engineer switches the options to the wanted units.
    switchUnits();
    return r;
}
