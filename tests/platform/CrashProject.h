#pragma once
// The project of the crash tests: four support tables, supports under keys
// with a number of parts-list rows that differs from key to key, and a check
// of every table file with plain SQLite.
#include "platform/TableFile.h"

#include <QDir>
#include <QMap>
#include <QSet>
#include <QString>
#include <sqlite3.h>

namespace crashproject {

inline const char* const TableNames[] = {"konstr8", "konstz8", "konbtl8", "konetr8"};
inline const char* const KeyFields[] = {"K_F_NR_AUS", "K_F_NR_AUS", "KB_F_NR_AUS", "KE_F_NR_AUS"};

inline int KeyOf(int n) { return 100000000 + n * 7; }
inline QString PosNo(int key) { return QString("H-%1").arg(key); }
inline int PartsOf(int key) { return 1 + key % 5; }

inline void Create(const QString& dir) {
    QDir().mkpath(dir);
    CreateTableFile(TablePath(dir, "konstr8.db"),
                    {{"K_F_NR_AUS", TFieldType::Integer}, {"K_POS_NR", TFieldType::String, 32}, {"K_LAST", TFieldType::Float}},
                    {{"", {"K_F_NR_AUS"}, true, true}});
    CreateTableFile(TablePath(dir, "konstz8.db"),
                    {{"K_F_NR_AUS", TFieldType::Integer}, {"K_CALC_NR", TFieldType::String, 32}},
                    {{"", {"K_F_NR_AUS"}, true, true}});
    CreateTableFile(TablePath(dir, "konbtl8.db"),
                    {{"KB_F_NR_AUS", TFieldType::Integer}, {"KB_LFD_ZNR", TFieldType::SmallInt},
                     {"KB_POS", TFieldType::SmallInt}, {"KB_BTL", TFieldType::String, 6}, {"KB_ANZ", TFieldType::SmallInt}},
                    {{"", {"KB_F_NR_AUS", "KB_LFD_ZNR", "KB_POS"}, true, true}});
    CreateTableFile(TablePath(dir, "konetr8.db"),
                    {{"KE_F_NR_AUS", TFieldType::Integer}, {"KE_BEZ", TFieldType::String, 31}, {"KE_ANZ", TFieldType::SmallInt}});
}

struct Check {
    QString problem;  // empty: every file sound, every support whole or absent
    int supports = 0;
    QSet<int> keys;
};

// Opens every table file on its own with plain SQLite, as the next run
// would (a hot journal is rolled back or dropped right there), checks its
// integrity and counts the rows of every support in every table.
inline Check Verify(const QString& dir) {
    Check c;
    QMap<int, QList<int>> rows;
    for (int t = 0; t < 4; ++t) {
        sqlite3* db = nullptr;
        const QString file = TablePath(dir, TableNames[t]);
        if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            c.problem = "cannot open " + file;
            sqlite3_close(db);
            return c;
        }
        sqlite3_busy_timeout(db, 5000);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
        const bool stepped = sqlite3_step(st) == SQLITE_ROW;
        const QString result = stepped ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)))
                                       : QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(st);
        if (result != "ok") {
            c.problem = file + ": " + result;
            sqlite3_close(db);
            return c;
        }
        const QByteArray sql = QString("SELECT %1, count(*) FROM %2 GROUP BY %1").arg(KeyFields[t], TableNames[t]).toUtf8();
        sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            auto& r = rows[sqlite3_column_int(st, 0)];
            while (r.size() < 4) r << 0;
            r[t] = sqlite3_column_int(st, 1);
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
    for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
        QList<int> r = it.value();
        while (r.size() < 4) r << 0;
        const QList<int> whole{1, 1, PartsOf(it.key()), 1};
        if (r != whole) {
            c.problem = QString("support %1 is incomplete: rows %2 %3 %4 %5")
                            .arg(it.key()).arg(r[0]).arg(r[1]).arg(r[2]).arg(r[3]);
            return c;
        }
        c.keys.insert(it.key());
    }
    c.supports = int(rows.size());
    return c;
}

}  // namespace crashproject
