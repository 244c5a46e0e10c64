#include "host/DELETE_DRW.h"

#include "platform/Database.h"
#include "platform/Query.h"

#include <QVariant>
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

// The drawing key of the first support with this position number; a null
// value when there is none. The position number is host text, so it only
// ever goes in as a bound value.
QVariant LookUpDrawingKey(const QString& posNo) {
    TQuery query(QLatin1String(ProjectDatabase), QStringLiteral("select k_f_nr_aus from konstr8 where k_pos_nr = :pos"));
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
// support whole and a later run can still delete it.
void DeleteSupportRows(TDatabase& db, const QVariant& key) {
    InTransaction(db, [&] {
        TQuery query;
        query.SetDatabaseName(QLatin1String(ProjectDatabase));
        for (const SupportTable& t : SupportTables) {
            query.SetSQL(QStringLiteral("delete from %1 where %2 = :key")
                             .arg(QLatin1String(t.table), QLatin1String(t.keyField)));
            query.SetParam(QStringLiteral(":key"), key);
            query.ExecSQL();
        }
    });
}

}  // namespace

int DeleteDrawing(const QString& projectDir, const QString& posNo) {
    // The project's own database for this run, closed again at the end.
    TDatabase db{QString::fromLatin1(ProjectDatabase)};
    QVariant key;
    try {
        db.SetDirectory(projectDir);
        key = LookUpDrawingKey(posNo);
    } catch (const std::exception&) {
        return DeleteLookupFailed;
    }
    if (key.isNull()) return DeleteNotFound;
    try {
        DeleteSupportRows(db, key);
    } catch (const std::exception&) {
        return DeleteFailed;
    }
    return DeleteDone;
}
