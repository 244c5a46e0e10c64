#pragma once
// The command line and environment of the host, and the argument checks of
// each start mode.
#include <QString>
#include <QStringList>

// The value of an environment variable, empty when it is not set.
QString GetEnvironVarValue(const QString& name);

// The host's text of one argument or environment value: UTF-8 when the
// bytes are valid UTF-8, else the host's code page (Windows-1252).
QString HostText(const QByteArray& bytes);
// The parameters of the process (without the program name) as host text.
QStringList HostArguments(int argc, const char* const* argv);

// Fills the command-line host globals from the environment and from the
// parameters (without the program name).
void ParseCommandLine(const QStringList& params);

// 1 unless exactly one parameter was given, else 0.
int CheckConfigureArgs(int paramCount);

// The argument checks of normal and delete mode. Each returns the code of
// the first failed check (0 when all pass) and shows its "ERROR: " text in
// the plain system message box.
int CheckRunArgs();
int CheckDeleteArgs();

// The directory part of a file name: everything up to and including the
// last '/'; empty when there is none.
QString DirectoryPart(const QString& fileName);
