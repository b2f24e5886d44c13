// The favorites windows offscreen: the add-to-favorites and favorite dialogs, the manager's
// commands and changed flag, the import and export window's export.
#include "support/ModalAnswerer.h"
#include "favorites/FavoriteListModel.h"
#include "favorites/FavoriteNames.h"
#include "favorites/Favorites.h"
#include "favorites/FormAddToFav.h"
#include "favorites/FormImportExportFav.h"
#include "favorites/FormManageFav.h"
#include "favorites/FormNewFav.h"
#include "support/TestDb.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

namespace {

void ClickButton(QWidget* window, const char* name) {
    auto* button = window->findChild<QAbstractButton*>(QLatin1String(name));
    QVERIFY2(button, name);
    button->click();
}

void SetEdit(QWidget* window, const char* name, const QString& text) {
    auto* edit = window->findChild<QLineEdit*>(QLatin1String(name));
    QVERIFY2(edit, name);
    edit->setText(text);
}

// A data file with favorites A, B, C loaded into the store.
struct TThreeFavorites {
    TThreeFavorites() : favorites(data.Db()) {
        for (const char* name : {"A", "B", "C"})
            favorites.AddFavorite(name, QStringLiteral("http://%1/").arg(name), "65535");
        favorites.LoadFavorites();
    }
    TTestDb data;
    TFavorites favorites;
};

} // namespace

class TestFavoriteDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void addToFavorites() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        TFormAddToFav dialog(favorites, QStringLiteral("   "), QStringLiteral("http://page/"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("添加到收藏夹"));
        QCOMPARE(dialog.findChild<QLineEdit*>("bsSkinEditFavPath")->text(), QStringLiteral("本地收藏夹"));
        dialog.show();
        TModalAnswerer driver;
        ClickButton(&dialog, "bsSkinButtonOK");
        QTRY_COMPARE(driver.Messages, QStringList{QStringLiteral("请输入网页标题！")});
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.Name().isEmpty());
        QVERIFY(favorites.LoadFavorites() && favorites.Items.isEmpty());

        SetEdit(&dialog, "bsSkinEditWebsiteName", QStringLiteral(" 页面 "));
        ClickButton(&dialog, "bsSkinButtonOK");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(favorites.Items.size(), 1);
        QCOMPARE(favorites.Items.at(0).FavName, QStringLiteral("页面"));
        QCOMPARE(favorites.Items.at(0).FavUrl, QStringLiteral("http://page/"));
    }

    void favoriteDialogAddsAndTellsItsId() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        TFormNewFav dialog(favorites);
        QCOMPARE(dialog.OkButton()->text(), QStringLiteral("添加"));
        dialog.show();
        TModalAnswerer driver;
        SetEdit(&dialog, "bsSkinEditWebsiteName", QStringLiteral("A"));
        ClickButton(&dialog, "bsSkinButtonOK");
        QTRY_COMPARE(driver.Messages, QStringList{QStringLiteral("请输入网页地址！")});
        QVERIFY(dialog.isVisible());
        SetEdit(&dialog, "bsSkinEditWebsiteUrl", QStringLiteral("http://a/"));
        ClickButton(&dialog, "bsSkinButtonOK");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(dialog.Id(), favorites.Items.at(0).Id);
    }

    // Both dialogs open with the keyboard in the name edit: a user types the name straight away.
    void dialogsOpenWithTheNameEditFocused() {
        TTestDb data;
        TFavorites favorites(data.Db());
        TFormNewFav change(favorites);
        TFormAddToFav add(favorites, QStringLiteral("Page"), QStringLiteral("http://page/"));
        for (QDialog* dialog : {static_cast<QDialog*>(&change), static_cast<QDialog*>(&add)}) {
            dialog->show();
            QApplication::setActiveWindow(dialog);
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            QCOMPARE(dialog->focusWidget(), dialog->findChild<QLineEdit*>("bsSkinEditWebsiteName"));
            dialog->hide();
        }
    }

    void managerNewRowIsLastAndSelected() {
        TThreeFavorites store;
        TFormManageFav manager(store.favorites, {});
        manager.show();
        QCOMPARE(TFormManageFav::Instance(), &manager);
        TModalAnswerer driver([](QWidget* dialog) {
            SetEdit(dialog, "bsSkinEditWebsiteName", QStringLiteral("D"));
            SetEdit(dialog, "bsSkinEditWebsiteUrl", QStringLiteral("http://d/"));
            ClickButton(dialog, "bsSkinButtonOK");
        });
        manager.NewClick();
        QVERIFY(manager.Changed());
        QCOMPARE(Names(manager.Model()->Rows()), (QStringList{"A", "B", "C", "D"}));
        QCOMPARE(manager.CurrentRow(), 3);
        QVERIFY(store.favorites.LoadFavorites());
        QCOMPARE(store.favorites.Items.last().Id, manager.Model()->Rows().last().Id);
        QVERIFY(manager.List()->isColumnHidden(TFavoriteListModel::ColumnId));
    }

    void managerMovesAtTheEndsChangeNothing() {
        TThreeFavorites store;
        TFormManageFav manager(store.favorites, {});
        manager.show();
        manager.MoveClick(1); // nothing selected
        manager.List()->setCurrentIndex(manager.Model()->index(2, 0));
        manager.MoveClick(1);
        manager.List()->setCurrentIndex(manager.Model()->index(0, 0));
        manager.MoveClick(-1);
        QVERIFY(!manager.Changed());
        QCOMPARE(Names(manager.Model()->Rows()), (QStringList{"A", "B", "C"}));
    }

    void managerMoveStoresTheOrder() {
        TThreeFavorites store;
        TFormManageFav manager(store.favorites, {});
        manager.show();
        manager.List()->setCurrentIndex(manager.Model()->index(0, 0));
        ClickButton(&manager, "bsSkinSpeedButtonDown");
        QVERIFY(manager.Changed());
        QCOMPARE(manager.CurrentRow(), 1);
        ClickButton(&manager, "bsSkinSpeedButtonDown");
        QCOMPARE(Names(manager.Model()->Rows()), (QStringList{"B", "C", "A"}));
        TFavorites reloaded(store.data.Db());
        QVERIFY(reloaded.LoadFavorites());
        QCOMPARE(Names(reloaded.Items), (QStringList{"B", "C", "A"}));
    }

    void managerEditsByIdOnly() {
        TThreeFavorites store;
        store.favorites.AddFavorite("A twin", "http://A/", "65535");
        store.favorites.LoadFavorites();
        TFormManageFav manager(store.favorites, {});
        manager.show();
        manager.List()->setCurrentIndex(manager.Model()->index(0, 0));
        QString okCaption;
        TModalAnswerer driver([&okCaption](QWidget* dialog) {
            okCaption = dialog->findChild<QPushButton*>("bsSkinButtonOK")->text();
            SetEdit(dialog, "bsSkinEditWebsiteName", QStringLiteral("A2"));
            ClickButton(dialog, "bsSkinButtonOK");
        });
        ClickButton(&manager, "bsSkinSpeedButtonEdit");
        QCOMPARE(okCaption, QStringLiteral("确定"));
        QVERIFY(manager.Changed());
        QCOMPARE(manager.Model()->Rows().at(0).FavName, QStringLiteral("A2"));
        TFavorites reloaded(store.data.Db());
        QVERIFY(reloaded.LoadFavorites());
        QCOMPARE(Names(reloaded.Items), (QStringList{"A2", "B", "C", "A twin"}));
    }

    void managerDeleteSelectsTheNextRow() {
        TThreeFavorites store;
        TFormManageFav manager(store.favorites, {});
        manager.show();
        manager.List()->setCurrentIndex(manager.Model()->index(1, 0));
        ClickButton(&manager, "bsSkinSpeedButtonDel");
        QCOMPARE(Names(manager.Model()->Rows()), (QStringList{"A", "C"}));
        QCOMPARE(manager.CurrentRow(), 1);
        ClickButton(&manager, "bsSkinSpeedButtonDel");
        QCOMPARE(manager.CurrentRow(), 0); // it was the last row: the new last one
        QVERIFY(manager.Changed());
        TFavorites reloaded(store.data.Db());
        QVERIFY(reloaded.LoadFavorites());
        QCOMPARE(Names(reloaded.Items), QStringList{"A"});
    }

    void exportWritesAndCloses() {
        TThreeFavorites store;
        TFormImportExportFav* window = TFormImportExportFav::ShowWindow(store.favorites, nullptr);
        QPointer<TFormImportExportFav> alive(window);
        QCOMPARE(TFormImportExportFav::ShowWindow(store.favorites, nullptr), window); // one at a time
        // Cancelling the file dialog changes nothing.
        window->SetSaveFileChooser([](QWidget*) { return QString(); });
        window->ExportClick();
        QVERIFY(window->isVisible());

        const QString file = store.data.DirPath() + QStringLiteral("/favorites.html");
        window->SetSaveFileChooser([file](QWidget*) { return file; });
        TModalAnswerer driver;
        window->ExportClick();
        QCOMPARE(driver.Messages, QStringList{QStringLiteral("收藏夹导出成功！")});
        QTRY_VERIFY(!alive);
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll().count("\r\n"), 14);
    }

    void exportFailureKeepsTheWindow() {
        TThreeFavorites store;
        TFormImportExportFav* window = TFormImportExportFav::ShowWindow(store.favorites, nullptr);
        window->SetSaveFileChooser(
            [&store](QWidget*) { return store.data.DirPath() + "/no/such/folder/f.html"; });
        TModalAnswerer driver;
        window->ExportClick();
        QCOMPARE(driver.Messages, QStringList{QStringLiteral("收藏夹导出失败！")});
        QVERIFY(window->isVisible());
        window->close();
    }
};

QTEST_MAIN(TestFavoriteDialogs)
#include "tst_FavoriteDialogs.moc"
