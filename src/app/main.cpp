// The korva executable: reads the command line, runs delete mode itself and
// hands the other modes to the windowed part of the program.
//
// Delete mode is what the host starts most often and waits for, and it has
// no window. The executable therefore links only the core libraries (Qt
// Core, SQLite, the host, data and platform code delete mode runs); the
// interface libraries (Qt Widgets, GUI, Print Support, Network and what
// they pull in) come with the module of the windowed modes, loaded only when
// a mode needs them. Loading and relocating those libraries at every start
// cost more than the deletion itself.
#include "app/WindowedModes.h"
#include "host/GET_CHECK_CMDLINE.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/KORVA_MDS.h"
#include "messages/MessageSeam.h"
#include "platform/InstanceLock.h"
#include "platform/RunDirectory.h"

#ifdef KORVA_TEST_HOOKS
#include "platform/FaultInjection.h"
#endif

#include <QCoreApplication>
#include <cstdio>
#include <exception>

#ifndef KORVA_SINGLE_IMAGE
#include <QByteArray>
#include <climits>
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace {

// The lock every copy of the program takes (the windowed part adds the
// server that answers the next copy). A refused copy ends here, before
// anything else of it runs.
void TakeSingleInstanceLock() {
    const int refused = TakeProgramLockWithoutWindow();
    if (refused == 0) return;
    std::fflush(nullptr);
    ::_exit(refused);
}

// Delete mode has no window: it runs on a core application object and
// never touches a window system, so an unreachable display cannot stop it
// from writing its result. Nothing is translated and nothing is printed, so
// the dictionaries and the forms' services are not set up.
int RunDeleteModeProcess(int argc, char** argv, const QStringList& params) {
    QCoreApplication app(argc, argv);
    SetUnattended(true);
    TakeSingleInstanceLock();
    int code = exitcode::StartFailed;
    try {
        ParseCommandLine(params);
        code = RunDeleteMode();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "KORVA: %s\n", e.what());
    }
    ReleaseInstanceLock();
    return code;
}

#ifdef KORVA_SINGLE_IMAGE
int RunWindowedModes(int argc, char** argv) { return KorvaWindowedMain(argc, argv); }
#else
// The module lies next to the executable (found through /proc, not the
// search path, so that no other library of that name can be loaded).
QByteArray WindowedModulePath() {
    char exe[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return WindowedModuleFileName;
    QByteArray path(exe, int(n));
    return path.left(path.lastIndexOf('/') + 1) + WindowedModuleFileName;
}

int RunWindowedModes(int argc, char** argv) {
    const QByteArray path = WindowedModulePath();
    void* module = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "KORVA: cannot load %s: %s\n", path.constData(), ::dlerror());
        return exitcode::StartFailed;
    }
    using Entry = int (*)(int, char**);
    const auto entry = reinterpret_cast<Entry>(::dlsym(module, "KorvaWindowedMain"));
    if (!entry) {
        std::fprintf(stderr, "KORVA: %s has no entry KorvaWindowedMain\n", path.constData());
        return exitcode::StartFailed;
    }
    // The module stays loaded until the process ends: its objects' clean-up
    // runs at exit, after the mode has returned.
    return entry(argc, argv);
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef KORVA_TEST_HOOKS
    ArmTestHooksFromEnvironment();
#endif
    // The host's arguments are bytes: UTF-8 when they are valid UTF-8, else
    // text in the host's code page.
    const QStringList params = HostArguments(argc, argv);
    // This run's private directory when a signal ends it.
    InstallRunDirectorySignalHandlers();
    ParseCommandLine(params);
    if (ChooseStartMode() == StartMode::Delete) return RunDeleteModeProcess(argc, argv, params);
    return RunWindowedModes(argc, argv);
}
