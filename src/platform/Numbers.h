#pragma once
// Number conventions: extended precision for intermediate values, truncation
// toward zero unless rounded, rounding halves to even, and "." as the decimal
// separator in every file whatever the interface language.
#include <QString>
#include <cmath>
#include <cstdint>

using Extended = long double;

// Nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4).
inline Extended RoundHalfEven(Extended v) {
    Extended r = std::nearbyint(v);  // default rounding mode is to nearest even
    return r;
}
inline int64_t RoundToInt(Extended v) { return int64_t(RoundHalfEven(v)); }
inline int64_t TruncToInt(Extended v) { return int64_t(std::trunc(v)); }

// Round to n decimals: multiply by 10^n, round, divide.
Extended RoundTo(Extended v, int decimals);

// Fixed notation with "." and no thousands separators.
QString FormatFixed(Extended v, int decimals);
// General shortest form with "." ("12.5", "3", "1e+20").
QString FormatNumber(Extended v);

// Parses a number with "." (or, when acceptComma, "," as the decimal
// separator). Leading and trailing blanks are ignored. ok is false for
// anything that is not a finite number.
Extended ParseNumber(const QString& text, bool* ok, bool acceptComma = false);
