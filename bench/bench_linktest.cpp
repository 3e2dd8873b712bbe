// A link test of a local 1 MB file beside `curl -s -o /dev/null` of the same address, both
// against one python3 http.server on 127.0.0.1. Real time per test; the link test ends at the
// first bytes of the answer, so it should take less than curl's fetch of the whole file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDebug>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <memory>

#include "CurlTransfer.h"
#include "LinkTest.h"
#include "Prompts.h"

namespace {

QString g_url;

class SilentPrompts final : public Prompts {
public:
    Answer message(QWidget*, const QString&, const QString&, Icon, Buttons) override {
        return Answer::Ok;
    }
    QString openFileName(QWidget*, const QString&) override { return QString(); }
    QString saveFileName(QWidget*, const QString&) override { return QString(); }
};

void BM_LinkTest(benchmark::State& state) {
    SilentPrompts prompts;
    LinkTest test(prompts, [] { return makeInternetTransfer(ORVANE_MODULE_BUILD_DIR); });
    test.setBeep([] {});
    for (auto _ : state) {
        QEventLoop loop;
        int last = 0;
        test.start(nullptr, g_url);  // the states arrive once the loop runs
        if (test.IntMain() == nullptr) {
            state.SkipWithError("no transfer component");
            break;
        }
        QObject::connect(test.IntMain(), &InternetTransfer::stateChanged, &loop, [&](int s) {
            last = s;
            if (s == InternetTransfer::Disconnected || s == InternetTransfer::Error) {
                loop.quit();
            }
        });
        loop.exec();
        if (last != InternetTransfer::Disconnected || test.IntMain()->errorString() != QString()) {
            state.SkipWithError("link test failed");
            break;
        }
    }
}

void BM_CurlCommand(benchmark::State& state) {
    for (auto _ : state) {
        QProcess curl;
        curl.start(QStringLiteral("curl"), {"-s", "-f", "-o", "/dev/null", g_url});
        if (!curl.waitForFinished(30000) || curl.exitCode() != 0) {
            state.SkipWithError("curl failed");
            break;
        }
    }
}

// The same fetch timed by curl itself (-w %{time_total}): without starting a process, this
// is the figure the link test should come close to.
void BM_CurlTransferTime(benchmark::State& state) {
    for (auto _ : state) {
        QProcess curl;
        curl.start(QStringLiteral("curl"),
                   {"-s", "-f", "-o", "/dev/null", "-w", "%{time_total}", g_url});
        if (!curl.waitForFinished(30000) || curl.exitCode() != 0) {
            qWarning() << curl.error() << curl.exitCode() << curl.readAllStandardError();
            state.SkipWithError("curl failed");
            break;
        }
        state.SetIterationTime(curl.readAllStandardOutput().trimmed().toDouble());
    }
}

BENCHMARK(BM_LinkTest)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CurlCommand)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CurlTransferTime)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    for (const char* name : {"http_proxy", "https_proxy", "all_proxy", "ALL_PROXY"}) {
        qunsetenv(name);
    }
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("file.bin")));
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(1 << 20, 'x')) != (1 << 20)) {
        return 1;
    }
    file.close();

    // A free port, chosen here so that the server's output can go unread: its request log
    // would fill a pipe nobody drains while curl runs.
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    QProcess server;
    server.setStandardOutputFile(QProcess::nullDevice());
    server.setStandardErrorFile(QProcess::nullDevice());
    const QString python =
        QFile::exists(QStringLiteral("/usr/bin/python3")) ? "/usr/bin/python3" : "python3";
    server.start(python, {"-m", "http.server", QString::number(port), "--bind", "127.0.0.1",
                          "--directory", dir.path()});
    bool up = false;
    for (int attempt = 0; attempt < 100 && !up; ++attempt) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        up = socket.waitForConnected(100);
        if (!up) {
            QThread::msleep(100);
        }
    }
    if (!up) {
        qWarning("python3 http.server did not start");
        return 1;
    }
    g_url = QStringLiteral("http://127.0.0.1:%1/file.bin").arg(port);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    server.kill();
    server.waitForFinished();
    return 0;
}
