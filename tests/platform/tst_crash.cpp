// Crash atomicity and concurrent writers, with real processes: a child
// that stores or deletes supports is ended at every point of its commits
// (a file hook that ends it as a kill would) and at random instants (a real
// SIGKILL); afterwards every table file is sound and every support is whole
// or absent.
#include "CrashProject.h"
#include "platform/CommitJournals.h"
#include "platform/Database.h"
#include "platform/RunDirectory.h"
#include "support/TestSupport.h"

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <ctime>
#include <utime.h>
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>
#include <sys/stat.h>

// Every support of the project whole, and exactly the expected ones there;
// `at` says which run of the test found it otherwise.
#define VERIFY_WHOLE_SUPPORTS(project, at, expected)                                  \
    do {                                                                              \
        const crashproject::Check whole_ = crashproject::Verify(project);             \
        QVERIFY2(whole_.problem.isEmpty(), qPrintable(QString(at) + whole_.problem)); \
        QCOMPARE(whole_.keys, (expected));                                            \
    } while (false)

namespace {

constexpr int CrashStatus = 86;  // the hook's exit status

struct ChildRun {
    bool finished = false;
    int status = -1;
    QString err;
};

ChildRun RunChild(const QString& program, const QStringList& args, long crashAt = 0, const QString& cwd = {}) {
    QProcess p;
    if (!cwd.isEmpty()) p.setWorkingDirectory(cwd);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("KORVA_TEST_FAIL_WRITE");
    env.remove("KORVA_TEST_CRASH_AT");
    if (crashAt > 0) env.insert("KORVA_TEST_CRASH_AT", QString::number(crashAt));
    p.setProcessEnvironment(env);
    p.start(program, args);
    ChildRun r;
    r.finished = p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit;
    r.status = p.exitCode();
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
    }
    return r;
}

// Journals a crash left behind: a hot journal of a table file, and the
// super-journal that ties the files of one commit together.
void NoteJournals(const QString& dir, bool& hot, bool& super) {
    for (const QString& f : QDir(dir).entryList(QDir::Files | QDir::Hidden)) {
        hot = hot || f.endsWith("-journal");
        super = super || f.contains("-mj");
    }
}

// The super-journals in a directory.
QStringList SuperJournals(const QString& dir) {
    return QDir(dir).entryList({".korva-commit*-mj*"}, QDir::AllEntries | QDir::Hidden | QDir::System);
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

}  // namespace

// What a project directory may hold under the commit file's name, or how it
// may be named, that the store must survive.
enum class CommitTrouble { Directory, StrayFile, DanglingLink, FileUriName, OtherUsersFile, BothUnusable };

// Runs the child as the user "nobody" (setpriv), for the files another user
// owns; empty when this run cannot switch users.
QString OtherUserPrefixProblem() {
    if (::getuid() != 0) return "the test runs as another user than root";
    if (QStandardPaths::findExecutable("setpriv").isEmpty()) return "setpriv (util-linux) is not installed";
    return {};
}

QStringList AsNobody(const QString& program, const QStringList& args) {
    return QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + args;
}

// Lets "nobody" into the test directory and write the project's tables.
void OpenToOthers(const QString& dir, const QString& project) {
    ::chmod(QFile::encodeName(dir).constData(), 0777);
    ::chmod(QFile::encodeName(project).constData(), 0777);
    for (const QString& f : QDir(project).entryList(QDir::Files | QDir::Hidden))
        ::chmod(QFile::encodeName(project + "/" + f).constData(), 0666);
}

class TestCrash : public QObject {
    Q_OBJECT
private slots:
    void storeEndedAtEveryPointLeavesWholeSupports();
    void storeWithCommitFileTroubleEndedAtEveryPoint_data();
    void storeWithCommitFileTroubleEndedAtEveryPoint();
    void noUsableCommitFileRefusesToWrite();
    void readOnlyTableIsNamed();
    void projectCreationEndedAtEveryPoint();
    void twoStartsCreateOneProject_data();
    void twoStartsCreateOneProject();
    void twoStartsUpgradeOneOldProject_data();
    void twoStartsUpgradeOneOldProject();
    void writerWaitsForAnUpgrade_data();
    void writerWaitsForAnUpgrade();
    void upgradeEndedAtEveryPoint_data();
    void upgradeEndedAtEveryPoint();
    void deleteModeEndedAtEveryPointLeavesWholeSupports_data();
    void deleteModeEndedAtEveryPointLeavesWholeSupports();
    void killedAtRandomDuringThousandStores();
    void twoWritersBothSucceed();
    void writerBlockedPastTimeoutFailsCleanly();
    void privateDirectoryGoesWithTerminatingSignals_data();
    void privateDirectoryGoesWithTerminatingSignals();
    void abandonedPrivateDirectoriesAreRemovedAtStart();
    void abandonedSuperJournalsGoAtTheNextStart_data();
    void abandonedSuperJournalsGoAtTheNextStart();
    void heldSuperJournalGoesOnceItsHolderIsKilled();
};

void TestCrash::storeEndedAtEveryPointLeavesWholeSupports() {
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    const int first = 500000000;
    // Two supports stored before: the run replaces them and adds two more.
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", QString::number(first), "2"}).status, 0);
    bool hot = false, super = false;
    int crashes = 0, checked = 0;
    for (long n = 1;; ++n) {
        QVERIFY2(n < 3000, "the store never finished");
        const ChildRun r = RunChild(KORVA_CRASH_CHILD, {p, "store", QString::number(first), "4"}, n);
        QVERIFY(r.finished);
        if (r.status == 0) break;
        QVERIFY2(r.status == CrashStatus, qPrintable(r.err));
        ++crashes;
        NoteJournals(p, hot, super);
        const crashproject::Check c = crashproject::Verify(p);
        QVERIFY2(c.problem.isEmpty(), qPrintable(QString("crash at %1: %2").arg(n).arg(c.problem)));
        // The two stored before are never lost, only replaced.
        QVERIFY(c.keys.contains(first) && c.keys.contains(first + 1));
        checked += c.supports;
    }
    qInfo("store: %d kills, %d supports checked", crashes, checked);
    QVERIFY(crashes > 20);
    // The crashes did hit commits over several files.
    QVERIFY(hot);
    QVERIFY(super);
    QCOMPARE(crashproject::Verify(p).supports, 4);
    // What each killed commit left of its super-journal went with a later
    // start (or with the rollback that read it).
    QCOMPARE(SuperJournals(p), QStringList());
}

void TestCrash::storeWithCommitFileTroubleEndedAtEveryPoint_data() {
    QTest::addColumn<int>("trouble");
    QTest::newRow("a directory of its name") << int(CommitTrouble::Directory);
    QTest::newRow("a stray file of its name") << int(CommitTrouble::StrayFile);
    QTest::newRow("a link into a missing directory") << int(CommitTrouble::DanglingLink);
    QTest::newRow("project path starting with file:") << int(CommitTrouble::FileUriName);
    QTest::newRow("another user's private file") << int(CommitTrouble::OtherUsersFile);
    // Neither the shared nor the user's own commit file can be used: no
    // store goes through at any point, and none changes a table.
    QTest::newRow("both commit files unusable") << int(CommitTrouble::BothUnusable);
}

// The shared commit file cannot be used, or the project's path looks like a
// URI: the store still commits through a file in the project directory, so
// a kill at any point leaves every support whole or absent.
void TestCrash::storeWithCommitFileTroubleEndedAtEveryPoint() {
    QFETCH(int, trouble);
    TestDir dir;
    QString p = dir.file("project");
    QString arg = p;
    const QString shared = p + "/.korva-commit";
    switch (CommitTrouble(trouble)) {
    case CommitTrouble::Directory:
        crashproject::Create(p);
        QVERIFY(QDir().mkpath(shared));
        break;
    case CommitTrouble::StrayFile: {
        crashproject::Create(p);
        QFile stray(shared);
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.write(QByteArray(3000, 'x'));
        break;
    }
    case CommitTrouble::DanglingLink:
        crashproject::Create(p);
        QVERIFY(QFile::link(dir.file("gone/commit"), shared));
        break;
    case CommitTrouble::FileUriName:
        // Relative to the child's working directory, as a host may pass it.
        p = dir.file("file:project");
        arg = "file:project";
        crashproject::Create(p);
        break;
    case CommitTrouble::OtherUsersFile: {
        if (const QString why = OtherUserPrefixProblem(); !why.isEmpty()) QSKIP(qPrintable(why));
        crashproject::Create(p);
        QFile own(shared);
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.close();
        OpenToOthers(dir.path(), p);
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 0600), 0);
        break;
    }
    case CommitTrouble::BothUnusable:
        crashproject::Create(p);
        break;
    }
    const bool other = CommitTrouble(trouble) == CommitTrouble::OtherUsersFile;
    const QString program = other ? QStandardPaths::findExecutable("setpriv") : QString(KORVA_CRASH_CHILD);
    const auto args = [&](const QStringList& a) { return other ? AsNobody(KORVA_CRASH_CHILD, a) : a; };
    const int first = 510000000;
    QCOMPARE(RunChild(program, args({arg, "store", QString::number(first), "1"}), 0, dir.path()).status, 0);
    const bool neither = CommitTrouble(trouble) == CommitTrouble::BothUnusable;
    if (neither) {
        QVERIFY(QDir().mkpath(shared));
        QVERIFY(QDir().mkpath(p + QString("/.korva-commit-u%1").arg(::getuid())));
    }
    bool hot = false, super = false;
    int crashes = 0, checked = 0;
    for (long n = 1;; ++n) {
        QVERIFY2(n < 3000, "the store never finished");
        const ChildRun r = RunChild(program, args({arg, "store", QString::number(first), "3"}), n, dir.path());
        QVERIFY(r.finished);
        if (neither && r.status != CrashStatus) {
            // Refused before any file changed: there was no point to end it at.
            QCOMPARE(r.status, 3);
            QVERIFY2(r.err.contains("cannot be made safe against a crash") && r.err.contains("Nothing was written"),
                     qPrintable(r.err));
            QCOMPARE(crashes, 0);
            VERIFY_WHOLE_SUPPORTS(p, "", QSet<int>({first}));
            QVERIFY(QFileInfo(shared).isDir());
            return;
        }
        if (r.status == 0) break;
        QVERIFY2(r.status == CrashStatus, qPrintable(r.err));
        ++crashes;
        NoteJournals(p, hot, super);
        const crashproject::Check c = crashproject::Verify(p);
        QVERIFY2(c.problem.isEmpty(), qPrintable(QString("crash at %1: %2").arg(n).arg(c.problem)));
        QVERIFY(c.keys.contains(first));
        checked += c.supports;
    }
    qInfo("store, commit file in trouble: %d kills, %d supports checked", crashes, checked);
    QVERIFY(crashes > 10);
    // Commits over several files went through a super-journal beside the
    // tables: without a commit file there is none.
    QVERIFY(hot);
    QVERIFY(super);
    QCOMPARE(crashproject::Verify(p).supports, 3);
    // Whatever stood under the shared name is left as it was.
    if (CommitTrouble(trouble) == CommitTrouble::Directory) QVERIFY(QFileInfo(shared).isDir());
    if (CommitTrouble(trouble) == CommitTrouble::StrayFile) QCOMPARE(QFileInfo(shared).size(), 3000);
    if (CommitTrouble(trouble) == CommitTrouble::FileUriName) QVERIFY(!QFileInfo::exists(dir.file("project")));
    if (other) {
        QCOMPARE(QFileInfo(shared).ownerId(), uint(0));
        QCOMPARE(QFileInfo(shared).size(), 0);
    }
}

// A table file that its user may not write: the store says which file and
// why, and nothing of the support is written.
void TestCrash::readOnlyTableIsNamed() {
    if (const QString why = OtherUserPrefixProblem(); !why.isEmpty()) QSKIP(qPrintable(why));
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", "530000000", "1"}).status, 0);
    OpenToOthers(dir.path(), p);
    const QString parts = TablePath(p, "konbtl8");
    QCOMPARE(::chmod(QFile::encodeName(parts).constData(), 0644), 0);
    const ChildRun r = RunChild(QStandardPaths::findExecutable("setpriv"),
                                AsNobody(KORVA_CRASH_CHILD, {p, "store", "530000001", "1"}));
    QVERIFY(r.finished);
    QCOMPARE(r.status, 3);
    QVERIFY2(r.err.contains(parts) && r.err.contains("readonly") && r.err.contains("may not be written"),
             qPrintable(r.err));
    VERIFY_WHOLE_SUPPORTS(p, "", QSet<int>({530000000}));
}

// Neither the shared nor the user's own commit file can be used: a store
// is refused with the file and the reason, and nothing is written.
void TestCrash::noUsableCommitFileRefusesToWrite() {
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", "520000000", "1"}).status, 0);
    QVERIFY(QDir().mkpath(p + "/.korva-commit"));
    QVERIFY(QDir().mkpath(p + QString("/.korva-commit-u%1").arg(::getuid())));
    const ChildRun r = RunChild(KORVA_CRASH_CHILD, {p, "store", "520000000", "3"});
    QVERIFY(r.finished);
    QCOMPARE(r.status, 3);
    QVERIFY2(r.err.contains(p + "/.korva-commit (a directory has its name)"), qPrintable(r.err));
    QVERIFY2(r.err.contains("crash") && r.err.contains("Nothing was written"), qPrintable(r.err));
    VERIFY_WHOLE_SUPPORTS(p, "", QSet<int>({520000000}));
}

namespace {

const char* const ProjectFiles[] = {"konstr8.db", "konstz8.db", "konbtl8.db", "konetr8.db", "prjinf8.db"};

int ProjectFilesPresent(const QString& project) {
    int n = 0;
    for (const char* f : ProjectFiles) n += FindFileNoCase(project, f).isEmpty() ? 0 : 1;
    return n;
}

// Rows of the project's settings table, read with plain SQLite; -1 when it
// cannot be read.
int SettingsRows(const QString& project) {
    sqlite3* db = nullptr;
    int rows = -1;
    const QString file = FindFileNoCase(project, "prjinf8.db");
    if (!file.isEmpty() && sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM prjinf8", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            rows = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return rows;
}

// A host for normal-mode starts of the program on a new project: a copy of
// the demo catalogue with its alias file and an input file. Each start runs
// as an engineer of its own (home, settings, runtime directory and working
// directory), so that two of them may run at once.
struct NewProjectHost {
    TestDir dir;
    QString aliases, input, project;

    bool Prepare() {
        const QString catalogue = dir.file("catalogue");
        const QDir demo(KORVA_BINARY_DIR "/demo/catalogue");
        if (!QDir().mkpath(catalogue) || !demo.exists("Pgstat.DB")) return false;
        for (const QString& f : demo.entryList(QDir::Files))
            if (!QFile::copy(demo.filePath(f), catalogue + "/" + f)) return false;
        aliases = dir.file("aliases.ini");
        input = dir.file("in.ini");
        project = dir.file("project");
        return WriteFile(aliases, QString("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8()) &&
               WriteFile(input, "[DWG]\nHangerMark=N-1\n[LOAD]\nNormal=10\n[PIPE]\nSIZE=114.3\n[MDSHangerConfig]\nConfig=1\n");
    }
    // The engineer's own directory.
    QString Engineer(const QString& name) const {
        const QString home = dir.file(name);
        QDir().mkpath(home + "/runtime");
        ::chmod(QFile::encodeName(home + "/runtime").constData(), 0700);
        return home;
    }
    // Starts the program; it ends once its form is shown.
    void Start(QProcess& p, const QString& exe, long crashAt, const QString& engineer = QString("first"),
               const QMap<QString, QString>& extra = {}) const {
        StartWith(p, exe, {"/IF:" + input, "/OF:" + Engineer(engineer) + "/out.zof", "/PD:" + project}, crashAt,
                  engineer, extra);
    }
    // The same engineer's start with other arguments (delete mode).
    void StartWith(QProcess& p, const QString& exe, const QStringList& args, long crashAt, const QString& engineer,
                   const QMap<QString, QString>& extra = {}) const {
        const QString home = Engineer(engineer);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("KORVA_TEST_FAIL_WRITE");
        env.remove("KORVA_TEST_CRASH_AT");
        if (crashAt > 0) env.insert("KORVA_TEST_CRASH_AT", QString::number(crashAt));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("KORVA_EXIT_WHEN_SHOWN", "1");
        env.insert("KORVA_ALIAS_FILE", aliases);
        env.insert("HOME", home);
        env.insert("XDG_CONFIG_HOME", home + "/config");
        env.insert("XDG_RUNTIME_DIR", home + "/runtime");
        for (auto it = extra.cbegin(); it != extra.cend(); ++it) env.insert(it.key(), it.value());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(home);
        p.start(exe, args);
    }
    static ChildRun Finish(QProcess& p) {
        ChildRun r;
        r.finished = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
        r.status = p.exitCode();
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        if (!r.finished) {
            p.kill();
            p.waitForFinished();
        }
        return r;
    }
    // Two engineers, "first" and "second", start the program at the same
    // moment; both runs have ended.
    std::pair<ChildRun, ChildRun> StartTwo() const {
        QProcess a, b;
        Start(a, KORVA_EXE, 0, "first");
        Start(b, KORVA_EXE, 0, "second");
        ChildRun ra = Finish(a);
        return {ra, Finish(b)};
    }
    // Why the two did not both open their form: empty when both ended well
    // and neither wrote the host's error file.
    QString NotBothOpened(const std::pair<ChildRun, ChildRun>& runs) const {
        QStringList problems;
        for (const auto& [engineer, run] : {std::pair{"first", runs.first}, std::pair{"second", runs.second}}) {
            if (!run.finished || run.status != 0)
                problems << QString("%1 ended with %2: %3").arg(engineer).arg(run.status).arg(run.err);
            else if (QFileInfo::exists(dir.file(QString(engineer) + "/KORVA_MDS_ERROR.Z3D")))
                problems << QString("%1 wrote the error file").arg(engineer);
        }
        return problems.join("; ");
    }
};

// What a creation leaves in the project directory besides the tables.
QStringList CreationTraces(const QString& project) {
    return QDir(project).entryList({".korva-new-project*"}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// How a project of an older release differs from the current format.
enum class OldFormat { TextSizes = 1, Level = 2, Both = 3 };

// A project of an older release with supports stored in it: made by a start
// of the program, three supports stored through the table layer, then the
// parts list given the old width of KB_BTL_ZUS (14) without KB_HD_KZ, or
// every table an old level, or both. Kept in template, copied for each run.
bool MakeOldProject(const NewProjectHost& host, const QString& templ, OldFormat old, int firstKey) {
    QDir(host.project).removeRecursively();
    QProcess maker;
    host.Start(maker, KORVA_EXE, 0, "maker");
    if (NewProjectHost::Finish(maker).status != 0 || ProjectFilesPresent(host.project) != 5) return false;
    if (RunChild(KORVA_CRASH_CHILD, {host.project, "store", QString::number(firstKey), "3"}).status != 0) return false;
    if (int(old) & int(OldFormat::TextSizes)) {
        const QString konbtl = FindFileNoCase(host.project, "konbtl8.db");
        TFieldDefs fields;
        for (TFieldDef f : ReadTableSchema(konbtl).fields) {
            if (f.name == "KB_HD_KZ") continue;
            if (f.name == "KB_BTL_ZUS") f.size = 14;
            fields.push_back(f);
        }
        RestructureTableFile(konbtl, fields);
    }
    if (int(old) & int(OldFormat::Level))
        for (const char* f : ProjectFiles) SetTableLevel(FindFileNoCase(host.project, f), 4);
    QDir(templ).removeRecursively();
    return QDir().rename(host.project, templ);
}

bool CopyProject(const QString& from, const QString& to) {
    QDir(to).removeRecursively();
    if (!QDir().mkpath(to)) return false;
    for (const QString& f : QDir(from).entryList(QDir::Files | QDir::Hidden))
        if (!QFile::copy(from + "/" + f, to + "/" + f)) return false;
    return true;
}

// What stands between the project and the current format: empty when every
// table has the current level and the parts list its current fields.
QString OldFormatLeft(const QString& project) {
    QStringList left;
    for (const char* f : ProjectFiles) {
        const TableSchema s = ReadTableSchema(FindFileNoCase(project, f));
        if (s.level != CurrentTableLevel) left << QString("%1 at level %2").arg(f).arg(s.level);
    }
    const TableSchema konbtl = ReadTableSchema(FindFileNoCase(project, "konbtl8.db"));
    int btlZus = 0;
    bool hd = false;
    for (const TFieldDef& f : konbtl.fields) {
        if (f.name == "KB_BTL_ZUS") btlZus = f.size;
        hd = hd || f.name == "KB_HD_KZ";
    }
    if (konbtl.fields.size() != 16 || btlZus != 16 || !hd)
        left << QString("konbtl8.db with %1 fields, KB_BTL_ZUS %2").arg(konbtl.fields.size()).arg(btlZus);
    return left.join("; ");
}

// How often the boxes of the upgrade came up in a start's standard error
// (unattended, each box is written there and answered by its default,
// Yes), in either language of the dictionary.
int Told(const QString& err, const QString& english, const QString& german) {
    return int(err.count(english) + err.count(german));
}
int UpgradeQuestions(const QString& err) {
    return Told(err, "File format has to be changed !", "Das Dateiformat muss geändert werden !");
}
int UpgradeDoneNotices(const QString& err) {
    return Told(err, "Format of the project files successfully changed !", "Format der Projektdateien erfolgreich geändert !");
}

QStringList SaveFolders(const QString& project) {
    return QDir(project).entryList({"save*"}, QDir::Dirs | QDir::NoDotAndDotDot);
}

// The levels the project's tables stand at.
QSet<int> TableLevels(const QString& project) {
    QSet<int> levels;
    for (const char* f : ProjectFiles) levels << ReadTableSchema(FindFileNoCase(project, f)).level;
    return levels;
}

// Which "save" folders are not a whole copy of the old project's tables
// (every table there, byte for byte as it was).
QStringList BrokenSaveFolders(const QString& project, const QString& templ) {
    QStringList broken;
    // Also the backup made whole and not yet named.
    QStringList folders = SaveFolders(project);
    if (QFileInfo(project + "/.korva-save-complete").isDir()) folders << ".korva-save-complete";
    for (const QString& save : folders) {
        const QDir folder(project + "/" + save);
        for (const char* f : ProjectFiles) {
            QFile was(FindFileNoCase(templ, f)), kept(FindFileNoCase(folder.path(), f));
            if (!was.open(QIODevice::ReadOnly) || !kept.open(QIODevice::ReadOnly) || was.readAll() != kept.readAll()) {
                broken << save + "/" + f;
                break;
            }
        }
    }
    return broken;
}

// What a rewrite or a backup leaves in the project directory while it works.
QStringList RewriteTraces(const QString& project) {
    return QDir(project).entryList({".korva-replace*", ".korva-save*"}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

// The program is ended at every point of the creation of a new project
// (each change SQLite makes to a file, and each file put into place): the
// directory holds either no project or a whole one, and the next start
// opens a whole project with its settings row.
void TestCrash::projectCreationEndedAtEveryPoint() {
    NewProjectHost host;
    QVERIFY2(host.Prepare(), "the demo catalogue is built and copied");
    const QString project = host.project;
    const auto start = [&](const QString& exe, long crashAt) {
        QProcess p;
        host.Start(p, exe, crashAt);
        return NewProjectHost::Finish(p);
    };
    int crashes = 0, pending = 0, none = 0;
    for (long n = 1;; ++n) {
        QVERIFY2(n < 500, "the start never finished");
        QDir(project).removeRecursively();
        const ChildRun r = start(KORVA_HOOKED_EXE, n);
        QVERIFY(r.finished);
        if (r.status == 0) break;
        QVERIFY2(r.status == CrashStatus, qPrintable(r.err));
        ++crashes;
        const int present = ProjectFilesPresent(project);
        const bool complete = QFileInfo(project + "/.korva-new-project.complete").isDir();
        // No project, or a whole one, or a whole one still being put in place.
        QVERIFY2(present == 0 || present == 5 || complete, qPrintable(QString("crash at %1: %2 of 5 tables").arg(n).arg(present)));
        if (present == 5 && !complete) QCOMPARE(SettingsRows(project), 1);
        if (present == 0 && !complete) ++none;
        if (complete) ++pending;
        // The next start works on what the crash left.
        const ChildRun next = start(KORVA_EXE, 0);
        QVERIFY(next.finished);
        QVERIFY2(next.status == 0, qPrintable(QString("after a crash at %1: %2").arg(n).arg(next.err)));
        QCOMPARE(ProjectFilesPresent(project), 5);
        QCOMPARE(SettingsRows(project), 1);
        QVERIFY(!QFileInfo::exists(project + "/.korva-new-project.complete"));
        QVERIFY(!QFileInfo::exists(project + "/.korva-new-project"));
        QCOMPARE(CreationTraces(project), QStringList());
    }
    qInfo("project creation: %d kills (%d left no project, %d a whole one still being put in place, %d a whole one); "
          "%d next starts checked",
          crashes, none, pending, crashes - none - pending, crashes);
    QVERIFY(crashes > 10);
    QVERIFY(pending > 0);  // kills fell while the tables were put in place
    QVERIFY(none > 0);
}

void TestCrash::twoStartsCreateOneProject_data() {
    QTest::addColumn<bool>("directoryMade");
    QTest::addColumn<int>("runs");
    QTest::newRow("empty directory") << true << 20;
    QTest::newRow("directory not there yet") << false << 10;
}

// Two engineers start normal mode at the same moment on one new project
// directory, many times: one creates the project, the other waits for it
// or finds it finished; both forms open on a whole project with one
// settings row, and nothing of the creation is left behind.
void TestCrash::twoStartsCreateOneProject() {
    QFETCH(bool, directoryMade);
    QFETCH(int, runs);
    NewProjectHost host;
    QVERIFY2(host.Prepare(), "the demo catalogue is built and copied");
    for (int run = 1; run <= runs; ++run) {
        QDir(host.project).removeRecursively();
        if (directoryMade) QVERIFY(QDir().mkpath(host.project));
        const QString problem = host.NotBothOpened(host.StartTwo());
        QVERIFY2(problem.isEmpty(), qPrintable(QString("run %1: %2").arg(run).arg(problem)));
        QCOMPARE(ProjectFilesPresent(host.project), 5);
        QCOMPARE(SettingsRows(host.project), 1);
        QCOMPARE(CreationTraces(host.project), QStringList());
    }
}

void TestCrash::twoStartsUpgradeOneOldProject_data() {
    QTest::addColumn<int>("old");
    QTest::addColumn<int>("runs");
    QTest::newRow("old text sizes: asked and upgraded once") << int(OldFormat::TextSizes) << 20;
    QTest::newRow("old table level: converted once, one save folder") << int(OldFormat::Level) << 10;
    QTest::newRow("both: converted and upgraded once") << int(OldFormat::Both) << 10;
}

// Two engineers start normal mode at the same moment on one project of an
// older release, both answering Yes, many times: one start asks, converts
// and upgrades; the other waits for it and finds the work done, so it asks
// nothing and converts nothing (a second conversion would take a second
// save folder; a second upgrade installed over the first one's). Both
// forms open, and every support stored before is there once and whole.
void TestCrash::twoStartsUpgradeOneOldProject() {
    QFETCH(int, old);
    QFETCH(int, runs);
    NewProjectHost host;
    QVERIFY2(host.Prepare(), "the demo catalogue is built and copied");
    const QString templ = host.dir.file("old-project");
    const int first = 700000000;
    QVERIFY2(MakeOldProject(host, templ, OldFormat(old), first), "the old project is made");
    const bool sizes = old & int(OldFormat::TextSizes);
    const bool level = old & int(OldFormat::Level);
    for (int run = 1; run <= runs; ++run) {
        QVERIFY(CopyProject(templ, host.project));
        const auto starts = host.StartTwo();
        const auto& [ra, rb] = starts;
        const QString at = QString("run %1: ").arg(run);
        QVERIFY2(host.NotBothOpened(starts).isEmpty(), qPrintable(at + host.NotBothOpened(starts)));
        QCOMPARE(OldFormatLeft(host.project), QString());
        VERIFY_WHOLE_SUPPORTS(host.project, at, QSet<int>({first, first + 1, first + 2}));
        QCOMPARE(UpgradeQuestions(ra.err) + UpgradeQuestions(rb.err), sizes ? 1 : 0);
        QCOMPARE(UpgradeDoneNotices(ra.err) + UpgradeDoneNotices(rb.err), sizes ? 1 : 0);
        QCOMPARE(SaveFolders(host.project), level ? QStringList{"save0"} : QStringList());
        QCOMPARE(SettingsRows(host.project), 1);
    }
}

void TestCrash::writerWaitsForAnUpgrade_data() {
    QTest::addColumn<bool>("store");  // else delete mode deletes a support stored before
    QTest::addColumn<int>("old");
    QTest::newRow("a store, old text sizes") << true << int(OldFormat::TextSizes);
    QTest::newRow("delete mode, old text sizes") << false << int(OldFormat::TextSizes);
    QTest::newRow("delete mode, old table level") << false << int(OldFormat::Level);
}

// A start upgrades an old project and is held after its copies are made,
// before they go into place; meanwhile another program stores a support
// (through the table layer, as the store does) or delete mode deletes one.
// The writer waits for the upgrade and then writes into the upgraded
// tables: what it stored is there, what it deleted stays gone. Written in
// between, the upgrade's copies would put the project back as it was.
void TestCrash::writerWaitsForAnUpgrade() {
    QFETCH(bool, store);
    QFETCH(int, old);
    NewProjectHost host;
    QVERIFY2(host.Prepare(), "the demo catalogue is built and copied");
    const QString templ = host.dir.file("old-project");
    const int first = 710000000;
    QVERIFY2(MakeOldProject(host, templ, OldFormat(old), first), "the old project is made");
    QVERIFY(CopyProject(templ, host.project));
    const QString gate = host.dir.file("gate");
    QCOMPARE(::mkfifo(QFile::encodeName(gate).constData(), 0600), 0);
    QProcess upgrade, writer;
    const auto stop = qScopeGuard([&] {
        for (QProcess* p : {&upgrade, &writer}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->kill();
            p->waitForFinished(10000);
        }
    });
    host.Start(upgrade, KORVA_HOOKED_EXE, 0, "first", {{"KORVA_TEST_PAUSE_REWRITE", gate}});
    QByteArray err;
    for (int i = 0; i < 1200 && !err.contains("rewrite paused") && upgrade.state() != QProcess::NotRunning; ++i) {
        upgrade.waitForReadyRead(100);
        err += upgrade.readAllStandardError();
    }
    QVERIFY2(err.contains("rewrite paused"), err.constData());
    const int stored = first + 10;
    const QString result = host.dir.file("result.txt");
    if (store)
        writer.start(KORVA_CRASH_CHILD, {host.project, "store", QString::number(stored), "1"});
    else
        host.StartWith(writer, KORVA_EXE,
                       {"/DEL:" + crashproject::PosNo(first + 1), "/PD:" + host.project, "/OF:" + result}, 0, "second");
    // Its wait for the lock lasts up to five seconds: still waiting after
    // two, it was held off; finished, it wrote under the upgrade's copies.
    const bool wroteMeanwhile = writer.waitForFinished(2000);
    const int open = ::open(QFile::encodeName(gate).constData(), O_WRONLY);
    QVERIFY(open >= 0);
    ::close(open);
    const ChildRun u = NewProjectHost::Finish(upgrade);
    QVERIFY2(u.finished && u.status == 0, qPrintable(err + u.err));
    if (writer.state() != QProcess::NotRunning) QVERIFY(writer.waitForFinished(60000));
    const QString writerErr = QString::fromLocal8Bit(writer.readAllStandardError());
    QCOMPARE(OldFormatLeft(host.project), QString());
    const crashproject::Check c = crashproject::Verify(host.project);
    QVERIFY2(c.problem.isEmpty(), qPrintable(c.problem));
    if (store) {
        QVERIFY2(writer.exitStatus() == QProcess::NormalExit && writer.exitCode() == 0, qPrintable(writerErr));
        QCOMPARE(c.keys, QSet<int>({first, first + 1, first + 2, stored}));
    } else {
        QVERIFY2(writer.exitStatus() == QProcess::NormalExit && writer.exitCode() == (300 & 0xff), qPrintable(writerErr));
        QCOMPARE(c.keys, QSet<int>({first, first + 2}));
    }
    QVERIFY2(!wroteMeanwhile, "the writer did not wait for the upgrade");
}

void TestCrash::upgradeEndedAtEveryPoint_data() {
    QTest::addColumn<int>("old");
    QTest::newRow("old text sizes: the upgrade alone") << int(OldFormat::TextSizes);
    // The conversion with its backup, then the upgrade (an old level alone
    // takes the same road as far as the conversion goes).
    QTest::newRow("both: the conversion, then the upgrade") << int(OldFormat::Both);
}

// The program is ended at every point of the conversion and the upgrade of
// an old project (each change SQLite makes to a file, each file of the
// backup and each folder put into place): every table stands at the old
// level or every one at the new (never a mix), each support is whole, a
// "save" folder is a whole copy of the old tables or not there, and the
// next start brings the project to the current format with every support.
void TestCrash::upgradeEndedAtEveryPoint() {
    QFETCH(int, old);
    NewProjectHost host;
    QVERIFY2(host.Prepare(), "the demo catalogue is built and copied");
    const QString templ = host.dir.file("old-project");
    const int first = 720000000;
    QVERIFY2(MakeOldProject(host, templ, OldFormat(old), first), "the old project is made");
    const QSet<int> keys{first, first + 1, first + 2};
    const bool level = old & int(OldFormat::Level);
    const auto start = [&](const QString& exe, long crashAt) {
        QProcess p;
        host.Start(p, exe, crashAt);
        return NewProjectHost::Finish(p);
    };
    int crashes = 0, converted = 0, backups = 0;
    for (long n = 1;; ++n) {
        QVERIFY2(n < 3000, "the start never finished");
        QVERIFY(CopyProject(templ, host.project));
        const ChildRun r = start(KORVA_HOOKED_EXE, n);
        QVERIFY(r.finished);
        if (r.status == 0) break;
        const QString at = QString("crash at %1: ").arg(n);
        QVERIFY2(r.status == CrashStatus, qPrintable(at + r.err));
        ++crashes;
        // Judged on a copy, as the next opening will find it (hot journals
        // rolled back through the multi-file journal they name), so that the
        // next start meets what the kill left.
        const QString left = host.dir.file("left");
        QVERIFY(CopyProject(host.project, left));
        VERIFY_WHOLE_SUPPORTS(left, at, keys);
        const QSet<int> levels = TableLevels(left);
        QVERIFY2(levels.size() == 1, qPrintable(at + "tables at different levels"));
        if (level && levels.contains(CurrentTableLevel)) ++converted;
        QVERIFY2(BrokenSaveFolders(host.project, templ).isEmpty(),
                 qPrintable(at + BrokenSaveFolders(host.project, templ).join(", ")));
        if (QFileInfo(host.project + "/.korva-save-complete").isDir() || !SaveFolders(host.project).isEmpty())
            ++backups;
        // The next start works on what the kill left.
        const ChildRun next = start(KORVA_EXE, 0);
        QVERIFY2(next.finished && next.status == 0, qPrintable(at + next.err));
        QCOMPARE(OldFormatLeft(host.project), QString());
        VERIFY_WHOLE_SUPPORTS(host.project, at, keys);
        QCOMPARE(SettingsRows(host.project), 1);
        QVERIFY2(BrokenSaveFolders(host.project, templ).isEmpty(),
                 qPrintable(at + BrokenSaveFolders(host.project, templ).join(", ")));
        // One conversion, one backup.
        QCOMPARE(SaveFolders(host.project), level ? QStringList{"save0"} : QStringList());
        QVERIFY2(RewriteTraces(host.project).isEmpty(), qPrintable(at + RewriteTraces(host.project).join(", ")));
    }
    qInfo("upgrade: %d kills (%d with the tables converted, %d with a whole backup)", crashes, converted, backups);
    QVERIFY(crashes > 10);
    if (level) {
        QVERIFY(converted > 0);  // kills fell after the conversion's commit
        QVERIFY(backups > 0);    // and after its backup
    }
}

void TestCrash::deleteModeEndedAtEveryPointLeavesWholeSupports_data() {
    QTest::addColumn<int>("trouble");  // -1: the shared commit file is usable
    QTest::newRow("shared commit file") << -1;
    QTest::newRow("a directory under the commit file's name") << int(CommitTrouble::Directory);
    QTest::newRow("another user's private commit file") << int(CommitTrouble::OtherUsersFile);
    QTest::newRow("project path starting with file:") << int(CommitTrouble::FileUriName);
}

// The program's delete mode, ended at every point of its commit: the
// support to delete is whole or gone, the others stay whole, and the next
// run finishes the delete. Also when the shared commit file cannot be
// used, so that the delete commits through the user's own one.
void TestCrash::deleteModeEndedAtEveryPointLeavesWholeSupports() {
    QFETCH(int, trouble);
    TestDir dir;
    const bool uri = trouble == int(CommitTrouble::FileUriName);
    // Relative to the program's working directory, as a host may pass it.
    const QString p = dir.file(uri ? "file:project" : "project");
    const QString projectArg = uri ? QString("file:project") : p;
    crashproject::Create(p);
    const int first = 600000000;
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", QString::number(first), "3"}).status, 0);
    const QString shared = p + "/.korva-commit";
    const bool other = trouble == int(CommitTrouble::OtherUsersFile);
    if (trouble == int(CommitTrouble::Directory)) QVERIFY(QDir().mkpath(shared));
    if (other) {
        if (const QString why = OtherUserPrefixProblem(); !why.isEmpty()) QSKIP(qPrintable(why));
        QFile own(shared);
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.close();
        OpenToOthers(dir.path(), p);
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 0600), 0);
    }
    const QString program = other ? QStandardPaths::findExecutable("setpriv") : QString(KORVA_HOOKED_EXE);
    const QString result = dir.file("result.txt");
    QStringList args{"/DEL:" + crashproject::PosNo(first + 1), "/PD:" + projectArg, "/OF:" + result};
    if (other) args = AsNobody(KORVA_HOOKED_EXE, args);
    bool hot = false, super = false;
    int crashes = 0, checked = 0;
    for (long n = 1;; ++n) {
        QVERIFY2(n < 3000, "delete mode never finished");
        // The answer of an earlier run at the result file's name.
        QFile earlier(result);
        QVERIFY(earlier.open(QIODevice::WriteOnly | QIODevice::Truncate));
        earlier.write("3\r\n");
        earlier.close();
        if (other) ::chmod(QFile::encodeName(result).constData(), 0666);
        const ChildRun r = RunChild(program, args, n, dir.path());
        QVERIFY(r.finished);
        if (r.status == CrashStatus) {
            // Killed before it wrote its answer: the earlier one is gone, so
            // the host never reads it as this run's.
            QVERIFY2(!QFileInfo::exists(result), qPrintable(QString("crash at %1").arg(n)));
        }
        if (r.status != CrashStatus) {
            // Done; or ended after the commit point by the crash before,
            // so this run found the support gone.
            QVERIFY2(r.status == (300 & 0xff) || r.status == (303 & 0xff), qPrintable(r.err));
            break;
        }
        ++crashes;
        NoteJournals(p, hot, super);
        const crashproject::Check c = crashproject::Verify(p);
        QVERIFY2(c.problem.isEmpty(), qPrintable(QString("crash at %1: %2").arg(n).arg(c.problem)));
        QVERIFY(c.keys.contains(first) && c.keys.contains(first + 2));
        checked += c.supports;
    }
    qInfo("delete mode: %d kills, %d supports checked", crashes, checked);
    QVERIFY(crashes > 5);
    // The commits over the four files went through a super-journal beside
    // them: without a commit file there is none.
    QVERIFY(hot);
    QVERIFY(super);
    const crashproject::Check c = crashproject::Verify(p);
    QCOMPARE(c.keys, QSet<int>({first, first + 2}));
    QCOMPARE(SuperJournals(p), QStringList());
    // Whatever stood under the shared name is left as it was.
    if (trouble == int(CommitTrouble::Directory)) QVERIFY(QFileInfo(shared).isDir());
    if (other) {
        QCOMPARE(QFileInfo(shared).ownerId(), uint(0));
        QCOMPARE(QFileInfo(shared).size(), 0);
    }
    // A path is a path: nothing was made where a URI would have pointed.
    if (uri) QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                      QStringList({"file:project", "result.txt"}));
}

void TestCrash::killedAtRandomDuringThousandStores() {
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    QRandomGenerator random(20261207);
    // Thirty kills at random instants, each check after it; then the rest
    // of the 1,000 stores runs to its end.
    int kills = 0, killsMidway = 0, stored = 0;
    for (int round = 0; round < 30; ++round) {
        QProcess child;
        child.start(KORVA_CRASH_CHILD, {p, "resume", "1000"});
        QVERIFY(child.waitForStarted());
        if (child.waitForFinished(int(random.bounded(50, 600)))) {
            QCOMPARE(child.exitStatus(), QProcess::NormalExit);
            QCOMPARE(child.exitCode(), 0);
            break;
        }
        child.kill();  // SIGKILL
        child.waitForFinished();
        ++kills;
        const crashproject::Check c = crashproject::Verify(p);
        QVERIFY2(c.problem.isEmpty(), qPrintable(QString("kill %1: %2").arg(kills).arg(c.problem)));
        QVERIFY(c.supports >= stored);  // nothing stored before is lost
        if (c.supports > stored) ++killsMidway;
        stored = c.supports;
    }
    QVERIFY(kills > 3);
    QVERIFY(killsMidway > 3);  // the kills fell among the stores
    const ChildRun rest = RunChild(KORVA_CRASH_CHILD, {p, "resume", "1000"});
    QVERIFY(rest.finished);
    QCOMPARE(rest.status, 0);
    const crashproject::Check c = crashproject::Verify(p);
    QVERIFY2(c.problem.isEmpty(), qPrintable(c.problem));
    QCOMPARE(c.supports, 1000);
}

void TestCrash::twoWritersBothSucceed() {
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    QProcess a, b;
    a.start(KORVA_CRASH_CHILD, {p, "store", "700000000", "60"});
    b.start(KORVA_CRASH_CHILD, {p, "store", "800000000", "60"});
    QVERIFY(a.waitForFinished(120000));
    QVERIFY(b.waitForFinished(120000));
    QVERIFY2(a.exitCode() == 0, a.readAllStandardError().constData());
    QVERIFY2(b.exitCode() == 0, b.readAllStandardError().constData());
    const crashproject::Check c = crashproject::Verify(p);
    QVERIFY2(c.problem.isEmpty(), qPrintable(c.problem));
    QCOMPARE(c.supports, 120);
}

void TestCrash::writerBlockedPastTimeoutFailsCleanly() {
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", "900000000", "1"}).status, 0);
    // Another program holds the write lock of the parts list.
    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open(TablePath(p, "konbtl8").toUtf8().constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    QElapsedTimer timer;
    timer.start();
    const ChildRun r = RunChild(KORVA_CRASH_CHILD, {p, "store", "900000000", "3"});
    const qint64 waited = timer.elapsed();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QVERIFY(r.finished);
    QCOMPARE(r.status, 3);
    // It waited out the busy timeout, then said which file and why.
    QVERIFY2(waited >= 4500, qPrintable(QString::number(waited)));
    QVERIFY2(r.err.contains("konbtl8") && r.err.contains("another program"), qPrintable(r.err));
    // Nothing half done: the one support is as it was, no other came in.
    VERIFY_WHOLE_SUPPORTS(p, "", QSet<int>({900000000}));
    // Once the lock is gone the same store goes through.
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", "900000000", "3"}).status, 0);
    QCOMPARE(crashproject::Verify(p).supports, 3);
}

namespace {

// A child that holds `dir` as its private directory, with TMPDIR = temp.
bool StartPrivateChild(QProcess& child, const QString& temp, const QString& dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", temp);
    child.setProcessEnvironment(env);
    child.start(KORVA_CRASH_CHILD, {dir, "private"});
    return child.waitForReadyRead(30000) && child.readAll().startsWith("ready");
}

void MakeOld(const QString& dir) {
    struct utimbuf old {};
    old.actime = old.modtime = time(nullptr) - 3600;
    ::utime(QFile::encodeName(dir).constData(), &old);
}

}  // namespace

void TestCrash::privateDirectoryGoesWithTerminatingSignals_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("removed");
    QTest::newRow("SIGTERM") << int(SIGTERM) << "KORVAa1B2c3" << true;
    QTest::newRow("SIGHUP") << int(SIGHUP) << "KORVAz9Y8x7" << true;
    QTest::newRow("SIGINT") << int(SIGINT) << "KORVAq5W6e7" << true;
    // Not a private directory by name: never removed.
    QTest::newRow("other name") << int(SIGTERM) << "KORVAproject" << false;
}

void TestCrash::privateDirectoryGoesWithTerminatingSignals() {
    QFETCH(int, signal);
    QFETCH(QString, name);
    QFETCH(bool, removed);
    TestDir temp;
    const QString dir = temp.file(name);
    QVERIFY(QDir().mkpath(dir));
    QFile f(dir + "/lek12.db");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QProcess child;
    QVERIFY(StartPrivateChild(child, temp.path(), dir));
    QCOMPARE(::kill(pid_t(child.processId()), signal), 0);
    QVERIFY(child.waitForFinished(30000));
    // It ended by the signal, as the signal would have ended it.
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(QFileInfo::exists(dir), !removed);
}

void TestCrash::abandonedPrivateDirectoriesAreRemovedAtStart() {
    TestDir temp;
    const QString gone = temp.file("KORVAgone01"), fresh = temp.file("KORVAfresh1"), alive = temp.file("KORVAalive1"),
                  other = temp.file("KORVAother12"), other2 = temp.file("project");
    for (const QString& d : {gone, fresh, alive, other, other2}) QVERIFY(QDir().mkpath(d));
    QFile f(gone + "/lek14.db");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QProcess child;
    QVERIFY(StartPrivateChild(child, temp.path(), alive));
    for (const QString& d : {gone, alive, other, other2}) MakeOld(d);
    QCOMPARE(RemoveAbandonedRunDirectories(temp.path()), 1);
    QVERIFY(!QFileInfo::exists(gone));
    for (const QString& d : {fresh, alive, other, other2}) QVERIFY2(QFileInfo::exists(d), qPrintable(d));
    // Once its run is killed, the directory is abandoned too.
    child.kill();
    QVERIFY(child.waitForFinished(30000));
    QVERIFY(QFileInfo::exists(alive));
    MakeOld(alive);
    QCOMPARE(RemoveAbandonedRunDirectories(temp.path()), 1);
    QVERIFY(!QFileInfo::exists(alive));
    QVERIFY(QFileInfo::exists(fresh));
}

// What a killed commit leaves of its super-journal goes with the next start
// that has the project to itself; a super-journal that a table's journal
// still names stays for the rollback that reads it, and so does every file
// that is no super-journal of the commit files by name or kind.
void TestCrash::abandonedSuperJournalsGoAtTheNextStart_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");  // file, directory
    QTest::addColumn<QString>("journal");  // the journal it lists: none, naming it, naming another, a FIFO
    QTest::addColumn<bool>("removed");
    QTest::newRow("left by a killed commit") << ".korva-commit-mj0A1B2C9D3" << "file" << "none" << true;
    QTest::newRow("of the user's own commit file")
        << QString(".korva-commit-u%1-mj0F0E0D9C4").arg(::getuid()) << "file" << "none" << true;
    QTest::newRow("its journal names another one") << ".korva-commit-mj1A1B2C9D3" << "file" << "another" << true;
    QTest::newRow("a hot journal still names it") << ".korva-commit-mj2A1B2C9D3" << "file" << "naming" << false;
    // A FIFO at the journal's path is no journal; it is not opened (a
    // writer waiting for a reader there stays waiting) and the
    // super-journal stays.
    QTest::newRow("a FIFO stands at the journal's path") << ".korva-commit-mj4A1B2C9D3" << "file" << "fifo" << false;
    QTest::newRow("no hex digits after -mj") << ".korva-commit-mjX1B2C9D3" << "file" << "none" << false;
    QTest::newRow("nothing after -mj") << ".korva-commit-mj" << "file" << "none" << false;
    QTest::newRow("no uid after -u") << ".korva-commit-u-mj0A1B2C9D3" << "file" << "none" << false;
    QTest::newRow("another file's super-journal") << ".korva-commitx-mj0A1B2C9D3" << "file" << "none" << false;
    QTest::newRow("a directory of that name") << ".korva-commit-mj3A1B2C9D3" << "directory" << "none" << false;
}

void TestCrash::abandonedSuperJournalsGoAtTheNextStart() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, journal);
    QFETCH(bool, removed);
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    const QString super = p + "/" + name;
    // A journal of a table the store never opens, as a table's journal of a
    // multi-file commit ends: the super-journal's path, then its length, a
    // checksum and the magic number.
    const QString listed = p + "/other.db-journal";
    if (kind == "directory") QVERIFY(QDir().mkpath(super));
    else QVERIFY(WriteFile(super, listed.toUtf8() + '\0'));
    const QByteArray fifo = QFile::encodeName(listed);
    std::atomic<bool> writerIn{false};
    std::thread writer;
    if (journal == "fifo") {
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        // Its open returns once any reader has opened the FIFO.
        writer = std::thread([&] {
            const int fd = ::open(fifo.constData(), O_WRONLY | O_CLOEXEC);
            writerIn = true;
            if (fd >= 0) ::close(fd);
        });
    } else if (journal != "none") {
        const QString named = journal == "naming" ? super : p + "/.korva-commit-mj9F9F9F9F9";
        QVERIFY(WriteFile(listed, QByteArray(600, 'j') + named.toUtf8() + QByteArray::fromHex("000000250000123411223344556677ff")));
    }
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", "540000000", "1"}).status, 0);
    if (writer.joinable()) {
        const bool opened = writerIn;
        // The test's own reader lets the writer go.
        const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        writer.join();
        if (reader >= 0) ::close(reader);
        QVERIFY2(!opened, "the sweep opened the FIFO");
    }
    QCOMPARE(QFileInfo::exists(super), !removed);
    VERIFY_WHOLE_SUPPORTS(p, "", QSet<int>({540000000}));
}

// A super-journal in a project another program holds open may be its live
// commit's: it stays while that program lives, and goes with the first
// start after the program was killed.
void TestCrash::heldSuperJournalGoesOnceItsHolderIsKilled() {
    TestDir dir;
    const QString p = dir.file("project");
    crashproject::Create(p);
    QProcess holder;
    holder.start(KORVA_CRASH_CHILD, {p, "hold"});
    QVERIFY(holder.waitForReadyRead(30000));
    QVERIFY(holder.readAll().startsWith("ready"));
    // Made while the holder has the project, as its own commit would.
    const QString super = p + "/.korva-commit-mj5A5B5C9D5";
    QVERIFY(WriteFile(super, (p + "/konstr8.db-journal").toUtf8() + '\0'));
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", "550000000", "1"}).status, 0);
    QVERIFY(QFileInfo::exists(super));
    // The database of this process holds the directory as well.
    {
        TDatabase db("KORVA_CRASH_TEST");
        db.SetDirectory(p);
        db.Open();
        QCOMPARE(RemoveAbandonedSuperJournals(p), -1);
    }
    holder.kill();  // SIGKILL
    QVERIFY(holder.waitForFinished(30000));
    QVERIFY(QFileInfo::exists(super));
    QCOMPARE(RunChild(KORVA_CRASH_CHILD, {p, "store", "550000001", "1"}).status, 0);
    QVERIFY(!QFileInfo::exists(super));
    QCOMPARE(crashproject::Verify(p).keys, QSet<int>({550000000, 550000001}));
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
