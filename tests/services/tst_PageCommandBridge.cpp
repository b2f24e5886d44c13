// The "ORREL:" bridge of the hosted vendor pages: who may use it and which addresses it opens.
#include "services/PageCommandBridge.h"

#include <QtTest>

Q_DECLARE_METATYPE(TPageCommandBridge::TDecision)

class TestPageCommandBridge : public QObject {
    Q_OBJECT

private slots:
    void decide_data() {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("message");
        QTest::addColumn<TPageCommandBridge::TDecision>("decision");
        QTest::addColumn<QString>("address");
        const QString web = QStringLiteral("http://site.example.cn/");
        const QString file = QStringLiteral("file:///opt/quellon/res/site/");
        const QString bank = web + QStringLiteral("home/index.php?s=/NetBank/index");
        QTest::newRow("web address") << web << bank << "ORREL:https://www.icbc.com.cn/"
                                     << TPageCommandBridge::bdOpen << "https://www.icbc.com.cn/";
        QTest::newRow("ordinary alert") << web << bank << "请输入卡号" << TPageCommandBridge::bdDialog << "";
        QTest::newRow("lower-case prefix")
            << web << bank << "orrel:http://a.cn/" << TPageCommandBridge::bdDialog << "";
        QTest::newRow("page from elsewhere") << web << "http://evil.example.com/x.html"
                                             << "ORREL:http://a.cn/" << TPageCommandBridge::bdDialog << "";
        QTest::newRow("look-alike host") << web << "http://site.example.cn.evil.com/"
                                         << "ORREL:http://a.cn/" << TPageCommandBridge::bdDialog << "";
        QTest::newRow("javascript refused")
            << web << bank << "ORREL:javascript:alert(1)" << TPageCommandBridge::bdRefused << "";
        QTest::newRow("local file refused")
            << web << bank << "ORREL:file:///etc/passwd" << TPageCommandBridge::bdRefused << "";
        QTest::newRow("empty address refused")
            << web << bank << "ORREL:" << TPageCommandBridge::bdRefused << "";
        QTest::newRow("bundled site page")
            << file << file + "netbank.html"
            << "ORREL:" + file + "123.html" << TPageCommandBridge::bdOpen << file + "123.html";
        QTest::newRow("climbing out of the bundled site")
            << file << file + "netbank.html"
            << "ORREL:" + file + "../../../../etc/passwd" << TPageCommandBridge::bdRefused << "";
        QTest::newRow("bundled page climbing out")
            << file << file + "../../x.html"
            << "ORREL:http://a.cn/" << TPageCommandBridge::bdDialog << "";
        QTest::newRow("no site root")
            << "" << bank << "ORREL:http://a.cn/" << TPageCommandBridge::bdDialog << "";
    }
    void decide() {
        QFETCH(QString, root);
        QFETCH(QString, page);
        QFETCH(QString, message);
        QFETCH(TPageCommandBridge::TDecision, decision);
        QFETCH(QString, address);
        QString opened;
        QCOMPARE(TPageCommandBridge(root).Decide(page, message, &opened), decision);
        QCOMPARE(opened, address);
    }
};

QTEST_GUILESS_MAIN(TestPageCommandBridge)
#include "tst_PageCommandBridge.moc"
