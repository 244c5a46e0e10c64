// Start-up of normal mode against the bare Qt widget program, the two run
// in turns (the order alternating each round) so that a change in the
// machine's load falls on both alike. Each run is timed from just before
// the process starts to the moment the program reports its first paint.
// A run that fails ends the comparison with a message and exit code 1: a
// ratio over a failed run would mean nothing.
//
//   korva_startup_compare --korva K --bare B --demo DIR [--rounds N]
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
    QProcessEnvironment env;
};

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Milliseconds from the start to the reported paint, or a message.
std::optional<double> Run(const Program& p, const QString& workDir, QString* error) {
    QProcess process;
    process.setProcessEnvironment(p.env);
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
    const long long shown = out.mid(at + 6).split('\n').value(0).trimmed().toLongLong();
    return (shown - start) / 1e6;
}

double Quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const double pos = q * (v.size() - 1);
    const size_t lo = static_cast<size_t>(pos);
    const size_t hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (v[hi] - v[lo]) * (pos - lo);
}

// A copy of the demo catalogue, an alias file, an empty project and a
// settings and runtime directory of the comparison's own: a copy of the
// program the user has open does not answer for the measured one.
bool PrepareDemo(const QString& demo, const QTemporaryDir& dir, Program* korva, QString* error) {
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
    const QString runtime = dir.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    korva->env.insert(QStringLiteral("KORVA_ALIAS_FILE"), aliases);
    korva->env.insert(QStringLiteral("KORVA_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    korva->env.insert(QStringLiteral("HOME"), dir.path());
    korva->env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    korva->env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    korva->args = {QStringLiteral("/IF:") + demo + QStringLiteral("/inputs/spring_hanger.ini"),
                   QStringLiteral("/OF:") + dir.filePath(QStringLiteral("out.zof")),
                   QStringLiteral("/PD:") + dir.filePath(QStringLiteral("project"))};
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{QStringLiteral("korva"), QStringLiteral("The program."), QStringLiteral("path")},
                       {QStringLiteral("bare"), QStringLiteral("The bare Qt widget program."), QStringLiteral("path")},
                       {QStringLiteral("demo"), QStringLiteral("The build's demo directory."), QStringLiteral("dir")},
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
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The runs start in a directory of their own: relative paths are taken
    // from where the comparison was started.
    const auto absolute = [&](const char* option) {
        return QFileInfo(parser.value(QString::fromLatin1(option))).absoluteFilePath();
    };
    Program bare{QStringLiteral("the bare Qt program"), absolute("bare"), {}, env};
    Program korva{QStringLiteral("the input form"), absolute("korva"), {}, env};
    QTemporaryDir dir;
    QString error;
    if (!dir.isValid() || !PrepareDemo(absolute("demo"), dir, &korva, &error)) {
        std::fprintf(stderr, "korva_startup_compare: %s\n", qPrintable(error.isEmpty() ? dir.errorString() : error));
        return 1;
    }
    std::vector<double> bareMs, formMs;
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < 2; ++k) {
            const bool formNow = (round + k) % 2 == 1;
            const std::optional<double> ms = Run(formNow ? korva : bare, dir.path(), &error);
            if (!ms) {
                std::fprintf(stderr, "korva_startup_compare: round %d: %s\n", round + 1, qPrintable(error));
                return 1;
            }
            (formNow ? formMs : bareMs).push_back(*ms);
        }
    }
    const double bareMedian = Quantile(bareMs, 0.5), formMedian = Quantile(formMs, 0.5);
    std::printf("rounds:                 %d (interleaved)\n", rounds);
    std::printf("bare Qt widget program: median %.1f ms (quartiles %.1f-%.1f)\n", bareMedian, Quantile(bareMs, 0.25),
                Quantile(bareMs, 0.75));
    std::printf("input form:             median %.1f ms (quartiles %.1f-%.1f)\n", formMedian, Quantile(formMs, 0.25),
                Quantile(formMs, 0.75));
    std::printf("ratio of the medians:   %.2f\n", formMedian / bareMedian);
    return 0;
}
