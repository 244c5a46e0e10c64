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
// built in. False when a table could not be created or fill raised.
bool CreateProjectTables(const QString& databaseName, const std::function<void(const QString&)>& fill = {});
// A new project: the five tables and the settings row copied from the
// company settings, as one step.
bool CreateNewProject(const QString& databaseName);
// Moves the tables of a creation that was complete but not yet in place
// when the process ended; true when there is nothing left to move.
bool FinishProjectCreation(const QString& databaseName);
