// Resume integrity and goodput: a download through a server that breaks every connection after a
// few MiB must end byte-identical at >= 0.5 x the throughput of the same server without breaks
// (the queue's own retry pause, not a shortened one); a download through a server that breaks the
// connection at random byte positions, and a download whose program is killed (SIGKILL) at random
// moments and started again, must both end byte-identical (SHA-256) to the source.
// Usage: bench_download_resume [--dir FOLDER] [--size-mib 256] [--every-mib 4] [--drops 20]
//        [--kills 10] [--seed S]
//        bench_download_resume --child DATAFILE URL FILE SIZE   (one run of the program being killed)
#include "DownloadBench.h"

#include <QFileInfo>
#include <QRandomGenerator>

using namespace bench;

namespace {

const qint64 kMiB = 1024 * 1024;

bool WriteRandomFile(const QString& path, qint64 size, quint32 seed) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QRandomGenerator random(seed);
    QVector<quint32> block(int(kMiB / sizeof(quint32)));
    for (qint64 written = 0; written < size; written += kMiB) {
        random.fillRange(block.data(), block.size());
        const qint64 n = qMin(kMiB, size - written);
        if (file.write(reinterpret_cast<const char*>(block.constData()), n) != n)
            return false;
    }
    return true;
}

// The program that gets killed: a queue on the data file continuing the stored download.
int RunChild(const QStringList& args) {
    TDb db;
    if (!db.Open(args[0]))
        return 2;
    TDownloadQueue queue(db, nullptr);
    queue.RetryInterval = 200;
    const TRunResult result = RunQueue(queue, {args[1]}, {args[2]}, args[3].toLongLong(), 600000);
    return result.Ok ? 0 : 3;
}

// One download through drop_server.py with the given breaking options, by a queue with its
// default retry pause; the run's result and the file's hash.
TRunResult RunThroughDropServer(const QString& folder, const QString& source, const QStringList& options,
                                qint64 size, QByteArray* hash) {
    TServer server(QStringLiteral(QUELLON_SOURCE_DIR "/bench/drop_server.py"),
                   QStringList{"--file", source, "--quiet"} + options);
    TDb db;
    if (!server.Running() || !OpenFreshDataFile(db, folder + "/goodput.dat"))
        return TRunResult();
    TDownloadQueue queue(db, nullptr);
    const QString target = QDir(folder).filePath("goodput.bin");
    QFile::remove(target);
    const TRunResult result = RunQueue(queue, {server.Url("/source.bin")}, {target}, size, 600000);
    *hash = Sha256OfFile(target);
    QFile::remove(target);
    return result;
}

// Goodput under breaks against the same server without them; false when the bytes differ or the
// goodput target is missed.
bool MeasureGoodput(const QString& folder, const QString& source, qint64 size, qint64 every,
                    const QByteArray& expected) {
    QByteArray cleanHash;
    QByteArray brokenHash;
    const TRunResult clean = RunThroughDropServer(folder, source, {"--drops", "0"}, size, &cleanHash);
    const TRunResult broken = RunThroughDropServer(
        folder, source, {"--drops", "0", "--every", QString::number(every)}, size, &brokenHash);
    const double cleanRate = clean.Ok ? double(size) / kMiB / clean.Seconds : 0;
    const double brokenRate = broken.Ok ? double(size) / kMiB / broken.Seconds : 0;
    const double ratio = cleanRate > 0 ? brokenRate / cleanRate : 0;
    const bool identical = broken.Ok && brokenHash == expected && cleanHash == expected;
    std::printf("goodput: clean %.1f MiB/s, every connection broken after %lld MiB (%lld breaks) %.1f MiB/s, "
                "ratio %.3f (target >= 0.5: %s), %s\n",
                cleanRate, every / kMiB, (size - 1) / every, brokenRate, ratio,
                ratio >= 0.5 ? "met" : "MISSED",
                identical ? "byte-identical to the source" : "NOT identical to the source");
    return identical && ratio >= 0.5;
}

bool Report(const char* what, const QString& file, const QByteArray& expected, double seconds) {
    const QByteArray actual = Sha256OfFile(file);
    std::printf("%s: %.2f s, SHA-256 %s %s\n", what, seconds, actual.constData(),
                actual == expected ? "identical to the source" : "DIFFERS from the source");
    return actual == expected;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int child = args.indexOf(QStringLiteral("--child"));
    if (child >= 0)
        return args.size() >= child + 5 ? RunChild(args.mid(child + 1, 4)) : 2;

    const qint64 size = IntOption(args, "--size-mib", 256) * kMiB;
    const qint64 every = IntOption(args, "--every-mib", 4) * kMiB;
    const int drops = IntOption(args, "--drops", 20);
    const int kills = IntOption(args, "--kills", 10);
    const quint32 seed =
        quint32(IntOption(args, "--seed", int(QRandomGenerator::global()->bounded(1 << 30))));
    QRandomGenerator random(seed);
    std::printf("seed %u\n", seed);

    const QString folder = WorkFolder(args, QStringLiteral("quellon-bench-resume"));
    const QString source = QDir(folder).filePath("source.bin");
    if (!WriteRandomFile(source, size, seed)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(source));
        return 1;
    }
    const QByteArray expected = Sha256OfFile(source);
    std::printf("source: %lld MiB, SHA-256 %s\n", size / kMiB, expected.constData());
    bool ok = MeasureGoodput(folder, source, size, every, expected);

    {
        // Broken connections: every break fails an attempt, the worker continues from the stored
        // row; a worker that used up its attempts is started again, as the user would.
        TServer server(
            QStringLiteral(QUELLON_SOURCE_DIR "/bench/drop_server.py"),
            {"--file", source, "--drops", QString::number(drops), "--seed", QString::number(seed)});
        TDb db;
        if (!server.Running() || !OpenFreshDataFile(db, folder + "/drops.dat"))
            return 1;
        TDownloadQueue queue(db, nullptr);
        queue.RetryInterval = 100;
        const QString url = server.Url("/source.bin");
        const QString target = QDir(folder).filePath("dropped.bin");
        int restarts = 0;
        bool done = false;
        QEventLoop loop;
        queue.OnFinished = [&](const TDownloadInfo&) {
            done = true;
            loop.quit();
        };
        queue.OnFailed = [&](const TDownloadInfo&) {
            ++restarts;
            queue.StartDownload(url, target, size);
        };
        QElapsedTimer timer;
        timer.start();
        queue.StartDownload(url, target, size);
        QTimer::singleShot(600000, &loop, &QEventLoop::quit);
        loop.exec();
        std::printf("%d connection breaks, %d restarts after the last attempt\n", drops, restarts);
        ok = done && Report("broken connections", target, expected, timer.nsecsElapsed() / 1e9) && ok;
        QFile::remove(target);
    }

    {
        // Killed program: a paced download (so that it runs long enough to be killed at random
        // moments) continued each time by a new process from the stored row.
        TServer server(TestServerScript(), {"--root", folder, "--port", "0"});
        const QString dataFile = folder + "/kills.dat";
        TDb probe;
        if (!server.Running() || !OpenFreshDataFile(probe, dataFile))
            return 1;
        probe.Close();
        const qint64 rate = 10 * kMiB;
        const QString url = server.Url(QStringLiteral("/source.bin?rate=%1").arg(rate));
        const QString target = QDir(folder).filePath("killed.bin");
        const QStringList childArgs{"--child", dataFile, url, target, QString::number(size)};
        QElapsedTimer timer;
        timer.start();
        for (int k = 1; k <= kills; ++k) {
            QProcess process;
            process.setProcessChannelMode(QProcess::ForwardedChannels);
            process.start(QCoreApplication::applicationFilePath(), childArgs);
            process.waitForStarted();
            const int after = 1000 + int(random.bounded(2000)); // past the first once-a-second store
            if (process.waitForFinished(after)) {
                std::printf("  run %d ended by itself before its kill\n", k);
                break;
            }
            process.kill();
            process.waitForFinished();
            TDb db;
            db.Open(dataFile);
            const auto row = db.Query(QStringLiteral("SELECT position FROM qb_download"));
            const qint64 stored = row && !row->AtEnd() ? row->FieldAsInt64(QStringLiteral("position")) : -1;
            std::printf("  kill %d after %d ms: stored position %lld, file holds %lld\n", k, after, stored,
                        QFileInfo(target).size());
        }
        QProcess last;
        last.setProcessChannelMode(QProcess::ForwardedChannels);
        last.start(QCoreApplication::applicationFilePath(), childArgs);
        last.waitForFinished(600000);
        ok = last.exitCode() == 0 &&
             Report("killed and restarted", target, expected, timer.nsecsElapsed() / 1e9) && ok;
    }
    QDir(folder).removeRecursively();
    return ok ? 0 : 1;
}
