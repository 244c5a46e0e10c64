// Renders the forms of configuration mode to PNG files: the arrangement
// form on the demo catalogue (the alias KORVA_9_0) with a configuration
// selected in each grid.
#include "data/DBKON.h"
#include "localisation/IvBinDic.h"
#include "data/ProjectSchema.h"
#include "forms/ABHG_configure.h"
#include "forms/PrjSearch.h"
#include "forms/waitInfo.h"
#include "platform/Database.h"
#include "platform/Query.h"
#include "platform/TableFile.h"
#include "ui/DirTree.h"
#include "ui/MultiLang.h"
#include "ui/ZorbelGrid.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>
#include <cstdio>
#include <exception>

namespace {

bool Save(QWidget& w, const QDir& out, const QString& name) {
    w.show();
    for (int i = 0; i < 100 && !(w.windowHandle() && w.windowHandle()->isExposed()); ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    QApplication::processEvents();
    const QString path = out.filePath(name);
    const bool ok = w.grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

QString g_suffix;  // "-de" for the German run

bool Arrangement(const QDir& out) {
    TFABHG_configure form;
    form.resize(820, 640);
    form.LBused->SetRow(1);
    form.LBusedClick();
    form.BToRightClick();  // one configuration on each side
    form.LBunused->SetRow(1);
    form.LBunusedClick();
    const bool ok = Save(form, out, QStringLiteral("arrangement%1.png").arg(g_suffix));
    form.hide();
    return ok;
}

void MakeProject(const QString& dir, const QList<QPair<qint64, QString>>& supports) {
    QDir().mkpath(dir);
    CreateTableFile(QDir(dir).filePath(QStringLiteral("konstr8.db")), ProjectFieldDefs(ProjectTable::Konstr),
                    ProjectIndexDefs(ProjectTable::Konstr));
    static int n = 0;
    TDatabase db(QStringLiteral("SHOT_PRJ_%1").arg(++n));
    db.SetDirectory(dir);
    for (const auto& s : supports) {
        TQuery q(db.DatabaseName(), QStringLiteral("insert into konstr8 (K_F_NR_AUS, K_POS_NR, K_REVIS, K_NAME, "
                                                   "K_NAME_ZU, K_NR_ANL, K_VER, K_A_NR) values (?, ?, 1, ?, ?, ?, ?, ?)"));
        q.SetParams({s.first, s.second, QStringLiteral("Demo Plant Ltd"), QStringLiteral("J. Miller"),
                     QStringLiteral("U-12"), QStringLiteral("9.0"), 101});
        q.ExecSQL();
    }
}

// A search over a small tree of demo projects, the first one selected.
bool ProjectSearch(const QDir& out) {
    QTemporaryDir tmp;
    const QString root = tmp.path() + QStringLiteral("/projects/");
    MakeProject(root + QStringLiteral("plant-north/unit-1"), {{120003, QStringLiteral("H-101")},
                                                              {120004, QStringLiteral("H-102")},
                                                              {120005, QStringLiteral("SH-7a")}});
    MakeProject(root + QStringLiteral("plant-south"), {{471100001, QStringLiteral("X-1")}});
    QDir().mkpath(root + QStringLiteral("archive/old"));
    TFPrjSearchAbort abortForm;
    TFPRJSEARCH form(nullptr, tmp.path());
    form.resize(980, 700);
    form.DirTree1->OpenPath(root);
    form.Button1Click();
    form.ListBox1->setCurrentRow(0);
    return Save(form, out, QStringLiteral("projectsearch%1.png").arg(g_suffix));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool german = args.removeAll(QStringLiteral("--german")) > 0;
    const QDir out(args.isEmpty() ? QDir::currentPath() : args.first());
    if (!out.exists() && !QDir().mkpath(out.path())) return 2;
    DictionaryScope dictionaries;
    if (german) {
        IvBinaryDictionaryGlobal->SetLanguage(1);
        IvBinaryDictionaryGlobal->Open();
        g_suffix = QStringLiteral("-de");
    }
    try {
        TDBKONST konst;
        const bool ok = Arrangement(out);
        return ok && ProjectSearch(out) ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 3;
    }
}
