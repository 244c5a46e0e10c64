#include "data/DBGLOB.h"

#include "data/AlterTableClass.h"
#include "data/CatalogueSchema.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "data/FileUtils.h"
#include "localisation/IvDictio.h"
#include "platform/DbErrors.h"
#include "platform/Numbers.h"
#include "platform/Session.h"
#include "platform/TableFile.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <string>

TDBGLOBAL* DBGLOBAL = nullptr;
QString (*PrintTextTranslator)(const QString& text) = nullptr;

namespace {

const QString MainAlias = QStringLiteral("KORVA_9_0");
const QString TempAlias = QStringLiteral("KORVA_TEMPDB");
const QString GlobalDatabase = QStringLiteral("GLOBDAT");
const QString TempDatabase = QStringLiteral("DB_TMP");

struct TableSetup {
    TTable TDBGLOBAL::*table;
    const QString* database;
    const char* file;
    bool readOnly;
};

const TableSetup Tables[] = {
    {&TDBGLOBAL::FIRDAT, &GlobalDatabase, "FIRDAT.DB", false},
    {&TDBGLOBAL::PrjSearchResult, &GlobalDatabase, "PrjSearchResult.db", false},
    {&TDBGLOBAL::KONSTR, &MainAlias, "konstr8.DB", false},
    {&TDBGLOBAL::KONSTZ, &MainAlias, "konstz8.DB", false},
    {&TDBGLOBAL::KONBTL, &MainAlias, "konbtl8.db", false},
    {&TDBGLOBAL::KONETR, &MainAlias, "konetr8.db", false},
    {&TDBGLOBAL::PRJINF, &MainAlias, "PRJINF8.DB", false},
    {&TDBGLOBAL::DBLEK8, &MainAlias, "LEK8.db", false},
    {&TDBGLOBAL::LEK4, &MainAlias, "Lek4.db", false},
    {&TDBGLOBAL::LEK4A, &MainAlias, "LEK4A.DB", false},
    {&TDBGLOBAL::LEK51, &MainAlias, "LEK51.db", false},
    {&TDBGLOBAL::WST, &MainAlias, "WST.DB", true},
    {&TDBGLOBAL::DXF, &MainAlias, "DXF_CFG.DB", false},
    {&TDBGLOBAL::VERSION_DB, &MainAlias, "VERDB.DB", true},
    {&TDBGLOBAL::SAVESORT, &MainAlias, "SAV_ORDER.DB", false},
    {&TDBGLOBAL::LEK12, &TempDatabase, "lek12.db", false},
    {&TDBGLOBAL::LEK14, &TempDatabase, "lek14.db", false},
    {&TDBGLOBAL::LEK31, &TempDatabase, "lek31.db", false},
};

const char* const Lek14FloatFields[] = {"CALC_FDR_RATE", "CALC_WEG_X",    "CALC_WEG_Y",   "CALC_WEG_Z",
                                        "CALC_BLOCKIER", "CALC_K_LAST",   "CALC_LAST_BLOK", "CALC_GEW_GES",
                                        "CALC_ARBWEG",   "CALC_PRS_GES"};

void DeclareListFields(TTable& t) {
    t.AddCalcField(QStringLiteral("CALC_ZNR"), TFieldType::String, 30);
    t.AddCalcField(QStringLiteral("CALC_BEZ"), TFieldType::String, 60);
    for (const char* name : Lek14FloatFields)
        t.AddCalcField(QString::fromLatin1(name), TFieldType::Float);
    t.AddCalcField(QStringLiteral("CALC_PRS_GES_STR"), TFieldType::String, 30);
    t.AddCalcField(QStringLiteral("CALC_TYP_NR"), TFieldType::String, 6);
}

double ExchangeRate() { return ConstructionRecord.F_TGKURS; }
bool MetricPrint() { return ConstructionRecord.F_DRCK_GEW_KZ; }

constexpr double KgToLbs = 2.2045855379188715;
constexpr double MmToInch = 0.03937007874015748;
constexpr double KnToLbs = 1000 * 0.1019367991845056 * 2.20462;
constexpr double SpringRateToImperial = 5.7081;

double Round(double v, int decimals) { return double(RoundTo(v, decimals)); }

QString PriceText(double price, const QString& text) {
    return price == 0 ? IvTranslate(QStringLiteral("a.A.")) + QLatin1Char('*') : text;
}

double Value(TDataSet& d, const char* field) { return d.FieldByName(QString::fromLatin1(field)).AsFloat(); }
void Set(TDataSet& d, const char* field, const QVariant& v) { d.FieldByName(QString::fromLatin1(field)).SetValue(v); }

// One converted value of the lists: the metric value rounded, or the
// imperial one.
struct ListValue {
    const char* target;
    const char* source;
    double factor;   // imperial factor
    int metricDecimals;
    int imperialDecimals;
};

const ListValue ListValues[] = {
    {"CALC_FDR_RATE", "K_FDR_RATE", SpringRateToImperial, 2, 1},
    {"CALC_WEG_X", "K_WEG_X", MmToInch, 2, 3},
    {"CALC_WEG_Y", "K_WEG_Y", MmToInch, 2, 3},
    {"CALC_WEG_Z", "K_WEG_Z", MmToInch, 2, 3},
    {"CALC_BLOCKIER", "K_BLOCKIER", MmToInch, 2, 3},
    {"CALC_LAST_BLOK", "K_LAST_BLOK", KnToLbs, 2, 1},
    {"CALC_GEW_GES", "K_GEW_GES", KgToLbs, 2, 2},
    {"CALC_ARBWEG", "K_ARBWEG", MmToInch, 2, 3},
};

double Converted(double v, double factor, int metricDecimals, int imperialDecimals) {
    return MetricPrint() ? Round(v, metricDecimals) : Round(v * factor, imperialDecimals);
}

QString TypeName(const QString& typeCode) {
    bool ok = false;
    const int number = typeCode.trimmed().toInt(&ok);
    if (!ok)
        return {};
    const QString text = ErrorTextByNumber(number);
    return PrintTextTranslator ? PrintTextTranslator(text) : text;
}

QString ArticleNumber(TDataSet& d) {
    TField& kata = d.FieldByName(QStringLiteral("K_KATA_KZ"));
    const bool imperial = kata.IsNull() ? d.FieldByName(QStringLiteral("K_EINH_KZ")).AsBoolean() : kata.AsBoolean();
    const bool nuclear = d.FieldByName(QStringLiteral("K_KERNTECH")).AsBoolean();
    const char* field = imperial ? (nuclear ? "STA_L_NR_K_I" : "STA_L_NR_I") : (nuclear ? "STA_L_NR_K" : "STA_L_NR");
    return d.FieldByName(QString::fromLatin1(field)).AsString();
}

// The settings table's fields as this release expects them: a table that
// lacks one is out of date.
void RequireSettingsFields(TTable& firdat) {
    for (const QString& name : CatalogueTable(QStringLiteral("FIRDAT.DB")).columnNames())
        if (!firdat.FindField(name))
            throw EDatabaseError(QStringLiteral("FIRDAT: Field '%1' not found").arg(name));
}

// The directory of this run while it exists, for the exit handler: a run
// that ends without destroying the module (exit() from deep inside) must
// not leave it behind either.
std::string PendingWorkDir;

void RemovePendingWorkDir() {
    if (!PendingWorkDir.empty())
        QDir(QFile::decodeName(PendingWorkDir.c_str())).removeRecursively();
    PendingWorkDir.clear();
}

void RemoveWorkDir(const QString& dir) {
    try {
        RemoveDirWithFiles(dir);
    } catch (const EGeneralError&) {
        // Our own directory: whatever else was put into it goes too.
        QDir(dir).removeRecursively();
    }
}

}  // namespace

int TableFieldCount(const QString& path) {
    try {
        return int(ReadTableSchema(path).fields.size());
    } catch (const EDatabaseError&) {
        return 0;
    }
}

void UpgradeFirdatTable(const QString& aliasPath) {
    TAlterTable alter(TablePath(aliasPath, QStringLiteral("FIRDAT.db")));
    TMyField* customerDrawing = alter.FieldExists(QStringLiteral("F_KDN_ZNR"));
    if (!customerDrawing) {
        alter.AddField(QStringLiteral("F_KDN_ZNR"), TFieldType::String, 0, 25);
        alter.Restructure();
    } else if (customerDrawing->Size() != 25) {
        customerDrawing->SetSize(25);
        alter.Restructure();
    }
    for (const CatalogueColumn& c : FirdatUpgradeColumns()) {
        if (alter.FieldExists(c.name))
            continue;
        const TFieldDef def = FieldDefFromCode(c.name, c.code);
        alter.AddField(def.name, def.type, 0, def.size);
        alter.Restructure();
    }
}

TDBGLOBAL::TDBGLOBAL(QObject* parent) : QObject(parent), KON_DB(GlobalDatabase) {
    SetupComponents();
    DBGLOBAL = this;
    try {
        DBGLOBALCreate();
    } catch (...) {
        DBGLOBALDestroy();
        DBGLOBAL = nullptr;
        throw;
    }
}

TDBGLOBAL::~TDBGLOBAL() {
    DBGLOBALDestroy();
    if (DBGLOBAL == this)
        DBGLOBAL = nullptr;
}

void TDBGLOBAL::SetupComponents() {
    KON_DB.SetAliasName(MainAlias);
    for (const TableSetup& s : Tables) {
        TTable& t = this->*s.table;
        t.SetDatabaseName(*s.database);
        t.SetTableName(QString::fromLatin1(s.file));
        t.SetReadOnly(s.readOnly);
    }
    DBLEK8.AddCalcField(QStringLiteral("PRS_TKS"), TFieldType::Float);
    DBLEK8.AddCalcField(QStringLiteral("GEW_EH"), TFieldType::Float);
    DBLEK8.SetOnCalcFields(&DBLEK8CalcFields);
    LEK12.AddCalcField(QStringLiteral("CALC_PRS_TGK"), TFieldType::Float);
    LEK12.AddCalcField(QStringLiteral("CALC_PRS_TGK_STR"), TFieldType::String, 30);
    LEK12.AddCalcField(QStringLiteral("CALC_GEW_GES"), TFieldType::Float);
    LEK12.SetOnCalcFields(&LEK12CalcFields);
    DeclareListFields(LEK14);
    LEK14.SetOnCalcFields(&LEK14CalcFields);
    DeclareListFields(LEK31);
    LEK31.SetOnCalcFields(&LEK14CalcFields);
}

void TDBGLOBAL::DBGLOBALCreate() {
    const QString path = AliasDirectory(MainAlias);
    CheckConfiguration(path);
    OpenSettingsTable(path);
    SetupPrivateDirectory();
    ConnectDatabases();
    ReadCompanySettings();
}

void TDBGLOBAL::CheckConfiguration(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isDir())
        throw EGeneralError(QStringLiteral("BDE configuration error #1 ( Alias: KORVA_9_0 ?)\rDirectory : \"%1\" does not exist!")
                                .arg(path));
    if (FindFileNoCase(path, QStringLiteral("firdat.db")).isEmpty())
        throw EGeneralError(
            QStringLiteral("BDE configuration error #2 ( Alias: KORVA_9_0 ?)\rFile firdat.db does not exist in directory \"%1\" !")
                .arg(path));
}

// An 84-field settings table comes from an older release; one that still
// lacks a field after that is brought up to date as well and left closed.
void TDBGLOBAL::OpenSettingsTable(const QString& path) {
    if (TableFieldCount(TablePath(path, QStringLiteral("FIRDAT.db"))) == 84)
        UpgradeFirdatTable(path);
    try {
        FIRDAT.Open();
        RequireSettingsFields(FIRDAT);
    } catch (const EDatabaseError&) {
        FIRDAT.Close();
        UpgradeFirdatTable(path);
    }
}

// Always a directory of this run: the temporary folder is shared by every
// user of the machine, so the temporary tables may not sit there under
// their fixed names.
void TDBGLOBAL::SetupPrivateDirectory() {
    TSession& session = Session();
    session.SetConfigMode(cmSession);
    try {
        TempWorkDir = ZoCreateUniqueTempPath();
        static const bool registered = std::atexit(&RemovePendingWorkDir) == 0;
        (void)registered;
        PendingWorkDir = QFile::encodeName(TempWorkDir).toStdString();
        session.SetPrivateDir(TempWorkDir);
        if (session.IsAlias(TempAlias))
            session.DeleteAlias(TempAlias);
        session.AddStandardAlias(TempAlias, session.PrivateDir(), QStringLiteral("PARADOX"));
    } catch (...) {
        session.SetConfigMode(cmPersistent);
        throw;
    }
    session.SetConfigMode(cmPersistent);
}

void TDBGLOBAL::ConnectDatabases() {
    try {
        DB_TMP.SetDatabaseName(TempDatabase);
        DB_TMP.SetAliasName(TempAlias);
        DB_TMP.Open();
        KON_DB.Open();
    } catch (const std::exception&) {
        throw EGeneralError(QStringLiteral("BDE configuration error #3 ( Alias: KORVA_TEMPDB ?)"));
    }
}

void TDBGLOBAL::ReadCompanySettings() {
    try {
        FIRDAT.Open();
        CompanyNumber = FIRDAT.FieldByName(QStringLiteral("F_NR")).AsInteger();
        if (!FIRDAT.FieldByName(QStringLiteral("PREISE_ERLAUBT")).AsBoolean()
            && FIRDAT.FieldByName(QStringLiteral("F_PREISE")).AsBoolean()) {
            FIRDAT.Edit();
            FIRDAT.FieldByName(QStringLiteral("F_PREISE")).SetAsBoolean(false);
            FIRDAT.Post();
        }
        FIRDAT.Close();
    } catch (const std::exception&) {
        FIRDAT.Close();
        throw EGeneralError(QStringLiteral("BDE configuration error #4 ( Alias: KORVA_9_0 ?)"));
    }
}

void TDBGLOBAL::DBGLOBALDestroy() {
    if (m_destroyed)
        return;
    m_destroyed = true;
    const auto guarded = [](auto&& step) {
        try {
            step();
        } catch (...) {
        }
    };
    guarded([this] {
        for (const TableSetup& s : Tables)
            (this->*s.table).Close();
        DB_TMP.Close();
    });
    guarded([] {
        TSession& session = Session();
        if (session.IsAlias(TempAlias))
            session.DeleteAlias(TempAlias);
        session.DropConnections();
    });
    // The private directory stays registered with the signal handlers until
    // it is gone: a terminating signal in the middle of its removal has the
    // handler remove the rest.
    guarded([this] {
        if (!TempWorkDir.isEmpty() && AddBackslash(TempWorkDir) != GetTempDir() && QFileInfo(TempWorkDir).isDir())
            RemoveWorkDir(TempWorkDir);
        TempWorkDir.clear();
        PendingWorkDir.clear();
    });
    guarded([] { Session().SetPrivateDir(QString()); });
}

void TDBGLOBAL::DBLEK8CalcFields(TDataSet& d) {
    Set(d, "PRS_TKS", Value(d, "PRS") * ExchangeRate());
    Set(d, "GEW_EH", MetricPrint() ? 1.0 : 0.4536);
}

void TDBGLOBAL::LEK12CalcFields(TDataSet& d) {
    const double price = Round(Value(d, "K_PRS_GES") * ExchangeRate(), 2);
    Set(d, "CALC_PRS_TGK", price);
    Set(d, "CALC_PRS_TGK_STR", PriceText(price, FormatNumber(price)));
    const double weight = Value(d, "K_GEW_GES");
    Set(d, "CALC_GEW_GES", MetricPrint() ? Round(weight, 2) : Round(weight * KgToLbs, 2));
}

void TDBGLOBAL::LEK14CalcFields(TDataSet& d) {
    Set(d, "CALC_ZNR", d.FieldByName(QStringLiteral("K_LFD_NR")).AsString() + QStringLiteral(" - 3 - ")
                           + d.FieldByName(QStringLiteral("K_NR")).AsString());
    Set(d, "CALC_BEZ", TypeName(d.FieldByName(QStringLiteral("STA_KBEZ")).AsString()));
    for (const ListValue& v : ListValues)
        Set(d, v.target, Converted(Value(d, v.source), v.factor, v.metricDecimals, v.imperialDecimals));
    const bool asDelivered = d.FieldByName(QStringLiteral("K_KALWAR_KZ")).AsBoolean();
    Set(d, "CALC_K_LAST", Converted(Value(d, asDelivered ? "K_LAST_AUSG" : "K_LAST"), KnToLbs, 2, 1));
    const double price = Round(Value(d, "K_PRS_GES"), 2);
    Set(d, "CALC_PRS_GES", price);
    Set(d, "CALC_PRS_GES_STR", PriceText(price, FormatFixed(price, 2)));
    Set(d, "CALC_TYP_NR", ArticleNumber(d));
}
