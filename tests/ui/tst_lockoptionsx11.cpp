// The single-instance lock with the real program on an X server of its own:
// the engineer has the options form open (the input form hides itself
// meanwhile) and another window in front of it; a second copy started then
// brings the options form to the front, leaves the input form hidden and
// ends. Keys and window stacking go through the X server, as a person's
// would.
//
// Needs Xvfb and xdotool (Debian packages, installed by test.sh); without
// them the test is skipped with the reason.
#include "support/TestSupport.h"
#include "support/XServer.h"
#include "ui/ExclusiveAccess.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QString Inputs = QStringLiteral(KORVA_SOURCE_DIR "/resources/catalogue/inputs");

// Stops a started process at the end of the scope.
struct Stopper {
    QProcess& p;
    ~Stopper() {
        if (p.state() == QProcess::NotRunning) return;
        p.kill();
        p.waitForFinished(5000);
    }
};

}  // namespace

class TestLockOptionsX11 : public QObject {
    Q_OBJECT
    QProcess xvfb;
    QString display;
    QString xdotool;

    // xdotool with its arguments, bounded; its standard output, or a null
    // string when it failed.
    QString X(const QStringList& args, int ms = 10000) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        p.setProcessEnvironment(env);
        p.start(xdotool, args);
        if (!p.waitForStarted(5000)) return {};
        if (!p.waitForFinished(ms)) {
            p.kill();
            p.waitForFinished(5000);
            return {};
        }
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return {};
        // Not null on success, also when nothing was printed.
        return QString::fromLatin1(p.readAllStandardOutput()).trimmed() + QLatin1String("");
    }
    // The visible windows of a process.
    QStringList Visible(qint64 pid) {
        const QString out = X({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                               QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"), QString()});
        return out.split(u'\n', Qt::SkipEmptyParts);
    }
    // The top window at a point of the screen.
    QString WindowAt(int x, int y) {
        // A move with --sync waits for the pointer to move: away first.
        const QString out = X({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("1"), QStringLiteral("1"),
                               QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(x), QString::number(y),
                               QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
        for (const QString& line : out.split(u'\n'))
            if (line.startsWith(QLatin1String("WINDOW="))) return line.mid(7);
        return {};
    }
    // Waits (bounded) until the visible windows of a process are one other
    // than the one given; returns it.
    QString WaitForOtherWindow(qint64 pid, const QString& not_, int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            const QStringList v = Visible(pid);
            if (v.size() == 1 && v.first() != not_) return v.first();
            QTest::qWait(200);
        }
        return {};
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
        StopXvfb(xvfb);
    }

    void secondCopyBringsTheOptionsFormForward() {
        TestDir dir;
        const QString catalogue = dir.file(QStringLiteral("catalogue"));
        QDir().mkpath(catalogue);
        const QDir demo(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue"));
        QVERIFY2(demo.exists(QStringLiteral("Pgstat.DB")), "the demo catalogue is built");
        for (const QString& f : demo.entryList(QDir::Files))
            QVERIFY(QFile::copy(demo.filePath(f), QDir(catalogue).filePath(f)));
        QFile aliases(dir.file(QStringLiteral("aliases.ini")));
        QVERIFY(aliases.open(QIODevice::WriteOnly));
        aliases.write(QStringLiteral("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
        aliases.close();
        const QString host = dir.file(QStringLiteral("host"));
        QVERIFY(QDir().mkpath(host));
        // The program's copies share one runtime directory; the other
        // window's program has its own.
        QString runtimes[2];
        for (int i = 0; i < 2; ++i) {
            runtimes[i] = dir.file(QStringLiteral("runtime%1").arg(i));
            QVERIFY(QDir().mkpath(runtimes[i]));
            QFile::setPermissions(runtimes[i], QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        auto environment = [&](const QString& runtime) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("WAYLAND_DISPLAY"));
            env.insert(QStringLiteral("DISPLAY"), display);
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            env.insert(QStringLiteral("HOME"), dir.path());
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.file(QStringLiteral("config")));
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
            env.insert(QStringLiteral("TMPDIR"), dir.path());
            env.insert(QStringLiteral("KORVA_ALIAS_FILE"), aliases.fileName());
            return env;
        };
        const QStringList args{QStringLiteral("/IF:") + Inputs + QStringLiteral("/base_clamp.ini"),
                               QStringLiteral("/OF:") + QDir(host).filePath(QStringLiteral("out.zof")),
                               QStringLiteral("/PD:") + dir.file(QStringLiteral("project"))};

        QProcess first;
        first.setProcessEnvironment(environment(runtimes[0]));
        first.setWorkingDirectory(host);
        first.start(QStringLiteral(KORVA_EXE), args);
        QVERIFY2(first.waitForStarted(10000), "korva does not start");
        Stopper stopFirst{first};
        const QString input =
            X({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
               QStringLiteral("--pid"), QString::number(first.processId()), QStringLiteral("--name"), QStringLiteral("KORVA")},
              60000)
                .split(u'\n')
                .value(0);
        QVERIFY2(!input.isEmpty(), "the input form did not show within 60 s");

        // End takes the configuration and moves to Ok, Tab to the options
        // button, space presses it: the input form hides, the options form
        // shows.
        QVERIFY(!X({QStringLiteral("windowfocus"), QStringLiteral("--sync"), input, QStringLiteral("key"),
                    QStringLiteral("End"), QStringLiteral("Tab"), QStringLiteral("space")})
                     .isNull());
        const QString options = WaitForOtherWindow(first.processId(), input, 30000);
        QVERIFY2(!options.isEmpty(), qPrintable(QStringLiteral("the options form did not show alone: ") +
                                                Visible(first.processId()).join(u' ')));

        // Another program's window over the options form, in front and with
        // the keyboard.
        QProcess other;
        other.setProcessEnvironment(environment(runtimes[1]));
        other.start(QStringLiteral(KORVA_LOCKPROBE), {});
        Stopper stopOther{other};
        QVERIFY(other.waitForStarted(5000));
        QByteArray said;
        for (int i = 0; i < 100 && !said.contains("ACQUIRED"); ++i) {
            other.waitForReadyRead(100);
            said += other.readAllStandardOutput();
        }
        QVERIFY2(said.contains("ACQUIRED"), said.constData());
        const QString cover =
            X({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
               QString::number(other.processId()), QStringLiteral("--name"), QStringLiteral("lock probe")},
              30000)
                .split(u'\n')
                .value(0);
        QVERIFY(!cover.isEmpty());
        QMap<QString, int> geometry;
        for (const QString& line : X({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), options}).split(u'\n'))
            geometry.insert(line.section(u'=', 0, 0), line.section(u'=', 1).toInt());
        QVERIFY(geometry.value(QStringLiteral("WIDTH")) > 0);
        const int x = geometry.value(QStringLiteral("X")), y = geometry.value(QStringLiteral("Y"));
        const int w = geometry.value(QStringLiteral("WIDTH")), h = geometry.value(QStringLiteral("HEIGHT"));
        QVERIFY(!X({QStringLiteral("windowmove"), QStringLiteral("--sync"), cover, QString::number(x), QString::number(y),
                    QStringLiteral("windowsize"), QStringLiteral("--sync"), cover, QString::number(w), QString::number(h),
                    QStringLiteral("windowraise"), cover, QStringLiteral("windowfocus"), QStringLiteral("--sync"), cover})
                     .isNull());
        const int cx = x + w / 2, cy = y + h / 2;
        QCOMPARE(WindowAt(cx, cy), cover);

        // The second copy: refused, and the first brings its options form
        // forward.
        QProcess second;
        second.setProcessEnvironment(environment(runtimes[0]));
        second.setWorkingDirectory(host);
        second.start(QStringLiteral(KORVA_EXE), args);
        Stopper stopSecond{second};
        QVERIFY2(second.waitForFinished(10000), "the second copy did not end within 10 s");
        QCOMPARE(second.exitCode(), SingleInstanceRefusedExitCode);
        QString top;
        QElapsedTimer t;
        t.start();
        while ((top = WindowAt(cx, cy)) != options && t.elapsed() < 5000) QTest::qWait(100);
        QCOMPARE(top, options);
        // (Which window has the keyboard is not compared: without a window
        // manager the X server may refuse a focus request that carries the
        // time of the program's last event.)
        // The input form stays hidden behind its options form.
        QCOMPARE(Visible(first.processId()), QStringList{options});
        QCOMPARE(first.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestLockOptionsX11)
#include "tst_lockoptionsx11.moc"
