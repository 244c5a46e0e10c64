// The nuclear check of the product lookup on a catalogue whose metric and
// imperial nuclear numbers differ: it guards the number the parts list of
// the chosen catalogue will carry.
#include "SizingCatalogue.h"
#include "data/PGSTAT.h"
#include "engine/ComposeParts.h"
#include "engine/FINDBTL.h"
#include "engine/StepTools.h"

class TestNuclearNumbers : public QObject {
    Q_OBJECT
    std::unique_ptr<SizingCatalogue> cat;
    ScriptedSelectionUi ui;

    void Row(int number, const char* article, const char* nuclear, const char* imperial, const char* imperialNuclear) {
        ProductRow p;
        p.number = number;
        p.article = QString::fromLatin1(article);
        p.nuclear = QString::fromLatin1(nuclear);
        p.imperial = QString::fromLatin1(imperial);
        p.imperialNuclear = QString::fromLatin1(imperialNuclear);
        cat->Product(p);
    }

private slots:
    void initTestCase() {
        cat = std::make_unique<SizingCatalogue>();
        // Metric nuclear number only.
        Row(60013000, "013000", "K13000", "I13000", "");
        // Imperial nuclear number only.
        Row(60014000, "014000", "", "I14000", "J14000");
        // A PTFE plate without nuclear numbers.
        Row(91013000, "PT1300", "", "PI1300", "");
        cat->Start();
    }
    void cleanupTestCase() { cat.reset(); }
    void init() {
        ui = ScriptedSelectionUi();
        ResetCalcState();
        SetArrangement(QStringLiteral("SHHAESBH"));
    }

    // Status 6 and message 2727 naming the article of the catalogue in use
    // (or "PTFE") when that catalogue has no nuclear number for the row;
    // the number the parts list would carry, else.
    void nuclearNumberOfTheCatalogueInUse_data() {
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<int>("wanted");
        QTest::addColumn<QString>("named");   // empty: accepted
        QTest::addColumn<QString>("listed");  // the parts list's number when accepted
        QTest::newRow("metric, metric number present") << false << 60013000 << "" << "K13000";
        QTest::newRow("metric, only the imperial number") << false << 60014000 << "014000" << "";
        QTest::newRow("imperial, only the metric number") << true << 60013000 << "I13000" << "";
        QTest::newRow("imperial, imperial number present") << true << 60014000 << "" << "J14000";
        QTest::newRow("PTFE without a number") << false << 91013000 << "PTFE" << "";
    }
    void nuclearNumberOfTheCatalogueInUse() {
        QFETCH(bool, imperial);
        QFETCH(int, wanted);
        QFETCH(QString, named);
        QFETCH(QString, listed);
        ConstructionRecord.K_KERNTECH = true;
        ConstructionRecord.K_KATA_KZ = imperial;
        SetSearchKey(wanted);
        ActiveUiScope active(ui);
        FindStaticProduct();
        QCOMPARE(SearchKeyNumber(), wanted);
        if (named.isEmpty()) {
            QCOMPARE(int(CalcGlobals.TableStatus), 0);
            QCOMPARE(int(CalcGlobals.MessageNumber), 0);
            QCOMPARE(ui.log, QStringList());
            QCOMPARE(LookupDisplayNumber(wanted), listed);
        } else {
            QCOMPARE(int(CalcGlobals.TableStatus), 6);
            QCOMPARE(int(CalcGlobals.MessageNumber), 2727);
            QCOMPARE(ui.log, QStringList{"error: " + MessageWithValues(2727, {named})});
            // The message names the article of the catalogue in use (the
            // dictionary's text holds the place for it).
            if (named != QLatin1String("PTFE"))
                QCOMPARE(FieldText(PgstatRecord.STA_L_NR).trimmed(), named);
        }
    }

    // Without a nuclear design the missing numbers do not matter.
    void ordinaryDesignIgnoresNuclearNumbers() {
        for (int wanted : {60013000, 60014000, 91013000}) {
            ResetCalcState();
            SetSearchKey(wanted);
            ActiveUiScope active(ui);
            FindStaticProduct();
            QCOMPARE(int(CalcGlobals.TableStatus), 0);
        }
        QCOMPARE(ui.log, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestNuclearNumbers)
#include "tst_NuclearNumbers.moc"
