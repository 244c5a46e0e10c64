// Renders the interface foundation's windows to PNG files.
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

bool MessageBoxes(const QDir& out) {
    std::unique_ptr<TMessageForm> box(CreateMessageDialog(
        QStringLiteral("The travel exceeds the range of the hanger.\nShall the next size be selected?"),
        MessageKind::Confirmation, mb::Yes | mb::No | mb::All, false));
    std::unique_ptr<TMessageForm> hide(CreateMessageDialog(QStringLiteral("Value for load is missing!"),
                                                           MessageKind::Warning, mb::OK | mb::Cancel, true));
    return Save(*box, out, QStringLiteral("messagebox.png")) && Save(*hide, out, QStringLiteral("messagebox-hide.png"));
}

bool PictureGroup(const QDir& out) {
    TZORBELGroupBox group;
    group.setTitle(QStringLiteral("Building connection"));
    group.resize(460, 170);
    group.SetPictureFileNames({"Typ75.bmp", "Typ73.bmp", "Typ78.bmp", "Typ76.bmp", "Typ74.bmp"});
    group.SetItems({"Typ 75 - Anschweißöse", "Typ 73 - Anschweißbügel", "Typ 78 - Trägerklammer",
                    "Typ 76 - Tragarm mit Spannklammer", "Typ 74 - Anschweißplatte"});
    group.SetItemIndex(2);
    group.SetEnabled(true);
    group.SetPicturePath(QDir(ProgramDirectory()).filePath(QStringLiteral("images")));
    return Save(group, out, QStringLiteral("picturegroup.png"));
}

bool WaitingForm(const QDir& out) {
    TFWarten form;
    return Save(form, out, QStringLiteral("waitingform.png"));
}

bool LanguageDialog(const QDir& out) {
    IvBinaryDictionaryGlobal->SetLanguage(1);
    IvBinaryDictionaryGlobal->Open();
    TIvLanguageDialog dialog(nullptr, IvBinaryDictionaryGlobal, 0, 0, 0);
    return Save(dialog, out, QStringLiteral("languagedialog.png"));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    if (!out.exists() && !QDir().mkpath(out.path())) return 2;
    DictionaryScope dictionaries;
    const bool ok = MessageBoxes(out) && PictureGroup(out) && WaitingForm(out) && LanguageDialog(out);
    return ok ? 0 : 1;
}
