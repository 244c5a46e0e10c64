// From process start to the main input form shown, against a bare Qt
// widget program that shows one window: both as the host starts them
// (process start included), on the same platform plugin. Each program
// reports the moment it has painted its window on the monotonic clock
// ("shown <ns>" on standard output); the time is from just before the
// process is started to that moment, so neither program's exit counts.
#include "support/TestSupport.h"
#include "ui/ShownReporter.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>

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

// Starts the program and returns the milliseconds from the start to its
// window shown, or a negative number when it failed.
double Run(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(TheDemo().dir.path());
    const auto start = std::chrono::steady_clock::now();
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return -1;
    const QByteArray out = p.readAllStandardOutput();
    const qsizetype at = out.indexOf("shown ");
    if (at < 0) return -1;
    const long long shown = out.mid(at + 6).split('\n').value(0).trimmed().toLongLong();
    return (shown - std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count()) / 1e6;
}

void Measure(benchmark::State& state, const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    for (auto _ : state) {
        const double ms = Run(program, args, env);
        if (ms < 0) {
            state.SkipWithError("the program failed or reported no shown window");
            break;
        }
        state.SetIterationTime(ms / 1000.0);
    }
}

void BM_BareQtWidgetShown(benchmark::State& state) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVA_BENCH_BARE_QT"), QStringLiteral("1"));
    Measure(state, QCoreApplication::applicationFilePath(), {}, env);
}
BENCHMARK(BM_BareQtWidgetShown)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

// The same with one label and one line edit: the fonts are loaded too.
void BM_QtWindowWithTextShown(benchmark::State& state) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVA_BENCH_BARE_QT"), QStringLiteral("text"));
    Measure(state, QCoreApplication::applicationFilePath(), {}, env);
}
BENCHMARK(BM_QtWindowWithTextShown)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

void BM_InputFormShown(benchmark::State& state) {
    Demo& demo = TheDemo();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVA_ALIAS_FILE"), demo.aliases);
    env.insert(QStringLiteral("KORVA_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    env.insert(QStringLiteral("HOME"), demo.dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), demo.dir.file(QStringLiteral("config")));
    const QStringList args = {QStringLiteral("/IF:") + demo.input, QStringLiteral("/OF:") + demo.dir.file(QStringLiteral("out.zof")),
                              QStringLiteral("/PD:") + demo.dir.file(QStringLiteral("project"))};
    Measure(state, QStringLiteral(KORVA_EXE), args, env);
}
BENCHMARK(BM_InputFormShown)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

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
        ShownReporter reporter;
        reporter.Watch(&w);
        w.show();
        return app.exec();
    }
    QCoreApplication app(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
