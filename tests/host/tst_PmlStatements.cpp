// The statement rules of the output file, one small support per case on a
// catalogue of hand-made rows. Every expected line is worked out from the
// rules of the writer by hand; a comment says which mistake a case rules
// out where that is not plain.
#include "PmlRuleCatalogue.h"
#include "host/PMLFUELL.h"

#include <QtTest>

using namespace pmlfixture;

namespace {

const QString Spre = QStringLiteral("    SPRE SPCO /ZORBEL3.0/");
const QString Lsro = QStringLiteral("    LSRO SPCO /ZORBEL3.0/");

// The standard support of these cases: static, metric, hanger mark
// "RULE 7" (written "RULE7" in the statements), clamp and arrangement given.
void Support(const char* arrangement, double clamp) {
    BaseRecord("RULE 7", 500, 3);
    SetArrangement(arrangement);
    auto& r = ConstructionRecord;
    r.K_S_Y_KZ = true;
    r.K_RDM = 168.3;
    r.K_TEM = 210;
    r.K_BLOCKIER = 33;
    r.K_BREITE = 900;
    r.K_HM_Q_1 = 4200;
    r.K_RSL_NRN = clamp;
}

QStringList Lines() { return PmlFileLines(QStringLiteral("x.zof")); }

// The count lines from the first line equal to anchor on; the whole file
// in the failure text when the anchor is missing.
QStringList From(const QStringList& lines, const QString& anchor, int count) {
    const int at = lines.indexOf(anchor);
    if (at < 0) return {QStringLiteral("anchor missing: ") + anchor, lines.join(u'\n')};
    return lines.mid(at, count);
}

// An element as the writer starts it: blank line, the element's creation,
// its component and its rod.
QStringList Element(const QString& component, const QString& rod, bool first = false) {
    return {QStringLiteral(" "), first ? QStringLiteral("  NEW SCLA") : QStringLiteral("  NEW HELE"), Spre + component,
            Lsro + rod};
}

QStringList operator+(QStringList a, const char* b) {
    a.append(QString::fromLatin1(b));
    return a;
}

}  // namespace

class TestPmlStatements : public QObject {
    Q_OBJECT

    std::unique_ptr<RuleCatalogue> m_catalogue;

    void AddRows() {
        RuleCatalogue& c = *m_catalogue;
        // Size 18 (thread M42, DESP 42, next size 48) unless said.
        c.Static(60018000, "600180", "N60918", 70);
        c.Static(60018770, "600187", "N60977", 71);  // an inner "77"
        c.Static(61018000, "610180", "N61427", 90, 0, 0, true);
        c.Static(61021000, "610210", "N61455", 92);
        c.Static(62018000, "620180", "N62300", 60, 165);
        c.Static(66018500, "661805", "N66503", 2000, 0, 0, true);
        c.Static(67018200, "671802", "N67288", 500);
        c.Static(64018000, "640180", "N64051", 55);
        c.Static(74018000, "740180", "N74733", 40);
        c.Static(75018000, "750180", "N75210", 80);
        c.Static(72018000, "720180", "N72106", 30);
        c.Static(25018000, "250180", "N25077", 120);
        c.Static(71018000, "710180", "N71004", 95);
        c.Static(11018000, "110180", "N11040", 655);
        c.Static(11118000, "111180", "N11159", 600);
        c.Static(73018000, "730180", "N73016", 85);
        c.Static(77018000, "770180", "N77025", 25);
        c.Static(29018000, "290180", "N29071", 30, 0, 0, true);
        c.Static(91018000, "910180", "N91222", 0);
        c.Static(78018000, "780180", "N78090", 45, 0, 0, true);
        c.Static(76018000, "760180", "N76013", 60, 80);
        c.Static(79118000, "791180", "N79188", 48, 0, 220);
        c.Static(79318000, "793180", "N79345", 48, 0, 250, true);
        c.Static(79418000, "794180", "N79402", 42, 110);
        c.Static(79420000, "794200", "N79421", 43);
        c.Static(79518000, "795180", "N79561", 40, 150, 250);
        // Pin pairs: a 796 for size 18, one for size 20 only.
        c.Static(79618000, "796180", "N79634", 35, 0, 180);
        c.Static(79620000, "796200", "N79690", 45, 0, 200);
        c.Static(79818000, "798180", "N79812", 55, 0, 260);
        c.Static(79819000, "798190", "N79815", 56, 0, 270);
        c.Static(79821000, "798210", "N79817", 57, 0, 280);
        // Beams 795 and nut elements 650 of every size code.
        for (const char* size : {"09", "10", "11", "12", "13", "14", "15", "16", "17", "19", "20", "21", "22", "23",
                                 "24"}) {
            const QByteArray s(size);
            c.Static(QByteArray("795" + s + "000").toInt(), QByteArray("795" + s + "0").constData(),
                     QByteArray("N" + s + "795").constData(), 40);
        }
        for (const char* size : {"09", "10", "11", "12", "13", "14", "15", "16", "17", "18", "19", "20", "21", "22",
                                 "23", "24"}) {
            const QByteArray s(size);
            c.Static(QByteArray("650" + s + "000").toInt(), QByteArray("650" + s + "0").constData(),
                     QByteArray("N" + s + "650").constData(), 70);
        }
        c.Clamp(43180302, "431803", "N43177", false, true);
        c.Clamp(43181302, "431813", "N43199", true);
        c.Clamp(43990302, "439903", "N43998");
        c.Clamp(49180312, "491803", "N49166", false, true, 9, 14);
        c.Clamp(41180302, "411803", "N41155");
        c.Clamp(40180302, "401803", "N40122");
        c.Clamp(45180302, "451803", "N45133", true, true);
        c.Clamp(87180302, "871803", "N87144");
        c.Clamp(79180302, "791803", "N79100");
        c.Dynamic(37180302, "371802", "N37181", 7);
        c.Dynamic(36180302, "371800", "N36101");
        c.Dynamic(36181302, "361813", "N36102");
        c.Dynamic(38180302, "381803", "N38155");
        c.Dynamic(35018000, "350180", "N35021");
        c.Dynamic(35118000, "351180", "N35104");
        c.Dynamic(35318000, "353180", "N35377");
        c.Dynamic(34118000, "341180", "N34130");
        c.Dynamic(34018000, "340180", "N34011");
        c.Dynamic(39018000, "390180", "N39012");
        for (const char* cold : {"57180302", "53118302", "53218302", "54180302", "54280302", "55180302", "56180302",
                                 "58180302"})
            c.Cold(QByteArray(cold).toInt(), QByteArray(cold).left(6).constData());
        // Nominal widths: by the key digits 3-4 ("18") or 4-5 ("80").
        c.Insert(QStringLiteral("Durdat.DB"),
                 {{"D_R_DM", 457.0}, {"D_R_DM_KZ", 18}, {"D_NENNWTE", 450}, {"D_MAX_ABS", 458.0}});
        c.Insert(QStringLiteral("Durdat.DB"),
                 {{"D_R_DM", 813.0}, {"D_R_DM_KZ", 80}, {"D_NENNWTE", 800}, {"D_MAX_ABS", 814.0}});
        c.Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "PRF"}, {"TXT_NR", 31}, {"TXT_NUM", 300.0},
                                               {"TXT_TEXT", "HEB300"}, {"TXT_PRF_B", 300.0}, {"TXT_PRF_T", 19.0}});
        c.Insert(QStringLiteral("WST.DB"), {{"W_NR", 1}, {"W_BZ", "S235JR"}});
        c.Insert(QStringLiteral("WST.DB"), {{"W_NR", 2}, {"W_BZ", "P235GH-LONGNAME"}});
    }

private slots:
    void initTestCase() {
        m_catalogue = std::make_unique<RuleCatalogue>();
        AddRows();
    }
    void cleanupTestCase() { m_catalogue.reset(); }

    // Hanger offsets: 0 for an installed hanger, else minus the travel;
    // half the travel (negative) when the angle count is exactly 1, also
    // for an installed hanger. The data lines take fixed(7, 1), the head
    // padded(5, 0), Y before X. No value rounds to a tie here.
    void hangerOffsets_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<int>("countX");
        QTest::addColumn<int>("countY");
        QTest::addColumn<double>("travelX");
        QTest::addColumn<double>("travelY");
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("y");
        QTest::addColumn<QString>("head");
        QTest::newRow("minus the travel") << false << 0 << 0 << 12.6 << -7.4 << "-12.6" << "7.4" << "    7   -13";
        QTest::newRow("installed") << true << 0 << 0 << 12.6 << -7.4 << "0.0" << "0.0" << "    0     0";
        QTest::newRow("installed, X halved") << true << 1 << 0 << 12.6 << -7.4 << "-6.3" << "0.0" << "    0    -6";
        QTest::newRow("Y halved") << false << 0 << 1 << 12.6 << -7.4 << "-12.6" << "3.7" << "    4   -13";
        QTest::newRow("count 2 is no halving") << false << 2 << 2 << 12.6 << -7.4 << "-12.6" << "7.4"
                                               << "    7   -13";
        QTest::newRow("both halved, installed") << true << 1 << 1 << 12.6 << -7.4 << "-6.3" << "3.7" << "    4    -6";
        // No travel: minus zero is written as zero.
        QTest::newRow("no travel") << false << 1 << 0 << 0.0 << 0.0 << "0.0" << "0.0" << "    0     0";
    }
    void hangerOffsets() {
        QFETCH(bool, installed);
        QFETCH(int, countX);
        QFETCH(int, countY);
        QFETCH(double, travelX);
        QFETCH(double, travelY);
        QFETCH(QString, x);
        QFETCH(QString, y);
        QFETCH(QString, head);
        Support("SHHAXSBS", 0);
        auto& r = ConstructionRecord;
        r.K_EINBAU_KZ = installed;
        r.K_WKL_ZHL_X = int16_t(countX);
        r.K_WKL_ZHL_Y = int16_t(countY);
        r.K_WEG_X = travelX;
        r.K_WEG_Y = travelY;
        SetChain({});
        const QStringList lines = Lines();
        QVERIFY(lines.contains("--     113 Offset - X - Direction [mm]= " + x));
        QVERIFY(lines.contains("--     114 Offset - Y - Direction [mm]= " + y));
        QVERIFY(lines.contains("  :USTHNGOFFSET " + head));
    }

    // A value that rounds to zero is written without a sign wherever the
    // fixed form is used.
    void negativeZeroInStatements() {
        Support("SHHAXSBS", 0);
        auto& r = ConstructionRecord;
        r.K_LAST = 10;
        r.K_STAT_LAST_HZ = -0.004;
        r.K_STAT_LAST_HS = -0.25;
        r.K_TEM = -0.3;
        SetChain({});
        const QStringList lines = Lines();
        QVERIFY(lines.contains("  :USTFORCES 10.00 0.00 -0.25"));
        QVERIFY(lines.contains(":MdsDesiTemp  0"));
    }

    // The name is printed whole in line 001, also beyond 255 characters:
    // a name cut there would point the reader at another file.
    void longFileNameWhole() {
        Support("SHHAXSBS", 0);
        SetChain({});
        TestDir out;
        QString path = out.path();
        for (int i = 0; path.size() <= 300; ++i) {
            path += u'/' + QString(60, QChar(u'a' + i));
            QVERIFY(QDir().mkpath(path));
        }
        const QString file = path + QStringLiteral("/long.zof");
        QVERIFY(file.size() > 255);
        QString error;
        QVERIFY2(WritePmlFile(file, &error), qPrintable(error));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QCOMPARE(QString::fromLatin1(lines.value(1)), "--     001 File : /" + file + "\r");
    }

    // Parts rows: type cut at 14, description cut at 20, weight as
    // padded(5, 2) in 8 characters, material cut at 8 and 8 blanks for a
    // material number the table does not hold.
    void partsRows() {
        Support("SHHAXSBS", 0);
        SetChain({});
        PartsList.RowCount = 3;
        const struct {
            int pos;
            const char* type;
            const char* kind;
            int count;
            double kg;
            int material;
        } rows[] = {{1, "ABCDEFGHIJKLMNOPQ", "98765", 2, 1.25, 2},
                    {12, "661805", "98765", 3, 4115.226, 99},
                    {7, "X", "98765", 1, 0.004, 1}};
        for (int i = 0; i < 3; ++i) {
            PartsList.KB_POS[i] = int16_t(rows[i].pos);
            PartsList.KB_BTL_ZUS[i] = QString::fromLatin1(rows[i].type);
            PartsList.KB_KBEZ[i] = QString::fromLatin1(rows[i].kind);
            PartsList.KB_ANZ[i] = int16_t(rows[i].count);
            PartsList.KB_GEW[i] = rows[i].kg;
            PartsList.KB_WST[i] = int16_t(rows[i].material);
        }
        const QStringList lines = Lines();
        const int head = lines.indexOf("--     401                                      [kg]");
        QVERIFY(head > 0);
        QCOMPARE(lines.mid(head + 1, 4),
                 (QStringList{"--     410 01 ABCDEFGHIJKLMN Unknown Error occure 02     2.50 P235GH-L",
                              "--     410 12 661805         Unknown Error occure 03 12345.68         ",
                              "--     410 07 X              Unknown Error occure 01     0.00 S235JR  ",
                              "--     997 KORVA Version: 9.0.4   "}));
    }

    // Catalogue numbers of the elements: nuclear numbers before all else;
    // "-HD" only where the support and the row both ask for it; the 290
    // takes the designation of the first parts row unless nuclear; the
    // 793 its second width; the beam clamp 78 the profile text; the rod
    // line names the rod below; a 91 adds its number to the 290's
    // additional material (after the blank the clamp leaves there).
    void componentNumbers_data() {
        QTest::addColumn<bool>("nuclear");
        QTest::addColumn<bool>("hotDip");
        QTest::addColumn<QStringList>("spre");
        QTest::addColumn<QStringList>("lsro");
        QTest::addColumn<QString>("addMat");
        QTest::newRow("plain") << false << false
                               << QStringList{"431803", "780180-HEB300", "760180", "750180-S", "793180-250", "600180",
                                              "610180", "750180"}
                               << QStringList{"M42", "M42", "M42", "M42", "M42", "661805", "M42", "M42"}
                               << "    :USTADDMAT  /ZORBEL3.0/910180";
        QTest::newRow("hot-dip") << false << true
                                 << QStringList{"431803-HD", "780180-HEB300-HD", "760180", "750180-S",
                                                "793180-250-HD", "600180", "610180-HD", "750180"}
                                 << QStringList{"M42", "M42", "M42", "M42", "M42", "661805-HD", "M42", "M42"}
                                 << "    :USTADDMAT  /ZORBEL3.0/910180";
        QStringList nuclear{"N43177", "N78090-HEB300", "N76013", "N29071", "N79345-250", "N60918", "N61427",
                                  "N75210"};
        const QStringList nuclearRods{"M42", "M42", "M42", "M42", "M42", "N66503", "M42", "M42"};
        QTest::newRow("nuclear") << true << false << nuclear << nuclearRods << "    :USTADDMAT  /ZORBEL3.0/N91222";
        // The clamp's suffix stands beside its number: nuclear and hot-dip
        // give both; the elements take the nuclear number alone.
        nuclear[0] = QStringLiteral("N43177-HD");
        QTest::newRow("nuclear and hot-dip") << true << true << nuclear << nuclearRods
                                             << "    :USTADDMAT  /ZORBEL3.0/N91222";
    }
    void componentNumbers() {
        QFETCH(bool, nuclear);
        QFETCH(bool, hotDip);
        QFETCH(QStringList, spre);
        QFETCH(QStringList, lsro);
        QFETCH(QString, addMat);
        Support("SHHRESBS", 43180302);
        auto& r = ConstructionRecord;
        r.K_KERNTECH = nuclear;
        r.K_HD_KZ = hotDip;
        r.K_KLM_NR = 31;
        r.K_KLM_HH = 300;
        SetChain({{75018000}, {61018000}, {66018500}, {60018000}, {79318000}, {29018000}, {91018000}, {76018000},
                  {78018000}, {43180302}});
        PartsList.KB_BTL_ZUS[0] = QStringLiteral("750180-S");
        const QStringList lines = Lines();
        QStringList gotSpre, gotLsro;
        for (const QString& l : lines) {
            if (l.startsWith(Spre)) gotSpre << l.mid(Spre.size());
            if (l.startsWith(Lsro)) gotLsro << l.mid(Lsro.size());
        }
        QCOMPARE(gotSpre, spre);
        QCOMPARE(gotLsro, lsro);
        QCOMPARE(lines.filter(":USTADDMAT"), QStringList{addMat});
        // The 290: its own size DESP (rule 12 passes type 29 by), then the
        // additional material.
        QCOMPARE(lines.mid(lines.indexOf(Spre + spre[3]), 5),
                 (QStringList{Spre + spre[3], Lsro + "M42", "    DESP  42 0 0", addMat, "    CONN"}));
    }

    // An element at entry 1 is a steel connection ("NEW SCLA") unless it is
    // of type 71 or 25; a part of type 111 writes nothing at all.
    void elementCreation_data() {
        QTest::addColumn<double>("bottom");
        QTest::addColumn<QString>("creation");
        QTest::newRow("71") << 71018000.0 << "  NEW HELE";
        QTest::newRow("25") << 25018000.0 << "  NEW HELE";
        QTest::newRow("72") << 72018000.0 << "  NEW SCLA";
        QTest::newRow("75") << 75018000.0 << "  NEW SCLA";
        QTest::newRow("110") << 11018000.0 << "  NEW SCLA";
    }
    void elementCreation() {
        QFETCH(double, bottom);
        QFETCH(QString, creation);
        Support("SHHRESBS", 43180302);
        SetChain({{bottom}, {11118000}, {60018000}, {43180302}});
        const QStringList lines = Lines();
        const QString number = QString::number(qint64(bottom)).left(6);
        const int at = lines.indexOf(Spre + number);
        QVERIFY2(at > 0, qPrintable(lines.join(u'\n')));
        QCOMPARE(lines[at - 1], creation);
        // The 111 between them: nothing. The eye nut's element ends right
        // before the bottom part's.
        QVERIFY(lines.filter(Spre + "111180").isEmpty());
        const QStringList eyeNut = Element("600180", "M42") + "    DESP  42" + "    CONN" + "    ORI AND Y IS $!OR";
        QCOMPARE(lines.mid(at - 2 - eyeNut.size(), eyeNut.size() + 1), eyeNut + " ");
    }

    // The 798 part of a T walk is preceded by its 796 element: the first
    // static row at or above the 798's number with "796" in front and
    // digit 6 "0". A 796 of the next size serves when the size has none;
    // without any 796 at or above, the companion is passed over and the
    // 798 is written on its own (before, the whole file failed).
    void companionOfA798_data() {
        QTest::addColumn<double>("pin");
        QTest::addColumn<QStringList>("expected");
        const QStringList clevis = Element("610180", "M42") + "    DESP  42" + "    CONN" + "    ORI AND Y IS $!OR";
        QTest::newRow("own size") << 79818000.0
                                  << clevis + Element("796180-180", "M42") + "    DESP  42 42 900" +
                                         "    CONN AND p5 is $!or" + "    LEAVE 4" + Element("798180-260", "M42") +
                                         "    DESP  48 42 900 33" + "    ARRIVE 4" + "    CONN AND p5 is $!or" +
                                         "    VAR !HH NAME";
        // The key stays that of size 19 (M48, DESP 48); the row is the
        // size 20 one.
        QTest::newRow("next size") << 79819000.0
                                   << clevis + Element("796200-200", "M48") + "    DESP  48 42 900" +
                                          "    CONN AND p5 is $!or" + "    LEAVE 4" + Element("798190-270", "M48") +
                                          "    DESP  56 42 900 33" + "    ARRIVE 4" + "    CONN AND p5 is $!or" +
                                          "    VAR !HH NAME";
        // The first row at or above 79621000 is the 798 of size 18: no
        // companion.
        QTest::newRow("none") << 79821000.0
                              << clevis + Element("798210-280", "M64") + "    DESP  68 42 900 33" + "    ARRIVE 4" +
                                     "    CONN AND p5 is $!or" + "    VAR !HH NAME";
    }
    void companionOfA798() {
        QFETCH(double, pin);
        QFETCH(QStringList, expected);
        Support("THHATSBS", 43180302);
        SetChain({{74018000}, {60018000}, {pin}, {61018000}, {43180302}});
        QStringList lines;
        QString error;
        try {
            lines = Lines();
        } catch (const EPmlFileError& e) {
            error = e.Message();
        }
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(From(lines, Spre + "610180", int(expected.size()) - 2), expected.mid(2));
        QCOMPARE(lines.last(), QStringLiteral("$."));
    }
};

QTEST_MAIN(TestPmlStatements)
#include "tst_PmlStatements.moc"
