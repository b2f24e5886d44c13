// The tab controller: opening, switching, laying out and closing tabs, the engine switch, and the
// handlers of every event of both page engines.
#include "browser/TabController.h"

#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/DomainKernel.h"
#include "browser/FormIdentityAuth.h"
#include "browser/PageMessageBox.h"
#include "browser/TabRegistry.h"
#include "browser/TabStrip.h"
#include "browser/WebControlView.h"
#include "common/AppPaths.h"
#include "common/CommonFunc.h"
#include "common/Dialogs.h"
#include "common/Messages.h"
#include "history/History.h"
#include "history/RecentlyClosed.h"
#include "maintenance/FavIconDownload.h"
#include "storage/Config.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QProcess>
#include <QResizeEvent>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineProfile>

namespace {
const QString ProductCaption = QStringLiteral("Quellon 1.0.0.0");
const QString BlankPage = QStringLiteral("about:blank");

// A credentials request waiting for the dialog.
struct TAuthRequest {
    QString Realm;
    QString Host;
    int Port = 0;
    QPointer<TChromiumView> View; // the view that asked; reloaded after the dialog is confirmed
};

bool IsBlank(const QString& url) {
    return url.trimmed().compare(BlankPage, Qt::CaseInsensitive) == 0;
}

// The engines' title of a page that has none (yet): nothing, or the address with or without
// its scheme.
bool IsStandInTitle(const QString& title, const QString& address) {
    const QString text = title.trimmed();
    const QString bare = address.section(QStringLiteral("://"), 1);
    return text.isEmpty() || text == address || (!bare.isEmpty() && text == bare);
}
} // namespace

// A popup page the engine created and whose tab is announced after the popup spacing.
struct TTabController::TPendingPopup {
    std::unique_ptr<TBrowserTab> Tab;
};

TTabController::TTabController(TConfig& config, THistory& history, TDomainKernel& kernels,
                               TRecentlyClosed& recentlyClosed, QWidget* pageHost, QObject* parent)
    : QObject(parent), m_config(config), m_history(history), m_kernels(kernels),
      m_recentlyClosed(recentlyClosed), m_pageHost(pageHost), m_registry(std::make_unique<TTabRegistry>()) {
    m_pages = new QStackedWidget(pageHost);
    m_pages->setObjectName(QStringLiteral("PageStack"));
    auto* hostLayout = pageHost->layout() ? pageHost->layout() : new QVBoxLayout(pageHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    hostLayout->addWidget(m_pages);

    m_strip = new TTabStrip(*m_registry);
    connect(m_strip, &TTabStrip::currentChanged, this, [this] { ShowCurrentTab(); });
    connect(m_strip, &TTabStrip::closeRequested, this, &TTabController::RequestCloseTab);
    connect(m_strip, &TTabStrip::tabMoved, this, &TTabController::MoveTab);
    connect(m_strip, &TTabStrip::newTabClicked, this, &TTabController::NewTab);

    auto makeTimer = [this](const char* name, int interval, void (TTabController::*handler)()) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(name));
        timer->setInterval(interval);
        connect(timer, &QTimer::timeout, this, handler);
        return timer;
    };
    m_timerRefreshTab = makeTimer("TimerRefreshTab", 250, &TTabController::TimerRefreshTabTimer);
    m_timerCloseTab1 = makeTimer("TimerCloseTab1", 200, &TTabController::TimerCloseTab1Timer);
    m_timerCloseTab1->setSingleShot(true);
    m_timerCloseTab2 = makeTimer("TimerCloseTab2", 100, &TTabController::TimerCloseTab2Timer);
    m_timerCloseTab2->setSingleShot(true);
    m_timerPopup = makeTimer("TimerPopup", PopupSpacingMs, &TTabController::AnnouncePopup);
    m_timerPopup->setSingleShot(true);

    m_downloadHook = new TChromiumDownloadHook(QWebEngineProfile::defaultProfile(), this);
    connect(m_downloadHook, &TChromiumDownloadHook::downloadRequested, this, &TTabController::ForwardDownload);
}

TTabController::~TTabController() {
    m_closing = true;
    m_pendingPopups.clear();
    // The pages own the engine views; they go before the records that point at them.
    for (TBrowserTab* tab : m_registry->Tabs())
        DetachHandlers(tab);
    delete m_strip.data();
    delete m_pages.data();
}

// ---- Test seams --------------------------------------------------------------------------

void TTabController::SetMsgBoxFunction(TMsgBoxFunction function) {
    SetPageMsgBoxFunction(std::move(function));
}

void TTabController::SetAuthPromptFunction(TAuthPromptFunction function) {
    m_authPrompt = std::move(function);
}

void TTabController::SetWebControlFactory(std::function<TWebControlView*(QWidget* parent)> factory) {
    m_createWebControl = std::move(factory);
}

void TTabController::SetCtrlHeldFunction(std::function<bool()> function) {
    m_ctrlHeld = std::move(function);
}

bool TTabController::CtrlHeld() const {
    if (m_ctrlHeld)
        return m_ctrlHeld();
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

// ---- Tabs --------------------------------------------------------------------------------

QWidget* TTabController::TabStrip() const {
    return m_strip;
}
TBrowserTab* TTabController::CurrentTab() const {
    return m_registry->At(m_strip->CurrentIndex());
}
TBrowserTab* TTabController::TabById(int id) const {
    return m_registry->TabById(id);
}
TBrowserTab* TTabController::TabAt(int index) const {
    return m_registry->At(index);
}
int TTabController::TabCount() const {
    return m_registry->Count();
}
int TTabController::CurrentIndex() const {
    return m_strip->CurrentIndex();
}
int TTabController::IndexOf(const TBrowserTab* tab) const {
    return m_registry->IndexOf(tab);
}
QVector<TBrowserTab*> TTabController::Tabs() const {
    return m_registry->Tabs();
}

void TTabController::SetCurrentIndex(int index) {
    if (index >= 0 && index < TabCount())
        m_strip->SetCurrentIndex(index);
}

void TTabController::ActivateTabNumber(int n) {
    if (n >= 1 && n <= TabCount())
        SetCurrentIndex(n - 1);
}

void TTabController::NextTab() {
    if (TabCount() > 0)
        SetCurrentIndex((CurrentIndex() + 1) % TabCount());
}

void TTabController::PreviousTab() {
    if (TabCount() > 0)
        SetCurrentIndex(CurrentIndex() <= 0 ? TabCount() - 1 : CurrentIndex() - 1);
}

bool TTabController::IsActive(const TBrowserTab* tab) const {
    return tab && tab == CurrentTab();
}

TBrowserTab* TTabController::TabOfView(const QObject* view) const {
    for (TBrowserTab* tab : m_registry->Tabs())
        if (view && (tab->Browser == view || tab->WebControl == view))
            return tab;
    return nullptr;
}

TBrowserTab* TTabController::ShowingTab(const QObject* view, int kernel) const {
    // Not for a pending popup, nor for the hidden engine of a switched tab.
    TBrowserTab* tab = TabOfView(view);
    return tab && tab->Kernel == kernel ? tab : nullptr;
}

QWidget* TTabController::NewPage() {
    auto* page = new QWidget(m_pages);
    page->installEventFilter(this);
    m_pages->addWidget(page);
    return page;
}

TBrowserTab* TTabController::AddTab(std::unique_ptr<TBrowserTab> record, bool activate) {
    TBrowserTab* tab = m_registry->Register(std::move(record));
    m_strip->UpdateTabWidth();
    if (activate || CurrentIndex() < 0)
        m_strip->SetCurrentIndex(IndexOf(tab));
    return tab;
}

void TTabController::MoveTab(int from, int to) {
    TBrowserTab* current = CurrentTab();
    if (!m_registry->Move(from, to))
        return;
    m_strip->SetCurrentIndexQuietly(IndexOf(current));
}

// ---- Engine views ------------------------------------------------------------------------

TChromiumView* TTabController::CreateChromiumControl(TBrowserTab* tab) {
    auto* view = new TChromiumView(tab->Page);
    view->setGeometry(tab->Page->rect());
    view->BeforePopup = [this](TChromiumView* opener) { return crmBeforePopup(opener); };
    view->AuthCredentials = [this](TChromiumView* asking, const QUrl& url, QAuthenticator* authenticator) {
        crmGetAuthCredentials(asking, url, authenticator);
    };
    connect(view, &TChromiumView::addressChange, this,
            [this, view](const QUrl& url) { crmAddressChange(view, url); });
    connect(view, &TChromiumView::titleChange, this,
            [this, view](const QString& title) { crmTitleChange(view, title); });
    connect(view, &TChromiumView::loadingStateChange, this,
            [this, view](bool loading) { crmLoadingStateChange(view, loading); });
    connect(view, &TChromiumView::statusMessage, this,
            [this](const QString& text) { crmStatusMessage(text); });
    connect(view, &TChromiumView::beforeBrowse, this, [this] { m_lastStatusText.clear(); });
    // Queued: the page may ask from inside its own script; the request is handled afterwards.
    connect(
        view, &TChromiumView::closeRequested, this, [this, view] { crmClose(view); }, Qt::QueuedConnection);
    tab->Browser = view;
    view->show();
    return view;
}

TWebControlView* TTabController::CreateWebControl(TBrowserTab* tab) {
    TWebControlView* control =
        m_createWebControl ? m_createWebControl(tab->Page) : CreateWebControlView(tab->Page);
    if (!control) {
        WriteLog(QStringLiteral("compatibility engine missing: the page stays with Chromium"));
        return nullptr;
    }
    control->setGeometry(tab->Page->rect());
    control->NewWindow = [this](TWebControlView* opener) { return webNewWindow2(opener); };
    connect(control, &TWebControlView::titleChange, this,
            [this, control](const QString& title) { webTitleChange(control, title); });
    connect(control, &TWebControlView::documentComplete, this,
            [this, control] { webDocumentComplete(control); });
    connect(control, &TWebControlView::statusTextChange, this, &TTabController::statusTextChanged);
    connect(control, &TWebControlView::downloadBegin, this, [this, control] { webDownloadBegin(control); });
    connect(control, &TWebControlView::downloadComplete, this,
            [this, control] { webDownloadComplete(control); });
    connect(
        control, &TWebControlView::windowClosing, this, [this, control] { webWindowClosing(control); },
        Qt::QueuedConnection);
    connect(control, &TWebControlView::downloadRequested, this, &TTabController::ForwardDownload);
    m_webDownloads.remove(control);
    tab->WebControl = control;
    control->show();
    return control;
}

// A download either engine asks for goes to the window unless it is closing.
void TTabController::ForwardDownload(const QString& url, const QString& name, qint64 size) {
    if (!m_closing)
        emit downloadRequested(url, name, size);
}

void TTabController::DetachHandlers(TBrowserTab* tab) {
    if (tab->Browser) {
        tab->Browser->BeforePopup = nullptr;
        tab->Browser->AuthCredentials = nullptr;
        disconnect(tab->Browser, nullptr, this, nullptr);
    }
    if (tab->WebControl) {
        tab->WebControl->NewWindow = nullptr;
        disconnect(tab->WebControl, nullptr, this, nullptr);
        m_webDownloads.remove(tab->WebControl);
        m_closeAsked.remove(tab->WebControl);
    }
}

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
    if (!tab || m_closing)
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
    if (!remembered.domain.isEmpty() && remembered.kernel != tab->Kernel)
        SwitchEngineOf(tab);
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

void TTabController::NewTab() {
    OpenInNewTab(NavigationPageUrl(), kChromium);
}

void TTabController::NewWindow() {
    QProcess::startDetached(QCoreApplication::applicationFilePath(), QStringList(), AppDir());
}

// ---- Navigation buttons ------------------------------------------------------------------

void TTabController::GoBack() {
    if (TBrowserTab* tab = CurrentTab(); tab && tab->View())
        tab->View()->GoBack();
}

void TTabController::GoForward() {
    if (TBrowserTab* tab = CurrentTab(); tab && tab->View())
        tab->View()->GoForward();
}

void TTabController::Refresh() {
    if (TBrowserTab* tab = CurrentTab(); tab && tab->View())
        tab->View()->Reload();
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
    emit windowCaptionChanged(QStringLiteral("%1 - %2").arg(title, ProductCaption));
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

// ---- Engine switch -----------------------------------------------------------------------

void TTabController::SwitchEngine() {
    if (TBrowserTab* tab = CurrentTab())
        SwitchEngineOf(tab);
}

void TTabController::SwitchEngineOf(TBrowserTab* tab) {
    if (!tab || m_closing)
        return;
    if (tab->Kernel == kWebControl && tab->WebControl) {
        emit kernelHintChanged(tr("Chrome内核"));
        tab->Kernel = kChromium;
        const QString address = tab->WebControl->CurrentUrl();
        // Remembered first, so the Chromium address change that follows does not switch back.
        m_kernels.RememberKernel(address, kChromium);
        if (!tab->Browser) {
            CreateChromiumControl(tab)->Navigate(address);
            tab->BrowserId = tab->Browser->BrowserId();
        } else {
            tab->Browser->page()->setLifecycleState(QWebEnginePage::LifecycleState::Active);
            tab->Browser->page()->setAudioMuted(false);
            tab->Browser->show();
            if (tab->Browser->CurrentUrl() != address)
                tab->Browser->Navigate(address);
        }
        tab->Browser->raise();
        tab->WebControl->Navigate(BlankPage);
        tab->WebControl->hide();
        m_webDownloads.remove(tab->WebControl);
    } else if (tab->Kernel == kChromium && tab->Browser) {
        // Without the compatibility engine the tab stays as it is.
        const bool firstControl = !tab->WebControl;
        if (firstControl && !CreateWebControl(tab))
            return;
        emit kernelHintChanged(tr("ie内核"));
        tab->Kernel = kWebControl;
        const QString address = tab->Browser->CurrentUrl();
        m_kernels.RememberKernel(address, kWebControl);
        // The Chromium page is kept as it is, hidden and frozen, so that switching back shows it
        // again without a reload while the addresses agree.
        tab->Browser->stop();
        tab->Browser->hide();
        tab->Browser->page()->setAudioMuted(true);
        tab->Browser->page()->setLifecycleState(QWebEnginePage::LifecycleState::Frozen);
        CloseDevTools(tab);
        if (firstControl) {
            tab->WebControl->Navigate(address);
        } else {
            tab->WebControl->show();
            if (tab->WebControl->CurrentUrl() != address)
                tab->WebControl->Navigate(address);
        }
        m_webDownloads.remove(tab->WebControl);
        tab->WebControl->raise();
    } else {
        return;
    }
    LayoutTab(tab);
    SetLoadingState(tab, !tab->View()->IsLoading());
    if (IsActive(tab))
        ShowCurrentTab();
}

void TTabController::CloseDevTools(TBrowserTab* tab) {
    tab->DevToolsOpen = 0;
    if (tab->Browser)
        tab->Browser->page()->setDevToolsPage(nullptr);
    delete tab->DevToolsView;
    tab->DevToolsView = nullptr;
    delete tab->DevToolsSplitter;
    tab->DevToolsSplitter = nullptr;
}

// ---- Chromium events ---------------------------------------------------------------------

void TTabController::crmAddressChange(TChromiumView* view, const QUrl& url) {
    if (m_closing)
        return;
    TBrowserTab* tab = ShowingTab(view, kChromium);
    if (!tab)
        return;
    const QString address = url.toString();
    const TKernelInfo remembered = m_kernels.LookupKernel(address);
    if (!remembered.domain.isEmpty() && remembered.kernel == kWebControl) {
        // The host is remembered for the compatibility engine: this tab moves over.
        SwitchEngineOf(tab);
        return;
    }
    if (IsActive(tab))
        emit addressShown(address);
    tab->PageUrl = address;
}

void TTabController::crmTitleChange(TChromiumView* view, const QString& title) {
    if (m_closing)
        return;
    TBrowserTab* tab = ShowingTab(view, kChromium);
    if (!tab)
        return;
    RecordTitle(tab, title, view->CurrentUrl());
}

void TTabController::crmLoadingStateChange(TChromiumView* view, bool loading) {
    if (m_closing)
        return;
    if (TBrowserTab* tab = ShowingTab(view, kChromium))
        SetLoadingState(tab, !loading);
}

void TTabController::crmStatusMessage(const QString& text) {
    m_lastStatusText = text;
    emit statusTextChanged(text);
}

TChromiumView* TTabController::crmBeforePopup(TChromiumView* opener) {
    if (m_closing)
        return nullptr;
    if (m_lastStatusText.isEmpty() && opener->IsPopup() && m_config.FilterPopups) {
        // A script of a popup page opened a window without any link under the mouse.
        emit popupBlocked(opener->CurrentUrl());
        return nullptr;
    }
    if (m_pendingPopups.size() >= MaxPendingPopups) {
        // A page opening windows in a loop: the ones beyond a few waiting popups are refused.
        WriteLog(QStringLiteral("popup refused: too many waiting popups of %1").arg(opener->CurrentUrl()));
        emit popupBlocked(opener->CurrentUrl());
        return nullptr;
    }
    auto pending = std::make_shared<TPendingPopup>();
    pending->Tab = std::make_unique<TBrowserTab>(m_nextTabId++, kChromium, NewPage());
    TBrowserTab* tab = pending->Tab.get();
    TChromiumView* view = CreateChromiumControl(tab);
    view->SetPopup(true);
    tab->FromPopup = 1;
    tab->BrowserId = opener->BrowserId();
    tab->EngineWindow = view;
    m_pendingPopups.append(pending);
    m_lastStatusText.clear();
    if (!m_timerPopup->isActive()) {
        // Popups close together are announced at least 500 ms apart.
        const bool recent = m_lastPopupTime.isValid() && m_lastPopupTime.elapsed() < 1000;
        m_timerPopup->start(recent ? PopupSpacingMs : 0);
    }
    return view;
}

void TTabController::AnnouncePopup() {
    if (m_pendingPopups.isEmpty() || m_closing)
        return;
    const std::shared_ptr<TPendingPopup> pending = m_pendingPopups.takeFirst();
    m_lastPopupTime.start();
    if (!m_pendingPopups.isEmpty())
        m_timerPopup->start(PopupSpacingMs);

    std::unique_ptr<TBrowserTab> record = std::move(pending->Tab);
    TChromiumView* view = record->Browser;
    const QString address = view->CurrentUrl();
    record->Caption = IsBlank(address) ? tr("新页面") : address;
    record->Idle = view->IsLoading() ? 0 : 1;
    TBrowserTab* tab = AddTab(std::move(record), !CtrlHeld());
    LayoutTab(tab);
    if (!tab->Idle)
        SetLoadingState(tab, false);
    if (!view->title().isEmpty() && !IsBlank(view->title()))
        RecordTitle(tab, view->title(), address);
    emit popupTabOpened(IndexOf(tab));
}

void TTabController::crmClose(TChromiumView* view) {
    // A pending popup closing before it was shown just goes away.
    for (int i = 0; i < m_pendingPopups.size(); ++i) {
        if (m_pendingPopups[i]->Tab->Browser == view) {
            const std::shared_ptr<TPendingPopup> pending = m_pendingPopups.takeAt(i);
            DetachHandlers(pending->Tab.get());
            pending->Tab->Page->deleteLater();
            return;
        }
    }
    TBrowserTab* tab = TabOfView(view);
    if (tab && view->BrowserId() != m_closingBrowserId)
        HandleCloseRequest(IndexOf(tab));
}

void TTabController::crmGetAuthCredentials(TChromiumView* view, const QUrl& url,
                                           QAuthenticator* authenticator) {
    if (!m_storedUser.isEmpty()) {
        // The credentials the user just gave are used for this one request, then forgotten.
        authenticator->setUser(m_storedUser);
        authenticator->setPassword(m_storedPassword);
        m_storedUser.clear();
        m_storedPassword.clear();
        return;
    }
    const QString realm = authenticator->realm();
    *authenticator = QAuthenticator(); // this request is given up
    if (m_authPending)
        return; // one dialog at a time: the repeated requests of one page ask once
    m_authPending = true;
    TAuthRequest request{realm.left(260), url.host().left(260), url.port(url.scheme() == "https" ? 443 : 80),
                         view};
    QCoreApplication::postEvent(this, new TRecordMessage<TAuthRequest>(WM_AUTH_REQUEST, request));
}

// ---- Web control events ------------------------------------------------------------------

TWebControlView* TTabController::webNewWindow2(TWebControlView* opener) {
    if (m_closing)
        return nullptr;
    const QString href = opener->ActiveElementHref();
    if (m_config.FilterPopups && href.isEmpty()) {
        emit popupBlocked(opener->CurrentUrl());
        return nullptr;
    }
    auto record = std::make_unique<TBrowserTab>(m_nextTabId++, kWebControl, NewPage());
    TBrowserTab* tab = record.get();
    TWebControlView* control = CreateWebControl(tab);
    tab->EngineWindow = control;
    tab->Caption = tr("新页面");
    AddTab(std::move(record), !CtrlHeld());
    QCoreApplication::postEvent(this, new TMessageEvent(WM_IE_NEW_WINDOW, tab->Id));
    return control;
}

void TTabController::webTitleChange(TWebControlView* control, const QString& title) {
    if (m_closing)
        return;
    TBrowserTab* tab = ShowingTab(control, kWebControl);
    if (!tab)
        return;
    if (!tab->EngineWindow)
        tab->EngineWindow = control;
    RecordTitle(tab, title, control->CurrentUrl());
}

void TTabController::webDocumentComplete(TWebControlView* control) {
    if (m_closing)
        return;
    TBrowserTab* tab = ShowingTab(control, kWebControl);
    if (!tab)
        return;
    const QString address = control->CurrentUrl();
    if (IsActive(tab))
        emit addressShown(address);
    tab->PageUrl = address;
    if (IsActive(tab))
        emit siteBadgeRefreshRequested(address);
}

void TTabController::webDownloadBegin(TWebControlView* control) {
    m_closeAsked.remove(control); // a new load lets the page ask to close its window again
    TBrowserTab* tab = ShowingTab(control, kWebControl);
    if (!tab)
        return;
    ++m_webDownloads[control];
    SetLoadingState(tab, false);
}

void TTabController::webDownloadComplete(TWebControlView* control) {
    TBrowserTab* tab = ShowingTab(control, kWebControl);
    if (!tab)
        return;
    // Counted per control, so one control's finished load never leaves another tab spinning.
    int& count = m_webDownloads[control];
    if (count > 0)
        --count;
    if (count == 0)
        SetLoadingState(tab, true);
}

void TTabController::webWindowClosing(TWebControlView* control) {
    // A page is asked once: while the question is open, after "Yes" (the tab is closing) and
    // after "No", its further requests are ignored until it navigates again.
    TBrowserTab* tab = TabOfView(control);
    if (!tab || m_closeAsked.contains(control))
        return;
    m_closeAsked.insert(control);
    const int answer =
        PageMsgBox(tr("您查看的网页正在试图关闭窗口。\r\n\r\n是否关闭此窗口?"), MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES)
        return;
    if ((tab = TabOfView(control)))
        RequestCloseTab(IndexOf(tab));
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
    RequestFavIcon(this, address, tab->FaviconFile, 1);
}

void TTabController::AddVisit(const QString& title, const QString& address, bool closed) {
    THistoryInfo visit;
    visit.SiteName = title;
    visit.SiteUrl = address;
    visit.IsClose = closed;
    m_history.AddVisit(visit);
}

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
    if (TBrowserTab* tab = TabById(id)) {
        const QString address = tab->Kernel == kOptionsPage ? tab->PageUrl : tab->CurrentUrl();
        const QString caption = tab->Caption;
        const bool wasCurrent = IsActive(tab);
        const int index = IndexOf(tab);
        TBrowserTab* current = CurrentTab();

        DetachHandlers(tab);
        m_loadingPages.removeAll(id);
        std::unique_ptr<TBrowserTab> record = m_registry->Unregister(id);
        m_pages->removeWidget(record->Page);
        record->Page->deleteLater();
        record.reset();

        // The tab that was current stays current; when it was the closed one, its right
        // neighbour (or the new last tab) takes its place.
        const int next = wasCurrent ? qMin(index, TabCount() - 1) : IndexOf(current);
        m_strip->SetCurrentIndexQuietly(next);
        m_strip->UpdateTabWidth();

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

void TTabController::HandleAuthRequest(const QString& realm, const QString& host, int port,
                                       TChromiumView* view) {
    const QString prompt = TFormIdentityAuth::PromptText(realm, host, port);
    QString user;
    QString password;
    bool confirmed = false;
    if (m_authPrompt) {
        confirmed = m_authPrompt(prompt, &user, &password);
    } else {
        TFormIdentityAuth dialog(m_pageHost ? m_pageHost->window() : nullptr);
        dialog.SetPrompt(prompt);
        confirmed = dialog.exec() == QDialog::Accepted;
        user = dialog.UserName();
        password = dialog.Password();
    }
    m_authPending = false;
    if (!confirmed) {
        m_storedUser.clear();
        m_storedPassword.clear();
        return;
    }
    m_storedUser = user;
    m_storedPassword = password;
    // The repeated request of the page that asked picks the credentials up.
    TChromiumView* target = view;
    if (!target || !TabOfView(target)) {
        TBrowserTab* current = CurrentTab();
        target = current ? current->Browser : nullptr;
    }
    if (target)
        target->reload();
}

// ---- Posted messages ---------------------------------------------------------------------

void TTabController::customEvent(QEvent* event) {
    switch (static_cast<int>(event->type())) {
    case WM_CLOSE_TAB: {
        const auto* message = static_cast<TMessageEvent*>(event);
        HandleCloseRequest(static_cast<int>(message->WParam), static_cast<int>(message->LParam));
        break;
    }
    case WM_IE_NEW_WINDOW: {
        const auto* message = static_cast<TMessageEvent*>(event);
        if (TBrowserTab* tab = TabById(static_cast<int>(message->WParam))) {
            LayoutTab(tab);
            emit popupTabOpened(IndexOf(tab));
        }
        break;
    }
    case WM_AUTH_REQUEST: {
        const auto* message = static_cast<TRecordMessage<TAuthRequest>*>(event);
        const TAuthRequest request = message->Record;
        HandleAuthRequest(request.Realm, request.Host, request.Port, request.View.data());
        break;
    }
    case WM_FAVICON_READY:
        if (static_cast<TMessageEvent*>(event)->WParam != 0)
            RepaintStrip();
        break;
    default:
        QObject::customEvent(event);
    }
}
