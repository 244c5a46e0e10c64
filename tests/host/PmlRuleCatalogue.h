#pragma once
// A catalogue made only of hand-made rows, for the tests of single
// statement rules: every table of the catalogue directory is created empty
// from the schema and gets just the rows a case needs. The rows are
// irregular on purpose: nuclear numbers that share nothing with the
// ordinary ones, hot-dip flags set on some neighbours and not on others,
// heights and widths that differ from part to part.
#include "PmlFixture.h"
#include "data/CatalogueSchema.h"
#include "platform/TableFile.h"

namespace pmlfixture {

class RuleCatalogue {
public:
    RuleCatalogue() {
        path = dir.file(QStringLiteral("catalogue"));
        QDir().mkpath(path);
        for (const CatalogueTableDef& def : CatalogueTables())
            CreateTableFile(path + u'/' + def.fileName, def.fieldDefs(), def.indexDefs());
        const QString ini = dir.file(QStringLiteral("aliases.ini"));
        {
            QSettings s(ini, QSettings::IniFormat);
            s.setValue(QStringLiteral("KORVA_9_0/PATH"), path);
        }
        qputenv("KORVA_ALIAS_FILE", ini.toLocal8Bit());
        Session().ReloadAliases();
        kon = std::make_unique<TDBKONST>();
        for (TTable* t : {&kon->PGSTAT, &kon->PGDYNA, &kon->PGRSRL, &kon->PGCOOL, &kon->DURDATDB, &kon->TXTTAB,
                          &kon->PGCURE, &kon->ABHGDB})
            t->Open();
    }
    ~RuleCatalogue() {
        kon.reset();
        Session().Close();
    }

    void Insert(const QString& table, const QVariantMap& values) {
        TTable t(path, table);
        t.Open();
        t.Append();
        for (auto it = values.cbegin(); it != values.cend(); ++it) t.FieldByName(it.key()).SetValue(it.value());
        t.Post();
        t.Close();
    }

    void Remove(const QString& table, const QString& key, int number) {
        TTable t(path, table);
        t.Open();
        if (t.Locate(key, {number})) t.Delete();
        t.Close();
    }

    // A static product: its number, ordinary and nuclear catalogue numbers,
    // height, width, second width and hot-dip flag.
    void Static(int number, const char* lnr, const char* lnrK, int e, int breite = 0, int breiteM = 0,
                bool hd = false) {
        Insert(QStringLiteral("Pgstat.DB"),
               {{"STA_NRN", number}, {"STA_KBEZ", QString::number(number).left(2)}, {"STA_L_NR", lnr},
                {"STA_L_NR_K", lnrK}, {"STA_E", e}, {"STA_BREITE", breite}, {"STA_BREITE_M", breiteM},
                {"STA_GEW", 1.5}, {"STA_WST", 1}, {"STA_HD_KZ", hd}});
    }
    void Clamp(int number, const char* lnr, const char* lnrK, bool coupled = false, bool hd = false, int lgVon = 0,
               int lgBis = 0) {
        Insert(QStringLiteral("pgrsrsl.DB"),
               {{"RSL_NRN", number}, {"RSL_KBEZ", QString::number(number).left(2)}, {"RSL_L_NR", lnr},
                {"RSL_L_NR_K", lnrK}, {"RSL_E", 150}, {"RSL_LG_VON", lgVon}, {"RSL_LG_BIS", lgBis},
                {"RSL_GEW_1", 2.5}, {"RSL_WST", 2}, {"RSL_KOP_KZ", coupled}, {"RSL_HD_KZ", hd},
                {"RSL_EXTRA", 0}});
    }
    void Dynamic(int number, const char* lnr, const char* lnrK, int lgMax = 0, int eMin = 0) {
        Insert(QStringLiteral("Pgdyna.DB"),
               {{"DYN_NRN", number}, {"DYN_KBEZ", QString::number(number).left(2)}, {"DYN_L_NR", lnr},
                {"DYN_L_NR_K", lnrK}, {"DYN_E", 100}, {"DYN_E_MIN", eMin}, {"DYN_GEW", 4.0}, {"DYN_WST", 2},
                {"DYN_LG_MAX", lgMax}});
    }
    void Cold(int number, const char* lnr) {
        Insert(QStringLiteral("PGCLDSTA.DB"), {{"CLD_NRN", number}, {"CLD_KBEZ", QString::number(number).left(2)},
                                                {"CLD_L_NR", lnr}, {"CLD_GEW", 2.0}, {"CLD_WST", 1}});
    }

    TestDir dir;
    QString path;
    std::unique_ptr<TDBKONST> kon;
};

}  // namespace pmlfixture
