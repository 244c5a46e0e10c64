#include "data/AlterTableClass.h"

#include "localisation/IvDictio.h"
#include "platform/DbErrors.h"
#include "platform/TableFile.h"

#include <QFileInfo>

namespace {

// Fills "%s" and "%d" in order, as the message texts carry them.
QString FormatArgs(const QString& format, const QStringList& args) {
    QString out;
    int next = 0;
    for (int i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && (format[i + 1] == 's' || format[i + 1] == 'd') &&
            next < args.size()) {
            out += args[next++];
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

}  // namespace

EAlterTable::EAlterTable(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}

TMyField::TMyField(const TFieldDef& def, int fieldNo, TMyFieldState state, int subType)
    : m_def(def), m_fieldNo(fieldNo), m_state(state), m_subType(subType) {}

void TMyField::SetSize(int size) {
    m_def.size = size;
    if (m_state == TMyFieldState::Unchanged) m_state = TMyFieldState::Changed;
}

TAlterTable::TAlterTable(const QString& fileName) : m_fileName(fileName) {
    if (fileName.isEmpty()) throw EAlterTable(IvTranslate("Table name must be specified !"));
    if ("." + QFileInfo(fileName).suffix().toUpper() != ".DB")
        throw EAlterTable(IvTranslate("Table must be of type Paradox (Filename: *.db) !"));
    if (!QFileInfo(fileName).isFile())
        throw EAlterTable(FormatArgs(IvTranslate("The file \"%s\" doesn't exist !"), {fileName}));
    // Errors of the engine itself (a damaged file) surface as engine errors.
    const TableSchema schema = ReadTableSchema(fileName);
    m_tableType = "PARADOX";
    int no = 1;
    for (const auto& f : schema.fields)
        m_fields.push_back(std::make_unique<TMyField>(f, no++, TMyFieldState::Unchanged));
    m_level = schema.level;
}

TAlterTable::~TAlterTable() = default;

TMyField* TAlterTable::FieldExists(const QString& name) const {
    TMyField* found = nullptr;
    for (const auto& f : m_fields)
        if (f->Name() == name) found = f.get();
    return found;
}

TMyField& TAlterTable::Fields(int index) const {
    if (m_fields.empty()) throw EAlterTable(IvTranslate("No Fields specified at the moment !"));
    if (index < 0 || index >= int(m_fields.size()))
        throw EAlterTable(FormatArgs(IvTranslate("Index %d out of range ( 0 <= Index < %d )"),
                                     {QString::number(index), QString::number(m_fields.size())}));
    return *m_fields[size_t(index)];
}

void TAlterTable::AddField(const QString& name, TFieldType type, int subType, int size) {
    if (name.isEmpty()) throw EAlterTable(IvTranslate("Field name must be specified !"));
    if (type == TFieldType::String && size < 1) throw EAlterTable(IvTranslate("Field size must be at least 1 !"));
    if (FieldExists(name))
        throw EAlterTable(FormatArgs(IvTranslate("Field with the name \"%s\" already exists"), {name}));
    TFieldDef def{name, type, type == TFieldType::String ? size : 0, false};
    m_fields.push_back(std::make_unique<TMyField>(def, int(m_fields.size()) + 1, TMyFieldState::New, subType));
}

void TAlterTable::Apply(const TFieldDefs& defs, int level) {
    if (m_tableType != "PARADOX") throw EAlterTable(IvTranslate("Wrong table type !"));
    try {
        RestructureTableFile(m_fileName, defs, level);
    } catch (const EDatabaseError& e) {
        throw EAlterTable(IvTranslate("Restructuring unpossible : ") + "\r\r" + e.Message());
    }
    if (level > 0) m_level = level;
}

void TAlterTable::Restructure() {
    TFieldDefs defs;
    for (const auto& f : m_fields) defs << f->Def();
    Apply(defs, 0);
    for (auto& f : m_fields) f = std::make_unique<TMyField>(f->Def(), f->FieldNo(), TMyFieldState::Unchanged, f->SubType());
}

// Only the table option changes: the table keeps the fields it has on
// disk, and fields added or resized here since stay pending for the next
// Restructure.
void TAlterTable::RestructureLevel(const QString& option, const QString& value) {
    TFieldDefs defs;
    try {
        defs = ReadTableSchema(m_fileName).fields;
    } catch (const EDatabaseError& e) {
        throw EAlterTable(IvTranslate("Restructuring unpossible : ") + "\r\r" + e.Message());
    }
    bool ok = false;
    const int level = option.compare("LEVEL", Qt::CaseInsensitive) == 0 ? value.toInt(&ok) : 0;
    Apply(defs, ok ? level : 0);
}
