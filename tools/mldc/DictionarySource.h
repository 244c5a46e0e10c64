#pragma once
// The readable source of a dictionary: one row per native text with its
// German, English, French and Portuguese texts, and the message texts of the
// string table under their "RS" keys.
#include "localisation/IvLanguD.h"
#include "localisation/IvMLDWri.h"

#include <QString>
#include <vector>

// A text of a source row: "\\r", "\\n", "\\t" and "\\\\" stand for carriage
// return, line feed, tab and backslash (the escapes of a C++ literal too).
QString UnescapeSourceText(const QString& s);

// The languages of the program's dictionaries: 0 native, 1 German,
// 2 English, 3 French, 4 Portuguese.
std::vector<TIvLanguage> DictionaryLanguages();

// Reads a source file ("native, context, german, english, french,
// portuguese", tab-separated, UTF-8, "#" comment lines, a header row).
// A row repeated word for word counts once (the sources merge by union);
// throws std::runtime_error on a malformed row or a native text repeated
// with other translations.
std::vector<TIvMLDEntry> ReadDictionarySource(const QString& fileName);
// Adds the string table ("number, german, english[, kind]"): a message as its
// "RS" + number key, a row of kind "text" under its English text. A native
// text already present is not added again.
void AddStringTable(const QString& fileName, std::vector<TIvMLDEntry>& entries);
bool IsStringTableText(const QStringList& cols);
