#include "engine/HYDROTEST.h"

#include "data/FIRAUFKON.h"
#include "data/TXTTAB.h"
#include "engine/EngineState.h"

#include <algorithm>

namespace {

TConstructionRecord& K = ConstructionRecord;
TCalcGlobals& G = CalcGlobals;

// The capacity of a load group; a missing row carries nothing.
Extended Capacity(int group) {
    TextRecord.TXT_NR = int16_t(group);
    TxttabRead();
    if (G.TableStatus != 0) {
        G.TableStatus = 0;
        return 0;
    }
    return TextRecord.TXT_NUM;
}

int Mapped(int group) {
    if (Letter(8) != 'S')
        return group;
    if (group < 11)
        return 10;
    if (group <= 12)
        return 12;
    return group;
}

bool Fail() {
    G.TableStatus = 1;
    G.MessageNumber = 2739;
    return false;
}

bool Hydro(int group) { return Capacity(Mapped(group)) < K.K_HYDRO_LAST ? Fail() : true; }

bool Half(int group) {
    G.DesignLoad = double(0.5L * K.K_HYDRO_LAST);
    return Capacity(Mapped(group)) < Extended(G.DesignLoad) ? Fail() : true;
}

}  // namespace

void CheckLoadGroup() {
    std::copy_n("LGF", 3, TextRecord.TXT_KZ);
    const char l3 = Letter(3), l4 = Letter(4), l5 = Letter(5), l8 = Letter(8);
    if (l4 == 'R') {
        Hydro(G.MainUnitLoadGroup);
    } else if (l8 == 'H' && l5 == 'E') {
        Hydro(G.MainUnitLoadGroup);
    } else if (l5 == 'E') {
        Hydro(G.SupportLoadGroup);
    } else if (l3 == 'V' && l5 == 'D' && l8 == 'S') {
        Half(G.ComponentLoadGroup);
    } else if (l8 == 'S') {
        if (Hydro(G.SupportLoadGroup))
            Half(G.ComponentLoadGroup);
    } else {
        G.DesignLoad = double(0.5L * K.K_HYDRO_LAST);
        const int g = AreaLetter() == 'I' ? G.MainUnitLoadGroup : G.ComponentLoadGroup;
        if (Capacity(g) < Extended(G.DesignLoad)) {
            Fail();
            return;
        }
        if (l3 == 'V' && l5 == 'D')
            return;
        Hydro(AreaLetter() == 'I' ? G.SupportLoadGroup : std::min(G.MainUnitLoadGroup, G.SupportLoadGroup));
    }
}
