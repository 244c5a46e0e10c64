// Replaces table files' content and dies at a chosen file deletion, as a
// process killed in the middle of the commit would: the rollback journals
// and the multi-file journal are removed by deletions, so each one is an
// instant at which the files on disk can be caught half committed.
//
// replacecrash <n> <target> <source> [<target> <source> ...]
// ends with 42 when it died before the n-th deletion, 0 when the
// replacement finished first, 1 on an error.
#include "platform/DbErrors.h"
#include "platform/TableFile.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
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

int main(int argc, char** argv) {
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
