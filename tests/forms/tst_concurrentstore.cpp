// Two engineers storing into one project at the same moment: two processes
// (this test started again as a worker) store 200 supports each through the
// store of the Ok road. Every support must arrive whole, the project must
// stay consistent, and a store that waits too long must say so and store
// nothing.
#include "data/BridgeRecords.h"
#include "data/CatalogueSchema.h"
#include "data/DBCREATE.h"
#include "data/DECODIEREN.h"
#include "data/FIRAUFKON.h"
#include "data/KONBTL.h"
#include "forms/rules/SupportStore.h"
#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/FaultInjection.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <cstdio>
#include <sqlite3.h>

namespace {

constexpr int SupportsPerWorker = 200;
constexpr int PartsPerSupport = 3;

// Stores `count` supports under drawing number `drawing`; prints the
// outcome of each and returns the number of failures.
int RunWorker(const QString& project, int drawing, int count, int waitMs) {
    ProjectDatabaseName = project;
    int failures = 0;
    for (int i = 1; i <= count; ++i) {
        ConstructionRecord.Reset();
        PartsList.Clear();
        ConstructionRecord.K_NR = drawing;
        ConstructionRecord.K_LFD_NR = i;
        ConstructionRecord.K_LAST = drawing + i / 1000.0;
        for (int p = 0; p < PartsPerSupport; ++p) {
            PartsList.KB_POS[p] = int16_t(p + 1);
            PartsList.KB_BTL_8[p] = 21000000 + p;
            PartsList.KB_ANZ[p] = 1;
        }
        PartsList.RowCount = PartsPerSupport;
        CalcGlobals.DrawingKeyText = QStringLiteral("%1%2").arg(drawing, 5, 10, QLatin1Char('0')).arg(i, 4, 10, QLatin1Char('0'));
        try {
            if (StoreSupportWaiting(0, waitMs) != StoreOutcome::Inserted) ++failures;
        } catch (const EProjectBusy& e) {
            std::fprintf(stderr, "busy: %s\n", e.what());
            Session().Close();
            return 3;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "support %d: %s\n", i, e.what());
            ++failures;
        }
    }
    Session().Close();
    return failures;
}

// The company settings table's running number, read with plain SQLite.
int RunningNumberOf(const QString& catalogue) {
    sqlite3* db = nullptr;
    int n = -1;
    if (sqlite3_open_v2(QFile::encodeName(TablePath(catalogue, QStringLiteral("FIRDAT.DB"))).constData(), &db,
                        SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        // Read-write: a crash's hot journal is rolled back first.
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

// Stores `count` new supports as the Ok road does: each takes the running
// number the settings propose, and its store moves that number on.
int RunNumberWorker(const QString& project, int count) {
    ArmTestHooksFromEnvironment();
    ProjectDatabaseName = project;
    for (int i = 0; i < count; ++i) {
        ConstructionRecord.Reset();
        PartsList.Clear();
        ConstructionRecord.K_NR = 7;
        {
            TTable firdat(QStringLiteral("KORVA_9_0"), QStringLiteral("FIRDAT.DB"));
            firdat.Open();
            ConstructionRecord.K_LFD_NR = firdat.FieldByName(QStringLiteral("F_LFD_NR")).AsInteger();
        }
        PartsList.KB_POS[0] = 1;
        PartsList.KB_BTL_8[0] = 21000000;
        PartsList.KB_ANZ[0] = 1;
        PartsList.RowCount = 1;
        CalcGlobals.DrawingKeyText = QStringLiteral("%1%2").arg(7, 5, 10, QLatin1Char('0')).arg(ConstructionRecord.K_LFD_NR, 4, 10, QLatin1Char('0'));
        try {
            if (StoreSupportWaiting(0, 400, RunningNumber::Advance) != StoreOutcome::Inserted) return 1;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 3;
        }
    }
    Session().Close();
    return 0;
}

// A catalogue directory with a settings table whose running number is 1,
// named by an alias file; returns the alias file.
QString MakeSettings(const TestDir& dir) {
    const QString catalogue = dir.file(QStringLiteral("catalogue"));
    QDir().mkpath(catalogue);
    const CatalogueTableDef& def = CatalogueTable(QStringLiteral("FIRDAT.DB"));
    CreateTableFile(TablePath(catalogue, def.fileName), def.fieldDefs(), def.indexDefs());
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(TablePath(catalogue, def.fileName)).constData(), &db);
    sqlite3_exec(db, "INSERT INTO FIRDAT (F_NR, F_LFD_NR) VALUES (7, 1)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const QString aliases = dir.file(QStringLiteral("aliases.ini"));
    QFile f(aliases);
    f.open(QIODevice::WriteOnly);
    f.write(QStringLiteral("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
    return aliases;
}

struct WorkerRun {
    bool finished = false;
    int status = -1;
    QByteArray err;
};

WorkerRun RunNumberWorkerProcess(const QString& project, const QString& aliases, int count, long crashAt = 0) {
    QProcess worker;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVA_NUMBER_WORKER"), QStringLiteral("%1;%2").arg(project).arg(count));
    env.insert(QStringLiteral("KORVA_ALIAS_FILE"), aliases);
    env.remove(QStringLiteral("KORVA_TEST_CRASH_AT"));
    if (crashAt > 0) env.insert(QStringLiteral("KORVA_TEST_CRASH_AT"), QString::number(crashAt));
    worker.setProcessEnvironment(env);
    worker.start(QCoreApplication::applicationFilePath(), {});
    WorkerRun r;
    r.finished = worker.waitForFinished(120000) && worker.exitStatus() == QProcess::NormalExit;
    r.status = worker.exitCode();
    r.err = worker.readAllStandardError();
    if (!r.finished) {
        worker.kill();
        worker.waitForFinished();
    }
    return r;
}

int Count(const QString& project, const QString& sql) {
    TQuery q(project, sql);
    q.Open();
    return q.Fields(0).AsInteger();
}

// The integrity verdict of each support table file on its own, as plain
// SQLite opens it (a statement of the layer would check its main database).
QByteArray IntegrityOfTables(const QString& project) {
    QByteArrayList verdicts;
    for (const char* table : {"konstr8", "konstz8", "konbtl8"}) {
        sqlite3* db = nullptr;
        const QByteArray file = QFile::encodeName(TablePath(project, QLatin1String(table)));
        QByteArray verdict = "cannot open";
        if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK &&
                sqlite3_step(st) == SQLITE_ROW)
                verdict = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            sqlite3_finalize(st);
        }
        sqlite3_close(db);
        verdicts << verdict;
    }
    return verdicts.join(' ');
}

}  // namespace

class TestConcurrentStore : public QObject {
    Q_OBJECT
private slots:
    void twoProcessesStoreEverySupportWhole() {
        TestDir dir;
        const QString project = dir.file(QStringLiteral("project"));
        QDir().mkpath(project);
        QVERIFY(CreateProjectTables(project));
        Session().Close();

        QProcess workers[2];
        for (int w = 0; w < 2; ++w) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("KORVA_STORE_WORKER"), QStringLiteral("%1;%2;%3").arg(project).arg(w + 1).arg(SupportsPerWorker));
            workers[w].setProcessEnvironment(env);
            workers[w].start(QCoreApplication::applicationFilePath(), {});
        }
        for (QProcess& p : workers) {
            QVERIFY(p.waitForFinished(120000));
            QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        }
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konstr8")), 2 * SupportsPerWorker);
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konstz8")), 2 * SupportsPerWorker);
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konbtl8")), 2 * SupportsPerWorker * PartsPerSupport);
        // Every support's rows complete: its konstz8 row and all its parts.
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konstr8 r where not exists (select 1 from konstz8 z "
                                               "where z.K_F_NR_AUS = r.K_F_NR_AUS) or (select count(*) from konbtl8 b "
                                               "where b.KB_F_NR_AUS = r.K_F_NR_AUS) <> 3")),
                 0);
        QCOMPARE(IntegrityOfTables(project), QByteArray("ok ok ok"));
        Session().Close();
    }

    // The store killed (SIGKILL) at random instants: after every kill each
    // support is whole or absent in all three tables, and the supports
    // stored before the kill are all still there.
    void killedWhileStoringLeavesWholeSupports() {
        TestDir dir;
        const QString project = dir.file(QStringLiteral("project"));
        QDir().mkpath(project);
        QVERIFY(CreateProjectTables(project));
        Session().Close();
        QRandomGenerator random(20261207);
        int kills = 0, killsMidway = 0, stored = 0;
        for (int round = 1; round <= 12; ++round) {
            QProcess worker;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("KORVA_STORE_WORKER"), QStringLiteral("%1;%2;1000").arg(project).arg(round));
            worker.setProcessEnvironment(env);
            worker.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(worker.waitForStarted());
            QVERIFY2(!worker.waitForFinished(int(random.bounded(150, 900))), "a worker finished before the kill");
            worker.kill();
            QVERIFY(worker.waitForFinished(30000));
            ++kills;
            const int supports = Count(project, QStringLiteral("select count(*) from konstr8"));
            QCOMPARE(Count(project, QStringLiteral("select count(*) from konstz8")), supports);
            QCOMPARE(Count(project, QStringLiteral("select count(*) from konbtl8")), supports * PartsPerSupport);
            QCOMPARE(Count(project, QStringLiteral("select count(*) from konstr8 r where not exists (select 1 from "
                                                   "konstz8 z where z.K_F_NR_AUS = r.K_F_NR_AUS) or (select count(*) "
                                                   "from konbtl8 b where b.KB_F_NR_AUS = r.K_F_NR_AUS) <> 3")),
                     0);
            QVERIFY(supports >= stored);
            if (supports > stored) ++killsMidway;
            stored = supports;
            Session().Close();
        }
        QVERIFY(killsMidway > 3);  // the kills fell among the stores
        QVERIFY(kills == 12);
        QCOMPARE(IntegrityOfTables(project), QByteArray("ok ok ok"));
    }

    // The store ended at every point (each change to a file): the running
    // number of the settings is always the one after the last stored
    // support, so the next new support is never refused as taken.
    void runningNumberMovesWithTheStore() {
        TestDir dir;
        const QString project = dir.file(QStringLiteral("project"));
        QDir().mkpath(project);
        QVERIFY(CreateProjectTables(project));
        Session().Close();
        const QString aliases = MakeSettings(dir);
        const QString catalogue = dir.file(QStringLiteral("catalogue"));
        int kills = 0;
        for (long n = 1;; ++n) {
            QVERIFY2(n < 2000, "the stores never finished");
            const WorkerRun r = RunNumberWorkerProcess(project, aliases, 2, n);
            QVERIFY(r.finished);
            const int stored = Count(project, QStringLiteral("select count(*) from konstr8"));
            Session().Close();
            QVERIFY2(RunningNumberOf(catalogue) == stored + 1,
                     qPrintable(QStringLiteral("kill at %1: %2 stored, running number %3").arg(n).arg(stored).arg(RunningNumberOf(catalogue))));
            if (stored > 0)
                QCOMPARE(Count(project, QStringLiteral("select max(K_LFD_NR) from konstr8")), stored);
            Session().Close();
            if (r.status == 0) break;
            QVERIFY2(r.status == 86, r.err.constData());
            ++kills;
        }
        qInfo("running number: %d kills", kills);
        QVERIFY(kills > 10);
        // Every run went on where the one before was ended: nothing refused.
        QVERIFY(Count(project, QStringLiteral("select count(*) from konstr8")) >= 2);
        Session().Close();
    }

    // Another program holds the settings table: the store waits, then says
    // which file kept it out, and stores nothing; afterwards it goes
    // through.
    void lockedSettingsTableAtStore() {
        TestDir dir;
        const QString project = dir.file(QStringLiteral("project"));
        QDir().mkpath(project);
        QVERIFY(CreateProjectTables(project));
        Session().Close();
        const QString aliases = MakeSettings(dir);
        const QString catalogue = dir.file(QStringLiteral("catalogue"));
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(TablePath(catalogue, QStringLiteral("FIRDAT.DB"))).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        const WorkerRun locked = RunNumberWorkerProcess(project, aliases, 1);
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QVERIFY2(locked.finished, locked.err.constData());
        QCOMPARE(locked.status, 3);
        QVERIFY2(locked.err.contains("FIRDAT.DB") && locked.err.contains("not stored"), locked.err.constData());
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konstr8")), 0);
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konbtl8")), 0);
        Session().Close();
        QCOMPARE(RunningNumberOf(catalogue), 1);
        const WorkerRun free = RunNumberWorkerProcess(project, aliases, 1);
        QVERIFY2(free.status == 0, free.err.constData());
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konstr8")), 1);
        Session().Close();
        QCOMPARE(RunningNumberOf(catalogue), 2);
    }

    // The running number proposed to a new support skips the numbers that
    // stored supports of the same drawing number hold.
    void freeRunningNumber_data() {
        QTest::addColumn<int>("drawing");
        QTest::addColumn<int>("proposed");
        QTest::addColumn<int>("expected");
        // Stored: drawing 7 numbers 3, 4, 6 and 9999; drawing 8 number 5.
        QTest::newRow("free as it stands") << 7 << 1 << 1;
        QTest::newRow("taken, next free") << 7 << 3 << 5;
        QTest::newRow("taken twice in a row") << 7 << 4 << 5;
        QTest::newRow("another drawing's number is no obstacle") << 7 << 5 << 5;
        QTest::newRow("taken, gap after") << 7 << 6 << 7;
        QTest::newRow("last number taken: nothing free above") << 7 << 9999 << 9999;
        QTest::newRow("other drawing") << 8 << 5 << 6;
        QTest::newRow("drawing without supports") << 9 << 3 << 3;
        // Drawing 0: its keys start at 0, so a search that read on past the
        // last stored key would take an empty row for number 0.
        QTest::newRow("drawing 0 without supports") << 0 << 0 << 0;
        // Stored: drawing 8 number 0.
        QTest::newRow("number 0 taken") << 8 << 0 << 1;
        QTest::newRow("negative number left as it is") << 8 << -1 << -1;
        // Stored: drawing 8 number 9998; the last number is free.
        QTest::newRow("last number free") << 8 << 9998 << 9999;
        // The key holds four digits: past 9999 the number is cut as the
        // field codec cuts it, and stays in its drawing.
        QTest::newRow("10000 is 0 of the same drawing") << 7 << 10000 << 0;
        QTest::newRow("10000, 0 taken: the next free") << 8 << 10000 << 1;
        QTest::newRow("10003 cut to a taken 3") << 7 << 10003 << 5;
        QTest::newRow("19999 cut to a taken 9999") << 7 << 19999 << 9999;
    }
    void freeRunningNumber() {
        QFETCH(int, drawing);
        QFETCH(int, proposed);
        QFETCH(int, expected);
        TestDir dir;
        const QString project = dir.file(QStringLiteral("project"));
        QDir().mkpath(project);
        QVERIFY(CreateProjectTables(project));
        for (int key : {70003, 70004, 70006, 79999, 80000, 80005, 89998}) {
            TQuery q(project, QStringLiteral("insert into konstr8 (K_F_NR_AUS, K_POS_NR) values (?, ?)"));
            q.SetParams({key, QStringLiteral("M-%1").arg(key)});
            q.ExecSQL();
        }
        QCOMPARE(FreeRunningNumber(project, drawing, proposed), expected);
        // No project tables: the number stays (in its four digits); the
        // store will say why.
        QCOMPARE(FreeRunningNumber(dir.file(QStringLiteral("none")), drawing, proposed),
                 proposed < 0 ? proposed : proposed % 10000);
        Session().Close();
    }

    // Every number of a drawing taken, 0 to 9999: nothing is free, the
    // proposal stays as it was (never a taken number from a search cut
    // short one row early); one number freed is found after all the rest.
    void freeRunningNumberAllTaken() {
        TestDir dir;
        const QString project = dir.file(QStringLiteral("project"));
        QDir().mkpath(project);
        QVERIFY(CreateProjectTables(project));
        Session().Close();
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(TablePath(project, QStringLiteral("konstr8"))).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db,
                              "WITH RECURSIVE n(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM n WHERE x < 9999) "
                              "INSERT INTO konstr8 (K_F_NR_AUS, K_POS_NR) SELECT 50000 + x, 'M-' || x FROM n",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konstr8")), 10000);
        Session().Close();
        QCOMPARE(FreeRunningNumber(project, 5, 0), 0);
        QCOMPARE(FreeRunningNumber(project, 5, 1), 1);
        QCOMPARE(FreeRunningNumber(project, 5, 9999), 9999);
        Session().Close();
        QCOMPARE(sqlite3_exec(db, "DELETE FROM konstr8 WHERE K_F_NR_AUS = 59999", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        QCOMPARE(FreeRunningNumber(project, 5, 0), 9999);
        Session().Close();
    }

    // What the Ok road sets before the store and the output file: each
    // rotation flag into its own place of the bridge record, the drawing
    // key from the drawing and running numbers (record and parts list),
    // the stress condition.
    void prepareAcceptedSupport_data() {
        QTest::addColumn<QList<bool>>("flags");  // AS, Stahl, KH, S, then the stress condition
        QTest::addColumn<int>("drawing");
        QTest::addColumn<int>("running");
        QTest::addColumn<QString>("keyText");
        QTest::newRow("first pattern") << QList<bool>{true, false, true, false, true, false} << 12 << 345
                                       << "000120345";
        QTest::newRow("second pattern") << QList<bool>{false, true, false, true, false, true} << 12 << 345
                                        << "000120345";
        // The key holds five digits of the drawing number: the last five stay
        // (not the first five, and never a ten-digit key of another drawing).
        QTest::newRow("six-digit drawing number") << QList<bool>{true, false, true, false, true, false} << 123456
                                                  << 345 << "234560345";
        QTest::newRow("both numbers too long") << QList<bool>{true, false, true, false, true, false} << 987654
                                               << 12345 << "876542345";
    }
    void prepareAcceptedSupport() {
        QFETCH(QList<bool>, flags);
        QFETCH(int, drawing);
        QFETCH(int, running);
        QFETCH(QString, keyText);
        TConstructionRecord& k = ConstructionRecord;
        k.Reset();
        PartsList.Clear();
        k.K_DREHUNG_AS = flags[0];
        k.K_DREHUNG_STAHL = flags[1];
        k.K_DREHUNG_KH = flags[2];
        k.K_DREHUNG_S = flags[3];
        BridgeRecords.DrehungAs = !flags[0];
        BridgeRecords.DrehungStahl = !flags[1];
        BridgeRecords.DrehungKh = !flags[2];
        BridgeRecords.DrehungS = !flags[3];
        k.K_NR = drawing;
        k.K_LFD_NR = running;
        k.K_F_NR_AUS = 1;
        PrepareAcceptedSupport(flags[4], flags[5]);
        QCOMPARE(BridgeRecords.DrehungAs, flags[0]);
        QCOMPARE(BridgeRecords.DrehungStahl, flags[1]);
        QCOMPARE(BridgeRecords.DrehungKh, flags[2]);
        QCOMPARE(BridgeRecords.DrehungS, flags[3]);
        QCOMPARE(CalcGlobals.DrawingKeyText, keyText);
        QCOMPARE(k.K_F_NR_AUS, keyText.toInt());
        QCOMPARE(PartsList.KB_F_NR_AUS, keyText.toInt());
        QCOMPARE(PartsList.KB_LFD_ZNR, int16_t(keyText.right(4).toInt()));
        // The record holds the numbers its key holds.
        QCOMPARE(k.K_NR, keyText.left(5).toInt());
        QCOMPARE(k.K_LFD_NR, keyText.right(4).toInt());
        QCOMPARE(k.K_S_Y_KZ, flags[4]);
        QCOMPARE(k.K_S_CS_KZ, flags[5]);
    }

    // The wait on its own clock. Each failed attempt reads the clock once:
    // the store gives up as soon as the wait has passed (at exactly the
    // wait, not a millisecond later), says the whole seconds waited (cut,
    // not rounded), and pauses 5 + a random number below 20 ms between
    // attempts.
    void waitOnItsClock_data() {
        QTest::addColumn<int>("waitMs");
        QTest::addColumn<QList<int>>("clock");   // elapsed at each failed attempt
        QTest::addColumn<QList<int>>("random");  // the random numbers drawn
        QTest::addColumn<int>("attempts");
        QTest::addColumn<QList<int>>("pauses");
        QTest::addColumn<QString>("seconds");  // empty: stored
        QTest::newRow("gives up at the wait exactly") << 400 << QList<int>{399, 400} << QList<int>{0} << 2
                                                      << QList<int>{5} << "for 0 seconds";
        QTest::newRow("whole seconds, cut") << 2000 << QList<int>{2999} << QList<int>{} << 1 << QList<int>{}
                                            << "for 2 seconds";
        QTest::newRow("the longest pause") << 10000 << QList<int>{10, 20, 10000} << QList<int>{19, 7} << 3
                                           << QList<int>{24, 12} << "for 10 seconds";
        QTest::newRow("free before the wait") << 400 << QList<int>{0, 1} << QList<int>{3, 0} << 3
                                              << QList<int>{8, 5} << "";
    }
    void waitOnItsClock() {
        QFETCH(int, waitMs);
        QFETCH(QList<int>, clock);
        QFETCH(QList<int>, random);
        QFETCH(int, attempts);
        QFETCH(QList<int>, pauses);
        QFETCH(QString, seconds);
        int tried = 0, read = 0, drawn = 0;
        QList<int> paused, bounds;
        const StoreWait wait{[&] { return qint64(clock.value(read++, 999999)); },
                             [&](int bound) {
                                 bounds << bound;
                                 return random.value(drawn++);
                             },
                             [&](int ms) { paused << ms; }};
        const auto attempt = [&] {
            // A bound on the attempts: a rule that never gives up fails here.
            if (++tried > 10) throw std::runtime_error("no end");
            if (seconds.isEmpty() && tried == attempts) return StoreOutcome::Inserted;
            throw EDBEngineError(dbeLocked, QStringLiteral("Table konstr8.db is being written"));
        };
        if (seconds.isEmpty()) {
            QVERIFY(RetryWhileLocked(attempt, waitMs, wait) == StoreOutcome::Inserted);
        } else {
            try {
                RetryWhileLocked(attempt, waitMs, wait);
                QFAIL("the store did not give up");
            } catch (const EProjectBusy& e) {
                const QString text = QString::fromStdString(e.what());
                QVERIFY2(text.contains(QStringLiteral("kept writing ") + seconds + QStringLiteral(". ")) &&
                             text.contains(QStringLiteral("konstr8.db is being written")),
                         qPrintable(text));
            }
        }
        QCOMPARE(tried, attempts);
        QCOMPARE(paused, pauses);
        QCOMPARE(bounds, QList<int>(pauses.size(), 20));
    }

    void otherErrorsAreNoLock() {
        // A support without a drawing key is refused as it is, not taken
        // for a busy project.
        CalcGlobals.DrawingKeyText.clear();
        QVERIFY_THROWS_EXCEPTION(EConstructionError, StoreSupportWaiting(0, 60000));
        QVERIFY(!IsProjectLockError(EDBEngineError(dbeIo, QStringLiteral("disk I/O error"))));
        QVERIFY(IsProjectLockError(EDBEngineError(dbeIo, QStringLiteral("database is locked"))));
        QVERIFY(IsProjectLockError(EDBEngineError(dbeLocked, QStringLiteral("Table konstr8.db is being written"))));
        QVERIFY(!IsProjectLockError(EDBEngineError(dbeSqlError, QStringLiteral("database is locked"))));
        QVERIFY(!IsProjectLockError(std::runtime_error("database is locked")));
    }

    // Another writer holds the project longer than one busy timeout but
    // less than the store's wait: the store tries again after a short pause
    // and goes through.
    void lockReleasedWithinTheWaitStores() {
        TestDir dir;
        const QString project = dir.file(QStringLiteral("project"));
        QDir().mkpath(project);
        QVERIFY(CreateProjectTables(project));
        Session().Close();
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(TablePath(project, QStringLiteral("konstr8"))).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        QProcess worker;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KORVA_STORE_WORKER"), QStringLiteral("%1;9;1;30000").arg(project));
        worker.setProcessEnvironment(env);
        worker.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(worker.waitForStarted());
        // Past the first busy timeout of 5 s, then the lock goes.
        QVERIFY(!worker.waitForFinished(6500));
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QVERIFY2(worker.waitForFinished(20000), "the store did not try again once the project was free");
        QVERIFY2(worker.exitCode() == 0, worker.readAllStandardError().constData());
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konstr8")), 1);
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konbtl8")), PartsPerSupport);
        Session().Close();
    }

    void lockedPastTheWaitStoresNothing() {
        TestDir dir;
        const QString project = dir.file(QStringLiteral("project"));
        QDir().mkpath(project);
        QVERIFY(CreateProjectTables(project));
        // Another engineer's store holds the project.
        TDatabase& db = Session().OpenDatabase(project);
        db.StartTransaction();
        TQuery hold(project, QStringLiteral("insert into konstr8 (K_F_NR_AUS, K_POS_NR) values (99990001, 'HOLD')"));
        hold.ExecSQL();
        TQuery holdZ(project, QStringLiteral("insert into konstz8 (K_F_NR_AUS) values (99990001)"));
        holdZ.ExecSQL();
        TQuery holdB(project, QStringLiteral("delete from konbtl8 where KB_F_NR_AUS = 99990001"));
        holdB.ExecSQL();

        QProcess worker;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KORVA_STORE_WORKER"), QStringLiteral("%1;7;1;400").arg(project));
        worker.setProcessEnvironment(env);
        worker.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(worker.waitForFinished(60000));
        const QByteArray err = worker.readAllStandardError();
        QCOMPARE(worker.exitCode(), 3);
        QVERIFY2(err.contains("another program kept writing") && err.contains(TablePath(project, QStringLiteral("konstr8")).toUtf8()), err.constData());
        db.Rollback();
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konstr8")), 0);
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konstz8")), 0);
        QCOMPARE(Count(project, QStringLiteral("select count(*) from konbtl8")), 0);
        Session().Close();
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString numbers = qEnvironmentVariable("KORVA_NUMBER_WORKER");
    if (!numbers.isEmpty()) return RunNumberWorker(numbers.section(u';', 0, 0), numbers.section(u';', 1, 1).toInt());
    const QString worker = qEnvironmentVariable("KORVA_STORE_WORKER");
    if (!worker.isEmpty()) {
        const QStringList a = worker.split(u';');
        const int r = RunWorker(a.value(0), a.value(1).toInt(), a.value(2).toInt(), a.value(3, QStringLiteral("10000")).toInt());
        return r == 3 ? 3 : r == 0 ? 0 : 1;
    }
    TestConcurrentStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_concurrentstore.moc"
