// Benchmark of the bookmark files at 10,000 favorites: export, import into an empty store, and
// the same import again (every address already stored). References measured in the same run:
// 10,000 single-row inserts through TDb (what the import writes) and the parse of the file alone
// (what the import reads).
// Usage: bench_favorites [favorites] (default 10000); needs no display.
#include "favorites/BookmarkFile.h"
#include "favorites/BookmarkImport.h"
#include "favorites/BookmarkParser.h"
#include "favorites/Favorites.h"
#include "storage/DbMain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kRuns = 5;

double TimeMs(const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    return timer.nsecsElapsed() / 1e6;
}

void Print(const char* label, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    std::printf("  %-52s median %8.1f ms   p95 %8.1f ms   (%d runs)\n", label, samples[samples.size() / 2],
                samples[std::min(samples.size() - 1, samples.size() * 95 / 100)], int(samples.size()));
}

// A fresh data file in the folder, opened.
std::unique_ptr<TDb> FreshDb(const QTemporaryDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    QFile::remove(path);
    if (!QFile::copy(QStringLiteral(QUELLON_DATA_TEMPLATE), path))
        return nullptr;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    auto db = std::make_unique<TDb>();
    return db->Open(path) ? std::move(db) : nullptr;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    QTemporaryDir dir;

    auto source = FreshDb(dir, QStringLiteral("source.dat"));
    if (!source) {
        std::fprintf(stderr, "cannot create a data file\n");
        return 1;
    }
    QString script;
    for (int i = 0; i < count; ++i) {
        script +=
            QStringLiteral("INSERT INTO qb_fav (fav_name, fav_url, ranking) VALUES ('收藏 %1 ''name''', "
                           "'https://site%2.example.com/path/%1?q=新闻', %1);\n")
                .arg(i)
                .arg(i % 97);
    }
    if (!source->ExecuteScript(script)) {
        std::fprintf(stderr, "cannot fill the favorites\n");
        return 1;
    }
    TFavorites favorites(*source);
    const QString fileName = dir.filePath(QStringLiteral("bookmarks.html"));
    std::printf("Bookmark files, %d favorites\n", count);

    std::vector<double> exports;
    for (int run = 0; run < kRuns; ++run)
        exports.push_back(TimeMs([&] { ExportFavorites(favorites, fileName); }));
    Print("ExportFavorites", exports);
    std::printf("  file size: %.1f KB\n", QFile(fileName).size() / 1024.0);

    std::vector<double> first, again, inserts, loads;
    for (int run = 0; run < kRuns; ++run) {
        auto target = FreshDb(dir, QStringLiteral("target.dat"));
        TFavorites into(*target);
        bool ok = true;
        first.push_back(TimeMs([&] { ok = ImportBookmarkFile(into, fileName); }));
        into.LoadFavorites();
        if (!ok || into.Items.size() != count) {
            std::fprintf(stderr, "import failed: %d of %d favorites\n", int(into.Items.size()), count);
            return 1;
        }
        again.push_back(TimeMs([&] { ok = ImportBookmarkFile(into, fileName); }));
        into.LoadFavorites();
        if (!ok || into.Items.size() != count) {
            std::fprintf(stderr, "second import changed the store\n");
            return 1;
        }
        loads.push_back(TimeMs([&] {
            QFile file(fileName);
            file.open(QIODevice::ReadOnly);
            ParseBookmarkHtml(file.readAll());
        }));

        auto plain = FreshDb(dir, QStringLiteral("plain.dat"));
        TFavorites direct(*plain);
        inserts.push_back(TimeMs([&] {
            for (const TFavInfo& item : favorites.Items)
                direct.AddFavorite(item.FavName, item.FavUrl, item.Ranking);
        }));
    }
    Print("import into an empty store (read + parse + walk)", first);
    Print("import again, every address stored (read + parse + walk)", again);
    Print("reference: read and parse of the file alone", loads);
    Print("reference: the same AddFavorite calls without the file", inserts);
    return 0;
}
