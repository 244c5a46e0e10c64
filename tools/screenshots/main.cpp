// Renders a message box, the waiting form, a picture group, the language
// dialog, the blocking-position dialog, the conversion error of a numeric
// edit and the help of a box's and of the language dialog's Help button to
// PNG files,
// in German and in English, so that their look and their language can be
// checked by eye:
//   xvfb-run -a <build>/korva_screenshots <output directory>
#include "data/DECODIEREN.h"
#include "data/FIRAUFKON.h"
#include "engineui/KH_INPUT_MSG.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvLangDlg.h"
#include "ui/ApplicationForms.h"
#include "ui/Lek15Warten.h"
#include "ui/MultiLang.h"
#include "ui/QtMessageSeam.h"
#include "ui/ValCtrls.h"
#include "ui/ZORBELGroupBox.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include "../common/WidgetShot.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFormLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <cstdio>
#include <memory>

namespace {

using korva_tools::SaveWidgetShot;

// The texts are program texts with dictionary rows, translated as the
// program translates them: the box's message by its caller, the rest by
// the box and the forms themselves.
bool MessageBoxes(const QDir& out, const QString& suffix) {
    std::unique_ptr<TMessageForm> box(CreateMessageDialog(TranslateMenuText(QStringLiteral("Lateral movement <> 0 !")),
                                                          MessageKind::Confirmation, mb::Yes | mb::No | mb::All, false));
    std::unique_ptr<TMessageForm> hide(
        CreateMessageDialog(TranslateMenuText(QStringLiteral("Wert für Last fehlt!")), MessageKind::Warning,
                            mb::OK | mb::Cancel, true));
    return SaveWidgetShot(*box, out, QStringLiteral("messagebox-%1.png").arg(suffix)) &&
           SaveWidgetShot(*hide, out, QStringLiteral("messagebox-hide-%1.png").arg(suffix));
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
    return SaveWidgetShot(form, out, QStringLiteral("picturegroup-%1.png").arg(suffix));
}

bool WaitingForm(const QDir& out, const QString& suffix) {
    TFWarten form;
    return SaveWidgetShot(form, out, QStringLiteral("waitingform-%1.png").arg(suffix));
}

bool LanguageDialog(const QDir& out, const QString& suffix) {
    TIvLanguageDialog dialog(nullptr, IvBinaryDictionaryGlobal, 0, 0, 0);
    return SaveWidgetShot(dialog, out, QStringLiteral("languagedialog-%1.png").arg(suffix));
}

// The blocking-position dialog of a constant hanger in mm and in inch, and
// in mm with a dialog font chosen on the options form.
bool BlockingDialog(const QDir& out, const QString& suffix) {
    bool ok = true;
    const QFont programFont = SharedFont();
    for (const char* kind : {"", "inch-", "font-"}) {
        const bool inch = QByteArray(kind) == "inch-";
        ConstructionRecord.Reset();
        CalcGlobals.Reset();
        ConstructionRecord.K_EINH_KZ = inch;
        ConstructionRecord.K_BLOCKIER = 233;
        CalcGlobals.BlockingRangeMin = 0;
        CalcGlobals.BlockingRangeMax = 307;
        std::copy_n("113315", 6, CalcGlobals.DisplayPartNumber);
        if (QByteArray(kind) == "font-") {
            QFont chosen(QStringLiteral("DejaVu Serif"), 12);
            chosen.setBold(true);
            SharedFont() = chosen;
        }
        TFKH_INP_MSG dialog;
        ok = SaveWidgetShot(dialog, out, QStringLiteral("blockingdialog-%1%2.png").arg(QLatin1String(kind), suffix)) &&
             ok;
        SharedFont() = programFont;
    }
    return ok;
}

// Shows what the action opens: once the given number of modal windows
// stands, the screen (the windows over one another) is saved and every
// modal window closed.
bool ShootModal(const QDir& out, const QString& name, int modals, const std::function<void()>& action) {
    bool ok = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        int open = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->isModal() && w->windowHandle() && w->windowHandle()->isExposed()) ++open;
        if (open < modals) return;
        poll.stop();
        QThread::msleep(100);
        QApplication::processEvents();
        const QString path = out.filePath(name);
        ok = QGuiApplication::primaryScreen()->grabWindow(0).save(path, "PNG");
        std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
        while (QWidget* m = QApplication::activeModalWidget()) m->close();
    });
    poll.start();
    action();
    return ok;
}

// A translated form with two number fields.
class EditsForm : public TTemplateFormMultiLang {
public:
    TIntegerEdit* Temperature = new TIntegerEdit(this);
    TFloatEdit* Load = new TFloatEdit(this);
    EditsForm() {
        setObjectName(QStringLiteral("Edits"));
        setWindowTitle(QStringLiteral("KORVA"));
        auto* layout = new QFormLayout(this);
        layout->addRow(new QLabel(QStringLiteral("Temperatur"), this), Temperature);
        layout->addRow(new QLabel(QStringLiteral("Last"), this), Load);
        layout->setRowWrapPolicy(QFormLayout::DontWrapRows);
        layout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
        layout->setFormAlignment(Qt::AlignLeft | Qt::AlignTop);
        Loaded();
    }
};

// A number field whose text is no number: leaving the field shows the
// conversion error.
bool ConversionError(const QDir& out, const QString& suffix) {
    EditsForm form;
    TIntegerEdit* temperature = form.Temperature;
    TFloatEdit* load = form.Load;
    form.move(120, 80);
    form.resize(560, 320);
    form.show();
    form.activateWindow();
    for (int i = 0; i < 100 && !form.isActiveWindow(); ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    load->setText(QStringLiteral("1x"));
    load->setFocus();
    return ShootModal(out, QStringLiteral("conversionerror-%1.png").arg(suffix), 1, [&] { temperature->setFocus(); });
}

// A box with a Help button over a form; the button shows the help box.
bool HelpButton(const QDir& out, const QString& suffix) {
    QWidget owner;
    owner.setWindowTitle(QStringLiteral("KORVA"));
    owner.setGeometry(60, 60, 640, 420);
    owner.show();
    SetApplicationHelpFileName(QDir(ProgramDirectory()).filePath(QStringLiteral("MANUAL_U.hlp")));
    std::unique_ptr<TMessageForm> box(CreateMessageDialog(TranslateMenuText(QStringLiteral("Lateral movement <> 0 !")),
                                                          MessageKind::Confirmation, mb::Yes | mb::No | mb::Help, false));
    box->HelpContext = 20300;
    box->move(140, 120);
    if (!SaveWidgetShot(*box, out, QStringLiteral("helpbutton-box-%1.png").arg(suffix))) return false;
    box->hide();
    box->setWindowModality(Qt::ApplicationModal);
    const bool ok = ShootModal(out, QStringLiteral("helpbutton-%1.png").arg(suffix), 2, [&] {
        QTimer::singleShot(300, box.get(), [&box] { box->Button(QStringLiteral("Help"))->click(); });
        box->exec();
    });
    SetApplicationHelpFileName(QString());
    return ok;
}

// The language dialog with a help context over a form; its Help button
// shows the help box.
bool LanguageDialogHelp(const QDir& out, const QString& suffix) {
    QWidget owner;
    owner.setWindowTitle(QStringLiteral("KORVA"));
    owner.setGeometry(60, 60, 640, 420);
    owner.show();
    return ShootModal(out, QStringLiteral("languagedialog-help-%1.png").arg(suffix), 2, [&owner] {
        QTimer::singleShot(300, [] {
            if (auto* dialog = qobject_cast<TIvLanguageDialog*>(QApplication::activeModalWidget()))
                dialog->HelpButton->click();
        });
        int language = IvBinaryDictionaryGlobal->Language();
        ExecuteLanguageDialog(&owner, IvBinaryDictionaryGlobal, 0, language, 17);
    });
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
    InstallQtMessageSeam();
    bool ok = true;
    // Languages 1 and 2 of the main dictionary.
    for (const auto& [language, suffix] : {std::pair{1, "de"}, std::pair{2, "en"}}) {
        IvBinaryDictionaryGlobal->SetLanguage(language);
        const QString s = QString::fromLatin1(suffix);
        ok = MessageBoxes(out, s) && PictureGroup(out, s) && WaitingForm(out, s) && LanguageDialog(out, s) &&
             BlockingDialog(out, s) && ConversionError(out, s) && HelpButton(out, s) && LanguageDialogHelp(out, s) &&
             ok;
    }
    return ok ? 0 : 1;
}
