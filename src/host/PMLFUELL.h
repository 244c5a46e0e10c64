#pragma once
// The output file for the host (".zof"): the numbered data block between
// "Begin KORVA-Data" and "End KORVA-Data", then the host macro statements
// that build the support in the host model (head, hanger, clamp, part
// chain, support function).
//
// The writer reads ConstructionRecord, CalcGlobals, PartsList,
// BridgeRecords, ArrangementRecord and catalogue rows (the catalogue data
// module must exist). The text is built in memory and written in one go to
// a temporary file beside the target, which is renamed into place only when
// complete: the host never sees half a file, and a failed write leaves no
// output file behind.
#include <QString>
#include <QStringList>
#include <stdexcept>

// The output cannot be written as it stands (a product of the support is
// missing from the catalogue, or the file cannot be written). The message
// names the product or the file.
class EPmlFileError : public std::runtime_error {
public:
    explicit EPmlFileError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString Message() const { return m_message; }

private:
    QString m_message;
};

// Writes the output file of the current support to fileName (the name is
// also printed in data line 001). True when the whole file is in place;
// false with the reason in *error otherwise, and then no file of that name
// was created (an older file of that name is left as it was). The caller
// writes the host error file on failure.
bool WritePmlFile(const QString& fileName, QString* error = nullptr);

// Why data line 001 could not name the output file as it is called: the
// name holds a character the host's code page cannot hold (the line would
// show "?" there and name another file); the reason names the character by
// its number and position. Empty when every character fits. Callers refuse
// such a name before any work is done; WritePmlFile refuses it as well.
QString OutputFileNameProblem(const QString& fileName);

// The lines of the output file (without line ends) for the current support;
// raises EPmlFileError like WritePmlFile. Used by WritePmlFile and tests.
QStringList PmlFileLines(const QString& fileName);

// Number forms of the output file; "." whatever the interface language.
// fixed(p, d): d decimals, scientific when the integer part needs more than
// p digits.
QString PmlFixed(double value, int precision, int decimals);
// padded(w, d): rounded to d decimals, right-aligned in w characters.
QString PmlPadded(double value, int width, int decimals);
// The general decimal form: up to 15 significant digits, no trailing zeros,
// scientific only below 1e-5 or from 1e15 on.
QString PmlShortest(double value);
// The length of a "BY u" shift: four digits with leading zeros, more when
// the shift needs them, with its sign.
QString PmlShiftText(long long shift);
