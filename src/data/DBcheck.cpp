#include "data/DBcheck.h"

#include "data/AlterTableClass.h"
#include "data/DBCREATE.h"
#include "data/FileUtils.h"
#include "data/ProjectSchema.h"
#include "localisation/IvDictio.h"
#include "messages/MessageSeam.h"
#include "platform/DbErrors.h"
#include "platform/FaultInjection.h"
#include "platform/TableFile.h"
#include "platform/TableVersion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <fcntl.h>
#include <functional>
#include <memory>
#include <unistd.h>

using namespace checkcode;

namespace {

QStringList g_errors;

// A directory that is not there to check: missing (code 2, a new project
// may be made), or there and out of reach (never to be replaced by a new
// one).
int AbsentDirectoryCode(const QString& dir) {
    if (DirectoryIsMissing(dir)) return NoDirectory;
    g_errors << DirectoryProblem(dir);
    return UnreachableDirectory;
}

const char* const kPrjinf = "prjinf8.db";
const char* const kKonstr = "konstr8.db";
const char* const kKonstz = "konstz8.db";
const char* const kKonetr = "konetr8.db";
const char* const kKonbtl = "konbtl8.db";
const char* const kTableFiles[] = {kPrjinf, kKonstr, kKonstz, kKonetr, kKonbtl};

// Fills "%s", "%d" and "%x" in order, as the message texts carry them.
QString Format(const QString& format, const QStringList& args) {
    QString out;
    int next = 0;
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = i + 1 < format.size() ? format[i + 1] : QChar();
        if (format[i] == '%' && (c == 's' || c == 'd' || c == 'x') && next < args.size()) {
            out += args[next++];
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

int Ask(const QString& text) {
    MessageRequest r;
    r.text = text;
    r.kind = MessageKind::Confirmation;
    r.buttons = mb::Yes | mb::No;
    return ShowMessage(r);
}

void Show(const QString& text, MessageKind kind) {
    MessageRequest r;
    r.text = text;
    r.kind = kind;
    r.buttons = mb::OK;
    ShowMessage(r);
}

// The existing table file of that name in the directory (any case), or empty.
QString FoundFile(const QString& dir, const QString& name) {
    const QString path = FindFileNoCase(dir, name);
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

// While one check runs, each table file's schema is read once: the probes
// for files, indexes, levels and formats would otherwise open every file
// over a connection of its own several times. A read that fails is tried
// again when asked again (a busy file may answer the next time), and
// whatever rewrites the files (conversion, upgrade, a rebuilt index)
// forgets what was read.
QHash<QString, TableSchema>* g_schemaReads = nullptr;

class SchemaReadScope {
public:
    SchemaReadScope() : m_outer(g_schemaReads) { g_schemaReads = &m_reads; }
    ~SchemaReadScope() { g_schemaReads = m_outer; }
    SchemaReadScope(const SchemaReadScope&) = delete;
    SchemaReadScope& operator=(const SchemaReadScope&) = delete;

private:
    QHash<QString, TableSchema> m_reads;
    QHash<QString, TableSchema>* m_outer;
};

struct ForgetSchemasOnExit {
    ForgetSchemasOnExit() {
        if (g_schemaReads) g_schemaReads->clear();
    }
    ~ForgetSchemasOnExit() {
        if (g_schemaReads) g_schemaReads->clear();
    }
};

TableSchema SchemaOfFile(const QString& path) {
    if (!g_schemaReads) return ReadTableSchema(path);
    if (const auto s = g_schemaReads->constFind(path); s != g_schemaReads->constEnd()) return *s;
    TableSchema schema = ReadTableSchema(path);
    g_schemaReads->insert(path, schema);
    return schema;
}

// A table's schema, or nothing when the file cannot be read.
bool ReadSchema(const QString& dir, const QString& name, TableSchema& schema) {
    const QString path = FoundFile(dir, name);
    if (path.isEmpty()) return false;
    try {
        schema = SchemaOfFile(path);
        return true;
    } catch (const EDatabaseError&) {
        return false;
    }
}

// The index file of the engine is the primary index inside the table file
// here. A file that cannot be read counts as having one: opening it reports
// the real error with its code.
bool HasPrimaryIndex(const QString& dir, const QString& tableName) {
    const QString path = FoundFile(dir, tableName);
    if (path.isEmpty()) return false;
    try {
        for (const TIndexDef& ix : SchemaOfFile(path).indexes)
            if (ix.primary) return true;
        return false;
    } catch (const EDatabaseError&) {
        return true;
    }
}

QString DirectoryLine(const QString& dir) {
    return IvTranslate("Directory") + " : \"" + dir + "\"";
}

[[noreturn]] void Abort(const QString& reason) {
    throw EGeneralError(reason + "\r" + IvTranslate("Aborting conversion !"));
}

// The project's table files present in the directory, by their own names.
QStringList PresentTableFiles(const QString& dir) {
    QStringList names;
    for (const char* name : kTableFiles) {
        const QString path = FoundFile(dir, QLatin1String(name));
        if (!path.isEmpty()) names << QFileInfo(path).fileName();
    }
    return names;
}

// The project's table files to hold for a rewrite (taken all at once, so
// the order is only the one delete mode takes them in).
QStringList RewriteOrder(const QString& dir, const QStringList& present) {
    QStringList paths;
    for (const char* name : {kKonstr, kKonstz, kKonbtl, kKonetr, kPrjinf})
        for (const QString& file : present)
            if (file.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) paths << dir + file;
    return paths;
}

// Copies table files as committed; false (with the reason among the
// collected errors) when one cannot be copied.
bool CopyFiles(const QString& from, const QString& to, const QStringList& names) {
    try {
        for (const QString& name : names) CopyTableFile(from + name, to + name);
        return true;
    } catch (const EDatabaseError& e) {
        g_errors << e.Message();
        return false;
    }
}

void RemoveQuietly(const QString& dir) {
    if (dir.isEmpty()) return;
    try {
        RemoveDirWithFiles(dir);
    } catch (const EGeneralError&) {
        // A leftover private directory costs only space.
    }
}

// The conversion's backup while it is copied, and once it is whole, before
// it takes the name of the first free "save" folder.
const char* const kSaveFilling = ".korva-save-new";
const char* const kSaveWhole = ".korva-save-complete";

// The first of "save0" to "save50" not there, or empty.
QString FreeBackupFolder(const QString& dir) {
    for (int n = 0; n <= 50; ++n) {
        const QString candidate = dir + QStringLiteral("save%1").arg(n);
        if (!QFileInfo::exists(candidate)) return candidate;
    }
    return {};
}

// Writes a file or a directory of the backup to the disk. Never for a
// project table: closing a descriptor of our own gives back the locks the
// process holds on the file.
bool SyncBackupPath(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// Copies the tables as committed into the backup folder and writes them to
// the disk before the project's own files take the converted content, so
// the old tables are kept also through a power loss.
bool CopyBackup(const QString& from, const QString& to, const QStringList& names) {
    for (const QString& name : names) {
        FileStepForFault();
        if (!CopyFiles(from, to, {name})) return false;
        if (!SyncBackupPath(to + name)) {
            g_errors << QStringLiteral("%1 cannot be written to the disk").arg(QDir::toNativeSeparators(to + name));
            return false;
        }
    }
    return SyncBackupPath(to);
}

// Whether every project table stands at the current level: 1 yes, 0 no,
// -1 when a table cannot be read (or none is there).
int TablesConverted(const QString& dir) {
    int converted = -1;
    for (const char* name : kTableFiles) {
        const QString path = FoundFile(dir, QLatin1String(name));
        if (path.isEmpty()) continue;
        try {
            if (ReadTableSchema(path).level < CurrentTableLevel) return 0;
            converted = 1;
        } catch (const EDatabaseError&) {
            return -1;
        }
    }
    return converted;
}

// The whole backup of a conversion whose tables are in place takes the
// name of the first free "save" folder.
void NameWholeBackup(const QString& dir) {
    const QString save = FreeBackupFolder(dir);
    FileStepForFault();
    if (!save.isEmpty()) QDir().rename(dir + kSaveWhole, save);
}

// What a conversion ended by a kill left of its backup. A folder still
// being filled goes. A whole one was made by a conversion that went no
// further (the tables are still old: it goes, and the conversion that
// follows keeps its own) or that put the converted tables in place (it
// takes the name of the first free "save" folder, as the conversion would
// have given it). Kept while the tables cannot be read.
void SettleBackup(const QString& dir) {
    RemoveQuietly(dir + kSaveFilling);
    const QString whole = dir + kSaveWhole;
    if (!QFileInfo(whole).isDir()) return;
    const int converted = TablesConverted(dir);
    if (converted == 0) RemoveQuietly(whole);
    if (converted == 1) NameWholeBackup(dir);
}

// A private working directory, removed with its files when the work ends.
class WorkDir {
public:
    WorkDir() : m_path(AddBackslash(ZoCreateUniqueTempPath())) {}
    ~WorkDir() { RemoveQuietly(m_path); }
    const QString& Path() const { return m_path; }

private:
    QString m_path;
};

// The project's tables held from before they are copied until their
// working copies are in place: a store or a delete of any start waits for
// the rewrite as for another writer, so nothing it commits is lost under
// the copies, and the copies are what was committed. Null, with the reason
// among the collected errors, when a writer kept a table past its wait.
std::unique_ptr<TTableFilesRewrite> HoldForRewrite(const QString& dir, const QStringList& present) {
    try {
        return std::make_unique<TTableFilesRewrite>(RewriteOrder(dir, present));
    } catch (const EDatabaseError& e) {
        g_errors << e.Message();
        return nullptr;
    }
}

// Replaces the content of the named project tables by their working
// copies, all in one transaction: either every table changed or none.
// Connections of the session that still have a table attached see the new
// content.
bool InstallFiles(TTableFilesRewrite& held, const QString& projectDir, const QString& workDir,
                  const QStringList& names) {
    // Every copy is made and every table still held.
    RewriteStepForFault();
    QList<QPair<QString, QString>> pairs;
    for (const QString& name : names) pairs.append({projectDir + name, workDir + name});
    try {
        held.Replace(pairs);
        return true;
    } catch (const EDatabaseError& e) {
        g_errors << e.Message();
        return false;
    }
}

// The changes that bring a table of an older release up to date, in order.
struct FieldChange {
    const char* name;
    bool add;          // false: resize a text field
    const char* code;  // type code of an added field, "A<n>" for a resize
};

struct TableUpgrade {
    const char* file;
    std::vector<FieldChange> changes;
};

const std::vector<TableUpgrade>& Upgrades() {
    static const std::vector<TableUpgrade> upgrades = {
        {"PRJINF8.DB",
         {{"F_KDN_ZNR", false, "A25"}, {"PRJ_WAEHRUNG", true, "S"}, {"F_DYN70PROZENT_KZ", true, "L"},
          {"F_RLAGER_WST_KZ", true, "L"}, {"F_RSRL_LR", true, "S"}, {"F_DA_INFO_ONLY", true, "L"},
          {"F_HD_KZ", true, "L"}, {"F_VGBRL_KZ", true, "L"}, {"F_ST_RL_KZ", true, "L"},
          {"F_Bool_Carrier", true, "A35"}, {"K_T49G_KZ", true, "A1"}, {"F_WEG_KZ", true, "L"},
          {"F_DRCK_KZ", true, "S"}}},
        {"KONSTR8.DB",
         {{"K_KDN_ZNR", false, "A25"}, {"K_POS_NR", false, "A32"}, {"K_INFO1", false, "A80"},
          {"K_INFO2", false, "A80"}}},
        {"KONSTZ8.DB",
         {{"K_FASTFRAME_KZ", true, "L"}, {"K_FASTFRAME_NR", true, "A30"}, {"K_RES_ACTUAL_S_TOP", true, "S"},
          {"K_RES_ACTUAL_S_BUT", true, "S"}, {"K_36_DRUCK_ONLY", true, "L"}, {"K_RSRL_LR", true, "S"},
          {"K_INFO3", true, "A80"}, {"K_OMASS_A_I", true, "A16"}, {"K_OMASS_B_I", true, "A16"},
          {"K_OMASS_C_I", true, "A16"}, {"K_OMASS_D_I", true, "A16"}, {"K_OMASS_X_I", true, "A16"},
          {"K_OMASS_Y_I", true, "A16"}, {"K_OMASS_U_I", true, "A16"}, {"K_OMASS_V_I", true, "A16"},
          {"K_CALC_NR", true, "A32"}, {"K_PRUEF", true, "A20"}, {"K_DAT_PRUEF", true, "D"},
          {"K_DA_INFO_ONLY", true, "L"}, {"K_HD_KZ", true, "L"}, {"K_VGBRL_KZ", true, "L"},
          {"K_ST_RL_KZ", true, "L"}, {"K_Bool_Carrier", true, "A35"}, {"K_T49G_KZ", true, "A1"}}},
        {"KONBTL8.DB", {{"KB_BTL_ZUS", false, "A16"}, {"KB_HD_KZ", true, "L"}}},
        {"KONETR8.DB", {{"KE_WST", false, "A12"}, {"KE_BEZ", false, "A31"}}},
    };
    return upgrades;
}

// A field of the table by name without regard to case, as the format check
// and the table files compare names: a field an older release spelt in
// another case is the same field, to be resized rather than added twice.
TMyField* FieldNamed(const TAlterTable& table, const QString& name) {
    TMyField* found = nullptr;
    for (int i = 0; i < table.FieldCount(); ++i)
        if (table.Fields(i).Name().compare(name, Qt::CaseInsensitive) == 0) found = &table.Fields(i);
    return found;
}

// Applies one table's changes to its copy, each restructured at once; a
// table of an older level is raised first. True when anything changed.
bool UpgradeTable(const QString& path, const TableUpgrade& upgrade) {
    TAlterTable table(path);
    bool changed = false;
    if (table.Level() < CurrentTableLevel) {
        table.RestructureLevel("LEVEL", QString::number(CurrentTableLevel));
        changed = true;
    }
    for (const FieldChange& c : upgrade.changes) {
        const TFieldDef def = FieldDefFromCode(QLatin1String(c.name), QLatin1String(c.code));
        TMyField* field = FieldNamed(table, def.name);
        if (c.add) {
            if (field) continue;
            table.AddField(def.name, def.type, 0, def.size);
        } else {
            // Only ever enlarged: a wider field than ours (written by a later
            // release) keeps its texts, and the format check reports it.
            if (!field || field->Size() >= def.size) continue;
            field->SetSize(def.size);
        }
        table.Restructure();
        changed = true;
    }
    return changed;
}

QString MissingFileName(int code) {
    switch (code) {
    case NoPrjinf: return kPrjinf;
    case NoKonstr: return kKonstr;
    case NoKonetr: return kKonetr;
    case NoKonbtl: return kKonbtl;
    case NoKonstz: return kKonstz;
    case NoKonstrIndex: return QStringLiteral("konstr8.px");
    case NoKonstzIndex: return QStringLiteral("konstz8.px");
    default: return {};
    }
}

QString WrongFormatFileName(int code) {
    switch (code) {
    case PrjinfFormat: return kPrjinf;
    case KonstrFormat: case PosNrSize: return kKonstr;
    case KonbtlFormat: case BtlZusSize: return kKonbtl;
    case KonetrFormat: case KonetrSizes: return kKonetr;
    case KonstzFormat: return kKonstz;
    default: return {};
    }
}

QString ErrorLines() { return g_errors.join("\r"); }

}  // namespace

QStringList LastCheckErrors() { return g_errors; }

int TableFieldCount(const QString& directory, const QString& fileName) {
    TableSchema s;
    return ReadSchema(directory, fileName, s) ? int(s.fields.size()) : 0;
}

int TableFieldSize(const QString& directory, const QString& fileName, const QString& fieldName) {
    TableSchema s;
    if (!ReadSchema(directory, fileName, s)) return 0;
    for (const TFieldDef& f : s.fields)
        if (f.name.compare(fieldName, Qt::CaseInsensitive) == 0) return f.size;
    return 0;
}

int ProjectFilesCode(const QString& directory) {
    struct Probe {
        const char* table;
        bool index;
        int code;
    };
    static const Probe probes[] = {
        {kPrjinf, false, NoPrjinf}, {kKonstr, false, NoKonstr}, {kKonstr, true, NoKonstrIndex},
        {kKonstz, false, NoKonstz}, {kKonstz, true, NoKonstzIndex}, {kKonetr, false, NoKonetr},
        {kKonbtl, false, NoKonbtl}, {kKonbtl, true, NoKonbtlIndex},
    };
    const QString dir = AddBackslash(directory);
    int firstMissing = 0;
    bool othersMissing = true;
    for (const Probe& p : probes) {
        const QString table = QLatin1String(p.table);
        const bool present = p.index ? HasPrimaryIndex(dir, table) : !FoundFile(dir, table).isEmpty();
        if (present && p.code != NoKonstzIndex) othersMissing = false;
        if (!present && firstMissing == 0) firstMissing = p.code;
    }
    return othersMissing ? NoProject : firstMissing;
}

int ProjectFormatCode(const QString& directory) {
    const QString dir = AddBackslash(directory);
    struct CountTest {
        const char* table;
        ProjectTable schema;
        int code;
    };
    static const CountTest counts[] = {
        {kPrjinf, ProjectTable::Prjinf, PrjinfFormat}, {kKonstr, ProjectTable::Konstr, KonstrFormat},
        {kKonbtl, ProjectTable::Konbtl, KonbtlFormat}, {kKonetr, ProjectTable::Konetr, KonetrFormat},
        {kKonstz, ProjectTable::Konstz, KonstzFormat},
    };
    struct SizeTest {
        const char* table;
        const char* field;
        int size;
        int code;
    };
    static const SizeTest sizes[] = {
        {kKonstr, "K_POS_NR", 32, PosNrSize},
        {kKonetr, "KE_WST", 12, KonetrSizes},
        {kKonetr, "KE_BEZ", 31, KonetrSizes},
        {kKonbtl, "KB_BTL_ZUS", 16, BtlZusSize},
    };
    // Each file is read once for all its tests.
    QHash<QString, TableSchema> schemas;
    QHash<QString, bool> readable;
    const auto schemaOf = [&](const char* table) -> const TableSchema* {
        const QString name = QLatin1String(table);
        if (!readable.contains(name)) readable[name] = ReadSchema(dir, name, schemas[name]);
        return readable[name] ? &schemas[name] : nullptr;
    };
    for (const CountTest& t : counts) {
        const TableSchema* s = schemaOf(t.table);
        if (!s || int(s->fields.size()) != ExpectedFieldCount(t.schema)) return t.code;
    }
    for (const SizeTest& t : sizes) {
        const TableSchema* s = schemaOf(t.table);
        if (!s) return t.code;
        int size = 0;
        for (const TFieldDef& f : s->fields)
            if (f.name.compare(QLatin1String(t.field), Qt::CaseInsensitive) == 0) size = f.size;
        if (size != t.size) return t.code;
    }
    return Usable;
}

int ProjectOpenCode(const QString& directory) {
    const QString dir = AddBackslash(directory);
    // The three tables the check has always opened, then the two others: a
    // table of an older level among them would fail later, when the input
    // form opens it.
    for (const char* table : {kKonstr, kKonbtl, kKonetr, kPrjinf, kKonstz}) {
        const QString path = FoundFile(dir, QLatin1String(table));
        if (path.isEmpty()) continue;
        try {
            if (SchemaOfFile(path).level >= CurrentTableLevel) continue;
        } catch (const EDBEngineError& e) {
            g_errors << e.Message();
            return e.ErrorCode();
        }
        try {
            ConvertProjectFiles(dir);
            return Usable;
        } catch (const EGeneralError& e) {
            g_errors << e.Message();
            return UpgradeFailed;
        }
    }
    return Usable;
}

bool UpgradeProjectTables(const QString& directory) {
    const ForgetSchemasOnExit rewrites;
    const QString dir = AddBackslash(directory);
    const qsizetype before = g_errors.size();
    QString reason;
    try {
        WorkDir work;
        const QStringList present = PresentTableFiles(dir);
        const std::unique_ptr<TTableFilesRewrite> held = HoldForRewrite(dir, present);
        if (!held || !CopyFiles(dir, work.Path(), present))
            throw EGeneralError(IvTranslate("Error while copying files into temporarily path !"));
        // Decided on the copies: a table another start upgraded meanwhile
        // is not rewritten.
        QStringList changed;
        for (const TableUpgrade& upgrade : Upgrades()) {
            const QString copy = TablePath(work.Path(), QLatin1String(upgrade.file));
            if (UpgradeTable(copy, upgrade)) changed << QFileInfo(copy).fileName();
        }
        if (!changed.isEmpty() && !InstallFiles(*held, dir, work.Path(), changed))
            throw EGeneralError(IvTranslate("Unable to remove converted files !"));
        return true;
    } catch (const EAlterTable& e) {
        reason = e.Message();
    } catch (const EDatabaseError& e) {
        reason = e.Message();
    } catch (const EGeneralError& e) {
        reason = e.Message();
    }
    // The reason, then what the database layer said on the way; shown here,
    // so the check's own message does not repeat it.
    const QStringList details = g_errors.mid(before);
    g_errors = g_errors.mid(0, before);
    MessageRequest r;
    r.text = details.isEmpty() ? reason : reason + "\r\r" + details.join("\r");
    r.kind = MessageKind::Error;
    r.buttons = mb::OK;
    ShowMessage(r);
    return false;
}

void ConvertProjectFiles(const QString& directory) {
    const ForgetSchemasOnExit rewrites;
    const QString dir = AddBackslash(directory);
    SettleBackup(dir);
    std::unique_ptr<WorkDir> work;
    try {
        work = std::make_unique<WorkDir>();
    } catch (const EGeneralError&) {
        Abort(IvTranslate("Unable to Create temporarily path !"));
    }
    const QStringList present = PresentTableFiles(dir);
    const std::unique_ptr<TTableFilesRewrite> held = HoldForRewrite(dir, present);
    if (!held || !CopyFiles(dir, work->Path(), present))
        Abort(IvTranslate("Error while copying files into temporarily path !"));
    bool raised = false;
    for (const QString& name : present) {
        if (QFileInfo(name).suffix().toLower() != QLatin1String("db")) continue;
        try {
            TAlterTable table(work->Path() + name);
            if (table.Level() >= CurrentTableLevel) continue;
            table.RestructureLevel("LEVEL", "7");
            raised = true;
        } catch (const std::exception&) {
            Abort(IvTranslate("Error while restructuring files in temporarily path !"));
        }
    }
    // Another start converted the tables since they were looked at: no
    // second backup, nothing to put in place.
    if (!raised) return;
    if (FreeBackupFolder(dir).isEmpty()) Abort(IvTranslate("Unable to detect backup path !"));
    // The backup is made whole under a name of its own and takes its "save"
    // name once the converted tables are in place: a kill leaves no "save"
    // folder that lacks a table, and no second one for one conversion.
    const QString filling = dir + kSaveFilling + "/";
    const QString whole = dir + kSaveWhole;
    RemoveQuietly(filling);
    RemoveQuietly(whole);
    if (!QDir().mkdir(filling) || !CopyBackup(dir, filling, present)) {
        RemoveQuietly(filling);
        Abort(IvTranslate("Error while copying files into backup path !"));
    }
    FileStepForFault();
    if (!QDir().rename(filling, whole)) {
        RemoveQuietly(filling);
        Abort(IvTranslate("Error while copying files into backup path !"));
    }
    if (!InstallFiles(*held, dir, work->Path(), present)) {
        // Nothing was converted: a backup of it would only make the next
        // conversion take the next folder.
        RemoveQuietly(whole);
        Abort(IvTranslate("Unable to remove converted files !"));
    }
    NameWholeBackup(dir);
}

bool AddKonbtlIndex(const QString& directory) {
    const ForgetSchemasOnExit rewrites;
    const QString path = FoundFile(AddBackslash(directory), QLatin1String(kKonbtl));
    if (path.isEmpty()) return false;
    try {
        RebuildPrimaryIndex(path, ProjectIndexDefs(ProjectTable::Konbtl).value(0).fields);
        return true;
    } catch (const EDatabaseError& e) {
        g_errors << e.Message();
        return false;
    }
}

namespace {

// Runs a check's work on the directory while no other start creates,
// checks, converts or upgrades the project there (LookAtSettledProject):
// the work sees no project or a whole one, never one half moved, and one
// start at a time asks the engineer and rewrites the tables, so a start
// that waited finds the work done and asks nothing.
int CheckSettled(const QString& dir, const std::function<int()>& work) {
    int code = Usable;
    QString reason;
    const auto settled = [&] {
        SettleBackup(dir);
        code = work();
    };
    if (LookAtSettledProject(dir, settled, &reason)) return code;
    g_errors << reason;
    return CreationUnfinished;
}

bool KonstrAlone(const QString& dir) { return !FoundFile(dir, kKonstr).isEmpty() && FoundFile(dir, kKonstz).isEmpty(); }

int CheckDirectorySettled(const QString& dir) {
    if (KonstrAlone(dir)) return KonstzAdded;
    if (const int code = ProjectFilesCode(dir)) return code;
    if (const int code = ProjectOpenCode(dir)) return code;
    return ProjectFormatCode(dir) < 0 ? UpgradeDeclined : Usable;
}

// upgraded: the format was changed, which the caller tells the engineer
// once the project is given back.
int CheckAtStartSettled(const QString& dir, bool obsoleteWording, bool& upgraded) {
    bool konstzAdded = false;
    if (KonstrAlone(dir)) {
        const QString text =
            obsoleteWording
                ? IvTranslate("Format of project files obsolete !") + "\r" + DirectoryLine(dir) + "\r\r" +
                      IvTranslate("Continue ?")
                : IvTranslate("KORVA 8.2 needs new file KONSTZ8 !") + "\r" + DirectoryLine(dir) + "\r\r" +
                      IvTranslate("Should file KONSTZ8 be added !") + "\r\r" + IvTranslate("Continue ?");
        if (Ask(text) != mr::Yes) return KonstzDeclined;
        // A project this old has the old layout in its other tables too: the
        // table is added here and the check goes on, so the upgrade is
        // offered in the same run.
        const ForgetSchemasOnExit added;
        // A program that does not wait for the project (an older release)
        // may have added it while this one asked (a table is created whole
        // or not at all): that one serves.
        if (!CreateKonstzTable(dir, QLatin1String(kKonstz)) && FoundFile(dir, kKonstz).isEmpty()) {
            g_errors << QStringLiteral("%1 cannot be created").arg(QDir::toNativeSeparators(dir + kKonstz));
            return NoKonstz;
        }
        konstzAdded = true;
    }
    if (const int code = ProjectFilesCode(dir)) return code;
    if (const int code = ProjectOpenCode(dir)) return code;
    if (ProjectFormatCode(dir) < 0) {
        const QString text = IvTranslate("Format of project files obsolete !") + "\r" + DirectoryLine(dir) + "\r\r" +
                             IvTranslate("File format has to be changed !") + "\r\r" + IvTranslate("Continue ?");
        if (Ask(text) != mr::Yes) return UpgradeDeclined;
        if (!UpgradeProjectTables(dir)) return UpgradeFailed;
        if (const int code = ProjectFormatCode(dir)) return code;
        upgraded = true;
    }
    return konstzAdded ? KonstzAdded : Usable;
}

}  // namespace

int CheckProjectDirectoryCode(const QString& directory) {
    const SchemaReadScope reads;
    g_errors.clear();
    const QString dir = AddBackslash(directory);
    if (!QFileInfo(dir).isDir()) return AbsentDirectoryCode(dir);
    return CheckSettled(dir, [&dir] { return CheckDirectorySettled(dir); });
}

int CheckProjectFilesAtStart(const QString& directory, bool obsoleteWording) {
    const SchemaReadScope reads;
    g_errors.clear();
    const QString dir = AddBackslash(directory);
    if (!QFileInfo(dir).isDir()) return AbsentDirectoryCode(dir);
    bool upgraded = false;
    const int code = CheckSettled(dir, [&] { return CheckAtStartSettled(dir, obsoleteWording, upgraded); });
    // After the project is given back: a start waiting for it does not wait
    // for the engineer to read this.
    if (upgraded) Show(IvTranslate("Format of the project files successfully changed !"), MessageKind::Information);
    return code;
}

int CheckProjectAtStart(const QString& directory, QString* refusal) {
    int code = CheckProjectFilesAtStart(directory, false);
    // A missing parts-list index is rebuilt where the check finds it, and
    // the check goes on.
    if (code == NoKonbtlIndex && AddKonbtlIndex(directory)) {
        Show(Format(IvTranslate("File \"%s\" successfully created."), {"konbtl8.px"}), MessageKind::Information);
        code = CheckProjectFilesAtStart(directory, false);
    }
    if (code < Usable || code > KonstzAdded) {
        if (refusal) *refusal = CheckCodeMessage(code, directory);
    }
    return code;
}

QString CheckCodeMessage(int code, const QString& directory) {
    const QString dir = AddBackslash(directory);
    const auto named = [&dir](const QString& name) { return QDir::toNativeSeparators(dir + name); };
    const QString missing = MissingFileName(code);
    const QString wrong = WrongFormatFileName(code);
    const QString details = g_errors.isEmpty() ? QString() : "\r" + ErrorLines();
    if (!missing.isEmpty()) return Format(IvTranslate("The file \"%s\" does not exist !"), {named(missing)}) + details;
    if (!wrong.isEmpty()) return Format(IvTranslate("The file \"%s\" has the wrong format !"), {named(wrong)}) + details;
    if (code == NoKonbtlIndex) return Format(IvTranslate("Unable to create \"%s\" !"), {named("konbtl8.px")}) + details;
    if (code == UpgradeFailed)
        return IvTranslate("An error occured during database conversion !") + (details.isEmpty() ? QString() : "\r" + details);
    if (code == UpgradeDeclined)
        return IvTranslate("Procedure cancled !") + "\r" + IvTranslate("Format of project files obsolete !") + "\r" +
               IvTranslate("Project files are not usable !");
    if (code == KonstzDeclined) return IvTranslate("Aborted !");
    if (code == CreationUnfinished)
        return Format(IvTranslate("The project in \"%s\" cannot be used now:"), {QDir::toNativeSeparators(dir)}) +
               "\r" + ErrorLines();
    if (code > KonstzAdded)
        return Format(IvTranslate("Unknown check error occurred ($%x) !"), {QString::number(code, 16).toUpper()}) +
               "\r" + IvTranslate("Please contact ZORBEL for further information !") + "\r" +
               IvTranslate("Error message:") + "\r" + ErrorLines();
    if (code < 0)
        return Format(IvTranslate("Unknown check error occurred (# %d) !"), {QString::number(code)}) + "\r" +
               IvTranslate("Error message:") + "\r" + ErrorLines();
    return {};
}

int CheckProjectDirectory(const QString& directory, bool quiet, bool obsoleteWording) {
    const int code = quiet ? CheckProjectDirectoryCode(directory) : CheckProjectFilesAtStart(directory, obsoleteWording);
    if (code == NoKonbtlIndex) {
        if (AddKonbtlIndex(directory))
            Show(Format(IvTranslate("File \"%s\" successfully created."), {"konbtl8.px"}) + "\r\r" +
                     IvTranslate("Please restart the program!"),
                 MessageKind::Information);
        else
            Show(CheckCodeMessage(code, directory), MessageKind::Error);
        return code;
    }
    const QString text = CheckCodeMessage(code, directory);
    if (text.isEmpty()) return code;
    const bool information = code == UpgradeDeclined || code == KonstzDeclined;
    Show(text, information ? MessageKind::Information : MessageKind::Error);
    return code;
}
