#pragma once
// Creation of the five project tables of a new project. Each routine takes
// the database name (the project directory) and the table's file name and
// answers whether the table was created.
#include <QString>

bool CreateKonstrTable(const QString& databaseName, const QString& tableName);
bool CreateKonstzTable(const QString& databaseName, const QString& tableName);
bool CreateKonbtlTable(const QString& databaseName, const QString& tableName);
bool CreateKonetrTable(const QString& databaseName, const QString& tableName);
bool CreatePrjinfTable(const QString& databaseName, const QString& tableName);

// All five under their standard file names; false when any one failed.
bool CreateProjectTables(const QString& databaseName);
