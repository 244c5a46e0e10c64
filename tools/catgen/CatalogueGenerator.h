#pragma once
// Expands the rule files of the demo catalogue into the rows of every
// catalogue table, the settings row included.
#include "CatalogueData.h"
#include <QString>

// Raises CatalogueRuleError (with file and line) on a rule it cannot read.
CatalogueData GenerateCatalogue(const QString& ruleDir);
