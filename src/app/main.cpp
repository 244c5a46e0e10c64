// The korva executable: the application object, every unit's
// initialisation, then the start modes of the host library.
#include "data/DBGLOB.h"
#include "forms/ABHG_configure.h"
#include "forms/LEK1.h"
#include "forms/LEK1Services.h"
#include "host/KORVA_MDS.h"
#include "localisation/IvDictio.h"
#include "messages/MessageSeam.h"
#include "ui/ExclusiveAccess.h"
#include "ui/MultiLang.h"
#include "ui/QtMessageSeam.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    // Started by the host without a display (delete mode runs so), the
    // program still runs: windowless, with its messages on standard error.
    const bool unattended = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (unattended) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The application object shows an exception that escapes an event
    // handler in a box, as every form of the program expects.
    TIvApplication app(argc, argv);
    InstallQtMessageSeam();
    SetUnattended(unattended);
    // One copy per user, in every mode, before the command line is read: a
    // refused copy ends here.
    InitSingleInstanceLock();
    PrintTextTranslator = &TranslatePrintText;
    const DictionaryScope dictionaries;
    // The main forms of normal and configuration mode are handed in here;
    // without one a mode ends after its start checks.
    MainForms forms;
    forms.normal = &RunInputForm;
    UseProgramServices();
    forms.configure = &RunConfigurationForms;
    int code = exitcode::StartFailed;
    try {
        code = RunKorvaMds(app.arguments().mid(1), forms);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "KORVA: %s\n", e.what());
    }
    DoneSingleInstanceLock();
    return code;
}
