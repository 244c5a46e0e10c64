#include "CatalogueChecks.h"

#include "data/CatalogueSchema.h"

#include <QSet>
#include <algorithm>

namespace {

const int MaxReports = 12;  // per rule, so one broken rule does not flood the log

QString Two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

class Checker {
public:
    explicit Checker(const CatalogueData& d) : data(d) { index(); }

    const CatalogueData& data;
    QStringList failures;
    QMap<QString, QMap<int, QVariantMap>> byKey;  // product tables by number
    QMap<QString, QMap<int, double>> loadGroups;  // TXT_KZ -> TXT_NR -> TXT_NUM

    void fail(const QString& rule, const QString& what)
    {
        if (m_count[rule]++ < MaxReports)
            failures.append(rule + QStringLiteral(": ") + what);
        else if (m_count[rule] == MaxReports + 1)
            failures.append(rule + QStringLiteral(": ... further failures of this rule not shown"));
    }
    // Reports a fault of a value that many rows share (an article) once.
    void failOnce(const QString& rule, const QString& what)
    {
        if (!m_reported.contains(what)) {
            m_reported.insert(what);
            fail(rule, what);
        }
    }
    bool has(const QString& table, int key) const { return byKey.value(table).contains(key); }
    QVariantMap row(const QString& table, int key) const { return byKey.value(table).value(key); }
    double group(const QString& kind, int nr) const { return loadGroups.value(kind).value(nr); }
    QVariantMap firdat() const { return data.rows(QStringLiteral("FIRDAT.DB")).value(0); }

private:
    QMap<QString, int> m_count;
    QSet<QString> m_reported;

    void index()
    {
        static const QStringList keys{"STA_NRN", "DYN_NRN", "RSL_NRN", "CLD_NRN"};
        const QStringList tables{Pgstat, Pgdyna, Pgrsrl, Pgcool};
        for (int i = 0; i < tables.size(); ++i)
            for (const QVariantMap& r : data.rows(tables[i]))
                byKey[tables[i]].insert(r.value(keys[i]).toInt(), r);
        for (const QVariantMap& r : data.rows(QStringLiteral("Txttab.DB")))
            loadGroups[r.value("TXT_KZ").toString()].insert(r.value("TXT_NR").toInt(),
                                                            r.value("TXT_NUM").toDouble());
    }
};

// ---------------------------------------------------------------- schema and keys

void CheckColumns(Checker& c)
{
    for (const QString& table : c.data.tableNames()) {
        if (!IsCatalogueTable(table)) {
            c.fail("schema", QStringLiteral("rows for the unknown table %1").arg(table));
            continue;
        }
        const CatalogueTableDef& def = CatalogueTable(table);
        QSet<QString> seen;
        for (const QVariantMap& r : c.data.rows(table))
            for (auto it = r.cbegin(); it != r.cend(); ++it)
                if (!seen.contains(it.key()) && !def.hasColumn(it.key())) {
                    seen.insert(it.key());
                    c.fail("schema", QStringLiteral("%1 has no column %2").arg(table, it.key()));
                }
    }
}

void CheckUniqueKeys(Checker& c)
{
    for (const CatalogueTableDef& def : CatalogueTables())
        for (const CatalogueIndex& idx : def.indexes) {
            if (!idx.unique)
                continue;
            QSet<QString> seen;
            for (const QVariantMap& r : c.data.rows(def.fileName)) {
                QStringList parts;
                for (const QString& f : idx.fields)
                    parts.append(r.value(f).toString());
                const QString key = parts.join(QLatin1Char('/'));
                if (seen.contains(key))
                    c.fail("unique keys", QStringLiteral("%1 holds the key %2 twice").arg(def.fileName, key));
                seen.insert(key);
            }
        }
}

void CheckSentinels(Checker& c)
{
    const QMap<QString, QString> firstDigit{{Pgdyna, "3"}, {Pgrsrl, "4"}, {Pgcool, "5"}};
    for (const QString& t : {Pgstat, Pgdyna, Pgrsrl, Pgcool}) {
        const auto& rows = c.byKey.value(t);
        if (rows.isEmpty() || rows.lastKey() != Sentinel)
            c.fail("sentinel", QStringLiteral("%1 does not end with the row %2").arg(t).arg(Sentinel));
        for (int key : rows.keys()) {
            const QString k = QString::number(key);
            const bool wrongTable = firstDigit.contains(t) ? !k.startsWith(firstDigit[t])
                                                           : QStringLiteral("345").contains(k.at(0));
            if (key != Sentinel && (k.size() != 8 || wrongTable))
                c.fail("product numbers", QStringLiteral("%1 does not belong in %2").arg(k, t));
        }
    }
}

// ---------------------------------------------------------------- load groups

void CheckLoadGroups(Checker& c)
{
    const QMap<QString, QPair<int, int>> kinds{{"LGA", {9, 24}}, {"LGB", {9, 24}}, {"LGH", {9, 24}},
                                               {"LGK", {9, 24}}, {"LGF", {9, 24}}, {"LGC", {1, 8}},
                                               {"LGD", {1, 8}},  {"LGE", {1, 8}},  {"LGO", {1, 8}}};
    for (auto k = kinds.cbegin(); k != kinds.cend(); ++k)
        for (int nr = k->first; nr <= k->second; ++nr) {
            if (!c.loadGroups.value(k.key()).contains(nr))
                c.fail("load groups", QStringLiteral("no %1 row %2").arg(k.key(), Two(nr)));
            else if (nr > k->first && c.group(k.key(), nr) <= c.group(k.key(), nr - 1))
                c.fail("load groups", QStringLiteral("%1 %2 does not carry more than %3")
                                          .arg(k.key(), Two(nr), Two(nr - 1)));
        }
    for (int s = 9; s < 24; ++s) {
        if (!(c.group("LGH", s + 1) / 3 < c.group("LGH", s)))
            c.fail("spring band", QStringLiteral("a third of LGH %1 is not below LGH %2").arg(Two(s + 1), Two(s)));
        if (!(0.4 * c.group("LGK", s + 1) <= c.group("LGK", s)))
            c.fail("constant band", QStringLiteral("40 % of LGK %1 exceeds LGK %2").arg(Two(s + 1), Two(s)));
    }
    for (int g = 1; g <= 8; ++g)
        for (const auto& [kind, f] : {std::pair{"LGD", 1.33}, std::pair{"LGE", 1.72}})
            if (qAbs(c.group(kind, g) - f * c.group("LGC", g)) > 0.01)
                c.fail("load groups", QStringLiteral("%1 %2 is not %3 x LGC").arg(kind, Two(g)).arg(f));
}

// ---------------------------------------------------------------- static products

// The largest spring range the sizing may choose for a size (ranges 4 and 5
// with extra long travels).
int SpringMax(int size)
{
    if (size <= 12 || size >= 20)
        return 3;
    return size <= 14 ? 4 : 5;
}

// Ranges the sizing may choose, and the shorter ranges of the next size that
// the neighbouring-size check forms (never from the excluded 21009218).
bool SpringNeeded(int size, int i)
{
    const int first = size < 11 ? 2 : 1;
    if (i >= first && i <= (size == 9 ? 2 : SpringMax(size)))
        return true;
    return size >= 11 && i >= 1 && i < SpringMax(size - 1);
}
int ConstantMax(int size) { return size < 10 ? 3 : (size == 10 ? 3 : (size <= 15 ? 5 : 7)); }
int ConstantMin(int size) { return size < 10 ? 3 : 2; }

void CheckHangerRow(Checker& c, int key, bool constant)
{
    if (!c.has(Pgstat, key)) {
        c.fail("hangers", QStringLiteral("%1 is missing").arg(key));
        return;
    }
    const QString article = c.row(Pgstat, key).value("STA_L_NR").toString();
    if (article.startsWith(QLatin1Char('1')) != constant)
        c.fail("hangers", QStringLiteral("article %1 of %2 breaks the constant-hanger rule").arg(article).arg(key));
    const auto types = c.data.rows(QStringLiteral("HAENGER.DB"));
    const auto it = std::find_if(types.cbegin(), types.cend(), [&](const QVariantMap& r) {
        return r.value("STA_NRN").toString() == QString::number(key);
    });
    if (it == types.cend())
        c.fail("hanger types", QStringLiteral("no HAENGER row for %1").arg(key));
    else if (it->value("KH").toBool() != constant || it->value("STA_L_NR").toString() != article)
        c.fail("hanger types", QStringLiteral("HAENGER row of %1 does not match the product").arg(key));
}

void CheckHangers(Checker& c)
{
    for (int s = 9; s <= 24; ++s) {
        for (int i = 1; i <= 5; ++i)
            if (SpringNeeded(s, i))
                CheckHangerRow(c, 21000018 + s * 1000 + i * 100, false);
        for (int k = ConstantMin(s); k <= ConstantMax(s); ++k)
            CheckHangerRow(c, 11000015 + s * 1000 + k * 100, true);
    }
}

void RequirePart(Checker& c, int type, int size, int variant, int height = -1)
{
    const int key = type * 100000 + size * 1000 + variant * 100;
    if (!c.has(Pgstat, key))
        c.fail("components", QStringLiteral("%1 is missing").arg(key));
    else if (height >= 0 && c.row(Pgstat, key).value("STA_E").toInt() != height)
        c.fail("components", QStringLiteral("rod %1 is not %2 mm long").arg(key).arg(height));
    else if (c.row(Pgstat, key).value("STA_GEW").toDouble() <= 0)
        c.fail("components", QStringLiteral("%1 has no weight").arg(key));
}

void CheckComponents(Checker& c)
{
    for (int s = 9; s <= 24; ++s) {
        for (int type : {600, 610, 630, 640, 730, 740, 750})
            RequirePart(c, type, s, 0);
        for (auto [d, len] : {std::pair{4, 1500}, {5, 2000}, {6, 2500}, {7, 3000}})
            RequirePart(c, 660, s, d, len);
        for (auto [d, len] : {std::pair{2, 500}, {3, 1000}})
            RequirePart(c, 670, s, d, len);
        if (s < 20)
            continue;
        RequirePart(c, 616, s, 0);
        for (int k = 1; k <= 7; ++k) {
            RequirePart(c, 111, s, k);
            RequirePart(c, 112, s, k);
        }
    }
}

// ---------------------------------------------------------------- clamps

int Deduction(int lg)
{
    static const QMap<int, int> d{{9, 11},  {10, 11}, {11, 13}, {12, 13}, {13, 17}, {14, 24},
                                  {15, 27}, {16, 33}, {17, 41}, {18, 46}, {19, 51}, {20, 61},
                                  {21, 76}, {22, 76}, {23, 46}, {24, 56}};
    return d.value(lg);
}

int DnLgTarget(int dn) { return dn <= 50 ? 14 : (dn <= 150 ? 18 : (dn <= 300 ? 21 : 24)); }

struct DiameterRow {
    int code;
    int dn;
    double od;
};

QList<DiameterRow> Diameters(const Checker& c)
{
    QList<DiameterRow> out;
    for (const QVariantMap& r : c.data.rows(QStringLiteral("Durdat.DB")))
        out.append({r.value("D_R_DM_KZ").toInt(), r.value("D_NENNWTE").toInt(), r.value("D_R_DM").toDouble()});
    return out;
}

QList<int> Classes(const Checker& c)
{
    QList<int> out;
    for (const QVariantMap& r : c.data.rows(QStringLiteral("Temdat.DB")))
        out.append(r.value("T_KLASSE").toInt());
    std::sort(out.begin(), out.end());
    return out;
}

// The load groups from 1 (or 9) upward that some window covers without a gap.
int ReachedGroup(QList<QPair<int, int>> windows, int start)
{
    std::sort(windows.begin(), windows.end());
    int reached = start - 1;
    for (const auto& w : windows)
        if (w.first <= reached + 1)
            reached = qMax(reached, w.second);
    return reached;
}

void CheckClampRow(Checker& c, const QVariantMap& r, double od)
{
    const QString key = r.value("RSL_NRN").toString();
    const QString article = r.value("RSL_L_NR").toString();
    if (r.value("RSL_KRAFT_1").toDouble() <= 0 ||
        r.value("RSL_KRAFT_INT_1").toDouble() < r.value("RSL_KRAFT_1").toDouble())
        c.fail("clamp capacity", QStringLiteral("%1 needs 0 < RSL_KRAFT_1 <= RSL_KRAFT_INT_1").arg(key));
    if (key.at(6) == QLatin1Char('5'))
        c.fail("clamp variants", QStringLiteral("%1: digit 7 '5' asks the low-temperature question").arg(key));
    if (!QStringLiteral("0259").contains(article.at(1)) || (article.at(1) == QLatin1Char('2') && article.at(5) == QLatin1Char('7')))
        c.failOnce("clamp articles", QStringLiteral("article %1 would search a connection part").arg(article));
    for (int s = r.value("RSL_LG_VON").toInt(); s <= r.value("RSL_LG_BIS").toInt(); ++s)
        if (r.value("RSL_E").toInt() - od / 2 - Deduction(s) < r.value("RSL_DAEMM_H").toInt()) {
            c.fail("clamp insulation", QStringLiteral("%1 leaves less than RSL_DAEMM_H for size %2").arg(key, Two(s)));
            break;
        }
}

void CheckClamps(Checker& c)
{
    QMap<QString, QList<QPair<int, int>>> windows;  // "TT DD CC" -> windows
    const QMap<int, double> odByCode = [&] {
        QMap<int, double> m;
        for (const DiameterRow& d : Diameters(c))
            m.insert(d.code, d.od);
        return m;
    }();
    for (const QVariantMap& r : c.data.rows(Pgrsrl)) {
        const QString key = r.value("RSL_NRN").toString();
        if (!key.startsWith(QLatin1String("43")) && !key.startsWith(QLatin1String("42")))
            continue;
        CheckClampRow(c, r, odByCode.value(key.mid(2, 2).toInt()));
        windows[key.left(6)].append({r.value("RSL_LG_VON").toInt(), r.value("RSL_LG_BIS").toInt()});
    }
    for (const DiameterRow& d : Diameters(c))
        for (int cl : Classes(c)) {
            const QString k = QStringLiteral("43") + Two(d.code) + Two(cl);
            const int reached = ReachedGroup(windows.value(k), 9);
            if (reached < DnLgTarget(d.dn))
                c.fail("clamp windows", QStringLiteral("type 43 DN%1 class %2 covers sizes 09-%3, needs up to %4")
                                            .arg(d.dn).arg(Two(cl), Two(reached), Two(DnLgTarget(d.dn))));
        }
}

void CheckBaseClamps(Checker& c)
{
    QSet<QString> present;
    for (const QVariantMap& r : c.data.rows(Pgrsrl)) {
        const QString key = r.value("RSL_NRN").toString();
        if (!key.startsWith(QLatin1String("49")))
            continue;
        present.insert(key.left(6));
        const double od = [&] {
            for (const DiameterRow& d : Diameters(c))
                if (d.code == key.mid(2, 2).toInt())
                    return d.od;
            return 0.0;
        }();
        if (key.mid(4, 2).toInt() > 10)
            c.fail("base clamps", QStringLiteral("%1: class above 10").arg(key));
        if (key.at(6) != QLatin1Char('2') && key.at(6) != QLatin1Char('3'))
            c.fail("base clamps", QStringLiteral("%1: digit 7 must be 2 or 3").arg(key));
        if (-r.value("RSL_E").toInt() - r.value("RSL_DAEMM_H").toInt() - od / 2 <= 0)
            c.fail("base clamps", QStringLiteral("%1: shoe leaves no room for insulation").arg(key));
        for (int i = 1; i <= 5; ++i)
            if (r.value("RSL_GEW_" + QString::number(i)).toDouble() <= 0)
                c.fail("base clamps", QStringLiteral("%1: no weight for guide variant %2").arg(key).arg(i));
        if (r.value("RSL_KRAFT_1").toDouble() <= 0)
            c.fail("base clamps", QStringLiteral("%1: no capacity").arg(key));
    }
    for (const DiameterRow& d : Diameters(c))
        for (int cl : Classes(c))
            if (cl <= 10 && !present.contains(QStringLiteral("49") + Two(d.code) + Two(cl)))
                c.fail("base clamps", QStringLiteral("no base clamp for DN%1 class %2").arg(d.dn).arg(Two(cl)));
}

// ---------------------------------------------------------------- dynamic and cold products

QList<QVariantMap> RowsWithPrefix(const Checker& c, const QString& table, const QString& prefix)
{
    QList<QVariantMap> out;
    for (auto it = c.byKey.value(table).cbegin(); it != c.byKey.value(table).cend(); ++it)
        if (QString::number(it.key()).startsWith(prefix))
            out.append(it.value());
    return out;
}

void CheckStruts(Checker& c, int lg, int reserve)
{
    QList<QVariantMap> struts = RowsWithPrefix(c, Pgdyna, QStringLiteral("39") + Two(lg));
    if (struts.isEmpty())
        c.fail("struts", QStringLiteral("no strut of load group %1").arg(Two(lg)));
    std::sort(struts.begin(), struts.end(), [](const QVariantMap& a, const QVariantMap& b) {
        return a.value("DYN_E_MIN").toInt() < b.value("DYN_E_MIN").toInt();
    });
    for (int i = 0; i < struts.size(); ++i) {
        const QVariantMap& s = struts[i];
        const double atMax = s.value("DYN_PARA_B").toDouble() -
                             s.value("DYN_PARA_A").toDouble() * s.value("DYN_E_MAX").toDouble();
        if (s.value("DYN_LAMBDA").toInt() != 150 && atMax + 1e-6 < c.group("LGE", lg))
            c.fail("struts", QStringLiteral("%1 carries less than LGE at its longest length").arg(s.value("DYN_NRN").toInt()));
        if (i > 0 && struts[i - 1].value("DYN_E_MAX").toInt() - s.value("DYN_E_MIN").toInt() <= 2 * reserve)
            c.fail("struts", QStringLiteral("%1 overlaps its shorter neighbour by %2 mm or less")
                                 .arg(s.value("DYN_NRN").toInt()).arg(2 * reserve));
    }
}

int NeededStroke(int lg, int d, int reserve)
{
    const int limit = lg < 2 ? 100 : (lg <= 3 ? 200 : 300);
    const int shortTravel = lg <= 3 ? 100 : 150;
    return d == 2 ? qMin(limit, shortTravel + 2 * reserve) : limit;
}

void CheckShockAbsorbers(Checker& c, int lg, int reserve)
{
    for (int d = 2; d <= 3; ++d) {
        const int limit = lg < 2 ? 100 : (lg <= 3 ? 200 : 300);
        const bool needed = d == 2 || limit - 2 * reserve > (lg <= 3 ? 100 : 150);
        const int unit = (300 * 100 + lg) * 1000 + d * 100 + 1;
        if (!needed)
            continue;
        if (!c.has(Pgdyna, unit)) {
            c.fail("shock absorbers", QStringLiteral("%1 is missing").arg(unit));
            continue;
        }
        const QVariantMap r = c.row(Pgdyna, unit);
        if (r.value("DYN_HUB").toInt() < NeededStroke(lg, d, reserve))
            c.fail("shock absorbers", QStringLiteral("%1 strokes less than %2 mm").arg(unit).arg(NeededStroke(lg, d, reserve)));
    }
    for (const QVariantMap& r : RowsWithPrefix(c, Pgdyna, QStringLiteral("300") + Two(lg))) {
        const int key = r.value("DYN_NRN").toInt();
        if (key % 10 == 1 && r.value("DYN_E_MAX").toInt() != r.value("DYN_E_MIN").toInt() + r.value("DYN_HUB").toInt())
            c.fail("shock absorbers", QStringLiteral("%1: DYN_E_MAX is not DYN_E_MIN + DYN_HUB").arg(key));
        if (key % 10 != 1 && !c.has(Pgdyna, key - key % 10 + 1))
            c.fail("shock absorbers", QStringLiteral("extension %1 has no unit").arg(key));
    }
}

void CheckDynamicClamps(Checker& c)
{
    QMap<QString, QList<QPair<int, int>>> windows;
    for (const QVariantMap& r : RowsWithPrefix(c, Pgdyna, QStringLiteral("36"))) {
        const QString key = r.value("DYN_NRN").toString();
        windows[key.left(6)].append({r.value("DYN_LG_MIN").toInt(), r.value("DYN_LG_MAX").toInt()});
        if (r.value("DYN_KRAFT").toDouble() <= 0 || key.mid(4, 2).toInt() > 11)
            c.fail("dynamic clamps", QStringLiteral("%1: no capacity or class above 11").arg(key));
    }
    for (const DiameterRow& d : Diameters(c))
        for (int cl : Classes(c))
            if (cl <= 11 && ReachedGroup(windows.value(QStringLiteral("36") + Two(d.code) + Two(cl)), 1) < 3)
                c.fail("dynamic clamps", QStringLiteral("DN%1 class %2 does not cover load groups 01-03").arg(d.dn).arg(Two(cl)));
}

void CheckDynamic(Checker& c)
{
    const QVariantMap f = c.firdat();
    for (int lg = 1; lg <= 8; ++lg) {
        if (!c.has(Pgdyna, (350 * 100 + lg) * 1000))
            c.fail("brackets", QStringLiteral("350%1000 is missing").arg(Two(lg)));
        CheckStruts(c, lg, f.value("F_WR_GS").toInt());
        CheckShockAbsorbers(c, lg, f.value("F_WR_SB").toInt());
    }
    CheckDynamicClamps(c);
}

void CheckCold(Checker& c)
{
    for (int lg = 1; lg <= 8; ++lg) {
        QList<QPair<int, int>> windows;
        for (const QVariantMap& r : RowsWithPrefix(c, Pgcool, QStringLiteral("520") + Two(lg))) {
            windows.append({r.value("CLD_D_MIN").toInt(), r.value("CLD_D_MAX").toInt()});
            if (r.value("CLD_KRAFT").toDouble() < c.group("LGO", lg))
                c.fail("cold supports", QStringLiteral("%1 carries less than LGO %2").arg(r.value("CLD_NRN").toInt()).arg(Two(lg)));
        }
        if (ReachedGroup(windows, 10) < 400)
            c.fail("cold supports", QStringLiteral("load group %1 does not cover heights 10-400 mm").arg(Two(lg)));
    }
}

// ---------------------------------------------------------------- reference tables

void CheckTemperatures(Checker& c)
{
    const auto rows = c.data.rows(QStringLiteral("Temdat.DB"));
    int previous = -1000;
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].value("T_KLASSE").toInt() != i)
            c.fail("temperature classes", QStringLiteral("class %1 is not the %2th (classes run 00, 01, ...)")
                                              .arg(rows[i].value("T_KLASSE").toInt()).arg(i));
        const int t = rows[i].value("T_TEMP").toInt();
        if (t <= previous || t > 650)
            c.fail("temperature classes", QStringLiteral("class %1: %2 °C breaks the rising order or 650 °C").arg(Two(i)).arg(t));
        previous = t;
    }
    if (rows.size() < 2 || rows.size() > 100)
        c.fail("temperature classes", QStringLiteral("%1 classes; two-digit classes from 00 needed").arg(rows.size()));
}

void CheckDiameters(Checker& c)
{
    const auto rows = c.data.rows(QStringLiteral("Durdat.DB"));
    double previous = -1;
    for (const QVariantMap& r : rows) {
        const double od = r.value("D_R_DM").toDouble();
        const int code = r.value("D_R_DM_KZ").toInt();
        if (code < 1 || code > 98)
            c.fail("diameters", QStringLiteral("code %1 outside 01-98").arg(code));
        if (r.value("D_MAX_ABS").toDouble() <= previous || od > r.value("D_MAX_ABS").toDouble() ||
            od < r.value("D_MIN_ABS").toDouble())
            c.fail("diameters", QStringLiteral("DN%1: diameter bounds out of order").arg(r.value("D_NENNWTE").toInt()));
        previous = r.value("D_MAX_ABS").toDouble();
    }
    const QString lastKind = rows.isEmpty() ? QString() : rows.last().value("D_LG_KZ").toString().left(1).toUpper();
    if (rows.isEmpty() || lastKind == QLatin1String("Y") || lastKind == QLatin1String("S"))
        c.fail("diameters", QStringLiteral("the last diameter row may not be skipped by the scans"));
}

void CheckMaterials(Checker& c)
{
    QSet<int> known;
    for (const QVariantMap& r : c.data.rows(QStringLiteral("WST.DB")))
        known.insert(r.value("W_NR").toInt());
    const QMap<QString, QStringList> fields{
        {Pgstat, {"STA_WST", "STA_WST_UNC", "STA_WST_CN"}}, {Pgdyna, {"DYN_WST", "DYN_WST_UNC", "DYN_WST_CN"}},
        {Pgrsrl, {"RSL_WST", "RSL_WST_UNC", "RSL_WST_CN"}}, {Pgcool, {"CLD_WST", "CLD_WST_UNC"}}};
    QSet<int> reported;
    for (auto t = fields.cbegin(); t != fields.cend(); ++t)
        for (const QVariantMap& r : c.data.rows(t.key()))
            for (const QString& f : *t) {
                const int m = r.value(f).toInt();
                if (r.contains(f) && !known.contains(m) && !reported.contains(m)) {
                    reported.insert(m);
                    c.fail("materials", QStringLiteral("material %1 (%2 in %3) is not in WST").arg(m).arg(f, t.key()));
                }
            }
}

// ---------------------------------------------------------------- prices

int StaticPriceWidth(const QVariantMap& r)
{
    const QString k = r.value("STA_NRN").toString();
    if (k.startsWith(QLatin1String("79")))
        return r.value("STA_BREITE").toInt();
    if (k.startsWith(QLatin1String("291")))
        return r.value("STA_X").toInt();
    const QString five = k.left(5);
    if ((five >= QLatin1String("66020") && five <= QLatin1String("66024")) ||
        (five >= QLatin1String("67020") && five <= QLatin1String("67024")))
        return r.value("STA_E").toInt();
    return 0;
}

void CheckPrices(Checker& c)
{
    QSet<QString> prices;
    for (const QVariantMap& r : c.data.rows(QStringLiteral("PGCURE.DB")))
        prices.insert(r.value("CUR_IDX").toString() + '|' + r.value("CUR_L_NR").toString() + '|' +
                      r.value("CUR_BRT").toString());
    auto need = [&](const QString& article, int width, const QString& from) {
        if (article.trimmed().isEmpty())
            return;
        for (int idx : {1, 2})
            if (!prices.contains(QString::number(idx) + '|' + article + '|' + QString::number(width)))
                c.fail("prices", QStringLiteral("no price list %1 row for %2 (width %3) of %4").arg(idx).arg(article).arg(width).arg(from));
    };
    for (const QVariantMap& r : c.data.rows(Pgstat)) {
        const QString k = r.value("STA_NRN").toString();
        need(r.value("STA_L_NR").toString(), StaticPriceWidth(r), k);
        need(r.value("STA_L_NR_K").toString(), StaticPriceWidth(r), k);
        if (k.startsWith(QLatin1String("110")) || k.startsWith(QLatin1String("210")))
            need(r.value("STA_L_NR").toString() + QStringLiteral("-PS"), 0, k);
    }
    for (const QVariantMap& r : c.data.rows(Pgrsrl)) {
        const QString k = r.value("RSL_NRN").toString();
        need(r.value("RSL_L_NR").toString(), r.value("RSL_LG_1").toInt(), k);
        if (k.startsWith(QLatin1String("49")))
            for (const char* s : {"G2A", "G2P", "G3", "G4"})
                need(r.value("RSL_L_NR").toString() + QLatin1String(s), 0, k);
    }
    for (const QVariantMap& r : c.data.rows(Pgdyna)) {
        const bool byLength = r.value("DYN_KBEZ").toString().startsWith(QLatin1String("33"));
        need(r.value("DYN_L_NR").toString(), byLength ? r.value("DYN_E_MAX").toInt() : 0, r.value("DYN_NRN").toString());
    }
    for (const QVariantMap& r : c.data.rows(Pgcool))
        need(r.value("CLD_L_NR").toString(), 0, r.value("CLD_NRN").toString());
}

// ---------------------------------------------------------------- configurations and settings

bool PartTypeExists(const Checker& c, int type)
{
    const QString t = QString::number(type);
    const QString table = t.startsWith('3') ? Pgdyna : t.startsWith('4') ? Pgrsrl : t.startsWith('5') ? Pgcool : Pgstat;
    return !RowsWithPrefix(c, table, t.endsWith('0') ? t.left(2) : t).isEmpty();
}

// A base clamp whose article ends in 3, 4 or 5 takes lateral guides: the
// 2-way (digit 4 '1') and the 4-way guide (digit 4 '2') must exist.
void CheckLateralGuides(Checker& c)
{
    bool guided = false;
    for (const QVariantMap& r : c.data.rows(Pgrsrl)) {
        const QString article = r.value("RSL_L_NR").toString();
        if (r.value("RSL_NRN").toString().startsWith(QLatin1String("49")) && article.size() == 6 &&
            QStringLiteral("345").contains(article.at(5)))
            guided = true;
    }
    if (!guided)
        return;
    for (const char* prefix : {"7691", "7692"})
        if (RowsWithPrefix(c, Pgstat, QString::fromLatin1(prefix)).isEmpty())
            c.fail("lateral guides", QStringLiteral("no lateral guide %1 for the guided base clamps").arg(prefix));
}

void CheckArrangementRow(Checker& c, const QVariantMap& r)
{
    const int nr = r.value("A_NR").toInt();
    const bool dyn = r.value("STAT_DYN").toBool(), cold = r.value("STAT_COLD").toBool();
    const QString mds = r.value("A_MDS_NO").toString();
    const bool scopeOk = (nr >= 101 && nr <= 199 && dyn && !cold) || (nr >= 201 && nr <= 299 && dyn && cold) ||
                         (nr >= 301 && nr <= 399 && !dyn && !cold);
    if (!scopeOk)
        c.fail("configurations", QStringLiteral("%1: number and scope flags disagree").arg(nr));
    if (r.value("A_NAME").toString().size() != 8 || r.value("A_ORDERNO").toInt() < 0)
        c.fail("configurations", QStringLiteral("%1: needs an 8-letter name and an order of 0 or more").arg(nr));
    if ((nr >= 301 && mds != QLatin1String("7")) || (cold && !mds.startsWith('6') && !mds.startsWith('8')))
        c.fail("configurations", QStringLiteral("%1: host configuration '%2' does not open this scope").arg(nr).arg(mds));
    if ((mds == QLatin1String("7") || mds == QLatin1String("21v")) && r.value("A_ANZ_D").toInt() < 1)
        c.fail("configurations", QStringLiteral("%1: the host rod length needs a difference").arg(nr));
    for (int i = 1; i <= 16; ++i) {
        const int type = r.value("A_LFD_BT" + QString::number(i)).toInt();
        if (type == 0)
            break;
        if (!PartTypeExists(c, type))
            c.fail("configurations", QStringLiteral("%1: no product of part type %2").arg(nr).arg(type));
    }
}

void CheckArrangements(Checker& c)
{
    const auto rows = c.data.rows(QStringLiteral("ABHGNR.DB"));
    if (rows.isEmpty())
        c.fail("configurations", QStringLiteral("no support configuration"));
    for (const QVariantMap& r : rows)
        CheckArrangementRow(c, r);
}

void CheckSettings(Checker& c)
{
    if (c.data.rows(QStringLiteral("FIRDAT.DB")).size() != 1) {
        c.fail("settings", QStringLiteral("the settings table needs exactly one row"));
        return;
    }
    // The EN 13480-3 reserves of the options form's preset.
    const QMap<QString, QVariant> preset{
        {"F_FDIFF", 25},  {"F_BEWEGBER", 300}, {"F_LR_FH", 0},   {"F_LR_KH", 15},     {"F_WR_FH_MM", 5},
        {"F_WR_FH", 10},  {"F_WR_KH", 10},     {"F_WR_KH_MM", 25}, {"F_WR_SB", 13},   {"F_WR_GS", 25},
        {"F_WINKEL", 4},  {"F_RSRL_LR", 0},    {"F_WINKEL_KZ", true}, {"F_KALWAR_KZ", true},
        {"F_STRLOAD_KZ", QString()}};
    const QVariantMap f = c.firdat();
    for (auto it = preset.cbegin(); it != preset.cend(); ++it)
        if (f.value(it.key()).toString() != it.value().toString())
            c.fail("settings", QStringLiteral("%1 is '%2', the EN 13480-3 preset has '%3'")
                                   .arg(it.key(), f.value(it.key()).toString(), it.value().toString()));
    const QStringList axes{f.value("F_KRZ_BEZ_H").toString(), f.value("F_KRZ_BEZ_L").toString(),
                           f.value("F_KRZ_BEZ_V").toString()};
    if (QSet<QString>(axes.cbegin(), axes.cend()).size() != 3)
        c.fail("settings", QStringLiteral("the three axis labels must differ"));
}

// Every type code the catalogue carries, and the codes a base clamp takes
// with its guide variants, must have a name to print.
void CheckTypeNames(Checker& c, const QSet<int>& names)
{
    const QList<QPair<QString, QString>> columns{
        {Pgstat, "STA_KBEZ"}, {Pgstat, "STA_KBEZ_I"}, {Pgdyna, "DYN_KBEZ"}, {Pgrsrl, "RSL_KBEZ"}, {Pgcool, "CLD_KBEZ"}};
    QSet<int> codes;
    for (const auto& [table, column] : columns)
        for (const QVariantMap& r : c.data.rows(table)) {
            bool ok = false;
            const int code = r.value(column).toString().trimmed().toInt(&ok);
            if (ok && code != 0 && code != 99)  // 99: the end-of-table row
                codes.insert(code);
        }
    if (codes.contains(49))
        codes.unite(QSet<int>{4920, 4921, 493, 494});
    for (int code : codes)
        if (!names.contains(code))
            c.fail("type names", QStringLiteral("type code %1 has no name in the string table").arg(code));
}

}  // namespace

QStringList CheckCatalogue(const CatalogueData& data, const QSet<int>& typeNames)
{
    Checker c(data);
    if (!typeNames.isEmpty())
        CheckTypeNames(c, typeNames);
    for (auto check : {CheckColumns, CheckUniqueKeys, CheckSentinels, CheckLoadGroups, CheckHangers,
                       CheckComponents, CheckClamps, CheckBaseClamps, CheckDynamic, CheckCold,
                       CheckTemperatures, CheckDiameters, CheckMaterials, CheckPrices,
                       CheckLateralGuides, CheckArrangements, CheckSettings})
        check(c);
    return c.failures;
}
