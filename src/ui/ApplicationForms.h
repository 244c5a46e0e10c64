#pragma once
// The application-wide facts that forms and boxes refer to: the title shown
// in captions and the main form (the first form created by main).
#include <QString>

class QWidget;

QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// The main form, or nullptr before main has created one. The pointer is
// cleared automatically when the form is destroyed.
QWidget* ApplicationMainForm();
void SetApplicationMainForm(QWidget* form);

// The directory of the program file (no trailing separator).
QString ProgramDirectory();
