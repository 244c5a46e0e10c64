#pragma once
// The host input file: an INI-form text file describing the support
// position, read once into the host globals.
#include <QString>
#include <cstdint>

// The name of the catalogue alias that holds the configuration table.
inline constexpr const char* CatalogueAlias = "KORVA_9_0";

// Reads the file named by InputFileName into the host globals. A missing
// file or key gives the defaults; unreadable numbers count as 0. Values the
// host cannot mean are refused with EGeneralError naming the file, the
// section and the key, before anything is read into the globals: a control
// character in any value, a number that is not finite or lies outside the
// range of its field, a negative size, a text longer than its field of the
// support record. So is a file that is not a plain file or is larger than
// any real input file.
void ReadMdsInputFile();

// The largest size of a load (kN), a size, a movement (mm) or an angle, and
// of a coordinate or an elevation (mm), that the host input may carry.
inline constexpr double HostValueLimit = 1.0e6;
inline constexpr double HostCoordinateLimit = 1.0e9;

// A control character (C0, DEL, C1): never part of a text the program
// stores or writes.
bool IsControlCharacter(QChar c);
// Where the first control character of a text stands, -1 for none.
qsizetype FirstControlCharacter(const QString& text);
// A character as a message names it: "U+0009", "U+1F600".
QString CodePointName(char32_t code);
QString CodePointName(QChar c);
// The text without its control characters: for text the engineer types or
// pastes into a field of the form, where the field shows what is kept.
QString WithoutControlCharacters(const QString& text);

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
