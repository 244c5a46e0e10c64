#pragma once
// A project directory for delete-mode tests: the four support tables with
// their key fields and the position number, filled with supports whose
// rows are spread over all four tables.
#include "platform/Database.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/TableFile.h"

#include <QString>
#include <QVariantList>

namespace fixture {

inline const char* const SupportTableNames[] = {"konstr8", "konstz8", "konbtl8", "konetr8"};
inline const char* const SupportKeyFields[] = {"K_F_NR_AUS", "K_F_NR_AUS", "KB_F_NR_AUS", "KE_F_NR_AUS"};

inline void CreateSupportTables(const QString& dir) {
    CreateTableFile(TablePath(dir, "konstr8.db"),
                    {{"K_F_NR_AUS", TFieldType::Integer}, {"K_LFD_NR", TFieldType::Integer},
                     {"K_POS_NR", TFieldType::String, 32}, {"K_NAME", TFieldType::String, 21},
                     {"K_LAST", TFieldType::Float}},
                    {{"", {"K_F_NR_AUS"}, true, true}});
    CreateTableFile(TablePath(dir, "konstz8.db"),
                    {{"K_F_NR_AUS", TFieldType::Integer}, {"K_CALC_NR", TFieldType::String, 32}},
                    {{"", {"K_F_NR_AUS"}, true, true}});
    CreateTableFile(TablePath(dir, "konbtl8.db"),
                    {{"KB_F_NR_AUS", TFieldType::Integer}, {"KB_LFD_ZNR", TFieldType::SmallInt},
                     {"KB_POS", TFieldType::SmallInt}, {"KB_BTL", TFieldType::String, 6},
                     {"KB_ANZ", TFieldType::SmallInt}},
                    {{"", {"KB_F_NR_AUS", "KB_LFD_ZNR", "KB_POS"}, true, true}});
    CreateTableFile(TablePath(dir, "konetr8.db"),
                    {{"KE_F_NR_AUS", TFieldType::Integer}, {"KE_BEZ", TFieldType::String, 31},
                     {"KE_ANZ", TFieldType::SmallInt}});
}

// Runs fn with the name of a database for dir: an open one when dir already
// names one, else one of its own that closes again afterwards, so that the
// fixture leaves no connection behind.
template <typename Fn>
auto WithDatabase(const QString& dirOrName, Fn&& fn) {
    if (Session().FindDatabase(dirOrName)) return fn(dirOrName);
    static int count = 0;
    const QString name = QString("KORVA_FIXTURE_%1").arg(++count);
    TDatabase db{name};
    db.SetDirectory(dirOrName);
    return fn(name);
}

inline void Exec(const QString& dir, const QString& sql, const QVariantList& params) {
    WithDatabase(dir, [&](const QString& db) {
        TQuery q(db, sql);
        q.SetParams(params);
        q.ExecSQL();
    });
}

// One support under its drawing key: a konstr8 and a konstz8 row, `parts`
// parts-list rows and one extra part.
inline void AddSupport(const QString& dir, int key, const QString& posNo, int parts = 3) {
    Exec(dir, "insert into konstr8 (K_F_NR_AUS, K_LFD_NR, K_POS_NR, K_NAME, K_LAST) values (?, ?, ?, ?, ?)",
         {key, key % 10000, posNo, "Support " + posNo, 12.5});
    Exec(dir, "insert into konstz8 (K_F_NR_AUS, K_CALC_NR) values (?, ?)", {key, "C" + posNo});
    for (int p = 1; p <= parts; ++p)
        Exec(dir, "insert into konbtl8 (KB_F_NR_AUS, KB_LFD_ZNR, KB_POS, KB_BTL, KB_ANZ) values (?, ?, ?, ?, ?)",
             {key, 1, p, "A" + QString::number(p), 1});
    Exec(dir, "insert into konetr8 (KE_F_NR_AUS, KE_BEZ, KE_ANZ) values (?, ?, ?)", {key, "extra", 2});
}

// Many supports at once, in one transaction (position numbers "H-<n>").
inline void AddManySupports(const QString& dir, int count, int parts = 3) {
    WithDatabase(dir, [&](const QString& name) {
        InTransaction(*Session().FindDatabase(name), [&] {
            for (int i = 1; i <= count; ++i) AddSupport(name, 100000000 + i, "H-" + QString::number(i), parts);
        });
    });
}

inline int Count(const QString& dir, const QString& sql, const QVariantList& params = {}) {
    return WithDatabase(dir, [&](const QString& db) {
        TQuery q(db, sql);
        q.SetParams(params);
        q.Open();
        const int n = q.Fields(0).AsInteger();
        q.Close();
        return n;
    });
}

// Rows of a support in the four tables, in table order.
inline QList<int> RowsOf(const QString& dir, int key) {
    QList<int> rows;
    for (int t = 0; t < 4; ++t)
        rows << Count(dir, QString("select count(*) from %1 where %2 = ?").arg(SupportTableNames[t], SupportKeyFields[t]),
                      {key});
    return rows;
}

inline QList<int> TotalRows(const QString& dir) {
    QList<int> rows;
    for (const char* t : SupportTableNames) rows << Count(dir, QString("select count(*) from %1").arg(t));
    return rows;
}

}  // namespace fixture
