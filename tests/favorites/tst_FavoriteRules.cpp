// The favorites bar's and dialogs' rules that need no window: the default favorites ahead of the
// stored ones, where a favorite opens, caption fitting, the drag threshold and drop order, the
// dialogs' checks, the manager's list and the pace of the icon requests.
#include "common/AppPaths.h"
#include "favorites/DefaultFavorites.h"
#include "favorites/FavIconQueue.h"
#include "favorites/FavoriteDrag.h"
#include "favorites/FavoriteEdit.h"
#include "favorites/FavoriteEntries.h"
#include "favorites/FavoriteListModel.h"
#include "favorites/FavoriteNames.h"
#include "favorites/Favorites.h"
#include "support/TestDb.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QtTest>

namespace {

TFavInfo Fav(const QString& name, const QString& url, const QString& id = QString()) {
    TFavInfo info;
    info.Id = id;
    info.FavName = name;
    info.FavUrl = url;
    return info;
}

QStringList Order(const QVector<int>& order, const QStringList& names) {
    QStringList result;
    for (const int position : order)
        result.append(names.at(position));
    return result;
}

} // namespace

class TestFavoriteRules : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // ---- Default favorites and the shown order

    void builtInDefaultsAreTheFive() {
        const QString text = BuiltInDefaultFavorites();
        QVERIFY(text.endsWith(QStringLiteral(",]")));
        const TFavInfoList defaults = ParseDefaultFavorites(text);
        QCOMPARE(Names(defaults), (QStringList{QStringLiteral("网址导航"), QStringLiteral("一键装机"),
                                               QStringLiteral("U盘装系统"), QStringLiteral("系统下载"),
                                               QStringLiteral("杀毒软件")}));
        QCOMPARE(defaults.first().FavUrl, NavigationPageUrl());
        for (const TFavInfo& item : defaults) {
            QVERIFY(item.Id.isEmpty());
            QVERIFY(QUrl(item.FavUrl).isValid());
        }
        QVERIFY(ParseDefaultFavorites(QStringLiteral("{\"fav_name\":\"x\"}")).isEmpty());
        QVERIFY(ParseDefaultFavorites(QStringLiteral("not json")).isEmpty());
    }

    void defaultsComeAheadOfStored() {
        const TFavInfoList stored{Fav("A", "http://a/", "1"), Fav("B", "http://b/", "2"),
                                  Fav("C", "http://c/", "3")};
        const TFavInfoList defaults{Fav("X", "http://x/"), Fav("Y", "http://y/")};
        QStringList names;
        QVector<int> indexes;
        for (const TFavoriteEntry& entry : TFavoriteEntries::ShownOrder(stored, defaults)) {
            names.append(entry.Info.FavName);
            indexes.append(entry.Index);
            QCOMPARE(entry.Stored, entry.Index < stored.size());
        }
        QCOMPARE(names, (QStringList{"X", "Y", "A", "B", "C"}));
        QCOMPARE(indexes, (QVector<int>{3, 4, 0, 1, 2}));
        for (const int index : indexes)
            QCOMPARE(TFavoriteEntries::AddressOfIndex(stored, defaults, index),
                     (index < 3 ? stored.at(index) : defaults.at(index - 3)).FavUrl);
        QVERIFY(TFavoriteEntries::AddressOfIndex(stored, defaults, 5).isEmpty());
        QVERIFY(TFavoriteEntries::AddressOfIndex(stored, defaults, -1).isEmpty());
    }

    // A data file that cannot be opened gives no stored favorites: the defaults are shown alone.
    void defaultsAloneWithoutDataFile() {
        QTemporaryDir dir;
        TDb db;
        QVERIFY(!db.Open(dir.filePath(QStringLiteral("missing/data.dat"))));
        TFavorites favorites(db);
        favorites.LoadFavorites();
        const TFavInfoList defaults = ParseDefaultFavorites(BuiltInDefaultFavorites());
        const QVector<TFavoriteEntry> shown = TFavoriteEntries::ShownOrder(favorites.Items, defaults);
        QCOMPARE(shown.size(), 5);
        QCOMPARE(shown.first().Index, 0);
        QVERIFY(!shown.first().Stored);
    }

    void opensInCurrentTab_data() {
        QTest::addColumn<bool>("hasView");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("loading");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("blank, idle") << true << "about:blank" << false << true;
        QTest::newRow("blank, other case") << true << "About:Blank" << false << true;
        QTest::newRow("blank, loading") << true << "about:blank" << true << false;
        QTest::newRow("a page") << true << "http://a.example/" << false << false;
        QTest::newRow("no view (options page, engine not made)") << false << "about:blank" << false << false;
    }
    void opensInCurrentTab() {
        QFETCH(bool, hasView);
        QFETCH(QString, url);
        QFETCH(bool, loading);
        QFETCH(bool, inPlace);
        QCOMPARE(TFavoriteEntries::OpensInCurrentTab(hasView, url, loading), inPlace);
    }

    void fitCaptionCutsWholeCharacters() {
        const QFontMetrics metrics(QGuiApplication::font());
        QString shortName = QStringLiteral("a");
        QCOMPARE(TFavoriteEntries::FitCaption(shortName, metrics), metrics.horizontalAdvance("a") + 30);
        QCOMPARE(shortName, QStringLiteral("a"));

        const QString longName = QStringLiteral("新闻😀网站😀首页😀新闻😀网站😀首页😀");
        QString caption = longName;
        const int width = TFavoriteEntries::FitCaption(caption, metrics);
        QVERIFY(longName.startsWith(caption));
        QVERIFY(caption.size() < longName.size());
        QVERIFY(!caption.isEmpty() && !caption.at(caption.size() - 1).isHighSurrogate()); // no half character
        QVERIFY(metrics.horizontalAdvance(caption) <= TFavoriteEntries::MaxCaptionWidth);
        QCOMPARE(width, metrics.horizontalAdvance(caption) + 30);
        // One more character would not fit: the cut is the longest that does.
        const int next = caption.size() + (longName.at(caption.size()).isHighSurrogate() ? 2 : 1);
        QVERIFY(metrics.horizontalAdvance(longName.left(next)) > TFavoriteEntries::MaxCaptionWidth);
    }

    // ---- Drag reorder

    void dragThreshold_data() {
        QTest::addColumn<QPoint>("move");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("drags");
        QTest::newRow("4 px right") << QPoint(4, 0) << true << false;
        QTest::newRow("4 px both ways") << QPoint(-4, 4) << true << false;
        QTest::newRow("5 px right") << QPoint(5, 0) << true << true;
        QTest::newRow("5 px up") << QPoint(0, -5) << true << true;
        QTest::newRow("default favorite") << QPoint(40, 0) << false << false;
    }
    void dragThreshold() {
        QFETCH(QPoint, move);
        QFETCH(bool, stored);
        QFETCH(bool, drags);
        TFavoriteDrag drag;
        drag.Press(QPoint(100, 10));
        QCOMPARE(drag.Move(QPoint(100, 10) + move, stored), drags);
        QCOMPARE(drag.Release(), drags);
        QVERIFY(!drag.Dragging());
    }

    void dropMarkSwallowsOneClick() {
        TFavoriteDrag drag;
        drag.Press(QPoint(0, 0));
        drag.SetDropped();
        QVERIFY(drag.TakeDropped());
        QVERIFY(!drag.TakeDropped());
        // A drop whose release produced no click must not swallow the next gesture's click.
        drag.SetDropped();
        drag.Press(QPoint(0, 0));
        QVERIFY(!drag.TakeDropped());
    }

    void dropPlace_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("after");
        // Targets: [0, 60) and [60, 100) horizontally, 23 high.
        QTest::newRow("left half of the first") << QPoint(10, 5) << 0 << false;
        QTest::newRow("exactly half is the left half") << QPoint(30, 5) << 0 << false;
        QTest::newRow("right half of the first") << QPoint(31, 5) << 0 << true;
        QTest::newRow("right half of the second") << QPoint(81, 5) << 1 << true;
        QTest::newRow("beside the bar") << QPoint(150, 5) << -1 << false;
        QTest::newRow("below the bar") << QPoint(10, 40) << -1 << false;
    }
    void dropPlace() {
        QFETCH(QPoint, point);
        QFETCH(int, target);
        QFETCH(bool, after);
        const TDropPlace place = TFavoriteDrag::DropPlace({QRect(0, 0, 60, 23), QRect(60, 0, 40, 23)}, point);
        QCOMPARE(place.Target, target);
        if (target >= 0)
            QCOMPARE(place.After, after);
    }

    void movedOrder_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("after");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("C onto the left of A") << 2 << 0 << false << QStringList{"C", "A", "B"};
        QTest::newRow("C onto the right of A") << 2 << 0 << true << QStringList{"A", "C", "B"};
        QTest::newRow("A onto the right of C") << 0 << 2 << true << QStringList{"B", "C", "A"};
        QTest::newRow("A onto the left of C") << 0 << 2 << false << QStringList{"B", "A", "C"};
        QTest::newRow("onto itself") << 1 << 1 << true << QStringList{"A", "B", "C"};
        QTest::newRow("no target") << 1 << -1 << true << QStringList{"A", "B", "C"};
    }
    void movedOrder() {
        QFETCH(int, from);
        QFETCH(int, target);
        QFETCH(bool, after);
        QFETCH(QStringList, order);
        const QVector<int> moved = TFavoriteDrag::MovedOrder(3, from, {target, after});
        QCOMPARE(Order(moved, {"A", "B", "C"}), order);
    }

    // The drop's order stored with the ranking batch is the order of the next load.
    void droppedOrderSurvivesReload() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        for (const char* name : {"A", "B", "C"})
            QVERIFY(favorites.AddFavorite(name, QStringLiteral("http://%1/").arg(name), "65535"));
        QVERIFY(favorites.LoadFavorites());
        const QVector<int> order = TFavoriteDrag::MovedOrder(3, 2, {0, false});
        favorites.Items = TFavoriteDrag::Reordered(favorites.Items, order);
        QStringList ids;
        for (const TFavInfo& item : favorites.Items)
            ids.append(item.Id);
        QVERIFY(favorites.SaveRankings(ids));
        TFavorites reloaded(data.Db());
        QVERIFY(reloaded.LoadFavorites());
        QCOMPARE(Names(reloaded.Items), (QStringList{"C", "A", "B"}));
        QCOMPARE(reloaded.Items.at(0).Ranking, QStringLiteral("1"));
        QCOMPARE(reloaded.Items.at(2).Ranking, QStringLiteral("3"));
    }

    // ---- The dialogs' checks

    void addToFavoritesChecksTheName() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QString name = QStringLiteral("   ");
        QCOMPARE(TFavoriteEdit::AddToFavorites(favorites, name, "http://a/"), TFavEditResult::EmptyName);
        QVERIFY(name.isEmpty());
        name = QStringLiteral("  新闻 ");
        // The address is stored as the address bar showed it, blanks included.
        QCOMPARE(TFavoriteEdit::AddToFavorites(favorites, name, " http://a/ "), TFavEditResult::Saved);
        QCOMPARE(name, QStringLiteral("新闻"));
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(favorites.Items.size(), 1);
        QCOMPARE(favorites.Items.at(0).FavUrl, QStringLiteral(" http://a/ "));
        QCOMPARE(favorites.Items.at(0).Ranking, QStringLiteral("65535"));
    }

    void favoriteDialogModes() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QString id;
        QString name = QStringLiteral(" A ");
        QString url = QStringLiteral("");
        QCOMPARE(TFavoriteEdit::SaveFavorite(favorites, id, QString(), name, url), TFavEditResult::EmptyUrl);
        url = QStringLiteral(" http://same/ ");
        QCOMPARE(TFavoriteEdit::SaveFavorite(favorites, id, QString(), name, url), TFavEditResult::Saved);
        QCOMPARE(url, QStringLiteral("http://same/"));
        const QString firstId = id;
        QVERIFY(!firstId.isEmpty() && firstId != QStringLiteral("0"));
        id.clear();
        name = QStringLiteral("B");
        url = QStringLiteral("http://same/");
        QCOMPARE(TFavoriteEdit::SaveFavorite(favorites, id, QString(), name, url), TFavEditResult::Saved);
        QVERIFY(id != firstId);

        // By id: that row only.
        QString byId = firstId;
        name = QStringLiteral("A2");
        url = QStringLiteral("http://a2/");
        QCOMPARE(TFavoriteEdit::SaveFavorite(favorites, byId, QString(), name, url), TFavEditResult::Saved);
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(Names(favorites.Items), (QStringList{"A2", "B"}));
        // By address: every row with it.
        QString noId;
        name = QStringLiteral("Both");
        url = QStringLiteral("http://both/");
        QVERIFY(favorites.AddFavorite("C", "http://same/", "65535"));
        QCOMPARE(TFavoriteEdit::SaveFavorite(favorites, noId, "http://same/", name, url),
                 TFavEditResult::Saved);
        QVERIFY(noId.isEmpty());
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(Names(favorites.Items), (QStringList{"A2", "Both", "Both"}));
    }

    // Text that looks like SQL or holds a line break is one favorite's name, nothing else.
    void nameWithStatementStaysOneFavorite() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QVERIFY(favorites.AddFavorite("keep", "http://keep/", "65535"));
        QString id;
        QString name = QStringLiteral("x\nDELETE FROM qb_fav;");
        QString url = QStringLiteral("http://x/';DELETE FROM qb_fav;--");
        QCOMPARE(TFavoriteEdit::SaveFavorite(favorites, id, QString(), name, url), TFavEditResult::Saved);
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(favorites.Items.size(), 2);
        QCOMPARE(favorites.Items.at(1).FavName, QStringLiteral("x\nDELETE FROM qb_fav;"));
        QCOMPARE(favorites.Items.at(1).FavUrl, url);
        QStringList ids{favorites.Items.at(1).Id, favorites.Items.at(0).Id};
        QVERIFY(favorites.SaveRankings(ids));
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(Names(favorites.Items), (QStringList{"x\nDELETE FROM qb_fav;", "keep"}));
    }

    void failedStatementsAreReported() {
        QTemporaryDir dir;
        TDb db;
        QVERIFY(!db.Open(dir.filePath(QStringLiteral("none/data.dat"))));
        TFavorites favorites(db);
        QString id;
        QString name = QStringLiteral("A");
        QString url = QStringLiteral("http://a/");
        QCOMPARE(TFavoriteEdit::AddToFavorites(favorites, name, url), TFavEditResult::AddFailed);
        QCOMPARE(TFavoriteEdit::SaveFavorite(favorites, id, QString(), name, url), TFavEditResult::AddFailed);
        QVERIFY(id.isEmpty());
        id = QStringLiteral("3");
        QCOMPARE(TFavoriteEdit::SaveFavorite(favorites, id, QString(), name, url),
                 TFavEditResult::UpdateFailed);
        id.clear();
        QCOMPARE(TFavoriteEdit::SaveFavorite(favorites, id, "http://old/", name, url),
                 TFavEditResult::UpdateFailed);
    }

    // ---- The manager's list

    void listMovesWithinItsEnds() {
        TFavoriteListModel model;
        model.SetRows({Fav("A", "http://a/", "1"), Fav("B", "http://b/", "2"), Fav("C", "http://c/", "3")});
        QVERIFY(!model.MoveRow(2, 1));
        QVERIFY(!model.MoveRow(0, -1));
        QCOMPARE(model.Ids(), (QStringList{"1", "2", "3"}));
        QVERIFY(model.MoveRow(0, 1));
        QCOMPARE(model.Ids(), (QStringList{"2", "1", "3"}));
        QVERIFY(model.MoveRow(2, -1));
        QCOMPARE(model.Ids(), (QStringList{"2", "3", "1"}));
        model.RemoveRow(1);
        QCOMPARE(model.Ids(), (QStringList{"2", "1"}));
        QCOMPARE(model.data(model.index(1, TFavoriteListModel::ColumnUrl)).toString(),
                 QStringLiteral("http://a/"));
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("标题"));
    }

    // A build asking for thousands of icons starts a few fetches at a time, each file once, and
    // only for favorites opened in this session.
    void iconRequestsGoOutAFewAtATime() {
        QStringList requested;
        TFavIconQueue queue([&requested](const QString& url, const QString&) { requested.append(url); });
        const int count = TFavIconQueue::BatchSize + 2;
        for (int i = 0; i < count; ++i)
            queue.NoteOpened(QStringLiteral("http://site%1/").arg(i));
        for (int build = 0; build < 2; ++build) {
            for (int i = 0; i <= count; ++i) // the last one was never opened: never asked
                queue.Ask(QStringLiteral("http://site%1/").arg(i), QStringLiteral("%1.ico").arg(i));
        }
        QVERIFY(requested.isEmpty()); // nothing while the build runs
        QTRY_COMPARE(requested.size(), TFavIconQueue::BatchSize);
        QCOMPARE(requested.first(), QStringLiteral("http://site0/"));
        QTest::qWait(TFavIconQueue::IntervalMs / 2);
        QCOMPARE(requested.size(), TFavIconQueue::BatchSize);
        QTRY_COMPARE_WITH_TIMEOUT(requested.size(), count, 3 * TFavIconQueue::IntervalMs);
        QCOMPARE(queue.Pending(), 0);
        QTest::qWait(TFavIconQueue::IntervalMs + 100);
        QCOMPARE(requested.size(), count);
    }
};

QTEST_MAIN(TestFavoriteRules)
#include "tst_FavoriteRules.moc"
