#include "host/KORVA_MDS.h"

#include "host/GET_CHECK_CMDLINE.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "platform/Session.h"
#include "messages/MessageSeam.h"

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

int RunMainForm(const MainFormRunner& runner, const char* modeName) {
    GiveTablePassword();
    DataModules modules;
    try {
        modules = CreateDataModules();
    } catch (const std::exception& e) {
        // A broken database configuration ends the start; the engineer
        // sees why in a box where a display exists, the host on standard
        // error in every case.
        ShowSystemMessage(QString::fromUtf8(e.what()));
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
    return RunMainForm(forms.configure, "configuration");
}

int RunNormalMode(const MainForms& forms) {
    if (const int c = CheckRunArgs(); c != 0) return exitcode::RunArgsBase + c;
    return RunMainForm(forms.normal, "normal");
}

}  // namespace

int RunKorvaMds(const QStringList& params, const MainForms& forms) {
    ParseCommandLine(params);
    switch (ChooseStartMode()) {
    case StartMode::Configure: return RunConfigureMode(int(params.size()), forms);
    case StartMode::Normal: return RunNormalMode(forms);
    case StartMode::Delete: return RunDeleteMode();
    }
    return exitcode::StartFailed;
}
