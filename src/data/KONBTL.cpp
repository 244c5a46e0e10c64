#include "data/KONBTL.h"

#include "data/GlobalFuncs.h"
#include "data/ProjectSchema.h"
#include "platform/Table.h"

TPartsList PartsList;

namespace {

const QList<ProjectColumn>& Columns() { return ProjectColumns(ProjectTable::Konbtl); }

// Copies the header and one row between the list and the current table row.
void ReadRow(TTable& table, int row) {
    for (const ProjectColumn& c : Columns()) {
        const FieldRef ref = c.header ? c.header(PartsList) : c.row(PartsList, row);
        ReadField(table.FieldByName(c.Name()), ref);
    }
}

void WriteRow(TTable& table, int row) {
    for (const ProjectColumn& c : Columns()) {
        const FieldRef ref = c.header ? c.header(PartsList) : c.row(PartsList, row);
        WriteField(table.FieldByName(c.Name()), ref);
    }
}

}  // namespace

void TPartsList::Clear() {
    RowCount = 0;
    for (const ProjectColumn& c : Columns()) {
        if (c.header) ClearRef(c.header(*this));
        else
            for (int r = 0; r < PartsListRows; ++r) ClearRef(c.row(*this, r), QStringLiteral(" "));
    }
}

void ClearPartsList() { PartsList.Clear(); }

bool DrawingKeyFromText(const QString& text, int32_t& key) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < 0 || value > INT32_MAX) return false;
    key = int32_t(value);
    return true;
}

void LoadPartsList() {
    auto table = MakeProjectTable(ProjectTable::Konbtl);
    LoadPartsList(*table);
}

void LoadPartsList(TTable& konbtl) {
    ClearPartsList();
    int32_t key = 0;
    if (!DrawingKeyFromText(CalcGlobals.DrawingKeyText, key)) return;
    konbtl.SetFilter(QStringLiteral("KB_F_NR_AUS = ?"), {key});
    konbtl.SetFiltered(true);
    konbtl.Open();
    if (!konbtl.IsEmpty()) {
        konbtl.First();
        for (int row = 0; row < PartsListRows; ++row) {
            ReadRow(konbtl, row);
            PartsList.RowCount = int16_t(row + 1);
            if (!konbtl.Next()) break;
        }
    }
    konbtl.Close();
}

bool SavePartsList() {
    if (PartsList.KB_BTL_8[0] == 0) return false;
    auto table = MakeProjectTable(ProjectTable::Konbtl);
    return SavePartsList(*table);
}

bool SavePartsList(TTable& konbtl) {
    if (PartsList.KB_BTL_8[0] == 0) return false;
    konbtl.Open();
    for (int row = 0; row < PartsListRows && PartsList.KB_BTL_8[row] != 0; ++row) {
        konbtl.Append();
        WriteRow(konbtl, row);
        PartsList.RowCount = int16_t(row + 1);
        konbtl.Post();
    }
    konbtl.Close();
    return true;
}
