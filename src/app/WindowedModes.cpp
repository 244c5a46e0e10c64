#include "app/WindowedModes.h"

#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "engine/FindHalterung.h"
#include "forms/ABHG_configure.h"
#include "forms/LEK1.h"
#include "forms/LEK1Services.h"
#include "host/GET_CHECK_CMDLINE.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/KORVA_MDS.h"
#include "localisation/IvDictio.h"
#include "messages/MessageSeam.h"
#include "platform/Database.h"
#include "platform/RunDirectory.h"
#include "ui/ExclusiveAccess.h"
#include "ui/MultiLang.h"
#include "ui/QtMessageSeam.h"

#include <cstdio>
#include <exception>
#include <memory>

namespace {

// Every mode after the application object exists: the units'
// initialisation, then the mode itself.
int RunModes(const QStringList& params) {
    // One copy per user, in every mode, before the command line is read: a
    // refused copy ends here.
    InitSingleInstanceLock();
    PrintTextTranslator = &TranslatePrintText;
    // A selection reads the catalogue under one read transaction.
    SetCatalogueReadScope([]() -> std::shared_ptr<void> {
        if (!DBKONST) return nullptr;
        return std::make_shared<TReadScope>(DBKONST->BASIS_DB);
    });
    const DictionaryScope dictionaries;
    // The main forms of normal and configuration mode are handed in here;
    // without one a mode ends after its start checks.
    MainForms forms;
    forms.normal = &RunInputForm;
    UseProgramServices();
    forms.configure = &RunConfigurationForms;
    int code = exitcode::StartFailed;
    try {
        code = RunKorvaMds(params, forms);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "KORVA: %s\n", e.what());
    }
    DoneSingleInstanceLock();
    return code;
}

}  // namespace

extern "C" int KorvaWindowedMain(int argc, char** argv) {
    // This module keeps its own copy of the program's state: the host
    // arguments are read again and the signal handlers are this copy's.
    const QStringList params = HostArguments(argc, argv);
    InstallRunDirectorySignalHandlers();
    RemoveAbandonedRunDirectories();
    // Started by the host without a display, the program still runs:
    // windowless, with its messages on standard error.
    const bool unattended = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (unattended) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The application object shows an exception that escapes an event
    // handler in a box, as every form of the program expects.
    TIvApplication app(argc, argv);
    InstallQtMessageSeam();
    SetUnattended(unattended);
    return RunModes(params);
}
