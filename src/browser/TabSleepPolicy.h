// Which background tab may sleep and when: the time limit from the settings (or the test
// environment) and the step a tab takes next. No engine or widget here; TTabSleeper applies it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

// How far a tab sleeps. A Chromium page is frozen first and discarded when the engine allows it;
// a compatibility-engine page, and a restored page never shown, has no engine page at all.
enum class TTabSleep : quint8 { Awake = 0, Frozen = 1, Discarded = 2, Unloaded = 3 };

// What the policy needs to know of one tab.
struct TTabSleepFacts {
    bool Current = false;   // shown now
    bool EnginePage = true; // false for the options page
    bool Chromium = true;   // false for the compatibility engine
    TTabSleep State = TTabSleep::Awake;
    bool Audible = false;             // playing sound now or a moment ago
    bool DialogOpen = false;          // one of its page boxes is open, or its developer tools
    bool Transferring = false;        // still loading, or a download of its own in progress
    bool EngineAllowsDiscard = false; // Chromium's recommended state is "discarded"
    qint64 HiddenMs = 0;              // time since the tab was last shown
};

enum class TSleepStep { Stay, Freeze, Discard, Unload };

class TTabSleepPolicy {
public:
    static constexpr int DefaultMinutes = 30;
    // The choices of the options page; 0 = never.
    static QList<int> MinuteChoices() { return {0, 10, 30, 60}; }

    // The stored minutes: the default when nothing (or no whole number >= 0) is stored.
    static int StoredMinutes(const QString& stored);
    // The limit in seconds, 0 = never. A positive whole number of seconds in the environment
    // value (QUELLON_TAB_SLEEP_SECONDS) overrides the stored minutes.
    static int LimitSeconds(const QString& stored, const QByteArray& environmentSeconds);
    // How often the tabs are looked at: a fifth of the limit, between one second and one minute.
    static int CheckIntervalMs(int limitSeconds);
    // Whether the tab may sleep at all now (the tab menu's command asks this).
    static bool MaySleep(const TTabSleepFacts& tab);
    // The next step of a tab that has been out of sight for tab.HiddenMs.
    static TSleepStep NextStep(const TTabSleepFacts& tab, int limitSeconds);
    // The step the tab menu's command takes at once.
    static TSleepStep SleepNowStep(const TTabSleepFacts& tab);
};
