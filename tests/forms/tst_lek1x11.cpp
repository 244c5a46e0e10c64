// The real program on an X server of its own, as the host starts it on a
// copy of the demo catalogue: the engineer confirms the input form with the
// keyboard (key events through the X server, not calls into the code), and
// the program ends with exit code 0, the output file of the golden files,
// the support in the project tables and no host error file.
//
// Needs Xvfb and xdotool (Debian packages, installed by test.sh); without
// them the test is skipped with the reason.
#include "platform/Query.h"
#include "platform/Session.h"
#include "support/GoldenFiles.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

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

}  // namespace

class TestLek1X11 : public QObject {
    Q_OBJECT
    QProcess xvfb;
    QString display;
    QString xdotool;

private slots:
    void initTestCase() {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (server.isEmpty()) QSKIP("Xvfb is not installed (Debian package xvfb; test.sh installs it)");
        if (xdotool.isEmpty()) QSKIP("xdotool is not installed (Debian package xdotool; test.sh installs it)");
        // The server picks a free display itself and names it on standard
        // output once it accepts connections.
        xvfb.start(server, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY2(xvfb.waitForStarted(5000), "Xvfb does not start");
        QByteArray number;
        for (int i = 0; i < 100 && !number.endsWith('\n'); ++i) {
            if (!xvfb.waitForReadyRead(200) && xvfb.state() != QProcess::Running) break;
            number += xvfb.readAllStandardOutput();
        }
        QVERIFY2(!number.trimmed().isEmpty(), "Xvfb named no display within 20 s");
        display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    }

    void cleanupTestCase() {
        if (xvfb.state() == QProcess::NotRunning) return;
        xvfb.terminate();
        if (!xvfb.waitForFinished(5000)) {
            xvfb.kill();
            xvfb.waitForFinished(5000);
        }
    }

    void confirmWithTheKeyboard() {
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
        const QString runtime = dir.file(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(host));
        QVERIFY(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString output = QDir(host).filePath(QStringLiteral("out.zof"));
        const QString project = dir.file(QStringLiteral("project"));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("HOME"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.file(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("TMPDIR"), dir.path());
        env.insert(QStringLiteral("KORVA_ALIAS_FILE"), aliases.fileName());

        QProcess korva;
        korva.setProcessEnvironment(env);
        korva.setWorkingDirectory(host);
        korva.start(QStringLiteral(KORVA_EXE), {QStringLiteral("/IF:") + Inputs + QStringLiteral("/base_clamp.ini"),
                                                QStringLiteral("/OF:") + output, QStringLiteral("/PD:") + project});
        QVERIFY2(korva.waitForStarted(10000), "korva does not start");
        const auto stopKorva = qScopeGuard([&korva] {
            if (korva.state() == QProcess::NotRunning) return;
            korva.kill();
            korva.waitForFinished(5000);
        });

        QProcessEnvironment xenv = QProcessEnvironment::systemEnvironment();
        xenv.insert(QStringLiteral("DISPLAY"), display);
        // The form's window, as soon as it shows.
        QProcess search;
        search.setProcessEnvironment(xenv);
        QVERIFY2(RunBounded(search, xdotool,
                            {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--all"),
                             QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), QString::number(korva.processId()),
                             QStringLiteral("--name"), QStringLiteral("KORVA")},
                            60000),
                 qPrintable(QStringLiteral("the input form did not show within 60 s: ") +
                            QString::fromLocal8Bit(korva.readAllStandardError())));
        const QString window = QString::fromLatin1(search.readAllStandardOutput()).split(u'\n').value(0).trimmed();
        QVERIFY(!window.isEmpty());

        // The configuration number has the focus: End takes the
        // configuration and moves to Ok (this one asks for no elevation
        // differences), Enter presses it.
        QProcess keys;
        keys.setProcessEnvironment(xenv);
        QVERIFY2(RunBounded(keys, xdotool,
                            {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window, QStringLiteral("key"),
                             QStringLiteral("End"), QStringLiteral("Return")},
                            30000),
                 keys.readAllStandardError().constData());

        QVERIFY2(korva.waitForFinished(60000), "korva did not end within 60 s of Ok");
        QCOMPARE(korva.exitStatus(), QProcess::NormalExit);
        QCOMPARE(korva.exitCode(), 0);

        CompareOutputFile(output, host, Golden + QStringLiteral("/base_clamp-metric.zof"));
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!QFileInfo::exists(QDir(host).filePath(QStringLiteral("KORVA_MDS_ERROR.Z3D"))));

        TQuery support(project, QStringLiteral("select K_F_NR_AUS, K_A_NR from konstr8 where K_POS_NR = 'DEMO-BC'"));
        support.Open();
        QVERIFY2(!support.IsEmpty(), "the support is not stored");
        const int key = support.Fields(0).AsInteger();
        QCOMPARE(support.Fields(1).AsInteger(), 103);
        TQuery parts(project, QStringLiteral("select count(*) from konbtl8 where KB_F_NR_AUS = ?"));
        parts.SetParams({key});
        parts.Open();
        QVERIFY(parts.Fields(0).AsInteger() > 0);
        TQuery second(project, QStringLiteral("select count(*) from konstz8 where K_F_NR_AUS = ?"));
        second.SetParams({key});
        second.Open();
        QCOMPARE(second.Fields(0).AsInteger(), 1);
        Session().Close();
    }
};

QTEST_GUILESS_MAIN(TestLek1X11)
#include "tst_lek1x11.moc"
