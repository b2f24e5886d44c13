// Sleeping tabs: the periodic check, the sleep steps of both engines and waking a tab when shown.
#include "browser/TabSleeper.h"

#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/TabController.h"
#include "browser/TabStrip.h"
#include "browser/WebControlView.h"
#include "common/CommonFunc.h"
#include "storage/Config.h"

#include <QMenu>
#include <QPoint>
#include <QTimer>
#include <QWebEnginePage>

namespace {

QWebEnginePage* ChromiumPage(const TBrowserTab* tab) {
    return tab->Kernel == kChromium && tab->Browser ? tab->Browser->page() : nullptr;
}

} // namespace

TTabSleeper::TTabSleeper(TTabController& tabs, TConfig& config)
    : QObject(&tabs), m_tabs(tabs), m_config(config), m_timer(new QTimer(this)) {
    m_clock.start();
    m_timer->setObjectName(QStringLiteral("TimerTabSleep"));
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &TTabSleeper::Check);
    m_timer->start(TTabSleepPolicy::CheckIntervalMs(LimitSeconds()));
}

int TTabSleeper::LimitSeconds() const {
    return TTabSleepPolicy::LimitSeconds(m_config.GetValue(TConfigKey::TabSleepMinutes),
                                         qgetenv(LimitVariable));
}

TTabSleepFacts TTabSleeper::FactsOf(const TBrowserTab* tab) const {
    TTabSleepFacts facts;
    facts.Current = tab == m_tabs.CurrentTab();
    facts.EnginePage = tab->Kernel != kOptionsPage;
    facts.Chromium = tab->Kernel == kChromium;
    facts.State = tab->Sleep;
    const TPageView* view = tab->View();
    facts.DialogOpen = tab->DevToolsOpen || (view && view->DialogShowing());
    facts.Transferring = view && tab->Idle == 0;
    if (const QWebEnginePage* page = ChromiumPage(tab)) {
        facts.Audible = page->recentlyAudible();
        facts.EngineAllowsDiscard = page->recommendedState() == QWebEnginePage::LifecycleState::Discarded;
    }
    const qint64 shown = m_lastShown.value(tab->Id, -1);
    facts.HiddenMs = shown < 0 ? 0 : m_clock.elapsed() - shown;
    return facts;
}

void TTabSleeper::Check() {
    const int limit = LimitSeconds();
    if (!m_tabs.Closing()) {
        QHash<int, qint64> seen;
        for (TBrowserTab* tab : m_tabs.Tabs()) {
            // A tab seen for the first time (opened in the background) counts from now.
            if (tab == m_tabs.CurrentTab() || !m_lastShown.contains(tab->Id))
                m_lastShown.insert(tab->Id, m_clock.elapsed());
            seen.insert(tab->Id, m_lastShown.value(tab->Id));
            Apply(tab, TTabSleepPolicy::NextStep(FactsOf(tab), limit));
        }
        m_lastShown.swap(seen); // closed tabs are forgotten
    }
    m_timer->start(TTabSleepPolicy::CheckIntervalMs(limit));
}

bool TTabSleeper::SleepNow(TBrowserTab* tab) {
    TTabSleep before = tab->Sleep;
    // A frozen Chromium page goes on to be discarded when the engine allows it.
    for (int steps = 0; steps < 2; ++steps)
        Apply(tab, TTabSleepPolicy::SleepNowStep(FactsOf(tab)));
    return tab->Sleep != before;
}

void TTabSleeper::Apply(TBrowserTab* tab, TSleepStep step) {
    QWebEnginePage* page = ChromiumPage(tab);
    switch (step) {
    case TSleepStep::Stay:
        return;
    case TSleepStep::Freeze:
        if (!page)
            return;
        page->setLifecycleState(QWebEnginePage::LifecycleState::Frozen);
        tab->Sleep = TTabSleep::Frozen;
        break;
    case TSleepStep::Discard:
        if (!page)
            return;
        page->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
        tab->Sleep = TTabSleep::Discarded;
        break;
    case TSleepStep::Unload:
        Unload(tab);
        break;
    }
    WriteLog(QStringLiteral("tab sleeps (%1): %2").arg(int(tab->Sleep)).arg(tab->PageUrl));
    m_tabs.m_strip->update();
}

void TTabSleeper::Unload(TBrowserTab* tab) {
    TWebControlView* control = tab->WebControl;
    if (!control || tab->Kernel != kWebControl)
        return;
    // The page log's address and the caption stay; the view and its page go.
    if (tab->PageUrl.isEmpty())
        tab->PageUrl = control->CurrentUrl();
    control->NewWindow = nullptr;
    disconnect(control, nullptr, &m_tabs, nullptr);
    m_tabs.m_webDownloads.remove(control);
    m_tabs.m_closeAsked.remove(control);
    if (tab->EngineWindow == control)
        tab->EngineWindow = nullptr;
    tab->WebControl = nullptr;
    control->hide();
    control->deleteLater();
    tab->Sleep = TTabSleep::Unloaded;
}

void TTabSleeper::Wake(TBrowserTab* tab) {
    m_lastShown.insert(tab->Id, m_clock.elapsed());
    const TTabSleep state = tab->Sleep;
    if (state == TTabSleep::Awake)
        return;
    tab->Sleep = TTabSleep::Awake;
    WriteLog(QStringLiteral("tab wakes: %1").arg(tab->PageUrl));
    if (QWebEnginePage* page = ChromiumPage(tab)) {
        // A discarded page loads its address again, with its back and forward list.
        page->setLifecycleState(QWebEnginePage::LifecycleState::Active);
        return;
    }
    if (tab->View() || tab->Kernel == kOptionsPage)
        return;
    const QString address = tab->PageUrl;
    if (tab->Kernel == kWebControl && m_tabs.CreateWebControl(tab)) {
        tab->EngineWindow = tab->WebControl;
    } else {
        // Without the compatibility engine the page opens with Chromium.
        tab->Kernel = kChromium;
        if (!tab->Browser) {
            m_tabs.CreateChromiumControl(tab);
            tab->BrowserId = tab->Browser->BrowserId();
        }
        tab->EngineWindow = tab->Browser;
        tab->Browser->page()->setLifecycleState(QWebEnginePage::LifecycleState::Active);
        tab->Browser->page()->setAudioMuted(false);
        tab->Browser->show();
    }
    tab->View()->Widget()->raise();
    tab->View()->Navigate(address);
    m_tabs.SetLoadingState(tab, false);
    m_tabs.LayoutTab(tab);
}

void TTabSleeper::ShowTabMenu(int index, const QPoint& screenPoint) {
    TBrowserTab* tab = m_tabs.TabAt(index);
    if (!tab)
        return;
    // Shown without a nested event loop; the menu deletes itself once closed.
    auto* menu = new QMenu(m_tabs.m_strip);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* sleep = menu->addAction(tr("休眠此标签页"));
    sleep->setObjectName(QStringLiteral("NSleepTab"));
    sleep->setEnabled(TTabSleepPolicy::SleepNowStep(FactsOf(tab)) != TSleepStep::Stay);
    const int id = tab->Id;
    connect(sleep, &QAction::triggered, this, [this, id] {
        if (TBrowserTab* chosen = m_tabs.TabById(id))
            SleepNow(chosen);
    });
    menu->popup(screenPoint);
}
