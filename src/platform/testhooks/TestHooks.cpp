#include "platform/FaultInjection.h"

#include "platform/DbErrors.h"
#include "platform/HostFiles.h"

#include <cstdlib>
#include <unistd.h>

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
long g_hostCrashAt = 0;
long g_hostSteps = 0;

// Ends the process as a kill would, at the chosen step of a host file.
void CrashAtHostStep() {
    if (++g_hostSteps == g_hostCrashAt) ::_exit(HostFileCrashExitCode);
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
    if (const char* v = std::getenv("KORVA_TEST_CRASH_HOST_AT")) {
        g_hostCrashAt = std::atol(v);
        SetHostFileStepHook(g_hostCrashAt > 0 ? &CrashAtHostStep : nullptr);
    }
}
