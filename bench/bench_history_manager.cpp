// Benchmark of the history manager and the cleaner at 1,000,000 history rows (one visit every
// 30 s up to now, about 5,760 in each two-day window, with the address search index):
//  - opening the history manager until the first two-day window's rows are in the list, against
//    the same range query run alone, and the longest pause of the window's event loop meanwhile;
//  - clearing all history (rows, search index, page log) from the cleaner window until it is done,
//    against the same deletion run alone on a copy, with the busy indicator's frames and the
//    longest event-loop pause meanwhile.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
// Usage: bench_history_manager [rows] [folder for the data files] (default 1000000, the temporary folder).
#include "common/AnsiCodec.h"
#include "common/LoadingSpinner.h"
#include "common/LocalTime.h"
#include "history/AddressKey.h"
#include "history/FormManageHistory.h"
#include "history/History.h"
#include "history/HistoryRangeLoader.h"
#include "maintenance/FormClearCache.h"
#include "storage/Config.h"
#include "storage/DbMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr qint64 kStep = 30; // seconds between two visits

// Fills qb_history and the address search index with rows up to now on a connection of its own:
// prepared statements in one transaction keep this to seconds.
bool Fill(const QString& path, int rows, qint64 now) {
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return false;
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* row = nullptr;
    sqlite3_stmt* copy = nullptr;
    sqlite3_prepare_v2(
        db, "INSERT INTO qb_history (id, site_name, site_url, create_time, isclose) VALUES (?, ?, ?, ?, 0)",
        -1, &row, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO qb_history_search (rowid, site_url) VALUES (?, ?)", -1, &copy, nullptr);
    for (int i = 0; i < rows; ++i) {
        const QByteArray title = ToAnsi(QStringLiteral("页面标题 %1").arg(i));
        const QByteArray url =
            QStringLiteral("https://site%1.example.com/page/%2.html").arg(i % 997).arg(i).toUtf8();
        sqlite3_bind_int64(row, 1, i + 1);
        sqlite3_bind_text(row, 2, title.constData(), title.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(row, 3, url.constData(), url.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int64(row, 4, now - qint64(rows - 1 - i) * kStep);
        sqlite3_step(row);
        sqlite3_reset(row);
        sqlite3_bind_int64(copy, 1, i + 1);
        const int leftOut = TAddressKey::LeftOut(url.constData(), url.size());
        sqlite3_bind_text(copy, 2, url.constData() + leftOut, url.size() - leftOut, SQLITE_TRANSIENT);
        sqlite3_step(copy);
        sqlite3_reset(copy);
    }
    sqlite3_finalize(row);
    sqlite3_finalize(copy);
    const QByteArray taken = "UPDATE qb_history_indexed SET last_id = " + QByteArray::number(rows) +
                             " WHERE name = 'qb_history_search'";
    sqlite3_exec(db, taken.constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, "INSERT INTO qb_page_log (url) VALUES ('https://site1.example.com/')", nullptr, nullptr,
                 nullptr);
    const bool ok = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples.empty() ? 0 : samples[samples.size() / 2];
}

// Counts the paint events a widget receives: the frames it drew.
class TPaintCount final : public QObject {
public:
    explicit TPaintCount(QWidget* widget) { widget->installEventFilter(this); }
    int Count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++Count;
        return false;
    }
};

// Measures the longest pause between two turns of the event loop while it runs.
class TLoopWatch {
public:
    TLoopWatch() {
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }
    double LongestMs() const { return m_longest / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Turns the event loop until done() or the time limit; answers the milliseconds taken.
double RunUntil(const std::function<bool()>& done, int limitMs = 120000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return timer.nsecsElapsed() / 1e6;
}

// False when the list showed no rows in time (the figure then measured nothing).
bool BenchManager(TDb& db, const QDateTime& now) {
    THistory history(db);
    std::vector<double> alone;
    const THistoryRange latest = THistoryRange::Latest(now);
    int rowsInWindow = 0;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        rowsInWindow =
            history.LoadHistoryRange(DateTimeToUnixTime(latest.From), DateTimeToUnixTime(latest.To)).size();
        alone.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::vector<double> shown, pauses;
    bool listed = rowsInWindow > 0;
    for (int run = 0; run < 5; ++run) {
        TFormManageHistory window(nullptr, history, nullptr);
        window.Now = [now] { return now; };
        auto* list = window.findChild<QTreeWidget*>(QStringLiteral("bsSkinListView1"));
        TLoopWatch watch;
        QElapsedTimer timer;
        timer.start();
        window.show();
        RunUntil([&] { return list->topLevelItemCount() > 0; });
        listed = listed && list->topLevelItemCount() > 0;
        shown.push_back(timer.nsecsElapsed() / 1e6);
        pauses.push_back(watch.LongestMs());
    }
    std::printf("History manager, first two-day window (%d rows):\n", rowsInWindow);
    std::printf("  %-52s median %8.2f ms\n", "rows in the list after opening", Median(shown));
    std::printf("  %-52s median %8.2f ms\n", "reference: the same range query alone", Median(alone));
    std::printf("  %-52s median %8.2f ms\n", "longest event-loop pause while loading", Median(pauses));
    if (!listed)
        std::printf("  FAILED: the list showed no rows within the time limit\n");
    return listed;
}

// False when a clearing failed, did not finish in time or left rows.
bool BenchClear(const QString& path, const QString& referencePath) {
    // Reference: the same statements run alone on a copy of the same file.
    bool ok = false;
    {
        TDb db;
        db.Open(referencePath);
        THistory history(db);
        QElapsedTimer timer;
        timer.start();
        ok = history.ClearAllHistory();
        std::printf("Clearing all history:\n  %-52s %8.2f ms%s\n", "reference: ClearAllHistory alone",
                    timer.nsecsElapsed() / 1e6, ok ? "" : " (failed)");
    }
    TDb db;
    db.Open(path);
    THistory history(db);
    TConfig config(db);
    TFormClearCache window(&history, nullptr, config, nullptr);
    QTemporaryDir empty;
    window.Folders = {empty.path() + QStringLiteral("/icons/"), empty.path() + QStringLiteral("/cache/")};
    for (const char* name : {"bsSkinCheckRadioBoxDownloadLog", "bsSkinCheckRadioBoxCache",
                             "bsSkinCheckRadioBoxAddressHistory", "bsSkinCheckRadioBoxCookie"})
        window.findChild<QCheckBox*>(QLatin1String(name))->setChecked(false);
    window.findChild<QCheckBox*>(QStringLiteral("bsSkinCheckRadioBoxBrowserPage"))->setChecked(true);
    window.show();
    const TPaintCount frames(window.findChild<TLoadingSpinner*>(QStringLiteral("ImageLoading")));
    TLoopWatch watch;
    window.findChild<QPushButton*>(QStringLiteral("bsSkinButtonClear"))->click();
    const double elapsed = RunUntil([&] { return window.CleaningDone(); });
    std::printf("  %-52s %8.2f ms\n", "cleaner window: click to done", elapsed);
    std::printf("  %-52s %8d\n", "busy indicator frames drawn meanwhile", frames.Count);
    std::printf("  %-52s %8.2f ms\n", "longest event-loop pause meanwhile", watch.LongestMs());
    const int left = history.LoadHistoryRange(0, 0x7FFFFFFF).size();
    std::printf("  %-52s %8d\n", "history rows left", left);
    return ok && window.CleaningDone() && left == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    QTemporaryDir temp(argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/bench-XXXXXX")
                                : QString());
    const QString path = temp.path() + QStringLiteral("/data.dat");
    const QString referencePath = temp.path() + QStringLiteral("/reference.dat");
    const QDateTime now = QDateTime::currentDateTime();
    QElapsedTimer fill;
    fill.start();
    if (!QFile::copy(QStringLiteral(QUELLON_DATA_TEMPLATE), path) ||
        !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner) ||
        !Fill(path, rows, DateTimeToUnixTime(now)) || !QFile::copy(path, referencePath)) {
        std::fprintf(stderr, "could not prepare the data file in %s\n", qPrintable(temp.path()));
        return 1;
    }
    std::printf("%d history rows written in %.1f s\n", rows, fill.elapsed() / 1000.0);
    bool ok = false;
    {
        TDb db;
        ok = db.Open(path) && BenchManager(db, now);
    }
    ok = BenchClear(path, referencePath) && ok;
    return ok ? 0 : 1;
}
