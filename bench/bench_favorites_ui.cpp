// The favorites a user sees with long lists: rebuilding the favorites bar and menu with 1,000
// stored favorites (and the five defaults) until the bar is laid out (reference: the same number
// of plain tool buttons created and laid out in a row), and opening the favorites manager with
// 10,000 favorites until its first rows are painted (reference: the store's query of the same
// rows). Icon files are not fetched: the bar's icon requests go nowhere.
// Usage: bench_favorites_ui [bar favorites] [manager favorites] (default 1000 and 10000). Runs
// offscreen unless a display is set.
#include "favorites/DefaultFavorites.h"
#include "favorites/Favorites.h"
#include "favorites/FavoritesBar.h"
#include "favorites/FormManageFav.h"
#include "storage/DbMain.h"

#include <QApplication>
#include <QBoxLayout>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QPixmap>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kRuns = 7;

// One run: elapsed time, and the CPU time of this thread (what a busy machine does not inflate).
struct TSample {
    double Wall = 0;
    double Cpu = 0;
};

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

TSample TimeMs(const std::function<void()>& step) {
    QElapsedTimer timer;
    const double cpu = ThreadCpuMs();
    timer.start();
    step();
    return {timer.nsecsElapsed() / 1e6, ThreadCpuMs() - cpu};
}

double Median(const std::vector<TSample>& samples, double TSample::*part) {
    std::vector<double> values;
    for (const TSample& sample : samples)
        values.push_back(sample.*part);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Print(const char* label, const std::vector<TSample>& samples) {
    std::printf("  %-52s median %7.1f ms, CPU %7.1f ms   (%d runs)\n", label, Median(samples, &TSample::Wall),
                Median(samples, &TSample::Cpu), int(samples.size()));
}

// A fresh data file holding `count` favorites, opened.
std::unique_ptr<TDb> FilledDb(const QTemporaryDir& dir, const QString& name, int count) {
    const QString path = dir.filePath(name);
    if (!QFile::copy(QStringLiteral(QUELLON_DATA_TEMPLATE), path))
        return nullptr;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    auto db = std::make_unique<TDb>();
    if (!db->Open(path))
        return nullptr;
    TFavInfoList items;
    for (int i = 0; i < count; ++i) {
        TFavInfo item;
        item.FavName = QStringLiteral("收藏的网页 %1").arg(i);
        item.FavUrl = QStringLiteral("http://site%1.example/page").arg(i);
        item.Ranking = QString::number(i + 1);
        items.append(item);
    }
    TFavorites favorites(*db);
    return favorites.AddFavorites(items) == count ? std::move(db) : nullptr;
}

// The main window's part the bar lives in: the row and the favorites menu with its fixed entries.
struct TBarHost {
    TBarHost() {
        window.resize(1026, 31);
        auto* row = new QHBoxLayout(&window);
        row->setContentsMargins(0, 0, 0, 0);
        host = new QWidget(&window);
        host->setFixedHeight(23);
        row->addWidget(host);
        menu = new QMenu(&window);
        for (int i = 0; i < TFavoritesBar::FixedMenuEntries; ++i)
            menu->addAction(QStringLiteral("fixed %1").arg(i));
        window.show();
    }
    // Lets the event loop show, lay out and paint what the last step made.
    void Settle() { QApplication::processEvents(); }
    QWidget window;
    QWidget* host = nullptr;
    QMenu* menu = nullptr;
};

std::vector<TSample> BarRebuilds(TFavorites& favorites) {
    TBarHost place;
    TFavoritesBar bar(favorites, place.host, place.menu, QIcon(), QIcon(), nullptr);
    bar.SetDefaults(ParseDefaultFavorites(BuiltInDefaultFavorites()));
    bar.Rebuild(); // the first build outside the measurement: fonts and styles are loaded once
    place.Settle();
    std::vector<TSample> samples;
    for (int run = 0; run < kRuns; ++run)
        samples.push_back(TimeMs([&] {
            bar.Rebuild();
            place.Settle();
        }));
    return samples;
}

std::vector<TSample> PlainButtons(int count) {
    // The same place as the bar's: a row inside a scroll area that shows the buttons that fit.
    TBarHost place;
    auto* area = new QScrollArea(place.host);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    (new QHBoxLayout(place.host))->addWidget(area);
    std::vector<TSample> samples;
    for (int run = 0; run < kRuns + 1; ++run) {
        const TSample ms = TimeMs([&] {
            auto* content = new QWidget;
            auto* row = new QHBoxLayout(content);
            for (int i = 0; i < count; ++i) {
                auto* button = new QToolButton(content);
                button->setText(QStringLiteral("收藏的网页"));
                row->addWidget(button);
            }
            area->setWidget(content); // deletes the previous run's buttons
            place.Settle();
        });
        if (run > 0)
            samples.push_back(ms);
    }
    return samples;
}

std::vector<TSample> ManagerOpenings(TFavorites& favorites, bool& shownRows) {
    favorites.LoadFavorites();
    std::vector<TSample> samples;
    for (int run = 0; run < kRuns + 1; ++run) {
        std::unique_ptr<TFormManageFav> manager;
        QPixmap rendered;
        const TSample ms = TimeMs([&] {
            manager = std::make_unique<TFormManageFav>(favorites, QVector<QIcon>());
            manager->show();
            // Rendering the list paints every row in view, whether or not the window is exposed yet.
            rendered = manager->List()->viewport()->grab();
        });
        // The first rows must really be on the list's screen, or nothing was measured.
        shownRows = !rendered.isNull() && manager->List()->indexAt(QPoint(4, 4)).isValid();
        if (run > 0)
            samples.push_back(ms);
    }
    return samples;
}

std::vector<TSample> StoreQueries(TFavorites& favorites) {
    std::vector<TSample> samples;
    for (int run = 0; run < kRuns; ++run)
        samples.push_back(TimeMs([&] { favorites.LoadFavorites(); }));
    return samples;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int barCount = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const int managerCount = argc > 2 ? std::max(1, atoi(argv[2])) : 10000;
    QTemporaryDir dir;
    const std::unique_ptr<TDb> barDb = FilledDb(dir, QStringLiteral("bar.dat"), barCount);
    const std::unique_ptr<TDb> managerDb = FilledDb(dir, QStringLiteral("manager.dat"), managerCount);
    if (!barDb || !managerDb) {
        std::fprintf(stderr, "cannot prepare the data files\n");
        return 1;
    }

    TFavorites barFavorites(*barDb);
    std::printf("Favorites bar and menu with %d favorites and the 5 defaults (platform %s):\n", barCount,
                qPrintable(QGuiApplication::platformName()));
    const std::vector<TSample> rebuild = BarRebuilds(barFavorites);
    const std::vector<TSample> plain = PlainButtons(barCount + 5);
    Print("rebuild (load, buttons, menu, layout, paint)", rebuild);
    Print("reference: plain buttons created, laid out, painted", plain);
    std::printf("  ratio %.2f (CPU %.2f); target under 100 ms: %s\n",
                Median(rebuild, &TSample::Wall) / Median(plain, &TSample::Wall),
                Median(rebuild, &TSample::Cpu) / Median(plain, &TSample::Cpu),
                Median(rebuild, &TSample::Wall) < 100 ? "met" : "MISSED");

    TFavorites managerFavorites(*managerDb);
    std::printf("Favorites manager with %d favorites, opened to its first painted rows:\n", managerCount);
    bool shownRows = false;
    const std::vector<TSample> open = ManagerOpenings(managerFavorites, shownRows);
    if (!shownRows)
        std::printf("  (the list showed no rows: the figure below measured nothing)\n");
    const std::vector<TSample> query = StoreQueries(managerFavorites);
    Print("open, show and paint the list", open);
    Print("reference: the store's query of the same rows", query);
    std::printf("  ratio %.2f; target under 200 ms: %s\n",
                Median(open, &TSample::Wall) / Median(query, &TSample::Wall),
                Median(open, &TSample::Wall) < 200 ? "met" : "MISSED");
    const bool met = shownRows && Median(rebuild, &TSample::Wall) < 100 && Median(open, &TSample::Wall) < 200;
    return met ? 0 : 1;
}
