// Tests of the common helper functions: sizes, hashes, address dissection, favicon links, file
// types and folders, local-time conversion across daylight-saving changes, thumbnails, logging,
// the cache cleaning rules and the default-browser helpers.
#include "common/AnsiCodec.h"
#include "common/AppPaths.h"
#include "common/DefaultBrowser.h"
#include "common/FavIcons.h"
#include "common/FileSearch.h"
#include "common/FileTypes.h"
#include "common/LocalTime.h"
#include "common/Logging.h"
#include "common/Md5.h"
#include "common/SizeText.h"
#include "common/Thumbnails.h"
#include "common/UrlCache.h"
#include "common/UrlText.h"
#include "common/VirtualKey.h"
#include "common/WebCookieJar.h"
#include "support/LogCapture.h"
#include "support/TestFiles.h"
#include "support/TestServer.h"

#include <QFile>
#include <QImage>
#include <QNetworkCacheMetaData>
#include <QNetworkCookie>
#include <QNetworkDiskCache>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <ctime>

using TAddressHelper = QString (*)(const QString&);
Q_DECLARE_METATYPE(TAddressHelper)

namespace {

// A fake desktop tool placed first on PATH: a shell script with the given body.
void InstallTool(const QString& folder, const QString& name, const QByteArray& body) {
    const QString path = folder + QLatin1Char('/') + name;
    QVERIFY(WriteTestFile(path, "#!/bin/sh\n" + body + "\n"));
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
}
} // namespace

class TestCommonHelpers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void formatSize_data();
    void formatSize();
    void md5Hex();
    void addressHelpers_data();
    void addressHelpers();
    void findFavIconLink_data();
    void findFavIconLink();
    void fileTypeOfExtension_data();
    void fileTypeOfExtension();
    void fetchUrlText();
    void textFilesAndMultiByteText();
    void findFilesRecursive();
    void hotKeyModifiers();
    void unixTimeAcrossDaylightSaving_data();
    void unixTimeAcrossDaylightSaving();
    void unixTimeRoundsToNearestSecond();
    void unixTimeInsideDaylightSavingGap_data();
    void unixTimeInsideDaylightSavingGap();
    void makeThumbnail();
    void writeLogIsOneTaggedLine();
    void clearUrlCache_data();
    void clearUrlCache();
    void clearUrlCacheStopsWhenAsked();
    void defaultBrowserProgId_data();
    void defaultBrowserProgId();
    void browserDesktopFileQuotesThePath();
    void registerAsDefaultBrowser_data();
    void registerAsDefaultBrowser();

private:
    QByteArray m_path;
};

void TestCommonHelpers::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    // A zone with daylight saving: the conversions must use the offset in force at each moment.
    qputenv("TZ", "Europe/Berlin");
    tzset();
    m_path = qgetenv("PATH");
}

void TestCommonHelpers::formatSize_data() {
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0B";
    QTest::newRow("negative") << qint64(-5) << "-5B";
    QTest::newRow("last bytes") << qint64(1023) << "1023B";
    QTest::newRow("first K") << qint64(1024) << "1.00K";
    QTest::newRow("last K rounds up") << qint64(1048575) << "1024.00K";
    QTest::newRow("first M") << qint64(1048576) << "1.00M";
    QTest::newRow("one and a half M") << qint64(1572864) << "1.50M";
    QTest::newRow("first G") << qint64(1073741824) << "1.00G";
    QTest::newRow("beyond 32 bits") << qint64(5) * 1073741824 + 536870912 << "5.50G";
}

void TestCommonHelpers::formatSize() {
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(FormatSize(bytes), text);
}

void TestCommonHelpers::md5Hex() {
    QCOMPARE(Md5Hex(QString()), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
    QCOMPARE(Md5Hex("abc"), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    QCOMPARE(FavIconFileName("abc"), QStringLiteral("900150983cd24fb0d6963f7d28e17f72.ico"));
    // Chinese addresses of the same length must not share a key.
    const QString first = Md5Hex(QStringLiteral("http://例子.cn/下载.zip"));
    const QString second = Md5Hex(QStringLiteral("http://样本.cn/文件.zip"));
    QVERIFY(first != second);
    QVERIFY(QRegularExpression("^[0-9a-f]{32}$").match(first).hasMatch());
}

void TestCommonHelpers::addressHelpers_data() {
    QTest::addColumn<TAddressHelper>("helper");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expected");
    QTest::newRow("HostOfUrl: case and port kept") << &HostOfUrl << "HTTPS://Example.com:8080/a"
                                                   << "Example.com:8080";
    QTest::newRow("HostOfUrl: blanks trimmed") << &HostOfUrl << " http://a.example/x/y "
                                               << "a.example";
    QTest::newRow("HostOfUrl: no scheme") << &HostOfUrl << "www.example.cn/index.html"
                                          << "www.example.cn";
    QTest::newRow("HostOfUrl: no path") << &HostOfUrl << "http://a.example"
                                        << "a.example";
    QTest::newRow("HostOfUrl: other scheme kept") << &HostOfUrl << "ftp://a.example/f"
                                                  << "ftp:";
    QTest::newRow("UrlDirectory: page with query") << &UrlDirectory << "http://x/y/z.html?a"
                                                   << "http://x/y/";
    QTest::newRow("UrlDirectory: hash before query") << &UrlDirectory << "http://x/y/z.html#top?u=/a/b/"
                                                     << "http://x/y/";
    QTest::newRow("UrlDirectory: slash inside query") << &UrlDirectory << "http://x/y/z?u=/a/b/c"
                                                      << "http://x/y/";
    QTest::newRow("UrlDirectory: folder") << &UrlDirectory << "http://a.example/x/"
                                          << "http://a.example/x/";
    QTest::newRow("UrlDirectory: host only gets its root") << &UrlDirectory << "http://a.example"
                                                           << "http://a.example/";
    QTest::newRow("UrlDirectory: host and port") << &UrlDirectory << "https://a.example:8080?q=1"
                                                 << "https://a.example:8080/";
    QTest::newRow("UrlDirectory: colon is a separator") << &UrlDirectory << "about:blank"
                                                        << "about:";
    QTest::newRow("UrlDirectory: nothing to keep") << &UrlDirectory << "plain"
                                                   << "";
    QTest::newRow("SiteRootOfUrl: lower-cased") << &SiteRootOfUrl << "HTTP://A.Example/X/y.html"
                                                << "http://a.example/";
    QTest::newRow("SiteRootOfUrl: https") << &SiteRootOfUrl << "https://a.example/x"
                                          << "https://a.example/";
    QTest::newRow("SiteRootOfUrl: host only gets its root") << &SiteRootOfUrl << "http://a.example"
                                                            << "http://a.example/";
    QTest::newRow("SiteRootOfUrl: query without path") << &SiteRootOfUrl << "http://a.example?u=/x/y"
                                                       << "http://a.example/";
    QTest::newRow("SiteRootOfUrl: other scheme: first slash") << &SiteRootOfUrl << "file:///tmp/x"
                                                              << "file:/";
    QTest::newRow("SiteRootOfUrl: no slash at all") << &SiteRootOfUrl << "a.example"
                                                    << "";
    QTest::newRow("MainDomainOfUrl: government suffix") << &MainDomainOfUrl << "http://a.b.gov.cn/x"
                                                        << "b.gov.cn";
    QTest::newRow("MainDomainOfUrl: two-label suffix") << &MainDomainOfUrl << "a.example.com.cn"
                                                       << "example.com.cn";
    QTest::newRow("MainDomainOfUrl: com") << &MainDomainOfUrl << "http://news.example.com/"
                                          << "example.com";
    QTest::newRow("MainDomainOfUrl: lower-cased https") << &MainDomainOfUrl << "https://WWW.Example.NET/a"
                                                        << "example.net";
    QTest::newRow("MainDomainOfUrl: province suffix before cn") << &MainDomainOfUrl << "http://x.y.zj.cn"
                                                                << "y.zj.cn";
    QTest::newRow("MainDomainOfUrl: unknown suffix: last label")
        << &MainDomainOfUrl << "http://a.b.example.de/"
        << "de";
    QTest::newRow("MainDomainOfUrl: single label") << &MainDomainOfUrl << "http://localhost/"
                                                   << "localhost";
    QTest::newRow("MainDomainOfUrl: address in the query")
        << &MainDomainOfUrl << "http://x.example.com/?u=https://y.org/"
        << "example.com";
    QTest::newRow("MainDomainOfUrl: port dropped") << &MainDomainOfUrl << "http://a.example.com:8080/x"
                                                   << "example.com";
    QTest::newRow("MainDomainOfUrl: user and password part")
        << &MainDomainOfUrl << "http://www.bank.com.cn:x@evil.example.org/"
        << "example.org";
}

void TestCommonHelpers::addressHelpers() {
    QFETCH(TAddressHelper, helper);
    QFETCH(QString, url);
    QFETCH(QString, expected);
    QCOMPARE(helper(url), expected);
}

void TestCommonHelpers::findFavIconLink_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("link");
    const QString page = "http://a.example/x/y.html";
    QTest::newRow("root-relative, single quotes")
        << page << "<head><link href='/i.ico' rel='shortcut icon'></head>"
        << "http://a.example/i.ico";
    QTest::newRow("relative") << page << "<link rel=\"shortcut icon\" href=\"img/i.ico\">"
                              << "http://a.example/x/img/i.ico";
    QTest::newRow("protocol-relative") << page << "<link rel=\"shortcut icon\" href=\"//cdn.example/i.ico\">"
                                       << "http://cdn.example/i.ico";
    QTest::newRow("absolute, upper-case markup, blanks")
        << page << "<LINK REL=\"Shortcut Icon\" HREF=\" https://c.example/F.ico \">"
        << "https://c.example/F.ico";
    QTest::newRow("first of two tags") << page
                                       << "<link rel='shortcut icon' href='/a.ico'><link rel='shortcut "
                                          "icon' href='/b.ico'>"
                                       << "http://a.example/a.ico";
    QTest::newRow("plain icon not recognised") << page << "<link rel=\"icon\" href=\"/i.ico\">"
                                               << "";
    QTest::newRow("no href") << page << "<link rel=\"shortcut icon\">"
                             << "";
    QTest::newRow("unclosed href") << page << "<link rel=\"shortcut icon\" href=\"/i.ico>"
                                   << "";
    QTest::newRow("no markup") << page << ""
                               << "";
}

void TestCommonHelpers::findFavIconLink() {
    QFETCH(QString, page);
    QFETCH(QString, text);
    QFETCH(QString, link);
    QCOMPARE(FindFavIconLink(page, text), link);
}

void TestCommonHelpers::fileTypeOfExtension_data() {
    QTest::addColumn<QString>("extension");
    QTest::addColumn<int>("type");
    QTest::newRow(".ZIP") << ".ZIP" << int(ftRar);
    QTest::newRow(".tar") << ".tar" << int(ftDefault);
    QTest::newRow(".mpeg") << ".mpeg" << int(ftVideo);
    QTest::newRow(".Docx") << ".Docx" << int(ftWord);
    QTest::newRow(".exe") << ".exe" << int(ftExe);
    QTest::newRow(".wav") << ".wav" << int(ftAudio);
    QTest::newRow(".pdf") << ".pdf" << int(ftPdf);
    QTest::newRow(".GIF") << ".GIF" << int(ftImage);
    QTest::newRow(".pptx") << ".pptx" << int(ftPpt);
    QTest::newRow(".log") << ".log" << int(ftTxt);
    QTest::newRow(".xlsx") << ".xlsx" << int(ftExcel);
    QTest::newRow("without dot") << "zip" << int(ftDefault);
    QTest::newRow("empty") << "" << int(ftDefault);
}

void TestCommonHelpers::fileTypeOfExtension() {
    QFETCH(QString, extension);
    QFETCH(int, type);
    QCOMPARE(FileTypeOfExtension(extension), type);
}

void TestCommonHelpers::fetchUrlText() {
    TTestServer server;
    QVERIFY2(server.Running(), qPrintable(server.ErrorText()));
    // Two-byte characters from an odd offset on: some of them straddle every 1024-byte block.
    const QString page = QStringLiteral("x") + QString(3000, QChar(0x4E2D)) + QStringLiteral("end");
    QVERIFY(server.WriteFile("page.html", ToAnsi(page)));
    QCOMPARE(FetchUrlText(server.Url("/page.html")), page);
    // A transfer that breaks off gives what arrived before the break.
    QCOMPARE(FetchUrlText(server.Url("/page.html?drop=2001")), page.left(1001));
    QCOMPARE(FetchUrlText("http://127.0.0.1:1/nothing"), QString());
}

void TestCommonHelpers::textFilesAndMultiByteText() {
    QTemporaryDir dir;
    const QString empty = dir.filePath("empty.ico");
    const QString text = dir.filePath("page.html");
    const QString binary = dir.filePath("icon.ico");
    QVERIFY(WriteTestFile(empty, QByteArray()));
    QVERIFY(WriteTestFile(text, QByteArray(20000, 'x')));
    // The zero byte lies beyond the first block read.
    QVERIFY(WriteTestFile(binary, QByteArray(10000, 'x') + QByteArray(1, '\0') + "tail"));
    QVERIFY(IsTextFile(empty));
    QVERIFY(IsTextFile(text));
    QVERIFY(!IsTextFile(binary));
    QVERIFY(!IsTextFile(dir.filePath("missing")));

    QVERIFY(!HasMultiByteChars("http://a.example/file.zip"));
    QVERIFY(!HasMultiByteChars(QString()));
    QVERIFY(HasMultiByteChars(QStringLiteral("http://a.example/文件.zip")));
}

void TestCommonHelpers::findFilesRecursive() {
    QTemporaryDir dir;
    const QString root = dir.path();
    QVERIFY(WriteTestFile(root + "/a.txt", "a"));
    QVERIFY(WriteTestFile(root + "/noext", "b"));
    QVERIFY(WriteTestFile(root + "/.hidden", "c"));
    QVERIFY(WriteTestFile(root + "/sub/c.TXT", "d"));
    QVERIFY(WriteTestFile(root + "/sub/deeper/e.bin", "e"));
    // A link back to the root must not be followed.
    QVERIFY(QFile::link(root, root + "/sub/loop"));

    QStringList all;
    FindFilesRecursive(root, "*.*", &all);
    all.sort();
    QCOMPARE(all, QStringList({root + "/.hidden", root + "/a.txt", root + "/noext", root + "/sub/c.TXT",
                               root + "/sub/deeper/e.bin"}));

    // Other masks also decide which subfolders are searched, and ignore letter case.
    QStringList texts;
    FindFilesRecursive(root + "/", "*.txt", &texts);
    QCOMPARE(texts, QStringList{root + "/a.txt"});
    texts.clear();
    FindFilesRecursive(root + "/sub", "*.txt", &texts);
    QCOMPARE(texts, QStringList{root + "/sub/c.TXT"});

    FindFilesRecursive(root, "*.*", nullptr); // no list: nothing happens
    QStringList none;
    FindFilesRecursive(root + "/missing", "*.*", &none);
    QVERIFY(none.isEmpty());
}

void TestCommonHelpers::hotKeyModifiers() {
    QCOMPARE(ShiftToHotKeyModifiers(false, false, false), 0);
    QCOMPARE(ShiftToHotKeyModifiers(true, false, false), 4);
    QCOMPARE(ShiftToHotKeyModifiers(false, false, true), 2);
    QCOMPARE(ShiftToHotKeyModifiers(false, true, false), 1);
    QCOMPARE(ShiftToHotKeyModifiers(true, true, true), 7);
}

void TestCommonHelpers::unixTimeAcrossDaylightSaving_data() {
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QDateTime>("local");
    // Spring: 02:00 CET becomes 03:00 CEST on 2024-03-31.
    QTest::newRow("before spring change") << qint64(1711845000) << QDateTime({2024, 3, 31}, {1, 30});
    QTest::newRow("after spring change") << qint64(1711848600) << QDateTime({2024, 3, 31}, {3, 30});
    // Autumn: 03:00 CEST becomes 02:00 CET on 2024-10-27.
    QTest::newRow("before autumn change") << qint64(1729985400) << QDateTime({2024, 10, 27}, {1, 30});
    QTest::newRow("after autumn change") << qint64(1729996200) << QDateTime({2024, 10, 27}, {3, 30});
    QTest::newRow("winter") << qint64(1704067200) << QDateTime({2024, 1, 1}, {1, 0});
    QTest::newRow("summer") << qint64(1719792000) << QDateTime({2024, 7, 1}, {2, 0});
}

void TestCommonHelpers::unixTimeAcrossDaylightSaving() {
    QFETCH(qint64, seconds);
    QFETCH(QDateTime, local);
    QCOMPARE(UnixTimeToDateTime(seconds).date(), local.date());
    QCOMPARE(UnixTimeToDateTime(seconds).time(), local.time());
    QCOMPARE(qint64(DateTimeToUnixTime(local)), seconds);
    // Exact inverse for every quarter hour around the change, the repeated autumn hour included.
    for (qint64 s = seconds - 3 * 3600; s <= seconds + 3 * 3600; s += 900)
        QCOMPARE(qint64(DateTimeToUnixTime(UnixTimeToDateTime(s))), s);
}

void TestCommonHelpers::unixTimeInsideDaylightSavingGap_data() {
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("local");
    QTest::addColumn<qint64>("seconds");
    // Santiago, 2024-09-08: 00:00 -04 becomes 01:00 -03 (04:00 UTC); the day starts at 01:00.
    QTest::newRow("midnight skipped")
        << QByteArray("America/Santiago") << QDateTime({2024, 9, 8}, {0, 0}) << qint64(1725768000);
    QTest::newRow("inside the gap") << QByteArray("America/Santiago") << QDateTime({2024, 9, 8}, {0, 59, 59})
                                    << qint64(1725768000);
    QTest::newRow("end of the gap") << QByteArray("America/Santiago") << QDateTime({2024, 9, 8}, {1, 0})
                                    << qint64(1725768000);
    QTest::newRow("before the gap") << QByteArray("America/Santiago") << QDateTime({2024, 9, 7}, {23, 59, 59})
                                    << qint64(1725767999);
    QTest::newRow("havana") << QByteArray("America/Havana") << QDateTime({2024, 3, 10}, {0, 0})
                            << qint64(1710046800);
    QTest::newRow("beirut") << QByteArray("Asia/Beirut") << QDateTime({2023, 3, 26}, {0, 0})
                            << qint64(1679781600);
    QTest::newRow("berlin 02:30") << QByteArray("Europe/Berlin") << QDateTime({2024, 3, 31}, {2, 30})
                                  << qint64(1711846800);
}

void TestCommonHelpers::unixTimeInsideDaylightSavingGap() {
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, local);
    QFETCH(qint64, seconds);
    qputenv("TZ", zone);
    tzset();
    const qint64 got = DateTimeToUnixTime(QDateTime(local.date(), local.time()));
    qputenv("TZ", "Europe/Berlin");
    tzset();
    QCOMPARE(got, seconds);
}

void TestCommonHelpers::unixTimeRoundsToNearestSecond() {
    const QDateTime base = UnixTimeToDateTime(1719792000);
    QCOMPARE(DateTimeToUnixTime(base.addMSecs(499)), 1719792000);
    QCOMPARE(DateTimeToUnixTime(base.addMSecs(500)), 1719792001);
    QCOMPARE(DateTimeToUnixTime(base.addMSecs(-499)), 1719792000);
    QCOMPARE(DateTimeToUnixTime(base.addMSecs(-501)), 1719791999);
    QCOMPARE(DateTimeToUnixTime(UnixTimeToDateTime(-1)), -1);
}

void TestCommonHelpers::makeThumbnail() {
    QTemporaryDir dir;
    const QString picture = dir.filePath("wide.png");
    QImage wide(40, 20, QImage::Format_ARGB32);
    wide.fill(Qt::red);
    QVERIFY(wide.save(picture));

    const QImage thumbnail = MakeThumbnail(picture, QString(), 18, false);
    QCOMPARE(thumbnail.size(), QSize(18, 18));
    QCOMPARE(thumbnail.depth(), 24);
    // 16 x 8 inside the one-pixel margin, centred vertically.
    QCOMPARE(thumbnail.pixelColor(9, 9), QColor(Qt::red));
    QCOMPARE(thumbnail.pixelColor(1, 9), QColor(Qt::red));
    QCOMPARE(thumbnail.pixelColor(0, 9), QColor(Qt::white));
    QCOMPARE(thumbnail.pixelColor(9, 2), QColor(Qt::white));

    const QString target = dir.filePath("thumb.bmp");
    QVERIFY(!MakeThumbnail(picture, target, 16, true).isNull());
    QCOMPARE(QImage(target).size(), QSize(16, 16));
    QVERIFY(MakeThumbnail(picture, target, 16, true).isNull()); // target exists
    QVERIFY(MakeThumbnail(dir.filePath("missing.png"), QString(), 16, false).isNull());
    QVERIFY(WriteTestFile(dir.filePath("page.ico"), "<html>not found</html>"));
    QVERIFY(MakeThumbnail(dir.filePath("page.ico"), QString(), 16, false).isNull());
}

void TestCommonHelpers::writeLogIsOneTaggedLine() {
    auto log = std::make_unique<TLogCapture>();
    WriteLog("DownloadThread Error: first\nsecond");
    const QStringList lines = log->Lines(), categories = log->Categories();
    log.reset();
    QCOMPARE(categories, QStringList{"quellon"});
    QCOMPARE(lines, QStringList{"[Brisvane 1.0.0.0]: DownloadThread Error: first second"});
}

void TestCommonHelpers::clearUrlCache_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("txtOnly");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QStringList>("cookieDomains");
    const QString page = "http://a.example/x.html";
    const QString text = "http://a.example/notes.TXT";
    const QString script = "http://b.example/y.js";
    const QStringList both = {".a.example", "b.example"};
    QTest::newRow("everything but .txt") << "" << false << QStringList{text} << both;
    QTest::newRow("only .txt and every cookie") << "" << true << QStringList{page, script} << QStringList();
    QTest::newRow("by filter") << "a.example" << false << QStringList{script} << both;
    QTest::newRow(".txt and cookies by filter")
        << "a.example" << true << QStringList{page, script} << QStringList{"b.example"};
    QTest::newRow(".txt by a filter that matches none")
        << "c.example" << true << QStringList{page, text, script} << both;
}

void TestCommonHelpers::clearUrlCache() {
    QFETCH(QString, filter);
    QFETCH(bool, txtOnly);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, cookieDomains);
    QTemporaryDir dir;
    SetAppDir(dir.path());
    const QString folder = AppDir() + "cache/webcontrol/";
    const QStringList urls = {"http://a.example/x.html", "http://a.example/notes.TXT",
                              "http://b.example/y.js"};
    {
        QNetworkDiskCache cache;
        cache.setCacheDirectory(folder);
        for (const QString& url : urls) {
            QNetworkCacheMetaData meta;
            meta.setUrl(QUrl(url));
            meta.setSaveToDisk(true);
            QIODevice* device = cache.prepare(meta);
            QVERIFY(device);
            device->write("body of " + url.toUtf8());
            cache.insert(device);
        }
    }
    // The engine's live jar: the removal must reach it, not only its file.
    TWebCookieJar jar;
    QNetworkCookie first("a", "1"), second("b", "2");
    first.setExpirationDate(QDateTime::currentDateTime().addDays(3));
    second.setExpirationDate(QDateTime::currentDateTime().addDays(3));
    first.setDomain(".a.example");
    second.setDomain("b.example");
    jar.insertCookie(first);
    jar.insertCookie(second);

    ClearUrlCache(filter, txtOnly, nullptr);

    QNetworkDiskCache cache;
    cache.setCacheDirectory(folder);
    QStringList left;
    for (const QString& url : urls) {
        if (cache.metaData(QUrl(url)).isValid())
            left.append(url);
    }
    QCOMPARE(left, kept);
    QStringList domains;
    for (const QNetworkCookie& cookie : jar.Cookies())
        domains.append(cookie.domain());
    domains.sort();
    QCOMPARE(domains, cookieDomains);
    SetAppDir(QString());
}

void TestCommonHelpers::clearUrlCacheStopsWhenAsked() {
    QTemporaryDir dir;
    SetAppDir(dir.path());
    const QString folder = AppDir() + "cache/webcontrol/";
    {
        QNetworkDiskCache cache;
        cache.setCacheDirectory(folder);
        QNetworkCacheMetaData meta;
        meta.setUrl(QUrl("http://a.example/x.html"));
        meta.setSaveToDisk(true);
        QIODevice* device = cache.prepare(meta);
        device->write("body");
        cache.insert(device);
    }
    const std::atomic<bool> stop{true};
    ClearUrlCache(QString(), false, &stop);
    const auto cached = [&folder] {
        QNetworkDiskCache cache; // a fresh one: an instance remembers its last entry
        cache.setCacheDirectory(folder);
        return cache.metaData(QUrl("http://a.example/x.html")).isValid();
    };
    QVERIFY(cached());
    ClearUrlCache(QString(), false, nullptr);
    QVERIFY(!cached());
    SetAppDir(QString());
}

void TestCommonHelpers::defaultBrowserProgId_data() {
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("progId");
    QTest::newRow("this program") << QByteArray("echo quellon.desktop") << "Brisvane";
    QTest::newRow("another browser") << QByteArray("echo firefox-esr.desktop") << "firefox-esr";
    QTest::newRow("tool fails") << QByteArray("echo oops; exit 3") << "";
    QTest::newRow("tool hangs") << QByteArray("exec sleep 30") << "";
}

void TestCommonHelpers::defaultBrowserProgId() {
    QFETCH(QByteArray, script);
    QFETCH(QString, progId);
    QTemporaryDir tools;
    InstallTool(tools.path(), "xdg-settings", script);
    qputenv("PATH", tools.path().toUtf8() + ":" + m_path);
    QElapsedTimer timer;
    timer.start();
    const QString answer = DefaultBrowserProgId();
    qputenv("PATH", m_path);
    QCOMPARE(answer, progId);
    QVERIFY2(timer.elapsed() < 20000, "a hanging tool must be given up");
}

void TestCommonHelpers::browserDesktopFileQuotesThePath() {
    const QString file = WriteBrowserDesktopFile("/opt/my apps/q\"x$y\\z%/quellon");
    QVERIFY(!file.isEmpty());
    QVERIFY(file.startsWith(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation)));
    QVERIFY(file.endsWith("/quellon.desktop"));
    QFile entry(file);
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    QVERIFY(text.startsWith("[Desktop Entry]\n"));
    QVERIFY2(text.contains("\nExec=\"/opt/my apps/q\\\\\"x\\\\$y\\\\\\\\z%%/quellon\" %u\n"),
             qPrintable(text));
    QVERIFY(text.contains("MimeType=x-scheme-handler/http;x-scheme-handler/https;text/html;"));
    QFile::remove(file);
}

void TestCommonHelpers::registerAsDefaultBrowser_data() {
    QTest::addColumn<QByteArray>("tool"); // the fake xdg-settings; empty: there is none
    QTest::addColumn<bool>("installed");  // <prefix>/share/applications/quellon.desktop exists
    QTest::addColumn<QString>("message");
    const QByteArray works = "[ $1 = check ] && echo yes; true";
    QTest::newRow("no xdg-settings") << QByteArray() << false << "没有 xdg-settings";
    QTest::newRow("set fails") << QByteArray("exit 2") << false << "执行失败";
    QTest::newRow("not taken") << QByteArray("[ $1 = check ] && echo no; true") << false << "没有采用";
    QTest::newRow("portable folder") << works << false << "已将 Quellon 设为默认浏览器";
    QTest::newRow("installed copy") << works << true << "已将 Quellon 设为默认浏览器";
}

void TestCommonHelpers::registerAsDefaultBrowser() {
    QFETCH(QByteArray, tool);
    QFETCH(bool, installed);
    QFETCH(QString, message);
    QTemporaryDir tools, prefix;
    if (!tool.isEmpty())
        InstallTool(tools.path(), "xdg-settings", "echo \"$*\" >> \"$0.calls\"; " + tool);
    QFile entry(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) + "/quellon.desktop");
    entry.remove();
    if (installed)
        QVERIFY(WriteTestFile(prefix.filePath("share/applications/quellon.desktop"), "[Desktop Entry]\n"));
    qputenv("PATH", tools.path().toUtf8());
    qputenv("XDG_DATA_DIRS", prefix.filePath("share").toUtf8());
    const TDefaultBrowserResult result = RegisterAsDefaultBrowser(prefix.filePath("lib/quellon/quellon"));
    qputenv("PATH", m_path);
    qunsetenv("XDG_DATA_DIRS");
    QCOMPARE(result.Ok, message.startsWith("已将"));
    QVERIFY2(result.Message.contains(message), qPrintable(result.Message));
    QFile calls(tools.filePath("xdg-settings.calls"));
    QVERIFY(tool.isEmpty() || (calls.open(QIODevice::ReadOnly) &&
                               calls.readLine() == "set default-web-browser quellon.desktop\n"));
    // A portable folder writes the user's own entry, its Exec path unquoted: xdg-settings does not undo
    // quotes.
    const QByteArray exec = "\nExec=" + QFile::encodeName(prefix.filePath("lib/quellon/quellon")) + " %u\n";
    QCOMPARE(entry.open(QIODevice::ReadOnly) && entry.readAll().contains(exec),
             !installed && !tool.isEmpty());
    entry.remove();
}

QTEST_MAIN(TestCommonHelpers)
#include "tst_CommonHelpers.moc"
