// Start-up of normal mode against the bare Qt widget program, the programs
// run in turns (the order rotating each round) so that a change in the
// machine's load falls on all alike. Each run is timed from just before
// the process starts to the moment the program reports its first paint;
// the processor time it used up to then is given beside, since on a loaded
// machine the waiting for a processor can outweigh the work. A run that
// fails ends the comparison with a message and exit code 1: a ratio over a
// failed run would mean nothing.
//
// Every program runs with the same environment of the comparison's own: a
// home, settings, runtime and temporary directory that no other program
// uses. (The program clears abandoned run directories of its own out of the
// temporary directory at start, and a shared one holding hundreds of other
// programs' entries would make its start depend on who else works on the
// machine.)
//
//   korva_startup_compare --korva K --bare B --demo DIR [--rounds N] [--before K0]
//
// --before names a second build of the program (the one before a change),
// run in the same rotation, so that a before/after comparison sees the same
// load.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

struct Program {
    QString name;
    QString path;
    QStringList args;
    std::vector<double> ms, cpuMs;
};

struct Timing {
    double ms = 0;
    std::optional<double> cpuMs;
};

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Milliseconds from the start to the reported paint, or a message.
std::optional<Timing> Run(const Program& p, const QProcessEnvironment& env, const QString& workDir, QString* error) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workDir);
    const long long start = NowNs();
    process.start(p.path, p.args);
    if (!process.waitForStarted(60000)) {
        *error = QStringLiteral("%1 (%2) did not start: %3").arg(p.name, p.path, process.errorString());
        return std::nullopt;
    }
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        *error = QStringLiteral("%1 did not end within 60 s").arg(p.name);
        return std::nullopt;
    }
    const QByteArray out = process.readAllStandardOutput();
    const qsizetype at = out.indexOf("shown ");
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || at < 0) {
        *error = QStringLiteral("%1 failed (exit code %2%3): %4")
                     .arg(p.name)
                     .arg(process.exitCode())
                     .arg(at < 0 ? QStringLiteral(", no paint reported") : QString())
                     .arg(QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
        return std::nullopt;
    }
    const QList<QByteArray> fields = out.mid(at + 6).split('\n').value(0).simplified().split(' ');
    Timing t;
    t.ms = (fields.value(0).toLongLong() - start) / 1e6;
    if (fields.size() > 1) t.cpuMs = fields.at(1).toLongLong() / 1e6;
    return t;
}

double Quantile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const double pos = q * (v.size() - 1);
    const size_t lo = static_cast<size_t>(pos);
    const size_t hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (v[hi] - v[lo]) * (pos - lo);
}

QString LoadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("unknown");
    return QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2);
}

// A copy of the demo catalogue, an alias file, an empty project and the
// directories of the comparison's own: a copy of the program the user has
// open does not answer for the measured one.
bool PrepareDemo(const QString& demo, const QTemporaryDir& dir, QProcessEnvironment* env, QStringList* args,
                 QString* error) {
    const QDir source(demo + QStringLiteral("/catalogue"));
    const QString catalogue = dir.filePath(QStringLiteral("catalogue"));
    QDir().mkpath(catalogue);
    const QStringList files = source.entryList(QDir::Files);
    if (files.isEmpty()) {
        *error = QStringLiteral("no demo catalogue in %1").arg(source.path());
        return false;
    }
    for (const QString& f : files) QFile::copy(source.filePath(f), QDir(catalogue).filePath(f));
    const QString aliases = dir.filePath(QStringLiteral("aliases.ini"));
    QFile a(aliases);
    if (!a.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write %1").arg(aliases);
        return false;
    }
    a.write(QStringLiteral("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
    a.close();
    for (const char* sub : {"runtime", "tmp", "config"}) QDir().mkpath(dir.filePath(QString::fromLatin1(sub)));
    const QString runtime = dir.filePath(QStringLiteral("runtime"));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env->insert(QStringLiteral("KORVA_ALIAS_FILE"), aliases);
    env->insert(QStringLiteral("KORVA_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    env->insert(QStringLiteral("HOME"), dir.path());
    env->insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env->insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env->insert(QStringLiteral("TMPDIR"), dir.filePath(QStringLiteral("tmp")));
    *args = {QStringLiteral("/IF:") + demo + QStringLiteral("/inputs/spring_hanger.ini"),
             QStringLiteral("/OF:") + dir.filePath(QStringLiteral("out.zof")),
             QStringLiteral("/PD:") + dir.filePath(QStringLiteral("project"))};
    return true;
}

void PrintLine(const Program& p) {
    std::printf("%-24s median %6.1f ms (quartiles %.1f-%.1f)", qPrintable(p.name + QLatin1Char(':')),
                Quantile(p.ms, 0.5), Quantile(p.ms, 0.25), Quantile(p.ms, 0.75));
    if (p.cpuMs.size() == p.ms.size()) std::printf(", processor %5.1f ms", Quantile(p.cpuMs, 0.5));
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{QStringLiteral("korva"), QStringLiteral("The program."), QStringLiteral("path")},
                       {QStringLiteral("bare"), QStringLiteral("The bare Qt widget program."), QStringLiteral("path")},
                       {QStringLiteral("demo"), QStringLiteral("The build's demo directory."), QStringLiteral("dir")},
                       {QStringLiteral("before"), QStringLiteral("An earlier build of the program."), QStringLiteral("path")},
                       {QStringLiteral("rounds"), QStringLiteral("Rounds (default 40)."), QStringLiteral("n"),
                        QStringLiteral("40")}});
    parser.addHelpOption();
    parser.process(app);
    if (!parser.isSet(QStringLiteral("korva")) || !parser.isSet(QStringLiteral("bare")) ||
        !parser.isSet(QStringLiteral("demo"))) {
        std::fprintf(stderr, "korva_startup_compare: --korva, --bare and --demo are needed\n");
        return 2;
    }
    const int rounds = std::max(1, parser.value(QStringLiteral("rounds")).toInt());
    // The runs start in a directory of their own: relative paths are taken
    // from where the comparison was started.
    const auto absolute = [&](const char* option) {
        return QFileInfo(parser.value(QString::fromLatin1(option))).absoluteFilePath();
    };
    QTemporaryDir dir;
    QString error;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QStringList args;
    if (!dir.isValid() || !PrepareDemo(absolute("demo"), dir, &env, &args, &error)) {
        std::fprintf(stderr, "korva_startup_compare: %s\n", qPrintable(error.isEmpty() ? dir.errorString() : error));
        return 1;
    }
    std::vector<Program> programs;
    programs.push_back({QStringLiteral("bare Qt widget program"), absolute("bare"), {}, {}, {}});
    programs.push_back({QStringLiteral("input form"), absolute("korva"), args, {}, {}});
    if (parser.isSet(QStringLiteral("before")))
        programs.push_back({QStringLiteral("input form before"), absolute("before"), args, {}, {}});
    const QString loadBefore = LoadAverage();
    const size_t n = programs.size();
    for (int round = 0; round < rounds; ++round) {
        for (size_t k = 0; k < n; ++k) {
            Program& p = programs[(size_t(round) + k) % n];
            const std::optional<Timing> t = Run(p, env, dir.path(), &error);
            if (!t) {
                std::fprintf(stderr, "korva_startup_compare: round %d: %s\n", round + 1, qPrintable(error));
                return 1;
            }
            p.ms.push_back(t->ms);
            if (t->cpuMs) p.cpuMs.push_back(*t->cpuMs);
        }
    }
    std::printf("rounds:                  %d (interleaved), load average %s before, %s after\n", rounds,
                qPrintable(loadBefore), qPrintable(LoadAverage()));
    for (const Program& p : programs) PrintLine(p);
    const double bare = Quantile(programs[0].ms, 0.5);
    std::printf("ratio of the medians:    %.2f", Quantile(programs[1].ms, 0.5) / bare);
    if (n > 2) std::printf(" (before: %.2f)", Quantile(programs[2].ms, 0.5) / bare);
    std::printf("\n");
    if (programs[0].cpuMs.size() == size_t(rounds) && programs[1].cpuMs.size() == size_t(rounds))
        std::printf("processor time ratio:    %.2f\n", Quantile(programs[1].cpuMs, 0.5) / Quantile(programs[0].cpuMs, 0.5));
    return 0;
}
