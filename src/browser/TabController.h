// The engine half of the browser window: opens, switches, lays out, loads and closes tabs, and turns
// every event of both page engines into tab updates and signals for the window.
// The public API is stable; changes since the first published version (additive only):
// OpenSleepingTab, SleepTab.
#pragma once

#include "browser/StoredCredentials.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

class QAuthenticator;
class QStackedWidget;
class QTimer;
class QUrl;
class QWidget;
class TBrowserTab;
class TClickModifiers;
class TChromiumView;
class TConfig;
class TDomainKernel;
class TPageView;
class THistory;
class TRecentlyClosed;
class TTabRegistry;
class TTabSleeper;
class TChromiumDownloadHook;
class TTabStrip;
class TWebControlView;

// Tab indexes are positions in the strip, 0 = leftmost tab. Tab ids are stable for a tab's life.
class TTabController final : public QObject {
    Q_OBJECT
public:
    // pageHost receives the page stack (it fills the host); the strip is made here and placed by
    // the window (TabStrip()). The stores are owned by the window and outlive the controller.
    TTabController(TConfig& config, THistory& history, TDomainKernel& kernels,
                   TRecentlyClosed& recentlyClosed, QWidget* pageHost, QObject* parent = nullptr);
    ~TTabController() override;

    // The tab strip `PageControl1` with the new-tab button panel `PanelAdd` inside it.
    QWidget* TabStrip() const;

    // ---- Opening addresses
    // New tab showing the address (blank text -> "about:blank"); kernel 0 consults the engine
    // memory, kernel 1 is used as given. Activated unless it was opened by a click with Ctrl held
    // (key commands activate their tab, although their Ctrl is held).
    void OpenInNewTab(const QString& url, int kernel = 0);
    // Shows the address in the current tab ("about:config" -> optionsTabRequested()).
    void OpenInCurrentTab(const QString& url);
    // Activates the options tab, or makes one ("选项设置") around the window's options widget.
    void OpenOptionsTab(QWidget* optionsWindow);
    // The new-tab button, Ctrl+T and "新建标签": the navigation page in a new tab.
    void NewTab();
    // Ctrl+N and "新建窗口": a new browser process without arguments.
    void NewWindow();
    // A background tab for the address that loads nothing until it is shown (restored pages):
    // the caption and the icon of the address are shown meanwhile.
    void OpenSleepingTab(const QString& url, const QString& caption);
    // Puts the tab at the index to sleep at once when it may sleep; false when it stays awake.
    bool SleepTab(int index);

    // ---- Tabs
    TBrowserTab* CurrentTab() const;
    TBrowserTab* TabById(int id) const;
    TBrowserTab* TabAt(int index) const;
    int TabCount() const;
    int CurrentIndex() const;
    int IndexOf(const TBrowserTab* tab) const;
    // All tabs in strip order (the page log is written from their PageUrl values).
    QVector<TBrowserTab*> Tabs() const;
    void SetCurrentIndex(int index);
    // Ctrl+1..9: the n-th tab (1-based) when it exists.
    void ActivateTabNumber(int n);
    // Ctrl+Tab / Ctrl+Shift+Tab, wrapping around.
    void NextTab();
    void PreviousTab();

    // ---- Navigation buttons (act on the current tab; nothing without one)
    void GoBack();
    void GoForward();
    void Refresh();
    // Stops loading and marks the tab idle.
    void StopLoading();
    // The navigation page: in this tab when it shows "about:blank", else in a new tab.
    void GoHome();

    // ---- Engines
    // Switches the current tab between Chromium and the compatibility engine (ImageKernel click).
    void SwitchEngine();

    // ---- Page commands (act on the current tab; nothing without one or on the options page)
    // Zoom steps: in without limit, out down to step -4 (a further step does nothing), reset to
    // 0; each shows the tab's step (zoomStepShown).
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    // Opens the developer tools docked under a Chromium page, or closes them when open (either
    // engine); a compatibility-engine tab without tools gets none.
    void ToggleDevTools();
    // Binds a Chromium view's right-click commands (called for every Chromium view it creates):
    // the picture and the page source open in new tabs, "审查元素" toggles the developer tools,
    // the window's own commands go out as pageCommandRequested.
    void BindContextMenu(TChromiumView* view);

    // ---- Closing
    // Queues a close request for the tab at the index (posts WM_CLOSE_TAB to this controller).
    void RequestCloseTab(int index);
    void CloseCurrentTab();

    // ---- Layout and drawing
    // Tab width: 178 when T x 178 < W - 90, else (W - 90) div T (T tabs, W strip width).
    void UpdateTabWidth();
    int TabWidth() const;
    // Places `PanelAdd` 4 pixels right of the last tab.
    void PlaceNewTabButton();
    // Sizes the tab's engine widget (and developer tools when open) to its page.
    void LayoutTab(TBrowserTab* tab);
    // Every tab's page changed size: lays out the current tab, marks the others.
    void RelayoutTabs();
    // Loading indicator of the tab: strip icon, the window's refresh/stop buttons when active.
    void SetLoadingState(TBrowserTab* tab, bool idle);
    // Repaints the strip (a new tab icon arrived).
    void RepaintStrip();

    // ---- Window state
    // Set when the window starts closing: engine events, tab switching and drawing then stop.
    void SetClosing(bool closing);
    bool Closing() const { return m_closing; }

    // ---- Test seams
    // Answers the message boxes of pages (alert, confirm, prompt, the close question) instead of
    // a modal box. Pass nullptr to restore MsgBox.
    using TMsgBoxFunction = std::function<int(const QString& text, int flags)>;
    static void SetMsgBoxFunction(TMsgBoxFunction function);
    // Asks for credentials instead of the dialog TFormIdentityAuth: true when confirmed.
    using TAuthPromptFunction = std::function<bool(const QString& prompt, QString* user, QString* password)>;
    void SetAuthPromptFunction(TAuthPromptFunction function);
    // Whether a held Ctrl key opens tabs in the background (default: the newest input event was a
    // mouse click with Ctrl held).
    void SetCtrlHeldFunction(std::function<bool()> function);
    // Makes the compatibility engine's controls (default: CreateWebControlView, which opens the
    // engine module on first use). A factory that returns nullptr acts as a missing module.
    void SetWebControlFactory(std::function<TWebControlView*(QWidget* parent)> factory);

signals:
    // The address box text for the active tab (ShowAddress).
    void addressShown(const QString& url);
    // The whole window caption ("<title> - Quellon 1.0.0.0").
    void windowCaptionChanged(const QString& caption);
    // Refresh button visible when idle, stop button when loading (active tab only).
    void loadingStateShown(bool idle);
    // Status line text (the link under the mouse, the engine's status messages).
    void statusTextChanged(const QString& text);
    // Another tab became current (or the current one was replaced); kernel -1 when none is left.
    void currentTabChanged(int kernel);
    // Engine icon `ImageKernel` image and the engine-dependent menu captions for this kernel.
    void kernelShown(int kernel);
    // `ImageKernel` hint after an engine switch: "Chrome内核" or "ie内核".
    void kernelHintChanged(const QString& hint);
    // A host not remembered for the compatibility engine was just switched to it.
    void hostSentToCompatEngine(const QString& host);
    // Zoom caption of the current tab (`LabelScale`, the zoom submenus).
    void zoomStepShown(int zoomStep);
    // The site badges should be refreshed for this address of the active tab; empty: hide them
    // (the options page).
    void siteBadgeRefreshRequested(const QString& url);
    // "about:config" was opened: the window creates its options widget and calls OpenOptionsTab.
    void optionsTabRequested();
    // The options tab became current: address "about:config", badges hidden, address icon 4.
    void optionsTabShown();
    // A popup or a compatibility-engine window became a new tab (full screen swaps to it).
    void popupTabOpened(int index);
    // A popup was refused (popup filter, or too many waiting popups of one page).
    void popupBlocked(const QString& openerUrl);
    // A tab was closed: its caption and address, after it was recorded in history.
    void pageClosed(const QString& caption, const QString& url);
    // The only tab was asked to close: the window closes.
    void lastTabClosed();
    // The open pages or their addresses changed (a tab opened, closed or moved, or a page committed
    // a new address): the page log may be brought up to date.
    void openPagesChanged();
    // A right-click command the window runs (TContextMenuEntries ids: add to favorites, save the
    // page, save the picture at url).
    void pageCommandRequested(int command, const QString& url);
    // A page started a download; the engine's own download was refused.
    void downloadRequested(const QString& url, const QString& suggestedName, qint64 size);

protected:
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TTabSleeper; // sleeping tabs drop and make engine views
    struct TPendingPopup;
    static constexpr int PopupSpacingMs = 500; // quick popups are announced this far apart
    static constexpr int MaxPendingPopups = 3; // popups waiting for their announcement

    // Tabs and pages.
    QWidget* NewPage();
    TBrowserTab* AddTab(std::unique_ptr<TBrowserTab> record, bool activate);
    TChromiumView* CreateChromiumControl(TBrowserTab* tab);
    // nullptr (and a log line) when the compatibility engine is not available.
    TWebControlView* CreateWebControl(TBrowserTab* tab);
    void DetachHandlers(TBrowserTab* tab);
    void ForwardDownload(const QString& url, const QString& name, qint64 size);
    TBrowserTab* TabOfView(const QObject* view) const;
    // The tab of the view while that engine (kChromium or kWebControl) shows the tab, else nullptr.
    TBrowserTab* ShowingTab(const QObject* view, int kernel) const;
    // The same, and nullptr while the window closes: the tab a page event may act on.
    TBrowserTab* TabForEvent(const QObject* view, int kernel) const;
    bool IsActive(const TBrowserTab* tab) const;
    bool CtrlHeld() const;
    void ShowCurrentTab();
    void ShowOptionsTabState();
    void ShowCaption(const QString& title);
    void MoveTab(int from, int to);
    // The page's address as the page log keeps it.
    void SetPageUrl(TBrowserTab* tab, const QString& address);
    // Moves the tab to the other engine, showing there the target address (default: the page
    // shown now); the engine is remembered for the host of the address shown.
    void SwitchEngineOf(TBrowserTab* tab, const QString& target = QString());
    void CloseDevTools(TBrowserTab* tab);
    void TimerRefreshTabTimer();

    // Engine events; both engines' views are bound to these.
    void crmAddressChange(TChromiumView* view, const QUrl& url);
    void crmTitleChange(TChromiumView* view, const QString& title);
    void crmLoadingStateChange(TChromiumView* view, bool loading);
    void crmStatusMessage(const QString& text);
    TChromiumView* crmBeforePopup(TChromiumView* opener);
    void crmClose(TChromiumView* view);
    void crmGetAuthCredentials(TChromiumView* view, const QUrl& url, QAuthenticator* authenticator);
    void AnnouncePopup();
    TWebControlView* webNewWindow2(TWebControlView* opener);
    void webTitleChange(TWebControlView* control, const QString& title);
    void webDocumentComplete(TWebControlView* control);
    void webDownloadBegin(TWebControlView* control);
    void webDownloadComplete(TWebControlView* control);
    void webWindowClosing(TWebControlView* control);
    // Title change of either engine: caption, window caption, history, favicon.
    void RecordTitle(TBrowserTab* tab, const QString& title, const QString& address);
    void AddVisit(const QString& title, const QString& address, bool closed);
    // The tab strip's icon of the page shown: with the engine's icon address when it has one.
    void RequestTabIcon(TBrowserTab* tab);

    // Close queue and credentials.
    void HandleCloseRequest(int index, int id = 0);
    void TimerCloseTab1Timer();
    void TimerCloseTab2Timer();
    // A close request for a tab whose page shows a message box waits for the box to return.
    bool DialogShowing(const TBrowserTab* tab) const;
    TPageView* MovableView() const;
    void CloseAfterDialog(int id);
    void TimerDialogClosedTimer();
    void HandleAuthRequest(const QString& realm, const QString& host, int port, TChromiumView* view);

    TConfig& m_config;
    THistory& m_history;
    TDomainKernel& m_kernels;
    TRecentlyClosed& m_recentlyClosed;
    QPointer<QWidget> m_pageHost;
    QPointer<QStackedWidget> m_pages;
    QPointer<TTabStrip> m_strip;
    std::unique_ptr<TTabRegistry> m_registry;
    QTimer* m_timerRefreshTab;
    QTimer* m_timerCloseTab1;
    QTimer* m_timerCloseTab2;
    QTimer* m_timerPopup;
    QTimer* m_timerDialogClosed;
    TClickModifiers* m_clickModifiers;
    TChromiumDownloadHook* m_downloadHook;
    TTabSleeper* m_sleeper;

    bool m_closing = false;
    int m_nextTabId = 1;
    QList<int> m_loadingPages;      // ids of tabs that are loading
    QList<int> m_pendingCloses;     // ids of tabs waiting to be closed, in request order
    QList<int> m_closesAfterDialog; // ids of tabs to close once their page's box has returned
    int m_closingBrowserId = 0;
    QString m_lastStatusText; // the link under the mouse: a sign that the user clicked
    QElapsedTimer m_lastPopupTime;
    QList<std::shared_ptr<TPendingPopup>> m_pendingPopups;
    QSet<int> m_untitledVisits;                        // tabs whose visit waits for the end of the load
    QHash<const TWebControlView*, int> m_webDownloads; // loads begun and not completed, per control
    QSet<const TWebControlView*> m_closeAsked;         // controls whose close request was asked about
    TStoredCredentials m_storedCredentials;            // given by the user, for one request
    bool m_authPending = false;
    TAuthPromptFunction m_authPrompt;
    std::function<bool()> m_ctrlHeld;
    std::function<TWebControlView*(QWidget* parent)> m_createWebControl;
    // Tabs whose hidden Chromium page was left before it showed its address (stopped while loading):
    // switching back loads the address again.
    QSet<int> m_staleChromium;
};
