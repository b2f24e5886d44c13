// Search addresses: the word encoding and the four engines' result pages.
#include "BuildConfig.h"
#include "navigation/SearchAddress.h"

#include <QtTest>

class TSearchAddressTest final : public QObject {
    Q_OBJECT
private slots:
    void encoding_data();
    void encoding();
    void engineAddresses_data();
    void engineAddresses();
    void rootFromTheEnvironment();
    void indexOutsideTheTable();
};

void TSearchAddressTest::encoding_data() {
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("chinese and ascii") << QStringLiteral("中文 a") << QStringLiteral("%E4%B8%AD%E6%96%87+a");
    QTest::newRow("kept punctuation") << QStringLiteral("!$'()*-._@") << QStringLiteral("!$'()*-._@");
    QTest::newRow("reserved characters")
        << QStringLiteral("a&b=c?d#e/f+g%h") << QStringLiteral("a%26b%3Dc%3Fd%23e%2Ff%2Bg%25h");
    QTest::newRow("tilde and comma") << QStringLiteral("~,") << QStringLiteral("%7E%2C");
    QTest::newRow("blanks") << QStringLiteral("  two  ") << QStringLiteral("++two++");
    QTest::newRow("emoji, four bytes") << QStringLiteral("😀") << QStringLiteral("%F0%9F%98%80");
    QTest::newRow("control characters") << QStringLiteral("a\tb\n") << QStringLiteral("a%09b%0A");
    QTest::newRow("empty") << QString() << QString();
}

void TSearchAddressTest::encoding() {
    QFETCH(QString, words);
    QFETCH(QString, encoded);
    QCOMPARE(EncodeSearchWords(words), encoded);
}

void TSearchAddressTest::engineAddresses_data() {
    QTest::addColumn<int>("engine");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("caption");
    const QString words = QStringLiteral("%E4%B8%AD%E6%96%87+a");
    QTest::newRow("360") << 0
                         << QString::fromUtf8(BuildConfig::Search360) +
                                QStringLiteral("/s?ie=utf-8&shb=1&src=360sou_newhome&q=") + words
                         << QStringLiteral("360搜索");
    QTest::newRow("google") << 1
                            << QString::fromUtf8(BuildConfig::SearchGoogle) + QStringLiteral("/search?q=") +
                                   words
                            << QStringLiteral("Google");
    QTest::newRow("bing") << 2
                          << QString::fromUtf8(BuildConfig::SearchBing) + QStringLiteral("/search?q=") + words
                          << QStringLiteral("Bing");
    QTest::newRow("baidu") << 3
                           << QString::fromUtf8(BuildConfig::SearchBaidu) +
                                  QStringLiteral("/s?ie=utf-8&f=8&rsv_bp=0&rsv_idx=1&tn=baidu&wd=") + words
                           << QStringLiteral("百度");
}

void TSearchAddressTest::engineAddresses() {
    QFETCH(int, engine);
    QFETCH(QString, address);
    QFETCH(QString, caption);
    QCOMPARE(SearchEngineAddress(engine, QStringLiteral("中文 a")), address);
    QCOMPARE(SearchEngineCaption(engine), caption);
}

void TSearchAddressTest::rootFromTheEnvironment() {
    qputenv("QUELLON_SEARCH_GOOGLE", "http://127.0.0.1:8");
    const QString address = SearchEngineAddress(seGoogle, QStringLiteral("a"));
    qunsetenv("QUELLON_SEARCH_GOOGLE");
    QCOMPARE(address, QStringLiteral("http://127.0.0.1:8/search?q=a"));
}

void TSearchAddressTest::indexOutsideTheTable() {
    QVERIFY(SearchEngineAddress(-1, QStringLiteral("a")).isEmpty());
    QVERIFY(SearchEngineAddress(4, QStringLiteral("a")).isEmpty());
    QVERIFY(SearchEngineCaption(4).isEmpty());
}

QTEST_GUILESS_MAIN(TSearchAddressTest)
#include "tst_SearchAddress.moc"
