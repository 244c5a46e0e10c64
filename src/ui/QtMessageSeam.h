#pragma once
// The message seam that shows real boxes. main installs it once the
// application object exists; until then boxes go to standard error. It also
// routes the dictionaries' exception display to an error box and the
// localisation dialogs' Help buttons to the application's help.
void InstallQtMessageSeam();
