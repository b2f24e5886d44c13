// Site page addresses: the vendor's dynamic pages map to the bundled site's files only under a
// local site root; a web site root keeps every address as it stands.
#include "services/SitePages.h"

#include <QtTest>

class TestSitePages : public QObject {
    Q_OBJECT

private slots:
    void pageUrl_data() {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("url");
        const QString local = QStringLiteral("file:///opt/quellon/res/site/");
        const QString web = QStringLiteral("http://www.example.cn/");
        QTest::newRow("bank list") << local << SitePages::NetBank << local + "netbank.html";
        QTest::newRow("courier category") << local << QString(SitePages::Courier) + "2"
                                          << local + "courier.html#category/2";
        QTest::newRow("software market") << local << SitePages::Software << local + "software.html";
        QTest::newRow("software submission") << local << SitePages::SoftwareSubmit
                                             << local + "software-submit.html";
        QTest::newRow("site itself") << local << "" << local + "index.html";
        QTest::newRow("static page") << local << SitePages::Tieba << local + "tieba.html";
        // Only module and action words make a page name: nothing climbs out of the site folder.
        QTest::newRow("odd module kept as it stands")
            << local << "/home/index.php?s=/../x/index" << local + "home/index.php?s=/../x/index";
        QTest::newRow("web site as it stands") << web << SitePages::NetBank << web + "home/index.php?s=/NetBank/index";
        QTest::newRow("web site itself") << web << "/" << web;
    }

    void pageUrl() {
        QFETCH(QString, root);
        QFETCH(QString, path);
        QFETCH(QString, url);
        QCOMPARE(SitePageUrl(root, path), url);
    }
};

QTEST_GUILESS_MAIN(TestSitePages)
#include "tst_SitePages.moc"
