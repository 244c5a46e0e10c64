// The korva executable over its start modes: argument checks with their
// messages and exit codes, and delete mode from end to end.
#include "data/DBCREATE.h"
#include "host/KORVA_MDS.h"
#include "host/ProjectFixture.h"
#include "platform/HostFiles.h"
#include "platform/Session.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

using namespace fixture;

namespace {

struct RunResult {
    int exitCode = -1;
    QString err;
};

using EnvMap = QMap<QString, QString>;

}  // namespace

class TestStartModes : public QObject {
    Q_OBJECT

    TestDir m_dir;  // %D%: holds the input file %IN% and the empty project %P%

    QString Expand(QString s) const {
        s.replace("%IN%", m_dir.file("in.zif"));
        s.replace("%P%", m_dir.file("project"));
        s.replace("%D%", m_dir.path());
        return s;
    }

    RunResult Run(const QStringList& args, const EnvMap& env = {}, bool display = true,
                  const QString& exe = KORVA_EXE) const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"KORVA_INPUTFILE", "KORVA_OUTPUTFILE", "KORVA_TEST_FAIL_WRITE", "KORVA_TEST_CRASH_AT"})
            e.remove(name);
        e.insert("QT_QPA_PLATFORM", "offscreen");
        if (!display)
            for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) e.remove(name);
        if (!e.contains("KORVA_ALIAS_FILE")) e.insert("KORVA_ALIAS_FILE", m_dir.file("no-alias-file.ini"));
        for (auto it = env.begin(); it != env.end(); ++it) e.insert(it.key(), Expand(it.value()));
        QStringList expanded;
        for (const QString& a : args) expanded << Expand(a);
        QProcess p;
        p.setProcessEnvironment(e);
        p.start(exe, expanded);
        RunResult r;
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exitCode = p.exitCode();
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

    static QByteArray FileBytes(const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    // A project with the supports H-1 (drawing key KeyA) and H-2.
    static constexpr int KeyA = 100010001;
    static constexpr int KeyB = 100010002;
    QString MakeProject(const TestDir& dir, bool fullTables = false) const {
        const QString p = dir.file("project");
        QDir().mkpath(p);
        if (fullTables)
            CreateProjectTables(p);
        else
            CreateSupportTables(p);
        AddSupport(p, KeyA, "H-1", 3);
        AddSupport(p, KeyB, "H-2", 2);
        Session().DropConnections();
        return p;
    }

    void AddCheckRows() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<EnvMap>("env");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
    }

    void CheckRow() {
        QFETCH(QStringList, args);
        QFETCH(EnvMap, env);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const RunResult r = Run(args, env);
        QCOMPARE(r.exitCode, ExitStatusOf(exitCode));
        if (!message.isEmpty()) QVERIFY2(r.err.contains(Expand(message)), qPrintable(r.err));
        QCOMPARE(r.err.count("ERROR: "), message.isEmpty() ? 0 : 1);
    }

private slots:
    void initTestCase() {
        QVERIFY(WriteHostTextFile(m_dir.file("in.zif"), {"[DWG]", "HangerMark=H-1"}));
        QVERIFY(QDir().mkpath(m_dir.file("project")));
    }

    void runArgs_data() {
        AddCheckRows();
        const EnvMap none;
        const QString out = "/OF:%D%/o.zof";
        QTest::newRow("no parameters") << QStringList{} << none << 101 << "ERROR: No input file specified !";
        QTest::newRow("bare /DEL: is normal mode") << QStringList{"/DEL:"} << none << 101
                                                   << "ERROR: No input file specified !";
        QTest::newRow("empty /IF: overrides the environment")
            << QStringList{"/IF:", out} << EnvMap{{"KORVA_INPUTFILE", "%IN%"}} << 101
            << "ERROR: No input file specified !";
        QTest::newRow("no output file") << QStringList{"/IF:%IN%"} << none << 102 << "ERROR: No output file specified !";
        QTest::newRow("empty /OF: overrides the environment")
            << QStringList{"/IF:%IN%", "/OF:"} << EnvMap{{"KORVA_OUTPUTFILE", "%D%/o.zof"}} << 102
            << "ERROR: No output file specified !";
        QTest::newRow("input file missing, before the output checks")
            << QStringList{"/IF:%D%/none.zif", "/OF:%D%"} << none << 103
            << "ERROR: Input file \"%D%/none.zif\" does not exist !";
        QTest::newRow("input file from the environment")
            << QStringList{out} << EnvMap{{"KORVA_INPUTFILE", "%D%/env.zif"}} << 103
            << "ERROR: Input file \"%D%/env.zif\" does not exist !";
        QTest::newRow("input value keeps its case") << QStringList{"/IF:%D%/IN.ZIF", out} << none << 103
                                                    << "ERROR: Input file \"%D%/IN.ZIF\" does not exist !";
        QTest::newRow("input is a directory") << QStringList{"/IF:%D%", out} << none << 103
                                              << "ERROR: Input file \"%D%\" does not exist !";
        QTest::newRow("output is a directory") << QStringList{"/IF:%IN%", "/OF:%D%"} << none << 104
                                               << "ERROR: Output file name \"%D%\" is an existing directory !";
        QTest::newRow("output without directory") << QStringList{"/IF:%IN%", "/OF:o.zof"} << none << 106
                                                  << "ERROR: Output directory \"\" does not exist !";
        QTest::newRow("output directory missing, before the extension")
            << QStringList{"/IF:%IN%", "/OF:%D%/none/o.txt"} << none << 106
            << "ERROR: Output directory \"%D%/none/\" does not exist !";
        QTest::newRow("wrong extension") << QStringList{"/IF:%IN%", "/OF:%D%/o.zif"} << none << 107
                                         << "ERROR: Output file name \"%D%/o.zif\" do not have extension \".zof\" !";
        QTest::newRow("later parameter wins") << QStringList{"/IF:%IN%", out, "/OF:%D%/o.txt"} << none << 107
                                              << "ERROR: Output file name \"%D%/o.txt\" do not have extension \".zof\" !";
        QTest::newRow("prefixes in any case") << QStringList{"/if:%IN%", "/oF:%D%/o.txt"} << none << 107
                                              << "ERROR: Output file name \"%D%/o.txt\" do not have extension \".zof\" !";
        QTest::newRow("unknown parameter ignored") << QStringList{"/XYZ:1", "/IF:%IN%", "/OF:%D%/o.zo"} << none << 107
                                                   << "ERROR: Output file name \"%D%/o.zo\" do not have extension \".zof\" !";
    }
    void runArgs() { CheckRow(); }

    void deleteArgs_data() {
        AddCheckRows();
        const EnvMap none;
        const QString res = "/OF:%D%/r.txt";
        QTest::newRow("/IF: with delete") << QStringList{"/DEL:H-1", "/IF:%IN%", "/PD:%P%", res} << none << 201
                                          << "ERROR: Incorrect combination of parameters (/DEL and /IF ) !";
        QTest::newRow("input file from the environment")
            << QStringList{"/DEL:H-1", "/PD:%P%", res} << EnvMap{{"KORVA_INPUTFILE", "%IN%"}} << 201
            << "ERROR: Incorrect combination of parameters (/DEL and /IF ) !";
        QTest::newRow("no project directory") << QStringList{"/DEL:H-1", res} << none << 202
                                              << "ERROR: Project directory \"\" does not exist !";
        QTest::newRow("project directory missing") << QStringList{"/DEL:H-1", "/PD:%D%/none", res} << none << 202
                                                   << "ERROR: Project directory \"%D%/none\" does not exist !";
        QTest::newRow("project is a file") << QStringList{"/DEL:H-1", "/PD:%IN%", res} << none << 202
                                           << "ERROR: Project directory \"%IN%\" does not exist !";
        QTest::newRow("no result file") << QStringList{"/DEL:H-1", "/PD:%P%"} << none << 203
                                        << "ERROR: No output file specified !";
        QTest::newRow("result file from the environment, emptied")
            << QStringList{"/DEL:H-1", "/PD:%P%", "/OF:"} << EnvMap{{"KORVA_OUTPUTFILE", "%D%/r.txt"}} << 203
            << "ERROR: No output file specified !";
        QTest::newRow("result file is a directory") << QStringList{"/DEL:H-1", "/PD:%P%", "/OF:%D%"} << none << 204
                                                    << "ERROR: Output file name \"%D%\" is an existing directory !";
        QTest::newRow("result file without directory") << QStringList{"/DEL:H-1", "/PD:%P%", "/OF:r.txt"} << none
                                                       << 205 << "ERROR: Output directory \"\" does not exist !";
        QTest::newRow("result directory missing") << QStringList{"/DEL:H-1", "/PD:%P%", "/OF:%D%/none/r.txt"} << none
                                                  << 205 << "ERROR: Output directory \"%D%/none/\" does not exist !";
        // Past the checks: the empty project has no tables, so the look-up fails.
        QTest::newRow("prefixes in any case, any extension")
            << QStringList{"/dEl:H-1", "/pd:%P%", "/Of:%D%/r.ANY"} << none << 301 << "";
        QTest::newRow("empty /IF: clears the environment")
            << QStringList{"/DEL:H-1", "/IF:", "/PD:%P%", res} << EnvMap{{"KORVA_INPUTFILE", "%IN%"}} << 301 << "";
        QTest::newRow("result file from the environment")
            << QStringList{"/DEL:H-1", "/PD:%P%"} << EnvMap{{"KORVA_OUTPUTFILE", "%D%/r.txt"}} << 301 << "";
    }
    void deleteArgs() { CheckRow(); }

    void configureArgs_data() {
        AddCheckRows();
        const EnvMap none;
        QTest::newRow("with another parameter") << QStringList{"/CONFIGURE_CONF", "/IF:%IN%"} << none << 1 << "";
        QTest::newRow("after another parameter") << QStringList{"/XYZ", "/configure_conf"} << none << 1 << "";
        QTest::newRow("given twice") << QStringList{"/CONFIGURE_CONF", "/CONFIGURE_CONF"} << none << 1 << "";
        QTest::newRow("before delete mode") << QStringList{"/DEL:H-1", "/PD:%P%", "/OF:%D%/r.txt", "/Configure_Conf"}
                                            << none << 1 << "";
    }
    void configureArgs() { CheckRow(); }

    // Configuration and normal mode need their main forms to run; until a
    // build has them, they must not report success to the host.
    void modesPastTheirChecksNeverEndWithZero_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<EnvMap>("env");
        QTest::newRow("configuration mode") << QStringList{"/configure_conf"} << EnvMap{};
        QTest::newRow("normal mode") << QStringList{"/IF:%IN%", "/OF:%D%/Out.ZOF"} << EnvMap{};
        QTest::newRow("normal mode from the environment")
            << QStringList{} << EnvMap{{"KORVA_INPUTFILE", "%IN%"}, {"KORVA_OUTPUTFILE", "%D%/o.zof"}};
    }
    void modesPastTheirChecksNeverEndWithZero() {
        QFETCH(QStringList, args);
        QFETCH(EnvMap, env);
        const RunResult r = Run(args, env);
        QVERIFY2(r.exitCode > 1 && r.exitCode < 100, qPrintable(QString::number(r.exitCode) + ": " + r.err));
        QVERIFY(!r.err.contains("ERROR: "));
        QVERIFY(!r.err.trimmed().isEmpty());
        QVERIFY(!QFile::exists(m_dir.file("Out.ZOF")));
    }

    void deleteTwice_data() {
        QTest::addColumn<bool>("fullTables");
        QTest::newRow("key fields only") << false;
        QTest::newRow("tables of a new project") << true;
    }
    void deleteTwice() {
        QFETCH(bool, fullTables);
        TestDir dir;
        const QString p = MakeProject(dir, fullTables);
        const QString res = dir.file("result.txt");
        QVERIFY(WriteHostTextFile(res, {"old content", "second line"}));
        const RunResult first = Run({"/DEL:H-1", "/PD:" + p, "/OF:" + res});
        QCOMPARE(first.exitCode, ExitStatusOf(300));
        QCOMPARE(FileBytes(res), QByteArray("0\r\n"));
        QCOMPARE(RowsOf(p, KeyA), QList<int>({0, 0, 0, 0}));
        QCOMPARE(RowsOf(p, KeyB), QList<int>({1, 1, 2, 1}));
        Session().DropConnections();
        const RunResult second = Run({"/DEL:H-1", "/PD:" + p, "/OF:" + res});
        QCOMPARE(second.exitCode, ExitStatusOf(303));
        QCOMPARE(FileBytes(res), QByteArray("3\r\n"));
        QCOMPARE(RowsOf(p, KeyB), QList<int>({1, 1, 2, 1}));
    }

    // The host may start the program where no display exists: delete mode
    // and the argument checks still run to their end, never abort.
    void withoutDisplay() {
        TestDir dir;
        const QString p = MakeProject(dir);
        const QString res = dir.file("result.txt");
        const RunResult del = Run({"/DEL:H-1", "/PD:" + p, "/OF:" + res}, {}, false);
        QCOMPARE(del.exitCode, ExitStatusOf(300));
        QCOMPARE(FileBytes(res), QByteArray("0\r\n"));
        const RunResult args = Run({}, {}, false);
        QCOMPARE(args.exitCode, 101);
        QVERIFY2(args.err.contains("ERROR: No input file specified !"), qPrintable(args.err));
    }

    void hostileMarkDeletesNothing_data() {
        QTest::addColumn<QString>("mark");
        QTest::newRow("double quotes") << "H-1\" or \"1\"=\"1";
        QTest::newRow("single quotes") << "x' or '1'='1";
        QTest::newRow("second statement") << "H-1\"; delete from konstr8; --";
    }
    void hostileMarkDeletesNothing() {
        QFETCH(QString, mark);
        TestDir dir;
        const QString p = MakeProject(dir);
        const QString res = dir.file("result.txt");
        QCOMPARE(Run({"/DEL:" + mark, "/PD:" + p, "/OF:" + res}).exitCode, ExitStatusOf(303));
        QCOMPARE(FileBytes(res), QByteArray("3\r\n"));
        QCOMPARE(TotalRows(p), QList<int>({2, 2, 5, 2}));
    }

    void missingTablesAreALookupFailure() {
        TestDir dir;
        const QString p = dir.file("project");
        QVERIFY(QDir().mkpath(p));
        const QString res = dir.file("result.txt");
        QCOMPARE(Run({"/DEL:H-1", "/PD:" + p, "/OF:" + res}).exitCode, ExitStatusOf(301));
        QCOMPARE(FileBytes(res), QByteArray("1\r\n"));
        QCOMPARE(QDir(p).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList());
    }

    void unwritableResultFile() {
        TestDir dir;
        const QString p = MakeProject(dir);
        const RunResult r = Run({"/DEL:H-1", "/PD:" + p, "/OF:/proc/self/korva-result.txt"});
        QCOMPARE(r.exitCode, ExitStatusOf(999));
    }

    void failedThirdDeleteChangesNothing() {
        TestDir dir;
        const QString p = MakeProject(dir);
        const QString res = dir.file("result.txt");
        const QList<int> before = TotalRows(p);
        Session().DropConnections();
        QCOMPARE(Run({"/DEL:H-1", "/PD:" + p, "/OF:" + res}, {{"KORVA_TEST_FAIL_WRITE", "3"}}, true, KORVA_HOOKED_EXE)
                     .exitCode,
                 ExitStatusOf(302));
        QCOMPARE(FileBytes(res), QByteArray("2\r\n"));
        QCOMPARE(TotalRows(p), before);
        QCOMPARE(RowsOf(p, KeyA), QList<int>({1, 1, 3, 1}));
        Session().DropConnections();
        // Nothing was left half deleted, so the next run succeeds.
        QCOMPARE(Run({"/DEL:H-1", "/PD:" + p, "/OF:" + res}).exitCode, ExitStatusOf(300));
        QCOMPARE(RowsOf(p, KeyA), QList<int>({0, 0, 0, 0}));
    }
};

QTEST_GUILESS_MAIN(TestStartModes)
#include "tst_StartModes.moc"
