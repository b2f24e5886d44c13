// The sleeping-tab rules: the time limit from the setting and the environment, the check interval,
// and which step a tab takes.
#include "browser/TabSleepPolicy.h"

#include <QtTest>

Q_DECLARE_METATYPE(TSleepStep)
Q_DECLARE_METATYPE(TTabSleepFacts)

class TTabSleepPolicyTest : public QObject {
    Q_OBJECT
private slots:
    void limit_data();
    void limit();
    void shortLimitIsCheckedOftenEnough();
    void nextStep_data();
    void nextStep();
};

void TTabSleepPolicyTest::limit_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QByteArray>("environment");
    QTest::addColumn<int>("seconds");
    QTest::newRow("nothing stored: 30 minutes") << "" << QByteArray() << 1800;
    QTest::newRow("off") << "0" << QByteArray() << 0;
    QTest::newRow("ten minutes") << " 10 " << QByteArray() << 600;
    QTest::newRow("not a number") << "abc" << QByteArray() << 1800;
    QTest::newRow("negative") << "-5" << QByteArray() << 1800;
    QTest::newRow("huge is cut to a day") << "99999999" << QByteArray() << 86400;
    QTest::newRow("environment wins") << "0" << QByteArray("5") << 5;
    QTest::newRow("environment zero ignored") << "10" << QByteArray("0") << 600;
    QTest::newRow("environment negative ignored") << "10" << QByteArray("-3") << 600;
    QTest::newRow("environment text ignored") << "10" << QByteArray("5s") << 600;
}

void TTabSleepPolicyTest::limit() {
    QFETCH(QString, stored);
    QFETCH(QByteArray, environment);
    QFETCH(int, seconds);
    QCOMPARE(TTabSleepPolicy::LimitSeconds(stored, environment), seconds);
}

void TTabSleepPolicyTest::shortLimitIsCheckedOftenEnough() {
    // A 5 s limit sleeps a tab within 10 s: the limit plus one check interval.
    QVERIFY(5000 + TTabSleepPolicy::CheckIntervalMs(5) <= 10000);
    QCOMPARE(TTabSleepPolicy::CheckIntervalMs(1), 1000);
    QCOMPARE(TTabSleepPolicy::CheckIntervalMs(1800), 60000);
    QCOMPARE(TTabSleepPolicy::CheckIntervalMs(0), 60000); // off: looked at again in case it is turned on
}

void TTabSleepPolicyTest::nextStep_data() {
    QTest::addColumn<TTabSleepFacts>("facts");
    QTest::addColumn<int>("limit");
    QTest::addColumn<TSleepStep>("step");
    TTabSleepFacts past; // a Chromium tab hidden for a minute
    past.HiddenMs = 60000;
    const auto with = [past](auto change) {
        TTabSleepFacts facts = past;
        change(facts);
        return facts;
    };
    QTest::newRow("chromium past the limit freezes") << past << 30 << TSleepStep::Freeze;
    QTest::newRow("just under the limit")
        << with([](auto& f) { f.HiddenMs = 29999; }) << 30 << TSleepStep::Stay;
    QTest::newRow("at the limit") << with([](auto& f) { f.HiddenMs = 30000; }) << 30 << TSleepStep::Freeze;
    QTest::newRow("setting off") << past << 0 << TSleepStep::Stay;
    QTest::newRow("current tab") << with([](auto& f) { f.Current = true; }) << 30 << TSleepStep::Stay;
    QTest::newRow("options page") << with([](auto& f) { f.EnginePage = false; }) << 30 << TSleepStep::Stay;
    QTest::newRow("playing sound") << with([](auto& f) { f.Audible = true; }) << 30 << TSleepStep::Stay;
    QTest::newRow("page box open") << with([](auto& f) { f.DialogOpen = true; }) << 30 << TSleepStep::Stay;
    QTest::newRow("still transferring")
        << with([](auto& f) { f.Transferring = true; }) << 30 << TSleepStep::Stay;
    QTest::newRow("frozen, engine allows discard")
        << with([](auto& f) { f.State = TTabSleep::Frozen, f.EngineAllowsDiscard = true; }) << 30
        << TSleepStep::Discard;
    QTest::newRow("frozen, engine keeps it")
        << with([](auto& f) { f.State = TTabSleep::Frozen; }) << 30 << TSleepStep::Stay;
    QTest::newRow("frozen, sound started: no discard")
        << with([](auto& f) { f.State = TTabSleep::Frozen, f.EngineAllowsDiscard = true, f.Audible = true; })
        << 30 << TSleepStep::Stay;
    QTest::newRow("discarded stays") << with([](auto& f) { f.State = TTabSleep::Discarded; }) << 30
                                     << TSleepStep::Stay;
    QTest::newRow("compatibility engine unloads")
        << with([](auto& f) { f.Chromium = false; }) << 30 << TSleepStep::Unload;
    QTest::newRow("unloaded stays") << with([](auto& f) {
        f.Chromium = false, f.State = TTabSleep::Unloaded;
    }) << 30 << TSleepStep::Stay;
}

void TTabSleepPolicyTest::nextStep() {
    QFETCH(TTabSleepFacts, facts);
    QFETCH(int, limit);
    QFETCH(TSleepStep, step);
    QCOMPARE(TTabSleepPolicy::NextStep(facts, limit), step);
    // The tab menu's command takes the same step without waiting for the limit.
    if (step != TSleepStep::Stay) {
        facts.HiddenMs = 0;
        QCOMPARE(TTabSleepPolicy::SleepNowStep(facts), step);
    }
}

QTEST_GUILESS_MAIN(TTabSleepPolicyTest)

#include "tst_TabSleepPolicy.moc"
