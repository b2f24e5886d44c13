// The import and export window's import through the compatibility engine's module: the messages,
// who is told to rebuild, and a manager that shows what was imported from it.
#include "common/Messages.h"
#include "support/ModalAnswerer.h"
#include "favorites/BookmarkFile.h"
#include "favorites/FavoriteListModel.h"
#include "favorites/Favorites.h"
#include "favorites/FormImportExportFav.h"
#include "favorites/FormManageFav.h"
#include "support/EngineTestMain.h"
#include "support/TestDb.h"

#include <QSignalSpy>

namespace {

// Counts the window messages it receives.
class TMessageSink final : public QObject {
public:
    QList<int> Received;

protected:
    void customEvent(QEvent* event) override { Received.append(static_cast<int>(event->type())); }
};

// A bookmark file with favorites A and B, written by the export of another data file.
QString ExportedFile(const QString& folder) {
    TTestDb source;
    TFavorites favorites(source.Db());
    favorites.AddFavorite("A", "http://a/", "1");
    favorites.AddFavorite("B", "http://b/", "2");
    const QString file = folder + QStringLiteral("/bookmarks.html");
    return ExportFavorites(favorites, file) ? file : QString();
}

} // namespace

class TestFormImportExportFav : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void importTellsTheMainWindow() {
        TTestDb data;
        TFavorites favorites(data.Db());
        const QString file = ExportedFile(data.DirPath());
        QVERIFY(!file.isEmpty());
        TMessageSink mainWindow;
        TFormImportExportFav* window = TFormImportExportFav::ShowWindow(favorites, &mainWindow);
        QPointer<TFormImportExportFav> alive(window);
        // A cancelled file dialog starts nothing.
        window->SetOpenFileChooser([](QWidget*) { return QString(); });
        window->ImportClick();
        QVERIFY(window->isVisible());

        window->SetOpenFileChooser([file](QWidget*) { return file; });
        QSignalSpy finished(window, &TFormImportExportFav::importFinished);
        TModalAnswerer driver;
        window->ImportClick();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QCOMPARE(driver.Messages, QStringList{QStringLiteral("收藏夹导入成功！")});
        QTRY_VERIFY(!alive);
        QTRY_COMPARE(mainWindow.Received, QList<int>{WM_FAVORITES_CHANGED});
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(favorites.Items.size(), 2);
    }

    void failedImportKeepsTheWindow() {
        TTestDb data;
        TFavorites favorites(data.Db());
        const QString file = data.DirPath() + QStringLiteral("/empty.html");
        QFile(file).open(QIODevice::WriteOnly);
        TMessageSink mainWindow;
        TFormImportExportFav* window = TFormImportExportFav::ShowWindow(favorites, &mainWindow);
        window->SetOpenFileChooser([file](QWidget*) { return file; });
        QSignalSpy finished(window, &TFormImportExportFav::importFinished);
        TModalAnswerer driver;
        window->ImportClick();
        QVERIFY(finished.wait(20000));
        QCOMPARE(driver.Messages, QStringList{QStringLiteral("收藏夹导入失败！")});
        QVERIFY(window->isVisible());
        QVERIFY(mainWindow.Received.isEmpty());
        window->close();
    }

    // Opened from the manager, an import reaches the manager's list, and the manager reports a
    // change so that the bar shows the imported favorites once it closes.
    void importFromTheManagerShowsInItsList() {
        TTestDb data;
        TFavorites favorites(data.Db());
        const QString file = ExportedFile(data.DirPath());
        TFormManageFav manager(favorites, {});
        manager.show();
        manager.ImportExportClick();
        TFormImportExportFav* window = TFormImportExportFav::Instance();
        QVERIFY(window);
        QCOMPARE(window->parentWidget(), &manager);
        window->SetOpenFileChooser([file](QWidget*) { return file; });
        QSignalSpy finished(window, &TFormImportExportFav::importFinished);
        TModalAnswerer driver;
        window->ImportClick();
        QVERIFY(finished.wait(20000));
        QTRY_COMPARE(manager.Model()->rowCount(), 2);
        QVERIFY(manager.Changed());
    }

    void manageLabelAsksTheMainWindow() {
        TTestDb data;
        TFavorites favorites(data.Db());
        TMessageSink mainWindow;
        QPointer<TFormImportExportFav> window = TFormImportExportFav::ShowWindow(favorites, &mainWindow);
        window->ManageClick();
        QTRY_VERIFY(!window);
        QTRY_COMPARE(mainWindow.Received, QList<int>{WM_MANAGE_FAVORITES});
    }
};

QUELLON_ENGINE_TEST_MAIN(TestFormImportExportFav)
#include "tst_FormImportExportFav.moc"
