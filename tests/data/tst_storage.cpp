// Storing and loading whole supports in a project directory, the packed
// columns, the all-or-nothing store, and the settings transfers.
#include "tst_storage_fixture.h"

#include "data/CatalogueSchema.h"
#include "data/GlobalFuncs.h"
#include "platform/DbErrors.h"
#include "platform/FaultInjection.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"
#include "messages/MessageSeam.h"

#include <QtTest>

using namespace storage_fixture;

namespace {

// Every support column's variable, by name, as text.
QMap<QString, QString> RecordValues(TConstructionRecord& r) {
    QMap<QString, QString> out;
    for (ProjectTable t : {ProjectTable::Konstr, ProjectTable::Konstz})
        for (const ProjectColumn& c : ProjectColumns(t))
            if (c.record && c.kind != 'R') out.insert(c.Name(), RefText(c.record(r)));
    for (int k = 0; k < 30; ++k) {
        out.insert(QStringLiteral("K_BTL_8[%1]").arg(k), QString::number(r.K_BTL_8[k], 'f', 0));
        out.insert(QStringLiteral("K_ANZ[%1]").arg(k), QString::number(r.K_ANZ[k]));
    }
    return out;
}

QStringList BridgeValues() {
    QStringList out;
    for (BridgeItem& i : BridgeRecords.Items) out << FieldText(i.PartNumber) + FieldText(i.Dimension) + FieldText(i.Position);
    out << FieldText(BridgeRecords.ArrangementLetter) << FieldText(BridgeRecords.ClampFlag)
        << FieldText(BridgeRecords.BthAufges) << FieldText(BridgeRecords.TotalHeightFeetInch)
        << FieldText(BridgeRecords.RohrKorr)
        << QString::number(BridgeRecords.ResInt1) << QString::number(BridgeRecords.ResInt2)
        << QString::number(BridgeRecords.ResNum1) << QString::number(BridgeRecords.ResNum2)
        << QString::number(BridgeRecords.DrehungAs) << QString::number(BridgeRecords.DrehungStahl)
        << QString::number(BridgeRecords.DrehungKh) << QString::number(BridgeRecords.DrehungS)
        << QString::number(CalcGlobals.CNStandard);
    return out;
}

QStringList PartsListValues() {
    QStringList out{QString::number(PartsList.RowCount), QString::number(PartsList.KB_F_NR_AUS),
                    QString::number(PartsList.KB_LFD_ZNR)};
    for (const ProjectColumn& c : ProjectColumns(ProjectTable::Konbtl))
        if (c.row)
            for (int k = 0; k < PartsListRows; ++k) out << c.Name() + "=" + RefText(c.row(PartsList, k));
    return out;
}

void ForgetEverything() {
    ConstructionRecord.Reset();
    PartsList.Clear();
    BridgeRecords.Clear();
    CalcGlobals.CNStandard = false;
}

QString StoredText(const QString& dir, int32_t key, const QString& column) {
    auto t = MakeProjectTable(ProjectTable::Konstr, dir);
    t->Open();
    if (!t->FindKey({key})) return QStringLiteral("<no row>");
    return t->FieldByName(column).AsString();
}

void MakeFirdat(const QString& dir, bool legacy = false) {
    const CatalogueTableDef& def = legacy ? LegacyFirdatTable() : CatalogueTable(QStringLiteral("FIRDAT.DB"));
    TTable firdat(dir, QStringLiteral("FIRDAT.DB"));
    firdat.CreateTable(def.fieldDefs());
    firdat.Open();
    firdat.Append();
    firdat.FieldByName("F_NR").SetAsInteger(4711);
    firdat.FieldByName("F_LFD_NR").SetAsInteger(12);
    firdat.FieldByName("F_BEST").SetAsString(QStringLiteral("Müller AG"));
    firdat.FieldByName("F_NAME").SetAsString(QStringLiteral("Bearbeiter Größe"));
    firdat.FieldByName("F_TGKURS").SetAsFloat(1.25);
    firdat.FieldByName("F_WR_SB").SetAsInteger(-15);
    firdat.FieldByName("F_DRCK_EH_KZ").SetAsString(QStringLiteral("B"));
    firdat.FieldByName("F_KOOR_KZ").SetAsBoolean(true);
    firdat.FieldByName("F_KERNTECH").SetAsBoolean(true);
    if (!legacy) firdat.FieldByName("F_DA_INFO_ONLY").SetAsBoolean(true);
    firdat.Post();
    firdat.Close();
}

}  // namespace

class TestStorage : public QObject {
    Q_OBJECT
private:
    TestDir* m_dir = nullptr;

private slots:
    void init();
    void cleanup();
    void supportRoundTrip();
    void rotationFlagsComeFromTheBridgeRecord_data();
    void rotationFlagsComeFromTheBridgeRecord();
    void storingAgainReplacesTheRows();
    void keyOfAnotherSupportIsRefused();
    void unknownKeyIsNotFound_data();
    void unknownKeyIsNotFound();
    void packedPartNumbers_data();
    void packedPartNumbers();
    void countAboveNineIsRefused();
    void injectedFailureLeavesProjectUnchanged_data();
    void injectedFailureLeavesProjectUnchanged();
    void loadConstructionDimsReadsAgain();
    void loadConstructionDimsFields_data();
    void loadConstructionDimsFields();
    void clearConstructionFields_data();
    void clearConstructionFields();
    void missingCompanionRowIsRestored();
    void missingCompanionRowLoadsBlank();
    void readProjectInfoDefaults_data();
    void readProjectInfoDefaults();
    void copyOptionsToNewProject();
    void copyProjectToOptions();
    void copyProjectToOptionsWithoutProjectRow();
    void readCompanyOptions();
    void damagedCompanyOptionsShowOneMessage();
};

void TestStorage::init() {
    m_dir = new TestDir;
    QVERIFY(CreateProjectTables(m_dir->path()));
    ProjectDatabaseName = m_dir->path();
    ForgetEverything();
}

void TestStorage::cleanup() {
    ArmWriteFault(0);
    Session().Close();
    delete m_dir;
    m_dir = nullptr;
}

void TestStorage::supportRoundTrip() {
    FillRecord(ConstructionRecord, 0);
    FillBridge(0);
    AlignSources(ConstructionRecord, 12, 3);
    FillPartsList(PartsListRows, 0);
    QCOMPARE(StoreSupport(-1), StoreOutcome::Inserted);
    const QMap<QString, QString> record = RecordValues(ConstructionRecord);
    const QStringList bridge = BridgeValues();
    const QStringList parts = PartsListValues();
    QCOMPARE(PartsList.KB_F_NR_AUS, 120003);

    ForgetEverything();
    CalcGlobals.DrawingKeyText = QStringLiteral("000120003");
    QVERIFY(LoadConstruction());
    LoadPartsList();
    const QMap<QString, QString> loaded = RecordValues(ConstructionRecord);
    for (auto it = record.begin(); it != record.end(); ++it)
        QVERIFY2(loaded.value(it.key()) == it.value(),
                 qPrintable(it.key() + ": " + loaded.value(it.key()) + " != " + it.value()));
    QCOMPARE(BridgeValues(), bridge);
    QCOMPARE(PartsListValues(), parts);
    QCOMPARE(PartsList.RowCount, int16_t(24));
    QCOMPARE(FieldText(ConstructionRecord.K_NR_ANL), QString::fromUtf8("Äö4ß "));
}

void TestStorage::rotationFlagsComeFromTheBridgeRecord_data() {
    QTest::addColumn<int>("flag");  // the one set in the bridge record
    QTest::newRow("K_DREHUNG_AS") << 0;
    QTest::newRow("K_DREHUNG_STAHL") << 1;
    QTest::newRow("K_DREHUNG_KH") << 2;
    QTest::newRow("K_DREHUNG_S") << 3;
}

// The four rotation columns are written from the bridge record the Ok road
// filled, not from the record's own flags (here all clear), each from its
// own flag; loading puts each back into both.
void TestStorage::rotationFlagsComeFromTheBridgeRecord() {
    QFETCH(int, flag);
    const char* const columns[] = {"K_DREHUNG_AS", "K_DREHUNG_STAHL", "K_DREHUNG_KH", "K_DREHUNG_S"};
    TConstructionRecord& r = ConstructionRecord;
    FillRecord(r, 0);
    AlignSources(r, 12, 3);
    r.K_DREHUNG_AS = r.K_DREHUNG_STAHL = r.K_DREHUNG_KH = r.K_DREHUNG_S = false;
    bool* const bridge[] = {&BridgeRecords.DrehungAs, &BridgeRecords.DrehungStahl, &BridgeRecords.DrehungKh,
                            &BridgeRecords.DrehungS};
    for (int i = 0; i < 4; ++i) *bridge[i] = i == flag;
    QCOMPARE(StoreSupport(-1), StoreOutcome::Inserted);
    {
        auto konstr = MakeProjectTable(ProjectTable::Konstr);
        konstr->Open();
        QVERIFY(konstr->FindKey({120003}));
        for (int i = 0; i < 4; ++i)
            QVERIFY2(konstr->FieldByName(columns[i]).AsBoolean() == (i == flag), columns[i]);
    }
    ForgetEverything();
    CalcGlobals.DrawingKeyText = QStringLiteral("000120003");
    QVERIFY(LoadConstruction());
    const bool* const loaded[] = {&r.K_DREHUNG_AS, &r.K_DREHUNG_STAHL, &r.K_DREHUNG_KH, &r.K_DREHUNG_S};
    for (int i = 0; i < 4; ++i) {
        QVERIFY2(*loaded[i] == (i == flag), columns[i]);
        QVERIFY2(*bridge[i] == (i == flag), columns[i]);
    }
}

void TestStorage::storingAgainReplacesTheRows() {
    FillRecord(ConstructionRecord, 0);
    AlignSources(ConstructionRecord, 12, 3);
    FillPartsList(5, 0);
    QCOMPARE(StoreSupport(-1), StoreOutcome::Inserted);
    ConstructionRecord.K_LAST = -42.5;
    FillPartsList(2, 9);
    QCOMPARE(StoreSupport(120003), StoreOutcome::Replaced);

    auto konstr = MakeProjectTable(ProjectTable::Konstr);
    konstr->Open();
    QCOMPARE(konstr->RecordCount(), 1);
    auto konbtl = MakeProjectTable(ProjectTable::Konbtl);
    konbtl->Open();
    QCOMPARE(konbtl->RecordCount(), 2);
    konbtl->Close();
    konstr->Close();
    ForgetEverything();
    CalcGlobals.DrawingKeyText = QStringLiteral("000120003");
    QVERIFY(LoadConstruction());
    QCOMPARE(ConstructionRecord.K_LAST, -42.5);
}

void TestStorage::keyOfAnotherSupportIsRefused() {
    FillRecord(ConstructionRecord, 0);
    AlignSources(ConstructionRecord, 12, 3);
    FillPartsList(3, 0);
    QCOMPARE(StoreSupport(-1), StoreOutcome::Inserted);
    const QStringList before = DumpProject(m_dir->path());
    FillRecord(ConstructionRecord, 5);
    AlignSources(ConstructionRecord, 12, 3);
    FillPartsList(4, 5);
    QCOMPARE(StoreSupport(990001), StoreOutcome::KeyTaken);
    QCOMPARE(DumpProject(m_dir->path()), before);
}

void TestStorage::unknownKeyIsNotFound_data() {
    QTest::addColumn<QString>("keyText");
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "   ";
    QTest::newRow("not digits") << "12a";
    QTest::newRow("not stored") << "000990001";
}

void TestStorage::unknownKeyIsNotFound() {
    QFETCH(QString, keyText);
    FillRecord(ConstructionRecord, 0);
    AlignSources(ConstructionRecord, 12, 3);
    QCOMPARE(StoreSupport(-1), StoreOutcome::Inserted);
    ConstructionRecord.K_LAST = 77.0;
    CalcGlobals.DrawingKeyText = keyText;
    QVERIFY(!LoadConstruction());
    QCOMPARE(ConstructionRecord.K_LAST, 77.0);
}

void TestStorage::packedPartNumbers_data() {
    QTest::addColumn<QList<double>>("numbers");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QString>("storedNumbers");
    QTest::newRow("one number, 29 zeros") << QList<double>{12345678} << QList<int>{1}
                                         << QStringLiteral("12345678") + QString(29, '0');
    QTest::newRow("zero between numbers") << QList<double>{12345678, 0, 23456789} << QList<int>{2, 0, 3}
                                          << QStringLiteral("12345678" "00000000" "23456789") + QString(27, '0');
    QTest::newRow("short number padded") << QList<double>{123, 45678901} << QList<int>{9, 1}
                                         << QStringLiteral("0000012345678901") + QString(28, '0');
    QList<double> thirty;
    QList<int> counts;
    QString all;
    for (int k = 0; k < 30; ++k) {
        thirty << 30000000 + k;
        counts << k % 10;
        all += QString::number(30000000 + k);
    }
    QTest::newRow("thirty numbers") << thirty << counts << all;
    QTest::newRow("empty chain") << QList<double>{} << QList<int>{} << QString(30, '0');
}

void TestStorage::packedPartNumbers() {
    QFETCH(QList<double>, numbers);
    QFETCH(QList<int>, counts);
    QFETCH(QString, storedNumbers);
    FillRecord(ConstructionRecord, 0);
    AlignSources(ConstructionRecord, 1, 1);
    for (int k = 0; k < 30; ++k) {
        ConstructionRecord.K_BTL_8[k] = k < numbers.size() ? numbers[k] : 0;
        ConstructionRecord.K_ANZ[k] = int16_t(k < counts.size() ? counts[k] : 0);
    }
    QString storedCounts;
    for (int k = 0; k < 30; ++k) storedCounts += QString::number(ConstructionRecord.K_ANZ[k]);
    QCOMPARE(StoreSupport(-1), StoreOutcome::Inserted);
    QCOMPARE(StoredText(m_dir->path(), 10001, "K_BTL_8"), storedNumbers);
    QCOMPARE(StoredText(m_dir->path(), 10001, "K_ANZ"), storedCounts);
    ForgetEverything();
    CalcGlobals.DrawingKeyText = "000010001";
    QVERIFY(LoadConstruction());
    for (int k = 0; k < 30; ++k) {
        QCOMPARE(ConstructionRecord.K_BTL_8[k], k < numbers.size() ? numbers[k] : 0.0);
        QCOMPARE(int(ConstructionRecord.K_ANZ[k]), k < counts.size() ? counts[k] : 0);
    }
}

void TestStorage::countAboveNineIsRefused() {
    FillRecord(ConstructionRecord, 0);
    AlignSources(ConstructionRecord, 12, 3);
    FillPartsList(3, 0);
    ConstructionRecord.K_ANZ[2] = 10;
    try {
        StoreSupport(-1);
        QFAIL("a count of 10 was stored");
    } catch (const EConstructionError& e) {
        QCOMPARE(e.MessageNumber(), MsgPartCountTooLarge);
        QVERIFY(StringTableHasNumber(e.MessageNumber()));
    }
    QVERIFY(DumpProject(m_dir->path()).isEmpty());
}

void TestStorage::injectedFailureLeavesProjectUnchanged_data() {
    QTest::addColumn<bool>("replace");
    QTest::addColumn<int>("failingWrite");
    for (bool replace : {false, true})
        for (int n : {1, 2, 3, 4, 10, 27})
            QTest::addRow("%s, write %d", replace ? "replace" : "insert", n) << replace << n;
}

void TestStorage::injectedFailureLeavesProjectUnchanged() {
    QFETCH(bool, replace);
    QFETCH(int, failingWrite);
    FillRecord(ConstructionRecord, 0);
    AlignSources(ConstructionRecord, 12, 3);
    FillPartsList(24, 0);
    QCOMPARE(StoreSupport(-1), StoreOutcome::Inserted);
    const QStringList before = DumpProject(m_dir->path());
    QCOMPARE(before.size(), 26);

    FillRecord(ConstructionRecord, 3);
    AlignSources(ConstructionRecord, 12, replace ? 3 : 4);
    FillPartsList(24, 3);
    ArmWriteFault(failingWrite);
    try {
        StoreSupport(120003);
        QFAIL("the injected failure did not happen");
    } catch (const EDBEngineError& e) {
        QCOMPARE(e.ErrorCode(), int(dbeInjectedFault));
    }
    ArmWriteFault(0);
    QCOMPARE(DumpProject(m_dir->path()), before);
    // The project is still usable afterwards.
    QCOMPARE(StoreSupport(120003), replace ? StoreOutcome::Replaced : StoreOutcome::Inserted);
    QCOMPARE(DumpProject(m_dir->path()).size(), replace ? 26 : 52);
}

void TestStorage::loadConstructionDimsReadsAgain() {
    FillRecord(ConstructionRecord, 0);
    AlignSources(ConstructionRecord, 12, 3);
    QCOMPARE(StoreSupport(-1), StoreOutcome::Inserted);
    QVERIFY(LoadConstruction());
    const double width = ConstructionRecord.K_BREITE;
    const QString heightText = ConstructionRecord.K_HI_D_F_6;
    const double last = ConstructionRecord.K_LAST;
    ConstructionRecord.K_BREITE = 1;
    ConstructionRecord.K_HI_D_F_6 = "x";
    ConstructionRecord.K_LAST = 2;
    LoadConstructionDims();
    QCOMPARE(ConstructionRecord.K_BREITE, width);
    QCOMPARE(ConstructionRecord.K_HI_D_F_6, heightText);
    QCOMPARE(ConstructionRecord.K_LAST, 2.0);
    QVERIFY(last != 2.0);
}

// One row per column the dimension load reads again, and neighbours it
// leaves alone: a column changed in memory after the load comes back from
// the table, or keeps the change.
void TestStorage::loadConstructionDimsFields_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<bool>("readAgain");
    for (const char* c : {"K_BREITE", "K_BREITE_I", "K_HM_Q_1", "K_HM_Q_6", "K_HM_D_1", "K_HM_D_6", "K_HI_Q_F_1",
                          "K_HI_D_F_6", "K_MHOEHE_OBENL", "K_MHOEHE_OBENR", "K_MHOEHE_UNTEN", "K_IHOEHE_OBENL",
                          "K_IHOEHE_OBENR", "K_IHOEHE_UNTEN"})
        QTest::newRow(c) << c << true;
    for (const char* c : {"K_BREITE_2", "K_LAST", "K_RESTLAENGE_1", "K_POS_NR"}) QTest::newRow(c) << c << false;
}

void TestStorage::loadConstructionDimsFields() {
    QFETCH(QString, column);
    QFETCH(bool, readAgain);
    FillRecord(ConstructionRecord, 0);
    AlignSources(ConstructionRecord, 12, 3);
    QCOMPARE(StoreSupport(-1), StoreOutcome::Inserted);
    QVERIFY(LoadConstruction());
    const ProjectColumn* c = FindSupportColumn(column);
    QVERIFY(c && c->record);
    const QString stored = RefText(c->record(ConstructionRecord));
    FillRecord(ConstructionRecord, 5);  // every column another value
    const QString changed = RefText(c->record(ConstructionRecord));
    QVERIFY(changed != stored);
    LoadConstructionDims();
    QCOMPARE(RefText(c->record(ConstructionRecord)), readAgain ? stored : changed);
}

// One row per variable the reset of a support's selection clears (to 0,
// a text to one blank), and neighbours it keeps.
void TestStorage::clearConstructionFields_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("cleared");  // empty: kept
    for (const char* c : {"K_BREITE", "K_BREITE_2", "K_HM_Q_1", "K_HM_Q_2", "K_HM_Q_3", "K_HM_Q_4", "K_HM_Q_5",
                          "K_HM_Q_6", "K_HM_D_1", "K_HM_D_6", "K_RESTLAENGE_1", "K_RESTLAENGE_5", "K_ARBWEG",
                          "K_ARBWEG_EFF", "K_FDR_RATE", "K_GES_E_MASS", "K_LAST_AUSG", "K_LAST_BLOK", "K_RSL_GEW",
                          "K_RSL_NRN", "K_STA_NRN", "K_LAST_BERW"})
        QTest::newRow(c) << c << "0";
    for (const char* c : {"K_BLOCKIER", "K_BRT_ZAEHL", "K_H_ZHL", "K_LG_MAX", "K_TAB_ANZ_1", "K_TAB_LGR_5",
                          "K_TAB_SAZ_1", "K_TAB_STG_3", "K_TAB_STL_5"})
        QTest::newRow(c) << c << "0";
    for (const char* c : {"K_BREITE_I", "K_HI_Q_F_1", "K_HI_D_F_6", "K_MHOEHE_OBENL", "K_IHOEHE_UNTEN"})
        QTest::newRow(c) << c << " ";
    for (const char* c : {"K_LAST", "K_TEM", "K_WEG_X", "K_HOEHE_GES", "K_POS_NR"}) QTest::newRow(c) << c << "";
}

void TestStorage::clearConstructionFields() {
    QFETCH(QString, column);
    QFETCH(QString, cleared);
    FillRecord(ConstructionRecord, 0);
    FillPartsList(3, 0);
    const ProjectColumn* c = FindSupportColumn(column);
    QVERIFY(c && c->record);
    const QString before = RefText(c->record(ConstructionRecord));
    QVERIFY(before != cleared);
    ClearConstruction();
    QCOMPARE(RefText(c->record(ConstructionRecord)), cleared.isEmpty() ? before : cleared);
    QCOMPARE(ConstructionRecord.K_BTL_8[0], 0.0);
    QCOMPARE(ConstructionRecord.K_ANZ[4], int16_t(0));
    QCOMPARE(int(PartsList.RowCount), 0);
}

void TestStorage::missingCompanionRowIsRestored() {
    FillRecord(ConstructionRecord, 0);
    AlignSources(ConstructionRecord, 12, 3);
    QCOMPARE(StoreSupport(-1), StoreOutcome::Inserted);
    const QString companion = RefText(FindSupportColumn("K_CALC_NR")->record(ConstructionRecord));
    TQuery drop(m_dir->path(), "DELETE FROM konstz8 WHERE K_F_NR_AUS = ?");
    drop.SetParams({120003});
    QCOMPARE(drop.ExecSQL(), 1);

    ForgetEverything();
    CalcGlobals.DrawingKeyText = "000120003";
    QVERIFY(LoadConstruction());  // the support row alone still loads
    QCOMPARE(ConstructionRecord.K_F_NR_AUS, 120003);
    QCOMPARE(FieldText(ConstructionRecord.K_CALC_NR), QString(32, ' '));

    FillRecord(ConstructionRecord, 0);
    AlignSources(ConstructionRecord, 12, 3);
    QCOMPARE(StoreSupport(120003), StoreOutcome::Replaced);
    ForgetEverything();
    QVERIFY(LoadConstruction());
    QCOMPARE(RefText(FindSupportColumn("K_CALC_NR")->record(ConstructionRecord)), companion);
}

// Loading a support whose companion row is missing right after another
// support must not keep that support's companion values: the next store
// would write them into the wrong support.
void TestStorage::missingCompanionRowLoadsBlank() {
    FillRecord(ConstructionRecord, 0);
    FillBridge(0);
    ConstructionRecord.K_RES_BOL1 = true;
    AlignSources(ConstructionRecord, 12, 3);
    QCOMPARE(StoreSupport(-1), StoreOutcome::Inserted);
    FillRecord(ConstructionRecord, 7);
    AlignSources(ConstructionRecord, 12, 4);
    QCOMPARE(StoreSupport(-1), StoreOutcome::Inserted);
    TQuery drop(m_dir->path(), "DELETE FROM konstz8 WHERE K_F_NR_AUS = ?");
    drop.SetParams({120004});
    QCOMPARE(drop.ExecSQL(), 1);

    ForgetEverything();
    CalcGlobals.DrawingKeyText = "000120003";
    QVERIFY(LoadConstruction());
    // The first support's companion values are really there ...
    QVERIFY(FieldText(ConstructionRecord.K_CALC_NR).trimmed().size() > 0);
    QVERIFY(BridgeRecords.ResInt1 != 0);
    QVERIFY(CalcGlobals.CNStandard);
    const QString supportColumn = RefText(FindSupportColumn("K_LAST")->record(ConstructionRecord));

    // ... and gone after loading the second one.
    CalcGlobals.DrawingKeyText = "000120004";
    QVERIFY(LoadConstruction());
    QCOMPARE(ConstructionRecord.K_F_NR_AUS, 120004);
    QVERIFY(RefText(FindSupportColumn("K_LAST")->record(ConstructionRecord)) != supportColumn);
    QStringList kept;
    for (const ProjectColumn& c : ProjectColumns(ProjectTable::Konstz)) {
        if (!c.record || c.kind == 'Y') continue;
        QString text = RefText(c.record(ConstructionRecord));
        if (text.startsWith(u'[') && text.endsWith(u']')) text = text.mid(1, text.size() - 2);
        text = text.trimmed();
        if (!text.isEmpty() && text != QLatin1String("0") && text != QLatin1String("false")) kept << c.Name() + "=" + text;
    }
    QVERIFY2(kept.isEmpty(), qPrintable(kept.join(u' ')));
    QCOMPARE(FieldText(ConstructionRecord.K_CALC_NR), QString(32, ' '));
    QCOMPARE(BridgeRecords.ResInt1, 0);
    QCOMPARE(BridgeRecords.ResNum1, 0);
    QVERIFY(!CalcGlobals.CNStandard);
}

void TestStorage::readProjectInfoDefaults_data() {
    QTest::addColumn<bool>("withRow");
    QTest::newRow("project settings row") << true;
    QTest::newRow("no settings row") << false;
}

void TestStorage::readProjectInfoDefaults() {
    QFETCH(bool, withRow);
    const QString flags = QStringLiteral("10100000000000000000000000000000011");
    if (withRow) {
        auto prjinf = MakeProjectTable(ProjectTable::Prjinf);
        prjinf->Open();
        prjinf->Append();
        prjinf->FieldByName("F_Bool_Carrier").SetAsString(flags);
        prjinf->Post();
        prjinf->Close();
    }
    FillRecord(ConstructionRecord, 0);
    FillPartsList(4, 0);
    CalcGlobals.RodLength = 5;
    CalcGlobals.LateralTravelAngle = 1;
    CalcGlobals.HorizontalTravelAngle = 2;
    ReadProjectInfo();
    const TConstructionRecord& r = ConstructionRecord;
    QCOMPARE(int(r.K_ABHG_ANZ), 1);
    QCOMPARE(int(r.K_Z_MASS), -1);
    QVERIFY(r.K_ST_E_6);
    QCOMPARE(r.K_TRAGARM_L_I, QStringLiteral("0"));
    QCOMPARE(FieldText(r.K_Bool_Carrier), withRow ? flags : QString(35, ' '));
    QCOMPARE(r.K_LAST, 0.0);
    QCOMPARE(r.K_BREITE_I, QStringLiteral(" "));
    QCOMPARE(FieldText(r.K_POS_NR), QString(32, ' '));
    QCOMPARE(r.K_BTL_8[0], 0.0);
    QCOMPARE(int(PartsList.RowCount), 0);
    QCOMPARE(PartsList.KB_BTL_8[0], 0);
    QCOMPARE(PartsList.KB_BTL[0], QStringLiteral(" "));
    QCOMPARE(CalcGlobals.RodLength + CalcGlobals.LateralTravelAngle + CalcGlobals.HorizontalTravelAngle, 0.0);
}

void TestStorage::copyOptionsToNewProject() {
    MakeFirdat(m_dir->path());
    CalcGlobals.HDFlags = QStringLiteral("11111000001111100000111110000011111");
    CalcGlobals.LogoFlag = true;
    TTable firdat(m_dir->path(), "FIRDAT.DB");
    auto prjinf = MakeProjectTable(ProjectTable::Prjinf);
    CopyOptionsToProject(firdat, *prjinf, true);
    prjinf->Open();
    QCOMPARE(prjinf->RecordCount(), 1);
    QCOMPARE(prjinf->FieldByName("F_BEST").AsString(), QStringLiteral("Müller AG"));
    QCOMPARE(prjinf->FieldByName("F_WR_SB").AsInteger(), -15);
    QCOMPARE(prjinf->FieldByName("F_Bool_Carrier").AsString(), CalcGlobals.HDFlags);
    QVERIFY(prjinf->FieldByName("F_DA_INFO_ONLY").AsBoolean());
    QVERIFY(!prjinf->FieldByName("BITMAP_KZ").AsBoolean());
    prjinf->Close();

    CalcGlobals.LogoFile = QStringLiteral("/logos/firma.bmp");
    CopyOptionsToProject(firdat, *prjinf, false);
    prjinf->Open();
    QCOMPARE(prjinf->RecordCount(), 1);
    QVERIFY(prjinf->FieldByName("BITMAP_KZ").AsBoolean());
    QCOMPARE(prjinf->FieldByName("BITMAP").AsString(), CalcGlobals.LogoFile);
}

void TestStorage::copyProjectToOptions() {
    MakeFirdat(m_dir->path());
    TTable firdat(m_dir->path(), "FIRDAT.DB");
    auto prjinf = MakeProjectTable(ProjectTable::Prjinf);
    CopyOptionsToProject(firdat, *prjinf, true);
    prjinf->Open();
    prjinf->First();
    prjinf->Edit();
    prjinf->FieldByName("F_BEST").SetAsString(QStringLiteral("Projekt Ölwerk"));
    prjinf->FieldByName("F_WR_SB").SetAsInteger(33);
    prjinf->FieldByName("F_DA_INFO_ONLY").SetAsBoolean(false);
    prjinf->Post();
    prjinf->Close();
    CopyProjectToOptions(*prjinf, firdat);
    firdat.Open();
    QCOMPARE(firdat.RecordCount(), 1);
    QCOMPARE(firdat.FieldByName("F_BEST").AsString(), QStringLiteral("Projekt Ölwerk"));
    QCOMPARE(firdat.FieldByName("F_WR_SB").AsInteger(), 33);
    QVERIFY(firdat.FieldByName("F_DA_INFO_ONLY").AsBoolean());  // not taken from the project
    QCOMPARE(firdat.FieldByName("F_NR").AsInteger(), 4711);
}

void TestStorage::copyProjectToOptionsWithoutProjectRow() {
    MakeFirdat(m_dir->path());
    TTable firdat(m_dir->path(), "FIRDAT.DB");
    auto prjinf = MakeProjectTable(ProjectTable::Prjinf);
    const QString before = TableFileExists(TablePath(m_dir->path(), "FIRDAT.DB")) ? "exists" : "";
    firdat.Open();
    firdat.First();
    QStringList row;
    for (int f = 0; f < firdat.FieldCount(); ++f) row << firdat.Fields(f).AsString();
    firdat.Close();
    CopyProjectToOptions(*prjinf, firdat);
    firdat.Open();
    firdat.First();
    QStringList after;
    for (int f = 0; f < firdat.FieldCount(); ++f) after << firdat.Fields(f).AsString();
    QCOMPARE(after, row);
    QCOMPARE(firdat.RecordCount(), 1);
    QCOMPARE(before, QStringLiteral("exists"));
}

void TestStorage::readCompanyOptions() {
    MakeFirdat(m_dir->path());
    ScriptedMessageSeam seam;
    TTable firdat(m_dir->path(), "FIRDAT.DB");
    ReadCompanyOptions(firdat);
    const TConstructionRecord& r = ConstructionRecord;
    QVERIFY(seam.Requests().empty());
    QCOMPARE(r.K_NR, 4711);
    QCOMPARE(r.K_LFD_NR, 12);
    QCOMPARE(FieldTextTrimmed(r.K_BEST, 20), QStringLiteral("Müller AG"));
    QCOMPARE(r.K_NAME, QStringLiteral("Bearbeiter Größe"));
    QCOMPARE(int(r.K_WR_SB), -15);
    QVERIFY(r.K_KERNTECH);
    QVERIFY(r.F_KOOR_KZ);
    QCOMPARE(r.F_TGKURS, 1.25);
    QCOMPARE(r.PrintUnitChar, 'B');
    QVERIFY(!firdat.Active());
}

void TestStorage::damagedCompanyOptionsShowOneMessage() {
    MakeFirdat(m_dir->path(), true);  // lacks the later columns
    ScriptedMessageSeam seam;
    TTable firdat(m_dir->path(), "FIRDAT.DB");
    ReadCompanyOptions(firdat);
    QCOMPARE(int(seam.Requests().size()), 1);
    QCOMPARE(seam.Requests()[0].kind, MessageKind::Error);
    QCOMPARE(seam.Requests()[0].buttons, mb::OK);
    QVERIFY(seam.Requests()[0].text.startsWith("Fehler beim Initialisieren aufgetreten !\rPr"));
    QCOMPARE(ConstructionRecord.PrintUnitChar, 'A');
    QCOMPARE(ConstructionRecord.K_NR, 4711);  // read before the failure
    QVERIFY(!firdat.Active());
}

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
