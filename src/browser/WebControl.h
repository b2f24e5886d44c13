// The compatibility engine's control of one tab (QtWebKit), built into the engine module: its shared network
// access (persistent cookies, a disk cache under CacheDir() + "webcontrol/", Chinese as the accepted
// language) and the page that hands new windows, closing requests, dialogs and downloads to the browser
// window.
#pragma once

#include "browser/PageMessageBox.h"
#include "browser/WebControlView.h"

#include <QNetworkAccessManager>
#include <QWebPage>
#include <QWebView>
#include <functional>

class TWebControl;

// Every compatibility control shares one network access manager, so cookies and cache are one.
class TWebNetworkAccess final : public QNetworkAccessManager {
    Q_OBJECT
public:
    // The process-wide instance (made on first use, freed with the application object).
    static TWebNetworkAccess* Instance();

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request, QIODevice* data) override;

private:
    explicit TWebNetworkAccess(QObject* parent);
};

class TWebPage final : public QWebPage {
    Q_OBJECT
public:
    explicit TWebPage(TWebControl* control);

    // The page's boxes end until it navigates again (its tab is asked to close).
    void EndDialogs() {
        m_dialogsEnded = true;
        m_dialogGuard.End();
    }
    // The mouse button and keys of the click being handled, so a link clicked with the middle
    // button or with Ctrl opens in a new tab.
    void SetLinkClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

    bool supportsExtension(Extension extension) const override;
    bool extension(Extension extension, const ExtensionOption* option, ExtensionReturn* output) override;

public slots:
    // A script that runs too long: the user is asked in Chinese whether to stop it.
    bool shouldInterruptJavaScript() override;

protected:
    QWebPage* createWindow(WebWindowType type) override;
    bool acceptNavigationRequest(QWebFrame* frame, const QNetworkRequest& request,
                                 NavigationType type) override;
    void javaScriptAlert(QWebFrame* frame, const QString& msg) override;
    bool javaScriptConfirm(QWebFrame* frame, const QString& msg) override;
    bool javaScriptPrompt(QWebFrame* frame, const QString& msg, const QString& defaultValue,
                          QString* result) override;

public:
    const TPageDialogGuard& DialogGuard() const { return m_dialogGuard; }

private:
    // False when the page may show no more boxes; its script's box functions are then replaced by
    // ones that throw, so a script calling them in a loop ends instead of running on without end.
    bool MayShowDialog(QWebFrame* frame);

    TWebControl* m_control;
    TPageDialogGuard m_dialogGuard;
    bool m_dialogsEnded = false;
    Qt::MouseButton m_clickButton = Qt::NoButton;
    Qt::KeyboardModifiers m_clickModifiers;
};

class TWebControl final : public TWebControlView {
    Q_OBJECT
public:
    explicit TWebControl(QWidget* parent);
    ~TWebControl() override;

    TWebPage* WebPage() const { return m_page; }
    QWebView* View() const { return m_view; }

    QString ActiveElementHref() const override;
    qreal StyleZoom() const override;
    void SetStyleZoom(qreal zoom) override;

    // TPageView
    void Navigate(const QString& url) override;
    void GoBack() override { m_view->back(); }
    void GoForward() override { m_view->forward(); }
    void Reload() override { m_view->reload(); }
    void Stop() override { m_view->stop(); }
    QString CurrentUrl() const override; // LocationURL
    QString Title() const override { return m_view->title(); }
    // The engine gives an icon, never its address: the fetcher looks at the page itself.
    QString IconUrl() const override { return QString(); }
    bool IsLoading() const override { return m_loading; }
    bool DialogShowing() const override { return m_page->DialogGuard().Showing(); }
    qreal ZoomFactor() const override { return m_view->zoomFactor(); }
    void SetZoomFactor(qreal factor) override { m_view->setZoomFactor(factor); }
    void Find(const QString& text, bool matchCase, bool forward, TFindResult matches = nullptr) override;
    void StopFinding() override;
    bool SavePicture(const QString& fileName) override;
    void Print(QPrinter* printer, std::function<void(bool)> done) override;
    void ToHtml(std::function<void(const QString&)> callback) const override;
    void EndDialogs() override { m_page->EndDialogs(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UnsupportedContent(QNetworkReply* reply);

    QWebView* m_view;
    TWebPage* m_page;
    bool m_loading = false;
};

// Renders the full document (its scroll size; the control's size + 100 when that cannot be read)
// and saves it as JPEG; false when nothing could be rendered or written.
bool SaveWebBrowserSnapshot(TWebControl* control, const QString& fileName);
