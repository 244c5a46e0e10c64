// The choice of the start mode and delete mode, in a file of their own:
// what delete mode needs links against nothing of the data modules or the
// interface, so that the executable's delete mode loads only the core
// libraries.
#include "host/DELETE_DRW.h"
#include "host/GET_CHECK_CMDLINE.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/KORVA_MDS.h"
#include "platform/HostFiles.h"
#include "platform/Session.h"

#include <cstdio>

void GiveTablePassword() { Session().AddPassword(QLatin1String(TablePassword)); }

StartMode ChooseStartMode() {
    if (ConfigureMode) return StartMode::Configure;
    return DeletePosNo.isEmpty() ? StartMode::Normal : StartMode::Delete;
}

bool WriteDeleteResult(const QString& fileName, int result) {
    return WriteHostTextFile(fileName, {QString::number(result)});
}

int RunDeleteMode() {
    if (const int c = CheckDeleteArgs(); c != 0) return exitcode::DeleteArgsBase + c;
    // A host that reads the result file after this run was killed must not
    // read the answer of an earlier one.
    QString why;
    if (!RemoveEarlierHostFile(OutputFileName, &why)) {
        std::fprintf(stderr, "KORVA: delete mode: %s; nothing was deleted\n", qPrintable(why));
        std::fflush(stderr);
        return exitcode::ResultFileFailed;
    }
    GiveTablePassword();
    const int result = DeleteDrawing(CmdProjectDir, DeletePosNo);
    if (!WriteDeleteResult(OutputFileName, result)) return exitcode::ResultFileFailed;
    return exitcode::DeleteResultBase + result;
}
