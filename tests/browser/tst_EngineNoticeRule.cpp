// The compatibility engine's notice: once per host in a run, and never again once turned off,
// also in the next run on the same data file.
#include "browser/EngineNoticeRule.h"
#include "storage/Config.h"
#include "support/TestDb.h"

#include <QtTest>

class TestEngineNoticeRule : public QObject {
    Q_OBJECT
private slots:
    void oncePerHostUntilTurnedOff() {
        TTestDb data;
        QVERIFY(data.Ok());
        TConfig config(data.Db());
        TEngineNoticeRule rule(config);
        QVERIFY(rule.Take(QStringLiteral("a.example")));
        QVERIFY(!rule.Take(QStringLiteral("a.example")));
        QVERIFY(!rule.Take(QString()));
        QVERIFY(rule.Take(QStringLiteral("b.example"))); // closing the strip turns nothing off
        QVERIFY(rule.TurnOff());
        QVERIFY(!rule.Take(QStringLiteral("c.example")));
        QCOMPARE(TConfig(data.Db()).GetValue(TConfigKey::EngineNoticeOff), QStringLiteral("1"));
        QVERIFY(!TEngineNoticeRule(config).Take(QStringLiteral("d.example")));
        QVERIFY(config.SetValue(TConfigKey::EngineNoticeOff, QStringLiteral("0")));
        QVERIFY(TEngineNoticeRule(config).Take(QStringLiteral("d.example")));
    }

    void longHostIsCutInTheText() {
        const QString text = TEngineNoticeRule::NoticeText(QString(260, QLatin1Char('a')));
        QVERIFY(!text.contains(QString(81, QLatin1Char('a'))));
        QVERIFY(text.contains(QStringLiteral("网银")));
    }
};

QTEST_GUILESS_MAIN(TestEngineNoticeRule)
#include "tst_EngineNoticeRule.moc"
