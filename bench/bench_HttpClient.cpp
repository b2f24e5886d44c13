// Loopback download throughput and CPU time of THttpClient against the curl command-line tool,
// measured in the same run on the same generated body from the test server.
// Usage: bench_HttpClient [MiB = 1024] [runs = 5] [target folder = a temporary folder]
#include "common/HttpClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

struct TSample {
    double Seconds = 0;
    double CpuSeconds = 0;
};

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Median(QVector<double> values) {
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Starts test_server.py on a free port; its port, or 0 when it did not come up.
quint16 StartServer(QProcess* server, const QString& root) {
    server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server->start(QStringLiteral("python3"),
                  {QStringLiteral(QUELLON_SOURCE_DIR "/tests/support/test_server.py"),
                   QStringLiteral("--root"), root, QStringLiteral("--port"), QStringLiteral("0")});
    if (!server->waitForStarted(10000) || !server->waitForReadyRead(10000))
        return 0;
    const QList<QByteArray> words = server->readLine().trimmed().split(' ');
    return words.size() == 2 && words[0] == "PORT" ? static_cast<quint16>(words[1].toUInt()) : 0;
}

bool CurlRun(const QString& curl, const QString& url, const QString& file, TSample* sample) {
    const double cpuBefore = CpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.start(curl, {QStringLiteral("-s"), QStringLiteral("-o"), file, url});
    const bool ok = process.waitForFinished(-1) && process.exitCode() == 0;
    sample->Seconds = clock.nsecsElapsed() / 1e9;
    sample->CpuSeconds = CpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
    return ok;
}

bool ClientRun(const QString& url, const QString& file, TSample* sample) {
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    QElapsedTimer clock;
    clock.start();
    QFile target(file);
    bool ok = target.open(QIODevice::WriteOnly | QIODevice::Truncate);
    qint64 last = 0;
    if (ok) {
        THttpClient client;
        client.OnWork = [&last](qint64 received) { last = received; };
        ok = client.Get(url, &target);
        if (!ok)
            std::fprintf(stderr, "client: %s\n", qPrintable(client.ErrorText()));
        target.close();
    }
    sample->Seconds = clock.nsecsElapsed() / 1e9;
    sample->CpuSeconds = CpuSeconds(RUSAGE_SELF) - cpuBefore;
    return ok && last > 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qint64 mib = args.size() > 1 ? args[1].toLongLong() : 1024;
    const int runs = args.size() > 2 ? args[2].toInt() : 5;
    QTemporaryDir temporary;
    const QString folder = args.size() > 3 ? args[3] : temporary.path();
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (mib <= 0 || runs <= 0 || curl.isEmpty()) {
        std::fprintf(stderr, "usage: bench_HttpClient [MiB] [runs] [folder]; needs curl in PATH\n");
        return 2;
    }

    QProcess server;
    const quint16 port = StartServer(&server, temporary.path());
    if (port == 0) {
        std::fprintf(stderr, "test server did not start\n");
        return 1;
    }
    const QString url = QStringLiteral("http://127.0.0.1:%1/_gen/%2").arg(port).arg(mib * 1024 * 1024);
    const QString file = QDir(folder).filePath(QStringLiteral("bench_download.bin"));

    QVector<double> curlSpeed, clientSpeed, curlCpu, clientCpu;
    const double megabytes = mib * 1024.0 * 1024.0 / 1e6;
    for (int run = 0; run < runs; ++run) {
        // Alternate the order so that neither side always meets a warm or a cold page cache.
        TSample reference, ours;
        const bool curlFirst = run % 2 == 0;
        bool ok = true;
        for (int side = 0; side < 2 && ok; ++side) {
            ok =
                (side == 0) == curlFirst ? CurlRun(curl, url, file, &reference) : ClientRun(url, file, &ours);
            QFile::remove(file);
        }
        if (!ok) {
            std::fprintf(stderr, "run %d failed\n", run + 1);
            return 1;
        }
        curlSpeed.append(megabytes / reference.Seconds);
        clientSpeed.append(megabytes / ours.Seconds);
        curlCpu.append(reference.CpuSeconds);
        clientCpu.append(ours.CpuSeconds);
        std::printf("run %d: curl %.0f MB/s %.3f s CPU, client %.0f MB/s %.3f s CPU\n", run + 1,
                    curlSpeed.last(), curlCpu.last(), clientSpeed.last(), clientCpu.last());
    }
    server.terminate();
    server.waitForFinished(3000);

    const double speedRatio = Median(clientSpeed) / Median(curlSpeed);
    const double cpuRatio = Median(clientCpu) / Median(curlCpu);
    std::printf("%lld MiB x %d runs, medians:\n", mib, runs);
    std::printf("  curl -o (reference): %.0f MB/s, %.3f s CPU\n", Median(curlSpeed), Median(curlCpu));
    std::printf("  THttpClient:         %.0f MB/s, %.3f s CPU\n", Median(clientSpeed), Median(clientCpu));
    const bool met = speedRatio >= 0.95 && cpuRatio <= 1.2;
    std::printf("  throughput ratio %.3f (goal >= 0.95), CPU ratio %.3f (goal <= 1.2): %s\n", speedRatio,
                cpuRatio, met ? "met" : "MISSED");
    return met ? 0 : 1;
}
