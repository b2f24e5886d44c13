// Events of the compatibility engine: new windows, title, document complete, loading and the
// close request of a page.
#include "browser/TabController.h"

#include "browser/BrowserTab.h"
#include "browser/PageMessageBox.h"
#include "browser/TabControllerPrivate.h"
#include "browser/WebControlView.h"
#include "common/Dialogs.h"
#include "common/Messages.h"
#include "storage/Config.h"
#include <QCoreApplication>

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
    TBrowserTab* tab = TabForEvent(control, kWebControl);
    if (!tab)
        return;
    if (!tab->EngineWindow)
        tab->EngineWindow = control;
    RecordTitle(tab, title, control->CurrentUrl());
}

void TTabController::webDocumentComplete(TWebControlView* control) {
    TBrowserTab* tab = TabForEvent(control, kWebControl);
    if (!tab)
        return;
    const QString address = control->CurrentUrl();
    if (IsActive(tab))
        emit addressShown(address);
    SetPageUrl(tab, address);
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
