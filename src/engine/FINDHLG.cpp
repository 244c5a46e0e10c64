#include "engine/FINDHLG.h"

#include "data/ABHGNR.h"
#include "data/FIRAUFKON.h"
#include "data/PGSTAT.h"
#include "data/TXTTAB.h"
#include "engine/EngineState.h"
#include "engine/FindHalterung.h"
#include "engine/HangerSizing.h"
#include "engine/SelectionUi.h"

#include <cmath>

namespace {

TConstructionRecord& K = ConstructionRecord;
TCalcGlobals& G = CalcGlobals;

void Fail(int16_t number) {
    G.TableStatus = 1;
    G.MessageNumber = number;
}

void ClearMainUnit(bool secondComponentGroup = true) {
    G.MainUnitNumber = 0;
    K.K_LAST_AUSG = 0;
    K.K_FDIFF_EFF = 0;
    K.K_ARBWEG = 0;
    K.K_ARBWEG_EFF = 0;
    K.K_BLOCKIER = 0;
    G.MainUnitRangeIndex = 0;
    G.MainUnitLoadGroup = G.SupportLoadGroup = G.ComponentLoadGroup = 0;
    G.SecondLoadGroup = 0;
    if (secondComponentGroup)
        G.SecondComponentLoadGroup = 0;
}

// The size class of a hanger's load group: 10, 11 -> 2; 12 -> 3; 13, 14 -> 4;
// 15, 16 -> 5; 17, 18 -> 6; 19 -> 7.
int16_t SizeClass(int group, int16_t otherwise) {
    if (group == 10 || group == 11) return 2;
    if (group == 12) return 3;
    if (group == 13 || group == 14) return 4;
    if (group == 15 || group == 16) return 5;
    if (group == 17 || group == 18) return 6;
    if (group == 19) return 7;
    return otherwise;
}

// How many load groups the components may lie below the main unit.
int AllowedDifference(int group) {
    switch (group) {
    case 11: case 14: case 15: case 16: case 17: return 1;
    case 12: case 18: case 19: case 21: return 2;
    case 13: case 20: return 3;
    default: return 1 << 30;
    }
}

bool ReadNextText() {
    TxttabReadNext1();
    return G.TableStatus == 0;
}

bool StartText(const char* kind, long double q) {
    SetTextKind(kind);
    TextRecord.TXT_NUM = double(q);
    TxttabStart1();
    return G.TableStatus == 0;
}

// Applies again a blocking position the engineer saved for this unit, so
// no later pass of the same selection computes it away.
void KeepSavedBlockingPosition() {
    if (EngineState.BlockingPositionSaved && G.MainUnitNumber == EngineState.SavedBlockingUnit) {
        K.K_BLOCKIER = G.ChosenBlockingPosition;
        K.K_RES_ACTUAL_S_TOP = 0;
        K.K_RES_ACTUAL_S_BUT = 0;
    }
}

void ComponentLoadGroups() {
    const char* kind = G.MainUnitNumber > 20000000 && G.MainUnitNumber < 30000000 ? "LGH" : "LGK";
    if (AreaLetter() != 'A') {
        if (!StartText(kind, G.DesignLoad) || !ReadNextText()) {
            G.TableStatus = 0;
            return;
        }
        G.SupportLoadGroup = TextRecord.TXT_NR;
    }
    if (G.MainUnitLoadGroup == 10)
        return;
    G.DesignLoad = G.DesignLoad * 0.5;
    if (!StartText(kind, G.DesignLoad)) {
        G.TableStatus = 0;
        return;
    }
    const int allowed = AllowedDifference(G.MainUnitLoadGroup);
    while (ReadNextText()) {
        const int d = G.MainUnitLoadGroup > G.SupportLoadGroup ? G.MainUnitLoadGroup - TextRecord.TXT_NR
                                                               : G.SupportLoadGroup - TextRecord.TXT_NR;
        if (d > allowed)
            continue;
        G.ComponentLoadGroup = TextRecord.TXT_NR;
        return;
    }
    G.ComponentLoadGroup = G.SupportLoadGroup;
    G.TableStatus = 0;
}

void FinishHanger() {
    PgstatRecord.STA_NRN = G.MainUnitNumber;
    PgstatRead();
    const auto notFound = [] {
        G.MainUnitNumber = 0;
        K.K_BLOCKIER = 0;
        K.K_ARBWEG = 0;
        K.K_ARBWEG_EFF = 0;
        Fail(2714);
    };
    if (G.TableStatus != 0)
        return notFound();
    const double n = G.MainUnitNumber;
    const bool spring = n > 20000000 && n < 30000000;
    if (!spring) {
        if (n >= 30000000) {
            PgstatRecord.STA_NRN = ConstantPricingNumber(int32_t(n));
            PgstatRead();
            if (G.TableStatus != 0)
                return notFound();
        }
        ConstantBlockingPosition();
    }
    KeepSavedBlockingPosition();
    G.DesignLoad = K.K_LAST_AUSG > K.K_LAST ? K.K_LAST_AUSG : K.K_LAST;
    G.SupportLoadGroup = G.MainUnitLoadGroup;
    G.ComponentLoadGroup = G.MainUnitLoadGroup;
    if (Letter(4) == 'F') {
        G.SecondLoadGroup = SizeClass(G.MainUnitLoadGroup, 1);
        G.SecondComponentLoadGroup = G.SecondLoadGroup;
        return;
    }
    if (G.MainUnitLoadGroup != 9)
        ComponentLoadGroups();
    if (G.TableStatus == 0 && K.K_VGB_KZ)
        AskBlockingPosition();
}

}  // namespace

void SetTextKind(const char* kind) { PutText(TextRecord.TXT_KZ, QString::fromLatin1(kind)); }

bool ScanLoadGroup(const char* kind, long double q, long double compared) {
    if (StartText(kind, q))
        while (ReadNextText())
            if (TextRecord.TXT_NUM >= compared)
                return true;
    Fail(2172);
    return false;
}

void SelectMainUnitDefault() {
    G.DesignLoad = K.K_LAST;
    G.MainUnitNumber = 0;
    G.MainUnitLoadGroup = G.SupportLoadGroup = G.ComponentLoadGroup = 0;
    const char l3 = Letter(3), l5 = Letter(5), l7 = Letter(7);
    if (l3 == 'V' && l5 == 'D' && l7 == 'X')
        G.DesignLoad = G.DesignLoad * 0.5;
    if (Letter(1) == 'S' && Letter(4) == 'R')
        return;
    if (G.CNStandard)
        G.DesignLoad = double(Extended(G.DesignLoad) * 1.3L);
    const char* kind = FieldText(K.K_STRLOAD_KZ) == QLatin1String("B") ? "LGB" : "LGA";
    bool secondSearch = false;
    for (;;) {
        if (!ScanLoadGroup(kind, G.DesignLoad, G.DesignLoad))
            return;
        if (l3 == 'V' && l7 == 'X' && (l5 == 'D' || (l5 == 'T' && K.K_KNAG_KZ))) {
            G.SupportLoadGroup = TextRecord.TXT_NR;
            break;
        }
        if (!secondSearch) {
            G.SupportLoadGroup = TextRecord.TXT_NR;
            G.DesignLoad = G.DesignLoad * 0.5;
            secondSearch = true;
            continue;
        }
        while (G.SupportLoadGroup - TextRecord.TXT_NR > 1)
            if (!ReadNextText())
                return Fail(2172);
        break;
    }
    G.ComponentLoadGroup = TextRecord.TXT_NR;
    G.MainUnitNumber = 55555555;
}

void SelectMainUnitY() {
    G.MainUnitNumber = 0;
    G.SecondLoadGroup = G.SecondComponentLoadGroup = 0;
    G.MainUnitLoadGroup = G.SupportLoadGroup = G.ComponentLoadGroup = 0;
    PutText(K.K_DYNLOAD_KZ, QStringLiteral("C"));
    Extended q = K.K_LAST;
    if (G.CNStandard && Letter(1) == 'G')
        q = q * 1.3L;
    if (!ScanLoadGroup("LGC", q, K.K_LAST))
        return;
    G.SecondLoadGroup = TextRecord.TXT_NR;
    const struct { const char* kind; double load; const char* flag; } more[] = {
        {"LGD", K.K_LAST_DYN_2, "D"}, {"LGE", K.K_LAST_DYN_3, "E"}};
    for (const auto& m : more) {
        if (!ScanLoadGroup(m.kind, m.load, m.load))
            return;
        if (TextRecord.TXT_NR > G.SecondLoadGroup) {
            G.SecondLoadGroup = TextRecord.TXT_NR;
            PutText(K.K_DYNLOAD_KZ, QString::fromLatin1(m.flag));
        }
    }
    if (Letter(8) == 'S' && Letter(7) == 'X' && G.SecondLoadGroup < 2)
        G.SecondLoadGroup = 2;
    if ((Letter(8) == 'H' || Letter(7) == 'C') && G.SecondLoadGroup == 2)
        G.SecondLoadGroup = 3;
    G.SecondComponentLoadGroup = G.SecondLoadGroup;
    if (Letter(5) == 'D') {
        const QString decided = FieldText(K.K_DYNLOAD_KZ);
        const char* kind = decided == QLatin1String("C") ? "LGC" : decided == QLatin1String("D") ? "LGD" : "LGE";
        const double load = decided == QLatin1String("C")   ? K.K_LAST
                            : decided == QLatin1String("D") ? K.K_LAST_DYN_2
                                                            : K.K_LAST_DYN_3;
        G.DesignLoad = load * 0.5;
        if (StartText(kind, G.DesignLoad))
            ReadNextText();
        G.SecondComponentLoadGroup = TextRecord.TXT_NR;
        // This read is a lookup, not a test: a missing row fails nothing.
        G.TableStatus = 0;
    }
}

void SelectMainUnitC() {
    if (Letter(7) == 'F' || Letter(7) == 'E')
        return;
    G.DesignLoad = K.K_LAST;
    G.MainUnitNumber = 0;
    G.MainUnitLoadGroup = G.SupportLoadGroup = G.ComponentLoadGroup = 0;
    if (!ScanLoadGroup("LGO", G.DesignLoad, G.DesignLoad))
        return;
    G.MainUnitLoadGroup = G.SupportLoadGroup = G.ComponentLoadGroup = TextRecord.TXT_NR;
    G.MainUnitNumber = 55556666;
}

void SelectMainUnitG() {
    ClearMainUnit(false);
    bool found = false;
    if (StartText("LGH", G.DesignLoad))
        while (ReadNextText()) {
            const int nr = TextRecord.TXT_NR;
            if (nr < 10)
                continue;
            const Extended f = nr == 10 ? 0.8L : 0.832L;
            if (f * Extended(TextRecord.TXT_NUM) >= Extended(G.DesignLoad)) {
                found = true;
                break;
            }
        }
    if (!found)
        return Fail(2172);
    G.MainUnitLoadGroup = G.SupportLoadGroup = G.ComponentLoadGroup = TextRecord.TXT_NR;
    K.K_ARBWEG = -25;
    const int nr = TextRecord.TXT_NR;
    G.SecondLoadGroup = nr < 12 ? 2 : nr == 12 ? 3 : nr <= 14 ? 4 : nr <= 16 ? 5 : nr <= 18 ? 6 : 7;
}

void SelectHanger() {
    if (!K.K_VGB_KZ) {
        SetTextKind("LGH");
        ClearMainUnit();
        SpringHangerSizing();
        if (G.TableStatus != 0) {
            G.TableStatus = 1;
            return;
        }
    }
    const int16_t note = G.MessageNumber;
    FinishHanger();
    if (G.TableStatus == 0)
        G.MessageNumber = note;
}

void SelectPreselectedHanger() {
    SetTextKind("LGH");
    ClearMainUnit();
    std::copy(G.PreselectedLoadNumber, G.PreselectedLoadNumber + 6, G.DisplayPartNumber);
    SetSearchKey(G.PreselectedProductNumber);
    G.MainUnitRangeIndex = int16_t(SearchKeyDigit(6));
    if (G.PreselectedLoadNumber[0] == '1')
        PreselectedConstantCheck();
    else
        PreselectedSpringCheck();
    if (G.TableStatus != 0) {
        G.TableStatus = 1;
        return;
    }
    SelectHanger();
}

void AskBlockingPosition() {
    const double n = G.MainUnitNumber;
    if (G.HorizontalHalvingMark == 0 || G.BlockingPositionDone || !K.K_BLOCK_VOR || K.K_BLOCKIER == 0 ||
        (n > 20000000 && n < 30000000))
        return;
    PgstatRecord.STA_NRN = n;
    PgstatRead();
    if (G.TableStatus != 0)
        PutText(G.DisplayPartNumber, QStringLiteral("000000"));
    else
        std::copy_n(K.K_KERNTECH ? PgstatRecord.STA_L_NR_K : PgstatRecord.STA_L_NR, 6, G.DisplayPartNumber);
    G.TableStatus = 0;
    if (G.BlockingSizingLoad < G.BlockingHalfCapacity) {
        G.BlockingRangeMin = int32_t(std::trunc(Extended(G.BlockingNominalTravel) - G.BlockingWorkingTravel));
        G.BlockingRangeMax = int32_t(std::trunc(Extended(G.BlockingNominalTravel)));
    } else {
        G.BlockingRangeMin = 0;
        G.BlockingRangeMax = int32_t(std::trunc(Extended(G.BlockingWorkingTravel)));
    }
    if (ActiveSelectionUi().ShowBlockingDialog()) {
        // The dialog refuses a position outside the range; one that got
        // through anyway is not used.
        if (K.K_BLOCKIER < G.BlockingRangeMin || K.K_BLOCKIER > G.BlockingRangeMax)
            return Fail(MsgBlockingOutOfRange);
        EngineState.BlockingPositionSaved = true;
        EngineState.SavedBlockingUnit = n;
    }
    G.ChosenBlockingPosition = K.K_BLOCKIER;
    G.BlockingPositionDone = true;
}
