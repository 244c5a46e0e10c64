#include "platform/FaultInjection.h"

namespace {
WriteFaultHook g_hook = nullptr;
FileStepHook g_fileStep = nullptr;
CopyStepHook g_copyStep = nullptr;
}

void SetCopyStepHook(CopyStepHook hook) { g_copyStep = hook; }

void CopyStepForFault(const QString& file) {
    if (g_copyStep) g_copyStep(file);
}

void SetFileStepHook(FileStepHook hook) { g_fileStep = hook; }

void FileStepForFault() {
    if (g_fileStep) g_fileStep();
}

void SetWriteFaultHook(WriteFaultHook hook) { g_hook = hook; }

void CountWriteForFault() {
    if (g_hook) g_hook();
}
