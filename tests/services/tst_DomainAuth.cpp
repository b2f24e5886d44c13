// Site identity lookups: registrable-domain reduction before both lookups, certification over
// flagging, letter case, and the fill operation.
#include "services/DomainAuth.h"

#include <QtTest>

class TestDomainAuth : public QObject {
    Q_OBJECT
private slots:
    void lookup_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("siteName");
        QTest::newRow("sub-domain, country suffix")
            << "http://www.shop.example.com.cn/x?y" << 0 << "示例商城";
        QTest::newRow("letter case of the address") << "HTTPS://WWW.Example.COM.CN/" << 0 << "示例商城";
        QTest::newRow("flagged") << "http://a.b.bad.net/" << 1 << "";
        QTest::newRow("in both lists") << "http://both.org/" << 0 << "Both";
        QTest::newRow("unknown") << "http://other.com/" << 2 << "";
        QTest::newRow("blank page") << "about:blank" << 2 << "";
    }
    void lookup() {
        QFETCH(QString, url);
        QFETCH(int, state);
        QFETCH(QString, siteName);
        TDomainAuth auth;
        auth.Fill({{QStringLiteral("example.com.cn"), QStringLiteral("示例商城")},
                   {QStringLiteral("http://www.both.org/"), QStringLiteral("Both")},
                   {QString(), QStringLiteral("nameless")}},
                  {QStringLiteral("BAD.net"), QStringLiteral("both.org"), QString()});
        QCOMPARE(auth.Certified.size(), 2);
        QCOMPARE(auth.Flagged.size(), 2);
        QString name = QStringLiteral("untouched");
        QCOMPARE(auth.Lookup(url, &name), state);
        QCOMPARE(name, state == 0 ? siteName : QStringLiteral("untouched"));
    }

    void emptyStoreKnowsNothing() {
        const TDomainAuth auth;
        QString name;
        QCOMPARE(auth.Lookup(QStringLiteral("http://www.example.com/"), &name), int(TDomainAuth::asUnknown));
        QVERIFY(name.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDomainAuth)
#include "tst_DomainAuth.moc"
