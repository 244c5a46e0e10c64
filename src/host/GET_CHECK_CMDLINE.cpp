#include "host/GET_CHECK_CMDLINE.h"

#include "host/GlobalVars4KORVA_MDS.h"
#include "messages/MessageSeam.h"
#include "platform/HostFiles.h"
#include "platform/TableFile.h"

#include <QFileInfo>
#include <functional>

namespace {

// One argument check: it fails when `failed` holds; the message takes the
// value of `subject` for its "%s".
struct ArgCheck {
    int code;
    std::function<bool()> failed;
    const char* message;
    std::function<QString()> subject;
};

constexpr int HostCodePage = 1252;

bool IsExistingDirectory(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

// A file, not a directory, by that name.
bool IsExistingFile(const QString& path) {
    if (path.isEmpty()) return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QString OutputName() { return OutputFileName; }

// A directory that is there but cannot be reached is not called missing:
// the message says why, as normal mode's start does (a name in Latin-1
// bytes, a link that points nowhere, no permission).
QString ProjectDirectoryError() {
    const QString reason = UnreachableDirectoryReason(CmdProjectDir);
    if (reason.isEmpty()) return QStringLiteral("ERROR: Project directory \"%1\" does not exist !").arg(CmdProjectDir);
    return QStringLiteral("ERROR: Project directory \"%1\" cannot be reached (%2) !").arg(CmdProjectDir, reason);
}
QString OutputDirectory() { return DirectoryPart(OutputFileName); }

int RunChecks(const std::vector<ArgCheck>& checks) {
    for (const ArgCheck& check : checks) {
        if (!check.failed()) continue;
        QString text = check.message ? QString::fromLatin1(check.message) : check.subject();
        if (check.message && check.subject) text = text.arg(check.subject());
        ShowSystemMessage(text);
        return check.code;
    }
    return 0;
}

// Prefix parameters: "/DEL:", "/PD:", "/IF:", "/OF:" and the global each sets.
struct PrefixParam {
    const char* prefix;
    QString* target;
};

}  // namespace

QString HostText(const QByteArray& bytes) { return DecodeUtf8OrCodePage(bytes, HostCodePage); }

QStringList HostArguments(int argc, const char* const* argv) {
    QStringList params;
    for (int i = 1; i < argc; ++i) params << HostText(QByteArray(argv[i]));
    return params;
}

QString GetEnvironVarValue(const QString& name) {
    // Read under Qt's lock of the environment: a start whose display is
    // too slow reads it on a thread of its own while the window system's
    // set-up takes DESKTOP_STARTUP_ID out of it.
    return HostText(qgetenv(name.toLocal8Bit().constData()));
}

QString DirectoryPart(const QString& fileName) {
    const qsizetype slash = fileName.lastIndexOf(u'/');
    return slash < 0 ? QString() : fileName.left(slash + 1);
}

void ParseCommandLine(const QStringList& params) {
    DeletePosNo.clear();
    CmdProjectDir.clear();
    InputFileName = GetEnvironVarValue(QStringLiteral("KORVA_INPUTFILE"));
    OutputFileName = GetEnvironVarValue(QStringLiteral("KORVA_OUTPUTFILE"));
    const PrefixParam prefixes[] = {
        {"/DEL:", &DeletePosNo}, {"/PD:", &CmdProjectDir}, {"/IF:", &InputFileName}, {"/OF:", &OutputFileName}};
    for (const QString& param : params) {
        CurrentParam = param;
        if (param.compare(QLatin1String("/CONFIGURE_CONF"), Qt::CaseInsensitive) == 0) ConfigureMode = true;
        for (const PrefixParam& p : prefixes) {
            const QLatin1String prefix(p.prefix);
            if (param.startsWith(prefix, Qt::CaseInsensitive)) *p.target = param.mid(prefix.size());
        }
    }
}

int CheckConfigureArgs(int paramCount) { return paramCount == 1 ? 0 : 1; }

int CheckRunArgs() {
    static const std::vector<ArgCheck> checks = {
        {1, [] { return InputFileName.isEmpty(); }, "ERROR: No input file specified !", nullptr},
        {2, [] { return OutputFileName.isEmpty(); }, "ERROR: No output file specified !", nullptr},
        {3, [] { return !IsExistingFile(InputFileName); }, "ERROR: Input file \"%1\" does not exist !",
         [] { return InputFileName; }},
        {4, [] { return IsExistingDirectory(OutputFileName); },
         "ERROR: Output file name \"%1\" is an existing directory !", OutputName},
        {6, [] { return !IsExistingDirectory(OutputDirectory()); }, "ERROR: Output directory \"%1\" does not exist !",
         OutputDirectory},
        {7, [] { return OutputFileName.right(4).toLower() != QLatin1String(".zof"); },
         "ERROR: Output file name \"%1\" do not have extension \".zof\" !", OutputName},
    };
    return RunChecks(checks);
}

int CheckDeleteArgs() {
    static const std::vector<ArgCheck> checks = {
        {1, [] { return !InputFileName.isEmpty(); },
         "ERROR: Incorrect combination of parameters (/DEL and /IF ) !", nullptr},
        {2, [] { return !IsExistingDirectory(CmdProjectDir); }, nullptr, ProjectDirectoryError},
        {3, [] { return OutputFileName.isEmpty(); }, "ERROR: No output file specified !", nullptr},
        {4, [] { return IsExistingDirectory(OutputFileName); },
         "ERROR: Output file name \"%1\" is an existing directory !", OutputName},
        {5, [] { return !IsExistingDirectory(OutputDirectory()); }, "ERROR: Output directory \"%1\" does not exist !",
         OutputDirectory},
    };
    return RunChecks(checks);
}
