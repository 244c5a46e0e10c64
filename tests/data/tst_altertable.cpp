// Restructuring a table in place: its checks, messages and the kept rows.
#include "data/AlterTableClass.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <functional>

class TestAlterTable : public QObject {
    Q_OBJECT
private slots:
    void refusals_data();
    void refusals();
    void addFieldKeepsOrderAndRows();
    void changedSizeIsApplied();
    void levelIsRaised();
    void levelLeavesFieldsAlone();
};

namespace {
QString MakeTable(const TestDir& dir, const QString& name) {
    const QString path = dir.file(name);
    CreateTableFile(path, {FieldDefFromCode("F_NR", "I"), FieldDefFromCode("F_KDN_ZNR", "A20")},
                    {TIndexDef{{}, {"F_NR"}, true, true, false}}, 4);
    SetTableLevel(path, 7);
    TTable t(dir.path(), name);
    t.Open();
    t.Append();
    t.FieldByName("F_NR").SetAsInteger(7);
    t.FieldByName("F_KDN_ZNR").SetAsString("drawing 12345678901");
    t.Post();
    t.Close();
    SetTableLevel(path, 4);
    return path;
}
}  // namespace

void TestAlterTable::refusals_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("action");  // 0 open, 1 AddField text size 0, 2 AddField existing, 3 Fields(count), 4 empty name
    QTest::addColumn<QString>("message");
    QTest::newRow("empty name") << "" << 0 << "Table name must be specified !";
    QTest::newRow("dbase file") << "x.dbf" << 0 << "Table must be of type Paradox (Filename: *.db) !";
    QTest::newRow("missing file") << "missing.db" << 0 << "The file \"%1/missing.db\" doesn't exist !";
    QTest::newRow("text size 0") << "t.db" << 1 << "Field size must be at least 1 !";
    QTest::newRow("field exists") << "t.db" << 2 << "Field with the name \"F_NR\" already exists";
    QTest::newRow("index = count") << "t.db" << 3 << "Index 2 out of range ( 0 <= Index < 2 )";
    QTest::newRow("empty field name") << "t.db" << 4 << "Field name must be specified !";
    // A table gone under the object: the engine's own message follows.
    QTest::newRow("restructure, table gone") << "t.db" << 5 << "Restructuring unpossible : \r\r";
    QTest::newRow("level, table gone") << "t.db" << 6 << "Restructuring unpossible : \r\r";
}

void TestAlterTable::refusals() {
    QFETCH(QString, file);
    QFETCH(int, action);
    QFETCH(QString, message);
    TestDir dir;
    MakeTable(dir, "t.db");
    const QString path = file.isEmpty() ? QString() : dir.file(file);
    if (message.contains("%1")) message = message.arg(dir.path());
    try {
        TAlterTable t(path);
        if (action == 1) t.AddField("NEW", TFieldType::String, 0, 0);
        if (action == 2) t.AddField("F_NR", TFieldType::Integer, 0, 0);
        if (action == 3) t.Fields(t.FieldCount());
        if (action == 4) t.AddField("", TFieldType::Integer, 0, 0);
        if (action >= 5) QVERIFY(QFile::remove(path));
        if (action == 5) t.Restructure();
        if (action == 6) t.RestructureLevel("LEVEL", "7");
        QFAIL("no error");
    } catch (const EAlterTable& e) {
        if (message.endsWith("\r\r")) {
            QVERIFY2(e.Message().startsWith(message), qPrintable(e.Message()));
            QVERIFY(e.Message().size() > message.size());
        } else {
            QCOMPARE(e.Message(), message);
        }
    }
}

void TestAlterTable::addFieldKeepsOrderAndRows() {
    TestDir dir;
    const QString path = MakeTable(dir, "t.db");
    SetTableLevel(path, 7);
    {
        TAlterTable t(path);
        t.AddField("F_HD_KZ", TFieldType::Boolean, 0, 0);  // a logical field of size 0 is fine
        t.AddField("ADR", TFieldType::String, 0, 30);
        t.Restructure();
    }
    TAlterTable again(path);
    QCOMPARE(again.FieldCount(), 4);
    QCOMPARE(again.Fields(3).Name(), QString("ADR"));
    QCOMPARE(again.Fields(3).Size(), 30);
    QVERIFY(again.FieldExists("F_HD_KZ"));
    QVERIFY(!again.FieldExists("f_hd_kz"));  // names compare exactly
    TTable t(dir.path(), "t.db");
    t.Open();
    QCOMPARE(t.FieldByName("F_NR").AsInteger(), 7);
    QCOMPARE(t.IndexDefs().size(), 1);
}

void TestAlterTable::changedSizeIsApplied() {
    TestDir dir;
    const QString path = MakeTable(dir, "t.db");
    SetTableLevel(path, 7);
    {
        TAlterTable t(path);
        t.FieldExists("F_KDN_ZNR")->SetSize(25);
        QCOMPARE(t.FieldExists("F_KDN_ZNR")->State(), TMyFieldState::Changed);
        t.Restructure();
    }
    QCOMPARE(TAlterTable(path).FieldExists("F_KDN_ZNR")->Size(), 25);
    TTable t(dir.path(), "t.db");
    t.Open();
    QCOMPARE(t.FieldByName("F_KDN_ZNR").AsString(), QString("drawing 12345678901"));
}

void TestAlterTable::levelIsRaised() {
    TestDir dir;
    const QString path = MakeTable(dir, "t.db");
    TAlterTable t(path);
    QCOMPARE(t.Level(), 4);
    t.RestructureLevel("LEVEL", "7");
    QCOMPARE(ReadTableSchema(path).level, 7);
    TTable table(dir.path(), "t.db");
    table.Open();  // opens now that the level is current
    QCOMPARE(table.RecordCount(), 1);
}

// Raising the level changes no field: fields added or resized before stay
// pending until the next Restructure.
void TestAlterTable::levelLeavesFieldsAlone() {
    TestDir dir;
    const QString path = MakeTable(dir, "t.db");
    TAlterTable t(path);
    t.AddField("ADR", TFieldType::String, 0, 30);
    t.FieldExists("F_KDN_ZNR")->SetSize(25);
    t.RestructureLevel("LEVEL", "7");
    TableSchema schema = ReadTableSchema(path);
    QCOMPARE(schema.level, 7);
    QCOMPARE(schema.fields.size(), 2);
    QCOMPARE(schema.fields[1].size, 20);
    QCOMPARE(t.FieldExists("ADR")->State(), TMyFieldState::New);
    t.Restructure();
    schema = ReadTableSchema(path);
    QCOMPARE(schema.level, 7);
    QCOMPARE(schema.fields.size(), 3);
    QCOMPARE(schema.fields[1].size, 25);
}

QTEST_GUILESS_MAIN(TestAlterTable)
#include "tst_altertable.moc"
