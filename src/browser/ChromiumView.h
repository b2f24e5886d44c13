// The Chromium engine's view of one tab (QtWebEngine), and the page that carries its rules: the
// page's navigations follow the link rules (TLinkPolicy), certificate errors are refused, popups, closing requests, credentials and
// JavaScript dialogs are handed to the browser window's handlers.
#pragma once

#include "browser/PageMessageBox.h"
#include "browser/PageView.h"

#include <QMenu>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <functional>

class QWebEngineProfile;
class TChromiumView;

class TChromiumPage final : public QWebEnginePage {
    Q_OBJECT
public:
    TChromiumPage(QWebEngineProfile* profile, TChromiumView* view);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    bool certificateError(const QWebEngineCertificateError& error) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;

public:
    const TPageDialogGuard& DialogGuard() const { return m_dialogGuard; }

private:
    TChromiumView* m_view;
    TPageDialogGuard m_dialogGuard;
};

class TChromiumView final : public QWebEngineView, public TPageView {
    Q_OBJECT
public:
    // profile: nullptr = the default profile (set up at start-up).
    explicit TChromiumView(QWidget* parent, QWebEngineProfile* profile = nullptr);
    ~TChromiumView() override;

    // Process-unique, stable for the view's life.
    int BrowserId() const { return m_browserId; }
    // True when the view was created for a page's popup.
    bool IsPopup() const { return m_isPopup; }
    void SetPopup(bool popup) { m_isPopup = popup; }

    // Handlers bound by the window. BeforePopup answers the view that shows a new popup, or
    // nullptr to refuse it; AuthCredentials fills the authenticator or leaves it to be cancelled.
    std::function<TChromiumView*(TChromiumView* opener)> BeforePopup;
    std::function<void(TChromiumView* view, const QUrl& url, QAuthenticator* authenticator)> AuthCredentials;
    // The right-click menu's commands the view does not run itself (TContextMenuEntries ids:
    // favorites, save page, save picture, picture in a new tab, developer tools, view source),
    // with the picture's address, or the page's for the others. Unbound: they do nothing.
    std::function<void(int command, const QString& url)> ContextCommand;
    // The menu a right click shows now (nullptr when none is open).
    QMenu* ContextMenu() const { return m_contextMenu; }

    // TPageView
    QWidget* Widget() override { return this; }
    void Navigate(const QString& url) override;
    void GoBack() override { back(); }
    void GoForward() override { forward(); }
    void Reload() override { reload(); }
    void Stop() override { stop(); }
    QString CurrentUrl() const override;
    QString Title() const override { return title(); }
    QString IconUrl() const override { return iconUrl().toString(); }
    bool IsLoading() const override { return m_loading; }
    bool DialogShowing() const override { return m_page->DialogGuard().Showing(); }
    bool CertificateRefused() const override { return m_certificateRefused; }
    qreal ZoomFactor() const override { return zoomFactor(); }
    void SetZoomFactor(qreal factor) override { setZoomFactor(factor); }
    void StepZoom(int direction) override;
    void ResetZoom() override { setZoomFactor(1.0); }
    void Find(const QString& text, bool matchCase, bool forward, TFindResult matches = nullptr) override;
    void StopFinding() override;
    bool SavePicture(const QString& fileName) override;
    void Print(QPrinter* printer, std::function<void(bool)> done) override;
    void ToHtml(std::function<void(const QString&)> callback) const override;
    QWidget* OpenDevTools(QWidget* parent) override;
    void CloseDevTools() override;
    void SetFrozen(bool frozen) override;
    bool RecentlyAudible() const override { return m_page->recentlyAudible(); }
    bool EngineAllowsDiscard() const override;
    void Discard() override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

signals:
    void addressChange(const QUrl& url);
    void titleChange(const QString& title);
    void iconChange();
    void loadingStateChange(bool loading);
    void statusMessage(const QString& text);
    void beforeBrowse();
    void closeRequested();
    // The certificate of the page being loaded was refused.
    void certificateRefused();

private:
    friend class TChromiumPage;
    TChromiumPage* m_page;
    const int m_browserId;
    bool m_isPopup = false;
    bool m_loading = false;
    bool m_certificateRefused = false;
    TFindResult m_findResult; // the handler of the newest search
    // The end of the print under way: forgotten when the view goes, so a print the engine breaks
    // off while the page is destroyed reports nothing to a window being torn down.
    std::function<void(bool)> m_printDone;
    bool m_printing = false;

    void PrintFinished(bool ok);
    QPointer<QMenu> m_contextMenu;

    void RunContextCommand(int command, const QString& linkUrl, const QString& mediaUrl);
};
