#pragma once
// A catalogue directory in a temporary folder: every catalogue table created
// empty from the schema, the alias KORVA_9_0 pointing at it, and helpers to
// fill rows and start the catalogue data module.
#include "data/CatalogueSchema.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <QVariantMap>
#include <QtTest>
#include <memory>

class CatalogueFixture {
public:
    CatalogueFixture() {
        for (const CatalogueTableDef& def : CatalogueTables())
            CreateTableFile(TablePath(dir.path(), def.fileName), def.fieldDefs(), def.indexDefs());
        PointAlias(dir.path());
    }
    ~CatalogueFixture() {
        kon.reset();
        Session().Close();  // the implicit databases of this directory
    }

    static void PointAlias(const QString& path) {
        static TestDir aliasDir;
        const QString file = aliasDir.file(QStringLiteral("aliases.ini"));
        {
            QSettings ini(file, QSettings::IniFormat);
            ini.clear();
            ini.setValue(QStringLiteral("KORVA_9_0/PATH"), path);
        }
        qputenv("KORVA_ALIAS_FILE", file.toLocal8Bit());
        Session().ReloadAliases();
    }

    QString path() const { return dir.path() + QLatin1Char('/'); }

    void Insert(const QString& table, const QVariantMap& values) {
        TTable t(dir.path(), table);
        t.Open();
        t.Append();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            t.FieldByName(it.key()).SetValue(it.value());
        t.Post();
    }

    // Starts the catalogue module and opens the tables the access units use.
    TDBKONST& Start() {
        kon = std::make_unique<TDBKONST>();
        for (TTable* t : {&kon->PGSTAT, &kon->PGDYNA, &kon->PGRSRL, &kon->PGCOOL, &kon->TempDB, &kon->DURDATDB,
                          &kon->TXTTAB, &kon->PGCURE, &kon->ABHGDB})
            t->Open();
        return *kon;
    }

    TestDir dir;
    std::unique_ptr<TDBKONST> kon;
};

inline void ResetCalcState() {
    CalcGlobals.Reset();
    ConstructionRecord.Reset();
    CalcGlobals.PriceIndex = 1;
}
