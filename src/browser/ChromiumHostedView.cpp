// The Chromium view of a hosted page and its dialog path.
#include "browser/ChromiumHostedView.h"

#include "browser/EngineSettings.h"

#include <QWebEngineProfile>
#include <utility>

TChromiumHostedPage::TChromiumHostedPage(THostedPageView::TDialogFilter filter, QObject* parent)
    : QWebEnginePage(QWebEngineProfile::defaultProfile(), parent), m_filter(std::move(filter)) {
    ApplyChromiumSettings(settings());
    m_dialogGuard.SetView(qobject_cast<QWidget*>(parent));
    connect(this, &QWebEnginePage::loadStarted, this, [this] { m_dialogGuard.Reset(); });
}

bool TChromiumHostedPage::Filtered(const QUrl& securityOrigin, const QString& msg) const {
    return m_filter && m_filter(securityOrigin, url(), msg);
}

void TChromiumHostedPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg) {
    if (!Filtered(securityOrigin, msg))
        m_dialogGuard.Alert(msg);
}

bool TChromiumHostedPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) {
    return !Filtered(securityOrigin, msg) && m_dialogGuard.Confirm(msg);
}

bool TChromiumHostedPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                           const QString& defaultValue, QString* result) {
    return !Filtered(securityOrigin, msg) && m_dialogGuard.Prompt(msg, defaultValue, result);
}

TChromiumHostedView::TChromiumHostedView(const QString& url, TDialogFilter filter, QWidget* parent)
    : QWebEngineView(parent) {
    setPage(new TChromiumHostedPage(std::move(filter), this));
    load(QUrl(url));
}

THostedPageView* CreateHostedPageView(const QString& url, THostedPageView::TDialogFilter filter,
                                      QWidget* parent) {
    return new TChromiumHostedView(url, std::move(filter), parent);
}
