// Session aliases, the registry stand-in, host text files and number rules.
#include "platform/CodePage.h"
#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/Deadline.h"
#include "platform/HostFiles.h"
#include "platform/LockFile.h"
#include "platform/Numbers.h"
#include "platform/Registry.h"
#include "platform/Session.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class TestServices : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void aliasesFromTheAliasFile();
    void aliasFileReadAsWritten_data();
    void aliasFileReadAsWritten();
    void aliasFileRoundTrip();
    void hostTextByMark_data();
    void hostTextByMark();
    void runtimeAliasesAndPrivateDir();
    void sessionCloseFreesImplicitDatabases();
    void registryNamesIgnoreCase();
    void registryRewritesOnlyChangedValues();
    void hostFileIsCp1252WithCrLf();
    void hostFileIsReplacedOnlyWhenComplete();
    void fifoWhoseReaderLeftIsAFailedWrite();
    void roundHalfEven_data();
    void roundHalfEven();
    void parseNumber_data();
    void parseNumber();
    void formatFixedHasNoLocale();
    void deadlineMetInTimeEndsNothing_data();
    void deadlineMetInTimeEndsNothing();
    void lockFile_data();
    void lockFile();
    void lockFileGivenBackWhileWaited();
    void lockFileHeldByOneTakerAtATime_data();
    void lockFileHeldByOneTakerAtATime();
    void deadlinePassedEndsTheProcess_data();
    void deadlinePassedEndsTheProcess();
};

void TestServices::initTestCase() { QStandardPaths::setTestModeEnabled(true); }

void TestServices::aliasesFromTheAliasFile() {
    TestDir dir;
    const QString ini = dir.file("aliases.ini");
    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[KORVA_9_0]\nPATH=/srv/korva/catalogue\n");
    f.close();
    qputenv("KORVA_ALIAS_FILE", ini.toLocal8Bit());
    Session().ReloadAliases();
    QVERIFY(Session().IsAlias("korva_9_0"));
    QCOMPARE(Session().AliasPath("KORVA_9_0"), QString("/srv/korva/catalogue/"));
    QVERIFY(Session().GetAliasParams("KORVA_9_0").contains("PATH=/srv/korva/catalogue"));
    try {
        Session().AliasPath("NO_SUCH");
        QFAIL("no error");
    } catch (const EDBEngineError& e) {
        QCOMPARE(e.ErrorCode(), int(dbeAliasUnknown));
    }
}

// The alias file takes values as they stand and matches keys whole.
void TestServices::aliasFileReadAsWritten_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("path");
    QTest::newRow("comma in the path") << QByteArray("[KORVA_9_0]\nPATH=/srv/a,b/cat\n") << "/srv/a,b/cat/";
    QTest::newRow("semicolon in the path") << QByteArray("[KORVA_9_0]\nPATH=/srv/a;b/cat\n") << "/srv/a;b/cat/";
    QTest::newRow("PATH_OLD after PATH") << QByteArray("[KORVA_9_0]\nPATH=/srv/new\nPATH_OLD=/srv/old\n") << "/srv/new/";
    QTest::newRow("PATHS before PATH") << QByteArray("[korva_9_0]\nPATHS=/x\npath=/srv/new\nPATH2=/y\n") << "/srv/new/";
    QTest::newRow("another alias's PATH") << QByteArray("[OTHER]\nPATH=/o\n[KORVA_9_0]\nTYPE=PARADOX\nPATH=/k\n")
                                          << "/k/";
    QTest::newRow("UTF-8 path") << QByteArray("[KORVA_9_0]\nPATH=/srv/Pr\xc3\xbc" "fung\n") << QString::fromUtf8("/srv/Pr\xc3\xbc" "fung/");
}

void TestServices::aliasFileReadAsWritten() {
    QFETCH(QByteArray, content);
    QFETCH(QString, path);
    TestDir dir;
    const QString ini = dir.file("aliases.ini");
    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    qputenv("KORVA_ALIAS_FILE", ini.toLocal8Bit());
    Session().ReloadAliases();
    QCOMPARE(Session().AliasPath("KORVA_9_0"), path);
    QCOMPARE(AliasParamValue(Session().GetAliasParams("KORVA_9_0"), "PATH") + "/", path);
}

void TestServices::aliasFileRoundTrip() {
    TestDir dir;
    const QString ini = dir.file("aliases.ini");
    qputenv("KORVA_ALIAS_FILE", ini.toLocal8Bit());
    Session().ReloadAliases();
    // Directory names may hold what INI syntax would otherwise eat: list
    // and comment marks, spaces at either end, quotes round the name.
    const QStringList paths{dir.file(QString::fromUtf8("a,b;c \xc3\xa4")), dir.file("trailing space "),
                            " /leading/space", dir.file("\"quoted\""), dir.file("'single'"), dir.file("x=y")};
    for (const QString& path : paths) {
        Session().AddStandardAlias("ROUNDTRIP", path);
        Session().SaveConfigFile();
        Session().DeleteAlias("ROUNDTRIP");
        Session().ReloadAliases();
        QCOMPARE(Session().AliasPath("ROUNDTRIP"), path + "/");
        Session().DeleteAlias("ROUNDTRIP");
    }
}

void TestServices::hostTextByMark_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("1252") << QByteArray("[A]\r\nx=\xe4") << QString::fromUtf8("[A]\r\nx=\xc3\xa4");
    QTest::newRow("UTF-8 mark") << QByteArray("\xef\xbb\xbf[A]\r\nx=\xc3\xa4") << QString::fromUtf8("[A]\r\nx=\xc3\xa4");
    QTest::newRow("UTF-16LE mark") << QByteArray("\xff\xfe[\0A\0]\0\xe4\0", 10) << QString::fromUtf8("[A]\xc3\xa4");
    QTest::newRow("UTF-16BE mark") << QByteArray("\xfe\xff\0[\0A\0]\0\xe4", 10) << QString::fromUtf8("[A]\xc3\xa4");
    // UTF-8 without a mark is not the host's: its bytes are 1252 text.
    QTest::newRow("UTF-8 without mark") << QByteArray("x=\xc3\xa4") << QString::fromUtf8("x=\xc3\x83\xc2\xa4");
}

void TestServices::hostTextByMark() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    TestDir dir;
    QFile f(dir.file("in.zif"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    bool ok = false;
    QCOMPARE(ReadHostText(f.fileName(), &ok), text);
    QVERIFY(ok);
}

void TestServices::runtimeAliasesAndPrivateDir() {
    TestDir dir;
    Session().SetConfigMode(cmSession);
    Session().AddStandardAlias("KORVA_TEMPDB", dir.path());
    Session().SetConfigMode(cmPersistent);
    QCOMPARE(Session().ResolveDirectory("KORVA_TEMPDB"), dir.path() + "/");
    Session().DeleteAlias("KORVA_TEMPDB");
    QVERIFY(!Session().IsAlias("KORVA_TEMPDB"));
    Session().SetPrivateDir(dir.path());
    QCOMPARE(Session().PrivateDir(), dir.path() + "/");
    QVERIFY_THROWS_EXCEPTION(EDBEngineError, Session().SetPrivateDir(dir.file("missing")));
    QCOMPARE(Session().PrivateDir(), dir.path() + "/");
    Session().SetPrivateDir(QString());
    QVERIFY(Session().PrivateDir().isEmpty());
}

void TestServices::sessionCloseFreesImplicitDatabases() {
    TestDir a, b;
    TDatabase& first = Session().OpenDatabase(a.path());
    QCOMPARE(&Session().OpenDatabase(a.path() + "/"), &first);  // one database per directory
    Session().OpenDatabase(b.path());
    Session().Close();  // must not touch a freed database
    QCOMPARE(Session().OpenDatabase(a.path()).Directory(), a.path() + "/");
    Session().Close();
}

void TestServices::registryNamesIgnoreCase() {
    {
        TRegistry reg;
        QVERIFY(reg.OpenKey("\\SOFTWARE\\ZORBEL\\KORVA_9_0\\Options", true));
        reg.WriteInteger("DefaultLanguage", 2);
        reg.WriteString("ProjectDir", "/srv/p");
    }
    TRegistry reg;
    QVERIFY(reg.OpenKey("\\Software\\Zorbel\\Korva_9_0\\OPTIONS", false));
    QCOMPARE(reg.ReadInteger("defaultlanguage"), 2);
    QVERIFY(reg.ValueExists("PROJECTDIR"));
    QCOMPARE(reg.ReadString("projectdir"), QString("/srv/p"));
    QVERIFY_THROWS_EXCEPTION(ERegistryException, reg.ReadInteger("Missing"));
    reg.WriteString("projectDIR", "/srv/q");  // overwrites the existing name
    QCOMPARE(reg.GetValueNames().filter("projectdir", Qt::CaseInsensitive).size(), 1);
    QVERIFY(!reg.OpenKey("\\Software\\Zorbel\\Korva_9_0\\Nothing", false));
    QVERIFY(reg.DeleteKey("\\SOFTWARE\\ZORBEL\\KORVA_9_0\\Options"));
}

// Writing a value the registry holds already leaves its file alone (the
// file is replaced, and synced, whenever anything is set); a changed value,
// or one of the same text under another name, is written.
void TestServices::registryRewritesOnlyChangedValues() {
    const QString file = TRegistry::Settings(TRootKey::CurrentUser)->fileName();
    const auto identity = [&file] {
        struct stat st {};
        if (::stat(QFile::encodeName(file).constData(), &st) != 0) return QByteArray();
        return QByteArray::number(qulonglong(st.st_ino)) + ":" + QByteArray::number(qlonglong(st.st_mtim.tv_nsec)) + ":" +
               QByteArray::number(qlonglong(st.st_mtim.tv_sec));
    };
    const QString key = "\\SOFTWARE\\ZORBEL\\KORVA_9_0\\Rewrite";
    {
        TRegistry reg;
        QVERIFY(reg.OpenKey(key, true));
        reg.WriteString("PROJECT_DIR", "/srv/p");
        reg.WriteInteger("Language", 2);
    }
    const QByteArray written = identity();
    QVERIFY(!written.isEmpty());
    {
        TRegistry reg;
        QVERIFY(reg.OpenKey(key, true));
        reg.WriteString("project_dir", "/srv/p");
        reg.WriteInteger("LANGUAGE", 2);
    }
    QCOMPARE(identity(), written);
    {
        TRegistry reg;
        QVERIFY(reg.OpenKey(key, true));
        reg.WriteString("Other", "/srv/p");  // same text, new name
    }
    const QByteArray other = identity();
    QVERIFY(other != written);
    {
        TRegistry reg;
        QVERIFY(reg.OpenKey(key, true));
        reg.WriteString("PROJECT_DIR", "/srv/p2");
    }
    QVERIFY(identity() != other);
    TRegistry reg;
    QVERIFY(reg.OpenKey(key, false));
    QCOMPARE(reg.ReadString("PROJECT_DIR"), QString("/srv/p2"));
    QCOMPARE(reg.ReadString("Other"), QString("/srv/p"));
    QCOMPARE(reg.ReadInteger("Language"), 2);
    QVERIFY(reg.DeleteKey(key));
}

void TestServices::hostFileIsCp1252WithCrLf() {
    TestDir dir;
    const QString path = dir.file("out.txt");
    QVERIFY(WriteHostTextFile(path, {"Stütze Ø 114,3", "CANCLED "}));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(bytes, QByteArray("St\xfctze \xd8 114,3\r\nCANCLED \r\n"));
    QStringList lines;
    QVERIFY(ReadHostTextFile(path, lines));
    QCOMPARE(lines, (QStringList{"Stütze Ø 114,3", "CANCLED "}));
    QVERIFY(!ReadHostTextFile(dir.file("missing.txt"), lines));
}

void TestServices::hostFileIsReplacedOnlyWhenComplete() {
    TestDir dir;
    const QString path = dir.file("out.txt");
    QVERIFY(WriteHostTextFile(path, {"old"}));
    {
        HostTextWriter w(path);
        w.WriteLine("half");
        // destroyed without Commit: the host keeps the old file
    }
    QStringList lines;
    QVERIFY(ReadHostTextFile(path, lines));
    QCOMPARE(lines, QStringList{"old"});
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    HostTextWriter bad;
    QVERIFY(!bad.Open(dir.file("no/such/dir/out.txt")));
}

// A FIFO whose reader has gone refuses the result: the write fails and says
// so, instead of the pipe's signal ending the program before it can report.
void TestServices::fifoWhoseReaderLeftIsAFailedWrite() {
    TestDir dir;
    const QString fifo = dir.file("result.fifo");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    HostTextWriter w;
    QVERIFY(w.Open(fifo));
    ::close(reader);
    w.WriteLine("0");
    QVERIFY(!w.Commit());
    QVERIFY(!w.ErrorString().isEmpty());
    // The process carries no pending pipe signal afterwards.
    sigset_t pending;
    sigpending(&pending);
    QVERIFY(!sigismember(&pending, SIGPIPE));
    // And a reader that stays gets the text.
    const int reader2 = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader2 >= 0);
    QVERIFY(w.Open(fifo));
    w.WriteLine("1");
    QVERIFY(w.Commit());
    char got[8] = {};
    QCOMPARE(::read(reader2, got, sizeof got), ssize_t(3));
    QCOMPARE(QByteArray(got, 3), QByteArray("1\r\n"));
    ::close(reader2);
}

void TestServices::roundHalfEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("rounded");
    QTest::addColumn<qint64>("truncated");
    QTest::newRow("1002.5") << 1002.5 << qint64(1002) << qint64(1002);
    QTest::newRow("1003.5") << 1003.5 << qint64(1004) << qint64(1003);
    QTest::newRow("-2.5") << -2.5 << qint64(-2) << qint64(-2);
    QTest::newRow("-3.7") << -3.7 << qint64(-4) << qint64(-3);
    QTest::newRow("0.49") << 0.49 << qint64(0) << qint64(0);
}

void TestServices::roundHalfEven() {
    QFETCH(double, value);
    QFETCH(qint64, rounded);
    QFETCH(qint64, truncated);
    QCOMPARE(RoundToInt(value), rounded);
    QCOMPARE(TruncToInt(value), truncated);
}

void TestServices::parseNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("dot") << " 350.5 " << false << true << 350.5;
    QTest::newRow("comma refused") << "350,5" << false << false << 0.0;
    QTest::newRow("comma accepted") << "350,5" << true << true << 350.5;
    QTest::newRow("text") << "abc" << false << false << 0.0;
    QTest::newRow("infinite") << "inf" << false << false << 0.0;
    QTest::newRow("nan") << "nan" << false << false << 0.0;
    QTest::newRow("negative") << "-12" << false << true << -12.0;
}

void TestServices::parseNumber() {
    QFETCH(QString, text);
    QFETCH(bool, comma);
    QFETCH(bool, ok);
    QFETCH(double, value);
    bool good = !ok;
    QCOMPARE(double(ParseNumber(text, &good, comma)), value);
    QCOMPARE(good, ok);
}

void TestServices::formatFixedHasNoLocale() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(FormatFixed(1234567.125L, 2), QString("1234567.12"));
    QCOMPARE(FormatFixed(-0.001L, 2), QString("0.00"));
    QCOMPARE(FormatFixed(2.5L, 0), QString("2"));
    QLocale::setDefault(QLocale::c());
}

void TestServices::deadlineMetInTimeEndsNothing_data() {
    QTest::addColumn<int>("workMs");       // how long the watched step takes
    QTest::addColumn<bool>("explicitly");  // Met() called, or left to the destructor
    QTest::newRow("met at once") << 0 << true;
    QTest::newRow("met after part of the bound") << 100 << true;
    QTest::newRow("met by the destructor") << 0 << false;
}

// A step that ends in time stops the watch for good, at once: its ending
// would end this process (a deadline that fires all the same shows as this
// program ending with code 70 and the line below), and a watch that only
// noticed at its bound would hold every start for the whole bound.
void TestServices::deadlineMetInTimeEndsNothing() {
    QFETCH(int, workMs);
    QFETCH(bool, explicitly);
    static std::atomic<int> endings{0};
    QElapsedTimer t;
    t.start();
    {
        Deadline deadline(20000, [] {
            ++endings;
            std::fputs("deadlineMetInTimeEndsNothing: the deadline ended the run although it was met\n", stderr);
            return 70;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(workMs));
        if (explicitly) deadline.Met();
    }
    QCOMPARE(endings.load(), 0);
    QVERIFY2(t.elapsed() < 10000, "meeting the deadline waited for its bound");
}

enum class LockBefore { Nothing, HeldByAnother, LeftByAKill, LinkInItsPlace };

void TestServices::lockFile_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<bool>("held");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("failure");  // after the lock file's path
    QTest::newRow("free") << int(LockBefore::Nothing) << true << false << "";
    QTest::newRow("held by another for the whole wait")
        << int(LockBefore::HeldByAnother) << false << true << " is held by another program";
    // The file stays after a kill, the lock does not.
    QTest::newRow("file of a killed holder") << int(LockBefore::LeftByAKill) << true << false << "";
    QTest::newRow("a link in its place, never followed")
        << int(LockBefore::LinkInItsPlace) << false << false << " cannot be opened (Too many levels of symbolic links)";
}

// An exclusive lock on a file of its own: taken when free, also on the file
// a killed holder left; refused, with the cause, when another holds it for
// the whole wait or a link stands in its place; the file goes with the lock.
void TestServices::lockFile() {
    QFETCH(int, before);
    QFETCH(bool, held);
    QFETCH(bool, busy);
    QFETCH(QString, failure);
    TestDir dir;
    const QString path = dir.file("x.lock");
    const QByteArray name = QFile::encodeName(path);
    int other = -1;
    if (before == int(LockBefore::HeldByAnother) || before == int(LockBefore::LeftByAKill)) {
        other = ::open(name.constData(), O_RDONLY | O_CREAT, 0666);
        QVERIFY(other >= 0);
        if (before == int(LockBefore::HeldByAnother)) QCOMPARE(::flock(other, LOCK_EX), 0);
        else ::close(other);
    }
    if (before == int(LockBefore::LinkInItsPlace)) QVERIFY(QFile::link(dir.file("target"), path));
    {
        const TLockFile lock(path, 150);
        QCOMPARE(lock.Held(), held);
        QCOMPARE(lock.Busy(), busy);
        QCOMPARE(lock.Failure(), failure.isEmpty() ? QString() : path + failure);
        // Another taker meanwhile waits its time and is refused.
        if (held) QVERIFY(TLockFile(path, 20).Busy());
    }
    QCOMPARE(QFileInfo::exists(dir.file("target")), false);
    if (before == int(LockBefore::HeldByAnother)) {
        // The other holder's file stays its own, and once it gives the lock
        // back the lock is free.
        QVERIFY(QFileInfo::exists(path));
        ::close(other);
        QVERIFY(TLockFile(path, 0).Held());
    }
    if (before != int(LockBefore::LinkInItsPlace)) QCOMPARE(QFileInfo::exists(path), false);
}

// A waiter that locked the file the holder removed as it gave the lock
// back takes the file now at the path; otherwise it would hold a file
// nobody else sees and a third taker would hold the lock as well.
void TestServices::lockFileGivenBackWhileWaited() {
    TestDir dir;
    const QString path = dir.file("x.lock");
    auto first = std::make_unique<TLockFile>(path, 0);
    QVERIFY(first->Held());
    std::atomic<int> waiter{0};  // 1 holding, 2 may give back
    std::thread second([&] {
        const TLockFile lock(path, 10000);
        waiter = lock.Held() ? 1 : -1;
        while (waiter == 1) QThread::msleep(5);
    });
    QThread::msleep(100);
    first.reset();
    for (int i = 0; i < 1000 && waiter == 0; ++i) QThread::msleep(5);
    QCOMPARE(int(waiter), 1);
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(TLockFile(path, 50).Busy());
    waiter = 2;
    second.join();
    QVERIFY(TLockFile(path, 0).Held());
}

void TestServices::lockFileHeldByOneTakerAtATime_data() {
    QTest::addColumn<int>("takers");
    QTest::newRow("two takers") << 2;
    // Several wait on one file when its holder removes it: each that locks
    // the removed file tries again, never beside one on the new file.
    QTest::newRow("four takers") << 4;
}

// Takers that lock again and again, each in its own thread: at no moment do
// two hold the lock, however the file is removed and made again between
// them, and each lock is the one on the file at the path.
void TestServices::lockFileHeldByOneTakerAtATime() {
    QFETCH(int, takers);
    constexpr int kRounds = 15;
    TestDir dir;
    const QString path = dir.file("x.lock");
    std::atomic<int> inside{0}, most{0}, held{0}, refused{0}, pathLost{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < takers; ++t)
        threads.emplace_back([&] {
            for (int round = 0; round < kRounds; ++round) {
                const TLockFile lock(path, 20000);
                if (!lock.Held()) {
                    ++refused;
                    continue;
                }
                const int now = ++inside;
                for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
                }
                if (!QFileInfo::exists(path)) ++pathLost;
                QThread::msleep(2);
                --inside;
                ++held;
            }
        });
    for (std::thread& t : threads) t.join();
    QCOMPARE(int(refused), 0);
    QCOMPARE(int(held), takers * kRounds);
    QCOMPARE(int(most), 1);
    QCOMPARE(int(pathLost), 0);
    QVERIFY(!QFileInfo::exists(path));
}

void TestServices::deadlinePassedEndsTheProcess_data() {
    QTest::addColumn<int>("endingMs");    // how long the ending works
    QTest::addColumn<int>("metAfterMs");  // when the watched step comes back; -1: never
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output");  // what the process wrote, unflushed, on standard output
    // The bound is 200 ms. The ending's code, its output flushed, and no
    // exit handler: exit() would run them (and the static destructors)
    // under the step's thread, which still uses them.
    QTest::newRow("step never comes back") << 0 << -1 << 42 << QByteArray("begun, ending");
    // Rules out a Met() that returns once the bound has passed: the step's
    // road would go on beside the ending (two writers of the host's files).
    QTest::newRow("step comes back while the ending works") << 600 << 400 << 42 << QByteArray("begun, ending");
    // The other side: in time, the step goes on and the ending never runs.
    QTest::newRow("step comes back in time") << 0 << 20 << 7 << QByteArray("begun, went on, exit handler");
}

// The process that runs out of time ends by the ending alone, whatever the
// watched step does afterwards. Run in a child, since the ending ends its
// process.
void TestServices::deadlinePassedEndsTheProcess() {
    QFETCH(int, endingMs);
    QFETCH(int, metAfterMs);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, output);
    int out[2];
    QCOMPARE(::pipe2(out, O_CLOEXEC), 0);
    std::fflush(nullptr);  // nothing of this process is written twice
    const pid_t pid = ::fork();
    QVERIFY(pid >= 0);
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        std::setvbuf(stdout, nullptr, _IOFBF, 4096);
        std::atexit([] { std::fputs(", exit handler", stdout); });
        std::fputs("begun", stdout);
        Deadline deadline(200, [endingMs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(endingMs));
            std::fputs(", ending", stdout);
            return 42;
        });
        // A step that never comes back is held 20 s: the test fails on the
        // code instead of waiting.
        std::this_thread::sleep_for(std::chrono::milliseconds(metAfterMs < 0 ? 20000 : metAfterMs));
        if (metAfterMs >= 0) deadline.Met();
        std::fputs(", went on", stdout);
        std::exit(7);
    }
    ::close(out[1]);
    QByteArray got;
    QElapsedTimer t;
    t.start();
    for (;;) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 100) < 0 && errno != EINTR) break;
        char buffer[256];
        const ssize_t n = p.revents ? ::read(out[0], buffer, sizeof buffer) : -1;
        if (n == 0 || t.elapsed() > 30000) break;
        if (n > 0) got.append(buffer, n);
    }
    ::close(out[0]);
    int status = -1;
    if (t.elapsed() > 30000) ::kill(pid, SIGKILL);
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    QVERIFY2(WIFEXITED(status), qPrintable(QString::number(status)));
    QCOMPARE(WEXITSTATUS(status), exitCode);
    QCOMPARE(got, output);
}

QTEST_GUILESS_MAIN(TestServices)
#include "tst_services.moc"
