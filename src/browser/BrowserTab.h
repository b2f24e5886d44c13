// The tab record: what the browser window keeps for every tab of the strip, and the tab's per-page
// values (they travel with the tab when it is dragged to another position).
#pragma once

#include "browser/TabSleepPolicy.h"

#include <QString>

class QWidget;
class TChromiumView;
class TPageView;
class TWebControlView;

// The engine a tab shows; 0 and 1 are also the values the engine memory stores per host.
enum TKernel : int { kChromium = 0, kWebControl = 1, kOptionsPage = 2 };

class TBrowserTab final {
public:
    TBrowserTab(int id, int kernel, QWidget* page);

    // The visible engine behind the shared page interface; nullptr for the options page or while
    // the tab's engine view does not exist yet.
    TPageView* View() const;
    // The address the visible engine shows now; the page log's address while the tab has no view
    // (a sleeping tab keeps its address there).
    QString CurrentUrl() const;

    const int Id;                          // unique per window, never reused
    quint8 Idle = 0;                       // 1 when not loading
    int Kernel;                            // TKernel
    quint8 FromPopup = 0;                  // created for a page's popup
    int BrowserId = 0;                     // the Chromium view's browser id; the opener's for popup tabs
    QWidget* EngineWindow = nullptr;       // the engine widget the tab was created with
    TChromiumView* Browser = nullptr;      // owned by Page
    TWebControlView* WebControl = nullptr; // owned by Page
    int ZoomStep = 0;
    QWidget* Page;       // the page in the page stack; owns the engine widgets
    QString FolderUrl;   // UrlDirectory of the page address
    QString FaviconFile; // UserDataDir + FavIconFileName of the page address
    quint8 NeedsLayout = 0;
    quint8 DevToolsOpen = 0;
    TTabSleep Sleep = TTabSleep::Awake; // how far the tab's page sleeps (TTabSleeper)
    int DevToolsHeight = 250;            // the height last given to the developer tools
    QWidget* DevToolsSplitter = nullptr; // owned by Page when set
    QWidget* DevToolsView = nullptr;     // owned by Page when set

    // Per-page values.
    int PageKind = 0;                 // 1 for the options page
    QString PageUrl;                  // last address reported for the page (page log)
    QString Caption;                  // the tab's caption as the strip shows it
    QWidget* OptionsWindow = nullptr; // docked options window (PageKind 1), not owned
};
