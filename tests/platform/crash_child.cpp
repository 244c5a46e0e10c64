// A child process for the crash and concurrency tests: stores or deletes
// supports in a project directory through the table layer, one transaction
// per support over four table files, as the program does.
//
//   korva_crashchild <dir> store <first key> <count>
//   korva_crashchild <dir> resume <total>         stores from the first key not yet stored
//   korva_crashchild <dir> delete <first key> <count>
//   korva_crashchild <dir> private               makes <dir> the private directory, says
//                                                "ready" and waits for a signal
//   korva_crashchild <dir> hold                  reads the project's tables, says "ready" and
//                                                waits for a signal with the database open
//
// Test hooks come from the environment (KORVA_TEST_CRASH_AT). Exit 0 when
// done, 3 with the error on standard error.
#include "CrashProject.h"
#include "platform/Database.h"
#include "platform/DbErrors.h"
#include "platform/FaultInjection.h"
#include "platform/Query.h"
#include "platform/RunDirectory.h"
#include "platform/Session.h"
#include "platform/Table.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

namespace {

const QString Db = QStringLiteral("KORVA_CRASH_CHILD");

void Store(TDatabase& db, int key) {
    InTransaction(db, [&] {
        // The support's own tables are opened inside the transaction (as the
        // store does), the parts list goes through statements.
        TTable konstr(Db, "konstr8.db");
        TTable konstz(Db, "konstz8.db");
        konstr.Open();
        konstz.Open();
        if (konstr.FindKey({key})) konstr.Edit();
        else konstr.Append();
        konstr.FieldByName("K_F_NR_AUS").SetValue(key);
        konstr.FieldByName("K_POS_NR").SetValue(crashproject::PosNo(key));
        konstr.FieldByName("K_LAST").SetValue(key * 0.5);
        konstr.Post();
        if (konstz.FindKey({key})) konstz.Edit();
        else konstz.Append();
        konstz.FieldByName("K_F_NR_AUS").SetValue(key);
        konstz.FieldByName("K_CALC_NR").SetValue(QString("C%1").arg(key));
        konstz.Post();
        TQuery q(Db, "delete from konbtl8 where KB_F_NR_AUS = ?");
        q.SetParams({key});
        q.ExecSQL();
        q.SetSQL("insert into konbtl8 (KB_F_NR_AUS, KB_LFD_ZNR, KB_POS, KB_BTL, KB_ANZ) values (?, 1, ?, ?, 1)");
        for (int p = 1; p <= crashproject::PartsOf(key); ++p) {
            q.SetParams({key, p, QString("A%1").arg(p)});
            q.ExecSQL();
        }
        q.SetSQL("delete from konetr8 where KE_F_NR_AUS = ?");
        q.SetParams({key});
        q.ExecSQL();
        q.SetSQL("insert into konetr8 (KE_F_NR_AUS, KE_BEZ, KE_ANZ) values (?, 'extra', 2)");
        q.ExecSQL();
    });
}

void Delete(TDatabase& db, int key) {
    InTransaction(db, [&] {
        TQuery q(Db, QString());
        for (int t = 0; t < 4; ++t) {
            q.SetSQL(QString("delete from %1 where %2 = ?")
                         .arg(crashproject::TableNames[t], crashproject::KeyFields[t]));
            q.SetParams({key});
            q.ExecSQL();
        }
    });
}

int StoredCount(const QString&) {
    TQuery q(Db, "select count(*) from konstr8");
    q.Open();
    return q.Fields(0).AsInteger();
}

}  // namespace

int main(int argc, char** argv) {
    ArmTestHooksFromEnvironment();
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() == 3 && a[2] == "private") {
        InstallRunDirectorySignalHandlers();
        Session().SetPrivateDir(a[1]);
        std::printf("ready\n");
        std::fflush(stdout);
        for (;;) ::pause();
    }
    if (a.size() == 3 && a[2] == "hold") {
        TDatabase db(Db);
        db.SetDirectory(a[1]);
        StoredCount(a[1]);
        std::printf("ready\n");
        std::fflush(stdout);
        for (;;) ::pause();
    }
    if (a.size() < 4) return 2;
    try {
        TDatabase db(Db);
        db.SetDirectory(a[1]);
        const QString mode = a[2];
        if (mode == "resume") {
            const int total = a[3].toInt();
            for (int n = StoredCount(a[1]); n < total; ++n) Store(db, crashproject::KeyOf(n));
        } else {
            const int first = a[3].toInt();
            const int count = a.size() > 4 ? a[4].toInt() : 1;
            for (int key = first; key < first + count; ++key) mode == "delete" ? Delete(db, key) : Store(db, key);
        }
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
        return 3;
    }
    return 0;
}
