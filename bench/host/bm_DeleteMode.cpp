// Delete mode as the host sees it: the wall time of one run of the korva
// executable (process start included) that deletes one support from a
// project of 10,000 supports, measured against the sqlite3 shell doing the
// same look-up and deletes on a copy of the same files.
//
// The host starts the program with "/DEL:<position number>", "/PD:<project
// directory>" and "/OF:<result file>" and nothing else: the child gets the
// environment of the benchmark without Qt variables, and a runtime
// directory of its own so that a copy of the program run by somebody else on
// the machine cannot refuse it.
//
// KORVA_BENCH_PROJECT=<dir> builds the project there (a "pristine" folder
// and the two copies) and keeps it, for looking at a run with strace or
// perf. KORVA_BENCH_EXE=<path> runs another build of the program (an older
// one, for a before-and-after figure on the same machine at the same load).
#include "data/DBCREATE.h"
#include "host/KORVA_MDS.h"
#include "host/ProjectFixture.h"
#include "platform/Session.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

constexpr int SupportCount = 10000;

QString BaseDirectory() {
    static TestDir temporary;
    static const QString base = [] {
        const QString kept = qEnvironmentVariable("KORVA_BENCH_PROJECT");
        if (kept.isEmpty()) return temporary.path();
        QDir(kept).removeRecursively();
        QDir().mkpath(kept);
        return QDir(kept).absolutePath();
    }();
    return base;
}

void CopyTables(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& f : QDir(from).entryList({"*.db"}, QDir::Files)) QFile::copy(from + "/" + f, to + "/" + f);
}

// The project as built, and two copies of its files: one for the program,
// one for the sqlite3 shell, so that both sides start from the same bytes.
struct Project {
    QString korva;
    QString shell;
    QString runtime;
};

const Project& TheProject() {
    static const Project project = [] {
        const QString base = BaseDirectory();
        const QString pristine = base + "/pristine";
        QDir().mkpath(pristine);
        CreateProjectTables(pristine);
        fixture::AddManySupports(pristine, SupportCount, 4);
        Session().DropConnections();
        Project p{base + "/korva", base + "/shell", base + "/runtime"};
        CopyTables(pristine, p.korva);
        CopyTables(pristine, p.shell);
        QDir().mkpath(p.runtime);
        QFile::setPermissions(p.runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return p;
    }();
    return project;
}

QProcessEnvironment HostEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& name : env.keys())
        if (name.startsWith(QLatin1String("QT_")) || name.startsWith(QLatin1String("KORVA_"))) env.remove(name);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), TheProject().runtime);
    return env;
}

// The exit status of one run of the program; -1 when it did not end.
int RunKorva(const QStringList& args) {
    static const QProcessEnvironment env = HostEnvironment();
    QProcess p;
    p.setProcessEnvironment(env);
    static const QString exe = qEnvironmentVariableIsEmpty("KORVA_BENCH_EXE") ? QStringLiteral(KORVA_EXE)
                                                                              : qEnvironmentVariable("KORVA_BENCH_EXE");
    p.start(exe, args);
    if (!p.waitForFinished(60000)) return -1;
    return p.exitCode();
}

QStringList DeleteArguments(const QString& project, const QString& mark) {
    return {"/DEL:" + mark, "/PD:" + project, "/OF:" + project + "/../result-korva.txt"};
}

// The same work done by the sqlite3 shell: start, look the support up,
// delete its rows from the four tables in one transaction (with a file as
// main, so that the commit over the four files goes through a
// super-journal as the program's does). The floor delete mode is measured
// against. Returns an error text, empty on success.
QString RunShell(const QString& project, const QString& mark) {
    const QString script = QString(
        "ATTACH 'konstz8.db' AS z; ATTACH 'konbtl8.db' AS b; ATTACH 'konetr8.db' AS e;\n"
        "CREATE TEMP TABLE k AS SELECT K_F_NR_AUS AS v FROM main.konstr8 WHERE K_POS_NR = '%1' LIMIT 1;\n"
        "BEGIN;\n"
        "DELETE FROM main.konstr8 WHERE K_F_NR_AUS = (SELECT v FROM k);\n"
        "DELETE FROM z.konstz8 WHERE K_F_NR_AUS = (SELECT v FROM k);\n"
        "DELETE FROM b.konbtl8 WHERE KB_F_NR_AUS = (SELECT v FROM k);\n"
        "DELETE FROM e.konetr8 WHERE KE_F_NR_AUS = (SELECT v FROM k);\n"
        "COMMIT;\n").arg(mark);
    QProcess p;
    p.setWorkingDirectory(project);
    p.start("sqlite3", {"-bail", "konstr8.db"});
    p.write(script.toUtf8());
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) return "sqlite3 did not end";
    if (p.exitCode() != 0) return "sqlite3: " + QString::fromLocal8Bit(p.readAllStandardError());
    return {};
}

int SupportsLeft(const QString& project) {
    QProcess count;
    count.setWorkingDirectory(project);
    count.start("sqlite3", {"konstr8.db", "SELECT count(*) FROM konstr8"});
    count.waitForFinished(60000);
    return count.readAllStandardOutput().trimmed().toInt();
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double LoadAverage() {
    QFile f("/proc/loadavg");
    if (!f.open(QIODevice::ReadOnly)) return -1;
    return f.readAll().split(' ').value(0).toDouble();
}

// Each iteration deletes the next support twice: once by the program on its
// copy, once by the shell on its copy, in turns (the order alternates, so
// that neither side always runs right after the other's syncs). The medians
// of both and their ratio are the counters; the machine's load average is
// reported beside them because the syncs' latency follows it.
void BM_DeleteModeAgainstShell(benchmark::State& state) {
    const Project& project = TheProject();
    static int next = 0;
    std::vector<double> korvaMs, shellMs;
    const double loadBefore = LoadAverage();
    for (auto _ : state) {
        const QString mark = "H-" + QString::number(++next);
        for (int side = 0; side < 2; ++side) {
            QElapsedTimer timer;
            timer.start();
            if ((side + next) % 2 == 0) {
                const int code = RunKorva(DeleteArguments(project.korva, mark));
                korvaMs.push_back(timer.nsecsElapsed() / 1e6);
                if (code != ExitStatusOf(300)) state.SkipWithError(qPrintable(QString("exit code %1").arg(code)));
            } else {
                const QString error = RunShell(project.shell, mark);
                shellMs.push_back(timer.nsecsElapsed() / 1e6);
                if (!error.isEmpty()) state.SkipWithError(qPrintable(error));
            }
        }
    }
    // Both must have deleted the same supports.
    const int korvaLeft = SupportsLeft(project.korva), shellLeft = SupportsLeft(project.shell);
    if (korvaLeft != SupportCount - next || shellLeft != korvaLeft)
        state.SkipWithError(qPrintable(QString("supports left: korva %1, shell %2").arg(korvaLeft).arg(shellLeft)));
    const double korva = Median(korvaMs), shell = Median(shellMs);
    state.counters["korva_ms"] = korva;
    state.counters["sqlite3_ms"] = shell;
    state.counters["ratio"] = shell > 0 ? korva / shell : 0;
    state.counters["load_avg"] = (loadBefore + LoadAverage()) / 2;
}
BENCHMARK(BM_DeleteModeAgainstShell)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(60)->Repetitions(3);

// A position number that is not there: start and look-up, no commit; 303
// expected.
void BM_DeleteUnknownSupport(benchmark::State& state) {
    const Project& project = TheProject();
    for (auto _ : state) {
        const int code = RunKorva(DeleteArguments(project.korva, "NO-SUCH-MARK"));
        if (code != ExitStatusOf(303)) state.SkipWithError(qPrintable(QString("exit code %1").arg(code)));
    }
}
BENCHMARK(BM_DeleteUnknownSupport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

// The floor of the program: starting the executable up to its first
// argument check (no project directory: 202).
void BM_ArgumentErrorOnly(benchmark::State& state) {
    TheProject();
    for (auto _ : state) {
        const int code = RunKorva({"/DEL:H-1"});
        if (code != 202) state.SkipWithError(qPrintable(QString("exit code %1").arg(code)));
    }
}
BENCHMARK(BM_ArgumentErrorOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

// The floor of the shell: starting sqlite3 on an empty statement.
void BM_ShellStartOnly(benchmark::State& state) {
    for (auto _ : state) {
        QProcess p;
        p.start("sqlite3", {":memory:", "select 1"});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) state.SkipWithError("sqlite3 failed");
    }
}
BENCHMARK(BM_ShellStartOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
