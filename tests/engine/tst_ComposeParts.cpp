// The parts list and bridge records built from a chain: designations per
// catalogue and variant, weights, prices, the bridge numbering, the dropped
// rod without length, and the composition as the driver's last step.
#include "EngineFixture.h"

#include "data/PGCOOL.h"
#include "data/PGCURE.h"
#include "data/PGDYNA.h"
#include "data/PGSTAT.h"
#include "engine/ComposeParts.h"

#include <QtTest>

namespace {

void Price(CatalogueFixture& f, const QString& article, int width, double price, double hd = 0) {
    f.Insert("PGCURE.DB", {{"CUR_IDX", 1}, {"CUR_L_NR", article}, {"CUR_BRT", width}, {"CUR_PRS", price},
                           {"CUR_PRS_HD", hd}, {"CUR_RABAT", false}});
}

void Static(CatalogueFixture& f, int number, const QString& article, int e, double weight, QVariantMap more = {}) {
    QVariantMap row{{"STA_NRN", number},
                    {"STA_KBEZ", QString::number(number).left(3)},
                    {"STA_KBEZ_I", QString::number(number).left(3)},
                    {"STA_L_NR", article},
                    {"STA_L_NR_K", article.left(5) + "K"},
                    {"STA_L_NR_I", article.left(5) + "I"},
                    {"STA_L_NR_K_I", article.left(4) + "KI"},
                    {"STA_WST", 10},
                    {"STA_WST_UNC", 11},
                    {"STA_WST_CN", 12},
                    {"STA_E", e},
                    {"STA_GEW", weight},
                    {"STA_GEW_VER", 0.0},
                    {"STA_HD_KZ", false}};
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        row[it.key()] = it.value();
    f.Insert("Pgstat.DB", row);
}

void Clamp(CatalogueFixture& f, int number, const QString& article, int e, QVariantMap more = {}) {
    QVariantMap row{{"RSL_NRN", number}, {"RSL_KBEZ", QString::number(number).left(2)},
                    {"RSL_L_NR", article}, {"RSL_L_NR_K", article.left(5) + "K"},
                    {"RSL_L_NR_CN", article.left(4) + "CN"}, {"RSL_WST", 20},
                    {"RSL_WST_UNC", 21}, {"RSL_WST_CN", 22},
                    {"RSL_E", e}, {"RSL_B", 200},
                    {"RSL_LG_VON", 150}, {"RSL_LG_1", 100}, {"RSL_LG_2", 250},
                    {"RSL_GEW_1", 3.5}, {"RSL_GEW_2", 7.25}, {"RSL_EXTRA", 0}};
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        row[it.key()] = it.value();
    f.Insert("pgrsrsl.DB", row);
}

void Dynamic(CatalogueFixture& f, int number, const QString& article, QVariantMap more = {}) {
    QVariantMap row{{"DYN_NRN", number}, {"DYN_KBEZ", QString::number(number).left(2)}, {"DYN_L_NR", article},
                    {"DYN_L_NR_K", article.left(5) + "K"}, {"DYN_L_NR_CN", article.left(4) + "CN"},
                    {"DYN_WST", 30}, {"DYN_WST_UNC", 31}, {"DYN_WST_CN", 32}, {"DYN_E", 90},
                    {"DYN_GEW", 4.0}, {"DYN_GEW_VER", 3.0}, {"DYN_E_MAX", 1600}};
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        row[it.key()] = it.value();
    f.Insert("Pgdyna.DB", row);
}

void Cold(CatalogueFixture& f, int number, const QString& article, QVariantMap more = {}) {
    QVariantMap row{{"CLD_NRN", number}, {"CLD_KBEZ", QString::number(number).left(3)},
                    {"CLD_KBEZ_I", QString::number(number).left(3)}, {"CLD_L_NR", article},
                    {"CLD_L_NR_K", article.left(5) + "K"}, {"CLD_L_NR_I", article.left(5) + "I"},
                    {"CLD_L_NR_K_I", article.left(4) + "KI"}, {"CLD_WST", 40}, {"CLD_WST_UNC", 41},
                    {"CLD_GEW", 2.0}, {"CLD_GEW_MAX", 6.0}, {"CLD_D_MIN", 100}, {"CLD_D_MAX", 300},
                    {"CLD_GEW_VER", 10.0}, {"CLD_N", 40}};
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        row[it.key()] = it.value();
    f.Insert("PGCLDSTA.DB", row);
}

void Chain(std::initializer_list<std::pair<double, int>> parts) {
    std::fill(std::begin(ConstructionRecord.K_BTL_8), std::end(ConstructionRecord.K_BTL_8), 0.0);
    std::fill(std::begin(ConstructionRecord.K_ANZ), std::end(ConstructionRecord.K_ANZ), int16_t(0));
    int i = 0;
    for (const auto& p : parts) {
        ConstructionRecord.K_BTL_8[i] = p.first;
        ConstructionRecord.K_ANZ[i] = int16_t(p.second);
        ++i;
    }
}

void Arrangement(const char* name) {
    PutText(ArrangementRecord.A_NAME, QString::fromLatin1(name));
    PutText(ArrangementRecord.A_BER, QStringLiteral("H"));
}

QString ItemPart(int i) { return QString::fromLatin1(BridgeRecords.Items[size_t(i - 1)].PartNumber, 9); }
QString ItemDim(int i) { return QString::fromLatin1(BridgeRecords.Items[size_t(i - 1)].Dimension, 5); }
QString ItemPos(int i) { return QString::fromLatin1(BridgeRecords.Items[size_t(i - 1)].Position, 3); }

// A small catalogue: neighbours that differ only in the field under test.
struct Catalogue {
    CatalogueFixture f;
    Catalogue() {
        Static(f, 11012100, "110121", 400, 50.0, {{"STA_HD_KZ", true}});
        Static(f, 11011100, "110111", 390, 40.0);  // the neighbour below: never listed
        Static(f, 66020100, "660201", 2500, 0, {{"STA_GEW_VER", 2.0}, {"STA_BTL_ZUS", "8FT-2IN"}});
        Static(f, 66012000, "660120", 1000, 0, {{"STA_GEW_VER", 1.5}});
        Static(f, 66012700, "660127", 3000, 0, {{"STA_GEW_VER", 1.0}});
        Static(f, 66012500, "660125", 2000, 0, {{"STA_GEW_VER", 1.0}});
        // A part of size 19 whose article's third and fourth characters
        // differ from its third alone.
        Static(f, 66019100, "661991", 1500, 0);
        Static(f, 29112000, "291120", 0, 1.0, {{"STA_GEW_VER", 4.0}});
        Static(f, 63012000, "630120", 20, 0.2, {{"STA_BTL_ZUS", "M20  3/4IN"}});
        Static(f, 63013000, "630130", 20, 0.2, {{"STA_BTL_ZUS", "M24  1IN  X"}});
        Static(f, 77012000, "770120", 80, 2.0);
        Static(f, 79512000, "795120", 0, 6.0, {{"STA_BTL_ZUS", "060030"}, {"STA_GEW_VER", 10.0}});
        Static(f, 79513000, "795130", 0, 6.0, {{"STA_BTL_ZUS", "060130"}, {"STA_GEW_VER", 10.0}});
        Static(f, 61020000, "610200", 50, 1.0);
        Static(f, 27212000, "272120", 0, 1.0, {{"STA_BTL_ZUS", "125"}});
        Static(f, 76112000, "761120", 0, 3.0, {{"STA_GEW_VER", 5.0}});
        // A base clamp weighs per guide variant: columns 3 to 5 only for the
        // variants (the width steps 1 and 2 are those of every clamp).
        Clamp(f, 49201100, "492011", 120, {{"RSL_GEW_3", 9.0}, {"RSL_GEW_4", 10.5}, {"RSL_GEW_5", 12.75}});
        Clamp(f, 49001100, "490011", 130);
        Clamp(f, 42012007, "420120", -95, {{"RSL_HD_KZ", true}});
        Clamp(f, 45012000, "451200", 60);
        Clamp(f, 45012003, "451200", 60);
        Clamp(f, 43012000, "431200", 80);
        Static(f, 79012000, "790120", 0, 1.0, {{"STA_GEW_VER", 4.0}});
        Clamp(f, 46012000, "461200", 70);
        Clamp(f, 45013000, "451300", 60, {{"RSL_LG_5", 400}, {"RSL_GEW_5", 9.5}});
        Dynamic(f, 36090302, "360902");
        Dynamic(f, 32012000, "320120");
        Dynamic(f, 32012002, "320120");
        Dynamic(f, 30012002, "300120");
        Dynamic(f, 30012001, "300120");
        Dynamic(f, 34012000, "340120");
        Static(f, 29012000, "290120", 50, 1.0);
        Static(f, 16112000, "161120", 70, 1.0);
        Static(f, 67112000, "671120", 300, 1.0);
        Static(f, 27912000, "279120", 0, 1.0);
        Static(f, 76910001, "769100", 0, 3.0, {{"STA_GEW_VER", 2.0}});
        Static(f, 76920001, "769200", 0, 3.0, {{"STA_GEW_VER", 2.0}});
        Static(f, 79112000, "791120", 0, 1.0, {{"STA_GEW_VER", 4.0}, {"STA_BREITE", 350}});
        Static(f, 79412000, "794120", 0, 1.0, {{"STA_GEW_VER", 4.0}, {"STA_BREITE", 350}});
        Static(f, 78012000, "780120", 0, 1.0);
        Static(f, 70112000, "701120", -45, 1.0);
        Static(f, 20912000, "209120", 0, 1.0, {{"STA_GEW_VER", 4.0}});
        Clamp(f, 41012000, "410120", 90);
        Dynamic(f, 37012000, "370120");
        Cold(f, 57012000, "570120", {{"CLD_A", 30.0}});
        Cold(f, 57013000, "570130", {{"CLD_A", -50.0}});
        Dynamic(f, 38012000, "380120", {{"DYN_GEW", 6.5}});
        Cold(f, 56012000, "560120");
        Cold(f, 55012000, "550120");
        Price(f, "290120", 0, 50.0);
        Price(f, "290120-PS", 0, 55.0);
        Price(f, "492011-SP", 100, 35.0);
        Price(f, "492011", 100, 31.0);
        Cold(f, 58012000, "580120");
        Cold(f, 54112000, "541120");
        Cold(f, 53212000, "532120");
        Price(f, "360902", 0, 48.0);
        Price(f, "580120", 0, 38.0);
        Price(f, "58012K", 0, 77.0);
        Price(f, "36090K", 0, 66.0);
        Price(f, "110121", 0, 400.0, 480.0);
        Price(f, "11012K", 0, 900.0);
        Price(f, "660201", 2500, 70.0);
        Price(f, "492011G2P", 100, 33.0);
        Price(f, "492011", 250, 44.0);
        f.Start();
        Reset();
    }
    // The state every case starts from; the catalogue itself is never
    // written by the composition.
    static void Reset() {
        ResetCalcState();
        Arrangement("SHHAESBH");
        ConstructionRecord.K_BRT_ZAEHL = 1;
        CalcGlobals.RodLengths.fill(999999);
    }
};

}  // namespace

class tst_ComposeParts : public QObject {
    Q_OBJECT

    // One catalogue for all the cases that only read it.
    std::unique_ptr<Catalogue> shared;
    Catalogue& SharedCatalogue() {
        if (!shared)
            shared = std::make_unique<Catalogue>();
        Catalogue::Reset();
        return *shared;
    }

private slots:
    // The composition never writes the catalogue, so every case reads the
    // one fixture; the case on the demo catalogue points the alias away
    // from it, and the fixture is built again after it.
    void init() {
        if (QLatin1String(QTest::currentTestFunction()) == QLatin1String("demoChain"))
            shared.reset();
    }
    void cleanupTestCase() { shared.reset(); }

    void bridgePartNumber_data() {
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("bridge");
        QTest::newRow("size 09") << "10909000" << "1090C000";
        QTest::newRow("size 10 once") << "10910000" << "1090D000";
        QTest::newRow("size 11") << "10911000" << "10901000";
        QTest::newRow("size 19") << "10919123" << "10909123";
        QTest::newRow("size 20") << "66020100" << "66010100";
        QTest::newRow("size 21 not again") << "66021000" << "66020000";
        QTest::newRow("size 24") << "66024999" << "66050999";
        QTest::newRow("size 08 kept") << "66008000" << "66008000";
        QTest::newRow("size 25 kept") << "66025000" << "66025000";
        QTest::newRow("digits 6-8 never recoded") << "66000011" << "66000011";
    }
    void bridgePartNumber() {
        QFETCH(QString, product);
        QFETCH(QString, bridge);
        QCOMPARE(BridgePartNumber(product), bridge);
    }

    void padding() {
        QCOMPARE(PadDigits2(3), QStringLiteral("03"));
        QCOMPARE(PadDigits2(123), QStringLiteral("123"));
        QCOMPARE(PadDigits4(95), QStringLiteral("0095"));
        QCOMPARE(PadDigits4(12345), QStringLiteral("12345"));
    }

    // The catalogue number by the first digit, nuclear with K_KERNTECH.
    void lookupDisplayNumber_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("nuclear");
        QTest::addColumn<QString>("display");
        QTest::newRow("static") << 11012100 << false << "110121";
        QTest::newRow("static nuclear") << 11012100 << true << "11012K";
        QTest::newRow("neighbour below") << 11011100 << false << "110111";
        QTest::newRow("clamp") << 49201100 << false << "492011";
        QTest::newRow("clamp nuclear") << 49201100 << true << "49201K";
        QTest::newRow("dynamic") << 36090302 << false << "360902";
        QTest::newRow("cold") << 58012000 << false << "580120";
        QTest::newRow("missing") << 11013100 << false << "999999";
        QTest::newRow("missing clamp") << 49201199 << false << "999999";
    }
    void lookupDisplayNumber() {
        QFETCH(int, product);
        QFETCH(bool, nuclear);
        SharedCatalogue();
        ConstructionRecord.K_KERNTECH = nuclear;
        QTEST(LookupDisplayNumber(product), "display");
    }

    void moveTextToChars() {
        char field[6];
        MoveTextToChars(field, 6, QStringLiteral("AB"));
        QCOMPARE(QByteArray(field, 6), QByteArray("AB    "));
        MoveTextToChars(field, 6, QStringLiteral("ABCDEFGH"));
        QCOMPARE(QByteArray(field, 6), QByteArray("ABCDEF"));
    }

    void emptyChainLeavesBlankFill() {
        SharedCatalogue();
        Chain({});
        PartsList.RowCount = 5;
        ComposeParts();
        QCOMPARE(PartsList.RowCount, int16_t(0));
        QCOMPARE(PartsList.KB_BTL_8[0], 0);
        for (int i = 1; i <= 30; ++i) {
            QCOMPARE(ItemPart(i), QStringLiteral("00000000 "));
            QCOMPARE(ItemDim(i), QStringLiteral("0000 "));
            QCOMPARE(ItemPos(i), QStringLiteral("00 "));
        }
    }

    // Article number, material, weight and price by catalogue variant.
    void staticVariants_data() {
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<bool>("nuclear");
        QTest::addColumn<bool>("cn");
        QTest::addColumn<bool>("hd");
        QTest::addColumn<QString>("article");
        QTest::addColumn<QString>("extra");
        QTest::addColumn<int>("material");
        QTest::addColumn<double>("price");
        QTest::newRow("metric") << false << false << false << false << "110121" << "110121" << 10 << 400.0;
        QTest::newRow("imperial") << true << false << false << false << "11012I" << "11012I" << 11 << 0.0;
        QTest::newRow("CN") << false << false << true << false << "110121" << "110121" << 12 << 400.0;
        QTest::newRow("CN imperial") << true << false << true << false << "11012I" << "11012I" << 12 << 0.0;
        QTest::newRow("nuclear") << false << true << false << false << "11012K" << "11012K" << 10 << 900.0;
        QTest::newRow("nuclear CN") << false << true << true << false << "11012K" << "11012K" << 12 << 900.0;
        QTest::newRow("nuclear imperial") << true << true << false << false << "1101KI" << "1101KI" << 11 << 0.0;
        QTest::newRow("heavy duty") << false << false << false << true << "110121" << "110121-HD" << 10 << 480.0;
    }
    void staticVariants() {
        QFETCH(bool, imperial);
        QFETCH(bool, nuclear);
        QFETCH(bool, cn);
        QFETCH(bool, hd);
        SharedCatalogue();
        ConstructionRecord.K_KATA_KZ = imperial;
        ConstructionRecord.K_KERNTECH = nuclear;
        // The live option counts, not the record's copy of a stored support.
        CalcGlobals.CNStandard = cn;
        ConstructionRecord.K_RES_BOL1 = false;
        ConstructionRecord.K_HD_KZ = hd;
        Chain({{11012100, 1}});
        ComposeParts();
        QCOMPARE(PartsList.RowCount, int16_t(1));
        QCOMPARE(PartsList.KB_BTL_8[0], 11012100);
        QTEST(PartsList.KB_BTL[0], "article");
        QTEST(PartsList.KB_BTL_ZUS[0], "extra");
        QTEST(int(PartsList.KB_WST[0]), "material");
        QTEST(PartsList.KB_PRS[0], "price");
        QCOMPARE(PartsList.KB_KBEZ[0].trimmed(), QStringLiteral("110"));
        QCOMPARE(PartsList.KB_HD_KZ[0], hd);
        QCOMPARE(PartsList.KB_GEW[0], 50.0);
        QCOMPARE(ItemPart(1), QStringLiteral("11002100 "));
        QCOMPARE(ItemDim(1), QStringLiteral("0400 "));
        QCOMPARE(ItemPos(1), QStringLiteral("01 "));
        QCOMPARE(BridgeRecords.UnitLetter, imperial ? 'U' : 'M');
    }

    // A long rod: its length in the article suffix, the imperial lengths.
    void longRod_data() {
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<QString>("extra");
        QTest::addColumn<QString>("dimension");
        QTest::addColumn<int>("width2");
        QTest::addColumn<double>("weight");
        QTest::newRow("metric 2500") << false << "660201-2500" << "2500 " << 2500 << 5.0;
        QTest::newRow("imperial 2500 is 3048") << true << "66020I-8FT-2IN" << "3048 " << 0 << 6.096;
    }
    void longRod() {
        QFETCH(bool, imperial);
        SharedCatalogue();
        ConstructionRecord.K_KATA_KZ = imperial;
        Chain({{66020100, 2}});
        ComposeParts();
        QTEST(PartsList.KB_BTL_ZUS[0], "extra");
        QTEST(ItemDim(1), "dimension");
        QTEST(int(PartsList.KB_BREITE_2[0]), "width2");
        QFETCH(double, weight);
        QVERIFY(qAbs(PartsList.KB_GEW[0] - weight) < 1e-9);
        QCOMPARE(PartsList.KB_ANZ[0], int16_t(2));
        QCOMPARE(ItemPart(1), QStringLiteral("66010100 "));
        QCOMPARE(PartsList.KB_ZUS[0], imperial ? QStringLiteral("3048") : QStringLiteral("2500"));
        QCOMPARE(PartsList.KB_ZUS_I[0], imperial ? QStringLiteral("120.0") : QStringLiteral("98.4"));
    }

    // Clamp numbers and suffixes: the type-49 variants, the load group of a
    // type 42 ending in 07, the width-step number of other types.
    void clampDesignation_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("extra");
        QTest::addColumn<QString>("bridge");
        QTest::addColumn<QString>("dimension");
        QTest::addColumn<double>("weight");
        QTest::addColumn<double>("price");
        // A guide variant weighs what the selection weighed: the column after
        // the variant's number (G2A 2, G2P 3, G4 5), not the width step's.
        QTest::newRow("49 G2P") << 49201100 << "2" << 1 << "492011G2P" << "49201100 " << "0120 " << 9.0 << 33.0;
        QTest::newRow("49 G2A") << 49201100 << "1" << 1 << "492011G2A" << "49201100 " << "0120 " << 7.25 << 0.0;
        QTest::newRow("49 G4") << 49201100 << "4" << 1 << "492011G4" << "49201100 " << "0120 " << 12.75 << 0.0;
        QTest::newRow("49 plain step 2") << 49201100 << "0" << 2 << "492011" << "49201100 " << "0120 " << 7.25 << 44.0;
        QTest::newRow("49 00 uses LG_VON") << 49001100 << "" << 1 << "490011" << "49001100 " << "0150 " << 3.5 << 0.0;
        QTest::newRow("42 07 load group") << 42012007 << "" << 1 << "420120" << "42012012 " << "0095 " << 3.5 << 0.0;
        QTest::newRow("45 display x5: width digits") << 45012000 << "" << 2 << "451200" << "44010250 " << "0060 " << 7.25 << 0.0;
        QTest::newRow("45 display x5: digit 8 cleared") << 45012003 << "" << 2 << "451200" << "44010250 " << "0060 " << 7.25 << 0.0;
        QTest::newRow("43 article and 00") << 43012000 << "" << 1 << "431200" << "43120000 " << "0080 " << 3.5 << 0.0;
        QTest::newRow("46 step number") << 46012000 << "" << 2 << "461200" << "46120020 " << "0070 " << 7.25 << 0.0;
        QTest::newRow("45 step 6 held at step 5") << 45013000 << "" << 6 << "451300" << "44010400 " << "0060 " << 9.5 << 0.0;
        QTest::newRow("46 step 0 weighs as step 1") << 46012000 << "" << 0 << "461200" << "46120000 " << "0070 " << 3.5 << 0.0;
    }
    void clampDesignation() {
        QFETCH(int, product);
        QFETCH(QString, variant);
        QFETCH(int, step);
        SharedCatalogue();
        Arrangement("SHHAESBX");
        ConstructionRecord.K_T49G_KZ = variant;
        ConstructionRecord.K_BRT_ZAEHL = int16_t(step);
        CalcGlobals.ClampLoadGroup = 12;
        Chain({{double(product), 1}});
        ComposeParts();
        // The row carries the clamp's article number, the one the
        // designation begins with.
        QFETCH(QString, extra);
        QCOMPARE(PartsList.KB_BTL[0], extra.left(6));
        QCOMPARE(int(PartsList.KB_WST[0]), 20);
        // The type code: the clamp's (a guide variant's row has its own).
        if (variant.trimmed().isEmpty() || variant == QLatin1String("0"))
            QCOMPARE(PartsList.KB_KBEZ[0].trimmed(), QString::number(product).left(2));
        QTEST(PartsList.KB_BTL_ZUS[0], "extra");
        QTEST(ItemPart(1), "bridge");
        QTEST(ItemDim(1), "dimension");
        QTEST(PartsList.KB_GEW[0], "weight");
        QTEST(PartsList.KB_PRS[0], "price");
        // The support keeps the clamp's number and weight, except for a
        // clamp whose digits 3-4 are "00".
        const bool kept = QString::number(product).mid(2, 2) != QLatin1String("00");
        QCOMPARE(ConstructionRecord.K_RSL_NRN, kept ? double(product) : 0.0);
        if (kept)
            QTEST(ConstructionRecord.K_RSL_GEW, "weight");
        QVERIFY(CalcGlobals.RsrlVariantCode.isEmpty());
        QVERIFY(!CalcGlobals.PriceSuffixRequest);
    }

    void clampWidthSuffixForHangers_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<QString>("extra");
        QTest::newRow("998") << 998.0 << "451200-0998";
        QTest::newRow("999") << 999.0 << "451200-999";
    }
    void clampWidthSuffixForHangers() {
        QFETCH(double, width);
        SharedCatalogue();
        ConstructionRecord.K_BREITE = width;
        Chain({{45012000, 1}});
        ComposeParts();
        QTEST(PartsList.KB_BTL_ZUS[0], "extra");
    }

    // Dimension texts of the static types, and the counted lengths after
    // a nut.
    void dimensionTexts() {
        SharedCatalogue();
        TConstructionRecord& k = ConstructionRecord;
        k.K_TRAGARM_L = 600;
        k.K_RESTLAENGE_1 = 111;
        k.K_RESTLAENGE_2 = 222;
        CalcGlobals.ArmWidth = 150;
        Chain({{11012100, 1}, {77012000, 1}, {76112000, 1}, {66012000, 1}, {63012000, 2}, {66012000, 1},
               {66012000, 1}, {27212000, 1}});
        ComposeParts();
        QCOMPARE(PartsList.RowCount, int16_t(8));
        QCOMPARE(PartsList.KB_ZUS[1], QStringLiteral("LG0"));  // size 12 above: its article's third character
        QCOMPARE(PartsList.KB_ZUS[2], QStringLiteral("b=150; L=600"));
        QCOMPARE(PartsList.KB_ZUS_I[2], QStringLiteral("b=150; L=23.6"));
        QVERIFY(qAbs(PartsList.KB_GEW[2] - 6.0) < 1e-9);
        QCOMPARE(ItemDim(3), QStringLiteral("0600 "));
        QCOMPARE(PartsList.KB_ZUS[3], QStringLiteral("1000"));  // before the nut
        QCOMPARE(PartsList.KB_ZUS[4], QStringLiteral("M20  "));
        QCOMPARE(PartsList.KB_ZUS[5], QStringLiteral("(111)"));
        QCOMPARE(PartsList.KB_ZUS_I[5], QStringLiteral("(4.4)"));
        QCOMPARE(PartsList.KB_ZUS[6], QStringLiteral("(222)"));
        QCOMPARE(k.K_FDR_RATE, 12.5);
        for (int r = 1; r <= 8; ++r)
            QCOMPARE(ItemPos(r), PadDigits2(r) + " ");
    }

    // A part that hangs below its connection (negative height) is listed
    // with its height as a length.
    void negativeHeightListedAsLength() {
        SharedCatalogue();
        Chain({{70112000, 1}});
        ComposeParts();
        QCOMPARE(ItemDim(1), QStringLiteral("0045 "));
    }

    // After a nut the rods list the rest lengths 1 to 5 in turn; a sixth
    // rod has none left: "(0)".
    void restLengthsAfterTheNut() {
        SharedCatalogue();
        TConstructionRecord& k = ConstructionRecord;
        k.K_RESTLAENGE_1 = 111;
        k.K_RESTLAENGE_2 = 222;
        k.K_RESTLAENGE_3 = 333;
        k.K_RESTLAENGE_4 = 444;
        k.K_RESTLAENGE_5 = 555;
        Chain({{63012000, 1}, {66012000, 1}, {66012000, 1}, {66012000, 1}, {66012000, 1}, {66012000, 1},
               {66012000, 1}});
        ComposeParts();
        QCOMPARE(PartsList.RowCount, int16_t(7));
        const QStringList texts{"(111)", "(222)", "(333)", "(444)", "(555)", "(0)"};
        for (int r = 1; r <= 6; ++r)
            QCOMPARE(PartsList.KB_ZUS[r], texts[r - 1]);
    }

    // The load-group text of a type-77 part is the part above's: two
    // characters of its article (3-4) above size 19, one (3) up to it.
    void loadGroupTextOfWidePartAbove_data() {
        QTest::addColumn<int>("above");
        QTest::addColumn<QString>("text");
        QTest::newRow("below size 20 (660201)") << 66020100 << "LG02";
        QTest::newRow("below size 19 (661991)") << 66019100 << "LG1";
    }
    void loadGroupTextOfWidePartAbove() {
        QFETCH(int, above);
        SharedCatalogue();
        Chain({{double(above), 1}, {77012000, 1}});
        ComposeParts();
        QTEST(PartsList.KB_ZUS[1], "text");
    }

    void pinSupplement_data() {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<int>("clampB");
        QTest::addColumn<bool>("withoutClamp");
        QTest::addColumn<int>("z");
        QTest::addColumn<QString>("zInch");
        // a = 60 -> 80 taken from B; b = 30 the least; 0.8 B the most; in
        // inches with two decimals (120 mm = 4.724 in).
        QTest::newRow("between") << "060030" << 200 << false << 120 << "4.72";
        QTest::newRow("raised to b") << "060030" << 100 << false << 30 << "1.18";
        QTest::newRow("lowered to 0.8 B") << "060030" << 1000 << false << 800 << "31.50";
        QTest::newRow("without clamp") << "060030" << 200 << true << 30 << "1.18";
        // b of three digits (130): 100 - 80 is raised to 130, then lowered
        // to 0.8 x 100.
        QTest::newRow("raised to b 130, lowered to 80") << "060130" << 100 << false << 80 << "3.15";
    }
    void pinSupplement() {
        QFETCH(QString, digits);
        QFETCH(int, clampB);
        QFETCH(bool, withoutClamp);
        SharedCatalogue();
        ConstructionRecord.K_RSRL_OHNE = withoutClamp;
        ConstructionRecord.K_BREITE = 500;
        PgrsrlRecord.RSL_B = int16_t(clampB);
        Chain({{digits == QLatin1String("060030") ? 79512000.0 : 79513000.0, 1}});
        ComposeParts();
        QFETCH(int, z);
        QCOMPARE(int(ConstructionRecord.K_Z_MASS), z);
        QCOMPARE(PartsList.KB_ZUS[0], QStringLiteral("500; Z=%1").arg(z));
        QFETCH(QString, zInch);
        QVERIFY2(PartsList.KB_ZUS_I[0].endsWith("; Z=" + zInch), qPrintable(PartsList.KB_ZUS_I[0]));
        QVERIFY(qAbs(PartsList.KB_GEW[0] - 11.0) < 1e-9);
        // The supplement's digits are the number the messages name.
        QCOMPARE(QString::fromLatin1(CalcGlobals.DisplayPartNumber, 6), digits);
    }

    // A rod without length is dropped with its quantity; the rows behind it
    // move up once and nothing is listed twice.
    void rodWithoutLengthDropped_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pending");
        QTest::newRow("length 0 dropped") << 0 << 2 << 2844;
        QTest::newRow("length -1 dropped") << -1 << 2 << 2844;
        QTest::newRow("length 0 dropped, imperial") << 0 << 2 << 2845;
        QTest::newRow("length 1 kept") << 1 << 3 << 2844;
        QTest::newRow("length 1 kept, imperial") << 1 << 3 << 2845;
    }
    void rodWithoutLengthDropped() {
        QFETCH(int, length);
        QFETCH(int, rows);
        QFETCH(int, pending);
        SharedCatalogue();
        CalcGlobals.RodLengths[0] = length;
        CalcGlobals.MessageNumber = int16_t(pending);
        Chain({{11012100, 1}, {29112000, 7}, {66012000, 3}});
        ComposeParts();
        QCOMPARE(int(PartsList.RowCount), rows);
        QCOMPARE(PartsList.KB_BTL_8[0], 11012100);
        QCOMPARE(PartsList.KB_ANZ[0], int16_t(1));
        const int rod = rows == 2 ? 1 : 2;
        QCOMPARE(PartsList.KB_BTL_8[rod], 66012000);
        QCOMPARE(PartsList.KB_ANZ[rod], int16_t(3));
        QCOMPARE(PartsList.KB_BTL_8[rows], 0);
        QCOMPARE(ItemPart(rows + 1), QStringLiteral("00000000 "));
        QCOMPARE(int(CalcGlobals.MessageNumber), rows == 2 ? 0 : pending);
        // The chain's last place is left empty, its quantity too.
        QCOMPARE(ConstructionRecord.K_ANZ[29], int16_t(0));
        // Every part was found in the catalogue.
        QCOMPARE(int(CalcGlobals.TableStatus), 0);
        if (rows == 3) {
            QCOMPARE(ItemPart(2), QStringLiteral("29112000 "));
            QCOMPARE(ItemDim(2), QStringLiteral("0001 "));
            QCOMPARE(ConstructionRecord.K_RESTLAENGE_1, 1.0);
        }
    }

    // One rule each: the bridge item, the article with its suffixes, the
    // dimension texts, the weight and the clamp number the row leaves.
    void singleRules_data() {
        QTest::addColumn<QList<int>>("chain");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("row");        // the row under test, 1-based
        QTest::addColumn<QString>("bridge"); // "": not checked
        QTest::addColumn<QString>("dimension");
        QTest::addColumn<QString>("extra");
        QTest::addColumn<QString>("zus");
        QTest::addColumn<QString>("zusI");
        QTest::addColumn<double>("weight");  // below 0: not checked
        QTest::addColumn<int>("rslNrn");     // below 0: not checked
        const QString plain = "SHHAESBS", ptfeX = "SHHAESXS";
        QTest::newRow("290 +3 with PTFE and 7 X") << QList<int>{29012000} << ptfeX << "ptfe" << 1 << "29002000 " << "0053 " << "290120" << "" << "" << 1.0 << -1;
        QTest::newRow("290 without PTFE") << QList<int>{29012000} << ptfeX << "" << 1 << "29002000 " << "0050 " << "290120" << "" << "" << 1.0 << -1;
        QTest::newRow("161 +3 with PTFE and 7 X") << QList<int>{16112000} << ptfeX << "ptfe" << 1 << "16102000 " << "0073 " << "161120" << "" << "" << 1.0 << -1;
        QTest::newRow("161 PTFE, 7 not X") << QList<int>{16112000} << plain << "ptfe" << 1 << "16102000 " << "0070 " << "161120" << "" << "" << 1.0 << -1;
        QTest::newRow("290 -PS above group 19") << QList<int>{29012000} << ptfeX << "ptfe,group20" << 1 << "" << "" << "290120-PS" << "" << "" << 1.0 << -1;
        QTest::newRow("290 no -PS at group 19") << QList<int>{29012000} << ptfeX << "ptfe,group19" << 1 << "" << "" << "290120" << "" << "" << 1.0 << -1;
        QTest::newRow("290 no -PS with 7 F") << QList<int>{29012000} << "SHHAESFS" << "ptfe,group20" << 1 << "" << "" << "290120" << "" << "" << 1.0 << -1;
        QTest::newRow("671 length") << QList<int>{67112000} << plain << "" << 1 << "67102000 " << "0300 " << "671120" << "300" << "11.8" << 1.0 << -1;
        QTest::newRow("279 cut length") << QList<int>{27912000} << plain << "" << 1 << "" << "" << "279120" << "L=111" << "L=4.4" << 1.0 << -1;
        QTest::newRow("209 weight by length") << QList<int>{20912000} << plain << "" << 1 << "" << "" << "209120" << "111" << "4.4" << 1.444 << -1;
        QTest::newRow("769 one-way guide") << QList<int>{76910001} << plain << "" << 1 << "76910001 " << "0150 " << "769100" << "b=150" << "b=5.9" << 6.0 << -1;
        QTest::newRow("769 with the clamp's number") << QList<int>{49201100, 76920001} << plain << "special" << 2 << "76920001 " << "0150 " << "769200" << "492011S; b=150" << "492011S; b=5.9" << 6.0 << -1;
        // Type 790 itself is no width part: its own weight, no text.
        QTest::newRow("790 no width") << QList<int>{79012000} << plain << "" << 1 << "" << "" << "790120" << "" << "" << 1.0 << -1;
        // Only a 769 of digit 4 '2' names the clamp: a clevis of size 20 none.
        QTest::newRow("610 of size 20: no text") << QList<int>{61020000} << plain << "" << 1 << "61010000 " << "0050 " << "610200" << "(none)" << "(none)" << 1.0 << -1;
        QTest::newRow("791 width") << QList<int>{79112000} << plain << "" << 1 << "" << "" << "791120" << "500" << "19.7" << 3.0 << -1;
        QTest::newRow("78 profile text") << QList<int>{78012000} << plain << "" << 1 << "" << "" << "780120" << "HEB 200" << "HEB 200" << 1.0 << -1;
        QTest::newRow("63 imperial text ends at character 10") << QList<int>{63013000} << plain << "imperial" << 1 << "" << "" << "63013I" << "1IN  \"" << "1IN  \"" << 0.2 << -1;
        QTest::newRow("63 imperial text") << QList<int>{63012000} << plain << "imperial" << 1 << "" << "" << "63012I" << "3/4IN\"" << "3/4IN\"" << 0.2 << -1;
        QTest::newRow("49 +2 with 1 D, 4 R, PTFE") << QList<int>{49201100} << "DHHRESBS" << "ptfe" << 1 << "49201100 " << "0122 " << "" << "" << "" << 3.5 << 49201100;
        QTest::newRow("49 without PTFE") << QList<int>{49201100} << "DHHRESBS" << "" << 1 << "49201100 " << "0120 " << "" << "" << "" << 3.5 << 49201100;
        QTest::newRow("49 00 leaves the clamp number") << QList<int>{49001100} << plain << "" << 1 << "49001100 " << "0150 " << "490011" << "" << "" << 3.5 << 0;
        QTest::newRow("410 S for a special diameter") << QList<int>{41012000} << plain << "special" << 1 << "41012000 " << "0090 " << "410120S" << "" << "" << 3.5 << 41012000;
        QTest::newRow("410 standard diameter") << QList<int>{41012000} << plain << "" << 1 << "41012000 " << "0090 " << "410120" << "" << "" << 3.5 << 41012000;
        QTest::newRow("clamp heavy duty") << QList<int>{42012007} << plain << "hd" << 1 << "" << "" << "420120-HD" << "" << "" << 3.5 << 42012007;
        QTest::newRow("clamp CN") << QList<int>{45012000} << plain << "cn" << 1 << "" << "" << "4512CN" << "" << "" << 3.5 << -1;
        QTest::newRow("clamp nuclear CN") << QList<int>{45012000} << plain << "cn,nuclear" << 1 << "" << "" << "45120K" << "" << "" << 3.5 << -1;
        QTest::newRow("38 riser clamp number") << QList<int>{38012000} << "SHVYESBS" << "" << 1 << "38002000 " << "0090 " << "380120" << "" << "" << 6.5 << 38012000;
        QTest::newRow("37 dynamic clamp number") << QList<int>{37012000} << plain << "" << 1 << "37002000 " << "0090 " << "370120" << "" << "" << 4.0 << 37012000;
        QTest::newRow("36 TA: special, 4 F, hot") << QList<int>{36090302} << "SHHFESBS" << "special,hot" << 1 << "" << "" << "360902STA-LG07" << "" << "" << 4.0 << -1;
        QTest::newRow("36 no TA at 350") << QList<int>{36090302} << "SHHFESBS" << "special" << 1 << "" << "" << "360902S-LG07" << "" << "" << 4.0 << -1;
        QTest::newRow("36 no TA for a standard diameter") << QList<int>{36090302} << "SHHFESBS" << "hot" << 1 << "" << "" << "360902-LG07" << "" << "" << 4.0 << 36090302;
        // The dynamic load group of a 36 clamp: the support's (1 is one),
        // the clamp's load group when the support has none.
        QTest::newRow("36 of dynamic group 1") << QList<int>{36090302} << plain << "dyn1" << 1 << "" << "" << "360902-LG01" << "D100.0,LG01" << "D3.9,LG01" << 4.0 << -1;
        QTest::newRow("36 without a dynamic group") << QList<int>{36090302} << plain << "dyn0" << 1 << "" << "" << "360902-LG12" << "D100.0,LG12" << "D3.9,LG12" << 4.0 << -1;
        // Full rods on the imperial catalogue: 3000 is listed as 3657 (144.0
        // in), 2000 as 2438 (96.0 in), weighed by that length at 1 kg/m.
        QTest::newRow("3000 rod") << QList<int>{66012700} << plain << "" << 1 << "66002700 " << "3000 " << "660127" << "3000" << "118.1" << 3.0 << -1;
        QTest::newRow("3000 rod, imperial") << QList<int>{66012700} << plain << "imperial" << 1 << "66002700 " << "3657 " << "66012I" << "3657" << "144.0" << 3.657 << -1;
        QTest::newRow("2000 rod, imperial") << QList<int>{66012500} << plain << "imperial" << 1 << "66002500 " << "2438 " << "66012I" << "2438" << "96.0" << 2.438 << -1;
        // N 40 + 0.5 x 100 x cos(asin(2 x 30 / 100)) = 40 + 40, whatever
        // clamp row was read last.
        QTest::newRow("57 bearing offset") << QList<int>{57012000} << plain << "" << 1 << "57012000 " << "0080 " << "570120" << "" << "" << 2.0 << 57012000;
        // 2 x -50 / 100 is exactly -1, still inside the arc sine: N 40 +
        // 0.5 x 100 x cos(asin(-1)) = 40 + 0, not the clamp row's height.
        QTest::newRow("57 at a ratio of exactly -1") << QList<int>{57013000} << plain << "" << 1 << "57013000 " << "0040 " << "570130" << "" << "" << 2.0 << 57013000;
        QTest::newRow("57 behind a clamp") << QList<int>{49201100, 57012000} << plain << "" << 2 << "57012000 " << "0080 " << "570120" << "" << "" << 2.0 << 57012000;
        QTest::newRow("58 rod length with 1 D, 4 R, 7 F") << QList<int>{58012000} << "DHHRESFS" << "" << 1 << "58012000 " << "0600 " << "" << "" << "" << -1.0 << 58012000;
        QTest::newRow("56 half the pipe") << QList<int>{56012000} << plain << "" << 1 << "56012000 " << "0050 " << "560120" << "" << "" << 2.0 << 56012000;
        QTest::newRow("55 keeps the clamp number") << QList<int>{55012000} << plain << "" << 1 << "55012000 " << "0050 " << "550120" << "" << "" << 2.0 << 0;
    }
    void singleRules() {
        QFETCH(QList<int>, chain);
        QFETCH(QString, name);
        QFETCH(QString, flags);
        QFETCH(int, row);
        SharedCatalogue();
        Arrangement(qPrintable(name));
        TConstructionRecord& k = ConstructionRecord;
        TCalcGlobals& g = CalcGlobals;
        const QStringList f = flags.split(',', Qt::SkipEmptyParts);
        k.K_PTFE_KZ = f.contains("ptfe");
        k.K_HD_KZ = f.contains("hd");
        k.K_KERNTECH = f.contains("nuclear");
        k.K_KATA_KZ = f.contains("imperial");
        g.CNStandard = f.contains("cn");
        PutText(k.K_RDM_KZ, f.contains("special") ? QStringLiteral("S") : QStringLiteral(" "));
        k.K_TEM = f.contains("hot") ? 351 : 350;
        g.ClampLoadGroup = f.contains("group20") ? 20 : f.contains("group19") ? 19 : 12;
        g.SecondLoadGroup = f.contains("dyn1") ? 1 : f.contains("dyn0") ? 0 : 7;
        k.K_RDM = 100;
        k.K_BREITE = 500;
        k.K_BREITE_2 = 480;
        k.K_RESTLAENGE_1 = 111;
        k.K_KLM_TXT = QStringLiteral("HEB 200");
        g.ArmWidth = 150;
        g.SegmentHeights[0] = 200;
        g.RodLengths[0] = 600;
        PgrsrlRecord.RSL_E = -85;  // a clamp row the selection read last
        Chain({});
        for (int i = 0; i < chain.size(); ++i) {
            k.K_BTL_8[i] = chain[i];
            k.K_ANZ[i] = 1;
        }
        ComposeParts();
        QCOMPARE(int(PartsList.RowCount), int(chain.size()));
        const int r = row - 1;
        // Every row: its position, its product number and the support's width.
        QCOMPARE(int(PartsList.KB_POS[r]), row);
        QCOMPARE(int(PartsList.KB_BTL_8[r]), chain[r]);
        QCOMPARE(int(PartsList.KB_BREITE[r]), 500);
        QFETCH(QString, bridge);
        QFETCH(QString, dimension);
        if (!bridge.isEmpty()) {
            QCOMPARE(ItemPart(row), bridge);
            QCOMPARE(ItemDim(row), dimension);
        }
        QFETCH(QString, extra);
        if (!extra.isEmpty())
            QCOMPARE(PartsList.KB_BTL_ZUS[r], extra);
        QFETCH(QString, zus);
        QFETCH(QString, zusI);
        if (zus == QLatin1String("(none)")) {
            QCOMPARE(PartsList.KB_ZUS[r], QString());
            QCOMPARE(PartsList.KB_ZUS_I[r], QString());
        } else if (!zus.isEmpty()) {
            QCOMPARE(PartsList.KB_ZUS[r], zus);
            QCOMPARE(PartsList.KB_ZUS_I[r], zusI);
        }
        QFETCH(double, weight);
        if (weight >= 0)
            QVERIFY2(qAbs(PartsList.KB_GEW[r] - weight) < 1e-9, qPrintable(QString::number(PartsList.KB_GEW[r])));
        QFETCH(int, rslNrn);
        if (rslNrn >= 0)
            QCOMPARE(k.K_RSL_NRN, double(rslNrn));
    }

    // The variant prices: a 290 part above group 19 is priced as its "-PS"
    // article; the widths of the parts above 790 go to the second width.
    void variantPricesAndWidths() {
        SharedCatalogue();
        Arrangement("SHHAESXS");
        ConstructionRecord.K_PTFE_KZ = true;
        ConstructionRecord.K_BREITE = 500;
        ConstructionRecord.K_BREITE_2 = 480;
        Chain({{29012000, 1}, {79112000, 1}, {79412000, 1}});
        CalcGlobals.ClampLoadGroup = 20;
        ComposeParts();
        QCOMPARE(PartsList.KB_PRS[0], 55.0);
        QVERIFY(!CalcGlobals.PriceSuffixRequest);
        QCOMPARE(int(PartsList.KB_BREITE_2[1]), 480);
        QCOMPARE(int(PartsList.KB_BREITE_2[2]), 350);
        CalcGlobals.ClampLoadGroup = 19;
        ComposeParts();
        QCOMPARE(PartsList.KB_PRS[0], 50.0);
        // Letter 7 'F' takes no "-PS" variant either.
        CalcGlobals.ClampLoadGroup = 20;
        Arrangement("SHHAESFS");
        ComposeParts();
        QCOMPARE(PartsList.KB_PRS[0], 50.0);
        Arrangement("SHHAESXS");

        // A type-49 slide clamp with PTFE on a support of letter 4 'R' is
        // priced as its "-SP" variant; the same clamp of another letter is not.
        Chain({{49201100, 1}});
        Arrangement("DHHRESBS");
        ComposeParts();
        QCOMPARE(PartsList.KB_PRS[0], 35.0);
        QVERIFY(!CalcGlobals.PriceSuffixRequest);
        Arrangement("DHHAESBS");
        ComposeParts();
        QCOMPARE(PartsList.KB_PRS[0], 31.0);
    }

    // A type-41 clamp of a horizontal support adds the pipe's half diameter
    // as one more bridge item.
    void horizontalClampItem_data() {
        QTest::addColumn<int>("horTyp");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("dimension");
        QTest::newRow("horizontal type 1") << 1 << "80000000 " << "0057 ";
        QTest::newRow("type 2: no item") << 2 << "00000000 " << "0000 ";
    }
    void horizontalClampItem() {
        SharedCatalogue();
        QFETCH(int, horTyp);
        ConstructionRecord.K_HOR_TYP = int16_t(horTyp);
        ConstructionRecord.K_RDM = 114.3;  // 57.15 rounds to 57
        Chain({{41012000, 1}});
        ComposeParts();
        QTEST(ItemPart(2), "part");
        QTEST(ItemDim(2), "dimension");
        QCOMPARE(ItemPos(2), QStringLiteral("00 "));
        QCOMPARE(int(PartsList.RowCount), 1);
    }

    // A lengthless 290 part clears the pending 2641 of its length; one with
    // a length keeps it.
    void lengthlessPlateClearsItsMessage_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("message");
        QTest::newRow("no length") << 0 << 0;
        QTest::newRow("length 5") << 5 << 2641;
    }
    void lengthlessPlateClearsItsMessage() {
        SharedCatalogue();
        QFETCH(int, length);
        CalcGlobals.RodLengths[0] = length;
        CalcGlobals.MessageNumber = 2641;
        Chain({{29012000, 1}});
        ComposeParts();
        QTEST(int(CalcGlobals.MessageNumber), "message");
        QCOMPARE(int(PartsList.RowCount), 1);
    }

    // A dynamic clamp is the support's clamp: its number and weight.
    void dynamicClampIsTheSupportsClamp() {
        SharedCatalogue();
        Chain({{35003000, 1}, {36090302, 1}});
        ComposeParts();
        QCOMPARE(ConstructionRecord.K_RSL_NRN, 36090302.0);
        QCOMPARE(ConstructionRecord.K_RSL_GEW, 4.0);
    }

    // A galvanised clamp: the suffix and the flag of the row, only when the
    // support asks for galvanised parts.
    void galvanisedClamp_data() {
        QTest::addColumn<bool>("galvanised");
        QTest::newRow("asked") << true;
        QTest::newRow("not asked") << false;
    }
    void galvanisedClamp() {
        QFETCH(bool, galvanised);
        SharedCatalogue();
        Arrangement("SHHAESBS");  // no width suffix
        ConstructionRecord.K_HD_KZ = galvanised;
        Chain({{42012007, 1}});
        ComposeParts();
        QCOMPARE(PartsList.KB_BTL_ZUS[0], galvanised ? QStringLiteral("420120-HD") : QStringLiteral("420120"));
        QCOMPARE(bool(PartsList.KB_HD_KZ[0]), galvanised);
    }

    // The diameter in a dynamic clamp's text has one decimal and at least
    // three characters: a 6 mm pipe is "6.0", no blank before it.
    void dynamicClampDiameterText() {
        SharedCatalogue();
        ConstructionRecord.K_RDM = 6;
        CalcGlobals.SecondLoadGroup = 7;
        Chain({{36090302, 1}});
        ComposeParts();
        QCOMPARE(PartsList.KB_ZUS[0], QStringLiteral("D6.0,LG07"));
    }

    // A missing dynamic row has no height in the bridge item and no weight.
    void missingDynamicRow() {
        SharedCatalogue();
        Chain({{36090302, 1}, {36090399, 1}});
        ComposeParts();
        QCOMPARE(ItemDim(1), QStringLiteral("0090 "));
        QCOMPARE(ItemDim(2), QStringLiteral("0000 "));
        QCOMPARE(PartsList.KB_BTL[1], QStringLiteral("999999"));
        QCOMPARE(ConstructionRecord.K_RSL_GEW, 0.0);
    }

    void missingRowListedAsUnreadable() {
        SharedCatalogue();
        Chain({{11012100, 1}, {11013100, 1}, {49201100, 1}, {42012099, 1}});
        ComposeParts();
        // The missing clamp keeps nothing of the clamp read before it.
        QCOMPARE(PartsList.KB_BTL[3], QStringLiteral("999999"));
        QCOMPARE(PartsList.KB_GEW[3], 0.0);
        QCOMPARE(ConstructionRecord.K_RSL_GEW, 0.0);
        QCOMPARE(ItemDim(4), QStringLiteral("0000 "));
        QCOMPARE(ItemDim(3), QStringLiteral("0120 "));
        QCOMPARE(PartsList.RowCount, int16_t(4));
        QCOMPARE(PartsList.KB_BTL[1], QStringLiteral("999999"));
        QCOMPARE(PartsList.KB_GEW[1], 0.0);
        QCOMPARE(PartsList.KB_PRS[1], 0.0);
        QCOMPARE(int(PartsList.KB_WST[1]), 0);
        QCOMPARE(int(PartsList.KB_WST[3]), 0);
        QCOMPARE(PartsList.KB_BTL[0], QStringLiteral("110121"));
        // The catalogue numbers of the record read last name no part.
        for (const char* n : {PgstatRecord.STA_L_NR, PgstatRecord.STA_L_NR_K, PgrsrlRecord.RSL_L_NR,
                              PgrsrlRecord.RSL_L_NR_K, PgcoolRecord.CLD_L_NR, PgdynaRecord.DYN_L_NR})
            QCOMPARE(FieldText(n, 6), QStringLiteral("999999"));
    }

    // The list holds 24 rows. A lengthless rod 291 first is dropped before
    // the rows are counted: 25 entries with it fit; of a full chain of 30
    // the 29 left do not, and the last place is emptied, quantity too.
    void chainLongerThanTheListFails_data() {
        QTest::addColumn<int>("parts");
        QTest::addColumn<bool>("rod");
        QTest::addColumn<bool>("fails");
        QTest::newRow("24") << 24 << false << false;
        QTest::newRow("25") << 25 << false << true;
        QTest::newRow("25 with a lengthless rod") << 25 << true << false;
        QTest::newRow("30 with a lengthless rod") << 30 << true << true;
    }
    void chainLongerThanTheListFails() {
        QFETCH(int, parts);
        QFETCH(bool, rod);
        QFETCH(bool, fails);
        SharedCatalogue();
        CalcGlobals.RodLengths[0] = 0;
        Chain({});
        for (int i = 0; i < parts; ++i) {
            ConstructionRecord.K_BTL_8[i] = rod && i == 0 ? 29112000 : 11012100;
            ConstructionRecord.K_ANZ[i] = int16_t(i + 1);
        }
        bool failed = false;
        try {
            ComposeParts();
        } catch (const EngineStepError& e) {
            failed = true;
            QCOMPARE(e.Number(), MsgPartsListFull);
        }
        QCOMPARE(failed, fails);
        if (!fails) {
            QCOMPARE(int(PartsList.RowCount), 24);
            QCOMPARE(PartsList.KB_ANZ[23], int16_t(rod ? 25 : 24));
        }
        if (rod) {
            // Every entry moved up one place with its quantity.
            QCOMPARE(ConstructionRecord.K_BTL_8[0], 11012100.0);
            QCOMPARE(int(ConstructionRecord.K_ANZ[0]), 2);
            QCOMPARE(int(ConstructionRecord.K_ANZ[parts - 2]), parts);
            QCOMPARE(ConstructionRecord.K_BTL_8[parts - 1], 0.0);
            QCOMPARE(int(ConstructionRecord.K_ANZ[parts - 1]), 0);
        }
    }

    // Dynamic units: the load-group text of a dynamic clamp, the half-time
    // travels of type 32, the lengthened 300 and the width weight of 34.
    void dynamicDesignation_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("nuclear");
        QTest::addColumn<bool>("cn");
        QTest::addColumn<QString>("article");
        QTest::addColumn<QString>("extra");
        QTest::addColumn<QString>("zus");
        QTest::addColumn<QString>("zusI");
        QTest::addColumn<double>("weight");
        QTest::addColumn<double>("price");
        QTest::newRow("36") << 36090302 << false << false << "360902" << "360902S-LG07" << "D114.3,LG07" << "D4.5,LG07" << 4.0 << 48.0;
        QTest::newRow("36 nuclear") << 36090302 << true << false << "36090K" << "36090KS" << "D114.3,LG07" << "D4.5,LG07" << 4.0 << 66.0;
        QTest::newRow("36 nuclear CN") << 36090302 << true << true << "36090K" << "36090KS" << "D114.3,LG07" << "D4.5,LG07" << 4.0 << 66.0;
        QTest::newRow("36 CN") << 36090302 << false << true << "3609CN" << "3609CNS-LG07" << "D114.3,LG07" << "D4.5,LG07" << 4.0 << 48.0;
        QTest::newRow("32") << 32012000 << false << false << "320120" << "320120" << "t1/2=12.3/124.0" << "t1/2=0.50/5.00" << 4.0 << 0.0;
        QTest::newRow("300 of last digit 1: not lengthened") << 30012001 << false << false << "300120" << "300120" << "" << "" << 4.0 << 0.0;
        QTest::newRow("300 lengthened") << 30012002 << false << false << "300120" << "300120" << "(250)" << "(9.8)" << 4.75 << 0.0;
        QTest::newRow("34 width") << 34012000 << false << false << "340120" << "340120" << "" << "" << 5.2 << 0.0;
    }
    void dynamicDesignation() {
        QFETCH(int, product);
        QFETCH(bool, nuclear);
        QFETCH(bool, cn);
        SharedCatalogue();
        TConstructionRecord& k = ConstructionRecord;
        k.K_KERNTECH = nuclear;
        CalcGlobals.CNStandard = cn;
        k.K_RDM = 114.3;
        PutText(k.K_RDM_KZ, QStringLiteral("S"));
        k.K_WEG_Y_N = 12.34;
        k.K_WEG_X_N = 123.6;
        k.K_RESTLAENGE_2 = 250;
        k.K_BREITE = 400;
        CalcGlobals.SecondLoadGroup = 7;
        CalcGlobals.ClampLoadGroup = 12;
        Chain({{double(product), 1}});
        ComposeParts();
        QTEST(PartsList.KB_BTL[0], "article");
        QTEST(PartsList.KB_BTL_ZUS[0], "extra");
        QTEST(PartsList.KB_ZUS[0], "zus");
        QTEST(PartsList.KB_ZUS_I[0], "zusI");
        QCOMPARE(PartsList.KB_KBEZ[0].trimmed(), QString::number(product).left(2));
        QFETCH(double, weight);
        QVERIFY2(qAbs(PartsList.KB_GEW[0] - weight) < 1e-9, qPrintable(QString::number(PartsList.KB_GEW[0])));
        QTEST(PartsList.KB_PRS[0], "price");
        QCOMPARE(int(PartsList.KB_WST[0]), cn ? 32 : 30);
    }

    // The half-time travels of type 32 to three significant digits (123.6:
    // 124.0; 12.34: 12.3), in inches to one (4.87: 5.00; 0.486: 0.50); a
    // last digit above 1 lengthens type 300 only.
    void halfTimeTravelsToThreeDigits() {
        SharedCatalogue();
        ConstructionRecord.K_WEG_Y_N = 123.6;
        ConstructionRecord.K_WEG_X_N = 12.34;
        CalcGlobals.SecondLoadGroup = 7;
        CalcGlobals.ClampLoadGroup = 12;
        ConstructionRecord.K_RESTLAENGE_2 = 250;
        Chain({{32012002, 1}});
        ComposeParts();
        QCOMPARE(PartsList.KB_ZUS[0], QStringLiteral("t1/2=124.0/12.3"));
        QCOMPARE(PartsList.KB_ZUS_I[0], QStringLiteral("t1/2=5.00/0.50"));
    }

    // Cold-support products: weights by height, dimension texts, the
    // nuclear length text of type 58, the bridge number from the article.
    void coldDesignation_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("nuclear");
        QTest::addColumn<QString>("article");
        QTest::addColumn<QString>("zus");
        QTest::addColumn<double>("weight");
        QTest::addColumn<QString>("bridge");
        QTest::addColumn<QString>("dimension");
        QTest::newRow("58") << 58012000 << false << "580120" << "L= 560" << 3.5 << "58012000 " << "0200 ";
        QTest::newRow("58 nuclear") << 58012000 << true << "58012K" << "L= 150" << 3.5 << "58012000 " << "0200 ";
        QTest::newRow("541 interpolated") << 54112000 << false << "541120" << "R= 200" << 4.0 << "54112000 " << "0200 ";
        QTest::newRow("532 width") << 53212000 << false << "532120" << "S=400" << 2.0 << "53212000 " << "0200 ";
    }
    void coldDesignation() {
        QFETCH(int, product);
        QFETCH(bool, nuclear);
        SharedCatalogue();
        Arrangement("CHHRESAS");
        TConstructionRecord& k = ConstructionRecord;
        k.K_KERNTECH = nuclear;
        k.K_RDM = 100;
        k.K_BREITE = 400;
        k.K_BREITE_I = QStringLiteral(" 15.75 ");
        CalcGlobals.SegmentHeights[0] = 200;
        CalcGlobals.RodLengths[0] = 600;
        Chain({{double(product), 1}});
        ComposeParts();
        QTEST(PartsList.KB_BTL[0], "article");
        QCOMPARE(PartsList.KB_KBEZ[0].trimmed(), QString::number(product).left(3));
        QCOMPARE(int(PartsList.KB_WST[0]), 40);
        // Priced as the article listed, the nuclear one for a nuclear support.
        QCOMPARE(PartsList.KB_PRS[0], product != 58012000 ? 0.0 : nuclear ? 77.0 : 38.0);
        QTEST(PartsList.KB_ZUS[0], "zus");
        // The inch texts: the width as typed, lengths in inch.
        if (product == 53212000)
            QCOMPARE(PartsList.KB_ZUS_I[0], QStringLiteral("S=15.75"));
        if (product == 54112000)
            QCOMPARE(PartsList.KB_ZUS_I[0], QStringLiteral("R=7.9"));
        QFETCH(double, weight);
        QVERIFY2(qAbs(PartsList.KB_GEW[0] - weight) < 1e-9, qPrintable(QString::number(PartsList.KB_GEW[0])));
        QTEST(ItemPart(1), "bridge");
        QTEST(ItemDim(1), "dimension");
        QCOMPARE(ConstructionRecord.K_RSL_GEW, 2.0);
    }

    // A chain of demo products: every value worked out from the demo rows
    // (rod weight = length x weight per metre, the clamp's first width step).
    void demoChain() {
        DemoCatalogue demo;
        if (!demo.present())
            QSKIP("the demo catalogue is not built");
        ResetCalcState();
        Arrangement("SHHAESBH");
        CalcGlobals.RodLengths.fill(999999);
        Chain({{73013000, 1}, {60013000, 1}, {21013318, 1}, {66013400, 1}, {42090302, 1}, {63013000, 5}});
        ComposeParts();
        QCOMPARE(int(PartsList.RowCount), 6);
        QCOMPARE(PartsList.KB_BTL[2], QStringLiteral("210133"));
        QCOMPARE(PartsList.KB_PRS[2], 100.0);
        QVERIFY(qAbs(PartsList.KB_GEW[3] - 1500 * 0.001 * 1.4) < 1e-9);
        QCOMPARE(PartsList.KB_ZUS[3], QStringLiteral("1500"));
        QCOMPARE(PartsList.KB_BTL_ZUS[4], QStringLiteral("490902-00"));
        QCOMPARE(PartsList.KB_GEW[4], 2.5);
        QCOMPARE(PartsList.KB_ANZ[5], int16_t(5));
        QCOMPARE(ItemPart(3), QStringLiteral("21003318 "));
        QCOMPARE(ItemPart(5), QStringLiteral("49090200 "));
        QCOMPARE(ItemDim(5), QStringLiteral("0232 "));
        QCOMPARE(ItemDim(4), QStringLiteral("1500 "));
    }

    // The total height in feet and inches drops the trailing zeros of the
    // inches (1511.3 mm = 59.5 in, 1219.2 mm = 48 in, 1504.95 mm = 59.25 in).
    void feetAndInchesWithoutTrailingZeros_data() {
        QTest::addColumn<double>("height");
        QTest::addColumn<QString>("text");
        QTest::newRow("59.5 in") << 1511.3 << "4'-11.5\"    ";
        QTest::newRow("48 in") << 1219.2 << "4'-0\"       ";
        QTest::newRow("59.25 in") << 1504.95 << "4'-11.25\"   ";
    }
    void feetAndInchesWithoutTrailingZeros() {
        QFETCH(double, height);
        QFETCH(QString, text);
        SharedCatalogue();
        ConstructionRecord.K_HOEHE_GES = height;
        Chain({{11012100, 1}});
        ComposeParts();
        QCOMPARE(QString::fromLatin1(BridgeRecords.TotalHeightFeetInch, 12), text);
    }

    void textRecord() {
        SharedCatalogue();
        Arrangement("SHHREXBH");
        TConstructionRecord& k = ConstructionRecord;
        k.K_HOEHE_GES = 1500;
        k.K_DAEMMST = 100;
        k.K_BREITE = 300;
        k.K_RDM = 114.3;
        k.K_BLOCKIER = 55;
        CalcGlobals.MainUnitNumber = 11012100;
        Chain({{11012100, 1}});
        ComposeParts();
        const TBridgeRecords& b = BridgeRecords;
        QCOMPARE(QString::fromLatin1(b.ArrangementLetter, 2), QStringLiteral("R "));
        QCOMPARE(QString::fromLatin1(b.TotalHeight, 7), QStringLiteral("1500   "));
        QCOMPARE(QString::fromLatin1(b.TotalHeightFeetInch, 12), QStringLiteral("4'-11.055\"  "));
        QCOMPARE(b.Integers[0], 100);
        QCOMPARE(b.Integers[1], 300);
        QCOMPARE(b.Integers[9], 114);
        QCOMPARE(b.Integers[10], 55);
        QCOMPARE(k.K_STA_NRN, 11012100.0);
        // The rotation flags of the support go with it.
        k.K_DREHUNG_AS = true;
        k.K_DREHUNG_S = true;
        ComposeParts();
        QVERIFY(b.DrehungAs && b.DrehungS && !b.DrehungStahl && !b.DrehungKh);
        k.K_DREHUNG_AS = k.K_DREHUNG_S = false;
        k.K_DREHUNG_STAHL = k.K_DREHUNG_KH = true;
        ComposeParts();
        QVERIFY(!b.DrehungAs && !b.DrehungS && b.DrehungStahl && b.DrehungKh);
        Arrangement("SHHAEXBH");
        ComposeParts();
        QCOMPARE(QString::fromLatin1(b.ArrangementLetter, 2), QStringLiteral("E "));
    }

    // The support's total chain height is the component step's, not the sum
    // of the bridge dimensions (which counts a rod's stock length and the
    // clamp's offset again): a chain 700 mm high of parts whose dimensions
    // sum to 1500 + 120 + 60 stores 700.
    void totalChainHeight() {
        SharedCatalogue();
        Arrangement("SHHAESBX");
        CalcGlobals.ChainHeight = 700;
        Chain({{11012100, 1}, {49201100, 1}, {60012000, 1}});
        ComposeParts();
        QCOMPARE(int(ConstructionRecord.K_GES_E_MASS), 700);
        CalcGlobals.ChainHeight = 0;
        ComposeParts();
        QCOMPARE(int(ConstructionRecord.K_GES_E_MASS), 0);
    }

    // A negative length (a rod the chain overran, here the cold support's
    // rod under letters 1 'D', 4 'R', 7 'F') is no length in the bridge
    // item: "0000", never "0-50"; a positive one stays.
    void negativeItemDimension_data() {
        QTest::addColumn<int>("rod");
        QTest::addColumn<QString>("dimension");
        QTest::newRow("-50") << -50 << "0000 ";
        QTest::newRow("-1") << -1 << "0000 ";
        QTest::newRow("0") << 0 << "0000 ";
        QTest::newRow("7") << 7 << "0007 ";
    }
    void negativeItemDimension() {
        QFETCH(int, rod);
        SharedCatalogue();
        Arrangement("DHHRESFS");
        ConstructionRecord.K_RDM = 100;
        CalcGlobals.SegmentHeights[0] = 200;
        CalcGlobals.RodLengths[0] = rod;
        Chain({{58012000, 1}});
        ComposeParts();
        QTEST(ItemDim(1), "dimension");
    }

    void hangerLayoutDoublesRods() {
        SharedCatalogue();
        CompositionValues.HangerLayout = 1;
        Chain({{11012100, 1}, {66012000, 2}});
        ComposeParts();
        QCOMPARE(PartsList.KB_ANZ[0], int16_t(1));
        QCOMPARE(PartsList.KB_ANZ[1], int16_t(4));
        QCOMPARE(CompositionValues.HangerLayout, 0);  // one selection only
    }

    // The program's driver composes with this unit; a scripted road ends
    // with the chain listed.
    void driverComposes() {
        QVERIFY(bool(DefaultSelectionSteps().ComposeParts));
        SharedCatalogue();
        ScriptedSteps steps;
        steps.name = QStringLiteral("SHHRESBS");  // a support without a main unit
        steps.Install();
        SelectionSteps s = CurrentSelectionSteps();
        s.SelectComponents = [] { Chain({{11012100, 1}, {66012000, 2}}); };
        s.ComposeParts = DefaultSelectionSteps().ComposeParts;
        SetSelectionSteps(s);
        DemoSupport(0, 0);
        CalcGlobals.RodLengths.fill(999999);
        ScriptedSelectionUi ui;
        SelectSupport(ui, 0, 0, false, false);
        QCOMPARE(PartsList.RowCount, int16_t(2));
        QCOMPARE(PartsList.KB_BTL[1], QStringLiteral("660120"));

        // A chain the list cannot hold fails the selection with its message.
        s.SelectComponents = [] {
            Chain({});
            for (int i = 0; i < 25; ++i) {
                ConstructionRecord.K_BTL_8[i] = 11012100;
                ConstructionRecord.K_ANZ[i] = 1;
            }
        };
        SetSelectionSteps(s);
        DemoSupport(0, 0);
        CalcGlobals.RodLengths.fill(999999);
        QCOMPARE(SelectSupport(ui, 0, 0, false, false), 6);
        QCOMPARE(int(ConstructionRecord.K_FMT_NR), MsgPartsListFull);
        SetSelectionSteps(DefaultSelectionSteps());
    }
};

QTEST_GUILESS_MAIN(tst_ComposeParts)
#include "tst_ComposeParts.moc"
