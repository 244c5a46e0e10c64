#pragma once
// The demo inputs' golden output files, shared by the tool's and the
// form's tests so both hold the files to one comparison.
#include <QString>

// The configuration a demo input's first line states, "(configuration
// 302)"; 0 where it states none.
int StatedConfiguration(const QString& input);

// The host output file against its golden bytes, line by line with the
// first differing line named; the one line that names the file itself
// carries the test's own directory, which the golden file holds as "<dir>".
void CompareOutputFile(const QString& written, const QString& dir, const QString& goldenPath);
