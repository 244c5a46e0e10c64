// The project check as the engineer meets it when the host starts the
// input form on a project directory: the real form, the real check, the
// program's own services; only the answers to the boxes are scripted. A
// refused project names its file in the box and in the host error file; an
// old project without konstz8.db is brought up to date in the same run; a
// missing parts-list index is rebuilt; a new support gets a free running
// number.
#include "data/DBCREATE.h"
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/DBcheck.h"
#include "data/FIRAUFKON.h"
#include "data/ProjectSchema.h"
#include "forms/LEK1.h"
#include "forms/LEK1Services.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "messages/MessageSeam.h"
#include "platform/LockFile.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"
#include "ui/Lek15Warten.h"

#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QtTest>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <sqlite3.h>

namespace {

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

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void AddField(const QString& path, const TFieldDef& field) {
    TFieldDefs defs = ReadTableSchema(path).fields;
    defs << field;
    RestructureTableFile(path, defs);
}

TFieldDefs Resized(TFieldDefs defs, const QMap<QString, int>& sizes) {
    for (TFieldDef& f : defs)
        if (sizes.contains(f.name)) f.size = sizes[f.name];
    return defs;
}

// Sees every event of the program while it lives.
class EventRecorder : public QObject {
public:
    explicit EventRecorder(std::function<void(QObject*, QEvent*)> see) : m_see(std::move(see)) {
        qApp->installEventFilter(this);
    }
    ~EventRecorder() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
        m_see(o, e);
        return false;
    }

private:
    std::function<void(QObject*, QEvent*)> m_see;
};

}  // namespace

class TestProjectStart : public QObject {
    Q_OBJECT
    TestDir base;
    std::unique_ptr<TestDir> work;
    std::unique_ptr<TDBKONST> konst;
    std::unique_ptr<TDBGLOBAL> global;
    std::unique_ptr<TFLEK1> form;
    std::unique_ptr<ScriptedMessageSeam> seam;

    QString Project() const { return work->file(QStringLiteral("project")); }
    QString ErrorFile() const { return work->file(QStringLiteral("KORVA_MDS_ERROR.Z3D")); }

    void Start() {
        QFile f(work->file(QStringLiteral("input.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[DWG]\nHangerMark=S-1\nDwgNo=77\n[LOAD]\nNormal=10\n[PIPE]\nSIZE=114.3\nTemp=200\n"
                "[MDSHangerConfig]\nConfig=1\n");
        f.close();
        ResetHostGlobals();
        CalcGlobals.Reset();
        ConstructionRecord.Reset();
        InputFileName = f.fileName();
        OutputFileName = work->file(QStringLiteral("out.zof"));
        CmdProjectDir = Project();
        konst = std::make_unique<TDBKONST>();
        global = std::make_unique<TDBGLOBAL>();
        form = std::make_unique<TFLEK1>();
    }

    // The company settings' drawing and running number.
    void SetRunningNumber(int drawing, int running) {
        TTable firdat(QStringLiteral("KORVA_9_0"), QStringLiteral("FIRDAT.DB"));
        firdat.Open();
        firdat.First();
        firdat.Edit();
        firdat.FieldByName(QStringLiteral("F_NR")).SetAsInteger(drawing);
        firdat.FieldByName(QStringLiteral("F_LFD_NR")).SetAsInteger(running);
        firdat.Post();
        firdat.Close();
        Session().DropConnections();
    }

private slots:
    void initTestCase() {
        const QString catalogue = base.file(QStringLiteral("catalogue"));
        QDir().mkpath(catalogue);
        const QDir demo(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue"));
        QVERIFY2(demo.exists(QStringLiteral("Pgstat.DB")), "the demo catalogue is built");
        for (const QString& f : demo.entryList(QDir::Files))
            QVERIFY(QFile::copy(demo.filePath(f), QDir(catalogue).filePath(f)));
        QFile aliases(base.file(QStringLiteral("aliases.ini")));
        QVERIFY(aliases.open(QIODevice::WriteOnly));
        aliases.write(QStringLiteral("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
        aliases.close();
        qputenv("KORVA_ALIAS_FILE", aliases.fileName().toLocal8Bit());
        Session().ReloadAliases();
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, base.file(QStringLiteral("registry")));
    }

    void init() {
        work = std::make_unique<TestDir>();
        QDir::setCurrent(work->path());
        QDir().mkpath(Project());
        seam = std::make_unique<ScriptedMessageSeam>();
        LEK1Services() = {};
        UseProgramServices();
    }

    void cleanup() {
        form.reset();
        global.reset();
        konst.reset();
        seam.reset();
        LEK1Services() = {};
        Session().Close();
        QDir::setCurrent(QDir::tempPath());
    }

    // Each refusal with the text the check has for its code, naming the file
    // in the project directory; the same text goes to the host.
    void refusalNamesTheFile_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("text");  // %P: the project directory
        const QString missing = QStringLiteral("The file \"%P/%1\" does not exist !");
        const QString wrong = QStringLiteral("The file \"%P/%1\" has the wrong format !");
        QTest::newRow("-1 prjinf8") << "rm prjinf8.db" << 0 << missing.arg("prjinf8.db");
        QTest::newRow("-2 konstr8") << "rm konstr8.db" << 0 << missing.arg("konstr8.db");
        QTest::newRow("-3 konetr8") << "rm konetr8.db" << 0 << missing.arg("konetr8.db");
        QTest::newRow("-4 konbtl8") << "rm konbtl8.db" << 0 << missing.arg("konbtl8.db");
        QTest::newRow("-102 konstr8 index") << "unindex konstr8" << 0 << missing.arg("konstr8.px");
        QTest::newRow("-105 konstz8 index") << "unindex konstz8" << 0 << missing.arg("konstz8.px");
        QTest::newRow("-11 prjinf8") << "extra prjinf8" << int(mr::Yes) << wrong.arg("prjinf8.db");
        QTest::newRow("-12 konstr8") << "extra konstr8" << int(mr::Yes) << wrong.arg("konstr8.db");
        QTest::newRow("-13 konbtl8") << "extra konbtl8" << int(mr::Yes) << wrong.arg("konbtl8.db");
        QTest::newRow("-14 konetr8") << "extra konetr8" << int(mr::Yes) << wrong.arg("konetr8.db");
        QTest::newRow("-15 konstz8") << "extra konstz8" << int(mr::Yes) << wrong.arg("konstz8.db");
        QTest::newRow("-52 K_POS_NR") << "wide K_POS_NR" << int(mr::Yes) << wrong.arg("konstr8.db");
        QTest::newRow("-53 KE_WST") << "wide konetr8 KE_WST" << int(mr::Yes) << wrong.arg("konetr8.db");
        QTest::newRow("-53 KE_BEZ") << "wide konetr8 KE_BEZ" << int(mr::Yes) << wrong.arg("konetr8.db");
        QTest::newRow("-54 KB_BTL_ZUS") << "wide konbtl8 KB_BTL_ZUS" << int(mr::Yes) << wrong.arg("konbtl8.db");
        QTest::newRow("-800 declined") << "extra konetr8" << int(mr::No)
                                       << "Procedure cancled ! Format of project files obsolete ! "
                                          "Project files are not usable !";
        QTest::newRow("-900 declined") << "rm konstz8.db" << int(mr::No) << "Aborted !";
    }
    void refusalNamesTheFile() {
        QFETCH(QString, setup);
        QFETCH(int, answer);
        QFETCH(QString, text);
        const QString p = Project();
        QVERIFY(CreateProjectTables(p));
        const QStringList words = setup.split(u' ');
        if (words[0] == QLatin1String("rm")) QVERIFY(QFile::remove(TablePath(p, words[1])));
        if (words[0] == QLatin1String("unindex"))
            Sql(TablePath(p, words[1]), QStringLiteral("DROP INDEX \"%1$PRIMARY\"").arg(words[1]));
        if (words[0] == QLatin1String("extra")) AddField(TablePath(p, words[1]), {"K_LATER", TFieldType::SmallInt, 0});
        // A text field wider than the current format: the upgrade never
        // shortens a field, so the format stays wrong.
        if (words[0] == QLatin1String("wide") && words.size() == 3)
            RestructureTableFile(TablePath(p, words[1]),
                                 Resized(ReadTableSchema(TablePath(p, words[1])).fields, {{words[2], 40}}));
        if (setup == QLatin1String("wide K_POS_NR")) {
            TFieldDefs defs = ReadTableSchema(TablePath(p, "konstr8")).fields;
            defs[10].size = 40;  // the upgrade never shortens a field
            RestructureTableFile(TablePath(p, "konstr8"), defs);
        }
        if (answer) seam->Answer(answer);
        Start();
        const QString expected = QString(text).replace(QLatin1String("%P"), p);
        const std::vector<MessageRequest>& shown = seam->Requests();
        QVERIFY(!shown.empty());
        QCOMPARE(shown.back().kind, MessageKind::Error);
        QCOMPARE(shown.back().text, expected);
        QCOMPARE(ReadAll(ErrorFile()), QByteArray("CANCLED ") + expected.toLatin1() + "\r\n");
        QVERIFY(!QFileInfo::exists(work->file(QStringLiteral("out.zof"))));
    }

    // A project of an older release without konstz8.db: Yes adds the table,
    // and the same run goes on to the format check and offers the upgrade;
    // the form then opens on the upgraded project, no host error file.
    void oldProjectWithoutKonstzIsUpgradedInOneRun() {
        const QString p = Project();
        const auto create = [&p](ProjectTable t, const TFieldDefs& fields) {
            CreateTableFile(TablePath(p, ProjectTableFileName(t)), fields, ProjectIndexDefs(t));
        };
        create(ProjectTable::Prjinf, ProjectFieldDefs(ProjectTable::Prjinf).mid(0, 65));
        create(ProjectTable::Konstr, Resized(ProjectFieldDefs(ProjectTable::Konstr), {{"K_POS_NR", 20}}));
        create(ProjectTable::Konbtl, Resized(ProjectFieldDefs(ProjectTable::Konbtl).mid(0, 15), {{"KB_BTL_ZUS", 14}}));
        create(ProjectTable::Konetr, Resized(ProjectFieldDefs(ProjectTable::Konetr), {{"KE_WST", 8}}));
        Sql(TablePath(p, "konstr8"), "INSERT INTO konstr8 (K_F_NR_AUS, K_POS_NR) VALUES (123450001, 'OLD-1')");
        seam->Answer(mr::Yes);  // add konstz8
        seam->Answer(mr::Yes);  // change the format
        Start();
        const QStringList texts = seam->Texts();
        QVERIFY2(texts.size() >= 3, qPrintable(texts.join(" | ")));
        QVERIFY(texts[0].startsWith(QStringLiteral("KORVA 8.2 needs new file KONSTZ8 !")));
        QVERIFY(texts[1].contains(QStringLiteral("File format has to be changed !")));
        QCOMPARE(texts[2], QStringLiteral("Format of the project files successfully changed !"));
        for (const MessageRequest& r : seam->Requests()) QVERIFY2(r.kind != MessageKind::Error, qPrintable(r.text));
        QVERIFY(!QFileInfo::exists(ErrorFile()));
        QCOMPARE(CheckProjectDirectoryCode(p), 0);
        QCOMPARE(TableFieldCount(p, QStringLiteral("konstz8.db")), 67);
        QCOMPARE(TableFieldSize(p, QStringLiteral("konstr8.db"), QStringLiteral("K_POS_NR")), 32);
        QCOMPARE(TableFieldSize(p, QStringLiteral("konbtl8.db"), QStringLiteral("KB_BTL_ZUS")), 16);
        // The old support is still there.
        TQuery q(p, QStringLiteral("select K_POS_NR from konstr8 where K_F_NR_AUS = 123450001"));
        q.Open();
        QCOMPARE(q.Fields(0).AsString().trimmed(), QStringLiteral("OLD-1"));
    }

    // A parts list without its primary index is given one again, and the
    // form opens.
    void missingPartsListIndexIsRebuilt() {
        const QString p = Project();
        QVERIFY(CreateProjectTables(p));
        Sql(TablePath(p, "konbtl8"), "DROP INDEX \"konbtl8$PRIMARY\"");
        QCOMPARE(ProjectFilesCode(p), -107);
        Start();
        QCOMPARE(seam->Texts(), QStringList{QStringLiteral("File \"konbtl8.px\" successfully created.")});
        QCOMPARE(seam->Requests().front().kind, MessageKind::Information);
        QCOMPARE(ProjectFilesCode(p), 0);
        QVERIFY(!QFileInfo::exists(ErrorFile()));
    }

    // The running number the settings propose is held by a stored support
    // (another mark): the form proposes the next free one.
    void newSupportGetsAFreeRunningNumber() {
        const QString p = Project();
        QVERIFY(CreateProjectTables(p));
        SetRunningNumber(12, 40);
        for (int running : {40, 41, 43})
            Sql(TablePath(p, "konstr8"), QStringLiteral("INSERT INTO konstr8 (K_F_NR_AUS, K_POS_NR, K_NR, K_LFD_NR) "
                                                        "VALUES (%1, 'OTHER-%2', 12, %2)")
                                             .arg(12 * 10000 + running)
                                             .arg(running));
        Start();
        QCOMPARE(ConstructionRecord.K_LFD_NR, 42);
        QCOMPARE(form->findChild<QLineEdit*>(QStringLiteral("LFD_NR"))->text(), QStringLiteral("42"));
    }

    // Another start creates the project in the directory (it holds the lock
    // until this start has shown why it waits): this start waits, shows the
    // waiting form with the reason while it waits (no form of its own is
    // open yet), and then opens the project, the waiting form gone.
    void startWaitingForAnotherSaysWhy() {
        const QString p = Project();
        std::atomic<int> holding{0};  // 1 held, 2 given back
        std::atomic<bool> shown{false};
        std::thread other([&] {
            const TLockFile lock(p + QStringLiteral("/.korva-new-project.lock"), 0);
            holding = lock.Held() ? 1 : -1;
            // Bounded below the start's own wait, so a start that never
            // says why fails here rather than by its refusal.
            for (int i = 0; i < 4000 && !shown; ++i) QThread::msleep(5);
            holding = shown ? 2 : 3;
        });
        while (holding == 0) QThread::msleep(5);
        QStringList painted;  // the waiting form's texts as it paints them
        EventRecorder recorder([&](QObject* o, QEvent* e) {
            auto* label = qobject_cast<QLabel*>(o);
            if (e->type() != QEvent::Paint || !label || !qobject_cast<TFWarten*>(label->parentWidget())) return;
            if (!painted.contains(label->text())) painted << label->text();
            shown = true;
        });
        Start();
        other.join();
        QCOMPARE(int(holding), 2);
        QCOMPARE(painted, QStringList{QStringLiteral(" Projekt wird angelegt ")});
        QVERIFY(FWarten.isNull());
        QCOMPARE(seam->Texts(), QStringList());
        QVERIFY(!QFileInfo::exists(ErrorFile()));
        QCOMPARE(ProjectFilesCode(p), 0);
    }
};

QTEST_MAIN(TestProjectStart)
#include "tst_projectstart.moc"
