#include "platform/FaultInjection.h"

namespace {
WriteFaultHook g_hook = nullptr;
}

void SetWriteFaultHook(WriteFaultHook hook) { g_hook = hook; }

void CountWriteForFault() {
    if (g_hook) g_hook();
}
