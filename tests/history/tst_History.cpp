// The history store: one row per address and day, closed rows, address search (with and without
// the search index), date ranges, and a data file without the table.
#include "common/CommonFunc.h"
#include "history/History.h"
#include "support/TestDb.h"

#include <QRandomGenerator>
#include <QtTest>

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
    QStringList urls;
    for (const THistoryInfo& info : list)
        urls.append(info.SiteUrl);
    return urls;
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
        const QString alphabet = QStringLiteral("abcAB./_%-");
        QStringList stored;
        for (int i = 0; i < 400; ++i) {
            QString url = QStringLiteral("http://");
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
    }

    // The index follows the store's deletions, a changed address, and rows written or deleted by
    // others.
    void searchIndexFollowsTheTable() {
        TTestDb data;
        QVERIFY(data.Ok());
        THistory history(data.Db());
        const auto copies = [&data] {
            auto table = data.Db().Query(QStringLiteral("SELECT COUNT(*) AS n FROM qb_history_text"));
            return table ? table->FieldAsInt64(QStringLiteral("n")) : -1;
        };
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
