// Renders a message box, the waiting form, a picture group and the language
// dialog to PNG files,
// in German and in English, so that their look and their language can be
// checked by eye:
//   xvfb-run -a <build>/korva_screenshots <output directory>
#include "localisation/IvBinDic.h"
#include "localisation/IvLangDlg.h"
#include "ui/ApplicationForms.h"
#include "ui/Lek15Warten.h"
#include "ui/MultiLang.h"
#include "ui/ZORBELGroupBox.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QThread>
#include <QWindow>
#include <cstdio>
#include <memory>

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

// The texts are program texts with dictionary rows, translated as the
// program translates them: the box's message by its caller, the rest by
// the box and the forms themselves.
bool MessageBoxes(const QDir& out, const QString& suffix) {
    std::unique_ptr<TMessageForm> box(CreateMessageDialog(TranslateMenuText(QStringLiteral("Lateral movement <> 0 !")),
                                                          MessageKind::Confirmation, mb::Yes | mb::No | mb::All, false));
    std::unique_ptr<TMessageForm> hide(
        CreateMessageDialog(TranslateMenuText(QStringLiteral("Wert für Last fehlt!")), MessageKind::Warning,
                            mb::OK | mb::Cancel, true));
    return Save(*box, out, QStringLiteral("messagebox-%1.png").arg(suffix)) &&
           Save(*hide, out, QStringLiteral("messagebox-hide-%1.png").arg(suffix));
}

// A translated form holding a picture group, as the input form holds its
// groups: the group's title and buttons are translated with the form.
class PictureGroupForm : public TTemplateFormMultiLang {
public:
    TZORBELGroupBox* Group = new TZORBELGroupBox(this);
    PictureGroupForm() {
        setObjectName(QStringLiteral("PictureGroupForm"));
        setWindowTitle(QStringLiteral("KORVA"));
        resize(500, 190);
        Group->setObjectName(QStringLiteral("BaseClampStyleBox"));
        Group->setTitle(QStringLiteral("Clamp base"));
        Group->setGeometry(10, 10, 480, 170);
        Group->SetPictureFileNames({"Typ49_2Wege_rechtwinklig.bmp", "Typ49_2Wege_parallel.bmp", "Typ49_3Wege.bmp",
                                    "Typ49_4Wege.bmp"});
        Group->SetItems({"Clamp base, 2-way right-angle guide", "Clamp base, 2-way parallel guide",
                         "Clamp base, 3-way guide", "Clamp base, 4-way guide"});
        Group->SetItemIndex(2);
        Group->SetEnabled(true);
        Group->SetPicturePath(QDir(ProgramDirectory()).filePath(QStringLiteral("images")));
        Loaded();
    }
};

bool PictureGroup(const QDir& out, const QString& suffix) {
    PictureGroupForm form;
    return Save(form, out, QStringLiteral("picturegroup-%1.png").arg(suffix));
}

bool WaitingForm(const QDir& out, const QString& suffix) {
    TFWarten form;
    return Save(form, out, QStringLiteral("waitingform-%1.png").arg(suffix));
}

bool LanguageDialog(const QDir& out, const QString& suffix) {
    TIvLanguageDialog dialog(nullptr, IvBinaryDictionaryGlobal, 0, 0, 0);
    return Save(dialog, out, QStringLiteral("languagedialog-%1.png").arg(suffix));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    if (!out.exists() && !QDir().mkpath(out.path())) return 2;
    DictionaryScope dictionaries;
    IvBinaryDictionaryGlobal->Open();
    if (!IvBinaryDictionaryGlobal->IsOpen()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(IvBinaryDictionaryGlobal->FileName()));
        return 1;
    }
    bool ok = true;
    // Languages 1 and 2 of the main dictionary.
    for (const auto& [language, suffix] : {std::pair{1, "de"}, std::pair{2, "en"}}) {
        IvBinaryDictionaryGlobal->SetLanguage(language);
        const QString s = QString::fromLatin1(suffix);
        ok = MessageBoxes(out, s) && PictureGroup(out, s) && WaitingForm(out, s) && LanguageDialog(out, s) && ok;
    }
    return ok ? 0 : 1;
}
