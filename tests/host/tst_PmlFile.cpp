// The output file for the host: golden files of hand-built supports, the
// bytes on disk (CR LF, Windows-1252, "." under a German interface), the
// number forms, the boundaries the writer decides on, and what a failure
// leaves behind (nothing).
#include "PmlScenarios.h"
#include "host/PMLFUELL.h"
#include "host/PMLFUELLState.h"
#include "data/TXTTAB.h"
#include "platform/HostFiles.h"

#include <QLocale>
#include <sqlite3.h>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <functional>
#include <clocale>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pmlfixture;

namespace {

const QString GoldenDir = QStringLiteral(KORVA_SOURCE_DIR "/tests/host/golden");

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const Scenario* FindScenario(const QString& name) {
    for (const Scenario& s : Scenarios())
        if (QLatin1String(s.name) == name) return &s;
    return nullptr;
}

// Runs from dir, so the name printed in line 001 is the bare file name.
class CurrentDir {
public:
    explicit CurrentDir(const QString& dir) : m_old(QDir::currentPath()) { QDir::setCurrent(dir); }
    ~CurrentDir() { QDir::setCurrent(m_old); }

private:
    QString m_old;
};

QStringList LinesOf(const QByteArray& bytes) {
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

int IndexOfPrefix(const QStringList& lines, const QString& prefix) {
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(prefix)) return i;
    return -1;
}

// Runs fn in a child process and waits at most `seconds`: a walk that
// does not end fails the test by name instead of hanging it. The child's
// exit code is fn's result (0 good).
int RunBounded(const std::function<int()>& fn, int seconds) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) _exit(fn());
    for (int waited = 0; waited < seconds * 100; ++waited) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return -3;  // timed out
}

}  // namespace

class TestPmlFile : public QObject {
    Q_OBJECT

    std::unique_ptr<Catalogue> m_catalogue;

    // Writes the scenario's file into a fresh directory; its bytes.
    QByteArray WriteScenario(const Scenario& s, QString* error = nullptr) {
        PrintLanguage language(s.language);
        s.setup();
        TestDir out;
        CurrentDir cd(out.path());
        const QString name = QString::fromLatin1(s.name) + ".zof";
        QString message;
        if (!WritePmlFile(name, &message)) {
            if (error) *error = message;
            return {};
        }
        return ReadAll(out.file(name));
    }

    QStringList ScenarioLines(const char* name) {
        return LinesOf(WriteScenario(*FindScenario(QString::fromLatin1(name))));
    }

    // Writes the record's file and compares the lines that stand `offset`
    // lines after the first line equal to `anchor`.
    void CompareLinesAfter(const QString& anchor, int offset, const QStringList& expected) {
        const QStringList lines = PmlFileLines("x.zof");
        const int at = lines.indexOf(anchor);
        QVERIFY2(at > 0, qPrintable(anchor));
        QCOMPARE(lines.mid(at + offset, expected.size()), expected);
    }

private slots:
    void initTestCase() {
        QVERIFY2(QFile::exists(DemoCatalogue + "/Pgstat.DB"), qPrintable("demo catalogue not built: " + DemoCatalogue));
        QVERIFY2(QFile::exists(PrintDictionaryFile), qPrintable(PrintDictionaryFile));
        m_catalogue = std::make_unique<Catalogue>();
        QVERIFY(m_catalogue->Valid());
    }
    void cleanupTestCase() { m_catalogue.reset(); }

    // Every hand-built support gives exactly its reviewed golden file.
    void goldenFiles_data() {
        QTest::addColumn<QString>("name");
        for (const Scenario& s : Scenarios()) QTest::newRow(s.name) << QString::fromLatin1(s.name);
    }
    void goldenFiles() {
        QFETCH(QString, name);
        QString error;
        const QByteArray bytes = WriteScenario(*FindScenario(name), &error);
        QVERIFY2(!bytes.isEmpty(), qPrintable(error));
        const QString golden = GoldenDir + u'/' + name + ".zof";
        if (qEnvironmentVariableIsSet("KORVA_UPDATE_GOLDEN")) {
            QDir().mkpath(GoldenDir);
            QFile f(golden);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        const QByteArray expected = ReadAll(golden);
        QVERIFY2(!expected.isEmpty(), qPrintable("missing golden file " + golden));
        if (bytes != expected) {
            const QStringList got = LinesOf(bytes), want = LinesOf(expected);
            for (int i = 0; i < std::max(got.size(), want.size()); ++i)
                if (got.value(i) != want.value(i))
                    QFAIL(qPrintable(QStringLiteral("line %1 differs:\n got: [%2]\nwant: [%3]")
                                         .arg(i + 1)
                                         .arg(got.value(i), want.value(i))));
            QFAIL("files differ");
        }
    }

    // CR LF after every line and nowhere else; umlauts and the degree sign
    // as single Windows-1252 bytes.
    void bytesOnDisk() {
        const QByteArray bytes = WriteScenario(*FindScenario("spring_hanger_de"));
        QVERIFY(bytes.endsWith("$.\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
        QVERIFY(!bytes.contains('\t'));
        QVERIFY2(bytes.contains("Anschwei\xDF\xF6se"), "weld lug in Windows-1252");
        QVERIFY(bytes.contains("Temperatur [\xB0" "C]= 200"));
        QVERIFY(bytes.contains("Halterungs-Nr. : /DEMO SH 1"));
        QVERIFY(!bytes.contains("\xC3"));  // no UTF-8 lead byte anywhere
    }

    // A German interface (Qt's default locale and the C runtime's, whose
    // decimal point is ",") changes no number. The German C locale is
    // compiled into the test's own directory.
    void germanInterfaceKeepsPoint() {
        const QByteArray plain = WriteScenario(*FindScenario("spring_hanger_de"));
        TestDir locales;
        QProcess localedef;
        localedef.start(QStringLiteral("localedef"),
                        {"-i", "de_DE", "-f", "UTF-8", locales.file(QStringLiteral("de_DE.UTF-8"))});
        const bool compiled = localedef.waitForFinished(60000) && localedef.exitCode() == 0;
        const QByteArray oldLocPath = qgetenv("LOCPATH");
        qputenv("LOCPATH", locales.path().toLocal8Bit());
        const std::string oldC = std::setlocale(LC_ALL, nullptr);
        const bool cGerman = compiled && std::setlocale(LC_ALL, "de_DE.UTF-8");
        const bool commaPoint = cGerman && std::localeconv()->decimal_point == std::string(",");
        const QLocale old;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QByteArray german = WriteScenario(*FindScenario("spring_hanger_de"));
        QLocale::setDefault(old);
        std::setlocale(LC_ALL, oldC.c_str());
        if (oldLocPath.isNull()) qunsetenv("LOCPATH");
        else qputenv("LOCPATH", oldLocPath);
        QVERIFY(german.contains("  :USTFORCES 10.00 0.50 -0.25\r\n"));
        QVERIFY(!german.contains("10,00"));
        QCOMPARE(german, plain);
        if (!commaPoint) QSKIP("no German C locale could be made here: only Qt's default locale was German");
    }

    void numberForms_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fixed 7.2") << "fixed" << 12.5 << 7 << 2 << "12.50";
        QTest::newRow("fixed negative") << "fixed" << -0.25 << 7 << 2 << "-0.25";
        // A negative value that rounds to zero is written as zero: the
        // number written has no sign to give.
        QTest::newRow("fixed tiny negative is 0") << "fixed" << -0.004 << 7 << 2 << "0.00";
        QTest::newRow("fixed negative zero") << "fixed" << -0.0 << 7 << 2 << "0.00";
        QTest::newRow("fixed -0.25 to whole") << "fixed" << -0.25 << 7 << 0 << "0";
        QTest::newRow("fixed small negative keeps sign") << "fixed" << -0.375 << 7 << 2 << "-0.38";
        QTest::newRow("fixed -0.125 halves to even") << "fixed" << -0.125 << 7 << 2 << "-0.12";
        QTest::newRow("fixed 7 digits fit") << "fixed" << 9999999.0 << 7 << 0 << "9999999";
        QTest::newRow("fixed 8 digits scientific") << "fixed" << 12345678.0 << 7 << 0 << "1.234568E+07";
        QTest::newRow("fixed 4.0 boundary fits") << "fixed" << -9999.0 << 4 << 0 << "-9999";
        QTest::newRow("fixed 4.0 boundary over") << "fixed" << 10000.0 << 4 << 0 << "1E+04";
        QTest::newRow("padded 6.2") << "padded" << 10.0 << 6 << 2 << " 10.00";
        QTest::newRow("padded longer than field") << "padded" << 123456.0 << 5 << 0 << "123456";
        QTest::newRow("padded negative") << "padded" << -6.25 << 5 << 0 << "   -6";
        QTest::newRow("shortest whole") << "shortest" << 250.0 << 0 << 0 << "250";
        QTest::newRow("shortest fraction") << "shortest" << 0.1 << 0 << 0 << "0.1";
        // Fifteen significant digits and no more: one digit further the
        // binary value shows (0.07000000000000001, 1.1000000000000001).
        QTest::newRow("shortest 0.07") << "shortest" << 0.07 << 0 << 0 << "0.07";
        QTest::newRow("shortest 1.1") << "shortest" << 1.1 << 0 << 0 << "1.1";
        QTest::newRow("shortest 0.3") << "shortest" << 0.3 << 0 << 0 << "0.3";
        QTest::newRow("shortest 12.34") << "shortest" << 12.34 << 0 << 0 << "12.34";
        // Fifteen significant digits are all kept, below 1, from 1 to 10
        // and above.
        QTest::newRow("shortest 15 digits below 1") << "shortest" << 0.123456789012345 << 0 << 0 << "0.123456789012345";
        QTest::newRow("shortest 15 digits below 0.1") << "shortest" << 0.0123456789012345 << 0 << 0
                                                      << "0.0123456789012345";
        QTest::newRow("shortest 15 digits from 1") << "shortest" << 1.23456789012345 << 0 << 0 << "1.23456789012345";
        QTest::newRow("shortest 15 digits above 100") << "shortest" << 123.456789012345 << 0 << 0
                                                      << "123.456789012345";
        QTest::newRow("shortest negative") << "shortest" << -2.5 << 0 << 0 << "-2.5";
        // The sixteenth significant digit is rounded away, in fixed and in
        // scientific notation (a sixteenth digit would show 1.234567890123457
        // and 1.234567890123457E+15), and a number of fifteen whole digits
        // keeps no decimal (123456789012345.59375 is the double nearest to
        // 123456789012345.6).
        QTest::newRow("shortest 17 digits from 1") << "shortest" << 1.2345678901234567 << 0 << 0 << "1.23456789012346";
        QTest::newRow("shortest 15 whole digits") << "shortest" << 123456789012345.6 << 0 << 0 << "123456789012346";
        QTest::newRow("shortest 16 digits from 1e15") << "shortest" << 1234567890123456.0 << 0 << 0
                                                      << "1.23456789012346E+15";
        QTest::newRow("shortest 1e-5 fixed") << "shortest" << 0.00001 << 0 << 0 << "0.00001";
        QTest::newRow("shortest below 1e-5") << "shortest" << 0.000001 << 0 << 0 << "1E-06";
        QTest::newRow("shortest below 1e15") << "shortest" << 999999999999999.0 << 0 << 0 << "999999999999999";
        QTest::newRow("shortest 1e15") << "shortest" << 1e15 << 0 << 0 << "1E+15";
        QTest::newRow("shift 350") << "shift" << 350.0 << 0 << 0 << "0350";
        QTest::newRow("shift 9999") << "shift" << 9999.0 << 0 << 0 << "9999";
        QTest::newRow("shift 10000 whole") << "shift" << 10000.0 << 0 << 0 << "10000";
        QTest::newRow("shift negative keeps sign") << "shift" << -40.0 << 0 << 0 << "-0040";
        QTest::newRow("shift 0") << "shift" << 0.0 << 0 << 0 << "0000";
    }
    void numberForms() {
        QFETCH(QString, form);
        QFETCH(double, value);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(QString, expected);
        QString got;
        if (form == "fixed") got = PmlFixed(value, a, b);
        else if (form == "padded") got = PmlPadded(value, a, b);
        else if (form == "shortest") got = PmlShortest(value);
        else got = PmlShiftText((long long)value);
        QCOMPARE(got, expected);
    }

    // The copy into a fixed array that makes the type 34 display number: a
    // shorter text is padded with blanks (not left with what the array
    // held), a longer one cut with -1; nothing is written past the array.
    void charArrayCopy_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("result");
        QTest::newRow("shorter, blanks behind") << "3421" << QByteArray("3421  ") << 4;
        QTest::newRow("empty, all blanks") << "" << QByteArray("      ") << 0;
        QTest::newRow("whole") << "341180" << QByteArray("341180") << 6;
        QTest::newRow("longer, cut") << "3411805" << QByteArray("341180") << -1;
    }
    void charArrayCopy() {
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        QFETCH(int, result);
        char dest[8];
        std::fill(std::begin(dest), std::end(dest), 'x');
        QCOMPARE(pml::CopyToCharArray(dest, 6, text), result);
        QCOMPARE(QByteArray(dest, 8), expected + "xx");
    }

    // Static supports have lines 105-124 and 301, dynamic ones 205-224.
    void loadCaseLines() {
        const QStringList stat = ScenarioLines("spring_hanger_en");
        const QStringList dyn = ScenarioLines("rigid_strut_de");
        for (const char* p : {"--     105 ", "--     124 ", "--     301 "}) {
            QVERIFY2(IndexOfPrefix(stat, p) >= 0, p);
            QVERIFY2(IndexOfPrefix(dyn, p) < 0, p);
        }
        for (const char* p : {"--     205 ", "--     224 "}) {
            QVERIFY2(IndexOfPrefix(dyn, p) >= 0, p);
            QVERIFY2(IndexOfPrefix(stat, p) < 0, p);
        }
    }

    // Units and boundaries of the head.
    void headValues_data() {
        QTest::addColumn<char>("unit");
        QTest::addColumn<QString>("travel");
        QTest::addColumn<QString>("testLoad");
        QTest::newRow("A") << 'A' << "  :USTMAXTRAVEL    254" << "  :USTTESTLOAD   9.81";
        QTest::newRow("B") << 'B' << "  :USTMAXTRAVEL    254" << "  :USTTESTLOAD    1000";
        QTest::newRow("C") << 'C' << "  :USTMAXTRAVEL  10.00" << "  :USTTESTLOAD    2205";
    }
    void headValues() {
        QFETCH(char, unit);
        QFETCH(QString, travel);
        QFETCH(QString, testLoad);
        PrintLanguage language(2);
        SpringHanger();
        ConstructionRecord.PrintUnitChar = unit;
        const QStringList lines = PmlFileLines("x.zof");
        QVERIFY(lines.contains(travel));
        QVERIFY(lines.contains(testLoad));
        QVERIFY(lines.contains(QStringLiteral("RESTR /DEMOSH1/REST")));
        QVERIFY(lines.contains(QStringLiteral("  :USTWELDVALUE 2.5 0 0 4.00")));
        QCOMPARE(ConstructionRecord.K_NAHT, QStringLiteral("2.5"));
    }

    void weldTextNormalised_data() {
        QTest::addColumn<QString>("weld");
        QTest::addColumn<QString>("written");
        QTest::newRow("empty") << "" << "0";
        QTest::newRow("blank") << " " << "0";
        // Blanks only are no weld value either: written as they stand the
        // host would read the next field as the weld.
        QTest::newRow("three blanks") << "   " << "0";
        QTest::newRow("comma") << "2,5" << "2.5";
        QTest::newRow("point") << "3.5" << "3.5";
    }
    void weldTextNormalised() {
        QFETCH(QString, weld);
        QFETCH(QString, written);
        PrintLanguage language(2);
        SpringHanger();
        ConstructionRecord.K_NAHT = weld;
        QVERIFY(PmlFileLines("x.zof").contains(QStringLiteral("  :USTWELDVALUE ") + written + " 0 0 4.00"));
    }

    // The support function's boundary on the main unit number.
    void supportFunction_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("mainUnit");
        QTest::addColumn<QString>("line");
        QTest::newRow("constant below 2e7") << "SHHAESBH" << 19999999.0 << ":MdsSuppFunc 'CH'";
        QTest::newRow("spring at 2e7") << "SHHAESBH" << 20000000.0 << ":MdsSuppFunc 'SH'";
        QTest::newRow("vertical spring") << "SHVAESBH" << 21014218.0 << ":MdsSuppFunc 'SV'";
        QTest::newRow("letter 8 S") << "SHHAESBS" << 21014218.0 << ":MdsSuppFunc 'HH'";
        QTest::newRow("Y, letter 5 E") << "SHHYESBS" << 0.0 << ":MdsSuppFunc 'RV'";
        QTest::newRow("Y, letter 1 F") << "FHHYESBS" << 0.0 << ":MdsSuppFunc 'RU'";
        QTest::newRow("Y, letter 5 D") << "SHHYDSBS" << 0.0 << ":MdsSuppFunc 'RW'";
        QTest::newRow("Y, D vertical") << "SHVYDSBS" << 0.0 << ":MdsSuppFunc 'RU'";
        QTest::newRow("F vertical") << "SHVFESBS" << 0.0 << ":MdsSuppFunc 'AV'";
    }
    void supportFunction() {
        QFETCH(QString, name);
        QFETCH(double, mainUnit);
        QFETCH(QString, line);
        PrintLanguage language(2);
        SpringHanger();
        SetArrangement(name.toLatin1().constData());
        ConstructionRecord.K_STA_NRN = mainUnit;
        const QStringList lines = PmlFileLines("x.zof");
        QCOMPARE(lines.filter(QStringLiteral(":MdsSuppFunc")), QStringList{line});
        QCOMPARE(lines.mid(lines.size() - 7),
                 (QStringList{"/DEMOSH1", line, ":MdsDesiTemp  200", "/DEMOSH1/REST", " ", " ", "$."}));
    }

    // Nut codes by size at both ends of the table and the nuclear variant.
    void nutCodes_data() {
        QTest::addColumn<bool>("nuclear");
        QTest::addColumn<QString>("nut");
        QTest::newRow("plain size 10") << false << "63D929";
        QTest::newRow("nuclear size 10") << true << "63D959";
    }
    void nutCodes() {
        QFETCH(bool, nuclear);
        QFETCH(QString, nut);
        PrintLanguage language(2);
        ConstantHangerImperial();
        ConstructionRecord.K_KERNTECH = nuclear;
        const QStringList lines = PmlFileLines("x.zof");
        const QStringList appends = lines.filter(QStringLiteral("!bolts.append("));
        QVERIFY(!appends.isEmpty());
        for (const QString& l : appends) QCOMPARE(l, QStringLiteral("   !bolts.append( /ZORBEL3.0/") + nut + " )");
    }

    // The type 37 clamp of a Y arrangement names the entry before the last
    // parts row; with fewer than two rows there is no such entry.
    void clamp37Suffix_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("line");
        QTest::newRow("one row") << 1 << "    SPRE SPCO /ZORBEL3.0/370902";
        QTest::newRow("two rows") << 2 << "    SPRE SPCO /ZORBEL3.0/37090235003000";
        QTest::newRow("seven rows") << 7 << "    SPRE SPCO /ZORBEL3.0/37090216214315";
        // Entry 8 of the seven-part chain is empty: no product, no number
        // (eight zeros would name a component no catalogue holds).
        QTest::newRow("nine rows, entry 8 empty") << 9 << "    SPRE SPCO /ZORBEL3.0/370902";
    }
    void clamp37Suffix() {
        QFETCH(int, rows);
        QFETCH(QString, line);
        PrintLanguage language(2);
        DynamicFrame();
        PartsList.RowCount = int16_t(rows);
        const QStringList lines = PmlFileLines("x.zof");
        QCOMPARE(lines.at(lines.indexOf(QStringLiteral("  NEW PCLA")) + 1), line);
    }

    // Parts at the ends of the list read their missing neighbours (entry 0
    // below entry 1, entry 31 above entry 30) as empty.
    void neighboursOfTheEnds() {
        PrintLanguage language(2);
        SpringHanger();
        SetArrangement("SHHRESBS");
        ConstructionRecord.K_RSL_NRN = 0;
        ConstructionRecord.K_BLOCKIER = 12;
        std::vector<ChainPartSpec> chain(30, ChainPartSpec{0});
        chain[0].number = 79514000;
        chain[29].number = 79414000;
        SetChain(chain);
        const QStringList lines = PmlFileLines("x.zof");
        const int top = lines.indexOf(QStringLiteral("    SPRE SPCO /ZORBEL3.0/794140"));
        const int bottom = lines.indexOf(QStringLiteral("    SPRE SPCO /ZORBEL3.0/795140"));
        QVERIFY2(top > 0 && bottom > top, qPrintable(lines.mid(lines.indexOf(QStringLiteral("  NEW PCLA"))).join(u'\n')));
        QCOMPARE(lines[bottom - 1], QStringLiteral("  NEW SCLA"));
        QCOMPARE(lines[bottom + 2], QStringLiteral("    DESP  24  12"));
        QCOMPARE(lines[top + 1], QStringLiteral("    LSRO SPCO /ZORBEL3.0/M20"));
        // The 794 takes its size from the empty entry below: no size, no
        // neighbour, nothing to write but the bare line.
        QCOMPARE(lines[top + 2], QString());
        // The clamp that is not there: written from a cleared record.
        QCOMPARE(lines.at(lines.indexOf(QStringLiteral("  NEW PCLA")) + 1), QStringLiteral("    SPRE SPCO /ZORBEL3.0/      "));
    }

    // More rods than rod lengths: once the lengths are used up no shift is
    // written, and the walk ends.
    void moreRodsThanLengths() {
        PrintLanguage language(2);
        SpringHanger();
        auto& r = ConstructionRecord;
        r.K_RESTLAENGE_1 = r.K_RESTLAENGE_2 = r.K_RESTLAENGE_3 = r.K_RESTLAENGE_4 = 0;
        r.K_RESTLAENGE_5 = 800;
        const int result = RunBounded(
            [] {
                const QStringList lines = PmlFileLines("x.zof");
                // One shift from the lengths, the rest are the rod group's.
                return lines.filter(QRegularExpression("^    BY u \\d{4}mm$")).size() == 4 &&
                               lines.contains(QStringLiteral("    BY u 0800mm")) && lines.last() == QLatin1String("$.")
                           ? 0
                           : 1;
            },
            30);
        QCOMPARE(result, 0);
    }

    // Writing leaves the catalogue as it found it: a table it had to open is
    // closed again, the text table's kind filter and index still serve the
    // load-group reads, and no transaction stays open.
    void catalogueStateKept() {
        PrintLanguage language(2);
        PlatesAndProfiles();
        TDBKONST& kon = *m_catalogue->kon;
        kon.PGCOOL.Close();
        PutText(TextRecord.TXT_KZ, QStringLiteral("LGA"));
        TextRecord.TXT_NUM = 20;
        TxttabStart1();
        TxttabReadNext1();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        const double before = TextRecord.TXT_NUM;
        const QString index = kon.TXTTAB.IndexName() + kon.TXTTAB.IndexFields().join(u';');
        QVERIFY(PmlFileLines("x.zof").contains(QStringLiteral("    SPRE SPCO /ZORBEL3.0/780140-HEB200")));
        QVERIFY(!kon.PGCOOL.Active());
        QVERIFY(kon.PGSTAT.Active());
        QVERIFY(!kon.BASIS_DB.InTransaction());
        QCOMPARE(kon.TXTTAB.IndexName() + kon.TXTTAB.IndexFields().join(u';'), index);
        PutText(TextRecord.TXT_KZ, QStringLiteral("LGA"));
        TextRecord.TXT_NUM = 20;
        TxttabStart1();
        TxttabReadNext1();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        QCOMPARE(TextRecord.TXT_NUM, before);
        QVERIFY(TextRecord.TXT_TEXT != QLatin1String("HEB200"));
        kon.PGCOOL.Open();
    }

    // Writing the file only reads the catalogue: another program that is
    // writing a catalogue table (holding its write lock) does not stop it,
    // and the writer leaves no lock of its own behind.
    void catalogueWrittenByAnotherProgram() {
        PrintLanguage language(2);
        SpringHanger();
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(m_catalogue->path + "/Pgstat.DB").constData(), &other,
                                 SQLITE_OPEN_READWRITE, nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        QStringList lines;
        QString error;
        try {
            lines = PmlFileLines(QStringLiteral("x.zof"));
        } catch (const std::exception& e) {
            error = QString::fromLocal8Bit(e.what());
        }
        QCOMPARE(sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(lines.contains(QStringLiteral("    SPRE SPCO /ZORBEL3.0/210142")));
        // Nothing of the writer holds the table now: the other program
        // gets its write lock at once.
        sqlite3_busy_timeout(other, 0);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close_v2(other);
    }

    // The rod group's height on the imperial catalogue: the stock lengths
    // 2000, 2500 and 3000 stand for 8, 10 and 12 feet; others stay.
    void groupHeightImperial_data() {
        QTest::addColumn<double>("rod");
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<int>("height");
        QTest::newRow("1500 imperial") << 66014400.0 << true << 1500;
        QTest::newRow("2000 metric") << 66014500.0 << false << 2000;
        QTest::newRow("2000 imperial") << 66014500.0 << true << 2438;
        QTest::newRow("2500 imperial") << 66014600.0 << true << 3048;
        QTest::newRow("3000 metric") << 66014700.0 << false << 3000;
        QTest::newRow("3000 imperial") << 66014700.0 << true << 3657;
    }
    void groupHeightImperial() {
        QFETCH(double, rod);
        QFETCH(bool, imperial);
        QFETCH(int, height);
        PrintLanguage language(2);
        SpringHanger();
        ConstructionRecord.K_KATA_KZ = imperial;
        ConstructionRecord.K_BTL_8[6] = rod;
        const QStringList lines = PmlFileLines("x.zof");
        // The element after the group (the eye nut above it) carries the
        // group's height as its shift.
        const int nut = lines.lastIndexOf(QStringLiteral("    SPRE SPCO /ZORBEL3.0/600140"));
        QVERIFY(nut > 0);
        QCOMPARE(lines.mid(nut, 8).filter(QStringLiteral("    BY u ")),
                 QStringList{QStringLiteral("    BY u %1mm").arg(height)});
    }

    // An empty parts list still writes the header lines, then the version.
    void emptyPartsList() {
        PrintLanguage language(2);
        ColdSupport();
        PartsList.Clear();
        const QStringList lines = PmlFileLines("x.zof");
        const int head = IndexOfPrefix(lines, "--     400 ");
        QVERIFY(head > 0);
        QCOMPARE(lines[head + 1], QStringLiteral("--     401                                      [kg]"));
        QVERIFY(lines[head + 2].startsWith(QLatin1String("--     997 KORVA Version: 9.0.4")));
    }

    // Writing is repeatable: the Y walk's exchange works on a copy, and the
    // record's chain is unchanged afterwards.
    void writingTwiceGivesTheSameFile() {
        PrintLanguage language(2);
        ShockAbsorber();
        const double before = ConstructionRecord.K_BTL_8[1];
        const QStringList first = PmlFileLines("x.zof");
        QCOMPARE(ConstructionRecord.K_BTL_8[1], before);
        const QStringList second = PmlFileLines("x.zof");
        QCOMPARE(second, first);
        // The unit (digit 8 "1") is written before the extension above it.
        const int unit = first.indexOf(QStringLiteral("    SPRE SPCO /ZORBEL3.0/300321"));
        const int extension = first.indexOf(QStringLiteral("    SPRE SPCO /ZORBEL3.0/300322"));
        QVERIFY(unit > 0 && extension > unit);
    }

    // A clamp number that is not a product of the chain and has no row is
    // written from a cleared record: six blanks, no earlier row's number.
    void missingClampOutsideChain() {
        PrintLanguage language(2);
        SpringHanger();
        PgrsrlRecord.RSL_NRN = 43090301;
        PgrsrlRead();  // leaves another clamp's row in the record
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        ConstructionRecord.K_RSL_NRN = 43999999;
        const QStringList lines = PmlFileLines("x.zof");
        const int pcla = lines.indexOf(QStringLiteral("  NEW PCLA"));
        QVERIFY(pcla > 0);
        QCOMPARE(lines[pcla + 1], QStringLiteral("    SPRE SPCO /ZORBEL3.0/      "));
    }

    // A clamp read from the dynamic table leaves no clamp-table row at hand:
    // the slide element of a type 49 part is written from a cleared row, not
    // from whatever clamp row was read before the call.
    void slideElementOfADynamicClamp_data() {
        QTest::addColumn<double>("clamp");
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("desp");
        QTest::newRow("dynamic clamp") << 36090302.0 << "    SPRE SPCO /ZORBEL3.0/490000"
                                       << "    DESP  00 00 0";
        // The clamp-table clamp is the row at hand: its own lengths.
        QTest::newRow("clamp-table clamp") << 41090302.0 << "    SPRE SPCO /ZORBEL3.0/4900014"
                                           << "    DESP  00 00 9";
    }
    void slideElementOfADynamicClamp() {
        QFETCH(double, clamp);
        QFETCH(QString, component);
        QFETCH(QString, desp);
        PrintLanguage language(2);
        SpringHanger();
        SetArrangement("SHHRESBS");
        ConstructionRecord.K_RSL_NRN = clamp;
        SetChain({{49000100}, {clamp}});
        PgrsrlRecord.RSL_NRN = 43090301;
        PgrsrlRead();  // another clamp's row, with lengths of its own
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        QVERIFY(PgrsrlRecord.RSL_LG_BIS != 0 && PgrsrlRecord.RSL_LG_BIS != 14);
        const QStringList lines = PmlFileLines("x.zof");
        const int slide = lines.indexOf(QRegularExpression("    SPRE SPCO /ZORBEL3\\.0/49000\\d*"));
        QVERIFY2(slide > 0, qPrintable(lines.join(u'\n')));
        QCOMPARE(lines[slide], component);
        QCOMPARE(lines[slide + 2], desp);
    }

    // A product of the chain missing from its catalogue fails the output:
    // no file, an old file of that name untouched, a message naming it.
    void missingChainProductFails_data() {
        QTest::addColumn<double>("number");
        QTest::addColumn<bool>("clamp");
        QTest::addColumn<QString>("table");
        QTest::newRow("eye nut") << 60014099.0 << false << "Pgstat.DB";
        QTest::newRow("clamp of the chain") << 43099999.0 << true << "pgrsrsl.DB";
        QTest::newRow("dynamic clamp of the chain") << 36099999.0 << true << "Pgdyna.DB";
        QTest::newRow("cold clamp of the chain") << 52099999.0 << true << "PGCLDSTA.DB";
    }
    void missingChainProductFails() {
        QFETCH(double, number);
        QFETCH(bool, clamp);
        QFETCH(QString, table);
        PrintLanguage language(2);
        SpringHanger();
        if (clamp) {
            ConstructionRecord.K_RSL_NRN = number;
            ConstructionRecord.K_BTL_8[10] = number;
        } else {
            ConstructionRecord.K_BTL_8[3] = number;
        }
        TestDir out;
        const QString file = out.file("old.zof");
        QVERIFY(WriteHostTextFile(file, {"old content"}));
        QString error;
        QVERIFY(!WritePmlFile(file, &error));
        QVERIFY2(error.contains(QString::number(qint64(number))), qPrintable(error));
        QVERIFY2(error.contains(" " + table + ";"), qPrintable(error));
        QCOMPARE(ReadAll(file), QByteArray("old content\r\n"));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{"old.zof"});
        QVERIFY(!WritePmlFile(out.file("new.zof"), &error));
        QVERIFY(!QFile::exists(out.file("new.zof")));
    }

    // The support's clamp of type 87 or 88 is found in its own table by the
    // clamp statements; the walks that read it as a static part find no row
    // and pass it over. The file is written, the clamp once, in its place.
    void clamp87Or88PassedOverByTheWalk_data() {
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<double>("clamp");
        QTest::addColumn<QString>("component");
        QTest::newRow("R/E walk, clamp table") << "SHHRESBS" << 87090302.0 << "    SPRE SPCO /ZORBEL3.0/870902";
        QTest::newRow("T walk, clamp table") << "THHATSBS" << 87090302.0 << "    SPRE SPCO /ZORBEL3.0/870902";
        QTest::newRow("Y walk, dynamic table") << "SHHYESBS" << 88090302.0 << "    SPRE SPCO /ZORBEL3.0/880902";
    }
    void clamp87Or88PassedOverByTheWalk() {
        QFETCH(QString, arrangement);
        QFETCH(double, clamp);
        QFETCH(QString, component);
        PrintLanguage language(2);
        SpringHanger();
        SetArrangement(arrangement.toLatin1().constData());
        ConstructionRecord.K_RSL_NRN = clamp;
        SetChain({{60014000}, {66014500}, {21014218}, {60014000}, {clamp}});
        TestDir out;
        const QString file = out.file("clamp.zof");
        QString error;
        QVERIFY2(WritePmlFile(file, &error), qPrintable(error));
        const QStringList lines = LinesOf(ReadAll(file));
        const int pcla = lines.indexOf(QStringLiteral("  NEW PCLA"));
        QVERIFY(pcla > 0);
        QCOMPARE(lines[pcla + 1], component);
        QCOMPARE(lines.count(component), 1);
        // The walk went on past the clamp: the spring and the parts below.
        QVERIFY(lines.indexOf(QStringLiteral("    SPRE SPCO /ZORBEL3.0/210142"), pcla) > pcla);
        QCOMPARE(lines.last(), QStringLiteral("$."));
    }

    // Clamp and hanger statements the demo supports do not reach: the
    // type 38 clamp (fixed component, zero dimensions, its own connection
    // and no orientation) and the vertical hanger's second reference.
    void clampAndHangerStatements_data() {
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<double>("clamp");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("type 38 clamp")
            << "SHHRESBS" << 38090302.0 << "  NEW PCLA"
            << QStringList{"  NEW PCLA", "    SPRE SPCO /ZORBEL3.0/34SG", "    LSRO SPCO /ZORBEL3.0/M00",
                           "    DESP  0 0 0 0 0 0 0 0 0 0 0 0 0 ", "    VAR !HH NAME", "    CONN AND P5 IS $!OR", " "};
        QTest::newRow("vertical hanger")
            << "SHVAESBH" << 43090302.0 << "HANG /DEMOSH1/H1"
            << QStringList{"HANG /DEMOSH1/H1", "    HSPE SPEC /ZORBEL3.0", "    HSRO SPCO /ZORBEL3.0/M20",
                           "    POS HH AT /DEMOSH1", "    HREF /DEMOSH1", "    HREF /DEMOSH1", "    HDIR D",
                           "    HCON TUB"};
        QTest::newRow("horizontal hanger")
            << "SHHAESBH" << 43090302.0 << "HANG /DEMOSH1/H1"
            << QStringList{"HANG /DEMOSH1/H1", "    HSPE SPEC /ZORBEL3.0", "    HSRO SPCO /ZORBEL3.0/M20",
                           "    POS HH AT /DEMOSH1", "    HREF /DEMOSH1", "    HCON TUB"};
    }
    void clampAndHangerStatements() {
        QFETCH(QString, arrangement);
        QFETCH(double, clamp);
        QFETCH(QString, after);
        QFETCH(QStringList, expected);
        PrintLanguage language(2);
        SpringHanger();
        SetArrangement(arrangement.toLatin1().constData());
        ConstructionRecord.K_RSL_NRN = clamp;
        SetChain({{60014000}, {66014500}, {21014218}, {60014000}, {clamp}});
        CompareLinesAfter(after, 0, expected);
    }

    // A clamp at entry 2 over a plate at entry 1: there is no part below the
    // plate, so the plate itself gives the size and the orientation (an
    // empty entry 0 would leave the DESP line without its statement).
    void clampOverPlateAtTheBottom() {
        PrintLanguage language(2);
        SpringHanger();
        SetChain({{77014000}, {43090302}});
        const QStringList lines = PmlFileLines("x.zof");
        const int pcla = lines.indexOf(QStringLiteral("  NEW PCLA"));
        QVERIFY(pcla > 0);
        QCOMPARE(lines.mid(pcla + 3, 3),
                 (QStringList{"    DESP  20 20 300 114.3", "    CONN", "    VAR !OR dir X"}));
    }

    // The type 272 element by the pull/push flag: its width with "LEAVE 4"
    // and "0 0", or its height with "0 1".
    void element272ByPullPush_data() {
        QTest::addColumn<bool>("pullPush");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("pull/push") << true << QStringList{"    LEAVE 4", "    DESP  00 00 170 0 0", "    CONN"};
        QTest::newRow("plain") << false << QStringList{"    DESP  00 00 160 0 1", "    CONN"};
    }
    void element272ByPullPush() {
        QFETCH(bool, pullPush);
        QFETCH(QStringList, expected);
        PrintLanguage language(2);
        DynamicFrame();
        ConstructionRecord.K_ZUG_DRUCK_KZ = pullPush;
        CompareLinesAfter(QStringLiteral("    SPRE SPCO /ZORBEL3.0/272140"), 2, expected);
    }

    // The type 613 element turns by the arrangement: Y on a vertical one,
    // X on any other.
    void element613Orientation_data() {
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<QString>("orientation");
        QTest::newRow("vertical") << "SHVAESBH" << "    ORI AND Y IS $!OR";
        QTest::newRow("horizontal") << "SHHAESBH" << "    ORI AND X IS $!or";
    }
    void element613Orientation() {
        QFETCH(QString, arrangement);
        QFETCH(QString, orientation);
        PrintLanguage language(2);
        SpringHanger();
        SetArrangement(arrangement.toLatin1().constData());
        SetChain({{60014000}, {61314000}, {21014218}, {60014000}, {43090302}});
        CompareLinesAfter(QStringLiteral("    SPRE SPCO /ZORBEL3.0/613140"), 1,
                          {"    LSRO SPCO /ZORBEL3.0/M20", "    DESP  20", "    CONN", orientation});
    }

    // The type 300 unit (digit 8 "1") by its second rod length: none gives
    // the first length with "0 1", one gives "LEAVE 4" and "0 0".
    void unit300BySecondLength_data() {
        QTest::addColumn<int>("second");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no second length") << 0 << QStringList{"    DESP  00 00 400 0 1", "    CONN"};
        QTest::newRow("second length") << 650 << QStringList{"    LEAVE 4", "    DESP  00 00 400 0 0", "    CONN"};
    }
    void unit300BySecondLength() {
        QFETCH(int, second);
        QFETCH(QStringList, expected);
        PrintLanguage language(2);
        ShockAbsorber();
        ConstructionRecord.K_RESTLAENGE_2 = second;
        CompareLinesAfter(QStringLiteral("    SPRE SPCO /ZORBEL3.0/300321"), 2, expected);
    }

    // A name the writer cannot use fails with the reason and leaves no
    // file. One that code page 1252 cannot hold is refused before anything
    // is written (line 001 would name it with "?"); a lone half of a
    // surrogate pair is named as it stands, not with the character after it.
    void unwritableNameFails_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("at");  // the character refused, in the name; -1: none
        QTest::newRow("no such directory") << "no-such-dir/x.zof" << "no-such-dir/x.zof" << -1;
        QTest::newRow("Ł") << "WA\u0141-1.zof" << "U+0141" << 2;
        QTest::newRow("lone high surrogate") << QString("x") + QChar(0xD800) + "y.zof" << "U+D800" << 1;
        // Last in the name, with nothing behind it that could be its other half.
        QTest::newRow("lone high surrogate last") << QString("x.zof") + QChar(0xD800) << "U+D800" << 5;
        // A character outside the basic plane is named whole, not by its
        // high half (U+D83D), and at the position of its first half.
        const QString consequence = "; the output file, whose first line names it, is not written";
        QTest::newRow("U+1F600, a pair, last")
            << "x.zof" + QString::fromUcs4(U"\U0001F600")
            << "U+1F600 at position %P, which the host's code page cannot hold" + consequence << 5;
        // A byte of the host's argument that was no character (read as
        // U+FFFD) is named as a byte, at its own position.
        QTest::newRow("byte that is no character")
            << QString("WA") + QChar(QChar::ReplacementCharacter) + "-1.zof"
            << "a byte at position %P that is no character of the host's code page" + consequence << 2;
    }
    void unwritableNameFails() {
        QFETCH(QString, name);
        QFETCH(QString, said);
        QFETCH(int, at);
        PrintLanguage language(2);
        SpringHanger();
        TestDir out;
        const QString file = out.file(name);
        QString error;
        QVERIFY(!WritePmlFile(file, &error));
        // Positions count from 1 in the whole name; %P in what is said
        // stands for it.
        const qsizetype position = file.indexOf(name) + at + 1;
        const bool placed = said.contains(QLatin1String("%P"));
        said.replace(QLatin1String("%P"), QString::number(position));
        QVERIFY2(error.contains(said), qPrintable(error));
        if (at >= 0 && !placed) QVERIFY2(error.contains(QString(" at position %1,").arg(position)), qPrintable(error));
        QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
                 QStringList());
    }

    // The file system refuses the write part-way (a file size limit in a
    // child process): no output file and no temporary file remain, an old
    // file of that name is untouched, and the caller hears of it.
    void writeFailsPartWay() {
        PrintLanguage language(2);
        SpringHanger();
        TestDir out;
        const QString file = out.file("limited.zof");
        QVERIFY(WriteHostTextFile(file, {"old content"}));
        const QByteArray whole = ReadAll(file);
        const int full = int(PmlFileLines(file).join(QStringLiteral("\r\n")).size());
        QVERIFY(full > 3000);
        std::fflush(nullptr);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{2048, 2048};
            setrlimit(RLIMIT_FSIZE, &limit);
            QString error;
            const bool ok = WritePmlFile(file, &error);
            _exit(ok ? 1 : (error.contains(QLatin1String("limited.zof")) ? 0 : 2));
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(ReadAll(file), whole);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"limited.zof"});
    }
};

QTEST_MAIN(TestPmlFile)
#include "tst_PmlFile.moc"
