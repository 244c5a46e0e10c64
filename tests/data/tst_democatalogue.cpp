// The demo catalogue: the builder turns the rule files into table files that
// pass its self-checks, refuses damaged rule files with a message that names
// the broken rule, and every product the six demo configurations need can be
// read back by key.
#include "data/CatalogueSchema.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString Tool = QStringLiteral(KORVA_BINARY_DIR "/tools/catgen/korva_catgen");
const QString Rules = QStringLiteral(KORVA_SOURCE_DIR "/resources/catalogue/rules");

struct RunResult {
    int exitCode = -1;
    QString output;  // stdout and stderr
};

RunResult RunTool(const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(Tool, args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAll())};
}

void CopyRules(const QString& to)
{
    QDir().mkpath(to);
    for (const QString& f : QDir(Rules).entryList({QStringLiteral("*.csv")}, QDir::Files))
        QVERIFY(QFile::copy(Rules + QLatin1Char('/') + f, to + QLatin1Char('/') + f));
}

// Replaces the first line of a rule file that starts with prefix (an empty
// replacement removes the line).
bool EditRule(const QString& file, const QString& prefix, const QString& replacement)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    f.close();
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(prefix)) {
            if (replacement.isEmpty())
                lines.removeAt(i);
            else
                lines[i] = replacement;
            return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                   f.write(lines.join(QLatin1Char('\n')).toUtf8()) > 0;
        }
    return false;
}

}  // namespace

class TestDemoCatalogue : public QObject {
    Q_OBJECT

private:
    TestDir m_built;
    QString m_dir;

    void openTable(TTable& t, const QString& file)
    {
        t.SetDatabaseName(m_dir);
        t.SetTableName(file);
        t.SetReadOnly(true);
        t.Open();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(Tool), qPrintable("the catalogue builder is not built: " + Tool));
        m_dir = m_built.file(QStringLiteral("catalogue"));
        const RunResult r = RunTool({Rules, m_dir});
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
    }

    void cleanupTestCase() { Session().Close(); }

    void everyTableIsWrittenWithItsSchema()
    {
        for (const CatalogueTableDef& def : CatalogueTables()) {
            const QString path = FindFileNoCase(m_dir, def.fileName);
            QVERIFY2(!path.isEmpty(), qPrintable(def.fileName));
            const TableSchema s = ReadTableSchema(path);
            QCOMPARE(s.fields.size(), def.columnCount());
            for (int i = 0; i < def.columnCount(); ++i) {
                QCOMPARE(s.fields[i].name, def.columns[i].name);
                QCOMPARE(FieldTypeCode(s.fields[i]), def.columns[i].code);
            }
        }
    }

    void checkOnlyModeAcceptsTheShippedRules()
    {
        const RunResult r = RunTool({QStringLiteral("--check"), Rules});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(!r.output.contains(QLatin1String("failed")));
    }

    // Every type code needs a printable name: a string table that lacks one
    // (here the strut, 39) fails the check and names the code.
    void typeCodesNeedNames()
    {
        const QString strings = QStringLiteral(KORVA_SOURCE_DIR "/resources/strings/stringtable.tsv");
        QCOMPARE(RunTool({"--strings", strings, "--check", Rules}).exitCode, 0);
        TestDir dir;
        QFile in(strings);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QStringList kept;
        for (const QString& line : QString::fromUtf8(in.readAll()).split(QLatin1Char('\n')))
            if (!line.startsWith(QLatin1String("39\t")))
                kept << line;
        QFile out(dir.file("strings.tsv"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(kept.join(QLatin1Char('\n')).toUtf8());
        out.close();
        const RunResult r = RunTool({"--strings", dir.file("strings.tsv"), "--check", Rules});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.output.contains("type code 39 has no name"), qPrintable(r.output));
    }

    void damagedRulesFail_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("capacity below the smaller size")
            << "sizes.csv" << "15," << "15,M24,20,27,3.2" << 2 << "load groups: LGA 15 does not carry more than 14";
        QTest::newRow("spring range missing")
            << "static_parts.csv" << "spring," << "spring,210SSv18,09-24,1=300 2=450,09:2;10:2-3;11-24:1-3,210,0,10,6,0.25,1,1,11,21,-PS,x"
            << 2 << "hangers: 21010318 is missing";
        QTest::newRow("clamp window gap")
            << "clamps.csv" << "43," << "43,09-11 13-16 15-18 17-20 19-22 21-24,00-15,0,1.5,0.08,1.5,150,x"
            << 2 << "clamp windows: type 43 DN15 class 00 covers sizes 09-11, needs up to 14";
        QTest::newRow("clamp article that searches a connection part")
            << "clamps.csv" << "42," << "42,09-12 11-14 13-16 15-18 17-20 19-22 21-24,00-10,3,1.0,0.06,1.5,150,x"
            << 2 << "clamp articles: article 430101 would search a connection part";
        QTest::newRow("lateral guide missing")
            << "static_parts.csv" << "part,76920001," << "" << 2
            << "lateral guides: no lateral guide 7692 for the guided base clamps";
        QTest::newRow("temperature class missing")
            << "temperatures.csv" << "05," << "" << 2 << "temperature classes: class 6 is not the 5th";
        QTest::newRow("material of the rods missing")
            << "materials.csv" << "8," << "" << 2 << "materials: material 8 (STA_WST in Pgstat.DB) is not in WST";
        QTest::newRow("cold height window missing")
            << "cold_supports.csv" << "003," << "" << 2 << "cold supports: load group 01 does not cover heights 10-400 mm";
        QTest::newRow("strut windows overlap too little")
            << "struts.csv" << "0020," << "0020,570,1000,1.25,4" << 2 << "overlaps its shorter neighbour by 50 mm or less";
        QTest::newRow("settings leave the preset")
            << "firdat.csv" << "F_LR_KH," << "F_LR_KH,10" << 2 << "settings: F_LR_KH is '10', the EN 13480-3 preset has '15'";
        QTest::newRow("dynamic configuration without host number 7")
            << "arrangements.csv" << "301," << "301,SHHYESBS,,350 390 360 000,1,2,5,1,x" << 2
            << "configurations: 301: host configuration '5' does not open this scope";
        QTest::newRow("unknown settings field")
            << "firdat.csv" << "F_NAME," << "F_NAMEN,Demo" << 1 << "firdat.csv:";
        QTest::newRow("line with a missing value")
            << "diameters.csv" << "09," << "09,100,114.3,4,18" << 1 << "diameters.csv:";
        QTest::newRow("not a number")
            << "dynamic_groups.csv" << "03," << "03,fifteen,150,200,320,80" << 1 << "column 'capacity_kN' is not a number: 'fifteen'";
    }

    void damagedRulesFail()
    {
        QFETCH(QString, file);
        QFETCH(QString, prefix);
        QFETCH(QString, replacement);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        TestDir dir;
        const QString rules = dir.file(QStringLiteral("rules"));
        CopyRules(rules);
        QVERIFY(EditRule(rules + QLatin1Char('/') + file, prefix, replacement));
        const QString target = dir.file(QStringLiteral("out"));
        const RunResult r = RunTool({rules, target});
        QVERIFY2(r.exitCode == exitCode, qPrintable(r.output));
        QVERIFY2(r.output.contains(message), qPrintable(r.output));
        QVERIFY2(!QFile::exists(target + QStringLiteral("/Pgstat.DB")), "a failed build wrote tables");
    }

    void wrongArgumentsAreRefused()
    {
        QCOMPARE(RunTool({Rules}).exitCode, 64);
        const RunResult r = RunTool({m_built.file(QStringLiteral("no-rules")), m_built.file(QStringLiteral("x"))});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.output.contains(QLatin1String("cannot read the rule file")));
        const RunResult w = RunTool({Rules, QStringLiteral("/proc/korva-no-such-dir/catalogue")});
        QCOMPARE(w.exitCode, 3);
        QVERIFY2(w.output.contains(QLatin1String("cannot write the demo catalogue")), qPrintable(w.output));
    }

    void rebuildReplacesTheCatalogue()
    {
        // A second build over an existing catalogue replaces its tables, also
        // ones the program has changed, and leaves no work directory behind.
        TTable t;
        openTable(t, QStringLiteral("FIRDAT.DB"));
        t.SetReadOnly(false);
        t.Close();
        t.Open();
        t.First();
        t.Edit();
        t.FieldByName("F_LFD_NR").SetValue(77);
        t.Post();
        t.Close();
        Session().Close();
        const RunResult r = RunTool({Rules, m_dir});
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
        QVERIFY(!QFileInfo::exists(m_dir + QStringLiteral(".partial")));
        openTable(t, QStringLiteral("FIRDAT.DB"));
        t.First();
        QCOMPARE(t.FieldByName("F_LFD_NR").AsInteger(), 1);
    }

    // One product of every type that the six demo configurations walk
    // through, read by its key as the access units do.
    void productsOfTheDemoConfigurations_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("keyField");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("kbezField");
        QTest::addColumn<QString>("kbez");
        QTest::newRow("spring hanger") << "Pgstat.DB" << "STA_NRN" << 21014218 << "STA_KBEZ" << "210";
        QTest::newRow("constant hanger") << "Pgstat.DB" << "STA_NRN" << 11014515 << "STA_KBEZ" << "110";
        QTest::newRow("weld lug") << "Pgstat.DB" << "STA_NRN" << 75014000 << "STA_KBEZ" << "75";
        QTest::newRow("clevis") << "Pgstat.DB" << "STA_NRN" << 61014000 << "STA_KBEZ" << "61";
        QTest::newRow("weld bracket") << "Pgstat.DB" << "STA_NRN" << 73014000 << "STA_KBEZ" << "73";
        QTest::newRow("eye nut") << "Pgstat.DB" << "STA_NRN" << 60014000 << "STA_KBEZ" << "60";
        QTest::newRow("tie rod") << "Pgstat.DB" << "STA_NRN" << 66014700 << "STA_KBEZ" << "66";
        QTest::newRow("threaded rod") << "Pgstat.DB" << "STA_NRN" << 67014300 << "STA_KBEZ" << "67";
        QTest::newRow("nut") << "Pgstat.DB" << "STA_NRN" << 63014000 << "STA_KBEZ" << "63";
        QTest::newRow("yoke of a big hanger") << "Pgstat.DB" << "STA_NRN" << 11120200 << "STA_KBEZ" << "111";
        QTest::newRow("three bolt clamp") << "pgrsrsl.DB" << "RSL_NRN" << 43090302 << "RSL_KBEZ" << "43";
        QTest::newRow("two bolt clamp") << "pgrsrsl.DB" << "RSL_NRN" << 42090302 << "RSL_KBEZ" << "42";
        QTest::newRow("base clamp") << "pgrsrsl.DB" << "RSL_NRN" << 49090321 << "RSL_KBEZ" << "49";
        QTest::newRow("dynamic bracket") << "Pgdyna.DB" << "DYN_NRN" << 35004000 << "DYN_KBEZ" << "35";
        QTest::newRow("strut") << "Pgdyna.DB" << "DYN_NRN" << 39040020 << "DYN_KBEZ" << "39";
        QTest::newRow("shock absorber") << "Pgdyna.DB" << "DYN_NRN" << 30004201 << "DYN_KBEZ" << "30";
        QTest::newRow("shock absorber extension") << "Pgdyna.DB" << "DYN_NRN" << 30004302 << "DYN_KBEZ" << "30";
        QTest::newRow("dynamic clamp") << "Pgdyna.DB" << "DYN_NRN" << 36090302 << "DYN_KBEZ" << "36";
        QTest::newRow("cold support") << "PGCLDSTA.DB" << "CLD_NRN" << 52004002 << "CLD_KBEZ" << "52";
    }

    void productsOfTheDemoConfigurations()
    {
        QFETCH(QString, table);
        QFETCH(QString, keyField);
        QFETCH(int, key);
        QFETCH(QString, kbezField);
        QFETCH(QString, kbez);
        TTable t;
        openTable(t, table);
        t.SetIndexFieldNames(keyField);
        QVERIFY2(t.FindKey({key}), qPrintable(QString::number(key)));
        QCOMPARE(t.FieldByName(keyField).AsInteger(), key);
        QCOMPARE(t.FieldByName(kbezField).AsString().trimmed(), kbez);

        // Its article carries a price in both price lists.
        const QString prefix = keyField.left(4);
        const QString article = t.FieldByName(prefix + QStringLiteral("L_NR")).AsString();
        QVERIFY(!article.trimmed().isEmpty());
        TTable prices;
        openTable(prices, QStringLiteral("PGCURE.DB"));
        prices.SetIndexFieldNames(QStringLiteral("CUR_IDX;CUR_L_NR;CUR_BRT"));
        const int width = (table == QLatin1String("Pgstat.DB") && QString::number(key).left(5) >= QLatin1String("66020") &&
                           QString::number(key).left(5) <= QLatin1String("66024"))
                              ? t.FieldByName("STA_E").AsInteger()
                              : 0;
        for (int idx : {1, 2}) {
            QVERIFY2(prices.FindKey({idx, article, width}), qPrintable(article));
            QVERIFY(prices.FieldByName("CUR_PRS").AsFloat() > 0);
        }
    }

    void rodLengthsFollowTheLengthDigit_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("length");
        const QList<QPair<int, int>> rods{{4, 1500}, {5, 2000}, {6, 2500}, {7, 3000}};
        for (int size : {9, 14, 24})
            for (const auto& [d, len] : rods)
                QTest::addRow("660%02d%d00", size, d) << 66000000 + size * 1000 + d * 100 << len;
        QTest::newRow("67009200") << 67009200 << 500;
        QTest::newRow("67024300") << 67024300 << 1000;
    }

    void rodLengthsFollowTheLengthDigit()
    {
        QFETCH(int, key);
        QFETCH(int, length);
        TTable t;
        openTable(t, QStringLiteral("Pgstat.DB"));
        t.SetIndexFieldNames(QStringLiteral("STA_NRN"));
        QVERIFY(t.FindKey({key}));
        QCOMPARE(t.FieldByName("STA_E").AsInteger(), length);
        QVERIFY(t.FieldByName("STA_GEW_VER").AsFloat() > 0);
    }

    void readNextEndsOnTheSentinel()
    {
        // "S " then "RN" above the last real product reaches the sentinel
        // row instead of running off the table.
        for (const auto& [file, field] : {std::pair{"Pgstat.DB", "STA_NRN"}, {"Pgdyna.DB", "DYN_NRN"},
                                          {"pgrsrsl.DB", "RSL_NRN"}, {"PGCLDSTA.DB", "CLD_NRN"}}) {
            TTable t;
            openTable(t, QString::fromLatin1(file));
            t.SetIndexFieldNames(QString::fromLatin1(field));
            t.Last();
            QCOMPARE(t.FieldByName(QString::fromLatin1(field)).AsInteger(), 99999999);
            t.FindNearest({90000000});
            QCOMPARE(t.FieldByName(QString::fromLatin1(field)).AsInteger(), 99999999);
        }
    }

    void loadGroupRowsOfEveryKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        for (const char* k : {"LGA", "LGB", "LGH", "LGK", "LGF"})
            QTest::newRow(k) << k << 9 << 24;
        for (const char* k : {"LGC", "LGD", "LGE", "LGO"})
            QTest::newRow(k) << k << 1 << 8;
    }

    void loadGroupRowsOfEveryKind()
    {
        QFETCH(QString, kind);
        QFETCH(int, first);
        QFETCH(int, last);
        TTable t;
        openTable(t, QStringLiteral("Txttab.DB"));
        t.SetIndexName(QStringLiteral("TXT_KEY_NUM"));
        t.SetFilter(QStringLiteral("TXT_KZ = ?"), {kind});
        t.SetFiltered(true);
        t.First();
        QList<int> numbers;
        double previous = 0;
        while (!t.Eof()) {
            numbers.append(t.FieldByName("TXT_NR").AsInteger());
            QVERIFY(t.FieldByName("TXT_NUM").AsFloat() > previous);
            previous = t.FieldByName("TXT_NUM").AsFloat();
            t.Next();
        }
        QList<int> expected;
        for (int n = first; n <= last; ++n)
            expected.append(n);
        QCOMPARE(numbers, expected);  // in capacity order the groups rise
    }

    void diameterLookupByUpperBound()
    {
        // The pipe-diameter field finds the first row whose upper bound is
        // at or above the typed diameter.
        TTable t;
        openTable(t, QStringLiteral("Durdat.DB"));
        t.SetIndexName(QStringLiteral("D_MAX_KEY"));
        t.FindNearest({100.0});
        QCOMPARE(t.FieldByName("D_NENNWTE").AsInteger(), 100);
        t.FindNearest({114.3});
        QCOMPARE(t.FieldByName("D_NENNWTE").AsInteger(), 100);
        t.FindNearest({115.4});
        QCOMPARE(t.FieldByName("D_NENNWTE").AsInteger(), 125);
    }

    void temperatureClassOfATemperature()
    {
        TTable t;
        openTable(t, QStringLiteral("Temdat.DB"));
        t.SetIndexName(QStringLiteral("T_TEMP_KEY"));
        t.FindNearest({300});
        QCOMPARE(t.FieldByName("T_KLASSE").AsInteger(), 5);
        t.FindNearest({301});
        QCOMPARE(t.FieldByName("T_KLASSE").AsInteger(), 6);
    }

    void hangerTypesMatchTheirProducts()
    {
        TTable types;
        openTable(types, QStringLiteral("HAENGER.DB"));
        TTable products;
        openTable(products, QStringLiteral("Pgstat.DB"));
        products.SetIndexFieldNames(QStringLiteral("STA_NRN"));
        int count = 0;
        for (types.First(); !types.Eof(); types.Next(), ++count) {
            const QString nr = types.FieldByName("STA_NRN").AsString();
            QVERIFY2(products.FindKey({nr.toInt()}), qPrintable(nr));
            QCOMPARE(types.FieldByName("STA_L_NR").AsString(), products.FieldByName("STA_L_NR").AsString());
            QCOMPARE(types.FieldByName("KH").AsBoolean(), nr.startsWith(QLatin1Char('1')));
            QCOMPARE(types.FieldByName("STA_L_NR").AsString().startsWith(QLatin1Char('1')),
                     types.FieldByName("KH").AsBoolean());
        }
        QVERIFY(count > 32);
    }

    void configurationsOfTheHost_data()
    {
        QTest::addColumn<int>("nr");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mds");
        QTest::addColumn<bool>("statDyn");
        QTest::addColumn<bool>("statCold");
        QTest::newRow("101") << 101 << "SHHAESBH" << "1" << true << false;
        QTest::newRow("102") << 102 << "SHHAESBS" << "2" << true << false;
        QTest::newRow("103") << 103 << "SHHRELBS" << "6h" << true << false;
        QTest::newRow("301") << 301 << "SHHYESBS" << "7" << false << false;
        QTest::newRow("302") << 302 << "SHHYESBH" << "7" << false << false;
        QTest::newRow("201") << 201 << "CHHRESAS" << "6" << true << true;
    }

    void configurationsOfTheHost()
    {
        QFETCH(int, nr);
        QFETCH(QString, name);
        QFETCH(QString, mds);
        QFETCH(bool, statDyn);
        QFETCH(bool, statCold);
        TTable t;
        openTable(t, QStringLiteral("ABHGNR.DB"));
        QVERIFY(t.Locate(QStringLiteral("A_NR"), {nr}));
        QCOMPARE(t.FieldByName("A_NAME").AsString(), name);
        QCOMPARE(t.FieldByName("A_MDS_NO").AsString(), mds);
        QCOMPARE(t.FieldByName("STAT_DYN").AsBoolean(), statDyn);
        QCOMPARE(t.FieldByName("STAT_COLD").AsBoolean(), statCold);
        QVERIFY(t.FieldByName("A_ORDERNO").AsInteger() >= 0);
        QVERIFY(t.FieldByName("A_LFD_BT1").AsInteger() > 0);
    }

    void settingsRowHoldsThePreset()
    {
        TTable t;
        openTable(t, QStringLiteral("FIRDAT.DB"));
        QCOMPARE(t.RecordCount(), 1);
        t.First();
        QCOMPARE(t.FieldByName("F_LR_KH").AsInteger(), 15);
        QCOMPARE(t.FieldByName("F_WR_KH_MM").AsInteger(), 25);
        QCOMPARE(t.FieldByName("F_WINKEL").AsFloat(), 4.0);
        QVERIFY(t.FieldByName("F_KALWAR_KZ").AsBoolean());
        QVERIFY(!t.FieldByName("F_WEG_KZ").AsBoolean());
        QCOMPARE(t.FieldByName("F_PRS_EINHEIT").AsString(), QStringLiteral("EUR "));
        QCOMPARE(t.FieldByName("F_NR").AsInteger(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDemoCatalogue)
#include "tst_democatalogue.moc"
