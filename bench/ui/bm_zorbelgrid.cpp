// The sortable grid's row model on lists the size the configuration form
// shows (a few hundred configurations): a title click that sorts by the
// number column, and moving every row into a sorted grid.
#include "ui/ZorbelGrid.h"

#include <benchmark/benchmark.h>

namespace {

TZorbelGridRows Rows(int n) {
    TZorbelGridRows g(2);
    g.SetCell(0, 0, "MDS n°");
    g.SetCell(1, 0, "KORVA n°");
    g.OnGetColType = [](int col) { return col == 1 ? int(zctInteger) : int(zctText); };
    // A scrambled order, host numbers with letters as the catalogue has them.
    for (int i = 0; i < n; ++i) {
        const int nr = (i * 7919) % 997;
        g.AddRow({QString::number(nr % 40) + QChar(u'a' + nr % 3), QString::number(nr)});
    }
    return g;
}

void BM_TitleClickSortsNumbers(benchmark::State& state) {
    const TZorbelGridRows source = Rows(int(state.range(0)));
    for (auto _ : state) {
        TZorbelGridRows g = source;
        g.TitleClick(1);
        benchmark::DoNotOptimize(g.Cell(1, 1));
    }
}
BENCHMARK(BM_TitleClickSortsNumbers)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_MoveAllIntoSortedGrid(benchmark::State& state) {
    const TZorbelGridRows source = Rows(int(state.range(0)));
    TZorbelGridRows dest = Rows(1);
    dest.TitleClick(1);
    for (auto _ : state) {
        TZorbelGridRows s = source, d = dest;
        TZorbelGridRows::MoveAllRows(s, d);
        benchmark::DoNotOptimize(d.RowCount());
    }
}
BENCHMARK(BM_MoveAllIntoSortedGrid)->Arg(300)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
