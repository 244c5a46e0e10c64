#include "platform/FaultInjection.h"

#include "platform/DbErrors.h"

#include <cstdlib>

void InstallCrashVfs(long crashAt);

namespace {
int g_armed = 0;
int g_count = 0;

void FailNthWrite() {
    if (g_armed == 0) return;
    if (++g_count == g_armed) {
        g_armed = 0;
        throw EDBEngineError(dbeInjectedFault, "Injected write failure");
    }
}
}  // namespace

void ArmWriteFault(int nthWrite) {
    g_armed = nthWrite < 0 ? 0 : nthWrite;
    g_count = 0;
    SetWriteFaultHook(g_armed ? &FailNthWrite : nullptr);
}

int WriteFaultArmed() { return g_armed; }

void ArmTestHooksFromEnvironment() {
    if (const char* v = std::getenv("KORVA_TEST_FAIL_WRITE")) ArmWriteFault(std::atoi(v));
    if (const char* v = std::getenv("KORVA_TEST_CRASH_AT")) InstallCrashVfs(std::atol(v));
}
