// One running copy per user, with real processes: a second copy brings the
// first to the front and ends with its own code, a killed copy's lock is
// taken over, and a lock nobody answers for gives the message.
#include "support/TestSupport.h"
#include "ui/ExclusiveAccess.h"

#include <QElapsedTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <unistd.h>
#include <memory>

namespace {

const QString kBlocked = "Sorry, blocked by another running KORVA program !";

// A program started with the test's runtime directory.
class Copy {
public:
    // An empty runtimeDir: none at all, with tmpDir as the temporary folder.
    Copy(const QString& program, const QStringList& args, const QString& runtimeDir, const QString& tmpDir = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (runtimeDir.isEmpty()) env.remove("XDG_RUNTIME_DIR");
        else env.insert("XDG_RUNTIME_DIR", runtimeDir);
        if (!tmpDir.isEmpty()) env.insert("TMPDIR", tmpDir);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        m_process.setProcessEnvironment(env);
        m_process.start(program, args);
    }
    ~Copy() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    QProcess& Process() { return m_process; }
    // Waits (bounded) until the standard output holds the line.
    bool WaitForLine(const QString& line, int ms = 5000) {
        QElapsedTimer t;
        t.start();
        while (!m_out.contains(line + "\n")) {
            if (t.elapsed() > ms) return false;
            m_process.waitForReadyRead(50);
            m_out += QString::fromLocal8Bit(m_process.readAllStandardOutput());
            if (m_process.state() == QProcess::NotRunning && !m_process.bytesAvailable() && !m_out.contains(line + "\n"))
                return false;
        }
        return true;
    }
    QString Output() {
        m_out += QString::fromLocal8Bit(m_process.readAllStandardOutput());
        return m_out;
    }

private:
    QProcess m_process;
    QString m_out;
};

}  // namespace

class TstExclusiveAccess : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestDir> m_runtime;
    QString Runtime() const { return m_runtime->path(); }

private slots:
    void init() {
        ReleaseSingleInstance();
        m_runtime = std::make_unique<TestDir>();
        qputenv("XDG_RUNTIME_DIR", Runtime().toLocal8Bit());
    }
    void cleanup() { ReleaseSingleInstance(); }

    void secondCopyActivatesFirst_data() {
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("minimized");
        QTest::newRow("probe") << "probe" << QStringList{} << false;
        QTest::newRow("probe, first minimised") << "probe" << QStringList{} << true;
        QTest::newRow("program, normal mode") << "korva" << QStringList{} << true;
        QTest::newRow("program, configuration mode") << "korva" << QStringList{"/CONFIGURE_CONF"} << false;
        QTest::newRow("program, delete mode") << "korva" << QStringList{"/DEL:H-1", "/PD:%P%", "/OF:%P%/result.txt"}
                                              << false;
    }
    void secondCopyActivatesFirst() {
        QFETCH(QString, second);
        QFETCH(QStringList, args);
        QFETCH(bool, minimized);
        TestDir project;
        args.replaceInStrings("%P%", project.path());
        Copy first(KORVA_LOCKPROBE, minimized ? QStringList{"--minimized"} : QStringList{}, Runtime());
        QVERIFY(first.WaitForLine("ACQUIRED"));
        Copy other(second == "probe" ? QString(KORVA_LOCKPROBE) : QString(KORVA_EXE), args, Runtime());
        QVERIFY2(other.Process().waitForFinished(2000), "the second copy did not end within 2 s");
        QCOMPARE(other.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(other.Process().exitCode(), SingleInstanceRefusedExitCode);
        QVERIFY(!other.Output().contains("ACQUIRED"));
        QVERIFY(!QString::fromLocal8Bit(other.Process().readAllStandardError()).contains(kBlocked));
        // The first copy was asked to come to the front, and a minimised
        // window was restored.
        QVERIFY2(first.WaitForLine("ACTIVATED normal", 2000), qPrintable(first.Output()));
        QVERIFY(!first.Output().contains("ACTIVATED minimized"));
        // A refused copy starts nothing: no result file for the host.
        QVERIFY(!QFileInfo::exists(project.file("result.txt")));
        QCOMPARE(first.Process().state(), QProcess::Running);
    }

    // A modal form open in the first copy is the one brought forward, not
    // the main form: neither a main form hidden behind it (the input form
    // while its options form is open) nor one shown under it (a box over
    // the input form), which would cover the form waiting for an answer.
    void secondCopyRaisesTheModalForm_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("activated");
        QTest::addColumn<QString>("raised");
        QTest::newRow("main form hidden") << "--options" << "ACTIVATED input hidden" << "options";
        QTest::newRow("main form shown") << "--modal" << "ACTIVATED input shown" << "box";
    }
    void secondCopyRaisesTheModalForm() {
        QFETCH(QString, mode);
        QFETCH(QString, activated);
        QFETCH(QString, raised);
        Copy first(KORVA_LOCKPROBE, {mode}, Runtime());
        QVERIFY(first.WaitForLine("ACQUIRED"));
        Copy other(KORVA_EXE, {}, Runtime());
        QVERIFY2(other.Process().waitForFinished(2000), "the second copy did not end within 2 s");
        QCOMPARE(other.Process().exitCode(), SingleInstanceRefusedExitCode);
        QVERIFY2(first.WaitForLine(activated, 2000), qPrintable(first.Output()));
        QVERIFY2(first.Output().contains("RAISED " + raised + "\n"), qPrintable(first.Output()));
        QVERIFY2(!first.Output().contains("RAISED input"), qPrintable(first.Output()));
    }

    void thisProcessSeesTheActivation() {
        QCOMPARE(TryAcquireSingleInstance(), SingleInstanceResult::Acquired);
        QVERIFY(SingleInstanceHeld());
        QVERIFY(SingleInstanceLockPath().startsWith(Runtime()));
        QSignalSpy activated(&SingleInstanceEvents::Instance(), &SingleInstanceEvents::Activated);
        Copy other(KORVA_EXE, {}, Runtime());
        QVERIFY(activated.wait(3000));
        QVERIFY(other.Process().waitForFinished(2000));
        QCOMPARE(other.Process().exitCode(), SingleInstanceRefusedExitCode);
        QCOMPARE(activated.count(), 1);
        // Asking again in the same process is no second copy.
        QCOMPARE(TryAcquireSingleInstance(), SingleInstanceResult::Acquired);
    }

    void otherRequestsAreNotAnswered_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("other line") << QByteArray("HELLO\n");
        QTest::newRow("long text without line end") << QByteArray(4096, 'x');
    }
    void otherRequestsAreNotAnswered() {
        QFETCH(QByteArray, request);
        QCOMPARE(TryAcquireSingleInstance(), SingleInstanceResult::Acquired);
        QSignalSpy activated(&SingleInstanceEvents::Instance(), &SingleInstanceEvents::Activated);
        QLocalSocket client;
        client.connectToServer(SingleInstanceSocketPath());
        QVERIFY(client.waitForConnected(2000));
        client.write(request);
        client.flush();
        QElapsedTimer t;
        t.start();
        while (client.state() == QLocalSocket::ConnectedState && t.elapsed() < 3000) QTest::qWait(20);
        QCOMPARE(client.state(), QLocalSocket::UnconnectedState);  // dropped by the first copy
        QVERIFY(client.readAll().isEmpty());
        QCOMPARE(activated.count(), 0);
    }

    // Only this user may ask the holder anything, and a released lock
    // leaves no socket behind for the next copy to try.
    void answeringSocketIsTheUsersOnly() {
        QCOMPARE(TryAcquireSingleInstance(), SingleInstanceResult::Acquired);
        const QFileInfo socket(SingleInstanceSocketPath());
        QVERIFY(socket.exists());
        QVERIFY(socket.permissions() & QFileDevice::WriteOwner);
        QCOMPARE(socket.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                          QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther),
                 QFileDevice::Permissions());
        QCOMPARE(QDir(socket.absolutePath()).entryList(QDir::System | QDir::Files | QDir::Hidden).filter(".new.").size(), 0);
        QVERIFY(ReleaseSingleInstance());
        QVERIFY(!QFileInfo::exists(SingleInstanceSocketPath()));
    }

    void releasedLockLetsTheNextCopyRun() {
        QCOMPARE(TryAcquireSingleInstance(), SingleInstanceResult::Acquired);
        QVERIFY(ReleaseSingleInstance());
        QVERIFY(!SingleInstanceHeld());
        QVERIFY(ReleaseSingleInstance());  // a second release is harmless
        Copy next(KORVA_LOCKPROBE, {}, Runtime());
        QVERIFY(next.WaitForLine("ACQUIRED"));
        // While it runs, this process is the second copy.
        QCOMPARE(TryAcquireSingleInstance(500), SingleInstanceResult::OtherActivated);
        QVERIFY(!SingleInstanceHeld());
    }

    void programEndingNormallyReleases() {
        // The program without arguments ends at once after its start checks.
        for (int run = 0; run < 2; ++run) {
            Copy program(KORVA_EXE, {}, Runtime());
            QVERIFY(program.Process().waitForFinished(10000));
            QVERIFY(program.Process().exitCode() != SingleInstanceRefusedExitCode);
        }
    }

    void killedCopysLockIsTakenOver() {
        {
            Copy first(KORVA_LOCKPROBE, {}, Runtime());
            QVERIFY(first.WaitForLine("ACQUIRED"));
            first.Process().kill();
            QVERIFY(first.Process().waitForFinished(5000));
        }
        // Its lock file and socket file are left behind.
        QVERIFY(QFileInfo::exists(SingleInstanceLockPath()));
        QVERIFY(QFileInfo::exists(SingleInstanceSocketPath()));
        Copy next(KORVA_LOCKPROBE, {}, Runtime());
        QVERIFY(next.WaitForLine("ACQUIRED"));
        Copy third(KORVA_EXE, {}, Runtime());
        QVERIFY(third.Process().waitForFinished(2000));
        QCOMPARE(third.Process().exitCode(), SingleInstanceRefusedExitCode);
        QVERIFY(next.WaitForLine("ACTIVATED normal", 2000));
    }

    // Delete mode takes the lock without the window part of the program;
    // it is refused the same way.
    void lockWithoutAnsweringCopyGivesMessage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("configuration mode") << QStringList{"/CONFIGURE_CONF"};
        QTest::newRow("delete mode") << QStringList{"/DEL:H-1", "/PD:%P%", "/OF:%P%/result.txt"};
    }
    void lockWithoutAnsweringCopyGivesMessage() {
        QFETCH(QStringList, args);
        TestDir project;
        args.replaceInStrings("%P%", project.path());
        Copy holder(KORVA_LOCKPROBE, {"--hold-only"}, Runtime());
        QVERIFY(holder.WaitForLine("HOLDING"));
        Copy other(KORVA_EXE, args, Runtime());
        QVERIFY(other.Process().waitForFinished(10000));
        QCOMPARE(other.Process().exitCode(), SingleInstanceRefusedExitCode);
        const QString err = QString::fromLocal8Bit(other.Process().readAllStandardError());
        QVERIFY2(err.contains(kBlocked), qPrintable(err));
        QCOMPARE(err.count(kBlocked), 1);
        QVERIFY(!QFileInfo::exists(project.file("result.txt")));
        // In process: the same answer without ending.
        QCOMPARE(TryAcquireSingleInstance(300), SingleInstanceResult::Blocked);
    }

    void ownFolderWithoutRuntimeDirectory() {
        TestDir tmp;
        Copy first(KORVA_LOCKPROBE, {}, {}, tmp.path());
        QVERIFY(first.WaitForLine("ACQUIRED"));
        const QString dir = tmp.file(QString("korva-runtime-%1").arg(::getuid()));
        QVERIFY(QFileInfo::exists(dir + "/ZORBEL_KORVA2010_MUTEX.lock"));
        QCOMPARE(QFileInfo(dir).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther |
                                                  QFile::WriteOther | QFile::ExeGroup | QFile::ExeOther),
                 QFile::Permissions());
        Copy other(KORVA_EXE, {}, {}, tmp.path());
        QVERIFY(other.Process().waitForFinished(2000));
        QCOMPARE(other.Process().exitCode(), SingleInstanceRefusedExitCode);
        QVERIFY(first.WaitForLine("ACTIVATED normal", 2000));
    }

    void folderOthersCanWriteIsNotUsed() {
        TestDir tmp;
        const QString dir = tmp.file(QString("korva-runtime-%1").arg(::getuid()));
        QVERIFY(QDir().mkdir(dir));
        QVERIFY(QFile::setPermissions(dir, QFile::Permissions(0x7777)));
        Copy first(KORVA_LOCKPROBE, {}, {}, tmp.path());
        QVERIFY(first.WaitForLine("ACQUIRED"));
        // Unguarded rather than steered by whoever made the folder.
        Copy second(KORVA_LOCKPROBE, {}, {}, tmp.path());
        QVERIFY(second.WaitForLine("ACQUIRED"));
        QString err;
        for (int i = 0; i < 100 && !err.contains("no private runtime directory"); ++i) {
            second.Process().waitForReadyRead(20);
            err += QString::fromLocal8Bit(second.Process().readAllStandardError());
        }
        QVERIFY2(err.contains("no private runtime directory"), qPrintable(err));
        QVERIFY(!QFileInfo::exists(dir + "/ZORBEL_KORVA2010_MUTEX.lock"));
    }

    void componentHasNoBehaviour() {
        TzorbelOnlyOne c;
        QVERIFY(c.About.isEmpty());
        QVERIFY(!SingleInstanceHeld());
    }
};

QTEST_MAIN(TstExclusiveAccess)
#include "tst_exclusiveaccess.moc"
