#include "platform/FaultInjection.h"

#include "platform/DbErrors.h"
#include "platform/HostFiles.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <cstring>
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
bool g_hostCrashNamed = false;
bool g_hostCrashByTerm = false;

// At the chosen step: ended at once as a kill would, or by SIGTERM, whose
// handler removes what the run registered.
void EndAtHostStep() {
    if (g_hostCrashByTerm) {
        ::raise(SIGTERM);
        return;
    }
    ::_exit(HostFileCrashExitCode);
}

// Ends the process as a kill would, at the chosen step of a host file (the
// steps opened, written and committed are counted), or when a complete
// temporary file has its name and is not yet in place.
void CrashAtHostStep(HostFileStep step) {
    if (step == HostFileStep::Named) {
        if (g_hostCrashNamed) EndAtHostStep();
        return;
    }
    if (++g_hostSteps == g_hostCrashAt) EndAtHostStep();
}
long g_hostWriteFailAt = 0;
long g_hostWrites = 0;

// The chosen write of a host file fails as a write to a full device does.
int FailNthHostWrite() { return ++g_hostWrites == g_hostWriteFailAt ? ENOSPC : 0; }

QByteArray g_copyGate;
QByteArray g_rewriteGate;

// Says where the run is held, then waits until the test has closed the
// gate (a FIFO) it opened for writing. Each gate holds the run once.
void PauseAtGate(QByteArray& gate, const char* what) {
    if (gate.isEmpty()) return;
    const QByteArray path = gate;
    gate.clear();
    std::fprintf(stderr, "KORVA test: %s\n", what);
    std::fflush(stderr);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    char buffer[64];
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
    ::close(fd);
}

// Ends the process by SIGTERM once, in the middle of a removal.
volatile sig_atomic_t g_termSent = 0;
void TermOnce() {
    if (g_termSent) return;
    g_termSent = 1;
    ::raise(SIGTERM);
}

// Holds the first copy of table files, and the first upgrade or conversion
// of a project once its copies are made.
void PauseAtFirstCopy(const QString& file) {
    PauseAtGate(g_copyGate, qPrintable(QStringLiteral("copy paused at %1").arg(file)));
}
void PauseAtFirstRewrite() { PauseAtGate(g_rewriteGate, "rewrite paused"); }
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
    if (std::getenv("KORVA_TEST_TERM_IN_REMOVAL")) SetRemovalStepHook(&TermOnce);
    if (const char* v = std::getenv("KORVA_TEST_NAMED_TEMPORARY")) SetNamelessHostFilesRefused(std::atoi(v) != 0);
    if (const char* v = std::getenv("KORVA_TEST_FAIL_HOST_WRITE")) {
        g_hostWriteFailAt = std::atol(v);
        SetHostWriteFaultHook(g_hostWriteFailAt > 0 ? &FailNthHostWrite : nullptr);
    }
    if (const char* v = std::getenv("KORVA_TEST_PAUSE_COPY")) {
        g_copyGate = QByteArray(v);
        SetCopyStepHook(&PauseAtFirstCopy);
    }
    if (const char* v = std::getenv("KORVA_TEST_PAUSE_REWRITE")) {
        g_rewriteGate = QByteArray(v);
        SetRewriteStepHook(&PauseAtFirstRewrite);
    }
    if (const char* v = std::getenv("KORVA_TEST_CRASH_HOST_AT")) {
        g_hostCrashNamed = std::strcmp(v, "named") == 0;
        g_hostCrashByTerm = std::getenv("KORVA_TEST_CRASH_HOST_BY_SIGTERM") != nullptr;
        g_hostCrashAt = std::atol(v);
        SetHostFileStepHook(g_hostCrashAt > 0 || g_hostCrashNamed ? &CrashAtHostStep : nullptr);
    }
}
