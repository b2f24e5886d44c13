// Sleeping tabs with the real engines: a compatibility-engine tab drops its view and loads again
// when shown, a restored tab has no page until shown and keeps its address for the closed pages,
// an idle Chromium tab past a short limit is frozen, discarded, and comes back with its history.
#include "browser/ChromiumView.h"
#include "browser/WebControlView.h"
#include "common/AppPaths.h"
#include "support/EngineTestMain.h"
#include "support/TabControllerFixture.h"
#include "support/TestServer.h"

#include <QPointer>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWebEngineHistory>
#include <QWebEnginePage>

class TTabSleeperTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void compatibilityTabSleepsAndComesBack();
    void restoredTabLoadsWhenShownAndKeepsItsAddress();
    void idleChromiumTabIsDiscardedAndKeepsItsHistory();

private:
    QString Address(const QString& name, const QString& title) {
        m_server->WriteFile(name, Page(title));
        return "http://127.0.0.1:" + QString::number(m_server->Port()) + "/" + name;
    }
    QTemporaryDir m_appDir;
    std::unique_ptr<TTestServer> m_server;
};

void TTabSleeperTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_appDir.isValid());
    SetAppDir(m_appDir.path() + "/");
    m_server = std::make_unique<TTestServer>();
    QVERIFY2(m_server->Running(), qPrintable(m_server->ErrorText()));
}

void TTabSleeperTest::compatibilityTabSleepsAndComesBack() {
    const QString old = Address("old.html", "旧内核页");
    TFixture f;
    f.Controller->OpenInNewTab(old, kWebControl);
    TBrowserTab* tab = f.Controller->CurrentTab();
    QVERIFY(tab->WebControl);
    QVERIFY(WaitIdle(tab));
    QTRY_COMPARE_WITH_TIMEOUT(tab->PageUrl, old, LoadTimeout);
    QCOMPARE(tab->Caption, QStringLiteral("旧内核页"));

    // The current tab never sleeps; once another tab is shown it does.
    QVERIFY(!f.Controller->SleepTab(0));
    f.Controller->OpenInNewTab(Address("new.html", "新页"), kChromium);
    QPointer<TWebControlView> control = tab->WebControl;
    QVERIFY(f.Controller->SleepTab(0));
    QCOMPARE(tab->Sleep, TTabSleep::Unloaded);
    QVERIFY(!tab->WebControl);
    QTRY_VERIFY(control.isNull()); // the view and its page are gone
    QCOMPARE(tab->CurrentUrl(), old);
    QCOMPARE(tab->Caption, QStringLiteral("旧内核页"));
    QVERIFY(!f.Controller->SleepTab(0)); // asleep already

    // Shown again: a new view of the same engine loads the address.
    f.Controller->SetCurrentIndex(0);
    QCOMPARE(tab->Sleep, TTabSleep::Awake);
    QCOMPARE(tab->Kernel, int(kWebControl));
    QVERIFY(tab->WebControl);
    QVERIFY(WaitIdle(tab));
    QCOMPARE(tab->WebControl->CurrentUrl(), old);
    QCOMPARE(tab->WebControl->Title(), QStringLiteral("旧内核页"));
}

void TTabSleeperTest::restoredTabLoadsWhenShownAndKeepsItsAddress() {
    const QString kept = Address("kept.html", "留下");
    const QString closed = Address("closed.html", "关掉");
    TFixture f;
    f.Controller->OpenInNewTab(Address("first.html", "第一"), kChromium);
    QSignalSpy pagesChanged(f.Controller.get(), &TTabController::openPagesChanged);
    f.Controller->OpenSleepingTab(kept, QStringLiteral("留下的标题"));
    f.Controller->OpenSleepingTab(closed, QString());
    QCOMPARE(f.Controller->CurrentIndex(), 0);
    QCOMPARE(pagesChanged.count(), 2);
    TBrowserTab* tab = f.Controller->TabAt(1);
    QVERIFY(!tab->View());
    QCOMPARE(tab->Sleep, TTabSleep::Unloaded);
    QCOMPARE(tab->PageUrl, kept);
    QCOMPARE(tab->Caption, QStringLiteral("留下的标题"));
    QCOMPARE(f.Controller->TabAt(2)->Caption, closed); // no title known: the address

    // Closed unseen, it is a closed page with its address: Ctrl+Shift+T finds it.
    QSignalSpy closedPages(f.Controller.get(), &TTabController::pageClosed);
    f.Controller->RequestCloseTab(2);
    QTRY_COMPARE_WITH_TIMEOUT(closedPages.count(), 1, LoadTimeout);
    QCOMPARE(closedPages.first().at(1).toString(), closed);
    QVERIFY(f.IsClosedRow(closed));
    QCOMPARE(f.Closed.NextToReopen().value_or(QString()), closed);

    f.Controller->SetCurrentIndex(1);
    QVERIFY(tab->Browser);
    QCOMPARE(tab->Idle, quint8(0)); // loading at once
    QVERIFY(WaitIdle(tab));
    QCOMPARE(tab->Browser->CurrentUrl(), kept);
    QCOMPARE(tab->Caption, QStringLiteral("留下"));
}

void TTabSleeperTest::idleChromiumTabIsDiscardedAndKeepsItsHistory() {
    qputenv("QUELLON_TAB_SLEEP_SECONDS", "1"); // read at every check
    const auto unset = qScopeGuard([] { qunsetenv("QUELLON_TAB_SLEEP_SECONDS"); });
    TFixture f;
    const QString before = Address("before.html", "之前");
    f.Controller->OpenInNewTab(before, kChromium);
    TBrowserTab* idle = f.Controller->CurrentTab();
    QVERIFY(WaitIdle(idle));
    f.Controller->OpenInCurrentTab(Address("idle.html", "闲置"));
    QTRY_COMPARE_WITH_TIMEOUT(idle->Browser->title(), QStringLiteral("闲置"), LoadTimeout);
    QVERIFY(WaitIdle(idle));
    f.Controller->OpenInNewTab(Address("front.html", "前台"), kChromium);
    TBrowserTab* front = f.Controller->CurrentTab();
    // Frozen first, then discarded as the engine recommends for a hidden silent page.
    QTRY_COMPARE_WITH_TIMEOUT(idle->Sleep, TTabSleep::Discarded, LoadTimeout);
    QCOMPARE(front->Sleep, TTabSleep::Awake);
    QCOMPARE(idle->CurrentUrl(), idle->PageUrl);

    f.Controller->SetCurrentIndex(0);
    QCOMPARE(idle->Sleep, TTabSleep::Awake);
    QCOMPARE(idle->Browser->page()->lifecycleState(), QWebEnginePage::LifecycleState::Active);
    QTRY_COMPARE_WITH_TIMEOUT(idle->Browser->title(), QStringLiteral("闲置"), LoadTimeout);
    // The back list survived the discard.
    QVERIFY(idle->Browser->history()->canGoBack());
    QCOMPARE(idle->Browser->history()->backItem().url().toString(), before);
}

QUELLON_ENGINE_TEST_MAIN(TTabSleeperTest)

#include "tst_TabSleeper.moc"
