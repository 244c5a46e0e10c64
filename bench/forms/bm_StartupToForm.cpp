// From process start to the main input form shown, against a bare Qt
// widget program that shows one window: both as the host starts them
// (process start included), on the same platform plugin.
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <benchmark/benchmark.h>

namespace {

struct Demo {
    TestDir dir;
    QString aliases;
    QString input;
    Demo() {
        const QString catalogue = dir.file(QStringLiteral("catalogue"));
        QDir().mkpath(catalogue);
        const QDir demo(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue"));
        for (const QString& f : demo.entryList(QDir::Files))
            QFile::copy(demo.filePath(f), QDir(catalogue).filePath(f));
        aliases = dir.file(QStringLiteral("aliases.ini"));
        QFile a(aliases);
        a.open(QIODevice::WriteOnly);
        a.write(QStringLiteral("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
        input = QStringLiteral(KORVA_BINARY_DIR "/demo/inputs/spring_hanger.ini");
    }
};

Demo& TheDemo() {
    static Demo demo;
    return demo;
}

int Run(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(TheDemo().dir.path());
    p.start(program, args);
    if (!p.waitForFinished(60000)) return -1;
    return p.exitCode();
}

void BM_BareQtWidgetShown(benchmark::State& state) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVA_BENCH_BARE_QT"), QStringLiteral("1"));
    for (auto _ : state)
        if (Run(QCoreApplication::applicationFilePath(), {}, env) != 0) state.SkipWithError("bare program failed");
}
BENCHMARK(BM_BareQtWidgetShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(30);

// The same with one label and one line edit: the fonts are loaded too.
void BM_QtWindowWithTextShown(benchmark::State& state) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVA_BENCH_BARE_QT"), QStringLiteral("text"));
    for (auto _ : state)
        if (Run(QCoreApplication::applicationFilePath(), {}, env) != 0) state.SkipWithError("bare program failed");
}
BENCHMARK(BM_QtWindowWithTextShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(30);

void BM_InputFormShown(benchmark::State& state) {
    Demo& demo = TheDemo();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVA_ALIAS_FILE"), demo.aliases);
    env.insert(QStringLiteral("KORVA_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    env.insert(QStringLiteral("HOME"), demo.dir.path());
    const QStringList args = {QStringLiteral("/IF:") + demo.input, QStringLiteral("/OF:") + demo.dir.file(QStringLiteral("out.zof")),
                              QStringLiteral("/PD:") + demo.dir.file(QStringLiteral("project"))};
    for (auto _ : state)
        if (Run(QStringLiteral(KORVA_EXE), args, env) != 0) state.SkipWithError("korva failed");
}
BENCHMARK(BM_InputFormShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(30);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("KORVA_BENCH_BARE_QT")) {
        // The reference: a widget program that shows one window and ends.
        QApplication app(argc, argv);
        QWidget w;
        w.resize(1000, 720);
        if (qEnvironmentVariable("KORVA_BENCH_BARE_QT") == QLatin1String("text")) {
            auto* layout = new QVBoxLayout(&w);
            layout->addWidget(new QLabel(QStringLiteral("Last")));
            layout->addWidget(new QLineEdit(QStringLiteral("10.000")));
        }
        w.show();
        QTimer::singleShot(0, &app, &QApplication::quit);
        return app.exec();
    }
    QCoreApplication app(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
