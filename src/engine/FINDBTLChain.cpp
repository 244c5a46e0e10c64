#include "engine/FINDBTLChain.h"

#include "data/ABHGNR.h"
#include "data/CblTools.h"
#include "data/DBKON.h"
#include "data/TableAccess.h"
#include "data/DURDAT.h"
#include "data/FIRAUFKON.h"
#include "data/PGCOOL.h"
#include "data/PGDYNA.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "data/TEMDAT.h"
#include "engine/EngineState.h"
#include "engine/FINDBTL.h"
#include "engine/FINDRSRL.h"
#include "engine/FindHalterung.h"
#include "engine/HYDROTEST.h"
#include "engine/HZ_HS_TEST.h"
#include "engine/SelectionUi.h"
#include "engine/StepTools.h"
#include "localisation/IvDictio.h"

#include <cmath>
#include <limits>

namespace {

TConstructionRecord& K = ConstructionRecord;
TCalcGlobals& G = CalcGlobals;
constexpr int RodEmpty = 999999;
constexpr double SkipMarker = 999;
constexpr double RodMarker = 390;
// More restarts than any walk can need: each restart raises a load group
// or excludes a variant.
constexpr int RestartLimit = 40;

QString g_loadLevelKind = QStringLiteral("LGC");
// The warning the last component pass left, with the one value its text
// shows; MessageNumber may still hold one of an earlier pass or selection.
int16_t g_warningNumber = 0;
double g_warningValue = 0;
// The heavy-hanger road changed the building connection to 73 in this
// selection: every pass of the component step reports it (2622).
bool g_connectionChanged = false;
int g_multiplicity = 1;
Extended g_dimension[6];  // D(1..5): chain height per rod segment

enum class Walk { Done, Restart };

void Fail(int16_t status, int16_t number) {
    G.TableStatus = status;
    G.MessageNumber = number;
}

bool Failed() { return G.TableStatus != 0; }

int TypeOf(double number) { return DigitsOf(number, 1, 3); }
int MainType() { return TypeOf(G.MainUnitNumber); }

void Enter(double number, int16_t quantity) {
    ChainPart& e = ChainPartAt(G.ChainPartIndex);
    e.ProductNumber = number;
    e.Quantity = quantity;
}

// type (3 digits) + group + zeros.
void PartKey(int type, int group) {
    SetSearchKey(0);
    SetKeyDigits(1, 3, type);
    SetKeyDigits(4, 2, group);
}

void AddPart(int type, int group) {
    PartKey(type, group);
    AddStaticPart();
}

double& RestLength(int k) {
    switch (k) {
    case 1: return K.K_RESTLAENGE_1;
    case 2: return K.K_RESTLAENGE_2;
    case 3: return K.K_RESTLAENGE_3;
    case 4: return K.K_RESTLAENGE_4;
    case 5: return K.K_RESTLAENGE_5;
    default: throw EngineStepError(MsgTableIndexOutOfRange);
    }
}

double HeightValue(int k) {
    switch (k) {
    case 1: return K.K_HM_Q_1;
    case 2: return K.K_HM_Q_2;
    case 3: return K.K_HM_Q_3;
    case 4: return K.K_HM_Q_4;
    case 5: return K.K_HM_Q_5;
    default: throw EngineStepError(MsgTableIndexOutOfRange);
    }
}

RodRecord& RodAt(int k) {
    if (k < 1 || k > 5)
        throw EngineStepError(MsgTableIndexOutOfRange);
    return G.RodRecords[std::size_t(k - 1)];
}

void AddToRod(int k, Extended height) {
    if (k < 1)
        return;  // no rod yet above this part
    int32_t& r = RodLengthAt(k);
    r = int32_t(r + TruncToInt(height));
}

// A rod position: its marker in the chain and the height at it.
void RecordRod(double marker) {
    if (G.RodCount >= 5)
        throw EngineStepError(MsgTableIndexOutOfRange);
    ++G.RodCount;
    RodRecord& r = RodAt(G.RodCount);
    r = RodRecord();
    r.ChainIndex = int16_t(G.ChainPartIndex);
    r.LoadGroup = G.ClampLoadGroup;
    r.Multiplicity = int16_t(g_multiplicity);
    Enter(marker == 0 ? G.RodCount : marker, int16_t(g_multiplicity));
    RodLengthAt(G.RodCount) = int32_t(TruncToInt(G.RunningHeight));
}

// Rod lengths from the heights noted at the markers and the segment heights.
void RodLengthsFromHeights() {
    if (G.RodCount < 1)
        return;
    RodLengthAt(G.RodCount) = G.ChainHeight;
    g_dimension[1] = RodLengthAt(1);
    for (int k = 2; k <= G.RodCount; ++k)
        g_dimension[k] = Extended(RodLengthAt(k)) - RodLengthAt(k - 1);
    for (int k = 5; k >= 2; --k)
        if (G.RodCount >= k)
            RodLengthAt(k) = int32_t(SegmentHeightAt(k) - RodLengthAt(k) + RodLengthAt(k - 1));
    RodLengthAt(1) = SegmentHeightAt(1) - RodLengthAt(1);
}

// The walks step the index for the terminating position too.
void EndOfList(bool terminated) {
    if (terminated)
        --G.ChainPartIndex;
    G.ChainEnd = G.ChainPartIndex;
    G.ChainHeight = int32_t(TruncToInt(G.RunningHeight));
}

void RaiseLoadGroups() {
    if (G.MainUnitLoadGroup >= 24 || G.SupportLoadGroup >= 24 || G.ComponentLoadGroup >= 24) {
        // No group above 24 exists: the load-group message ends the step.
        ActiveSelectionUi().Information(MessageWithValues(2733, {IvTranslate(QStringLiteral("LG")) + QString::number(G.ClampLoadGroup)}));
        Fail(1, 2733);
        return;
    }
    ++G.MainUnitLoadGroup;
    ++G.SupportLoadGroup;
    ++G.ComponentLoadGroup;
    G.TableStatus = 0;
    G.MessageNumber = 0;
}

// The accessory pieces (nuts) of the tally, one entry per size.
void AddAccessoryParts() {
    for (int k = 0; k < 3 && G.AccessoryKinds[std::size_t(k)] != 99; ++k) {
        PartKey(630, G.AccessoryKinds[std::size_t(k)]);
        FindStaticProduct();
        if (Failed())
            return;
        ++G.ChainPartIndex;
        Enter(PgstatRecord.STA_NRN, G.AccessoryCounts[std::size_t(k)]);
    }
}

// ---- the walk of letter 5 'E', the double and the plain walk ----

bool BeamLimitsExceeded(const QString& key) {
    const QChar third = key.at(2);
    const int g = G.ClampLoadGroup;
    int16_t number = 0;
    if (QStringLiteral("5789").contains(third) && g > 19)
        number = 2619;
    else if (third == QLatin1Char('3') && g > 21)
        number = 2618;
    else if ((third == QLatin1Char('2') || third == QLatin1Char('4')) && g > 19)
        number = 2613;
    else if (third == QLatin1Char('1') && g > 14)
        number = 2612;
    if (number == 0)
        return false;
    Fail(1, number);
    return true;
}

void StaticPosition(const QString& type, bool beams) {
    const int t = type.toInt();
    PartKey(t, G.ClampLoadGroup);
    if (beams && t >= 790 && t <= 799) {
        if (BeamLimitsExceeded(SearchKeyText()))
            return;
        FindStaticProductByWidth();
        if (Failed())
            return;
        AddPartWeight();
        G.RunningHeight += PgstatRecord.STA_E;
        Enter(PgstatRecord.STA_NRN, int16_t(g_multiplicity));
        return;
    }
    if (t <= 299) {
        SelectConnectionPart();
        if (!Failed() && Letter(7) == 'A' && !K.K_AUFLAGER_KZ) {
            G.TopPartNumber = PgstatRecord.STA_NRN;
            G.ComponentHeightTop = PgstatRecord.STA_E;
        }
        return;
    }
    if (t == 660 || t == 670) {
        RecordRod(0);
        return;
    }
    FindStaticProduct();
    if (Failed())
        return;
    if (PgstatRecord.STA_ADM != 0) {
        G.AccessoryCount = PgstatRecord.STA_ADM * (g_multiplicity == 2 ? 2 : 1);
        TallyAccessories();
        if (Failed())
            return;
    }
    AddPartWeight();
    G.RunningHeight += PgstatRecord.STA_E;
    Enter(PgstatRecord.STA_NRN, int16_t(g_multiplicity));
}

void RodTooLong(int k, Extended length) {
    const int shown = k + (K.K_ST_E_6 ? 0 : 1);
    if (K.K_EINH_KZ) {
        QVariantList v{shown};
        v += LengthValues(true, {length});
        InformationBox(2723, v);
        Fail(6, 2723);
    } else {
        InformationBox(2722, {shown, qint64(TruncToInt(length))});
        Fail(6, 2722);
    }
}

void StaticWalkEnd(bool terminated) {
    EndOfList(terminated);
    RodLengthsFromHeights();
    const char l7 = Letter(7), l8 = Letter(8);
    for (int k = 1; k <= 5 && k <= G.RodCount && RodLengthAt(k) != RodEmpty; ++k) {
        G.ClampLoadGroup = RodAt(k).LoadGroup;
        G.BlockingRangeMin = G.ClampLoadGroup - 8;
        SetSearchKey(int32_t(G.MainUnitNumber));
        const bool lateRun = G.DeadWeightPassDone || K.K_VGB_KZ || l8 == 'S';
        if (l7 == 'A' && DigitsOf(G.MainUnitNumber, 1, 2) == 25 && k == 1) {
            FindStaticProduct();
            if (Failed())
                return;
            const Extended f = PositionType(3) == QLatin1String("620") ? 0.68L : 0.5L;
            Extended L = Extended(TruncToInt(f * SizeDimensionAt(G.BlockingRangeMin))) + G.RunningHeight -
                         PgstatRecord.STA_E - K.K_BLOCKIER;
            if (L > SegmentHeightAt(1)) {
                if (!K.K_ST_E_6)
                    L = K.K_HM_Q_1 - L;
                return RodTooLong(k, L);
            }
        } else {
            if (K.K_AN_GEB == 74 && G.BlockingRangeMin >= 12 && G.BlockingRangeMin <= 16) {
                static const int correction[] = {66, 83, 93, 46, 80};
                const int c = correction[G.BlockingRangeMin - 12];
                int16_t& entry = SizeDimensionAt(G.BlockingRangeMin);
                entry = int16_t(entry + (k == 1 ? c : -c));
            }
            const Extended size = SizeDimensionAt(G.BlockingRangeMin);
            Extended L = SegmentHeightAt(k) - g_dimension[k] - size;
            if (lateRun && L < 0) {
                if (!K.K_ST_E_6) {
                    L = HeightValue(k) - (g_dimension[k] + size);
                } else {
                    L = size + g_dimension[k];
                    for (int j = 1; j < k; ++j)
                        L += SegmentHeightAt(j);
                }
                return RodTooLong(k, L);
            }
        }
        G.CurrentRodLength = RodLengthAt(k);
        Extended rest = 0;
        DivideRod(k, rest);
        if (Failed())
            return;
        RestLength(k) = double(rest);
        if (l7 == 'A' || l7 == 'B' || (l7 == 'C' && k > 1))
            AddPartWeight();
    }
    if (K.K_RSRL_OHNE && K.K_RSRL_OHNE_NR == 0)
        CorrectAccessoryTally();
    AddAccessoryParts();
    if (Failed())
        return;
    FinishChain();
}

Walk StaticWalk(bool beams) {
    int position = 1;
    if (Letter(7) != 'A') {
        SelectFirstComponent(position);
        if (Failed())
            return Walk::Done;
    }
    bool terminated = false;
    for (int i = position; i <= 16; ++i) {
        if (Failed())
            return Walk::Done;
        const QString type = PositionType(i);
        ++G.ChainPartIndex;
        if (type == QLatin1String("000")) {
            terminated = true;
            break;
        }
        if (type >= QLatin1String("400") && type <= QLatin1String("499")) {
            SelectClamp();
            if (G.TableStatus == 8) {
                RaiseLoadGroups();
                return Failed() ? Walk::Done : Walk::Restart;
            }
            if (Failed())
                return Walk::Done;
            G.MessageNumber = 0;
            // The rod-angle check of the repeat pass measures the rod
            // between the top part and the clamp.
            G.ComponentHeightBottom = PgrsrlRecord.RSL_E;
            SetSearchKey(int32_t(PgrsrlRecord.RSL_NRN));
            continue;
        }
        StaticPosition(type, beams);
    }
    if (Failed())
        return Walk::Done;
    StaticWalkEnd(terminated);
    // The changed building connection stays reported; the clamp position
    // clears the message of the parts before it, and the later passes of
    // the selection find the connection already changed.
    if (!Failed() && g_connectionChanged && G.MessageNumber == 0)
        G.MessageNumber = 2622;
    return Walk::Done;
}

// ---- the dynamic walk and its rod walk ----

bool DynamicFits(Extended capacity) {
    // The dynamic loads of levels D and E against the capacity raised by
    // the level factors.
    return capacity >= K.K_LAST && 1.33L * capacity >= K.K_LAST_DYN_2 && 1.72L * capacity >= K.K_LAST_DYN_3;
}

void DynamicWidthUnit() {
    SetSearchKey(0);
    SetKeyDigits(1, 2, 34);
    SetKeyDigits(3, 4, TruncToInt(K.K_BREITE));
    PgdynaRecord.DYN_NRN = SearchKeyNumber();
    PgdynaStart();
    if (Failed())
        return Fail(1, 2718);
    for (;;) {
        PgdynaReadNext();
        if (Failed() || NumberDigits(PgdynaRecord.DYN_NRN).left(2) != QLatin1String("34"))
            return Fail(1, 2718);
        if (G.ClampLoadGroup <= PgdynaRecord.DYN_LG_MAX && K.K_LAST <= PgdynaRecord.DYN_KRAFT &&
            DynamicFits(PgdynaRecord.DYN_KRAFT))
            break;
    }
    G.RunningHeight += Letter(2) == 'S' ? PgdynaRecord.DYN_E_MAX : PgdynaRecord.DYN_E;
    Enter(PgdynaRecord.DYN_NRN, 1);
    G.ClampLoadGroup = G.SecondLoadGroup;
    g_multiplicity = 1;
}

void DynamicPosition(const QString& type) {
    const char l1 = Letter(1), l4 = Letter(4);
    if (type == QLatin1String("340") || type == QLatin1String("341"))
        return DynamicWidthUnit();
    if (type == QLatin1String("300") || type == QLatin1String("320") || type == QLatin1String("390") ||
        type == QLatin1String("270"))
        return RecordRod(RodMarker);
    if (type == QLatin1String("202")) {
        if (G.RodCount >= 5)
            throw EngineStepError(MsgTableIndexOutOfRange);
        ++G.RodCount;
        G.ClampLoadGroup = G.MainUnitLoadGroup;
        SelectConnectionPart();
        G.ClampLoadGroup = G.SecondLoadGroup;
        return;
    }
    if (type == QLatin1String("360") || type == QLatin1String("370") || type == QLatin1String("371") ||
        type == QLatin1String("380")) {
        SelectDynamicUnit(type);
        if (Failed())
            return;
        if (!(l4 == 'F' || l4 == 'G' || l1 == 'G')) {
            AdjustSegmentForAngle();
        } else {
            PgrsrlRecord.RSL_E = PgdynaRecord.DYN_E +
                                 (type == QLatin1String("360") && K.K_DYN_RSBK_KZ ? G.DynamicHeightOffset : 0);
            G.ComponentHeightBottom = PgrsrlRecord.RSL_E;
            ApplyArmAngle();
            if (Failed())
                return;
            G.RunningHeight -= K.K_WKL_VOR;
        }
        return;
    }
    PartKey(type.toInt(), G.ClampLoadGroup);
    FindDynamicProduct();
    if (Failed())
        return;
    G.RunningHeight += PgdynaRecord.DYN_E;
    if (type == QLatin1String("351") || type == QLatin1String("353"))
        G.DynamicHeightOffset = PgdynaRecord.DYN_E;
    Enter(PgdynaRecord.DYN_NRN, int16_t(g_multiplicity));
    if (type == QLatin1String("350") || type == QLatin1String("351"))
        G.ComponentHeightBottom = PgdynaRecord.DYN_E;
}

Walk RodWalk() {
    const char l4 = Letter(4), l7 = Letter(7), l8 = Letter(8);
    for (int k = 1; k <= 5 && RodLengthAt(k) != RodEmpty; ++k) {
        G.CurrentRodLength = RodLengthAt(k);
        G.ClampLoadGroup = RodAt(k).LoadGroup;
        if (l4 == 'F' || l4 == 'G' || l8 == 'H' || l7 == 'C') {
            if (l4 == 'F')
                FitMainUnitHeight();
            else if (l4 == 'G')
                CheckSpringHanger();
            else if (l8 == 'H')
                SelectStrokeUnit();
            else
                SelectAdjustableUnit();
            const int s = G.TableStatus;
            if (l4 == 'Y' && l8 == 'H' && s >= 2 && s <= 4) {
                ResetComponentState();
                G.SecondLoadGroup = int16_t(s);
                G.TableStatus = G.MessageNumber = 0;
                return Walk::Restart;
            }
            if (s != 0)
                return Walk::Done;
            continue;
        }
        G.StrutRangeMin = 999999;
        G.StrutRangeMax = 0;
        SelectStrut();
        switch (G.TableStatus) {
        case 0: continue;
        case 2:
            G.SecondComponentLoadGroup = G.SecondLoadGroup = G.ClampLoadGroup;
            K.K_DYN_RSBK_KZ = false;
            ResetComponentState();
            G.TableStatus = 0;
            return Walk::Restart;
        case 3:
        case 9: {
            const Extended lower = G.CurrentRodLength - K.K_WR_GS, upper = G.CurrentRodLength + K.K_WR_GS;
            if (TruncToInt(lower) < G.StrutRangeMin || TruncToInt(upper) > G.StrutRangeMax) {
                const bool imperial = K.K_EINH_KZ;
                InformationBox(imperial ? 2745 : 2744,
                               LengthValues(imperial, {Extended(G.StrutRangeMin) + G.ChainHeight,
                                                       Extended(G.StrutRangeMax) + G.ChainHeight}));
                Fail(6, imperial ? 2745 : 2744);
            } else {
                Fail(1, 2770);
            }
            return Walk::Done;
        }
        default: return Walk::Done;
        }
    }
    FinishChain();
    return Walk::Done;
}

Walk DynamicWalk() {
    bool terminated = false;
    for (int i = 1; i <= 16; ++i) {
        if (Failed())
            return Walk::Done;
        const QString type = PositionType(i);
        ++G.ChainPartIndex;
        if (type == QLatin1String("000")) {
            terminated = true;
            break;
        }
        DynamicPosition(type);
    }
    if (Failed())
        return Walk::Done;
    EndOfList(terminated);
    RodLengthsFromHeights();
    return RodWalk();
}

// ---- the cold-support walk ----

void ColdWalk() {
    bool terminated = false;
    for (int i = 1; i <= 16; ++i) {
        if (Failed())
            return;
        const QString type = PositionType(i);
        ++G.ChainPartIndex;
        if (type < QLatin1String("500") || type >= QLatin1String("600")) {
            terminated = true;
            break;
        }
        SetKeyText(type);
        SetColdPositionIndex(i);
        SelectColdComponent();
    }
    if (Failed())
        return;
    if (terminated)
        --G.ChainPartIndex;
    G.ChainEnd = G.ChainPartIndex;
    G.ChainHeight = int32_t(TruncToInt(G.RunningHeight));
    RodLengthAt(1) = SegmentHeightAt(1) - G.ChainHeight;
    FinishChain();
}

// ---- the R walk ----

Walk RWalk() {
    G.WeighParts = true;
    const char l1 = Letter(1), l4 = Letter(4), l6 = Letter(6), l7 = Letter(7);
    Extended e290 = 0;
    for (int i = 1; i <= 16; ++i) {
        if (Failed())
            return Walk::Done;
        const QString type = PositionType(i);
        if (type == QLatin1String("000"))
            break;
        if (type == QLatin1String("291")) {
            if (MainType() == 161)
                continue;
            if (K.K_ZUG_DRUCK_KZ && G.ClampLoadGroup > 19) {
                G.MessageNumber = 2642;
            } else {
                SetSearchKey(int32_t(WithDigits(WithDigits(G.MainUnitNumber, 3, 1, 1), 6, 3, 0)));
                AddStaticPart();
                if (Failed())
                    return Walk::Done;
            }
            if (!K.K_PTFE_KZ && !K.K_RSRL_OHNE)
                G.MessageNumber = K.K_EINH_KZ ? 2845 : 2844;
        } else if (type >= QLatin1String("400") && type < QLatin1String("500")) {
            if (K.K_RSRL_OHNE)
                continue;
            ++G.ChainPartIndex;
            SelectClamp();
            // The R walk does not raise the load groups: a group outside
            // every clamp's window ends the step with its message.
            if (G.TableStatus == 8) {
                Fail(1, 2733);
                return Walk::Done;
            }
            if (Failed())
                return Walk::Done;
            G.MessageNumber = 0;
            if (l1 == 'S' && l4 == 'R' && l6 == 'L')
                K.K_PTFE_KZ = false;
            const QString variant = NumberDigits(PgrsrlRecord.RSL_NRN).mid(6, 2);
            if (K.K_PTFE_KZ && (variant == QLatin1String("11") || variant == QLatin1String("12"))) {
                ++G.SpecialVariantCount;
                EngineState.PtfeNoteCount = G.SpecialVariantCount;
                ResetComponentState();
                return Walk::Restart;
            }
            if (DigitsOf(PgrsrlRecord.RSL_NRN, 1, 2) == 49) {
                if (K.K_T49G_KZ.trimmed().isEmpty())
                    K.K_T49G_KZ = QStringLiteral("0");
                G.BlockingRangeMin = K.K_T49G_KZ.trimmed().toInt() + 1;
            }
            AddPartWeight();
            if (Failed())
                return Walk::Done;
            if (type == QLatin1String("490")) {
                if (K.K_RLFUEHRUNG_ZHL == 1)
                    AddLiftOffGuard(g_multiplicity);
                else if (K.K_RLFUEHRUNG_ZHL == 2 || K.K_RLFUEHRUNG_ZHL == 3)
                    AddLateralGuide(g_multiplicity);
            }
        } else if (type == QLatin1String("700") && K.K_PTFE_KZ) {
            if (G.ClampLoadGroup <= 19) {
                AddPart(700, G.ClampLoadGroup);
                if (Failed())
                    return Walk::Done;
                AddPartWeight();
            }
            G.RunningHeight += 3;
        } else if (type == QLatin1String("910") && K.K_PTFE_KZ && !K.K_RSRL_OHNE) {
            SetSearchKey(int32_t(WithDigits(WithDigits(PgrsrlRecord.RSL_NRN, 1, 2, 91), 5, 2, 0)));
            FindStaticProduct();
            if (Failed())
                return Walk::Done;
            AddPartWeight();
            G.RunningHeight += 2;
        } else if (type >= QLatin1String("500") && type < QLatin1String("600")) {
            ++G.ChainPartIndex;
            SetKeyText(type);
            SetColdPositionIndex(i);
            SelectColdComponent();
            if (Failed())
                return Walk::Done;
            G.DeadWeight = double(PgcoolRecord.CLD_GEW +
                                  (SegmentHeightAt(1) - 0.5L * K.K_RDM) * 0.001L * PgcoolRecord.CLD_GEW_VER);
        } else if (type == QLatin1String("290")) {
            if (MainType() == 161)
                G.RunningHeight -= K.K_BLOCKIER;
            SetSearchKey(int32_t(G.MainUnitNumber));
            AddStaticPart();
            if (Failed())
                return Walk::Done;
            if (!K.K_RSRL_OHNE && (std::fabs(K.K_WEG_X) > PgstatRecord.STA_BREITE ||
                                   std::fabs(K.K_WEG_Y) > PgstatRecord.STA_BREITE))
                InformationBox(5175);
            if (MainType() != 161)
                e290 = PgstatRecord.STA_E;
        }
    }
    if (Failed())
        return Walk::Done;
    // The positions enter their parts themselves; the index stands on the
    // last entry.
    G.ChainEnd = G.ChainPartIndex;
    G.ChainHeight = int32_t(TruncToInt(G.RunningHeight));
    const int32_t rod = SegmentHeightAt(1) - G.ChainHeight;
    RodLengthAt(1) = rod;
    const bool imperial = K.K_EINH_KZ;
    // Letters 1 'D' with 7 'F' leave out the rod-length and tension checks
    // and go on from the 2642 check; 'S' with 6 'X' leave out every check.
    const bool fromTensionCheck = l1 == 'D' && l7 == 'F';
    const bool skipChecks = l1 == 'S' && l6 == 'X';
    if (!fromTensionCheck && !skipChecks) {
        if (rod != 0 && (G.MainUnitNumber < 16199999 || !K.K_ZUG_DRUCK_KZ)) {
            if (imperial) {
                if (!K.K_ST_E_6) {
                    // Rounded to thousandths before the feet are split off:
                    // a whole number of feet (1524 mm, a hair below 60 in in
                    // the product) is 5'-0.000", never 4'-12.000", which no
                    // height field reads back.
                    const Extended inch = RoundTo((Extended(rod) + K.K_HM_Q_2) * InchPerMm, 3);
                    const int64_t feet = TruncToInt(inch / 12);
                    K.K_IHOEHE_UNTEN = QString::number(feet) + QStringLiteral("'-") + FormatFixed(inch - 12 * feet, 3) +
                                       QLatin1Char('"');
                }
            } else {
                if (!K.K_ST_E_6)
                    K.K_MHOEHE_UNTEN = QString::number(qint64(TruncToInt(Extended(rod) + K.K_HM_Q_2)));
            }
            LeaveComponentWarning(imperial ? 2839 : 2838,
                                  imperial ? double(RoundToInt(rod * InchPerMm)) : rod);
        }
        if (G.MainUnitNumber >= 16199999 && K.K_ZUG_DRUCK_KZ && rod >= 1) {
            // The first part of the chain again, the first of its type that
            // reaches the rod length.
            const double first = ChainPartAt(1).ProductNumber;
            SetSearchKey(int32_t(first));
            PgstatRecord.STA_NRN = first;
            FindStaticProductByDimension();
            if (Failed())
                return Walk::Done;
            ChainPartAt(1).ProductNumber = PgstatRecord.STA_NRN;
            K.K_MHOEHE_UNTEN = QString::number(qint64(TruncToInt(K.K_HM_Q_2)));
            if (PgstatRecord.STA_BREITE > rod || rod > PgstatRecord.STA_BREITE_M - e290) {
                InformationBox(imperial ? 2843 : 2842,
                               LengthValues(imperial, {Extended(G.ChainHeight) + PgstatRecord.STA_BREITE,
                                                       Extended(G.ChainHeight) + PgstatRecord.STA_BREITE_M - e290}));
                Fail(6, imperial ? 2843 : 2842);
                return Walk::Done;
            }
        }
    }
    if (!skipChecks) {
        if (G.MessageNumber == 2642) {
            InformationBox(2642);
            Fail(6, 2642);
            return Walk::Done;
        }
    }
    if (!skipChecks) {
        if ((G.MessageNumber == 2844 || G.MessageNumber == 2845) && rod > 0) {
            const int n = G.MessageNumber;
            InformationBox(n, {n == 2845 ? qint64(RoundToInt(rod * InchPerMm)) : qint64(rod)});
            Fail(6, int16_t(n));
            return Walk::Done;
        }
        if (!(l1 == 'S' && l4 == 'R' && l6 == 'X') && rod < 0)
            LeaveComponentWarning(imperial ? 2837 : 2836,
                                  imperial ? double(RoundToInt(G.RunningHeight * InchPerMm))
                                           : double(G.RunningHeight));
    }
    if (K.K_RSRL_OHNE && K.K_RSRL_OHNE_NR == 0)
        CorrectAccessoryTally();
    const int16_t warning = G.MessageNumber;
    G.MessageNumber = 0;
    AddAccessoryParts();
    if (Failed())
        return Walk::Done;
    FinishChain();
    if (!Failed())
        G.MessageNumber = warning;
    return Walk::Done;
}

Walk RunWalk() {
    const char l1 = Letter(1), l4 = Letter(4), l5 = Letter(5);
    g_multiplicity = 1;
    if (l1 == 'C') {
        G.ClampLoadGroup = G.SupportLoadGroup;
        G.BlockingRangeMax = 1;
        ColdWalk();
        return Walk::Done;
    }
    if (l4 == 'Y' || l4 == 'F' || l4 == 'G') {
        G.ClampLoadGroup = l5 == 'D' ? G.SecondComponentLoadGroup : G.SecondLoadGroup;
        g_multiplicity = l5 == 'D' ? 2 : 1;
        G.BlockingRangeMax = g_multiplicity;
        return DynamicWalk();
    }
    if (l4 == 'R') {
        G.ClampLoadGroup = G.MainUnitLoadGroup;
        G.BlockingRangeMax = 1;
        return RWalk();
    }
    if (l5 == 'E') {
        G.ClampLoadGroup = Letter(8) == 'H' ? G.MainUnitLoadGroup : G.SupportLoadGroup;
    } else if (l5 == 'D') {
        G.ClampLoadGroup = AreaLetter() == 'I' ? G.MainUnitLoadGroup : G.ComponentLoadGroup;
        g_multiplicity = 2;
    } else {
        G.ClampLoadGroup = AreaLetter() == 'A' ? G.MainUnitLoadGroup : G.SupportLoadGroup;
    }
    G.BlockingRangeMax = g_multiplicity;
    return StaticWalk(l5 != 'E');
}

// The width code of the steel profile K_KLM_NR of height K_KLM_HH from the
// text table's profile rows; the table's filter and index are restored.
bool ProfileWidthCode(QChar& code) {
    if (!DBKONST)
        return false;
    TTable& t = DBKONST->TXTTAB;
    TableStateGuard keep(t);
    if (!t.Active())
        t.Open();
    const QString index = t.IndexName();
    t.SetFiltered(false);
    t.SetFilter(QStringLiteral("TXT_KZ = 'PRF'and TXT_NR = ") + QString::number(K.K_KLM_NR));
    t.SetFiltered(true);
    t.SetIndexName(QStringLiteral("TXT_KEY_NUM"));
    const bool found = t.Locate(QStringLiteral("TXT_NUM"), {double(K.K_KLM_HH)});
    if (found)
        code = RowReader(t).T(QStringLiteral("TXT_PRF_BRT_KZ")).leftJustified(1).at(0);
    t.SetIndexName(index);
    return found;
}

void FillSizeDimensions() {
    static const int16_t hanger[16] = {80, 80, 84, 84, 102, 120, 158, 180, 212, 249, 281, 317, 348, 366, 404, 440};
    static const int16_t other[16] = {87, 87, 98, 98, 125, 144, 191, 215, 258, 289, 334, 340, 373, 392, 474, 512};
    const int16_t* t = Letter(8) == 'H' ? hanger : other;
    for (int i = 0; i < 16; ++i)
        G.SizeDimensionTable[std::size_t(i)] = t[i];
}

void ResetStepState() {
    ResetClampState();
    G.SpecialVariantCount = 0;
    G.InclinedArmFlag = false;
    ClearComponentWarning();
    g_connectionChanged = false;
}

}  // namespace

void ResetComponentState() {
    G.RodRecords = {};
    K.K_RESTLAENGE_1 = K.K_RESTLAENGE_2 = K.K_RESTLAENGE_3 = K.K_RESTLAENGE_4 = K.K_RESTLAENGE_5 = 0;
    G.RodLengths.fill(RodEmpty);
    G.ChainPartTable = {};
    G.AccessoryCounts.fill(0);
    G.AccessoryKinds.fill(99);
    G.ChainPartIndex = 0;
    G.RodCount = 0;
    G.RunningHeight = 0;
    G.ChainEnd = 0;
    G.ChainHeight = 0;
    SetLoadLevel();
}

void SetLoadLevel() {
    switch (K.K_DYNLOAD_KZ[0]) {
    case 'P': g_loadLevelKind = QStringLiteral("LGP"); break;
    case 'E': g_loadLevelKind = QStringLiteral("LGE"); break;
    case 'D': g_loadLevelKind = QStringLiteral("LGD"); break;
    default: g_loadLevelKind = QStringLiteral("LGC"); break;
    }
}

QString LoadLevelKind() { return g_loadLevelKind; }

double ComponentWarningValue() { return g_warningValue; }

int16_t ComponentWarningNumber() { return g_warningNumber; }

void LeaveComponentWarning(int16_t number, double value) {
    G.MessageNumber = number;
    g_warningNumber = number;
    g_warningValue = value;
}

void ClearComponentWarning() {
    g_warningNumber = 0;
    g_warningValue = 0;
}

bool BuildingConnectionChanged() { return g_connectionChanged; }

void SelectComponents() {
    const double startWeight = G.DeadWeight;
    G.SpecialVariantCount = 0;
    try {
        for (int run = 0;; ++run) {
            if (run > RestartLimit)
                return Fail(1, MsgRestartLimit);
            G.DeadWeight = startWeight;
            G.TableStatus = 0;
            ResetComponentState();
            FillSizeDimensions();
            if (RunWalk() == Walk::Done)
                return;
        }
    } catch (const EngineStepError& e) {
        Fail(1, int16_t(e.Number()));
    }
}

void SelectFirstComponent(int& position) {
    const int aa = K.K_AN_GEB;
    const char l7 = Letter(7);
    const auto tail = [&](int type2) {
        SetSearchKey(0);
        SetKeyDigits(1, 2, type2);
        SetKeyDigits(4, 2, G.ClampLoadGroup);
        AddStaticPart();
        if (Failed())
            return;
        position += K.K_OB_ANSCH ? 2 : 1;
    };
    if (K.K_OB_ANSCH) {
        if (l7 == 'B' && G.ClampLoadGroup > 19) {
            position = 3;
            return;
        }
        if (aa == 66) {
            position = 2;
            return;
        }
        return tail(aa);
    }
    SetSearchKey(0);
    SetKeyDigits(1, 2, aa);
    SetKeyDigits(4, 2, G.ClampLoadGroup);
    if (aa == 76) {
        if (G.ClampLoadGroup > 12)
            return Fail(7, 2623);
        if (K.K_WEG_X != 0 || K.K_WEG_Y != 0)
            return Fail(7, 2624);
        FindStaticProduct();
        bool taken = false;
        if (!Failed()) {
            SetSearchKey(int32_t(PgstatRecord.STA_NRN));
            if (G.ArmSpan > PgstatRecord.STA_BREITE_M)
                return Fail(7, 2625);
            taken = TypeOf(PgstatRecord.STA_NRN) == 760 && G.ArmWidth >= PgstatRecord.STA_X &&
                    PgstatRecord.STA_BREITE + 0.5L * G.ArmWidth >= K.K_TRAGARM_L;
        }
        G.TableStatus = 0;
        if (!taken) {
            PartKey(761, G.ClampLoadGroup);
            PgstatRecord.STA_NRN = SearchKeyNumber();
            PgstatStart();
            if (Failed())
                return Fail(1, 2718);
            for (;;) {
                PgstatReadNext();
                if (Failed())
                    return Fail(1, 2721);
                if (TypeOf(PgstatRecord.STA_NRN) != 761 || DigitsOf(PgstatRecord.STA_NRN, 4, 2) != G.ClampLoadGroup)
                    return Fail(1, 2718);
                if (G.ArmWidth < PgstatRecord.STA_X)
                    return Fail(7, 2626);
                if (PgstatRecord.STA_BREITE_M >= G.ArmWidth)
                    break;
            }
            if (K.K_TRAGARM_L > PgstatRecord.STA_BREITE)
                return Fail(7, 2627);
            static const int16_t h[4] = {120, 140, 154, 164}, o[4] = {127, 147, 168, 178};
            for (int i = 0; i < 4; ++i)
                G.SizeDimensionTable[std::size_t(i)] = Letter(8) == 'H' ? h[i] : o[i];
        }
        G.AccessoryCount = PgstatRecord.STA_ADM * g_multiplicity;
        TallyAccessories();
        if (Failed())
            return;
        G.RunningHeight += PgstatRecord.STA_E;
        ++G.ChainPartIndex;
        Enter(PgstatRecord.STA_NRN, int16_t(g_multiplicity));
        SetSearchKey(int32_t(PgstatRecord.STA_NRN));
    } else {
        if (aa == 78) {
            if (G.ClampLoadGroup > 19)
                return Fail(7, 2616);
            const bool heavy = Letter(5) == 'D' ? 0.5L * K.K_LAST > 100 : K.K_LAST > 100;
            if (!G.DeadWeightPassDone && G.ClampLoadGroup > 17 && heavy) {
                InformationBox(1661);
                return Fail(6, 1661);
            }
            QChar widthCode;
            if (!ProfileWidthCode(widthCode))
                return Fail(7, 2617);
            SetKeyDigits(6, 1, widthCode.digitValue() < 0 ? 0 : widthCode.digitValue());
            SetKeyDigits(7, 2, 11);
            // The row of the profile is read only to check the arm width.
            PgstatRecord.STA_NRN = SearchKeyNumber();
            PgstatRead();
            if (Failed() || G.ArmWidth < PgstatRecord.STA_X)
                return Fail(7, 2621);
            if (G.ArmSpan > PgstatRecord.STA_BREITE_M)
                return Fail(7, 2634);
        }
        SetKeyDigits(7, 2, 0);
        AddStaticPart();
        if (Failed())
            return;
    }
    G.TopPartNumber = PgstatRecord.STA_NRN;
    if (aa != 74)
        G.ComponentHeightTop = PgstatRecord.STA_E;
    ++position;
    if (aa == 74 || TypeOf(PgstatRecord.STA_NRN) == 761) {
        G.ChainPartIndex = 2;
        position = 2;
        ChainPartAt(2) = ChainPart{SkipMarker, 1};
        return;
    }
    tail(aa == 73 ? 60 : 61);
}

namespace {

// A heavy hanger hangs from a weld bracket straight on the steel: the
// bracket takes the place of the two parts of the building connection in
// entries 1 and 2, and the main unit follows it in entry 2. The height,
// the top part and the nut tally are those of the bracket alone.
void WeldBracketConnection(int group) {
    if (K.K_AN_GEB != 73) {
        K.K_AN_GEB = 73;
        g_connectionChanged = true;
    }
    for (int i = 1; i <= 2 && i <= G.ChainPartIndex; ++i) {
        const ChainPart dropped = ChainPartAt(i);
        if (dropped.ProductNumber == 0 || dropped.ProductNumber == SkipMarker)
            continue;
        PgstatRecord.STA_NRN = dropped.ProductNumber;
        PgstatRead();
        if (Failed() || PgstatRecord.STA_ADM == 0) {
            G.TableStatus = 0;
            continue;
        }
        TakeBackAccessories(G.ClampLoadGroup, int32_t(PgstatRecord.STA_ADM) * dropped.Quantity);
    }
    PartKey(730, group);
    FindStaticProduct();
    if (Failed())
        return;
    ChainPartAt(1).ProductNumber = PgstatRecord.STA_NRN;
    if (ChainPartAt(1).Quantity == 0)
        ChainPartAt(1).Quantity = int16_t(g_multiplicity);
    G.ChainPartIndex = 1;
    G.RunningHeight = PgstatRecord.STA_E;
    G.TopPartNumber = PgstatRecord.STA_NRN;
    G.ComponentHeightTop = PgstatRecord.STA_E;
}

}  // namespace

void SelectConnectionPart() {
    --G.ChainPartIndex;
    const char l4 = Letter(4), l5 = Letter(5), l7 = Letter(7);
    const int group = G.ClampLoadGroup;
    const int mainType = MainType();
    const auto rodRules = [&](bool firstRule, bool note) {
        const Extended e = PgstatRecord.STA_E;
        bool added = false;
        if (l4 == 'A' && l5 == 'E' && firstRule) {
            AddToRod(G.RodCount, e);
            added = true;
        }
        if (l4 == 'A' && l5 == 'D' && (l7 == 'C' || l7 == 'F')) {
            AddToRod(G.RodCount, e);
            AddToRod(G.RodCount - 1, e);
            added = true;
        }
        if (l4 == 'A' && l5 == 'T' && (l7 == 'C' || l7 == 'E' || l7 == 'H')) {
            AddToRod(G.RodCount, e);
            added = true;
        }
        if (added && note)
            G.ConnectingPlateNote = true;
    };
    // A connection from above holds a heavy hanger of letter 7 'B' itself:
    // no bracket and no upper yoke plate.
    if (group >= 20 && l7 != 'A' && !(l7 == 'B' && K.K_OB_ANSCH)) {
        if (l7 == 'B') {
            WeldBracketConnection(group);
            if (Failed())
                return;
        } else {
            AddPart(616, group);
            if (Failed())
                return;
            rodRules(true, true);
        }
        // The upper yoke plate of a constant hanger (or a main unit of
        // type 200) follows the bracket as it follows the plate.
        if (mainType <= 200) {
            SetSearchKey(0);
            SetKeyDigits(1, 3, 111);
            SetKeyDigits(4, 2, group);
            SetKeyDigits(6, 1, G.MainUnitRangeIndex);
            AddStaticPart();
            if (Failed())
                return;
            rodRules(l7 > 'B', false);
        }
    }
    SetSearchKey(int32_t(G.MainUnitNumber));
    G.RunningHeight += K.K_BLOCKIER;
    if (l4 == 'F' && mainType > 200)
        G.RunningHeight -= K.K_BLOCKIER;
    AddStaticPart();
    if (Failed())
        return;
    if (l7 <= 'A' && mainType >= 200 && mainType <= 299 && K.K_AUFLAGER_KZ && group <= 19) {
        AddPart(720, group);
        if (Failed())
            return;
    }
    if (l7 == 'A') {
        if (K.K_AUFLAGER_KZ) {
            G.TopPartNumber = 0;
            G.ComponentHeightTop = 0;
        } else {
            G.TopPartNumber = PgstatRecord.STA_NRN;
            G.ComponentHeightTop = PgstatRecord.STA_E;
        }
    }
    if (group >= 20 && (mainType <= 200 || mainType >= 300)) {
        SetSearchKey(0);
        SetKeyDigits(1, 3, 112);
        SetKeyDigits(4, 2, group);
        SetKeyDigits(6, 1, G.MainUnitRangeIndex);
        AddStaticPart();
        if (Failed())
            return;
        G.DeadWeight += PgstatRecord.STA_GEW;
        AddPart(610, group);
        if (Failed())
            return;
        G.DeadWeight += PgstatRecord.STA_GEW;
    }
}

void AddRodPieceWeight(int r, int n, bool coupling) {
    const char l5 = Letter(5), l7 = Letter(7);
    if (Letter(8) == 'S')
        return;
    const Extended w = coupling ? Extended(n) * PgstatRecord.STA_GEW
                                : Extended(PgstatRecord.STA_E) * 0.001L * PgstatRecord.STA_GEW_VER * n;
    const bool skipFirst = (l5 == 'E' && l7 == 'C' && r == 1) || (l5 == 'D' && l7 == 'F' && r < 4) ||
                           (l5 == 'D' && (l7 == 'C' || l7 == 'D' || l7 == 'E') && r < 3) ||
                           (l5 == 'T' && l7 == 'H' && r < 4) ||
                           (l5 == 'T' && (l7 == 'E' || l7 == 'F' || l7 == 'G') && r < 3) ||
                           (l5 == 'T' && (l7 == 'C' || l7 == 'D') && r < 2);
    if (skipFirst)
        return;
    G.DeadWeight = double(Extended(G.DeadWeight) + w);
    bool second = true;
    if (l5 == 'E')
        second = false;
    else if (l5 == 'D' && !(l7 == 'C' && r == 3))
        second = false;
    else if (l5 == 'T' && (((l7 == 'A' || l7 == 'B' || l7 == 'D') && r != 2) || ((l7 == 'C' || l7 == 'E') && r != 3) ||
                           l7 > 'F' || (l7 == 'A' && !K.K_AUFLAGER_KZ)))
        second = false;
    if (second)
        G.DeadWeight = double(Extended(G.DeadWeight) + w);
}

void DivideRod(int rod, Extended& rest) {
    const int start = G.ChainPartIndex;
    const int m = RodAt(rod).Multiplicity;
    const int stock = K.K_ZUGST_ST == 2000 || K.K_ZUGST_ST == 2500 ? K.K_ZUGST_ST : 3000;
    const bool imperialCatalogue = K.K_KATA_KZ;
    const Extended S = !imperialCatalogue ? stock : stock == 3000 ? 3657 : stock == 2500 ? 3048 : 2438;
    const int lengthDigit = stock == 2000 ? 5 : stock == 2500 ? 6 : 7;
    const int16_t tooMany = stock == 3000 ? 2620 : stock == 2500 ? 3620 : 3621;
    const Extended L = G.CurrentRodLength;
    int64_t n = TruncToInt(L / S);
    if (n > 4)
        return Fail(1, tooMany);
    Extended R;
    const auto piece = [&](int type, int digit, int16_t quantity) -> bool {
        PartKey(type, G.ClampLoadGroup);
        SetKeyDigits(6, 1, digit);
        FindStaticProduct();
        if (Failed())
            return false;
        ++G.ChainPartIndex;
        Enter(PgstatRecord.STA_NRN, quantity);
        G.AccessoryCount = int32_t(quantity * PgstatRecord.STA_ADM * m);
        TallyAccessories();
        return !Failed();
    };
    int restType, restDigit;
    if (L == S) {
        restType = 660;
        restDigit = lengthDigit;
        R = S;
        n = 0;
    } else {
        R = L;
        if (n >= 1) {
            R = Extended(TruncToInt(L - n * S));
            bool shortened = false;
            Extended pieceLength = S;
            if (SizeDimensionAt(G.BlockingRangeMin) > R) {
                pieceLength = S - (imperialCatalogue ? 609 : 500);
                n = TruncToInt(L / pieceLength);
                if (n > 4)
                    return Fail(1, tooMany);
                shortened = true;
            }
            if (!piece(660, lengthDigit - (shortened ? 1 : 0), int16_t(n)))
                return;
            AddRodPieceWeight(rod, int(n), false);
            if (!piece(640, 0, int16_t(n)))
                return;
            AddRodPieceWeight(rod, int(n), true);
            R = L - n * pieceLength;
        }
        const bool imp = imperialCatalogue;
        if (R > (imp ? 1219 : 1000)) {
            restType = 660;
            restDigit = 4;
            if (R > (imp ? 1828 : 1500))
                restDigit = 5;
            if (R > (imp ? 2438 : 2000))
                restDigit = 6;
            if (R > (imp ? 3048 : 2500))
                restDigit = 7;
        } else {
            restType = 670;
            restDigit = R > (imp ? 609 : 500) ? 3 : 2;
        }
    }
    PartKey(restType, G.ClampLoadGroup);
    SetKeyDigits(6, 1, restDigit);
    FindStaticProduct();
    if (Failed())
        return;
    ++G.ChainPartIndex;
    Enter(PgstatRecord.STA_NRN, 1);
    G.AccessoryCount = PgstatRecord.STA_ADM * m;
    TallyAccessories();
    if (Failed())
        return;
    RodRecord& r = RodAt(rod);
    r.PieceCount = int16_t(G.ChainPartIndex - start);
    r.SecondValue = int16_t(n);
    rest = R;
}

void SelectDynamicUnit(const QString& positionType) {
    const char l1 = Letter(1), l3 = Letter(3), l4 = Letter(4), l5 = Letter(5);
    K.K_RSRL_AN_KZ[0] = ' ';
    G.BlockingRangeMin = 1;
    SetSearchKey(0);
    const int type = l3 == 'V' ? 38 : l5 == 'D' ? 37 : 36;
    SetKeyDigits(1, 2, type);
    DurdatRecord.D_R_DM = K.K_RDM;
    DurdatStart();
    bool found = G.TableStatus == 0;
    while (found) {
        DurdatReadNext();
        if (Failed()) {
            found = false;
            break;
        }
        if (DurdatRecord.D_LG_KZ[0] == 'S')
            continue;
        if (Extended(DurdatRecord.D_R_DM) + DurdatRecord.D_EMAX_MM >= K.K_RDM)
            break;
    }
    if (!found) {
        SetSearchKey(0);
        return Fail(1, 2732);
    }
    const int diameterCode = DurdatRecord.D_R_DM_KZ;
    TemdatRecord.T_TEMP = K.K_TEM;
    TemdatStart1();
    if (!Failed())
        TemdatReadNext1();
    if (Failed() || TemdatRecord.T_KLASSE > 11) {
        SetSearchKey(0);
        return Fail(1, 2731);
    }
    SetKeyDigits(3, 2, diameterCode);
    SetKeyDigits(5, 2, TemdatRecord.T_KLASSE);
    PgdynaRecord.DYN_NRN = SearchKeyNumber();
    PgdynaStart();
    if (Failed()) {  // no dynamic row at or after the key
        SetSearchKey(0);
        return Fail(1, 2718);
    }
    bool groupRejected = false;
    while (!Failed()) {
        PgdynaReadNext();
        if (Failed())
            break;
        SetSearchKey(int32_t(PgdynaRecord.DYN_NRN));
        if (KeyDigits(1, 2) != type || KeyDigits(3, 2) != diameterCode)
            break;
        if (K.K_VGBRL_KZ && !PgdynaRecord.DYN_VGB_KZ)
            continue;
        if (l4 == 'F' || l4 == 'G' || l1 == 'G')
            AdjustDynamicCapacity();
        if (!DynamicFits(PgdynaRecord.DYN_KRAFT)) {
            groupRejected = false;
            continue;
        }
        if (l5 != 'D' && (G.ClampLoadGroup < PgdynaRecord.DYN_LG_MIN || G.ClampLoadGroup > PgdynaRecord.DYN_LG_MAX)) {
            groupRejected = true;
            continue;
        }
        K.K_RSRL_LAST_H = K.K_RSRL_LAST_HZ = K.K_RSRL_LAST_HS = 0;
        K.K_BRT_ZAEHL = int16_t(G.BlockingRangeMin);
        K.K_DYN_RSBK_KZ = PgdynaRecord.DYN_BK_KZ;
        if (positionType == QLatin1String("371"))
            G.RunningHeight -= PgdynaRecord.DYN_E;
        else
            G.RunningHeight += PgdynaRecord.DYN_E;
        Enter(PgdynaRecord.DYN_NRN, 1);
        G.TableStatus = 0;
        return;
    }
    SetSearchKey(0);
    if (groupRejected) {
        InformationBox(2753, {G.ClampLoadGroup});
        return Fail(6, 2753);
    }
    Fail(1, 2737);
}

void AdjustDynamicCapacity() {
    TPgdynaRecord& D = PgdynaRecord;
    if (!K.K_36_DRUCK_ONLY) {
        const Extended t = TemdatRecord.T_TEMP;
        Extended f = 1;
        if (t > 580) f = 0.5L;
        else if (t > 560) f = 0.6L;
        else if (t > 530) f = 0.45L;
        else if (t > 510) f = 0.55L;
        else if (t > 500) f = 0.65L;
        else if (t > 450) f = 0.55L;
        else if (t > 350) f = 0.9L;
        D.DYN_KRAFT = double(D.DYN_KRAFT * f);
    }
    if (G.CNStandard && Letter(1) == 'G')
        D.DYN_KRAFT = double(D.DYN_KRAFT * (1 / 1.3L));
    if (Letter(4) == 'F' || Letter(4) == 'G' || Letter(1) == 'G')
        D.DYN_KRAFT = double(D.DYN_KRAFT * (1 - Extended(K.K_RSRL_LR) / 100));
}

void ApplyArmAngle() {
    const Extended a = K.K_T9_WINKEL;
    const Extended e = PgrsrlRecord.RSL_E;
    if (a == 90) {
        K.K_WKL_VOR = int16_t(e);
    } else {
        const Extended v = -RoundHalfEven((1 / std::cos(a * M_PIl / 180) - 1) * e);
        // Near 90 degrees the height correction has no 16-bit value.
        if (!std::isfinite(double(v)) || v < std::numeric_limits<int16_t>::min() ||
            v > std::numeric_limits<int16_t>::max())
            return Fail(1, MsgArmAngleRange);
        K.K_WKL_VOR = int16_t(v);
    }
    K.K_WKL_SINUS = double(std::sin(a * M_PIl / 180) * e);
    if (a > 4)
        G.InclinedArmFlag = true;
}

void AdjustSegmentForAngle() {
    const Extended a = K.K_T9_WINKEL;
    if (a == 90) {
        K.K_WKL_VOR = int16_t(PgrsrlRecord.RSL_E);
        return;
    }
    const Extended rod = RodLengthAt(1) == RodEmpty ? 0 : RodLengthAt(1);
    int32_t& s = SegmentHeightAt(1);
    s = int32_t(RoundToInt(std::sin((90 - a) * M_PIl / 180) * (s - rod) + rod));
}

bool ReplaceRodMarker(double number, int16_t quantity) {
    for (ChainPart& e : G.ChainPartTable)
        if (e.ProductNumber == RodMarker) {
            e.ProductNumber = number;
            e.Quantity = quantity;
            return true;
        }
    return false;
}

void FinishChain() {
    std::fill(std::begin(K.K_BTL_8), std::end(K.K_BTL_8), 0.0);
    std::fill(std::begin(K.K_ANZ), std::end(K.K_ANZ), int16_t(0));
    int out = 0, r = 0;
    int p = G.ChainEnd;
    const auto copy = [&](const ChainPart& e) {
        if (e.ProductNumber == RodMarker)
            throw EngineStepError(2718);  // a rod nobody fitted: never a product number
        // The support record holds 30 parts; dropping the rest would store
        // an incomplete support. (The parts list's 24 rows are the
        // composition's limit.)
        if (out >= int(std::size(K.K_BTL_8)))
            throw EngineStepError(MsgChainTooLong);
        K.K_BTL_8[out] = e.ProductNumber;
        K.K_ANZ[out] = e.Quantity;
        ++out;
    };
    try {
        for (int i = 1; i <= 40 && ChainPartAt(i).ProductNumber != 0; ++i) {
            if (i > G.ChainEnd)
                break;
            const ChainPart& e = ChainPartAt(i);
            if (e.ProductNumber == SkipMarker)
                continue;
            if (e.ProductNumber < 100) {
                ++r;
                int pieces = 1;
                for (;;) {
                    ++p;
                    if (p > 40 || ChainPartAt(p).ProductNumber == 0)
                        break;
                    copy(ChainPartAt(p));
                    ++pieces;
                    if (RodAt(r).PieceCount >= pieces)
                        continue;
                    if (Letter(5) == 'D' && r == 1) {
                        r = 2;
                        pieces = 1;
                        continue;
                    }
                    break;
                }
                continue;
            }
            copy(e);
        }
        for (++p; p <= 40 && ChainPartAt(p).Quantity != 0; ++p)
            copy(ChainPartAt(p));
    } catch (const EngineStepError& e) {
        Fail(1, int16_t(e.Number()));
    }
}

void InstallComponentSteps(SelectionSteps& steps) {
    steps.ResetStepState = &ResetStepState;
    steps.SelectClamp = [] {
        try {
            SelectClamp();
        } catch (const EngineStepError& e) {
            SetSearchKey(0);
            Fail(1, int16_t(e.Number()));
        }
    };
    steps.SelectComponents = &SelectComponents;
    steps.CheckLoadGroup = &CheckLoadGroup;
}
