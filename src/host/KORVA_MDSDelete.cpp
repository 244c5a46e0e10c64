// The choice of the start mode and delete mode, in a file of their own:
// what delete mode needs links against nothing of the data modules or the
// interface, so that the executable's delete mode loads only the core
// libraries.
#include "host/DELETE_DRW.h"
#include "host/GET_CHECK_CMDLINE.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/KORVA_MDS.h"
#include "messages/MessageSeam.h"
#include "platform/HostFiles.h"
#include "platform/InstanceLock.h"
#include "platform/Session.h"

#include <cstdio>

namespace {

// What each result tells, for the report of an answer that was lost.
const char* ResultMeaning(int result) {
    switch (result) {
    case DeleteDone: return "the support was deleted";
    case DeleteLookupFailed: return "the look-up of the position number failed; nothing was deleted";
    case DeleteFailed: return "deleting the support failed; nothing was deleted";
    case DeleteNotFound: return "no support has this position number; nothing was deleted";
    }
    return "";
}

// More than the longest answer ("3" and CR LF): its room is taken before
// the deletion, so a full disk shows then.
constexpr qint64 AnswerRoom = 16;

int AnswerLost(const QString& why) {
    std::fprintf(stderr, "KORVA: delete mode: %s\n", qPrintable(why));
    std::fflush(stderr);
    return exitcode::ResultFileFailed;
}

}  // namespace

int TakeProgramLockWithoutWindow() {
    const InstanceLockResult r = TakeInstanceLock(ProgramInstanceName, InstanceLockWaitMs);
    if (r == InstanceLockResult::Acquired) return 0;
    if (r == InstanceLockResult::Blocked) ShowSystemMessage(QStringLiteral("Sorry, blocked by another running KORVA program !"));
    return InstanceRefusedExitCode;
}

void GiveTablePassword() { Session().AddPassword(QLatin1String(TablePassword)); }

StartMode ChooseStartMode() {
    if (ConfigureMode) return StartMode::Configure;
    return DeletePosNo.isEmpty() ? StartMode::Normal : StartMode::Delete;
}

int RunDeleteMode() {
    if (const int c = CheckDeleteArgs(); c != 0) return exitcode::DeleteArgsBase + c;
    // A host that reads the result file after this run was killed must not
    // read the answer of an earlier one.
    QString why;
    if (!RemoveEarlierHostFile(OutputFileName, &why)) return AnswerLost(why + QStringLiteral("; nothing was deleted"));
    // The result file is opened, and its room on the disk taken, before
    // anything is deleted: a FIFO nobody reads, a directory where no file
    // can be made or a full disk would otherwise answer 999 for a support
    // that is gone, and the host's retry would find it missing.
    HostTextWriter answer;
    if (!answer.Open(OutputFileName) || !answer.Reserve(AnswerRoom))
        return AnswerLost(QStringLiteral("the result file cannot be written (%1); nothing was deleted")
                              .arg(answer.ErrorString()));
    GiveTablePassword();
    const int result = DeleteDrawing(CmdProjectDir, DeletePosNo);
    answer.WriteLine(QString::number(result));
    if (!answer.Commit()) {
        // The writing failed after the deletion ran: the host must learn
        // what was done even though its file does not say it.
        return AnswerLost(QStringLiteral("position number \"%1\" in %2: %3, but the result %4 cannot be written to "
                                         "the result file: %5")
                              .arg(DeletePosNo, CmdProjectDir, QLatin1String(ResultMeaning(result)),
                                   QString::number(result), answer.ErrorString()));
    }
    return exitcode::DeleteResultBase + result;
}
