// Costs of the link files and the recent list at sizes no user reaches by hand:
// a play list of 100,000 addresses and a recent.dat of 1,000,000 saved paths.
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "LinkFiles.h"
#include "RecentList.h"

namespace {

constexpr int playListLines = 100'000;
constexpr int recentLines = 1'000'000;

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

QStringList playList() {
    QStringList addresses;
    addresses.reserve(playListLines);
    for (int i = 0; i < playListLines; ++i) {
        addresses << QStringLiteral("http://media.example.com/streams/clip%1.rm")
                         .arg(i, 6, 10, QLatin1Char('0'));
    }
    return addresses;
}

QString playListFile() {
    return folder().filePath(QStringLiteral("list.ram"));
}

QString recentFile() {
    return folder().filePath(QStringLiteral("recent.dat"));
}

// A recent.dat of a million lines, written once.
void makeRecentFile() {
    static bool made = false;
    if (made) {
        return;
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(recentLines) * 48);
    for (int i = 0; i < recentLines; ++i) {
        bytes.append("/home/user/Documents/Links/link")
            .append(QByteArray::number(i).rightJustified(7, '0'))
            .append(i % 2 ? ".url\r\n" : ".ram\r\n");
    }
    QFile file(recentFile());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(recentFile()));
    }
    made = true;
}

void BM_WritePlayList(benchmark::State& state) {
    const QStringList addresses = playList();
    for (auto _ : state) {
        const QString error = writeRealMedia(playListFile(), addresses);
        if (!error.isEmpty()) {
            state.SkipWithError(qPrintable(error));
        }
    }
    state.SetItemsProcessed(state.iterations() * playListLines);
}

void BM_ReadPlayList(benchmark::State& state) {
    if (!writeRealMedia(playListFile(), playList()).isEmpty()) {
        state.SkipWithError("cannot write the play list");
    }
    for (auto _ : state) {
        const ReadResult<LineStore> read = readRealMediaLines(playListFile());
        if (read.value.size() != playListLines) {
            state.SkipWithError("wrong line count");
        }
        benchmark::DoNotOptimize(read.value.size());
    }
    state.SetItemsProcessed(state.iterations() * playListLines);
}

void BM_ReadRecentList(benchmark::State& state) {
    makeRecentFile();
    for (auto _ : state) {
        const ReadResult<LineStore> read = RecentList::readLines(recentFile());
        if (read.value.size() < recentLines) {
            state.SkipWithError("wrong line count");
        }
        benchmark::DoNotOptimize(read.value.size());
    }
    state.SetItemsProcessed(state.iterations() * recentLines);
}

// What a million-entry QStringList costs by itself (made and freed, no file, no scanning),
// beside BM_ReadRecentList, which makes none.
void BM_MillionStringsAlone(benchmark::State& state) {
    const QByteArray path("/home/user/Documents/Links/link0000000.url");
    for (auto _ : state) {
        QStringList lines;
        lines.reserve(recentLines);
        for (int i = 0; i < recentLines; ++i) {
            lines.append(QString::fromLatin1(path));
        }
        benchmark::DoNotOptimize(lines.constData());
    }
    state.SetItemsProcessed(state.iterations() * recentLines);
}

void BM_AppendToRecentList(benchmark::State& state) {
    makeRecentFile();
    const QString path = QStringLiteral("/home/user/Documents/Links/new.url");
    for (auto _ : state) {
        const QString error = RecentList::append(recentFile(), path);
        if (!error.isEmpty()) {
            state.SkipWithError(qPrintable(error));
        }
    }
}

}  // namespace

BENCHMARK(BM_WritePlayList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPlayList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRecentList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MillionStringsAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendToRecentList)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
