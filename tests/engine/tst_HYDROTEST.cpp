// The hydrotest check of the load groups, branch by branch, each at the
// capacity exactly (passes) and just above it (fails), on a text table
// whose hydrotest capacities differ from every other kind's.
#include "SizingCatalogue.h"
#include "data/TXTTAB.h"
#include "engine/HYDROTEST.h"

class TestHydrotest : public QObject {
    Q_OBJECT
    std::unique_ptr<SizingCatalogue> catalogue;

private slots:
    void initTestCase() {
        catalogue = std::make_unique<SizingCatalogue>();
        // Hydrotest capacities of groups 10, 12, 13, 14; 9 and 11 have no
        // row. The hanger rows of the same numbers carry far more, so a
        // lookup under the wrong kind passes what must fail.
        for (auto [g, c] : {std::pair{10, 9.0}, {12, 13.5}, {13, 24.0}, {14, 40.0}}) {
            catalogue->Group("LGF", g, c);
            catalogue->Group("LGH", g, 1000);
        }
        catalogue->Group("LGH", 11, 1000);
        catalogue->Start();
    }
    void cleanupTestCase() { catalogue.reset(); }

    void check_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("area");
        QTest::addColumn<QList<int>>("groups");  // main unit, support, component
        QTest::addColumn<double>("hydro");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<double>("designLoad");  // after the check; 1 where no half is taken
        // Letter 4 'R': the main unit's group at the full load.
        QTest::newRow("R: main unit at its capacity") << "SHHRELBX" << "" << QList<int>{13, 10, 10} << 24.0 << true
                                                      << 1.0;
        QTest::newRow("R: main unit above") << "SHHRELBX" << "" << QList<int>{13, 14, 14} << 24.5 << false << 1.0;
        // Letter 8 'H' with 5 'E': the main unit's group, full load.
        QTest::newRow("H E: main unit at its capacity") << "SHHAESBH" << "" << QList<int>{13, 10, 10} << 24.0 << true
                                                        << 1.0;
        QTest::newRow("H E: main unit above") << "SHHAESBH" << "" << QList<int>{13, 14, 14} << 24.5 << false << 1.0;
        // Letter 5 'E' alone: the support's group, full load.
        QTest::newRow("E: support at its capacity") << "SHHAESBX" << "" << QList<int>{10, 13, 10} << 24.0 << true
                                                    << 1.0;
        QTest::newRow("E: support above") << "SHHAESBX" << "" << QList<int>{14, 13, 14} << 24.5 << false << 1.0;
        // A group without a row carries nothing: no load passes, any fails.
        QTest::newRow("E: no row, no load") << "SHHAESBX" << "" << QList<int>{10, 11, 10} << 0.0 << true << 1.0;
        QTest::newRow("E: no row, a small load") << "SHHAESBX" << "" << QList<int>{14, 11, 14} << 0.5 << false
                                                 << 1.0;
        // Letters 3 'V', 5 'D', 8 'S': the component's group at half load.
        QTest::newRow("V D S: component at its capacity")
            << "SHVADSBS" << "" << QList<int>{10, 10, 13} << 48.0 << true << 24.0;
        QTest::newRow("V D S: component above") << "SHVADSBS" << "" << QList<int>{14, 14, 13} << 49.0 << false
                                                << 24.5;
        // Letter 8 'S': the support at the full load, then the component at
        // half; groups below 11 read 10, 11 and 12 read 12.
        QTest::newRow("S: both at their capacities") << "SHHAXSBS" << "" << QList<int>{10, 13, 10} << 18.0 << true
                                                     << 9.0;
        QTest::newRow("S: component above at half") << "SHHAXSBS" << "" << QList<int>{10, 13, 10} << 18.5 << false
                                                    << 9.25;
        QTest::newRow("S: support above, no half taken")
            << "SHHAXSBS" << "" << QList<int>{14, 12, 14} << 14.0 << false << 1.0;
        QTest::newRow("S: support 12 at its capacity") << "SHHAXSBS" << "" << QList<int>{10, 12, 10} << 13.5 << true
                                                       << 6.75;
        QTest::newRow("S: support 11 reads 12") << "SHHAXSBS" << "" << QList<int>{10, 11, 10} << 13.5 << true
                                                << 6.75;
        QTest::newRow("S: support 9 reads 10") << "SHHAXSBS" << "" << QList<int>{10, 9, 10} << 9.0 << true << 4.5;
        QTest::newRow("S: support 9 reads 10, above") << "SHHAXSBS" << "" << QList<int>{10, 9, 10} << 9.5 << false
                                                      << 1.0;
        QTest::newRow("S: component 11 reads 12") << "SHHAXSBS" << "" << QList<int>{10, 13, 11} << 24.0 << true
                                                  << 12.0;
        QTest::newRow("S: component 11 reads 12, above")
            << "SHHAXSBS" << "" << QList<int>{10, 14, 11} << 28.0 << false << 14.0;
        QTest::newRow("S: support 13 stays 13") << "SHHAXSBS" << "" << QList<int>{10, 13, 14} << 24.0 << true
                                                << 12.0;
        // Otherwise: the component at half, then the smaller of main unit
        // and support at the full load; area 'I' takes the main unit at half
        // and the support at full.
        QTest::newRow("other: both at their capacities")
            << "SHHAXSBH" << "" << QList<int>{13, 13, 10} << 18.0 << true << 9.0;
        QTest::newRow("other: component above at half")
            << "SHHAXSBH" << "" << QList<int>{13, 13, 10} << 18.5 << false << 9.25;
        QTest::newRow("other: the smaller is the support")
            << "SHHAXSBH" << "" << QList<int>{14, 12, 14} << 18.0 << false << 9.0;
        QTest::newRow("other: the smaller is the main unit")
            << "SHHAXSBH" << "" << QList<int>{12, 14, 14} << 18.0 << false << 9.0;
        QTest::newRow("other: the smaller at its capacity")
            << "SHHAXSBH" << "" << QList<int>{14, 12, 14} << 13.5 << true << 6.75;
        QTest::newRow("other: no mapping without letter 8 'S'")
            << "SHHAXSBH" << "" << QList<int>{14, 14, 11} << 3.0 << false << 1.5;
        QTest::newRow("other, area I: main unit at half, support at full")
            << "SHHAXSBH" << "I" << QList<int>{10, 13, 14} << 18.0 << true << 9.0;
        QTest::newRow("other, area I: main unit above at half")
            << "SHHAXSBH" << "I" << QList<int>{10, 13, 14} << 18.5 << false << 9.25;
        QTest::newRow("other, area I: support above at full")
            << "SHHAXSBH" << "I" << QList<int>{14, 12, 10} << 18.0 << false << 9.0;
        QTest::newRow("other, V D: ends after the half")
            << "SHVADSBH" << "" << QList<int>{10, 10, 13} << 48.0 << true << 24.0;
        QTest::newRow("other, V D: above at half") << "SHVADSBH" << "" << QList<int>{10, 10, 13} << 48.5 << false
                                                   << 24.25;
        QTest::newRow("other, V without D: then the smaller")
            << "SHVAXSBH" << "" << QList<int>{10, 10, 13} << 48.0 << false << 24.0;
        QTest::newRow("other, V without D: the smaller at its capacity")
            << "SHVAXSBH" << "" << QList<int>{10, 14, 13} << 9.0 << true << 4.5;
        QTest::newRow("other, D without V: then the smaller")
            << "SHHADSBH" << "" << QList<int>{10, 10, 13} << 48.0 << false << 24.0;
    }
    void check() {
        QFETCH(QString, name);
        QFETCH(QString, area);
        QFETCH(QList<int>, groups);
        QFETCH(double, hydro);
        QFETCH(bool, passes);
        QFETCH(double, designLoad);
        SetArrangement(name, area.isEmpty() ? QStringLiteral(" ") : area);
        CalcGlobals.TableStatus = 0;
        CalcGlobals.MessageNumber = 0;
        CalcGlobals.MainUnitLoadGroup = int16_t(groups[0]);
        CalcGlobals.SupportLoadGroup = int16_t(groups[1]);
        CalcGlobals.ComponentLoadGroup = int16_t(groups[2]);
        CalcGlobals.DesignLoad = 1.0;
        ConstructionRecord.K_HYDRO_LAST = hydro;
        // A lookup before left the text table on the hanger rows.
        std::copy_n("LGH", 3, TextRecord.TXT_KZ);
        CheckLoadGroup();
        QCOMPARE(int(CalcGlobals.TableStatus), passes ? 0 : 1);
        QCOMPARE(int(CalcGlobals.MessageNumber), passes ? 0 : 2739);
        QCOMPARE(CalcGlobals.DesignLoad, designLoad);
    }
};

QTEST_GUILESS_MAIN(TestHydrotest)
#include "tst_HYDROTEST.moc"
