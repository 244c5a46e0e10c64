#pragma once
// Prices of the catalogue's article numbers (PGCURE.DB) for the project's
// price list, the price run over the project's parts list, and the
// project's currency.
#include <QString>
#include <cstdint>

// The price of the article with exactly this width class (0: the first row
// of the article); 0 when there is none. Discounted rows lose
// CalcGlobals.PriceDiscountPercent.
double LookupPrice(const QString& article, int width, bool galvanised);
// As LookupPrice, but with a width the smallest width class at or above it.
double LookupPriceFiltered(const QString& article, int width, bool galvanised);

// Prices every row of the project's parts list (konbtl8) again into KB_PRS.
// Every table it touches is left open or closed, filtered or not, as it was
// found, also when a database error ends the run. A 660/670 rod whose
// length in KB_BTL_ZUS is no whole number keeps its price; the others are
// priced and then EConvertError names the first such length.
void PricePartsList();

// Sets CalcGlobals.PriceIndex from the project settings (17 -> 1, 23 -> 2),
// else from the system's default language, and returns it.
int32_t ProjectCurrency();
// Writes the currency code of the price list into the project settings
// (1 -> 17, 2 -> 23, else 0); false when it could not be written.
bool SetProjectCurrency(int index);

// The price list of a language identifier when the project names none.
int32_t PriceIndexOfLanguage(uint32_t langId);
