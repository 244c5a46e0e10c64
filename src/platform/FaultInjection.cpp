#include "platform/FaultInjection.h"

namespace {
WriteFaultHook g_hook = nullptr;
FileStepHook g_fileStep = nullptr;
CopyStepHook g_copyStep = nullptr;
RewriteStepHook g_rewriteStep = nullptr;
bool g_namelessRefused = false;
RemovalStepHook g_removalStep = nullptr;
HostWriteFaultHook g_hostWrite = nullptr;
}

void SetHostWriteFaultHook(HostWriteFaultHook hook) { g_hostWrite = hook; }
int HostWriteFaultForFault() { return g_hostWrite ? g_hostWrite() : 0; }

void SetRemovalStepHook(RemovalStepHook hook) { g_removalStep = hook; }
void RemovalStepForFault() {
    if (g_removalStep) g_removalStep();
}

void SetNamelessHostFilesRefused(bool refused) { g_namelessRefused = refused; }
bool NamelessHostFilesRefused() { return g_namelessRefused; }

void SetCopyStepHook(CopyStepHook hook) { g_copyStep = hook; }

void CopyStepForFault(const QString& file) {
    if (g_copyStep) g_copyStep(file);
}

void SetRewriteStepHook(RewriteStepHook hook) { g_rewriteStep = hook; }

void RewriteStepForFault() {
    if (g_rewriteStep) g_rewriteStep();
}

void SetFileStepHook(FileStepHook hook) { g_fileStep = hook; }

void FileStepForFault() {
    if (g_fileStep) g_fileStep();
}

void SetWriteFaultHook(WriteFaultHook hook) { g_hook = hook; }

void CountWriteForFault() {
    if (g_hook) g_hook();
}
