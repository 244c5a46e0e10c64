#pragma once
// What a run leaves in the file system while it works must not outlive it:
// the private directory of the session ("KORVA" and six characters,
// directly in the temporary folder), the work directory of a tool run
// ("korva-select-" and six characters there), and a host file's temporary
// copy while it has a name. While a directory is in use the run holds a
// lock on it; a terminating signal (SIGTERM, SIGHUP, SIGINT) removes what
// is registered before the process ends, and a later start removes the
// directories whose run is gone (no lock held on them). A kill that no
// handler sees (SIGKILL) leaves them to that later start.
#include <QByteArray>
#include <QString>

// True for a name this system gives its private or work directories.
bool IsRunDirectoryName(const QString& name);

// Called by the session: the directory becomes (or, empty, stops being) the
// run's own directory. Directories that are not run directories by name
// and place are never registered. The private directory holds only files.
void RegisterRunDirectory(const QString& dir);

// A work directory of this run (a tree) in the temporary folder, made with
// a run directory's name and locked at once. Empty when it cannot be made.
// It is removed by RemoveWorkDirectory, by a terminating signal, or by a
// later start once this run is gone.
QString MakeWorkDirectory(const QString& prefix);
void RemoveWorkDirectory();

// A file of this run that a terminating signal removes (a host file's
// temporary copy while it has a name); at most a few at once.
void RegisterTemporaryFile(const QByteArray& nativePath);
void UnregisterTemporaryFile(const QByteArray& nativePath);

// SIGTERM, SIGHUP and SIGINT remove what is registered, then end the
// process as the signal would have.
void InstallRunDirectorySignalHandlers();

// Removes this user's run and work directories in the temporary folder
// whose run has ended (no lock on them) and that are older than a few
// seconds, so a run that is just starting keeps its new directory. Returns
// how many went.
int RemoveAbandonedRunDirectories(const QString& tempDir = {});
