// Opening the main dictionary: a file of a few thousand entries in five
// languages, opened on English (header, languages, locale, the table read,
// decoded and sorted). Target: under 20 ms.
#include "localisation/IvBinDic.h"
#include "localisation/IvMLDWri.h"
#include "localisation/IvNls.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

TIvLanguage Language(int primary, int sub) {
    TIvLanguage l;
    l.PrimaryId = primary;
    l.SubLanguage = sub;
    l.CodePage = 1252;
    l.Complete();
    return l;
}

QString MakeFile(const QTemporaryDir& dir, int entries) {
    TIvLanguage native;
    native.Complete();
    std::vector<TIvLanguage> languages{native, Language(7, 1), Language(9, 1), Language(12, 1), Language(22, 2)};
    std::vector<TIvMLDEntry> rows;
    for (int i = 0; i < entries; ++i) {
        const QString n = QString::number((i * 7919) % entries);
        rows.push_back({QStringLiteral("Größe der Halterung Nr. ") + n, {}, {},
                        {QStringLiteral("Größe der Halterung Nr. ") + n, QStringLiteral("Size of the support no. ") + n,
                         QStringLiteral("Taille du support n° ") + n, QStringLiteral("Tamanho do suporte n.º ") + n}});
    }
    const QString path = dir.filePath(QStringLiteral("Korva32.mld"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(WriteMLD(languages, {}, rows, {}));
    return path;
}

void BM_OpenMainDictionary(benchmark::State& state) {
    NlsSetDefaultLcidOverride(MakeLangId(9, 1));
    QTemporaryDir dir;
    const QString file = MakeFile(dir, int(state.range(0)));
    for (auto _ : state) {
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(file);
        d.SetLanguage(2);
        d.Open();
        benchmark::DoNotOptimize(d.TranslationCount());
    }
}
BENCHMARK(BM_OpenMainDictionary)->Arg(3000)->Arg(6000)->Unit(benchmark::kMillisecond);

void BM_IvTranslate(benchmark::State& state) {
    NlsSetDefaultLcidOverride(MakeLangId(9, 1));
    QTemporaryDir dir;
    TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
    d.SetFileName(MakeFile(dir, 3000));
    d.SetLanguage(2);
    d.Open();
    const QString key = QStringLiteral("Größe der Halterung Nr. 1234");
    for (auto _ : state) benchmark::DoNotOptimize(IvTranslate(key));
}
BENCHMARK(BM_IvTranslate);

}  // namespace

BENCHMARK_MAIN();
