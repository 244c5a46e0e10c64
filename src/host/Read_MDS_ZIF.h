#pragma once
// The host input file: an INI-form text file describing the support
// position, read once into the host globals.
#include <QString>
#include <cstdint>

// The name of the catalogue alias that holds the configuration table.
inline constexpr const char* CatalogueAlias = "KORVA_9_0";

// Reads the file named by InputFileName into the host globals. A missing
// file or key gives the defaults; unreadable numbers count as 0. A file
// larger than any real input file is refused with EGeneralError naming it,
// before anything is read into the globals.
void ReadMdsInputFile();

// A number written with "." or "," as its decimal separator; 0 for an empty
// or unreadable text.
double StrToFloatAnySep(const QString& text);

// A whole number (decimal, or hexadecimal after "$" or "0x"); 0 for an
// empty or unreadable text or one outside 32 bits.
int32_t StrToIntSafe(const QString& text);

// A temperature: a whole number as written, a number with decimals rounded
// to the nearest whole number (halves to the even one); 0 when unreadable or
// outside 32 bits.
int32_t TemperatureFromText(const QString& text);

// A number rounded to the nearest whole number (halves to the even one), as
// decimal text; "0" when it is too large to be a whole number.
QString RoundedText(double value);

// Fixed notation with `decimals` decimals after rounding to `precision`
// significant digits; numbers with more whole digits than that come in
// scientific notation.
QString FormatFixedPrecision(double value, int precision, int decimals);
