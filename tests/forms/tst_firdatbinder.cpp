// The settings binder on a real table file: number limits on both sides,
// the edit buffer, posting and cancelling, and a table without a row.
#include "data/CblTools.h"
#include "data/FIRAUFKON.h"
#include "forms/FirdatBinder.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"
#include "ui/Validati.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

namespace {

TFieldDefs Defs() {
    return {FieldDefFromCode("F_S", "S"), FieldDefFromCode("F_I", "I"), FieldDefFromCode("F_N", "N"),
            FieldDefFromCode("F_A", "A5"), FieldDefFromCode("F_L", "L")};
}

}  // namespace

class TestFirdatBinder : public QObject {
    Q_OBJECT
    TestDir dir;

    std::unique_ptr<TTable> Table(bool withRow) {
        const QString file = TablePath(dir.path(), withRow ? "WITHROW.DB" : "EMPTY.DB");
        if (!QFileInfo::exists(file)) {
            CreateTableFile(file, Defs(), {});
            if (withRow) {
                TTable t(dir.path(), QFileInfo(file).fileName());
                t.Open();
                t.Append();
                t.FieldByName("F_S").SetAsInteger(7);
                t.FieldByName("F_A").SetAsString("abc");
                t.FieldByName("F_L").SetAsBoolean(true);
                t.Post();
            }
        }
        return std::make_unique<TTable>(dir.path(), QFileInfo(file).fileName());
    }

private slots:
    void cleanupTestCase() { Session().Close(); }

    void numberLimits_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("small top") << "F_S" << "32767" << true << QVariant(32767);
        QTest::newRow("small above") << "F_S" << "32768" << false << QVariant();
        QTest::newRow("small bottom") << "F_S" << "-32768" << true << QVariant(-32768);
        QTest::newRow("small below") << "F_S" << "-32769" << false << QVariant();
        QTest::newRow("int top") << "F_I" << "2147483647" << true << QVariant(2147483647);
        QTest::newRow("int above") << "F_I" << "2147483648" << false << QVariant();
        QTest::newRow("int fraction") << "F_I" << "1.5" << false << QVariant();
        QTest::newRow("int blanks") << "F_I" << " 12 " << true << QVariant(12);
        QTest::newRow("empty is no value") << "F_I" << "" << true << QVariant();
        QTest::newRow("float") << "F_N" << "2.25" << true << QVariant(2.25);
        QTest::newRow("float comma") << "F_N" << "2,25" << false << QVariant();
        QTest::newRow("float text") << "F_N" << "zwei" << false << QVariant();
        QTest::newRow("text as typed") << "F_A" << " a b" << true << QVariant(" a b");
    }
    // The forms meet conversion errors of both layers: a number typed into
    // an edit and a stored field the data layer cannot read. Both are the
    // one type, caught with the message whole (two classes of one name,
    // one per layer, shared their symbols in one program).
    void conversionErrorsOfEveryLayerAreOneType_data() {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("message");
        QTest::newRow("a stored part number") << true << "'2109150X' is not a valid part number";
        QTest::newRow("a typed number") << false << "'1.5' is not a valid integer value";
    }
    void conversionErrorsOfEveryLayerAreOneType() {
        QFETCH(bool, stored);
        QFETCH(QString, message);
        auto t = Table(true);
        t->Open();
        try {
            double numbers[30];
            int16_t counts[30];
            if (stored) UnpackParts("2109150X", "1", numbers, counts);
            else TFirdatBinder::ParseFieldText(t->FieldByName("F_I"), "1.5");
            QFAIL("no conversion error");
        } catch (const EConvertError& e) {
            QCOMPARE(e.Message(), message);
            QCOMPARE(QString::fromStdString(e.what()), message);
        }
    }
    void numberLimits() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QVariant, value);
        auto t = Table(true);
        t->Open();
        const TField& f = t->FieldByName(field);
        if (!valid) {
            QVERIFY_THROWS_EXCEPTION(EConvertError, TFirdatBinder::ParseFieldText(f, text));
            return;
        }
        const QVariant got = TFirdatBinder::ParseFieldText(f, text);
        QCOMPARE(got.isValid(), value.isValid());
        if (value.isValid()) QCOMPARE(got.toString(), value.toString());
    }

    void editPostCancel() {
        auto t = Table(true);
        TFirdatBinder b(*t);
        QLineEdit small, text;
        QCheckBox flag;
        b.BindEdit(&small, "F_S");
        b.BindEdit(&text, "F_A");
        b.BindCheck(&flag, "F_L");
        b.Open();
        QCOMPARE(small.text(), QStringLiteral("7"));
        QCOMPARE(text.text(), QStringLiteral("abc"));
        QVERIFY(flag.isChecked());
        QVERIFY(!b.Editing());
        // A program's change of a control does not start editing; a user's does.
        small.setText("8");
        QVERIFY(!b.Editing());
        QTest::keyClicks(&small, "9");
        QVERIFY(b.Editing());
        b.Cancel();
        QVERIFY(!b.Editing());
        QCOMPARE(small.text(), QStringLiteral("7"));
        // Posting writes every control, the box at once when clicked.
        flag.click();
        QVERIFY(b.Editing());
        QCOMPARE(t->FieldByName("F_L").AsBoolean(), false);
        text.setText("xyz");
        b.Post();
        QVERIFY(!b.Editing());
        TTable check(dir.path(), "WITHROW.DB");
        check.Open();
        check.First();
        QCOMPARE(check.FieldByName("F_A").AsString(), QStringLiteral("xyz"));
        QCOMPARE(check.FieldByName("F_L").AsBoolean(), false);
        QCOMPARE(check.RecordCount(), 1);
        // A text that is no number stops the post and keeps the edit.
        QTest::keyClicks(&small, "x");
        QVERIFY_THROWS_EXCEPTION(EConvertError, b.Post());
        QVERIFY(b.Editing());
    }

    void tableWithoutRowGetsOne() {
        auto t = Table(false);
        TFirdatBinder b(*t);
        QLineEdit small;
        b.BindEdit(&small, "F_S");
        b.Open();
        QCOMPARE(small.text(), QString());
        b.SetField("F_S", 12);
        QCOMPARE(small.text(), QStringLiteral("12"));
        b.Post();
        QCOMPARE(t->RecordCount(), 1);
        b.SetField("F_S", 13);
        b.Post();
        QCOMPARE(t->RecordCount(), 1);
        QCOMPARE(t->FieldByName("F_S").AsInteger(), 13);
    }
};

QTEST_MAIN(TestFirdatBinder)
#include "tst_firdatbinder.moc"
