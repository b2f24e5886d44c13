// The history store: one row per address and day (also where the clock skips midnight), closed
// rows, address search with and without the search index, the index's catch-up on a worker and on
// a read-only file, deletions whatever state the index is in, and a data file without the table.
#include "common/LocalTime.h"
#include "history/History.h"
#include "history/PageLog.h"
#include "history/RecentlyClosed.h"
#include "history/SearchIndexCatchUp.h"
#include "support/ListTexts.h"
#include "support/LogCapture.h"
#include "support/TestDb.h"
#include "support/Unprivileged.h"

#include <QRandomGenerator>
#include <QtTest>
#include <ctime>
#include <tuple>
#include <sys/stat.h>

namespace {

// A clock the test moves by hand.
struct TTestClock {
    QDateTime Now = QDateTime(QDate(2024, 3, 10), QTime(9, 0));
    THistory::TClock Clock() {
        return [this] { return Now; };
    }
};

THistoryInfo Visit(const QString& name, const QString& url, bool isClose = false) {
    THistoryInfo info;
    info.SiteName = name;
    info.SiteUrl = url;
    info.IsClose = isClose;
    return info;
}

QStringList Urls(const THistoryInfoList& list) {
    return Texts(list, &THistoryInfo::SiteUrl);
}

// The rows of the plain LIKE statement on qb_history.
THistoryInfoList PlainFind(TDb& db, const QString& text) {
    THistoryInfoList list;
    auto table = db.Query(THistory::FindStatement(text, false));
    for (; table && !table->AtEnd(); table->MoveNext())
        list.append(Visit(table->FieldAsText(QStringLiteral("site_name")),
                          table->FieldAsText(QStringLiteral("site_url"))));
    return list;
}

int RowCount(TDb& db, const QString& where = QString()) {
    auto table = db.Query(QStringLiteral("SELECT COUNT(*) AS n FROM qb_history") + where);
    return table ? static_cast<int>(table->FieldAsInt64(QStringLiteral("n"))) : -1;
}

qint64 Count(TDb& db, const QString& sql) {
    auto table = db.Query(sql);
    return table && table->RowCount() == 1 ? table->GetInt64(0) : -1;
}

// The address index's entries holding "exa".
const QString kEntries =
    QStringLiteral("SELECT COUNT(*) FROM qb_history_search WHERE qb_history_search MATCH 'exa'");

// The newest row the address index has taken in.
const QString kTakenIn =
    QStringLiteral("SELECT last_id FROM qb_history_indexed WHERE name = 'qb_history_search'");

// The search index's tables and trigger still in the data file.
QStringList SearchIndexObjects(TDb& db) {
    QStringList names;
    auto table = db.Query(QStringLiteral("SELECT name FROM sqlite_master WHERE name LIKE 'qb\\_history\\_%' "
                                         "ESCAPE '\\' ORDER BY name"));
    for (; table && !table->AtEnd(); table->MoveNext())
        names.append(table->GetText(0));
    return names;
}

// The data file as a SQLite without the trigram tokenizer sees it (FTS5 before version 3.34
// answers "no such tokenizer: trigram"): the index's schema row names a tokenizer this SQLite
// does not have, so the index cannot be opened. The file is opened anew, like a moved folder.
bool HideTokenizer(TTestDb& data) {
    return data.Db().ExecuteScript(
               QStringLiteral("PRAGMA writable_schema = ON;\n"
                              "UPDATE sqlite_master SET sql = replace(sql, 'trigram', 'no_such_tokenizer') "
                              "WHERE name = 'qb_history_search';\n"
                              "PRAGMA writable_schema = RESET;\n")) &&
           data.Db().Open(data.FilePath());
}

// An index whose own data is lost: it opens, but taking entries out of it fails.
bool DamageIndex(TTestDb& data) {
    return data.Db().Execute(QStringLiteral("DELETE FROM qb_history_search_data"));
}

// The local time zone for one test.
class TLocalZone {
public:
    explicit TLocalZone(const QByteArray& zone)
        : m_previous(qgetenv("TZ")), m_wasSet(qEnvironmentVariableIsSet("TZ")) {
        Set(zone, true);
    }
    ~TLocalZone() { Set(m_previous, m_wasSet); }

private:
    static void Set(const QByteArray& zone, bool set) {
        if (set)
            qputenv("TZ", zone);
        else
            qunsetenv("TZ");
        tzset();
    }
    QByteArray m_previous;
    bool m_wasSet;
};

// Adds rows the way an older program or another machine left them: not in the search index.
bool AddUnindexedRows(TDb& db, int count) {
    return db.Execute(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                       "INSERT INTO qb_history (site_name, site_url, create_time, isclose) "
                       "SELECT '', 'http://n' || i || '.example/新闻', i, 0 FROM n")
            .arg(count));
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void sameDayKeepsFirstTitleAndLaterDayAddsRow() {
        TTestDb data;
        QVERIFY(data.Ok());
        TTestClock clock;
        THistory history(data.Db(), clock.Clock());
        QVERIFY(history.AddVisit(Visit(QStringLiteral("First"), QStringLiteral("http://a.example/"))));
        clock.Now = clock.Now.addSecs(3600);
        QVERIFY(history.AddVisit(Visit(QStringLiteral("Second"), QStringLiteral("http://a.example/"))));
        QCOMPARE(RowCount(data.Db()), 1);
        THistoryInfoList rows = history.LoadHistoryRange(0, 2000000000);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.at(0).SiteName, QStringLiteral("First"));
        QCOMPARE(rows.at(0).CreateTime, DateTimeToUnixTime(clock.Now));

        // Just after midnight is another day: a second row, the first one stays.
        clock.Now = QDateTime(QDate(2024, 3, 11), QTime(0, 0, 1));
        QVERIFY(history.AddVisit(Visit(QStringLiteral("Third"), QStringLiteral("http://a.example/"))));
        rows = history.LoadHistoryRange(0, 2000000000);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).SiteName, QStringLiteral("Third"));
        QCOMPARE(rows.at(1).SiteName, QStringLiteral("First"));
        QCOMPARE(history.StartOfToday(),
                 static_cast<qint64>(DateTimeToUnixTime(QDateTime(QDate(2024, 3, 11), QTime(0, 0)))));
    }

    // A page chooses its title and address: a huge title is stored cut (never between the halves
    // of a pair), a NUL character does not lose the visit nor the page log's row.
    void pageTextIsStoredCutAndWithoutNul() {
        TTestDb data;
        THistory history(data.Db());
        const QString nul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        QVERIFY(history.AddVisit(Visit(QString(10 << 20, QLatin1Char('t')), QStringLiteral("http://big/"))));
        QVERIFY(history.AddVisit(Visit(QStringLiteral("x") + QStringLiteral("😀").repeated(3000), "http://e/")));
        QVERIFY(history.AddVisit(Visit(nul, QStringLiteral("http://n/") + nul)));
        QVERIFY(TPageLog(data.Db()).SavePageLog({TPageInfo{QStringLiteral("http://n/") + nul}}));
        QMap<QString, QString> titles;
        for (const THistoryInfo& row : history.LoadHistoryRange(0, 2000000000))
            titles.insert(row.SiteUrl, row.SiteName);
        QCOMPARE(titles.value("http://big/"), QString(4096, QLatin1Char('t')));
        QCOMPARE(titles.value("http://e/"), QStringLiteral("x") + QStringLiteral("😀").repeated(2047));
        QCOMPARE(titles.value("http://n/a%00b"), QStringLiteral("ab"));
        QCOMPARE(Count(data.Db(), "SELECT COUNT(*) FROM qb_page_log WHERE url = 'http://n/a%00b'"), 1);
    }

    // Engines show the file name or the address until the page's title arrives: the day's row
    // takes the page's own title then, and keeps it.
    void standInTitleGivesWayToThePagesOwn() {
        TTestDb data;
        QVERIFY(data.Ok());
        THistory history(data.Db());
        const QString page = QStringLiteral("file:///opt/quellon/res/site/123.html");
        const QString other = QStringLiteral("http://b.example/x?y=1");
        for (const QString& standIn : {QStringLiteral("123.html"), QString(), page})
            QVERIFY(history.AddVisit(Visit(standIn, page)));
        QCOMPARE(Urls(history.FindSuggestions(QStringLiteral("23.ht"))), QStringList{page}); // indexes the title
        QVERIFY(history.AddVisit(Visit(QStringLiteral("b.example/x?y=1"), other)));
        for (const QString& title : {QStringLiteral("网址导航"), QStringLiteral("Later title")}) {
            QVERIFY(history.AddVisit(Visit(title, page)));
            QVERIFY(history.AddVisit(Visit(title, other)));
        }
        QVERIFY(history.AddVisit(Visit(QStringLiteral("123.html"), page)));
        const THistoryInfoList rows = history.LoadHistoryRange(0, 4000000000LL);
        QCOMPARE(rows.size(), 2);
        for (const THistoryInfo& row : rows)
            QCOMPARE(row.SiteName, QStringLiteral("网址导航"));
        // The title index holds the page's own title (and its pinyin) instead of the stand-in.
        QStringList found = Urls(history.FindSuggestions(QStringLiteral("wzdh")));
        found.sort();
        QCOMPARE(found, (QStringList{page, other}));
        QCOMPARE(Count(data.Db(), QStringLiteral("SELECT COUNT(*) FROM qb_history_title_search WHERE "
                                                 "qb_history_title_search MATCH '\"123\"'")),
                 0);
    }

    // Chromium titles a picture shown alone "name (width×height)" and a file by its name.
    void fileStandInTitles_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("standIn");
        const QString picture = QStringLiteral("http://a.example/img/picture.png?v=2");
        QTest::newRow("picture with size") << QStringLiteral("picture.png (800×600)") << picture << true;
        QTest::newRow("bare file name") << QStringLiteral("picture.png") << picture << true;
        QTest::newRow("encoded name") << QStringLiteral("图片 1.gif (16×16)")
                                      << QStringLiteral("file:///tmp/%E5%9B%BE%E7%89%87%201.gif") << true;
        QTest::newRow("own title with a size") << QStringLiteral("Holiday (800×600)") << picture << false;
        QTest::newRow("name with other words") << QStringLiteral("picture.png (big)") << picture << false;
        QTest::newRow("name with a letter x") << QStringLiteral("picture.png (800x600)") << picture << false;
    }

    void fileStandInTitles() {
        QFETCH(QString, title);
        QFETCH(QString, address);
        QFETCH(bool, standIn);
        QCOMPARE(THistory::IsStandInTitle(title, address), standIn);
    }

    void closingAndReopeningFlipsTheClosedFlag() {
        TTestDb data;
        QVERIFY(data.Ok());
        TTestClock clock;
        THistory history(data.Db(), clock.Clock());
        QVERIFY(history.LoadRecentlyClosed().isEmpty());
        QVERIFY(history.AddVisit(Visit(QStringLiteral("A"), QStringLiteral("http://a.example/"))));
        clock.Now = clock.Now.addSecs(10);
        QVERIFY(
            history.AddVisit(Visit(QStringLiteral("A closing"), QStringLiteral("http://a.example/"), true)));
        QCOMPARE(RowCount(data.Db()), 1);
        QCOMPARE(Urls(history.LoadRecentlyClosed()), QStringList{QStringLiteral("http://a.example/")});

        clock.Now = clock.Now.addSecs(10);
        QVERIFY(history.AddVisit(Visit(QStringLiteral("A again"), QStringLiteral("http://a.example/"))));
        QVERIFY(history.LoadRecentlyClosed().isEmpty());
        QCOMPARE(RowCount(data.Db()), 1);

        // Closing a page not visited today inserts a closed row; the list holds the ten newest.
        for (int i = 0; i < 12; ++i) {
            clock.Now = clock.Now.addSecs(1);
            QVERIFY(history.AddVisit(Visit(QString(), QStringLiteral("http://c%1.example/").arg(i), true)));
        }
        const THistoryInfoList closed = history.LoadRecentlyClosed();
        QCOMPARE(closed.size(), 10);
        QCOMPARE(closed.first().SiteUrl, QStringLiteral("http://c11.example/"));
        QCOMPARE(closed.last().SiteUrl, QStringLiteral("http://c2.example/"));
    }

    void rangesIncludeBothBounds() {
        TTestDb data;
        QVERIFY(data.Ok());
        TTestClock clock;
        THistory history(data.Db(), clock.Clock());
        for (int i = 0; i < 3; ++i) {
            QVERIFY(
                history.AddVisit(Visit(QString::number(i), QStringLiteral("http://r%1.example/").arg(i))));
            clock.Now = clock.Now.addSecs(100);
        }
        const qint64 first = DateTimeToUnixTime(QDateTime(QDate(2024, 3, 10), QTime(9, 0)));
        QCOMPARE(Urls(history.LoadHistoryRange(first, first + 100)),
                 (QStringList{QStringLiteral("http://r1.example/"), QStringLiteral("http://r0.example/")}));
        QVERIFY(history.LoadHistoryRange(first + 200, first).isEmpty());
    }

    void deleteAndClear() {
        TTestDb data;
        QVERIFY(data.Ok());
        THistory history(data.Db());
        QVERIFY(history.AddVisit(Visit(QStringLiteral("A"), QStringLiteral("http://a.example/"))));
        QVERIFY(history.AddVisit(Visit(QStringLiteral("B"), QStringLiteral("http://b.example/"))));
        const THistoryInfoList rows = history.FindHistoryByUrl(QStringLiteral("a.example"));
        QCOMPARE(rows.size(), 1);
        QVERIFY(!history.DeleteHistoryItem(QStringLiteral("1 OR 1=1")));
        QVERIFY(!history.DeleteHistoryItem(QString()));
        QCOMPARE(RowCount(data.Db()), 2);
        QVERIFY(history.DeleteHistoryItem(rows.at(0).Id));
        QVERIFY(history.FindHistoryByUrl(QStringLiteral("a.example")).isEmpty());
        QVERIFY(history.ClearHistory());
        QCOMPARE(RowCount(data.Db()), 0);
        QVERIFY(history.FindHistoryByUrl(QStringLiteral("example")).isEmpty());
    }

    void findReturnsTheSixNewestMatches() {
        TTestDb data;
        QVERIFY(data.Ok());
        THistory history(data.Db());
        QVERIFY(history.HasSearchIndex());
        for (int i = 1; i <= 10; ++i) {
            const QString host = i % 5 == 0 ? QStringLiteral("other") : QStringLiteral("match");
            QVERIFY(
                history.AddVisit(Visit(QString(), QStringLiteral("http://%1.example/%2").arg(host).arg(i))));
        }
        QCOMPARE(Urls(history.FindHistoryByUrl(QStringLiteral("MATCH.ex"))),
                 (QStringList{"http://match.example/9", "http://match.example/8", "http://match.example/7",
                              "http://match.example/6", "http://match.example/4", "http://match.example/3"}));
        QVERIFY(history.FindHistoryByUrl(QStringLiteral("nothing-like-this")).isEmpty());
    }

    // Texts that SQL, LIKE or the data file's codec treat specially come back as stored, and the
    // search compares characters: LIKE on the stored GB18030 bytes would take 新闻 for 天气.
    void specialTextsRoundTripAndMatch_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("quote") << "it's" << QStringList{"http://q.example/it's"};
        QTest::newRow("percent is a wildcard")
            << "a%z" << QStringList{"http://w.example/a_z", "http://w.example/abz"};
        QTest::newRow("underscore is a wildcard")
            << "a_z" << QStringList{"http://w.example/a_z", "http://w.example/abz"};
        QTest::newRow("backslash is literal") << "\\x" << QStringList{"http://b.example/\\x"};
        QTest::newRow("chinese") << "新闻"
                                 << QStringList{"http://z.example/新闻", "http://z.example/今天的新闻"};
        QTest::newRow("chinese long") << "的新闻" << QStringList{"http://z.example/今天的新闻"};
        QTest::newRow("chinese other") << "天气" << QStringList{"http://z.example/天气"};
        QTest::newRow("emoji") << "😀" << QStringList{"http://e.example/😀"};
        QTest::newRow("emoji run") << "/😀😁" << QStringList{};
        QTest::newRow("ascii case") << "Q.EXAMPLE/IT" << QStringList{"http://q.example/it's"};
        QTest::newRow("no match") << "zzzz" << QStringList{};
    }
    void specialTextsRoundTripAndMatch() {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        TTestDb data;
        QVERIFY(data.Ok());
        THistory history(data.Db());
        const QStringList urls{"http://q.example/it's", "http://b.example/\\x",
                               "http://w.example/abz",  "http://w.example/a_z",
                               "http://z.example/天气", "http://z.example/今天的新闻",
                               "http://z.example/新闻", "http://e.example/😀"};
        for (const QString& url : urls)
            QVERIFY(history.AddVisit(Visit(QStringLiteral("标题 '%_\\ 😀"), url)));
        for (const bool index : {true, false}) {
            if (!index && (text.contains(QChar(0x65b0)) || text.contains(QChar(0x5929))))
                continue; // the plain statement compares the stored bytes (see above)
            const THistoryInfoList found =
                index ? history.FindHistoryByUrl(text) : PlainFind(data.Db(), text);
            const QStringList got = Urls(found);
            QCOMPARE(got.size(), expected.size());
            for (const QString& url : expected)
                QVERIFY2(got.contains(url), qPrintable(url));
            for (const THistoryInfo& info : found)
                QCOMPARE(info.SiteName, QStringLiteral("标题 '%_\\ 😀"));
        }
    }

    // For ASCII addresses the indexed search and the plain LIKE statement give the same rows in
    // the same order, whatever the text.
    void indexedSearchAgreesWithPlainLike() {
        TTestDb data;
        QVERIFY(data.Ok());
        THistory history(data.Db());
        QRandomGenerator random(42);
        // The index leaves out leading "https://www." and the like: texts running into them match
        // as on the whole address.
        const QString alphabet = QStringLiteral("abcAB./_%-wWtps:");
        const QStringList schemes{"http://", "https://www.", "HTTPS://WWW.", "www.", "ftp://", "http://www.w"};
        QStringList stored;
        for (int i = 0; i < 400; ++i) {
            QString url = schemes.at(random.bounded(schemes.size()));
            for (int n = 0; n < 12; ++n)
                url += alphabet.at(random.bounded(alphabet.size()));
            stored.append(url);
            QVERIFY(history.AddVisit(Visit(QString(), url)));
        }
        for (int q = 0; q < 300; ++q) {
            QString text;
            const int length = 1 + random.bounded(5);
            for (int n = 0; n < length; ++n)
                text += alphabet.at(random.bounded(alphabet.size()));
            QCOMPARE(Urls(history.FindHistoryByUrl(text)), Urls(PlainFind(data.Db(), text)));
        }
        for (const QString& scheme : schemes) {
            for (int from = 0; from < scheme.size(); ++from) {
                const QString text = scheme.mid(from) + stored.at(from).right(4);
                QCOMPARE(Urls(history.FindHistoryByUrl(text)), Urls(PlainFind(data.Db(), text)));
            }
        }
    }

    // The index follows the store's deletions, a changed address, and rows written or deleted by
    // others.
    void searchIndexFollowsTheTable() {
        TTestDb data;
        QVERIFY(data.Ok());
        THistory history(data.Db());
        // Entries of rows deleted by others stay (they join no row); the store's deletions take
        // theirs out.
        const auto copies = [&data] { return Count(data.Db(), kEntries); };
        QVERIFY(history.AddVisit(Visit(QString(), QStringLiteral("http://one.example/"))));
        QVERIFY(history.AddVisit(Visit(QString(), QStringLiteral("http://two.example/"))));
        QVERIFY(history.AddVisit(Visit(QString(), QStringLiteral("http://six.example/"))));
        QCOMPARE(history.FindHistoryByUrl(QStringLiteral("one.ex")).size(), 1);
        QVERIFY(data.Db().Execute(QStringLiteral("UPDATE qb_history SET site_url = 'http://uno.example/' "
                                                 "WHERE site_url = 'http://one.example/'")));
        QVERIFY(history.FindHistoryByUrl(QStringLiteral("one.ex")).isEmpty());
        QCOMPARE(history.FindHistoryByUrl(QStringLiteral("uno.ex")).size(), 1);
        QCOMPARE(history.FindHistoryByUrl(QStringLiteral("two.ex")).size(), 1);

        QVERIFY(data.Db().Execute(
            QStringLiteral("INSERT INTO qb_history (site_name, site_url, create_time, isclose) "
                           "VALUES ('', 'http://three.example/', 1, 0)")));
        QVERIFY(data.Db().Execute(
            QStringLiteral("DELETE FROM qb_history WHERE site_url = 'http://two.example/'")));
        QCOMPARE(Urls(history.FindHistoryByUrl(QStringLiteral(".example"))),
                 (QStringList{"http://three.example/", "http://six.example/", "http://uno.example/"}));
        QCOMPARE(copies(), 4);

        const THistoryInfoList six = history.FindHistoryByUrl(QStringLiteral("six"));
        QCOMPARE(six.size(), 1);
        QVERIFY(history.DeleteHistoryItem(six.at(0).Id));
        QCOMPARE(copies(), 3);
        QVERIFY(history.FindHistoryByUrl(QStringLiteral("six")).isEmpty());
        QVERIFY(history.ClearHistory());
        QCOMPARE(copies(), 0);
        QVERIFY(history.FindHistoryByUrl(QStringLiteral("example")).isEmpty());
        QVERIFY(history.AddVisit(Visit(QString(), QStringLiteral("http://four.example/"))));
        QCOMPARE(Urls(history.FindHistoryByUrl(QStringLiteral("example"))),
                 QStringList{"http://four.example/"});
    }

    // A data file made before the search index existed: the plain statement serves.
    void dataFileWithoutSearchIndex() {
        TTestDb data;
        QVERIFY(data.Ok());
        QVERIFY(data.Db().Execute(QStringLiteral("DROP TABLE qb_history_search")));
        THistory history(data.Db());
        QVERIFY(!history.HasSearchIndex());
        QVERIFY(history.AddVisit(Visit(QString(), QStringLiteral("http://a.example/x"))));
        QCOMPARE(Urls(history.FindHistoryByUrl(QStringLiteral("example/X"))),
                 QStringList{"http://a.example/x"});
    }

    // Deleting history removes the rows whatever state the search index is in. An index that
    // cannot follow the deletion goes with the rows, so it keeps none of the deleted addresses
    // (emptying a damaged index works, and leaves it usable).
    void deletionWhenTheIndexCannotFollow_data() {
        QTest::addColumn<bool>("unreadable");
        QTest::addColumn<QString>("deletion");
        QTest::addColumn<bool>("indexRemoved");
        for (const bool unreadable : {true, false}) {
            const char* index = unreadable ? "no tokenizer" : "damaged index";
            for (const char* deletion : {"one visit", "all"})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(index, deletion)))
                    << unreadable << QString::fromLatin1(deletion)
                    << (unreadable || qstrcmp(deletion, "all") != 0);
        }
    }
    void deletionWhenTheIndexCannotFollow() {
        QFETCH(bool, unreadable);
        QFETCH(QString, deletion);
        QFETCH(bool, indexRemoved);
        TTestDb data;
        QVERIFY(data.Ok());
        TTestClock clock;
        {
            THistory indexed(data.Db(), clock.Clock());
            QVERIFY(indexed.AddVisit(Visit(QStringLiteral("A"), QStringLiteral("http://a.example/"))));
            clock.Now = clock.Now.addDays(1);
            QVERIFY(indexed.AddVisit(Visit(QStringLiteral("B"), QStringLiteral("http://b.example/"))));
            QVERIFY(indexed.AddVisit(Visit(QStringLiteral("C"), QStringLiteral("http://c.example/"))));
            QCOMPARE(indexed.FindHistoryByUrl(QStringLiteral("example")).size(), 3);
            QCOMPARE(Count(data.Db(), kEntries), 3);
        }
        QVERIFY(unreadable ? HideTokenizer(data) : DamageIndex(data));
        THistory history(data.Db(), clock.Clock());
        if (unreadable) {
            QCOMPARE(history.SearchIndexState(), THistory::TSearchIndex::Unreadable);
            // Visits and searches go on without the index.
            QVERIFY(history.AddVisit(Visit(QStringLiteral("C"), QStringLiteral("http://c.example/"))));
            QCOMPARE(Urls(history.FindHistoryByUrl(QStringLiteral("b.ex"))),
                     QStringList{"http://b.example/"});
        }

        QStringList left;
        if (deletion == QLatin1String("one visit")) {
            QVERIFY(history.DeleteHistoryItem(history.FindHistoryByUrl(QStringLiteral("b.ex")).at(0).Id));
            left = QStringList{"http://c.example/", "http://a.example/"};
        } else {
            QVERIFY(history.ClearHistory());
        }
        QCOMPARE(Urls(history.LoadHistoryRange(0, 2000000000)), left);
        const THistory::TSearchIndex state =
            indexRemoved ? THistory::TSearchIndex::Absent : THistory::TSearchIndex::Current;
        QCOMPARE(history.SearchIndexState(), state);
        if (indexRemoved) {
            QCOMPARE(SearchIndexObjects(data.Db()), QStringList());
        } else {
            QCOMPARE(Count(data.Db(), kEntries), 0);
        }
        QCOMPARE(data.Db().Query(QStringLiteral("PRAGMA integrity_check"))->GetText(0), QStringLiteral("ok"));
        QCOMPARE(Urls(history.FindHistoryByUrl(QStringLiteral("example"))), left);

        // The next start finds a data file without an index, and works with it.
        QVERIFY(data.Db().Open(data.FilePath()));
        THistory next(data.Db(), clock.Clock());
        QCOMPARE(next.SearchIndexState(), state);
        QVERIFY(next.AddVisit(Visit(QStringLiteral("D"), QStringLiteral("http://d.example/"))));
        QVERIFY(next.ClearHistory());
        QCOMPARE(RowCount(data.Db()), 0);
    }

    // Deleted rows leave no copy of their addresses in a working index.
    void deletingRowsFollowsTheIndex() {
        TTestDb data;
        QVERIFY(data.Ok());
        TTestClock clock;
        THistory history(data.Db(), clock.Clock());
        for (int i = 0; i < 4; ++i) {
            QVERIFY(history.AddVisit(Visit(QString(), QStringLiteral("http://r%1.example/").arg(i))));
            clock.Now = clock.Now.addSecs(3600);
        }
        QCOMPARE(history.FindHistoryByUrl(QStringLiteral(".example")).size(), 4);
        for (const char* host : {"r1.example", "r2.example"})
            QVERIFY(history.DeleteHistoryItem(history.FindHistoryByUrl(QLatin1String(host)).at(0).Id));
        QCOMPARE(Urls(history.FindHistoryByUrl(QStringLiteral(".example"))),
                 (QStringList{"http://r3.example/", "http://r0.example/"}));
        QCOMPARE(Count(data.Db(), kEntries), 2);
        QCOMPARE(Count(data.Db(), QStringLiteral("SELECT COUNT(*) FROM qb_history_search WHERE "
                                                 "qb_history_search MATCH '\"r1.\"'")),
                 0);
        QCOMPARE(history.SearchIndexState(), THistory::TSearchIndex::Current);
    }

    // Clearing all history leaves nothing for the address-bar suggestions, the recently closed
    // pages or the restore offer, in one transaction.
    void clearAllHistory() {
        TTestDb data;
        QVERIFY(data.Ok());
        THistory history(data.Db());
        TPageLog log(data.Db());
        TRecentlyClosed recentlyClosed(history);
        QVERIFY(history.AddVisit(Visit(QStringLiteral("A"), QStringLiteral("http://a.example/"))));
        QVERIFY(history.AddVisit(Visit(QStringLiteral("B"), QStringLiteral("http://b.example/"), true)));
        QVERIFY(log.SavePageLog({TPageInfo{QStringLiteral("http://a.example/")}}));
        QVERIFY(recentlyClosed.NextToReopen().has_value());

        // All or nothing: a page log that cannot be emptied keeps the history too.
        QVERIFY(data.Db().Execute(QStringLiteral("ALTER TABLE qb_page_log RENAME TO kept")));
        QVERIFY(!history.ClearAllHistory());
        QCOMPARE(RowCount(data.Db()), 2);
        QCOMPARE(history.SearchIndexState(), THistory::TSearchIndex::Current);
        QVERIFY(data.Db().Execute(QStringLiteral("ALTER TABLE kept RENAME TO qb_page_log")));

        QVERIFY(history.ClearAllHistory());
        QVERIFY(history.FindHistoryByUrl(QStringLiteral("example")).isEmpty());
        QCOMPARE(Count(data.Db(), kEntries), 0);
        QCOMPARE(log.CountPageLog(), 0);
        recentlyClosed.Reload();
        QVERIFY(!recentlyClosed.NextToReopen().has_value());
    }

    // Clearing a large history neither writes every freed page once more (SQLite builds that zero
    // freed pages did, which took seconds at a million rows) nor leaves the deleted addresses in
    // the file's free pages: the file shrinks to the rows that are left.
    void clearingEverythingShrinksTheFile() {
        TTestDb data;
        QVERIFY(data.Ok());
        QVERIFY(AddUnindexedRows(data.Db(), 20000));
        THistory history(data.Db());
        QVERIFY(history.CatchUpSearchIndex());
        QVERIFY(data.Db().Query(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
        const auto fileSize = [&] {
            return QFileInfo(data.FilePath()).size() + QFileInfo(data.FilePath() + QStringLiteral("-wal")).size();
        };
        const qint64 filled = fileSize();
        QVERIFY2(filled > 2000000, qPrintable(QString::number(filled)));

        QVERIFY(history.ClearAllHistory());
        QVERIFY2(fileSize() < filled / 10, qPrintable(QStringLiteral("%1 of %2").arg(fileSize()).arg(filled)));
        for (const QString& path : {data.FilePath(), data.FilePath() + QStringLiteral("-wal")}) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                QVERIFY2(!file.readAll().contains("n1234.example"), qPrintable(path));
        }
        QCOMPARE(RowCount(data.Db()), 0);
        QVERIFY(history.AddVisit(Visit(QStringLiteral("A"), QStringLiteral("http://a.example/"))));
        QCOMPARE(Urls(history.FindHistoryByUrl(QStringLiteral("a.example"))), QStringList{"http://a.example/"});
        QCOMPARE(data.Db().Query(QStringLiteral("PRAGMA integrity_check"))->GetText(0), QStringLiteral("ok"));
    }

    // Where daylight saving starts at midnight the day starts at 01:00: a visit just after it is
    // a new day's row, not an update of yesterday's.
    void dayStartsAfterAMidnightGap() {
        const TLocalZone zone("America/Santiago"); // 2024-09-08 00:00 -04 becomes 01:00 -03
        TTestDb data;
        QVERIFY(data.Ok());
        TTestClock clock;
        clock.Now = QDateTime(QDate(2024, 9, 7), QTime(23, 30));
        THistory history(data.Db(), clock.Clock());
        QVERIFY(history.AddVisit(Visit(QStringLiteral("Saturday"), QStringLiteral("http://a.example/"))));
        clock.Now = QDateTime(QDate(2024, 9, 8), QTime(10, 0));
        QCOMPARE(history.StartOfToday(), qint64(1725768000));
        QVERIFY(history.AddVisit(Visit(QStringLiteral("Sunday"), QStringLiteral("http://a.example/"))));
        const THistoryInfoList rows = history.LoadHistoryRange(0, 2000000000);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).SiteName, QStringLiteral("Sunday"));
        QCOMPARE(rows.at(1).SiteName, QStringLiteral("Saturday"));
    }

    // Rows the index lacks are handed to it once, by the worker, not by the searches: until then
    // searches read qb_history. Stopping the worker leaves a consistent index.
    void searchIndexCatchesUpOnAWorker() {
        TTestDb data;
        QVERIFY(data.Ok());
        QVERIFY(AddUnindexedRows(data.Db(), 2500)); // more than one batch
        THistory history(data.Db());
        QCOMPARE(history.SearchIndexState(), THistory::TSearchIndex::Behind);
        QCOMPARE(history.FindHistoryByUrl(QStringLiteral("n7.example")).size(), 1);
        QCOMPARE(Count(data.Db(), kTakenIn), 0);
        {
            TSearchIndexCatchUp stopped(history); // stopped at once by its destruction
        }
        QVERIFY(history.SearchIndexState() == THistory::TSearchIndex::Behind ||
                history.SearchIndexState() == THistory::TSearchIndex::Current);

        TSearchIndexCatchUp worker(history);
        worker.Wait();
        QCOMPARE(history.SearchIndexState(), THistory::TSearchIndex::Current);
        QCOMPARE(Count(data.Db(), kTakenIn), 2500);
        // Only the index compares Chinese characters; it also takes in a visit made since.
        QVERIFY(history.AddVisit(Visit(QString(), QStringLiteral("http://n2501.example/新闻"))));
        QCOMPARE(Urls(history.FindHistoryByUrl(QStringLiteral("2501.example/新闻"))),
                 QStringList{"http://n2501.example/新闻"});
        QCOMPARE(history.FindHistoryByUrl(QStringLiteral("天气")).size(), 0);
    }

    // Suggestions find a page by its title, by the title's full pinyin and by its pinyin initials,
    // and rank address prefixes, then titles, then pinyin, each by visits and then recency.
    void suggestionsFindTitlesAndPinyin() {
        TTestClock clock;
        TTestDb data;
        QVERIFY(data.Ok());
        THistory history(data.Db(), clock.Clock());
        const auto visit = [&](const char* title, const char* url) {
            clock.Now = clock.Now.addSecs(60);
            QVERIFY(history.AddVisit(Visit(QString::fromUtf8(title), QString::fromUtf8(url))));
        };
        visit("知乎 - 有问题，就会有答案", "https://www.zhihu.com/");
        visit("哔哩哔哩 (゜-゜)つロ 干杯~", "https://www.bilibili.com/");
        visit("Zhangsan's Blog", "http://blog.example/");
        visit("新闻", "http://news.example/zhong");
        visit("掌上新闻", "http://news2.example/");
        const auto found = [&history](const char* text) { return Urls(history.FindSuggestions(QString::fromUtf8(text))); };
        QCOMPARE(found("zhihu"), QStringList{"https://www.zhihu.com/"});
        QCOMPARE(found("blbl"), QStringList{"https://www.bilibili.com/"});
        QCOMPARE(found("bilibili"), QStringList{"https://www.bilibili.com/"});
        QCOMPARE(found("知乎"), QStringList{"https://www.zhihu.com/"});
        QCOMPARE(found("答案"), QStringList{"https://www.zhihu.com/"});
        QCOMPARE(found("BLOG"), QStringList{"http://blog.example/"});
        // "zh": the address prefix, the title, the pinyin initials, the address elsewhere.
        QCOMPARE(found("zh"), (QStringList{"https://www.zhihu.com/", "http://blog.example/", "http://news2.example/",
                                           "http://news.example/zhong"}));
        // More visits rank first within a kind: the older page visited on two days goes first.
        clock.Now = clock.Now.addDays(1);
        visit("Zhangsan's Blog", "http://blog.example/");
        visit("知乎 - 有问题，就会有答案", "https://www.zhihu.com/");
        visit("掌上新闻", "http://news2.example/");
        visit("知识", "http://zs.example/");
        QCOMPARE(found("zs"), (QStringList{"http://zs.example/", "http://news2.example/"}));
        clock.Now = clock.Now.addDays(1);
        visit("知识", "http://zhishi.example/");
        QCOMPARE(found("zs").mid(1), (QStringList{"http://news2.example/", "http://zhishi.example/"}));
        // Deleted rows leave the title index with them.
        QVERIFY(history.ClearHistory());
        QVERIFY(found("zh").isEmpty());
        QCOMPARE(Count(data.Db(), QStringLiteral("SELECT COUNT(*) FROM qb_history_title_search WHERE "
                                                 "qb_history_title_search MATCH 'zhi'")),
                 0);
    }

    // Texts of one or two characters search every row: the oldest of 40,000 rows is found by its
    // address, title and pinyin, and the newest matches across blocks of rows are the plain
    // statement's.
    void shortTextsFindOldRows() {
        TTestDb data;
        QVERIFY(data.Ok());
        THistory history(data.Db());
        const QStringList old{"http://old.example/qz"};
        QVERIFY(history.AddVisit(Visit(QStringLiteral("旧页"), old.first())));
        QVERIFY(AddUnindexedRows(data.Db(), 40000));
        for (const char* text : {"qz", "旧", "jy", "Q"})
            QCOMPARE(Urls(history.FindSuggestions(QString::fromUtf8(text))), old);
        for (const char* text : {"qz", "Q", "n1", "7.", "x", "%q", "_", "p:"})
            QCOMPARE(Urls(history.FindHistoryByUrl(QString::fromUtf8(text))), Urls(PlainFind(data.Db(), text)));
    }

    // Search indexes of the earlier format (UTF-8 copies of the texts beside full-text tables
    // reading them) are made anew on open and filled by the catch-up; searches read qb_history
    // meanwhile, and no row is lost. Changed rows leave no entry of their old text.
    void olderIndexFormatIsRebuilt() {
        TTestDb data;
        QVERIFY(data.Ok());
        {
            THistory history(data.Db());
            QVERIFY(history.AddVisit(Visit(QStringLiteral("知乎"), QStringLiteral("https://www.zhihu.com/"))));
            QVERIFY(history.AddVisit(Visit(QStringLiteral("Blog"), QStringLiteral("http://a.example/zq"))));
            QCOMPARE(history.FindSuggestions(QStringLiteral("zhihu")).size(), 1);
            QString script = QStringLiteral("DROP TABLE qb_history_indexed;\n");
            for (const auto& [table, column, source] : {std::make_tuple("qb_history_text", "site_url", "site_url"),
                                                       std::make_tuple("qb_history_title", "keys", "site_name")}) {
                const QString search = table == QLatin1String("qb_history_text") ? QStringLiteral("qb_history_search")
                                                                                 : QStringLiteral("qb_history_title_search");
                script += QStringLiteral("DROP TABLE %1;\nCREATE TABLE %2 (id INTEGER PRIMARY KEY, %3 TEXT);\n"
                                         "INSERT INTO %2 SELECT id, lower(%4) FROM qb_history;\n"
                                         "CREATE VIRTUAL TABLE %1 USING fts5(%3, content = '%2', content_rowid = 'id', "
                                         "tokenize = 'trigram', detail = 'none', columnsize = 0);\n"
                                         "INSERT INTO %1 (%1) VALUES ('rebuild');\n")
                              .arg(search, QLatin1String(table), QLatin1String(column), QLatin1String(source));
            }
            QVERIFY(data.Db().ExecuteScript(script));
        }
        THistory history(data.Db());
        QCOMPARE(history.SearchIndexState(), THistory::TSearchIndex::Behind);
        QCOMPARE(Urls(history.FindSuggestions(QStringLiteral("zq"))), QStringList{"http://a.example/zq"});
        QVERIFY(history.CatchUpSearchIndex());
        QCOMPARE(RowCount(data.Db()), 2);
        QVERIFY(!SearchIndexObjects(data.Db()).contains(QStringLiteral("qb_history_text")));
        QVERIFY(!SearchIndexObjects(data.Db()).contains(QStringLiteral("qb_history_title")));
        QCOMPARE(Urls(history.FindSuggestions(QStringLiteral("z"))),
                 (QStringList{"https://www.zhihu.com/", "http://a.example/zq"}));
        QCOMPARE(Urls(history.FindSuggestions(QStringLiteral("知"))), QStringList{"https://www.zhihu.com/"});
        QCOMPARE(Urls(history.FindSuggestions(QStringLiteral("zhihu"))), QStringList{"https://www.zhihu.com/"});
        QVERIFY(data.Db().Execute(QStringLiteral("UPDATE qb_history SET site_url = 'http://b.example/', "
                                                 "site_name = '新闻' WHERE id = 2")));
        QCOMPARE(Urls(history.FindHistoryByUrl(QStringLiteral("example"))), QStringList{"http://b.example/"});
        QCOMPARE(Urls(history.FindSuggestions(QStringLiteral("xinwen"))), QStringList{"http://b.example/"});
        QVERIFY(history.FindSuggestions(QStringLiteral("blog")).isEmpty());
        for (const char* old : {"SELECT COUNT(*) FROM qb_history_search WHERE qb_history_search MATCH '\"a.e\"'",
                                "SELECT COUNT(*) FROM qb_history_title_search WHERE qb_history_title_search MATCH 'blo'"})
            QCOMPARE(Count(data.Db(), QLatin1String(old)), 0);
        // The entries go with the rows.
        QVERIFY(history.DeleteHistoryItem(QStringLiteral("1")));
        QCOMPARE(Count(data.Db(), QStringLiteral("SELECT COUNT(*) FROM qb_history_title_search WHERE "
                                                 "qb_history_title_search MATCH 'zhi'")),
                 0);
    }

    // A data file made before the title index: suggestions match addresses as before. One whose
    // title index lacks rows has them copied by the catch-up worker.
    void olderFilesAndTheTitleIndex() {
        TTestDb data;
        QVERIFY(data.Ok());
        QVERIFY(data.Db().ExecuteScript(QStringLiteral("DROP TRIGGER qb_history_title_update;\n"
                                                       "DROP TABLE qb_history_title_search;\n")));
        {
            THistory history(data.Db());
            QVERIFY(history.AddVisit(Visit(QStringLiteral("知乎"), QStringLiteral("https://www.zhihu.com/"))));
            QCOMPARE(Urls(history.FindSuggestions(QStringLiteral("zhihu"))), QStringList{"https://www.zhihu.com/"});
            QVERIFY(history.FindSuggestions(QStringLiteral("知乎")).isEmpty());
            QVERIFY(history.ClearHistory());
        }
        TTestDb behind;
        QVERIFY(behind.Ok());
        QVERIFY(AddUnindexedRows(behind.Db(), 2100));
        QVERIFY(behind.Db().Execute(QStringLiteral("UPDATE qb_history SET site_name = '哔哩哔哩' WHERE id = 7")));
        THistory history(behind.Db());
        QVERIFY(history.FindSuggestions(QStringLiteral("blbl")).isEmpty());
        TSearchIndexCatchUp(history).Wait();
        QCOMPARE(history.FindSuggestions(QStringLiteral("blbl")).size(), 1);
    }

    // A read-only data file whose index is behind: the catch-up gives up without a write, and
    // searches read qb_history without trying to update the index.
    void readOnlyFileLeavesTheIndexAlone() {
        TTestDb data;
        QVERIFY(data.Ok());
        QVERIFY(AddUnindexedRows(data.Db(), 10));
        data.Db().Close();
        QVERIFY(chmod(QFile::encodeName(data.FilePath()).constData(), 0444) == 0);
        QVERIFY(chmod(QFile::encodeName(data.DirPath()).constData(), 0755) == 0);
        const QString failure = RunWithoutPrivileges([&]() -> QString {
            TDb db;
            if (!db.Open(data.FilePath()) || !db.IsReadOnly())
                return QStringLiteral("the file should open read-only");
            THistory history(db);
            if (history.SearchIndexState() != THistory::TSearchIndex::Behind)
                return QStringLiteral("the index should be behind");
            TLogCapture log;
            const bool caughtUp = history.CatchUpSearchIndex() || history.CatchUpSearchIndex();
            int found = 0;
            for (int key = 0; key < 3; ++key)
                found += history.FindHistoryByUrl(QStringLiteral("n3.example")).size();
            const int failedWrites = log.CountContaining(QStringLiteral("was not stored"));
            if (caughtUp || history.SearchIndexState() != THistory::TSearchIndex::GivenUp)
                return QStringLiteral("the catch-up should give up");
            if (found != 3)
                return QStringLiteral("searches should find the rows: %1").arg(found);
            return failedWrites == 0 ? QString() : QStringLiteral("%1 failed writes").arg(failedWrites);
        });
        QVERIFY(chmod(QFile::encodeName(data.FilePath()).constData(), 0644) == 0);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void missingTableGivesAnEmptyStore() {
        TTestDb data;
        QVERIFY(data.Ok());
        QVERIFY(data.Db().Execute(QStringLiteral("DROP TABLE qb_history")));
        THistory history(data.Db());
        QVERIFY(!history.AddVisit(Visit(QStringLiteral("A"), QStringLiteral("http://a.example/"))));
        QVERIFY(history.FindHistoryByUrl(QStringLiteral("example")).isEmpty());
        QVERIFY(history.LoadRecentlyClosed().isEmpty());
        QVERIFY(history.LoadHistoryRange(0, 2000000000).isEmpty());
        QVERIFY(!history.ClearHistory());

        TDb closed; // no data file at all
        THistory none(closed);
        QVERIFY(!none.AddVisit(Visit(QStringLiteral("A"), QStringLiteral("http://a.example/"))));
        QVERIFY(none.FindHistoryByUrl(QStringLiteral("example")).isEmpty());
    }

    // The declared types are part of the file format: a time column declared "int" (SQLite keeps
    // "integer" as "INTEGER") makes the reader fail, which gives an empty list, not an error.
    void wronglyDeclaredTimeColumn() {
        TTestDb data;
        QVERIFY(data.Ok());
        QVERIFY(data.Db().Execute(QStringLiteral("DROP TABLE qb_history")));
        QVERIFY(data.Db().Execute(
            QStringLiteral("CREATE TABLE qb_history (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                           "site_name TEXT, site_url TEXT, create_time int, isclose INTEGER)")));
        THistory history(data.Db());
        QVERIFY(history.AddVisit(Visit(QStringLiteral("A"), QStringLiteral("http://a.example/"))));
        QVERIFY(history.LoadHistoryRange(0, 2000000000).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_History.moc"
