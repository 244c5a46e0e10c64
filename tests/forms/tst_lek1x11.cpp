// The real program on an X server of its own, as the host starts it on a
// copy of the demo catalogue: the engineer confirms the input form with the
// keyboard (key events through the X server, not calls into the code), and
// the program ends with exit code 0, the output file of the golden files,
// the support in the project tables and no host error file; killed while it
// writes a hard-linked output file, or failing after a successful run, it
// leaves the host no part of a file and no earlier file.
//
// Needs Xvfb and xdotool (Debian packages, installed by test.sh); without
// them the test is skipped with the reason.
#include "platform/FaultInjection.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/TableFile.h"
#include "support/GoldenFiles.h"
#include "support/TestSupport.h"
#include "support/XServer.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <sqlite3.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Inputs = QStringLiteral(KORVA_SOURCE_DIR "/resources/catalogue/inputs");
const QString Golden = QStringLiteral(KORVA_SOURCE_DIR "/tests/tools/golden");

// A helper process that must end within its bound; a hang fails the test
// with the helper's name instead of stopping it.
bool RunBounded(QProcess& p, const QString& program, const QStringList& args, int ms) {
    p.start(program, args);
    if (!p.waitForStarted(5000)) return false;
    if (p.waitForFinished(ms)) return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    p.kill();
    p.waitForFinished(5000);
    return false;
}

// The company settings table's running number, read with plain SQLite.
int RunningNumberOf(const QString& catalogue) {
    sqlite3* db = nullptr;
    int n = -1;
    if (sqlite3_open_v2(QFile::encodeName(TablePath(catalogue, QStringLiteral("FIRDAT.DB"))).constData(), &db,
                        SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 5000);
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT F_LFD_NR FROM FIRDAT", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return n;
}

// Rows of a project table, read with plain SQLite; -1 when it cannot be read.
int RowsOf(const QString& project, const QString& table) {
    sqlite3* db = nullptr;
    int n = -1;
    if (sqlite3_open_v2(QFile::encodeName(TablePath(project, table)).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_busy_timeout(db, 5000);
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = "SELECT count(*) FROM " + table.toLatin1();
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return n;
}

QByteArray FileBytes(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

int StoredSupports(const QString& project) {
    TQuery q(project, QStringLiteral("select count(*) from konstr8 where K_POS_NR = 'DEMO-BC'"));
    q.Open();
    const int n = q.Fields(0).AsInteger();
    q.Close();
    Session().Close();
    return n;
}

// Ends the program when a test stops early.
auto StopGuard(QProcess& p) {
    return qScopeGuard([&p] {
        if (p.state() == QProcess::NotRunning) return;
        p.kill();
        p.waitForFinished(5000);
    });
}

}  // namespace

class TestLek1X11 : public QObject {
    Q_OBJECT
    QProcess xvfb;
    QString display;
    QString xdotool;
    int kills = 0;

    // A host directory with a copy of the demo catalogue under an alias
    // file, a runtime directory and the project directory to be.
    struct Host {
        TestDir dir;
        QString catalogue, host, runtime, output, project, aliases;
        bool Prepare() {
            catalogue = dir.file(QStringLiteral("catalogue"));
            QDir().mkpath(catalogue);
            const QDir demo(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue"));
            if (!demo.exists(QStringLiteral("Pgstat.DB"))) return false;
            for (const QString& f : demo.entryList(QDir::Files))
                if (!QFile::copy(demo.filePath(f), QDir(catalogue).filePath(f))) return false;
            aliases = dir.file(QStringLiteral("aliases.ini"));
            QFile a(aliases);
            if (!a.open(QIODevice::WriteOnly)) return false;
            a.write(QStringLiteral("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
            a.close();
            host = dir.file(QStringLiteral("host"));
            runtime = dir.file(QStringLiteral("runtime"));
            QDir().mkpath(host);
            QDir().mkpath(runtime);
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            output = QDir(host).filePath(QStringLiteral("out.zof"));
            project = dir.file(QStringLiteral("project"));
            return true;
        }
        QString ErrorFile() const { return QDir(host).filePath(QStringLiteral("KORVA_MDS_ERROR.Z3D")); }
        // Starts the program as the host does; crashAt arms the test
        // build's kill at that step of a host file.
        void Start(QProcess& korva, const QString& exe, const QString& input, const QString& crashAt = {}) const {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("WAYLAND_DISPLAY"));
            env.insert(QStringLiteral("DISPLAY"), display);
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            env.insert(QStringLiteral("HOME"), dir.path());
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.file(QStringLiteral("config")));
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
            env.insert(QStringLiteral("TMPDIR"), dir.path());
            env.insert(QStringLiteral("KORVA_ALIAS_FILE"), aliases);
            env.remove(QStringLiteral("KORVA_TEST_CRASH_HOST_AT"));
            if (!crashAt.isEmpty()) env.insert(QStringLiteral("KORVA_TEST_CRASH_HOST_AT"), crashAt);
            korva.setProcessEnvironment(env);
            korva.setWorkingDirectory(host);
            korva.start(exe, {QStringLiteral("/IF:") + input, QStringLiteral("/OF:") + output,
                              QStringLiteral("/PD:") + project});
        }
        QString display;
    };

    QProcessEnvironment XEnv() const {
        QProcessEnvironment xenv = QProcessEnvironment::systemEnvironment();
        xenv.insert(QStringLiteral("DISPLAY"), display);
        return xenv;
    }

    // The program's visible windows now (none: an empty list).
    QStringList VisibleWindows(const QProcess& korva) const {
        QProcess search;
        search.setProcessEnvironment(XEnv());
        if (!RunBounded(search, xdotool,
                        {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                         QStringLiteral("--pid"), QString::number(korva.processId()), QStringLiteral("--name"),
                         QStringLiteral(".*")},
                        10000))
            return {};
        return QString::fromLatin1(search.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    // Enter in a second visible window of the program (a box over the
    // form), within 20 s; a window that goes before the key reaches it is
    // passed over. False when no box took the key.
    bool CloseOtherWindow(const QProcess& korva, const QString& form) const {
        for (int i = 0; i < 100 && korva.state() == QProcess::Running; ++i) {
            for (const QString& w : VisibleWindows(korva))
                if (w != form && Keys(w, {QStringLiteral("Return")})) return true;
            QTest::qWait(200);
        }
        return false;
    }

    // The input form's window, as soon as it shows; empty (with a failure
    // naming why) when it does not show within 60 s.
    QString FormWindow(QProcess& korva) const {
        if (!korva.waitForStarted(10000)) {
            QTest::qFail("korva does not start", __FILE__, __LINE__);
            return {};
        }
        QProcess search;
        search.setProcessEnvironment(XEnv());
        if (!RunBounded(search, xdotool,
                        {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--all"),
                         QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), QString::number(korva.processId()),
                         QStringLiteral("--name"), QStringLiteral("KORVA")},
                        60000)) {
            const QString why = QStringLiteral("the input form did not show within 60 s: ") +
                                QString::fromLocal8Bit(korva.readAllStandardError());
            QTest::qFail(qPrintable(why), __FILE__, __LINE__);
            return {};
        }
        return QString::fromLatin1(search.readAllStandardOutput()).split(u'\n').value(0).trimmed();
    }

    // Keys typed into a window through the X server.
    bool Keys(const QString& window, const QStringList& keys) const {
        QProcess p;
        p.setProcessEnvironment(XEnv());
        return RunBounded(p, xdotool, QStringList{QStringLiteral("windowfocus"), QStringLiteral("--sync"), window,
                                                  QStringLiteral("key")} + keys,
                          30000);
    }

    // Starts the program on the demo's base clamp and, once its form shows,
    // confirms it with the keyboard (End, then Return on Ok). With
    // `lockFirst`, that connection starts writing (takes its write lock)
    // once the form shows and before the keys are pressed.
    void StartAndConfirm(QProcess& korva, const Host& run, sqlite3* lockFirst = nullptr) {
        run.Start(korva, KORVA_EXE, Inputs + QStringLiteral("/base_clamp_fit.ini"));
        const QString window = FormWindow(korva);
        QVERIFY(!window.isEmpty());
        if (lockFirst) QCOMPARE(sqlite3_exec(lockFirst, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        QVERIFY(Keys(window, {QStringLiteral("End"), QStringLiteral("Return")}));
    }

private slots:
    void initTestCase() {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (server.isEmpty()) QSKIP("Xvfb is not installed (Debian package xvfb; test.sh installs it)");
        if (xdotool.isEmpty()) QSKIP("xdotool is not installed (Debian package xdotool; test.sh installs it)");
        QString why;
        display = StartXvfb(xvfb, server, &why);
        QVERIFY2(!display.isEmpty(), qPrintable(why));
    }

    void cleanupTestCase() {
        qInfo("kills tried: %d", kills);
        StopXvfb(xvfb);
    }

    void confirmWithTheKeyboard() {
        Host h;
        h.display = display;
        QVERIFY(h.Prepare());
        QProcess korva;
        h.Start(korva, KORVA_EXE, Inputs + QStringLiteral("/base_clamp_fit.ini"));
        const auto stop = StopGuard(korva);
        const QString window = FormWindow(korva);
        QVERIFY(!window.isEmpty());
        // The configuration number has the focus: End takes the
        // configuration and moves to Ok (this one asks for no elevation
        // differences), Enter presses it.
        QVERIFY(Keys(window, {QStringLiteral("End"), QStringLiteral("Return")}));

        QVERIFY2(korva.waitForFinished(60000), "korva did not end within 60 s of Ok");
        QCOMPARE(korva.exitStatus(), QProcess::NormalExit);
        QCOMPARE(korva.exitCode(), 0);

        CompareOutputFile(h.output, h.host, Golden + QStringLiteral("/base_clamp_fit-metric.zof"));
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!QFileInfo::exists(h.ErrorFile()));

        TQuery support(h.project, QStringLiteral("select K_F_NR_AUS, K_A_NR from konstr8 where K_POS_NR = 'DEMO-BC'"));
        support.Open();
        QVERIFY2(!support.IsEmpty(), "the support is not stored");
        const int key = support.Fields(0).AsInteger();
        QCOMPARE(support.Fields(1).AsInteger(), 103);
        TQuery parts(h.project, QStringLiteral("select count(*) from konbtl8 where KB_F_NR_AUS = ?"));
        parts.SetParams({key});
        parts.Open();
        QVERIFY(parts.Fields(0).AsInteger() > 0);
        TQuery second(h.project, QStringLiteral("select count(*) from konstz8 where K_F_NR_AUS = ?"));
        second.SetParams({key});
        second.Open();
        QCOMPARE(second.Fields(0).AsInteger(), 1);
        Session().Close();
    }

    // The engineer chooses the bearing guide "with lateral guide", the side
    // force "Fx = 2,8 kN", then the base clamp "2-way (right angle)", all
    // with the keyboard (Tab to a group, Right to its next item), and
    // confirms: the clamp took the guide back to "simple", so the selection
    // finds no lateral guide to refuse and the support is stored with the
    // simple guide, its side force as chosen, and the 2-way clamp.
    void baseClampAfterALateralGuideStores() {
        Host h;
        h.display = display;
        QVERIFY(h.Prepare());
        QProcess korva;
        h.Start(korva, KORVA_EXE, Inputs + QStringLiteral("/base_clamp_fit.ini"));
        const auto stop = StopGuard(korva);
        const QString window = FormWindow(korva);
        QVERIFY(!window.isEmpty());
        const auto times = [](int n, const QString& key) { return QStringList(n, key); };
        const QString tab = QStringLiteral("Tab"), right = QStringLiteral("Right");
        // From the configuration number: the navigator, the two buttons and
        // the connection area lead to the guide.
        QVERIFY(Keys(window, times(8, tab) + times(2, right)));
        // The profile's three lists, then the side force.
        QVERIFY(Keys(window, times(4, tab) + times(2, right)));
        QVERIFY(Keys(window, QStringList{tab, right}));
        // The rod angle, its insert plate, the buttons and the values of
        // the load page, then Ok.
        QVERIFY(Keys(window, times(13, tab) + QStringList{QStringLiteral("Return")}));

        QVERIFY2(korva.waitForFinished(60000), "korva did not end within 60 s of Ok");
        QCOMPARE(korva.exitCode(), 0);
        QVERIFY2(!QFileInfo::exists(h.ErrorFile()), FileBytes(h.ErrorFile()).constData());
        QVERIFY(FileBytes(h.output).contains("Begin KORVA-Data\r\n"));
        TQuery support(h.project, QStringLiteral("select K_RLFUEHRUNG_ZHL, K_SEITL_FHRG_ZHL, K_A_NR, K_F_NR_AUS from "
                                                 "konstr8 where K_POS_NR = 'DEMO-BC'"));
        support.Open();
        QVERIFY2(!support.IsEmpty(), "the support is not stored");
        QCOMPARE(support.Fields(0).AsInteger(), 0);
        QCOMPARE(support.Fields(1).AsInteger(), 3);
        QCOMPARE(support.Fields(2).AsInteger(), 103);
        TQuery clamp(h.project, QStringLiteral("select K_T49G_KZ from konstz8 where K_F_NR_AUS = ?"));
        clamp.SetParams({support.Fields(3).AsInteger()});
        clamp.Open();
        QCOMPARE(clamp.Fields(0).AsString().trimmed(), QStringLiteral("1"));
        Session().Close();
    }

    // The output name is a second hard link to the host's earlier output.
    // The program ends as if killed at each step of writing the output
    // (opened, written, committed), after the support is stored: the name
    // then holds nothing (the earlier output went at the start) or the
    // whole new file, never a part or an empty file, and the other link
    // keeps the earlier content. A run to its end breaks the link: the name
    // gets a file of its own.
    void hardLinkedOutputKilledMidWrite() {
        Host h;
        h.display = display;
        QVERIFY(h.Prepare());
        const QString kept = QDir(h.host).filePath(QStringLiteral("kept.zof"));
        const QByteArray earlier = "earlier output\r\n";
        QFile k(kept);
        QVERIFY(k.open(QIODevice::WriteOnly));
        k.write(earlier);
        k.close();
        const auto confirm = [&](const QString& exe, int crashAt, int exitCode) {
            QFile::remove(h.output);
            QCOMPARE(::link(QFile::encodeName(kept).constData(), QFile::encodeName(h.output).constData()), 0);
            QProcess korva;
            h.Start(korva, exe, Inputs + QStringLiteral("/base_clamp_fit.ini"),
                    crashAt ? QString::number(crashAt) : QString());
            const auto stop = StopGuard(korva);
            const QString window = FormWindow(korva);
            QVERIFY(!window.isEmpty());
            QVERIFY(Keys(window, {QStringLiteral("End"), QStringLiteral("Return")}));
            QVERIFY2(korva.waitForFinished(60000), "korva did not end within 60 s of Ok");
            QCOMPARE(korva.exitStatus(), QProcess::NormalExit);
            QCOMPARE(korva.exitCode(), exitCode);
            if (crashAt) ++kills;
        };
        // Steps 1 and 2: killed before the commit.
        for (int step = 1; step <= 2; ++step) {
            confirm(QStringLiteral(KORVA_HOOKED_EXE), step, HostFileCrashExitCode);
            if (QTest::currentTestFailed()) return;
            QVERIFY2(!QFileInfo::exists(h.output), qPrintable(QStringLiteral("step %1").arg(step)));
            QCOMPARE(FileBytes(kept), earlier);
            QCOMPARE(QDir(h.host).entryList({QStringLiteral("out.zof*")}, QDir::Files | QDir::Hidden), QStringList());
            QCOMPARE(StoredSupports(h.project), 1);
        }
        // Step 3: killed right after the commit; the new file is whole.
        confirm(QStringLiteral(KORVA_HOOKED_EXE), 3, HostFileCrashExitCode);
        if (QTest::currentTestFailed()) return;
        CompareOutputFile(h.output, h.host, Golden + QStringLiteral("/base_clamp_fit-metric.zof"));
        if (QTest::currentTestFailed()) return;
        QCOMPARE(FileBytes(kept), earlier);
        // The program users run, to its end.
        confirm(QStringLiteral(KORVA_EXE), 0, 0);
        if (QTest::currentTestFailed()) return;
        CompareOutputFile(h.output, h.host, Golden + QStringLiteral("/base_clamp_fit-metric.zof"));
        if (QTest::currentTestFailed()) return;
        QCOMPARE(FileBytes(kept), earlier);
        struct stat a {}, b {};
        QCOMPARE(::stat(QFile::encodeName(kept).constData(), &a), 0);
        QCOMPARE(::stat(QFile::encodeName(h.output).constData(), &b), 0);
        QVERIFY(a.st_ino != b.st_ino);
        QCOMPARE(int(a.st_nlink), 1);
        QCOMPARE(StoredSupports(h.project), 1);
    }

    // The host names a FIFO as the output file but nothing reads it: the
    // write fails at once instead of waiting for a reader, the error file
    // names the file and the cause, and the host's FIFO stays where it is.
    void outputFifoWithoutReader() {
        Host h;
        h.display = display;
        QVERIFY(h.Prepare());
        QCOMPARE(::mkfifo(QFile::encodeName(h.output).constData(), 0600), 0);
        QProcess korva;
        h.Start(korva, KORVA_EXE, Inputs + QStringLiteral("/base_clamp_fit.ini"));
        const auto stop = StopGuard(korva);
        const QString window = FormWindow(korva);
        QVERIFY(!window.isEmpty());
        QVERIFY(Keys(window, {QStringLiteral("End"), QStringLiteral("Return")}));
        // The error file comes before the box that says the same.
        for (int i = 0; i < 300 && !QFileInfo::exists(h.ErrorFile()); ++i) QTest::qWait(200);
        const QByteArray error = FileBytes(h.ErrorFile());
        QVERIFY2(error.startsWith("CANCLED The output file " + QFile::encodeName(h.output)) &&
                     error.contains("no program reads this FIFO"),
                 error.constData());
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(h.output).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
        // The support is stored; only its output could not be given.
        QCOMPARE(StoredSupports(h.project), 1);
        QCOMPARE(korva.state(), QProcess::Running);
    }

    // A run that fails after a successful one leaves no output file: the
    // host never takes the earlier support for this run's. Here the
    // engineer confirms a support without its load: the check refuses it,
    // the error file holds why, and the earlier output is gone already
    // while the form waits for a correction.
    void failedCheckAfterASuccessfulRun() {
        Host h;
        h.display = display;
        QVERIFY(h.Prepare());
        {
            QProcess korva;
            h.Start(korva, KORVA_EXE, Inputs + QStringLiteral("/base_clamp_fit.ini"));
            const auto stop = StopGuard(korva);
            const QString window = FormWindow(korva);
            QVERIFY(!window.isEmpty());
            QVERIFY(Keys(window, {QStringLiteral("End"), QStringLiteral("Return")}));
            QVERIFY2(korva.waitForFinished(60000), "korva did not end within 60 s of Ok");
            QCOMPARE(korva.exitCode(), 0);
        }
        QVERIFY(FileBytes(h.output).contains("Begin KORVA-Data\r\n"));

        QFile src(Inputs + QStringLiteral("/base_clamp_fit.ini"));
        QVERIFY(src.open(QIODevice::ReadOnly));
        QByteArray text = src.readAll();
        QVERIFY(text.contains("Normal=15"));
        const QString noLoad = h.dir.file(QStringLiteral("no_load.ini"));
        QFile in(noLoad);
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write(text.replace("Normal=15", "Normal=0"));
        in.close();

        QProcess korva;
        h.Start(korva, KORVA_EXE, noLoad);
        const auto stop = StopGuard(korva);
        const QString window = FormWindow(korva);
        QVERIFY(!window.isEmpty());
        QVERIFY(!QFileInfo::exists(h.output));
        QVERIFY(Keys(window, {QStringLiteral("End"), QStringLiteral("Return")}));
        // The check's box, a second window of the program: Enter closes it.
        QVERIFY2(CloseOtherWindow(korva, window), "no box closed within 20 s of Ok");
        for (int i = 0; i < 100 && !QFileInfo::exists(h.ErrorFile()); ++i) QTest::qWait(200);
        const QByteArray error = FileBytes(h.ErrorFile());
        // The load check's message, in the desk's language.
        QVERIFY2(error == "CANCLED Wert f\xfcr Last fehlt!\r\n" || error == "CANCLED Value for load is missing!\r\n",
                 error.constData());
        QVERIFY(!QFileInfo::exists(h.output));
        QCOMPARE(korva.state(), QProcess::Running);  // the form waits for a correction
    }


    // Another program writes the company settings table all through the
    // engineer's Ok: the store waits, then gives up with the settings file
    // named and the cause, and nothing of the support is stored, no output
    // file written, the running number unchanged. Once the other program is
    // done, the next run stores the support and moves the number on.
    void settingsTableWrittenByAnotherProgramAtOk() {
        Host run;
        run.display = display;
        QVERIFY(run.Prepare());
        const QString settings = TablePath(run.catalogue, QStringLiteral("FIRDAT.DB"));
        const int number = RunningNumberOf(run.catalogue);
        QVERIFY(number >= 0);
        const QString errorFile = QDir(run.host).filePath(QStringLiteral("KORVA_MDS_ERROR.Z3D"));

        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(settings).constData(), &other), SQLITE_OK);
        const auto release = qScopeGuard([&other] {
            sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(other);
        });
        {
            QProcess korva;
            const auto stopKorva = StopGuard(korva);
            // The form reads the settings at its start; the other program
            // begins writing only once the form stands.
            StartAndConfirm(korva, run, other);
            if (QTest::currentTestFailed()) return;
            // The store's wait is bounded: the host error file comes well
            // within a minute, while the program waits for the box.
            for (int i = 0; i < 600 && !QFileInfo::exists(errorFile); ++i) QTest::qWait(100);
            QVERIFY2(QFileInfo::exists(errorFile), "no host error file within 60 s of Ok");
            QTest::qWait(200);
            QFile error(errorFile);
            QVERIFY(error.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(error.readAll());
            QVERIFY2(text.startsWith(QStringLiteral("CANCLED ")), qPrintable(text));
            QVERIFY2(text.contains(QDir::toNativeSeparators(settings)), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("being written by another program")), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("not stored")), qPrintable(text));
            // It is the settings table that was busy, not the project.
            QVERIFY2(!text.contains(QStringLiteral("project")), qPrintable(text));
            QVERIFY(!QFileInfo::exists(run.output));
            QCOMPARE(RowsOf(run.project, QStringLiteral("konstr8")), 0);
            QCOMPARE(RowsOf(run.project, QStringLiteral("konstz8")), 0);
            QCOMPARE(RowsOf(run.project, QStringLiteral("konbtl8")), 0);
        }
        QCOMPARE(sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
        QCOMPARE(RunningNumberOf(run.catalogue), number);

        QProcess again;
        const auto stopAgain = StopGuard(again);
        StartAndConfirm(again, run);
        if (QTest::currentTestFailed()) return;
        QVERIFY2(again.waitForFinished(60000), "korva did not end within 60 s of Ok");
        QCOMPARE(again.exitCode(), 0);
        QVERIFY(QFileInfo::exists(run.output));
        QCOMPARE(RowsOf(run.project, QStringLiteral("konstr8")), 1);
        QCOMPARE(RowsOf(run.project, QStringLiteral("konstz8")), 1);
        QCOMPARE(RunningNumberOf(run.catalogue), number + 1);
    }

    // Another program writes the project's parts list when the engineer
    // presses Ok and is done a few seconds later, after the first busy
    // timeout: the store tries again and goes through, the program ends
    // as after any Ok.
    void projectWrittenByAnotherProgramForAWhileAtOk() {
        Host run;
        run.display = display;
        QVERIFY(run.Prepare());
        const int number = RunningNumberOf(run.catalogue);
        // A first run makes the project.
        {
            QProcess first;
            const auto stopFirst = StopGuard(first);
            StartAndConfirm(first, run);
            if (QTest::currentTestFailed()) return;
            QVERIFY(first.waitForFinished(60000));
            QCOMPARE(first.exitCode(), 0);
        }
        QCOMPARE(RowsOf(run.project, QStringLiteral("konstr8")), 1);
        QVERIFY(QFile::remove(run.output));
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(TablePath(run.project, QStringLiteral("konbtl8.db"))).constData(), &other),
                 SQLITE_OK);
        const auto release = qScopeGuard([&other] {
            sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(other);
        });
        // The same support again: stored over the first one.
        QProcess korva;
        const auto stopKorva = StopGuard(korva);
        StartAndConfirm(korva, run, other);
        if (QTest::currentTestFailed()) return;
        QVERIFY2(!korva.waitForFinished(6500), "the store did not wait for the other program");
        QCOMPARE(sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
        QVERIFY2(korva.waitForFinished(30000), "the store did not go on once the project was free");
        QCOMPARE(korva.exitCode(), 0);
        QVERIFY(QFileInfo::exists(run.output));
        QVERIFY(!QFileInfo::exists(QDir(run.host).filePath(QStringLiteral("KORVA_MDS_ERROR.Z3D"))));
        QCOMPARE(RowsOf(run.project, QStringLiteral("konstr8")), 1);
        // Stored again under its drawing key: the running number moved on
        // once, with the first store.
        QCOMPARE(RunningNumberOf(run.catalogue), number + 1);
    }
};

QTEST_GUILESS_MAIN(TestLek1X11)
#include "tst_lek1x11.moc"
