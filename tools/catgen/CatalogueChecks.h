#pragma once
// Self-checks of the demo catalogue: the rules that the selection relies on
// (every product number it can form exists, capacities are monotone, clamp
// windows cover every load group, every article has a price ...). They look
// at the generated rows only, so a broken rule file is caught whatever it
// broke. Each failure is one line "<rule>: <what is wrong>".
#include "CatalogueData.h"
#include <QSet>
#include <QStringList>

// typeNames: the message numbers of the string table; when given, every
// product type code must be among them.
QStringList CheckCatalogue(const CatalogueData& data, const QSet<int>& typeNames = {});
