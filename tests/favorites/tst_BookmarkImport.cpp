// Reading bookmark files: round trip of an exported file, skipping stored addresses, the FAV_POS
// rule, malformed files, and an export that fails.
#include "common/AnsiCodec.h"
#include "favorites/BookmarkFile.h"
#include "favorites/BookmarkImport.h"
#include "favorites/BookmarkImportAnyBrowser.h"
#include "favorites/Favorites.h"
#include "support/TestDb.h"
#include "support/Unprivileged.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {

struct TRow {
    QString Name, Url, Ranking;
    bool operator==(const TRow& other) const {
        return Name == other.Name && Url == other.Url && Ranking == other.Ranking;
    }
};

QList<TRow> Rows(TFavorites& favorites) {
    favorites.LoadFavorites();
    QList<TRow> rows;
    for (const TFavInfo& item : favorites.Items)
        rows.append(TRow{item.FavName, item.FavUrl, item.Ranking});
    return rows;
}

bool Import(TFavorites& favorites, const QString& fileName) {
    return ImportBookmarkFile(favorites, fileName);
}

QString WriteFile(const QString& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QByteArray LinkLine(const QString& url, const QString& ranking, const QString& name) {
    return ToAnsi(QStringLiteral("<DT><A HREF=\"%1\" FAV_POS=\"%2\" >%3</A>\r\n").arg(url, ranking, name));
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

const QByteArray kHead = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<TITLE>Bookmarks</TITLE>\r\n<DL>\r\n<p>\r\n";
const QByteArray kTail = "</DL>\r\n</p>\r\n";

// The head another browser writes: UTF-8 declared, a title heading and the list.
const QByteArray kNetscapeHead = "\xEF\xBB\xBF<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                                 "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                                 "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";

QByteArray NetscapeFolder(const QByteArray& name, const QByteArray& items) {
    return "    <DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000001\">" + name + "</H3>\n    <DL><p>\n" +
           items + "    </DL><p>\n";
}

QByteArray NetscapeLink(const QByteArray& href, const QByteArray& name) {
    return "        <DT><A HREF=\"" + href + "\" ADD_DATE=\"1700000000\" ICON=\"data:image/png;base64,iVBORw0KGgo=\">" +
           name + "</A>\n";
}


} // namespace

class TestBookmarkImport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void exportedFileImportsBackOnce() {
        TTestDb source;
        QVERIFY(source.Ok());
        TFavorites from(source.Db());
        QVERIFY(from.AddFavorite(QStringLiteral("O'Neil %_\\ 新闻 😀"),
                                 QStringLiteral("http://a.example/it's?q=%_\\&x=新闻😀"),
                                 QStringLiteral("2")));
        QVERIFY(from.AddFavorite(QStringLiteral("Plain"), QStringLiteral("http://b.example"),
                                 QStringLiteral("1")));
        QVERIFY(from.AddFavorite(QStringLiteral("Later \"quoted\""), QStringLiteral("https://c.example/x"),
                                 QStringLiteral("65535")));
        const QString fileName = source.DirPath() + QStringLiteral("/bookmarks.html");
        QVERIFY(ExportFavorites(from, fileName));

        TTestDb target;
        QVERIFY(target.Ok());
        TFavorites into(target.Db());
        QVERIFY(Import(into, fileName));
        QCOMPARE(Rows(into), Rows(from));
        QVERIFY(Import(into, fileName));
        QCOMPARE(Rows(into).size(), 3);
        // Into the store it came from: every address is there already.
        QVERIFY(Import(from, fileName));
        QCOMPARE(Rows(from).size(), 3);
    }

    void storedAddressIsSkippedWhateverItsName() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QVERIFY(favorites.AddFavorite(QStringLiteral("Mine"), QStringLiteral("http://a.example/"),
                                      QStringLiteral("9")));
        const QString file = WriteFile(
            data.DirPath(), QStringLiteral("b.html"),
            kHead + LinkLine("http://a.example/", "1", "Theirs") + "<DL><p><DT><H3>Folder</H3>\r\n" +
                LinkLine("http://n.example/", "2", "Nested") + "</DL><p>\r\n" + kTail);
        QVERIFY(Import(favorites, file));
        QCOMPARE(Rows(favorites),
                 (QList<TRow>{{"Nested", "http://n.example/", "2"}, {"Mine", "http://a.example/", "9"}}));
    }

    // A new link without FAV_POS ends the import; what came before it stays. A stored address
    // without FAV_POS is skipped before that test.
    void linkWithoutRankingEndsTheImport() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QVERIFY(favorites.AddFavorite(QStringLiteral("Known"), QStringLiteral("http://k.example/"),
                                      QStringLiteral("1")));
        const QString file = WriteFile(data.DirPath(), QStringLiteral("b.html"),
                                       kHead + "<DT><A HREF=\"http://k.example/\">Known</A>\r\n" +
                                           LinkLine("http://1.example/", "5", "One") +
                                           "<DT><A HREF=\"http://2.example/\">Two</A>\r\n" +
                                           LinkLine("http://3.example/", "6", "Three") + kTail);
        QVERIFY(!Import(favorites, file));
        QCOMPARE(Rows(favorites),
                 (QList<TRow>{{"Known", "http://k.example/", "1"}, {"One", "http://1.example/", "5"}}));
    }

    // A ranking that is not a number is not written into the statement; the walk goes on.
    void nonNumericRankingIsSkipped() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        const QString file =
            WriteFile(data.DirPath(), QStringLiteral("b.html"),
                      kHead + LinkLine("http://1.example/", "1); DELETE FROM qb_fav; --", "Bad") +
                          LinkLine("http://2.example/", "4", "Good") + kTail);
        QVERIFY(Import(favorites, file));
        QCOMPARE(Rows(favorites), (QList<TRow>{{"Good", "http://2.example/", "4"}}));
    }

    // A name with a line break (and SQL after it), a link met twice in one file.
    void awkwardLinks() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QVERIFY(favorites.AddFavorite(QStringLiteral("Kept"), QStringLiteral("http://k.example/"),
                                      QStringLiteral("1")));
        const QString file =
            WriteFile(data.DirPath(), QStringLiteral("b.html"),
                      kHead + LinkLine("http://1.example/", "2", "One<br>DELETE FROM qb_fav; --") +
                          LinkLine("http://2.example/", "3", "Two") +
                          LinkLine("http://2.example/", "4", "Again") + kTail);
        QVERIFY(Import(favorites, file));
        QCOMPARE(Rows(favorites), (QList<TRow>{{"Kept", "http://k.example/", "1"},
                                               {"One\nDELETE FROM qb_fav; --", "http://1.example/", "2"},
                                               {"Two", "http://2.example/", "3"}}));
    }

    void malformedFilesFailAndChangeNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray complete = kHead + LinkLine("http://1.example/", "1", "One") +
                                    LinkLine("http://2.example/", "2", "Two") + kTail;
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("blank") << QByteArray(" \r\n\r\n");
        QTest::newRow("binary") << QByteArray(
            "\x89PNG\r\n\x1a\n\0\0\0\rIHDR<DL><a href=x FAV_POS=1>x</a></DL>", 40);
        QTest::newRow("plain text") << QByteArray("just some words, no list");
        QTest::newRow("cut in a name") << complete.left(complete.indexOf("Two") + 2);
        QTest::newRow("cut in an address") << complete.left(complete.indexOf("2.example"));
        QTest::newRow("cut before the list ends") << complete.left(complete.indexOf("</DL>"));
    }
    void malformedFilesFailAndChangeNothing() {
        QFETCH(QByteArray, bytes);
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QVERIFY(favorites.AddFavorite(QStringLiteral("Kept"), QStringLiteral("http://k.example/"),
                                      QStringLiteral("1")));
        QVERIFY(!Import(favorites, WriteFile(data.DirPath(), QStringLiteral("b.html"), bytes)));
        QCOMPARE(Rows(favorites), (QList<TRow>{{"Kept", "http://k.example/", "1"}}));
    }

    // The check for a file cut off inside its list looks for links by their whole tag name: other
    // tags beginning with "<a" after the list do not make a sound file look cut off.
    void tagsBeginningLikeALinkAfterTheList_data() {
        QTest::addColumn<QByteArray>("trailer");
        QTest::newRow("abbr") << QByteArray("<abbr title=\"x\">x</abbr>");
        QTest::newRow("address") << QByteArray("<ADDRESS>me@example</ADDRESS>\r\n");
        QTest::newRow("area") << QByteArray("<map><area shape=\"rect\" href=\"x\"></map>");
        QTest::newRow("aside") << QByteArray("<aside>note</aside>");
        QTest::newRow("audio") << QByteArray("<audio src=\"a.ogg\"></audio>");
    }
    void tagsBeginningLikeALinkAfterTheList() {
        QFETCH(QByteArray, trailer);
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        const QString file = WriteFile(data.DirPath(), QStringLiteral("b.html"),
                                       kHead + LinkLine("http://1.example/", "1", "One") + kTail + trailer);
        QVERIFY(Import(favorites, file));
        QCOMPARE(Rows(favorites), (QList<TRow>{{"One", "http://1.example/", "1"}}));
    }

    // A data file that takes no writes (read-only) must not make an import that stored nothing
    // look successful.
    void dataFileThatRefusesWritesFailsTheImport() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        const QString file = WriteFile(data.DirPath(), QStringLiteral("b.html"),
                                       kHead + LinkLine("http://1.example/", "1", "One") + kTail);
        // The connection then answers every write as it does for a read-only file.
        data.Db().Query(QStringLiteral("PRAGMA query_only = 1"));
        QVERIFY(!favorites.AddFavorite(QStringLiteral("x"), QStringLiteral("http://x.example/"),
                                       QStringLiteral("1")));
        QVERIFY(!Import(favorites, file));
        QVERIFY(Rows(favorites).isEmpty());
    }

    // Names and addresses that look like markup, references or attributes come back byte for byte;
    // none of them turns into markup in the file.
    void hostileNamesComeBackByteForByte() {
        const QStringList texts{"</A><script>alert(1)</script>",
                                "\"FAV_POS=\"1",
                                "Tom & \"Jerry\" 'x' <b>",
                                "&amp; &lt; &#65; &nbsp; &bogus",
                                "新闻 中文",
                                "😀🀄𠀀",
                                "   ",
                                " padded ",
                                "",
                                "line\r\nbreak\nand\rreturn\ttab",
                                "<!-- x --> ]]> <br> </DL>",
                                "back\\slash %_"};
        TTestDb source;
        TFavorites from(source.Db());
        for (int i = 0; i < texts.size(); ++i)
            QVERIFY(
                from.AddFavorite(texts[i], texts[i] + QStringLiteral("|%1").arg(i), QString::number(i + 1)));
        const QString fileName = source.DirPath() + QStringLiteral("/bookmarks.html");
        QVERIFY(ExportFavorites(from, fileName));
        const QByteArray bytes = ReadFile(fileName);
        QVERIFY(!bytes.toLower().contains("<script"));
        QCOMPARE(bytes.count("FAV_POS=\""), texts.size());
        TTestDb target;
        TFavorites into(target.Db());
        QVERIFY(Import(into, fileName));
        QCOMPARE(Rows(into), Rows(from));
    }

    // An export that fails half way (the disk full) or cannot begin (a folder or a file the user
    // may not write) leaves the old file as it was, and no stray file beside it.
    void failedExportKeepsTheOldFile() {
        TTestDb data;
        TFavorites favorites(data.Db());
        for (int i = 0; i < 100; ++i)
            QVERIFY(favorites.AddFavorite(QStringLiteral("收藏 %1").arg(i),
                                          QStringLiteral("http://%1/").arg(i), "1"));
        const QByteArray old = "the old bookmarks";
        const QString fileName = WriteFile(data.DirPath(), QStringLiteral("b.html"), old);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 2048;
        setrlimit(RLIMIT_FSIZE, &small);
        const bool exported = ExportFavorites(favorites, fileName);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!exported);
        QCOMPARE(ReadFile(fileName), old);
        QCOMPARE(QDir(data.DirPath()).entryList({"b.html*"}), QStringList{"b.html"});

        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::ExeOther);
        const QStringList folders{"locked", "open"};
        for (const QString& folder : folders) {
            QVERIFY(QDir(dir.path()).mkdir(folder));
            QFile::setPermissions(WriteFile(dir.filePath(folder), "b.html", old),
                                  folder == "locked" ? QFile::Permissions(0x6666)
                                                     : QFile::Permissions(0x4444));
            QFile::setPermissions(dir.filePath(folder), folder == "locked" ? QFile::Permissions(0x5555)
                                                                           : QFile::Permissions(0x7777));
        }
        QCOMPARE(RunWithoutPrivileges([&] {
                     TDb none;
                     TFavorites empty(none);
                     QString failures;
                     for (const QString& folder : folders) {
                         if (ExportFavorites(empty, dir.filePath(folder + "/b.html")))
                             failures += folder + " was written ";
                     }
                     return failures;
                 }),
                 QString());
        for (const QString& folder : folders)
            QCOMPARE(ReadFile(dir.filePath(folder + "/b.html")), old);
    }

    void exportOfNoFavoritesImportsAsNothing() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        const QString fileName = data.DirPath() + QStringLiteral("/none.html");
        QVERIFY(ExportFavorites(favorites, fileName));
        QVERIFY(Import(favorites, fileName));
        QVERIFY(Rows(favorites).isEmpty());
    }
    // Another browser's file: the own import refuses it and says why; the any-browser import takes
    // every web or file link in document order with its folders in the name, and counts the
    // stored, repeated and unusable ones it skips.
    void otherBrowsersFileIsFlattened() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QVERIFY(favorites.AddFavorite(QStringLiteral("Old"), QStringLiteral("http://stored.example/"),
                                      QStringLiteral("1")));
        const QByteArray bar = NetscapeLink("https://a.example/", "新闻 &amp; 天气") +
                               NetscapeFolder("甲", NetscapeLink("http://b.example/x?y=1", "乙链接") +
                                                        NetscapeFolder("乙", NetscapeLink("ftp://c.example/f", "C")) +
                                                        NetscapeLink("file:///home/u/d.html", "")) +
                               "        <DT><A HREF=http://unquoted.example/>Unquoted</A>\n";
        const QByteArray bytes = kNetscapeHead +
                                 "    <DT><H3 PERSONAL_TOOLBAR_FOLDER=\"true\">书签栏</H3>\n    <DL><p>\n" + bar +
                                 "    </DL><p>\n    <DT><H3>Empty</H3>\n" +
                                 NetscapeLink("javascript:alert(1)", "Script") +
                                 NetscapeLink("place:sort=8", "Recent") + NetscapeLink("", "Nothing") +
                                 NetscapeLink("http://stored.example/", "Again") +
                                 NetscapeLink("https://a.example/", "Twice") + "</DL><p>\n";
        const QString file = WriteFile(data.DirPath(), QStringLiteral("chrome.html"), bytes);

        bool withoutFavPos = false;
        QVERIFY(!ImportBookmarkFile(favorites, file, &withoutFavPos));
        QVERIFY(withoutFavPos);
        QCOMPARE(Rows(favorites).size(), 1);

        TBookmarkImportCount count;
        QVERIFY(ImportAnyBrowserBookmarkFile(favorites, file, &count));
        QCOMPARE(count.Taken, 5);
        QCOMPARE(count.Skipped, 5);
        QCOMPARE(Rows(favorites), (QList<TRow>{{"Old", "http://stored.example/", "1"},
                                               {"书签栏/新闻 & 天气", "https://a.example/", "65535"},
                                               {"书签栏/甲/乙链接", "http://b.example/x?y=1", "65535"},
                                               {"书签栏/甲/乙/C", "ftp://c.example/f", "65535"},
                                               {"书签栏/甲/file:///home/u/d.html", "file:///home/u/d.html", "65535"},
                                               {"书签栏/Unquoted", "http://unquoted.example/", "65535"}}));
    }

    // A large export of another browser, in folders, comes in whole and in order.
    void tenThousandForeignLinks() {
        TTestDb data;
        QVERIFY(data.Ok());
        TFavorites favorites(data.Db());
        QByteArray bytes = kNetscapeHead;
        for (int folder = 0; folder < 100; ++folder) {
            QByteArray links;
            for (int link = 0; link < 100; ++link) {
                const QByteArray n = QByteArray::number(folder * 100 + link);
                links += NetscapeLink("https://site" + n + ".example/", "站点" + n);
            }
            bytes += NetscapeFolder("F" + QByteArray::number(folder), links);
        }
        bytes += "</DL><p>\n";
        TBookmarkImportCount count;
        QVERIFY(ImportAnyBrowserBookmarkFile(favorites, WriteFile(data.DirPath(), "big.html", bytes), &count));
        QCOMPARE(count.Taken, 10000);
        const QList<TRow> rows = Rows(favorites);
        QCOMPARE(rows.size(), 10000);
        QCOMPARE(rows.first().Name, QStringLiteral("F0/站点0"));
        QCOMPARE(rows.at(4321).Name, QStringLiteral("F43/站点4321"));
        QCOMPARE(rows.last().Url, QStringLiteral("https://site9999.example/"));
    }
};

QTEST_GUILESS_MAIN(TestBookmarkImport)
#include "tst_BookmarkImport.moc"
