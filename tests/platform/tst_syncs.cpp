// How often a commit makes the disk sync, counted where SQLite calls
// fdatasync and fsync. SQLite's rollback journal protocol (synchronous FULL)
// syncs, for each changed file, its journal twice and the file once; a
// commit over several files adds the super-journal's sync and syncs its
// directory after creating and after removing it. A journal's own directory
// sync is needed only when nothing has synced the directory since the
// journal was created.
#include "platform/Database.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/SyncCounter.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QtTest>

namespace {

void MakeTables(const QString& dir, const QStringList& names) {
    for (const QString& n : names)
        CreateTableFile(TablePath(dir, n), {FieldDefFromCode("K", "I"), FieldDefFromCode("T", "A20")},
                        {TIndexDef{{}, {"K"}, true, true, false}});
}

int SyncsOf(const std::function<void()>& work) {
    const long before = g_syncs;
    work();
    return int(g_syncs - before);
}

}  // namespace

class TestSyncs : public QObject {
    Q_OBJECT
private slots:
    // Three files of one directory in one commit: super-journal 1, its
    // directory 1, each file's journal 2 and the file 1, the directory again
    // at the commit point 1: 12 (the journals' own directory syncs, 3 more,
    // would add nothing).
    void commitOverOneDirectory() {
        TestDir dir;
        MakeTables(dir.path(), {"a", "b", "c"});
        TDatabase& db = Session().OpenDatabase(dir.path());
        const int syncs = SyncsOf([&] {
            InTransaction(db, [&] {
                for (const char* t : {"a", "b", "c"})
                    TQuery(dir.path(), QString("insert into %1 (K, T) values (1, 'x')").arg(t)).ExecSQL();
            });
        });
        QCOMPARE(syncs, 12);
        Session().Close();
    }

    // The same with one of the files in another directory: that file's
    // journal syncs its own directory, which nothing else has synced: 13.
    void commitOverTwoDirectories() {
        TestDir dir;
        QDir().mkpath(dir.file("other"));
        MakeTables(dir.path(), {"a", "b"});
        MakeTables(dir.file("other"), {"c"});
        TDatabase& db = Session().OpenDatabase(dir.path());
        const int syncs = SyncsOf([&] {
            InTransaction(db, [&] {
                for (const char* t : {"a", "b"})
                    TQuery(dir.path(), QString("insert into %1 (K, T) values (1, 'x')").arg(t)).ExecSQL();
                TTable c(dir.path(), TablePath(dir.file("other"), "c"));
                c.Open();
                c.Append();
                c.FieldByName("K").SetAsInteger(1);
                c.Post();
            });
        });
        QCOMPARE(syncs, 13);
        Session().Close();
    }

    // One file alone: no super-journal; its journal's directory is synced
    // (nothing else does it): journal 2, directory 1, file 1.
    void commitOfOneFile() {
        TestDir dir;
        MakeTables(dir.path(), {"a"});
        TQuery(dir.path(), "select count(*) from a").Open();
        const int syncs = SyncsOf([&] { TQuery(dir.path(), "insert into a (K, T) values (1, 'x')").ExecSQL(); });
        QCOMPARE(syncs, 4);
        // And again: the journal is created anew, its directory synced anew.
        const int again = SyncsOf([&] { TQuery(dir.path(), "insert into a (K, T) values (2, 'y')").ExecSQL(); });
        QCOMPARE(again, 4);
        Session().Close();
    }
};

QTEST_GUILESS_MAIN(TestSyncs)
#include "tst_syncs.moc"
