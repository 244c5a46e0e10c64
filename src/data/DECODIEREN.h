#pragma once
// Project-wide values: the open project, the company number, the
// selection-display switch, the shared font and the version text.
#include <QString>
#include <cstdint>

class QFont;

// The directory of the open project; the project tables are bound to it.
extern QString ProjectDatabaseName;
// F_NR of the company settings, taken when the global data module starts.
extern int32_t CompanyNumber;
// Registry value "SHOW_SELECTION".
extern bool ShowSelection;
// The program's version text; nothing assigns it, so it stays empty.
extern QString VersionText;

// The font shared by the options form and the blocking-position dialog;
// created on first use and released at the end of the run.
QFont& SharedFont();
