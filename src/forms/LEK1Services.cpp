#include "forms/LEK1Services.h"

#include "engine/FindHalterung.h"
#include "engineui/KH_INPUT_MSG.h"
#include "engineui/QtSelectionUi.h"
#include "host/PMLFUELL.h"
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
    // The selection in its interactive manner over the input form, without
    // a status panel.
    s.RunSelectSupport = [](QWidget* owner, int guide, int material, bool showWaiting) {
        QtSelectionUi ui(owner);
        return RunSelectSupport(ui, guide, material, showWaiting);
    };
    s.WritePmlFile = [](const QString& fileName, int) {
        QString error;
        if (!WritePmlFile(fileName, &error)) throw EPmlFileError(error);
    };
}
