// Renders the main input form on the demo catalogue for one host input file
// per stress condition, in German and in English.
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "forms/HDurdat.h"
#include "forms/HDurdatCold.h"
#include "forms/HaengerTyp.h"
#include "forms/LEK1.h"
#include "data/ABHGNR.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "localisation/IvBinDic.h"
#include "platform/Session.h"
#include "messages/MessageSeam.h"
#include "ui/MultiLang.h"
#include "ui/ZORBELGroupBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>
#include <cstdio>
#include <memory>

namespace {

// Message boxes are answered by their default button and printed.
class PrintingSeam : public MessageSeam {
public:
    int Show(const MessageRequest& r) override {
        std::printf("box: %s\n", qPrintable(r.text));
        return DefaultResult(r.buttons);
    }
};

bool CopyDir(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& f : QDir(from).entryList(QDir::Files))
        if (!QFile::copy(QDir(from).filePath(f), QDir(to).filePath(f))) return false;
    return true;
}

// One copy of the demo catalogue for every shot: the form writes its
// settings table.
bool PrepareCatalogue(const QTemporaryDir& base, const QString& demo) {
    const QString catalogue = base.filePath(QStringLiteral("catalogue"));
    if (!CopyDir(QDir(demo).filePath(QStringLiteral("catalogue")), catalogue)) return false;
    const QString aliases = base.filePath(QStringLiteral("aliases.ini"));
    QFile f(aliases);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(QStringLiteral("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
    f.close();
    qputenv("KORVA_ALIAS_FILE", aliases.toLocal8Bit());
    Session().ReloadAliases();
    return true;
}

bool Shoot(const QDir& out, const QString& demo, const QString& input, int language, const QString& name,
           bool minimum) {
    QTemporaryDir work;
    ResetHostGlobals();
    CalcGlobals.Reset();
    ConstructionRecord.Reset();
    InputFileName = QDir(demo).filePath(QStringLiteral("inputs/") + input);
    OutputFileName = work.filePath(QStringLiteral("out.zof"));
    CmdProjectDir = work.filePath(QStringLiteral("project"));
    QDir::setCurrent(work.path());
    IvBinaryDictionaryGlobal->SetLanguage(language);
    bool ok = false;
    {
        TDBKONST konst;
        TDBGLOBAL global;
        TFLEK1 form;
        // The size the form opens at, or its smallest.
        if (minimum) form.resize(form.minimumSize());
        form.show();
        for (int i = 0; i < 100 && !(form.windowHandle() && form.windowHandle()->isExposed()); ++i) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        for (int i = 0; i < 20; ++i) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        const QString path = out.filePath(name);
        ok = form.grab().save(path, "PNG");
        std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
        if (input == QLatin1String("spring_hanger.ini") && !minimum) {
            // The three help dialogs over the form.
            QLineEdit rdm;
            TFHelpDurdat diameters(&form, &rdm);
            TFHelpDurdatCold cold(&form, &rdm);
            TFTyp types(&form);
            const std::pair<QWidget*, const char*> dialogs[] = {
                {&diameters, "hdurdat"}, {&cold, "hdurdatcold"}, {&types, "haengertyp"}};
            for (const auto& [dialog, dname] : dialogs) {
                dialog->show();
                for (int i = 0; i < 20; ++i) {
                    QApplication::processEvents();
                    QThread::msleep(10);
                }
                const QString dpath = out.filePath(name.section(u'.', 0, 0) + QLatin1Char('-') + QLatin1String(dname) + QStringLiteral(".png"));
                dialog->grab().save(dpath, "PNG");
                std::printf("wrote %s\n", qPrintable(dpath));
                dialog->hide();
            }
        }
        form.hide();
    }
    std::fflush(stdout);
    return ok;
}

// The base-clamp bearing after the engineer chose the bearing guide "with
// lateral guide", the side force "Fx = 2,8 kN" and then the base clamp
// "2-way (right angle)": the guide is simple again, without side force and
// profile.
bool ShootBaseClampChoice(const QDir& out, const QString& demo, int language, const QString& name) {
    QTemporaryDir work;
    ResetHostGlobals();
    CalcGlobals.Reset();
    ConstructionRecord.Reset();
    InputFileName = QDir(demo).filePath(QStringLiteral("inputs/base_clamp.ini"));
    OutputFileName = work.filePath(QStringLiteral("out.zof"));
    CmdProjectDir = work.filePath(QStringLiteral("project"));
    QDir::setCurrent(work.path());
    IvBinaryDictionaryGlobal->SetLanguage(language);
    bool ok = false;
    {
        TDBKONST konst;
        TDBGLOBAL global;
        TFLEK1 form;
        form.show();
        const auto settle = [] {
            for (int i = 0; i < 20; ++i) {
                QApplication::processEvents();
                QThread::msleep(10);
            }
        };
        settle();
        const auto click = [&form](const QString& button) {
            if (auto* b = form.findChild<QAbstractButton*>(button)) b->click();
        };
        click(QStringLiteral("RGLagerFuehrung_2"));
        click(QStringLiteral("RGfx_2"));
        settle();
        const QString before = out.filePath(name.section(u'.', 0, 0) + QStringLiteral("-guide.png"));
        form.grab().save(before, "PNG");
        std::printf("wrote %s\n", qPrintable(before));
        if (form.BaseClampStyleBox) form.BaseClampStyleBox->Button(1)->click();
        settle();
        const QString path = out.filePath(name);
        ok = form.grab().save(path, "PNG");
        std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
        form.hide();
    }
    std::fflush(stdout);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (argc < 3) {
        std::fprintf(stderr, "usage: korva_formshots <output dir> <demo dir>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString demo = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QTemporaryDir base;
    if (!PrepareCatalogue(base, demo)) return 2;
    if (!out.exists() && !QDir().mkpath(out.path())) return 2;
    PrintingSeam seam;
    SetMessageSeam(&seam);
    DictionaryScope dictionaries;
    const struct {
        const char* input;
        const char* name;
    } shots[] = {{"spring_hanger.ini", "static"}, {"rigid_strut.ini", "dynamic"}, {"cold_support.ini", "cold"}};
    bool ok = true;
    for (const auto& s : shots)
        for (const auto& [language, suffix] : {std::pair{1, "de"}, std::pair{2, "en"}})
            for (const bool minimum : {false, true})
                ok = Shoot(out, demo, QString::fromLatin1(s.input), language,
                           QStringLiteral("lek1-%1-%2%3.png")
                               .arg(QLatin1String(s.name), QLatin1String(suffix),
                                    minimum ? QStringLiteral("-min") : QString()),
                           minimum) &&
                     ok;
    for (const auto& [language, suffix] : {std::pair{1, "de"}, std::pair{2, "en"}})
        ok = ShootBaseClampChoice(out, demo, language, QStringLiteral("lek1-baseclamp-%1.png").arg(QLatin1String(suffix))) &&
             ok;
    SetMessageSeam(nullptr);
    return ok ? 0 : 1;
}
