#pragma once
// The application-wide facts that forms and boxes refer to: the title shown
// in captions and the main form (the first form created by main).
#include <QString>
#include <functional>

class QWidget;

QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// The main form, or nullptr before main has created one. The pointer is
// cleared automatically when the form is destroyed.
QWidget* ApplicationMainForm();
void SetApplicationMainForm(QWidget* form);

// The directory of the program file (no trailing separator).
QString ProgramDirectory();

// The application's help file (the class library's application help file);
// empty until the program names one.
QString ApplicationHelpFileName();
void SetApplicationHelpFileName(const QString& file);
// Shows the application's help at a help context, from a help file of its
// own when one is given. No help viewer exists for these files here: by
// default a box over the owner says that the help cannot be shown and names
// the file and the context it was asked for, when there are any. The
// handler may be replaced (a viewer, a test).
using TApplicationHelp = std::function<void(QWidget* owner, int helpContext, const QString& helpFile)>;
TApplicationHelp& ApplicationHelpHandler();
void ShowApplicationHelp(QWidget* owner, int helpContext, const QString& helpFile = {});
// The text of the default help box.
QString HelpNotShownText(int helpContext, const QString& helpFile);
