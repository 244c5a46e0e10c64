// The global data module: configuration errors, the settings table upgrade,
// the per-run private directory and the lists' calculated fields.
#include "tst_access_fixture.h"

#include "data/AlterTableClass.h"
#include "data/DBGLOB.h"
#include "data/FileUtils.h"
#include "localisation/IvBinDic.h"
#include "platform/FaultInjection.h"
#include "platform/RunDirectory.h"

#include <QDirIterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TFieldDefs Defs(const QStringList& columns) {
    TFieldDefs defs;
    for (const QString& c : columns)
        defs << FieldDefFromCode(c.section(' ', 0, 0), c.section(' ', 1));
    return defs;
}

void WriteSettingsRow(const QString& dir, const QVariantMap& values) {
    TTable t(dir, "FIRDAT.DB");
    t.Open();
    t.Append();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        t.FieldByName(it.key()).SetValue(it.value());
    t.Post();
}

// The session keeps table files attached: let them go before a file is
// replaced.
void RemoveTable(const QString& path) {
    Session().Close();
    QFile::remove(path);
}

QStringList KorvaDirs(const QString& tmp) {
    return QDir(tmp).entryList({"KORVA*"}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::CaseSensitive);
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

const QStringList ListColumns{"K_LFD_NR I",  "K_NR I",        "STA_KBEZ A4",   "K_FDR_RATE N",  "K_WEG_X N",
                              "K_WEG_Y N",   "K_WEG_Z N",     "K_BLOCKIER S",  "K_LAST N",      "K_LAST_AUSG N",
                              "K_KALWAR_KZ L", "K_LAST_BLOK N", "K_GEW_GES N", "K_ARBWEG S",    "K_PRS_GES N",
                              "K_KATA_KZ L", "K_EINH_KZ L",   "K_KERNTECH L",  "STA_L_NR A6",   "STA_L_NR_I A6",
                              "STA_L_NR_K A6", "STA_L_NR_K_I A6"};

}  // namespace

class TestDbGlob : public QObject {
    Q_OBJECT

    std::unique_ptr<CatalogueFixture> f;
    TestDir tmp;  // the temporary folder of the module under test

private slots:
    void initTestCase() { qputenv("TMPDIR", tmp.path().toLocal8Bit()); }
    void init() {
        ResetCalcState();
        f = std::make_unique<CatalogueFixture>();
        WriteSettingsRow(f->dir.path(), {{"F_NR", 4711}, {"PREISE_ERLAUBT", true}, {"F_PREISE", true}});
    }
    void cleanup() {
        f.reset();
        PrintTextTranslator = nullptr;
    }

    void missingDirectory() {
        CatalogueFixture::PointAlias(f->dir.file("nowhere"));
        try {
            TDBGLOBAL g;
            QFAIL("created");
        } catch (const EGeneralError& e) {
            QCOMPARE(e.Message(), "BDE configuration error #1 ( Alias: KORVA_9_0 ?)\rDirectory : \"" +
                                      f->dir.file("nowhere") + "/\" does not exist!");
        }
        QVERIFY(!DBGLOBAL);
    }

    void missingSettingsTable() {
        RemoveTable(TablePath(f->dir.path(), "FIRDAT.DB"));
        try {
            TDBGLOBAL g;
            QFAIL("created");
        } catch (const EGeneralError& e) {
            QCOMPARE(e.Message(), "BDE configuration error #2 ( Alias: KORVA_9_0 ?)\rFile firdat.db does not exist in directory \"" +
                                      f->path() + "\" !");
        }
    }

    void oldSettingsTableIsUpgraded() {
        const QString path = TablePath(f->dir.path(), "FIRDAT.DB");
        RemoveTable(path);
        const CatalogueTableDef& legacy = LegacyFirdatTable();
        CreateTableFile(path, legacy.fieldDefs());
        QCOMPARE(TableFieldCount(path), 84);
        WriteSettingsRow(f->dir.path(), {{"F_NR", 12}, {"F_KDN_ZNR", "KD-0815"}, {"PREISE_ERLAUBT", true}});
        TDBGLOBAL g;
        const TableSchema schema = ReadTableSchema(path);
        QCOMPARE(TableFieldCount(path), 91);
        for (const CatalogueColumn& c : FirdatUpgradeColumns())
            QVERIFY2(TAlterTable(path).FieldExists(c.name), qPrintable(c.name));
        QCOMPARE(TAlterTable(path).FieldExists("F_KDN_ZNR")->Size(), 25);
        TTable t(f->dir.path(), "FIRDAT.DB");
        t.Open();
        QCOMPARE(t.FieldByName("F_KDN_ZNR").AsString(), QStringLiteral("KD-0815"));
        QCOMPARE(CompanyNumber, 12);
    }

    // A settings table that lacks a field (not the 84-field release) is
    // upgraded as well.
    void settingsTableMissingOneField() {
        const QString path = TablePath(f->dir.path(), "FIRDAT.DB");
        TFieldDefs defs = CatalogueTable("FIRDAT.DB").fieldDefs();
        defs.removeLast();
        RemoveTable(path);
        CreateTableFile(path, defs);
        WriteSettingsRow(f->dir.path(), {{"F_NR", 3}, {"PREISE_ERLAUBT", true}});
        TDBGLOBAL g;
        QCOMPARE(TableFieldCount(path), CatalogueTable("FIRDAT.DB").columnCount());
    }

    void currentSettingsTableUntouched() {
        const QString path = TablePath(f->dir.path(), "FIRDAT.DB");
        Session().Close();
        const QByteArray before = FileBytes(path);
        {
            TDBGLOBAL g;
            QCOMPARE(CompanyNumber, 4711);
        }
        Session().Close();
        QCOMPARE(FileBytes(path), before);
    }

    void pricesNotAllowed() {
        RemoveTable(TablePath(f->dir.path(), "FIRDAT.DB"));
        CreateTableFile(TablePath(f->dir.path(), "FIRDAT.DB"), CatalogueTable("FIRDAT.DB").fieldDefs());
        WriteSettingsRow(f->dir.path(), {{"F_NR", 1}, {"PREISE_ERLAUBT", false}, {"F_PREISE", true}});
        { TDBGLOBAL g; }
        TTable t(f->dir.path(), "FIRDAT.DB");
        t.Open();
        QVERIFY(!t.FieldByName("F_PREISE").AsBoolean());
    }

    void privateDirectoryPerRun() {
        QString first;
        {
            TDBGLOBAL g;
            first = g.TempWorkDir;
            QVERIFY(first.startsWith(tmp.path() + "/KORVA"));
            QVERIFY(QFileInfo(first).isDir());
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(first).constData(), &st), 0);
            QCOMPARE(st.st_mode & 0777, 0700u);
            QCOMPARE(Session().PrivateDir(), AddBackslash(first));
            QCOMPARE(Session().AliasPath("KORVA_TEMPDB"), AddBackslash(first));
            // The temporary tables live there.
            g.LEK12.SetDatabaseName("DB_TMP");
            g.LEK12.CreateTable(Defs({"K_PRS_GES N", "K_GEW_GES N"}));
            QVERIFY(QFileInfo::exists(first + "/lek12.db"));
            TDBGLOBAL* global = DBGLOBAL;
            QCOMPARE(global, &g);
            TDBGLOBAL second;
            QVERIFY(second.TempWorkDir != first);
        }
        QVERIFY(!QFileInfo::exists(first));
        QVERIFY(!Session().IsAlias("KORVA_TEMPDB"));
        QVERIFY(Session().PrivateDir().isEmpty());
        QVERIFY2(KorvaDirs(tmp.path()).isEmpty(), qPrintable(KorvaDirs(tmp.path()).join(",")));
    }

    // A start that fails after the private directory was made leaves no
    // directory behind.
    void failedStartRemovesDirectory() {
        const QString path = TablePath(f->dir.path(), "FIRDAT.DB");
        RemoveTable(path);
        CreateTableFile(path, Defs({"F_NR I", "F_KDN_ZNR A25"}));
        try {
            TDBGLOBAL g;
            QFAIL("created");
        } catch (const EGeneralError& e) {
            QCOMPARE(e.Message(), QStringLiteral("BDE configuration error #4 ( Alias: KORVA_9_0 ?)"));
        }
        QVERIFY2(KorvaDirs(tmp.path()).isEmpty(), qPrintable(KorvaDirs(tmp.path()).join(",")));
        QVERIFY(!Session().IsAlias("KORVA_TEMPDB"));
    }

    // A run that exits without destroying the module leaves no directory.
    // The child reports through a pipe whether its directory existed; its
    // exit status is not looked at (the leak checker may change it in a
    // forked child).
    void exitRemovesDirectory() {
        int fds[2];
        QCOMPARE(::pipe(fds), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            static TDBGLOBAL* kept = nullptr;  // reachable, so not reported
            char answer = '0';
            try {
                kept = new TDBGLOBAL;
                answer = KorvaDirs(tmp.path()).size() == 1 && kept ? '1' : '0';
            } catch (...) {
            }
            (void)!::write(fds[1], &answer, 1);
            std::exit(0);
        }
        ::close(fds[1]);
        char answer = 0;
        QCOMPARE(::read(fds[0], &answer, 1), ssize_t(1));
        ::close(fds[0]);
        int status = -1;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QCOMPARE(answer, '1');
        QVERIFY(KorvaDirs(tmp.path()).isEmpty());
    }

    // A terminating signal while the module removes its private directory
    // at its end: the handler removes the rest.
    void signalDuringTheRemovalLeavesNothing() {
        const pid_t pid = ::fork();
        if (pid == 0) {
            InstallRunDirectorySignalHandlers();
            static TDBGLOBAL* kept = nullptr;  // reachable, so not reported
            try {
                kept = new TDBGLOBAL;
                for (const char* name : {"a.db", "b.db", "c.db"}) {
                    QFile f(QDir(kept->TempWorkDir).filePath(QLatin1String(name)));
                    if (!f.open(QIODevice::WriteOnly)) std::_Exit(2);
                }
                SetRemovalStepHook([] {
                    static volatile sig_atomic_t sent = 0;
                    if (sent) return;
                    sent = 1;
                    ::raise(SIGTERM);
                });
                delete kept;
            } catch (...) {
            }
            std::_Exit(3);
        }
        int status = -1;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM, qPrintable(QString::number(status)));
        QVERIFY2(KorvaDirs(tmp.path()).isEmpty(), qPrintable(KorvaDirs(tmp.path()).join(",")));
    }

    void listFields_data() {
        QTest::addColumn<bool>("metric");
        QTest::addColumn<QVariantMap>("row");
        QTest::addColumn<QVariantMap>("expected");
        const QVariantMap base{{"K_LFD_NR", 17},      {"K_NR", 12345},      {"STA_KBEZ", "210"},
                               {"K_FDR_RATE", 12.345}, {"K_WEG_X", 25.4},    {"K_WEG_Y", -12.7},
                               {"K_WEG_Z", 0.125},   {"K_BLOCKIER", 100},  {"K_LAST", 10.0},
                               {"K_LAST_AUSG", 12.0}, {"K_LAST_BLOK", 1.0}, {"K_GEW_GES", 10.0},
                               {"K_ARBWEG", 254},    {"K_PRS_GES", 99.999}, {"STA_L_NR", "M"},
                               {"STA_L_NR_I", "I"},  {"STA_L_NR_K", "K"},  {"STA_L_NR_K_I", "J"}};
        QVariantMap metric = base;
        metric.insert("K_KATA_KZ", false);
        QTest::newRow("metric") << true << metric
                                << QVariantMap{{"CALC_ZNR", "17 - 3 - 12345"}, {"CALC_FDR_RATE", 12.35},
                                               {"CALC_WEG_X", 25.4},           {"CALC_WEG_Y", -12.7},
                                               {"CALC_WEG_Z", 0.12},           {"CALC_K_LAST", 10.0},
                                               {"CALC_GEW_GES", 10.0},         {"CALC_PRS_GES", 100.0},
                                               {"CALC_PRS_GES_STR", "100.00"}, {"CALC_TYP_NR", "M"}};
        QVariantMap imperial = base;
        imperial.insert("K_KATA_KZ", true);
        imperial.insert("K_KERNTECH", true);
        imperial.insert("K_KALWAR_KZ", true);
        QTest::newRow("imperial") << false << imperial
                                  << QVariantMap{{"CALC_FDR_RATE", 70.5}, {"CALC_WEG_X", 1.0},
                                                 {"CALC_WEG_Y", -0.5},    {"CALC_BLOCKIER", 3.937},
                                                 {"CALC_K_LAST", 2696.8}, {"CALC_LAST_BLOK", 224.7},
                                                 {"CALC_GEW_GES", 22.05}, {"CALC_ARBWEG", 10.0},
                                                 {"CALC_TYP_NR", "J"}};
        QVariantMap unitFlag = base;  // K_KATA_KZ empty: the unit flag decides
        unitFlag.insert("K_EINH_KZ", true);
        unitFlag.insert("K_PRS_GES", 0.0);
        QTest::newRow("unit flag, no price") << true << unitFlag
                                             << QVariantMap{{"CALC_TYP_NR", "I"}, {"CALC_PRS_GES_STR", "a.A.*"}};
    }
    void listFields() {
        QFETCH(bool, metric);
        QFETCH(QVariantMap, row);
        QFETCH(QVariantMap, expected);
        TDBGLOBAL g;
        ConstructionRecord.F_DRCK_GEW_KZ = metric;
        TTable& t = g.LEK14;
        t.CreateTable(Defs(ListColumns));
        t.Open();
        t.Append();
        for (auto it = row.cbegin(); it != row.cend(); ++it)
            t.FieldByName(it.key()).SetValue(it.value());
        t.Post();
        t.First();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            const QVariant actual = t.FieldByName(it.key()).Value();
            if (it.value().typeId() == QMetaType::Double)
                QVERIFY2(qAbs(actual.toDouble() - it.value().toDouble()) < 1e-9,
                         qPrintable(it.key() + " = " + actual.toString()));
            else
                QCOMPARE(actual.toString(), it.value().toString());
        }
    }

    void listTypeName() {
        TDBGLOBAL g;
        PrintTextTranslator = [](const QString& s) { return "<" + s + ">"; };
        TTable& t = g.LEK31;
        t.CreateTable(Defs(ListColumns));
        t.Open();
        for (const char* code : {"210", "x1"}) {
            t.Append();
            t.FieldByName("STA_KBEZ").SetValue(code);
            t.Post();
        }
        t.First();
        QCOMPARE(t.FieldByName("CALC_BEZ").AsString(), "<" + ErrorTextByNumber(210) + ">");
        t.Next();
        QCOMPARE(t.FieldByName("CALC_BEZ").AsString(), QString());
    }

    // The list's type name goes through the print dictionary in its
    // language: a type code comes out as the product's name, never as a
    // message key.
    void listTypeNameThroughPrintDictionary_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("spring");
        QTest::addColumn<QString>("clampBase");
        QTest::newRow("native") << 0 << "Var. spring hanger" << "Clamp base, 2-way parallel guide";
        QTest::newRow("German") << 1 << "Federhänger" << "Schellenlager, zweiseitig parallel geführt";
        QTest::newRow("English") << 2 << "Var. spring hanger" << "Clamp base, 2-way parallel guide";
    }
    void listTypeNameThroughPrintDictionary() {
        QFETCH(int, language);
        QFETCH(QString, spring);
        QFETCH(QString, clampBase);
        static TIvBinaryDictionary* print = nullptr;
        TIvBinaryDictionary dictionary;
        dictionary.SetFileName(QStringLiteral(KORVA_BINARY_DIR "/Korvaprn.mld"));
        dictionary.SetLanguage(language);
        dictionary.Open();
        QVERIFY(dictionary.IsOpen());
        print = &dictionary;
        PrintTextTranslator = [](const QString& s) { return TranslateWord(print, s); };
        TDBGLOBAL g;
        TTable& t = g.LEK31;
        t.CreateTable(Defs(ListColumns));
        t.Open();
        for (const char* code : {"210", "4920", "4922"}) {
            t.Append();
            t.FieldByName("STA_KBEZ").SetValue(code);
            t.Post();
        }
        t.First();
        QCOMPARE(t.FieldByName("CALC_BEZ").AsString(), spring);
        t.Next();
        QCOMPARE(t.FieldByName("CALC_BEZ").AsString(), clampBase);
        t.Next();
        QCOMPARE(t.FieldByName("CALC_BEZ").AsString(), QStringLiteral("Unknown Error occured, No. 4922"));
        t.Close();
        PrintTextTranslator = nullptr;
    }

    // The parts list's price in the day's rate and its weight unit: 1 for
    // kilograms, 0.4536 kg a pound otherwise.
    void partsListFields_data() {
        QTest::addColumn<bool>("metric");
        QTest::addColumn<double>("unit");
        QTest::newRow("kilograms") << true << 1.0;
        QTest::newRow("pounds") << false << 0.4536;
    }
    void partsListFields() {
        QFETCH(bool, metric);
        QFETCH(double, unit);
        TDBGLOBAL g;
        ConstructionRecord.F_TGKURS = 1.5;
        ConstructionRecord.F_DRCK_GEW_KZ = metric;
        TTable& t = g.DBLEK8;
        t.CreateTable(Defs({"PRS N"}));
        t.Open();
        t.Append();
        t.FieldByName("PRS").SetValue(10.25);
        t.Post();
        t.First();
        QCOMPARE(t.FieldByName("PRS_TKS").AsFloat(), 15.375);
        QCOMPARE(t.FieldByName("GEW_EH").AsFloat(), unit);
        t.Close();
    }

    void priceListFields() {
        TDBGLOBAL g;
        ConstructionRecord.F_TGKURS = 1.5;
        ConstructionRecord.F_DRCK_GEW_KZ = false;
        TTable& t = g.LEK12;
        t.CreateTable(Defs({"K_PRS_GES N", "K_GEW_GES N"}));
        t.Open();
        for (double price : {10.005, 0.0}) {
            t.Append();
            t.FieldByName("K_PRS_GES").SetValue(price);
            t.FieldByName("K_GEW_GES").SetValue(3.0);
            t.Post();
        }
        t.First();
        QCOMPARE(t.FieldByName("CALC_PRS_TGK").AsFloat(), 15.01);
        QCOMPARE(t.FieldByName("CALC_PRS_TGK_STR").AsString(), QStringLiteral("15.01"));
        QCOMPARE(t.FieldByName("CALC_GEW_GES").AsFloat(), 6.61);
        t.Next();
        QCOMPARE(t.FieldByName("CALC_PRS_TGK_STR").AsString(), QStringLiteral("a.A.*"));
    }
};

QTEST_GUILESS_MAIN(TestDbGlob)
#include "tst_dbglob.moc"
