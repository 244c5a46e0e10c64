#include "data/DBKON.h"

#include "data/AlterTableClass.h"
#include "data/FileUtils.h"
#include "platform/DbErrors.h"
#include "platform/Session.h"
#include "platform/TableFile.h"

TDBKONST* DBKONST = nullptr;

namespace {

const QString CatalogueDatabase = QStringLiteral("KONDATEN");
const QString CatalogueAlias = QStringLiteral("KORVA_9_0");

struct TableSetup {
    TTable TDBKONST::*table;
    const char* file;
    const char* indexFields;  // "" = primary order
    bool readOnly;
};

// PGSTAT and PGRSRL are written by the galvanising flags; the rest is only
// read.
const TableSetup Tables[] = {
    {&TDBKONST::ABHGDB, "ABHGNR.DB", "", true},
    {&TDBKONST::PGSTAT, "Pgstat.DB", "STA_NRN", false},
    {&TDBKONST::PGDYNA, "Pgdyna.DB", "DYN_NRN", true},
    {&TDBKONST::PGRSRL, "pgrsrsl.DB", "RSL_NRN", false},
    {&TDBKONST::PGCOOL, "PGCLDSTA.DB", "CLD_NRN", true},
    {&TDBKONST::TempDB, "Temdat.DB", "", true},
    {&TDBKONST::DURDATDB, "Durdat.DB", "D_MAX_ABS", true},
    {&TDBKONST::TXTTAB, "Txttab.DB", "", true},
    {&TDBKONST::PGCURE, "PGCURE.DB", "", true},
    {&TDBKONST::TYPDB, "HAENGER.DB", "", true},
    {&TDBKONST::RESTDATEN, "Pgrest.DB", "", true},
};

}  // namespace

QString AliasDirectory(const QString& alias) {
    return AddBackslash(AliasParamValue(Session().GetAliasParams(alias), QStringLiteral("PATH")));
}

void AddTxttabAdrField(const QString& path) {
    TAlterTable alter(TablePath(path, QStringLiteral("TXTTAB.DB")));
    if (!alter.FieldExists(QStringLiteral("ADR"))) {
        alter.AddField(QStringLiteral("ADR"), TFieldType::String, 0, 30);
        alter.Restructure();
    }
}

TDBKONST::TDBKONST(QObject* parent) : QObject(parent), BASIS_DB(CatalogueDatabase) {
    BASIS_DB.SetAliasName(CatalogueAlias);
    for (const TableSetup& s : Tables) {
        TTable& t = this->*s.table;
        t.SetDatabaseName(CatalogueDatabase);
        t.SetTableName(QString::fromLatin1(s.file));
        if (*s.indexFields)
            t.SetIndexFieldNames(QString::fromLatin1(s.indexFields));
        t.SetReadOnly(s.readOnly);
    }
    DURDATDB.SetFilter(QStringLiteral("D_R_DM > ?"), {30});
    // Article numbers are text: compare them as numbers, as the catalogue
    // means them.
    RESTDATEN.SetFilter(QStringLiteral("CAST(STA_L_NR AS INTEGER) > ?"), {100000});
    RESTDATEN.SetFiltered(true);
    DBKONST = this;
    try {
        DBKONSTCreate();
    } catch (...) {
        DBKONST = nullptr;
        throw;
    }
}

TDBKONST::~TDBKONST() {
    for (const TableSetup& s : Tables)
        (this->*s.table).Close();
    BASIS_DB.Close();
    if (DBKONST == this)
        DBKONST = nullptr;
}

// Opens the text table, which stays open. An older text table lacks ADR:
// it gains the field and is opened again.
void TDBKONST::DBKONSTCreate() {
    m_path = AliasDirectory(CatalogueAlias);
    try {
        TXTTAB.Open();
        if (!TXTTAB.FindField(QStringLiteral("ADR")))
            throw EDatabaseError(QStringLiteral("TXTTAB: Field 'ADR' not found"));
    } catch (const EDatabaseError&) {
        TXTTAB.Close();
        AddTxttabAdrField(m_path);
        TXTTAB.Open();
    }
}
