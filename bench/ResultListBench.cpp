// Appending 100,000 rows to the real result list and showing them.

#include "platform/qt/DeferredDisplay.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/ResultListModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableView>

#include <benchmark/benchmark.h>

namespace ostrevan {
namespace {

void appendAndShowRows(benchmark::State& state) {
    const auto rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ResultListModel model;
        QTableView view;
        view.setModel(&model);
        view.verticalHeader()->hide();
        view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view.resize(680, 230);
        view.show();
        DeferredDisplay display(view);
        QtListView list(model, display);
        for (int i = 1; i <= rows; ++i) {
            const std::int32_t row = list.add(std::to_string(i));
            list.setText(row, 1, "/daten/projekt/baugruppe/Getriebe.asm");
            list.setText(row, 2, "/daten/normteile/Schraube_M8x20.par");
        }
        view.scrollToBottom();
        QApplication::processEvents();
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["us_per_row"] =
        benchmark::Counter(static_cast<double>(state.iterations() * rows),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                           benchmark::Counter::OneK::kIs1000);
}
BENCHMARK(appendAndShowRows)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace ostrevan
