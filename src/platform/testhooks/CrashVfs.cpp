// A VFS shim over the default one that ends the process, as a kill would
// (no destructors, no buffers flushed), at the n-th change to any file:
// a write, a sync, a truncation or a deletion. Stepping n through every
// value crashes a commit at each point between the files' writes.
#include "platform/FaultInjection.h"

#include <sqlite3.h>

#include <cstring>
#include <unistd.h>

namespace {

sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_vfs;
long g_crashAt = 0;
long g_events = 0;

constexpr int kCrashStatus = 86;

void Event() {
    if (g_crashAt > 0 && ++g_events >= g_crashAt) ::_exit(kCrashStatus);
}

struct ShimFile {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<ShimFile*>(f)->real; }

int Close(sqlite3_file* f) { return Real(f)->pMethods ? Real(f)->pMethods->xClose(Real(f)) : SQLITE_OK; }
int Read(sqlite3_file* f, void* b, int n, sqlite3_int64 o) { return Real(f)->pMethods->xRead(Real(f), b, n, o); }
int Write(sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
    Event();
    return Real(f)->pMethods->xWrite(Real(f), b, n, o);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    Event();
    return Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags) {
    Event();
    return Real(f)->pMethods->xSync(Real(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* s) { return Real(f)->pMethods->xFileSize(Real(f), s); }
int Lock(sqlite3_file* f, int l) { return Real(f)->pMethods->xLock(Real(f), l); }
int Unlock(sqlite3_file* f, int l) { return Real(f)->pMethods->xUnlock(Real(f), l); }
int CheckReservedLock(sqlite3_file* f, int* r) { return Real(f)->pMethods->xCheckReservedLock(Real(f), r); }
int FileControl(sqlite3_file* f, int op, void* a) { return Real(f)->pMethods->xFileControl(Real(f), op, a); }
int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int DeviceCharacteristics(sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); }
int ShmMap(sqlite3_file* f, int i, int sz, int e, void volatile** p) {
    return Real(f)->pMethods->xShmMap(Real(f), i, sz, e, p);
}
int ShmLock(sqlite3_file* f, int o, int n, int fl) { return Real(f)->pMethods->xShmLock(Real(f), o, n, fl); }
void ShmBarrier(sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); }
int ShmUnmap(sqlite3_file* f, int d) { return Real(f)->pMethods->xShmUnmap(Real(f), d); }
int Fetch(sqlite3_file* f, sqlite3_int64 o, int n, void** p) { return Real(f)->pMethods->xFetch(Real(f), o, n, p); }
int Unfetch(sqlite3_file* f, sqlite3_int64 o, void* p) { return Real(f)->pMethods->xUnfetch(Real(f), o, p); }

const sqlite3_io_methods g_methods = {3,        Close,    Read,        Write,  Truncate,   Sync,
                                      FileSize, Lock,     Unlock,      CheckReservedLock, FileControl,
                                      SectorSize, DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier,
                                      ShmUnmap, Fetch,    Unfetch};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    ShimFile* s = reinterpret_cast<ShimFile*>(f);
    s->real = reinterpret_cast<sqlite3_file*>(s + 1);
    std::memset(s->real, 0, size_t(g_real->szOsFile));
    const int rc = g_real->xOpen(g_real, name, s->real, flags, outFlags);
    s->base.pMethods = s->real->pMethods ? &g_methods : nullptr;
    return rc;
}
int Delete(sqlite3_vfs*, const char* name, int syncDir) {
    Event();
    return g_real->xDelete(g_real, name, syncDir);
}
int Access(sqlite3_vfs*, const char* n, int fl, int* r) { return g_real->xAccess(g_real, n, fl, r); }
int FullPathname(sqlite3_vfs*, const char* n, int sz, char* out) { return g_real->xFullPathname(g_real, n, sz, out); }
void* DlOpen(sqlite3_vfs*, const char* n) { return g_real->xDlOpen(g_real, n); }
void DlError(sqlite3_vfs*, int n, char* m) { g_real->xDlError(g_real, n, m); }
void (*DlSym(sqlite3_vfs*, void* h, const char* s))(void) { return g_real->xDlSym(g_real, h, s); }
void DlClose(sqlite3_vfs*, void* h) { g_real->xDlClose(g_real, h); }
int Randomness(sqlite3_vfs*, int n, char* out) { return g_real->xRandomness(g_real, n, out); }
int Sleep(sqlite3_vfs*, int us) { return g_real->xSleep(g_real, us); }
int CurrentTime(sqlite3_vfs*, double* t) { return g_real->xCurrentTime(g_real, t); }
int GetLastError(sqlite3_vfs*, int n, char* m) { return g_real->xGetLastError ? g_real->xGetLastError(g_real, n, m) : 0; }
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t) { return g_real->xCurrentTimeInt64(g_real, t); }

}  // namespace

void InstallCrashVfs(long crashAt) {
    if (crashAt <= 0 || g_real) return;
    sqlite3_initialize();
    g_real = sqlite3_vfs_find(nullptr);
    g_crashAt = crashAt;
    std::memset(&g_vfs, 0, sizeof g_vfs);
    g_vfs.iVersion = 2;
    g_vfs.szOsFile = int(sizeof(ShimFile)) + g_real->szOsFile;
    g_vfs.mxPathname = g_real->mxPathname;
    g_vfs.zName = "korva-crash";
    g_vfs.xOpen = Open;
    g_vfs.xDelete = Delete;
    g_vfs.xAccess = Access;
    g_vfs.xFullPathname = FullPathname;
    g_vfs.xDlOpen = DlOpen;
    g_vfs.xDlError = DlError;
    g_vfs.xDlSym = DlSym;
    g_vfs.xDlClose = DlClose;
    g_vfs.xRandomness = Randomness;
    g_vfs.xSleep = Sleep;
    g_vfs.xCurrentTime = CurrentTime;
    g_vfs.xGetLastError = GetLastError;
    g_vfs.xCurrentTimeInt64 = CurrentTimeInt64;
    sqlite3_vfs_register(&g_vfs, 1);
    SetFileStepHook(&Event);
}
