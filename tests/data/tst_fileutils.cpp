// File utilities and the galvanising flags.
#include "tst_access_fixture.h"

#include "data/Check_HD_Set.h"
#include "data/FileUtils.h"
#include "data/PGRSRL.h"
#include "platform/DbErrors.h"
#include "platform/FaultInjection.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int Mode(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

void Touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
}

// Sets or clears the immutable attribute, which makes even root's unlink,
// chmod and file creation fail; false where the file system or the user
// cannot set it.
bool SetImmutable(const QString& path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

QList<bool> Flags(const QString& dir, const QString& table, const QString& field) {
    TTable t(dir, table);
    t.Open();
    QList<bool> out;
    for (bool more = !t.IsEmpty(); more; more = t.Next())
        out << t.FieldByName(field).AsBoolean();
    return out;
}

}  // namespace

class TestFileUtils : public QObject {
    Q_OBJECT

    TestDir tmp;

private slots:
    void initTestCase() { qputenv("TMPDIR", tmp.path().toLocal8Bit()); }
    void init() { ResetCalcState(); }

    void addBackslash_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("windows path") << "C:\\TEMP" << "C:\\TEMP/";
        // A backslash is part of the name: "save0" appended must land inside
        // the directory "C:\TEMP\", not in a file "C:\TEMP\save0" beside it.
        QTest::newRow("name ending in a backslash") << "C:\\TEMP\\" << "C:\\TEMP\\/";
        QTest::newRow("posix path") << "/tmp/x" << "/tmp/x/";
        QTest::newRow("posix path with separator") << "/tmp/x/" << "/tmp/x/";
        QTest::newRow("empty") << "" << "";
    }
    void addBackslash() {
        QFETCH(QString, path);
        QTEST(AddBackslash(path), "expected");
    }

    void tempDir() {
        QCOMPARE(GetTempDir(), tmp.path() + "/");
        const QString name = GetUniqueTempName();
        QVERIFY(name.startsWith(tmp.path() + "/KORVA"));
        QVERIFY(QFileInfo(name).isFile());
        QCOMPARE(Mode(name), 0600);
        QVERIFY(GetUniqueTempName() != name);
        QFile::remove(name);
    }

    void tempDirMissing() {
        qputenv("TMPDIR", tmp.file("gone").toLocal8Bit());
        try {
            GetTempDir();
            QFAIL("no error");
        } catch (const EGeneralError& e) {
            QCOMPARE(e.Message(), QStringLiteral("GetTempPath Errorcode : 2"));
        }
        qputenv("TMPDIR", tmp.path().toLocal8Bit());
    }

    void uniqueTempPaths() {
        const mode_t old = ::umask(0);
        const QString a = ZoCreateUniqueTempPath();
        const QString b = ZoCreateUniqueTempPath();
        ::umask(old);
        QVERIFY(a != b);
        for (const QString& d : {a, b}) {
            QVERIFY(QFileInfo(d).isDir());
            QCOMPARE(Mode(d), 0700);
            QVERIFY(QDir(d).isEmpty());
            QVERIFY(RemoveDirWithFiles(d));
            QVERIFY(!QFileInfo::exists(d));
        }
    }

    void removeDirWithFiles() {
        const QString d = ZoCreateUniqueTempPath();
        Touch(d + "/plain.db");
        Touch(d + "/.hidden");
        Touch(d + "/readonly.db");
        QFile::setPermissions(d + "/readonly.db", QFileDevice::ReadOwner);
        // A link is removed as a link; what it points at stays.
        Touch(tmp.file("target"));
        QVERIFY(QFile::link(tmp.file("target"), d + "/link"));
        QVERIFY(RemoveDirWithFiles(d + "/"));
        QVERIFY(!QFileInfo::exists(d));
        QVERIFY(QFileInfo::exists(tmp.file("target")));
    }

    void removeDirWithSubdirectory() {
        const QString d = ZoCreateUniqueTempPath();
        Touch(d + "/a.db");
        QVERIFY(QDir(d).mkdir("sub"));
        try {
            RemoveDirWithFiles(d);
            QFAIL("no error");
        } catch (const EGeneralError& e) {
            QCOMPARE(e.Message(), "RemoveDirWithFiles: \rCan not delete the directory  " + d + "/");
        }
        QVERIFY(!QFileInfo::exists(d + "/a.db"));
        QVERIFY(QDir(d).removeRecursively());
    }

    // The failure texts of the file utilities, each with the names it
    // carries (two blanks before the directory).
    void failureTexts_data() {
        QTest::addColumn<int>("mode");          // of the file "a.db" in the directory; 0: the folder itself
        QTest::addColumn<QString>("expected");  // %1 the file's directory
        QTest::newRow("file cannot be deleted") << 0644 << "RemoveDirWithFiles: \rCan not delete the file a.db in the directory  %1";
        QTest::newRow("attributes cannot change")
            << 0444 << "RemoveDirWithFiles: \rCan not change attributes of the file a.db in the directory  %1";
        QTest::newRow("no unique name") << 0 << "GetTempFileName BDE configuration errorErrorcode : 1";
    }
    void failureTexts() {
        QFETCH(int, mode);
        QFETCH(QString, expected);
        const QString d = ZoCreateUniqueTempPath() + "/";
        const QString locked = mode ? d + "a.db" : tmp.path();
        if (mode) {
            Touch(locked);
            QVERIFY(QFile::setPermissions(locked, mode == 0444 ? QFileDevice::ReadOwner
                                                               : QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        }
        if (!SetImmutable(locked, true)) QSKIP("the immutable attribute cannot be set here");
        QString message;
        try {
            if (mode) RemoveDirWithFiles(d);
            else GetUniqueTempName();
        } catch (const EGeneralError& e) {
            message = e.Message();
        }
        QVERIFY(SetImmutable(locked, false));
        QCOMPARE(message, expected.contains("%1") ? expected.arg(d) : expected);
        QVERIFY(RemoveDirWithFiles(d));
    }

    void hdFlags_data() {
        QTest::addColumn<bool>("pgstat");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("galvanised");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("rows");  // the flag of every row afterwards
        QTest::newRow("pgstat 210 on") << true << "210" << true << 5 << "00001" << "1101";
        QTest::newRow("pgstat 210 off") << true << "210" << false << 5 << "00000" << "0001";
        QTest::newRow("pgstat 60 off") << true << "60" << false << 9 << "000000000" << "1100";
        QTest::newRow("pgstat unknown type") << true << "999" << true << 1 << "1" << "1101";
        QTest::newRow("clamps 42 off") << false << "42" << false << 28 << QString(28, '0') << "0011";
        QTest::newRow("clamps 42 on") << false << "42" << true << 28 << QString(27, '0') + "1" << "1011";
        QTest::newRow("quote in type") << true << "210' OR 'x'='x" << false << 5 << "00000" << "1101";
    }
    void hdFlags() {
        QFETCH(bool, pgstat);
        QFETCH(QString, type);
        QFETCH(bool, galvanised);
        QFETCH(int, position);
        CatalogueFixture f;
        // Pgstat: two rows of type 210 (flag on), one of type 60 (off), one
        // of type 60 (on). Clamps: type 42 with and without a galvanised
        // variant, and type 43.
        f.Insert("Pgstat.DB", {{"STA_NRN", 21010218}, {"STA_KBEZ", "210"}, {"STA_HD_KZ", true}});
        f.Insert("Pgstat.DB", {{"STA_NRN", 21010318}, {"STA_KBEZ", "210"}, {"STA_HD_KZ", true}});
        f.Insert("Pgstat.DB", {{"STA_NRN", 60010000}, {"STA_KBEZ", "60"}, {"STA_HD_KZ", false}});
        f.Insert("Pgstat.DB", {{"STA_NRN", 60011000}, {"STA_KBEZ", "60"}, {"STA_HD_KZ", true}});
        f.Insert("pgrsrsl.DB", {{"RSL_NRN", 42010101}, {"RSL_KBEZ", "42"}, {"HD_KZ_ORG", true}, {"RSL_HD_KZ", true}});
        f.Insert("pgrsrsl.DB", {{"RSL_NRN", 42010201}, {"RSL_KBEZ", "42"}, {"HD_KZ_ORG", false}, {"RSL_HD_KZ", false}});
        f.Insert("pgrsrsl.DB", {{"RSL_NRN", 43010101}, {"RSL_KBEZ", "43"}, {"HD_KZ_ORG", true}, {"RSL_HD_KZ", true}});
        f.Insert("pgrsrsl.DB", {{"RSL_NRN", 43010201}, {"RSL_KBEZ", "43"}, {"HD_KZ_ORG", true}, {"RSL_HD_KZ", true}});
        f.Start();
        DBKONST->PGSTAT.Close();
        CalcGlobals.HDFlags = QString(35, '0');
        if (pgstat)
            SetHDFlagPgstat(type, galvanised, position);
        else
            SetHDFlagPgrsrsl(type, galvanised, position);
        QFETCH(QString, flags);
        QCOMPARE(CalcGlobals.HDFlags, flags.leftJustified(35, '0'));
        const QList<bool> rows = pgstat ? Flags(f.dir.path(), "Pgstat.DB", "STA_HD_KZ")
                                        : Flags(f.dir.path(), "pgrsrsl.DB", "RSL_HD_KZ");
        QString text;
        for (bool b : rows)
            text += b ? '1' : '0';
        QTEST(text, "rows");
        // The tables are as they were: PGSTAT closed, PGRSRL open, neither
        // filtered.
        QVERIFY(!DBKONST->PGSTAT.Active());
        QVERIFY(DBKONST->PGRSRL.Active());
        QVERIFY(!DBKONST->PGSTAT.Filtered());
    }

    // A write that fails puts the table back as it was found before the
    // error goes on.
    void hdFlagsWriteFails() {
        CatalogueFixture f;
        f.Insert("pgrsrsl.DB", {{"RSL_NRN", 42010101}, {"RSL_KBEZ", "42"}, {"HD_KZ_ORG", true}, {"RSL_EXTRA", 0}});
        f.Insert("pgrsrsl.DB", {{"RSL_NRN", 42010201}, {"RSL_KBEZ", "42"}, {"HD_KZ_ORG", true}, {"RSL_EXTRA", 1}});
        f.Insert("Pgstat.DB", {{"STA_NRN", 21010218}, {"STA_KBEZ", "210"}, {"STA_HD_KZ", false}});
        f.Start();
        PgrsrlRecord.RSL_NRN = 42010101;
        PgrsrlRead();  // sets the extended-load filter
        QVERIFY(DBKONST->PGRSRL.Filtered());
        ArmWriteFault(1);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, SetHDFlagPgrsrsl("42", true, 28));
        ArmWriteFault(0);
        QVERIFY(DBKONST->PGRSRL.Active());
        QCOMPARE(DBKONST->PGRSRL.State(), dsBrowse);
        // The clamp reads see the same rows as before.
        PgrsrlRecord.RSL_NRN = 42010201;
        PgrsrlRead();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(2));
        PgrsrlRecord.RSL_NRN = 42010101;
        PgrsrlRead();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        DBKONST->PGSTAT.Close();
        ArmWriteFault(1);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, SetHDFlagPgstat("210", true, 5));
        ArmWriteFault(0);
        QVERIFY(!DBKONST->PGSTAT.Active());
        QVERIFY(!DBKONST->PGSTAT.Filtered());
        QCOMPARE(Flags(f.dir.path(), "Pgstat.DB", "STA_HD_KZ"), QList<bool>{false});
    }

    // A filter with bound values that a caller had on the table is back in
    // full afterwards, whether the writing succeeds or fails.
    void hdFlagsKeepCallersBoundFilter_data() {
        QTest::addColumn<bool>("fail");
        QTest::addColumn<bool>("on");
        QTest::newRow("written, filter on") << false << true;
        QTest::newRow("written, filter off") << false << false;
        QTest::newRow("write fails, filter on") << true << true;
    }
    void hdFlagsKeepCallersBoundFilter() {
        QFETCH(bool, fail);
        QFETCH(bool, on);
        CatalogueFixture f;
        f.Insert("Pgstat.DB", {{"STA_NRN", 21010218}, {"STA_KBEZ", "210"}, {"STA_HD_KZ", false}});
        f.Insert("Pgstat.DB", {{"STA_NRN", 60010000}, {"STA_KBEZ", "60"}, {"STA_HD_KZ", false}});
        f.Insert("Pgstat.DB", {{"STA_NRN", 60011000}, {"STA_KBEZ", "60"}, {"STA_HD_KZ", true}});
        f.Start();
        TTable& t = DBKONST->PGSTAT;
        t.Open();
        const QString theirs = QStringLiteral("STA_KBEZ = ? AND STA_NRN > ?");
        const QVariantList params{QStringLiteral("60"), 60010000};
        t.SetFilter(theirs, params);
        t.SetFiltered(on);
        ArmWriteFault(fail ? 1 : 0);
        if (fail)
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, SetHDFlagPgstat("210", true, 5));
        else
            SetHDFlagPgstat("210", true, 5);
        ArmWriteFault(0);
        QCOMPARE(t.Filter(), theirs);
        QCOMPARE(t.FilterParams(), params);
        QCOMPARE(t.Filtered(), on);
        QCOMPARE(t.RecordCount(), on ? 1 : 3);
        QCOMPARE(Flags(f.dir.path(), "Pgstat.DB", "STA_HD_KZ"), (QList<bool>{!fail, false, true}));
    }
};

QTEST_GUILESS_MAIN(TestFileUtils)
#include "tst_fileutils.moc"
