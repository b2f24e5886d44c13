// The main window's pages seen from outside the tab controller: the page log follows the open
// pages while browsing (so a crash or kill loses nothing the restore bar needs), a file dropped on
// the page area opens in a new tab, the tab strip is not clipped by its row, and a page's download
// reaches the new-download dialog with the size the server announced.
#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/TabController.h"
#include "common/Dialogs.h"
#include "support/ModalAnswerer.h"
#include "history/PageLog.h"
#include "shell/FormMain.h"
#include "support/TestDb.h"
#include "support/WindowTestKit.h"

#include "support/EngineTestMain.h"
#include <QApplication>
#include <QLabel>

#include <QtTest>
#include <memory>

class TWindowPagesTest final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void pageLogFollowsOpenPages();
    void fileDroppedOnPageOpensNewTab();
    void tabStripFitsItsRow();
    void downloadDialogShowsTheAnnouncedSize_data();
    void downloadDialogShowsTheAnnouncedSize();

private:
    QString Url(const QString& name) const { return m_site->Url(name); }

    std::unique_ptr<TWindowTestSite> m_site;
};

void TWindowPagesTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    m_site = std::make_unique<TWindowTestSite>(QStringList{"a", "b", "c"});
    QVERIFY2(m_site->ErrorText().isEmpty(), qPrintable(m_site->ErrorText()));
    TTabController::SetMsgBoxFunction([](const QString&, int) { return int(IDOK); });
}

void TWindowPagesTest::cleanup() {
    CloseMainWindows();
}

void TWindowPagesTest::pageLogFollowsOpenPages() {
    TTestDb data;
    // The last session's pages are offered; the log then follows this session.
    QVERIFY(TPageLog(data.Db()).SavePageLog({{Url("c")}}));
    auto window = OpenWindow(data.Db());
    TTabController* tabs = window->Tabs();
    window->OpenInCurrentTab(Url("a"));
    window->OpenInNewTab(Url("b"));
    QTRY_COMPARE_WITH_TIMEOUT(StoredPageLog(data.Db()), QStringList({Url("a"), Url("b")}), LoadTimeout);

    // A closed tab leaves the log without the window closing.
    tabs->RequestCloseTab(0);
    QTRY_COMPARE_WITH_TIMEOUT(StoredPageLog(data.Db()), QStringList({Url("b")}), LoadTimeout);

    // The pages offered at start are still those of the last session.
    QWidget* yes = window->findChild<QWidget*>(QStringLiteral("bsSkinButtonYes"));
    QVERIFY(yes);
    QMetaObject::invokeMethod(yes, "click");
    QTRY_COMPARE_WITH_TIMEOUT(tabs->CurrentTab()->PageUrl, Url("c"), LoadTimeout);
}

void TWindowPagesTest::fileDroppedOnPageOpensNewTab() {
    TTestDb data;
    QFile file(m_site->AppDir() + QStringLiteral("/拖入.html"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(PageHtml(QStringLiteral("拖入的文件")));
    file.close();
    auto window = OpenWindow(data.Db());
    TTabController* tabs = window->Tabs();
    window->OpenInCurrentTab(Url("a"));
    QTRY_COMPARE_WITH_TIMEOUT(tabs->CurrentTab()->Caption, QStringLiteral("Page a"), LoadTimeout);
    TBrowserTab* first = tabs->CurrentTab();
    QWidget* page = PageInput(first);
    QVERIFY(DropUrls(page, page->rect().center(), {QUrl::fromLocalFile(file.fileName())}));

    QTRY_COMPARE_WITH_TIMEOUT(tabs->TabCount(), 2, LoadTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(tabs->CurrentTab()->Caption, QStringLiteral("拖入的文件"), LoadTimeout);
    QTest::qWait(300);
    QCOMPARE(first->Caption, QStringLiteral("Page a")); // the page under the drop kept its page
}

void TWindowPagesTest::tabStripFitsItsRow() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    QWidget* strip = window->findChild<QWidget*>(QStringLiteral("PageControl1"));
    QVERIFY(strip);
    QWidget* row = strip->parentWidget();
    QVERIFY2(row->rect().contains(strip->geometry()),
             qPrintable(QStringLiteral("strip %1 px high at y %2 in a row of %3 px")
                            .arg(strip->height())
                            .arg(strip->y())
                            .arg(row->height())));
}

void TWindowPagesTest::downloadDialogShowsTheAnnouncedSize_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("size");
    QTest::newRow("Content-Length") << "/_gen/123456"
                                    << "120.56K";
    QTest::newRow("no length") << "/_gen/5000?chunked=1"
                               << "0B";
}

void TWindowPagesTest::downloadDialogShowsTheAnnouncedSize() {
    QFETCH(QString, path);
    QFETCH(QString, size);
    TTestDb data;
    auto window = OpenWindow(data.Db());
    QString shown;
    TModalAnswerer answerer([&shown](QWidget* dialog) {
        if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("bsSkinLabelFileSize")))
            shown = label->text();
        QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    });
    window->OpenInCurrentTab(m_site->Server().Url(path));
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), LoadTimeout);
    QCOMPARE(shown, size);
}

QUELLON_ENGINE_TEST_MAIN(TWindowPagesTest)

#include "tst_WindowPages.moc"
