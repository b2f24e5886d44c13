// The tab controller with both real engines: loading contract per engine, history and captions,
// the close queue, popups and the popup filter, JavaScript dialogs, the engine switch and its
// memory per host, credentials and downloads.
#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/DomainKernel.h"
#include "browser/PageMessageBox.h"
#include "browser/TabController.h"
#include "browser/WebControlView.h"
#include "common/AppPaths.h"
#include "common/Dialogs.h"
#include "common/FavIcons.h"
#include "common/ModuleLoader.h"
#include "history/History.h"
#include "history/RecentlyClosed.h"
#include "storage/Config.h"
#include "support/TestDb.h"
#include "support/TabControllerFixture.h"
#include "support/TestServer.h"

#include "support/EngineTestMain.h"
#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QBuffer>
#include <QImage>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <QtTest>
#include <memory>

class TTabControllerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void loadContract_data();
    void loadContract();
    void closingTheOnlyTabClosesTheWindow();
    void severalCloseRequestsAreAllHandled();
    void popupBecomesTabAndFilterBlocksScriptPopupOfPopup();
    void quickPopupsAreSpacedAndLoopsRefused();
    void javaScriptDialogs_data();
    void javaScriptDialogs();
    void dialogLoopLeavesBrowserUsable();
    void silencedEndlessBoxesEndTheScript();
    void promptGivesTypedText_data();
    void promptGivesTypedText();
    void closeWaitsForOpenDialog_data();
    void closeWaitsForOpenDialog();
    void pageStaysPutUnderItsBox_data();
    void pageStaysPutUnderItsBox();
    void webControlCloseRequestAsksOnce();
    void engineMemoryAndSwitchBack();
    void missingCompatibilityEngineKeepsChromium();
    void compatibilityEngineModuleIsFoundInTheBuild();
    void compatibilityEngineTextsAreChinese();
    void credentialsAreUsedOnce();
    void openingInCurrentTabRemembersTheOpenedHost();
    void ctrlClickOpensInBackgroundKeysActivate();
    void pageIconComesWithoutFetchingThePageAgain();
    void refusedCertificateIsKnownToThePage();
    void downloadsAreRefusedAndAnnounced_data();
    void downloadsAreRefusedAndAnnounced();

private:
    QTemporaryDir m_appDir;
    std::unique_ptr<TTestServer> m_server;
    QList<QPair<QString, int>> m_boxes; // message boxes shown: text and flags
    int m_answer = IDOK;
    std::function<void()> m_whileBoxOpen; // runs inside each box, before it answers
};

void TTabControllerTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_appDir.isValid());
    SetAppDir(m_appDir.path() + "/");
    m_server = std::make_unique<TTestServer>();
    QVERIFY2(m_server->Running(), qPrintable(m_server->ErrorText()));
    TTabController::SetMsgBoxFunction([this](const QString& text, int flags) {
        m_boxes.append({text, flags});
        if (m_whileBoxOpen)
            m_whileBoxOpen();
        return m_answer;
    });
}

void TTabControllerTest::cleanup() {
    m_boxes.clear();
    m_answer = IDOK;
    m_whileBoxOpen = nullptr;
    SetPagePromptFunction(nullptr);
}

void TTabControllerTest::loadContract_data() {
    QTest::addColumn<int>("kernel");
    QTest::newRow("chromium") << int(kChromium);
    QTest::newRow("web control") << int(kWebControl);
}

void TTabControllerTest::loadContract() {
    QFETCH(int, kernel);
    const QString path = QStringLiteral("/contract%1.html").arg(kernel);
    m_server->WriteFile(path.mid(1), Page(QStringLiteral("合同页 %1").arg(kernel)));
    const QString url = m_server->Url(path);
    TFixture f;
    QSignalSpy addresses(f.Controller.get(), &TTabController::addressShown);
    QSignalSpy loading(f.Controller.get(), &TTabController::loadingStateShown);
    QSignalSpy captions(f.Controller.get(), &TTabController::windowCaptionChanged);

    f.Controller->OpenInNewTab(url, kernel);
    QCOMPARE(f.Controller->TabCount(), 1);
    TBrowserTab* tab = f.Controller->CurrentTab();
    QVERIFY(tab);
    QCOMPARE(tab->Kernel, kernel);
    QVERIFY(WaitIdle(tab));
    QTRY_COMPARE_WITH_TIMEOUT(tab->Caption, QStringLiteral("合同页 %1").arg(kernel), LoadTimeout);

    // Loading went busy, then idle; the address and the caption reached the window.
    QVERIFY(!loading.isEmpty());
    QVERIFY(
        std::any_of(loading.begin(), loading.end(), [](const QList<QVariant>& s) { return !s[0].toBool(); }));
    QCOMPARE(loading.last().first().toBool(), true);
    QVERIFY(std::any_of(addresses.begin(), addresses.end(),
                        [&](const QList<QVariant>& s) { return s[0] == url; }));
    QCOMPARE(captions.last().first().toString(), QStringLiteral("合同页 %1 - Quellon 1.0.0.0").arg(kernel));
    QCOMPARE(tab->View()->CurrentUrl(), url);
    QTRY_COMPARE_WITH_TIMEOUT(tab->PageUrl, url, LoadTimeout);
    QCOMPARE(tab->FaviconFile, UserDataDir() + FavIconFileName(url));

    // The visit is in history under the title.
    const THistoryInfo row = f.HistoryRow(url);
    QCOMPARE(row.SiteName, QStringLiteral("合同页 %1").arg(kernel));
}

void TTabControllerTest::closingTheOnlyTabClosesTheWindow() {
    TFixture f;
    QSignalSpy last(f.Controller.get(), &TTabController::lastTabClosed);
    QSignalSpy closed(f.Controller.get(), &TTabController::pageClosed);
    f.Controller->OpenInNewTab(QStringLiteral("   "));
    QCOMPARE(f.Controller->CurrentTab()->Caption, QStringLiteral("about:blank"));
    f.Controller->CloseCurrentTab();
    QTRY_COMPARE(last.count(), 1);
    QTest::qWait(400);
    QCOMPARE(closed.count(), 0);
    QCOMPARE(f.Controller->TabCount(), 1);

    // Two tabs closed in one burst: the second request is for the last tab left.
    f.Controller->OpenInNewTab(QStringLiteral("about:blank"));
    f.Controller->RequestCloseTab(0);
    f.Controller->RequestCloseTab(1);
    QTRY_COMPARE(last.count(), 2);
    QTRY_COMPARE(closed.count(), 1);
    QCOMPARE(f.Controller->TabCount(), 1);
}

void TTabControllerTest::severalCloseRequestsAreAllHandled() {
    TFixture f;
    QStringList urls;
    for (int i = 0; i < 5; ++i) {
        const QString name = QStringLiteral("close%1.html").arg(i);
        m_server->WriteFile(name, Page(QStringLiteral("关闭 %1").arg(i)));
        urls << m_server->Url("/" + name);
        f.Controller->OpenInNewTab(urls.last());
    }
    for (int i = 0; i < 5; ++i)
        QTRY_COMPARE_WITH_TIMEOUT(f.Controller->TabAt(i)->Caption, QStringLiteral("关闭 %1").arg(i),
                                  LoadTimeout);
    f.Controller->SetCurrentIndex(4);
    QSignalSpy closed(f.Controller.get(), &TTabController::pageClosed);

    // Indexes given at request time: tabs 1, 3 and 4 go, whatever closes first.
    f.Controller->RequestCloseTab(1);
    f.Controller->RequestCloseTab(3);
    f.Controller->RequestCloseTab(4);
    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 3, 5000);
    QCOMPARE(f.Controller->TabCount(), 2);
    QCOMPARE(f.Controller->TabAt(0)->Caption, QStringLiteral("关闭 0"));
    QCOMPARE(f.Controller->TabAt(1)->Caption, QStringLiteral("关闭 2"));
    QCOMPARE(f.Controller->CurrentIndex(), 1);
    QStringList closedCaptions;
    for (const auto& signal : closed)
        closedCaptions << signal.first().toString();
    QCOMPARE(closedCaptions, (QStringList{"关闭 1", "关闭 3", "关闭 4"}));
    QVERIFY(f.IsClosedRow(urls[1]));
    QVERIFY(f.IsClosedRow(urls[4]));
    QVERIFY(!f.IsClosedRow(urls[0]));
    QCOMPARE(f.Closed.Entries().size(), 3);
}

void TTabControllerTest::popupBecomesTabAndFilterBlocksScriptPopupOfPopup() {
    m_server->WriteFile("popup-c.html", Page("丙"));
    m_server->WriteFile(
        "popup-b.html",
        Page("乙", QString(), QStringLiteral("window.open('%1');").arg(m_server->Url("/popup-c.html"))));
    m_server->WriteFile(
        "popup-a.html",
        Page("甲", QString(), QStringLiteral("window.open('%1');").arg(m_server->Url("/popup-b.html"))));
    TFixture f;
    f.Config.FilterPopups = true;
    QSignalSpy blocked(f.Controller.get(), &TTabController::popupBlocked);
    QSignalSpy opened(f.Controller.get(), &TTabController::popupTabOpened);
    f.Controller->OpenInNewTab(m_server->Url("/popup-a.html"));

    // The normal tab's script popup is allowed; the popup's own script popup is blocked.
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, LoadTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(blocked.count(), 1, LoadTimeout);
    QCOMPARE(blocked.first().first().toString(), m_server->Url("/popup-b.html"));
    QCOMPARE(f.Controller->TabCount(), 2);
    TBrowserTab* popup = f.Controller->TabAt(1);
    QCOMPARE(popup->FromPopup, quint8(1));
    QCOMPARE(popup->BrowserId, f.Controller->TabAt(0)->BrowserId);
    QTRY_COMPARE_WITH_TIMEOUT(popup->Caption, QStringLiteral("乙"), LoadTimeout);
    QCOMPARE(f.Controller->CurrentTab(), popup);

    // Without the filter the same page opens its popup too.
    f.Config.FilterPopups = false;
    popup->View()->Reload();
    QTRY_COMPARE_WITH_TIMEOUT(f.Controller->TabCount(), 3, LoadTimeout);
    QCOMPARE(blocked.count(), 1);

    // The popup's own close request closes its tab.
    TBrowserTab* third = f.Controller->TabAt(2);
    QTRY_COMPARE_WITH_TIMEOUT(third->Caption, QStringLiteral("丙"), LoadTimeout);
    QSignalSpy closed(f.Controller.get(), &TTabController::pageClosed);
    third->Browser->page()->runJavaScript(QStringLiteral("window.close();"));
    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 5000);
    QCOMPARE(f.Controller->TabCount(), 2);
}

void TTabControllerTest::quickPopupsAreSpacedAndLoopsRefused() {
    m_server->WriteFile("spaced-target.html", Page("目标"));
    const QString target = m_server->Url("/spaced-target.html");
    m_server->WriteFile(
        "spaced.html",
        Page("两个", QString(), QStringLiteral("window.open('%1');window.open('%1');").arg(target)));
    m_server->WriteFile("loop.html",
                        Page("循环", QString(),
                             QStringLiteral("for (var i = 0; i < 40; ++i) window.open('%1');").arg(target)));
    TFixture f;
    QElapsedTimer clock;
    QList<qint64> times;
    connect(f.Controller.get(), &TTabController::popupTabOpened, [&] { times << clock.elapsed(); });
    clock.start();
    f.Controller->OpenInNewTab(m_server->Url("/spaced.html"));
    QTRY_COMPARE_WITH_TIMEOUT(times.size(), 2, LoadTimeout);
    QVERIFY2(times[1] - times[0] >= 490, qPrintable(QString::number(times[1] - times[0])));
    // A popup whose address settled while it waited keeps that address for the page log.
    QTRY_COMPARE_WITH_TIMEOUT(f.Controller->TabAt(1)->PageUrl, target, LoadTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(f.Controller->TabAt(2)->PageUrl, target, LoadTimeout);

    // A loop of popups: a few become tabs, the rest are refused, and the window keeps running.
    QSignalSpy blocked(f.Controller.get(), &TTabController::popupBlocked);
    times.clear();
    f.Controller->OpenInNewTab(m_server->Url("/loop.html"));
    QTRY_VERIFY_WITH_TIMEOUT(blocked.count() >= 30, LoadTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(times.size(), 40 - blocked.count(), 5000);
    // Popups waiting for their announcement are capped; a slow loop may see a few announced meanwhile.
    QVERIFY(times.size() < 10);
    bool ticked = false;
    QTimer::singleShot(10, [&] { ticked = true; });
    QTRY_VERIFY_WITH_TIMEOUT(ticked, 1000);
}

void TTabControllerTest::javaScriptDialogs_data() {
    QTest::addColumn<int>("kernel");
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("flags");
    const QString confirm = QStringLiteral("document.title = String(confirm('继续吗？'));");
    const QString prompt = QStringLiteral("document.title = String(prompt('输入', 'x'));");
    for (int kernel : {int(kChromium), int(kWebControl)}) {
        const QString engine = kernel == kChromium ? "chromium" : "web control";
        QTest::newRow(qPrintable(engine + ": confirm cancelled"))
            << kernel << confirm << int(IDCANCEL) << "false" << 33;
        QTest::newRow(qPrintable(engine + ": confirm ok")) << kernel << confirm << int(IDOK) << "true" << 33;
        QTest::newRow(qPrintable(engine + ": prompt ok keeps the proposed text"))
            << kernel << prompt << int(IDOK) << "x" << 33;
        QTest::newRow(qPrintable(engine + ": prompt cancelled"))
            << kernel << prompt << int(IDCANCEL) << "null" << 33;
    }
}

void TTabControllerTest::javaScriptDialogs() {
    QFETCH(int, kernel);
    QFETCH(QString, script);
    QFETCH(int, answer);
    QFETCH(QString, title);
    QFETCH(int, flags);
    const QString name =
        QStringLiteral("dialog-%1.html")
            .arg(QString::fromLatin1(QTest::currentDataTag()).toUtf8().toHex().left(16).constData());
    m_server->WriteFile(name, Page("start", QString(), script));
    m_answer = answer;
    TFixture f;
    f.Controller->OpenInNewTab(m_server->Url("/" + name), kernel);
    QTRY_COMPARE_WITH_TIMEOUT(f.Controller->CurrentTab()->Caption, title, LoadTimeout);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().second, flags);
}

void TTabControllerTest::dialogLoopLeavesBrowserUsable() {
    m_server->WriteFile("alerts.html",
                        Page("start", QString(),
                             "for (var i = 0; i < 20; ++i) alert('又一个 ' + i); document.title = 'done';"));
    TFixture f;
    // A user clicking through the boxes sees every one of them; from the second on, each offers
    // to silence the page.
    f.Controller->OpenInNewTab(m_server->Url("/alerts.html"));
    QTRY_COMPARE_WITH_TIMEOUT(f.Controller->CurrentTab()->Caption, QStringLiteral("done"), LoadTimeout);
    QCOMPARE(m_boxes.size(), 20);
    QCOMPARE(m_boxes.first().second & MB_OFFERSILENCE, 0);
    QCOMPARE(m_boxes.at(1).second & MB_OFFERSILENCE, MB_OFFERSILENCE);
    QCOMPARE(m_boxes.last().second & MB_OFFERSILENCE, MB_OFFERSILENCE);

    // Ticking the check box silences the page: its script runs on without boxes.
    m_boxes.clear();
    m_answer = IDOK | IDSILENCE;
    f.Controller->CurrentTab()->View()->Reload();
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes.size(), 2, LoadTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(f.Controller->CurrentTab()->Caption, QStringLiteral("done"), LoadTimeout);
    QCOMPARE(m_boxes.size(), 2);

    // Navigating again lets the page speak once more.
    m_boxes.clear();
    m_answer = IDOK;
    f.Controller->CurrentTab()->View()->Reload();
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes.size(), 20, LoadTimeout);
}

void TTabControllerTest::silencedEndlessBoxesEndTheScript() {
    // A page showing boxes without end, silenced by the user: its script is ended rather than left
    // running on without boxes (before, this never returned: the test ran into its time limit).
    m_server->WriteFile("endless.html",
                        Page("start", QString(),
                             "try { for (;;) alert('又一个'); } finally { document.title = 'ended'; }"));
    m_answer = IDOK | IDSILENCE;
    TFixture f;
    f.Controller->OpenInNewTab(m_server->Url("/endless.html"), kWebControl);
    QTRY_COMPARE_WITH_TIMEOUT(f.Controller->CurrentTab()->Caption, QStringLiteral("ended"), LoadTimeout);
    QCOMPARE(m_boxes.size(), 2); // the second box offered the silence that the user chose
}

void TTabControllerTest::promptGivesTypedText_data() {
    loadContract_data();
}

void TTabControllerTest::promptGivesTypedText() {
    QFETCH(int, kernel);
    m_server->WriteFile("prompt.html",
                        Page("start", QString(), "document.title = '[' + prompt('您的名字', '张三') + ']';"));
    QString proposed;
    SetPagePromptFunction([&](const QString&, int, QString* value) {
        proposed = *value;
        *value = QStringLiteral("李四 \"引号\"");
        return int(IDOK);
    });
    TFixture f;
    f.Controller->OpenInNewTab(m_server->Url("/prompt.html"), kernel);
    QTRY_COMPARE_WITH_TIMEOUT(f.Controller->CurrentTab()->Caption, QStringLiteral("[李四 \"引号\"]"),
                              LoadTimeout);
    QCOMPARE(proposed, QStringLiteral("张三"));
}

void TTabControllerTest::closeWaitsForOpenDialog_data() {
    QTest::addColumn<int>("kernel");
    QTest::addColumn<bool>("onlyTab");
    QTest::newRow("chromium, two tabs") << int(kChromium) << false;
    QTest::newRow("chromium, only tab") << int(kChromium) << true;
    QTest::newRow("web control, two tabs") << int(kWebControl) << false;
    QTest::newRow("web control, only tab") << int(kWebControl) << true;
}

void TTabControllerTest::closeWaitsForOpenDialog() {
    QFETCH(int, kernel);
    QFETCH(bool, onlyTab);
    m_server->WriteFile("confirm-close.html",
                        Page("start", QString(), "document.title = 'answered ' + confirm('关闭吗？');"));
    TFixture f;
    if (!onlyTab)
        f.Controller->OpenInNewTab(QStringLiteral("about:blank"));
    QSignalSpy lastClosed(f.Controller.get(), &TTabController::lastTabClosed);
    QSignalSpy closed(f.Controller.get(), &TTabController::pageClosed);
    const int tabs = onlyTab ? 1 : 2;
    int tabsWhileOpen = -1;
    // The user asks to close the tab while the page's box is open (Ctrl+W reaches the window).
    m_whileBoxOpen = [&] {
        f.Controller->CloseCurrentTab();
        QTest::qWait(800);
        tabsWhileOpen = f.Controller->TabCount();
        QCOMPARE(lastClosed.count(), 0);
        QCOMPARE(closed.count(), 0);
    };
    f.Controller->OpenInNewTab(m_server->Url("/confirm-close.html"), kernel);
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes.size(), 1, LoadTimeout);
    QCOMPARE(tabsWhileOpen, tabs);
    // Once the box has returned, the close goes ahead.
    if (onlyTab)
        QTRY_COMPARE_WITH_TIMEOUT(lastClosed.count(), 1, 5000);
    else
        QTRY_COMPARE_WITH_TIMEOUT(f.Controller->TabCount(), 1, 5000);
}

void TTabControllerTest::pageStaysPutUnderItsBox_data() {
    QTest::addColumn<int>("kernel");
    QTest::newRow("chromium") << int(kChromium);
    QTest::newRow("web control") << int(kWebControl);
}

void TTabControllerTest::pageStaysPutUnderItsBox() {
    QFETCH(int, kernel);
    m_server->WriteFile("confirm-stay.html",
                        Page("start", QString(), "document.title = 'answered ' + confirm('留下吗？');"));
    TFixture f;
    // Reload and back from the toolbar while the box waits: the page must not start again.
    m_whileBoxOpen = [&] {
        f.Controller->Refresh();
        f.Controller->GoBack();
        QTest::qWait(800);
    };
    f.Controller->OpenInNewTab(m_server->Url("/confirm-stay.html"), kernel);
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes.size(), 1, LoadTimeout);
    m_whileBoxOpen = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT(f.Controller->CurrentTab()->View()->Title().startsWith("answered"), 5000);
    QTest::qWait(1500);
    QCOMPARE(m_boxes.size(), 1);
}

void TTabControllerTest::webControlCloseRequestAsksOnce() {
    m_server->WriteFile("closer.html",
                        Page("关我", QString(), "setInterval(function(){ window.close(); }, 50);"));
    TFixture f;
    f.Controller->OpenInNewTab(QStringLiteral("about:blank"));
    QSignalSpy closed(f.Controller.get(), &TTabController::pageClosed);
    m_answer = IDNO;
    f.Controller->OpenInNewTab(m_server->Url("/closer.html"), kWebControl);
    QTRY_VERIFY_WITH_TIMEOUT(!m_boxes.isEmpty(), LoadTimeout);
    QTest::qWait(600);
    QCOMPARE(m_boxes.size(), 1); // "No": the page's further requests are not asked again
    QCOMPARE(m_boxes.first().first, QStringLiteral("您查看的网页正在试图关闭窗口。\r\n\r\n是否关闭此窗口?"));
    QCOMPARE(m_boxes.first().second, 36);
    QCOMPARE(f.Controller->TabCount(), 2);

    // After the page navigates it may ask again; "Yes" closes the tab.
    m_answer = IDYES;
    m_boxes.clear();
    // (the engine unloads a page that asks to close, so it is loaded anew)
    f.Controller->TabAt(1)->View()->Navigate(m_server->Url("/closer.html"));
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes.size(), 1, LoadTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, LoadTimeout);
    QCOMPARE(f.Controller->TabCount(), 1);
}

void TTabControllerTest::engineMemoryAndSwitchBack() {
    m_server->WriteFile("host-a.html", Page("主机甲"));
    m_server->WriteFile("host-b.html", Page("主机乙"));
    const QString port = QString::number(m_server->Port());
    const QString first = "http://localhost:" + port + "/host-a.html";
    TFixture f;
    QSignalSpy hints(f.Controller.get(), &TTabController::kernelHintChanged);
    QSignalSpy sentToCompat(f.Controller.get(), &TTabController::hostSentToCompatEngine);
    f.Controller->OpenInNewTab(first);
    TBrowserTab* tab = f.Controller->CurrentTab();
    QTRY_COMPARE_WITH_TIMEOUT(tab->Caption, QStringLiteral("主机甲"), LoadTimeout);
    QVERIFY(WaitIdle(tab));
    TChromiumView* chromium = tab->Browser;
    QSignalSpy chromiumLoads(chromium, &QWebEngineView::loadStarted);

    // To the compatibility engine: the page is shown there, the host is remembered.
    f.Controller->SwitchEngine();
    QCOMPARE(tab->Kernel, int(kWebControl));
    QCOMPARE(hints.last().first().toString(), QStringLiteral("ie内核"));
    QCOMPARE(sentToCompat.count(), 1); // the window's notice is offered for the host
    QCOMPARE(sentToCompat.first().first().toString(), "localhost:" + port);
    QVERIFY(tab->WebControl);
    QVERIFY(WaitIdle(tab));
    QCOMPARE(tab->WebControl->CurrentUrl(), first);
    QCOMPARE(f.Kernels.LookupKernel(first).kernel, quint8(1));

    // Another page of the same host text opens with it; other letter case does not.
    f.Controller->OpenInNewTab("http://localhost:" + port + "/host-b.html");
    QCOMPARE(f.Controller->CurrentTab()->Kernel, int(kWebControl));
    QCOMPARE(sentToCompat.count(), 1);
    f.Controller->OpenInNewTab("http://LOCALHOST:" + port + "/host-b.html");
    QCOMPARE(f.Controller->CurrentTab()->Kernel, int(kChromium));

    // Back to Chromium: the first view again, shown without a reload.
    f.Controller->SetCurrentIndex(0);
    f.Controller->SwitchEngine();
    QCOMPARE(tab->Kernel, int(kChromium));
    QCOMPARE(tab->Browser, chromium);
    QCOMPARE(hints.last().first().toString(), QStringLiteral("Chrome内核"));
    QVERIFY(tab->Browser->isVisible());
    QVERIFY(!tab->WebControl->isVisible());
    QTest::qWait(500);
    QCOMPARE(chromiumLoads.count(), 0);
    QCOMPARE(tab->Browser->CurrentUrl(), first);
    QCOMPARE(f.Kernels.LookupKernel(first).kernel, quint8(0));
}

void TTabControllerTest::missingCompatibilityEngineKeepsChromium() {
    m_server->WriteFile("no-module.html", Page("无模块"));
    const QString address = "http://127.0.0.1:" + QString::number(m_server->Port()) + "/no-module.html";
    TFixture f;
    int asked = 0;
    f.Controller->SetWebControlFactory([&asked](QWidget*) -> TWebControlView* {
        ++asked;
        return nullptr;
    });
    QSignalSpy hints(f.Controller.get(), &TTabController::kernelHintChanged);

    // A tab opened for the compatibility engine shows the page with Chromium instead.
    f.Controller->OpenInNewTab(address, kWebControl);
    TBrowserTab* tab = f.Controller->CurrentTab();
    QCOMPARE(asked, 1);
    QCOMPARE(tab->Kernel, int(kChromium));
    QVERIFY(tab->Browser);
    QVERIFY(!tab->WebControl);
    QCOMPARE(tab->EngineWindow, static_cast<QWidget*>(tab->Browser));
    QTRY_COMPARE_WITH_TIMEOUT(tab->Caption, QStringLiteral("无模块"), LoadTimeout);
    QCOMPARE(f.Kernels.LookupKernel(address).kernel, quint8(0));

    // Switching the tab leaves it on Chromium, loaded and visible, and remembers nothing new.
    QVERIFY(WaitIdle(tab));
    f.Controller->SwitchEngine();
    QCOMPARE(asked, 2);
    QCOMPARE(tab->Kernel, int(kChromium));
    QVERIFY(!tab->WebControl);
    QVERIFY(tab->Browser->isVisible());
    QCOMPARE(hints.count(), 0);
    QCOMPARE(f.Kernels.LookupKernel(address).kernel, quint8(0));
}

void TTabControllerTest::compatibilityEngineModuleIsFoundInTheBuild() {
    // A folder without the module gives no factory.
    QTemporaryDir empty;
    QVERIFY(!LoadWebControlModule({empty.path() + "/"}));

    // The build's lib/ folder (one level above the tests' folder) holds it.
    const TWebControlFactory factory = LoadWebControlModule(ModuleFolders());
    QVERIFY(factory);
    QWidget parent;
    std::unique_ptr<TWebControlView> control(factory(&parent));
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), &parent);
    QCOMPARE(control->Widget(), static_cast<QWidget*>(control.get()));
    QCOMPARE(control->CurrentUrl(), QStringLiteral("about:blank"));

    // Its signals reach receivers connected through the browser's interface.
    m_server->WriteFile("module.html", Page("模块页"));
    QSignalSpy titles(control.get(), &TWebControlView::titleChange);
    QSignalSpy completes(control.get(), &TWebControlView::documentComplete);
    control->Navigate("http://127.0.0.1:" + QString::number(m_server->Port()) + "/module.html");
    QTRY_VERIFY_WITH_TIMEOUT(!completes.isEmpty(), LoadTimeout);
    QVERIFY(completes.first().first().toBool());
    QVERIFY(!titles.isEmpty());
    QCOMPARE(titles.last().first().toString(), QStringLiteral("模块页"));
    QCOMPARE(control->Title(), QStringLiteral("模块页"));
}

void TTabControllerTest::compatibilityEngineTextsAreChinese() {
    // The engine's menu entries and form texts come through Qt's translation once a control exists.
    QWidget parent;
    std::unique_ptr<TWebControlView> control(CreateWebControlView(&parent));
    QVERIFY(control);
    QCOMPARE(QCoreApplication::translate("QWebPage", "Open Link"), QStringLiteral("打开链接"));
    QCOMPARE(QCoreApplication::translate("QWebPage", "Save Image"), QStringLiteral("图片另存为..."));
    QCOMPARE(QCoreApplication::translate("QWebPage", "Choose File"), QStringLiteral("选择文件"));
    QCOMPARE(QCoreApplication::translate("QWebPage", "No file selected"), QStringLiteral("未选择任何文件"));
    // Other texts keep their own translation.
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Open"));
}

void TTabControllerTest::credentialsAreUsedOnce() {
    TFixture f;
    int prompts = 0;
    QString promptText;
    bool confirm = false;
    f.Controller->SetAuthPromptFunction([&](const QString& prompt, QString* user, QString* password) {
        ++prompts;
        promptText = prompt;
        *user = QStringLiteral("user");
        *password = QStringLiteral("pass");
        return confirm;
    });
    const QString url = m_server->Url("/_auth");
    auto pageText = [&f] {
        QString text;
        bool done = false;
        f.Controller->CurrentTab()->Browser->page()->toPlainText([&](const QString& t) {
            text = t;
            done = true;
        });
        for (int i = 0; i < 250 && !done; ++i)
            QTest::qWait(20);
        return text;
    };

    // Cancelled: the request stays refused, nothing is stored and nothing asks again.
    f.Controller->OpenInNewTab(url);
    QTRY_COMPARE_WITH_TIMEOUT(prompts, 1, LoadTimeout);
    QCOMPARE(
        promptText,
        QStringLiteral("位于 quellon-test 的服务器 127.0.0.1:%1 要求用户和密码。").arg(m_server->Port()));
    QVERIFY(WaitIdle(f.Controller->CurrentTab()));
    QTest::qWait(300);
    QCOMPARE(prompts, 1);
    QVERIFY(!pageText().contains("authorized"));

    // Confirmed: the page is reloaded, the repeated request carries the credentials once.
    confirm = true;
    f.Controller->Refresh();
    QTRY_COMPARE_WITH_TIMEOUT(prompts, 2, LoadTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(pageText().contains("authorized"), LoadTimeout);
    QCOMPARE(prompts, 2);
}

void TTabControllerTest::downloadsAreRefusedAndAnnounced_data() {
    QTest::addColumn<int>("kernel");
    QTest::newRow("chromium") << int(kChromium);
    QTest::newRow("web control") << int(kWebControl);
}

void TTabControllerTest::downloadsAreRefusedAndAnnounced() {
    QFETCH(int, kernel);
    TFixture f;
    QSignalSpy downloads(f.Controller.get(), &TTabController::downloadRequested);
    const QString url = m_server->Url(QStringLiteral("/_gen/4096"));
    f.Controller->OpenInNewTab(QStringLiteral("about:blank"), kernel);
    f.Controller->CurrentTab()->View()->Navigate(url);
    QTRY_COMPARE_WITH_TIMEOUT(downloads.count(), 1, LoadTimeout);
    QCOMPARE(downloads.first().at(0).toString(), url);
    QCOMPARE(downloads.first().at(1).toString(), QStringLiteral("4096"));
    // Chromium may not know the size before the download would start (-1).
    const qint64 size = downloads.first().at(2).toLongLong();
    QVERIFY(size == 4096 || (kernel == kChromium && size == -1));
    QTest::qWait(300);
    QCOMPARE(downloads.count(), 1);

    // A download from a shown page leaves the page as it is: no error page, no visit for one.
    m_server->WriteFile("stays.html", Page("留在这里"));
    const QString page = m_server->Url("/stays.html");
    TBrowserTab* tab = f.Controller->CurrentTab();
    tab->View()->Navigate(page);
    QTRY_COMPARE_WITH_TIMEOUT(tab->Caption, QStringLiteral("留在这里"), LoadTimeout);
    QVERIFY(WaitIdle(tab));
    tab->View()->Navigate(url + "?again");
    QTRY_COMPARE_WITH_TIMEOUT(downloads.count(), 2, LoadTimeout);
    QVERIFY(WaitIdle(tab));
    QTest::qWait(500);
    QCOMPARE(tab->Caption, QStringLiteral("留在这里"));
    QCOMPARE(tab->View()->CurrentUrl(), page);
    QCOMPARE(f.HistoryRow(url + "?again").SiteUrl, QString());
}

void TTabControllerTest::openingInCurrentTabRemembersTheOpenedHost() {
    m_server->WriteFile("old-host.html", Page("旧主机"));
    m_server->WriteFile("new-host.html", Page("新主机"));
    const QString port = QString::number(m_server->Port());
    const QString oldPage = "http://127.0.0.1:" + port + "/old-host.html";
    const QString newPage = "http://localhost:" + port + "/new-host.html";
    TFixture f;
    f.Kernels.RememberKernel(newPage, kWebControl);
    f.Controller->OpenInNewTab(oldPage);
    TBrowserTab* tab = f.Controller->CurrentTab();
    QTRY_COMPARE_WITH_TIMEOUT(tab->Caption, QStringLiteral("旧主机"), LoadTimeout);

    // The remembered engine of the host being opened takes over the tab and shows that address;
    // the memory of the page left behind is untouched.
    f.Controller->OpenInCurrentTab(newPage);
    QCOMPARE(tab->Kernel, int(kWebControl));
    QTRY_COMPARE_WITH_TIMEOUT(tab->Caption, QStringLiteral("新主机"), LoadTimeout);
    QCOMPARE(f.Kernels.LookupKernel(oldPage).kernel, quint8(kChromium));
    QCOMPARE(f.Kernels.LookupKernel(newPage).kernel, quint8(kWebControl));
}

void TTabControllerTest::ctrlClickOpensInBackgroundKeysActivate() {
    TFixture f;
    f.Controller->SetCtrlHeldFunction(nullptr); // the controller's own rule
    f.Controller->OpenInNewTab(QStringLiteral("about:blank"));
    // A key command made with Ctrl (Ctrl+T, Ctrl+Enter) activates its tab.
    QTest::keyClick(&f.Window, Qt::Key_T, Qt::ControlModifier);
    f.Controller->OpenInNewTab(QStringLiteral("about:blank"));
    QCOMPARE(f.Controller->CurrentIndex(), 1);
    // A click made with Ctrl held opens in the background; a plain click activates.
    QTest::mouseClick(&f.Window, Qt::LeftButton, Qt::ControlModifier);
    f.Controller->OpenInNewTab(QStringLiteral("about:blank"));
    QCOMPARE(f.Controller->TabCount(), 3);
    QCOMPARE(f.Controller->CurrentIndex(), 1);
    QTest::mouseClick(&f.Window, Qt::LeftButton);
    f.Controller->OpenInNewTab(QStringLiteral("about:blank"));
    QCOMPARE(f.Controller->CurrentIndex(), 3);
}

void TTabControllerTest::pageIconComesWithoutFetchingThePageAgain() {
    // A one-time page: a second GET of it would repeat what it does.
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray icon;
    QBuffer buffer(&icon);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
    QVERIFY(m_server->WriteFile("once-icon.png", icon));
    m_server->WriteFile("once.html",
                        QByteArrayLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                          "<title>once</title><link rel=\"icon\" href=\"once-icon.png\">"
                                          "</head><body>once</body></html>"));
    QVERIFY(QDir().mkpath(UserDataDir())); // made at start-up by the program
    TFixture f;
    m_server->ResetStats();
    f.Controller->OpenInNewTab(m_server->Url("/once.html"));
    TBrowserTab* tab = f.Controller->CurrentTab();
    QTRY_COMPARE_WITH_TIMEOUT(tab->Caption, QStringLiteral("once"), LoadTimeout);
    QVERIFY(WaitIdle(tab));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(tab->FaviconFile).size() == icon.size(), LoadTimeout);
    QTest::qWait(500);
    QCOMPARE(m_server->Requests("/once.html"), 1);
}

void TTabControllerTest::refusedCertificateIsKnownToThePage() {
    // A local https server with a self-signed certificate: the engine refuses it, and the tab
    // knows, so the address bar shows no lock for it.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QCOMPARE(QProcess::execute(QStringLiteral("openssl"),
                               {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", dir.filePath("k.pem"),
                                "-out", dir.filePath("c.pem"), "-days", "1", "-subj", "/CN=127.0.0.1"}),
             0);
    TTestServer server(dir.path(), dir.filePath("c.pem"), dir.filePath("k.pem"));
    QVERIFY2(server.Running(), qPrintable(server.ErrorText()));
    TFixture f;
    m_server->WriteFile("plain.html", Page("明文"));
    f.Controller->OpenInNewTab(m_server->Url("/plain.html"));
    QTRY_COMPARE_WITH_TIMEOUT(f.Controller->CurrentTab()->Caption, QStringLiteral("明文"), LoadTimeout);
    QVERIFY(!f.Controller->CurrentTab()->View()->CertificateRefused());
    f.Controller->OpenInCurrentTab(server.Url("/"));
    QTRY_VERIFY_WITH_TIMEOUT(f.Controller->CurrentTab()->View()->CertificateRefused(), LoadTimeout);
}

QUELLON_ENGINE_TEST_MAIN(TTabControllerTest)

#include "tst_TabController.moc"
