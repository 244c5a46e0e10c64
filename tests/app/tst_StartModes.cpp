// The korva executable over its start modes: argument checks with their
// messages and exit codes, and delete mode from end to end.
#include "data/CatalogueSchema.h"
#include "data/DBCREATE.h"
#include "host/KORVA_MDS.h"
#include "host/ProjectFixture.h"
#include "platform/HostFiles.h"
#include "platform/InstanceLock.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSettings>
#include <QProcess>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

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
    int m_kills = 0;
    int m_refused = 0;

    QString Expand(QString s) const {
        s.replace("%IN%", m_dir.file("in.zif"));
        s.replace("%P%", m_dir.file("project"));
        s.replace("%D%", m_dir.path());
        return s;
    }

    // Runs the program; an environment value "<unset>" removes the variable.
    // With a working directory the per-user settings stay in it as well.
    RunResult Run(const QStringList& args, const EnvMap& env = {}, bool display = true,
                  const QString& exe = KORVA_EXE, const QString& cwd = {}) const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"KORVA_INPUTFILE", "KORVA_OUTPUTFILE", "KORVA_TEST_FAIL_WRITE", "KORVA_TEST_CRASH_AT",
                                 "KORVA_TEST_CRASH_HOST_AT"})
            e.remove(name);
        e.insert("QT_QPA_PLATFORM", "offscreen");
        if (!display)
            for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) e.remove(name);
        if (!e.contains("KORVA_ALIAS_FILE")) e.insert("KORVA_ALIAS_FILE", m_dir.file("no-alias-file.ini"));
        if (!cwd.isEmpty()) {
            e.insert("HOME", cwd + "/home");
            e.insert("XDG_CONFIG_HOME", cwd + "/home/config");
        }
        for (auto it = env.begin(); it != env.end(); ++it) {
            if (it.value() == "<unset>")
                e.remove(it.key());
            else
                e.insert(it.key(), Expand(it.value()));
        }
        QStringList expanded;
        for (const QString& a : args) expanded << Expand(a);
        QProcess p;
        p.setProcessEnvironment(e);
        if (!cwd.isEmpty()) p.setWorkingDirectory(cwd);
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

    // A start error of the data modules reaches standard error with its
    // lines broken by LF: a bare CR would make the lines overwrite each
    // other on a terminal.
    void startErrorOnStandardErrorLineByLine() {
        TestDir catalogue;
        {
            TTable txt(catalogue.path(), QStringLiteral("Txttab.DB"));
            txt.CreateTable(CatalogueTable(QStringLiteral("Txttab.DB")).fieldDefs());
        }
        Session().DropConnections();
        {
            QSettings ini(catalogue.file("aliases.ini"), QSettings::IniFormat);
            ini.setValue(QStringLiteral("KORVA_9_0/PATH"), catalogue.path());
        }
        const RunResult r = Run({"/configure_conf"}, {{"KORVA_ALIAS_FILE", catalogue.file("aliases.ini")}});
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.err.contains("BDE configuration error #2 ( Alias: KORVA_9_0 ?)\nFile firdat.db does not exist"),
                 qPrintable(r.err));
        QVERIFY(!r.err.contains(u'\r'));
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
        // A name longer than any file system allows, in a directory that exists.
        const RunResult r = Run({"/DEL:H-1", "/PD:" + p, "/OF:" + dir.file(QString(300, 'r') + ".txt")});
        QCOMPARE(r.exitCode, ExitStatusOf(999));
        // The support was deleted all the same; only the report failed.
        QCOMPARE(RowsOf(p, KeyA), QList<int>({0, 0, 0, 0}));
    }


    // An unreachable display cannot stop delete mode: it never touches a
    // window system.
    void deleteModeWithUnreachableDisplay() {
        TestDir dir;
        const QString p = MakeProject(dir);
        const QString res = dir.file("result.txt");
        const RunResult r = Run({"/DEL:H-1", "/PD:" + p, "/OF:" + res}, {{"DISPLAY", ":99"}}, false);
        QCOMPARE(r.exitCode, ExitStatusOf(300));
        QCOMPARE(FileBytes(res), QByteArray("0\r\n"));
    }

    // Delete mode starts without the interface libraries (their loading
    // cost more than the deletion); the other modes load them with the
    // module of the windowed modes, even when their argument checks fail.
    void interfaceLibrariesOnlyForWindowedModes_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("windowed");
        QTest::newRow("delete mode") << QStringList{"/DEL:H-1", "/PD:%P%", "/OF:%D%/r.txt"} << 300 << false;
        QTest::newRow("delete mode, argument error") << QStringList{"/DEL:H-1"} << 202 << false;
        QTest::newRow("normal mode, argument error") << QStringList{} << 101 << true;
        QTest::newRow("configuration mode, argument error") << QStringList{"/CONFIGURE_CONF", "x"} << 1 << true;
    }
    void interfaceLibrariesOnlyForWindowedModes() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(bool, windowed);
        TestDir dir;
        const QString p = MakeProject(dir);
        args.replaceInStrings("%P%", p).replaceInStrings("%D%", dir.path());
        // The dynamic loader names every library it loads on standard error.
        const RunResult r = Run(args, {{"LD_DEBUG", "files"}});
        QCOMPARE(r.exitCode, ExitStatusOf(exitCode));
        QVERIFY2(r.err.contains("file=libQt6Core"), "the loader's report is missing");
        for (const QString library : {"libkorva_windowed", "libQt6Widgets", "libQt6Gui", "libQt6PrintSupport"}) {
            const bool loaded = r.err.contains("file=" + library) || r.err.contains("/" + library);
            QVERIFY2(loaded == windowed, qPrintable(library));
        }
        // The answering server of the single-instance lock needs no Qt
        // Network (nor the Kerberos libraries it pulls in), in any mode.
        for (const QString library : {"libQt6Network", "libkrb5"})
            QVERIFY2(!r.err.contains("file=" + library) && !r.err.contains("/" + library), qPrintable(library));
    }

    // Delete mode needs nothing but the executable; without the module of
    // the windowed modes the other modes end with a message naming it.
    void executableWithoutWindowedModule() {
        TestDir dir;
        const QString p = MakeProject(dir);
        const QString exe = dir.file("korva");
        QVERIFY(QFile::copy(KORVA_EXE, exe));
        const QString res = dir.file("result.txt");
        const RunResult del = Run({"/DEL:H-1", "/PD:" + p, "/OF:" + res}, {}, true, exe);
        QCOMPARE(del.exitCode, ExitStatusOf(300));
        QCOMPARE(FileBytes(res), QByteArray("0\r\n"));
        QCOMPARE(RowsOf(p, KeyA), QList<int>({0, 0, 0, 0}));
        const RunResult normal = Run({"/IF:%IN%", "/OF:" + dir.file("o.zof")}, {}, true, exe);
        QCOMPARE(normal.exitCode, int(exitcode::StartFailed));
        QVERIFY2(normal.err.contains(dir.file("libkorva_windowed.so")), qPrintable(normal.err));
        QVERIFY(!QFileInfo::exists(dir.file("o.zof")));
    }

    // The write-fault hook exists only in the test build of the program.
    void testHooksAreNotInTheUsersProgram() {
        TestDir dir;
        const QString p = MakeProject(dir);
        const QString res = dir.file("result.txt");
        const EnvMap hooks{{"KORVA_TEST_FAIL_WRITE", "1"}, {"KORVA_TEST_CRASH_AT", "1"}};
        QCOMPARE(Run({"/DEL:H-1", "/PD:" + p, "/OF:" + res}, hooks).exitCode, ExitStatusOf(300));
        QCOMPARE(FileBytes(res), QByteArray("0\r\n"));
        QCOMPARE(RowsOf(p, KeyA), QList<int>({0, 0, 0, 0}));
    }

    // A FIFO or a device named as the result file is written where it
    // stands, never replaced; a device that is full fails the write.
    void resultFileOnSpecialFiles() {
        TestDir dir;
        const QString p = MakeProject(dir);
        const QString fifo = dir.file("result.fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QProcess korva;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("KORVA_ALIAS_FILE", dir.file("none.ini"));
        e.remove("KORVA_INPUTFILE");
        e.remove("KORVA_OUTPUTFILE");
        korva.setProcessEnvironment(e);
        korva.start(KORVA_EXE, {"/DEL:H-1", "/PD:" + p, "/OF:" + fifo});
        QFile reader(fifo);
        QVERIFY(reader.open(QIODevice::ReadOnly));  // waits for the writer
        const QByteArray got = reader.readAll();
        QVERIFY(korva.waitForFinished(60000));
        QCOMPARE(korva.exitCode(), ExitStatusOf(300));
        QCOMPARE(got, QByteArray("0\r\n"));
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));

        // Device nodes of our own: a null device takes the result, a full
        // one refuses it.
        const QString null = dir.file("null"), full = dir.file("full");
        if (::mknod(QFile::encodeName(null).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
            ::mknod(QFile::encodeName(full).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            QSKIP("device nodes cannot be made here");
        QCOMPARE(Run({"/DEL:H-2", "/PD:" + p, "/OF:" + full}).exitCode, ExitStatusOf(999));
        QCOMPARE(Run({"/DEL:H-2", "/PD:" + p, "/OF:" + null}).exitCode, ExitStatusOf(303));
        QCOMPARE(::lstat(QFile::encodeName(null).constData(), &st), 0);
        QVERIFY(S_ISCHR(st.st_mode));
        QCOMPARE(::lstat(QFile::encodeName(full).constData(), &st), 0);
        QVERIFY(S_ISCHR(st.st_mode));
    }

    // A plain result file is replaced whole, also one with a second hard
    // link: the link keeps the old content. Ended as by a kill at every step
    // of the write (opened, written, committed), the name holds the old file
    // or the whole new one, and the other link the old one.
    void hardLinkedResultFileReplacedWhole() {
        const QByteArray old = "old content that is longer\r\n";
        for (int step = 1; step <= 4; ++step) {
            TestDir dir;
            const QString p = MakeProject(dir);
            const QString res = dir.file("result.txt"), link = dir.file("link.txt");
            QVERIFY(WriteHostTextFile(res, {"old content that is longer"}));
            QCOMPARE(::link(QFile::encodeName(res).constData(), QFile::encodeName(link).constData()), 0);
            const RunResult r = Run({"/DEL:H-1", "/PD:" + p, "/OF:" + res}, {{"KORVA_TEST_CRASH_HOST_AT", QString::number(step)}},
                                    true, KORVA_HOOKED_EXE);
            const QByteArray now = FileBytes(res);
            QVERIFY2(now == old || now == "0\r\n", qPrintable(QString("step %1: %2").arg(step).arg(QString(now))));
            QCOMPARE(FileBytes(link), old);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
            if (r.exitCode == 86) ++m_kills;
            if (r.exitCode == ExitStatusOf(300)) {
                // The run outlived every step: the write is complete.
                QCOMPARE(now, QByteArray("0\r\n"));
                QVERIFY(step >= 3);
                return;
            }
            QCOMPARE(r.exitCode, 86);
            // Killed before its commit, the old file stands.
            if (step < 3) QCOMPARE(now, old);
        }
        QFAIL("the run never got past its steps");
    }

    // A result FIFO without a reader: the run ends at once with 999 instead
    // of waiting for a reader that never comes.
    void resultFifoWithoutReader() {
        TestDir dir;
        const QString p = MakeProject(dir);
        const QString fifo = dir.file("result.fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QElapsedTimer t;
        t.start();
        const RunResult r = Run({"/DEL:H-1", "/PD:" + p, "/OF:" + fifo});
        QCOMPARE(r.exitCode, ExitStatusOf(999));
        QVERIFY2(t.elapsed() < 30000, "the run waited for a reader");
        // The support is deleted; only the report could not be given.
        QCOMPARE(RowsOf(p, KeyA), QList<int>({0, 0, 0, 0}));
    }

    // The lock file is never created or written through a symbolic link
    // put in its place: the run says so and goes on unguarded.
    void lockFileBehindALink() {
        TestDir dir;
        const QString p = MakeProject(dir);
        const QString runtime = dir.file("runtime");
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(WriteHostTextFile(dir.file("victim.txt"), {"precious"}));
        QVERIFY(QFile::link(dir.file("victim.txt"), runtime + "/ZORBEL_KORVA2010_MUTEX.lock"));
        const RunResult r = Run({"/DEL:H-1", "/PD:" + p, "/OF:" + dir.file("r.txt")}, {{"XDG_RUNTIME_DIR", runtime}});
        QCOMPARE(r.exitCode, ExitStatusOf(300));
        QVERIFY2(r.err.contains("symbolic link") && r.err.contains("ZORBEL_KORVA2010_MUTEX.lock"), qPrintable(r.err));
        QCOMPARE(FileBytes(dir.file("victim.txt")), QByteArray("precious\r\n"));
        QVERIFY(QFileInfo(runtime + "/ZORBEL_KORVA2010_MUTEX.lock").isSymLink());
    }

    // ---------------------------------------------------------------- normal mode: the host's answer

private:
    // The demo catalogue under an alias file of its own; returns the alias file.
    static QString MakeCatalogue(const TestDir& dir) {
        const QString cat = dir.file("catalogue");
        QDir().mkpath(cat);
        for (const QString& f : QDir(KORVA_BINARY_DIR "/demo/catalogue").entryList(QDir::Files))
            QFile::copy(KORVA_BINARY_DIR "/demo/catalogue/" + f, cat + "/" + f);
        WriteHostTextFile(dir.file("aliases.ini"), {"[KORVA_9_0]", "PATH=" + cat});
        return dir.file("aliases.ini");
    }

    // A host directory (the current directory of the run) with an input
    // file, and an output file of an earlier run beside what a killed writer
    // leaves (two stale temporary files) and two names that only look alike.
    struct HostDir {
        TestDir dir;
        QString host, input, output;
        HostDir(const QString& inputText) {
            host = dir.file("host");
            QDir().mkpath(host);
            input = host + "/in.zif";
            output = host + "/o.zof";
            QFile in(input);
            in.open(QIODevice::WriteOnly);
            in.write(inputText.toUtf8());
            in.close();
            for (const QString& name : {"o.zof", "o.zof.Ab12Cd", "o.zof.zz99ZZ", "o.zof.bak", "o.zof.Ab12Cde"})
                WriteHostTextFile(host + "/" + name, {"written by an earlier run"});
        }
        QString ErrorFile() const { return host + "/KORVA_MDS_ERROR.Z3D"; }
        QStringList Left() const { return QDir(host).entryList({"o.zof*"}, QDir::Files | QDir::Hidden); }
    };

    static QString EmptyConfigurationInput() {
        return "[DWG]\nHangerMark=X-1\n[LOAD]\nNormal=10\n[PIPE]\nSIZE=114.3\n[MDSHangerConfig]\nConfig=0\n";
    }

    RunResult RunNormal(const HostDir& h, const QString& aliases, const EnvMap& extra = {}, bool display = true) const {
        EnvMap env{{"KORVA_ALIAS_FILE", aliases}};
        for (auto it = extra.begin(); it != extra.end(); ++it) env.insert(it.key(), it.value());
        return Run({"/IF:" + h.input, "/OF:" + h.output, "/PD:" + h.dir.file("project")}, env, display, KORVA_EXE,
                   h.host);
    }

private slots:
    // Whatever ends a run, the host never finds the output file of an
    // earlier run as if it were this one's, nor a stale temporary file.
    void failedRunLeavesNoEarlierOutput_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<EnvMap>("env");
        QTest::addColumn<bool>("display");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("reason");
        QTest::newRow("configuration not valid") << EmptyConfigurationInput() << EnvMap{} << true << 0 << "";
        // Each value the host cannot mean, refused by the program itself.
        const auto refused = [](const char* name, const QString& section, const QString& line, const QString& reason) {
            QTest::newRow(name) << QString("[%1]\n%2\n[MDSHangerConfig]\nConfig=1\n").arg(section, line) << EnvMap{}
                                << true << 3 << reason;
        };
        refused("pipe size -10", "PIPE", "SIZE=-10", "[PIPE] SIZE = -10 is negative");
        refused("insulation -10", "PIPE", "Insulation=-10", "[PIPE] Insulation = -10 is negative");
        refused("insulation 1e308", "PIPE", "Insulation=1e308", "[PIPE] Insulation = 1e308 lies outside the range");
        refused("temperature 1e308", "PIPE", "Temp=1e308", "[PIPE] Temp = 1e308 lies outside the range");
        refused("temperature 2147483648", "PIPE", "Temp=2147483648", "[PIPE] Temp = 2147483648 lies outside the range");
        refused("Alpha 1e308", "MDSHangerConfig", "Alpha=1e308", "[MDSHangerConfig] Alpha = 1e308 lies outside the range");
        refused("NaN load", "LOAD", "Normal=NaN", "[LOAD] Normal = NaN is not a finite number");
        refused("infinite load", "LOAD", "Normal=-inf", "[LOAD] Normal = -inf is not a finite number");
        refused("load beyond float64", "LOAD", "Normal=1e309", "[LOAD] Normal = 1e309 is not a finite number");
        refused("tab in the mark", "DWG", "HangerMark=X\t1", "[DWG] HangerMark holds the control character U+0009");
        refused("escape in the drawing number", "DWG", "DwgNo=1\x1b" "01",
                "[DWG] DwgNo holds the control character U+001B");
        QTest::newRow("33-character mark") << QString("[DWG]\nHangerMark=%1\n").arg(QString(32, 'M') + "X") << EnvMap{}
                                           << true << 3 << "[DWG] HangerMark";
        QTest::newRow("no display") << EmptyConfigurationInput() << EnvMap{} << false << 3 << "No display";
        QTest::newRow("unreachable display")
            << EmptyConfigurationInput() << EnvMap{{"DISPLAY", ":32767"}, {"QT_QPA_PLATFORM", "<unset>"}} << true << 3
            << "The display \":32767\" cannot be reached";
    }
    void failedRunLeavesNoEarlierOutput() {
        QFETCH(QString, input);
        QFETCH(EnvMap, env);
        QFETCH(bool, display);
        QFETCH(int, exitCode);
        QFETCH(QString, reason);
        HostDir h(input);
        const QString aliases = MakeCatalogue(h.dir);
        QElapsedTimer t;
        t.start();
        const RunResult r = RunNormal(h, aliases, env, display);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(t.elapsed() < 50000, "the run did not end at once");
        QCOMPARE(h.Left(), QStringList({"o.zof.Ab12Cde", "o.zof.bak"}));
        const QByteArray error = FileBytes(h.ErrorFile());
        QVERIFY2(error.startsWith("CANCLED ") && error.endsWith("\r\n"), error.constData());
        if (!reason.isEmpty()) {
            QVERIFY2(error.contains(reason.toUtf8()), error.constData());
            QVERIFY2(r.err.contains(reason), qPrintable(r.err));
        }
        // Nothing stored: a refused start never reaches the project.
        if (exitCode != 0) QVERIFY(!QFileInfo::exists(h.dir.file("project/konstr8.db")));
        if (reason.startsWith('[')) ++m_refused;
    }

    // The output file's name is host text that the data block's first line
    // repeats: a control character in it ends the start as one in the input
    // file does, naming the character but not the name, and the earlier
    // file at that name goes all the same.
    void controlCharacterInTheOutputName_data() {
        QTest::addColumn<QString>("name");  // relative to the host directory
        QTest::addColumn<bool>("relative");   // given so, or with the host directory
        QTest::addColumn<QString>("code");
        QTest::newRow("tab") << "o\tx.zof" << false << "U+0009";
        QTest::newRow("line feed") << "o\nx.zof" << false << "U+000A";
        QTest::newRow("escape") << "\x1bx.zof" << false << "U+001B";
        QTest::newRow("escape first, in a relative directory") << "\x1b" "d/x.zof" << true << "U+001B";
    }
    void controlCharacterInTheOutputName() {
        QFETCH(QString, name);
        QFETCH(bool, relative);
        QFETCH(QString, code);
        HostDir h(EmptyConfigurationInput());
        const QString output = h.host + "/" + name;
        QVERIFY(QDir().mkpath(QFileInfo(output).absolutePath()));
        QVERIFY(WriteHostTextFile(output, {"written by an earlier run"}));
        const QString given = relative ? name : output;
        const RunResult r = Run({"/IF:" + h.input, "/OF:" + given, "/PD:" + h.dir.file("project")},
                                {{"KORVA_ALIAS_FILE", MakeCatalogue(h.dir)}}, true, KORVA_EXE, h.host);
        QCOMPARE(r.exitCode, int(exitcode::StartFailed));
        QVERIFY(!QFileInfo::exists(output));
        const QByteArray error = FileBytes(h.ErrorFile());
        // Positions count from 1 in the name as given.
        qsizetype at = 0;
        while (given[at].unicode() >= 0x20) ++at;
        code += QString(" at position %1;").arg(at + 1);
        const QByteArray expected = "CANCLED The output file name holds the control character " + code.toLatin1();
        QVERIFY2(error.startsWith(expected) && error.endsWith("\r\n") && error.count('\n') == 1, error.constData());
        QVERIFY2(r.err.contains(code), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(h.dir.file("project/konstr8.db")));
        ++m_refused;
    }

    // The output name may be a link the host keeps: the file behind it goes,
    // the link stays for the output this run may write.
    void earlierOutputBehindALink() {
        HostDir h(EmptyConfigurationInput());
        QVERIFY(QDir().mkpath(h.dir.file("real")));
        QVERIFY(WriteHostTextFile(h.dir.file("real/o.zof"), {"earlier"}));
        QVERIFY(WriteHostTextFile(h.dir.file("real/o.zof.Xy34Zw"), {"stale"}));
        QVERIFY(QFile::remove(h.output));
        QVERIFY(QFile::link(h.dir.file("real/o.zof"), h.output));
        const RunResult r = RunNormal(h, MakeCatalogue(h.dir), {}, false);
        QCOMPARE(r.exitCode, 3);
        QVERIFY(QFileInfo(h.output).isSymLink());
        QVERIFY(!QFileInfo::exists(h.dir.file("real/o.zof")));
        QVERIFY(!QFileInfo::exists(h.dir.file("real/o.zof.Xy34Zw")));
    }

    // Only this user's plain files go as stale temporaries: a link or a FIFO
    // that merely carries such a name stays.
    void staleTemporariesOnlyPlainFiles() {
        HostDir h(EmptyConfigurationInput());
        const QString victim = h.dir.file("victim.txt");
        QVERIFY(WriteHostTextFile(victim, {"precious"}));
        const QString link = h.host + "/o.zof.Lk12Mn", fifo = h.host + "/o.zof.Ff12Gg";
        QVERIFY(QFile::link(victim, link));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const RunResult r = RunNormal(h, MakeCatalogue(h.dir), {}, false);
        QCOMPARE(r.exitCode, 3);
        QVERIFY(QFileInfo(link).isSymLink());
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
        QCOMPARE(FileBytes(victim), QByteArray("precious\r\n"));
        QVERIFY(!QFileInfo::exists(h.host + "/o.zof.Ab12Cd"));
    }

    // Configuration mode is not the host's road: a start that fails there
    // writes no host error file.
    void configurationModeStartFailureWritesNoErrorFile() {
        HostDir h(EmptyConfigurationInput());
        const QString aliases = MakeCatalogue(h.dir);
        QFile damaged(h.dir.file("catalogue/FIRDAT.DB"));
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write(QByteArray(4096, '\x5a'));
        damaged.close();
        const RunResult r = Run({"/CONFIGURE_CONF"}, {{"KORVA_ALIAS_FILE", aliases}}, true, KORVA_EXE, h.host);
        QCOMPARE(r.exitCode, int(exitcode::StartFailed));
        QVERIFY2(r.err.contains("FIRDAT.DB"), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(h.ErrorFile()));
    }

    // When the host error file cannot be written either, standard error
    // says so and the exit code is not 0: here a directory holds its name,
    // a symbolic link, which is not followed, or a FIFO nobody reads, which
    // is not waited for.
    void neitherOutputNorErrorFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("display");
        QTest::addColumn<int>("exitCode");
        for (const char* kind : {"directory", "symbolic link", "FIFO"}) {
            QTest::newRow(qPrintable(QString(kind) + ", form ended")) << kind << true << int(exitcode::AnswerNotWritten);
            QTest::newRow(qPrintable(QString(kind) + ", no display")) << kind << false << int(exitcode::StartFailed);
        }
    }
    void neitherOutputNorErrorFile() {
        QFETCH(QString, kind);
        QFETCH(bool, display);
        QFETCH(int, exitCode);
        HostDir h(EmptyConfigurationInput());
        const QString victim = h.dir.file("victim.txt");
        QVERIFY(WriteHostTextFile(victim, {"precious"}));
        if (kind == "symbolic link")
            QVERIFY(QFile::link(victim, h.ErrorFile()));
        else if (kind == "FIFO")
            QCOMPARE(::mkfifo(QFile::encodeName(h.ErrorFile()).constData(), 0600), 0);
        else
            QVERIFY(QDir().mkpath(h.ErrorFile()));
        const RunResult r = RunNormal(h, MakeCatalogue(h.dir), {}, display);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains("the host error file cannot be written") && r.err.contains(h.ErrorFile()),
                 qPrintable(r.err));
        if (kind == "symbolic link") QVERIFY2(r.err.contains("symbolic link"), qPrintable(r.err));
        if (kind == "FIFO") QVERIFY2(r.err.contains("no program reads"), qPrintable(r.err));
        QCOMPARE(FileBytes(victim), QByteArray("precious\r\n"));
        QVERIFY(!QFileInfo::exists(h.output));
    }

    // A runtime directory deeper than a socket's address allows: the lock
    // file stays there, the socket goes to the directory of our own in the
    // temporary folder, and the next copy still reaches the running one
    // (it is asked to come to the front and answers; no "blocked" box).
    void deepRuntimeDirectory() {
        HostDir h(EmptyConfigurationInput());
        const QString runtime = h.dir.file(QString(120, 'r'));
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString temp = h.dir.file("t");
        QVERIFY(QDir().mkpath(temp));
        const QString aliases = MakeCatalogue(h.dir);
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"KORVA_INPUTFILE", "KORVA_OUTPUTFILE"}) e.remove(name);
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("KORVA_ALIAS_FILE", aliases);
        e.insert("XDG_RUNTIME_DIR", runtime);
        e.insert("TMPDIR", temp);
        e.insert("HOME", h.host + "/home");
        e.insert("XDG_CONFIG_HOME", h.host + "/home/config");
        QProcess first;
        first.setProcessEnvironment(e);
        first.setWorkingDirectory(h.host);
        first.start(KORVA_EXE, {"/IF:" KORVA_SOURCE_DIR "/resources/catalogue/inputs/spring_hanger.ini", "/OF:" + h.output,
                                "/PD:" + h.dir.file("project")});
        const auto stop = qScopeGuard([&first] {
            first.kill();
            first.waitForFinished(10000);
        });
        QVERIFY(first.waitForStarted(10000));
        const QString socket = QString("%1/korva-runtime-%2/ZORBEL_KORVA2010_MUTEX.socket").arg(temp).arg(::getuid());
        for (int i = 0; i < 300 && !QFileInfo::exists(socket) && first.state() == QProcess::Running; ++i) QTest::qWait(100);
        QVERIFY2(QFileInfo::exists(socket), first.readAllStandardError().constData());
        QVERIFY(QFileInfo::exists(runtime + "/ZORBEL_KORVA2010_MUTEX.lock"));
        const RunResult second = Run({"/DEL:H-1", "/PD:" + h.dir.file("project"), "/OF:" + h.dir.file("r.txt")},
                                     {{"XDG_RUNTIME_DIR", runtime}, {"TMPDIR", temp}});
        QCOMPARE(second.exitCode, InstanceRefusedExitCode);
        QVERIFY2(!second.err.contains("blocked"), qPrintable(second.err));
        QVERIFY(first.state() == QProcess::Running);
        const QString err = QString::fromLocal8Bit(first.readAllStandardError());
        QVERIFY2(!err.contains("cannot listen"), qPrintable(err));
    }

    // An alias file that is a FIFO nobody writes: the start ends at once,
    // naming it, instead of waiting for a writer.
    void aliasFileThatIsAFifo() {
        HostDir h(EmptyConfigurationInput());
        const QString fifo = h.dir.file("aliases.ini");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QElapsedTimer t;
        t.start();
        const RunResult r = RunNormal(h, fifo);
        QCOMPARE(r.exitCode, int(exitcode::StartFailed));
        QVERIFY2(t.elapsed() < 50000, "the start waited for a writer");
        QVERIFY2(r.err.contains(fifo) && r.err.contains("not a plain file"), qPrintable(r.err));
        QVERIFY2(FileBytes(h.ErrorFile()).contains("not a plain file"), FileBytes(h.ErrorFile()).constData());
        QVERIFY(!QFileInfo::exists(h.output));
    }

    // Configuration mode without a usable display ends at once with the
    // reason on standard error.
    void configurationModeWithoutDisplay() {
        HostDir h(EmptyConfigurationInput());
        const RunResult r = Run({"/CONFIGURE_CONF"}, {{"KORVA_ALIAS_FILE", MakeCatalogue(h.dir)}}, false, KORVA_EXE, h.host);
        QCOMPARE(r.exitCode, int(exitcode::StartFailed));
        QVERIFY2(r.err.contains("No display"), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(h.ErrorFile()));
    }

    // Results 1 and 2 say on standard error which table file failed and why.
    void deleteFailuresNameTheTableFile() {
        TestDir dir;
        const QString empty = dir.file("empty");
        QVERIFY(QDir().mkpath(empty));
        const RunResult lookup = Run({"/DEL:H-1", "/PD:" + empty, "/OF:" + dir.file("r1.txt")});
        QCOMPARE(lookup.exitCode, ExitStatusOf(301));
        QVERIFY2(lookup.err.contains(empty + "/konstr8.db") && lookup.err.contains("look-up"), qPrintable(lookup.err));
        QVERIFY2(lookup.err.contains("no such table"), qPrintable(lookup.err));

        const QString p = MakeProject(dir);
        const RunResult del = Run({"/DEL:H-1", "/PD:" + p, "/OF:" + dir.file("r2.txt")},
                                  {{"KORVA_TEST_FAIL_WRITE", "3"}}, true, KORVA_HOOKED_EXE);
        QCOMPARE(del.exitCode, ExitStatusOf(302));
        QVERIFY2(del.err.contains(p + "/konbtl8.db") && del.err.contains("Injected write failure"), qPrintable(del.err));
        QVERIFY2(!del.err.contains("konstz8"), qPrintable(del.err));
        QCOMPARE(RowsOf(p, KeyA), QList<int>({1, 1, 3, 1}));
    }

    // A project directory that is there but cannot be reached is not
    // reported as missing.
    void unreachableProjectDirectory() {
        TestDir dir;
        const QString loop = dir.file("loop");
        QVERIFY(QFile::link(dir.file("loop2"), loop));
        QVERIFY(QFile::link(loop, dir.file("loop2")));
        const RunResult r = Run({"/DEL:H-1", "/PD:" + loop, "/OF:" + dir.file("r.txt")});
        QCOMPARE(r.exitCode, 202);
        QVERIFY2(r.err.contains("cannot be reached") && !r.err.contains("does not exist"), qPrintable(r.err));
    }

    // Argument bytes: UTF-8 when valid, else the host's code page; bytes no
    // code page knows never match a stored mark.
    void argumentBytesAreDecodedLikeTheHost() {
        TestDir dir;
        const QString p = MakeProject(dir);
        AddSupport(p, 100010003, QString::fromUtf8("H-\xc3\xa4"), 1);           // "H-ä"
        AddSupport(p, 100010004, QString("H-") + QChar::ReplacementCharacter, 1);
        Session().DropConnections();
        const auto runBytes = [&](const QByteArray& mark) {
            QProcess sh;
            QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
            e.insert("QT_QPA_PLATFORM", "offscreen");
            e.insert("KORVA_ALIAS_FILE", dir.file("none.ini"));
            e.remove("KORVA_INPUTFILE");
            QString octal = "/DEL:";
            for (const char c : mark) octal += QString("\\%1").arg(uint(uchar(c)), 3, 8, QChar('0'));
            e.insert("MARK", octal);
            sh.setProcessEnvironment(e);
            // The shell hands the raw bytes over; QProcess could only pass text.
            sh.start("/bin/sh", {"-c", "exec \"$0\" \"$(printf \"$MARK\")\" \"$1\" \"$2\"",
                                 KORVA_EXE, "/PD:" + p, "/OF:" + dir.file("r.txt")});
            sh.waitForFinished(60000);
            return sh.exitCode();
        };
        // Code page 1252 byte E4 is "ä".
        QCOMPARE(runBytes("H-\xe4"), ExitStatusOf(300));
        QCOMPARE(RowsOf(p, 100010003), QList<int>({0, 0, 0, 0}));
        // 0x81 has no character in code page 1252: nothing matches it.
        QCOMPARE(runBytes("H-\x81"), ExitStatusOf(303));
        QCOMPARE(RowsOf(p, 100010004), QList<int>({1, 1, 1, 1}));
        // Valid UTF-8 stays UTF-8.
        QCOMPARE(runBytes("H-1"), ExitStatusOf(300));
    }

    // A damaged catalogue or settings table is named in the start's error.
    void damagedTablesAreNamed_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("text table") << "Txttab.DB";
        QTest::newRow("settings table") << "FIRDAT.DB";
    }
    void damagedTablesAreNamed() {
        QFETCH(QString, file);
        TestDir dir;
        const QString cat = dir.file("catalogue");
        QVERIFY(QDir().mkpath(cat));
        for (const QString& f : QDir(KORVA_BINARY_DIR "/demo/catalogue").entryList(QDir::Files))
            QVERIFY(QFile::copy(KORVA_BINARY_DIR "/demo/catalogue/" + f, cat + "/" + f));
        QFile damaged(cat + "/" + file);
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write(QByteArray(4096, '\x5a'));
        damaged.close();
        QVERIFY(WriteHostTextFile(dir.file("aliases.ini"), {"[KORVA_9_0]", "PATH=" + cat}));
        const RunResult r = Run({"/IF:%IN%", "/OF:" + dir.file("o.zof")}, {{"KORVA_ALIAS_FILE", dir.file("aliases.ini")}});
        QCOMPARE(r.exitCode, int(exitcode::StartFailed));
        QVERIFY2(r.err.contains(cat + "/" + file), qPrintable(r.err));
    }

    void cleanupTestCase() { qInfo("kills tried: %d, inputs refused: %d", m_kills, m_refused); }

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
