// The download manager with a long list: opening it with 1,000 stored downloads until its first
// rows are painted (reference: the queue's query of the same rows alone), and the CPU time the
// open window costs while 8 downloads report progress (reference: the same window left idle).
// Progress arrives as the queue delivers it: one notice per download per second; a second run
// sends ten per second per download to show that repaints stay at one per second.
// Usage: bench_download_manager [rows] [seconds] (default 1000 and 5). Runs offscreen unless a
// display is set.
#include "downloads/DownloadListModel.h"
#include "downloads/DownloadQueue.h"
#include "downloads/FormDownload.h"
#include "storage/Config.h"
#include "storage/DbMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListView>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr int Runs = 15;
constexpr int Running = 8;

double Median(QVector<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void FillRows(TDownloadQueue& queue, int rows, const QString& folder) {
    for (int i = 0; i < rows; ++i) {
        TDownloadInfo info;
        info.Url =
            QStringLiteral("https://dl.example.com/files/%1/setup-%1.zip?sign=%2").arg(i).arg(i * 7919);
        info.FileName = folder + QStringLiteral("setup-%1.zip").arg(i);
        info.TotalSize = 1000000 + i;
        info.Position = i % 3 == 1 ? info.TotalSize / 2 : info.TotalSize;
        info.State = i % 3 == 1 ? dsPaused : dsFinished;
        queue.InsertDownload(info);
    }
}

// Creation until the first rows are painted: shown and the grid's visible rows rendered.
double OpenMs(TDownloadQueue& queue, TConfig& config) {
    QElapsedTimer timer;
    timer.start();
    auto* form = new TFormDownload(queue, config, nullptr);
    form->show();
    // Rendering the grid paints every row in view, whether or not the window is exposed yet.
    const QPixmap rows = form->findChild<QListView*>(QStringLiteral("StringGrid1"))->viewport()->grab();
    const double ms = timer.nsecsElapsed() / 1e6;
    if (rows.isNull())
        std::fprintf(stderr, "nothing painted\n");
    delete form;
    QCoreApplication::processEvents();
    return ms;
}

// The share of one core used while the window is open for the given time, with `perSecond`
// notices per second for each of the first 8 rows (0: idle).
double CpuShare(TFormDownload& form, int seconds, int perSecond) {
    TDownloadListModel& model = form.Model();
    QTimer feed;
    qint64 tick = 0;
    if (perSecond > 0) {
        feed.setInterval(1000 / perSecond);
        QObject::connect(&feed, &QTimer::timeout, [&] {
            ++tick;
            for (int row = 0; row < Running; ++row) {
                TDownloadInfo notice = model.Info(row);
                notice.Position = (tick * 50000 + row * 1000) % qMax<qint64>(1, notice.TotalSize);
                notice.ProgressText = QStringLiteral("%1K/S %2M/%3M").arg(400 + row).arg(tick).arg(20);
                model.UpdateProgress(notice);
            }
        });
        feed.start();
    }
    const double cpu = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    // The event loop sleeps until something happens, as the program's does.
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    return (CpuSeconds() - cpu) / (wall.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 5;

    QTemporaryDir folder;
    const QString dataFile = folder.filePath(QStringLiteral("data.dat"));
    if (!QFile::copy(QStringLiteral(QUELLON_DATA_TEMPLATE), dataFile)) {
        std::fprintf(stderr, "cannot copy the data template\n");
        return 1;
    }
    QFile::setPermissions(dataFile, QFile::ReadOwner | QFile::WriteOwner);
    TDb db;
    db.Open(dataFile);
    TDownloadQueue queue(db, nullptr);
    TConfig config(db);
    FillRows(queue, rows, folder.path() + QStringLiteral("/"));

    QVector<double> query, open;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const int loaded = queue.LoadAllDownloads().size();
        query.append(timer.nsecsElapsed() / 1e6);
        if (loaded != rows) {
            std::fprintf(stderr, "loaded %d rows of %d\n", loaded, rows);
            return 1;
        }
        open.append(OpenMs(queue, config));
    }
    std::printf("Opening the manager with %d downloads to its first painted rows (median of %d):\n", rows,
                Runs);
    const bool openMet = Median(open) < 150;
    std::printf("  manager            %8.2f ms (goal: under 150 ms: %s)\n", Median(open),
                openMet ? "met" : "MISSED");
    std::printf("  reference (query)  %8.2f ms\n", Median(query));

    TFormDownload form(queue, config, nullptr);
    form.show();
    QCoreApplication::processEvents();
    const double idle = CpuShare(form, seconds, 0);
    const double running = CpuShare(form, seconds, 1);
    const double busy = CpuShare(form, seconds, 10);
    std::printf("CPU of the open manager over %d s, %d downloads reporting (share of one core):\n", seconds,
                Running);
    const bool cpuMet = running < 0.05;
    std::printf("  1 notice/s each    %7.2f %% (goal: under 5 %%: %s)\n", running * 100, cpuMet ? "met" : "MISSED");
    std::printf("  10 notices/s each  %7.2f %%\n", busy * 100);
    std::printf("  reference (idle)   %7.2f %%\n", idle * 100);
    return openMet && cpuMet ? 0 : 1;
}
