#include "engine/FINDRSRL.h"

#include "data/ABHGNR.h"
#include "data/CblTools.h"
#include "data/DURDAT.h"
#include "data/FIRAUFKON.h"
#include "data/PGCOOL.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "data/TEMDAT.h"
#include "engine/EngineState.h"
#include "engine/FINDBTL.h"
#include "engine/FindHalterung.h"
#include "engine/SelectionUi.h"
#include "engine/StepTools.h"
#include "localisation/IvDictio.h"

#include <QCoreApplication>
#include <cmath>

namespace {

TConstructionRecord& K = ConstructionRecord;
TCalcGlobals& G = CalcGlobals;
TPgrsrlRecord& R = PgrsrlRecord;
constexpr QChar CR(13);

int g_coldPosition = 1;
int g_largestWidth = 0;  // the width the width messages show
Extended g_limitLower = 0, g_limitUpper = 0;

void Fail(int16_t status, int16_t number) {
    G.TableStatus = status;
    G.MessageNumber = number;
}

void AtLeast(double reason) {
    if (G.ClampRejectReason < reason)
        G.ClampRejectReason = reason;
}

bool Blank(const char (&field)[6]) { return FieldText(field).trimmed().isEmpty(); }

void SetDisplay(const char (&field)[6]) { std::copy_n(field, 6, G.DisplayPartNumber); }
QString DisplayText() { return QString::fromLatin1(G.DisplayPartNumber, 6).trimmed(); }

// The catalogue number a message shows for the current clamp row.
void SetClampDisplay() {
    if (K.K_KERNTECH)
        SetDisplay(R.RSL_L_NR_K);
    else if (G.CNStandard)
        SetDisplay(R.RSL_L_NR_CN);
    else
        SetDisplay(R.RSL_L_NR);
}

bool Preselect() { return G.ClampPreselectMode == '8'; }

// The CN standard's capacities (1/1.3) apply to the clamps of a support
// under the CN option only, horizontal clamps included.
bool CnDerating() { return G.CNStandard && Letter(8) == 'S'; }

QString Choice() { return G.ClampMaterialChoice.isEmpty() ? QStringLiteral(" ") : G.ClampMaterialChoice; }

bool IsTestRun() {
    const QStringList args = QCoreApplication::arguments();
    return args.size() > 1 && args.at(1).compare(QLatin1String("test"), Qt::CaseInsensitive) == 0;
}

// The pipe-diameter row of K_RDM: the first from K_RDM on that is not a
// special row and (reach) whose largest outer diameter reaches the pipe.
bool FindDiameter(bool reach, char skipKind = 'Y') {
    DurdatRecord.D_R_DM = K.K_RDM;
    DurdatStart();
    if (G.TableStatus != 0)
        return false;
    for (;;) {  // the table's end answers not found
        DurdatReadNext();
        if (G.TableStatus != 0)
            return false;
        if (DurdatRecord.D_LG_KZ[0] == skipKind)
            continue;
        if (!reach || Extended(DurdatRecord.D_R_DM) + DurdatRecord.D_EMAX_MM >= K.K_RDM)
            return true;
    }
}

bool FindTemperatureClass() {
    TemdatRecord.T_TEMP = K.K_TEM;
    TemdatStart1();
    if (G.TableStatus != 0)
        return false;
    TemdatReadNext1();
    return G.TableStatus == 0;
}

Extended ClassTemperature(int tclass) {
    TemdatRecord.T_KLASSE = int16_t(tclass);
    TemdatRead();
    if (G.TableStatus != 0) {
        G.TableStatus = 0;
        throw EngineStepError(MsgClampClassSpan);
    }
    return TemdatRecord.T_TEMP;
}

// Admissible load between the capacities at the two class temperatures.
bool LoadFits(Extended load, Extended k, Extended ki) {
    if (load <= k)
        return true;
    if (load > ki)
        return false;
    const int tclass = KeyDigits(1, 3) == 410 ? KeyDigits(4, 2) : KeyDigits(5, 2);
    const Extended t1 = ClassTemperature(tclass);
    const Extended t0 = ClassTemperature(tclass - 1);
    // A missing lower class or two classes of one temperature give no span.
    if (t1 - t0 == 0)
        throw EngineStepError(MsgClampClassSpan);
    const Extended admissible = ki - (Extended(K.K_TEM) - t0) * (ki - k) / (t1 - t0);
    return admissible >= load;
}

int Step() {
    if (G.BlockingRangeMin < 1 || G.BlockingRangeMin > 5)
        throw EngineStepError(MsgTableIndexOutOfRange);
    return G.BlockingRangeMin - 1;
}

bool CheckLoadAtStep() {
    const std::size_t s = std::size_t(Step());
    const Extended k = R.RSL_KRAFT[s], ki = R.RSL_KRAFT_INT[s], h = R.RSL_HYD_LST[s];
    const bool spring = G.MainUnitNumber >= 20000000 && G.MainUnitNumber <= 29999999;
    if (spring && !K.K_KALWAR_KZ)
        return LoadFits(K.K_LAST, k, ki) && h / 1.33L >= K.K_LAST_AUSG;
    if (spring)
        return h / 1.33L >= K.K_LAST && LoadFits(K.K_LAST_AUSG, k, ki);
    return LoadFits(K.K_LAST, k, ki);
}

// Steps 5: filters and capacity adjustments of a row; false passes it over.
bool RowFilters(int type) {
    const QString key = SearchKeyText();
    const QString variant = key.mid(6, 2);
    if (Preselect() && R.RSL_KOP_KZ)
        return false;
    if (K.K_VGBRL_KZ && !R.RSL_VGB_KZ)
        return false;
    if (K.K_RLAGER_WST_KZ && type == 49 && key.at(6) == QLatin1Char('1'))
        return false;
    const bool special = variant == QLatin1String("11") || variant == QLatin1String("12");
    if (G.SpecialVariantCount > 0 && special)
        return false;
    if (K.K_T49G_KZ.trimmed().isEmpty())
        K.K_T49G_KZ = QStringLiteral("0");
    if (type == 49 && K.K_T49G_KZ.trimmed().toInt() > 0 && special)
        return false;
    if (type == 49)
        RaiseClampCapacity();
    if (K.K_RSRL_LR != 0)
        ReduceClampCapacity();
    G.BlockingRangeMin = 1;
    if (Choice() == QLatin1String(" "))
        K.K_RSRL_AN_KZ[0] = ' ';
    if (CnDerating())
        ScaleClampCapacityCn();
    return true;
}

// Step 7 after the load fits: the load-group window, the hydrotest
// capacity, the insulation height of type 41 and the lateral travel.
bool GroupAndHydroTests(int type) {
    if (!(type == 49 || type == 40 || Preselect() || Choice() == QLatin1String("+"))) {
        AtLeast(2);
        if (G.ClampLoadGroup > R.RSL_LG_BIS)
            return false;
        if (G.ClampLoadGroup < R.RSL_LG_VON) {
            if (!K.K_RSRL_AN || type == 42)
                return false;
            const int raised = G.ClampLoadGroup + (G.ClampLoadGroup < 12 ? 2 : 1);
            if (raised < R.RSL_LG_VON)
                return false;
            K.K_RSRL_AN_KZ[0] = 'S';
        }
    }
    AtLeast(3);
    if (K.K_HYDTEST_KZ && K.K_HYDRO_LAST > R.RSL_HYD_LST[std::size_t(Step())])
        return false;
    if (type == 41 && R.RSL_DAEMM_H < K.K_DAEMMST)
        return false;
    if (Letter(1) == 'S' && Letter(4) == 'R' && Letter(6) == 'L' && K.K_RLFUEHRUNG_ZHL > 0 &&
        std::fabs(K.K_WEG_X) >= R.RSL_A) {
        G.ClampRejectReason = 4;
        return false;
    }
    return true;
}

enum class RowOutcome { Pass, Skip, End };

RowOutcome LoadTests(int type) {
    if (type == 45 || type == 48) {
        int largest = 0;
        for (int step = 1; step <= 5; ++step) {
            G.BlockingRangeMin = step;
            const int width = R.RSL_LG[std::size_t(step - 1)];
            if (step == 1 && R.RSL_LG[0] > K.K_BREITE) {
                if (!(G.ClampRejectReason == 2 && Letter(8) == 'S')) {
                    G.ClampRejectReason = 5;
                    g_largestWidth = R.RSL_LG[0];
                }
                return RowOutcome::End;
            }
            if (width != 0)
                largest = std::max(largest, width);
            if (width < K.K_BREITE)
                continue;
            G.ClampRejectReason = 1;
            CheckClampLoad();
            if (G.TableStatus != 0) {
                G.TableStatus = 0;
                return RowOutcome::Skip;
            }
            return GroupAndHydroTests(type) ? RowOutcome::Pass : RowOutcome::Skip;
        }
        G.ClampRejectReason = 6;
        g_largestWidth = largest;
        return RowOutcome::Skip;
    }
    G.BlockingRangeMin = 1;
    CheckClampLoad();
    if (G.TableStatus != 0) {
        G.TableStatus = 0;
        return RowOutcome::Skip;
    }
    return GroupAndHydroTests(type) ? RowOutcome::Pass : RowOutcome::Skip;
}

int InsulationDeduction(int group) {
    switch (group) {
    case 9: case 10: return 11;
    case 11: case 12: return 13;
    case 13: return 17;
    case 14: return 24;
    case 15: return 27;
    case 16: return 33;
    case 17: return 41;
    case 18: return 46;
    case 19: return 51;
    case 20: return 61;
    case 21: case 22: return 76;
    case 23: return 46;
    case 24: return 56;
    default: return 0;
    }
}

RowOutcome InsulationOf43() {
    const Extended free = Extended(R.RSL_E) - 0.5L * K.K_RDM - InsulationDeduction(G.ClampLoadGroup);
    if (free >= K.K_DAEMMST)
        return RowOutcome::Pass;
    if (G.FirstCandidateNumber != 0)
        return RowOutcome::Skip;
    if (R.RSL_DAEMM_H != 0 && R.RSL_DAEMM_H >= K.K_DAEMMST)
        return RowOutcome::Pass;
    SetClampDisplay();
    if (R.RSL_DAEMM_H != 0) {
        ActiveSelectionUi().Warning(FormatMessage(
            IvTranslate(QStringLiteral("Type %s only with insulation <= %d mm (%f inch)!")),
            {DisplayText(), int(R.RSL_DAEMM_H), double(Extended(R.RSL_DAEMM_H) / 25.4L)}));
        G.ClampRejectReason = 8;
        return RowOutcome::End;
    }
    if (G.LastClampAnswer == 3)
        return RowOutcome::Pass;
    const bool other = ActiveSelectionUi().WarningYesNo(
        FormatMessage(IvTranslate(QStringLiteral("Connection part is within of insulation of clamp %s !")), {DisplayText()}) +
        CR + IvTranslate(QStringLiteral("Try to select a different clamp?")));
    G.LastClampAnswer = other ? 1 : 2;
    if (!other)
        return RowOutcome::Pass;
    G.FirstCandidateNumber = G.AlternativeNumber = R.RSL_NRN;
    G.ClampRejectReason = 8;
    return RowOutcome::Skip;
}

Extended FreeSpaceOf49() { return -Extended(R.RSL_E) - R.RSL_DAEMM_H - 0.5L * K.K_RDM; }

// A base clamp without room for the insulation: look for a later row of the
// diameter that has it and let the engineer choose.
void InsulationOf49(int diameterCode) {
    if (FreeSpaceOf49() > K.K_DAEMMST)
        return;
    const double first = R.RSL_NRN;
    SetClampDisplay();
    const QString firstName = DisplayText();
    double alternative = 0;
    for (;;) {
        PgrsrlReadNext();
        if (G.TableStatus != 0)
            break;
        SetSearchKey(int32_t(R.RSL_NRN));
        if (KeyDigits(1, 2) != 49 || KeyDigits(3, 2) != diameterCode)
            break;
        if (!RowFilters(49) || K.K_LAST > R.RSL_KRAFT[0])
            continue;
        if (FreeSpaceOf49() > K.K_DAEMMST) {
            alternative = R.RSL_NRN;
            break;
        }
    }
    G.TableStatus = 0;
    double chosen = first;
    if (alternative == 0) {
        InformationBox(2740, {firstName});
    } else {
        SetClampDisplay();
        if (G.ClampAnswerAll) {
            chosen = alternative;
        } else {
            const auto answer = ActiveSelectionUi().ConfirmYesNoAll(MessageWithValues(2738, {firstName, DisplayText()}));
            if (answer == SelectionUi::YesNoAll::All)
                G.ClampAnswerAll = true;
            if (answer != SelectionUi::YesNoAll::No)
                chosen = alternative;
        }
    }
    R.RSL_NRN = chosen;
    PgrsrlStart();
    if (G.TableStatus == 0)
        PgrsrlReadNext();
    if (G.TableStatus != 0 || R.RSL_NRN != chosen)
        throw EngineStepError(2718);
    SetSearchKey(int32_t(chosen));
    RowFilters(49);
}

// The pre-pass only weighs the clamp: the component step's search shows
// the same box when it fails again.
void ClampBox(int number, const QVariantList& values) {
    if (!Preselect())
        InformationBox(number, values);
}

void ClampFailure() {
    const int reason = int(G.ClampRejectReason);
    SetSearchKey(0);
    G.TableStatus = 1;
    const bool imperial = K.K_EINH_KZ;
    switch (reason) {
    case 1: G.MessageNumber = 2737; break;
    case 2:
        if (Letter(8) == 'S') {
            G.TableStatus = 8;
            G.MessageNumber = 0;
        } else {
            ClampBox(2733, {IvTranslate(QStringLiteral("LG")) + QString::number(G.ClampLoadGroup)});
            Fail(6, 2733);
        }
        break;
    case 3: G.MessageNumber = 2736; break;
    case 4: G.MessageNumber = 2726; break;
    case 5:
    case 6: {
        const int number = (reason == 5 ? 2734 : 2735) + (imperial ? 100 : 0);
        ClampBox(number, LengthValues(imperial, {Extended(g_largestWidth)}));
        Fail(6, int16_t(number));
        break;
    }
    case 7:
        ClampBox(2729, {DisplayText()});
        Fail(6, 2729);
        break;
    case 8: G.MessageNumber = 2732; break;
    case 17: G.MessageNumber = 2730; break;
    case 18: G.MessageNumber = 2731; break;
    case 19: G.MessageNumber = 2728; break;
    default: G.MessageNumber = 2737; break;
    }
}

// The clamp's connection part, by the second character of its catalogue
// number: its height counts in the chain.
void AddConnectionPart() {
    const QString number = DisplayText().leftJustified(6);
    const QChar second = number.at(1);
    if ((second == QLatin1Char('2') && number.at(5) != QLatin1Char('7')) || second == QLatin1Char('5') ||
        second == QLatin1Char('0') || second == QLatin1Char('9'))
        return;
    int type = 77;
    if ((second == QLatin1Char('3') || second == QLatin1Char('4'))) {
        if (!R.RSL_KOP_KZ)
            return;
        type = number.at(0) == QLatin1Char('4') && number.at(1) == QLatin1Char('4') && number.at(4) == QLatin1Char('5')
                   ? 615
                   : 611;
    }
    const double clampNumber = R.RSL_NRN;
    if (type == 77) {
        SetKeyText(QStringLiteral("770"));
    } else {
        SetKeyText(QString::number(type));
    }
    SetKeyDigits(4, 2, G.ClampLoadGroup);
    FindStaticProduct();
    if (G.TableStatus != 0) {
        SetSearchKey(0);
        G.TableStatus = 1;
        return;
    }
    G.RunningHeight += PgstatRecord.STA_E;
    SetSearchKey(int32_t(clampNumber));
}

enum class SearchOutcome { Done, Retry43, Restart };

SearchOutcome Search(int type) {
    if (type == 40 && K.K_RDM_KZ[0] == 'S') {
        G.ClampRejectReason = 19;
        ClampFailure();
        return SearchOutcome::Done;
    }
    if (!FindDiameter(true) || !FindTemperatureClass()) {
        ClampFailure();
        return SearchOutcome::Done;
    }
    const int diameterCode = DurdatRecord.D_R_DM_KZ;
    const int tclass = TemdatRecord.T_KLASSE;
    SetSearchKey(0);
    SetKeyDigits(1, 2, type);
    SetKeyDigits(3, 2, diameterCode);
    if (type == 40) {
        SetKeyDigits(5, 2, 3);
        SetKeyDigits(7, 1, G.SelectionMode);
    } else {
        SetKeyDigits(5, 2, tclass);
    }
    if (type == 49 && tclass >= 11) {
        G.ClampRejectReason = 18;
        ClampFailure();
        return SearchOutcome::Done;
    }
    R.RSL_NRN = SearchKeyNumber();
    PgrsrlStart();
    bool ranOut = G.TableStatus != 0;
    while (!ranOut) {  // the rows end at the table's end or at another type or diameter
        PgrsrlReadNext();
        if (G.TableStatus != 0)
            break;
        SetSearchKey(int32_t(R.RSL_NRN));
        // Both the type and the diameter digits must match.
        if (KeyDigits(1, 2) != type || KeyDigits(3, 2) != diameterCode) {
            if (type == 40)
                G.ClampRejectReason = 17;
            break;
        }
        if (!RowFilters(type))
            continue;
        const RowOutcome load = LoadTests(type);
        if (load == RowOutcome::Skip)
            continue;
        if (load == RowOutcome::End) {
            ClampFailure();
            return SearchOutcome::Done;
        }
        if (!Preselect()) {
            if (type == 43) {
                const RowOutcome ins = InsulationOf43();
                if (ins == RowOutcome::Skip)
                    continue;
                if (ins == RowOutcome::End) {
                    ClampFailure();
                    return SearchOutcome::Done;
                }
            } else if (type == 49) {
                InsulationOf49(diameterCode);
            }
        }
        // Acceptance.
        K.K_BRT_ZAEHL = int16_t(G.BlockingRangeMin);
        K.K_BREITE_2 = R.RSL_LG[std::size_t(Step())];
        if (K.K_KERNTECH && Blank(R.RSL_L_NR_K)) {
            SetDisplay(R.RSL_L_NR);
            G.ClampRejectReason = 7;
            ClampFailure();
            return SearchOutcome::Done;
        }
        G.TableStatus = 0;
        if (Preselect())
            return SearchOutcome::Done;
        if (Choice() == QLatin1String(" ") && (type == 43 || type == 48) && SearchKeyText().at(6) == QLatin1Char('5') &&
            tclass < 11) {
            const QString question = IvTranslate(QStringLiteral("Attention:")) + QLatin1Char(' ') +
                                     IvTranslate(QStringLiteral("Problem with the load group area for the connection of the clamp!")) +
                                     CR + IvTranslate(QStringLiteral("By default, a Catalog clamp made of heat resistant material P9 is selected.")) +
                                     CR + IvTranslate(QStringLiteral("Lack of standard clamp of material for low temperature. Should be chosen special clamp made of temperature-dependent material?"));
            if (IsTestRun() || ActiveSelectionUi().InformationYesNo(question)) {
                G.ClampMaterialChoice = QStringLiteral("+");
                K.K_RSRL_AN_KZ[0] = 'S';
                return SearchOutcome::Restart;
            }
            K.K_RSRL_AN_KZ[0] = ' ';
            G.ClampMaterialChoice = QStringLiteral("-");
        }
        SetClampDisplay();
        AddConnectionPart();
        if (G.TableStatus != 0)
            return SearchOutcome::Done;
        if (Letter(4) == 'R')
            G.RunningHeight -= R.RSL_E;
        else
            G.RunningHeight += R.RSL_E;
        ChainPart& entry = ChainPartAt(G.ChainPartIndex);
        entry.ProductNumber = R.RSL_NRN;
        entry.Quantity = R.RSL_KOP_KZ ? 2 : 1;
        SetSearchKey(int32_t(R.RSL_NRN));
        return SearchOutcome::Done;
    }
    G.TableStatus = 0;
    if (type == 42)
        return SearchOutcome::Retry43;
    ClampFailure();
    return SearchOutcome::Done;
}

// 0: the pipe bearing takes the clamp's place.
int ClampType() {
    int type;
    if (Letter(6) == 'L' && K.K_ROHRLAGER_KZ)
        return 0;
    if (Letter(6) == 'L')
        type = 49;
    else if (K.K_ROHRRI_KZ)
        type = 43;
    else if (K.K_KNAG_KZ)
        type = 48;
    else
        type = 45;
    if (type == 43 && Letter(5) == 'X')
        type = 40;
    if (type == 43 && !K.K_TYP_42_KZ && K.K_DAEMMST > 0)
        type = 42;
    if ((type == 42 || type == 43) && K.K_HOR_TYP == 2)
        type = 41;
    return type;
}

void NoClamp() {
    if (Preselect() || Letter(4) == 'R')
        return;
    G.RunningHeight -= PgstatRecord.STA_E;
    --G.ChainPartIndex;
    if (K.K_RSRL_OHNE_NR == 0)
        return;
    const int kind = K.K_RSRL_OHNE_NR == 73 ? 60 : K.K_RSRL_OHNE_NR == 75 ? 61 : K.K_RSRL_OHNE_NR;
    SetSearchKey(0);
    SetKeyDigits(1, 2, kind);
    SetKeyDigits(3, 1, 1);
    SetKeyDigits(4, 2, G.ClampLoadGroup);
    FindStaticProduct();
    if (G.TableStatus == 0 && (K.K_RSRL_OHNE_NR == 73 || K.K_RSRL_OHNE_NR == 75))
        R.RSL_E = PgstatRecord.STA_E;
}

bool BlankCold(const char (&field)[6]) { return FieldText(field).trimmed().isEmpty(); }

}  // namespace

void ResetClampState() {
    G.ClampMaterialChoice = QStringLiteral(" ");
    G.FirstCandidateNumber = G.AlternativeNumber = 0;
    G.ClampAnswerAll = false;
    G.LastClampAnswer = 0;
    G.ClampRejectReason = 1;
}

void SetColdPositionIndex(int index) { g_coldPosition = index; }

void CheckClampLoad() {
    G.TableStatus = 0;
    bool fits = false;
    try {
        fits = CheckLoadAtStep();
    } catch (...) {
        RestoreTemperatureClass();
        throw;
    }
    RestoreTemperatureClass();
    G.TableStatus = fits ? 0 : 1;
}

void RaiseClampCapacity() {
    const char l1 = Letter(1), l4 = Letter(4);
    if (l1 == 'S' && l4 == 'R')
        return;
    if (l4 == 'R' && !K.K_PTFE_KZ)
        return;
    if (SearchKeyText().at(6) <= QLatin1Char('1'))
        return;
    R.RSL_KRAFT[0] = double(Extended(R.RSL_KRAFT[0]) * 1.4L);
    R.RSL_KRAFT_INT[0] = double(Extended(R.RSL_KRAFT_INT[0]) * 1.4L);
    R.RSL_HYD_LST[0] = double(Extended(R.RSL_HYD_LST[0]) * 1.4L);
}

void ReduceClampCapacity() {
    const Extended f = 1 - Extended(K.K_RSRL_LR) / 100;
    const int type = KeyDigits(1, 2);
    const int steps = (type == 45 || type == 48) ? 5 : 1;
    for (int s = 0; s < steps; ++s) {
        R.RSL_KRAFT[std::size_t(s)] = double(R.RSL_KRAFT[std::size_t(s)] * f);
        R.RSL_KRAFT_INT[std::size_t(s)] = double(R.RSL_KRAFT_INT[std::size_t(s)] * f);
    }
    if (type == 58) {
        PgcoolRecord.CLD_KRAFT_S = double(PgcoolRecord.CLD_KRAFT_S * f);
        PgcoolRecord.CLD_KRAFT_F = double(PgcoolRecord.CLD_KRAFT_F * f);
    }
    // A pipe bearing or cold support is checked against its own capacity:
    // the reserve lowers that one too.
    if (type / 10 == 5)
        PgcoolRecord.CLD_KRAFT = double(PgcoolRecord.CLD_KRAFT * f);
}

void ScaleClampCapacityCn() {
    SetDisplay(R.RSL_L_NR_CN);
    const QChar second = QString::fromLatin1(G.DisplayPartNumber, 6).at(1);
    Extended f = 1 / 1.3L;
    int steps = 1;
    if (second == QLatin1Char('6') || second == QLatin1Char('8')) {
        steps = 5;
    } else if (second == QLatin1Char('5')) {
        steps = 5;
        f = 0.5L / 1.3L;
    }
    for (int s = 0; s < steps; ++s) {
        const std::size_t i = std::size_t(s);
        R.RSL_KRAFT[i] = double(R.RSL_KRAFT[i] * f);
        R.RSL_HYD_LST[i] = double(R.RSL_HYD_LST[i] * f);
        R.RSL_KRAFT_INT[i] = double(R.RSL_KRAFT_INT[i] * f);
    }
}

void RestoreTemperatureClass() {
    const int16_t status = G.TableStatus;
    FindTemperatureClass();
    G.TableStatus = status;
}

void SelectClamp() {
    R.RSL_NRN = 0;
    R.RSL_E = 0;
    G.TableStatus = 0;
    if (K.K_RSRL_OHNE)
        return NoClamp();
    if (K.K_HOR_TYP == 1)
        return SelectHorizontalClamp();
    bool as43 = false;
    // At most one retry as type 43 and one restart for the material choice.
    for (int pass = 0; pass < 4; ++pass) {
        SetSearchKey(0);
        int type = ClampType();
        if (type == 0)
            return SelectPipeBearing();
        if (as43)
            type = 43;
        G.ClampRejectReason = 1;
        switch (Search(type)) {
        case SearchOutcome::Retry43:
            as43 = true;
            continue;
        case SearchOutcome::Restart:
            // The material choice starts the search again from the type
            // choice, type 42 included.
            as43 = false;
            continue;
        case SearchOutcome::Done:
            return;
        }
    }
    SetSearchKey(0);
    Fail(1, MsgRestartLimit);
}

void SelectPipeBearing() {
    TPgcoolRecord& C = PgcoolRecord;
    C.CLD_NRN = 0;
    double reason = 1;
    const auto failure = [&] {
        SetSearchKey(0);
        G.TableStatus = 1;
        G.MessageNumber = reason == 15 ? 2752 : reason == 3 ? 2729 : reason == 4 ? 2737 : 2611;
    };
    if (K.K_TEM > 80) {
        reason = 15;
        return failure();
    }
    if (!FindDiameter(true))
        return failure();
    const int diameterCode = DurdatRecord.D_R_DM_KZ;
    SetSearchKey(0);
    SetKeyDigits(1, 2, 57);
    SetKeyDigits(3, 2, diameterCode);
    C.CLD_NRN = SearchKeyNumber();
    PgcoolStart();
    if (G.TableStatus != 0)
        return failure();
    for (;;) {
        PgcoolReadNext();
        if (G.TableStatus != 0)
            return failure();
        SetSearchKey(int32_t(C.CLD_NRN));
        if (KeyDigits(1, 2) != 57 || KeyDigits(3, 2) != diameterCode)
            return failure();
        if (K.K_KERNTECH && BlankCold(C.CLD_L_NR_K)) {
            reason = 3;
            continue;
        }
        if (K.K_RSRL_LR != 0)
            ReduceClampCapacity();
        if (K.K_LAST > C.CLD_KRAFT) {
            reason = 4;
            continue;
        }
        break;
    }
    SetDisplay(K.K_KERNTECH ? C.CLD_L_NR_K : C.CLD_L_NR);
    // The shoe must fit inside the pipe, or the arcsine has no value.
    const Extended ratio = K.K_RDM > 0 ? 2 * Extended(C.CLD_A) / K.K_RDM : 2;
    if (ratio < -1 || ratio > 1) {
        SetSearchKey(0);
        return Fail(1, MsgBearingGeometry);
    }
    R.RSL_E = int32_t(-std::trunc(Extended(C.CLD_N)) - std::trunc(0.5L * K.K_RDM * std::cos(std::asin(ratio))));
    R.RSL_NRN = C.CLD_NRN;
    K.K_BRT_ZAEHL = 1;
    K.K_BREITE_2 = 0;
    K.K_RSRL_AN_KZ[0] = ' ';
    G.TableStatus = 0;
    if (Preselect()) {
        // No clamp row: the pre-pass adds no clamp weight.
        G.BlockingRangeMin = 0;
        return;
    }
    if (Letter(4) == 'R')
        G.RunningHeight -= R.RSL_E;
    else
        G.RunningHeight += R.RSL_E;
    ChainPart& entry = ChainPartAt(G.ChainPartIndex);
    entry.ProductNumber = C.CLD_NRN;
    entry.Quantity = 1;
}

void SelectHorizontalClamp() {
    double reason = 1;
    const auto failure = [&] {
        SetSearchKey(0);
        G.TableStatus = 1;
        switch (int(reason)) {
        case 2:
            ClampBox(2733, {IvTranslate(QStringLiteral("LG")) + QString::number(G.ClampLoadGroup)});
            Fail(6, 2733);
            break;
        case 3: G.MessageNumber = 2736; break;
        case 4: G.MessageNumber = 2740; break;
        case 7:
            SetDisplay(R.RSL_L_NR);
            ClampBox(2729, {DisplayText()});
            Fail(6, 2729);
            break;
        case 18: G.MessageNumber = 2731; break;
        default: G.MessageNumber = 2737; break;
        }
    };
    if (G.ClampLoadGroup >= 18) {
        reason = 2;
        return failure();
    }
    const bool preselect = Preselect();
    if (!preselect) {
        G.RunningHeight -= PgstatRecord.STA_E;
        PgstatRecord.STA_GEW = -PgstatRecord.STA_GEW;
        AddPartWeight();
        G.BlockingRangeMin = 1;
        G.ChainPartIndex -= 2;
        SetSearchKey(0);
        SetKeyText(QStringLiteral("611"));
        SetKeyDigits(4, 2, G.ClampLoadGroup);
        AddStaticPart();
        if (G.TableStatus != 0) {
            SetSearchKey(0);
            return;
        }
    }
    G.BlockingRangeMin = 1;
    SetSearchKey(0);
    SetKeyText(QStringLiteral("410"));
    reason = 18;
    if (!FindTemperatureClass() || TemdatRecord.T_KLASSE > 3)
        return failure();
    const int tclass = TemdatRecord.T_KLASSE;
    SetKeyDigits(4, 2, tclass);
    SetKeyDigits(6, 2, G.ClampLoadGroup);
    R.RSL_NRN = SearchKeyNumber();
    PgrsrlStart();
    if (G.TableStatus != 0)
        return failure();
    for (;;) {
        PgrsrlReadNext();
        if (G.TableStatus != 0)
            return failure();
        SetSearchKey(int32_t(R.RSL_NRN));
        if (KeyDigits(1, 3) != 410 || KeyDigits(4, 2) != tclass)
            return failure();
        if (K.K_VGBRL_KZ && !R.RSL_VGB_KZ)
            continue;
        reason = 1;
        if (K.K_RSRL_LR != 0)
            ReduceClampCapacity();
        if (CnDerating())
            ScaleClampCapacityCn();
        G.BlockingRangeMin = 1;
        CheckClampLoad();
        if (G.TableStatus != 0) {
            G.TableStatus = 0;
            continue;
        }
        reason = 2;
        if ((G.DeadWeightPassDone || K.K_VGB_KZ || Letter(8) == 'S') &&
            (G.ClampLoadGroup < R.RSL_LG_VON || G.ClampLoadGroup > R.RSL_LG_BIS))
            continue;
        reason = 3;
        if (K.K_HYDTEST_KZ && K.K_HYDRO_LAST > R.RSL_HYD_LST[0])
            continue;
        reason = 4;
        if (R.RSL_DAEMM_H < K.K_DAEMMST)
            continue;
        break;
    }
    if (K.K_KERNTECH && Blank(R.RSL_L_NR_K)) {
        reason = 7;
        return failure();
    }
    SetClampDisplay();
    K.K_BRT_ZAEHL = int16_t(G.BlockingRangeMin);
    G.TableStatus = 0;
    G.MessageNumber = 0;
    if (preselect)
        return;
    if (Letter(4) == 'R')
        G.RunningHeight -= R.RSL_E;
    else
        G.RunningHeight += R.RSL_E;
    ++G.ChainPartIndex;
    ChainPart& entry = ChainPartAt(G.ChainPartIndex);
    entry.ProductNumber = R.RSL_NRN;
    entry.Quantity = R.RSL_KOP_KZ ? 2 : 1;
    K.K_RSRL_AN_KZ[0] = ' ';
    G.RunningHeight += Extended(RoundToInt(0.5L * K.K_RDM));
}

void SelectColdComponent() {
    TPgcoolRecord& C = PgcoolRecord;
    C.CLD_NRN = 0;
    int reason = 1;
    g_limitLower = g_limitUpper = 0;
    const char l1 = Letter(1), l7 = Letter(7);
    const Extended S = SegmentHeightAt(1);
    const bool imperial = K.K_EINH_KZ;
    const auto failure = [&] {
        SetSearchKey(0);
        G.TableStatus = 1;
        switch (reason) {
        case 1: G.MessageNumber = 2760; break;
        case 2: case 6: case 8: G.MessageNumber = 2770; break;
        case 3: G.MessageNumber = 2766; break;
        case 4:
            InformationBox(imperial ? 2773 : 2763, LengthValues(imperial, {Extended(C.CLD_A), Extended(C.CLD_B)}));
            Fail(6, imperial ? 2773 : 2763);
            break;
        case 5:
            InformationBox(2729, {FieldText(C.CLD_L_NR).trimmed()});
            Fail(6, 2729);
            break;
        case 7:
            InformationBox(imperial ? 2772 : 2762, LengthValues(imperial, {g_limitLower, g_limitUpper}));
            Fail(6, imperial ? 2772 : 2762);
            break;
        case 9: G.MessageNumber = 2728; break;
        case 10:
            InformationBox(imperial ? 2775 : 2765, LengthValues(imperial, {g_limitLower, g_limitUpper}));
            Fail(6, imperial ? 2775 : 2765);
            break;
        default: G.MessageNumber = 2760; break;
        }
    };
    const int type2 = KeyDigits(1, 2);
    if ((type2 == 54 || type2 == 56 || type2 == 58) && K.K_RDM_KZ[0] == 'S') {
        reason = 9;
        return failure();
    }
    if (KeyDigits(1, 3) == 531 && G.LiftOffType == 5)
        SetPositionType(3, QStringLiteral("551"));
    int diameterCode = -1;
    if (l1 == 'C' && (l7 < 'D' || g_coldPosition > 1)) {
        SetKeyDigits(4, 2, G.ClampLoadGroup);
        reason = 2;
    } else {
        if (!FindDiameter(false))
            return failure();
        diameterCode = DurdatRecord.D_R_DM_KZ;
        if (type2 == 56) {
            SetKeyDigits(3, 2, diameterCode);
            SetKeyDigits(5, 2, G.InsulationThicknessIndex);
            SetKeyDigits(7, 2, 0);
        } else {
            SetKeyDigits(4, 2, diameterCode);
        }
        reason = 3;
    }
    C.CLD_NRN = SearchKeyNumber();
    PgcoolStart();
    if (G.TableStatus != 0)
        return failure();
    std::copy_n(G.SearchKey, 8, G.WantedProductNumberText);
    const QString wanted = QString::fromLatin1(G.WantedProductNumberText, 8);
    for (;;) {
        PgcoolReadNext();
        if (G.TableStatus != 0)
            return failure();
        SetSearchKey(int32_t(C.CLD_NRN));
        const QString key = SearchKeyText();
        // The rows of another type never carry this support.
        if (key.left(3) != wanted.left(3) && (l7 < 'D' || key.left(2) != wanted.left(2)))
            return failure();
        if (l7 == 'A' && KeyDigits(4, 2) != G.ClampLoadGroup)
            return failure();
        if (l1 == 'C' && (l7 == 'B' || l7 == 'C' || g_coldPosition > 1) && KeyDigits(4, 2) != G.ClampLoadGroup) {
            G.ClampLoadGroup = int16_t(KeyDigits(4, 2));
            G.SupportLoadGroup = G.ClampLoadGroup;
        }
        if ((type2 == 54 || type2 == 58) && KeyDigits(4, 2) != DurdatRecord.D_R_DM_KZ)
            return failure();
        if (type2 == 56) {
            if (KeyDigits(3, 2) != DurdatRecord.D_R_DM_KZ) {
                if (K.K_RDM <= 100 && DurdatRecord.D_R_DM_KZ == C.CLD_N)
                    reason = std::max(reason, 4);
                return failure();
            }
            if (KeyDigits(5, 2) != G.InsulationThicknessIndex) {
                reason = std::max(reason, 4);
                return failure();
            }
        }
        if (K.K_KERNTECH && BlankCold(C.CLD_L_NR_K)) {
            reason = 5;
            continue;
        }
        reason = std::max(reason, 6);
        if (l7 != 'F') {
            if (K.K_RSRL_LR != 0)
                ReduceClampCapacity();
            if (K.K_LAST > C.CLD_KRAFT)
                continue;
        } else {
            if (l1 == 'C' && (S < C.CLD_D_MIN || S > C.CLD_D_MAX)) {
                reason = 7;
                g_limitLower = C.CLD_D_MIN;
                g_limitUpper = C.CLD_D_MAX;
                return failure();
            }
            if (l1 == 'D') {
                const Extended rest = S - G.RunningHeight;
                if (rest < C.CLD_D_MIN || rest > C.CLD_D_MAX) {
                    reason = 7;
                    g_limitLower = C.CLD_D_MIN + G.RunningHeight;
                    g_limitUpper = C.CLD_D_MAX + G.RunningHeight;
                    return failure();
                }
                G.StanchionKind = 0;
            }
            reason = std::max(reason, 8);
            if (K.K_RSRL_LR != 0)
                ReduceClampCapacity();
            if (G.StanchionKind == 1 || G.StanchionKind == 2) {
                const Extended lever = S - C.CLD_N + C.CLD_B;
                if (lever == 0) {
                    SetSearchKey(0);
                    return Fail(1, MsgStanchionDivisor);
                }
                const Extended capacity = G.StanchionKind == 1 ? C.CLD_KRAFT_S : C.CLD_KRAFT_F;
                if (capacity * C.CLD_A / lever < K.K_LAST)
                    continue;
            } else if (G.StanchionKind == 0 && K.K_LAST > C.CLD_KRAFT) {
                continue;
            }
            K.K_STANCHION_ZHL = G.StanchionKind;
        }
        if (type2 == 52 || type2 == 53 || type2 == 55) {
            if (S < C.CLD_D_MIN || S > C.CLD_D_MAX) {
                reason = 10;
                if (g_limitLower == 0)
                    g_limitLower = C.CLD_D_MIN;
                g_limitUpper = C.CLD_D_MAX;
                continue;
            }
        } else if (type2 == 54 && key.at(2) != QLatin1Char('3') && (S < C.CLD_D_MIN || S > C.CLD_D_MAX)) {
            reason = 10;
            g_limitLower = C.CLD_D_MIN;
            g_limitUpper = C.CLD_D_MAX;
            return failure();
        }
        break;
    }
    SetDisplay(K.K_KERNTECH ? C.CLD_L_NR_K : C.CLD_L_NR);
    ChainPart& entry = ChainPartAt(l1 == 'D' ? 2 : G.ChainPartIndex);
    entry.ProductNumber = C.CLD_NRN;
    entry.Quantity = 1;
    K.K_RSRL_AN_KZ[0] = ' ';
    K.K_BRT_ZAEHL = 1;
    G.TableStatus = 0;
    G.MessageNumber = 0;
}

void AddLiftOffGuard(int multiplicity) {
    SetSearchKey(0);
    SetKeyDigits(1, 2, 49);
    SetKeyDigits(8, 1, R.RSL_LG_BIS % 10);
    const TPgrsrlRecord clamp = R;
    R.RSL_NRN = SearchKeyNumber();
    PgrsrlRead();
    if (G.TableStatus != 0) {
        // A missing guard row is a failure with its reason, not a bare status.
        R = clamp;
        return Fail(1, 2718);
    }
    ++G.ChainPartIndex;
    ChainPart& entry = ChainPartAt(G.ChainPartIndex);
    entry.ProductNumber = R.RSL_NRN;
    entry.Quantity = int16_t(multiplicity);
}

void AddLateralGuide(int multiplicity) {
    SetDisplay(R.RSL_L_NR);
    const QChar sixth = QString::fromLatin1(G.DisplayPartNumber, 6).at(5);
    if (sixth != QLatin1Char('3') && sixth != QLatin1Char('4') && sixth != QLatin1Char('5'))
        return Fail(7, 2628);
    SetSearchKey(0);
    SetKeyText(QStringLiteral("769"));
    SetKeyDigits(4, 1, K.K_RLFUEHRUNG_ZHL == 2 ? 1 : 2);
    SetKeyDigits(8, 1, K.K_SEITL_FHRG_ZHL % 10);
    FindStaticProduct();
    if (G.TableStatus != 0)
        return;
    if (G.ArmSpan > PgstatRecord.STA_BREITE_M)
        return Fail(7, 2625);
    if (G.ArmWidth < PgstatRecord.STA_X)
        return Fail(7, 2626);
    if (PgstatRecord.STA_ADM != 0) {
        G.AccessoryCount = PgstatRecord.STA_ADM * multiplicity;
        TallyAccessories();
        if (G.TableStatus != 0)
            return;
    }
    G.RunningHeight += PgstatRecord.STA_E;
    ++G.ChainPartIndex;
    ChainPart& entry = ChainPartAt(G.ChainPartIndex);
    entry.ProductNumber = PgstatRecord.STA_NRN;
    entry.Quantity = int16_t(multiplicity);
}
