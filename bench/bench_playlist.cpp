// The play list's model and view at 100,000 entries: filling a shown list, and 1,000 moves
// (Up/Down) with the events they cause processed after each, as in the window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QStringList>

#include "PlayListModel.h"
#include "PlayListView.h"

namespace {

constexpr int kEntries = 100000;

QStringList entries() {
    QStringList list;
    list.reserve(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        list.append(QStringLiteral("http://media.example.com/stream/%1.rm").arg(i));
    }
    return list;
}

void BM_OpenAndFill(benchmark::State& state) {
    const QStringList list = entries();
    for (auto _ : state) {
        PlayListModel model;
        PlayListView view;
        view.setModel(&model);
        view.resize(400, 300);
        view.show();
        model.setEntries(list);
        QApplication::processEvents();
        benchmark::DoNotOptimize(model.count());
    }
}

void BM_ThousandMoves(benchmark::State& state) {
    PlayListModel model;
    PlayListView view;
    view.setModel(&model);
    view.resize(400, 300);
    view.show();
    model.setEntries(entries());
    QApplication::processEvents();
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            // Down then Up across the middle of the list, like a user reordering.
            const int row = kEntries / 2 + (i % 2);
            model.exchangeWithNext(row);
            // The window selects the moved entry where it now stands.
            view.setCurrentIndex(model.index(row + 1));
            QApplication::processEvents();
        }
    }
}

}  // namespace

BENCHMARK(BM_OpenAndFill)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ThousandMoves)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
