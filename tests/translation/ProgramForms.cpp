#include "ProgramForms.h"

#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "engineui/KH_INPUT_MSG.h"
#include "forms/ABHG_configure.h"
#include "forms/HDurdat.h"
#include "forms/HDurdatCold.h"
#include "forms/HaengerTyp.h"
#include "forms/LEK1.h"
#include "forms/LEKO.h"
#include "forms/Password.h"
#include "forms/Password1.h"
#include "forms/PrjSearch.h"
#include "forms/readinfo.h"
#include "forms/waitInfo.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvDialogs.h"
#include "localisation/IvLangDlg.h"
#include "platform/Session.h"
#include "ui/Lek15Warten.h"
#include "ui/MultiLang.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>

namespace {

constexpr MessageButtons kEveryButton = mb::Yes | mb::No | mb::OK | mb::Cancel | mb::Abort | mb::Retry | mb::Ignore |
                                        mb::All | mb::NoToAll | mb::YesToAll | mb::Help;

// A box as the program raises it: the caller hands in a translated message.
ProgramForm Box(const char* name, MessageKind kind, bool hideBox = false) {
    return {QString::fromLatin1(name),
            [kind, hideBox]() -> std::unique_ptr<QWidget> {
                return std::unique_ptr<QWidget>(CreateMessageDialog(
                    TranslateMenuText(QStringLiteral("Lateral movement <> 0 !")), kind, kEveryButton, hideBox));
            },
            false};
}

// What the program's main forms stand on: a copy of the demo catalogue
// under the alias, the per-user settings, a host input, a project
// directory and both data modules. It lives as long as the form it was
// made for (a child object of the form, gone after the form's widgets).
class ProgramEnvironment : public QObject {
public:
    ProgramEnvironment() {
        const QString catalogue = m_dir.filePath(QStringLiteral("catalogue"));
        QDir().mkpath(catalogue);
        const QDir demo(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue"));
        for (const QString& f : demo.entryList(QDir::Files)) QFile::copy(demo.filePath(f), QDir(catalogue).filePath(f));
        const QString aliases = m_dir.filePath(QStringLiteral("aliases.ini"));
        QFile a(aliases);
        if (a.open(QIODevice::WriteOnly)) a.write(QStringLiteral("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
        a.close();
        qputenv("KORVA_ALIAS_FILE", aliases.toLocal8Bit());
        qputenv("TMPDIR", m_dir.path().toLocal8Bit());
        Session().ReloadAliases();
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, m_dir.filePath(QStringLiteral("registry")));
        ResetHostGlobals();
        CalcGlobals.Reset();
        ConstructionRecord.Reset();
        InputFileName = QStringLiteral(KORVA_SOURCE_DIR "/resources/catalogue/inputs/spring_hanger.ini");
        OutputFileName = m_dir.filePath(QStringLiteral("out.zof"));
        CmdProjectDir = m_dir.filePath(QStringLiteral("project"));
        m_konst = std::make_unique<TDBKONST>();
        m_global = std::make_unique<TDBGLOBAL>();
    }
    ~ProgramEnvironment() override {
        m_global.reset();
        m_konst.reset();
        Session().Close();
    }
    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TDBKONST> m_konst;
    std::unique_ptr<TDBGLOBAL> m_global;
};

// A form of the program built on its environment, which it keeps.
template <class Form, class Prepare>
ProgramForm MainForm(const char* name, Prepare prepare, QStringList dataTexts = {}) {
    return {QString::fromLatin1(name),
            [prepare]() -> std::unique_ptr<QWidget> {
                auto* environment = new ProgramEnvironment;
                std::unique_ptr<Form> form;
                try {
                    form = prepare(*environment);
                } catch (...) {
                    delete environment;
                    throw;
                }
                environment->setParent(form.get());
                return form;
            },
            true, std::move(dataTexts)};
}

// Qt's own texts of a common dialog: those of its unnamed widgets.
QStringList QtUnnamedTexts() {
    return {QStringLiteral(".text"), QStringLiteral(".title"), QStringLiteral(".items"), QStringLiteral(".toolTip")};
}

// The file dialog's: its unnamed ones, the history buttons, the list's
// menu; and the directory it shows, which is data.
QStringList QtFileDialogTexts() {
    return QtUnnamedTexts() << QStringLiteral("backButton.toolTip") << QStringLiteral("forwardButton.toolTip")
                            << QStringLiteral("qt_rename_action.text") << QStringLiteral("qt_delete_action.text")
                            << QStringLiteral("qt_show_hidden_action.text") << QStringLiteral("qt_new_folder_action.text")
                            << QStringLiteral("lookInCombo.items");
}

// A diameter list as the input form opens it, on its diameter field.
template <class List>
ProgramForm DiameterList(const char* name) {
    return MainForm<List>(name, [](ProgramEnvironment&) {
        auto* rdm = new QLineEdit;
        auto list = std::make_unique<List>(nullptr, rdm);
        rdm->setParent(list.get());
        rdm->hide();
        return list;
    });
}

// The options form with its environment, kept for a dialog made by one of
// its components; the form goes before its environment.
class OptionsFormKeeper : public QObject {
public:
    OptionsFormKeeper() : form(std::make_unique<TFLEKO>()) {}
    ~OptionsFormKeeper() override { form.reset(); }
    ProgramEnvironment environment;
    std::unique_ptr<TFLEKO> form;
};

// A common dialog as the options form's component makes it (its title,
// filter and dictionary). Built in the language of the moment and closed
// before anything else can happen, as a box is. Qt's own texts of its
// unnamed widgets are Qt's translations, not the dictionary's.
template <class Make>
ProgramForm OptionsDialog(const char* name, Make make, QStringList dataTexts) {
    return {QString::fromLatin1(name),
            [make]() -> std::unique_ptr<QWidget> {
                auto* keeper = new OptionsFormKeeper;
                std::unique_ptr<QWidget> dialog;
                try {
                    dialog = make(*keeper->form);
                } catch (...) {
                    delete keeper;
                    throw;
                }
                // The component places the dialog over the form as its
                // child; here the dialog holds the form instead.
                dialog->setParent(nullptr, dialog->windowFlags());
                keeper->setParent(dialog.get());
                return dialog;
            },
            false, std::move(dataTexts)};
}

}  // namespace

const std::vector<ProgramForm>& ProgramForms() {
    static const std::vector<ProgramForm> forms{
        {QStringLiteral("waiting form"), [] { return Make<TFWarten>(); }},
        {QStringLiteral("language dialog"),
         [] { return Make<TIvLanguageDialog>(nullptr, IvBinaryDictionaryGlobal, 0, 0, 0); }},
        Box("warning box", MessageKind::Warning),
        Box("error box", MessageKind::Error),
        Box("information box", MessageKind::Information),
        Box("confirmation box", MessageKind::Confirmation),
        Box("custom box", MessageKind::Custom),
        Box("box with its hide check box", MessageKind::Warning, true),
        // The spring hanger of the demo: the static panels and the
        // configuration's elevations. The caption, the project directory,
        // the version, the hanger mark and the date name the support.
        MainForm<TFLEK1>("input form", [](ProgramEnvironment&) { return std::make_unique<TFLEK1>(); },
                         {QStringLiteral("FLEK1.windowTitle"), QStringLiteral("lblPrjDir.text"),
                          QStringLiteral("lblPrjDir.toolTip"), QStringLiteral("Lversion.text"),
                          QStringLiteral("Label_UPos.text"), QStringLiteral("LabelDate.text")}),
        // The options form with the temperature memo that the mouse over
        // "Reduced temperature range of pipe clamps" shows.
        // The captions name the version and the project directory; the
        // currencies are codes, the factor's caption shows the chosen one.
        MainForm<TFLEKO>(
            "options form",
            [](ProgramEnvironment&) {
                auto form = std::make_unique<TFLEKO>();
                form->TemperatureMemo->show();
                return form;
            },
            {QStringLiteral("FLEKO.windowTitle"), QStringLiteral("ComboBox1.items"), QStringLiteral("KursLabel.text")}),
        MainForm<TFABHG_configure>(
            "arrangement form", [](ProgramEnvironment&) { return std::make_unique<TFABHG_configure>(); },
            {QStringLiteral("FABHG_configure.windowTitle")}),
        MainForm<TFPRJSEARCH>(
            "project search",
            [](ProgramEnvironment& e) { return std::make_unique<TFPRJSEARCH>(nullptr, e.Path()); },
            {QStringLiteral("FPRJSEARCH.windowTitle"), QStringLiteral("VersionLabel.text")}),
        // The input form's pick lists and the options password dialogs.
        DiameterList<TFHelpDurdat>("pipe-diameter list"),
        DiameterList<TFHelpDurdatCold>("cold pipe-diameter list"),
        MainForm<TFTyp>("hanger-type list", [](ProgramEnvironment&) { return std::make_unique<TFTyp>(); }),
        {QStringLiteral("new options password"), [] { return Make<TFPassword1>(); }},
        {QStringLiteral("options password"), [] { return Make<TFPassword2>(); }},
        // Configuration mode's notice and the project search's abort form.
        {QStringLiteral("reading notice"), [] { return Make<TFReadinInfo>(); }},
        {QStringLiteral("project search abort"), [] { return Make<TFPrjSearchAbort>(); }},
        // The blocking dialog before the selection fills in the hanger and
        // its range (that is data: numbers after the captions).
        {QStringLiteral("blocking dialog"), [] { return Make<TFKH_INP_MSG>(); }},
        // The options form's file and colour dialogs. The directory list
        // is data; the history buttons and the list's menu are Qt's own
        // texts, from Qt's translations.
        OptionsDialog("save dialog", [](TFLEKO& f) -> std::unique_ptr<QWidget> { return f.IvSaveDialog1->CreateDialog(); },
                      QtFileDialogTexts()),
        OptionsDialog("open dialog", [](TFLEKO& f) -> std::unique_ptr<QWidget> { return f.IvOpenDialog1->CreateDialog(); },
                      QtFileDialogTexts()),
        OptionsDialog("picture dialog",
                      [](TFLEKO& f) -> std::unique_ptr<QWidget> { return f.IvOpenPictureDialog1->CreateDialog(); },
                      QtFileDialogTexts()),
        OptionsDialog("colour dialog",
                      [](TFLEKO& f) -> std::unique_ptr<QWidget> { return f.IvColorDialog1->CreateDialog(); },
                      QtUnnamedTexts()),
        // The font dialog of the options form on a machine without a
        // printer: its note says the screen fonts are listed.
        // Qt's own texts of the dialog (its unnamed widgets) come from Qt's
        // translations, not from the dictionary.
        {QStringLiteral("font dialog without a printer"),
         []() -> std::unique_ptr<QWidget> {
             TIvFontDialog dialog;
             dialog.Device = fdBoth;
             dialog.PrinterName = [] { return QString(); };
             return dialog.CreateDialog();
         },
         false, QtUnnamedTexts()},
    };
    return forms;
}
