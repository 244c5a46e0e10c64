// The shared table definitions of the catalogue and global tables: lookup by
// file name, column order and types, keys, and the settings table with its
// older 84-column form.
#include "data/CatalogueSchema.h"

#include <QSet>
#include <QtTest>
#include <stdexcept>

class TestCatalogueSchema : public QObject {
    Q_OBJECT

private slots:
    void lookupIgnoresCaseAndExtension_data()
    {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("as spelt") << "Pgstat.DB" << "Pgstat.DB";
        QTest::newRow("upper case") << "PGSTAT.DB" << "Pgstat.DB";
        QTest::newRow("clamp table upper") << "PGRSRSL.DB" << "pgrsrsl.DB";
        QTest::newRow("without extension") << "txttab" << "Txttab.DB";
        QTest::newRow("lower extension") << "firdat.db" << "FIRDAT.DB";
        QTest::newRow("configurations") << "ABHGNR.DB" << "ABHGNR.DB";
    }

    void lookupIgnoresCaseAndExtension()
    {
        QFETCH(QString, asked);
        QFETCH(QString, fileName);
        QVERIFY(IsCatalogueTable(asked));
        QCOMPARE(CatalogueTable(asked).fileName, fileName);
    }

    void unknownTableIsRefused()
    {
        QVERIFY(!IsCatalogueTable(QStringLiteral("konstr8.db")));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, CatalogueTable(QStringLiteral("konstr8.db")));
    }

    void columnCounts_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("count");
        QTest::newRow("Pgstat") << "Pgstat.DB" << 21;
        QTest::newRow("Pgdyna") << "Pgdyna.DB" << 26;
        QTest::newRow("pgrsrsl") << "pgrsrsl.DB" << 46;
        QTest::newRow("PGCLDSTA") << "PGCLDSTA.DB" << 21;
        QTest::newRow("Temdat") << "Temdat.DB" << 2;
        QTest::newRow("Durdat") << "Durdat.DB" << 14;
        QTest::newRow("Txttab") << "Txttab.DB" << 10;
        QTest::newRow("PGCURE") << "PGCURE.DB" << 6;
        QTest::newRow("HAENGER") << "HAENGER.DB" << 13;
        QTest::newRow("Pgrest") << "Pgrest.DB" << 3;
        QTest::newRow("ABHGNR") << "ABHGNR.DB" << 46;
        QTest::newRow("WST") << "WST.DB" << 2;
        QTest::newRow("FIRDAT") << "FIRDAT.DB" << 91;
    }

    void columnCounts()
    {
        QFETCH(QString, table);
        QFETCH(int, count);
        const CatalogueTableDef& def = CatalogueTable(table);
        QCOMPARE(def.columnCount(), count);
        QCOMPARE(def.fieldDefs().size(), count);
        const QStringList names = def.columnNames();
        QCOMPARE(QSet<QString>(names.cbegin(), names.cend()).size(), count);
    }

    void columnTypes_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("code");
        QTest::newRow("product number") << "Pgstat.DB" << "STA_NRN" << 0 << "I";
        QTest::newRow("article") << "Pgstat.DB" << "STA_L_NR" << 3 << "A6";
        QTest::newRow("galvanised") << "Pgstat.DB" << "STA_HD_KZ" << 20 << "L";
        QTest::newRow("clamp height signed 32-bit") << "pgrsrsl.DB" << "RSL_E" << 8 << "I";
        QTest::newRow("fifth capacity") << "pgrsrsl.DB" << "RSL_KRAFT_5" << 22 << "N";
        QTest::newRow("extended load mark last") << "pgrsrsl.DB" << "RSL_EXTRA" << 45 << "S";
        QTest::newRow("strut text flag") << "Pgdyna.DB" << "DYN_BK_KZ" << 10 << "A1";
        QTest::newRow("cold count") << "PGCLDSTA.DB" << "CLD_N" << 17 << "I";
        QTest::newRow("temperature") << "Temdat.DB" << "T_TEMP" << 1 << "I";
        QTest::newRow("diameter kind") << "Durdat.DB" << "D_LG_KZ" << 9 << "A1";
        QTest::newRow("address added last") << "Txttab.DB" << "ADR" << 9 << "A30";
        QTest::newRow("text kind") << "Txttab.DB" << "TXT_KZ" << 0 << "A3";
        QTest::newRow("price article") << "PGCURE.DB" << "CUR_L_NR" << 1 << "A12";
        QTest::newRow("hanger number as text") << "HAENGER.DB" << "STA_NRN" << 2 << "A8";
        QTest::newRow("last part position") << "ABHGNR.DB" << "A_LFD_BT16" << 18 << "S";
        QTest::newRow("picture") << "ABHGNR.DB" << "BILD" << 45 << "B";
        QTest::newRow("customer drawing number") << "FIRDAT.DB" << "F_KDN_ZNR" << 6 << "A25";
        QTest::newRow("last upgrade field") << "FIRDAT.DB" << "F_ST_RL_KZ" << 90 << "L";
    }

    void columnTypes()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(int, position);
        QFETCH(QString, code);
        const CatalogueTableDef& def = CatalogueTable(table);
        QCOMPARE(def.columnIndex(column), position);
        QCOMPARE(def.columnCode(column), code);
        QCOMPARE(FieldTypeCode(def.fieldDefs().at(position)), code);
    }

    void indexesNameExistingColumns()
    {
        for (const CatalogueTableDef& def : CatalogueTables()) {
            int primaries = 0;
            for (const TIndexDef& idx : def.indexDefs()) {
                primaries += idx.primary ? 1 : 0;
                QVERIFY2(idx.primary == idx.name.isEmpty(), qPrintable(def.fileName));
                for (const QString& f : idx.fields)
                    QVERIFY2(def.hasColumn(f), qPrintable(def.fileName + ": " + f));
            }
            QVERIFY(primaries <= 1);
        }
    }

    void accessUnitIndexesExist_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("field");
        QTest::newRow("T_KLASSE_KEY") << "Temdat.DB" << "T_KLASSE_KEY" << "T_KLASSE";
        QTest::newRow("T_TEMP_KEY") << "Temdat.DB" << "T_TEMP_KEY" << "T_TEMP";
        QTest::newRow("R_DM_KEY") << "Durdat.DB" << "R_DM_KEY" << "D_R_DM";
        QTest::newRow("R_DM_KZ_KEY") << "Durdat.DB" << "R_DM_KZ_KEY" << "D_R_DM_KZ";
        QTest::newRow("D_MAX_KEY") << "Durdat.DB" << "D_MAX_KEY" << "D_MAX_ABS";
        QTest::newRow("TXT_NR_KEY") << "Txttab.DB" << "TXT_NR_KEY" << "TXT_NR";
        QTest::newRow("TXT_KEY_NUM") << "Txttab.DB" << "TXT_KEY_NUM" << "TXT_NUM";
        QTest::newRow("IDx_Avail_order") << "ABHGNR.DB" << "IDx_Avail_order" << "A_ORDERNO";
    }

    void accessUnitIndexesExist()
    {
        QFETCH(QString, table);
        QFETCH(QString, index);
        QFETCH(QString, field);
        const TIndexDefs defs = CatalogueTable(table).indexDefs();
        const auto it = std::find_if(defs.cbegin(), defs.cend(), [&](const TIndexDef& d) { return d.name == index; });
        QVERIFY(it != defs.cend());
        QCOMPARE(it->fields.value(0), field);
    }

    void priceKeyIsCompound()
    {
        const TIndexDefs defs = CatalogueTable(QStringLiteral("PGCURE.DB")).indexDefs();
        QCOMPARE(defs.size(), 1);
        QVERIFY(defs[0].primary && defs[0].unique);
        QCOMPARE(defs[0].fields, QStringList({"CUR_IDX", "CUR_L_NR", "CUR_BRT"}));
    }

    void legacySettingsTableLacksTheUpgradeFields()
    {
        const CatalogueTableDef& legacy = LegacyFirdatTable();
        const CatalogueTableDef& current = CatalogueTable(QStringLiteral("FIRDAT.DB"));
        QCOMPARE(legacy.columnCount(), 84);
        QCOMPARE(FirdatUpgradeColumns().size(), 7);
        QCOMPARE(legacy.columnCode(QStringLiteral("F_KDN_ZNR")), QStringLiteral("A20"));
        for (const CatalogueColumn& c : FirdatUpgradeColumns()) {
            QVERIFY2(!legacy.hasColumn(c.name), qPrintable(c.name));
            QCOMPARE(current.columnCode(c.name), c.code);
        }
        for (int i = 0; i < legacy.columnCount(); ++i)
            if (legacy.columns[i].name != QLatin1String("F_KDN_ZNR"))
                QCOMPARE(current.columns[i].code, legacy.columns[i].code);
        QCOMPARE(current.columns.mid(84).size(), 7);
        QCOMPARE(current.columns[84].name, QStringLiteral("F_DYN70PROZENT_KZ"));
    }

    // The company options read into a support and copied to and from the
    // project settings all live in the settings table.
    void settingsTableHoldsEveryCopiedOption()
    {
        const QStringList copied{
            "F_KATA_KZ", "F_DRCK_DIM_KZ", "F_DRCK_GEW_KZ", "F_DRCK_EH_KZ", "F_KDN_ZNR", "F_BEARB",
            "F_KD_KOM_NR_1", "F_KD_KOM_NR_2", "F_KD_KOM_NR_3", "F_BEST", "F_ANL", "F_SYS",
            "F_BEST_KOM_NR", "F_BEST_NR", "F_FREI_UEBER", "F_FREI_TEXT", "F_SCHRIFT_1", "F_SCHRIFT_2",
            "F_FDIFF", "F_BEWEGBER", "F_LR_FH", "F_LR_KH", "F_WR_FH", "F_WR_FH_MM", "F_WR_KH",
            "F_WR_KH_MM", "F_WR_SB", "F_WR_GS", "F_WINKEL_KZ", "F_WINKEL", "F_KALWAR_KZ", "F_EINH_KZ",
            "F_NAHT_KZ", "F_PLAN_KZ", "F_PRJDIR_KZ", "F_RAHMEN_KZ", "F_VORSP_KZ", "F_KOOR_KZ",
            "F_NORDP_KZ", "F_ANSTR_KZ", "F_KN_KG", "F_HYDTEST_KZ", "F_DYNLOAD_KZ", "F_KRZ_BEZ_H",
            "F_KRZ_BEZ_L", "F_KRZ_BEZ_V", "F_VORKOS_KZ", "F_BLOCKKOS_KZ", "F_BLOCK_VOR", "F_RSRL_OHNE",
            "F_RSRL_OHNE_NR", "F_RSRL_AN", "F_STRLOAD_KZ", "F_KERNTECH", "F_OB_ANSCH", "F_TYP_42_KZ",
            "F_FDIFF_EFF", "F_EINBAU_KZ", "F_SB_OHNE_V", "F_ZUGST_ST", "F_PTFE_KZ", "F_AUFLAGER_KZ",
            "F_ROHRLAGER_KZ", "F_DYN70PROZENT_KZ", "F_RLAGER_WST_KZ", "F_RSRL_LR", "F_DA_INFO_ONLY",
            "F_HD_KZ", "F_VGBRL_KZ", "F_ST_RL_KZ", "F_WEG_KZ", "F_DRCK_KZ", "F_NR", "F_LFD_NR",
            "F_PREISE", "PREISE_ERLAUBT", "F_TGKURS", "F_PRS_EINHEIT", "F_NAME", "F_NAME_ZU"};
        const CatalogueTableDef& def = CatalogueTable(QStringLiteral("FIRDAT.DB"));
        for (const QString& f : copied)
            QVERIFY2(def.hasColumn(f), qPrintable(f));
        QVERIFY(!def.hasColumn(QStringLiteral("F_Bool_Carrier")));
        QVERIFY(!def.hasColumn(QStringLiteral("PRJ_WAEHRUNG")));
    }
};

QTEST_GUILESS_MAIN(TestCatalogueSchema)
#include "tst_democatalogue_schema.moc"
