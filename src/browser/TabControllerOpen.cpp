// Opening addresses in new and current tabs, the options tab, new windows and the navigation buttons.
#include "browser/TabController.h"

#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/DomainKernel.h"
#include "browser/PageView.h"
#include "browser/TabControllerPrivate.h"
#include "browser/TabRegistry.h"
#include "browser/TabSleeper.h"
#include "browser/WebControlView.h"
#include "common/AppPaths.h"
#include "common/FavIcons.h"
#include "common/UrlText.h"
#include "common/WindowLauncher.h"

// ---- Opening addresses -------------------------------------------------------------------

void TTabController::OpenInNewTab(const QString& url, int kernel) {
    if (m_closing)
        return;
    QString address = url.trimmed();
    if (address.isEmpty())
        address = BlankPage;
    if (kernel != kWebControl) {
        kernel = kChromium;
        const TKernelInfo remembered = m_kernels.LookupKernel(address);
        if (!remembered.domain.isEmpty())
            kernel = remembered.kernel;
    }

    auto record = std::make_unique<TBrowserTab>(m_nextTabId++, kernel, NewPage());
    TBrowserTab* tab = record.get();
    tab->Caption = address;
    if (kernel == kWebControl && CreateWebControl(tab)) {
        tab->WebControl->Navigate(address);
        tab->EngineWindow = tab->WebControl;
    } else {
        tab->Kernel = kChromium;
        CreateChromiumControl(tab)->Navigate(address);
        tab->BrowserId = tab->Browser->BrowserId();
        tab->EngineWindow = tab->Browser;
    }
    AddTab(std::move(record), !CtrlHeld());
    m_kernels.RememberKernel(address, tab->Kernel);
}

void TTabController::OpenInCurrentTab(const QString& url) {
    TBrowserTab* tab = CurrentTab();
    // A page inside its own message box is not navigated away under it.
    if (!tab || m_closing || DialogShowing(tab))
        return;
    const QString address = url.trimmed();
    if (address.compare(QStringLiteral("about:config"), Qt::CaseInsensitive) == 0) {
        emit optionsTabRequested();
        return;
    }
    if (tab->Kernel == kOptionsPage) {
        OpenInNewTab(address, kChromium);
        return;
    }
    const TKernelInfo remembered = m_kernels.LookupKernel(address);
    if (!remembered.domain.isEmpty() && remembered.kernel != tab->Kernel) {
        // The other engine opens the address itself; the memory is of the host being opened.
        SwitchEngineOf(tab, address);
        return;
    }
    tab->View()->Navigate(address);
    m_kernels.RememberKernel(address, tab->Kernel);
}

void TTabController::OpenOptionsTab(QWidget* optionsWindow) {
    if (m_closing)
        return;
    for (TBrowserTab* tab : m_registry->Tabs()) {
        if (tab->PageKind == 1) {
            SetCurrentIndex(IndexOf(tab));
            ShowOptionsTabState();
            return;
        }
    }
    auto record = std::make_unique<TBrowserTab>(m_nextTabId++, kOptionsPage, NewPage());
    TBrowserTab* tab = record.get();
    tab->Idle = 1;
    tab->Caption = tr("选项设置");
    tab->PageKind = 1;
    tab->PageUrl = QStringLiteral("about:config");
    if (optionsWindow) {
        tab->OptionsWindow = optionsWindow;
        optionsWindow->setParent(tab->Page);
        optionsWindow->setGeometry(tab->Page->rect());
        optionsWindow->show();
    }
    AddTab(std::move(record), true);
}

void TTabController::OpenSleepingTab(const QString& url, const QString& caption) {
    const QString address = url.trimmed();
    if (m_closing || address.isEmpty())
        return;
    const TKernelInfo remembered = m_kernels.LookupKernel(address);
    const int kernel = remembered.domain.isEmpty() ? int(kChromium) : remembered.kernel;
    auto record = std::make_unique<TBrowserTab>(m_nextTabId++, kernel, NewPage());
    TBrowserTab* tab = record.get();
    tab->Idle = 1;
    tab->Sleep = TTabSleep::Unloaded;
    tab->PageUrl = address;
    tab->Caption = caption.trimmed().isEmpty() ? address : caption;
    tab->FolderUrl = UrlDirectory(address);
    tab->FaviconFile = UserDataDir() + FavIconFileName(address);
    AddTab(std::move(record), false);
}

bool TTabController::SleepTab(int index) {
    TBrowserTab* tab = TabAt(index);
    return tab && m_sleeper->SleepNow(tab);
}

void TTabController::NewTab() {
    OpenInNewTab(NavigationPageUrl(), kChromium);
}

void TTabController::NewWindow() {
    StartBrowserWindow();
}

// ---- Navigation buttons ------------------------------------------------------------------

// The current tab's page, unless it waits on a box: moving a page on under its open box would pull
// the box's script out from under it.
TPageView* TTabController::MovableView() const {
    TBrowserTab* tab = CurrentTab();
    return tab && tab->View() && !DialogShowing(tab) ? tab->View() : nullptr;
}

void TTabController::GoBack() {
    if (TPageView* view = MovableView())
        view->GoBack();
}

void TTabController::GoForward() {
    if (TPageView* view = MovableView())
        view->GoForward();
}

void TTabController::Refresh() {
    if (TPageView* view = MovableView())
        view->Reload();
}

void TTabController::StopLoading() {
    if (TBrowserTab* tab = CurrentTab(); tab && tab->View()) {
        tab->View()->Stop();
        SetLoadingState(tab, true);
    }
}

void TTabController::GoHome() {
    TBrowserTab* tab = CurrentTab();
    if (!tab)
        return;
    if (tab->View() && IsBlank(tab->View()->CurrentUrl()))
        tab->View()->Navigate(NavigationPageUrl());
    else
        OpenInNewTab(NavigationPageUrl(), kChromium);
}
