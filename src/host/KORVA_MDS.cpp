#include "host/KORVA_MDS.h"

#include "host/GET_CHECK_CMDLINE.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/PMLFUELL.h"
#include "host/Read_MDS_ZIF.h"
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "platform/Session.h"
#include "messages/MessageSeam.h"
#include "platform/HostFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <memory>

namespace {

// The two data modules, created in this order (catalogue, then global) and
// living while the main form runs.
struct DataModules {
    std::unique_ptr<TDBKONST> konst;
    std::unique_ptr<TDBGLOBAL> global;
};

DataModules CreateDataModules() {
    DataModules modules;
    modules.konst = std::make_unique<TDBKONST>();
    modules.global = std::make_unique<TDBGLOBAL>();
    return modules;
}

bool g_answerLost = false;

// A start that ends before the form: the host learns why from the error
// file (normal mode) and standard error.
int EndStart(const QString& why, bool hostAnswer) {
    std::fprintf(stderr, "KORVA: %s\n", qPrintable(why));
    std::fflush(stderr);
    if (hostAnswer) WriteHostErrorLine(HostErrorFilePath(), why);
    return exitcode::StartFailed;
}

int RunMainForm(const MainFormRunner& runner, const char* modeName, bool hostAnswer) {
    GiveTablePassword();
    DataModules modules;
    try {
        modules = CreateDataModules();
    } catch (const std::exception& e) {
        // A broken database configuration ends the start; the engineer
        // sees why in a box where a display exists, the host on standard
        // error and in the error file.
        ShowSystemMessage(QString::fromUtf8(e.what()));
        if (hostAnswer) WriteHostErrorLine(HostErrorFilePath(), QString::fromUtf8(e.what()));
        return exitcode::StartFailed;
    }
    if (runner) return runner();
    std::fprintf(stderr, "KORVA: %s mode has no main form in this build; the run ends after its start checks.\n",
                 modeName);
    std::fflush(stderr);
    return exitcode::MainFormMissing;
}

int RunConfigureMode(int paramCount, const MainForms& forms) {
    if (CheckConfigureArgs(paramCount) != 0) return exitcode::ConfigureArgs;
    if (!forms.noDisplay.isEmpty()) return EndStart(forms.noDisplay, false);
    return RunMainForm(forms.configure, "configuration", false);
}

int RunNormalMode(const MainForms& forms) {
    if (const int c = CheckRunArgs(); c != 0) return exitcode::RunArgsBase + c;
    QString why;
    if (!RemoveEarlierOutput(OutputFileName, &why)) return EndStart(why, true);
    // A tab or a line end in the name would break the data block's first
    // line for the host; the name is not repeated here, as it would carry
    // the character into the error file.
    if (const qsizetype at = FirstControlCharacter(OutputFileName); at >= 0)
        return EndStart(QStringLiteral("The output file name holds the control character %1 at position %2; the "
                                       "output file, whose first line names it, is not written")
                            .arg(CodePointName(OutputFileName[at]))
                            .arg(at + 1),
                        true);
    if (const QString problem = OutputFileNameProblem(OutputFileName); !problem.isEmpty())
        return EndStart(problem, true);
    if (!forms.noDisplay.isEmpty()) return EndStart(forms.noDisplay, true);
    const int code = RunMainForm(forms.normal, "normal", true);
    // The output file, when there is one, is this run's: the earlier one
    // was removed at the start.
    if (code == exitcode::MainFormClosed && HostAnswerLost() && !QFileInfo::exists(OutputFileName))
        return exitcode::AnswerNotWritten;
    return code;
}

}  // namespace

QString HostErrorFilePath() { return QDir::current().filePath(QStringLiteral("KORVA_MDS_ERROR.Z3D")); }

bool WriteHostErrorLine(const QString& path, const QString& message) {
    QString error;
    // Named in full in any message, wherever the run stands.
    const QString file = QFileInfo(path).absoluteFilePath();
    g_answerLost = !WriteHostTextFile(file, {QStringLiteral("CANCLED ") + message}, HostFileName::Own, &error);
    if (g_answerLost) {
        // Without a window every message of the run is on standard error
        // already: it is not said twice.
        if (Unattended())
            std::fprintf(stderr, "KORVA: the host error file cannot be written (%s); the host gets no answer for the "
                                 "message on standard error\n",
                         qPrintable(error));
        else
            std::fprintf(stderr, "KORVA: the host error file cannot be written (%s); the host gets no answer for: %s\n",
                         qPrintable(error), qPrintable(message));
        std::fflush(stderr);
    }
    return !g_answerLost;
}

bool HostAnswerLost() { return g_answerLost; }

bool RemoveEarlierOutput(const QString& outputFile, QString* why) {
    // The host error file is written in the current directory: what a
    // killed writer left of it goes as well.
    RemoveAbandonedHostTemporaries(QDir::currentPath());
    return RemoveEarlierHostFile(outputFile, why);
}

int RunKorvaMds(const QStringList& params, const MainForms& forms) {
    ParseCommandLine(params);
    switch (ChooseStartMode()) {
    case StartMode::Configure: return RunConfigureMode(int(params.size()), forms);
    case StartMode::Normal: return RunNormalMode(forms);
    case StartMode::Delete: return RunDeleteMode();
    }
    return exitcode::StartFailed;
}
