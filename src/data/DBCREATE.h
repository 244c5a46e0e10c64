#pragma once
// Creation of the five project tables of a new project. Each routine takes
// the database name (the project directory) and the table's file name and
// answers whether the table was created.
#include <QString>
#include <functional>

bool CreateKonstrTable(const QString& databaseName, const QString& tableName);
bool CreateKonstzTable(const QString& databaseName, const QString& tableName);
bool CreateKonbtlTable(const QString& databaseName, const QString& tableName);
bool CreateKonetrTable(const QString& databaseName, const QString& tableName);
bool CreatePrjinfTable(const QString& databaseName, const QString& tableName);

// All five under their standard file names, as one step: a kill at any
// instant leaves either none of them or all of them (the next creation or
// project check finishes what was complete). fill, when given, writes into
// the tables before they go into place; it gets the directory they are
// built in. One start at a time creates a project in a directory: another
// waits for it and then finds the five tables there, which is success.
// False, with the cause in reason, when a table could not be created, fill
// raised, the directory holds only part of a project (never completed over
// it) or another start did not finish within ProjectCreationWaitMs.
bool CreateProjectTables(const QString& databaseName, const std::function<void(const QString&)>& fill = {},
                         QString* reason = nullptr);
// A new project: the five tables and the settings row copied from the
// company settings, as one step.
bool CreateNewProject(const QString& databaseName, QString* reason = nullptr);
// Moves the tables of a creation that was complete but not yet in place
// when the process ended; true when there is nothing left to move.
bool FinishProjectCreation(const QString& databaseName);

// How long a start waits for another one creating a project in the same
// directory (creating it takes well under a second).
inline constexpr int ProjectCreationWaitMs = 30000;
// Told, with the directory, when a start has waited ProjectWaitNoticeMs for
// another one there (waiting true, and again at every look at the lock
// while the wait lasts, so that a window can paint itself), and once when
// that wait ends (false). The program shows its waiting form; by default
// nobody is told.
using ProjectWaitNotice = std::function<void(const QString& directory, bool waiting)>;
void SetProjectWaitNotice(ProjectWaitNotice notice);
inline constexpr int ProjectWaitNoticeMs = 1000;
// Runs look on the directory while no other start creates a project in it,
// puts one in place or checks and upgrades the one there (the project
// check runs its whole work as a look), after putting in place what a
// creation ended by a kill left complete: look sees no project or a whole
// one. False (look not run) when another start held the directory for the
// whole wait; reason says so. A directory this user cannot lock (no right to write there) is
// looked at as it stands.
bool LookAtSettledProject(const QString& databaseName, const std::function<void()>& look, QString* reason = nullptr,
                          int waitMs = ProjectCreationWaitMs);
