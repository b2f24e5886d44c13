// Tests of the compatibility engine's cookie jar: persistence across instances, what is not
// persisted, removal by domain (also through the file when no jar is open) and a damaged file.
#include "common/WebCookieJar.h"

#include <QFile>
#include <QNetworkCookie>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QNetworkCookie MakeCookie(const QByteArray& name, const QString& domain, int daysLeft) {
    QNetworkCookie cookie(name, "value-" + name);
    cookie.setDomain(domain);
    cookie.setPath("/");
    if (daysLeft != 0)
        cookie.setExpirationDate(QDateTime::currentDateTime().addDays(daysLeft));
    return cookie;
}

QStringList NamesOf(const QList<QNetworkCookie>& cookies) {
    QStringList names;
    for (const QNetworkCookie& cookie : cookies)
        names.append(QString::fromLatin1(cookie.name()));
    names.sort();
    return names;
}
} // namespace

class TestWebCookieJar : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void persistsLastingCookiesOnly();
    void savesChangesFromTheServer();
    void removesByDomainFilter_data();
    void removesByDomainFilter();
    void removesFromTheFileWithoutALiveJar();
    void skipsDamagedLines();
};

void TestWebCookieJar::persistsLastingCookiesOnly() {
    QTemporaryDir dir;
    const QString file = dir.filePath("cache/webcontrol/cookies.txt");
    {
        TWebCookieJar jar(file);
        QVERIFY(jar.insertCookie(MakeCookie("lasting", "a.example", 5)));
        QVERIFY(jar.insertCookie(MakeCookie("session", "a.example", 0)));
        QVERIFY(jar.insertCookie(MakeCookie("host", ".b.example", 5)));
        QCOMPARE(jar.Cookies().size(), 3);
    } // the pending save is written when the jar closes
    TWebCookieJar reopened(file);
    QCOMPARE(NamesOf(reopened.Cookies()), QStringList({"host", "lasting"}));
    // The domain form survives: a host cookie stays a host cookie.
    for (const QNetworkCookie& cookie : reopened.Cookies())
        QCOMPARE(cookie.domain(), cookie.name() == "host" ? QString(".b.example") : QString("a.example"));
    QCOMPARE(reopened.cookiesForUrl(QUrl("http://a.example/x")).size(), 1);
    QCOMPARE(reopened.cookiesForUrl(QUrl("http://sub.a.example/x")).size(), 0);
    QCOMPARE(reopened.cookiesForUrl(QUrl("http://sub.b.example/x")).size(), 1);
}

void TestWebCookieJar::savesChangesFromTheServer() {
    QTemporaryDir dir;
    const QString file = dir.filePath("cookies.txt");
    TWebCookieJar jar(file);
    const QUrl site("http://www.a.example/page");
    const QList<QNetworkCookie> set =
        QNetworkCookie::parseCookies("id=42; Max-Age=3600; Path=/\nsid=s; Path=/");
    QVERIFY(jar.setCookiesFromUrl(set, site));
    // Saved once the event loop runs, before the jar closes.
    QTRY_VERIFY(QFile::exists(file));
    QCOMPARE(NamesOf(TWebCookieJar(file).Cookies()), QStringList{"id"});
    // An expired cookie from the server deletes the stored one.
    jar.setCookiesFromUrl(QNetworkCookie::parseCookies("id=0; Max-Age=0; Path=/"), site);
    QTRY_VERIFY(TWebCookieJar(file).Cookies().isEmpty());
}

void TestWebCookieJar::removesByDomainFilter_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("every cookie") << "" << 3 << QStringList();
    QTest::newRow("one site and its subdomains") << "a.example" << 2 << QStringList{"c"};
    QTest::newRow("letter case ignored") << "A.EXAMPLE" << 2 << QStringList{"c"};
    QTest::newRow("no match") << "z.example" << 0 << QStringList({"a", "b", "c"});
}

void TestWebCookieJar::removesByDomainFilter() {
    QFETCH(QString, filter);
    QFETCH(int, removed);
    QFETCH(QStringList, left);
    QTemporaryDir dir;
    const QString file = dir.filePath("cookies.txt");
    TWebCookieJar jar(file);
    jar.insertCookie(MakeCookie("a", "a.example", 5));
    jar.insertCookie(MakeCookie("b", ".www.a.example", 5));
    jar.insertCookie(MakeCookie("c", "c.example", 5));
    QVERIFY(jar.Save());
    QCOMPARE(TWebCookieJar::RemoveCookiesOfFile(file, filter), removed);
    QCOMPARE(NamesOf(jar.Cookies()), left);
    // The removal is on disk at once.
    QCOMPARE(NamesOf(TWebCookieJar(file).Cookies()), left);
}

void TestWebCookieJar::removesFromTheFileWithoutALiveJar() {
    QTemporaryDir dir;
    const QString file = dir.filePath("cookies.txt");
    {
        TWebCookieJar jar(file);
        jar.insertCookie(MakeCookie("a", "a.example", 5));
        jar.insertCookie(MakeCookie("c", "c.example", 5));
    }
    QCOMPARE(TWebCookieJar::RemoveCookiesOfFile(file, "a.example"), 1);
    QCOMPARE(NamesOf(TWebCookieJar(file).Cookies()), QStringList{"c"});
    QCOMPARE(TWebCookieJar::RemoveCookiesOfFile(dir.filePath("missing.txt"), QString()), 0);
    QVERIFY(!QFile::exists(dir.filePath("missing.txt")));
}

void TestWebCookieJar::skipsDamagedLines() {
    QTemporaryDir dir;
    const QString file = dir.filePath("cookies.txt");
    QFile damaged(file);
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(MakeCookie("good", "a.example", 5).toRawForm() + "\n");
    damaged.write("this is not a cookie\n\n");
    damaged.write(MakeCookie("old", "a.example", -1).toRawForm() + "\n");
    damaged.close();
    TWebCookieJar jar(file);
    QCOMPARE(NamesOf(jar.Cookies()), QStringList{"good"});
}

QTEST_GUILESS_MAIN(TestWebCookieJar)
#include "tst_WebCookieJar.moc"
