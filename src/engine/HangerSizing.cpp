#include "engine/HangerSizing.h"

#include "data/ABHGNR.h"
#include "data/FIRAUFKON.h"
#include "data/PGSTAT.h"
#include "data/TXTTAB.h"
#include "engine/EngineState.h"
#include "engine/FINDHLG.h"

#include <cmath>

namespace {

TConstructionRecord& K = ConstructionRecord;
TCalcGlobals& G = CalcGlobals;

Extended Trunc(Extended v) { return std::trunc(v); }

void Fail(int16_t number) {
    G.TableStatus = 1;
    G.MessageNumber = number;
}

QString Digits(int32_t number) { return QString::number(number).rightJustified(8, QLatin1Char('0')); }

int32_t FromDigits(const QString& digits) { return digits.toInt(); }

// Reads the static product row of a number; the status is cleared again,
// the caller decides what a missing row means.
bool ReadProduct(int32_t number) {
    PgstatRecord.STA_NRN = number;
    PgstatRead();
    const bool found = G.TableStatus == 0;
    G.TableStatus = 0;
    return found;
}

bool ReadTextRow(const char* kind, int number) {
    SetTextKind(kind);
    TextRecord.TXT_NR = int16_t(number);
    TxttabRead();
    const bool found = G.TableStatus == 0;
    G.TableStatus = 0;
    return found;
}

void UseNumber(int32_t number) {
    G.MainUnitNumber = number;
    PgstatRecord.STA_NRN = number;
    SetSearchKey(number);
}

// ---- constant hangers -------------------------------------------------

// Nominal travel and half capacity of the constant hanger chosen last, for
// the blocking position of the finish.
Extended g_nominalTravel = 0;
Extended g_halfCapacity = 0;

Extended NominalTravel(int k) { return 150.0L * (k - 1); }

struct ConstantFit {
    Extended low, up;  // working travels at Llow and Lup
};

// The working travels of a range at the two reserve loads reach Wn.
bool RangeReaches(Extended llow, Extended lup, Extended cmax, Extended t, Extended wn, ConstantFit& fit) {
    fit.low = ConstantWorkingTravel(llow, cmax, t);
    if (fit.low < wn)
        return false;
    fit.up = ConstantWorkingTravel(lup, cmax, t);
    return fit.up >= wn;
}

// ---- spring hangers ---------------------------------------------------

struct SpringFactors {
    Extended f, k;
};

SpringFactors FactorsOf(int size) {
    if (size == 9)
        return {1.1904L, 0.2L};
    if (size == 10)
        return {1.25L, 0.25L};
    return {1.5L, 0.5L};
}

// The loads of one range of a spring: rate c (N/mm), range s (mm).
struct SpringLoads {
    Extended reserve = 0;
    Extended l2 = 0, b = 0, o = 0, hi = 0, lo = 0, q = 0;
    Extended down = 0, up = 0;
    // A spring whose reference operating load is 0 or below carries no
    // load there: the range does not fit, whatever the variation would say.
    bool referenceCarries() const { return q > 0; }
    Extended variation() const {
        // Only the pre-selected check, whose loads lie within the spring's
        // range, gets here without the test above; it refuses rather than
        // dividing by 0.
        if (!referenceCarries())
            throw EngineStepError(MsgLoadVariationUndefined);
        return (hi - lo) / q * 100;
    }
};

bool Doubling() { return AreaLetter() == 'I' && (Letter(5) == 'D' || Letter(5) == 'T'); }

SpringLoads LoadsFor(Extended capacity, Extended s, Extended c) {
    SpringLoads r;
    const Extended l = Extended(G.DesignLoad) * 1000;
    const Extended e = K.K_WEG_EFF;
    const Extended t = std::fabs(e);
    r.reserve = std::max({Extended(K.K_WR_FH) * 0.01L * c * t, Extended(K.K_WR_FH_MM) * c,
                          Extended(K.K_LR_FH) * 0.01L * capacity});
    const bool plus = (K.K_KALWAR_KZ && e < 0) || (!K.K_KALWAR_KZ && e >= 0);
    r.l2 = plus ? l + c * t : l - c * t;
    r.b = K.K_KALWAR_KZ ? l : r.l2;
    r.o = K.K_KALWAR_KZ ? r.l2 : l;
    r.hi = std::max(l, r.l2);
    r.lo = std::min(l, r.l2);
    r.q = K.K_KALWAR_KZ ? r.l2 : l;
    const Extended twice = Doubling() ? 2 : 1;
    K.K_LAST_AUSG = double(0.001L * r.l2 * twice);
    K.K_LAST_BLOK = double(0.001L * r.b);
    r.down = capacity - s * c + r.reserve;
    r.up = capacity - r.reserve;
    return r;
}

void SetReferenceLoad(const SpringLoads& r) {
    const Extended twice = Doubling() ? 2 : 1;
    K.K_LAST_BERW = double(0.001L * r.q * twice);
}

Extended SpringPosition(Extended x, Extended s, Extended capacity, const SpringFactors& fk) {
    return Trunc(s * x * fk.f / capacity - s * fk.k);
}

// The blocking position by the second formula.
Extended SecondBlockingPosition(int size, int i, Extended s, Extended b, Extended capacity) {
    if (size < 11)
        return s == 200 ? Trunc(s * b * 1.3L / capacity - 60) : Trunc(s * b * 1.3L / capacity - 15 * i);
    return Trunc(s * b * 1.5L / capacity - 0.5L * s);
}

void SpringReserves(Extended o, Extended s, Extended capacity, const SpringFactors& fk) {
    const Extended po = SpringPosition(o, s, capacity, fk);
    const Extended blocking = K.K_BLOCKIER;
    K.K_RES_ACTUAL_S_BUT = int16_t(std::min(blocking, po));
    K.K_RES_ACTUAL_S_TOP = int16_t(s - std::max(blocking, po));
}

void SetSpringRate(Extended c) { K.K_FDR_RATE = double(AreaLetter() == 'I' ? 2 * c : c); }

void TakeSpring(int size, int i, Extended s, Extended c) {
    UseNumber(SpringHangerNumber(size, i));
    G.MainUnitLoadGroup = int16_t(size);
    G.MainUnitRangeIndex = int16_t(i);
    K.K_ARBWEG = int16_t(s);
    SetSpringRate(c);
}

// The next range index, s doubling; 300 and 400 mm for index 4 and 5.
Extended NextRange(int i, Extended s) {
    if (i == 4)
        return 300;
    if (i == 5)
        return 400;
    return 2 * s;
}

bool RangeOutOfBounds(int size, int i) {
    const char l4 = Letter(4), l5 = Letter(5), l7 = Letter(7);
    if (i > 3 && !K.K_WEG_KZ)
        return true;
    if (l4 == 'F' && (i > 2 || size == 9))
        return true;
    if (l7 == 'A' && (i > 3 || size == 9))
        return true;
    if (l4 == 'R' && (((size >= 10 && size <= 12) && i > 3) || (size > 19 && i > 3) ||
                      (size >= 13 && size <= 19 && i > 4) || (size == 9 && i > 2)))
        return true;
    if (((l5 == 'D' && l7 == 'D') || (l5 == 'T' && l7 == 'F')) && (i > 3 || size < 10))
        return true;
    if (size == 9 && i > 2)
        return true;
    if ((size == 10 || size == 11 || size == 12 || size > 19) && i > 3)
        return true;
    if ((size == 13 || size == 14) && i > 4)
        return true;
    if (size >= 15 && size <= 19 && i > 5)
        return true;
    // A spring has five ranges; a size without a limit of its own (below 9)
    // would otherwise go on doubling the range for ever.
    if (i > 5)
        return true;
    return false;
}

int LastRange(int size) { return size >= 13 && size <= 19 ? 5 : 3; }

// A spring one size larger with a shorter range replaces the choice when
// it fits.
void SpringNeighbour(int size, int chosenIndex) {
    const int next = size + 1;
    if (!ReadTextRow("LGH", next))
        return;
    const double ausg = K.K_LAST_AUSG, blok = K.K_LAST_BLOK, berw = K.K_LAST_BERW;
    const Extended capacity = Extended(TextRecord.TXT_NUM) * 1000;
    const SpringFactors fk = FactorsOf(next);
    Extended s = 50;
    for (int i = 1;; ++i) {
        if (i > 1)
            s = NextRange(i, s);
        if (i >= chosenIndex) {
            K.K_LAST_AUSG = ausg;
            K.K_LAST_BLOK = blok;
            K.K_LAST_BERW = berw;
            return;
        }
        const Extended c = next == 10 ? capacity / s * 0.8L : capacity / s * 2 / 3;
        const SpringLoads r = LoadsFor(capacity, s, c);
        if (r.hi < 40.0L || r.hi > r.up || r.lo < r.down)
            continue;
        SetReferenceLoad(r);
        if (!r.referenceCarries() || r.variation() > K.K_FDIFF)
            continue;
        const Extended v = r.variation();
        K.K_FDIFF_EFF = int16_t(RoundHalfEven(v));
        K.K_BLOCKIER = int16_t(SecondBlockingPosition(next, i, s, r.b, capacity));
        TakeSpring(next, i, s, c);
        SpringReserves(r.o, s, capacity, fk);
        return;
    }
}

enum class SpringOutcome { Chosen, Constant, Failed };

SpringOutcome SizeSpring() {
    const Extended e = K.K_WEG_EFF;
    const Extended t = std::fabs(e);
    if (t > K.K_BEWEGBER) {
        G.MessageNumber = 5171;
        return SpringOutcome::Constant;
    }
    if (G.DeadWeightPassDone && G.ConstantHangerChosen)
        return SpringOutcome::Constant;
    SetTextKind("LGH");
    TextRecord.TXT_NUM = G.DesignLoad;
    TxttabStart1();
    if (G.TableStatus != 0) {
        Fail(2172);
        return SpringOutcome::Failed;
    }
    for (int rows = 1;; ++rows) {
        TxttabReadNext1();
        if (rows == 3)
            return SpringOutcome::Constant;
        if (G.TableStatus == 6)
            return SpringOutcome::Constant;
        if (G.TableStatus != 0) {
            Fail(2173);
            return SpringOutcome::Failed;
        }
        const int size = TextRecord.TXT_NR;
        const Extended capacity = Extended(TextRecord.TXT_NUM) * 1000;
        const SpringFactors fk = FactorsOf(size);
        int i = 0;
        Extended s = 25;
        if (size < 11 || Letter(4) == 'F') {
            i = 1;
            s = 50;
        }
        if (Letter(4) == 'R' && size == 10) {
            i = 0;
            s = 25;
        }
        for (;;) {
            ++i;
            if (RangeOutOfBounds(size, i))
                break;
            s = NextRange(i, s);
            const Extended c = capacity / s / fk.f;
            const SpringLoads r = LoadsFor(capacity, s, c);
            if (r.hi < 40.0L) {
                Fail(2711);
                return SpringOutcome::Failed;
            }
            if (r.hi > r.up)
                continue;
            if (!(size == 9 && !G.DeadWeightPassDone) && r.lo < r.down) {
                if (i == LastRange(size))
                    return SpringOutcome::Constant;
                continue;
            }
            SetReferenceLoad(r);
            if (!r.referenceCarries() || r.variation() > K.K_FDIFF) {
                if (i == LastRange(size))
                    return SpringOutcome::Constant;
                continue;
            }
            const Extended v = r.variation();
            K.K_FDIFF_EFF = int16_t(RoundHalfEven(v));
            K.K_BLOCKIER = int16_t(SpringPosition(r.b, s, capacity, fk));
            SpringReserves(r.o, s, capacity, fk);
            TakeSpring(size, i, s, c);
            const bool keep = i == 1 || Letter(4) == 'F' || SearchKeyText() == QLatin1String("21009218") ||
                              (Letter(5) == 'D' && Letter(7) == 'D' && size > 18);
            if (!keep)
                SpringNeighbour(size, i);
            G.TableStatus = 0;
            return SpringOutcome::Chosen;
        }
    }
}

}  // namespace

long double ConstantWorkingTravel(long double x, long double cmax, long double t) {
    if (x > 0.5L * cmax)
        return Trunc((x / cmax + 0.5L) * t);
    return Trunc((1.5L - x / cmax) * t);
}

int32_t SpringHangerNumber(int size, int rangeIndex) {
    QByteArray d("21000000");
    const char l4 = Letter(4), l7 = Letter(7);
    if (l7 == 'A') {
        d[1] = '5';
        if (K.K_AUFLAGER_KZ && size < 20) {
            d[1] = '5';
            d[2] = '4';
        }
    }
    if (l4 == 'R')
        d[1] = '9';
    if (l4 == 'F') {
        d[1] = '0';
        d[2] = '2';
    }
    const QByteArray sz = QByteArray::number(size).rightJustified(2, '0').right(2);
    d[3] = sz[0];
    d[4] = sz[1];
    d[5] = char('0' + rangeIndex % 10);
    d[6] = '1';
    d[7] = l4 == 'F' ? '3' : '8';
    return d.toInt();
}

int32_t ConstantHangerNumber(int size, int rangeIndex) {
    const char l4 = Letter(4), l7 = Letter(7);
    const char* head = "110";
    char seventh = '1';
    if (l7 == 'A' && K.K_AUFLAGER_KZ) {
        head = "715";
        seventh = '6';
    } else if (l7 == 'A') {
        head = "114";
    } else if (l4 == 'R') {
        head = "161";
    } else if (l4 == 'F') {
        head = "162";
        seventh = '2';
    }
    QByteArray d(head);
    d += QByteArray::number(size).rightJustified(2, '0').right(2);
    d += char('0' + rangeIndex % 10);
    d += seventh;
    d += '5';
    return d.toInt();
}

int32_t ConstantPricingNumber(int32_t number) {
    if (number < 30000000)
        return number;
    QString d = Digits(number);
    d[0] = QLatin1Char('1');
    d[2] = QLatin1Char('0');
    d[6] = QLatin1Char('1');
    return FromDigits(d);
}

void ConstantHangerSizing() {
    G.ConstantHangerChosen = true;
    SetTextKind("LGK");
    K.K_LAST_AUSG = 0;
    K.K_LAST_BERW = 0;
    const Extended l = Extended(G.DesignLoad) * 1000;
    const Extended t = std::fabs(Extended(K.K_WEG_EFF));
    const Extended lup = l + Extended(K.K_LR_KH) * 0.01L * l;
    const Extended llow = l - Extended(K.K_LR_KH) * 0.01L * l;
    if (llow < 130.0L)
        return Fail(2712);
    Extended wn = Trunc(Extended(K.K_WR_KH) * 0.01L * t);
    if (K.K_WR_KH_MM > wn)
        wn = K.K_WR_KH_MM;
    wn = Trunc(wn + t);
    if (wn > 899)
        return Fail(2720);

    TextRecord.TXT_NUM = G.DesignLoad;
    TxttabStart1();
    if (G.TableStatus != 0)
        return Fail(2172);
    const char l4 = Letter(4);
    const bool special = (Letter(5) == 'D' && Letter(7) == 'D') || (Letter(5) == 'T' && Letter(7) == 'F');
    int size = 0, k = 0;
    Extended capacity = 0;
    ConstantFit fit{};
    for (bool found = false; !found;) {
        TxttabReadNext1();
        if (G.TableStatus != 0)
            return Fail(2173);
        size = TextRecord.TXT_NR;
        capacity = Extended(TextRecord.TXT_NUM) * 1000;
        if (size < 10 && !(l4 == 'A' && !special))
            continue;
        Extended cmin = 0.4L * capacity;
        if (l4 == 'A' && special && size == 10 && !G.DeadWeightPassDone)
            cmin = 252 - (0.065L * Extended(K.K_BREITE) + 230) * 0.5L;
        if (llow < cmin || lup > capacity)
            continue;
        for (k = 2; k <= 7; ++k) {
            if (size < 10 && (k == 2 || k > 3))
                continue;
            if (size == 10 && k > 3)
                continue;
            if (size >= 11 && size <= 15 && k > 5)
                continue;
            if (l4 != 'A' && k > 3)
                break;
            if (!RangeReaches(llow, lup, capacity, NominalTravel(k), wn, fit))
                continue;
            found = true;
            break;
        }
    }
    const Extended travelAtLoad = ConstantWorkingTravel(l, capacity, NominalTravel(k));
    K.K_ARBWEG_EFF = int16_t(std::min(fit.low, fit.up));
    K.K_ARBWEG = int16_t(travelAtLoad);
    const int32_t number = ConstantHangerNumber(size, k);
    UseNumber(number);
    G.MainUnitLoadGroup = int16_t(size);
    G.MainUnitRangeIndex = int16_t(k);
    g_halfCapacity = 0.5L * Extended(TextRecord.TXT_NUM);
    g_nominalTravel = NominalTravel(k);
    K.K_FDR_RATE = 0;

    const bool skipNeighbour = ((l4 == 'F' || l4 == 'R') && size > 18) ||
                               (Letter(5) == 'D' && Letter(7) == 'D' && size > 18);
    if (skipNeighbour || !ReadProduct(ConstantPricingNumber(number)))
        return;
    const auto priceOf = [] { return K.K_KERNTECH ? PgstatRecord.ArticlePriceK : PgstatRecord.ArticlePrice; };
    const double price = priceOf();
    const auto keepFirst = [&] {
        UseNumber(number);
        K.K_ARBWEG = int16_t(travelAtLoad);
        K.K_ARBWEG_EFF = int16_t(std::min(fit.low, fit.up));
        g_nominalTravel = NominalTravel(k);
    };
    if (!ReadTextRow("LGK", size + 1))
        return keepFirst();
    const Extended nextCapacity = Extended(TextRecord.TXT_NUM) * 1000;
    if (0.4L * nextCapacity > llow)
        return keepFirst();
    ConstantFit nextFit{};
    int k2 = 2;
    for (; k2 < k; ++k2)
        if (RangeReaches(llow, lup, nextCapacity, NominalTravel(k2), wn, nextFit))
            break;
    if (k2 >= k)
        return keepFirst();
    const int32_t nextNumber = ConstantHangerNumber(size + 1, k2);
    if (!ReadProduct(ConstantPricingNumber(nextNumber)))
        return keepFirst();
    if (!(priceOf() < price))
        return keepFirst();
    UseNumber(nextNumber);
    G.MainUnitLoadGroup = int16_t(size + 1);
    G.MainUnitRangeIndex = int16_t(k2);
    g_halfCapacity = 0.5L * Extended(TextRecord.TXT_NUM);
    g_nominalTravel = NominalTravel(k2);
    K.K_ARBWEG = int16_t(ConstantWorkingTravel(l, nextCapacity, g_nominalTravel));
    K.K_ARBWEG_EFF = int16_t(std::min(nextFit.low, nextFit.up));
    K.K_FDR_RATE = 0;
}

void PreselectedConstantCheck() {
    const int size = SearchKeyDigit(4) * 10 + SearchKeyDigit(5);
    if (!ReadTextRow("LGK", size))
        return Fail(2714);
    const Extended l = Extended(G.DesignLoad) * 1000;
    const Extended t = std::fabs(Extended(K.K_WEG_EFF));
    const Extended cmax = Extended(TextRecord.TXT_NUM) * 1000;
    if (l > cmax || l < 0.4L * cmax)
        return Fail(2815);
    const int k = SearchKeyDigit(6);
    // A range digit outside 2..7 names no nominal travel.
    if (k < 2 || k > 7)
        return Fail(MsgPreselectedRangeDigit);
    const Extended w = ConstantWorkingTravel(l, cmax, NominalTravel(k));
    if (w < t)
        return Fail(2816);
    K.K_ARBWEG_EFF = int16_t(w);
    K.K_ARBWEG = int16_t(w);
    UseNumber(ConstantHangerNumber(size, k));
    G.MainUnitLoadGroup = int16_t(size);
    G.MainUnitRangeIndex = int16_t(k);
    g_halfCapacity = 0.5L * Extended(TextRecord.TXT_NUM);
    g_nominalTravel = NominalTravel(k);
    K.K_FDR_RATE = 0;
}

void ConstantBlockingPosition() {
    const Extended a = K.K_ARBWEG;
    const Extended d = G.DesignLoad;
    const Extended t = g_nominalTravel;
    const Extended h = g_halfCapacity;
    const Extended e = K.K_WEG_EFF;
    Extended blocking, top, bottom;
    if (h > d) {
        blocking = Trunc(t - (a - e) * 0.5L);
        if (e < 0) {
            top = blocking - (t - a);
            bottom = Trunc((a - top) + e);
        } else {
            top = Trunc((a - e) * 0.5L);
            bottom = t - blocking;
        }
    } else {
        blocking = Trunc((a + e) * 0.5L);
        if (e < 0) {
            top = Trunc((a + e) * 0.5L);
            bottom = Trunc((a - blocking) + e);
        } else {
            top = Trunc((a - e) * 0.5L);
            bottom = a - blocking;
        }
    }
    K.K_BLOCKIER = int16_t(blocking);
    K.K_RES_ACTUAL_S_TOP = int16_t(top);
    K.K_RES_ACTUAL_S_BUT = int16_t(bottom);
    K.K_LAST_BLOK = double(d);
    G.BlockingSizingLoad = double(d);
    G.BlockingHalfCapacity = double(h);
    G.BlockingNominalTravel = double(t);
    G.BlockingWorkingTravel = double(a);
}

void SpringHangerSizing() {
    SpringOutcome outcome;
    try {
        outcome = SizeSpring();
    } catch (const EngineStepError& e) {
        return Fail(int16_t(e.Number()));
    }
    if (outcome == SpringOutcome::Constant) {
        // The note 5171 stays beside a successful constant hanger.
        const int16_t note = G.MessageNumber;
        G.TableStatus = 0;
        ConstantHangerSizing();
        if (G.TableStatus == 0)
            G.MessageNumber = note;
    }
}

void PreselectedSpringCheck() {
    try {
        SetTextKind("LGH");
        const int size = SearchKeyDigit(4) * 10 + SearchKeyDigit(5);
        if (!ReadTextRow("LGH", size))
            return Fail(2714);
        const Extended capacity = Extended(TextRecord.TXT_NUM) * 1000;
        const Extended low = size == 9 ? capacity * 0.16L : size == 10 ? capacity * 0.23L : capacity / 3;
        const Extended l = Extended(G.DesignLoad) * 1000;
        if (l > capacity || l < low)
            return Fail(2814);
        const int digit = SearchKeyDigit(6);
        const Extended s = digit == 1 ? 50 : digit == 2 ? 100 : digit == 3 ? 200 : digit == 4 ? 300 : 400;
        int i = digit;
        K.K_ARBWEG = int16_t(s);
        const Extended c = size == 9    ? capacity / s * 0.8400537634408602L
                           : size == 10 ? capacity / s * 0.8L
                                        : capacity / s * 2 / 3;
        const SpringLoads r = LoadsFor(capacity, s, c);
        if (r.hi > capacity || r.lo < low)
            return Fail(2814);
        SetReferenceLoad(r);
        K.K_FDIFF_EFF = int16_t(RoundHalfEven(r.variation()));
        K.K_LR_VGB = int16_t(Trunc(100 - r.hi * 100 / capacity));
        K.K_WR_VGB = 0;
        K.K_BLOCKIER = int16_t(SecondBlockingPosition(size, i, s, r.b, capacity));
        SpringReserves(r.o, s, capacity, FactorsOf(size));
        TakeSpring(size, i, s, c);
        if (Letter(4) != 'F' && Letter(4) != 'R' && size == 0 && i == 1) {
            CalcGlobals.SearchKey[5] = '2';
            G.MainUnitRangeIndex = 2;
            K.K_BLOCKIER = int16_t(2 * K.K_BLOCKIER);
        }
        G.TableStatus = 0;
    } catch (const EngineStepError& e) {
        Fail(int16_t(e.Number()));
    }
}
