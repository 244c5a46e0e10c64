// Replaces table files' content and dies at a chosen file deletion, as a
// process killed in the middle of the commit would: the rollback journals
// and the multi-file journal are removed by deletions, so each one is an
// instant at which the files on disk can be caught half committed.
//
// replacecrash <n> <target> <source> [<target> <source> ...]
// ends with 42 when it died before the n-th deletion, 0 when the
// replacement finished first, 1 on an error.
//
// replacecrash write <file>
// a writer of another process that does not wait: commits a change to the
// file and ends with 0, or ends with 5 when another holds its write lock.
//
// replacecrash holdthen <first> <second>
// a writer that locks the files in its own order: takes the write lock of
// the first file, says "held" on standard output, and half a second later
// writes the second one too, waiting for it up to ten seconds; ends with
// 0 when both were committed, 5 when the second stayed locked.
#include "platform/DbErrors.h"
#include "platform/TableFile.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

sqlite3_vfs* g_base = nullptr;
sqlite3_vfs g_shim;
int g_deletes = 0;
int g_dieAt = 0;

int DyingDelete(sqlite3_vfs*, const char* path, int syncDir) {
    if (++g_deletes == g_dieAt) ::_exit(42);
    return g_base->xDelete(g_base, path, syncDir);
}

}  // namespace

// 0 committed, 5 refused for a lock, 1 another error.
int WriteWithoutWaiting(const char* path) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "BEGIN IMMEDIATE; CREATE TABLE korva_probe (x); DROP TABLE korva_probe; COMMIT;",
                          nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK ? 0 : (rc & 0xff) == SQLITE_BUSY ? 5 : 1;
}

// 0 both committed, 5 refused for a lock, 1 another error.
int HoldThenWrite(const char* first, const char* second) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(first, &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) sqlite3_busy_timeout(db, 10000);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "BEGIN IMMEDIATE; CREATE TABLE korva_probe (x);", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        std::printf("held\n");
        std::fflush(stdout);
        ::usleep(500000);
        char* sql = sqlite3_mprintf("ATTACH DATABASE %Q AS second; CREATE TABLE second.korva_probe (x); "
                                    "DROP TABLE second.korva_probe; DROP TABLE main.korva_probe; COMMIT;",
                                    second);
        rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_free(sql);
    }
    if (rc != SQLITE_OK) std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
    sqlite3_close(db);
    return rc == SQLITE_OK ? 0 : (rc & 0xff) == SQLITE_BUSY ? 5 : 1;
}

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "write") == 0) return WriteWithoutWaiting(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "holdthen") == 0) return HoldThenWrite(argv[2], argv[3]);
    if (argc < 4 || (argc - 2) % 2 != 0) return 1;
    g_dieAt = std::atoi(argv[1]);
    g_base = sqlite3_vfs_find(nullptr);
    g_shim = *g_base;
    g_shim.zName = "dying";
    g_shim.xDelete = DyingDelete;
    sqlite3_vfs_register(&g_shim, 1);
    QList<QPair<QString, QString>> pairs;
    for (int i = 2; i + 1 < argc; i += 2) pairs.append({QString::fromLocal8Bit(argv[i]), QString::fromLocal8Bit(argv[i + 1])});
    try {
        ReplaceTableFilesContent(pairs);
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
        return 1;
    }
    return 0;
}
