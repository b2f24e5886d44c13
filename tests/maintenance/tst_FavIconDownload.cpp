// The favicon fetcher against a local server: candidate order (checked with the server's request
// counts), the binary-file test, the report to the receiver, and the requests that need no
// network at all.
#include "common/Messages.h"
#include "maintenance/FavIconDownload.h"
#include "support/TestServer.h"

#include <QtTest>

namespace {

class TReceiver : public QObject {
public:
    QList<qintptr> Purposes;

protected:
    void customEvent(QEvent* event) override {
        if (event->type() == static_cast<QEvent::Type>(WM_FAVICON_READY))
            Purposes.append(static_cast<TMessageEvent*>(event)->WParam);
    }
};

const QByteArray kIcon("\0\0\1\0\1\0\20\20\0\0binary icon", 20);

} // namespace

class TestFavIconDownload : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The page's own icon link is a text file and the site root has none: the page folder's
    // favicon.ico is the third candidate and the one saved.
    void triesCandidatesInOrder() {
        TTestServer server;
        QVERIFY2(server.Running(), qPrintable(server.ErrorText()));
        QVERIFY(server.WriteFile(QStringLiteral("a/b/page.html"),
                                 "<html><head><link href='icon.txt' rel='shortcut icon'></head></html>"));
        QVERIFY(server.WriteFile(QStringLiteral("a/b/icon.txt"), "not an icon"));
        QVERIFY(server.WriteFile(QStringLiteral("a/b/favicon.ico"), kIcon));
        QTemporaryDir dir;
        const QString iconFile = dir.filePath(QStringLiteral("page.ico"));
        TReceiver receiver;
        QCOMPARE(
            RequestFavIcon(&receiver, server.Url(QStringLiteral("/a/b/page.html")), iconFile, fpTabStrip),
            TFavIconRequest::Started);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.Purposes, QList<qintptr>{fpTabStrip}, 20000);
        QFile file(iconFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), kIcon);
        const QMap<QString, int> stats = server.Stats();
        QCOMPARE(
            stats,
            (QMap<QString, int>{
                {"/a/b/page.html", 1}, {"/a/b/icon.txt", 1}, {"/favicon.ico", 1}, {"/a/b/favicon.ico", 1}}));
    }

    void linkedIconIsTheFirstCandidate() {
        TTestServer server;
        QVERIFY(server.Running());
        QVERIFY(server.WriteFile(QStringLiteral("x/page.html"),
                                 "<link rel=\"shortcut icon\" href=\"/img/site.ico\">"));
        QVERIFY(server.WriteFile(QStringLiteral("img/site.ico"), kIcon));
        QVERIFY(server.WriteFile(QStringLiteral("favicon.ico"), kIcon));
        QTemporaryDir dir;
        TReceiver receiver;
        RequestFavIcon(&receiver, server.Url(QStringLiteral("/x/page.html")),
                       dir.filePath(QStringLiteral("i.ico")), fpFavoritesBar);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.Purposes, QList<qintptr>{fpFavoritesBar}, 20000);
        QCOMPARE(server.Stats(), (QMap<QString, int>{{"/x/page.html", 1}, {"/img/site.ico", 1}}));
    }

    void existingFileIsReportedWithoutNetwork() {
        TTestServer server;
        QVERIFY(server.Running());
        QTemporaryDir dir;
        const QString iconFile = dir.filePath(QStringLiteral("have.ico"));
        QFile file(iconFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        TReceiver receiver;
        QCOMPARE(RequestFavIcon(&receiver, server.Url(QStringLiteral("/p.html")), iconFile, fpTabStrip),
                 TFavIconRequest::ReportedAtOnce);
        QCoreApplication::sendPostedEvents(&receiver);
        QCOMPARE(receiver.Purposes, QList<qintptr>{fpTabStrip});
        QVERIFY(server.Stats().isEmpty());
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
        QTest::qWait(200);
    }
};

QTEST_GUILESS_MAIN(TestFavIconDownload)
#include "tst_FavIconDownload.moc"
