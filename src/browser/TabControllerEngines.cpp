// The engine views of a tab: creating them with their handlers bound, detaching them, and the
// switch between Chromium and the compatibility engine.
#include "browser/TabController.h"

#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/DomainKernel.h"
#include "browser/TabControllerPrivate.h"
#include "browser/WebControlView.h"
#include "common/Logging.h"
#include "common/TextFit.h"
#include "common/UrlText.h"

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
    connect(view, &TChromiumView::certificateRefused, this, [this, view] {
        if (TBrowserTab* shown = TabForEvent(view, kChromium); shown && IsActive(shown))
            emit addressShown(view->CurrentUrl());
    });
    connect(view, &TChromiumView::iconChange, this, [this, view] {
        if (TBrowserTab* shown = TabForEvent(view, kChromium))
            RequestTabIcon(shown);
    });
    connect(view, &TChromiumView::loadingStateChange, this,
            [this, view](bool loading) { crmLoadingStateChange(view, loading); });
    connect(view, &TChromiumView::statusMessage, this,
            [this](const QString& text) { crmStatusMessage(text); });
    connect(view, &TChromiumView::beforeBrowse, this, [this] { m_lastStatusText.clear(); });
    // Queued: the page may ask from inside its own script; the request is handled afterwards.
    connect(
        view, &TChromiumView::closeRequested, this, [this, view] { crmClose(view); }, Qt::QueuedConnection);
    BindContextMenu(view);
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
    connect(control, &TWebControlView::statusTextChange, this, [this](const QString& text) {
        emit statusTextChanged(TextFit::Capped(text, TextFit::MaxLabelChars));
    });
    connect(control, &TWebControlView::downloadBegin, this, [this, control] { webDownloadBegin(control); });
    connect(control, &TWebControlView::downloadComplete, this,
            [this, control] { webDownloadComplete(control); });
    connect(
        control, &TWebControlView::windowClosing, this, [this, control] { webWindowClosing(control); },
        Qt::QueuedConnection);
    connect(control, &TWebControlView::downloadRequested, this, &TTabController::ForwardDownload);
    // A link clicked with the middle button or Ctrl: a new tab with this engine (in the background
    // for a Ctrl+click, as for Chromium tabs), made once the engine has finished with the click.
    connect(
        control, &TWebControlView::newTabRequested, this,
        [this](const QString& url) { OpenInNewTab(url, kWebControl); }, Qt::QueuedConnection);
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

// ---- Engine switch -----------------------------------------------------------------------

void TTabController::SwitchEngine() {
    if (TBrowserTab* tab = CurrentTab())
        SwitchEngineOf(tab);
}

void TTabController::SwitchEngineOf(TBrowserTab* tab, const QString& target) {
    if (!tab || m_closing)
        return;
    if (tab->Kernel == kWebControl && tab->WebControl) {
        emit kernelHintChanged(tr("Chrome内核"));
        tab->Kernel = kChromium;
        const QString address = target.isEmpty() ? tab->WebControl->CurrentUrl() : target;
        // Remembered first, so the Chromium address change that follows does not switch back.
        m_kernels.RememberKernel(address, kChromium);
        if (!tab->Browser) {
            CreateChromiumControl(tab)->Navigate(address);
            tab->BrowserId = tab->Browser->BrowserId();
        } else {
            tab->Browser->SetFrozen(false);
            tab->Browser->show();
            // The kept page shows the address only when it had finished loading it.
            if (m_staleChromium.contains(tab->Id) || tab->Browser->CurrentUrl() != address)
                tab->Browser->Navigate(address);
        }
        m_staleChromium.remove(tab->Id);
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
        const QString address = target.isEmpty() ? tab->Browser->CurrentUrl() : target;
        const bool newHost = m_kernels.LookupKernel(address).kernel != kWebControl;
        m_kernels.RememberKernel(address, kWebControl);
        if (newHost)
            emit hostSentToCompatEngine(HostOfUrl(address));
        // The Chromium page is kept as it is, hidden and frozen, so that switching back shows it
        // again without a reload while the addresses agree. A page left while loading (the engine
        // moves a tab over as soon as Chromium starts on a remembered host) never showed its
        // address, although Chromium already reports it.
        if (!target.isEmpty() || tab->Browser->IsLoading())
            m_staleChromium.insert(tab->Id);
        tab->Browser->stop();
        tab->Browser->hide();
        tab->Browser->SetFrozen(true);
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
        tab->Browser->CloseDevTools();
    delete tab->DevToolsView;
    tab->DevToolsView = nullptr;
    delete tab->DevToolsSplitter;
    tab->DevToolsSplitter = nullptr;
}
