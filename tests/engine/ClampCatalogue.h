#pragma once
// Row builders for small catalogue tables written by the clamp, component
// and composition tests. Every field the engine reads is set, so a test
// states only the fields its rule decides on; the defaults are chosen
// apart from each other (nuclear and CN numbers differ from the plain
// ones, hot capacities from cold ones) so a wrong column shows.
#include "StepFixture.h"

namespace ClampCatalogue {

inline QVariantMap With(QVariantMap row, const QVariantMap& more) {
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        row[it.key()] = it.value();
    return row;
}

// A static part: article = the first six digits, nuclear "K" and imperial
// "I" variants of it.
inline void Part(CatalogueFixture& f, int number, int e, const QVariantMap& more = {}) {
    const QString article = QString::number(number).left(6);
    f.Insert("Pgstat.DB", With({{"STA_NRN", number},
                                {"STA_KBEZ", article.left(3)},
                                {"STA_L_NR", article},
                                {"STA_L_NR_K", article.left(5) + "K"},
                                {"STA_L_NR_I", article.left(5) + "I"},
                                {"STA_L_NR_K_I", article.left(4) + "KI"},
                                {"STA_E", e},
                                {"STA_GEW", 1.0},
                                {"STA_ADM", 0},
                                {"STA_GEW_VER", 0.0}},
                               more));
}

// A clamp row of load groups from..to with its capacity at the class's
// lower temperature (cold) and at its upper one (hot) in width step 1.
inline void Clamp(CatalogueFixture& f, int number, int from, int to, double cold, double hot,
                  const QVariantMap& more = {}) {
    const QString article = QString::number(number).left(6);
    f.Insert("pgrsrsl.DB", With({{"RSL_NRN", number},
                                 {"RSL_KBEZ", article.left(2)},
                                 {"RSL_L_NR", article},
                                 {"RSL_L_NR_K", article.left(5) + "K"},
                                 {"RSL_L_NR_CN", article},
                                 {"RSL_LG_VON", from},
                                 {"RSL_LG_BIS", to},
                                 {"RSL_KRAFT_1", cold},
                                 {"RSL_KRAFT_INT_1", hot},
                                 {"RSL_HYD_LST_1", 2 * cold},
                                 {"RSL_E", 150},
                                 {"RSL_A", 50},
                                 {"RSL_DAEMM_H", 0},
                                 {"RSL_GEW_1", 2.0},
                                 {"RSL_EXTRA", 0}},
                                more));
}

inline void Diameter(CatalogueFixture& f, double od, int code, double emax = 1, const QString& kind = " ") {
    f.Insert("Durdat.DB", {{"D_R_DM", od}, {"D_R_DM_KZ", code}, {"D_EMAX_MM", emax}, {"D_LG_KZ", kind}});
}

inline void TemperatureClass(CatalogueFixture& f, int tclass, int temperature) {
    f.Insert("Temdat.DB", {{"T_KLASSE", tclass}, {"T_TEMP", temperature}});
}

inline void Arrange(const QString& name, const QStringList& positions, const QString& area = " ") {
    LoadArrangementNow({name, area, positions});
}

}  // namespace ClampCatalogue
