#include "CatalogueGenerator.h"

#include "RuleTable.h"
#include "data/CatalogueSchema.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QtMath>
#include <cmath>

namespace {


QString Two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }
int Whole(double v) { return int(std::lround(v)); }
double Round2(double v) { return std::round(v * 100.0) / 100.0; }

// The articles to price and the weight that sets their price, keyed by
// article and width class.
class PriceBook {
public:
    void add(const QString& article, double kg, int width = 0)
    {
        if (!article.trimmed().isEmpty() && !m_items.contains({article, width}))
            m_items.insert({article, width}, kg);
    }
    void addWithSuffixes(const QString& article, double kg, const QStringList& suffixes)
    {
        add(article, kg);
        for (const QString& s : suffixes)
            add(article + s, kg);
    }
    const QMap<QPair<QString, int>, double>& items() const { return m_items; }

private:
    QMap<QPair<QString, int>, double> m_items;
};

struct Context {
    QString dir;
    GroupRules groups;
    CatalogueData data;
    PriceBook prices;
};

// ---------------------------------------------------------------- groups

void ReadSizes(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("sizes.csv"),
                                   {"size", "thread", "capacity_kN", "deduction_mm", "rod_kg_m"});
    for (const RuleRow& r : t.rows())
        c.groups.sizes.insert(r.integer("size"), {r.trimmed("thread"), r.number("capacity_kN"),
                                                  r.integer("deduction_mm"), r.number("rod_kg_m")});
}

void ReadDynamicGroups(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("dynamic_groups.csv"),
                                   {"lg", "capacity_kN", "short_stroke", "long_stroke", "unit_length",
                                    "bracket_height"});
    for (const RuleRow& r : t.rows())
        c.groups.dynamic.insert(r.integer("lg"),
                                {r.number("capacity_kN"), r.integer("short_stroke"),
                                 r.integer("long_stroke"), r.integer("unit_length"),
                                 r.integer("bracket_height")});
}

void ReadColdGroups(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("cold_groups.csv"), {"lg", "capacity_kN"});
    for (const RuleRow& r : t.rows())
        c.groups.cold.insert(r.integer("lg"), r.number("capacity_kN"));
}

void ReadTemperatures(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("temperatures.csv"),
                                   {"class", "temp_C", "derating", "material", "material_unc",
                                    "material_cn"});
    for (const RuleRow& r : t.rows()) {
        c.groups.classes.insert(r.integer("class"),
                                {r.integer("temp_C"), r.number("derating"), r.integer("material"),
                                 r.integer("material_unc"), r.integer("material_cn")});
        c.data.add(QStringLiteral("Temdat.DB"),
                   {{"T_KLASSE", r.integer("class")}, {"T_TEMP", r.integer("temp_C")}});
    }
}

void ReadDiameters(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("diameters.csv"),
                                   {"code", "dn", "od_mm", "nps", "clamp_lg_max", "dyn_lg_max"});
    double previousMax = 0;
    for (const RuleRow& r : t.rows()) {
        const Diameter d{r.integer("code"), r.integer("dn"), r.number("od_mm"), r.number("nps"),
                         r.integer("clamp_lg_max"), r.integer("dyn_lg_max")};
        c.groups.diameters.append(d);
        // The upper bound of each diameter is the lower bound of the next,
        // so a typed diameter always falls into exactly one row.
        c.data.add(QStringLiteral("Durdat.DB"),
                   {{"D_R_DM", d.od}, {"D_R_DI", d.od / 25.4}, {"D_MIN_ABS", previousMax},
                    {"D_MAX_ABS", d.od + 1}, {"D_R_DM_KZ", d.code}, {"D_EMIN_MM", d.od - 2},
                    {"D_EMAX_MM", 1.0}, {"D_NENNWTE", d.dn}, {"D_NENN_INCH", d.nps},
                    {"D_LG_KZ", QString()}, {"TYP40", false}, {"TYP54", false},
                    {"TYP56", false}, {"TYP58", false}});
        previousMax = d.od + 1;
    }
}

void ReadMaterials(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("materials.csv"), {"nr", "name"});
    for (const RuleRow& r : t.rows())
        c.data.add(QStringLiteral("WST.DB"), {{"W_NR", r.integer("nr")}, {"W_BZ", r.trimmed("name")}});
}

double GroupCapacity(const Context& c, const QString& source, int group)
{
    if (source == QLatin1String("static"))
        return c.groups.sizes.value(group).capacity;
    if (source == QLatin1String("dynamic"))
        return c.groups.dynamic.value(group).capacity;
    return c.groups.cold.value(group);
}

QList<int> GroupNumbers(const Context& c, const QString& source)
{
    if (source == QLatin1String("static"))
        return c.groups.sizes.keys();
    if (source == QLatin1String("dynamic"))
        return c.groups.dynamic.keys();
    return c.groups.cold.keys();
}

void ReadLoadGroups(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("loadgroups.csv"),
                                   {"kind", "source", "factor", "text"});
    for (const RuleRow& r : t.rows()) {
        const QString source = r.trimmed("source");
        if (source != QLatin1String("static") && source != QLatin1String("dynamic") &&
            source != QLatin1String("cold"))
            r.fail(QStringLiteral("source must be static, dynamic or cold, not '%1'").arg(source));
        for (int g : GroupNumbers(c, source))
            c.data.add(QStringLiteral("Txttab.DB"),
                       {{"TXT_KZ", r.trimmed("kind")}, {"TXT_NR", g},
                        {"TXT_NUM", std::round(GroupCapacity(c, source, g) * r.number("factor") * 1000) / 1000},
                        {"TXT_TEXT", r.trimmed("text") + QLatin1Char(' ') + Two(g)}});
    }
}

// ---------------------------------------------------------------- static products

QString KeyText(const QString& pattern, int size, int variant)
{
    QString k = pattern;
    k.replace(QStringLiteral("SS"), Two(size));
    k.replace(QLatin1Char('v'), QString::number(variant));
    return k;
}

struct Materials {
    int wst, unc, cn;
};

QVariantMap StaticRow(int key, const QString& kbez, int height, double kg, int adm,
                      const Materials& m, double kgPerM = 0)
{
    const QString article = QString::number(key).left(6);
    return {{"STA_NRN", key}, {"STA_KBEZ", kbez}, {"STA_KBEZ_I", kbez}, {"STA_L_NR", article},
            {"STA_L_NR_K", article}, {"STA_L_NR_I", article}, {"STA_L_NR_K_I", article},
            {"STA_WST", m.wst}, {"STA_WST_UNC", m.unc}, {"STA_WST_CN", m.cn}, {"STA_E", height},
            {"STA_X", 0}, {"STA_GEW", Round2(kg)}, {"STA_ADM", adm}, {"STA_BREITE", 0},
            {"STA_BREITE_M", 0}, {"STA_GEW_VER", kgPerM}, {"STA_BTL_ZUS", QString()},
            {"STA_SM_TABLE", QString()}, {"STA_L_ZUS", 0}, {"STA_HD_KZ", false}};
}

void AddHangerType(Context& c, const QVariantMap& product, bool constant, int variant, double capacity)
{
    // Spring rate over the usable band from a third of the capacity to the
    // capacity, across the nominal travel of the range.
    static const QMap<int, int> springTravel{{1, 50}, {2, 100}, {3, 200}, {4, 300}, {5, 400}};
    const double rate = constant ? 0 : capacity * 1000 * 2 / 3 / springTravel.value(variant, 100);
    c.data.add(QStringLiteral("HAENGER.DB"),
               {{"FDR_M", QString::number(rate, 'f', 1)}, {"FDR_I", QString::number(rate * 5.7101, 'f', 0)},
                {"STA_NRN", QString::number(product.value("STA_NRN").toInt())}, {"LANG", variant <= 3},
                {"T20", false}, {"T29", false}, {"KH", constant}, {"T21", true}, {"T25", false},
                {"STA_L_NR", product.value("STA_L_NR")}, {"STA_L_NR_20", QString()},
                {"STA_L_NR_25", QString()}, {"STA_L_NR_29", QString()}});
}

void AddStaticFamilyRow(Context& c, const RuleRow& r, int size, int variant, double variantValue)
{
    const QString kind = r.trimmed("kind");
    const StaticSize s = c.groups.sizes.value(size);
    const QString key = KeyText(r.trimmed("key"), size, variant);
    bool ok = false;
    const int number = key.toInt(&ok);
    if (!ok || key.size() != 8)
        r.fail(QStringLiteral("key pattern gives '%1', not an 8-digit number").arg(key));
    const Materials m{r.integer("wst"), r.integer("wst_unc"), r.integer("wst_cn")};
    const bool rod = kind == QLatin1String("rod");
    const int height = rod ? Whole(variantValue)
                           : Whole(variantValue + r.number("height_mm") + r.number("height_step") * (size - 9));
    const double kg = rod ? variantValue / 1000 * s.rodKgPerM
                          : r.number("kg") + r.number("kg_per_kN") * s.capacity;
    QVariantMap row = StaticRow(number, r.trimmed("kbez"), height, kg, r.integer("adm"), m,
                                rod ? s.rodKgPerM : 0);
    c.data.add(Pgstat, row);
    // Long rods of the big sizes are priced by their length.
    const bool priceByLength = rod && size >= 20;
    const QString article = row.value("STA_L_NR").toString();
    c.prices.add(article, kg, priceByLength ? height : 0);
    for (const QString& sfx : r.trimmed("price_sfx").split(QLatin1Char(' '), Qt::SkipEmptyParts))
        c.prices.add(article + sfx, kg);
    if (kind == QLatin1String("spring") || kind == QLatin1String("constant"))
        AddHangerType(c, row, kind == QLatin1String("constant"), variant, s.capacity);
}

void GenerateStaticParts(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("static_parts.csv"),
                                   {"kind", "key", "sizes", "variants", "limits", "kbez", "height_mm",
                                    "height_step", "kg", "kg_per_kN", "adm", "wst", "wst_unc",
                                    "wst_cn", "price_sfx"});
    static const QStringList kinds{"part", "rod", "spring", "constant", "yoke"};
    for (const RuleRow& r : t.rows()) {
        if (!kinds.contains(r.trimmed("kind")))
            r.fail(QStringLiteral("unknown kind '%1'").arg(r.trimmed("kind")));
        const IntRange sizes = ParseRange(r, r.trimmed("sizes"));
        QMap<int, double> variants = ParseVariants(r, QStringLiteral("variants"));
        if (variants.isEmpty())
            variants.insert(0, 0);
        const SizeLimits limits = SizeLimits::Parse(r, QStringLiteral("limits"));
        for (int size = sizes.from; size <= sizes.to; ++size) {
            if (!c.groups.sizes.contains(size))
                r.fail(QStringLiteral("size %1 is not in sizes.csv").arg(Two(size)));
            for (auto v = variants.cbegin(); v != variants.cend(); ++v)
                if (limits.allows(size, v.key()))
                    AddStaticFamilyRow(c, r, size, v.key(), v.value());
        }
    }
}

// ---------------------------------------------------------------- clamps

int LargestDeduction(const Context& c, int from, int to)
{
    int d = 0;
    for (int s = from; s <= to; ++s)
        d = qMax(d, c.groups.sizes.value(s).deduction);
    return d;
}

QVariantMap ClampRow(int key, const QString& kbez, const QString& article, const TemperatureClass& tc,
                     int classNo)
{
    QVariantMap row{{"RSL_NRN", key}, {"RSL_KBEZ", kbez}, {"RSL_L_NR", article},
                    {"RSL_L_NR_K", article}, {"RSL_L_NR_CN", article}, {"RSL_WST", tc.material},
                    {"RSL_WST_UNC", tc.materialUnc}, {"RSL_WST_CN", tc.materialCn},
                    {"RSL_KOP_KZ", false}, {"RSL_SM_TABLE", QString()}, {"RSL_VGB_KZ", false},
                    {"RSL_HD_KZ", false}, {"TMP_KL", Two(classNo)}, {"HD_KZ_ORG", false},
                    {"RSL_EXTRA", 0}};
    for (int i = 1; i <= 5; ++i) {
        const QString n = QString::number(i);
        row.insert("RSL_LG_" + n, 0);
        row.insert("RSL_KRAFT_" + n, 0.0);
        row.insert("RSL_KRAFT_INT_" + n, 0.0);
        row.insert("RSL_HYD_LST_" + n, 0.0);
        row.insert("RSL_GEW_" + n, 0.0);
    }
    return row;
}

void SetClampLoad(QVariantMap& row, double capacity, double hydFactor, double kg, double colderCapacity = -1)
{
    row["RSL_KRAFT_1"] = Round2(capacity);
    row["RSL_KRAFT_INT_1"] = Round2(colderCapacity < 0 ? capacity : colderCapacity);
    row["RSL_HYD_LST_1"] = Round2(capacity * hydFactor);
    row["RSL_GEW_1"] = Round2(kg);
}

void AddClampWindow(Context& c, const RuleRow& r, const Diameter& d, int classNo, int window,
                    IntRange lg)
{
    const TemperatureClass tc = c.groups.classes.value(classNo);
    const QString type = r.trimmed("type");
    const int key = (type.toInt() * 100 + d.code) * 10000 + classNo * 100 + window;
    const QString article = type.left(1) + r.trimmed("art") + Two(d.code) + Two(window);
    const double top = c.groups.sizes.value(lg.to).capacity;
    const double kg = r.number("kg") + r.number("kg_per_kN") * top;
    QVariantMap row = ClampRow(key, type, article, tc, classNo);
    const int insulation = r.integer("insulation");
    row["RSL_E"] = int(std::ceil(d.od / 2 + LargestDeduction(c, lg.from, lg.to) + insulation));
    row["RSL_A"] = 0;
    row["RSL_B"] = 0;
    row["RSL_LG_VON"] = lg.from;
    row["RSL_LG_BIS"] = lg.to;
    row["RSL_DAEMM_H"] = insulation;
    // RSL_KRAFT_1 carries the load at the class's temperature, RSL_KRAFT_INT_1
    // at the temperature of the class below, between which the selection
    // interpolates: where the derating falls from one class to the next,
    // the hot capacity lies below the colder one.
    const double colder = c.groups.classes.value(classNo > 0 ? classNo - 1 : classNo, tc).derating;
    SetClampLoad(row, top * tc.derating, r.number("hyd_factor"), kg, top * colder);
    c.data.add(Pgrsrl, row);
    c.prices.addWithSuffixes(article, kg, {QStringLiteral("-SP")});
}

void GenerateClamps(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("clamps.csv"),
                                   {"type", "windows", "classes", "art", "kg", "kg_per_kN",
                                    "hyd_factor", "insulation"});
    for (const RuleRow& r : t.rows()) {
        const QList<IntRange> windows = ParseWindows(r, QStringLiteral("windows"));
        const IntRange classes = ParseRange(r, r.trimmed("classes"));
        if (r.trimmed("type").size() != 2 || r.trimmed("art").size() != 1)
            r.fail(QStringLiteral("type needs two digits and art one character"));
        for (const Diameter& d : c.groups.diameters)
            for (int cl = classes.from; cl <= classes.to; ++cl)
                for (int w = 0; w < windows.size(); ++w)
                    if (windows[w].from <= d.clampLgMax)
                        AddClampWindow(c, r, d, cl, w + 1, {windows[w].from, qMin(windows[w].to, d.clampLgMax)});
    }
}

void AddBaseClamp(Context& c, const RuleRow& r, const Diameter& d, int classNo)
{
    const TemperatureClass tc = c.groups.classes.value(classNo);
    const int vv = r.integer("vv");
    const int key = (49 * 100 + d.code) * 10000 + classNo * 100 + vv;
    const QString article = QStringLiteral("45") + Two(d.code) + Two(vv);
    QVariantMap row = ClampRow(key, QStringLiteral("49"), article, tc, classNo);
    row["RSL_E"] = -Whole(d.od / 2 + r.number("shoe_mm"));
    row["RSL_A"] = r.integer("lateral_mm");
    row["RSL_B"] = 0;
    row["RSL_LG_VON"] = 9;
    row["RSL_LG_BIS"] = 24;
    row["RSL_DAEMM_H"] = r.integer("insulation");
    SetClampLoad(row, r.number("capacity_kN") * tc.derating, 1.5, r.number("kg_std"));
    static const QStringList guides{"kg_g2a", "kg_g2p", "kg_g3", "kg_g4"};
    static const QStringList suffixes{"G2A", "G2P", "G3", "G4"};
    for (int i = 0; i < guides.size(); ++i)
        row["RSL_GEW_" + QString::number(i + 2)] = r.number(guides[i]);
    c.data.add(Pgrsrl, row);
    c.prices.addWithSuffixes(article, r.number("kg_std"), {QStringLiteral("-SP")});
    for (int i = 0; i < guides.size(); ++i)
        c.prices.addWithSuffixes(article + suffixes[i], r.number(guides[i]), {QStringLiteral("-SP")});
}

void GenerateBaseClamps(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("base_clamps.csv"),
                                   {"vv", "shoe_mm", "insulation", "capacity_kN", "lateral_mm",
                                    "kg_std", "kg_g2a", "kg_g2p", "kg_g3", "kg_g4"});
    for (const RuleRow& r : t.rows()) {
        if (r.trimmed("vv").size() != 2)
            r.fail(QStringLiteral("vv needs two digits"));
        for (const Diameter& d : c.groups.diameters)
            for (int cl : c.groups.classes.keys())
                if (cl <= 10)
                    AddBaseClamp(c, r, d, cl);
    }
}

// ---------------------------------------------------------------- dynamic products

QVariantMap DynamicRow(int key, const QString& kbez, const QString& article, const RuleRow& r, double kg)
{
    return {{"DYN_NRN", key}, {"DYN_KBEZ", kbez}, {"DYN_L_NR", article}, {"DYN_L_NR_K", article},
            {"DYN_L_NR_CN", article}, {"DYN_WST", r.integer("wst")}, {"DYN_WST_UNC", r.integer("wst_unc")},
            {"DYN_WST_CN", r.integer("wst_cn")}, {"DYN_E", 0}, {"DYN_GEW", Round2(kg)},
            {"DYN_BK_KZ", QStringLiteral("N")}, {"DYN_LG_MIN", 0}, {"DYN_LG_MAX", 0},
            {"DYN_E_MIN", 0}, {"DYN_E_MAX", 0}, {"DYN_VERST", 0}, {"DYN_HUB", 0},
            {"DYN_LAMBDA", 0}, {"DYN_PARA_A", 0.0}, {"DYN_PARA_B", 0.0}, {"DYN_KRAFT", 0.0},
            {"DYN_GEW_VER", 0.0}, {"DYN_M_MIN", 0}, {"DYN_M_MAX", 0}, {"DYN_SM_TABLE", QString()},
            {"DYN_VGB_KZ", false}};
}

void AddDynamic(Context& c, const QVariantMap& row)
{
    c.data.add(Pgdyna, row);
    c.prices.add(row.value("DYN_L_NR").toString(), row.value("DYN_GEW").toDouble());
}

void GenerateBrackets(Context& c, const RuleRow& r)
{
    for (auto g = c.groups.dynamic.cbegin(); g != c.groups.dynamic.cend(); ++g) {
        const int key = (350 * 100 + g.key()) * 1000;
        QVariantMap row = DynamicRow(key, QStringLiteral("35"), QString::number(key).left(6), r,
                                     r.number("kg") + r.number("kg_per_kN") * g->capacity);
        row["DYN_E"] = g->bracketHeight;
        row["DYN_KRAFT"] = g->capacity;
        AddDynamic(c, row);
    }
}

void GenerateDynamicClamps(Context& c, const RuleRow& r)
{
    const QList<IntRange> windows = ParseWindows(r, QStringLiteral("windows"));
    const IntRange classes = ParseRange(r, r.trimmed("classes"));
    const QString type = r.trimmed("type");
    for (const Diameter& d : c.groups.diameters)
        for (int cl = classes.from; cl <= classes.to; ++cl)
            for (int w = 0; w < windows.size(); ++w) {
                if (windows[w].from > d.dynLgMax)
                    continue;
                const int top = qMin(windows[w].to, d.dynLgMax);
                const double cap = c.groups.dynamic.value(top).capacity;
                const int key = (type.toInt() * 100 + d.code) * 10000 + cl * 100 + w + 1;
                QVariantMap row = DynamicRow(key, type, type + Two(d.code) + Two(w + 1), r,
                                             r.number("kg") + r.number("kg_per_kN") * cap);
                row["DYN_WST"] = c.groups.classes.value(cl).material;
                row["DYN_WST_UNC"] = c.groups.classes.value(cl).materialUnc;
                row["DYN_WST_CN"] = c.groups.classes.value(cl).materialCn;
                row["DYN_E"] = Whole(d.od / 2 + r.number("height_mm"));
                row["DYN_LG_MIN"] = windows[w].from;
                row["DYN_LG_MAX"] = top;
                row["DYN_KRAFT"] = Round2(cap * c.groups.classes.value(cl).derating);
                AddDynamic(c, row);
            }
}

void GenerateStruts(Context& c, const RuleRow& r)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("struts.csv"),
                                   {"vvvv", "e_min", "e_max", "para_b_factor", "kg_per_m"});
    for (auto g = c.groups.dynamic.cbegin(); g != c.groups.dynamic.cend(); ++g)
        for (const RuleRow& w : t.rows()) {
            const QString vvvv = w.trimmed("vvvv");
            const int key = (39 * 100 + g.key()) * 10000 + vvvv.toInt();
            const double lge = g->capacity * 1.72;
            const double b = w.number("para_b_factor") * lge;
            const double kg = r.number("kg") + r.number("kg_per_kN") * g->capacity +
                              w.number("kg_per_m") * w.number("e_max") / 1000;
            QVariantMap row = DynamicRow(key, QStringLiteral("39"),
                                         QStringLiteral("39") + Two(g.key()) + vvvv.mid(1, 2), r, kg);
            row["DYN_E_MIN"] = w.integer("e_min");
            row["DYN_E_MAX"] = w.integer("e_max");
            row["DYN_PARA_B"] = b;
            row["DYN_PARA_A"] = (b - lge) / w.number("e_max");
            row["DYN_KRAFT"] = g->capacity;
            AddDynamic(c, row);
        }
}

void AddShockUnit(Context& c, const RuleRow& r, int lg, const DynamicGroup& g, int d, int stroke,
                  const QList<RuleRow>& extensions)
{
    const int eMin = g.unitLength + (d == 3 ? stroke - g.shortStroke : 0);
    const int base = (300 * 100 + lg) * 1000 + d * 100;
    const double kg = r.number("kg") + r.number("kg_per_kN") * g.capacity;
    QVariantMap unit = DynamicRow(base + 1, QStringLiteral("30"),
                                  QStringLiteral("30") + Two(lg) + QString::number(d) + QLatin1Char('1'), r, kg);
    unit["DYN_HUB"] = stroke;
    unit["DYN_E_MIN"] = eMin;
    unit["DYN_E_MAX"] = eMin + stroke;
    unit["DYN_M_MIN"] = eMin + stroke / 2;
    unit["DYN_M_MAX"] = eMin + stroke;
    unit["DYN_KRAFT"] = g.capacity;
    AddDynamic(c, unit);
    for (const RuleRow& x : extensions) {
        const int mid = eMin + stroke / 2;
        QVariantMap ext = DynamicRow(base + x.integer("x"), QStringLiteral("30"),
                                     QStringLiteral("30") + Two(lg) + QString::number(d) + x.trimmed("x"),
                                     r, x.number("kg"));
        ext["DYN_HUB"] = stroke;
        ext["DYN_M_MIN"] = mid;
        ext["DYN_M_MAX"] = mid + x.integer("to_mm");
        ext["DYN_E_MIN"] = mid + x.integer("from_mm");
        ext["DYN_E_MAX"] = mid + x.integer("to_mm");
        ext["DYN_KRAFT"] = g.capacity;
        AddDynamic(c, ext);
    }
}

void GenerateShockAbsorbers(Context& c, const RuleRow& r)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("shock_extensions.csv"),
                                   {"x", "from_mm", "to_mm", "kg"});
    for (const RuleRow& x : t.rows())
        if (x.integer("x") < 2 || x.integer("x") > 4)
            x.fail(QStringLiteral("an extension has digit 8 from 2 to 4"));
    for (auto g = c.groups.dynamic.cbegin(); g != c.groups.dynamic.cend(); ++g) {
        AddShockUnit(c, r, g.key(), *g, 2, g->shortStroke, t.rows());
        if (g->longStroke > 0)
            AddShockUnit(c, r, g.key(), *g, 3, g->longStroke, t.rows());
    }
}

void GenerateDynamicParts(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("dynamic_parts.csv"),
                                   {"kind", "type", "windows", "classes", "height_mm", "kg",
                                    "kg_per_kN", "wst", "wst_unc", "wst_cn"});
    for (const RuleRow& r : t.rows()) {
        const QString kind = r.trimmed("kind");
        if (kind == QLatin1String("bracket"))
            GenerateBrackets(c, r);
        else if (kind == QLatin1String("clamp"))
            GenerateDynamicClamps(c, r);
        else if (kind == QLatin1String("strut"))
            GenerateStruts(c, r);
        else if (kind == QLatin1String("shock"))
            GenerateShockAbsorbers(c, r);
        else
            r.fail(QStringLiteral("unknown kind '%1'").arg(kind));
    }
}

// ---------------------------------------------------------------- cold supports

void GenerateColdSupports(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("cold_supports.csv"),
                                   {"vvv", "d_min", "d_max", "n", "a_mm", "b_mm", "kg", "kg_per_kN"});
    for (auto g = c.groups.cold.cbegin(); g != c.groups.cold.cend(); ++g)
        for (const RuleRow& r : t.rows()) {
            const QString vvv = r.trimmed("vvv");
            const int key = (520 * 100 + g.key()) * 1000 + vvv.toInt();
            const QString article = QStringLiteral("52") + Two(g.key()) + vvv.right(2);
            const double kg = r.number("kg") + r.number("kg_per_kN") * g.value();
            c.data.add(Pgcool,
                       {{"CLD_NRN", key}, {"CLD_KBEZ", "52"}, {"CLD_KBEZ_I", "52"},
                        {"CLD_L_NR", article}, {"CLD_L_NR_K", article}, {"CLD_L_NR_I", article},
                        {"CLD_L_NR_K_I", article}, {"CLD_WST", 1}, {"CLD_WST_UNC", 11},
                        {"CLD_KRAFT", g.value()}, {"CLD_GEW", Round2(kg)}, {"CLD_D_MIN", r.integer("d_min")},
                        {"CLD_D_MAX", r.integer("d_max")}, {"CLD_GEW_MAX", 0.0},
                        {"CLD_KRAFT_S", g.value()}, {"CLD_KRAFT_F", g.value()}, {"CLD_GEW_VER", 0.0},
                        {"CLD_N", r.integer("n")}, {"CLD_A", r.number("a_mm")}, {"CLD_B", r.number("b_mm")},
                        {"CLD_SM_TABLE", QString()}});
            c.prices.add(article, kg);
        }
}

// ---------------------------------------------------------------- configurations, settings, prices

// The picture of a configuration: the placeholder bitmap
// "pictures/ABHG<number>.bmp" beside the rule directory, stored as PNG (the
// format the forms read from the BILD field). No file, no picture.
QVariant ArrangementPicture(const Context& c, const RuleRow& r, int nr)
{
    const QString file = QDir(c.dir).filePath(QStringLiteral("../pictures/ABHG%1.bmp").arg(nr));
    if (!QFileInfo::exists(file))
        return QVariant(QMetaType(QMetaType::QByteArray));
    QImage image;
    QByteArray png;
    QBuffer buffer(&png);
    if (!image.load(file) || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        r.fail(QStringLiteral("cannot convert the picture %1").arg(file));
    return png;
}

void GenerateArrangements(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("arrangements.csv"),
                                   {"a_nr", "a_name", "a_ber", "parts", "anz_d", "anz_q", "mds", "order"});
    for (const RuleRow& r : t.rows()) {
        const int nr = r.integer("a_nr");
        const QStringList parts = r.trimmed("parts").split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() > 16)
            r.fail(QStringLiteral("more than 16 positions"));
        QVariantMap row{{"A_NR", nr}, {"A_NAME", r.trimmed("a_name")}, {"A_BER", r.trimmed("a_ber")},
                        {"A_ANZ_D", r.integer("anz_d")}, {"A_ANZ_Q", r.integer("anz_q")},
                        {"BX", 0}, {"BY", 0}, {"STAT_DYN", nr < 300}, {"STAT_COLD", nr >= 200 && nr < 300},
                        {"A_ORDERNO", r.integer("order")}, {"A_MDS_NO", r.trimmed("mds")},
                        {"BILD", ArrangementPicture(c, r, nr)}};
        for (int i = 1; i <= 16; ++i)
            row.insert("A_LFD_BT" + QString::number(i), parts.value(i - 1, QStringLiteral("0")).toInt());
        // Picture coordinates: one difference label right of the picture,
        // the elevations at its top and bottom edge.
        for (int i = 1; i <= 4; ++i) {
            row.insert("DX" + QString::number(i), i == 1 ? 220 : 0);
            row.insert("DY" + QString::number(i), i == 1 ? 150 : 0);
        }
        for (int i = 1; i <= 5; ++i) {
            row.insert("QX" + QString::number(i), i <= 2 ? 20 : 0);
            row.insert("QY" + QString::number(i), i == 1 ? 20 : (i == 2 ? 280 : 0));
        }
        c.data.add(QStringLiteral("ABHGNR.DB"), row);
    }
}

QVariant DefaultValue(const QString& code)
{
    if (code.startsWith(QLatin1Char('A')))
        return QString();
    if (code == QLatin1String("L"))
        return false;
    if (code == QLatin1String("N"))
        return 0.0;
    return 0;
}

QVariant ConvertValue(const RuleRow& r, const QString& code)
{
    if (code.startsWith(QLatin1Char('A'))) {
        // Quotes keep blanks that belong to the value ("EUR ").
        QString v = r.text("value");
        if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
            v = v.mid(1, v.size() - 2);
        if (v.size() > code.mid(1).toInt())
            r.fail(QStringLiteral("'%1' is longer than the field (%2)").arg(v, code));
        return v;
    }
    if (code == QLatin1String("L"))
        return r.flag("value");
    if (code == QLatin1String("N"))
        return r.number("value");
    return r.integer("value");
}

void GenerateFirdat(Context& c)
{
    const CatalogueTableDef& def = CatalogueTable(QStringLiteral("FIRDAT.DB"));
    QVariantMap row;
    for (const CatalogueColumn& col : def.columns)
        row.insert(col.name, DefaultValue(col.code));
    const auto t = RuleTable::Read(c.dir, QStringLiteral("firdat.csv"), {"field", "value"});
    for (const RuleRow& r : t.rows()) {
        const QString field = r.trimmed("field");
        if (!def.hasColumn(field))
            r.fail(QStringLiteral("the settings table has no field '%1'").arg(field));
        row.insert(field, ConvertValue(r, def.columnCode(field)));
    }
    c.data.add(def.fileName, row);
}

void GeneratePrices(Context& c)
{
    const auto t = RuleTable::Read(c.dir, QStringLiteral("prices.csv"),
                                   {"idx", "base", "per_kg", "factor", "hd_factor", "discount"});
    for (const RuleRow& r : t.rows())
        for (auto it = c.prices.items().cbegin(); it != c.prices.items().cend(); ++it) {
            const double price = Round2((r.number("base") + r.number("per_kg") * it.value()) * r.number("factor"));
            c.data.add(QStringLiteral("PGCURE.DB"),
                       {{"CUR_IDX", r.integer("idx")}, {"CUR_L_NR", it.key().first},
                        {"CUR_BRT", it.key().second}, {"CUR_PRS", price},
                        {"CUR_PRS_HD", Round2(price * r.number("hd_factor"))},
                        {"CUR_RABAT", r.flag("discount")}});
        }
}

void AddSentinels(Context& c)
{
    // A last row above every product number keeps "read next" from running
    // off the end of a table.
    QVariantMap stat = StaticRow(Sentinel, QStringLiteral("99"), 0, 0, 0, {1, 11, 21});
    for (const char* f : {"STA_L_NR", "STA_L_NR_K", "STA_L_NR_I", "STA_L_NR_K_I"})
        stat[QLatin1String(f)] = QString();
    c.data.add(Pgstat, stat);
    c.data.add(Pgdyna, {{"DYN_NRN", Sentinel}, {"DYN_KBEZ", "99"}});
    c.data.add(Pgrsrl, {{"RSL_NRN", Sentinel}, {"RSL_KBEZ", "99"}, {"RSL_EXTRA", 0}});
    c.data.add(Pgcool, {{"CLD_NRN", Sentinel}, {"CLD_KBEZ", "99"}});
}

}  // namespace

const QList<QVariantMap>& CatalogueData::rows(const QString& table) const
{
    static const QList<QVariantMap> none;
    const auto it = m_tables.constFind(table);
    return it == m_tables.cend() ? none : *it;
}

CatalogueData GenerateCatalogue(const QString& ruleDir)
{
    Context c;
    c.dir = ruleDir;
    ReadSizes(c);
    ReadDynamicGroups(c);
    ReadColdGroups(c);
    ReadTemperatures(c);
    ReadDiameters(c);
    ReadMaterials(c);
    ReadLoadGroups(c);
    GenerateStaticParts(c);
    GenerateClamps(c);
    GenerateBaseClamps(c);
    GenerateDynamicParts(c);
    GenerateColdSupports(c);
    GenerateArrangements(c);
    GenerateFirdat(c);
    GeneratePrices(c);
    AddSentinels(c);
    return c.data;
}
