// The favicon fetcher against a local server: which addresses are asked (checked with the
// server's request counts), the binary-file test, the report to the receiver, the requests that need no network at
// all, failed fetches that leave nothing behind, and the limits on what is fetched.
#include "common/FavIcons.h"
#include "common/Messages.h"
#include "maintenance/FavIconAskLog.h"
#include "maintenance/FavIconDownload.h"
#include "support/TestFiles.h"
#include "support/TestServer.h"

#include <QtTest>
#include <memory>

namespace {

class TReceiver : public QObject {
public:
    QList<qintptr> Purposes;
    QList<qintptr> Failures;

protected:
    void customEvent(QEvent* event) override {
        if (event->type() == static_cast<QEvent::Type>(WM_FAVICON_READY))
            Purposes.append(static_cast<TMessageEvent*>(event)->WParam);
        else if (event->type() == static_cast<QEvent::Type>(WM_FAVICON_FAILED))
            Failures.append(static_cast<TMessageEvent*>(event)->WParam);
    }
};

const QByteArray kIcon("\0\0\1\0\1\0\20\20\0\0binary icon", 20);

// Runs one fetcher to its end.
bool FetchToTheEnd(const QString& pageUrl, const QString& iconFile) {
    auto* fetcher = new TFavIconDownload(pageUrl, iconFile, fpTabStrip);
    QSignalSpy gone(fetcher, &QObject::destroyed);
    fetcher->start();
    return gone.wait(30000);
}

} // namespace

class TestFavIconDownload : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    // Every case starts a new session: no address counts as asked.
    void init() { TFavIconAskLog::Instance().Clear(); }

    // Without an icon address from the engine only the site's own favicon.ico is asked: the page
    // (a one-time link, say) was requested once by the engine and is never requested again, nor
    // its folder or another host.
    void pageItselfIsNeverFetchedAgain() {
        TTestServer server;
        QVERIFY2(server.Running(), qPrintable(server.ErrorText()));
        QVERIFY(server.WriteFile(QStringLiteral("a/b/once.html"),
                                 "<html><head><link href='icon.ico' rel='shortcut icon'></head></html>"));
        QVERIFY(server.WriteFile(QStringLiteral("a/b/favicon.ico"), kIcon));
        QVERIFY(server.WriteFile(QStringLiteral("favicon.ico"), kIcon));
        QTemporaryDir dir;
        const QString iconFile = dir.filePath(QStringLiteral("page.ico"));
        TReceiver receiver;
        QCOMPARE(RequestFavIcon(&receiver, server.Url(QStringLiteral("/a/b/once.html?token=1")), iconFile,
                                fpTabStrip),
                 TFavIconRequest::Started);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.Purposes, QList<qintptr>{fpTabStrip}, 20000);
        QCOMPARE(ReadTestFile(iconFile), kIcon);
        QCOMPARE(server.Stats(), (QMap<QString, int>{{"/favicon.ico", 1}}));
    }

    // An https page's icon is never asked in plain text, not even where the engine reported it.
    void securePageNeverFallsBackToHttp() {
        TTestServer plain;
        QVERIFY(plain.Running());
        QVERIFY(plain.WriteFile(QStringLiteral("favicon.ico"), kIcon));
        QTemporaryDir dir;
        const QString page = QStringLiteral("https://127.0.0.1:1/p.html");
        auto* fetcher =
            new TFavIconDownload(page, dir.filePath(QStringLiteral("s.ico")), fpTabStrip, plain.Url("/favicon.ico"));
        QSignalSpy gone(fetcher, &QObject::destroyed);
        fetcher->start();
        QVERIFY(gone.wait(30000));
        QCOMPARE(plain.Stats(), (QMap<QString, int>{}));
        QCOMPARE(TFavIconDownload::SiteIconUrl(QStringLiteral("https://User:pw@A.example:8443/x/y?z#f")),
                 QStringLiteral("https://a.example:8443/favicon.ico"));
    }

    // A file that holds an icon is reported at once without any network access; one that holds
    // none (empty, as failed fetches used to leave it, or an error page) is fetched again.
    void iconFileAlreadyThere_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("usable");
        QTest::newRow("icon") << kIcon << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("error page") << QByteArray("<html><body>404 Not Found</body></html>") << false;
    }
    void iconFileAlreadyThere() {
        QFETCH(QByteArray, content);
        QFETCH(bool, usable);
        TTestServer server;
        QVERIFY(server.Running());
        const QByteArray served = kIcon + "served";
        QVERIFY(server.WriteFile(QStringLiteral("favicon.ico"), served));
        QTemporaryDir dir;
        const QString iconFile = dir.filePath(QStringLiteral("have.ico"));
        QFile file(iconFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        TReceiver receiver;
        QCOMPARE(RequestFavIcon(&receiver, server.Url(QStringLiteral("/p.html")), iconFile, fpTabStrip),
                 usable ? TFavIconRequest::ReportedAtOnce : TFavIconRequest::Started);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.Purposes, QList<qintptr>{fpTabStrip}, 20000);
        QCOMPARE(ReadTestFile(iconFile), usable ? content : served);
        QCOMPARE(server.Stats().isEmpty(), usable);
    }

    // A fetch that finds no icon says so to every receiver waiting for it, and only that.
    void failedFetchIsReported_data() {
        QTest::addColumn<QString>("served");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not found") << QStringLiteral("elsewhere.ico") << kIcon;
        QTest::newRow("text") << QStringLiteral("favicon.ico") << QByteArray("<html>no icon</html>");
        QTest::newRow("over the cap") << QStringLiteral("favicon.ico") << kIcon + QByteArray(1024 * 1024, 'x');
    }
    void failedFetchIsReported() {
        QFETCH(QString, served);
        QFETCH(QByteArray, content);
        TTestServer server;
        QVERIFY(server.Running());
        QVERIFY(server.WriteFile(served, content));
        QTemporaryDir dir;
        const QString iconFile = dir.filePath(QStringLiteral("f.ico"));
        TReceiver tabs;
        TReceiver bar;
        QCOMPARE(RequestFavIcon(&tabs, server.Url(QStringLiteral("/p.html")), iconFile, fpTabStrip),
                 TFavIconRequest::Started);
        QCOMPARE(RequestFavIcon(&bar, server.Url(QStringLiteral("/p.html")), iconFile, fpFavoritesBar),
                 TFavIconRequest::Joined);
        QTRY_COMPARE_WITH_TIMEOUT(tabs.Failures, QList<qintptr>{fpTabStrip}, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(bar.Failures, QList<qintptr>{fpFavoritesBar}, 20000);
        QVERIFY(tabs.Purposes.isEmpty() && bar.Purposes.isEmpty());
    }

    // When no candidate gives an icon, nothing is left under the icon's name or beside it.
    void failedFetchLeavesNoFile() {
        TTestServer server;
        QVERIFY(server.Running());
        QVERIFY(server.WriteFile(QStringLiteral("p.html"), "<link rel='shortcut icon' href='i.txt'>"));
        QVERIFY(server.WriteFile(QStringLiteral("i.txt"), "text, no icon"));
        QTemporaryDir dir;
        QVERIFY(
            FetchToTheEnd(server.Url(QStringLiteral("/p.html")), dir.filePath(QStringLiteral("none.ico"))));
        QCOMPARE(server.Requests(QStringLiteral("/favicon.ico")), 1);
        QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    // A visit while the site is out of reach leaves nothing that hides its icon later in the
    // same session.
    void unreachableSiteIsTriedAgainLater() {
        TTestServer site;
        TTestServer::TAnswer hangUp;
        hangUp.HangUp = true;
        QVERIFY(site.SetAnswer(QStringLiteral("*"), hangUp) && site.WriteFile(QStringLiteral("favicon.ico"), kIcon));
        const QString page = site.Url(QStringLiteral("/p.html"));
        QTemporaryDir dir;
        const QString iconFile = dir.filePath(QStringLiteral("later.ico"));
        QVERIFY(FetchToTheEnd(page, iconFile));
        QVERIFY(!QFileInfo::exists(iconFile));
        QVERIFY(!site.Stats().isEmpty());
        QVERIFY(site.ClearAnswers());
        TReceiver receiver;
        QCOMPARE(RequestFavIcon(&receiver, page, iconFile, fpFavoritesBar), TFavIconRequest::Started);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.Purposes, QList<qintptr>{fpFavoritesBar}, 20000);
        QCOMPARE(ReadTestFile(iconFile), kIcon);
    }

    // The icon address the engine reports is the first candidate; the page is not fetched again.
    void engineIconAddressSparesThePageFetch() {
        TTestServer server;
        QVERIFY(server.Running());
        QVERIFY(
            server.WriteFile(QStringLiteral("x/page.html"), "<link rel='shortcut icon' href='/other.ico'>"));
        QVERIFY(server.WriteFile(QStringLiteral("img/site.ico"), kIcon));
        QTemporaryDir dir;
        TReceiver receiver;
        QCOMPARE(RequestFavIcon(&receiver, server.Url(QStringLiteral("/x/page.html")),
                                dir.filePath(QStringLiteral("e.ico")), fpTabStrip,
                                server.Url(QStringLiteral("/img/site.ico"))),
                 TFavIconRequest::Started);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.Purposes, QList<qintptr>{fpTabStrip}, 20000);
        QCOMPARE(server.Stats(), (QMap<QString, int>{{"/img/site.ico", 1}}));
        // An inline icon cannot be fetched: the fixed candidates follow, still without the page.
        server.ResetStats();
        QVERIFY(server.WriteFile(QStringLiteral("favicon.ico"), kIcon));
        receiver.Purposes.clear();
        RequestFavIcon(&receiver, server.Url(QStringLiteral("/x/page.html")),
                       dir.filePath(QStringLiteral("d.ico")), fpTabStrip,
                       QStringLiteral("data:image/x-icon;base64,AAABAA=="));
        QTRY_COMPARE_WITH_TIMEOUT(receiver.Purposes, QList<qintptr>{fpTabStrip}, 20000);
        QCOMPARE(server.Stats(), (QMap<QString, int>{{"/favicon.ico", 1}}));
    }

    // Pages of one site share their icon address: it is asked once per session, its icon (or its
    // failure) serves the next page.
    void eachAddressIsAskedOnce() {
        TTestServer server;
        QVERIFY(server.Running());
        QVERIFY(server.WriteFile(QStringLiteral("favicon.ico"), kIcon));
        QTemporaryDir dir;
        TReceiver receiver;
        for (const QString& name : {QStringLiteral("one"), QStringLiteral("two")}) {
            const QString iconFile = dir.filePath(name + QStringLiteral(".ico"));
            receiver.Purposes.clear();
            RequestFavIcon(&receiver, server.Url(QStringLiteral("/a/") + name + QStringLiteral(".html")),
                           iconFile, fpTabStrip);
            QTRY_COMPARE_WITH_TIMEOUT(receiver.Purposes, QList<qintptr>{fpTabStrip}, 20000);
            QCOMPARE(ReadTestFile(iconFile), kIcon);
        }
        QCOMPARE(server.Stats(), (QMap<QString, int>{{"/favicon.ico", 1}}));
    }

    // Requests for an icon that is being fetched (a page's title changes while it loads) join
    // the running fetcher: one page fetch, one report to each requester.
    void repeatedRequestsJoinTheRunningFetch() {
        TTestServer server;
        QVERIFY(server.Running());
        QVERIFY(server.WriteFile(QStringLiteral("favicon.ico"), kIcon));
        QTemporaryDir dir;
        const QString iconFile = dir.filePath(QStringLiteral("j.ico"));
        const QString page = server.Url(QStringLiteral("/p.html"));
        const QString slowIcon = server.Url(QStringLiteral("/favicon.ico?delay_ms=500"));
        TReceiver tabs;
        TReceiver bar;
        QCOMPARE(RequestFavIcon(&tabs, page, iconFile, fpTabStrip, slowIcon), TFavIconRequest::Started);
        QCOMPARE(RequestFavIcon(&tabs, page, iconFile, fpTabStrip), TFavIconRequest::Joined);
        QCOMPARE(RequestFavIcon(&bar, page, iconFile, fpFavoritesBar), TFavIconRequest::Joined);
        QTRY_COMPARE_WITH_TIMEOUT(bar.Purposes, QList<qintptr>{fpFavoritesBar}, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(tabs.Purposes, (QList<qintptr>{fpTabStrip, fpTabStrip}), 20000);
        QCOMPARE(server.Stats(), (QMap<QString, int>{{"/favicon.ico", 1}}));
    }

    // A page that keeps trickling in is cut off by the time limit: what came until then counts.
    void pageFetchEndsAtItsTimeLimit() {
        TTestServer server;
        QVERIFY(server.Running());
        const QByteArray page(4000, 'p');
        QVERIFY(server.WriteFile(QStringLiteral("slow.html"), page));
        // 100 bytes a second: the whole page takes 40 s.
        const QString text =
            FetchUrlText(server.Url(QStringLiteral("/slow.html?rate=100")), 1024 * 1024, 500);
        QVERIFY2(text.size() < page.size(), qPrintable(QString::number(text.size())));
        QVERIFY(page.startsWith(text.toLatin1()));
    }

    void blankPageAsksForNothing() {
        QTemporaryDir dir;
        TReceiver receiver;
        for (const QString& url : {QStringLiteral("about:blank"), QStringLiteral(" ABOUT:BLANK"), QString()})
            QCOMPARE(RequestFavIcon(&receiver, url, dir.filePath(QStringLiteral("b.ico")), fpTabStrip),
                     TFavIconRequest::Ignored);
        QCoreApplication::sendPostedEvents(&receiver);
        QVERIFY(receiver.Purposes.isEmpty());
    }

    // A receiver that is gone when the icon arrives gets nothing (and nothing crashes).
    void receiverGoneBeforeTheIcon() {
        TTestServer server;
        QVERIFY(server.Running());
        QVERIFY(server.WriteFile(QStringLiteral("favicon.ico"), kIcon));
        QTemporaryDir dir;
        const QString iconFile = dir.filePath(QStringLiteral("late.ico"));
        auto* receiver = new TReceiver;
        RequestFavIcon(receiver, server.Url(QStringLiteral("/page.html?delay_ms=300")), iconFile, fpTabStrip);
        delete receiver;
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(iconFile).size() == kIcon.size(), 20000);
        // A later request's receiver hears of its icon: the gone one's answer was dropped, not
        // delivered to freed memory in the meantime.
        TReceiver witness;
        RequestFavIcon(&witness, server.Url(QStringLiteral("/page.html")), dir.filePath(QStringLiteral("w.ico")),
                       fpFavoritesBar);
        QTRY_COMPARE_WITH_TIMEOUT(witness.Purposes, QList<qintptr>{fpFavoritesBar}, 20000);
    }
};

QTEST_GUILESS_MAIN(TestFavIconDownload)
#include "tst_FavIconDownload.moc"
