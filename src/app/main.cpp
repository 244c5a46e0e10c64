#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::fprintf(stderr, "KORVA: not yet able to run.\n");
    return 1;
}
