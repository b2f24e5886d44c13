// The About box: its texts once shown, and the site link handed to the owner before it closes.
#include "tools/FormAbout.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestFormAbout : public QObject {
    Q_OBJECT

private slots:
    void showsProductVersionAndSite() {
        const QString site = QStringLiteral("http://127.0.0.1:1/?a=1&b=<2>");
        TFormAbout about(QPixmap(48, 48), site);
        about.show();
        QCOMPARE(about.windowTitle(), QStringLiteral("关于Quellon"));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("bsSkinLabelTitle"))->text(),
                 QStringLiteral("Quellon"));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("bsSkinLabelVersion"))->text(),
                 QStringLiteral("版本号 V1.0.0.0"));
        QVERIFY(!about.findChild<QLabel*>(QStringLiteral("LabelCompany"))->text().isEmpty());
        // The address is shown as text: markup in it is escaped, not interpreted.
        auto* link = about.findChild<QLabel*>(QStringLiteral("bsSkinLinkLabel"));
        QVERIFY(link->text().contains(QStringLiteral("&lt;2&gt;")));
        about.show(); // a second showing keeps one product name in the caption
        QCOMPARE(about.windowTitle(), QStringLiteral("关于Quellon"));
    }

    void linkOpensTheSiteAndCloses() {
        const QString site = QStringLiteral("file:///opt/site/");
        TFormAbout about(QPixmap(), site);
        about.show();
        QSignalSpy requested(&about, &TFormAbout::siteRequested);
        auto* link = about.findChild<QLabel*>(QStringLiteral("bsSkinLinkLabel"));
        emit link->linkActivated(site);
        QCOMPARE(requested.size(), 1);
        QCOMPARE(requested.first().first().toString(), site);
        QCOMPARE(about.result(), int(QDialog::Accepted));
        QVERIFY(!about.isVisible());
    }

    void okCloses() {
        TFormAbout about{QPixmap(), QString()};
        about.show();
        QSignalSpy requested(&about, &TFormAbout::siteRequested);
        about.findChild<QPushButton*>(QStringLiteral("bsSkinButtonOK"))->click();
        QVERIFY(!about.isVisible());
        QVERIFY(requested.isEmpty());
    }
};

QTEST_MAIN(TestFormAbout)
#include "tst_FormAbout.moc"
