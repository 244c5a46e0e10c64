// Delete mode as the host sees it: the wall time of one run of the korva
// executable (process start included) that deletes one support from a
// project of 10,000 supports.
#include "data/DBCREATE.h"
#include "host/KORVA_MDS.h"
#include "host/ProjectFixture.h"
#include "platform/Session.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>

namespace {

constexpr int SupportCount = 10000;

// The project, and a copy of its files made before anything is deleted
// for the sqlite3 shell.
const QString& Project() {
    static TestDir dir;
    static const QString path = [] {
        const QString p = dir.file("project");
        QDir().mkpath(p);
        CreateProjectTables(p);
        fixture::AddManySupports(p, SupportCount, 4);
        Session().DropConnections();
        const QString copy = dir.file("copy");
        QDir().mkpath(copy);
        for (const QString& f : QDir(p).entryList({"*.db"}, QDir::Files)) QFile::copy(p + "/" + f, copy + "/" + f);
        return p;
    }();
    return path;
}

int RunKorva(const QStringList& args) {
    QProcess p;
    p.start(KORVA_EXE, args);
    if (!p.waitForFinished(60000)) return -1;
    return p.exitCode();
}

// Each iteration deletes the next support: 300 expected.
void BM_DeleteSupport(benchmark::State& state) {
    const QString project = Project();
    const QString result = project + "/../result.txt";
    int next = 0;
    for (auto _ : state) {
        const int code = RunKorva({"/DEL:H-" + QString::number(++next), "/PD:" + project, "/OF:" + result});
        if (code != ExitStatusOf(300)) state.SkipWithError(qPrintable(QString("exit code %1").arg(code)));
    }
}
BENCHMARK(BM_DeleteSupport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(100);

// The same work done by the sqlite3 shell on a copy of the same files:
// start, look the support up, delete its rows from the four tables in one
// transaction (with a file as main, as the program commits). The floor
// delete mode is measured against.
QString ShellCopy() { return Project() + "/../copy"; }

void BM_Sqlite3ShellSameDeletes(benchmark::State& state) {
    const QString copy = ShellCopy();
    int next = 0;
    for (auto _ : state) {
        const QString mark = "H-" + QString::number(++next);
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
        p.setWorkingDirectory(copy);
        p.start("sqlite3", {"-bail", "konstr8.db"});
        p.write(script.toUtf8());
        p.closeWriteChannel();
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            state.SkipWithError(qPrintable("sqlite3: " + QString::fromLocal8Bit(p.readAllStandardError())));
    }
    // The shell must have deleted as many supports as delete mode did.
    QProcess count;
    count.setWorkingDirectory(copy);
    count.start("sqlite3", {"konstr8.db", "SELECT count(*) FROM konstr8"});
    count.waitForFinished(60000);
    if (count.readAllStandardOutput().trimmed().toInt() != SupportCount - next)
        state.SkipWithError("the shell did not delete the supports");
}
BENCHMARK(BM_Sqlite3ShellSameDeletes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(100);

// A position number that is not there: the look-up alone, 303 expected.
void BM_DeleteUnknownSupport(benchmark::State& state) {
    const QString project = Project();
    const QString result = project + "/../result.txt";
    for (auto _ : state) {
        const int code = RunKorva({"/DEL:NO-SUCH-MARK", "/PD:" + project, "/OF:" + result});
        if (code != ExitStatusOf(303)) state.SkipWithError(qPrintable(QString("exit code %1").arg(code)));
    }
}
BENCHMARK(BM_DeleteUnknownSupport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

// The floor: starting the executable up to its first argument check.
void BM_ArgumentErrorOnly(benchmark::State& state) {
    for (auto _ : state) {
        const int code = RunKorva({"/DEL:H-1"});
        if (code != 202) state.SkipWithError(qPrintable(QString("exit code %1").arg(code)));
    }
}
BENCHMARK(BM_ArgumentErrorOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
