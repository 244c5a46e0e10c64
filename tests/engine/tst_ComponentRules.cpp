// The component step's connection parts and what the walks remember, on a
// fixture catalogue of load groups 19 and 20: each case built so that one
// rule decides the chain.
#include "ClampCatalogue.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "engine/FINDBTL.h"
#include "engine/StepTools.h"

using namespace ClampCatalogue;

class TestComponentRules : public QObject {
    Q_OBJECT
    StepUi ui;
    std::unique_ptr<CatalogueFixture> f;

    // A spring hanger of size `group` on a 323.9 pipe at 180 degrees, steel
    // 1635 mm above the pipe: weld lug 75 (50 mm) or bracket 73, clevis 61,
    // spring, rod, eye nut 60, riser clamp 43 (250 mm).
    void Support(int group, int building, bool topConnection = false) {
        ResetCalcState();
        DefaultSelectionSteps().ResetStepState();  // what the driver resets per selection
        ResetComponentState();
        Arrange("SHHAESBH", {"750", "610", "210", "660", "600", "430"});
        TConstructionRecord& k = ConstructionRecord;
        k.K_RDM = 323.9;
        k.K_TEM = 180;
        k.K_LAST = 100;
        k.K_ROHRRI_KZ = true;
        k.K_TYP_42_KZ = true;
        k.K_AN_GEB = int16_t(building);
        k.K_OB_ANSCH = topConnection;
        k.K_BLOCKIER = 30;
        G().MainUnitNumber = 21000118 + group * 1000;
        G().MainUnitLoadGroup = G().SupportLoadGroup = G().ComponentLoadGroup = int16_t(group);
        G().SegmentHeights = {1635, 0, 0, 0, 0};
        PutText(G().DisplayPartNumber, QStringLiteral("      "));
    }
    static TCalcGlobals& G() { return CalcGlobals; }

    QList<qint64> Quantities() const {
        QList<qint64> out;
        for (int i = 0; i < 30 && ConstructionRecord.K_BTL_8[i] != 0; ++i)
            out << ConstructionRecord.K_ANZ[i];
        return out;
    }

private slots:
    void initTestCase() {
        f = std::make_unique<CatalogueFixture>();
        Diameter(*f, 323.9, 14);
        TemperatureClass(*f, 2, 150);
        TemperatureClass(*f, 3, 200);
        for (int g : {19, 20}) {
            const int s = g * 1000;
            Part(*f, 75000000 + s, 50);
            Part(*f, 61000000 + s, 56, {{"STA_ADM", 1}});
            Part(*f, 73000000 + s, 115);
            Part(*f, 60000000 + s, 40, {{"STA_ADM", 1}});
            Part(*f, 21000118 + s, 400);
            Part(*f, 67000200 + s, 500, {{"STA_ADM", 2}});
            Part(*f, 67000300 + s, 1000, {{"STA_ADM", 2}});
            Part(*f, 66000400 + s, 1500, {{"STA_ADM", 2}});
            Part(*f, 63000000 + s, 8);
        }
        Clamp(*f, 43140320, 19, 21, 200, 200, {{"RSL_E", 250}});
        f->Start();
    }
    void cleanupTestCase() { f.reset(); }
    void init() { ui = StepUi(); }

    // A hanger of load group 20 with letter 7 'B' hangs from a weld bracket
    // 73: the bracket stands in entry 1 in place of the two parts of the
    // building connection, the spring follows in entry 2. Heights by hand:
    // bracket 115 + blocking 30 + spring 400 = 545 at the rod, + eye nut 40
    // + clamp 250 = 835; the rod 1635 - 835 = 800 is one short rod of
    // 1000 mm stock (d = 3). Nuts: eye nut 1 + rod 2; the dropped clevis's
    // (or second eye nut's) nut is taken back. Entered as 75, the building
    // connection becomes 73 and the step reports 2622 after the clamp.
    void heavyHangerHangsFromWeldBracket_data() {
        QTest::addColumn<int>("building");
        QTest::addColumn<int>("message");
        QTest::newRow("weld lug entered: changed to 73") << 75 << 2622;
        QTest::newRow("weld bracket entered") << 73 << 0;
    }
    void heavyHangerHangsFromWeldBracket() {
        QFETCH(int, building);
        QFETCH(int, message);
        Support(20, building);
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(G().TableStatus), 0);
        QCOMPARE(int(G().MessageNumber), message);
        QCOMPARE(int(ConstructionRecord.K_AN_GEB), 73);
        QCOMPARE(BuildingConnectionChanged(), building != 73);
        QCOMPARE(ChainParts(), (QList<qint64>{73020000, 21020118, 67020300, 60020000, 43140320, 63020000}));
        QCOMPARE(Quantities(), (QList<qint64>{1, 1, 1, 1, 1, 3}));
        QCOMPARE(G().ChainHeight, 835);
        QCOMPARE(ConstructionRecord.K_RESTLAENGE_1, 800.0);
        QCOMPARE(G().TopPartNumber, 73020000.0);
        QCOMPARE(double(G().ComponentHeightTop), 115.0);
    }

    // Group 19 keeps the building connection as entered: lug, clevis,
    // spring; 50 + 56 + 30 + 400 + 40 + 250 = 826, rod 809; nuts 1 + 1 + 2.
    void groupNineteenKeepsItsConnection() {
        Support(19, 75);
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(G().TableStatus), 0);
        QCOMPARE(int(G().MessageNumber), 0);
        QCOMPARE(int(ConstructionRecord.K_AN_GEB), 75);
        QCOMPARE(ChainParts(),
                 (QList<qint64>{75019000, 61019000, 21019118, 67019300, 60019000, 43140320, 63019000}));
        QCOMPARE(Quantities().last(), 4);
        QCOMPARE(G().ChainHeight, 826);
        QCOMPARE(G().TopPartNumber, 75019000.0);
        QCOMPARE(double(G().ComponentHeightTop), 50.0);
    }

    // A connection from above (K_OB_ANSCH) of a heavy hanger adds no
    // building parts: the spring is the chain's first part, the connection
    // stays as entered. 30 + 400 + 40 + 250 = 720, rod 915.
    void heavyHangerConnectedFromAbove() {
        Support(20, 75, true);
        ActiveUiScope scope(ui);
        SelectComponents();
        QCOMPARE(int(G().TableStatus), 0);
        QCOMPARE(int(G().MessageNumber), 0);
        QCOMPARE(int(ConstructionRecord.K_AN_GEB), 75);
        QCOMPARE(ChainParts(), (QList<qint64>{21020118, 67020300, 60020000, 43140320, 63020000}));
        QCOMPARE(G().ChainHeight, 720);
    }

    // The walk remembers the clamp's height for the rod-angle check of the
    // repeat pass: the rod ends at the clamp, 250 mm above the pipe.
    void clampHeightRemembered() {
        for (int g : {19, 20}) {
            Support(g, 73);
            G().ComponentHeightBottom = 0;
            ActiveUiScope scope(ui);
            SelectComponents();
            QCOMPARE(int(G().TableStatus), 0);
            QCOMPARE(double(G().ComponentHeightBottom), 250.0);
        }
    }

    // The taken-back pieces leave the tally filled from its first slot: an
    // emptied size frees its slot and the later sizes move up.
    void takeBackAccessories() {
        ResetCalcState();
        ResetComponentState();
        G().AccessoryKinds = {13, 20, 15};
        G().AccessoryCounts = {2, 1, 4};
        TakeBackAccessories(20, 1);
        QCOMPARE(G().AccessoryKinds, (std::array<int16_t, 3>{13, 15, 99}));
        QCOMPARE(G().AccessoryCounts, (std::array<int16_t, 3>{2, 4, 0}));
        TakeBackAccessories(13, 1);
        QCOMPARE(G().AccessoryKinds, (std::array<int16_t, 3>{13, 15, 99}));
        QCOMPARE(G().AccessoryCounts, (std::array<int16_t, 3>{1, 4, 0}));
        TakeBackAccessories(17, 1);  // a size never tallied changes nothing
        QCOMPARE(G().AccessoryCounts, (std::array<int16_t, 3>{1, 4, 0}));
    }
};

QTEST_GUILESS_MAIN(TestComponentRules)
#include "tst_ComponentRules.moc"
