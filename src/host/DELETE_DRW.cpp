#include "host/DELETE_DRW.h"

#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/Query.h"
#include "platform/TableFile.h"

#include <QDir>
#include <QVariant>
#include <cstdio>
#include <exception>

namespace {

// The name under which the project directory is the database of the queries.
constexpr const char* ProjectDatabase = "KORVA_DELETE_DRW";

// The support tables and the field that links their rows to the support.
struct SupportTable {
    const char* table;
    const char* keyField;
};
constexpr SupportTable SupportTables[] = {
    {"konstr8", "k_f_nr_aus"},
    {"konstz8", "k_f_nr_aus"},
    {"konbtl8", "kb_f_nr_aus"},
    {"konetr8", "ke_f_nr_aus"},
};

// The host learns only the result number; the reason goes to standard
// error, naming the table file.
void ReportFailure(const QString& projectDir, const char* table, const char* what, const std::exception& e) {
    const QString message = [&e] {
        if (const auto* db = dynamic_cast<const EDatabaseError*>(&e)) return db->Message();
        return QString::fromLocal8Bit(e.what());
    }();
    const QString file = QDir::toNativeSeparators(TablePath(projectDir, QLatin1String(table)));
    std::fprintf(stderr, "KORVA: delete mode: %s in %s failed: %s\n", what, qPrintable(file), qPrintable(message));
    std::fflush(stderr);
}

// The drawing key of the first support with this position number; a null
// value when there is none. The position number is host text, so it only
// ever goes in as a bound value.
QVariant LookUpDrawingKey(const QString& posNo) {
    // Only the first matching row counts: the read stops there instead of
    // going through the whole table.
    TQuery query(QLatin1String(ProjectDatabase),
                 QStringLiteral("select k_f_nr_aus from konstr8 where k_pos_nr = :pos limit 1"));
    query.SetParam(QStringLiteral(":pos"), posNo);
    query.Open();
    QVariant key;
    if (!query.IsEmpty()) {
        query.First();
        TField& field = query.FieldByName(QStringLiteral("K_F_NR_AUS"));
        if (!field.IsNull()) key = field.Value();
    }
    query.Close();
    return key;
}

// One transaction over the four tables, so a failure part-way leaves the
// support whole and a later run can still delete it. `failedTable` names
// the table whose statement failed.
void DeleteSupportRows(TDatabase& db, const QVariant& key, const char*& failedTable) {
    InTransaction(db, [&] {
        TQuery query;
        query.SetDatabaseName(QLatin1String(ProjectDatabase));
        for (const SupportTable& t : SupportTables) {
            failedTable = t.table;
            query.SetSQL(QStringLiteral("delete from %1 where %2 = :key")
                             .arg(QLatin1String(t.table), QLatin1String(t.keyField)));
            query.SetParam(QStringLiteral(":key"), key);
            query.ExecSQL();
        }
        failedTable = SupportTables[0].table;  // the commit covers them all
    });
}

}  // namespace

int DeleteDrawing(const QString& projectDir, const QString& posNo) {
    // A replacement character stands for bytes that could not be read; no
    // stored position number may be matched by it.
    if (posNo.contains(QChar::ReplacementCharacter)) return DeleteNotFound;
    // The project's own database for this run, closed again at the end.
    TDatabase db{QString::fromLatin1(ProjectDatabase)};
    QVariant key;
    try {
        db.SetDirectory(projectDir);
        key = LookUpDrawingKey(posNo);
    } catch (const std::exception& e) {
        ReportFailure(projectDir, SupportTables[0].table, "the look-up of the position number", e);
        return DeleteLookupFailed;
    }
    if (key.isNull()) return DeleteNotFound;
    const char* failedTable = SupportTables[0].table;
    try {
        DeleteSupportRows(db, key, failedTable);
    } catch (const std::exception& e) {
        ReportFailure(projectDir, failedTable, "deleting the support", e);
        return DeleteFailed;
    }
    return DeleteDone;
}
