#include "engine/HZ_HS_TEST.h"

#include "data/FIRAUFKON.h"
#include "data/PGDYNA.h"
#include "data/PGSTAT.h"
#include "engine/EngineState.h"
#include "engine/FINDBTL.h"
#include "engine/FINDBTLChain.h"
#include "engine/FindHalterung.h"
#include "engine/SelectionUi.h"
#include "engine/StepTools.h"
#include "localisation/IvDictio.h"

#include <cmath>

namespace {

TConstructionRecord& K = ConstructionRecord;
TCalcGlobals& G = CalcGlobals;
TPgdynaRecord& D = PgdynaRecord;

void Fail(int16_t status, int16_t number) {
    G.TableStatus = status;
    G.MessageNumber = number;
}

bool Failed() { return G.TableStatus != 0; }

void RangeBox(int metric, std::initializer_list<Extended> lengths) {
    const bool imperial = K.K_EINH_KZ;
    const int number = metric + (imperial ? 1 : 0);
    InformationBox(number, LengthValues(imperial, lengths));
    Fail(6, int16_t(number));
}

bool StartDynamic(int type, int groupFirst) {
    D.DYN_NRN = SearchKeyNumber();
    std::copy_n(G.SearchKey, 8, G.WantedProductNumberText);
    PgdynaStart();
    if (Failed()) {
        Fail(1, 2718);
        return false;
    }
    (void)type;
    (void)groupFirst;
    return true;
}

// Two parts where the first rod marker stood: the chain behind it moves
// down by one place (each moved entry with quantity 1 when asked) and the
// chain end with it. False when the chain holds no marker.
bool EnterTwoAtRodMarker(ChainPart first, ChainPart second, bool movedTakeOne) {
    int j = 0;
    for (int i = 1; i <= 40; ++i)
        if (ChainPartAt(i).ProductNumber == 390) {
            j = i;
            break;
        }
    if (j == 0)
        return false;
    int last = j;
    while (last < 40 && ChainPartAt(last + 1).ProductNumber != 0)
        ++last;
    if (last + 1 > 40)
        throw EngineStepError(MsgChainTooLong);
    for (int i = last; i > j; --i) {
        const ChainPart moved = ChainPartAt(i);
        ChainPartAt(i + 1) = ChainPart{moved.ProductNumber, movedTakeOne ? int16_t(1) : moved.Quantity};
    }
    ChainPartAt(j) = first;
    ChainPartAt(j + 1) = second;
    if (G.ChainEnd >= j)
        ++G.ChainEnd;
    return true;
}

// The stroke unit in place of the rod marker; a unit with an extension
// takes two entries, the chain behind them moves down by one.
void EnterStrokeUnit() {
    const double number = D.DYN_NRN;
    if (DigitsOf(number, 8, 1) == 1) {
        if (!ReplaceRodMarker(number, 1))
            Fail(1, 2718);
        return;
    }
    if (!EnterTwoAtRodMarker(ChainPart{WithDigits(number, 8, 1, 1), 1}, ChainPart{number, 1}, true))
        Fail(1, 2718);
}

}  // namespace

void SelectStrokeUnit() {
    const Extended W = K.K_WR_SB;
    const int g = G.ClampLoadGroup;
    const Extended s = 2 * W + K.K_WEG_EFF;
    int16_t pre = 0;
    if (g < 2 && s > 100)
        pre = 2;
    else if (g == 2 && s > 200)
        pre = 3;
    else if (g == 3 && s > 200)
        pre = 4;
    else if (g > 3 && s > 300)
        pre = 1;
    if (pre != 0)
        return Fail(pre, 2741);
    const int d = ((g <= 3 && K.K_WEG_EFF < 101) || (g > 3 && K.K_WEG_EFF < 151)) ? 2 : 3;
    SetSearchKey(0);
    SetKeyDigits(1, 3, 300);
    SetKeyDigits(4, 2, g);
    SetKeyDigits(6, 1, d);
    if (!StartDynamic(300, g))
        return;
    Extended A = 999999, B = 999999, C = 0, Dm = 0;
    const Extended L = G.CurrentRodLength;
    const Extended xn = K.K_WEG_X_N, yn = K.K_WEG_Y_N;
    bool fit = false;
    for (;;) {
        PgdynaReadNext();
        if (Failed())
            break;
        K.K_ARBWEG = D.DYN_HUB;
        SetSearchKey(int32_t(D.DYN_NRN));
        if (KeyDigits(1, 3) != 300 || KeyDigits(4, 2) != g)
            break;
        const int digit8 = KeyDigits(8, 1);
        if (K.K_SB_OHNE_V && digit8 != 1)
            continue;
        const Extended hub = D.DYN_HUB;
        if (digit8 == 1) {
            A = std::min(A, Extended(TruncToInt(D.DYN_E_MIN + W + yn)));
            C = std::max(C, Extended(TruncToInt(D.DYN_E_MAX - W - xn)));
            if (TruncToInt(xn + yn + 2 * W) <= hub && TruncToInt(W + L + xn) <= D.DYN_E_MAX &&
                TruncToInt(L - W - yn) >= D.DYN_E_MIN) {
                K.K_RESTLAENGE_1 = double(L);
                K.K_RESTLAENGE_2 = 0;
                K.K_BLOCKIER = int16_t(TruncToInt(L - D.DYN_E_MIN));
                fit = true;
                break;
            }
            continue;
        }
        const Extended lo = D.DYN_E_MIN - 0.5L * hub + W;
        const Extended hi = D.DYN_E_MAX + 0.5L * hub - W;
        if (digit8 == 2)
            B = std::min(B, yn == 0 ? lo : D.DYN_E_MIN - 0.5L * hub + W + yn);
        if (digit8 == 3 || digit8 == 4)
            Dm = std::max(Dm, xn == 0 ? hi : D.DYN_E_MAX + 0.5L * hub - W - xn);
        if (xn + yn + 2 * W > hub || L < lo || L > hi)
            continue;
        const Extended m1 = D.DYN_E_MIN - D.DYN_M_MIN, m2 = D.DYN_E_MAX - D.DYN_M_MIN;
        const Extended half = RoundHalfEven(0.5L * (hub - xn - yn - 2 * W));
        Extended r;
        if (yn == 0)
            r = L - D.DYN_M_MIN + 0.5L * xn;
        else if (xn == 0)
            r = L - D.DYN_M_MIN - 0.5L * yn;
        else
            r = L - D.DYN_M_MIN + 0.5L * hub - W - half - yn;
        r = TruncToInt(r);
        if (r <= m1)
            r += half;
        if (r >= m2)
            r -= half;
        if (r < m1 || r > m2)
            continue;
        K.K_RESTLAENGE_2 = double(r);
        K.K_RESTLAENGE_1 = double(L - r);
        K.K_BLOCKIER = int16_t(TruncToInt(0.5L * hub) - (D.DYN_M_MIN - K.K_RESTLAENGE_1));
        fit = true;
        break;
    }
    if (!fit) {
        return RangeBox(2742, {std::min(A, B) + G.ChainHeight, std::max(C, Dm) + G.ChainHeight});
    }
    G.TableStatus = 0;
    K.K_RES_ACTUAL_S_TOP = int16_t(TruncToInt(D.DYN_HUB - (K.K_BLOCKIER + xn)));
    K.K_RES_ACTUAL_S_BUT = int16_t(TruncToInt(K.K_BLOCKIER - yn));
    G.MainUnitNumber = D.DYN_NRN;
    EnterStrokeUnit();
}

void FitMainUnitHeight() {
    Extended H = G.RunningHeight;
    const Extended S = SegmentHeightAt(1);
    const Extended T = H;
    const int mainType = DigitsOf(G.MainUnitNumber, 1, 3);
    if (mainType < 200) {
        H -= 2 * Extended(K.K_BLOCKIER);
        const Extended U = H + 200;
        if (H > S || U < S)
            return RangeBox(2748, {H, U});
        return;
    }
    PgstatRecord.STA_NRN = G.MainUnitNumber;
    PgstatRead();
    if (Failed())
        return Fail(1, 2718);
    const auto limitBox = [&] {
        if (T > S)
            return RangeBox(2750, {T});
        RangeBox(2748, {T, H});
    };
    if (H > S)
        return RangeBox(2750, {T});
    if (H + PgstatRecord.STA_X >= S) {
        K.K_RESTLAENGE_2 = double(S - H);
        if (K.K_RESTLAENGE_2 > 0)
            G.MessageNumber = 2747;
        return;
    }
    H -= PgstatRecord.STA_E;
    SetSearchKey(int32_t(WithDigits(WithDigits(G.MainUnitNumber, 3, 1, 9), 6, 1, 9)));
    PgstatRecord.STA_NRN = SearchKeyNumber();
    PgstatRead();
    if (Failed()) {
        G.TableStatus = 0;
        return limitBox();
    }
    H += Extended(PgstatRecord.STA_E) + PgstatRecord.STA_BREITE;
    Extended L;
    if (H >= S) {
        H = H - PgstatRecord.STA_BREITE + PgstatRecord.STA_BREITE_M;
        if (H > S)
            G.MessageNumber = 2746;
        H -= PgstatRecord.STA_BREITE_M;
        L = S - H;
    } else {
        if (H + PgstatRecord.STA_X < S)
            return limitBox();
        K.K_RESTLAENGE_2 = double(S - H);
        L = PgstatRecord.STA_BREITE;
        G.MessageNumber = 2747;
    }
    K.K_RESTLAENGE_1 = double(L);
    // The long variant stands third; every part from there moves down one
    // place, so a longer chain loses no part.
    int last = 2;
    while (last < 40 && ChainPartAt(last + 1).ProductNumber != 0)
        ++last;
    if (last >= 40)
        throw EngineStepError(MsgChainTooLong);
    for (int i = last; i >= 3; --i)
        ChainPartAt(i + 1) = ChainPartAt(i);
    ChainPartAt(3) = ChainPart{PgstatRecord.STA_NRN, 1};
    if (G.ChainEnd >= 3)
        ++G.ChainEnd;
    K.K_VORKOS_KZ = G.VorkosFlag;
}

void SelectStrut() {
    const Extended L = G.CurrentRodLength;
    const Extended R = K.K_WR_GS;
    const int64_t lower = TruncToInt(L - R), upper = TruncToInt(L + R);
    SetSearchKey(0);
    SetKeyDigits(1, 2, 39);
    SetKeyDigits(3, 2, G.ClampLoadGroup);
    if (!StartDynamic(39, G.ClampLoadGroup))
        return;
    for (;;) {
        PgdynaReadNext();
        if (Failed() || DigitsOf(D.DYN_NRN, 1, 2) != 39) {
            G.TableStatus = 9;
            return;
        }
        if (DigitsOf(D.DYN_NRN, 3, 2) != G.ClampLoadGroup) {
            if (lower < G.StrutRangeMin) {
                G.TableStatus = 3;
            } else {
                ++G.ClampLoadGroup;
                G.TableStatus = 2;
            }
            return;
        }
        G.StrutRangeMin = std::min<int32_t>(G.StrutRangeMin, int32_t(TruncToInt(D.DYN_E_MIN + R)));
        G.StrutRangeMax = std::max<int32_t>(G.StrutRangeMax, int32_t(TruncToInt(D.DYN_E_MAX - R)));
        if (lower < D.DYN_E_MIN || upper > D.DYN_E_MAX)
            continue;
        if (D.DYN_LAMBDA != 150) {
            const Extended p = D.DYN_PARA_B - D.DYN_PARA_A * L;
            if (p < K.K_LAST || p < K.K_LAST_DYN_2 || p < K.K_LAST_DYN_3)
                continue;
        }
        break;
    }
    G.TableStatus = 0;
    if (!ReplaceRodMarker(D.DYN_NRN, Letter(5) == 'D' ? 2 : 1))
        return Fail(1, 2718);
    G.MainUnitNumber = D.DYN_NRN;
    K.K_RESTLAENGE_1 = double(L);
    K.K_RES_ACTUAL_S_BUT = int16_t(TruncToInt(D.DYN_E_MAX - L));
    K.K_RES_ACTUAL_S_TOP = int16_t(TruncToInt(D.DYN_E_MIN - L));
}

void SelectAdjustableUnit() {
    SetSearchKey(0);
    SetKeyDigits(1, 3, 320);
    SetKeyDigits(4, 2, G.ClampLoadGroup);
    if (!StartDynamic(320, G.ClampLoadGroup))
        return;
    PgdynaReadNext();
    if (Failed() || DigitsOf(D.DYN_NRN, 1, 3) != 320 || DigitsOf(D.DYN_NRN, 4, 2) != G.ClampLoadGroup)
        return Fail(1, 2770);
    if (2 * 0.1L * D.DYN_M_MIN < K.K_WEG_X_N || 2 * 0.1L * D.DYN_M_MAX < K.K_WEG_Y_N) {
        const bool imperial = K.K_EINH_KZ;
        const Extended travel = 0.2L * D.DYN_M_MAX;
        InformationBox(imperial ? 2757 : 2756, imperial ? LengthValues(true, {travel}) : QVariantList{double(travel)});
        return Fail(6, imperial ? 2757 : 2756);
    }
    const Extended base = K.K_WEG_X_N - 0.1L * D.DYN_M_MAX + D.DYN_E;
    const int64_t lo = TruncToInt(base - D.DYN_VERST), hi = TruncToInt(base + D.DYN_VERST);
    const Extended L = G.CurrentRodLength;
    if (L < lo || L > hi)
        return RangeBox(2754, {Extended(lo) + G.ChainHeight, Extended(hi) + G.ChainHeight});
    G.TableStatus = 0;
    if (!ReplaceRodMarker(D.DYN_NRN, 1))
        return Fail(1, 2718);
    G.MainUnitNumber = D.DYN_NRN;
    K.K_RESTLAENGE_1 = double(L);
}

namespace {
constexpr Extended SpringCheckTravelLimit = 25;

// The spring part of a type in the main unit's load group; false when the
// lookup ended the check (status 6 as the lookup left it, else 2718).
bool FindSpringOfMainGroup(int type) {
    SetSearchKey(0);
    SetKeyDigits(1, 3, type);
    SetKeyDigits(4, 2, G.MainUnitLoadGroup);
    FindStaticProduct();
    if (G.TableStatus == 6)
        return false;
    if (Failed()) {
        Fail(1, 2718);
        return false;
    }
    return true;
}
}  // namespace

void CheckSpringHanger() {
    K.K_LAST_BLOK = K.K_LAST;
    if (!FindSpringOfMainGroup(K.K_ZUG_DRUCK_KZ ? 279 : 272))
        return;
    const Extended c = Extended(PgstatRecord.STA_BTL_ZUS.trimmed().toLongLong()) * 0.1L;
    const Extended F = Extended(K.K_LAST) * 1000;
    const Extended s = K.K_WEG_EFF > 0 ? -Extended(K.K_WEG_EFF) : Extended(K.K_WEG_EFF);
    // This spring takes at most 25 mm either way: the travel's sign only
    // says which way the pipe moves.
    if (std::fabs(Extended(K.K_WEG_EFF)) > SpringCheckTravelLimit) {
        InformationBox(2631, {double(std::fabs(Extended(K.K_WEG_EFF)))});
        return Fail(1, 2637);
    }
    Extended v;
    if (K.K_KALWAR_KZ) {
        const Extended F1 = F, F2 = F - c * s;
        if (F2 == 0)
            return Fail(1, MsgLoadVariationUndefined);
        K.K_LAST_BLOK = double(F1 * 0.001L);
        K.K_LAST_AUSG = double(F2 * 0.001L);
        v = (F1 - F2) / F2 * 100;
        K.K_LAST_BERW = double(F2 * 0.001L);
    } else {
        const Extended F2 = F, F1 = F + c * s;
        if (F == 0)
            return Fail(1, MsgLoadVariationUndefined);
        K.K_LAST_BLOK = K.K_LAST_AUSG = double(F1 * 0.001L);
        v = (F1 - F2) / F * 100;
        K.K_LAST_BERW = double(F * 0.001L);
    }
    K.K_FDIFF_EFF = int16_t(RoundToInt(std::fabs(v)));
    // Shown on every check of a run, the first one included.
    if (K.K_FDIFF_EFF > K.K_FDIFF) {
        ActiveSelectionUi().Information(IvTranslate(QStringLiteral("Zulässige Kraftdifferenz bei Federhängern")) +
                                        FormatMessage(QStringLiteral(" > = %d %%"), {int(K.K_FDIFF)}));
        G.MessageNumber = 0;
    }
    const Extended L = G.CurrentRodLength;
    if (!K.K_ZUG_DRUCK_KZ) {
        if (PgstatRecord.STA_E != RodLengthAt(1)) {
            const double height = double(Extended(G.ChainHeight) + PgstatRecord.STA_E);
            // The engineer entered these heights: a box says what they
            // became. The passes after the first find them set already.
            if (K.K_HM_D_1 != height || K.K_HOEHE_GES != height) {
                K.K_HM_D_1 = height;
                K.K_HOEHE_GES = height;
                const bool imperial = K.K_EINH_KZ;
                InformationBox(imperial ? MsgSpringHeightsImperial : MsgSpringHeights,
                               LengthValues(imperial, {height, height}));
            }
        }
    } else {
        const Extended lo = Extended(PgstatRecord.STA_E) + PgstatRecord.STA_BREITE_M;
        const Extended hi = Extended(PgstatRecord.STA_E) + PgstatRecord.STA_BREITE;
        if (L < lo || L > hi)
            return RangeBox(2638, {lo + G.ChainHeight, hi + G.ChainHeight});
        // The pushing unit takes the rod's place with the rest length; the
        // spring of its load group (type 272, whose rate the parts list
        // reports) stands right behind it. The rest length is kept only
        // once both stand, so a refused spring leaves the record as it was.
        const double rest = double(L - PgstatRecord.STA_E);
        const ChainPart unit{PgstatRecord.STA_NRN, 1};
        if (!FindSpringOfMainGroup(272))
            return;
        if (!EnterTwoAtRodMarker(unit, ChainPart{PgstatRecord.STA_NRN, 1}, false))
            return Fail(1, 2718);
        K.K_RESTLAENGE_1 = rest;
        G.TableStatus = 0;
        K.K_VORKOS_KZ = G.VorkosFlag;
        return;
    }
    G.TableStatus = 0;
    if (!ReplaceRodMarker(PgstatRecord.STA_NRN, 1))
        return Fail(1, 2718);
    K.K_VORKOS_KZ = G.VorkosFlag;
}
