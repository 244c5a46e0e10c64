#pragma once
// What the main input form calls in other parts of the program that are
// built apart from it: the selection engine, the output writer, the
// project check, the per-user settings, the options form and the language
// dialog. The executable sets them at start; tests set scripted stand-ins.
// An unset service is reported to the engineer where it is needed.
#include <QString>
#include <functional>

class QWidget;

struct InputFormServices {
    // The selection of one support: owner, guide item, material item,
    // show the waiting form. Returns the selection result 0..8.
    std::function<int(QWidget* owner, int guide, int material, bool showWaiting)> RunSelectSupport;
    // Writes the output file of the stored support.
    std::function<void(const QString& fileName, int mode)> WritePmlFile;
    // Checks the project directory: 0 ready, 1 create the tables, 2 create
    // the directory and the tables, 3 create konstz8.db, negative: refused
    // (message carries the reason).
    std::function<int(const QString& directory, QString* message)> CheckProjectFilesAtStart;
    // Loads the per-user settings into the working options (the input form
    // is handed in for its position and size); false: the form must close,
    // the reason has been shown and written to the host error file.
    std::function<bool(QWidget& inputForm)> LoadRegistrySettings;
    // The options form, modal; true when the engineer saved.
    std::function<bool(QWidget* owner)> ShowOptions;
    // The language dialog on the main dictionary.
    std::function<void(QWidget* owner)> ChooseLanguage;
};

InputFormServices& LEK1Services();

// The project check used while no other is set: the directory and the
// support tables exist (0), the directory exists without tables (1), the
// directory is missing (2), konstz8.db alone is missing (3).
int CheckProjectTablesExist(const QString& directory, QString* message);

// Sets the services that this build has: the program's own parts. main
// calls it once before the start modes run.
void UseProgramServices();
