// Events of the Chromium engine: address, title, loading state, status text, popups and the
// close request of a page.
#include "browser/TabController.h"

#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/DomainKernel.h"
#include "browser/TabControllerPrivate.h"
#include "common/Logging.h"
#include "common/TextFit.h"
#include "storage/Config.h"
#include <QTimer>

// ---- Chromium events ---------------------------------------------------------------------

void TTabController::crmAddressChange(TChromiumView* view, const QUrl& url) {
    TBrowserTab* tab = TabForEvent(view, kChromium);
    if (!tab)
        return;
    const QString address = url.toString();
    const TKernelInfo remembered = m_kernels.LookupKernel(address);
    if (!remembered.domain.isEmpty() && remembered.kernel == kWebControl) {
        // The host is remembered for the compatibility engine: this tab moves over.
        SwitchEngineOf(tab, address);
        return;
    }
    if (IsActive(tab))
        emit addressShown(address);
    SetPageUrl(tab, address);
}

void TTabController::crmTitleChange(TChromiumView* view, const QString& title) {
    TBrowserTab* tab = TabForEvent(view, kChromium);
    if (!tab)
        return;
    RecordTitle(tab, title, view->CurrentUrl());
}

void TTabController::crmLoadingStateChange(TChromiumView* view, bool loading) {
    if (TBrowserTab* tab = TabForEvent(view, kChromium))
        SetLoadingState(tab, !loading);
}

void TTabController::crmStatusMessage(const QString& text) {
    m_lastStatusText = text;
    emit statusTextChanged(TextFit::Capped(text, TextFit::MaxLabelChars));
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
    // The address changes the engine reported while the popup waited found no tab yet.
    if (!IsBlank(address))
        record->PageUrl = address;
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
