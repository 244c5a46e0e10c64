#pragma once
// Small catalogues for the sizing tests, written row by row into a fresh
// temporary catalogue directory: load-group rows of the text table, static
// product rows with their article numbers (ordinary, nuclear, imperial and
// imperial nuclear may all differ) and their prices, plain and galvanised.
// Each test builds only the rows that make its rule decide.
#include "EngineFixture.h"
#include "platform/Database.h"

struct ProductRow {
    int number = 0;
    QString article;          // STA_L_NR
    QString nuclear;          // STA_L_NR_K
    QString imperial;         // STA_L_NR_I
    QString imperialNuclear;  // STA_L_NR_K_I
    bool galvanisable = false;  // STA_HD_KZ
};

// The empty catalogue tables are made once per test program and copied for
// every catalogue, which keeps a case's set-up to a few file copies.
class SizingCatalogue {
public:
    SizingCatalogue() {
        // The tables the catalogue module opens; the others stay away.
        const QString source = Template().path();
        for (const char* f : {"Pgstat.DB", "Pgdyna.DB", "pgrsrsl.DB", "PGCLDSTA.DB", "Temdat.DB", "Durdat.DB",
                              "Txttab.DB", "PGCURE.DB", "ABHGNR.DB"})
            QFile::copy(source + QLatin1Char('/') + QLatin1String(f), dir.file(QLatin1String(f)));
        CatalogueFixture::PointAlias(dir.path());
    }
    ~SizingCatalogue() {
        kon.reset();
        Session().Close();
    }

    // Rows are kept until Start writes them, each table in one transaction.
    void Insert(const QString& table, const QVariantMap& values) { pending.append({table, values}); }

    // Writes the rows, starts the catalogue module and opens the tables the
    // access units use.
    TDBKONST& Start() {
        {
            static int serial = 0;
            TDatabase db(QStringLiteral("SizingCatalogue%1").arg(++serial));
            db.SetDirectory(dir.path());
            db.Open();
            InTransaction(db, [&] {
                for (const auto& [table, values] : pending) {
                    TTable t(db.DatabaseName(), table);
                    t.Open();
                    t.Append();
                    for (auto it = values.cbegin(); it != values.cend(); ++it)
                        t.FieldByName(it.key()).SetValue(it.value());
                    t.Post();
                }
            });
            pending.clear();
        }
        kon = std::make_unique<TDBKONST>();
        for (TTable* t : {&kon->PGSTAT, &kon->PGDYNA, &kon->PGRSRL, &kon->PGCOOL, &kon->TempDB, &kon->DURDATDB,
                          &kon->TXTTAB, &kon->PGCURE, &kon->ABHGDB})
            t->Open();
        return *kon;
    }

    // A load-group row: kind ("LGH", "LGK", "LGA" ...), number, capacity kN.
    void Group(const char* kind, int nr, double capacity) {
        Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", kind}, {"TXT_NR", nr}, {"TXT_NUM", capacity}});
    }

    void Product(const ProductRow& p) {
        Insert(QStringLiteral("Pgstat.DB"), {{"STA_NRN", p.number},
                                             {"STA_L_NR", p.article},
                                             {"STA_L_NR_K", p.nuclear},
                                             {"STA_L_NR_I", p.imperial},
                                             {"STA_L_NR_K_I", p.imperialNuclear},
                                             {"STA_KBEZ", QString::number(p.number).left(3)},
                                             {"STA_HD_KZ", p.galvanisable}});
    }

    // A product whose four article numbers are the ordinary one with a
    // letter of their own in front ("K", "I", "J"), so a lookup under the
    // wrong column finds another price.
    void PricedProduct(int number, const QString& article, double price, double nuclearPrice = -1,
                       double galvanisedPrice = -1) {
        ProductRow p;
        p.number = number;
        p.article = article;
        p.nuclear = QStringLiteral("K") + article.left(5);
        p.imperial = QStringLiteral("I") + article.left(5);
        p.imperialNuclear = QStringLiteral("J") + article.left(5);
        p.galvanisable = galvanisedPrice >= 0;
        Product(p);
        Price(p.article, price, galvanisedPrice);
        if (nuclearPrice >= 0)
            Price(p.nuclear, nuclearPrice, galvanisedPrice);
    }

    // Price row of list 1 without width; the galvanised column is left 0
    // when none is given.
    void Price(const QString& article, double price, double galvanised = -1) {
        Insert(QStringLiteral("PGCURE.DB"), {{"CUR_IDX", 1},
                                             {"CUR_L_NR", article},
                                             {"CUR_BRT", 0},
                                             {"CUR_PRS", price},
                                             {"CUR_PRS_HD", galvanised < 0 ? 0.0 : galvanised}});
    }

    TestDir dir;
    std::unique_ptr<TDBKONST> kon;

private:
    QList<QPair<QString, QVariantMap>> pending;

    static const TestDir& Template() {
        static const TestDir empty = [] {
            TestDir d;
            for (const CatalogueTableDef& def : CatalogueTables())
                CreateTableFile(TablePath(d.path(), def.fileName), def.fieldDefs(), def.indexDefs());
            return d;
        }();
        return empty;
    }
};

inline void SetArrangement(const QString& name, const QString& area = QStringLiteral(" ")) {
    PutText(ArrangementRecord.A_NAME, name);
    PutText(ArrangementRecord.A_BER, area);
}

// A support for the sizing alone: no reserves, load variation up to 25 %,
// springs up to 300 mm of travel, the input load at the blocking position.
inline void PlainSizingSupport(double designLoad, double travel) {
    ResetCalcState();
    TConstructionRecord& k = ConstructionRecord;
    k.K_LAST = designLoad;
    k.K_WEG_EFF = travel;
    k.K_BEWEGBER = 300;
    k.K_FDIFF = 25;
    k.K_KALWAR_KZ = true;
    CalcGlobals.DesignLoad = designLoad;
    PutText(CalcGlobals.PreselectedLoadNumber, QStringLiteral("000000"));
}

// One catalogue for all rows of a data-driven test function: built by the
// first row, reused by the others (the selection only reads it), built
// anew when another test function or another key asks.
class SharedCatalogue {
public:
    SizingCatalogue& Get(const std::function<void(SizingCatalogue&)>& fill, const QString& key = QString()) {
        const QString owner = QString::fromLatin1(QTest::currentTestFunction()) + QLatin1Char('/') + key;
        if (!m_catalogue || owner != m_owner) {
            m_catalogue.reset();
            m_catalogue = std::make_unique<SizingCatalogue>();
            fill(*m_catalogue);
            m_catalogue->Start();
            m_owner = owner;
        }
        return *m_catalogue;
    }
    void Reset() { m_catalogue.reset(); }

private:
    std::unique_ptr<SizingCatalogue> m_catalogue;
    QString m_owner;
};
