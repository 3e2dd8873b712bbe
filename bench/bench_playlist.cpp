// The play list's model and view at 100,000 entries: filling a shown list, and 1,000 moves
// (Up/Down) with the events they cause processed after each, as in the window. At 1,000,000
// entries (a 48 MB file): reading and filling a shown list beside a bare QStringList read of
// the same file, and the resident memory with the list open and after it is closed.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <unistd.h>

#include "LinkFiles.h"
#include "PlayListModel.h"
#include "PlayListView.h"

namespace {

constexpr int kMillion = 1'000'000;

// A million 48-byte lines, written once.
QString millionFile() {
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        QByteArray bytes;
        bytes.reserve(qsizetype(kMillion) * 48);
        for (int i = 0; i < kMillion; ++i) {
            bytes.append("http://media.example.com/streams/clip")
                .append(QByteArray::number(i).rightJustified(6, '0'))
                .append(".rm\r\n");
        }
        QFile file(dir.filePath(QStringLiteral("million.ram")));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(file.fileName()));
        }
        path = file.fileName();
    }
    return path;
}

double residentMiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const qint64 pages = statm.readAll().split(' ').value(1).toLongLong();
    return double(pages * ::sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

// What a program without this one's reader would do: the file into one QStringList.
void BM_MillionBareStringListRead(benchmark::State& state) {
    const QString path = millionFile();
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot read the file");
        }
        const QStringList lines =
            QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        if (lines.size() != kMillion) {
            state.SkipWithError("wrong line count");
        }
        benchmark::DoNotOptimize(lines.constData());
    }
}

// The window's open: the file read and the shown list filled.
void BM_MillionReadAndFill(benchmark::State& state) {
    const QString path = millionFile();
    PlayListModel model;
    PlayListView view;
    view.setModel(&model);
    view.resize(400, 300);
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        ReadResult<LineStore> read = readRealMediaLines(path);
        if (read.value.size() != kMillion) {
            state.SkipWithError("wrong line count");
        }
        model.setLines(std::move(read.value));
        QApplication::processEvents();
    }
}

// Resident memory above the idle figure with the million-entry list open in a shown view,
// against the file's size, and left over once the list and its view are gone.
void BM_MillionResidentMemory(benchmark::State& state) {
    const QString path = millionFile();
    const double fileMiB = double(QFile(path).size()) / (1024 * 1024);
    auto openList = [&](double* openMiB) {
        PlayListModel model;
        PlayListView view;
        view.setModel(&model);
        view.resize(400, 300);
        view.show();
        ReadResult<LineStore> read = readRealMediaLines(path);
        model.setLines(std::move(read.value));
        QApplication::processEvents();
        if (openMiB != nullptr) {
            *openMiB = residentMiB();
        }
    };
    openList(nullptr);  // the first run maps code and fonts, which stay
    for (auto _ : state) {
        const double idle = residentMiB();
        double open = 0;
        openList(&open);
        QApplication::processEvents();
        const double closed = residentMiB();
        state.counters["file_MiB"] = fileMiB;
        state.counters["open_above_idle_MiB"] = open - idle;
        state.counters["open_above_idle_per_file_size"] = (open - idle) / fileMiB;
        state.counters["closed_above_idle_MiB"] = closed - idle;
    }
}

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
BENCHMARK(BM_MillionBareStringListRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MillionReadAndFill)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MillionResidentMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

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
