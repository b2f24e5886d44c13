// The tab controller: construction, the test seams, the tab list and the posted messages. The
// other concerns live beside it: TabControllerOpen (opening addresses, navigation buttons),
// TabControllerView (showing, layout, loading state, titles), TabControllerEngines (engine views and
// the engine switch), TabControllerChromium and TabControllerWebControl (engine events and popups),
// TabControllerClose (the close queue) and TabControllerAuth (credentials).
#include "browser/TabController.h"

#include "browser/BrowserTab.h"
#include "browser/ChromiumDownloadHook.h"
#include "browser/ChromiumView.h"
#include "browser/ClickModifiers.h"
#include "browser/TabControllerPrivate.h"
#include "browser/TabRegistry.h"
#include "browser/TabSleeper.h"
#include "browser/TabStrip.h"
#include "browser/WebControlView.h"
#include "common/Messages.h"
#include "pagecommands/ContextMenuEntries.h"
#include "pagecommands/DevToolsSplitter.h"
#include "pagecommands/PageZoom.h"
#include <QCoreApplication>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineProfile>

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
    m_sleeper = new TTabSleeper(*this, config);
    connect(m_strip, &TTabStrip::tabMenuRequested, m_sleeper, &TTabSleeper::ShowTabMenu);

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
    m_clickModifiers = new TClickModifiers(this);
    m_timerDialogClosed = makeTimer("TimerDialogClosed", 100, &TTabController::TimerDialogClosedTimer);

    m_downloadHook = new TChromiumDownloadHook(QWebEngineProfile::defaultProfile(), this);
    connect(m_downloadHook, &TChromiumDownloadHook::downloadRequested, this,
            &TTabController::ForwardDownload);
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
    return m_clickModifiers->CtrlClick();
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

TBrowserTab* TTabController::TabForEvent(const QObject* view, int kernel) const {
    return m_closing ? nullptr : ShowingTab(view, kernel);
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
    emit openPagesChanged();
    return tab;
}

void TTabController::MoveTab(int from, int to) {
    TBrowserTab* current = CurrentTab();
    if (!m_registry->Move(from, to))
        return;
    m_strip->SetCurrentIndexQuietly(IndexOf(current));
    emit openPagesChanged();
}

void TTabController::SetPageUrl(TBrowserTab* tab, const QString& address) {
    // A sleeping page may report no address; its tab keeps the one it had.
    if (tab->PageUrl == address || (address.isEmpty() && tab->Sleep != TTabSleep::Awake))
        return;
    tab->PageUrl = address;
    emit openPagesChanged();
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

void TTabController::ZoomIn() {
    TBrowserTab* tab = CurrentTab();
    if (!tab || !tab->View())
        return;
    tab->ZoomStep = TPageZoom::ZoomedIn(tab->ZoomStep);
    tab->View()->StepZoom(1);
    emit zoomStepShown(tab->ZoomStep);
}

void TTabController::ZoomOut() {
    TBrowserTab* tab = CurrentTab();
    if (!tab || !tab->View() || tab->ZoomStep <= TPageZoom::LowestStep)
        return;
    tab->ZoomStep = TPageZoom::ZoomedOut(tab->ZoomStep);
    tab->View()->StepZoom(-1);
    emit zoomStepShown(tab->ZoomStep);
}

void TTabController::ZoomReset() {
    TBrowserTab* tab = CurrentTab();
    if (!tab || !tab->View())
        return;
    tab->ZoomStep = 0;
    tab->View()->ResetZoom();
    emit zoomStepShown(tab->ZoomStep);
}

void TTabController::ToggleDevTools() {
    TBrowserTab* tab = CurrentTab();
    if (!tab)
        return;
    if (tab->DevToolsOpen) {
        CloseDevTools(tab);
        LayoutTab(tab);
        return;
    }
    if (tab->Kernel != kChromium || !tab->View())
        return;
    // The engine's tools in a second view under the page, below a splitter that sets its height.
    auto* splitter = new TDevToolsSplitter(tab->Page);
    QWidget* tools = tab->View()->OpenDevTools(tab->Page);
    if (!tools) {
        delete splitter;
        return;
    }
    tab->DevToolsOpen = 1;
    tab->DevToolsSplitter = splitter;
    tab->DevToolsView = tools;
    const int id = tab->Id;
    connect(splitter, &TDevToolsSplitter::moved, this, [this, id](int height) {
        if (TBrowserTab* moved = TabById(id)) {
            moved->DevToolsHeight = height;
            LayoutTab(moved);
        }
    });
    splitter->show();
    splitter->raise();
    tools->show();
    LayoutTab(tab);
}

void TTabController::BindContextMenu(TChromiumView* view) {
    view->ContextCommand = [this](int command, const QString& url) {
        if (m_closing)
            return;
        switch (command) {
        case TContextMenuEntries::OpenPictureInNewTab:
            OpenInNewTab(url, kChromium);
            break;
        case TContextMenuEntries::ViewSource:
            OpenInNewTab(QStringLiteral("view-source:") + url, kChromium);
            break;
        case TContextMenuEntries::InspectElement:
            ToggleDevTools();
            break;
        default:
            emit pageCommandRequested(command, url);
            break;
        }
    };
}
