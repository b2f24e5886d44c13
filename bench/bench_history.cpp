// Benchmark of the history store at 1,000,000 rows: the address-bar search a key runs
// (FindSuggestions: addresses, titles and their pinyin, through the search indexes) against the
// plain LIKE statement on the same rows, the file size with and without the indexes, whether the
// indexed address search (FindHistoryByUrl) gives the rows of the plain statement, AddVisit, and
// the catch-up of indexes that lack every row (the worker's job after start-up on an older file).
// Usage: bench_history [rows] [folder for the data files] (default 1000000, the temporary folder).
#include "common/AnsiCodec.h"
#include "history/AddressKey.h"
#include "history/History.h"
#include "history/TextPieces.h"
#include "history/TitleKeys.h"
#include "storage/DbMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <vector>

namespace {

const char* const kHosts[] = {"www.baidu.com",    "news.sina.com.cn", "www.qq.com",    "v.qq.com",
                              "www.taobao.com",   "item.jd.com",      "www.163.com",   "zhidao.baidu.com",
                              "tieba.baidu.com",  "www.bilibili.com", "weibo.com",     "www.zhihu.com",
                              "github.com",       "www.sohu.com",     "map.baidu.com", "www.douban.com",
                              "movie.douban.com", "mail.163.com",     "www.ifeng.com", "Example.ORG:8080"};
const char* const kWords[] = {"index", "news", "article", "detail", "list", "search", "video", "item",
                              "p",     "s",    "tag",     "user",   "view", "page",   "2024",  "topic"};
const QStringList kTitles = {"知乎 - 有问题，就会有答案", "哔哩哔哩 (゜-゜)つロ 干杯~", "百度一下，你就知道",
                             "新浪新闻", "淘宝网 - 淘！我喜欢", "京东(JD.COM)-正品低价", "微博", "豆瓣电影",
                             "GitHub", "网易邮箱", "腾讯视频", "凤凰网"};
const QStringList kChinese = {"中文", "新闻", "视频", "搜索", "百度", "天气",
                              "北京", "上海", "啊",   "爱",   "😀",    "表情"};

bool IsAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

QString MakeUrl(QRandomGenerator& random) {
    QString url = QStringLiteral("https://") + QLatin1String(kHosts[random.bounded(20)]) + QLatin1Char('/');
    const int parts = 1 + random.bounded(3);
    for (int i = 0; i < parts; ++i)
        url += QLatin1String(kWords[random.bounded(16)]) + QLatin1Char('/');
    url += QString::number(random.bounded(1, 99999999)) + QStringLiteral(".html");
    const double kind = random.generateDouble();
    if (kind < 0.3)
        url += QStringLiteral("?q=") + kChinese.at(random.bounded(kChinese.size())) +
               QLatin1String(kWords[random.bounded(16)]);
    else if (kind < 0.5)
        url += QStringLiteral("?id=%1&from=%2")
                   .arg(random.bounded(1000000))
                   .arg(QLatin1String(kWords[random.bounded(16)]));
    return url;
}

QString MakeTitle(int i) {
    return kTitles.at(i % kTitles.size()) + QStringLiteral(" 第%1页").arg(i / kTitles.size());
}

// Fills qb_history (GB18030 text, as the program stores it) and, when present and asked for, the
// search indexes of the addresses and titles (as UTF-8), in one transaction on a connection of
// its own.
bool Fill(const QString& path, const QStringList& urls, bool indexed = true) {
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return false;
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* row = nullptr;
    sqlite3_stmt* titles = nullptr;
    sqlite3_prepare_v2(
        db, "INSERT INTO qb_history (id, site_name, site_url, create_time, isclose) VALUES (?, ?, ?, ?, 0)",
        -1, &row, nullptr);
    sqlite3_stmt* entries = nullptr;
    if (indexed)
        sqlite3_prepare_v2(db, "INSERT INTO qb_history_search (rowid, site_url) VALUES (?, ?)", -1, &entries,
                           nullptr);
    if (indexed)
        sqlite3_prepare_v2(db, "INSERT INTO qb_history_title_search (rowid, keys, pinyin, initials) VALUES (?, ?, ?, ?)",
                           -1, &titles, nullptr);
    // The pieces tables are filled a block of rows at a time, as the history store does.
    QList<QPair<qint64, QString>> addressPieces, titlePieces;
    const auto addPieces = [&] {
        for (const auto& [table, texts] : {std::make_pair("qb_history_search_pieces", &addressPieces),
                                           std::make_pair("qb_history_title_pieces", &titlePieces)}) {
            if (entries && !texts->isEmpty())
                sqlite3_exec(db, TTextPieces::Insertion(QLatin1String(table), *texts).toUtf8().constData(), nullptr,
                             nullptr, nullptr);
            texts->clear();
        }
    };
    for (int i = 0; i < urls.size(); ++i) {
        if (i % (1 << TTextPieces::kBlockBits) == 0)
            addPieces();
        const QByteArray title = ToAnsi(MakeTitle(i));
        const QByteArray url = ToAnsi(urls.at(i));
        sqlite3_bind_int64(row, 1, i + 1);
        sqlite3_bind_text(row, 2, title.constData(), title.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(row, 3, url.constData(), url.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int64(row, 4, 1600000000 + i * 30LL);
        sqlite3_step(row);
        sqlite3_reset(row);
        if (entries) {
            // The index leaves out the address's leading "https://www." and the like.
            QByteArray utf8 = urls.at(i).toUtf8();
            utf8.remove(0, TAddressKey::LeftOut(utf8.constData(), utf8.size()));
            addressPieces.append({i + 1, urls.at(i)});
            sqlite3_bind_int64(entries, 1, i + 1);
            sqlite3_bind_text(entries, 2, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
            sqlite3_step(entries);
            sqlite3_reset(entries);
        }
        if (titles) {
            titlePieces.append({i + 1, TTitleKeys::Of(MakeTitle(i))});
            const QByteArray keys = titlePieces.last().second.toUtf8();
            sqlite3_bind_int64(titles, 1, i + 1);
            const QList<QByteArray> forms = keys.split('\n');
            for (int form = 0; form < 3; ++form) {
                if (form < forms.size())
                    sqlite3_bind_text(titles, form + 2, forms.at(form).constData(), forms.at(form).size(), SQLITE_TRANSIENT);
                else
                    sqlite3_bind_null(titles, form + 2);
            }
            sqlite3_step(titles);
            sqlite3_reset(titles);
        }
    }
    addPieces();
    sqlite3_finalize(titles);
    sqlite3_finalize(row);
    if (entries) {
        sqlite3_finalize(entries);
        const QByteArray taken = QByteArray("UPDATE qb_history_indexed SET last_id = ") + QByteArray::number(urls.size());
        sqlite3_exec(db, taken.constData(), nullptr, nullptr, nullptr);
    }
    const bool ok = sqlite3_exec(db, "COMMIT; VACUUM", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

struct TStats {
    double Median = 0, P95 = 0, Max = 0;
};

TStats Stats(std::vector<double> samples) {
    TStats stats;
    if (samples.empty())
        return stats;
    std::sort(samples.begin(), samples.end());
    stats.Median = samples[samples.size() / 2];
    stats.P95 = samples[std::min(samples.size() - 1, samples.size() * 95 / 100)];
    stats.Max = samples.back();
    return stats;
}

double TimeMs(const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    return timer.nsecsElapsed() / 1e6;
}

void Print(const char* label, const TStats& stats) {
    std::printf("  %-46s median %8.2f ms   p95 %8.2f ms   max %8.2f ms\n", label, stats.Median, stats.P95,
                stats.Max);
}

QStringList RowUrls(TDb& db, const QString& sql) {
    QStringList urls;
    auto table = db.Query(sql);
    for (; table && !table->AtEnd(); table->MoveNext())
        urls.append(table->FieldAsText(QStringLiteral("site_url")));
    return urls;
}

QStringList Urls(const THistoryInfoList& list) {
    QStringList urls;
    for (const THistoryInfo& info : list)
        urls.append(info.SiteUrl);
    return urls;
}

// Texts typed into the address bar: pieces of stored addresses (they match), the same pieces
// with one character changed (mostly no match), made-up words, Chinese and emoji.
QStringList SearchTexts(QRandomGenerator& random, const QStringList& urls) {
    QStringList texts;
    for (int i = 0; i < 150; ++i) {
        const QString url = urls.at(random.bounded(urls.size()));
        const int length = 3 + random.bounded(12);
        const int start = random.bounded(std::max(1, url.size() - length));
        QString piece = url.mid(start, length);
        if (piece.size() < 3)
            continue;
        texts.append(piece);
        if (i % 2 == 0) {
            piece[random.bounded(piece.size())] = QLatin1Char("ZQ~X"[random.bounded(4)]);
            texts.append(piece);
        }
    }
    for (int i = 0; i < 40; ++i) {
        QString word;
        const int length = 3 + random.bounded(8);
        for (int n = 0; n < length; ++n)
            word += QLatin1Char('a' + random.bounded(26));
        texts.append(word);
    }
    texts << "新闻视频"
          << "天气预报"
          << "😀表情"
          << "q=新闻"
          << "表情s"
          << "北京上海"
          << "中文v"
          << "爱index"
          << "html?q=啊"
          << "www.baidu.com/s"
          << "EXAMPLE.org:8080"
          << "com/video/tag"
          << "99999"
          << "%news%"
          << "a_c"
          << "nomatchatall"
          << "zzzqqq";
    return texts;
}


} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    QTemporaryDir temporary(argc > 2
                                ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/bench-history-XXXXXX")
                                : QDir::tempPath() + QStringLiteral("/bench-history-XXXXXX"));
    const QString indexed = temporary.filePath(QStringLiteral("indexed.dat"));
    const QString plain = temporary.filePath(QStringLiteral("plain.dat"));
    const QString behind = temporary.filePath(QStringLiteral("behind.dat"));
    for (const QString& path : {indexed, plain, behind}) {
        if (!QFile::copy(QStringLiteral(QUELLON_DATA_TEMPLATE), path)) {
            std::fprintf(stderr, "cannot copy the data file template\n");
            return 1;
        }
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(plain).constData(), &db);
        sqlite3_exec(db,
                     "DROP TRIGGER qb_history_search_update; DROP TABLE qb_history_search; "
                     "DROP TABLE qb_history_indexed; DROP TRIGGER qb_history_title_update; "
                     "DROP TABLE qb_history_title_search; "
                     "DROP TABLE qb_history_search_pieces; DROP TABLE qb_history_title_pieces",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }

    QRandomGenerator random(20240310);
    QStringList urls;
    urls.reserve(rows);
    for (int i = 0; i < rows; ++i)
        urls.append(MakeUrl(random));
    std::printf("History benchmark, %d rows\n", rows);
    const double fillIndexed = TimeMs([&] { Fill(indexed, urls); });
    const double fillPlain = TimeMs([&] { Fill(plain, urls); });
    const qint64 sizeIndexed = QFileInfo(indexed).size();
    const qint64 sizePlain = QFileInfo(plain).size();
    std::printf("  file without the search index: %8.1f MB (filled in %.1f s)\n", sizePlain / 1048576.0,
                fillPlain / 1000);
    std::printf("  file with the search index:    %8.1f MB (filled in %.1f s), +%.1f MB (+%.0f%%)\n",
                sizeIndexed / 1048576.0, fillIndexed / 1000, (sizeIndexed - sizePlain) / 1048576.0,
                100.0 * (sizeIndexed - sizePlain) / sizePlain);

    TDb dbIndexed;
    TDb dbPlain;
    if (!dbIndexed.Open(indexed) || !dbPlain.Open(plain)) {
        std::fprintf(stderr, "cannot open the data files\n");
        return 1;
    }
    THistory history(dbIndexed);
    THistory reference(dbPlain);
    std::printf("  search index present: %s / %s (it holds the addresses; the title index beside it holds "
                "the titles and their pinyin)\n",
                history.HasSearchIndex() ? "yes" : "no", reference.HasSearchIndex() ? "yes" : "no");

    const QStringList texts = SearchTexts(random, urls);
    std::vector<double> indexedAll, indexedMatch, indexedNone, plainMatch, plainNone, shortTexts, shortPlain;
    std::vector<double> perTextMedian;
    std::vector<std::pair<double, QString>> slowest;
    int asciiCompared = 0, asciiDiffer = 0, otherCompared = 0, otherDiffer = 0;
    // Same rows as the plain statement on the same file (which compares GB18030 bytes).
    const auto compare = [&](const QString& text) {
        const bool same = Urls(history.FindHistoryByUrl(text)) ==
                          RowUrls(dbIndexed, THistory::FindStatement(text, false));
        if (IsAscii(text)) {
            ++asciiCompared;
            asciiDiffer += same ? 0 : 1;
            if (!same)
                std::printf("  differs: %s\n", text.toUtf8().constData());
        } else {
            ++otherCompared;
            otherDiffer += same ? 0 : 1;
        }
    };
    history.FindHistoryByUrl(QStringLiteral("warm"));
    reference.FindHistoryByUrl(QStringLiteral("warm"));
    for (const QString& text : texts) {
        THistoryInfoList found;
        THistoryInfoList expected;
        std::vector<double> runs;
        for (int run = 0; run < 3; ++run) {
            const double ms = TimeMs([&] { history.FindSuggestions(text); });
            if (run == 0)
                found = history.FindHistoryByUrl(text);
            runs.push_back(ms);
            const double reference_ms = TimeMs([&] { expected = reference.FindHistoryByUrl(text); });
            indexedAll.push_back(ms);
            (found.isEmpty() ? indexedNone : indexedMatch).push_back(ms);
            (expected.isEmpty() ? plainNone : plainMatch).push_back(reference_ms);
        }
        std::sort(runs.begin(), runs.end());
        perTextMedian.push_back(runs[1]);
        slowest.emplace_back(runs[1], text);
        compare(text);
    }
    for (const QString& text :
         {QStringLiteral("qq"), QStringLiteral("新闻"), QStringLiteral("😀"), QStringLiteral("zq"), QStringLiteral("z"),
          QStringLiteral("zh"), QStringLiteral("bl"), QStringLiteral("知"), QStringLiteral("x"), QStringLiteral("Q")}) {
        for (int run = 0; run < 3; ++run) {
            shortTexts.push_back(TimeMs([&] { history.FindSuggestions(text); }));
            shortPlain.push_back(TimeMs([&] { reference.FindHistoryByUrl(text); }));
        }
        compare(text);
    }
    std::vector<double> pinyinTexts;
    int pinyinFound = 0;
    for (const QString& text : {QStringLiteral("zhihu"), QStringLiteral("blbl"), QStringLiteral("bilibili"),
                                QStringLiteral("xlxw"), QStringLiteral("douban"), QStringLiteral("dbdy"),
                                QStringLiteral("wangyi"), QStringLiteral("zhidao"), QStringLiteral("youxiang"),
                                QStringLiteral("qwertz")}) {
        for (int run = 0; run < 3; ++run) {
            THistoryInfoList found;
            pinyinTexts.push_back(TimeMs([&] { found = history.FindSuggestions(text); }));
            pinyinFound += (run == 0 && !found.isEmpty()) ? 1 : 0;
        }
    }
    std::printf("FindSuggestions (what a key runs), %d texts of 3+ characters, 3 runs each:\n", int(texts.size()));
    Print("with the index, all texts", Stats(indexedAll));
    Print("with the index, texts that match", Stats(indexedMatch));
    Print("with the index, texts that match nothing", Stats(indexedNone));
    Print("with the index, median of 3 runs per text", Stats(perTextMedian));
    std::sort(slowest.rbegin(), slowest.rend());
    std::printf("  slowest texts (median of 3):");
    for (size_t i = 0; i < std::min<size_t>(5, slowest.size()); ++i)
        std::printf(" \"%s\" %.1f ms", slowest[i].second.toUtf8().constData(), slowest[i].first);
    std::printf("\n");
    Print("reference: plain LIKE, texts that match", Stats(plainMatch));
    Print("reference: plain LIKE, texts that match nothing", Stats(plainNone));
    Print("texts of 1-2 characters (rows read)", Stats(shortTexts));
    Print("pinyin and initials (zhihu, blbl, dbdy ...)", Stats(pinyinTexts));
    std::printf("  pinyin texts with suggestions: %d of 10\n", pinyinFound);
    Print("reference: plain LIKE, 1-2 characters", Stats(shortPlain));
    std::printf("  same rows as the plain statement: ASCII texts %d of %d; other texts %d of %d (the plain "
                "statement\n"
                "  compares GB18030 bytes as UTF-8 and takes different Chinese characters for equal ones)\n",
                asciiCompared - asciiDiffer, asciiCompared, otherCompared - otherDiffer, otherCompared);

    // AddVisit: alternately a new address (insert) and one visited today (update).
    QDateTime now(QDate(2030, 1, 1), QTime(10, 0));
    THistory visits(dbIndexed, [&now] { return now; });
    THistory visitsPlain(dbPlain, [&now] { return now; });
    std::vector<double> addIndexed, addPlain;
    for (int i = 0; i < 2000; ++i) {
        now = now.addSecs(1);
        THistoryInfo info;
        info.SiteName = QStringLiteral("标题 %1").arg(i);
        info.SiteUrl = QStringLiteral("https://visit.example.com/%1").arg(i % 2 ? i - 1 : i);
        addIndexed.push_back(TimeMs([&] { visits.AddVisit(info); }));
        addPlain.push_back(TimeMs([&] { visitsPlain.AddVisit(info); }));
    }
    std::printf("AddVisit, 2000 calls (half inserts, half same-day updates):\n");
    Print("file with the search index", Stats(addIndexed));
    Print("reference: file without the search index", Stats(addPlain));
    std::printf("  next search after them (indexes 1000 new rows): %.2f ms\n",
                TimeMs([&] { history.FindHistoryByUrl(QStringLiteral("visit.example")); }));

    std::printf("ClearHistory of %d rows: with the index %.0f ms, reference without it %.0f ms\n",
                rows + 1000, TimeMs([&] { history.ClearHistory(); }),
                TimeMs([&] { reference.ClearHistory(); }));

    // An index without any of the rows: the whole of it is built by the catch-up.
    Fill(behind, urls, false);
    TDb dbBehind;
    if (!dbBehind.Open(behind))
        return 1;
    THistory late(dbBehind);
    bool caughtUp = false;
    const double catchUp = TimeMs([&] { caughtUp = late.CatchUpSearchIndex(); });
    std::printf("CatchUpSearchIndex of %d rows (addresses and titles): %.1f s (%s), file %.1f MB\n", rows,
                catchUp / 1000,
                caughtUp ? "up to date" : "failed", QFileInfo(behind).size() / 1048576.0);
    return 0;
}
