#pragma once
// Fault hooks for tests. The layer only offers the seam (a function called
// before every write statement); the hooks themselves live in the library
// korva_testhooks, which only the tests and the test build of the program
// link, so the program users run has no way to arm them.
using WriteFaultHook = void (*)();
void SetWriteFaultHook(WriteFaultHook hook);
// Called by the layer before every write statement.
void CountWriteForFault();

// Called by the layer at each step on files that SQLite does not make (a
// rename that puts a table into place); the crash hook counts it as a
// change to a file.
using FileStepHook = void (*)();
void SetFileStepHook(FileStepHook hook);
void FileStepForFault();

// Called by the copy of table files under their shared locks, before each
// file is copied (every lock is held then); a test hook may hold the copy
// there.
#include <QString>
using CopyStepHook = void (*)(const QString& file);
void SetCopyStepHook(CopyStepHook hook);
void CopyStepForFault(const QString& file);

// Called by the upgrade and the conversion of a project's tables once the
// working copies are made and before they go into place; a test hook may
// hold the rewrite there.
using RewriteStepHook = void (*)();
void SetRewriteStepHook(RewriteStepHook hook);
void RewriteStepForFault();

// Called by the removal of a work directory after each entry it removed
// (also inside a signal handler: a hook does only what is safe there).
using RemovalStepHook = void (*)();
void SetRemovalStepHook(RemovalStepHook hook);
void RemovalStepForFault();

// Called by the host file writer before each write and reservation: a
// hook returns the error number it fails with, 0 to let it go ahead.
using HostWriteFaultHook = int (*)();
void SetHostWriteFaultHook(HostWriteFaultHook hook);
int HostWriteFaultForFault();

// The host file writer makes its temporary file with a name from the start,
// as on a file system without nameless files, while this is set.
void SetNamelessHostFilesRefused(bool refused);
bool NamelessHostFilesRefused();

// In korva_testhooks: fail the n-th write statement run through the layer
// with EDBEngineError(dbeInjectedFault); 0 disarms.
void ArmWriteFault(int nthWrite);
int WriteFaultArmed();
// In korva_testhooks: arms the hooks from the environment of a test run
// (KORVA_TEST_FAIL_WRITE=n: the n-th write statement fails;
// KORVA_TEST_CRASH_AT=n: the process ends at once, as if killed, at the
// n-th write, sync, truncation or deletion of a file by SQLite;
// KORVA_TEST_CRASH_HOST_AT=n: the process ends at once with
// HostFileCrashExitCode at the n-th step of a host file: opened, each
// write, committed; KORVA_TEST_CRASH_HOST_AT=named: the same when a
// complete temporary file has its name, before it is renamed into place;
// KORVA_TEST_CRASH_HOST_BY_SIGTERM=1: the process sends itself SIGTERM
// there instead;
// KORVA_TEST_NAMED_TEMPORARY=1: SetNamelessHostFilesRefused(true);
// KORVA_TEST_FAIL_HOST_WRITE=n: the n-th write of a host file (a
// reservation of its room counts as one) fails with ENOSPC, as on a full
// device;
// KORVA_TEST_TERM_IN_REMOVAL=1: the process sends itself SIGTERM once,
// after the first entry the removal of a work directory removed;
// KORVA_TEST_PAUSE_COPY=<FIFO>: the copy of table files under their locks
// says "KORVA test: copy paused" on standard error before its first file
// and waits until the FIFO's writer has closed it);
// KORVA_TEST_PAUSE_REWRITE=<FIFO>: the first upgrade or conversion of a
// project says "KORVA test: rewrite paused" on standard error once its
// copies are made, before they go into place, and waits the same way).
void ArmTestHooksFromEnvironment();
inline constexpr int HostFileCrashExitCode = 86;
