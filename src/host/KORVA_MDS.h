#pragma once
// The start of the program: the command line, the choice of the start mode
// and each mode's road up to its main form. Delete mode runs here to its
// end; the main forms of configuration and normal mode are handed in by the
// executable, since they live above this library.
#include <QString>
#include <QStringList>
#include <functional>

enum class StartMode { Configure, Normal, Delete };

// Exit codes of the program.
namespace exitcode {
constexpr int MainFormClosed = 0;
constexpr int ConfigureArgs = 1;        // "/CONFIGURE_CONF" with other parameters
constexpr int MainFormMissing = 2;      // this build has no main form for the mode
constexpr int StartFailed = 3;          // an error ended the start before a main form
constexpr int AnswerNotWritten = 5;     // normal mode: neither output nor host error file written
constexpr int RunArgsBase = 100;        // + the code of CheckRunArgs
constexpr int DeleteArgsBase = 200;     // + the code of CheckDeleteArgs
constexpr int DeleteResultBase = 300;   // + the result of DeleteDrawing
constexpr int ResultFileFailed = 999;
}  // namespace exitcode

// The exit status the host receives for an exit code: a process status
// carries only 8 bits here, so 300 + r arrives as 44 + r and 999 as 231.
// The codes stay distinct from each other and from the others; the result
// file carries the full delete result.
constexpr int ExitStatusOf(int exitCode) { return exitCode & 0xFF; }

// The password of the protected tables, given to the session in every mode.
inline constexpr const char* TablePassword = "zorbl";

// The main form of a mode: creates it, runs the message loop until it
// closes and returns the exit code.
using MainFormRunner = std::function<int()>;

struct MainForms {
    MainFormRunner configure;  // TFABHG_configure and its companions
    MainFormRunner normal;     // TFLEK1
    // Why no window can be shown (no display, or one that cannot be
    // reached); empty when a display is usable. The windowed modes then end
    // at once instead of waiting for an engineer who cannot see the form.
    QString noDisplay;
};

// Chooses the mode from the host globals set by ParseCommandLine.
StartMode ChooseStartMode();

// Runs the program after every unit's initialisation: parses the parameters
// (without the program name), chooses the mode and runs it. Returns the exit
// code.
int RunKorvaMds(const QStringList& params, const MainForms& forms);

// Takes the program's lock where no window can be brought to the front
// (delete mode; a start whose display did not answer): 0 when taken, else
// the exit code of a refused copy, after the message of a copy that was
// blocked.
int TakeProgramLockWithoutWindow();

// Delete mode after ParseCommandLine. The result file is opened before the
// deletion, so that a result file that cannot be written deletes nothing
// (999); when its writing fails after the deletion, standard error says
// what the deletion did and why the file was not written (999).
int RunDeleteMode();

// Gives the table password to the session.
void GiveTablePassword();

// The host error file of normal mode, in the current directory.
QString HostErrorFilePath();
// Writes one line "CANCLED " + message into the host error file at path,
// replacing an earlier one; the program names that file itself, so a
// symbolic link there is not followed. When it cannot be written, standard
// error says so (naming the file and the cause) and the run has no answer
// for the host until a later error file or the output file is written.
bool WriteHostErrorLine(const QString& path, const QString& message);
// True when the last host error file of this run could not be written.
bool HostAnswerLost();

// Normal mode before its form: the output file of an earlier run at the
// output name (a plain file, also behind a link) and the temporary files a
// killed writer of this program left beside it and in the current
// directory are removed, so the host finds an output file only when this
// run wrote it. False when the earlier file stays; *why names it and the
// cause.
bool RemoveEarlierOutput(const QString& outputFile, QString* why);
