// Crash atomicity and concurrent writers, with real processes: a child
// that stores or deletes supports is ended at every point of its commits
// (a file hook that ends it as a kill would) and at random instants (a real
// SIGKILL); afterwards every table file is sound and every support is whole
// or absent.
#include "CrashProject.h"
#include "platform/RunDirectory.h"
#include "support/TestSupport.h"

#include <csignal>
#include <ctime>
#include <utime.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

namespace {

constexpr int CrashStatus = 86;  // the hook's exit status

struct ChildRun {
    bool finished = false;
    int status = -1;
    QString err;
};

ChildRun RunChild(const QString& program, const QStringList& args, long crashAt = 0) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("KORVA_TEST_FAIL_WRITE");
    env.remove("KORVA_TEST_CRASH_AT");
    if (crashAt > 0) env.insert("KORVA_TEST_CRASH_AT", QString::number(crashAt));
    p.setProcessEnvironment(env);
    p.start(program, args);
    ChildRun r;
    r.finished = p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit;
    r.status = p.exitCode();
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
    }
    return r;
}

// Journals a crash left behind: a hot journal of a table file, and the
// super-journal that ties the files of one commit together.
void NoteJournals(const QString& dir, bool& hot, bool& super) {
    for (const QString& f : QDir(dir).entryList(QDir::Files | QDir::Hidden)) {
        hot = hot || f.endsWith("-journal");
        super = super || f.contains("-mj");
    }
}

}  // namespace

class TestCrash : public QObject {
    Q_OBJECT
private slots:
    void storeEndedAtEveryPointLeavesWholeSupports();
    void deleteModeEndedAtEveryPointLeavesWholeSupports();
    void killedAtRandomDuringThousandStores();
    void twoWritersBothSucceed();
    void writerBlockedPastTimeoutFailsCleanly();
    void privateDirectoryGoesWithTerminatingSignals_data();
    void privateDirectoryGoesWithTerminatingSignals();
    void abandonedPrivateDirectoriesAreRemovedAtStart();
};

void TestCrash::storeEndedAtEveryPointLeavesWholeSupports() {
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    const int first = 500000000;
    // Two supports stored before: the run replaces them and adds two more.
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", QString::number(first), "2"}).status, 0);
    bool hot = false, super = false;
    int crashes = 0;
    for (long n = 1;; ++n) {
        QVERIFY2(n < 3000, "the store never finished");
        const ChildRun r = RunChild(KORVA_CRASH_CHILD, {p, "store", QString::number(first), "4"}, n);
        QVERIFY(r.finished);
        if (r.status == 0) break;
        QVERIFY2(r.status == CrashStatus, qPrintable(r.err));
        ++crashes;
        NoteJournals(p, hot, super);
        const crashproject::Check c = crashproject::Verify(p);
        QVERIFY2(c.problem.isEmpty(), qPrintable(QString("crash at %1: %2").arg(n).arg(c.problem)));
        // The two stored before are never lost, only replaced.
        QVERIFY(c.keys.contains(first) && c.keys.contains(first + 1));
    }
    QVERIFY(crashes > 20);
    // The crashes did hit commits over several files.
    QVERIFY(hot);
    QVERIFY(super);
    QCOMPARE(crashproject::Verify(p).supports, 4);
}

void TestCrash::deleteModeEndedAtEveryPointLeavesWholeSupports() {
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    const int first = 600000000;
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", QString::number(first), "3"}).status, 0);
    const QStringList args{"/DEL:" + crashproject::PosNo(first + 1), "/PD:" + p, "/OF:" + dir.file("result.txt")};
    bool hot = false, super = false;
    int crashes = 0;
    for (long n = 1;; ++n) {
        QVERIFY2(n < 3000, "delete mode never finished");
        const ChildRun r = RunChild(KORVA_HOOKED_EXE, args, n);
        QVERIFY(r.finished);
        if (r.status != CrashStatus) {
            // Done; or ended after the commit point by the crash before,
            // so this run found the support gone.
            QVERIFY2(r.status == (300 & 0xff) || r.status == (303 & 0xff), qPrintable(r.err));
            break;
        }
        ++crashes;
        NoteJournals(p, hot, super);
        const crashproject::Check c = crashproject::Verify(p);
        QVERIFY2(c.problem.isEmpty(), qPrintable(QString("crash at %1: %2").arg(n).arg(c.problem)));
        QVERIFY(c.keys.contains(first) && c.keys.contains(first + 2));
    }
    QVERIFY(crashes > 5);
    QVERIFY(hot);
    QVERIFY(super);
    const crashproject::Check c = crashproject::Verify(p);
    QCOMPARE(c.keys, QSet<int>({first, first + 2}));
}

void TestCrash::killedAtRandomDuringThousandStores() {
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    QRandomGenerator random(20261207);
    // Thirty kills at random instants, each check after it; then the rest
    // of the 1,000 stores runs to its end.
    int kills = 0, killsMidway = 0, stored = 0;
    for (int round = 0; round < 30; ++round) {
        QProcess child;
        child.start(KORVA_CRASH_CHILD, {p, "resume", "1000"});
        QVERIFY(child.waitForStarted());
        if (child.waitForFinished(int(random.bounded(50, 600)))) {
            QCOMPARE(child.exitStatus(), QProcess::NormalExit);
            QCOMPARE(child.exitCode(), 0);
            break;
        }
        child.kill();  // SIGKILL
        child.waitForFinished();
        ++kills;
        const crashproject::Check c = crashproject::Verify(p);
        QVERIFY2(c.problem.isEmpty(), qPrintable(QString("kill %1: %2").arg(kills).arg(c.problem)));
        QVERIFY(c.supports >= stored);  // nothing stored before is lost
        if (c.supports > stored) ++killsMidway;
        stored = c.supports;
    }
    QVERIFY(kills > 3);
    QVERIFY(killsMidway > 3);  // the kills fell among the stores
    const ChildRun rest = RunChild(KORVA_CRASH_CHILD, {p, "resume", "1000"});
    QVERIFY(rest.finished);
    QCOMPARE(rest.status, 0);
    const crashproject::Check c = crashproject::Verify(p);
    QVERIFY2(c.problem.isEmpty(), qPrintable(c.problem));
    QCOMPARE(c.supports, 1000);
}

void TestCrash::twoWritersBothSucceed() {
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    QProcess a, b;
    a.start(KORVA_CRASH_CHILD, {p, "store", "700000000", "60"});
    b.start(KORVA_CRASH_CHILD, {p, "store", "800000000", "60"});
    QVERIFY(a.waitForFinished(120000));
    QVERIFY(b.waitForFinished(120000));
    QVERIFY2(a.exitCode() == 0, a.readAllStandardError().constData());
    QVERIFY2(b.exitCode() == 0, b.readAllStandardError().constData());
    const crashproject::Check c = crashproject::Verify(p);
    QVERIFY2(c.problem.isEmpty(), qPrintable(c.problem));
    QCOMPARE(c.supports, 120);
}

void TestCrash::writerBlockedPastTimeoutFailsCleanly() {
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", "900000000", "1"}).status, 0);
    // Another program holds the write lock of the parts list.
    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open(TablePath(p, "konbtl8").toUtf8().constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    QElapsedTimer timer;
    timer.start();
    const ChildRun r = RunChild(KORVA_CRASH_CHILD, {p, "store", "900000000", "3"});
    const qint64 waited = timer.elapsed();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QVERIFY(r.finished);
    QCOMPARE(r.status, 3);
    // It waited out the busy timeout, then said which file and why.
    QVERIFY2(waited >= 4500, qPrintable(QString::number(waited)));
    QVERIFY2(r.err.contains("konbtl8") && r.err.contains("another program"), qPrintable(r.err));
    // Nothing half done: the one support is as it was, no other came in.
    const crashproject::Check c = crashproject::Verify(p);
    QVERIFY2(c.problem.isEmpty(), qPrintable(c.problem));
    QCOMPARE(c.keys, QSet<int>({900000000}));
    // Once the lock is gone the same store goes through.
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", "900000000", "3"}).status, 0);
    QCOMPARE(crashproject::Verify(p).supports, 3);
}

namespace {

// A child that holds `dir` as its private directory, with TMPDIR = temp.
bool StartPrivateChild(QProcess& child, const QString& temp, const QString& dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", temp);
    child.setProcessEnvironment(env);
    child.start(KORVA_CRASH_CHILD, {dir, "private"});
    return child.waitForReadyRead(30000) && child.readAll().startsWith("ready");
}

void MakeOld(const QString& dir) {
    struct utimbuf old {};
    old.actime = old.modtime = time(nullptr) - 3600;
    ::utime(QFile::encodeName(dir).constData(), &old);
}

}  // namespace

void TestCrash::privateDirectoryGoesWithTerminatingSignals_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("removed");
    QTest::newRow("SIGTERM") << int(SIGTERM) << "KORVAa1B2c3" << true;
    QTest::newRow("SIGHUP") << int(SIGHUP) << "KORVAz9Y8x7" << true;
    QTest::newRow("SIGINT") << int(SIGINT) << "KORVAq5W6e7" << true;
    // Not a private directory by name: never removed.
    QTest::newRow("other name") << int(SIGTERM) << "KORVAproject" << false;
}

void TestCrash::privateDirectoryGoesWithTerminatingSignals() {
    QFETCH(int, signal);
    QFETCH(QString, name);
    QFETCH(bool, removed);
    TestDir temp;
    const QString dir = temp.file(name);
    QVERIFY(QDir().mkpath(dir));
    QFile f(dir + "/lek12.db");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QProcess child;
    QVERIFY(StartPrivateChild(child, temp.path(), dir));
    QCOMPARE(::kill(pid_t(child.processId()), signal), 0);
    QVERIFY(child.waitForFinished(30000));
    // It ended by the signal, as the signal would have ended it.
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(QFileInfo::exists(dir), !removed);
}

void TestCrash::abandonedPrivateDirectoriesAreRemovedAtStart() {
    TestDir temp;
    const QString gone = temp.file("KORVAgone01"), fresh = temp.file("KORVAfresh1"), alive = temp.file("KORVAalive1"),
                  other = temp.file("KORVAother12"), other2 = temp.file("project");
    for (const QString& d : {gone, fresh, alive, other, other2}) QVERIFY(QDir().mkpath(d));
    QFile f(gone + "/lek14.db");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QProcess child;
    QVERIFY(StartPrivateChild(child, temp.path(), alive));
    for (const QString& d : {gone, alive, other, other2}) MakeOld(d);
    QCOMPARE(RemoveAbandonedRunDirectories(temp.path()), 1);
    QVERIFY(!QFileInfo::exists(gone));
    for (const QString& d : {fresh, alive, other, other2}) QVERIFY2(QFileInfo::exists(d), qPrintable(d));
    // Once its run is killed, the directory is abandoned too.
    child.kill();
    QVERIFY(child.waitForFinished(30000));
    QVERIFY(QFileInfo::exists(alive));
    MakeOld(alive);
    QCOMPARE(RemoveAbandonedRunDirectories(temp.path()), 1);
    QVERIFY(!QFileInfo::exists(alive));
    QVERIFY(QFileInfo::exists(fresh));
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
