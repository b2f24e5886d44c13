// Benchmark of the data file: one-row writes as the history store makes them (each its own
// transaction) through TDb, against the same writes on a connection with SQLite's default journal
// and sync settings; and the visit lookup with and without the history indexes.
// Usage: bench_DbMain [folder for the data files] (default: the system's temporary folder; use a
// folder on the disk the program will run from, a memory file system hides the sync cost).
#include "storage/DbMain.h"
#include "storage/SqlText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kWrites = 300;
constexpr int kRows = 20000;
constexpr int kLookups = 500;

double MedianMs(std::vector<qint64> nanoseconds) {
    std::sort(nanoseconds.begin(), nanoseconds.end());
    return nanoseconds[nanoseconds.size() / 2] / 1e6;
}

double TimeEach(int count, const std::function<void(int)>& step) {
    std::vector<qint64> samples;
    samples.reserve(count);
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        timer.start();
        step(i);
        samples.push_back(timer.nsecsElapsed());
    }
    return MedianMs(samples);
}

QString VisitInsert(int i) {
    return QStringLiteral("INSERT INTO qb_history (site_name, site_url, create_time, isclose) VALUES (") +
           SqlQuote(QStringLiteral("页面标题 %1").arg(i)) + QStringLiteral(", ") +
           SqlQuote(QStringLiteral("http://site%1.example.com/page").arg(i % 500)) + QStringLiteral(", ") +
           QString::number(1700000000 + i) + QStringLiteral(", 0)");
}

QString VisitLookup(int i) {
    return QStringLiteral("SELECT * FROM qb_history WHERE site_url = ") +
           SqlQuote(QStringLiteral("http://site%1.example.com/page").arg(i % 500)) +
           QStringLiteral(" AND create_time >= 1700010000 ORDER BY id DESC");
}

bool CopyTemplate(const QString& path) {
    return QFile::copy(QStringLiteral(QUELLON_DATA_TEMPLATE), path);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    QTemporaryDir dir(base + QStringLiteral("/bench_DbMain-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a folder under %s\n", qPrintable(base));
        return 1;
    }

    // Writes through TDb (write-ahead log, normal sync).
    const QString ours = dir.filePath(QStringLiteral("ours.dat"));
    TDb db;
    if (!CopyTemplate(ours) || !db.Open(ours)) {
        std::fprintf(stderr, "cannot open the data file copy\n");
        return 1;
    }
    int failures = 0;
    const double oursMs = TimeEach(kWrites, [&](int i) { failures += db.Execute(VisitInsert(i)) ? 0 : 1; });

    // Reference: the same transactions on SQLite's defaults (rollback journal, full sync).
    const QString plain = dir.filePath(QStringLiteral("plain.dat"));
    sqlite3* handle = nullptr;
    if (!CopyTemplate(plain) || sqlite3_open_v2(QFile::encodeName(plain).constData(), &handle,
                                                SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open the reference copy\n");
        return 1;
    }
    const double plainMs = TimeEach(kWrites, [&](int i) {
        const QByteArray sql = VisitInsert(i).toUtf8();
        const bool ok = sqlite3_exec(handle, "BEGIN TRANSACTION", nullptr, nullptr, nullptr) == SQLITE_OK &&
                        sqlite3_exec(handle, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK &&
                        sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        failures += ok ? 0 : 1;
    });
    sqlite3_close(handle);

    // Lookups of AddVisit over a filled history, with the schema's indexes and without them.
    QString script;
    for (int i = kWrites; i < kRows; ++i)
        script += VisitInsert(i) + QStringLiteral(";\n");
    if (!db.ExecuteScript(script))
        ++failures;
    const double indexedMs = TimeEach(kLookups, [&](int i) { failures += db.Query(VisitLookup(i)) ? 0 : 1; });
    if (!db.ExecuteScript(QStringLiteral("DROP INDEX idx_history_url_time;\nDROP INDEX idx_history_time;\n")))
        ++failures;
    const double scanMs = TimeEach(kLookups, [&](int i) { failures += db.Query(VisitLookup(i)) ? 0 : 1; });

    std::printf("one-row write, own transaction (median of %d):\n", kWrites);
    std::printf("  TDb (WAL, synchronous=NORMAL)      %8.3f ms\n", oursMs);
    std::printf("  reference (SQLite defaults)        %8.3f ms\n", plainMs);
    std::printf("visit lookup in %d rows (median of %d):\n", kRows, kLookups);
    std::printf("  with the history indexes           %8.3f ms\n", indexedMs);
    std::printf("  reference (without them)           %8.3f ms\n", scanMs);
    if (failures) {
        std::fprintf(stderr, "%d statements failed\n", failures);
        return 1;
    }
    return 0;
}
