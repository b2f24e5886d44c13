// Sleeping tabs with the real engines: a compatibility-engine tab drops its view and loads again
// when shown; an idle Chromium tab past a short limit is frozen, discarded, and comes back with
// its history.
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
    QVERIFY(WaitIdle(tab));
    QTRY_COMPARE_WITH_TIMEOUT(tab->Caption, QStringLiteral("旧内核页"), LoadTimeout);

    // The current tab never sleeps; once another tab is shown it does.
    QVERIFY(!f.Controller->SleepTab(0));
    f.Controller->OpenInNewTab(Address("new.html", "新页"), kChromium);
    QPointer<TWebControlView> control = tab->WebControl;
    QVERIFY(f.Controller->SleepTab(0));
    QVERIFY(!tab->WebControl);
    QTRY_VERIFY(control.isNull()); // the view and its page are gone, address and caption stay
    QCOMPARE(tab->CurrentUrl(), old);
    QVERIFY(!f.Controller->SleepTab(0)); // asleep already

    // Shown again: a new view of the same engine loads the address.
    f.Controller->SetCurrentIndex(0);
    QVERIFY(tab->WebControl);
    QVERIFY(WaitIdle(tab));
    QCOMPARE(tab->WebControl->Title(), QStringLiteral("旧内核页"));
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
    f.Controller->OpenInNewTab(Address("front.html", "前台"), kChromium);
    // Frozen first, then discarded as the engine recommends for a hidden silent page.
    QTRY_COMPARE_WITH_TIMEOUT(idle->Sleep, TTabSleep::Discarded, LoadTimeout);
    QCOMPARE(f.Controller->CurrentTab()->Sleep, TTabSleep::Awake);

    f.Controller->SetCurrentIndex(0);
    QCOMPARE(idle->Browser->page()->lifecycleState(), QWebEnginePage::LifecycleState::Active);
    QTRY_COMPARE_WITH_TIMEOUT(idle->Browser->title(), QStringLiteral("闲置"), LoadTimeout);
    // The back list survived the discard.
    QVERIFY(idle->Browser->history()->canGoBack());
    QCOMPARE(idle->Browser->history()->backItem().url().toString(), before);
}

QUELLON_ENGINE_TEST_MAIN(TTabSleeperTest)

#include "tst_TabSleeper.moc"
