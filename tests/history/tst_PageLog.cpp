// The page log (save as one batch, load in order, count) and the rules around it: which open
// pages are saved, where restored pages go, and the reopen walk over recently closed pages.
#include "history/PageLog.h"
#include "history/RecentlyClosed.h"
#include "support/ListTexts.h"
#include "support/TestDb.h"

#include <QtTest>

namespace {

QStringList Urls(const TPageInfoList& list) {
    return Texts(list, &TPageInfo::Url);
}

TPageInfoList Pages(const QStringList& urls) {
    TPageInfoList list;
    for (const QString& url : urls)
        list.append(TPageInfo{url});
    return list;
}

void Close(THistory& history, const QString& url) {
    THistoryInfo info;
    info.SiteUrl = url;
    info.IsClose = true;
    QVERIFY(history.AddVisit(info));
}

} // namespace

class TestPageLog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void saveLoadCountAndClear() {
        TTestDb data;
        QVERIFY(data.Ok());
        TPageLog log(data.Db());
        QCOMPARE(log.CountPageLog(), 0);
        QVERIFY(!log.SavePageLog({}));
        const QStringList urls{"http://a.example/it's", "http://b.example/新闻?q=😀", "http://c.example/%_\\"};
        QVERIFY(log.SavePageLog(Pages(urls)));
        QCOMPARE(log.CountPageLog(), 3);
        QCOMPARE(Urls(log.LoadPageLog()), urls);
        QVERIFY(log.ClearPageLog());
        QCOMPARE(log.CountPageLog(), 0);
        QVERIFY(log.LoadPageLog().isEmpty());

        // A line break cannot split an address's statement in the batch.
        QVERIFY(log.SavePageLog(Pages({"http://a.example/\r\nx", "http://b.example/"})));
        QCOMPARE(Urls(log.LoadPageLog()), (QStringList{"http://a.example/x", "http://b.example/"}));
    }

    void failedBatchKeepsNothing() {
        TTestDb data;
        QVERIFY(data.Ok());
        // The third insert fails: none of the three may stay.
        QVERIFY(data.Db().Execute(
            QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON qb_page_log "
                           "WHEN new.url = 'bad' BEGIN SELECT RAISE(ABORT, 'refused'); END")));
        TPageLog log(data.Db());
        QVERIFY(!log.SavePageLog(Pages({"http://a.example/", "http://b.example/", "bad"})));
        QCOMPARE(log.CountPageLog(), 0);

        QVERIFY(data.Db().Execute(QStringLiteral("DROP TABLE qb_page_log")));
        QVERIFY(!log.SavePageLog(Pages({"http://a.example/"})));
        QCOMPARE(log.CountPageLog(), 0);
        QVERIFY(log.LoadPageLog().isEmpty());
    }

    void savedPagesSkipOptionsBlankAndEmpty() {
        TTestDb data;
        QVERIFY(data.Ok());
        TPageLog log(data.Db());
        QVERIFY(log.SavePageLog(Pages({"http://old.example/"})));
        const QList<TOpenPage> pages{{0, "http://a.example/"},
                                     {0, "ABOUT:BLANK"},
                                     {1, "about:config"},
                                     {0, QString()},
                                     {0, "http://b.example/"}};
        QVERIFY(SaveOpenPages(log, pages));
        QCOMPARE(Urls(log.LoadPageLog()), (QStringList{"http://a.example/", "http://b.example/"}));

        // Only blank pages: the log is emptied and stays empty.
        QVERIFY(!SaveOpenPages(log, {{0, "about:blank"}, {0, QString()}}));
        QCOMPARE(log.CountPageLog(), 0);
    }

    void restorePlan() {
        const TPageInfoList stored = Pages({"A", "B", "C"});
        TRestorePlan plan = PlanRestore(stored, true);
        QCOMPARE(plan.CurrentTabUrl.value_or(QString()), QStringLiteral("A"));
        QCOMPARE(plan.NewTabUrls, (QStringList{"B", "C"}));
        plan = PlanRestore(stored, false);
        QVERIFY(!plan.CurrentTabUrl);
        QCOMPARE(plan.NewTabUrls, (QStringList{"B", "C"}));
        plan = PlanRestore({}, true);
        QVERIFY(!plan.CurrentTabUrl);
        QVERIFY(plan.NewTabUrls.isEmpty());
    }

    void reopenWalksBackAndRestartsAfterAClose() {
        TTestDb data;
        QVERIFY(data.Ok());
        QDateTime now(QDate(2024, 5, 1), QTime(12, 0));
        THistory history(data.Db(), [&now] { return now; });
        for (const char* url : {"http://1.example/", "http://2.example/", "http://3.example/"}) {
            now = now.addSecs(1);
            Close(history, QString::fromLatin1(url));
        }
        TRecentlyClosed closed(history);
        QVERIFY(!closed.Loaded());
        QCOMPARE(closed.NextToReopen().value_or(QString()), QStringLiteral("http://3.example/"));
        QCOMPARE(closed.NextToReopen().value_or(QString()), QStringLiteral("http://2.example/"));
        QCOMPARE(closed.NextToReopen().value_or(QString()), QStringLiteral("http://1.example/"));
        QVERIFY(!closed.NextToReopen());
        QCOMPARE(closed.Cursor(), 3);

        now = now.addSecs(1);
        Close(history, QStringLiteral("http://4.example/"));
        closed.Reload();
        QCOMPARE(closed.NextToReopen().value_or(QString()), QStringLiteral("http://4.example/"));
    }

    void reopenStopsAfterTen() {
        TTestDb data;
        QVERIFY(data.Ok());
        QDateTime now(QDate(2024, 5, 1), QTime(12, 0));
        THistory history(data.Db(), [&now] { return now; });
        for (int i = 0; i < 12; ++i) {
            now = now.addSecs(1);
            Close(history, QStringLiteral("http://%1.example/").arg(i));
        }
        TRecentlyClosed closed(history);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(closed.NextToReopen().value_or(QString()),
                     QStringLiteral("http://%1.example/").arg(11 - i));
        QVERIFY(!closed.NextToReopen());
    }
};

QTEST_GUILESS_MAIN(TestPageLog)
#include "tst_PageLog.moc"
