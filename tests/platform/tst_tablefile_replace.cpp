// Replacing the content of several table files together, and rebuilding a
// primary index: all or nothing, and visible to a table opened before.
#include "platform/DbErrors.h"
#include "platform/FaultInjection.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <sqlite3.h>

namespace {

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void AddRows(const QString& dir, const QString& table, const QList<QVariantList>& rows) {
    TTable t(dir, table);
    t.Open();
    for (const QVariantList& row : rows) {
        t.Append();
        for (int i = 0; i < row.size(); ++i) t.Fields(i).SetValue(row[i]);
        t.Post();
    }
}

// The ID column of a table file, read by SQLite itself (a table of an old
// level cannot be opened through the layer).
QList<int> Ids(const QString& path) {
    QList<int> ids;
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT ID FROM b", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW) ids << sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return ids;
}

const TFieldDefs kOld{{"ID", TFieldType::Integer}, {"NAME", TFieldType::String, 8}};
const TFieldDefs kNew{{"ID", TFieldType::Integer}, {"NAME", TFieldType::String, 12}, {"FLAG", TFieldType::Boolean}};
const TIndexDefs kKey{{"", {"ID"}, true, true}};

}  // namespace

class TstTableFileReplace : public QObject {
    Q_OBJECT
private slots:
    void replacesTogetherAndOpenTablesSeeIt() {
        TestDir project, work;
        CreateTableFile(project.file("a.db"), kOld, kKey, 5);
        CreateTableFile(project.file("b.db"), kOld, kKey, 7);
        for (const char* name : {"a.db", "b.db"}) CreateTableFile(work.file(name), kNew, kKey, 7);
        AddRows(work.path(), "a.db", {{3, "three-3-3-3", true}, {1, "one", false}});
        AddRows(work.path(), "b.db", {{9, "nine", true}});
        // A table of the session that had b.db open before.
        TTable before(project.path(), "b.db");
        before.Open();
        QCOMPARE(before.FieldDefs().size(), 2);
        before.Close();

        ReplaceTableFilesContent({{project.file("a.db"), work.file("a.db")}, {project.file("b.db"), work.file("b.db")}});

        const TableSchema a = ReadTableSchema(project.file("a.db"));
        QCOMPARE(a.level, 7);
        QCOMPARE(a.fields.size(), 3);
        QCOMPARE(a.fields[1].size, 12);
        QCOMPARE(a.indexes.size(), 1);
        QVERIFY(a.indexes[0].primary);
        TTable b(project.path(), "b.db");
        b.Open();
        QCOMPARE(b.FieldDefs().size(), 3);
        QCOMPARE(b.RecordCount(), 1);
        QCOMPARE(b.FieldByName("NAME").AsString(), QString("nine"));
        b.Close();
        TTable ta(project.path(), "a.db");
        ta.Open();  // primary index order
        QCOMPARE(ta.FieldByName("ID").AsInteger(), 1);
        QVERIFY(ta.Next());
        QCOMPARE(ta.FieldByName("NAME").AsString(), QString("three-3-3-3"));
    }

    void failureChangesNoTarget_data() {
        QTest::addColumn<int>("nth");
        QTest::newRow("first") << 1;
        QTest::newRow("second") << 2;
        QTest::newRow("last") << 3;
    }
    void failureChangesNoTarget() {
        QFETCH(int, nth);
        TestDir project, work;
        QList<QPair<QString, QString>> pairs;
        for (const char* name : {"a.db", "b.db", "c.db"}) {
            CreateTableFile(project.file(name), kOld, kKey);
            CreateTableFile(work.file(name), kNew, kKey);
            pairs.append({project.file(name), work.file(name)});
        }
        AddRows(project.path(), "b.db", {{1, "kept"}});
        const QByteArray a = Bytes(project.file("a.db")), b = Bytes(project.file("b.db")), c = Bytes(project.file("c.db"));
        ArmWriteFault(nth);
        QVERIFY_THROWS_EXCEPTION(EDBEngineError, ReplaceTableFilesContent(pairs));
        QCOMPARE(Bytes(project.file("a.db")), a);
        QCOMPARE(Bytes(project.file("b.db")), b);
        QCOMPARE(Bytes(project.file("c.db")), c);
        QVERIFY(!QFile::exists(project.file("a.db-journal")));
    }

    // Killed at any instant of the commit, the targets hold either all the
    // new content or all the old one once they are opened again.
    void killedDuringTheCommitChangesAllOrNone() {
        bool finished = false;
        int diedAfterSomeDeletions = 0;
        // A bound on the deletions a commit of three files can take.
        for (int dieAt = 1; dieAt <= 12 && !finished; ++dieAt) {
            TestDir project, work;
            QStringList args{QString::number(dieAt)};
            for (const char* name : {"a.db", "b.db", "c.db"}) {
                CreateTableFile(project.file(name), kOld, kKey);
                CreateTableFile(work.file(name), kNew, kKey, 7);
                args << project.file(name) << work.file(name);
            }
            AddRows(project.path(), "b.db", {{1, "old"}});
            for (const char* name : {"a.db", "b.db", "c.db"}) SetTableLevel(project.file(name), 5);
            AddRows(work.path(), "b.db", {{2, "new"}});
            QProcess p;
            p.start(KORVA_REPLACECRASH, args);
            QVERIFY(p.waitForFinished(20000));
            QVERIFY2(p.exitCode() == 42 || p.exitCode() == 0, qPrintable(p.readAllStandardError()));
            finished = p.exitCode() == 0;
            if (!finished && dieAt > 1) ++diedAfterSomeDeletions;
            QList<int> counts, levels;
            for (const char* name : {"a.db", "b.db", "c.db"}) {
                const TableSchema s = ReadTableSchema(project.file(name));  // rolls a hot journal back
                counts << int(s.fields.size());
                levels << s.level;
            }
            const bool allNew = counts == QList<int>{3, 3, 3} && levels == QList<int>{7, 7, 7};
            const bool allOld = counts == QList<int>{2, 2, 2} && levels == QList<int>{5, 5, 5};
            QVERIFY2(allNew || allOld, qPrintable(QString("died at deletion %1: fields %2 %3 %4")
                                                      .arg(dieAt).arg(counts[0]).arg(counts[1]).arg(counts[2])));
            if (finished) QVERIFY(allNew);
            QCOMPARE(Ids(project.file("b.db")), QList<int>{allNew ? 2 : 1});
            // Nothing of the replacement is left beside the tables once it ended.
            // The test's own open database keeps its commit file beside the
            // tables; that one belongs to this process, not to the replacement.
            if (finished) {
                QStringList left = QDir(project.path()).entryList(QDir::Files | QDir::Hidden);
                left.removeAll(QStringLiteral(".korva-commit"));
                QCOMPARE(left, QStringList({"a.db", "b.db", "c.db"}));
            }
        }
        QVERIFY(finished);
        QVERIFY(diedAfterSomeDeletions > 0);
    }

    // A writer of another process, which does not wait, is refused from the
    // moment the files are held until their new content is in place (or
    // the rewrite is given up), also after every held file was copied:
    // a copy closing a descriptor of its own would give the locks back.
    void writerWaitsForTheRewrite_data() {
        QTest::addColumn<int>("steps");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("rowsAfter");  // rows of b.db once the rewrite has ended
        QTest::newRow("held") << 0 << true << 1;
        QTest::newRow("held, each file copied") << 1 << true << 1;
        QTest::newRow("replaced") << 2 << false << 2;
        QTest::newRow("given up") << 3 << false << 1;
    }
    void writerWaitsForTheRewrite() {
        QFETCH(int, steps);
        QFETCH(bool, refused);
        QFETCH(int, rowsAfter);
        TestDir project, work;
        for (const char* name : {"a.db", "b.db"}) CreateTableFile(project.file(name), kOld, kKey);
        AddRows(project.path(), "b.db", {{1, "before"}});
        const auto write = [](const QString& file) {
            QProcess p;
            p.start(KORVA_REPLACECRASH, {"write", file});
            return p.waitForFinished(20000) ? p.exitCode() : -1;
        };
        {
            TTableFilesRewrite rewrite({project.file("a.db"), project.file("b.db")});
            if (steps >= 1)
                for (const char* name : {"a.db", "b.db"}) CopyTableFile(project.file(name), work.file(name));
            if (steps == 1) QCOMPARE(Ids(work.file("b.db")), QList<int>{1});
            if (steps == 2) {
                AddRows(work.path(), "b.db", {{2, "copied"}});
                rewrite.Replace({{project.file("b.db"), work.file("b.db")}});
            }
            if (steps < 3)
                for (const char* name : {"a.db", "b.db"}) QCOMPARE(write(project.file(name)), refused ? 5 : 0);
        }
        for (const char* name : {"a.db", "b.db"}) QCOMPARE(write(project.file(name)), 0);
        QCOMPARE(int(Ids(project.file("b.db")).size()), rowsAfter);
    }

    // A writer of another process locks the files in its own order: the
    // second file first, then, while it holds it, the first one. The
    // rewrite, asking for both, never holds the first while it waits for
    // the second (each would wait for the other until both gave up): the
    // writer commits, then the rewrite holds both.
    void rewriteAndAWriterInTheOtherOrderBothGoThrough() {
        TestDir project;
        for (const char* name : {"a.db", "b.db"}) CreateTableFile(project.file(name), kOld, kKey);
        QProcess writer;
        writer.start(KORVA_REPLACECRASH, {"holdthen", project.file("b.db"), project.file("a.db")});
        QByteArray said;
        for (int i = 0; i < 200 && !said.contains("held") && writer.state() != QProcess::NotRunning; ++i) {
            writer.waitForReadyRead(100);
            said += writer.readAllStandardOutput();
        }
        QVERIFY2(said.contains("held"), writer.readAllStandardError().constData());
        QString refused;
        try {
            TTableFilesRewrite rewrite({project.file("a.db"), project.file("b.db")});
            // Held: the writer has committed and let go of both.
            QVERIFY(writer.waitForFinished(20000));
        } catch (const EDatabaseError& e) {
            refused = e.Message();
        }
        QVERIFY(writer.state() == QProcess::NotRunning || writer.waitForFinished(20000));
        QVERIFY2(refused.isEmpty(), qPrintable(refused));
        QCOMPARE(writer.exitCode(), 0);
    }

    void refusesMoreThanFivePairs() {
        TestDir d;
        QList<QPair<QString, QString>> pairs;
        for (int i = 0; i < 6; ++i) {
            CreateTableFile(d.file(QString("t%1.db").arg(i)), kOld);
            pairs.append({d.file(QString("t%1.db").arg(i)), d.file(QString("t%1.db").arg(i))});
        }
        QVERIFY_THROWS_EXCEPTION(EDBEngineError, ReplaceTableFilesContent(pairs));
    }

    void rebuildsThePrimaryIndex() {
        TestDir d;
        CreateTableFile(d.file("p.db"), kOld);
        AddRows(d.path(), "p.db", {{2, "b"}, {1, "a"}});
        RebuildPrimaryIndex(d.file("p.db"), {"ID"});
        const TableSchema s = ReadTableSchema(d.file("p.db"));
        QCOMPARE(s.indexes.size(), 1);
        QVERIFY(s.indexes[0].primary && s.indexes[0].unique);
        QCOMPARE(s.indexes[0].fields, QStringList{"ID"});
        RebuildPrimaryIndex(d.file("p.db"), {"ID", "NAME"});  // replaces the one it has
        QCOMPARE(ReadTableSchema(d.file("p.db")).indexes.size(), 1);
        QCOMPARE(ReadTableSchema(d.file("p.db")).indexes[0].fields, QStringList({"ID", "NAME"}));
    }

    void indexOverDuplicateKeysChangesNothing() {
        TestDir d;
        CreateTableFile(d.file("p.db"), kOld);
        AddRows(d.path(), "p.db", {{1, "a"}, {1, "b"}});
        const QByteArray before = Bytes(d.file("p.db"));
        try {
            RebuildPrimaryIndex(d.file("p.db"), {"ID"});
            QFAIL("no error");
        } catch (const EDBEngineError& e) {
            QCOMPARE(e.ErrorCode(), int(dbeKeyViolation));
        }
        QCOMPARE(Bytes(d.file("p.db")), before);
        try {
            RebuildPrimaryIndex(d.file("p.db"), {"NO_FIELD"});
            QFAIL("no error");
        } catch (const EDBEngineError& e) {
            QCOMPARE(e.ErrorCode(), int(dbeFieldNotFound));
        }
    }
};

QTEST_MAIN(TstTableFileReplace)
#include "tst_tablefile_replace.moc"
