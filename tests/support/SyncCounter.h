#pragma once
// Counts the disk syncs of the program that includes this file: fdatasync
// and fsync are interposed here, as SQLite and Qt call them from their
// shared libraries. Include it in one source file of a program only.
#include <atomic>
#include <dlfcn.h>

inline std::atomic<long> g_syncs{0};

extern "C" int fdatasync(int fd) {
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fdatasync"));
    ++g_syncs;
    return real(fd);
}

extern "C" int fsync(int fd) {
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    ++g_syncs;
    return real(fd);
}
