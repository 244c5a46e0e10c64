#pragma once
// Checks a project directory before it is used, reports what it finds as a
// check code, and brings project tables of older releases up to the current
// format after asking the engineer.
//
// Every change works on copies in a private temporary directory; the
// project's tables take the new content together, in one transaction, only
// when every table was converted, so a failure leaves the project as it
// was. The tables are held against every writer from before they are
// copied until the new content is in place, so nothing stored meanwhile is
// lost. A check runs while no other start creates or checks the project in
// the same directory: one start at a time asks and rewrites, and a start
// that waited finds the work done.
#include <QString>
#include <QStringList>

namespace checkcode {
constexpr int Usable = 0;        // a usable project in the current format
constexpr int NoProject = 1;     // none of the project files: a new project may go here
constexpr int NoDirectory = 2;   // the directory does not exist
constexpr int KonstzAdded = 3;   // konstr8 without konstz8, the engineer agreed to add it
constexpr int NoPrjinf = -1, NoKonstr = -2, NoKonetr = -3, NoKonbtl = -4, NoKonstz = -5;
constexpr int NoKonstrIndex = -102, NoKonstzIndex = -105, NoKonbtlIndex = -107;
constexpr int PrjinfFormat = -11, KonstrFormat = -12, KonbtlFormat = -13, KonetrFormat = -14,
              KonstzFormat = -15;
constexpr int PosNrSize = -52, KonetrSizes = -53, BtlZusSize = -54;
constexpr int UpgradeFailed = -700;
constexpr int UpgradeDeclined = -800;
constexpr int KonstzDeclined = -900;
// The directory is there but cannot be reached (no permission, a link
// loop, a name this system cannot spell); the reason is in the check's
// messages.
constexpr int UnreachableDirectory = -1000;
// Another start is creating a project in the directory and has not finished
// within the wait, or the tables a creation built cannot be put in place;
// the reason is in the check's messages.
constexpr int CreationUnfinished = -1001;
// Codes above KonstzAdded are the database layer's error codes.
}  // namespace checkcode

// The number of fields of a table file in the directory (0 when it cannot
// be read), and the size of one field (0 when the table or the field cannot
// be read; 0 also for fields without a size).
int TableFieldCount(const QString& directory, const QString& fileName);
int TableFieldSize(const QString& directory, const QString& fileName, const QString& fieldName);

// Presence of the table files and their primary indexes.
int ProjectFilesCode(const QString& directory);
// Field counts and text sizes.
int ProjectFormatCode(const QString& directory);
// Opens each project table once; converts tables of an older level.
int ProjectOpenCode(const QString& directory);

// Adds missing fields and enlarges short text fields; true on success,
// also when another start did it first. A failure shows its message in an
// error box and changes nothing.
bool UpgradeProjectTables(const QString& directory);
// Raises every project table to the current level; the previous files are
// kept in a new "save<n>" folder of the project (none when another start
// raised them first), which takes that name, whole, only once the raised
// tables are in place. Raises EGeneralError with
// the translated reason followed by "Aborting conversion !".
void ConvertProjectFiles(const QString& directory);
// Builds the primary index of konbtl8.db anew; false when it cannot.
bool AddKonbtlIndex(const QString& directory);

// The check without questions or messages.
int CheckProjectDirectoryCode(const QString& directory);
// The check of the project the host names: asks before adding konstz8 and
// before upgrading. obsoleteWording chooses the question about konstz8.
int CheckProjectFilesAtStart(const QString& directory, bool obsoleteWording);
// The check of a directory the engineer picked: quiet runs the check without
// questions; then the code's message is shown.
int CheckProjectDirectory(const QString& directory, bool quiet, bool obsoleteWording);

// The start's check of the project the host names: CheckProjectFilesAtStart,
// with a missing parts-list index rebuilt on the way. A code that refuses the
// project comes with its message in refusal.
int CheckProjectAtStart(const QString& directory, QString* refusal);
// The message of a check code, naming the file the code is about (in the
// directory); empty for the codes that let the project be used.
QString CheckCodeMessage(int code, const QString& directory);

// The database layer's messages collected by the last check.
QStringList LastCheckErrors();
