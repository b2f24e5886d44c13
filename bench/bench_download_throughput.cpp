// Download throughput and progress rate, measured against curl in the same run: one big loopback
// download from nginx, eight at once, and how many progress notices and table updates running
// downloads cost (through the rate-limiting test server).
// nginx (installed with apt-get when missing) runs on 127.0.0.1 with a configuration of its own.
// Targets: one download >= 1.0 x curl's throughput at <= 1.2 x its CPU time; eight at once
// >= 0.9 x eight curls.
// Usage: bench_download_throughput [--dir FOLDER] [--size-mib 1024] [--runs 5]
//        [--parallel 8] [--parallel-mib 128] [--progress-seconds 6]
#include "DownloadBench.h"

#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QRandomGenerator>
#include <cmath>

using namespace bench;

namespace {

struct TSample {
    QVector<double> Throughput; // MiB/s
    QVector<double> Cpu;        // seconds
};

// Prints the medians against curl; false when a target is missed.
bool Report(const char* title, const TSample& ours, const TSample& curl, double minRate, double maxCpu) {
    const double oursRate = Median(ours.Throughput);
    const double curlRate = Median(curl.Throughput);
    const double rateRatio = curlRate > 0 ? oursRate / curlRate : 0.0;
    std::printf("%s\n", title);
    std::printf("  median throughput: quellon %.1f MiB/s, curl %.1f MiB/s, ratio %.3f (target >= %.1f: %s)\n",
                oursRate, curlRate, rateRatio, minRate, rateRatio >= minRate ? "met" : "MISSED");
    const double oursCpu = Median(ours.Cpu);
    const double curlCpu = Median(curl.Cpu);
    const double cpuRatio = curlCpu > 0 ? oursCpu / curlCpu : 0.0;
    std::printf("  median CPU time:   quellon %.3f s, curl %.3f s, ratio %.3f", oursCpu, curlCpu, cpuRatio);
    if (maxCpu > 0)
        std::printf(" (target <= %.1f: %s)", maxCpu, cpuRatio <= maxCpu ? "met" : "MISSED");
    std::printf("\n");
    return rateRatio >= minRate && (maxCpu <= 0 || cpuRatio <= maxCpu);
}

QString CurlVersion() {
    QProcess curl;
    curl.start(QStringLiteral("curl"), {QStringLiteral("--version")});
    curl.waitForFinished(5000);
    return QString::fromLocal8Bit(curl.readAllStandardOutput()).section('\n', 0, 0);
}

// A file of pseudo-random bytes for nginx to serve.
bool WriteSource(const QString& path, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const qint64 block = 1 << 20;
    QVector<quint32> words(int(block / sizeof(quint32)));
    QRandomGenerator random(42);
    for (qint64 written = 0; written < size; written += block) {
        random.fillRange(words.data(), words.size());
        const qint64 n = qMin(block, size - written);
        if (file.write(reinterpret_cast<const char*>(words.constData()), n) != n)
            return false;
    }
    return true;
}

qint64 TotalChanges(TDb& db) {
    const auto table = db.Query(QStringLiteral("SELECT total_changes() AS n"));
    return table && !table->AtEnd() ? table->FieldAsInt64(QStringLiteral("n")) : -1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qint64 mib = 1024 * 1024;
    const qint64 singleSize = IntOption(args, "--size-mib", 1024) * mib;
    const int runs = IntOption(args, "--runs", 5);
    const int parallel = IntOption(args, "--parallel", 8);
    const qint64 parallelSize = IntOption(args, "--parallel-mib", 128) * mib;
    const int progressSeconds = IntOption(args, "--progress-seconds", 6);

    const QString folder = WorkFolder(args, QStringLiteral("quellon-bench-download"));
    const QString www = QDir(folder).filePath(QStringLiteral("www"));
    QDir().mkpath(www);
    if (!WriteSource(www + "/single.bin", singleSize) || !WriteSource(www + "/part.bin", parallelSize)) {
        std::fprintf(stderr, "cannot write the source files in %s\n", qPrintable(www));
        return 1;
    }
    const QByteArray singleHash = Sha256OfFile(www + "/single.bin");
    TNginx nginx(www);
    TServer server(TestServerScript(), {"--root", folder, "--port", "0"});
    TDb db;
    if (!nginx.Running() || !server.Running() || !OpenFreshDataFile(db, folder + "/data.dat")) {
        std::fprintf(stderr, "cannot start nginx or the test server, or open the data file in %s\n",
                     qPrintable(folder));
        return 1;
    }
    TDownloadQueue queue(db, nullptr);
    std::printf("%s; %s\n", qPrintable(TNginx::Version()), qPrintable(CurlVersion()));
    std::printf("files in %s; %d runs, alternating which goes first\n", qPrintable(folder), runs);

    // One set of downloads by the queue or by curl; checks every file's size (and the first
    // single download's bytes) and removes it.
    bool hashChecked = false;
    auto runOnce = [&](bool ours, int count, qint64 size) {
        const QString source = count == 1 ? QStringLiteral("single.bin") : QStringLiteral("part.bin");
        QStringList urls;
        QStringList files;
        for (int i = 0; i < count; ++i) {
            urls << nginx.Url(QStringLiteral("/%1?n=%2").arg(source).arg(i));
            files << QDir(folder).filePath(QStringLiteral("file%1.bin").arg(i));
            QFile::remove(files.last());
        }
        const TRunResult result = ours ? RunQueue(queue, urls, files, size, 900000) : RunCurls(urls, files);
        bool ok = result.Ok;
        if (ours && count == 1 && !hashChecked) {
            hashChecked = true;
            ok = ok && Sha256OfFile(files[0]) == singleHash;
        }
        for (int i = 0; i < count; ++i) {
            ok = ok && QFileInfo(files[i]).size() == size;
            QFile::remove(files[i]);
            queue.DeleteDownload(urls[i]);
        }
        if (!ok) {
            std::fprintf(stderr, "%s run failed\n", ours ? "quellon" : "curl");
            std::exit(1);
        }
        return result;
    };

    auto compare = [&](const char* title, int count, qint64 size, double minRate, double maxCpu) {
        TSample ours;
        TSample curl;
        for (int run = 0; run < runs; ++run) {
            for (const bool oursFirst : {run % 2 == 0, run % 2 != 0}) {
                const TRunResult r = runOnce(oursFirst, count, size);
                TSample& sample = oursFirst ? ours : curl;
                sample.Throughput << double(count * size) / mib / r.Seconds;
                sample.Cpu << r.CpuSeconds;
                std::printf("  run %d %-7s %7.1f MiB/s  %.3f s CPU\n", run + 1,
                            oursFirst ? "quellon" : "curl", sample.Throughput.last(), r.CpuSeconds);
                std::fflush(stdout);
            }
        }
        return Report(title, ours, curl, minRate, maxCpu);
    };

    bool met = compare(qPrintable(QStringLiteral("one download of %1 MiB").arg(singleSize / mib)), 1,
                       singleSize, 1.0, 1.2);
    met = compare(qPrintable(QStringLiteral("%1 downloads of %2 MiB at once (total throughput)")
                           .arg(parallel)
                           .arg(parallelSize / mib)),
            parallel, parallelSize, 0.9, 0) && met;

    // Progress: rate-limited downloads that run for several seconds; every notice is counted and
    // so is every row change the queue makes (the connection's total_changes()).
    const qint64 rate = 8 * mib;
    const qint64 progressSize = rate * progressSeconds;
    QHash<QString, QVector<qint64>> arrivals;
    QElapsedTimer clock;
    clock.start();
    queue.OnProgress = [&](const TDownloadInfo& info) { arrivals[info.Url] << clock.elapsed(); };
    QStringList urls;
    QStringList files;
    for (int i = 0; i < 4; ++i) {
        urls << server.Url(QStringLiteral("/_gen/%1?rate=%2&p=%3").arg(progressSize).arg(rate).arg(i));
        files << QDir(folder).filePath(QStringLiteral("progress%1.bin").arg(i));
    }
    const qint64 changesBefore = TotalChanges(db);
    const TRunResult r = RunQueue(queue, urls, files, progressSize, 120000);
    const qint64 changes = TotalChanges(db) - changesBefore;
    std::printf("progress: 4 downloads of %lld MiB at %lld MiB/s each, %.2f s\n", progressSize / mib,
                rate / mib, r.Seconds);
    int notices = 0;
    for (const QString& url : urls) {
        const QVector<qint64>& times = arrivals.value(url);
        qint64 minGap = -1;
        for (int i = 1; i < times.size(); ++i)
            minGap = minGap < 0 ? times[i] - times[i - 1] : qMin(minGap, times[i] - times[i - 1]);
        notices += times.size();
        met = met && times.size() <= int(std::floor(r.Seconds)) + 1;
        std::printf("  %s: %d notices in %.2f s (%.2f per s, at most %d allowed), smallest gap %lld ms\n",
                    qPrintable(url.section('?', 1)), int(times.size()), r.Seconds, times.size() / r.Seconds,
                    int(std::floor(r.Seconds)) + 1, minGap);
    }
    // Row changes: one UPDATE per notice, plus the insert and the finished update of each download.
    std::printf("  row changes: %lld for %d notices (%d inserts, %d finished updates), %.2f UPDATEs per s "
                "per download\n",
                changes, notices, int(urls.size()), int(urls.size()),
                double(changes - 2 * urls.size()) / urls.size() / r.Seconds);
    for (const QString& file : files)
        QFile::remove(file);
    QDir(folder).removeRecursively();
    if (r.Ok && !met)
        std::printf("MISSED: a target above was not met\n");
    return r.Ok && met ? 0 : 1;
}
