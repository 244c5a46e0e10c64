#include "data/FIRAUFKON.h"

#include "data/CblTools.h"
#include "data/KONBTL.h"
#include "data/ProjectSchema.h"
#include "localisation/IvDictio.h"
#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "messages/MessageSeam.h"

#include <QHash>
#include <cmath>

TConstructionRecord ConstructionRecord;

namespace {

constexpr int PartEntries = 30;
constexpr int PartDigits = 8;

// The key of the support loaded last; LoadConstructionDims reads it again.
int32_t LastLoadedKey = -1;
bool HaveLoadedKey = false;

struct WorkField {
    const char* name;
    FieldRef (*bind)(TConstructionRecord&);
};

#define FA_WORK(type, name) WorkField{#name, [](TConstructionRecord& r) -> FieldRef { return Bind(r.name); }},
const WorkField* FindWorkField(const QString& name) {
    static const WorkField fields[] = {RECORD_WORK_FIELDS(FA_WORK)};
    for (const WorkField& f : fields)
        if (name == QLatin1String(f.name)) return &f;
    return nullptr;
}

FieldRef RecordRef(const QString& columnName) {
    const ProjectColumn* c = FindSupportColumn(columnName);
    return c && c->record ? c->record(ConstructionRecord) : FieldRef{};
}

// The table's field for a schema column: by position when the file has the
// current layout, else by name.
TField& FieldFor(TTable& table, int index, const ProjectColumn& c) {
    if (index < table.FieldCount()) {
        TField& f = table.Fields(index);
        if (f.FieldName().compare(c.Name(), Qt::CaseInsensitive) == 0) return f;
    }
    return table.FieldByName(c.Name());
}

bool GenericSave(char kind) { return kind == 'V' || kind == 'T' || kind == 'Y'; }
bool GenericLoad(char kind) { return kind != 'Q'; }

// ---- packed and bridge columns --------------------------------------------

QString BridgeChunks(int width, char* (*field)(BridgeItem&)) {
    QString out;
    for (BridgeItem& item : BridgeRecords.Items) out += FieldText(field(item), width);
    return out;
}

void SplitBridgeChunks(const QString& text, int width, int fieldHigh, char* (*field)(BridgeItem&)) {
    for (int i = 0; i < PartEntries; ++i)
        PutTextField(field(BridgeRecords.Items[size_t(i)]), fieldHigh, text.mid(i * width, width));
}

char* ItemPart(BridgeItem& i) { return i.PartNumber; }
char* ItemDimension(BridgeItem& i) { return i.Dimension; }
char* ItemPosition(BridgeItem& i) { return i.Position; }

int32_t FieldInteger(const char* field, int width) {
    const QString text = FieldTextTrimmed(field, width).trimmed();
    if (text.isEmpty()) return 0;
    bool ok = false;
    const int32_t v = text.toInt(&ok);
    if (!ok) throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return v;
}

void SaveSpecial(TTable& konstr, TTable& konstz) {
    konstr.FieldByName("K_VER").SetAsString(VersionText);
    konstr.FieldByName("K_BTL_8").SetAsString(PackPartNumbers(ConstructionRecord.K_BTL_8));
    konstr.FieldByName("K_ANZ").SetAsString(PackPartCounts(ConstructionRecord.K_ANZ));
    konstr.FieldByName("K_ABHG_KZ").SetAsString(FieldText(BridgeRecords.ArrangementLetter));
    konstr.FieldByName("K_RSRL_KZ").SetAsString(FieldText(BridgeRecords.ClampFlag, 1));
    konstr.FieldByName("K_BTH_AUFGES").SetAsInteger(FieldInteger(BridgeRecords.BthAufges, 5));
    konstr.FieldByName("K_GES_HOEHE_I").SetAsString(FieldText(BridgeRecords.TotalHeightFeetInch));
    konstr.FieldByName("K_ROHR_KORR").SetAsInteger(0);
    konstr.FieldByName("K_BE_BTL").SetAsString(BridgeChunks(8, ItemPart));
    konstr.FieldByName("K_BE_EMASS").SetAsString(BridgeChunks(4, ItemDimension));
    konstr.FieldByName("K_BE_POS").SetAsString(BridgeChunks(2, ItemPosition));
    konstr.FieldByName("K_DREHUNG_AS").SetAsBoolean(BridgeRecords.DrehungAs);
    konstr.FieldByName("K_DREHUNG_STAHL").SetAsBoolean(BridgeRecords.DrehungStahl);
    konstr.FieldByName("K_DREHUNG_KH").SetAsBoolean(BridgeRecords.DrehungKh);
    konstr.FieldByName("K_DREHUNG_S").SetAsBoolean(BridgeRecords.DrehungS);
    konstz.FieldByName("K_RES_NUM1").SetAsFloat(BridgeRecords.ResNum1);
    konstz.FieldByName("K_RES_NUM2").SetAsFloat(BridgeRecords.ResNum2);
    konstz.FieldByName("K_RES_INT1").SetAsInteger(BridgeRecords.ResInt1);
    konstz.FieldByName("K_RES_INT2").SetAsInteger(BridgeRecords.ResInt2);
    konstz.FieldByName("K_RES_BOL1").SetAsBoolean(CalcGlobals.CNStandard);
}

void LoadSpecial(TTable& konstr, TTable* konstz) {
    TConstructionRecord& r = ConstructionRecord;
    UnpackParts(konstr.FieldByName("K_BTL_8").AsString(), konstr.FieldByName("K_ANZ").AsString(), r.K_BTL_8,
                r.K_ANZ);
    PutText(BridgeRecords.ArrangementLetter, konstr.FieldByName("K_ABHG_KZ").AsString());
    PutText(BridgeRecords.ClampFlag, konstr.FieldByName("K_RSRL_KZ").AsString());
    PutText(BridgeRecords.BthAufges, QString::number(konstr.FieldByName("K_BTH_AUFGES").AsInteger()));
    PutText(BridgeRecords.TotalHeightFeetInch, konstr.FieldByName("K_GES_HOEHE_I").AsString());
    PutText(BridgeRecords.RohrKorr, QString::number(konstr.FieldByName("K_ROHR_KORR").AsInteger()));
    SplitBridgeChunks(konstr.FieldByName("K_BE_BTL").AsString(), 8, 8, ItemPart);
    SplitBridgeChunks(konstr.FieldByName("K_BE_EMASS").AsString(), 4, 4, ItemDimension);
    SplitBridgeChunks(konstr.FieldByName("K_BE_POS").AsString(), 2, 2, ItemPosition);
    BridgeRecords.DrehungAs = r.K_DREHUNG_AS;
    BridgeRecords.DrehungStahl = r.K_DREHUNG_STAHL;
    BridgeRecords.DrehungKh = r.K_DREHUNG_KH;
    BridgeRecords.DrehungS = r.K_DREHUNG_S;
    if (!konstz) {
        BridgeRecords.ResNum1 = 0;
        BridgeRecords.ResNum2 = 0;
        BridgeRecords.ResInt1 = 0;
        BridgeRecords.ResInt2 = 0;
        CalcGlobals.CNStandard = false;
        return;
    }
    BridgeRecords.ResNum1 = int32_t(konstz->FieldByName("K_RES_NUM1").AsFloat());
    BridgeRecords.ResNum2 = float(konstz->FieldByName("K_RES_NUM2").AsFloat());
    BridgeRecords.ResInt1 = konstz->FieldByName("K_RES_INT1").AsInteger();
    BridgeRecords.ResInt2 = konstz->FieldByName("K_RES_INT2").AsInteger();
    CalcGlobals.CNStandard = r.K_RES_BOL1;
}

void SaveColumns(TTable& table, ProjectTable which) {
    const QList<ProjectColumn>& columns = ProjectColumns(which);
    for (int i = 0; i < columns.size(); ++i)
        if (GenericSave(columns[i].kind)) WriteField(FieldFor(table, i, columns[i]), columns[i].record(ConstructionRecord));
}

// A support without its companion row gets blanks, 0 and false there, not
// the values of the support loaded before it.
void ClearColumns(ProjectTable which) {
    for (const ProjectColumn& c : ProjectColumns(which))
        if (c.record && c.kind != 'Y') ClearRef(c.record(ConstructionRecord));
}

void LoadColumns(TTable& table, ProjectTable which) {
    const QList<ProjectColumn>& columns = ProjectColumns(which);
    for (int i = 0; i < columns.size(); ++i)
        if (GenericLoad(columns[i].kind)) ReadField(FieldFor(table, i, columns[i]), columns[i].record(ConstructionRecord));
}

void OpenSupportRows(TTable& table, int32_t key) {
    table.SetFilter(QStringLiteral("K_F_NR_AUS = ?"), {key});
    table.SetFiltered(true);
    table.Open();
    table.First();
}

}  // namespace

// ---- the record --------------------------------------------------------------

void TConstructionRecord::Reset() {
    for (ProjectTable t : {ProjectTable::Konstr, ProjectTable::Konstz})
        for (const ProjectColumn& c : ProjectColumns(t))
            if (c.record) ClearRef(c.record(*this));
#define FA_CLEAR_WORK(type, name) ClearRef(Bind(name));
    RECORD_WORK_FIELDS(FA_CLEAR_WORK)
#undef FA_CLEAR_WORK
    std::fill(std::begin(K_BTL_8), std::end(K_BTL_8), 0.0);
    std::fill(std::begin(K_ANZ), std::end(K_ANZ), int16_t(0));
    PrintUnitChar = ' ';
}

// ---- packed parts chain ------------------------------------------------------

namespace {

// The engineer reads why in the language of the menus: the message of the
// string table, then the entry and the value that does not fit.
EConstructionError PackingError(int messageNumber, int entry, const QString& value) {
    return EConstructionError(messageNumber, IvTranslate(ErrorTextByNumber(messageNumber)) + QLatin1Char('\r') +
                                                 IvTranslate(QStringLiteral("Position")) + QLatin1Char(' ') +
                                                 QString::number(entry + 1) + QStringLiteral(": ") + value);
}

}  // namespace

QString PackPartNumbers(const double (&numbers)[30]) {
    // A zero before a later number is written at full width so that every
    // entry stays at its 8-character place; trailing zeros stay one "0" each.
    int last = -1;
    for (int i = 0; i < PartEntries; ++i)
        if (numbers[i] != 0) last = i;
    QString out;
    for (int i = 0; i < PartEntries; ++i) {
        const double n = std::trunc(numbers[i]);
        if (n < 0 || n > 99999999) throw PackingError(MsgPartNumberTooLong, i, FormatNumber(numbers[i]));
        if (i > last) out += QLatin1Char('0');
        else out += QStringLiteral("%1").arg(qlonglong(n), PartDigits, 10, QLatin1Char('0'));
    }
    return out;
}

QString PackPartCounts(const int16_t (&counts)[30]) {
    QString out;
    for (int i = 0; i < PartEntries; ++i) {
        // One digit per count: a larger count would move every later one.
        if (counts[i] < 0 || counts[i] > 9) throw PackingError(MsgPartCountTooLarge, i, QString::number(counts[i]));
        out += QChar('0' + counts[i]);
    }
    return out;
}

void UnpackParts(const QString& packedNumbers, const QString& packedCounts, double (&numbers)[30],
                 int16_t (&counts)[30]) {
    QString rest = packedNumbers.trimmed();
    for (int i = 0; i < PartEntries; ++i) {
        numbers[i] = 0;
        const QChar c = i < packedCounts.size() ? packedCounts.at(i) : QChar('0');
        counts[i] = int16_t(c.isDigit() ? c.digitValue() : 0);
    }
    for (int i = 0; i < PartEntries && !rest.isEmpty(); ++i) {
        const QString chunk = rest.left(PartDigits);
        rest.remove(0, PartDigits);
        bool ok = false;
        const qlonglong n = chunk.toLongLong(&ok);
        if (!ok) throw EConvertError(QStringLiteral("'%1' is not a valid part number").arg(chunk));
        numbers[i] = double(n);
    }
}

// ---- transfers -----------------------------------------------------------------

void SaveConstruction(TTable& konstr, TTable& konstz) {
    // Checked first, so a support that cannot be stored changes no column.
    PackPartNumbers(ConstructionRecord.K_BTL_8);
    PackPartCounts(ConstructionRecord.K_ANZ);
    SaveColumns(konstr, ProjectTable::Konstr);
    SaveColumns(konstz, ProjectTable::Konstz);
    SaveSpecial(konstr, konstz);
}

bool LoadConstruction() {
    int32_t key = 0;
    if (!DrawingKeyFromText(CalcGlobals.DrawingKeyText, key)) return false;
    auto konstr = MakeProjectTable(ProjectTable::Konstr);
    auto konstz = MakeProjectTable(ProjectTable::Konstz);
    OpenSupportRows(*konstr, key);
    if (konstr->IsEmpty()) return false;
    OpenSupportRows(*konstz, key);
    LoadColumns(*konstr, ProjectTable::Konstr);
    const bool haveCompanion = !konstz->IsEmpty();
    if (haveCompanion) LoadColumns(*konstz, ProjectTable::Konstz);
    else ClearColumns(ProjectTable::Konstz);
    LoadSpecial(*konstr, haveCompanion ? konstz.get() : nullptr);
    LastLoadedKey = key;
    HaveLoadedKey = true;
    return true;
}

void LoadConstructionDims() {
    static const QStringList names = [] {
        QStringList n{"K_BREITE", "K_BREITE_I"};
        for (const char* group : {"K_HM_Q_", "K_HM_D_", "K_HI_Q_F_", "K_HI_D_F_"})
            for (int i = 1; i <= 6; ++i) n << QStringLiteral("%1%2").arg(QLatin1String(group)).arg(i);
        n << "K_MHOEHE_OBENL" << "K_MHOEHE_OBENR" << "K_MHOEHE_UNTEN" << "K_IHOEHE_OBENL" << "K_IHOEHE_OBENR"
          << "K_IHOEHE_UNTEN";
        return n;
    }();
    if (!HaveLoadedKey) return;
    auto konstr = MakeProjectTable(ProjectTable::Konstr);
    OpenSupportRows(*konstr, LastLoadedKey);
    if (!konstr->IsEmpty())
        for (const QString& name : names) ReadField(konstr->FieldByName(name), RecordRef(name));
    konstr->Close();
}

// ---- company and project settings ---------------------------------------------

namespace {

// The company options in the order they are read; "<version>" stands for
// the program's version text.
const QStringList& CompanyOptionColumns() {
    static const QStringList names = QStringLiteral(
        "F_DRCK_DIM_KZ F_KATA_KZ F_DRCK_GEW_KZ F_DRCK_KZ F_HYDTEST_KZ F_EINH_KZ F_NR F_LFD_NR <version> "
        "F_BEARB F_KD_KOM_NR_1 F_KD_KOM_NR_2 F_KD_KOM_NR_3 F_BEST F_ANL F_SYS F_BEST_KOM_NR F_BEST_NR "
        "F_FREI_UEBER F_FREI_TEXT F_SCHRIFT_1 F_SCHRIFT_2 F_FDIFF F_BEWEGBER F_LR_FH F_LR_KH F_WR_FH "
        "F_WR_FH_MM F_WR_KH F_WR_KH_MM F_WR_SB F_WR_GS F_WINKEL_KZ F_WINKEL F_KALWAR_KZ F_NAHT_KZ F_PLAN_KZ "
        "F_PRJDIR_KZ F_RAHMEN_KZ F_VORSP_KZ F_KOOR_KZ F_NORDP_KZ F_ANSTR_KZ F_WEG_KZ F_DYNLOAD_KZ "
        "F_VORKOS_KZ F_BLOCKKOS_KZ F_BLOCK_VOR F_RSRL_OHNE F_RSRL_OHNE_NR F_RSRL_AN F_KERNTECH F_OB_ANSCH "
        "F_TYP_42_KZ F_SB_OHNE_V F_KRZ_BEZ_H F_KRZ_BEZ_L F_KRZ_BEZ_V F_ZUGST_ST F_KN_KG F_PREISE F_TGKURS "
        "F_STRLOAD_KZ F_EINBAU_KZ F_PRS_EINHEIT F_NAME F_NAME_ZU F_DRCK_EH_KZ F_PTFE_KZ F_AUFLAGER_KZ "
        "F_ROHRLAGER_KZ F_DYN70PROZENT_KZ F_RLAGER_WST_KZ F_RSRL_LR F_DA_INFO_ONLY F_HD_KZ F_VGBRL_KZ "
        "F_ST_RL_KZ").split(QLatin1Char(' '));
    return names;
}

// The record variable a company option goes to: the K_ variable of the
// same name, else the record's working field.
FieldRef CompanyOptionTarget(const QString& column) {
    const FieldRef support = RecordRef(QStringLiteral("K_") + column.mid(2));
    if (!std::holds_alternative<std::monostate>(support)) return support;
    const WorkField* work = FindWorkField(column);
    return work ? work->bind(ConstructionRecord) : FieldRef{};
}

void ReadCompanyOption(TTable& firdat, const QString& column) {
    if (column == QLatin1String("<version>")) {
        PutText(ConstructionRecord.K_VER, VersionText);
    } else if (column == QLatin1String("F_DRCK_EH_KZ")) {
        const QString unit = firdat.FieldByName(column).AsString();
        ConstructionRecord.PrintUnitChar = unit.isEmpty() ? ' ' : char(unit.at(0).toLatin1());
    } else {
        ReadField(firdat.FieldByName(column), CompanyOptionTarget(column));
    }
}

void ReadCompanyOptionColumns(TTable& firdat, const QStringList& columns) {
    try {
        firdat.Open();
        firdat.First();
        for (const QString& column : columns) ReadCompanyOption(firdat, column);
    } catch (...) {
        ConstructionRecord.PrintUnitChar = 'A';
        MessageRequest request;
        request.text = IvTranslate(QStringLiteral(
            "Fehler beim Initialisieren aufgetreten !\rPrüfen Sie bitte alle Werte in den Optionen\r"
            "bevor Sie fortfahren."));
        request.kind = MessageKind::Error;
        request.buttons = mb::OK;
        ShowMessage(request);
    }
    firdat.Close();
}

std::unique_ptr<TTable> CompanySettingsTable() {
    return std::make_unique<TTable>(QStringLiteral("KORVA_9_0"), QStringLiteral("FIRDAT.DB"));
}

// The settings columns that travel between the company and the project.
QStringList SettingsColumns(bool towardsProject) {
    QStringList names;
    for (const ProjectColumn& c : ProjectColumns(ProjectTable::Prjinf))
        if (c.kind == 'P' || (towardsProject && c.kind == 'O')) names << c.Name();
    return names;
}

void EditOrAppend(TTable& table, bool append) {
    if (append || table.IsEmpty()) table.Append();
    else {
        table.First();
        table.Edit();
    }
}

}  // namespace

void ReadCompanyOptions() {
    auto firdat = CompanySettingsTable();
    ReadCompanyOptions(*firdat);
}

void ReadCompanyOptions(TTable& firdat) {
    ReadCompanyOptionColumns(firdat, CompanyOptionColumns());
}

CompanyOptionValues ReadCompanyOptionValues() {
    auto firdat = CompanySettingsTable();
    return ReadCompanyOptionValues(*firdat);
}

CompanyOptionValues ReadCompanyOptionValues(TTable& firdat) {
    CompanyOptionValues values;
    try {
        firdat.Open();
        firdat.First();
        for (const QString& column : CompanyOptionColumns())
            if (column != QLatin1String("<version>")) values.insert(column, firdat.FieldByName(column).Value());
    } catch (...) {
        // What cannot be read now counts as changed later, so it is read
        // again then, with the message that belongs to that read.
    }
    firdat.Close();
    return values;
}

QStringList ReadChangedCompanyOptions(const CompanyOptionValues& before, const QStringList& keep) {
    auto firdat = CompanySettingsTable();
    return ReadChangedCompanyOptions(*firdat, before, keep);
}

QStringList ReadChangedCompanyOptions(TTable& firdat, const CompanyOptionValues& before, const QStringList& keep) {
    const CompanyOptionValues now = ReadCompanyOptionValues(firdat);
    QStringList changed;
    for (const QString& column : CompanyOptionColumns()) {
        if (column == QLatin1String("<version>") || keep.contains(column)) continue;
        const auto was = before.constFind(column);
        const auto is = now.constFind(column);
        if (was == before.constEnd() || is == now.constEnd() || *was != *is) changed << column;
    }
    if (!changed.isEmpty()) ReadCompanyOptionColumns(firdat, changed);
    return changed;
}

void ReadProjectInfo() {
    auto prjinf = MakeProjectTable(ProjectTable::Prjinf);
    ReadProjectInfo(*prjinf);
}

void ReadProjectInfo(TTable& prjinf) {
    CalcGlobals.LateralTravelAngle = 0;
    CalcGlobals.HorizontalTravelAngle = 0;
    CalcGlobals.RodLength = 0;
    prjinf.Open();
    QString flags;
    if (!prjinf.IsEmpty()) {
        prjinf.First();
        flags = prjinf.FieldByName(QStringLiteral("F_Bool_Carrier")).AsString();
    }
    prjinf.Close();
    TConstructionRecord& r = ConstructionRecord;
    r.Reset();
    // The project's flag text is what this reset is for: it survives it.
    PutText(r.K_Bool_Carrier, flags);
    r.K_ABHG_ANZ = 1;
    r.K_ST_E_6 = true;
    r.K_Z_MASS = -1;
    r.K_TRAGARM_L_I = QStringLiteral("0");
    ClearConstruction();
}

void ClearConstruction() {
    static const QStringList names = [] {
        QStringList n{"K_BREITE", "K_BREITE_2", "K_BREITE_I", "K_MHOEHE_OBENL", "K_MHOEHE_OBENR",
                      "K_MHOEHE_UNTEN", "K_IHOEHE_OBENL", "K_IHOEHE_OBENR", "K_IHOEHE_UNTEN", "K_ARBWEG",
                      "K_ARBWEG_EFF", "K_BLOCKIER", "K_BRT_ZAEHL", "K_FDR_RATE", "K_GES_E_MASS", "K_H_ZHL",
                      "K_LAST_AUSG", "K_LAST_BLOK", "K_LG_MAX", "K_RSL_GEW", "K_RSL_NRN", "K_STA_NRN",
                      "K_LAST_BERW"};
        for (const char* group : {"K_HM_Q_", "K_HM_D_", "K_HI_Q_F_", "K_HI_D_F_"})
            for (int i = 1; i <= 6; ++i) n << QStringLiteral("%1%2").arg(QLatin1String(group)).arg(i);
        for (const char* group : {"K_RESTLAENGE_", "K_TAB_ANZ_", "K_TAB_LGR_", "K_TAB_SAZ_", "K_TAB_STG_", "K_TAB_STL_"})
            for (int i = 1; i <= 5; ++i) n << QStringLiteral("%1%2").arg(QLatin1String(group)).arg(i);
        return n;
    }();
    for (const QString& name : names) ClearRef(RecordRef(name), QStringLiteral(" "));
    std::fill(std::begin(ConstructionRecord.K_BTL_8), std::end(ConstructionRecord.K_BTL_8), 0.0);
    std::fill(std::begin(ConstructionRecord.K_ANZ), std::end(ConstructionRecord.K_ANZ), int16_t(0));
    ClearPartsList();
}

void CopyOptionsToProject(bool newProject) {
    auto firdat = CompanySettingsTable();
    auto prjinf = MakeProjectTable(ProjectTable::Prjinf);
    CopyOptionsToProject(*firdat, *prjinf, newProject);
}

void CopyOptionsToProject(TTable& firdat, TTable& prjinf, bool newProject) {
    firdat.Open();
    firdat.First();
    prjinf.Open();
    EditOrAppend(prjinf, newProject);
    for (const QString& name : SettingsColumns(true))
        prjinf.FieldByName(name).SetValue(firdat.FieldByName(name).Value());
    prjinf.FieldByName(QStringLiteral("F_Bool_Carrier")).SetAsString(CalcGlobals.HDFlags);
    if (newProject) {
        prjinf.FieldByName(QStringLiteral("BITMAP_KZ")).SetAsBoolean(false);
    } else {
        prjinf.FieldByName(QStringLiteral("BITMAP_KZ")).SetAsBoolean(CalcGlobals.LogoFlag);
        prjinf.FieldByName(QStringLiteral("BITMAP")).SetAsString(CalcGlobals.LogoFile);
    }
    prjinf.Post();
    prjinf.Close();
    firdat.Close();
}

void CopyProjectToOptions() {
    auto prjinf = MakeProjectTable(ProjectTable::Prjinf);
    auto firdat = CompanySettingsTable();
    CopyProjectToOptions(*prjinf, *firdat);
}

void CopyProjectToOptions(TTable& prjinf, TTable& firdat) {
    prjinf.Open();
    if (prjinf.IsEmpty()) {
        prjinf.Close();
        return;
    }
    prjinf.First();
    firdat.Open();
    EditOrAppend(firdat, false);
    for (const QString& name : SettingsColumns(false))
        firdat.FieldByName(name).SetValue(prjinf.FieldByName(name).Value());
    firdat.Post();
    firdat.Close();
    prjinf.Close();
}

// ---- storing one support -----------------------------------------------------

namespace {

void DeletePartsListRows(int32_t key) {
    TQuery query(ProjectDatabaseName,
                 QStringLiteral("DELETE FROM %1 WHERE KB_F_NR_AUS = ?")
                     .arg(ProjectTableFileName(ProjectTable::Konbtl).section(QLatin1Char('.'), 0, 0)));
    query.SetParams({key});
    query.ExecSQL();
}

// The company settings table, attached to the project's database by its
// path, so that its running number changes in the store's own commit.
void AdvanceRunningNumber(const QString& projectDatabase) {
    const QString settings = CompanySettingsTable()->FilePath();
    TTable firdat(projectDatabase, settings);
    firdat.Open();
    if (firdat.IsEmpty())
        throw EDBEngineError(dbeNoCurrentRecord,
                             QStringLiteral("%1: no settings row to keep the running number in").arg(settings));
    firdat.First();
    firdat.Edit();
    firdat.FieldByName(QStringLiteral("F_LFD_NR")).SetAsInteger(ConstructionRecord.K_LFD_NR + 1);
    firdat.Post();
    firdat.Close();
}

StoreOutcome WriteSupport(int32_t key, int32_t loadedKey) {
    auto konstr = MakeProjectTable(ProjectTable::Konstr);
    auto konstz = MakeProjectTable(ProjectTable::Konstz);
    konstr->Open();
    konstz->Open();
    const bool found = konstr->FindKey({key});
    if (found && key != loadedKey) return StoreOutcome::KeyTaken;
    if (found) konstr->Edit();
    else konstr->Append();
    if (konstz->FindKey({key})) konstz->Edit();
    else konstz->Append();
    PutText(ConstructionRecord.K_KONST_KZ, QStringLiteral("M"));
    SaveConstruction(*konstr, *konstz);
    konstr->Post();
    konstz->Post();
    konstr->Close();
    konstz->Close();
    // Rows left under a new key by an earlier failure would block the
    // parts list, so the old rows go in both cases.
    DeletePartsListRows(key);
    SavePartsList();
    return found ? StoreOutcome::Replaced : StoreOutcome::Inserted;
}

}  // namespace

StoreOutcome StoreSupport(int32_t loadedKey, bool advanceRunningNumber) {
    int32_t key = 0;
    if (!DrawingKeyFromText(CalcGlobals.DrawingKeyText, key))
        throw EConstructionError(0, QStringLiteral("No drawing key to store the support under"));
    ConstructionRecord.K_F_NR_AUS = key;
    PartsList.KB_F_NR_AUS = key;
    PartsList.KB_LFD_ZNR = int16_t(ConstructionRecord.K_LFD_NR);
    TDatabase& db = Session().OpenDatabase(ProjectDatabaseName);
    StoreOutcome outcome = StoreOutcome::KeyTaken;
    InTransaction(db, [&] {
        outcome = WriteSupport(key, loadedKey);
        if (outcome == StoreOutcome::Inserted && advanceRunningNumber) AdvanceRunningNumber(ProjectDatabaseName);
    });
    return outcome;
}
