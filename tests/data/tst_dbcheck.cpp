// The project check on real table files: presence, format and open codes,
// the questions, the upgrade of old projects with every changed field, the
// level conversion with its backup, and failures that must change nothing.
#include "data/DBCREATE.h"
#include "data/DBcheck.h"
#include "data/ProjectSchema.h"
#include "messages/MessageSeam.h"
#include "platform/FaultInjection.h"
#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/LockFile.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <thread>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What an older release wrote; each switch differs from the current format
// in one respect.
struct OldProject {
    bool konstz = true;         // konstz8.db present
    bool shortKonstz = false;   // konstz8 ends after K_RES_INT2 (43 fields)
    bool shortPrjinf = false;   // prjinf8 ends after F_PRJDIR_KZ (65 fields), F_KDN_ZNR 20
    bool shortKonstr = false;   // K_KDN_ZNR 20, K_POS_NR 20, K_INFO1 60, K_INFO2 60
    bool shortKonbtl = false;   // no KB_HD_KZ, KB_BTL_ZUS 14
    bool shortKonetr = false;   // KE_WST 8, KE_BEZ 25
    int level = CurrentTableLevel;
    bool konbtlIndex = true;
};

TFieldDefs Resized(TFieldDefs defs, const QMap<QString, int>& sizes) {
    for (TFieldDef& f : defs)
        if (sizes.contains(f.name)) f.size = sizes[f.name];
    return defs;
}

void Sql(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    const QString message = err ? QString::fromUtf8(err) : QString();
    sqlite3_free(err);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message + " in " + sql));
}

void Create(const QString& dir, ProjectTable t, const TFieldDefs& fields, const OldProject& o, bool index = true) {
    CreateTableFile(dir + "/" + ProjectTableFileName(t), fields, index ? ProjectIndexDefs(t) : TIndexDefs{},
                    o.level);
}

// Builds a project and fills rows whose texts use the full old widths.
void MakeProject(const QString& dir, const OldProject& o) {
    TFieldDefs prjinf = ProjectFieldDefs(ProjectTable::Prjinf);
    if (o.shortPrjinf) prjinf = Resized(prjinf.mid(0, 65), {{"F_KDN_ZNR", 20}});
    TFieldDefs konstr = ProjectFieldDefs(ProjectTable::Konstr);
    if (o.shortKonstr) konstr = Resized(konstr, {{"K_KDN_ZNR", 20}, {"K_POS_NR", 20}, {"K_INFO1", 60}, {"K_INFO2", 60}});
    TFieldDefs konstz = ProjectFieldDefs(ProjectTable::Konstz);
    if (o.shortKonstz) konstz = konstz.mid(0, 43);
    TFieldDefs konbtl = ProjectFieldDefs(ProjectTable::Konbtl);
    if (o.shortKonbtl) konbtl = Resized(konbtl.mid(0, 15), {{"KB_BTL_ZUS", 14}});
    TFieldDefs konetr = ProjectFieldDefs(ProjectTable::Konetr);
    if (o.shortKonetr) konetr = Resized(konetr, {{"KE_WST", 8}, {"KE_BEZ", 25}});
    Create(dir, ProjectTable::Prjinf, prjinf, o);
    Create(dir, ProjectTable::Konstr, konstr, o);
    if (o.konstz) Create(dir, ProjectTable::Konstz, konstz, o);
    Create(dir, ProjectTable::Konbtl, konbtl, o, o.konbtlIndex);
    Create(dir, ProjectTable::Konetr, konetr, o);
    Sql(dir + "/prjinf8.db", "INSERT INTO prjinf8 (F_KDN_ZNR, F_BEARB) VALUES ('KUNDE-12345678901234', 'Bearb')");
    Sql(dir + "/konstr8.db",
        "INSERT INTO konstr8 (K_F_NR_AUS, K_POS_NR, K_INFO1) VALUES (123450001, 'POS-20-CHARACTERS-AB', 'info one'),"
        " (123450003, 'P3', NULL)");
    if (o.konstz) Sql(dir + "/konstz8.db", "INSERT INTO konstz8 (K_F_NR_AUS, K_RES_INT2) VALUES (123450001, 77)");
    Sql(dir + "/konbtl8.db",
        "INSERT INTO konbtl8 (KB_F_NR_AUS, KB_LFD_ZNR, KB_POS, KB_BTL_ZUS) VALUES (123450001, 1, 1, '14-CHARACTERS-'),"
        " (123450001, 1, 2, 'B'), (123450003, 1, 1, 'C')");
    Sql(dir + "/konetr8.db", "INSERT INTO konetr8 (KE_F_NR_AUS, KE_WST, KE_BEZ) VALUES (123450001, 'S235JR', 'Blech')");
}

OldProject OldInEveryRespect() {
    OldProject o;
    o.shortKonstz = o.shortPrjinf = o.shortKonstr = o.shortKonbtl = o.shortKonetr = true;
    return o;
}

// Every file below the directory with its bytes.
QMap<QString, QByteArray> Snapshot(const QString& dir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly)) files.insert(QDir(dir).relativeFilePath(f.fileName()), f.readAll());
    }
    return files;
}

QString Value(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    QString out = "<error>";
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK) {
        out = sqlite3_step(st) == SQLITE_ROW ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)))
                                             : QString("<none>");
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

TFieldDef FieldOf(const QString& path, const QString& name) {
    for (const TFieldDef& f : ReadTableSchema(path).fields)
        if (f.name == name) return f;
    return {};
}

const QString kDirLineStart = "Directory : \"";

// Answers from its script; given a project, another start adds konstz8.db
// there while the box is open.
class SeamOfASecondStart : public ScriptedMessageSeam {
public:
    explicit SeamOfASecondStart(const QString& project) : m_project(project) {}
    int Show(const MessageRequest& request) override {
        if (!m_project.isEmpty()) CreateKonstzTable(m_project, "konstz8.db");
        return ScriptedMessageSeam::Show(request);
    }

private:
    QString m_project;
};

}  // namespace

class TstDbCheck : public QObject {
    Q_OBJECT
private slots:
    void emptyCompleteAndMissingDirectory() {
        TestDir t;
        ScriptedMessageSeam seam;
        QCOMPARE(CheckProjectFilesAtStart(t.path(), false), checkcode::NoProject);
        QFile stray(t.file("notes.txt"));  // a file that is not a project table changes nothing
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.close();
        QCOMPARE(CheckProjectDirectoryCode(t.path()), checkcode::NoProject);
        QVERIFY(CreateProjectTables(t.path()));
        QCOMPARE(CheckProjectFilesAtStart(t.path(), false), checkcode::Usable);
        QCOMPARE(CheckProjectDirectoryCode(t.path() + "/"), checkcode::Usable);
        QCOMPARE(CheckProjectFilesAtStart(t.file("no-such-dir"), false), checkcode::NoDirectory);
        QCOMPARE(CheckProjectDirectory(t.file("no-such-dir"), true, false), checkcode::NoDirectory);
        QVERIFY(seam.Requests().empty());
    }

    void missingFiles_data() {
        QTest::addColumn<QStringList>("remove");
        QTest::addColumn<QString>("unindexed");
        QTest::addColumn<int>("code");
        QTest::newRow("prjinf8 first") << QStringList{"prjinf8.db", "konbtl8.db"} << "" << -1;
        QTest::newRow("konstr8") << QStringList{"konstr8.db"} << "" << -2;
        QTest::newRow("konstz8") << QStringList{"konstz8.db"} << "" << -5;
        QTest::newRow("konetr8 before konbtl8") << QStringList{"konetr8.db", "konbtl8.db"} << "" << -3;
        QTest::newRow("konbtl8") << QStringList{"konbtl8.db"} << "" << -4;
        QTest::newRow("konstr8 index") << QStringList{} << "konstr8" << -102;
        QTest::newRow("konstz8 index") << QStringList{} << "konstz8" << -105;
        QTest::newRow("konbtl8 index") << QStringList{} << "konbtl8" << -107;
        QTest::newRow("konstr8 index before konstz8") << QStringList{"konstz8.db"} << "konstr8" << -102;
        QTest::newRow("only konstz8 left") << QStringList{"prjinf8.db", "konstr8.db", "konetr8.db", "konbtl8.db"}
                                           << "" << -1;
        QTest::newRow("all gone") << QStringList{"prjinf8.db", "konstr8.db", "konstz8.db", "konetr8.db", "konbtl8.db"}
                                  << "" << 1;
    }
    void missingFiles() {
        QFETCH(QStringList, remove);
        QFETCH(QString, unindexed);
        QFETCH(int, code);
        TestDir t;
        QVERIFY(CreateProjectTables(t.path()));
        for (const QString& f : remove) QVERIFY(QFile::remove(t.file(f)));
        if (!unindexed.isEmpty()) Sql(t.file(unindexed + ".db"), QString("DROP INDEX \"%1$PRIMARY\"").arg(unindexed));
        QCOMPARE(ProjectFilesCode(t.path()), code);
    }

    void upperCaseFileNamesAreFound() {
        TestDir t;
        QVERIFY(CreateProjectTables(t.path()));
        QVERIFY(QFile::rename(t.file("konbtl8.db"), t.file("KONBTL8.DB")));
        QCOMPARE(CheckProjectDirectoryCode(t.path()), checkcode::Usable);
        QCOMPARE(TableFieldCount(t.path(), "konbtl8.db"), 16);
        QCOMPARE(TableFieldSize(t.path(), "KONBTL8.db", "KB_BTL_ZUS"), 16);
        QCOMPARE(TableFieldSize(t.path(), "konbtl8.db", "NO_SUCH_FIELD"), 0);
        QCOMPARE(TableFieldCount(t.path(), "nothere.db"), 0);
    }

    void formatCodes_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("size");    // 0: drop the field, -1: add an extra field
        QTest::addColumn<int>("code");
        QTest::newRow("prjinf8 short") << "prjinf8" << "F_DRCK_KZ" << 0 << -11;
        QTest::newRow("prjinf8 long") << "prjinf8" << "" << -1 << -11;
        QTest::newRow("konstr8 short") << "konstr8" << "K_SEITL_FHRG_ZHL" << 0 << -12;
        QTest::newRow("konbtl8 long") << "konbtl8" << "" << -1 << -13;
        QTest::newRow("konetr8 short") << "konetr8" << "KE_ZUS" << 0 << -14;
        QTest::newRow("konstz8 short") << "konstz8" << "K_T49G_KZ" << 0 << -15;
        QTest::newRow("K_POS_NR 31") << "konstr8" << "K_POS_NR" << 31 << -52;
        QTest::newRow("K_POS_NR 33") << "konstr8" << "K_POS_NR" << 33 << -52;
        QTest::newRow("KE_WST 11") << "konetr8" << "KE_WST" << 11 << -53;
        QTest::newRow("KE_BEZ 32") << "konetr8" << "KE_BEZ" << 32 << -53;
        QTest::newRow("KB_BTL_ZUS 14") << "konbtl8" << "KB_BTL_ZUS" << 14 << -54;
        QTest::newRow("KB_BTL_ZUS 17") << "konbtl8" << "KB_BTL_ZUS" << 17 << -54;
        QTest::newRow("other size differs") << "konbtl8" << "KB_ZUS" << 15 << 0;
    }
    void formatCodes() {
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(int, size);
        QFETCH(int, code);
        TestDir t;
        QVERIFY(CreateProjectTables(t.path()));
        const QString path = t.file(table + ".db");
        TFieldDefs defs = ReadTableSchema(path).fields;
        if (size == -1) defs << TFieldDef{"EXTRA", TFieldType::SmallInt, 0};
        for (int i = 0; i < defs.size(); ++i)
            if (defs[i].name == field) size == 0 ? (void)defs.removeAt(i) : (void)(defs[i].size = size);
        RestructureTableFile(path, defs);
        QCOMPARE(ProjectFormatCode(t.path()), code);
        QCOMPARE(CheckProjectDirectoryCode(t.path()), code == 0 ? 0 : checkcode::UpgradeDeclined);
    }

    void konstzMissingAsks_data() {
        QTest::addColumn<bool>("obsolete");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("addedMeanwhile");  // by another start while this one asks
        QTest::newRow("new file, yes") << false << mr::Yes << 3 << false;
        QTest::newRow("new file, no") << false << mr::No << -900 << false;
        QTest::newRow("obsolete, yes") << true << mr::Yes << 3 << false;
        QTest::newRow("obsolete, closed") << true << mr::Cancel << -900 << false;
        // A program that does not wait for the project (an older release)
        // adds it while this one asks: that table serves this one, never
        // "does not exist".
        QTest::newRow("yes, another start added it meanwhile") << false << mr::Yes << 3 << true;
    }
    void konstzMissingAsks() {
        QFETCH(bool, obsolete);
        QFETCH(int, answer);
        QFETCH(int, code);
        QFETCH(bool, addedMeanwhile);
        TestDir t;
        OldProject o;
        o.konstz = false;
        MakeProject(t.path(), o);
        const auto before = Snapshot(t.path());
        SeamOfASecondStart seam(addedMeanwhile ? t.path() : QString());
        seam.Answer(answer);
        QCOMPARE(CheckProjectFilesAtStart(t.path(), obsolete), code);
        QCOMPARE(int(seam.Requests().size()), 1);
        const MessageRequest& r = seam.Requests()[0];
        QCOMPARE(r.kind, MessageKind::Confirmation);
        QCOMPARE(r.buttons, MessageButtons(mb::Yes | mb::No));
        const QString line = kDirLineStart + t.path() + "/\"";
        QCOMPARE(r.text, obsolete ? "Format of project files obsolete !\r" + line + "\r\rContinue ?"
                                  : "KORVA 8.2 needs new file KONSTZ8 !\r" + line +
                                        "\r\rShould file KONSTZ8 be added !\r\rContinue ?");
        if (code == 3) {
            // Added at once, and the rest of the check ran on the project.
            QCOMPARE(TableFieldCount(t.path(), "konstz8.db"), 67);
            QCOMPARE(CheckProjectDirectoryCode(t.path()), 0);
        } else {
            QCOMPARE(Snapshot(t.path()), before);
            QCOMPARE(CheckProjectDirectoryCode(t.path()), 3);
        }
    }

    // An old project without konstz8.db: after Yes the same check goes on,
    // offers the upgrade and brings the other tables up to date.
    void konstzAddedThenOldFormatUpgraded() {
        TestDir t;
        OldProject o = OldInEveryRespect();
        o.konstz = false;
        MakeProject(t.path(), o);
        ScriptedMessageSeam seam;
        seam.Answer(mr::Yes);
        seam.Answer(mr::Yes);
        QCOMPARE(CheckProjectFilesAtStart(t.path(), false), 3);
        const QStringList texts = seam.Texts();
        QCOMPARE(texts.size(), 3);
        QVERIFY(texts[1].endsWith("File format has to be changed !\r\rContinue ?"));
        QCOMPARE(texts[2], QString("Format of the project files successfully changed !"));
        QCOMPARE(ProjectFormatCode(t.path()), 0);
        QCOMPARE(CheckProjectDirectoryCode(t.path()), 0);
        QCOMPARE(Value(t.file("konstr8.db"), "SELECT K_POS_NR FROM konstr8 WHERE K_F_NR_AUS = 123450001"),
                 QString("POS-20-CHARACTERS-AB"));
    }

    // The same, declined at the upgrade: the added table stays, the project
    // is refused as the upgrade's refusal.
    void konstzAddedUpgradeDeclined() {
        TestDir t;
        OldProject o = OldInEveryRespect();
        o.konstz = false;
        MakeProject(t.path(), o);
        ScriptedMessageSeam seam;
        seam.Answer(mr::Yes);
        seam.Answer(mr::No);
        QCOMPARE(CheckProjectFilesAtStart(t.path(), false), -800);
        QCOMPARE(TableFieldCount(t.path(), "konstz8.db"), 67);
        QCOMPARE(TableFieldSize(t.path(), "konstr8.db", "K_POS_NR"), 20);
    }

    void oldProjectUpgraded() {
        TestDir t;
        MakeProject(t.path(), OldInEveryRespect());
        QCOMPARE(ProjectFormatCode(t.path()), -11);
        ScriptedMessageSeam seam;
        seam.Answer(mr::Yes);
        QCOMPARE(CheckProjectFilesAtStart(t.path(), false), 0);
        QCOMPARE(seam.Texts(), QStringList({"Format of project files obsolete !\r" + kDirLineStart + t.path() +
                                                "/\"\r\rFile format has to be changed !\r\rContinue ?",
                                            "Format of the project files successfully changed !"}));
        QCOMPARE(seam.Requests()[1].kind, MessageKind::Information);
        // Every table has the current field list, in order, with the
        // documented types and sizes.
        for (ProjectTable table : AllProjectTables) {
            const TFieldDefs got = ReadTableSchema(t.file(ProjectTableFileName(table))).fields;
            const TFieldDefs want = ProjectFieldDefs(table);
            QCOMPARE(got.size(), want.size());
            for (int i = 0; i < want.size(); ++i) {
                QCOMPARE(got[i].name, want[i].name);
                QCOMPARE(got[i].type, want[i].type);
                QCOMPARE(got[i].size, want[i].size);
            }
        }
        QCOMPARE(FieldOf(t.file("prjinf8.db"), "F_KDN_ZNR").size, 25);
        QCOMPARE(FieldOf(t.file("konstz8.db"), "K_DAT_PRUEF").type, TFieldType::Date);
        QCOMPARE(FieldOf(t.file("konstz8.db"), "K_Bool_Carrier").size, 35);
        QCOMPARE(FieldOf(t.file("konbtl8.db"), "KB_HD_KZ").type, TFieldType::Boolean);
        // Rows and their texts survive; the primary indexes too.
        QCOMPARE(Value(t.file("konstr8.db"), "SELECT K_POS_NR FROM konstr8 WHERE K_F_NR_AUS = 123450001"),
                 QString("POS-20-CHARACTERS-AB"));
        QCOMPARE(Value(t.file("konstr8.db"), "SELECT count(*) FROM konstr8"), QString("2"));
        QCOMPARE(Value(t.file("konstz8.db"), "SELECT K_RES_INT2 FROM konstz8"), QString("77"));
        QCOMPARE(Value(t.file("konbtl8.db"), "SELECT KB_BTL_ZUS FROM konbtl8 WHERE KB_POS = 1 AND KB_F_NR_AUS = 123450001"),
                 QString("14-CHARACTERS-"));
        QCOMPARE(Value(t.file("konbtl8.db"), "SELECT count(*) FROM konbtl8"), QString("3"));
        QCOMPARE(Value(t.file("prjinf8.db"), "SELECT F_KDN_ZNR FROM prjinf8"), QString("KUNDE-12345678901234"));
        QCOMPARE(Value(t.file("konetr8.db"), "SELECT KE_BEZ FROM konetr8"), QString("Blech"));
        QCOMPARE(ProjectFilesCode(t.path()), 0);
        QCOMPARE(ProjectFormatCode(t.path()), 0);
        // No working files left beside the tables.
        QCOMPARE(QDir(t.path()).entryList(QDir::Files | QDir::Hidden).size(), 5);

        // A second check asks nothing and rewrites nothing; neither does an
        // explicit second upgrade.
        const auto after = Snapshot(t.path());
        const QDateTime konstzTime = QFileInfo(t.file("konstz8.db")).lastModified();
        seam.Clear();
        QCOMPARE(CheckProjectFilesAtStart(t.path(), false), 0);
        QVERIFY(UpgradeProjectTables(t.path()));
        QVERIFY(seam.Requests().empty());
        QCOMPARE(Snapshot(t.path()), after);
        QCOMPARE(QFileInfo(t.file("konstz8.db")).lastModified(), konstzTime);
    }

    void onlyTheOldTableIsRewritten() {
        TestDir t;
        OldProject o;
        o.shortKonbtl = true;
        MakeProject(t.path(), o);
        QCOMPARE(ProjectFormatCode(t.path()), -13);
        auto before = Snapshot(t.path());
        QVERIFY(UpgradeProjectTables(t.path()));
        auto after = Snapshot(t.path());
        QVERIFY(after["konbtl8.db"] != before["konbtl8.db"]);
        before.remove("konbtl8.db");
        after.remove("konbtl8.db");
        QCOMPARE(after, before);
        QCOMPARE(TableFieldSize(t.path(), "konbtl8.db", "KB_BTL_ZUS"), 16);
        QCOMPARE(ProjectFormatCode(t.path()), 0);
    }

    void tablesOpenedBeforeSeeTheUpgrade() {
        TestDir t;
        OldProject o;
        o.shortKonbtl = true;
        MakeProject(t.path(), o);
        {
            auto table = MakeProjectTable(ProjectTable::Konbtl, t.path());
            table->Open();
            QCOMPARE(table->FieldDefs().size(), 15);
        }
        QVERIFY(UpgradeProjectTables(t.path()));
        auto table = MakeProjectTable(ProjectTable::Konbtl, t.path());
        table->Open();
        QCOMPARE(table->FieldDefs().size(), 16);
        QCOMPARE(table->RecordCount(), 3);
        table->Append();
        table->FieldByName("KB_F_NR_AUS").SetAsInteger(123450009);
        table->FieldByName("KB_BTL_ZUS").SetAsString("SIXTEEN-CHARS-16");
        table->FieldByName("KB_HD_KZ").SetAsBoolean(true);
        table->Post();
        table->Close();
        QCOMPARE(Value(t.file("konbtl8.db"), "SELECT KB_BTL_ZUS FROM konbtl8 WHERE KB_F_NR_AUS = 123450009"),
                 QString("SIXTEEN-CHARS-16"));
    }

    void declinedUpgradeChangesNothing() {
        TestDir t;
        OldProject o;
        o.shortKonetr = true;
        MakeProject(t.path(), o);
        const auto before = Snapshot(t.path());
        ScriptedMessageSeam seam;
        seam.Answer(mr::No);
        QCOMPARE(CheckProjectFilesAtStart(t.path(), false), -800);
        QCOMPARE(Snapshot(t.path()), before);
    }

    void lowLevelIsConvertedWithBackup() {
        TestDir t;
        OldProject o;
        o.level = 4;
        MakeProject(t.path(), o);
        const auto before = Snapshot(t.path());
        ScriptedMessageSeam seam;
        QCOMPARE(CheckProjectFilesAtStart(t.path(), false), 0);
        QVERIFY(seam.Requests().empty());
        for (ProjectTable table : AllProjectTables) {
            const QString name = ProjectTableFileName(table);
            QCOMPARE(ReadTableSchema(t.file(name)).level, 7);
            // The previous files are kept as they were.
            QCOMPARE(Snapshot(t.file("save0")).value(name), before.value(name));
        }
        QCOMPARE(Value(t.file("konstr8.db"), "SELECT count(*) FROM konstr8"), QString("2"));
        QVERIFY(!QFileInfo::exists(t.file("save1")));

        // A later conversion takes the next free backup folder.
        SetTableLevel(t.file("konetr8.db"), 3);
        QDir().mkdir(t.file("save1"));
        QCOMPARE(ProjectOpenCode(t.path()), 0);
        QVERIFY(QFileInfo(t.file("save2/konetr8.db")).isFile());
        QCOMPARE(ReadTableSchema(t.file("konetr8.db")).level, 7);
    }

    // A conversion that finds every table at the current level (another
    // start converted them since they were looked at) keeps no second
    // backup and rewrites nothing.
    void conversionDoneMeanwhileMakesNoBackup() {
        TestDir t;
        MakeProject(t.path(), OldProject{});
        const auto before = Snapshot(t.path());
        ConvertProjectFiles(t.path());
        QCOMPARE(Snapshot(t.path()), before);
        QVERIFY(!QFileInfo::exists(t.file("save0")));
    }

    // Another start holds the project and converts or upgrades it while this
    // start's check waits; the check then finds the work done: it asks
    // nothing (the answer No would refuse the project with -800) and keeps
    // no backup of its own.
    void startThatWaitedFindsTheWorkDone_data() {
        QTest::addColumn<bool>("oldLevel");  // else old text sizes of the parts list
        QTest::newRow("old level, converted meanwhile: no backup") << true;
        QTest::newRow("old sizes, upgraded meanwhile: not asked") << false;
    }
    void startThatWaitedFindsTheWorkDone() {
        QFETCH(bool, oldLevel);
        TestDir t;
        OldProject o;
        if (oldLevel) o.level = 4;
        else o.shortKonbtl = true;
        MakeProject(t.path(), o);
        std::atomic<int> holding{0};  // 1 held, 2 done and given back, -1 not held
        std::thread other([&] {
            TLockFile lock(t.file(".korva-new-project.lock"), 0);
            if (!lock.Held()) {
                holding = -1;
                return;
            }
            holding = 1;
            // Long enough for the check below to be waiting for the lock.
            QThread::msleep(300);
            // What the other start's conversion or upgrade leaves.
            if (oldLevel)
                for (ProjectTable table : AllProjectTables) SetTableLevel(t.file(ProjectTableFileName(table)), 7);
            else
                RestructureTableFile(t.file("konbtl8.db"), ProjectFieldDefs(ProjectTable::Konbtl));
            holding = 2;
        });
        for (int i = 0; i < 2000 && holding == 0; ++i) QThread::msleep(5);
        QCOMPARE(int(holding), 1);
        ScriptedMessageSeam seam;
        seam.Answer(mr::No);
        const int code = CheckProjectFilesAtStart(t.path(), false);
        other.join();
        QCOMPARE(int(holding), 2);
        QCOMPARE(code, 0);
        QCOMPARE(int(seam.Requests().size()), 0);
        QVERIFY(!QFileInfo::exists(t.file("save0")));
        QCOMPARE(ProjectFormatCode(t.path()), 0);
    }

    // The backup goes to the first free "save" folder, "save50" the last
    // one there is.
    void backupFolder_data() {
        QTest::addColumn<int>("taken");  // save0 .. save(taken - 1) exist
        QTest::newRow("none taken") << 0;
        QTest::newRow("save0 to save49 taken") << 50;
    }
    void backupFolder() {
        QFETCH(int, taken);
        TestDir t;
        OldProject o;
        o.level = 4;
        MakeProject(t.path(), o);
        for (int n = 0; n < taken; ++n) QVERIFY(QDir().mkdir(t.file(QString("save%1").arg(n))));
        QCOMPARE(CheckProjectDirectoryCode(t.path()), 0);
        QVERIFY(QFileInfo(t.file(QString("save%1/konstr8.db").arg(taken))).isFile());
        QVERIFY(!QFileInfo::exists(t.file(QString("save%1").arg(taken + 1))));
        QCOMPARE(ReadTableSchema(t.file("konstr8.db")).level, 7);
    }

    // A conversion ended by a kill leaves its backup being filled, or whole
    // but not yet named (it takes its "save" name once the converted tables
    // are in place). The next check removes a half one; a whole one goes
    // when the tables are still old (the conversion runs again and keeps
    // its own) and becomes the first free "save" folder when they were
    // converted. Never a second backup of one conversion, never a "save"
    // folder that lacks a table.
    void backupLeftByAKilledConversion_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("staged");
        QTest::addColumn<int>("taken");     // save0 .. save(taken - 1) exist
        QTest::addColumn<QString>("kept");  // where the staged backup is afterwards, empty: gone
        QTest::addColumn<bool>("ownBackup");  // the check's conversion made save<taken>
        QTest::newRow("being filled, tables old: gone, converted anew") << 4 << ".korva-save-new" << 0 << "" << true;
        QTest::newRow("being filled, tables converted: gone") << 7 << ".korva-save-new" << 0 << "" << false;
        QTest::newRow("whole, tables old: gone, converted anew") << 4 << ".korva-save-complete" << 0 << "" << true;
        QTest::newRow("whole, tables converted: save0") << 7 << ".korva-save-complete" << 0 << "save0" << false;
        QTest::newRow("whole, tables converted, save0 taken: save1")
            << 7 << ".korva-save-complete" << 1 << "save1" << false;
    }
    void backupLeftByAKilledConversion() {
        QFETCH(int, level);
        QFETCH(QString, staged);
        QFETCH(int, taken);
        QFETCH(QString, kept);
        QFETCH(bool, ownBackup);
        TestDir t;
        OldProject o;
        o.level = level;
        MakeProject(t.path(), o);
        for (int n = 0; n < taken; ++n) QVERIFY(QDir().mkdir(t.file(QString("save%1").arg(n))));
        QVERIFY(QDir().mkdir(t.file(staged)));
        QFile marker(t.file(staged + "/marker"));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        QCOMPARE(CheckProjectDirectoryCode(t.path()), 0);
        QVERIFY(!QFileInfo::exists(t.file(".korva-save-new")));
        QVERIFY(!QFileInfo::exists(t.file(".korva-save-complete")));
        if (!kept.isEmpty()) QVERIFY(QFileInfo::exists(t.file(kept + "/marker")));
        const QString own = t.file(QString("save%1").arg(taken));
        QCOMPARE(QFileInfo(own + "/konstr8.db").isFile(), ownBackup);
        if (ownBackup) QVERIFY(!QFileInfo::exists(own + "/marker"));
        QVERIFY(!QFileInfo::exists(t.file(QString("save%1").arg(taken + 1))));
        for (const char* table : {"konstr8.db", "konstz8.db", "konbtl8.db", "konetr8.db", "prjinf8.db"})
            QCOMPARE(ReadTableSchema(t.file(table)).level, 7);
    }

    void oldLevelOfATableTheOpenProbeSkipped() {
        TestDir t;
        OldProject o;
        MakeProject(t.path(), o);
        SetTableLevel(t.file("prjinf8.db"), 5);
        QCOMPARE(CheckProjectDirectoryCode(t.path()), 0);
        QCOMPARE(ReadTableSchema(t.file("prjinf8.db")).level, 7);
    }

    void oldLevelAndOldFormatTogether() {
        TestDir t;
        OldProject o = OldInEveryRespect();
        o.level = 5;
        MakeProject(t.path(), o);
        ScriptedMessageSeam seam;
        seam.Answer(mr::Yes);
        QCOMPARE(CheckProjectFilesAtStart(t.path(), true), 0);
        QCOMPARE(TableFieldCount(t.path(), "konstz8.db"), 67);
        QCOMPARE(ReadTableSchema(t.file("konstz8.db")).level, 7);
        QCOMPARE(TableFieldCount(t.file("save0"), "konstz8.db"), 43);
    }

    void upgradeFailingMidwayChangesNothing() {
        TestDir t;
        MakeProject(t.path(), OldInEveryRespect());
        // The last table of the upgrade is damaged: the four before it are
        // already upgraded in the working copy when it fails.
        QFile bad(t.file("konetr8.db"));
        QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write(QByteArray(4096, 'x'));
        bad.close();
        const auto before = Snapshot(t.path());
        ScriptedMessageSeam seam;
        QVERIFY(!UpgradeProjectTables(t.path()));
        QCOMPARE(Snapshot(t.path()), before);
        QCOMPARE(int(seam.Requests().size()), 1);
        QCOMPARE(seam.Requests()[0].kind, MessageKind::Error);
        QVERIFY(!seam.Requests()[0].text.isEmpty());
    }

    void replacementFailingMidwayChangesNothing_data() {
        QTest::addColumn<int>("nth");
        QTest::newRow("first") << 1;
        QTest::newRow("third") << 3;
        QTest::newRow("last") << 5;
    }
    void replacementFailingMidwayChangesNothing() {
        QFETCH(int, nth);
        TestDir t;
        MakeProject(t.path(), OldInEveryRespect());
        const auto before = Snapshot(t.path());
        ScriptedMessageSeam seam;
        ArmWriteFault(nth);  // the n-th table taking its new content
        QVERIFY(!UpgradeProjectTables(t.path()));
        QCOMPARE(Snapshot(t.path()), before);
        QCOMPARE(int(seam.Requests().size()), 1);
        QCOMPARE(seam.Requests()[0].kind, MessageKind::Error);
        QCOMPARE(seam.Texts()[0], QString("Unable to remove converted files !\r\rInjected write failure"));
        // Disarmed again: the next upgrade goes through.
        QVERIFY(UpgradeProjectTables(t.path()));
        QCOMPARE(ProjectFormatCode(t.path()), 0);
    }

    void failedUpgradeIsReportedOnce() {
        TestDir t;
        OldProject o;
        o.shortKonetr = true;
        MakeProject(t.path(), o);
        const auto before = Snapshot(t.path());
        ScriptedMessageSeam seam;
        seam.Answer(mr::Yes);
        ArmWriteFault(1);
        QCOMPARE(CheckProjectDirectory(t.path(), false, false), -700);
        QCOMPARE(Snapshot(t.path()), before);
        QCOMPARE(int(seam.Requests().size()), 3);  // the question, the reason, the check's message
        QCOMPARE(seam.Texts()[1], QString("Unable to remove converted files !\r\rInjected write failure"));
        QCOMPARE(seam.Texts()[2], QString("An error occured during database conversion !"));
        QCOMPARE(seam.Requests()[2].kind, MessageKind::Error);
    }

    void conversionFailingKeepsProject() {
        TestDir t;
        OldProject o;
        o.level = 4;
        MakeProject(t.path(), o);
        for (int n = 0; n <= 50; ++n) QDir().mkdir(t.file(QString("save%1").arg(n)));
        const auto before = Snapshot(t.path());
        ScriptedMessageSeam seam;
        QCOMPARE(CheckProjectDirectory(t.path(), false, false), -700);
        QCOMPARE(Snapshot(t.path()), before);
        QCOMPARE(seam.Texts(), QStringList{"An error occured during database conversion !\r\r"
                                           "Unable to detect backup path !\rAborting conversion !"});
    }

    void conversionFailingAtTheEndLeavesNoBackup() {
        TestDir t;
        OldProject o;
        o.level = 4;
        MakeProject(t.path(), o);
        const auto before = Snapshot(t.path());
        ScriptedMessageSeam seam;
        ArmWriteFault(1);  // the first table taking its converted content
        QCOMPARE(CheckProjectDirectory(t.path(), true, false), -700);
        // The project as it was: no backup of a conversion that did not
        // happen, so the next one still takes "save0".
        QCOMPARE(Snapshot(t.path()), before);
        QVERIFY(!QFileInfo::exists(t.file("save0")));
        QCOMPARE(seam.Texts(), QStringList{"An error occured during database conversion !\r\rInjected write failure\r"
                                           "Unable to remove converted files !\rAborting conversion !"});
        QCOMPARE(CheckProjectDirectoryCode(t.path()), 0);
        QVERIFY(QFileInfo(t.file("save0/konstr8.db")).isFile());
        QVERIFY(!QFileInfo::exists(t.file("save1")));
    }

    void fieldsSpeltInAnotherCaseAreUpgraded() {
        TestDir t;
        OldProject o;
        o.shortKonbtl = true;
        MakeProject(t.path(), o);
        // The short text field and one field to be added, spelt otherwise.
        Sql(t.file("konbtl8.db"), "ALTER TABLE konbtl8 RENAME COLUMN KB_BTL_ZUS TO Kb_Btl_Zus");
        Sql(t.file("konetr8.db"), "ALTER TABLE konetr8 RENAME COLUMN KE_WST TO ke_wst");
        Sql(t.file("konstz8.db"), "ALTER TABLE konstz8 RENAME COLUMN K_HD_KZ TO k_hd_kz");
        QCOMPARE(ProjectFormatCode(t.path()), -13);
        ScriptedMessageSeam seam;
        QVERIFY(UpgradeProjectTables(t.path()));
        QVERIFY(seam.Requests().empty());
        QCOMPARE(TableFieldSize(t.path(), "konbtl8.db", "KB_BTL_ZUS"), 16);
        QCOMPARE(TableFieldCount(t.path(), "konstz8.db"), 67);
        QCOMPARE(ProjectFormatCode(t.path()), 0);
        QCOMPARE(Value(t.file("konbtl8.db"), "SELECT KB_BTL_ZUS FROM konbtl8 WHERE KB_POS = 1 AND KB_F_NR_AUS = 123450001"),
                 QString("14-CHARACTERS-"));
    }

    // A project directory named in Latin-1 bytes, as a host on another code
    // page passes it: the program reads the name as "café" and can reach no
    // such path. It is refused as a directory out of reach, naming it and
    // why, never taken for a missing one (where a new project would go).
    void latinNamedDirectoryIsOutOfReach() {
        TestDir t;
        const QByteArray raw = QFile::encodeName(t.path()) + "/caf\xe9";
        QCOMPARE(::mkdir(raw.constData(), 0700), 0);
        const QString decoded = t.path() + "/caf" + QChar(0xe9);
        QVERIFY(!QFileInfo::exists(decoded));
        ScriptedMessageSeam seam;
        QCOMPARE(CheckProjectFilesAtStart(decoded, false), int(checkcode::UnreachableDirectory));
        const QString message = CheckCodeMessage(checkcode::UnreachableDirectory, decoded);
        QVERIFY2(message.contains(decoded) && message.contains("Latin-1") && !message.contains("does not exist"),
                 qPrintable(message));
        QCOMPARE(CheckProjectDirectoryCode(decoded), int(checkcode::UnreachableDirectory));
        QVERIFY(seam.Requests().empty());
        QVERIFY(!QFileInfo::exists(decoded));
        // A plain file in the directory's place is out of reach too; a name
        // that truly is not there is a missing directory.
        QFile file(t.file("plain"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(CheckProjectFilesAtStart(t.file("plain"), false), int(checkcode::UnreachableDirectory));
        QVERIFY(LastCheckErrors().join(' ').contains("Not a directory"));
        QCOMPARE(CheckProjectFilesAtStart(t.file("caf") + QChar(0xe8), false), int(checkcode::NoDirectory));
        QCOMPARE(::rmdir(raw.constData()), 0);  // a name Qt cannot remove either
    }

    // What stands under the name of the project's commit file is no
    // project table: the check finds a usable project and blames no table
    // for it, and a store goes through the user's own commit file; with
    // neither commit file usable the project still reads, and a write is
    // refused naming the commit files, not a table.
    void strayCommitFile_data() {
        QTest::addColumn<QString>("stray");  // "file", "dir" or "link" (to a file elsewhere)
        QTest::addColumn<bool>("ownToo");    // the user's own commit file is a directory too
        QTest::newRow("a stray file") << "file" << false;
        QTest::newRow("a directory") << "dir" << false;
        QTest::newRow("a link to a file outside the project") << "link" << false;
        QTest::newRow("both unusable") << "dir" << true;
    }
    void strayCommitFile() {
        QFETCH(QString, stray);
        QFETCH(bool, ownToo);
        TestDir t;
        ScriptedMessageSeam seam;
        QVERIFY(CreateProjectTables(t.path()));
        const QString shared = t.file(".korva-commit");
        // A link would put the commit file, and the super-journal beside
        // it, outside the project.
        const QString elsewhere = t.file("elsewhere/commit");
        if (stray == "dir") {
            QVERIFY(QDir().mkpath(shared));
        } else if (stray == "link") {
            QVERIFY(QDir().mkpath(t.file("elsewhere")));
            QVERIFY(QFile::link(elsewhere, shared));
        } else {
            QFile f(shared);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, '\x5a'));
        }
        if (ownToo) QVERIFY(QDir().mkpath(t.file(QString(".korva-commit-u%1").arg(::getuid()))));
        QCOMPARE(CheckProjectFilesAtStart(t.path(), false), checkcode::Usable);
        QCOMPARE(CheckProjectDirectoryCode(t.path()), checkcode::Usable);
        QVERIFY(seam.Requests().empty());
        TTable konetr(t.path(), ProjectTableFileName(ProjectTable::Konetr));
        TDatabase& db = Session().OpenDatabase(t.path());
        try {
            db.StartTransaction();
            konetr.Open();
            konetr.Append();
            konetr.FieldByName("KE_F_NR_AUS").SetAsInteger(4711);
            konetr.Post();
            db.Commit();
            QVERIFY2(!ownToo, "wrote without a commit file");
        } catch (const EDBEngineError& e) {
            QVERIFY2(ownToo, qPrintable(e.Message()));
            QVERIFY2(e.Message().contains(shared + " (a directory has its name)"), qPrintable(e.Message()));
            QVERIFY2(!e.Message().contains("prjinf8") && !e.Message().contains("konetr8"), qPrintable(e.Message()));
        }
        konetr.Close();
        Session().Close();
        sqlite3* plain = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(t.file(ProjectTableFileName(ProjectTable::Konetr))).constData(), &plain,
                                 SQLITE_OPEN_READONLY, nullptr),
                 SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        QCOMPARE(sqlite3_prepare_v2(plain, "SELECT count(*) FROM konetr8", -1, &st, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_step(st), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(st, 0), ownToo ? 0 : 1);
        sqlite3_finalize(st);
        sqlite3_close(plain);
        // The stray is left as it was found.
        QCOMPARE(QFileInfo(shared).isDir(), stray == "dir");
        QCOMPARE(QFileInfo(shared).isSymLink(), stray == "link");
        QVERIFY(!QFileInfo::exists(elsewhere));
        if (stray == "file") QCOMPARE(QFileInfo(shared).size(), 4096);
    }

    // A directory under a table's name is no table.
    void directoryInPlaceOfATable() {
        TestDir t;
        MakeProject(t.path(), OldProject{});
        QVERIFY(QFile::remove(t.file("prjinf8.db")));
        QVERIFY(QDir().mkpath(t.file("prjinf8.db")));
        QCOMPARE(ProjectFilesCode(t.path()), -1);
        QCOMPARE(TableFieldCount(t.path(), "prjinf8.db"), 0);
    }

    void messages_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("-1") << "rm prjinf8.db" << true << 0 << -1 << int(MessageKind::Error)
                            << "The file \"%P/prjinf8.db\" does not exist !";
        QTest::newRow("-3") << "rm konetr8.db" << true << 0 << -3 << int(MessageKind::Error)
                            << "The file \"%P/konetr8.db\" does not exist !";
        QTest::newRow("-102") << "unindex konstr8" << true << 0 << -102 << int(MessageKind::Error)
                              << "The file \"%P/konstr8.px\" does not exist !";
        QTest::newRow("-105") << "unindex konstz8" << true << 0 << -105 << int(MessageKind::Error)
                              << "The file \"%P/konstz8.px\" does not exist !";
        QTest::newRow("-107 rebuilt") << "no konbtl8 index" << true << 0 << -107 << int(MessageKind::Information)
                                      << "File \"konbtl8.px\" successfully created.\r\rPlease restart the program!";
        QTest::newRow("-107 duplicate keys") << "no konbtl8 index dup" << true << 0 << -107 << int(MessageKind::Error)
                                             << "Unable to create \"%P/konbtl8.px\" !";
        QTest::newRow("-800 quiet") << "old konetr8" << true << 0 << -800 << int(MessageKind::Information)
                                    << "Procedure cancled !\rFormat of project files obsolete !\r"
                                       "Project files are not usable !";
        QTest::newRow("-900") << "no konstz8" << false << mr::No << -900 << int(MessageKind::Information)
                              << "Aborted !";
        QTest::newRow("-52 after upgrade") << "konstr8 pos 40" << false << mr::Yes << -52 << int(MessageKind::Error)
                                           << "The file \"%P/konstr8.db\" has the wrong format !";
        QTest::newRow("-15 own message") << "konstz8 extra" << false << mr::Yes << -15 << int(MessageKind::Error)
                                         << "The file \"%P/konstz8.db\" has the wrong format !";
        QTest::newRow("engine error") << "corrupt konbtl8" << true << 0 << 18 << int(MessageKind::Error)
                                      << "Unknown check error occurred ($12) !\r"
                                         "Please contact ZORBEL for further information !\rError message:\r";
    }
    void messages() {
        QFETCH(QString, setup);
        QFETCH(bool, quiet);
        QFETCH(int, answer);
        QFETCH(int, code);
        QFETCH(int, kind);
        QFETCH(QString, text);
        TestDir t;
        OldProject o;
        o.konstz = setup != "no konstz8";
        o.shortKonetr = setup == "old konetr8";
        o.konbtlIndex = !setup.startsWith("no konbtl8 index");
        MakeProject(t.path(), o);
        const QStringList words = setup.split(' ');
        if (words[0] == "rm") QVERIFY(QFile::remove(t.file(words[1])));
        if (words[0] == "unindex") Sql(t.file(words[1] + ".db"), QString("DROP INDEX \"%1$PRIMARY\"").arg(words[1]));
        if (setup.endsWith("dup"))
            Sql(t.file("konbtl8.db"), "INSERT INTO konbtl8 (KB_F_NR_AUS, KB_LFD_ZNR, KB_POS) VALUES (123450001, 1, 2)");
        if (setup == "konstr8 pos 40") {
            TFieldDefs defs = ReadTableSchema(t.file("konstr8.db")).fields;
            defs[10].size = 40;  // K_POS_NR: the upgrade never shortens it
            RestructureTableFile(t.file("konstr8.db"), defs);
        }
        if (setup == "konstz8 extra") {
            TFieldDefs defs = ReadTableSchema(t.file("konstz8.db")).fields;
            defs << TFieldDef{"K_LATER", TFieldType::SmallInt, 0};
            RestructureTableFile(t.file("konstz8.db"), defs);
        }
        if (setup == "corrupt konbtl8") {
            QFile f(t.file("konbtl8.db"));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("this is not a table file at all, only text");
        }
        ScriptedMessageSeam seam;
        if (answer) seam.Answer(answer);
        QCOMPARE(CheckProjectDirectory(t.path(), quiet, false), code);
        QVERIFY(!seam.Requests().empty());
        const MessageRequest& last = seam.Requests().back();
        QCOMPARE(int(last.kind), kind);
        if (code == 18) {
            QVERIFY2(last.text.startsWith(text), qPrintable(last.text));
            QVERIFY(last.text.size() > text.size());  // the layer's own message follows
        } else {
            const QString expected = QString(text).replace("%P", t.path());
            // A failed rebuild adds the layer's reason below the text.
            if (setup.endsWith("dup")) QVERIFY2(last.text.startsWith(expected + "\r"), qPrintable(last.text));
            else QCOMPARE(last.text, expected);
        }
        if (setup == "no konbtl8 index") QCOMPARE(ProjectFilesCode(t.path()), 0);
        if (setup == "no konbtl8 index dup") QCOMPARE(ProjectFilesCode(t.path()), -107);
    }
};

QTEST_MAIN(TstDbCheck)
#include "tst_dbcheck.moc"
