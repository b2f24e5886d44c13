// The favorites bar and menu offscreen: the shown order, the indexes behind clicks, deleting and
// editing from the context menu, the drag reorder and the scroll arrows.
#include "support/ModalAnswerer.h"
#include "favorites/FavoritesBar.h"
#include "support/TestDb.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextDocument>
#include <QToolButton>
#include <QtTest>

namespace {

TFavInfo Default(const QString& name) {
    TFavInfo info;
    info.FavName = name;
    info.FavUrl = QStringLiteral("http://%1/").arg(name.toLower());
    return info;
}

QStringList Captions(const QVector<QToolButton*>& buttons) {
    QStringList captions;
    for (const QToolButton* button : buttons)
        captions.append(button->text());
    return captions;
}

QStringList Captions(const QList<QAction*>& entries) {
    QStringList captions;
    for (const QAction* entry : entries)
        captions.append(entry->text());
    return captions;
}

// The addresses a spy on openRequested caught, in order.
QStringList Urls(const QSignalSpy& opened) {
    QStringList urls;
    for (const QList<QVariant>& arguments : opened)
        urls.append(arguments.at(0).toString());
    return urls;
}

// True when a button starts before the one left of it ends.
bool Overlapping(const QVector<QToolButton*>& buttons) {
    for (int i = 1; i < buttons.size(); ++i) {
        if (buttons.at(i)->x() < buttons.at(i - 1)->geometry().right())
            return true;
    }
    return false;
}

void SendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons) {
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Press on the button, move by `move`, release at the end point given in the target's terms.
void Drag(QToolButton* button, const QPoint& move, QWidget* releaseOver, const QPoint& releaseAt) {
    const QPoint start(5, 5);
    SendMouse(button, QEvent::MouseButtonPress, start, Qt::LeftButton);
    SendMouse(button, QEvent::MouseMove, start + move, Qt::LeftButton);
    const QPoint end = button->mapFromGlobal(releaseOver->mapToGlobal(releaseAt));
    SendMouse(button, QEvent::MouseMove, end, Qt::LeftButton);
    SendMouse(button, QEvent::MouseButtonRelease, end, Qt::NoButton);
}

// The main window's parts the bar lives in: the host row and the favorites menu with its seven
// fixed entries.
struct TBarFixture {
    explicit TBarFixture(int width = 900) : favorites(data.Db()) {
        window.resize(width, 40);
        host = new QWidget(&window);
        host->setGeometry(0, 0, width, 23);
        menu = new QMenu(&window);
        for (int i = 0; i < TFavoritesBar::FixedMenuEntries; ++i)
            menu->addAction(QStringLiteral("fixed %1").arg(i));
        bar = new TFavoritesBar(favorites, host, menu, QIcon(), QIcon(),
                                [this](const QString& url, const QString&) { iconRequests.append(url); });
        bar->SetDefaults({Default("X"), Default("Y")});
    }
    ~TBarFixture() { delete bar; }
    void Add(const QStringList& names) {
        for (const QString& name : names)
            favorites.AddFavorite(name, QStringLiteral("http://%1/").arg(name.toLower()), "65535");
    }
    void Show() {
        bar->Rebuild();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QToolButton* Button(const QString& caption) const {
        for (QToolButton* button : bar->Buttons())
            if (button->text() == caption)
                return button;
        return nullptr;
    }

    TTestDb data;
    TFavorites favorites;
    QWidget window;
    QWidget* host;
    QMenu* menu;
    TFavoritesBar* bar;
    QStringList iconRequests;
};

} // namespace

class TestFavoritesBar : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void defaultsThenStoredOnBarAndMenu() {
        TBarFixture bar;
        bar.Add({"A", "B", "C"});
        bar.Show();
        QCOMPARE(Captions(bar.bar->Buttons()), (QStringList{"X", "Y", "A", "B", "C"}));
        QCOMPARE(Captions(bar.bar->MenuEntries()), (QStringList{"X", "Y", "A", "B", "C"}));
        // Names carry index + 1: stored by position, defaults after them.
        QVERIFY(bar.host->findChild<QToolButton*>("bsSkinSpeedButton1"));
        QCOMPARE(bar.host->findChild<QToolButton*>("bsSkinSpeedButton4")->text(), QStringLiteral("X"));
        QCOMPARE(bar.menu->findChild<QAction*>("NFavMenu5")->text(), QStringLiteral("Y"));
        QCOMPARE(bar.Button("B")->toolTip(), QStringLiteral("B\nhttp://b/"));
        // No icon files: each address is asked for once per build.
        QCOMPARE(bar.iconRequests.size(), 5);

        // A rebuild replaces everything, the fixed menu entries stay.
        bar.favorites.AddFavorite("D", "http://d/", "65535");
        bar.bar->Rebuild();
        QCOMPARE(Captions(bar.bar->Buttons()), (QStringList{"X", "Y", "A", "B", "C", "D"}));
        QCOMPARE(bar.menu->actions().size(), TFavoritesBar::FixedMenuEntries + 6);
    }

    void longNameIsCutWithoutMark() {
        TBarFixture bar;
        const QString name = QStringLiteral("一个非常非常非常长的网页标题");
        bar.favorites.AddFavorite(name, "http://long/", "65535");
        bar.Show();
        QToolButton* button = bar.bar->Buttons().last();
        QVERIFY(name.startsWith(button->text()) && button->text().size() < name.size());
        QVERIFY(button->toolTip().startsWith(name));
        QCOMPARE(bar.bar->MenuEntries().last()->text(), button->text());
    }

    // A page title that looks like markup is shown in the hint as written, not drawn as markup.
    void markupNameShowsLiterallyInTheHint() {
        TBarFixture bar;
        bar.favorites.AddFavorite("<b>www.bank.com</b><font size=1>", "http://evil/", "65535");
        bar.Show();
        QTextDocument hint;
        hint.setHtml(bar.bar->Buttons().last()->toolTip());
        QVERIFY2(hint.toPlainText().startsWith(QStringLiteral("<b>www.bank.com</b><font size=1>")),
                 qPrintable(hint.toPlainText()));
    }

    void clicksOpenTheirFavorite() {
        TBarFixture bar;
        bar.Add({"A", "B", "C"});
        bar.Show();
        QSignalSpy opened(bar.bar, &TFavoritesBar::openRequested);
        bar.Button("X")->click();
        bar.Button("C")->click();
        bar.bar->MenuEntries().at(2)->trigger(); // A
        QCOMPARE(Urls(opened), (QStringList{"http://x/", "http://c/", "http://a/"}));
    }

    // Deleting lowers the indexes behind it, the defaults' too.
    void deleteKeepsEveryClickRight() {
        TBarFixture bar;
        bar.Add({"A", "B", "C"});
        bar.favorites.AddFavorite("B again", "http://b/", "65535");
        bar.Show();
        QSignalSpy opened(bar.bar, &TFavoritesBar::openRequested);
        bar.bar->DeleteFavorite(1);
        // Both rows with B's address left the table, so both left the bar and the menu.
        QCOMPARE(Captions(bar.bar->Buttons()), (QStringList{"X", "Y", "A", "C"}));
        QCOMPARE(Captions(bar.bar->MenuEntries()), (QStringList{"X", "Y", "A", "C"}));
        bar.Button("C")->click();
        bar.Button("X")->click();
        bar.bar->MenuEntries().at(1)->trigger(); // Y
        QCOMPARE(Urls(opened), (QStringList{"http://c/", "http://x/", "http://y/"}));
        TFavorites reloaded(bar.data.Db());
        QVERIFY(reloaded.LoadFavorites());
        QCOMPARE(reloaded.Items.size(), 2);
    }

    void contextMenuOffersStoredCommandsOnlyForStored() {
        TBarFixture bar;
        bar.Add({"A"});
        bar.Show();
        QMenu* context = bar.bar->ContextMenu();
        QCOMPARE(context->objectName(), QStringLiteral("bsSkinPopupMenuFav"));
        emit bar.Button("X")->customContextMenuRequested(QPoint(2, 2));
        QVERIFY(!context->findChild<QAction*>("NDelFav")->isEnabled());
        QVERIFY(!context->findChild<QAction*>("NCutUrl")->isEnabled());
        QVERIFY(context->findChild<QAction*>("NCopyUrl")->isEnabled());
        context->findChild<QAction*>("NCopyUrl")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("http://x/"));
        context->hide();
        emit bar.Button("A")->customContextMenuRequested(QPoint(2, 2));
        QVERIFY(context->findChild<QAction*>("NEditFav")->isEnabled());
        context->findChild<QAction*>("NCutUrl")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("http://a/"));
        QCOMPARE(Captions(bar.bar->Buttons()), (QStringList{"X", "Y"}));
    }

    // "编辑" changes by address: every stored favorite with that address shows the change.
    void editChangesEveryFavoriteOfTheAddress() {
        TBarFixture bar;
        bar.Add({"A", "B"});
        bar.favorites.AddFavorite("A twin", "http://a/", "65535");
        bar.Show();
        TModalAnswerer driver([](QWidget* dialog) {
            QCOMPARE(dialog->findChild<QLineEdit*>("bsSkinEditWebsiteUrl")->text(),
                     QStringLiteral("http://a/"));
            dialog->findChild<QLineEdit*>("bsSkinEditWebsiteName")->setText(QStringLiteral("New"));
            dialog->findChild<QLineEdit*>("bsSkinEditWebsiteUrl")->setText(QStringLiteral("http://new/"));
            dialog->findChild<QPushButton*>("bsSkinButtonOK")->click();
        });
        bar.bar->EditFavorite(0);
        QCOMPARE(Captions(bar.bar->Buttons()), (QStringList{"X", "Y", "New", "B", "New"}));
        QCOMPARE(Captions(bar.bar->MenuEntries()), (QStringList{"X", "Y", "New", "B", "New"}));
        QCOMPARE(bar.Button("B")->toolTip(), QStringLiteral("B\nhttp://b/"));
        QCOMPARE(bar.bar->Buttons().at(4)->toolTip(), QStringLiteral("New\nhttp://new/"));
        QSignalSpy opened(bar.bar, &TFavoritesBar::openRequested);
        bar.bar->Buttons().at(4)->click();
        QCOMPARE(Urls(opened), QStringList{"http://new/"});
    }

    void dragReordersAndStoresTheRanking() {
        TBarFixture bar;
        bar.Add({"A", "B", "C"});
        bar.Show();
        QSignalSpy opened(bar.bar, &TFavoritesBar::openRequested);
        QToolButton* a = bar.Button("A");
        Drag(bar.Button("C"), QPoint(-20, 0), a, QPoint(2, 5)); // the left half of A
        QCOMPARE(Captions(bar.bar->Buttons()), (QStringList{"X", "Y", "C", "A", "B"}));
        QCOMPARE(Captions(bar.bar->MenuEntries()), (QStringList{"X", "Y", "C", "A", "B"}));
        QTRY_COMPARE(QApplication::overrideCursor(), nullptr);
        // The release's own click opens nothing; the next click opens again.
        QVERIFY(opened.isEmpty());
        SendMouse(bar.Button("C"), QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
        SendMouse(bar.Button("C"), QEvent::MouseButtonRelease, QPoint(5, 5), Qt::NoButton);
        bar.Button("Y")->click();
        QCOMPARE(Urls(opened), (QStringList{"http://c/", "http://y/"}));

        TFavorites reloaded(bar.data.Db());
        QVERIFY(reloaded.LoadFavorites());
        QStringList names;
        for (const TFavInfo& item : reloaded.Items)
            names.append(item.FavName + QLatin1Char('=') + item.Ranking);
        QCOMPARE(names, (QStringList{"C=1", "A=2", "B=3"}));
        // The next build shows the stored order.
        bar.bar->Rebuild();
        QCOMPARE(Captions(bar.bar->Buttons()), (QStringList{"X", "Y", "C", "A", "B"}));
    }

    void smallMoveIsAClick() {
        TBarFixture bar;
        bar.Add({"A", "B"});
        bar.Show();
        QSignalSpy opened(bar.bar, &TFavoritesBar::openRequested);
        QToolButton* b = bar.Button("B");
        SendMouse(b, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
        SendMouse(b, QEvent::MouseMove, QPoint(9, 5), Qt::LeftButton);
        SendMouse(b, QEvent::MouseButtonRelease, QPoint(9, 5), Qt::NoButton);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(Captions(bar.bar->Buttons()), (QStringList{"X", "Y", "A", "B"}));
    }

    void defaultsNeitherDragNorTakeDrops() {
        TBarFixture bar;
        bar.Add({"A", "B"});
        bar.Show();
        Drag(bar.Button("X"), QPoint(30, 0), bar.Button("B"), QPoint(20, 5));
        Drag(bar.Button("B"), QPoint(-30, 0), bar.Button("X"), QPoint(2, 5));
        QCOMPARE(Captions(bar.bar->Buttons()), (QStringList{"X", "Y", "A", "B"}));
        TFavorites reloaded(bar.data.Db());
        QVERIFY(reloaded.LoadFavorites());
        QCOMPARE(reloaded.Items.at(0).Ranking, QStringLiteral("65535"));
    }

    void arrowsOnlyWhenTheButtonsOverflow() {
        TBarFixture bar(300);
        bar.Add({"A"});
        bar.Show();
        auto* right = bar.host->findChild<QToolButton*>("FavScrollRight");
        QVERIFY(right);
        QVERIFY(!right->isVisible());
        for (int i = 0; i < 30; ++i)
            bar.favorites.AddFavorite(QStringLiteral("F%1").arg(i), QStringLiteral("http://f%1/").arg(i),
                                      "65535");
        bar.bar->Rebuild();
        QTRY_VERIFY(right->isVisible());
        QVERIFY(bar.host->findChild<QToolButton*>("FavScrollLeft")->isVisible());
        // The rebuild of the shown bar lays the new buttons side by side, not over one another.
        QTRY_VERIFY(!Overlapping(bar.bar->Buttons()));
    }

    void aLongMenuScrollsInOneColumn() {
        TBarFixture bar;
        for (int i = 0; i < 1100; ++i)
            bar.favorites.AddFavorite(QStringLiteral("F%1").arg(i), QStringLiteral("http://f%1/").arg(i), "65535");
        bar.Show();
        bar.menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(bar.menu));
        // Every entry in the first column, the fixed ones at the top, the menu within the screen.
        const QList<QAction*> actions = bar.menu->actions();
        const int left = bar.menu->actionGeometry(actions.first()).x();
        for (QAction* action : actions)
            QCOMPARE(bar.menu->actionGeometry(action).x(), left);
        QVERIFY(bar.menu->height() <= bar.menu->screen()->availableGeometry().height());
        bar.menu->hide();
    }
};

QTEST_MAIN(TestFavoritesBar)
#include "tst_FavoritesBar.moc"
