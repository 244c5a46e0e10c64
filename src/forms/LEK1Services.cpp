#include "forms/LEK1Services.h"
#include "forms/LEKO.h"

#include "data/DBCREATE.h"
#include "data/DBcheck.h"
#include "engine/FindHalterung.h"
#include "engineui/KH_INPUT_MSG.h"
#include "engineui/QtSelectionUi.h"
#include "host/PMLFUELL.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvDictio.h"
#include "localisation/IvLangDlg.h"
#include "ui/Lek15Warten.h"
#include "ui/MultiLang.h"
#include "platform/TableFile.h"

#include <QDir>
#include <QFileInfo>

InputFormServices& LEK1Services() {
    static InputFormServices services;
    return services;
}

int CheckProjectTablesExist(const QString& directory, QString* message) {
    if (directory.isEmpty()) {
        if (message) *message = QStringLiteral("No project directory given");
        return -1;
    }
    if (!QFileInfo(directory).isDir()) return 2;
    const auto exists = [&directory](const char* name) {
        return QFileInfo::exists(TablePath(directory, QString::fromLatin1(name)));
    };
    if (!exists("konstr8.db")) return 1;
    if (!exists("konstz8.db")) return 3;
    return 0;
}


void UseProgramServices() {
    InputFormServices& s = LEK1Services();
    // A start that waits for another one creating its project shows why
    // nothing happens yet (no form is open then).
    SetProjectWaitNotice([](const QString&, bool waiting) {
        if (!waiting) return FreeWaitingForm();
        if (!FWarten) ShowWaitingForm(nullptr, IvTranslate(QStringLiteral(" Projekt wird angelegt ")));
        RefreshWaitingForm();
    });
    // The project check asks before adding konstz8.db or upgrading; a
    // refusal or a database error is no usable project.
    s.CheckProjectFilesAtStart = [](const QString& directory, QString* message) {
        QString refusal;
        const int code = CheckProjectAtStart(directory, &refusal);
        if (code >= checkcode::Usable && code <= checkcode::KonstzAdded) return code;
        // One line for the host error file.
        if (message) *message = refusal.replace(QLatin1Char('\r'), QLatin1Char(' '));
        return code < 0 ? code : -code;
    };
    s.ChooseLanguage = [](QWidget* owner) {
        if (!IvBinaryDictionaryGlobal) return;
        int language = IvBinaryDictionaryGlobal->Language();
        if (ExecuteLanguageDialog(owner, IvBinaryDictionaryGlobal, 0, language))
            IvBinaryDictionaryGlobal->SetLanguage(language);
    };
    // The selection in its interactive manner over the input form, without
    // a status panel.
    s.RunSelectSupport = [](QWidget* owner, int guide, int material, bool showWaiting) {
        QtSelectionUi ui(owner);
        return RunSelectSupport(ui, guide, material, showWaiting);
    };
    s.LoadRegistrySettings = [](QWidget& inputForm) { return LoadRegistrySettings(inputForm); };
    s.ShowOptions = [](QWidget* owner) {
        TFLEKO options(owner);
        // In the input form's place: its position, size and window state.
        if (owner) {
            options.move(owner->pos());
            options.resize(owner->size());
            options.setWindowState(owner->windowState() & ~Qt::WindowMinimized);
        }
        return options.exec() == QDialog::Accepted;
    };
    s.WritePmlFile = [](const QString& fileName, int) {
        QString error;
        if (!WritePmlFile(fileName, &error)) throw EPmlFileError(error);
    };
}
