// Deleting a support from the project tables, in process.
#include "host/DELETE_DRW.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/KORVA_MDS.h"
#include "host/ProjectFixture.h"
#include "platform/FaultInjection.h"
#include "platform/Session.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QtTest>

using namespace fixture;

class TestDeleteDrw : public QObject {
    Q_OBJECT

    static constexpr int KeyA = 100010001;
    static constexpr int KeyB = 100010002;

    static QByteArray FileBytes(const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString MakeProject(TestDir& dir) {
        CreateSupportTables(dir.path());
        AddSupport(dir.path(), KeyA, "H-1", 4);
        AddSupport(dir.path(), KeyB, "H-2", 2);
        return dir.path();
    }

private slots:
    void cleanup() { ArmWriteFault(0); }

    void positionNumberIsMatchedExactly_data() {
        QTest::addColumn<QString>("posNo");
        QTest::newRow("other case") << "h-1";
        QTest::newRow("quote closes literal") << "H-1\" or \"1\"=\"1";
        QTest::newRow("stacked statement") << "H-1\"; delete from konstr8; --";
    }
    void positionNumberIsMatchedExactly() {
        QFETCH(QString, posNo);
        TestDir dir;
        const QString p = MakeProject(dir);
        const QList<int> before = TotalRows(p);
        QCOMPARE(DeleteDrawing(p, posNo), int(DeleteNotFound));
        QCOMPARE(TotalRows(p), before);
    }

    // A failure of any of the four deletes leaves the support as it was, so
    // that a later run can still delete it.
    void failedDeleteChangesNothing_data() {
        QTest::addColumn<int>("failingWrite");
        for (int n = 1; n <= 4; ++n) QTest::newRow(qPrintable(QString("delete %1").arg(n))) << n;
    }
    void failedDeleteChangesNothing() {
        QFETCH(int, failingWrite);
        TestDir dir;
        const QString p = MakeProject(dir);
        const QList<int> before = TotalRows(p);
        ArmWriteFault(failingWrite);
        QCOMPARE(DeleteDrawing(p, "H-1"), int(DeleteFailed));
        QCOMPARE(TotalRows(p), before);
        QCOMPARE(DeleteDrawing(p, "H-1"), int(DeleteDone));
        QCOMPARE(RowsOf(p, KeyA), QList<int>({0, 0, 0, 0}));
    }

    // Files named after words of the statements are not tables of it: a
    // damaged "where.db" beside the tables changes nothing.
    void strayFilesNamedAfterWordsAreIgnored() {
        TestDir dir;
        const QString p = MakeProject(dir);
        Session().DropConnections();
        for (const char* name : {"where.db", "delete.db", "select.db", "k_pos_nr.db", "pos.DB", "key.db"}) {
            QFile f(dir.file(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a table at all, not even SQLite");
        }
        QCOMPARE(DeleteDrawing(p, "H-1"), int(DeleteDone));
        QCOMPARE(RowsOf(p, KeyA), QList<int>({0, 0, 0, 0}));
        QCOMPARE(RowsOf(p, KeyB), QList<int>({1, 1, 2, 1}));
        QCOMPARE(DeleteDrawing(p, "H-1"), int(DeleteNotFound));
    }

    // A replacement character stands for bytes that could not be read: it
    // matches no stored mark, not even one that holds it.
    void replacementCharacterNeverMatches() {
        TestDir dir;
        const QString p = MakeProject(dir);
        const QString mark = QString("H-") + QChar::ReplacementCharacter;
        AddSupport(p, 100010005, mark, 2);
        QCOMPARE(DeleteDrawing(p, mark), int(DeleteNotFound));
        QCOMPARE(RowsOf(p, 100010005), QList<int>({1, 1, 2, 1}));
        QCOMPARE(DeleteDrawing(p, "H-2"), int(DeleteDone));
    }

    void missingLaterTableRollsBack() {
        TestDir dir;
        const QString p = MakeProject(dir);
        Session().DropConnections();
        QVERIFY(QFile::remove(TablePath(p, "konetr8.db")));
        QCOMPARE(DeleteDrawing(p, "H-1"), int(DeleteFailed));
        const int expected[] = {1, 1, 4};
        for (int t = 0; t < 3; ++t)
            QCOMPARE(Count(p, QString("select count(*) from %1 where %2 = ?").arg(SupportTableNames[t], SupportKeyFields[t]),
                           {KeyA}),
                     expected[t]);
        QVERIFY(!QFileInfo::exists(TablePath(p, "konetr8.db")));
    }

    // With several supports under one position number each run deletes one:
    // the one stored first, although the later one has the lower key.
    void duplicatePositionNumbersGoOneAtATime() {
        TestDir dir;
        const QString p = MakeProject(dir);
        constexpr int LaterKey = 100000003;
        AddSupport(p, LaterKey, "H-1", 1);
        QCOMPARE(DeleteDrawing(p, "H-1"), int(DeleteDone));
        QCOMPARE(Count(p, "select count(*) from konstr8 where K_POS_NR = ?", {"H-1"}), 1);
        QCOMPARE(RowsOf(p, KeyA), QList<int>({0, 0, 0, 0}));
        QCOMPARE(RowsOf(p, LaterKey), QList<int>({1, 1, 1, 1}));
        QCOMPARE(DeleteDrawing(p, "H-1"), int(DeleteDone));
        QCOMPARE(DeleteDrawing(p, "H-1"), int(DeleteNotFound));
        QCOMPARE(RowsOf(p, KeyB), QList<int>({1, 1, 2, 1}));
    }

    // The whole delete-mode road in process, where the exit codes are seen
    // in full before the process status cuts them to 8 bits.
    void deleteModeExitCodes() {
        TestDir dir;
        const QString p = MakeProject(dir);
        const QString res = dir.file("r.txt");
        const QStringList args = {"/DEL:H-2", "/PD:" + p, "/OF:" + res};
        ResetHostGlobals();
        QCOMPARE(RunKorvaMds(args, {}), 300);
        ResetHostGlobals();
        QCOMPARE(RunKorvaMds(args, {}), 303);
        ResetHostGlobals();
        QCOMPARE(RunKorvaMds({"/DEL:H-1", "/PD:" + p, "/OF:/proc/self/korva-r.txt"}, {}), 999);
        // No result file can be made there, so nothing was deleted.
        QCOMPARE(RowsOf(p, KeyA), QList<int>({1, 1, 4, 1}));
        QCOMPARE(FileBytes(res), QByteArray("3\r\n"));
        ResetHostGlobals();
        QCOMPARE(RunKorvaMds({"/DEL:H-1", "/PD:" + res + "/..", "/OF:" + res}, {}), 202);
        QCOMPARE(ExitStatusOf(300), 44);
        QCOMPARE(ExitStatusOf(999), 231);
    }

    void supportWithoutDrawingKeyIsNotFound() {
        TestDir dir;
        const QString p = MakeProject(dir);
        Exec(p, "insert into konstr8 (K_POS_NR) values (?)", {"H-9"});
        QCOMPARE(DeleteDrawing(p, "H-9"), int(DeleteNotFound));
    }
};

QTEST_GUILESS_MAIN(TestDeleteDrw)
#include "tst_DeleteDrw.moc"
