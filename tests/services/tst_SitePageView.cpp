// The hosted vendor pages under Xvfb: a page command from a page of the site root opens its
// address through the tool window (which then closes); the same text from a page elsewhere is an
// ordinary alert box; an address that may not be opened is dropped without a box.
#include "browser/PageMessageBox.h"
#include "common/Messages.h"
#include "services/FormNetBank.h"
#include "services/SitePageView.h"
#include "support/EngineTestMain.h"
#include "support/TestServer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebEngineView>
#include <QtTest>

namespace {
constexpr int kLoadTimeout = 20000;

// A page that shows one alert as soon as it loads.
QString WriteAlertPage(const QTemporaryDir& folder, const QString& name, const QString& text) {
    QFile file(folder.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral("<!DOCTYPE html><meta charset='utf-8'><script>alert(%1);</script>")
                   .arg(QStringLiteral("\"") + text + QStringLiteral("\""))
                   .toUtf8());
    return QUrl::fromLocalFile(file.fileName()).toString();
}

QString RootOf(const QTemporaryDir& folder) {
    return QUrl::fromLocalFile(folder.path() + QLatin1Char('/')).toString();
}

// Records the WM_OPEN_URL messages a tool window posts to the main window.
class TMainWindowStandIn final : public QObject {
public:
    QList<QPair<QString, int>> Opened;

protected:
    void customEvent(QEvent* event) override {
        if (auto* message = dynamic_cast<TRecordMessage<QString>*>(event); message && message->Id() == WM_OPEN_URL)
            Opened.append({message->Record, int(message->LParam)});
    }
};
} // namespace

class TestSitePageView : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_boxes.clear();
        SetPageMsgBoxFunction([this](const QString& text, int) {
            m_boxes << text;
            return 1;
        });
    }
    void cleanup() { SetPageMsgBoxFunction(nullptr); }

    void commandFromTheSiteOpensWithoutBox() {
        QTemporaryDir site;
        const QString page = WriteAlertPage(site, QStringLiteral("p.html"), QStringLiteral("ORREL:https://a.example.cn/"));
        TSitePageView view(RootOf(site), page, nullptr);
        QSignalSpy opened(view.SitePage(), &TSitePage::openRequested);
        QVERIFY(opened.wait(kLoadTimeout));
        QCOMPARE(opened.value(0).value(0).toString(), QStringLiteral("https://a.example.cn/"));
        QVERIFY(m_boxes.isEmpty());
    }

    // The vendor's web site: the page's origin carries the server's port.
    void commandFromTheWebSiteOpens() {
        TTestServer server;
        QVERIFY2(server.Running(), qPrintable(server.ErrorText()));
        QVERIFY(server.WriteFile(QStringLiteral("home/index.php"),
                                 "<!DOCTYPE html><script>alert('ORREL:https://a.example.cn/');</script>"));
        TSitePageView view(server.Url(QStringLiteral("/")), server.Url(QStringLiteral("/home/index.php?s=/NetBank/index")),
                           nullptr);
        QSignalSpy opened(view.SitePage(), &TSitePage::openRequested);
        QVERIFY(opened.wait(kLoadTimeout));
        QCOMPARE(opened.value(0).value(0).toString(), QStringLiteral("https://a.example.cn/"));
        QVERIFY(m_boxes.isEmpty());
    }

    void commandFromElsewhereIsAnOrdinaryAlert() {
        QTemporaryDir site;
        QTemporaryDir elsewhere;
        const QString text = QStringLiteral("ORREL:https://a.example.cn/");
        TSitePageView view(RootOf(site), WriteAlertPage(elsewhere, QStringLiteral("p.html"), text), nullptr);
        QSignalSpy opened(view.SitePage(), &TSitePage::openRequested);
        QTRY_COMPARE_WITH_TIMEOUT(m_boxes, QStringList{text}, kLoadTimeout);
        QCOMPARE(opened.count(), 0);
    }

    void refusedAddressShowsNothing() {
        QTemporaryDir site;
        const QString page =
            WriteAlertPage(site, QStringLiteral("p.html"), QStringLiteral("ORREL:file:///etc/passwd"));
        TSitePageView view(RootOf(site), page, nullptr);
        QSignalSpy opened(view.SitePage(), &TSitePage::openRequested);
        QSignalSpy loaded(view.findChild<QWebEngineView*>(), &QWebEngineView::loadFinished);
        QVERIFY(loaded.wait(kLoadTimeout));
        QTest::qWait(200);
        QCOMPARE(opened.count(), 0);
        QVERIFY(m_boxes.isEmpty());
    }

    // A page that sends two commands at once (a double click) opens one tab.
    void bankWindowOpensOnTheCompatibilityEngineAndCloses() {
        QTemporaryDir site;
        WriteAlertPage(site, QStringLiteral("netbank.html"),
                       QStringLiteral("ORREL:https://www.icbc.com.cn/\"); alert(\"ORREL:https://www.boc.cn/"));
        TMainWindowStandIn mainWindow;
        TFormNetBank window(&mainWindow, RootOf(site));
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(!mainWindow.Opened.isEmpty(), kLoadTimeout);
        QCOMPARE(mainWindow.Opened, (QList<QPair<QString, int>>{{QStringLiteral("https://www.icbc.com.cn/"), 1}}));
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(m_boxes.isEmpty());
    }

private:
    QStringList m_boxes;
};

QUELLON_ENGINE_TEST_MAIN(TestSitePageView)
#include "tst_SitePageView.moc"
