// The close queue: every close request is queued for its tab and handled in turn by the two
// close timers, so a page that asks from inside its own script is never deleted under it. A tab
// whose page has one of its message boxes open is closed only once the box has returned: the
// engine is inside the page's script until then.
#include "browser/TabController.h"

#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/TabControllerPrivate.h"
#include "browser/TabRegistry.h"
#include "browser/TabStrip.h"
#include "browser/WebControlView.h"
#include "common/Messages.h"
#include "history/RecentlyClosed.h"
#include <QCoreApplication>
#include <QStackedWidget>
#include <QTimer>

// ---- Closing -----------------------------------------------------------------------------

void TTabController::RequestCloseTab(int index) {
    if (TBrowserTab* tab = TabAt(index))
        QCoreApplication::postEvent(this, new TMessageEvent(WM_CLOSE_TAB, index, tab->Id));
}

void TTabController::CloseCurrentTab() {
    RequestCloseTab(CurrentIndex());
}

void TTabController::HandleCloseRequest(int index, int id) {
    TBrowserTab* tab = id > 0 ? TabById(id) : TabAt(index);
    if (!tab)
        return;
    if (DialogShowing(tab)) {
        // The box ends as cancelled; a page showing its boxes in a loop would otherwise never
        // let its tab close.
        if (tab->WebControl)
            tab->WebControl->EndDialogs();
        if (tab->Browser)
            tab->Browser->EndDialogs();
        CloseAfterDialog(tab->Id);
        return;
    }
    m_loadingPages.removeAll(tab->Id);
    // The window closes instead when no other tab would be left.
    const int othersOpen = TabCount() - m_pendingCloses.size() - (m_pendingCloses.contains(tab->Id) ? 0 : 1);
    if (othersOpen <= 0) {
        emit lastTabClosed();
        return;
    }
    if (m_pendingCloses.contains(tab->Id))
        return; // already on its way
    m_pendingCloses.append(tab->Id);
    if (!m_timerCloseTab2->isActive())
        m_timerCloseTab1->start();
}

void TTabController::TimerCloseTab1Timer() {
    m_timerCloseTab1->stop();
    if (m_pendingCloses.isEmpty())
        return;
    TBrowserTab* tab = TabById(m_pendingCloses.first());
    if (tab && tab->Kernel == kChromium && tab->DevToolsOpen)
        CloseDevTools(tab);
    if (tab && tab->Browser)
        m_closingBrowserId = tab->Browser->BrowserId();
    m_timerCloseTab2->start();
}

void TTabController::TimerCloseTab2Timer() {
    m_timerCloseTab2->stop();
    if (m_pendingCloses.isEmpty())
        return;
    const int id = m_pendingCloses.takeFirst();
    if (TBrowserTab* tab = TabById(id); tab && DialogShowing(tab)) {
        // The page opened a box while its close was on its way.
        CloseAfterDialog(id);
    } else if (tab) {
        const QString address = tab->Kernel == kOptionsPage ? tab->PageUrl : tab->CurrentUrl();
        const QString caption = tab->Caption;
        const bool wasCurrent = IsActive(tab);
        const int index = IndexOf(tab);
        TBrowserTab* current = CurrentTab();

        DetachHandlers(tab);
        m_loadingPages.removeAll(id);
        m_staleChromium.remove(id);
        std::unique_ptr<TBrowserTab> record = m_registry->Unregister(id);
        m_pages->removeWidget(record->Page);
        record->Page->deleteLater();
        record.reset();

        // The tab that was current stays current; when it was the closed one, its right
        // neighbour (or the new last tab) takes its place.
        const int next = wasCurrent ? qMin(index, TabCount() - 1) : IndexOf(current);
        m_strip->SetCurrentIndexQuietly(next);
        m_strip->UpdateTabWidth();

        emit openPagesChanged();
        AddVisit(caption, address, true);
        m_recentlyClosed.Reload();
        emit pageClosed(caption, address);
        if (wasCurrent)
            ShowCurrentTab();
    }
    m_closingBrowserId = 0;
    if (!m_pendingCloses.isEmpty())
        m_timerCloseTab1->start(); // every queued request is handled in turn
}

bool TTabController::DialogShowing(const TBrowserTab* tab) const {
    return (tab->Browser && tab->Browser->DialogShowing()) ||
           (tab->WebControl && tab->WebControl->DialogShowing());
}

void TTabController::CloseAfterDialog(int id) {
    if (!m_closesAfterDialog.contains(id))
        m_closesAfterDialog.append(id);
    if (!m_timerDialogClosed->isActive())
        m_timerDialogClosed->start();
}

void TTabController::TimerDialogClosedTimer() {
    // Requests whose box has returned are asked again, in their order.
    for (int i = 0; i < m_closesAfterDialog.size();) {
        const int id = m_closesAfterDialog.at(i);
        TBrowserTab* tab = TabById(id);
        if (tab && DialogShowing(tab)) {
            ++i;
            continue;
        }
        m_closesAfterDialog.removeAt(i);
        if (tab)
            QCoreApplication::postEvent(this, new TMessageEvent(WM_CLOSE_TAB, IndexOf(tab), id));
    }
    if (m_closesAfterDialog.isEmpty())
        m_timerDialogClosed->stop();
}
