// The directory tree on the real disk: one expand of a directory holding
// three subdirectories of 20,000 subdirectories each. Expanding lists the
// three and gives each its expand button, which needs a search only as far
// as its first subdirectory.
#include "support/TestSupport.h"
#include "ui/DirTree.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

#include <sys/stat.h>

namespace {

constexpr int kChildren = 3;
constexpr int kGrandChildren = 20000;

struct Disk {
    TestDir dir;
    QString root;
    QString mountTable;
    Disk() {
        root = dir.file("root");
        for (int c = 0; c < kChildren; ++c) {
            const QByteArray child = QFile::encodeName(QStringLiteral("%1/c%2").arg(root).arg(c));
            QDir().mkpath(QString::fromLocal8Bit(child));
            for (int g = 0; g < kGrandChildren; ++g) ::mkdir((child + "/d" + QByteArray::number(g)).constData(), 0755);
        }
        // The test's directory is the one volume the tree shows.
        mountTable = dir.file("mountinfo");
        QFile table(mountTable);
        table.open(QIODevice::WriteOnly);
        table.write(("22 1 8:1 / / rw - ext4 /dev/vda rw\n30 22 8:1 / " + QFile::encodeName(root) +
                     " rw - ext4 /dev/vda rw\n"));
    }
};

Disk& TheDisk() {
    static Disk disk;
    return disk;
}

void BM_ExpandThreeLargeDirectories(benchmark::State& state) {
    Disk& disk = TheDisk();
    TDirTree tree(nullptr, std::make_shared<TLocalFileSystem>(disk.mountTable, disk.dir.file("none"),
                                                              disk.dir.file("none")));
    tree.InitialDirectory.clear();
    tree.SetPollInterval(0);
    int64_t calls = 0;
    tree.OnAddDir = [&calls](const QString& p) {
        ++calls;
        return p != QLatin1String("/");
    };
    const QString volume = disk.root + QLatin1Char('/');
    int64_t expands = 0;
    for (auto _ : state) {
        state.PauseTiming();
        tree.LoadDrives();
        QTreeWidgetItem* node = tree.FindNodeByPath(volume);
        if (!node) {
            state.SkipWithError("the volume has no node");
            break;
        }
        calls = 0;
        state.ResumeTiming();
        tree.expandItem(node);
        benchmark::DoNotOptimize(node->childCount());
        ++expands;
    }
    state.counters["OnAddDir per expand"] = expands ? double(calls) : 0.0;
}
BENCHMARK(BM_ExpandThreeLargeDirectories)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
