#include "platform/FaultInjection.h"

#include "platform/DbErrors.h"

#include <cstdlib>

namespace {
int g_armed = -1;  // -1: not yet read from the environment
int g_count = 0;

void ReadEnvironmentOnce() {
    if (g_armed >= 0) return;
    const char* v = std::getenv("KORVA_TEST_FAIL_WRITE");
    g_armed = v ? std::atoi(v) : 0;
    if (g_armed < 0) g_armed = 0;
}
}  // namespace

void ArmWriteFault(int nthWrite) {
    g_armed = nthWrite < 0 ? 0 : nthWrite;
    g_count = 0;
}

int WriteFaultArmed() {
    ReadEnvironmentOnce();
    return g_armed;
}

void CountWriteForFault() {
    ReadEnvironmentOnce();
    if (g_armed == 0) return;
    if (++g_count == g_armed) {
        g_armed = 0;
        throw EDBEngineError(dbeInjectedFault, "Injected write failure");
    }
}
