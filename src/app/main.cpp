// The korva executable: the application object, every unit's
// initialisation, then the start modes of the host library.
#include "host/KORVA_MDS.h"
#include "ui/MultiLang.h"
#include "ui/QtMessageSeam.h"

#include <QApplication>
#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallQtMessageSeam();
    const DictionaryScope dictionaries;
    // LEAD: the single-instance lock (ExclusiveAccess) is taken here too,
    // before the command line is read, once its unit exists.
    MainForms forms;  // LEAD: hand in TFABHG_configure and TFLEK1 once they exist.
    int code = exitcode::StartFailed;
    try {
        code = RunKorvaMds(app.arguments().mid(1), forms);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "KORVA: %s\n", e.what());
    }
    return code;
}
