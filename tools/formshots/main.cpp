// Renders the forms of configuration mode to PNG files: the arrangement
// form on the demo catalogue (the alias KORVA_9_0) with a configuration
// selected in each grid.
#include "data/DBKON.h"
#include "forms/ABHG_configure.h"
#include "ui/MultiLang.h"
#include "ui/ZorbelGrid.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
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

bool Arrangement(const QDir& out) {
    TFABHG_configure form;
    form.resize(820, 640);
    form.LBused->SetRow(1);
    form.LBusedClick();
    form.BToRightClick();  // one configuration on each side
    form.LBunused->SetRow(1);
    form.LBunusedClick();
    const bool ok = Save(form, out, QStringLiteral("arrangement.png"));
    form.hide();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    if (!out.exists() && !QDir().mkpath(out.path())) return 2;
    DictionaryScope dictionaries;
    try {
        TDBKONST konst;
        return Arrangement(out) ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 3;
    }
}
