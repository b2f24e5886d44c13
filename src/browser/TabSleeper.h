// Sleeping tabs: background tabs out of sight longer than the configured time give their engine
// page's memory back (Chromium pages are frozen, then discarded when the engine recommends it; a
// compatibility-engine tab drops its view), restored pages open without a page, and every such
// tab loads again when it is shown. Its address and caption stay with the tab meanwhile, so the
// page log and the closed-pages list see it like any other tab.
#pragma once

#include "browser/TabSleepPolicy.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>

class QPoint;
class QTimer;
class TBrowserTab;
class TConfig;
class TTabController;

class TTabSleeper final : public QObject {
    Q_OBJECT
public:
    // The environment variable whose positive whole number of seconds replaces the setting.
    static constexpr const char* LimitVariable = "QUELLON_TAB_SLEEP_SECONDS";

    TTabSleeper(TTabController& tabs, TConfig& config);

    // The time limit now, in seconds; 0 = never.
    int LimitSeconds() const;
    TTabSleepFacts FactsOf(const TBrowserTab* tab) const;
    // Puts the tab to sleep at once, as far as it may sleep; false when it stays as it is.
    bool SleepNow(TBrowserTab* tab);
    // Brings the tab's page back; called before the tab is shown.
    void Wake(TBrowserTab* tab);
    // The tab strip's menu for the tab at the index, at the screen point.
    void ShowTabMenu(int index, const QPoint& screenPoint);

private:
    void Check();
    void Apply(TBrowserTab* tab, TSleepStep step);
    void Unload(TBrowserTab* tab);

    TTabController& m_tabs;
    TConfig& m_config;
    QTimer* m_timer;
    QElapsedTimer m_clock;
    QHash<int, qint64> m_lastShown; // tab id -> m_clock time the tab was last seen current
};
