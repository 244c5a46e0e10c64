// The reference of the start-up comparison: the least a Qt widget program
// does to put a window of the input form's size on the screen. It links Qt
// Widgets and nothing else, so that its start is not weighed down by the
// program's own libraries.
#include "ui/ShownReporter.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1000, 720);
    ShownReporter reporter;
    reporter.Watch(&window);
    window.show();
    return app.exec();
}
