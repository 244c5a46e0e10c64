#include "data/ProjectSchema.h"

#include "data/CblTools.h"
#include "data/DECODIEREN.h"
#include "data/FIRAUFKON.h"
#include "data/KONBTL.h"
#include "platform/DataSet.h"
#include "platform/Table.h"

#include <QHash>

namespace {

// Binders per kind, generated for every column of the lists.
#define PS_RB_V(name) [](TConstructionRecord& r) -> FieldRef { return Bind(r.name); }
#define PS_RB_T PS_RB_V
#define PS_RB_R PS_RB_V
#define PS_RB_B PS_RB_V
#define PS_RB_Y PS_RB_V
#define PS_RB_Q(name) nullptr
#define PS_SUPPORT(name, type, size, kind) \
    ProjectColumn{#name, #type[0], size, #kind[0], PS_RB_##kind(name), nullptr, nullptr},

#define PS_HB_H(name) [](TPartsList& p) -> FieldRef { return Bind(p.name); }
#define PS_HB_W(name) nullptr
#define PS_WB_H(name) nullptr
#define PS_WB_W(name) [](TPartsList& p, int row) -> FieldRef { return Bind(p.name[row]); }
#define PS_PARTS(name, type, size, kind) \
    ProjectColumn{#name, #type[0], size, #kind[0], nullptr, PS_HB_##kind(name), PS_WB_##kind(name)},

#define PS_PLAIN(name, type, size, kind) \
    ProjectColumn{#name, #type[0], size, #kind[0], nullptr, nullptr, nullptr},


#define PS_COUNT(name, type, size, kind) +1
static_assert(0 KONSTR_COLUMNS(PS_COUNT) == 254, "konstr8 holds 254 fields");
static_assert(0 KONSTZ_COLUMNS(PS_COUNT) == 67, "konstz8 holds 67 fields");
static_assert(0 KONBTL_COLUMNS(PS_COUNT) == 16, "konbtl8 holds 16 fields");
static_assert(0 KONETR_COLUMNS(PS_COUNT) == 8, "konetr8 holds 8 fields");
static_assert(0 PRJINF_COLUMNS(PS_COUNT) == 77, "prjinf8 holds 77 fields");

struct TableInfo {
    const QList<ProjectColumn>* columns;
    const char* fileName;
    QStringList key;
};

// Built on first use: the program-wide record and parts list read them
// while they are constructed.
const TableInfo& Info(ProjectTable table) {
    static const QList<ProjectColumn> konstr{KONSTR_COLUMNS(PS_SUPPORT)};
    static const QList<ProjectColumn> konstz{KONSTZ_COLUMNS(PS_SUPPORT)};
    static const QList<ProjectColumn> konbtl{KONBTL_COLUMNS(PS_PARTS)};
    static const QList<ProjectColumn> konetr{KONETR_COLUMNS(PS_PLAIN)};
    static const QList<ProjectColumn> prjinf{PRJINF_COLUMNS(PS_PLAIN)};
    static const TableInfo infos[] = {
        {&konstr, "konstr8.db", {"K_F_NR_AUS"}},
        {&konstz, "konstz8.db", {"K_F_NR_AUS"}},
        {&konbtl, "konbtl8.db", {"KB_F_NR_AUS", "KB_LFD_ZNR", "KB_POS"}},
        {&konetr, "konetr8.db", {}},
        {&prjinf, "prjinf8.db", {}},
    };
    return infos[int(table)];
}

}  // namespace

QString ProjectColumn::TypeCode() const {
    switch (type) {
    case 'A': return QStringLiteral("A%1").arg(size);
    case 'P': return QStringLiteral("+");
    default: return QString(QChar(type));
    }
}

TFieldDef ProjectColumn::Def() const { return FieldDefFromCode(Name(), TypeCode()); }

const QList<ProjectColumn>& ProjectColumns(ProjectTable table) { return *Info(table).columns; }

QString ProjectTableFileName(ProjectTable table) { return QString::fromLatin1(Info(table).fileName); }

int ExpectedFieldCount(ProjectTable table) { return int(ProjectColumns(table).size()); }

TFieldDefs ProjectFieldDefs(ProjectTable table) {
    TFieldDefs defs;
    for (const ProjectColumn& c : ProjectColumns(table)) defs.append(c.Def());
    return defs;
}

TIndexDefs ProjectIndexDefs(ProjectTable table) {
    const TableInfo& info = Info(table);
    if (info.key.isEmpty()) return {};
    TIndexDef index;
    index.fields = info.key;
    index.primary = true;
    index.unique = true;
    return {index};
}

const ProjectColumn* FindSupportColumn(const QString& name) {
    static const QHash<QString, const ProjectColumn*> byName = [] {
        QHash<QString, const ProjectColumn*> map;
        for (ProjectTable t : {ProjectTable::Konstr, ProjectTable::Konstz})
            for (const ProjectColumn& c : ProjectColumns(t))
                if (!map.contains(c.Name())) map.insert(c.Name(), &c);
        return map;
    }();
    return byName.value(name, nullptr);
}

std::unique_ptr<TTable> MakeProjectTable(ProjectTable table) {
    return MakeProjectTable(table, ProjectDatabaseName);
}

std::unique_ptr<TTable> MakeProjectTable(ProjectTable table, const QString& directory) {
    return std::make_unique<TTable>(directory, ProjectTableFileName(table));
}

namespace {

template <class... Fs>
struct Overload : Fs... {
    using Fs::operator()...;
};
template <class... Fs>
Overload(Fs...) -> Overload<Fs...>;

QDateTime FieldDateTime(const TField& field) {
    if (field.DataType() != TFieldType::Date) return field.AsDateTime();
    const QDate d = field.AsDate();
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

}  // namespace

void ReadField(const TField& field, const FieldRef& target) {
    std::visit(Overload{
                   [](std::monostate) {},
                   [&](double* v) { *v = field.AsFloat(); },
                   [&](int32_t* v) { *v = field.AsInteger(); },
                   [&](int16_t* v) { *v = int16_t(field.AsInteger()); },
                   [&](bool* v) { *v = field.AsBoolean(); },
                   [&](QDateTime* v) { *v = FieldDateTime(field); },
                   [&](QString* v) { *v = field.AsString(); },
                   [&](FixedText f) { PutTextField(f.data, f.width - 1, field.AsString()); },
               },
               target);
}

void WriteField(TField& field, const FieldRef& source) {
    std::visit(Overload{
                   [](std::monostate) {},
                   [&](double* v) { field.SetAsFloat(*v); },
                   [&](int32_t* v) { field.SetAsInteger(*v); },
                   [&](int16_t* v) { field.SetAsInteger(*v); },
                   [&](bool* v) { field.SetAsBoolean(*v); },
                   [&](QDateTime* v) {
                       if (v->isValid()) field.SetAsDateTime(*v);
                       else field.Clear();
                   },
                   [&](QString* v) { field.SetAsString(*v); },
                   [&](FixedText f) { field.SetAsString(FieldTextTrimmed(f.data, f.width)); },
               },
               source);
}

void ClearRef(const FieldRef& ref, const QString& textValue) {
    std::visit(Overload{
                   [](std::monostate) {},
                   [](double* v) { *v = 0; },
                   [](int32_t* v) { *v = 0; },
                   [](int16_t* v) { *v = 0; },
                   [](bool* v) { *v = false; },
                   [](QDateTime* v) { *v = QDateTime(); },
                   [&](QString* v) { *v = textValue; },
                   [](FixedText f) { std::fill(f.data, f.data + f.width, ' '); },
               },
               ref);
}
