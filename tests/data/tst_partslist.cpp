// The parts list: clearing, saving up to the first empty row, loading at
// most 24 rows of one support, and column widths.
#include "data/DBCREATE.h"
#include "data/DECODIEREN.h"
#include "data/GlobalFuncs.h"
#include "data/KONBTL.h"
#include "data/ProjectSchema.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "support/TestSupport.h"

#include <QtTest>

namespace {

void FillRows(const QList<int>& filled) {
    PartsList.Clear();
    PartsList.KB_F_NR_AUS = 120003;
    PartsList.KB_LFD_ZNR = 3;
    for (int row : filled) {
        PartsList.KB_POS[row] = int16_t(row + 1);
        PartsList.KB_BTL_8[row] = 21000000 + row;
        PartsList.KB_BTL[row] = QStringLiteral("A%1").arg(row);
        PartsList.KB_ANZ[row] = 2;
    }
}

int StoredRows(int32_t key) {
    auto t = MakeProjectTable(ProjectTable::Konbtl);
    t->SetFilter("KB_F_NR_AUS = ?", {key});
    t->SetFiltered(true);
    t->Open();
    return t->RecordCount();
}

void InsertRows(int32_t key, int count) {
    auto t = MakeProjectTable(ProjectTable::Konbtl);
    t->Open();
    for (int k = 0; k < count; ++k) {
        t->Append();
        t->FieldByName("KB_F_NR_AUS").SetAsInteger(key);
        t->FieldByName("KB_LFD_ZNR").SetAsInteger(7);
        t->FieldByName("KB_POS").SetAsInteger(k + 1);
        t->FieldByName("KB_BTL_8").SetAsInteger(30000000 + k);
        t->FieldByName("KB_KBEZ").SetAsString(QStringLiteral("Ä%1").arg(k));
        t->Post();
    }
}

}  // namespace

class TestPartsList : public QObject {
    Q_OBJECT
private:
    TestDir* m_dir = nullptr;

private slots:
    void init();
    void cleanup();
    void clearedList();
    void saveStopsAtFirstEmptyRow_data();
    void saveStopsAtFirstEmptyRow();
    void loadReadsAtMost24Rows_data();
    void loadReadsAtMost24Rows();
    void textsAreCutToTheirColumns_data();
    void textsAreCutToTheirColumns();
};

void TestPartsList::init() {
    m_dir = new TestDir;
    QVERIFY(CreateProjectTables(m_dir->path()));
    ProjectDatabaseName = m_dir->path();
}

void TestPartsList::cleanup() {
    Session().Close();
    delete m_dir;
}

void TestPartsList::clearedList() {
    FillRows({0, 1, 23});
    PartsList.RowCount = 3;
    PartsList.KB_HD_KZ[23] = true;
    PartsList.KB_PRS[1] = 9.5;
    ClearPartsList();
    QCOMPARE(int(PartsList.RowCount), 0);
    QCOMPARE(PartsList.KB_F_NR_AUS, 0);
    QCOMPARE(int(PartsList.KB_LFD_ZNR), 0);
    for (int k = 0; k < PartsListRows; ++k) {
        QCOMPARE(PartsList.KB_BTL_8[k], 0);
        QCOMPARE(PartsList.KB_PRS[k], 0.0);
        QCOMPARE(PartsList.KB_BTL[k], QStringLiteral(" "));
        QCOMPARE(PartsList.KB_ZUS_I[k], QStringLiteral(" "));
        QVERIFY(!PartsList.KB_HD_KZ[k]);
    }
}

void TestPartsList::saveStopsAtFirstEmptyRow_data() {
    QTest::addColumn<QList<int>>("filled");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("stored");
    QTest::newRow("first row empty") << QList<int>{1, 2} << false << 0;
    QTest::newRow("rows 1-3, then a gap") << QList<int>{0, 1, 2, 4, 5} << true << 3;
    QTest::newRow("one row") << QList<int>{0} << true << 1;
    QList<int> all;
    for (int k = 0; k < PartsListRows; ++k) all << k;
    QTest::newRow("all 24 rows") << all << true << 24;
}

void TestPartsList::saveStopsAtFirstEmptyRow() {
    QFETCH(QList<int>, filled);
    QFETCH(bool, saved);
    QFETCH(int, stored);
    FillRows(filled);
    PartsList.RowCount = 0;
    QCOMPARE(SavePartsList(), saved);
    QCOMPARE(int(PartsList.RowCount), stored);
    QCOMPARE(StoredRows(120003), stored);
}

void TestPartsList::loadReadsAtMost24Rows_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<int>("loaded");
    QTest::newRow("30 stored rows") << 30 << "000120003" << 24;
    QTest::newRow("5 stored rows") << 5 << "000120003" << 5;
    QTest::newRow("no rows") << 0 << "000120003" << 0;
    QTest::newRow("rows of another support") << 5 << "000120004" << 0;
    QTest::newRow("no key") << 5 << "" << 0;
}

void TestPartsList::loadReadsAtMost24Rows() {
    QFETCH(int, stored);
    QFETCH(QString, keyText);
    QFETCH(int, loaded);
    InsertRows(120003, stored);
    FillRows({0, 1});  // stale content must not survive the load
    CalcGlobals.DrawingKeyText = keyText;
    LoadPartsList();
    QCOMPARE(int(PartsList.RowCount), loaded);
    for (int k = 0; k < PartsListRows; ++k) {
        QCOMPARE(PartsList.KB_BTL_8[k], k < loaded ? 30000000 + k : 0);
        QCOMPARE(PartsList.KB_KBEZ[k], k < loaded ? QStringLiteral("Ä%1").arg(k) : QStringLiteral(" "));
    }
    QCOMPARE(PartsList.KB_F_NR_AUS, loaded ? 120003 : 0);
    QCOMPARE(int(PartsList.KB_LFD_ZNR), loaded ? 7 : 0);
}

void TestPartsList::textsAreCutToTheirColumns_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("KB_BTL 6") << "KB_BTL" << "1234567890" << "123456";
    QTest::newRow("KB_BTL_ZUS 16") << "KB_BTL_ZUS" << "ABCDEFGHIJKLMNOPQRST" << "ABCDEFGHIJKLMNOP";
    QTest::newRow("KB_ZUS 14 umlauts") << "KB_ZUS" << "ÄÖÜäöüßÄÖÜäöüßÄ" << "ÄÖÜäöüßÄÖÜäöüß";
    QTest::newRow("KB_KBEZ 4") << "KB_KBEZ" << "ABCDE" << "ABCD";
}

void TestPartsList::textsAreCutToTheirColumns() {
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    FillRows({0});
    for (const ProjectColumn& c : ProjectColumns(ProjectTable::Konbtl))
        if (c.Name() == column) *std::get<QString*>(c.row(PartsList, 0)) = text;
    QVERIFY(SavePartsList());
    CalcGlobals.DrawingKeyText = "120003";
    LoadPartsList();
    QCOMPARE(int(PartsList.RowCount), 1);
    for (const ProjectColumn& c : ProjectColumns(ProjectTable::Konbtl))
        if (c.Name() == column) QCOMPARE(*std::get<QString*>(c.row(PartsList, 0)), expected);
}

QTEST_GUILESS_MAIN(TestPartsList)
#include "tst_partslist.moc"
