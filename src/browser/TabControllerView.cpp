// Showing the current tab: captions, layout of the engine widgets, the loading state and the titles
// that go to history.
#include "browser/TabController.h"

#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/PageView.h"
#include "browser/TabControllerPrivate.h"
#include "browser/TabRegistry.h"
#include "browser/TabSleeper.h"
#include "browser/TabStrip.h"
#include "browser/WebControlView.h"
#include "common/AppPaths.h"
#include "common/CommonFunc.h"
#include "common/TextFit.h"
#include "history/History.h"
#include "maintenance/FavIconDownload.h"
#include <QEvent>
#include <QStackedWidget>
#include <QTimer>

// ---- Showing the current tab -------------------------------------------------------------

void TTabController::ShowCurrentTab() {
    if (m_closing)
        return;
    m_strip->UpdateTabWidth();
    TBrowserTab* tab = CurrentTab();
    if (!tab) {
        emit currentTabChanged(-1);
        return;
    }
    m_sleeper->Wake(tab);
    m_pages->setCurrentWidget(tab->Page);
    ShowCaption(tab->Caption);
    emit loadingStateShown(tab->Idle == 1);
    if (tab->NeedsLayout)
        LayoutTab(tab);
    if (tab->Kernel == kOptionsPage) {
        ShowOptionsTabState();
        emit currentTabChanged(kOptionsPage);
        return;
    }
    emit kernelShown(tab->Kernel);
    TPageView* view = tab->View();
    if (view) {
        const QString address = view->CurrentUrl();
        view->Widget()->setFocus();
        emit siteBadgeRefreshRequested(address);
        emit zoomStepShown(tab->ZoomStep);
        emit addressShown(address);
    }
    emit currentTabChanged(tab->Kernel);
}

void TTabController::ShowOptionsTabState() {
    TBrowserTab* tab = CurrentTab();
    emit optionsTabShown();
    emit addressShown(QStringLiteral("about:config"));
    emit siteBadgeRefreshRequested(QString());
    emit zoomStepShown(tab ? tab->ZoomStep : 0);
    emit kernelShown(kChromium);
}

void TTabController::ShowCaption(const QString& title) {
    // A page title may be of any length; the window title and its label show only a line of it.
    emit windowCaptionChanged(
        QStringLiteral("%1 - %2").arg(TextFit::Capped(title, TextFit::MaxLabelChars), ProductCaption));
}

// ---- Layout and loading state ------------------------------------------------------------

void TTabController::UpdateTabWidth() {
    m_strip->UpdateTabWidth();
}
int TTabController::TabWidth() const {
    return m_strip->TabWidth();
}
void TTabController::PlaceNewTabButton() {
    m_strip->PlaceNewTabButton();
}

void TTabController::LayoutTab(TBrowserTab* tab) {
    if (!tab)
        return;
    tab->NeedsLayout = 0;
    const QRect page = tab->Page->rect();
    if (tab->Kernel == kOptionsPage) {
        if (tab->OptionsWindow)
            tab->OptionsWindow->setGeometry(page);
        return;
    }
    QRect engine = page;
    if (tab->DevToolsOpen && tab->DevToolsView) {
        // The developer tools take the bottom part, cut to fit, under a thin splitter.
        const int splitter = tab->DevToolsSplitter ? 4 : 0;
        const int height = qBound(0, tab->DevToolsHeight, qMax(0, page.height() - splitter - 40));
        engine.setBottom(page.bottom() - height - splitter);
        if (tab->DevToolsSplitter)
            tab->DevToolsSplitter->setGeometry(0, engine.bottom() + 1, page.width(), splitter);
        tab->DevToolsView->setGeometry(0, page.height() - height, page.width(), height);
    }
    if (tab->Browser)
        tab->Browser->setGeometry(engine);
    if (tab->WebControl)
        tab->WebControl->setGeometry(page);
}

void TTabController::RelayoutTabs() {
    // The current tab now, the others when they are shown.
    for (TBrowserTab* tab : m_registry->Tabs())
        tab->NeedsLayout = 1;
    LayoutTab(CurrentTab());
}

bool TTabController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        for (TBrowserTab* tab : m_registry->Tabs()) {
            if (tab->Page != watched)
                continue;
            if (IsActive(tab))
                LayoutTab(tab);
            else
                tab->NeedsLayout = 1;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TTabController::SetLoadingState(TBrowserTab* tab, bool idle) {
    if (!tab)
        return;
    if (IsActive(tab))
        emit loadingStateShown(idle);
    tab->Idle = idle ? 1 : 0;
    if (idle) {
        m_loadingPages.removeAll(tab->Id);
        if (m_untitledVisits.remove(tab->Id) && tab->View()) {
            const QString address = tab->View()->CurrentUrl();
            const QString title = tab->View()->Title().trimmed().isEmpty() ? address : tab->View()->Title();
            AddVisit(title, address, false);
        }
        RequestTabIcon(tab); // a page whose icon link the engine did not report is looked at now
    } else {
        if (!m_loadingPages.contains(tab->Id))
            m_loadingPages.append(tab->Id);
        if (!m_timerRefreshTab->isActive())
            m_timerRefreshTab->start();
    }
    m_strip->update();
}

void TTabController::TimerRefreshTabTimer() {
    m_strip->AdvanceLoadingIcon();
    if (m_loadingPages.isEmpty())
        m_timerRefreshTab->stop();
}

void TTabController::RepaintStrip() {
    m_strip->ForgetIcons();
}

void TTabController::SetClosing(bool closing) {
    m_closing = closing;
    m_strip->SetClosing(closing);
    if (closing) {
        m_timerRefreshTab->stop();
        m_timerPopup->stop();
    }
}

void TTabController::RecordTitle(TBrowserTab* tab, const QString& title, const QString& address) {
    const QString trimmed = title.trimmed();
    if (!trimmed.isEmpty() && !IsBlank(trimmed)) {
        tab->Caption = title;
        m_strip->update();
    }
    if (IsActive(tab)) {
        ShowCaption(title);
        emit addressShown(address);
        emit siteBadgeRefreshRequested(address);
    }
    tab->FolderUrl = UrlDirectory(address);
    tab->FaviconFile = UserDataDir() + FavIconFileName(address);
    // While a page loads, the engines stand in its address (or nothing) for the title until the
    // page's own title arrives; history keeps the first title of the day, so such a stand-in is
    // recorded only when the load ends without a title of the page.
    if (IsStandInTitle(title, address) && tab->View() && tab->View()->IsLoading()) {
        m_untitledVisits.insert(tab->Id);
    } else {
        m_untitledVisits.remove(tab->Id);
        AddVisit(title, address, false);
    }
    RequestTabIcon(tab);
}

void TTabController::RequestTabIcon(TBrowserTab* tab) {
    TPageView* view = tab->View();
    if (!view)
        return;
    // Chromium finds the page's icon itself (its link, else /favicon.ico) and reports it; the page
    // is then never fetched a second time, and a page it finds no icon for has none. The
    // compatibility engine reports no icon address: the fetcher reads the page once it has loaded.
    const QString icon = view->IconUrl();
    if (tab->Kernel == kChromium ? icon.isEmpty() : view->IsLoading())
        return;
    const QString address = view->CurrentUrl();
    RequestFavIcon(this, address, UserDataDir() + FavIconFileName(address), 1, icon);
}

void TTabController::AddVisit(const QString& title, const QString& address, bool closed) {
    THistoryInfo visit;
    visit.SiteName = title;
    visit.SiteUrl = address;
    visit.IsClose = closed;
    m_history.AddVisit(visit);
}
