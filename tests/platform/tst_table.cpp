// The table layer over real SQLite files in a temporary directory.
#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/FaultInjection.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/Sqlite.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <sqlite3.h>

namespace {

TFieldDefs ProductFields() {
    return {FieldDefFromCode("NR", "I"), FieldDefFromCode("NAME", "A8"), FieldDefFromCode("WEIGHT", "N"),
            FieldDefFromCode("SMALL", "S"), FieldDefFromCode("FLAG", "L"), FieldDefFromCode("DAY", "D")};
}

// A product table with numbers 10, 20, ... n*10 under the primary key NR.
QString MakeProducts(const TestDir& dir, const QString& file, int n) {
    const QString path = dir.file(file);
    CreateTableFile(path, ProductFields(), {TIndexDef{{}, {"NR"}, true, true, false}});
    TTable t(dir.path(), file);
    t.Open();
    for (int i = 1; i <= n; ++i) {
        t.Append();
        t.FieldByName("NR").SetAsInteger(i * 10);
        t.FieldByName("NAME").SetAsString(QString("P%1").arg(i));
        t.Post();
    }
    t.Close();
    return path;
}

QList<int> Numbers(TTable& t) {
    QList<int> out;
    for (t.First(); !t.Eof(); t.Next()) out << t.FieldByName("NR").AsInteger();
    return out;
}

}  // namespace

class TestTable : public QObject {
    Q_OBJECT
private slots:
    void tablesOfStatement_data();
    void tablesOfStatement();
    void readScopeHoldsOneSnapshot();
    void writeInsideReadScope();
    void fieldTypesRoundTrip_data();
    void fieldTypesRoundTrip();
    void nullReadsAsEmpty();
    void textIsCutToWidth();
    void fileNameWithoutRegardToCase();
    void missingTableRaisesAndCreatesNothing();
    void oldTableLevelRaises();
    void uniqueKeyViolationChangesNothing();
    void cursorEnds_data();
    void cursorEnds();
    void gotoNearest_data();
    void gotoNearest();
    void textKeysIgnoreTrailingBlanks();
    void equalKeysKeepInsertionOrder();
    void hostileFilterValueMatchesNothing();
    void filterAndRangeBoundNext();
    void locateOptions_data();
    void locateOptions();
    void changesDuringAWalkAreSeen();
    void deleteMovesToNextRow();
    void transactionOverFourFilesIsAllOrNothing();
    void restructureKeepsRowsAndIndexes();
    void queryWithParameters();
    void calculatedFields();
    void recreatedTableIsSeenWithItsNewFields();
    void copyUnderReadLockNeverCopiesACommitHalfDone();
    void copyUnderReadLockLeavesAWritersJournal();
    void lockedReadNamesTheFile();
    void enginesReasonsAreSaid_data();
    void enginesReasonsAreSaid();
};

void TestTable::fieldTypesRoundTrip_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("text") << "A10" << QVariant("Stütze ä") << QVariant("Stütze ä");
    QTest::newRow("smallint negative") << "S" << QVariant(-32768) << QVariant(-32768);
    QTest::newRow("integer") << "I" << QVariant(2147483647) << QVariant(2147483647);
    QTest::newRow("float") << "N" << QVariant(-12.625) << QVariant(-12.625);
    QTest::newRow("currency") << "$" << QVariant(1234.5) << QVariant(1234.5);
    QTest::newRow("logical true") << "L" << QVariant(true) << QVariant(true);
    QTest::newRow("logical false") << "L" << QVariant(false) << QVariant(false);
    QTest::newRow("date") << "D" << QVariant(QDate(2026, 12, 6)) << QVariant(QDate(2026, 12, 6));
    QTest::newRow("memo") << "M" << QVariant(QString(5000, 'x')) << QVariant(QString(5000, 'x'));
    QTest::newRow("float into integer rounds half to even") << "I" << QVariant(2.5) << QVariant(2);
}

void TestTable::fieldTypesRoundTrip() {
    QFETCH(QString, code);
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);
    TestDir dir;
    CreateTableFile(dir.file("t.db"), {FieldDefFromCode("ID", "+"), FieldDefFromCode("V", code)});
    {
        TTable t(dir.path(), "t.db");
        t.Open();
        t.Append();
        t.FieldByName("V").SetValue(value);
        t.Post();
    }
    TTable t(dir.path(), "t");
    t.Open();
    QCOMPARE(t.RecordCount(), 1);
    QCOMPARE(t.FieldByName("ID").AsInteger(), 1);  // auto-increment
    const TField& f = t.FieldByName("V");
    switch (expected.typeId()) {
    case QMetaType::Bool: QCOMPARE(f.AsBoolean(), expected.toBool()); break;
    case QMetaType::Int: QCOMPARE(f.AsInteger(), expected.toInt()); break;
    case QMetaType::Double: QCOMPARE(f.AsFloat(), expected.toDouble()); break;
    case QMetaType::QDate: QCOMPARE(f.AsDate(), expected.toDate()); break;
    default: QCOMPARE(f.AsString(), expected.toString());
    }
    QCOMPARE(FieldTypeCode(t.FieldDefs().at(1)), code.toUpper());
}

void TestTable::nullReadsAsEmpty() {
    TestDir dir;
    MakeProducts(dir, "p.db", 0);
    TTable t(dir.path(), "p.db");
    t.Open();
    t.Append();
    t.FieldByName("NR").SetAsInteger(1);
    t.Post();
    QCOMPARE(t.FieldByName("NAME").AsString(), QString());
    QCOMPARE(t.FieldByName("WEIGHT").AsFloat(), 0.0);
    QCOMPARE(t.FieldByName("SMALL").AsInteger(), 0);
    QCOMPARE(t.FieldByName("FLAG").AsBoolean(), false);
    QVERIFY(t.FieldByName("WEIGHT").IsNull());
    QVERIFY(!t.FieldByName("DAY").AsDate().isValid());
}

void TestTable::textIsCutToWidth() {
    TestDir dir;
    MakeProducts(dir, "p.db", 1);
    TTable t(dir.path(), "p.db");
    t.Open();
    t.Edit();
    t.FieldByName("NAME").SetAsString("ABCDEFGHIJKL");
    t.Post();
    t.Close();
    t.Open();
    QCOMPARE(t.FieldByName("NAME").AsString(), QString("ABCDEFGH"));
}

void TestTable::fileNameWithoutRegardToCase() {
    TestDir dir;
    MakeProducts(dir, "Pgstat.DB", 3);
    for (const QString& dirName : {dir.path(), dir.path() + "/"}) {
        TTable t(dirName, "PGSTAT.DB");
        t.Open();
        QCOMPARE(t.RecordCount(), 3);
        QCOMPARE(QFileInfo(t.FilePath()).fileName(), QString("Pgstat.DB"));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void TestTable::missingTableRaisesAndCreatesNothing() {
    TestDir dir;
    TTable t(dir.path(), "konstr8.db");
    try {
        t.Open();
        QFAIL("no error");
    } catch (const EDBEngineError& e) {
        QCOMPARE(e.ErrorCode(), int(dbeTableNotFound));
        QVERIFY(e.Message().contains("Table does not exist"));
        QVERIFY(e.Message().contains("konstr8.db"));
    }
    TQuery q(dir.path(), "DELETE FROM konstr8 WHERE K_POS_NR = ?");
    q.SetParams({"x"});
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.ExecSQL());
    // No table file; the database's empty commit file goes when it closes.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({".korva-commit"}));
    Session().DropConnections();
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestTable::oldTableLevelRaises() {
    TestDir dir;
    const QString path = MakeProducts(dir, "old.db", 1);
    SetTableLevel(path, 4);
    TTable t(dir.path(), "old.db");
    try {
        t.Open();
        QFAIL("no error");
    } catch (const EDBEngineError& e) {
        QCOMPARE(e.ErrorCode(), int(dbeOldTableLevel));
    }
    QCOMPARE(t.TableLevel(), 4);
}

void TestTable::uniqueKeyViolationChangesNothing() {
    TestDir dir;
    MakeProducts(dir, "p.db", 3);
    TTable t(dir.path(), "p.db");
    t.Open();
    t.Append();
    t.FieldByName("NR").SetAsInteger(20);
    t.FieldByName("NAME").SetAsString("dup");
    try {
        t.Post();
        QFAIL("no key violation");
    } catch (const EDBEngineError& e) {
        QCOMPARE(e.ErrorCode(), int(dbeKeyViolation));
    }
    t.Cancel();
    QCOMPARE(Numbers(t), (QList<int>{10, 20, 30}));
    QVERIFY(t.Locate("NR", {20}));
    QCOMPARE(t.FieldByName("NAME").AsString(), QString("P2"));
}

void TestTable::cursorEnds_data() {
    QTest::addColumn<int>("rows");
    QTest::newRow("one batch") << 5;
    QTest::newRow("several read-ahead batches") << 200;
}

void TestTable::cursorEnds() {
    QFETCH(int, rows);
    TestDir dir;
    MakeProducts(dir, "p.db", rows);
    TTable t(dir.path(), "p.db");
    t.Open();
    QCOMPARE(Numbers(t).size(), rows);
    t.Last();
    QVERIFY(!t.Next());
    QVERIFY(t.Eof());
    QCOMPARE(t.FieldByName("NR").AsInteger(), rows * 10);  // the row stays
    QVERIFY(!t.Next());
    t.First();
    QVERIFY(!t.Prior());
    QVERIFY(t.Bof());
    QCOMPARE(t.FieldByName("NR").AsInteger(), 10);
    int back = 0;
    for (t.Last(); !t.Bof(); t.Prior()) ++back;
    QCOMPARE(back, rows);
}

void TestTable::gotoNearest_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("atOrAbove");
    QTest::newRow("exact") << 20 << 20 << true;
    QTest::newRow("between") << 21 << 30 << true;
    QTest::newRow("below all") << -5 << 10 << true;
    QTest::newRow("above all stays on last") << 999 << 50 << false;
}

void TestTable::gotoNearest() {
    QFETCH(int, key);
    QFETCH(int, expected);
    QFETCH(bool, atOrAbove);
    TestDir dir;
    MakeProducts(dir, "p.db", 5);
    TTable t(dir.path(), "p.db");
    t.Open();
    t.SetKey();
    t.FieldByName("NR").SetAsInteger(key);
    t.GotoNearest();
    QCOMPARE(t.FieldByName("NR").AsInteger(), expected);
    QCOMPARE(t.FieldByName("NR").AsInteger() >= key, atOrAbove);
    // GotoKey finds only an equal key and leaves the cursor otherwise.
    t.SetKey();
    t.FieldByName("NR").SetAsInteger(key);
    QCOMPARE(t.GotoKey(), key == 20);
}

void TestTable::textKeysIgnoreTrailingBlanks() {
    TestDir dir;
    CreateTableFile(dir.file("k.db"), {FieldDefFromCode("KEY", "A10"), FieldDefFromCode("V", "I")},
                    {TIndexDef{{}, {"KEY"}, true, true, false}});
    TTable t(dir.path(), "k.db");
    t.Open();
    t.Append();
    t.FieldByName("KEY").SetAsString("ABC");
    t.FieldByName("V").SetAsInteger(1);
    t.Post();
    QVERIFY(t.FindKey({"ABC   "}));
    QVERIFY(t.Locate("KEY", {"ABC "}));
    t.Append();
    t.FieldByName("KEY").SetAsString("ABC  ");
    QVERIFY_THROWS_EXCEPTION(EDBEngineError, t.Post());
}

void TestTable::equalKeysKeepInsertionOrder() {
    TestDir dir;
    CreateTableFile(dir.file("e.db"), {FieldDefFromCode("G", "I"), FieldDefFromCode("N", "I")},
                    {TIndexDef{"BY_G", {"G"}, false, false, false}});
    TTable t(dir.path(), "e.db");
    t.Open();
    const int rows[][2] = {{2, 1}, {1, 2}, {2, 3}, {1, 4}, {2, 5}};
    for (const auto& r : rows) {
        t.Append();
        t.FieldByName("G").SetAsInteger(r[0]);
        t.FieldByName("N").SetAsInteger(r[1]);
        t.Post();
    }
    t.SetIndexName("BY_G");
    QList<int> order;
    for (t.First(); !t.Eof(); t.Next()) order << t.FieldByName("N").AsInteger();
    QCOMPARE(order, (QList<int>{2, 4, 1, 3, 5}));
    t.SetIndexName("");
    order.clear();
    for (t.First(); !t.Eof(); t.Next()) order << t.FieldByName("N").AsInteger();
    QCOMPARE(order, (QList<int>{1, 2, 3, 4, 5}));  // physical order without a primary index
}

void TestTable::hostileFilterValueMatchesNothing() {
    TestDir dir;
    MakeProducts(dir, "p.db", 3);
    TTable t(dir.path(), "p.db");
    t.Open();
    t.SetFilter("NAME = ?", {"x\" or \"1\"=\"1"});
    t.SetFiltered(true);
    QCOMPARE(t.RecordCount(), 0);
    QVERIFY(t.Eof());
    t.SetFilter("NAME = ?", {"x'; DELETE FROM p; --"});
    QCOMPARE(t.RecordCount(), 0);
    t.SetFiltered(false);
    QCOMPARE(t.RecordCount(), 3);
    TQuery q(dir.path(), "DELETE FROM p WHERE NAME = :n");
    q.SetParam("n", "x\" or \"1\"=\"1");
    QCOMPARE(q.ExecSQL(), 0);
    QCOMPARE(t.RecordCount(), 3);
}

void TestTable::filterAndRangeBoundNext() {
    TestDir dir;
    MakeProducts(dir, "p.db", 10);
    TTable t(dir.path(), "p.db");
    t.Open();
    t.SetFilter("NR > ?", {70});
    t.SetFiltered(true);
    QCOMPARE(Numbers(t), (QList<int>{80, 90, 100}));
    QVERIFY(!t.Next());
    QCOMPARE(t.FieldByName("NR").AsInteger(), 100);
    t.SetFiltered(false);
    t.SetRange({30}, {50});
    QCOMPARE(Numbers(t), (QList<int>{30, 40, 50}));
    QCOMPARE(t.RecordCount(), 3);
    t.Last();
    QVERIFY(!t.Next());
    QCOMPARE(t.FieldByName("NR").AsInteger(), 50);
    t.CancelRange();
    QCOMPARE(t.RecordCount(), 10);
}

void TestTable::locateOptions_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("found");
    QTest::newRow("exact") << "P3" << 0 << 30;
    QTest::newRow("case differs") << "p3" << 0 << -1;
    QTest::newRow("case insensitive") << "p3" << int(loCaseInsensitive) << 30;
    QTest::newRow("partial") << "P1" << int(loPartialKey) << 10;
    QTest::newRow("partial no match") << "Q" << int(loPartialKey) << -1;
}

void TestTable::locateOptions() {
    QFETCH(QString, value);
    QFETCH(int, options);
    QFETCH(int, found);
    TestDir dir;
    MakeProducts(dir, "p.db", 12);
    TTable t(dir.path(), "p.db");
    t.Open();
    t.Last();
    QCOMPARE(t.Locate("NAME", {value}, options), found >= 0);
    QCOMPARE(t.FieldByName("NR").AsInteger(), found >= 0 ? found : 120);
}

void TestTable::changesDuringAWalkAreSeen() {
    TestDir dir;
    MakeProducts(dir, "p.db", 100);
    TTable walker(dir.path(), "p.db");
    TTable writer(dir.path(), "p.db");
    walker.Open();
    writer.Open();
    walker.Next();  // on 20, rows after it read ahead
    QVERIFY(writer.Locate("NR", {30}));
    writer.Edit();
    writer.FieldByName("NAME").SetAsString("changed");
    writer.Post();
    QVERIFY(walker.Next());
    QCOMPARE(walker.FieldByName("NAME").AsString(), QString("changed"));
    TQuery q(dir.path(), "DELETE FROM p WHERE NR = 40");
    QCOMPARE(q.ExecSQL(), 1);
    QVERIFY(walker.Next());
    QCOMPARE(walker.FieldByName("NR").AsInteger(), 50);
}

void TestTable::deleteMovesToNextRow() {
    TestDir dir;
    MakeProducts(dir, "p.db", 3);
    TTable t(dir.path(), "p.db");
    t.Open();
    t.Locate("NR", {20});
    t.Delete();
    QCOMPARE(t.FieldByName("NR").AsInteger(), 30);
    t.Delete();
    QCOMPARE(t.FieldByName("NR").AsInteger(), 10);
    t.Delete();
    QVERIFY(t.IsEmpty());
    QCOMPARE(t.RecordCount(), 0);
}

void TestTable::transactionOverFourFilesIsAllOrNothing() {
    TestDir dir;
    const QStringList names{"konstr8.db", "konstz8.db", "konbtl8.db", "konetr8.db"};
    for (const auto& n : names) MakeProducts(dir, n, 3);
    TDatabase& db = Session().OpenDatabase(dir.path());
    ArmWriteFault(3);
    try {
        InTransaction(db, [&] {
            for (const auto& n : names) {
                TQuery q(dir.path(), QString("DELETE FROM %1 WHERE NR = ?").arg(QFileInfo(n).baseName()));
                q.SetParams({20});
                q.ExecSQL();
            }
        });
        QFAIL("no failure");
    } catch (const EDBEngineError& e) {
        QCOMPARE(e.ErrorCode(), int(dbeInjectedFault));
    }
    ArmWriteFault(0);
    QVERIFY(!db.InTransaction());
    for (const auto& n : names) {
        TTable t(dir.path(), n);
        t.Open();
        QCOMPARE(Numbers(t), (QList<int>{10, 20, 30}));
    }
    InTransaction(db, [&] {
        for (const auto& n : names) {
            TTable t(dir.path(), n);
            t.Open();
            QVERIFY(t.Locate("NR", {20}));
            t.Delete();
        }
    });
    for (const auto& n : names) {
        TTable t(dir.path(), n);
        t.Open();
        QCOMPARE(Numbers(t), (QList<int>{10, 30}));
    }
}

void TestTable::restructureKeepsRowsAndIndexes() {
    TestDir dir;
    const QString path = MakeProducts(dir, "p.db", 4);
    {
        TTable t(dir.path(), "p.db");
        t.Open();
        t.Edit();
        t.FieldByName("NAME").SetAsString("LONGNAME");
        t.Post();
    }
    TFieldDefs defs = ReadTableSchema(path).fields;
    defs[1].size = 4;  // shrink NAME
    defs << FieldDefFromCode("ADR", "A30");
    RestructureTableFile(path, defs, 7);
    const TableSchema s = ReadTableSchema(path);
    QCOMPARE(s.fields.size(), 7);
    QCOMPARE(s.fields.last().name, QString("ADR"));
    QCOMPARE(s.fields.at(1).size, 4);
    QCOMPARE(s.indexes.size(), 1);
    QVERIFY(s.indexes.first().primary);
    TTable t(dir.path(), "p.db");
    t.Open();
    QCOMPARE(Numbers(t), (QList<int>{10, 20, 30, 40}));
    t.First();
    QCOMPARE(t.FieldByName("NAME").AsString(), QString("LONG"));
    t.Append();
    t.FieldByName("NR").SetAsInteger(30);
    QVERIFY_THROWS_EXCEPTION(EDBEngineError, t.Post());
}

void TestTable::queryWithParameters() {
    TestDir dir;
    MakeProducts(dir, "p.db", 5);
    TQuery q(dir.path(), "SELECT NR, NAME FROM p WHERE NR >= :lo AND NAME <> ? ORDER BY NR DESC");
    q.SetParam(":lo", 30);
    q.SetParams({"P4"});
    q.Open();
    QCOMPARE(q.RecordCount(), 2);
    QCOMPARE(q.FieldByName("NR").AsInteger(), 50);
    QVERIFY(q.Next());
    QCOMPARE(q.FieldByName("NAME").AsString(), QString("P3"));
    QVERIFY(!q.Next());
    QVERIFY(q.Eof());
}

void TestTable::calculatedFields() {
    TestDir dir;
    MakeProducts(dir, "p.db", 3);
    TTable t(dir.path(), "p.db");
    t.AddCalcField("DOUBLE_NR", TFieldType::Integer);
    t.SetOnCalcFields([](TDataSet& ds) {
        ds.FieldByName("DOUBLE_NR").SetAsInteger(ds.FieldByName("NR").AsInteger() * 2);
    });
    t.Open();
    QList<int> v;
    for (t.First(); !t.Eof(); t.Next()) v << t.FieldByName("DOUBLE_NR").AsInteger();
    QCOMPARE(v, (QList<int>{20, 40, 60}));
    QVERIFY_THROWS_EXCEPTION(EDBEngineError, t.FieldByName("DOUBLE_NR").SetAsInteger(1));
}

void TestTable::recreatedTableIsSeenWithItsNewFields() {
    TestDir dir;
    const QString path = MakeProducts(dir, "p.db", 2);
    {
        TTable t(dir.path(), "p.db");
        t.Open();  // the database keeps the file's statements and schema
        QCOMPARE(t.FieldCount(), 6);
    }
    Session().Close();
    QVERIFY(QFile::remove(path));
    CreateTableFile(path, {FieldDefFromCode("NR", "I"), FieldDefFromCode("OTHER", "A3")});
    TTable t(dir.path(), "p.db");
    t.Open();
    QCOMPARE(t.FieldNames(), (QStringList{"NR", "OTHER"}));
    t.Append();
    t.FieldByName("NR").SetAsInteger(1);
    t.FieldByName("OTHER").SetAsString("abcd");
    t.Post();
    t.Close();
    t.Open();
    QCOMPARE(t.FieldByName("OTHER").AsString(), QString("abc"));
}

void TestTable::tablesOfStatement_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("tables");
    QTest::newRow("select") << "select k_f_nr_aus from konstr8 where k_pos_nr = :pos" << QStringList{"konstr8"};
    QTest::newRow("delete") << "delete from konbtl8 where kb_f_nr_aus = ?" << QStringList{"konbtl8"};
    QTest::newRow("insert") << "INSERT INTO konetr8 (KE_F_NR_AUS) VALUES (?)" << QStringList{"konetr8"};
    QTest::newRow("insert or replace") << "insert or replace into lek12 values (1)" << QStringList{"lek12"};
    QTest::newRow("update") << "UPDATE konstz8 SET K_CALC_NR = 'from konbtl8' WHERE 1" << QStringList{"konstz8"};
    QTest::newRow("quoted name") << "Select a_nr from \"ABHGNR\" where A_MDS_NO = ?" << QStringList{"ABHGNR"};
    QTest::newRow("list with aliases") << "select * from konstr8 k, konstz8 AS z where k.K_F_NR_AUS = z.K_F_NR_AUS"
                                       << QStringList{"konstr8", "konstz8"};
    QTest::newRow("join") << "select * from konstr8 left join konbtl8 on 1 = 1" << QStringList{"konstr8", "konbtl8"};
    QTest::newRow("sub-select") << "delete from konbtl8 where KB_F_NR_AUS in (select K_F_NR_AUS from konstr8)"
                                << QStringList{"konbtl8", "konstr8"};
    // Words elsewhere are no tables: keywords, columns, literals, comments.
    QTest::newRow("words are not tables")
        << "select where_, pos from konstr8 where k_pos_nr = 'from where' -- from select\n and 1 /* into x */"
        << QStringList{"konstr8"};
    QTest::newRow("no table") << "select 1" << QStringList{};
}

void TestTable::tablesOfStatement() {
    QFETCH(QString, sql);
    QFETCH(QStringList, tables);
    QCOMPARE(TablesOfStatement(sql), tables);
}

// Inside a read scope the reads see one state of the files: another
// program cannot commit a change to them until the scope ends.
void TestTable::readScopeHoldsOneSnapshot() {
    TestDir dir;
    CreateTableFile(TablePath(dir.path(), "pgstat.db"), {{"STA_NRN", TFieldType::Integer}},
                    {{"", {"STA_NRN"}, true, true}});
    TDatabase db("READSCOPE");
    db.SetDirectory(dir.path());
    const auto count = [] {
        TQuery q("READSCOPE", "select count(*) from pgstat");
        q.Open();
        return q.Fields(0).AsInteger();
    };
    const auto otherWrites = [&](int n) {
        sqlite3* other = nullptr;
        sqlite3_open(TablePath(dir.path(), "pgstat.db").toUtf8().constData(), &other);
        sqlite3_busy_timeout(other, 200);
        const QByteArray sql = QString("INSERT INTO pgstat VALUES (%1)").arg(n).toUtf8();
        const int rc = sqlite3_exec(other, sql.constData(), nullptr, nullptr, nullptr);
        sqlite3_close(other);
        return rc;
    };
    QCOMPARE(otherWrites(1), SQLITE_OK);
    {
        TReadScope scope(db);
        QCOMPARE(count(), 1);
        {
            TReadScope inner(db);  // nests
            QCOMPARE(count(), 1);
        }
        QCOMPARE(otherWrites(2), SQLITE_BUSY);
        QCOMPARE(count(), 1);
    }
    // Without the scope each read stands alone.
    QCOMPARE(otherWrites(3), SQLITE_OK);
    QCOMPARE(count(), 2);
    QCOMPARE(otherWrites(4), SQLITE_OK);
    QCOMPARE(count(), 3);
}

void TestTable::writeInsideReadScope() {
    TestDir dir;
    CreateTableFile(TablePath(dir.path(), "konstr8.db"), {{"K_F_NR_AUS", TFieldType::Integer}},
                    {{"", {"K_F_NR_AUS"}, true, true}});
    TDatabase db("READSCOPE2");
    db.SetDirectory(dir.path());
    TTable t("READSCOPE2", "konstr8.db");
    TReadScope scope(db);
    t.Open();
    QVERIFY(t.IsEmpty());
    InTransaction(db, [&] {
        t.Append();
        t.FieldByName("K_F_NR_AUS").SetValue(5);
        t.Post();
    });
    QVERIFY(!db.InTransaction());
    t.First();
    QCOMPARE(t.FieldByName("K_F_NR_AUS").AsInteger(), 5);
    t.Close();
}

namespace {

// Another program's write transaction on a table file, with its changed
// pages already written to the file (a small cache spills them): the file
// on disk holds rows that are not committed and may never be.
struct SpilledWriter {
    sqlite3* db = nullptr;
    explicit SpilledWriter(const QString& path) {
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        sqlite3_exec(db, "PRAGMA cache_size = 2", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (int i = 0; i < 2000; ++i)
            sqlite3_exec(db, QString("INSERT INTO products (NR, NAME) VALUES (%1, 'uncommitted')").arg(100000 + i).toUtf8().constData(),
                         nullptr, nullptr, nullptr);
    }
    ~SpilledWriter() {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
};

// Rows of a copied table and its integrity verdict, with plain SQLite.
QPair<int, QString> RowsAndIntegrity(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    int rows = -1;
    QString verdict = "unreadable";
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        verdict = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM products", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        rows = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return {rows, verdict};
}

}  // namespace

// A copy of table files while another program is in the middle of a
// commit: the copy waits for the writer and then says which file it could
// not lock, instead of copying rows that were never committed; once the
// writer is gone, the copy holds the committed rows only.
void TestTable::copyUnderReadLockNeverCopiesACommitHalfDone() {
    TestDir dir;
    QDir().mkpath(dir.file("from"));
    QDir().mkpath(dir.file("to"));
    const QString path = dir.file("from/products.db");
    CreateTableFile(path, ProductFields(), {TIndexDef{{}, {"NR"}, true, true, false}});
    {
        TTable t(dir.file("from"), "products.db");
        t.Open();
        for (int i = 1; i <= 50; ++i) {
            t.Append();
            t.FieldByName("NR").SetAsInteger(i);
            t.Post();
        }
    }
    Session().DropConnections();
    QFile note(dir.file("from/readme.txt"));
    QVERIFY(note.open(QIODevice::WriteOnly));
    note.write("not a table");
    note.close();
    const QStringList names{"products.db", "readme.txt"};
    {
        SpilledWriter writer(path);
        QVERIFY(QFileInfo(path + "-journal").exists());
        try {
            CopyFilesUnderReadLock(dir.file("from"), names, dir.file("to"));
            QFAIL("copied a table file in the middle of a commit");
        } catch (const EDBEngineError& e) {
            QCOMPARE(e.ErrorCode(), int(dbeLocked));
            QVERIFY2(e.Message().contains(path) && e.Message().contains("another program"), qPrintable(e.Message()));
        }
    }
    CopyFilesUnderReadLock(dir.file("from"), names, dir.file("to"));
    QCOMPARE(RowsAndIntegrity(dir.file("to/products.db")), qMakePair(50, QString("ok")));
    QFile copied(dir.file("to/readme.txt"));
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), QByteArray("not a table"));
}

// A writer that has begun its transaction but not yet its commit: its
// journal lies beside the table. The copy takes the committed table and
// leaves the journal behind: a copied journal would be rolled back into
// the copy as a crash's, torn when it was copied while being written.
void TestTable::copyUnderReadLockLeavesAWritersJournal() {
    TestDir dir;
    QDir().mkpath(dir.file("from"));
    QDir().mkpath(dir.file("to"));
    const QString path = dir.file("from/products.db");
    CreateTableFile(path, ProductFields(), {TIndexDef{{}, {"NR"}, true, true, false}});
    {
        TTable t(dir.file("from"), "products.db");
        t.Open();
        for (int i = 1; i <= 30; ++i) {
            t.Append();
            t.FieldByName("NR").SetAsInteger(i);
            t.Post();
        }
    }
    Session().DropConnections();
    sqlite3* writer = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &writer), SQLITE_OK);
    QCOMPARE(sqlite3_exec(writer, "BEGIN IMMEDIATE; DELETE FROM products WHERE NR > 10", nullptr, nullptr, nullptr), SQLITE_OK);
    QVERIFY(QFileInfo(path + "-journal").size() > 0);
    const QStringList names = QDir(dir.file("from")).entryList(QDir::Files | QDir::Hidden);
    QVERIFY(names.contains("products.db-journal"));
    CopyFilesUnderReadLock(dir.file("from"), names, dir.file("to"));
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(writer);
    QCOMPARE(QDir(dir.file("to")).entryList(QDir::Files | QDir::Hidden), QStringList({"products.db"}));
    QCOMPARE(RowsAndIntegrity(dir.file("to/products.db")), qMakePair(30, QString("ok")));
}

// A read that meets another program's commit waits for it, then names the
// table file and the reason.
void TestTable::lockedReadNamesTheFile() {
    TestDir dir;
    const QString path = MakeProducts(dir, "products.db", 3);
    Session().DropConnections();
    TTable t(dir.path(), "products.db");
    t.Open();
    SpilledWriter writer(path);
    try {
        t.Last();
        QFAIL("read a table another program is committing to");
    } catch (const EDBEngineError& e) {
        QCOMPARE(e.ErrorCode(), int(dbeLocked));
        QVERIFY2(e.Message().contains(path) && e.Message().contains("database is locked") &&
                     e.Message().contains("another program is writing"),
                 qPrintable(e.Message()));
    }
}

// The engine's terse messages get the cause a user can act on.
void TestTable::enginesReasonsAreSaid_data() {
    QTest::addColumn<int>("rc");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cause");
    QTest::newRow("full") << int(SQLITE_FULL) << int(dbeIo) << "database or disk is full" << "no space left";
    QTest::newRow("read only") << int(SQLITE_READONLY) << int(dbeIo) << "attempt to write a readonly database"
                               << "may not be written";
    QTest::newRow("busy") << int(SQLITE_BUSY) << int(dbeLocked) << "database is locked" << "another program is writing";
    QTest::newRow("busy, extended") << int(SQLITE_BUSY_SNAPSHOT) << int(dbeLocked) << "database is locked"
                                    << "another program is writing";
    QTest::newRow("locked") << int(SQLITE_LOCKED) << int(dbeLocked) << "database table is locked"
                            << "another program is writing";
    QTest::newRow("io error") << int(SQLITE_IOERR) << int(dbeIo) << "disk I/O error" << "";
    QTest::newRow("corrupt") << int(SQLITE_CORRUPT) << int(dbeCorrupt) << "database disk image is malformed" << "";
}

void TestTable::enginesReasonsAreSaid() {
    QFETCH(int, rc);
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(QString, cause);
    try {
        ThrowSqlite(nullptr, rc, "/p/konstr8.db");
    } catch (const EDBEngineError& e) {
        QCOMPARE(e.ErrorCode(), code);
        QVERIFY2(e.Message().startsWith("/p/konstr8.db: " + text), qPrintable(e.Message()));
        if (!cause.isEmpty()) QVERIFY2(e.Message().contains(cause), qPrintable(e.Message()));
        if (cause.isEmpty()) QVERIFY2(!e.Message().contains("("), qPrintable(e.Message()));
        return;
    }
    QFAIL("no error raised");
}

QTEST_GUILESS_MAIN(TestTable)
#include "tst_table.moc"
