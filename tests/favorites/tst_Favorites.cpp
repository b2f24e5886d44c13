// The favorites store (every operation, display order, the ranking batch) and the bookmark file
// it writes.
#include "common/AnsiCodec.h"
#include "favorites/BookmarkFile.h"
#include "favorites/Favorites.h"
#include "support/ListTexts.h"
#include "support/TestDb.h"

#include <QtTest>

namespace {

QStringList Names(const TFavInfoList& items) {
    return Texts(items, &TFavInfo::FavName);
}

QStringList Ids(const TFavInfoList& items) {
    return Texts(items, &TFavInfo::Id);
}

int RowCount(TDb& db) {
    auto table = db.Query(QStringLiteral("SELECT COUNT(*) AS n FROM qb_fav"));
    return table ? static_cast<int>(table->FieldAsInt64(QStringLiteral("n"))) : -1;
}

} // namespace

class TestFavorites : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void addLoadAndLastInsertId() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QVERIFY(favorites.LoadFavorites());
        QVERIFY(favorites.Items.isEmpty());
        QVERIFY(favorites.AddFavorite(QStringLiteral("O'Neil \"<b>\" %_\\ 新闻 😀"),
                                      QStringLiteral("http://a.example/it's?q=%_\\&x=新闻😀"),
                                      QStringLiteral("65535")));
        const qint32 id = favorites.LastInsertId();
        QVERIFY(id > 0);
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(favorites.Items.size(), 1);
        const TFavInfo item = favorites.Items.at(0);
        QCOMPARE(item.Id, QString::number(id));
        QCOMPARE(item.FavName, QStringLiteral("O'Neil \"<b>\" %_\\ 新闻 😀"));
        QCOMPARE(item.FavUrl, QStringLiteral("http://a.example/it's?q=%_\\&x=新闻😀"));
        QCOMPARE(item.Ranking, QStringLiteral("65535"));
        QCOMPARE(item.ImageIndex, 0);
        QVERIFY(favorites.FavoriteExists(QStringLiteral("http://a.example/it's?q=%_\\&x=新闻😀")));
        QVERIFY(!favorites.FavoriteExists(QStringLiteral("http://a.example/")));
    }

    // Rankings are written unquoted: only whole numbers pass, ids likewise.
    void refusesWhatWouldChangeTheStatement_data() {
        QTest::addColumn<QString>("ranking");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("number") << "7" << true;
        QTest::newRow("negative") << "-2" << true;
        QTest::newRow("blanks around") << " 3 " << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("text") << "first" << false;
        QTest::newRow("expression") << "1), ('x', 'y', 2" << false;
        QTest::newRow("subquery") << "(SELECT 1)" << false;
    }
    void refusesWhatWouldChangeTheStatement() {
        QFETCH(QString, ranking);
        QFETCH(bool, accepted);
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QCOMPARE(favorites.AddFavorite(QStringLiteral("n"), QStringLiteral("u"), ranking), accepted);
        QCOMPARE(RowCount(data.Db()), accepted ? 1 : 0);
        QVERIFY(!favorites.DeleteFavoriteById(QStringLiteral("1 OR 1=1")));
        QVERIFY(
            !favorites.UpdateFavoriteById(QStringLiteral("id"), QStringLiteral("n"), QStringLiteral("u")));
        QCOMPARE(RowCount(data.Db()), accepted ? 1 : 0);
    }

    void updatesAndDeletes() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QVERIFY(
            favorites.AddFavorite(QStringLiteral("A"), QStringLiteral("http://twice/"), QStringLiteral("1")));
        QVERIFY(
            favorites.AddFavorite(QStringLiteral("B"), QStringLiteral("http://twice/"), QStringLiteral("2")));
        QVERIFY(favorites.AddFavorite(QStringLiteral("C"), QStringLiteral("http://c/"), QStringLiteral("3")));
        const QString idC = QString::number(favorites.LastInsertId());

        QVERIFY(favorites.UpdateFavoriteByUrl(QStringLiteral("T"), QStringLiteral("http://twice/"),
                                              QStringLiteral("http://t'/")));
        QVERIFY(favorites.UpdateFavoriteById(idC, QStringLiteral("C2"), QStringLiteral("http://c2/")));
        QVERIFY(favorites.Items.isEmpty()); // writes do not touch the in-memory list
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(Names(favorites.Items), (QStringList{"T", "T", "C2"}));
        QCOMPARE(favorites.Items.at(0).FavUrl, QStringLiteral("http://t'/"));

        QVERIFY(favorites.DeleteFavoriteByUrl(QStringLiteral("http://t'/")));
        QCOMPARE(RowCount(data.Db()), 1);
        QVERIFY(favorites.DeleteFavoriteById(idC));
        QCOMPARE(RowCount(data.Db()), 0);
    }

    void reorderThenAddFollowsInOrder() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        for (int i = 0; i < 5; ++i)
            QVERIFY(favorites.AddFavorite(QString::number(i), QStringLiteral("http://%1/").arg(i),
                                          QString::number(TFavorites::NewRanking)));
        QVERIFY(favorites.LoadFavorites());
        QStringList ids = Ids(favorites.Items);
        std::reverse(ids.begin(), ids.end());
        QCOMPARE(TFavorites::RankingScript(ids.mid(0, 2)),
                 QStringLiteral("UPDATE qb_fav SET ranking = 1 WHERE id = %1;\rUPDATE qb_fav SET ranking = 2 "
                                "WHERE id = %2;\r")
                     .arg(ids.at(0), ids.at(1)));
        QVERIFY(favorites.SaveRankings(ids));
        QVERIFY(favorites.AddFavorite(QStringLiteral("new1"), QStringLiteral("http://n1/"),
                                      QString::number(TFavorites::NewRanking)));
        QVERIFY(favorites.AddFavorite(QStringLiteral("new2"), QStringLiteral("http://n2/"),
                                      QString::number(TFavorites::NewRanking)));
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(Names(favorites.Items), (QStringList{"4", "3", "2", "1", "0", "new1", "new2"}));
        QCOMPARE(favorites.Items.at(4).Ranking, QStringLiteral("5"));
    }

    void rankingBatchIsAllOrNothing() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        for (int i = 0; i < 4; ++i)
            QVERIFY(favorites.AddFavorite(QString::number(i), QStringLiteral("http://%1/").arg(i),
                                          QString::number(10 + i)));
        QVERIFY(favorites.LoadFavorites());
        const QStringList ids = Ids(favorites.Items);
        QVERIFY(data.Db().Execute(
            QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE OF ranking ON qb_fav WHEN old.id = %1 "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                .arg(ids.at(2))));
        QVERIFY(!favorites.SaveRankings({ids.at(3), ids.at(2), ids.at(1), ids.at(0)}));
        QVERIFY(!favorites.SaveRankings({ids.at(3), QStringLiteral("x")}));
        QVERIFY(!favorites.SaveRankings({}));
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(Ids(favorites.Items), ids);
        QCOMPARE(favorites.Items.at(0).Ranking, QStringLiteral("10"));
    }

    // The batch adds everything in one transaction; when one insert fails the others are added
    // one by one. A line break in a value never reaches the one-statement-per-line batch, where
    // the rest of the value would run as a statement of its own.
    void addFavoritesBatch() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QVERIFY(favorites.AddFavorite(QStringLiteral("Kept"), QStringLiteral("http://kept/"),
                                      QStringLiteral("1")));
        const auto item = [](const QString& name, const QString& url, const QString& ranking) {
            TFavInfo info;
            info.FavName = name;
            info.FavUrl = url;
            info.Ranking = ranking;
            return info;
        };
        TFavInfoList items{
            item("A", "http://a/", "2"), item("line\nDELETE FROM qb_fav; --", "http://b/", "3"),
            item("bad ranking", "http://c/", "x"), item("D", "http://d/\r\nDELETE FROM qb_fav;", "4")};
        QCOMPARE(favorites.AddFavorites(items), 3);
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(Names(favorites.Items), (QStringList{"Kept", "A", "line\nDELETE FROM qb_fav; --", "D"}));

        QVERIFY(data.Db().Execute(
            QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON qb_fav WHEN new.fav_name = 'no' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
        QCOMPARE(favorites.AddFavorites({item("E", "http://e/", "5"), item("no", "http://no/", "6"),
                                         item("F", "http://f/", "7")}),
                 2);
        QVERIFY(favorites.LoadFavorites());
        QCOMPARE(Names(favorites.Items).mid(4), (QStringList{"E", "F"}));
    }

    void failedLoadKeepsItems() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QVERIFY(favorites.AddFavorite(QStringLiteral("A"), QStringLiteral("http://a/"), QStringLiteral("1")));
        QVERIFY(favorites.LoadFavorites());
        QVERIFY(data.Db().Execute(QStringLiteral("DROP TABLE qb_fav")));
        QVERIFY(!favorites.LoadFavorites());
        QCOMPARE(Names(favorites.Items), QStringList{"A"});
        QVERIFY(!favorites.FavoriteExists(QStringLiteral("http://a/")));
        QVERIFY(
            !favorites.AddFavorite(QStringLiteral("B"), QStringLiteral("http://b/"), QStringLiteral("1")));
    }

    void exportWritesTheBookmarkLayout() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QVERIFY(favorites.AddFavorite(QStringLiteral("Third \"<q>\""),
                                      QStringLiteral("http://c.example/?a=1&b='2'"), QStringLiteral("3")));
        QVERIFY(favorites.AddFavorite(QStringLiteral("新闻 😀"), QStringLiteral("http://a.example/新闻"),
                                      QStringLiteral("1")));
        QVERIFY(favorites.AddFavorite(QStringLiteral("Second"), QStringLiteral("http://b.example/"),
                                      QStringLiteral("2")));
        const QString fileName = data.DirPath() + QStringLiteral("/bookmarks.html");
        QVERIFY(ExportFavorites(favorites, fileName));
        QCOMPARE(favorites.Items.size(), 3); // reloaded from the table

        QFile file(fileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\r\n"), 14);
        QCOMPARE(bytes.count('\n'), 14);
        const QStringList lines = FromAnsi(bytes).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 15);
        QCOMPARE(
            lines.mid(0, 9),
            (QStringList{"<!DOCTYPE NETSCAPE-Bookmark-file-1>",
                         "<!-- This is an automatically generated file.", "It will be read and overwritten.",
                         "Do Not Edit! -->", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html\">",
                         "<TITLE>Bookmarks</TITLE>", "<H1>Bookmarks</H1>", "<DL>", "<p>"}));
        QCOMPARE(lines.at(9),
                 QStringLiteral("<DT><A HREF=\"http://a.example/新闻\" FAV_POS=\"1\" >新闻 😀</A>"));
        QCOMPARE(lines.at(10), QStringLiteral("<DT><A HREF=\"http://b.example/\" FAV_POS=\"2\" >Second</A>"));
        QCOMPARE(
            lines.at(11),
            QStringLiteral("<DT><A HREF=\"http://c.example/?a=1&amp;b='2'\" FAV_POS=\"3\" >Third &quot;&lt;q&gt;&quot;</A>"));
        QCOMPARE(lines.mid(12), (QStringList{"</DL>", "</p>", ""}));
        QVERIFY(bytes.contains(ToAnsi(QStringLiteral("新闻 😀"))));

        QVERIFY(!ExportFavorites(favorites, data.DirPath() + QStringLiteral("/missing/folder/b.html")));
    }
};

QTEST_GUILESS_MAIN(TestFavorites)
#include "tst_Favorites.moc"
