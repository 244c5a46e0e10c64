#pragma once
// The private directory of a run ("KORVA" and six characters, directly in
// the temporary folder) must not outlive the run. While it is the session's
// private directory the run holds a lock on it; a terminating signal
// (SIGTERM, SIGHUP, SIGINT) removes it before the process ends, and a later
// start removes the directories whose run is gone (no lock held on them).
#include <QString>

// True for a name this system gives its private directories.
bool IsRunDirectoryName(const QString& name);

// Called by the session: the directory becomes (or, empty, stops being) the
// run's own directory. Directories that are not run directories by name
// and place are never registered.
void RegisterRunDirectory(const QString& dir);

// SIGTERM, SIGHUP and SIGINT remove the registered directory, then end the
// process as the signal would have.
void InstallRunDirectorySignalHandlers();

// Removes this user's run directories in the temporary folder whose run has
// ended (no lock on them) and that are older than a few seconds, so a run
// that is just starting keeps its new directory. Returns how many went.
int RemoveAbandonedRunDirectories(const QString& tempDir = {});
