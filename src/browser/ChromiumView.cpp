// The Chromium engine's view and page: navigation, popups, dialogs and credentials.
#include "browser/ChromiumView.h"

#include "browser/EngineActionCaptions.h"
#include "browser/EngineSettings.h"
#include "browser/LinkPolicy.h"
#include "browser/Snapshot.h"
#include "common/Dialogs.h"
#include "common/Logging.h"
#include "pagecommands/ContextMenuEntries.h"
#include "pagecommands/DevToolsPrefs.h"
#include "pagecommands/PageZoom.h"

#include <QAuthenticator>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPrinter>
#include <QWebEngineCertificateError>
#include <QWebEngineContextMenuData>
#include <QWebEngineFindTextResult>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <atomic>
#include <utility>

namespace {
int NextBrowserId() {
    static std::atomic<int> lastId{0};
    return ++lastId;
}
} // namespace

TChromiumPage::TChromiumPage(QWebEngineProfile* profile, TChromiumView* view)
    : QWebEnginePage(profile, view), m_view(view) {
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* authenticator) {
                if (m_view->AuthCredentials)
                    m_view->AuthCredentials(m_view, url, authenticator);
                else
                    *authenticator = QAuthenticator(); // a null authenticator cancels the request
            });
    connect(this, &QWebEnginePage::windowCloseRequested, m_view, &TChromiumView::closeRequested);
}

bool TChromiumPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    // The page's own navigations follow the link rules; what the user typed or the program opened,
    // and moves through the history, pass, except addresses of other programs: those always ask.
    const bool pageStarted = type == NavigationTypeLinkClicked || type == NavigationTypeFormSubmitted ||
                             type == NavigationTypeRedirect || type == NavigationTypeOther;
    const bool asked = type == NavigationTypeLinkClicked || type == NavigationTypeTyped;
    if ((pageStarted || TLinkPolicy::IsExternal(url)) && !TLinkPolicy::PageMayNavigate(this->url(), url, asked))
        return false;
    if (isMainFrame) {
        m_dialogGuard.Reset();
        emit m_view->beforeBrowse();
    }
    return true;
}

bool TChromiumPage::certificateError(const QWebEngineCertificateError& error) {
    // Never accepted: a forged certificate must not pass; the engine shows its error page.
    WriteLog(QStringLiteral("certificate refused for %1: %2")
                 .arg(error.url().toString(), error.errorDescription()));
    m_view->m_certificateRefused = true; // until the next load: no lock for this page
    emit m_view->certificateRefused();
    return false;
}

QWebEnginePage* TChromiumPage::createWindow(WebWindowType type) {
    if (!m_view->BeforePopup)
        return nullptr;
    TChromiumView* popup = m_view->BeforePopup(m_view);
    return popup ? popup->page() : nullptr;
}

void TChromiumPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg) {
    m_dialogGuard.Alert(msg);
}

bool TChromiumPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) {
    return m_dialogGuard.Confirm(msg);
}

bool TChromiumPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                     const QString& defaultValue, QString* result) {
    return m_dialogGuard.Prompt(msg, defaultValue, result);
}

TChromiumView::TChromiumView(QWidget* parent, QWebEngineProfile* profile)
    : QWebEngineView(parent), m_browserId(NextBrowserId()) {
    m_page = new TChromiumPage(profile ? profile : QWebEngineProfile::defaultProfile(), this);
    ApplyChromiumSettings(m_page->settings());
    TranslateEngineActions(*m_page);
    setPage(m_page);
    connect(this, &QWebEngineView::urlChanged, this, &TChromiumView::addressChange);
    connect(this, &QWebEngineView::titleChanged, this, &TChromiumView::titleChange);
    connect(this, &QWebEngineView::iconUrlChanged, this, &TChromiumView::iconChange);
    connect(this, &QWebEngineView::loadStarted, this, [this] {
        m_loading = true;
        m_certificateRefused = false;
        emit loadingStateChange(true);
    });
    connect(this, &QWebEngineView::loadFinished, this, [this] {
        m_loading = false;
        emit loadingStateChange(false);
    });
    connect(m_page, &QWebEnginePage::linkHovered, this, &TChromiumView::statusMessage);
    connect(m_page, &QWebEnginePage::pdfPrintingFinished, this,
            [this](const QString&, bool ok) { PrintFinished(ok); });
    connect(m_page, &QWebEnginePage::findTextFinished, this, [this](const QWebEngineFindTextResult& result) {
        if (m_findResult)
            m_findResult(result.activeMatch(), result.numberOfMatches());
    });
}

TChromiumView::~TChromiumView() {
    // The page is a child of the view; end its life before the view's widget goes away.
    BeforePopup = nullptr;
    AuthCredentials = nullptr;
    m_printDone = nullptr;
    disconnect(this, nullptr, nullptr, nullptr);
    delete m_page;
}

void TChromiumView::Navigate(const QString& url) {
    load(QUrl::fromUserInput(url));
}

QString TChromiumView::CurrentUrl() const {
    const QUrl address = url();
    return address.isEmpty() ? QStringLiteral("about:blank") : address.toString();
}

// The engine's own tools page in a second view; no debugging port is opened.
QWidget* TChromiumView::OpenDevTools(QWidget* parent) {
    TDevToolsPrefs::OpenWithoutScreencast(page()->profile()->persistentStoragePath());
    auto* tools = new QWebEngineView(parent);
    tools->setObjectName(QStringLiteral("DevToolsView"));
    ApplyChromiumSettings(tools->page()->settings());
    page()->setDevToolsPage(tools->page());
    return tools;
}

void TChromiumView::CloseDevTools() {
    page()->setDevToolsPage(nullptr);
}

void TChromiumView::StepZoom(int direction) {
    // CEF's zoom level z is the factor 1.2^z; each step moves the level by half a unit.
    const double level = TPageZoom::ChromiumLevel(zoomFactor());
    const double step = direction > 0 ? TPageZoom::ChromiumLevelStep : -TPageZoom::ChromiumLevelStep;
    setZoomFactor(TPageZoom::ChromiumFactor(level + step));
}

bool TChromiumView::SavePicture(const QString& fileName) {
    return SaveWindowSnapshot(this, fileName);
}

void TChromiumView::Find(const QString& text, bool matchCase, bool forward, TFindResult matches) {
    m_findResult = std::move(matches);
    QWebEnginePage::FindFlags flags;
    if (matchCase)
        flags |= QWebEnginePage::FindCaseSensitively;
    if (!forward)
        flags |= QWebEnginePage::FindBackward;
    findText(text, flags);
}

void TChromiumView::StopFinding() {
    m_findResult = nullptr;
    findText(QString());
}

void TChromiumView::Print(QPrinter* printer, std::function<void(bool)> done) {
    if (m_printing) { // the engine prints one job at a time
        if (done)
            done(false);
        return;
    }
    m_printing = true;
    m_printDone = std::move(done);
    // A printer that writes a PDF file gets the engine's own PDF: its text stays text, and the
    // printer is not painted on by the engine's print thread after this returns.
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
        m_page->printToPdf(printer->outputFileName(), printer->pageLayout());
        return;
    }
    m_page->print(printer, [this](bool ok) { PrintFinished(ok); });
}

void TChromiumView::PrintFinished(bool ok) {
    m_printing = false;
    if (auto done = std::exchange(m_printDone, nullptr))
        done(ok);
}

void TChromiumView::SetFrozen(bool frozen) {
    // Silent before it stops, running again before it may sound.
    if (frozen) {
        page()->setAudioMuted(true);
        page()->setLifecycleState(QWebEnginePage::LifecycleState::Frozen);
    } else {
        page()->setLifecycleState(QWebEnginePage::LifecycleState::Active);
        page()->setAudioMuted(false);
    }
}

bool TChromiumView::EngineAllowsDiscard() const {
    return m_page->recommendedState() == QWebEnginePage::LifecycleState::Discarded;
}

void TChromiumView::Discard() {
    m_page->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
}

void TChromiumView::ToHtml(std::function<void(const QString&)> callback) const {
    m_page->toHtml([callback](const QString& html) { callback(html); });
}

void TChromiumView::contextMenuEvent(QContextMenuEvent* event) {
    const QWebEngineContextMenuData& data = m_page->contextMenuData();
    const QString linkUrl = data.linkUrl().toString();
    const QString mediaUrl = data.mediaUrl().toString();
    const bool onImage = data.mediaType() == QWebEngineContextMenuData::MediaTypeImage;
    QMenu* menu = m_page->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("ChromiumContextMenu"));
    // The engine's own entries keep their place under Chinese captions (given when the page was
    // made); view source opens a tab of its own instead of the engine's action.
    QAction* engineViewSource = m_page->action(QWebEnginePage::ViewSource);
    if (menu->actions().contains(engineViewSource)) {
        auto* viewSource = new QAction(TContextMenuEntries::ViewSourceCaption(), menu);
        viewSource->setObjectName(QStringLiteral("ContextCommand%1").arg(TContextMenuEntries::ViewSource));
        connect(viewSource, &QAction::triggered, this,
                [this] { RunContextCommand(TContextMenuEntries::ViewSource, QString(), QString()); });
        menu->insertAction(engineViewSource, viewSource);
        menu->removeAction(engineViewSource);
    }
    // The browser's own entries below do what these engine entries do: one of each is enough.
    for (const QWebEnginePage::WebAction twin :
         {QWebEnginePage::Reload, QWebEnginePage::Cut, QWebEnginePage::Copy, QWebEnginePage::SelectAll,
          QWebEnginePage::SavePage, QWebEnginePage::CopyLinkToClipboard,
          QWebEnginePage::CopyImageUrlToClipboard, QWebEnginePage::DownloadImageToDisk,
          QWebEnginePage::InspectElement})
        menu->removeAction(m_page->action(twin));
    for (const TContextMenuEntries::TEntry& entry :
         TContextMenuEntries::Entries(onImage, !linkUrl.isEmpty())) {
        if (entry.Id == TContextMenuEntries::Separator) {
            menu->addSeparator();
            continue;
        }
        QAction* item = menu->addAction(entry.Caption);
        item->setObjectName(QStringLiteral("ContextCommand%1").arg(entry.Id));
        const int id = entry.Id;
        connect(item, &QAction::triggered, this,
                [this, id, linkUrl, mediaUrl] { RunContextCommand(id, linkUrl, mediaUrl); });
    }
    m_contextMenu = menu;
    menu->popup(event->globalPos());
}

void TChromiumView::RunContextCommand(int command, const QString& linkUrl, const QString& mediaUrl) {
    using E = TContextMenuEntries;
    switch (command) {
    case E::Refresh:
        reload();
        return;
    case E::SelectAll:
        triggerPageAction(QWebEnginePage::SelectAll);
        return;
    case E::Cut:
        triggerPageAction(QWebEnginePage::Cut);
        return;
    case E::Copy:
        triggerPageAction(QWebEnginePage::Copy);
        return;
    case E::CopyPictureAddress:
        QGuiApplication::clipboard()->setText(mediaUrl);
        return;
    case E::CopyLinkAddress:
        QGuiApplication::clipboard()->setText(linkUrl);
        return;
    default:
        break;
    }
    const bool picture = command == E::SavePicture || command == E::OpenPictureInNewTab;
    if (ContextCommand)
        ContextCommand(command, picture ? mediaUrl : CurrentUrl());
}
