// Resume integrity: a download through a server that breaks the connection at random byte positions,
// and a download whose program is killed (SIGKILL) at random moments and started again, must both
// end byte-identical (SHA-256) to the source.
// Usage: bench_download_resume [--dir FOLDER] [--size-mib 256] [--drops 20] [--kills 10] [--seed S]
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
    bool ok = true;

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
