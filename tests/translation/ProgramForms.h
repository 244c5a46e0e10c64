#pragma once
// Every form and box of the program, in one list, for the checks that open
// them all (the full-program translation check) and for screenshots.
//
// A form that is added to the program is added here with one line:
//     {"options form", [] { return Make<TFLEKO>(); }},
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

struct ProgramForm {
    QString name;
    // Builds the form as the program builds it, in the current language of
    // the main dictionary. The program's dictionaries exist and are open.
    std::function<std::unique_ptr<QWidget>()> create;
    // A translated form follows a language change while it is open; a
    // message box is built in the language of the moment and closed before
    // anything else can happen.
    bool followsLanguageChange = true;
    // "objectName.property" of the texts that are data (a project path, a
    // version number), not program texts.
    QStringList dataTexts = {};
};

// The forms and boxes of the program as it stands.
const std::vector<ProgramForm>& ProgramForms();

template <class Form, class... Args>
std::unique_ptr<QWidget> Make(Args&&... args) {
    return std::make_unique<Form>(std::forward<Args>(args)...);
}
