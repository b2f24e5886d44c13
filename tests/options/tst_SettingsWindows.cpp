// The settings windows in the real main window (Xvfb): the options page in its tab saves the
// focused control when the browser closes, the menu opens the history manager whose rows open in
// new tabs, clean at exit clears the kinds last ticked, the update strip from a local update host,
// the Chromium engine's live cookie store emptied by the cleaner, and the address bar keeping the
// keyboard when the window is activated after a click into it.
#include "browser/BrowserTab.h"
#include "browser/ChromiumStores.h"
#include "browser/TabController.h"
#include "common/AnsiCodec.h"
#include "common/AppPaths.h"
#include "common/Dialogs.h"
#include "history/FormManageHistory.h"
#include "history/History.h"
#include "history/PageLog.h"
#include "maintenance/CacheCleaner.h"
#include "options/FormOption.h"
#include "shell/FormMain.h"
#include "storage/Config.h"
#include "support/ModalAnswerer.h"
#include "support/TestDb.h"
#include "support/TestServer.h"

#include "support/EngineTestMain.h"
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QtTest>
#include <memory>

namespace {
constexpr int kWait = 20000;
} // namespace

class TestSettingsWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_appDir.isValid());
        SetAppDir(m_appDir.path() + QStringLiteral("/"));
        QDir().mkpath(AppDir() + QStringLiteral("res/site"));
        QFile navigation(AppDir() + QStringLiteral("res/site/123.html"));
        QVERIFY(navigation.open(QIODevice::WriteOnly));
        navigation.write("<html><head><title>nav</title></head><body>nav</body></html>");
        TTabController::SetMsgBoxFunction([](const QString&, int) { return int(IDOK); });
    }

    void cleanup() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<TFormMain*>(widget))
                window->close();
    }

    void optionsPageSavesTheFocusedControlAtClose() {
        TTestDb data;
        auto window = Open(data);
        window->OpenInCurrentTab(QStringLiteral("about:config"));
        TFormOption* options = window->OptionsWindow();
        QVERIFY(options);
        QVERIFY(window->CurrentTab()->Page->isAncestorOf(options));
        QVERIFY(window->OptionsPageWheel(-1));
        auto* home = options->findChild<QLineEdit*>(QStringLiteral("bsSkinEditHome"));
        home->setFocus();
        home->setText(QStringLiteral(" http://home.example/ "));
        window->close();
        QVERIFY(data.Db().Open(data.FilePath())); // closing the browser closed the data file
        QCOMPARE(TConfig(data.Db()).GetValue(TConfigKey::HomePage), QStringLiteral("http://home.example/"));
    }

    void menuOpensTheHistoryManagerWhoseRowsOpenInNewTabs() {
        TTestDb data;
        auto window = Open(data);
        THistoryInfo visit;
        visit.SiteName = QStringLiteral("访问");
        visit.SiteUrl = QStringLiteral("about:blank#visited");
        QVERIFY(window->History()->AddVisit(visit));
        auto* item = window->findChild<QAction*>(QStringLiteral("NViewHistory"));
        QVERIFY(item->isEnabled());
        QVERIFY(!window->OptionsPageWheel(1)); // no options page current
        const int tabs = window->Tabs()->TabCount();
        bool seen = false;
        TModalAnswerer answerer([&](QWidget* modal) {
            auto* manager = qobject_cast<TFormManageHistory*>(modal);
            QVERIFY(manager);
            QTRY_VERIFY(!manager->Loading());
            auto* list = manager->findChild<QTreeWidget*>(QStringLiteral("bsSkinListView1"));
            QTRY_COMPARE(list->topLevelItemCount(), 1);
            emit list->itemDoubleClicked(list->topLevelItem(0), 0);
            seen = true;
            manager->close();
        });
        item->trigger();
        QVERIFY(seen);
        QTRY_COMPARE_WITH_TIMEOUT(window->Tabs()->TabCount(), tabs + 1, kWait);
    }

    void cleanAtExitClearsTheKindsLastTicked() {
        TTestDb data;
        {
            TConfig config(data.Db());
            QVERIFY(config.SetValue(TConfigKey::ClearTracesOnExit, QStringLiteral("1")));
            QVERIFY(StoreCleanKinds(config, ckHistory));
        }
        auto window = Open(data);
        QVERIFY(window->findChild<QToolButton*>(QStringLiteral("bsSkinSpeedButtonSpeed"))->isEnabled());
        QVERIFY(window->findChild<QAction*>(QStringLiteral("NDeleteCache"))->isEnabled());
        THistoryInfo visit;
        visit.SiteUrl = QStringLiteral("http://visited.example/");
        QVERIFY(window->History()->AddVisit(visit));
        window->close();
        QVERIFY(data.Db().Open(data.FilePath()));
        THistory history(data.Db());
        QCOMPARE(history.LoadHistoryRange(0, 0x7FFFFFFF).size(), 0);
        QCOMPARE(TPageLog(data.Db()).CountPageLog(), 0);
    }

    void updateStripFromTheUpdateHost() {
        TTestServer server;
        QVERIFY(server.Running());
        QVERIFY(
            server.WriteFile(QStringLiteral("ver.html"), ToAnsi(R"({"Version": "9.9", "Info": "请更新"})")));
        TTestDb data;
        auto window = Open(data);
        auto* strip = window->findChild<QWidget*>(QStringLiteral("PanelUpdate"));
        QVERIFY(!strip->isVisible());
        window->CheckForUpdate(QStringLiteral("127.0.0.1:%1").arg(server.Port()));
        QTRY_VERIFY_WITH_TIMEOUT(strip->isVisible(), kWait);
        QCOMPARE(strip->findChild<QLabel*>(QStringLiteral("LabelUpdate"))->text(), QStringLiteral("请更新"));
        strip->findChild<QPushButton*>(QStringLiteral("bsSkinButtonUpdateNo"))->click();
        QVERIFY(!strip->isVisible());
        QVERIFY(!window->Closing);
        window->CheckForUpdate(QStringLiteral("127.0.0.1:%1").arg(server.Port())); // once per run
        QTest::qWait(200);
        QCOMPARE(server.Requests(QStringLiteral("/ver.html")), 1);
    }

    void updateYesStartsTheUpdaterAndCloses() {
        TTestServer server;
        QVERIFY(server.Running());
        QVERIFY(server.WriteFile(QStringLiteral("ver.html"), R"({"Version": "2.0"})"));
        QFile script(AppDir() + QStringLiteral("Update"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$1\" > updater.tmp && mv updater.tmp updater.txt\n");
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        TTestDb data;
        auto window = Open(data);
        window->CheckForUpdate(QStringLiteral("127.0.0.1:%1").arg(server.Port()));
        auto* strip = window->findChild<QWidget*>(QStringLiteral("PanelUpdate"));
        QTRY_VERIFY_WITH_TIMEOUT(strip->isVisible(), kWait);
        strip->findChild<QPushButton*>(QStringLiteral("bsSkinButtonUpdateYes"))->click();
        QVERIFY(window->Closing);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(AppDir() + QStringLiteral("updater.txt")), kWait);
        QFile::remove(AppDir() + QStringLiteral("Update"));
    }

    void chromiumCookiesAreClearedInTheLiveStore() {
        QWebEngineCookieStore* store = QWebEngineProfile::defaultProfile()->cookieStore();
        QSignalSpy added(store, &QWebEngineCookieStore::cookieAdded);
        QSignalSpy removed(store, &QWebEngineCookieStore::cookieRemoved);
        QNetworkCookie cookie("session", "secret");
        cookie.setDomain(QStringLiteral("cookie.example"));
        cookie.setPath(QStringLiteral("/"));
        cookie.setExpirationDate(QDateTime::currentDateTime().addDays(3));
        store->setCookie(cookie, QUrl(QStringLiteral("http://cookie.example/")));
        QTRY_VERIFY_WITH_TIMEOUT(!added.isEmpty(), kWait);
        ClearEngineStores(ckCookies);
        QTRY_VERIFY_WITH_TIMEOUT(!removed.isEmpty(), kWait);
        QCOMPARE(removed.first().first().value<QNetworkCookie>().name(), QByteArray("session"));
    }

    // A click into the address bar just before the window becomes active (the window manager's
    // activation comes late, or the options page is opened by typing right after the start) keeps
    // the keyboard there: the activation hands it to the page only when no control of the window
    // had it.
    void addressBarClickedBeforeActivationKeepsTheKeyboard() {
        TTestDb data;
        auto window = Open(data);
        auto* edit = window->findChild<QLineEdit*>(QStringLiteral("EditUrl"));
        QVERIFY(edit);
        QWidget elsewhere;
        elsewhere.show();
        QApplication::setActiveWindow(&elsewhere);
        QTRY_VERIFY(!window->isActiveWindow());
        edit->setFocus(Qt::MouseFocusReason);
        QApplication::setActiveWindow(window.get());
        QTRY_VERIFY(window->isActiveWindow());
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), edit);
    }

private:
    std::unique_ptr<TFormMain> Open(TTestDb& data) {
        auto window = std::make_unique<TFormMain>(data.Db(), QString());
        window->show();
        QApplication::setActiveWindow(window.get());
        QElapsedTimer timer;
        timer.start();
        while (window->Tabs()->TabCount() == 0 && timer.elapsed() < kWait)
            QTest::qWait(20);
        return window;
    }

    QTemporaryDir m_appDir;
};

QUELLON_ENGINE_TEST_MAIN(TestSettingsWindows)
#include "tst_SettingsWindows.moc"
