#pragma once
// Fixed-width display fields: texts left-aligned and blank-padded, numbers
// as zoned decimal digits right-aligned at an implied decimal point, with an
// optional overpunched sign on the first character. Every routine takes the
// field and its highest index (width - 1); the codec never stores a length.
#include "platform/ConvertError.h"
#include "platform/Numbers.h"
#include <QString>
#include <cstdint>
#include <stdexcept>

// A field that does not hold a number where one is read raises
// EConvertError.

// Overpunch: '{' / 'A'..'I' positive 0..9, '}' / 'J'..'R' negative 0..9.
char EncodeOverpunch(bool positive, int digit);
// A plain digit decodes as positive; false for a character that is neither.
bool DecodeOverpunch(char c, int& digit, bool& positive);

// The general moves that every write and read is built on.
void EditNumericField(char* dest, const char* src, int destWidth, int srcWidth, int destPoint,
                      int srcPoint, const QString& picture, bool isSigned);
void EditTextField(char* dest, const char* src, int destWidth, int srcWidth, const QString& picture);

// Writing.
void PutTextField(char* field, int high, const QString& text, const QString& picture = {});
void MoveStrField(char* buffer, const QString& text, int width);
void PutIntField(char* field, int high, int32_t value, int destPoint = 0, int srcPoint = 0,
                 const QString& picture = {}, bool isSigned = false);
void PutFloatField(char* field, int high, int destPoint, Extended value, const QString& picture = {},
                   bool isSigned = false);
void PutStrField(char* dest, int high, const char* src, int srcHigh, int destPoint, int srcPoint,
                 const QString& picture = {}, bool isSigned = false);

// Reading. GetIntField and GetNumField raise EConvertError for a field that
// is not a number (and GetIntField for a value outside 16 bits); ZonedToInt
// and ZonedToFloat give 0 for such a field.
void GetIntField(int16_t& result, const char* field, int high, int srcPoint = 0, bool isSigned = false);
void GetNumField(double& result, const char* field, int high, int srcPoint = 0, bool isSigned = false);
int32_t ZonedToInt(const char* field, int high);
Extended ZonedToFloat(const char* field, int high, int point);

// Comparing: -1, 0 or 1.
int CompareBytes(const char* a, int lengthA, const char* b, int lengthB);
int CompareFloats(Extended a, Extended b);
int CompareFields(const char* a, int highA, const char* b, int highB, int pointA, int pointB);
int CompareFieldValue(const char* field, int high, int32_t value, int point);
int CompareValueField(int32_t value, const char* field, int high, int point);
int CompareFieldText(const char* field, int high, const QString& text);

inline int MinInt(int a, int b) { return a < b ? a : b; }
inline int MaxInt(int a, int b) { return a > b ? a : b; }

// The characters of a field as text (ANSI code page), and the same without
// trailing blanks.
QString FieldText(const char* field, int width);
QString FieldTextTrimmed(const char* field, int width);

// Array conveniences: the highest index comes from the array.
template <size_t N>
void PutText(char (&field)[N], const QString& text) { PutTextField(field, int(N) - 1, text); }
template <size_t N>
QString FieldText(const char (&field)[N]) { return FieldText(field, int(N)); }
