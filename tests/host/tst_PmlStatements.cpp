// The statement rules of the output file, one small support per case on a
// catalogue of hand-made rows. Every expected line is worked out from the
// rules of the writer by hand; a comment says which mistake a case rules
// out where that is not plain.
#include "PmlRuleCatalogue.h"
#include "host/PMLFUELL.h"

#include <QtTest>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

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

// The file's lines; a failed output gives its message as the only line.
QStringList Lines() {
    try {
        return PmlFileLines(QStringLiteral("x.zof"));
    } catch (const EPmlFileError& e) {
        return {QStringLiteral("failed: ") + e.Message()};
    }
}

// The count lines from the first line equal to anchor on; the whole file
// in the failure text when the anchor is missing.
QStringList From(const QStringList& lines, const QString& anchor, int count) {
    const int at = lines.indexOf(anchor);
    if (at < 0) {
        QStringList missing(count, QStringLiteral("anchor missing: ") + anchor);
        missing.append(lines.join(u'\n'));
        return missing;
    }
    return lines.mid(at, count);
}

// An element as the writer starts it: blank line, the element's creation,
// its component and its rod.
QStringList Element(const QString& component, const QString& rod, bool first = false) {
    return {QStringLiteral(" "), first ? QStringLiteral("  NEW SCLA") : QStringLiteral("  NEW HELE"), Spre + component,
            Lsro + rod};
}

QStringList Bolts(int nuts) {
    QStringList lines{"  ", "   !bolts=ARRAY()"};
    for (int i = 0; i < nuts; ++i) lines << "   !bolts.append( /ZORBEL3.0/638928 )";
    return lines << "   !!CE.:USTNUTREF = !bolts" << "   !bolts.delete()";
}

#if defined(__SANITIZE_ADDRESS__)
void PoisonBytes(const char* at, size_t size) { ASAN_POISON_MEMORY_REGION(at, size); }
void UnpoisonBytes(const char* at, size_t size) { ASAN_UNPOISON_MEMORY_REGION(at, size); }
#else
void PoisonBytes(const char*, size_t) {}
void UnpoisonBytes(const char*, size_t) {}
#endif

QStringList operator+(QStringList a, const char* b) {
    a.append(QString::fromLatin1(b));
    return a;
}
QStringList operator+(QStringList a, const QString& b) {
    a.append(b);
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
        c.Static(61020000, "610200", "N61490", 91);
        c.Static(61021000, "610210", "N61455", 92);
        c.Static(62018000, "620180", "N62300", 60, 165);
        c.Static(62025000, "620250", "N62311", 61);  // a size outside the tables
        c.Static(66018500, "661805", "N66503", 2000, 0, 0, true);
        c.Static(67018200, "671802", "N67288", 500);
        c.Static(64018000, "640180", "N64051", 55);
        c.Static(74018000, "740180", "N74733", 40);
        c.Static(75018000, "750180", "N75210", 80);
        c.Static(72018000, "720180", "N72106", 30);
        c.Static(65218000, "65\t218", "N65218", 30);  // a tab in its number
        // One element of each kind the dimension rules name, size 18
        // unless said (the 291 also of sizes 19 and 20, the yoke 769 of
        // size 20).
        for (int number : {11418000, 16118000, 25418000, 71518000, 29118000, 29119000, 29120000, 27918000,
                           60518000, 70018000, 60118000, 61418000, 79918000, 79718000})
            c.Static(number, QByteArray::number(number).left(6).constData(),
                     ("N" + QByteArray::number(number).mid(2, 5)).constData(), 50);
        c.Static(76920000, "769200", "N76920", 65, 70);
        c.Static(25018000, "250180", "N25077", 120);
        c.Static(71018000, "710180", "N71004", 95);
        c.Static(11018000, "110180", "N11040", 655);
        c.Static(20918000, "209180", "N20933", 135);  // no other row's height
        c.Static(20218000, "202180", "N20244", 140);
        c.Static(62020000, "62X4Y0", "N62020", 62);  // catalogue numbers whose
        c.Static(62019000, "62Z5W0", "N62019", 63);  // characters 3 and 4 differ
        c.Static(76918000, "769180", "N76918", 65, 90);
        c.Static(21018218, "210182", "N21077", 500);
        c.Static(11118000, "111180", "N11159", 600);
        c.Static(73018000, "730180", "N73016", 85);
        c.Static(73009000, "730090", "N73011", 81);
        c.Static(73010000, "730100", "N73012", 82);
        c.Static(73011000, "730110", "N73013", 83);
        c.Static(77018000, "770180", "N77025", 25);
        c.Static(29018000, "290180", "N29071", 30, 0, 0, true);
        c.Static(91018000, "910180", "N91222", 0);
        c.Static(78018000, "780180", "N78090", 45, 0, 0, true);
        c.Static(76018000, "760180", "N76013", 60, 80);
        c.Static(79118000, "791180", "N79188", 48, 0, 220);
        c.Static(79318000, "793180", "N79345", 48, 0, 250, true);
        c.Static(79418000, "794180", "N79402", 42, 110);
        c.Static(79420000, "794200", "N79421", 43);
        c.Static(79518000, "795180", "N18795", 40, 150, 250);
        // Pin pairs: a 796 for size 18, one for size 20 only.
        c.Static(79618000, "796180", "N79634", 35, 0, 180);
        c.Static(79620000, "796200", "N79690", 45, 0, 200);
        c.Static(79818000, "798180", "N79812", 55, 0, 260);
        c.Static(79819000, "798190", "N79815", 56, 0, 270);
        c.Static(79821000, "798210", "N79817", 57, 0, 280);
        // A 798 whose digit 6 is not 0, and 796 rows that only the right
        // key finds first: 79614000 (digit 6 zeroed) reaches 79614050,
        // 79614100 (left as it was) the 796 of size 18, 79610100 (digit 5
        // zeroed) the 796 of size 12.
        c.Static(79612000, "796120", "N79612", 36, 0, 120);
        c.Static(79614050, "796145", "N79645", 37, 0, 140);
        c.Static(79814100, "798141", "N79841", 58, 0, 290);
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
        c.Clamp(43180402, "431804", "N43188", false, false, 11, 16);
        c.Clamp(43990302, "439903", "N43998");
        c.Clamp(49180312, "491803", "N49166", false, true, 9, 14);
        c.Clamp(41180302, "411803", "N41155");
        c.Clamp(40180302, "401803", "N40122");
        c.Clamp(45180302, "451803", "N45133", true, true);
        c.Clamp(87180302, "871803", "N87144");
        c.Clamp(48180302, "481803", "N48155");
        c.Clamp(79180302, "791803", "N79100");
        c.Dynamic(37180302, "371802", "N37181", 7);
        c.Dynamic(36180302, "371800", "N36101");
        c.Dynamic(36181302, "361813", "N36102");
        c.Dynamic(36118302, "361183", "N36118");  // size code 18
        c.Dynamic(38180302, "381803", "N38155");
        c.Dynamic(35018000, "350180", "N35021");
        c.Dynamic(35118000, "351180", "N35104");
        c.Dynamic(35318000, "353180", "N35377");
        c.Dynamic(34118000, "341180", "N34130");
        c.Dynamic(34018000, "340180", "N34011");
        c.Dynamic(34218000, "34218Z", "N3421Z");
        c.Dynamic(39018000, "390180", "N39012");
        c.Dynamic(32018000, "320180", "N32018");
        // The clamp 87 of a "Y" arrangement is read from the dynamic table.
        c.Dynamic(87180302, "871D03", "N871D3");
        c.Dynamic(30018001, "300181", "N30081");
        c.Dynamic(30018002, "300182", "N30082");
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

    // The single-value DESP text: kept by the clamp step for clamps 49, 37,
    // 57 and 87 from the size of the part below the clamp (here the upper
    // beam, size 20: "56"), taken by the first type 79 element only; the
    // second beam has its own table text again (the next size after 18).
    // Other clamps keep none: both beams keep their table texts.
    void singleValueDesp_data() {
        QTest::addColumn<double>("clamp");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::newRow("clamp 43") << 43180302.0 << "    DESP  64 42 900 33" << "    DESP  48 42 900 33";
        for (double clamp : {49180312.0, 87180302.0, 37180302.0, 57180302.0})
            QTest::newRow(qPrintable(QString::number(qint64(clamp)))) << clamp << "    DESP   56 42 900 33"
                                                                      << "    DESP  48 42 900 33";
    }
    void singleValueDesp() {
        QFETCH(double, clamp);
        QFETCH(QString, upper);
        QFETCH(QString, lower);
        Support("SHHREBBS", clamp);
        SetChain({{60018000}, {79518000}, {79520000}, {clamp}});
        const QStringList lines = Lines();
        QCOMPARE(From(lines, Spre + "795200", 3), (QStringList{Spre + "795200", Lsro + "M56", upper}));
        QCOMPARE(From(lines, Spre + "795180", 3), (QStringList{Spre + "795180", Lsro + "M42", lower}));
    }

    // Every 798 takes the kept single-value text, also after the first
    // type 79 element has used it; without a kept text each keeps its own.
    void pinsTakeTheKeptText_data() {
        QTest::addColumn<double>("clamp");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::newRow("clamp 49") << 49180312.0 << "    DESP   48 42 900 33" << "    DESP   48 42 900 33";
        QTest::newRow("clamp 43") << 43180302.0 << "    DESP  56 42 900 33" << "    DESP  48 42 900 33";
    }
    void pinsTakeTheKeptText() {
        QFETCH(double, clamp);
        QFETCH(QString, upper);
        QFETCH(QString, lower);
        Support("SHHREBBS", clamp);
        // Below the clamp: the 798 of size 19, whose size gives the kept
        // text ("48", where its own next size is "56"); the lower 798 is
        // of size 18.
        SetChain({{60018000}, {79818000}, {79819000}, {clamp}});
        const QStringList lines = Lines();
        QCOMPARE(From(lines, Spre + "798190-270", 3)[2], upper);
        QCOMPARE(From(lines, Spre + "798180-260", 3)[2], lower);
    }

    // Per size code: the 795's next larger size (23 and 24 both give 80),
    // and an element 650's thread, size DESP and nut code, plain and
    // nuclear.
    void sizeTables_data() {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("nut");
        QTest::addColumn<QString>("nuclearNut");
        const char* const rows[][5] = {
            {"09", "12", "10", "63D929", "63D959"}, {"10", "12", "10", "63D929", "63D959"},
            {"11", "16", "12", "632928", "632958"}, {"12", "16", "12", "632928", "632958"},
            {"13", "20", "16", "633928", "633958"}, {"14", "24", "20", "634928", "634958"},
            {"15", "30", "24", "635928", "635958"}, {"16", "36", "30", "636928", "636958"},
            {"17", "42", "36", "637928", "637958"}, {"18", "48", "42", "638928", "638958"},
            {"19", "56", "48", "639928", "639958"}, {"20", "64", "56", "631028", "631058"},
            {"21", "68", "64", "632028", "632058"}, {"22", "72", "68", "633028", "633058"},
            {"23", "80", "72", "634028", "634058"}, {"24", "80", "80", "635028", "635058"},
        };
        for (const auto& r : rows) QTest::newRow(r[0]) << r[0] << r[1] << r[2] << r[3] << r[4];
    }
    void sizeTables() {
        QFETCH(QString, size);
        QFETCH(QString, next);
        QFETCH(QString, number);
        QFETCH(QString, nut);
        QFETCH(QString, nuclearNut);
        for (bool nuclear : {false, true}) {
            Support("SHHREBBS", 43180302);
            ConstructionRecord.K_KERNTECH = nuclear;
            const double beam = ("795" + size + "000").toDouble();
            const double nutElement = ("650" + size + "000").toDouble();
            SetChain({{60018000}, {beam}, {nutElement}, {43180302}});
            const QStringList lines = Lines();
            const QString beamNumber = nuclear ? "N" + size + "795" : "795" + size + "0";
            const QString nutNumber = nuclear ? "N" + size + "650" : "650" + size + "0";
            // The beam: next size, then the eye nut below (42) and the width.
            QCOMPARE(From(lines, Spre + beamNumber, 3)[2], "    DESP  " + next + " 42 900 33");
            QCOMPARE(From(lines, Spre + nutNumber, 9),
                     (QStringList{Spre + nutNumber, Lsro + "M" + number, "    DESP  " + number, "    CONN", "  ",
                                  "   !bolts=ARRAY()",
                                  "   !bolts.append( /ZORBEL3.0/" + (nuclear ? nuclearNut : nut) + " )",
                                  "   !!CE.:USTNUTREF = !bolts", "   !bolts.delete()"}));
        }
    }

    // A 794 takes its size from the part below and its neighbour from the
    // part above; no preset position. The 794 itself is of size 20, the
    // part above of size 21, the part below of size 18.
    void element794() {
        Support("SHHREBBS", 43180302);
        SetChain({{60018000}, {79420000}, {61021000}, {43180302}});
        QCOMPARE(From(Lines(), Spre + "794200", 9),
                 (QStringList{Spre + "794200", Lsro + "M56", "    DESP  42 64 900", "    ARRIVE 2", "    LEAVE 1",
                              "    CONN", "    ROT ABO Y BY 180 THRO P2", " ", "  NEW SCLA"}));
    }

    // The hanger's rod thread comes from the topmost part that is not a
    // nut 63, plate 77, clamp (57, 36, 87, 88, 4x, 5x) or additional
    // material 91; "M00" for arrangements of type Y, F and G, and when the
    // part found has a size code outside the table.
    void rodThread_data() {
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<double>("top");
        QTest::addColumn<QString>("thread");
        for (double skipped : {63018000.0, 77018000.0, 57018000.0, 36018000.0, 87018000.0, 88018000.0, 91018000.0,
                               43018000.0, 49018000.0, 52018000.0, 58018000.0})
            QTest::newRow(qPrintable("skips " + QString::number(qint64(skipped)))) << "SHHAXSBS" << skipped << "M56";
        for (double taken : {64018000.0, 37018000.0, 35018000.0, 62018000.0, 78018000.0, 86018000.0, 89018000.0,
                             92018000.0, 67018000.0, 73018000.0})
            QTest::newRow(qPrintable("takes " + QString::number(qint64(taken)))) << "SHHAXSBS" << taken << "M42";
        QTest::newRow("unlisted size") << "SHHAXSBS" << 62025000.0 << "M00";
        QTest::newRow("Y") << "SHHYXSBS" << 62018000.0 << "M00";
        QTest::newRow("F") << "SHHFXSBS" << 62018000.0 << "M00";
        QTest::newRow("G") << "SHHGXSBS" << 62018000.0 << "M00";
    }
    void rodThread() {
        QFETCH(QString, arrangement);
        QFETCH(double, top);
        QFETCH(QString, thread);
        Support(arrangement.toLatin1().constData(), 0);
        // Parts without rows: no walk reads them here except the F/G/Y
        // walk, which passes a part without a row over.
        ConstructionRecord.K_BTL_8[0] = 61020000;
        ConstructionRecord.K_BTL_8[1] = top;
        const QStringList lines = Lines();
        QCOMPARE(From(lines, "HANG /RULE7/H1", 3)[2], "    HSRO SPCO /ZORBEL3.0/" + thread);
        QCOMPARE(From(lines, "  NEW PCLA", 3)[2], Lsro + thread);
    }

    // The clamp statements: pipe variables, the hanger's bore and
    // direction, the clamp's component, DESP line, connection, orientation
    // and shift, by clamp code and arrangement. The record: width 900,
    // pipe 168.3; nominal widths 450 under key 18 and 800 under key 80.
    void clampStatements_data() {
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<QList<double>>("chain");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QStringList>("pipe");
        QTest::addColumn<QStringList>("expected");  // from the hanger's HSRO line on
        const QStringList bore{" ", " var !n pl bore of /RULE7", " !b = !n.Real()"};
        const QStringList outer{" ", " var !o pl od of /RULE7", " !r = !o.Real() / 2", " var !n pl bore of /RULE7",
                                " !b = !n.Real()"};
        const QStringList hanger42{"    HSRO SPCO /ZORBEL3.0/M42", "    POS HH AT /RULE7", "    HREF /RULE7",
                                   "    HCON TUB"};
        const QStringList hor{"    VAR !HOR PL DIR OF /RULE7", "    HDIR $!HOR"};
        const QStringList pcla{" ", "  NEW PCLA"};
        auto row = [&](const char* name, const char* arrangement, QList<double> chain, const char* settings,
                       QStringList pipe, QStringList expected) {
            QTest::newRow(name) << arrangement << chain << settings << pipe << expected;
        };
        row("43 hot-dip", "SHHAXSBS", {61018000, 43180302}, "hd", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "431803-HD") + (Lsro + "M42") + "    DESP  42 42 900 168.3" +
                "    CONN" + "    VAR !OR dir Y");
        row("43 nuclear", "SHHAXSBS", {61018000, 43180302}, "nuclear", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "N43177") + (Lsro + "M42") + "    DESP  42 42 900 168.3" +
                "    CONN" + "    VAR !OR dir Y");
        row("43 letter 1 C", "CHHAXSBS", {61018000, 43180302}, "", {},
            hanger42 + "    HBOR  450" + hor + pcla + (Spre + "431803") + (Lsro + "M42") +
                "    DESP  42 42 900 168.3" + "    CONN" + "    VAR !OR dir Y");
        row("no nominal width", "SHHAXSBS", {61018000, 43990302}, "", {},
            hanger42 + "    HBOR  0" + pcla + (Spre + "439903") + (Lsro + "M42") + "    DESP  42 42 900 168.3" +
                "    CONN" + "    VAR !OR dir Y");
        row("41", "SHHAXSBS", {61018000, 41180302}, "", bore,
            hanger42 + "    HBOR  $!b" + pcla + (Spre + "411803") + (Lsro + "M42") + "    DESP  $!b 42 0  168.3" +
                "    CONN" + "    VAR !OR dir Y");
        row("40", "SHHAXSBS", {61018000, 40180302}, "", {},
            hanger42 + "    HBOR  450" + hor + pcla + (Spre + "401803") + (Lsro + "M42") + "    DESP  900 168.3" +
                "    CONN" + "    VAR !OR dir Y");
        row("531", "SHHAXSBS", {61018000, 53118302}, "", outer,
            hanger42 + "    HBOR  $!b" + pcla + (Spre + "531183") + (Lsro + "M42") + "    DESP  $!b  $!b  $!r" +
                "    CONN" + "    VAR !OR dir Y");
        row("532", "SHHAXSBS", {61018000, 53218302}, "breite=900.75", outer,
            hanger42 + "    HBOR  $!b" + pcla + (Spre + "532183") + (Lsro + "M42") + "    DESP  $!b  $!b  $!r  900" +
                "    CONN" + "    VAR !OR dir Y");
        row("541", "SHHAXSBS", {61018000, 54180302}, "hmd=1234.6", {},
            hanger42 + "    HBOR  800" + pcla + (Spre + "541803") + (Lsro + "M42") + "    DESP  800 800 1235" +
                "    CONN" + "    VAR !OR dir Y");
        row("542", "SHHAXSBS", {61018000, 54280302}, "hmd=1234.6", {},
            hanger42 + "    HBOR  800" + pcla + (Spre + "542803") + (Lsro + "M42") + "    DESP  800 800 1235" +
                "    CONN" + "    VAR !OR dir Y");
        row("55", "SHHAXSBS", {61018000, 55180302}, "", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "551803") + (Lsro + "M42") + "    DESP  42 42 " + "    CONN" +
                "    VAR !OR dir Y");
        // Alone in the chain: entry 2 is empty, the clamp is its own part
        // below; no rod thread; no horizontal direction for a 58.
        row("58 alone", "CHHAXSBS", {58180302}, "hmd=1234.6", {},
            QStringList{"    HSRO SPCO /ZORBEL3.0/M00", "    POS HH AT /RULE7", "    HREF /RULE7", "    HCON TUB"} +
                "    HBOR  800" + pcla + (Spre + "581803") + (Lsro + "M00") + "    DESP  800 800 1235" + "    CONN" +
                "    VAR !OR dir Y");
        row("58 in a chain", "SHHAXSBS", {61018000, 58180302, 60018000}, "dim3=12345", {},
            hanger42 + "    HBOR  800" + pcla + (Spre + "581803") + (Lsro + "M42") + "    DESP  42 42 12345" +
                "    CONN" + "    VAR !OR dir Y");
        // No clamp entry in the chain: the bridge item after entry 0.
        row("58 not in the chain", "SHHAXSBS", {61018000, 60018000}, "clamp=58180302,dim1=54321,dim2=12345", {},
            hanger42 + "    HBOR  800" + pcla + (Spre + "581803") + (Lsro + "M42") + "    DESP  42 42 54321" +
                "    CONN" + "    VAR !OR dir Y");
        // Too wide for fixed(7, 0).
        row("541 wide", "SHHAXSBS", {61018000, 54180302}, "hmd=12500000", {},
            hanger42 + "    HBOR  800" + pcla + (Spre + "541803") + (Lsro + "M42") + "    DESP  800 800 1.25E+07" +
                "    CONN" + "    VAR !OR dir Y");
        row("49 slide plate", "DHHRELXS", {61018000, 49180312}, "ptfe,t49=3", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "491803G3-SP") + (Lsro + "M42") + "    DESP  0  0 900 168.3" +
                "    CONN" + " ");
        row("49 slide plate hot-dip", "DHHRELXS", {61018000, 49180312}, "ptfe,t49=3,hd", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "491803G3-SP-HD") + (Lsro + "M42") +
                "    DESP  0  0 900 168.3" + "    CONN" + " ");
        row("49 slide plate nuclear", "DHHRELXS", {61018000, 49180312}, "ptfe,t49=1,nuclear", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "N49166G2A-SP") + (Lsro + "M42") +
                "    DESP  0  0 900 168.3" + "    CONN" + " ");
        // Hot-dip before nuclear on this one: the ordinary number.
        row("49 slide plate nuclear hot-dip", "DHHRELXS", {61018000, 49180312}, "ptfe,t49=2,nuclear,hd", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "491803G2P-SP-HD") + (Lsro + "M42") +
                "    DESP  0  0 900 168.3" + "    CONN" + " ");
        row("49 without PTFE", "DHHRELXS", {61018000, 49180312}, "t49=4,hd", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "491803G4-HD") + (Lsro + "M42") + "    DESP  0  0 900 168.3" +
                "    CONN" + " ");
        // Not R-L-X-S: the table's text stays.
        row("49 letter 6 S", "DHHRESXS", {61018000, 49180312}, "ptfe,t49=0", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "491803-SP") + (Lsro + "M42") + "    DESP  42 42 900 168.3" +
                "    CONN" + " ");
        row("49 letter 1 S", "SHHRELXS", {61018000, 49180312}, "ptfe,t49=7", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "491803") + (Lsro + "M42") + "    DESP  0  0 900 168.3" +
                "    CONN" + " ");
        // No table row for size 25: the 49's own text.
        row("49 unlisted size", "DHHRESXS", {62025000, 49180312}, "", {},
            QStringList{"    HSRO SPCO /ZORBEL3.0/M00", "    POS HH AT /RULE7", "    HREF /RULE7", "    HCON TUB"} +
                "    HBOR  450" + pcla + (Spre + "491803") + (Lsro + "M00") + "    DESP  0  0 900 168.3" + "    CONN" +
                " ");
        row("45 coupled", "SHHAXSBS", {62018000, 45180302}, "breite2=160.5,hd", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "451803-160.5-HD") + (Lsro + "M42") +
                "    DESP  42 42 900 168.3" + "    CONN" + "    VAR !NA NAME" + "    ORI AND P5 IS $!OR" +
                "    VAR !HH NAME" + "    VAR !OR dir X" + "    MOVE $!OR DIST -82.5");
        row("43 coupled", "SHHAXSBS", {62018000, 43181302}, "", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "431813") + (Lsro + "M42") + "    DESP  42 42 900 168.3" +
                "    CONN" + "    VAR !NA NAME" + "    VAR !OR dir Y" + "    MOVE $!OR DIST -82.5");
        // A clamp 37 or 79 is the topmost part the rod thread looks at;
        // its size code "80" is no thread: "M00" stays.
        const QStringList hanger00{"    HSRO SPCO /ZORBEL3.0/M00", "    POS HH AT /RULE7", "    HREF /RULE7",
                                   "    HCON TUB"};
        row("37", "SHHAXSBS", {61018000, 37180302}, "", {},
            hanger00 + "    HBOR  450" + pcla + (Spre + "3718027") + (Lsro + "M00") + "    DESP  42 42 900 168.3" +
                "    CONN" + " ");
        row("37 nuclear", "SHHAXSBS", {61018000, 37180302}, "nuclear", {},
            hanger00 + "    HBOR  450" + pcla + (Spre + "N371817") + (Lsro + "M00") + "    DESP  42 42 900 168.3" +
                "    CONN" + " ");
        row("37 letter 4 F", "SHHFXSBS", {61018000, 37180302}, "", {},
            QStringList{"    HSRO SPCO /ZORBEL3.0/M00", "    POS HH AT /RULE7", "    HREF /RULE7", "    HCON TUB"} +
                "    HBOR  450" + pcla + (Spre + "37180261018000") + (Lsro + "M00") + "    DESP  00 00 900 168.3" +
                "    CONN" + " ");
        row("79", "SHHAXSBS", {61018000, 79180302}, "breite=900.5", {},
            hanger00 + "    HBOR  450" + pcla + (Spre + "791803") + (Lsro + "M00") + "    DESP  900.5" + "    CONN" +
                "    VAR !OR dir Y");
        // A top part of a size the table does not hold keeps the thread
        // "M00", and the bore clamp's rod size is its "00": a size text
        // kept only for listed sizes left a double blank in the line.
        row("41 unlisted size", "SHHAXSBS", {62025000, 41180302}, "", bore,
            hanger00 + "    HBOR  $!b" + pcla + (Spre + "411803") + (Lsro + "M00") + "    DESP  $!b 00 0  168.3" +
                "    CONN" + "    VAR !OR dir Y");
        row("56", "SHHAXSBS", {61018000, 56180302}, "", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "561803") + (Lsro + "M42") + " " + "    CONN" +
                "    VAR !OR dir Y");
        row("57", "SHHAXSBS", {61018000, 57180302}, "", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "571803-18") + (Lsro + "M42") + "    DESP  42 42 " + "    CONN" +
                "    VAR !OR dir Y");
        row("87", "SHHAXSBS", {61018000, 87180302}, "", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "871803") + (Lsro + "M42") + "    DESP  42 42 " + "    CONN" +
                " ");
        // A clamp 87 of a "Y" arrangement: the dynamic table's numbers, the
        // DESP of "Y" arrangements, no orientation.
        for (const char* setting : {"", "nuclear"})
            row(setting[0] ? "87 Y nuclear" : "87 Y", "SHHYESBS", {61018000, 87180302}, setting, {},
                hanger00 + "    HBOR  450" + pcla + (Spre + (setting[0] ? "N871D3" : "871D03")) + (Lsro + "M00") +
                    "    DESP  00 00 " + "    CONN" + " ");
        // A dynamic clamp 36 at entry 1: the bridge item after it is item 2;
        // the part below it is the clamp itself (size 18); its diameter key
        // 11 has no row, the nearest above (18) gives the bore.
        row("36 at entry 1", "SHHAXSBS", {36118302}, "dim1=1111,dim2=2222,lgmax=77", {},
            hanger00 + "    HBOR  450" + pcla + (Spre + "361183") + (Lsro + "M00") +
                "    DESP  42 42 900 168.3 2222 77" + "    CONN" + "    VAR !OR dir Y");
        // A clamp 48 as a 45: its second width, then turned to the pipe.
        row("48", "SHHAXSBS", {61018000, 48180302}, "breite2=75.25", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "481803-75.25") + (Lsro + "M42") + "    DESP  42 42 900 168.3" +
                "    CONN" + "    ORI AND P5 IS $!OR" + "    VAR !HH NAME" + "    VAR !OR dir X");
        // A plate 77 below the clamp is passed: the size and the direction
        // come from the part under it (size 21).
        row("plate below", "SHHAXSBS", {61021000, 77018000, 43180302}, "", {},
            QStringList{"    HSRO SPCO /ZORBEL3.0/M64", "    POS HH AT /RULE7", "    HREF /RULE7", "    HCON TUB"} +
                "    HBOR  450" + pcla + (Spre + "431803") + (Lsro + "M64") + "    DESP  64 64 900 168.3" + "    CONN" +
                "    VAR !OR dir Y");
        // "77" inside the number of the part below turns the direction.
        row("inner 77", "SHHAXSBS", {60018770, 43180302}, "", {},
            hanger42 + "    HBOR  450" + pcla + (Spre + "431803") + (Lsro + "M42") + "    DESP  42 42 900 168.3" +
                "    CONN" + "    VAR !OR dir X");
    }
    void clampStatements() {
        QFETCH(QString, arrangement);
        QFETCH(QList<double>, chain);
        QFETCH(QString, settings);
        QFETCH(QStringList, pipe);
        QFETCH(QStringList, expected);
        double clamp = chain.size() == 3 && chain[2] == 60018000 ? chain[1] : chain.last();
        for (const QString& s : settings.split(u',', Qt::SkipEmptyParts))
            if (s.startsWith(QLatin1String("clamp="))) clamp = s.mid(6).toDouble();
        Support(arrangement.toLatin1().constData(), clamp);
        std::vector<ChainPartSpec> parts;
        for (double n : chain) parts.push_back({n});
        SetChain(parts);
        auto& r = ConstructionRecord;
        for (const QString& s : settings.split(u',', Qt::SkipEmptyParts)) {
            const QString key = s.section(u'=', 0, 0), value = s.section(u'=', 1);
            if (key == "hd") r.K_HD_KZ = true;
            else if (key == "nuclear") r.K_KERNTECH = true;
            else if (key == "ptfe") r.K_PTFE_KZ = true;
            else if (key == "t49") r.K_T49G_KZ = value;
            else if (key == "breite") r.K_BREITE = value.toDouble();
            else if (key == "breite2") r.K_BREITE_2 = value.toDouble();
            else if (key == "hmd") r.K_HM_D_1 = value.toDouble();
            else if (key == "dim1") PutTextField(BridgeRecords.Items[0].Dimension, 4, value);
            else if (key == "dim2") PutTextField(BridgeRecords.Items[1].Dimension, 4, value);
            else if (key == "dim3") PutTextField(BridgeRecords.Items[2].Dimension, 4, value);
            else if (key == "lgmax") r.K_LG_MAX = int16_t(value.toInt());
            else if (key == "clamp") continue;
            else QFAIL(qPrintable("unknown setting " + key));
        }
        const QStringList lines = Lines();
        const int spr = lines.indexOf("  :USTSPRRATE 0.00");
        const int head = lines.indexOf("    /RULE7");
        QVERIFY2(spr > 0 && head > spr, qPrintable(lines.join(u'\n')));
        QCOMPARE(lines.mid(spr + 1, head - spr - 2), pipe);
        QCOMPARE(From(lines, "HANG /RULE7/H1", 2 + int(expected.size())),
                 (QStringList{"HANG /RULE7/H1", "    HSPE SPEC /ZORBEL3.0"} + expected));
    }

    // Which walk: letter 4 "R" or letter 5 "E" the R/E walk (a 91 is
    // additional material, never an element), which turns into the first
    // pass of the D walk at a type 79 part when letter 5 is "D"; letter 5
    // "D" the D walk (a 91 is an element), or the R/E walk when letter 6
    // is "S".
    void walkChoice_data() {
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<bool>("ninetyOneWritten");
        QTest::addColumn<bool>("secondSide");
        QTest::addColumn<bool>("arrive");  // letter 6 "S": the beam arrives at 4
        QTest::newRow("R, E") << "SHHREBBS" << false << false << false;
        QTest::newRow("A, E") << "SHHAEXBS" << false << false << false;
        QTest::newRow("R, T") << "SHHRTXBS" << false << false << false;
        QTest::newRow("R, D") << "SHHRDLBS" << false << true << false;
        QTest::newRow("D, letter 6 S") << "THHADSBS" << false << true << true;
        QTest::newRow("D") << "THHADLBS" << true << true << false;
    }
    void walkChoice() {
        QFETCH(QString, arrangement);
        QFETCH(bool, ninetyOneWritten);
        QFETCH(bool, secondSide);
        QFETCH(bool, arrive);
        Support(arrangement.toLatin1().constData(), 43180302);
        SetChain({{74018000}, {60018000}, {79518000}, {91018000}, {61018000}, {43180302}});
        const QStringList lines = Lines();
        QCOMPARE(lines.contains(Spre + "910180"), ninetyOneWritten);
        QCOMPARE(lines.contains("NEW HANG /RULE7/H2"), secondSide);
        QStringList beam{Spre + "795180", Lsro + "M42", "    DESP  48 42 900 33"};
        if (arrive) beam << "    ARRIVE 4";
        beam << "    CONN AND p5 is $!or" << (secondSide ? QStringLiteral("    VAR !HH NAME") : QStringLiteral(" "));
        QCOMPARE(From(lines, Spre + "795180", int(beam.size())), beam);
    }

    // The T walk's second side starts below the 79 that set it and ends at
    // the first empty entry or the first type 79 part (a 794 here, which
    // does not start a side itself); otherwise it runs down to entry 1.
    void tWalkSecondSideEnd_data() {
        QTest::addColumn<double>("third");
        QTest::addColumn<bool>("ends");
        QTest::newRow("empty entry") << 0.0 << true;
        QTest::newRow("794") << 79418000.0 << true;
        QTest::newRow("clevis") << 61018000.0 << false;
    }
    void tWalkSecondSideEnd() {
        QFETCH(double, third);
        QFETCH(bool, ends);
        Support("THHATSBS", 43180302);
        SetChain({{75018000}, {60018000}, {third}, {61018000}, {79518000}, {60018000}, {43180302}});
        const QStringList clevis = Element("610180", "M42") + "    DESP  42" + "    CONN" + "    ORI AND Y IS $!OR";
        const QStringList eyeNut = Element("600180", "M42") + "    DESP  42" + "    CONN" + "    ORI AND Y IS $!OR";
        const QStringList lug = Element("750180", "M42", true) + "    DESP  42" + "    CONN";
        const QStringList end{" ", "    OWN", "    CONN PT TO LAST MEM", " ", " ", "/RULE7"};
        const QStringList expected = ends ? clevis + end : clevis + clevis + eyeNut + lug + end;
        const QStringList lines = Lines();
        QCOMPARE(From(lines, "    CONN HH TO P3 of $!HH", int(expected.size()) + 1),
                 QStringList{"    CONN HH TO P3 of $!HH"} + expected);
        QCOMPARE(From(lines, "NEW HANG /RULE7/H2", 3)[2], QStringLiteral("    HSRO SPCO /ZORBEL3.0/M42"));
    }

    // A support without parts writes no chain statements in any walk; the
    // clamp statements stand on a cleared clamp row.
    void emptyPartList_data() {
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<QString>("desp");
        QTest::addColumn<QString>("function");
        QTest::newRow("R/E") << "SHHRESBS" << "" << "HH";
        QTest::newRow("T") << "THHATSBS" << "" << "HH";
        QTest::newRow("D") << "THHADLBS" << "" << "HH";
        QTest::newRow("Y") << "SHHYESBS" << "    DESP  00 00 " << "RV";
        QTest::newRow("Y with a second side") << "SHHYDSBS" << "    DESP  00 00 " << "RW";
    }
    void emptyPartList() {
        QFETCH(QString, arrangement);
        QFETCH(QString, desp);
        QFETCH(QString, function);
        Support(arrangement.toLatin1().constData(), 0);
        SetChain({});
        const QStringList lines = Lines();
        const QStringList expected{"  NEW PCLA", Spre + "      ", Lsro + "M00", desp, "    CONN", "    VAR !OR dir Y",
                                   " ", "    OWN", "    CONN PT TO LAST MEM", " ", " ", "/RULE7",
                                   ":MdsSuppFunc '" + function + "'", ":MdsDesiTemp  210", "/RULE7/REST", " ", " ", "$."};
        QCOMPARE(From(lines, "  NEW PCLA", int(expected.size()) + 1), expected);
    }

    // The line ":MDSVPRMMTO FALSE" after a 351 or 353: once after a clamp
    // 36 whose number begins "37", after every one once a 341 was written
    // or the clamp is a 38; none when the dynamic blocks are excluded
    // (the parts are passed over). A 351 always turns by 90.
    void mtoLines_data() {
        QTest::addColumn<QList<double>>("chain");
        QTest::addColumn<bool>("excluded");
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("second");
        QTest::newRow("clamp 36 numbered 37") << QList<double>{35318000, 35118000, 36180302} << false << true << false;
        QTest::newRow("clamp 36") << QList<double>{35318000, 35118000, 36181302} << false << false << false;
        QTest::newRow("341 above") << QList<double>{35318000, 35118000, 34118000, 36181302} << false << true << true;
        QTest::newRow("clamp 38") << QList<double>{35318000, 35118000, 38180302} << false << true << true;
        QTest::newRow("excluded") << QList<double>{35318000, 35118000, 36180302} << true << false << false;
    }
    void mtoLines() {
        QFETCH(QList<double>, chain);
        QFETCH(bool, excluded);
        QFETCH(bool, first);
        QFETCH(bool, second);
        Support("SHHYESBS", chain.last());
        ConstructionRecord.K_DYN_RSBK_KZ = excluded;
        std::vector<ChainPartSpec> parts;
        for (double n : chain) parts.push_back({n});
        SetChain(parts);
        const QStringList lines = Lines();
        if (excluded) {
            QVERIFY(!lines.contains(Spre + "351180"));
            QVERIFY(!lines.contains(Spre + "353180"));
            QVERIFY(!lines.contains("   :MDSVPRMMTO FALSE"));
            return;
        }
        QStringList upper{Spre + "351180", Lsro + "M00", "    DESP  00", "    CONN", "    ROT BY 90"};
        if (first) upper << "   :MDSVPRMMTO FALSE";
        QStringList lower{" ", "  NEW SCLA", Spre + "353180", Lsro + "M00", "    DESP  00", "    CONN"};
        if (second) lower << "   :MDSVPRMMTO FALSE";
        const QStringList expected = upper + lower + QStringList{" ", "    OWN"};
        QCOMPARE(From(lines, Spre + "351180", int(expected.size())), expected);
    }

    // The type 341 strut: its catalogue number with the 6th character taken
    // from the 5th digit of the part below (351 18 0 00: "8"), the width,
    // and "ARRIVE 4" on an arrangement of letter 1 "S" and letter 4 "Y".
    void strut341() {
        Support("SHHYESBS", 36181302);
        SetChain({{35318000}, {35118000}, {34118000}, {36181302}});
        QCOMPARE(From(Lines(), Spre + "341188", 7),
                 (QStringList{Spre + "341188", Lsro + "M00", "    DESP  00 00 900", "    ARRIVE 4", "    CONN",
                              "    VAR !HH NAME", " "}));
    }

    // Turns by 90: a 610 over a 730 with the turned flag, a 600 over a 730
    // without it; a 350 with it, a 351 always.
    void rotations_data() {
        QTest::addColumn<bool>("turned");
        QTest::newRow("turned") << true;
        QTest::newRow("not turned") << false;
    }
    void rotations() {
        QFETCH(bool, turned);
        Support("SHHRESBS", 43180302);
        SetChain({{73018000}, {61018000}, {73018000}, {60018000}, {43180302}});
        BridgeRecords.DrehungAs = turned;
        QStringList lines = Lines();
        const QStringList eyeNut{Spre + "600180", Lsro + "M42", "    DESP  42", "    CONN", "    ORI AND Y IS $!OR"};
        const QStringList clevis{Spre + "610180", Lsro + "M42", "    DESP  42", "    CONN", "    ORI AND Y IS $!OR"};
        QCOMPARE(From(lines, Spre + "600180", 6), eyeNut + (turned ? " " : "    ROT BY 90"));
        QCOMPARE(From(lines, Spre + "610180", 6), clevis + (turned ? "    ROT BY 90" : " "));

        Support("SHHYESBS", 36181302);
        SetChain({{35018000}, {35118000}, {36181302}});
        BridgeRecords.DrehungAs = turned;
        lines = Lines();
        QCOMPARE(From(lines, Spre + "351180", 6)[4], QStringLiteral("    ROT BY 90"));
        QCOMPARE(From(lines, Spre + "350180", 5),
                 (QStringList{Spre + "350180", Lsro + "M00", "    DESP  00", "    CONN",
                              turned ? QStringLiteral("    ROT BY 90") : QStringLiteral(" ")}));
    }

    // A 730 connects with "FCONN" for size codes 09 and 10 only.
    void connection730_data() {
        QTest::addColumn<double>("part");
        QTest::addColumn<QString>("connection");
        QTest::newRow("09") << 73009000.0 << "    FCONN";
        QTest::newRow("10") << 73010000.0 << "    FCONN";
        QTest::newRow("11") << 73011000.0 << "    CONN";
        QTest::newRow("18") << 73018000.0 << "    CONN";
    }
    void connection730() {
        QFETCH(double, part);
        QFETCH(QString, connection);
        Support("SHHRESBS", 43180302);
        SetChain({{part}, {61018000}, {43180302}});
        const QStringList lines = Lines();
        const int at = lines.indexOf(Spre + QString::number(qint64(part)).left(6));
        QVERIFY(at > 0);
        QCOMPARE(lines.value(at + 3), connection);
    }

    // After the shift of a rod, a hanger of type 11 or an element 71 turns
    // by 90 when the hanger is turned; other parts never.
    void turnedHanger_data() {
        QTest::addColumn<double>("part");
        QTest::addColumn<bool>("turned");
        QTest::addColumn<QStringList>("expected");
        const QStringList constant{Spre + "110180", Lsro + "M42", "    DESP  42 0 33", "    CONN", "    BY u 0350mm"};
        const QStringList element71{Spre + "710180", Lsro + "M42", "    DESP  42", "    CONN", "    BY u 0350mm"};
        const QStringList clevis{Spre + "610180", Lsro + "M42", "    DESP  42", "    CONN", "    ORI AND Y IS $!OR",
                                 "    BY u 0350mm"};
        QTest::newRow("11 turned") << 11018000.0 << true << constant + "    ROT BY 90";
        QTest::newRow("11") << 11018000.0 << false << constant + " ";
        QTest::newRow("71 turned") << 71018000.0 << true << element71 + "    ROT BY 90";
        QTest::newRow("71") << 71018000.0 << false << element71 + " ";
        QTest::newRow("610 turned") << 61018000.0 << true << clevis + " ";
    }
    void turnedHanger() {
        QFETCH(double, part);
        QFETCH(bool, turned);
        QFETCH(QStringList, expected);
        Support("SHHRESBS", 43180302);
        ConstructionRecord.K_RESTLAENGE_1 = 350;
        SetChain({{60018000}, {part}, {66018500}, {61018000}, {43180302}});
        BridgeRecords.DrehungKh = turned;
        const QStringList lines = Lines();
        // The element at entry 2 (the clevis also stands at entry 4).
        const int at = lines.lastIndexOf(expected[0]);
        QVERIFY(at > 0);
        QCOMPARE(lines.mid(at, expected.size()), expected);
    }

    // Extra nuts of a rod's bolt list: one with connection 74 for a rod at
    // entry 2 or 3; one when entry 1 is a type 25 and the rod stands at
    // entry 2 or 3, or at 3 or 4 on a bearing.
    void boltListExtras_data() {
        QTest::addColumn<double>("bottom");
        QTest::addColumn<int>("rod");
        QTest::addColumn<int>("connection");
        QTest::addColumn<bool>("bearing");
        QTest::addColumn<int>("nuts");
        // A rod's list has two nuts to start with (types 64, 66 and 67).
        QTest::newRow("74, rod at 2") << 60018000.0 << 2 << 74 << false << 3;
        QTest::newRow("74, rod at 3") << 60018000.0 << 3 << 74 << false << 3;
        QTest::newRow("74, rod at 4") << 60018000.0 << 4 << 74 << false << 2;
        QTest::newRow("73, rod at 2") << 60018000.0 << 2 << 73 << false << 2;
        QTest::newRow("25, rod at 2") << 25018000.0 << 2 << 0 << false << 3;
        QTest::newRow("25, rod at 3") << 25018000.0 << 3 << 0 << false << 3;
        QTest::newRow("25, rod at 4") << 25018000.0 << 4 << 0 << false << 2;
        QTest::newRow("25 bearing, rod at 2") << 25018000.0 << 2 << 0 << true << 2;
        QTest::newRow("25 bearing, rod at 3") << 25018000.0 << 3 << 0 << true << 3;
        QTest::newRow("25 bearing, rod at 4") << 25018000.0 << 4 << 0 << true << 3;
        QTest::newRow("25 and 74, rod at 3") << 25018000.0 << 3 << 74 << false << 4;
        QTest::newRow("72, rod at 2") << 72018000.0 << 2 << 0 << false << 2;
    }
    void boltListExtras() {
        QFETCH(double, bottom);
        QFETCH(int, rod);
        QFETCH(int, connection);
        QFETCH(bool, bearing);
        QFETCH(int, nuts);
        Support("SHHRESBS", 43180302);
        ConstructionRecord.K_AN_GEB = int16_t(connection);
        ConstructionRecord.K_AUFLAGER_KZ = bearing;
        std::vector<ChainPartSpec> chain{{bottom}, {61018000}, {61018000}, {61018000}, {61018000}, {43180302}};
        chain[size_t(rod - 1)] = {66018500};
        SetChain(chain);
        const QStringList lines = Lines();
        QCOMPARE(lines.filter("!bolts.append(").size(), nuts);
        QCOMPARE(lines.filter("   !bolts.append( /ZORBEL3.0/638928 )").size(), nuts);
    }

    // After a 791 of the first pass, the first element of the D walk's
    // second side gets a bolt list with one more nut, and one more again
    // when it is a 61 or 60.
    void nutAfter791_data() {
        QTest::addColumn<double>("pair");
        QTest::addColumn<double>("bottom");
        QTest::addColumn<int>("nuts");
        QTest::newRow("60 after 791") << 79118000.0 << 60018000.0 << 3;
        QTest::newRow("61 after 791") << 79118000.0 << 61018000.0 << 3;
        QTest::newRow("730 after 791") << 79118000.0 << 73018000.0 << 2;
        QTest::newRow("60 after 793") << 79318000.0 << 60018000.0 << 0;
    }
    void nutAfter791() {
        QFETCH(double, pair);
        QFETCH(double, bottom);
        QFETCH(int, nuts);
        Support("THHADLBS", 43180302);
        // The lug at entry 1 comes after the first element of the side: it
        // gets no bolt list.
        SetChain({{75018000}, {bottom}, {79518000}, {pair}, {43180302}});
        const QStringList lines = Lines();
        QCOMPARE(lines.filter("   !bolts.append( /ZORBEL3.0/638928 )").size(), nuts);
        QCOMPARE(lines.filter("   !bolts=ARRAY()").size(), nuts > 0 ? 1 : 0);
        // The bolt list follows the second side's element.
        const int second = lines.indexOf("NEW HANG /RULE7/H2");
        QVERIFY(second > 0);
        QCOMPARE(lines.indexOf("   !bolts=ARRAY()", second) > second, nuts > 0);
    }

    // The 798 of the D walk: its 796 with "LEAVE 4" and ":MDSVPRMMTO
    // FALSE" before it; without a 796 row neither.
    void dWalkPin_data() {
        QTest::addColumn<double>("pin");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("own size") << 79818000.0
                                  << QStringList{Spre + "796180-180", Lsro + "M42", "    DESP  42 42 900",
                                                 "    CONN AND p5 is $!or", "    LEAVE 4", "   :MDSVPRMMTO FALSE",
                                                 " ", "  NEW HELE", Spre + "798180-260", Lsro + "M42",
                                                 "    DESP  48 42 900 33", "    CONN AND p5 is $!or",
                                                 "    VAR !HH NAME"};
        // Digit 6 of the key becomes "0": 79614000, whose first row is the
        // 796 of size 14; the element keeps that key (size 14: M20, DESP
        // 20, next size 24).
        QTest::newRow("digit 6 not 0") << 79814100.0
                                       << QStringList{Spre + "796145-140", Lsro + "M20", "    DESP  20 42 900",
                                                      "    CONN AND p5 is $!or", "    LEAVE 4",
                                                      "   :MDSVPRMMTO FALSE", " ", "  NEW HELE", Spre + "798141-290",
                                                      Lsro + "M20", "    DESP  24 42 900 33", "    CONN AND p5 is $!or",
                                                      "    VAR !HH NAME"};
        QTest::newRow("none") << 79821000.0
                              << QStringList{Spre + "798210-280", Lsro + "M64", "    DESP  68 42 900 33",
                                             "    CONN AND p5 is $!or", "    VAR !HH NAME", " ", "  NEW SCLA"};
    }
    void dWalkPin() {
        QFETCH(double, pin);
        QFETCH(QStringList, expected);
        Support("THHADLBS", 43180302);
        SetChain({{60018000}, {pin}, {43180302}});
        const QStringList lines = Lines();
        QCOMPARE(From(lines, expected[0], int(expected.size())), expected);
        QCOMPARE(lines.filter("LEAVE 4").size(), pin == 79821000.0 ? 0 : 1);
    }

    // The height of a rod group (the rod's 2000) with the part after it:
    // a 72 adds its own height and that of entry 1 with the preset
    // position (30 + 40 + 33), a 25 its own with the preset position
    // (120 + 33); other parts add nothing. The part is written with the
    // sum as its shift, and the walk goes on below it.
    void groupHeight_data() {
        QTest::addColumn<QList<double>>("chain");
        QTest::addColumn<QStringList>("expected");  // from the group's bolt list on
        const QStringList bolts{"  ", "   !bolts=ARRAY()", "   !bolts.append( /ZORBEL3.0/638928 )",
                                "   !bolts.append( /ZORBEL3.0/638928 )", "   !!CE.:USTNUTREF = !bolts",
                                "   !bolts.delete()"};
        const QStringList plate = Element("740180", "M42", true) + "    DESP  42" + "    CONN";
        const QStringList clevis = Element("610180", "M42") + "    DESP  42" + "    CONN" + "    ORI AND Y IS $!OR";
        QTest::newRow("72") << QList<double>{74018000, 72018000, 66018500, 64018000, 61018000, 43180302}
                            << bolts + Element("720180", "M42") + "    DESP  42" + "    CONN" + "    BY u 2103mm" +
                                   plate;
        QTest::newRow("25") << QList<double>{74018000, 25018000, 66018500, 64018000, 61018000, 43180302}
                            << bolts + Element("250180", "M42") + "    DESP  42 0 33" + "    CONN" + "    BY u 2153mm" +
                                   plate;
        QTest::newRow("600") << QList<double>{74018000, 60018000, 66018500, 64018000, 61018000, 43180302}
                             << bolts + Element("600180", "M42") + "    DESP  42" + "    CONN" +
                                    "    ORI AND Y IS $!OR" + "    BY u 2000mm" + plate;
        // A 72 above entry 2: written itself, then the part below it once.
        QTest::newRow("72 at entry 3")
            << QList<double>{74018000, 61018000, 72018000, 66018500, 64018000, 61018000, 43180302}
            << bolts + Element("720180", "M42") + "    DESP  42" + "    CONN" + "    BY u 2103mm" + clevis + plate;
    }
    void groupHeight() {
        QFETCH(QList<double>, chain);
        QFETCH(QStringList, expected);
        Support("SHHRESBS", 43180302);
        ConstructionRecord.K_RESTLAENGE_5 = 800;
        ConstructionRecord.K_TAB_SAZ_5 = 1;
        std::vector<ChainPartSpec> parts;
        for (double n : chain) parts.push_back({n});
        SetChain(parts);
        const QStringList lines = Lines();
        // The coupling with its rod below, the shift of the fifth rod
        // length, then its bolt list.
        QCOMPARE(From(lines, Spre + "640180", 5),
                 (QStringList{Spre + "640180", Lsro + "661805", "    DESP  42", "    CONN", "    BY u 0800mm"}));
        const int at = lines.indexOf("    BY u 0800mm");
        QCOMPARE(lines.mid(at + 1, expected.size() + 1), expected + " ");
        QCOMPARE(lines.filter(Spre + "720180").size(), chain.contains(72018000) ? 1 : 0);
    }

    // The shift after an element at entry 1 of type 25 or 72 adds its height
    // and the preset position; a 72 (at entry 1 or above) adds entry 1's
    // height and the preset position once more.
    void shiftOverTheBottom_data() {
        QTest::addColumn<QList<double>>("chain");
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("shift");
        QTest::newRow("72 at entry 2") << QList<double>{74018000, 72018000, 66018500, 61018000, 43180302} << "720180"
                                       << "    BY u 0873mm";
        QTest::newRow("25 at entry 1") << QList<double>{25018000, 66018500, 61018000, 43180302} << "250180"
                                       << "    BY u 0953mm";
        QTest::newRow("72 at entry 1") << QList<double>{72018000, 66018500, 61018000, 43180302} << "720180"
                                       << "    BY u 0926mm";
        QTest::newRow("600 at entry 1") << QList<double>{60018000, 66018500, 61018000, 43180302} << "600180"
                                        << "    BY u 0800mm";
    }
    void shiftOverTheBottom() {
        QFETCH(QList<double>, chain);
        QFETCH(QString, element);
        QFETCH(QString, shift);
        Support("SHHRESBS", 43180302);
        ConstructionRecord.K_RESTLAENGE_5 = 800;
        std::vector<ChainPartSpec> parts;
        for (double n : chain) parts.push_back({n});
        SetChain(parts);
        const QStringList lines = Lines();
        const int at = lines.indexOf(Spre + element);
        QVERIFY(at > 0);
        QCOMPARE(lines.filter("    BY u "), QStringList{shift});
        QCOMPARE(lines.indexOf(shift) > at && lines.indexOf(shift) <= at + 5, true);
    }

    // A dynamic support clears the three lengths of the static load once
    // a strut 34 or 39 of the part list is found, walking up from entry 1
    // to the first empty entry; a static support keeps them.
    void type39Or34Dims_data() {
        QTest::addColumn<bool>("staticSupport");
        QTest::addColumn<QList<double>>("chain");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("34") << false << QList<double>{61018000, 34018000} << true;
        QTest::newRow("39") << false << QList<double>{61018000, 39018000} << true;
        QTest::newRow("35") << false << QList<double>{61018000, 35018000} << false;
        QTest::newRow("after an empty entry") << false << QList<double>{61018000, 0, 34018000} << false;
        QTest::newRow("empty entry 1") << false << QList<double>{0, 34018000} << false;
        QTest::newRow("static") << true << QList<double>{61018000, 34018000} << false;
    }
    void type39Or34Dims() {
        QFETCH(bool, staticSupport);
        QFETCH(QList<double>, chain);
        QFETCH(bool, cleared);
        Support("SHHAXSBS", 0);
        auto& r = ConstructionRecord;
        r.K_S_Y_KZ = staticSupport;
        std::vector<ChainPartSpec> parts;
        for (double n : chain) parts.push_back({n});
        SetChain(parts);
        r.K_STAT_LAST_LG_H = 5;
        r.K_STAT_LAST_LG_HZ = 6;
        r.K_STAT_LAST_LG_HS = 7;
        QVERIFY(!Lines().first().startsWith(QLatin1String("failed")));
        QCOMPARE(r.K_STAT_LAST_LG_H, cleared ? 0 : 5);
        QCOMPARE(r.K_STAT_LAST_LG_HZ, cleared ? 0 : 6);
        QCOMPARE(r.K_STAT_LAST_LG_HS, cleared ? 0 : 7);
    }

    // The D walk with rods on both sides, rod lengths 50 and 100 at
    // positions 1 and 2. First pass: after a rod the part below is read
    // and the walk goes on from the next part that is no rod or coupling
    // below it, or from that part itself when letter 7 is "C" while more
    // than two rod lengths are left. Second pass: with letter 7 "C" the
    // position counts down to 4 first; otherwise, at position 2, the part
    // below the rod is stepped over and the one under it written.
    void dWalkRods_data() {
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<int>("restLength3");
        QTest::addColumn<QList<double>>("chain");   // entry 1 first
        QTest::addColumn<QStringList>("expected");  // after the clamp's statements
        const QList<double> chain{75018000, 61018000, 66018500, 21018218, 66018500, 60018000, 79518000, 43180302};
        const QStringList beam = Element("795180", "M42") + "    DESP  48 42 900 33" + "    CONN AND p5 is $!or" +
                                 "    VAR !HH NAME";
        auto withOri = [](const char* number, const char* rod, const char* desp) {
            return Element(number, rod) + desp + "    CONN" + "    ORI AND Y IS $!OR";
        };
        const QStringList eyeNut = withOri("600180", "661805", "    DESP  42");
        const QStringList spring = withOri("210182", "661805", "    DESP  42 0 33");
        const QStringList clevis = withOri("610180", "M42", "    DESP  42");
        const QStringList lug = Element("750180", "M42", true) + "    DESP  42" + "    CONN";
        const QStringList rodElement = Element("661805", "M42") + "    DESP  42" + "    CONN";
        const QStringList side{" ", "    OWN", "    CONN PT TO LAST MEM", " ", "NEW HANG /RULE7/H2",
                               "    HSPE SPEC /ZORBEL3.0", "    HSRO SPCO /ZORBEL3.0/M42",
                               "    CONN HH TO P3 of $!HH"};
        const QStringList end{" ", "    OWN", "    CONN PT TO LAST MEM", " ", " ", "/RULE7"};
        QTest::newRow("letter 7 C")
            << "THHADLCS" << 0 << chain
            << beam + eyeNut + Bolts(2) + spring + "    BY u 0100mm" + Bolts(2) + lug + "    BY u 0050mm" + side +
                   eyeNut + Bolts(2) + spring + "    BY u 0100mm" + Bolts(2) + lug + end;
        QTest::newRow("letter 7 B")
            << "THHADLBS" << 0 << chain
            << beam + eyeNut + Bolts(2) + clevis + "    BY u 0100mm" + lug + side + eyeNut + Bolts(2) + rodElement +
                   "    BY u 0050mm" + clevis + lug + end;
        // A third rod length: the spring's shift stops at position 3, so
        // at the lower rod "more than two are left" and the clevis under it
        // is written (a bound of 3 would step over it to the lug).
        QTest::newRow("letter 7 C, position 3")
            << "THHADLCS" << 30 << chain
            << beam + eyeNut + Bolts(2) + spring + "    BY u 0030mm" + Bolts(2) + clevis + "    BY u 0100mm" + lug +
                   side + eyeNut + Bolts(2) + spring + "    BY u 0030mm" + Bolts(2) + lug + "    BY u 0050mm" + end;
        // Below the rod's clevis only a rod is left (entry 1): it is passed
        // over down to entry 0, so the first pass ends there and the second
        // side follows; stopping at entry 1 would write that rod's bolts and
        // end the walk in the step. Compared up to the second side's rod.
        QTest::newRow("rods down to entry 1")
            << "THHADLBS" << 0 << QList<double>{66018500, 61018000, 66018500, 60018000, 79518000, 43180302}
            << beam + eyeNut + Bolts(2) + side + eyeNut + Bolts(2);
    }
    void dWalkRods() {
        QFETCH(QString, arrangement);
        QFETCH(int, restLength3);
        QFETCH(QList<double>, chain);
        QFETCH(QStringList, expected);
        Support(arrangement.toLatin1().constData(), 43180302);
        ConstructionRecord.K_RESTLAENGE_1 = 50;
        ConstructionRecord.K_RESTLAENGE_2 = 100;
        ConstructionRecord.K_RESTLAENGE_3 = restLength3;
        std::vector<ChainPartSpec> parts;
        for (const double number : chain) parts.push_back({number});
        SetChain(parts);
        const QStringList lines = Lines();
        const int clamp = lines.indexOf("  NEW PCLA");
        QVERIFY(clamp > 0);
        QCOMPARE(lines.mid(clamp + 6, expected.size()), expected);
    }

    // The Y walk exchanges the first type 300 part with digit 8 above "1"
    // with the part below it; a 300 with digit 8 "1" stays.
    void yWalkExchange() {
        Support("SHHYESBS", 36181302);
        ConstructionRecord.K_RESTLAENGE_1 = 400;
        SetChain({{35018000}, {30018002}, {30018001}, {36181302}});
        const QStringList unit = Element("300181", "M00") + "    DESP  00 00 400 0 1" + "    CONN";
        const QStringList block = Element("350180", "M00") + "    DESP  00" + "    CONN";
        const QStringList extension = Element("300182", "M00", true) + "    ARRIVE 2" + "    LEAVE 1" +
                                      "    DESP  00 00 0 0 0" + "    CONN";
        const QStringList expected = unit + block + extension + QStringList{" ", "    OWN"};
        const QStringList lines = Lines();
        const int clamp = lines.indexOf("  NEW PCLA");
        QVERIFY(clamp > 0);
        QCOMPARE(lines.mid(clamp + 6, expected.size()), expected);
    }

    // The plate 77 appends to the clamp's kept DESP text the character(s)
    // of the catalogue number of the part at rod-length position minus 1:
    // characters 3 and 4 above size 19, character 3 alone up to it. An
    // element after the plate writes no size DESP. A clamp whose code does
    // not begin with 4 keeps no text: the line still starts as a DESP statement (the bare "0 0 0 X4" is no line the
    // host reads).
    void plate77_data() {
        QTest::addColumn<double>("bottom");
        QTest::addColumn<double>("clamp");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("size 20") << 62020000.0 << 43180302.0
                                 << QStringList{Spre + "770180", Lsro + "M42", "    DESP  42 42 0 0 0 X4", "    CONN",
                                                "    VAR !NA2 NAME", " ", "  NEW SCLA", Spre + "62X4Y0", Lsro + "M56",
                                                "    CONN", " "};
        QTest::newRow("size 19") << 62019000.0 << 43180302.0
                                 << QStringList{Spre + "770180", Lsro + "M42", "    DESP  42 42 0 0 0 Z", "    CONN",
                                                "    VAR !NA2 NAME", " ", "  NEW SCLA", Spre + "62Z5W0", Lsro + "M48",
                                                "    CONN", " "};
        QTest::newRow("clamp 87, no text kept") << 62020000.0 << 87180302.0
                                                << QStringList{Spre + "770180", Lsro + "M42", "    DESP  0 0 0 X4",
                                                               "    CONN", "    VAR !NA2 NAME", " ", "  NEW SCLA",
                                                               Spre + "62X4Y0", Lsro + "M56", "    CONN", " "};
    }
    void plate77() {
        QFETCH(double, bottom);
        QFETCH(double, clamp);
        QFETCH(QStringList, expected);
        Support("SHHRESBS", clamp);
        // One shift at position 2 leaves the position at 2: entry 1.
        ConstructionRecord.K_RESTLAENGE_2 = 100;
        SetChain({{bottom}, {77018000}, {60018000}, {66018500}, {61018000}, {clamp}});
        QCOMPARE(From(Lines(), expected[0], int(expected.size())), expected);
    }

    // Beam clamp 78 and yoke 76 with and without their profile row (the
    // key of the support's beam clamp): text, width and thickness from the
    // row, empty and zero without it. A yoke 76 with digits 3-4 "91" spans
    // the profile and twice its own width, with the clamp's length.
    void profiles_data() {
        QTest::addColumn<int>("clampNumber");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("with the row")
            << 31
            << QStringList{Spre + "780180-HEB300", Lsro + "M42", "    DESP  42 0 300 0045  300", "    CONN", " ",
                           "  NEW HELE", Spre + "769180", Lsro + "M42", "    DESP  0 0 480 11", "    CONN", " ",
                           "  NEW HELE", Spre + "760180", Lsro + "M42", "    DESP  42 0 300 700 19", "    CONN"};
        QTest::newRow("without") << 99
                                 << QStringList{Spre + "780180-", Lsro + "M42", "    DESP  42 0 0 0045  300", "    CONN",
                                                " ", "  NEW HELE", Spre + "769180", Lsro + "M42", "    DESP  0 0 180 11",
                                                "    CONN", " ", "  NEW HELE", Spre + "760180", Lsro + "M42",
                                                "    DESP  42 0 0 700 0", "    CONN"};
    }
    void profiles() {
        QFETCH(int, clampNumber);
        QFETCH(QStringList, expected);
        Support("SHHRESBS", 43180402);
        auto& r = ConstructionRecord;
        r.K_KLM_NR = int16_t(clampNumber);
        r.K_KLM_HH = 300;
        r.K_TRAGARM_L = 700;
        SetChain({{61018000}, {76018000}, {76918000}, {78018000}, {43180402}});
        QCOMPARE(From(Lines(), expected[0], int(expected.size())), expected);
    }

    // A coupling 64 with no rod below: no group to repeat, and the shift
    // after the next element is the coupling's own height.
    void couplingWithoutRod() {
        Support("SHHRESBS", 43180302);
        ConstructionRecord.K_RESTLAENGE_5 = 800;
        ConstructionRecord.K_TAB_SAZ_5 = 2;
        SetChain({{74018000}, {61018000}, {64018000}, {60018000}, {43180302}});
        const QStringList expected = QStringList{Spre + "640180", Lsro + "M42", "    DESP  42", "    CONN",
                                                 "    BY u 0800mm"} +
                                     Bolts(2) + Element("610180", "M42") + "    DESP  42" + "    CONN" +
                                     "    ORI AND Y IS $!OR" + "    BY u 55mm" + Element("740180", "M42", true) +
                                     "    DESP  42" + "    CONN" + " " + "    OWN";
        QCOMPARE(From(Lines(), expected[0], int(expected.size())), expected);
    }

    // The Y walk's exchange needs a part below: a 209 at entry 1 stays,
    // and the 202 is written with its own height and the second rod
    // length on both sides.
    void yWalkBottom209() {
        Support("SHHYDSBS", 37180302);
        ConstructionRecord.K_RESTLAENGE_1 = 380;
        ConstructionRecord.K_RESTLAENGE_2 = 90;
        SetChain({{20918000}, {20218000}, {35018000}, {34018000}, {37180302}});
        const QStringList block = Element("350180", "M00") + "    DESP  00" + "    CONN";
        const QStringList bracket = Element("202180", "M00") + "    DESP  00 00 230 0 1" + "    CONN";
        const QStringList bottom = Element("209180", "M00", true) + "    ARRIVE 2" + "    LEAVE 1" +
                                   "    DESP  00 00 380" + "    CONN";
        const QStringList expected =
            Element("340188", "M00") + "    DESP  00 00 900" + "    ARRIVE 4" + "    CONN" + "    VAR !HH NAME" +
            block + bracket + bottom +
            QStringList{" ", "    OWN", "    CONN PT TO LAST MEM", " ", "NEW HANG /RULE7/H2",
                        "    HSPE SPEC /ZORBEL3.0", "    HSRO SPCO /ZORBEL3.0/M00", "    CONN HH TO P3 of $!HH"} +
            block + bracket + bottom + " " + "    OWN";
        const QStringList lines = Lines();
        const int clamp = lines.indexOf("  NEW PCLA");
        QVERIFY(clamp > 0);
        QCOMPARE(lines.mid(clamp + 5, expected.size()), expected);
    }

    // The T walk's second side counts its rod lengths from position 4 when
    // letter 7 is "C" or "E", else from 3: the same rod gets the length at
    // position 3 (300) or 2 (100).
    void tWalkSecondSideLengths_data() {
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<QString>("shift");
        QTest::newRow("C") << "THHATSCS" << "    BY u 0300mm";
        QTest::newRow("E") << "THHATSES" << "    BY u 0300mm";
        QTest::newRow("B") << "THHATSBS" << "    BY u 0100mm";
    }
    void tWalkSecondSideLengths() {
        QFETCH(QString, arrangement);
        QFETCH(QString, shift);
        Support(arrangement.toLatin1().constData(), 43180302);
        auto& r = ConstructionRecord;
        r.K_RESTLAENGE_1 = 50;
        r.K_RESTLAENGE_2 = 100;
        r.K_RESTLAENGE_3 = 300;
        SetChain({{75018000}, {60018000}, {66018500}, {61018000}, {79518000}, {60018000}, {43180302}});
        const QStringList lines = Lines();
        const int side = lines.indexOf("    CONN HH TO P3 of $!HH");
        QVERIFY(side > 0);
        QCOMPARE(lines.mid(0, side).filter("    BY u "), QStringList{"    BY u 0300mm"});
        QCOMPARE(lines.mid(side).filter("    BY u "), QStringList{shift});
    }

    // Between the passes the walk steps over empty entries to the first
    // part of the second side: an eye nut of size 18 under a gap gives the
    // second hanger its thread (an empty entry taken for a part would give
    // "M00"), and the gap writes nothing.
    void secondSideOverAGap() {
        Support("THHADLBS", 43180302);
        SetChain({{75018000}, {60018000}, {0}, {79518000}, {43180302}});
        const QStringList lines = Lines();
        QCOMPARE(From(lines, "NEW HANG /RULE7/H2", 4),
                 (QStringList{"NEW HANG /RULE7/H2", "    HSPE SPEC /ZORBEL3.0", "    HSRO SPCO /ZORBEL3.0/M42",
                              "    CONN HH TO P3 of $!HH"}));
        QCOMPARE(lines.filter("  NEW SCLA").size(), 2);
        QCOMPARE(lines.filter(Spre + "600180").size(), 2);
    }

    // The D walk: a rod over a coupling 64 in the first pass writes the
    // coupling's group; the second pass steps over the coupling and ends.
    void dWalkRodOverCoupling() {
        Support("THHADLBS", 43180302);
        ConstructionRecord.K_RESTLAENGE_5 = 800;
        SetChain({{75018000}, {61018000}, {64018000}, {66018500}, {60018000}, {79518000}, {43180302}});
        const QStringList eyeNut = Element("600180", "661805") + "    DESP  42" + "    CONN" + "    ORI AND Y IS $!OR";
        const QStringList expected =
            Element("795180", "M42") + "    DESP  48 42 900 33" + "    CONN AND p5 is $!or" + "    VAR !HH NAME" +
            eyeNut + Bolts(2) + Element("640180", "M42") + "    DESP  42" + "    CONN" + "    BY u 0800mm" + Bolts(2) +
            Element("610180", "M42") + "    DESP  42" + "    CONN" + "    ORI AND Y IS $!OR" + "    BY u 55mm" +
            Element("750180", "M42", true) + "    DESP  42" + "    CONN" +
            QStringList{" ", "    OWN", "    CONN PT TO LAST MEM", " ", "NEW HANG /RULE7/H2",
                        "    HSPE SPEC /ZORBEL3.0", "    HSRO SPCO /ZORBEL3.0/M42", "    CONN HH TO P3 of $!HH"} +
            eyeNut + Bolts(2) + QStringList{" ", "    OWN", "    CONN PT TO LAST MEM", " ", " ", "/RULE7"};
        const QStringList lines = Lines();
        const int clamp = lines.indexOf("  NEW PCLA");
        QVERIFY(clamp > 0);
        QCOMPARE(lines.mid(clamp + 6, expected.size()), expected);
    }

    // Each fixed(p, d) field switches to scientific notation when its
    // integer part needs more than p digits: every field here gets a value
    // of p + 1 digits (12500000 for p = 7, 1250000 for 6, 125000 for 5,
    // 12500 for 4, 1250 for 3).
    void tooWideForTheField_data() {
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<bool>("staticSupport");
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("value");
        QTest::addColumn<QStringList>("expected");
        auto row = [](const char* name, const char* arrangement, bool stat, const char* field, double value,
                      QStringList expected) {
            QTest::newRow(name) << arrangement << stat << field << value << expected;
        };
        const char* s = "SHHAXSBS";
        row("105", s, true, "LAST_BLOK", 12500000, {"--     105 Cold load [kN]= 1.25E+07"});
        row("106 and forces", s, true, "LAST", 12500000,
            {"--     106 Hot load [kN]= 1.25E+07", "  :USTFORCES 1.25E+07 0.00 0.00"});
        row("106 hot", s, true, "LAST_AUSG", 12500000, {"--     106 Hot load [kN]= 1.25E+07"});
        row("107", s, true, "FDR_RATE", 12500000, {"--     107 Spring rate [N/mm]= 1.25E+07"});
        row("spring rate", s, true, "FDR_RATE", 125000,
            {"--     107 Spring rate [N/mm]= 125000.0", "  :USTSPRRATE 1.25E+05"});
        row("110 and 113", s, true, "WEG_X", 12500000,
            {"--     110 Travel - X - Direction [mm]= 1.25E+07", "--     113 Offset - X - Direction [mm]= -1.25E+07"});
        row("111 and 114", s, true, "WEG_Y", 12500000,
            {"--     111 Travel - Y - Direction [mm]= 1.25E+07", "--     114 Offset - Y - Direction [mm]= -1.25E+07"});
        row("112", s, true, "WEG_Z", 12500000, {"--     112 Travel - Z - Direction [mm]= 1.25E+07"});
        row("120", s, true, "RDM", 1250000, {"--     120 Pipe diameter [mm]= 1.25E+06"});
        row("121", s, true, "DAEMMST", 1250000, {"--     121 Insulation [mm]= 1.25E+06"});
        row("122", s, true, "TEM", 12500, {"--     122 Temperature [°C]= 1.25E+04", ":MdsDesiTemp  1.25E+04"});
        row("alpha", s, true, "ALPHA", 12500000,
            {"--     301 Alpha = 1.25E+07 Delta l SLCA = 0.00 Delta l SCLP = 0.00"});
        row("delta", s, true, "DELTA", 12500000,
            {"--     301 Alpha = 0.00 Delta l SLCA = 1.25E+07 Delta l SCLP = 0.00"});
        row("forces HZ", s, true, "STAT_LAST_HZ", 12500000, {"  :USTFORCES 0.00 1.25E+07 0.00"});
        row("forces HS", s, true, "STAT_LAST_HS", 12500000, {"  :USTFORCES 0.00 0.00 1.25E+07"});
        row("weld value", s, true, "WELD", 1250, {"  :USTWELDVALUE 0 0 0 1.25E+03"});
        row("steel elevation", s, true, "HM_Q_1", 12500000, {"  :USTSTEELELEV 1.25E+07"});
        row("second steel elevation", "THHADLBS", true, "HM_Q_2", 12500000, {"  :USTSTEELELEV 0 1.25E+07"});
        row("205", s, false, "LAST", 12500000,
            {"--     205 Load (H/Normal) [kN]= 1.25E+07", "  :USTFORCES 1.25E+07 0.00 0.00"});
        row("206", s, false, "LAST_DYN_2", 12500000,
            {"--     206 Load (H/Emergency) [kN]= 1.25E+07", "  :USTFORCES 0.00 1.25E+07 0.00"});
        row("207", s, false, "LAST_DYN_3", 12500000,
            {"--     207 Load (H/Faulted) [kN]= 1.25E+07", "  :USTFORCES 0.00 0.00 1.25E+07"});
        row("208", s, false, "WEG_X", 1250000,
            {"--     208 Positive movement [mm]= 1.25E+06", "  :USTMOVEMENT  0 0 0 1250000 0"});
        row("209", s, false, "WEG_Y", 1250000,
            {"--     209 Negative movement [mm]= 1.25E+06", "  :USTMOVEMENT  0 0 0 0 1250000"});
        row("movement X", s, false, "WEG_X", 12500000, {"  :USTMOVEMENT  0 0 0 1.25E+07 0"});
        row("movement Y", s, false, "WEG_Y", 12500000, {"  :USTMOVEMENT  0 0 0 0 1.25E+07"});
        row("220", s, false, "RDM", 1250000, {"--     220 Pipe diameter [mm]= 1.25E+06"});
        row("221", s, false, "DAEMMST", 1250000, {"--     221 Insulation [mm]= 1.25E+06"});
        row("222", s, false, "TEM", 12500, {"--     222 Temperature [°C]= 1.25E+04"});
    }
    void tooWideForTheField() {
        QFETCH(QString, arrangement);
        QFETCH(bool, staticSupport);
        QFETCH(QString, field);
        QFETCH(double, value);
        QFETCH(QStringList, expected);
        Support(arrangement.toLatin1().constData(), 0);
        SetChain({});
        auto& r = ConstructionRecord;
        r.K_S_Y_KZ = staticSupport;
        r.K_TEM = 0;
        r.K_RDM = 0;
        r.K_HM_Q_1 = 0;
        const QHash<QString, double*> fields{
            {"LAST_BLOK", &r.K_LAST_BLOK},       {"LAST", &r.K_LAST},
            {"LAST_AUSG", &r.K_LAST_AUSG},       {"FDR_RATE", &r.K_FDR_RATE},
            {"WEG_X", &r.K_WEG_X},               {"WEG_Y", &r.K_WEG_Y},
            {"WEG_Z", &r.K_WEG_Z},               {"RDM", &r.K_RDM},
            {"DAEMMST", &r.K_DAEMMST},           {"TEM", &r.K_TEM},
            {"STAT_LAST_HZ", &r.K_STAT_LAST_HZ},
            {"STAT_LAST_HS", &r.K_STAT_LAST_HS}, {"HM_Q_1", &r.K_HM_Q_1},
            {"HM_Q_2", &r.K_HM_Q_2},             {"LAST_DYN_2", &r.K_LAST_DYN_2},
            {"LAST_DYN_3", &r.K_LAST_DYN_3},     {"ALPHA", &CalcGlobals.OutputAlpha},
            {"DELTA", &CalcGlobals.OutputDeltaLSlca}, {"WELD", &CalcGlobals.WeldValue}};
        QVERIFY2(fields.contains(field), qPrintable(field));
        *fields[field] = value;
        if (field == "LAST_AUSG") r.K_KALWAR_KZ = true;
        const QStringList lines = Lines();
        for (const QString& line : expected) QVERIFY2(lines.contains(line), qPrintable(line));
    }

    // The elevation of the part at entry 1 of type 74 (first leg) and of
    // the second leg after a weld plate 740, each too wide for fixed(7, 0).
    void tooWideElevations() {
        Support("THHADLBS", 43180302);
        auto& r = ConstructionRecord;
        r.K_HM_Q_1 = 12500000;
        r.K_HM_Q_2 = 12600000;
        SetChain({{74018000}, {60018000}, {79518000}, {43180302}});
        const QStringList lines = Lines();
        QCOMPARE(lines.filter("POS PA THROUGH UP"),
                 (QStringList{"    POS PA THROUGH UP 1.26E+07 WRT /*", "    POS PA THROUGH UP 1.25E+07 WRT /*"}));
    }

    // Line 003 takes the 32 characters of the hanger mark and nothing of
    // the field after it (the connection number 74, a "J").
    void fullWidthTexts() {
        Support("SHHAXSBS", 0);
        SetChain({});
        auto& r = ConstructionRecord;
        PutTextField(r.K_POS_NR, 31, QStringLiteral("MARK-0123456789-0123456789-ABCDE"));
        PutTextField(r.K_CALC_NR, 31, QStringLiteral("CALC-0123456789-0123456789-VWXYZ"));
        PutTextField(r.K_KDN_ZNR, 24, QStringLiteral("CUST-0123456789-012345678"));
        PutTextField(r.K_NR_ANL, 4, QStringLiteral("PLANT"));
        r.K_AN_GEB = 74;
        // The plant number's 5 characters are followed by padding bytes;
        // under AddressSanitizer they are poisoned while the writer runs,
        // so a read of the byte behind the field is reported as it would be
        // if the field stood alone (the padding is zero, which hid it).
        const auto behind = reinterpret_cast<char*>(&r.K_NR_ANL) + sizeof r.K_NR_ANL;
        const auto next = reinterpret_cast<char*>(&r.K_NAME);
        QVERIFY(next > behind);
        PoisonBytes(behind, size_t(next - behind));
        const QStringList lines = Lines();
        UnpoisonBytes(behind, size_t(next - behind));
        QVERIFY(lines.contains("--     003 Hanger mark N° : /MARK-0123456789-0123456789-ABCDE"));
        QVERIFY(lines.contains("--     005 Calculation point : /CALC-0123456789-0123456789-VWXYZ"));
        QVERIFY(lines.contains("--     004 Customer dwg No. : /CUST-0123456789-012345678"));
        QVERIFY(lines.contains("--     002 KORVA-KORVA Dwg No. : /3-3-500 PLANT"));
        QVERIFY(lines.contains("RESTR /MARK-0123456789-0123456789-ABCDE/REST"));
    }

    // A shift still pending when the D walk's first pass ends (its last
    // rod had no element after it) is not carried to the second side.
    void dWalkPendingShiftDropped() {
        Support("THHADLBS", 43180302);
        ConstructionRecord.K_RESTLAENGE_1 = 50;
        SetChain({{61018000}, {66018500}, {60018000}, {79518000}, {43180302}});
        const QStringList eyeNut = Element("600180", "661805") + "    DESP  42" + "    CONN" + "    ORI AND Y IS $!OR";
        const QStringList expected =
            Element("795180", "M42") + "    DESP  48 42 900 33" + "    CONN AND p5 is $!or" + "    VAR !HH NAME" +
            eyeNut + Bolts(2) +
            QStringList{" ", "    OWN", "    CONN PT TO LAST MEM", " ", "NEW HANG /RULE7/H2",
                        "    HSPE SPEC /ZORBEL3.0", "    HSRO SPCO /ZORBEL3.0/M42", "    CONN HH TO P3 of $!HH"} +
            eyeNut + Bolts(2) + QStringList{" ", "    OWN", "    CONN PT TO LAST MEM", " ", " ", "/RULE7"};
        const QStringList lines = Lines();
        const int clamp = lines.indexOf("  NEW PCLA");
        QVERIFY(clamp > 0);
        QCOMPARE(lines.mid(clamp + 6, expected.size()), expected);
    }

    // A coupling 64 under a rod on both sides of the D walk (letter 7 "C"
    // keeps the second side's rod from stepping over it): the 72 after
    // the coupling takes the coupling's height, its own and entry 1's with
    // the preset position (55 + 30 + 40 + 33); the weld plate 740 at entry
    // 1 turns both legs.
    void dWalkCouplingOnBothSides() {
        Support("THHADLCS", 43180302);
        ConstructionRecord.K_RESTLAENGE_1 = 50;
        ConstructionRecord.K_TAB_SAZ_1 = 1;
        SetChain({{74018000}, {72018000}, {64018000}, {66018500}, {60018000}, {79518000}, {43180302}});
        const QStringList eyeNut = Element("600180", "661805") + "    DESP  42" + "    CONN" + "    ORI AND Y IS $!OR";
        const QStringList lower = eyeNut + Bolts(2) + Element("640180", "M42") + "    DESP  42" + "    CONN" +
                                  "    BY u 0050mm" + Bolts(2) + Element("720180", "M42") + "    DESP  42" +
                                  "    CONN" + "    BY u 158mm" + Element("740180", "M42", true) + "    DESP  42" +
                                  "    CONN";
        const QStringList expected =
            Element("795180", "M42") + "    DESP  48 42 900 33" + "    CONN AND p5 is $!or" + "    VAR !HH NAME" +
            lower +
            QStringList{" ", "    OWN", "    CONN PT TO LAST MEM", " ", "    SAME", "    FLIP", "    ORI",
                        "    POS PA THROUGH UP 0 WRT /*", " ", "NEW HANG /RULE7/H2", "    HSPE SPEC /ZORBEL3.0",
                        "    HSRO SPCO /ZORBEL3.0/M42", "    CONN HH TO P3 of $!HH"} +
            lower +
            QStringList{" ", "    OWN", "    CONN PT TO LAST MEM", " ", "    SAME", "    FLIP", "    ORI",
                        "    POS PA THROUGH UP 4200 WRT /*", " ", "/RULE7"};
        const QStringList lines = Lines();
        const int clamp = lines.indexOf("  NEW PCLA");
        QVERIFY(clamp > 0);
        QCOMPARE(lines.mid(clamp + 6, expected.size()), expected);
    }

    // A strut 34 at entry 1 has no part below: its catalogue number stays
    // as it is (the 6th character is not replaced).
    void strutAtTheBottom() {
        Support("SHHYESBS", 36181302);
        SetChain({{34218000}, {36181302}});
        const QStringList expected = Element("34218Z", "M00", true) + "    DESP  00 00 900" + "    ARRIVE 4" +
                                     "    CONN" + "    VAR !HH NAME" + " " + "    OWN";
        QCOMPARE(From(Lines(), "  NEW SCLA", int(expected.size()) - 1), expected.mid(1));
    }

    // The Y walk's second side reads its first part from the dynamic table:
    // a static part there has no row and is passed over; the later parts
    // are read by their first digit.
    void yWalkSecondSideStartsDynamic() {
        Support("SHHYDSBS", 37180302);
        ConstructionRecord.K_RESTLAENGE_1 = 380;
        ConstructionRecord.K_RESTLAENGE_2 = 90;
        SetChain({{20918000}, {20218000}, {34018000}, {37180302}});
        const QStringList bottom = Element("209180", "M00", true) + "    ARRIVE 2" + "    LEAVE 1" +
                                   "    DESP  00 00 380" + "    CONN";
        const QStringList expected =
            Element("340188", "M00") + "    DESP  00 00 900" + "    ARRIVE 4" + "    CONN" + "    VAR !HH NAME" +
            Element("202180", "M00") + "    DESP  00 00 230 0 1" + "    CONN" + bottom +
            QStringList{" ", "    OWN", "    CONN PT TO LAST MEM", " ", "NEW HANG /RULE7/H2",
                        "    HSPE SPEC /ZORBEL3.0", "    HSRO SPCO /ZORBEL3.0/M00", "    CONN HH TO P3 of $!HH"} +
            bottom + " " + "    OWN";
        const QStringList lines = Lines();
        const int clamp = lines.indexOf("  NEW PCLA");
        QVERIFY(clamp > 0);
        QCOMPARE(lines.mid(clamp + 5, expected.size()), expected);
    }

    // A 209 above a 202 is exchanged with it (keeping its own height, 135):
    // the 202 then leaves at 4 with that height; the 209 follows below it.
    // The 209's row is the last static one the fixture reads, so it is at
    // hand already; yWalkBracketHeight has a row where it is not.
    void yWalkBracketAfterExchange() {
        Support("SHHYESBS", 37180302);
        ConstructionRecord.K_RESTLAENGE_1 = 380;
        ConstructionRecord.K_RESTLAENGE_2 = 90;
        SetChain({{35018000}, {20218000}, {20918000}, {37180302}});
        const QStringList expected = Element("202180", "M00") + "    LEAVE 4" + "    DESP  00 00 135 0 0" + "    CONN" +
                                     Element("209180", "M00") + "    ARRIVE 2" + "    LEAVE 1" +
                                     "    DESP  00 00 380" + "    CONN" + Element("350180", "M00", true) +
                                     "    DESP  00" + "    CONN" + " " + "    OWN";
        const QStringList lines = Lines();
        const int clamp = lines.indexOf("  NEW PCLA");
        QVERIFY(clamp > 0);
        QCOMPARE(lines.mid(clamp + 5, expected.size()), expected);
    }

    // The height a 202 leaves with after an exchange. Reached after a 300
    // above it was exchanged, it takes the height of the part below it (the
    // lug, 80), not its own (140) nor that of a row read before. A 209
    // exchanged with it keeps the 209's own height (135), read for the
    // exchange: the lug written just before holds 80 in the row at hand.
    void yWalkBracketHeight_data() {
        QTest::addColumn<QList<double>>("chain");
        QTest::addColumn<int>("height");
        QTest::newRow("after a 300, the part below") << QList<double>{75018000, 20218000, 35018000, 30018002, 37180302}
                                                     << 80;
        QTest::newRow("209 exchanged under a lug, its own")
            << QList<double>{35018000, 20218000, 20918000, 75018000, 37180302} << 135;
    }
    void yWalkBracketHeight() {
        QFETCH(QList<double>, chain);
        QFETCH(int, height);
        Support("SHHYESBS", 37180302);
        ConstructionRecord.K_RESTLAENGE_2 = 90;
        std::vector<ChainPartSpec> entries;
        for (const double number : chain) entries.push_back({number});
        SetChain(entries);
        const QStringList expected{Spre + "202180", Lsro + "M00", "    LEAVE 4",
                                   QString("    DESP  00 00 %1 0 0").arg(height), "    CONN"};
        QCOMPARE(From(Lines(), expected[0], int(expected.size())), expected);
    }

    // After a 798 the next bolt list doubles its nuts (two more); a rod of
    // the D walk's second side met after that writes no bolt list of its
    // own.
    void dWalkPairDoublesNuts() {
        Support("THHADLBS", 43180302);
        SetChain({{75018000}, {61018000}, {66018500}, {60018000}, {79818000}, {43180302}});
        const QStringList eyeNut = Element("600180", "661805") + "    DESP  42" + "    CONN" + "    ORI AND Y IS $!OR";
        const QStringList lug = Element("750180", "M42", true) + "    DESP  42" + "    CONN";
        const QStringList expected =
            Element("796180-180", "M42") + "    DESP  42 42 900" + "    CONN AND p5 is $!or" + "    LEAVE 4" +
            "   :MDSVPRMMTO FALSE" + Element("798180-260", "M42") + "    DESP  48 42 900 33" +
            "    CONN AND p5 is $!or" + "    VAR !HH NAME" + eyeNut + Bolts(4) + lug +
            QStringList{" ", "    OWN", "    CONN PT TO LAST MEM", " ", "NEW HANG /RULE7/H2",
                        "    HSPE SPEC /ZORBEL3.0", "    HSRO SPCO /ZORBEL3.0/M42", "    CONN HH TO P3 of $!HH"} +
            eyeNut + lug + QStringList{" ", "    OWN", "    CONN PT TO LAST MEM", " ", " ", "/RULE7"};
        const QStringList lines = Lines();
        const int clamp = lines.indexOf("  NEW PCLA");
        QVERIFY(clamp > 0);
        QCOMPARE(lines.mid(clamp + 6, expected.size()), expected);
    }

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

    // The dimension lines of each element kind, from its rod line to its
    // connection (the element stands at entry 2 over an eye nut of size 18;
    // first rod length 150, preset position 33, width 900). Hangers 110,
    // 114, 161, 210, 250, 254 and 715 add the preset position to the size
    // DESP; a 291 writes its rod length up to size 19 and nothing from 20;
    // a 279 arrives and leaves with the rod length and takes no thread; 605
    // and 700 write the size twice; 601 and 614 face up, and a 601 after a
    // plate 77 writes the size twice instead of once; a 799 takes the next
    // size, the part below, the width and the preset position and connects
    // to the pin, a 797 the same size without the preset position and
    // connects plainly; a yoke 76 with digits 3-4 "92" spans twice its own
    // width and takes the clamp's length; a 320 of a Y arrangement the rod
    // length with a trailing 1.
    void dimensionRules_data() {
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<QList<double>>("chain");
        QTest::addColumn<QString>("element");
        QTest::addColumn<QStringList>("expected");
        const QList<double> nut{60018000};
        const QList<double> top{61018000, 43180302};
        auto row = [&](const char* name, QList<double> middle, const char* element, QStringList expected,
                       const char* arrangement = "SHHRESBS") {
            QTest::newRow(name) << arrangement << nut + middle + top << element << expected;
        };
        for (double hanger : {11418000.0, 16118000.0, 25418000.0, 71518000.0, 25018000.0})
            row(qPrintable(QString::number(qint64(hanger)).left(3)), {hanger},
                qPrintable(QString::number(qint64(hanger)).left(6)), {Lsro + "M42", "    DESP  42 0 33", "    CONN"});
        row("291 size 18", {29118000}, "291180", {Lsro + "M42", "    DESP  42 0 150", "    CONN"});
        row("291 size 19", {29119000}, "291190", {Lsro + "M48", "    DESP  48 0 150", "    CONN"});
        row("291 size 20", {29120000}, "291200", {Lsro + "M56", "    CONN"});
        row("279", {27918000}, "279180",
            {Lsro + "M00", "    ARRIVE 2", "    LEAVE 1", "    DESP  00 00 150", "    CONN"});
        row("605", {60518000}, "605180", {Lsro + "M42", "    DESP  42 42", "    CONN"});
        row("700", {70018000}, "700180", {Lsro + "M42", "    DESP  42 42", "    CONN"});
        row("601", {60118000}, "601180", {Lsro + "M42", "    DESP  42", "    CONN", "    ORI AND PL IS U"});
        row("614", {61418000}, "614180", {Lsro + "M42", "    DESP  42", "    CONN", "    ORI AND PL IS U"});
        row("601 under a plate", {60118000, 77018000}, "601180",
            {Lsro + "M42", "    DESP  42 42", "    CONN", "    ORI AND PL IS U"});
        row("799", {79918000}, "799180", {Lsro + "M42", "    DESP  48 42 900 33", "    CONN AND p5 is $!or"});
        row("797", {79718000}, "797180", {Lsro + "M42", "    DESP  42 42 900", "    CONN"});
        QTest::newRow("76 with 92") << "SHHRESBS" << QList<double>{60018000, 76920000, 61018000, 43180402} << "769200"
                                    << QStringList{Lsro + "M56", "    DESP  0 0 140 11", "    CONN"};
        QTest::newRow("320") << "SHHYESBS" << QList<double>{35018000, 32018000, 36181302} << "320180"
                             << QStringList{Lsro + "M00", "    DESP  00 00 150 0 1", "    CONN"};
        // A hanger 715 under a plate 77 ends what the plate began: its own
        // size DESP with the preset position again.
        row("715 under a plate", {71518000, 77018000}, "715180", {Lsro + "M42", "    DESP  42 0 33", "    CONN"});
        // The part at entry 2 names the rod at entry 1 in its rod line; the
        // rod then writes its bolt list.
        QTest::newRow("rod at entry 1") << "SHHRESBS" << QList<double>{66018500, 60018000, 61018000, 43180302}
                                        << "600180"
                                        << QStringList{Lsro + "661805", "    DESP  42", "    CONN",
                                                       "    ORI AND Y IS $!OR"} + Bolts(2);
    }
    void dimensionRules() {
        QFETCH(QString, arrangement);
        QFETCH(QList<double>, chain);
        QFETCH(QString, element);
        QFETCH(QStringList, expected);
        Support(arrangement.toLatin1().constData(), chain.last());
        ConstructionRecord.K_RESTLAENGE_1 = 150;
        std::vector<ChainPartSpec> parts;
        for (double n : chain) parts.push_back({n});
        SetChain(parts);
        const QStringList lines = Lines();
        QCOMPARE(lines.filter(Spre + element).size(), 1);
        // The next element's blank line follows: nothing more is written.
        QCOMPARE(From(lines, Spre + element, int(expected.size()) + 2).mid(1), expected + " ");
    }

    // No control character reaches the file, whatever text brings one: the
    // output file's own name (from the command line), texts of a support
    // stored before the host input refused them, a catalogue number. Each
    // loses its control characters and keeps the rest; the file holds no
    // byte below 32 but its CR LF, and no DEL.
    void controlCharactersNeverWritten() {
        Support("SHHRESBS", 43180302);
        auto& r = ConstructionRecord;
        PutTextField(r.K_POS_NR, 31, QStringLiteral("RULE\t7"));
        PutTextField(r.K_CALC_NR, 31, QStringLiteral("C\x1bP"));
        PutTextField(r.K_KDN_ZNR, 24, QStringLiteral("D\x7fN"));
        PutTextField(r.K_NR_ANL, 4, QStringLiteral("P\fL"));
        SetChain({{65218000}, {61018000}, {43180302}});
        TestDir out;
        const QString file = out.file(QStringLiteral("o\tu\x1bt")) + QChar(0x9b) + QStringLiteral(".zof");
        QString error;
        QVERIFY2(WritePmlFile(file, &error), qPrintable(error));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const uchar c = uchar(bytes[i]);
            const bool lineEnd = (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') || (c == '\n' && i > 0 && bytes[i - 1] == '\r');
            QVERIFY2(lineEnd || (c >= 0x20 && c != 0x7f), qPrintable(QStringLiteral("byte %1 at %2").arg(c).arg(i)));
        }
        const QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.value(1), "--     001 File : /" + out.file(QStringLiteral("out.zof")));
        for (const char* line : {"--     002 KORVA-KORVA Dwg No. : /3-3-500 PL", "--     003 Hanger mark N° : /RULE7",
                                 "--     004 Customer dwg No. : /DN", "--     005 Calculation point : /CP",
                                 "RESTR /RULE7/REST", "HANG /RULE7/H1", "    POS HH AT /RULE7", "    HREF /RULE7",
                                 "/RULE7/REST"})
            QVERIFY2(lines.contains(QString::fromUtf8(line)), line);
        QCOMPARE(From(lines, Spre + "65218", 2), (QStringList{Spre + "65218", Lsro + "M42"}));
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
        QTest::addColumn<QString>("addMat");  // empty: the chain holds no 91
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
        // Without a 91 the text is still the clamp's blank: no line.
        QTest::newRow("no added material") << false << false
                                           << QStringList{"431803", "780180-HEB300", "760180", "750180-S",
                                                          "793180-250", "600180", "610180", "750180"}
                                           << QStringList{"M42", "M42", "M42", "M42", "M42", "661805", "M42", "M42"}
                                           << "";
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
        std::vector<ChainPartSpec> chain{{75018000}, {61018000}, {66018500}, {60018000}, {79318000},
                                         {29018000}, {91018000}, {76018000}, {78018000}, {43180302}};
        if (addMat.isEmpty()) chain.erase(chain.begin() + 6);
        SetChain(chain);
        PartsList.KB_BTL_ZUS[0] = QStringLiteral("750180-S");
        const QStringList lines = Lines();
        QStringList gotSpre, gotLsro;
        for (const QString& l : lines) {
            if (l.startsWith(Spre)) gotSpre << l.mid(Spre.size());
            if (l.startsWith(Lsro)) gotLsro << l.mid(Lsro.size());
        }
        QCOMPARE(gotSpre, spre);
        QCOMPARE(gotLsro, lsro);
        const QStringList addMatLines = addMat.isEmpty() ? QStringList{} : QStringList{addMat};
        QCOMPARE(lines.filter(":USTADDMAT"), addMatLines);
        // The 290: its own size DESP (rule 12 passes type 29 by), then the
        // additional material.
        const QStringList element290 =
            QStringList{Spre + spre[3], Lsro + "M42", "    DESP  42 0 0"} + addMatLines + "    CONN";
        QCOMPARE(lines.mid(lines.indexOf(Spre + spre[3]), element290.size()), element290);
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
        // Digit 6 of the key becomes "0": 79614000, whose first row is the
        // 796 of size 14; the element keeps that key (size 14: M20, DESP
        // 20, next size 24).
        QTest::newRow("digit 6 not 0") << 79814100.0
                                       << clevis + Element("796145-140", "M20") + "    DESP  20 42 900" +
                                              "    CONN AND p5 is $!or" + "    LEAVE 4" + Element("798141-290", "M20") +
                                              "    DESP  24 42 900 33" + "    ARRIVE 4" + "    CONN AND p5 is $!or" +
                                              "    VAR !HH NAME";
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
