// The five project tables: exact field lists, keys and creation failures.
#include "data/CatalogueSchema.h"
#include "data/DBCREATE.h"
#include "data/GlobalFuncs.h"
#include "data/ProjectSchema.h"
#include "platform/DbErrors.h"
#include "platform/LockFile.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"

#include <QtTest>

namespace {

// The table format as it is documented, written out independently of the
// schema definition so that a drifting name, type or width shows up here.
struct DocumentedTable {
    const char* file;
    int count;
    const char* fields;
};

const DocumentedTable Documented[] = {
    {"konstr8.db", 254,
        "K_F_NR_AUS I, ZAEHLER +, K_LFD_NR I, K_NR_ANL A5, K_NAME A21, K_NAME_ZU A21, K_KDN_ZNR A25, "
        "K_DAT_BEARB D, K_VER A8, K_A_NR S, K_POS_NR A32, K_AN_GEB S, K_BLOCKIER S, K_ARBWEG_EFF S, "
        "K_ABHG_ANZ S, K_ARBWEG S, K_KONST_KZ A1, K_REVIS S, K_HOEHE_GES N, K_RESTLAENGE_1 N, "
        "K_RESTLAENGE_2 N, K_RESTLAENGE_3 N, K_RESTLAENGE_4 N, K_RESTLAENGE_5 N, K_ORT_1 A5, "
        "K_ORT_2 A5, K_ORT_3 A5, K_ORT_4 A5, K_OMASS_1 A6, K_OEINH_1 A4, K_OMASS_2 A6, K_OMASS_3 A6, "
        "K_OMASS_4 A6, K_LEG_TXT_1 A30, K_LEG_TXT_2 A30, K_LEG_TXT_3 A30, K_LEG_TXT_4 A30, "
        "K_KOORD_KZ L, K_KOOR_X N, K_DREH_X S, K_KOOR_Y N, K_DREH_Y S, K_KOOR_Z N, K_DREH_Z S, "
        "K_BESCHRI_1 A2, K_BESCHRI_2 A2, K_RICHTG_KZ S, K_WEG_X_N N, K_WEG_Y_N N, K_WEG_EFF N, "
        "K_KLM_NR S, K_KLM_HH S, K_KLM_TXT A10, K_LAST_AUSG N, K_LAST_BLOK N, K_WKL_ZHL_X S, "
        "K_WKL_ZHL_Y S, K_DREHUNG_AS L, K_DREHUNG_STAHL L, K_DREHUNG_KH L, K_DREHUNG_S L, "
        "K_FDR_RATE N, K_FMT_NR S, K_LOOK_KZ A1, K_H_ZHL S, K_LR_VGB S, K_WR_VGB S, K_VGB_KZ L, "
        "K_KNAG_KZ L, K_RDM_KZ A1, K_BRT_ZAEHL S, K_DYN_RSBK_KZ L, K_RSRL_AN_KZ A1, K_BEARB A20, "
        "K_KD_KOM_NR_1 I, K_KD_KOM_NR_2 I, K_KD_KOM_NR_3 I, K_BEST A20, K_ANL A20, K_SYS A20, "
        "K_BEST_KOM_NR A20, K_BEST_NR A15, K_FREI_UEBER A21, K_FREI_TEXT A21, K_SCHRIFT_1 A20, "
        "K_SCHRIFT_2 A20, K_FDIFF S, K_BEWEGBER S, K_LR_FH S, K_LR_KH S, K_WR_FH S, K_WR_FH_MM S, "
        "K_WR_KH S, K_WR_KH_MM S, K_WR_SB S, K_WR_GS S, K_WINKEL_KZ L, K_WINKEL N, K_KALWAR_KZ L, "
        "K_EINH_KZ L, K_NAHT_KZ L, K_PLAN_KZ L, K_ANSTR_KZ L, K_KN_KG L, K_S_Y_KZ L, K_S_CS_KZ L, "
        "K_ROHRRI_KZ L, K_HYDTEST_KZ L, K_DYNLOAD_KZ A1, K_KRZ_BEZ_H A2, K_KRZ_BEZ_L A2, "
        "K_KRZ_BEZ_V A2, K_VORKOS_KZ L, K_BLOCKKOS_KZ L, K_BLOCK_VOR L, K_RSRL_OHNE L, "
        "K_RSRL_OHNE_NR S, K_RSRL_AN L, K_STRLOAD_KZ A1, K_KERNTECH L, K_OB_ANSCH L, K_TYP_42_KZ L, "
        "K_FDIFF_EFF S, K_EINBAU_KZ L, K_SB_OHNE_V L, K_ZUGST_ST S, K_LAST N, K_LAST_G N, "
        "K_LAST_DYN_2 N, K_LAST_DYN_3 N, K_LAST_I N, K_LAST_I_DYN_2 N, K_LAST_I_DYN_3 N, "
        "K_HYDRO_LAST N, K_HYDRO_LAST_G N, K_HYDRO_LAST_I N, K_RDM N, K_RDM_I N, K_TEM N, K_TEM_I N, "
        "K_DAEMMST N, K_DAEMMST_I N, K_WEG_X N, K_WEG_X_I N, K_WEG_Y N, K_WEG_Y_I N, K_WEG_Z N, "
        "K_WEG_Z_I N, K_BREITE_EING S, K_BREITE_I A12, K_HM_Q_1 N, K_HM_Q_2 N, K_HM_Q_3 N, "
        "K_HM_Q_4 N, K_HM_Q_5 N, K_HM_Q_6 N, K_HM_D_1 N, K_HM_D_2 N, K_HM_D_3 N, K_HM_D_4 N, "
        "K_HM_D_5 N, K_HM_D_6 N, K_HI_Q_F_1 A12, K_HI_Q_F_2 A12, K_HI_Q_F_3 A12, K_HI_Q_F_4 A12, "
        "K_HI_Q_F_5 A12, K_HI_Q_F_6 A12, K_HI_D_F_1 A12, K_HI_D_F_2 A12, K_HI_D_F_3 A12, "
        "K_HI_D_F_4 A12, K_HI_D_F_5 A12, K_HI_D_F_6 A12, K_MHOEHE_OBENL A7, K_MHOEHE_OBENR A7, "
        "K_MHOEHE_UNTEN A7, K_IHOEHE_OBENL A13, K_IHOEHE_OBENR A13, K_IHOEHE_UNTEN A13, K_NAHT A8, "
        "K_ST_E_6 L, K_BREITE N, K_BREITE_2 N, K_KORR_H S, K_MK_BREITE N, K_TAB_STL_1 S, "
        "K_TAB_ANZ_1 S, K_TAB_SAZ_1 S, K_TAB_LGR_1 S, K_TAB_STG_1 S, K_TAB_STL_2 S, K_TAB_ANZ_2 S, "
        "K_TAB_SAZ_2 S, K_TAB_LGR_2 S, K_TAB_STG_2 S, K_TAB_STL_3 S, K_TAB_ANZ_3 S, K_TAB_SAZ_3 S, "
        "K_TAB_LGR_3 S, K_TAB_STG_3 S, K_TAB_STL_4 S, K_TAB_ANZ_4 S, K_TAB_SAZ_4 S, K_TAB_LGR_4 S, "
        "K_TAB_STG_4 S, K_TAB_STL_5 S, K_TAB_ANZ_5 S, K_TAB_SAZ_5 S, K_TAB_LGR_5 S, K_TAB_STG_5 S, "
        "K_GES_E_MASS S, K_STA_NRN N, K_RSL_NRN N, K_RSL_GEW N, K_LG_MAX S, K_WEG_KZ L, K_NR I, "
        "K_BTL_8 A241, K_ANZ A30, K_ABHG_KZ A1, K_RSRL_KZ A1, K_BTH_AUFGES I, K_GES_HOEHE_I A10, "
        "K_ROHR_KORR I, K_BE_BTL A241, K_BE_EMASS A121, K_BE_POS A61, K_ALPHA S, K_NORD_DIR S, "
        "K_INFO1 A80, K_INFO2 A80, K_KATA_KZ L, K_PROFIL_H791 S, K_PROFIL_H792 S, K_PROFIL_H793 S, "
        "K_PROFIL_H794 S, K_PROFIL_H795 S, K_PROFIL_H798 S, K_PROFIL_H799 S, K_Z_MASS S, "
        "K_HOR_TYP S, K_PTFE_KZ L, K_AUFLAGER_KZ L, K_STANCHION_ZHL S, K_CLD_ISO_IDX S, "
        "K_ROHRLAGER_KZ L, K_FH_TRV_KZ L, K_LAST_BERW N, K_ZUG_DRUCK_KZ L, K_TRAGARM_L I, "
        "K_TRAGARM_L_I A12, K_RLFUEHRUNG_ZHL S, K_SEITL_FHRG_ZHL S"},
    {"konstz8.db", 67,
        "K_F_NR_AUS I, K_STAT_LAST_HZ N, K_STAT_LAST_HS N, K_STAT_LAST_LG_H N, K_STAT_LAST_LG_HZ N, "
        "K_STAT_LAST_LG_HS N, K_RSRL_LAST_H N, K_RSRL_LAST_HZ N, K_RSRL_LAST_HS N, K_OMASS_X A6, "
        "K_OMASS_Y A6, K_OMASS_U A6, K_OMASS_V A6, K_KOORAXES_DEF I, K_KOOR_MOV_N A6, "
        "K_KOOR_MOV_E A6, K_KOOR_MOV_S A6, K_KOOR_MOV_W A6, K_SHOW_STEEL_ATTA L, K_SHOW_KOOR_AX1 L, "
        "K_SHOW_KOOR_AX2 L, K_SHOW_KOOR_AX3 L, K_SHOW_KOOR_AX4 L, K_ST_ATTA_POS1 I, "
        "K_ST_ATTA_POS2 I, K_NAHT_I A8, K_T9_WINKEL N, K_BLECH_KZ L, K_ALPHA35 N, K_WKL_VOR S, "
        "K_WKL_SINUS N, K_BLECH_NR A10, K_BLECH_ANZ S, K_DYN70PROZENT_KZ L, K_RLAGER_WST_KZ L, "
        "K_RES_ALPHA1 A15, K_RES_ALPHA2 A15, K_RES_BOL1 L, K_RES_BOL2 L, K_RES_NUM1 N, K_RES_NUM2 N, "
        "K_RES_INT1 I, K_RES_INT2 I, K_FASTFRAME_KZ L, K_FASTFRAME_NR A30, K_RES_ACTUAL_S_TOP S, "
        "K_RES_ACTUAL_S_BUT S, K_36_DRUCK_ONLY L, K_RSRL_LR S, K_INFO3 A80, K_OMASS_A_I A16, "
        "K_OMASS_B_I A16, K_OMASS_C_I A16, K_OMASS_D_I A16, K_OMASS_X_I A16, K_OMASS_Y_I A16, "
        "K_OMASS_U_I A16, K_OMASS_V_I A16, K_CALC_NR A32, K_PRUEF A20, K_DAT_PRUEF D, "
        "K_DA_INFO_ONLY L, K_HD_KZ L, K_VGBRL_KZ L, K_ST_RL_KZ L, K_Bool_Carrier A35, K_T49G_KZ A1"},
    {"konbtl8.db", 16,
        "KB_F_NR_AUS I, KB_LFD_ZNR S, KB_POS S, KB_BTL_8 I, KB_BTL A6, KB_BTL_ZUS A16, KB_BREITE S, "
        "KB_BREITE_2 S, KB_ZUS A14, KB_ANZ S, KB_KBEZ A4, KB_PRS N, KB_WST S, KB_GEW N, "
        "KB_ZUS_I A14, KB_HD_KZ L"},
    {"konetr8.db", 8,
        "KE_F_NR_AUS I, KE_BTL_ZUS A12, KE_BEZ A31, KE_GEW N, KE_PRS N, KE_ANZ S, KE_ZUS A14, "
        "KE_WST A12"},
    {"prjinf8.db", 77,
        "F_DRCK_GEW_KZ L, F_DRCK_EH_KZ A1, F_KDN_ZNR A25, F_BEARB A20, F_KD_KOM_NR_1 I, "
        "F_KD_KOM_NR_2 I, F_KD_KOM_NR_3 I, F_BEST A20, F_ANL A20, F_SYS A20, F_BEST_KOM_NR A20, "
        "F_BEST_NR A15, F_FREI_UEBER A21, F_FREI_TEXT A21, F_SCHRIFT_1 A20, F_SCHRIFT_2 A20, "
        "F_FDIFF S, F_BEWEGBER S, F_LR_FH S, F_LR_KH S, F_WR_FH S, F_WR_FH_MM S, F_WR_KH S, "
        "F_WR_KH_MM S, F_WR_SB S, F_WR_GS S, F_WINKEL_KZ L, F_WINKEL N, F_KALWAR_KZ L, F_EINH_KZ L, "
        "F_NAHT_KZ L, F_PLAN_KZ L, F_VORSP_KZ L, F_KOOR_KZ L, F_NORDP_KZ L, F_ANSTR_KZ L, F_KN_KG L, "
        "F_HYDTEST_KZ L, F_DYNLOAD_KZ A1, F_KRZ_BEZ_H A2, F_KRZ_BEZ_L A2, F_KRZ_BEZ_V A2, "
        "F_VORKOS_KZ L, F_BLOCKKOS_KZ L, F_BLOCK_VOR L, F_RSRL_OHNE L, F_RSRL_OHNE_NR S, "
        "F_RSRL_AN L, F_STRLOAD_KZ A1, F_KERNTECH L, F_OB_ANSCH L, F_TYP_42_KZ L, F_FDIFF_EFF S, "
        "F_EINBAU_KZ L, F_SB_OHNE_V L, F_ZUGST_ST S, BITMAP_KZ L, BITMAP A80, F_KATA_KZ L, "
        "F_DRCK_DIM_KZ L, F_PTFE_KZ L, F_AUFLAGER_KZ L, F_ROHRLAGER_KZ L, F_RAHMEN_KZ L, "
        "F_PRJDIR_KZ L, PRJ_WAEHRUNG S, F_DYN70PROZENT_KZ L, F_RLAGER_WST_KZ L, F_RSRL_LR S, "
        "F_DA_INFO_ONLY L, F_HD_KZ L, F_VGBRL_KZ L, F_ST_RL_KZ L, F_Bool_Carrier A35, K_T49G_KZ A1, "
        "F_WEG_KZ L, F_DRCK_KZ S"},
};

QStringList FieldCodes(const TableSchema& schema) {
    QStringList out;
    for (const TFieldDef& f : schema.fields) out << f.name + " " + FieldTypeCode(f);
    return out;
}

ProjectTable TableOfFile(const QString& file) {
    for (ProjectTable t : AllProjectTables)
        if (ProjectTableFileName(t) == file) return t;
    return ProjectTable::Konstr;
}

bool Create(ProjectTable t, const QString& dir, const QString& file) {
    switch (t) {
    case ProjectTable::Konstr: return CreateKonstrTable(dir, file);
    case ProjectTable::Konstz: return CreateKonstzTable(dir, file);
    case ProjectTable::Konbtl: return CreateKonbtlTable(dir, file);
    case ProjectTable::Konetr: return CreateKonetrTable(dir, file);
    case ProjectTable::Prjinf: return CreatePrjinfTable(dir, file);
    }
    return false;
}

}  // namespace

class TestProjectTables : public QObject {
    Q_OBJECT
private slots:
    void createdTableMatchesTheFormat_data();
    void createdTableMatchesTheFormat();
    void keysRejectDuplicates_data();
    void keysRejectDuplicates();
    void creationFails_data();
    void creationFails();
    void allTablesOfANewProject();
    void failedCreationLeavesNothing();
    void completeCreationIsPutInPlace();
    void newProjectTakesTheCompanySettings();
    void staleBuildAndMissingDirectory();
    void creationNamesWhatStopsIt_data();
    void creationNamesWhatStopsIt();
    void lookWaitsForTheCreation();
    void cleanup() { Session().Close(); }
};

void TestProjectTables::createdTableMatchesTheFormat_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("key");
    for (const DocumentedTable& d : Documented) {
        const QString file = QString::fromLatin1(d.file);
        QStringList key;
        if (file.startsWith("konstr") || file.startsWith("konstz")) key = {"K_F_NR_AUS"};
        if (file.startsWith("konbtl")) key = {"KB_F_NR_AUS", "KB_LFD_ZNR", "KB_POS"};
        QTest::newRow(d.file) << file << d.count << QString::fromLatin1(d.fields).split(", ") << key;
    }
}

void TestProjectTables::createdTableMatchesTheFormat() {
    QFETCH(QString, file);
    QFETCH(int, count);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, key);
    TestDir dir;
    const ProjectTable t = TableOfFile(file);
    QVERIFY(Create(t, dir.path(), file));
    const TableSchema schema = ReadTableSchema(TablePath(dir.path(), file));
    QCOMPARE(fields.size(), count);
    QCOMPARE(int(schema.fields.size()), count);
    QCOMPARE(ExpectedFieldCount(t), count);
    const QStringList actual = FieldCodes(schema);
    for (int i = 0; i < count; ++i) QCOMPARE(actual.at(i), fields.at(i));
    for (const TFieldDef& f : schema.fields) QVERIFY(!f.required);

    QStringList primary;
    for (const TIndexDef& index : schema.indexes)
        if (index.primary) {
            QVERIFY(index.unique);
            primary = index.fields;
        }
    QCOMPARE(primary, key);
}

void TestProjectTables::keysRejectDuplicates_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<QStringList>("keyFields");
    QTest::addColumn<QVariantList>("first");
    QTest::addColumn<QVariantList>("second");
    QTest::addColumn<bool>("secondAccepted");
    QTest::newRow("konstr8 same key") << int(ProjectTable::Konstr) << QStringList{"K_F_NR_AUS"}
                                      << QVariantList{120001} << QVariantList{120001} << false;
    QTest::newRow("konstz8 same key") << int(ProjectTable::Konstz) << QStringList{"K_F_NR_AUS"}
                                      << QVariantList{120001} << QVariantList{120001} << false;
    const QStringList parts{"KB_F_NR_AUS", "KB_LFD_ZNR", "KB_POS"};
    QTest::newRow("konbtl8 same row") << int(ProjectTable::Konbtl) << parts << QVariantList{120001, 1, 3}
                                      << QVariantList{120001, 1, 3} << false;
    QTest::newRow("konbtl8 next position") << int(ProjectTable::Konbtl) << parts << QVariantList{120001, 1, 3}
                                           << QVariantList{120001, 1, 4} << true;
    QTest::newRow("konetr8 has no key") << int(ProjectTable::Konetr) << QStringList{"KE_F_NR_AUS"}
                                        << QVariantList{120001} << QVariantList{120001} << true;
}

void TestProjectTables::keysRejectDuplicates() {
    QFETCH(int, table);
    QFETCH(QStringList, keyFields);
    QFETCH(QVariantList, first);
    QFETCH(QVariantList, second);
    QFETCH(bool, secondAccepted);
    TestDir dir;
    QVERIFY(CreateProjectTables(dir.path()));
    auto t = MakeProjectTable(ProjectTable(table), dir.path());
    t->Open();
    auto insert = [&](const QVariantList& values) {
        t->Append();
        for (int i = 0; i < keyFields.size(); ++i) t->FieldByName(keyFields[i]).SetValue(values[i]);
        t->Post();
    };
    insert(first);
    bool accepted = true;
    try {
        insert(second);
    } catch (const EDBEngineError& e) {
        QCOMPARE(e.ErrorCode(), int(dbeKeyViolation));
        accepted = false;
        t->Cancel();
    }
    QCOMPARE(accepted, secondAccepted);
    QCOMPARE(t->RecordCount(), secondAccepted ? 2 : 1);
}

void TestProjectTables::creationFails_data() {
    QTest::addColumn<bool>("missingDirectory");
    QTest::newRow("directory does not exist") << true;
    QTest::newRow("table exists already") << false;
}

void TestProjectTables::creationFails() {
    QFETCH(bool, missingDirectory);
    TestDir dir;
    const QString where = missingDirectory ? dir.file("no/such/dir") : dir.path();
    for (ProjectTable t : AllProjectTables) {
        const QString file = ProjectTableFileName(t);
        if (!missingDirectory) QVERIFY(Create(t, where, file));
        QVERIFY(!Create(t, where, file));
    }
    QCOMPARE(QDir(dir.file("no")).exists(), false);
}

void TestProjectTables::allTablesOfANewProject() {
    TestDir dir;
    QVERIFY(CreateProjectTables(dir.path()));
    for (ProjectTable t : AllProjectTables) {
        const QString path = TablePath(dir.path(), ProjectTableFileName(t));
        QVERIFY2(TableFileExists(path), qPrintable(path));
        QCOMPARE(int(ReadTableSchema(path).fields.size()), ExpectedFieldCount(t));
    }
}

namespace {

QStringList Entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

// A creation whose settings row cannot be written leaves no table and no
// trace of its work; a half-built one from a kill is dropped by the next.
void TestProjectTables::failedCreationLeavesNothing() {
    TestDir dir;
    QVERIFY(QDir().mkpath(dir.file(".korva-new-project")));
    QFile stale(dir.file(".korva-new-project/konstr8.db"));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    QVERIFY(!CreateProjectTables(dir.path(), [](const QString&) { throw std::runtime_error("no settings"); }));
    QCOMPARE(Entries(dir.path()), QStringList());
    // The filler writes into the tables before they are in place.
    QString seen;
    QVERIFY(CreateProjectTables(dir.path(), [&seen](const QString& building) {
        seen = building;
        TTable t(building, "prjinf8.db");
        t.Open();
        t.Append();
        t.FieldByName("F_BEARB").SetAsString("first");
        t.Post();
    }));
    QVERIFY(seen != dir.path() && seen.startsWith(dir.path()));
    QCOMPARE(Entries(dir.path()),
             QStringList({"konbtl8.db", "konetr8.db", "konstr8.db", "konstz8.db", "prjinf8.db"}));
    TTable t(dir.path(), "prjinf8.db");
    t.Open();
    QCOMPARE(t.RecordCount(), 1);
    QCOMPARE(t.FieldByName("F_BEARB").AsString(), QString("first"));
}

// A half-built creation left by a kill is no obstacle; a directory that
// does not exist gets no project (nor the directory).
void TestProjectTables::staleBuildAndMissingDirectory() {
    TestDir dir;
    QVERIFY(QDir().mkpath(dir.file(".korva-new-project")));
    QFile stale(dir.file(".korva-new-project/prjinf8.db"));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("half");
    stale.close();
    QVERIFY(CreateProjectTables(dir.path()));
    QCOMPARE(Entries(dir.path()), QStringList({"konbtl8.db", "konetr8.db", "konstr8.db", "konstz8.db", "prjinf8.db"}));
    QVERIFY(!CreateProjectTables(dir.file("missing")));
    QVERIFY(!QFileInfo::exists(dir.file("missing")));
}

// A complete creation ended while its tables moved: the rest moves, what
// is in place stays.
void TestProjectTables::completeCreationIsPutInPlace() {
    TestDir built, dir;
    QVERIFY(CreateProjectTables(built.path()));
    QVERIFY(QDir().mkpath(dir.file(".korva-new-project.complete")));
    for (const char* f : {"konstz8.db", "konbtl8.db", "konetr8.db", "prjinf8.db"})
        QVERIFY(QFile::copy(built.file(f), dir.file(QString(".korva-new-project.complete/") + f)));
    QVERIFY(QFile::copy(built.file("konstr8.db"), dir.file("konstr8.db")));
    // A table already in place is not replaced by the staged one.
    QFile marker(dir.file(".korva-new-project.complete/konstr8.db"));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.write("staged copy");
    marker.close();
    QVERIFY(FinishProjectCreation(dir.path()));
    QCOMPARE(Entries(dir.path()),
             QStringList({"konbtl8.db", "konetr8.db", "konstr8.db", "konstz8.db", "prjinf8.db"}));
    QCOMPARE(ReadTableSchema(dir.file("konstr8.db")).fields.size(), 254);
    QVERIFY(FinishProjectCreation(dir.path()));  // nothing left to do
}

// A new project has its settings row, copied from the company settings,
// before its tables are in place.
void TestProjectTables::newProjectTakesTheCompanySettings() {
    TestDir catalogue, dir;
    const CatalogueTableDef& def = CatalogueTable("FIRDAT.DB");
    CreateTableFile(TablePath(catalogue.path(), def.fileName), def.fieldDefs(), def.indexDefs());
    TQuery(catalogue.path(), "insert into FIRDAT (F_NR, F_BEARB, F_KDN_ZNR) values (7, 'Engineer', 'K-1')").ExecSQL();
    Session().Close();
    QFile aliases(catalogue.file("aliases.ini"));
    QVERIFY(aliases.open(QIODevice::WriteOnly));
    aliases.write(QString("[KORVA_9_0]\nPATH=%1\n").arg(catalogue.path()).toUtf8());
    aliases.close();
    const QByteArray saved = qgetenv("KORVA_ALIAS_FILE");
    qputenv("KORVA_ALIAS_FILE", aliases.fileName().toLocal8Bit());
    Session().ReloadAliases();
    // A new project starts without the logo, whatever the run's logo flag.
    CalcGlobals.LogoFlag = true;
    const bool created = CreateNewProject(dir.path());
    CalcGlobals.LogoFlag = false;
    qputenv("KORVA_ALIAS_FILE", saved);
    Session().ReloadAliases();
    QVERIFY(created);
    QCOMPARE(Entries(dir.path()), QStringList({"konbtl8.db", "konetr8.db", "konstr8.db", "konstz8.db", "prjinf8.db"}));
    TTable prjinf(dir.path(), "prjinf8.db");
    prjinf.Open();
    QCOMPARE(prjinf.RecordCount(), 1);
    QCOMPARE(prjinf.FieldByName("F_BEARB").AsString(), QString("Engineer"));
    QCOMPARE(prjinf.FieldByName("F_KDN_ZNR").AsString(), QString("K-1"));
    QCOMPARE(prjinf.FieldByName("BITMAP_KZ").AsBoolean(), false);
}

enum class Found { NoDirectory, PartOfAProject, WholeProject, SettingsRowFails, LinkForTheLock };

void TestProjectTables::creationNamesWhatStopsIt_data() {
    QTest::addColumn<int>("found");
    QTest::addColumn<bool>("created");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QStringList>("entries");  // of the directory afterwards
    const QStringList whole{"konbtl8.db", "konetr8.db", "konstr8.db", "konstz8.db", "prjinf8.db"};
    QTest::newRow("no directory") << int(Found::NoDirectory) << false << "the directory does not exist"
                                  << QStringList();
    // Never completed over: the tables there may belong to another project.
    QTest::newRow("part of a project")
        << int(Found::PartOfAProject) << false
        << "the directory holds only part of a project (konetr8.db, prjinf8.db; konstr8.db, konstz8.db, konbtl8.db "
           "missing)"
        << QStringList{"konetr8.db", "prjinf8.db"};
    // What another start made while this one waited: taken as it stands.
    QTest::newRow("a whole project there") << int(Found::WholeProject) << true << "" << whole;
    QTest::newRow("the settings row fails") << int(Found::SettingsRowFails) << false << "no settings row"
                                            << QStringList();
    // Never followed: the file would be made wherever the link points.
    QTest::newRow("a link in place of the lock file")
        << int(Found::LinkForTheLock) << false
        << "%D/.korva-new-project.lock cannot be opened (Too many levels of symbolic links)" << QStringList();
}

// A creation that cannot make the project says why and leaves the directory
// as it found it; one that finds the project made by another start takes it.
void TestProjectTables::creationNamesWhatStopsIt() {
    QFETCH(int, found);
    QFETCH(bool, created);
    QFETCH(QString, reason);
    QFETCH(QStringList, entries);
    TestDir dir;
    const QString where = found == int(Found::NoDirectory) ? dir.file("missing") : dir.path();
    if (found == int(Found::PartOfAProject)) {
        QVERIFY(CreateKonetrTable(where, "konetr8.db"));
        QVERIFY(CreatePrjinfTable(where, "prjinf8.db"));
    }
    if (found == int(Found::WholeProject)) QVERIFY(CreateProjectTables(where));
    if (found == int(Found::LinkForTheLock))
        QVERIFY(QFile::link(dir.file("elsewhere"), dir.file(".korva-new-project.lock")));
    Session().Close();
    bool filled = false;
    QString why = QStringLiteral("<untouched>");
    const bool ok = CreateProjectTables(
        where,
        [&](const QString&) {
            filled = true;
            if (found == int(Found::SettingsRowFails)) throw std::runtime_error("no settings row");
        },
        &why);
    QCOMPARE(ok, created);
    if (!created) QCOMPARE(why, QString(reason).replace("%D", dir.path()));
    QCOMPARE(filled, found == int(Found::SettingsRowFails));
    QCOMPARE(Entries(dir.path()), found == int(Found::NoDirectory) ? QStringList() : entries);
    QVERIFY(!QFileInfo::exists(dir.file("elsewhere")));
}

// The project check looks only while no creation runs: while another
// start holds the directory past the wait it does not look and says why;
// afterwards it looks at a settled directory, without what a killed start
// was building and with what it had built put in place.
void TestProjectTables::lookWaitsForTheCreation() {
    TestDir built, dir;
    QVERIFY(CreateProjectTables(built.path()));
    Session().Close();
    QVERIFY(QDir().mkpath(dir.file(".korva-new-project")));
    QVERIFY(QDir().mkpath(dir.file(".korva-new-project.complete")));
    for (const QString& f : Entries(built.path()))
        QVERIFY(QFile::copy(built.file(f), dir.file(".korva-new-project.complete/" + f)));
    QStringList seen;
    const auto look = [&] { seen = Entries(dir.path()); };
    // The wait is told once it has lasted a second, at every look at the
    // lock after that, and its end once.
    QStringList told;
    SetProjectWaitNotice([&](const QString& where, bool waiting) {
        if (told.isEmpty() || told.last() != QString("%1 %2").arg(where).arg(waiting))
            told << QString("%1 %2").arg(where).arg(waiting);
    });
    QString reason;
    {
        const TLockFile other(dir.file(".korva-new-project.lock"), 0);
        QVERIFY(other.Held());
        QVERIFY(!LookAtSettledProject(dir.path(), look, &reason, 1500));
        QCOMPARE(reason, QStringLiteral("another start has been creating, checking or upgrading the project there "
                                        "for 1 seconds and has not finished (it may be waiting for its engineer to "
                                        "answer a question)"));
        QCOMPARE(told, QStringList({dir.path() + " 1", dir.path() + " 0"}));
        // Under a second: not told.
        told.clear();
        QString shortWait;
        QVERIFY(!LookAtSettledProject(dir.path(), look, &shortWait, 900));
        QCOMPARE(told, QStringList());
    }
    QCOMPARE(seen, QStringList());
    QVERIFY(LookAtSettledProject(dir.path(), look, &reason, 0));
    SetProjectWaitNotice({});
    QCOMPARE(told, QStringList());
    const QStringList whole{"konbtl8.db", "konetr8.db", "konstr8.db", "konstz8.db", "prjinf8.db"};
    // The lock file is there while the check looks, and goes with the lock.
    QCOMPARE(seen, QStringList{".korva-new-project.lock"} + whole);
    QCOMPARE(Entries(dir.path()), whole);
}

QTEST_GUILESS_MAIN(TestProjectTables)
#include "tst_projecttables.moc"
