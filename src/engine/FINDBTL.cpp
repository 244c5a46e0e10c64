#include "engine/FINDBTL.h"

#include "data/FIRAUFKON.h"
#include "data/PGCOOL.h"
#include "data/PGDYNA.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "engine/EngineState.h"
#include "engine/FindHalterung.h"
#include "engine/SelectionUi.h"
#include "engine/StepTools.h"

#include <cmath>

namespace {

TConstructionRecord& K = ConstructionRecord;
TCalcGlobals& G = CalcGlobals;

void Fail(int16_t status, int16_t number) {
    G.TableStatus = status;
    G.MessageNumber = number;
}

// Runs a routine; a refused table index or a full tally ends it with its
// message instead of touching memory past the end.
template <class Fn>
void Guarded(Fn fn) {
    try {
        fn();
    } catch (const EngineStepError& e) {
        Fail(1, int16_t(e.Number()));
    }
}

QString Wanted() { return QString::fromLatin1(G.WantedProductNumberText, 8); }

// The same product type: digits 1 and 2 and digit 4.
bool SameType(const QString& found, const QString& wanted) {
    return found.left(2) == wanted.left(2) && found.at(3) == wanted.at(3);
}

QString Digits(double number) { return QString::number(qint64(number)).rightJustified(8, QLatin1Char('0')); }

void RememberWanted() { std::copy_n(G.SearchKey, 8, G.WantedProductNumberText); }

// Steps 1 to 4 of a search: start at the wanted number, read the row
// there, hand its number back. False with the status set.
bool SearchRow(double& key, void (*start)(), void (*next)(), int16_t typeStatus, int16_t typeNumber) {
    key = SearchKeyNumber();
    RememberWanted();
    start();
    if (G.TableStatus != 0) {
        Fail(1, 2718);
        return false;
    }
    next();
    if (G.TableStatus != 0) {
        Fail(1, 2721);
        return false;
    }
    SetSearchKey(int32_t(key));
    if (!SameType(SearchKeyText(), Wanted())) {
        Fail(typeStatus, typeNumber);
        return false;
    }
    return true;
}

void NuclearTest() {
    if (!K.K_KERNTECH || !FieldText(PgstatRecord.STA_L_NR_K).trimmed().isEmpty())
        return;
    G.MessageNumber = 2727;
    const QString name = SearchKeyText().left(2) == QLatin1String("91") ? QStringLiteral("PTFE")
                                                                          : FieldText(PgstatRecord.STA_L_NR).trimmed();
    // The part's name takes the text's place holder, or follows a text
    // that has none, as in every other box of the steps.
    ActiveSelectionUi().Error(MessageWithValues(2727, {name}));
    G.TableStatus = 6;
}

void Tally() {
    if (G.AccessoryCount == 0)
        return;
    for (int slot = 0; slot < 3; ++slot) {
        int16_t& kind = G.AccessoryKinds[std::size_t(slot)];
        if (kind == 99 || kind == G.ClampLoadGroup) {
            kind = G.ClampLoadGroup;
            G.AccessoryCounts[std::size_t(slot)] = int16_t(G.AccessoryCounts[std::size_t(slot)] + G.AccessoryCount);
            return;
        }
    }
    // A fourth size has no slot; counting it under the third would order
    // pieces of the wrong size.
    throw EngineStepError(MsgAccessorySlotsFull);
}

}  // namespace

void FindStaticProduct() {
    if (!SearchRow(PgstatRecord.STA_NRN, &PgstatStart, &PgstatReadNext, 1, 2719))
        return;
    NuclearTest();
}

void FindDynamicProduct() { SearchRow(PgdynaRecord.DYN_NRN, &PgdynaStart, &PgdynaReadNext, 1, 2719); }

void FindStaticProductByWidth() {
    Guarded([] {
        if (!SearchRow(PgstatRecord.STA_NRN, &PgstatStart, &PgstatReadNext, 6, 0))
            return;
        while (PgstatRecord.STA_BREITE < K.K_BREITE) {
            PgstatReadNext();
            if (G.TableStatus != 0)
                return Fail(1, 2721);
            SetSearchKey(int32_t(PgstatRecord.STA_NRN));
            // The width search stays within the wanted type.
            if (!SameType(SearchKeyText(), Wanted()))
                return Fail(6, 0);
        }
        G.AccessoryCount = PgstatRecord.STA_ADM;
        if (G.BlockingRangeMax == 2)
            G.AccessoryCount *= 2;
        if (SearchKeyText().left(3) == QLatin1String("791")) {
            G.ClampLoadGroup = G.ComponentLoadGroup;
            Tally();
            G.ClampLoadGroup = G.SupportLoadGroup;
        } else {
            Tally();
        }
    });
}

void FindStaticProductByDimension() {
    RememberWanted();
    PgstatStart();
    int16_t lastWidth = PgstatRecord.STA_BREITE_M;
    const auto ranOut = [&] {
        Fail(1, 2721);
        PgstatRecord.STA_BREITE_M = lastWidth;
    };
    if (G.TableStatus != 0)
        return ranOut();
    for (;;) {
        PgstatReadNext();
        if (G.TableStatus != 0)
            return ranOut();
        if (!SameType(Digits(PgstatRecord.STA_NRN), Wanted()))
            return ranOut();
        lastWidth = PgstatRecord.STA_BREITE_M;
        if (PgstatRecord.STA_X >= G.RodLengths[0])
            break;
    }
    SetSearchKey(int32_t(PgstatRecord.STA_NRN));
}

void AddStaticPart() {
    FindStaticProduct();
    if (G.TableStatus != 0)
        return;
    Guarded([] {
        if (PgstatRecord.STA_ADM != 0) {
            G.AccessoryCount = int32_t(std::trunc(Extended(PgstatRecord.STA_ADM) * G.BlockingRangeMax));
            Tally();
        }
        G.RunningHeight += PgstatRecord.STA_E;
        ChainPart& entry = ChainPartAt(G.ChainPartIndex + 1);
        ++G.ChainPartIndex;
        entry.ProductNumber = PgstatRecord.STA_NRN;
        entry.Quantity = int16_t(G.BlockingRangeMax);
    });
}

void TallyAccessories() { Guarded(&Tally); }

void TakeBackAccessories(int16_t kind, int32_t count) {
    auto& kinds = G.AccessoryKinds;
    auto& counts = G.AccessoryCounts;
    for (std::size_t slot = 0; slot < kinds.size(); ++slot) {
        if (kinds[slot] != kind)
            continue;
        counts[slot] = int16_t(std::max(0, counts[slot] - count));
        if (counts[slot] == 0) {
            // The slots stay filled from the first: the later sizes move up.
            for (std::size_t j = slot; j + 1 < kinds.size(); ++j) {
                kinds[j] = kinds[j + 1];
                counts[j] = counts[j + 1];
            }
            kinds.back() = 99;
            counts.back() = 0;
        }
        return;
    }
}

void CorrectAccessoryTally() {
    auto& count = G.AccessoryCounts;
    const char l5 = Letter(5), l6 = Letter(6);
    if (l5 == 'E')
        --count[0];
    if (l5 == 'D' && l6 == 'S') {
        if (G.AccessoryKinds[1] == 99)
            --count[0];
        else
            --count[1];
    }
    if (l5 == 'T' && l6 == 'S') {
        if (G.AccessoryKinds[2] == 99)
            --count[0];
        else
            --count[2];
    }
}

void AddPartWeight() {
    const QString code = SearchKeyText().left(3);
    if (!G.WeighParts || code == QLatin1String("000"))
        return;
    Guarded([&] {
        Extended w;
        const QChar first = code.at(0);
        if (first == QLatin1Char('4')) {
            if (G.BlockingRangeMin < 1 || G.BlockingRangeMin > 5)
                throw EngineStepError(MsgTableIndexOutOfRange);
            const Extended clamp = PgrsrlRecord.RSL_GEW[std::size_t(G.BlockingRangeMin - 1)];
            w = PgrsrlRecord.RSL_KOP_KZ ? 2 * clamp + PgstatRecord.STA_GEW : clamp;
        } else if (code == QLatin1String("660") || code == QLatin1String("670")) {
            w = Extended(PgstatRecord.STA_E) * 0.001L * PgstatRecord.STA_GEW_VER;
        } else if (first == QLatin1Char('5')) {
            w = PgcoolRecord.CLD_GEW;
        } else if (first == QLatin1Char('3')) {
            w = PgdynaRecord.DYN_GEW;
        } else if (code > QLatin1String("790")) {
            w = PgstatRecord.STA_GEW + Extended(K.K_BREITE) * 0.001L * PgstatRecord.STA_GEW_VER;
        } else {
            w = Extended(G.BlockingRangeMax) * PgstatRecord.STA_GEW;
        }
        G.DeadWeight = double(Extended(G.DeadWeight) + w);
    });
}
