#pragma once
// Writes the demo catalogue into table files of a directory, one file per
// table of the schema (tables without rows are created empty).
#include "CatalogueData.h"
#include <QString>

// Existing table files of the same names are replaced. Raises the database
// layer's errors.
void WriteCatalogue(const CatalogueData& data, const QString& dir);
