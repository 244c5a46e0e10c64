#include "data/CatalogueSchema.h"

#include <QRegularExpression>
#include <stdexcept>

// Each table is written as "NAME CODE" pairs separated by commas, in column
// order. "RSL_LG_1..5 S" stands for RSL_LG_1 to RSL_LG_5; "A_LFD_BT1..16 S"
// for A_LFD_BT1 to A_LFD_BT16. Indexes are "*FIELDS" for the primary index
// (unique) and "NAME=FIELDS" for a named secondary index; fields are joined
// by ';'.
namespace {

struct TableText {
    const char* fileName;
    const char* columns;
    const char* indexes;
};

// Settings table. Its columns are the company settings that are copied to
// and from the project settings (the same names and types as there, without
// the project-only currency and galvanising flags), the company number and
// running drawing number, the company name, the price switches, eight
// reserve columns kept from older releases, and last the seven columns that
// the settings upgrade adds. An older table stops before those seven, with a
// 20-character customer drawing number: 84 columns.
const char* const FirdatHead =
    "F_NR I, F_LFD_NR I, F_NAME A21, F_NAME_ZU A21, "
    "F_DRCK_GEW_KZ L, F_DRCK_EH_KZ A1, F_KDN_ZNR A25, F_BEARB A20, "
    "F_KD_KOM_NR_1..3 I, F_BEST A20, F_ANL A20, F_SYS A20, F_BEST_KOM_NR A20, "
    "F_BEST_NR A15, F_FREI_UEBER A21, F_FREI_TEXT A21, F_SCHRIFT_1 A20, "
    "F_SCHRIFT_2 A20, F_FDIFF S, F_BEWEGBER S, F_LR_FH S, F_LR_KH S, F_WR_FH S, "
    "F_WR_FH_MM S, F_WR_KH S, F_WR_KH_MM S, F_WR_SB S, F_WR_GS S, F_WINKEL_KZ L, "
    "F_WINKEL N, F_KALWAR_KZ L, F_EINH_KZ L, F_NAHT_KZ L, F_PLAN_KZ L, "
    "F_VORSP_KZ L, F_KOOR_KZ L, F_NORDP_KZ L, F_ANSTR_KZ L, F_KN_KG L, "
    "F_HYDTEST_KZ L, F_DYNLOAD_KZ A1, F_KRZ_BEZ_H A2, F_KRZ_BEZ_L A2, "
    "F_KRZ_BEZ_V A2, F_VORKOS_KZ L, F_BLOCKKOS_KZ L, F_BLOCK_VOR L, "
    "F_RSRL_OHNE L, F_RSRL_OHNE_NR S, F_RSRL_AN L, F_STRLOAD_KZ A1, "
    "F_KERNTECH L, F_OB_ANSCH L, F_TYP_42_KZ L, F_FDIFF_EFF S, F_EINBAU_KZ L, "
    "F_SB_OHNE_V L, F_ZUGST_ST S, BITMAP_KZ L, BITMAP A80, F_KATA_KZ L, "
    "F_DRCK_DIM_KZ L, F_PTFE_KZ L, F_AUFLAGER_KZ L, F_ROHRLAGER_KZ L, "
    "F_RAHMEN_KZ L, F_PRJDIR_KZ L, F_PREISE L, PREISE_ERLAUBT L, F_TGKURS N, "
    "F_PRS_EINHEIT A4, K_T49G_KZ A1, F_WEG_KZ L, F_DRCK_KZ S, "
    "F_RES_ALPHA1..2 A15, F_RES_BOL1..2 L, F_RES_NUM1..2 N, F_RES_INT1..2 I";

const char* const FirdatUpgrade =
    "F_DYN70PROZENT_KZ L, F_RLAGER_WST_KZ L, F_RSRL_LR S, F_DA_INFO_ONLY L, "
    "F_HD_KZ L, F_VGBRL_KZ L, F_ST_RL_KZ L";

const TableText Tables[] = {
    {"Pgstat.DB",
     "STA_NRN I, STA_KBEZ A4, STA_KBEZ_I A4, STA_L_NR A6, STA_L_NR_K A6, "
     "STA_L_NR_I A6, STA_L_NR_K_I A6, STA_WST S, STA_WST_UNC S, STA_WST_CN S, "
     "STA_E S, STA_X S, STA_GEW N, STA_ADM S, STA_BREITE I, STA_BREITE_M I, "
     "STA_GEW_VER N, STA_BTL_ZUS A10, STA_SM_TABLE A24, STA_L_ZUS S, STA_HD_KZ L",
     "*STA_NRN"},
    {"Pgdyna.DB",
     "DYN_NRN I, DYN_KBEZ A4, DYN_L_NR A6, DYN_L_NR_K A6, DYN_L_NR_CN A6, "
     "DYN_WST S, DYN_WST_UNC S, DYN_WST_CN S, DYN_E S, DYN_GEW N, DYN_BK_KZ A1, "
     "DYN_LG_MIN S, DYN_LG_MAX S, DYN_E_MIN S, DYN_E_MAX S, DYN_VERST S, "
     "DYN_HUB S, DYN_LAMBDA S, DYN_PARA_A N, DYN_PARA_B N, DYN_KRAFT N, "
     "DYN_GEW_VER N, DYN_M_MIN S, DYN_M_MAX S, DYN_SM_TABLE A24, DYN_VGB_KZ L",
     "*DYN_NRN"},
    {"pgrsrsl.DB",
     "RSL_NRN I, RSL_KBEZ A4, RSL_L_NR A6, RSL_L_NR_K A6, RSL_L_NR_CN A6, "
     "RSL_WST S, RSL_WST_UNC S, RSL_WST_CN S, RSL_E I, RSL_A S, RSL_B S, "
     "RSL_LG_VON S, RSL_LG_BIS S, RSL_LG_1..5 S, RSL_KRAFT_1..5 N, "
     "RSL_GEW_1..5 N, RSL_KOP_KZ L, RSL_DAEMM_H S, RSL_KRAFT_INT_1..5 N, "
     "RSL_HYD_LST_1..5 N, RSL_SM_TABLE A24, RSL_VGB_KZ L, RSL_HD_KZ L, "
     "TMP_KL A2, HD_KZ_ORG L, RSL_EXTRA S",
     "*RSL_NRN"},
    {"PGCLDSTA.DB",
     "CLD_NRN I, CLD_KBEZ A4, CLD_KBEZ_I A4, CLD_L_NR A6, CLD_L_NR_K A6, "
     "CLD_L_NR_I A6, CLD_L_NR_K_I A6, CLD_WST S, CLD_WST_UNC S, CLD_KRAFT N, "
     "CLD_GEW N, CLD_D_MIN S, CLD_D_MAX S, CLD_GEW_MAX N, CLD_KRAFT_S N, "
     "CLD_KRAFT_F N, CLD_GEW_VER N, CLD_N I, CLD_A N, CLD_B N, CLD_SM_TABLE A24",
     "*CLD_NRN"},
    {"Temdat.DB", "T_KLASSE S, T_TEMP I", "T_KLASSE_KEY=T_KLASSE, T_TEMP_KEY=T_TEMP"},
    {"Durdat.DB",
     "D_R_DM N, D_R_DI N, D_MIN_ABS N, D_MAX_ABS N, D_R_DM_KZ S, D_EMIN_MM N, "
     "D_EMAX_MM N, D_NENNWTE S, D_NENN_INCH N, D_LG_KZ A1, TYP40 L, TYP54 L, "
     "TYP56 L, TYP58 L",
     "R_DM_KEY=D_R_DM, R_DM_KZ_KEY=D_R_DM_KZ, D_MAX_KEY=D_MAX_ABS"},
    // ADR comes last: older text tables gain it by restructuring.
    {"Txttab.DB",
     "TXT_KZ A3, TXT_NR S, TXT_NUM N, TXT_TEXT A255, TXT_PRF_HOEHE A10, "
     "TXT_PRF_NAME A30, TXT_PRF_B N, TXT_PRF_T N, TXT_PRF_BRT_KZ A1, ADR A30",
     "TXT_NR_KEY=TXT_NR, TXT_KEY_NUM=TXT_NUM"},
    {"PGCURE.DB",
     "CUR_IDX S, CUR_L_NR A12, CUR_BRT S, CUR_PRS N, CUR_PRS_HD N, CUR_RABAT L",
     "*CUR_IDX;CUR_L_NR;CUR_BRT"},
    {"HAENGER.DB",
     "FDR_M A7, FDR_I A7, STA_NRN A8, LANG L, T20 L, T29 L, KH L, T21 L, T25 L, "
     "STA_L_NR A6, STA_L_NR_20 A6, STA_L_NR_25 A6, STA_L_NR_29 A6",
     ""},
    {"Pgrest.DB", "STA_NRN I, STA_L_NR A6, STA_L_NR_K A6", "*STA_NRN"},
    {"ABHGNR.DB",
     "A_NR S, A_NAME A8, A_BER A1, A_LFD_BT1..16 S, A_ANZ_D S, A_ANZ_Q S, "
     "BX S, BY S, DX1..4 S, DY1..4 S, QX1..5 S, QY1..5 S, STAT_DYN L, "
     "STAT_COLD L, A_ORDERNO I, A_MDS_NO A10, BILD B",
     "*A_NR, IDx_Avail_order=A_ORDERNO;A_NR"},
    {"WST.DB", "W_NR S, W_BZ A20", "*W_NR"},
};

QList<CatalogueColumn> ParseColumns(const QString& text)
{
    static const QRegularExpression range(QStringLiteral("^(.*?)(\\d+)\\.\\.(\\d+)$"));
    QList<CatalogueColumn> out;
    for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = item.simplified().split(QLatin1Char(' '));
        if (parts.size() != 2)
            throw std::logic_error("bad column text: " + item.toStdString());
        const auto m = range.match(parts[0]);
        if (!m.hasMatch()) {
            out.append({parts[0], parts[1]});
            continue;
        }
        for (int i = m.captured(2).toInt(); i <= m.captured(3).toInt(); ++i)
            out.append({m.captured(1) + QString::number(i), parts[1]});
    }
    return out;
}

QList<CatalogueIndex> ParseIndexes(const QString& text)
{
    QList<CatalogueIndex> out;
    for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString s = item.trimmed();
        CatalogueIndex idx;
        if (s.startsWith(QLatin1Char('*'))) {
            idx.primary = idx.unique = true;
            idx.fields = s.mid(1).split(QLatin1Char(';'));
        } else {
            idx.name = s.section(QLatin1Char('='), 0, 0);
            idx.fields = s.section(QLatin1Char('='), 1).split(QLatin1Char(';'));
        }
        out.append(idx);
    }
    return out;
}

CatalogueTableDef MakeTable(const QString& fileName, const QString& columns, const QString& indexes)
{
    return {fileName, ParseColumns(columns), ParseIndexes(indexes)};
}

QList<CatalogueTableDef> BuildTables()
{
    QList<CatalogueTableDef> out;
    for (const TableText& t : Tables)
        out.append(MakeTable(QString::fromLatin1(t.fileName), QString::fromLatin1(t.columns),
                             QString::fromLatin1(t.indexes)));
    out.append(MakeTable(QStringLiteral("FIRDAT.DB"),
                         QString::fromLatin1(FirdatHead) + QStringLiteral(", ") +
                             QString::fromLatin1(FirdatUpgrade),
                         QString()));
    return out;
}

QString Normalised(const QString& fileName)
{
    QString s = fileName.trimmed().toUpper();
    if (s.endsWith(QStringLiteral(".DB")))
        s.chop(3);
    return s;
}

}  // namespace

QString CatalogueTableDef::baseName() const
{
    return fileName.section(QLatin1Char('.'), 0, 0);
}

int CatalogueTableDef::columnIndex(const QString& name) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString CatalogueTableDef::columnCode(const QString& name) const
{
    const int i = columnIndex(name);
    return i < 0 ? QString() : columns[i].code;
}

QStringList CatalogueTableDef::columnNames() const
{
    QStringList out;
    for (const CatalogueColumn& c : columns)
        out.append(c.name);
    return out;
}

TFieldDefs CatalogueTableDef::fieldDefs() const
{
    TFieldDefs out;
    for (const CatalogueColumn& c : columns)
        out.append(FieldDefFromCode(c.name, c.code));
    return out;
}

TIndexDefs CatalogueTableDef::indexDefs() const
{
    TIndexDefs out;
    for (const CatalogueIndex& i : indexes) {
        TIndexDef d;
        d.name = i.name;
        d.fields = i.fields;
        d.primary = i.primary;
        d.unique = i.unique;
        out.append(d);
    }
    return out;
}

const QList<CatalogueTableDef>& CatalogueTables()
{
    static const QList<CatalogueTableDef> tables = BuildTables();
    return tables;
}

bool IsCatalogueTable(const QString& fileName)
{
    const QString key = Normalised(fileName);
    for (const CatalogueTableDef& t : CatalogueTables())
        if (Normalised(t.fileName) == key)
            return true;
    return false;
}

const CatalogueTableDef& CatalogueTable(const QString& fileName)
{
    const QString key = Normalised(fileName);
    for (const CatalogueTableDef& t : CatalogueTables())
        if (Normalised(t.fileName) == key)
            return t;
    throw std::out_of_range("not a catalogue table: " + fileName.toStdString());
}

const QList<CatalogueColumn>& FirdatUpgradeColumns()
{
    static const QList<CatalogueColumn> cols = ParseColumns(QString::fromLatin1(FirdatUpgrade));
    return cols;
}

const CatalogueTableDef& LegacyFirdatTable()
{
    static const CatalogueTableDef legacy = [] {
        CatalogueTableDef t = MakeTable(QStringLiteral("FIRDAT.DB"),
                                        QString::fromLatin1(FirdatHead), QString());
        t.columns[t.columnIndex(QStringLiteral("F_KDN_ZNR"))].code = QStringLiteral("A20");
        return t;
    }();
    return legacy;
}
