// Renders the options form's tabs and the password dialogs to PNG files,
// against a settings table and catalogue made in a temporary directory.
#include "data/CatalogueSchema.h"
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "forms/LEKO.h"
#include "localisation/IvDialogs.h"
#include "forms/Password.h"
#include "forms/Password1.h"
#include "localisation/IvBinDic.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "ui/ApplicationForms.h"
#include "messages/MessageSeam.h"
#include "ui/MultiLang.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QFileDialog>
#include <QDir>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>
#include <cstdio>
#include <memory>

namespace {

bool Save(QWidget& w, const QDir& out, const QString& name) {
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

void MakeCatalogue(const QString& dir) {
    for (const CatalogueTableDef& def : CatalogueTables())
        CreateTableFile(TablePath(dir, def.fileName), def.fieldDefs(), def.indexDefs());
    TTable t(dir, QStringLiteral("FIRDAT.DB"));
    t.Open();
    t.Append();
    const QVariantMap values{{"F_NR", 1},           {"F_FDIFF", 25},        {"F_BEWEGBER", 300}, {"F_LR_KH", 15},
                             {"F_WR_FH_MM", 5},     {"F_WR_FH", 10},        {"F_WR_KH", 10},     {"F_WR_KH_MM", 25},
                             {"F_WR_SB", 13},       {"F_WR_GS", 25},        {"F_WINKEL", 4},     {"F_ZUGST_ST", 3000},
                             {"F_DRCK_EH_KZ", "A"}, {"F_PRS_EINHEIT", "EUR"}, {"F_TGKURS", 1.0}, {"F_DRCK_GEW_KZ", true},
                             {"F_DRCK_DIM_KZ", true}, {"F_DRCK_KZ", 2},     {"F_KRZ_BEZ_H", "X"}, {"F_KRZ_BEZ_L", "Y"},
                             {"F_KRZ_BEZ_V", "Z"},  {"F_BEST", "Musterwerk GmbH"}, {"F_WINKEL_KZ", true}};
    for (auto it = values.cbegin(); it != values.cend(); ++it) t.FieldByName(it.key()).SetValue(it.value());
    t.Post();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    if (!out.exists() && !QDir().mkpath(out.path())) return 2;
    QTemporaryDir work;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.filePath(QStringLiteral("user")));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, work.filePath(QStringLiteral("system")));
    const QString catalogue = work.filePath(QStringLiteral("catalogue"));
    QDir().mkpath(catalogue);
    MakeCatalogue(catalogue);
    {
        QSettings aliases(work.filePath(QStringLiteral("aliases.ini")), QSettings::IniFormat);
        aliases.setValue(QStringLiteral("KORVA_9_0/PATH"), catalogue);
    }
    qputenv("KORVA_ALIAS_FILE", work.filePath(QStringLiteral("aliases.ini")).toLocal8Bit());
    qputenv("TMPDIR", work.path().toLocal8Bit());
    Session().ReloadAliases();
    // Boxes are answered without showing them.
    ScriptedMessageSeam seam;
    DictionaryScope dictionaries;
    bool ok = true;
    {
        TDBKONST kon;
        TDBGLOBAL glob;
        IvBinaryDictionaryGlobal->SetFileName(QDir(ProgramDirectory()).filePath(QStringLiteral("Korva32.mld")));
        IvBinaryDictionaryGlobal->Open();
        for (int language : {1, 2}) {
            IvBinaryDictionaryGlobal->SetLanguage(language);
            const QString suffix = language == 1 ? QStringLiteral("de") : QStringLiteral("en");
            TFLEKO form;
            // At the size it opens with (the input form's), then its smallest.
            form.resize(1000, 720);
            form.show();
            ok = Save(form, out, QStringLiteral("options-%1-default.png").arg(suffix)) && ok;
            form.resize(form.minimumSize());
            for (int tab = 0; tab < form.PageControl1->count(); ++tab) {
                form.PageControl1->setCurrentIndex(tab);
                ok = Save(form, out, QStringLiteral("options-%1-%2.png").arg(suffix).arg(tab + 1)) && ok;
            }
            // The mouse over "Reduced temperature range of pipe clamps"
            // shows the temperatures of the materials.
            if (QCheckBox* reduced = form.DBCheckBox(33)) {
                form.PageControl1->setCurrentWidget(reduced->parentWidget());
                QEvent enter(QEvent::Enter);
                QApplication::sendEvent(reduced, &enter);
                ok = Save(form, out, QStringLiteral("options-%1-memo.png").arg(suffix)) && ok;
                QEvent leave(QEvent::Leave);
                QApplication::sendEvent(reduced, &leave);
            }
            form.hide();
            // A folder and a text file in the list, in its details view.
            QFile note(work.filePath(QStringLiteral("note.txt")));
            if (note.open(QIODevice::WriteOnly)) note.write("note\n");
            note.close();
            std::unique_ptr<QFileDialog> save = form.IvSaveDialog1->CreateDialog();
            save->setDirectory(work.path());
            save->setViewMode(QFileDialog::Detail);
            save->show();
            for (int i = 0; i < 50; ++i) {
                QApplication::processEvents();
                QThread::msleep(10);
            }
            ok = Save(*save, out, QStringLiteral("savedialog-%1.png").arg(suffix)) && ok;
            save->hide();
            std::unique_ptr<QColorDialog> colour = form.IvColorDialog1->CreateDialog();
            colour->show();
            ok = Save(*colour, out, QStringLiteral("colourdialog-%1.png").arg(suffix)) && ok;
            colour->hide();
            std::unique_ptr<QFontDialog> font = form.IvFontDialog1->CreateDialog();
            font->show();
            ok = Save(*font, out, QStringLiteral("fontdialog-%1.png").arg(suffix)) && ok;
            font->hide();
            TFPassword1 first;
            first.show();
            ok = Save(first, out, QStringLiteral("password1-%1.png").arg(suffix)) && ok;
            TFPassword2 second;
            second.show();
            ok = Save(second, out, QStringLiteral("password2-%1.png").arg(suffix)) && ok;
        }
        // Opened in one language at its smallest, then switched live to the
        // other: every tab still in sight.
        for (int language : {2, 1}) {
            IvBinaryDictionaryGlobal->SetLanguage(language);
            TFLEKO form;
            form.resize(form.minimumSize());
            form.show();
            const int other = language == 1 ? 2 : 1;
            IvBinaryDictionaryGlobal->SetLanguage(other);
            form.PageControl1->setCurrentIndex(6);
            ok = Save(form, out, QStringLiteral("options-switched-to-%1.png").arg(other == 1 ? "de" : "en")) && ok;
            form.hide();
        }
    }
    Session().Close();
    return ok ? 0 : 1;
}
