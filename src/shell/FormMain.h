// TFormMain, the browser's main window: a frameless window with its own title row, tool bar,
// address and search boxes, tools row, tab strip and status bar. It owns every store, drives the
// tab controller and turns window messages, keys and mouse gestures into commands.
// Messages it takes (posted with QCoreApplication::postEvent):
//   WM_OPEN_URL          TRecordMessage<QString>(WM_OPEN_URL, address, kernel)
//   WM_STARTUP_SETTINGS  TRecordMessage<QString>(WM_STARTUP_SETTINGS, JSON text)
//   WM_FIND_IN_PAGE      TRecordMessage<TFindRequest>(WM_FIND_IN_PAGE, request)
//   WM_BOSS_KEY_CHANGED, WM_DEFERRED_INIT, WM_DOWNLOAD_FINISHED, WM_FIND_CLOSED  TMessageEvent(id)
//   WM_FAVICON_READY     TMessageEvent(WM_FAVICON_READY, 1 for a tab icon)
//   WM_FAVICON_FAILED    TMessageEvent(WM_FAVICON_FAILED, 1 for a tab icon): no icon found
#pragma once

#include "history/PageLog.h"
#include "navigation/NavigationHost.h"
#include "pagecommands/FindRequest.h"
#include "shell/HiddenWindows.h"

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QEvent;
class QKeyEvent;
class QMouseEvent;
class QPrinter;
class QSystemTrayIcon;
class QTimer;
class QWheelEvent;
class TAddressBar;
class TBossKey;
class TBrowserTab;
class TConfig;
class TDb;
class TDomainAuth;
class TDomainKernel;
class TFavorites;
class TFavoritesBar;
class TDownloadCenter;
class TDownloadQueue;
class THistory;
class TPageLog;
class TRecentlyClosed;
class TSearchBox;
class TSearchIndexCatchUp;
class TTabController;
struct TFormMainUi;

class TFormMain final : public QWidget, public TNavigationHost {
    Q_OBJECT
public:
    // Creation runs the whole start-up of the window: configuration, stores (through the deferred
    // initialisation), the restore offer and the start-up settings. db is open (or failed to open)
    // and outlives the window; commandLineUrl is the one address given on the command line.
    TFormMain(TDb& db, const QString& commandLineUrl, QWidget* parent = nullptr);
    ~TFormMain() override;

    // ---- Operations other windows and the tests use
    void OpenInNewTab(const QString& url, int kernel = 0) override;
    void OpenInCurrentTab(const QString& url) override;
    bool IsClosing() const override { return Closing; }
    bool HasCurrentTab() const override;
    QString CurrentTabAddress() const override;
    TBrowserTab* CurrentTab() const;
    // Shows the address in the address bar with the matching address icon.
    void ShowAddress(const QString& url);
    TTabController* Tabs() const { return m_tabs.get(); }
    TConfig& Config() const { return *m_config; }
    THistory* History() const { return m_history.get(); }
    TPageLog& PageLog() const { return *m_pageLog; }
    TDomainAuth& DomainAuth() const { return *m_domainAuth; }
    TAddressBar* AddressBar() const { return m_addressBar; }
    TSearchBox* SearchBox() const { return m_searchBox; }

    // ---- Pages of the last run and recently closed pages
    // Start-up: the command-line address in a new tab, else the restore bar when configured.
    void OfferRestore();
    // "是" on the restore bar: the logged addresses, the first in the current tab.
    void RestorePages();
    // Ctrl+Shift+T: the next of the ten most recently closed pages, newest first.
    void ReopenClosedTab();
    // The addresses of the open pages into the page log: at closing, and while browsing shortly
    // after the open pages changed, so that a crash or kill loses no more than that moment.
    void SaveOpenPages();

    // ---- Favorites (FormMainFavorites.cpp); the keys Ctrl+D, Ctrl+M and Ctrl+B call the first three.
    // The add-to-favorites dialog for the current page (star, "收藏", "添加到收藏夹...").
    void AddCurrentPageToFavorites();
    // The favorites manager, modal; nothing while one is open.
    void ManageFavorites();
    // Shows or hides the favorites bar ("显示收藏夹/收起收藏夹").
    void ToggleFavoritesBar();
    bool FavoritesBarShown() const;
    void ShowImportExportFavorites();
    TFavorites* Favorites() const { return m_favorites.get(); }
    TFavoritesBar* FavoritesBar() const { return m_favoritesBar; }

    // ---- Page commands (FormMainPage.cpp), on the current tab. Keys: Ctrl+= and Ctrl+wheel away
    // ZoomIn, Ctrl+- and Ctrl+wheel toward ZoomOut, Ctrl+0 ZoomReset, Ctrl+F NFindClick,
    // F3 RepeatFind(true), Shift+F3 RepeatFind(false), F12 NDevelopToolClick.
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    // The find window (at most one, for either engine), starting with the last search's text.
    void NFindClick();
    // Searches the last request's text again, forward or backward (posts WM_FIND_IN_PAGE).
    void RepeatFind(bool forward);
    void NDevelopToolClick();
    QWidget* FindWindow() const { return m_findWindow; }
    const TFindRequest& LastFindRequest() const { return m_lastFindRequest; }

    // ---- Site badges
    // Certified / flagged badges for the address; an empty address hides both (options page).
    void RefreshSiteBadge(const QString& url);

    // ---- Settings and housekeeping (FormMainSettings.cpp)
    // Ctrl+H and "浏览历史管理...": the history manager, modal; nothing while one is open.
    void NViewHistoryClick();
    // Ctrl+Shift+Delete, "清除浏览痕迹..." and "加速": the cache cleaner, modal.
    void NDeleteCacheClick();
    // The wheel with the options page current scrolls its shortcut list (notches: the wheel's
    // steps, positive away from the user); false when the options page is not the current tab.
    bool OptionsPageWheel(int notches);
    // Asks the update host once, on a worker (the built-in host; empty: no request is made);
    // another version than this one shows the update strip.
    void CheckForUpdate();
    void CheckForUpdate(const QString& host);
    class TFormOption* OptionsWindow() const;

    // ---- Window chrome
    // Colour square n (index n - 1): frame colour, skin index and TConfigKey::Skin.
    void ShapeClick(int index);
    int SkinIndex() const { return m_skinIndex; }
    bool IsMaximizedState() const;
    void MaximizeWindow();
    void RestoreWindow();
    void ToggleFullScreen();
    bool IsFullScreenMode() const { return m_fullScreen; }
    // Tray double click and boss key: hide, or show restored in front.
    void ToggleVisibility();
    // Registers the boss key from TConfigKey::BossKeyEnabled and BossKey (after removing a registered one).
    void RegisterBossKey();
    TBossKey* BossKey() const { return m_bossKey; }

    // The application-wide key and mouse hook.
    bool eventFilter(QObject* watched, QEvent* event) override;

    bool Closing = false;

protected:
    void customEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // FormMain.cpp: life cycle.
    void DeferredInit();
    void FirstShow();
    void CleanUp();
    void ConnectTabController();
    void ShowOptionsTab();
    void ShowZoomStep(int zoomStep);
    void ShowKernel(int kernel);

    // FormMainLayout.cpp: the controls and the menus.
    void BuildLayout();
    void BuildMenus();
    void PlaceFloatingPanels();
    QAction* AddMenuItem(class QMenu* menu, const char* name, const QString& caption,
                         const QString& shortcutText, bool enabled);

    // FormMainTools.cpp: the tools row (calculator, translator, screen capture).
    void ConnectTools();

    // FormMainServices.cpp: the site registration form, the vendor's site and the About box.
    void ConnectServices();
    void ConnectSiteTools();
    void NInternetOptionClick();
    void LabelSafeClick();
    void AboutClick();

    // FormMainChrome.cpp: caption buttons, borders, skin panel, tray, full screen.
    void ConnectChrome();
    void ToggleSkinPanel();
    int BorderZone(const QPoint& windowPos) const;
    void UpdateBorderCursor(int zone);
    bool StartSystemMoveOrResize(int zone);
    bool IsCaptionPress(QWidget* target, const QPoint& windowPos) const;
    void EnterFullScreen();
    void LeaveFullScreen();
    // Full screen hides every row around the page stack, so the current tab fills the window and
    // every tab operation keeps working as usual.
    void ShowChromeRows(bool visible);
    // A popup that opens while in full screen becomes the page on screen.
    void ShowPopupTab(int index);

    // FormMainHook.cpp: the hook's rows.
    bool HookKeyPress(QKeyEvent* event);
    // Up and Down outside the page: one line of scrolling (Chromium) or the focus (compatibility).
    void ScrollOrFocusPage(const QKeyEvent& key);
    // True when the keys go to a text field: an edit, a spin box or an editable element of a page.
    static bool TextFieldHasFocus();
    // Shift+Delete's cleaner, unless the focused element of a Chromium page takes text.
    void OpenCleanerUnlessPageFieldFocused();
    // Where a save dialog for the proposed file name starts.
    QString SaveDialogPath(const QString& proposedName) const;
    bool HookKeyRelease(QKeyEvent* event);
    bool HookMousePress(QObject* watched, QMouseEvent* event);
    void HookMouseMove(QMouseEvent* event);
    bool HookWheel(QWheelEvent* event);
    // Runs a command of the hook once the key event is over (modal windows open there).
    void AfterKey(std::function<void()> command);
    bool SeenBefore(QWidget* target, const QEvent* event);

    // FormMainRestore.cpp: the page log follows the open pages.
    void KeepPageLogCurrent();

    // FormMainDownloads.cpp: the download queue, the engines' downloads and the manager.
    void StartDownloads();
    void StopDownloads();
    void NDownManageClick();

    // FormMainSettings.cpp: options page, history manager, cache cleaner, update check.
    void ConnectSettings();
    QWidget* CreateOptionsWindow();
    // The options page's focused control saves its value before the page goes.
    void FlushOptionsPage();
    void HistoryCleared();
    // TConfigKey::ClearTracesOnExit: the kinds last ticked in the cache cleaner are cleared when
    // the browser exits.
    void ClearTracesAtExit();
    void UpdateYesClick();
    class TDownloadQueue* DownloadQueue() const;

    // FormMainFavorites.cpp: the favorites store, bar and menu.
    void StartFavorites();
    void StopFavorites();
    void RebuildFavorites();
    void FavIconArrived();
    void OpenFavoriteAddress(const QString& url);

    // FormMainPage.cpp: the page commands' menu items, find, save and print.
    void ConnectPageCommands();
    void RefreshEngineCaptions(int kernel);
    void FindInPage(const TFindRequest& request);
    void NSaveClick();
    void SavePageSource(const QString& source);
    void NSaveImageClick();
    // Asks for a file name (proposed from the address) and fetches the picture into it.
    void SavePictureAs(const QString& url);
    void RunPageCommand(int command, const QString& url);
    void NPrintClick();
    void NPrintPreviewClick();
    void NPageSetupClick();
    QPrinter& Printer();

    // FormMainMessages.cpp: the window messages.
    void StartupSettings(const QString& json);
    void PlayFinishedSound();

    TDb& m_db;
    std::unique_ptr<TConfig> m_config;
    std::unique_ptr<TPageLog> m_pageLog;
    std::unique_ptr<TDomainAuth> m_domainAuth;
    std::unique_ptr<TDomainKernel> m_domainKernel;
    std::unique_ptr<THistory> m_history;
    std::unique_ptr<TSearchIndexCatchUp> m_indexCatchUp; // brings the address search index up to date
    std::unique_ptr<TRecentlyClosed> m_recentlyClosed;
    std::unique_ptr<TFavorites> m_favorites;
    std::unique_ptr<TTabController> m_tabs;
    std::unique_ptr<TDownloadQueue> m_downloadQueue;
    std::unique_ptr<TDownloadCenter> m_downloads;
    std::unique_ptr<TFormMainUi> m_ui;
    TAddressBar* m_addressBar = nullptr;
    TSearchBox* m_searchBox = nullptr;
    TBossKey* m_bossKey = nullptr;
    THiddenWindows m_hiddenWindows; // the other windows the boss key hid
    TFavoritesBar* m_favoritesBar = nullptr;
    QSystemTrayIcon* m_trayIcon = nullptr;
    QPointer<QWidget> m_optionsWindow;
    QPointer<QWidget> m_historyWindow;
    QPointer<QWidget> m_cacheWindow;
    class TUpdateCheck* m_updateCheck = nullptr;
    QString m_updaterParameter; // kept between the update check and "是"
    QPointer<QWidget> m_findWindow;
    TFindRequest m_lastFindRequest;
    std::shared_ptr<QPrinter> m_printer; // keeps the page set-up between print commands

    QTimer* m_timerSavePages = nullptr;
    TPageInfoList m_offeredPages; // the last session's pages, read when the restore bar is offered
    QString m_commandLineUrl;
    QString m_startAddress;
    bool m_firstShow = true;
    bool m_restoreOffered = false;
    int m_skinIndex = 0;
    bool m_fullScreen = false;
    bool m_fullScreenMaximized = false;
    int m_cursorZone = 0;
    const QEvent* m_lastHookEvent = nullptr;
    QPointer<QWidget> m_lastHookTarget;
    ulong m_lastHookTimestamp = 0;
    int m_lastHookType = 0;
};
