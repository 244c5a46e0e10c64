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
#include "platform/Deadline.h"
#include "platform/RunDirectory.h"
#include "ui/ExclusiveAccess.h"
#include "ui/MultiLang.h"
#include "ui/QtMessageSeam.h"

#include <QGuiApplication>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

namespace {

// How long the connection to a display may take to be set up.
constexpr int DisplaySetUpWaitMs = 5000;

// Every mode after the application object exists: the units'
// initialisation, then the mode itself.
int RunModes(const QStringList& params, const QString& noDisplay) {
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
    forms.noDisplay = noDisplay;
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

// A platform that shows no window: chosen on purpose it is used as it
// stands (tests, measurements); reached as the fallback it means the
// display could not be used.
bool IsWindowless(const QByteArray& platforms) {
    const QByteArray first = platforms.split(';').value(0).trimmed();
    return first == "offscreen" || first == "minimal";
}

// The platform list for the application object: the display's own platform
// first, the windowless one behind it, so that a display that cannot be
// reached ends the start with a reason instead of aborting the process.
// Returns whether the fallback guards the list (a display is to be
// connected); *noDisplay is set when no display is named at all.
bool ChoosePlatform(QString* noDisplay) {
    const QByteArray requested = qgetenv("QT_QPA_PLATFORM");
    QByteArray platforms;
    if (!requested.isEmpty()) {
        if (IsWindowless(requested)) return false;
        platforms = requested;
    } else if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        *noDisplay = QStringLiteral("No display: neither DISPLAY nor WAYLAND_DISPLAY is set, so the form cannot be shown");
        return false;
    } else {
        platforms = qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "xcb" : "wayland;xcb";
    }
    qputenv("QT_QPA_PLATFORM", platforms + ";offscreen");
    return true;
}

// The displays the platform list connects to, in its order, for the reason
// the start ends with: with a Wayland and an X display in one list, which
// of them could not be used cannot be told from outside, so each is named.
QString DisplayNames(const QByteArray& platforms) {
    QStringList names;
    for (const QByteArray& entry : platforms.split(';')) {
        // A platform may carry its options after a colon.
        const QByteArray p = entry.trimmed().split(':').value(0);
        QString name;
        if (p == "xcb")
            name = qEnvironmentVariable("DISPLAY");
        else if (p.startsWith("wayland"))
            name = qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? QStringLiteral("wayland-0")
                                                                  : qEnvironmentVariable("WAYLAND_DISPLAY");
        else if (!IsWindowless(p))
            name = QString::fromLatin1(p);
        if (!name.isEmpty() && !names.contains(name)) names << name;
    }
    return names.join(QStringLiteral("\" or \""));
}

// The display took the connection but has not set it up in time: the start
// ends as it does without a display (the mode's argument checks, the
// removal of the earlier output, the reason on standard error and in the
// error file). It runs on the deadline's thread while the window system's
// connection still waits, so it touches nothing of the application object.
int EndWithSilentDisplay(const QStringList& params, const QString& displays) {
    SetUnattended(true);
    try {
        if (const int refused = TakeProgramLockWithoutWindow(); refused != 0) return refused;
        MainForms forms;
        forms.noDisplay =
            QStringLiteral("The display \"%1\" does not answer (no answer within %2 s), so the form cannot be shown")
                .arg(displays)
                .arg(DisplaySetUpWaitMs / 1000);
        return RunKorvaMds(params, forms);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "KORVA: %s\n", e.what());
    }
    return exitcode::StartFailed;
}

}  // namespace

extern "C" int KorvaWindowedMain(int argc, char** argv) {
    // This module keeps its own copy of the program's state: the host
    // arguments are read again and the signal handlers are this copy's.
    const QStringList params = HostArguments(argc, argv);
    InstallRunDirectorySignalHandlers();
    RemoveAbandonedRunDirectories();
    // Started by the host without a usable display, the program runs
    // windowless, with its messages on standard error; its modes end at
    // once with the reason rather than wait for a form nobody can see.
    QString noDisplay;
    const bool guarded = ChoosePlatform(&noDisplay);
    // The application object sets up the connection to the display, which
    // waits for the server without a bound: a display that takes the
    // connection and answers nothing, or part of the set-up, ends the start
    // after the bound. (No connection of our own tries the display first:
    // an X server whose last client leaves resets itself, and the real
    // connection then waited for the reset.)
    const QString displays = DisplayNames(qgetenv("QT_QPA_PLATFORM"));
    std::optional<Deadline> connecting;
    if (guarded)
        connecting.emplace(DisplaySetUpWaitMs, [params, displays] { return EndWithSilentDisplay(params, displays); });
    // The application object shows an exception that escapes an event
    // handler in a box, as every form of the program expects.
    TIvApplication app(argc, argv);
    if (connecting) connecting->Met();
    const bool windowless = IsWindowless(QGuiApplication::platformName().toLatin1());
    if (guarded && windowless)
        noDisplay = QStringLiteral("The display \"%1\" cannot be reached, so the form cannot be shown").arg(displays);
    InstallQtMessageSeam();
    // Nobody can answer a box nobody sees: on a windowless platform, chosen
    // or not, every box goes to standard error with its default answer.
    SetUnattended(windowless);
    return RunModes(params, noDisplay);
}
