// The two-letter access protocol of every catalogue unit, run against real
// table files: statuses, delivered rows, end of table, unknown codes.
#include "tst_access_fixture.h"

#include "data/ABHGNR.h"
#include "data/DURDAT.h"
#include "data/PGCOOL.h"
#include "data/PGDYNA.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "data/TEMDAT.h"
#include "data/TXTTAB.h"

namespace {

// How the protocol test drives one unit: where the key goes, which code
// runs, and which number identifies the delivered row.
struct UnitProbe {
    const char* name;
    void (*setKey)(const QString& code, double key);
    int16_t (*dispatch)(const char* code);
    double (*delivered)();
};

void SetTextKind(const char* kind) { PutText(TextRecord.TXT_KZ, QString::fromLatin1(kind)); }

template <const char* Kind>
void SetTextKey(const QString& code, double key) {
    SetTextKind(Kind);
    if (code == QLatin1String("S1") || code == QLatin1String("R1"))
        TextRecord.TXT_NUM = key;
    else
        TextRecord.TXT_NR = int16_t(key);
}

constexpr char KindLGC[] = "LGC";
constexpr char KindLGD[] = "LGD";

const UnitProbe Probes[] = {
    {"pgstat", [](const QString&, double k) { PgstatRecord.STA_NRN = k; }, &PgstatDispatch,
     [] { return PgstatRecord.STA_NRN; }},
    {"pgdyna", [](const QString&, double k) { PgdynaRecord.DYN_NRN = k; }, &PgdynaDispatch,
     [] { return PgdynaRecord.DYN_NRN; }},
    {"pgrsrl", [](const QString&, double k) { PgrsrlRecord.RSL_NRN = k; }, &PgrsrlDispatch,
     [] { return PgrsrlRecord.RSL_NRN; }},
    {"pgcool", [](const QString&, double k) { PgcoolRecord.CLD_NRN = k; }, &PgcoolDispatch,
     [] { return PgcoolRecord.CLD_NRN; }},
    {"temdat",
     [](const QString& code, double k) {
         if (code == QLatin1String("S1") || code == QLatin1String("R1"))
             TemdatRecord.T_TEMP = k;
         else
             TemdatRecord.T_KLASSE = int16_t(k);
     },
     &TemdatDispatch, [] { return double(TemdatRecord.T_KLASSE); }},
    {"durdat",
     [](const QString& code, double k) {
         if (code == QLatin1String("S1") || code == QLatin1String("R1"))
             DurdatRecord.D_R_DM_KZ = int16_t(k);
         else
             DurdatRecord.D_R_DM = k;
     },
     &DurdatDispatch, [] { return double(DurdatRecord.D_R_DM_KZ); }},
    {"txt-LGC", &SetTextKey<KindLGC>, &TxttabDispatch, [] { return double(TextRecord.TXT_NR); }},
    {"txt-LGD", &SetTextKey<KindLGD>, &TxttabDispatch, [] { return double(TextRecord.TXT_NR); }},
};

const UnitProbe& Probe(const QString& name) {
    for (const UnitProbe& p : Probes)
        if (name == QLatin1String(p.name))
            return p;
    qFatal("no probe %s", qPrintable(name));
}

void FillCatalogue(CatalogueFixture& f) {
    for (int nr : {11009315, 21010218, 21010318, 60010000, 79100000})
        f.Insert("Pgstat.DB", {{"STA_NRN", nr}, {"STA_KBEZ", "1"}});
    for (int nr : {35009000, 39090001, 39100001})
        f.Insert("Pgdyna.DB", {{"DYN_NRN", nr}});
    for (int nr : {43010101, 43010201, 49100202})
        f.Insert("pgrsrsl.DB", {{"RSL_NRN", nr}, {"RSL_EXTRA", 0}});
    for (int nr : {52001001, 52002001})
        f.Insert("PGCLDSTA.DB", {{"CLD_NRN", nr}});
    // Classes in one order, temperatures in the same order.
    for (int c = 0; c < 4; ++c)
        f.Insert("Temdat.DB", {{"T_KLASSE", c}, {"T_TEMP", 20 + 100 * c}});
    // Diameter code = row number; D_MAX_ABS = diameter + 1.
    const double diameters[] = {21.3, 33.7, 60.3, 114.3};
    for (int i = 0; i < 4; ++i)
        f.Insert("Durdat.DB", {{"D_R_DM", diameters[i]}, {"D_R_DM_KZ", i + 1}, {"D_MAX_ABS", diameters[i] + 1}});
    // Two kinds whose numbers and values interleave.
    for (int i = 9; i <= 12; ++i) {
        f.Insert("Txttab.DB", {{"TXT_KZ", "LGC"}, {"TXT_NR", i}, {"TXT_NUM", 10.0 * i}});
        f.Insert("Txttab.DB", {{"TXT_KZ", "LGD"}, {"TXT_NR", i}, {"TXT_NUM", 10.0 * i + 5}});
    }
}

}  // namespace

class TestAccess : public QObject {
    Q_OBJECT

    std::unique_ptr<CatalogueFixture> f;

private slots:
    void init() {
        ResetCalcState();
        f = std::make_unique<CatalogueFixture>();
        FillCatalogue(*f);
        f->Start();
    }
    void cleanup() { f.reset(); }

    // Each step is "CODE[:key]=status[>delivered]"; a step without '>'
    // checks nothing about the row, with '>' the number of the row the
    // record holds afterwards.
    void protocol_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("steps");
        QTest::newRow("pgstat start above every key") << "pgstat" << "S :99999999=3;RN=4";
        QTest::newRow("pgstat start at key, reads on") << "pgstat" << "S :21010218=0;RN=0>21010218;RN=0>21010318";
        QTest::newRow("pgstat start between keys") << "pgstat" << "S :21010300=0;RN=0>21010318";
        QTest::newRow("pgstat past the last row") << "pgstat" << "S :79100000=0;RN=0>79100000;RN=4>79100000;RN=4";
        QTest::newRow("pgstat read missing key keeps row")
            << "pgstat" << "RD:60010000=0>60010000;RD:60010001=2";
        QTest::newRow("pgstat read prior") << "pgstat" << "RR:21010318=0>21010218";
        QTest::newRow("pgstat read prior of first row") << "pgstat" << "RD:60010000=0;RR:11009315=5>11009315";
        QTest::newRow("pgstat read prior of missing key") << "pgstat" << "RR:11009316=5";
        QTest::newRow("pgstat unserved codes") << "pgstat" << "S1=99;R1=99;RX=99;OI=99;XY=99";
        QTest::newRow("pgdyna") << "pgdyna" << "S :39000000=0;RN=0>39090001;RN=0>39100001;RN=4;RD:35009000=0>35009000";
        QTest::newRow("pgdyna unserved") << "pgdyna" << "RR:39100001=99;S1=99";
        QTest::newRow("pgrsrl") << "pgrsrl" << "RD:49100202=0>49100202;S :43010102=0;RN=0>43010201;RN=0>49100202;RN=4";
        QTest::newRow("pgrsrl above every key") << "pgrsrl" << "S :50000000=3;RN=4;RD:1=2";
        QTest::newRow("pgcool") << "pgcool" << "S :52001001=0;RN=0>52001001;RN=0>52002001;RN=4;RD:52001002=2";
        QTest::newRow("temdat class exact") << "temdat" << "RD:2=0>2;RD:9=1;RD:3=0>3";
        QTest::newRow("temdat by temperature") << "temdat" << "S1:150=0;R1=0>2;R1=0>3;R1=7>3";
        // Every temperature below the wanted one: the read stays on the
        // highest class and delivers it; only the next read is not found.
        QTest::newRow("temdat temperature above all") << "temdat" << "S1:500=2;R1=0>3;R1=7>3";
        QTest::newRow("temdat temperature just above the last") << "temdat" << "S1:321=2;R1=0>3;R1=7>3";
        QTest::newRow("temdat temperature at the last") << "temdat" << "S1:320=0;R1=0>3;R1=7>3";
        QTest::newRow("temdat by class") << "temdat" << "S :1=0;RN=0>1;RN=0>2;RN=0>3;RN=3";
        QTest::newRow("temdat close and open") << "temdat" << "C =0;OI=0;RD:1=0>1;S :4=6";
        QTest::newRow("temdat unserved") << "temdat" << "RR=99;RX=99";
        QTest::newRow("durdat by code") << "durdat" << "S1:2=0;R1=0>2;R1=0>3;R1=0>4;R1=7";
        QTest::newRow("durdat code above all") << "durdat" << "S1:9=2;R1=0>4;R1=7>4";
        QTest::newRow("durdat by diameter") << "durdat" << "S :30=0;RN=0>2;RN=0>3;RN=0>4;RN=3>4";
        QTest::newRow("durdat diameter above all") << "durdat" << "S :200=6;RN=3";
        QTest::newRow("durdat exact diameter") << "durdat" << "RD:60.3=0>3;RD:60.4=1>3";
        QTest::newRow("durdat max diameter") << "durdat" << "RX:40=0>3;RX:22=0>1;RX:22.4=0>2";
        QTest::newRow("durdat max above every row") << "durdat" << "RX:60.3=0>3;RX:500=8>3";
        QTest::newRow("text value search") << "txt-LGC" << "S1:105=0;R1=0>11;R1=0>12;R1=6";
        QTest::newRow("text value above all") << "txt-LGC" << "S1:200=5;R1=6";
        QTest::newRow("text kinds apart") << "txt-LGD" << "S1:100=0;R1=0>10;RD:12=0>12";
        QTest::newRow("text number start") << "txt-LGD" << "S :11=0;RN=0>11;RN=0>12;RN=4";
        QTest::newRow("text open is not served") << "txt-LGC" << "OI=99;C =99";
    }

    void protocol() {
        QFETCH(QString, unit);
        QFETCH(QString, steps);
        const UnitProbe& p = Probe(unit);
        for (const QString& step : steps.split(QLatin1Char(';'))) {
            const QString head = step.section(QLatin1Char('='), 0, 0);
            const QString tail = step.section(QLatin1Char('='), 1);
            const QString code = head.left(2);
            if (head.size() > 3)
                p.setKey(code, head.mid(3).toDouble());
            const int16_t status = p.dispatch(qPrintable(code));
            QCOMPARE(QString::fromLatin1(CalcGlobals.TableOpCode, 2), code);
            QVERIFY2(status == tail.section(QLatin1Char('>'), 0, 0).toInt(), qPrintable(step + " gave " + QString::number(status)));
            QCOMPARE(CalcGlobals.TableStatus, status);
            if (tail.contains(QLatin1Char('>')))
                QVERIFY2(qAbs(p.delivered() - tail.section(QLatin1Char('>'), 1).toDouble()) < 1e-9,
                         qPrintable(step + " delivered " + QString::number(p.delivered(), 'f', 1)));
        }
    }

    // A caller that reads until a read fails ends after the last row
    // instead of getting the last row again and again.
    void readLoopsEnd_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("read");
        QTest::addColumn<double>("key");
        QTest::addColumn<int>("rows");
        QTest::newRow("pgstat") << "pgstat" << "S " << "RN" << 0.0 << 5;
        QTest::newRow("pgdyna") << "pgdyna" << "S " << "RN" << 0.0 << 3;
        QTest::newRow("temdat R1") << "temdat" << "S1" << "R1" << 0.0 << 4;
        QTest::newRow("durdat R1") << "durdat" << "S1" << "R1" << 0.0 << 4;
        QTest::newRow("durdat RN") << "durdat" << "S " << "RN" << 0.0 << 4;
        QTest::newRow("text R1") << "txt-LGD" << "S1" << "R1" << 0.0 << 4;
        QTest::newRow("text RN") << "txt-LGC" << "S " << "RN" << 0.0 << 4;
    }

    void readLoopsEnd() {
        QFETCH(QString, unit);
        QFETCH(QString, start);
        QFETCH(QString, read);
        QFETCH(double, key);
        QFETCH(int, rows);
        const UnitProbe& p = Probe(unit);
        p.setKey(start, key);
        p.dispatch(qPrintable(start));
        int delivered = 0;
        while (p.dispatch(qPrintable(read)) == 0 && delivered <= rows)
            ++delivered;
        QCOMPARE(delivered, rows);
    }

    // An unserved code never touches the table: it answers 99 even with the
    // table closed.
    void unservedCodeLeavesTableAlone() {
        DBKONST->PGSTAT.Close();
        QCOMPARE(PgstatDispatch("S1"), int16_t(99));
        QVERIFY(!DBKONST->PGSTAT.Active());
        QVERIFY_THROWS_EXCEPTION(std::exception, PgstatDispatch("RD"));
    }

    void entryRoutinesWriteTheirCodes() {
        PgstatRecord.STA_NRN = 21010218;
        PgstatStart();
        QCOMPARE(QString::fromLatin1(CalcGlobals.TableOpCode, 2), QStringLiteral("S "));
        PgstatReadNext();
        QCOMPARE(QString::fromLatin1(CalcGlobals.TableOpCode, 2), QStringLiteral("RN"));
        QCOMPARE(PgstatRecord.STA_NRN, 21010218.0);
        QVERIFY(!PgstatRecord.NotFoundFlag);
        PgstatRecord.STA_NRN = 1;
        PgstatRead();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(2));
        QVERIFY(PgstatRecord.NotFoundFlag);
        PgstatRecord.STA_NRN = 60010000;
        PgstatReadPrior();
        QCOMPARE(PgstatRecord.STA_NRN, 21010318.0);
        DurdatRecord.D_R_DM = 50;
        DurdatReadAbove();
        QCOMPARE(CalcGlobals.TableStatus, int16_t(0));
        QCOMPARE(DurdatRecord.D_R_DM, 60.3);
    }
};

QTEST_GUILESS_MAIN(TestAccess)
#include "tst_access.moc"
