#include "CatalogueWriter.h"

#include "data/CatalogueSchema.h"
#include "platform/Database.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"

#include <QDir>
#include <QFile>

namespace {

void FillTable(TTable& table, const QList<QVariantMap>& rows)
{
    for (const QVariantMap& row : rows) {
        table.Append();
        for (auto it = row.cbegin(); it != row.cend(); ++it)
            table.FieldByName(it.key()).SetValue(it.value());
        table.Post();
    }
}

void WriteTables(const CatalogueData& data, const QString& dir)
{
    for (const CatalogueTableDef& def : CatalogueTables())
        CreateTableFile(dir + def.fileName, def.fieldDefs(), def.indexDefs());
    TDatabase& db = Session().OpenDatabase(dir);
    for (const CatalogueTableDef& def : CatalogueTables()) {
        TTable table(dir, def.fileName);
        table.Open();
        InTransaction(db, [&] { FillTable(table, data.rows(def.fileName)); });
        table.Close();
    }
    Session().Close();
}

// Moves every table file from the work directory into the target,
// replacing a file of the same name in any letter case.
void MoveTables(const QString& from, const QString& to)
{
    for (const CatalogueTableDef& def : CatalogueTables()) {
        const QString existing = FindFileNoCase(to, def.fileName);
        if (!existing.isEmpty() && !QFile::remove(existing))
            throw std::runtime_error(("cannot replace " + existing).toStdString());
        if (!QFile::rename(from + def.fileName, to + def.fileName))
            throw std::runtime_error(("cannot move " + def.fileName + " into " + to).toStdString());
    }
}

}  // namespace

void WriteCatalogue(const CatalogueData& data, const QString& dir)
{
    // The tables are written into a work directory beside the target first,
    // so a failure leaves the previous catalogue as it was.
    const QString target = NormalizedDirectory(QDir(dir).absolutePath());
    const QString work = NormalizedDirectory(QDir(dir).absolutePath() + QStringLiteral(".partial"));
    QDir(work).removeRecursively();
    if (!QDir().mkpath(work) || !QDir().mkpath(target))
        throw std::runtime_error(("cannot create " + work).toStdString());
    try {
        Session().Close();
        WriteTables(data, work);
        MoveTables(work, target);
    } catch (...) {
        Session().Close();
        QDir(work).removeRecursively();
        throw;
    }
    QDir(work).removeRecursively();
}
