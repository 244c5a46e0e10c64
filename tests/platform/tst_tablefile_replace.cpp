// Replacing the content of several table files together, and rebuilding a
// primary index: all or nothing, and visible to a table opened before.
#include "platform/DbErrors.h"
#include "platform/FaultInjection.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QtTest>

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
