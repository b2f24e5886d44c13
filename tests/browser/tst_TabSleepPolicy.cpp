// The sleeping-tab rules: the limit from the setting and the environment, and each tab's next step.
#include "browser/TabSleepPolicy.h"

#include <QtTest>

class TTabSleepPolicyTest : public QObject {
    Q_OBJECT
private slots:
    void limitAndInterval() {
        QCOMPARE(TTabSleepPolicy::LimitSeconds("", {}), 1800); // nothing stored: 30 minutes
        QCOMPARE(TTabSleepPolicy::LimitSeconds("0", {}), 0);
        QCOMPARE(TTabSleepPolicy::LimitSeconds(" 10 ", {}), 600);
        QCOMPARE(TTabSleepPolicy::LimitSeconds("abc", {}), 1800);
        QCOMPARE(TTabSleepPolicy::LimitSeconds("99999999", {}), 86400);
        QCOMPARE(TTabSleepPolicy::LimitSeconds("0", "5"), 5); // the environment wins when positive
        for (const char* ignored : {"0", "-3", "5s"})
            QCOMPARE(TTabSleepPolicy::LimitSeconds("10", ignored), 600);
        // A 5 s limit sleeps a tab within 10 s; an off setting is looked at again each minute.
        QVERIFY(5000 + TTabSleepPolicy::CheckIntervalMs(5) <= 10000);
        QCOMPARE(TTabSleepPolicy::CheckIntervalMs(1800), 60000);
        QCOMPARE(TTabSleepPolicy::CheckIntervalMs(0), 60000);
    }

    void nextStep() {
        TTabSleepFacts past; // a Chromium tab hidden for a minute
        past.HiddenMs = 60000;
        const auto step = [past](auto change, int limit = 30) {
            TTabSleepFacts facts = past;
            change(facts);
            return TTabSleepPolicy::NextStep(facts, limit);
        };
        const auto same = [](TTabSleepFacts&) {};
        QCOMPARE(step(same), TSleepStep::Freeze);
        QCOMPARE(step(same, 0), TSleepStep::Stay);
        QCOMPARE(step([](auto& f) { f.HiddenMs = 29999; }), TSleepStep::Stay);
        QCOMPARE(step([](auto& f) { f.Current = true; }), TSleepStep::Stay);
        QCOMPARE(step([](auto& f) { f.EnginePage = false; }), TSleepStep::Stay);
        QCOMPARE(step([](auto& f) { f.Audible = true; }), TSleepStep::Stay);
        QCOMPARE(step([](auto& f) { f.DialogOpen = true; }), TSleepStep::Stay);
        QCOMPARE(step([](auto& f) { f.Transferring = true; }), TSleepStep::Stay);
        QCOMPARE(step([](auto& f) { f.State = TTabSleep::Frozen; }), TSleepStep::Stay);
        QCOMPARE(step([](auto& f) { f.State = TTabSleep::Frozen, f.EngineAllowsDiscard = true; }),
                 TSleepStep::Discard);
        QCOMPARE(step([](auto& f) { f.State = TTabSleep::Discarded; }), TSleepStep::Stay);
        QCOMPARE(step([](auto& f) { f.Chromium = false; }), TSleepStep::Unload);
        // The tab menu's command does not wait for the limit.
        past.HiddenMs = 0;
        QCOMPARE(TTabSleepPolicy::SleepNowStep(past), TSleepStep::Freeze);
    }
};

QTEST_GUILESS_MAIN(TTabSleepPolicyTest)

#include "tst_TabSleepPolicy.moc"
