// The main window's pages seen from outside the tab controller: the page log follows the open
// pages while browsing (so a crash or kill loses nothing the restore bar needs), a file dropped on
// the page area opens in a new tab, and the tab strip is not clipped by its row.
#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/TabController.h"
#include "common/AppPaths.h"
#include "common/Dialogs.h"
#include "history/PageLog.h"
#include "shell/FormMain.h"
#include "support/TestDb.h"
#include "support/TestServer.h"

#include "support/EngineTestMain.h"
#include <QApplication>
#include <QMimeData>
#include <QTemporaryDir>

#include <QtTest>
#include <memory>

namespace {
constexpr int LoadTimeout = 20000;

QByteArray Page(const QString& title) {
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                          "<body><p>%1</p></body></html>")
        .arg(title)
        .toUtf8();
}

QStringList StoredPageLog(TDb& db) {
    QStringList urls;
    for (const TPageInfo& page : TPageLog(db).LoadPageLog())
        urls.append(page.Url);
    return urls;
}
} // namespace

class TWindowPagesTest final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void pageLogFollowsOpenPages();
    void fileDroppedOnPageOpensNewTab();
    void tabStripFitsItsRow();

private:
    std::unique_ptr<TFormMain> OpenWindow(TTestDb& data);
    QString Url(const QString& name) const { return m_server->Url(QStringLiteral("/%1.html").arg(name)); }

    QTemporaryDir m_appDir;
    std::unique_ptr<TTestServer> m_server;
};

void TWindowPagesTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_appDir.isValid());
    SetAppDir(m_appDir.path() + QStringLiteral("/"));
    m_server = std::make_unique<TTestServer>();
    QVERIFY2(m_server->Running(), qPrintable(m_server->ErrorText()));
    for (const char* name : {"a", "b", "c"})
        QVERIFY(m_server->WriteFile(QLatin1String(name) + QStringLiteral(".html"),
                                    Page(QStringLiteral("Page ") + QLatin1String(name))));
    TTabController::SetMsgBoxFunction([](const QString&, int) { return int(IDOK); });
}

void TWindowPagesTest::cleanup() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TFormMain*>(widget))
            window->close();
}

std::unique_ptr<TFormMain> TWindowPagesTest::OpenWindow(TTestDb& data) {
    auto window = std::make_unique<TFormMain>(data.Db(), QString());
    window->show();
    QApplication::setActiveWindow(window.get());
    QElapsedTimer timer;
    timer.start();
    while (window->Tabs()->TabCount() == 0 && timer.elapsed() < LoadTimeout)
        QTest::qWait(20);
    return window;
}

void TWindowPagesTest::pageLogFollowsOpenPages() {
    TTestDb data;
    // The last session's pages are offered; the log then follows this session.
    QVERIFY(TPageLog(data.Db()).SavePageLog({{Url("c")}}));
    auto window = OpenWindow(data);
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
    QFile file(m_appDir.path() + QStringLiteral("/拖入.html"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(Page(QStringLiteral("拖入的文件")));
    file.close();
    auto window = OpenWindow(data);
    TTabController* tabs = window->Tabs();
    window->OpenInCurrentTab(Url("a"));
    QTRY_COMPARE_WITH_TIMEOUT(tabs->CurrentTab()->Caption, QStringLiteral("Page a"), LoadTimeout);
    TBrowserTab* first = tabs->CurrentTab();
    QWidget* page = first->Browser->focusProxy() ? first->Browser->focusProxy() : first->Browser;

    QMimeData data1;
    data1.setUrls({QUrl::fromLocalFile(file.fileName())});
    const QPoint centre = page->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data1, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(centre, Qt::CopyAction, &data1, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page, &drop);

    QTRY_COMPARE_WITH_TIMEOUT(tabs->TabCount(), 2, LoadTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(tabs->CurrentTab()->Caption, QStringLiteral("拖入的文件"), LoadTimeout);
    QTest::qWait(300);
    QCOMPARE(first->Caption, QStringLiteral("Page a")); // the page under the drop kept its page
}

void TWindowPagesTest::tabStripFitsItsRow() {
    TTestDb data;
    auto window = OpenWindow(data);
    QWidget* strip = window->findChild<QWidget*>(QStringLiteral("PageControl1"));
    QVERIFY(strip);
    QWidget* row = strip->parentWidget();
    QVERIFY2(row->rect().contains(strip->geometry()),
             qPrintable(QStringLiteral("strip %1 px high at y %2 in a row of %3 px")
                            .arg(strip->height())
                            .arg(strip->y())
                            .arg(row->height())));
}

QUELLON_ENGINE_TEST_MAIN(TWindowPagesTest)

#include "tst_WindowPages.moc"
