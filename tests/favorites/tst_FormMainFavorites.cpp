// The main window's favorites under Xvfb: the default favorites on a fresh or missing data file,
// adding the current page, where a clicked favorite opens, showing and hiding the bar, and the
// rebuild after arriving favicons.
#include "browser/BrowserTab.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "common/Messages.h"
#include "support/ModalAnswerer.h"
#include "favorites/Favorites.h"
#include "favorites/FavoritesBar.h"
#include "shell/FormMain.h"
#include "support/EngineTestMain.h"
#include "support/TestDb.h"
#include "support/WindowTestKit.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {

QStringList Captions(const QVector<QToolButton*>& buttons) {
    QStringList captions;
    for (const QToolButton* button : buttons)
        captions.append(button->toolTip().section(QLatin1Char('\n'), 0, 0));
    return captions;
}

const QStringList DefaultNames{"网址导航", "一键装机", "U盘装系统", "系统下载", "杀毒软件"};

QString WritePage(const QString& folder, const QString& title) {
    const QString path = folder + QLatin1Char('/') + title + QStringLiteral(".html");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(
        QStringLiteral("<html><head><title>%1</title></head><body>%1</body></html>").arg(title).toUtf8());
    return QUrl::fromLocalFile(path).toString();
}

} // namespace

class TestFormMainFavorites : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void defaultsOnAFreshDataFile() {
        TTestDb data;
        auto window = OpenWindow(data.Db(), QStringLiteral("about:blank"));
        QCOMPARE(Captions(window->FavoritesBar()->Buttons()), DefaultNames);
        auto* menu = window->findChild<QMenu*>(QStringLiteral("NFavorite"));
        QCOMPARE(menu->actions().size(), TFavoritesBar::FixedMenuEntries + 5);
        for (const char* name : {"NFavoriteAdd", "NFavoriteManage", "NExportImport", "NFavView"})
            QVERIFY(window->findChild<QAction*>(QLatin1String(name))->isEnabled());
        for (const char* name : {"SpeedButtonFav", "ImageFavAdd"})
            QVERIFY(window->findChild<QToolButton*>(QLatin1String(name))->isEnabled());
    }

    void defaultsWithoutADataFile() {
        QTemporaryDir dir;
        TDb db;
        QVERIFY(!db.Open(dir.filePath(QStringLiteral("dat/data.dat"))));
        auto window = OpenWindow(db, QStringLiteral("about:blank"));
        QCOMPARE(Captions(window->FavoritesBar()->Buttons()), DefaultNames);
    }

    void addTheCurrentPage() {
        TTestDb data;
        const QString url = WritePage(data.DirPath(), QStringLiteral("Saved page"));
        auto window = OpenWindow(data.Db(), url);
        QTRY_COMPARE_WITH_TIMEOUT(window->CurrentTab()->Caption, QStringLiteral("Saved page"), LoadTimeout);
        QString proposed;
        TModalAnswerer driver([&proposed](QWidget* dialog) {
            proposed = dialog->findChild<QLineEdit*>(QStringLiteral("bsSkinEditWebsiteName"))->text();
            dialog->findChild<QPushButton*>(QStringLiteral("bsSkinButtonOK"))->click();
        });
        window->AddCurrentPageToFavorites();
        QCOMPARE(proposed, QStringLiteral("Saved page"));
        QTRY_COMPARE(Captions(window->FavoritesBar()->Buttons()).last(), QStringLiteral("Saved page"));
        QCOMPARE(window->Favorites()->Items.last().FavUrl, window->findChild<QLineEdit*>("EditUrl")->text());
    }

    // A close request while the dialog is open (a quit signal) ends the dialog with the store.
    void closingEndsAnOpenDialog() {
        TTestDb data;
        auto window = OpenWindow(data.Db(), QStringLiteral("about:blank"));
        TFormMain* main = window.get();
        TModalAnswerer driver([main](QWidget*) { main->close(); });
        window->AddCurrentPageToFavorites();
        QCOMPARE(driver.DialogsSeen, 1);
        QVERIFY(!window->Favorites());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void favoriteOpensInTheBlankTabElseInANewOne() {
        TTestDb data;
        const QString first = WritePage(data.DirPath(), QStringLiteral("First"));
        const QString second = WritePage(data.DirPath(), QStringLiteral("Second"));
        TFavorites(data.Db()).AddFavorite("First", first, "1");
        TFavorites(data.Db()).AddFavorite("Second", second, "2");
        auto window = OpenWindow(data.Db(), QStringLiteral("about:blank"));
        // The restore offer opens the command line's blank page; one tab either way.
        const int tabs = window->Tabs()->TabCount();
        QVector<QToolButton*> buttons = window->FavoritesBar()->Buttons();
        buttons.at(5)->click(); // First, on the blank idle tab: in place
        QTRY_COMPARE_WITH_TIMEOUT(window->CurrentTab()->CurrentUrl(), first, LoadTimeout);
        QCOMPARE(window->Tabs()->TabCount(), tabs);
        WaitIdle(*window);
        buttons.at(6)->click(); // Second, while a page is shown: a new tab
        QTRY_COMPARE(window->Tabs()->TabCount(), tabs + 1);
        QTRY_COMPARE_WITH_TIMEOUT(window->CurrentTab()->CurrentUrl(), second, LoadTimeout);
    }

    void barShowsAndHides() {
        TTestDb data;
        auto window = OpenWindow(data.Db(), QStringLiteral("about:blank"));
        auto* bar = window->findChild<QWidget*>(QStringLiteral("bsSkinToolBarFav"));
        auto* tools = window->findChild<QWidget*>(QStringLiteral("bsSkinPanelExtTool"));
        QVERIFY(window->FavoritesBarShown() && bar->isVisible());
        const int toolsLeft = tools->x();
        window->ToggleFavoritesBar();
        QVERIFY(!window->FavoritesBarShown());
        QVERIFY(!bar->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCOMPARE(tools->x(), toolsLeft); // the tools stay at the right edge
        window->findChild<QAction*>(QStringLiteral("NFavViewHide"))->trigger();
        QVERIFY(window->FavoritesBarShown() && bar->isVisible());
    }

    // Icons arriving one after another restart one timer: one rebuild after the last.
    void arrivingIconsRebuildOnce() {
        TTestDb data;
        auto window = OpenWindow(data.Db(), QStringLiteral("about:blank"));
        auto* timer = window->findChild<QTimer*>(QStringLiteral("TimerRefreshFav"));
        QVERIFY(!timer->isActive());
        QSignalSpy rebuilds(timer, &QTimer::timeout);
        QPointer<QToolButton> before = window->FavoritesBar()->Buttons().first();
        for (int i = 0; i < 10; ++i)
            QCoreApplication::postEvent(window.get(), new TMessageEvent(WM_FAVICON_READY, 0));
        QCoreApplication::sendPostedEvents(window.get(), WM_FAVICON_READY);
        QVERIFY(timer->isActive());
        QVERIFY(before); // no icon rebuilt the bar by itself
        QTRY_VERIFY_WITH_TIMEOUT(!before, 10000); // the rebuild replaced the buttons
        QVERIFY(!timer->isActive());
        QCOMPARE(rebuilds.count(), 1);
        QCOMPARE(Captions(window->FavoritesBar()->Buttons()), DefaultNames);
    }
};

QUELLON_ENGINE_TEST_MAIN(TestFormMainFavorites)
#include "tst_FormMainFavorites.moc"
