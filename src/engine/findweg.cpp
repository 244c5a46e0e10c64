#include "engine/findweg.h"

#include "data/FIRAUFKON.h"
#include "engine/EngineState.h"
#include "localisation/IvDictio.h"
#include "engine/FindHalterung.h"
#include "engine/SelectionUi.h"
#include "data/CblTools.h"

#include <cmath>

namespace {

constexpr char CR = '\r';
TConstructionRecord& K = ConstructionRecord;
TCalcGlobals& G = CalcGlobals;

Extended Trunc(Extended v) { return std::trunc(v); }

// Pascal's Str(x:width:decimals).
QString NumberText(Extended v, int width, int decimals) {
    return FormatFixed(v, decimals).rightJustified(width, QLatin1Char(' '));
}

void Fail(int16_t status, int16_t number) {
    G.TableStatus = status;
    G.MessageNumber = number;
}

// One travel direction of the angle check. False when the engineer chose to
// stop (TableStatus 6).
struct Direction {
    double travel;              // K_WEG_X or K_WEG_Y
    int16_t& halved;            // K_WKL_ZHL_X / _Y
    double& angle;              // HorizontalTravelAngle / LateralTravelAngle
    double& result;             // K_WEG_X_N / K_WEG_Y_N
    double& halvingMark;
    bool& noteShown;
    int questionNumber;         // 1624 / 1623
    QString noteTitle;          // "Weg-Horizontal" / "Weg-Lateral", translated
    QString directionName;      // K_KRZ_BEZ_H / _L
};

bool CheckDirection(Direction d, Extended rodLength) {
    Extended t = d.travel;
    const char l4 = Letter(4);
    for (;;) {
        const Extended a = TravelAngle(t, rodLength);
        d.angle = double(std::fabs(a));
        if ((l4 == 'Y' || l4 == 'F' || l4 == 'G') && std::fabs(a) > 6.0L) {
            Fail(8, 2606);
            break;
        }
        if (std::fabs(a) > Extended(K.K_WINKEL) && d.halved == 0) {
            d.halved = 1;
            t = t * 0.5L;
            continue;
        }
        if (std::fabs(a) > Extended(K.K_WINKEL)) {
            const QString q = QStringLiteral("(") + NumberText(2 * std::fabs(a), 2, 1) + QStringLiteral("°) ") +
                              MessageText(d.questionNumber);
            if (ActiveSelectionUi().WarningYesNo(q)) {
                Fail(6, 1625);
                return false;
            }
        }
        break;
    }
    d.result = double(t);
    if (t != Extended(d.travel)) {
        if (d.halvingMark == 0) {
            d.halvingMark = 1.0;
        } else if (!d.noteShown) {
            ActiveSelectionUi().Information(d.noteTitle + QStringLiteral(" (") +
                                            d.directionName + QStringLiteral(")") + QChar(CR) + MessageText(2614));
            d.noteShown = true;
        }
    }
    return true;
}

void EffectiveTravel() {
    const Extended z = K.K_EINBAU_KZ ? Extended(K.K_WEG_Z) : -Extended(K.K_WEG_Z);
    const Extended hg = K.K_HOEHE_GES;
    const Extended x = K.K_WEG_X_N, y = K.K_WEG_Y_N;
    const Extended s = std::sqrt((hg - z) * (hg - z) + x * x + y * y);
    if (Letter(4) == 'R')
        K.K_WEG_EFF = K.K_WEG_Z;
    else
        K.K_WEG_EFF = double(K.K_EINBAU_KZ ? hg - s : s - hg);
}

}  // namespace

long double TravelAngle(long double t, long double l) {
    const Extended r = t / l;
    const Extended r2 = r * r;
    return (1 + r2 * (0.16667L + r2 * (0.075L + r2 * 0.029762L))) * r * 180 * 0.3183192742320547L;
}

long double RodAngle(long double x, long double y, long double l0) {
    const Extended d = std::sqrt(x * x + y * y + l0 * l0);
    const Extended c = l0 / d;
    return std::atan(std::sqrt(1 - c * c) / c) * 180 * 0.3184713375796178L;
}

void ComputeTotalHeight() {
    G.TableStatus = 0;
    G.SegmentHeights.fill(0);
    K.K_WEG_EFF = 0;
    K.K_WKL_ZHL_X = K.K_WKL_ZHL_Y = 0;
    const int count = K.K_H_ZHL;
    const int n = count <= 0 ? 0 : std::min(count, 6);
    if (n == 0)
        return;
    try {
        Extended h = 0;
        if (!K.K_ST_E_6) {
            const double q[7] = {0, K.K_HM_Q_1, K.K_HM_Q_2, K.K_HM_Q_3, K.K_HM_Q_4, K.K_HM_Q_5, K.K_HM_Q_6};
            const Extended c = G.ConnectionHeightOffset;
            const bool twoTops = Letter(5) == 'D';
            const Extended top = twoTops ? std::max<Extended>(q[1], q[2]) : q[1];
            h = top + c - q[n];
            int i, k;
            if (twoTops) {
                SegmentHeightAt(1) = int32_t(Trunc(q[1] - q[3] + c));
                SegmentHeightAt(2) = int32_t(Trunc(q[2] - q[3] + c));
                i = 3;
                k = 2;
            } else {
                SegmentHeightAt(1) = int32_t(Trunc(q[1] - q[2] + c));
                i = 2;
                k = 1;
            }
            for (;;) {
                ++i;
                if (i > 6 || i > count)
                    break;
                ++k;
                SegmentHeightAt(k) = int32_t(Trunc(Extended(q[k]) - q[i]));
            }
        } else {
            const double d[7] = {0, K.K_HM_D_1, K.K_HM_D_2, K.K_HM_D_3, K.K_HM_D_4, K.K_HM_D_5, K.K_HM_D_6};
            h = d[n];
            SegmentHeightAt(1) = int32_t(Trunc(d[1]));
            int next = 2;
            if (Letter(5) == 'D') {
                SegmentHeightAt(2) = SegmentHeightAt(1);
                next = 3;
            }
            for (int i = 2; i <= 6 && i <= count; ++i) {
                // Five slots: a sixth segment is refused, not written past them.
                if (next > int(G.SegmentHeights.size()))
                    throw EngineStepError(MsgSegmentOverflow);
                SegmentHeightAt(next++) = int32_t(Trunc(Extended(d[i]) - d[i - 1]));
            }
        }
        K.K_HOEHE_GES = double(Trunc(h));
    } catch (const EngineStepError& e) {
        Fail(1, int16_t(e.Number()));
        return;
    }
    const Extended withTravel = K.K_EINBAU_KZ ? Extended(K.K_HOEHE_GES) - K.K_WEG_Z
                                              : Extended(K.K_HOEHE_GES) + K.K_WEG_Z;
    if (withTravel < 0)
        Fail(1, 2615);
}

void CheckTravel() {
    K.K_WEG_EFF = 0;
    K.K_WKL_ZHL_X = K.K_WKL_ZHL_Y = 0;
    if (!G.TravelCheckEnabled) {
        EffectiveTravel();
        return;
    }
    if (Letter(4) == 'Y' && Letter(1) == 'D') {
        K.K_WEG_X_N = std::fabs(K.K_WEG_X);
        K.K_WEG_Y_N = std::fabs(K.K_WEG_Y);
        K.K_WEG_EFF = K.K_WEG_X_N + K.K_WEG_Y_N;
        return;
    }
    if (!K.K_WINKEL_KZ || Letter(4) == 'R') {
        K.K_WEG_X_N = K.K_WEG_X;
        K.K_WEG_Y_N = K.K_WEG_Y;
        EffectiveTravel();
        return;
    }
    const Extended l0 = Extended(K.K_HOEHE_GES) -
                        (Extended(G.ComponentHeightTop) + G.ComponentHeightMiddle + G.ComponentHeightBottom);
    const Extended l = K.K_EINBAU_KZ ? l0 - K.K_WEG_Z : l0 + K.K_WEG_Z;
    G.RodLength = double(l);
    // Both the travel angles (over l) and the rod angle (over l0) divide by
    // a rod length: either being 0 ends the check.
    if (l == 0 || l0 == 0) {
        Fail(6, MsgRodLengthZero);
        return;
    }
    if (!CheckDirection({K.K_WEG_X, K.K_WKL_ZHL_X, G.HorizontalTravelAngle, K.K_WEG_X_N, G.HorizontalHalvingMark,
                         G.HorizontalNoteShown, 1624, IvTranslate(QStringLiteral("Weg-Horizontal")), FieldText(K.K_KRZ_BEZ_H)},
                        l))
        return;
    if (!CheckDirection({K.K_WEG_Y, K.K_WKL_ZHL_Y, G.LateralTravelAngle, K.K_WEG_Y_N, G.LateralHalvingMark,
                         G.LateralNoteShown, 1623, IvTranslate(QStringLiteral("Weg-Lateral")), FieldText(K.K_KRZ_BEZ_L)},
                        l))
        return;
    const Extended b = RodAngle(K.K_WEG_X_N, K.K_WEG_Y_N, l0);
    if (b > Extended(K.K_WINKEL)) {
        const QString q = QStringLiteral("(") + NumberText(b, 3, 1) + QStringLiteral("°) ") +
                          IvTranslate(QStringLiteral("Vertical angle of the hanger rod greater than ")) +
                          FormatNumber(K.K_WINKEL) + QStringLiteral("°");
        if (ActiveSelectionUi().WarningYesNo(q)) {
            Fail(6, 1625);
            return;
        }
    }
    EffectiveTravel();
}
