// The sleeping-tab rules.
#include "browser/TabSleepPolicy.h"

int TTabSleepPolicy::StoredMinutes(const QString& stored) {
    bool ok = false;
    const int minutes = stored.trimmed().toInt(&ok);
    return ok && minutes >= 0 ? minutes : DefaultMinutes;
}

int TTabSleepPolicy::LimitSeconds(const QString& stored, const QByteArray& environmentSeconds) {
    bool ok = false;
    const int seconds = environmentSeconds.trimmed().toInt(&ok);
    if (ok && seconds > 0)
        return seconds;
    // Kept below a day: the check interval and the millisecond comparison stay in range.
    return qMin(StoredMinutes(stored), 24 * 60) * 60;
}

int TTabSleepPolicy::CheckIntervalMs(int limitSeconds) {
    if (limitSeconds <= 0)
        return 60 * 1000; // the setting may be turned on meanwhile
    return qBound(1000, limitSeconds * 200, 60 * 1000);
}

bool TTabSleepPolicy::MaySleep(const TTabSleepFacts& tab) {
    return !tab.Current && tab.EnginePage && !tab.Audible && !tab.DialogOpen && !tab.Transferring;
}

TSleepStep TTabSleepPolicy::NextStep(const TTabSleepFacts& tab, int limitSeconds) {
    if (limitSeconds <= 0 || tab.HiddenMs < qint64(limitSeconds) * 1000)
        return TSleepStep::Stay;
    return SleepNowStep(tab);
}

TSleepStep TTabSleepPolicy::SleepNowStep(const TTabSleepFacts& tab) {
    if (tab.State == TTabSleep::Unloaded || tab.State == TTabSleep::Discarded || !MaySleep(tab))
        return TSleepStep::Stay;
    if (!tab.Chromium)
        return TSleepStep::Unload;
    if (tab.State == TTabSleep::Awake)
        return TSleepStep::Freeze;
    return tab.EngineAllowsDiscard ? TSleepStep::Discard : TSleepStep::Stay;
}
