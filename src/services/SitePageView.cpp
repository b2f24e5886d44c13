// The hosted vendor page's view and its dialog rule.
#include "services/SitePageView.h"

#include "browser/EngineSettings.h"

#include <QWebEngineProfile>

namespace {
// The dialog comes from the page's own frame, not from a frame of another site inside it.
bool SameOrigin(const QUrl& frame, const QUrl& page) {
    return frame.scheme() == page.scheme() && frame.host() == page.host() &&
           frame.port(-1) == page.port(-1);
}
} // namespace

TSitePage::TSitePage(const QString& siteRoot, QObject* parent)
    : QWebEnginePage(QWebEngineProfile::defaultProfile(), parent), m_bridge(siteRoot) {
    ApplyChromiumSettings(settings());
    connect(this, &QWebEnginePage::loadStarted, this, [this] { m_dialogGuard.Reset(); });
}

bool TSitePage::RunCommand(const QUrl& securityOrigin, const QString& msg) {
    if (!msg.startsWith(QLatin1String(TPageCommandBridge::Prefix)) || !SameOrigin(securityOrigin, url()))
        return false;
    QString address;
    switch (m_bridge.Decide(url().toString(), msg, &address)) {
    case TPageCommandBridge::bdDialog:
        return false;
    case TPageCommandBridge::bdOpen:
        emit openRequested(address);
        return true;
    case TPageCommandBridge::bdRefused:
        return true;
    }
    return false;
}

void TSitePage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg) {
    if (!RunCommand(securityOrigin, msg))
        m_dialogGuard.Alert(msg);
}

bool TSitePage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) {
    return !RunCommand(securityOrigin, msg) && m_dialogGuard.Confirm(msg);
}

bool TSitePage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                                 QString* result) {
    return !RunCommand(securityOrigin, msg) && m_dialogGuard.Prompt(msg, defaultValue, result);
}

TSitePageView::TSitePageView(const QString& siteRoot, const QString& url, QWidget* parent)
    : QWebEngineView(parent), m_page(new TSitePage(siteRoot, this)) {
    setPage(m_page);
    load(QUrl(url));
}
