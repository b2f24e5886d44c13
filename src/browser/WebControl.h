// The compatibility engine's control of one tab (QtWebKit): its shared network access (persistent
// cookies, a disk cache under AppDir + "cache/webcontrol/", Chinese as the accepted language) and
// the page that hands new windows, closing requests, dialogs and downloads to the browser window.
#pragma once

#include "browser/PageMessageBox.h"
#include "browser/PageView.h"

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

protected:
    QWebPage* createWindow(WebWindowType type) override;
    bool acceptNavigationRequest(QWebFrame* frame, const QNetworkRequest& request,
                                 NavigationType type) override;
    void javaScriptAlert(QWebFrame* frame, const QString& msg) override;
    bool javaScriptConfirm(QWebFrame* frame, const QString& msg) override;
    bool javaScriptPrompt(QWebFrame* frame, const QString& msg, const QString& defaultValue,
                          QString* result) override;

private:
    TWebControl* m_control;
    TPageDialogGuard m_dialogGuard;
};

class TWebControl final : public QWebView, public TPageView {
    Q_OBJECT
public:
    explicit TWebControl(QWidget* parent);
    ~TWebControl() override;

    TWebPage* WebPage() const { return m_page; }
    // document.activeElement.getAttribute("href") of the main frame; empty on any failure.
    QString ActiveElementHref() const;
    // The page body's style zoom (empty style reads as 1.0) and its setter.
    qreal StyleZoom() const;
    void SetStyleZoom(qreal zoom);

    // Handler bound by the window: the control that shows a new window, or nullptr to refuse it.
    std::function<TWebControl*(TWebControl* opener)> NewWindow;

    // TPageView
    QWidget* Widget() override { return this; }
    void Navigate(const QString& url) override;
    void GoBack() override { back(); }
    void GoForward() override { forward(); }
    void Reload() override { reload(); }
    void Stop() override { stop(); }
    QString CurrentUrl() const override; // LocationURL
    QString Title() const override { return title(); }
    bool IsLoading() const override { return m_loading; }
    qreal ZoomFactor() const override { return zoomFactor(); }
    void SetZoomFactor(qreal factor) override { setZoomFactor(factor); }
    void Find(const QString& text, bool matchCase, bool forward) override;
    void StopFinding() override;
    void Print(QPrinter* printer, std::function<void(bool)> done) override;
    void ToHtml(std::function<void(const QString&)> callback) const override;

signals:
    void titleChange(const QString& title);
    void documentComplete(bool ok);
    void statusTextChange(const QString& text);
    void downloadBegin();
    void downloadComplete();
    // The page asked to close its window (window.close()).
    void windowClosing();
    // The page started a download; the control does not download it.
    void downloadRequested(const QString& url, const QString& suggestedName, qint64 size);

private:
    void UnsupportedContent(QNetworkReply* reply);

    TWebPage* m_page;
    bool m_loading = false;
};
