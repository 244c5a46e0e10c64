// The project search on a directory tree in a temporary directory: the
// scan (nested projects, a symbolic-link loop, abort), the three search
// conditions with marks that look like SQL, the padded drawing number, a
// corrupt project table, and the stored results of successive searches.
#include "support/TestSupport.h"
#include "data/ProjectSchema.h"
#include "forms/PrjSearch.h"
#include "forms/waitInfo.h"
#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "ui/DirTree.h"
#include "messages/MessageSeam.h"
#include "ui/MultiLang.h"
#include "ui/QWDateiInfo2.h"
#include "localisation/IvMulti.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>


namespace {

void MakeProject(const QString& dir, const QList<QPair<qint64, QString>>& supports,
                 const QString& fileName = QStringLiteral("konstr8.db")) {
    QDir().mkpath(dir);
    CreateTableFile(QDir(dir).filePath(fileName), ProjectFieldDefs(ProjectTable::Konstr),
                    ProjectIndexDefs(ProjectTable::Konstr));
    static int n = 0;
    TDatabase db(QStringLiteral("TST_PRJ_%1").arg(++n));
    db.SetDirectory(dir);
    for (const auto& s : supports) {
        TQuery q(db.DatabaseName(), "insert into konstr8 (K_F_NR_AUS, K_POS_NR, K_NAME, K_A_NR) values (?, ?, ?, ?)");
        q.SetParams({s.first, s.second, QStringLiteral("Plant"), 101});
        q.ExecSQL();
    }
}

// root/a/p1            drawing 00012-3-0003 "xABy", 10000-3-0001 "H-1"
// root/a/p1/sub/p2     marks that look like SQL and a non-ASCII one
// root/ab/p4           a neighbour whose name starts like "a"
// root/b/p3            a project without supports
// root/c/broken        a corrupt project table
// root/d               the table file's name in capitals
// root/a/loop -> root  a symbolic-link loop
struct Tree {
    TestDir tmp;
    QString root;
    Tree() {
        root = tmp.path() + QStringLiteral("/root/");
        MakeProject(root + "a/p1", {{120003, "xABy"}, {100000001, "H-1"}});
        MakeProject(root + "a/p1/sub/p2", {{200010001, "50%_off"}, {200010002, "50X_off"}, {200010003, "5%"},
                                           {200010004, "'quoted'"}, {200010005, u"Größe-Ä1"_qs}});
        MakeProject(root + "ab/p4", {{300010001, "ab-4"}});
        MakeProject(root + "b/p3", {});
        QDir().mkpath(root + "c/broken");
        QFile broken(root + "c/broken/konstr8.db");
        broken.open(QIODevice::WriteOnly);
        broken.write(QByteArray(3000, 'x'));
        broken.close();
        MakeProject(root + "d", {{400010001, "D-1"}}, QStringLiteral("KONSTR8.DB"));
        QFile::link(root, root + "a/loop");
        QDir().mkpath(root + "e/empty/deeper");
    }
    ~Tree() { Session().Close(); }
};

// The tree of the search form sees only the temporary directory.
class TempFileSystem : public TDirFileSystem {
public:
    explicit TempFileSystem(QString base) : m_base(EnsureTrailingSlash(std::move(base))) {}
    QList<Mount> Mounts() const override { return {{"/", "ext4", "disk"}}; }
    QList<Entry> SubDirectories(const QString& dir) const override {
        QList<Entry> out;
        if (dir != QLatin1String("/") && !dir.startsWith(m_base) && !m_base.startsWith(dir)) return out;
        if (m_base.startsWith(dir) && dir != m_base) {
            // Only the way down to the base.
            const QString next = m_base.mid(dir.size()).section(QLatin1Char('/'), 0, 0);
            out.append({next, false, false});
            return out;
        }
        for (const QString& n : QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks))
            out.append({n, false, false});
        return out;
    }
    bool DirectoryExists(const QString& dir) const override {
        const QString d = EnsureTrailingSlash(dir);
        return (d.startsWith(m_base) || m_base.startsWith(d)) && QFileInfo(d).isDir();
    }

private:
    QString m_base;
};

QStringList Relative(const QStringList& dirs, const QString& root) {
    QStringList out;
    for (const QString& d : dirs) out << (d.startsWith(root) ? d.mid(root.size()) : d);
    return out;
}

}  // namespace

class TstPrjSearch : public QObject {
    Q_OBJECT
private slots:
    void init() { PrjSearchAborted = false; }

    void padding_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");  // "!" = too long
        QTest::newRow("short") << "12" << 5 << "00012";
        QTest::newRow("full") << "12345" << 5 << "12345";
        QTest::newRow("one too long") << "123456" << 5 << "!";
        QTest::newRow("empty") << "" << 4 << "0000";
        QTest::newRow("four") << "3" << 4 << "0003";
    }
    void padding() {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, expected);
        if (expected == "!") {
            try {
                PadWithZeros(text, width);
                QFAIL("no exception");
            } catch (const std::length_error& e) {
                QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("String too long !"));
            }
        } else {
            QCOMPARE(PadWithZeros(text, width), expected);
        }
        QCOMPARE(PadTo5Digits("12") + PadTo4Digits("3"), QStringLiteral("000120003"));
    }

    void drawingKeyDisplay_data() {
        QTest::addColumn<qint64>("key");
        QTest::addColumn<QString>("shown");
        QTest::newRow("drawing 12") << qint64(120003) << "00012 - 3 - 0003";
        QTest::newRow("drawing 9999") << qint64(99990001) << "09999 - 3 - 0001";
        QTest::newRow("drawing 10000") << qint64(100000001) << "10000 - 3 - 0001";
        QTest::newRow("largest") << qint64(999999999) << "99999 - 3 - 9999";
        QTest::newRow("zero") << qint64(0) << "00000 - 3 - 0000";
    }
    void drawingKeyDisplay() {
        QFETCH(qint64, key);
        QFETCH(QString, shown);
        QCOMPARE(DrawingKeyDisplay(key), shown);
    }

    void shortenPath() {
        QCOMPARE(ShortenPathOnce("/a/b/c/d"), QStringLiteral("/.../b/c/d"));
        QCOMPARE(ShortenPathOnce("/.../b/c/d"), QStringLiteral("/.../c/d"));
        QCOMPARE(ShortenPathOnce("/.../d"), QStringLiteral("/.../d"));
        QCOMPARE(ShortenPathOnce("/d/"), QStringLiteral("/d/"));
        const QFontMetrics fm(QApplication::font());
        const QString longPath = "/home/engineer/projects/plant-one/area-two/unit-three/";
        const QString fitted = FitPathToWidth(fm, longPath, fm.horizontalAdvance("/.../area-two/unit-three/"));
        QCOMPARE(fitted, QStringLiteral("/.../area-two/unit-three/"));
        QCOMPARE(FitPathToWidth(fm, longPath, 10000), longPath);
    }

    void scanFindsNestedProjectsAndEndsOnALinkLoop() {
        Tree t;
        QStringList found;
        int calls = 0;
        ScanProjectDirectories(t.root, "konstr8.db", found, [&](const QString&) { return ++calls < 1000; });
        QVERIFY2(calls < 1000, "the scan did not end");
        QCOMPARE(Relative(found, t.root),
                 (QStringList{"a/p1/", "a/p1/sub/p2/", "ab/p4/", "b/p3/", "c/broken/", "d/"}));
        QVERIFY(!PrjSearchAborted);
    }

    // The system's own directories are refused by name, before anything
    // is read from them.
    void scanNeverEntersSystemDirectories_data() {
        QTest::addColumn<QString>("dir");
        QTest::newRow("proc") << "/proc";
        QTest::newRow("sys") << "/sys/";
        QTest::newRow("below dev") << "/dev/disk/";
    }
    void scanNeverEntersSystemDirectories() {
        QFETCH(QString, dir);
        QStringList found;
        int calls = 0;
        ScanProjectDirectories(dir, "konstr8.db", found, [&](const QString&) { return ++calls < 10; });
        QCOMPARE(calls, 0);
        QVERIFY(found.isEmpty());
    }

    void scanStopsOnAbort() {
        Tree t;
        QStringList found;
        QStringList seen;
        ScanProjectDirectories(t.root, "konstr8.db", found, [&](const QString& d) {
            seen << d;
            if (seen.size() == 3) PrjSearchAborted = true;  // as the abort window does
            return seen.size() < 1000;
        });
        QCOMPARE(seen.size(), 3);
        QCOMPARE(Relative(found, t.root), QStringList{"a/p1/"});
    }

    void conditions_data() {
        QTest::addColumn<QString>("project");
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("partial");
        QTest::addColumn<QStringList>("marks");
        QTest::newRow("drawing 12-3-3") << "a/p1" << 1 << "12|3" << false << QStringList{"xABy"};
        QTest::newRow("drawing 12-3-4") << "a/p1" << 1 << "12|4" << false << QStringList{};
        QTest::newRow("drawing 10000-3-1") << "a/p1" << 1 << "10000|1" << false << QStringList{"H-1"};
        QTest::newRow("mark") << "a/p1" << 2 << "xABy" << false << QStringList{"xABy"};
        QTest::newRow("mark other case") << "a/p1" << 2 << "xaby" << false << QStringList{};
        QTest::newRow("fraction any case") << "a/p1" << 2 << "ab" << true << QStringList{"xABy"};
        QTest::newRow("percent is a character") << "a/p1/sub/p2" << 2 << "%" << true << QStringList{"50%_off", "5%"};
        QTest::newRow("percent and underscore") << "a/p1/sub/p2" << 2 << "50%_" << true << QStringList{"50%_off"};
        QTest::newRow("underscore alone") << "a/p1/sub/p2" << 2 << "0_" << true << QStringList{};
        QTest::newRow("quotes exact") << "a/p1/sub/p2" << 2 << "'quoted'" << false << QStringList{"'quoted'"};
        QTest::newRow("quote fraction") << "a/p1/sub/p2" << 2 << "QUOTED'" << true << QStringList{"'quoted'"};
        QTest::newRow("non-ASCII case") << "a/p1/sub/p2" << 2 << u"gröSSe-ä"_qs << true << QStringList{};
        QTest::newRow("umlaut case") << "a/p1/sub/p2" << 2 << u"öße-ä1"_qs << true << QStringList{u"Größe-Ä1"_qs};
        QTest::newRow("all") << "a/p1" << 0 << "" << false << QStringList{"xABy", "H-1"};
    }
    void conditions() {
        QFETCH(QString, project);
        QFETCH(int, option);
        QFETCH(QString, value);
        QFETCH(bool, partial);
        QFETCH(QStringList, marks);
        Tree t;
        SearchCondition c;
        c.option = SearchOption(option);
        c.drawingPart = value.section('|', 0, 0);
        c.runningNo = value.section('|', 1, 1);
        c.mark = value;
        c.partial = partial;
        QStringList got;
        for (const QStringList& row : ProjectDrawings(t.root + project + "/", c)) got << row.at(1);
        QCOMPARE(got, marks);
    }

    void gridRowShowsThePaddedDrawingNumber() {
        Tree t;
        const auto rows = ProjectDrawings(t.root + "a/p1/", {}, true);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].size(), 10);
        QCOMPARE(rows[0][0], QStringLiteral("00012 - 3 - 0003"));
        QCOMPARE(rows[0][6], QStringLiteral("Plant"));
        QCOMPARE(rows[0][9], QStringLiteral("101"));
        QCOMPARE(rows[1][0], QStringLiteral("10000 - 3 - 0001"));
    }

    void corruptTableRaises() {
        Tree t;
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, ProjectDrawings(t.root + "c/broken/", {}));
    }

    void secondSearchReplacesOnlyItsSubtree() {
        Tree t;
        TTable table(t.tmp.path(), "PrjSearchResult.db");
        QCOMPARE(StoreSearchResults(table, t.root + "a", {t.root + "a/p1/", t.root + "a/old/"}), QStringList{});
        QCOMPARE(StoreSearchResults(table, t.root + "ab/", {t.root + "ab/p4/"}),
                 (QStringList{t.root + "a/p1/", t.root + "a/old/"}));
        // Again below "a": a/old is gone; ab (a neighbour, not below a) stays.
        QCOMPARE(StoreSearchResults(table, t.root + "a/", {t.root + "a/p1/"}), QStringList{t.root + "ab/p4/"});
        QStringList stored;
        table.Open();
        table.First();
        for (bool more = !table.IsEmpty(); more; more = table.Next()) stored << table.FieldByName("PrjPath").AsString();
        table.Close();
        QCOMPARE(stored, (QStringList{t.root + "ab/p4/", t.root + "a/p1/"}));
    }

    void formSearchListsProjectsWithErrorsAndStoresThem() {
        ScriptedMessageSeam seam;
        Tree t;
        TFPrjSearchAbort abortForm;
        TFPRJSEARCH form(nullptr, t.tmp.path(), std::make_shared<TempFileSystem>(t.tmp.path()));
        form.show();
        form.DirTree1->OpenPath(t.root);
        QCOMPARE(form.StartDirectory(), t.root);
        form.Button1Click();
        QVERIFY2(seam.Requests().empty(), qPrintable(seam.Texts().join('|')));
        QCOMPARE(Relative(form.ResultDirectories(), t.root),
                 (QStringList{"a/p1/", "a/p1/sub/p2/", "ab/p4/", "c/broken/", "d/"}));
        QVERIFY(form.ResultReadable(0));
        QVERIFY(!form.ResultReadable(3));
        const QStringList errors = form.ErrorList->toPlainText().split('\n');
        QCOMPARE(errors.size(), 4);
        QCOMPARE(errors[0], QStringLiteral("Directory"));
        QCOMPARE(errors[1], t.root + "c/broken/");
        QCOMPARE(errors[3], QString(68, '='));
        QVERIFY(abortForm.isHidden());
        // The grid of a project.
        form.ListBox1->setCurrentRow(0);
        QCOMPARE(form.StringGrid1->rowCount(), 2);
        QCOMPARE(form.StringGrid1->item(0, 0)->text(), QStringLiteral("00012 - 3 - 0003"));
        // The unreadable project says why its supports cannot be shown.
        form.ListBox1->setCurrentRow(3);
        QCOMPARE(form.StringGrid1->rowCount(), 0);
        QCOMPARE(seam.Texts().size(), 1);
        // The reason's text (the table's own: its file, then the engine's
        // word for a file of no database) follows the word as it stands,
        // nothing between.
        QCOMPARE(seam.Texts()[0],
                 QStringLiteral("Data of this directory can not be displayed, can not open project data file !\r\r"
                                "Reason") +
                     t.root + QStringLiteral("c/broken/konstr8.db: file is not a database"));
        // Copy the selected and all directories.
        form.Copyselecteddirectoryname1Click();
        QCOMPARE(QApplication::clipboard()->text(), t.root + "c/broken/");
        form.Copyalldirectorynames1Click();
        QCOMPARE(QApplication::clipboard()->text().split("\r\n").size(), 5);
        // With empty projects shown.
        form.chkboxShowAll->setChecked(true);
        form.Button1Click();
        QVERIFY(Relative(form.ResultDirectories(), t.root).contains("b/p3/"));
    }

    // The search starts at the root of the system volume, which the
    // directory tree opens as its initial directory; the tree's selection
    // then steers the start directory.
    // The version caption names the program's date as the file system keeps
    // it: a file changed at 20:30 UTC on 6 May is of 6 May in Tokyo too
    // (local time there would give 7 May).
    void versionCaptionDateIsUtc() {
        TestDir dir;
        const QString file = dir.file("program");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.setFileTime(QDateTime(QDate(2024, 5, 6), QTime(20, 30, 15), Qt::UTC),
                              QFileDevice::FileModificationTime));
        f.close();
        const ScopedTimeZone tokyo("Asia/Tokyo");
        TFPRJSEARCH form(nullptr, dir.path(), std::make_shared<TempFileSystem>(dir.path()));
        form.QWDateiInfo->SetDatei_Name(file);
        form.IvTranslator1->OnLanguageChange(form.IvTranslator1);
        QCOMPARE(form.VersionLabel->text(), QStringLiteral("Version : 8.9.0     ( 06.05.2024 )"));
    }

    void formStartsAtTheRootThroughTheTree() {
        Tree t;
        TFPRJSEARCH form(nullptr, t.tmp.path(), std::make_shared<TempFileSystem>(t.tmp.path()));
        QCOMPARE(form.DirTree1->InitialDirectory, QStringLiteral("/"));
        QVERIFY(form.DirTree1->WindowCreated());
        QCOMPARE(form.DirTree1->GetSelectedPath().value_or(QString()), QStringLiteral("/"));
        QCOMPARE(form.StartDirectory(), QStringLiteral("/"));
        QCOMPARE(form.DirTree1->DriveTypes(), unsigned(drtFixed | drtRemote));
        QVERIFY(!form.DirTree1->AcceptDropFiles());
        form.DirTree1->OpenPath(t.root + "ab");
        QCOMPARE(form.StartDirectory(), t.root + "ab/");
    }

    void formFractionSearch() {
        ScriptedMessageSeam seam;
        Tree t;
        TFPRJSEARCH form(nullptr, t.tmp.path(), std::make_shared<TempFileSystem>(t.tmp.path()));
        form.DirTree1->OpenPath(t.root);
        form.SetSearchOption(2);
        QVERIFY(form.E_UPOS->isEnabled());
        QVERIFY(!form.E_PRGNR->isEnabled());
        form.E_UPOS->setText("AB");
        form.CBpartial->setChecked(true);
        form.Button1Click();
        QCOMPARE(Relative(form.ResultDirectories(), t.root), (QStringList{"a/p1/", "ab/p4/", "c/broken/"}));
        form.ListBox1->setCurrentRow(1);
        QCOMPARE(form.StringGrid1->rowCount(), 1);
        form.CBviewAll->click();
        QCOMPARE(form.StringGrid1->rowCount(), 1);  // p4 holds one support
        form.ListBox1->setCurrentRow(0);
        QCOMPARE(form.StringGrid1->rowCount(), 2);  // all of p1's
    }

    void formArgumentChecks_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("message");
        QTest::newRow("no running number") << 1 << "12" << "" << "Please enter a complete drawing number !";
        QTest::newRow("zero drawing") << 1 << "0" << "3" << "Please enter a complete drawing number !";
        QTest::newRow("no mark") << 2 << "" << "" << "Please enter a hanger mark number !";
        QTest::newRow("not found") << 1 << "99" << "9" << "No KORVA 8.x project files found, including the KORVA drawing no. \"99-3-9\" !";
    }
    void formArgumentChecks() {
        QFETCH(int, option);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, message);
        ScriptedMessageSeam seam;
        Tree t;
        TFPRJSEARCH form(nullptr, t.tmp.path(), std::make_shared<TempFileSystem>(t.tmp.path()));
        // Below "a" there is no unreadable project, so nothing is found.
        form.DirTree1->OpenPath(t.root + "a");
        form.SetSearchOption(option);
        form.E_PRGNR->setText(a);
        form.E_LFDNR->setText(b);
        form.Button1Click();
        QCOMPARE(seam.Texts(), QStringList{message});
        QCOMPARE(form.ListBox1->count(), 0);
    }

    void searchButtonIsOffWhileSearchingAndEscCloses() {
        ScriptedMessageSeam seam;
        Tree t;
        TFPrjSearchAbort abortForm;
        TFPRJSEARCH form(nullptr, t.tmp.path(), std::make_shared<TempFileSystem>(t.tmp.path()));
        form.show();
        form.DirTree1->OpenPath(t.root);
        bool enabledDuringScan = true;
        QTimer::singleShot(0, &form, [&] { enabledDuringScan = form.Button1->isEnabled(); });
        form.Button1Click();
        QVERIFY(!enabledDuringScan);
        QVERIFY(form.Button1->isEnabled());
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
    }

    void abortKeepsStoredResults() {
        ScriptedMessageSeam seam;
        Tree t;
        TTable table(t.tmp.path(), "PrjSearchResult.db");
        StoreSearchResults(table, t.root + "x/", {t.root + "a/p1/"});
        TFPrjSearchAbort abortForm;
        TFPRJSEARCH form(nullptr, t.tmp.path(), std::make_shared<TempFileSystem>(t.tmp.path()));
        form.DirTree1->OpenPath(t.root);
        // Esc on the abort window while the scan serves its messages.
        QTimer::singleShot(0, &abortForm, [&] { QTest::keyClick(&abortForm, Qt::Key_Escape); });
        form.Button1Click();
        QVERIFY(PrjSearchAborted);
        QCOMPARE(seam.Texts(), QStringList{"Search aborted !"});
        QCOMPARE(form.ListBox1->count(), 0);
        QCOMPARE(StoreSearchResults(table, t.root + "zz/", {}), QStringList{t.root + "a/p1/"});
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    DictionaryScope dictionaries;
    TstPrjSearch t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_prjsearch.moc"
